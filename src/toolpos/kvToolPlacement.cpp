#include "toolpos/kvToolPlacement.h"

#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;

kvCGeMatrix rotationAbout(const kvCGeVector& axis, double degrees)
{
    kvCGeMatrix r;
    r.setToRotation2(degrees * kPi / 180.0, axis, kvCGePoint());
    return r;
}

}  // namespace

kvCGeMatrix kvToolFrame(const kvCGeMatrix& base, double a, double b, double c)
{
    kvCGeMatrix frame = base;
    frame *= rotationAbout(kvCGeVector(1, 0, 0), a);
    frame *= rotationAbout(kvCGeVector(0, 1, 0), b);
    frame *= rotationAbout(kvCGeVector(0, 0, 1), c);
    return frame;
}

void kvToolFeedbackPoints(const kvCGeMatrix& toolFrame, double axialShift, kvCGePoint& first, kvCGePoint& second)
{
    first = toolFrame * kvCGePoint(0, 0, -axialShift);
    second = toolFrame * kvCGePoint(0, 0, 1000.0 - axialShift);
}

kvCGeMatrix kvMouseAnglePlane(const kvCGeMatrix& base, double a, double b, double c, kvToolAxis axis)
{
    // The tool frame as far as the angles before this one turn it: the
    // angle's own rotation leaves its axis where it is, and the angles after
    // it turn about axes that ride along, not this one.
    kvCGePoint origin;
    kvCGeVector x, y, z;
    kvCGeMatrix plane;
    switch (axis) {
    case kvToolAxisA:
        kvToolFrame(base, a, 0.0, 0.0).getCoordSystem(origin, x, y, z);
        plane.setCoordSystem(origin, y, z, x);
        break;
    case kvToolAxisB:
        kvToolFrame(base, a, b, 0.0).getCoordSystem(origin, x, y, z);
        plane.setCoordSystem(origin, z, x, y);
        break;
    default:
        kvToolFrame(base, a, b, c).getCoordSystem(origin, x, y, z);
        plane.setCoordSystem(origin, x, y, z);
        break;
    }
    return plane;
}

double kvMouseAngleDegrees(double x, double y)
{
    if (x == 0.0 && y == 0.0)
        return 0.0;
    return std::atan2(y, x) * 180.0 / kPi;
}

double kvNormaliseAngle(double degrees)
{
    double a = std::fmod(degrees, 360.0);
    if (a > 180.0)
        a -= 360.0;
    else if (a <= -180.0)
        a += 360.0;
    return a;
}
