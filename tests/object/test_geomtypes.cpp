#include "sdk/kvGeomTypes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {
const double kPi = 3.141592653589793;

void expectNear(const kvCGeVector& a, const kvCGeVector& b, double tol = 1e-12)
{
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

void expectNear(const kvCGePoint& a, const kvCGePoint& b, double tol = 1e-12)
{
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

void expectOrthonormalRightHanded(const kvCGeMatrix& m)
{
    kvCGePoint o;
    kvCGeVector x, y, z;
    m.getCoordSystem(o, x, y, z);
    EXPECT_NEAR(x.length(), 1.0, 1e-12);
    EXPECT_NEAR(y.length(), 1.0, 1e-12);
    EXPECT_NEAR(z.length(), 1.0, 1e-12);
    EXPECT_NEAR(x.dot(y), 0.0, 1e-12);
    expectNear(x.cross(y), z);
}
}  // namespace

TEST(GeomVector, LengthNormCrossAndAngles)
{
    kvCGeVector v(3, 4, 0);
    EXPECT_DOUBLE_EQ(v.length(), 5.0);
    v.normIt();
    expectNear(v, kvCGeVector(0.6, 0.8, 0));
    kvCGeVector zero;
    zero.normIt();
    EXPECT_EQ(zero, kvCGeVector());

    expectNear(kvCGeVector(1, 0, 0).cross(kvCGeVector(0, 1, 0)), kvCGeVector(0, 0, 1));

    const kvCGeVector x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
    EXPECT_NEAR(x.angleTo(y), kPi / 2, 1e-15);
    EXPECT_NEAR(x.angleTo(-x), kPi, 1e-15);
    // A tiny angle keeps its digits.
    EXPECT_NEAR(x.angleTo(kvCGeVector(1, 1e-9, 0)), 1e-9, 1e-20);
    // About a reference axis the angle runs counter-clockwise, 0 to 2 pi.
    EXPECT_NEAR(x.angleTo(y, z), kPi / 2, 1e-15);
    EXPECT_NEAR(x.angleTo(y, -z), 3 * kPi / 2, 1e-15);
    EXPECT_NEAR(x.angleTo(x, z), 0.0, 1e-15);

    const kvCGePoint p(1, 1, 1);
    const kvCGePoint q = p + kvCGeVector(1, 2, 2);
    EXPECT_DOUBLE_EQ(q.distanceTo(p), 3.0);
    expectNear(q - p, kvCGeVector(1, 2, 2));
}

TEST(GeomMatrix, ArbitraryAxisFramesAreOrthonormalWithTheGivenZ)
{
    const kvCGeVector axes[] = {kvCGeVector(0, 0, 1), kvCGeVector(0, 0, -3), kvCGeVector(1, 2, 3),
                                kvCGeVector(0.001, 0.001, 1), kvCGeVector(1, 0, 0)};
    for (const kvCGeVector& a : axes) {
        kvCGeMatrix m;
        m.setTranslation(kvCGeVector(5, 5, 5));
        m.setFromArbitraryAxis(a);
        expectOrthonormalRightHanded(m);
        expectNear(m * kvCGeVector(0, 0, 1), a.normal());
        EXPECT_EQ(m.translation(), kvCGeVector());  // rotation only
    }
    kvCGeMatrix world;
    world.setFromArbitraryAxis(kvCGeVector(0, 0, 1));
    EXPECT_TRUE(world.isIdentity());
}

TEST(GeomMatrix, CoordSystemTranslationProductsAndInverse)
{
    kvCGeMatrix f;
    const kvCGePoint origin(10, 20, 30);
    f.setCoordSystem(origin, kvCGeVector(0, 1, 0), kvCGeVector(-1, 0, 0), kvCGeVector(0, 0, 1));
    kvCGePoint o;
    kvCGeVector x, y, z;
    f.getCoordSystem(o, x, y, z);
    EXPECT_EQ(o, origin);
    EXPECT_EQ(x, kvCGeVector(0, 1, 0));

    // Points take the translation, vectors do not.
    expectNear(f * kvCGePoint(1, 0, 0), kvCGePoint(10, 21, 30));
    expectNear(f * kvCGeVector(1, 0, 0), kvCGeVector(0, 1, 0));

    kvCGeMatrix inv = f;
    ASSERT_TRUE(inv.invertIt());
    expectNear(inv * (f * kvCGePoint(3, -4, 5)), kvCGePoint(3, -4, 5));
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR((f * inv)(r, c), r == c ? 1.0 : 0.0, 1e-12);

    // Product order: (a * b) applies b first.
    kvCGeMatrix shift;
    shift.setTranslation(kvCGeVector(1, 0, 0));
    kvCGeMatrix turn;
    turn.setToRotation2(kPi / 2, kvCGeVector(0, 0, 1), kvCGePoint());
    expectNear((turn * shift) * kvCGePoint(), kvCGePoint(0, 1, 0));
    expectNear((shift * turn) * kvCGePoint(), kvCGePoint(1, 0, 0));

    kvCGeMatrix singular;
    singular(2, 2) = 0.0;
    const kvCGeMatrix before = singular;
    EXPECT_FALSE(singular.invertIt());
    EXPECT_EQ(singular, before);
}

TEST(GeomMatrix, RotationAboutAnAxisThroughAPoint)
{
    kvCGeMatrix r;
    r.setToRotation2(kPi / 2, kvCGeVector(0, 0, 1), kvCGePoint(1, 1, 0));
    expectNear(r * kvCGePoint(1, 1, 5), kvCGePoint(1, 1, 5));
    expectNear(r * kvCGePoint(2, 1, 0), kvCGePoint(1, 2, 0));
    EXPECT_NEAR(r.determinant(), 1.0, 1e-12);
}

TEST(GeomContour, LinesAndArcsApproximateWithinTolerance)
{
    kvCGeContour3d c;
    kvTArray<double[3], kvTMemCopy<double[3]>> pts(0);
    EXPECT_FALSE(c.getApproxPoints(pts, 0.01));

    c.lineTo(kvCGePoint(0, 0, 0), 1);
    c.lineTo(kvCGePoint(10, 0, 0), 0);
    ASSERT_TRUE(c.getApproxPoints(pts, 0.0001));
    EXPECT_EQ(pts.size(), 2u);

    // A quarter circle of radius 10 about the origin, counter-clockwise.
    kvCGeContour3d arc;
    arc.lineTo(kvCGePoint(10, 0, 0), 1);
    ASSERT_TRUE(arc.arcTo(kvCGePoint(0, 10, 0), kvCGePoint(), kvCGeVector(0, 0, 1), 1));
    pts.setSize(0);
    const double tol = 0.001;
    ASSERT_TRUE(arc.getApproxPoints(pts, tol));
    ASSERT_GT(pts.size(), 3u);
    for (unsigned int i = 0; i < pts.size(); ++i) {
        EXPECT_NEAR(std::hypot(pts[i][0], pts[i][1]), 10.0, 1e-9);
        EXPECT_GE(pts[i][0], -1e-9);  // stays in the first quadrant
        EXPECT_GE(pts[i][1], -1e-9);
    }
    for (unsigned int i = 1; i < pts.size(); ++i) {
        const double mx = (pts[i][0] + pts[i - 1][0]) / 2, my = (pts[i][1] + pts[i - 1][1]) / 2;
        EXPECT_LE(10.0 - std::hypot(mx, my), tol + 1e-12);
    }
    EXPECT_DOUBLE_EQ(pts[pts.size() - 1][1], 10.0);

    // Clockwise the same end is reached the long way round.
    kvCGeContour3d longWay;
    longWay.lineTo(kvCGePoint(10, 0, 0), 1);
    longWay.arcTo(kvCGePoint(0, 10, 0), kvCGePoint(), kvCGeVector(0, 0, 1), 0);
    kvTArray<double[3], kvTMemCopy<double[3]>> lp(0);
    longWay.getApproxPoints(lp, tol);
    bool visitsThirdQuadrant = false;
    for (unsigned int i = 0; i < lp.size(); ++i)
        visitsThirdQuadrant |= (lp[i][0] < -1 && lp[i][1] < -1);
    EXPECT_TRUE(visitsThirdQuadrant);

    kvCGeContour3d noStart;
    EXPECT_FALSE(noStart.arcTo(kvCGePoint(1, 0, 0), kvCGePoint(), kvCGeVector(0, 0, 1), 1));

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
    EXPECT_EQ(c.setFromAcadColorIndex(1).colorValue(), red.colorValue());
    EXPECT_EQ(c.setFromAcadColorIndex(5).colorValue(), 0xFF0000u);
    EXPECT_EQ(c.setFromAcadColorIndex(10).colorValue(), red.colorValue());
    // Distinct indices of the hue rings give distinct colours.
    kvCColor a, b, d;
    a.setFromAcadColorIndex(14);
    b.setFromAcadColorIndex(94);
    d.setFromAcadColorIndex(174);
    EXPECT_NE(a, b);
    EXPECT_NE(b, d);
    EXPECT_NE(a, d);
    EXPECT_EQ(c.setFromAcadColorIndex(300).colorValue(), 0u);
}
