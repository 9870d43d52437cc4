#include "analyse/kvAngleDimension.h"

#include "analyse/kvPairGeometry.h"

#include <cmath>

namespace {

const double kRootTwo = std::sqrt(2.0);
const double kDegrees = 180.0 / 3.141592653589793;

kvCGeVector normalisedIfLong(kvCGeVector v)
{
    if (v.length() > kvAngleDimMinLength)
        v.normIt();
    return v;
}

// The cone frame of an arrowhead with its tip at tip and its body along v,
// turned by beta about axis.
kvCGeMatrix arrowFrame(const kvCGeVector& v, double beta, const kvCGeVector& axis, const kvCGePoint& tip)
{
    kvCGeMatrix m;
    m.setFromArbitraryAxis(v);
    kvCGeMatrix turn;
    turn.setToRotation2(beta, axis.normal(), kvCGePoint(0, 0, 0));
    m = turn * m;
    m.setTranslation(tip);
    return m;
}

// The largest magnitude among the point's coordinates, at least 1: the
// scale of the rounding in points placed about it.
double largestCoordinate(const kvCGePoint& c)
{
    return std::fmax(1.0, std::fmax(std::fabs(c.x), std::fmax(std::fabs(c.y), std::fabs(c.z))));
}

} // namespace

kvAngleDimension kvComputeAngleDimension(const kvCGeVector& a, const kvCGeVector& b, const kvCGePoint& p,
                                         const kvCGePoint& q, int kind, double size, const kvCGeVector& viewSide)
{
    kvAngleDimension dim;
    kvCGeVector n = a.cross(b);
    if (n.length() < kvAngleDimMinLength)
        return dim;
    n.normIt();
    kvCGeVector u = a.cross(n), w = b.cross(n);
    if (u.length() < kvAngleDimMinLength || w.length() < kvAngleDimMinLength)
        return dim;
    u.normIt();
    w.normIt();
    // w's angle to u about n, half a turn on: the angle between the two
    // elements' traces, 180 less the angle between a and b. angleTo runs
    // from 0 to a full turn, so the half turn is taken off again past it.
    dim.angle = std::fmod(w.angleTo(u, n) * kDegrees + 180.0, 360.0);
    if (kind == kvAngleDimAngleOnly)
        return dim;
    if (std::fabs(dim.angle) < kvAngleDimMinDrawnAngle || std::fabs(dim.angle - 180.0) < kvAngleDimMinDrawnAngle)
        return dim;
    // A negative size (or none) gives no dimension. Size 0 draws the legs,
    // the arc and the text with arrowheads of size 0.
    if (!(size >= 0.0))
        return dim;

    kvCGePoint c = p + n * 20.0;
    double r = kvPairIntersectLines(u, w, p, q, c);
    if (kind == kvAngleDimFixedRadius)
        r = size;
    else if (kind == kvAngleDimOffset)
        r += size;
    else if (size > r)
        r = size;
    // An arc of radius 0 (size 0 with the fixed radius, or a start on the
    // crossing at size 0) has no legs, no tilt for its arrowheads and no
    // direction for its text. A start computed onto the crossing lies a
    // rounding error off it: a radius lost in the rounding of the centre's
    // coordinates counts as 0. Any longer one is drawn, however small.
    if (!(r > kvAngleDimRoundingPerCoordinate * largestCoordinate(c)))
        return dim;

    // A start on the crossing itself has no side: the first leg then runs
    // along the first element's trace.
    kvCGeVector d = p - c;
    d = d.length() > kvAngleDimMinLength ? d.normal() : u;
    if (kind == kvAngleDimOffset && (d + viewSide).length() < kRootTwo)
        d = -d;
    // The second leg runs along the second trace, to the side that q lies
    // on (always the side of b's trace for the fixed kinds); of its two
    // sides only one spans the angle with the first leg, and that one is
    // taken where the two differ, so that the arc spans the angle written
    // on it.
    bool opposite = false;
    if (kind != kvAngleDimOffset && kind != kvAngleDimSecondLeg)
        opposite = q.distanceTo(c - w * r) <= q.distanceTo(c + w * r);
    const double sweepAlong = d.angleTo(w) * kDegrees, sweepOpposite = 180.0 - sweepAlong;
    const double missAlong = std::fabs(sweepAlong - dim.angle), missOpposite = std::fabs(sweepOpposite - dim.angle);
    if (missAlong < missOpposite - kvAngleDimSideTolerance)
        opposite = false;
    else if (missOpposite < missAlong - kvAngleDimSideTolerance)
        opposite = true;
    const kvCGePoint start = c + d * r;
    const kvCGePoint end = c + (opposite ? -w : w) * r;

    // The arc runs from the second leg's end back to the first's, the short
    // way between the legs.
    const kvCGeVector fromCentreStart = start - c, fromCentreEnd = end - c;
    const bool counterClockwise = fromCentreEnd.cross(fromCentreStart).dot(n) > 0.0;
    dim.contour.lineTo(c, 1).lineTo(end, 0);
    dim.contour.arcTo(start, c, n, counterClockwise ? 1 : 0);
    dim.contour.lineTo(c, 0);

    // Each arrowhead's tip sits on an end of the arc and its body runs
    // along the arc, turned toward the centre so that its base meets the
    // arc (a chord of the cone's height).
    const kvCGeVector travelAxis = counterClockwise ? n : -n;
    const double beta = std::asin((size / 10.0) / r);
    const kvCGeVector startBody = normalisedIfLong(fromCentreStart.cross(travelAxis));
    const kvCGeVector endBody = normalisedIfLong(travelAxis.cross(fromCentreEnd));
    dim.startArrow = arrowFrame(startBody, beta, startBody.cross(-fromCentreStart), start);
    dim.endArrow = arrowFrame(endBody, beta, endBody.cross(-fromCentreEnd), end);
    dim.startArrowAxis = dim.startArrow * kvCGeVector(0, 0, 1);
    dim.endArrowAxis = dim.endArrow * kvCGeVector(0, 0, 1);

    // The text stands on the middle of the arc, facing the viewer.
    kvCGeVector textNormal = n;
    if ((textNormal + viewSide).length() < kRootTwo)
        textNormal = -textNormal;
    const kvCGeVector middle = normalisedIfLong(fromCentreStart.normal() + fromCentreEnd.normal());
    const kvCGePoint anchor = c + middle * r;
    const kvCGeVector z = textNormal;
    // Axes of unit length at every radius, so that the text stands as high
    // on a small arc as on a large one.
    kvCGeVector x = (anchor - c).normal();
    const kvCGeVector y = z.cross(x).normal();
    x = y.cross(z);
    dim.textFrame.setCoordSystem(anchor, x, y, z);

    dim.drawn = true;
    dim.radius = r;
    dim.centre = c;
    dim.start = start;
    dim.end = end;
    dim.normal = n;
    dim.oppositeSide = opposite;
    return dim;
}

std::array<kvCGeContour3d, 3> kvArrowheadOutlines(const kvCGeVector& axis, const kvCGePoint& tip, double radius,
                                                   double height)
{
    kvCGeMatrix m;
    m.setFromArbitraryAxis(axis);
    const double h = radius / 2.0;
    const kvCGePoint k1 = tip + m * kvCGeVector(h, h, height), k2 = tip + m * kvCGeVector(-h, h, height);
    const kvCGePoint k3 = tip + m * kvCGeVector(h, -h, height), k4 = tip + m * kvCGeVector(-h, -h, height);
    std::array<kvCGeContour3d, 3> outlines;
    outlines[0].lineTo(k1, 1).lineTo(tip, 0).lineTo(k2, 0);
    outlines[1].lineTo(k3, 1).lineTo(tip, 0).lineTo(k4, 0);
    outlines[2].lineTo(k1, 1).lineTo(k2, 0).lineTo(k4, 0).lineTo(k3, 0).lineTo(k1, 0);
    return outlines;
}
