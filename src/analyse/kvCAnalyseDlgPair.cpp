// The two-element measurement: what the second pick of a pair shows, the
// type the pair is recorded as, and the angle graphics between the two
// elements. The first pick (kvCAnalyseDlgElement.cpp) records the first
// element; the pair's geometry lives in kvPairGeometry.
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvAngleDimension.h"
#include "analyse/kvCAnalyseDlg.h"
#include "analyse/kvPairGeometry.h"
#include "host/object/kvPropAccess.h"

#include <cmath>

namespace {

// Result kinds of the pair.
enum {
    resultAngle = 4,
    resultDistance = 5,
    resultHoleDistance = 8,
    resultPointDistance = 9,
    resultDrillholeAngle = 13,
    resultFaceholeAngle = 14,
    resultAngledHoleOffset = 15,
};

// Result graphic kinds the pair draws itself.
enum { graphicAxialDistance = 1, graphicPointDistance = 2, graphicAngledHole = 9 };

// The angle dimension's style numbers as the pair passes them.
enum { styleAngleOnly = 3 };

bool sameDirection(const kvCGeVector& a, const kvCGeVector& b)
{
    const kvCGeVector d = a - b;
    return std::fabs(d.x) < kvPairDirectionTolerance && std::fabs(d.y) < kvPairDirectionTolerance &&
           std::fabs(d.z) < kvPairDirectionTolerance;
}

} // namespace

// ---------------------------------------------------------------- second pick

void kvCAnalyseDlg::applySecondPickRules(int faceType)
{
    const int first = firstElementKind;
    double pick[3];
    secondPickPoint.get(pick);
    // The pair's distance: along the first element, shown as such for a
    // plane first.
    auto distance = [&]() { measurePickDistance(pick, true, first == kvFirstPlane); };
    auto showAngle = [&](int kind, double angle) {
        wchar_t text[valueTextSize];
        formatValueWithUnit(angle, text, valueTextSize);
        showResultProperties(0, kind, text);
    };
    auto setType = [&](int type) { propSet(&ownProperties, kvKeyAnalyseType, type); };

    switch (faceType) {
    case facePlane: {
        if ((first == kvFirstPlane || first == kvFirstAxis) && kvPairPlanesParallel(firstDirection, secondDirection)) {
            if (first == kvFirstAxis) {
                setType(kvPairAxisParallelToFirst);
                showAngle(resultFaceholeAngle, 90.0);
                showResultGraphic(kvKeyInfoFaceholeAngle);
            } else {
                setType(kvPairParallelPlanes);
                // The distance along the first plane's normal is the planes'
                // distance: the first pick lies on the first plane.
                axisPoint = kvPairDistanceOfPlanes(firstDirection, firstReferencePoint, firstPickPoint,
                                                   secondPickPoint)
                                .foot;
                distance();
            }
            break;
        }
        if (first == kvFirstAxis) {
            // A hole is measured by its axis (its wall's normal at the pick
            // turns with the place picked): the face-hole angle is a right
            // angle and the angle between the axis and the face's normal,
            // as its graphic draws it.
            const double angle = kvPairAngleOfAxes(secondDirection, firstDirection);
            setType(kvPairAxisAndPlaneAtAngle);
            showAngle(resultFaceholeAngle, 90.0 + angle);
            // The distance's graphic stays in view, but for a hole nearly
            // along the face, whose angle is drawn in its place.
            distance();
            if (!(angle > 20.0 && angle < 160.0))
                showResultGraphic(kvKeyInfoFaceholeAngle);
            break;
        }
        // The right angle is told by the two vectors the angle is measured
        // and drawn between. A rounding's first direction is its axis,
        // which lies across the plane's normal whenever the rounding runs
        // along the plane: tested on it, every such pair read 90 while the
        // faces meet at another angle.
        const bool rightAngle = kvPairIsRightAngle(firstVector, secondVector);
        const double angle = rightAngle ? 90.0
                                        : drawMeasurementResults(secondVector, firstVector, secondPickPoint,
                                                                 firstPickPoint, styleAngleOnly);
        setType(kvPairTypeOfPlaneAngle(first, angle, rightAngle));
        showAngle(resultAngle, angle);
        // The distance's graphic stays in view, but for an open angle
        // between planes, which is drawn in its place: each is drawn once.
        distance();
        if (first == kvFirstPlane && angle > 20.0 && angle < 160.0)
            showResultGraphic(kvKeyInfoAngle);
        break;
    }
    case faceCylinder:
    case faceCone:
    case faceRounding: {
        const bool rounding = faceType == faceRounding;
        const kvCGeVector& axis = secondDirection;
        if (first == kvFirstPlane && std::fabs((firstDirection + axis).length() - std::sqrt(2.0)) < 0.001) {
            // The axis lies in the plane: only the distances tell anything.
            distance();
            break;
        }
        if (kvPairAxesParallel(firstDirection, axis)) {
            if (first == kvFirstAxis) {
                setType(kvPairParallelAxes);
                footPoint = axisPoint;
                pointDistance = kvPairHoleDistance(firstDirection, firstReferencePoint, axisPoint);
                showResultValue(0, resultHoleDistance, pointDistance);
                showResultGraphic(kvKeyInfoHoleDistance);
                const kvCGePoint a = inReferenceFrame(firstReferencePoint), b = inReferenceFrame(axisPoint);
                showPickPoint(false, a.x - b.x, a.y - b.y, a.z - b.z);
            } else if (!rounding) {
                setType(kvPairAxisParallelToFirst);
                showResultValue(0, resultFaceholeAngle, 90.0);
                showResultGraphic(kvKeyInfoFaceholeAngle);
            } else {
                const double angle = drawMeasurementResults(secondVector, firstVector, secondPickPoint,
                                                            firstPickPoint, styleAngleOnly);
                showAngle(resultAngle, angle);
                setType(kvPairAxisParallelToFirst);
                showResultGraphic(kvKeyInfoAngle);
            }
        } else {
            // Between two axes the angle is that of the lines, whichever way
            // each is turned; a face-hole angle is a right angle more.
            const double angle = kvPairAngleOfAxes(firstDirection, axis);
            // The drill-hole and face-hole angles of a turned second face are
            // values of their own, shown as every measured value is.
            if (first == kvFirstAxis) {
                showResultValue(0, resultDrillholeAngle, angle);
                const double offset = showAngledHoleGraphic(true);
                showResultValue(0, resultAngledHoleOffset, offset);
                showResultGraphic(kvKeyInfoDrillholeAngle);
            } else if (!rounding) {
                showResultValue(0, resultFaceholeAngle, 90.0 + angle);
                showResultGraphic(kvKeyInfoFaceholeAngle);
            } else {
                const double between = drawMeasurementResults(secondVector, firstVector, secondPickPoint,
                                                              firstPickPoint, styleAngleOnly);
                showAngle(resultAngle, between);
                showResultGraphic(kvKeyInfoAngle);
            }
            if (rounding)
                setType(kvPairCurved);
            else if (first == kvFirstAxis)
                setType(kvPairAxesAtAngle);
            else if (first == kvFirstCurved)
                setType(kvPairCurvedAndAxis);
            else
                setType(kvPairAxisAndPlaneAtAngle);
        }
        if (rounding)
            measurePickDistance(pick, first == kvFirstPlane, first == kvFirstPlane);
        break;
    }
    case faceTorus:
        setType(kvPairCurved);
        distance();
        break;
    case faceFreeForm: {
        setType(kvPairCurved);
        distance();
        const double angle =
            drawMeasurementResults(secondDirection, firstVector, secondPickPoint, firstPickPoint, styleAngleOnly);
        showAngle(resultAngle, angle);
        break;
    }
    default:
        break;
    }
}

void kvCAnalyseDlg::measurePickDistance(const double pick[3], bool alongFirstVector, bool showAxialDistance)
{
    secondPickPoint = kvCGePoint(pick);
    pointDistance = firstPickPoint.distanceTo(secondPickPoint);
    showResultValue(0, resultPointDistance, pointDistance);
    const kvCGePoint a = inReferenceFrame(firstPickPoint), b = inReferenceFrame(secondPickPoint);
    showPickPoint(false, a.x - b.x, a.y - b.y, a.z - b.z);

    if (alongFirstVector) {
        axialDistance = kvPairHeightAlong(firstVector, firstPickPoint, secondPickPoint);
        if (firstElementKind != kvFirstAxis)
            footPoint = firstPickPoint + firstVector.normal() * axialDistance;
        resultGraphicKind = graphicPointDistance;
        if (showAxialDistance) {
            resultGraphicKind = graphicAxialDistance;
            axialDistance = std::fabs(axialDistance);
            showResultValue(0, resultDistance, axialDistance);
            showResultGraphic(kvKeyInfoDistance);
        } else {
            showResultGraphic(kvKeyInfoPointDistance);
        }
        if (firstElementKind == kvFirstCurved)
            showResultValue(0, resultDistance, std::fabs(axialDistance));
    } else {
        resultGraphicKind = graphicPointDistance;
        showResultGraphic(kvKeyInfoPointDistance);
    }
    // The result graphic was drawn by showing it: once is enough.
}

void kvCAnalyseDlg::recordSelectedPlaneAsFirstElement()
{
    firstElementKind = kvFirstPlane;
    firstDirection = firstVector = planeNormal;
    firstReferencePoint = planePoint;
    // The pick distances start from the plane itself.
    firstPickPoint = planePoint;
}

// ---------------------------------------------------------------- angle graphics

void kvCAnalyseDlg::showFaceHoleAngleGraphic()
{
    const kvCGeVector& d1 = firstDirection;
    const kvCGeVector& d2 = secondDirection;
    const kvCGePoint& c = axisPoint;
    // The pick ends the pair, so the kind it started with is the last one.
    const bool axisFirst = lastElementKind == kvFirstAxis;
    const bool same = sameDirection(d2, d1);
    const bool opposite = sameDirection(d2, -d1);
    if (same || opposite) {
        // Along one direction there is no angle between the two: the
        // dimension runs from the axis toward the pick across it.
        kvCGeVector w = axisFirst ? c - secondPickPoint : firstPickPoint - c;
        if (w.length() <= kvPairDirectionTolerance)
            return;
        w.normIt();
        w = d2.cross(w).cross(d2);
        if (axisFirst)
            w = -w;
        if (axisFirst)
            drawMeasurementResults(same ? d1 : -d1, w, secondPickPoint, c, kvAngleDimSecondLeg);
        else
            drawMeasurementResults(same ? d1 : -d1, w, firstPickPoint, c, kvAngleDimSecondLeg);
        return;
    }
    if (axisFirst)
        drawMeasurementResults(d1.cross(d2).cross(d1), d2, c, secondPickPoint, kvAngleDimOffset);
    else
        drawMeasurementResults(d2.cross(d1).cross(d2), d1, c, firstPickPoint, kvAngleDimOffset);
}

void kvCAnalyseDlg::showDrillholeAngleGraphic()
{
    // The axes as lines: the second turned to the first's side, so that the
    // dimension spans the angle the panel shows, not its supplement.
    const kvCGeVector d2 = secondDirection.dot(firstDirection) < 0.0 ? -secondDirection : secondDirection;
    kvCGeVector u1 = firstDirection.cross(d2).cross(firstDirection);
    kvCGeVector u2 = d2.cross(firstDirection).cross(d2);
    if (u1.length() <= kvPairDirectionTolerance || u2.length() <= kvPairDirectionTolerance)
        return;
    u1.normIt();
    u2.normIt();
    drawMeasurementResults(u1, u2, firstPickPoint, axisPoint, transparent ? kvAngleDimFixedRadius : kvAngleDimOffset);
}

double kvCAnalyseDlg::showAngledHoleGraphic(bool computeOnly)
{
    angledHoleOffset = kvPairAngledHoleOffset(firstDirection, secondDirection, axisPoint, firstPickPoint,
                                              offsetFootPoint);
    if (!computeOnly) {
        resultGraphicKind = graphicAngledHole;
        drawAnalysisResults();
    }
    return angledHoleOffset;
}

// The cone's normal at the pick against its mirror, a half turn about the
// axis: the angle between the two generators they stand on is the cone's
// full opening angle.
double kvCAnalyseDlg::showConeAngleGraphic(int style)
{
    kvCGeMatrix frame;
    frame.setFromArbitraryAxis(secondDirection);
    frame.setTranslation(axisPoint);
    const kvCGeMatrix toFrame = frame.inverse();
    kvCGeVector mirrored = toFrame * secondVector;
    kvCGePoint mirroredPoint = toFrame * secondPickPoint;
    mirrored.x = -mirrored.x;
    mirrored.y = -mirrored.y;
    mirroredPoint.x = -mirroredPoint.x;
    mirroredPoint.y = -mirroredPoint.y;
    return drawMeasurementResults(secondVector, frame * mirrored, secondPickPoint, frame * mirroredPoint, style);
}
