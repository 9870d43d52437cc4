// Vector and matrix maths: degenerate thresholds, angle clamps, aliasing
// and the frame conventions of the matrices.
#include "curve_ref.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using curveref::expectVec;

const double kPi = 3.14159265358979323846;

}  // namespace

TEST(GeomVector, NormalizeLeavesTinyVectorsAlone)
{
    double tiny[3] = {0, 0, 1e-13};
    EXPECT_DOUBLE_EQ(1e-13, vec3Normalize(tiny));
    EXPECT_DOUBLE_EQ(1e-13, tiny[2]);
    double v[3] = {3, 4, 0};
    EXPECT_DOUBLE_EQ(5.0, vec3Normalize(v));
    const double unit[3] = {0.6, 0.8, 0};
    expectVec(unit, v);
}

TEST(GeomVector, AnglesClampNearParallelAndRefuseNullVectors)
{
    const double a[3] = {1, 0, 0};
    const double close[3] = {std::cos(1e-4), std::sin(1e-4), 0};
    const double opposite[3] = {-2, 0, 0};
    const double perp[3] = {0, 3, 0};
    const double null[3] = {0, 0, 0};
    EXPECT_EQ(0.0, vec3Angle(a, close));
    EXPECT_DOUBLE_EQ(kPi, vec3Angle(a, opposite));
    EXPECT_EQ(0.0, vec3Angle(a, null));
    EXPECT_DOUBLE_EQ(2 * kPi, vec3OuterAngle(a, a));
    EXPECT_NEAR(1.5 * kPi, vec3OuterAngle(a, perp), 1e-15);
    // Projections onto two axes give the polar angle of the point.
    const double o[3] = {1, 1, 0};
    const double q[3] = {1, 3, 0};
    EXPECT_NEAR(kPi / 2, vec3AngleBetweenProjections(o, a, perp, q), 1e-15);
}

// The line angles take the angle of the foot's signed distance along the
// line divided by the line vector's length, snapped like the vector angles;
// the outer angles complete the turn except where nothing can be measured.
TEST(GeomVector, LineAnglesAndOuterAngles)
{
    const double o[3] = {1, 1, 1}, d[3] = {2, 0, 0}, nul[3] = {0, 0, 0};
    const double half[3] = {2, 6, 1}, beyond[3] = {11, 1, 1}, behind[3] = {-2, 2, 1};
    EXPECT_NEAR(kPi / 3, vec3AngleFromLine(o, d, half), 1e-15);
    EXPECT_NEAR(5 * kPi / 3, vec3OuterAngleFromLine(o, d, half), 1e-15);
    EXPECT_EQ(0.0, vec3AngleFromLine(o, d, beyond));
    EXPECT_DOUBLE_EQ(2 * kPi, vec3OuterAngleFromLine(o, d, beyond));
    EXPECT_DOUBLE_EQ(kPi, vec3AngleFromLine(o, d, behind));
    EXPECT_DOUBLE_EQ(kPi, vec3OuterAngleFromLine(o, d, behind));
    EXPECT_EQ(0.0, vec3AngleFromLine(o, nul, half));
    EXPECT_EQ(0.0, vec3OuterAngleFromLine(o, nul, half));
    EXPECT_EQ(0.0, vec3OuterAngle(d, nul));
    EXPECT_NEAR(2 * kPi, vec3OuterAngle(d, behind) + vec3Angle(d, behind), 1e-15);
}

TEST(GeomVector, ProjectionAndPerpendicularFrames)
{
    const double o[3] = {1, 1, 1}, d[3] = {0, 0, 10}, q[3] = {5, -2, 4};
    double foot[3];
    EXPECT_DOUBLE_EQ(3.0, projectOnLineB(o, d, q, foot));
    const double expectedFoot[3] = {1, 1, 4};
    expectVec(expectedFoot, foot);

    double n[3] = {0, 0, 2};
    double u[3], w[3];
    vec3AnyPerpendicular(n, u, w);
    const double nz[3] = {0, 0, 1}, mx[3] = {-1, 0, 0}, my[3] = {0, -1, 0};
    expectVec(nz, n);
    expectVec(mx, u);
    expectVec(my, w);

    double untouched[3] = {7, 7, 7};
    double nul[3] = {0, 0, 0};
    vec3AnyPerpendicular(nul, untouched, w);
    EXPECT_EQ(7.0, untouched[0]);

    double m[3] = {0, 0, 3};
    const double ref[3] = {1, 1, 5};
    vec3PerpendicularFrame(m, ref, u, w);
    const double ux[3] = {std::sqrt(0.5), std::sqrt(0.5), 0};
    expectVec(ux, u);
    EXPECT_NEAR(0.0, vec3Dot(w, m), 1e-15);
}

TEST(GeomMatrix, RotationAboutAxisThroughPointKeepsPointFixed)
{
    const double p[3] = {1, 0, 0}, axis[3] = {0, 0, 1};
    double m[16];
    mat4RotationAboutAxis(p, axis, kPi / 2, m);
    const double q[3] = {2, 0, 0};
    double out[3];
    const double expected[3] = {1, 1, 0};
    expectVec(expected, mat4TransformPoint(m, q, out), 1e-15);
    expectVec(p, mat4TransformPoint(m, p, out), 1e-15);
}

TEST(GeomMatrix, AliasedOutputsGiveTheSameResults)
{
    double a[16], b[16], expected[16];
    for (int i = 0; i < 16; ++i) {
        a[i] = 0.5 * i - 3.0;
        b[i] = (i * 7 % 5) - 1.5;
    }
    mat4Multiply(a, b, expected);
    mat4Product(a, b, a);
    for (int i = 0; i < 16; ++i)
        EXPECT_DOUBLE_EQ(expected[i], a[i]);
}

TEST(GeomMatrix, TransposedTransformsReadColumnOrder)
{
    const double x[3] = {0, 1, 0}, y[3] = {-1, 0, 0}, z[3] = {0, 0, 1}, o[3] = {5, 6, 7};
    double m[16], t[16];
    mat4FromFrameColumns(o, x, y, z, m);
    const double p[3] = {1, 2, 3};
    double direct[3], viaT[3];
    mat4TransformPoint(m, p, direct);
    mat4Transpose(m, t);
    expectVec(direct, mat4TransformPointT(t, p, viaT));
    mat4TransposeInPlace(t);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m[i], t[i]);
}
