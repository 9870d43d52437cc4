#include "sdk/kvGeomTypes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double kPi = 3.141592653589793;

template <class V>
void expectNear(const V& a, const V& b, double tol = 1e-12)
{
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

typedef kvTArray<double[3], kvTMemCopy<double[3]>> Polyline;

} // namespace

TEST(GeomVector, LengthNormCrossAndAngles)
{
    kvCGeVector v(3, 4, 0);
    EXPECT_DOUBLE_EQ(v.length(), 5.0);
    expectNear(v.normIt(), kvCGeVector(0.6, 0.8, 0));
    EXPECT_EQ(kvCGeVector().normIt(), kvCGeVector());

    const kvCGeVector x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
    expectNear(x.cross(y), z);
    struct Case {
        kvCGeVector to, about;  // a null axis: the plain angle
        double angle;
    };
    for (const Case& c : {Case{y, {}, kPi / 2}, Case{-x, {}, kPi}, Case{kvCGeVector(1, 1e-9, 0), {}, 1e-9},
                          Case{y, z, kPi / 2}, Case{y, -z, 3 * kPi / 2}, Case{x, z, 0.0}}) {
        const double angle = c.about.length() == 0 ? x.angleTo(c.to) : x.angleTo(c.to, c.about);
        EXPECT_NEAR(angle, c.angle, 1e-14) << c.angle;  // a tiny angle keeps its digits
    }

    const kvCGePoint p(1, 1, 1);
    const kvCGePoint q = p + kvCGeVector(1, 2, 2);
    EXPECT_DOUBLE_EQ(q.distanceTo(p), 3.0);
    expectNear(q - p, kvCGeVector(1, 2, 2));
}

TEST(GeomMatrix, ArbitraryAxisFramesAreOrthonormalRightHandedRotationsWithTheGivenZ)
{
    for (const kvCGeVector& a : {kvCGeVector(0, 0, 1), kvCGeVector(0, 0, -3), kvCGeVector(1, 2, 3),
                                 kvCGeVector(0.001, 0.001, 1), kvCGeVector(1, 0, 0)}) {
        kvCGeMatrix m;
        m.setTranslation(kvCGeVector(5, 5, 5));
        m.setFromArbitraryAxis(a);
        kvCGePoint o;
        kvCGeVector x, y, z;
        m.getCoordSystem(o, x, y, z);
        EXPECT_NEAR(x.length(), 1.0, 1e-12);
        EXPECT_NEAR(y.length(), 1.0, 1e-12);
        EXPECT_NEAR(x.dot(y), 0.0, 1e-12);
        expectNear(x.cross(y), z);
        expectNear(z, a.normal());
        EXPECT_EQ(m.translation(), kvCGeVector());
    }
    kvCGeMatrix world;
    world.setFromArbitraryAxis(kvCGeVector(0, 0, 1));
    EXPECT_TRUE(world.isIdentity());
}

TEST(GeomMatrix, FramesMovePointsNotVectorsAndInvertOnlyWhenRegular)
{
    kvCGeMatrix f;
    f.setCoordSystem(kvCGePoint(10, 20, 30), kvCGeVector(0, 1, 0), kvCGeVector(-1, 0, 0), kvCGeVector(0, 0, 1));
    kvCGePoint o;
    kvCGeVector x, y, z;
    f.getCoordSystem(o, x, y, z);
    EXPECT_TRUE(o == kvCGePoint(10, 20, 30) && x == kvCGeVector(0, 1, 0) && y == kvCGeVector(-1, 0, 0));
    expectNear(f * kvCGePoint(1, 0, 0), kvCGePoint(10, 21, 30));
    expectNear(f * kvCGeVector(1, 0, 0), kvCGeVector(0, 1, 0));

    kvCGeMatrix inv = f;
    ASSERT_TRUE(inv.invertIt());
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR((f * inv)(r, c), r == c ? 1.0 : 0.0, 1e-12);

    kvCGeMatrix singular;
    singular(2, 2) = 0.0;
    const kvCGeMatrix before = singular;
    EXPECT_FALSE(singular.invertIt());
    EXPECT_EQ(singular, before);
}

TEST(GeomMatrix, ProductsApplyTheRightFactorFirstAndRotationsTurnAboutTheirPoint)
{
    kvCGeMatrix shift;
    shift.setTranslation(kvCGeVector(1, 0, 0));
    kvCGeMatrix turn;
    turn.setToRotation2(kPi / 2, kvCGeVector(0, 0, 1), kvCGePoint());
    expectNear((turn * shift) * kvCGePoint(), kvCGePoint(0, 1, 0));
    expectNear((shift * turn) * kvCGePoint(), kvCGePoint(1, 0, 0));

    kvCGeMatrix r;
    r.setToRotation2(kPi / 2, kvCGeVector(0, 0, 1), kvCGePoint(1, 1, 0));
    expectNear(r * kvCGePoint(1, 1, 5), kvCGePoint(1, 1, 5));
    expectNear(r * kvCGePoint(2, 1, 0), kvCGePoint(1, 2, 0));
    EXPECT_NEAR(r.determinant(), 1.0, 1e-12);
}

TEST(GeomContour, ArcsApproximateWithinToleranceOnTheirOwnSide)
{
    Polyline pts(0);
    EXPECT_FALSE(kvCGeContour3d().getApproxPoints(pts, 0.01));
    EXPECT_FALSE(kvCGeContour3d().arcTo(kvCGePoint(1, 0, 0), kvCGePoint(), kvCGeVector(0, 0, 1), 1));

    // A quarter circle of radius 10 about the origin, counter-clockwise; then
    // clockwise, where the same end is reached the long way round.
    const double tol = 0.001;
    for (int ccw = 1; ccw >= 0; --ccw) {
        kvCGeContour3d arc;
        arc.lineTo(kvCGePoint(10, 0, 0), 1);
        ASSERT_TRUE(arc.arcTo(kvCGePoint(0, 10, 0), kvCGePoint(), kvCGeVector(0, 0, 1), ccw));
        pts.setSize(0);
        ASSERT_TRUE(arc.getApproxPoints(pts, tol));
        ASSERT_GT(pts.size(), 3u);
        bool thirdQuadrant = false;
        for (unsigned int i = 0; i < pts.size(); ++i) {
            EXPECT_NEAR(std::hypot(pts[i][0], pts[i][1]), 10.0, 1e-9);
            thirdQuadrant |= pts[i][0] < -1 && pts[i][1] < -1;
            if (i > 0) {
                const double mx = (pts[i][0] + pts[i - 1][0]) / 2, my = (pts[i][1] + pts[i - 1][1]) / 2;
                EXPECT_LE(10.0 - std::hypot(mx, my), tol + 1e-12);
            }
        }
        EXPECT_EQ(thirdQuadrant, ccw == 0);
        EXPECT_DOUBLE_EQ(pts[pts.size() - 1][1], 10.0);
    }
}

TEST(GeomContour, StraightContoursKeepTheirCornersAndCompareByValue)
{
    kvCGeContour3d c;
    c.lineTo(kvCGePoint(0, 0, 0), 1);
    c.lineTo(kvCGePoint(10, 0, 0), 0);
    Polyline pts(0);
    ASSERT_TRUE(c.getApproxPoints(pts, 0.0001));
    EXPECT_EQ(pts.size(), 2u);

    kvCGeContour2d a, b;
    a.lineTo(0, 0, 1).lineTo(1, 1, 0);
    b = a;
    EXPECT_EQ(a, b);
    b.lineTo(2, 2, 0);
    EXPECT_NE(a, b);
}

TEST(GeomColor, ColourWordsAndIndexPalette)
{
    kvCColor red;
    red.setRGB(255, 0, 0);
    EXPECT_EQ(red.colorValue(), 0x0000FFu);
    EXPECT_EQ(kvCColor(0, 0, 255).colorValue(), 0xFF0000u);

    kvCColor c;
    for (const auto& index : {std::make_pair(1, 0x0000FFu), {5, 0xFF0000u}, {10, 0x0000FFu}, {300, 0u}})
        EXPECT_EQ(c.setFromAcadColorIndex(index.first).colorValue(), index.second) << index.first;
    // Distinct indices of the hue rings give distinct colours.
    kvCColor a, b, d;
    a.setFromAcadColorIndex(14);
    b.setFromAcadColorIndex(94);
    d.setFromAcadColorIndex(174);
    EXPECT_TRUE(a != b && b != d && a != d);
}
