// Surface evaluation: points, derivatives, normals and curvatures against an
// evaluation as curves of curves, finite differences and exact shapes.
#include "geom/geom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace surftest {
struct Pt {
    double x, y, z;
};
RatBSplSurf* makeSurf(int ordu, int ordv, const std::vector<double>& ku,
                      const std::vector<double>& kv, const std::vector<Pt>& pts,
                      const std::vector<double>& w, int rational);
RatBSplSurf* makeCylinder(double r, double z0, double z1, double u0, double u1, double v0,
                          double v1);
RatBSplSurf* makeSphere(double r, double u0, double u1, double v0, double v1);
RatBSplSurf* makeTorus(double R, double r, double u0, double u1, double v0, double v1);
RatBSplSurf* makeBicubic8();
RatBSplSurf* makeRational20();
}  // namespace surftest

namespace {

using namespace surftest;

struct SurfPtr {
    RatBSplSurf* s;
    explicit SurfPtr(RatBSplSurf* p) : s(p) {}
    ~SurfPtr() { ratBSplSurfFree(s); }
    RatBSplSurf* operator->() const { return s; }
    operator RatBSplSurf*() const { return s; }
};

double len(const double* v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }
double dist(const double* a, const double* b)
{
    const double d[3] = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    return len(d);
}
double dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
void cross(const double* a, const double* b, double* out)
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}
const double* arr(const GeomPoint& p) { return &p.x; }

double uLo(const RatBSplSurf* s) { return s->knotsu[s->ordu - 1]; }
double uHi(const RatBSplSurf* s) { return s->knotsu[s->noPointsu - s->ordu]; }
double vLo(const RatBSplSurf* s) { return s->knotsv[s->ordv - 1]; }
double vHi(const RatBSplSurf* s) { return s->knotsv[s->noPointsv - s->ordv]; }

// The same quantities as curves of curves: every contributing row along v,
// then along u; every contributing column along u, then along v.
struct Ref {
    double P[3], Su[3], Suu[3], Sv[3], Svv[3];
};

Ref reference(const RatBSplSurf* s, double U, double V)
{
    Ref r;
    const int ku = s->ordu, kv = s->ordv;
    const int su = ratBSplCurveFindSpan(s->knotsu, s->noPointsu, ku, U);
    const int sv = ratBSplCurveFindSpan(s->knotsv, s->noPointsv, kv, V);
    const int bu = su - ku + 1, bv = sv - kv + 1;
    GeomVec3 pts[32], col[32], wp[64];
    double wts[32], colW[32], ww[128], P2[3];
    for (int i = 0; i < ku; ++i) {
        const int row = (bu + i) * s->noPointsv;
        ratBSplPointInSpan(pts[i], s->points + row, s->weights + row, s->knotsv, kv, sv, V, wp,
                           ww, &wts[i]);
    }
    ratBSplDerivs2InSpan(pts, wts, s->knotsu + bu, ku, ku - 1, U, wp, ww, r.P, r.Su, r.Suu);
    for (int j = 0; j < kv; ++j) {
        for (int i = 0; i < ku; ++i) {
            const int k = (bu + i) * s->noPointsv + bv + j;
            col[i][0] = s->points[k][0];
            col[i][1] = s->points[k][1];
            col[i][2] = s->points[k][2];
            colW[i] = s->weights[k];
        }
        ratBSplPointInSpan(pts[j], col, colW, s->knotsu + bu, ku, ku - 1, U, wp, ww, &wts[j]);
    }
    ratBSplDerivs2InSpan(pts, wts, s->knotsv + bv, kv, kv - 1, V, wp, ww, P2, r.Sv, r.Svv);
    return r;
}

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

void expectVecNear(const double* want, const double* got, double tol, const char* what)
{
    EXPECT_LE(dist(want, got), tol) << what << ": (" << want[0] << ", " << want[1] << ", "
                                    << want[2] << ") vs (" << got[0] << ", " << got[1] << ", "
                                    << got[2] << ")";
}

const double kParams[] = {0.0, 0.03, 0.25, 0.3711, 0.5, 0.6, 0.87, 0.999, 1.0};

// ---------------------------------------------------------------------------

TEST(SurfEval, ClampedCornersAreCornerControlPoints)
{
    for (RatBSplSurf* s : {makeBicubic8(), makeRational20()}) {
        const int rows = s->noPointsu - s->ordu, cols = s->noPointsv - s->ordv;
        const struct {
            double u, v;
            int i, j;
        } corners[] = {{0, 0, 0, 0}, {1, 0, rows - 1, 0}, {0, 1, 0, cols - 1},
                       {1, 1, rows - 1, cols - 1}};
        for (const auto& c : corners) {
            const GeomPoint p = ratBSplSurfEvalPoint(s, c.u, c.v);
            expectVecNear(s->points[c.i * s->noPointsv + c.j], arr(p), 1e-12, "corner");
            const Full f = full(s, c.u, c.v);
            expectVecNear(arr(p), arr(f.P), 1e-12, "corner with derivatives");
        }
        ratBSplSurfFree(s);
    }
}

TEST(SurfEval, AgreesWithCurvesOfCurvesOnForeignKnotDomains)
{
    RatBSplSurf* surfaces[] = {makeBicubic8(), makeRational20(), makeTorus(5, 1, 2, 6, -1, 3),
                               makeSphere(2, -3, 1, 10, 12)};
    for (RatBSplSurf* s : surfaces) {
        const double size = 20.0;  // all nets fit in a box of this size
        for (double u : kParams)
            for (double v : kParams) {
                const double U = (1 - u) * uLo(s) + u * uHi(s);
                const double V = (1 - v) * vLo(s) + v * vHi(s);
                const Ref r = reference(s, U, V);
                const GeomPoint p = ratBSplSurfEvalPoint(s, u, v);
                expectVecNear(r.P, arr(p), 1e-12 * size, "point");
                const Full f = full(s, u, v);
                expectVecNear(r.P, arr(f.P), 1e-12 * size, "point with derivatives");
                expectVecNear(r.Su, f.Su, 1e-10 * (1 + len(r.Su)), "Su");
                expectVecNear(r.Sv, f.Sv, 1e-10 * (1 + len(r.Sv)), "Sv");
                expectVecNear(r.Suu, f.Suu, 1e-9 * (1 + len(r.Suu)), "Suu");
                expectVecNear(r.Svv, f.Svv, 1e-9 * (1 + len(r.Svv)), "Svv");
                const GeomPoint du = ratBSplSurfEvalDerivU(s, u, v);
                const GeomPoint dv = ratBSplSurfEvalDerivV(s, u, v);
                expectVecNear(r.Su, arr(du), 1e-10 * (1 + len(r.Su)), "dS/du");
                expectVecNear(r.Sv, arr(dv), 1e-10 * (1 + len(r.Sv)), "dS/dv");
            }
        ratBSplSurfFree(s);
    }
}

TEST(SurfEval, DerivativesMatchFiniteDifferencesInKnotUnits)
{
    RatBSplSurf* surfaces[] = {makeBicubic8(), makeRational20(), makeTorus(5, 1, 2, 6, -1, 3)};
    for (RatBSplSurf* s : surfaces) {
        const double wu = uHi(s) - uLo(s), wv = vHi(s) - vLo(s);
        const double h = 1e-5;
        // Inside spans, away from knots where the second derivative jumps.
        for (double u : {0.137, 0.4123, 0.7771})
            for (double v : {0.0913, 0.5521, 0.9311}) {
                const Full f = full(s, u, v);
                const GeomPoint pu1 = ratBSplSurfEvalPoint(s, u + h, v);
                const GeomPoint pu0 = ratBSplSurfEvalPoint(s, u - h, v);
                const GeomPoint pv1 = ratBSplSurfEvalPoint(s, u, v + h);
                const GeomPoint pv0 = ratBSplSurfEvalPoint(s, u, v - h);
                double fdu[3], fdv[3], fduu[3], fdvv[3];
                for (int e = 0; e < 3; ++e) {
                    fdu[e] = (arr(pu1)[e] - arr(pu0)[e]) / (2 * h * wu);
                    fdv[e] = (arr(pv1)[e] - arr(pv0)[e]) / (2 * h * wv);
                    fduu[e] = (arr(pu1)[e] - 2 * arr(f.P)[e] + arr(pu0)[e]) / (h * h * wu * wu);
                    fdvv[e] = (arr(pv1)[e] - 2 * arr(f.P)[e] + arr(pv0)[e]) / (h * h * wv * wv);
                }
                expectVecNear(fdu, f.Su, 1e-6 * (1 + len(f.Su)), "Su by differences");
                expectVecNear(fdv, f.Sv, 1e-6 * (1 + len(f.Sv)), "Sv by differences");
                expectVecNear(fduu, f.Suu, 1e-3 * (1 + len(f.Suu)), "Suu by differences");
                expectVecNear(fdvv, f.Svv, 1e-3 * (1 + len(f.Svv)), "Svv by differences");
            }
        ratBSplSurfFree(s);
    }
}

TEST(SurfEval, OpenDirectionsClampAndClosedOnesWrap)
{
    SurfPtr b(makeBicubic8());
    const GeomPoint at1 = ratBSplSurfEvalPoint(b, 1.0, 0.4);
    const GeomPoint past = ratBSplSurfEvalPoint(b, 1.01, 0.4);
    const GeomPoint inBand = ratBSplSurfEvalPoint(b, 1.00000005, 0.4);
    const GeomPoint below = ratBSplSurfEvalPoint(b, -0.5, 0.4);
    const GeomPoint at0 = ratBSplSurfEvalPoint(b, 0.0, 0.4);
    EXPECT_EQ(0.0, dist(arr(at1), arr(past)));
    EXPECT_EQ(0.0, dist(arr(at0), arr(below)));
    // Inside the tolerance band the parameter is used as given.
    EXPECT_GT(dist(arr(at1), arr(inBand)), 1e-9);
    EXPECT_LT(dist(arr(at1), arr(inBand)), 1e-5);

    // Closed form in u (round the axis), open in v (along it).
    SurfPtr c(makeCylinder(10, 0, 20, 0, 4, -1, 3));
    EXPECT_LT(dist(arr(ratBSplSurfEvalPoint(c, 1.25, 0.3)), arr(ratBSplSurfEvalPoint(c, 0.25, 0.3))),
              1e-12);
    EXPECT_LT(dist(arr(ratBSplSurfEvalPoint(c, -0.25, 0.3)), arr(ratBSplSurfEvalPoint(c, 0.75, 0.3))),
              1e-12);
    EXPECT_EQ(0.0, dist(arr(ratBSplSurfEvalPoint(c, 0.3, 1.25)), arr(ratBSplSurfEvalPoint(c, 0.3, 1.0))));
    // The periodic flag alone wraps as well.
    c->origFormu = 1;
    c->periodicv = 1;
    EXPECT_EQ(0.0, dist(arr(ratBSplSurfEvalPoint(c, 1.25, 0.3)), arr(ratBSplSurfEvalPoint(c, 1.0, 0.3))));
    EXPECT_LT(dist(arr(ratBSplSurfEvalPoint(c, 0.3, 1.25)), arr(ratBSplSurfEvalPoint(c, 0.3, 0.25))),
              1e-12);
    // The derivative evaluations follow the same rules.
    EXPECT_LT(dist(arr(ratBSplSurfEvalDerivV(c, 0.3, 1.25)), arr(ratBSplSurfEvalDerivV(c, 0.3, 0.25))),
              1e-12);
}

TEST(SurfEval, ExactShapesHaveTheirCurvatures)
{
    SurfPtr cyl(makeCylinder(10, 0, 20, 0, 4, -1, 3));
    SurfPtr sph(makeSphere(2, -3, 1, 10, 12));
    for (double u : {0.0, 0.1, 0.33, 0.5, 0.62, 0.9})
        for (double v : {0.05, 0.3, 0.5, 0.77, 0.95}) {
            Full f = full(cyl, u, v);
            EXPECT_NEAR(10.0, std::hypot(f.P.x, f.P.y), 1e-12);
            EXPECT_NEAR(0.1, std::fabs(f.kU), 1e-12);
            EXPECT_EQ(0.0, f.kV);

            f = full(sph, u, v);
            EXPECT_NEAR(2.0, len(arr(f.P)), 1e-12);
            EXPECT_NEAR(0.5, std::fabs(f.kU), 1e-11);
            EXPECT_NEAR(0.5, std::fabs(f.kV), 1e-11);
            // Positive against Su x Sv when that points into the sphere.
            double n[3];
            cross(f.Su, f.Sv, n);
            EXPECT_GT(0.0, f.kU * dot(n, arr(f.P)));
            EXPECT_GT(0.0, f.kV * dot(n, arr(f.P)));
        }

    // Torus R = 5, r = 1: the profile starts on the outer equator (v = 0)
    // and passes the inner one at v = 0.5.
    SurfPtr tor(makeTorus(5, 1, 2, 6, -1, 3));
    for (double u : {0.0, 0.2, 0.45, 0.8}) {
        Full f = full(tor, u, 0.0);
        EXPECT_NEAR(1.0 / 6.0, std::fabs(f.kU), 1e-11);
        EXPECT_NEAR(1.0, std::fabs(f.kV), 1e-11);
        EXPECT_GT(f.kU * f.kV, 0.0);  // convex outside
        f = full(tor, u, 0.5);
        EXPECT_NEAR(0.25, std::fabs(f.kU), 1e-11);
        EXPECT_NEAR(1.0, std::fabs(f.kV), 1e-11);
        EXPECT_LT(f.kU * f.kV, 0.0);  // saddle inside
    }
}

TEST(SurfEval, FlatPatchAndCollapsedEdge)
{
    SurfPtr plane(makeSurf(2, 2, {3, 3, 7, 7}, {-1, -1, 0, 0},
                           {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}}, {1, 1, 1, 1}, 0));
    const Full f = full(plane, 0.3, 0.8);
    EXPECT_EQ(0.0, len(f.Suu));
    EXPECT_EQ(0.0, len(f.Svv));
    EXPECT_EQ(0.0, f.kU);
    EXPECT_EQ(0.0, f.kV);
    // Derivatives in knot units: the u domain is 4 wide, the v domain 1.
    EXPECT_NEAR(0.25, f.Su[0], 1e-15);
    EXPECT_NEAR(1.0, f.Sv[1], 1e-15);
    const GeomPoint n = ratBSplSurfEvalNormal(plane, 0.3, 0.8);
    EXPECT_NEAR(1.0, n.z, 1e-15);  // u runs along x, v along y
    EXPECT_NEAR(0.0, std::hypot(n.x, n.y), 1e-15);

    // The south pole of a sphere: u does not move the point.
    SurfPtr sph(makeSphere(2, -3, 1, 10, 12));
    const Full pole = full(sph, 0.3, 0.0);
    EXPECT_NEAR(-2.0, pole.P.z, 1e-12);
    // Su vanishes, and with it the normal that both curvatures refer to.
    EXPECT_LT(len(pole.Su), 1e-12);
    EXPECT_EQ(0.0, pole.kU);
    EXPECT_EQ(0.0, pole.kV);
    double c[3];
    cross(pole.Sv, pole.Svv, c);
    EXPECT_NEAR(0.5, len(c) / std::pow(len(pole.Sv), 3), 1e-11);  // the meridian is still a circle
    const GeomPoint pn = ratBSplSurfEvalNormal(sph, 0.3, 0.0);
    EXPECT_LT(len(arr(pn)), 1e-10);
}

TEST(SurfEval, OffsetPointMovesAlongTheNormal)
{
    SurfPtr cyl(makeCylinder(10, 0, 20, 0, 4, -1, 3));
    const GeomPoint base = ratBSplSurfEvalOffsetPoint(cyl, 0.3, 0.4);
    cyl->offset = 2.0;  // ignored while the flag is clear
    EXPECT_EQ(0.0, dist(arr(base), arr(ratBSplSurfEvalOffsetPoint(cyl, 0.3, 0.4))));
    cyl->isOffsetSurf = 1;
    const GeomPoint n = ratBSplSurfEvalNormal(cyl, 0.3, 0.4);
    EXPECT_NEAR(1.0, len(arr(n)), 1e-14);
    const GeomPoint off = ratBSplSurfEvalOffsetPoint(cyl, 0.3, 0.4);
    for (int e = 0; e < 3; ++e)
        EXPECT_NEAR(arr(base)[e] + 2.0 * arr(n)[e], arr(off)[e], 1e-12);
    const double r = std::hypot(off.x, off.y);
    EXPECT_TRUE(std::fabs(r - 8.0) < 1e-12 || std::fabs(r - 12.0) < 1e-12) << r;
}

// A Bezier patch of order 31 in u whose control points lie evenly on a line:
// linear precision gives S = (3u, 2v, 0) whatever the order.
RatBSplSurf* makeHighOrder()
{
    std::vector<double> ku(31, 0.0);
    ku.insert(ku.end(), 31, 1.0);
    std::vector<Pt> pts;
    std::vector<double> w;
    for (int i = 0; i < 31; ++i)
        for (int j = 0; j < 2; ++j) {
            pts.push_back(Pt{3.0 * i / 30.0, 2.0 * j, 0.0});
            w.push_back(1.0);
        }
    return makeSurf(31, 2, ku, {0, 0, 1, 1}, pts, w, 0);
}

TEST(SurfEval, OrdersBeyondTheFixedBuffersAreRefusedByTheDerivativeEvaluations)
{
    SurfPtr s(makeHighOrder());
    const GeomPoint p = ratBSplSurfEvalPoint(s, 0.37, 0.6);
    EXPECT_NEAR(1.11, p.x, 1e-12);
    EXPECT_NEAR(1.2, p.y, 1e-12);
    const GeomPoint du = ratBSplSurfEvalDerivU(s, 0.37, 0.6);
    EXPECT_NEAR(3.0, du.x, 1e-10);

    geomLastError = -1;
    Full f;
    for (double* v : {f.Su, f.Suu, f.Sv, f.Svv})
        v[0] = v[1] = v[2] = 7.0;
    f.kU = f.kV = 7.0;
    f.P = ratBSplSurfEvalPointNormal(s, 0.37, 0.6, f.Su, f.Suu, f.Sv, f.Svv, &f.kU, &f.kV);
    EXPECT_EQ(2, geomLastError);
    for (const double* v : {arr(f.P), (const double*)f.Su, (const double*)f.Suu,
                            (const double*)f.Sv, (const double*)f.Svv})
        EXPECT_EQ(0.0, len(v));
    EXPECT_EQ(0.0, f.kU);
    EXPECT_EQ(0.0, f.kV);

    geomLastError = -1;
    EXPECT_EQ(0.0, len(arr(ratBSplSurfEvalDerivV(s, 0.37, 0.6))));
    EXPECT_EQ(2, geomLastError);
    geomLastError = -1;
    double su[3] = {7, 7, 7};
    EXPECT_EQ(0.0, len(arr(ratBSplSurfEvalAtSpans(s, 30, 1, 0.37, 0.6, su, nullptr, nullptr,
                                                  nullptr, nullptr, nullptr))));
    EXPECT_EQ(0.0, len(su));
    EXPECT_EQ(2, geomLastError);
}

TEST(SurfEval, KnownSpansAndTheirValidation)
{
    SurfPtr s(makeRational20());
    const double u = 0.4123, v = 0.6311;
    const double U = (1 - u) * uLo(s) + u * uHi(s), V = (1 - v) * vLo(s) + v * vHi(s);
    const int su = ratBSplCurveFindSpan(s->knotsu, s->noPointsu, s->ordu, U);
    const int sv = ratBSplCurveFindSpan(s->knotsv, s->noPointsv, s->ordv, V);
    const Full f = full(s, u, v);
    Full g;
    geomLastError = -1;
    g.P = ratBSplSurfEvalAtSpans(s, su, sv, U, V, g.Su, g.Suu, g.Sv, g.Svv, &g.kU, &g.kV);
    EXPECT_EQ(-1, geomLastError);
    expectVecNear(arr(f.P), arr(g.P), 1e-13, "point");
    expectVecNear(f.Su, g.Su, 1e-12, "Su");
    expectVecNear(f.Svv, g.Svv, 1e-11, "Svv");
    EXPECT_NEAR(f.kU, g.kU, 1e-12);
    EXPECT_NEAR(f.kV, g.kV, 1e-12);
    // Only some outputs: the others are not touched.
    double kv = 9.0;
    const GeomPoint p = ratBSplSurfEvalAtSpans(s, su, sv, U, V, nullptr, nullptr, nullptr,
                                               nullptr, nullptr, &kv);
    expectVecNear(arr(f.P), arr(p), 1e-13, "point only");
    EXPECT_NEAR(f.kV, kv, 1e-12);

    // A span outside the net falls back to the first span, with a report.
    const int first = s->ordu - 1;
    const double U0 = s->knotsu[first] + 0.1, V0 = s->knotsv[s->ordv - 1] + 0.1;
    const GeomPoint want = ratBSplSurfEvalAtSpans(s, first, s->ordv - 1, U0, V0, nullptr,
                                                  nullptr, nullptr, nullptr, nullptr, nullptr);
    for (int bad : {-1, s->noPointsu - s->ordu}) {
        geomLastError = -1;
        const GeomPoint got = ratBSplSurfEvalAtSpans(s, bad, s->ordv - 1, U0, V0, nullptr,
                                                     nullptr, nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(2, geomLastError);
        EXPECT_EQ(0.0, dist(arr(want), arr(got)));
    }
}

TEST(SurfEval, NullAndUnusableRecordsGiveZero)
{
    double su[3] = {5, 5, 5};
    double k = 5;
    GeomPoint p = ratBSplSurfEvalPointNormal(nullptr, 0.5, 0.5, su, su, su, su, &k, &k);
    EXPECT_EQ(0.0, len(arr(p)));
    EXPECT_EQ(5.0, su[0]);  // nothing written for a null surface
    EXPECT_EQ(0.0, len(arr(ratBSplSurfEvalPoint(nullptr, 0.5, 0.5))));
    EXPECT_EQ(0.0, len(arr(ratBSplSurfEvalNormal(nullptr, 0.5, 0.5))));
    EXPECT_EQ(0.0, len(arr(ratBSplSurfEvalOffsetPoint(nullptr, 0.5, 0.5))));

    // Too few knots for one span of its order: never read past the arrays.
    RatBSplSurf* s = ratBSplSurfCreate(4, 4, 6, 8);
    for (int i = 0; i < 6; ++i)
        s->knotsu[i] = i;
    for (int j = 0; j < 8; ++j)
        s->knotsv[j] = j < 4 ? 0 : 1;
    geomLastError = -1;
    p = ratBSplSurfEvalPoint(s, 0.5, 0.5);
    EXPECT_EQ(2, geomLastError);
    EXPECT_EQ(0.0, len(arr(p)));
    geomLastError = -1;
    p = ratBSplSurfEvalPointNormal(s, 0.5, 0.5, su, su, su, su, &k, &k);
    EXPECT_EQ(2, geomLastError);
    EXPECT_EQ(0.0, len(su));
    EXPECT_EQ(0.0, k);
    ratBSplSurfFree(s);
}

}  // namespace
