// Projection of a space curve into a surface's parameter plane, vertex by
// vertex of its linearisation, with the repair of vertices that end on a pole.
#include "geom/geom_curve_ops.h"
#include "geom/geom_surface_curves.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kStepsPerVertex = 20;
constexpr int kRefinedCapacity = 10000;
constexpr int kRefinedPasses = 5;
constexpr int kLastCheckedPass = 3;   // passes are counted from 1
constexpr int kSegmentSamples = 7;
constexpr double kRefineFactor = 1.2;
constexpr double kNoDeviationChecked = -1.0;   // the refined deviation of a pass that checked nothing

enum { kFlagRegular = 0, kFlagVUndefined = 1, kFlagUUndefined = 2 };

struct Vec {
    double x, y, z;
};

struct Domain {
    double uLo, uHi, vLo, vHi;
    explicit Domain(const RatBSplSurf* s)
        : uLo(s->knotsu[s->ordu - 1]), uHi(s->knotsu[s->noPointsu - s->ordu]), vLo(s->knotsv[s->ordv - 1]),
          vHi(s->knotsv[s->noPointsv - s->ordv])
    {
    }
    double normU(double k) const { return (k - uLo) / (uHi - uLo); }
    double normV(double k) const { return (k - vLo) / (vHi - vLo); }
    double knotU(double t) const { return uHi * t + (1.0 - t) * uLo; }
    double knotV(double t) const { return vHi * t + (1.0 - t) * vLo; }
};

bool usable(const RatBSplSurf* s)
{
    if (!s || !s->points || !s->weights || !s->knotsu || !s->knotsv || s->ordu < 1 || s->ordv < 1 ||
        s->noPointsu < 2 * s->ordu || s->noPointsv < 2 * s->ordv)
        return false;
    const Domain d(s);
    return d.uHi - d.uLo > 0.0 && d.vHi - d.vLo > 0.0;
}

// The vertices of a polyline being projected: space points with their knots
// (empty when only parameters are repaired), parameter points and flags, all
// moving together when vertices are inserted.
struct Polyline {
    std::vector<Vec> space;
    std::vector<double> knots;   // knot of each vertex
    std::vector<Vec> params;     // (u, v, z) with u and v in knot values
    std::vector<double> weights; // of each parameter vertex (empty when all are 1)
    std::vector<int> flags;

    int count() const { return static_cast<int>(params.size()); }

    void duplicate(int i)
    {
        if (!space.empty())
            space.insert(space.begin() + i + 1, space[i]);
        if (!weights.empty())
            weights.insert(weights.begin() + i + 1, weights[i]);
        knots.insert(knots.begin() + i + 1, knots[i]);
        params.insert(params.begin() + i + 1, params[i]);
        flags.insert(flags.begin() + i + 1, flags[i]);
    }

    // Vertex a takes the undefined coordinate of vertex b.
    void takeFrom(int a, int b)
    {
        if (flags[a] == kFlagUUndefined)
            params[a].x = params[b].x;
        else
            params[a].y = params[b].y;
    }
};

// Gives vertices on a collapsed edge the undefined coordinate of a neighbour;
// a lone pole vertex is split so that the polyline runs along the edge.
void repairPoles(Polyline& poly, const Domain& domain, int flagged, bool rampAllFlagged)
{
    const int m = poly.count();
    if (flagged <= 0 || m == 0)
        return;
    if (flagged >= m) {
        if (!rampAllFlagged)
            return;
        // A single vertex has no ramp to spread: it takes the domain's start.
        for (int i = 0; i < m; ++i) {
            const double t = m > 1 ? static_cast<double>(i) / (m - 1) : 0.0;
            if (poly.flags[0] == kFlagUUndefined)
                poly.params[i].x = domain.uLo + t * (domain.uHi - domain.uLo);
            else
                poly.params[i].y = domain.vLo + t * (domain.vHi - domain.vLo);
        }
        return;
    }
    int first = 0;
    while (first < m && poly.flags[first] != 0)
        ++first;
    for (int i = first - 1; i >= 0; --i) {
        poly.takeFrom(i, i + 1);
        poly.flags[i] = 0;
    }
    int last = m - 1;
    while (last >= 0 && poly.flags[last] != 0)
        --last;
    for (int i = last + 1; i < m; ++i) {
        poly.takeFrom(i, i - 1);
        poly.flags[i] = 0;
    }
    for (int i = 1; i <= poly.count() - 2; ++i) {
        if (poly.flags[i] == 0)
            continue;
        int e = i;
        while (e + 1 < poly.count() && poly.flags[e + 1] != 0)
            ++e;
        const int L = e - i + 1;
        if (L == 1) {
            poly.duplicate(i);
            poly.takeFrom(i, i - 1);
            poly.takeFrom(i + 1, i + 2);
            poly.flags[i] = poly.flags[i + 1] = 0;
            i += 1;
            continue;
        }
        const int h = (L + 1) / 2;
        for (int k = 0; k < h; ++k) {
            poly.takeFrom(i + k, i + k - 1);
            poly.takeFrom(e - k, e - k + 1);
            poly.flags[i + k] = 0;
            poly.flags[e - k] = 0;
        }
        i += h - 1;
    }
}

// The surface's periodic marking, put back when the projection ends: the
// closed test marks closed nets periodic for the search only.
struct PeriodicMarking {
    RatBSplSurf* s;
    int periodicu, periodu, multPtsu, periodicv, periodv, multPtsv;
    double knotRangeu, knotRangev;

    explicit PeriodicMarking(RatBSplSurf* surface)
        : s(surface), periodicu(s->periodicu), periodu(s->periodu), multPtsu(s->multPtsu),
          periodicv(s->periodicv), periodv(s->periodv), multPtsv(s->multPtsv), knotRangeu(s->knotRangeu),
          knotRangev(s->knotRangev)
    {
        int closedU = 0, closedV = 0;
        ratBSplSurfTestClosed(s, &closedU, &closedV);
        const Domain d(s);
        if (closedU && !s->periodicu && s->origFormu != 2) {
            s->periodicu = 1;
            s->periodu = s->noPointsu - s->ordu;
            s->knotRangeu = d.uHi - d.uLo;
            s->multPtsu = s->ordu;
        }
        if (closedV && !s->periodicv && s->origFormv != 2) {
            s->periodicv = 1;
            s->periodv = s->noPointsv - s->ordv;
            s->knotRangev = d.vHi - d.vLo;
            s->multPtsv = s->ordv;
        }
    }
    ~PeriodicMarking()
    {
        s->periodicu = periodicu;
        s->periodu = periodu;
        s->multPtsu = multPtsu;
        s->knotRangeu = knotRangeu;
        s->periodicv = periodicv;
        s->periodv = periodv;
        s->multPtsv = multPtsv;
        s->knotRangev = knotRangev;
    }
    PeriodicMarking(const PeriodicMarking&) = delete;
    PeriodicMarking& operator=(const PeriodicMarking&) = delete;
};

struct InverterHolder {
    PointInverter* inverter = pointInverterCreate();
    ~InverterHolder() { pointInverterFree(inverter); }
};

// Runs the inverter for one vertex; the state carries from vertex to vertex.
struct VertexProjector {
    RatBSplSurf* surface;
    PointInverter* inverter;
    const Domain& domain;
    double tolerance;
    double startU, startV;   // normalised, or GEOM_NO_START_PARAM
    int state = 0;
    int flagged = 0;
    int misses = 0;
    double maxDist = 0.0;

    void project(Polyline& poly, int i)
    {
        double su = GEOM_NO_START_PARAM, sv = GEOM_NO_START_PARAM;
        if (state == 0) {
            su = i == 0 ? startU : inverter->bestU;
            sv = i == 0 ? startV : inverter->bestV;
        }
        const Vec& x = poly.space[i];
        pointInverterSurfStart(inverter, surface, su, sv, GeomPoint{x.x, x.y, x.z}, &state);
        const double goal = std::min(tolerance, 1e-5);
        int result = 1;
        for (int steps = 0; result > 0 && steps < kStepsPerVertex && inverter->distance > goal; ++steps)
            result = pointInverterSurfStep(inverter, &state);
        poly.flags[i] = state;
        if (state != 0)
            ++flagged;
        poly.params[i] = Vec{domain.knotU(inverter->bestU), domain.knotV(inverter->bestV), 0.0};
        if (inverter->distance > tolerance && result == 0)
            ++misses;
        maxDist = std::max(maxDist, inverter->distance);
    }
};

Polyline fromLinearisation(const RatBSplCurve* lin)
{
    Polyline poly;
    const int m = lin->noPoints - 2;
    for (int j = 0; j < m; ++j) {
        poly.space.push_back(Vec{lin->points[j][0], lin->points[j][1], lin->points[j][2]});
        poly.knots.push_back(lin->knots[j + 1]);
    }
    poly.params.assign(m, Vec{0.0, 0.0, 0.0});
    poly.flags.assign(m, 0);
    return poly;
}

// Writes the vertices back into an order-2 curve of the right size.
bool writeVertices(RatBSplCurve* curve, const Polyline& poly, const std::vector<Vec>& points)
{
    const int m = poly.count();
    if (curve->noPoints != m + 2 && !ratBSplCurveResize(curve, m + 2))
        return false;
    for (int j = 0; j < m; ++j) {
        curve->points[j][0] = points[j].x;
        curve->points[j][1] = points[j].y;
        curve->points[j][2] = points[j].z;
        curve->weights[j] = 1.0;
        curve->knots[j + 1] = poly.knots[j];
    }
    if (m > 0) {
        curve->knots[0] = poly.knots[0];
        curve->knots[m + 1] = poly.knots[m - 1];
    }
    return true;
}

// Writes a repaired polyline back into the curve it came from. Only the
// repaired coordinates change: every vertex keeps its z and weight, and each
// split has moved the points, weights and knots after it one place up, so
// the first knot stays and the last knot and the two spare entries move to
// the end of the grown arrays.
bool writeRepaired(RatBSplCurve* curve, const Polyline& poly)
{
    const int old = curve->noPoints, m = poly.count();
    GeomVec3 sparePoints[2];
    double spareWeights[2];
    for (int k = 0; k < 2; ++k) {
        for (int e = 0; e < 3; ++e)
            sparePoints[k][e] = curve->points[old - 2 + k][e];
        spareWeights[k] = curve->weights[old - 2 + k];
    }
    const double lastKnot = curve->knots[old - 1];
    if (m + 2 != old && !ratBSplCurveResize(curve, m + 2))
        return false;
    for (int j = 0; j < m; ++j) {
        curve->points[j][0] = poly.params[j].x;
        curve->points[j][1] = poly.params[j].y;
        curve->points[j][2] = poly.params[j].z;
        curve->weights[j] = poly.weights[j];
        curve->knots[j + 1] = poly.knots[j];
    }
    for (int k = 0; k < 2; ++k) {
        for (int e = 0; e < 3; ++e)
            curve->points[m + k][e] = sparePoints[k][e];
        curve->weights[m + k] = spareWeights[k];
    }
    curve->knots[m + 1] = lastKnot;
    return true;
}

// The largest distance between the chord of two space vertices and the
// surface path of the straight parameter segment between them.
double segmentDeviation(RatBSplSurf* surface, const Domain& domain, const Polyline& poly, int i)
{
    double dev = 0.0;
    for (int k = 1; k < kSegmentSamples; ++k) {
        const double t = static_cast<double>(k) / kSegmentSamples;
        const Vec& a = poly.space[i - 1];
        const Vec& b = poly.space[i];
        const double L[3] = {(1 - t) * a.x + t * b.x, (1 - t) * a.y + t * b.y, (1 - t) * a.z + t * b.z};
        const double u = (1 - t) * poly.params[i - 1].x + t * poly.params[i].x;
        const double v = (1 - t) * poly.params[i - 1].y + t * poly.params[i].y;
        const GeomPoint s = ratBSplSurfEvalPoint(surface, domain.normU(u), domain.normV(v));
        const double S[3] = {s.x, s.y, s.z};
        dev = std::max(dev, vec3DistanceB(L, S));
    }
    return dev;
}

void insertVertices(Polyline& poly, int i, int k)
{
    const Vec a = poly.space[i - 1], b = poly.space[i];
    const double ka = poly.knots[i - 1], kb = poly.knots[i];
    for (int j = 0; j < k; ++j) {
        const double t = static_cast<double>(j + 1) / (k + 1);
        poly.space.insert(poly.space.begin() + i + j, Vec{(1 - t) * a.x + t * b.x, (1 - t) * a.y + t * b.y,
                                                          (1 - t) * a.z + t * b.z});
        poly.knots.insert(poly.knots.begin() + i + j, (1 - t) * ka + t * kb);
        poly.params.insert(poly.params.begin() + i + j, Vec{GEOM_NO_START_PARAM, GEOM_NO_START_PARAM, 0.0});
        poly.flags.insert(poly.flags.begin() + i + j, 0);
    }
}

RatBSplCurve* project(RatBSplSurf* surface, RatBSplCurve* curve, double tolerance, double* deviation,
                      double startU, double startV, RatBSplCurve** polyline, bool refined)
{
    if (!usable(surface) || !curve)
        return nullptr;
    InverterHolder inv;
    if (!inv.inverter)
        return nullptr;
    double linDeviation = 0.0;
    RatBSplCurve* lin = nurbCurveLinearize(curve, tolerance, deviation ? deviation : &linDeviation);
    if (!lin)
        return nullptr;
    RatBSplCurve* params = ratBSplCurveCopy(lin);
    if (!params || lin->noPoints < 3) {
        ratBSplCurveFree(params);
        ratBSplCurveFree(lin);
        return nullptr;
    }
    const Domain domain(surface);
    PeriodicMarking marking(surface);
    Polyline poly = fromLinearisation(lin);
    VertexProjector projector{surface, inv.inverter, domain, tolerance,
                              startU > GEOM_NO_START_PARAM ? domain.normU(startU) : startU,
                              startV > GEOM_NO_START_PARAM ? domain.normV(startV) : startV};

    if (!refined) {
        for (int i = 0; i < poly.count(); ++i)
            projector.project(poly, i);
        if (deviation)
            *deviation = projector.maxDist;
        if (projector.misses != 0)
            geomReportTolerance(GEOM_FILE_INVERTER, GEOM_SITE_PROJECT_MISSED, tolerance, projector.maxDist);
    } else {
        // The deviation is the last pass's own: what its checks measured of
        // the polyline as it now stands, or kNoDeviationChecked when that pass
        // checked no segment (a fourth or fifth pass never does). A value from
        // an earlier pass would describe segments that were split since.
        double passDeviation = kNoDeviationChecked;
        int flagged = 0;
        for (int pass = 1; pass <= kRefinedPasses; ++pass) {
            passDeviation = kNoDeviationChecked;
            projector.state = 0;
            projector.flagged = 0;
            projector.misses = 0;
            projector.maxDist = 0.0;
            int inserted = 0;
            for (int i = 0; i < poly.count(); ++i) {
                if (pass > 1 && poly.params[i].x > GEOM_NO_START_PARAM && poly.params[i].y > GEOM_NO_START_PARAM) {
                    inv.inverter->bestU = domain.normU(poly.params[i].x);
                    inv.inverter->bestV = domain.normV(poly.params[i].y);
                    projector.state = i > 0 ? poly.flags[i - 1] : 0;
                    continue;
                }
                projector.project(poly, i);
                if (i < 1 || pass > kLastCheckedPass)
                    continue;
                passDeviation = std::max(passDeviation, projector.maxDist);
                const double dPrime = std::max(tolerance, inv.inverter->distance);
                if (poly.flags[i - 1] != 0 && poly.flags[i] != 0)
                    continue;
                if (poly.flags[i] != 0)
                    poly.takeFrom(i, i - 1);
                else if (poly.flags[i - 1] != 0)
                    poly.takeFrom(i - 1, i);
                const double dev = segmentDeviation(surface, domain, poly, i);
                passDeviation = std::max(passDeviation, dev);
                int k = 0;
                if (dev > kRefineFactor * dPrime) {
                    // A segment that strays without bound (a surface point at
                    // infinity) asks for more vertices than any pass can hold.
                    const double wanted = std::log10(dev / dPrime) / std::log10(2.0) + 1.0;
                    k = wanted < kRefinedCapacity ? static_cast<int>(wanted) : kRefinedCapacity;
                }
                if (k > 0 && poly.count() + 2 + k < kRefinedCapacity) {
                    insertVertices(poly, i, k);
                    inserted += k;
                    i += k;
                }
            }
            flagged += projector.flagged;
            if (inserted == 0)
                break;
        }
        projector.flagged = flagged;
        if (deviation)
            *deviation = passDeviation;
        if (projector.misses != 0)
            geomReportTolerance(GEOM_FILE_INVERTER, GEOM_SITE_PROJECT_REFINED_MISSED, tolerance,
                                projector.maxDist);
    }

    repairPoles(poly, domain, projector.flagged, true);
    if (!writeVertices(lin, poly, poly.space) || !writeVertices(params, poly, poly.params)) {
        ratBSplCurveFree(params);
        ratBSplCurveFree(lin);
        return nullptr;
    }
    if (polyline)
        *polyline = lin;
    else
        ratBSplCurveFree(lin);
    return params;
}

} // namespace

RatBSplCurve* ratBSplSurfProjectCurveEx(RatBSplSurf* surface, RatBSplCurve* curve, double tolerance,
                                        double* deviation, double startU, double startV, RatBSplCurve** polyline)
{
    return project(surface, curve, tolerance, deviation, startU, startV, polyline, false);
}

RatBSplCurve* ratBSplSurfProjectCurve(RatBSplSurf* surface, RatBSplCurve* curve, double tolerance,
                                      double* deviation, double startU, double startV)
{
    return ratBSplSurfProjectCurveEx(surface, curve, tolerance, deviation, startU, startV, nullptr);
}

RatBSplCurve* ratBSplSurfProjectCurveRefinedEx(RatBSplSurf* surface, RatBSplCurve* curve, double tolerance,
                                               double* deviation, double startU, double startV,
                                               RatBSplCurve** polyline)
{
    return project(surface, curve, tolerance, deviation, startU, startV, polyline, true);
}

RatBSplCurve* ratBSplSurfProjectCurveRefined(RatBSplSurf* surface, RatBSplCurve* curve, double tolerance,
                                             double* deviation, double startU, double startV)
{
    return ratBSplSurfProjectCurveRefinedEx(surface, curve, tolerance, deviation, startU, startV, nullptr);
}

int ratBSplSurfRepairPoleParams(RatBSplSurf* surface, RatBSplCurve* polyline)
{
    if (!usable(surface) || !polyline || !polyline->points || !polyline->weights || !polyline->knots)
        return 0;
    const Domain domain(surface);
    const int m = polyline->noPoints - 2;
    if (m <= 0)
        return 1;   // no vertex to flag
    Polyline poly;
    int flagged = 0;
    for (int i = 0; i < m; ++i) {
        const Vec p{polyline->points[i][0], polyline->points[i][1], polyline->points[i][2]};
        poly.knots.push_back(polyline->knots[i + 1]);
        poly.params.push_back(p);
        poly.weights.push_back(polyline->weights[i]);
        const double u = domain.normU(p.x), v = domain.normV(p.y);
        const GeomPoint su = ratBSplSurfEvalDerivU(surface, u, v);
        const GeomPoint sv = ratBSplSurfEvalDerivV(surface, u, v);
        const double a = su.x * su.x + su.y * su.y + su.z * su.z;
        const double c = sv.x * sv.x + sv.y * sv.y + sv.z * sv.z;
        const double b = su.x * sv.x + su.y * sv.y + su.z * sv.z;
        int flag = kFlagRegular;
        if (a * c - b * b < 1e-6)
            flag = std::fabs(a) < 1e-6 ? kFlagUUndefined : (std::fabs(c) < 1e-6 ? kFlagVUndefined : kFlagRegular);
        poly.flags.push_back(flag);
        if (flag != 0)
            ++flagged;
    }
    if (flagged == 0 || flagged >= m)
        return 1;
    repairPoles(poly, domain, flagged, false);
    return writeRepaired(polyline, poly) ? 1 : 0;
}
