#include "trim.h"

#include <cmath>

namespace hostsim {

namespace {

struct Disc {
    double x, y, r;
};

// Inside the disc by more than the tolerance.
bool inDisc(const Disc& d, const double* p, double tolerance)
{
    const double r = d.r - tolerance;
    return r > 0.0 && (p[0] - d.x) * (p[0] - d.x) + (p[1] - d.y) * (p[1] - d.y) < r * r;
}

// The openings of the through holes, the countersink and the boss's foot.
const Disc kHole1{20, 40, 5}, kHole2{40, 40, 5}, kHole3{70, 35, 8}, kCountersinkTop{70, 35, 12},
    kBossFoot{30, 15, 8};

} // namespace

bool insideTrimmedFace(const SampleFace& f, const double* p, double tolerance)
{
    const double t = tolerance;
    if (f.kind == "torus" && f.rounding) {
        // A fillet at the foot of a boss: the inner lower quarter of the tube.
        const double dx = p[0] - f.point[0], dy = p[1] - f.point[1];
        return std::sqrt(dx * dx + dy * dy) <= f.radius + t && p[2] <= f.point[2] + t;
    }
    switch (f.id) {
    case 101: // bottom: the three through holes
        return !inDisc(kHole1, p, t) && !inDisc(kHole2, p, t) && !inDisc(kHole3, p, t);
    case 102: // top: holes, countersink, boss, pocket and the rounded corner
        if (inDisc(kHole1, p, t) || inDisc(kHole2, p, t) || inDisc(kCountersinkTop, p, t) || inDisc(kBossFoot, p, t))
            return false;
        if (p[0] > 45 + t && p[0] < 58 - t && p[1] > 3 + t && p[1] < 20 - t)
            return false;
        return !(p[0] < 3 - t && p[1] > 57 + t);
    case 104: // back: ends at both vertical fillets
        return p[0] >= 3 - t && !(p[0] > 97 + t && p[2] < 22 - t);
    case 105: // left: ends at the back left fillet
        return p[1] <= 57 + t;
    case 106: // right: ends at the back right fillet
        return !(p[1] > 57 + t && p[2] < 22 - t);
    case 108: // the tilted face: its carrier plane reaches over the block
        return p[0] >= 90 - t && p[0] <= 100 + t;
    case 121: // back left fillet: the sphere corner caps it
        return p[2] <= 37 + t;
    case 141: // sphere corner: the octant at the corner
        return p[0] <= f.point[0] + t && p[1] >= f.point[1] - t && p[2] >= f.point[2] - t;
    default:
        return true;
    }
}

} // namespace hostsim
