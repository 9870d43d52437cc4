// Curves in a surface's parameter plane, seen in space: points and frames,
// the parameter of a space point, and cutting between two points.
#include "geom/geom_curve_edit.h"
#include "geom/geom_surface_curves.h"
#include "geom/curve_foot.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Below this a candidate is accepted when no parameter came within tolerance.
constexpr double kCandidateReach = 0.075;

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
    if (!usableSurface(surface) || !usableCurve(curve) || !ratBSplCurveHasSpans(curve) || !point || !param)
        return 0;
    const double tol = std::max(1e-4, surface->tolerance);
    const int ord = curve->ord;
    const double k0 = curve->knots[ord - 1];
    const double k1 = curve->knots[curve->noPoints - ord];
    double P[3], T[3], d[3];
    auto distanceAt = [&](double s) {
        curvePoint(surface, curve, s, P, T, nullptr);
        vec3Diff(point, P, d);
        return vec3Length(d);
    };
    double best = 1e300, bestT = k0;
    for (int end = 0; end < 2; ++end) {
        const double dist = distanceAt(end);
        const double knot = end == 0 ? k0 : k1;
        if (dist <= tol) {
            *param = knot;
            return 1;
        }
        if (dist < best) {
            best = dist;
            bestT = knot;
        }
    }
    // The nearest point of the curve's image, searched in every span from
    // samples: a Newton search from span starts alone stops at steps that
    // overshoot the domain or gain little, far from points on the image.
    if (k1 > k0) {
        std::vector<double> breaks(static_cast<size_t>(curve->noPoints));
        const int n = geomedit::spanBreaks(curve->knots, ord, curve->noPoints, 1e-7, breaks.data());
        const geomedit::CurveProbe probe = [&](double t, double* q, double* tangent) {
            curvePoint(surface, curve, (t - k0) / (k1 - k0), q, tangent, nullptr);
        };
        // The space curve bends with the surface as well as with the curve.
        const int samples = geomedit::footSamples(ord) + geomedit::footSamples(std::max(surface->ordu, surface->ordv));
        geomedit::nearestFoot(probe, point, breaks.data(), n, samples, &bestT, &best);
    }
    if (!(best <= tol || best < kCandidateReach)) {
        geomReportError(GEOM_ERR_NO_CONVERGE, GEOM_FILE_SURFACE, GEOM_SITE_SURF_CURVE_NOT_FOUND);
        return 0;
    }
    *param = bestT;
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
