// Small geometric constructions: frames, projections, rotations, angles
// about axes, arcs, line intersection and polyline tests.
#include "geom/geom_base.h"

#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;
const double kTwoPi = 2.0 * kPi;

inline void copy3(const double* src, double* dst)
{
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
}

inline double len2d(const double* v) { return std::sqrt(v[0] * v[0] + v[1] * v[1]); }

}  // namespace

// ---------------------------------------------------------------------------
// Frames and projections

int frameFromNormal(const double* n, double* u, double* v, double* unitN)
{
    const double ax = std::fabs(n[0]), ay = std::fabs(n[1]), az = std::fabs(n[2]);
    double ref[3] = {1.0, 0.0, 0.0};
    if (ax > ay && ax > az) {
        ref[0] = 0.0;
        ref[1] = 1.0;
    } else if (ay > ax && ay > az) {
        ref[0] = 0.0;
        ref[2] = 1.0;
    }
    copy3(n, unitN);
    vec3Normalize(unitN);
    rejectFromUnit(unitN, ref, u);
    vec3Normalize(u);
    vec3Cross(n, u, v);
    return 1;
}

double* pointToFrame(const double* origin, const double* x, const double* y, const double* z,
                     const double* p, double* out)
{
    double d[3];
    vec3Diff(origin, p, d);
    const double a = vec3Dot(d, x), b = vec3Dot(d, y), c = vec3Dot(d, z);
    out[0] = a;
    out[1] = b;
    out[2] = c;
    return out;
}

double* projectPointOnLine(const double* o, const double* d, const double* p, double* out)
{
    double op[3];
    vec3Diff(o, p, op);
    const double f = vec3Dot(op, d) / vec3Dot(d, d);
    return vec3AddScaled(o, d, f, out);
}

double* rejectFromUnit(const double* u, const double* v, double* out)
{
    const double f = vec3Dot(v, u);
    return vec3AddScaled(v, u, -f, out);
}

double* projectPointOnPlane(const double* o, const double* n, const double* p, double* out)
{
    double op[3];
    vec3Diff(o, p, op);
    const double f = vec3Dot(op, n);
    return vec3AddScaled(p, n, -f, out);
}

void pointLineFrame(const double* o, const double* d, const double* p, double* foot,
                    double* offset, double* binormal)
{
    double f[3];
    projectPointOnLine(o, d, p, f);
    double off[3];
    vec3Diff(f, p, off);
    double dn[3];
    copy3(d, dn);
    vec3Normalize(dn);
    vec3Cross(dn, off, binormal);
    copy3(f, foot);
    copy3(off, offset);
}

double* rotatePointAboutLine(const double* o, const double* d, const double* p, double theta,
                             double* out)
{
    double foot[3], off[3], bin[3];
    pointLineFrame(o, d, p, foot, off, bin);
    return vec3Combine3(foot, off, std::cos(theta), bin, std::sin(theta), out);
}

double* rotatePointAboutAxis(const double* d, const double* p, double theta, double* out)
{
    static const double origin[3] = {0.0, 0.0, 0.0};
    return rotatePointAboutLine(origin, d, p, theta, out);
}

double* mirrorPointInPlane(const double* o, const double* n, const double* p, double* out)
{
    double foot[3];
    projectPointOnPlane(o, n, p, foot);
    double dir[3];
    vec3Diff(p, foot, dir);
    const double dist = vec3Normalize(dir);
    return vec3AddScaled(p, dir, 2.0 * dist, out);
}

double projectionRatio(const double* a, const double* d, const double* b)
{
    const double dd = vec3Dot(d, d);
    if (std::fabs(dd) < 1e-10)
        return 0.0;
    return vec3Dot(a, b) / dd;
}

int isOnPlaneAlongNormal(const double* o, const double* n, const double* p, const double* d,
                         double tol)
{
    double op[3];
    vec3Diff(o, p, op);
    const double nd = vec3Dot(n, d);
    // Two unit vectors can give a cosine a rounding step above 1; the sine
    // of their angle is then 0, not the root of a negative number.
    const double s2 = 1.0 - nd * nd;
    const double sine = s2 > 0.0 ? std::sqrt(s2) : 0.0;
    return (std::fabs(vec3Dot(op, n)) <= tol && sine <= tol) ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Angles

namespace {

double angleBetween(const double* a, const double* b, double sameValue)
{
    if (vec3Length(a) < 1e-8)
        return 0.0;
    if (vec3Distance(a, b) < 1e-8)
        return sameValue;
    double an[3];
    copy3(a, an);
    vec3Normalize(an);
    double n[3];
    vec3Cross(an, b, n);
    vec3Normalize(n);
    double y[3];
    vec3Cross(n, an, y);
    double ang = std::atan2(vec3Dot(y, b), vec3Dot(an, b));
    if (ang < 0.0)
        ang += kTwoPi;
    return ang;
}

}  // namespace

double angleBetweenFull(const double* a, const double* b) { return angleBetween(a, b, kTwoPi); }

double angleBetweenPlain(const double* a, const double* b) { return angleBetween(a, b, 0.0); }

double angleAboutAxis(const double* a, const double* b, const double* axis)
{
    if (vec3Length(a) < 1e-8)
        return 0.0;
    if (vec3Distance(a, b) < 1e-8)
        return kTwoPi;
    double an[3], ax[3], w[3];
    copy3(a, an);
    vec3Normalize(an);
    copy3(axis, ax);
    vec3Normalize(ax);
    vec3Cross(ax, an, w);
    double ang = std::atan2(vec3Dot(w, b), vec3Dot(an, b));
    if (ang < 0.0)
        ang += kTwoPi;
    return ang;
}

double angleAtCentre(const double* p, const double* q, const double* centre)
{
    double a[3], b[3];
    vec3Diff(centre, p, a);
    vec3Diff(centre, q, b);
    return angleBetweenFull(a, b);
}

double angleBetweenPlainAtCentre(const double* p, const double* q, const double* centre)
{
    double a[3], b[3];
    vec3Diff(centre, p, a);
    vec3Diff(centre, q, b);
    return angleBetweenPlain(a, b);
}

double angleAboutAxisAtCentre(const double* p, const double* q, const double* centre,
                              const double* axis)
{
    double a[3], b[3];
    vec3Diff(centre, p, a);
    vec3Diff(centre, q, b);
    return angleAboutAxis(a, b, axis);
}

double turnAngle2dRaw(const double* a, const double* b, const double* c)
{
    return std::atan2(c[1] - b[1], c[0] - b[0]) - std::atan2(b[1] - a[1], b[0] - a[0]);
}

double turnAngle2d(const double* a, const double* b, const double* c)
{
    const double cross = (b[0] - a[0]) * (c[1] - b[1]) - (b[1] - a[1]) * (c[0] - b[0]);
    if (cross == 0.0)
        return 0.0;
    const double theta = turnAngle2dRaw(a, b, c);
    // The difference of two headings is off by a whole turn when it crosses
    // the ±π cut; the sign of the cross product tells which way to correct.
    if (cross > 0.0 && theta < 0.0)
        return theta + kTwoPi;
    if (cross < 0.0 && theta > 0.0)
        return theta - kTwoPi;
    return theta;
}

// ---------------------------------------------------------------------------
// Arcs

int isPointOnArc(const double* c, const double* n, const double* s, const double* e, double tol,
                 const double* p)
{
    if (vec3Distance(s, p) < tol || vec3Distance(e, p) < tol)
        return 1;
    if (std::fabs(vec3Distance(c, s) - vec3Distance(c, p)) > tol)
        return 0;
    double sweep;
    if (s == e || vec3Distance(s, e) < 1e-6)
        sweep = kTwoPi;
    else
        sweep = angleAboutAxisAtCentre(s, e, c, n);
    const double a = angleAboutAxisAtCentre(s, p, c, n);
    return (a >= -1e-6 && a <= sweep + 1e-6) ? 1 : 0;
}

void updateRangeAlong(const double* o, const double* axis, const double* p, double* min,
                      double* max)
{
    double op[3];
    vec3Diff(o, p, op);
    const double k = vec3Dot(op, axis);
    if (k < *min)
        *min = k;
    if (k > *max)
        *max = k;
}

void updateBox(const double* p, double* minCorner, double* maxCorner)
{
    for (int i = 0; i < 3; ++i) {
        if (p[i] < minCorner[i])
            minCorner[i] = p[i];
        if (p[i] > maxCorner[i])
            maxCorner[i] = p[i];
    }
}

void arcRangeAlong(const double* o, const double* axis, const double* c, const double* n,
                   const double* s, const double* e, double* min, double* max)
{
    updateRangeAlong(o, axis, s, min, max);
    updateRangeAlong(o, axis, e, min, max);
    double w[3];
    vec3Cross(n, axis, w);
    if (vec3Length(w) >= 1e-12) {
        const double r = vec3Distance(c, s);
        double d[3];
        vec3Cross(n, w, d);
        vec3Normalize(d);
        double q[3];
        vec3AddScaled(c, d, r, q);
        if (isPointOnArc(c, n, s, e, 1e-6, q))
            updateRangeAlong(o, axis, q, min, max);
        vec3AddScaled(c, d, -r, q);
        if (isPointOnArc(c, n, s, e, 1e-6, q))
            updateRangeAlong(o, axis, q, min, max);
    } else {
        updateRangeAlong(o, axis, c, min, max);
    }
}

int arcSweepInitTol(const double* centre, const double* ref, const double* axis, double tol,
                    ArcSweepTracker* tracker)
{
    copy3(centre, tracker->centre);
    copy3(ref, tracker->ref);
    vec3Normalize(tracker->ref);
    copy3(axis, tracker->axis);
    vec3Normalize(tracker->axis);
    vec3Cross(tracker->axis, tracker->ref, tracker->third);
    vec3Normalize(tracker->third);
    tracker->startAngle = 0.0;
    tracker->sum = 0.0;
    tracker->minAngle = 1e10;
    tracker->maxAngle = -1e10;
    for (int i = 0; i < 3; ++i)
        tracker->last[i] = tracker->current[i] = 0.0;
    tracker->first = 1;
    tracker->tol = tol;
    return 0;
}

int arcSweepInit(const double* centre, const double* ref, const double* axis,
                 ArcSweepTracker* tracker)
{
    return arcSweepInitTol(centre, ref, axis, 1e-12, tracker);
}

int arcSweepAddPoint(ArcSweepTracker* tracker, const double* p)
{
    copy3(p, tracker->current);
    if (tracker->first) {
        double v[3];
        vec3Diff(tracker->centre, p, v);
        tracker->startAngle = angleAboutAxis(tracker->ref, v, tracker->axis);
        copy3(p, tracker->last);
        tracker->first = 0;
        return 0;
    }
    double f[3];
    projectPointOnLine(tracker->centre, tracker->axis, p, f);
    double a[3], b[3];
    vec3Diff(f, tracker->last, a);
    vec3Diff(f, p, b);
    if (vec3Length(b) < tracker->tol)
        return 0;
    double axa[3];
    vec3Cross(tracker->axis, a, axa);
    const double delta = std::atan2(vec3Dot(b, axa), vec3Dot(b, a));
    tracker->sum += delta;
    if (tracker->sum < tracker->minAngle)
        tracker->minAngle = tracker->sum;
    if (tracker->sum > tracker->maxAngle)
        tracker->maxAngle = tracker->sum;
    copy3(p, tracker->last);
    return 0;
}

int arcSweepRange(ArcSweepTracker* tracker, double* lo, double* hi)
{
    // The extremes are kept relative to the first point; they are turned
    // into absolute angles here on copies, so that asking twice gives the
    // same range and later points still compare against relative values.
    double mn = tracker->minAngle + tracker->startAngle;
    double mx = tracker->maxAngle + tracker->startAngle;
    if (*lo < 1e10 && *lo > mx) {
        mn += kTwoPi;
        mx += kTwoPi;
    }
    if (*hi > -1e10 && mn > *hi) {
        mn -= kTwoPi;
        mx -= kTwoPi;
    }
    if (mn < *lo)
        *lo = mn;
    if (mx > *hi)
        *hi = mx;
    return 0;
}

// ---------------------------------------------------------------------------
// Lines and polylines

int intersectLinesXY(const double* p1, const double* q1, const double* p2, const double* q2,
                     double* s, double* t, double* point)
{
    const double eps = 1e-6;
    double d1[3], d2[3];
    vec3Diff(p1, q1, d1);
    vec3Diff(p2, q2, d2);
    const double L1 = vec3Normalize(d1);
    const double L2 = vec3Normalize(d2);
    double f[3];
    if (L1 < eps && L2 < eps) {
        if (vec3Distance(p1, p2) <= eps) {
            s[0] = t[0] = 0.0;
            return 1;
        }
        return 0;
    }
    if (L2 < eps) {
        projectPointOnLine(p1, d1, p2, f);
        if (vec3Distance(p2, f) <= eps) {
            double v[3];
            s[0] = vec3Dot(d1, vec3Diff(p1, f, v));
            t[0] = 0.0;
            return 1;
        }
        return 0;
    }
    if (L1 < eps) {
        projectPointOnLine(p2, d2, p1, f);
        if (vec3Distance(p1, f) <= eps) {
            double v[3];
            s[0] = 0.0;
            t[0] = vec3Dot(d2, vec3Diff(p2, f, v));
            return 1;
        }
        return 0;
    }
    const double side[3] = {-d1[1], d1[0], 0.0};
    double v[3];
    projectPointOnLine(p1, d1, p2, f);
    const double h2 = vec3Dot(side, vec3Diff(p2, f, v));
    const double a2 = vec3Dot(d1, vec3Diff(p1, f, v));
    projectPointOnLine(p1, d1, q2, f);
    const double h3 = vec3Dot(side, vec3Diff(q2, f, v));
    const double a3 = vec3Dot(d1, vec3Diff(p1, f, v));
    if (std::fabs(h2 - h3) >= eps) {
        const double lambda = a2 - h2 * (a3 - a2) / (h3 - h2);
        double x[3];
        vec3AddScaled(p1, d1, lambda, x);
        s[0] = vec3Dot(d1, vec3Diff(p1, x, v));
        t[0] = vec3Dot(d2, vec3Diff(p2, x, v));
        copy3(x, point);
        return 1;
    }
    if (std::fabs(h2) > eps || std::fabs(h3) > eps)
        return 0;
    s[0] = a2 < a3 ? a2 : a3;
    s[1] = a2 < a3 ? a3 : a2;
    const double b0 = vec3Dot(d2, vec3Diff(p2, p1, v));
    const double b1 = vec3Dot(d2, vec3Diff(p2, q1, v));
    t[0] = b0 < b1 ? b0 : b1;
    t[1] = b0 < b1 ? b1 : b0;
    return 2;
}

int fitPlaneToPolyline(const GeomVec3* points, int n, double tol, double* normal,
                       double* point)
{
    if (!points || n < 3)
        return 0;
    double a[3], b[3], c[3];
    vec3Diff(points[n / 3], points[0], a);
    vec3Diff(points[2 * n / 3], points[0], b);
    if (vec3Length(a) > 1.0 || n < 5)
        vec3Normalize(a);
    if (vec3Length(b) > 1.0 || n < 5)
        vec3Normalize(b);
    vec3Cross(a, b, c);
    if (vec3Length(c) >= tol) {
        copy3(c, normal);
        vec3Normalize(normal);
        copy3(points[0], point);
        return 1;
    }

    double lo[3], hi[3];
    copy3(points[0], lo);
    copy3(points[0], hi);
    for (int i = 1; i < n; ++i)
        updateBox(points[i], lo, hi);
    const double diag = vec3Distance(lo, hi);
    const int step = n / 10 > 1 ? n / 10 : 1;
    int i0 = 0;
    double best[3] = {0.0, 0.0, 0.0};
    for (int j = step; j < n; j += step) {
        vec3Diff(points[i0], points[j], a);
        if (vec3Length(a) < 0.0001)
            continue;
        if (vec3Length(a) > 1.0)
            vec3Normalize(a);
        b[0] = b[1] = b[2] = 0.0;
        for (int k = i0 - step; k > i0 - n && vec3Length(b) <= diag / 2.0; k -= step) {
            const int idx = k < 0 ? k + n : k;
            vec3Diff(points[i0], points[idx], b);
            if (vec3Length(b) >= 0.0001) {
                if (vec3Length(b) > 1.0)
                    vec3Normalize(b);
                vec3Cross(a, b, c);
                if (vec3Length(c) > vec3Length(best))
                    copy3(c, best);
                if (vec3Length(best) >= tol) {
                    copy3(best, normal);
                    vec3Normalize(normal);
                    copy3(points[i0], point);
                    return 1;
                }
            }
        }
        i0 = j;
    }
    return 0;
}

int polygonWinding(const double* c, const GeomVec3* points, int n, double tol, int* result)
{
    if (!points || n < 3)
        return 2243;
    double sum = 0.0;
    for (int i = 1; i <= n; ++i) {
        const double* p = points[i - 1];
        const double* q = points[i % n];
        if (i == n) {
            const double gap[2] = {points[0][0] - points[n - 1][0],
                                   points[0][1] - points[n - 1][1]};
            if (len2d(gap) <= 1e-6)
                break;
        }
        const double a[2] = {p[0] - c[0], p[1] - c[1]};
        const double b[2] = {q[0] - c[0], q[1] - c[1]};
        sum += std::atan2(a[0] * b[1] - a[1] * b[0], a[0] * b[0] + a[1] * b[1]);
    }
    *result = std::fabs(sum) > tol ? 1 : -1;
    return 0;
}

int polylineMidpoint(const GeomVec3* points, int n, double* out)
{
    if (!points || n < 1)
        return 2292;
    if (n == 1) {
        copy3(points[0], out);
        return 0;
    }
    double total = 0.0;
    for (int k = 1; k < n; ++k)
        total += vec3Distance(points[k - 1], points[k]);
    const double half = total / 2.0;
    double before = 0.0;
    for (int k = 1; k < n; ++k) {
        const double l = vec3Distance(points[k - 1], points[k]);
        if (before + l >= half) {
            const double s = l > 1e-10 ? (half - before) / l : 0.5;
            vec3Combine(points[k - 1], 1.0 - s, points[k], s, out);
            return 0;
        }
        before += l;
    }
    copy3(points[n - 1], out);
    return 0;
}

int isPolylineStraight(const GeomVec3* points, int n, double tol, double* maxDev)
{
    *maxDev = 0.0;
    if (!points || n < 2)
        return 0;
    if (n == 2)
        return 1;
    const double lim = tol >= 0.0 ? tol : 1e10;
    int far = 0;
    double farDist = 0.0;
    for (int i = 1; i < n; ++i) {
        const double dist = vec3Distance(points[0], points[i]);
        if (dist > farDist) {
            farDist = dist;
            far = i;
        }
    }
    double d[3];
    vec3Diff(points[0], points[far], d);
    const double len = vec3Length(d);
    if (len < lim)
        return 0;
    for (int i = 1; i < n; ++i) {
        double f[3];
        const double lambda = projectOnLineB(points[0], d, points[i], f);
        if (lambda < -lim || lambda > len + lim)
            return 0;
        const double e = vec3Distance(points[i], f);
        if (e > *maxDev)
            *maxDev = e;
        if (e > lim)
            return 0;
    }
    return 1;
}
