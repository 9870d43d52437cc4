// Surface evaluation checked against a plain reference
// written here from the definitions alone: Cox-de Boor basis functions by
// their recursion, the rational point and its partial derivatives by the
// quotient rule on the homogeneous sums, all in long double, on nets whose
// knot domains are not [0, 1].
#include "geom/geom.h"
#include "geom/geom_surface_ops.h"
#include "surf_nets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

using LD = long double;

// ---------------------------------------------------------------------------
// Reference evaluation

struct V3 {
    LD x, y, z;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator*(LD s, V3 a) { return {s * a.x, s * a.y, s * a.z}; }
LD dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
LD norm(V3 a) { return std::sqrt(dot(a, a)); }
V3 cross(V3 a, V3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
V3 fromPoint(const GeomPoint& p) { return {p.x, p.y, p.z}; }
V3 fromArray(const double* p) { return {p[0], p[1], p[2]}; }

// The non-empty span that evaluates t; a parameter on (or within 1e-9 past)
// an interior knot belongs to the span that ends there, one outside the
// domain to the nearest end span.
int refSpan(const double* K, int m, int k, LD t)
{
    int last = -1;
    for (int i = k - 1; i < m - k; ++i) {
        if (!(K[i] < K[i + 1]))
            continue;
        last = i;
        if (t <= K[i + 1] + 1e-9L)
            return i;
    }
    return last;
}

LD ratio(LD a, LD b) { return b == 0 ? 0 : a / b; }

// d-th derivative of the degree-p function i, with the degree-0 functions
// the indicator of `span` (so the span's polynomial piece is extended a
// little past its ends instead of switching pieces).
LD basis(const double* K, int i, int p, int d, LD t, int span)
{
    if (p == 0)
        return d == 0 && i == span ? 1 : 0;
    if (d == 0)
        return ratio(t - K[i], K[i + p] - K[i]) * basis(K, i, p - 1, 0, t, span) +
               ratio(K[i + p + 1] - t, K[i + p + 1] - K[i + 1]) * basis(K, i + 1, p - 1, 0, t, span);
    return p * (ratio(basis(K, i, p - 1, d - 1, t, span), K[i + p] - K[i]) -
                ratio(basis(K, i + 1, p - 1, d - 1, t, span), K[i + p + 1] - K[i + 1]));
}

// Basis values and derivatives up to the second of every control point of a
// direction at the knot value t.
std::vector<LD> basisRow(const double* K, int m, int k, LD t, int d)
{
    const int span = refSpan(K, m, k, t);
    std::vector<LD> out(m - k, 0);  // only the span's k functions are not zero
    for (int i = std::max(0, span - k + 1); i <= span && i < m - k; ++i)
        out[i] = basis(K, i, k - 1, d, t, span);
    return out;
}

struct Ref {
    V3 P, Su, Suu, Sv, Svv, Suv;
    LD kU, kV;
    V3 normal;  // unit unless degenerate
};

// Point, derivatives and normal curvatures at knot values (U, V).
Ref refEval(const RatBSplSurf* s, LD U, LD V)
{
    const int rows = s->noPointsu - s->ordu, cols = s->noPointsv - s->ordv;
    std::vector<LD> nu[3], nv[3];
    for (int d = 0; d < 3; ++d) {
        nu[d] = basisRow(s->knotsu, s->noPointsu, s->ordu, U, d);
        nv[d] = basisRow(s->knotsv, s->noPointsv, s->ordv, V, d);
    }
    // Homogeneous sums A[a][b] (a-th derivative in u, b-th in v) and their
    // weight parts W[a][b].
    V3 A[3][3] = {};
    LD W[3][3] = {};
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            const int at = i * s->noPointsv + j;
            const LD w = s->weights[at];
            const V3 hp = w * fromArray(s->points[at]);
            for (int a = 0; a < 3; ++a)
                for (int b = 0; a + b < 3; ++b) {
                    const LD c = nu[a][i] * nv[b][j];
                    A[a][b] = A[a][b] + c * hp;
                    W[a][b] += c * w;
                }
        }
    Ref r;
    const LD w = W[0][0];
    r.P = (1 / w) * A[0][0];
    r.Su = (1 / w) * (A[1][0] - W[1][0] * r.P);
    r.Sv = (1 / w) * (A[0][1] - W[0][1] * r.P);
    r.Suu = (1 / w) * (A[2][0] - 2 * W[1][0] * r.Su - W[2][0] * r.P);
    r.Svv = (1 / w) * (A[0][2] - 2 * W[0][1] * r.Sv - W[0][2] * r.P);
    r.Suv = (1 / w) * (A[1][1] - W[1][0] * r.Sv - W[0][1] * r.Su - W[1][1] * r.P);
    // Normal curvature along a parameter line: the second derivative's part
    // along the unit normal Su x Sv over the squared speed; 0 where the line
    // does not move.
    V3 n = cross(r.Su, r.Sv);
    const LD len = norm(n);
    if (len >= 1e-12L)
        n = (1 / len) * n;
    r.normal = n;
    const LD uu = dot(r.Su, r.Su), vv = dot(r.Sv, r.Sv);
    r.kU = uu <= 1e-10L ? 0 : dot(n, r.Suu) / uu;
    r.kV = vv <= 1e-10L ? 0 : dot(n, r.Svv) / vv;
    return r;
}

// ---------------------------------------------------------------------------
// Nets

// Maps the knots of both directions affinely so that the knot domains become
// [u0, u1] and [v0, v1]: the same surface on other parameters.
void moveDomains(RatBSplSurf* s, double u0, double u1, double v0, double v1)
{
    auto move = [](double* K, int m, int k, double a, double b) {
        const double lo = K[k - 1], hi = K[m - k];
        for (int i = 0; i < m; ++i)
            K[i] = a + (K[i] - lo) * ((b - a) / (hi - lo));
        K[k - 1] = a;
        K[m - k] = b;
    };
    move(s->knotsu, s->noPointsu, s->ordu, u0, u1);
    move(s->knotsv, s->noPointsv, s->ordv, v0, v1);
}

// Knot vector for n control points of order k over [a, b]: clamped or not,
// interior knots repeated up to k - 1 times, no span narrower than a
// fifth of the widest.
std::vector<double> randomKnots(std::mt19937& rng, int k, int n, bool clamped, double a, double b)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const size_t m = n + k, stop = clamped ? n : m;
    std::vector<double> K(clamped ? k : 0, 0.0);
    double x = 0.0;
    while (K.size() < stop) {
        x += 0.3 + unit(rng);
        const int mult = 1 + static_cast<int>(unit(rng) * (k - 1));
        for (int r = 0; r < mult && K.size() < stop; ++r)
            K.push_back(x);
    }
    if (clamped)
        K.insert(K.end(), k, x + 0.3 + unit(rng));
    const double lo = K[k - 1], hi = K[n];
    if (!(lo < hi))  // the domain itself is one repeated knot: draw again
        return randomKnots(rng, k, n, clamped, a, b);
    for (double& t : K)
        t = t == lo ? a : (t == hi ? b : a + (t - lo) * (b - a) / (hi - lo));
    return K;
}

struct Domain {
    double a, b;
};
const Domain kDomains[] = {{-3.5, 12.25}, {100.0, 101.0}, {-0.75, 2.0}, {7.0, 9.5}};

RatBSplSurf* randomNet(std::mt19937& rng, int ku, int kv, bool clamped, Domain du, Domain dv)
{
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const int rows = ku + static_cast<int>(unit(rng) * 5), cols = kv + static_cast<int>(unit(rng) * 5);
    const std::vector<double> KU = randomKnots(rng, ku, rows, clamped, du.a, du.b);
    const std::vector<double> KV = randomKnots(rng, kv, cols, clamped, dv.a, dv.b);
    RatBSplSurf* s = ratBSplSurfCreate(ku, kv, rows + ku, cols + kv);
    std::copy(KU.begin(), KU.end(), s->knotsu);
    std::copy(KV.begin(), KV.end(), s->knotsv);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            // A wavy height field over a grid, weights log-uniform in [0.2, 5].
            ratBSplSurfSetPoint(s, i, j, 1.5 * i + 0.4 * unit(rng), 1.2 * j + 0.4 * unit(rng),
                                2.0 * unit(rng) - 1.0);
            ratBSplSurfSetWeight(s, i, j, 0.2 * std::pow(25.0, unit(rng)));
        }
    s->isRational = 1;
    s->origFormu = s->origFormv = 1;
    return s;
}

// Cylinder, cone, two spheres and a ring torus from the kernel's constructors.
std::vector<RatBSplSurf*> exactShapes()
{
    const double O[3] = {1.0, -2.0, 0.5}, X[3] = {3.0, 0.0, 0.0}, Y[3] = {0.0, 3.0, 0.0},
                 Z[3] = {0.0, 0.0, 1.0}, ex[3] = {1, 0, 0}, ey[3] = {0, 1, 0};
    std::vector<RatBSplSurf*> out = {
        ratBSplSurfConeBetweenHeights(O, Z, X, Y, 0.0, 1.0, -2.0, 5.0),
        ratBSplSurfConeBetweenHeights(O, Z, X, Y, 1.0, 2.0, -1.0, 4.0),
        ratBSplSurfSphere4(O, 2.5, ex, ey, Z),
        ratBSplSurfSphere3(O, 1.75, ex, ey, Z),
        ratBSplSurfTorus(O, ex, ey, Z, 4.0, 1.25),
    };
    const Domain moves[5][2] = {{{-3.5, 12.25}, {100, 101}}, {{100, 101}, {-3.5, 12.25}},
                                {{-3.5, 12.25}, {2, 2.5}},   {{100, 101}, {100, 101}},
                                {{-3.5, 12.25}, {-3.5, 12.25}}};
    for (size_t i = 0; i < out.size(); ++i)
        if (out[i])
            moveDomains(out[i], moves[i][0].a, moves[i][0].b, moves[i][1].a, moves[i][1].b);
    return out;
}

double netSize(const RatBSplSurf* s)
{
    V3 lo{1e300, 1e300, 1e300}, hi{-1e300, -1e300, -1e300};
    for (int i = 0; i < s->noPointsu - s->ordu; ++i)
        for (int j = 0; j < s->noPointsv - s->ordv; ++j) {
            const V3 p = fromArray(s->points[i * s->noPointsv + j]);
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
    return static_cast<double>(norm(hi - lo));
}

// Normalised parameters to evaluate at: the ends, every distinct knot of the
// domain, and a few in between.
std::vector<double> sampleParams(const double* K, int m, int k, std::mt19937& rng)
{
    const double lo = K[k - 1], hi = K[m - k];
    std::vector<double> t = {0.0, 1.0};
    for (int i = k; i < m - k; ++i)
        if (K[i] > K[i - 1])
            t.push_back((K[i] - lo) / (hi - lo));
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int r = 0; r < 5; ++r)
        t.push_back(unit(rng));
    return t;
}

// ---------------------------------------------------------------------------
// Comparison of every evaluation at one parameter pair

void compareAt(RatBSplSurf* s, double u, double v, double size)
{
    const double ru = s->knotsu[s->noPointsu - s->ordu] - s->knotsu[s->ordu - 1];
    const double rv = s->knotsv[s->noPointsv - s->ordv] - s->knotsv[s->ordv - 1];
    // The kernel maps the normalised parameters to knot values in double;
    // the reference evaluates at exactly those knot values.
    const double U = (1 - u) * s->knotsu[s->ordu - 1] + u * s->knotsu[s->noPointsu - s->ordu];
    const double V = (1 - v) * s->knotsv[s->ordv - 1] + v * s->knotsv[s->noPointsv - s->ordv];
    const Ref r = refEval(s, U, V);

    double Su[3], Suu[3], Sv[3], Svv[3], kU, kV;
    const GeomPoint P = ratBSplSurfEvalPointNormal(s, u, v, Su, Suu, Sv, Svv, &kU, &kV);
    const auto rel = [](V3 got, V3 want, double scale) {
        return static_cast<double>(norm(got - want) / std::max<LD>(norm(want), scale));
    };
    const double eP = static_cast<double>(norm(fromPoint(P) - r.P)) / size;
    const double eP2 =
        static_cast<double>(norm(fromPoint(ratBSplSurfEvalPoint(s, u, v)) - r.P)) / size;
    const double e1 = std::max({rel(fromArray(Su), r.Su, size / ru), rel(fromArray(Sv), r.Sv, size / rv),
                                rel(fromPoint(ratBSplSurfEvalDerivU(s, u, v)), r.Su, size / ru),
                                rel(fromPoint(ratBSplSurfEvalDerivV(s, u, v)), r.Sv, size / rv)});
    const double e2 = std::max(rel(fromArray(Suu), r.Suu, size / (ru * ru)),
                               rel(fromArray(Svv), r.Svv, size / (rv * rv)));
    EXPECT_LE(std::max(eP, eP2), 1e-9) << "point at " << u << ", " << v;
    EXPECT_LE(e1, 1e-9) << "first derivatives at " << u << ", " << v;
    EXPECT_LE(e2, 1e-9) << "second derivatives at " << u << ", " << v;

    // Curvature: an error of the derivatives moves n . S'' / |S'|^2 by up to
    // |S''| / |S'|^2 times the relative error, amplified where the normal
    // is ill-determined (Su and Sv nearly parallel).
    const LD su2 = dot(r.Su, r.Su), sv2 = dot(r.Sv, r.Sv), area = norm(cross(r.Su, r.Sv));
    const LD skew = area > 1e-9L ? 1 + norm(r.Su) * norm(r.Sv) / area : 0;
    const auto curvOk = [&](double got, LD want, LD speed2, V3 second) {
        if (std::fabs(static_cast<double>(speed2) / 1e-10 - 1.0) < 0.5 || skew == 0)
            return 0.0;  // at the kernel's own cut-offs either answer is right
        const LD cond = speed2 <= 1e-10L ? 1 : skew * norm(second) / speed2;
        return static_cast<double>(std::fabs(got - want) / std::max<LD>(cond, 1e-300L));
    };
    const double ec = std::max(curvOk(kU, r.kU, su2, r.Suu), curvOk(kV, r.kV, sv2, r.Svv));
    EXPECT_LE(ec, 1e-8) << "curvatures at " << u << ", " << v << ": " << kU << " " << (double)r.kU
                        << ", " << kV << " " << (double)r.kV;

    if (skew > 0) {
        const double en =
            static_cast<double>(norm(fromPoint(ratBSplSurfEvalNormal(s, u, v)) - r.normal) / skew);
        EXPECT_LE(en, 1e-9) << "normal at " << u << ", " << v;
    }
}

// At every sample parameter pair; frees the surface.
void compareEverywhere(RatBSplSurf* s, std::mt19937& rng)
{
    const double size = netSize(s);
    for (double u : sampleParams(s->knotsu, s->noPointsu, s->ordu, rng))
        for (double v : sampleParams(s->knotsv, s->noPointsv, s->ordv, rng))
            compareAt(s, u, v, size);
    ratBSplSurfFree(s);
}

// ---------------------------------------------------------------------------
// Evaluation

TEST(VerifySurface, ReferenceKnowsTheExactShapes)
{
    // The reference itself: a sphere of radius 2.5 bends by 1 / 2.5 along
    // both parameter lines, and its points lie at that radius.
    std::vector<RatBSplSurf*> shapes = exactShapes();
    RatBSplSurf* sphere = shapes[2];
    ASSERT_NE(nullptr, sphere);
    for (double u : {0.1, 0.37, 0.5, 0.81})
        for (double v : {0.0, 0.2, 0.66, 0.9}) {
            const Ref r = refEval(sphere, surftest::knotU(sphere, u), surftest::knotV(sphere, v));
            EXPECT_NEAR(2.5, static_cast<double>(norm(r.P - V3{1.0, -2.0, 0.5})), 1e-15);
            EXPECT_NEAR(0.4, std::fabs(static_cast<double>(r.kU)), 1e-14);
            EXPECT_NEAR(0.4, std::fabs(static_cast<double>(r.kV)), 1e-14);
        }
    for (RatBSplSurf* s : shapes)
        ratBSplSurfFree(s);
}

TEST(VerifySurface, RandomNetsOnForeignKnotDomains)
{
    std::mt19937 rng(20240611);
    // Orders 1 to 6 in each direction: every pair is its own summation.
    for (int ku = 1; ku <= 6; ++ku)
        for (int kv = 1; kv <= 6; ++kv)
            for (int clamped = 0; clamped < 2; ++clamped) {
                const Domain du = kDomains[(ku + kv + clamped) % 4];
                const Domain dv = kDomains[(ku * kv + 1) % 4];
                RatBSplSurf* s = randomNet(rng, ku, kv, clamped != 0, du, dv);
                ASSERT_NE(nullptr, s);
                SCOPED_TRACE(testing::Message() << "orders " << ku << " x " << kv
                                                << (clamped ? ", clamped" : ", unclamped"));
                compareEverywhere(s, rng);
            }
}

TEST(VerifySurface, ExactShapesOnForeignKnotDomains)
{
    std::mt19937 rng(7);
    for (RatBSplSurf* s : exactShapes()) {
        ASSERT_NE(nullptr, s);
        compareEverywhere(s, rng);
    }
}

}  // namespace
