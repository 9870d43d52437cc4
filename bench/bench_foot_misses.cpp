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
// analysis starts it, on nine surfaces (random nets of orders 4 and 8, 8 x 8
// and 20 x 20, rational and not; a plane, a cylinder, a cone, a sphere and a
// torus), 200 queries each. The reference is proved: the Bezier pieces of
// the surface are halved until the nearest one is known (inversion_ref.h).
// A miss is a result farther than the nearest point by more than
// 1e-6 (1 + distance). Each benchmark is one surface; the counters give its
// misses, the worst of them and the queries whose reference stayed
// unproved; the time is that of the inversions alone. BM_CurveProjection
// gives the time of one curve projection.
#include "geom/geom.h"

#include "../tests/geom/inversion_ref.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
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

// One surface, 200 queries: the misses against the proved reference and the
// time of the inversions alone.
void BM_Inversion(benchmark::State& state, int kind, bool fromOrigin)
{
    RatBSplSurf* s = surftest::inversionSurface(kind);
    const std::vector<surftest::Piece> pieces = surftest::bezierPieces(s);
    const std::vector<GeomPoint> points = surftest::queries(s, surftest::netSize(s), 100 + kind, 200);
    std::vector<surftest::Nearest> refs;
    int unproved = 0;
    for (const GeomPoint& p : points) {
        refs.push_back(surftest::provedNearest(pieces, p));
        unproved += refs.back().proved ? 0 : 1;
    }
    const double start = fromOrigin ? 0.0 : GEOM_NO_START_PARAM;
    int misses = 0;
    double worst = 0.0;
    for (auto _ : state) {
        misses = 0;
        worst = 0.0;
        for (size_t q = 0; q < points.size(); ++q) {
            double u = 0, v = 0, d = 0;
            int st = 0;
            ratBSplSurfInvertPoint(s, points[q], start, start, 0.01, &u, &v, &st, &d);
            if (surftest::missed(d, refs[q])) {
                ++misses;
                worst = std::fmax(worst, d - refs[q].distance);
            }
        }
    }
    state.counters["misses"] = misses;
    state.counters["worst"] = worst;
    state.counters["unproved"] = unproved;
    state.counters["perQuery_us"] = benchmark::Counter(static_cast<double>(points.size()),
                                                       benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
    ratBSplSurfFree(s);
}

}  // namespace

BENCHMARK(BM_CurveProjectionMisses)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_CurveProjection)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    for (int kind = 0; kind < surftest::kInversionSurfaces; ++kind)
        for (bool fromOrigin : {false, true}) {
            const std::string name = std::string("BM_Inversion") + (fromOrigin ? "FromOrigin/" : "NoStart/") +
                                     surftest::inversionSurfaceName(kind);
            benchmark::RegisterBenchmark(name.c_str(), BM_Inversion, kind, fromOrigin)
                ->Unit(benchmark::kMillisecond);
        }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
