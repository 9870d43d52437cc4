// Trimming, sub-curves, splitting and the seam: every part must match the
// original curve on its range, checked against the reference evaluation.
#include "curve_ref.h"

using namespace curveref;

namespace {

using CurveCut = NoErrorYet;

// Full circle of radius 2 about the origin in four pieces on [0, 4], closed.
RatBSplCurve* closedCircle()
{
    RatBSplCurve* c = circle(2.0, P(0, 0, 0), 0.0, 1.0);
    c->isClosed = 1;
    c->origForm = 0;
    return c;
}

// Uniform periodic cubic: seven control points of which the last three
// repeat the first three; period 4 points, 4 parameter units on [3, 7].
RatBSplCurve* periodicCubic()
{
    RatBSplCurve* c = make(4, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
                           {{3, 0, 0}, {0, 2, 1}, {-3, 0, 0}, {0, -2, -1}, {3, 0, 0}, {0, 2, 1}, {-3, 0, 0}});
    c->isPeriodic = 1;
    c->period = 4;
    c->knotRange = 4.0;
    c->multPts = 1;
    return c;
}

// Original at u wrapped into [lo, lo + range) against `part` at u, over
// the part's domain.
double maxPeriodicDeviation(const RatBSplCurve* orig, double lo, double range, const RatBSplCurve* part)
{
    double worst = 0;
    const double a = domainStart(part), b = domainEnd(part);
    for (int i = 0; i < 1000; ++i) {
        const double u = a + (b - a) * i / 999;
        double w = u;
        while (w >= lo + range)
            w -= range;
        while (w < lo)
            w += range;
        worst = std::fmax(worst, dist(point(orig, w), point(part, u)));
    }
    return worst;
}

TEST_F(CurveCut, TrimKeepsTheFirstPointsAndEndsGivePointCurves)
{
    RatBSplCurve* c = make(2, {0, 0, 1, 2, 2}, {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}});
    ASSERT_EQ(1, ratBSplCurveTrim(&c, 1.0, GEOM_TRIM_KEEP_BEFORE));
    ASSERT_EQ(4, c->noPoints);
    const double k[] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(k[i], c->knots[i]);
    EXPECT_EQ(1.0, c->points[1][0]);
    EXPECT_EQ(0.0, c->points[1][1]);
    ASSERT_EQ(1, ratBSplCurveTrim(&c, 0.0, GEOM_TRIM_KEEP_BEFORE));
    EXPECT_EQ(1, c->ord);
    EXPECT_EQ(2, c->noPoints);
    EXPECT_EQ(0.0, c->points[0][0]);
    // A clamped curve cut at its own start keeping what follows is the
    // whole curve: nothing is cut.
    RatBSplCurve* cubic = clampedCubic();
    RatBSplCurve* keep = cubic;
    EXPECT_EQ(0, ratBSplCurveTrim(&cubic, -3.0, GEOM_TRIM_KEEP_AFTER));
    EXPECT_EQ(keep, cubic);
    ratBSplCurveFree(cubic);
    ratBSplCurveFree(c);
}

TEST_F(CurveCut, SplitAtAnEndGivesAPointCurveAndAWholeCopy)
{
    CurvePtr c = own(clampedCubic());
    c->origForm = 2;
    c->period = 7;
    RatBSplCurve *p1 = nullptr, *p2 = nullptr;
    ASSERT_EQ(1, ratBSplCurveSplit(c.get(), 0.0, &p1, &p2));
    CurvePtr hold[] = {own(p1), own(p2)};
    EXPECT_EQ(1, p1->ord);
    EXPECT_EQ(0.0, p1->points[0][0]);
    EXPECT_EQ(0, p1->origForm);
    EXPECT_EQ(c->noPoints, p2->noPoints);
    EXPECT_EQ(7, p2->period);
    EXPECT_EQ(2, p2->origForm);
}

TEST_F(CurveCut, RefusedCutsReportFailureAndLeaveNoOutputs)
{
    RatBSplCurve* p = periodicCubic();
    RatBSplCurve* keep = p;
    RatBSplCurve *p1 = keep, *p2 = keep;
    EXPECT_EQ(0, ratBSplCurveSplit(p, 0.5, &p1, &p2));
    EXPECT_EQ(nullptr, p1);
    EXPECT_EQ(nullptr, p2);
    EXPECT_EQ(0, ratBSplCurveSplit(nullptr, 0.5, &p1, &p2));
    EXPECT_EQ(0, ratBSplCurveTrim(&p, 5.0, GEOM_TRIM_KEEP_BEFORE));
    EXPECT_EQ(keep, p);
    RatBSplCurve* none = nullptr;
    EXPECT_EQ(0, ratBSplCurveSubCurve(&none, 0, 1));
    EXPECT_EQ(0, ratBSplCurveSubCurveClosed(&p, 4, 5));
    RatBSplCurve* open = clampedCubic();
    EXPECT_EQ(0, ratBSplCurveSubCurvePeriodic(&open, 0, 1));
    ratBSplCurveFree(open);
    ratBSplCurveFree(p);
}

TEST_F(CurveCut, ClosedAndPeriodicCurvesAreCutAcrossTheirSeams)
{
    CurvePtr circle = own(closedCircle());
    RatBSplCurve* c = ratBSplCurveCopy(circle.get());
    ASSERT_EQ(1, ratBSplCurveSubCurveClosed(&c, 3.5, 0.5));
    EXPECT_DOUBLE_EQ(3.5, domainStart(c));
    EXPECT_DOUBLE_EQ(4.5, domainEnd(c));
    EXPECT_LT(maxPeriodicDeviation(circle.get(), 0, 4, c), 1e-12 * 2);
    EXPECT_EQ(0, c->isClosed);
    ratBSplCurveFree(c);
    c = ratBSplCurveCopy(circle.get());
    ASSERT_EQ(1, ratBSplCurveSubCurveClosed(&c, 1.25, 2.5));
    EXPECT_LT(maxDeviation(circle.get(), c, 1.25, 2.5), 1e-12 * 2);
    ratBSplCurveFree(c);

    CurvePtr per = own(periodicCubic());
    for (const auto& range : {std::make_pair(5.5, 4.5), std::make_pair(4.0, 6.5), std::make_pair(6.0, 6.0)}) {
        SCOPED_TRACE(range.first);
        RatBSplCurve* q = ratBSplCurveCopy(per.get());
        ASSERT_EQ(1, ratBSplCurveSubCurve(&q, range.first, range.second));
        const double len = range.second > range.first ? range.second - range.first
                                                      : range.second + 4 - range.first;
        EXPECT_NEAR(len, domainEnd(q) - domainStart(q), 1e-12);
        EXPECT_LT(maxPeriodicDeviation(per.get(), 3, 4, q), 1e-12 * 3);
        EXPECT_EQ(0, q->isPeriodic);
        ratBSplCurveFree(q);
    }
    for (int shift : {1, -3, 6}) {
        RatBSplCurve* q = ratBSplCurveCopy(per.get());
        ASSERT_EQ(1, ratBSplCurveShiftSeam(&q, shift));
        EXPECT_EQ(1, q->isPeriodic);
        EXPECT_NEAR(4.0, domainEnd(q) - domainStart(q), 1e-12);
        EXPECT_LT(maxPeriodicDeviation(per.get(), 3, 4, q), 1e-12 * 3);
        ratBSplCurveFree(q);
    }
}

}  // namespace
