// Curve linearisers: polylines whose densely measured chord deviation stays
// within the tolerance, corners kept, degenerate deviations and failing
// callbacks handled, and the caller's curve left as it was.
#include "geom/geom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// A rational quadratic circle of radius r about the origin in closed form:
// four quarter pieces with their own control points.
RatBSplCurve* makeCircle(double r, double knotScale = 1.0)
{
    RatBSplCurve* c = ratBSplCurveCreate(3, 15);
    const double O[3] = {0, 0, 0}, X[3] = {r, 0, 0}, Y[3] = {0, r, 0};
    fullCircleFourPieces(O, X, Y, c->points, c->weights, c->knots);
    for (int i = 0; i < 15; ++i)
        c->knots[i] = c->knots[i] * knotScale / (6.0 * r) + 3.0; // domain [3, 3 + knotScale]
    c->isRational = 1;
    c->origForm = 2;
    return c;
}

// A cubic with a corner: two Bezier pieces meeting at a knot of multiplicity 3.
RatBSplCurve* makeCornerCubic()
{
    RatBSplCurve* c = ratBSplCurveCreate(4, 11);
    const double k[11] = {0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 2};
    const double p[7][3] = {{0, 0, 0}, {1, 1, 0}, {2, 1, 0}, {3, 0, 0}, {3, 1, 0}, {4, 2, 0}, {3, 3, 0}};
    for (int i = 0; i < 11; ++i) {
        c->knots[i] = k[i];
        c->weights[i] = 1.0;
    }
    for (int i = 0; i < 7; ++i)
        ratBSplCurveSetPoint(c, i, p[i][0], p[i][1], p[i][2]);
    return c;
}

// Largest distance of densely sampled curve points from the polyline.
double denseDeviation(RatBSplCurve* curve, const RatBSplCurve* poly)
{
    const int n = poly->noPoints - 2;
    double worst = 0.0;
    for (int s = 0; s <= 5000; ++s) {
        const GeomPoint q = ratBSplCurveEvalPoint(curve, s / 5000.0);
        const double p[3] = {q.x, q.y, q.z};
        double best = 1e300;
        for (int i = 0; i + 1 < n; ++i) {
            const double* a = poly->points[i];
            const double* b = poly->points[i + 1];
            const double d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            const double dd = d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
            double f = dd > 0 ? ((p[0] - a[0]) * d[0] + (p[1] - a[1]) * d[1] + (p[2] - a[2]) * d[2]) / dd : 0.0;
            f = std::fmin(1.0, std::fmax(0.0, f));
            const double e = std::hypot(std::hypot(p[0] - a[0] - f * d[0], p[1] - a[1] - f * d[1]),
                                        p[2] - a[2] - f * d[2]);
            best = std::fmin(best, e);
        }
        worst = std::fmax(worst, best);
    }
    return worst;
}

int circleCallback(void* ctx, double t, double* out)
{
    const double r = *static_cast<double*>(ctx);
    out[0] = r * std::cos(2 * M_PI * t);
    out[1] = r * std::sin(2 * M_PI * t);
    out[2] = 0.0;
    return 0;
}

int failingCallback(void*, double t, double* out)
{
    out[0] = t;
    out[1] = 1.0;
    out[2] = 1.0;
    return t > 0.4 && t < 0.6 ? 1 : 0;
}

double nanDeviation(CurveLinearizer*, double, const double*, double, const double*, int) { return std::nan(""); }
double infDeviation(CurveLinearizer*, double, const double*, double, const double*, int) { return HUGE_VAL; }

double* straightEvaluator(double* out, double t)
{
    out[0] = 5.0 * t;
    out[1] = 2.0;
    out[2] = -1.0;
    return out;
}

} // namespace

TEST(CurveLinearize, CircleChordsStayWithinTolerance)
{
    RatBSplCurve* circle = makeCircle(10.0);
    for (double tol : {0.1, 0.01, 0.001}) {
        double dev = -1.0;
        RatBSplCurve* poly = nurbCurveLinearize(circle, tol, &dev);
        ASSERT_NE(nullptr, poly);
        EXPECT_EQ(2, poly->ord);
        EXPECT_LE(dev, tol);
        EXPECT_GT(poly->noPoints - 2, 5);
        // Every point lies on the circle, first and last meet.
        for (int i = 0; i < poly->noPoints - 2; ++i)
            EXPECT_NEAR(10.0, std::hypot(poly->points[i][0], poly->points[i][1]), 1e-9);
        EXPECT_NEAR(0.0, poly->points[0][1] - poly->points[poly->noPoints - 3][1], 1e-9);
        EXPECT_LE(denseDeviation(circle, poly), tol * 1.01);
        // The knots are the point indices.
        EXPECT_DOUBLE_EQ(0.0, poly->knots[0]);
        EXPECT_DOUBLE_EQ(poly->noPoints - 3, poly->knots[poly->noPoints - 1]);
        ratBSplCurveFree(poly);
    }
    ratBSplCurveFree(circle);
}

TEST(CurveLinearize, StraightAndPolylineCurves)
{
    // A straight quadratic: one chord, no pass.
    RatBSplCurve* line = ratBSplCurveCreate(3, 6);
    const double k[6] = {0, 0, 0, 1, 1, 1};
    for (int i = 0; i < 6; ++i) {
        line->knots[i] = k[i];
        line->weights[i] = 1.0;
    }
    ratBSplCurveSetPoint(line, 0, 0, 0, 0);
    ratBSplCurveSetPoint(line, 1, 1, 1, 1);
    ratBSplCurveSetPoint(line, 2, 2, 2, 2);
    double dev = -1.0;
    RatBSplCurve* poly = nurbCurveLinearize(line, 0.001, &dev);
    ASSERT_NE(nullptr, poly);
    EXPECT_EQ(4, poly->noPoints);
    EXPECT_DOUBLE_EQ(0.0, poly->knots[1]);
    EXPECT_DOUBLE_EQ(1.0, poly->knots[2]);
    EXPECT_NEAR(0.0, dev, 1e-12);
    ratBSplCurveFree(poly);
    ratBSplCurveFree(line);

    // An order-2 curve comes back as a copy with deviation 0.
    RatBSplCurve* pl = ratBSplCurveCreate(2, 5);
    const double k2[5] = {0, 0, 1, 2, 2};
    for (int i = 0; i < 5; ++i)
        pl->knots[i] = k2[i];
    ratBSplCurveSetPoint(pl, 1, 1, 2, 3);
    dev = -1.0;
    poly = nurbCurveLinearize(pl, 0.01, &dev);
    ASSERT_NE(nullptr, poly);
    EXPECT_NE(pl, poly);
    EXPECT_EQ(5, poly->noPoints);
    EXPECT_DOUBLE_EQ(2.0, poly->points[1][1]);
    EXPECT_DOUBLE_EQ(0.0, dev);
    ratBSplCurveFree(poly);
    ratBSplCurveFree(pl);
    EXPECT_EQ(nullptr, nurbCurveLinearize(nullptr, 0.01, &dev));
}

TEST(CurveLinearize, CornerGetsAPolylinePoint)
{
    RatBSplCurve* c = makeCornerCubic();
    double dev = 0.0;
    RatBSplCurve* poly = nurbCurveLinearize(c, 0.01, &dev);
    ASSERT_NE(nullptr, poly);
    bool corner = false;
    for (int i = 0; i < poly->noPoints - 2; ++i)
        corner |= std::hypot(poly->points[i][0] - 3.0, poly->points[i][1]) < 1e-12;
    EXPECT_TRUE(corner);
    EXPECT_LE(dev, 0.01);
    EXPECT_LE(denseDeviation(c, poly), 0.0101);
    ratBSplCurveFree(poly);
    ratBSplCurveFree(c);
}

TEST(CurveLinearize, ScaledVariantRescalesTheCallersKnots)
{
    // A circle on the short knot domain [3, 3.01]: the scaled lineariser
    // rescales the caller's knots by the length ratio and leaves them so.
    RatBSplCurve* circle = makeCircle(10.0, 0.01);
    std::vector<double> knots(circle->knots, circle->knots + circle->noPoints);
    double ratio = 0.0;
    ratBSplCurveLengthRatio(circle, &ratio);
    ASSERT_GT(ratio, 1.0);
    double dev = -1.0;
    RatBSplCurve* poly = nurbCurveLinearizeScaled(circle, 0.01, &dev);
    ASSERT_NE(nullptr, poly);
    EXPECT_LE(dev, 0.01);
    EXPECT_LE(denseDeviation(circle, poly), 0.0101);
    for (int i = 0; i < circle->noPoints; ++i)
        EXPECT_DOUBLE_EQ(knots[i] * ratio, circle->knots[i]);
    ratBSplCurveFree(poly);
    ratBSplCurveFree(circle);
}

TEST(CurveLinearize, EvaluatorsAndCallbacks)
{
    double dev = -1.0;
    double r = 4.0;
    RatBSplCurve* poly = linearizeCallback(&r, circleCallback, chordDeviation, 0.001, &dev);
    ASSERT_NE(nullptr, poly);
    EXPECT_LE(dev, 0.001);
    for (int i = 0; i < poly->noPoints - 2; ++i)
        EXPECT_NEAR(4.0, std::hypot(poly->points[i][0], poly->points[i][1]), 1e-12);
    ratBSplCurveFree(poly);
    // The callback slot is cleared afterwards.
    double p[3] = {9, 9, 9};
    callbackEvalCurrent(p, 0.5);
    EXPECT_EQ(0.0, p[0]);

    // A callback that fails somewhere gives no polyline rather than one that
    // runs through the origin.
    EXPECT_EQ(nullptr, linearizeCallback(&r, failingCallback, chordDeviation, 0.001, &dev));
    EXPECT_EQ(nullptr, linearizeCallback(nullptr, circleCallback, chordDeviation, 0.001, &dev));

    // A straight evaluator: the deviation is exactly 0, which must neither
    // reach a logarithm nor split anything.
    poly = linearizeEvaluatorDefault(straightEvaluator, 0.001, &dev);
    ASSERT_NE(nullptr, poly);
    EXPECT_EQ(4, poly->noPoints);
    EXPECT_EQ(0.0, dev);
    ratBSplCurveFree(poly);
    EXPECT_EQ(nullptr, linearizeEvaluator(nullptr, chordDeviation, 0.1, &dev));
}

TEST(CurveLinearize, CapacityToleranceFloorAndUnusableDeviations)
{
    // With capacity 1000 a tolerance of 1e-9 on a big circle cannot be met:
    // the polyline gathered so far comes back and the miss is reported.
    const int lastError = geomLastError;
    double r = 1000.0;
    double dev = 0.0;
    RatBSplCurve* poly = linearizeCallback(&r, circleCallback, chordDeviation, 1e-9, &dev);
    ASSERT_NE(nullptr, poly);
    EXPECT_GT(dev, 1e-9);
    EXPECT_LT(poly->noPoints - 2, 1000);
    EXPECT_EQ(lastError, geomLastError);
    ratBSplCurveFree(poly);

    // A tolerance below 1e-7 is used as 1e-7 for marking.
    CurveLinearizer* lin = curveLinearizerCreate(50);
    ASSERT_NE(nullptr, lin);
    ASSERT_EQ(1, curveLinearizerStart(lin, straightEvaluator, chordDeviation, 1e-12));
    EXPECT_DOUBLE_EQ(1e-7, lin->tolerance);
    EXPECT_EQ(2, lin->count);
    EXPECT_LT(lin->insertCount[0], 0); // a zero deviation asks for a new measurement
    curveLinearizerFree(lin);
    EXPECT_EQ(nullptr, curveLinearizerCreate(0));

    // A deviation that cannot be measured never counts as a tolerance met.
    for (CurveDeviationFn fn : {nanDeviation, infDeviation}) {
        dev = 0.0;
        poly = linearizeEvaluator(straightEvaluator, fn, 0.01, &dev);
        ASSERT_NE(nullptr, poly);
        EXPECT_FALSE(dev <= 0.01) << dev;
        ratBSplCurveFree(poly);
    }
}

TEST(CurveLinearize, ScaledSeedingMeasuresDerivativesOnTheRescaledKnots)
{
    // A double knot where the derivative grows by 1 %: a difference of 0.04
    // on the knot domain [0, 1], of 0.04 / ratio once the knots carry the
    // curve's length (ratio about 4.6) per unit: below the tolerance 0.01.
    RatBSplCurve* c = ratBSplCurveCreate(3, 8);
    const double k[8] = {0, 0, 0, 0.5, 0.5, 1, 1, 1};
    const double p[5][3] = {{0, 0, 0}, {1, 1, 0}, {2, 1, 0}, {3.01, 1, 0}, {4, 0, 0}};
    for (int i = 0; i < 8; ++i) {
        c->knots[i] = k[i];
        c->weights[i] = 1.0;
    }
    for (int i = 0; i < 5; ++i)
        ratBSplCurveSetPoint(c, i, p[i][0], p[i][1], p[i][2]);
    double ratio = 0.0;
    ratBSplCurveLengthRatio(c, &ratio);
    ASSERT_GT(0.04 / ratio, 0.0);
    ASSERT_LT(0.04 / ratio, 0.01);
    RatBSplCurve* rescaled = ratBSplCurveCopy(c);
    ratBSplCurveScaleKnots(rescaled, ratio);

    auto seeded = [](RatBSplCurve* curve, bool scaled) {
        NurbCurveLinearizer* lin = nurbCurveLinearizerCreate(100);
        const int started = scaled ? nurbCurveLinearizerSetCurveScaled(lin, curve, 0.01)
                                   : nurbCurveLinearizerSetCurve(lin, curve, 0.01);
        const int added = started ? nurbCurveLinearizerSeedKnots(lin, 0.01) : -2;
        curveLinearizerFree(lin);
        return added;
    };
    EXPECT_EQ(1, seeded(c, false));
    EXPECT_EQ(0, seeded(rescaled, false));
    EXPECT_EQ(0, seeded(c, true));
    ratBSplCurveFree(rescaled);
    ratBSplCurveFree(c);
}

TEST(CurveLinearize, CurveOnASurface)
{
    // A cylinder of radius 5; the parameter curve runs once around it at mid
    // height, so the space curve is a circle of radius 5.
    const double P[3] = {0, 0, 0}, A[3] = {0, 0, 1}, X[3] = {5, 0, 0}, Y[3] = {0, 5, 0};
    RatBSplSurf* cyl = ratBSplSurfConeBetweenHeights(P, A, X, Y, 0.0, 1.0, 0.0, 10.0);
    ASSERT_NE(nullptr, cyl);
    const double uMid = 0.5 * (cyl->knotsu[1] + cyl->knotsu[2]);
    const double v0 = cyl->knotsv[2], v1 = cyl->knotsv[12];
    RatBSplCurve* pc = ratBSplCurveCreate(3, 6);
    const double k[6] = {0, 0, 0, 1, 1, 1};
    for (int i = 0; i < 6; ++i) {
        pc->knots[i] = k[i];
        pc->weights[i] = 1.0;
    }
    ratBSplCurveSetPoint(pc, 0, uMid, v0, 0);
    ratBSplCurveSetPoint(pc, 1, uMid, 0.5 * (v0 + v1), 0);
    ratBSplCurveSetPoint(pc, 2, uMid, v1, 0);
    double dev = -1.0;
    RatBSplCurve* poly = surfCurveLinearize(pc, cyl, 0.0, 0.001, &dev);
    ASSERT_NE(nullptr, poly);
    EXPECT_LE(dev, 0.001);
    for (int i = 0; i < poly->noPoints - 2; ++i) {
        EXPECT_NEAR(5.0, std::hypot(poly->points[i][0], poly->points[i][1]), 1e-9);
        EXPECT_NEAR(5.0, poly->points[i][2], 1e-9);
    }
    ratBSplCurveFree(poly);
    // In parameter space the points stay on the straight parameter line.
    poly = surfCurveLinearizeParam(pc, cyl, 0.0, 0.001, &dev);
    ASSERT_NE(nullptr, poly);
    EXPECT_LE(dev, 0.001);
    EXPECT_GT(poly->noPoints - 2, 10);
    for (int i = 0; i < poly->noPoints - 2; ++i)
        EXPECT_NEAR(uMid, poly->points[i][0], 1e-12);
    ratBSplCurveFree(poly);
    ratBSplCurveFree(pc);
    ratBSplSurfFree(cyl);
}
