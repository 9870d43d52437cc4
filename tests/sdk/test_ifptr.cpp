#include "host/object/kvIfPtr.h"
#include "sdk/kvUnknownImp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A host object with two interfaces that records the names it is asked for.
struct Journal {
    std::vector<std::wstring> queries;
    bool destroyed = false;
};

class FakeDoc : public kvIUnknownImp, public kvIAppDocument1, public kvIBaseDocument1 {
public:
    explicit FakeDoc(Journal& j) : m_j(j) {}
    ~FakeDoc() override { m_j.destroyed = true; }
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        m_j.queries.push_back(name ? name : L"(null)");
        return kvQueryInterfaces<kvIAppDocument1, kvIBaseDocument1>(this, name);
    }

private:
    Journal& m_j;
};

// Held objects begin with one reference owned by the test.
kvIUnknown* newDoc(Journal& j)
{
    kvIUnknown* u = static_cast<kvIAppDocument1*>(new kvIfImp<FakeDoc>(j));
    u->addRef();
    return u;
}

long refs(kvIUnknown* u) { return static_cast<FakeDoc*>(static_cast<kvIAppDocument1*>(u))->refCount(); }

// One document, its test reference checked back at 1 and released at the end.
class InterfacePointer : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (!j.destroyed) {
            EXPECT_EQ(refs(doc), 1);
            doc->release();
        }
        EXPECT_TRUE(j.destroyed);
    }
    Journal j;
    kvIUnknown* doc = newDoc(j);
};

} // namespace

TEST_F(InterfacePointer, QueriesByNameAndStaysEmptyWithoutTheInterface)
{
    kvIfPtr<kvIBaseDocument1> base(doc);
    ASSERT_FALSE(base.isNull());
    EXPECT_EQ(j.queries.back(), L"kvIBaseDocument1");
    EXPECT_EQ(refs(doc), 2);

    kvIfPtr<kvIGeSurface> surface(doc);
    EXPECT_TRUE(surface == nullptr);
    EXPECT_EQ(j.queries.back(), L"kvIGeSurface");
    EXPECT_EQ(refs(doc), 2);

    // A null source makes no call at all.
    const size_t calls = j.queries.size();
    EXPECT_TRUE(kvIfPtr<kvIBaseDocument1>(static_cast<kvIUnknown*>(nullptr)).isNull());
    EXPECT_EQ(j.queries.size(), calls);
}

// A pointer that already is a T is kept as it is, with one reference added
// and nothing asked of the host, built or assigned alike; its object's
// kvIUnknown pointer is asked for T.
TEST_F(InterfacePointer, ATypedPointerIsKeptWithOneReferenceAndNoQuery)
{
    FakeDoc* object = static_cast<FakeDoc*>(static_cast<kvIAppDocument1*>(doc));
    kvIBaseDocument1* typed = object;
    {
        kvIfPtr<kvIBaseDocument1> held(typed);
        EXPECT_TRUE(j.queries.empty());
        EXPECT_EQ(held.getIf(), typed);
        EXPECT_EQ(refs(doc), 2);
        kvIfPtr<kvIBaseDocument1> assigned;
        assigned = typed;
        EXPECT_TRUE(j.queries.empty());
        EXPECT_EQ(refs(doc), 3);
    }
    EXPECT_EQ(refs(doc), 1);
    EXPECT_TRUE(kvIfPtr<kvIBaseDocument1>(static_cast<kvIBaseDocument1*>(nullptr)).isNull());
    kvIfPtr<kvIBaseDocument1> asked(static_cast<kvIUnknown*>(static_cast<kvIAppDocument1*>(object)));
    ASSERT_EQ(j.queries.size(), 1u);
    EXPECT_EQ(j.queries.back(), L"kvIBaseDocument1");
    EXPECT_EQ(asked.getIf(), typed);
}

namespace {

// An interface that hands its name over to another object (as an aggregate
// does) or answers no name at all.
class Forwarding : public kvIUnknownImp, public kvIAppDocument1 {
public:
    explicit Forwarding(kvIUnknown* answer) : m_answer(answer) {}
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        if (!m_answer || !name)
            return nullptr;
        return m_answer->queryInterface(name);
    }

private:
    kvIUnknown* m_answer;
};

} // namespace

// The typed pointer is held even where its object would answer the name with
// another object's interface, or with none; asked through its kvIUnknown
// pointer, the object's answer is held.
TEST_F(InterfacePointer, ATypedPointerIsHeldWhateverItsObjectWouldAnswer)
{
    auto* forwarding = new kvIfImp<Forwarding>(doc);
    forwarding->_addRef();
    kvIAppDocument1* typed = forwarding;
    {
        kvIfPtr<kvIAppDocument1> held(typed);
        EXPECT_EQ(held.getIf(), typed);
        EXPECT_EQ(forwarding->refCount(), 2);
        kvIfPtr<kvIAppDocument1> asked(static_cast<kvIUnknown*>(typed));
        EXPECT_EQ(asked.get(), doc);  // the document's interface, not the forwarder's
        EXPECT_EQ(refs(doc), 2);
    }
    EXPECT_EQ(forwarding->refCount(), 1);
    auto* silent = new kvIfImp<Forwarding>(nullptr);
    silent->_addRef();
    kvIAppDocument1* mute = silent;
    EXPECT_EQ(kvIfPtr<kvIAppDocument1>(mute).getIf(), mute);
    EXPECT_TRUE(kvIfPtr<kvIAppDocument1>(static_cast<kvIUnknown*>(mute)).isNull());
    EXPECT_EQ(silent->refCount(), 1);
    silent->_relRef();
    forwarding->_relRef();
}

TEST_F(InterfacePointer, CopiesAndAssignmentsOfTheSameObjectKeepOneReferenceEach)
{
    kvIfPtr<kvIAppDocument1> a(doc);
    kvIfPtr<kvIAppDocument1> b(a);  // copy: a reference, no query
    EXPECT_EQ(refs(doc), 3);
    EXPECT_EQ(j.queries.size(), 1u);
    a = a;
    b = a;  // same object: never dies on the way
    EXPECT_EQ(refs(doc), 3);

    // The pointer held as the only reference, assigned its own raw pointer.
    doc->release();
    b.detach();
    a = a.getIf();
    a = static_cast<kvIUnknown*>(a.get());
    EXPECT_FALSE(j.destroyed);
    EXPECT_EQ(refs(doc), 1);
    a.detach();
}

TEST_F(InterfacePointer, OutParameterReleasesBeforeTheHostFillsIt)
{
    Journal j2;
    kvIUnknown* second = newDoc(j2);
    kvIfPtr<kvIAppDocument1> p(doc);
    kvIUnknown** slot = &p;
    EXPECT_EQ(refs(doc), 1);
    EXPECT_EQ(*slot, nullptr);
    *slot = second;  // the host hands over its reference
    EXPECT_EQ(p.get(), second);
    p.detach();
    EXPECT_TRUE(j2.destroyed);
}

TEST_F(InterfacePointer, ConversionsQueryAndComparisonsGiveTheirQueryBack)
{
    kvIfPtr<kvIAppDocument1> app(doc);
    kvIfPtr<kvIBaseDocument1> base(app);  // from another interface: a query
    EXPECT_EQ(j.queries.back(), L"kvIBaseDocument1");
    EXPECT_NE(static_cast<void*>(base.get()), static_cast<void*>(app.get()));
    kvIfPtr<kvIBaseDocument1> other;
    other = app;  // converting assignment queries as well
    EXPECT_EQ(other.get(), base.get());
    EXPECT_EQ(refs(doc), 4);

    EXPECT_TRUE(base == doc);
    EXPECT_FALSE(base != doc);
    EXPECT_EQ(refs(doc), 4);
    EXPECT_TRUE(kvIfPtr<kvIGeSurface>() == static_cast<kvIUnknown*>(nullptr));
    EXPECT_FALSE(base == static_cast<kvIUnknown*>(nullptr));

    kvIUnknown* raw = other.get();
    other.forget();  // the reference now belongs to us
    EXPECT_TRUE(other.isNull());
    EXPECT_EQ(refs(doc), 4);
    raw->release();
}

TEST_F(InterfacePointer, UnknownPointersAlwaysAskForTheObjectsUnknown)
{
    // The base-document interface is another sub-object than the one the
    // object answers "kvIUnknown" with: identity must come from the query.
    kvIfPtr<kvIBaseDocument1> base(doc);
    kvIUnknownPtr identity(doc);
    EXPECT_EQ(j.queries.back(), L"kvIUnknown");
    ASSERT_NE(base.get(), identity.get());

    const size_t before = j.queries.size();
    kvIUnknownPtr copy(identity);  // even a copy asks again
    EXPECT_EQ(j.queries.size(), before + 1);
    kvIUnknownPtr built(base);
    kvIUnknownPtr assigned;
    assigned = base;
    assigned = assigned;  // itself: kept
    kvTIfPtr<kvIUnknownPtr> element(built);
    kvTIfPtr<kvIUnknownPtr> other;
    other = element;
    other = other;
    for (kvIUnknown* p : {copy.get(), built.get(), assigned.get(), other.get().get()})
        EXPECT_EQ(p, identity.get());
    EXPECT_EQ(refs(doc), 8);

    kvIfPtr<kvIBaseDocument1> empty;
    assigned = empty;
    EXPECT_TRUE(assigned.isNull());
    EXPECT_TRUE(kvIUnknownPtr(empty).isNull());
    EXPECT_TRUE(kvTIfPtr<kvIfPtr<kvIFeedback1>>().get().isNull());
    EXPECT_EQ(refs(doc), 7);
}

TEST_F(InterfacePointer, CountingBaseDestroysOnceAtZeroAndNeverBelow)
{
    EXPECT_EQ(doc->queryInterface(nullptr), nullptr);
    doc->addRef();
    EXPECT_TRUE(doc->release());
    EXPECT_FALSE(j.destroyed);
    EXPECT_TRUE(doc->release());
    EXPECT_TRUE(j.destroyed);

    // An unbalanced release must not destroy a fresh object a second time.
    Journal j2;
    auto* fresh = new kvIfImp<FakeDoc>(j2);
    EXPECT_EQ(fresh->refCount(), 0);
    EXPECT_FALSE(static_cast<kvIAppDocument1*>(fresh)->release());
    EXPECT_FALSE(j2.destroyed);
    delete fresh;
}
