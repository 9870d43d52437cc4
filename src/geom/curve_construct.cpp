// Curve constructors: from knots and points, polylines, lines, circles,
// arcs, conics, parabolas and cubic polynomial pieces. Arcs and conics are
// chains of rational quadratic Bezier pieces, each with its own three
// control points.
#include "geom/geom_curve_edit.h"
#include "geom/geom_curve_ops.h"
#include "geom/curve_edit_util.h"

#include <cmath>

using geomedit::copy3;

namespace {

enum { kLineDegenerateConic = 1860, kLineBadArc = 1702 };

const double kPi = 3.14159265358979323846;
const double kHalfPi = kPi / 2;
const double kConicEps = 1e-7;
const double kFrameEps = 1e-6;
const double kMaxSweep = 2000 * 2 * kPi;

void setFlags(RatBSplCurve* c, int isRational, int isClosed, int origForm)
{
    c->isRational = isRational;
    c->isClosed = isClosed;
    c->origForm = origForm;
}

void toArray(const GeomPoint& p, double* out)
{
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

// Point O + cos(a) X + sin(a) Y.
void ellipsePoint(const double* O, const double* X, const double* Y, double a, double* out)
{
    const double c = std::cos(a), s = std::sin(a);
    for (int d = 0; d < 3; ++d)
        out[d] = O[d] + c * X[d] + s * Y[d];
}

// Number of pieces of at most a quarter turn each.
int quarterPieces(double sweep)
{
    const int k = static_cast<int>(std::ceil(sweep / kHalfPi - 1e-12));
    return k < 1 ? 1 : k;
}

// k pieces of the ellipse O, X, Y from angle a1 over the sweep s, knots
// 0,0,0, 1,1,1, ..., k,k,k.
RatBSplCurve* arcPieces(const double* O, const double* X, const double* Y, double a1, double s, int k)
{
    RatBSplCurve* c = ratBSplCurveCreate(3, 3 * k + 3);
    if (!c)
        return nullptr;
    const double h = s / k;
    for (int i = 0; i < k; ++i) {
        double P0[3], P1[3];
        ellipsePoint(O, X, Y, a1 + i * h, P0);
        ellipsePoint(O, X, Y, a1 + (i + 1) * h, P1);
        ellipseArcToConicPiece(O, X, Y, P0, P1, c->points + 3 * i, c->weights + 3 * i);
        c->knots[3 * i] = c->knots[3 * i + 1] = c->knots[3 * i + 2] = i;
    }
    c->knots[3 * k] = c->knots[3 * k + 1] = c->knots[3 * k + 2] = k;
    setFlags(c, 1, 0, 1);
    return c;
}

double conicValue(const double* q, double x, double y)
{
    return q[0] * x * x + q[1] * x * y + q[2] * y * y + q[3] * x + q[4] * y + q[5];
}

// Tangent direction (-Fy, Fx) of the conic at (x, y).
void conicTangent(const double* q, double x, double y, double* t)
{
    const double fx = 2 * q[0] * x + q[1] * y + q[3];
    const double fy = q[1] * x + 2 * q[2] * y + q[4];
    t[0] = -fy;
    t[1] = fx;
}

// The point where the line C + mu D meets the conic on the side mu > 0.
bool conicOnRay(const double* q, const double* C, const double* D, double* out)
{
    const double qa = q[0] * D[0] * D[0] + q[1] * D[0] * D[1] + q[2] * D[1] * D[1];
    const double qb = 2 * q[0] * C[0] * D[0] + q[1] * (C[0] * D[1] + C[1] * D[0]) +
                      2 * q[2] * C[1] * D[1] + q[3] * D[0] + q[4] * D[1];
    const double qc = conicValue(q, C[0], C[1]);
    const double disc = qb * qb - 4 * qa * qc;
    if (std::fabs(qa) < 1e-300 || disc < 0.0)
        return false;
    const double r1 = (-qb + std::sqrt(disc)) / (2 * qa);
    const double r2 = (-qb - std::sqrt(disc)) / (2 * qa);
    const double mu = r1 > 0.0 ? r1 : r2;
    if (!(mu > 0.0))
        return false;
    out[0] = C[0] + mu * D[0];
    out[1] = C[1] + mu * D[1];
    return true;
}

// A chain of conic pieces through the given plane points (first to last).
RatBSplCurve* conicChain(const double* q, const double (*pts)[2], int n)
{
    const int pieces = n - 1;
    RatBSplCurve* c = ratBSplCurveCreate(3, 3 * pieces + 3);
    if (!c)
        return nullptr;
    c->knots[0] = c->knots[1] = c->knots[2] = 0.0;
    for (int i = 0; i < pieces; ++i) {
        if (!conic2dPiece(q[0], q[1], q[2], q[3], q[4], q[5], pts[i][0], pts[i][1], pts[i + 1][0],
                          pts[i + 1][1], c->points + 3 * i, c->weights + 3 * i, c->knots + 3 * i)) {
            ratBSplCurveFree(c);
            return nullptr;
        }
    }
    // The weights are significant; the form is set only for a full ellipse.
    setFlags(c, 1, 0, 0);
    return c;
}

}  // namespace

RatBSplCurve* ratBSplCurveFromKnots(int ord, int K, const double* knots, const GeomVec3* points,
                                    const double* weights, short closed, short scale)
{
    if (!knots || !points || ord < 1 || K < 2 * ord)
        return nullptr;
    RatBSplCurve* c = ratBSplCurveCreate(ord, K);
    if (!c)
        return nullptr;
    for (int i = 0; i < K; ++i)
        c->knots[i] = knots[i];
    double L = 0.0;
    for (int i = 0; i < K - ord; ++i) {
        copy3(c->points[i], points[i]);
        c->weights[i] = weights ? weights[i] : 1.0;
        if (scale && i >= 1)
            L += vec3DistanceB(points[i], points[i - 1]);
    }
    if (scale) {
        const double r = std::fmin(std::fmax(knots[K - 1] - knots[0], 0.001), 1000.0);
        const double factor = std::fmin(std::fmax(L / r, 1.0), 1000.0);
        for (int i = 0; i < K; ++i)
            c->knots[i] *= factor;
    }
    setFlags(c, weights ? 1 : 0, closed ? 1 : 0, closed ? 2 : 1);
    return c;
}

RatBSplCurve* ratBSplCurveFromKnotsUnscaled(int ord, int K, const double* knots,
                                            const GeomVec3* points, const double* weights,
                                            short closed)
{
    return ratBSplCurveFromKnots(ord, K, knots, points, weights, closed, 0);
}

RatBSplCurve* ratBSplCurveFromPolyline(int n, const double* coords, short dim)
{
    if ((dim != 2 && dim != 3) || n < 2 || n > (1 << 28) || !coords)
        return nullptr;
    RatBSplCurve* c = ratBSplCurveCreate(2, n + 2);
    if (!c)
        return nullptr;
    c->knots[0] = 0.0;
    for (int i = 1; i <= n; ++i)
        c->knots[i] = i - 1;
    c->knots[n + 1] = n - 1;
    for (int i = 0; i < n; ++i) {
        c->points[i][0] = coords[dim * i];
        c->points[i][1] = coords[dim * i + 1];
        c->points[i][2] = dim == 3 ? coords[dim * i + 2] : 0.0;
        c->weights[i] = 1.0;
    }
    setFlags(c, 0, 0, 1);
    return c;
}

RatBSplCurve* ratBSplCurveFromLine(GeomPoint start, GeomPoint end)
{
    RatBSplCurve* c = ratBSplCurveCreate(2, 4);
    if (!c)
        return nullptr;
    toArray(start, c->points[0]);
    toArray(end, c->points[1]);
    c->weights[0] = c->weights[1] = 1.0;
    c->knots[0] = c->knots[1] = 0.0;
    c->knots[2] = c->knots[3] = 1.0;
    setFlags(c, 0, 0, 1);
    return c;
}

RatBSplCurve* ratBSplCurveCircle(GeomPoint O, GeomPoint Y, GeomPoint X)
{
    double o[3], x[3], y[3];
    toArray(O, o);
    toArray(X, x);
    toArray(Y, y);
    RatBSplCurve* c = ratBSplCurveCreate(3, 15);
    if (!c)
        return nullptr;
    double ends[5][3];
    const double sx[5] = {1, 0, -1, 0, 1}, sy[5] = {0, 1, 0, -1, 0};
    for (int i = 0; i < 5; ++i)
        for (int d = 0; d < 3; ++d)
            ends[i][d] = o[d] + sx[i] * x[d] + sy[i] * y[d];
    for (int i = 0; i < 4; ++i)
        ellipseArcToConicPiece(o, x, y, ends[i], ends[i + 1], c->points + 3 * i, c->weights + 3 * i);
    const double L = 6.0 * vec3LengthB(y);
    for (int i = 0; i < 5; ++i)
        c->knots[3 * i] = c->knots[3 * i + 1] = c->knots[3 * i + 2] = L * i / 4.0;
    setFlags(c, 1, 1, 2);
    return c;
}

RatBSplCurve* ratBSplCurveArcByAxes(GeomPoint O, GeomPoint Y, GeomPoint X, GeomPoint S,
                                    GeomPoint E, unsigned char fullCircle)
{
    double o[3], x[3], y[3], s[3], e[3];
    toArray(O, o);
    toArray(X, x);
    toArray(Y, y);
    toArray(S, s);
    toArray(E, e);
    const double a1 = vec3AngleBetweenProjections(o, x, y, s);
    double a2 = vec3AngleBetweenProjections(o, x, y, e);
    if (a2 < a1)
        a2 += 2 * kPi;
    double sweep = a2 - a1;
    if (sweep < 1e-5 && fullCircle)
        sweep = 2 * kPi;
    return arcPieces(o, x, y, a1, sweep, quarterPieces(sweep));
}

RatBSplCurve* ratBSplCurveArcByAxesOpen(GeomPoint O, GeomPoint Y, GeomPoint X, GeomPoint S,
                                        GeomPoint E)
{
    return ratBSplCurveArcByAxes(O, Y, X, S, E, 0);
}

RatBSplCurve* ratBSplCurveArcByAngle(const double* O, const double* S, const double* N, double sweep)
{
    if (!O || !S || !N)
        return nullptr;
    // The caller's axis is read, never normalised in place.
    double n[3], x[3], y[3];
    copy3(n, N);
    vec3DiffB(O, S, x);
    // A start on the centre is an arc of radius 0: the pieces degenerate to
    // the centre, which the piece routine handles.
    if (vec3NormalizeB(n) < 1e-12 || !std::isfinite(sweep) || std::fabs(sweep) > kMaxSweep) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineBadArc);
        return nullptr;
    }
    if (sweep >= 0)
        vec3CrossB(y, n, x);
    else
        vec3CrossB(y, x, n);
    const double s = std::fabs(sweep);
    return arcPieces(O, x, y, 0.0, s, quarterPieces(s));
}

RatBSplCurve* ratBSplCurveConic2d(double a, double b, double c, double d, double e, double f,
                                  double x0, double y0, double x1, double y1, int* kind)
{
    const double q[6] = {a, b, c, d, e, f};
    const double disc = a * c - b * b / 4;
    const double det = a * c * f + (b * d * e - a * e * e - b * b * f - c * d * d) / 4;
    int k = GEOM_CONIC_DEGENERATE;
    if (std::fabs(disc) <= kConicEps && std::fabs(det) > kConicEps)
        k = GEOM_CONIC_PARABOLA;
    else if (disc < 0 && std::fabs(det) > kConicEps)
        k = GEOM_CONIC_HYPERBOLA;
    else if (disc > 0 && det * (a + c) < 0)
        k = GEOM_CONIC_ELLIPSE;
    if (kind)
        *kind = k;
    if (k == GEOM_CONIC_DEGENERATE) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineDegenerateConic);
        return nullptr;
    }
    if (k != GEOM_CONIC_ELLIPSE) {
        const double pts[2][2] = {{x0, y0}, {x1, y1}};
        return conicChain(q, pts, 2);
    }

    const double C[2] = {(e * b - 2 * c * d) / (4 * a * c - b * b), (b * d - 2 * a * e) / (4 * a * c - b * b)};
    double t0[2], t1[2];
    conicTangent(q, x0, y0, t0);
    conicTangent(q, x1, y1, t1);
    if (std::fabs(x1 - x0) < 1e-5 && std::fabs(y1 - y0) < 1e-5) {
        double p[5][2] = {{x0, y0}, {0, 0}, {2 * C[0] - x0, 2 * C[1] - y0}, {0, 0}, {x0, y0}};
        const double back[2] = {-t0[0], -t0[1]};
        if (!conicOnRay(q, C, t0, p[1]) || !conicOnRay(q, C, back, p[3]))
            return nullptr;
        RatBSplCurve* r = conicChain(q, p, 5);
        if (r)
            r->origForm = 2;
        return r;
    }
    const double cross = t0[0] * t1[1] - t0[1] * t1[0];
    if (std::fabs(cross) < kConicEps) {
        double p[3][2] = {{x0, y0}, {0, 0}, {x1, y1}};
        if (!conicOnRay(q, C, t0, p[1]))
            return nullptr;
        return conicChain(q, p, 3);
    }
    // The end tangents meet at T = start + lambda t0: ahead of the start the
    // arc is one piece; behind it the arc passes the far side of the centre.
    const double lambda = ((x1 - x0) * t1[1] - (y1 - y0) * t1[0]) / cross;
    if (lambda >= 0) {
        const double pts[2][2] = {{x0, y0}, {x1, y1}};
        return conicChain(q, pts, 2);
    }
    const double T[2] = {x0 + lambda * t0[0], y0 + lambda * t0[1]};
    const double away[2] = {C[0] - T[0], C[1] - T[1]};
    double p[3][2] = {{x0, y0}, {0, 0}, {x1, y1}};
    if (!conicOnRay(q, C, away, p[1]))
        return nullptr;
    return conicChain(q, p, 3);
}

RatBSplCurve* ratBSplCurveParabola3d(const double* V, const double* F, const double* S,
                                     const double* E)
{
    if (!V || !F || !S || !E)
        return nullptr;
    double U[3], W[3], SV[3], EV[3], ES[3];
    vec3DiffB(V, F, U);
    const double p = vec3LengthB(U);
    if (vec3NormalizeB(U) < kFrameEps)
        return nullptr;
    vec3DiffB(V, S, SV);
    vec3DiffB(V, E, EV);
    vec3DiffB(S, E, ES);
    const double* from[2] = {EV, SV};
    bool found = false;
    for (const double* v : from) {
        const double along = vec3DotB(v, U);
        for (int d = 0; d < 3; ++d)
            W[d] = v[d] - along * U[d];
        if (vec3NormalizeB(W) >= kFrameEps) {
            found = true;
            break;
        }
    }
    if (!found)
        return nullptr;
    if (vec3DotB(ES, W) < 0)
        for (double& w : W)
            w = -w;
    RatBSplCurve* c = ratBSplCurveConic2d(0, 0, 1, -4 * p, 0, 0, vec3DotB(SV, U), vec3DotB(SV, W),
                                          vec3DotB(EV, U), vec3DotB(EV, W), nullptr);
    if (!c)
        return nullptr;
    for (int i = 0; i < c->noPoints - c->ord; ++i) {
        const double x = c->points[i][0], y = c->points[i][1];
        for (int d = 0; d < 3; ++d)
            c->points[i][d] = V[d] + x * U[d] + y * W[d];
    }
    return c;
}

RatBSplCurve* ratBSplCurveFromCubicPieces(int n, const double* breaks, const GeomVec3* coefficients)
{
    if (n < 1 || n > (1 << 28) || !breaks || !coefficients)
        return nullptr;
    RatBSplCurve* c = ratBSplCurveCreate(4, 4 * n + 4);
    if (!c)
        return nullptr;
    for (int i = 0; i < 4; ++i)
        c->knots[i] = breaks[0];
    for (int i = 0; i < n; ++i)
        cubicToBezierPiece(breaks[i], breaks[i + 1], coefficients + 4 * i, c->points + 4 * i,
                           c->weights + 4 * i, c->knots + 4 * i);
    return c;
}
