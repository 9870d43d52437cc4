// Constructors of standard surfaces: from arrays, bilinear patches, planes,
// cones and cylinders, spheres, tori, surfaces of revolution and grids of
// bicubic patches. Circular directions are exact rational quadratic arcs.
#include "geom/geom_surface_ops.h"
#include "geom/geom_curve_ops.h"

#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

// Report site: a profile curve or sweep that no surface can be built from.
enum { kLineRevolveProfile = 4120, kLineBicubicCounts = 4121 };

inline double dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline double len(const double* a) { return std::sqrt(dot(a, a)); }
inline void copy3(double* out, const double* a)
{
    out[0] = a[0];
    out[1] = a[1];
    out[2] = a[2];
}
inline void scaled(const double* a, double f, double* out)
{
    out[0] = a[0] * f;
    out[1] = a[1] * f;
    out[2] = a[2] * f;
}
inline bool finite3(const double* a) { return std::isfinite(a[0]) && std::isfinite(a[1]) && std::isfinite(a[2]); }
inline bool usableAxis(const double* a) { return a && finite3(a) && len(a) >= 1e-12; }

inline GeomVec3* rowPoints(RatBSplSurf* s, int i) { return s->points + i * s->noPointsv; }
inline double* rowWeights(RatBSplSurf* s, int i) { return s->weights + i * s->noPointsv; }

// A domain without width cannot be evaluated: such a surface is no result.
bool hasDomain(const RatBSplSurf* s)
{
    const double du = s->knotsu[s->noPointsu - s->ordu] - s->knotsu[s->ordu - 1];
    const double dv = s->knotsv[s->noPointsv - s->ordv] - s->knotsv[s->ordv - 1];
    return std::isfinite(du) && std::isfinite(dv) && du >= 1e-12 && dv >= 1e-12;
}

RatBSplSurf* keepIfUsable(RatBSplSurf* s)
{
    if (s && !hasDomain(s)) {
        ratBSplSurfFree(s);
        return nullptr;
    }
    return s;
}

void boxCorner(const double* bmin, const double* bmax, int c, double* out)
{
    out[0] = (c & 1) ? bmax[0] : bmin[0];
    out[1] = (c & 2) ? bmax[1] : bmin[1];
    out[2] = (c & 4) ? bmax[2] : bmin[2];
}

// A surface of revolution runs along its profile curve in u: the curve's
// knots, period and form go to that direction; its rows are rational arcs.
void takeProfileAlongU(RatBSplSurf* s, const RatBSplCurve* curve)
{
    for (int i = 0; i < curve->noPoints; ++i)
        s->knotsu[i] = curve->knots[i];
    s->isRational = 1;
    s->periodicu = curve->isPeriodic;
    s->periodu = curve->period;
    s->knotRangeu = curve->knotRange;
    s->multPtsu = curve->multPts;
    s->origFormu = curve->origForm;
}

} // namespace

RatBSplSurf* ratBSplSurfFromArrays(int ordu, int ordv, int noPointsu, int noPointsv, const double* knotsU,
                                   const double* knotsV, const GeomVec3* points, const double* weights,
                                   short transposed, short closedU, short closedV)
{
    // The parameter check is the caller's to run (it refuses order 1, which
    // the record and its evaluators serve); only what cannot be copied at
    // all is refused here: missing arrays and counts that hold no net.
    if (!knotsU || !knotsV || !points || ordu < 1 || ordv < 1 || noPointsu < ordu ||
        noPointsv < ordv)
        return nullptr;
    RatBSplSurf* s = ratBSplSurfCreate(ordu, ordv, noPointsu, noPointsv);
    if (!s)
        return nullptr;
    for (int i = 0; i < noPointsu; ++i)
        s->knotsu[i] = knotsU[i];
    for (int j = 0; j < noPointsv; ++j)
        s->knotsv[j] = knotsV[j];
    const int nr = noPointsu - ordu, nc = noPointsv - ordv;
    for (int i = 0; i < nr; ++i)
        for (int j = 0; j < nc; ++j) {
            const int k = transposed ? j * nr + i : i * nc + j;
            copy3(s->points[i * noPointsv + j], points[k]);
            s->weights[i * noPointsv + j] = weights ? weights[k] : 1.0;
        }
    s->isRational = weights ? 1 : 0;
    s->origFormu = closedU ? 2 : 1;
    s->origFormv = closedV ? 2 : 1;
    return s;
}

int ratBSplSurfCheckParams(int ordu, int ordv, int noPointsu, int noPointsv, const double* knotsU,
                           const double* knotsV, const GeomVec3* points)
{
    return (ordu >= 2 && ordv >= 2 && noPointsu >= ordu && noPointsv >= ordv && knotsU && knotsV && points) ? 1
                                                                                                          : 0;
}

RatBSplSurf* ratBSplSurfBilinear(const double* p00, const double* p01, const double* p10, const double* p11)
{
    if (!p00 || !p01 || !p10 || !p11)
        return nullptr;
    RatBSplSurf* s = ratBSplSurfCreate(2, 2, 4, 4);
    if (!s)
        return nullptr;
    copy3(s->points[0], p00);
    copy3(s->points[1], p01);
    copy3(s->points[4], p10);
    copy3(s->points[5], p11);
    s->weights[0] = s->weights[1] = s->weights[4] = s->weights[5] = 1.0;
    const double d1 = vec3DistanceB(p00, p10);
    const double d2 = vec3DistanceB(p00, p01);
    s->knotsu[0] = s->knotsu[1] = 0.0;
    s->knotsu[2] = s->knotsu[3] = d1;
    s->knotsv[0] = s->knotsv[1] = 0.0;
    s->knotsv[2] = s->knotsv[3] = d2;
    s->isRational = 0;
    return keepIfUsable(s);
}

RatBSplSurf* ratBSplSurfPlaneOverBox(const double* P, const double* N, const double* bmin, const double* bmax)
{
    if (!P || !bmin || !bmax || !usableAxis(N))
        return nullptr;
    double n[3], e1[3], e2[3];
    copy3(n, N);
    vec3AnyPerpendicular(n, e1, e2); // normalises n too
    double lo1 = 1e300, hi1 = -1e300, lo2 = 1e300, hi2 = -1e300;
    for (int c = 0; c < 8; ++c) {
        double corner[3], d[3];
        boxCorner(bmin, bmax, c, corner);
        vec3DiffB(P, corner, d);
        const double a = dot(d, e1), b = dot(d, e2);
        lo1 = std::fmin(lo1, a);
        hi1 = std::fmax(hi1, a);
        lo2 = std::fmin(lo2, b);
        hi2 = std::fmax(hi2, b);
    }
    double qlo[3], qhi[3], m[3];
    for (int k = 0; k < 3; ++k) {
        qlo[k] = P[k] + lo1 * e1[k] + lo2 * e2[k];
        qhi[k] = P[k] + hi1 * e1[k] + hi2 * e2[k];
        m[k] = 0.5 * qlo[k] + 0.5 * qhi[k];
    }
    const double h = std::fmax(vec3DistanceB(m, qlo), vec3DistanceB(m, qhi));
    double p00[3], p01[3], p10[3], p11[3];
    for (int k = 0; k < 3; ++k) {
        p00[k] = m[k] - h * e1[k] - h * e2[k];
        p01[k] = m[k] - h * e1[k] + h * e2[k];
        p10[k] = m[k] + h * e1[k] - h * e2[k];
        p11[k] = m[k] + h * e1[k] + h * e2[k];
    }
    return ratBSplSurfBilinear(p00, p01, p10, p11);
}

RatBSplSurf* ratBSplSurfConeBetweenHeights(const double* P, const double* A, const double* X, const double* Y,
                                           double a, double b, double h0, double h1)
{
    if (!P || !A || !X || !Y)
        return nullptr;
    const double L = len(Y);
    // The radius grows by a / b per unit of height relative to |Y|; without
    // a slope (a cylinder) nothing is divided.
    if (a != 0.0 && (std::fabs(b) < 1e-300 || L < 1e-12))
        return nullptr;
    auto f = [&](double h) { return a == 0.0 ? 1.0 : 1.0 + h * a / (b * L); };
    const double f0 = f(h0), f1 = f(h1);
    if (!std::isfinite(f0) || !std::isfinite(f1))
        return nullptr;
    RatBSplSurf* s = ratBSplSurfCreate(2, 3, 4, 15);
    if (!s)
        return nullptr;
    double C0[3], C1[3], X0[3], Y0[3], X1[3], Y1[3];
    for (int k = 0; k < 3; ++k) {
        C0[k] = P[k] + h0 * A[k];
        C1[k] = P[k] + h1 * A[k];
    }
    scaled(X, f0, X0);
    scaled(Y, f0, Y0);
    scaled(X, f1, X1);
    scaled(Y, f1, Y1);
    fullCircleFourPieces(C0, X0, Y0, rowPoints(s, 0), rowWeights(s, 0), s->knotsv);
    fullCircleFourPieces(C1, X1, Y1, rowPoints(s, 1), rowWeights(s, 1),
                         std::fabs(f0) < std::fabs(f1) ? s->knotsv : nullptr);
    double e0[3], e1[3];
    for (int k = 0; k < 3; ++k) {
        e0[k] = C0[k] + Y0[k];
        e1[k] = C1[k] + Y1[k];
    }
    const double d = vec3DistanceB(e0, e1);
    s->knotsu[0] = s->knotsu[1] = 0.0;
    s->knotsu[2] = s->knotsu[3] = d;
    // An apex row collapses to a point: its weights follow the other row so
    // that every meridian stays a straight line.
    if (std::fabs(f0) < 1e-6) {
        for (int j = 0; j < 15; ++j)
            rowWeights(s, 0)[j] = rowWeights(s, 1)[j];
    } else if (std::fabs(f1) < 1e-6) {
        for (int j = 0; j < 15; ++j)
            rowWeights(s, 1)[j] = rowWeights(s, 0)[j];
    }
    s->periodicv = 1;
    s->origFormv = 2;
    s->isRational = 1;
    s->nrmOri = b >= 0.0 ? -1 : 1;
    return keepIfUsable(s);
}

RatBSplSurf* ratBSplSurfConeOverBox(const double* P, const double* A, const double* X, const double* Y, double a,
                                    double b, const double* bmin, const double* bmax)
{
    if (!P || !A || !X || !Y || !bmin || !bmax)
        return nullptr;
    double lo = 1e300, hi = -1e300;
    for (int c = 0; c < 8; ++c) {
        double corner[3], d[3];
        boxCorner(bmin, bmax, c, corner);
        vec3DiffB(P, corner, d);
        const double h = dot(d, A);
        lo = std::fmin(lo, h);
        hi = std::fmax(hi, h);
    }
    const double L = len(Y);
    if (a != 0.0 && (std::fabs(b) < 1e-300 || L < 1e-12))
        return nullptr;
    if (a != 0.0) {
        const double hA = -L * b / a;
        if (lo < hA && hA < hi) {
            // Keep the longer side of the apex; it ends there.
            if (hA - lo < hi - hA)
                lo = hA;
            else
                hi = hA;
        } else if (hi < hA && hA - hi < 100000.0) {
            hi = hA;
        } else if (lo > hA && lo - hA < 100000.0) {
            lo = hA;
        }
    }
    double P2[3], X2[3], Y2[3];
    copy3(P2, P);
    copy3(X2, X);
    copy3(Y2, Y);
    if (L > 0.0 && L < 1.0 && a != 0.0) {
        // Move the reference height to where the radius is 1.
        const double t = (1.0 - L) * b / a;
        for (int k = 0; k < 3; ++k) {
            P2[k] = P[k] + t * A[k];
            X2[k] = X[k] / L;
            Y2[k] = Y[k] / L;
        }
        lo -= t;
        hi -= t;
    }
    return ratBSplSurfConeBetweenHeights(P2, A, X2, Y2, a, b, lo, hi);
}

RatBSplSurf* ratBSplSurfConeFromRadius(const double* P, const double* A, double r, double s, double a, double b,
                                       const double* bmin, const double* bmax)
{
    if (!P || !usableAxis(A))
        return nullptr;
    double n[3], e1[3], e2[3];
    copy3(n, A);
    vec3AnyPerpendicular(n, e1, e2); // normalises n too
    vec3NormalizeB(e2);
    double P2[3], X[3], Y[3];
    copy3(P2, P);
    if (r < 1.0 && a != 0.0) {
        if (std::fabs(b) < 1e-300)
            return nullptr;
        const double t = (1.0 - r) * b / a;
        for (int k = 0; k < 3; ++k)
            P2[k] = P[k] + t * A[k];
        copy3(Y, e1);
        scaled(e2, s, X);
    } else {
        scaled(e1, r, Y);
        scaled(e2, r * s, X);
    }
    return ratBSplSurfConeOverBox(P2, A, X, Y, a, b, bmin, bmax);
}

namespace {

// Sphere rows: each a three-piece circle about a centre on the polar axis;
// rows at the tangent corners of the meridian carry its quarter-arc weight.
struct SphereRow {
    int centre;   // +1 north pole, 0 centre, -1 south pole
    bool radial;  // vectors r A, r B (else the pole: zero vectors)
    bool corner;  // weights times sqrt(2) / 2
};

RatBSplSurf* buildSphere(const double* O, double r, const double* A, const double* B, const double* Z,
                         const SphereRow* rows, int nRows, const double* uKnots, int nuKnots, bool shared)
{
    if (!O || !std::isfinite(r) || std::fabs(r) < 1e-12 || !usableAxis(A) || !usableAxis(B) || !usableAxis(Z))
        return nullptr;
    const int nv = shared ? 10 : 12;
    RatBSplSurf* s = ratBSplSurfCreate(3, 3, nuKnots, nv);
    if (!s)
        return nullptr;
    // Knot values must grow: a negative radius (an inward normal) spaces them
    // by its size.
    const double scale = std::fabs(r);
    const double zero[3] = {0.0, 0.0, 0.0};
    double rA[3], rB[3];
    scaled(A, r, rA);
    scaled(B, r, rB);
    for (int i = 0; i < nRows; ++i) {
        double c[3];
        for (int k = 0; k < 3; ++k)
            c[k] = O[k] + rows[i].centre * r * Z[k];
        const double* X = rows[i].radial ? rA : zero;
        const double* Y = rows[i].radial ? rB : zero;
        if (shared)
            fullCircleThreePiecesShared(c, X, Y, rowPoints(s, i), rowWeights(s, i), s->knotsv);
        else
            fullCircleThreePieces(c, X, Y, rowPoints(s, i), rowWeights(s, i), s->knotsv);
        if (rows[i].corner)
            for (int j = 0; j < nv - 3; ++j)
                rowWeights(s, i)[j] *= std::sqrt(2.0) / 2.0;
    }
    for (int j = 0; j < nv; ++j)
        s->knotsv[j] *= scale;
    for (int i = 0; i < nuKnots; ++i)
        s->knotsu[i] = uKnots[i] * scale;
    s->periodicv = 1;
    s->origFormv = 2;
    s->isRational = 1;
    s->nrmOri = r >= 0.0 ? 1 : -1;
    return keepIfUsable(s);
}

} // namespace

RatBSplSurf* ratBSplSurfSphere4(const double* O, double r, const double* A, const double* B, const double* Z)
{
    // Each meridian is two quarter arcs with their own control rows; each
    // parallel is a circle of three arcs.
    static const SphereRow rows[6] = {{1, false, false}, {1, true, true},  {0, true, false},
                                      {0, true, false},  {-1, true, true}, {-1, false, false}};
    static const double uKnots[9] = {0, 0, 0, 1, 1, 1, 2, 2, 2};
    return buildSphere(O, r, A, B, Z, rows, 6, uKnots, 9, false);
}

RatBSplSurf* ratBSplSurfSphere3(const double* O, double r, const double* A, const double* B, const double* Z)
{
    static const SphereRow rows[5] = {
        {1, false, false}, {1, true, true}, {0, true, false}, {-1, true, true}, {-1, false, false}};
    static const double uKnots[8] = {0, 0, 0, 1, 1, 2, 2, 2};
    return buildSphere(O, r, A, B, Z, rows, 5, uKnots, 8, true);
}

RatBSplSurf* ratBSplSurfTorus(const double* O, const double* V1, const double* V2, const double* V3, double R,
                              double r)
{
    if (!O || !usableAxis(V1) || !usableAxis(V2) || !usableAxis(V3) || !std::isfinite(R) || !std::isfinite(r) ||
        std::fabs(r) < 1e-12)
        return nullptr;
    const double signedR = r;
    const int kind = std::fabs(r) < std::fabs(R) ? 0 : (R > 1e-12 ? 1 : 2);
    R = std::fabs(R);
    r = std::fabs(r);
    const double sR = std::fmin(std::fmax(R, 0.01), 100.0);
    const double sr = std::fmin(std::fmax(r, 0.01), 100.0);
    const int n = kind == 2 ? 2 : 3;
    double Q[3];
    for (int k = 0; k < 3; ++k)
        Q[k] = O[k] + (kind == 2 ? -R : R) * V1[k];
    GeomVec3 profile[12];
    double profileW[12];
    double profileK[12];
    if (kind == 0) {
        double X[3], Y[3];
        scaled(V1, r, X);
        scaled(V3, r, Y);
        fullCircleThreePieces(Q, X, Y, profile, profileW, profileK);
    } else {
        // The tube reaches the axis: the profile runs between the two points
        // where it meets the axis.
        const double e = std::sqrt(std::fmax(r * r - R * R, 0.0));
        double A[3], B[3], nrm[3];
        for (int k = 0; k < 3; ++k) {
            A[k] = O[k] + e * V3[k] - Q[k];
            B[k] = O[k] - e * V3[k] - Q[k];
            nrm[k] = -V2[k];
        }
        arcPiecesBetweenVectors(Q, kind == 2 ? 1 : 0, A, B, nrm, n, profile, profileW, profileK);
    }
    RatBSplSurf* s = ratBSplSurfCreate(3, 3, 3 * (n + 1), 12);
    if (!s)
        return nullptr;
    for (int k = 0; k < 3 * n; ++k) {
        double F[3], D[3], Y[3], c[3];
        projectPointOnLine(O, V3, profile[k], F);
        vec3DiffB(F, profile[k], D);
        scaled(V2, len(D), Y);
        vec3CrossB(c, D, Y);
        if (dot(V3, c) < -1e-12)
            scaled(Y, -1.0, Y);
        fullCircleThreePieces(F, D, Y, rowPoints(s, k), rowWeights(s, k), s->knotsv);
        for (int j = 0; j < 9; ++j)
            rowWeights(s, k)[j] *= profileW[k];
    }
    for (int j = 0; j < 12; ++j)
        s->knotsv[j] *= sR;
    for (int i = 0; i < 3 * (n + 1); ++i)
        s->knotsu[i] = profileK[i] * sr;
    s->periodicu = kind == 0 ? 1 : 0;
    s->origFormu = kind == 0 ? 2 : 1;
    s->periodicv = 1;
    s->origFormv = 2;
    s->isRational = 1;
    if (kind == 0)
        s->nrmOri = signedR >= 0.0 ? -1 : 1;
    else
        s->nrmOri = signedR >= 0.0 ? 1 : -1;
    return keepIfUsable(s);
}

RatBSplSurf* ratBSplSurfRevolveCurve(const double* P, const double* A, const RatBSplCurve* curve)
{
    if (!curve || !P || !usableAxis(A) || !curve->points || !curve->knots || !curve->weights)
        return nullptr;
    if (!ratBSplCurveHasSpans(curve)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, kLineRevolveProfile);
        return nullptr;
    }
    RatBSplSurf* s = ratBSplSurfCreate(curve->ord, 3, curve->noPoints, 12);
    if (!s)
        return nullptr;
    double axis[3];
    copy3(axis, A);
    vec3NormalizeB(axis);
    const int m = curve->noPoints - curve->ord;
    for (int i = 0; i < m; ++i) {
        double F[3], D[3], Y[3];
        projectPointOnLine(P, axis, curve->points[i], F);
        vec3DiffB(F, curve->points[i], D);
        vec3CrossB(Y, D, axis);
        fullCircleThreePieces(F, D, Y, rowPoints(s, i), rowWeights(s, i), s->knotsv);
        for (int j = 0; j < 9; ++j)
            rowWeights(s, i)[j] *= curve->weights[i];
    }
    takeProfileAlongU(s, curve);
    s->periodicv = 1;
    s->periodv = 9;
    s->knotRangev = s->knotsv[9] - s->knotsv[0];
    s->multPtsv = 3;
    s->origFormv = 2;
    return keepIfUsable(s);
}

RatBSplSurf* ratBSplSurfRevolveCurveArc(const double* P, const double* A, const RatBSplCurve* curve, double a0,
                                        double a1)
{
    if (!curve || !P || !usableAxis(A) || !curve->points || !curve->knots || !curve->weights ||
        !std::isfinite(a0) || !std::isfinite(a1))
        return nullptr;
    // A profile without a span has no control row to take the unit arc, and
    // four arc pieces turn at most once round: a longer sweep would leave
    // the surface behind its own points.
    if (!ratBSplCurveHasSpans(curve) || std::fabs(a1 - a0) > 2 * M_PI + 1e-9) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, kLineRevolveProfile);
        return nullptr;
    }
    // Pieces follow the size of the sweep whichever way it turns: a piece
    // always bends towards where its end tangents meet, so one piece of a
    // backward sweep beyond a half turn would be built on the wrong side.
    const double w = std::fabs(a1 - a0);
    const int n = w <= M_PI / 2 ? 1 : (w <= M_PI ? 2 : (w <= 3 * M_PI / 2 ? 3 : 4));
    const int nv = 3 * (n + 1);
    RatBSplSurf* s = ratBSplSurfCreate(curve->ord, 3, curve->noPoints, nv);
    if (!s)
        return nullptr;
    double* unitW = static_cast<double*>(std::malloc(sizeof(double) * nv));
    if (!unitW) {
        ratBSplSurfFree(s);
        return nullptr;
    }
    const double origin[3] = {0, 0, 0}, ex[3] = {1, 0, 0}, ey[3] = {0, 1, 0};
    arcPiecesByAngles(origin, ex, ey, a0, a1, n, rowPoints(s, 0), unitW, s->knotsv);
    double axis[3];
    copy3(axis, A);
    vec3NormalizeB(axis);
    const int m = curve->noPoints - curve->ord;
    for (int i = 0; i < m; ++i) {
        double F[3], D[3], Y[3];
        projectPointOnLine(P, axis, curve->points[i], F);
        vec3DiffB(F, curve->points[i], D);
        vec3CrossB(Y, axis, D);
        arcPiecesByAngles(F, D, Y, a0, a1, n, rowPoints(s, i), rowWeights(s, i), nullptr);
        for (int j = 0; j < 3 * n; ++j)
            rowWeights(s, i)[j] = unitW[j] * curve->weights[i];
    }
    takeProfileAlongU(s, curve);
    if (w >= 2 * M_PI) {
        s->periodicv = 1;
        s->periodv = 3 * n;
        s->knotRangev = s->knotsv[3 * n] - s->knotsv[0];
        s->multPtsv = 3;
        s->origFormv = 2;
    } else {
        s->periodicv = 0;
        s->periodv = -1;
        s->knotRangev = 0.0;
        s->multPtsv = 0;
        s->origFormv = 1;
    }
    std::free(unitW);
    return keepIfUsable(s);
}

RatBSplSurf* ratBSplSurfFromBicubicPatches(int nU, int nV, const double* U, const double* V,
                                           const GeomVec3* coefficients)
{
    return ratBSplSurfFromBicubicPatchesTol(nU, nV, U, V, coefficients, 1e-7);
}

RatBSplSurf* ratBSplSurfFromBicubicPatchesTol(int nU, int nV, const double* U, const double* V,
                                              const GeomVec3* coefficients, double tol)
{
    if (nU < 1 || nV < 1 || !U || !V || !coefficients)
        return nullptr;
    // The knot counts 4 n + 4 must stay within their 32-bit fields.
    if (nU > (INT_MAX - 4) / 4 || nV > (INT_MAX - 4) / 4) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_SURFACE, kLineBicubicCounts);
        return nullptr;
    }
    RatBSplSurf* s = ratBSplSurfCreate(4, 4, 4 * nU + 4, 4 * nV + 4);
    if (!s)
        return nullptr;
    for (int k = 0; k < 4; ++k) {
        s->knotsu[k] = U[0];
        s->knotsv[k] = V[0];
    }
    for (int i = 0; i < nU; ++i)
        for (int j = 0; j < nV; ++j) {
            GeomVec3 pts[16];
            double w[16];
            bicubicPatchToBezier(U[i], U[i + 1], V[j], V[j + 1],
                                 coefficients + (static_cast<long long>(i) * nV + j) * 16, pts, w,
                                 s->knotsu + 4 * i, s->knotsv + 4 * j);
            for (int l = 0; l < 4; ++l)
                for (int k = 0; k < 4; ++k) {
                    const long long idx = static_cast<long long>(4 * i + k) * s->noPointsv + (4 * j + l);
                    copy3(s->points[idx], pts[k + 4 * l]);
                    s->weights[idx] = w[k + 4 * l];
                }
        }
    int closedU = 0, closedV = 0;
    ratBSplSurfTestClosedTol(s, tol, &closedU, &closedV);
    if (closedU)
        s->origFormu = 2;
    if (closedV)
        s->origFormv = 2;
    return keepIfUsable(s);
}
