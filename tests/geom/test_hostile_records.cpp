// Records and arguments a caller can hand the kernel that no operation can
// serve: each is refused with the kernel's error report and leaves the
// outputs as they were, and none reads or writes outside its arrays.
#include "curve_ref.h"
#include "surf_nets.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using namespace surftest;
using CurvePtr = std::unique_ptr<RatBSplCurve, void (*)(RatBSplCurve*)>;

CurvePtr curve(int ord, const std::vector<double>& knots, const std::vector<Pt>& pts)
{
    RatBSplCurve* c = ratBSplCurveCreate(ord, static_cast<int>(knots.size()));
    for (size_t i = 0; i < knots.size(); ++i) {
        c->knots[i] = knots[i];
        c->weights[i] = 1.0;
    }
    for (size_t i = 0; i < pts.size() && i < knots.size(); ++i)
        ratBSplCurveSetPoint(c, static_cast<int>(i), pts[i].x, pts[i].y, pts[i].z);
    c->origForm = 1;
    return CurvePtr(c, ratBSplCurveFree);
}

// A cubic that is no arc: 6 knots where a cubic needs 8 for one span.
CurvePtr shortCubic() { return curve(4, {0, 0, 0, 1, 1, 1}, {{0, 0, 0}, {1, 2, 0}}); }
CurvePtr cubic()
{
    return curve(4, {0, 0, 0, 0, 1, 1, 1, 1}, {{0, 0, 0}, {1, 2, 0}, {3, -1, 0}, {4, 0, 0}});
}

using HostileRecords = curveref::NoErrorYet;

TEST_F(HostileRecords, CurvesWithoutASpanAreRefusedByEveryWholeCurveOperation)
{
    const double P[3] = {0, 0, 0}, A[3] = {0, 0, 1};
    std::vector<CurvePtr> hostile;
    hostile.push_back(shortCubic());
    hostile.push_back(curve(3, {}, {}));                                          // no knots
    hostile.push_back(curve(2, {0, 2, 1, 3}, {{5, 0, 0}, {6, 0, 1}}));             // decreasing
    hostile.push_back(curve(2, {0, 0, NAN, 1}, {{5, 0, 0}, {6, 0, 1}}));           // NaN knot
    for (const CurvePtr& c : hostile) {
        double start = -7, end = -7, ratio = -7;
        int closed = -7;
        ratBSplCurveRangeAndClosed(c.get(), &start, &end, &closed);
        EXPECT_EQ(-7.0, start);
        EXPECT_EQ(-7, closed);
        EXPECT_EQ(GEOM_ERR_ARGUMENT, geomLastError);
        geomLastError = -1;
        ratBSplCurveLengthRatio(c.get(), &ratio);
        EXPECT_EQ(1.0, ratio);
        EXPECT_EQ(GEOM_ERR_ARGUMENT, geomLastError);

        ArcFitResult arc{};
        double dev = -7;
        EXPECT_EQ(0, ratBSplCurveFitArc(c.get(), 0.01, 10, 0.01, 0, 1e5, &arc, &dev));
        EXPECT_EQ(0, ratBSplCurveFitArc(c.get(), 0.01, 0, 0.01, 0, 1e5, &arc, &dev));
        EXPECT_EQ(0, ratBSplCurveFitArcSampled(c.get(), 0.01, &arc));
        EXPECT_EQ(-7.0, dev);
        EXPECT_EQ(nullptr, ratBSplSurfRevolveCurve(P, A, c.get()));
        EXPECT_EQ(nullptr, ratBSplSurfRevolveCurveArc(P, A, c.get(), 0.0, 1.0));
        if (c->ord > 2) {
            EXPECT_EQ(nullptr, nurbCurveLinearize(c.get(), 0.01, &dev));
            EXPECT_EQ(nullptr, nurbCurveLinearizeScaled(c.get(), 0.01, &dev));
        }
        SurfPtr plane = own(makeQuad({0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}));
        EXPECT_EQ(nullptr, surfCurveLinearize(c.get(), plane.get(), 0.0, 0.01, &dev));
        EXPECT_EQ(nullptr, surfCurveLinearizeParam(c.get(), plane.get(), 0.0, 0.01, &dev));
        EXPECT_EQ(-7.0, dev);
        CurvePtr good = cubic();
        EXPECT_EQ(0, ratBSplCurveAppend(good.get(), c.get()));
        EXPECT_EQ(8, good->noPoints);
    }
}

TEST_F(HostileRecords, ArcRevolutionTurnsAtMostOnce)
{
    const double P[3] = {0, 0, 0}, A[3] = {0, 0, 1};
    CurvePtr line = curve(2, {0, 0, 1, 1}, {{5, 0, 0}, {5, 0, 4}});
    EXPECT_EQ(nullptr, ratBSplSurfRevolveCurveArc(P, A, line.get(), 0.0, 4 * M_PI));
    EXPECT_EQ(GEOM_ERR_ARGUMENT, geomLastError);
    EXPECT_EQ(nullptr, ratBSplSurfRevolveCurveArc(P, A, line.get(), 1.0, 1.0 - 2.5 * M_PI));
    // A full turn (with the rounding of 2 pi) is built and closes.
    SurfPtr s = own(ratBSplSurfRevolveCurveArc(P, A, line.get(), 0.0, 2 * M_PI));
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(2, s->origFormv);
}

TEST_F(HostileRecords, CountsThatWouldOverflowAreRefusedOrBounded)
{
    // Patch counts whose knot counts overflow 32 bits: refused before any
    // allocation or read of the caller's arrays.
    const double U[2] = {0, 1}, V[2] = {0, 1};
    GeomVec3 coefficients[16] = {};
    EXPECT_EQ(nullptr, ratBSplSurfFromBicubicPatches(INT_MAX / 2, 1, U, V, coefficients));
    EXPECT_EQ(GEOM_ERR_ARGUMENT, geomLastError);
    EXPECT_EQ(nullptr, ratBSplSurfFromBicubicPatches(1, INT_MAX - 1, U, V, coefficients));

    SurfPtr s = own(makeBicubic8());
    // Multiplicities that sum past INT_MAX measure empty stretches.
    const int mults[4] = {4, INT_MAX, INT_MAX, 4};
    double lengths[4] = {-1, -1, -1, -1};
    ASSERT_EQ(1, ratBSplSurfPolygonLengths(s.get(), 'u', 4, mults, lengths));
    EXPECT_GT(lengths[0], 0.0);
    EXPECT_EQ(0.0, lengths[2]);
    EXPECT_EQ(0.0, lengths[3]);
    // The next-patch search resumed at the largest span moves on a row.
    int su = s->ordu - 1, sv = INT_MAX;
    double window[4];
    const double point[3] = {0, 0, 0};
    const int r = ratBSplSurfNextPatchForPoint(s.get(), &su, &sv, point, window);
    EXPECT_TRUE(r == 0 || su > s->ordu - 1);
}

TEST_F(HostileRecords, RespacingANetNearTheLargestDoubleKeepsItsKnots)
{
    // Two Bezier pieces in u whose polygon lengths overflow to infinity.
    std::vector<Pt> pts;
    for (int i = 0; i < 7; ++i)
        for (int j = 0; j < 2; ++j)
            pts.push_back(Pt{1e300 * i * (i % 2 ? 1 : -1), 1e300 * j, 1.5e300 * (i % 3)});
    SurfPtr s = own(makeSurf(4, 2, {0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 2}, {0, 0, 1, 1}, pts,
                             std::vector<double>(14, 1.0), 0));
    const std::vector<double> ku(s->knotsu, s->knotsu + s->noPointsu);
    EXPECT_EQ(0, ratBSplSurfRespaceKnots(s.get()));
    for (int i = 0; i < s->noPointsu; ++i)
        EXPECT_EQ(ku[i], s->knotsu[i]);
    for (int j = 0; j < s->noPointsv; ++j)
        EXPECT_TRUE(std::isfinite(s->knotsv[j]));
}

TEST_F(HostileRecords, FitsWithANaNToleranceAcceptNothing)
{
    // Samples of a cubic that is no arc, and of an exact circle.
    CurvePtr c = cubic();
    GeomVec3 pts[10], round[10];
    for (int i = 0; i < 10; ++i) {
        const GeomPoint q = ratBSplCurveEvalPoint(c.get(), i / 9.0);
        pts[i][0] = q.x, pts[i][1] = q.y, pts[i][2] = q.z;
        round[i][0] = std::cos(0.3 * i), round[i][1] = std::sin(0.3 * i), round[i][2] = 0;
    }
    ArcFitResult arc{};
    double s[3], e[3], m[3], n[3], dev = 0;
    for (const GeomVec3* p : {pts, round}) {
        EXPECT_EQ(0, fitArcToPolyline(p, 10, NAN, 0, 0.01, 1e5, &arc, &dev));
        EXPECT_EQ(0, fitCircleToPoints(p, 10, NAN, 1e5, 0, s, e, m, n, &dev));
    }
    EXPECT_EQ(0, ratBSplCurveFitArc(c.get(), NAN, 10, 0.01, 0, 1e5, &arc, &dev));
    // The same fits with a number accept the circle.
    EXPECT_EQ(1, fitArcToPolyline(round, 10, 0.01, 0, 0.01, 1e5, &arc, &dev));
    EXPECT_EQ(1, fitCircleToPoints(round, 10, 0.01, 1e5, 0, s, e, m, n, &dev));
}

TEST_F(HostileRecords, SurfaceCurveLineariserForgetsTheCallersRecords)
{
    // After the call the caller frees its records; the public evaluators
    // must no longer reach them (the sanitizers see any read).
    RatBSplCurve* param = curve(2, {0, 0, 1, 1}, {{0.1, 0.2, 0}, {0.9, 0.7, 0}}).release();
    RatBSplSurf* s = makeBicubic8();
    // Along the diagonal of the parameter square, in knot values.
    param->points[0][0] = s->knotsu[s->ordu - 1];
    param->points[0][1] = s->knotsv[s->ordv - 1];
    param->points[1][0] = s->knotsu[s->noPointsu - s->ordu];
    param->points[1][1] = s->knotsv[s->noPointsv - s->ordv];
    double dev = -1;
    for (bool byParameter : {false, true}) {
        RatBSplCurve* poly = byParameter ? surfCurveLinearizeParam(param, s, 0.0, 0.01, &dev)
                                         : surfCurveLinearize(param, s, 0.0, 0.01, &dev);
        ASSERT_NE(nullptr, poly);
        EXPECT_LE(dev, 0.01);
        ratBSplCurveFree(poly);
    }
    ratBSplCurveFree(param);
    ratBSplSurfFree(s);
    double out[3] = {7, 7, 7};
    surfCurveEvalCurrent(out, 0.5);
    EXPECT_EQ(0.0, out[0]);
    nurbCurveEvalCurrent(out, 0.5);
    EXPECT_EQ(0.0, out[1]);
    offsetSurfCurveEvalCurrent(out, 0.5);
    EXPECT_EQ(0.0, out[2]);
}

}  // namespace
