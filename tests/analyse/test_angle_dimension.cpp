// The angle dimension's geometry: its angle, when it is drawn, the arc's
// radius, and that legs, arc, arrowheads and text fit together.
#include "analyse/kvAngleDimension.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double kPi = 3.141592653589793;

kvCGeVector tilted(double degrees)
{
    const double a = degrees * kPi / 180.0;
    return kvCGeVector(0.0, std::sin(a), std::cos(a));
}

kvAngleDimension dimension(const kvCGeVector& a, const kvCGeVector& b, int kind, double size = 10.0,
                           bool keepSide = false)
{
    // The top of a block (z = 40) and a face through the edge y = 0, z = 40
    // with normal b, picked at p on the first and q on the second.
    const kvCGePoint p(20, 30, 40);
    const kvCGeVector along = kvCGeVector(1, 0, 0).cross(b).normal();
    const kvCGePoint q = kvCGePoint(25, 0, 40) + along * 5.0;
    return kvComputeAngleDimension(a, b, p, q, kind, size, kvCGeVector(0, 0, -1), keepSide);
}

TEST(AngleDimension, AngleIsReturnedAlsoWhereNothingIsDrawn)
{
    const kvCGeVector top(0, 0, 1);
    struct Case {
        kvCGeVector b;
        int kind;
        double size;
        double angle;
        bool drawn;
    };
    const Case cases[] = {
        {tilted(45.005), kvAngleDimAngleOnly, 10.0, 45.005, false},
        {tilted(45.0), kvAngleDimFree, 10.0, 45.0, true},
        {tilted(1.9), kvAngleDimFree, 10.0, 1.9, false},
        {tilted(178.5), kvAngleDimFree, 10.0, 178.5, false},
        {tilted(2.5), kvAngleDimFree, 10.0, 2.5, true},
        {top, kvAngleDimFree, 10.0, 0.0, false},
        {-top, kvAngleDimFree, 10.0, 0.0, false},
        // Without a positive size the arrowheads would have no tilt.
        {tilted(60.0), kvAngleDimFree, 0.0, 60.0, false},
        {tilted(60.0), kvAngleDimFree, -5.0, 60.0, false},
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

// Legs, arc, arrowheads and text of a drawn dimension fit together.
void expectConsistent(const kvAngleDimension& d, double size)
{
    ASSERT_TRUE(d.drawn);
    const double r = d.radius;
    EXPECT_NEAR(r, d.start.distanceTo(d.centre), 1e-9);
    EXPECT_NEAR(r, d.end.distanceTo(d.centre), 1e-9);

    kvTArray<double[3], kvTMemCopy<double[3]>> points;
    ASSERT_TRUE(d.contour.getApproxPoints(points, 0.0001));
    ASSERT_GT(points.size(), 4u);
    EXPECT_EQ(d.centre, kvCGePoint(points[0]));
    EXPECT_EQ(d.centre, kvCGePoint(points[points.size() - 1]));
    // Every arc point on the circle, in the plane at right angles to n.
    for (unsigned i = 2; i + 1 < points.size(); ++i) {
        const kvCGePoint x(points[i]);
        EXPECT_NEAR(r, x.distanceTo(d.centre), 1e-9);
        EXPECT_NEAR(0.0, (x - d.centre).dot(d.normal), 1e-9);
    }
    // The arrowheads: tips at the arc's ends, bases on the arc.
    const double height = size / 5.0;
    EXPECT_EQ(d.start, kvCGePoint(d.startArrow(0, 3), d.startArrow(1, 3), d.startArrow(2, 3)));
    EXPECT_EQ(d.end, kvCGePoint(d.endArrow(0, 3), d.endArrow(1, 3), d.endArrow(2, 3)));
    EXPECT_NEAR(r, (d.start + d.startArrowAxis * height).distanceTo(d.centre), 1e-9);
    EXPECT_NEAR(r, (d.end + d.endArrowAxis * height).distanceTo(d.centre), 1e-9);
    // The arrowheads point into the arc from its ends: their bases lie
    // between the ends, nearer the other end than the tip is.
    EXPECT_LT((d.start + d.startArrowAxis * height).distanceTo(d.end), d.start.distanceTo(d.end));
    EXPECT_LT((d.end + d.endArrowAxis * height).distanceTo(d.start), d.end.distanceTo(d.start));
    // The text stands on the arc's circle, as far from both ends.
    kvCGePoint origin;
    kvCGeVector x, y, z;
    d.textFrame.getCoordSystem(origin, x, y, z);
    EXPECT_NEAR(r, origin.distanceTo(d.centre), 1e-9);
    EXPECT_NEAR(origin.distanceTo(d.start), origin.distanceTo(d.end), 1e-9);
    EXPECT_NEAR(1.0, std::fabs(z.dot(d.normal)), 1e-12);
}

TEST(AngleDimension, LegsArcArrowheadsAndTextFitTogether)
{
    const kvCGeVector top(0, 0, 1);
    for (double angle : {45.0, 90.0, 120.0, 150.0}) {
        SCOPED_TRACE(angle);
        for (int kind : {kvAngleDimFree, kvAngleDimFixedRadius, kvAngleDimSecondLeg, kvAngleDimOffset})
            expectConsistent(dimension(top, tilted(angle), kind), 10.0);
    }
    const kvAngleDimension d = dimension(top, tilted(45.0), kvAngleDimFree);
    // The legs end on the faces' traces: the first at p's side, the second
    // toward q.
    EXPECT_NEAR(40.0, d.start.z, 1e-9);
    EXPECT_NEAR(0.0, d.end.y + d.end.z - 40.0, 1e-9);
}

TEST(AngleDimension, PointsOnTheCrossingStillGiveLegsOfTheRadius)
{
    // Both points at the lines' crossing (one pick for both elements).
    const kvCGePoint p(30, 2.5, 37.5);
    const kvAngleDimension d =
        kvComputeAngleDimension(tilted(135.0), kvCGeVector(0, 0, -1), p, p, kvAngleDimFree, 10.0, kvCGeVector(0, 0, -1),
                                false);
    EXPECT_NEAR(45.0, d.angle, 1e-9);
    expectConsistent(d, 10.0);
    EXPECT_EQ(p, d.centre);
    EXPECT_NEAR(10.0, d.radius, 1e-12);
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
