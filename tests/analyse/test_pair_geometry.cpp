// The geometry of two-element measurements, checked against hand-computed
// pairs: directions at known angles, planes and axes at known distances.
#include "analyse/kvPairGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double kPi = 3.141592653589793;

kvCGeVector unit(double x, double y, double z) { return kvCGeVector(x, y, z).normal(); }

// A direction at the given angle (degrees) to +Z, tilted toward +Y.
kvCGeVector tilted(double degrees)
{
    const double a = degrees * kPi / 180.0;
    return kvCGeVector(0.0, std::sin(a), std::cos(a));
}

TEST(PairDirections, ParallelTestsTellSameAndOppositeFromCrossingDirections)
{
    struct Case {
        kvCGeVector a, b;
        bool axes, planes;
    };
    const Case cases[] = {
        {unit(0, 0, 1), unit(0, 0, 1), true, true},
        {unit(0, 0, 1), unit(0, 0, -1), true, true},
        {unit(1, 2, 3), unit(-1, -2, -3), true, true},
        // Same component sizes, yet 90 degrees apart.
        {unit(1, 1, 0), unit(1, -1, 0), false, false},
        {unit(1, 1, 1), unit(-1, 1, 1), false, false},
        {tilted(0.0), tilted(0.01), false, false},
        {kvCGeVector(), unit(0, 0, 1), false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.axes, kvPairAxesParallel(c.a, c.b)) << c.a.x << "," << c.a.y << "," << c.a.z;
        EXPECT_EQ(c.planes, kvPairPlanesParallel(c.a, c.b)) << c.a.x << "," << c.a.y << "," << c.a.z;
    }
}

TEST(PairDirections, RightAngleOnlyForPerpendicularDirections)
{
    EXPECT_TRUE(kvPairIsRightAngle(unit(0, 0, 1), unit(1, 0, 0)));
    EXPECT_TRUE(kvPairIsRightAngle(unit(0, 0, -1), unit(0, 1, 0)));
    EXPECT_TRUE(kvPairIsRightAngle(unit(1, 1, 1), unit(1, -1, 0)));
    EXPECT_FALSE(kvPairIsRightAngle(unit(0, 0, 1), tilted(89.99)));
    EXPECT_FALSE(kvPairIsRightAngle(unit(0, 0, 1), tilted(45.0)));
    // Nearly the same direction, outside the parallel test's reach: not 90.
    const kvCGeVector nearlySame = tilted(0.005);
    ASSERT_FALSE(kvPairPlanesParallel(unit(0, 0, 1), nearlySame));
    EXPECT_FALSE(kvPairIsRightAngle(unit(0, 0, 1), nearlySame));
}

TEST(PairDirections, AnglesOfAnAxisToAPlaneAndBetweenAxes)
{
    // An axis 30 degrees from the first direction lies 60 degrees from the
    // plane at right angles to it; one in that plane counts as 90.
    EXPECT_NEAR(60.0, kvPairAxisAngle(unit(0, 0, 1), tilted(30.0)), 1e-9);
    EXPECT_NEAR(60.0, kvPairAxisAngle(unit(0, 0, 1), -tilted(30.0)), 1e-9);
    EXPECT_EQ(90.0, kvPairAxisAngle(unit(0, 0, 1), unit(1, 0, 0)));

    // Between axes as lines: the same whichever way either is turned, and
    // continuous up to the right angle (89.99 is not read as 0.01).
    EXPECT_NEAR(30.0, kvPairAngleOfAxes(unit(0, 0, 1), tilted(30.0)), 1e-9);
    EXPECT_NEAR(30.0, kvPairAngleOfAxes(unit(0, 0, 1), tilted(150.0)), 1e-9);
    EXPECT_NEAR(30.0, kvPairAngleOfAxes(-unit(0, 0, 1), tilted(30.0)), 1e-9);
    EXPECT_NEAR(89.99, kvPairAngleOfAxes(unit(0, 0, 1), tilted(89.99)), 1e-9);
    EXPECT_EQ(90.0, kvPairAngleOfAxes(unit(0, 0, 1), unit(1, 0, 0)));
}

TEST(PairDirections, AngleAsShown)
{
    EXPECT_EQ(60.0, kvPairShownAngle(59.99999999));
    EXPECT_EQ(12.346, kvPairShownAngle(12.34567));
    EXPECT_EQ(0.0, kvPairShownAngle(0.0004));
    EXPECT_EQ(0.0, kvPairShownAngle(179.9995));
    EXPECT_EQ(180.0, kvPairRoundedAngle(179.9995));
    EXPECT_EQ(0.002, kvPairShownAngle(0.002));
}

TEST(PairDirections, TypeOfTwoElementsAtAnAngle)
{
    struct Case {
        int firstKind;
        double angle;
        bool rightAngle;
        int type;
    };
    const Case cases[] = {
        {kvFirstPlane, 90.0, true, kvPairPlanesAtRightAngle},
        {kvFirstPlane, 45.005, false, kvPairPlanesAt45},
        {kvFirstPlane, 44.995, false, kvPairPlanesAt45},
        {kvFirstPlane, 45.02, false, kvPairPlanesBelow60},
        {kvFirstPlane, 29.9, false, kvPairPlanesBelow30},
        {kvFirstPlane, 30.0, false, kvPairPlanesBelow60},
        {kvFirstPlane, 60.0, false, kvPairPlanesFrom60},
        // Decided on the angle as shown: 59.99999 reads 60.
        {kvFirstPlane, 59.99999, false, kvPairPlanesFrom60},
        {kvFirstPlane, 59.9994, false, kvPairPlanesBelow60},
        {kvFirstPlane, 29.99999, false, kvPairPlanesBelow60},
        {kvFirstPlane, 120.0, false, kvPairPlanesFrom60},
        {kvFirstAxis, 90.0, true, kvPairAxisAndPlaneAtAngle},
        {kvFirstAxis, 45.0, false, kvPairAxisAndPlaneAtAngle},
        {kvFirstCurved, 45.0, false, kvPairCurved},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.type, kvPairTypeOfPlaneAngle(c.firstKind, c.angle, c.rightAngle)) << c.angle;
}

TEST(PairDistances, ParallelPlanesFootLandsOnTheSecondPlane)
{
    // Top (z = 40) first, bottom (z = 0) second, with the normal either way.
    for (const kvCGeVector& normal : {unit(0, 0, -1), unit(0, 0, 1)}) {
        const kvPairPlaneDistance d = kvPairDistanceOfPlanes(normal, kvCGePoint(50, 30, 40), kvCGePoint(20, 10, 40),
                                                             kvCGePoint(70, 50, 0));
        EXPECT_NEAR(40.0, d.distance, 1e-12);
        EXPECT_NEAR(20.0, d.foot.x, 1e-12);
        EXPECT_NEAR(10.0, d.foot.y, 1e-12);
        EXPECT_NEAR(0.0, d.foot.z, 1e-12);
    }
    // Planes of a tilted normal: the foot is the first pick moved onto the
    // second plane along the normal.
    const kvCGeVector n = tilted(60.0);
    const double a = 60.0 * kPi / 180.0;
    const kvCGePoint first(0, 0, 0), second = kvCGePoint(3, -2 * std::cos(a), 2 * std::sin(a)) + n * 7.5;
    const kvPairPlaneDistance d = kvPairDistanceOfPlanes(n, first, first, second);
    EXPECT_NEAR(7.5, d.distance, 1e-12);
    EXPECT_NEAR(7.5, kvPairHeightAlong(n, first, d.foot), 1e-12);
    EXPECT_NEAR(0.0, (d.foot - (first + n * 7.5)).length(), 1e-12);
}

TEST(PairDistances, HoleDistanceIsMeasuredAcrossTheAxes)
{
    EXPECT_NEAR(20.0, kvPairHoleDistance(unit(0, 0, 1), kvCGePoint(20, 40, 0), kvCGePoint(40, 40, 17)), 1e-12);
    EXPECT_NEAR(20.0, kvPairHoleDistance(unit(0, 0, -1), kvCGePoint(20, 40, 5), kvCGePoint(40, 40, 0)), 1e-12);
    EXPECT_NEAR(5.0, kvPairHoleDistance(unit(1, 0, 0), kvCGePoint(0, 0, 0), kvCGePoint(9, 3, 4)), 1e-12);
}

TEST(PairDistances, LinesMeetInThePlaneWhereTheyCrossMost)
{
    kvCGePoint out;
    EXPECT_NEAR(5.0, kvPairIntersectLines(unit(1, 0, 0), unit(0, 1, 0), kvCGePoint(0, 0, 0), kvCGePoint(5, 5, 0), out),
                1e-12);
    EXPECT_NEAR(0.0, (out - kvCGePoint(5, 0, 0)).length(), 1e-12);
    // Lines in the plane x = 3, met behind the start (|t|).
    EXPECT_NEAR(2.0, kvPairIntersectLines(unit(0, -1, 0), unit(0, 0, 1), kvCGePoint(3, 0, 0), kvCGePoint(3, 2, 7), out),
                1e-12);
    EXPECT_NEAR(0.0, (out - kvCGePoint(3, 2, 0)).length(), 1e-12);
    // Lines in the plane y = -1.
    EXPECT_NEAR(4.0, kvPairIntersectLines(unit(0, 0, 1), unit(1, 0, 1), kvCGePoint(2, -1, 0), kvCGePoint(0, -1, 2), out),
                1e-12);
    EXPECT_NEAR(0.0, (out - kvCGePoint(2, -1, 4)).length(), 1e-12);
    // Parallel lines do not meet.
    EXPECT_EQ(0.0, kvPairIntersectLines(unit(1, 0, 0), unit(1, 0, 0), kvCGePoint(0, 0, 0), kvCGePoint(0, 1, 0), out));
    EXPECT_EQ(kvCGePoint(0, 0, 0), out);
}

TEST(PairDistances, AngledHoleOffsetFootOnTheFirstHolesSide)
{
    kvCGePoint foot;
    // First hole along z, its wall picked at y = -5; the second along x
    // through (0, 0, 20): both axes span the plane y = 0.
    EXPECT_NEAR(5.0, kvPairAngledHoleOffset(unit(0, 0, 1), unit(1, 0, 0), kvCGePoint(0, 0, 20), kvCGePoint(0, -5, 10),
                                            foot),
                1e-12);
    EXPECT_NEAR(0.0, (foot - kvCGePoint(0, -5, 20)).length(), 1e-12);
    EXPECT_NEAR(5.0, kvPairAngledHoleOffset(unit(1, 0, 0), unit(0, 0, 1), kvCGePoint(0, 0, 20), kvCGePoint(0, -5, 10),
                                            foot),
                1e-12);
    EXPECT_NEAR(-5.0, foot.y, 1e-12);
    EXPECT_EQ(0.0, kvPairAngledHoleOffset(unit(1, 0, 0), unit(-1, 0, 0), kvCGePoint(1, 2, 3), kvCGePoint(0, 0, 0), foot));
    EXPECT_EQ(kvCGePoint(1, 2, 3), foot);
}

} // namespace
