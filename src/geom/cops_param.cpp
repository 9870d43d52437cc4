// The knot parameter at which a curve passes through, or comes nearest to,
// a point: subdivision searches that split the spans whose control boxes
// hold the point, and Newton-type projections.
#include "geom/geom_curve_edit.h"
#include "geom/curve_edit_util.h"
#include "geom/curve_foot.h"

#include <cmath>
#include <memory>
#include <vector>

using namespace geomedit;

namespace {

enum { kLineOrder = 3007, kLineKnots = 3018, kLineFar = 3223 };

const int kMaxSearchOrder = 29;
const int kMaxInputKnots = 1499;
const int kRefineLimit = 1995;
const double kHit = 0.001;

double distTo(const double* q, const GeomPoint& P)
{
    const double dx = q[0] - P.x, dy = q[1] - P.y, dz = q[2] - P.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double distTo(const GeomPoint& q, const GeomPoint& P)
{
    const double v[3] = {q.x, q.y, q.z};
    return distTo(v, P);
}


struct SearchRules {
    double boxMargin;
    bool stopAtFirstHit;    // the rational search ends at the first hit
    int maxInserted;        // midpoints inserted in all; 0 for no limit
};

// Refines local copies of the arrays by span midpoints; a fixed capacity
// holds every refinement, so nothing is re-allocated while it runs.
class Subdivision {
public:
    Subdivision(const GeomVec3* points, const double* weights, const double* knots, int ord, int K)
        : ord_(ord), K_(K), P_(new GeomVec3[GEOM_SUBDIVISION_CAPACITY]),
          W_(new double[GEOM_SUBDIVISION_CAPACITY]), Kn_(new double[GEOM_SUBDIVISION_CAPACITY]),
          marks_(new char[GEOM_SUBDIVISION_CAPACITY]())
    {
        for (int i = 0; i < K; ++i) {
            copy3(P_[i], points[i]);
            W_[i] = weights ? weights[i] : 1.0;
            Kn_[i] = knots[i];
        }
    }

    // Returns true when u was written; best holds the nearest distance seen.
    bool run(const GeomPoint& P, const SearchRules& rules, double* u, double* best)
    {
        bool written = false;
        int inserted = 0;
        *best = 1e10;
        for (int pass = 0; pass < 100; ++pass) {
            if (!mark(P, rules.boxMargin))
                break;
            // A pass refines the spans it marked at its start: its bound and
            // the marks are those of the knot count the pass began with,
            // while the insertions shift the spans behind it.
            const int passKnots = K_;
            int shift = 0;
            for (int i = ord_ - 1; i < passKnots - ord_; ++i) {
                if (!marks_[i])
                    continue;
                if (K_ > kRefineLimit || (rules.maxInserted && inserted >= rules.maxInserted))
                    return written;
                const int s = i + shift;
                const double m = 0.5 * (Kn_[s] + Kn_[s + 1]);
                double q[3];
                GeomVec3 workP[kMaxSearchOrder + 1];
                double workW[2 * kMaxSearchOrder + 3];
                ratBSplPointInSpan(q, P_.get(), W_.get(), Kn_.get(), ord_, s, m, workP, workW, nullptr);
                const double d = distTo(q, P);
                if (!ratBSplCurveInsertKnotCore(ord_, K_, Kn_.get(), W_.get(), P_.get(), 0, -1, 0.0, m))
                    return written;
                ++K_;
                ++shift;
                ++inserted;
                if (d < kHit) {
                    *best = d;
                    *u = m;
                    return true;
                }
                if (d < *best && !rules.stopAtFirstHit) {
                    *best = d;
                    *u = m;
                    written = true;
                }
            }
        }
        return written;
    }

private:
    // Marks the spans whose control-point box, enlarged by the margin, holds
    // P; marks are kept by the span index at the start of the pass.
    bool mark(const GeomPoint& P, double margin)
    {
        bool any = false;
        const double p[3] = {P.x, P.y, P.z};
        for (int i = 0; i < K_; ++i)
            marks_[i] = 0;
        for (int i = ord_ - 1; i < K_ - ord_; ++i) {
            if (Kn_[i + 1] - Kn_[i] < 1e-12)
                continue;
            bool inside = true;
            for (int d = 0; d < 3 && inside; ++d) {
                double lo = P_[i - ord_ + 1][d], hi = lo;
                for (int j = i - ord_ + 2; j <= i; ++j) {
                    lo = std::fmin(lo, P_[j][d]);
                    hi = std::fmax(hi, P_[j][d]);
                }
                inside = p[d] >= lo - margin && p[d] <= hi + margin;
            }
            if (inside) {
                marks_[i] = 1;
                any = true;
            }
        }
        return any;
    }

    int ord_;
    int K_;
    std::unique_ptr<GeomVec3[]> P_;
    std::unique_ptr<double[]> W_;
    std::unique_ptr<double[]> Kn_;
    std::unique_ptr<char[]> marks_;
};

// Point and derivative of c at the knot value u of the domain [a, a + r].
GeomPoint pointAt(RatBSplCurve* c, double a, double r, double u) { return ratBSplCurveEvalPoint(c, (u - a) / r); }
GeomPoint derivAt(RatBSplCurve* c, double a, double r, double u) { return ratBSplCurveEvalDeriv(c, (u - a) / r); }

double domainLength(const RatBSplCurve* c)
{
    const double r = domainEnd(c) - domainStart(c);
    return r < 1e-10 ? 1.0 : r;
}

CurveProbe curveProbe(RatBSplCurve* c, double a, double r)
{
    return [c, a, r](double u, double* q, double* t) {
        const GeomPoint Q = pointAt(c, a, r, u);
        const GeomPoint T = derivAt(c, a, r, u);
        q[0] = Q.x, q[1] = Q.y, q[2] = Q.z;
        t[0] = T.x, t[1] = T.y, t[2] = T.z;
    };
}

}  // namespace

int ratBSplCurveParamBySubdivision(RatBSplCurve* curve, GeomPoint P, double* u)
{
    if (!u || !usable(curve) || curve->ord > kMaxSearchOrder) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineOrder);
        return 0;
    }
    if (curve->noPoints > kMaxInputKnots) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineKnots);
        return 0;
    }
    // The weights take part: on a rational curve the unweighted points
    // trace another curve.
    Subdivision search(curve->points, curve->weights, curve->knots, curve->ord, curve->noPoints);
    double best;
    const bool written = search.run(P, SearchRules{0.001, false, 0}, u, &best);
    if (best > 0.075)
        geomReportError(GEOM_ERR_NO_CONVERGE, GEOM_FILE_CURVE, kLineFar);
    return written ? GEOM_PARAM_FOUND : GEOM_PARAM_NONE;
}

int ratBSplCurveParamBySubdivisionRational(const GeomVec3* points, const double* weights,
                                           const double* knots, int ord, int K, GeomPoint P,
                                           double* u)
{
    if (!points || !weights || !knots || !u || ord < 1 || K < 2 * ord || ord > kMaxSearchOrder ||
        K > kMaxInputKnots)
        return GEOM_PARAM_NONE;
    Subdivision search(points, weights, knots, ord, K);
    double best;
    return search.run(P, SearchRules{0.0001, true, 500}, u, &best) ? GEOM_PARAM_FOUND : GEOM_PARAM_NONE;
}

int ratBSplCurveProjectPoint(RatBSplCurve* curve, GeomPoint P, double* u, double* distance)
{
    if (!usable(curve) || !ratBSplCurveHasSpans(curve) || !u || !distance)
        return 0;
    const double onCurve = 1e-6;
    const double a = domainStart(curve), b = domainEnd(curve), r = domainLength(curve);
    const double d0 = distTo(ratBSplCurveEvalPoint(curve, 0.0), P);
    if (d0 <= onCurve) {
        *u = a;
        *distance = d0;
        return 1;
    }
    const double d1 = distTo(ratBSplCurveEvalPoint(curve, 1.0), P);
    if (d1 <= onCurve) {
        *u = b;
        *distance = d1;
        return 1;
    }
    double best = d0, bestU = a;
    if (d1 < best) {
        best = d1;
        bestU = b;
    }
    // Every span is searched from samples dense enough for the order's
    // bends; a Newton search from span starts alone misses feet that lie
    // beyond an overshooting step.
    std::vector<double> breaks(static_cast<size_t>(curve->noPoints));
    const int n = spanBreaks(curve->knots, curve->ord, curve->noPoints, 1e-7, breaks.data());
    const double p[3] = {P.x, P.y, P.z};
    nearestFoot(curveProbe(curve, a, r), p, breaks.data(), n, footSamples(curve->ord), &bestU, &best);
    *u = bestU;
    *distance = best;
    return 1;
}

int ratBSplCurveProjectPointFrom(RatBSplCurve* curve, GeomPoint P, double tol, double* u,
                                 double* distance)
{
    // Infinite or unsorted knots make every parameter meaningless.
    if (!usable(curve) || !ratBSplCurveHasSpans(curve) || !u || !distance)
        return 0;
    const double a = domainStart(curve), b = domainEnd(curve), r = domainLength(curve);
    double best = distTo(ratBSplCurveEvalPoint(curve, 0.0), P);
    double bestU = a;
    if (best <= tol) {
        *u = a;
        *distance = best;
        return 1;
    }
    const double d1 = distTo(ratBSplCurveEvalPoint(curve, 1.0), P);
    if (d1 <= tol) {
        *u = b;
        *distance = d1;
        return 1;
    }
    if (d1 < best) {
        best = d1;
        bestU = b;
    }
    const double start = *u;
    if (!(start >= a && start <= b)) {
        const int k = curve->ord;
        for (int i = k - 1; i < curve->noPoints - k; ++i) {
            const double w = curve->knots[i + 1] - curve->knots[i];
            if (w < 1e-7)
                continue;
            for (int j = 1; j <= 2 * k; ++j) {
                const double uu = curve->knots[i] + static_cast<double>(j) / (2 * k) * w;
                const double d = distTo(pointAt(curve, a, r, uu), P);
                if (d < best) {
                    best = d;
                    bestU = uu;
                }
            }
        }
    } else {
        const double d = distTo(pointAt(curve, a, r, start), P);
        if (d < best) {
            best = d;
            bestU = start;
        }
    }
    // Safeguarded Newton steps all the way to the foot point: trying only
    // sixths of each Gauss-Newton step stops wherever none of them comes
    // nearer, often well short of the foot.
    if (best > tol) {
        const double p[3] = {P.x, P.y, P.z};
        double x = bestU, d = best;
        polishFoot(curveProbe(curve, a, r), p, a, b, &x, &d);
        if (d < best) {
            best = d;
            bestU = x;
        }
    }
    *u = bestU;
    *distance = best;
    return 1;
}
