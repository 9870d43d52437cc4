// Span search, span evaluators and curve evaluation at normalised
// parameters, checked against the plain reference of curve_ref.h and
// against shapes whose points are known in closed form.
#include "curve_ref.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using namespace curveref;

const double kNaN = std::numeric_limits<double>::quiet_NaN();

GeomPoint pt(const double* p) { return GeomPoint{p[0], p[1], p[2]}; }
double norm(const GeomPoint& a) { return dist(a, P(0, 0, 0)); }

}  // namespace

// ---------------------------------------------------------------------------
// Span search

TEST(GeomSpan, FindSpanAtEndsInteriorKnotsAndTolerance)
{
    const double K[8] = {0, 0, 0, 1, 2, 3, 3, 3};
    const struct {
        double t;
        int span;
    } cases[] = {{0.0, 2}, {3.0, 4}, {1.0, 2}, {1.5, 3}, {-0.004, 2}, {-0.006, -1},
                 {3.004, 4}, {3.006, -1}, {kNaN, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(c.span, ratBSplCurveFindSpan(K, 8, 3, c.t)) << c.t;
    const double D[8] = {0, 0, 0, 1, 1, 2, 2, 2};
    EXPECT_EQ(2, ratBSplCurveFindSpan(D, 8, 3, 1.0));  // never the empty span 3
    EXPECT_EQ(4, ratBSplCurveFindSpan(D, 8, 3, 1.0 + 1e-7));
    EXPECT_EQ(-1, ratBSplCurveFindSpan(K, 5, 3, 0.5));  // too few knots for a span
    EXPECT_EQ(-1, ratBSplCurveFindSpan(nullptr, 8, 3, 0.5));

    const double R[4] = {0, 0, 1, 2};
    EXPECT_EQ(2, findKnotIndex(R, 4, 1 + 1e-9, 1e-7));
    EXPECT_EQ(0, findKnotIndex(R, 4, 0.0, 0.0));
    EXPECT_EQ(-1, findKnotIndex(R, 4, 1.5, 0.1));
    EXPECT_EQ(-1, findKnotIndex(R, 0, 0.0, 1.0));
}

TEST(GeomSpan, BisectionFindsEverySpanOfALongKnotVector)
{
    for (int k = 2; k <= 5; ++k) {
        std::vector<double> K(k, 0.0);
        for (int i = 1; i < 300; ++i)
            K.push_back(i * 0.37 + (i % 3) * 0.05);
        K.insert(K.end(), k, K.back() + 1.0);
        const int m = static_cast<int>(K.size());
        for (int s = k - 1; s <= m - k - 1; ++s) {
            ASSERT_EQ(s, ratBSplCurveFindSpan(K.data(), m, k, 0.5 * (K[s] + K[s + 1]))) << k;
            if (s > k - 1) {
                ASSERT_EQ(s - 1, ratBSplCurveFindSpan(K.data(), m, k, K[s])) << k;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Span evaluators

TEST(GeomSpanEval, LowOrdersAndAVanishingWeightSum)
{
    const double P[3][3] = {{0, 0, 0}, {1, 2, 0}, {3, 0, 1}};
    GeomVec3 work[4];
    double wwork[8], out[3], weight = -1;
    const double K2[5] = {0, 0, 1, 3, 3}, ones[3] = {1, 1, 1};
    ratBSplPointInSpan(out, P, ones, K2, 2, 2, 3.0, work, wwork, &weight);
    EXPECT_EQ(3.0, out[0]);
    const double w = 0.3, W[3] = {1, w, 1}, K3[6] = {0, 0, 0, 1, 1, 1};
    ratBSplPointInSpan(out, P, W, K3, 3, 2, 0.5, work, wwork, &weight);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR((P[0][c] + 2 * w * P[1][c] + P[2][c]) / (2 + 2 * w), out[c], 1e-15);
    EXPECT_NEAR((1 + w) / 2, weight, 1e-15);

    // Order 1: the zero point, the weight left as it was; the second-order
    // evaluator gives the control point and no derivatives.
    const double Q[3][3] = {{1, 1, 1}, {5, 6, 7}, {9, 9, 9}}, Wq[3] = {1, 2.5, 1}, K1[4] = {0, 1, 2, 3};
    weight = -1;
    ratBSplPointInSpan(out, Q, Wq, K1, 1, 1, 1.5, work, wwork, &weight);
    EXPECT_EQ(0.0, std::fabs(out[0]) + std::fabs(out[2]));
    EXPECT_EQ(-1.0, weight);
    double d[3], d2[3];
    ratBSplDerivs2InSpan(Q, Wq, K1, 1, 1, 1.5, work, wwork, out, d, d2);
    EXPECT_EQ(6.0, out[1]);
    EXPECT_EQ(0.0, std::fabs(d[0]) + std::fabs(d2[1]));

    // Weights summing to zero: the zero point and a divisor report (kind 5
    // is not remembered).
    const double Wz[2] = {1, -1}, Kz[4] = {0, 0, 1, 1};
    out[0] = out[1] = out[2] = weight = 9;
    geomLastError = -1;
    ratBSplPointInSpan(out, Q, Wz, Kz, 2, 1, 0.5, work, wwork, &weight);
    EXPECT_EQ(0.0, out[0] + out[1] + out[2] + weight);
    EXPECT_STREQ("5,10001,11080", geomMessageBuffer);
    EXPECT_EQ(-1, geomLastError);
}

TEST(GeomSpanEval, OrdersBeyondTheFixedBuffersAreRefused)
{
    const int k = GEOM_MAX_DERIV_ORDER + 1;
    std::vector<double> K(2 * k, 0.0), W(2 * k, 1.0), P(3 * 2 * k, 1.0), wp(3 * (2 * k + 2)), ww(4 * k + 2);
    for (int i = k; i < 2 * k; ++i)
        K[i] = 1.0;
    const GeomVec3* pts = reinterpret_cast<const GeomVec3*>(P.data());
    GeomVec3* work = reinterpret_cast<GeomVec3*>(wp.data());
    double out[3] = {7, 7, 7}, d1[3] = {7, 7, 7}, d2[3] = {7, 7, 7};
    geomLastError = -1;
    ratBSplDerivs2InSpan(pts, W.data(), K.data(), k, k - 1, 0.5, work, ww.data(), out, d1, d2);
    EXPECT_EQ(2, geomLastError);
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(0.0, std::fabs(out[c]) + std::fabs(d1[c]) + std::fabs(d2[c]));
    // The largest served order still evaluates: all control points equal.
    std::vector<double> K2(2 * (k - 1), 0.0);
    for (int i = k - 1; i < 2 * (k - 1); ++i)
        K2[i] = 1.0;
    ratBSplDerivs2InSpan(pts, W.data(), K2.data(), k - 1, k - 2, 0.3, work, ww.data(), out, d1, d2);
    EXPECT_NEAR(1.0, out[0], 1e-12);
    EXPECT_NEAR(0.0, d1[0], 1e-9);
}

// ---------------------------------------------------------------------------
// Curve evaluation

// Every evaluator agrees with the reference on the sample family (clamped,
// unclamped, rational, repeated knots, domains other than [0, 1]): points,
// first derivatives in knot units against differences of the reference,
// second derivatives against differences of the first. The basis functions
// of lower orders that the derivatives are made of are checked with them.
TEST(GeomCurveEval, EvaluatorsAgreeWithTheReference)
{
    for (const Sample& sample : samples()) {
        SCOPED_TRACE(sample.name);
        CurvePtr c = own(sample.make());
        const double a = domainStart(c.get()), b = domainEnd(c.get()), size = curveref::size(c.get());
        for (int i = 0; i <= 200; ++i) {
            const double t = i / 200.0, u = a + (b - a) * t, h = 1e-5 * (b - a);
            const GeomPoint p = ratBSplCurveEvalPoint(c.get(), t);
            ASSERT_LE(dist(p, point(c.get(), u)), 1e-12 * size) << t;
            // The reference extends the end pieces past the domain; the
            // differences skip the knots, where it changes pieces.
            const double lo = u - h, hi = u + h;
            const GeomPoint pa = point(c.get(), lo), pb = point(c.get(), hi);
            const GeomPoint fd{(pb.x - pa.x) / (hi - lo), (pb.y - pa.y) / (hi - lo), (pb.z - pa.z) / (hi - lo)};
            const GeomPoint d = ratBSplCurveEvalDeriv(c.get(), t);
            bool atKnot = false;
            for (int k = 0; k < c->noPoints; ++k)
                atKnot |= std::fabs(c->knots[k] - u) < 2 * h && c->knots[k] > a && c->knots[k] < b;
            if (!atKnot) {
                EXPECT_LE(dist(fd, d), 1e-6 * (1.0 + norm(d))) << t;
            }

            const int s = ratBSplCurveFindSpan(c->knots, c->noPoints, c->ord, u);
            double p2[3], d1[3], d2[3], da[3], db[3], q[3];
            ratBSplDerivs2InSpan(c->points, c->weights, c->knots, c->ord, s, u, c->workPoints,
                                 c->workWeights, p2, d1, d2);
            EXPECT_LE(dist(pt(p2), p), 1e-12 * size);
            EXPECT_LE(dist(pt(d1), d), 1e-12 * (size + norm(d)));
            ratBSplDerivInSpan(da, c->points, c->weights, c->knots, c->ord, s, u + 1e-6,
                               c->workPoints, c->workWeights);
            ratBSplDerivInSpan(db, c->points, c->weights, c->knots, c->ord, s, u - 1e-6,
                               c->workPoints, c->workWeights);
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR((da[k] - db[k]) / 2e-6, d2[k], 1e-5 * (1.0 + std::fabs(d2[k])));
            if (!c->isRational) {
                bsplPointInSpan(q, c->points, c->knots, c->ord, s, u, c->workPoints);
                EXPECT_LE(dist(pt(q), p), 1e-12 * size);
            }
        }
    }
}

TEST(GeomCurveEval, WrapOnPeriodicOrClosedFormClampOtherwise)
{
    CurvePtr circle = own(curveref::circle(2.0, P(0, 0, 0), 0.0, 1.0));
    RatBSplCurve* c = circle.get();
    const GeomPoint start = ratBSplCurveEvalPoint(c, 0.0), quarter = ratBSplCurveEvalPoint(c, 0.25),
                    threeQ = ratBSplCurveEvalPoint(c, 0.75);
    c->origForm = 1;
    c->isClosed = 1;  // closed alone does not wrap
    EXPECT_NEAR(0.0, dist(start, ratBSplCurveEvalPoint(c, 1.25)), 1e-12);
    EXPECT_NEAR(0.0, dist(start, ratBSplCurveEvalPoint(c, -0.25)), 1e-12);
    c->origForm = 2;
    EXPECT_NEAR(0.0, dist(quarter, ratBSplCurveEvalPoint(c, 1.25)), 1e-12);
    EXPECT_NEAR(0.0, dist(threeQ, ratBSplCurveEvalPoint(c, -0.25)), 1e-12);
    EXPECT_NEAR(0.0, dist(ratBSplCurveEvalDeriv(c, 0.25), ratBSplCurveEvalDeriv(c, 2.25)), 1e-12);
    c->origForm = 1;
    c->isPeriodic = 1;
    EXPECT_NEAR(0.0, dist(quarter, ratBSplCurveEvalPoint(c, 1.25)), 1e-12);

    // An open line keeps a small overshoot and clamps a large one.
    CurvePtr line = own(make(2, {0, 0, 1, 1}, {{0, 0, 0}, {1, 0, 0}}));
    EXPECT_NEAR(1.00000005, ratBSplCurveEvalPoint(line.get(), 1.00000005).x, 1e-15);
    EXPECT_NEAR(-5e-8, ratBSplCurveEvalPoint(line.get(), -5e-8).x, 1e-15);
    EXPECT_EQ(1.0, ratBSplCurveEvalPoint(line.get(), 1.01).x);
    EXPECT_EQ(0.0, ratBSplCurveEvalPoint(line.get(), -0.5).x);
}

TEST(GeomCurveEval, UnplaceableParameterIsReportedAndStaysInTheArrays)
{
    // A parameter that no span holds falls back to the first span; under
    // the address sanitizer a read before the arrays would stop the test.
    CurvePtr circle = own(curveref::circle(1.0, P(0, 0, 0), 0.0, 1.0));
    geomLastError = -1;
    ratBSplCurveEvalPoint(circle.get(), kNaN);
    EXPECT_EQ(2, geomLastError);
    EXPECT_STREQ("2,10001,2518", geomMessageBuffer);
    ratBSplCurveEvalDeriv(circle.get(), kNaN);
    EXPECT_STREQ("2,10001,2617", geomMessageBuffer);
    EXPECT_EQ(0.0, norm(ratBSplCurveEvalPoint(nullptr, 0.5)));
    // A record too small to hold one span is not evaluated.
    CurvePtr small = own(ratBSplCurveCreate(3, 4));
    geomLastError = -1;
    EXPECT_EQ(0.0, norm(ratBSplCurveEvalPoint(small.get(), 0.5)));
    EXPECT_EQ(2, geomLastError);
}
