// Degree elevation: the curve is split into Bezier pieces by raising every
// interior knot to full multiplicity, and each piece is raised with the
// Bezier formula in homogeneous coordinates, so rational curves stay exact.
// The result is built in one record of exactly the size it ends with.
#include "geom/geom_curve_edit.h"
#include "geom/curve_edit_util.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

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

const double kCheckEps = 1e-7;
const double kVanishingWeight = 1e-12;

bool clamped(const RatBSplCurve* c)
{
    const int k = c->ord, n = c->noPoints;
    for (int i = 1; i < k; ++i)
        if (std::fabs(c->knots[i] - c->knots[0]) >= kKnotSnap ||
            std::fabs(c->knots[n - 1 - i] - c->knots[n - 1]) >= kKnotSnap)
            return false;
    return true;
}

// Neighbouring knots closer than this count as one knot value.
const double kSameValue = 1e-7;

// The knots the decomposition works on: the ends of a clamped curve exactly
// equal, and each run of interior knots within kSameValue of the run's first
// one given that first value, so that no piece is narrower than the knot
// tolerance. A run joins knots that differ only while it is shorter than the
// order (exact repeats always join): a longer one would not be a knot of
// the curve any more.
std::vector<double> workKnots(const RatBSplCurve* c)
{
    const int k = c->ord, n = c->noPoints;
    std::vector<double> U(c->knots, c->knots + n);
    for (int i = 0; i < k; ++i) {
        U[i] = domainStart(c);
        U[n - 1 - i] = domainEnd(c);
    }
    int run = 0;
    for (int i = k; i <= n - k - 1; ++i) {
        if (i > k && (U[i] == U[i - 1] || (U[i] - U[i - 1 - run] < kSameValue && run + 1 < k))) {
            U[i] = U[i - 1];
            ++run;
        } else {
            run = 0;
        }
    }
    return U;
}

// 2 + the number of distinct interior knot values; 0 when an interior value
// repeats more often than the order (no curve has such a knot vector).
int knotValueCount(const std::vector<double>& U, int k)
{
    const int n = static_cast<int>(U.size());
    int S = 2;
    int run = 0;
    for (int i = k; i <= n - k - 1; ++i) {
        if (i > k && U[i] == U[i - 1]) {
            if (++run >= k)
                return 0;
            continue;
        }
        run = 0;
        ++S;
    }
    return S;
}

// A homogeneous control point: the point times its weight, and the weight.
struct HPoint {
    double x[4];
};

HPoint homogeneous(const RatBSplCurve* c, int i)
{
    const double w = c->weights[i];
    return HPoint{{c->points[i][0] * w, c->points[i][1] * w, c->points[i][2] * w, w}};
}

// Raises a Bezier piece of order k by `rises` orders in place (q holds room
// for k + rises points), one order at a time.
void raiseBezier(HPoint* q, int k, int rises)
{
    for (int ord = k; ord < k + rises; ++ord) {
        // The new points of order ord + 1 from the last down, so that each
        // reads the old points it needs before they are overwritten.
        q[ord] = q[ord - 1];
        for (int l = ord - 1; l >= 1; --l) {
            const double alpha = static_cast<double>(l) / ord;
            for (int d = 0; d < 4; ++d)
                q[l].x[d] = alpha * q[l - 1].x[d] + (1.0 - alpha) * q[l].x[d];
        }
    }
}

// Splits the clamped curve c (with the knots of workKnots) into its Bezier pieces one after the other with
// a window of `ord` points sliding along the control polygon (each interior
// knot is raised to full multiplicity in the window only), raises every piece
// to order g + 1 and writes it into r, whose arrays hold S (g + 1) entries.
// Each piece costs the same whatever the curve's size.
int elevateIntoRecord(const RatBSplCurve* c, const std::vector<double>& knots, int g, RatBSplCurve* r)
{
    const int k = c->ord, p = k - 1, K = c->noPoints, m = K - 1;
    const int rises = g - p;
    const double* U = knots.data();
    HPoint q[GEOM_MAX_EDIT_ORDER + 1], next[GEOM_MAX_EDIT_ORDER + 1];
    double alphas[GEOM_MAX_EDIT_ORDER + 1];
    for (int i = 0; i <= p; ++i)
        q[i] = homogeneous(c, i);
    int out = 0;        // control entries written
    int knotsOut = 0;
    auto emit = [&](double value) {
        raiseBezier(q, k, rises);
        for (int l = 0; l <= g; ++l) {
            const double w = q[l].x[3];
            if (!(std::fabs(w) >= kVanishingWeight))
                return false;
            for (int d = 0; d < 3; ++d)
                r->points[out][d] = q[l].x[d] / w;
            r->weights[out] = w;
            ++out;
            r->knots[knotsOut++] = value;
        }
        return true;
    };
    int a = p, b = p + 1;
    double pieceStart = U[p];
    while (b < m) {
        const int i = b;
        while (b < m && U[b + 1] == U[b])
            ++b;
        const int mult = b - i + 1;
        int inserted = 0;
        if (mult < p) {
            const double numer = U[b] - U[a];
            for (int j = p; j > mult; --j)
                alphas[j - mult - 1] = numer / (U[a + j] - U[a]);
            inserted = p - mult;
            for (int j = 1; j <= inserted; ++j) {
                const int save = inserted - j, s = mult + j;
                for (int l = p; l >= s; --l) {
                    const double alpha = alphas[l - s];
                    for (int d = 0; d < 4; ++d)
                        q[l].x[d] = alpha * q[l].x[d] + (1.0 - alpha) * q[l - 1].x[d];
                }
                if (b < m)
                    next[save] = q[p];
            }
        }
        // The piece ends at U[b]; when b reached m it was the last one.
        const bool last = b >= m;
        if (!emit(pieceStart))
            return 0;
        if (last)
            break;
        for (int l = mult > p ? 0 : p - mult; l <= p; ++l)
            next[l] = homogeneous(c, b - p + l);
        for (int l = 0; l <= p; ++l)
            q[l] = next[l];
        pieceStart = U[b];
        a = b;
        ++b;
    }
    // The end value closes the last piece; the entries that come with its
    // copies are spare.
    for (int l = 0; l <= g && knotsOut < r->noPoints; ++l)
        r->knots[knotsOut++] = U[m];
    for (int i = out; i < r->noPoints; ++i) {
        r->points[i][0] = r->points[i][1] = r->points[i][2] = 0.0;
        r->weights[i] = 0.0;
    }
    return knotsOut == r->noPoints && out == r->noPoints - (g + 1) ? 1 : 0;
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
    // A domain narrower than the knot tolerance is one knot value: it holds
    // no piece to raise.
    if (g > GEOM_MAX_EDIT_ORDER - 1 || !usable(old) || !ratBSplCurveHasSpans(old) ||
        !(domainEnd(old) - domainStart(old) >= kSameValue)) {
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
    const std::vector<double> knots = workKnots(src);
    const int S = knotValueCount(knots, src->ord);
    if (S == 0) {
        ratBSplCurveFree(clampedCopy);
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineTargetOrder);
        return 0;
    }
    RatBSplCurve* r = ratBSplCurveCreate(g + 1, (g + 1) * S);
    if (!r) {
        ratBSplCurveFree(clampedCopy);
        geomReportError(GEOM_ERR_ALLOC, GEOM_FILE_CURVE, kLineResize);
        return 0;
    }
    const int ok = elevateIntoRecord(src, knots, g, r);
    ratBSplCurveFree(clampedCopy);
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
