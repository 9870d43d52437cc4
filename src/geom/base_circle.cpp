// Circle fit through a sequence of points.
#include "geom/geom_base.h"

#include <cmath>

namespace {

const double kTwoPi = 6.28318530717958647692;
// A full turn less 1e-6: a sweep above it closes the circle.
const double kAlmostFullTurn = 6.283184307179586;

double circleClosureTolerance = 1e-6;

inline void copy3(const double* src, double* dst)
{
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
}

}  // namespace

double geomSetCircleTolerance(int index, double value)
{
    if (index != 0)
        return -1e11;
    const double previous = circleClosureTolerance;
    circleClosureTolerance = value;
    return previous;
}

int fitCircleToPoints(const GeomVec3* points, int n, double tol, double maxRadius,
                      char checkChords, double* start, double* end, double* centre,
                      double* normal, double* maxDev)
{
    // A tolerance that is no number passes every comparison against it.
    if (!points || n < 3 || std::isnan(tol))
        return 0;
    // A point without coordinates passes every comparison against it.
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(points[i][0]) || !std::isfinite(points[i][1]) || !std::isfinite(points[i][2]))
            return 0;
    const double* A = points[0];
    const double* B = points[n / 3];
    const double* G = points[2 * n / 3];
    const double* D = points[n - 1];

    double ab[3], bg[3];
    vec3Diff(A, B, ab);
    vec3Diff(B, G, bg);
    vec3Cross(ab, bg, normal);
    if (vec3Length(normal) < 1e-10)
        return 0;  // collinear
    vec3Normalize(normal);

    // Centre where the two chord bisectors meet.
    double u[3], v[3], m1[3], m2[3], w[3];
    vec3Cross(normal, ab, u);
    vec3Cross(normal, bg, v);
    vec3Combine(A, 0.5, B, 0.5, m1);
    vec3Combine(B, 0.5, G, 0.5, m2);
    vec3Diff(m1, m2, w);
    const double uu = vec3Dot(u, u), vv = vec3Dot(v, v), uv = vec3Dot(u, v);
    const double wu = vec3Dot(w, u), wv = vec3Dot(w, v);
    const double det = uv * uv - uu * vv;
    if (std::fabs(det) < 1e-10)
        return 0;
    const double s = (wv * uv - wu * vv) / det;
    double c[3];
    vec3AddScaled(m1, u, s, c);
    copy3(A, start);
    copy3(D, end);
    copy3(c, centre);
    *maxDev = 0.0;

    const double r = vec3Distance(A, c);
    // Coordinates near the largest double overflow on the way to the centre.
    if (!std::isfinite(r))
        return 0;
    if (r <= tol + 1e-6)
        return 0;  // too small to tell from the tolerance
    if (maxRadius >= 0.0 && r >= maxRadius)
        return 0;
    const double chordLimit = 2.0 * std::sqrt((2.0 * r - tol) * tol);

    double sum = 0.0, low = 0.0, high = 0.0;
    const double* lowPoint = A;
    const double* highPoint = A;
    for (int i = 0; i < n - 1; ++i) {
        const double* P = points[i];
        const double* Q = points[i + 1];
        const double e = std::fabs(vec3Distance(Q, c) - r);
        if (e > *maxDev)
            *maxDev = e;
        if (e > tol)
            return 0;
        if (checkChords && vec3Distance(P, Q) > chordLimit)
            return 0;
        double pc[3], qc[3];
        vec3Diff(c, P, pc);
        vec3Diff(c, Q, qc);
        sum += angleBetweenFull(pc, qc);
        if (sum < low) {
            low = sum;
            lowPoint = Q;
        }
        if (sum > high) {
            high = sum;
            highPoint = Q;
        }
    }
    if (high - low <= kAlmostFullTurn) {
        copy3(lowPoint, start);
        copy3(highPoint, end);
    } else {
        copy3(start, end);
    }
    return (high - low <= kTwoPi + circleClosureTolerance) ? 1 : 0;
}
