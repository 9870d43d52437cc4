// Corners (knot values repeated ord - 1 times or more where the curve turns
// or jumps), handing a curve out piece by piece between them, and the
// arc-length table of a curve.
#include "geom/geom_curve_edit.h"
#include "geom/geom_curve_ops.h"
#include "geom/curve_edit_util.h"

#include <cmath>
#include <memory>
#include <new>

using namespace geomedit;

namespace {

enum { kLineBadTolerance = 3121 };

const double kSameKnot = 1e-14;
const double kCornerCos = 0.0001;
const double kCornerAngle = 0.7853981633974483;
const double kUnset = 1e10;

double dist3(const double* a, const double* b)
{
    const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

void toArray(const GeomPoint& p, double* out)
{
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

// A copy of the curve cut to [u1, u2], or null.
RatBSplCurve* piece(const RatBSplCurve* c, double u1, double u2)
{
    RatBSplCurve* p = ratBSplCurveCopy(c);
    if (p && !ratBSplCurveSubCurve(&p, u1, u2)) {
        ratBSplCurveFree(p);
        p = nullptr;
    }
    return p;
}

struct Sample {
    double u;
    double len;   // chord from the previous sample, later the arc length
    double err;
};

// Polygon length of 16 chords over [u0, u1] (normalised parameters).
double sampledLength(RatBSplCurve* c, double u0, double u1)
{
    double len = 0.0, prev[3], cur[3];
    toArray(ratBSplCurveEvalPoint(c, u0), prev);
    for (int j = 1; j <= 16; ++j) {
        toArray(ratBSplCurveEvalPoint(c, u0 + (u1 - u0) * j / 16.0), cur);
        len += dist3(prev, cur);
        copy3(prev, cur);
    }
    return len;
}

RatBSplCurve* polylineRecord(int n)
{
    RatBSplCurve* c = ratBSplCurveCreate(2, n + 2);
    if (!c)
        return nullptr;
    for (int i = 0; i < n; ++i)
        c->weights[i] = 1.0;
    c->origForm = 1;
    return c;
}

}  // namespace

int ratBSplCurveFindCorner(RatBSplCurve* curve, double tol, int* index)
{
    if (!usable(curve) || !index || !curve->workPoints || !curve->workWeights)
        return 0;
    const int m = curve->noPoints, k = curve->ord;
    const double* K = curve->knots;
    if (*index >= m - k)
        return 0;
    int j = (*index > k - 1 ? *index : k - 1) + 1;
    *index = j;
    while (j < m - k) {
        const double t = K[j];
        int q = j + 1;
        while (q < m && q < j + k && std::fabs(K[q] - t) < kSameKnot)
            ++q;
        const int mult = q - j;
        if (mult >= k - 1 && tol <= 0.0) {
            *index = q - 1;
            return 1;
        }
        // Compared with the span after the knot, which must exist: a run
        // that reaches the domain's end has only spans of zero width there.
        if (mult >= k - 1 && j + mult - 1 <= m - k - 1) {
            double p0[3], p1[3], d0[3], d1[3];
            ratBSplPointInSpan(p0, curve->points, curve->weights, K, k, j - 1, t, curve->workPoints,
                               curve->workWeights, nullptr);
            ratBSplDerivInSpan(d0, curve->points, curve->weights, K, k, j - 1, t, curve->workPoints,
                               curve->workWeights);
            ratBSplPointInSpan(p1, curve->points, curve->weights, K, k, j + mult - 1, t,
                               curve->workPoints, curve->workWeights, nullptr);
            ratBSplDerivInSpan(d1, curve->points, curve->weights, K, k, j + mult - 1, t,
                               curve->workPoints, curve->workWeights);
            if (dist3(p0, p1) > tol) {
                *index = q - 1;
                return 1;
            }
            if (vec3NormalizeB(d0) > 0.001 && vec3NormalizeB(d1) > 0.001) {
                const double d = std::fmax(-1.0, std::fmin(1.0, vec3DotB(d0, d1)));
                if (d <= kCornerCos || std::acos(d) >= kCornerAngle) {
                    *index = q - 1;
                    return 1;
                }
            }
        }
        j = q;
    }
    return 0;
}

int curvePieceWalkerInit(RatBSplCurve* curve, double tol, double minLength, CurvePieceWalker* walker)
{
    if (!walker)
        return 0;
    walker->curve = curve;
    walker->tol = tol;
    walker->minLength = minLength;
    walker->totalLength = curve ? ratBSplCurvePolygonLength(curve) : 0.0;
    walker->usedLength = 0.0;
    walker->index = 0;
    return 1;
}

int curvePieceWalkerNext(CurvePieceWalker* walker, RatBSplCurve** out)
{
    if (out)
        *out = nullptr;
    if (!walker || !out || !usable(walker->curve))
        return 0;
    RatBSplCurve* c = walker->curve;
    const int m = c->noPoints - c->ord;
    if (walker->index >= m)
        return 0;
    const bool first = walker->index < c->ord;
    if (first)
        walker->index = c->ord - 1;
    const int start = walker->index;
    const double* K = c->knots;
    RatBSplCurve* p = nullptr;
    double len = 0.0;
    for (;;) {
        if (!ratBSplCurveFindCorner(c, walker->tol, &walker->index)) {
            p = first ? ratBSplCurveCopy(c) : piece(c, K[start], K[m]);
            walker->index = c->noPoints;
            *out = p;
            return p ? 1 : 0;
        }
        p = piece(c, K[start], K[walker->index]);
        if (!p)
            return 0;
        len = ratBSplCurvePolygonLength(p);
        if (len >= walker->minLength)
            break;
        ratBSplCurveFree(p);
    }
    if (std::fabs(walker->totalLength - walker->usedLength - len) >= walker->minLength) {
        walker->usedLength += len;
        *out = p;
        return 1;
    }
    // The rest would be too short to stand alone: it joins this piece.
    ratBSplCurveFree(p);
    p = piece(c, K[start], K[m]);
    walker->index = c->noPoints;
    *out = p;
    return p ? 1 : 0;
}

int ratBSplCurveArcLengthTable(RatBSplCurve* curve, double tol, unsigned char normalised,
                               RatBSplCurve** paramToLength, RatBSplCurve** lengthToParam,
                               RatBSplCurve** polyline, double* maxErr)
{
    if (!usable(curve))
        return 0;
    const double lo = domainStart(curve), hi = domainEnd(curve);
    // A tolerance of zero or below can never be met and would turn err / tol
    // into an infinite sample count.
    if (!(tol > 0.0) || !(hi > lo)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineBadTolerance);
        return 0;
    }
    const int cap = GEOM_ARC_TABLE_CAPACITY;
    std::unique_ptr<Sample[]> S(new (std::nothrow) Sample[cap]);
    std::unique_ptr<GeomVec3[]> P(new (std::nothrow) GeomVec3[cap]);
    if (!S || !P)
        return 0;

    int n = 1;
    S[0] = Sample{0.0, 0.0, 0.0};
    toArray(ratBSplCurveEvalPoint(curve, 0.0), P[0]);
    int index = 0;
    for (bool last = false; !last;) {
        double t = hi;
        if (!ratBSplCurveFindCorner(curve, 0.0, &index))
            last = true;
        else
            t = curve->knots[index];
        const double u = (t - lo) / (hi - lo);
        if (std::fabs(u - S[n - 1].u) < 1e-12)
            continue;
        if (n >= cap)
            return 0;
        toArray(ratBSplCurveEvalPoint(curve, u), P[n]);
        S[n] = Sample{u, dist3(P[n - 1], P[n]), kUnset};
        ++n;
    }

    bool inserted = true, full = false;
    for (int pass = 0; pass < 9 && inserted && !full; ++pass) {
        inserted = false;
        for (int i = 1; i < n && !full; ++i) {
            if (S[i].err < tol)
                continue;
            const double err = std::fabs(sampledLength(curve, S[i - 1].u, S[i].u) - S[i].len);
            // The measured error is kept whether or not the interval is
            // split, so the reported maximum is the true one.
            S[i].err = err;
            if (err < 0.25 * tol)
                continue;
            const int k = static_cast<int>(std::fmin(err / tol, 8.0));
            if (n + k >= cap) {
                full = true;   // the table is full: the refinement ends here
                break;
            }
            if (k == 0)
                continue;
            const double u0 = S[i - 1].u, u1 = S[i].u;
            for (int q = n - 1; q >= i; --q) {
                S[q + k] = S[q];
                copy3(P[q + k], P[q]);
            }
            for (int j = 1; j <= k; ++j) {
                const int at = i - 1 + j;
                const double u = u0 + j / (k + 1.0) * (u1 - u0);
                toArray(ratBSplCurveEvalPoint(curve, u), P[at]);
                S[at] = Sample{u, dist3(P[at - 1], P[at]), err};
            }
            S[i + k].len = dist3(P[i + k - 1], P[i + k]);
            n += k;
            i += k;
            inserted = true;
        }
    }

    double worst = 0.0;
    for (int i = 1; i < n; ++i)
        worst = std::fmax(worst, S[i].err);
    if (maxErr)
        *maxErr = worst;
    for (int i = 1; i < n; ++i)
        S[i].len += S[i - 1].len;
    const double total = S[n - 1].len;
    auto p = [&](double u) { return lo + u * (hi - lo); };
    auto v = [&](double u) { return normalised ? u : p(u); };

    if (paramToLength) {
        RatBSplCurve* c = polylineRecord(n);
        if (!c)
            return 0;
        c->knots[0] = v(0.0);
        for (int i = 0; i < n - 1; ++i)
            c->knots[i + 1] = v(S[i].u);
        c->knots[n] = c->knots[n + 1] = normalised ? 1.0 : hi;
        for (int i = 0; i < n; ++i)
            ratBSplCurveSetPoint(c, i, p(S[i].u), S[i].len, 0.0);
        *paramToLength = c;
    }
    if (lengthToParam) {
        RatBSplCurve* c = polylineRecord(n);
        if (!c)
            return 0;
        c->knots[0] = 0.0;
        for (int i = 0; i < n - 1; ++i)
            c->knots[i + 1] = S[i].len;
        c->knots[n] = c->knots[n + 1] = total;
        for (int i = 0; i < n; ++i)
            ratBSplCurveSetPoint(c, i, S[i].len, v(S[i].u), 0.0);
        *lengthToParam = c;
    }
    if (polyline) {
        RatBSplCurve* c = polylineRecord(n);
        if (!c)
            return 0;
        c->knots[0] = 0.0;
        for (int i = 0; i < n - 1; ++i)
            c->knots[i + 1] = S[i].u;
        c->knots[n] = c->knots[n + 1] = 1.0;
        for (int i = 0; i < n; ++i)
            copy3(c->points[i], P[i]);
        c->isClosed = curve->isClosed;
        c->origForm = curve->origForm;
        *polyline = c;
    }
    return 1;
}
