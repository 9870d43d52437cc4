#include "sdk/kvGenVal.h"
#include "sdk/kvValueSets.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <type_traits>
#include <typeinfo>

namespace {

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
// owning, reference and constant-reference holders of S alike, and an
// assignment with conversion allowed must throw exactly when it refuses (a
// holder of the target's own type is copied, never converted).
template <class T, class S>
void checkCell(char cell, int column)
{
    const bool listed = cell == 'c';
    S s = sample<S>();
    kvCGenValueNc<S> owned(s);
    kvCGenValueRefNc<S> ref(s);
    kvCGenValueConstRefNc<S> constRef(s);
    const kvCGenVal* holders[] = {&owned, &ref, &constRef};
    for (const kvCGenVal* src : holders) {
        T dst = T();
        EXPECT_EQ(convertGenVal<T>(dst, *src), listed) << typeid(T).name() << " from column " << column;
        // A refused pair leaves the target alone.
        if constexpr (std::is_arithmetic<T>::value) {
            EXPECT_EQ(dst, listed ? sample<T>() : T()) << typeid(T).name() << " from column " << column;
        } else if constexpr (std::is_same<T, kvCString>::value) {
            const kvCString expected(std::is_same<S, bool>::value ? L"true" : L"1");
            EXPECT_EQ(dst, listed ? expected : kvCString()) << "text from column " << column;
        }
    }
    T target = T();
    kvCGenValueRefNc<T> holder(target);
    const bool sameType = std::is_same<T, S>::value;
    EXPECT_EQ(assignFails(holder, owned, true), !listed && !sameType)
        << typeid(T).name() << " from column " << column;
}

template <class T, class... S>
void checkCells(const char* row)
{
    ASSERT_EQ(std::strlen(row), sizeof...(S));
    int column = 0;
    ((checkCell<T, S>(row[column], column), ++column), ...);
}

template <class T>
void checkRow(const char* row)
{
    checkCells<T, bool, short, unsigned short, int, unsigned int, long, unsigned long, float, double, kvCString>(row);
}

}  // namespace

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
    int i = 0;
    EXPECT_TRUE(convert(i, 2.6));
    EXPECT_EQ(i, 3);
    EXPECT_TRUE(convert(i, -2.5));
    EXPECT_EQ(i, -3);

    short s = 4;
    EXPECT_FALSE(convert(s, 40000));
    EXPECT_EQ(s, 4);
    unsigned int u = 9;
    EXPECT_FALSE(convert(u, -1));
    EXPECT_EQ(u, 9u);

    double d = 0;
    EXPECT_TRUE(convert(d, kvCString(L"  -1.25e2 ")));
    EXPECT_DOUBLE_EQ(d, -125.0);
    EXPECT_FALSE(convert(d, kvCString(L"12abc")));
    EXPECT_FALSE(convert(d, kvCString(L"")));
    EXPECT_FALSE(convert(d, kvCString(L"nan")));
    EXPECT_DOUBLE_EQ(d, -125.0);

    bool b = true;
    EXPECT_TRUE(convert(b, kvCString(L"FALSE")));
    EXPECT_FALSE(b);
    EXPECT_TRUE(convert(b, kvCString(L"2")));
    EXPECT_TRUE(b);
    EXPECT_FALSE(convert(b, kvCString(L"maybe")));

    kvCString text;
    EXPECT_TRUE(convert(text, 0.1));
    EXPECT_EQ(text, kvCString(L"0.1"));
    EXPECT_TRUE(convert(text, 1.0 / 3.0));
    double back = 0;
    EXPECT_TRUE(convert(back, text));
    EXPECT_EQ(back, 1.0 / 3.0);
    EXPECT_TRUE(convert(text, -42l));
    EXPECT_EQ(text, kvCString(L"-42"));
    EXPECT_TRUE(convert(text, false));
    EXPECT_EQ(text, kvCString(L"false"));
}

TEST(GenericValues, AssignmentOrderAndConversion)
{
    double target = 0;
    kvCGenValueRefNc<double> ref(target);
    kvCGenValueNc<int> seven(7);
    ref.assign(seven, true);
    EXPECT_DOUBLE_EQ(target, 7.0);

    target = 1.5;
    EXPECT_TRUE(assignFails(ref, seven, false));
    EXPECT_DOUBLE_EQ(target, 1.5);

    // Same type copies directly, with or without conversion allowed, from
    // every kind of holder.
    int n = 0;
    kvCGenValueRefNc<int> nRef(n);
    nRef.assign(seven, false);
    EXPECT_EQ(n, 7);
    int other = 11;
    kvCGenValueRefNc<int> otherRef(other);
    nRef.assign(otherRef, false);
    EXPECT_EQ(n, 11);
    const int fixed = 13;
    kvCGenValueConstRefNc<int> fixedRef(fixed);
    nRef.assign(fixedRef, false);
    EXPECT_EQ(n, 13);

    kvCGeMatrix m;
    kvCGenValueRefNc<kvCGeMatrix> mRef(m);
    kvCGenValueNc<kvCString> text(kvCString(L"1"));
    EXPECT_TRUE(assignFails(mRef, text, false));

    // Constant references never take a value.
    const double c = 2.0;
    kvCGenValueConstRefNc<double> cRef(c);
    kvCGenValueNc<double> two(3.0);
    EXPECT_TRUE(assignFails(cRef, two, true));
    kvCGenValueConstRef<kvCGeMatrix> cm(m);
    kvCGenValueNc<kvCGeMatrix> owned;
    EXPECT_TRUE(assignFails(cm, owned, true));
}

TEST(GenericValues, HolderAssignmentWritesThroughAndNeverRebinds)
{
    int a = 1;
    int b = 2;
    kvCGenValueRefNc<int> ra(a);
    kvCGenValueRefNc<int> rb(b);
    ra = rb;
    EXPECT_EQ(a, 2);
    b = 5;
    EXPECT_EQ(*ra.value(), 2);
    kvCGenVal& base = ra;
    kvCGenValueNc<long> l(9);
    base = l;  // converts
    EXPECT_EQ(a, 9);
}

TEST(GenericValues, EqualityIsValueEqualityOnlyForMatricesAndContours)
{
    kvCGenValueNc<int> x(4);
    kvCGenValueNc<int> y(4);
    EXPECT_FALSE(x.equals(y));
    kvCGenValueNc<kvCString> s1(kvCString(L"a"));
    EXPECT_FALSE(s1.equals(s1));

    kvCGeMatrix m;
    m.setTranslation(kvCGeVector(1, 2, 3));
    kvCGeMatrix same = m;
    kvCGenValue<kvCGeMatrix> owned(m);
    kvCGenValueRefNc<kvCGeMatrix> ref(same);
    EXPECT_TRUE(owned.equals(ref));
    same.setTranslation(kvCGeVector(1, 2, 4));
    EXPECT_FALSE(owned.equals(ref));
    EXPECT_FALSE(owned.equals(x));

    kvCGeContour2d c;
    c.lineTo(0, 0, 1).lineTo(1, 0, 0);
    kvCGenValueConstRef<kvCGeContour2d> cref(c);
    kvCGenValueNc<kvCGeContour2d> ccopy(c);
    EXPECT_TRUE(cref.equals(ccopy));
    // Without value equality the plain holders answer false.
    kvCGenValueNc<kvCGeMatrix> plain(m);
    EXPECT_FALSE(plain.equals(owned));
}

TEST(GenericValues, CloneKeepsTheEqualityKind)
{
    kvCGeMatrix m;
    kvCGenValueConstRef<kvCGeMatrix> withEq(m);
    kvCGenValueConstRefNc<kvCGeMatrix> withoutEq(m);
    std::unique_ptr<kvCGenVal> a(withEq.clone());
    std::unique_ptr<kvCGenVal> b(withoutEq.clone());
    EXPECT_NE(dynamic_cast<kvCGenValue<kvCGeMatrix>*>(a.get()), nullptr);
    EXPECT_EQ(dynamic_cast<kvCGenValue<kvCGeMatrix>*>(b.get()), nullptr);
    EXPECT_NE(dynamic_cast<kvCGenValueNc<kvCGeMatrix>*>(b.get()), nullptr);

    // A clone owns its copy: the referenced variable may change afterwards.
    double v = 1.0;
    kvCGenValueRefNc<double> r(v);
    std::unique_ptr<kvCGenVal> c(r.clone());
    v = 2.0;
    EXPECT_DOUBLE_EQ(*kvGenValPtr<double>(*c), 1.0);

    EXPECT_TRUE(r.isType(typeid(double)));
    kvCGenValueNc<long> l(1);
    EXPECT_FALSE(l.isType(typeid(int)));
    EXPECT_TRUE(kvCGenValueNc<int>(1).isType(typeid(int)));
}

TEST(GenericValues, InPlaceHoldersRoundTripWithoutTheHeap)
{
    kvCString out(L"before");
    {
        kvTGenValPlace<kvCGenValueRefNc<kvCString>> place;
        kvCGenVal* ref = place.hold(newGenValueRef<kvCString>(out, place.place()));
        ASSERT_NE(ref, nullptr);
        kvCGenValueNc<int> src(12);
        *ref = src;
    }
    EXPECT_EQ(out, kvCString(L"12"));

    const kvCGeMatrix m;
    kvTGenValPlace<kvCGenValueConstRef<kvCGeMatrix>> place;
    kvCGenVal* cref = place.hold(newGenValueConstRef(m, place.place()));
    EXPECT_NE(dynamic_cast<kvCGenValueConstRef<kvCGeMatrix>*>(cref), nullptr);
    const double d = 1.0;
    kvTGenValPlace<kvCGenValueConstRefNc<double>> dplace;
    kvCGenVal* dref = dplace.hold(newGenValueConstRef(d, dplace.place()));
    EXPECT_EQ(dynamic_cast<kvCGenValueConstRef<double>*>(dref), nullptr);
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
    kvCGenValueNc<int> seven(7);
    *ref = seven;
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
