#include "view.h"

#include "host_answer_clock.h"
#include "ray_crossings.h"

#include "script.h"
#include "session.h"
#include "text.h"
#include "trim.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <ostream>
#include <sstream>

namespace hostsim {

// ---------------------------------------------------------------- face objects

FaceObject* FaceObject::create(const SampleFace& face)
{
    FaceObject* object = new kvIfImp<FaceObject>(face);
    object->_addRef();
    return object;
}

FaceObject::FaceObject(const SampleFace& face) : Counted("face"), m_face(&face) {}

FaceObject::~FaceObject() = default;

kvIUnknown* FaceObject::queryInterface(const wchar_t* name)
{
    return kvQueryInterfaces<kvIGeSurface, kvIGeBoundedSurface, kvICadEntity>(this, name);
}

int FaceObject::getColor(unsigned long* color)
{
    if (!color) return -1;
    const SampleColour& c = m_face->colour;
    *color = static_cast<unsigned long>(c.r) | static_cast<unsigned long>(c.g) << 8 |
             static_cast<unsigned long>(c.b) << 16;
    return 0;
}

int FaceObject::getNormal(const double point[3], int flags, double normal[3])
{
    HostAnswerClock::Answer answer;
    (void)flags;
    if (!point || !normal) return 2;
    sampleFaceNormal(*m_face, point, normal);
    return 0;
}

const SampleFace* FaceObject::faceOf(kvIUnknown* object)
{
    if (!object) return nullptr;
    kvIUnknown* surface = object->queryInterface(kvIfName<kvIGeSurface>::value);
    if (!surface) return nullptr;
    const FaceObject* face = dynamic_cast<const FaceObject*>(static_cast<kvIGeSurface*>(surface));
    const SampleFace* result = face ? &face->face() : nullptr;
    surface->release();
    return result;
}

// ---------------------------------------------------------------- picking

namespace {

// A ray's crossing with a face's carrier counts as a hit within this part
// of the part's size of the face.
const double kPickTolerancePerSize = 1e-9;
const double kOnFaceInversionTolerance = 1e-9;

double dot3(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The face's extent: its surface sampled on a grid, widened a little for the
// bulge between samples. Only a first sieve: what the ray hits is decided on
// the face's own surface.
struct Box {
    double lo[3], hi[3];
};

Box extentOf(const SampleFace& f)
{
    Box b;
    for (int k = 0; k < 3; ++k) {
        b.lo[k] = 1e300;
        b.hi[k] = -1e300;
    }
    const int n = 24;
    RatBSplSurf* surface = surfaceOf(f);
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= n; ++j) {
            const GeomPoint q = ratBSplSurfEvalPoint(surface, double(i) / n, double(j) / n);
            const double c[3] = {q.x, q.y, q.z};
            for (int k = 0; k < 3; ++k) {
                b.lo[k] = std::fmin(b.lo[k], c[k]);
                b.hi[k] = std::fmax(b.hi[k], c[k]);
            }
        }
    }
    const double margin = 0.01 + 0.01 * f.size;
    for (int k = 0; k < 3; ++k) {
        b.lo[k] -= margin;
        b.hi[k] += margin;
    }
    return b;
}

// A point the ray met on the face's carrier lies on the face: on the face's
// own surface and where its trimming keeps it, both within the tolerance.
bool onFace(const SampleFace& f, const double* q, double tolerance)
{
    RatBSplSurf* s = faceOwnSurfaceClamped(f);
    if (!s) return false;
    double u = 0.0, v = 0.0, distance = 0.0;
    int state = 0;
    if (ratBSplSurfInvertPoint(s, GeomPoint{q[0], q[1], q[2]}, GEOM_NO_START_PARAM, GEOM_NO_START_PARAM,
                               kOnFaceInversionTolerance, &u, &v, &state, &distance) != 0)
        return false;
    const GeomPoint n = ratBSplSurfEvalPoint(s, u, v);
    const double nearest[3] = {n.x, n.y, n.z};
    return distance <= tolerance && insideTrimmedFace(f, nearest, tolerance);
}

// The part's size: the diagonal of the box around all its faces.
double partSize(const std::vector<Box>& boxes)
{
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    for (const Box& b : boxes)
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::fmin(lo[k], b.lo[k]);
            hi[k] = std::fmax(hi[k], b.hi[k]);
        }
    double d = 0.0;
    for (int k = 0; k < 3; ++k)
        if (hi[k] >= lo[k]) d += (hi[k] - lo[k]) * (hi[k] - lo[k]);
    return std::sqrt(d);
}

// The extents of the part's faces, measured at the first pick on the part
// and kept: a part's faces stay as they were built.
const std::vector<Box>& extentsOf(const SamplePart& part)
{
    static const SamplePart* measured = nullptr;
    static std::vector<Box> boxes;
    if (measured != &part || boxes.size() != part.faces().size()) {
        const Box none = {{1e300, 1e300, 1e300}, {-1e300, -1e300, -1e300}};
        boxes.clear();
        for (const SampleFace& f : part.faces()) boxes.push_back(surfaceOf(f) ? extentOf(f) : none);
        measured = &part;
    }
    return boxes;
}

// The part of the ray from origin along the unit direction dir that lies
// in the box: false when none of it does (from the origin on).
bool clipToBox(const Box& box, const double* origin, const double* dir, double& from, double& to)
{
    from = 0.0;
    to = HUGE_VAL;
    for (int k = 0; k < 3; ++k) {
        if (dir[k] == 0.0) {
            if (origin[k] < box.lo[k] || origin[k] > box.hi[k]) return false;
            continue;
        }
        double a = (box.lo[k] - origin[k]) / dir[k], b = (box.hi[k] - origin[k]) / dir[k];
        if (a > b) std::swap(a, b);
        from = std::fmax(from, a);
        to = std::fmin(to, b);
    }
    return from <= to;
}

} // namespace

bool pickFace(const SamplePart& part, const double origin[3], const double direction[3], RayHit& hit)
{
    double dir[3] = {direction[0], direction[1], direction[2]};
    const double length = std::sqrt(dot3(dir, dir));
    if (!(length > 0.0)) return false;
    for (double& c : dir) c /= length;

    const std::vector<Box>& boxes = extentsOf(part);
    // Faces are hit as they are: a point beside a face by more than the
    // part's rounding is not on it.
    const double tolerance = kPickTolerancePerSize * partSize(boxes);
    // Each face's first crossing on the face as trimmed; of those the
    // nearest (of two at the same place, the face listed first).
    bool found = false;
    for (std::size_t index = 0; index < part.faces().size(); ++index) {
        const SampleFace& f = part.faces()[index];
        double from = 0.0, to = 0.0;
        if (!surfaceOf(f) || !clipToBox(boxes[index], origin, dir, from, to)) continue;
        if (found) to = std::fmin(to, hit.distance);
        for (double t : carrierCrossings(f, origin, dir, from, to, tolerance)) {
            if (found && t >= hit.distance) break;
            const double q[3] = {origin[0] + t * dir[0], origin[1] + t * dir[1], origin[2] + t * dir[2]};
            if (!onFace(f, q, tolerance)) continue;
            found = true;
            hit.face = &f;
            hit.distance = t;
            for (int k = 0; k < 3; ++k) hit.point[k] = q[k];
            break;
        }
    }
    return found;
}

} // namespace hostsim
