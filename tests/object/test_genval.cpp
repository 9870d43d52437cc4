#include "sdk/kvGenVal.h"

#include <gtest/gtest.h>

#include <memory>

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

// Converts a holder of S into T through convertGenVal.
template <class T, class S>
bool converts(const S& s)
{
    T dst = T();
    kvCGenValueNc<S> src(s);
    return convertGenVal<T>(dst, src);
}

}  // namespace

TEST(ConversionTable, ListedPairsConvertAndUnlistedPairsRefuse)
{
    // Rows of the table: every listed pair converts a small value.
    EXPECT_TRUE((converts<bool, short>(1)));
    EXPECT_TRUE((converts<bool, unsigned short>(1)));
    EXPECT_TRUE((converts<bool, int>(1)));
    EXPECT_TRUE((converts<bool, unsigned int>(1)));
    EXPECT_TRUE((converts<bool, long>(1)));
    EXPECT_TRUE((converts<bool, unsigned long>(1)));
    EXPECT_TRUE((converts<bool, kvCString>(kvCString(L"true"))));
    EXPECT_FALSE((converts<bool, bool>(true)));
    EXPECT_FALSE((converts<bool, float>(1.0f)));
    EXPECT_FALSE((converts<bool, double>(1.0)));

    EXPECT_TRUE((converts<short, bool>(true)));
    EXPECT_TRUE((converts<short, float>(2.0f)));
    EXPECT_TRUE((converts<short, double>(2.0)));
    EXPECT_TRUE((converts<short, kvCString>(kvCString(L"12"))));
    EXPECT_FALSE((converts<short, short>(1)));

    EXPECT_TRUE((converts<int, bool>(true)));
    EXPECT_TRUE((converts<int, unsigned long>(5ul)));
    EXPECT_TRUE((converts<int, double>(5.0)));
    EXPECT_FALSE((converts<int, int>(1)));

    EXPECT_TRUE((converts<unsigned int, int>(3)));
    EXPECT_FALSE((converts<unsigned int, unsigned int>(3u)));

    EXPECT_TRUE((converts<long, int>(3)));
    EXPECT_TRUE((converts<long, unsigned long>(3ul)));
    EXPECT_FALSE((converts<long, long>(3l)));

    EXPECT_FALSE((converts<double, bool>(true)));
    EXPECT_TRUE((converts<double, short>(1)));
    EXPECT_TRUE((converts<double, float>(1.5f)));
    EXPECT_TRUE((converts<double, kvCString>(kvCString(L"1.5"))));
    EXPECT_FALSE((converts<double, double>(1.0)));

    EXPECT_TRUE((converts<kvCString, bool>(true)));
    EXPECT_TRUE((converts<kvCString, double>(0.1)));
    EXPECT_TRUE((converts<kvCString, unsigned short>(7)));
    EXPECT_FALSE((converts<kvCString, kvCString>(kvCString(L"x"))));

    // Geometry and set types never convert, whatever the source.
    EXPECT_FALSE((converts<kvCGeMatrix, kvCString>(kvCString(L"1"))));
    EXPECT_FALSE((converts<kvCGePoint, double>(1.0)));
    EXPECT_FALSE((converts<kvCGeContour2d, int>(1)));
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

    bool flag = true;
    kvCGenValueRefNc<bool> flagRef(flag);
    kvCGenValueNc<double> one(1.0);
    EXPECT_TRUE(assignFails(flagRef, one, true));
    EXPECT_TRUE(flag);

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
    EXPECT_TRUE(assignFails(mRef, text, true));
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
