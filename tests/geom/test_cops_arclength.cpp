// Corners, curve pieces and the arc-length table, the table checked against
// dense sampling of the curve.
#include "curve_ref.h"

using namespace curveref;

namespace {

const double kPi = 3.14159265358979323846;

using CurveLength = NoErrorYet;

// Two straight legs of an order-3 curve meeting at a double knot, the
// second turned by `degrees` from the first.
RatBSplCurve* bentLegs(double degrees)
{
    const double a = degrees * kPi / 180, c = std::cos(a), s = std::sin(a);
    return make(3, {0, 0, 0, 1, 1, 2, 2, 2},
                {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2 + c, s, 0}, {2 + 2 * c, 2 * s, 0}});
}

// Arc length from the start to the knot value u by 20000 chords.
double denseLength(const RatBSplCurve* c, double u)
{
    const double a = domainStart(c);
    double len = 0;
    GeomPoint prev = point(c, a);
    for (int i = 1; i <= 20000; ++i) {
        const GeomPoint q = point(c, a + (u - a) * i / 20000);
        len += dist(prev, q);
        prev = q;
    }
    return len;
}

TEST_F(CurveLength, CornersAreFoundByTurnOrGapAndEveryKnotWithoutTolerance)
{
    int index = 0;
    CurvePtr smooth = own(clampedCubic());
    EXPECT_EQ(0, ratBSplCurveFindCorner(smooth.get(), 1e-6, &index));
    const struct {
        double degrees;
        int found;
    } cases[] = {{90, 1}, {30, 0}, {60, 1}, {0, 0}};
    for (const auto& cs : cases) {
        CurvePtr c = own(bentLegs(cs.degrees));
        index = 0;
        EXPECT_EQ(cs.found, ratBSplCurveFindCorner(c.get(), 1e-6, &index)) << cs.degrees;
        if (cs.found) {
            EXPECT_EQ(4, index);
        }
        index = 0;
        EXPECT_EQ(1, ratBSplCurveFindCorner(c.get(), 0.0, &index));
        EXPECT_EQ(4, index);
    }
    // A gap: the second leg starts away from the end of the first.
    CurvePtr gap2 = own(make(2, {0, 0, 1, 1, 2, 2}, {{0, 0, 0}, {1, 0, 0}, {1, 0.5, 0}, {2, 0.5, 0}}));
    index = 0;
    EXPECT_EQ(1, ratBSplCurveFindCorner(gap2.get(), 0.1, &index));
    EXPECT_EQ(3, index);
    EXPECT_EQ(0, ratBSplCurveFindCorner(gap2.get(), 0.1, &index));
    EXPECT_EQ(4, index);
}

// Order 3 whose last knot value 2 starts at index 4 and runs to the end:
// the run reaches the domain's end [0, 2], with only empty spans after it.
TEST_F(CurveLength, WithoutToleranceARunReachingTheDomainEndIsACorner)
{
    CurvePtr c = own(make(3, {0, 0, 0, 1, 2, 2, 2, 2}, {{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {3, 1, 0}, {4, 0, 0}}));
    int index = 0;
    EXPECT_EQ(1, ratBSplCurveFindCorner(c.get(), 0.0, &index));
    EXPECT_EQ(6, index);
    index = 0;
    EXPECT_EQ(1, ratBSplCurveFindCorner(c.get(), -1.0, &index));
    EXPECT_EQ(6, index);
    // With a tolerance the run would be compared with the empty span after
    // it: it is passed over.
    index = 0;
    EXPECT_EQ(0, ratBSplCurveFindCorner(c.get(), 1e-6, &index));
}

TEST_F(CurveLength, WalkerHandsOutPiecesAndMergesShortOnes)
{
    CurvePtr smooth = own(rationalQuadratic());
    CurvePieceWalker w;
    ASSERT_EQ(1, curvePieceWalkerInit(smooth.get(), 1e-6, 0.1, &w));
    RatBSplCurve* p = nullptr;
    ASSERT_EQ(1, curvePieceWalkerNext(&w, &p));
    EXPECT_LT(maxDeviation(smooth.get(), p, domainStart(p), domainEnd(p)), 1e-12 * size(smooth.get()));
    EXPECT_EQ(smooth->noPoints, p->noPoints);
    ratBSplCurveFree(p);
    EXPECT_EQ(0, curvePieceWalkerNext(&w, &p));
    EXPECT_EQ(nullptr, p);

    // Legs of 5, 0.5, 5 and 0.3 at right angles: the 0.5 leg joins the one
    // after it, the last 0.3 joins the piece before it.
    CurvePtr zig = own(make(2, {0, 0, 1, 2, 3, 4, 4},
                            {{0, 0, 0}, {5, 0, 0}, {5, 0.5, 0}, {10, 0.5, 0}, {10, 0.8, 0}}));
    ASSERT_EQ(1, curvePieceWalkerInit(zig.get(), 1e-6, 1.0, &w));
    const double ranges[2][2] = {{0, 1}, {1, 4}};
    for (const auto& r : ranges) {
        ASSERT_EQ(1, curvePieceWalkerNext(&w, &p));
        EXPECT_DOUBLE_EQ(r[0], domainStart(p));
        EXPECT_DOUBLE_EQ(r[1], domainEnd(p));
        EXPECT_LT(maxDeviation(zig.get(), p, r[0], r[1]), 1e-12 * 10);
        ratBSplCurveFree(p);
    }
    EXPECT_EQ(0, curvePieceWalkerNext(&w, &p));
}

TEST_F(CurveLength, TablesMatchDenseSamplingWithinTheTolerance)
{
    for (const Sample& s : samples()) {
        SCOPED_TRACE(s.name);
        CurvePtr c = own(s.make());
        const double lo = domainStart(c.get()), hi = domainEnd(c.get());
        const double tol = 1e-4;
        RatBSplCurve *p2l = nullptr, *l2p = nullptr, *poly = nullptr;
        double maxErr = -1;
        ASSERT_EQ(1, ratBSplCurveArcLengthTable(c.get(), tol, 0, &p2l, &l2p, &poly, &maxErr));
        CurvePtr hold[] = {own(p2l), own(l2p), own(poly)};
        const int n = p2l->noPoints - 2;
        EXPECT_LT(maxErr, tol);
        EXPECT_GE(maxErr, 0.0);
        EXPECT_DOUBLE_EQ(hi, p2l->knots[n + 1]);
        for (int i = 0; i < n; i += std::max(1, n / 7)) {
            const double u = p2l->points[i][0];
            EXPECT_NEAR(denseLength(c.get(), u), p2l->points[i][1], tol * n);
            EXPECT_EQ(p2l->points[i][1], l2p->points[i][0]);
            EXPECT_EQ(u, l2p->points[i][1]);
            EXPECT_LT(dist(point(c.get(), u), GeomPoint{poly->points[i][0], poly->points[i][1], poly->points[i][2]}),
                      1e-12 * size(c.get()));
        }
        EXPECT_EQ(l2p->knots[n + 1], p2l->points[n - 1][1]);
        EXPECT_EQ(c->origForm, poly->origForm);
        EXPECT_DOUBLE_EQ(lo, p2l->points[0][0]);
    }
}

TEST_F(CurveLength, StraightSegmentKeepsItsEndsAndBadTolerancesAreRefused)
{
    CurvePtr line = own(ratBSplCurveFromLine(GeomPoint{1, 1, 0}, GeomPoint{4, 5, 0}));
    RatBSplCurve* l2p = nullptr;
    RatBSplCurve* p2l = nullptr;
    double maxErr = -1;
    ASSERT_EQ(1, ratBSplCurveArcLengthTable(line.get(), 1e-3, 1, &p2l, &l2p, nullptr, &maxErr));
    CurvePtr hold[] = {own(p2l), own(l2p)};
    EXPECT_EQ(0.0, maxErr);
    EXPECT_THAT(knotsOf(l2p), ElementsAre(0, 0, 5, 5));
    EXPECT_EQ(1.0, p2l->knots[3]);
    for (double bad : {0.0, -1.0}) {
        RatBSplCurve* out = nullptr;
        EXPECT_EQ(0, ratBSplCurveArcLengthTable(line.get(), bad, 0, &out, nullptr, nullptr, &maxErr));
        EXPECT_EQ(nullptr, out);
        EXPECT_EQ(GEOM_ERR_ARGUMENT, geomLastError);
    }
}

TEST_F(CurveLength, MaximumErrorIsTheMeasuredOneWhenItLiesBelowTheTolerance)
{
    // A quarter circle of radius 1 as one piece: with a tolerance a little
    // above the chord error, no sample is added and the error stays below it.
    const double h = std::sqrt(0.5);
    CurvePtr arc = own(make(3, {0, 0, 0, 1, 1, 1}, {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {1, h, 1}));
    const double chordErr = kPi / 2 - std::sqrt(2.0);
    double maxErr = -1;
    RatBSplCurve* l2p = nullptr;
    ASSERT_EQ(1, ratBSplCurveArcLengthTable(arc.get(), chordErr * 2, 0, nullptr, &l2p, nullptr, &maxErr));
    CurvePtr hold = own(l2p);
    EXPECT_EQ(4, l2p->noPoints);
    EXPECT_NEAR(chordErr, maxErr, 1e-3);
    EXPECT_LT(maxErr, 1.0);
}

}  // namespace
