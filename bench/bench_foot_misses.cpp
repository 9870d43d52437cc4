// How often the nearest-point searches miss the nearest point, measured
// against brute-force references of this file's own, and how long they take.
//
// Curves: 10,000 random records (orders 2 to 6, rational or not, clamped or
// not), each asked for one point on the curve and one beside it; the
// reference samples every span 400 times and refines the best samples by a
// golden-section search. A miss is a result more than 1e-9 of the curve's
// size farther than the reference.
//
// Surfaces: point inversion without a start and from (0, 0), as the
// analysis starts it, on random 8x8 and 20x20 bicubic nets (rational and
// not), a cone and a sphere: 300 queries each, 1800 in all. The reference is
// a 160 x 160 grid of the surface polished by Gauss-Newton steps from its
// eight nearest grid minima. A miss is a result more than 1e-6 of the
// surface's size farther than the reference. The counters give the misses
// of each run; the time is that of the inversions alone.
#include "geom/geom.h"

#include "../tests/geom/surf_nets.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Curves

RatBSplCurve* randomCurve(std::mt19937& rng)
{
    auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const int ord = pick(2, 6), n = pick(ord, ord + 10), K = n + ord;
    const bool clamped = real(0, 1) < 0.7, rational = real(0, 1) < 0.5;
    RatBSplCurve* c = ratBSplCurveCreate(ord, K);
    double x = real(-5, 5);
    for (int i = 0; i < K; ++i) {
        const bool end = clamped && (i < ord || i >= K - ord);
        const bool repeat = end && i > 0 && (i < ord || i > K - ord);
        if (!repeat)
            x += real(0.2, 2.0);
        c->knots[i] = x;
        ratBSplCurveSetPoint(c, i, real(-10, 10), real(-10, 10), real(-10, 10));
        c->weights[i] = rational ? real(0.3, 3.0) : 1.0;
    }
    c->isRational = rational;
    return c;
}

double curveSize(const RatBSplCurve* c)
{
    double s = 1.0;
    for (int i = 0; i < c->noPoints - c->ord; ++i)
        for (int d = 0; d < 3; ++d)
            s = std::fmax(s, std::fabs(c->points[i][d]));
    return s;
}

double dist(const GeomPoint& a, const GeomPoint& b)
{
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

double curveReference(RatBSplCurve* c, const GeomPoint& P)
{
    const int m = 400 * (c->noPoints - 2 * c->ord + 1) + 1;
    auto at = [&](double t) { return dist(ratBSplCurveEvalPoint(c, t), P); };
    std::vector<double> d(m);
    for (int i = 0; i < m; ++i)
        d[i] = at(static_cast<double>(i) / (m - 1));
    std::vector<int> order(m);
    for (int i = 0; i < m; ++i)
        order[i] = i;
    std::partial_sort(order.begin(), order.begin() + 8, order.end(), [&](int a, int b) { return d[a] < d[b]; });
    double best = d[order[0]];
    for (int k = 0; k < 8; ++k) {
        double lo = std::max(0, order[k] - 1) / double(m - 1), hi = std::min(m - 1, order[k] + 1) / double(m - 1);
        const double g = (std::sqrt(5.0) - 1) / 2;
        for (int it = 0; it < 90; ++it) {
            const double x1 = hi - g * (hi - lo), x2 = lo + g * (hi - lo);
            if (at(x1) < at(x2))
                hi = x2;
            else
                lo = x1;
        }
        best = std::fmin(best, at(0.5 * (lo + hi)));
    }
    return best;
}

void BM_CurveProjectionMisses(benchmark::State& state)
{
    int misses = 0, cases = 0;
    double worst = 0.0;
    for (auto _ : state) {
        std::mt19937 rng(24);
        misses = cases = 0;
        worst = 0.0;
        for (int r = 0; r < 10000; ++r) {
            RatBSplCurve* c = randomCurve(rng);
            const double t = std::uniform_real_distribution<double>(0, 1)(rng);
            GeomPoint P = ratBSplCurveEvalPoint(c, t);
            const double tol = 1e-9 * curveSize(c);
            for (int k = 0; k < 2; ++k) {
                if (k == 1) {
                    std::uniform_real_distribution<double> off(-3, 3);
                    P = GeomPoint{P.x + off(rng), P.y + off(rng), P.z + off(rng)};
                }
                double u = 0, d = 0;
                ratBSplCurveProjectPoint(c, P, &u, &d);
                const double ref = k == 0 ? 0.0 : curveReference(c, P);
                ++cases;
                if (d > ref + tol) {
                    ++misses;
                    worst = std::fmax(worst, d - ref);
                }
            }
            ratBSplCurveFree(c);
        }
    }
    state.counters["cases"] = cases;
    state.counters["misses"] = misses;
    state.counters["worst"] = worst;
}

// ---------------------------------------------------------------------------
// Surfaces

using surftest::makeSurf;
using surftest::Pt;

RatBSplSurf* randomNet(int n, bool rational, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> jitter(-0.3, 0.3), height(-2.0, 2.0), weight(0.5, 2.0);
    std::vector<double> k = {0, 0, 0, 0};
    for (int i = 1; i <= n - 4; ++i)
        k.push_back(i);
    for (int e = 0; e < 4; ++e)
        k.push_back(n - 3);
    std::vector<Pt> pts;
    std::vector<double> w;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            pts.push_back(Pt{i + jitter(rng), j + jitter(rng), height(rng)});
            w.push_back(rational ? weight(rng) : 1.0);
        }
    return makeSurf(4, 4, k, k, pts, w, rational ? 1 : 0);
}

RatBSplSurf* makeKind(int kind)
{
    const double O[3] = {0, 0, 0}, Z[3] = {0, 0, 1}, X[3] = {1, 0, 0}, Y[3] = {0, 1, 0};
    switch (kind) {
    case 0: return randomNet(8, false, 1);
    case 1: return randomNet(20, false, 2);
    case 2: return randomNet(8, true, 3);
    case 3: return randomNet(20, true, 4);
    case 4: return ratBSplSurfConeBetweenHeights(O, Z, X, Y, 0.5, 1.0, 1.0, 6.0);
    default: return ratBSplSurfSphere4(O, 5.0, X, Y, Z);
    }
}

struct Reference {
    RatBSplSurf* s;
    int n = 160;
    std::vector<GeomPoint> grid;
    double size = 1.0;

    explicit Reference(RatBSplSurf* surface) : s(surface)
    {
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) {
                grid.push_back(ratBSplSurfEvalPoint(s, i / double(n - 1), j / double(n - 1)));
                const GeomPoint& q = grid.back();
                size = std::fmax(size, std::fmax(std::fabs(q.x), std::fmax(std::fabs(q.y), std::fabs(q.z))));
            }
    }

    // Gauss-Newton steps on the normalised parameters, each halved until it
    // comes nearer; parameters stay in [0, 1].
    double polish(const GeomPoint& P, double u, double v) const
    {
        const double ru = s->knotsu[s->noPointsu - s->ordu] - s->knotsu[s->ordu - 1];
        const double rv = s->knotsv[s->noPointsv - s->ordv] - s->knotsv[s->ordv - 1];
        double d = dist(ratBSplSurfEvalPoint(s, u, v), P);
        for (int it = 0; it < 100; ++it) {
            const GeomPoint Q = ratBSplSurfEvalPoint(s, u, v);
            const GeomPoint a = ratBSplSurfEvalDerivU(s, u, v), b = ratBSplSurfEvalDerivV(s, u, v);
            const double r[3] = {P.x - Q.x, P.y - Q.y, P.z - Q.z};
            const double A = a.x * a.x + a.y * a.y + a.z * a.z, B = a.x * b.x + a.y * b.y + a.z * b.z;
            const double C = b.x * b.x + b.y * b.y + b.z * b.z;
            const double ra = r[0] * a.x + r[1] * a.y + r[2] * a.z, rb = r[0] * b.x + r[1] * b.y + r[2] * b.z;
            const double det = A * C - B * B;
            double du, dv;
            if (std::fabs(det) > 1e-300) {
                du = (ra * C - rb * B) / det;
                dv = (A * rb - B * ra) / det;
            } else {
                du = A > 0 ? ra / A : 0;
                dv = C > 0 ? rb / C : 0;
            }
            du /= ru;
            dv /= rv;
            bool moved = false;
            for (double f = 1.0; f > 1e-12; f *= 0.5) {
                const double nu = std::clamp(u + f * du, 0.0, 1.0), nv = std::clamp(v + f * dv, 0.0, 1.0);
                const double nd = dist(ratBSplSurfEvalPoint(s, nu, nv), P);
                if (nd < d) {
                    u = nu;
                    v = nv;
                    d = nd;
                    moved = true;
                    break;
                }
            }
            if (!moved)
                break;
        }
        return d;
    }

    double nearest(const GeomPoint& P) const
    {
        std::vector<int> order(grid.size());
        std::vector<double> d(grid.size());
        for (size_t k = 0; k < grid.size(); ++k) {
            order[k] = static_cast<int>(k);
            d[k] = dist(grid[k], P);
        }
        std::partial_sort(order.begin(), order.begin() + 8, order.end(), [&](int a, int b) { return d[a] < d[b]; });
        double best = d[order[0]];
        for (int k = 0; k < 8; ++k)
            best = std::fmin(best, polish(P, (order[k] / n) / double(n - 1), (order[k] % n) / double(n - 1)));
        return best;
    }
};

// Points around the surface: a surface point moved by up to a fifth of the
// surface's size in every direction.
std::vector<GeomPoint> queries(RatBSplSurf* s, double size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> t(0, 1), off(-0.2 * size, 0.2 * size);
    std::vector<GeomPoint> q;
    for (int i = 0; i < 300; ++i) {
        const GeomPoint p = ratBSplSurfEvalPoint(s, t(rng), t(rng));
        q.push_back(GeomPoint{p.x + off(rng), p.y + off(rng), p.z + off(rng)});
    }
    return q;
}

void BM_InversionMisses(benchmark::State& state, bool fromOrigin)
{
    std::vector<RatBSplSurf*> surfaces;
    std::vector<std::vector<GeomPoint>> points;
    std::vector<std::vector<double>> refs;
    std::vector<double> sizes;
    for (int kind = 0; kind < 6; ++kind) {
        RatBSplSurf* s = makeKind(kind);
        Reference ref(s);
        surfaces.push_back(s);
        points.push_back(queries(s, ref.size, 100 + kind));
        std::vector<double> r;
        for (const GeomPoint& p : points.back())
            r.push_back(ref.nearest(p));
        refs.push_back(r);
        sizes.push_back(ref.size);
    }
    int misses[6] = {0, 0, 0, 0, 0, 0};
    for (auto _ : state) {
        for (int kind = 0; kind < 6; ++kind) {
            RatBSplSurf* s = surfaces[kind];
            const double su = fromOrigin ? 0.0 : GEOM_NO_START_PARAM;
            int missed = 0;
            for (size_t q = 0; q < points[kind].size(); ++q) {
                double u = 0, v = 0, d = 0;
                int st = 0;
                ratBSplSurfInvertPoint(s, points[kind][q], su, su, 0.01, &u, &v, &st, &d);
                missed += d > refs[kind][q] + 1e-6 * sizes[kind] ? 1 : 0;
            }
            misses[kind] = missed;
        }
    }
    const char* names[6] = {"rand8", "rand20", "rat8", "rat20", "cone", "sphere"};
    int total = 0;
    for (int kind = 0; kind < 6; ++kind) {
        state.counters[names[kind]] = misses[kind];
        total += misses[kind];
    }
    state.counters["misses"] = total;
    state.counters["perQuery_us"] = benchmark::Counter(1800.0, benchmark::Counter::kIsIterationInvariantRate |
                                                                   benchmark::Counter::kInvert);
    for (RatBSplSurf* s : surfaces)
        ratBSplSurfFree(s);
}

void BM_InversionNoStart(benchmark::State& state) { BM_InversionMisses(state, false); }
void BM_InversionFromOrigin(benchmark::State& state) { BM_InversionMisses(state, true); }

}  // namespace

BENCHMARK(BM_CurveProjectionMisses)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_InversionNoStart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InversionFromOrigin)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
