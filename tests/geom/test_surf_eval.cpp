// Surface evaluation: wrapping and clamping, exact shapes and their
// curvatures, offsets, high orders and unusable records. Agreement with an
// independent reference on random nets of orders 1 to 6 is checked in
// test_verify_surface.cpp.
#include "surf_nets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace surftest;

double len(const double* v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }
double dist(const double* a, const double* b)
{
    const double d[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    return len(d);
}
const double* arr(const GeomPoint& p) { return &p.x; }

struct Full {
    GeomPoint P;
    double Su[3], Suu[3], Sv[3], Svv[3], kU, kV;
};

Full full(RatBSplSurf* s, double u, double v)
{
    Full f;
    f.P = ratBSplSurfEvalPointNormal(s, u, v, f.Su, f.Suu, f.Sv, f.Svv, &f.kU, &f.kV);
    return f;
}

#define EXPECT_VEC_NEAR(want, got, tol) EXPECT_LE(dist(want, got), tol) << #got

TEST(SurfEval, OpenDirectionsClampAndClosedOnesWrap)
{
    SurfPtr owned = own(makeBicubic8());
    RatBSplSurf* b = owned.get();
    const GeomPoint at1 = ratBSplSurfEvalPoint(b, 1.0, 0.4);
    EXPECT_EQ(0.0, dist(arr(at1), arr(ratBSplSurfEvalPoint(b, 1.01, 0.4))));
    EXPECT_EQ(0.0, dist(arr(ratBSplSurfEvalPoint(b, 0, 0.4)), arr(ratBSplSurfEvalPoint(b, -0.5, 0.4))));
    // Inside the tolerance band the parameter is used as given.
    const double band = dist(arr(at1), arr(ratBSplSurfEvalPoint(b, 1.00000005, 0.4)));
    EXPECT_GT(band, 1e-9);
    EXPECT_LT(band, 1e-5);

    owned = own(makeCylinder(10, 0, 20, 0, 4, -1, 3));  // closed form in u only
    RatBSplSurf* c = owned.get();
    auto same = [c](double u0, double v0, double u1, double v1) {
        return dist(arr(ratBSplSurfEvalPoint(c, u0, v0)), arr(ratBSplSurfEvalPoint(c, u1, v1)));
    };
    EXPECT_LT(same(1.25, 0.3, 0.25, 0.3), 1e-12);
    EXPECT_LT(same(-0.25, 0.3, 0.75, 0.3), 1e-12);
    EXPECT_EQ(0.0, same(0.3, 1.25, 0.3, 1.0));
    c->origFormu = 1;  // the periodic flag alone wraps as well
    c->periodicv = 1;
    EXPECT_EQ(0.0, same(1.25, 0.3, 1.0, 0.3));
    EXPECT_LT(same(0.3, 1.25, 0.3, 0.25), 1e-12);
    EXPECT_VEC_NEAR(arr(ratBSplSurfEvalDerivV(c, 0.3, 1.25)), arr(ratBSplSurfEvalDerivV(c, 0.3, 0.25)), 1e-12);
}

// The curvatures of exact shapes, their signs included, are compared with the
// reference in test_verify_surface.cpp; here the cases it leaves out.
TEST(SurfEval, PoleAndFlatPatch)
{
    SurfPtr sphere = own(makeSphere(2, -3, 1, 10, 12));
    RatBSplSurf* sph = sphere.get();
    // The south pole: Su vanishes, and with it the normal both curvatures
    // refer to; the normal is returned without normalising.
    const Full pole = full(sph, 0.3, 0.0);
    EXPECT_NEAR(-2.0, pole.P.z, 1e-12);
    EXPECT_LT(len(pole.Su), 1e-12);
    EXPECT_EQ(0.0, pole.kU);
    EXPECT_EQ(0.0, pole.kV);
    EXPECT_LT(len(arr(ratBSplSurfEvalNormal(sph, 0.3, 0.0))), 1e-10);
    // A flat patch on the u domain [3, 7]: derivatives in knot units.
    SurfPtr plane = own(makeSurf(2, 2, {3, 3, 7, 7}, {-1, -1, 0, 0},
                                 {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}}, {1, 1, 1, 1}, 0));
    const Full f = full(plane.get(), 0.3, 0.8);
    EXPECT_EQ(0.0, len(f.Suu) + len(f.Svv) + std::fabs(f.kU) + std::fabs(f.kV));
    EXPECT_NEAR(0.25, f.Su[0], 1e-15);
    EXPECT_NEAR(1.0, f.Sv[1], 1e-15);
    EXPECT_NEAR(1.0, ratBSplSurfEvalNormal(plane.get(), 0.3, 0.8).z, 1e-15);
}

TEST(SurfEval, OffsetPointMovesAlongTheNormal)
{
    SurfPtr owned = own(makeCylinder(10, 0, 20, 0, 4, -1, 3));
    RatBSplSurf* cyl = owned.get();
    const GeomPoint base = ratBSplSurfEvalOffsetPoint(cyl, 0.3, 0.4);
    cyl->offset = 2.0;  // ignored while the flag is clear
    EXPECT_EQ(0.0, dist(arr(base), arr(ratBSplSurfEvalOffsetPoint(cyl, 0.3, 0.4))));
    cyl->isOffsetSurf = 1;
    const GeomPoint n = ratBSplSurfEvalNormal(cyl, 0.3, 0.4);
    const GeomPoint off = ratBSplSurfEvalOffsetPoint(cyl, 0.3, 0.4);
    const double want[3] = {base.x + 2 * n.x, base.y + 2 * n.y, base.z + 2 * n.z};
    EXPECT_VEC_NEAR(want, arr(off), 1e-12);
    EXPECT_NEAR(2.0, std::fabs(std::hypot(off.x, off.y) - 10.0), 1e-12);
}

TEST(SurfEval, HighOrdersAndUnusableRecords)
{
    // Order 31 in u with control points evenly on a line: S = (3u, 2v, 0).
    std::vector<double> ku(31, 0.0);
    ku.insert(ku.end(), 31, 1.0);
    std::vector<Pt> pts;
    for (int i = 0; i < 31; ++i)
        pts.insert(pts.end(), {Pt{3.0 * i / 30.0, 0, 0}, Pt{3.0 * i / 30.0, 2, 0}});
    SurfPtr owned = own(makeSurf(31, 2, ku, {0, 0, 1, 1}, pts, std::vector<double>(62, 1.0), 0));
    RatBSplSurf* s = owned.get();
    const GeomPoint p = ratBSplSurfEvalPoint(s, 0.37, 0.6);
    EXPECT_NEAR(1.11, p.x, 1e-12);
    EXPECT_NEAR(1.2, p.y, 1e-12);
    EXPECT_NEAR(3.0, ratBSplSurfEvalDerivU(s, 0.37, 0.6).x, 1e-10);
    // Beyond the fixed buffers the derivative evaluations refuse.
    Full f;
    for (double* v : {f.Su, f.Suu, f.Sv, f.Svv})
        v[0] = v[1] = v[2] = 7.0;
    f.kU = f.kV = 7.0;
    geomLastError = -1;
    f.P = ratBSplSurfEvalPointNormal(s, 0.37, 0.6, f.Su, f.Suu, f.Sv, f.Svv, &f.kU, &f.kV);
    EXPECT_EQ(2, geomLastError);
    EXPECT_EQ(0.0, len(arr(f.P)) + len(f.Su) + len(f.Suu) + len(f.Sv) + len(f.Svv));
    EXPECT_EQ(0.0, std::fabs(f.kU) + std::fabs(f.kV));
    geomLastError = -1;
    EXPECT_EQ(0.0, len(arr(ratBSplSurfEvalDerivV(s, 0.37, 0.6))));
    EXPECT_EQ(2, geomLastError);
    EXPECT_EQ(0.0, len(arr(ratBSplSurfEvalAtSpans(s, 30, 1, 0.37, 0.6, f.Su, 0, 0, 0, 0, 0))));

    // Too few knots for one span of its order: never read past the arrays.
    owned = own(ratBSplSurfCreate(4, 4, 6, 8));
    s = owned.get();
    geomLastError = -1;
    EXPECT_EQ(0.0, len(arr(ratBSplSurfEvalPoint(s, 0.5, 0.5))));
    EXPECT_EQ(2, geomLastError);
    f.kU = 7.0;
    ratBSplSurfEvalPointNormal(s, 0.5, 0.5, f.Su, f.Suu, f.Sv, f.Svv, &f.kU, &f.kV);
    EXPECT_EQ(0.0, len(f.Su) + f.kU);
    // A parameter that no span holds (not a number) falls back to the first
    // span with a report instead of reading before the arrays.
    owned = own(makeBicubic8());
    s = owned.get();
    geomLastError = -1;
    ratBSplSurfEvalPoint(s, std::nan(""), 0.5);
    EXPECT_STREQ("2,10002,5335", geomMessageBuffer);
    ratBSplSurfEvalPointNormal(s, 0.5, std::nan(""), f.Su, f.Suu, f.Sv, f.Svv, &f.kU, &f.kV);
    EXPECT_STREQ("2,10002,5519", geomMessageBuffer);
    ratBSplSurfEvalDerivV(s, std::nan(""), 0.5);
    EXPECT_STREQ("2,10002,6282", geomMessageBuffer);
    EXPECT_EQ(2, geomLastError);
    // A null surface writes nothing.
    f.Su[0] = 5.0;
    EXPECT_EQ(0.0, len(arr(ratBSplSurfEvalPointNormal(nullptr, 0.5, 0.5, f.Su, f.Suu, f.Sv,
                                                      f.Svv, &f.kU, &f.kV))));
    EXPECT_EQ(5.0, f.Su[0]);
}

TEST(SurfEval, KnownSpansAndTheirValidation)
{
    SurfPtr owned = own(makeRational20());
    RatBSplSurf* s = owned.get();
    const double u = 0.4123, v = 0.6311;
    const double U = knotU(s, u), V = knotV(s, v);
    const int su = ratBSplCurveFindSpan(s->knotsu, s->noPointsu, 4, U);
    const int sv = ratBSplCurveFindSpan(s->knotsv, s->noPointsv, 4, V);
    const Full f = full(s, u, v);
    Full g;
    g.P = ratBSplSurfEvalAtSpans(s, su, sv, U, V, g.Su, g.Suu, g.Sv, g.Svv, &g.kU, &g.kV);
    EXPECT_VEC_NEAR(arr(f.P), arr(g.P), 1e-13);
    EXPECT_VEC_NEAR(f.Svv, g.Svv, 1e-11);
    EXPECT_NEAR(f.kU, g.kU, 1e-12);
    double kv = 9.0;  // only some outputs asked for
    EXPECT_VEC_NEAR(arr(f.P), arr(ratBSplSurfEvalAtSpans(s, su, sv, U, V, 0, 0, 0, 0, 0, &kv)), 1e-13);
    EXPECT_NEAR(f.kV, kv, 1e-12);
    // A span outside the net falls back to the first span, with a report.
    const double U0 = s->knotsu[3] + 0.1, V0 = s->knotsv[3] + 0.1;
    const GeomPoint want = ratBSplSurfEvalAtSpans(s, 3, 3, U0, V0, 0, 0, 0, 0, 0, 0);
    for (int bad : {-1, s->noPointsu - s->ordu}) {
        geomLastError = -1;
        EXPECT_EQ(0.0, dist(arr(want), arr(ratBSplSurfEvalAtSpans(s, bad, 3, U0, V0, 0, 0, 0, 0, 0, 0))));
        EXPECT_EQ(2, geomLastError);
    }
}

// A first span 5e-11 wide: the derivative there is the spline's own,
// 2 (P1 - P0) / (5e-11 - 0), so that the normal stands as it does beside it;
// a basis that treated the span as empty would give no derivative at all.
TEST(SurfEval, ANarrowFirstSpanGivesItsTrueDerivative)
{
    SurfPtr owned = own(makeSurf(3, 2, {0, 0, 0, 5e-11, 1, 1, 1}, {0, 0, 1, 1},
                                 {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}, {2, 0, 1}, {2, 1, 1},
                                  {3, 0, 1}, {3, 1, 1}},
                                 std::vector<double>(8, 1.0), 0));
    RatBSplSurf* s = owned.get();
    const GeomPoint su = ratBSplSurfEvalDerivU(s, 0.0, 0.5);
    EXPECT_NEAR(4e10, su.x, 1e-3 * 4e10);
    EXPECT_EQ(0.0, su.y);
    EXPECT_EQ(0.0, su.z);
    const Full f = full(s, 0.0, 0.5);
    EXPECT_NEAR(4e10, f.Su[0], 1e-3 * 4e10);
    EXPECT_NEAR(1.0, ratBSplSurfEvalNormal(s, 0.0, 0.5).z, 1e-12);
}

}  // namespace
