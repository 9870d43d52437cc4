// Face classification for the radius and plane analyses: planes and turned
// faces are recognised by the host's face-feature library, every other face
// is measured by its curvature radii.
#include "analyse/kvCAnalyseCtrl.h"

#include "sdk/kvFeatureHelp.h"

#include <algorithm>

namespace {
// Shape angles: above the first a turned face is a whole turn (no radius
// face); above the second it is a half turn (one half of a hole).
constexpr double fullTurnAbove = 181.0;
constexpr double halfTurnAbove = 150.0;
}  // namespace

int kvCAnalyseCtrl::classifyNurbsFace(kvIUnknown* face)
{
    kvCFeatureHelp features;
    features.clearCache();

    kvPoint3DRec point, normal, third;
    if (features.isNurbsAsPlane(face, point, normal, third)) {
        planeNormal.set(normal.x, normal.y, normal.z);
        boxMin.set(point.x, point.y, point.z);
        boxMax = boxMin;
        return faceClassPlane;
    }

    kvPoint3DRec axisPoint, axisDirection, extra;
    double turnRadius = 0.0, value2 = 0.0, value3 = 0.0;
    // A turned face of up to halfTurnAbove degrees has its own radius and
    // axis before the curvature measurement.
    bool turnedRecord = false;
    kvCGePoint turnedAxisPoint;
    if (features.isNurbsAsCylinder(face, axisPoint, axisDirection, turnRadius, value2, value3, extra)) {
        kvPoint3DRec start, end;
        double startRadius = 0.0, endRadius = 0.0;
        double angle = 0.0;
        // An angle the library could not measure is no angle: the face is
        // then measured by its curvature like any other.
        if (features.getSurfaceLimitsOnAxis(face, axisPoint, axisDirection, turnRadius, value2, value3, start,
                                            startRadius, end, endRadius) &&
            features.getShapeAngle(axisPoint, axisDirection, face, angle)) {
            if (angle > fullTurnAbove)
                return faceClassFullTurn;
            const double r = std::min(startRadius, endRadius);
            const kvCGePoint a(axisPoint.x, axisPoint.y, axisPoint.z);
            radius = r;
            axisRecord.p0.set(a.x + r, a.y, a.z);
            axisRecord.p1.set(a.x - r, a.y, a.z);
            axisRecord.p2 = a;
            if (angle > halfTurnAbove) {
                boxMin = a;
                boxMax = a;
                return faceClassHalfTurn;
            }
            turnedRecord = true;
            turnedAxisPoint = a;
        }
    }

    if (computeFaceCurvatureRadii(face, false))
        return faceClassCurved;
    // Unmeasured, a turned face keeps the radius and axis it was given
    // above, with its axis point as its extent: the box the measurement
    // would have grown still holds the analysis's start values.
    if (turnedRecord) {
        boxMin = turnedAxisPoint;
        boxMax = turnedAxisPoint;
        return faceClassCurved;
    }
    // Any other face without a surface has no radius of its own: the fields
    // would still hold the previous face's, so it gives no record.
    return faceClassUnusable;
}
