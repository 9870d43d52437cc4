// Point inversion against the proved nearest point (inversion_ref.h) on the
// nine surfaces of the inversion figures, without a start and from (0, 0):
// the start grid's nearest sample often lies in another basin than the
// nearest point (a fold of the net coming close, an edge), and near a
// centre of curvature (inside a sphere or a torus) the inverter's steps
// close in slowly and stop short of the foot. Every answer must be the
// nearest point within 1e-6 (1 + distance).
#include "inversion_ref.h"

#include <gtest/gtest.h>

namespace {

using namespace surftest;

void expectNearestOn(int kind)
{
    SurfPtr s = own(inversionSurface(kind));
    const std::vector<Piece> pieces = bezierPieces(s.get());
    const bool closesU = s->origFormu == 2 || s->periodicu, closesV = s->origFormv == 2 || s->periodicv;
    const auto inside = [](double t, bool closes) { return closes || (t >= -1e-7 && t <= 1 + 1e-7); };
    for (const GeomPoint& p : queries(s.get(), netSize(s.get()), 100 + kind, 200)) {
        const Nearest nearest = provedNearest(pieces, p);
        ASSERT_TRUE(nearest.proved);
        for (double start : {GEOM_NO_START_PARAM, 0.0}) {
            double u = 0, v = 0, d = 0;
            int state = 0;
            EXPECT_EQ(0, ratBSplSurfInvertPoint(s.get(), p, start, start, 0.01, &u, &v, &state, &d));
            // The distance given is that of the parameters given, and these
            // lie in the domain (a direction that closes may run past its
            // ends: the evaluation wraps it).
            EXPECT_NEAR(d, dist(ratBSplSurfEvalPoint(s.get(), u, v), p), 1e-12 * (1 + d));
            EXPECT_TRUE(inside(u, closesU) && inside(v, closesV)) << u << ", " << v;
            EXPECT_FALSE(missed(d, nearest)) << inversionSurfaceName(kind) << " (" << p.x << ", " << p.y << ", "
                                             << p.z << ") from " << start << ": " << d << " for "
                                             << nearest.distance;
            // The point found is on the surface and is found again within
            // the goal distance, min(tolerance, 1e-5).
            for (double tolerance : {0.01, 1e-9}) {
                double again = -1;
                ratBSplSurfInvertPoint(s.get(), ratBSplSurfEvalPoint(s.get(), u, v), start, start, tolerance, &u, &v,
                                       &state, &again);
                EXPECT_LE(again, std::fmin(tolerance, 1e-5)) << inversionSurfaceName(kind);
            }
        }
    }
}

TEST(InvertBasins, RandomNetsFindTheNearestBasinAndEdgePoint)
{
    for (int kind = 0; kind < 4; ++kind)
        expectNearestOn(kind);
}

TEST(InvertBasins, ExactShapesConvergeToTheNearestPoint)
{
    for (int kind = 4; kind < kInversionSurfaces; ++kind)
        expectNearestOn(kind);
}

}  // namespace
