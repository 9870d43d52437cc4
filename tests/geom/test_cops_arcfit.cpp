// Arc fit of polylines and the arc test of curves: sampled, linearised and
// exact, with the refusals that keep a near-miss from passing as an arc.
#include "curve_ref.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using curveref::CurvePtr;
using curveref::make;
using curveref::own;

const double kO[3] = {0, 0, 0};

// n points on the circle of radius r about the origin from angle a0 to a1.
std::vector<double> arcPoints(double r, double a0, double a1, int n) { return curveref::circlePoints(kO, r, n, a0, a1); }
using curveref::asPoints;

// Curve of rational quadratic arc pieces written by the piece routines.
RatBSplCurve* arcCurve(int pieces, double a0, double a1, double r)
{
    RatBSplCurve* c = ratBSplCurveCreate(3, 3 * pieces + 3);
    const double O[3] = {0, 0, 0}, X[3] = {r, 0, 0}, Y[3] = {0, r, 0};
    arcPiecesByAngles(O, X, Y, a0, a1, pieces, c->points, c->weights, c->knots);
    c->isRational = 1;
    return c;
}

} // namespace

TEST(ArcFit, QuarterAndFullCircles)
{
    ArcFitResult res;
    double dev = -1;
    const auto q = arcPoints(10.0, 0.0, M_PI / 2, 11);
    ASSERT_EQ(1, fitArcToPolyline(asPoints(q), 11, 0.01, 0, 0.01, -1.0, &res, &dev));
    EXPECT_EQ(0, res.kind);
    EXPECT_NEAR(0.0, std::hypot(res.centre[0], res.centre[1]), 1e-9);
    EXPECT_NEAR(1.0, std::fabs(res.normal[2]), 1e-12);
    EXPECT_NEAR(0.0, res.end[0], 1e-9);
    EXPECT_NEAR(10.0, res.end[1], 1e-9);
    EXPECT_NEAR(0.0, dev, 1e-9);

    // A closed circle with its first point repeated: one full turn, end = start.
    const auto full = arcPoints(3.0, 0.0, 2 * M_PI, 21);
    ASSERT_EQ(1, fitArcToPolylineLimit(asPoints(full), 21, 0.01, 0, 0.0, 1000.0, &res));
    EXPECT_NEAR(res.start[0], res.end[0], 1e-12);
    EXPECT_NEAR(res.start[1], res.end[1], 1e-12);
    EXPECT_NEAR(0.0, std::hypot(res.centre[0], res.centre[1]), 1e-9);
}

TEST(ArcFit, Refusals)
{
    ArcFitResult res;
    double dev = 0;
    const auto q = arcPoints(10.0, 0.0, M_PI / 2, 11);
    EXPECT_EQ(0, fitArcToPolyline(asPoints(q), 2, 0.01, 0, 0.01, -1.0, &res, &dev));
    // A straight polyline has no circle.
    std::vector<double> line = {0, 0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0};
    EXPECT_EQ(0, fitArcToPolylineDefault(asPoints(line), 4, 0.01, &res));
    // Beyond the radius limit.
    EXPECT_EQ(0, fitArcToPolyline(asPoints(q), 11, 0.01, 0, 0.01, 5.0, &res, &dev));
    // A point off the circle by more than the tolerance.
    auto bent = q;
    bent[3 * 4 + 1] += 0.05;
    EXPECT_EQ(0, fitArcToPolyline(asPoints(bent), 11, 0.01, 0, 0.01, -1.0, &res, &dev));
    EXPECT_GT(dev, 0.01);
    // Coarse chords: limit 2 sqrt((2r - tol) tol), about 0.89 for r = 10.
    const auto coarse = arcPoints(10.0, 0.0, M_PI / 2, 4);
    EXPECT_EQ(0, fitArcToPolylineDefault(asPoints(coarse), 4, 0.01, &res));
    EXPECT_EQ(1, fitArcToPolylineFlag(asPoints(coarse), 4, 0.01, 0, &res));
    // Along an arc and back: the sweep doubles past a full turn.
    auto out = arcPoints(10.0, 0.0, 1.2 * M_PI, 13);
    auto back = arcPoints(10.0, 1.2 * M_PI, 0.0, 13);
    out.insert(out.end(), back.begin() + 3, back.end());
    EXPECT_EQ(0, fitArcToPolyline(asPoints(out), 25, 0.01, 0, 0.01, -1.0, &res, &dev));
}

TEST(ArcFit, TinyCircleAcceptedAndClosureTolerance)
{
    ArcFitResult res;
    double dev = 0;
    std::vector<double> tiny = arcPoints(0.005, 0.0, M_PI, 5);
    tiny[3 * 1 + 2] = 7.0; // a wild point between the defining ones is not checked
    EXPECT_EQ(1, fitArcToPolyline(asPoints(tiny), 5, 0.01, 0, 0.01, -1.0, &res, &dev));
    EXPECT_DOUBLE_EQ(1e-6, geomSetArcTolerance(0, 0.5));
    EXPECT_DOUBLE_EQ(0.5, geomSetArcTolerance(0, 1e-6));
    EXPECT_DOUBLE_EQ(-1e11, geomSetArcTolerance(1, 3.0));
}

TEST(ArcTest, ExactPiecesOnOneCircle)
{
    ArcFitResult res;
    // Full circle in closed form: four quarter pieces.
    CurvePtr c = own(curveref::circle(2.0, curveref::P(1, 2, 3), 0.0, 1.0));
    ASSERT_EQ(1, ratBSplCurveIsArc(c.get(), &res));
    EXPECT_NEAR(0.0, std::hypot(std::hypot(res.centre[0] - 1, res.centre[1] - 2), res.centre[2] - 3), 1e-9);
    EXPECT_DOUBLE_EQ(res.start[0], res.end[0]);
    EXPECT_DOUBLE_EQ(res.start[1], res.end[1]);
    EXPECT_EQ(1, ratBSplCurveFitArc(c.get(), 0.0, 0, 0.0, 0, -1.0, &res, nullptr));
    // The same circle with one middle weight changed by 1e-6 is no arc, nor
    // with a middle point moved sideways by 1e-6.
    c->weights[4] += 1e-6;
    EXPECT_EQ(0, ratBSplCurveIsArc(c.get(), &res));
    c->weights[4] -= 1e-6;
    c->points[7][0] += 1e-6;
    EXPECT_EQ(0, ratBSplCurveIsArc(c.get(), &res));

    // A quarter circle of two 45 degree pieces sharing their end point.
    const double R = 5.0, h = std::sqrt(0.5), t = std::tan(M_PI / 8), w = std::cos(M_PI / 8);
    c = own(make(3, {0, 0, 0, 1, 1, 2, 2, 2},
                 {{R, 0, 0}, {R, R * t, 0}, {R * h, R * h, 0}, {R * h - R * t * h, R * h + R * t * h, 0}, {0, R, 0}},
                 {1, w, 1, w, 1}));
    ASSERT_EQ(1, ratBSplCurveIsArc(c.get(), &res));
    EXPECT_NEAR(0.0, res.end[0], 1e-12);
    EXPECT_NEAR(R, res.end[1], 1e-12);
    // An order-2 curve is refused at once.
    EXPECT_EQ(0, ratBSplCurveIsArc(own(ratBSplCurveCreate(2, 4)).get(), &res));

    // Two quarter arcs with a common end point (5, 0) but radii 5 and 3.
    c = own(make(3, {0, 0, 0, 1, 1, 1, 2, 2, 2}, {}));
    const double O1[3] = {0, 0, 0}, X1[3] = {0, 5, 0}, Y1[3] = {5, 0, 0};
    ellipseArcToConicPiece(O1, X1, Y1, X1, Y1, c->points, c->weights);
    const double O2[3] = {8, 0, 0}, X2[3] = {-3, 0, 0}, Y2[3] = {0, -3, 0}, B2[3] = {8, -3, 0};
    ellipseArcToConicPiece(O2, X2, Y2, Y1, B2, c->points + 3, c->weights + 3);
    EXPECT_EQ(0, ratBSplCurveIsArc(c.get(), &res));
}

TEST(ArcTest, SampledAndLinearisedBranches)
{
    ArcFitResult res;
    double dev = 0;
    CurvePtr owned = own(arcCurve(3, 0.2, 2.0, 7.0));
    RatBSplCurve* arc = owned.get();
    ASSERT_EQ(1, ratBSplCurveFitArc(arc, 0.01, 20, 0.0, 0, 100000.0, &res, &dev));
    EXPECT_NEAR(0.0, std::hypot(res.centre[0], res.centre[1]), 1e-6);
    // The samples run from end to end of the curve.
    EXPECT_NEAR(7.0 * std::cos(0.2), res.start[0], 1e-9);
    EXPECT_NEAR(7.0 * std::sin(2.0), res.end[1], 1e-9);
    EXPECT_EQ(1, ratBSplCurveFitArc(arc, 0.01, 0, 0.0, 1, 100000.0, &res, &dev));
    EXPECT_NEAR(7.0 * std::cos(2.0), res.end[0], 1e-9);
    EXPECT_EQ(1, ratBSplCurveFitArcSampled(arc, 0.01, &res));
    EXPECT_EQ(1, ratBSplCurveFitArcLinearized(arc, 0.01, &res));
    // One or two samples cannot make an arc (and ask for no 0 / 0).
    EXPECT_EQ(0, ratBSplCurveFitArc(arc, 0.01, 1, 0.0, 0, -1.0, &res, &dev));
    EXPECT_EQ(0, ratBSplCurveFitArc(arc, 0.01, 2, 0.0, 0, -1.0, &res, &dev));

    // A straight edge is no arc.
    CurvePtr line = own(make(2, {0, 0, 1, 1}, {{0, 0, 0}, {10, 0, 0}}));
    EXPECT_EQ(0, ratBSplCurveFitArc(line.get(), 0.01, 20, 0.0, 0, 100000.0, &res, &dev));

    // Linearising an order-2 curve copies it: 5 points are too few, 6 fit.
    for (int n : {5, 6}) {
        std::vector<double> knots = {0};
        std::vector<std::vector<double>> points;
        for (int i = 0; i < n; ++i) {
            knots.push_back(i);
            points.push_back({4 * std::cos(0.3 * i), 4 * std::sin(0.3 * i), 0});
        }
        knots.push_back(n - 1);
        CurvePtr pl = own(make(2, knots, points));
        EXPECT_EQ(n == 6 ? 1 : 0, ratBSplCurveFitArc(pl.get(), 0.01, 0, 0.0, 0, -1.0, &res, &dev)) << n;
    }
}

TEST(ArcTest, ConicPieceOfDegenerateAxesIsTheCentre)
{
    GeomVec3 p[3];
    double w[3];
    const double O[3] = {0, 0, 0}, X[3] = {1, 0, 0}, Y[3] = {0, 1, 0}, Z[3] = {0, 0, 0};
    ellipseArcToConicPiece(O, X, Z, X, Y, p, w);
    EXPECT_EQ(0.0, p[1][0]);
    EXPECT_EQ(1.0, w[1]);
}
