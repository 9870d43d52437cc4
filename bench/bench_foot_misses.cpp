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
// of each run; the time is that of the inversions alone. BM_CurveProjection
// gives the time of one curve projection.
#include "geom/geom.h"

#include "../tests/geom/inversion_ref.h"

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

// The time of one projection, over 200 of the same random records.
void BM_CurveProjection(benchmark::State& state)
{
    std::mt19937 rng(25);
    std::vector<RatBSplCurve*> curves;
    std::vector<GeomPoint> points;
    std::uniform_real_distribution<double> t(0, 1), off(-3, 3);
    for (int r = 0; r < 200; ++r) {
        curves.push_back(randomCurve(rng));
        const GeomPoint p = ratBSplCurveEvalPoint(curves.back(), t(rng));
        points.push_back(GeomPoint{p.x + off(rng), p.y + off(rng), p.z + off(rng)});
    }
    size_t k = 0;
    for (auto _ : state) {
        double u = 0, d = 0;
        ratBSplCurveProjectPoint(curves[k], points[k], &u, &d);
        benchmark::DoNotOptimize(d);
        k = (k + 1) % curves.size();
    }
    for (RatBSplCurve* c : curves)
        ratBSplCurveFree(c);
}

// ---------------------------------------------------------------------------
// Surfaces

using surftest::Reference;
using surftest::queries;
using surftest::randomNet;

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
BENCHMARK(BM_CurveProjection)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InversionNoStart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InversionFromOrigin)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
