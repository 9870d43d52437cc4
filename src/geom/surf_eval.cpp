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
#include "geom/invert_grid.h"

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

inline double reciprocal(double den) { return std::fabs(den) < 1e-12 ? 0.0 : 1.0 / den; }

constexpr double kWeightEps = 1e-12;   // a weight sum below this vanishes

// Non-zero basis functions of order k on span s at t and their derivatives
// up to N (at most 2): D[d][i] belongs to control point s - k + 1 + i.
// FIXED is the order when it is known at compile time (0 otherwise), so that
// the common low orders run without loop overhead.
template <int N, int FIXED>
void basisOfOrder(const double* K, int k, int s, double t, double D[][kMaxOrd])
{
    const int p = (FIXED > 0 ? FIXED : k) - 1;
    // Reciprocals of the knot differences that divide the functions of each
    // degree j; they depend on the span only, so they are formed first and
    // independently of one another.
    double inv[kMaxOrd][kMaxOrd];
    for (int j = 1; j <= p; ++j)
        for (int r = 0; r < j; ++r)
            inv[j][r] = reciprocal(K[s + r + 1] - K[s + 1 - j + r]);
    double left[kMaxOrd], right[kMaxOrd];
    for (int j = 1; j <= p; ++j) {
        left[j] = t - K[s + 1 - j];
        right[j] = K[s + j] - t;
    }
    // lvl[j][r]: the function of degree j with local index r (the one that
    // belongs to knot s - j + r); the derivatives need degrees p - 1 and p - 2.
    double lvl[kMaxOrd][kMaxOrd];
    lvl[0][0] = 1.0;
    for (int j = 1; j <= p; ++j) {
        double saved = 0.0;
        for (int r = 0; r < j; ++r) {
            const double tmp = lvl[j - 1][r] * inv[j][r];
            lvl[j][r] = saved + right[r + 1] * tmp;
            saved = left[j - r] * tmp;
        }
        lvl[j][j] = saved;
    }
    for (int r = 0; r <= p; ++r)
        D[0][r] = lvl[p][r];
    if (N < 1)
        return;

    // N'(i, p) = p N(i, p - 1) / (K[i + p] - K[i]) - p N(i + 1, p - 1) / (K[i + p + 1] - K[i + 1])
    if (p < 1) {
        for (int d = 1; d <= N; ++d)
            D[d][0] = 0.0;
        return;
    }
    for (int r = 0; r <= p; ++r) {
        const double a = r > 0 ? lvl[p - 1][r - 1] * inv[p][r - 1] : 0.0;
        const double b = r < p ? lvl[p - 1][r] * inv[p][r] : 0.0;
        D[1][r] = p * (a - b);
    }
    if (N < 2)
        return;
    if (p < 2) {
        for (int r = 0; r <= p; ++r)
            D[2][r] = 0.0;
        return;
    }
    // The same rule on the first derivatives of degree p - 1.
    double E[kMaxOrd];
    for (int q = 0; q < p; ++q) {
        const double a = q > 0 ? lvl[p - 2][q - 1] * inv[p - 1][q - 1] : 0.0;
        const double b = q < p - 1 ? lvl[p - 2][q] * inv[p - 1][q] : 0.0;
        E[q] = (p - 1) * (a - b);
    }
    for (int r = 0; r <= p; ++r) {
        const double a = r > 0 ? E[r - 1] * inv[p][r - 1] : 0.0;
        const double b = r < p ? E[r] * inv[p][r] : 0.0;
        D[2][r] = p * (a - b);
    }
}

template <int N>
void basis(const double* K, int k, int s, double t, double D[][kMaxOrd])
{
    switch (k) {
    case 2: basisOfOrder<N, 2>(K, k, s, t, D); break;
    case 3: basisOfOrder<N, 3>(K, k, s, t, D); break;
    case 4: basisOfOrder<N, 4>(K, k, s, t, D); break;
    default: basisOfOrder<N, 0>(K, k, s, t, D); break;
    }
}

// Weight sums of the patch's lines, which the evaluations report when they
// vanish: rows[i] is row i's sum along v, columns[j] column j's along u (when
// asked for), each added in the order of the tensor sums. smallest is the
// least magnitude among them, so that a call whose sums all stand clear of
// kWeightEps (every call on a net of positive weights) passes the reports by
// with one comparison; a NaN sum is never below it, as it is never reported.
struct LineSums {
    double rows[kMaxOrd];
    double columns[kMaxOrd];
    double smallest;
    bool mayVanish() const { return smallest < kWeightEps; }
};

// Branch-free, so that it costs each sum a couple of instructions.
inline double leastMagnitude(double least, const double* sums, int count)
{
    for (int i = 0; i < count; ++i) {
        const double a = std::fabs(sums[i]);
        least = a < least ? a : least;
    }
    return least;
}

// Homogeneous point (w x, w y, w z, w) and its derivatives: Au[a] is the a-th
// derivative in u (a <= DU), Av[b] the b-th in v (b <= DV; Av[0] = Au[0]).
// rows receives the weight sum of each of the ordu rows along v; columns, if
// not null, that of each of the ordv columns along u, for orders not known at
// compile time only (see lineSums).
// KU and KV are the orders when known at compile time (0 otherwise).
template <int DU, int DV, int KU, int KV>
void homogeneousOfOrders(const RatBSplSurf* s, int su, int sv, const double Nu[][kMaxOrd],
                         const double Nv[][kMaxOrd], double Au[3][4], double Av[3][4], double* rows,
                         double* columns)
{
    const int ku = KU > 0 ? KU : s->ordu, kv = KV > 0 ? KV : s->ordv;
    const int bu = su - ku + 1, bv = sv - kv + 1;
    // Sums in locals: the outputs could alias the net as far as the compiler
    // knows, which would force every partial sum through memory.
    double U[DU + 1][4], V[DV + 1][4];
    for (int a = 0; a <= DU; ++a)
        U[a][0] = U[a][1] = U[a][2] = U[a][3] = 0.0;
    for (int b = 0; b <= DV; ++b)
        V[b][0] = V[b][1] = V[b][2] = V[b][3] = 0.0;
    const bool columnsHere = KV == 0 && columns;
    if (columnsHere)
        for (int j = 0; j < kv; ++j)
            columns[j] = 0.0;
    const int stride = s->noPointsv;
    const GeomVec3* P = s->points + static_cast<long long>(bu) * stride + bv;
    const double* W = s->weights + static_cast<long long>(bu) * stride + bv;
    for (int i = 0; i < ku; ++i, P += stride, W += stride) {
        double R[DV + 1][4];
        for (int b = 0; b <= DV; ++b)
            R[b][0] = R[b][1] = R[b][2] = R[b][3] = 0.0;
        for (int j = 0; j < kv; ++j) {
            const double w = W[j];
            const double h[4] = {w * P[j][0], w * P[j][1], w * P[j][2], w};
            // Unrolled, the derivatives' partial sums stay in registers;
            // -O2 would keep this loop, and them in memory.
#pragma GCC unroll 3
            for (int b = 0; b <= DV; ++b) {
                const double c = Nv[b][j];
                for (int e = 0; e < 4; ++e)
                    R[b][e] += c * h[e];
            }
            if (columnsHere)
                columns[j] += Nu[0][i] * w;
        }
        rows[i] = R[0][3];
        for (int a = 0; a <= DU; ++a) {
            const double c = Nu[a][i];
            for (int e = 0; e < 4; ++e)
                U[a][e] += c * R[0][e];
        }
        const double c = Nu[0][i];
        for (int b = 1; b <= DV; ++b)
            for (int e = 0; e < 4; ++e)
                V[b][e] += c * R[b][e];
    }
    for (int e = 0; e < 4; ++e) {
        for (int a = 0; a <= DU; ++a)
            Au[a][e] = U[a][e];
        Av[0][e] = U[0][e];
        for (int b = 1; b <= DV; ++b)
            Av[b][e] = V[b][e];
    }
}

// The least magnitude among the line sums, after the column sums (when
// COLUMNS) for the orders known at compile time: those take a pass of their
// own over the patch's weights, a few instructions a weight, since inside
// the loop above their accumulators would take the registers that hold its
// partial sums. The loop for other orders keeps those in memory anyway, and
// there the column sums ride along.
template <int KU, int KV, bool COLUMNS>
void lineSums(const RatBSplSurf* s, int su, int sv, const double* nu, LineSums* sums)
{
    const int ku = KU > 0 ? KU : s->ordu, kv = KV > 0 ? KV : s->ordv;
    if (COLUMNS && KV > 0) {
        const int stride = s->noPointsv;
        const double* W = s->weights + static_cast<long long>(su - ku + 1) * stride + (sv - kv + 1);
        double columns[KV > 0 ? KV : 1] = {};
        for (int i = 0; i < ku; ++i, W += stride)
            for (int j = 0; j < kv; ++j)
                columns[j] += nu[i] * W[j];
        for (int j = 0; j < kv; ++j)
            sums->columns[j] = columns[j];
    }
    const double least = leastMagnitude(HUGE_VAL, sums->rows, ku);
    sums->smallest = COLUMNS ? leastMagnitude(least, sums->columns, kv) : least;
}

// The homogeneous sums with the line sums; the columns only when COLUMNS.
template <int DU, int DV, bool COLUMNS>
void homogeneous(const RatBSplSurf* s, int su, int sv, const double Nu[][kMaxOrd],
                 const double Nv[][kMaxOrd], double Au[3][4], double Av[3][4], LineSums* sums)
{
    // Both orders are compared: a combined key would let other pairs (2 and
    // 11, say) pass for one of these.
    const int ku = s->ordu, kv = s->ordv;
    double* rows = sums->rows;
    if (ku == 3 && kv == 2) {
        homogeneousOfOrders<DU, DV, 3, 2>(s, su, sv, Nu, Nv, Au, Av, rows, nullptr);
        lineSums<3, 2, COLUMNS>(s, su, sv, Nu[0], sums);
    } else if (ku == 2 && kv == 3) {
        homogeneousOfOrders<DU, DV, 2, 3>(s, su, sv, Nu, Nv, Au, Av, rows, nullptr);
        lineSums<2, 3, COLUMNS>(s, su, sv, Nu[0], sums);
    } else if (ku == 3 && kv == 3) {
        homogeneousOfOrders<DU, DV, 3, 3>(s, su, sv, Nu, Nv, Au, Av, rows, nullptr);
        lineSums<3, 3, COLUMNS>(s, su, sv, Nu[0], sums);
    } else if (ku == 4 && kv == 4) {
        homogeneousOfOrders<DU, DV, 4, 4>(s, su, sv, Nu, Nv, Au, Av, rows, nullptr);
        lineSums<4, 4, COLUMNS>(s, su, sv, Nu[0], sums);
    } else {
        homogeneousOfOrders<DU, DV, 0, 0>(s, su, sv, Nu, Nv, Au, Av, rows,
                                          COLUMNS ? sums->columns : nullptr);
        lineSums<0, 0, COLUMNS>(s, su, sv, Nu[0], sums);
    }
}

// Point and derivatives (up to n) of the rational map from its homogeneous
// form by the quotient rule, given the reciprocal of the weight sum; zero
// when the weight sum vanishes.
inline void rationalDerivs(const double A[3][4], int n, double inv, double out[3][3])
{
    if (std::fabs(A[0][3]) <= 1e-12) {
        for (int d = 0; d <= n; ++d)
            out[d][0] = out[d][1] = out[d][2] = 0.0;
        return;
    }
    for (int e = 0; e < 3; ++e)
        out[0][e] = A[0][e] * inv;
    if (n >= 1)
        for (int e = 0; e < 3; ++e)
            out[1][e] = (A[1][e] - A[1][3] * out[0][e]) * inv;
    if (n >= 2)
        for (int e = 0; e < 3; ++e)
            out[2][e] = (A[2][e] - (2.0 * A[1][3] * out[1][e] + A[2][3] * out[0][e])) * inv;
}

// The surface is a curve of curves: each row of the patch evaluated along v
// (or column along u), then a curve through those points. Each such line
// evaluation reports a weight sum that vanishes, and the curve through the
// lines that uses the point evaluator reports its own. The sums here are the
// tensor product itself, so a line whose weights of mixed sign sum to 0 while
// its weighted points do not cancel still adds them: the result stays the
// surface's true rational point, where the line evaluation would have
// dropped that line as the zero point.
void reportVanishingSums(const double* sums, int count)
{
    for (int i = 0; i < count; ++i)
        if (std::fabs(sums[i]) < kWeightEps)
            geomReportError(GEOM_ERR_DIVISOR, GEOM_FILE_CURVE, kLineWeightSum);
}

void reportVanishingWeight(const double A[3][4])
{
    reportVanishingSums(&A[0][3], 1);
}

inline double dot3(const double* a, const double* b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
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
    const int dv = (Sv || Svv || curvature) ? 2 : 0;
    // With no derivative asked for, those along u are formed all the same:
    // the sums without derivatives then serve the point evaluation alone,
    // where the compiler inlines them.
    const int du = (Su || Suu || curvature || !dv) ? 2 : 0;
    double Nu[3][kMaxOrd], Nv[3][kMaxOrd];
    if (du)
        basis<2>(s->knotsu, s->ordu, su, U, Nu);
    else
        basis<0>(s->knotsu, s->ordu, su, U, Nu);
    if (dv)
        basis<2>(s->knotsv, s->ordv, sv, V, Nv);
    else
        basis<0>(s->knotsv, s->ordv, sv, V, Nv);
    double Au[3][4], Av[3][4];
    LineSums lines;
    if (du && dv)
        homogeneous<2, 2, true>(s, su, sv, Nu, Nv, Au, Av, &lines);
    else if (du)
        homogeneous<2, 0, true>(s, su, sv, Nu, Nv, Au, Av, &lines);
    else
        homogeneous<0, 2, true>(s, su, sv, Nu, Nv, Au, Av, &lines);
    // Rows along v, columns along u; the passes across them take first and
    // second derivatives, which give zero vectors for a vanishing sum and
    // report nothing.
    if (lines.mayVanish()) {
        reportVanishingSums(lines.rows, s->ordu);
        reportVanishingSums(lines.columns, s->ordv);
    }
    const double inv = std::fabs(Au[0][3]) > 1e-12 ? 1.0 / Au[0][3] : 0.0;
    double ru[3][3], rv[3][3];
    rationalDerivs(Au, du, inv, ru);
    rationalDerivs(Av, dv, inv, rv);
    if (du) {
        copy3(ru[1], Su);
        copy3(ru[2], Suu);
    }
    if (dv) {
        copy3(rv[1], Sv);
        copy3(rv[2], Svv);
    }
    if (curvature) {
        // The normal Su x Sv is made of unit length unless it is shorter than
        // 1e-12; the curvatures refer to it.
        const double* a = ru[1];
        const double* b = rv[1];
        const double n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2],
                             a[0] * b[1] - a[1] * b[0]};
        const double len = std::sqrt(dot3(n, n));
        const double scale = len >= 1e-12 ? 1.0 / len : 1.0;
        const double uu = dot3(a, a);
        const double vv = dot3(b, b);
        if (kU)
            *kU = std::fabs(uu) <= 1e-10 ? 0.0 : dot3(n, ru[2]) * scale / uu;
        if (kV)
            *kV = std::fabs(vv) <= 1e-10 ? 0.0 : dot3(n, rv[2]) * scale / vv;
    }
    return toPoint(ru[0]);
}

// Curve of curves through the record's scratch arrays, for orders beyond the
// fixed buffers: each contributing row is evaluated along v, then the row
// points along u. The rows stay homogeneous (w x, w y, w z, w) rather than
// being divided by their weight sums, so a row whose weights sum to 0 keeps
// its weighted points, as the tensor sums above do; an order-1 direction
// gives its control line.

// De Boor's triangle on the k homogeneous entries P, W that act on span s of
// the knots K (entry i belongs to control point s - k + 1 + i), in place;
// the value at t ends in entry k - 1.
void homogeneousTriangle(GeomVec3* P, double* W, const double* K, int k, int s, double t)
{
    const int base = s - k + 1;
    for (int r = 1; r <= k - 1; ++r)
        for (int j = s; j >= s - k + r + 1; --j) {
            const double d = K[j + k - r] - K[j];
            const double alpha = std::fabs(d) < 1e-12 ? 0.0 : (t - K[j]) / d;
            const int i = j - base;
            for (int e = 0; e < 3; ++e)
                P[i][e] = (1.0 - alpha) * P[i - 1][e] + alpha * P[i][e];
            W[i] = (1.0 - alpha) * W[i - 1] + alpha * W[i];
        }
}

// The ordu contributing rows at V, homogeneous, into rowPoints and rowWeights;
// each vanishing row sum is reported.
void rowsAlongV(RatBSplSurf* s, const Located& at)
{
    const int ku = s->ordu, kv = s->ordv, b = at.su - ku + 1;
    for (int r = 0; r < ku; ++r) {
        const long long row = static_cast<long long>(b + r) * s->noPointsv + (at.sv - kv + 1);
        for (int j = 0; j < kv; ++j) {
            const double w = s->weights[row + j];
            for (int e = 0; e < 3; ++e)
                s->workPoints[j][e] = w * s->points[row + j][e];
            s->workWeights[j] = w;
        }
        homogeneousTriangle(s->workPoints, s->workWeights, s->knotsv, kv, at.sv, at.V);
        for (int e = 0; e < 3; ++e)
            s->rowPoints[r][e] = s->workPoints[kv - 1][e];
        s->rowWeights[r] = s->workWeights[kv - 1];
        reportVanishingSums(&s->rowWeights[r], 1);
    }
}

GeomPoint pointByRows(RatBSplSurf* s, const Located& at)
{
    rowsAlongV(s, at);
    const int ku = s->ordu;
    homogeneousTriangle(s->rowPoints, s->rowWeights, s->knotsu, ku, at.su, at.U);
    const double w = s->rowWeights[ku - 1];
    if (std::fabs(w) < kWeightEps) {
        reportVanishingSums(&w, 1);
        return GeomPoint{0.0, 0.0, 0.0};
    }
    const double* X = s->rowPoints[ku - 1];
    return GeomPoint{X[0] / w, X[1] / w, X[2] / w};
}

// The u derivative of the rows' curve: the quotient rule on its homogeneous
// point and on the derivative curve of order ordu - 1, whose control entries
// are (ordu - 1) (H[i] - H[i - 1]) / (K[i + ordu - 1] - K[i]).
GeomPoint derivUByRows(RatBSplSurf* s, const Located& at)
{
    rowsAlongV(s, at);
    const int ku = s->ordu, b = at.su - ku + 1;
    for (int i = 1; i < ku; ++i) {
        const double d = s->knotsu[b + i + ku - 1] - s->knotsu[b + i];
        const double f = std::fabs(d) < 1e-12 ? 0.0 : (ku - 1) / d;
        for (int e = 0; e < 3; ++e)
            s->workPoints[i - 1][e] = f * (s->rowPoints[i][e] - s->rowPoints[i - 1][e]);
        s->workWeights[i - 1] = f * (s->rowWeights[i] - s->rowWeights[i - 1]);
    }
    homogeneousTriangle(s->rowPoints, s->rowWeights, s->knotsu, ku, at.su, at.U);
    const double w = s->rowWeights[ku - 1];
    if (std::fabs(w) < kWeightEps) {
        reportVanishingSums(&w, 1);
        return GeomPoint{0.0, 0.0, 0.0};
    }
    if (ku < 2)
        return GeomPoint{0.0, 0.0, 0.0};
    homogeneousTriangle(s->workPoints, s->workWeights, s->knotsu, ku - 1, at.su, at.U);
    const double* A = s->rowPoints[ku - 1];
    const double* dA = s->workPoints[ku - 2];
    const double dw = s->workWeights[ku - 2];
    double d[3];
    for (int e = 0; e < 3; ++e)
        d[e] = (dA[e] - dw * A[e] / w) / w;
    return toPoint(d);
}

// First derivative in one direction (dirU) at known spans, small orders only.
GeomPoint firstDeriv(const RatBSplSurf* s, const Located& at, bool dirU)
{
    double Nu[3][kMaxOrd], Nv[3][kMaxOrd];
    double Au[3][4], Av[3][4];
    LineSums lines;
    // Rows along v then the derivative along u, or columns along u then the
    // derivative along v; the derivative evaluates its point first. The
    // check before the columns' reports takes in the row sums too, so a
    // vanishing row only has the columns looked at.
    if (dirU) {
        basis<1>(s->knotsu, s->ordu, at.su, at.U, Nu);
        basis<0>(s->knotsv, s->ordv, at.sv, at.V, Nv);
        homogeneous<1, 0, false>(s, at.su, at.sv, Nu, Nv, Au, Av, &lines);
        if (lines.mayVanish())
            reportVanishingSums(lines.rows, s->ordu);
    } else {
        basis<0>(s->knotsu, s->ordu, at.su, at.U, Nu);
        basis<1>(s->knotsv, s->ordv, at.sv, at.V, Nv);
        homogeneous<0, 1, true>(s, at.su, at.sv, Nu, Nv, Au, Av, &lines);
        if (lines.mayVanish())
            reportVanishingSums(lines.columns, s->ordv);
    }
    reportVanishingWeight(Au);
    double r[3][3];
    rationalDerivs(dirU ? Au : Av, 1, std::fabs(Au[0][3]) > 1e-12 ? 1.0 / Au[0][3] : 0.0, r);
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
    basis<0>(surface->knotsu, surface->ordu, at.su, at.U, Nu);
    basis<0>(surface->knotsv, surface->ordv, at.sv, at.V, Nv);
    double Au[3][4], Av[3][4];
    LineSums lines;
    homogeneous<0, 0, false>(surface, at.su, at.sv, Nu, Nv, Au, Av, &lines);
    // Rows along v, then the point along u through them.
    if (lines.mayVanish())
        reportVanishingSums(lines.rows, surface->ordu);
    if (std::fabs(Au[0][3]) < kWeightEps) {
        reportVanishingWeight(Au);
        return GeomPoint{0.0, 0.0, 0.0};
    }
    const double inv = std::fabs(Au[0][3]) > 1e-12 ? 1.0 / Au[0][3] : 0.0;
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

namespace geominvert {

bool firstOrder(const RatBSplSurf* s, double u, double v, double* Su, double* Sv)
{
    if (!s || !usable(s) || !smallOrders(s))
        return false;
    Located at;
    const double tu = normalise(u, s->periodicu != 0 || s->origFormu == 2);
    const double tv = normalise(v, s->periodicv != 0 || s->origFormv == 2);
    at.U = (1.0 - tu) * s->knotsu[s->ordu - 1] + tu * s->knotsu[s->noPointsu - s->ordu];
    at.V = (1.0 - tv) * s->knotsv[s->ordv - 1] + tv * s->knotsv[s->noPointsv - s->ordv];
    at.su = ratBSplCurveFindSpan(s->knotsu, s->noPointsu, s->ordu, at.U);
    at.sv = ratBSplCurveFindSpan(s->knotsv, s->noPointsv, s->ordv, at.V);
    // The public evaluators report a span they cannot find; leave such
    // parameters to them.
    if (at.su < 0 || at.sv < 0)
        return false;
    // The same sums as the two single derivatives, formed once.
    double Nu[3][kMaxOrd], Nv[3][kMaxOrd];
    basis<1>(s->knotsu, s->ordu, at.su, at.U, Nu);
    basis<1>(s->knotsv, s->ordv, at.sv, at.V, Nv);
    double Au[3][4], Av[3][4];
    LineSums lines;
    homogeneous<1, 1, true>(s, at.su, at.sv, Nu, Nv, Au, Av, &lines);
    // What the two single derivatives report, in their order.
    const bool mayVanish = lines.mayVanish();
    if (mayVanish)
        reportVanishingSums(lines.rows, s->ordu);
    reportVanishingWeight(Au);
    if (mayVanish)
        reportVanishingSums(lines.columns, s->ordv);
    reportVanishingWeight(Au);
    const double inv = std::fabs(Au[0][3]) > 1e-12 ? 1.0 / Au[0][3] : 0.0;
    double ru[3][3], rv[3][3];
    rationalDerivs(Au, 1, inv, ru);
    rationalDerivs(Av, 1, inv, rv);
    copy3(ru[1], Su);
    copy3(rv[1], Sv);
    return true;
}

bool secondOrder(const RatBSplSurf* s, double u, double v, double out[6][3])
{
    if (!s || !usable(s) || !smallOrders(s))
        return false;
    const Located at = locateUV(s, u, v, kLineNormalU, kLineNormalV);
    double Nu[3][kMaxOrd], Nv[3][kMaxOrd];
    basis<2>(s->knotsu, s->ordu, at.su, at.U, Nu);
    basis<2>(s->knotsv, s->ordv, at.sv, at.V, Nv);
    // Homogeneous sums of the point and of its derivatives along u^a v^b, in
    // the order of out: (0, 0), (1, 0), (0, 1), (2, 0), (1, 1), (0, 2).
    static const int order[6][2] = {{0, 0}, {1, 0}, {0, 1}, {2, 0}, {1, 1}, {0, 2}};
    double A[6][4] = {};
    const int ku = s->ordu, kv = s->ordv, stride = s->noPointsv;
    for (int i = 0; i < ku; ++i) {
        const long long row = static_cast<long long>(at.su - ku + 1 + i) * stride + (at.sv - kv + 1);
        double R[3][4] = {};
        for (int j = 0; j < kv; ++j) {
            const double w = s->weights[row + j];
            const double h[4] = {w * s->points[row + j][0], w * s->points[row + j][1], w * s->points[row + j][2], w};
            for (int b = 0; b < 3; ++b)
                for (int e = 0; e < 4; ++e)
                    R[b][e] += Nv[b][j] * h[e];
        }
        for (int k = 0; k < 6; ++k)
            for (int e = 0; e < 4; ++e)
                A[k][e] += Nu[order[k][0]][i] * R[order[k][1]][e];
    }
    const double w = A[0][3];
    if (!(std::fabs(w) > 1e-12))
        return false;
    // The quotient rule for S = H / w, term by term.
    for (int e = 0; e < 3; ++e) {
        const double S = A[0][e] / w;
        const double Su = (A[1][e] - A[1][3] * S) / w, Sv = (A[2][e] - A[2][3] * S) / w;
        out[0][e] = S;
        out[1][e] = Su;
        out[2][e] = Sv;
        out[3][e] = (A[3][e] - 2.0 * A[1][3] * Su - A[3][3] * S) / w;
        out[4][e] = (A[4][e] - A[1][3] * Sv - A[2][3] * Su - A[4][3] * S) / w;
        out[5][e] = (A[5][e] - 2.0 * A[2][3] * Sv - A[5][3] * S) / w;
    }
    return true;
}

}  // namespace geominvert
