// Standard surface constructors checked against the shapes they stand for:
// sampled points on the analytic shape, normals along the oriented shape
// normal, curvatures as the formulas give them, and degenerate input refused.
#include "geom/geom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

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

struct Sample {
    V3 p;       // point
    V3 n;       // unit normal oriented by nrmOri
    double kU;  // normal curvatures relative to Su x Sv
    double kV;
};

// Calls fn on an (n + 1) x (n + 1) grid of interior and boundary samples.
void forGrid(RatBSplSurf* s, int n, const std::function<void(double, double, const Sample&)>& fn)
{
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= n; ++j) {
            const double u = static_cast<double>(i) / n, v = static_cast<double>(j) / n;
            double Su[3], Suu[3], Sv[3], Svv[3], kU = 0, kV = 0;
            Sample smp;
            smp.p = fromP(ratBSplSurfEvalPointNormal(s, u, v, Su, Suu, Sv, Svv, &kU, &kV));
            smp.n = s->nrmOri * fromP(ratBSplSurfEvalNormal(s, u, v));
            smp.kU = kU;
            smp.kV = kV;
            fn(u, v, smp);
        }
}

// Distance of p from the line through o along the unit a, and its height.
void axisCoords(V3 p, V3 o, V3 a, double* radial, double* height)
{
    const V3 d = p - o;
    *height = dot(d, a);
    *radial = norm(d - *height * a);
}

const double kTol = 1e-9;

} // namespace

TEST(SurfaceConstructors, BilinearAndPlaneOverBox)
{
    const double p00[3] = {0, 0, 0}, p01[3] = {0, 2, 0}, p10[3] = {3, 0, 0}, p11[3] = {3, 2, 0};
    RatBSplSurf* s = ratBSplSurfBilinear(p00, p01, p10, p11);
    ASSERT_NE(nullptr, s);
    EXPECT_DOUBLE_EQ(3.0, s->knotsu[2]);
    EXPECT_DOUBLE_EQ(2.0, s->knotsv[3]);
    EXPECT_EQ(0, s->isRational);
    const GeomPoint mid = ratBSplSurfEvalPoint(s, 0.5, 0.5);
    EXPECT_NEAR(1.5, mid.x, kTol);
    EXPECT_NEAR(1.0, mid.y, kTol);
    ratBSplSurfFree(s);

    const double P[3] = {0, 0, 0}, N[3] = {0, 0, 1}, bmin[3] = {-1, -1, -1}, bmax[3] = {1, 1, 1};
    s = ratBSplSurfPlaneOverBox(P, N, bmin, bmax);
    ASSERT_NE(nullptr, s);
    const double r2 = std::sqrt(2.0);
    EXPECT_NEAR(r2, s->points[0][0], kTol);
    EXPECT_NEAR(r2, s->points[0][1], kTol);
    EXPECT_NEAR(2 * r2, s->knotsu[3], kTol);
    EXPECT_NEAR(2 * r2, s->knotsv[3], kTol);
    forGrid(s, 4, [&](double, double, const Sample& smp) {
        EXPECT_NEAR(0.0, smp.p.z, kTol);
        EXPECT_NEAR(1.0, std::fabs(smp.n.z), kTol);
        EXPECT_NEAR(0.0, smp.kU, kTol);
        EXPECT_NEAR(0.0, smp.kV, kTol);
    });
    ratBSplSurfFree(s);
}

TEST(SurfaceConstructors, CylinderAndConeLieOnTheirShapes)
{
    // Cylinder of radius 4 along z from height -1 to 5 about (1, 2, 3).
    const double P[3] = {1, 2, 3}, A[3] = {0, 0, 1}, X[3] = {4, 0, 0}, Y[3] = {0, 4, 0};
    RatBSplSurf* cyl = ratBSplSurfConeBetweenHeights(P, A, X, Y, 0.0, 1.0, -1.0, 5.0);
    ASSERT_NE(nullptr, cyl);
    EXPECT_EQ(2, cyl->origFormv);
    forGrid(cyl, 8, [&](double u, double, const Sample& smp) {
        double radial, height;
        axisCoords(smp.p, fromA(P), fromA(A), &radial, &height);
        EXPECT_NEAR(4.0, radial, kTol * 4);
        EXPECT_NEAR(-1.0 + 6.0 * u, height, kTol * 6);
        // The oriented normal of a cylinder points away from or towards the
        // axis everywhere, the same way at every sample.
        const V3 out = (1.0 / radial) * ((smp.p - fromA(P)) - height * fromA(A));
        EXPECT_NEAR(-1.0, dot(out, smp.n), 1e-9); // nrmOri -1 for b >= 0: inward
        EXPECT_NEAR(0.0, smp.kU, 1e-9);
        EXPECT_NEAR(0.25, std::fabs(smp.kV), 1e-9);
    });
    ratBSplSurfFree(cyl);

    // Cone whose radius grows by 1/2 per unit height from radius 2 at P.
    const double Xc[3] = {2, 0, 0}, Yc[3] = {0, 2, 0};
    RatBSplSurf* cone = ratBSplSurfConeBetweenHeights(P, A, Xc, Yc, 1.0, 2.0, 0.0, 4.0);
    ASSERT_NE(nullptr, cone);
    forGrid(cone, 8, [&](double, double, const Sample& smp) {
        double radial, height;
        axisCoords(smp.p, fromA(P), fromA(A), &radial, &height);
        EXPECT_NEAR(2.0 + 0.5 * height, radial, kTol * 10);
        // Normal perpendicular to the generator (slope 1/2).
        const V3 out = (1.0 / radial) * ((smp.p - fromA(P)) - height * fromA(A));
        const V3 gen = (1.0 / std::sqrt(1.25)) * (fromA(A) + 0.5 * out);
        EXPECT_NEAR(0.0, dot(gen, smp.n), 1e-9);
        EXPECT_NEAR(0.0, smp.kU, 1e-9);
    });
    ratBSplSurfFree(cone);
}

TEST(SurfaceConstructors, ConeOverBoxEndsAtTheApex)
{
    // Radius 1 + h at height h: the apex lies at h = -1, inside the box's range
    // [-3, 5]; the longer side (up to 5) is kept and ends at the apex.
    const double P[3] = {0, 0, 0}, A[3] = {0, 0, 1}, X[3] = {1, 0, 0}, Y[3] = {0, 1, 0};
    const double bmin[3] = {-1, -1, -3}, bmax[3] = {1, 1, 5};
    RatBSplSurf* s = ratBSplSurfConeOverBox(P, A, X, Y, 1.0, 1.0, bmin, bmax);
    ASSERT_NE(nullptr, s);
    const GeomPoint apex = ratBSplSurfEvalPoint(s, 0.0, 0.3);
    EXPECT_NEAR(-1.0, apex.z, kTol);
    EXPECT_NEAR(0.0, std::hypot(apex.x, apex.y), kTol);
    const GeomPoint top = ratBSplSurfEvalPoint(s, 1.0, 0.3);
    EXPECT_NEAR(5.0, top.z, kTol);
    EXPECT_NEAR(6.0, std::hypot(top.x, top.y), kTol);
    // Points between stay on the cone.
    forGrid(s, 6, [&](double, double, const Sample& smp) {
        EXPECT_NEAR(1.0 + smp.p.z, std::hypot(smp.p.x, smp.p.y), 1e-8);
    });
    ratBSplSurfFree(s);

    // An apex 200000 beyond the range is not reached.
    s = ratBSplSurfConeOverBox(P, A, X, Y, 1.0, 200000.0, bmin, bmax);
    ASSERT_NE(nullptr, s);
    EXPECT_NEAR(-3.0, ratBSplSurfEvalPoint(s, 0.0, 0.0).z, kTol);
    ratBSplSurfFree(s);

    // From a radius below 1: the reference height moves, the shape does not.
    s = ratBSplSurfConeFromRadius(P, A, 0.5, 1.0, 1.0, 2.0, bmin, bmax);
    ASSERT_NE(nullptr, s);
    forGrid(s, 6, [&](double, double, const Sample& smp) {
        EXPECT_NEAR(0.5 + 0.5 * smp.p.z, std::hypot(smp.p.x, smp.p.y), 1e-8);
    });
    ratBSplSurfFree(s);
}

TEST(SurfaceConstructors, SpheresLieOnTheSphereWithOutwardNormals)
{
    const double O[3] = {1, -2, 0.5}, A[3] = {1, 0, 0}, B[3] = {0, 1, 0}, Z[3] = {0, 0, 1};
    for (int variant = 0; variant < 2; ++variant) {
        RatBSplSurf* s = variant == 0 ? ratBSplSurfSphere4(O, 2.0, A, B, Z) : ratBSplSurfSphere3(O, 2.0, A, B, Z);
        ASSERT_NE(nullptr, s);
        if (variant == 0) {
            EXPECT_EQ(9, s->noPointsu);
            EXPECT_EQ(12, s->noPointsv);
            EXPECT_DOUBLE_EQ(2.0, s->knotsu[3]);
            EXPECT_DOUBLE_EQ(4.0, s->knotsu[8]);
            for (int j = 1; j < 9; ++j)  // the pole row collapses
                EXPECT_NEAR(0.0, norm(fromA(s->points[j]) - fromA(s->points[0])), kTol);
        } else {
            EXPECT_EQ(8, s->noPointsu);
            EXPECT_EQ(10, s->noPointsv);
        }
        EXPECT_EQ(1, s->nrmOri);
        forGrid(s, 10, [&](double u, double, const Sample& smp) {
            const V3 d = smp.p - fromA(O);
            EXPECT_NEAR(2.0, norm(d), 2 * kTol);
            if (u > 0.01 && u < 0.99) { // away from the poles
                EXPECT_NEAR(1.0, dot(0.5 * d, smp.n), 1e-9);
                EXPECT_NEAR(0.5, std::fabs(smp.kU), 1e-8);
                EXPECT_NEAR(0.5, std::fabs(smp.kV), 1e-8);
            }
        });
        ratBSplSurfFree(s);
    }
    // A negative radius runs the meridians the other way; nrmOri makes up for
    // it, so the oriented normal still points out, and the knots still grow.
    RatBSplSurf* s = ratBSplSurfSphere4(O, -2.0, A, B, Z);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(-1, s->nrmOri);
    for (int i = 1; i < s->noPointsu; ++i)
        EXPECT_LE(s->knotsu[i - 1], s->knotsu[i]);
    forGrid(s, 6, [&](double u, double, const Sample& smp) {
        const V3 d = smp.p - fromA(O);
        EXPECT_NEAR(2.0, norm(d), 2 * kTol);
        if (u > 0.01 && u < 0.99) {
            EXPECT_NEAR(1.0, dot(0.5 * d, smp.n), 1e-9);
            EXPECT_NEAR(0.5, std::fabs(smp.kV), 1e-8);
        }
    });
    ratBSplSurfFree(s);
}

TEST(SurfaceConstructors, TorusKinds)
{
    const double O[3] = {0, 0, 1}, V1[3] = {1, 0, 0}, V2[3] = {0, 1, 0}, V3a[3] = {0, 0, 1};
    // Ring torus R = 5, r = 1.
    RatBSplSurf* s = ratBSplSurfTorus(O, V1, V2, V3a, 5.0, 1.0);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(1, s->periodicu);
    EXPECT_EQ(1, s->periodicv);
    EXPECT_EQ(-1, s->nrmOri);
    EXPECT_DOUBLE_EQ(3.0, s->knotsu[11]);   // scaled by r = 1
    EXPECT_DOUBLE_EQ(15.0, s->knotsv[11]);  // scaled by R = 5
    forGrid(s, 12, [&](double, double, const Sample& smp) {
        double radial, height;
        axisCoords(smp.p, fromA(O), fromA(V3a), &radial, &height);
        EXPECT_NEAR(1.0, std::hypot(radial - 5.0, height), 1e-8);
        // Along the tube circle the curvature is 1/r, along the parallel
        // cos(phi) / (R + r cos(phi)) = (radial - R) / (r radial).
        EXPECT_NEAR(1.0, std::fabs(smp.kU), 1e-8);
        EXPECT_NEAR(std::fabs(radial - 5.0) / radial, std::fabs(smp.kV), 1e-8);
        // The oriented normal points into the tube (nrmOri -1 for r >= 0).
        const V3 toCentre = {-(radial - 5.0) * smp.p.x / radial, -(radial - 5.0) * smp.p.y / radial, -height};
        EXPECT_NEAR(1.0, std::fabs(dot(toCentre, smp.n)), 1e-8);
    });
    ratBSplSurfFree(s);

    // Horn-like torus R = 1, r = 2: the profile meets the axis at O +- sqrt(3) V3.
    s = ratBSplSurfTorus(O, V1, V2, V3a, 1.0, 2.0);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(12, s->noPointsu);
    EXPECT_EQ(0, s->periodicu);
    const GeomPoint start = ratBSplSurfEvalPoint(s, 0.0, 0.0);
    const GeomPoint end = ratBSplSurfEvalPoint(s, 1.0, 0.0);
    EXPECT_NEAR(1.0 + std::sqrt(3.0), std::fabs(start.z - end.z) / 2.0 + 1.0, 1e-9);
    EXPECT_NEAR(0.0, std::hypot(start.x, start.y), 1e-9);
    forGrid(s, 10, [&](double, double, const Sample& smp) {
        double radial, height;
        axisCoords(smp.p, fromA(O), fromA(V3a), &radial, &height);
        // Only the part of the tube on the profile's own side of the axis:
        // a point of the far part would lie at (radial + 1, height).
        EXPECT_NEAR(2.0, std::hypot(radial - 1.0, height), 1e-8);
    });
    ratBSplSurfFree(s);

    // No major radius (a sphere of radius 2) and a negative one (the inner,
    // lemon-shaped part of the tube about O - V1): two profile pieces.
    for (double R : {0.0, -1.0}) {
        s = ratBSplSurfTorus(O, V1, V2, V3a, R, 2.0);
        ASSERT_NE(nullptr, s);
        EXPECT_EQ(9, s->noPointsu);
        forGrid(s, 10, [&](double, double, const Sample& smp) {
            double radial, height;
            axisCoords(smp.p, fromA(O), fromA(V3a), &radial, &height);
            EXPECT_NEAR(2.0, std::hypot(radial - R, height), 1e-8) << R;
        });
        ratBSplSurfFree(s);
    }
}

TEST(SurfaceConstructors, RevolutionsOfALine)
{
    // A segment parallel to z at distance 3 sweeps a cylinder of radius 3.
    RatBSplCurve* line = ratBSplCurveCreate(2, 4);
    ASSERT_NE(nullptr, line);
    const double k[4] = {0, 0, 2, 2};
    for (int i = 0; i < 4; ++i) {
        line->knots[i] = k[i];
        line->weights[i] = 1.0;
    }
    ratBSplCurveSetPoint(line, 0, 3, 0, -1);
    ratBSplCurveSetPoint(line, 1, 3, 0, 1);
    const double P[3] = {0, 0, 0}, A[3] = {0, 0, 2};

    RatBSplSurf* full = ratBSplSurfRevolveCurve(P, A, line);
    ASSERT_NE(nullptr, full);
    EXPECT_EQ(2, full->origFormv);
    EXPECT_EQ(9, full->periodv);
    forGrid(full, 8, [&](double u, double, const Sample& smp) {
        EXPECT_NEAR(3.0, std::hypot(smp.p.x, smp.p.y), 1e-9 * 3);
        EXPECT_NEAR(-1.0 + 2.0 * u, smp.p.z, 1e-9);
    });
    ratBSplSurfFree(full);

    RatBSplSurf* part = ratBSplSurfRevolveCurveArc(P, A, line, 0.25, 2.0);
    ASSERT_NE(nullptr, part);
    EXPECT_EQ(9, part->noPointsv); // two pieces for a sweep within a half turn
    EXPECT_EQ(0, part->periodicv);
    forGrid(part, 8, [&](double, double v, const Sample& smp) {
        EXPECT_NEAR(3.0, std::hypot(smp.p.x, smp.p.y), 1e-9 * 3);
        // Positions along v run monotonically over the requested angles.
        const double ang = std::atan2(smp.p.y, smp.p.x);
        EXPECT_GE(ang, 0.25 - 1e-9);
        EXPECT_LE(ang, 2.0 + 1e-9);
        if (v == 0.0) {
            EXPECT_NEAR(0.25, ang, 1e-9);
        }
        if (v == 1.0) {
            EXPECT_NEAR(2.0, ang, 1e-9);
        }
    });
    ratBSplSurfFree(part);

    RatBSplSurf* quarter = ratBSplSurfRevolveCurveArc(P, A, line, 0.0, M_PI / 2);
    ASSERT_NE(nullptr, quarter);
    EXPECT_EQ(6, quarter->noPointsv);
    ratBSplSurfFree(quarter);
    RatBSplSurf* whole = ratBSplSurfRevolveCurveArc(P, A, line, 0.0, 2 * M_PI);
    ASSERT_NE(nullptr, whole);
    EXPECT_EQ(1, whole->periodicv);
    ratBSplSurfFree(whole);
    // A backward sweep of 5 radians takes four pieces like a forward one; its
    // middle lies at -2.5 radians, not on the short way round.
    RatBSplSurf* back = ratBSplSurfRevolveCurveArc(P, A, line, 0.0, -5.0);
    ASSERT_NE(nullptr, back);
    EXPECT_EQ(15, back->noPointsv);
    const GeomPoint middle = ratBSplSurfEvalPoint(back, 0.5, 0.5);
    EXPECT_NEAR(-2.5, std::atan2(middle.y, middle.x), 1e-9);
    EXPECT_NEAR(3.0, std::hypot(middle.x, middle.y), 1e-9);
    ratBSplSurfFree(back);
    ratBSplCurveFree(line);
}

TEST(SurfaceConstructors, BicubicPatchGridFollowsItsPolynomials)
{
    // Two patches in u over [1, 2] and [2, 4], one in v over [0, 3]; each patch
    // is a polynomial in the local offsets s = u - ulo, t = v - vlo.
    GeomVec3 coef[32] = {};
    auto set = [&](int patch, int i, int j, double x, double y, double z) {
        coef[patch * 16 + i + 4 * j][0] = x;
        coef[patch * 16 + i + 4 * j][1] = y;
        coef[patch * 16 + i + 4 * j][2] = z;
    };
    set(0, 0, 0, 1, 0, 0);
    set(0, 1, 0, 1, 0, 0.5);
    set(0, 0, 1, 0, 1, 0);
    set(0, 2, 1, 0, 0, 0.25);
    set(0, 3, 3, 0, 0, 0.01);
    set(1, 0, 0, 2, 0, 0.5);
    set(1, 1, 0, 1, 0, -0.3);
    set(1, 0, 1, 0, 1, 0);
    set(1, 1, 2, 0, 0.1, 0.2);
    const double U[3] = {1, 2, 4}, V[2] = {0, 3};
    RatBSplSurf* s = ratBSplSurfFromBicubicPatches(2, 1, U, V, coef);
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
            const double ulo = patch == 0 ? 1.0 : 2.0;
            const GeomPoint want = powerPatchPoint(u - ulo, v, coef + 16 * patch);
            const GeomPoint got = ratBSplSurfEvalPoint(s, (u - 1.0) / 3.0, v / 3.0);
            EXPECT_NEAR(want.x, got.x, 1e-9);
            EXPECT_NEAR(want.y, got.y, 1e-9);
            EXPECT_NEAR(want.z, got.z, 1e-9);
        }
    ratBSplSurfFree(s);
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
    RatBSplSurf* s = ratBSplSurfFromArrays(2, 2, 4, 5, ku, kv, pts, nullptr, 0, 0, 1);
    ASSERT_NE(nullptr, s);
    EXPECT_EQ(0, s->isRational);
    EXPECT_EQ(1, s->origFormu);
    EXPECT_EQ(2, s->origFormv);
    EXPECT_DOUBLE_EQ(4.0, s->points[1 * 5 + 1][0]); // (1, 1) is source entry 1 * 3 + 1
    RatBSplSurf* t = ratBSplSurfFromArrays(2, 2, 4, 5, ku, kv, pts, nullptr, 1, 0, 0);
    ASSERT_NE(nullptr, t);
    EXPECT_DOUBLE_EQ(3.0, t->points[1 * 5 + 1][0]); // transposed: 1 * 2 + 1
    ratBSplSurfFree(s);
    ratBSplSurfFree(t);
    EXPECT_EQ(0, ratBSplSurfCheckParams(1, 2, 4, 5, ku, kv, pts));
    EXPECT_EQ(0, ratBSplSurfCheckParams(2, 2, 4, 5, ku, nullptr, pts));
    // The check is the caller's: order 1 is built, missing arrays are not.
    RatBSplSurf* flat = ratBSplSurfFromArrays(1, 2, 3, 5, ku, kv, pts, nullptr, 0, 0, 0);
    ASSERT_NE(nullptr, flat);
    EXPECT_DOUBLE_EQ(4.0, flat->points[1 * 5 + 1][0]);
    ratBSplSurfFree(flat);
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
