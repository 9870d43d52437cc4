// Point inversion against a brute-force nearest point on random 20 x 20
// nets, rational and not: the start grid's nearest sample often lies in
// another basin than the nearest point (a fold of the net coming close), or
// the steps stall on an open edge short of the nearest point along it; the
// searches from the grid's other minima and along the edge must find it.
#include "inversion_ref.h"

#include <gtest/gtest.h>

namespace {

using namespace surftest;

int missesOn(RatBSplSurf* s, double startU, double startV)
{
    const Reference ref(s);
    int misses = 0;
    for (const GeomPoint& p : queries(s, ref.size, 7)) {
        double u = 0, v = 0, d = 0;
        int state = 0;
        EXPECT_EQ(0, ratBSplSurfInvertPoint(s, p, startU, startV, 0.01, &u, &v, &state, &d));
        // The distance given is that of the parameters given.
        EXPECT_NEAR(d, dist(ratBSplSurfEvalPoint(s, u, v), p), 1e-12 * ref.size);
        misses += d > ref.nearest(p) + 1e-6 * ref.size ? 1 : 0;
    }
    return misses;
}

// 300 points around each net. Searching the grid's nearest sample alone,
// 5 of the 600 end farther than the nearest point without a start and 4
// from (0, 0); with the other basins and the edges 1 and 1.
TEST(InvertBasins, RandomNetsFindTheNearestBasinAndEdgePoint)
{
    auto plain = own(randomNet(20, false, 2)), rational = own(randomNet(20, true, 4));
    EXPECT_LE(missesOn(plain.get(), GEOM_NO_START_PARAM, GEOM_NO_START_PARAM) +
                  missesOn(rational.get(), GEOM_NO_START_PARAM, GEOM_NO_START_PARAM),
              2);
    EXPECT_LE(missesOn(plain.get(), 0.0, 0.0) + missesOn(rational.get(), 0.0, 0.0), 2);
}

}  // namespace
