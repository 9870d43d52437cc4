// Shape recognition of surfaces of revolution: the revolution test itself and
// the cone, cylinder, sphere and torus tests built on it.
#include "geom/geom_curve_ops.h"
#include "geom/geom_surface_shape.h"

#include <cmath>

namespace {

double shapeTolerances[4] = {0.0, 0.0, 1000.0, 0.0};

// The precision of the kernel's exact shape tests. The exact forms of the
// tests below compare against a tolerance of 0, which floating-point noise of a
// turned or moved surface (1e-16 relative) always exceeds; they compare against
// this instead, so the same surface is recognised wherever it stands.
constexpr double kExactPrecision = 1e-7;

void copy3(double* dst, const double* src)
{
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
}

void toArray(const GeomPoint& p, double* out)
{
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}

double dist(const double* a, const double* b)
{
    return vec3Distance(a, b);
}

// Frees the curve when the scope ends, on every path.
struct CurveHolder {
    RatBSplCurve* curve;
    explicit CurveHolder(RatBSplCurve* c) : curve(c) {}
    ~CurveHolder() { ratBSplCurveFree(curve); }
    CurveHolder(const CurveHolder&) = delete;
    CurveHolder& operator=(const CurveHolder&) = delete;
};

struct SurfHolder {
    RatBSplSurf* surface;
    explicit SurfHolder(RatBSplSurf* s) : surface(s) {}
    ~SurfHolder() { ratBSplSurfFree(surface); }
    SurfHolder(const SurfHolder&) = delete;
    SurfHolder& operator=(const SurfHolder&) = delete;
};

// A rational curve is unchanged when all its weights are scaled alike. The
// rows and columns of a tensor-product net carry the other direction's weight
// as such a factor (a sphere's middle columns start at weight cos 45°), which
// the exact arc test, reading weights of 1 at every piece's ends, would take
// for a non-arc: bring the first weight to 1 before testing.
void normaliseWeights(RatBSplCurve* curve)
{
    // A row or column of a net without entries that way has no first weight.
    if (ratBSplCurveControlCount(curve) < 1)
        return;
    const double w0 = curve->weights[0];
    if (w0 == 1.0 || !(std::fabs(w0) > 1e-12) || !std::isfinite(w0))
        return;
    for (int k = 0; k < curve->noPoints; ++k)
        curve->weights[k] /= w0;
}

// Straight-line test with the module's line tolerance, or the exact test.
int lineTest(const RatBSplCurve* curve, bool spanForm, double* pair)
{
    const double tol = shapeTolerances[GEOM_TOL_LINE];
    if (tol > 0.0)
        return spanForm ? ratBSplCurveIsLineSpan(curve, tol, pair) : ratBSplCurveIsLine(curve, tol, pair);
    return ratBSplCurveIsLineExact(curve, pair);
}

double orientationSign(int swapped)
{
    return swapped == 0 ? 1.0 : -1.0;
}

// The profile through control row 0 tested for a circular arc.
int profileArc(RatBSplSurf* surface, double tol, int nSamples, unsigned char checkChords, ArcFitResult* arc)
{
    CurveHolder profile(ratBSplSurfRowCurve(surface, 0));
    if (!profile.curve)
        return 0;
    normaliseWeights(profile.curve);
    return ratBSplCurveFitArcFlag(profile.curve, tol, nSamples, checkChords, arc);
}

// The plane test of the torus: the profile arc's normal n against a unit
// direction e of its expected plane.
bool arcPlaneFits(double r, double c, double tol)
{
    const double s = c >= 1.0 ? 0.0 : std::sqrt(1.0 - c * c);
    const double m = std::fmax(r, 1.0);
    return !(std::fabs(r - s * r) > tol || c * m > tol);
}

template <typename Test>
int onSurfaceOrTranspose(RatBSplSurf* surface, int swapped, Test test)
{
    if (!surface)
        return 0;
    if (test(surface, swapped))
        return 1;
    SurfHolder transposed(ratBSplSurfTranspose(surface));
    if (!transposed.surface)
        return 0;
    return test(transposed.surface, swapped == 0 ? 1 : 0);
}

} // namespace

double geomSetTolerance(int index, double value)
{
    const unsigned slot = static_cast<unsigned>(index);
    if (slot > GEOM_TOL_SPHERE_CENTRE)
        return GEOM_TOL_BAD_INDEX;
    const double old = shapeTolerances[slot];
    shapeTolerances[slot] = value;
    return old;
}

// ---------------------------------------------------------------------------
// Surface of revolution

int ratBSplSurfIsRevolution(RatBSplSurf* surface, double* axisPoint, double tol, int nSamples,
                            unsigned char checkChords, double* axisDir, double* refDir)
{
    // A net without a control column turns nothing (its axis record would
    // have no room for the knots written below), nor one without a control
    // row, whose columns are no curves.
    if (!surface || surface->ordv < 1 || surface->noPointsv - surface->ordv < 1 ||
        ratBSplSurfControlRows(surface) < 1)
        return 0;
    // The column centres gathered as a curve, so that the line test of curves
    // sees them in order.
    CurveHolder axis(ratBSplCurveCreate(surface->ordv, surface->noPointsv));
    if (!axis.curve)
        return 0;
    axis.curve->knots[0] = 0.0;

    double largest = -1.0;
    double path = 0.0;
    double normalSum[3] = {0.0, 0.0, 0.0};
    double mainNormal[3] = {0.0, 0.0, 0.0};
    int arcs = 0;
    int found = 0;
    double previous[3] = {0.0, 0.0, 0.0};
    const int columns = surface->noPointsv - surface->ordv;
    for (int j = 0; j < columns; ++j) {
        CurveHolder column(ratBSplSurfColumnCurve(surface, j));
        if (!column.curve)
            return 0;
        normaliseWeights(column.curve);
        ArcFitResult arc;
        double dev = 0.0;
        double centre[3];
        if (ratBSplCurveFitArc(column.curve, tol, nSamples, tol, checkChords,
                               shapeTolerances[GEOM_TOL_ARC_RADIUS], &arc, &dev)) {
            const double radius = dist(arc.centre, arc.start);
            if (radius > largest) {
                largest = radius;
                vec3Diff(arc.centre, arc.start, refDir);
                copy3(mainNormal, arc.normal);
                found = 1;
            }
            copy3(centre, arc.centre);
            ++arcs;
            for (int k = 0; k < 3; ++k)
                normalSum[k] += arc.normal[k];
        } else {
            const double pointTol = shapeTolerances[GEOM_TOL_COLUMN_POINT];
            const int collapsed = pointTol > 0.0 ? ratBSplCurveIsPoint(column.curve, centre, pointTol)
                                                 : ratBSplCurveIsPointDefault(column.curve, centre);
            if (!collapsed)
                return 0;
        }
        if (j > 0)
            path += dist(previous, centre);
        copy3(previous, centre);
        copy3(axis.curve->points[j], centre);
        axis.curve->weights[j] = 1.0;
        axis.curve->knots[j + 1] = path;
    }
    if (columns + 1 < surface->noPointsv)
        axis.curve->knots[columns + 1] = path;
    double meanLength = 0.0;
    if (arcs > 0) {
        for (int k = 0; k < 3; ++k)
            normalSum[k] /= arcs;
        meanLength = vec3Normalize(normalSum);
    }
    if (!found)
        return 0;

    double pair[6];
    if (!lineTest(axis.curve, true, pair))
        return 0;
    copy3(axisPoint, pair);
    vec3Diff(pair, pair + 3, axisDir);
    double t = std::fmax(tol, 0.0);
    t = std::fmax(t, shapeTolerances[GEOM_TOL_LINE]);
    t = std::fmax(t, 1e-6);
    t = std::fmin(t, 0.001);
    const double L = vec3Normalize(axisDir);
    if (L >= 5.0 * t) {
        if (vec3Dot(axisDir, mainNormal) < 0.0)
            for (int k = 0; k < 3; ++k)
                axisDir[k] = -axisDir[k];
        return 1;
    }
    // All centres in one place (a flat ring, a single band): the arcs' normal
    // is the axis.
    copy3(axisDir, meanLength <= 0.9999999 ? mainNormal : normalSum);
    if (vec3Normalize(axisDir) <= 1e-7)
        return 0;
    return 1;
}

int ratBSplSurfIsRevolutionTol(RatBSplSurf* surface, double* axisPoint, double tol, double* axisDir,
                               double* refDir)
{
    return ratBSplSurfIsRevolution(surface, axisPoint, tol, 0, 1, axisDir, refDir);
}

int ratBSplSurfIsRevolutionDefault(RatBSplSurf* surface, double* axisPoint, double* axisDir, double* refDir)
{
    return ratBSplSurfIsRevolutionTol(surface, axisPoint, 0.0, axisDir, refDir);
}

int ratBSplSurfFindRevolution(RatBSplSurf* surface, double* axisPoint, double tol, int nSamples,
                              unsigned char checkChords, double* axisDir, double* refDir,
                              RatBSplCurve** profile)
{
    if (!surface)
        return 0;
    auto passed = [&](RatBSplSurf* s) {
        if (!profile)
            return 1;
        *profile = ratBSplSurfRowCurve(s, 0);
        return *profile ? 1 : 0;
    };
    if (ratBSplSurfIsRevolution(surface, axisPoint, tol, nSamples, checkChords, axisDir, refDir))
        return passed(surface);
    SurfHolder transposed(ratBSplSurfTranspose(surface));
    if (!transposed.surface)
        return 0;
    if (!ratBSplSurfIsRevolution(transposed.surface, axisPoint, tol, nSamples, checkChords, axisDir, refDir))
        return 0;
    return passed(transposed.surface);
}

int ratBSplSurfFindRevolutionTol(RatBSplSurf* surface, double* axisPoint, double tol, double* axisDir,
                                 double* refDir)
{
    return ratBSplSurfFindRevolution(surface, axisPoint, tol, 0, 1, axisDir, refDir, nullptr);
}

// ---------------------------------------------------------------------------
// Cone and cylinder

int ratBSplSurfIsCone(RatBSplSurf* surface, int swapped, double tol, int nSamples, unsigned char checkChords,
                      double* basePoint, double* axisDir, double* radius, double* sine, double* cosine,
                      double* refDir)
{
    if (!surface)
        return 0;
    double pair[6];
    {
        CurveHolder profile(ratBSplSurfRowCurve(surface, 0));
        if (!profile.curve || !lineTest(profile.curve, false, pair))
            return 0;
    }
    const double* A = pair;
    const double* B = pair + 3;
    double Q[3], a[3], ref[3];
    if (!ratBSplSurfIsRevolution(surface, Q, tol, nSamples, checkChords, a, ref))
        return 0;
    double d[3];
    vec3Diff(A, B, d);
    vec3Normalize(d);

    // The profile must lie in a plane through the axis: its points' distance
    // from that plane, measured along the plane's normal p.
    double candidates[3][3], QB[3], QA[3];
    vec3Cross(a, d, candidates[0]);
    vec3Cross(a, vec3Diff(Q, B, QB), candidates[1]);
    vec3Cross(a, vec3Diff(Q, A, QA), candidates[2]);
    int best = 0;
    for (int k = 1; k < 3; ++k)
        if (vec3Length(candidates[k]) > vec3Length(candidates[best]))
            best = k;
    double p[3];
    copy3(p, candidates[best]);
    if (vec3Normalize(p) > 1e-7) {
        const double limit = std::fmax(tol / 2.0, kExactPrecision);
        double foot[3];
        if (std::fabs(projectOnLineB(Q, p, A, foot)) > limit || std::fabs(projectOnLineB(Q, p, B, foot)) > limit)
            return 0;
    }

    copy3(axisDir, a);
    copy3(refDir, ref);
    double F[3], r[3];
    projectPointOnLine(Q, a, A, F);
    copy3(basePoint, F);
    *radius = dist(F, A);
    vec3Diff(A, F, r);
    projectPointOnLine(Q, a, B, F);
    if (dist(F, B) > *radius) {
        copy3(basePoint, F);
        *radius = dist(F, B);
        vec3Diff(B, F, r);
    }
    if (*radius < 1e-7)
        return 0;
    *cosine = vec3Dot(d, a);
    *sine = -vec3Dot(d, r) / *radius;

    double u = 0.0, v = 0.0;
    GeomPoint N = ratBSplSurfEvalNormal(surface, u, v);
    double n[3];
    toArray(N, n);
    if (vec3Length(n) < 1e-5) {
        v = 1.0;
        toArray(ratBSplSurfEvalNormal(surface, u, v), n);
    }
    double P[3], G[3], e[3];
    toArray(ratBSplSurfEvalPoint(surface, u, v), P);
    projectPointOnLine(basePoint, a, P, G);
    vec3Diff(G, P, e);
    const bool outward = vec3Dot(e, n) * orientationSign(swapped) >= 0.0;
    if (outward ? *cosine < 0.0 : *cosine > 0.0) {
        *cosine = -*cosine;
        *sine = -*sine;
    }
    return 1;
}

int ratBSplSurfIsConeDefault(RatBSplSurf* surface, int swapped, double* basePoint, double* axisDir,
                             double* radius, double* sine, double* cosine, double* refDir)
{
    return ratBSplSurfIsCone(surface, swapped, 0.0, 0, 1, basePoint, axisDir, radius, sine, cosine, refDir);
}

int ratBSplSurfFindCone(RatBSplSurf* surface, int swapped, double tol, int nSamples, unsigned char checkChords,
                        double* basePoint, double* axisDir, double* radius, double* sine, double* cosine,
                        double* refDir)
{
    return onSurfaceOrTranspose(surface, swapped, [&](RatBSplSurf* s, int sw) {
        return ratBSplSurfIsCone(s, sw, tol, nSamples, checkChords, basePoint, axisDir, radius, sine, cosine,
                                 refDir);
    });
}

int ratBSplSurfFindConeDefault(RatBSplSurf* surface, int swapped, double* basePoint, double* axisDir,
                               double* radius, double* sine, double* cosine, double* refDir)
{
    return ratBSplSurfFindCone(surface, swapped, 0.0, 0, 1, basePoint, axisDir, radius, sine, cosine, refDir);
}

// ---------------------------------------------------------------------------
// Sphere

int ratBSplSurfIsSphere(RatBSplSurf* surface, int swapped, double tol, int nSamples, unsigned char checkChords,
                        double* centre, double* axisDir, double* radius, double* refDir)
{
    if (!surface)
        return 0;
    ArcFitResult arc;
    if (!profileArc(surface, tol, nSamples, checkChords, &arc))
        return 0;
    double Q[3], a[3], ref[3];
    if (!ratBSplSurfIsRevolution(surface, Q, tol, nSamples, checkChords, a, ref))
        return 0;
    // The profile plane's tilt against the axis decides nothing: an arc
    // centred on the axis sweeps a sphere zone at any tilt, so the centre's
    // distance from the axis alone decides.
    double F[3];
    projectPointOnLine(Q, a, arc.centre, F);
    const double limit = shapeTolerances[GEOM_TOL_SPHERE_CENTRE] > 0.0 ? shapeTolerances[GEOM_TOL_SPHERE_CENTRE]
                                                                        : 1e-7;
    if (dist(arc.centre, F) > limit)
        return 0;
    copy3(axisDir, a);
    copy3(refDir, ref);
    copy3(centre, arc.centre);
    *radius = dist(arc.centre, arc.start);
    if (*radius < 1e-7)
        return 0;

    // A pole has no normal: look a little further along the profile.
    double v = 0.2;
    double n[3];
    toArray(ratBSplSurfEvalNormal(surface, 0.0, v), n);
    if (vec3Length(n) < 1e-5) {
        v = 0.8;
        toArray(ratBSplSurfEvalNormal(surface, 0.0, v), n);
        if (vec3Length(n) < 1e-5) {
            v = 0.5;
            toArray(ratBSplSurfEvalNormal(surface, 0.0, v), n);
        }
    }
    double P[3], out[3];
    toArray(ratBSplSurfEvalPoint(surface, 0.0, v), P);
    if (vec3Dot(vec3Diff(centre, P, out), n) * orientationSign(swapped) < 0.0)
        *radius = -*radius;
    return 1;
}

int ratBSplSurfIsSphereDefault(RatBSplSurf* surface, int swapped, double* centre, double* axisDir,
                               double* radius, double* refDir)
{
    return ratBSplSurfIsSphere(surface, swapped, 0.0, 0, 1, centre, axisDir, radius, refDir);
}

int ratBSplSurfFindSphere(RatBSplSurf* surface, int swapped, double tol, int nSamples,
                          unsigned char checkChords, double* centre, double* axisDir, double* radius,
                          double* refDir)
{
    return onSurfaceOrTranspose(surface, swapped, [&](RatBSplSurf* s, int sw) {
        return ratBSplSurfIsSphere(s, sw, tol, nSamples, checkChords, centre, axisDir, radius, refDir);
    });
}

int ratBSplSurfFindSphereDefault(RatBSplSurf* surface, int swapped, double* centre, double* axisDir,
                                 double* radius, double* refDir)
{
    return onSurfaceOrTranspose(surface, swapped, [&](RatBSplSurf* s, int sw) {
        return ratBSplSurfIsSphereDefault(s, sw, centre, axisDir, radius, refDir);
    });
}

// ---------------------------------------------------------------------------
// Torus

int ratBSplSurfIsTorus(RatBSplSurf* surface, int swapped, double tol, int nSamples, unsigned char checkChords,
                       double* centre, double* axisDir, double* majorRadius, double* minorRadius,
                       double* refDir, short* kind)
{
    if (!surface)
        return 0;
    ArcFitResult arc;
    if (!profileArc(surface, tol, nSamples, checkChords, &arc))
        return 0;
    const double r = dist(arc.centre, arc.start);
    double Q[3], a[3], ref[3];
    if (!ratBSplSurfIsRevolution(surface, Q, tol, nSamples, checkChords, a, ref))
        return 0;
    const double planeTol = std::fmax(tol, kExactPrecision);
    if (!arcPlaneFits(r, std::fabs(vec3Dot(arc.normal, a)), planeTol))
        return 0;
    double F[3], e[3];
    projectPointOnLine(Q, a, arc.centre, F);
    const double R = dist(arc.centre, F);
    if (R < 1e-7)
        return 0;
    vec3Diff(F, arc.centre, e);
    for (int k = 0; k < 3; ++k)
        e[k] /= R;
    if (!arcPlaneFits(r, std::fabs(vec3Dot(arc.normal, e)), planeTol))
        return 0;
    if (r > R && !kind)
        return 0;

    copy3(axisDir, a);
    copy3(refDir, ref);
    copy3(centre, F);
    *majorRadius = R;
    *minorRadius = r;

    double P[3], n[3], G[3], t[3], T[3], out[3];
    toArray(ratBSplSurfEvalPoint(surface, 0.0, 0.2), P);
    toArray(ratBSplSurfEvalNormal(surface, 0.0, 0.2), n);
    projectPointOnLine(F, a, P, G);
    vec3Diff(G, P, t);
    vec3Normalize(t);
    vec3AddScaled(F, t, R, T);
    if (vec3Dot(vec3Diff(T, P, out), n) * orientationSign(swapped) < 0.0)
        *minorRadius = -*minorRadius;

    if (!kind)
        return 1;
    if (r <= R) {
        *kind = GEOM_TORUS_ORDINARY;
        return 1;
    }
    double outerError = -1.0, innerError = -1.0, height = -1.0;
    for (int k = 1; k <= 5; ++k) {
        double S[3], H[3];
        toArray(ratBSplSurfEvalPoint(surface, 0.0, k / 6.0), S);
        projectPointOnLine(F, a, S, H);
        const double d1 = dist(S, H);
        const double d2 = dist(F, H);
        const double h = d2 < r ? std::sqrt(r * r - d2 * d2) : 0.0;
        outerError = std::fmax(outerError, std::fabs(std::fabs(R + h) - d1));
        innerError = std::fmax(innerError, std::fabs(std::fabs(R - h) - d1));
        height = std::fmax(height, d2);
    }
    if (height <= 0.0) {
        *kind = GEOM_TORUS_ORDINARY;
        return 0;
    }
    *kind = (std::sqrt(r * r - R * R) < height || outerError < innerError) ? GEOM_TORUS_SPINDLE_OUTER
                                                                            : GEOM_TORUS_SPINDLE_INNER;
    return 1;
}

int ratBSplSurfIsTorusTol(RatBSplSurf* surface, int swapped, double tol, int nSamples,
                          unsigned char checkChords, double* centre, double* axisDir, double* majorRadius,
                          double* minorRadius, double* refDir)
{
    return ratBSplSurfIsTorus(surface, swapped, tol, nSamples, checkChords, centre, axisDir, majorRadius,
                              minorRadius, refDir, nullptr);
}

int ratBSplSurfIsTorusDefault(RatBSplSurf* surface, int swapped, double* centre, double* axisDir,
                              double* majorRadius, double* minorRadius, double* refDir)
{
    return ratBSplSurfIsTorusTol(surface, swapped, 0.0, 0, 1, centre, axisDir, majorRadius, minorRadius, refDir);
}

int ratBSplSurfFindTorus(RatBSplSurf* surface, int swapped, double tol, int nSamples, unsigned char checkChords,
                         double* centre, double* axisDir, double* majorRadius, double* minorRadius,
                         double* refDir, short* kind)
{
    return onSurfaceOrTranspose(surface, swapped, [&](RatBSplSurf* s, int sw) {
        return ratBSplSurfIsTorus(s, sw, tol, nSamples, checkChords, centre, axisDir, majorRadius, minorRadius,
                                  refDir, kind);
    });
}

int ratBSplSurfFindTorusTol(RatBSplSurf* surface, int swapped, double tol, int nSamples,
                            unsigned char checkChords, double* centre, double* axisDir, double* majorRadius,
                            double* minorRadius, double* refDir)
{
    return ratBSplSurfFindTorus(surface, swapped, tol, nSamples, checkChords, centre, axisDir, majorRadius,
                                minorRadius, refDir, nullptr);
}

int ratBSplSurfFindTorusDefault(RatBSplSurf* surface, int swapped, double* centre, double* axisDir,
                                double* majorRadius, double* minorRadius, double* refDir)
{
    return ratBSplSurfFindTorusTol(surface, swapped, 0.0, 0, 1, centre, axisDir, majorRadius, minorRadius,
                                   refDir);
}
