// Exact shapes in other rational forms than the constructors give: arc pieces
// whose end weights are not 1, full turns that start inside a piece, and
// sphere zones swept by tilted great circles. Each is the same surface as
// its standard form and must be recognised with the same parameters.
#include "surf_nets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

using namespace surftest;

using CurvePtr = std::unique_ptr<RatBSplCurve, void (*)(RatBSplCurve*)>;
CurvePtr ownCurve(RatBSplCurve* c) { return CurvePtr(c, ratBSplCurveFree); }

const double kO[3] = {0, 0, 0};
const double kZ[3] = {0, 0, 1};

// A quarter cylinder of radius 5 as one rational quadratic piece round the
// axis, its rows weighted 1, 2, 4 on top of the arc's 1, cos 45°, 1: the same
// surface, since scaling a piece's weights by a geometric sequence only
// changes its parametrisation.
RatBSplSurf* reweightedQuarterCylinder()
{
    const double s = std::sqrt(0.5);
    std::vector<Pt> pts;
    std::vector<double> w;
    const Pt arc[3] = {{5, 0, 0}, {5, 5, 0}, {0, 5, 0}};
    const double aw[3] = {1, s, 1}, scale[3] = {1, 2, 4};
    for (int i = 0; i < 3; ++i)
        for (double z : {0.0, 3.0}) {
            pts.push_back(Pt{arc[i].x, arc[i].y, z});
            w.push_back(aw[i] * scale[i]);
        }
    RatBSplSurf* c = makeSurf(3, 2, {0, 0, 0, 1, 1, 1}, {0, 0, 1, 1}, pts, w, 1);
    return c;
}

TEST(ShapeForms, ArcPiecesWithEndWeightsOtherThanOneAreArcs)
{
    auto c = own(reweightedQuarterCylinder());
    double base[3], axis[3], radius = 0, sine = 0, cosine = 0, ref[3];
    ASSERT_EQ(1, ratBSplSurfFindConeDefault(c.get(), 0, base, axis, &radius, &sine, &cosine, ref));
    EXPECT_NEAR(5.0, radius, 1e-12);
    EXPECT_NEAR(1.0, std::fabs(axis[2]), 1e-12);

    // The piece itself, as a curve: the exact arc test brings it to the
    // standard form; a middle weight off by 1e-6 is still refused.
    auto column = ownCurve(ratBSplSurfColumnCurve(c.get(), 0));
    ArcFitResult arc;
    ASSERT_EQ(1, ratBSplCurveIsArc(column.get(), &arc));
    EXPECT_NEAR(0.0, vec3Length(arc.centre), 1e-12);
    column->weights[1] += 1e-6;
    EXPECT_EQ(0, ratBSplCurveIsArc(column.get(), &arc));
}

// A closed surface cut across its seam a third of the way into a piece: a
// whole turn whose pieces start and end inside the constructor's pieces.
TEST(ShapeForms, FullTurnsStartingInsideAPieceAreFound)
{
    const double r = 5.0;
    auto cylinder = own(makeCylinder(r, 0, 3, 0, 4, 0, 1));
    auto cyl = own(ratBSplSurfWindow(cylinder.get(), 1.3, 0, 5.3, 1));
    ASSERT_TRUE(cyl);
    double p[3], a[3], ref[3], radius = 0, sine = 0, cosine = 0;
    ASSERT_EQ(1, ratBSplSurfFindConeDefault(cyl.get(), 0, p, a, &radius, &sine, &cosine, ref));
    EXPECT_NEAR(r, radius, 1e-10);

    auto sphere = own(makeSphere(4, 0, 4, 0, 1));
    auto sph = own(ratBSplSurfWindow(sphere.get(), 0.7, 0, 4.7, 1));
    ASSERT_TRUE(sph);
    ASSERT_EQ(1, ratBSplSurfFindSphereDefault(sph.get(), 0, p, a, &radius, ref));
    EXPECT_NEAR(4.0, std::fabs(radius), 1e-10);
    EXPECT_NEAR(0.0, vec3Length(p), 1e-10);

    auto torus = own(makeTorus(10, 2, 0, 4, 0, 4));
    auto tor = own(ratBSplSurfWindow(torus.get(), 2.2, 0, 6.2, 4));
    ASSERT_TRUE(tor);
    double major = 0, minor = 0;
    ASSERT_EQ(1, ratBSplSurfFindTorusDefault(tor.get(), 0, p, a, &major, &minor, ref));
    EXPECT_NEAR(10.0, major, 1e-10);
    EXPECT_NEAR(2.0, std::fabs(minor), 1e-10);
}

// A great circle of radius 5 in a plane tilted by 30° against the axis,
// turned about the axis, sweeps a sphere zone: every point of it lies at
// distance 5 from the centre, whichever way the plane tilts.
TEST(ShapeForms, TiltedGreatCirclesSweepSphereZones)
{
    for (double tilt : {M_PI / 6, -M_PI / 6}) {
        const double S[3] = {5, 0, 0};
        const double N[3] = {0, std::cos(tilt), std::sin(tilt)};
        auto profile = ownCurve(ratBSplCurveArcByAngle(kO, S, N, M_PI / 3));
        ASSERT_TRUE(profile);
        auto zone = own(ratBSplSurfRevolveCurveArc(kO, kZ, profile.get(), 0.0, M_PI));
        ASSERT_TRUE(zone);
        for (double u : {0.0, 0.3, 1.0})
            for (double v : {0.0, 0.5, 1.0}) {
                const GeomPoint q = ratBSplSurfEvalPoint(zone.get(), u, v);
                ASSERT_NEAR(5.0, std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z), 1e-12);
            }
        double centre[3], axis[3], ref[3], radius = 0;
        ASSERT_EQ(1, ratBSplSurfFindSphereDefault(zone.get(), 0, centre, axis, &radius, ref)) << tilt;
        EXPECT_NEAR(5.0, std::fabs(radius), 1e-10);
        EXPECT_NEAR(0.0, vec3Length(centre), 1e-10);
        EXPECT_NEAR(1.0, std::fabs(axis[2]), 1e-10);
    }
}

// Nets without a control row or column are no surfaces of revolution; the
// test must not read or write outside its records for them.
TEST(ShapeForms, NetsWithoutRowsOrColumnsAreNoSurfacesOfRevolution)
{
    for (int n : {0, 1, 2, 3})
        for (bool fewRows : {false, true}) {
            RatBSplSurf* s = fewRows ? ratBSplSurfCreate(3, 3, n, 8) : ratBSplSurfCreate(3, 3, 8, n);
            if (!s)
                continue;
            auto held = own(s);
            double p[3], a[3], ref[3];
            EXPECT_EQ(0, ratBSplSurfIsRevolution(s, p, 0.0, 0, 1, a, ref)) << n;
        }
}

}  // namespace
