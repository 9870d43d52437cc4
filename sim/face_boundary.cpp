// A face's boundary as the host hands it out: the edges of the face's own
// surface as curves, and the test whether a point lies on the face. The
// faces that the measurements ask (turned, curved and free-form faces) are
// their own surfaces cut to the face, so those edges are the face's edges;
// the holes of the planar faces are not among them.
#include "census.h"
#include "host_answer_clock.h"
#include "referenced.h"
#include "trim.h"
#include "view.h"

#include "sdk/kvUnknownImp.h"

#include <cmath>
#include <vector>

namespace hostsim {

namespace {

// One edge of a face: a curve of the kernel, owned.
class BoundaryCurve : public kvIUnknownImp, public kvIGeCurve, public Counted {
public:
    explicit BoundaryCurve(RatBSplCurve* curve) : Counted("boundary curve"), m_curve(curve) {}
    ~BoundaryCurve() override { ratBSplCurveFree(m_curve); }

    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIGeCurve>(this, name); }
    int getParameterRange(double* start, double* end) override
    {
        if (!start || !end) return -1;
        *start = 0.0;
        *end = 1.0;
        return 0;
    }
    int getPoint(double t, double point[3]) override
    {
        HostAnswerClock::Answer answer;
        if (!point || !(t >= 0.0 && t <= 1.0)) return -1;
        const GeomPoint p = ratBSplCurveEvalPoint(m_curve, t);
        point[0] = p.x;
        point[1] = p.y;
        point[2] = p.z;
        return 0;
    }

private:
    RatBSplCurve* m_curve;
};

// The edges, one after the other; it holds one reference to each.
class CurveEnumeration : public kvIUnknownImp, public kvIObjectEnum, public Counted {
public:
    CurveEnumeration() : Counted("boundary enumeration") {}
    ~CurveEnumeration() override
    {
        for (BoundaryCurve* c : m_curves) c->_relRef();
    }
    // Takes over the caller's reference.
    void add(BoundaryCurve* curve) { m_curves.push_back(curve); }

    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIObjectEnum>(this, name); }
    int reset() override
    {
        m_at = 0;
        return 0;
    }
    int atEnd() override { return m_at >= m_curves.size() ? 1 : 0; }
    int current(kvIUnknown** object) override
    {
        if (!object) return -1;
        *object = nullptr;
        if (m_at >= m_curves.size()) return -1;
        *object = static_cast<kvIGeCurve*>(m_curves[m_at]);
        (*object)->addRef();
        return 0;
    }
    int next() override
    {
        if (m_at < m_curves.size()) ++m_at;
        return 0;
    }

private:
    std::vector<BoundaryCurve*> m_curves;
    std::size_t m_at = 0;
};

// A curve whose control points all coincide is a pole, not an edge.
bool collapsed(const RatBSplCurve* c)
{
    for (int i = 1; i < c->noPoints - c->ord; ++i)
        for (int k = 0; k < 3; ++k)
            if (std::fabs(c->points[i][k] - c->points[0][k]) > 1e-9) return false;
    return true;
}

} // namespace

RatBSplSurf* FaceObject::ownSurface() { return faceOwnSurfaceClamped(*m_face); }

int FaceObject::getBoundary(kvIUnknown** curves, kvIUnknown** loops)
{
    HostAnswerClock::Answer answer;
    if (loops) *loops = nullptr;
    if (!curves) return -1;
    *curves = nullptr;
    const RatBSplSurf* s = ownSurface();
    if (!s) return -1;
    CurveEnumeration* edges = makeReferenced<CurveEnumeration>();
    const int rows = ratBSplSurfControlRows(s), columns = ratBSplSurfControlColumns(s);
    RatBSplCurve* candidates[4] = {ratBSplSurfRowCurve(s, 0), ratBSplSurfColumnCurve(s, columns - 1),
                                   ratBSplSurfRowCurve(s, rows - 1), ratBSplSurfColumnCurve(s, 0)};
    for (RatBSplCurve* c : candidates) {
        if (!c) continue;
        if (collapsed(c)) {
            ratBSplCurveFree(c);
            continue;
        }
        edges->add(makeReferenced<BoundaryCurve>(c));
    }
    *curves = static_cast<kvIObjectEnum*>(edges);
    return 0;
}

int FaceObject::isPointOnFace(const double point[3], double tolerance, int* onFace)
{
    HostAnswerClock::Answer answer;
    if (!point || !onFace || !(tolerance >= 0.0)) return -1;
    *onFace = 0;
    RatBSplSurf* s = ownSurface();
    if (!s) return -1;
    double u = 0.0, v = 0.0, distance = 0.0;
    int state = 0;
    if (ratBSplSurfInvertPoint(s, GeomPoint{point[0], point[1], point[2]}, GEOM_NO_START_PARAM,
                               GEOM_NO_START_PARAM, 1e-6, &u, &v, &state, &distance) != 0)
        return -1;
    const GeomPoint q = ratBSplSurfEvalPoint(s, u, v);
    const double nearest[3] = {q.x, q.y, q.z};
    *onFace = distance <= tolerance && insideTrimmedFace(*m_face, nearest, tolerance) ? 1 : 0;
    return 0;
}

} // namespace hostsim
