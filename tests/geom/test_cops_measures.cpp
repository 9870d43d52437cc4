// Curve measures and shape tests on the control polygon.
#include "curve_ref.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using curveref::CurvePtr;
using curveref::make;
using curveref::own;

// Open clamped curve of the given order through the control points, with
// evenly spaced knots on [lo, hi].
CurvePtr curveOf(int ord, const std::vector<std::vector<double>>& pts, double lo = 0.0, double hi = 1.0)
{
    const int m = static_cast<int>(pts.size());
    std::vector<double> knots;
    for (int k = 0; k < m + ord; ++k)
        knots.push_back(k < ord ? lo : (k >= m ? hi : lo + (hi - lo) * (k - ord + 1) / (m - ord + 1)));
    return own(make(ord, knots, pts));
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
    CurvePtr dot = curveOf(3, {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}});
    EXPECT_EQ(1, ratBSplCurveIsPointDefault(dot.get(), pt));
    EXPECT_EQ(1.0, pt[0]);
    EXPECT_EQ(0, ratBSplCurveIsLineExact(dot.get(), pair));

    CurvePtr line = curveOf(3, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}});
    EXPECT_EQ(0, ratBSplCurveIsPointDefault(line.get(), pt));
    EXPECT_DOUBLE_EQ(3.0, ratBSplCurvePolygonLength(line.get()));
    // A single segment counts as a line as it stands, even one without
    // length that no direction could be taken from.
    CurvePtr stub = curveOf(2, {{4, 5, 6}, {4, 5, 6}});
    for (int which = 0; which < 3; ++which) {
        EXPECT_EQ(1, lineTest(which, line.get(), pair));
        EXPECT_EQ(0.0, pair[0]);
        EXPECT_EQ(3.0, pair[3]);
        EXPECT_EQ(1, lineTest(which, stub.get(), pair));
        EXPECT_EQ(4.0, pair[0]);
        EXPECT_EQ(6.0, pair[5]);
    }

    // The polygon runs out to 10 and back to 2.
    CurvePtr over = curveOf(2, {{0, 0, 0}, {10, 0, 0}, {2, 0, 0}});
    EXPECT_EQ(1, ratBSplCurveIsLine(over.get(), 1e-6, pair));
    EXPECT_EQ(2.0, pair[3]);
    EXPECT_EQ(1, ratBSplCurveIsLineSpan(over.get(), 1e-6, pair));
    EXPECT_EQ(10.0, pair[3]);

    CurvePtr nearly = curveOf(3, {{0, 0, 0}, {1, 2e-7, 0}, {2, 0, 0}});
    EXPECT_EQ(0, ratBSplCurveIsLineExact(nearly.get(), pair));
    EXPECT_EQ(1, ratBSplCurveIsLine(nearly.get(), 1e-6, pair));
    EXPECT_EQ(0, ratBSplCurveIsLine(nullptr, 1e-6, pair));
    EXPECT_EQ(0.0, ratBSplCurvePolygonLength(nullptr));
}

TEST(CurveMeasures, RangeClosednessAndLengthRatio)
{
    double a = -1, b = -1, ratio = 0;
    int closed = -1;
    CurvePtr owned = curveOf(3, {{0, 0, 0}, {5, 5, 0}, {4e-5, 0, 0}}, 2.0, 6.0);
    RatBSplCurve* open = owned.get();
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

    owned = curveOf(3, {{0, 0, 0}, {5, 0, 0}, {10, 0, 0}});
    RatBSplCurve* straight = owned.get();
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
        std::vector<std::vector<double>> pts;
        for (int i = 0; i < m; ++i)
            pts.push_back({std::cos(0.2 * i), std::sin(0.2 * i), 0.0});
        CurvePtr curve = curveOf(3, pts, 1.0, 3.0);
        RatBSplCurve* bent = curve.get();
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
    }
    EXPECT_EQ(0, ratBSplCurveScalePoints(straight, 2.0));
    EXPECT_EQ(20.0, straight->points[2][0]);
}

TEST(CurveMeasures, AppendJoinsKnotsAndPoints)
{
    CurvePtr a = own(make(2, {0, 0, 1, 2, 2}, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}));
    // A domain that does not start at 0.
    CurvePtr b = own(make(2, {5, 5, 6, 6}, {{2, 0, 0}, {2, 5, 0}}));
    ASSERT_EQ(1, ratBSplCurveAppend(a.get(), b.get()));
    EXPECT_THAT(curveref::knotsOf(a.get()), curveref::ElementsAre(0, 0, 1, 2, 2, 3, 3));
    EXPECT_EQ(5.0, a->points[4][1]);
    EXPECT_NEAR(5.0, ratBSplCurveEvalPoint(a.get(), 1.0).y, 1e-12);
    EXPECT_EQ(0, ratBSplCurveAppend(a.get(), own(ratBSplCurveCreate(3, 6)).get()));
}
