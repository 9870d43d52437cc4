// Surface point, derivatives, normal, curvature and offset point.
//
// The evaluators compute the non-zero basis functions (and their derivatives)
// of the two spans once and sum the homogeneous control points of the
// ordu x ordv patch directly. That is the tensor product of the row curves and
// the column curve through them, with the same rational quotient rule, but it
// needs no per-row triangle and no scratch array: everything lives in fixed
// buffers on the stack, which caps the order at GEOM_MAX_SURF_DERIV_ORDER.
// The plain point and the u derivative serve higher orders too, as curves of
// curves through the record's scratch arrays.
#include "geom/geom_surface.h"

#include <cmath>

namespace {

constexpr int kMaxOrd = GEOM_MAX_SURF_DERIV_ORDER + 1;

// Report sites (file GEOM_FILE_SURFACE).
enum {
    kLinePointU = 5335,
    kLinePointV = 5345,
    kLineNormalOrder = 5500,
    kLineNormalU = 5509,
    kLineNormalV = 5519,
    kLineSpansOrder = 5735,
    kLineSpansU = 5744,
    kLineSpansV = 5755,
    kLineDerivUU = 6112,
    kLineDerivUV = 6122,
    kLineDerivVOrder = 6257,
    kLineDerivVU = 6282,
    kLineDerivVV = 6292
};

// The curve module's site for a vanishing weight sum, which the row and
// column evaluations would report.
enum { kLineWeightSum = 11080 };

inline double ratio(double num, double den) { return std::fabs(den) < 1e-12 ? 0.0 : num / den; }

// Every evaluation reads ord knots on either side of a span and the ord x ord
// control points before it; a record that cannot hold one span (or whose
// arrays are missing) is not evaluated at all.
bool usable(const RatBSplSurf* s)
{
    return s->points && s->weights && s->knotsu && s->knotsv && s->rowPoints &&
           s->workPoints && s->rowWeights && s->workWeights && s->ordu >= 1 && s->ordv >= 1 &&
           s->noPointsu >= 2 * s->ordu && s->noPointsv >= 2 * s->ordv;
}

bool smallOrders(const RatBSplSurf* s)
{
    return s->ordu <= GEOM_MAX_SURF_DERIV_ORDER && s->ordv <= GEOM_MAX_SURF_DERIV_ORDER;
}

double normalise(double t, bool wraps)
{
    if (t < -1e-7)
        return wraps ? t - std::floor(t) : 0.0;
    if (t > 1.0000001)
        return wraps ? t - std::floor(t) : 1.0;
    return t;
}

// Knot value of a normalised parameter and the span that holds it; a span
// that cannot be found is reported and replaced by the first one.
int locate(const double* K, int m, int k, double t, bool wraps, int line, double* knotValue)
{
    const double tn = normalise(t, wraps);
    const double x = (1.0 - tn) * K[k - 1] + tn * K[m - k];
    *knotValue = x;
    int span = ratBSplCurveFindSpan(K, m, k, x);
    if (span < 0) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, line);
        span = k - 1;
    }
    return span;
}

struct Located {
    double U, V;
    int su, sv;
};

Located locateUV(const RatBSplSurf* s, double u, double v, int lineU, int lineV)
{
    Located at;
    at.su = locate(s->knotsu, s->noPointsu, s->ordu, u, s->periodicu != 0 || s->origFormu == 2,
                   lineU, &at.U);
    at.sv = locate(s->knotsv, s->noPointsv, s->ordv, v, s->periodicv != 0 || s->origFormv == 2,
                   lineV, &at.V);
    return at;
}

// Non-zero basis functions of order k on span s at t and their derivatives
// up to n (at most 2): D[d][i] belongs to control point s - k + 1 + i.
void basis(const double* K, int k, int s, double t, int n, double D[][kMaxOrd])
{
    const int p = k - 1;
    double left[kMaxOrd], right[kMaxOrd];
    if (n == 0) {
        double* N = D[0];
        N[0] = 1.0;
        for (int j = 1; j <= p; ++j) {
            left[j] = t - K[s + 1 - j];
            right[j] = K[s + j] - t;
            double saved = 0.0;
            for (int r = 0; r < j; ++r) {
                const double tmp = ratio(N[r], right[r + 1] + left[j - r]);
                N[r] = saved + right[r + 1] * tmp;
                saved = left[j - r] * tmp;
            }
            N[j] = saved;
        }
        return;
    }

    // ndu holds the basis functions of every lower order above the diagonal
    // and the knot differences that divide them below it; the derivatives are
    // differences of lower-order functions over those knot differences.
    double ndu[kMaxOrd][kMaxOrd];
    ndu[0][0] = 1.0;
    for (int j = 1; j <= p; ++j) {
        left[j] = t - K[s + 1 - j];
        right[j] = K[s + j] - t;
        double saved = 0.0;
        for (int r = 0; r < j; ++r) {
            ndu[j][r] = right[r + 1] + left[j - r];
            const double tmp = ratio(ndu[r][j - 1], ndu[j][r]);
            ndu[r][j] = saved + right[r + 1] * tmp;
            saved = left[j - r] * tmp;
        }
        ndu[j][j] = saved;
    }
    for (int j = 0; j <= p; ++j)
        D[0][j] = ndu[j][p];
    for (int d = 1; d <= n; ++d)
        for (int j = 0; j <= p; ++j)
            D[d][j] = 0.0;

    const int nd = n < p ? n : p;
    double a[2][kMaxOrd];
    for (int r = 0; r <= p; ++r) {
        int s1 = 0, s2 = 1;
        a[0][0] = 1.0;
        for (int kk = 1; kk <= nd; ++kk) {
            double d = 0.0;
            const int rk = r - kk, pk = p - kk;
            if (r >= kk) {
                a[s2][0] = ratio(a[s1][0], ndu[pk + 1][rk]);
                d = a[s2][0] * ndu[rk][pk];
            }
            const int j1 = rk >= -1 ? 1 : -rk;
            const int j2 = (r - 1 <= pk) ? kk - 1 : p - r;
            for (int j = j1; j <= j2; ++j) {
                a[s2][j] = ratio(a[s1][j] - a[s1][j - 1], ndu[pk + 1][rk + j]);
                d += a[s2][j] * ndu[rk + j][pk];
            }
            if (r <= pk) {
                a[s2][kk] = ratio(-a[s1][kk - 1], ndu[pk + 1][r]);
                d += a[s2][kk] * ndu[r][pk];
            }
            D[kk][r] = d;
            const int sw = s1;
            s1 = s2;
            s2 = sw;
        }
    }
    double f = p;
    for (int kk = 1; kk <= nd; ++kk) {
        for (int j = 0; j <= p; ++j)
            D[kk][j] *= f;
        f *= p - kk;
    }
}

// Homogeneous point (w x, w y, w z, w) and its derivatives: Au[a] is the a-th
// derivative in u, Av[b] the b-th in v (Av[0] = Au[0]).
void homogeneous(const RatBSplSurf* s, int su, int sv, const double Nu[][kMaxOrd], int du,
                 const double Nv[][kMaxOrd], int dv, double Au[3][4], double Av[3][4])
{
    const int ku = s->ordu, kv = s->ordv;
    const int bu = su - ku + 1, bv = sv - kv + 1;
    for (int a = 0; a <= du; ++a)
        Au[a][0] = Au[a][1] = Au[a][2] = Au[a][3] = 0.0;
    for (int b = 1; b <= dv; ++b)
        Av[b][0] = Av[b][1] = Av[b][2] = Av[b][3] = 0.0;
    for (int i = 0; i < ku; ++i) {
        const long long row = static_cast<long long>(bu + i) * s->noPointsv + bv;
        const GeomVec3* P = s->points + row;
        const double* W = s->weights + row;
        double R[3][4] = {{0.0, 0.0, 0.0, 0.0}, {0.0, 0.0, 0.0, 0.0}, {0.0, 0.0, 0.0, 0.0}};
        for (int j = 0; j < kv; ++j) {
            const double w = W[j];
            const double hx = w * P[j][0], hy = w * P[j][1], hz = w * P[j][2];
            for (int b = 0; b <= dv; ++b) {
                const double c = Nv[b][j];
                R[b][0] += c * hx;
                R[b][1] += c * hy;
                R[b][2] += c * hz;
                R[b][3] += c * w;
            }
        }
        for (int a = 0; a <= du; ++a) {
            const double c = Nu[a][i];
            for (int e = 0; e < 4; ++e)
                Au[a][e] += c * R[0][e];
        }
        const double c = Nu[0][i];
        for (int b = 1; b <= dv; ++b)
            for (int e = 0; e < 4; ++e)
                Av[b][e] += c * R[b][e];
    }
    for (int e = 0; e < 4; ++e)
        Av[0][e] = Au[0][e];
}

// Point and derivatives (up to n) of the rational map from its homogeneous
// form by the quotient rule; zero when the weight sum vanishes.
void rationalDerivs(const double A[3][4], int n, double out[3][3])
{
    const double w = A[0][3];
    if (std::fabs(w) <= 1e-12) {
        for (int d = 0; d <= n; ++d)
            out[d][0] = out[d][1] = out[d][2] = 0.0;
        return;
    }
    const double inv = 1.0 / w;
    for (int e = 0; e < 3; ++e)
        out[0][e] = A[0][e] * inv;
    if (n >= 1)
        for (int e = 0; e < 3; ++e)
            out[1][e] = (A[1][e] - A[1][3] * out[0][e]) * inv;
    if (n >= 2)
        for (int e = 0; e < 3; ++e)
            out[2][e] = (A[2][e] - (2.0 * A[1][3] * out[1][e] + A[2][3] * out[0][e])) * inv;
}

void reportVanishingWeight(const double A[3][4])
{
    if (std::fabs(A[0][3]) < 1e-12)
        geomReportError(GEOM_ERR_DIVISOR, GEOM_FILE_CURVE, kLineWeightSum);
}

GeomPoint toPoint(const double* v) { return GeomPoint{v[0], v[1], v[2]}; }

void copy3(const double* from, double* to)
{
    if (to) {
        to[0] = from[0];
        to[1] = from[1];
        to[2] = from[2];
    }
}

void zero3(double* to)
{
    if (to)
        to[0] = to[1] = to[2] = 0.0;
}

void zeroOutputs(double* Su, double* Suu, double* Sv, double* Svv, double* kU, double* kV)
{
    zero3(Su);
    zero3(Suu);
    zero3(Sv);
    zero3(Svv);
    if (kU)
        *kU = 0.0;
    if (kV)
        *kV = 0.0;
}

// Point, derivatives and normal curvatures at knot values in known spans;
// the shared core of the two curvature evaluations.
GeomPoint evalFull(const RatBSplSurf* s, int su, int sv, double U, double V, double* Su,
                   double* Suu, double* Sv, double* Svv, double* kU, double* kV)
{
    const bool curvature = kU || kV;
    const int du = (Su || Suu || curvature) ? 2 : 0;
    const int dv = (Sv || Svv || curvature) ? 2 : 0;
    double Nu[3][kMaxOrd], Nv[3][kMaxOrd];
    basis(s->knotsu, s->ordu, su, U, du, Nu);
    basis(s->knotsv, s->ordv, sv, V, dv, Nv);
    double Au[3][4], Av[3][4];
    homogeneous(s, su, sv, Nu, du, Nv, dv, Au, Av);
    reportVanishingWeight(Au);
    double ru[3][3], rv[3][3];
    rationalDerivs(Au, du, ru);
    rationalDerivs(Av, dv, rv);
    if (du) {
        copy3(ru[1], Su);
        copy3(ru[2], Suu);
    }
    if (dv) {
        copy3(rv[1], Sv);
        copy3(rv[2], Svv);
    }
    if (curvature) {
        double n[3];
        vec3CrossB(n, ru[1], rv[1]);
        vec3NormalizeB(n);
        const double uu = vec3DotB(ru[1], ru[1]);
        const double vv = vec3DotB(rv[1], rv[1]);
        if (kU)
            *kU = std::fabs(uu) <= 1e-10 ? 0.0 : vec3DotB(n, ru[2]) / uu;
        if (kV)
            *kV = std::fabs(vv) <= 1e-10 ? 0.0 : vec3DotB(n, rv[2]) / vv;
    }
    return toPoint(ru[0]);
}

// Curve of curves through the record's scratch arrays: each contributing row
// is evaluated along v, then the row points (with their weight sums) along u.
// Serves orders beyond the fixed buffers.
void rowsAlongV(RatBSplSurf* s, const Located& at)
{
    const int b = at.su - s->ordu + 1;
    for (int r = b; r <= at.su; ++r) {
        const long long row = static_cast<long long>(r) * s->noPointsv;
        ratBSplPointInSpan(s->rowPoints[r - b], s->points + row, s->weights + row, s->knotsv,
                           s->ordv, at.sv, at.V, s->workPoints, s->workWeights,
                           &s->rowWeights[r - b]);
    }
}

GeomPoint pointByRows(RatBSplSurf* s, const Located& at)
{
    rowsAlongV(s, at);
    double p[3];
    ratBSplPointInSpan(p, s->rowPoints, s->rowWeights, s->knotsu + (at.su - s->ordu + 1),
                       s->ordu, s->ordu - 1, at.U, s->workPoints, s->workWeights, nullptr);
    return toPoint(p);
}

GeomPoint derivUByRows(RatBSplSurf* s, const Located& at)
{
    rowsAlongV(s, at);
    double d[3];
    ratBSplDerivInSpan(d, s->rowPoints, s->rowWeights, s->knotsu + (at.su - s->ordu + 1),
                       s->ordu, s->ordu - 1, at.U, s->workPoints, s->workWeights);
    return toPoint(d);
}

// First derivative in one direction (dirU) at known spans, small orders only.
GeomPoint firstDeriv(const RatBSplSurf* s, const Located& at, bool dirU)
{
    double Nu[3][kMaxOrd], Nv[3][kMaxOrd];
    const int du = dirU ? 1 : 0, dv = dirU ? 0 : 1;
    basis(s->knotsu, s->ordu, at.su, at.U, du, Nu);
    basis(s->knotsv, s->ordv, at.sv, at.V, dv, Nv);
    double Au[3][4], Av[3][4];
    homogeneous(s, at.su, at.sv, Nu, du, Nv, dv, Au, Av);
    reportVanishingWeight(Au);
    double r[3][3];
    rationalDerivs(dirU ? Au : Av, 1, r);
    return toPoint(r[1]);
}

}  // namespace

GeomPoint ratBSplSurfEvalPoint(RatBSplSurf* surface, double u, double v)
{
    if (!surface)
        return GeomPoint{0.0, 0.0, 0.0};
    if (!usable(surface)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, kLinePointU);
        return GeomPoint{0.0, 0.0, 0.0};
    }
    const Located at = locateUV(surface, u, v, kLinePointU, kLinePointV);
    if (!smallOrders(surface))
        return pointByRows(surface, at);
    double Nu[3][kMaxOrd], Nv[3][kMaxOrd];
    basis(surface->knotsu, surface->ordu, at.su, at.U, 0, Nu);
    basis(surface->knotsv, surface->ordv, at.sv, at.V, 0, Nv);
    double Au[3][4], Av[3][4];
    homogeneous(surface, at.su, at.sv, Nu, 0, Nv, 0, Au, Av);
    if (std::fabs(Au[0][3]) < 1e-12) {
        geomReportError(GEOM_ERR_DIVISOR, GEOM_FILE_CURVE, kLineWeightSum);
        return GeomPoint{0.0, 0.0, 0.0};
    }
    const double inv = 1.0 / Au[0][3];
    return GeomPoint{Au[0][0] * inv, Au[0][1] * inv, Au[0][2] * inv};
}

GeomPoint ratBSplSurfEvalPointNormal(RatBSplSurf* surface, double u, double v, double* Su,
                                     double* Suu, double* Sv, double* Svv, double* kU,
                                     double* kV)
{
    if (!surface)
        return GeomPoint{0.0, 0.0, 0.0};
    if (!usable(surface)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, kLineNormalU);
        zeroOutputs(Su, Suu, Sv, Svv, kU, kV);
        return GeomPoint{0.0, 0.0, 0.0};
    }
    if (!smallOrders(surface)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, kLineNormalOrder);
        zeroOutputs(Su, Suu, Sv, Svv, kU, kV);
        return GeomPoint{0.0, 0.0, 0.0};
    }
    const Located at = locateUV(surface, u, v, kLineNormalU, kLineNormalV);
    // Every output is asked for; a caller that passes null still gets the
    // curvature computed, which needs all four derivatives internally.
    double su[3], suu[3], sv[3], svv[3], ku, kv;
    const GeomPoint p = evalFull(surface, at.su, at.sv, at.U, at.V, su, suu, sv, svv, &ku, &kv);
    copy3(su, Su);
    copy3(suu, Suu);
    copy3(sv, Sv);
    copy3(svv, Svv);
    if (kU)
        *kU = ku;
    if (kV)
        *kV = kv;
    return p;
}

GeomPoint ratBSplSurfEvalAtSpans(RatBSplSurf* surface, int su, int sv, double U, double V,
                                 double* Su, double* Suu, double* Sv, double* Svv, double* kU,
                                 double* kV)
{
    if (!surface)
        return GeomPoint{0.0, 0.0, 0.0};
    if (!usable(surface)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, kLineSpansU);
        zeroOutputs(Su, Suu, Sv, Svv, kU, kV);
        return GeomPoint{0.0, 0.0, 0.0};
    }
    if (!smallOrders(surface)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, kLineSpansOrder);
        zeroOutputs(Su, Suu, Sv, Svv, kU, kV);
        return GeomPoint{0.0, 0.0, 0.0};
    }
    if (su < surface->ordu - 1 || su > surface->noPointsu - surface->ordu - 1) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, kLineSpansU);
        su = surface->ordu - 1;
    }
    if (sv < surface->ordv - 1 || sv > surface->noPointsv - surface->ordv - 1) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, kLineSpansV);
        sv = surface->ordv - 1;
    }
    return evalFull(surface, su, sv, U, V, Su, Suu, Sv, Svv, kU, kV);
}

GeomPoint ratBSplSurfEvalDerivU(RatBSplSurf* surface, double u, double v)
{
    if (!surface)
        return GeomPoint{0.0, 0.0, 0.0};
    if (!usable(surface)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, kLineDerivUU);
        return GeomPoint{0.0, 0.0, 0.0};
    }
    const Located at = locateUV(surface, u, v, kLineDerivUU, kLineDerivUV);
    if (!smallOrders(surface))
        return derivUByRows(surface, at);
    return firstDeriv(surface, at, true);
}

GeomPoint ratBSplSurfEvalDerivV(RatBSplSurf* surface, double u, double v)
{
    if (!surface)
        return GeomPoint{0.0, 0.0, 0.0};
    if (!usable(surface)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, kLineDerivVU);
        return GeomPoint{0.0, 0.0, 0.0};
    }
    const Located at = locateUV(surface, u, v, kLineDerivVU, kLineDerivVV);
    if (!smallOrders(surface)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, kLineDerivVOrder);
        return GeomPoint{0.0, 0.0, 0.0};
    }
    return firstDeriv(surface, at, false);
}

GeomPoint ratBSplSurfEvalNormal(RatBSplSurf* surface, double u, double v)
{
    const GeomPoint a = ratBSplSurfEvalDerivU(surface, u, v);
    const GeomPoint b = ratBSplSurfEvalDerivV(surface, u, v);
    GeomPoint n{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    const double len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    const double d = len > 1e-10 ? len : 1.0;
    n.x /= d;
    n.y /= d;
    n.z /= d;
    return n;
}

GeomPoint ratBSplSurfEvalOffsetPoint(RatBSplSurf* surface, double u, double v)
{
    if (!surface)
        return GeomPoint{0.0, 0.0, 0.0};
    if (surface->isOffsetSurf == 0)
        return ratBSplSurfEvalPoint(surface, u, v);
    const GeomPoint n = ratBSplSurfEvalNormal(surface, u, v);
    const GeomPoint p = ratBSplSurfEvalPoint(surface, u, v);
    const double d = surface->offset;
    return GeomPoint{p.x + d * n.x, p.y + d * n.y, p.z + d * n.z};
}
