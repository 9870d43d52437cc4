#include "host/object/kvArray.h"
#include "sdk/kvString.h"

#include <gtest/gtest.h>

#include <cstdint>

typedef double kvPoint3[3];
typedef kvTArray<kvPoint3, kvTMemCopy<kvPoint3>> PointArray;
typedef kvTArray<unsigned int> UIntArray;

TEST(Array, GrowRulesByStepAndByDoubling)
{
    struct Case {
        unsigned int capacity, growBy, wanted, expected;
    };
    for (const Case& c : {Case{0, 8, 10, 16}, Case{0, 0, 9, 16}, Case{24, 0, 25, 48}, Case{3, 5, 4, 8},
                          Case{0, 0, 1, 8}, Case{0, 0, 17, 32}, Case{24, 0, 3, 24}}) {
        UIntArray a(c.capacity);
        a.setGrowBy(c.growBy);
        a.reserve(c.wanted);
        EXPECT_EQ(a.capacity(), c.expected) << c.capacity << " " << c.growBy << " " << c.wanted;
    }

    // Growing access reaches any index and brings it into use.
    UIntArray empty(0);
    EXPECT_EQ(empty.data(), nullptr);
    empty[0] = 7;
    EXPECT_EQ(empty.capacity(), 8u);
    EXPECT_EQ(empty.size(), 1u);
    UIntArray far(0);
    far[20] = 1;
    EXPECT_EQ(far.capacity(), 24u);
    EXPECT_EQ(far.size(), 21u);
}

TEST(Array, BoundsTestedAccessLeavesArrayUnchanged)
{
    UIntArray a;
    a.append(4);
    a.append(5);
    EXPECT_EQ(a.at(1), 5u);
    try {
        a.at(2);
        FAIL() << "at(size) must throw";
    } catch (UIntArray::eExcept e) {
        EXPECT_EQ(e, 1);
    }
    EXPECT_EQ(a.size(), 2u);
    EXPECT_EQ(a.capacity(), 8u);

    const UIntArray& c = a;
    EXPECT_EQ(c[0], 4u);
    EXPECT_THROW(c[2], UIntArray::eExcept);
}

TEST(Array, ExceptionTypeIsPerInstance)
{
    kvTArray<int> ints;
    bool caughtOwn = false;
    try {
        try {
            ints.at(0);
        } catch (UIntArray::eExcept) {
            FAIL() << "another instance's enumeration must not catch";
        }
    } catch (kvTArray<int>::eExcept e) {
        caughtOwn = (e == kvTArray<int>::eIndexOutOfRange);
    }
    EXPECT_TRUE(caughtOwn);
}

TEST(Array, WrappingIndexAndOversizedGrowthAreRefused)
{
    UIntArray a;
    a[3] = 9;
    try {
        a[UINT32_MAX] = 1;
        FAIL() << "an index whose successor wraps must throw";
    } catch (UIntArray::eExcept e) {
        EXPECT_EQ(e, 1);
    }
    EXPECT_EQ(a.size(), 4u);
    EXPECT_EQ(a.capacity(), 8u);
    EXPECT_EQ(a[3], 9u);

    // Doubling past the largest 32-bit count must not wrap to a small block.
    UIntArray d(0);
    d.setGrowBy(0);
    try {
        d.reserve(0x80000001u);
        FAIL() << "growth beyond the size type must throw";
    } catch (UIntArray::eExcept e) {
        EXPECT_EQ(e, 2);
    }
    EXPECT_EQ(d.capacity(), 0u);

    // A fixed step that would pass the largest count fails the same way.
    UIntArray f(0);
    f.setGrowBy(0x40000000u);
    EXPECT_THROW(f.reserve(UINT32_MAX), UIntArray::eExcept);
    EXPECT_EQ(f.capacity(), 0u);

    // Byte counts that do not fit 32 bits fail instead of wrapping.
    PointArray p(4);
    try {
        p.reserve(0x10000000u);
        FAIL() << "an oversized block must be refused";
    } catch (PointArray::eExcept e) {
        EXPECT_EQ(e, 2);
    }
    EXPECT_EQ(p.capacity(), 4u);
    EXPECT_NE(p.data(), nullptr);
}

TEST(Array, ShrinkingResetsDroppedElementsButKeepsBlock)
{
    UIntArray a;
    for (unsigned int i = 1; i <= 5; ++i)
        a.append(i * 10);
    a.setSize(2);
    EXPECT_EQ(a.size(), 2u);
    EXPECT_EQ(a.capacity(), 8u);
    EXPECT_EQ(a[4], 0u);
    EXPECT_EQ(a.size(), 5u);
    EXPECT_EQ(a[1], 20u);

    PointArray pts(0);
    const kvPoint3 p0 = {1, 2, 3};
    const kvPoint3 p1 = {4, 5, 6};
    pts.append(p0);
    pts.append(p1);
    pts.setSize(1);
    EXPECT_DOUBLE_EQ(pts[1][2], 6.0);  // dropped points are left as they are

    kvTArray<kvCString> names;
    names[0] = L"a";
    names[1] = L"b";
    names.setSize(0);
    EXPECT_TRUE(names[1].isEmpty());
}

TEST(Array, CopyAndAssignment)
{
    UIntArray src(0);
    for (unsigned int i = 0; i < 10; ++i)
        src.append(i);
    UIntArray copy(src);
    EXPECT_EQ(copy.capacity(), 16u);
    EXPECT_EQ(copy.size(), 10u);
    EXPECT_EQ(copy[9], 9u);

    src.setGrowBy(0);
    UIntArray copy0(src);
    EXPECT_EQ(copy0.capacity(), 16u);
    EXPECT_EQ(copy0.growBy(), 0u);

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

TEST(Array, NestedArraysAreResetToEmptyWithTheirBlock)
{
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

TEST(Array, AppendOfOwnElementSurvivesReallocation)
{
    kvTArray<kvCString> a(1);
    a.append(kvCString(L"first"));
    a.append(a.at(0));
    EXPECT_EQ(a.size(), 2u);
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
    EXPECT_EQ(a.capacity(), 0u);
    EXPECT_EQ(a.data(), nullptr);

    a.append(1);
    a.append(2);
    a.reserve(40);
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

TEST(SmallRecords, PairsInArraysAreIndependentCopies)
{
    kvTArray<kvTPair<kvCString, kvCString>> choices;
    choices.append(kvTPair<kvCString, kvCString>(L"1", L"One"));
    kvTArray<kvTPair<kvCString, kvCString>> copy(choices);
    choices.at(0).second = L"changed";
    EXPECT_EQ(copy.at(0).second, kvCString(L"One"));
    EXPECT_EQ(copy.at(0).first, kvCString(L"1"));
}
