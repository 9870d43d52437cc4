// Standard surface constructors checked against the shapes they stand for:
// sampled points on the analytic shape, normals along the oriented shape
// normal, curvatures as the formulas give them, and degenerate input refused.
#include "geom/geom.h"
#include "surf_nets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace {

struct V3 {
    double x, y, z;
};
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator*(double s, V3 a) { return {s * a.x, s * a.y, s * a.z}; }
double dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double norm(V3 a) { return std::sqrt(dot(a, a)); }
V3 fromP(GeomPoint p) { return {p.x, p.y, p.z}; }
V3 fromA(const double* a) { return {a[0], a[1], a[2]}; }

using surftest::own;
using surftest::SurfPtr;

struct Sample {
    double u, v;
    V3 p;       // point
    V3 n;       // unit normal oriented by nrmOri
    double kU;  // normal curvatures relative to Su x Sv
    double kV;
    // Distance from the line through o along the unit a, and height along it.
    double radial, height;
};

// Calls fn on an (n + 1) x (n + 1) grid of interior and boundary samples,
// with the axial coordinates about the line through o along the unit a.
void forGrid(RatBSplSurf* s, int n, const std::function<void(const Sample&)>& fn, V3 o = {0, 0, 0},
             V3 a = {0, 0, 1})
{
    ASSERT_NE(nullptr, s);
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= n; ++j) {
            Sample smp;
            smp.u = static_cast<double>(i) / n, smp.v = static_cast<double>(j) / n;
            double Su[3], Suu[3], Sv[3], Svv[3];
            smp.p = fromP(ratBSplSurfEvalPointNormal(s, smp.u, smp.v, Su, Suu, Sv, Svv, &smp.kU, &smp.kV));
            smp.n = s->nrmOri * fromP(ratBSplSurfEvalNormal(s, smp.u, smp.v));
            smp.height = dot(smp.p - o, a);
            smp.radial = norm((smp.p - o) - smp.height * a);
            fn(smp);
        }
}

const double kTol = 1e-9;

} // namespace

TEST(SurfaceConstructors, BilinearAndPlaneOverBox)
{
    const double p00[3] = {0, 0, 0}, p01[3] = {0, 2, 0}, p10[3] = {3, 0, 0}, p11[3] = {3, 2, 0};
    SurfPtr s = own(ratBSplSurfBilinear(p00, p01, p10, p11));
    ASSERT_NE(nullptr, s);
    EXPECT_DOUBLE_EQ(3.0, s->knotsu[2]);
    EXPECT_DOUBLE_EQ(2.0, s->knotsv[3]);
    EXPECT_EQ(0, s->isRational);
    const GeomPoint mid = ratBSplSurfEvalPoint(s.get(), 0.5, 0.5);
    EXPECT_NEAR(1.5, mid.x, kTol);
    EXPECT_NEAR(1.0, mid.y, kTol);

    const double P[3] = {0, 0, 0}, N[3] = {0, 0, 1}, bmin[3] = {-1, -1, -1}, bmax[3] = {1, 1, 1};
    s = own(ratBSplSurfPlaneOverBox(P, N, bmin, bmax));
    ASSERT_NE(nullptr, s);
    const double r2 = std::sqrt(2.0);
    EXPECT_NEAR(r2, s->points[0][0], kTol);
    EXPECT_NEAR(r2, s->points[0][1], kTol);
    EXPECT_NEAR(2 * r2, s->knotsu[3], kTol);
    EXPECT_NEAR(2 * r2, s->knotsv[3], kTol);
    forGrid(s.get(), 4, [&](const Sample& smp) {
        EXPECT_NEAR(0.0, smp.p.z, kTol);
        EXPECT_NEAR(1.0, std::fabs(smp.n.z), kTol);
        EXPECT_NEAR(0.0, std::fabs(smp.kU) + std::fabs(smp.kV), kTol);
    });
}

TEST(SurfaceConstructors, CylinderAndConesLieOnTheirShapes)
{
    // Cylinder of radius 4 along z from height -1 to 5 about (1, 2, 3).
    const double P[3] = {1, 2, 3}, A[3] = {0, 0, 1}, X[3] = {4, 0, 0}, Y[3] = {0, 4, 0};
    SurfPtr cyl = own(ratBSplSurfConeBetweenHeights(P, A, X, Y, 0.0, 1.0, -1.0, 5.0));
    ASSERT_NE(nullptr, cyl);
    EXPECT_EQ(2, cyl->origFormv);
    forGrid(cyl.get(), 8, [&](const Sample& smp) {
        EXPECT_NEAR(4.0, smp.radial, kTol * 4);
        EXPECT_NEAR(-1.0 + 6.0 * smp.u, smp.height, kTol * 6);
        // nrmOri -1 for b >= 0: the oriented normal points to the axis.
        const V3 out = (1.0 / smp.radial) * ((smp.p - fromA(P)) - smp.height * fromA(A));
        EXPECT_NEAR(-1.0, dot(out, smp.n), 1e-9);
        EXPECT_NEAR(0.0, smp.kU, 1e-9);
        EXPECT_NEAR(0.25, std::fabs(smp.kV), 1e-9);
    }, fromA(P), fromA(A));

    // Cone whose radius grows by 1/2 per unit height from radius 2 at P.
    const double Xc[3] = {2, 0, 0}, Yc[3] = {0, 2, 0};
    SurfPtr cone = own(ratBSplSurfConeBetweenHeights(P, A, Xc, Yc, 1.0, 2.0, 0.0, 4.0));
    forGrid(cone.get(), 8, [&](const Sample& smp) {
        EXPECT_NEAR(2.0 + 0.5 * smp.height, smp.radial, kTol * 10);
        // Normal perpendicular to the generator (slope 1/2).
        const V3 out = (1.0 / smp.radial) * ((smp.p - fromA(P)) - smp.height * fromA(A));
        EXPECT_NEAR(0.0, dot((1.0 / std::sqrt(1.25)) * (fromA(A) + 0.5 * out), smp.n), 1e-9);
        EXPECT_NEAR(0.0, smp.kU, 1e-9);
    }, fromA(P), fromA(A));

    // Over a box: radius 1 + h at height h, the apex at h = -1 inside the
    // box's range [-3, 5]; the longer side (up to 5) is kept and ends there.
    const double O[3] = {0, 0, 0}, ex[3] = {1, 0, 0}, ey[3] = {0, 1, 0};
    const double bmin[3] = {-1, -1, -3}, bmax[3] = {1, 1, 5};
    SurfPtr s = own(ratBSplSurfConeOverBox(O, A, ex, ey, 1.0, 1.0, bmin, bmax));
    ASSERT_NE(nullptr, s);
    const GeomPoint apex = ratBSplSurfEvalPoint(s.get(), 0.0, 0.3), top = ratBSplSurfEvalPoint(s.get(), 1.0, 0.3);
    EXPECT_NEAR(-1.0, apex.z, kTol);
    EXPECT_NEAR(0.0, std::hypot(apex.x, apex.y), kTol);
    EXPECT_NEAR(5.0, top.z, kTol);
    EXPECT_NEAR(6.0, std::hypot(top.x, top.y), kTol);
    forGrid(s.get(), 6, [&](const Sample& smp) { EXPECT_NEAR(1.0 + smp.p.z, smp.radial, 1e-8); });
    // An apex 200000 beyond the range is not reached.
    s = own(ratBSplSurfConeOverBox(O, A, ex, ey, 1.0, 200000.0, bmin, bmax));
    ASSERT_NE(nullptr, s);
    EXPECT_NEAR(-3.0, ratBSplSurfEvalPoint(s.get(), 0.0, 0.0).z, kTol);
    // From a radius below 1: the reference height moves, the shape does not.
    s = own(ratBSplSurfConeFromRadius(O, A, 0.5, 1.0, 1.0, 2.0, bmin, bmax));
    forGrid(s.get(), 6, [&](const Sample& smp) { EXPECT_NEAR(0.5 + 0.5 * smp.p.z, smp.radial, 1e-8); });
}

TEST(SurfaceConstructors, SpheresLieOnTheSphereWithOutwardNormals)
{
    const double O[3] = {1, -2, 0.5}, A[3] = {1, 0, 0}, B[3] = {0, 1, 0}, Z[3] = {0, 0, 1};
    // Four and three pieces, and a negative radius, which runs the meridians
    // the other way: nrmOri makes up for it, so the oriented normal still
    // points out, and the knots still grow.
    const struct {
        RatBSplSurf* (*make)(const double*, double, const double*, const double*, const double*);
        double r;
        int rows, cols, nrmOri;
    } cases[] = {{ratBSplSurfSphere4, 2.0, 9, 12, 1}, {ratBSplSurfSphere3, 2.0, 8, 10, 1},
                 {ratBSplSurfSphere4, -2.0, 9, 12, -1}};
    for (const auto& cs : cases) {
        SurfPtr s = own(cs.make(O, cs.r, A, B, Z));
        ASSERT_NE(nullptr, s);
        EXPECT_EQ(cs.rows, s->noPointsu);
        EXPECT_EQ(cs.cols, s->noPointsv);
        EXPECT_EQ(cs.nrmOri, s->nrmOri);
        for (int i = 1; i < s->noPointsu; ++i)
            EXPECT_LE(s->knotsu[i - 1], s->knotsu[i]);
        forGrid(s.get(), 10, [&](const Sample& smp) {
            const V3 d = smp.p - fromA(O);
            EXPECT_NEAR(2.0, norm(d), 2 * kTol);
            if (smp.u > 0.01 && smp.u < 0.99) { // away from the poles
                EXPECT_NEAR(1.0, dot(0.5 * d, smp.n), 1e-9);
                EXPECT_NEAR(0.5, std::fabs(smp.kU), 1e-8);
                EXPECT_NEAR(0.5, std::fabs(smp.kV), 1e-8);
            }
        });
    }
    SurfPtr s = own(ratBSplSurfSphere4(O, 2.0, A, B, Z));
    EXPECT_DOUBLE_EQ(2.0, s->knotsu[3]);
    EXPECT_DOUBLE_EQ(4.0, s->knotsu[8]);
    for (int j = 1; j < 9; ++j)  // the pole row collapses
        EXPECT_NEAR(0.0, norm(fromA(s->points[j]) - fromA(s->points[0])), kTol);
}

TEST(SurfaceConstructors, TorusKinds)
{
    const double O[3] = {0, 0, 1}, V1[3] = {1, 0, 0}, V2[3] = {0, 1, 0}, V3a[3] = {0, 0, 1};
    // Ring torus R = 5, r = 1.
    SurfPtr s = own(ratBSplSurfTorus(O, V1, V2, V3a, 5.0, 1.0));
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(1, s->periodicu);
    EXPECT_EQ(1, s->periodicv);
    EXPECT_EQ(-1, s->nrmOri);
    EXPECT_DOUBLE_EQ(3.0, s->knotsu[11]);   // scaled by r = 1
    EXPECT_DOUBLE_EQ(15.0, s->knotsv[11]);  // scaled by R = 5
    forGrid(s.get(), 12, [&](const Sample& smp) {
        const double radial = smp.radial, height = smp.height;
        EXPECT_NEAR(1.0, std::hypot(radial - 5.0, height), 1e-8);
        // Along the tube circle the curvature is 1/r, along the parallel
        // cos(phi) / (R + r cos(phi)) = (radial - R) / (r radial).
        EXPECT_NEAR(1.0, std::fabs(smp.kU), 1e-8);
        EXPECT_NEAR(std::fabs(radial - 5.0) / radial, std::fabs(smp.kV), 1e-8);
        // The oriented normal points into the tube (nrmOri -1 for r >= 0).
        const V3 toCentre = {-(radial - 5.0) * smp.p.x / radial, -(radial - 5.0) * smp.p.y / radial, -height};
        EXPECT_NEAR(1.0, std::fabs(dot(toCentre, smp.n)), 1e-8);
    }, fromA(O), fromA(V3a));

    // Horn-like torus R = 1, r = 2: the profile meets the axis at O +- sqrt(3) V3.
    s = own(ratBSplSurfTorus(O, V1, V2, V3a, 1.0, 2.0));
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(12, s->noPointsu);
    EXPECT_EQ(0, s->periodicu);
    const GeomPoint start = ratBSplSurfEvalPoint(s.get(), 0.0, 0.0), end = ratBSplSurfEvalPoint(s.get(), 1.0, 0.0);
    EXPECT_NEAR(1.0 + std::sqrt(3.0), std::fabs(start.z - end.z) / 2.0 + 1.0, 1e-9);
    EXPECT_NEAR(0.0, std::hypot(start.x, start.y), 1e-9);
    // Only the part of the tube on the profile's own side of the axis: a
    // point of the far part would lie at (radial + 1, height). No major
    // radius (a sphere of radius 2) and a negative one (the inner,
    // lemon-shaped part of the tube about O - V1) take two profile pieces.
    for (double R : {1.0, 0.0, -1.0}) {
        s = own(ratBSplSurfTorus(O, V1, V2, V3a, R, 2.0));
        ASSERT_NE(nullptr, s);
        EXPECT_EQ(R == 1.0 ? 12 : 9, s->noPointsu);
        forGrid(s.get(), 10, [&](const Sample& smp) {
            EXPECT_NEAR(2.0, std::hypot(smp.radial - R, smp.height), 1e-8) << R;
        }, fromA(O), fromA(V3a));
    }
}

TEST(SurfaceConstructors, RevolutionsOfALine)
{
    // A segment parallel to z at distance 3 sweeps a cylinder of radius 3.
    RatBSplCurve* line = ratBSplCurveFromLine(GeomPoint{3, 0, -1}, GeomPoint{3, 0, 1});
    ASSERT_NE(nullptr, line);
    const double P[3] = {0, 0, 0}, A[3] = {0, 0, 2};
    SurfPtr full = own(ratBSplSurfRevolveCurve(P, A, line));
    ASSERT_NE(nullptr, full);
    EXPECT_EQ(2, full->origFormv);
    EXPECT_EQ(9, full->periodv);
    forGrid(full.get(), 8, [&](const Sample& smp) {
        EXPECT_NEAR(3.0, smp.radial, 1e-9 * 3);
        EXPECT_NEAR(-1.0 + 2.0 * smp.u, smp.p.z, 1e-9);
    });

    // Positions along v run monotonically over the requested angles.
    SurfPtr part = own(ratBSplSurfRevolveCurveArc(P, A, line, 0.25, 2.0));
    ASSERT_NE(nullptr, part);
    EXPECT_EQ(9, part->noPointsv); // two pieces for a sweep within a half turn
    EXPECT_EQ(0, part->periodicv);
    forGrid(part.get(), 8, [&](const Sample& smp) {
        EXPECT_NEAR(3.0, smp.radial, 1e-9 * 3);
        const double ang = std::atan2(smp.p.y, smp.p.x);
        EXPECT_NEAR(0.25 + 1.75 * smp.v, ang, smp.v == 0.0 || smp.v == 1.0 ? 1e-9 : 0.25);
        EXPECT_GE(ang, 0.25 - 1e-9);
        EXPECT_LE(ang, 2.0 + 1e-9);
    });
    EXPECT_EQ(6, own(ratBSplSurfRevolveCurveArc(P, A, line, 0.0, M_PI / 2))->noPointsv);
    EXPECT_EQ(1, own(ratBSplSurfRevolveCurveArc(P, A, line, 0.0, 2 * M_PI))->periodicv);
    // A backward sweep of 5 radians takes four pieces like a forward one; its
    // middle lies at -2.5 radians, not on the short way round.
    SurfPtr back = own(ratBSplSurfRevolveCurveArc(P, A, line, 0.0, -5.0));
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(15, back->noPointsv);
    const GeomPoint middle = ratBSplSurfEvalPoint(back.get(), 0.5, 0.5);
    EXPECT_NEAR(-2.5, std::atan2(middle.y, middle.x), 1e-9);
    EXPECT_NEAR(3.0, std::hypot(middle.x, middle.y), 1e-9);
    ratBSplCurveFree(line);
}

TEST(SurfaceConstructors, BicubicPatchGridFollowsItsPolynomials)
{
    // Two patches in u over [1, 2] and [2, 4], one in v over [0, 3]; each patch
    // is a polynomial in the local offsets s = u - ulo, t = v - vlo.
    GeomVec3 coef[32] = {};
    const struct {
        int patch, i, j;
        double x, y, z;
    } terms[] = {{0, 0, 0, 1, 0, 0}, {0, 1, 0, 1, 0, 0.5},  {0, 0, 1, 0, 1, 0},   {0, 2, 1, 0, 0, 0.25},
                 {0, 3, 3, 0, 0, 0.01}, {1, 0, 0, 2, 0, 0.5}, {1, 1, 0, 1, 0, -0.3}, {1, 0, 1, 0, 1, 0},
                 {1, 1, 2, 0, 0.1, 0.2}};
    for (const auto& t : terms) {
        double* c = coef[t.patch * 16 + t.i + 4 * t.j];
        c[0] = t.x, c[1] = t.y, c[2] = t.z;
    }
    const double U[3] = {1, 2, 4}, V[2] = {0, 3};
    SurfPtr s = own(ratBSplSurfFromBicubicPatches(2, 1, U, V, coef));
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(12, s->noPointsu);
    EXPECT_EQ(8, s->noPointsv);
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(1.0, s->knotsu[i]);
        EXPECT_DOUBLE_EQ(2.0, s->knotsu[4 + i]);
        EXPECT_DOUBLE_EQ(4.0, s->knotsu[8 + i]);
    }
    for (int a = 0; a <= 12; ++a)
        for (int b = 0; b <= 6; ++b) {
            const double u = 1.0 + 3.0 * a / 12, v = 3.0 * b / 6;
            const int patch = u <= 2.0 ? 0 : 1;
            const GeomPoint want = powerPatchPoint(u - (patch == 0 ? 1.0 : 2.0), v, coef + 16 * patch);
            const GeomPoint got = ratBSplSurfEvalPoint(s.get(), (u - 1.0) / 3.0, v / 3.0);
            EXPECT_NEAR(0.0, norm(fromP(want) - fromP(got)), 1e-9) << u << ", " << v;
        }
}

TEST(SurfaceConstructors, FromArraysKeepsTheNetInEitherOrder)
{
    const double ku[4] = {0, 0, 1, 1}, kv[5] = {0, 0, 1, 2, 2};
    GeomVec3 pts[6];
    for (int k = 0; k < 6; ++k) {
        pts[k][0] = k;
        pts[k][1] = 10.0 * k;
        pts[k][2] = 0.0;
    }
    SurfPtr s = own(ratBSplSurfFromArrays(2, 2, 4, 5, ku, kv, pts, nullptr, 0, 0, 1));
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(0, s->isRational);
    EXPECT_EQ(1, s->origFormu);
    EXPECT_EQ(2, s->origFormv);
    EXPECT_DOUBLE_EQ(4.0, s->points[1 * 5 + 1][0]); // (1, 1) is source entry 1 * 3 + 1
    s = own(ratBSplSurfFromArrays(2, 2, 4, 5, ku, kv, pts, nullptr, 1, 0, 0));
    ASSERT_NE(nullptr, s);
    EXPECT_DOUBLE_EQ(3.0, s->points[1 * 5 + 1][0]); // transposed: 1 * 2 + 1
    EXPECT_EQ(0, ratBSplSurfCheckParams(1, 2, 4, 5, ku, kv, pts));
    EXPECT_EQ(0, ratBSplSurfCheckParams(2, 2, 4, 5, ku, nullptr, pts));
    // The check is the caller's: order 1 is built, missing arrays are not.
    s = own(ratBSplSurfFromArrays(1, 2, 3, 5, ku, kv, pts, nullptr, 0, 0, 0));
    ASSERT_NE(nullptr, s);
    EXPECT_DOUBLE_EQ(4.0, s->points[1 * 5 + 1][0]);
    EXPECT_EQ(nullptr, ratBSplSurfFromArrays(2, 2, 4, 5, ku, nullptr, pts, nullptr, 0, 0, 0));
}

TEST(SurfaceConstructors, DegenerateInputGivesNoSurface)
{
    const double O[3] = {0, 0, 0}, X[3] = {1, 0, 0}, Y[3] = {0, 1, 0}, Z[3] = {0, 0, 1}, zero[3] = {0, 0, 0};
    const double bmin[3] = {-1, -1, -1}, bmax[3] = {1, 1, 1};
    EXPECT_EQ(nullptr, ratBSplSurfPlaneOverBox(O, zero, bmin, bmax));
    EXPECT_EQ(nullptr, ratBSplSurfSphere4(O, 0.0, X, Y, Z));
    EXPECT_EQ(nullptr, ratBSplSurfSphere3(O, 1.0, X, Y, zero));
    EXPECT_EQ(nullptr, ratBSplSurfTorus(O, X, Y, zero, 5.0, 1.0));
    EXPECT_EQ(nullptr, ratBSplSurfTorus(O, X, Y, Z, 5.0, 0.0));
    EXPECT_EQ(nullptr, ratBSplSurfConeBetweenHeights(O, Z, X, Y, 1.0, 0.0, 0.0, 1.0));  // slope over b = 0
    EXPECT_EQ(nullptr, ratBSplSurfConeBetweenHeights(O, Z, X, zero, 1.0, 1.0, 0.0, 1.0)); // |Y| = 0
    EXPECT_EQ(nullptr, ratBSplSurfConeBetweenHeights(O, zero, X, Y, 0.0, 1.0, 0.0, 1.0)); // no height
    EXPECT_EQ(nullptr, ratBSplSurfConeFromRadius(O, zero, 1.0, 1.0, 0.0, 1.0, bmin, bmax));
    EXPECT_EQ(nullptr, ratBSplSurfBilinear(O, O, X, Y));
    EXPECT_EQ(nullptr, ratBSplSurfRevolveCurve(O, Z, nullptr));
    RatBSplCurve* c = ratBSplCurveCreate(2, 4);
    ASSERT_NE(nullptr, c);
    EXPECT_EQ(nullptr, ratBSplSurfRevolveCurve(O, zero, c));
    EXPECT_EQ(nullptr, ratBSplSurfRevolveCurveArc(O, zero, c, 0.0, 1.0));
    ratBSplCurveFree(c);
    EXPECT_EQ(nullptr, ratBSplSurfFromBicubicPatches(0, 1, nullptr, nullptr, nullptr));
}
