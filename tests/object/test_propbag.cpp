#include "host/object/kvPropertyBag.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

typedef kvTPropertyBag<kvCProperty> Bag;
typedef Bag::Index Index;

// Names by 1-based position, as the bag's reader gives them.
struct NameReader : kvKeyReader<unsigned int, kvCScStringTCHARRef> {
    std::vector<const wchar_t*> names;
    kvCScStringTCHARRef getKey(unsigned int p) const override { return kvCScStringTCHARRef(names.at(p - 1)); }
};

std::vector<unsigned int> slots(const Index& index)
{
    std::vector<unsigned int> out;
    for (unsigned int i = 0; i < index.size(); ++i)
        out.push_back(index.at(i));
    return out;
}

template <class E>
int thrownCode(E e)
{
    return static_cast<int>(e);
}

}  // namespace

TEST(SortedIndex, OrderNullKeysCaseAndLookups)
{
    NameReader r;
    r.names = {L"b", L"a", L"c", nullptr, L"B"};
    Index index(&r);
    for (unsigned int p = 1; p <= 5; ++p)
        index.insert(p, true);
    // Null first, then code-unit order: upper case before lower case.
    EXPECT_EQ(slots(index), (std::vector<unsigned int>{4, 5, 2, 1, 3}));
    EXPECT_EQ(index.lookup(kvCScStringTCHARRef(L"c")), 3u);
    EXPECT_EQ(index.lookup(kvCScStringTCHARRef(L"d")), 0u);
    EXPECT_EQ(index.lookup(kvCScStringTCHARRef(nullptr)), 4u);
    EXPECT_EQ(index.lookup(kvCScStringTCHARRef(L"B")), 5u);
}

TEST(SortedIndex, DuplicatesAreRefusedOrPlacedInFront)
{
    NameReader r;
    r.names = {L"m", L"m", L"m"};
    Index index(&r);
    index.insert(1, true);
    try {
        index.insert(2, true);
        FAIL() << "a duplicate must be refused";
    } catch (Index::possibleExceptions e) {
        EXPECT_EQ(thrownCode(e), 1);
    }
    EXPECT_EQ(index.size(), 1u);
    index.insert(2, false);
    index.insert(3, false);
    EXPECT_EQ(slots(index), (std::vector<unsigned int>{3, 2, 1}));

    // search finds the run of equal keys from both ends.
    EXPECT_EQ(index.search(kvCScStringTCHARRef(L"m"), false), 0u);
    EXPECT_EQ(index.search(kvCScStringTCHARRef(L"m"), true), 2u);

    // Removal finds a position anywhere in the run, and only once.
    EXPECT_EQ(index.remove(2), 2u);
    EXPECT_EQ(slots(index), (std::vector<unsigned int>{3, 1}));
    EXPECT_EQ(index.remove(2), 0u);
    EXPECT_EQ(index.remove(1), 1u);
    EXPECT_EQ(index.remove(3), 3u);
    EXPECT_EQ(index.size(), 0u);
    EXPECT_EQ(index.remove(3), 0u);  // an empty index holds nothing
}

TEST(SortedIndex, SearchBoundsAndEmptySlots)
{
    NameReader r;
    r.names = {L"b", L"d", L"f"};
    Index index(&r);
    EXPECT_EQ(index.search(kvCScStringTCHARRef(L"a"), false), Index::npos);
    for (unsigned int p = 1; p <= 3; ++p)
        index.insert(p, true);
    EXPECT_EQ(index.search(kvCScStringTCHARRef(L"c"), false), 1u);  // first >= c
    EXPECT_EQ(index.search(kvCScStringTCHARRef(L"c"), true), 0u);   // last <= c
    EXPECT_EQ(index.search(kvCScStringTCHARRef(L"z"), false), 2u);  // every key smaller
    EXPECT_EQ(index.search(kvCScStringTCHARRef(L"a"), true), 0u);   // a candidate only

    // remove(0) clears everything.
    EXPECT_EQ(index.remove(0), 0u);
    EXPECT_EQ(index.size(), 0u);
    EXPECT_EQ(index.lookup(kvCScStringTCHARRef(L"b")), 0u);

    // A slot holding position 0 names no property: every bisection that
    // meets it refuses rather than read in front of the property array.
    Bag bag;
    bag.setValue(L"b", 1.0, false);
    bag.index().insert(0, false);  // null key: sorts first
    for (int op = 0; op < 4; ++op) {
        try {
            if (op == 0)
                bag.index().lookup(kvCScStringTCHARRef(L"a"));
            else if (op == 1)
                bag.index().search(kvCScStringTCHARRef(L"a"), false);
            else if (op == 2)
                bag.index().search(kvCScStringTCHARRef(L"a"), true);
            else
                bag.index().insert(1, false);
            ADD_FAILURE() << "operation " << op << " read an empty slot";
        } catch (Index::possibleExceptions e) {
            EXPECT_EQ(thrownCode(e), 2) << "operation " << op;
        }
    }
}

TEST(SortedIndex, GrowsFrom64ByDoubling)
{
    NameReader r;
    std::vector<std::wstring> store;
    for (int i = 0; i < 65; ++i)
        store.push_back(L"k" + std::to_wstring(1000 + i));
    for (const std::wstring& s : store)
        r.names.push_back(s.c_str());
    Index index(&r);
    for (unsigned int p = 1; p <= 64; ++p)
        index.insert(p, true);
    EXPECT_EQ(index.capacity(), 64u);
    index.insert(65, true);
    EXPECT_EQ(index.capacity(), 128u);
    EXPECT_EQ(index.lookup(kvCScStringTCHARRef(L"k1064")), 65u);
    EXPECT_EQ(index.lookup(kvCScStringTCHARRef(L"k1000")), 1u);
}

TEST(PropertyBag, SetValueCreatesOnceThenAssigns)
{
    Bag bag;
    EXPECT_TRUE(bag.setValue(L"Width", 2.5, false));
    EXPECT_EQ(bag.count(), 1u);
    EXPECT_TRUE(bag.setValue(L"Width", 3.5, false));
    EXPECT_EQ(bag.count(), 1u);
    double w = 0;
    EXPECT_TRUE(bag.getValue(L"Width", w));
    EXPECT_DOUBLE_EQ(w, 3.5);

    w = 9.0;
    EXPECT_FALSE(bag.getValue(L"Height", w));
    EXPECT_DOUBLE_EQ(w, 9.0);

    bag.setValue(L"b", 1.0, false);
    bag.setValue(L"a", 2.0, false);
    unsigned int pos = 99;
    const kvCProperty* a = bag.find(L"a", &pos);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(pos, 2u);
    EXPECT_EQ(bag.find(L"zz"), nullptr);
}

TEST(PropertyBag, ForceReplacesAValueThatCannotTakeTheNewType)
{
    Bag bag;
    kvCGeMatrix m;
    kvCProperty matrix(L"Frame", m);
    EXPECT_FALSE(matrix.setValue(kvCString(L"text"), false));
    kvCGeMatrix back;
    back(0, 3) = 7;
    EXPECT_TRUE(matrix.getValue(back));
    EXPECT_EQ(back, m);  // the old value stayed
    EXPECT_TRUE(matrix.setValue(kvCString(L"text"), true));
    kvCString text;
    EXPECT_TRUE(matrix.getValue(text));
    EXPECT_EQ(text, kvCString(L"text"));

    // A string that reads as a number converts without force.
    EXPECT_TRUE(bag.setValue(L"Step", 1.0, false));
    EXPECT_TRUE(bag.setValue(L"Step", kvCString(L"2.5"), false));
    double step = 0;
    EXPECT_TRUE(bag.getValue(L"Step", step));
    EXPECT_DOUBLE_EQ(step, 2.5);
    EXPECT_FALSE(bag.setValue(L"Step", kvCString(L"wide"), false));
    EXPECT_TRUE(bag.setValue(L"Step", kvCString(L"wide"), true));
    EXPECT_FALSE(bag.getValue(L"Step", step));
}

namespace {
// A value whose copy fails, as a copy does when memory runs out.
struct Fragile {
    bool fails = false;
    Fragile() = default;
    explicit Fragile(bool f) : fails(f) {}
    Fragile(const Fragile& o) : fails(o.fails)
    {
        if (o.fails)
            throw std::bad_alloc();
    }
    Fragile& operator=(const Fragile&) = default;
};
}  // namespace

TEST(PropertyBag, AFailedForcedReplacementKeepsTheOldValue)
{
    kvCProperty p(L"Step", 2.5);
    EXPECT_THROW(p.setValue(Fragile(true), true), std::bad_alloc);
    double v = 0;
    ASSERT_TRUE(p.getValue(v));
    EXPECT_DOUBLE_EQ(v, 2.5);
}

TEST(PropertyBag, CopiesAndAssignmentsOwnTheirIndex)
{
    Bag source;
    source.setValue(L"c", 3.0, false);
    source.setValue(L"a", 1.0, false);
    Bag copy(source);
    double v = 0;
    EXPECT_TRUE(copy.getValue(L"a", v));
    EXPECT_DOUBLE_EQ(v, 1.0);

    Bag target;
    target.setValue(L"x", 9.0, false);
    target.setValue(L"y", 8.0, false);
    target.setValue(L"z", 7.0, false);
    target = source;
    EXPECT_EQ(target.count(), 2u);
    EXPECT_EQ(target.index().size(), 2u);
    EXPECT_EQ(target.find(L"x"), nullptr);
    EXPECT_TRUE(target.getValue(L"c", v));
    EXPECT_DOUBLE_EQ(v, 3.0);

    // Changes to one bag never show in another.
    source.setValue(L"b", 2.0, false);
    EXPECT_EQ(target.find(L"b"), nullptr);
    EXPECT_EQ(target.index().size(), 2u);
    target.setValue(L"a", 5.0, false);
    EXPECT_TRUE(source.getValue(L"a", v));
    EXPECT_DOUBLE_EQ(v, 1.0);

    target = target;
    EXPECT_EQ(target.count(), 2u);

    // An index cleared by remove(0) leaves the properties alone.
    target.index().remove(0);
    EXPECT_EQ(target.count(), 2u);
    EXPECT_EQ(target.find(L"a"), nullptr);
}

TEST(Property, CopyAssignmentAndNullNames)
{
    kvCProperty p(L"n", 4.0);
    kvCProperty q(p);
    double v = 0;
    EXPECT_TRUE(q.getValue(v));
    EXPECT_DOUBLE_EQ(v, 4.0);
    p.setValue(5.0, false);
    EXPECT_TRUE(q.getValue(v));
    EXPECT_DOUBLE_EQ(v, 4.0);

    // Assignment gives the target an equal value of the source's type.
    kvCProperty text(L"t", kvCString(L"abc"));
    q = text;
    EXPECT_EQ(std::wstring(q.getName()), L"t");
    EXPECT_NE(kvGenValPtr<kvCString>(*q.value()), nullptr);

    kvCProperty empty;
    EXPECT_EQ(empty.getName(), nullptr);
    EXPECT_FALSE(empty.getValue(v));
    q = empty;
    EXPECT_EQ(q.value(), nullptr);

    Bag bag;
    bag.setValue(static_cast<const wchar_t*>(nullptr), 1.0, false);
    bag.setValue(L"A", 2.0, false);
    EXPECT_TRUE(bag.getValue(static_cast<const wchar_t*>(nullptr), v));
    EXPECT_DOUBLE_EQ(v, 1.0);
    EXPECT_EQ(bag.index().at(0), 1u);
}

TEST(Property, ExtendedPropertyKeepsSubPropertiesThroughEveryCopy)
{
    kvCXProperty x(L"Tool", 6.0);
    x.subProperties().setValue(L"Diameter", 10.0, false);
    x.subProperties().setValue(L"Length", 50.0, false);

    std::unique_ptr<kvPrProperty> viaBase(static_cast<const kvCProperty&>(x).clone());
    auto* clone = dynamic_cast<kvCXProperty*>(viaBase.get());
    ASSERT_NE(clone, nullptr);
    double d = 0;
    EXPECT_TRUE(clone->subProperties().getValue(L"Diameter", d));
    EXPECT_DOUBLE_EQ(d, 10.0);

    kvTArray<kvCXProperty> tools;
    tools.append(x);
    tools.append(x);
    EXPECT_TRUE(tools.at(1).subProperties().getValue(L"Length", d));
    EXPECT_DOUBLE_EQ(d, 50.0);
    tools.at(1).subProperties().setValue(L"Length", 60.0, false);
    EXPECT_TRUE(tools.at(0).subProperties().getValue(L"Length", d));
    EXPECT_DOUBLE_EQ(d, 50.0);
}
