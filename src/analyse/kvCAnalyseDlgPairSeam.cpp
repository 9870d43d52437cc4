// The least of the two-element measurement that a single pick needs: the
// angle between two directions and the cone's opening angle, without
// graphics, and no second-pick rules (a second pick ends the pair).
#include "analyse/kvCAnalyseDlg.h"

#include <cmath>

namespace {
const double degreesPerRadian = 180.0 / 3.14159265358979323846;
}

void kvCAnalyseDlg::applySecondPickRules(int)
{
}

void kvCAnalyseDlg::measurePickDistance(const double*, bool, bool)
{
}

double kvCAnalyseDlg::drawMeasurementResults(kvCGeVector a, kvCGeVector b, kvCGePoint, kvCGePoint, int)
{
    if (a.length() <= 1e-10 || b.length() <= 1e-10)
        return 0.0;
    return a.angleTo(b) * degreesPerRadian;
}

// The cone's generator at the pick (the direction in the plane of the axis
// and the normal, across the normal, turned along the axis) against its
// mirror, a half turn about the axis: the cone's full opening angle.
double kvCAnalyseDlg::showConeAngleGraphic(int style)
{
    const kvCGeVector axis = secondDirection.normal();
    const kvCGeVector n = secondVector.normal();
    kvCGeVector generator = n.cross(axis.cross(n));
    if (generator.length() <= 1e-10)
        return 0.0;
    generator.normIt();
    kvCGeMatrix frame;
    frame.setFromArbitraryAxis(axis);
    frame.setTranslation(axisPoint);
    const kvCGeMatrix toFrame = frame.inverse();
    kvCGeVector local = toFrame * generator;
    kvCGePoint localPoint = toFrame * secondPickPoint;
    local.x = -local.x;
    local.y = -local.y;
    localPoint.x = -localPoint.x;
    localPoint.y = -localPoint.y;
    return drawMeasurementResults(generator, frame * local, secondPickPoint, frame * localPoint, style);
}
