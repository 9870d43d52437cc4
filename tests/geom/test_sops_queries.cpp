// Knot re-spacing, surface shape queries, transforms and bicubic patches.
#include "surf_nets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using surftest::Pt;
using surftest::makeSurf;

RatBSplSurf* unitSquare(double side = 1.0, double knotLength = 1.0)
{
    const double p00[3] = {0, 0, 0}, p01[3] = {0, side, 0}, p10[3] = {side, 0, 0}, p11[3] = {side, side, 0};
    RatBSplSurf* s = ratBSplSurfBilinear(p00, p01, p10, p11);
    ratBSplSurfScaleKnots(s, knotLength / side, knotLength / side);
    return s;
}

// Order 3 in u, two pieces along x with the given widths and knots u = k0,
// k1, k2 (k1 double, so the pieces are joined by position alone, or simple);
// order 2 in v over one unit.
RatBSplSurf* twoPieceStrip(double w1, double w2, double k0, double k1, double k2, bool simple = false)
{
    std::vector<Pt> pts;
    for (double x : {0.0, w1 / 2, w1, w1 + w2 / 2, w1 + w2})
        if (!simple || x != w1 + w2 / 2)
            pts.insert(pts.end(), {Pt{x, 0, 0}, Pt{x, 1, 0}});
    std::vector<double> ku = {k0, k0, k0, k1, k1, k2, k2, k2};
    if (simple)
        ku.erase(ku.begin() + 3);
    return makeSurf(3, 2, ku, {0, 0, 1, 1}, pts, std::vector<double>(pts.size(), 1.0), 0);
}

} // namespace

TEST(KnotSpacing, ValuesCorrectionsAndApplication)
{
    const double knots[8] = {0, 0, 0, 1, 1, 2, 2, 2};
    double values[8];
    int mult[8];
    ASSERT_EQ(3, knotValuesAndMultiplicities(knots, 8, values, mult));
    EXPECT_EQ(1.0, values[1]);
    EXPECT_EQ(3, mult[0]);
    EXPECT_EQ(2, mult[1]);
    EXPECT_EQ(3, mult[2]);

    double d[3];
    const double keep[3] = {101, 1, 100};
    ASSERT_EQ(1, knotSpacingCorrections(values, 3, 3, mult, keep, d));
    EXPECT_EQ(0.0, d[1]);
    const double widen[3] = {1001, 1, 1000};
    ASSERT_EQ(1, knotSpacingCorrections(values, 3, 3, mult, widen, d));
    EXPECT_NEAR(2.0 / 1001 - 1.0, d[1], 1e-15);
    const double none[3] = {0, 0, 0};
    EXPECT_EQ(0, knotSpacingCorrections(values, 3, 3, mult, none, d));
    // A simple interior knot blocks both neighbours.
    const int single[3] = {3, 1, 3};
    ASSERT_EQ(1, knotSpacingCorrections(values, 3, 3, single, widen, d));
    EXPECT_EQ(0.0, d[1]);
    EXPECT_EQ(0.0, d[2]);

    double u[3] = {0, 1, 2};
    const double corr[3] = {0, 0.5, -0.5};
    applyKnotSpacingCorrections(u, 3, corr);
    EXPECT_DOUBLE_EQ(1.5, u[1]);
    EXPECT_DOUBLE_EQ(2.0, u[2]);
    // A knot vector that does not start at 0 keeps its start and range and
    // stays in order.
    double v[3] = {100, 101, 102};
    const double big[3] = {0, 1.9, 0};
    applyKnotSpacingCorrections(v, 3, big);
    EXPECT_DOUBLE_EQ(100.0, v[0]);
    EXPECT_DOUBLE_EQ(102.0, v[2]);
    EXPECT_LT(v[0], v[1]);
    EXPECT_LT(v[1], v[2]);

    double out[8];
    expandKnotMultiplicities(values, 3, mult, out);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(knots[i], out[i]);
}

// A piece whose parameter width is off its share of the control polygon's
// length by more than a factor of 100 gets its share; the domain keeps its
// ends wherever it starts. Pieces joined with continuity of the tangent keep
// their parametrisation, and a polygon without length cannot be shared out.
TEST(KnotSpacing, PiecesJoinedByPositionTakeTheirShareOfTheDomain)
{
    const struct {
        double w1, w2, k0, k1, k2;
        bool simple;
        int respaced;
        double k1After;
    } cases[] = {
        {1, 1000, 5, 6, 7, false, 1, 5 + 4.0 / 1003},  // share 2 / 1001 of the range, then rescaled
        {1, 100, 5, 6, 7, false, 1, 6},                // off by a factor of 50.5
        {1, 3, 0, 1, 4, false, 1, 1},
        {1, 1000, 5, 6, 7, true, 1, 6},
        {0, 0, 0, 1, 2, false, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w1 << " : " << c.w2 << (c.simple ? ", simple knot" : ""));
        surftest::SurfPtr s = surftest::own(twoPieceStrip(c.w1, c.w2, c.k0, c.k1, c.k2, c.simple));
        const GeomPoint before = ratBSplSurfEvalPoint(s.get(), 0.3, 0.5);
        EXPECT_EQ(c.respaced, ratBSplSurfRespaceKnots(s.get()));
        const int n = s->noPointsu;
        EXPECT_EQ(c.k0, s->knotsu[0]);
        EXPECT_NEAR(c.k1After, s->knotsu[3], 1e-12);
        EXPECT_EQ(c.k2, s->knotsu[n - 1]);
        for (int i = 1; i < n; ++i)
            EXPECT_LE(s->knotsu[i - 1], s->knotsu[i]);
        // The shape is unchanged: the point at a given x is still there.
        EXPECT_NEAR(before.y, ratBSplSurfEvalPoint(s.get(), 0.3, 0.5).y, 1e-12);
    }
    EXPECT_EQ(0, ratBSplSurfRespaceKnots(nullptr));
}

TEST(KnotSpacing, PolygonLengthsArePerPieceAfterTheWhole)
{
    surftest::SurfPtr s = surftest::own(twoPieceStrip(1.0, 1000.0, 5.0, 6.0, 7.0));
    double lengths[3];
    const int mult[3] = {3, 2, 3};
    ASSERT_EQ(1, ratBSplSurfPolygonLengths(s.get(), 'u', 3, mult, lengths));
    EXPECT_DOUBLE_EQ(1001.0, lengths[0]);
    EXPECT_DOUBLE_EQ(1.0, lengths[1]);
    EXPECT_DOUBLE_EQ(1000.0, lengths[2]);
}

TEST(SurfaceQueries, DomainPolesAndCollapsedLines)
{
    RatBSplSurf* sq = unitSquare(1.0, 3.0);
    double umin, umax, vmin, vmax;
    int cu = -1, cv = -1;
    ratBSplSurfDomainInfo(sq, &umin, &umax, &vmin, &vmax, &cu, &cv);
    EXPECT_EQ(0.0, umin);
    EXPECT_DOUBLE_EQ(3.0, umax);
    EXPECT_EQ(0, cu);
    EXPECT_EQ(0, cv);
    ratBSplSurfPoleParams(sq, &umin, &umax, &vmin, &vmax);
    EXPECT_EQ(-1e10, umin);
    EXPECT_EQ(1e10, vmax);
    ratBSplSurfFree(sq);

    // A cone ending at its apex: only the apex edge keeps its knot value.
    const double P[3] = {0, 0, 0}, A[3] = {0, 0, 1}, X[3] = {1, 0, 0}, Y[3] = {0, 1, 0};
    RatBSplSurf* cone = ratBSplSurfConeBetweenHeights(P, A, X, Y, 1.0, 1.0, -1.0, 2.0);
    ASSERT_NE(nullptr, cone);
    ratBSplSurfDomainInfo(cone, &umin, &umax, &vmin, &vmax, &cu, &cv);
    EXPECT_EQ(1, cv);
    ratBSplSurfPoleParams(cone, &umin, &umax, &vmin, &vmax);
    EXPECT_EQ(0.0, umin);
    EXPECT_EQ(1e10, umax);
    EXPECT_EQ(-1e10, vmin);
    int rows = -1, cols = -1;
    EXPECT_EQ(0, ratBSplSurfCountCollapsedLines(cone, &rows, &cols));
    ratBSplSurfFree(cone);

    // A sphere has collapsed pole rows, but only interior rows count.
    const double O[3] = {0, 0, 0}, Z[3] = {0, 0, 1};
    RatBSplSurf* sph = ratBSplSurfSphere4(O, 1.0, X, Y, Z);
    EXPECT_EQ(0, ratBSplSurfCountCollapsedLines(sph, &rows, &cols));
    ratBSplSurfFree(sph);

    // Open patch rows 4e-5 apart count as closed, 6e-5 as open.
    RatBSplSurf* strip = twoPieceStrip(1.0, 1.0, 0, 1, 2);
    for (int j = 0; j < 2; ++j)
        ratBSplSurfSetPoint(strip, 4, j, 4e-5, j, 0);
    ratBSplSurfDomainInfo(strip, &umin, &umax, &vmin, &vmax, &cu, &cv);
    EXPECT_EQ(1, cu);
    ratBSplSurfSetPoint(strip, 4, 1, 6e-5, 1, 0);
    ratBSplSurfDomainInfo(strip, &umin, &umax, &vmin, &vmax, &cu, &cv);
    EXPECT_EQ(0, cu);
    ratBSplSurfFree(strip);
}

TEST(SurfaceQueries, PlaneAndRuledTests)
{
    RatBSplSurf* sq = unitSquare(2.0);
    double pt[3], n[3], x[3];
    ASSERT_EQ(1, ratBSplSurfIsPlane(sq, pt, n, x));
    EXPECT_NEAR(1.0, pt[0], 1e-12);
    EXPECT_NEAR(1.0, std::fabs(n[2]), 1e-12);
    sq->nrmOri = -1;
    double n2[3];
    ASSERT_EQ(1, ratBSplSurfIsPlane(sq, pt, n2, x));
    EXPECT_NEAR(-n[2], n2[2], 1e-12);
    sq->points[5][2] += 1e-6; // corner (1, 1) lifted
    EXPECT_EQ(0, ratBSplSurfIsPlane(sq, pt, n, x));

    // The lifted patch is still ruled: straight columns with matching ratios.
    RatBSplCurve *c1 = nullptr, *c2 = nullptr;
    double dev = -1;
    ASSERT_EQ(1, ratBSplSurfIsRuled(sq, 1e-6, &c1, &c2, &dev));
    ASSERT_NE(nullptr, c1);
    ASSERT_NE(nullptr, c2);
    ratBSplCurveFree(c1);
    ratBSplCurveFree(c2);
    ratBSplSurfFree(sq);

    // Columns of three points whose middle points sit at 0.3 and 0.5.
    RatBSplSurf* s = makeSurf(3, 2, {0, 0, 0, 1, 1, 1}, {0, 0, 1, 1},
                              {{0, 0, 0}, {0, 1, 0}, {0.3, 0, 0}, {0.5, 1, 0}, {1, 0, 0}, {1, 1, 0}},
                              std::vector<double>(6, 1.0), 0);
    EXPECT_EQ(0, ratBSplSurfIsRuled(s, 1e-6, nullptr, nullptr, &dev));
    // Found ruled along the other direction (rows are straight 2-point lines).
    EXPECT_EQ(1, ratBSplSurfFindRuled(s, 1e-6, nullptr, nullptr, &dev));
    ratBSplSurfFree(s);
}

TEST(SurfaceQueries, BoxSpeedAndPatches)
{
    RatBSplSurf* sq = unitSquare(1.0);
    // Frame at (2, 0, 0) with x along y and y along -x: the frame's y runs
    // over 2 - x, from 1 to 2.
    const double frame[12] = {2, 0, 0, 0, 1, 0, -1, 0, 0, 0, 0, 1};
    double lo[3] = {1e9, 1e9, 1e9}, hi[3] = {-1e9, -1e9, -1e9};
    ratBSplSurfBoxInFrame(sq, frame, lo, hi);
    EXPECT_EQ(0.0, lo[0]);
    EXPECT_EQ(1.0, hi[0]);
    EXPECT_EQ(1.0, lo[1]);
    EXPECT_EQ(2.0, hi[1]);
    EXPECT_EQ(0.0, hi[2]);

    double fu, fv;
    ratBSplSurfSpeedFactors(sq, &fu, &fv);
    EXPECT_NEAR(1.0, fu, 1e-12);
    EXPECT_NEAR(1.0, fv, 1e-12);
    ratBSplSurfFree(sq);
    sq = unitSquare(1.0, 10.0);
    ratBSplSurfSpeedFactors(sq, &fu, &fv);
    EXPECT_NEAR(0.1, fu, 1e-12);
    ratBSplSurfSpeedFactorsClamped(sq, 2.0, 5.0, &fu, &fv);
    EXPECT_NEAR(0.2, fu, 1e-12); // a length of 1 raised to the lower bound 2
    ratBSplSurfFree(sq);
    sq = unitSquare(0.01, 0.01);
    ratBSplSurfSpeedFactors(sq, &fu, &fv);
    EXPECT_NEAR(1.0, fu, 1e-12); // both length and range floored at 0.05
    ratBSplSurfFree(sq);

    // Patch search over a two-piece strip: the point x = 1.5 lies in the
    // second piece only.
    RatBSplSurf* strip = twoPieceStrip(1.0, 1.0, 0, 1, 2);
    int su = -1, sv = -1;
    double win[4];
    const double p[3] = {1.5, 0.5, 0};
    ASSERT_EQ(1, ratBSplSurfNextPatchForPoint(strip, &su, &sv, p, win));
    EXPECT_DOUBLE_EQ(0.5, win[0]);
    EXPECT_DOUBLE_EQ(1.0, win[2]);
    EXPECT_EQ(0, ratBSplSurfNextPatchForPoint(strip, &su, &sv, p, win));
    EXPECT_EQ(-1, ratBSplSurfNextPatchForPoint(strip, &su, &sv, p, win));
    // Far away: the first call hands out the whole domain.
    su = sv = -1;
    const double far[3] = {50, 50, 50};
    ASSERT_EQ(1, ratBSplSurfNextPatchForPoint(strip, &su, &sv, far, win));
    EXPECT_EQ(0.0, win[0]);
    EXPECT_EQ(1.0, win[3]);
    ratBSplSurfFree(strip);
}

TEST(SurfaceQueries, KinkKnots)
{
    // Smooth: two pieces continuing straight on. Kinked: the second piece
    // turns back by more than a right angle.
    RatBSplSurf* smooth = twoPieceStrip(1.0, 1.0, 0, 1, 2);
    int idx = 0;
    EXPECT_EQ(0, ratBSplSurfNextKinkKnot(smooth, 'u', &idx));
    EXPECT_EQ(8, idx);
    ratBSplSurfFree(smooth);

    RatBSplSurf* kinked = twoPieceStrip(1.0, 1.0, 0, 1, 2);
    for (int j = 0; j < 2; ++j) {
        ratBSplSurfSetPoint(kinked, 3, j, 0.8, j, 0.5);
        ratBSplSurfSetPoint(kinked, 4, j, 0.6, j, 1.0);
    }
    idx = 0;
    ASSERT_EQ(1, ratBSplSurfNextKinkKnot(kinked, 'u', &idx));
    EXPECT_EQ(4, idx);
    EXPECT_EQ(0, ratBSplSurfNextKinkKnot(kinked, 'u', &idx));
    EXPECT_EQ(0, ratBSplSurfNextKinkKnot(kinked, 'x', &idx));
    ratBSplSurfFree(kinked);
}

TEST(SurfaceTransforms, TransformsScalingAndBicubicPatches)
{
    RatBSplSurf* sq = unitSquare(1.0);
    const double M[12] = {1, 0, 0, 1, 0, 1, 0, 2, 0, 0, 1, 3};
    ratBSplSurfTransform(sq, M);
    EXPECT_EQ(2.0, sq->points[5][0]);
    EXPECT_EQ(3.0, sq->points[5][1]);
    EXPECT_EQ(1.0, sq->points[15][0]); // a spare entry moves as well
    // A uniform scale of 2 in the matrix is applied once more by the length
    // of its first row: the points are scaled by 4.
    const double S[12] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0};
    ratBSplSurfTransform(sq, S);
    EXPECT_EQ(8.0, sq->points[5][0]);
    EXPECT_EQ(12.0, sq->points[5][1]);
    const double R[9] = {0, -1, 0, 1, 0, 0, 0, 0, 1}, T[3] = {0, 0, 1};
    ratBSplSurfTransformScaled(sq, R, T, 0.5);
    EXPECT_EQ(-6.0, sq->points[5][0]);
    EXPECT_EQ(4.0, sq->points[5][1]);
    const double spare = sq->points[15][0];
    EXPECT_EQ(0, ratBSplSurfScalePoints(sq, 2.0));
    EXPECT_EQ(-12.0, sq->points[5][0]);
    EXPECT_EQ(spare, sq->points[15][0]); // only the control net is scaled
    ratBSplSurfFree(sq);

    // A bilinear patch gives the grid (i/3, j/3).
    GeomVec3 p[16];
    double w[16], ku[8], kv[8];
    GeomVec3 b[16] = {};
    b[1][0] = 1;
    b[4][1] = 1;
    ASSERT_EQ(1, bicubicPatchToBezier(0, 1, 0, 1, b, p, w, ku, kv));
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(i / 3.0, p[i + 4 * j][0], 1e-15);
            EXPECT_NEAR(j / 3.0, p[i + 4 * j][1], 1e-15);
            EXPECT_EQ(1.0, w[i + 4 * j]);
        }
    EXPECT_EQ(1.0, ku[7]);
    // The power patch's derivatives give the Bezier points of the patch
    // grids that the constructor tests compare with the polynomials.
}
