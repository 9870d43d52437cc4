// The element measurement: a pick in the host's view classifies the picked
// face through the host's face-feature library, shows its type and measures,
// the picked point, the colour of the picked entity with its catalogue name,
// and draws the result graphic and the pick markers.
#include "analyse/kvAnalyseException.h"
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvAnalyseRequire.h"
#include "analyse/kvCAnalyseDlg.h"
#include "analyse/kvCSingleFaceSelDialog.h"
#include "analyse/kvPairGeometry.h"
#include "analyse/kvPickInversion.h"
#include "analyse/kvTrimmedBase.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvFeatureHelp.h"
#include "sdk/kvMsgEnt.h"
#include "sdk/kvTmpGraphics.h"
#include "sdk/kvTwRound.h"
#include "sdk/kvValueSets.h"

#include <cmath>
#include <cstdio>
#include <cwchar>
#include <algorithm>
#include <memory>
#include <string>

namespace {

const double pi = 3.14159265358979323846;
const double noValue = 100000.0;

using SurfPtr = std::unique_ptr<RatBSplSurf, void (*)(RatBSplSurf*)>;

kvCGeVector vectorOf(const kvPoint3DRec& p)
{
    return kvCGeVector(p.x, p.y, p.z);
}

kvCGePoint pointOf(const kvPoint3DRec& p)
{
    return kvCGePoint(p.x, p.y, p.z);
}

// A frame whose Z axis is the direction, at the origin.
kvCGeMatrix frameAlong(const kvCGeVector& direction, const kvCGePoint& origin)
{
    kvCGeMatrix frame;
    frame.setFromArbitraryAxis(direction);
    frame.setTranslation(origin);
    return frame;
}

// Copies text into a buffer of capacity characters, cut to fit and always
// terminated.
void copyBounded(const std::wstring& text, wchar_t* out, std::size_t capacity)
{
    if (!out || capacity == 0)
        return;
    const std::size_t n = std::min(text.size(), capacity - 1);
    text.copy(out, n);
    out[n] = L'\0';
}

// A number as "%lg" prints it.
std::wstring numberText(double value)
{
    wchar_t text[64];
    std::swprintf(text, 64, L"%lg", value);
    return text;
}

// The axis turned towards the viewer's side: reversed when it points away
// from the view direction by more than 90 degrees.
void orientAlongView(kvCGeVector& axis, const double* viewDirection)
{
    if (!viewDirection)
        return;
    const kvCGeVector view(viewDirection);
    if ((view - axis).length() > std::sqrt(2.0))
        axis = -axis;
}

}  // namespace

// ---------------------------------------------------------------- the pick road

void kvCAnalyseDlg::analyseElementAtPick(const double* point, const double*, bool, const double* normal,
                                         kvIUnknown* hitObject, const double* viewDir, bool flag)
{
    // A pick ends the turning of the tool by mouse.
    if (toolPosMouseAngleActive()) {
        toolPosFinishMouseAngle();
        return;
    }
    if (!point)
        return;

    kvFaceAxisRecord minPickCircle, maxPickCircle;
    double minPickRadius = 0.0, maxPickRadius = 0.0;
    const bool curvatureFound =
        curvatureAtPickPoint(point, hitObject, minPickCircle, minPickRadius, maxPickCircle, maxPickRadius);

    kvIfPtr<kvIApplication1> app = application();
    kvIfPtr<kvIAppDocument1> appDoc = appDocument();

    if (mode == 5 && flag) {
        runHandleTest(hitObject);
        return;
    }
    // A pick beside the model, or on something other than a surface.
    if (!normal)
        return;

    // The angle graphic draws on the viewer's side of the last pick.
    if (viewDir)
        viewDirection = kvCGeVector(viewDir);
    propSet(&ownProperties, kvKeyAnalyseFavoritPos, 0);
    nameTextPlaced = false;
    kvIfPtr<kvIGeSurface> surface(hitObject);
    kvIfPtr<kvIGeTrimmedSurfApprox> approximation(hitObject);
    kvIfPtr<kvIGeCbSurface2> boundedByCurves(hitObject);
    pointDistance = 0.0;
    // Every pick measures afresh: nothing of the previous face is shown again.
    clearMeasures();

    showResultProperties(0, -1, L"");
    if (mode == 2)
        setPickIndex(firstElementKind != 0 ? 1 : 0);

    feedbackSize = feedbacks(appDoc)->getDouble(kvKeySize);
    kvCCadEntityData attributes;
    propGet(&ownProperties, kvKeyCadAttribute, attributes);
    elementColor = attributes.colour().colorValue();
    long currentMode = mode;
    if (propGet(&ownProperties, kvKeyAnalyseMode, currentMode))
        mode = static_cast<int>(currentMode);
    if (mode != 2)
        firstElementKind = 0;

    graphics[gfxMeasurement].detach();
    graphics[gfxResult].detach();

    kvIUnknownPtr face(surface.get());
    kvIUnknownPtr base;
    if (surface.isNull() && kvTrimmedBaseSurface(approximation.getIf(), base))
        face = base;

    ElementState element;
    element.direction = kvCGeVector(normal);
    element.referencePoint = element.pickPoint = kvCGePoint(point);
    if (!face.isNull()) {
        try {
            analyseFace(face.get(), point, normal, viewDir, boundedByCurves.isNull(), curvatureFound, minPickCircle,
                        minPickRadius, maxPickCircle, maxPickRadius, element);
        } catch (...) {
            kvShowAnalyseException(app, L"Exception in kvAnalyse(13)");
        }
    }
    try {
        showEntityOfPick(hitObject, element);
    } catch (...) {
        kvShowAnalyseException(app, L"Exception in kvAnalyse(14)");
    }
}

void kvCAnalyseDlg::clearMeasures()
{
    faceHeight = 0.0;
    diameter1 = diameter2 = 0.0;
    diameter2Height = 0.0;
    faceRadius = 0.0;
    coneAngle = 0.0;
    resultMinRadius = resultMaxRadius = 0.0;
    resultMinRadiusU = resultMinRadiusV = 0.0;
    resultMinCircle = resultMaxCircle = resultMinUCircle = resultMinVCircle = kvFaceAxisRecord();
}

// The point expressed in the reference frame, as the user reads coordinates.
kvCGePoint kvCAnalyseDlg::inReferenceFrame(const kvCGePoint& p) const
{
    kvCGeMatrix frame;
    propGet(&ownProperties, kvKeyFrameRef_Matrix, frame);
    return frame.inverse() * p;
}

void kvCAnalyseDlg::showTypeText(const wchar_t* textKey)
{
    kvIfPtr<kvIApplication1> app = application();
    showResultProperties(0, 3, kvCMsgEnt(textKey).getEntry(app.getIf()).c_str());
}

void kvCAnalyseDlg::analyseFace(kvIUnknown* face, const double* point, const double* normal, const double* viewDir,
                                bool freeFormAllowed, bool curvatureFound, const kvFaceAxisRecord& minPickCircle,
                                double minPickRadius, const kvFaceAxisRecord& maxPickCircle, double maxPickRadius,
                                ElementState& element)
{
    kvCFeatureHelp feature;
    feature.clearCache();

    const kvCGePoint pick(point);
    const kvCGeVector pickNormal(normal);
    const bool firstPick = firstElementKind == 0;
    if (firstPick) {
        firstPickPoint = secondPickPoint = pick;
        firstDirection = firstVector = secondDirection = secondVector = pickNormal;
        resultGraphicKind = 0;
        const kvCGePoint shown = inReferenceFrame(pick);
        showPickPoint(true, shown.x, shown.y, shown.z);
    } else {
        lastElementKind = firstElementKind;
        secondPickPoint = pick;
        secondDirection = secondVector = pickNormal;
    }

    kvPoint3DRec p, d, extra;
    double turnedRadius = 0.0, sineOfAngle = 0.0, value = 0.0;
    if (feature.isNurbsAsPlane(face, p, d, extra)) {
        showTypeText(L"twUiCyc.loc|AnaTPlane|Plane");
        if (!firstPick) {
            applySecondPickRules(facePlane);
            firstElementKind = 0;
            return;
        }
        firstReferencePoint = pointOf(p);
        firstElementKind = 1;
        propSet(&ownProperties, kvKeyAnalyseType, 7);
        try {
            kvCGeMatrix frame;
            propGet(&ownProperties, kvKeyFrameRef_Matrix, frame);
            kvCGePoint origin;
            kvCGeVector x, y, z;
            frame.getCoordSystem(origin, x, y, z);
            if (mode == 1 || mode == 4) {
                // The face's angle to the frame: its normal, turned towards
                // the viewer, against the frame's reversed Z axis. The angle
                // dimension gives the angle between the two traces, 180 less
                // that between the directions: 0 for a face the frame looks
                // down on, 90 for a wall, above 90 for an undercut.
                firstVector = z * -1.0;
                angleSecondPoint = origin;
                const double angle = drawMeasurementResults(pickNormal, firstVector, firstPickPoint, origin, 3);
                wchar_t text[valueTextSize];
                formatValueWithUnit(angle, text, valueTextSize);
                showResultProperties(0, 4, text);
                showResultGraphic(kvKeyInfoAngle);
                // The line's text is rounded; the plane list's rows are
                // those of the face's own angle.
                if (mode == 4)
                    selectPlaneRowsOfAngle(angle);
            }
        } catch (...) {
            kvShowAnalyseException(application(), L"Exception in kvAnalyse(12)");
        }
        return;
    }
    if (feature.isNurbsAsCylinder(face, p, d, turnedRadius, sineOfAngle, value, extra)) {
        analyseTurnedFace(feature, face, p, d, turnedRadius, sineOfAngle, value, pick, viewDir, element);
        return;
    }
    double majorRadius = 0.0, minorRadius = 0.0;
    short torusFlag = 0;
    if (feature.isNurbsAsTorusExt(face, p, d, majorRadius, minorRadius, extra, &torusFlag)) {
        showTypeText(L"twUiCyc.loc|AnaTTorus|Torus");
        kvCGeVector axis = vectorOf(d).normal();
        orientAlongView(axis, viewDir);
        element.direction = axis;
        element.referencePoint = pointOf(p);
        axisPoint = pointOf(p);
        secondDirection = axis;
        if (!firstPick) {
            applySecondPickRules(faceTorus);
            firstElementKind = 0;
            return;
        }
        // A torus is a curved element without a usable axis: measured
        // against a second element, it stands by its normal at the pick
        // (the pair's first direction as the pick set it), as a free-form
        // face does.
        firstElementKind = 5;
        propSet(&ownProperties, kvKeyAnalyseType, 4);
        faceRadius = minorRadius;
        diameter1 = 2.0 * majorRadius;
        showResultValue(0, 6, std::fabs(minorRadius));
        showResultValue(1, 7, 2.0 * majorRadius);
        showResultGraphic(kvKeyInfoRadius);
        return;
    }
    if (!freeFormAllowed)
        return;

    showTypeText(L"twUiCyc.loc|AnaTFreeForm|Free form surface");
    computeFaceCurvatureRadii(face, true);
    resultMinRadiusU = minRadiusU;
    resultMinRadiusV = minRadiusV;
    resultMaxRadius = maxRadius;
    resultMinRadius = radius;
    resultMinCircle = axisRecord;
    resultMaxCircle = maxRecord;
    resultMinUCircle = minURecord;
    resultMinVCircle = minVRecord;
    if (!firstPick) {
        applySecondPickRules(faceFreeForm);
        firstElementKind = 0;
        return;
    }
    firstElementKind = 5;
    propSet(&ownProperties, kvKeyAnalyseType, 11);
    // Without a curvature at the picked point (the point did not come back
    // onto the surface) only the type is shown, as at a flat spot.
    if (!curvatureFound || !(minPickRadius < noValue))
        return;
    resultMinRadius = minPickRadius;
    resultMinCircle = minPickCircle;
    resultMaxRadius = maxPickRadius;
    resultMaxCircle = maxPickCircle;
    int row = 0;
    showResultValue(row++, 17, resultMinRadius);
    if (resultMinRadiusU < noValue)
        showResultValue(row++, 18, resultMinRadiusU);
    if (resultMinRadiusV < noValue)
        showResultValue(row++, 19, resultMinRadiusV);
    if (std::fabs(resultMaxRadius) < noValue)
        showResultValue(row++, 20, resultMaxRadius);
    // Drawn by showing it: once.
    showResultGraphic(kvKeyInfoMinRadius);
}

void kvCAnalyseDlg::analyseTurnedFace(kvCFeatureHelp& feature, kvIUnknown* face, const kvPoint3DRec& p,
                                      const kvPoint3DRec& d, double radius, double sineOfAngle, double value,
                                      const kvCGePoint& pick, const double* viewDir, ElementState& element)
{
    const double a = std::asin(std::fmax(-1.0, std::fmin(1.0, sineOfAngle))) * 180.0 / pi;
    diameter1 = 2.0 * radius;
    {
        const kvCGePoint shown = inReferenceFrame(pick);
        showPickPoint(true, shown.x, shown.y, shown.z);
    }
    kvCGeVector axis = vectorOf(d).normal();
    axisPoint = pointOf(p);
    // The cone's opening is measured about its axis, whether or not its
    // extent is found.
    secondDirection = axis;
    kvPoint3DRec limit1, limit2;
    double radius1 = 0.0, radius2 = 0.0;
    bool rounding = false;
    const bool limitsFound =
        feature.getSurfaceLimitsOnAxis(face, p, d, radius, sineOfAngle, value, limit1, radius1, limit2, radius2);
    const bool coneLike = std::fabs(a) > 0.001 && std::fabs(a) < 89.999;
    if (limitsFound) {
        faceHeight = pointOf(limit1).distanceTo(pointOf(limit2));
        orientAlongView(axis, viewDir);
        // The height runs from the face's end nearer the viewer down the
        // oriented axis; each diameter stands at the end where the face has
        // it.
        const kvCGePoint l1 = pointOf(limit1), l2 = pointOf(limit2);
        footPoint = (l2 - l1).dot(axis) >= 0.0 ? l2 : l1;
        // A cylinder has its diameter at both ends: it is shown at the near
        // one.
        axisPoint = coneLike ? l1 : footPoint;
        diameter2Height = ((coneLike ? l2 : l1) - axisPoint).dot(axis);
        double shapeAngle = 360.0;
        feature.getShapeAngle(p, d, face, shapeAngle);
        rounding = shapeAngle < 150.0;
        element.direction = axis;
        element.referencePoint = axisPoint;
        secondDirection = axis;
        if (rounding)
            showTypeText(L"twUiCyc.loc|AnaRound|Rounding");
        else if (coneLike)
            showTypeText(L"twUiCyc.loc|AnaTKonus|Conus");
        else
            showTypeText(L"twUiCyc.loc|AnaTCylinder|Cylinder");
    }
    if (firstElementKind != 0) {
        // The second element's own size stays in view beside the pair's results.
        if (rounding)
            showResultValue(0, 6, radius);
        else
            showResultValue(0, 7, 2.0 * radius);
        applySecondPickRules(rounding ? faceRounding : (coneLike ? faceCone : faceCylinder));
        firstElementKind = 0;
        return;
    }
    firstDirection = axis;
    int row = 0;
    if (!rounding) {
        firstReferencePoint = axisPoint;
        firstElementKind = 2;
        if (!coneLike) {
            propSet(&ownProperties, kvKeyAnalyseType, 8);
            showResultValue(row++, 7, 2.0 * radius);
            if (limitsFound)
                showResultValue(row++, 16, faceHeight);
            showResultGraphic(kvKeyInfoDiameter);
        } else {
            const double opening = showConeAngleGraphic(3);
            if (std::fabs(opening) <= 0.001 || std::fabs(opening) >= 179.999) {
                firstElementKind = 1;
                propSet(&ownProperties, kvKeyAnalyseType, 7);
            } else {
                // Without the face's extent there are no end diameters and no
                // height to show.
                if (limitsFound) {
                    diameter1 = 2.0 * radius1;
                    diameter2 = 2.0 * radius2;
                    showResultValue(row++, 10, diameter1);
                    showResultValue(row++, 11, diameter2);
                }
                coneAngle = std::fabs(opening);
                showResultValue(row++, 12, coneAngle);
                if (limitsFound)
                    showResultValue(row++, 16, faceHeight);
                propSet(&ownProperties, kvKeyAnalyseType, 19);
                showResultGraphic(limitsFound ? kvKeyInfoDiameter1 : kvKeyInfoConeAngle);
            }
        }
        // The shown result's graphic is the one drawn, once; a flat cone
        // shows no value and draws none.
        return;
    }
    firstElementKind = 5;
    propSet(&ownProperties, kvKeyAnalyseType, 18);
    showResultValue(row++, 16, faceHeight);
    if (!coneLike) {
        showResultValue(row++, 6, radius);
        faceRadius = radius;
        showResultGraphic(kvKeyInfoRadius);
    } else {
        showResultValue(row++, 22, radius);
        showResultValue(row++, 21, radius2);
        faceRadius = radius;
        diameter2 = 2.0 * radius2;
        coneAngle = std::fabs(a);
        showResultValue(row++, 12, coneAngle);
        showResultGraphic(kvKeyInfoRadius1);
    }
    // Drawn by showing it, as the ticked result: once, and the value ticked.
}

// The colour and name of the picked entity, the element-name text and the
// pick markers; then the CAD environment for saving.
void kvCAnalyseDlg::showEntityOfPick(kvIUnknown* hitObject, const ElementState& element)
{
    kvIfPtr<kvICadEntity> entity(hitObject);
    // The name text is always the current element's, whether or not it is
    // shown now: the user may switch it on, or save it, later.
    copyBounded(std::wstring(), elementNameText, elementNameSize);
    if (!entity.isNull()) {
        kvCString name;
        if (mode == 1) {
            unsigned long colour = 0;
            if (entity->getColor(&colour) == 0) {
                const int r = static_cast<int>(colour & 0xFF), g = static_cast<int>((colour >> 8) & 0xFF),
                          b = static_cast<int>((colour >> 16) & 0xFF);
                wchar_t text[valueTextSize];
                std::swprintf(text, valueTextSize, L"%d,%d,%d", r, g, b);
                showResultProperties(0, 1, text);
                const wchar_t* found = colorNameByRgb(r, g, b);
                kvIfPtr<kvIApplication1> app = application();
                name = found ? kvCString(found) : kvCMsgEnt(L"").getEntry(app.getIf());
                showResultProperties(0, 2, name.c_str());
            }
            // Names come from a file of the host: cut to the buffer.
            copyBounded((nameTextPlaced ? std::wstring() : std::wstring(L"  ")) + name.str(), elementNameText,
                        elementNameSize);
        }
        // The name stands at the element it names: beside this pick's own
        // result label, or at the picked point when the result placed none
        // (a label of an earlier pick may stand on another face).
        textFrame = frameAlong(element.direction, nameTextPlaced ? labelPosition : element.pickPoint);
        if (mode == 1 && showInfoText)
            showElementNameText();
        drawPickMarker(frameAlong(element.direction, element.referencePoint), frameAlong(firstVector, firstPickPoint));
    }
    showResultValue(0, 100, 0.0);
}

// Mode 5: a pick on one of the three handles of the tool sets the axis the
// mouse then turns the tool about.
void kvCAnalyseDlg::runHandleTest(kvIUnknown* hitObject)
{
    kvIfPtr<kvICadEntity> entity(hitObject);
    if (entity.isNull())
        return;
    unsigned long handles[3] = {
        kvCColor().setFromAcadColorIndex(14).colorValue(),
        kvCColor().setFromAcadColorIndex(94).colorValue(),
        kvCColor().setFromAcadColorIndex(174).colorValue(),
    };
    unsigned long colour = 0;
    if (entity->getColor(&colour) != 0)
        return;
    KV_REQUIRE(!mpExecContext.isNull(), L"mpExecContext", kvUnitAnalyseUI);
    kvIfPtr<kvIBaseDocWithColorSet> colourSet(m_pBaseDoc.get());
    if (!colourSet.isNull()) {
        for (unsigned long& handle : handles)
            colourSet->setColorSet(handle, &handle);
        colourSet->setColorSet(colour, &colour);
    }
    const wchar_t* const flags[3] = {kvKeyAAngleMouse, kvKeyBAngleMouse, kvKeyCAngleMouse};
    for (int i = 0; i < 3; ++i) {
        if (colour == handles[i]) {
            propSet(&ownProperties, flags[i], true);
            return;
        }
    }
}

// ---------------------------------------------------------------- small operations

bool kvCAnalyseDlg::curvatureAtPickPoint(const double* point, kvIUnknown* face, kvFaceAxisRecord& minPickCircle,
                                         double& minPickRadius, kvFaceAxisRecord& maxPickCircle,
                                         double& maxPickRadius)
{
    if (!face || !point)
        return false;
    kvCFeatureHelp feature;
    SurfPtr surface(feature.newRatBSplSurf(face), ratBSplSurfFree);
    if (!surface)
        return false;
    // Parameters that do not bring the point back would give the curvature
    // of some other place of the surface: then there is no circle.
    kvPickParameters at;
    if (!kvInvertPick(surface.get(), point, at))
        return false;
    double Su[3], Suu[3], Sv[3], Svv[3], ku = 0.0, kv = 0.0;
    const GeomPoint S = ratBSplSurfEvalPointNormal(surface.get(), at.u, at.v, Su, Suu, Sv, Svv, &ku, &kv);
    const double ru = ku == 0.0 ? noValue : 1.0 / ku;
    const double rv = kv == 0.0 ? noValue : 1.0 / kv;
    kvCGeVector du(Su), dv(Sv);
    if (du.length() > 1e-5)
        du.normIt();
    if (dv.length() > 1e-5)
        dv.normIt();
    const kvCGeVector n = du.cross(dv);
    const kvCGePoint s(S.x, S.y, S.z);
    auto circle = [&s, &n](double r, const kvCGeVector& axis) {
        kvFaceAxisRecord c;
        c.p0 = s;
        c.p2 = s + n * r;
        c.p1 = s + n * (2.0 * r);
        c.v = axis;
        return c;
    };
    if (std::fabs(rv) <= std::fabs(ru)) {
        minPickCircle = circle(rv, du);
        maxPickCircle = circle(ru, dv);
        minPickRadius = std::fabs(rv);
        maxPickRadius = std::fabs(ru);
    } else {
        minPickCircle = circle(ru, dv);
        maxPickCircle = circle(rv, du);
        minPickRadius = std::fabs(ru);
        maxPickRadius = std::fabs(rv);
    }
    return true;
}

void kvCAnalyseDlg::showPickPoint(bool isPoint, double x, double y, double z)
{
    try {
        if (!singleFacePanel || !singleFacePanel->GetSafeHwnd())
            return;
        kvIfPtr<kvIAppDocument1> appDoc = appDocument();
        x = twRound(appDoc.getIf(), x);
        y = twRound(appDoc.getIf(), y);
        z = twRound(appDoc.getIf(), z);
        wchar_t text[3 * valueTextSize];
        std::swprintf(text, 3 * valueTextSize, isPoint ? L"X%lg, Y%lg, Z%lg" : L"DX%lg, DY%lg, DZ%lg", x, y, z);
        propSet(&ownProperties, kvKeyInfoCoordinate, kvCString(text));
        kvIfPtr<kvIApplication1> app = application();
        const kvCString label =
            kvCMsgEnt(isPoint ? L"twUiCyc.loc|AnaSelPoint|Pick point" : L"twUiCyc.loc|AnaPointDistance|Point distance")
                .getEntry(app.getIf());
        // The one line of the coordinate: a pick's point, or after a second
        // pick the two picks' difference, labelled as what it shows.
        singleFacePanel->addProperty(L"SubFrame", kvKeyInfoCoordinate, label.c_str(), static_cast<ePropCtrlType>(15),
                                     static_cast<nCads::eGeoAssociateType>(0), static_cast<nCads::eParameterType>(0),
                                     -1, true);
    } catch (...) {
        kvShowAnalyseException(application(), L"Exception in kvAnalyse(16)");
    }
}

void kvCAnalyseDlg::formatValueWithUnit(double angle, wchar_t* out, std::size_t capacity)
{
    if (!out || capacity == 0)
        return;
    kvIfPtr<kvIApplication1> app = application();
    // The unit is the host's text: it is joined, not formatted, and the
    // whole is cut to the caller's buffer.
    const std::wstring unit = kvCMsgEnt(L"twUiCyc.loc|AnaDeg|").getEntry(app.getIf()).str();
    std::wstring text;
    if (kvPairShownAngle(angle) == 0.0)
        text = numberText(0.0) + unit;
    else if (showAngleSupplement && !transparent)
        text = numberText(kvPairRoundedAngle(360.0 - angle)) + unit + L" (" + numberText(kvPairRoundedAngle(angle)) +
               unit + L")";
    else
        text = numberText(kvPairShownAngle(angle)) + unit;
    copyBounded(text, out, capacity);
}

void kvCAnalyseDlg::showElementNameText()
{
    graphics[gfxElementName].detach();
    bool show = showInfoText;
    propGet(&ownProperties, kvKeyInfoShowText_, show);
    showInfoText = show;
    elementNameShown = false;
    if (!showInfoText)
        return;
    if (graphics[gfxElementName].isNull() && !m_pBaseDoc.isNull())
        m_pBaseDoc->getTmpGraphics(&graphics[gfxElementName]);
    KV_REQUIRE(!graphics[gfxElementName].isNull(), L"m_pTmpGr1", kvUnitAnalyseUI);
    if (firstElementKind != 0) {
        drawText(graphics[gfxElementName], elementNameText, textFrame, 2.0, elementColor, 1);
        // A colour the catalogue does not name leaves only the blanks that
        // set the name off a point: no text of blanks goes into the model.
        elementNameShown = elementNameText[std::wcsspn(elementNameText, L" ")] != L'\0';
    }
    graphics[gfxElementName]->setVisible(1);
}

void kvCAnalyseDlg::forwardMouseMove(double x, double y)
{
    if (toolPosMouseAngleActive())
        toolPosTurnToolByMouse(x, y);
}
