// Span search, span evaluators and curve evaluation at normalised
// parameters, checked against shapes whose points and derivatives are known
// in closed form.
#include "geom/geom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;

// Full circle of radius r about c as four rational quadratic pieces, each
// with its own three control points; the knots run from a in steps of h.
RatBSplCurve* makeCircle(double r, const double* c, double a, double h)
{
    RatBSplCurve* curve = ratBSplCurveCreate(3, 15);
    for (int piece = 0; piece < 5; ++piece)
        for (int j = 0; j < 3; ++j)
            curve->knots[3 * piece + j] = a + h * piece;
    for (int piece = 0; piece < 4; ++piece) {
        const double a0 = piece * kPi / 2;
        const double am = a0 + kPi / 4;
        const double a1 = a0 + kPi / 2;
        const double rm = r * std::sqrt(2.0);
        ratBSplCurveSetPoint(curve, 3 * piece, c[0] + r * std::cos(a0), c[1] + r * std::sin(a0),
                             c[2]);
        ratBSplCurveSetPoint(curve, 3 * piece + 1, c[0] + rm * std::cos(am),
                             c[1] + rm * std::sin(am), c[2]);
        ratBSplCurveSetPoint(curve, 3 * piece + 2, c[0] + r * std::cos(a1),
                             c[1] + r * std::sin(a1), c[2]);
        ratBSplCurveSetWeight(curve, 3 * piece, 1.0);
        ratBSplCurveSetWeight(curve, 3 * piece + 1, std::sqrt(0.5));
        ratBSplCurveSetWeight(curve, 3 * piece + 2, 1.0);
    }
    curve->isRational = 1;
    return curve;
}

// A clamped cubic on [-3, 7.5] with uneven and repeated interior knots whose
// control points make it trace (u, u^2, -u) exactly: x and z from the knot
// averages, y from the averaged pairwise knot products.
RatBSplCurve* makePolynomialCubic()
{
    const double k[13] = {-3, -3, -3, -3, -1, 0.5, 2, 2, 5, 7.5, 7.5, 7.5, 7.5};
    RatBSplCurve* c = ratBSplCurveCreate(4, 13);
    for (int i = 0; i < 13; ++i)
        c->knots[i] = k[i];
    for (int i = 0; i < 9; ++i) {
        const double t1 = k[i + 1], t2 = k[i + 2], t3 = k[i + 3];
        const double x = (t1 + t2 + t3) / 3.0;
        const double y = (t1 * t2 + t1 * t3 + t2 * t3) / 3.0;
        ratBSplCurveSetPoint(c, i, x, y, -x);
        ratBSplCurveSetWeight(c, i, 1.0);
    }
    return c;
}

double dist(const GeomPoint& a, const GeomPoint& b)
{
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) +
                     (a.z - b.z) * (a.z - b.z));
}

double norm(const GeomPoint& a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }

GeomPoint pt(const double* p) { return GeomPoint{p[0], p[1], p[2]}; }

}  // namespace

// ---------------------------------------------------------------------------
// Span search

TEST(GeomSpan, FindSpanAtEndsInteriorKnotsAndTolerance)
{
    const double K[8] = {0, 0, 0, 1, 2, 3, 3, 3};
    EXPECT_EQ(2, ratBSplCurveFindSpan(K, 8, 3, 0.0));
    EXPECT_EQ(4, ratBSplCurveFindSpan(K, 8, 3, 3.0));
    EXPECT_EQ(2, ratBSplCurveFindSpan(K, 8, 3, 1.0));
    EXPECT_EQ(3, ratBSplCurveFindSpan(K, 8, 3, 1.5));
    EXPECT_EQ(2, ratBSplCurveFindSpan(K, 8, 3, -0.004));
    EXPECT_EQ(-1, ratBSplCurveFindSpan(K, 8, 3, -0.006));
    EXPECT_EQ(4, ratBSplCurveFindSpan(K, 8, 3, 3.004));
    EXPECT_EQ(-1, ratBSplCurveFindSpan(K, 8, 3, 3.006));
    EXPECT_EQ(-1, ratBSplCurveFindSpan(K, 8, 3, std::numeric_limits<double>::quiet_NaN()));

    const double D[8] = {0, 0, 0, 1, 1, 2, 2, 2};
    EXPECT_EQ(2, ratBSplCurveFindSpan(D, 8, 3, 1.0));  // never the empty span 3
    EXPECT_EQ(4, ratBSplCurveFindSpan(D, 8, 3, 1.0 + 1e-7));

    const double R[4] = {0, 0, 1, 2};
    EXPECT_EQ(2, findKnotIndex(R, 4, 1 + 1e-9, 1e-7));
    EXPECT_EQ(0, findKnotIndex(R, 4, 0.0, 0.0));
    EXPECT_EQ(-1, findKnotIndex(R, 4, 1.5, 0.1));
    EXPECT_EQ(-1, findKnotIndex(R, 0, 0.0, 1.0));

    // Too few knots for a single span.
    EXPECT_EQ(-1, ratBSplCurveFindSpan(K, 5, 3, 0.5));
    EXPECT_EQ(-1, ratBSplCurveFindSpan(nullptr, 8, 3, 0.5));
}

TEST(GeomSpan, BisectionFindsEverySpanOfALongKnotVector)
{
    // Long enough for the bisection to narrow the window several times.
    for (int k = 2; k <= 5; ++k) {
        std::vector<double> K;
        for (int i = 0; i < k; ++i)
            K.push_back(0.0);
        for (int i = 1; i < 300; ++i)
            K.push_back(i * 0.37 + (i % 3) * 0.05);
        const double last = K.back() + 1.0;
        for (int i = 0; i < k; ++i)
            K.push_back(last);
        const int m = static_cast<int>(K.size());
        for (int s = k - 1; s <= m - k - 1; ++s) {
            const double mid = 0.5 * (K[s] + K[s + 1]);
            ASSERT_EQ(s, ratBSplCurveFindSpan(K.data(), m, k, mid)) << "order " << k;
            if (s > k - 1) {
                ASSERT_EQ(s - 1, ratBSplCurveFindSpan(K.data(), m, k, K[s])) << "order " << k;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Span evaluators

TEST(GeomSpanEval, OrderTwoEndsAndRationalQuadraticMiddle)
{
    const double P[3][3] = {{0, 0, 0}, {1, 2, 0}, {3, 0, 1}};
    GeomVec3 work[4];
    double wwork[8];
    double out[3], weight = 0;
    const double K2[5] = {0, 0, 1, 3, 3};
    const double ones[3] = {1, 1, 1};
    ratBSplPointInSpan(out, P, ones, K2, 2, 2, 1.0, work, wwork, &weight);
    EXPECT_EQ(1.0, out[0]);
    ratBSplPointInSpan(out, P, ones, K2, 2, 2, 3.0, work, wwork, &weight);
    EXPECT_EQ(3.0, out[0]);

    const double w = 0.3;
    const double W[3] = {1, w, 1};
    const double K3[6] = {0, 0, 0, 1, 1, 1};
    ratBSplPointInSpan(out, P, W, K3, 3, 2, 0.5, work, wwork, &weight);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR((P[0][c] + 2 * w * P[1][c] + P[2][c]) / (2 + 2 * w), out[c], 1e-15);
    EXPECT_NEAR((1 + w) / 2, weight, 1e-15);
}

TEST(GeomSpanEval, OrderOneGivesTheZeroPointAndLeavesTheWeight)
{
    const double P[3][3] = {{1, 1, 1}, {5, 6, 7}, {9, 9, 9}};
    const double W[3] = {1, 2.5, 1};
    const double K[4] = {0, 1, 2, 3};
    GeomVec3 work[2];
    double wwork[4];
    double out[3], weight = -1;
    ratBSplPointInSpan(out, P, W, K, 1, 1, 1.5, work, wwork, &weight);
    EXPECT_EQ(0.0, out[0]);
    EXPECT_EQ(0.0, out[2]);
    EXPECT_EQ(-1.0, weight);
    double d[3], d2[3];
    ratBSplDerivs2InSpan(P, W, K, 1, 1, 1.5, work, wwork, out, d, d2);
    EXPECT_EQ(6.0, out[1]);
    EXPECT_EQ(0.0, d[0]);
    EXPECT_EQ(0.0, d2[1]);
}

TEST(GeomSpanEval, VanishingWeightSumGivesZeroPointAndDivisorReport)
{
    const double P[2][3] = {{1, 1, 1}, {3, 3, 3}};
    const double W[2] = {1, -1};
    const double K[4] = {0, 0, 1, 1};
    GeomVec3 work[3];
    double wwork[6];
    double out[3] = {9, 9, 9}, weight = 9;
    geomLastError = -1;
    ratBSplPointInSpan(out, P, W, K, 2, 1, 0.5, work, wwork, &weight);
    EXPECT_EQ(0.0, out[0] + out[1] + out[2]);
    EXPECT_EQ(0.0, weight);
    EXPECT_STREQ("5,10001,11080", geomMessageBuffer);
    EXPECT_EQ(-1, geomLastError);  // kind 5 is not remembered
}

TEST(GeomSpanEval, OrdersBeyondTheFixedBuffersAreRefused)
{
    const int k = GEOM_MAX_DERIV_ORDER + 1;
    std::vector<double> K(2 * k, 0.0), W(2 * k, 1.0);
    for (int i = k; i < 2 * k; ++i)
        K[i] = 1.0;
    std::vector<double> P(3 * 2 * k, 1.0);
    std::vector<double> wp(3 * (2 * k + 2)), ww(4 * k + 2);
    double out[3] = {7, 7, 7}, d1[3] = {7, 7, 7}, d2[3] = {7, 7, 7};
    geomLastError = -1;
    ratBSplDerivs2InSpan(reinterpret_cast<const GeomVec3*>(P.data()), W.data(), K.data(), k,
                         k - 1, 0.5, reinterpret_cast<GeomVec3*>(wp.data()), ww.data(), out, d1,
                         d2);
    EXPECT_EQ(2, geomLastError);
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(0.0, out[c]);
        EXPECT_EQ(0.0, d1[c]);
        EXPECT_EQ(0.0, d2[c]);
    }
    // The largest served order still evaluates: all control points equal.
    const int kMax = GEOM_MAX_DERIV_ORDER;
    std::vector<double> K2(2 * kMax, 0.0);
    for (int i = kMax; i < 2 * kMax; ++i)
        K2[i] = 1.0;
    ratBSplDerivs2InSpan(reinterpret_cast<const GeomVec3*>(P.data()), W.data(), K2.data(), kMax,
                         kMax - 1, 0.3, reinterpret_cast<GeomVec3*>(wp.data()), ww.data(), out,
                         d1, d2);
    EXPECT_NEAR(1.0, out[0], 1e-12);
    EXPECT_NEAR(0.0, d1[0], 1e-9);
}

TEST(GeomSpanEval, BasisValuesFormPartitionsOfUnity)
{
    const double K[13] = {-3, -3, -3, -3, -1, 0.5, 2, 2, 5, 7.5, 7.5, 7.5, 7.5};
    const int k = 4;
    for (double t = -3.0; t <= 7.5; t += 0.37) {
        const int s = ratBSplCurveFindSpan(K, 13, k, t);
        ASSERT_GE(s, k - 1);
        double N[k + 1], M[k + 1], N3[k + 1], M1[k + 1], M2[k + 1];
        bsplBasisOrders2(K, k, s, t, N, M);
        bsplBasisOrders3(K, k, s, t, N3, M1, M2);  // M2: order k - 2
        double sn = 0, sm = 0, sm2 = 0;
        for (int i = 0; i < k; ++i)
            sn += N[i];
        for (int i = 1; i < k; ++i)
            sm += M[i];
        for (int i = 2; i < k; ++i)
            sm2 += M2[i];
        EXPECT_NEAR(1.0, sn, 1e-14) << t;
        EXPECT_NEAR(1.0, sm, 1e-14) << t;
        EXPECT_NEAR(1.0, sm2, 1e-14) << t;
        EXPECT_NEAR(N[1], N3[1], 1e-15);
        EXPECT_NEAR(M[2], M1[2], 1e-15);
    }
}

// ---------------------------------------------------------------------------
// Curve evaluation

TEST(GeomCurveEval, RationalCircleStaysOnTheCircle)
{
    const double c[3] = {10, -20, 5};
    const double r = 7.5;
    RatBSplCurve* circle = makeCircle(r, c, 2.0, 1.0);  // knot domain [2, 6]
    const GeomPoint centre = pt(c);
    for (int i = 0; i <= 400; ++i) {
        const double t = i / 400.0;
        const GeomPoint p = ratBSplCurveEvalPoint(circle, t);
        ASSERT_NEAR(r, dist(p, centre), 1e-9 * r) << t;
        ASSERT_NEAR(c[2], p.z, 1e-12);
    }
    // Quarter pieces meet at the knots; the middle of a piece is the middle
    // of its quarter.
    const GeomPoint half = ratBSplCurveEvalPoint(circle, 0.5);
    EXPECT_NEAR(c[0] - r, half.x, 1e-12 * r);
    EXPECT_NEAR(c[1], half.y, 1e-12 * r);
    const GeomPoint eighth = ratBSplCurveEvalPoint(circle, 0.125);
    EXPECT_NEAR(c[0] + r * std::sqrt(0.5), eighth.x, 1e-12 * r);
    EXPECT_NEAR(c[1] + r * std::sqrt(0.5), eighth.y, 1e-12 * r);
    ratBSplCurveFree(circle);
}

TEST(GeomCurveEval, NormalisedParameterMapsOntoAnyKnotDomain)
{
    RatBSplCurve* cubic = makePolynomialCubic();
    for (int i = 0; i <= 64; ++i) {
        const double t = i / 64.0;
        const double u = -3.0 + 10.5 * t;
        const GeomPoint p = ratBSplCurveEvalPoint(cubic, t);
        const GeomPoint d = ratBSplCurveEvalDeriv(cubic, t);
        EXPECT_NEAR(u, p.x, 1e-12 * 10.5);
        EXPECT_NEAR(u * u, p.y, 1e-12 * 56.25);
        EXPECT_NEAR(-u, p.z, 1e-12 * 10.5);
        // Derivatives are taken in knot space, not in t.
        EXPECT_NEAR(1.0, d.x, 1e-12);
        EXPECT_NEAR(2 * u, d.y, 1e-12 * 15.0);
        EXPECT_NEAR(-1.0, d.z, 1e-12);
        const int s = ratBSplCurveFindSpan(cubic->knots, 13, 4, u);
        double p2[3], d1[3], d2[3];
        ratBSplDerivs2InSpan(cubic->points, cubic->weights, cubic->knots, 4, s, u,
                             cubic->workPoints, cubic->workWeights, p2, d1, d2);
        EXPECT_NEAR(u * u, p2[1], 1e-12 * 56.25);
        EXPECT_NEAR(2 * u, d1[1], 1e-12 * 15.0);
        EXPECT_NEAR(2.0, d2[1], 1e-11);
        double q[3];
        bsplPointInSpan(q, cubic->points, cubic->knots, 4, s, u, cubic->workPoints);
        EXPECT_NEAR(u * u, q[1], 1e-12 * 56.25);
    }
    // Clamped ends are the end control points.
    const GeomPoint first = ratBSplCurveEvalPoint(cubic, 0.0);
    const GeomPoint last = ratBSplCurveEvalPoint(cubic, 1.0);
    EXPECT_EQ(0.0, dist(first, pt(cubic->points[0])));
    EXPECT_NEAR(0.0, dist(last, pt(cubic->points[8])), 1e-13);
    ratBSplCurveFree(cubic);
}

TEST(GeomCurveEval, CircleDerivativesMatchGeometryAndFiniteDifferences)
{
    const double c[3] = {1, 2, 3};
    const double r = 4.0;
    RatBSplCurve* circle = makeCircle(r, c, -5.0, 3.0);  // knot domain [-5, 7], spacing 3
    const GeomPoint centre = pt(c);
    // At a piece start the speed is 2 w |P1 - P0| / spacing.
    const GeomPoint d0 = ratBSplCurveEvalDeriv(circle, 0.0);
    EXPECT_NEAR(std::sqrt(2.0) * r / 3.0, norm(d0), 1e-12 * r);
    EXPECT_NEAR(0.0, d0.x, 1e-12 * r);

    const double range = 12.0;
    const double h = 1e-6;
    for (int i = 1; i < 40; ++i) {
        const double t = i / 40.0 + 0.003;
        const GeomPoint p = ratBSplCurveEvalPoint(circle, t);
        const GeomPoint d = ratBSplCurveEvalDeriv(circle, t);
        // Tangent to the circle.
        const double radial = (p.x - centre.x) * d.x + (p.y - centre.y) * d.y;
        EXPECT_NEAR(0.0, radial, 1e-10 * r * norm(d));
        const GeomPoint a = ratBSplCurveEvalPoint(circle, t + h);
        const GeomPoint b = ratBSplCurveEvalPoint(circle, t - h);
        const GeomPoint fd{(a.x - b.x) / (2 * h * range), (a.y - b.y) / (2 * h * range),
                           (a.z - b.z) / (2 * h * range)};
        EXPECT_NEAR(0.0, dist(fd, d), 1e-7 * norm(d)) << t;

        // Second derivative against differences of the first.
        const double u = -5.0 + range * t;
        const int s = ratBSplCurveFindSpan(circle->knots, 15, 3, u);
        double d1[3], d2[3], da[3], db[3];
        ratBSplDerivs2InSpan(circle->points, circle->weights, circle->knots, 3, s, u,
                             circle->workPoints, circle->workWeights, nullptr, d1, d2);
        EXPECT_NEAR(0.0, dist(pt(d1), d), 1e-12 * norm(d));
        ratBSplDerivInSpan(da, circle->points, circle->weights, circle->knots, 3, s, u + 1e-6,
                           circle->workPoints, circle->workWeights);
        ratBSplDerivInSpan(db, circle->points, circle->weights, circle->knots, 3, s, u - 1e-6,
                           circle->workPoints, circle->workWeights);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR((da[k] - db[k]) / 2e-6, d2[k], 1e-6 * (1.0 + std::fabs(d2[k])));
    }
    ratBSplCurveFree(circle);
}

TEST(GeomCurveEval, WrapOnPeriodicOrClosedFormClampOtherwise)
{
    const double c[3] = {0, 0, 0};
    RatBSplCurve* circle = makeCircle(2.0, c, 0.0, 1.0);
    circle->isClosed = 1;  // closed alone does not wrap
    const GeomPoint start = ratBSplCurveEvalPoint(circle, 0.0);
    const GeomPoint quarter = ratBSplCurveEvalPoint(circle, 0.25);
    const GeomPoint threeQ = ratBSplCurveEvalPoint(circle, 0.75);
    EXPECT_NEAR(0.0, dist(start, ratBSplCurveEvalPoint(circle, 1.25)), 1e-12);
    EXPECT_NEAR(0.0, dist(start, ratBSplCurveEvalPoint(circle, -0.25)), 1e-12);

    circle->origForm = 2;
    EXPECT_NEAR(0.0, dist(quarter, ratBSplCurveEvalPoint(circle, 1.25)), 1e-12);
    EXPECT_NEAR(0.0, dist(threeQ, ratBSplCurveEvalPoint(circle, -0.25)), 1e-12);
    const GeomPoint dq = ratBSplCurveEvalDeriv(circle, 0.25);
    EXPECT_NEAR(0.0, dist(dq, ratBSplCurveEvalDeriv(circle, 2.25)), 1e-12);

    circle->origForm = 1;
    circle->isPeriodic = 1;
    EXPECT_NEAR(0.0, dist(quarter, ratBSplCurveEvalPoint(circle, 1.25)), 1e-12);
    ratBSplCurveFree(circle);
}

TEST(GeomCurveEval, SmallOvershootIsKeptLargeOneClamped)
{
    RatBSplCurve* line = ratBSplCurveCreate(2, 4);
    line->knots[2] = line->knots[3] = 1.0;
    ratBSplCurveSetPoint(line, 1, 1, 0, 0);
    ratBSplCurveSetWeight(line, 0, 1);
    ratBSplCurveSetWeight(line, 1, 1);
    EXPECT_NEAR(1.00000005, ratBSplCurveEvalPoint(line, 1.00000005).x, 1e-15);
    EXPECT_EQ(1.0, ratBSplCurveEvalPoint(line, 1.01).x);
    EXPECT_EQ(0.0, ratBSplCurveEvalPoint(line, -0.5).x);
    EXPECT_NEAR(-5e-8, ratBSplCurveEvalPoint(line, -5e-8).x, 1e-15);
    ratBSplCurveFree(line);
}

TEST(GeomCurveEval, UnplaceableParameterIsReportedAndStaysInTheArrays)
{
    // A parameter that no span holds falls back to the first span; under
    // the address sanitizer a read before the arrays would stop the test.
    const double c[3] = {0, 0, 0};
    RatBSplCurve* circle = makeCircle(1.0, c, 0.0, 1.0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    geomLastError = -1;
    ratBSplCurveEvalPoint(circle, nan);
    EXPECT_EQ(2, geomLastError);
    EXPECT_STREQ("2,10001,2518", geomMessageBuffer);
    ratBSplCurveEvalDeriv(circle, nan);
    EXPECT_STREQ("2,10001,2617", geomMessageBuffer);
    ratBSplCurveFree(circle);

    const GeomPoint none = ratBSplCurveEvalPoint(nullptr, 0.5);
    EXPECT_EQ(0.0, none.x + none.y + none.z);

    // A record too small to hold one span is not evaluated.
    RatBSplCurve* small = ratBSplCurveCreate(3, 4);
    geomLastError = -1;
    const GeomPoint p = ratBSplCurveEvalPoint(small, 0.5);
    EXPECT_EQ(0.0, p.x + p.y + p.z);
    EXPECT_EQ(2, geomLastError);
    ratBSplCurveFree(small);
}
