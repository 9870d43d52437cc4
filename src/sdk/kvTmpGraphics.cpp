#include "sdk/kvTmpGraphics.h"

#include <vector>

bool drawLine(kvIfPtr<kvIBaseTmpGraphics> graphic, const kvCGePoint& start, const kvCGePoint& end,
              unsigned long colour, int flag, const wchar_t* name, const kvCGeMatrix& frame, double width,
              unsigned long colour2, int flag2)
{
    if (graphic.isNull())
        return false;
    double a[3], b[3];
    start.get(a);
    end.get(b);
    return graphic->drawLine(a, b, colour, flag, name, frame.asDoubleMat(), width, colour2, flag2) == 0;
}

bool drawContour(kvIfPtr<kvIBaseTmpGraphics> graphic, const kvCGeContour3d& contour, double tolerance,
                 bool filled, unsigned long colour, int flag, const wchar_t* name, const kvCGeMatrix& frame,
                 double width, unsigned long colour2, int flag2, kvTArray<double[3]>& points)
{
    if (graphic.isNull())
        return false;
    return graphic->drawContour(contour, tolerance, filled, colour, flag, name, frame.asDoubleMat(), width, colour2,
                                flag2, points) == 0;
}

bool drawCone(kvIfPtr<kvIBaseTmpGraphics> graphic, double tipRadius, double baseRadius, double height,
              bool closeTip, bool closeBase, int facets, unsigned long colour, const kvCGeMatrix& frame)
{
    if (graphic.isNull())
        return false;
    return graphic->drawCone(tipRadius, baseRadius, height, closeTip, closeBase, facets, colour,
                             frame.asDoubleMat()) == 0;
}

bool drawText(kvIfPtr<kvIBaseTmpGraphics> graphic, const wchar_t* text, const kvCGeMatrix& frame, double height,
              unsigned long colour, int flag)
{
    if (graphic.isNull() || !text)
        return false;
    return graphic->drawText(text, frame.asDoubleMat(), height, colour, flag) == 0;
}

bool drawExtrusion(kvIfPtr<kvIBaseTmpGraphics> graphic, const kvCGePoint* profile, int count, double height,
                   unsigned long colour, const kvCGeMatrix& frame, const kvCGeVector& direction,
                   const kvCGeVector& extrusion)
{
    if (graphic.isNull() || !profile || count < 1)
        return false;
    std::vector<double> points(3 * static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        profile[i].get(&points[3 * static_cast<std::size_t>(i)]);
    double d[3], e[3];
    direction.get(d);
    extrusion.get(e);
    return graphic->drawExtrusion(reinterpret_cast<const double(*)[3]>(points.data()), count, height, colour,
                                  frame.asDoubleMat(), d, e) == 0;
}
