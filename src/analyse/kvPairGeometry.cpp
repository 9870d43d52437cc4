#include "analyse/kvPairGeometry.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const double kDegrees = 180.0 / 3.141592653589793;

bool componentsBelow(const kvCGeVector& v, double tolerance)
{
    return std::fabs(v.x) < tolerance && std::fabs(v.y) < tolerance && std::fabs(v.z) < tolerance;
}

} // namespace

bool kvPairPlanesParallel(const kvCGeVector& a, const kvCGeVector& b)
{
    return componentsBelow(a - b, kvPairDirectionTolerance) || componentsBelow(a + b, kvPairDirectionTolerance);
}

bool kvPairAxesParallel(const kvCGeVector& a, const kvCGeVector& b)
{
    // Comparing the components' sizes would also pair (1, 1, 0) with
    // (1, -1, 0); the cross product of the unit directions only vanishes
    // for the same or the opposite direction.
    if (a.length() == 0.0 || b.length() == 0.0)
        return false;
    return a.normal().cross(b.normal()).length() < kvPairDirectionTolerance;
}

kvCGeMatrix kvPairFrameAlong(const kvCGeVector& axis)
{
    kvCGeMatrix frame;
    frame.setFromArbitraryAxis(axis);
    frame.invertIt();
    return frame;
}

bool kvPairIsRightAngle(const kvCGeVector& first, const kvCGeVector& second)
{
    const kvCGeVector v = kvPairFrameAlong(first) * second;
    // Directions whose |z| lies within the tolerance of 1 are nearly the
    // same direction, not at a right angle: the angle is measured for them.
    return std::fabs(std::fabs(v.x) - 1.0) < kvPairRightAngleTolerance ||
           std::fabs(std::fabs(v.y) - 1.0) < kvPairRightAngleTolerance || std::fabs(v.z) < kvPairRightAngleTolerance;
}

double kvPairAxisAngle(const kvCGeVector& first, const kvCGeVector& axis)
{
    if (kvPairIsRightAngle(first, axis))
        return 90.0;
    const kvCGeVector v = kvPairFrameAlong(first) * axis.normal();
    const double z = std::fmax(-1.0, std::fmin(1.0, v.z));
    return std::fabs(std::asin(z)) * kDegrees;
}

double kvPairAngleOfAxes(const kvCGeVector& first, const kvCGeVector& axis)
{
    if (kvPairIsRightAngle(first, axis))
        return 90.0;
    return 90.0 - kvPairAxisAngle(first, axis);
}

double kvPairRoundedAngle(double angle)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.3lf", angle);
    return std::strtod(text, nullptr);
}

double kvPairShownAngle(double angle)
{
    if (std::fabs(angle) < 0.001 || std::fabs(angle - 180.0) < 0.001)
        return 0.0;
    return kvPairRoundedAngle(angle);
}

int kvPairTypeOfPlaneAngle(int firstKind, double angle, bool rightAngle)
{
    // The type follows the number the user reads: 59.99999 is shown as 60.
    angle = kvPairShownAngle(angle);
    if (firstKind == kvFirstAxis)
        return kvPairAxisAndPlaneAtAngle;
    if (firstKind == kvFirstCurved)
        return kvPairCurved;
    if (rightAngle)
        return kvPairPlanesAtRightAngle;
    if (std::fabs(angle - 45.0) < 0.01)
        return kvPairPlanesAt45;
    if (angle < 30.0)
        return kvPairPlanesBelow30;
    if (angle < 60.0)
        return kvPairPlanesBelow60;
    return kvPairPlanesFrom60;
}

double kvPairHeightAlong(const kvCGeVector& direction, const kvCGePoint& p, const kvCGePoint& q)
{
    const kvCGeMatrix frame = kvPairFrameAlong(direction);
    return (frame * q).z - (frame * p).z;
}

kvPairPlaneDistance kvPairDistanceOfPlanes(const kvCGeVector& firstNormal, const kvCGePoint& firstPoint,
                                           const kvCGePoint& firstPick, const kvCGePoint& secondPick)
{
    kvPairPlaneDistance d;
    const double offset = kvPairHeightAlong(firstNormal, firstPoint, secondPick);
    d.distance = std::fabs(offset);
    // Moved by the second plane's height above the first, the first pick
    // lands on the second plane.
    d.foot = firstPick + firstNormal.normal() * offset;
    return d;
}

double kvPairHoleDistance(const kvCGeVector& firstAxis, const kvCGePoint& firstAxisPoint,
                          const kvCGePoint& secondAxisPoint)
{
    const kvCGeMatrix frame = kvPairFrameAlong(firstAxis);
    const kvCGePoint a = frame * firstAxisPoint, b = frame * secondAxisPoint;
    return std::hypot(b.x - a.x, b.y - a.y);
}

double kvPairIntersectLines(const kvCGeVector& u, const kvCGeVector& v, const kvCGePoint& p, const kvCGePoint& q,
                            kvCGePoint& out)
{
    const kvCGeVector c = u.cross(v);
    const double cx = std::fabs(c.x), cy = std::fabs(c.y), cz = std::fabs(c.z);
    // The two coordinates (i, j) of the plane the lines are solved in.
    int i = 0, j = 1;
    if (cx <= cz && cy <= cz) {
        i = 0;
        j = 1;
    } else if (cy <= cx) {
        i = 1;
        j = 2;
    } else {
        i = 0;
        j = 2;
    }
    const double denominator = v[i] * u[j] - u[i] * v[j];
    if (denominator == 0.0) {
        out = p;
        return 0.0;
    }
    const double t = (v[j] * (p[i] - q[i]) - v[i] * (p[j] - q[j])) / denominator;
    out = p + u * t;
    return std::fabs(t);
}

double kvPairAngledHoleOffset(const kvCGeVector& firstAxis, const kvCGeVector& secondAxis, const kvCGePoint& c,
                              const kvCGePoint& firstPick, kvCGePoint& foot)
{
    const kvCGeVector n = firstAxis.cross(secondAxis);
    foot = c;
    if (n.length() == 0.0)
        return 0.0;
    const double z = kvPairHeightAlong(n, c, firstPick);
    // The foot lies on the first pick's side of the plane, so the offset's
    // dimension runs toward the first hole.
    foot = c + n.normal() * z;
    return std::fabs(z);
}
