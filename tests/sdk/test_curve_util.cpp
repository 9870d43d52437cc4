// Points along a host curve within a tolerance, against a circle whose
// chords' sagittas are known.
#include "host/object/kvIfPtr.h"
#include "sdk/kvCurveIfUtil.h"
#include "sdk/kvUnknownImp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// A circle of radius 10 about the origin; getPoint fails from failAt on.
class Circle : public kvIUnknownImp, public kvIGeCurve {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIGeCurve>(this, name); }
    int getParameterRange(double* start, double* end) override
    {
        *start = 0.0;
        *end = 2.0 * 3.14159265358979323846;
        return 0;
    }
    int getPoint(double t, double point[3]) override
    {
        if (t >= failAt)
            return -1;
        point[0] = 10.0 * std::cos(t);
        point[1] = 10.0 * std::sin(t);
        point[2] = 0.0;
        return 0;
    }
    double failAt = 1e300;
};

class Line : public kvIUnknownImp, public kvIGeLine {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIGeLine>(this, name); }
};

}  // namespace

TEST(CurveIfUtil, PointsFollowTheCurveWithinTheToleranceAroundAClosedCurve)
{
    kvIUnknownPtr circle(static_cast<kvIGeCurve*>(new kvIfImp<Circle>()));
    for (double tolerance : {0.1, 0.001}) {
        std::vector<kvCGePoint> points;
        ASSERT_TRUE(kvCCurveIfUtil(circle.get()).getPointApprox(tolerance, points));
        ASSERT_GE(points.size(), 17u);
        // A closed curve ends where it starts.
        EXPECT_NEAR(points.front().distanceTo(points.back()), 0.0, 1e-12);
        EXPECT_NEAR(points.front().x, 10.0, 1e-12);
        double longest = 0.0;
        for (std::size_t i = 1; i < points.size(); ++i) {
            const double chord = points[i - 1].distanceTo(points[i]);
            EXPECT_GT(chord, 0.0);
            longest = std::max(longest, chord);
        }
        // The sagitta of the longest chord stays within the tolerance, and
        // the points are not needlessly dense: some chord is longer than
        // half the one the tolerance allows.
        const double sagitta = 10.0 - std::sqrt(100.0 - longest * longest / 4.0);
        EXPECT_LE(sagitta, tolerance);
        EXPECT_GT(longest, 0.5 * 2.0 * std::sqrt(2.0 * 10.0 * tolerance - tolerance * tolerance));
    }
}

TEST(CurveIfUtil, NoCurveAFailingCurveOrNoToleranceGiveNoPoints)
{
    kvIUnknownPtr line(static_cast<kvIGeLine*>(new kvIfImp<Line>()));
    Circle* failing = new kvIfImp<Circle>();
    failing->failAt = 3.0;
    kvIUnknownPtr circle(static_cast<kvIGeCurve*>(failing));
    std::vector<kvCGePoint> points{kvCGePoint(1, 2, 3)};
    EXPECT_FALSE(kvCCurveIfUtil(line.get()).getPointApprox(0.001, points));
    EXPECT_TRUE(points.empty());
    EXPECT_FALSE(kvCCurveIfUtil(nullptr).getPointApprox(0.001, points));
    EXPECT_FALSE(kvCCurveIfUtil(circle.get()).getPointApprox(0.001, points));
    EXPECT_TRUE(points.empty());
    failing->failAt = 1e300;
    EXPECT_FALSE(kvCCurveIfUtil(circle.get()).getPointApprox(0.0, points));
    EXPECT_TRUE(kvCCurveIfUtil(circle.get()).getPointApprox(0.01, points));
}
