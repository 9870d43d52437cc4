// Surface evaluation over many random nets, every output's bits and every
// report's text folded into one hash: two builds of the kernel that print
// the same hash gave the same values and the same reports in the same
// order. Run under `valgrind --tool=callgrind` it also counts what a mode
// costs, the nets and the hashing included, so that builds compare whole
// runs.
//
// Built by hand against any version of the kernel's sources:
//   g++ -std=c++17 -O2 -I<tree>/src bench/eval_hash_driver.cpp <tree>/src/geom/*.cpp
// (the benchmarks' build compiles it too, against the tree it is in).
//
//   point    ratBSplSurfEvalPoint, 100,000 parameters on each net
//   full     ratBSplSurfEvalPointNormal, the same parameters
//   paths    every evaluation beside those: first derivatives, normal,
//            offset point, evaluation at spans with outputs left out, the
//            inverter's one-pass derivatives and the inversion itself; also
//            on nets whose weights vanish, are negative, mix signs or sum to
//            about the 1e-12 below which a sum vanishes, and with orders at
//            the fixed buffers' end and beyond
//   point ORDU ORDV, full ORDU ORDV: only the nets of those orders
//
// The nets of point and full: orders 2 to 4 each way, 4 to 20 control points
// each way on clamped knots, points in [0, 10]^3, weights 1 (plain) or in
// [0.5, 1.5] (rational).
#include "geom/geom.h"
#include "geom/invert_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

// Fixed generator, so that every build draws the same nets and parameters.
struct Random {
    std::uint64_t x;
    explicit Random(std::uint64_t seed) : x(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint64_t next()
    {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        return x;
    }
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }
    int between(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1)); }
};

// FNV-1a over the text of every report, and its step over the bits of every
// value.
std::uint64_t hash = 0xcbf29ce484222325ull;

void fold(const void* data, std::size_t size)
{
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= p[i];
        hash *= 0x100000001b3ull;
    }
}
// Values a word at a time: the hash should cost little beside what it checks.
void fold(double d)
{
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    hash = (hash ^ bits) * 0x100000001b3ull;
}
void fold(int i) { fold(static_cast<double>(i)); }
void fold(const GeomPoint& p)
{
    fold(p.x);
    fold(p.y);
    fold(p.z);
}
void fold3(const double* v)
{
    fold(v[0]);
    fold(v[1]);
    fold(v[2]);
}

long long reports = 0;

void foldReport(GeomMessageFacility*, const char* text)
{
    ++reports;
    fold(text, std::strlen(text) + 1);
}

std::vector<double> clampedKnots(Random& r, int ord, int controls)
{
    std::vector<double> k(ord, 0.0);
    std::vector<double> inner;
    for (int i = 0; i < controls - ord; ++i)
        inner.push_back(r.unit());
    for (std::size_t i = 1; i < inner.size(); ++i)
        for (std::size_t j = i; j > 0 && inner[j - 1] > inner[j]; --j)
            std::swap(inner[j - 1], inner[j]);
    k.insert(k.end(), inner.begin(), inner.end());
    k.insert(k.end(), ord, 1.0);
    return k;
}

// How the weights of a net are drawn.
enum WeightKind {
    kPlain, kPositive, kZeroRow, kZeroColumn, kZeroRowAndColumn, kNegative, kMixed, kAllZero, kTiny
};

RatBSplSurf* randomNet(Random& r, int ordu, int ordv, int nu, int nv, WeightKind kind)
{
    RatBSplSurf* s = ratBSplSurfCreate(ordu, ordv, nu + ordu, nv + ordv);
    const std::vector<double> ku = clampedKnots(r, ordu, nu), kv = clampedKnots(r, ordv, nv);
    for (int i = 0; i < nu + ordu; ++i)
        s->knotsu[i] = ku[i];
    for (int j = 0; j < nv + ordv; ++j)
        s->knotsv[j] = kv[j];
    const int zeroRow = r.between(0, nu - 1), zeroColumn = r.between(0, nv - 1);
    for (int i = 0; i < nu; ++i)
        for (int j = 0; j < nv; ++j) {
            const double x = 10.0 * r.unit(), y = 10.0 * r.unit(), z = 10.0 * r.unit();
            ratBSplSurfSetPoint(s, i, j, x, y, z);
            double w = 1.0;
            switch (kind) {
            case kPlain: break;
            case kPositive: w = 0.5 + r.unit(); break;
            case kZeroRow: w = i == zeroRow ? 0.0 : 0.5 + r.unit(); break;
            case kZeroColumn: w = j == zeroColumn ? 0.0 : 0.5 + r.unit(); break;
            case kZeroRowAndColumn: w = i == zeroRow || j == zeroColumn ? 0.0 : 0.5 + r.unit(); break;
            case kNegative: w = -(0.5 + r.unit()); break;
            // Whole numbers of both signs, so that sums of a few vanish exactly.
            case kMixed: w = static_cast<double>(r.between(-2, 2)); break;
            case kAllZero: w = 0.0; break;
            // Sums on either side of the 1e-12 below which they vanish.
            case kTiny: w = 2e-12 * r.unit(); break;
            }
            ratBSplSurfSetWeight(s, i, j, w);
        }
    s->isRational = kind == kPlain ? 0 : 1;
    s->origFormu = s->origFormv = 1;
    return s;
}

// Orders of the nets that point and full measure; 0 takes all of 2 to 4.
int onlyOrderU = 0, onlyOrderV = 0;

std::vector<RatBSplSurf*> measuredNets()
{
    Random r(58);
    std::vector<RatBSplSurf*> nets;
    for (int ku = 2; ku <= 4; ++ku)
        for (int kv = 2; kv <= 4; ++kv)
            for (int rational = 0; rational < 2; ++rational) {
                RatBSplSurf* s = randomNet(r, ku, kv, r.between(4, 20), r.between(4, 20),
                                           rational ? kPositive : kPlain);
                if ((onlyOrderU && ku != onlyOrderU) || (onlyOrderV && kv != onlyOrderV))
                    ratBSplSurfFree(s);
                else
                    nets.push_back(s);
            }
    return nets;
}

const int kParams = 100000;

void runPoint()
{
    Random r(1);
    for (RatBSplSurf* s : measuredNets()) {
        for (int k = 0; k < kParams; ++k) {
            const double u = r.unit(), v = r.unit();
            fold(ratBSplSurfEvalPoint(s, u, v));
        }
        ratBSplSurfFree(s);
    }
}

// The point with its derivatives and curvatures, every output folded.
void foldPointNormal(RatBSplSurf* s, double u, double v)
{
    double su[3], suu[3], sv[3], svv[3], ku, kv;
    fold(ratBSplSurfEvalPointNormal(s, u, v, su, suu, sv, svv, &ku, &kv));
    fold3(su);
    fold3(suu);
    fold3(sv);
    fold3(svv);
    fold(ku);
    fold(kv);
}

void runFull()
{
    Random r(1);
    for (RatBSplSurf* s : measuredNets()) {
        for (int k = 0; k < kParams; ++k) {
            const double u = r.unit(), v = r.unit();
            foldPointNormal(s, u, v);
        }
        ratBSplSurfFree(s);
    }
}

// Every other evaluation at (u, v): the first derivatives, the normal, the
// offset point, the evaluation at spans with each group of outputs alone,
// and the inverter's one-pass derivatives.
void evaluateAll(RatBSplSurf* s, double u, double v)
{
    fold(ratBSplSurfEvalPoint(s, u, v));
    foldPointNormal(s, u, v);
    fold(ratBSplSurfEvalDerivU(s, u, v));
    fold(ratBSplSurfEvalDerivV(s, u, v));
    fold(ratBSplSurfEvalNormal(s, u, v));
    fold(ratBSplSurfEvalOffsetPoint(s, u, v));
    double a[3] = {0, 0, 0}, b[3] = {0, 0, 0};
    fold(geominvert::firstOrder(s, u, v, a, b) ? 1 : 0);
    fold3(a);
    fold3(b);
    double second[6][3] = {};
    fold(geominvert::secondOrder(s, u, v, second) ? 1 : 0);
    for (const double* row : second)
        fold3(row);
    // Knot values inside the domain; the span is the evaluator's to check.
    if (!(u >= 0.0 && u <= 1.0 && v >= 0.0 && v <= 1.0))
        return;
    const double U = (1 - u) * s->knotsu[s->ordu - 1] + u * s->knotsu[s->noPointsu - s->ordu];
    const double V = (1 - v) * s->knotsv[s->ordv - 1] + v * s->knotsv[s->noPointsv - s->ordv];
    const int spu = ratBSplCurveFindSpan(s->knotsu, s->noPointsu, s->ordu, U);
    const int spv = ratBSplCurveFindSpan(s->knotsv, s->noPointsv, s->ordv, V);
    double o[6][3] = {};
    fold(ratBSplSurfEvalAtSpans(s, spu, spv, U, V, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    fold(ratBSplSurfEvalAtSpans(s, spu, spv, U, V, o[0], o[1], nullptr, nullptr, nullptr, nullptr));
    fold(ratBSplSurfEvalAtSpans(s, spu, spv, U, V, nullptr, nullptr, o[2], o[3], nullptr, nullptr));
    fold(ratBSplSurfEvalAtSpans(s, spu, spv, U, V, nullptr, nullptr, nullptr, nullptr, &o[4][0], nullptr));
    for (const double* row : o)
        fold3(row);
}

void runPaths()
{
    Random r(2);
    // Positive nets: the measured ones with fewer parameters, and offset.
    for (RatBSplSurf* s : measuredNets()) {
        for (int k = 0; k < 20000; ++k)
            evaluateAll(s, r.unit(), r.unit());
        ratBSplSurfAddOffset(s, 0.75);
        for (int k = 0; k < 5000; ++k)
            fold(ratBSplSurfEvalOffsetPoint(s, r.unit(), r.unit()));
        ratBSplSurfAddOffset(s, 0.0);
        // Inversion of points near the surface, from a start and from none.
        for (int k = 0; k < 100; ++k) {
            const double pu = r.unit(), pv = r.unit();
            GeomPoint p = ratBSplSurfEvalPoint(s, pu, pv);
            p.x += r.unit() - 0.5;
            p.y += r.unit() - 0.5;
            p.z += r.unit() - 0.5;
            double ou = 0, ov = 0, d = 0;
            int state = 0;
            fold(ratBSplSurfInvertPoint(s, p, k & 1 ? GEOM_NO_START_PARAM : pu, k & 1 ? GEOM_NO_START_PARAM : pv,
                                        1e-6, &ou, &ov, &state, &d));
            fold(ou);
            fold(ov);
            fold(d);
            fold(state);
        }
        ratBSplSurfFree(s);
    }
    // Weights that vanish, are negative or mix signs; parameters on knots,
    // ends and midpoints besides random ones, and some outside the domain.
    const double special[] = {0.0, 1.0, 0.5, 0.25, 0.75, -0.5, 1.5,
                              std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity()};
    const WeightKind kinds[] = {kZeroRow, kZeroColumn, kZeroRowAndColumn, kNegative, kMixed, kAllZero, kTiny};
    for (WeightKind kind : kinds)
        for (int ku = 1; ku <= 5; ++ku)
            for (int kv = 1; kv <= 5; ++kv) {
                RatBSplSurf* s = randomNet(r, ku, kv, r.between(std::max(ku, 2), 9), r.between(std::max(kv, 2), 9), kind);
                for (double u : special)
                    for (double v : special)
                        evaluateAll(s, u, v);
                for (int k = 0; k < 2000; ++k)
                    evaluateAll(s, r.unit(), r.unit());
                ratBSplSurfFree(s);
            }
    // Orders at the fixed buffers' end and beyond them, beside low ones.
    const int high[][2] = {{29, 3}, {3, 29}, {30, 2}, {2, 30}, {31, 4}, {4, 31}, {30, 30}, {31, 1}, {1, 31}};
    const WeightKind highKinds[] = {kPlain, kPositive, kZeroRow, kZeroColumn, kMixed, kTiny};
    for (const auto& o : high)
        for (WeightKind kind : highKinds) {
            RatBSplSurf* s = randomNet(r, o[0], o[1], o[0] + r.between(0, 3), o[1] + r.between(0, 3), kind);
            for (double u : special)
                for (double v : special)
                    evaluateAll(s, u, v);
            for (int k = 0; k < 200; ++k)
                evaluateAll(s, r.unit(), r.unit());
            ratBSplSurfFree(s);
        }
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc > 3) {
        onlyOrderU = std::atoi(argv[2]);
        onlyOrderV = std::atoi(argv[3]);
    }
    GeomMessageFacility facility;
    geomMessageFacilityInit(&facility);
    facility.message = foldReport;
    geomMessageFacility = &facility;
    if (mode == "point")
        runPoint();
    else if (mode == "full")
        runFull();
    else if (mode == "paths")
        runPaths();
    else {
        std::fprintf(stderr, "usage: %s point|full|paths [ordu ordv]\n", argv[0]);
        return 2;
    }
    std::printf("%s %016llx reports %lld\n", mode.c_str(), static_cast<unsigned long long>(hash), reports);
    return 0;
}
