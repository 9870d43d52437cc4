// B-spline basis values, knot span search and the span evaluators every
// curve and surface evaluation comes down to. Nothing here allocates.
#include "geom/geom_curve.h"

#include <cmath>

namespace {

const double kAlphaEps = 1e-12;   // knot difference treated as zero in de Boor's triangle
const double kBasisEps = 1e-10;   // knot difference treated as zero in the basis recurrence
const double kWeightEps = 1e-12;  // vanishing weight sum

// Factor a / d of the basis recurrence, 0 where the knots coincide.
inline double basisFactor(double a, double d) { return d > kBasisEps ? a / d : 0.0; }

// N(g, q)(t) from N(g, q - 1) = lo and N(g + 1, q - 1) = hi.
inline double raiseOrder(const double* K, int g, int q, double t, double lo, double hi)
{
    const double a1 = basisFactor(t - K[g], K[g + q - 1] - K[g]);
    const double a2 = basisFactor(K[g + q] - t, K[g + q] - K[g + 1]);
    return a1 * lo + a2 * hi;
}

inline void zero3(double* v)
{
    v[0] = v[1] = v[2] = 0.0;
}

}  // namespace

int ratBSplCurveFindSpan(const double* K, int m, int k, double t)
{
    // A span needs k control points on either side of it: fewer knots than
    // 2k leave no span to return.
    if (!K || k < 1 || m < 2 * k)
        return -1;
    const double lo = K[k - 1];
    const double hi = K[m - k];
    // At the domain's ends the end spans answer. A knot vector that is not
    // clamped may repeat an end knot k - 1 times, which leaves the span k - 1
    // (or m - k - 1) empty: its basis functions are all zero there, so the
    // first (last) span with a width answers instead.
    if (t < lo - 0.005)
        return -1;
    if (t <= lo) {
        for (int i = k - 1; i < m - k; ++i)
            if (K[i] < K[i + 1])
                return i;
        return -1;
    }
    if (t > hi + 0.005)
        return -1;
    if (t >= hi) {
        for (int i = m - k - 1; i >= k - 1; --i)
            if (K[i] < K[i + 1])
                return i;
        return -1;
    }

    for (double tol = 1e-9; tol <= 0.005; tol *= 10.0) {
        int a = k - 1;
        int b = m - k;
        // Bisection with a margin of 2k spans beyond the midpoint, so the
        // tolerant scan below still sees its neighbours.
        for (int step = 0; step < 6 && b - a >= 4 * k; ++step) {
            const int mid = (a + b) / 2;
            if (t <= K[mid]) {
                b = mid + 2 * k;
                if (b > m - k) {
                    b = m - k;
                    break;
                }
            } else {
                a = mid - 2 * k;
                if (a < k - 1) {
                    a = k - 1;
                    break;
                }
            }
        }
        for (int i = a; i < b; ++i) {
            if (std::fabs(K[i] - K[i + 1]) < 1e-12)
                continue;
            if (K[i] - tol <= t && t < K[i + 1] + tol)
                return i;
        }
    }
    return -1;
}

double* ratBSplPointInSpan(double* out, const GeomVec3* P, const double* W, const double* K,
                           int k, int s, double t, GeomVec3* workP, double* workW,
                           double* outWeight)
{
    zero3(workP[0]);
    workW[0] = 1.0;
    // Order 1 has no triangle to run: the zero point, and the weight sum is
    // left as the caller had it.
    if (k <= 1) {
        zero3(out);
        return out;
    }
    const int base = s - k + 1;
    for (int j = s; j >= s - k + 2; --j) {
        const double d = K[j + k - 1] - K[j];
        const double alpha = std::fabs(d) < kAlphaEps ? 0.0 : (t - K[j]) / d;
        const int i = j - base;
        const double w0 = (1.0 - alpha) * W[j - 1], w1 = alpha * W[j];
        workP[i][0] = w0 * P[j - 1][0] + w1 * P[j][0];
        workP[i][1] = w0 * P[j - 1][1] + w1 * P[j][1];
        workP[i][2] = w0 * P[j - 1][2] + w1 * P[j][2];
        workW[i] = w0 + w1;
    }
    for (int r = 2; r <= k - 1; ++r) {
        for (int j = s; j >= s - k + r + 1; --j) {
            const double d = K[j + k - r] - K[j];
            const double alpha = std::fabs(d) < kAlphaEps ? 0.0 : (t - K[j]) / d;
            const int i = j - base;
            const double b = 1.0 - alpha;
            workP[i][0] = b * workP[i - 1][0] + alpha * workP[i][0];
            workP[i][1] = b * workP[i - 1][1] + alpha * workP[i][1];
            workP[i][2] = b * workP[i - 1][2] + alpha * workP[i][2];
            workW[i] = b * workW[i - 1] + alpha * workW[i];
        }
    }
    const double w = workW[k - 1];
    if (outWeight)
        *outWeight = w;
    if (std::fabs(w) < kWeightEps) {
        geomReportError(GEOM_ERR_DIVISOR, GEOM_FILE_CURVE, 11080);
        zero3(out);
        return out;
    }
    out[0] = workP[k - 1][0] / w;
    out[1] = workP[k - 1][1] / w;
    out[2] = workP[k - 1][2] / w;
    return out;
}

double* bsplPointInSpan(double* out, const GeomVec3* P, const double* K, int k, int s, double t,
                        GeomVec3* workP)
{
    if (k < 2) {
        if (k == 1) {
            out[0] = P[s][0];
            out[1] = P[s][1];
            out[2] = P[s][2];
        } else {
            zero3(out);
        }
        return out;
    }
    const int base = s - k + 1;
    for (int j = s; j >= s - k + 2; --j) {
        const double d = K[j + k - 1] - K[j];
        const double alpha = std::fabs(d) < kAlphaEps ? 0.0 : (t - K[j]) / d;
        const int i = j - base;
        for (int c = 0; c < 3; ++c)
            workP[i][c] = (1.0 - alpha) * P[j - 1][c] + alpha * P[j][c];
    }
    for (int r = 2; r <= k - 1; ++r) {
        for (int j = s; j >= s - k + r + 1; --j) {
            const double d = K[j + k - r] - K[j];
            const double alpha = std::fabs(d) < kAlphaEps ? 0.0 : (t - K[j]) / d;
            const int i = j - base;
            for (int c = 0; c < 3; ++c)
                workP[i][c] = (1.0 - alpha) * workP[i - 1][c] + alpha * workP[i][c];
        }
    }
    out[0] = workP[k - 1][0];
    out[1] = workP[k - 1][1];
    out[2] = workP[k - 1][2];
    return out;
}

void bsplBasisOrders2(const double* K, int k, int s, double t, double* N, double* M)
{
    if (k < 1)
        return;
    for (int i = 0; i <= k; ++i)
        N[i] = M[i] = 0.0;
    M[k - 1] = 1.0;
    const int base = s - k + 1;
    // Upwards, so M[i + 1] still holds the lower order when M[i] reads it.
    for (int r = k - 2; r >= 1; --r)
        for (int i = r; i <= k - 1; ++i)
            M[i] = raiseOrder(K, base + i, k - r, t, M[i], M[i + 1]);
    for (int i = 0; i <= k - 1; ++i)
        N[i] = raiseOrder(K, base + i, k, t, M[i], M[i + 1]);
}

void bsplBasisOrders3(const double* K, int k, int s, double t, double* N, double* M1,
                      double* M2)
{
    if (k < 1)
        return;
    for (int i = 0; i <= k; ++i)
        N[i] = M1[i] = M2[i] = 0.0;
    M2[k - 1] = k >= 3 ? 1.0 : 0.0;
    M1[k - 1] = k >= 2 ? 1.0 : 0.0;
    N[k - 1] = 1.0;
    const int base = s - k + 1;
    if (k > 3)
        for (int r = k - 2; r >= 2; --r)
            for (int i = r; i <= k - 1; ++i)
                M2[i] = raiseOrder(K, base + i, k - r, t, M2[i], M2[i + 1]);
    if (k >= 3)
        for (int i = 1; i <= k - 1; ++i)
            M1[i] = raiseOrder(K, base + i, k - 1, t, M2[i], M2[i + 1]);
    if (k >= 2)
        for (int i = 0; i <= k - 1; ++i)
            N[i] = raiseOrder(K, base + i, k, t, M1[i], M1[i + 1]);
}

double* ratBSplDerivInSpan(double* out, const GeomVec3* P, const double* W, const double* K,
                           int k, int s, double t, GeomVec3* workP, double* workW)
{
    if (k < 1) {
        zero3(out);
        return out;
    }
    double R[3];
    ratBSplPointInSpan(R, P, W, K, k, s, t, workP, workW, nullptr);

    double* N = workW;
    double* M = workW + k;
    bsplBasisOrders2(K, k, s, t, N, M);

    const int base = s - k + 1;
    double A[3] = {0.0, 0.0, 0.0};
    double Wd = 0.0;
    for (int j = 1; j <= k - 1; ++j) {
        const int i = base + j;
        const double d = K[i + k - 1] - K[i];
        const double f = std::fabs(d) <= kBasisEps ? 0.0 : (k - 1) * M[j] / d;
        for (int c = 0; c < 3; ++c)
            A[c] += f * (W[i] * P[i][c] - W[i - 1] * P[i - 1][c]);
        Wd += f * (W[i] - W[i - 1]);
    }
    double Wt = 0.0;
    for (int j = 0; j <= k - 1; ++j)
        Wt += N[j] * W[base + j];
    if (std::fabs(Wt) <= kWeightEps) {
        zero3(out);
        return out;
    }
    for (int c = 0; c < 3; ++c)
        out[c] = (A[c] - Wd * R[c]) / Wt;
    return out;
}

void ratBSplDerivs2InSpan(const GeomVec3* P, const double* W, const double* K, int k, int s,
                          double t, GeomVec3*, double*, double* outPoint, double* outD1,
                          double* outD2)
{
    enum { kBuf = GEOM_MAX_DERIV_ORDER + 1 };
    if (k < 1 || k > GEOM_MAX_DERIV_ORDER) {
        // The fixed buffers below hold orders up to 29 only.
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, 11213);
        if (outPoint)
            zero3(outPoint);
        if (outD1)
            zero3(outD1);
        if (outD2)
            zero3(outD2);
        return;
    }
    double N[kBuf], M1[kBuf], M2[kBuf];
    bsplBasisOrders3(K, k, s, t, N, M1, M2);

    double Q1[kBuf][3] = {};
    double Q2[kBuf][3] = {};
    double V1[kBuf] = {};
    double V2[kBuf] = {};
    const int b = s - k + 1;
    double A[3], A1[3] = {0, 0, 0}, A2[3] = {0, 0, 0};
    for (int c = 0; c < 3; ++c)
        A[c] = N[0] * W[b] * P[b][c];
    double Wt = N[0] * W[b];
    double S1 = 0.0, S2 = 0.0;
    for (int j = 1; j <= k - 1; ++j) {
        const int i = b + j;
        for (int c = 0; c < 3; ++c)
            A[c] += N[j] * W[i] * P[i][c];
        Wt += N[j] * W[i];
        const double d1 = K[i + k - 1] - K[i];
        const double f1 = std::fabs(d1) <= kBasisEps ? 0.0 : (k - 1) / d1;
        for (int c = 0; c < 3; ++c) {
            Q1[j][c] = f1 * (W[i] * P[i][c] - W[i - 1] * P[i - 1][c]);
            A1[c] += M1[j] * Q1[j][c];
        }
        V1[j] = f1 * (W[i] - W[i - 1]);
        S1 += M1[j] * V1[j];
        const double d2 = K[i + k - 2] - K[i];
        const double f2 = std::fabs(d2) <= kBasisEps ? 0.0 : (k - 2) / d2;
        for (int c = 0; c < 3; ++c) {
            Q2[j][c] = f2 * (Q1[j][c] - Q1[j - 1][c]);
            A2[c] += M2[j] * Q2[j][c];
        }
        V2[j] = f2 * (V1[j] - V1[j - 1]);
        S2 += M2[j] * V2[j];
    }
    double R[3] = {0, 0, 0}, D1[3] = {0, 0, 0}, D2[3] = {0, 0, 0};
    if (std::fabs(Wt) > kWeightEps) {
        for (int c = 0; c < 3; ++c) {
            R[c] = A[c] / Wt;
            D1[c] = (A1[c] - S1 * R[c]) / Wt;
            D2[c] = (A2[c] - (2.0 * S1 * D1[c] + S2 * R[c])) / Wt;
        }
    }
    for (int c = 0; c < 3; ++c) {
        if (outPoint)
            outPoint[c] = R[c];
        if (outD1)
            outD1[c] = D1[c];
        if (outD2)
            outD2[c] = D2[c];
    }
}

int findKnotIndex(const double* array, int n, double v, double tol)
{
    if (!array)
        return -1;
    for (int i = 0; i < n; ++i)
        if (std::fabs(v - array[i]) <= tol)
            return i;
    return -1;
}
