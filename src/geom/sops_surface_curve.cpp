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

// Inserts into breaks (knot values, in order) the knot values where the
// curve's parameter-plane point crosses an interior knot line of the surface.
void addSurfaceKnotCrossings(const RatBSplSurf* surface, RatBSplCurve* curve, double k0, double k1,
                             std::vector<double>& breaks)
{
    const double* knots[2] = {surface->knotsu, surface->knotsv};
    const int lo[2] = {surface->ordu, surface->ordv};
    const int hi[2] = {surface->noPointsu - surface->ordu, surface->noPointsv - surface->ordv};
    auto coord = [&](double t, int axis) {
        const GeomPoint c = ratBSplCurveEvalPoint(curve, (t - k0) / (k1 - k0));
        return axis == 0 ? c.x : c.y;
    };
    // Dense enough to see a crossing and its return within one curve span.
    const int steps = 4 * geomedit::footSamples(curve->ord);
    std::vector<double> found;
    for (size_t b = 0; b + 1 < breaks.size(); ++b) {
        const double a = breaks[b], e = breaks[b + 1];
        for (int axis = 0; axis < 2; ++axis) {
            double t0 = a, x0 = coord(a, axis);
            for (int i = 1; i <= steps; ++i) {
                const double t1 = i == steps ? e : a + (e - a) * i / steps;
                const double x1 = coord(t1, axis);
                for (int k = lo[axis]; k < hi[axis]; ++k) {
                    const double line = knots[axis][k];
                    if ((x0 - line) * (x1 - line) >= 0.0 || line == knots[axis][k - 1])
                        continue;
                    double l = t0, r = t1, xl = x0;
                    for (int it = 0; it < 60 && r - l > 1e-12 * (k1 - k0); ++it) {
                        const double m = 0.5 * (l + r);
                        const double xm = coord(m, axis);
                        if ((xl - line) * (xm - line) <= 0.0) {
                            r = m;
                        } else {
                            l = m;
                            xl = xm;
                        }
                    }
                    found.push_back(0.5 * (l + r));
                }
                t0 = t1;
                x0 = x1;
            }
        }
    }
    if (found.empty())
        return;
    breaks.insert(breaks.end(), found.begin(), found.end());
    std::sort(breaks.begin(), breaks.end());
    // Breaks must rise strictly; a crossing at a span end adds nothing.
    std::vector<double> kept;
    for (double t : breaks)
        if (kept.empty() || t - kept.back() > 1e-9 * (k1 - k0))
            kept.push_back(t);
    if (kept.size() >= 2 && breaks.back() > kept.back())
        kept.back() = breaks.back();
    breaks.swap(kept);
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
        breaks.resize(static_cast<size_t>(geomedit::spanBreaks(curve->knots, ord, curve->noPoints, 1e-7, breaks.data())));
        // The image kinks and can race where the curve crosses a surface knot
        // line; samples spaced for the curve's own spans step over such a
        // stretch, so the crossings bound spans of their own.
        addSurfaceKnotCrossings(surface, curve, k0, k1, breaks);
        const int n = static_cast<int>(breaks.size());
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
