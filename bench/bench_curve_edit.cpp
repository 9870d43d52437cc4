// Knot insertion and degree elevation on clamped cubic curves of 10, 100 and
// 1000 control points, and the subdivision search for a point's parameter.
// Both edits are linear in the curve's size: 1000 points take about ten times
// the time of 100.
//
// The heap requests made inside each measured call are counted (the malloc
// family and operator new are replaced in alloc_counting.h). Per call the
// counters give "allocs", "bytes" and "extraBytes": the bytes asked for beyond what the
// resulting record itself holds (the record and its five arrays). Knot
// insertion and degree elevation show 6 allocations and 0 extra bytes: they
// allocate the result and nothing else.
#include "alloc_counting.h"
#include "geom/geom.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <new>

// From <malloc.h>, whose declarations of the malloc family would clash with
// the counting replacements of alloc_counting.h.
extern "C" int mallopt(int param, int value);


namespace {

// The harness frees each result between calls. Without this the allocator
// hands the freed pages of a large result back to the system, and the next
// call's time is mostly the page faults of taking them again (a 1000-point
// elevation: about half its time), which is no cost of the edit itself.
constexpr int kTrimThresholdParam = -1;   // glibc's M_TRIM_THRESHOLD
[[maybe_unused]] const int kKeepFreedMemory = mallopt(kTrimThresholdParam, 256 << 20);

// Bytes a record of n knots holds: the record, points, weights and knots of
// n entries, and the two evaluation scratch arrays of n + 2.
double recordBytes(int n)
{
    return sizeof(RatBSplCurve) + n * (sizeof(GeomVec3) + 2 * sizeof(double)) +
           (n + 2) * (sizeof(GeomVec3) + sizeof(double));
}

// A clamped cubic with m control points on a wavy path, uniform knots.
RatBSplCurve* makeCubic(int m)
{
    RatBSplCurve* c = ratBSplCurveCreate(4, m + 4);
    for (int i = 0; i < m + 4; ++i)
        c->knots[i] = i < 4 ? 0.0 : i >= m ? m - 3.0 : i - 3.0;
    for (int i = 0; i < m; ++i) {
        ratBSplCurveSetPoint(c, i, i, std::sin(0.7 * i), std::cos(0.3 * i));
        c->weights[i] = 1.0 + 0.25 * std::sin(1.3 * i);
    }
    c->isRational = 1;
    return c;
}

struct Counts {
    unsigned long long allocs = 0, bytes = 0;
    double extra = 0;
};

void report(benchmark::State& state, const Counts& c)
{
    const double n = static_cast<double>(state.iterations());
    state.counters["allocs"] = c.allocs / n;
    state.counters["bytes"] = c.bytes / n;
    state.counters["extraBytes"] = c.extra / n;
}

// Times edit on a fresh copy of base in each iteration, counting only the
// heap requests the edit itself makes.
template <class Edit>
void measureEdit(benchmark::State& state, const RatBSplCurve* base, Edit edit)
{
    Counts counts;
    benchalloc::counting = false;
    for (auto _ : state) {
        state.PauseTiming();
        RatBSplCurve* c = ratBSplCurveCopy(base);
        benchalloc::allocations = benchalloc::bytes = 0;
        state.ResumeTiming();
        benchalloc::counting = true;
        const int ok = edit(&c);
        benchalloc::counting = false;
        state.PauseTiming();
        counts.allocs += benchalloc::allocations;
        counts.bytes += benchalloc::bytes;
        counts.extra += benchalloc::bytes - recordBytes(c->noPoints);
        benchmark::DoNotOptimize(ok);
        ratBSplCurveFree(c);
        state.ResumeTiming();
    }
    report(state, counts);
}

void BM_InsertKnot(benchmark::State& state)
{
    RatBSplCurve* base = makeCubic(static_cast<int>(state.range(0)));
    const double u = 0.37 * base->knots[base->noPoints - 1];
    measureEdit(state, base, [u](RatBSplCurve** c) { return ratBSplCurveInsertKnot(c, u); });
    ratBSplCurveFree(base);
}

void BM_ElevateDegree(benchmark::State& state)
{
    RatBSplCurve* base = makeCubic(static_cast<int>(state.range(0)));
    measureEdit(state, base, [](RatBSplCurve** c) { return ratBSplCurveElevateDegree(c, 4); });
    ratBSplCurveFree(base);
}

void BM_ParamBySubdivision(benchmark::State& state)
{
    RatBSplCurve* c = makeCubic(static_cast<int>(state.range(0)));
    const GeomPoint p = ratBSplCurveEvalPoint(c, 0.613);
    for (auto _ : state) {
        double u = 0.0;
        benchmark::DoNotOptimize(ratBSplCurveParamBySubdivision(c, p, &u));
        benchmark::DoNotOptimize(u);
    }
    ratBSplCurveFree(c);
}

}  // namespace

BENCHMARK(BM_InsertKnot)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_ElevateDegree)->Arg(10)->Arg(100)->Arg(1000);
BENCHMARK(BM_ParamBySubdivision)->Arg(10)->Arg(100);
BENCHMARK_MAIN();
