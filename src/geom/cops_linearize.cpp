// Adaptive linearisation of a curve within a chord tolerance. The curve is a
// point function of a normalised parameter: a rational B-spline curve, a
// caller's callback, or a curve in a surface's parameter space. Segments that
// miss the tolerance are split into a number of equal parameter steps that
// grows with the logarithm of the excess.
#include "geom/geom_curve_ops.h"
#include "geom/geom_surface.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

const char* const kCurveLinearizerName = "CurveLinearizer";
const char* const kNurbCurveLinearizerName = "NurbCurveLinearizer";

const int kLineLinearizeEvaluator = 1042;
const int kLineNurbCurve = 1635;
const int kLineNurbCurveScaled = 1732;
const int kLineSurfCurve = 1859;
const int kLineSurfCurveParam = 1986;

const int kSamples = 10;
const int kMaxPasses = 20;

// Module-wide slots read by the evaluators while an entry point runs.
RatBSplCurve* currentCurve = nullptr;
RatBSplCurve* paramCurve = nullptr;
RatBSplSurf* paramSurface = nullptr;
double domainUMin = 0.0, domainUMax = 1.0, domainVMin = 0.0, domainVMax = 1.0;
double surfaceOffset = 0.0;
void* callbackContext = nullptr;
CurvePointCallback callbackFn = nullptr;
bool callbackFailed = false;

inline double* zero(double* out)
{
    out[0] = out[1] = out[2] = 0.0;
    return out;
}

inline double dist(const double* a, const double* b)
{
    const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

inline void point(const CurveLinearizer* lin, int i, double* out)
{
    out[0] = lin->x[i];
    out[1] = lin->y[i];
    out[2] = lin->z[i];
}

inline void setPoint(CurveLinearizer* lin, int i, const double* p)
{
    lin->x[i] = p[0];
    lin->y[i] = p[1];
    lin->z[i] = p[2];
}

// Number of points to insert into a segment that misses the tolerance by the
// factor dev / tol: about log2 of the excess plus one. A zero or unusable
// deviation asks for a new measurement instead of reaching the logarithm.
int insertionsFor(double deviation, double tolerance)
{
    const double ratio = deviation / tolerance;
    if (!(ratio > 0.0))
        return -1;
    if (!std::isfinite(ratio))
        return 1100; // more than any finite excess asks for
    return static_cast<int>(std::log10(ratio) / std::log10(2.0) + 1.0);
}

double sampledDeviation(CurveLinearizer* lin, CurveEvaluatorFn eval, double t0, const double* p0, double t1,
                        const double* p1, int m)
{
    if (m <= 1 || !eval)
        return 0.0;
    double worst = 0.0;
    for (int j = 1; j < m; ++j) {
        const double s = static_cast<double>(j) / m;
        double chord[3], onCurve[3];
        for (int k = 0; k < 3; ++k)
            chord[k] = (1.0 - s) * p0[k] + s * p1[k];
        eval(onCurve, (1.0 - s) * t0 + s * t1);
        const double d = dist(chord, onCurve);
        if (d > worst)
            worst = d;
    }
    (void)lin;
    return worst;
}

void mapToSurface(const GeomPoint& p, double* u, double* v)
{
    const double du = domainUMax - domainUMin;
    const double dv = domainVMax - domainVMin;
    *u = du != 0.0 ? (p.x - domainUMin) / du : 0.0;
    *v = dv != 0.0 ? (p.y - domainVMin) / dv : 0.0;
}

// The driver shared by every entry point: refine until the tolerance is met,
// the passes run out or the capacity is reached, then hand out the polyline.
RatBSplCurve* finish(CurveLinearizer* lin, double tolerance, int started, int line, double* maxDeviation)
{
    int last = started;
    for (int pass = 0; pass < kMaxPasses && last > 0; ++pass) {
        if (lin->maxDeviation <= tolerance)
            break;
        last = curveLinearizerRefine(lin);
    }
    if (lin->maxDeviation > tolerance)
        geomReportTolerance(GEOM_FILE_LINEARIZER, line, tolerance, lin->maxDeviation);
    RatBSplCurve* poly = curveLinearizerToCurve(lin);
    if (maxDeviation)
        *maxDeviation = lin->maxDeviation;
    curveLinearizerFree(lin);
    return poly;
}

void setSurfaceSlots(RatBSplCurve* curve, RatBSplSurf* surface, double offset)
{
    paramCurve = curve;
    paramSurface = surface;
    domainUMin = surface->knotsu[surface->ordu - 1];
    domainUMax = surface->knotsu[surface->noPointsu - surface->ordu];
    domainVMin = surface->knotsv[surface->ordv - 1];
    domainVMax = surface->knotsv[surface->noPointsv - surface->ordv];
    if (std::fabs(offset) >= 1e-6)
        surfaceOffset = offset;
}

// A rational B-spline curve by itself: a polyline of order 2 or 1 is its own
// picture; otherwise setCurve chooses the evaluator and deviation.
RatBSplCurve* linearizeCurve(RatBSplCurve* curve, double tolerance, double* maxDeviation,
                             int (*setCurve)(NurbCurveLinearizer*, RatBSplCurve*, double), int line)
{
    if (!curve)
        return nullptr;
    if (curve->ord < 3) {
        if (maxDeviation)
            *maxDeviation = 0.0;
        return ratBSplCurveCopy(curve);
    }
    if (!ratBSplCurveHasSpans(curve)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_LINEARIZER, line);
        return nullptr;
    }
    NurbCurveLinearizer* lin = nurbCurveLinearizerCreate(10000);
    if (!lin)
        return nullptr;
    const int started = setCurve(lin, curve, tolerance);
    if (started)
        nurbCurveLinearizerSeedKnots(lin, tolerance);
    return finish(lin, tolerance, started, line, maxDeviation);
}

// A curve in a surface's parameter space, seeded by the curve's own knots.
// The polyline either follows the surface points of the curve and measures
// chords as usual, or (byParameter) follows the curve in parameter space and
// measures the deviation on the surface.
RatBSplCurve* linearizeOnSurface(RatBSplCurve* curve, RatBSplSurf* surface, double offset, double tolerance,
                                 double* maxDeviation, bool byParameter, int line)
{
    if (!curve || !surface)
        return nullptr;
    if (!ratBSplCurveHasSpans(curve) || !ratBSplSurfHasSpans(surface)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_LINEARIZER, line);
        return nullptr;
    }
    NurbCurveLinearizer* lin = nurbCurveLinearizerCreate(10000);
    if (!lin)
        return nullptr;
    setSurfaceSlots(curve, surface, offset);
    lin->curve = curve;
    const bool useOffset = std::fabs(offset) >= 1e-6;
    CurveEvaluatorFn evaluator = useOffset ? offsetSurfCurveEvalCurrent : surfCurveEvalCurrent;
    CurveDeviationFn deviation = chordDeviation;
    if (byParameter) {
        currentCurve = curve;
        evaluator = nurbCurveEvalCurrent;
        deviation = useOffset ? offsetSurfChordDeviation : surfChordDeviation;
    }
    const int started = curveLinearizerStart(lin, evaluator, deviation, tolerance);
    if (started)
        nurbCurveLinearizerSeedKnots(lin, tolerance);
    RatBSplCurve* poly = finish(lin, tolerance, started, line, maxDeviation);
    // The slots name the caller's records, which may be freed once the call
    // returns: the public evaluators must not reach them afterwards.
    paramCurve = nullptr;
    paramSurface = nullptr;
    if (currentCurve == curve)
        currentCurve = nullptr;
    return poly;
}

// Chord deviation of the segment [t0, t1] of the surface curve eval, whose
// end points are measured afresh on the surface.
double chordDeviationOn(CurveLinearizer* lin, CurveEvaluatorFn eval, double t0, double t1, int m)
{
    double a[3], b[3];
    eval(a, t0);
    eval(b, t1);
    return sampledDeviation(lin, eval, t0, a, t1, b, m);
}

} // namespace

// ---------------------------------------------------------------------------
// Record

void curveLinearizerInit(CurveLinearizer* lin, int capacity)
{
    if (!lin)
        return;
    lin->name = kCurveLinearizerName;
    lin->evaluator = nullptr;
    lin->deviation = nullptr;
    lin->tolerance = 0.001;
    lin->capacity = capacity;
    lin->count = 0;
    lin->maxDeviation = 0.0;
    lin->rangeStart = 0.0;
    lin->rangeEnd = 1.0;
    lin->destroy = curveLinearizerDestroy;
    const size_t n = capacity > 0 ? static_cast<size_t>(capacity) : 0;
    lin->x = static_cast<double*>(std::calloc(n ? n : 1, sizeof(double)));
    lin->y = static_cast<double*>(std::calloc(n ? n : 1, sizeof(double)));
    lin->z = static_cast<double*>(std::calloc(n ? n : 1, sizeof(double)));
    lin->t = static_cast<double*>(std::calloc(n ? n : 1, sizeof(double)));
    lin->segDeviation = static_cast<double*>(std::calloc(n ? n : 1, sizeof(double)));
    lin->insertCount = static_cast<int*>(std::calloc(n ? n : 1, sizeof(int)));
    if (capacity <= 0 || !lin->x || !lin->y || !lin->z || !lin->t || !lin->segDeviation || !lin->insertCount)
        lin->capacity = 0;
}

CurveLinearizer* curveLinearizerCreate(int capacity)
{
    CurveLinearizer* lin = static_cast<CurveLinearizer*>(std::calloc(1, sizeof(CurveLinearizer)));
    if (!lin)
        return nullptr;
    curveLinearizerInit(lin, capacity);
    if (lin->capacity == 0) {
        curveLinearizerFree(lin);
        return nullptr;
    }
    return lin;
}

void curveLinearizerDestroy(CurveLinearizer* lin)
{
    if (!lin)
        return;
    std::free(lin->x);
    std::free(lin->y);
    std::free(lin->z);
    std::free(lin->t);
    std::free(lin->segDeviation);
    std::free(lin->insertCount);
    lin->x = lin->y = lin->z = lin->t = lin->segDeviation = nullptr;
    lin->insertCount = nullptr;
}

void curveLinearizerFree(CurveLinearizer* lin)
{
    if (!lin)
        return;
    if (lin->destroy)
        lin->destroy(lin);
    std::free(lin);
}

int curveLinearizerStartRange(CurveLinearizer* lin, CurveEvaluatorFn evaluator, CurveDeviationFn deviation,
                              double rangeStart, double rangeEnd, double tolerance)
{
    if (!lin || !evaluator || !deviation || lin->capacity < 2)
        return 0;
    lin->evaluator = evaluator;
    lin->deviation = deviation;
    lin->tolerance = tolerance >= 1e-7 ? tolerance : 1e-7;
    lin->rangeStart = rangeStart;
    lin->rangeEnd = rangeEnd;
    double p[3];
    lin->t[0] = 0.0;
    setPoint(lin, 0, evaluator(p, 0.0));
    lin->t[1] = 1.0;
    setPoint(lin, 1, evaluator(p, 1.0));
    lin->count = 2;
    double p0[3], p1[3];
    point(lin, 0, p0);
    point(lin, 1, p1);
    lin->segDeviation[0] = deviation(lin, 0.0, p0, 1.0, p1, kSamples);
    lin->insertCount[0] = insertionsFor(lin->segDeviation[0], lin->tolerance);
    lin->maxDeviation = lin->segDeviation[0];
    return 1;
}

int curveLinearizerStart(CurveLinearizer* lin, CurveEvaluatorFn evaluator, CurveDeviationFn deviation,
                         double tolerance)
{
    return curveLinearizerStartRange(lin, evaluator, deviation, 0.0, 1.0, tolerance);
}

int curveLinearizerRefine(CurveLinearizer* lin)
{
    if (!lin || !lin->evaluator || !lin->deviation)
        return 0;
    // Insertion: split every marked segment into equal parameter steps.
    for (int i = 0; i < lin->count - 1; ++i) {
        const int k = lin->insertCount[i];
        if (k <= 0)
            continue;
        if (lin->count + k >= lin->capacity - 5)
            return 0;
        const int tail = lin->count - (i + 1);
        const size_t bytes = static_cast<size_t>(tail) * sizeof(double);
        std::memmove(lin->x + i + 1 + k, lin->x + i + 1, bytes);
        std::memmove(lin->y + i + 1 + k, lin->y + i + 1, bytes);
        std::memmove(lin->z + i + 1 + k, lin->z + i + 1, bytes);
        std::memmove(lin->t + i + 1 + k, lin->t + i + 1, bytes);
        std::memmove(lin->segDeviation + i + 1 + k, lin->segDeviation + i + 1, bytes);
        std::memmove(lin->insertCount + i + 1 + k, lin->insertCount + i + 1, static_cast<size_t>(tail) * sizeof(int));
        const double h = 1.0 / (k + 1);
        const double ta = lin->t[i];
        const double tb = lin->t[i + k + 1];
        for (int j = 1; j <= k; ++j) {
            lin->segDeviation[i + j] = 0.0;
            lin->insertCount[i + j] = -1;
            lin->t[i + j] = (1.0 - j * h) * ta + j * h * tb;
            double p[3];
            setPoint(lin, i + j, lin->evaluator(p, lin->t[i + j]));
        }
        lin->count += k;
        i += k;
    }
    // Measurement of the segments that were split or created.
    lin->maxDeviation = 0.0;
    for (int i = 0; i < lin->count - 1; ++i) {
        if (lin->insertCount[i] != 0) {
            double p0[3], p1[3];
            point(lin, i, p0);
            point(lin, i + 1, p1);
            lin->segDeviation[i] = lin->deviation(lin, lin->t[i], p0, lin->t[i + 1], p1, kSamples);
        }
        // A deviation that cannot be measured (NaN) stays the maximum, so the
        // pass loop never mistakes it for a tolerance met.
        const double d = lin->segDeviation[i];
        if (std::isnan(d) || d > lin->maxDeviation)
            lin->maxDeviation = d;
    }
    // Marking for the next pass.
    for (int i = 0; i < lin->count - 1; ++i)
        lin->insertCount[i] =
            lin->segDeviation[i] > lin->tolerance ? insertionsFor(lin->segDeviation[i], lin->tolerance) : 0;
    return 1;
}

RatBSplCurve* curveLinearizerToCurve(const CurveLinearizer* lin)
{
    if (!lin || lin->count < 2)
        return nullptr;
    const int n = lin->count;
    RatBSplCurve* poly = ratBSplCurveCreate(2, n + 2);
    if (!poly)
        return nullptr;
    poly->knots[0] = 0.0;
    for (int i = 0; i < n; ++i)
        poly->knots[i + 1] = i;
    poly->knots[n + 1] = n - 1;
    for (int i = 0; i < n + 2; ++i)
        poly->weights[i] = 1.0;
    for (int i = 0; i < n; ++i) {
        poly->points[i][0] = lin->x[i];
        poly->points[i][1] = lin->y[i];
        poly->points[i][2] = lin->z[i];
    }
    poly->isRational = 0;
    return poly;
}

// ---------------------------------------------------------------------------
// Lineariser of a rational B-spline curve

void nurbCurveLinearizerInit(NurbCurveLinearizer* lin, int capacity)
{
    if (!lin)
        return;
    curveLinearizerInit(lin, capacity);
    lin->name = kNurbCurveLinearizerName;
    lin->destroy = nurbCurveLinearizerDestroy;
    lin->curve = nullptr;
}

NurbCurveLinearizer* nurbCurveLinearizerCreate(int capacity)
{
    NurbCurveLinearizer* lin = static_cast<NurbCurveLinearizer*>(std::calloc(1, sizeof(NurbCurveLinearizer)));
    if (!lin)
        return nullptr;
    nurbCurveLinearizerInit(lin, capacity);
    if (lin->capacity == 0) {
        curveLinearizerFree(lin);
        return nullptr;
    }
    return lin;
}

void nurbCurveLinearizerDestroy(CurveLinearizer* lin)
{
    currentCurve = nullptr;
    curveLinearizerDestroy(lin);
}

int nurbCurveLinearizerSetCurve(NurbCurveLinearizer* lin, RatBSplCurve* curve, double tolerance)
{
    if (!lin || !curve)
        return 0;
    if (curve->ord > 2 && !ratBSplCurveHasSpans(curve)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_LINEARIZER, kLineNurbCurve);
        return 0;
    }
    if (curve->ord > 2) {
        lin->curve = curve;
        currentCurve = curve;
        return curveLinearizerStart(lin, nurbCurveEvalCurrent, chordDeviation, tolerance);
    }
    lin->maxDeviation = 0.0;
    return 1;
}

int nurbCurveLinearizerSetCurveScaled(NurbCurveLinearizer* lin, RatBSplCurve* curve, double tolerance)
{
    if (!lin || !curve)
        return 0;
    if (curve->ord > 2 && !ratBSplCurveHasSpans(curve)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_LINEARIZER, kLineNurbCurveScaled);
        return 0;
    }
    if (curve->ord > 2) {
        // The curve is rescaled in place, so that its knots carry its length
        // per unit, and stays rescaled: callers read the new knots back.
        // The geometry does not change.
        double ratio = 1.0;
        ratBSplCurveLengthRatio(curve, &ratio);
        if (std::isfinite(ratio) && ratio > 0.0)
            ratBSplCurveScaleKnots(curve, ratio);
        const double start = curve->knots[curve->ord - 1];
        const double end = curve->knots[curve->noPoints - curve->ord];
        lin->curve = curve;
        currentCurve = curve;
        return curveLinearizerStartRange(lin, nurbCurveEvalCurrent, chordDeviationScaled, start, end, tolerance);
    }
    lin->maxDeviation = 0.0;
    return 1;
}

int nurbCurveLinearizerSeedKnots(NurbCurveLinearizer* lin, double tolerance)
{
    if (!lin || !lin->curve || lin->count < 2)
        return 0;
    RatBSplCurve* c = lin->curve;
    const int ord = c->ord;
    const int n = c->noPoints;
    const double* K = c->knots;
    lin->insertCount[0] = -1;
    const double lo = K[ord - 1];
    const double hi = K[n - ord];
    // The scaled lineariser stands for the curve with its knots multiplied by
    // the length ratio without rescaling them; derivatives with respect to
    // those knots are the plain ones divided by that ratio.
    double knotScale = 1.0;
    if (lin->deviation == chordDeviationScaled && hi > lo && lin->rangeEnd > lin->rangeStart)
        knotScale = (lin->rangeEnd - lin->rangeStart) / (hi - lo);
    for (int i = ord; i < n - ord;) {
        int m = 1;
        for (int j = i + 1; j < i + ord && j < n - ord && std::fabs(K[i] - K[j]) < 1e-7; ++j)
            ++m;
        if (m >= ord - 1) {
            double pl[3], pr[3], dl[3], dr[3], w = 0.0;
            ratBSplPointInSpan(pl, c->points, c->weights, K, ord, i - 1, K[i], c->workPoints, c->workWeights, &w);
            ratBSplDerivInSpan(dl, c->points, c->weights, K, ord, i - 1, K[i], c->workPoints, c->workWeights);
            ratBSplPointInSpan(pr, c->points, c->weights, K, ord, i + m - 1, K[i], c->workPoints, c->workWeights,
                               &w);
            ratBSplDerivInSpan(dr, c->points, c->weights, K, ord, i + m - 1, K[i], c->workPoints, c->workWeights);
            for (int k = 0; k < 3; ++k) {
                dl[k] /= knotScale;
                dr[k] /= knotScale;
            }
            if (dist(pl, pr) > tolerance || dist(dl, dr) > tolerance) {
                if (lin->count >= lin->capacity - 5)
                    return -1;
                const int at = lin->count - 1;
                lin->x[at + 1] = lin->x[at];
                lin->y[at + 1] = lin->y[at];
                lin->z[at + 1] = lin->z[at];
                lin->t[at + 1] = lin->t[at];
                lin->segDeviation[at + 1] = lin->segDeviation[at];
                lin->insertCount[at + 1] = lin->insertCount[at];
                lin->segDeviation[at] = 0.0;
                lin->insertCount[at] = -1;
                lin->t[at] = hi > lo ? (K[i] - lo) / (hi - lo) : 0.0;
                double p[3];
                setPoint(lin, at, lin->evaluator(p, lin->t[at]));
                lin->count += 1;
            }
        }
        i += m;
    }
    return lin->count - 2;
}

RatBSplCurve* nurbCurveLinearize(RatBSplCurve* curve, double tolerance, double* maxDeviation)
{
    return linearizeCurve(curve, tolerance, maxDeviation, nurbCurveLinearizerSetCurve, kLineNurbCurve);
}

RatBSplCurve* nurbCurveLinearizeScaled(RatBSplCurve* curve, double tolerance, double* maxDeviation)
{
    return linearizeCurve(curve, tolerance, maxDeviation, nurbCurveLinearizerSetCurveScaled, kLineNurbCurveScaled);
}

RatBSplCurve* linearizeEvaluator(CurveEvaluatorFn evaluator, CurveDeviationFn deviation, double tolerance,
                                 double* maxDeviation)
{
    if (!evaluator)
        return nullptr;
    CurveLinearizer* lin = curveLinearizerCreate(1000);
    if (!lin)
        return nullptr;
    const int started = curveLinearizerStart(lin, evaluator, deviation, tolerance);
    if (!started) {
        curveLinearizerFree(lin);
        return nullptr;
    }
    return finish(lin, tolerance, started, kLineLinearizeEvaluator, maxDeviation);
}

RatBSplCurve* linearizeEvaluatorDefault(CurveEvaluatorFn evaluator, double tolerance, double* maxDeviation)
{
    return linearizeEvaluator(evaluator, chordDeviation, tolerance, maxDeviation);
}

RatBSplCurve* linearizeCallback(void* context, CurvePointCallback fn, CurveDeviationFn deviation,
                                double tolerance, double* maxDeviation)
{
    if (!context || !fn)
        return nullptr;
    callbackContext = context;
    callbackFn = fn;
    callbackFailed = false;
    RatBSplCurve* poly = linearizeEvaluator(callbackEvalCurrent, deviation, tolerance, maxDeviation);
    const bool failed = callbackFailed;
    callbackContext = nullptr;
    callbackFn = nullptr;
    callbackFailed = false;
    // A point the callback could not deliver would stand in the polyline as
    // the origin: the polyline is no picture of the curve then.
    if (failed) {
        ratBSplCurveFree(poly);
        return nullptr;
    }
    return poly;
}

RatBSplCurve* surfCurveLinearize(RatBSplCurve* curve, RatBSplSurf* surface, double offset, double tolerance,
                                 double* maxDeviation)
{
    return linearizeOnSurface(curve, surface, offset, tolerance, maxDeviation, false, kLineSurfCurve);
}

RatBSplCurve* surfCurveLinearizeParam(RatBSplCurve* curve, RatBSplSurf* surface, double offset, double tolerance,
                                      double* maxDeviation)
{
    return linearizeOnSurface(curve, surface, offset, tolerance, maxDeviation, true, kLineSurfCurveParam);
}

// ---------------------------------------------------------------------------
// Evaluators

double* nurbCurveEvalCurrent(double* out, double t)
{
    if (!currentCurve)
        return zero(out);
    const GeomPoint p = ratBSplCurveEvalPoint(currentCurve, t);
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
    return out;
}

double* surfCurveEvalCurrent(double* out, double t)
{
    if (!paramCurve || !paramSurface)
        return zero(out);
    double u, v;
    mapToSurface(ratBSplCurveEvalPoint(paramCurve, t), &u, &v);
    const GeomPoint s = ratBSplSurfEvalPoint(paramSurface, u, v);
    out[0] = s.x;
    out[1] = s.y;
    out[2] = s.z;
    return out;
}

double* offsetSurfCurveEvalCurrent(double* out, double t)
{
    if (!paramCurve || !paramSurface)
        return zero(out);
    double u, v;
    mapToSurface(ratBSplCurveEvalPoint(paramCurve, t), &u, &v);
    const GeomPoint s = ratBSplSurfEvalPoint(paramSurface, u, v);
    const GeomPoint n = ratBSplSurfEvalNormal(paramSurface, u, v);
    out[0] = s.x + surfaceOffset * n.x;
    out[1] = s.y + surfaceOffset * n.y;
    out[2] = s.z + surfaceOffset * n.z;
    return out;
}

double* callbackEvalCurrent(double* out, double t)
{
    if (!callbackFn)
        return zero(out);
    double p[3];
    if (callbackFn(callbackContext, t, p) != 0) {
        callbackFailed = true;
        return zero(out);
    }
    out[0] = p[0];
    out[1] = p[1];
    out[2] = p[2];
    return out;
}

// ---------------------------------------------------------------------------
// Deviation functions

double chordDeviation(CurveLinearizer* lin, double t0, const double* p0, double t1, const double* p1, int m)
{
    if (!lin)
        return 0.0;
    return sampledDeviation(lin, lin->evaluator, t0, p0, t1, p1, m);
}

double chordDeviationScaled(CurveLinearizer* lin, double t0, const double* p0, double t1, const double* p1,
                            int m)
{
    if (!lin)
        return 0.0;
    const double u0 = (1.0 - t0) * lin->rangeStart + t0 * lin->rangeEnd;
    const double u1 = (1.0 - t1) * lin->rangeStart + t1 * lin->rangeEnd;
    const double span = (u1 - u0) * m;
    // Long segments of the rescaled domain get more samples, up to 50.
    int samples = m;
    if (span > m)
        samples = span >= 50.0 ? 50 : static_cast<int>(span);
    return sampledDeviation(lin, lin->evaluator, t0, p0, t1, p1, samples);
}

double chordLineDeviation(CurveLinearizer* lin, double t0, const double* p0, double t1, const double* p1, int m)
{
    if (!lin || !lin->evaluator || m <= 1)
        return 0.0;
    double dir[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    const double L = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
    if (L >= 1e-12)
        for (int k = 0; k < 3; ++k)
            dir[k] /= L;
    double worst = 0.0;
    for (int j = 1; j < m; ++j) {
        const double s = static_cast<double>(j) / m;
        double q[3];
        lin->evaluator(q, (1.0 - s) * t0 + s * t1);
        const double rel[3] = {q[0] - p0[0], q[1] - p0[1], q[2] - p0[2]};
        const double along = rel[0] * dir[0] + rel[1] * dir[1] + rel[2] * dir[2];
        const double foot[3] = {p0[0] + along * dir[0], p0[1] + along * dir[1], p0[2] + along * dir[2]};
        double d = dist(q, foot);
        if ((along < 0.0 || along > 1.0) && along > d)
            d = along;
        if (d > worst)
            worst = d;
    }
    return worst;
}

double surfChordDeviation(CurveLinearizer* lin, double t0, const double* p0, double t1, const double* p1, int m)
{
    (void)p0;
    (void)p1;
    return chordDeviationOn(lin, surfCurveEvalCurrent, t0, t1, m);
}

double offsetSurfChordDeviation(CurveLinearizer* lin, double t0, const double* p0, double t1, const double* p1,
                                int m)
{
    (void)p0;
    (void)p1;
    return chordDeviationOn(lin, offsetSurfCurveEvalCurrent, t0, t1, m);
}
