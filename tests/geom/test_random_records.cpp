// A random-record driver: curves and surfaces whose arrays are as long as
// their counts say, but whose orders, knots, points, weights and flags are
// anything a caller could write, handed to the kernel's public operations.
// Under the sanitizers any read or write outside an array fails the run;
// the oracles check that success comes only with finite results, that
// records the kernel calls usable evaluate to finite points, that the
// evaluators agree, and that a record whose domain cannot be read is refused
// as the failure contracts say.
//
// CI runs a bounded number of records; a longer campaign sets
// KV_RANDOM_RECORDS (count) and KV_RANDOM_SEED in the environment.
#include "curve_ref.h"
#include "surf_nets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

class Hostile {
public:
    explicit Hostile(unsigned seed) : m_random(seed) {}

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_random); }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_random) < p; }
    double real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(m_random); }

    // Mostly ordinary values, now and then one that breaks arithmetic.
    double value(double scale)
    {
        if (chance(0.03))
            return std::nan("");
        if (chance(0.02))
            return chance(0.5) ? HUGE_VAL : -HUGE_VAL;
        if (chance(0.03))
            return real(-1, 1) * 1e300;
        return real(-scale, scale);
    }

    // Sorted (clamped) knots most of the time; otherwise unsorted, broken,
    // or spaced far below every tolerance.
    void knots(double* K, int n, int ord)
    {
        const int kind = pick(0, 11);
        double x = real(-5, 5);
        for (int i = 0; i < n; ++i) {
            const bool end = i < ord || i >= n - ord;
            if (kind == 0)
                K[i] = value(10);
            else if (kind == 1)
                K[i] = real(-3, 3);  // in any order
            else if (kind == 10)
                K[i] = i * 1e-13;
            else
                K[i] = (end && i > 0 && kind > 5) ? K[i - 1]
                                                  : (x += (chance(0.3) ? (kind == 11 ? 5e-8 : 0.0) : real(0, 2)));
        }
        // One knot out of order or not a number, or sorted knots that start at
        // minus or end at plus infinity.
        if (kind == 2 && n > 0) {
            const int broken = pick(0, 3);
            if (broken == 0)
                K[0] = -HUGE_VAL;
            else if (broken == 1)
                K[n - 1] = HUGE_VAL;
            else
                K[pick(0, n - 1)] = broken == 2 ? std::nan("") : value(10);
        }
    }

    RatBSplCurve* curve()
    {
        const int n = pick(0, 14);
        const int ord = pick(1, 6);
        RatBSplCurve* c = ratBSplCurveCreate(ord, n);
        if (!c)
            return nullptr;
        knots(c->knots, n, ord);
        for (int i = 0; i < n; ++i) {
            ratBSplCurveSetPoint(c, i, value(50), value(50), value(50));
            c->weights[i] = chance(0.05) ? value(2) : real(0.2, 3);
        }
        if (chance(0.1))
            c->ord = pick(-1, 9);  // an order the counts do not fit
        c->isPeriodic = chance(0.2);
        c->origForm = pick(0, 2);
        c->isClosed = chance(0.2);
        return c;
    }

    RatBSplSurf* surface()
    {
        const int nu = pick(0, 12), nv = pick(0, 12);
        const int ku = pick(1, 5), kv = pick(1, 5);
        RatBSplSurf* s = ratBSplSurfCreate(ku, kv, nu, nv);
        if (!s)
            return nullptr;
        knots(s->knotsu, nu, ku);
        knots(s->knotsv, nv, kv);
        for (int i = 0; i < nu * nv; ++i) {
            for (int k = 0; k < 3; ++k)
                s->points[i][k] = value(50);
            s->weights[i] = chance(0.05) ? value(2) : real(0.2, 3);
        }
        if (chance(0.1))
            s->ordu = pick(-1, 8);
        if (chance(0.1))
            s->ordv = pick(-1, 8);
        s->periodicu = chance(0.2);
        s->periodicv = chance(0.2);
        s->origFormu = pick(0, 2);
        s->origFormv = pick(0, 2);
        s->isOffsetSurf = chance(0.1);
        s->offset = s->isOffsetSurf ? value(2) : 0.0;
        return s;
    }

private:
    std::mt19937 m_random;
};

bool finite3(const double* p) { return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]); }
bool finiteP(const GeomPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

// Usable records with finite points and positive weights must evaluate.
bool soundEntry(const double* p, double w)
{
    return finite3(p) && w > 0.0 && w < 1e100 && std::fabs(p[0]) <= 1e100 && std::fabs(p[1]) <= 1e100 &&
           std::fabs(p[2]) <= 1e100;
}

// Written here from the contract, not taken from the kernel, so that its own
// test is checked too: one span's knots for the order, finite and sorted.
bool tooShort(int n, int ord) { return ord < 1 || n < 2 * ord; }
bool readable(const double* K, int n, int ord)
{
    for (int i = 0; i < n; ++i)
        if (!std::isfinite(K[i]) || (i > 0 && K[i] < K[i - 1]))
            return false;
    return !tooShort(n, ord);
}

bool sound(const RatBSplCurve* c)
{
    if (!ratBSplCurveHasSpans(c))
        return false;
    for (int i = 0; i < c->noPoints - c->ord; ++i)
        if (!soundEntry(c->points[i], c->weights[i]))
            return false;
    return c->knots[c->noPoints - c->ord] > c->knots[c->ord - 1];
}

bool sound(const RatBSplSurf* s)
{
    if (!ratBSplSurfHasSpans(s) || s->ordu > GEOM_MAX_SURF_DERIV_ORDER ||
        s->ordv > GEOM_MAX_SURF_DERIV_ORDER || s->isOffsetSurf)
        return false;
    for (int i = 0; i < s->noPointsu - s->ordu; ++i)
        for (int j = 0; j < s->noPointsv - s->ordv; ++j)
            if (!soundEntry(s->points[i * s->noPointsv + j], s->weights[i * s->noPointsv + j]))
                return false;
    return s->knotsu[s->noPointsu - s->ordu] > s->knotsu[s->ordu - 1] &&
           s->knotsv[s->noPointsv - s->ordv] > s->knotsv[s->ordv - 1];
}

void exerciseCurve(RatBSplCurve* c, RatBSplSurf* s)
{
    // Unreadable records leave every output as it was: 7 marks them.
    const bool ok = sound(c), refused = !readable(c->knots, c->noPoints, c->ord);
    for (double t : {-0.5, 0.0, 0.37, 1.0, 1.7}) {
        geomLastError = -1;
        const GeomPoint p = ratBSplCurveEvalPoint(c, t);
        EXPECT_TRUE(!tooShort(c->noPoints, c->ord) ||
                    (p.x == 0 && p.y == 0 && p.z == 0 && geomLastError == GEOM_ERR_ARGUMENT));
        const GeomPoint d = ratBSplCurveEvalDeriv(c, t);
        if (ok) {
            EXPECT_TRUE(finiteP(p)) << t;
            EXPECT_TRUE(finiteP(d)) << t;
        }
    }
    double start = 7, end = 7, ratio = 7, pair[6];
    int closed = 7;
    geomLastError = -1;
    ratBSplCurveRangeAndClosed(c, &start, &end, &closed);
    EXPECT_TRUE(!ok || (std::isfinite(start) && std::isfinite(end) && start < end));
    EXPECT_TRUE(!refused || (start == 7 && end == 7 && closed == 7 && geomLastError == GEOM_ERR_ARGUMENT));
    geomLastError = -1;
    ratBSplCurveLengthRatio(c, &ratio);
    EXPECT_TRUE(std::isfinite(ratio) || !ok);
    EXPECT_TRUE(!refused || (ratio == 1.0 && geomLastError == GEOM_ERR_ARGUMENT));
    ratBSplCurvePolygonLength(c);
    double point[3];
    ratBSplCurveIsPointDefault(c, point);
    ratBSplCurveIsLine(c, 0.01, pair);
    ratBSplCurveIsLineSpan(c, 0.01, pair);
    ArcFitResult arc{};
    double dev = 7;
    for (int samples : {0, 2, 9})
        if (ratBSplCurveFitArc(c, 0.01, samples, 0.01, 1, 1e5, &arc, &dev) == 1) {
            EXPECT_FALSE(refused);
            EXPECT_TRUE(finite3(arc.centre) && finite3(arc.start) && finite3(arc.end));
        }
    if (ratBSplCurveFitArcSampled(c, 0.01, &arc) == 1) {
        EXPECT_TRUE(finite3(arc.centre) && !refused);
    }
    ratBSplCurveIsArc(c, &arc);
    EXPECT_TRUE(!refused || dev == 7.0);
    for (RatBSplCurve* (*linearize)(RatBSplCurve*, double, double*) :
         {nurbCurveLinearize, nurbCurveLinearizeScaled}) {
        RatBSplCurve* poly = linearize(c, 0.05, &dev);
        // An order-2 record is copied as it stands.
        EXPECT_FALSE(poly && refused && c->ord > 2);
        for (int i = 0; poly && ok && i < poly->noPoints - poly->ord; ++i)
            EXPECT_TRUE(finite3(poly->points[i]));
        ratBSplCurveFree(poly);
    }
    RatBSplCurve* copy = ratBSplCurveCopy(c);
    if (copy) {
        ratBSplCurveAppend(copy, c);
        ratBSplCurveReverse(copy);
        ratBSplCurveFree(copy);
    }
    curveref::CurvePtr line = curveref::own(ratBSplCurveFromLine(GeomPoint{0, 0, 0}, GeomPoint{1, 0, 0}));
    const int joined = ratBSplCurveAppend(line.get(), c);
    EXPECT_TRUE(!refused || (joined == 0 && line->noPoints == 4));
    RatBSplCurve* raised = ratBSplCurveCopy(c);
    if (raised && ratBSplCurveElevateDegree(&raised, raised->ord) == 1 && ok) {
        EXPECT_TRUE(finiteP(ratBSplCurveEvalPoint(raised, 0.37)));
    }
    ratBSplCurveFree(raised);
    double u = 0.5, d = 0;
    if (ratBSplCurveProjectPointFrom(c, GeomPoint{1, 2, 3}, 1e-9, &u, &d) == 1) {
        EXPECT_FALSE(refused);
        EXPECT_TRUE(!ok || (std::isfinite(u) && std::isfinite(d)));
    }
    const double P[3] = {0, 0, 0}, A[3] = {0, 0, 1};
    RatBSplSurf* whole = ratBSplSurfRevolveCurve(P, A, c);
    EXPECT_FALSE(whole && refused);
    ratBSplSurfFree(whole);
    // More than one turn either way is refused; a full turn closes.
    for (double sweep : {1.0, 2 * M_PI, 4 * M_PI, -2.5 * M_PI}) {
        geomLastError = -1;
        RatBSplSurf* r = ratBSplSurfRevolveCurveArc(P, A, c, 0.0, sweep);
        EXPECT_TRUE(std::fabs(sweep) <= 2 * M_PI || (!r && geomLastError == GEOM_ERR_ARGUMENT));
        if (r) {
            EXPECT_FALSE(refused);
            EXPECT_TRUE(sweep != 2 * M_PI || r->origFormv == 2);
            EXPECT_TRUE(!ok || finiteP(ratBSplSurfEvalPoint(r, 0.5, 0.5)));
        }
        ratBSplSurfFree(r);
    }
    if (s) {
        RatBSplCurve* poly = surfCurveLinearize(c, s, 0.0, 0.05, &dev);
        ratBSplCurveFree(poly);
        poly = surfCurveLinearizeParam(c, s, 0.5, 0.05, &dev);
        ratBSplCurveFree(poly);
    }
    if (refused) {
        surftest::SurfPtr plane = surftest::own(surftest::makeQuad({0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}));
        dev = 7;
        EXPECT_EQ(nullptr, surfCurveLinearize(c, plane.get(), 0.0, 0.01, &dev));
        EXPECT_EQ(nullptr, surfCurveLinearizeParam(c, plane.get(), 0.0, 0.01, &dev));
        EXPECT_EQ(7.0, dev);
    }
}

void exerciseSurface(RatBSplSurf* s, Hostile& h)
{
    const bool ok = sound(s);
    for (int k = 0; k < 4; ++k) {
        const double u = k == 0 ? h.value(2) : h.real(0, 1), v = h.real(-0.2, 1.2);
        double Su[3] = {7, 7, 7}, Suu[3], Sv[3], Svv[3], kU = 7, kV;
        geomLastError = -1;
        const GeomPoint p = ratBSplSurfEvalPoint(s, u, v);
        const GeomPoint q = ratBSplSurfEvalPointNormal(s, u, v, Su, Suu, Sv, Svv, &kU, &kV);
        // Too few knots for one span: the origin and zero derivatives, reported.
        EXPECT_TRUE((!tooShort(s->noPointsu, s->ordu) && !tooShort(s->noPointsv, s->ordv)) ||
                    (p.x == 0 && p.y == 0 && p.z == 0 && Su[0] == 0 && kU == 0 && geomLastError == GEOM_ERR_ARGUMENT));
        const GeomPoint du = ratBSplSurfEvalDerivU(s, u, v);
        const GeomPoint dv = ratBSplSurfEvalDerivV(s, u, v);
        ratBSplSurfEvalNormal(s, u, v);
        ratBSplSurfEvalOffsetPoint(s, u, v);
        if (!ok || !std::isfinite(u))
            continue;
        EXPECT_TRUE(finiteP(p) && finiteP(du) && finiteP(dv));
        const double scale = 1.0 + std::fabs(p.x) + std::fabs(p.y) + std::fabs(p.z);
        EXPECT_NEAR(p.x, q.x, 1e-9 * scale);
        EXPECT_NEAR(p.z, q.z, 1e-9 * scale);
        const double dscale = 1.0 + std::fabs(du.x) + std::fabs(du.y) + std::fabs(du.z);
        EXPECT_NEAR(du.y, Su[1], 1e-8 * dscale);

        // A point on the surface is found again; every answer is finite and
        // its distance is that of its parameters.
        double ou = -1, ov = -1, d = -1;
        int state = 0;
        ASSERT_EQ(0, ratBSplSurfInvertPoint(s, p, 0.0, 0.0, 0.01, &ou, &ov, &state, &d));
        ASSERT_TRUE(std::isfinite(ou) && std::isfinite(ov) && std::isfinite(d));
        const GeomPoint back = ratBSplSurfEvalPoint(s, ou, ov);
        const double again = std::sqrt((p.x - back.x) * (p.x - back.x) + (p.y - back.y) * (p.y - back.y) +
                                       (p.z - back.z) * (p.z - back.z));
        EXPECT_NEAR(d, again, 1e-9 * scale);
    }
    // Hostile arguments to the inversion: never success with NaN.
    double ou = 0, ov = 0, d = 0;
    int state = 0;
    const GeomPoint far{h.value(100), h.value(100), h.value(100)};
    for (bool byForm : {false, true}) {
        const int r = byForm ? ratBSplSurfInvertPointByForm(s, far, h.value(3), h.value(3), h.value(1), &ou, &ov,
                                                            &state, &d)
                             : ratBSplSurfInvertPoint(s, far, h.value(3), h.value(3), h.value(1), &ou, &ov,
                                                      &state, &d);
        const bool answered = r == 0 && ok && finiteP(far) && std::fabs(far.x) + std::fabs(far.y) + std::fabs(far.z) < 1e100;
        EXPECT_TRUE(!answered || (std::isfinite(ou) && std::isfinite(ov) && std::isfinite(d)));
    }

    // Shape tests, the subdivision search and knot insertion.
    double axis[3], dir[3], ref[3], r1, r2, sine, cosine;
    RatBSplCurve* profile = nullptr;
    // A net without a control row or column turns nothing.
    if (ratBSplSurfFindRevolution(s, axis, h.chance(0.5) ? 0.0 : 0.01, h.pick(0, 9), 1, dir, ref, &profile)) {
        EXPECT_TRUE(s->noPointsu > s->ordu && s->noPointsv > s->ordv);
    }
    ratBSplCurveFree(profile);
    ratBSplSurfFindConeDefault(s, 0, axis, dir, &r1, &sine, &cosine, ref);
    ratBSplSurfFindSphereDefault(s, 1, axis, dir, &r1, ref);
    ratBSplSurfFindTorusDefault(s, 0, axis, dir, &r1, &r2, ref);
    ratBSplSurfLocatePoint(s, GeomPoint{h.value(20), h.value(20), h.value(20)}, &ou, &ov);
    RatBSplSurf* grown = ratBSplSurfCopy(s);
    if (grown) {
        ratBSplSurfInsertKnotU(&grown, h.value(1.5));
        ratBSplSurfInsertKnotV(&grown, h.value(1.5));
        ratBSplSurfFree(grown);
    }

    int closedU, closedV, rows, cols, index = 0;
    ratBSplSurfTestClosed(s, &closedU, &closedV);
    double umin, umax, vmin, vmax, pt[3], nrm[3], x[3];
    ratBSplSurfDomainInfo(s, &umin, &umax, &vmin, &vmax, &closedU, &closedV);
    ratBSplSurfPoleParams(s, &umin, &umax, &vmin, &vmax);
    ratBSplSurfIsPlane(s, pt, nrm, x);
    ratBSplSurfCountCollapsedLines(s, &rows, &cols);
    double fu, fv;
    ratBSplSurfSpeedFactors(s, &fu, &fv);
    ratBSplSurfSpeedFactorsClamped(s, 0.1, 10, &fu, &fv);
    ratBSplSurfNextKinkKnot(s, 'u', &index);
    index = h.pick(-5, 20);
    ratBSplSurfNextKinkKnot(s, 'v', &index);
    int su = h.chance(0.5) ? -1 : h.pick(-3, 30), sv = h.chance(0.2) ? 2147483647 : h.pick(-3, 30);
    double window[4];
    ratBSplSurfNextPatchForPoint(s, &su, &sv, pt, window);
    const int mults[4] = {h.pick(-2, 5), h.pick(0, 2147483647), h.pick(-3, 6), h.pick(1, 4)};
    double lengths[4];
    ratBSplSurfPolygonLengths(s, 'u', 4, mults, lengths);
    for (int i = 0; i < s->noPointsu; ++i) {
        RatBSplCurve* row = ratBSplSurfRowCurve(s, i);
        ratBSplCurveFree(row);
    }
    RatBSplCurve* column = ratBSplSurfColumnCurve(s, h.pick(-1, 12));
    ratBSplCurveFree(column);
    RatBSplSurf* t = ratBSplSurfTranspose(s);
    if (t) {
        if (ok) {
            const GeomPoint a = ratBSplSurfEvalPoint(s, 0.3, 0.6), b = ratBSplSurfEvalPoint(t, 0.6, 0.3);
            EXPECT_LE(surftest::dist(a, b), 1e-9 * (1 + std::fabs(a.x) + std::fabs(a.y) + std::fabs(a.z)));
        }
        ratBSplSurfFree(t);
    }
    RatBSplSurf* c = ratBSplSurfCopy(s);
    if (c) {
        if (ratBSplSurfRespaceKnots(c) == 1) {
            for (int i = 0; i < c->noPointsu; ++i)
                EXPECT_TRUE(std::isfinite(c->knotsu[i]) || !std::isfinite(s->knotsu[i]));
        }
        const double M[12] = {0, -1, 0, 1, 1, 0, 0, 2, 0, 0, 1, 3};
        ratBSplSurfTransform(c, M);
        ratBSplSurfScaleKnots(c, 2.0, 0.5);
        ratBSplSurfFree(c);
    }
}

TEST(RandomRecords, EveryOperationStaysInsideItsArraysAndReportsOnlyFiniteSuccess)
{
    const char* countText = std::getenv("KV_RANDOM_RECORDS");
    const char* seedText = std::getenv("KV_RANDOM_SEED");
    const int count = countText ? std::atoi(countText) : 150;
    const unsigned seed = seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10)) : 17u;
    Hostile h(seed);
    for (int k = 0; k < count; ++k) {
        SCOPED_TRACE(k);
        RatBSplSurf* s = h.surface();
        RatBSplCurve* c = h.curve();
        if (s)
            exerciseSurface(s, h);
        if (c)
            exerciseCurve(c, s);
        ratBSplCurveFree(c);
        ratBSplSurfFree(s);
        if (HasFatalFailure())
            return;
    }
    geomLastError = -1;
}

}  // namespace
