// Cutting curves by points in space: between two points, and two open
// curves back to where they meet or come closest.
#include "geom/geom_curve_edit.h"
#include "geom/curve_edit_util.h"
#include "geom/curve_foot.h"

#include <algorithm>
#include <cmath>
#include <vector>

using namespace geomedit;

namespace {

const double kEndMoved = 0.0005;
const double kShortPart = 0.0001;
const double kMeet = 1e-5;

struct V {
    double x, y, z;
};
V operator+(V a, V b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V operator-(V a, V b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V operator*(double s, V a) { return {s * a.x, s * a.y, s * a.z}; }
double dot(V a, V b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double norm(V a) { return std::sqrt(dot(a, a)); }
V cross(V a, V b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
V fromPoint(GeomPoint p) { return {p.x, p.y, p.z}; }
V fromArray(const double* p) { return {p[0], p[1], p[2]}; }
GeomPoint toPoint(V v) { return {v.x, v.y, v.z}; }
V unit(V v)
{
    const double l = norm(v);
    return l >= 1e-12 ? (1.0 / l) * v : v;
}

double domainLength(const RatBSplCurve* c)
{
    const double r = domainEnd(c) - domainStart(c);
    return r < 1e-10 ? 1.0 : r;
}

// Knot value u to the normalised parameter of c.
double toT(const RatBSplCurve* c, double u) { return (u - domainStart(c)) / domainLength(c); }

// Rewrites the record in place as a point (ord 1) or a line (ord 2) over
// [u1, u2], enlarging its arrays first when they are too short.
int collapse(RatBSplCurve* c, double u1, double u2, bool asLine)
{
    const V p1 = fromPoint(ratBSplCurveEvalPoint(c, toT(c, u1)));
    const V p2 = fromPoint(ratBSplCurveEvalPoint(c, toT(c, u2)));
    const int need = asLine ? 4 : 2;
    if (c->noPoints < need && !ratBSplCurveResize(c, need))
        return 0;
    c->ord = asLine ? 2 : 1;
    c->noPoints = need;
    const V pts[2] = {p1, p2};
    for (int i = 0; i < need / 2; ++i) {
        c->points[i][0] = pts[i].x;
        c->points[i][1] = pts[i].y;
        c->points[i][2] = pts[i].z;
        c->weights[i] = 1.0;
    }
    if (asLine) {
        c->knots[0] = c->knots[1] = u1;
        c->knots[2] = c->knots[3] = u2;
    } else {
        c->knots[0] = c->knots[1] = u1;
    }
    c->isRational = c->isClosed = c->isPeriodic = c->origForm = 0;
    return 1;
}

// A point on the first tangent line towards where it comes closest to the
// second one: the signed distance of the second line from the first,
// interpolated linearly between two of its points, vanishes there.
V commonPointEstimate(V P1, V T1, V P2, V T2, bool* ok)
{
    *ok = true;
    const double s = std::fmax(norm(P1 - P2), 0.001);
    const V Q = P2 + s * T2;
    const double c1 = dot(P2 - P1, T1), c2 = dot(Q - P1, T1);
    const V off1 = P2 - (P1 + c1 * T1);
    const V off2 = Q - (P1 + c2 * T1);
    const double h1 = norm(off1);
    const double h2 = h1 >= 1e-12 ? dot(off2, (1.0 / h1) * off1) : norm(off2);
    if (std::fabs(h1 - h2) < 1e-10)
        return P1 + c2 * T1;
    const double lambda = (c2 * h1 - c1 * h2) / (h1 - h2);
    if (std::fabs(lambda) >= 1e10) {
        *ok = false;
        return 0.5 * (P1 + P2);
    }
    return P1 + lambda * T1;
}

// Samples of each curve in the closest-pair search, at most.
const int kMaxPairSamples = 1024;

// Point and derivative of c at the knot value u.
void probe(RatBSplCurve* c, double u, V* point, V* tangent)
{
    const double t = toT(c, u);
    *point = fromPoint(ratBSplCurveEvalPoint(c, t));
    *tangent = fromPoint(ratBSplCurveEvalDeriv(c, t));
}

// Gauss-Newton steps on |C1(u1) - C2(u2)| from (u[0], u[1]), each clamped
// to the domains and halved until the curves come strictly closer.
double closestPairFrom(RatBSplCurve* const* c, double* u)
{
    V P[2], T[2];
    probe(c[0], u[0], &P[0], &T[0]);
    probe(c[1], u[1], &P[1], &T[1]);
    double d = norm(P[0] - P[1]);
    for (int it = 0; it < 60 && d > 0.0; ++it) {
        const V r = P[0] - P[1];
        const double a = dot(T[0], T[0]), b = -dot(T[0], T[1]), cc = dot(T[1], T[1]);
        const double g0 = dot(T[0], r), g1 = -dot(T[1], r);
        const double det = a * cc - b * b;
        double step[2];
        if (std::fabs(det) > 1e-12 * a * cc && det != 0.0) {
            step[0] = -(cc * g0 - b * g1) / det;
            step[1] = -(a * g1 - b * g0) / det;
        } else {
            // Parallel tangents: a step down the gradient of each.
            step[0] = a > 0.0 ? -g0 / a : 0.0;
            step[1] = cc > 0.0 ? -g1 / cc : 0.0;
        }
        if (!std::isfinite(step[0]) || !std::isfinite(step[1]))
            break;
        bool moved = false;
        for (int h = 0; h < 40 && !moved; ++h) {
            double n[2];
            for (int k = 0; k < 2; ++k)
                n[k] = std::fmin(std::fmax(u[k] + step[k], domainStart(c[k])), domainEnd(c[k]));
            if (n[0] == u[0] && n[1] == u[1])
                break;
            V Q[2], S[2];
            probe(c[0], n[0], &Q[0], &S[0]);
            probe(c[1], n[1], &Q[1], &S[1]);
            const double dn = norm(Q[0] - Q[1]);
            if (dn < d) {
                d = dn;
                for (int k = 0; k < 2; ++k) {
                    u[k] = n[k];
                    P[k] = Q[k];
                    T[k] = S[k];
                }
                moved = true;
            }
            step[0] *= 0.5;
            step[1] *= 0.5;
        }
        if (!moved)
            break;
    }
    return d;
}

// The closest pair of points of two curves: every span of each sampled, the
// nearest sample pairs that are nearer than their neighbours polished.
// u receives the knot values; the distance is returned.
double closestPair(RatBSplCurve* const* c, double* u)
{
    std::vector<double> s[2];
    std::vector<V> q[2];
    for (int k = 0; k < 2; ++k) {
        // The table of pairs grows with the product of the sample counts:
        // long curves are sampled less densely per span.
        const int spans = std::max(1, c[k]->noPoints - 2 * c[k]->ord + 1);
        const int n = std::max(1, std::min(footSamples(c[k]->ord), kMaxPairSamples / spans));
        const double* K = c[k]->knots;
        for (int i = c[k]->ord - 1; i < c[k]->noPoints - c[k]->ord; ++i)
            if (K[i + 1] > K[i])
                for (int j = 0; j < n; ++j)
                    s[k].push_back(K[i] + (K[i + 1] - K[i]) * j / n);
        s[k].push_back(domainEnd(c[k]));
        for (double x : s[k])
            q[k].push_back(fromPoint(ratBSplCurveEvalPoint(c[k], toT(c[k], x))));
    }
    const int n0 = static_cast<int>(s[0].size()), n1 = static_cast<int>(s[1].size());
    std::vector<double> d(static_cast<size_t>(n0) * n1);
    for (int i = 0; i < n0; ++i)
        for (int j = 0; j < n1; ++j)
            d[static_cast<size_t>(i) * n1 + j] = norm(q[0][i] - q[1][j]);
    struct Pair {
        double d;
        int i, j;
    };
    std::vector<Pair> minima;
    for (int i = 0; i < n0; ++i)
        for (int j = 0; j < n1; ++j) {
            const double x = d[static_cast<size_t>(i) * n1 + j];
            bool lowest = std::isfinite(x);
            for (int di = -1; di <= 1 && lowest; ++di)
                for (int dj = -1; dj <= 1 && lowest; ++dj) {
                    const int a = i + di, b = j + dj;
                    if ((di || dj) && a >= 0 && a < n0 && b >= 0 && b < n1)
                        lowest = x <= d[static_cast<size_t>(a) * n1 + b];
                }
            if (lowest)
                minima.push_back(Pair{x, i, j});
        }
    const size_t tries = std::min<size_t>(minima.size(), 8);
    std::partial_sort(minima.begin(), minima.begin() + tries, minima.end(),
                      [](const Pair& a, const Pair& b) { return a.d < b.d; });
    double best = 1e300;
    for (size_t k = 0; k < tries; ++k) {
        double x[2] = {s[0][minima[k].i], s[1][minima[k].j]};
        const double dist = closestPairFrom(c, x);
        if (dist < best) {
            best = dist;
            u[0] = x[0];
            u[1] = x[1];
        }
    }
    return best;
}

}  // namespace

int ratBSplCurveCutAtPoints(RatBSplCurve** curve, const double* A, const double* B,
                            unsigned char keepShort, unsigned char asLine)
{
    if (!curve || !usable(*curve))
        return GEOM_CUT_NOTHING;
    RatBSplCurve* c = *curve;
    bool clampedStart = true;
    for (int i = 1; i < c->ord; ++i)
        if (std::fabs(c->knots[i] - c->knots[0]) >= 1e-12)
            clampedStart = false;
    if (clampedStart)
        c->isPeriodic = 0;
    double u1 = domainStart(c), u2 = domainEnd(c);
    bool startMoved = false, endMoved = false;
    double d;
    if (A && norm(fromArray(A) - fromPoint(ratBSplCurveEvalPoint(c, 0.0))) > kEndMoved) {
        startMoved = ratBSplCurveProjectPoint(c, toPoint(fromArray(A)), &u1, &d) == 1;
    }
    if (B && norm(fromArray(B) - fromPoint(ratBSplCurveEvalPoint(c, 1.0))) > kEndMoved) {
        endMoved = ratBSplCurveProjectPoint(c, toPoint(fromArray(B)), &u2, &d) == 1;
    }
    if (!startMoved && !endMoved)
        return GEOM_CUT_NOTHING;
    if (!keepShort && std::fabs(u2 - u1) < kShortPart)
        return collapse(c, u1, u2, asLine != 0) ? GEOM_CUT_BOTH_MOVED : GEOM_CUT_NOTHING;
    const int cut = (c->isClosed && !c->isPeriodic) ? ratBSplCurveSubCurveClosed(curve, u1, u2)
                                                   : ratBSplCurveSubCurve(curve, u1, u2);
    // A cut that did not happen is not reported as a moved end.
    if (!cut)
        return GEOM_CUT_NOTHING;
    if (startMoved && endMoved)
        return GEOM_CUT_BOTH_MOVED;
    return startMoved ? GEOM_CUT_START_MOVED : GEOM_CUT_END_MOVED;
}

int ratBSplCurveCutBetween(RatBSplCurve** curve, const double* A, const double* B)
{
    return ratBSplCurveCutAtPoints(curve, A, B, 1, 0);
}

int ratBSplCurveCutBetweenEx(RatBSplCurve** curve, const double* A, const double* B, int /*unused*/)
{
    return ratBSplCurveCutAtPoints(curve, A, B, 1, 0);
}

int ratBSplCurveTrimToEachOther(RatBSplCurve** first, RatBSplCurve** second, double tol,
                                double* distance)
{
    if (!first || !second || !usable(*first) || !usable(*second) || !distance)
        return 0;
    RatBSplCurve* c[2] = {*first, *second};
    if (c[0]->isClosed || c[0]->isPeriodic || c[1]->isClosed || c[1]->isPeriodic)
        return 0;
    const double r[2] = {domainLength(c[0]), domainLength(c[1])};

    const double ends[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    double t[2] = {0, 0};
    double best = 1e300;
    for (const auto& e : ends) {
        const double d = norm(fromPoint(ratBSplCurveEvalPoint(c[0], e[0])) -
                              fromPoint(ratBSplCurveEvalPoint(c[1], e[1])));
        if (d < best) {
            best = d;
            t[0] = e[0];
            t[1] = e[1];
        }
    }
    const double accept = std::fmax(tol, kMeet);
    *distance = best;
    if (best <= kMeet)
        return 0;

    V X = 0.5 * (fromPoint(ratBSplCurveEvalPoint(c[0], t[0])) + fromPoint(ratBSplCurveEvalPoint(c[1], t[1])));
    for (int it = 0; it < 10; ++it) {
        const V P1 = fromPoint(ratBSplCurveEvalPoint(c[0], t[0]));
        const V P2 = fromPoint(ratBSplCurveEvalPoint(c[1], t[1]));
        const V T1 = unit(fromPoint(ratBSplCurveEvalDeriv(c[0], t[0])));
        const V T2 = unit(fromPoint(ratBSplCurveEvalDeriv(c[1], t[1])));
        bool ok = false;
        V estimate = 0.5 * (P1 + P2);
        if (it > 0 && norm(cross(T1, T2)) > 1e-7)
            estimate = commonPointEstimate(P1, T1, P2, T2, &ok);
        double nt[2];
        for (int k = 0; k < 2; ++k) {
            double u = domainStart(c[k]) + t[k] * r[k], dk;
            ratBSplCurveProjectPointFrom(c[k], toPoint(estimate), 1e-7, &u, &dk);
            nt[k] = toT(c[k], u);
        }
        const double d = norm(fromPoint(ratBSplCurveEvalPoint(c[0], nt[0])) -
                              fromPoint(ratBSplCurveEvalPoint(c[1], nt[1])));
        if (d > best)
            break;
        X = estimate;
        best = d;
        t[0] = nt[0];
        t[1] = nt[1];
        *distance = best;
        if (d <= kMeet)
            break;
    }
    // The search above follows the curves from their nearest ends and stops
    // where they stop coming closer: curves that cross away from their ends
    // are met by the closest pair of their points instead.
    if (best > accept) {
        double u[2] = {domainStart(c[0]), domainStart(c[1])};
        const double d = closestPair(c, u);
        if (d < best) {
            best = d;
            *distance = d;
            t[0] = toT(c[0], u[0]);
            t[1] = toT(c[1], u[1]);
            X = 0.5 * (fromPoint(ratBSplCurveEvalPoint(c[0], t[0])) + fromPoint(ratBSplCurveEvalPoint(c[1], t[1])));
        }
    }
    if (best > accept)
        return 0;

    // Both cuts are made on copies and handed over together: never one
    // curve cut and the other not.
    RatBSplCurve* cut[2] = {ratBSplCurveCopy(c[0]), ratBSplCurveCopy(c[1])};
    bool done = cut[0] && cut[1];
    for (int k = 0; k < 2 && done; ++k) {
        const double a = domainStart(c[k]), b = domainEnd(c[k]);
        const double u = a + t[k] * r[k];
        const double toStart = norm(X - fromPoint(ratBSplCurveEvalPoint(c[k], 0.0)));
        const double toEnd = norm(X - fromPoint(ratBSplCurveEvalPoint(c[k], 1.0)));
        done = toEnd < toStart ? ratBSplCurveSubCurve(&cut[k], a, u) : ratBSplCurveSubCurve(&cut[k], u, b);
    }
    if (!done) {
        ratBSplCurveFree(cut[0]);
        ratBSplCurveFree(cut[1]);
        return 0;
    }
    ratBSplCurveFree(*first);
    ratBSplCurveFree(*second);
    *first = cut[0];
    *second = cut[1];
    return 1;
}
