// In-place edits of a surface that keep its structure: affine transforms,
// scaling of points and knots, re-spacing of the knots by the lengths of the
// control polygon, and the Bezier form of one bicubic power-basis patch.
#include "geom/geom_surface_ops.h"

#include <cmath>
#include <cstdlib>

void ratBSplSurfTransformScaled(RatBSplSurf* surface, const double* R, const double* T, double s)
{
    if (!surface || !surface->points || !R || !T)
        return;
    const int n = surface->noPointsu * surface->noPointsv;
    for (int i = 0; i < n; ++i) {
        double* p = surface->points[i];
        double q[3];
        for (int r = 0; r < 3; ++r)
            q[r] = s * (R[3 * r] * p[0] + R[3 * r + 1] * p[1] + R[3 * r + 2] * p[2]) + T[r];
        p[0] = q[0];
        p[1] = q[1];
        p[2] = q[2];
    }
}

void ratBSplSurfTransform(RatBSplSurf* surface, const double* M)
{
    if (!surface || !M)
        return;
    // The point is multiplied by the length of M's first row on top of the
    // block, which already carries that scale: a uniform scale of 2 scales
    // the net by 4. Rigid motions (length 1) map exactly as M maps points.
    // Stored parts and callers rely on this result, so it is kept.
    const double scale = std::sqrt(M[0] * M[0] + M[1] * M[1] + M[2] * M[2]);
const double R[9] = {M[0], M[1], M[2], M[4], M[5], M[6], M[8], M[9], M[10]};
    const double T[3] = {M[3], M[7], M[11]};
    ratBSplSurfTransformScaled(surface, R, T, scale);
}

int ratBSplSurfScalePoints(RatBSplSurf* surface, double factor)
{
    if (!surface || !surface->points)
        return 0;
    const int rows = ratBSplSurfControlRows(surface);
    const int cols = ratBSplSurfControlColumns(surface);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            for (int k = 0; k < 3; ++k)
                surface->points[i * surface->noPointsv + j][k] *= factor;
    return 0;
}

void ratBSplSurfScaleKnots(RatBSplSurf* surface, double factorU, double factorV)
{
    if (!surface)
        return;
    if (surface->knotsu)
        for (int i = 0; i < surface->noPointsu; ++i)
            surface->knotsu[i] *= factorU;
    if (surface->knotsv)
        for (int j = 0; j < surface->noPointsv; ++j)
            surface->knotsv[j] *= factorV;
}

namespace {

// Re-spaces the knots of one direction; 1 done, 0 failed (knots unchanged).
int respaceDirection(RatBSplSurf* surface, char direction)
{
    const bool alongU = direction == 'u';
    double* knots = alongU ? surface->knotsu : surface->knotsv;
    const int n = alongU ? surface->noPointsu : surface->noPointsv;
    const int p = alongU ? surface->ordu : surface->ordv;
    if (!knots || n < 1)
        return 0;
    double* values = static_cast<double*>(std::malloc(sizeof(double) * n));
    double* deltas = static_cast<double*>(std::malloc(sizeof(double) * n));
    double* lengths = static_cast<double*>(std::malloc(sizeof(double) * n));
    int* mults = static_cast<int*>(std::malloc(sizeof(int) * n));
    int result = 0;
    if (values && deltas && lengths && mults) {
        const int count = knotValuesAndMultiplicities(knots, n, values, mults);
        if (count >= 1 && ratBSplSurfPolygonLengths(surface, direction, count, mults, lengths) &&
            knotSpacingCorrections(values, count, p, mults, lengths, deltas)) {
            applyKnotSpacingCorrections(values, count, deltas);
            // Lengths that overflow (a net near 1e300) give no finite spacing:
            // such a direction keeps its knots and the respacing fails.
            bool sound = true;
            for (int i = 0; i < count && sound; ++i)
                sound = std::isfinite(values[i]) && (i == 0 || values[i] >= values[i - 1]);
            if (sound) {
                expandKnotMultiplicities(values, count, mults, knots);
                result = 1;
            }
        }
    }
    std::free(values);
    std::free(deltas);
    std::free(lengths);
    std::free(mults);
    return result;
}

inline double ipow(double x, int e)
{
    double r = 1.0;
    for (int i = 0; i < e; ++i)
        r *= x;
    return r;
}

// The bicubic power form sum a[i + 4 j] s^i t^j by nested Horner steps, or
// its first derivative in s (ds = 1), in t (dt = 1) or in both: a derivative
// drops the constant term of its direction and weights the others by their
// exponent.
GeomPoint powerPatchPartial(double s, double t, const GeomVec3* a, int ds, int dt)
{
    double out[3];
    for (int k = 0; k < 3; ++k) {
        double acc = 0.0;
        for (int j = 3; j >= dt; --j) {
            double row = 0.0;
            for (int i = 3; i >= ds; --i)
                row = row * s + (ds ? i : 1) * a[i + 4 * j][k];
            acc = acc * t + (dt ? j : 1) * row;
        }
        out[k] = acc;
    }
    return GeomPoint{out[0], out[1], out[2]};
}

} // namespace

int ratBSplSurfRespaceKnots(RatBSplSurf* surface)
{
    if (!surface)
        return 0;
    const int u = respaceDirection(surface, 'u');
    const int v = respaceDirection(surface, 'v');
    return (u && v) ? 1 : 0;
}

GeomPoint powerPatchPoint(double s, double t, const GeomVec3* a) { return powerPatchPartial(s, t, a, 0, 0); }

GeomPoint powerPatchDerivS(double s, double t, const GeomVec3* a) { return powerPatchPartial(s, t, a, 1, 0); }

GeomPoint powerPatchDerivT(double s, double t, const GeomVec3* a) { return powerPatchPartial(s, t, a, 0, 1); }

GeomPoint powerPatchDerivST(double s, double t, const GeomVec3* a) { return powerPatchPartial(s, t, a, 1, 1); }

int bicubicPatchToBezier(double ulo, double uhi, double vlo, double vhi, const GeomVec3* coefficients,
                         GeomVec3* points, double* weights, double* knotsU, double* knotsV)
{
    GeomVec3 a[16];
    const double hu = uhi - ulo, hv = vhi - vlo;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) {
            const double f = ipow(hu, i) * ipow(hv, j);
            for (int k = 0; k < 3; ++k)
                a[i + 4 * j][k] = coefficients[i + 4 * j][k] * f;
        }
    // Corner (s, t) and the 2x2 block of control points it determines.
    static const int corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (const auto& c : corners) {
        const double s = c[0], t = c[1];
        const GeomPoint P = powerPatchPoint(s, t, a);
        const GeomPoint Ps = powerPatchDerivS(s, t, a);
        const GeomPoint Pt = powerPatchDerivT(s, t, a);
        const GeomPoint Pst = powerPatchDerivST(s, t, a);
        const double sg = c[0] == 0 ? 1.0 : -1.0;
        const double tg = c[1] == 0 ? 1.0 : -1.0;
        const int i0 = c[0] == 0 ? 0 : 3, i1 = c[0] == 0 ? 1 : 2;
        const int j0 = c[1] == 0 ? 0 : 3, j1 = c[1] == 0 ? 1 : 2;
        const double p[3] = {P.x, P.y, P.z}, ps[3] = {Ps.x, Ps.y, Ps.z}, pt[3] = {Pt.x, Pt.y, Pt.z},
                     pst[3] = {Pst.x, Pst.y, Pst.z};
        for (int k = 0; k < 3; ++k) {
            points[i0 + 4 * j0][k] = p[k];
            points[i1 + 4 * j0][k] = p[k] + sg * ps[k] / 3.0;
            points[i0 + 4 * j1][k] = p[k] + tg * pt[k] / 3.0;
            points[i1 + 4 * j1][k] = p[k] + sg * ps[k] / 3.0 + tg * pt[k] / 3.0 + sg * tg * pst[k] / 9.0;
        }
    }
    for (int i = 0; i < 16; ++i)
        weights[i] = 1.0;
    for (int i = 4; i < 8; ++i) {
        if (knotsU)
            knotsU[i] = uhi;
        if (knotsV)
            knotsV[i] = vhi;
    }
    return 1;
}
