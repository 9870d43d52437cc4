// Point inversion against a brute-force nearest point on random 20 x 20
// nets, rational and not, and on the closed-form shapes: the start grid's
// nearest sample often lies in another basin than the nearest point (a fold
// of the net coming close), or the steps stall on an open edge short of the
// nearest point along it; the searches from the grid's other minima and
// along the edge must find it.
#include "inversion_ref.h"

#include <gtest/gtest.h>

namespace {

using namespace surftest;

struct Misses {
    int noStart = 0, fromOrigin = 0;  // without a start, and from (0, 0)
};

Misses missesOn(RatBSplSurf* s)
{
    const Reference ref(s);
    Misses misses;
    for (const GeomPoint& p : queries(s, ref.size, 7)) {
        const double nearest = ref.nearest(p);
        for (int* count : {&misses.noStart, &misses.fromOrigin}) {
            const double start = count == &misses.noStart ? GEOM_NO_START_PARAM : 0.0;
            double u = 0, v = 0, d = 0;
            int state = 0;
            EXPECT_EQ(0, ratBSplSurfInvertPoint(s, p, start, start, 0.01, &u, &v, &state, &d));
            // The distance given is that of the parameters given, and these
            // lie in the domain (a direction that closes may run past its
            // ends: the evaluation wraps it).
            EXPECT_NEAR(d, dist(ratBSplSurfEvalPoint(s, u, v), p), 1e-12 * ref.size);
            const auto inside = [](double t, bool closes) { return closes || (t >= -1e-7 && t <= 1 + 1e-7); };
            EXPECT_TRUE(inside(u, s->origFormu == 2 || s->periodicu) && inside(v, s->origFormv == 2 || s->periodicv))
                << u << ", " << v;
            *count += d > nearest + 1e-6 * ref.size ? 1 : 0;
        }
    }
    return misses;
}

// 300 points around each net. Searching the grid's nearest sample alone,
// 5 of the 600 end farther than the nearest point without a start and 4
// from (0, 0); with the other basins and the edges 1 and 1.
TEST(InvertBasins, RandomNetsFindTheNearestBasinAndEdgePoint)
{
    auto plain = own(randomNet(20, false, 2)), rational = own(randomNet(20, true, 4));
    const Misses a = missesOn(plain.get()), b = missesOn(rational.get());
    EXPECT_LE(a.noStart + b.noStart, 2);
    EXPECT_LE(a.fromOrigin + b.fromOrigin, 2);
}

// The closed-form shapes on knot domains other than [0, 1]: directions that
// close and a sphere's poles, where a whole edge is one point. Two of the
// points about the torus lie within 0.1 of its core circle, near a centre of
// curvature, where the steps close in slowly and stop some 1e-5 short, from
// either start; every other point is found.
TEST(InvertBasins, ExactShapesFindTheNearestPoint)
{
    const struct {
        SurfPtr s;
        int misses;
    } shapes[] = {{own(makeCylinder(4, -1, 6, 2, 3, 10, 11)), 0},
                  {own(makeSphere(2.5, -3.5, 12.25, 100, 101)), 0},
                  {own(makeTorus(4, 1.25, 100, 101, -0.75, 2)), 2}};
    for (const auto& shape : shapes) {
        const Misses m = missesOn(shape.s.get());
        EXPECT_LE(m.noStart, shape.misses);
        EXPECT_LE(m.fromOrigin, shape.misses);
    }
}

}  // namespace
