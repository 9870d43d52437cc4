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

} // namespace

TEST(InterfacePointer, QueryByNameAndFailedQuery)
{
    Journal j;
    kvIUnknown* doc = newDoc(j);
    {
        kvIfPtr<kvIBaseDocument1> base(doc);
        ASSERT_FALSE(base.isNull());
        EXPECT_EQ(j.queries.back(), L"kvIBaseDocument1");
        EXPECT_EQ(refs(doc), 2);

        // An object without the interface leaves the pointer empty, no error.
        kvIfPtr<kvIGeSurface> surface(doc);
        EXPECT_TRUE(surface.isNull());
        EXPECT_EQ(j.queries.back(), L"kvIGeSurface");
        EXPECT_TRUE(surface == nullptr);
        EXPECT_EQ(refs(doc), 2);

        // A null source makes no call at all.
        const size_t calls = j.queries.size();
        kvIfPtr<kvIBaseDocument1> empty(static_cast<kvIUnknown*>(nullptr));
        EXPECT_TRUE(empty.isNull());
        EXPECT_EQ(j.queries.size(), calls);
    }
    EXPECT_EQ(refs(doc), 1);
    doc->release();
    EXPECT_TRUE(j.destroyed);
}

TEST(InterfacePointer, CopyAssignmentAndSelfAssignmentKeepOneReferenceEach)
{
    Journal j;
    kvIUnknown* doc = newDoc(j);
    {
        kvIfPtr<kvIAppDocument1> a(doc);
        EXPECT_EQ(refs(doc), 2);
        kvIfPtr<kvIAppDocument1> b(a);  // copy: a reference, no query
        EXPECT_EQ(refs(doc), 3);
        EXPECT_EQ(j.queries.size(), 1u);
        EXPECT_EQ(a.get(), b.get());

        a = a;
        EXPECT_EQ(refs(doc), 3);
        b = a;  // same object: never dies on the way
        EXPECT_EQ(refs(doc), 3);

        // The pointer held as the only reference, assigned its own raw pointer.
        doc->release();
        b.detach();
        EXPECT_EQ(refs(doc), 1);
        a = a.getIf();
        EXPECT_FALSE(j.destroyed);
        EXPECT_EQ(refs(doc), 1);
        a = static_cast<kvIUnknown*>(a.get());
        EXPECT_FALSE(j.destroyed);
        EXPECT_EQ(refs(doc), 1);
    }
    EXPECT_TRUE(j.destroyed);
}

TEST(InterfacePointer, OutParameterReleasesBeforeTheHostFillsIt)
{
    Journal j1, j2;
    kvIUnknown* first = newDoc(j1);
    kvIUnknown* second = newDoc(j2);
    kvIfPtr<kvIAppDocument1> p(first);
    first->release();
    kvIUnknown** slot = &p;
    EXPECT_TRUE(j1.destroyed);
    EXPECT_EQ(*slot, nullptr);
    *slot = second;  // the host hands over its reference
    EXPECT_EQ(p.get(), second);
    p.detach();
    EXPECT_TRUE(j2.destroyed);
}

TEST(InterfacePointer, ConvertingConstructionQueriesAndEqualityReleasesItsQuery)
{
    Journal j;
    kvIUnknown* doc = newDoc(j);
    kvIfPtr<kvIAppDocument1> app(doc);
    kvIfPtr<kvIBaseDocument1> base(app);  // from another interface: a query
    EXPECT_EQ(j.queries.back(), L"kvIBaseDocument1");
    EXPECT_NE(static_cast<void*>(base.get()), static_cast<void*>(app.get()));
    EXPECT_EQ(refs(doc), 3);

    EXPECT_TRUE(base == doc);
    EXPECT_FALSE(base != doc);
    EXPECT_EQ(refs(doc), 3);  // the comparison's own query is given back
    kvIfPtr<kvIGeSurface> none;
    EXPECT_TRUE(none == static_cast<kvIUnknown*>(nullptr));
    EXPECT_FALSE(base == static_cast<kvIUnknown*>(nullptr));

    kvIfPtr<kvIBaseDocument1> other;
    other = app;  // converting assignment queries as well
    EXPECT_EQ(other.get(), base.get());
    EXPECT_EQ(refs(doc), 4);

    kvIUnknown* raw = other.get();
    other.forget();  // the reference now belongs to us
    EXPECT_TRUE(other.isNull());
    EXPECT_EQ(refs(doc), 4);
    raw->release();
    base.detach();
    app.detach();
    doc->release();
    EXPECT_TRUE(j.destroyed);
}

TEST(InterfacePointer, UnknownPointerCopiesByQueryAndArrayElementCopies)
{
    Journal j;
    kvIUnknown* doc = newDoc(j);
    {
        kvIUnknownPtr u(doc);
        EXPECT_EQ(j.queries.back(), L"kvIUnknown");
        const size_t before = j.queries.size();
        kvIUnknownPtr copy(u);
        EXPECT_EQ(j.queries.size(), before + 1);
        EXPECT_EQ(copy.get(), u.get());
        EXPECT_EQ(refs(doc), 3);

        kvTIfPtr<kvIUnknownPtr> element(u);
        kvTIfPtr<kvIUnknownPtr> other;
        other = element;
        other = other;
        EXPECT_EQ(other.get().get(), u.get());
        EXPECT_EQ(refs(doc), 5);

        kvTIfPtr<kvIfPtr<kvIFeedback1>> feedback;
        EXPECT_TRUE(feedback.get().isNull());
    }
    EXPECT_EQ(refs(doc), 1);
    doc->release();
    EXPECT_TRUE(j.destroyed);
}

TEST(InterfaceImplementation, CountingBaseDestroysOnceAtZero)
{
    Journal j;
    auto* doc = new kvIfImp<FakeDoc>(j);
    kvIUnknown* u = static_cast<kvIAppDocument1*>(doc);
    EXPECT_EQ(doc->refCount(), 0);
    u->addRef();
    u->addRef();
    EXPECT_EQ(u->queryInterface(nullptr), nullptr);
    EXPECT_TRUE(u->release());
    EXPECT_FALSE(j.destroyed);
    EXPECT_TRUE(u->release());
    EXPECT_TRUE(j.destroyed);

    // An unbalanced release must not destroy a fresh object a second time.
    Journal j2;
    auto* fresh = new kvIfImp<FakeDoc>(j2);
    EXPECT_FALSE(static_cast<kvIAppDocument1*>(fresh)->release());
    EXPECT_FALSE(j2.destroyed);
    delete fresh;
}

TEST(InterfacePointer, UnknownPointerFromAnotherInterfaceAsksForTheObjectsUnknown)
{
    Journal j;
    kvIUnknown* doc = newDoc(j);
    {
        // The base-document interface is another sub-object than the one the
        // object answers "kvIUnknown" with: identity must come from the query.
        kvIfPtr<kvIBaseDocument1> base(doc);
        kvIUnknownPtr identity(doc);
        ASSERT_NE(base.get(), identity.get());

        kvIUnknownPtr built(base);
        EXPECT_EQ(j.queries.back(), L"kvIUnknown");
        EXPECT_EQ(built.get(), identity.get());

        kvIUnknownPtr assigned;
        assigned = base;
        EXPECT_EQ(assigned.get(), identity.get());
        assigned = assigned;  // itself: kept
        EXPECT_EQ(assigned.get(), identity.get());
        EXPECT_EQ(refs(doc), 5);

        kvIfPtr<kvIBaseDocument1> empty;
        assigned = empty;
        EXPECT_TRUE(assigned.isNull());
        EXPECT_TRUE(kvIUnknownPtr(empty).isNull());
        EXPECT_EQ(refs(doc), 4);
    }
    EXPECT_EQ(refs(doc), 1);
    doc->release();
    EXPECT_TRUE(j.destroyed);
}
