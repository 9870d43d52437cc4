// Point inversion: nearest points on exact shapes and free-form nets, from
// given and missing starts, and the inverter's monotone steps.
#include "surf_nets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

using namespace surftest;

const double kNone = GEOM_NO_START_PARAM;

GeomPoint nearestOf(const PointInverter* inv) { return GeomPoint{inv->nearest[0], inv->nearest[1], inv->nearest[2]}; }

int search(PointInverter* inv, double du, double dv)
{
    return pointInverterLineSearch(inv, stepFractions, stepScales, stepFractionsCount,
                                   stepScalesCount, du, dv);
}

using InvPtr = std::unique_ptr<PointInverter, void (*)(PointInverter*)>;
InvPtr inverter() { return InvPtr(pointInverterCreate(), pointInverterFree); }

struct Result {
    int status;
    double u, v, d;
    int state;
};

Result invert(RatBSplSurf* s, GeomPoint p, double su, double sv, double tol = 0.01,
              bool byForm = false, int state = 0)
{
    Result r{0, -7, -7, -7, state};
    r.status = byForm ? ratBSplSurfInvertPointByForm(s, p, su, sv, tol, &r.u, &r.v, &r.state, &r.d)
                      : ratBSplSurfInvertPoint(s, p, su, sv, tol, &r.u, &r.v, &r.state, &r.d);
    return r;
}

TEST(InvertPoint, StartValuesAreKnotValuesAndAStateDiscardsThem)
{
    // Knot domains [1, 5] in u and [-1, 3] in v: a point on the surface at
    // the given start ends the search before its first step, so the start
    // comes back as it was normalised.
    SurfPtr cyl = own(makeCylinder(10, 0, 20, 1, 5, -1, 3));
    const GeomPoint on = ratBSplSurfEvalPoint(cyl.get(), 0.5, 0.75);
    Result r = invert(cyl.get(), on, 3.0, 2.0);
    EXPECT_EQ(0.5, r.u);
    EXPECT_EQ(0.75, r.v);
    EXPECT_EQ(0.0, r.d);
    // Round the tube of a torus a start off by a quarter would not land exactly.
    SurfPtr torus = own(makeTorus(5, 1, 1, 5, -1, 3));
    r = invert(torus.get(), ratBSplSurfEvalPoint(torus.get(), 0.5, 0.75), 3.0, 2.0);
    EXPECT_EQ(0.5, r.u);
    EXPECT_EQ(0.75, r.v);
    // The knot value 3 in u is the far side of this point, a critical point
    // that holds the steps: the search goes on from its own start grid.
    r = invert(cyl.get(), GeomPoint{-15.0, 0.0, 6.0}, 3.0, 0.5);
    EXPECT_NEAR(5.0, r.d, 1e-9);
    EXPECT_NEAR(0.3, r.v, 1e-9);
    // A non-zero state makes the search ignore the given start for its grid.
    r = invert(cyl.get(), on, 3.0, 2.0, 0.01, false, 1);
    EXPECT_NEAR(0.0, r.d, 1e-9);
    EXPECT_NE(0.5, r.u);
}

TEST(InvertPoint, NonFiniteArgumentsNeverGiveNaN)
{
    SurfPtr cyl = own(makeCylinder(10, 0, 20, 0, 4, -1, 3));
    const GeomPoint on = ratBSplSurfEvalPoint(cyl.get(), 0.3, 0.4);
    const GeomPoint off{on.x * 1.06, on.y * 1.06, on.z};  // 0.6 outside
    // A NaN tolerance searches to the default goal.
    EXPECT_LE(invert(cyl.get(), on, 0.0, 0.0, std::nan("")).d, 1e-5);
    // Starts that are no finite number search from the start grid.
    for (double start : {1e308, HUGE_VAL, -HUGE_VAL, std::nan("")}) {
        Result r = invert(cyl.get(), on, start, 0.0);
        EXPECT_EQ(0, r.status);
        EXPECT_LE(r.d, 1e-5) << start;
        EXPECT_TRUE(std::isfinite(r.u) && std::isfinite(r.v)) << start;
        r = invert(cyl.get(), off, 0.0, start, 0.01, true);
        EXPECT_NEAR(0.6, r.d, 1e-6) << start;
        EXPECT_TRUE(std::isfinite(r.u) && std::isfinite(r.v)) << start;
    }
    // A point without coordinates is refused, nothing written.
    const Result r = invert(cyl.get(), GeomPoint{std::nan(""), 0, 0}, 0.0, 0.0);
    EXPECT_EQ(-1, r.status);
    EXPECT_EQ(-7.0, r.d);
}

TEST(InvertPoint, ByFormSearchesClosedDirectionsAsPeriodicAndRestoresTheFlags)
{
    SurfPtr t = own(makeTorus(5, 1, 2, 6, -1, 3));
    t->periodicu = 0;
    t->periodicv = 1;  // deliberately different from the form flags
    for (double a : {0.3, 2.0, 4.1}) {
        const GeomPoint p{6.5 * std::cos(a), 6.5 * std::sin(a), 0.4};
        const Result r = invert(t.get(), p, knotU(t.get(), 0.1), knotV(t.get(), 0.9), 0.01, true);
        EXPECT_EQ(0, r.status);
        EXPECT_NEAR(std::hypot(1.5, 0.4) - 1.0, r.d, 1e-6);
        EXPECT_EQ(0, t->periodicu);
        EXPECT_EQ(1, t->periodicv);
    }
}

TEST(InvertPoint, RefusedSurfacesAndArguments)
{
    double u = -7, v = -7, d = -7;
    int state = 0;
    EXPECT_EQ(-1, ratBSplSurfInvertPoint(nullptr, GeomPoint{0, 0, 0}, 0, 0, 0.01, &u, &v, &state, &d));
    EXPECT_EQ(-7.0, u);
    // A knot domain without width would divide by zero when the start is
    // normalised and in every step.
    SurfPtr s = own(makeSurf(2, 2, {3, 3, 3, 3}, {0, 0, 1, 1},
                             {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}}, {1, 1, 1, 1}, 0));
    const GeomPoint p{0, 0, 1};
    EXPECT_EQ(-1, invert(s.get(), p, 3, 0).status);
    const Result r = invert(s.get(), p, kNone, kNone, 0.01, true);
    EXPECT_EQ(-1, r.status);
    EXPECT_EQ(-7.0, r.d);
    InvPtr inv = inverter();
    state = 5;
    EXPECT_EQ(0, pointInverterSurfStart(inv.get(), s.get(), kNone, kNone, p, &state));
    EXPECT_EQ(5, state);
    EXPECT_EQ(0, pointInverterSurfStart(inv.get(), nullptr, 0, 0, p, &state));
    EXPECT_EQ(0, pointInverterSurfStart(nullptr, s.get(), 0, 0, p, &state));
    EXPECT_EQ(0, pointInverterSurfStep(nullptr, &state));
    EXPECT_EQ(0, state);
    EXPECT_EQ(0, search(nullptr, 1, 1));
    pointInverterFree(nullptr);
}

TEST(PointInverter, GridStartPicksTheFirstNearestSample)
{
    // The grid start must pick the sample that measuring every sample with
    // the evaluator picks, the first of equal distances included: on the
    // axis of a cylinder every sample of a grid row ties, at the centre of a
    // sphere all of them do. dist rounds as the inverter does, so ties are exact.
    SurfPtr surfaces[] = {own(makeRational20()), own(makeCylinder(10, 0, 20, 0, 4, -1, 3)),
                          own(makeSphere(2, -3, 1, 10, 12)), own(makeWavy(5, 3, 9, 7))};
    const GeomPoint points[] = {{0, 0, 7}, {0.3, -2, 1}, {5, 5, -5}, {1e-3, 2e-3, 0}};
    InvPtr inv = inverter();
    for (const SurfPtr& s : surfaces) {
        const int nu = 2 * std::max(s->noPointsu, 10), nv = 2 * std::max(s->noPointsv, 10);
        for (const GeomPoint& p : points) {
            double best = 1e10, bu = 0, bv = 0;
            for (int i = 0; i < nu; ++i)
                for (int j = 0; j < nv; ++j) {
                    const double u = double(i) / (nu - 1), v = double(j) / (nv - 1);
                    const double d = dist(p, ratBSplSurfEvalPoint(s.get(), u, v));
                    if (d < best)
                        best = d, bu = u, bv = v;
                }
            int state = 0;
            ASSERT_EQ(1, pointInverterSurfStart(inv.get(), s.get(), kNone, kNone, p, &state));
            if (state == 0) {  // no pole escape moved it
                EXPECT_EQ(best, inv->distance);
                EXPECT_EQ(bu, inv->bestU);
                EXPECT_EQ(bv, inv->bestV);
            }
        }
    }
}

TEST(PointInverter, StartGridStepsAndLineSearchNeverWorsen)
{
    SurfPtr s = own(makeRational20());
    InvPtr inv = inverter();
    EXPECT_EQ(1e10, inv->distance);

    // A grid sample: exactly on the surface at the start.
    const int n = 2 * s->noPointsu;  // 24 knots: 48 samples in each direction
    const GeomPoint sample = ratBSplSurfEvalPoint(s.get(), 5.0 / (n - 1), 17.0 / (n - 1));
    int state = -3;
    ASSERT_EQ(1, pointInverterSurfStart(inv.get(), s.get(), kNone, 0.5, sample, &state));
    EXPECT_EQ(0.0, inv->distance);
    EXPECT_EQ(inv->distance, inv->startDistance);
    EXPECT_EQ(5.0 / (n - 1), inv->bestU);
    EXPECT_EQ(17.0 / (n - 1), inv->bestV);
    EXPECT_EQ(0, state);
    EXPECT_EQ(0, search(inv.get(), 0.1, 0.1));  // nothing is strictly nearer than 0

    const GeomPoint off{sample.x + 0.3, sample.y - 0.2, sample.z + 0.7};
    ASSERT_EQ(1, pointInverterSurfStart(inv.get(), s.get(), 0.2, 0.3, off, &state));
    double last = inv->distance;
    EXPECT_EQ(inv->startDistance, last);
    for (int k = 0; k < 20; ++k) {
        const int r = pointInverterSurfStep(inv.get(), &state);
        EXPECT_TRUE(r == 1 ? inv->distance < last : (r == 0 ? inv->distance == last : inv->distance <= last));
        EXPECT_TRUE(inv->u == inv->bestU && inv->v == inv->bestV);
        EXPECT_NEAR(inv->distance, dist(off, nearestOf(inv.get())), 1e-12);
        last = inv->distance;
        if (r <= 0)
            break;
    }
    EXPECT_LT(inv->distance, inv->startDistance);
}

TEST(PointInverter, LineSearchClampsOpenDirectionsAndWrapsClosedOnes)
{
    SurfPtr b = own(makeBicubic8());
    InvPtr inv = inverter();
    // Target beyond the u = 1 edge: a step past it is evaluated on the edge.
    const GeomPoint edge = ratBSplSurfEvalPoint(b.get(), 1.0, 0.5);
    int state = 0;
    pointInverterSurfStart(inv.get(), b.get(), 0.9, 0.5, GeomPoint{edge.x + 5.0, edge.y, edge.z}, &state);
    EXPECT_EQ(1, search(inv.get(), 0.3, 0.0));
    EXPECT_EQ(1.0, inv->bestU);
    EXPECT_EQ(0.5, inv->bestV);

    // Round a closed-form cylinder a step past u = 1 is kept as given and
    // evaluated wrapped.
    SurfPtr c = own(makeCylinder(10, 0, 20, 0, 4, -1, 3));
    pointInverterSurfStart(inv.get(), c.get(), 0.95, 0.5, ratBSplSurfEvalPoint(c.get(), 0.05, 0.5), &state);
    EXPECT_EQ(1, search(inv.get(), 0.1, 0.0));
    EXPECT_NEAR(1.05, inv->bestU, 1e-12);
    EXPECT_NEAR(0.0, inv->distance, 1e-9);
}

TEST(PointInverter, GridStartOnACollapsedEdgeMovesOffIt)
{
    // Near the south pole of a sphere every sample of the first grid column
    // is the pole; the state reports the vanishing u derivative.
    SurfPtr s = own(makeSphere(2, -3, 1, 10, 12));
    InvPtr inv = inverter();
    int state = 0;
    const GeomPoint below{0.05, 0.0, -2.5};
    ASSERT_EQ(1, pointInverterSurfStart(inv.get(), s.get(), kNone, kNone, below, &state));
    EXPECT_EQ(2, state);
    // Farther than 0.01 from the pole: the scan 0.01 off it found better.
    EXPECT_LT(inv->distance, std::hypot(0.05, 0.5) - 1e-4);
    EXPECT_NEAR(0.01, inv->bestV, 1e-15);
    EXPECT_EQ(inv->distance, inv->startDistance);
    // Within 0.01 of the pole the grid point and the state stay.
    ASSERT_EQ(1, pointInverterSurfStart(inv.get(), s.get(), kNone, kNone, GeomPoint{0, 0, -2.005}, &state));
    EXPECT_EQ(2, state);
    EXPECT_EQ(0.0, inv->bestV);
    EXPECT_NEAR(0.005, inv->distance, 1e-12);
    // From a missing start the search still ends at the true distance.
    EXPECT_NEAR(std::sqrt(0.05 * 0.05 + 2.5 * 2.5) - 2.0, invert(s.get(), below, kNone, kNone).d, 1e-6);
}

TEST(PointInverter, FailedFarRescueKeepsTheBestParameters)
{
    // S = (u + v, 0.1 u v, 0): Su and Sv are nearly parallel near u = v, so
    // the step first moves off diagonally, finds no Newton update there and,
    // far from the surface on a periodic direction, tries a third of a period
    // in vain. The best point found must keep its own parameters.
    SurfPtr s = own(makeQuad({0, 0, 0}, {1, 0, 0}, {1, 0, 0}, {2, 0.1, 0}));
    s->periodicu = 1;
    const GeomPoint foot = ratBSplSurfEvalPoint(s.get(), 0.499, 0.501);
    InvPtr inv = inverter();
    int state = 0;
    pointInverterSurfStart(inv.get(), s.get(), 0.499, 0.501, GeomPoint{foot.x, foot.y, 1.0}, &state);
    EXPECT_EQ(1.0, inv->distance);
    EXPECT_EQ(-1, pointInverterSurfStep(inv.get(), &state));
    EXPECT_EQ(1.0, inv->distance);
    EXPECT_EQ(0.499, inv->bestU);
    EXPECT_EQ(0.501, inv->bestV);
}

TEST(PointInverter, PeriodicStepsAreCutToAThirdAndRetriedHalfAPeriodAway)
{
    // Round a cylinder of radius 10 over the u knots [0, 4], a point 30 from
    // the axis just below the x axis; from u = 0.25 the Newton update is
    // about -2.1 knots, beyond a third of the period.
    SurfPtr c = own(makeCylinder(10, 0, 20, 0, 4, -1, 3));
    const GeomPoint q = ratBSplSurfEvalPoint(c.get(), 0.25, 0.5);
    const GeomPoint p{30.0 * std::cos(0.05), -30.0 * std::sin(0.05), q.z};
    InvPtr inv = inverter();
    int state = 0;
    for (int periodic : {1, 0}) {  // the closed form alone does not cut
        c->periodicu = periodic;
        pointInverterSurfStart(inv.get(), c.get(), 0.25, 0.5, p, &state);
        EXPECT_EQ(1, pointInverterSurfStep(inv.get(), &state));
        EXPECT_EQ(periodic == 1, std::fabs(inv->bestU - (0.25 - 1.0 / 3.0)) < 1e-12) << periodic;
    }

    // Converged on the far side (u = 0.5) of a point 100 from the axis, the
    // step retries half a period away, where the distance is 90 of 110: not
    // clearly nearer (below 0.75 times), so the far point is kept; from 15
    // off the axis, 5 of 25 is.
    c->periodicu = 1;
    inv = inverter();
    pointInverterSurfStart(inv.get(), c.get(), 0.5, 0.5, GeomPoint{100.0, 0.0, q.z}, &state);
    EXPECT_EQ(-1, pointInverterSurfStepHalfPeriod(inv.get(), &state));
    EXPECT_NEAR(110.0, inv->distance, 1e-9);
    EXPECT_EQ(0.5, inv->bestU);
    pointInverterSurfStart(inv.get(), c.get(), 0.5, 0.5, GeomPoint{15.0, 0.0, q.z}, &state);
    EXPECT_EQ(1, pointInverterSurfStepHalfPeriod(inv.get(), &state));
    EXPECT_NEAR(5.0, inv->distance, 1e-9);
}

TEST(PointInverter, MovesOffACollapsedEdgeKeepTheDistanceOfTheirParameters)
{
    // A cone swept 300 degrees about z whose record says its sweep closes:
    // its ends differ. At the apex (u = 0) moving v moves nothing, so the
    // step searches along u from the start at the end v = 1; bringing v back
    // into the domain must not take the parameters to v = 0, another point.
    RatBSplCurve* line = ratBSplCurveFromLine(GeomPoint{0, 0, 0}, GeomPoint{5, 0, 5});
    const double P[3] = {0, 0, 0}, A[3] = {0, 0, 1};
    SurfPtr cone = own(ratBSplSurfRevolveCurveArc(P, A, line, 0.0, 300.0 * M_PI / 180.0));
    ratBSplCurveFree(line);
    ASSERT_NE(nullptr, cone);
    cone->origFormv = 2;
    // The same with the directions exchanged: the apex at v = 0, the sweep in u.
    SurfPtr transposed = own(ratBSplSurfTranspose(cone.get()));
    for (RatBSplSurf* s : {cone.get(), transposed.get()}) {
        const bool swapped = s == transposed.get();
        const GeomPoint p = ratBSplSurfEvalPoint(s, swapped ? 0.95 : 0.1, swapped ? 0.1 : 0.95);
        InvPtr inv = inverter();
        int state = 0;
        ASSERT_EQ(1, pointInverterSurfStart(inv.get(), s, swapped ? 1.0 : 0.0, swapped ? 0.0 : 1.0, p, &state));
        EXPECT_EQ(swapped ? 2 : 1, state);
        EXPECT_EQ(1, pointInverterSurfStep(inv.get(), &state));
        EXPECT_NEAR(inv->distance, dist(p, ratBSplSurfEvalPoint(s, inv->bestU, inv->bestV)), 1e-12) << swapped;
    }
}

// An inverter whose start phase never ran has no surface to step on; tables
// or a state pointer that are missing are refused or done without.
TEST(PointInverter, MissingSurfaceTablesOrStateAreRefused)
{
    InvPtr inv = inverter();
    int state = 7;
    EXPECT_EQ(0, pointInverterSurfStep(inv.get(), &state));
    EXPECT_EQ(0, state);
    EXPECT_EQ(0, pointInverterSurfStepHalfPeriod(inv.get(), &state));
    EXPECT_EQ(0, search(inv.get(), 1, 1));

    SurfPtr s = own(makeBicubic8());
    const GeomPoint p = ratBSplSurfEvalPoint(s.get(), 0.3, 0.6);
    EXPECT_EQ(1, pointInverterSurfStart(inv.get(), s.get(), 0.5, 0.5, GeomPoint{p.x, p.y, p.z + 0.1}, nullptr));
    const double before = inv->distance;
    EXPECT_EQ(0, pointInverterLineSearch(inv.get(), nullptr, stepScales, stepFractionsCount, stepScalesCount, 1, 1));
    EXPECT_EQ(0, pointInverterLineSearch(inv.get(), stepFractions, nullptr, stepFractionsCount, stepScalesCount, 1, 1));
    EXPECT_EQ(before, inv->distance);
    EXPECT_EQ(1, pointInverterSurfStep(inv.get(), nullptr));
    EXPECT_LT(inv->distance, before);
    double u = -1, v = -1, d = -1;
    EXPECT_EQ(0, ratBSplSurfInvertPoint(s.get(), p, 0.0, 0.0, 0.01, &u, &v, nullptr, &d));
    EXPECT_LT(d, 1e-5);
}

}  // namespace
