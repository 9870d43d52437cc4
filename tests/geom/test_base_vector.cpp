// Vector and matrix maths: degenerate thresholds, angle clamps, aliasing
// and the frame conventions of the matrices.
#include "geom/geom.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double kPi = 3.14159265358979323846;

void expectVec(const double* expected, const double* actual, double tol = 1e-12)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(expected[i], actual[i], tol) << "component " << i;
}

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

    double w[3] = {0, -1e-13, 0};
    EXPECT_DOUBLE_EQ(1e-13, vec3NormalizeB(w));
    EXPECT_DOUBLE_EQ(-1e-13, w[1]);
}

TEST(GeomVector, DifferenceRunsFromFirstToSecond)
{
    const double a[3] = {1, 2, 3}, b[3] = {4, 6, 3};
    double out[3];
    const double expected[3] = {3, 4, 0};
    expectVec(expected, vec3Diff(a, b, out));
    expectVec(expected, vec3DiffB(a, b, out));
    EXPECT_DOUBLE_EQ(5.0, vec3Distance(a, b));
    // The cross product may write over one of its inputs.
    double x[3] = {1, 0, 0};
    const double y[3] = {0, 1, 0};
    const double z[3] = {0, 0, 1};
    expectVec(z, vec3Cross(x, y, x));
    EXPECT_EQ(0.0, vec3Triple(z, z, y));  // repeated rows: determinant 0
    const double xx[3] = {1, 0, 0};
    EXPECT_DOUBLE_EQ(1.0, vec3Triple(xx, y, z));
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
    EXPECT_NEAR(kPi / 2, vec3Angle(a, perp), 1e-15);

    EXPECT_DOUBLE_EQ(2 * kPi, vec3OuterAngle(a, a));
    EXPECT_NEAR(1.5 * kPi, vec3OuterAngle(a, perp), 1e-15);
    EXPECT_EQ(0.0, vec3OuterAngle(null, a));

    // Projections onto two axes give the polar angle of the point.
    const double o[3] = {1, 1, 0};
    const double q[3] = {1, 3, 0};
    EXPECT_NEAR(kPi / 2, vec3AngleBetweenProjections(o, a, perp, q), 1e-15);
}

TEST(GeomVector, ProjectionOnLineUsesUnitDirection)
{
    const double o[3] = {1, 1, 1}, d[3] = {0, 0, 10}, q[3] = {5, -2, 4};
    double foot[3];
    EXPECT_DOUBLE_EQ(3.0, projectOnLineB(o, d, q, foot));
    const double expected[3] = {1, 1, 4};
    expectVec(expected, foot);
    EXPECT_DOUBLE_EQ(10.0, d[2]);  // the direction itself is not normalised
}

TEST(GeomVector, PerpendicularFrames)
{
    double n[3] = {0, 0, 2};
    double u[3], w[3];
    vec3AnyPerpendicular(n, u, w);
    const double nz[3] = {0, 0, 1}, mx[3] = {-1, 0, 0}, my[3] = {0, -1, 0};
    expectVec(nz, n);
    expectVec(mx, u);
    expectVec(my, w);

    double flat[3] = {0, 5, 0};
    vec3AnyPerpendicular(flat, u, w);
    EXPECT_NEAR(0.0, vec3Dot(flat, u), 1e-15);
    EXPECT_NEAR(1.0, vec3Length(u), 1e-15);

    double untouched[3] = {7, 7, 7};
    double nul[3] = {0, 0, 0};
    vec3AnyPerpendicular(nul, untouched, w);
    EXPECT_EQ(7.0, untouched[0]);

    double m[3] = {0, 0, 3};
    const double ref[3] = {1, 1, 5};
    vec3PerpendicularFrame(m, ref, u, w);
    const double ux[3] = {std::sqrt(0.5), std::sqrt(0.5), 0};
    expectVec(ux, u);
    EXPECT_NEAR(0.0, vec3Dot(w, u), 1e-15);
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
    EXPECT_EQ(0.0, m[12]);
    EXPECT_EQ(1.0, m[15]);
}

TEST(GeomMatrix, ProductIntoAnInputEqualsMultiplyIntoSeparateOutput)
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
    double m[16];
    mat4FromAxes(x, y, z, o, m);
    const double p[3] = {1, 2, 3};
    double direct[3], viaT[3], t[16];
    mat4TransformPoint(m, p, direct);
    const double expected[3] = {3, 7, 10};
    expectVec(expected, direct);
    mat4Transpose(m, t);
    expectVec(direct, mat4TransformPointT(t, p, viaT));
    mat4TransposeInPlace(t);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m[i], t[i]);

    // Applying in place gives the same as into a separate output.
    double q[3] = {1, 2, 3};
    expectVec(direct, mat4ApplyPoint(m, q, q));
    double v[3] = {1, 2, 3}, vo[3];
    mat4TransformVector(m, v, vo);
    expectVec(vo, mat4ApplyVector(m, v, v));

    double ox[3], oy[3], oz[3], oo[3];
    mat4FrameColumns(m, oo, ox, oy, oz);
    expectVec(o, oo);
    expectVec(y, oy);
    double back[16];
    mat4FromFrameColumns(oo, ox, oy, oz, back);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m[i], back[i]);
}

TEST(GeomMatrix, ScalingTouchesOnlyItsEntries)
{
    double m[16];
    mat4IdentityCopy(m);
    const double p[3] = {1, 2, 3};
    mat4Translation(p, m);
    double s[16];
    mat4Copy(m, s);
    mat3Scale(2.0, s);
    EXPECT_EQ(2.0, s[0]);
    EXPECT_EQ(1.0, s[3]);  // origin untouched
    mat4ScaleTranslation(3.0, s);
    EXPECT_EQ(3.0, s[3]);
    EXPECT_EQ(9.0, s[11]);
    EXPECT_EQ(2.0, s[10]);
    mat4Scale(0.5, s);
    EXPECT_EQ(1.0, s[0]);
    EXPECT_EQ(1.5, s[3]);
    EXPECT_EQ(1.0, s[15]);  // bottom row untouched
    double lx, ly, lz;
    mat4AxisLengths(s, &lx, &ly, &lz);
    EXPECT_DOUBLE_EQ(1.0, lx);
    EXPECT_DOUBLE_EQ(1.0, lz);
}
