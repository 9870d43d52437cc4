// The host's face-feature library over the document's part. The shape tests
// (isNurbsAs...) answer what the kernel's shape tests find in each face's
// surface record (face_recognition.h); the extent along an axis and the
// swept angle are the face's as it was built, or, for a face built without
// them, measured once on its surface as trimmed; the surface record handed
// out is the face's own, cut to the window it covers. A face's surfaces are
// kept with it, or, for a part that keeps none (a generated part), made again
// when asked and held while the face is among those asked last.
#include "face_recognition.h"
#include "host_answer_clock.h"
#include "trim.h"
#include "view.h"

#include <algorithm>
#include <cmath>
#include <list>
#include <unordered_map>
#include <vector>

namespace hostsim {

namespace {

const double kPi = 3.14159265358979323846;

kvPoint3DRec rec(const double* p) { return {p[0], p[1], p[2]}; }

bool inside(const SampleFace& f, const GeomPoint& q)
{
    const double c[3] = {q.x, q.y, q.z};
    return insideTrimmedFace(f, c);
}

// The face's surface sampled on a regular grid of parameters, keeping the
// points that lie on the face as trimmed; where a grid line crosses the
// trimming, the crossing itself is found and kept, so the face's edges are
// among the points.
std::vector<GeomPoint> trimmedSamples(const SampleFace& f, int n)
{
    std::vector<GeomPoint> points;
    RatBSplSurf* surface = surfaceOf(f);
    auto at = [surface](double u, double v) { return ratBSplSurfEvalPoint(surface, u, v); };
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= n; ++j) {
            const GeomPoint q = at(double(i) / n, double(j) / n);
            if (inside(f, q)) points.push_back(q);
        }
    }
    for (int line = 0; line <= n; ++line) {
        for (int step = 0; step < n; ++step) {
            for (int direction = 0; direction < 2; ++direction) {
                auto param = [&](double t) {
                    return direction == 0 ? at(double(line) / n, t) : at(t, double(line) / n);
                };
                double a = double(step) / n, b = double(step + 1) / n;
                const bool insideA = inside(f, param(a));
                if (insideA == inside(f, param(b))) continue;
                for (int k = 0; k < 50; ++k) {
                    const double m = 0.5 * (a + b);
                    if (inside(f, param(m)) == insideA) a = m;
                    else b = m;
                }
                points.push_back(param(insideA ? a : b));
            }
        }
    }
    return points;
}

// The grid of trimmedSamples for the measures taken on a face as trimmed.
const int kSampleGrid = 64;

// A face's trimmed samples, taken at the first question that needs them and
// kept with the face.
const std::vector<GeomPoint>& trimmedSamplesOf(const SampleFace& f)
{
    if (!f.trimmedPoints) f.trimmedPoints = std::make_shared<const std::vector<GeomPoint>>(trimmedSamples(f, kSampleGrid));
    return *f.trimmedPoints;
}

// The window of normalised parameters that the face as trimmed covers on its
// surface, for a face whose builder did not state it: the extremes of the
// inside cell centres of a grid, each pushed out to the face's edge (or the
// domain's end) towards its neighbours. Cell centres keep clear of a pole,
// where every parameter gives the same point. Whole in a direction where the
// face meets both ends (a face that runs around, or across the seam of a
// closed one).
ParameterWindow faceWindow(const SampleFace& f, int n)
{
    RatBSplSurf* surface = surfaceOf(f);
    auto insideAt = [&f, surface](const double* t) { return inside(f, ratBSplSurfEvalPoint(surface, t[0], t[1])); };
    double lo[2] = {2.0, 2.0}, hi[2] = {-1.0, -1.0};
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const double t[2] = {(i + 0.5) / n, (j + 0.5) / n};
            if (!insideAt(t)) continue;
            for (int d = 0; d < 2; ++d) {
                for (int step : {-1, 1}) {
                    double probe[2] = {t[0], t[1]};
                    double a = t[d], b = std::min(1.0, std::max(0.0, t[d] + double(step) / n));
                    probe[d] = b;
                    if (insideAt(probe)) {
                        a = b;
                    } else {
                        for (int k = 0; k < 40; ++k) {
                            probe[d] = 0.5 * (a + b);
                            if (insideAt(probe)) a = probe[d];
                            else b = probe[d];
                        }
                    }
                    lo[d] = std::min(lo[d], a);
                    hi[d] = std::max(hi[d], a);
                }
            }
        }
    }
    ParameterWindow w;
    for (int d = 0; d < 2; ++d) {
        if (lo[d] > hi[d] || (lo[d] <= 0.0 && hi[d] >= 1.0)) continue;
        w.lo[d] = lo[d];
        w.hi[d] = hi[d];
    }
    return w;
}

double knotValue(const double* knots, int count, int order, double t)
{
    return (1.0 - t) * knots[order - 1] + t * knots[count - order];
}

double along(const GeomPoint& q, const kvPoint3DRec& origin, const double* unitAxis)
{
    return (q.x - origin.x) * unitAxis[0] + (q.y - origin.y) * unitAxis[1] + (q.z - origin.z) * unitAxis[2];
}

bool unitAxisOf(const kvPoint3DRec& axis, double* out)
{
    const double l = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
    if (!(l > 1e-12)) return false;
    out[0] = axis.x / l;
    out[1] = axis.y / l;
    out[2] = axis.z / l;
    return true;
}

} // namespace

// ---------------------------------------------------------------- shape tests

bool FaceLibrary::isNurbsAsPlane(kvIUnknown* face, kvPoint3DRec& point, kvPoint3DRec& normal, kvPoint3DRec&)
{
    HostAnswerClock::Answer answer;
    const SampleFace* f = FaceObject::faceOf(face);
    if (!f) return false;
    const RecognisedShape& shape = recogniseFace(*f);
    if (shape.kind != "plane") return false;
    point = rec(shape.point);
    normal = rec(shape.axis);
    return true;
}

bool FaceLibrary::isNurbsAsCylinder(kvIUnknown* face, kvPoint3DRec& axisPoint, kvPoint3DRec& axisDirection,
                                    double& radius, double& sineOfAngle, double& value, kvPoint3DRec&)
{
    HostAnswerClock::Answer answer;
    const SampleFace* f = FaceObject::faceOf(face);
    if (!f) return false;
    const RecognisedShape& shape = recogniseFace(*f);
    if (shape.kind != "cylinder" && shape.kind != "cone") return false;
    axisPoint = rec(shape.point);
    axisDirection = rec(shape.axis);
    radius = shape.radius;
    sineOfAngle = shape.sineOfAngle;
    value = 0.0;
    return true;
}

bool FaceLibrary::isNurbsAsTorusExt(kvIUnknown* face, kvPoint3DRec& centre, kvPoint3DRec& axis,
                                    double& majorRadius, double& minorRadius, kvPoint3DRec&, short* flag)
{
    HostAnswerClock::Answer answer;
    const SampleFace* f = FaceObject::faceOf(face);
    if (!f) return false;
    const RecognisedShape& shape = recogniseFace(*f);
    if (shape.kind != "torus") return false;
    centre = rec(shape.point);
    axis = rec(shape.axis);
    majorRadius = shape.radius;
    minorRadius = shape.minorRadius;
    if (flag) *flag = shape.torusKind;
    return true;
}

// ---------------------------------------------------------------- measured on the surface

bool FaceLibrary::getSurfaceLimitsOnAxis(kvIUnknown* face, const kvPoint3DRec& axisPoint,
                                         const kvPoint3DRec& axisDirection, double radius, double sineOfAngle,
                                         double, kvPoint3DRec& limit1, double& radius1, kvPoint3DRec& limit2,
                                         double& radius2)
{
    HostAnswerClock::Answer answer;
    const SampleFace* f = FaceObject::faceOf(face);
    double axis[3];
    if (!f || !surfaceOf(*f) || !unitAxisOf(axisDirection, axis) || std::fabs(sineOfAngle) >= 1.0) return false;
    double lo = 0.0, hi = 0.0;
    if (f->length > 0.0) {
        // An untrimmed face made by turning a straight profile: its net's
        // rows lie in planes across the axis and its profile's points on the
        // profile, so the net spans exactly the face's extent on the axis.
        const RatBSplSurf* s = surfaceOf(*f);
        const int rows = s->noPointsu - s->ordu, columns = s->noPointsv - s->ordv;
        bool first = true;
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < columns; ++j) {
                const double* p = s->points[i * s->noPointsv + j];
                const double h = along(GeomPoint{p[0], p[1], p[2]}, axisPoint, axis);
                lo = first ? h : std::min(lo, h);
                hi = first ? h : std::max(hi, h);
                first = false;
            }
    } else {
        const std::vector<GeomPoint>& points = trimmedSamplesOf(*f);
        if (points.empty()) return false;
        lo = hi = along(points[0], axisPoint, axis);
        for (const GeomPoint& q : points) {
            const double h = along(q, axisPoint, axis);
            lo = std::min(lo, h);
            hi = std::max(hi, h);
        }
    }
    // The radius grows along the axis by the tangent of the half angle.
    const double slope = sineOfAngle / std::sqrt(1.0 - sineOfAngle * sineOfAngle);
    limit1 = {axisPoint.x + lo * axis[0], axisPoint.y + lo * axis[1], axisPoint.z + lo * axis[2]};
    limit2 = {axisPoint.x + hi * axis[0], axisPoint.y + hi * axis[1], axisPoint.z + hi * axis[2]};
    radius1 = radius + lo * slope;
    radius2 = radius + hi * slope;
    return true;
}

bool FaceLibrary::getShapeAngle(const kvPoint3DRec& axisPoint, const kvPoint3DRec& axisDirection, kvIUnknown* face,
                                double& angle)
{
    HostAnswerClock::Answer answer;
    const SampleFace* f = FaceObject::faceOf(face);
    double z[3];
    if (!f || !surfaceOf(*f) || !unitAxisOf(axisDirection, z)) return false;
    if (f->sweepDegrees > 0.0) {
        angle = f->sweepDegrees;
        return true;
    }
    // Two directions across the axis.
    double x[3] = {1, 0, 0};
    if (std::fabs(z[0]) > 0.9) x[0] = 0, x[1] = 1;
    const double d = x[0] * z[0] + x[1] * z[1] + x[2] * z[2];
    for (int k = 0; k < 3; ++k) x[k] -= d * z[k];
    const double lx = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
    for (double& c : x) c /= lx;
    const double y[3] = {z[1] * x[2] - z[2] * x[1], z[2] * x[0] - z[0] * x[2], z[0] * x[1] - z[1] * x[0]};

    const int n = kSampleGrid;
    std::vector<double> angles;
    for (const GeomPoint& q : trimmedSamplesOf(*f)) {
        const double r[3] = {q.x - axisPoint.x, q.y - axisPoint.y, q.z - axisPoint.z};
        const double a = r[0] * x[0] + r[1] * x[1] + r[2] * x[2], b = r[0] * y[0] + r[1] * y[1] + r[2] * y[2];
        if (std::hypot(a, b) < 1e-9) continue;
        angles.push_back(std::atan2(b, a) * 180.0 / kPi);
    }
    if (angles.empty()) return false;
    std::sort(angles.begin(), angles.end());
    double gap = angles.front() + 360.0 - angles.back();
    for (std::size_t i = 1; i < angles.size(); ++i) gap = std::max(gap, angles[i] - angles[i - 1]);
    // Gaps no wider than a few sample steps are the sampling's, not the face's.
    angle = gap <= 4.0 * 360.0 / n ? 360.0 : 360.0 - gap;
    return true;
}

namespace {

// The face's own surface: its carrier cut to the parameters the face covers,
// as a host converts a face rather than the whole surface under it.
RatBSplSurf* cutToFace(const SampleFace& f)
{
    const ParameterWindow w = f.windowStated ? f.window : faceWindow(f, 64);
    const RatBSplSurf* s = surfaceOf(f);
    RatBSplSurf* copy = nullptr;
    const bool cutU = w.lo[0] > 0.0 || w.hi[0] < 1.0, cutV = w.lo[1] > 0.0 || w.hi[1] < 1.0;
    if (cutU || cutV) {
        // Cut from a clamped copy, where a closed direction that is cut
        // becomes an open one.
        RatBSplSurf* clamped = ratBSplSurfClamp(s);
        if (clamped) {
            if (cutU) clamped->periodicu = 0;
            if (cutV) clamped->periodicv = 0;
            copy = ratBSplSurfWindow(clamped, knotValue(clamped->knotsu, clamped->noPointsu, clamped->ordu, w.lo[0]),
                                     knotValue(clamped->knotsv, clamped->noPointsv, clamped->ordv, w.lo[1]),
                                     knotValue(clamped->knotsu, clamped->noPointsu, clamped->ordu, w.hi[0]),
                                     knotValue(clamped->knotsv, clamped->noPointsv, clamped->ordv, w.hi[1]));
            ratBSplSurfFree(clamped);
        }
    }
    if (!copy) copy = ratBSplSurfCopy(s);
    if (!copy) return nullptr;
    // A host's surface says which directions close on themselves.
    int closedU = 0, closedV = 0;
    ratBSplSurfTestClosed(copy, &closedU, &closedV);
    copy->origFormu = closedU ? 2 : 1;
    copy->origFormv = closedV ? 2 : 1;
    copy->tolerance = s->tolerance;
    return copy;
}

std::shared_ptr<RatBSplSurf> held(RatBSplSurf* s)
{
    return std::shared_ptr<RatBSplSurf>(s, ratBSplSurfFree);
}

// A record kept by someone else (the part, or the face's own surface),
// shared without a copy of its own.
std::shared_ptr<RatBSplSurf> borrowed(RatBSplSurf* s)
{
    return std::shared_ptr<RatBSplSurf>(std::shared_ptr<RatBSplSurf>(), s);
}

// A face stated to cover its whole surface, with the surface's closed
// directions marked, is its own surface as it stands.
bool ownAsItStands(const SampleFace& f, const RatBSplSurf* surface)
{
    return f.windowStated && f.window.whole() && surface->origFormu != 0 && surface->origFormv != 0;
}

// Whether clamping would leave the record as it is: open in both directions,
// each end knot repeated to full multiplicity, and no tolerance (a clamped
// copy carries none).
bool clampedAlready(const RatBSplSurf* s)
{
    auto clampedEnds = [](const double* k, int count, int order) {
        for (int i = 0; i < order - 1; ++i)
            if (k[i] != k[order - 1] || k[count - 1 - i] != k[count - order]) return false;
        return true;
    };
    return s->periodicu == 0 && s->periodicv == 0 && s->tolerance == 0.0 &&
           clampedEnds(s->knotsu, s->noPointsu, s->ordu) && clampedEnds(s->knotsv, s->noPointsv, s->ordv);
}

// The surfaces of a face: the one it was built on and its own (cut to the
// face, and clamped). A kept surface has them with the face for the part's
// life; a part that keeps none has them made again when asked and held for
// the kRecentFaces faces asked last, so that a large part costs only what
// its faces' descriptions need.
struct FaceRecords {
    std::shared_ptr<RatBSplSurf> surface;
    std::shared_ptr<RatBSplSurf>* own = nullptr;
    std::shared_ptr<RatBSplSurf>* clamped = nullptr;
};

class RecentFaces {
public:
    FaceRecords recordsOf(const SampleFace& f)
    {
        auto at = m_index.find(&f);
        if (at != m_index.end()) {
            m_order.splice(m_order.begin(), m_order, at->second);
        } else {
            m_order.push_front(Made{&f, held(f.remake->makeSurface(f)), nullptr, nullptr});
            m_index[&f] = m_order.begin();
            if (m_order.size() > kRecentFaces) {
                m_index.erase(m_order.back().face);
                m_order.pop_back();
            }
        }
        Made& made = m_order.front();
        return FaceRecords{made.surface, &made.own, &made.clamped};
    }

    void forget(const SampleFace& f)
    {
        auto at = m_index.find(&f);
        if (at == m_index.end()) return;
        m_order.erase(at->second);
        m_index.erase(at);
    }

private:
    struct Made {
        const SampleFace* face;
        std::shared_ptr<RatBSplSurf> surface, own, clamped;
    };
    std::list<Made> m_order;  // the face asked last first
    std::unordered_map<const SampleFace*, std::list<Made>::iterator> m_index;
};

// Never destroyed: a part that goes at the process's end may still forget
// its faces then.
RecentFaces& recentFaces()
{
    static RecentFaces* recent = new RecentFaces;
    return *recent;
}

FaceRecords recordsOf(const SampleFace& f)
{
    if (f.remake) return recentFaces().recordsOf(f);
    return FaceRecords{borrowed(f.keptSurface), &f.ownSurface, &f.ownSurfaceClamped};
}

} // namespace

RatBSplSurf* surfaceOf(const SampleFace& face) { return recordsOf(face).surface.get(); }

void forgetMadeSurfaces(const std::vector<SampleFace>& faces)
{
    for (const SampleFace& f : faces)
        if (f.remake) recentFaces().forget(f);
}

RatBSplSurf* faceOwnSurface(const SampleFace& f)
{
    const FaceRecords records = recordsOf(f);
    std::shared_ptr<RatBSplSurf>& own = *records.own;
    if (!own && records.surface) own = ownAsItStands(f, records.surface.get()) ? records.surface : held(cutToFace(f));
    return own.get();
}

RatBSplSurf* faceOwnSurfaceClamped(const SampleFace& f)
{
    // Clamped, its first and last control rows and columns are its edges.
    const FaceRecords records = recordsOf(f);
    std::shared_ptr<RatBSplSurf>& clamped = *records.clamped;
    RatBSplSurf* own = clamped ? nullptr : faceOwnSurface(f);
    if (own) clamped = clampedAlready(own) ? *records.own : held(ratBSplSurfClamp(own));
    return clamped.get();
}

RatBSplSurf* FaceLibrary::newRatBSplSurf(kvIUnknown* face)
{
    HostAnswerClock::Answer answer;
    const SampleFace* f = FaceObject::faceOf(face);
    if (!f || !surfaceOf(*f)) return nullptr;
    const RatBSplSurf* own = faceOwnSurface(*f);
    if (!own) return nullptr;
    // The caller frees what it is given.
    RatBSplSurf* copy = ratBSplSurfCopy(own);
    if (copy) copy->tolerance = own->tolerance;
    return copy;
}

} // namespace hostsim
