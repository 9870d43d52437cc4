// The parameter of a point, cutting curves at points and trimming two curves
// to each other: a found parameter must reproduce its point, and every cut
// part must match the original on its range.
#include "curve_ref.h"

using namespace curveref;

namespace {

using CurveParam = NoErrorYet;

RatBSplCurve* segment(GeomPoint a, GeomPoint b) { return ratBSplCurveFromLine(a, b); }

TEST_F(CurveParam, ProjectionBesideALineAndSearchesThatFindNothing)
{
    CurvePtr line = own(segment(P(0, 0, 0), P(10, 0, 0)));
    double u = -1, d = -1;
    ASSERT_EQ(1, ratBSplCurveProjectPoint(line.get(), P(5, 5, 0), &u, &d));
    EXPECT_NEAR(0.5, u, 1e-9);
    EXPECT_NEAR(5.0, d, 1e-9);
    u = 42;
    EXPECT_EQ(GEOM_PARAM_NONE, ratBSplCurveParamBySubdivision(line.get(), P(5, 50, 0), &u));
    EXPECT_EQ(42, u);
    EXPECT_STREQ("3,10001,3223", geomMessageBuffer);
    EXPECT_EQ(-1, geomLastError);
    EXPECT_EQ(GEOM_PARAM_NONE, ratBSplCurveParamBySubdivisionRational(line->points, line->weights, line->knots,
                                                                      2, 4, P(5, 50, 0), &u));
    EXPECT_EQ(42, u);
    EXPECT_EQ(0, ratBSplCurveProjectPoint(nullptr, P(0, 0, 0), &u, &d));

    // Inputs beyond the fixed working arrays are refused, not overrun.
    std::vector<double> xyz(3 * 1598);
    for (int i = 0; i < 1598; ++i)
        xyz[3 * i] = i;
    CurvePtr longCurve = own(ratBSplCurveFromPolyline(1598, xyz.data(), 3));
    EXPECT_EQ(GEOM_PARAM_NONE, ratBSplCurveParamBySubdivision(longCurve.get(), P(3, 0, 0), &u));
    EXPECT_STREQ("2,10001,3018", geomMessageBuffer);
    EXPECT_EQ(GEOM_PARAM_NONE, ratBSplCurveParamBySubdivisionRational(longCurve->points, longCurve->weights,
                                                                      longCurve->knots, 2, 1600, P(3, 0, 0), &u));
}

// A point near the centre of a half circle of radius 5: along the arc the
// distance barely changes, and first-order steps from the far end only
// creep; the search must still reach the foot on the ray through the point,
// 5 - |P| away.
TEST_F(CurveParam, ProjectionFromCrossesAFlatStretchToTheFoot)
{
    CurvePtr c = own(halfCircle());
    for (double eps : {0.05, 0.01})
        for (double start : {1.9, 1.5}) {
            const GeomPoint near = P(eps, 0.4 * eps, 0);
            double u = start, d = -1;
            ASSERT_EQ(1, ratBSplCurveProjectPointFrom(c.get(), near, 1e-9, &u, &d));
            const GeomPoint Q = point(c.get(), u);
            EXPECT_NEAR(5.0 - std::hypot(near.x, near.y), d, 1e-9) << eps << " from " << start;
            EXPECT_NEAR(std::atan2(near.y, near.x), std::atan2(Q.y, Q.x), 1e-4);  // f is flat there
        }
}

// A point 3.6 off a bend of the clamped cubic: Gauss-Newton steps from the
// middle of the curve overshoot the foot to and fro; the search still ends
// on it, the nearest point of the whole curve.
TEST_F(CurveParam, ProjectionFromEndsOnTheFootWhereItsStepsOvershoot)
{
    CurvePtr c = own(clampedCubic());
    const GeomPoint off = P(4, -2, 4.5);
    double nearest = 1e300;
    for (int i = 0; i <= 100000; ++i)
        nearest = std::fmin(nearest, dist(point(c.get(), domainStart(c.get()) + 10.5 * i / 100000), off));
    for (double start : {1.4, 1.5, 1.6}) {
        double u = start, d = -1;
        ASSERT_EQ(1, ratBSplCurveProjectPointFrom(c.get(), off, 1e-12, &u, &d));
        EXPECT_LE(d, nearest) << "from " << start;
        EXPECT_NEAR(nearest, d, 1e-8) << "from " << start;
        EXPECT_NEAR(d, dist(point(c.get(), u), off), 1e-12);
    }
}

TEST_F(CurveParam, CutBetweenPointsKeepsThePartBetweenThem)
{
    RatBSplCurve* c = segment(P(0, 0, 0), P(10, 0, 0));
    RatBSplCurve* keep = c;
    const double start[3] = {0, 0, 0}, A[3] = {2, 1, 0}, B[3] = {7, -1, 0};
    EXPECT_EQ(GEOM_CUT_NOTHING, ratBSplCurveCutBetween(&c, start, nullptr));
    EXPECT_EQ(keep, c);
    EXPECT_EQ(GEOM_CUT_BOTH_MOVED, ratBSplCurveCutBetween(&c, A, B));
    EXPECT_LT(dist(P(2, 0, 0), point(c, domainStart(c))), 1e-9);
    EXPECT_LT(dist(P(7, 0, 0), point(c, domainEnd(c))), 1e-9);
    const double A3[3] = {4, 1, 0};
    EXPECT_EQ(GEOM_CUT_START_MOVED, ratBSplCurveCutBetweenEx(&c, A3, nullptr, 99));
    EXPECT_LT(dist(P(4, 0, 0), point(c, domainStart(c))), 1e-9);
    EXPECT_LT(dist(P(7, 0, 0), point(c, domainEnd(c))), 1e-9);
    ratBSplCurveFree(c);

    // Cuts between two points of a curve are the edit campaign's; with no
    // first point the start stays where it was.
    for (const Sample& s : samples()) {
        CurvePtr orig = own(s.make());
        const double a = domainStart(orig.get()), b = domainEnd(orig.get());
        const GeomPoint p2 = point(orig.get(), a + 0.65 * (b - a));
        const double B2[3] = {p2.x, p2.y, p2.z};
        RatBSplCurve* cut = ratBSplCurveCopy(orig.get());
        EXPECT_EQ(GEOM_CUT_END_MOVED, ratBSplCurveCutAtPoints(&cut, nullptr, B2, 1, 0)) << s.name;
        EXPECT_DOUBLE_EQ(a, domainStart(cut)) << s.name;
        ratBSplCurveFree(cut);
    }
}

TEST_F(CurveParam, ShortCutsCollapseToAPointOrALineEvenInSmallRecords)
{
    const double A[3] = {5, 0.3, 0}, B[3] = {5.000001, -0.2, 0};
    RatBSplCurve* c = segment(P(0, 0, 0), P(10, 0, 0));
    EXPECT_EQ(GEOM_CUT_BOTH_MOVED, ratBSplCurveCutAtPoints(&c, A, B, 0, 0));
    EXPECT_EQ(1, c->ord);
    EXPECT_EQ(2, c->noPoints);
    EXPECT_NEAR(5.0, c->points[0][0], 1e-5);
    ratBSplCurveFree(c);
    // A piecewise-constant record holds three knots; the line needs four.
    c = make(1, {0, 1, 2}, {{0, 0, 0}, {1, 0, 0}});
    const double near1[3] = {0.3, 0, 0}, near2[3] = {0.2, 0, 0};
    EXPECT_EQ(GEOM_CUT_BOTH_MOVED, ratBSplCurveCutAtPoints(&c, near1, near2, 0, 1));
    EXPECT_EQ(4, c->noPoints);
    EXPECT_EQ(2, c->ord);
    EXPECT_EQ(0, c->isRational + c->isClosed + c->isPeriodic + c->origForm);
    ratBSplCurveFree(c);
}

TEST_F(CurveParam, CurvesAreTrimmedBackToWhereTheyMeet)
{
    double d = -1;
    RatBSplCurve* a = segment(P(0, 0, 0), P(10, 0, 0));
    RatBSplCurve* b = segment(P(10, 0, 0), P(10, 5, 0));
    EXPECT_EQ(0, ratBSplCurveTrimToEachOther(&a, &b, 1e-3, &d));
    EXPECT_EQ(0.0, d);
    ratBSplCurveFree(a);
    ratBSplCurveFree(b);

    // Crossing at their middles; and a T where the crossing point is nearer
    // each start, so the parts after it are kept.
    const struct {
        GeomPoint a0, a1, b0, b1, cross;
    } cases[] = {{P(-5, 0, 0), P(5, 0, 0), P(0, -5, 0), P(0, 5, 0), P(0, 0, 0)},
                 {P(0, 0, 0), P(10, 0, 0), P(3, -2, 0), P(3, 8, 0), P(3, 0, 0)}};
    for (const auto& cs : cases) {
        a = segment(cs.a0, cs.a1);
        b = segment(cs.b0, cs.b1);
        ASSERT_EQ(1, ratBSplCurveTrimToEachOther(&a, &b, 1e-6, &d));
        EXPECT_LT(d, 1e-5);
        EXPECT_LT(dist(cs.cross, point(a, domainStart(a))), 1e-5);
        EXPECT_LT(dist(cs.a1, point(a, domainEnd(a))), 1e-12);
        EXPECT_LT(dist(cs.cross, point(b, domainStart(b))), 1e-5);
        EXPECT_LT(dist(cs.b1, point(b, domainEnd(b))), 1e-12);
        ratBSplCurveFree(a);
        ratBSplCurveFree(b);
    }

    // Skew segments 2 apart are left alone with their distance reported.
    a = segment(P(0, 0, 0), P(10, 0, 0));
    b = segment(P(5, -5, 2), P(5, 5, 2));
    RatBSplCurve *ka = a, *kb = b;
    EXPECT_EQ(0, ratBSplCurveTrimToEachOther(&a, &b, 0.01, &d));
    EXPECT_NEAR(2.0, d, 1e-6);
    EXPECT_EQ(ka, a);
    EXPECT_EQ(kb, b);
    ratBSplCurveFree(a);
    ratBSplCurveFree(b);
}

}  // namespace
