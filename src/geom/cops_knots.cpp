// Knot insertion (Boehm's rule on homogeneous points), the full-multiplicity
// step the cuts build on, and making two curves compatible.
#include "geom/geom_curve_edit.h"
#include "geom/curve_edit_util.h"

#include <cmath>
#include <cstring>

namespace {

enum {
    kLineOrder = 4063,
    kLineSpan = 4082,
    kLineWeight = 4116,
    kLineAlloc = 4254,
    kLinePeriodic = 4414,
    kLineNotMerged = 4431
};

const double kAlphaEps = 1e-12;
const double kWeightEps = 1e-12;
const double kClosedEps = 1e-7;
const double kMergeEps = 1e-12;

void setPoint(GeomVec3* P, int i, const double* v)
{
    P[i][0] = v[0];
    P[i][1] = v[1];
    P[i][2] = v[2];
}

}  // namespace

int ratBSplCurveInsertKnotCore(int ord, int K, double* knots, double* weights, GeomVec3* points,
                               int isPeriodic, int period, double knotRange, double u)
{
    const int p = ord;
    if (p > GEOM_MAX_EDIT_ORDER || p < 1) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineOrder);
        return 0;
    }
    int s = ratBSplCurveFindSpan(knots, K, p, u);
    // The span search tolerates parameters a little outside the domain; such
    // a knot would break the order of the knot vector, so it is refused too.
    if (s < 0 || !weights || !points || u < knots[p - 1] - geomedit::kKnotSnap ||
        u > knots[K - p] + geomedit::kKnotSnap) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineSpan);
        return 0;
    }
    // The span search answers within a small tolerance of the span's ends,
    // so u may lie just past the span it names: the knot goes into the span
    // that holds it. Moved onto the span's end instead, it would sit at the
    // neighbouring knot and a cut there would cut the curve at that knot.
    while (s + 1 < K - p && u > knots[s + 1])
        ++s;
    while (s > p - 1 && u < knots[s])
        --s;
    // Only a parameter within the snap of a domain end is left outside; it
    // is kept inside so the vector stays non-decreasing.
    if (u < knots[s])
        u = knots[s];
    if (u > knots[s + 1])
        u = knots[s + 1];

    // A periodic curve repeats its points when the first one comes back one
    // (old) period later. That is judged before anything moves: afterwards
    // the entry one period on is the new point, not the repetition.
    bool closed = false;
    if (isPeriodic && period >= 1 && period - 1 < K) {
        const double* P0 = points[0];
        const double* Pm = points[period - 1];
        closed = std::sqrt((P0[0] - Pm[0]) * (P0[0] - Pm[0]) + (P0[1] - Pm[1]) * (P0[1] - Pm[1]) +
                           (P0[2] - Pm[2]) * (P0[2] - Pm[2])) < kClosedEps;
    }

    // New homogeneous points first: a vanishing weight stops the insertion
    // before anything is moved, so the arrays are never left half done.
    double newPoints[GEOM_MAX_EDIT_ORDER][3];
    double newWeights[GEOM_MAX_EDIT_ORDER];
    for (int i = s; i >= s - p + 2; --i) {
        const double d = knots[i + p - 1] - knots[i];
        const double alpha = std::fabs(d) >= kAlphaEps ? (u - knots[i]) / d : 0.0;
        const double w0 = (1.0 - alpha) * weights[i - 1];
        const double w1 = alpha * weights[i];
        const double w = w0 + w1;
        if (std::fabs(w) < kWeightEps) {
            geomReportError(GEOM_ERR_DIVISOR, GEOM_FILE_CURVE, kLineWeight);
            return 0;
        }
        const int q = s - i;
        for (int c = 0; c < 3; ++c)
            newPoints[q][c] = (w0 * points[i - 1][c] + w1 * points[i][c]) / w;
        newWeights[q] = w;
    }

    const int tail = K - s - 1;
    std::memmove(knots + s + 2, knots + s + 1, sizeof(double) * tail);
    std::memmove(points + s + 2, points + s + 1, sizeof(GeomVec3) * tail);
    std::memmove(weights + s + 2, weights + s + 1, sizeof(double) * tail);
    weights[s + 1] = weights[s];
    setPoint(points, s + 1, points[s]);
    for (int i = s; i >= s - p + 2; --i) {
        setPoint(points, i, newPoints[s - i]);
        weights[i] = newWeights[s - i];
    }
    knots[s + 1] = u;
    if (!isPeriodic)
        return 1;

    // Keep the wrapped copies at both ends of a periodic curve in step with
    // the period that now counts the new point. Every index stays inside the
    // K + 1 entries the arrays now hold.
    const int m = period;
    const int n = K + 1;
    if (m <= 0 || m >= n)
        return 1;
    for (int i = s + 1 - m; i >= 0; --i) {
        if (i + m >= n)
            continue;
        if (closed) {
            weights[i] = weights[i + m];
            setPoint(points, i, points[i + m]);
        }
        knots[i] = knots[i + m] - knotRange;
    }
    for (int i = s - (p - 2) + m; i <= K; ++i) {
        if (i - m < 0)
            continue;
        if (closed && i < K + 1 - p) {
            weights[i] = weights[i - m];
            setPoint(points, i, points[i - m]);
        }
        knots[i] = knots[i - m] + knotRange;
    }
    return 1;
}

int ratBSplCurveInsertKnot(RatBSplCurve** curve, double u)
{
    if (!curve || !*curve)
        return 0;
    const RatBSplCurve* old = *curve;
    if (old->ord > GEOM_MAX_EDIT_ORDER)
        return 0;
    if (!geomedit::usable(old)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineSpan);
        return 0;
    }
    const int K = old->noPoints;
    RatBSplCurve* c = ratBSplCurveCreate(old->ord, K + 1);
    if (!c) {
        geomReportError(GEOM_ERR_ALLOC, GEOM_FILE_CURVE, kLineAlloc);
        return 0;
    }
    geomedit::copyEntries(c, 0, old, 0, K);
    c->period = old->period + 1;
    c->knotRange = old->knotRange;
    c->multPts = old->multPts;
    c->isRational = old->isRational;
    c->isClosed = old->isClosed;
    c->isPeriodic = old->isPeriodic;
    c->origForm = old->origForm;
    if (!ratBSplCurveInsertKnotCore(c->ord, K, c->knots, c->weights, c->points, c->isPeriodic,
                                    c->period, c->knotRange, u)) {
        // A refused insertion must not cost the caller the curve.
        ratBSplCurveFree(c);
        return 0;
    }
    ratBSplCurveFree(*curve);
    *curve = c;
    return 1;
}

namespace geomedit {

double snapToKnot(const RatBSplCurve* c, double u)
{
    double best = 1e10;
    double snapped = u;
    for (int i = 0; i < c->noPoints; ++i) {
        const double d = std::fabs(c->knots[i] - u);
        if (d < best) {
            best = d;
            if (d < kKnotSnap)
                snapped = c->knots[i];
        }
    }
    return snapped;
}

int knotMultiplicity(const RatBSplCurve* c, double u)
{
    int s = 0;
    for (int i = 0; i < c->noPoints; ++i)
        if (std::fabs(c->knots[i] - u) < kKnotSnap)
            ++s;
    return s;
}

int raiseToFullMultiplicity(RatBSplCurve** c, double u)
{
    const int missing = (*c)->ord - knotMultiplicity(*c, u);
    int done = 0;
    for (int i = 0; i < missing; ++i) {
        if (!ratBSplCurveInsertKnot(c, u))
            break;
        ++done;
    }
    return done >= missing ? 1 : 0;
}

RatBSplCurve* makePointCurve(const double* p, double u)
{
    RatBSplCurve* c = ratBSplCurveCreate(1, 2);
    if (!c)
        return nullptr;
    copy3(c->points[0], p);
    c->weights[0] = 1.0;
    c->knots[0] = c->knots[1] = u;
    return c;
}

}  // namespace geomedit

namespace {

// Maps the knots of c linearly from its domain onto [a, b].
void mapDomain(RatBSplCurve* c, double a, double b)
{
    const double a0 = geomedit::domainStart(c);
    const double b0 = geomedit::domainEnd(c);
    for (int i = 0; i < c->noPoints; ++i) {
        const double lambda = (c->knots[i] - a0) / (b0 - a0);
        c->knots[i] = (1.0 - lambda) * a + lambda * b;
    }
}

bool sameKnots(const RatBSplCurve* a, const RatBSplCurve* b)
{
    if (a->ord != b->ord || a->noPoints != b->noPoints)
        return false;
    for (int i = 0; i < a->noPoints; ++i)
        if (std::fabs(a->knots[i] - b->knots[i]) > kMergeEps)
            return false;
    return true;
}

}  // namespace

int ratBSplCurveMakeCompatible(RatBSplCurve** first, RatBSplCurve** second)
{
    if (!first || !second || !*first || !*second)
        return 0;
    if ((*first)->isPeriodic || (*second)->isPeriodic) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLinePeriodic);
        return 0;
    }
    if (!geomedit::usable(*first) || !geomedit::usable(*second) ||
        !(geomedit::domainEnd(*first) > geomedit::domainStart(*first)) ||
        !(geomedit::domainEnd(*second) > geomedit::domainStart(*second))) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLinePeriodic);
        return 0;
    }
    if ((*first)->ord < (*second)->ord) {
        if (!ratBSplCurveElevateDegree(first, (*second)->ord - 1))
            return 0;
    } else if ((*second)->ord < (*first)->ord) {
        if (!ratBSplCurveElevateDegree(second, (*first)->ord - 1))
            return 0;
    }

    RatBSplCurve* c1 = *first;
    RatBSplCurve* c2 = *second;
    const double a1 = geomedit::domainStart(c1), b1 = geomedit::domainEnd(c1);
    const double a2 = geomedit::domainStart(c2), b2 = geomedit::domainEnd(c2);
    int result;
    if (b2 - a2 < b1 - a1) {
        mapDomain(c2, a1, b1);
        result = 1;
    } else {
        mapDomain(c1, a2, b2);
        result = 2;
    }

    // Both knot vectors bound the merge: an index past either one would be
    // read from outside its array.
    for (int i = (*first)->ord; i < (*first)->noPoints && i < (*second)->noPoints; ++i) {
        const double k1 = (*first)->knots[i];
        const double k2 = (*second)->knots[i];
        if (std::fabs(k1 - k2) <= kMergeEps)
            continue;
        const int ok = k2 > k1 ? ratBSplCurveInsertKnot(second, k1) : ratBSplCurveInsertKnot(first, k2);
        if (!ok)
            return 0;
    }
    // The merge equalises knots from the order on; knot vectors that still
    // differ (unclamped starts, a failed tail) are not compatible.
    if (!sameKnots(*first, *second)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineNotMerged);
        return 0;
    }
    std::memcpy((*second)->knots, (*first)->knots, sizeof(double) * (*first)->noPoints);
    return result;
}
