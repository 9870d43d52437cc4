#include "heap_failure.h"
#include "host/object/kvPropertyBag.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

typedef kvTPropertyBag<kvCProperty> Bag;
typedef Bag::Index Index;

kvCScStringTCHARRef key(const wchar_t* text) { return kvCScStringTCHARRef(text); }

// An index over names given by 1-based position, as the bag's reader gives them.
struct NamedIndex : kvKeyReader<unsigned int, kvCScStringTCHARRef> {
    std::vector<std::wstring> store;
    std::vector<const wchar_t*> names;  // null entries are null keys
    Index index{this};

    explicit NamedIndex(std::vector<const wchar_t*> n) : names(std::move(n)) {}
    kvCScStringTCHARRef getKey(unsigned int p) const override { return key(names.at(p - 1)); }
    std::vector<unsigned int> slots() const
    {
        std::vector<unsigned int> out;
        for (unsigned int i = 0; i < index.size(); ++i)
            out.push_back(index.at(i));
        return out;
    }
};

// The code an index operation throws, 0 for none.
int codeThrown(const std::function<void()>& op)
{
    try {
        op();
    } catch (Index::possibleExceptions e) {
        return e;
    }
    return 0;
}

} // namespace

TEST(SortedIndex, NullKeysFirstThenCodeUnitOrder)
{
    NamedIndex n({L"b", L"a", L"c", nullptr, L"B"});
    for (unsigned int p = 1; p <= 5; ++p)
        n.index.insert(p, true);
    EXPECT_EQ(n.slots(), (std::vector<unsigned int>{4, 5, 2, 1, 3}));
    EXPECT_EQ(n.index.lookup(key(L"c")), 3u);
    EXPECT_EQ(n.index.lookup(key(L"d")), 0u);
    EXPECT_EQ(n.index.lookup(key(nullptr)), 4u);
    EXPECT_EQ(n.index.lookup(key(L"B")), 5u);
}

TEST(SortedIndex, DuplicatesAreRefusedOrPlacedInFrontAndRemovedOnce)
{
    NamedIndex n({L"m", L"m", L"m"});
    n.index.insert(1, true);
    EXPECT_EQ(codeThrown([&] { n.index.insert(2, true); }), Index::eDuplicateKey);
    EXPECT_EQ(n.index.size(), 1u);
    n.index.insert(2, false);
    n.index.insert(3, false);
    EXPECT_EQ(n.slots(), (std::vector<unsigned int>{3, 2, 1}));
    EXPECT_EQ(n.index.search(key(L"m"), false), 0u);
    EXPECT_EQ(n.index.search(key(L"m"), true), 2u);

    // Removal finds a position anywhere in the run, and only once.
    EXPECT_EQ(n.index.remove(2), 2u);
    EXPECT_EQ(n.slots(), (std::vector<unsigned int>{3, 1}));
    EXPECT_EQ(n.index.remove(2), 0u);
    EXPECT_EQ(n.index.remove(1) + n.index.remove(3), 4u);
    EXPECT_EQ(n.index.remove(3), 0u);  // an empty index holds nothing
}

TEST(SortedIndex, SearchGivesTheBoundingSlotAndRemoveZeroClears)
{
    NamedIndex n({L"b", L"d", L"f"});
    EXPECT_EQ(n.index.search(key(L"a"), false), Index::npos);
    for (unsigned int p = 1; p <= 3; ++p)
        n.index.insert(p, true);
    EXPECT_EQ(n.index.search(key(L"c"), false), 1u);  // first >= c
    EXPECT_EQ(n.index.search(key(L"c"), true), 0u);   // last <= c
    EXPECT_EQ(n.index.search(key(L"z"), false), 2u);  // every key smaller
    EXPECT_EQ(n.index.search(key(L"a"), true), 0u);   // a candidate only

    EXPECT_EQ(n.index.remove(0), 0u);
    EXPECT_EQ(n.index.size(), 0u);
    EXPECT_EQ(n.index.lookup(key(L"b")), 0u);
}

TEST(SortedIndex, ASlotHoldingPositionZeroIsRefusedByEveryBisection)
{
    // Position 0 names no property: reading its key would read in front of
    // the property array.
    Bag bag;
    bag.setValue(L"b", 1.0, false);
    Index& index = bag.index();
    index.insert(0, false);  // null key: sorts first
    const std::function<void()> ops[] = {[&] { index.lookup(key(L"a")); }, [&] { index.search(key(L"a"), false); },
                                         [&] { index.search(key(L"a"), true); }, [&] { index.insert(1, false); }};
    for (const auto& op : ops)
        EXPECT_EQ(codeThrown(op), Index::eEmptySlot) << "operation " << (&op - ops);
}

TEST(SortedIndex, GrowsFrom64ByDoubling)
{
    NamedIndex n({});
    for (int i = 0; i < 65; ++i)
        n.store.push_back(L"k" + std::to_wstring(1000 + i));
    for (unsigned int p = 1; p <= 65; ++p) {
        n.names.push_back(n.store[p - 1].c_str());
        n.index.insert(p, true);
        EXPECT_EQ(n.index.capacity(), p <= 64 ? 64u : 128u) << p;
    }
    EXPECT_EQ(n.index.lookup(key(L"k1064")), 65u);
    EXPECT_EQ(n.index.lookup(key(L"k1000")), 1u);
}

TEST(PropertyBag, SetValueCreatesOnceThenAssignsAndFindsByName)
{
    Bag bag;
    EXPECT_TRUE(bag.setValue(L"Width", 2.5, false));
    EXPECT_TRUE(bag.setValue(L"Width", 3.5, false));
    EXPECT_EQ(bag.count(), 1u);
    double w = 0;
    EXPECT_TRUE(bag.getValue(L"Width", w));
    EXPECT_DOUBLE_EQ(w, 3.5);
    EXPECT_FALSE(bag.getValue(L"Height", w));
    EXPECT_DOUBLE_EQ(w, 3.5);

    bag.setValue(L"a", 2.0, false);
    unsigned int pos = 99;
    ASSERT_NE(bag.find(L"a", &pos), nullptr);
    EXPECT_EQ(pos, 1u);  // zero-based, while the index holds 1-based positions
    EXPECT_EQ(bag.find(L"zz"), nullptr);

    bag.setValue(static_cast<const wchar_t*>(nullptr), 1.0, false);
    EXPECT_TRUE(bag.getValue(static_cast<const wchar_t*>(nullptr), w));
    EXPECT_DOUBLE_EQ(w, 1.0);
    EXPECT_EQ(bag.index().at(0), 3u);  // the null name sorts first
}

TEST(PropertyBag, OnlyForceReplacesAValueThatCannotTakeTheNewType)
{
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
    Bag bag;
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
} // namespace

TEST(PropertyBag, AFailedForcedReplacementKeepsTheOldValue)
{
    kvCProperty p(L"Step", 2.5);
    EXPECT_THROW(p.setValue(Fragile(true), true), std::bad_alloc);
    double v = 0;
    ASSERT_TRUE(p.getValue(v));
    EXPECT_DOUBLE_EQ(v, 2.5);
}

TEST(PropertyBag, ANewPropertyWithoutMemoryForItsValueThrowsFalseAndLeavesTheBag)
{
    Bag bag;
    ASSERT_TRUE(bag.setValue(L"Width", 2.5, false));
    testheap::failNextNothrowAllocations(1);
    bool thrown = true;
    try {
        bag.setValue(L"Depth", 4.0, false);
        ADD_FAILURE() << "a property that cannot be made is not reported as a refused value";
    } catch (bool value) {
        thrown = value;
    }
    testheap::failNextNothrowAllocations(0);
    EXPECT_FALSE(thrown) << "the bool false passes out";
    EXPECT_EQ(bag.count(), 1u);
    EXPECT_EQ(bag.find(L"Depth"), nullptr);
    EXPECT_EQ(bag.index().size(), 1u);
    // Memory back, the same call stores the value.
    EXPECT_TRUE(bag.setValue(L"Depth", 4.0, false));
    double depth = 0;
    EXPECT_TRUE(bag.getValue(L"Depth", depth));
    EXPECT_DOUBLE_EQ(depth, 4.0);
}

TEST(PropertyBag, CopiesAndAssignmentsOwnTheirPropertiesAndIndex)
{
    Bag source;
    source.setValue(L"c", 3.0, false);
    source.setValue(L"a", 1.0, false);
    Bag copy(source);
    Bag target;
    for (const wchar_t* name : {L"x", L"y", L"z"})
        target.setValue(name, 9.0, false);
    target = source;
    target = target;
    EXPECT_EQ(target.count(), 2u);
    EXPECT_EQ(target.find(L"x"), nullptr);

    // Changes to one bag never show in another.
    source.setValue(L"b", 2.0, false);
    target.setValue(L"a", 5.0, false);
    double v = 0;
    for (Bag* other : {&copy, &target}) {
        EXPECT_EQ(other->find(L"b"), nullptr);
        EXPECT_EQ(other->index().size(), 2u);
        EXPECT_TRUE(other->getValue(L"c", v));
        EXPECT_DOUBLE_EQ(v, 3.0);
    }
    EXPECT_TRUE(source.getValue(L"a", v));
    EXPECT_DOUBLE_EQ(v, 1.0);

    // An index cleared by remove(0) leaves the properties alone.
    target.index().remove(0);
    EXPECT_EQ(target.count(), 2u);
    EXPECT_EQ(target.find(L"a"), nullptr);
}

TEST(Property, CopiesAreIndependentAndAssignmentTakesNameAndType)
{
    kvCProperty p(L"n", 4.0);
    kvCProperty q(p);
    p.setValue(5.0, false);
    double v = 0;
    EXPECT_TRUE(q.getValue(v));
    EXPECT_DOUBLE_EQ(v, 4.0);

    q = kvCProperty(L"t", kvCString(L"abc"));
    EXPECT_EQ(std::wstring(q.getName()), L"t");
    EXPECT_NE(kvGenValPtr<kvCString>(*q.value()), nullptr);

    kvCProperty empty;
    EXPECT_EQ(empty.getName(), nullptr);
    EXPECT_FALSE(empty.getValue(v));
    q = empty;
    EXPECT_EQ(q.value(), nullptr);
}

TEST(Property, ExtendedPropertyKeepsSubPropertiesThroughEveryCopy)
{
    kvCXProperty x(L"Tool", 6.0);
    x.subProperties().setValue(L"Length", 50.0, false);

    std::unique_ptr<kvPrProperty> viaBase(static_cast<const kvCProperty&>(x).clone());
    auto* clone = dynamic_cast<kvCXProperty*>(viaBase.get());
    ASSERT_NE(clone, nullptr);
    double d = 0;
    EXPECT_TRUE(clone->subProperties().getValue(L"Length", d));
    EXPECT_DOUBLE_EQ(d, 50.0);

    kvTArray<kvCXProperty> tools;
    tools.append(x);
    tools.append(x);
    tools.at(1).subProperties().setValue(L"Length", 60.0, false);
    EXPECT_TRUE(tools.at(0).subProperties().getValue(L"Length", d));
    EXPECT_DOUBLE_EQ(d, 50.0);
    EXPECT_TRUE(tools.at(1).subProperties().getValue(L"Length", d));
    EXPECT_DOUBLE_EQ(d, 60.0);
}
