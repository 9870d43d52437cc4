// Trimming, sub-curves, splitting and moving the seam. Every cut raises the
// cutting parameter to full multiplicity, so that the curve passes through a
// control point there, and copies the wanted entries into a new record.
#include "geom/geom_curve_edit.h"
#include "geom/curve_edit_util.h"

#include <cmath>

using namespace geomedit;

namespace {

enum {
    kLineTrimPoint = 4606,
    kLineTrimAlloc = 4700,
    kLineSubAlloc = 5410,
    kLineSplitCopy = 5639,
    kLineSplitEnd = 5693,
    kLineSplitAlloc = 5783,
    kLineSplitArgument = 5601,
    kLineShiftAlloc = 5932,
    kLineShiftInconsistent = 5911
};

const double kPeriodicGap = 1e-5;
const double kSeamTol = 0.0005;

enum TrimOutcome { kTrimFailed, kTrimDone, kTrimWhole };

double dist3(const double* a, const double* b)
{
    const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// Result flags of a cut: never periodic or closed, the rest of a new record.
void setCutFlags(RatBSplCurve* c, const RatBSplCurve* from)
{
    c->isRational = from->isRational;
    c->origForm = from->origForm;
}

void replace(RatBSplCurve** curve, RatBSplCurve* by)
{
    ratBSplCurveFree(*curve);
    *curve = by;
}

// The last index before the run of u (side 1) or the last index of the run
// (side 0), or -1.
int cutIndex(const RatBSplCurve* c, double u, int side)
{
    const double* K = c->knots;
    for (int i = c->ord - 1; i <= c->noPoints - c->ord - 1; ++i) {
        if (!(K[i] <= u && u <= K[i + 1]))
            continue;
        if (side == GEOM_TRIM_KEEP_BEFORE ? std::fabs(K[i] - u) >= kKnotSnap
                                          : std::fabs(K[i + 1] - u) >= kKnotSnap)
            return i;
    }
    return -1;
}

// The part before the cut index j (side 1) or after it (side 0).
RatBSplCurve* copyPart(const RatBSplCurve* c, int j, int side)
{
    const int k = c->ord;
    if (side == GEOM_TRIM_KEEP_BEFORE) {
        RatBSplCurve* r = ratBSplCurveCreate(k, j + k + 1);
        if (!r)
            return nullptr;
        copyEntries(r, 0, c, 0, j + 1);
        for (int i = j + 1; i <= j + k; ++i)
            r->knots[i] = c->knots[i];
        setCutFlags(r, c);
        return r;
    }
    const int n = c->noPoints - j + k - 1;
    RatBSplCurve* r = ratBSplCurveCreate(k, n);
    if (!r)
        return nullptr;
    copyEntries(r, 0, c, j - k + 1, n);
    setCutFlags(r, c);
    return r;
}

TrimOutcome trim(RatBSplCurve** curve, double u, int side)
{
    RatBSplCurve* c = *curve;
    u = snapToKnot(c, u);
    const int k = c->ord;
    if ((side == GEOM_TRIM_KEEP_BEFORE && std::fabs(u - domainStart(c)) < kKnotSnap) ||
        (side != GEOM_TRIM_KEEP_BEFORE && std::fabs(u - domainEnd(c)) < kKnotSnap)) {
        const int at = side == GEOM_TRIM_KEEP_BEFORE ? 0 : c->noPoints - k - 1;
        RatBSplCurve* p = makePointCurve(c->points[at], u);
        if (!p) {
            geomReportError(GEOM_ERR_ALLOC, GEOM_FILE_CURVE, kLineTrimPoint);
            return kTrimFailed;
        }
        replace(curve, p);
        return kTrimDone;
    }
    if (!raiseToFullMultiplicity(curve, u))
        return kTrimFailed;
    c = *curve;
    const int j = cutIndex(c, u, side);
    if (j < 0)
        return kTrimFailed;
    // At a clamped end the kept part is the whole curve: nothing to cut.
    if ((side != GEOM_TRIM_KEEP_BEFORE && j <= k - 1) ||
        (side == GEOM_TRIM_KEEP_BEFORE && j >= c->noPoints - k))
        return kTrimWhole;
    RatBSplCurve* r = copyPart(c, j, side);
    if (!r) {
        geomReportError(GEOM_ERR_ALLOC, GEOM_FILE_CURVE, kLineTrimAlloc);
        return kTrimFailed;
    }
    replace(curve, r);
    return kTrimDone;
}

// A cut end on the domain end is the start. Outside the domain only a
// periodic curve's parameter is wrapped by its period; a closed curve's
// stays where it is, and the knot insertion refuses it.
double seamParameter(const RatBSplCurve* c, double u, double range, bool periodic)
{
    const double a = domainStart(c), b = domainEnd(c);
    if (periodic && range > 0.0 && (u < a - kKnotSnap || u > b + kKnotSnap)) {
        u = a + std::fmod(u - a, range);
        if (u < a - kKnotSnap)
            u += range;
    }
    if (std::fabs(u - b) < kKnotSnap)
        u = a;
    return u;
}

// The last index before the run of u, or 0 when the run starts the knot
// vector. u has been raised to full multiplicity, so its run is there to be
// found with the snapping tolerance that built it; a wider one would stop
// at a knot just below u and cut the curve there instead.
int seamIndex(const RatBSplCurve* c, double u)
{
    for (int i = 0; i < c->noPoints - 1; ++i)
        if (c->knots[i] - kKnotSnap <= u && u <= c->knots[i + 1] + kKnotSnap)
            return i;
    return -1;
}

// The part from u1 to u2 of a curve whose end continues into its start:
// entries after the seam are copies of the first ones moved by D in space
// and by R in parameter. `overlap` entries at the start repeat the end ones
// and are skipped when wrapping.
int cutAcrossSeam(RatBSplCurve** curve, double u1, double u2, bool periodic)
{
    RatBSplCurve* c = *curve;
    const int k = c->ord;
    const int overlap = periodic ? k - c->multPts : 0;
    const double range = periodic ? c->knotRange : domainEnd(c) - domainStart(c);
    if (!(range > 0.0) || overlap < 0 || overlap >= c->noPoints - k)
        return 0;
    u1 = seamParameter(c, u1, range, periodic);
    u2 = seamParameter(c, u2, range, periodic);
    u1 = snapToKnot(c, u1);
    if (!raiseToFullMultiplicity(curve, u1))
        return 0;
    u2 = snapToKnot(*curve, u2);
    if (!raiseToFullMultiplicity(curve, u2))
        return 0;
    c = *curve;
    const int K = c->noPoints;
    const int m = K - k;
    int i1 = seamIndex(c, u1);
    const int i2 = seamIndex(c, u2);
    if (i1 < 0 || i2 < 0)
        return 0;
    if (i1 == 0 && !periodic)
        i1 = -1;
    double D[3] = {0.0, 0.0, 0.0};
    if (periodic) {
        if (c->period < 0 || c->period >= K)
            return 0;
        // With no overlap the repetition of the first point lies past the
        // control polygon; such a curve repeats its points unmoved.
        if (c->period < m)
            for (int d = 0; d < 3; ++d)
                D[d] = c->points[c->period][d] - c->points[0][d];
    } else {
        for (int d = 0; d < 3; ++d)
            D[d] = c->points[m - 1][d] - c->points[0][d];
    }

    int n;
    if (i1 < i2)
        n = i2 + k - i1;
    else if (i1 == i2)
        n = periodic ? K - overlap : K;
    else
        n = periodic ? K - i1 + i2 - overlap : K - i1 + i2;
    if (n < 2 * k || (i1 < i2 && i1 + 1 + n > K))
        return 0;
    RatBSplCurve* r = ratBSplCurveCreate(k, n);
    if (!r) {
        geomReportError(GEOM_ERR_ALLOC, GEOM_FILE_CURVE, kLineSubAlloc);
        return 0;
    }
    if (i1 < i2) {
        copyEntries(r, 0, c, i1 + 1, n);
    } else {
        // Entries to the end of the control polygon, then the wrapped ones,
        // then the knots that close the last span; never past n.
        int out = 0;
        for (int i = i1 + 1; i < m && out < n; ++i, ++out)
            copyEntries(r, out, c, i, 1);
        for (int i = overlap; out < n && i < K; ++i, ++out) {
            copyEntries(r, out, c, i, 1);
            for (int d = 0; d < 3; ++d)
                r->points[out][d] += D[d];
            r->knots[out] += range;
        }
        // knot + range need not reach the seam's value in floating point;
        // the copied knots must not fall below the ones before them.
        for (int i = 1; i < n; ++i)
            if (r->knots[i] < r->knots[i - 1])
                r->knots[i] = r->knots[i - 1];
    }
    setCutFlags(r, c);
    replace(curve, r);
    return 1;
}

// Runs a cut on a copy and hands the copy over only when the cut succeeds:
// a cut that fails half-way (one end trimmed, an insertion made) leaves the
// caller's curve as it was.
template <typename Cut>
int onCopy(RatBSplCurve** curve, Cut cut)
{
    RatBSplCurve* work = ratBSplCurveCopy(*curve);
    if (!work)
        return 0;
    if (!cut(&work)) {
        ratBSplCurveFree(work);
        return 0;
    }
    replace(curve, work);
    return 1;
}

int subCurve(RatBSplCurve** curve, double u1, double u2)
{
    RatBSplCurve* c = *curve;
    if (c->isPeriodic) {
        const bool open = c->isPeriodic == 1 && c->period >= 0 && c->period < c->noPoints &&
                          dist3(c->points[0], c->points[c->period]) > kPeriodicGap &&
                          std::fabs(u1 - u2) > 0.001;
        if (!open)
            return cutAcrossSeam(curve, u1, u2, true);
        c->isPeriodic = 0;
    }
    if (c->isClosed && std::fabs(u2 - domainStart(c)) < kSeamTol)
        u2 = domainEnd(c);
    const double lo = u2 >= u1 ? u1 : u2;
    const double hi = u2 >= u1 ? u2 : u1;
    if (trim(curve, lo, GEOM_TRIM_KEEP_AFTER) == kTrimFailed)
        return 0;
    // The part after lo is empty (a point curve): nothing is left to cut.
    if ((*curve)->ord == 1 && (*curve)->noPoints == 2)
        return 1;
    if (trim(curve, hi, GEOM_TRIM_KEEP_BEFORE) == kTrimFailed)
        return 0;
    (*curve)->isClosed = 0;
    (*curve)->isPeriodic = 0;
    return 1;
}

}  // namespace

int ratBSplCurveTrim(RatBSplCurve** curve, double u, int side)
{
    if (!curve || !usable(*curve) || (*curve)->isPeriodic)
        return 0;
    return onCopy(curve, [&](RatBSplCurve** c) { return trim(c, u, side) == kTrimDone; });
}

int ratBSplCurveSubCurve(RatBSplCurve** curve, double u1, double u2)
{
    if (!curve || !usable(*curve))
        return 0;
    return onCopy(curve, [&](RatBSplCurve** c) { return subCurve(c, u1, u2); });
}

int ratBSplCurveSubCurveClosed(RatBSplCurve** curve, double u1, double u2)
{
    if (!curve || !usable(*curve) || (*curve)->isPeriodic)
        return 0;
    return onCopy(curve, [&](RatBSplCurve** c) { return cutAcrossSeam(c, u1, u2, false); });
}

int ratBSplCurveSubCurvePeriodic(RatBSplCurve** curve, double u1, double u2)
{
    if (!curve || !usable(*curve) || !(*curve)->isPeriodic)
        return 0;
    return onCopy(curve, [&](RatBSplCurve** c) { return cutAcrossSeam(c, u1, u2, true); });
}

int ratBSplCurveSplit(RatBSplCurve* curve, double t, RatBSplCurve** first, RatBSplCurve** second)
{
    if (first)
        *first = nullptr;
    if (second)
        *second = nullptr;
    if (!first || !second || !usable(curve))
        return 0;
    // A NaN names no place on the curve. A t outside [0, 1] is not moved
    // onto an end: it maps outside the domain, where the knot insertion
    // refuses it.
    if (curve->isPeriodic || std::isnan(t)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineSplitArgument);
        return 0;
    }
    RatBSplCurve* work = ratBSplCurveCopy(curve);
    if (!work) {
        geomReportError(GEOM_ERR_ALLOC, GEOM_FILE_CURVE, kLineSplitCopy);
        return 0;
    }
    const double a = domainStart(work), b = domainEnd(work);
    const double u = snapToKnot(work, (1.0 - t) * a + t * b);
    RatBSplCurve* p1 = nullptr;
    RatBSplCurve* p2 = nullptr;
    int line = kLineSplitEnd;
    if (std::fabs(u - a) < kKnotSnap) {
        p1 = makePointCurve(work->points[0], u);
        p2 = ratBSplCurveCopy(work);
    } else if (std::fabs(u - b) < kKnotSnap) {
        p1 = ratBSplCurveCopy(work);
        p2 = makePointCurve(work->points[work->noPoints - work->ord - 1], u);
    } else {
        line = kLineSplitAlloc;
        if (!raiseToFullMultiplicity(&work, u)) {
            ratBSplCurveFree(work);
            return 0;
        }
        const int j1 = cutIndex(work, u, GEOM_TRIM_KEEP_BEFORE);
        const int j2 = cutIndex(work, u, GEOM_TRIM_KEEP_AFTER);
        if (j1 < 0 || j2 < 0) {
            ratBSplCurveFree(work);
            return 0;
        }
        p1 = copyPart(work, j1, GEOM_TRIM_KEEP_BEFORE);
        p2 = copyPart(work, j2, GEOM_TRIM_KEEP_AFTER);
    }
    ratBSplCurveFree(work);
    if (!p1 || !p2) {
        ratBSplCurveFree(p1);
        ratBSplCurveFree(p2);
        geomReportError(GEOM_ERR_ALLOC, GEOM_FILE_CURVE, line);
        return 0;
    }
    *first = p1;
    *second = p2;
    return 1;
}

int ratBSplCurveShiftSeam(RatBSplCurve** curve, int shift)
{
    if (!curve || !*curve || !(*curve)->isPeriodic || shift == 0)
        return 1;
    const RatBSplCurve* c = *curve;
    const int k = c->ord;
    const int m = c->noPoints - k;
    const int overlap = k - c->multPts;
    const int period = c->period;
    // The entries wrap by the period; a description in which they do not
    // fit the arrays is refused instead of being read past their ends.
    if (!usable(c) || period < 1 || overlap < 0 || period + overlap != m) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineShiftInconsistent);
        return 0;
    }
    shift %= period;
    if (shift == 0)
        return 1;
    RatBSplCurve* r = ratBSplCurveCreate(k, c->noPoints);
    if (!r) {
        geomReportError(GEOM_ERR_ALLOC, GEOM_FILE_CURVE, kLineShiftAlloc);
        return 0;
    }
    const double R = c->knotRange;
    for (int j = 0; j < m; ++j) {
        // Entry j of the new curve is entry j + shift of the periodic
        // extension of the old one.
        int from = j + shift;
        double dk = 0.0;
        if (from < 0) {
            from += period;
            dk = -R;
        } else if (from >= m) {
            from -= period;
            dk = R;
        }
        copyEntries(r, j, c, from, 1);
        r->knots[j] += dk;
    }
    for (int i = m; i < c->noPoints; ++i)
        r->knots[i] = r->knots[i - period] + R;
    r->isRational = c->isRational;
    r->isClosed = c->isClosed;
    r->isPeriodic = c->isPeriodic;
    r->knotRange = c->knotRange;
    r->period = c->period;
    r->multPts = c->multPts;
    r->origForm = c->origForm;
    replace(curve, r);
    return 1;
}
