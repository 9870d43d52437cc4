// Shape recognition of surfaces: every standard shape the kernel builds, moved
// and turned by random rigid motions, must be recognised with its own
// parameters; near misses must not be.
#include "geom/geom.h"
#include "surf_nets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

namespace {

using surftest::own;
using surftest::SurfPtr;

struct Motion {
    double M[12];       // 3x4 rows: rotation and translation
    double apply(const double* p, int row) const
    {
        return M[row * 4] * p[0] + M[row * 4 + 1] * p[1] + M[row * 4 + 2] * p[2] + M[row * 4 + 3];
    }
    void point(const double* p, double* out) const
    {
        for (int k = 0; k < 3; ++k)
            out[k] = apply(p, k);
    }
    void vector(const double* v, double* out) const
    {
        for (int k = 0; k < 3; ++k)
            out[k] = M[k * 4] * v[0] + M[k * 4 + 1] * v[1] + M[k * 4 + 2] * v[2];
    }
};

// A rotation by a random unit quaternion and a translation of up to 200.
Motion randomMotion(std::mt19937& rng)
{
    std::normal_distribution<double> g(0.0, 1.0);
    std::uniform_real_distribution<double> t(-200.0, 200.0);
    double q[4] = {g(rng), g(rng), g(rng), g(rng)};
    const double n = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (double& x : q)
        x /= n;
    const double w = q[0], x = q[1], y = q[2], z = q[3];
    Motion m{{1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y), t(rng),
              2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x), t(rng),
              2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y), t(rng)}};
    return m;
}

const double kO[3] = {0, 0, 0};
const double kX[3] = {1, 0, 0};
const double kY[3] = {0, 1, 0};
const double kZ[3] = {0, 0, 1};

// |a . b| = 1 for parallel unit vectors.
double parallelism(const double* a, const double* b)
{
    return std::fabs(vec3Dot(a, b));
}

// Distance of p from the line through o along the unit d.
double offLine(const double* o, const double* d, const double* p)
{
    double foot[3];
    projectPointOnLine(o, d, p, foot);
    return vec3Distance(foot, p);
}

// A cylinder of radius 5, a sphere of radius 3 and a torus R = 10, r = 2,
// all about the z axis through the origin.
struct ShapeTests : ::testing::Test {
    const double X5[3] = {5, 0, 0}, Y5[3] = {0, 5, 0};
    SurfPtr cyl = own(ratBSplSurfConeBetweenHeights(kO, kZ, X5, Y5, 0.0, 1.0, 0.0, 10.0));
    SurfPtr sphere = own(ratBSplSurfSphere4(kO, 3.0, kX, kY, kZ));
    SurfPtr torus = own(ratBSplSurfTorus(kO, kX, kY, kZ, 10.0, 2.0));

    void SetUp() override { ASSERT_TRUE(cyl && sphere && torus); }
    void TearDown() override
    {
        geomSetTolerance(GEOM_TOL_LINE, 0.0);
        geomSetTolerance(GEOM_TOL_COLUMN_POINT, 0.0);
        geomSetTolerance(GEOM_TOL_ARC_RADIUS, 1000.0);
        geomSetTolerance(GEOM_TOL_SPHERE_CENTRE, 0.0);
    }
};

// Cylinders, cones, spheres and tori anywhere in space keep their parameters.
TEST_F(ShapeTests, StandardShapesAreRecognisedAfterRandomRigidMotions)
{
    std::mt19937 rng(1234);
    for (int trial = 0; trial < 25; ++trial) {
        SCOPED_TRACE(trial);
        const Motion m = randomMotion(rng);
        double o[3], z[3];
        m.point(kO, o);
        m.vector(kZ, z);
        double M[12];
        std::copy(m.M, m.M + 12, M);

        // Cylinder of radius 5 between heights 2 and 30.
        auto tall = own(ratBSplSurfConeBetweenHeights(kO, kZ, X5, Y5, 0.0, 1.0, 2.0, 30.0));
        ASSERT_TRUE(tall);
        ratBSplSurfTransform(tall.get(), M);
        double base[3], axis[3], ref[3], radius = 0, sine = 0, cosine = 0;
        ASSERT_EQ(1, ratBSplSurfFindConeDefault(tall.get(), 0, base, axis, &radius, &sine, &cosine, ref));
        EXPECT_NEAR(5.0, radius, 1e-9);
        EXPECT_NEAR(0.0, sine, 1e-9);
        EXPECT_NEAR(1.0, std::fabs(cosine), 1e-9);
        EXPECT_NEAR(1.0, parallelism(axis, z), 1e-9);
        EXPECT_LT(offLine(o, z, base), 1e-9);
        EXPECT_NEAR(5.0, vec3Length(ref), 1e-9);

        // Cone widening by 1 per 2 of height, from radius 4 at h = 0 to 14 at h = 20.
        double X4[3] = {4, 0, 0}, Y4[3] = {0, 4, 0};
        auto cone = own(ratBSplSurfConeBetweenHeights(kO, kZ, X4, Y4, 1.0, 2.0, 0.0, 20.0));
        ASSERT_TRUE(cone);
        ratBSplSurfTransform(cone.get(), M);
        ASSERT_EQ(1, ratBSplSurfFindConeDefault(cone.get(), 0, base, axis, &radius, &sine, &cosine, ref));
        EXPECT_NEAR(14.0, radius, 1e-9);
        const double slope = std::atan2(10.0, 20.0);
        EXPECT_NEAR(std::sin(slope), std::fabs(sine), 1e-9);
        EXPECT_NEAR(std::cos(slope), std::fabs(cosine), 1e-9);
        EXPECT_LT(offLine(o, z, base), 1e-9);

        // Sphere of radius 3, and a torus R = 10, r = 2, about the moved z axis.
        auto moved = own(ratBSplSurfCopy(sphere.get()));
        ratBSplSurfTransform(moved.get(), M);
        double centre[3];
        ASSERT_EQ(1, ratBSplSurfFindSphereDefault(moved.get(), 0, centre, axis, &radius, ref));
        EXPECT_NEAR(3.0, std::fabs(radius), 1e-9);
        EXPECT_LT(vec3Distance(centre, o), 1e-9);

        moved = own(ratBSplSurfCopy(torus.get()));
        ratBSplSurfTransform(moved.get(), M);
        double major = 0, minor = 0;
        short kind = -1;
        ASSERT_EQ(1, ratBSplSurfFindTorus(moved.get(), 0, 0.0, 0, 1, centre, axis, &major, &minor, ref, &kind));
        EXPECT_EQ(GEOM_TORUS_ORDINARY, kind);
        EXPECT_NEAR(10.0, major, 1e-9);
        EXPECT_NEAR(2.0, std::fabs(minor), 1e-9);
        EXPECT_NEAR(1.0, parallelism(axis, z), 1e-9);
        EXPECT_LT(vec3Distance(centre, o), 1e-9);
    }
}

// Each test takes only its own shape.
TEST_F(ShapeTests, EachShapeTestRefusesTheOtherShapes)
{
    double p[3], a[3], ref[3], r1 = 0, r2 = 0, s = 0, c = 0;
    EXPECT_EQ(0, ratBSplSurfFindSphereDefault(cyl.get(), 0, p, a, &r1, ref));
    EXPECT_EQ(0, ratBSplSurfFindTorusDefault(cyl.get(), 0, p, a, &r1, &r2, ref));
    EXPECT_EQ(0, ratBSplSurfFindConeDefault(sphere.get(), 0, p, a, &r1, &s, &c, ref));
    EXPECT_EQ(0, ratBSplSurfFindTorusDefault(sphere.get(), 0, p, a, &r1, &r2, ref));
    EXPECT_EQ(0, ratBSplSurfFindSphereDefault(torus.get(), 0, p, a, &r1, ref));
    EXPECT_EQ(0, ratBSplSurfFindConeDefault(torus.get(), 0, p, a, &r1, &s, &c, ref));
    EXPECT_EQ(0, ratBSplSurfIsConeDefault(nullptr, 0, p, a, &r1, &s, &c, ref));
    EXPECT_EQ(0, ratBSplSurfFindRevolutionTol(nullptr, p, 0.0, a, ref));
}

// Near misses: a bent cylinder and an elliptic one are not surfaces of
// revolution; a column arc beyond the radius limit is no arc.
TEST_F(ShapeTests, NearMissesAreRefused)
{
    const double Y4[3] = {0, 4.9, 0};
    double p[3], a[3], ref[3], r = 0, s = 0, c = 0;

    auto ellipse = own(ratBSplSurfConeBetweenHeights(kO, kZ, X5, Y4, 0.0, 1.0, 0.0, 10.0));
    ASSERT_TRUE(ellipse);
    EXPECT_EQ(0, ratBSplSurfFindRevolutionTol(ellipse.get(), p, 0.0, a, ref));
    EXPECT_EQ(0, ratBSplSurfFindConeDefault(ellipse.get(), 0, p, a, &r, &s, &c, ref));

    // The radius limit binds the fitted arc tests, not the exact one. Setting
    // a tolerance gives back the one before; a bad index changes nothing.
    EXPECT_EQ(1000.0, geomSetTolerance(GEOM_TOL_ARC_RADIUS, 4.0));
    EXPECT_EQ(GEOM_TOL_BAD_INDEX, geomSetTolerance(4, 7.0));
    EXPECT_EQ(GEOM_TOL_BAD_INDEX, geomSetTolerance(-1, 7.0));
    EXPECT_EQ(0, ratBSplSurfFindRevolutionTol(cyl.get(), p, 1e-3, a, ref));
    EXPECT_EQ(4.0, geomSetTolerance(GEOM_TOL_ARC_RADIUS, 1000.0));
    EXPECT_EQ(1, ratBSplSurfFindRevolutionTol(cyl.get(), p, 1e-3, a, ref));
    EXPECT_NEAR(5.0, vec3Length(ref), 1e-6);

    cyl->points[1][0] += 1e-3;   // one point of the net pushed outwards
    EXPECT_EQ(0, ratBSplSurfFindConeDefault(cyl.get(), 0, p, a, &r, &s, &c, ref));
}

// Signs follow the surface's orientation: the transpose has the opposite
// normal and the retrying forms pass the swapped flag on inverted.
TEST_F(ShapeTests, SignsFollowTheOrientationOfTheSurfacePassed)
{
    auto transposed = own(ratBSplSurfTranspose(sphere.get()));
    ASSERT_TRUE(transposed);
    double c[3], a[3], ref[3], r0 = 0, r1 = 0, rT = 0;
    ASSERT_EQ(1, ratBSplSurfFindSphereDefault(sphere.get(), 0, c, a, &r0, ref));
    ASSERT_EQ(1, ratBSplSurfFindSphereDefault(sphere.get(), 1, c, a, &r1, ref));
    ASSERT_EQ(1, ratBSplSurfFindSphereDefault(transposed.get(), 0, c, a, &rT, ref));
    EXPECT_EQ(-r0, r1);
    EXPECT_EQ(-r0, rT);
    GeomPoint P = ratBSplSurfEvalPoint(sphere.get(), 0.1, 0.3);
    GeomPoint N = ratBSplSurfEvalNormal(sphere.get(), 0.1, 0.3);
    const double outward = P.x * N.x + P.y * N.y + P.z * N.z;
    EXPECT_EQ(outward > 0, r0 > 0);

    double R = 0, m0 = 0, m1 = 0;
    ASSERT_EQ(1, ratBSplSurfFindTorusDefault(torus.get(), 0, c, a, &R, &m0, ref));
    ASSERT_EQ(1, ratBSplSurfFindTorusDefault(torus.get(), 1, c, a, &R, &m1, ref));
    EXPECT_EQ(-m0, m1);

    // The same cylinder outward and inward: the cosine's sign turns with it.
    double s = 0, cos0 = 0, cos1 = 0, rc = 0;
    ASSERT_EQ(1, ratBSplSurfFindConeDefault(cyl.get(), 0, c, a, &rc, &s, &cos0, ref));
    ASSERT_EQ(1, ratBSplSurfFindConeDefault(cyl.get(), 1, c, a, &rc, &s, &cos1, ref));
    EXPECT_EQ(-cos0, cos1);
}

// Tori whose tube radius exceeds the major radius: only the form with a kind
// output takes them, and the kind tells which part of the tube circle is left.
TEST_F(ShapeTests, SelfIntersectingToriNeedTheKindOutput)
{
    auto spindle = own(ratBSplSurfTorus(kO, kX, kY, kZ, 2.0, 5.0));
    ASSERT_TRUE(spindle);
    double c[3], a[3], ref[3], R = 0, r = 0;
    short kind = -1;
    EXPECT_EQ(0, ratBSplSurfFindTorusDefault(spindle.get(), 0, c, a, &R, &r, ref));
    ASSERT_EQ(1, ratBSplSurfFindTorus(spindle.get(), 0, 0.0, 0, 1, c, a, &R, &r, ref, &kind));
    EXPECT_NEAR(2.0, R, 1e-9);
    EXPECT_NEAR(5.0, std::fabs(r), 1e-9);
    EXPECT_TRUE(kind == GEOM_TORUS_SPINDLE_INNER || kind == GEOM_TORUS_SPINDLE_OUTER);
}

} // namespace
