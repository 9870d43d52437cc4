// Circles, arcs and conics as rational quadratic pieces (three control points
// with the weights 1, w, 1 each), one cubic piece in Bezier form, and the
// parameter of a point on one conic piece.
#include "geom/geom_curve_ops.h"

#include <cmath>

namespace {

inline void copy3(double* out, const double* a)
{
    out[0] = a[0];
    out[1] = a[1];
    out[2] = a[2];
}

inline double dist(const double* a, const double* b)
{
    const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// p = O + c X + s Y
inline void onEllipse(const double* O, const double* X, const double* Y, double c, double s, double* p)
{
    for (int k = 0; k < 3; ++k)
        p[k] = O[k] + c * X[k] + s * Y[k];
}

void piece(const double* O, const double* X, const double* Y, const double* A, const double* B, GeomVec3* points,
           double* weights, int at)
{
    ellipseArcToConicPiece(O, X, Y, A, B, points + at, weights + at);
}

// Point of the rational quadratic piece at t.
void conicPoint(const GeomVec3* P, const double* w, double t, double* out)
{
    const double b0 = (1.0 - t) * (1.0 - t), b1 = 2.0 * t * (1.0 - t), b2 = t * t;
    const double den = b0 * w[0] + b1 * w[1] + b2 * w[2];
    for (int k = 0; k < 3; ++k) {
        const double num = b0 * w[0] * P[0][k] + b1 * w[1] * P[1][k] + b2 * w[2] * P[2][k];
        out[k] = den != 0.0 ? num / den : 0.0;
    }
}

} // namespace

void fullCircleFourPieces(const double* O, const double* X, const double* Y, GeomVec3* points, double* weights,
                          double* knots)
{
    double pY[3], pX[3], mY[3], mX[3];
    onEllipse(O, X, Y, 0.0, 1.0, pY);
    onEllipse(O, X, Y, 1.0, 0.0, pX);
    onEllipse(O, X, Y, 0.0, -1.0, mY);
    onEllipse(O, X, Y, -1.0, 0.0, mX);
    piece(O, X, Y, pY, pX, points, weights, 0);
    piece(O, X, Y, pX, mY, points, weights, 3);
    piece(O, X, Y, mY, mX, points, weights, 6);
    piece(O, X, Y, mX, pY, points, weights, 9);
    if (!knots)
        return;
    const double L = 6.0 * std::sqrt(X[0] * X[0] + X[1] * X[1] + X[2] * X[2]);
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 3; ++j)
            knots[3 * i + j] = L * i / 4.0;
}

namespace {

void threePieceCorners(const double* O, const double* X, const double* Y, double* A, double* B, double* D,
                       double* T1, double* T2, double* T3)
{
    const double s = std::sqrt(3.0);
    onEllipse(O, X, Y, 1.0, 0.0, A);
    onEllipse(O, X, Y, -0.5, s / 2.0, B);
    onEllipse(O, X, Y, -0.5, -s / 2.0, D);
    onEllipse(O, X, Y, 1.0, s, T1);
    onEllipse(O, X, Y, -2.0, 0.0, T2);
    onEllipse(O, X, Y, 1.0, -s, T3);
}

} // namespace

void fullCircleThreePieces(const double* O, const double* X, const double* Y, GeomVec3* points, double* weights,
                           double* knots)
{
    double A[3], B[3], D[3], T1[3], T2[3], T3[3];
    threePieceCorners(O, X, Y, A, B, D, T1, T2, T3);
    const double* seq[9] = {A, T1, B, B, T2, D, D, T3, A};
    for (int i = 0; i < 9; ++i) {
        if (points)
            copy3(points[i], seq[i]);
        if (weights)
            weights[i] = (i % 3 == 1) ? 0.5 : 1.0;
    }
    if (knots)
        for (int i = 0; i < 12; ++i)
            knots[i] = i / 3;
}

void fullCircleThreePiecesShared(const double* O, const double* X, const double* Y, GeomVec3* points,
                                 double* weights, double* knots)
{
    double A[3], B[3], D[3], T1[3], T2[3], T3[3];
    threePieceCorners(O, X, Y, A, B, D, T1, T2, T3);
    const double* seq[7] = {A, T1, B, T2, D, T3, A};
    for (int i = 0; i < 7; ++i) {
        if (points)
            copy3(points[i], seq[i]);
        if (weights)
            weights[i] = (i % 2 == 1) ? 0.5 : 1.0;
    }
    static const double kKnots[10] = {0, 0, 0, 1, 1, 2, 2, 3, 3, 3};
    if (knots)
        for (int i = 0; i < 10; ++i)
            knots[i] = kKnots[i];
}

void arcPiecesByAngles(const double* O, const double* X, const double* Y, double a0, double a1, int N,
                       GeomVec3* points, double* weights, double* knots)
{
    // N = 0 writes no piece but still the closing knots (all 0).
    if (N < 0)
        return;
    const double h = N > 0 ? (a1 - a0) / N : 0.0;
    for (int i = 0; i < N; ++i) {
        double P0[3], P1[3];
        onEllipse(O, X, Y, std::cos(a0 + i * h), std::sin(a0 + i * h), P0);
        onEllipse(O, X, Y, std::cos(a0 + (i + 1) * h), std::sin(a0 + (i + 1) * h), P1);
        piece(O, X, Y, P0, P1, points, weights, 3 * i);
        if (knots)
            knots[3 * i] = knots[3 * i + 1] = knots[3 * i + 2] = i;
    }
    if (knots)
        knots[3 * N] = knots[3 * N + 1] = knots[3 * N + 2] = N;
}

void arcPiecesBetweenVectors(const double* O, int shortWay, const double* A, const double* B, const double* normal,
                             int N, GeomVec3* points, double* weights, double* knots)
{
    double n[3];
    copy3(n, normal);
    vec3NormalizeB(n);
    double Y[3];
    vec3CrossB(Y, n, A);
    const double d = vec3DotB(Y, B);
    double theta;
    if (shortWay) {
        theta = vec3Angle(A, B);
        if (d < -1e-12)
            for (int k = 0; k < 3; ++k)
                Y[k] = -Y[k];
    } else {
        theta = vec3OuterAngle(A, B);
        if (d > 1e-12)
            for (int k = 0; k < 3; ++k)
                Y[k] = -Y[k];
    }
    arcPiecesByAngles(O, A, Y, 0.0, theta, N, points, weights, knots);
}

void arcPiecesBetweenVectorsAuto(const double* O, int shortWay, const double* A, const double* B, int N,
                                 GeomVec3* points, double* weights, double* knots)
{
    double n[3];
    vec3CrossB(n, A, B);
    vec3NormalizeB(n);
    arcPiecesBetweenVectors(O, shortWay, A, B, n, N, points, weights, knots);
}

int conic2dPiece(double a, double b, double c, double d, double e, double f, double x0, double y0, double x1,
                 double y1, GeomVec3* points, double* weights, double* knots)
{
    const double g0x = 2 * a * x0 + b * y0 + d, g0y = b * x0 + 2 * c * y0 + e;
    const double g1x = 2 * a * x1 + b * y1 + d, g1y = b * x1 + 2 * c * y1 + e;
    const double t0x = -g0y, t0y = g0x, t1x = -g1y, t1y = g1x;
    const double det = t0x * t1y - t0y * t1x;
    if (std::fabs(det) <= 1e-7) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, 10674);
        return 0;
    }
    const double s = ((x1 - x0) * t1y - (y1 - y0) * t1x) / det;
    double Tx = x0 + s * t0x, Ty = y0 + s * t0y;
    const double Mx = (x0 + x1) / 2, My = (y0 + y1) / 2;
    const double Dx = Tx - Mx, Dy = Ty - My;
    const double qa = a * Dx * Dx + b * Dx * Dy + c * Dy * Dy;
    const double qb = 2 * a * Mx * Dx + b * (Mx * Dy + My * Dx) + 2 * c * My * Dy + d * Dx + e * Dy;
    const double qc = a * Mx * Mx + b * Mx * My + c * My * My + d * Mx + e * My + f;
    double fr;
    if (std::fabs(qa) < 1e-10) {
        if (qb == 0.0) {
            geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, 10730);
            return 0;
        }
        fr = -qc / qb;
    } else {
        const double disc = qb * qb - 4 * qa * qc;
        if (std::fabs(disc) <= 1e-7) {
            fr = -qb / (2 * qa);
        } else if (disc > 1e-7) {
            fr = (std::sqrt(disc) - qb) / (2 * qa);
            if (fr < -1e-7 || fr > 1.0000001)
                fr = (-qb - std::sqrt(disc)) / (2 * qa);
        } else {
            geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, 10730);
            return 0;
        }
    }
    if (std::fabs(1.0 - fr) < 1e-7) {
        fr = 1e-7;
    } else if (std::fabs(fr) < 1e-7) {
        fr = 0.5;
        Tx = Mx;
        Ty = My;
    }
    const double P0[3] = {x0, y0, 0.0}, T[3] = {Tx, Ty, 0.0}, P2[3] = {x1, y1, 0.0};
    copy3(points[0], P0);
    copy3(points[1], T);
    copy3(points[2], P2);
    weights[0] = 1.0;
    weights[1] = fr / (1.0 - fr);
    weights[2] = 1.0;
    if (knots)
        knots[3] = knots[4] = knots[5] = knots[2] + dist(P0, T) + dist(T, P2);
    return 1;
}

int cubicToBezierPiece(double u0, double u1, const GeomVec3* c, GeomVec3* points, double* weights, double* knots)
{
    const double h = u1 - u0;
    for (int k = 0; k < 3; ++k) {
        const double b1 = c[1][k] * h, b2 = c[2][k] * h * h, b3 = c[3][k] * h * h * h;
        points[0][k] = c[0][k];
        points[1][k] = c[0][k] + b1 / 3.0;
        points[3][k] = c[0][k] + b1 + b2 + b3;
        points[2][k] = points[3][k] - (3.0 * b3 + 2.0 * b2 + b1) / 3.0;
    }
    for (int i = 0; i < 4; ++i)
        weights[i] = 1.0;
    if (knots)
        for (int i = 4; i < 8; ++i)
            knots[i] = u1;
    return 1;
}

int conicPieceParamAtPoint(const GeomVec3* P, const double* w, const double* Q, double* t)
{
    if (!P || !w || !Q || !t)
        return 0;
    double e[3];
    vec3DiffB(P[0], P[2], e);
    auto g = [&](double s) {
        double r[3], foot[3];
        conicPoint(P, w, s, r);
        // Signed position of R(s) relative to Q along the chord direction.
        return projectOnLineB(Q, e, r, foot);
    };
    if (dist(P[0], Q) < 1e-4) {
        *t = 0.0;
        return 1;
    }
    if (dist(P[2], Q) < 1e-4) {
        *t = 1.0;
        return 1;
    }
    double tlo = 0.0, thi = 1.0, glo = g(0.0), ghi = g(1.0);
    int c = 0;
    double s = 0.0;
    for (int step = 0; step < 100; ++step) {
        if (c != 0 && (c < 0 ? -c : c) % 3 == 0) {
            if (std::fabs(glo) <= std::fabs(ghi))
                ghi *= 0.5;
            else
                glo *= 0.5;
            c = 0;
        }
        const double den = glo - ghi;
        if (den == 0.0)
            break;
        const double r = glo / den;
        s = r * thi + (1.0 - r) * tlo;
        const double gs = g(s);
        double R[3];
        conicPoint(P, w, s, R);
        if (dist(R, Q) < 1e-6) {
            *t = s;
            return 1;
        }
        if (glo * gs >= 0.0) {
            tlo = s;
            glo = gs;
            c = c <= 0 ? c - 1 : 0;
        } else {
            thi = s;
            ghi = gs;
            c = c >= 0 ? c + 1 : 0;
        }
    }
    // The search ran out without reaching the point: hand out the last step
    // but do not call it a success.
    *t = s;
    return 0;
}
