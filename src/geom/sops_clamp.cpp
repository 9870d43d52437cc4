// Surface clamping, seam copies and sub-surfaces over a parameter window.
#include "geom/geom_surface_refine.h"

#include <algorithm>
#include <cmath>

namespace {

struct SurfHolder {
    RatBSplSurf* surface;
    explicit SurfHolder(RatBSplSurf* s) : surface(s) {}
    ~SurfHolder() { ratBSplSurfFree(surface); }
    RatBSplSurf* release()
    {
        RatBSplSurf* s = surface;
        surface = nullptr;
        return s;
    }
    SurfHolder(const SurfHolder&) = delete;
    SurfHolder& operator=(const SurfHolder&) = delete;
};

void copyPoint(const double* from, double* to)
{
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}

long long entry(const RatBSplSurf* s, int i, int j)
{
    return static_cast<long long>(i) * s->noPointsv + j;
}

// A result stands for the same face as its source: its normal points the same
// way and it keeps the source's offset, whatever the copies and transposes on
// the way reset.
RatBSplSurf* keepOrientation(RatBSplSurf* result, const RatBSplSurf* source)
{
    if (result) {
        result->nrmOri = source->nrmOri;
        result->offset = source->offset;
        result->isOffsetSurf = source->isOffsetSurf;
    }
    return result;
}

bool usable(const RatBSplSurf* s)
{
    return s && s->points && s->weights && s->knotsu && s->knotsv && s->ordu >= 1 && s->ordv >= 1 &&
           s->noPointsu >= 2 * s->ordu && s->noPointsv >= 2 * s->ordv;
}

// Drops `first` control rows (and u-knots) at the start and `last` at the end,
// in place; the arrays keep their size.
void dropRows(RatBSplSurf* s, int first, int last)
{
    const int n = s->noPointsu;
    for (int i = first; i < n; ++i) {
        s->knotsu[i - first] = s->knotsu[i];
        for (int j = 0; j < s->noPointsv; ++j) {
            copyPoint(s->points[entry(s, i, j)], s->points[entry(s, i - first, j)]);
            s->weights[entry(s, i - first, j)] = s->weights[entry(s, i, j)];
        }
    }
    s->noPointsu = n - first - last;
}

// Knots of a closed direction repeated three times: the original in the middle,
// one domain length before and after.
void tripleKnots(const double* old, int n, int ord, bool joined, double* out)
{
    const int c = n - ord;
    const double L = old[n - ord] - old[ord - 1];
    // A knot shifted by the domain's length need not land exactly on the
    // domain's other end in floating point: the shifted copies are kept on
    // their side of it, so the knots never decrease.
    const double a = old[ord - 1], b = old[n - ord];
    if (joined) {
        for (int k = 0; k < n - 2; ++k)
            out[c + k] = old[1 + k];
        for (int i = 0; i < c; ++i) {
            out[i] = std::min(old[i] - L, a);
            out[i + c + n - 2] = std::max(old[i + ord] + L, b);
        }
    } else {
        for (int k = 0; k < n; ++k)
            out[c + k] = old[k];
        for (int i = 0; i < c; ++i) {
            out[i] = std::min(old[i] - L, a);
            out[i + 2 * n - ord] = std::max(old[i + ord] + L, b);
        }
    }
}

// Which source line a line of the repeated net copies. A joined direction of
// one line (order 1) has that line alone: 3 - 2 lines.
int tripledSource(int index, int count, bool joined)
{
    if (!joined)
        return index % count;
    if (index < count)
        return index;
    return 1 + (index - count) % (count - 1);
}

bool clampedEnds(const double* k, int n, int p)
{
    for (int i = 0; i <= p - 2; ++i)
        if (k[i] != k[p - 1] || k[n - 1 - i] != k[n - p])
            return false;
    return true;
}

RatBSplSurf* tripleClamped(const RatBSplSurf* s, bool tu, bool tv, bool joined)
{
    const int nu = s->noPointsu, nv = s->noPointsv;
    const int cu = nu - s->ordu, cv = nv - s->ordv;
    const int extra = joined ? 2 : 0;
    const int newNu = tu ? 3 * nu - 2 * s->ordu - extra : nu;
    const int newNv = tv ? 3 * nv - 2 * s->ordv - extra : nv;
    RatBSplSurf* t = ratBSplSurfCreate(s->ordu, s->ordv, newNu, newNv);
    if (!t)
        return nullptr;
    t->isRational = s->isRational;
    if (tu)
        tripleKnots(s->knotsu, nu, s->ordu, joined, t->knotsu);
    else
        for (int i = 0; i < nu; ++i)
            t->knotsu[i] = s->knotsu[i];
    if (tv)
        tripleKnots(s->knotsv, nv, s->ordv, joined, t->knotsv);
    else
        for (int j = 0; j < nv; ++j)
            t->knotsv[j] = s->knotsv[j];
    const int rows = tu ? 3 * cu - (joined ? 2 : 0) : cu;
    const int cols = tv ? 3 * cv - (joined ? 2 : 0) : cv;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            const int si = tu ? tripledSource(i, cu, joined) : i;
            const int sj = tv ? tripledSource(j, cv, joined) : j;
            copyPoint(s->points[entry(s, si, sj)], t->points[entry(t, i, j)]);
            t->weights[entry(t, i, j)] = s->weights[entry(s, si, sj)];
        }
    return t;
}

RatBSplSurf* triple(const RatBSplSurf* s, bool joined)
{
    if (!usable(s) || s->periodicu || s->periodicv)
        return nullptr;
    const bool tu = s->origFormu == 2;
    const bool tv = s->origFormv == 2;
    if (!tu && !tv)
        return nullptr;
    // Copies shifted by the domain's length continue each other only where
    // the ends are clamped: an unclamped closed direction is clamped first
    // (its shape on the domain stays), else its knots would decrease.
    const RatBSplSurf* source = s;
    SurfHolder clamped(nullptr);
    if (tu && !clampedEnds(s->knotsu, s->noPointsu, s->ordu)) {
        clamped.surface = ratBSplSurfClampU(s);
        if (!clamped.surface)
            return nullptr;
        source = clamped.surface;
    }
    if (tv && !clampedEnds(source->knotsv, source->noPointsv, source->ordv)) {
        SurfHolder t(ratBSplSurfTranspose(source));
        SurfHolder tc(t.surface ? ratBSplSurfClampU(t.surface) : nullptr);
        RatBSplSurf* back = tc.surface ? ratBSplSurfTranspose(tc.surface) : nullptr;
        if (!back)
            return nullptr;
        ratBSplSurfFree(clamped.release());
        clamped.surface = back;
        source = back;
    }
    return keepOrientation(tripleClamped(source, tu, tv, joined), s);
}

// A window end beyond the domain: kept at the domain's end, or marks a window
// across the seam of a closed-form direction.
void fitEndToDomain(double& value, double limit, bool beyond, bool closedForm, bool& crossing)
{
    if (!beyond)
        return;
    if (closedForm && std::fabs(value - limit) >= 1e-6)
        crossing = true;
    else
        value = limit;
}

// Snaps a window end to a knot within 0.01 so that the window never shrinks.
double snapStart(const double* knots, int from, int to, double value)
{
    for (int i = from; i <= to; ++i)
        if (std::fabs(knots[i] - value) <= 0.01)
            return knots[i] <= value ? knots[i] : (i > 0 ? knots[i - 1] : knots[i]);
    return value;
}

double snapEnd(const double* knots, int from, int to, int count, double value)
{
    for (int i = to; i >= from; --i)
        if (std::fabs(knots[i] - value) <= 0.01)
            return knots[i] >= value ? knots[i] : (i + 1 < count ? knots[i + 1] : knots[i]);
    return value;
}

// Inserts `end` until it has full multiplicity; false when an insertion fails.
bool fullMultiplicity(RatBSplSurf** work, bool alongU, double end)
{
    RatBSplSurf* s = *work;
    const double* knots = alongU ? s->knotsu : s->knotsv;
    const int n = alongU ? s->noPointsu : s->noPointsv;
    const int ord = alongU ? s->ordu : s->ordv;
    const double lo = knots[ord - 1], hi = knots[n - ord];
    int m = 0;
    const int first = findKnotIndex(knots, n, end, 1e-6);
    if (first >= 0)
        for (int k = first; k < n && k < first + ord; ++k)
            if (std::fabs(knots[k] - end) <= 1e-6)
                ++m;
    const double t = (end - lo) / (hi - lo);
    for (int k = m; k < ord; ++k) {
        const int ok = alongU ? ratBSplSurfInsertKnotU(work, t) : ratBSplSurfInsertKnotV(work, t);
        if (!ok)
            return false;
    }
    return true;
}

int firstKnotPlace(const double* knots, int last, double value)
{
    for (int i = 0; i <= last; ++i)
        if (std::fabs(knots[i] - value) <= 1e-12)
            return i;
    return -1;
}

RatBSplSurf* window(const RatBSplSurf* s, double uStart, double vStart, double uEnd, double vEnd, bool joined)
{
    if (!usable(s))
        return nullptr;
    // An end that is no number lies nowhere; an infinite one lies beyond the
    // domain like any other and is fitted to it below (across the seam of a
    // closed form it makes the window infinitely wide, which is refused).
    if (std::isnan(uStart) || std::isnan(vStart) || std::isnan(uEnd) || std::isnan(vEnd))
        return nullptr;
    const double ku0 = s->knotsu[s->ordu - 1], ku1 = s->knotsu[s->noPointsu - s->ordu];
    const double kv0 = s->knotsv[s->ordv - 1], kv1 = s->knotsv[s->noPointsv - s->ordv];
    bool crossing = false;
    fitEndToDomain(uStart, ku0, uStart < ku0, s->origFormu == 2, crossing);
    fitEndToDomain(uEnd, ku1, uEnd > ku1, s->origFormu == 2, crossing);
    fitEndToDomain(vStart, kv0, vStart < kv0, s->origFormv == 2, crossing);
    fitEndToDomain(vEnd, kv1, vEnd > kv1, s->origFormv == 2, crossing);
    if (uEnd - uStart < 0.01 || uEnd - uStart > ku1 - ku0 + 1e-6 || vEnd - vStart < 0.01 ||
        vEnd - vStart > kv1 - kv0 + 1e-6)
        return nullptr;

    RatBSplSurf* copy = crossing ? triple(s, joined) : ratBSplSurfCopy(s);
    SurfHolder work(copy);
    if (!work.surface)
        return nullptr;
    {
        const RatBSplSurf* w = work.surface;
        uStart = snapStart(w->knotsu, w->ordu - 1, w->noPointsu - w->ordu, uStart);
        uEnd = snapEnd(w->knotsu, w->ordu - 1, w->noPointsu - w->ordu, w->noPointsu, uEnd);
        vStart = snapStart(w->knotsv, w->ordv - 1, w->noPointsv - w->ordv, vStart);
        vEnd = snapEnd(w->knotsv, w->ordv - 1, w->noPointsv - w->ordv, w->noPointsv, vEnd);
    }
    if (uEnd - uStart < 0.01 || vEnd - vStart < 0.01)
        return nullptr;
    // A sub-surface cut at an end that is not a full knot would not lie on
    // the surface: a failed insertion refuses the window.
    if (!fullMultiplicity(&work.surface, true, uStart) || !fullMultiplicity(&work.surface, true, uEnd) ||
        !fullMultiplicity(&work.surface, false, vStart) || !fullMultiplicity(&work.surface, false, vEnd))
        return nullptr;

    const RatBSplSurf* w = work.surface;
    const int iS = firstKnotPlace(w->knotsu, w->noPointsu - w->ordu, uStart);
    const int iE = firstKnotPlace(w->knotsu, w->noPointsu - w->ordu, uEnd);
    const int jS = firstKnotPlace(w->knotsv, w->noPointsv - w->ordv, vStart);
    const int jE = firstKnotPlace(w->knotsv, w->noPointsv - w->ordv, vEnd);
    if (iS < 0 || iE < 0 || jS < 0 || jE < 0 || iE <= iS || jE <= jS)
        return nullptr;
    RatBSplSurf* sub = ratBSplSurfCreate(w->ordu, w->ordv, iE - iS + w->ordu, jE - jS + w->ordv);
    if (!sub)
        return nullptr;
    sub->isRational = w->isRational;
    for (int k = 0; k < sub->noPointsu; ++k)
        sub->knotsu[k] = w->knotsu[k + iS];
    for (int k = 0; k < sub->noPointsv; ++k)
        sub->knotsv[k] = w->knotsv[k + jS];
    for (int i = 0; i < iE - iS; ++i)
        for (int j = 0; j < jE - jS; ++j) {
            copyPoint(w->points[entry(w, i + iS, j + jS)], sub->points[entry(sub, i, j)]);
            sub->weights[entry(sub, i, j)] = w->weights[entry(w, i + iS, j + jS)];
        }
    return keepOrientation(sub, s);
}

} // namespace

RatBSplSurf* ratBSplSurfClampU(const RatBSplSurf* surface)
{
    if (!usable(surface))
        return nullptr;
    SurfHolder c(ratBSplSurfCopy(surface));
    if (!c.surface)
        return nullptr;
    const int p = surface->ordu;
    const int n = surface->noPointsu;
    double* k = c.surface->knotsu;
    // The multiplicity of each domain end counts its copies inside the
    // domain too: a start that is also an interior knot needs fewer
    // insertions, and only the knots outside the domain are dropped.
    int ms = 0, me = 0, before = 0, after = 0;
    for (int i = 0; i < n; ++i) {
        ms += std::fabs(k[i] - k[p - 1]) <= 1e-6 ? 1 : 0;
        me += std::fabs(k[i] - k[n - p]) <= 1e-6 ? 1 : 0;
    }
    ms = std::min(ms, p);
    me = std::min(me, p);
    for (int i = 0; i <= p - 2; ++i)
        before += std::fabs(k[i] - k[p - 1]) <= 1e-6 ? 0 : 1;
    for (int i = n - p + 1; i <= n - 1; ++i)
        after += std::fabs(k[i] - k[n - p]) <= 1e-6 ? 0 : 1;
    if (before == 0 && after == 0) {
        for (int i = 0; i <= p - 2; ++i)
            k[i] = k[p - 1];
        for (int i = n - p + 1; i <= n - 1; ++i)
            k[i] = k[n - p];
        return c.release();
    }
    for (int i = ms; i < p; ++i)
        if (!ratBSplSurfInsertKnotU(&c.surface, 0.0))
            return nullptr;
    for (int i = me; i < p; ++i)
        if (!ratBSplSurfInsertKnotU(&c.surface, 1.0))
            return nullptr;
    dropRows(c.surface, before, after);
    c.surface->periodicu = 0;
    c.surface->origFormu = surface->origFormu;
    return c.release();
}

RatBSplSurf* ratBSplSurfClamp(const RatBSplSurf* surface)
{
    SurfHolder u(ratBSplSurfClampU(surface));
    if (!u.surface)
        return nullptr;
    SurfHolder t(ratBSplSurfTranspose(u.surface));
    if (!t.surface)
        return nullptr;
    SurfHolder v(ratBSplSurfClampU(t.surface));
    if (!v.surface)
        return nullptr;
    return keepOrientation(ratBSplSurfTranspose(v.surface), surface);
}

RatBSplSurf* ratBSplSurfTriple(const RatBSplSurf* surface)
{
    return triple(surface, false);
}

RatBSplSurf* ratBSplSurfTripleJoined(const RatBSplSurf* surface)
{
    return triple(surface, true);
}

RatBSplSurf* ratBSplSurfWindow(const RatBSplSurf* surface, double uStart, double vStart, double uEnd,
                               double vEnd)
{
    return window(surface, uStart, vStart, uEnd, vEnd, false);
}

RatBSplSurf* ratBSplSurfWindowJoinedSeam(const RatBSplSurf* surface, double uStart, double vStart,
                                         double uEnd, double vEnd)
{
    return window(surface, uStart, vStart, uEnd, vEnd, true);
}
