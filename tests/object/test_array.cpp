#include "host/object/kvArray.h"
#include "sdk/kvString.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

typedef double kvPoint3[3];
typedef kvTArray<kvPoint3, kvTMemCopy<kvPoint3>> PointArray;
typedef kvTArray<unsigned int> UIntArray;

// The code an operation throws as the array's own enumeration, 0 for none.
template <class A, class Op>
int codeThrown(A& a, Op op)
{
    try {
        op(a);
    } catch (typename A::eExcept e) {
        return e;
    }
    return 0;
}

} // namespace

TEST(Array, GrowRulesByStepAndByDoubling)
{
    struct Case {
        unsigned int capacity, growBy, wanted, expected;
        bool byIndex;  // growing access to index wanted - 1 instead of reserve
    };
    for (const Case& c : {Case{0, 8, 10, 16, false}, Case{0, 0, 9, 16, false}, Case{24, 0, 25, 48, false},
                          Case{3, 5, 4, 8, false}, Case{0, 0, 1, 8, false}, Case{0, 0, 17, 32, false},
                          Case{24, 0, 3, 24, false}, Case{0, 8, 1, 8, true}, Case{0, 8, 21, 24, true},
                          // Past the first step a block at least doubles.
                          Case{16, 8, 17, 32, false}, Case{40, 8, 41, 80, false}, Case{16, 8, 60, 64, false}}) {
        UIntArray a(c.capacity);
        a.setGrowBy(c.growBy);
        if (c.byIndex)
            a[c.wanted - 1] = 7;
        else
            a.reserve(c.wanted);
        EXPECT_EQ(a.capacity(), c.expected) << c.capacity << " " << c.growBy << " " << c.wanted;
        EXPECT_EQ(a.size(), c.byIndex ? c.wanted : 0u) << c.wanted;
    }
}

// Growing by the fixed step alone copied the whole block every eight
// elements: filling a catalogue of many entries took quadratic time.
TEST(Array, FillingElementByElementWithAStepReallocatesLogarithmicallyOften)
{
    UIntArray a(8);
    int reallocations = 0;
    for (unsigned int i = 0; i < 200000; ++i) {
        const unsigned int before = a.capacity();
        a[i] = i;
        reallocations += a.capacity() != before;
    }
    EXPECT_LE(reallocations, 16);
    EXPECT_EQ(a.size(), 200000u);
    EXPECT_EQ(a.at(199999), 199999u);
}

TEST(Array, RefusedAccessAndGrowthLeaveTheArrayAsItWas)
{
    UIntArray a;
    a[3] = 9;
    const UIntArray& constant = a;
    EXPECT_EQ(codeThrown(a, [](UIntArray& x) { x.at(4); }), UIntArray::eIndexOutOfRange);
    EXPECT_EQ(codeThrown(a, [&](UIntArray&) { constant[4]; }), UIntArray::eIndexOutOfRange);
    // An index whose successor wraps can never be held.
    EXPECT_EQ(codeThrown(a, [](UIntArray& x) { x[UINT32_MAX] = 1; }), UIntArray::eIndexOutOfRange);
    EXPECT_EQ(a.size(), 4u);
    EXPECT_EQ(a.capacity(), 8u);
    EXPECT_EQ(constant[3], 9u);

    // Doubling or stepping past the largest 32-bit count must not wrap to a small block.
    UIntArray doubling(0);
    doubling.setGrowBy(0);
    EXPECT_EQ(codeThrown(doubling, [](UIntArray& x) { x.reserve(0x80000001u); }), UIntArray::eNoMemory);
    UIntArray stepping(0);
    stepping.setGrowBy(0x40000000u);
    EXPECT_EQ(codeThrown(stepping, [](UIntArray& x) { x.reserve(UINT32_MAX); }), UIntArray::eNoMemory);
    EXPECT_EQ(doubling.capacity() + stepping.capacity(), 0u);

    // Byte counts that do not fit 32 bits fail instead of wrapping.
    PointArray p(4);
    EXPECT_EQ(codeThrown(p, [](PointArray& x) { x.reserve(0x10000000u); }), PointArray::eNoMemory);
    EXPECT_EQ(p.capacity(), 4u);
    EXPECT_NE(p.data(), nullptr);

    // Each instance throws its own enumeration: another array's catch misses it.
    kvTArray<int> ints;
    EXPECT_THROW({
        try {
            ints.at(0);
        } catch (UIntArray::eExcept) {
        }
    }, kvTArray<int>::eExcept);
}

TEST(Array, ShrinkingResetsDroppedElementsButKeepsTheBlock)
{
    UIntArray a;
    for (unsigned int i = 1; i <= 5; ++i)
        a.append(i * 10);
    a.setSize(2);
    EXPECT_EQ(a.capacity(), 8u);
    EXPECT_EQ(a[4], 0u);
    EXPECT_EQ(a[1], 20u);

    PointArray pts(0);
    const kvPoint3 p0 = {1, 2, 3}, p1 = {4, 5, 6};
    pts.append(p0);
    pts.append(p1);
    pts.setSize(1);
    EXPECT_DOUBLE_EQ(pts[1][2], 6.0);  // block-copied points are left as they are

    kvTArray<kvCString> names;
    names[1] = L"b";
    names.setSize(0);
    EXPECT_TRUE(names[1].isEmpty());

    kvTArray<kvTArray<int>> groups;
    groups[0].append(1);
    groups[1].setGrowBy(2);
    for (int i = 0; i < 20; ++i)
        groups[1].append(i);
    const unsigned int cap = groups[1].capacity();
    groups.setSize(1);
    EXPECT_EQ(groups[1].size(), 0u);
    EXPECT_EQ(groups[1].growBy(), 8u);
    EXPECT_EQ(groups[1].capacity(), cap);
    EXPECT_EQ(groups[0][0], 1);
}

TEST(Array, CopyAndAssignmentTakeSizeAndStepButAssignmentKeepsTheBlock)
{
    UIntArray src(0);
    src.setGrowBy(0);
    for (unsigned int i = 0; i < 10; ++i)
        src.append(i);
    UIntArray copy(src);
    EXPECT_EQ(copy.capacity(), 16u);
    EXPECT_EQ(copy.growBy(), 0u);
    EXPECT_EQ(copy[9], 9u);

    UIntArray target(0);
    for (unsigned int i = 0; i < 20; ++i)
        target.append(100 + i);
    const unsigned int cap = target.capacity();
    UIntArray shorter(0);
    shorter.setGrowBy(3);
    shorter.append(1);
    target = shorter;
    EXPECT_EQ(target.size(), 1u);
    EXPECT_EQ(target.capacity(), cap);
    EXPECT_EQ(target.growBy(), 3u);
    EXPECT_EQ(target[1], 0u);  // reset by the assignment

    target = target;
    EXPECT_EQ(target.size(), 2u);
    EXPECT_EQ(target[0], 1u);
}

TEST(Array, AppendOfOwnElementSurvivesReallocation)
{
    kvTArray<kvCString> a(1);
    a.append(kvCString(L"first"));
    a.append(a.at(0));
    EXPECT_EQ(a.at(1), kvCString(L"first"));

    PointArray p(1);
    const kvPoint3 q = {7, 8, 9};
    p.append(q);
    p.append(p[0]);
    EXPECT_DOUBLE_EQ(p[1][0], 7.0);
    EXPECT_DOUBLE_EQ(p[1][2], 9.0);
}

TEST(Array, ExplicitCapacityNeverLeavesSizeBeyondTheBlock)
{
    UIntArray a;
    EXPECT_TRUE(a.freeExtra());
    EXPECT_EQ(a.data(), nullptr);

    a.append(1);
    a.append(2);
    EXPECT_TRUE(a.ensureCapacity(41));
    a.freeExtra();
    EXPECT_EQ(a.capacity(), 2u);
    EXPECT_EQ(a[1], 2u);

    // Fewer elements than are in use: the ones past the block are dropped.
    a.setCapacity(1);
    EXPECT_EQ(a.capacity(), 1u);
    EXPECT_EQ(a.size(), 1u);
    EXPECT_EQ(a.at(0), 1u);
    EXPECT_THROW(a.at(1), UIntArray::eExcept);
}
