// Knot insertion, compatible curves and degree elevation: each must leave
// the curve's shape as it was, checked against the reference evaluation.
#include "curve_ref.h"

#include <algorithm>

using namespace curveref;

namespace {

using CurveEdit = NoErrorYet;

bool nonDecreasing(const RatBSplCurve* c)
{
    return std::is_sorted(c->knots, c->knots + c->noPoints);
}

TEST_F(CurveEdit, RefusedInsertionKeepsTheCallersCurve)
{
    // Order 30, a parameter outside the domain and a vanishing new weight
    // are refused; the caller's record stays the same record, unchanged.
    std::vector<double> knots(60, 0.0);
    std::fill(knots.begin() + 30, knots.end(), 1.0);
    std::vector<std::vector<double>> pts(30, std::vector<double>{1, 2, 3});
    RatBSplCurve* high = make(30, knots, pts);
    RatBSplCurve* keep = high;
    EXPECT_EQ(0, ratBSplCurveInsertKnot(&high, 0.5));
    EXPECT_EQ(keep, high);
    EXPECT_EQ(0, ratBSplCurveInsertKnotCore(30, 60, high->knots, high->weights, high->points, 0, -1, 0, 0.5));
    EXPECT_EQ(GEOM_ERR_ARGUMENT, geomLastError);
    EXPECT_STREQ("2,10001,4063", geomMessageBuffer);
    ratBSplCurveFree(high);

    RatBSplCurve* c = clampedCubic();
    keep = c;
    // Past the domain end, also within the span search's tolerance.
    for (double u : {7.6, 7.504}) {
        EXPECT_EQ(0, ratBSplCurveInsertKnot(&c, u)) << u;
        EXPECT_EQ(keep, c);
        EXPECT_STREQ("2,10001,4082", geomMessageBuffer);
    }
    ratBSplCurveFree(c);

    c = make(2, {0, 0, 1, 1}, {{0, 0, 0}, {4, 2, 0}}, {1.0, -1.0});
    keep = c;
    geomLastError = -1;
    EXPECT_EQ(0, ratBSplCurveInsertKnot(&c, 0.5));
    EXPECT_EQ(keep, c);
    EXPECT_EQ(4, c->noPoints);
    EXPECT_STREQ("5,10001,4116", geomMessageBuffer);
    EXPECT_EQ(-1, geomLastError);
    ratBSplCurveFree(c);
}

TEST_F(CurveEdit, CompatibilityRefusesPeriodicCurves)
{
    CurvePtr c1 = own(halfCircle()), c2 = own(polyline());
    c2->isPeriodic = 1;
    RatBSplCurve *p1 = c1.get(), *p2 = c2.get();
    EXPECT_EQ(0, ratBSplCurveMakeCompatible(&p1, &p2));
    EXPECT_STREQ("2,10001,4414", geomMessageBuffer);
}

TEST_F(CurveEdit, ElevationRefusesPeriodicCurvesAndUnservableOrders)
{
    RatBSplCurve* c = halfCircle();
    RatBSplCurve* keep = c;
    c->isPeriodic = 1;
    EXPECT_EQ(0, ratBSplCurveElevateDegree(&c, 3));
    EXPECT_STREQ("2,10001,7110", geomMessageBuffer);
    c->isPeriodic = 0;
    geomLastError = -1;
    EXPECT_EQ(0, ratBSplCurveElevateDegree(&c, 29));
    EXPECT_EQ(GEOM_ERR_ARGUMENT, geomLastError);
    EXPECT_EQ(0, ratBSplCurveElevateDegree(&c, 2));   // no raise: silent
    EXPECT_EQ(keep, c);
    EXPECT_EQ(3, c->ord);
    ASSERT_EQ(1, ratBSplCurveElevateDegree(&c, 28));
    EXPECT_EQ(29, c->ord);
    ratBSplCurveFree(c);

    // A domain narrower than the knot tolerance is one knot value: no piece.
    std::vector<double> tiny;
    std::vector<std::vector<double>> pts;
    for (int i = 0; i < 15; ++i) {
        tiny.push_back(i * 1e-13);
        pts.push_back({double(i), double(i * i % 7), 0.0});
    }
    auto t = own(make(4, tiny, pts));
    RatBSplCurve* held = t.get();
    EXPECT_EQ(0, ratBSplCurveElevateDegree(&held, 4));
    EXPECT_EQ(GEOM_ERR_ARGUMENT, geomLastError);
}

// Neighbouring knots closer than 1e-7 are one knot value: 1 and 1 + 5e-8
// (or three within 1e-7) bound one piece, so the raised curve has (g + 1) S
// knots, and its shape moves no more than such a shift moves it.
TEST_F(CurveEdit, ElevationTakesKnotsCloserThan1e7AsOneValue)
{
    for (int ord : {3, 5})
        for (const std::vector<double>& interior : {std::vector<double>{1, 1 + 5e-8}, {1, 1 + 3e-8, 1 + 6e-8}}) {
            std::vector<double> knots(ord, 0.0);
            knots.insert(knots.end(), interior.begin(), interior.end());
            knots.insert(knots.end(), ord, 2.0);
            std::vector<std::vector<double>> pts;
            for (size_t i = 0; i + ord < knots.size(); ++i)
                pts.push_back({double(i), double(i * i % 5), 0.5 * i});
            auto c = own(make(ord, knots, pts));
            RatBSplCurve* raised = ratBSplCurveCopy(c.get());
            ASSERT_EQ(1, ratBSplCurveElevateDegree(&raised, ord)) << ord;
            auto held = own(raised);
            EXPECT_EQ(3 * (ord + 1), raised->noPoints) << ord;
            EXPECT_TRUE(nonDecreasing(raised));
            EXPECT_LT(maxDeviation(c.get(), raised, 0.0, 2.0), 1e-6) << ord;
        }
}

}  // namespace
