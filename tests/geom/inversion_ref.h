// A proved reference for the nearest point of a surface, the tests' and the
// benchmark's own, and the surfaces and query points the point inversion is
// measured on. Header-only, so that the benchmark builds it without the
// tests.
//
// The net is cut into its Bezier pieces (every knot raised to full
// multiplicity by Boehm's rule, in homogeneous coordinates). With positive
// weights a piece lies in the convex hull of its control points, so no point
// of it comes nearer than the box of those points in a frame fitted to the
// piece (its normal from the corner diagonals), a box as thin as the piece is
// flat. A piece passes through its corner points. Pieces that could still
// come nearer than the best corner are halved both ways until none can by
// more than a gap: the nearest distance lies within that gap below the corner.
#pragma once

#include "surf_nets.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <queue>
#include <random>
#include <vector>

namespace surftest {

// An n x n net of order ord over a jittered grid with random heights on
// uniform clamped knots; weights in [0.5, 2] when rational.
inline RatBSplSurf* randomNet(int n, int ord, bool rational, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> jitter(-0.3, 0.3), height(-2.0, 2.0), weight(0.5, 2.0);
    std::vector<double> k(ord, 0.0);
    for (int i = 1; i <= n - ord; ++i)
        k.push_back(i);
    k.insert(k.end(), ord, n - ord + 1);
    std::vector<Pt> pts;
    std::vector<double> w;
    for (int i = 0; i < n * n; ++i) {
        pts.push_back(Pt{i / n + jitter(rng), i % n + jitter(rng), height(rng)});
        w.push_back(rational ? weight(rng) : 1.0);
    }
    return makeSurf(ord, ord, k, k, pts, w, rational ? 1 : 0);
}

// The surfaces of the inversion figures: four random nets and the five
// shapes the analysis meets most, as the kernel's constructors build them.
enum { kInversionSurfaces = 9 };
inline const char* inversionSurfaceName(int kind)
{
    static const char* const names[] = {"o4_8x8", "o4_20x20_rational", "o8_8x8_rational", "o8_20x20", "plane",
                                        "cylinder", "cone", "sphere", "torus"};
    return names[kind];
}
inline RatBSplSurf* inversionSurface(int kind)
{
    const double O[3] = {0, 0, 0}, X[3] = {1, 0, 0}, Y[3] = {0, 1, 0}, Z[3] = {0, 0, 1}, C[3] = {1, -2, 3},
                 S[3] = {8, -4, 3}, A[3] = {0.6, 0, 0.8}, V[3] = {-0.8, 0, 0.6}, Q[4][3] = {{0, 0, 0}, {1, 6, 2},
                                                                                     {7, 1, -1}, {8, 7, 1}};
    switch (kind) {
    case 0: return randomNet(8, 4, false, 1);
    case 1: return randomNet(20, 4, true, 2);
    case 2: return randomNet(8, 8, true, 3);
    case 3: return randomNet(20, 8, false, 4);
    case 4: return ratBSplSurfBilinear(Q[0], Q[1], Q[2], Q[3]);
    case 5: return ratBSplSurfConeBetweenHeights(C, A, Y, V, 0.0, 1.0, -2.0, 5.0);
    case 6: return ratBSplSurfConeBetweenHeights(O, Z, X, Y, 0.5, 1.0, 1.0, 6.0);
    case 7: return ratBSplSurfSphere4(S, 5.0, X, Y, Z);
    default: return ratBSplSurfTorus(O, X, Y, Z, 5.0, 1.5);
    }
}

// The largest coordinate of the net, at least 1.
inline double netSize(const RatBSplSurf* s)
{
    double size = 1.0;
    for (int i = 0; i < s->noPointsu - s->ordu; ++i)
        for (int j = 0; j < s->noPointsv - s->ordv; ++j)
            for (int k = 0; k < 3; ++k)
                size = std::fmax(size, std::fabs(s->points[i * s->noPointsv + j][k]));
    return size;
}

// Points around the surface: a surface point moved by up to a fifth of the
// surface's size in every direction.
inline std::vector<GeomPoint> queries(RatBSplSurf* s, double size, unsigned seed, int count)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> t(0, 1), off(-0.2 * size, 0.2 * size);
    std::vector<GeomPoint> q;
    for (int i = 0; i < count; ++i) {
        const GeomPoint p = ratBSplSurfEvalPoint(s, t(rng), t(rng));
        q.push_back(GeomPoint{p.x + off(rng), p.y + off(rng), p.z + off(rng)});
    }
    return q;
}

struct Hom {
    double c[4];  // w x, w y, w z, w
};

inline Hom blend(const Hom& a, const Hom& b, double t)
{
    Hom h;
    for (int e = 0; e < 4; ++e)
        h.c[e] = a.c[e] + t * (b.c[e] - a.c[e]);
    return h;
}

// Raises every knot value of the domain to multiplicity ord in the knots K of
// the lines (curves of order ord); returns the first control point of each
// piece.
inline std::vector<int> toBezier(std::vector<double>& K, std::vector<std::vector<Hom>>& lines, int ord)
{
    std::vector<double> values;
    for (double k : K)
        if (k >= K[ord - 1] && k <= K[lines[0].size()] && (values.empty() || k != values.back()))
            values.push_back(k);
    for (double t : values)
        for (auto mult = std::count(K.begin(), K.end(), t); mult < ord; ++mult) {
            const int n = static_cast<int>(lines[0].size());
            int s = ord - 1;
            while (s + 1 < n && K[s + 1] <= t)
                ++s;
            for (std::vector<Hom>& P : lines) {
                P.insert(P.begin() + s, P[s]);
                for (int i = s; i >= s - ord + 2; --i)
                    P[i] = blend(P[i - 1], P[i], (t - K[i]) / (K[i + ord - 1] - K[i]));
            }
            K.insert(K.begin() + s + 1, t);
        }
    std::vector<int> firsts;
    for (int s = ord - 1; s < static_cast<int>(lines[0].size()); ++s)
        if (K[s] < K[s + 1])
            firsts.push_back(s - ord + 1);
    return firsts;
}

// A rational Bezier piece: ku x kv homogeneous points, index a * kv + b.
struct Piece {
    int ku, kv;
    std::vector<Hom> h;
    double lower = 0.0;

    GeomPoint point(int a, int b) const
    {
        const double* q = h[a * kv + b].c;
        return GeomPoint{q[0] / q[3], q[1] / q[3], q[2] / q[3]};
    }
    // The halves at the middle of u (alongU) or of v, by de Casteljau.
    std::array<Piece, 2> split(bool alongU) const
    {
        std::array<Piece, 2> halves = {*this, *this};
        const int n = alongU ? ku : kv;
        for (int l = 0; l < (alongU ? kv : ku); ++l) {
            auto at = [&](int i) { return alongU ? i * kv + l : l * kv + i; };
            std::vector<Hom> q(n);
            for (int i = 0; i < n; ++i)
                q[i] = h[at(i)];
            for (int r = 0; r < n; ++r) {
                halves[0].h[at(r)] = q[0];
                halves[1].h[at(n - 1 - r)] = q[n - 1 - r];
                for (int i = 0; i + 1 < n - r; ++i)
                    q[i] = blend(q[i], q[i + 1], 0.5);
            }
        }
        return halves;
    }
};

// The Bezier pieces of a surface with positive weights.
inline std::vector<Piece> bezierPieces(const RatBSplSurf* s)
{
    const int rows = s->noPointsu - s->ordu, cols = s->noPointsv - s->ordv;
    std::vector<double> Ku(s->knotsu, s->knotsu + s->noPointsu), Kv(s->knotsv, s->knotsv + s->noPointsv);
    std::vector<std::vector<Hom>> byRow(rows);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            const double* p = s->points[i * s->noPointsv + j];
            const double w = s->weights[i * s->noPointsv + j];
            byRow[i].push_back(Hom{{p[0] * w, p[1] * w, p[2] * w, w}});
        }
    const std::vector<int> vFirsts = toBezier(Kv, byRow, s->ordv);
    std::vector<std::vector<Hom>> byColumn(byRow[0].size(), std::vector<Hom>(rows));
    for (int i = 0; i < rows; ++i)
        for (size_t j = 0; j < byRow[i].size(); ++j)
            byColumn[j][i] = byRow[i][j];
    std::vector<Piece> pieces;
    for (int a0 : toBezier(Ku, byColumn, s->ordu))
        for (int b0 : vFirsts) {
            Piece p{s->ordu, s->ordv, {}};
            for (int a = 0; a < s->ordu; ++a)
                for (int b = 0; b < s->ordv; ++b)
                    p.h.push_back(byColumn[b0 + b][a0 + a]);
            pieces.push_back(p);
        }
    return pieces;
}

using Vec = std::array<double, 3>;
inline Vec minus(const GeomPoint& a, const GeomPoint& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline double dot3(const Vec& a, const Vec& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline Vec unitCross(const Vec& a, const Vec& b)
{
    const Vec c = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    const double l = std::sqrt(dot3(c, c));
    return l > 1e-150 ? Vec{c[0] / l, c[1] / l, c[2] / l} : Vec{0, 0, 0};
}

// No point of the piece comes nearer to P than this: the distance to the box
// of its control points in its own frame (in the axes where it has none).
inline double lowerBound(const Piece& p, const GeomPoint& P)
{
    const GeomPoint c00 = p.point(0, 0), c01 = p.point(0, p.kv - 1), c10 = p.point(p.ku - 1, 0),
                    c11 = p.point(p.ku - 1, p.kv - 1);
    double e[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const Vec n = unitCross(minus(c11, c00), minus(c10, c01)), du0 = minus(c10, c00), du1 = minus(c11, c01),
              across = unitCross(n, {du0[0] + du1[0], du0[1] + du1[1], du0[2] + du1[2]}),
              along = unitCross(across, n);
    if (dot3(n, n) > 0.5 && dot3(across, across) > 0.5)
        for (int k = 0; k < 3; ++k)
            e[0][k] = along[k], e[1][k] = across[k], e[2][k] = n[k];
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    for (const Hom& h : p.h) {
        const double d[3] = {h.c[0] / h.c[3] - P.x, h.c[1] / h.c[3] - P.y, h.c[2] / h.c[3] - P.z};
        for (int k = 0; k < 3; ++k) {
            const double t = e[k][0] * d[0] + e[k][1] * d[1] + e[k][2] * d[2];
            lo[k] = t < lo[k] ? t : lo[k];
            hi[k] = t > hi[k] ? t : hi[k];
        }
    }
    double d2 = 0.0;
    for (int k = 0; k < 3; ++k) {
        const double out = lo[k] > 0.0 ? lo[k] : (hi[k] < 0.0 ? -hi[k] : 0.0);
        d2 += out * out;
    }
    return std::sqrt(d2);
}

// The nearest distance from P to the surface of the pieces: `distance` is
// that of a surface point, and no point of the surface comes nearer than
// distance - 1e-7 (1 + distance). proved is false when the work limit ended
// the halving first (a point nearly equidistant from a whole curve of the
// surface).
struct Nearest {
    double distance;
    bool proved;
};

inline Nearest provedNearest(const std::vector<Piece>& pieces, const GeomPoint& P, int maxSplits = 20000)
{
    double best = 1e300;
    auto gap = [&]() { return 1e-7 * (1.0 + best); };
    auto later = [](const Piece& a, const Piece& b) { return a.lower > b.lower; };
    std::priority_queue<Piece, std::vector<Piece>, decltype(later)> open(later);
    auto offer = [&](Piece p) {
        for (int a : {0, p.ku - 1})
            for (int b : {0, p.kv - 1})
                best = std::fmin(best, dist(p.point(a, b), P));
        p.lower = lowerBound(p, P);
        if (p.lower < best - gap())
            open.push(std::move(p));
    };
    for (const Piece& p : pieces)
        offer(p);
    for (int splits = 0; !open.empty() && open.top().lower < best - gap(); ++splits) {
        if (splits == maxSplits)
            return Nearest{best, false};
        const Piece p = open.top();
        open.pop();
        for (const Piece& half : p.split(true))
            for (const Piece& quarter : half.split(false))
                offer(quarter);
    }
    return Nearest{best, true};
}

// A result farther than the nearest point by more than 1e-6 (1 + distance).
inline bool missed(double found, const Nearest& nearest)
{
    return found > nearest.distance + 1e-6 * (1.0 + nearest.distance);
}

}  // namespace surftest
