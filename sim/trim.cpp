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

// The openings of the through holes, the countersink and the boss's foot,
// and the boss's top.
const Disc kHole1{20, 40, 5}, kHole2{40, 40, 5}, kHole3{70, 35, 8}, kCountersinkTop{70, 35, 12},
    kBossFoot{30, 15, 8}, kBossTop{30, 15, 6};

// The radius of the roundings along the block's edges and at its corner.
const double kRounding = 3.0;

// On the material's side of the tilted face's plane (through (90, 0, 40),
// its normal 60 degrees from the top's towards +x), or within t of it.
bool underTiltedFace(const double* p, double t)
{
    return (p[0] - 90.0) * (std::sqrt(3.0) / 2.0) + (p[2] - 40.0) * 0.5 <= t;
}

// On the material's side of the chamfer's plane z - y = 35, or within t.
bool behindChamfer(const double* p, double t) { return (p[2] - p[1] - 35.0) / std::sqrt(2.0) <= t; }

// Cut away by the rounding of an edge: a and b are the point's coordinates
// across the edge, (ca, cb) the rounding's axis there and sa, sb the signs
// towards the edge. What lies in the edge's quarter beyond the rounding is
// gone; a tolerance keeps what lies within it of the rest.
bool roundedAway(double a, double b, double ca, double cb, int sa, int sb, double t)
{
    const double da = sa * (a - ca), db = sb * (b - cb);
    return da > t && db > t && std::hypot(da, db) > kRounding + t;
}

// The pocket's opening, over x 45..58 and y 3..20, by more than t.
bool overPocket(const double* p, double t)
{
    return p[0] > 45 + t && p[0] < 58 - t && p[1] > 3 + t && p[1] < 20 - t;
}

// On a pocket wall, not below the pocket's floor.
bool aboveFloor(const double* p, double t)
{
    static const SampleFace* const floor = samplePart().findFace(151);
    return p[2] >= freeformHeight(*floor, p[0], p[1]) - t;
}

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
    case 101: // bottom: the three through holes and the vertical fillets' corners
        return !inDisc(kHole1, p, t) && !inDisc(kHole2, p, t) && !inDisc(kHole3, p, t) &&
               !roundedAway(p[0], p[1], 3, 57, -1, 1, t) && !roundedAway(p[0], p[1], 97, 57, 1, 1, t);
    case 102: // top: holes, countersink, boss, pocket, and the roundings along its left and back
        if (inDisc(kHole1, p, t) || inDisc(kHole2, p, t) || inDisc(kCountersinkTop, p, t) || inDisc(kBossFoot, p, t) ||
            overPocket(p, t))
            return false;
        return p[0] >= 3 - t && p[1] <= 57 + t;
    case 103: // front: ends under the tilted face
        return underTiltedFace(p, t);
    case 104: // back: between the vertical fillets, under the rounding and the tilted face
        return p[0] >= 3 - t && p[0] <= 97 + t && p[2] <= 37 + t && underTiltedFace(p, t);
    case 105: // left: before the back fillet, under the rounding and the chamfer
        return p[1] <= 57 + t && p[2] <= 37 + t && behindChamfer(p, t);
    case 106: // right: before the back fillet
        return p[1] <= 57 + t;
    case 107: // chamfer: ends at the tilted face and the left rounding, the pocket cut out
        return underTiltedFace(p, t) && !roundedAway(p[0], p[2], 3, 37, -1, 1, t) &&
               !(p[0] > 45 + t && p[0] < 58 - t && p[1] > 3 + t);
    case 108: // the tilted face: its carrier plane reaches beyond the block on every side
        return p[0] >= 90 - t && p[0] <= 100 + t && p[1] >= -t && p[1] <= 60 + t && behindChamfer(p, t) &&
               !roundedAway(p[1], p[2], 57, 37, 1, 1, t) && !roundedAway(p[0], p[1], 97, 57, 1, 1, t);
    case 121: // back left fillet: the sphere corner caps it
        return p[2] <= 37 + t;
    case 122: // back right fillet, the back rounding: the tilted face cuts them
    case 123:
        return underTiltedFace(p, t);
    case 124: // left rounding: the chamfer cuts it
        return behindChamfer(p, t);
    case 132: // boss top
        return std::hypot(p[0] - kBossTop.x, p[1] - kBossTop.y) <= kBossTop.r + t;
    case 141: // sphere corner: the octant at the corner
        return p[0] <= f.point[0] + t && p[1] >= f.point[1] - t && p[2] >= f.point[2] - t;
    case 152: // pocket walls: from the floor up, the side walls to the chamfer
    case 153:
        return aboveFloor(p, t);
    case 154:
    case 155:
        return aboveFloor(p, t) && behindChamfer(p, t);
    default:
        return true;
    }
}

} // namespace hostsim
