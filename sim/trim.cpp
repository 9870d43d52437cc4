#include "trim.h"

#include <cmath>

namespace hostsim {

namespace {

struct Disc {
    double x, y, r;
};

bool inDisc(const Disc& d, const double* p)
{
    return (p[0] - d.x) * (p[0] - d.x) + (p[1] - d.y) * (p[1] - d.y) < d.r * d.r;
}

// The openings of the through holes, the countersink and the boss's foot.
const Disc kHole1{20, 40, 5}, kHole2{40, 40, 5}, kHole3{70, 35, 8}, kCountersinkTop{70, 35, 12},
    kBossFoot{30, 15, 8};

} // namespace

bool insideTrimmedFace(const SampleFace& f, const double* p)
{
    if (f.kind == "torus" && f.rounding) {
        // A fillet at the foot of a boss: the inner lower quarter of the tube.
        const double dx = p[0] - f.point[0], dy = p[1] - f.point[1];
        return std::sqrt(dx * dx + dy * dy) <= f.radius && p[2] <= f.point[2];
    }
    switch (f.id) {
    case 101: // bottom: the three through holes
        return !inDisc(kHole1, p) && !inDisc(kHole2, p) && !inDisc(kHole3, p);
    case 102: // top: holes, countersink, boss, pocket and the rounded corner
        if (inDisc(kHole1, p) || inDisc(kHole2, p) || inDisc(kCountersinkTop, p) || inDisc(kBossFoot, p))
            return false;
        if (p[0] > 45 && p[0] < 58 && p[1] > 3 && p[1] < 20)
            return false;
        return !(p[0] < 3 && p[1] > 57);
    case 104: // back: ends at both vertical fillets
        return p[0] >= 3 && !(p[0] > 97 && p[2] < 22);
    case 105: // left: ends at the back left fillet
        return p[1] <= 57;
    case 106: // right: ends at the back right fillet
        return !(p[1] > 57 && p[2] < 22);
    case 108: // the tilted face: its carrier plane reaches over the block
        return p[0] >= 90 && p[0] <= 100;
    case 121: // back left fillet: the sphere corner caps it
        return p[2] <= 37;
    case 141: // sphere corner: the octant at the corner
        return p[0] <= f.point[0] && p[1] >= f.point[1] && p[2] >= f.point[2];
    default:
        return true;
    }
}

} // namespace hostsim
