// Records and arguments a caller can hand the kernel that no operation can
// serve: each is refused with the kernel's error report and leaves the
// outputs as they were, and none reads or writes outside its arrays.
// Records whose domain cannot be read are the random-record campaign's.
#include "curve_ref.h"
#include "surf_nets.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using namespace surftest;
using curveref::CurvePtr;

// A cubic that is no arc.
CurvePtr cubic()
{
    return curveref::own(curveref::make(4, {0, 0, 0, 0, 1, 1, 1, 1}, {{0, 0, 0}, {1, 2, 0}, {3, -1, 0}, {4, 0, 0}}));
}

using HostileRecords = curveref::NoErrorYet;

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

}  // namespace
