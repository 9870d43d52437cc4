// Geometric constructions and the circle fit.
#include "curve_ref.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using curveref::asPoints;
using curveref::circlePoints;
using curveref::expectVec;

const double kPi = 3.14159265358979323846;

}  // namespace

TEST(GeomConstruct, RotationAndMirror)
{
    const double o[3] = {1, 0, 0}, d[3] = {0, 0, 2}, p[3] = {3, 0, 5};
    double out[3];
    // A quarter turn about the vertical line through (1, 0, 0).
    const double turned[3] = {1, 2, 5};
    expectVec(turned, rotatePointAboutLine(o, d, p, kPi / 2, out));
    const double n[3] = {0, 0, 1};
    const double mirrored[3] = {3, 0, -5};
    expectVec(mirrored, mirrorPointInPlane(o, n, p, out));
}

TEST(GeomConstruct, FrameFromNormalPicksItsReferenceAxis)
{
    double u[3], v[3], un[3];
    const double z[3] = {0, 0, 1};
    EXPECT_EQ(1, frameFromNormal(z, u, v, un));
    const double ex[3] = {1, 0, 0}, ey[3] = {0, 1, 0};
    expectVec(ex, u);
    expectVec(ey, v);
    // x strictly largest: the y axis is the reference, and v is built from
    // the normal as given, so it keeps the normal's length.
    const double x5[3] = {5, 0, 0};
    frameFromNormal(x5, u, v, un);
    const double v5[3] = {0, 0, 5};
    expectVec(ex, un);
    expectVec(ey, u);
    expectVec(v5, v);
    // A tie between x and y is not strictly largest: back to the x axis.
    const double xy[3] = {1, 1, 0};
    frameFromNormal(xy, u, v, un);
    const double uxy[3] = {std::sqrt(0.5), -std::sqrt(0.5), 0};
    expectVec(uxy, u);

    const double down[3] = {0, -1, 0};
    EXPECT_NEAR(1.5 * kPi, angleAboutAxis(ex, down, z), 1e-12);
}

TEST(GeomConstruct, PlaneOfAPolylineWhoseSamplesAreCollinear)
{
    // Points 0, 3 and 6 lie on one line, so the quick three-point test
    // fails and the scan has to find the plane; the plane is tilted.
    const double flat[10][3] = {{0, 0, 0}, {0.3, 0, 0}, {0.6, 0, 0}, {1, 0, 0}, {1.3, 0, 0},
                                {1.6, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {0, 1, 0}};
    const double o[3] = {0, 0, 0}, axis[3] = {std::sqrt(0.5), std::sqrt(0.5), 0};
    double m[16];
    mat4RotationAboutAxis(o, axis, 0.7, m);
    GeomVec3 pts[10];
    for (int i = 0; i < 10; ++i)
        mat4TransformPoint(m, flat[i], pts[i]);
    const double up[3] = {0, 0, 1};
    double expected[3], normal[3], point[3];
    mat4TransformVector(m, up, expected);
    ASSERT_EQ(1, fitPlaneToPolyline(pts, 10, 0.01, normal, point));
    EXPECT_NEAR(1.0, std::fabs(vec3Dot(normal, expected)), 1e-12);
    EXPECT_NEAR(1.0, vec3Length(normal), 1e-12);
    double along[3];
    EXPECT_NEAR(0.0, vec3Dot(normal, vec3Diff(pts[0], point, along)), 1e-12);

    GeomVec3 line[6];
    for (int i = 0; i < 6; ++i)
        vec3AddScaled(o, axis, 0.5 * i, line[i]);
    EXPECT_EQ(0, fitPlaneToPolyline(line, 6, 0.01, normal, point));
    EXPECT_EQ(0, fitPlaneToPolyline(pts, 2, 0.01, normal, point));
}

TEST(GeomConstruct, OnPlaneAlongNormalSurvivesRoundingAboveOne)
{
    // Find a normalised vector whose dot product with itself rounds to just
    // above 1: the direction still lies along the normal.
    double n[3] = {0, 0, 0};
    bool found = false;
    for (int i = 1; i < 10000 && !found; ++i) {
        n[0] = 0.1 * i;
        n[1] = 0.7;
        n[2] = 0.3 + 0.001 * i;
        vec3Normalize(n);
        const double c = vec3Dot(n, n);
        found = c * c > 1.0;
    }
    ASSERT_TRUE(found);
    const double o[3] = {0, 0, 0};
    EXPECT_EQ(1, isOnPlaneAlongNormal(o, n, o, n, 1e-9));
    const double q[3] = {0, 0, 1};
    EXPECT_EQ(0, isOnPlaneAlongNormal(o, n, q, n, 1e-6));
}

TEST(GeomConstruct, TurnAngleCorrectsAcrossTheCutByAFullTurn)
{
    // Heading 170 degrees, then 190 degrees: a 20 degree left turn whose
    // raw heading difference is -340 degrees.
    const double deg = kPi / 180.0;
    const double a[3] = {0, 0, 0};
    const double b[3] = {std::cos(170 * deg), std::sin(170 * deg), 0};
    const double c[3] = {b[0] + std::cos(190 * deg), b[1] + std::sin(190 * deg), 0};
    EXPECT_NEAR(-340 * deg, turnAngle2dRaw(a, b, c), 1e-12);
    EXPECT_NEAR(20 * deg, turnAngle2d(a, b, c), 1e-12);
    // And the mirror image: a 20 degree right turn.
    const double bm[3] = {b[0], -b[1], 0};
    const double cm[3] = {c[0], -c[1], 0};
    EXPECT_NEAR(-20 * deg, turnAngle2d(a, bm, cm), 1e-12);
    const double straight[3] = {2 * b[0], 2 * b[1], 0};
    EXPECT_EQ(0.0, turnAngle2d(a, b, straight));
}

TEST(GeomConstruct, PointOnArc)
{
    const double c[3] = {0, 0, 0}, n[3] = {0, 0, 1};
    const double s[3] = {1, 0, 0}, e[3] = {0, 1, 0};
    const double mid[3] = {std::sqrt(0.5), std::sqrt(0.5), 0};
    const double beforeStart[3] = {std::cos(-0.01), std::sin(-0.01), 0};
    EXPECT_EQ(1, isPointOnArc(c, n, s, e, 1e-3, mid));
    EXPECT_EQ(0, isPointOnArc(c, n, s, e, 1e-3, beforeStart));
    EXPECT_EQ(1, isPointOnArc(c, n, s, s, 1e-3, beforeStart));  // full circle
    const double nearEnd[3] = {0.0005, 1.0, 0};  // within tol of the end point
    EXPECT_EQ(1, isPointOnArc(c, n, s, e, 1e-3, nearEnd));

    // The extent of a half circle over the top along y reaches its apex.
    const double left[3] = {-1, 0, 0}, y[3] = {0, 1, 0};
    double lo = 1e10, hi = -1e10;
    arcRangeAlong(c, y, c, n, s, left, &lo, &hi);
    EXPECT_NEAR(0.0, lo, 1e-12);
    EXPECT_NEAR(1.0, hi, 1e-12);
}

TEST(GeomConstruct, ArcSweepRangeIsStableWhenAskedTwice)
{
    ArcSweepTracker tr;
    const double c[3] = {0, 0, 0}, ref[3] = {1, 0, 0}, axis[3] = {0, 0, 1};
    arcSweepInit(c, ref, axis, &tr);
    for (int deg = 30; deg <= 120; deg += 10) {
        const double a = deg * kPi / 180.0;
        const double p[3] = {std::cos(a), std::sin(a), 0.5};
        arcSweepAddPoint(&tr, p);
    }
    double lo1 = 1e10, hi1 = -1e10, lo2 = 1e10, hi2 = -1e10;
    arcSweepRange(&tr, &lo1, &hi1);
    arcSweepRange(&tr, &lo2, &hi2);
    EXPECT_NEAR(40 * kPi / 180, lo1, 1e-12);
    EXPECT_NEAR(120 * kPi / 180, hi1, 1e-12);
    EXPECT_DOUBLE_EQ(lo1, lo2);
    EXPECT_DOUBLE_EQ(hi1, hi2);
    // Points added after a query still extend the range correctly.
    const double p[3] = {std::cos(kPi), std::sin(kPi), 0};
    arcSweepAddPoint(&tr, p);
    double lo3 = 1e10, hi3 = -1e10;
    arcSweepRange(&tr, &lo3, &hi3);
    EXPECT_NEAR(kPi, hi3, 1e-12);
}

TEST(GeomConstruct, IntersectLinesXY)
{
    const double p1[3] = {0, 0, 0}, q1[3] = {4, 0, 0};
    const double p2[3] = {1, -1, 0}, q2[3] = {1, 3, 0};
    double s[2], t[2], x[3];
    ASSERT_EQ(1, intersectLinesXY(p1, q1, p2, q2, s, t, x));
    const double crossing[3] = {1, 0, 0};
    expectVec(crossing, x);
    EXPECT_NEAR(1.0, s[0], 1e-12);
    EXPECT_NEAR(1.0, t[0], 1e-12);

    const double p3[3] = {0, 1, 0}, q3[3] = {4, 1, 0};
    EXPECT_EQ(0, intersectLinesXY(p1, q1, p3, q3, s, t, x));  // parallel, apart

    const double p4[3] = {6, 0, 0}, q4[3] = {2, 0, 0};
    ASSERT_EQ(2, intersectLinesXY(p1, q1, p4, q4, s, t, x));  // overlapping
    EXPECT_NEAR(2.0, s[0], 1e-12);
    EXPECT_NEAR(6.0, s[1], 1e-12);
    EXPECT_NEAR(2.0, t[0], 1e-12);
    EXPECT_NEAR(6.0, t[1], 1e-12);
}

TEST(GeomConstruct, PolylineWindingMidpointStraightnessAndPlane)
{
    const double square[] = {0, 0, 0, 2, 0, 0, 2, 2, 0, 0, 2, 0};
    const GeomVec3* sq = reinterpret_cast<const GeomVec3*>(square);
    const double inside[3] = {1, 1, 0}, outside[3] = {3, 1, 0};
    int result = 0;
    EXPECT_EQ(0, polygonWinding(inside, sq, 4, kPi, &result));
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, polygonWinding(outside, sq, 4, kPi, &result));
    EXPECT_EQ(-1, result);
    EXPECT_EQ(2243, polygonWinding(inside, sq, 2, kPi, &result));

    const double line[] = {0, 0, 0, 1, 0, 0, 3, 0, 0};
    const GeomVec3* ln = reinterpret_cast<const GeomVec3*>(line);
    double mid[3];
    EXPECT_EQ(0, polylineMidpoint(ln, 3, mid));
    const double expected[3] = {1.5, 0, 0};
    expectVec(expected, mid);
    EXPECT_EQ(2292, polylineMidpoint(ln, 0, mid));

    double dev = -1;
    EXPECT_EQ(1, isPolylineStraight(ln, 3, 1e-6, &dev));
    EXPECT_EQ(0.0, dev);
    const double bent[] = {0, 0, 0, 1, 0.1, 0, 3, 0, 0};
    EXPECT_EQ(0, isPolylineStraight(reinterpret_cast<const GeomVec3*>(bent), 3, 0.01, &dev));
    EXPECT_NEAR(0.1, dev, 1e-12);
    const double clump[] = {0, 0, 0, 1e-4, 0, 0, 0, 1e-4, 0};
    EXPECT_EQ(0, isPolylineStraight(reinterpret_cast<const GeomVec3*>(clump), 3, 1e-3, &dev));
}

TEST(GeomCircleFit, ThreePointsOfACircle)
{
    const double c[3] = {2, -1, 3};
    const std::vector<double> pts = circlePoints(c, 5.0, 3, 0.2, 1.4);
    double start[3], end[3], centre[3], normal[3], dev = -1;
    ASSERT_EQ(1, fitCircleToPoints(asPoints(pts), 3, 1e-5, 100000.0, 0, start, end, centre,
                                   normal, &dev));
    expectVec(c, centre, 1e-10);
    expectVec(&pts[0], start);
    expectVec(&pts[6], end);
    EXPECT_NEAR(0.0, dev, 1e-10);
    EXPECT_NEAR(1.0, std::fabs(normal[2]), 1e-12);
    EXPECT_NEAR(5.0, vec3Distance(centre, start), 1e-10);
}

TEST(GeomCircleFit, AcceptedAndRefusedPointSets)
{
    const double o[3] = {1, 1, 0}, z[3] = {0, 0, 0};
    std::vector<double> full = circlePoints(o, 3.0, 12, 0, 2 * kPi * 11 / 12);
    full.insert(full.end(), full.begin(), full.begin() + 3);  // first point again
    std::vector<double> twice = circlePoints(o, 3.0, 6, 0, 1.5);
    twice.insert(twice.begin() + 9, twice.begin() + 6, twice.begin() + 9);  // point 2 twice
    const struct {
        const char* what;
        std::vector<double> points;
        double tol, maxRadius;
        char checkChords;
        int fits;
    } cases[] = {
        {"collinear", {0, 0, 0, 1, 1, 1, 2, 2, 2}, 1e-5, -1, 0, 0},
        {"radius at the tolerance", circlePoints(z, 1e-5, 3, 0, 2), 1e-5, -1, 0, 0},
        // Radii up to the tolerance plus 1e-6 cannot be told from a point.
        {"radius 5e-7 above the tolerance", circlePoints(z, 1.0 + 5e-7, 5, 0, 2), 1.0, -1, 0, 0},
        {"radius 5e-6 above the tolerance", circlePoints(z, 1.0 + 5e-6, 5, 0, 2), 1.0, -1, 0, 1},
        {"beyond the radius limit", circlePoints(z, 200000.0, 3, 0, 0.1), 1e-5, 100000.0, 0, 0},
        {"without a radius limit", circlePoints(z, 200000.0, 3, 0, 0.1), 1e-5, -1.0, 0, 1},
        {"a full turn closes", full, 1e-5, -1, 0, 1},
        {"a repeated point overruns", twice, 1e-5, -1, 0, 0},
        // Chords longer than the tolerance's sagitta allows, on request.
        {"sparse chords", circlePoints(o, 3.0, 3, 0, 2), 1e-5, -1, 0, 1},
        {"sparse chords checked", circlePoints(o, 3.0, 3, 0, 2), 1e-5, -1, 1, 0},
    };
    for (const auto& c : cases) {
        double start[3] = {9, 9, 9}, end[3], centre[3], normal[3], dev = -1;
        const int n = static_cast<int>(c.points.size() / 3);
        EXPECT_EQ(c.fits, fitCircleToPoints(asPoints(c.points), n, c.tol, c.maxRadius, c.checkChords, start,
                                            end, centre, normal, &dev))
            << c.what;
        if (c.points == full)
            expectVec(start, end);
    }
    // Rejected before any point was written.
    const std::vector<double> col = {0, 0, 0, 1, 1, 1, 2, 2, 2};
    double start[3] = {9, 9, 9}, end[3], centre[3], normal[3], dev = -1;
    EXPECT_EQ(0, fitCircleToPoints(asPoints(col), 2, 1e-5, -1, 0, start, end, centre, normal, &dev));
    EXPECT_EQ(-1.0, dev);
    EXPECT_EQ(0, fitCircleToPoints(asPoints(col), 3, 1e-5, -1, 0, start, end, centre, normal, &dev));
    EXPECT_EQ(9.0, start[0]);
}

TEST(GeomCircleFit, EqualTurnsKeepTheFirstPointThatReachedThem)
{
    // The last point lies on the ray of the one before it, 0.005 farther
    // out: the turn does not grow, and the first point that reached the
    // largest turn stays the end of the arc.
    const double o[3] = {0, 0, 0};
    std::vector<double> pts = circlePoints(o, 1.0, 5, 0, 2 * kPi / 3);
    for (int k = 0; k < 3; ++k)
        pts.push_back(1.005 * pts[12 + k]);
    double start[3], end[3], centre[3], normal[3], dev;
    ASSERT_EQ(1, fitCircleToPoints(asPoints(pts), 6, 0.01, -1, 0, start, end, centre, normal, &dev));
    expectVec(&pts[12], end, 1e-12);
    expectVec(&pts[0], start, 1e-12);
}
