// Curves and surfaces together: projections of space curves into a surface's
// parameter plane, checked by mapping the parameters back into space.
#include "geom/geom.h"
#include "curve_ref.h"
#include "surf_nets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

using namespace surftest;
using curveref::own;
using surftest::own;

double distance(GeomPoint p, const double* q)
{
    return std::sqrt((p.x - q[0]) * (p.x - q[0]) + (p.y - q[1]) * (p.y - q[1]) + (p.z - q[2]) * (p.z - q[2]));
}

// A full great circle of radius r through both poles of a sphere about z
// (tilt 90°), or tilted by less towards the equator.
RatBSplCurve* greatCircle(double r, double tilt = M_PI / 2)
{
    RatBSplCurve* c = ratBSplCurveCreate(3, 15);
    const double O[3] = {0, 0, 0}, X[3] = {r, 0, 0}, Y[3] = {0, r * std::cos(tilt), r * std::sin(tilt)};
    fullCircleFourPieces(O, X, Y, c->points, c->weights, c->knots);
    c->isRational = 1;
    return c;
}

using CurveProjection = curveref::NoErrorYet;

// Every parameter vertex maps back onto its space vertex. The circle starts
// and ends at the north pole, whose end vertices take their neighbours' u; it
// passes the south pole once, where it gains a vertex whose two copies carry
// the u of the incoming and of the outgoing neighbour.
TEST_F(CurveProjection, ParametersMapBackAndPolesAreSplit)
{
    auto sphere = own(makeSphere(3.0, 0.0, 2.0, -1.0, 1.0));
    auto circle = own(greatCircle(3.0));
    RatBSplCurve* lin = nullptr;
    double dev = -5.0;
    auto params = own(ratBSplSurfProjectCurveEx(sphere.get(), circle.get(), 1e-3, &dev, GEOM_NO_START_PARAM,
                                                GEOM_NO_START_PARAM, &lin));
    auto space = own(lin);
    ASSERT_TRUE(params && space);
    EXPECT_EQ(params->noPoints, space->noPoints);
    EXPECT_LE(dev, 1e-3);
    const int m = params->noPoints - 2;
    int poles = 0;
    for (int i = 0; i < m; ++i) {
        const GeomPoint p = ratBSplSurfEvalPoint(sphere.get(), normU(sphere.get(), params->points[i][0]),
                                                 normV(sphere.get(), params->points[i][1]));
        EXPECT_LT(distance(p, space->points[i]), 1e-5) << "vertex " << i;
        const bool atPole = std::fabs(std::fabs(space->points[i][2]) - 3.0) < 1e-9;
        if (atPole && i + 1 < m && std::fabs(std::fabs(space->points[i + 1][2]) - 3.0) < 1e-9) {
            ++poles;
            EXPECT_DOUBLE_EQ(params->points[i - 1][0], params->points[i][0]);
            EXPECT_DOUBLE_EQ(params->points[i + 2][0], params->points[i + 1][0]);
            EXPECT_GT(std::fabs(params->points[i][0] - params->points[i + 1][0]), 0.5);
        }
    }
    EXPECT_EQ(1, poles);
    EXPECT_DOUBLE_EQ(params->points[1][0], params->points[0][0]);
    EXPECT_DOUBLE_EQ(params->points[m - 2][0], params->points[m - 1][0]);
}

// The refined projection inserts vertices where a parameter segment's surface
// path leaves its chord. This circle takes four passes; the fourth projects
// the vertices the third inserted and checks nothing, so the deviation is
// -1.0.
TEST_F(CurveProjection, RefinementInsertsVerticesAndAFourthPassGivesNoDeviation)
{
    auto sphere = own(makeSphere(3.0, 0.0, 2.0, -1.0, 1.0));
    auto circle = own(greatCircle(3.0, 0.7));
    double plainDev = 0.0, refinedDev = -5.0;
    auto plain = own(ratBSplSurfProjectCurve(sphere.get(), circle.get(), 0.05, &plainDev, GEOM_NO_START_PARAM,
                                             GEOM_NO_START_PARAM));
    RatBSplCurve* lin = nullptr;
    auto refined = own(ratBSplSurfProjectCurveRefinedEx(sphere.get(), circle.get(), 0.05, &refinedDev,
                                                        GEOM_NO_START_PARAM, GEOM_NO_START_PARAM, &lin));
    auto space = own(lin);
    ASSERT_TRUE(plain && refined && space);
    EXPECT_GT(refined->noPoints, plain->noPoints);
    EXPECT_EQ(-1.0, refinedDev);
    EXPECT_EQ(refined->noPoints, space->noPoints);
    // Each refined segment's midpoint on the surface stays near its chord,
    // except where the parameters jump across the seam.
    for (int i = 1; i < refined->noPoints - 2; ++i) {
        if (std::fabs(refined->points[i][0] - refined->points[i - 1][0]) > 1.0)
            continue;
        const double u = 0.5 * (refined->points[i][0] + refined->points[i - 1][0]);
        const double v = 0.5 * (refined->points[i][1] + refined->points[i - 1][1]);
        double mid[3];
        for (int k = 0; k < 3; ++k)
            mid[k] = 0.5 * (space->points[i][k] + space->points[i - 1][k]);
        EXPECT_LT(distance(ratBSplSurfEvalPoint(sphere.get(), normU(sphere.get(), u), normV(sphere.get(), v)), mid),
                  1.2 * 0.05 + 1e-9)
            << "segment " << i;
    }
}

// A net that closes is searched as periodic, and left as it was found.
TEST_F(CurveProjection, ClosedNetsAreSearchedPeriodicAndRestored)
{
    auto cyl = own(makeCylinder(4.0, -1.0, 6.0, 2.0, 3.0, 10.0, 11.0));
    ASSERT_EQ(0, cyl->periodicu);
    // A circle at height 2 crossing the seam at u = 2 (the +x side).
    RatBSplCurve* c = ratBSplCurveCreate(3, 15);
    const double O[3] = {0, 0, 2}, X[3] = {0, 4, 0}, Y[3] = {-4, 0, 0};
    fullCircleFourPieces(O, X, Y, c->points, c->weights, c->knots);
    c->isRational = 1;
    auto circle = own(c);
    double dev = 0.0;
    auto params = own(ratBSplSurfProjectCurve(cyl.get(), circle.get(), 1e-4, &dev, GEOM_NO_START_PARAM,
                                              GEOM_NO_START_PARAM));
    ASSERT_TRUE(params);
    EXPECT_LT(dev, 1e-5);
    EXPECT_EQ(0, cyl->periodicu);
    for (int i = 0; i < params->noPoints - 2; ++i)
        EXPECT_NEAR(10.0 + 3.0 / 7.0, params->points[i][1], 1e-6);
}

// Runs of pole vertices take their undefined u from both neighbours.
TEST_F(CurveProjection, PoleRepairSharesRunsBetweenTheNeighbours)
{
    auto sphere = own(makeSphere(3.0, 0.0, 2.0, -1.0, 1.0));
    const double us[] = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0};
    const double vs[] = {0.0, -1.0, -1.0, -1.0, -1.0, 0.0, -1.0, -1.0, -1.0, 0.0};
    RatBSplCurve* c = ratBSplCurveCreate(2, 12);
    for (int i = 0; i < 10; ++i) {
        ratBSplCurveSetPoint(c, i, us[i], vs[i], 0.0);
        c->weights[i] = 1.0;
        c->knots[i + 1] = i;
    }
    c->knots[0] = 0;
    c->knots[11] = 9;
    auto poly = own(c);
    ASSERT_EQ(1, ratBSplSurfRepairPoleParams(sphere.get(), poly.get()));
    const double expected[] = {0.1, 0.1, 0.1, 0.6, 0.6, 0.6, 0.6, 1.0, 1.0, 1.0};
    for (int i = 0; i < 10; ++i)
        EXPECT_DOUBLE_EQ(expected[i], poly->points[i][0]) << "vertex " << i;
}

// A sphere of radius 2 about the origin with its pole at u = 0.
RatBSplSurf* sphereOfRadius2()
{
    const double O[3] = {0, 0, 0}, A[3] = {1, 0, 0}, B[3] = {0, 1, 0}, Z[3] = {0, 0, 1};
    return ratBSplSurfSphere3(O, 2.0, A, B, Z);
}

// The middle vertex lies on the pole: it is split in two, each copy with the
// v of its neighbour. Nothing else of the polyline changes: z and the weights
// stay, the split vertex's knot repeats and the end knots are kept.
TEST_F(CurveProjection, PoleRepairSplitsALoneVertexAndKeepsEverythingElse)
{
    auto sphere = own(sphereOfRadius2());
    ASSERT_TRUE(sphere);
    auto poly = own(curveref::make(2, {-1, 0, 1, 2, 5}, {{1, 1, 7}, {0, 2.5, 7}, {1, 4, 7}}, {2, 2, 2}));
    ASSERT_EQ(1, ratBSplSurfRepairPoleParams(sphere.get(), poly.get()));
    ASSERT_EQ(6, poly->noPoints);
    const double knots[6] = {-1, 0, 1, 1, 2, 5};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(knots[i], poly->knots[i]) << "knot " << i;
    const double points[4][3] = {{1, 1, 7}, {0, 1, 7}, {0, 4, 7}, {1, 4, 7}};
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(points[i][k], poly->points[i][k]) << "vertex " << i << " coordinate " << k;
        EXPECT_EQ(2.0, poly->weights[i]) << "vertex " << i;
    }
}

TEST_F(CurveProjection, PoleRepairOfAPolylineWithoutVerticesSucceeds)
{
    auto sphere = own(sphereOfRadius2());
    auto poly = own(curveref::make(2, {0, 1}, {}));
    EXPECT_EQ(1, ratBSplSurfRepairPoleParams(sphere.get(), poly.get()));
    EXPECT_EQ(2, poly->noPoints);
}

// The plane z = 0 parametrised as S(u, v) = (u, v + b u^2, 0) over
// [0, 1] x [-1, 1]. The line y = 0 projects to v = -b u^2, so the straight
// parameter segment between two projected vertices h apart in u maps to a
// path that strays b t (1 - t) h^2 from its chord: sampled at sevenths,
// 12/49 b h^2.
RatBSplSurf* shearedPlane(double b)
{
    std::vector<Pt> net;
    const double x[3] = {0.0, 0.5, 1.0}, bend[3] = {0.0, 0.0, b};
    for (int i = 0; i < 3; ++i)
        for (double v : {-1.0, 1.0})
            net.push_back(Pt{x[i], v + bend[i], 0.0});
    return makeSurf(3, 2, {0, 0, 0, 1, 1, 1}, {-1, -1, 1, 1}, net, {1, 1, 1, 1, 1, 1}, 0);
}

// The b whose first chord, the whole line, strays by deviation.
double bendFor(double deviation) { return deviation * 49.0 / 12.0; }

struct Refined {
    int vertices = 0;
    double deviation = -5.0;
};

Refined projectLineRefined(double b, double tolerance)
{
    auto plane = own(shearedPlane(b));
    auto line = own(curveref::make(2, {0, 0, 1, 1}, {{0, 0, 0}, {1, 0, 0}}));
    Refined r;
    auto params = own(ratBSplSurfProjectCurveRefined(plane.get(), line.get(), tolerance, &r.deviation,
                                                     GEOM_NO_START_PARAM, GEOM_NO_START_PARAM));
    EXPECT_TRUE(params);
    if (params)
        r.vertices = params->noPoints - 2;
    return r;
}

using RefinedDeviation = curveref::NoErrorYet;

// One pass: the chord strays by the tolerance, nothing is inserted, and the
// deviation is the chord's.
TEST_F(RefinedDeviation, APassThatInsertsNothingGivesItsOwnDeviation)
{
    const Refined r = projectLineRefined(bendFor(0.001), 0.001);
    EXPECT_EQ(2, r.vertices);
    EXPECT_NEAR(0.001, r.deviation, 1e-6 * 0.001);
}

// Two passes: the first measures 3 tolerances and inserts two vertices; the
// second checks the two pieces it projected, a third as long, at a ninth of
// that, and the deviation is theirs, not the first chord's.
TEST_F(RefinedDeviation, TwoPassesGiveTheDeviationOfThePiecesReturned)
{
    const Refined r = projectLineRefined(bendFor(0.003), 0.001);
    EXPECT_EQ(4, r.vertices);
    EXPECT_NEAR(0.003 / 9.0, r.deviation, 1e-6 * 0.003 / 9.0);
}

// Three passes: 100 tolerances give seven vertices (eighths), 1.5625
// tolerances on those give one more in each piece checked, and the third
// pass measures those halves.
TEST_F(RefinedDeviation, ThreePassesGiveTheThirdPassesDeviation)
{
    const Refined r = projectLineRefined(bendFor(0.1), 0.001);
    EXPECT_EQ(2 + 7 + 7, r.vertices);
    EXPECT_NEAR(0.1 / 64.0 / 4.0, r.deviation, 1e-6 * 0.1 / 256.0);
}

// Four passes: a million tolerances need a fourth pass to project the last
// vertices inserted, and a fourth pass checks nothing.
TEST_F(RefinedDeviation, AFourthPassChecksNothingAndGivesMinusOne)
{
    const Refined r = projectLineRefined(bendFor(0.1), 1e-7);
    EXPECT_GT(r.vertices, 2 + 20 + 20 * 12);
    EXPECT_EQ(-1.0, r.deviation);
}

// The plain projection is one pass over the vertices: its deviation is the
// worst vertex distance, whatever the chords do.
TEST_F(RefinedDeviation, ThePlainProjectionGivesTheWorstVertexDistance)
{
    auto plane = own(shearedPlane(bendFor(0.1)));
    auto line = own(curveref::make(2, {0, 0, 1, 1}, {{0, 0, 0}, {1, 0, 0}}));
    double deviation = -5.0;
    auto params = own(ratBSplSurfProjectCurve(plane.get(), line.get(), 0.001, &deviation, GEOM_NO_START_PARAM,
                                              GEOM_NO_START_PARAM));
    ASSERT_TRUE(params);
    EXPECT_EQ(4, params->noPoints);
    EXPECT_GE(deviation, 0.0);
    EXPECT_LT(deviation, 1e-5);
}

// A closed net (a circle's arc on a cylinder, marked periodic for the
// search) whose chords stay near the surface: one pass, and the deviation is
// the worst that pass sampled on the polyline it returns.
TEST_F(RefinedDeviation, OnAClosedNetOnePassGivesTheWorstSampleOfThePolylineReturned)
{
    auto cyl = own(makeCylinder(4.0, -1.0, 6.0, 2.0, 3.0, 10.0, 11.0));
    cyl->origFormu = 1;  // not kept closed by its form: the projection marks it
    // A quarter circle at height 2 from (0, 4) to (-4, 0), away from the seam.
    auto arc = own(curveref::make(3, {0, 0, 0, 1, 1, 1}, {{0, 4, 2}, {-4, 4, 2}, {-4, 0, 2}},
                                  {1.0, std::sqrt(0.5), 1.0}));
    double deviation = -5.0;
    auto params = own(ratBSplSurfProjectCurveRefined(cyl.get(), arc.get(), 1e-3, &deviation, GEOM_NO_START_PARAM,
                                                     GEOM_NO_START_PARAM));
    RatBSplCurve* lin = nullptr;
    double plainDeviation = -5.0;
    auto plain = own(ratBSplSurfProjectCurveEx(cyl.get(), arc.get(), 1e-3, &plainDeviation, GEOM_NO_START_PARAM,
                                               GEOM_NO_START_PARAM, &lin));
    auto space = own(lin);
    ASSERT_TRUE(params && plain && space);
    ASSERT_EQ(plain->noPoints, params->noPoints);
    double worst = plainDeviation;
    for (int i = 1; i < params->noPoints - 2; ++i)
        for (int k = 1; k < 7; ++k) {
            const double t = k / 7.0;
            double chord[3];
            for (int c = 0; c < 3; ++c)
                chord[c] = (1 - t) * space->points[i - 1][c] + t * space->points[i][c];
            const double u = (1 - t) * params->points[i - 1][0] + t * params->points[i][0];
            const double v = (1 - t) * params->points[i - 1][1] + t * params->points[i][1];
            worst = std::fmax(worst, distance(ratBSplSurfEvalPoint(cyl.get(), normU(cyl.get(), u),
                                                                    normV(cyl.get(), v)),
                                              chord));
        }
    EXPECT_GT(worst, 0.0);
    EXPECT_NEAR(worst, deviation, 1e-12);
}

} // namespace

namespace {

// A parabola in the parameter plane of the 8x8 net (u over [1, 5], v over
// [-2, 1]), from corner to corner through the middle of the far edge.
RatBSplCurve* parameterArc()
{
    RatBSplCurve* c = ratBSplCurveCreate(3, 6);
    const double knots[6] = {0, 0, 0, 2, 2, 2};
    const double pts[3][2] = {{1.0, -2.0}, {3.0, 3.0}, {5.0, -2.0}};
    for (int i = 0; i < 6; ++i)
        c->knots[i] = knots[i];
    for (int i = 0; i < 3; ++i) {
        ratBSplCurveSetPoint(c, i, pts[i][0], pts[i][1], 0.0);
        c->weights[i] = 1.0;
    }
    return c;
}

using CurveOnSurface = curveref::NoErrorYet;

TEST_F(CurveOnSurface, PointsAndTangentsFollowTheSurface)
{
    auto s = own(makeBicubic8());
    RatBSplCurve* c = ratBSplCurveCreate(2, 4);
    const double knots[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i)
        c->knots[i] = knots[i];
    ratBSplCurveSetPoint(c, 0, 1.0, -2.0, 0.0);
    ratBSplCurveSetPoint(c, 1, 5.0, 1.0, 0.0);
    c->weights[0] = c->weights[1] = 1.0;
    auto diagonal = own(c);
    for (double t : {0.0, 0.3, 0.71, 1.0}) {
        double P[3], T[3], N[3];
        ASSERT_EQ(1, ratBSplSurfCurveFrame(s.get(), diagonal.get(), t, P, T, N));
        EXPECT_LT(distance(ratBSplSurfEvalPoint(s.get(), t, t), P), 1e-12);
        const GeomPoint su = ratBSplSurfEvalDerivU(s.get(), t, t), sv = ratBSplSurfEvalDerivV(s.get(), t, t);
        const double expected[3] = {4.0 * su.x + 3.0 * sv.x, 4.0 * su.y + 3.0 * sv.y, 4.0 * su.z + 3.0 * sv.z};
        EXPECT_LT(vec3Distance(expected, T), 1e-9);
        EXPECT_NEAR(1.0, vec3Length(N), 1e-12);
    }
    double P[3], T[3];
    EXPECT_EQ(0, ratBSplSurfCurvePoint(nullptr, diagonal.get(), 0.5, P, T));
    EXPECT_EQ(0, ratBSplSurfCurvePoint(s.get(), nullptr, 0.5, P, T));
}

TEST_F(CurveOnSurface, ParameterOfAPointWithinTheToleranceOrTheCandidateReach)
{
    auto s = own(makeBicubic8());
    auto arc = own(parameterArc());
    double P[3], T[3], t = -1.0;
    ASSERT_EQ(1, ratBSplSurfCurvePoint(s.get(), arc.get(), 0.0, P, T));
    ASSERT_EQ(1, ratBSplSurfCurveParamOfPoint(s.get(), arc.get(), P, &t));
    EXPECT_EQ(0.0, t);
    ASSERT_EQ(1, ratBSplSurfCurvePoint(s.get(), arc.get(), 1.0, P, T));
    ASSERT_EQ(1, ratBSplSurfCurveParamOfPoint(s.get(), arc.get(), P, &t));
    EXPECT_EQ(2.0, t);
    for (double expected : {0.37, 0.9, 1.55}) {
        ASSERT_EQ(1, ratBSplSurfCurvePoint(s.get(), arc.get(), expected / 2.0, P, T));
        ASSERT_EQ(1, ratBSplSurfCurveParamOfPoint(s.get(), arc.get(), P, &t));
        double Q[3];
        ratBSplSurfCurvePoint(s.get(), arc.get(), t / 2.0, Q, T);
        EXPECT_LT(vec3Distance(P, Q), 1e-4) << expected;
    }
    // Off the image along the surface normal: 0.05 is taken as the nearest
    // candidate, 0.1 is not found.
    ASSERT_EQ(1, ratBSplSurfCurvePoint(s.get(), arc.get(), 0.4, P, T));
    double N[3], frameP[3], frameT[3];
    ratBSplSurfCurveFrame(s.get(), arc.get(), 0.4, frameP, frameT, N);
    double near[3], far[3];
    for (int k = 0; k < 3; ++k) {
        near[k] = P[k] + 0.05 * N[k];
        far[k] = P[k] + 0.1 * N[k];
    }
    EXPECT_EQ(1, ratBSplSurfCurveParamOfPoint(s.get(), arc.get(), near, &t));
    EXPECT_EQ(0, ratBSplSurfCurveParamOfPoint(s.get(), arc.get(), far, &t));
    EXPECT_STREQ("3,10002,8499", geomMessageBuffer);
    // A surface tolerance of 0.01 accepts a point that far at once.
    s->tolerance = 0.01;
    for (int k = 0; k < 3; ++k)
        near[k] = P[k] + 0.009 * N[k];
    EXPECT_EQ(1, ratBSplSurfCurveParamOfPoint(s.get(), arc.get(), near, &t));
    EXPECT_NEAR(0.8, t, 1e-3);
}

TEST_F(CurveOnSurface, CuttingKeepsThePartBetweenTwoPoints)
{
    auto s = own(makeBicubic8());
    RatBSplCurve* arc = parameterArc();
    double A[3], B[3], T[3];
    ratBSplSurfCurvePoint(s.get(), arc, 0.2, A, T);
    ratBSplSurfCurvePoint(s.get(), arc, 0.7, B, T);
    ASSERT_EQ(1, ratBSplSurfCurveCut(s.get(), &arc, B, A));
    auto cut = own(arc);
    double P[3];
    ratBSplSurfCurvePoint(s.get(), cut.get(), 0.0, P, T);
    EXPECT_LT(vec3Distance(P, A), 1e-4);
    ratBSplSurfCurvePoint(s.get(), cut.get(), 1.0, P, T);
    EXPECT_LT(vec3Distance(P, B), 1e-4);
    const double away[3] = {100, 100, 100};
    RatBSplCurve* before = cut.get();
    RatBSplCurve* held = cut.release();
    EXPECT_EQ(0, ratBSplSurfCurveCut(s.get(), &held, A, away));
    EXPECT_EQ(before, held);
    ratBSplCurveFree(held);
}

// Surfaces that hold no span to evaluate, or a domain without width to
// normalise by, are refused rather than read.
TEST_F(CurveProjection, UnusableSurfacesAreRefused)
{
    RatBSplSurf empty;
    ratBSplSurfInit(&empty);
    auto tooFewKnots = own(ratBSplSurfCreate(3, 2, 5, 4));
    auto noWidth = own(makeSurf(2, 2, {3, 3, 3, 3}, {0, 0, 1, 1}, {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}},
                                {1, 1, 1, 1}, 0));
    auto circle = own(greatCircle(3.0));
    auto poly = own(curveref::make(2, {0, 0, 1, 1}, {{0.5, 0.5, 0}, {0.6, 0.5, 0}}));
    double dev = 0.0;
    for (RatBSplSurf* s : {&empty, tooFewKnots.get(), noWidth.get()}) {
        EXPECT_EQ(nullptr, ratBSplSurfProjectCurve(s, circle.get(), 1e-3, &dev, GEOM_NO_START_PARAM,
                                                   GEOM_NO_START_PARAM));
        EXPECT_EQ(nullptr, ratBSplSurfProjectCurveRefined(s, circle.get(), 1e-3, &dev, GEOM_NO_START_PARAM,
                                                          GEOM_NO_START_PARAM));
        EXPECT_EQ(0, ratBSplSurfRepairPoleParams(s, poly.get()));
    }
}

} // namespace
