// What the module draws into the host's temporary graphics, printed as a
// user would describe it: the group, the kind of drawing, its points in
// model coordinates, sizes and text.
#include "host_objects.h"
#include "text.h"

#include "sdk/kvGeomTypes.h"

#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>

namespace hostsim {

namespace {

std::string num(double v)
{
    if (std::fabs(v) < 5e-7) v = 0.0;
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", v);
    return text;
}

std::string pt(const kvCGePoint& p) { return "(" + num(p.x) + ", " + num(p.y) + ", " + num(p.z) + ")"; }

kvCGePoint placed(const double frame[4][4], double x, double y, double z)
{
    if (!frame) return kvCGePoint(x, y, z);
    return kvCGeMatrix(frame) * kvCGePoint(x, y, z);
}

kvCGeVector axisOf(const double frame[4][4], int column)
{
    if (!frame) return kvCGeVector(column == 0, column == 1, column == 2);
    return kvCGeVector(frame[0][column], frame[1][column], frame[2][column]);
}

std::string colour(unsigned long c)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%06lx", c & 0xFFFFFFul);
    return text;
}

} // namespace

int TmpGraphics::drawLine(const double start[3], const double end[3], unsigned long colour_, int, const wchar_t*,
                          const double frame[4][4], double width, unsigned long, int)
{
    if (!start || !end) return -1;
    m_out << "[view] group " << m_number << ": line " << pt(placed(frame, start[0], start[1], start[2])) << " to "
          << pt(placed(frame, end[0], end[1], end[2])) << ", width " << num(width) << ", colour " << colour(colour_)
          << '\n';
    return 0;
}

int TmpGraphics::drawContour(const kvCGeContour3d& contour, double, bool, unsigned long colour_, int, const wchar_t*,
                             const double frame[4][4], double width, unsigned long colour2, int, kvTArray<double[3]>&)
{
    std::string text;
    for (unsigned int i = 0; i < contour.elementCount(); ++i) {
        const kvCGeContour::Element& e = contour.element(i);
        const kvCGePoint end = placed(frame, e.end.x, e.end.y, e.end.z);
        if (e.kind == 0)
            text += (i ? " | from " : "from ") + pt(end);
        else if (e.kind == 1)
            text += " line to " + pt(end);
        else
            text += " arc to " + pt(end) + " about " + pt(placed(frame, e.centre.x, e.centre.y, e.centre.z)) +
                    (e.ccw ? " counter-clockwise" : " clockwise");
    }
    m_out << "[view] group " << m_number << ": contour " << text << ", width " << num(width) << ", colours "
          << colour(colour_) << "/" << colour(colour2) << '\n';
    return 0;
}

int TmpGraphics::drawCone(double tipRadius, double baseRadius, double height, bool, bool, int facets,
                          unsigned long colour_, const double frame[4][4])
{
    const kvCGePoint tip = placed(frame, 0, 0, 0);
    const kvCGeVector z = axisOf(frame, 2);
    m_out << "[view] group " << m_number << ": arrowhead at " << pt(tip) << " along " << pt(kvCGePoint(z))
          << ", radii " << num(tipRadius) << "/" << num(baseRadius) << ", length " << num(height) << ", " << facets
          << " facets, colour " << colour(colour_) << '\n';
    return 0;
}

int TmpGraphics::drawText(const wchar_t* text, const double frame[4][4], double height, unsigned long colour_, int)
{
    if (!text) return -1;
    m_out << "[view] group " << m_number << ": text \"" << shownText(text) << "\" at " << pt(placed(frame, 0, 0, 0))
          << ", size " << num(height) << ", colour " << colour(colour_) << '\n';
    return 0;
}

int TmpGraphics::drawExtrusion(const double (*profile)[3], int count, double height, unsigned long colour_,
                               const double frame[4][4], const double*, const double*)
{
    if (!profile || count < 1) return -1;
    // The profile's extent about the frame's origin, in the frame's plane.
    double half = 0.0;
    for (int i = 0; i < count; ++i) half = std::fmax(half, std::fmax(std::fabs(profile[i][0]), std::fabs(profile[i][1])));
    m_out << "[view] group " << m_number << ": marker of " << count << " corners, " << num(2 * half)
          << " across, at " << pt(placed(frame, 0, 0, 0)) << " facing " << pt(kvCGePoint(axisOf(frame, 2)))
          << ", height " << num(height) << ", colour " << colour(colour_) << '\n';
    return 0;
}

} // namespace hostsim
