// The result graphics: the dimension of the result that resultGraphicKind
// names (extension lines, a dimension line with arrowheads and the value as
// text, or the osculating circle of a curvature radius) and the small squares
// that mark the picks.
#include "analyse/kvAnalyseException.h"
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvAnalyseRequire.h"
#include "analyse/kvCAnalyseDlg.h"
#include "toolpos/kvCToolPosDialog.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvTmpGraphics.h"

#include <cmath>
#include <cstdio>

namespace {

// The host's buffer for the approximation points of the result contours,
// kept from one drawing to the next.
kvTArray<double[3]> contourPoints;

kvCGeMatrix frameAlong(const kvCGeVector& direction, const kvCGePoint& origin)
{
    kvCGeMatrix frame;
    frame.setFromArbitraryAxis(direction);
    frame.setTranslation(origin);
    return frame;
}

// What one result graphic draws: the dimension line A to B, its extension
// contour and extra lines, or a circle. Where the extension would only be
// the dimension line again it is left empty, so that the view and a saved
// measurement carry that line once.
struct Dimension {
    kvCGePoint a, b;
    kvCGeContour3d extension;
    std::vector<std::pair<kvCGePoint, kvCGePoint>> extraLines;
    const kvFaceAxisRecord* circle = nullptr;
    bool radiusKind = false;  // one arrowhead, at the end
};

}  // namespace

void kvCAnalyseDlg::drawAnalysisResults()
{
    graphics[gfxResult].detach();
    if (mode == 5)
        return;
    if (!m_pBaseDoc.isNull())
        m_pBaseDoc->getTmpGraphics(&graphics[gfxResult]);
    const double s = feedbackSize;
    const kvCGeMatrix secondFrame = frameAlong(secondDirection, secondPickPoint);

    double value = 0.0;
    bool radiusText = false;
    switch (resultGraphicKind) {
    case 1: value = axialDistance; break;
    case 2:
    case 3: value = pointDistance; break;
    case 4: value = faceHeight; break;
    case 5: value = diameter1; break;
    case 6:
    case 14: value = faceRadius; radiusText = true; break;
    case 7: value = diameter2; break;
    case 9: value = faceHeight != 0.0 ? angledHoleOffset : 0.0; break;
    case 10: value = resultMinRadius; radiusText = true; break;
    case 11: value = resultMinRadiusU; radiusText = true; break;
    case 12: value = resultMinRadiusV; radiusText = true; break;
    case 13: value = resultMaxRadius; radiusText = true; break;
    case 15: value = diameter2 / 2.0; radiusText = true; break;
    default: return;
    }
    if (value == 0.0)
        return;
    if (resultGraphicKind >= 10 && resultGraphicKind <= 13 && value > 100000.0)
        return;
    // A radius's sign tells on which side its centre lies (a concave torus
    // fillet); the text gives its size, as the result line does.
    const double shown = roundForDisplay(radiusText ? std::fabs(value) : value);
    wchar_t text[valueTextSize];
    std::swprintf(text, valueTextSize, radiusText ? L"R%lg" : L"%lg", shown);

    Dimension dim;
    switch (resultGraphicKind) {
    case 1:
        dim.a = footPoint;
        dim.b = firstPickPoint;
        dim.extension.lineTo(firstPickPoint, 1).lineTo(footPoint, 0).lineTo(secondPickPoint, 0);
        dim.extraLines.push_back({footPoint, secondPickPoint});
        break;
    case 2:
        dim.a = secondPickPoint;
        dim.b = firstPickPoint;
        break;
    case 3: {
        kvCGeMatrix toFrame = secondFrame.inverse();
        kvCGePoint la = toFrame * axisPoint, lb = toFrame * firstPickPoint;
        const double lift = std::fmax(la.z, lb.z) + s / 2.0;
        la.z = lift;
        lb.z = lift;
        dim.a = secondFrame * la;
        dim.b = secondFrame * lb;
        dim.extension.lineTo(axisPoint, 1).lineTo(dim.a, 0).lineTo(dim.b, 0).lineTo(firstPickPoint, 0);
        dim.extraLines.push_back({axisPoint, dim.a});
        dim.extraLines.push_back({firstPickPoint, dim.b});
        break;
    }
    case 4:
        dim.a = footPoint;
        dim.b = footPoint - secondDirection.normal() * faceHeight;
        break;
    case 5:
    case 7: {
        const double d = resultGraphicKind == 5 ? diameter1 : diameter2;
        kvCGeVector x = secondPickPoint - axisPoint;
        if (x.length() <= 1e-5)
            return;
        x.normIt();
        const kvCGeVector z = secondDirection.normal();
        // X toward the pick, across the axis.
        x = (x - z * x.dot(z));
        if (x.length() <= 1e-5)
            return;
        x.normIt();
        kvCGeMatrix frame;
        frame.setCoordSystem(axisPoint, x, z.cross(x), z);
        // Each diameter at the end of the face where it has that diameter,
        // the dimension line lifted toward the viewer.
        const double level = resultGraphicKind == 7 ? diameter2Height : 0.0;
        const double height = level + s / 2.0;
        const kvCGePoint onCircleA = frame * kvCGePoint(-d / 2.0, 0.0, level);
        const kvCGePoint onCircleB = frame * kvCGePoint(d / 2.0, 0.0, level);
        dim.a = frame * kvCGePoint(-d / 2.0, 0.0, height);
        dim.b = frame * kvCGePoint(d / 2.0, 0.0, height);
        dim.extension.lineTo(onCircleA, 1).lineTo(dim.a, 0);
        dim.extension.lineTo(onCircleB, 1).lineTo(dim.b, 0);
        dim.extraLines.push_back({onCircleA, dim.a});
        dim.extraLines.push_back({onCircleB, dim.b});
        break;
    }
    case 6:
    case 14:
    case 15:
        dim.a = secondPickPoint;
        dim.b = secondPickPoint + secondVector.normal() * s;
        dim.radiusKind = true;
        break;
    case 9:
        dim.a = axisPoint;
        dim.b = offsetFootPoint;
        break;
    default: {
        dim.a = secondPickPoint;
        dim.b = secondPickPoint + secondVector.normal() * s;
        dim.radiusKind = true;
        dim.circle = resultGraphicKind == 10   ? &resultMinCircle
                     : resultGraphicKind == 11 ? &resultMinUCircle
                     : resultGraphicKind == 12 ? &resultMinVCircle
                                               : &resultMaxCircle;
        break;
    }
    }

    const kvCGeMatrix identity;
    // What a save writes: the outline as drawn and every drawn arrowhead.
    kvCGeContour3d outline = dim.extension;
    std::vector<DrawnArrowhead> arrowheads;
    if (dim.circle) {
        outline.clear();
        // The osculating circle: from its first point through its second
        // point about its vector, once open and once closed.
        for (int closing = 0; closing < 2; ++closing) {
            kvCGeContour3d contour;
            contour.lineTo(dim.circle->p0, 1);
            contour.arcTo(dim.circle->p1, dim.circle->p2, dim.circle->v, closing);
            drawContour(graphics[gfxResult], contour, 0.01, false, closing ? bottomColour : elementColor, 0, L"",
                        identity, 0.1 * s, elementColor, 0, contourPoints);
            outline.lineTo(dim.circle->p0, 1);
            outline.arcTo(dim.circle->p1, dim.circle->p2, dim.circle->v, closing);
        }
    } else if (!dim.extension.isEmpty()) {
        drawContour(graphics[gfxResult], dim.extension, 0.01, false, elementColor, 0, L"", identity, 0.1 * s,
                    elementColor, 0, contourPoints);
    }
    for (const auto& line : dim.extraLines)
        drawLine(graphics[gfxResult], line.first, line.second, elementColor, 0, nullptr, identity, 0.1 * s,
                 elementColor, 0);
    drawLine(graphics[gfxResult], dim.a, dim.b, elementColor, 0, nullptr, identity, 0.1 * s, elementColor, 0);

    const kvCGeVector along = dim.b - dim.a;
    const double length = along.length();
    kvCGeVector textAxis = kvCGeVector(0, 0, 1);
    if (length > 1e-5) {
        const double L = std::fmin(s, length);
        const kvCGeVector unit = along / length;
        drawCone(graphics[gfxResult], 0.0, L / 10.0, L / 5.0, true, true, 24, elementColor,
                 frameAlong(-unit, dim.b));
        arrowheads.push_back({frameAlong(-unit, dim.b), L / 10.0, L / 5.0});
        if (!dim.radiusKind) {
            drawCone(graphics[gfxResult], 0.0, L / 10.0, L / 5.0, true, true, 24, elementColor,
                     frameAlong(unit, dim.a));
            arrowheads.push_back({frameAlong(unit, dim.a), L / 10.0, L / 5.0});
        }
        kvCGeMatrix dimFrame = frameAlong(unit, dim.a);
        kvCGePoint origin;
        kvCGeVector x, y, z;
        dimFrame.getCoordSystem(origin, x, y, z);
        textAxis = y;
    }
    kvCGePoint middle = dim.a + (dim.b - dim.a) * 0.5;
    middle -= textAxis * (s / 5.0);
    const kvCGeMatrix labelFrame = frameAlong(secondDirection, middle);
    drawText(graphics[gfxResult], text, labelFrame, 2.0, elementColor, 1);
    nameTextPlaced = true;
    labelPosition = middle;
    if (!graphics[gfxResult].isNull())
        graphics[gfxResult]->setVisible(1);
    if (savingMeasurement)
        writeResultDimensionToModel(outline, dim.a, dim.b, text, labelFrame, arrowheads);
}

void kvCAnalyseDlg::drawPickMarker(kvCGeMatrix markerFrame, kvCGeMatrix faceFrame)
{
    try {
        const double s = feedbackSize;
        const kvCGePoint profile[4] = {kvCGePoint(-0.1 * s, -0.1 * s, 0), kvCGePoint(-0.1 * s, 0.1 * s, 0),
                                       kvCGePoint(0.1 * s, 0.1 * s, 0), kvCGePoint(0.1 * s, -0.1 * s, 0)};
        int which = gfxPickMarker2;
        if (mode == 2 && firstElementKind == 0)
            which = gfxPickMarker1;
        else
            graphics[gfxPickMarker1].detach();
        kvIfPtr<kvIBaseTmpGraphics>& marker = graphics[which];
        marker.detach();
        if (mode == 5) {
            // The page stores the frame as "ToolPosFaceMat" and redraws the
            // tool there; timer 1 then hands the mouse over to it.
            if (toolPosPanel)
                toolPosPanel->placeAt(faceFrame);
            else
                propSet(&ownProperties, kvKeyToolPosFaceMat, faceFrame);
            if (toolPosPanel && GetSafeHwnd())
                SetTimer(1, 300, nullptr);
            return;
        }
        if (!m_pBaseDoc.isNull())
            m_pBaseDoc->getTmpGraphics(&marker);
        drawExtrusion(marker, profile, 4, 0.01 * s, elementColor, markerFrame, kvCGeVector(0, 0, 1),
                      kvCGeVector(0, 0, 1e-5 * s));
        if (!marker.isNull())
            marker->setVisible(1);
    } catch (...) {
        kvShowAnalyseException(mpExecContext.getIf(), L"Exception in kvAnalyse(20)");
    }
}
