// A plain reference point of a curve, written from the definition alone
// (Cox-de Boor recursion of the basis, homogeneous sum in long double), and
// the family of curves the curve-editing tests run over: clamped, unclamped,
// rational, repeated knots, domains that are not [0, 1]; and points on
// circles for the fits.
#pragma once

#include "geom/geom.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace curveref {

using LD = long double;

// N(i, p) at t; degree-0 functions are the indicator of the one non-empty
// span that evaluates t, so that the domain end is served by its last span.
inline LD basis(const double* K, int i, int p, LD t, int span)
{
    if (p == 0)
        return i == span ? 1 : 0;
    LD r = 0;
    if (K[i + p] > K[i])
        r += (t - K[i]) / (K[i + p] - K[i]) * basis(K, i, p - 1, t, span);
    if (K[i + p + 1] > K[i + 1])
        r += (K[i + p + 1] - t) / (K[i + p + 1] - K[i + 1]) * basis(K, i + 1, p - 1, t, span);
    return r;
}

// Point of the curve at the knot value t.
inline GeomPoint point(const RatBSplCurve* c, double t)
{
    const int k = c->ord, m = c->noPoints;
    int span = -1;
    for (int i = k - 1; i < m - k; ++i)
        if (c->knots[i] < c->knots[i + 1]) {
            span = i;
            if (t <= c->knots[i + 1])
                break;
        }
    span = span < 0 ? k - 1 : span;
    LD x = 0, y = 0, z = 0, w = 0;
    for (int i = span - k + 1; i <= span; ++i) {
        const LD b = basis(c->knots, i, k - 1, t, span) * c->weights[i];
        x += b * c->points[i][0];
        y += b * c->points[i][1];
        z += b * c->points[i][2];
        w += b;
    }
    return GeomPoint{double(x / w), double(y / w), double(z / w)};
}

// The whole knot vector, to be matched with ElementsAre.
inline std::vector<double> knotsOf(const RatBSplCurve* c) { return std::vector<double>(c->knots, c->knots + c->noPoints); }
using ::testing::ElementsAre;

inline double domainStart(const RatBSplCurve* c) { return c->knots[c->ord - 1]; }
inline double domainEnd(const RatBSplCurve* c) { return c->knots[c->noPoints - c->ord]; }
inline GeomPoint P(double x, double y, double z) { return GeomPoint{x, y, z}; }

inline double dist(const GeomPoint& a, const GeomPoint& b) { return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z); }

inline void expectVec(const double* expected, const double* actual, double tol = 1e-12)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(expected[i], actual[i], tol) << "component " << i;
}

// Largest control-point coordinate: the size the tolerances scale with.
inline double size(const RatBSplCurve* c)
{
    double s = 1.0;
    for (int i = 0; i < c->noPoints - c->ord; ++i)
        for (int d = 0; d < 3; ++d)
            s = std::fmax(s, std::fabs(c->points[i][d]));
    return s;
}

// Largest distance between a and b over 1000 knot values of [u0, u1].
inline double maxDeviation(const RatBSplCurve* a, const RatBSplCurve* b, double u0, double u1)
{
    double worst = 0.0;
    for (int i = 0; i < 1000; ++i) {
        const double u = u0 + (u1 - u0) * i / 999;
        worst = std::fmax(worst, dist(point(a, u), point(b, u)));
    }
    return worst;
}

// For the tests that read the error the kernel remembers: each starts with
// none.
struct NoErrorYet : ::testing::Test {
    void SetUp() override { geomLastError = -1; }
};

using CurvePtr = std::unique_ptr<RatBSplCurve, void (*)(RatBSplCurve*)>;
inline CurvePtr own(RatBSplCurve* c) { return CurvePtr(c, ratBSplCurveFree); }

inline RatBSplCurve* make(int ord, const std::vector<double>& knots,
                          const std::vector<std::vector<double>>& pts,
                          const std::vector<double>& weights = {})
{
    RatBSplCurve* c = ratBSplCurveCreate(ord, int(knots.size()));
    for (size_t i = 0; i < knots.size(); ++i)
        c->knots[i] = knots[i];
    for (size_t i = 0; i < pts.size(); ++i) {
        ratBSplCurveSetPoint(c, int(i), pts[i][0], pts[i][1], pts[i][2]);
        c->weights[i] = weights.empty() ? 1.0 : weights[i];
    }
    c->isRational = weights.empty() ? 0 : 1;
    return c;
}

struct Sample {
    std::string name;
    RatBSplCurve* (*make)();
};

// Clamped cubic on [-3, 7.5] with a double interior knot.
inline RatBSplCurve* clampedCubic()
{
    return make(4, {-3, -3, -3, -3, -1, 0.5, 2, 2, 5, 7.5, 7.5, 7.5, 7.5},
                {{0, 0, 0}, {1, 2, 0}, {3, 3, 1}, {4, 0, 2}, {6, -1, 1}, {7, 2, 0}, {9, 4, -1},
                 {10, 1, 0}, {12, 0, 2}});
}
// Unclamped (uniform) quadratic on [2, 6].
inline RatBSplCurve* unclampedQuadratic()
{
    return make(3, {0, 1, 2, 3, 4, 5, 6, 7, 8},
                {{0, 0, 0}, {1, 3, 0}, {3, 4, 1}, {5, 1, 1}, {6, -2, 0}, {8, 0, 2}});
}
// Rational quadratic with uneven weights on [10, 13].
inline RatBSplCurve* rationalQuadratic()
{
    return make(3, {10, 10, 10, 11, 12.5, 13, 13, 13},
                {{0, 0, 0}, {2, 4, 0}, {5, 5, 2}, {7, 1, 1}, {9, 3, 0}},
                {1.0, 2.5, 0.4, 1.7, 1.0});
}
// Half circle of radius 5 in two exact quarter pieces on [0, 2].
inline RatBSplCurve* halfCircle()
{
    const double h = std::sqrt(0.5);
    return make(3, {0, 0, 0, 1, 1, 1, 2, 2, 2},
                {{5, 0, 0}, {5, 5, 0}, {0, 5, 0}, {0, 5, 0}, {-5, 5, 0}, {-5, 0, 0}},
                {1, h, 1, 1, h, 1});
}
// Straight order-2 polyline with unit knot steps.
inline RatBSplCurve* polyline()
{
    return make(2, {0, 0, 1, 2, 3, 3}, {{0, 0, 0}, {4, 0, 0}, {4, 3, 0}, {8, 3, 2}});
}

// Full circle of radius r about c in four rational quadratic quarter pieces
// (closed form) starting at c + (r, 0, 0) and running anticlockwise about z,
// its knots running from a in steps of h.
inline RatBSplCurve* circle(double r, GeomPoint c, double a, double h)
{
    RatBSplCurve* curve = ratBSplCurveCreate(3, 15);
    const double O[3] = {c.x, c.y, c.z}, X[3] = {0, r, 0}, Y[3] = {r, 0, 0};
    fullCircleFourPieces(O, X, Y, curve->points, curve->weights, curve->knots);
    for (int i = 0; i < 15; ++i)
        curve->knots[i] = a + h * (i / 3);
    curve->isRational = 1;
    curve->origForm = 2;
    return curve;
}

// n points evenly spaced by angle on the circle of radius r about c, in the
// plane z = c[2], from angle a0 to a1, as x, y, z triples.
inline std::vector<double> circlePoints(const double* c, double r, int n, double a0, double a1)
{
    std::vector<double> pts;
    for (int i = 0; i < n; ++i) {
        const double a = a0 + (a1 - a0) * i / (n - 1);
        pts.insert(pts.end(), {c[0] + r * std::cos(a), c[1] + r * std::sin(a), c[2]});
    }
    return pts;
}
inline const GeomVec3* asPoints(const std::vector<double>& v) { return reinterpret_cast<const GeomVec3*>(v.data()); }

inline std::vector<Sample> samples()
{
    return {{"clampedCubic", clampedCubic},
            {"unclampedQuadratic", unclampedQuadratic},
            {"rationalQuadratic", rationalQuadratic},
            {"halfCircle", halfCircle},
            {"polyline", polyline}};
}

}  // namespace curveref
