// Arc fit of a polyline and the arc test of a curve: sampled, linearised or
// exact (every rational quadratic piece rebuilt on one circle).
#include "geom/geom_curve_ops.h"

#include <cmath>
#include <cstdlib>
#include <new>

namespace {

double arcClosureTolerance = 1e-6;

// Report site: a curve record without a readable domain.
enum { kLineFitArcRecord = 2870 };

inline void sub(const double* a, const double* b, double* out) // out = a - b
{
    out[0] = a[0] - b[0];
    out[1] = a[1] - b[1];
    out[2] = a[2] - b[2];
}
inline double dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline double len(const double* a) { return std::sqrt(dot(a, a)); }
inline double dist(const double* a, const double* b)
{
    double d[3];
    sub(a, b, d);
    return len(d);
}
inline void copy3(double* out, const double* a)
{
    out[0] = a[0];
    out[1] = a[1];
    out[2] = a[2];
}

inline const double* cp(const RatBSplCurve* c, int i) { return &c->points[i][0]; }

// Angle between the directions from c to p and from c to q.
double angleAt(const double* c, const double* p, const double* q)
{
    double a[3], b[3];
    sub(p, c, a);
    sub(q, c, b);
    return vec3Angle(a, b);
}

} // namespace

double geomSetArcTolerance(int index, double value)
{
    if (index != 0)
        return -1e11;
    const double previous = arcClosureTolerance;
    arcClosureTolerance = value;
    return previous;
}

int fitArcToPolyline(const GeomVec3* points, int n, double tol, unsigned char checkChords, double chordTol,
                     double maxRadius, ArcFitResult* result, double* maxDev)
{
    // A tolerance that is no number passes every comparison against it.
    if (!points || !result || n < 3 || std::isnan(tol) || std::isnan(chordTol))
        return 0;
    // A point without coordinates passes every comparison against it.
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(points[i][0]) || !std::isfinite(points[i][1]) || !std::isfinite(points[i][2]))
            return 0;
    double devSink = 0.0;
    if (!maxDev)
        maxDev = &devSink;
    auto P = [points](int i) -> const double* { return points[i]; };

    const double* A = P(0);
    const double* B = P(n / 2);
    const double* G = P(n - 1);
    const double* D = P(n - 1);
    if (angleAt(B, A, G) < 0.6283185307179586) {
        // Nearly closed: the first, middle and last points crowd together.
        B = P(n / 3);
        G = P(2 * n / 3);
    }
    double ab[3], bg[3];
    sub(B, A, ab);
    sub(G, B, bg);
    vec3Cross(ab, bg, result->normal);
    if (len(result->normal) < 1e-10)
        return 0;
    vec3NormalizeB(result->normal);

    double u[3], v[3];
    vec3Cross(result->normal, ab, u);
    vec3Cross(result->normal, bg, v);
    double m1[3], m2[3], w[3];
    for (int k = 0; k < 3; ++k) {
        m1[k] = 0.5 * A[k] + 0.5 * B[k];
        m2[k] = 0.5 * B[k] + 0.5 * G[k];
    }
    sub(m2, m1, w);
    const double uu = dot(u, u), vv = dot(v, v), uv = dot(u, v), wu = dot(w, u), wv = dot(w, v);
    const double det = uv * uv - uu * vv;
    if (std::fabs(det) < 1e-10)
        return 0;
    const double s = (wv * uv - wu * vv) / det;
    copy3(result->start, A);
    copy3(result->end, D);
    for (int k = 0; k < 3; ++k)
        result->centre[k] = m1[k] + s * u[k];
    result->kind = 0;

    const double r = dist(result->start, result->centre);
    *maxDev = 0.0;
    // Coordinates near the largest double overflow on the way to the centre.
    if (!std::isfinite(r))
        return 0;
    if (r <= tol + 1e-6)
        return 1;
    if (maxRadius >= 0.0 && r >= maxRadius)
        return 0;
    const double chordLimit = 2.0 * std::sqrt((2.0 * r - chordTol) * chordTol);

    double sum = 0.0, low = 0.0, high = 0.0;
    double lowPoint[3], highPoint[3];
    copy3(lowPoint, result->start);
    copy3(highPoint, result->start);
    for (int i = 0; i + 1 < n; ++i) {
        const double* p = P(i);
        const double* q = P(i + 1);
        const double e = std::fabs(dist(q, result->centre) - r);
        if (e > *maxDev)
            *maxDev = e;
        if (e > tol)
            return 0;
        if (checkChords && dist(q, p) > chordLimit)
            return 0;
        sum += angleAt(result->centre, p, q);
        if (sum < low) {
            low = sum;
            copy3(lowPoint, q);
        }
        if (sum >= high) {
            high = sum;
            copy3(highPoint, q);
        }
    }
    if (high - low <= 6.283184307179586) {
        copy3(result->start, lowPoint);
        copy3(result->end, highPoint);
    } else {
        copy3(result->end, result->start);
    }
    return (high - low <= 2.0 * M_PI + arcClosureTolerance) ? 1 : 0;
}

int fitArcToPolylineLimit(const GeomVec3* points, int n, double tol, unsigned char checkChords, double chordTol,
                          double maxRadius, ArcFitResult* result)
{
    double dev = 0.0;
    return fitArcToPolyline(points, n, tol, checkChords, chordTol, maxRadius, result, &dev);
}

int fitArcToPolylineChord(const GeomVec3* points, int n, double tol, unsigned char checkChords, double chordTol,
                          ArcFitResult* result)
{
    return fitArcToPolylineLimit(points, n, tol, checkChords, chordTol, 1000.0, result);
}

int fitArcToPolylineFlag(const GeomVec3* points, int n, double tol, unsigned char checkChords, ArcFitResult* result)
{
    return fitArcToPolylineChord(points, n, tol, checkChords, tol, result);
}

int fitArcToPolylineDefault(const GeomVec3* points, int n, double tol, ArcFitResult* result)
{
    return fitArcToPolylineFlag(points, n, tol, 1, result);
}

// ---------------------------------------------------------------------------
// Arc test of a curve.

int ratBSplCurveFitArc(RatBSplCurve* curve, double tol, int nSamples, double chordTol, unsigned char checkChords,
                       double maxRadius, ArcFitResult* result, double* maxDev)
{
    if (!curve || !result || std::isnan(tol))
        return 0;
    if (!ratBSplCurveHasSpans(curve)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineFitArcRecord);
        return 0;
    }
    if (tol <= 0.0)
        return ratBSplCurveIsArc(curve, result);
    if (nSamples >= 1) {
        // The fit needs three points; fewer would also ask for the parameter 0/0.
        if (nSamples < 3)
            return 0;
        GeomVec3* pts = new (std::nothrow) GeomVec3[static_cast<size_t>(nSamples)];
        if (!pts)
            return 0;
        for (int i = 0; i < nSamples; ++i) {
            const GeomPoint q = ratBSplCurveEvalPoint(curve, static_cast<double>(i) / (nSamples - 1));
            pts[i][0] = q.x;
            pts[i][1] = q.y;
            pts[i][2] = q.z;
        }
        const int r = fitArcToPolyline(pts, nSamples, tol, chordTol > 0.0 ? checkChords : 0, chordTol, maxRadius,
                                       result, maxDev);
        delete[] pts;
        return r;
    }
    const double lt = chordTol > 0.0 ? chordTol : tol;
    double polyDev = 0.0;
    RatBSplCurve* poly = nurbCurveLinearize(curve, lt, &polyDev);
    if (!poly)
        return 0;
    const int n = poly->noPoints - 2;
    int r = 0;
    if (n > 5)
        r = fitArcToPolyline(poly->points, n, tol, checkChords, lt, maxRadius, result, maxDev) ? 1 : 0;
    ratBSplCurveFree(poly);
    return r;
}

int ratBSplCurveFitArcChord(RatBSplCurve* curve, double tol, int nSamples, double chordTol, unsigned char checkChords,
                            ArcFitResult* result)
{
    double dev = 0.0;
    return ratBSplCurveFitArc(curve, tol, nSamples, chordTol, checkChords, 1000.0, result, &dev);
}

int ratBSplCurveFitArcFlag(RatBSplCurve* curve, double tol, int nSamples, unsigned char checkChords,
                           ArcFitResult* result)
{
    return ratBSplCurveFitArcChord(curve, tol, nSamples, tol, checkChords, result);
}

int ratBSplCurveFitArcSampled(RatBSplCurve* curve, double tol, ArcFitResult* result)
{
    if (!curve || !result)
        return 0;
    if (!ratBSplCurveHasSpans(curve)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineFitArcRecord);
        return 0;
    }
    GeomVec3 pts[10];
    for (int i = 0; i < 10; ++i) {
        const GeomPoint q = ratBSplCurveEvalPoint(curve, i / 9.0);
        pts[i][0] = q.x;
        pts[i][1] = q.y;
        pts[i][2] = q.z;
    }
    return fitArcToPolylineFlag(pts, 10, tol, 0, result);
}

int ratBSplCurveFitArcLinearized(RatBSplCurve* curve, double tol, ArcFitResult* result)
{
    if (!curve || !result)
        return 0;
    double dev = 0.0;
    RatBSplCurve* poly = nurbCurveLinearize(curve, tol, &dev);
    if (!poly)
        return 0;
    const int r = fitArcToPolylineFlag(poly->points, poly->noPoints - 2, tol, 0, result);
    ratBSplCurveFree(poly);
    return r;
}

int ratBSplPieceIsArc(const RatBSplCurve* curve, ArcFitResult* result, int i)
{
    if (!curve || !result || curve->ord != 3 || !curve->points || !curve->weights || !curve->knots)
        return 0;
    // The piece reads knots i - 1 .. i + 2 and points i - 2 .. i.
    if (i < 2 || i + 2 >= curve->noPoints || i >= curve->noPoints - curve->ord)
        return 0;
    const double* K = curve->knots;
    const double* W = curve->weights;
    if (std::fabs(K[i] - K[i - 1]) > 1e-7 || std::fabs(K[i + 1] - K[i + 2]) > 1e-7)
        return 0;
    // A piece with end weights w0, w2 is the same curve as the piece with end
    // weights 1 and middle weight w1 / sqrt(w0 w2) (a rational change of its
    // parameter): pieces cut out of an arc off their boundaries, and nets that
    // carry the other direction's weights, come in that form.
    if (!(W[i - 2] > 1e-12) || !(W[i] > 1e-12) || !std::isfinite(W[i - 2]) || !std::isfinite(W[i]))
        return 0;
    const double middleWeight = W[i - 1] / std::sqrt(W[i - 2] * W[i]);
    const double* P0 = cp(curve, i - 2);
    const double* P1 = cp(curve, i - 1);
    const double* P2 = cp(curve, i);
    const double L = dist(P0, P1);
    if (std::fabs(L - dist(P1, P2)) > 1e-7 || L < 1e-7)
        return 0;
    double M[3];
    for (int k = 0; k < 3; ++k)
        M[k] = (P0[k] + P2[k]) * 0.5;
    const double c = dist(P1, M) / L;
    if (std::fabs(c) < 1e-7)
        return 0;
    const double s = std::sqrt(std::fmax(0.0, 1.0 - c * c));
    const double R = dist(P0, M) / c;
    const double h = dist(M, P1);
    double centre[3];
    for (int k = 0; k < 3; ++k)
        centre[k] = P1[k] + (h + R * s) * ((M[k] - P1[k]) / h);
    double a[3], b[3], n[3], Y[3];
    sub(P0, centre, a);
    sub(P2, centre, b);
    vec3Cross(a, b, n);
    const double nl = len(n);
    if (nl < 1e-7)
        return 0;
    for (int k = 0; k < 3; ++k)
        n[k] /= nl;
    vec3Cross(n, a, Y);
    GeomVec3 Q[3];
    double w[3];
    ellipseArcToConicPiece(centre, a, Y, P0, P2, Q, w);
    if (dist(Q[1], P1) > 1e-7 || std::fabs(w[1] - middleWeight) > 1e-7)
        return 0;
    result->kind = 0;
    copy3(result->start, P0);
    copy3(result->centre, centre);
    copy3(result->end, P2);
    copy3(result->normal, n);
    return 1;
}

int ratBSplCurveIsArc(const RatBSplCurve* curve, ArcFitResult* result)
{
    if (!curve || !result || curve->ord != 3 || !curve->knots)
        return 0;
    ArcFitResult R;
    if (!ratBSplPieceIsArc(curve, &R, 2))
        return 0;
    const double* K = curve->knots;
    const int last = curve->noPoints - curve->ord;
    int i = 4;
    if (5 < curve->noPoints && std::fabs(K[5] - K[4]) <= 1e-7)
        i = 5;
    while (i < last) {
        ArcFitResult R2;
        if (!ratBSplPieceIsArc(curve, &R2, i))
            return 0;
        if (dist(R.centre, R2.centre) > 1e-7 || dist(R.normal, R2.normal) > 1e-7 || R.kind != R2.kind)
            return 0;
        copy3(R.end, R2.end);
        if (i + 3 < curve->noPoints && std::fabs(K[i + 3] - K[i + 2]) <= 1e-7)
            i += 3;
        else
            i += 2;
    }
    *result = R;
    return 1;
}

void ellipseArcToConicPiece(const double* O, const double* X, const double* Y, const double* A, const double* B,
                            GeomVec3* outPoints, double* outWeights)
{
    double eX[3], eY[3];
    copy3(eX, X);
    copy3(eY, Y);
    const double b = len(eY);
    const double a = len(eX);
    if (std::fabs(b) < 1e-12 || std::fabs(a) < 1e-12) {
        for (int k = 0; k < 3; ++k)
            copy3(outPoints[k], O);
        outWeights[0] = outWeights[1] = outWeights[2] = 1.0;
        return;
    }
    for (int k = 0; k < 3; ++k) {
        eX[k] /= a;
        eY[k] /= b;
    }
    double m[3], dA[3], dB[3];
    for (int k = 0; k < 3; ++k)
        m[k] = (A[k] + B[k]) * 0.5 - O[k];
    sub(A, O, dA);
    sub(B, O, dB);
    const double xm = dot(m, eX), ym = dot(m, eY);
    const double xA = dot(dA, eX), yA = dot(dA, eY);
    const double xB = dot(dB, eX), yB = dot(dB, eY);
    const double a2 = a * a, b2 = b * b;
    const double XA = xA / a2, YA = yA / b2, XB = xB / a2, YB = yB / b2;
    double x, y;
    const double det = YA * XB - YB * XA;
    if (std::fabs(det) < 1e-12) {
        x = xm;
        y = ym;
    } else {
        x = (YA - YB) / det;
        y = (XB - XA) / det;
    }
    double T[3];
    for (int k = 0; k < 3; ++k)
        T[k] = O[k] + x * eX[k] + y * eY[k];
    const double dx = x - xm, dy = y - ym;
    const double qa = dx * dx / a2 + dy * dy / b2;
    const double qb = dx * xm / a2 + dy * ym / b2;
    const double qc = xm * xm / a2 + ym * ym / b2 - 1.0;
    double f;
    if (std::fabs(qa) < 1e-12) {
        f = 0.25;
    } else {
        const double disc = qb * qb - qa * qc;
        if (std::fabs(disc) < 1e-12)
            f = -qb / qa;
        else if (disc >= 0.0)
            f = (std::sqrt(disc) - qb) / qa;
        else
            f = 0.25;
    }
    const double w = std::fabs(f - 1.0) < 1e-12 ? 1.0 : f / (1.0 - f);
    copy3(outPoints[0], A);
    copy3(outPoints[1], T);
    copy3(outPoints[2], B);
    outWeights[0] = 1.0;
    outWeights[1] = w;
    outWeights[2] = 1.0;
}
