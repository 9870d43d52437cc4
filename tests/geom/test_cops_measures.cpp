// Curve measures and shape tests on the control polygon.
#include "geom/geom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <vector>

namespace {

// Open clamped curve of the given order through the control points, knots on [lo, hi].
RatBSplCurve* curveOf(int ord, std::initializer_list<std::initializer_list<double>> pts, double lo = 0.0,
                      double hi = 1.0)
{
    const int m = static_cast<int>(pts.size());
    RatBSplCurve* c = ratBSplCurveCreate(ord, m + ord);
    int i = 0;
    for (const auto& p : pts) {
        auto it = p.begin();
        const double x = *it++, y = *it++, z = *it;
        ratBSplCurveSetPoint(c, i, x, y, z);
        c->weights[i] = 1.0;
        ++i;
    }
    const int interior = m - ord;
    for (int k = 0; k < m + ord; ++k) {
        double f;
        if (k < ord)
            f = 0.0;
        else if (k >= m)
            f = 1.0;
        else
            f = static_cast<double>(k - ord + 1) / (interior + 1);
        c->knots[k] = lo + (hi - lo) * f;
    }
    return c;
}

} // namespace

TEST(CurveMeasures, PointAndLineTests)
{
    double pt[3], pair[6];
    // The exact, the tolerant and the span line test in turn.
    auto lineTest = [](int which, const RatBSplCurve* c, double* out) {
        return which == 0   ? ratBSplCurveIsLineExact(c, out)
               : which == 1 ? ratBSplCurveIsLine(c, 1e-6, out)
                            : ratBSplCurveIsLineSpan(c, 1e-6, out);
    };
    RatBSplCurve* dot = curveOf(3, {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}});
    EXPECT_EQ(1, ratBSplCurveIsPointDefault(dot, pt));
    EXPECT_EQ(1.0, pt[0]);
    EXPECT_EQ(0, ratBSplCurveIsLineExact(dot, pair));
    ratBSplCurveFree(dot);

    RatBSplCurve* line = curveOf(3, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}});
    EXPECT_EQ(0, ratBSplCurveIsPointDefault(line, pt));
    for (int which = 0; which < 3; ++which) {
        EXPECT_EQ(1, lineTest(which, line, pair));
        EXPECT_EQ(0.0, pair[0]);
        EXPECT_EQ(3.0, pair[3]);
    }
    EXPECT_DOUBLE_EQ(3.0, ratBSplCurvePolygonLength(line));
    ratBSplCurveFree(line);

    // The polygon runs out to 10 and back to 2.
    RatBSplCurve* over = curveOf(2, {{0, 0, 0}, {10, 0, 0}, {2, 0, 0}});
    EXPECT_EQ(1, ratBSplCurveIsLine(over, 1e-6, pair));
    EXPECT_EQ(2.0, pair[3]);
    EXPECT_EQ(1, ratBSplCurveIsLineSpan(over, 1e-6, pair));
    EXPECT_EQ(10.0, pair[3]);
    ratBSplCurveFree(over);

    RatBSplCurve* nearly = curveOf(3, {{0, 0, 0}, {1, 2e-7, 0}, {2, 0, 0}});
    EXPECT_EQ(0, ratBSplCurveIsLineExact(nearly, pair));
    EXPECT_EQ(1, ratBSplCurveIsLine(nearly, 1e-6, pair));
    ratBSplCurveFree(nearly);

    // A single segment counts as a line as it stands, even one without length
    // that no direction could be taken from.
    RatBSplCurve* stub = curveOf(2, {{4, 5, 6}, {4, 5, 6}});
    for (int which = 0; which < 3; ++which) {
        EXPECT_EQ(1, lineTest(which, stub, pair));
        EXPECT_EQ(4.0, pair[0]);
        EXPECT_EQ(6.0, pair[5]);
    }
    ratBSplCurveFree(stub);
    EXPECT_EQ(0, ratBSplCurveIsLine(nullptr, 1e-6, pair));
    EXPECT_EQ(0.0, ratBSplCurvePolygonLength(nullptr));
}

TEST(CurveMeasures, RangeClosednessAndLengthRatio)
{
    double a = -1, b = -1, ratio = 0;
    int closed = -1;
    RatBSplCurve* open = curveOf(3, {{0, 0, 0}, {5, 5, 0}, {4e-5, 0, 0}}, 2.0, 6.0);
    ratBSplCurveRangeAndClosed(open, &a, &b, &closed);
    EXPECT_EQ(2.0, a);
    EXPECT_EQ(6.0, b);
    EXPECT_EQ(1, closed);
    ratBSplCurveSetPoint(open, 2, 6e-5, 0, 0);
    ratBSplCurveRangeAndClosed(open, &a, &b, &closed);
    EXPECT_EQ(0, closed);
    open->origForm = 2;
    ratBSplCurveRangeAndClosed(open, &a, &b, &closed);
    EXPECT_EQ(1, closed);
    ratBSplCurveFree(open);

    RatBSplCurve* straight = curveOf(3, {{0, 0, 0}, {5, 0, 0}, {10, 0, 0}});
    ratBSplCurveLengthRatio(straight, &ratio);
    EXPECT_NEAR(10.0, ratio, 1e-9);
    ratBSplCurveScaleKnots(straight, 0.01); // domain [0, 0.01] counts as 0.05
    ratBSplCurveLengthRatio(straight, &ratio);
    EXPECT_NEAR(200.0, ratio, 1e-9);
    ratBSplCurveLengthRatio(nullptr, &ratio);
    EXPECT_EQ(1.0, ratio);

    // The length is that of a polyline through 2 (m - 1) samples, 50 from
    // 27 control points on: on a bent curve the count shows in the result.
    for (int m : {4, 20, 27, 40}) {
        RatBSplCurve* bent = ratBSplCurveCreate(3, m + 3);
        for (int i = 0; i < m; ++i) {
            ratBSplCurveSetPoint(bent, i, std::cos(0.2 * i), std::sin(0.2 * i), 0.0);
            bent->weights[i] = 1.0;
        }
        for (int k = 0; k < m + 3; ++k) {
            const int inner = k < 3 ? 0 : (k >= m ? m - 2 : k - 2);
            bent->knots[k] = 1.0 + 2.0 * inner / (m - 2);
        }
        const int samples = m - 1 >= 26 ? 50 : 2 * (m - 1);
        double length = 0.0;
        GeomPoint prev = ratBSplCurveEvalPoint(bent, 0.0);
        for (int i = 1; i <= samples; ++i) {
            const GeomPoint q = ratBSplCurveEvalPoint(bent, double(i) / samples);
            length += std::sqrt((q.x - prev.x) * (q.x - prev.x) + (q.y - prev.y) * (q.y - prev.y));
            prev = q;
        }
        ratBSplCurveLengthRatio(bent, &ratio);
        EXPECT_NEAR(length / 2.0, ratio, 1e-13) << m;
        ratBSplCurveFree(bent);
    }
    EXPECT_EQ(0, ratBSplCurveScalePoints(straight, 2.0));
    EXPECT_EQ(20.0, straight->points[2][0]);
    ratBSplCurveFree(straight);
}

TEST(CurveMeasures, AppendJoinsKnotsAndPoints)
{
    RatBSplCurve* a = ratBSplCurveCreate(2, 5);
    const double ka[5] = {0, 0, 1, 2, 2};
    for (int i = 0; i < 5; ++i)
        a->knots[i] = ka[i];
    for (int i = 0; i < 3; ++i) {
        ratBSplCurveSetPoint(a, i, i, 0, 0);
        a->weights[i] = 1;
    }
    RatBSplCurve* b = ratBSplCurveCreate(2, 4);
    const double kb[4] = {5, 5, 6, 6};  // a domain that does not start at 0
    for (int i = 0; i < 4; ++i)
        b->knots[i] = kb[i];
    ratBSplCurveSetPoint(b, 0, 2, 0, 0);
    ratBSplCurveSetPoint(b, 1, 2, 5, 0);
    b->weights[0] = b->weights[1] = 1;
    ASSERT_EQ(1, ratBSplCurveAppend(a, b));
    ASSERT_EQ(7, a->noPoints);
    const double want[7] = {0, 0, 1, 2, 2, 3, 3};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(want[i], a->knots[i]);
    EXPECT_EQ(5.0, a->points[4][1]);
    const GeomPoint end = ratBSplCurveEvalPoint(a, 1.0);
    EXPECT_NEAR(5.0, end.y, 1e-12);
    RatBSplCurve* c3 = ratBSplCurveCreate(3, 6);
    EXPECT_EQ(0, ratBSplCurveAppend(a, c3));
    ratBSplCurveFree(c3);
    ratBSplCurveFree(a);
    ratBSplCurveFree(b);
}
