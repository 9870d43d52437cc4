// Surface evaluation and point inversion speed on four kinds of net: a
// bicubic 8x8 net, a rational bicubic 20x20 net with multiple interior
// knots, and exact rational quadratic cylinder and torus surfaces.
//
// Every heap allocation made while a benchmark runs is counted (global
// operator new and the malloc family are replaced in alloc_counting.h) and
// reported per call as the counter "allocs".
#include "alloc_counting.h"
#include "geom/geom.h"

#include "../tests/geom/surf_nets.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <unistd.h>


namespace {

// ---------------------------------------------------------------------------
// Nets

using surftest::makeSurf;
using surftest::Pt;

const double kTwoPi = 6.283185307179586;

// The free-form nets are drawn like those of the surface tests but are nets
// of their own: about ten times the size, and the twenty by twenty net has
// one knot vector for both directions.
RatBSplSurf* makeBicubic8()
{
    const std::vector<double> ku = {1, 1, 1, 1, 1.5, 2.2, 2.5, 3.5, 5, 5, 5, 5};
    const std::vector<double> kv = {-2, -2, -2, -2, -1.2, -0.5, 0.1, 0.9, 1, 1, 1, 1};
    std::vector<Pt> pts;
    std::vector<double> w;
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            pts.push_back(Pt{i * 13.0 + std::sin(j), j * 11.0 + 0.5 * i,
                             20.0 * std::sin(0.7 * i) * std::cos(0.5 * j)});
            w.push_back(1.0);
        }
    return makeSurf(4, 4, ku, kv, pts, w, 0);
}

RatBSplSurf* makeRational20()
{
    std::vector<double> k = {0, 0, 0, 0};
    const double interior[16] = {1, 2, 2, 3, 4, 4, 4, 5, 6, 7, 7, 8, 9, 10, 10, 11};
    for (double x : interior)
        k.push_back(x);
    for (int e = 0; e < 4; ++e)
        k.push_back(12);
    std::vector<Pt> pts;
    std::vector<double> w;
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 20; ++j) {
            pts.push_back(Pt{i * 8.0 + 2 * std::cos(0.9 * j), j * 7.0 + std::sin(1.3 * i),
                             15.0 * std::sin(0.4 * i + 0.3) * std::cos(0.35 * j)});
            w.push_back(0.5 + 0.75 * (1.0 + std::sin(0.8 * i + 1.7 * j)));
        }
    return makeSurf(4, 4, k, k, pts, w, 1);
}

RatBSplSurf* makeNet(int which)
{
    switch (which) {
    case 0: return makeBicubic8();
    case 1: return makeRational20();
    case 2: return surftest::makeCylinder(10, 0, 20, 0.0, kTwoPi, 0, 20);
    default: return surftest::makeTorus(30, 8, 0.0, kTwoPi, 0.0, kTwoPi);
    }
}

// Parameters spread over the domain, fixed so that runs compare.
std::vector<double> params(int n, unsigned seed)
{
    std::vector<double> p;
    unsigned x = seed;
    for (int i = 0; i < n; ++i) {
        x = x * 1664525u + 1013904223u;
        p.push_back((x >> 8) / 16777216.0);
    }
    return p;
}

void reportAllocs(benchmark::State& state, unsigned long long before)
{
    state.counters["allocs"] = benchmark::Counter(static_cast<double>(benchalloc::allocations - before),
                                                  benchmark::Counter::kAvgIterations);
}

// ---------------------------------------------------------------------------

void BM_EvalPoint(benchmark::State& state, int which)
{
    RatBSplSurf* s = makeNet(which);
    const std::vector<double> u = params(256, 1), v = params(256, 2);
    size_t k = 0;
    const unsigned long long before = benchalloc::allocations;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ratBSplSurfEvalPoint(s, u[k], v[k]));
        k = (k + 1) & 255;
    }
    reportAllocs(state, before);
    ratBSplSurfFree(s);
}

void BM_EvalPointNormal(benchmark::State& state, int which)
{
    RatBSplSurf* s = makeNet(which);
    const std::vector<double> u = params(256, 3), v = params(256, 4);
    double su[3], suu[3], sv[3], svv[3], ku, kv;
    size_t k = 0;
    const unsigned long long before = benchalloc::allocations;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ratBSplSurfEvalPointNormal(s, u[k], v[k], su, suu, sv, svv, &ku, &kv));
        benchmark::ClobberMemory();
        k = (k + 1) & 255;
    }
    reportAllocs(state, before);
    ratBSplSurfFree(s);
}

// Points at a distance from the surface along its normal, with the true
// parameters of their foot; the given start is a little off those.
struct Target {
    GeomPoint p;
    double startU, startV;  // knot values
};

std::vector<Target> targets(RatBSplSurf* s, double d)
{
    const double ulo = s->knotsu[s->ordu - 1], uhi = s->knotsu[s->noPointsu - s->ordu];
    const double vlo = s->knotsv[s->ordv - 1], vhi = s->knotsv[s->noPointsv - s->ordv];
    const std::vector<double> u = params(64, 5), v = params(64, 6);
    std::vector<Target> t;
    for (int i = 0; i < 64; ++i) {
        const double uu = 0.1 + 0.8 * u[i], vv = 0.1 + 0.8 * v[i];
        const GeomPoint p = ratBSplSurfEvalPoint(s, uu, vv);
        const GeomPoint n = ratBSplSurfEvalNormal(s, uu, vv);
        const double su = uu + 0.03, sv = vv - 0.03;
        t.push_back(Target{GeomPoint{p.x + d * n.x, p.y + d * n.y, p.z + d * n.z},
                           ulo + su * (uhi - ulo), vlo + sv * (vhi - vlo)});
    }
    return t;
}

void BM_InvertPoint(benchmark::State& state, int which, bool given)
{
    RatBSplSurf* s = makeNet(which);
    const std::vector<Target> t = targets(s, 0.5);
    size_t k = 0;
    double u, v, d, sumDistance = 0.0;
    long long calls = 0;
    const unsigned long long before = benchalloc::allocations;
    for (auto _ : state) {
        int degeneracy = 0;
        const Target& x = t[k];
        ratBSplSurfInvertPoint(s, x.p, given ? x.startU : GEOM_NO_START_PARAM,
                               given ? x.startV : GEOM_NO_START_PARAM, 0.01, &u, &v,
                               &degeneracy, &d);
        sumDistance += d;
        ++calls;
        k = (k + 1) & 63;
    }
    reportAllocs(state, before);
    // Every target lies 0.5 from its foot point.
    state.counters["meanDist"] = calls ? sumDistance / calls : 0.0;
    ratBSplSurfFree(s);
}

void BM_InvertStart(benchmark::State& state, int which) { BM_InvertPoint(state, which, true); }
void BM_InvertNoStart(benchmark::State& state, int which) { BM_InvertPoint(state, which, false); }

// ---------------------------------------------------------------------------
// After the usual table, one line per net with the figures side by side:
// ns per point, ns per point with derivatives and curvatures, us per
// inversion from a given start and from none, and heap allocations per call.

const char* const kNets[4] = {"bicubic8x8", "rational20x20", "cylinder", "torus"};
const char* const kKinds[4] = {"BM_EvalPoint", "BM_EvalPointNormal", "BM_InvertStart",
                               "BM_InvertNoStart"};

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, so that a saved run reads as plain text.
    SummaryReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred || r.run_type != Run::RT_Iteration)
                continue;
            const std::string name = r.benchmark_name();
            for (int kind = 0; kind < 4; ++kind)
                for (int net = 0; net < 4; ++net)
                    if (name == std::string(kKinds[kind]) + "/" + kNets[net]) {
                        ns_[net][kind] = r.GetAdjustedCPUTime() * nsPerUnit(r.time_unit);
                        const auto a = r.counters.find("allocs");
                        if (a != r.counters.end())
                            allocs_[net][kind] = a->second.value;
                    }
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::printf("\nPer call (CPU time)  point ns  point+derivs ns  invert us (start)"
                    "  invert us (no start)  allocs per evaluation / inversion\n");
        for (int net = 0; net < 4; ++net) {
            std::printf("%-20s %9s %16s %18s %21s  %s / %s\n", kNets[net],
                        cell(ns_[net][0], 1.0).c_str(), cell(ns_[net][1], 1.0).c_str(),
                        cell(ns_[net][2], 1e-3).c_str(), cell(ns_[net][3], 1e-3).c_str(),
                        cell(std::max(allocs_[net][0], allocs_[net][1]), 1.0, "%g").c_str(),
                        cell(std::max(allocs_[net][2], allocs_[net][3]), 1.0, "%g").c_str());
        }
        std::printf("The inversion's one allocation is its solver record; the evaluations "
                    "must show 0.\n");
    }

private:
    static double nsPerUnit(benchmark::TimeUnit u)
    {
        switch (u) {
        case benchmark::kMicrosecond: return 1e3;
        case benchmark::kMillisecond: return 1e6;
        case benchmark::kSecond: return 1e9;
        default: return 1.0;
        }
    }
    // "-" for a figure that this run did not measure.
    static std::string cell(double value, double scale, const char* format = "%.1f")
    {
        if (value < 0.0)
            return "-";
        char buf[32];
        std::snprintf(buf, sizeof buf, format, value * scale);
        return buf;
    }

    double ns_[4][4] = {{-1, -1, -1, -1}, {-1, -1, -1, -1}, {-1, -1, -1, -1}, {-1, -1, -1, -1}};
    double allocs_[4][4] = {{-1, -1, -1, -1}, {-1, -1, -1, -1}, {-1, -1, -1, -1},
                            {-1, -1, -1, -1}};
};

}  // namespace

BENCHMARK_CAPTURE(BM_EvalPoint, bicubic8x8, 0);
BENCHMARK_CAPTURE(BM_EvalPoint, rational20x20, 1);
BENCHMARK_CAPTURE(BM_EvalPoint, cylinder, 2);
BENCHMARK_CAPTURE(BM_EvalPoint, torus, 3);
BENCHMARK_CAPTURE(BM_EvalPointNormal, bicubic8x8, 0);
BENCHMARK_CAPTURE(BM_EvalPointNormal, rational20x20, 1);
BENCHMARK_CAPTURE(BM_EvalPointNormal, cylinder, 2);
BENCHMARK_CAPTURE(BM_EvalPointNormal, torus, 3);
BENCHMARK_CAPTURE(BM_InvertStart, bicubic8x8, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_InvertStart, rational20x20, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_InvertStart, cylinder, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_InvertStart, torus, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_InvertNoStart, bicubic8x8, 0)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_InvertNoStart, rational20x20, 1)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_InvertNoStart, cylinder, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_InvertNoStart, torus, 3)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
