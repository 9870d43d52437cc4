#include "generated_part.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace hostsim {

namespace {

const double kPi = 3.14159265358979323846;
const SampleColour kPlaneColour{192, 192, 192};
const SampleColour kHoleColour{64, 96, 224};
const SampleColour kRoundColour{32, 160, 64};
const SampleColour kFreeColour{224, 48, 48};


RatBSplCurve* lineCurve(const double* a, const double* b)
{
    RatBSplCurve* c = ratBSplCurveCreate(2, 4);
    if (!c) return nullptr;
    const double len = std::sqrt((b[0] - a[0]) * (b[0] - a[0]) + (b[1] - a[1]) * (b[1] - a[1]) +
                                 (b[2] - a[2]) * (b[2] - a[2]));
    c->knots[0] = c->knots[1] = 0.0;
    c->knots[2] = c->knots[3] = len;
    c->weights[0] = c->weights[1] = 1.0;
    ratBSplCurveSetPoint(c, 0, a[0], a[1], a[2]);
    ratBSplCurveSetPoint(c, 1, b[0], b[1], b[2]);
    c->origForm = 1;
    return c;
}

void set3(double* v, double x, double y, double z)
{
    v[0] = x;
    v[1] = y;
    v[2] = z;
}

// The slots of one cell of the grid, in order; planes are the most common
// faces of a machined part.
enum Slot {
    plane0, plane30, plane45, plane60, plane90, plane120, halfA, halfB, halfSingle, fullCylinder, quarterFillet,
    halfCone, torusFillet, freeForm, plane0b, plane90b, plane45b, plane0c, plane90c, plane120b, slotCount
};

// Builds the faces of the part, each from its index alone, so that a face's
// surface can be made again whenever it is asked for.
class Maker {
public:
    // The face with its surface (in keptSurface, the caller's).
    static SampleFace build(std::size_t index)
    {
        const std::size_t cell = index / slotCount;
        const Slot slot = static_cast<Slot>(index % slotCount);
        // Cells 40 apart on a square grid; each cell's faces lie inside it.
        const double ox = 40.0 * static_cast<double>(cell % 250);
        const double oy = 40.0 * static_cast<double>(cell / 250);
        const int variant = static_cast<int>(cell % 4);
        SampleFace f;
        f.id = static_cast<int>(1001 + index);
        // Every face but the torus fillet is its whole surface.
        f.windowStated = slot != torusFillet;
        switch (slot) {
        case plane0: case plane0b: case plane0c: plane(f, ox, oy, 0.0); break;
        case plane30: plane(f, ox, oy, 30.0); break;
        case plane45: case plane45b: plane(f, ox, oy, 45.0); break;
        case plane60: plane(f, ox, oy, 60.0); break;
        case plane90: case plane90b: case plane90c: plane(f, ox, oy, 90.0); break;
        case plane120: case plane120b: plane(f, ox, oy, 120.0); break;
        case halfA: case halfB: {
            const double radii[] = {2.5, 5.0, 8.0, 5.0};
            const double a0 = slot == halfA ? 0.0 : kPi;
            turned(f, "cylinder", "hole half", ox + 20, oy + 20, radii[variant], variant % 2, a0, a0 + kPi, -1,
                   kHoleColour, "Holes");
            break;
        }
        case halfSingle:
            turned(f, "cylinder", "slot end", ox + 10, oy + 30, variant < 2 ? 1.5 : 3.0, 2, 0.0, kPi, -1,
                   kHoleColour, "Holes");
            break;
        case fullCylinder:
            turned(f, "cylinder", "bore", ox + 30, oy + 8, 4.0, 0, 0.0, 2 * kPi, -1, kHoleColour, "Holes");
            break;
        case quarterFillet:
            turned(f, "cylinder", "fillet", ox + 3, oy + 3, variant < 2 ? 2.0 : 3.0, 0, kPi, 1.5 * kPi, 1,
                   kRoundColour, "Roundings");
            f.rounding = true;
            break;
        case halfCone: cone(f, ox + 30, oy + 30); break;
        case torusFillet: torus(f, ox + 12, oy + 12, variant < 2 ? 1.0 : 2.0); break;
        case freeForm: freeform(f, ox + 25, oy + 2); break;
        case slotCount: break;
        }
        if (f.keptSurface && f.windowStated && f.window.whole()) {
            // The face is its surface, handed out as it is: a host's surface
            // says which directions close on themselves.
            int closedU = 0, closedV = 0;
            ratBSplSurfTestClosed(f.keptSurface, &closedU, &closedV);
            f.keptSurface->origFormu = closedU ? 2 : 1;
            f.keptSurface->origFormv = closedV ? 2 : 1;
        }
        return f;
    }

private:
    // A 10 x 10 face whose normal is tilted by degrees from z about x.
    static void plane(SampleFace& f, double ox, double oy, double degrees)
    {
        const double a = degrees * kPi / 180.0;
        f.kind = "plane";
        f.name = "plane " + std::to_string(static_cast<int>(degrees));
        f.colour = kPlaneColour;
        f.layer = "Body";
        set3(f.axis, 0.0, -std::sin(a), std::cos(a));
        set3(f.point, ox + 2, oy + 20, 10);
        f.size = std::sqrt(200.0);
        // Edges: along x, and across x in the plane.
        const double e1[3] = {10, 0, 0};
        const double e2[3] = {0, 10 * std::cos(a), 10 * std::sin(a)};
        double p01[3], p10[3], p11[3];
        for (int k = 0; k < 3; ++k) {
            p01[k] = f.point[k] + e2[k];
            p10[k] = f.point[k] + e1[k];
            p11[k] = f.point[k] + e1[k] + e2[k];
        }
        f.keptSurface = ratBSplSurfBilinear(f.point, p01, p10, p11);
    }

    // A part of a cylinder about an axis along z, x or y (axisKind 0, 1, 2)
    // through (cx, cy, 0), 10 long, swept from a0 to a1.
    static void turned(SampleFace& f, const char* kind, const char* name, double cx, double cy, double r, int axisKind,
                double a0, double a1, int sense, SampleColour colour, const char* layer)
    {
        f.kind = kind;
        f.name = name;
        f.colour = colour;
        f.layer = layer;
        f.radius = r;
        f.normalSense = sense;
        f.size = std::fmax(2 * r, 10.0);
        f.sweepDegrees = (a1 - a0) * 180.0 / kPi;
        f.length = 10.0;
        double axis[3] = {0, 0, 0}, radial[3] = {0, 0, 0};
        axis[axisKind == 0 ? 2 : (axisKind == 1 ? 0 : 1)] = 1.0;
        radial[axisKind == 0 ? 0 : (axisKind == 1 ? 1 : 2)] = 1.0;
        set3(f.point, cx, cy, 10.0);
        for (int k = 0; k < 3; ++k) f.axis[k] = axis[k];
        double a[3], b[3];
        for (int k = 0; k < 3; ++k) {
            a[k] = f.point[k] + r * radial[k];
            b[k] = a[k] + 10.0 * axis[k];
        }
        RatBSplCurve* line = lineCurve(a, b);
        f.keptSurface = line ? ratBSplSurfRevolveCurveArc(f.point, f.axis, line, a0, a1) : nullptr;
        ratBSplCurveFree(line);
    }

    // Half a countersink cone: radius 3 at its foot, 5 at its top.
    static void cone(SampleFace& f, double cx, double cy)
    {
        f.kind = "cone";
        f.name = "countersink half";
        f.colour = kHoleColour;
        f.layer = "Holes";
        set3(f.point, cx, cy, 7.0);  // the apex; radius 3 at z = 10
        set3(f.axis, 0, 0, 1);
        f.halfAngle = kPi / 4;
        f.radius = 3.0;
        f.normalSense = -1;
        f.size = 10;
        f.sweepDegrees = 180.0;
        f.length = 2.0;
        const double a[3] = {cx + 3, cy, 10}, b[3] = {cx + 5, cy, 12};
        RatBSplCurve* line = lineCurve(a, b);
        f.keptSurface = line ? ratBSplSurfRevolveCurveArc(f.point, f.axis, line, 0.0, kPi) : nullptr;
        ratBSplCurveFree(line);
    }

    static void torus(SampleFace& f, double cx, double cy, double minor)
    {
        f.kind = "torus";
        f.name = "boss fillet";
        f.colour = kRoundColour;
        f.layer = "Roundings";
        f.rounding = true;
        set3(f.point, cx, cy, 10);
        set3(f.axis, 0, 0, 1);
        f.radius = 6;
        f.minorRadius = minor;
        f.normalSense = -1;
        f.size = 2 * (6 + minor);
        const double V1[3] = {1, 0, 0}, V2[3] = {0, 1, 0};
        f.keptSurface = ratBSplSurfTorus(f.point, V1, V2, f.axis, 6.0, minor);
    }

public:

    // The fillet is the inner lower quarter of the tube, all around the axis
    // (as trimmed in trim.cpp): between the tube's innermost circle and its
    // lowest. Where the quarter's ends and middle lie on the tube, seen at one
    // place around the axis, gives its window; a quarter across the tube's
    // seam leaves the window to be measured.
    static void filletWindow(SampleFace& f)
    {
        if (!f.keptSurface) return;
        const double R = f.radius, r = f.minorRadius, c45 = std::sqrt(0.5);
        const GeomPoint inner{f.point[0] + R - r, f.point[1], f.point[2]};
        const GeomPoint lowest{f.point[0] + R, f.point[1], f.point[2] - r};
        const GeomPoint middle{f.point[0] + R - r * c45, f.point[1], f.point[2] - r * c45};
        double at[3][2];
        const GeomPoint* points[3] = {&inner, &lowest, &middle};
        for (int k = 0; k < 3; ++k) {
            int state = 0;
            double distance = 0.0;
            if (ratBSplSurfInvertPoint(f.keptSurface, *points[k], GEOM_NO_START_PARAM, GEOM_NO_START_PARAM, 1e-12,
                                       &at[k][0], &at[k][1], &state, &distance) != 0 ||
                distance > 1e-9)
                return;
        }
        // The tube runs across the parameter in which the ends differ.
        const int d = std::fabs(at[0][0] - at[1][0]) > std::fabs(at[0][1] - at[1][1]) ? 0 : 1;
        const double lo = std::min(at[0][d], at[1][d]), hi = std::max(at[0][d], at[1][d]);
        if (!(lo < at[2][d] && at[2][d] < hi)) return;
        f.window.lo[d] = lo;
        f.window.hi[d] = hi;
        f.windowStated = true;
    }

private:

    // One gently curved bicubic patch over 12 x 12.
    static void freeform(SampleFace& f, double x0, double y0)
    {
        f.kind = "freeform";
        f.name = "free form";
        f.colour = kFreeColour;
        f.layer = "Freeform";
        f.size = 17;
        f.patch.assign(48, 0.0);
        f.setPatchPoint(0, 0, x0, y0, 8);
        f.setPatchPoint(1, 0, 1, 0, 0);
        f.setPatchPoint(0, 1, 0, 1, 0);
        f.setPatchPoint(2, 0, 0, 0, 0.02);
        f.setPatchPoint(0, 2, 0, 0, 0.015);
        f.setPatchPoint(1, 1, 0, 0, 0.005);
        f.patchRange[0] = x0;
        f.patchRange[1] = x0 + 12;
        f.patchRange[2] = y0;
        f.patchRange[3] = y0 + 12;
        const double U[2] = {0, 12}, V[2] = {0, 12};
        f.keptSurface = ratBSplSurfFromBicubicPatches(1, 1, U, V, reinterpret_cast<const GeomVec3*>(f.patch.data()));
    }
};

// The faces, which keep no surfaces: each is made again, as it was built,
// when asked for.
struct GeneratedPart : FaceSurfaceMaker {
    std::vector<SampleFace> faces;

    explicit GeneratedPart(std::size_t count)
    {
        faces.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            SampleFace f = Maker::build(i);
            if (f.kind == "torus") Maker::filletWindow(f);
            ratBSplSurfFree(f.keptSurface);
            f.keptSurface = nullptr;
            f.remake = this;
            faces.push_back(f);
        }
    }
    ~GeneratedPart() { forgetMadeSurfaces(faces); }
    GeneratedPart(const GeneratedPart&) = delete;
    GeneratedPart& operator=(const GeneratedPart&) = delete;

    RatBSplSurf* makeSurface(const SampleFace& face) const override
    {
        const long index = static_cast<long>(face.id) - 1001;
        if (index < 0 || index >= static_cast<long>(faces.size())) return nullptr;
        return Maker::build(static_cast<std::size_t>(index)).keptSurface;
    }
};

}  // namespace

std::shared_ptr<const std::vector<SampleFace>> generatedPartFaces(std::size_t count)
{
    auto part = std::make_shared<GeneratedPart>(count);
    return std::shared_ptr<const std::vector<SampleFace>>(part, &part->faces);
}

} // namespace hostsim
