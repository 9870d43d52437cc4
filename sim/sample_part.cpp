// The built-in sample part: faces made with the kernel's standard surface
// constructors, oriented so that every normal points out of the material.
#include "sample_part.h"
#include "text.h"

#include "face_recognition.h"

#include "script.h"
#include "session.h"

#include <cmath>
#include <iomanip>
#include <ostream>
#include <sstream>
#include <stdexcept>

namespace hostsim {

namespace {

const SampleColour kGrey{192, 192, 192};
const SampleColour kBlue{64, 96, 224};
const SampleColour kGreen{64, 176, 96};
const SampleColour kOrange{240, 144, 32};
const SampleColour kMagenta{200, 64, 200};
const SampleColour kYellow{232, 216, 48};
const SampleColour kRed{216, 48, 48};

const double kPi = 3.14159265358979323846;

void set3(double* out, double x, double y, double z)
{
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

double dot3(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void unit3(double* v)
{
    const double l = std::sqrt(dot3(v, v));
    if (l > 0.0)
        for (int k = 0; k < 3; ++k)
            v[k] /= l;
}

// The normal the face's shape has at p, pointing out of the material.
void expectedNormal(const SampleFace& f, const double* p, double* n)
{
    if (f.kind == "plane") {
        set3(n, f.axis[0], f.axis[1], f.axis[2]);
        return;
    }
    if (f.kind == "freeform") {
        // The patch is a height over x and y: its normal leans against the
        // slopes there (at its edge for a point beside it), and the floor
        // faces up.
        const double s = std::fmin(std::fmax(p[0], f.patchRange[0]), f.patchRange[1]) - f.patchRange[0];
        const double t = std::fmin(std::fmax(p[1], f.patchRange[2]), f.patchRange[3]) - f.patchRange[2];
        double dzds = 0.0, dzdt = 0.0;
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 4; ++i) {
                const double c = f.patch[3 * (i + 4 * j) + 2];
                if (i > 0) dzds += i * c * std::pow(s, i - 1) * std::pow(t, j);
                if (j > 0) dzdt += j * c * std::pow(s, i) * std::pow(t, j - 1);
            }
        set3(n, -dzds, -dzdt, 1.0);
        unit3(n);
        return;
    }
    double d[3] = {p[0] - f.point[0], p[1] - f.point[1], p[2] - f.point[2]};
    if (f.kind == "sphere") {
        unit3(d);
    } else {
        const double h = dot3(d, f.axis);
        double radial[3] = {d[0] - h * f.axis[0], d[1] - h * f.axis[1], d[2] - h * f.axis[2]};
        unit3(radial);
        if (f.kind == "cylinder") {
            set3(d, radial[0], radial[1], radial[2]);
        } else if (f.kind == "cone") {
            const double c = std::cos(f.halfAngle), s = std::sin(f.halfAngle);
            for (int k = 0; k < 3; ++k)
                d[k] = c * radial[k] - s * f.axis[k];
        } else { // torus: from the tube centre
            for (int k = 0; k < 3; ++k)
                d[k] = p[k] - (f.point[k] + f.radius * radial[k]);
            unit3(d);
        }
    }
    for (int k = 0; k < 3; ++k)
        n[k] = f.normalSense * d[k];
}

// Turns the surface's orientation so that its oriented normal agrees with
// the shape's outward normal.
void orient(SampleFace& f)
{
    RatBSplSurf* s = f.keptSurface;
    const GeomPoint p = ratBSplSurfEvalPoint(s, 0.5, 0.5);
    const GeomPoint n = ratBSplSurfEvalNormal(s, 0.5, 0.5);
    const double pp[3] = {p.x, p.y, p.z};
    const double nn[3] = {s->nrmOri * n.x, s->nrmOri * n.y, s->nrmOri * n.z};
    double want[3];
    expectedNormal(f, pp, want);
    if (dot3(nn, want) < 0.0)
        s->nrmOri = static_cast<signed char>(-s->nrmOri);
}

RatBSplCurve* lineCurve(const double* a, const double* b)
{
    RatBSplCurve* c = ratBSplCurveCreate(2, 4);
    if (!c)
        return nullptr;
    const double len = std::sqrt((b[0] - a[0]) * (b[0] - a[0]) + (b[1] - a[1]) * (b[1] - a[1]) +
                                 (b[2] - a[2]) * (b[2] - a[2]));
    c->knots[0] = c->knots[1] = 0.0;
    c->knots[2] = c->knots[3] = len;
    for (int i = 0; i < 4; ++i)
        c->weights[i] = 1.0;
    ratBSplCurveSetPoint(c, 0, a[0], a[1], a[2]);
    ratBSplCurveSetPoint(c, 1, b[0], b[1], b[2]);
    c->origForm = 1;
    return c;
}

class Builder {
public:
    explicit Builder(std::vector<SampleFace>& faces) : m_faces(faces) {}

    // The last face added reaches every edge of its surface, though not
    // along all of each: its window is the whole surface. Measured on a grid,
    // the window would cut off the corners where a slanted edge meets the
    // surface's end.
    void reachesEveryEdge()
    {
        m_faces.back().windowStated = true;
        m_faces.back().window = ParameterWindow();
    }

    void add(SampleFace f, RatBSplSurf* s)
    {
        if (!s)
            throw std::runtime_error("sample part: face " + std::to_string(f.id) + " could not be built");
        f.keptSurface = s;
        m_faces.push_back(f);
        orient(m_faces.back());
    }

    // A rectangle p00, p01 = p00 + e2, p10 = p00 + e1 on a plane of the block.
    void plane(int id, const char* name, const double* p00, const double* e1, const double* e2, double nx,
               double ny, double nz)
    {
        double p01[3], p10[3], p11[3];
        for (int k = 0; k < 3; ++k) {
            p01[k] = p00[k] + e2[k];
            p10[k] = p00[k] + e1[k];
            p11[k] = p00[k] + e1[k] + e2[k];
        }
        SampleFace f = base(id, "plane", name, kGrey, "Body");
        set3(f.point, p00[0], p00[1], p00[2]);
        set3(f.axis, nx, ny, nz);
        unit3(f.axis);
        f.size = std::sqrt(dot3(e1, e1) + dot3(e2, e2));
        add(f, ratBSplSurfBilinear(p00, p01, p10, p11));
    }

    // A cylinder part about a vertical axis through (cx, cy), from z0 to z1,
    // swept from angle a0 to a1.
    void cylinderPart(int id, const char* name, double cx, double cy, double r, double z0, double z1, double a0,
                      double a1, int sense, bool rounding, SampleColour colour, const char* layer)
    {
        const double axis[3] = {0, 0, 1};
        const double P[3] = {cx, cy, 0};
        const double a[3] = {cx + r, cy, z0}, b[3] = {cx + r, cy, z1};
        RatBSplCurve* line = lineCurve(a, b);
        RatBSplSurf* s = line ? ratBSplSurfRevolveCurveArc(P, axis, line, a0, a1) : nullptr;
        ratBSplCurveFree(line);
        SampleFace f = base(id, "cylinder", name, colour, layer);
        set3(f.point, cx, cy, z0);
        set3(f.axis, 0, 0, 1);
        f.radius = r;
        f.normalSense = sense;
        f.rounding = rounding;
        f.size = std::fmax(2 * r, z1 - z0);
        add(f, s);
    }

    // A radius-3 rounding along an edge: a quarter cylinder about the axis
    // from start along the unit direction `along` for `length`, swept a
    // quarter turn (right-handed about the axis) from the unit radial
    // direction `from`.
    void edgeRounding(int id, const char* name, const double* start, const double* along, double length,
                      const double* from)
    {
        const double r = 3.0;
        double a[3], b[3];
        for (int k = 0; k < 3; ++k) {
            a[k] = start[k] + r * from[k];
            b[k] = a[k] + length * along[k];
        }
        RatBSplCurve* line = lineCurve(a, b);
        RatBSplSurf* s = line ? ratBSplSurfRevolveCurveArc(start, along, line, 0.0, kPi / 2) : nullptr;
        ratBSplCurveFree(line);
        SampleFace f = base(id, "cylinder", name, kGreen, "Roundings");
        set3(f.point, start[0], start[1], start[2]);
        set3(f.axis, along[0], along[1], along[2]);
        f.radius = r;
        f.rounding = true;
        f.size = std::fmax(2 * r, length);
        add(f, s);
    }

    SampleFace base(int id, const char* kind, const char* name, SampleColour colour, const char* layer)
    {
        SampleFace f;
        f.id = id;
        f.kind = kind;
        f.name = name;
        f.colour = colour;
        f.layer = layer;
        return f;
    }

private:
    std::vector<SampleFace>& m_faces;
};

void buildPart(std::vector<SampleFace>& faces)
{
    Builder b(faces);
    const double tilt = 60.0 * kPi / 180.0;            // face normal 60 degrees from the top's
    const double tiltLow = 40.0 - 10.0 * std::tan(tilt); // where the tilted face meets the right side

    // Planar faces of the block.
    {
        const double p[3] = {0, 0, 0}, e1[3] = {100, 0, 0}, e2[3] = {0, 60, 0};
        b.plane(101, "bottom", p, e2, e1, 0, 0, -1);
    }
    {
        const double p[3] = {0, 5, 40}, e1[3] = {90, 0, 0}, e2[3] = {0, 55, 0};
        b.plane(102, "top", p, e1, e2, 0, 0, 1);
    }
    {
        const double p[3] = {0, 0, 0}, e1[3] = {100, 0, 0}, e2[3] = {0, 0, 35};
        b.plane(103, "front", p, e1, e2, 0, -1, 0);
    }
    {
        const double p[3] = {0, 60, 0}, e1[3] = {100, 0, 0}, e2[3] = {0, 0, 40};
        b.plane(104, "back", p, e1, e2, 0, 1, 0);
    }
    {
        const double p[3] = {0, 0, 0}, e1[3] = {0, 60, 0}, e2[3] = {0, 0, 40};
        b.plane(105, "left", p, e1, e2, -1, 0, 0);
    }
    {
        const double p[3] = {100, 0, 0}, e1[3] = {0, 60, 0}, e2[3] = {0, 0, tiltLow};
        b.plane(106, "right", p, e1, e2, 1, 0, 0);
    }
    {
        // 45 degree chamfer along the top front edge, 5 wide in y and z. It
        // runs on past x = 90 until the tilted face cuts it, at its foot
        // 5 / tan 60 further.
        const double p[3] = {0, 0, 35}, e1[3] = {90 + 5 / std::tan(tilt), 0, 0}, e2[3] = {0, 5, 5};
        b.plane(107, "chamfer 45", p, e1, e2, 0, -1, 1);
        b.reachesEveryEdge();
    }
    {
        // The face at 120 degrees to the top, down to the right side.
        SampleFace f = b.base(108, "plane", "tilted 120", kGrey, "Body");
        set3(f.point, 90, 0, 40);
        set3(f.axis, std::sin(tilt), 0, std::cos(tilt));
        f.size = std::sqrt(60.0 * 60.0 + 20.0 * 20.0);
        const double bmin[3] = {90, 0, tiltLow}, bmax[3] = {100, 60, 40};
        b.add(f, ratBSplSurfPlaneOverBox(f.point, f.axis, bmin, bmax));
    }

    // Two through holes of radius 5, each stored as two half cylinders.
    b.cylinderPart(111, "hole 1, first half", 20, 40, 5, 0, 40, 0, kPi, -1, false, kBlue, "Holes");
    b.cylinderPart(112, "hole 1, second half", 20, 40, 5, 0, 40, kPi, 2 * kPi, -1, false, kBlue, "Holes");
    b.cylinderPart(113, "hole 2, first half", 40, 40, 5, 0, 40, 0, kPi, -1, false, kBlue, "Holes");
    b.cylinderPart(114, "hole 2, second half", 40, 40, 5, 0, 40, kPi, 2 * kPi, -1, false, kBlue, "Holes");

    // Through hole of radius 8 with a 90 degree countersink at the top.
    {
        SampleFace f = b.base(115, "cylinder", "hole 3", kBlue, "Holes");
        set3(f.point, 70, 35, 0);
        set3(f.axis, 0, 0, 1);
        f.radius = 8;
        f.normalSense = -1;
        f.size = 36;
        const double X[3] = {8, 0, 0}, Y[3] = {0, 8, 0};
        b.add(f, ratBSplSurfConeBetweenHeights(f.point, f.axis, X, Y, 0.0, 1.0, 0.0, 36.0));
    }
    {
        SampleFace f = b.base(116, "cone", "countersink", kOrange, "Holes");
        set3(f.point, 70, 35, 28); // the apex: radius 8 at z = 36, growing by 1 per unit
        set3(f.axis, 0, 0, 1);
        f.halfAngle = kPi / 4;
        f.radius = 8;
        f.normalSense = -1;
        f.size = 24;
        const double P[3] = {70, 35, 36}, X[3] = {8, 0, 0}, Y[3] = {0, 8, 0};
        b.add(f, ratBSplSurfConeBetweenHeights(P, f.axis, X, Y, 1.0, 1.0, 0.0, 4.0));
    }

    // Radius-3 fillets on the two vertical back edges. The right one runs up
    // to the tilted face, which cuts it from z = tiltLow at the right side to
    // 7 tan 60 below the top where the back begins.
    b.cylinderPart(121, "fillet back left", 3, 57, 3, 0, 40, kPi / 2, kPi, 1, true, kGreen, "Roundings");
    b.cylinderPart(122, "fillet back right", 97, 57, 3, 0, 40.0 - 7.0 * std::tan(tilt), 0, kPi / 2, 1, true, kGreen,
                   "Roundings");
    b.reachesEveryEdge();

    // Radius-3 roundings along the top's back and left edges, meeting the
    // sphere corner edge to edge. The back one runs out where the tilted face
    // comes down past it (at x = 90 + 3 / tan 60 on the back); the left one
    // ends against the chamfer, from y = 2 on the left to 5 on the top.
    {
        const double start[3] = {3, 57, 37}, along[3] = {1, 0, 0}, from[3] = {0, 1, 0};
        b.edgeRounding(123, "rounding back top", start, along, 87 + 3 / std::tan(tilt), from);
        b.reachesEveryEdge();
    }
    {
        const double start[3] = {3, 2, 37}, along[3] = {0, 1, 0}, from[3] = {-1, 0, 0};
        b.edgeRounding(124, "rounding left top", start, along, 55, from);
        b.reachesEveryEdge();
    }

    // A boss of radius 6 on the top face with a radius-2 torus fillet at its foot.
    b.cylinderPart(131, "boss wall", 30, 15, 6, 42, 50, 0, 2 * kPi, 1, false, kGrey, "Body");
    {
        const double p[3] = {24, 9, 50}, e1[3] = {12, 0, 0}, e2[3] = {0, 12, 0};
        b.plane(132, "boss top", p, e1, e2, 0, 0, 1);
    }
    {
        SampleFace f = b.base(133, "torus", "boss fillet", kMagenta, "Roundings");
        set3(f.point, 30, 15, 42);
        set3(f.axis, 0, 0, 1);
        f.radius = 8;
        f.minorRadius = 2;
        f.normalSense = -1; // concave: towards the tube centre
        f.rounding = true;
        f.size = 20;
        const double V1[3] = {1, 0, 0}, V2[3] = {0, 1, 0};
        b.add(f, ratBSplSurfTorus(f.point, V1, V2, f.axis, 8.0, 2.0));
    }

    // Sphere-cap corner at the back left top corner.
    {
        SampleFace f = b.base(141, "sphere", "corner", kYellow, "Roundings");
        set3(f.point, 3, 57, 37);
        f.radius = 3;
        f.rounding = true;
        f.size = 6;
        const double A[3] = {1, 0, 0}, B[3] = {0, 1, 0}, Z[3] = {0, 0, 1};
        b.add(f, ratBSplSurfSphere4(f.point, 3.0, A, B, Z));
    }

    // A free-form pocket floor: one bicubic patch over x 45..58, y 3..20.
    {
        SampleFace f = b.base(151, "freeform", "pocket floor", kRed, "Freeform");
        f.patch.assign(48, 0.0);
        f.setPatchPoint(0, 0, 45, 3, 37);
        f.setPatchPoint(1, 0, 1, 0, 0);
        f.setPatchPoint(0, 1, 0, 1, 0);
        f.setPatchPoint(1, 1, 0, 0, 0.01);
        f.setPatchPoint(2, 0, 0, 0, 0.004);
        f.setPatchPoint(3, 0, 0, 0, -0.0002);
        f.setPatchPoint(0, 2, 0, 0, 0.003);
        f.setPatchPoint(2, 2, 0, 0, -0.00005);
        f.patchRange[0] = 45;
        f.patchRange[1] = 58;
        f.patchRange[2] = 3;
        f.patchRange[3] = 20;
        set3(f.axis, 0, 0, 1); // the floor faces up
        f.size = 21.4;
        const double U[2] = {0, 13}, V[2] = {0, 17};
        b.add(f, ratBSplSurfFromBicubicPatches(1, 1, U, V, reinterpret_cast<const GeomVec3*>(f.patch.data())));
    }
    // The pocket's walls, from its floor (z 37 to 37.9) up to the top face
    // and, over y 3..5, to the chamfer it cuts through (trim.cpp): corner,
    // edges along and up the wall, and the normal into the pocket.
    const struct {
        int id;
        const char* name;
        double p[3], e1[3], e2[3], n[3];
    } walls[] = {
        {152, "pocket wall front", {45, 3, 37}, {13, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        {153, "pocket wall back", {45, 20, 37}, {13, 0, 0}, {0, 0, 3}, {0, -1, 0}},
        {154, "pocket wall left", {45, 3, 37}, {0, 17, 0}, {0, 0, 3}, {1, 0, 0}},
        {155, "pocket wall right", {58, 3, 37}, {0, 17, 0}, {0, 0, 3}, {-1, 0, 0}},
    };
    for (const auto& w : walls)
        b.plane(w.id, w.name, w.p, w.e1, w.e2, w.n[0], w.n[1], w.n[2]);
}



std::string measures(const SampleFace& f)
{
    if (f.kind == "plane")
        return "normal " + fmt3(f.axis) + " point " + fmt3(f.point);
    if (f.kind == "cylinder")
        return "radius " + fmt(f.radius) + " axis " + fmt3(f.axis) + " through " + fmt3(f.point);
    if (f.kind == "cone")
        return "half angle " + fmt(f.halfAngle * 180.0 / kPi) + " deg apex " + fmt3(f.point) + " axis " +
               fmt3(f.axis);
    if (f.kind == "torus")
        return "radii " + fmt(f.radius) + " / " + fmt(f.minorRadius) + " centre " + fmt3(f.point) + " axis " +
               fmt3(f.axis);
    if (f.kind == "sphere")
        return "radius " + fmt(f.radius) + " centre " + fmt3(f.point);
    return "bicubic patch over x " + fmt(f.patchRange[0]) + ".." + fmt(f.patchRange[1]) + ", y " +
           fmt(f.patchRange[2]) + ".." + fmt(f.patchRange[3]);
}

const CommandRegistration facesCommand("faces", [](Session& session, const std::string&) {
    printSampleFaces(session.out());
});

// The part is closed: where the pocket cuts the chamfer, and beside the
// rounded corner, a pick meets the face that bounds the material there.
const DemoSection closedPartTour("25-part",
                                 "echo -- the part is a closed solid: from above where the pocket cuts the chamfer, "
                                 "its floor\n"
                                 "analyse\n"
                                 "mode 1\n"
                                 "pick 45.2 3.2 100 0 0 -1\n"
                                 "echo -- a wall of the pocket, from inside it\n"
                                 "pick 50 10 38.5 -1 0 0\n"
                                 "results\n"
                                 "echo -- beside the rounded corner: the roundings along the top's left and back "
                                 "edges, the sphere where they meet, nothing outside them\n"
                                 "pick 1 30 100 0 0 -1\n"
                                 "results\n"
                                 "pick 20 59 100 0 0 -1\n"
                                 "pick 2 58 100 0 0 -1\n"
                                 "pick 0.5 59.5 100 0 0 -1\n"
                                 "echo -- the face a ray meets first, however close the next: the boss top 0.01 "
                                 "inside its rim before the boss wall, the pocket's wall before its floor\n"
                                 "pick 29.984 15 58.008 0.6 0 -0.8\n"
                                 "pick 58.0179 10 37.8998 -0.894427191 0 -0.4472135955\n"
                                 "close\n");

} // namespace

SamplePart::SamplePart()
{
    try {
        buildPart(m_faces);
    } catch (...) {
        for (SampleFace& f : m_faces)
            ratBSplSurfFree(f.keptSurface);
        throw;
    }
}

SamplePart::~SamplePart()
{
    for (SampleFace& f : m_faces)
        ratBSplSurfFree(f.keptSurface);
}

const SampleFace* SamplePart::findFace(int id) const
{
    for (const SampleFace& f : m_faces)
        if (f.id == id)
            return &f;
    return nullptr;
}

double freeformHeight(const SampleFace& face, double x, double y)
{
    const double s = x - face.patchRange[0], t = y - face.patchRange[2];
    double z = 0.0;
    for (int j = 3; j >= 0; --j) {
        double row = 0.0;
        for (int i = 3; i >= 0; --i) row = row * s + face.patch[3 * (i + 4 * j) + 2];
        z = z * t + row;
    }
    return z;
}

void sampleFaceNormal(const SampleFace& face, const double point[3], double normal[3])
{
    expectedNormal(face, point, normal);
}

const SamplePart& samplePart()
{
    static const SamplePart part;
    return part;
}

void printSampleFaces(std::ostream& out, const SamplePart& part)
{
    out << "Sample part: " << part.faces().size() << " faces\n";
    for (const SampleFace& f : part.faces()) {
        out << f.id << "  " << f.kind << (f.rounding ? " (rounding)" : "") << "  \"" << f.name << "\"  "
            << measures(f) << "  colour " << f.colour.r << "," << f.colour.g << "," << f.colour.b << "  layer "
            << f.layer << "\n"
            << "      the face library recognises: " << describeRecognised(recogniseFace(f)) << "\n";
    }
}

void printSampleFaces(std::ostream& out) { printSampleFaces(out, samplePart()); }

} // namespace hostsim
