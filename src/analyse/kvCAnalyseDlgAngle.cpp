// The angle dimension between two directions, drawn as a temporary graphic
// of the views and, while a measurement is being saved, written into the
// model. Its geometry comes from kvAngleDimension.
#include "analyse/kvAnalyseException.h"
#include "analyse/kvAngleDimension.h"
#include "analyse/kvCAnalyseDlg.h"
#include "sdk/kvTmpGraphics.h"

namespace {

// Sizes of the angle dimension relative to the feedback size.
const double arrowRadiusPerSize = 0.1;
const double arrowHeightPerSize = 0.2;
const double lineWidthPerSize = 0.1;
const double angleTextHeight = 5.0;
const double contourTolerance = 0.0001;

// The host's buffer for the approximation points of the dimension's
// contour, kept from one drawing to the next.
kvTArray<double[3]> contourPoints;

} // namespace

double kvCAnalyseDlg::drawMeasurementResults(kvCGeVector a, kvCGeVector b, kvCGePoint p, kvCGePoint q, int kind)
{
    try {
        const double s = feedbackSize;
        kvAngleDimension dim = kvComputeAngleDimension(a, b, p, q, kind, s, viewDirection);
        if (!dim.drawn)
            return dim.angle;

        kvIfPtr<kvIBaseTmpGraphics>& group = graphics[gfxMeasurement];
        group.detach();
        if (!m_pBaseDoc.isNull())
            m_pBaseDoc->getTmpGraphics(&group);
        const kvCGeMatrix identity;
        drawContour(group, dim.contour, contourTolerance, false, elementColor, 1, L"", identity, lineWidthPerSize * s,
                    elementColor, 1, contourPoints);
        drawCone(group, 0.0, arrowRadiusPerSize * s, arrowHeightPerSize * s, false, true, 24, elementColor,
                 dim.startArrow);
        drawCone(group, 0.0, arrowRadiusPerSize * s, arrowHeightPerSize * s, false, true, 24, elementColor,
                 dim.endArrow);
        wchar_t text[valueTextSize];
        formatValueWithUnit(dim.angle, text, valueTextSize);
        drawText(group, text, dim.textFrame, angleTextHeight, elementColor, 1);

        if (savingMeasurement) {
            kvIfPtr<kvIBaseModel1> target = modelForWriting();
            writeMeasurementToModel(&dim.contour, target, dim.textFrame, text);
            writeArrowheadToModel(target, dim.startArrowAxis, dim.start, arrowRadiusPerSize * s,
                                  arrowHeightPerSize * s);
            writeArrowheadToModel(target, dim.endArrowAxis, dim.end, arrowRadiusPerSize * s, arrowHeightPerSize * s);
        }
        if (!group.isNull())
            group->setVisible(1);
        return dim.angle;
    } catch (...) {
        kvShowAnalyseException(mpExecContext.getIf(), L"Exception in kvAnalyse(21)");
    }
    return 0.0;
}

void kvCAnalyseDlg::writeArrowheadToModel(kvIfPtr<kvIBaseModel1> target, kvCGeVector axis, kvCGePoint tip,
                                          double radius, double height)
{
    try {
        kvCGeMatrix frame;
        frame.setFromArbitraryAxis(axis);
        // Each outline is written on its own, so no entity repeats another.
        for (kvCGeContour3d& outline : kvArrowheadOutlines(axis, tip, radius, height))
            writeMeasurementToModel(&outline, target, frame, nullptr);
    } catch (...) {
        kvShowAnalyseException(mpExecContext.getIf(), L"Exception in kvAnalyse(22)");
    }
}
