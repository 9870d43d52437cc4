// Curves in a surface's parameter plane, seen in space: points and frames,
// the parameter of a space point, and cutting between two points.
#include "geom/geom_curve_edit.h"
#include "geom/geom_surface_curves.h"

#include <algorithm>
#include <cmath>

namespace {

// Below this a candidate is accepted when no parameter came within tolerance.
constexpr double kCandidateReach = 0.075;
constexpr int kParamPasses = 3;
constexpr int kNewtonSteps = 99;

void toArray(const GeomPoint& p, double* out)
{
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

bool usableSurface(const RatBSplSurf* s)
{
    return s && s->knotsu && s->knotsv && s->ordu >= 1 && s->ordv >= 1 && s->noPointsu >= 2 * s->ordu &&
           s->noPointsv >= 2 * s->ordv;
}

bool usableCurve(const RatBSplCurve* c)
{
    return c && c->knots && c->points && c->ord >= 1 && c->noPoints >= 2 * c->ord;
}

// Point and tangent at s; the normal too when asked for.
void curvePoint(RatBSplSurf* surface, RatBSplCurve* curve, double s, double* point, double* tangent,
                double* normal)
{
    const GeomPoint c = ratBSplCurveEvalPoint(curve, s);
    const GeomPoint dc = ratBSplCurveEvalDeriv(curve, s);
    const double ulo = surface->knotsu[surface->ordu - 1], uhi = surface->knotsu[surface->noPointsu - surface->ordu];
    const double vlo = surface->knotsv[surface->ordv - 1], vhi = surface->knotsv[surface->noPointsv - surface->ordv];
    const double u = (c.x - ulo) / (uhi - ulo);
    const double v = (c.y - vlo) / (vhi - vlo);
    double Su[3], Sv[3];
    toArray(ratBSplSurfEvalDerivU(surface, u, v), Su);
    toArray(ratBSplSurfEvalDerivV(surface, u, v), Sv);
    for (int k = 0; k < 3; ++k)
        tangent[k] = Su[k] * dc.x + Sv[k] * dc.y;
    toArray(ratBSplSurfEvalPoint(surface, u, v), point);
    if (normal) {
        vec3Cross(Su, Sv, normal);
        const double length = vec3Length(normal);
        if (length > 1e-10)
            for (int k = 0; k < 3; ++k)
                normal[k] /= length;
    }
}

struct CurveHolder {
    RatBSplCurve* curve;
    ~CurveHolder() { ratBSplCurveFree(curve); }
};

} // namespace

int ratBSplSurfCurvePoint(RatBSplSurf* surface, RatBSplCurve* curve, double s, double* point, double* tangent)
{
    if (!usableSurface(surface) || !usableCurve(curve) || !point || !tangent)
        return 0;
    curvePoint(surface, curve, s, point, tangent, nullptr);
    return 1;
}

int ratBSplSurfCurveFrame(RatBSplSurf* surface, RatBSplCurve* curve, double s, double* point, double* tangent,
                          double* normal)
{
    if (!usableSurface(surface) || !usableCurve(curve) || !point || !tangent || !normal)
        return 0;
    curvePoint(surface, curve, s, point, tangent, normal);
    return 1;
}

int ratBSplSurfCurveParamOfPoint(RatBSplSurf* surface, RatBSplCurve* curve, const double* point, double* param)
{
    if (!usableSurface(surface) || !usableCurve(curve) || !point || !param)
        return 0;
    CurveHolder work{ratBSplCurveCopy(curve)};
    if (!work.curve) {
        geomReportError(GEOM_ERR_ALLOC, GEOM_FILE_SURFACE, GEOM_SITE_SURF_CURVE_COPY);
        return 0;
    }
    const double tol = std::max(1e-4, surface->tolerance);
    double best = 0.07575, bestT = 0.0;
    const int ord = work.curve->ord;
    const double k0 = work.curve->knots[ord - 1];
    const double k1 = work.curve->knots[work.curve->noPoints - ord];
    double P[3], T[3], d[3];
    // Distance from the point at normalised s; P, T and d hold the evaluation.
    auto distanceAt = [&](double s) {
        curvePoint(surface, work.curve, s, P, T, nullptr);
        vec3Diff(point, P, d);
        return vec3Length(d);
    };

    bool found = false;
    double t = 0.0;
    for (int end = 0; end < 2 && !found; ++end) {
        const double dist = distanceAt(end);
        const double knot = end == 0 ? k0 : k1;
        if (dist <= tol) {
            found = true;
            t = knot;
        } else if (dist < best) {
            best = dist;
            bestT = knot;
        }
    }
    for (int pass = 0; pass < kParamPasses && !found && k1 > k0; ++pass) {
        const double* K = work.curve->knots;
        for (int i = ord - 1; i <= work.curve->noPoints - ord - 1 && !found; ++i) {
            if (std::fabs(K[i + 1] - K[i]) < 1e-7)
                continue;
            t = K[i];
            double dist = distanceAt((t - k0) / (k1 - k0));
            found = dist <= tol;
            for (int step = 0; step < kNewtonSteps && !found; ++step) {
                const double dT = vec3Dot(d, T);
                if (vec3Length(T) < 1e-7 || std::fabs(dT) < 1e-7)
                    break;
                const double next = t - vec3Dot(d, d) / dT;
                if (next < k0 - tol || next > k1 + tol)
                    break;
                const double nextDist = distanceAt((next - k0) / (k1 - k0));
                if (nextDist > 0.95 * dist && nextDist > tol)
                    break;
                t = next;
                dist = nextDist;
                found = dist <= tol;
                if (dist < best) {
                    best = dist;
                    bestT = t;
                }
            }
        }
        if (!found && best < kCandidateReach) {
            found = true;
            t = bestT;
        }
        if (!found && pass + 1 < kParamPasses) {
            for (int i = ord - 1; i < work.curve->noPoints - ord; ++i) {
                const double* Kw = work.curve->knots;
                if (std::fabs(Kw[i + 1] - Kw[i]) < 1e-7)
                    continue;
                if (!ratBSplCurveInsertKnot(&work.curve, 0.5 * (Kw[i] + Kw[i + 1])))
                    break;
                ++i;
            }
        }
    }
    if (!found) {
        geomReportError(GEOM_ERR_NO_CONVERGE, GEOM_FILE_SURFACE, GEOM_SITE_SURF_CURVE_NOT_FOUND);
        return 0;
    }
    *param = t;
    return 1;
}

int ratBSplSurfCurveCut(RatBSplSurf* surface, RatBSplCurve** curve, const double* first, const double* second)
{
    if (!surface || !curve || !*curve || !first || !second)
        return 0;
    double t1 = 0.0, t2 = 0.0;
    int found = ratBSplSurfCurveParamOfPoint(surface, *curve, first, &t1);
    if (vec3Distance(first, second) <= 1e-6) {
        t2 = t1;
        ++found;
    } else {
        found += ratBSplSurfCurveParamOfPoint(surface, *curve, second, &t2);
    }
    if (found < 2)
        return 0;
    // The cut's own result: a refused sub-curve is no cut.
    return ratBSplCurveSubCurve(curve, t1, t2);
}
