// Curve linearisers: polylines whose densely measured chord deviation stays
// within the tolerance, corners kept, degenerate deviations and failing
// callbacks handled, and the caller's curve left as it was.
#include "curve_ref.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace curveref;

// A closed-form circle of radius r about the origin on the knot domain
// [3, 3 + knotScale].
RatBSplCurve* makeCircle(double r, double knotScale = 1.0)
{
    return curveref::circle(r, P(0, 0, 0), 3.0, knotScale / 4);
}

// Largest distance of densely sampled curve points from the polyline.
double denseDeviation(RatBSplCurve* curve, const RatBSplCurve* poly)
{
    const int n = poly->noPoints - 2;
    double worst = 0.0;
    for (int s = 0; s <= 5000; ++s) {
        const GeomPoint q = ratBSplCurveEvalPoint(curve, s / 5000.0);
        double best = 1e300;
        for (int i = 0; i + 1 < n; ++i) {
            const GeomPoint a = P(poly->points[i][0], poly->points[i][1], poly->points[i][2]);
            const GeomPoint d = P(poly->points[i + 1][0] - a.x, poly->points[i + 1][1] - a.y,
                                  poly->points[i + 1][2] - a.z);
            const double dd = d.x * d.x + d.y * d.y + d.z * d.z;
            double f = dd > 0 ? ((q.x - a.x) * d.x + (q.y - a.y) * d.y + (q.z - a.z) * d.z) / dd : 0.0;
            f = std::fmin(1.0, std::fmax(0.0, f));
            best = std::fmin(best, dist(q, P(a.x + f * d.x, a.y + f * d.y, a.z + f * d.z)));
        }
        worst = std::fmax(worst, best);
    }
    return worst;
}

// Every polyline point at distance r from the z axis.
void expectOnRadius(const RatBSplCurve* poly, double r, double tol)
{
    for (int i = 0; i < poly->noPoints - 2; ++i)
        EXPECT_NEAR(r, std::hypot(poly->points[i][0], poly->points[i][1]), tol) << i;
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
    out[1] = out[2] = 1.0;
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
    CurvePtr circle = own(makeCircle(10.0));
    for (double tol : {0.1, 0.01, 0.001}) {
        double dev = -1.0;
        CurvePtr poly = own(nurbCurveLinearize(circle.get(), tol, &dev));
        ASSERT_NE(nullptr, poly);
        EXPECT_EQ(2, poly->ord);
        EXPECT_LE(dev, tol);
        EXPECT_GT(poly->noPoints - 2, 5);
        expectOnRadius(poly.get(), 10.0, 1e-9);
        EXPECT_NEAR(0.0, poly->points[0][1] - poly->points[poly->noPoints - 3][1], 1e-9);
        EXPECT_LE(denseDeviation(circle.get(), poly.get()), tol * 1.01);
        // The knots are the point indices.
        EXPECT_DOUBLE_EQ(0.0, poly->knots[0]);
        EXPECT_DOUBLE_EQ(poly->noPoints - 3, poly->knots[poly->noPoints - 1]);
    }
}

TEST(CurveLinearize, StraightCornerAndPolylineCurves)
{
    // A straight quadratic: one chord, no pass.
    CurvePtr line = own(make(3, {0, 0, 0, 1, 1, 1}, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}}));
    double dev = -1.0;
    CurvePtr poly = own(nurbCurveLinearize(line.get(), 0.001, &dev));
    ASSERT_NE(nullptr, poly);
    EXPECT_EQ(4, poly->noPoints);
    EXPECT_DOUBLE_EQ(1.0, poly->knots[2]);
    EXPECT_NEAR(0.0, dev, 1e-12);

    // An order-2 curve comes back as a copy with deviation 0.
    CurvePtr pl = own(make(2, {0, 0, 1, 2, 2}, {{0, 0, 0}, {1, 2, 3}, {0, 0, 0}}));
    poly = own(nurbCurveLinearize(pl.get(), 0.01, &dev));
    ASSERT_NE(nullptr, poly);
    EXPECT_NE(pl.get(), poly.get());
    EXPECT_EQ(5, poly->noPoints);
    EXPECT_DOUBLE_EQ(2.0, poly->points[1][1]);
    EXPECT_DOUBLE_EQ(0.0, dev);
    EXPECT_EQ(nullptr, nurbCurveLinearize(nullptr, 0.01, &dev));

    // Two cubic Bezier pieces meeting in a corner at a triple knot: the
    // corner is a polyline point.
    CurvePtr c = own(make(4, {0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 2},
                          {{0, 0, 0}, {1, 1, 0}, {2, 1, 0}, {3, 0, 0}, {3, 1, 0}, {4, 2, 0}, {3, 3, 0}}));
    poly = own(nurbCurveLinearize(c.get(), 0.01, &dev));
    ASSERT_NE(nullptr, poly);
    bool corner = false;
    for (int i = 0; i < poly->noPoints - 2; ++i)
        corner |= std::hypot(poly->points[i][0] - 3.0, poly->points[i][1]) < 1e-12;
    EXPECT_TRUE(corner);
    EXPECT_LE(dev, 0.01);
    EXPECT_LE(denseDeviation(c.get(), poly.get()), 0.0101);
}

TEST(CurveLinearize, ScaledVariantRescalesTheCallersKnots)
{
    // A circle on the short knot domain [3, 3.01]: the scaled lineariser
    // rescales the caller's knots by the length ratio and leaves them so.
    CurvePtr circle = own(makeCircle(10.0, 0.01));
    std::vector<double> knots(circle->knots, circle->knots + circle->noPoints);
    double ratio = 0.0, dev = -1.0;
    ratBSplCurveLengthRatio(circle.get(), &ratio);
    ASSERT_GT(ratio, 1.0);
    CurvePtr poly = own(nurbCurveLinearizeScaled(circle.get(), 0.01, &dev));
    ASSERT_NE(nullptr, poly);
    EXPECT_LE(dev, 0.01);
    EXPECT_LE(denseDeviation(circle.get(), poly.get()), 0.0101);
    for (int i = 0; i < circle->noPoints; ++i)
        EXPECT_DOUBLE_EQ(knots[i] * ratio, circle->knots[i]);
}

TEST(CurveLinearize, EvaluatorsAndCallbacks)
{
    double dev = -1.0, r = 4.0;
    CurvePtr poly = own(linearizeCallback(&r, circleCallback, chordDeviation, 0.001, &dev));
    ASSERT_NE(nullptr, poly);
    EXPECT_LE(dev, 0.001);
    expectOnRadius(poly.get(), 4.0, 1e-12);
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
    poly = own(linearizeEvaluatorDefault(straightEvaluator, 0.001, &dev));
    ASSERT_NE(nullptr, poly);
    EXPECT_EQ(4, poly->noPoints);
    EXPECT_EQ(0.0, dev);
    EXPECT_EQ(nullptr, linearizeEvaluator(nullptr, chordDeviation, 0.1, &dev));
}

TEST(CurveLinearize, CapacityToleranceFloorAndUnusableDeviations)
{
    // With capacity 1000 a tolerance of 1e-9 on a big circle cannot be met:
    // the polyline gathered so far comes back and the miss is reported.
    const int lastError = geomLastError;
    double r = 1000.0, dev = 0.0;
    CurvePtr poly = own(linearizeCallback(&r, circleCallback, chordDeviation, 1e-9, &dev));
    ASSERT_NE(nullptr, poly);
    EXPECT_GT(dev, 1e-9);
    EXPECT_LT(poly->noPoints - 2, 1000);
    EXPECT_EQ(lastError, geomLastError);

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
        poly = own(linearizeEvaluator(straightEvaluator, fn, 0.01, &dev));
        ASSERT_NE(nullptr, poly);
        EXPECT_FALSE(dev <= 0.01) << dev;
    }
}

TEST(CurveLinearize, ScaledSeedingMeasuresDerivativesOnTheRescaledKnots)
{
    // A double knot where the derivative grows by 1 %: a difference of 0.04
    // on the knot domain [0, 1], of 0.04 / ratio once the knots carry the
    // curve's length (ratio about 4.6) per unit: below the tolerance 0.01.
    CurvePtr c = own(make(3, {0, 0, 0, 0.5, 0.5, 1, 1, 1},
                          {{0, 0, 0}, {1, 1, 0}, {2, 1, 0}, {3.01, 1, 0}, {4, 0, 0}}));
    double ratio = 0.0;
    ratBSplCurveLengthRatio(c.get(), &ratio);
    ASSERT_LT(0.04 / ratio, 0.01);
    CurvePtr rescaled = own(ratBSplCurveCopy(c.get()));
    ratBSplCurveScaleKnots(rescaled.get(), ratio);

    auto seeded = [](RatBSplCurve* curve, bool scaled) {
        NurbCurveLinearizer* lin = nurbCurveLinearizerCreate(100);
        const int started = scaled ? nurbCurveLinearizerSetCurveScaled(lin, curve, 0.01)
                                   : nurbCurveLinearizerSetCurve(lin, curve, 0.01);
        const int added = started ? nurbCurveLinearizerSeedKnots(lin, 0.01) : -2;
        curveLinearizerFree(lin);
        return added;
    };
    EXPECT_EQ(1, seeded(c.get(), false));
    EXPECT_EQ(0, seeded(rescaled.get(), false));
    EXPECT_EQ(0, seeded(c.get(), true));
}

TEST(CurveLinearize, CurveOnASurface)
{
    // A cylinder of radius 5; the parameter curve runs once around it at mid
    // height, so the space curve is a circle of radius 5.
    const double O[3] = {0, 0, 0}, A[3] = {0, 0, 1}, X[3] = {5, 0, 0}, Y[3] = {0, 5, 0};
    RatBSplSurf* cyl = ratBSplSurfConeBetweenHeights(O, A, X, Y, 0.0, 1.0, 0.0, 10.0);
    ASSERT_NE(nullptr, cyl);
    const double uMid = 0.5 * (cyl->knotsu[1] + cyl->knotsu[2]);
    const double v0 = cyl->knotsv[2], v1 = cyl->knotsv[12];
    CurvePtr pc = own(make(3, {0, 0, 0, 1, 1, 1}, {{uMid, v0, 0}, {uMid, 0.5 * (v0 + v1), 0}, {uMid, v1, 0}}));
    double dev = -1.0;
    CurvePtr poly = own(surfCurveLinearize(pc.get(), cyl, 0.0, 0.001, &dev));
    ASSERT_NE(nullptr, poly);
    EXPECT_LE(dev, 0.001);
    expectOnRadius(poly.get(), 5.0, 1e-9);
    for (int i = 0; i < poly->noPoints - 2; ++i)
        EXPECT_NEAR(5.0, poly->points[i][2], 1e-9);
    // In parameter space the points stay on the straight parameter line.
    poly = own(surfCurveLinearizeParam(pc.get(), cyl, 0.0, 0.001, &dev));
    ASSERT_NE(nullptr, poly);
    EXPECT_LE(dev, 0.001);
    EXPECT_GT(poly->noPoints - 2, 10);
    for (int i = 0; i < poly->noPoints - 2; ++i)
        EXPECT_NEAR(uMid, poly->points[i][0], 1e-12);
    ratBSplSurfFree(cyl);
}
