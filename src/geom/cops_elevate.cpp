// Degree elevation: the curve is split into Bezier pieces by raising every
// interior knot to full multiplicity, and each piece is raised with the
// Bezier formula in homogeneous coordinates, so rational curves stay exact.
// The result is built in one record of exactly the size it ends with.
#include "geom/geom_curve_edit.h"
#include "geom/curve_edit_util.h"

#include <cmath>
#include <cstdio>
#include <cstring>

using namespace geomedit;

namespace {

enum {
    kLinePieceOrder = 6988,
    kLinePieceWeight = 6995,
    kLinePeriodic = 7110,
    kLineTargetOrder = 7121,
    kLineCopy = 7149,
    kLineResize = 7159,
    kLineCheck = 7259
};

const double kValueEps = 1e-7;
const double kCheckEps = 1e-7;

bool clamped(const RatBSplCurve* c)
{
    const int k = c->ord, n = c->noPoints;
    for (int i = 1; i < k; ++i)
        if (std::fabs(c->knots[i] - c->knots[0]) >= kKnotSnap ||
            std::fabs(c->knots[n - 1 - i] - c->knots[n - 1]) >= kKnotSnap)
            return false;
    return true;
}

// 2 + the number of distinct interior knot values; 0 when an interior value
// repeats more often than the order (no curve has such a knot vector).
int knotValueCount(const RatBSplCurve* c)
{
    const int k = c->ord, n = c->noPoints;
    int S = 2;
    int run = 0;
    for (int i = k; i <= n - k - 1; ++i) {
        if (i > k && std::fabs(c->knots[i] - c->knots[i - 1]) < kValueEps) {
            if (++run >= k)
                return 0;
            continue;
        }
        run = 0;
        ++S;
    }
    return S;
}

int elevateIntoRecord(RatBSplCurve* r, int k, int g, int capacity)
{
    const int rises = g - k + 1;
    int n = r->noPoints;
    double* K = r->knots;
    for (int i = k - 1; i < n - k; i += k + rises) {
        int mult = 0;
        for (int q = i + 1; q < n && std::fabs(K[q] - K[i + 1]) < kValueEps; ++q)
            ++mult;
        for (; mult < k; ++mult) {
            if (n + 1 > capacity ||
                !ratBSplCurveInsertKnotCore(k, n, K, r->weights, r->points, 0, -1, 0.0, K[i + 1]))
                return 0;
            ++n;
        }
        for (int q = 0; q < rises; ++q) {
            if (n + 1 > capacity || !ratBSplElevateBezierPiece(k + q, n, K, r->weights, r->points, i + q))
                return 0;
            ++n;
        }
    }
    // The end value gains the same number of copies; the entries that come
    // with them are spare.
    for (int q = 0; q < rises; ++q) {
        if (n + 1 > capacity)
            return 0;
        K[n] = K[n - 1];
        r->weights[n] = 0.0;
        r->points[n][0] = r->points[n][1] = r->points[n][2] = 0.0;
        ++n;
    }
    r->noPoints = n;
    r->ord = g + 1;
    return n == capacity ? 1 : 0;
}

}  // namespace

int ratBSplElevateBezierPiece(int k, int n, double* knots, double* weights, GeomVec3* points, int s)
{
    if (k > GEOM_MAX_EDIT_ORDER || k < 1) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLinePieceOrder);
        return 0;
    }
    double H[GEOM_MAX_EDIT_ORDER][3];
    double V[GEOM_MAX_EDIT_ORDER];
    for (int j = s - k + 2; j <= s; ++j) {
        const double alpha = static_cast<double>(j - s + k - 1) / k;
        const double w0 = (1.0 - alpha) * weights[j];
        const double w1 = alpha * weights[j - 1];
        const double v = w0 + w1;
        if (std::fabs(v) < 1e-12) {
            geomReportError(GEOM_ERR_DIVISOR, GEOM_FILE_CURVE, kLinePieceWeight);
            return 0;
        }
        const int q = j - (s - k + 2);
        for (int d = 0; d < 3; ++d)
            H[q][d] = (w0 * points[j][d] + w1 * points[j - 1][d]) / v;
        V[q] = v;
    }
    std::memmove(points + s + 1, points + s, sizeof(GeomVec3) * (n - s));
    std::memmove(weights + s + 1, weights + s, sizeof(double) * (n - s));
    for (int j = s - k + 2; j <= s; ++j) {
        const int q = j - (s - k + 2);
        points[j][0] = H[q][0];
        points[j][1] = H[q][1];
        points[j][2] = H[q][2];
        weights[j] = V[q];
    }
    // Every knot after s moves up, the last one too, and the piece's start
    // value gains one copy.
    std::memmove(knots + s + 2, knots + s + 1, sizeof(double) * (n - s - 1));
    knots[s + 1] = knots[s];
    return 1;
}

int ratBSplCurveElevateDegree(RatBSplCurve** curve, int g)
{
    if (!curve || !*curve)
        return 0;
    RatBSplCurve* old = *curve;
    if (old->isPeriodic) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLinePeriodic);
        return 0;
    }
    const int k = old->ord;
    if (g - k + 1 < 1)
        return 0;
    // Both the insertion and the piece elevation stop at the largest order
    // their tables hold; a target beyond it could only half succeed.
    if (g > GEOM_MAX_EDIT_ORDER - 1 || !usable(old) || !(domainEnd(old) > domainStart(old))) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineTargetOrder);
        return 0;
    }

    // Bezier pieces need clamped ends: an unclamped curve is first cut to
    // its own domain, which clamps it without changing its shape there.
    const RatBSplCurve* src = old;
    RatBSplCurve* clampedCopy = nullptr;
    if (!clamped(old)) {
        clampedCopy = ratBSplCurveCopy(old);
        if (!clampedCopy) {
            geomReportError(GEOM_ERR_ALLOC, GEOM_FILE_CURVE, kLineCopy);
            return 0;
        }
        clampedCopy->isClosed = 0;
        if (!ratBSplCurveSubCurve(&clampedCopy, domainStart(old), domainEnd(old)) || !clamped(clampedCopy)) {
            ratBSplCurveFree(clampedCopy);
            geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineTargetOrder);
            return 0;
        }
        src = clampedCopy;
    }
    const int S = knotValueCount(src);
    if (S == 0) {
        ratBSplCurveFree(clampedCopy);
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineTargetOrder);
        return 0;
    }
    const int capacity = (g + 1) * S;
    RatBSplCurve* r = ratBSplCurveCreate(k, capacity);
    if (!r) {
        ratBSplCurveFree(clampedCopy);
        geomReportError(GEOM_ERR_ALLOC, GEOM_FILE_CURVE, kLineResize);
        return 0;
    }
    copyEntries(r, 0, src, 0, src->noPoints);
    r->noPoints = src->noPoints;
    ratBSplCurveFree(clampedCopy);
    const int ok = elevateIntoRecord(r, k, g, capacity);
    r->noPoints = capacity;   // the record's arrays are this long whatever happened
    if (!ok) {
        ratBSplCurveFree(r);
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineTargetOrder);
        return 0;
    }
    r->period = old->period;
    r->knotRange = old->knotRange;
    r->multPts = old->multPts;
    r->isRational = old->isRational;
    r->isClosed = old->isClosed;
    r->origForm = old->origForm;

    int count = 0;
    double dmax = 0.0;
    for (int i = 0; i <= 10; ++i) {
        const GeomPoint a = ratBSplCurveEvalPoint(r, i / 10.0);
        const GeomPoint b = ratBSplCurveEvalPoint(old, i / 10.0);
        const double d = std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                                   (a.z - b.z) * (a.z - b.z));
        if (d > dmax)
            dmax = d;
        if (d > kCheckEps)
            ++count;
    }
    if (count > 0) {
        std::printf("err: %d, md: %lf\n", count, dmax);
        geomReportError(GEOM_ERR_ALLOC, GEOM_FILE_CURVE, kLineCheck);
    }
    ratBSplCurveFree(old);
    *curve = r;
    return 1;
}
