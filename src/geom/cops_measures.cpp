// Whole-curve measures: collapse and straightness tests on the control
// polygon, polygon length, knot domain with closedness, the length carried by
// one unit of knot parameter, scaling, and joining two curves.
#include "geom/geom_curve_ops.h"

#include <cmath>
#include <cstring>

namespace {

// Report sites: a curve record without a readable domain.
enum { kLineRangeRecord = 3021, kLineLengthRatioRecord = 3022, kLineAppendRecord = 3023 };

inline const double* cp(const RatBSplCurve* c, int i) { return &c->points[i][0]; }

inline double dist(const double* a, const double* b)
{
    const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

inline void copy3(double* out, const double* a)
{
    out[0] = a[0];
    out[1] = a[1];
    out[2] = a[2];
}

inline int controlCount(const RatBSplCurve* c) { return ratBSplCurveControlCount(c); }

// Shared body of the line tests: base and direction chosen by the caller's
// rule, then every control point's distance from that line against tol.
// Returns the index of the point that fixed the direction, or -1.
int lineThroughControls(const RatBSplCurve* c, bool fromStart, double tol, double* dmax)
{
    const int m = controlCount(c);
    if (m < 2)
        return -1;
    int best = -1;
    double bestLen = -1.0;
    for (int i = 0; i + 1 < m; ++i) {
        const double len = fromStart ? dist(cp(c, i + 1), cp(c, 0)) : dist(cp(c, i + 1), cp(c, i));
        if (len > bestLen) {
            bestLen = len;
            best = i;
        }
    }
    if (bestLen < 1e-7)
        return -1;
    const double* base = fromStart ? cp(c, 0) : cp(c, best);
    double dir[3];
    vec3DiffB(base, cp(c, best + 1), dir);
    for (int j = 0; j < m; ++j) {
        double foot[3];
        projectOnLineB(base, dir, cp(c, j), foot);
        if (dist(cp(c, j), foot) > tol)
            return -1;
    }
    if (dmax)
        *dmax = bestLen;
    return best + 1;
}

// A single straight segment is a line by construction: its two control
// points go to pair.
bool singleSegment(const RatBSplCurve* c, double* pair)
{
    if (c->ord != 2 || c->noPoints != 4)
        return false;
    copy3(pair, cp(c, 0));
    copy3(pair + 3, cp(c, 1));
    return true;
}

// The line tests that report the first and the last control point.
int lineBetweenEnds(const RatBSplCurve* c, bool fromStart, double tol, double* pair)
{
    if (!c || !pair || !c->points)
        return 0;
    if (singleSegment(c, pair))
        return 1;
    if (lineThroughControls(c, fromStart, tol, nullptr) < 0)
        return 0;
    copy3(pair, cp(c, 0));
    copy3(pair + 3, cp(c, controlCount(c) - 1));
    return 1;
}

} // namespace

int ratBSplCurveIsPoint(const RatBSplCurve* curve, double* point, double tol)
{
    if (!curve || !point || !curve->points || curve->noPoints < 1)
        return 0;
    const int m = controlCount(curve);
    for (int i = 1; i < m; ++i)
        if (dist(cp(curve, i), cp(curve, 0)) > tol)
            return 0;
    copy3(point, cp(curve, 0));
    return 1;
}

int ratBSplCurveIsPointDefault(const RatBSplCurve* curve, double* point)
{
    return ratBSplCurveIsPoint(curve, point, 1e-7);
}

int ratBSplCurveIsLineExact(const RatBSplCurve* curve, double* pair)
{
    return lineBetweenEnds(curve, false, 1e-7, pair);
}

int ratBSplCurveIsLine(const RatBSplCurve* curve, double tol, double* pair)
{
    return lineBetweenEnds(curve, true, tol, pair);
}

int ratBSplCurveIsLineSpan(const RatBSplCurve* curve, double tol, double* pair)
{
    if (!curve || !pair || !curve->points)
        return 0;
    if (singleSegment(curve, pair))
        return 1;
    double dmax = 0.0;
    const int far = lineThroughControls(curve, true, tol, &dmax);
    if (far < 0)
        return 0;
    const int m = controlCount(curve);
    const double e = dist(cp(curve, m - 1), cp(curve, 0));
    copy3(pair, cp(curve, 0));
    // A polygon that overshoots its end point by more than a tenth reaches
    // farther than its ends: report the farthest point instead.
    copy3(pair + 3, 1.1 * e >= dmax ? cp(curve, m - 1) : cp(curve, far));
    return 1;
}

double ratBSplCurvePolygonLength(const RatBSplCurve* curve)
{
    if (!curve || !curve->points)
        return 0.0;
    double sum = 0.0;
    const int m = controlCount(curve);
    for (int i = 0; i + 1 < m; ++i)
        sum += dist(cp(curve, i), cp(curve, i + 1));
    return sum;
}

void ratBSplCurveRangeAndClosed(const RatBSplCurve* curve, double* start, double* end, int* closed)
{
    if (!curve || !start || !end || !closed || !curve->knots)
        return;
    if (!ratBSplCurveHasSpans(curve)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineRangeRecord);
        return;
    }
    const int m = controlCount(curve);
    *start = curve->knots[curve->ord - 1];
    *end = curve->knots[m];
    if (curve->isClosed || curve->isPeriodic || curve->origForm == 2)
        *closed = 1;
    else
        *closed = (m >= 1 && dist(cp(curve, 0), cp(curve, m - 1)) <= 5e-5) ? 1 : 0;
}

void ratBSplCurveLengthRatio(RatBSplCurve* curve, double* ratio)
{
    if (!ratio)
        return;
    *ratio = 1.0;
    if (!curve || !curve->knots)
        return;
    if (!ratBSplCurveHasSpans(curve)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineLengthRatioRecord);
        return;
    }
    double start = 0.0, end = 0.0;
    int closed = 0;
    ratBSplCurveRangeAndClosed(curve, &start, &end, &closed);
    double range = end - start;
    if (range < 0.05)
        range = 0.05;
    const int c = controlCount(curve) - 1;
    const int samples = c >= 26 ? 50 : (c >= 2 ? 2 * c : 2);
    double length = 0.0;
    double prev[3];
    GeomPoint q = ratBSplCurveEvalPoint(curve, 0.0);
    prev[0] = q.x;
    prev[1] = q.y;
    prev[2] = q.z;
    for (int i = 1; i <= samples; ++i) {
        q = ratBSplCurveEvalPoint(curve, static_cast<double>(i) / samples);
        const double cur[3] = {q.x, q.y, q.z};
        length += dist(prev, cur);
        copy3(prev, cur);
    }
    if (length < 0.05)
        length = 0.05;
    double r = length / range;
    if (r < 0.05)
        r = 0.05;
    *ratio = r;
}

int ratBSplCurveScalePoints(RatBSplCurve* curve, double factor)
{
    if (!curve || !curve->points)
        return 0;
    const int m = controlCount(curve);
    for (int i = 0; i < m; ++i)
        for (int k = 0; k < 3; ++k)
            curve->points[i][k] *= factor;
    return 0;
}

void ratBSplCurveScaleKnots(RatBSplCurve* curve, double factor)
{
    if (!curve || !curve->knots)
        return;
    for (int i = 0; i < curve->noPoints; ++i)
        curve->knots[i] *= factor;
}

int ratBSplCurveAppend(RatBSplCurve* a, const RatBSplCurve* b)
{
    if (!a || !b || a->ord != b->ord || !a->knots || !b->knots)
        return 0;
    if (!ratBSplCurveHasSpans(a) || !ratBSplCurveHasSpans(b)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineAppendRecord);
        return 0;
    }
    const int k = a->ord;
    const int ma = controlCount(a);
    const int mb = controlCount(b);
    const int na = a->noPoints;
    if (mb < 0 || ma < 0)
        return 0;
    const double shift = a->knots[na - 1] - b->knots[k - 1];
    if (!ratBSplCurveResize(a, na + mb))
        return 0;
    for (int j = 0; j < mb; ++j) {
        copy3(&a->points[ma + j][0], cp(b, j));
        a->weights[ma + j] = b->weights[j];
        a->knots[ma + j + k] = b->knots[j + k] + shift;
    }
    // The grown spare entries are left zero, as a new curve has them.
    for (int i = ma + mb; i < a->noPoints; ++i) {
        a->points[i][0] = a->points[i][1] = a->points[i][2] = 0.0;
        a->weights[i] = 0.0;
    }
    return 1;
}
