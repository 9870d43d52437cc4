// Surface knot insertion and the subdivision search for a point's parameters.
#include "geom/geom_surface_refine.h"

#include <cmath>
#include <vector>

namespace {

// The largest order whose new points fit the insertion's local table.
constexpr int kMaxInsertOrder = 29;

// One direction of a net: `a` runs along the refined direction, `b` across.
struct NetDirection {
    bool alongU;

    int order(const RatBSplSurf* s) const { return alongU ? s->ordu : s->ordv; }
    int knotCount(const RatBSplSurf* s) const { return alongU ? s->noPointsu : s->noPointsv; }
    int acrossCount(const RatBSplSurf* s) const { return alongU ? s->noPointsv : s->noPointsu; }
    int acrossLines(const RatBSplSurf* s) const
    {
        return alongU ? s->noPointsv - s->ordv : s->noPointsu - s->ordu;
    }
    double* knots(const RatBSplSurf* s) const { return alongU ? s->knotsu : s->knotsv; }
    int periodic(const RatBSplSurf* s) const { return alongU ? s->periodicu : s->periodicv; }
    long long at(const RatBSplSurf* s, int a, int b) const
    {
        return alongU ? static_cast<long long>(a) * s->noPointsv + b
                      : static_cast<long long>(b) * s->noPointsv + a;
    }
};

bool usable(const RatBSplSurf* s)
{
    return s && s->points && s->weights && s->knotsu && s->knotsv && s->ordu >= 1 && s->ordv >= 1 &&
           s->noPointsu >= 2 * s->ordu && s->noPointsv >= 2 * s->ordv;
}

void copyPoint(const double* from, double* to)
{
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}

// The normalised parameter as a knot value: clamped to the domain, wrapped
// only in a periodic direction.
double knotValue(const double* knots, int count, int order, int periodic, double t)
{
    if (t < -1e-7)
        t = periodic ? t - std::floor(t) : 0.0;
    else if (t > 1.0000001)
        t = periodic ? t - std::floor(t) : 1.0;
    return knots[count - order] * t + (1.0 - t) * knots[order - 1];
}

int insertKnot(RatBSplSurf** pSurface, double t, NetDirection dir)
{
    RatBSplSurf* old = pSurface ? *pSurface : nullptr;
    // An infinite parameter clamps to the domain's end like any other beyond
    // it; in a periodic direction its wrap is no number, which no span holds.
    if (!usable(old))
        return 0;
    const int p = dir.order(old);
    if (p > kMaxInsertOrder)
        return 0;
    const int K = dir.knotCount(old);
    const double* knots = dir.knots(old);
    const int periodic = dir.periodic(old);
    double U = knotValue(knots, K, p, periodic, t);
    const int s = ratBSplCurveFindSpan(knots, K, p, U);
    if (s < p - 1 || s + 1 >= K)
        return 0;
    // The span search answers within a small tolerance of the span's ends
    // (a knot value mapped from a normalised parameter and back may fall
    // just short of itself); the new knot is kept inside its span so the
    // vector stays non-decreasing.
    U = std::fmin(std::fmax(U, knots[s]), knots[s + 1]);

    RatBSplSurf* grown = dir.alongU ? ratBSplSurfCreate(old->ordu, old->ordv, K + 1, old->noPointsv)
                                    : ratBSplSurfCreate(old->ordu, old->ordv, old->noPointsu, K + 1);
    if (!grown)
        return 0;

    // Every old entry, the rows after s one place further on; row s + 1
    // repeats row s until the new points are stored below.
    const int across = dir.acrossCount(old);
    for (int b = 0; b < across; ++b)
        for (int a = 0; a <= K; ++a) {
            const long long from = dir.at(old, a <= s ? a : a - 1, b);
            const long long to = dir.at(grown, a, b);
            copyPoint(old->points[from], grown->points[to]);
            grown->weights[to] = old->weights[from];
        }

    // The p - 1 new homogeneous points of every control line.
    for (int b = 0; b < dir.acrossLines(old); ++b)
        for (int i = s; i >= s - p + 2; --i) {
            const double d = knots[i + p - 1] - knots[i];
            const double alpha = std::fabs(d) >= 1e-12 ? (U - knots[i]) / d : 0.0;
            const long long prev = dir.at(old, i - 1, b);
            const long long cur = dir.at(old, i, b);
            const double wPrev = (1.0 - alpha) * old->weights[prev];
            const double wCur = alpha * old->weights[cur];
            const double w = wPrev + wCur;
            if (std::fabs(w) < 1e-12) {
                // A point at infinity: the refined net could not stand for the
                // same surface, so the caller keeps the old one.
                geomReportError(GEOM_ERR_DIVISOR, GEOM_FILE_SURFACE, GEOM_SITE_INSERT_WEIGHT);
                ratBSplSurfFree(grown);
                return 0;
            }
            const long long to = dir.at(grown, i, b);
            for (int k = 0; k < 3; ++k)
                grown->points[to][k] = (wPrev * old->points[prev][k] + wCur * old->points[cur][k]) / w;
            grown->weights[to] = w;
        }

    const double* acrossKnots = dir.alongU ? old->knotsv : old->knotsu;
    double* newAcross = dir.alongU ? grown->knotsv : grown->knotsu;
    for (int b = 0; b < across; ++b)
        newAcross[b] = acrossKnots[b];
    double* newKnots = dir.knots(grown);
    for (int a = 0; a <= K; ++a)
        newKnots[a] = a <= s ? knots[a] : (a == s + 1 ? U : knots[a - 1]);

    grown->isRational = old->isRational;
    grown->periodicu = old->periodicu;
    grown->periodicv = old->periodicv;
    grown->origFormu = old->origFormu;
    grown->origFormv = old->origFormv;
    grown->periodu = old->periodu;
    grown->periodv = old->periodv;
    grown->knotRangeu = old->knotRangeu;
    grown->knotRangev = old->knotRangev;
    grown->multPtsu = old->multPtsu;
    grown->multPtsv = old->multPtsv;
    grown->tolerance = old->tolerance;
    grown->isOffsetSurf = old->isOffsetSurf;
    grown->offset = old->offset;
    grown->nrmOri = old->nrmOri;
    // Only the refined direction gains a point per period.
    int& period = dir.alongU ? grown->periodu : grown->periodv;
    ++period;

    if (periodic) {
        // Keep the wrapped copies at both ends equal to the points and knots
        // they repeat, one period away.
        const int m = period;
        const double R = dir.alongU ? grown->knotRangeu : grown->knotRangev;
        const int lines = dir.acrossLines(grown);
        auto copyRow = [&](int to, int from) {
            for (int b = 0; b < lines; ++b) {
                copyPoint(grown->points[dir.at(grown, from, b)], grown->points[dir.at(grown, to, b)]);
                grown->weights[dir.at(grown, to, b)] = grown->weights[dir.at(grown, from, b)];
            }
        };
        if (m > 0) {
            for (int i = s + 1 - m; i >= 0; --i) {
                if (i + m > K)
                    continue;
                copyRow(i, i + m);
                newKnots[i] = newKnots[i + m] - R;
            }
            for (int i = s - (p - 2) + m; i <= K; ++i) {
                if (i - m < 0)
                    continue;
                if (i < K + 1 - p)
                    copyRow(i, i - m);
                newKnots[i] = newKnots[i - m] + R;
            }
        }
    }

    ratBSplSurfFree(old);
    *pSurface = grown;
    return 1;
}

// Coordinates beyond this are no part of a surface: there the search's
// margin of 0.001 lies below what doubles resolve, and its boxes could hold
// the point at every scale.
constexpr double kLargestCoordinate = 1e12;
// The subdivision search's work, in samples and in control entries of the
// refined copy, per entry of the given net (small nets count as this many).
constexpr long long kLocateSamplesPerEntry = 64, kLocateGrowth = 4, kLocateSmallNet = 10000;

// A record the subdivision search can refine: sorted finite knots, and a
// control net of finite points within kLargestCoordinate and finite weights.
bool canBeLocated(const RatBSplSurf* s)
{
    if (!ratBSplSurfHasSpans(s))
        return false;
    for (int i = 0; i < s->noPointsu - s->ordu; ++i)
        for (int j = 0; j < s->noPointsv - s->ordv; ++j) {
            const long long at = static_cast<long long>(i) * s->noPointsv + j;
            if (!std::isfinite(s->weights[at]))
                return false;
            for (int k = 0; k < 3; ++k)
                if (!(std::fabs(s->points[at][k]) <= kLargestCoordinate))
                    return false;
        }
    return true;
}

void spanBox(const RatBSplSurf* s, int i, int j, double* lo, double* hi)
{
    for (int k = 0; k < 3; ++k) {
        lo[k] = 1e300;
        hi[k] = -1e300;
    }
    for (int a = i - s->ordu + 1; a <= i; ++a)
        for (int b = j - s->ordv + 1; b <= j; ++b)
            updateBox(s->points[static_cast<long long>(a) * s->noPointsv + b], lo, hi);
}

bool insideWidened(const double* p, const double* lo, const double* hi)
{
    for (int k = 0; k < 3; ++k)
        if (p[k] < lo[k] - 0.001 || p[k] > hi[k] + 0.001)
            return false;
    return true;
}

// Span parameter for the samples: midpoint of a flagged span, else its start,
// normalised over the domain.
double spanSample(const double* knots, int order, double domain, int span, bool flagged)
{
    const double value = flagged ? 0.5 * (knots[span] + knots[span + 1]) : knots[span];
    return (value - knots[order - 1]) / domain;
}

} // namespace

int ratBSplSurfInsertKnotU(RatBSplSurf** surface, double u)
{
    return insertKnot(surface, u, NetDirection{true});
}

int ratBSplSurfInsertKnotV(RatBSplSurf** surface, double v)
{
    return insertKnot(surface, v, NetDirection{false});
}

int ratBSplSurfInsertKnotUV(RatBSplSurf** surface, double u, double v)
{
    if (!surface || !*surface || (*surface)->ordu > kMaxInsertOrder || (*surface)->ordv > kMaxInsertOrder)
        return 0;
    ratBSplSurfInsertKnotU(surface, u);
    ratBSplSurfInsertKnotV(surface, v);
    return 0;
}

int ratBSplSurfLocatePoint(RatBSplSurf* surface, GeomPoint point, double* outU, double* outV)
{
    if (!surface)
        return 0;
    RatBSplSurf* work = usable(surface) && canBeLocated(surface) ? ratBSplSurfCopy(surface) : nullptr;
    if (!work) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, GEOM_SITE_LOCATE_COPY);
        return 0;
    }
    if (work->noPointsu >= GEOM_LOCATE_MAX_KNOTS) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, GEOM_SITE_LOCATE_KNOTS_U);
        ratBSplSurfFree(work);
        return 0;
    }
    if (work->noPointsv >= GEOM_LOCATE_MAX_KNOTS) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, GEOM_SITE_LOCATE_KNOTS_V);
        ratBSplSurfFree(work);
        return 0;
    }
    const double p[3] = {point.x, point.y, point.z};
    const double domainU = work->knotsu[work->noPointsu - work->ordu] - work->knotsu[work->ordu - 1];
    const double domainV = work->knotsv[work->noPointsv - work->ordv] - work->knotsv[work->ordv - 1];
    double best = 1e10;
    // A surface refines only where its boxes hold the point, a few spans a
    // pass; a net whose boxes keep holding it everywhere (folded on itself
    // at every scale) would double on every pass. The work may grow with
    // the net, to many times what any surface needs, and no further.
    const long long entries = static_cast<long long>(work->noPointsu) * work->noPointsv;
    const long long sampleBudget = kLocateSamplesPerEntry * (entries + kLocateSmallNet);
    const long long netLimit = kLocateGrowth * (entries + kLocateSmallNet);
    long long samples = 0;
    // The span flags live in tables of a fixed size; refinement stops before
    // a direction would outgrow them.
    std::vector<char> flagU(GEOM_LOCATE_SPAN_TABLE), flagV(GEOM_LOCATE_SPAN_TABLE);
    bool searching = domainU > 0.0 && domainV > 0.0;
    for (int pass = 0; searching && pass < 100; ++pass) {
        std::fill(flagU.begin(), flagU.end(), 0);
        std::fill(flagV.begin(), flagV.end(), 0);
        const int lastU = work->noPointsu - work->ordu;
        const int lastV = work->noPointsv - work->ordv;
        bool any = false;
        for (int i = work->ordu - 1; i < lastU; ++i)
            for (int j = work->ordv - 1; j < lastV; ++j) {
                double lo[3], hi[3];
                spanBox(work, i, j, lo, hi);
                if (!insideWidened(p, lo, hi))
                    continue;
                flagU[i] = std::fabs(work->knotsu[i + 1] - work->knotsu[i]) >= 1e-12;
                flagV[j] = std::fabs(work->knotsv[j + 1] - work->knotsv[j]) >= 1e-12;
                any = any || flagU[i] || flagV[j];
            }
        if (!any)
            break;
        long long passSamples = 0;
        for (int i = work->ordu - 1; i < lastU; ++i)
            for (int j = work->ordv - 1; j < lastV; ++j)
                passSamples += (flagU[i] || flagV[j]) ? 1 : 0;
        samples += passSamples;
        if (samples > sampleBudget)
            break;

        for (int i = work->ordu - 1; i < lastU && searching; ++i)
            for (int j = work->ordv - 1; j < lastV; ++j) {
                if (!flagU[i] && !flagV[j])
                    continue;
                const double su = spanSample(work->knotsu, work->ordu, domainU, i, flagU[i]);
                const double sv = spanSample(work->knotsv, work->ordv, domainV, j, flagV[j]);
                const GeomPoint q = ratBSplSurfEvalPoint(surface, su, sv);
                const double d = std::sqrt((q.x - p[0]) * (q.x - p[0]) + (q.y - p[1]) * (q.y - p[1]) +
                                           (q.z - p[2]) * (q.z - p[2]));
                if (d < 0.001) {
                    *outU = su;
                    *outV = sv;
                    best = d;
                    searching = false;
                    break;
                }
                if (d < best) {
                    *outU = su;
                    *outV = sv;
                    best = d;
                }
            }
        if (!searching)
            break;

        auto netFull = [&]() {
            return static_cast<long long>(work->noPointsu + 1) * (work->noPointsv + 1) > netLimit;
        };
        for (int i = lastU - 1; i >= work->ordu - 1 && searching; --i) {
            if (!flagU[i])
                continue;
            if (work->noPointsu + 1 >= GEOM_LOCATE_SPAN_TABLE || netFull() ||
                !ratBSplSurfInsertKnotU(&work, spanSample(work->knotsu, work->ordu, domainU, i, true)))
                searching = false;
        }
        for (int j = lastV - 1; j >= work->ordv - 1 && searching; --j) {
            if (!flagV[j])
                continue;
            if (work->noPointsv + 1 >= GEOM_LOCATE_SPAN_TABLE || netFull() ||
                !ratBSplSurfInsertKnotV(&work, spanSample(work->knotsv, work->ordv, domainV, j, true)))
                searching = false;
        }
    }
    ratBSplSurfFree(work);
    if (best > 0.075)
        geomReportError(GEOM_ERR_NO_CONVERGE, GEOM_FILE_SURFACE, GEOM_SITE_LOCATE_MISSED);
    return 0;
}
