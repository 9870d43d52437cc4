#include "sdk/kvGenVal.h"
#include "sdk/kvValueSets.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <type_traits>
#include <typeinfo>

namespace {

typedef std::initializer_list<const kvCGenVal*> Holders;

// Runs assign and reports whether it threw the bool false.
bool assignFails(kvCGenVal& target, const kvCGenVal& src, bool allowConvert)
{
    try {
        target.assign(src, allowConvert);
    } catch (bool b) {
        EXPECT_FALSE(b);
        return true;
    }
    return false;
}

template <class S>
S sample()
{
    return S(1);
}

template <>
kvCString sample<kvCString>()
{
    return kvCString(L"1");
}

// One cell of the conversion table: convertGenVal must answer it for the
// owning, reference and constant-reference holders of S alike; without
// conversion only a holder of the target's own type is taken, from every kind
// of holder; with conversion an assignment throws exactly when the pair is
// refused and the types differ; a constant reference never takes a value.
template <class T, class S>
void checkCell(char cell, int column)
{
    const bool listed = cell == 'c', sameType = std::is_same<T, S>::value;
    S s = sample<S>();
    kvCGenValueNc<S> owned(s);
    kvCGenValueRefNc<S> ref(s);
    kvCGenValueConstRefNc<S> constRef(s);
    // The target holds the sample when it took it, and is left alone otherwise.
    auto expectHolds = [&](const T& dst, bool taken) {
        if constexpr (std::is_arithmetic<T>::value) {
            EXPECT_EQ(dst, taken ? sample<T>() : T()) << typeid(T).name() << " from column " << column;
        } else if constexpr (std::is_same<T, kvCString>::value) {
            const kvCString expected(std::is_same<S, bool>::value ? L"true" : L"1");
            EXPECT_EQ(dst, taken ? expected : kvCString()) << "text from column " << column;
        }
    };
    for (const kvCGenVal* src : Holders{&owned, &ref, &constRef}) {
        T dst = T();
        EXPECT_EQ(convertGenVal<T>(dst, *src), listed) << typeid(T).name() << " from column " << column;
        expectHolds(dst, listed);
        T target = T();
        kvCGenValueRefNc<T> holder(target);
        EXPECT_EQ(assignFails(holder, *src, false), !sameType) << typeid(T).name() << " from column " << column;
        expectHolds(target, sameType);
    }
    T target = T();
    kvCGenValueRefNc<T> holder(target);
    EXPECT_EQ(assignFails(holder, owned, true), !listed && !sameType) << typeid(T).name() << " from column " << column;
    expectHolds(target, listed || sameType);
    const T fixed = T();
    kvCGenValueConstRefNc<T> constTarget(fixed);
    EXPECT_TRUE(assignFails(constTarget, owned, true));
}

template <class T>
void checkRow(const char* row)
{
    ASSERT_EQ(std::strlen(row), 10u);
    int column = 0;
    [&](auto... tag) { ((checkCell<T, decltype(tag)>(row[column], column), ++column), ...); }(
        bool(), short(), static_cast<unsigned short>(0), int(), 0u, long(), 0ul, float(), double(), kvCString());
}

// Converts src into a target that starts as start.
template <class T, class S>
void expectConversion(const S& src, bool converts, T expected, T start = T())
{
    T dst = start;
    EXPECT_EQ(convert(dst, src), converts) << typeid(T).name() << " from " << typeid(S).name();
    EXPECT_EQ(dst, expected) << typeid(T).name() << " from " << typeid(S).name();
}

} // namespace

TEST(ConversionTable, ExactlyTheListedPairsConvertFromEveryKindOfHolder)
{
    // Targets by row, sources by column; 'c' converts, '-' refuses.
    //          bool short ushort int uint long ulong float double string
    checkRow<bool>("-cccccc--c");
    checkRow<short>("c-cccccccc");
    checkRow<int>("ccc-cccccc");
    checkRow<unsigned int>("cccc-ccccc");
    checkRow<long>("ccccc-cccc");
    checkRow<double>("-ccccccc-c");
    checkRow<kvCString>("ccccccccc-");
    // Geometry and set values take nothing by conversion.
    checkRow<kvCGeMatrix>("----------");
    checkRow<kvCGePoint>("----------");
    checkRow<kvCGeContour2d>("----------");
    checkRow<kvCSurfaceSet>("----------");
    checkRow<kvCCadEntityData>("----------");
}

TEST(ConversionTable, ValuesAreRoundedRangeCheckedAndParsedWhole)
{
    expectConversion<int>(2.6, true, 3);
    expectConversion<int>(-2.5, true, -3);
    expectConversion<short>(40000, false, 4, 4);
    expectConversion<unsigned int>(-1, false, 9u, 9u);
    expectConversion<double>(kvCString(L"  -1.25e2 "), true, -125.0);
    for (const wchar_t* refused : {L"12abc", L"", L"nan"})
        expectConversion<double>(kvCString(refused), false, 7.0, 7.0);
    expectConversion<bool>(kvCString(L"FALSE"), true, false, true);
    expectConversion<bool>(kvCString(L"2"), true, true);
    expectConversion<bool>(kvCString(L"maybe"), false, true, true);
    expectConversion<kvCString>(0.1, true, kvCString(L"0.1"));
    expectConversion<kvCString>(-42l, true, kvCString(L"-42"));
    expectConversion<kvCString>(false, true, kvCString(L"false"));

    // Text keeps every digit a double needs to come back unchanged.
    kvCString text;
    EXPECT_TRUE(convert(text, 1.0 / 3.0));
    expectConversion<double>(text, true, 1.0 / 3.0);
}

TEST(GenericValues, HolderAssignmentWritesThroughAndNeverRebinds)
{
    int a = 1, b = 2;
    kvCGenValueRefNc<int> ra(a);
    kvCGenValueRefNc<int> rb(b);
    ra = rb;
    EXPECT_EQ(a, 2);
    b = 5;
    EXPECT_EQ(*ra.value(), 2);
    kvCGenVal& base = ra;
    base = kvCGenValueNc<long>(9);  // converts
    EXPECT_EQ(a, 9);
}

TEST(GenericValues, EqualityIsValueEqualityOnlyForMatricesAndContours)
{
    kvCGenValueNc<int> four(4);
    EXPECT_FALSE(four.equals(four));

    kvCGeMatrix m;
    m.setTranslation(kvCGeVector(1, 2, 3));
    kvCGeMatrix same = m;
    kvCGenValue<kvCGeMatrix> owned(m);
    kvCGenValueRefNc<kvCGeMatrix> ref(same);
    EXPECT_TRUE(owned.equals(ref));
    same.setTranslation(kvCGeVector(1, 2, 4));
    EXPECT_FALSE(owned.equals(ref));
    EXPECT_FALSE(owned.equals(four));
    EXPECT_FALSE(kvCGenValueNc<kvCGeMatrix>(m).equals(owned));

    kvCGeContour2d c;
    c.lineTo(0, 0, 1).lineTo(1, 0, 0);
    EXPECT_TRUE(kvCGenValueConstRef<kvCGeContour2d>(c).equals(kvCGenValueNc<kvCGeContour2d>(c)));
}

TEST(GenericValues, ClonesOwnTheirCopyAndKeepTheEqualityKind)
{
    kvCGeMatrix m;
    std::unique_ptr<kvCGenVal> withEq(kvCGenValueConstRef<kvCGeMatrix>(m).clone());
    std::unique_ptr<kvCGenVal> withoutEq(kvCGenValueConstRefNc<kvCGeMatrix>(m).clone());
    EXPECT_NE(dynamic_cast<kvCGenValue<kvCGeMatrix>*>(withEq.get()), nullptr);
    EXPECT_EQ(dynamic_cast<kvCGenValue<kvCGeMatrix>*>(withoutEq.get()), nullptr);
    EXPECT_NE(dynamic_cast<kvCGenValueNc<kvCGeMatrix>*>(withoutEq.get()), nullptr);

    double v = 1.0;
    std::unique_ptr<kvCGenVal> c(kvCGenValueRefNc<double>(v).clone());
    v = 2.0;
    EXPECT_DOUBLE_EQ(*kvGenValPtr<double>(*c), 1.0);
}

TEST(GenericValues, InPlaceFactoriesPickTheEqualityKindAndWriteThrough)
{
    kvCString out(L"before");
    {
        kvTGenValPlace<kvCGenValueRefNc<kvCString>> place;
        kvCGenVal* ref = place.hold(newGenValueRef<kvCString>(out, place.place()));
        ASSERT_NE(ref, nullptr);
        *ref = kvCGenValueNc<int>(12);
    }
    EXPECT_EQ(out, kvCString(L"12"));

    const kvCGeMatrix m;
    kvTGenValPlace<kvCGenValueConstRef<kvCGeMatrix>> place;
    EXPECT_NE(dynamic_cast<kvCGenValueConstRef<kvCGeMatrix>*>(place.hold(newGenValueConstRef(m, place.place()))),
              nullptr);
    const double d = 1.0;
    kvTGenValPlace<kvCGenValueConstRefNc<double>> dplace;
    EXPECT_EQ(dynamic_cast<kvCGenValueConstRef<double>*>(dplace.hold(newGenValueConstRef(d, dplace.place()))),
              nullptr);
    int unused = 0;
    EXPECT_EQ(newGenValueRef<int>(unused, nullptr), nullptr);
}

TEST(GenericValues, DeletingAnInPlaceHolderLeavesItsBufferAndHeapHoldersAreFreed)
{
    // A holder in the caller's frame, ended through its deleting destructor:
    // the stack buffer must not reach the heap (the sanitizer build reports
    // a free of stack memory), and the variable keeps what was written.
    double target = 0.0;
    alignas(std::max_align_t) unsigned char buffer[sizeof(kvCGenValueRefNc<double>)];
    kvCGenVal* ref = newGenValueRef<double>(target, buffer);
    ASSERT_NE(ref, nullptr);
    *ref = kvCGenValueNc<int>(7);
    delete ref;
    EXPECT_EQ(target, 7.0);

    // Heap holders still go back to the heap (the leak check would see them).
    for (int i = 0; i < 100; ++i) {
        kvCGenVal* owned = newGenValue(static_cast<double>(i));
        ASSERT_NE(owned, nullptr);
        kvCGenVal* copy = owned->clone();
        delete owned;
        delete copy;
    }
    delete static_cast<kvCGenVal*>(nullptr);
}
