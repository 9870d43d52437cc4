// The point inverter: a monotone Gauss-Newton search for the surface point
// nearest to a point in space, on normalised parameters.
//
// Every accepted move brings the surface point strictly nearer, and every
// tentative move (collapsed edges, far rescue, half-period retry) is undone
// unless it improved, so the record always holds the best point found.
#include "geom/invert_grid.h"

#include <cmath>
#include <cstdlib>

const double stepFractions[] = {1.0, 0.5, 0.25, 0.125};
const int stepFractionsCount = 4;
const double stepScales[] = {1.0, 0.1, 0.01, 0.001, 0.0001, -1.0, -0.1, -0.01, -0.001, -0.0001};
const int stepScalesCount = 10;

static const char* const kInverterName = "PointInverter";

using geominvert::keepIfNearer;

namespace {

struct Domain {
    double ru, rv;  // widths of the knot domains
};

// The steps divide by the widths of the knot domains; a surface whose domain
// has no width in either direction cannot be searched.
bool domainOf(const RatBSplSurf* s, Domain* d)
{
    if (!s->knotsu || !s->knotsv || s->ordu < 1 || s->ordv < 1 || s->noPointsu < 2 * s->ordu - 1 ||
        s->noPointsv < 2 * s->ordv - 1)
        return false;
    d->ru = s->knotsu[s->noPointsu - s->ordu] - s->knotsu[s->ordu - 1];
    d->rv = s->knotsv[s->noPointsv - s->ordv] - s->knotsv[s->ordv - 1];
    return d->ru > 0.0 && d->rv > 0.0;
}

bool wrapsU(const RatBSplSurf* s) { return s->periodicu != 0 || s->origFormu == 2; }
bool wrapsV(const RatBSplSurf* s) { return s->periodicv != 0 || s->origFormv == 2; }

void surfacePoint(RatBSplSurf* s, double u, double v, double* out)
{
    const GeomPoint p = ratBSplSurfEvalOffsetPoint(s, u, v);
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

// The first derivatives at (u, v) and the terms of the normal equations.
struct Jacobian {
    double Su[3], Sv[3];
    double a, b, c, det;
};

Jacobian jacobianAt(RatBSplSurf* s, double u, double v)
{
    Jacobian j;
    if (!geominvert::firstOrder(s, u, v, j.Su, j.Sv)) {
        const GeomPoint du = ratBSplSurfEvalDerivU(s, u, v);
        const GeomPoint dv = ratBSplSurfEvalDerivV(s, u, v);
        j.Su[0] = du.x;
        j.Su[1] = du.y;
        j.Su[2] = du.z;
        j.Sv[0] = dv.x;
        j.Sv[1] = dv.y;
        j.Sv[2] = dv.z;
    }
    j.a = vec3DotB(j.Su, j.Su);
    j.b = vec3DotB(j.Su, j.Sv);
    j.c = vec3DotB(j.Sv, j.Sv);
    j.det = j.a * j.c - j.b * j.b;
    return j;
}

void classify(const Jacobian& j, int* state)
{
    if (j.det < 1e-6)
        *state = std::fabs(j.a) < 1e-6 ? 2 : (std::fabs(j.c) < 1e-6 ? 1 : 0);
}

// A step of 0.01 that points into [0, 1] from t (midway counts as near 1).
double inward(double t) { return std::fabs(t - 1.0) > std::fabs(t) ? 0.01 : -0.01; }

// The parameter that the evaluation uses for t: wrapped into [0, 1] in a
// wrapping direction, clamped to it in an open one.
double evaluatedParam(double t, bool wraps)
{
    if (t >= -1e-7 && t <= 1.0000001)
        return t;
    if (wraps)
        return t - std::floor(t);
    return t < 0.0 ? 0.0 : 1.0;
}

double clampParam(double t, bool wraps)
{
    if (wraps)
        return t;
    if (t < -1e-7)
        return 0.0;
    if (t > 1.0000001)
        return 1.0;
    return t;
}

// The grid start and the line searches measure thousands of distances.
inline double distanceTo(const double* a, const double* b)
{
    const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void copy3(const double* from, double* to)
{
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}

int search(PointInverter* p, double du, double dv)
{
    return pointInverterLineSearch(p, stepFractions, stepScales, stepFractionsCount,
                                   stepScalesCount, du, dv);
}

// Line searches along the directions in turn until one improves; the result
// of the last one tried.
int searchAny(PointInverter* p, const double (*dirs)[2], int count)
{
    int r = 0;
    for (int k = 0; k < count; ++k) {
        r = search(p, dirs[k][0], dirs[k][1]);
        if (r == 1)
            break;
    }
    return r;
}

int step(PointInverter* p, int* state, bool halfPeriod);

// Half-period retry of a converged search on a periodic direction: restart
// from the opposite side and keep the result only when it is clearly nearer.
// Returns 1 when the retry was kept.
int retryHalfPeriod(PointInverter* p, int* state)
{
    RatBSplSurf* s = p->surface;
    if (p->retryDepth > 0 || (s->periodicu == 0 && s->periodicv == 0))
        return 0;
    const double bestU = p->bestU, bestV = p->bestV, distance = p->distance;
    double nearest[3];
    copy3(p->nearest, nearest);
    const int savedState = *state;
    ++p->retryDepth;
    for (int dir = 0; dir < 2; ++dir) {
        if ((dir == 0 ? s->periodicu : s->periodicv) == 0)
            continue;
        if (dir == 0)
            p->u = p->bestU = bestU < 0.5 ? bestU + 0.5 : bestU - 0.5;
        else
            p->v = p->bestV = bestV < 0.5 ? bestV + 0.5 : bestV - 0.5;
        // The distance stays that of the old best point, so the nested step
        // accepts only points nearer than it. On a circle the opposite point
        // is often the nearest one itself: the nested step then converges at
        // once (-1), but its line search has still moved to that point, and
        // the clearly nearer distance is what counts.
        surfacePoint(s, p->u, p->v, p->nearest);
        step(p, state, true);
        if (p->distance < 0.75 * distance) {
            --p->retryDepth;
            return 1;
        }
        p->u = p->bestU = bestU;
        p->v = p->bestV = bestV;
        p->distance = distance;
        copy3(nearest, p->nearest);
        *state = savedState;
    }
    --p->retryDepth;
    return 0;
}

// Handling of a collapsed parameter direction (the derivative along it is
// practically zero): search along the other direction, fanned out a little.
int collapsedEdge(PointInverter* p, int* state, bool uCollapsed)
{
    RatBSplSurf* s = p->surface;
    double dirs[3][2];
    if (uCollapsed) {
        const double dv = inward(p->v);
        const double fan[3][2] = {{0.0, dv}, {0.33333, dv}, {0.66666, dv}};
        for (int k = 0; k < 3; ++k)
            dirs[k][0] = fan[k][0], dirs[k][1] = fan[k][1];
    } else {
        const double du = inward(p->u);
        const double fan[3][2] = {{du, 0.0}, {du, 0.33333}, {du, 0.66666}};
        for (int k = 0; k < 3; ++k)
            dirs[k][0] = fan[k][0], dirs[k][1] = fan[k][1];
    }
    const int r = searchAny(p, dirs, 3);
    // Bring a parameter that ran past an end of a wrapping direction back
    // into the domain. Only values that the evaluation itself wraps move, so
    // the parameters still name the point that was measured: on a record
    // flagged as wrapping whose ends differ, 1 and 0 are different points.
    if (uCollapsed && wrapsU(s))
        p->u = p->bestU = evaluatedParam(p->u, true);
    if (!uCollapsed && wrapsV(s))
        p->v = p->bestV = evaluatedParam(p->v, true);
    classify(jacobianAt(s, p->u, p->v), state);
    return r;
}

// A surface can close in a direction that its record marks open (a full
// cylinder whose seam is not flagged). A step held at such an edge goes on
// from the opposite edge, which is the same surface point: the step is
// searched from there and kept only when it brings the point nearer.
int crossSeam(PointInverter* p, double du, double dv, const Domain& dom, bool heldU, bool heldV)
{
    if (!heldU && !heldV)
        return 0;
    // The held parameter may sit inside the band the evaluation takes as the
    // end; the ends themselves must meet.
    const double u = heldU ? (p->u < 0.5 ? 1.0 : 0.0) : p->u;
    const double v = heldV ? (p->v < 0.5 ? 1.0 : 0.0) : p->v;
    double P[3], E[3];
    surfacePoint(p->surface, u, v, P);
    surfacePoint(p->surface, heldU ? 1.0 - u : u, heldV ? 1.0 - v : v, E);
    const double size = std::fabs(P[0]) + std::fabs(P[1]) + std::fabs(P[2]);
    if (!(distanceTo(P, E) <= 1e-9 * (1.0 + size)))
        return 0;
    p->u = u;
    p->v = v;
    return search(p, du / dom.ru, dv / dom.rv);
}

// Whether an open direction's parameter t sits at an end (within the band
// that the evaluation takes as the end) that the step d points out of.
bool heldAtEnd(double t, double d, bool wraps)
{
    return !wraps && ((t <= 1e-7 && d < 0.0) || (t >= 1.0 - 1e-7 && d > 0.0));
}

// At an open edge that the Newton step points out of, the line search clamps
// the held parameter back onto the edge, so it moves the free parameter by a
// step meant for the unclamped pair and can find nothing nearer although the
// distance still falls along the edge. Then take the Newton step of the free
// parameter alone, through the same line search.
int slideAlongEdge(PointInverter* p, const Jacobian& j, double ru, double rv, bool heldU,
                   bool heldV, const Domain& dom)
{
    if (heldU && !heldV && j.c >= 1e-12)
        return search(p, 0.0, rv / j.c / dom.rv);
    if (heldV && !heldU && j.a >= 1e-12)
        return search(p, ru / j.a / dom.ru, 0.0);
    return 0;
}

// The line search of a Newton step, with the edge handling above when the
// step points out of an open edge.
int searchNewtonStep(PointInverter* p, const Jacobian& j, double ru, double rv, double du,
                     double dv, const Domain& dom)
{
    const RatBSplSurf* s = p->surface;
    int res = search(p, du / dom.ru, dv / dom.rv);
    bool heldU = heldAtEnd(p->u, du, wrapsU(s)), heldV = heldAtEnd(p->v, dv, wrapsV(s));
    if (!heldU && !heldV)
        return res;
    if (res == 0 && slideAlongEdge(p, j, ru, rv, heldU, heldV, dom) == 1) {
        res = 1;
        heldU = heldAtEnd(p->u, du, wrapsU(s));
        heldV = heldAtEnd(p->v, dv, wrapsV(s));
    }
    if (crossSeam(p, du, dv, dom, heldU, heldV) == 1)
        res = 1;
    return res;
}

int step(PointInverter* p, int* state, bool halfPeriod)
{
    *state = 0;
    if (!p || !p->surface)
        return 0;
    RatBSplSurf* s = p->surface;
    Domain dom;
    if (!domainOf(s, &dom))
        return 0;

    Jacobian j = jacobianAt(s, p->u, p->v);
    double r[3];
    vec3DiffB(p->nearest, p->point, r);  // point - nearest
    double ru = vec3DotB(r, j.Su), rv = vec3DotB(r, j.Sv);
    double du = 0.0, dv = 0.0;

    if (std::fabs(j.det) < 1e-6) {
        if (std::fabs(j.a) < 1e-6) {
            *state = 2;
            if (std::fabs(j.a) < 1e-8)
                return collapsedEdge(p, state, true);
        } else if (std::fabs(j.c) < 1e-6) {
            *state = 1;
            if (std::fabs(j.c) < 1e-8)
                return collapsedEdge(p, state, false);
        } else {
            // Both derivatives present but parallel: step off diagonally and
            // try again from there.
            du = inward(p->u);
            dv = inward(p->v);
            p->u += du;
            p->v += dv;
            j = jacobianAt(s, p->u, p->v);
            ru = vec3DotB(r, j.Su);
            rv = vec3DotB(r, j.Sv);
            if (j.det <= 1e-12) {
                const double dirs[6][2] = {{du, 0.0}, {du, 0.33333}, {du, 0.66666},
                                           {0.0, dv}, {0.33333, dv}, {0.66666, dv}};
                return searchAny(p, dirs, 6);
            }
        }
    }
    du = (ru * j.c - rv * j.b) / j.det;
    dv = (j.a * rv - j.b * ru) / j.det;

    // A periodic direction never jumps more than a third of its period.
    if (s->periodicu != 0 && std::fabs(du) > dom.ru / 3.0)
        du = du > 0.0 ? dom.ru / 3.0 : -dom.ru / 3.0;
    if (s->periodicv != 0 && std::fabs(dv) > dom.rv / 3.0)
        dv = dv > 0.0 ? dom.rv / 3.0 : -dom.rv / 3.0;

    // Far from the surface and stuck on a periodic surface: a local minimum
    // on the wrong side. Try a third of a period.
    if (!halfPeriod && std::fabs(du) < 0.0001 && std::fabs(dv) < 0.0001 && p->distance > 0.1 &&
        (s->periodicu != 0 || s->periodicv != 0)) {
        const double distance = p->distance, u = p->u, v = p->v;
        const double bestU = p->bestU, bestV = p->bestV;
        double nearest[3];
        copy3(p->nearest, nearest);
        const double du2 = s->periodicu != 0 ? dom.ru / 3.0 : du;
        const double dv2 = s->periodicv != 0 ? dom.rv / 3.0 : dv;
        if (search(p, du2 / dom.ru, dv2 / dom.rv) == 1)
            return 1;
        // The best parameters stay those of the best point, even where the
        // current ones were moved off it.
        p->distance = distance;
        p->u = u;
        p->v = v;
        p->bestU = bestU;
        p->bestV = bestV;
        copy3(nearest, p->nearest);
    }

    if (std::fabs(du) >= 1e-6 || std::fabs(dv) >= 1e-6) {
        const int res = searchNewtonStep(p, j, ru, rv, du, dv, dom);
        classify(jacobianAt(s, p->u, p->v), state);
        return res;
    }

    if (halfPeriod && retryHalfPeriod(p, state) == 1)
        return 1;
    search(p, du / dom.ru, dv / dom.rv);
    classify(jacobianAt(s, p->u, p->v), state);
    return -1;
}

}  // namespace

namespace geominvert {

void classifyAt(PointInverter* p, int* state)
{
    *state = 0;
    classify(jacobianAt(p->surface, p->bestU, p->bestV), state);
}

bool keepIfNearer(PointInverter* p, double u, double v)
{
    double P[3];
    surfacePoint(p->surface, u, v, P);
    const double d = distanceTo(p->point, P);
    if (!(d < p->distance))
        return false;
    p->distance = d;
    p->bestU = u;
    p->bestV = v;
    copy3(P, p->nearest);
    return true;
}

}  // namespace geominvert

void pointInverterInit(PointInverter* inverter)
{
    if (!inverter)
        return;
    inverter->name = kInverterName;
    inverter->surface = nullptr;
    for (int k = 0; k < 3; ++k)
        inverter->point[k] = inverter->nearest[k] = 0.0;
    inverter->startDistance = 1e10;
    inverter->distance = 1e10;
    inverter->u = 0.0;
    inverter->bestU = 0.0;
    inverter->v = 0.0;
    inverter->bestV = 0.0;
    inverter->retryDepth = 0;
    inverter->destroy = pointInverterDestroy;
}

PointInverter* pointInverterCreate()
{
    PointInverter* p = static_cast<PointInverter*>(std::malloc(sizeof(PointInverter)));
    pointInverterInit(p);
    return p;
}

void pointInverterDestroy(PointInverter*) {}

void pointInverterFree(PointInverter* inverter)
{
    if (!inverter)
        return;
    if (inverter->destroy)
        inverter->destroy(inverter);
    std::free(inverter);
}

int pointInverterSurfStart(PointInverter* inverter, RatBSplSurf* surface, double startU,
                           double startV, GeomPoint point, int* state)
{
    Domain dom;
    if (!inverter || !surface || !domainOf(surface, &dom))
        return 0;
    // No surface point is nearest to a point without coordinates.
    if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z))
        return 0;
    int localState = 0;
    if (!state)
        state = &localState;
    PointInverter* p = inverter;
    p->surface = surface;
    p->point[0] = point.x;
    p->point[1] = point.y;
    p->point[2] = point.z;

    auto samples = [](int knots) {
        const int n = knots < 10 ? 10 : (knots > 1000 ? 1000 : knots);
        return 2 * n;
    };
    const int nu = samples(surface->noPointsu);
    const int nv = samples(surface->noPointsv);

    // A start that is not a finite number gives no place to begin: the grid
    // finds one.
    const bool given = startU > GEOM_NO_START_PARAM && startV > GEOM_NO_START_PARAM &&
                       std::isfinite(startU) && std::isfinite(startV);
    if (given) {
        // A start outside the domain (a knot value 0 on a domain that does
        // not hold it, say) is evaluated at the domain's edge. The search
        // must start from that edge too: from the value as given, every
        // line-search candidate near it is clamped to the same edge point,
        // none is strictly nearer, and the search never moves.
        p->u = p->bestU = evaluatedParam(startU, wrapsU(surface));
        p->v = p->bestV = evaluatedParam(startV, wrapsV(surface));
        surfacePoint(surface, p->u, p->v, p->nearest);
        p->distance = distanceTo(p->point, p->nearest);
    } else {
        geominvert::nearestGridSample(p, nu, nv);
        p->u = p->bestU;
        p->v = p->bestV;
    }
    p->startDistance = p->distance;

    *state = 0;
    classify(jacobianAt(surface, p->u, p->v), state);

    // A grid point on a collapsed edge gives no direction to move in: look
    // along the edge's neighbour line instead.
    if (!given && *state > 0 && p->distance > 0.01) {
        if (*state == 1) {
            p->u += inward(p->u);
            for (int jj = 0; jj < nv; ++jj)
                keepIfNearer(p, p->u, static_cast<double>(jj) / (nv - 1));
        } else {
            p->v += inward(p->v);
            for (int i = 0; i < nu; ++i)
                keepIfNearer(p, static_cast<double>(i) / (nu - 1), p->v);
        }
        p->u = p->bestU;
        p->v = p->bestV;
        p->startDistance = p->distance;
    }
    return 1;
}

int pointInverterSurfStep(PointInverter* inverter, int* state)
{
    int localState = 0;
    return step(inverter, state ? state : &localState, false);
}

int pointInverterSurfStepHalfPeriod(PointInverter* inverter, int* state)
{
    int localState = 0;
    return step(inverter, state ? state : &localState, true);
}

int pointInverterLineSearch(PointInverter* inverter, const double* fractions,
                            const double* scales, int fractionCount, int scaleCount, double du,
                            double dv)
{
    if (!inverter || !inverter->surface || !fractions || !scales)
        return 0;
    PointInverter* p = inverter;
    RatBSplSurf* s = p->surface;
    const bool wu = wrapsU(s), wv = wrapsV(s);
    int improved = 0;
    for (int j = 0; j < scaleCount && !improved; ++j) {
        for (int i = 0; i < fractionCount; ++i) {
            const double t = fractions[i] * scales[j];
            const double u = clampParam(p->u + t * du, wu);
            const double v = clampParam(p->v + t * dv, wv);
            if (keepIfNearer(p, u, v))
                improved = 1;
        }
    }
    p->u = p->bestU;
    p->v = p->bestV;
    return improved;
}
