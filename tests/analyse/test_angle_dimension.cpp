// The angle dimension's geometry: its angle, when it is drawn, the arc's
// radius, and that the arc spans the angle written on it, with legs,
// arrowheads and text where they belong.
#include "analyse/kvAngleDimension.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

const double kPi = 3.141592653589793;
const double kDegrees = 180.0 / kPi;

kvCGeVector tilted(double degrees)
{
    const double a = degrees / kDegrees;
    return kvCGeVector(0.0, std::sin(a), std::cos(a));
}

kvAngleDimension dimension(const kvCGeVector& a, const kvCGeVector& b, int kind, double size = 10.0)
{
    // The top of a block (z = 40) and a face through the edge y = 0, z = 40
    // with normal b, picked at p on the first and q on the second.
    const kvCGePoint p(20, 30, 40);
    const kvCGeVector along = kvCGeVector(1, 0, 0).cross(b).normal();
    const kvCGePoint q = kvCGePoint(25, 0, 40) + along * 5.0;
    return kvComputeAngleDimension(a, b, p, q, kind, size, kvCGeVector(0, 0, -1));
}

// The angle the contour's arc sweeps about the centre, summed over its
// approximation: centre, second leg's end, the arc to the first leg's end,
// centre.
double sweepOf(const kvAngleDimension& d)
{
    kvTArray<double[3], kvTMemCopy<double[3]>> points;
    if (!d.contour.getApproxPoints(points, 0.0001))
        return -1.0;
    double sweep = 0.0;
    for (unsigned i = 1; i + 2 < points.size(); ++i)
        sweep += (kvCGePoint(points[i]) - d.centre).angleTo(kvCGePoint(points[i + 1]) - d.centre);
    return sweep * kDegrees;
}

TEST(AngleDimension, TheAngleIsThatBetweenTheTracesAndIsReturnedAlsoWhereNothingIsDrawn)
{
    const kvCGeVector top(0, 0, 1);
    struct Case {
        kvCGeVector b;
        int kind;
        double size;
        double angle;
        bool drawn;
    };
    // The angle between the faces' traces: 180 less that between the normals.
    const Case cases[] = {
        {tilted(134.995), kvAngleDimAngleOnly, 10.0, 45.005, false},
        {tilted(45.0), kvAngleDimFree, 10.0, 135.0, true},
        {tilted(120.0), kvAngleDimFree, 10.0, 60.0, true},
        {tilted(178.1), kvAngleDimFree, 10.0, 1.9, false},
        {tilted(1.5), kvAngleDimFree, 10.0, 178.5, false},
        {tilted(177.5), kvAngleDimFree, 10.0, 2.5, true},
        {top, kvAngleDimFree, 10.0, 0.0, false},
        {-top, kvAngleDimFree, 10.0, 0.0, false},
        // Size 0 takes the radius from the crossing, 30 here; a negative
        // size gives no dimension, nor does the fixed radius at size 0.
        {tilted(60.0), kvAngleDimFree, 0.0, 120.0, true},
        {tilted(60.0), kvAngleDimFixedRadius, 0.0, 120.0, false},
        {tilted(60.0), kvAngleDimFree, -5.0, 120.0, false},
        {tilted(60.0), kvAngleDimOffset, -1e-9, 120.0, false},
        // Nor does a size that is no number, though the crossing alone would
        // give the free kinds a radius.
        {tilted(60.0), kvAngleDimFree, std::nan(""), 120.0, false},
        {tilted(60.0), kvAngleDimSecondLeg, std::nan(""), 120.0, false},
        {tilted(60.0), kvAngleDimFixedRadius, std::nan(""), 120.0, false},
    };
    for (const Case& c : cases) {
        const kvAngleDimension d = dimension(top, c.b, c.kind, c.size);
        EXPECT_NEAR(c.angle, d.angle, 1e-9) << c.angle;
        EXPECT_EQ(c.drawn, d.drawn) << c.angle;
        EXPECT_EQ(!c.drawn, d.contour.isEmpty()) << c.angle;
    }
}

TEST(AngleDimension, ArcRadiusByKind)
{
    const kvCGeVector top(0, 0, 1), chamfer = tilted(45.0);
    // The faces' traces meet 30 from p: the free radius is that distance,
    // never below the size.
    EXPECT_NEAR(30.0, dimension(top, chamfer, kvAngleDimFree, 10.0).radius, 1e-9);
    EXPECT_NEAR(50.0, dimension(top, chamfer, kvAngleDimFree, 50.0).radius, 1e-9);
    EXPECT_NEAR(10.0, dimension(top, chamfer, kvAngleDimFixedRadius, 10.0).radius, 1e-9);
    EXPECT_NEAR(40.0, dimension(top, chamfer, kvAngleDimOffset, 10.0).radius, 1e-9);
}

// A drawn dimension: the arc spans the angle written on it between the
// legs' ends, the legs run along the traces, the arrowheads sit on the arc's
// ends pointing into it and the text stands on the arc's middle.
void expectDrawnAsWritten(const kvAngleDimension& d, const kvCGeVector& a, const kvCGeVector& b, double size)
{
    ASSERT_TRUE(d.drawn);
    const double r = d.radius;
    EXPECT_NEAR(d.angle, sweepOf(d), 1e-6);
    EXPECT_NEAR(d.angle, (d.start - d.centre).angleTo(d.end - d.centre) * kDegrees, 1e-6);
    EXPECT_NEAR(r, d.start.distanceTo(d.centre), 1e-9);
    EXPECT_NEAR(r, d.end.distanceTo(d.centre), 1e-9);
    // The legs lie on the traces: at right angles to a and to b.
    EXPECT_NEAR(0.0, (d.start - d.centre).normal().dot(a.normal()), 1e-9);
    EXPECT_NEAR(0.0, (d.end - d.centre).normal().dot(b.normal()), 1e-9);

    // Fine enough to put points on the arc of any radius.
    kvTArray<double[3], kvTMemCopy<double[3]>> points;
    ASSERT_TRUE(d.contour.getApproxPoints(points, std::fmin(0.0001, r / 100.0)));
    ASSERT_GT(points.size(), 4u);
    EXPECT_EQ(d.centre, kvCGePoint(points[0]));
    EXPECT_EQ(d.centre, kvCGePoint(points[points.size() - 1]));
    for (unsigned i = 2; i + 1 < points.size(); ++i) {
        const kvCGePoint x(points[i]);
        EXPECT_NEAR(r, x.distanceTo(d.centre), 1e-9 * std::fmax(1.0, r));
        EXPECT_NEAR(0.0, (x - d.centre).dot(d.normal), 1e-9 * std::fmax(1.0, r));
    }
    const double height = size / 5.0;
    EXPECT_EQ(d.start, kvCGePoint(d.startArrow(0, 3), d.startArrow(1, 3), d.startArrow(2, 3)));
    EXPECT_EQ(d.end, kvCGePoint(d.endArrow(0, 3), d.endArrow(1, 3), d.endArrow(2, 3)));
    EXPECT_NEAR(r, (d.start + d.startArrowAxis * height).distanceTo(d.centre), 1e-9 * std::fmax(1.0, r));
    EXPECT_NEAR(r, (d.end + d.endArrowAxis * height).distanceTo(d.centre), 1e-9 * std::fmax(1.0, r));
    EXPECT_LT((d.start + d.startArrowAxis * height).distanceTo(d.end), d.start.distanceTo(d.end));
    EXPECT_LT((d.end + d.endArrowAxis * height).distanceTo(d.start), d.end.distanceTo(d.start));
    kvCGePoint origin;
    kvCGeVector x, y, z;
    d.textFrame.getCoordSystem(origin, x, y, z);
    EXPECT_NEAR(r, origin.distanceTo(d.centre), 1e-9 * std::fmax(1.0, r));
    EXPECT_NEAR(origin.distanceTo(d.start), origin.distanceTo(d.end), 1e-9 * std::fmax(1.0, r));
    EXPECT_NEAR(1.0, std::fabs(z.dot(d.normal)), 1e-12);
    // The text frame's axes are of unit length whatever the radius (the text
    // stands as high on every arc), X pointing away from the centre.
    EXPECT_NEAR(1.0, x.length(), 1e-12);
    EXPECT_NEAR(1.0, y.length(), 1e-12);
    EXPECT_NEAR(1.0, z.length(), 1e-12);
    EXPECT_NEAR(0.0, x.dot(z), 1e-12);
    EXPECT_NEAR(1.0, x.dot((origin - d.centre).normal()), 1e-9);
}

TEST(AngleDimension, OnTheBlockEveryKindSpansTheAngleItWrites)
{
    const kvCGeVector top(0, 0, 1);
    for (double between : {45.0, 60.0, 90.0, 120.0, 150.0}) {
        SCOPED_TRACE(between);
        for (int kind : {kvAngleDimFree, kvAngleDimFixedRadius, kvAngleDimSecondLeg, kvAngleDimOffset})
            expectDrawnAsWritten(dimension(top, tilted(between), kind), top, tilted(between), 10.0);
    }
    // Top and a 45 degree chamfer: the faces meet at 135 degrees; the first
    // leg lies on the top toward p, the second on the chamfer.
    const kvAngleDimension d = dimension(top, tilted(45.0), kvAngleDimFree);
    EXPECT_NEAR(135.0, d.angle, 1e-9);
    EXPECT_NEAR(40.0, d.start.z, 1e-9);
    EXPECT_GT(d.start.y, d.centre.y);
    EXPECT_NEAR(0.0, d.end.y + d.end.z - 40.0, 1e-9);
}

TEST(AngleDimension, AnyDirectionsAndPointsSpanTheAngleTheyWrite)
{
    std::mt19937 random(20);
    std::uniform_real_distribution<double> coordinate(-1.0, 1.0), place(-50.0, 50.0), size(0.5, 20.0);
    auto direction = [&]() {
        kvCGeVector v;
        do
            v = kvCGeVector(coordinate(random), coordinate(random), coordinate(random));
        while (v.length() < 0.1);
        return v.normal();
    };
    int drawn = 0;
    for (int i = 0; i < 400; ++i) {
        const kvCGeVector a = direction(), b = direction();
        const kvCGePoint p(place(random), place(random), place(random));
        const kvCGePoint q(place(random), place(random), place(random));
        const double s = size(random);
        const int kind = i % 5;
        SCOPED_TRACE(i);
        const kvAngleDimension d = kvComputeAngleDimension(a, b, p, q, kind, s, direction());
        // The text's angle is the traces': 180 less the directions'.
        EXPECT_NEAR(180.0 - a.angleTo(b) * kDegrees, d.angle, 1e-9);
        if (!d.drawn)
            continue;
        ++drawn;
        expectDrawnAsWritten(d, a, b, s);
    }
    EXPECT_GT(drawn, 250);
}

TEST(AngleDimension, PointsOnTheCrossingStillGiveLegsOfTheRadius)
{
    // Both points at the lines' crossing (one pick for both elements).
    const kvCGePoint p(30, 2.5, 37.5);
    const kvAngleDimension d =
        kvComputeAngleDimension(tilted(45.0), kvCGeVector(0, 0, -1), p, p, kvAngleDimFree, 10.0, kvCGeVector(0, 0, -1));
    EXPECT_NEAR(45.0, d.angle, 1e-9);
    expectDrawnAsWritten(d, tilted(45.0), kvCGeVector(0, 0, -1), 10.0);
    EXPECT_EQ(p, d.centre);
    EXPECT_NEAR(10.0, d.radius, 1e-12);
}

// Size 0: the kinds that take their radius from the crossing draw the legs,
// the arc and the text there, with arrowheads of size 0 lying along the
// arc's tangent at its ends.
TEST(AngleDimension, AtSizeZeroTheRadiusIsTheCrossingsAndTheArcSpansTheAngle)
{
    const kvCGeVector top(0, 0, 1);
    for (double between : {45.0, 60.0, 90.0, 120.0, 150.0}) {
        for (int kind : {kvAngleDimFree, kvAngleDimSecondLeg, kvAngleDimOffset}) {
            SCOPED_TRACE(testing::Message() << between << " kind " << kind);
            const kvAngleDimension d = dimension(top, tilted(between), kind, 0.0);
            ASSERT_TRUE(d.drawn);
            EXPECT_NEAR(30.0, d.radius, 1e-9);
            EXPECT_NEAR(d.angle, sweepOf(d), 1e-6);
            EXPECT_NEAR(d.angle, (d.start - d.centre).angleTo(d.end - d.centre) * kDegrees, 1e-6);
            EXPECT_NEAR(0.0, (d.start - d.centre).dot(top), 1e-9);
            EXPECT_NEAR(0.0, (d.end - d.centre).dot(tilted(between)), 1e-9);
            EXPECT_EQ(d.start, kvCGePoint(d.startArrow(0, 3), d.startArrow(1, 3), d.startArrow(2, 3)));
            EXPECT_EQ(d.end, kvCGePoint(d.endArrow(0, 3), d.endArrow(1, 3), d.endArrow(2, 3)));
            EXPECT_NEAR(0.0, d.startArrowAxis.dot(d.start - d.centre), 1e-9);
            EXPECT_NEAR(0.0, d.endArrowAxis.dot(d.end - d.centre), 1e-9);
            EXPECT_FALSE(std::isnan(d.startArrowAxis.length()) || std::isnan(d.endArrowAxis.length()));
            kvCGePoint origin;
            kvCGeVector x, y, z;
            d.textFrame.getCoordSystem(origin, x, y, z);
            EXPECT_NEAR(30.0, origin.distanceTo(d.centre), 1e-9);
        }
    }
}

// An arc of radius 0 spans nothing and gives its arrowheads no tilt: the
// fixed radius at size 0, and a start on the crossing at size 0, give only
// the angle; so does a start that rounding puts just off the crossing. A
// positive size still draws both.
TEST(AngleDimension, AnArcOfRadiusZeroIsNotDrawn)
{
    const kvCGePoint p(30, 2.5, 37.5);
    const kvCGeVector side(0, 0, -1);
    // One rounding of the coordinates away along the first trace.
    const kvCGePoint nearlyP = p + tilted(45.0).cross(side.cross(tilted(45.0))).normal() * 1e-14;
    for (int kind : {kvAngleDimFree, kvAngleDimSecondLeg, kvAngleDimOffset}) {
        SCOPED_TRACE(kind);
        const kvAngleDimension onCrossing = kvComputeAngleDimension(tilted(45.0), side, p, p, kind, 0.0, side);
        EXPECT_NEAR(45.0, onCrossing.angle, 1e-9);
        EXPECT_FALSE(onCrossing.drawn);
        EXPECT_TRUE(onCrossing.contour.isEmpty());
        const kvAngleDimension offByRounding =
            kvComputeAngleDimension(tilted(45.0), side, nearlyP, p, kind, 0.0, side);
        EXPECT_NEAR(45.0, offByRounding.angle, 1e-9);
        EXPECT_FALSE(offByRounding.drawn);
        EXPECT_TRUE(kvComputeAngleDimension(tilted(45.0), side, p, p, kind, 3.0, side).drawn);
    }
    const kvAngleDimension fixed = dimension(kvCGeVector(0, 0, 1), tilted(45.0), kvAngleDimFixedRadius, 0.0);
    EXPECT_NEAR(135.0, fixed.angle, 1e-9);
    EXPECT_FALSE(fixed.drawn);
    EXPECT_TRUE(dimension(kvCGeVector(0, 0, 1), tilted(45.0), kvAngleDimFixedRadius, 3.0).drawn);
}

// Below a size of 1e-5 every kind is drawn as at any other size: the fixed
// radius is the size itself, the offset one the crossing's distance and
// the size, the free kinds the crossing's distance, and the text frame's
// axes keep unit length on the smallest arc.
TEST(AngleDimension, AtSizesBelowOneHundredThousandthEveryKindIsDrawnAtItsRadius)
{
    const kvCGeVector top(0, 0, 1);
    for (double size : {0.000005, 0.00001}) {
        for (double between : {45.0, 90.0, 150.0}) {
            SCOPED_TRACE(testing::Message() << size << " at " << between);
            const kvCGeVector b = tilted(between);
            const kvAngleDimension fixed = dimension(top, b, kvAngleDimFixedRadius, size);
            expectDrawnAsWritten(fixed, top, b, size);
            EXPECT_EQ(size, fixed.radius);
            const kvAngleDimension offset = dimension(top, b, kvAngleDimOffset, size);
            expectDrawnAsWritten(offset, top, b, size);
            EXPECT_NEAR(30.0 + size, offset.radius, 1e-12);
            for (int kind : {kvAngleDimFree, kvAngleDimSecondLeg}) {
                const kvAngleDimension free = dimension(top, b, kind, size);
                expectDrawnAsWritten(free, top, b, size);
                EXPECT_NEAR(30.0, free.radius, 1e-12);
            }
        }
    }
}

// The same block far from the origin: the fixed radius of a small size is
// still drawn, its legs true to the angle within the text's last decimal.
TEST(AngleDimension, FarFromTheOriginASmallFixedRadiusIsStillDrawn)
{
    const kvCGeVector top(0, 0, 1), b = tilted(60.0);
    for (double far : {1000.0, 100000.0}) {
        SCOPED_TRACE(far);
        const kvCGeVector shift(far, far, far);
        const kvCGePoint p = kvCGePoint(20, 30, 40) + shift;
        const kvCGePoint q = kvCGePoint(25, 0, 40) + shift + kvCGeVector(1, 0, 0).cross(b).normal() * 5.0;
        const kvAngleDimension d =
            kvComputeAngleDimension(top, b, p, q, kvAngleDimFixedRadius, 0.000005, kvCGeVector(0, 0, -1));
        ASSERT_TRUE(d.drawn);
        EXPECT_EQ(0.000005, d.radius);
        EXPECT_NEAR(120.0, (d.start - d.centre).angleTo(d.end - d.centre) * kDegrees, 0.0005);
        kvCGePoint origin;
        kvCGeVector x, y, z;
        d.textFrame.getCoordSystem(origin, x, y, z);
        EXPECT_NEAR(1.0, x.length(), 1e-12);
        EXPECT_NEAR(1.0, y.length(), 1e-12);
    }
}

// A start on the crossing, as the chamfer's face-hole angle with the boss
// wall computes it: below a size of 1e-5 the arc takes the size for its
// radius, and its legs run where they run at size 10, the first along the
// first trace.
TEST(AngleDimension, AStartOnTheCrossingTakesASmallSizeForItsRadiusAndKeepsItsLegs)
{
    const kvCGePoint p(30, 2.5, 37.5);
    const kvCGeVector first = tilted(45.0), side(0, 0, -1);
    for (int kind : {kvAngleDimFree, kvAngleDimSecondLeg, kvAngleDimOffset}) {
        SCOPED_TRACE(kind);
        const kvAngleDimension ten = kvComputeAngleDimension(first, side, p, p, kind, 10.0, side);
        const kvAngleDimension small = kvComputeAngleDimension(first, side, p, p, kind, 0.000005, side);
        expectDrawnAsWritten(small, first, side, 0.000005);
        EXPECT_NEAR(0.000005, small.radius, 1e-15);
        EXPECT_EQ(ten.centre, small.centre);
        EXPECT_NEAR(1.0, (small.start - small.centre).normal().dot((ten.start - ten.centre).normal()), 1e-9);
        EXPECT_NEAR(1.0, (small.end - small.centre).normal().dot((ten.end - ten.centre).normal()), 1e-9);
    }
}

TEST(AngleDimension, ArrowheadOutlinesAreTwoSidesAndTheBase)
{
    const kvCGePoint tip(1, 2, 3);
    const std::array<kvCGeContour3d, 3> o = kvArrowheadOutlines(kvCGeVector(0, 0, 1), tip, 2.0, 4.0);
    kvTArray<double[3], kvTMemCopy<double[3]>> side, other, base;
    ASSERT_TRUE(o[0].getApproxPoints(side, 0.0001));
    ASSERT_TRUE(o[1].getApproxPoints(other, 0.0001));
    ASSERT_TRUE(o[2].getApproxPoints(base, 0.0001));
    ASSERT_EQ(3u, side.size());
    ASSERT_EQ(3u, other.size());
    ASSERT_EQ(5u, base.size());
    EXPECT_EQ(tip, kvCGePoint(side[1]));
    EXPECT_EQ(tip, kvCGePoint(other[1]));
    for (unsigned i = 0; i < base.size(); ++i) {
        EXPECT_NEAR(7.0, base[i][2], 1e-12);
        EXPECT_NEAR(std::sqrt(2.0), kvCGePoint(base[i]).distanceTo(kvCGePoint(1, 2, 7)), 1e-12);
    }
    EXPECT_EQ(kvCGePoint(base[0]), kvCGePoint(base[4]));
}

} // namespace
