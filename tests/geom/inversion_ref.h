// A proved reference for the nearest point of a surface, the tests' and the
// benchmark's own, and the surfaces and query points the point inversion is
// measured on. Header-only, so that the benchmark builds it without the
// tests.
//
// The net is cut into its Bezier pieces (knots raised to full multiplicity
// by Boehm's rule, in homogeneous coordinates). With positive weights a
// piece lies inside the convex hull of its control points, so no point of it
// comes nearer than the box of those points in any frame: in the axes, and
// in a frame fitted to the piece, whose box is as thin as the piece is flat.
// A piece passes through its corner points, which bound the nearest distance
// from above. Pieces that could still come nearer than the best corner are
// halved in both directions until the lowest bound left is within a gap of
// that corner: the nearest distance lies between the two.
#pragma once

#include "surf_nets.h"

#include <algorithm>
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
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            pts.push_back(Pt{i + jitter(rng), j + jitter(rng), height(rng)});
            w.push_back(rational ? weight(rng) : 1.0);
        }
    return makeSurf(ord, ord, k, k, pts, w, rational ? 1 : 0);
}

// The surfaces of the inversion figures: four random nets and the five
// shapes the analysis meets most, as the kernel's constructors build them.
enum { kInversionSurfaces = 9 };
inline const char* inversionSurfaceName(int kind)
{
    static const char* const names[kInversionSurfaces] = {"o4_8x8",   "o4_20x20_rational", "o8_8x8_rational",
                                                          "o8_20x20", "plane",             "cylinder",
                                                          "cone",     "sphere",            "torus"};
    return names[kind];
}
inline RatBSplSurf* inversionSurface(int kind)
{
    const double O[3] = {0, 0, 0}, X[3] = {1, 0, 0}, Y[3] = {0, 1, 0}, Z[3] = {0, 0, 1};
    const double C[3] = {1, -2, 3}, S[3] = {8, -4, 3}, A[3] = {0.6, 0, 0.8}, U[3] = {0, 1, 0}, V[3] = {-0.8, 0, 0.6};
    const double p00[3] = {0, 0, 0}, p01[3] = {1, 6, 2}, p10[3] = {7, 1, -1}, p11[3] = {8, 7, 1};
    switch (kind) {
    case 0: return randomNet(8, 4, false, 1);
    case 1: return randomNet(20, 4, true, 2);
    case 2: return randomNet(8, 8, true, 3);
    case 3: return randomNet(20, 8, false, 4);
    case 4: return ratBSplSurfBilinear(p00, p01, p10, p11);
    case 5: return ratBSplSurfConeBetweenHeights(C, A, U, V, 0.0, 1.0, -2.0, 5.0);
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
inline std::vector<GeomPoint> queries(RatBSplSurf* s, double size, unsigned seed, int count = 300)
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
    double x, y, z, w;
};

namespace bezier {

using Line = std::vector<Hom>;

inline Hom blend(const Hom& a, const Hom& b, double t)
{
    return Hom{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z), a.w + t * (b.w - a.w)};
}

// Raises every knot value of the domain [K[ord - 1], K[n]] to multiplicity
// ord in the knots K of the lines (n control points each).
inline void toFullMultiplicity(std::vector<double>& K, std::vector<Line>& lines, int ord)
{
    const double first = K[ord - 1], last = K[lines[0].size()];
    std::vector<double> values;
    for (double k : K)
        if (k >= first && k <= last && (values.empty() || k != values.back()))
            values.push_back(k);
    for (double t : values) {
        int mult = static_cast<int>(std::count(K.begin(), K.end(), t));
        for (; mult < ord; ++mult) {
            const int n = static_cast<int>(lines[0].size());
            int s = ord - 1;
            while (s + 1 < n && K[s + 1] <= t)
                ++s;
            for (Line& P : lines) {
                Line Q(n + 1);
                for (int i = 0; i <= n; ++i) {
                    if (i <= s - ord + 1)
                        Q[i] = P[i];
                    else if (i >= s + 1)
                        Q[i] = P[i - 1];
                    else
                        Q[i] = blend(P[i - 1], P[i], (t - K[i]) / (K[i + ord - 1] - K[i]));
                }
                P.swap(Q);
            }
            K.insert(K.begin() + s + 1, t);
        }
    }
}

// First control point index of every piece of the refined knots.
inline std::vector<int> pieceStarts(const std::vector<double>& K, int ord, int n)
{
    std::vector<int> starts;
    for (int s = ord - 1; s < n; ++s)
        if (K[s] < K[s + 1])
            starts.push_back(s - ord + 1);
    return starts;
}

}  // namespace bezier

// A rational Bezier piece: ku x kv homogeneous points, index a * kv + b.
struct Piece {
    int ku, kv;
    std::vector<Hom> h;
    double lower = 0.0;

    GeomPoint point(int a, int b) const
    {
        const Hom& q = h[a * kv + b];
        return GeomPoint{q.x / q.w, q.y / q.w, q.z / q.w};
    }

    // The two halves at the middle of u (alongU) or of v, by de Casteljau.
    void split(bool alongU, Piece* first, Piece* second) const
    {
        *first = *second = *this;
        const int n = alongU ? ku : kv, lines = alongU ? kv : ku;
        std::vector<Hom> q(n);
        for (int l = 0; l < lines; ++l) {
            auto idx = [&](int i) { return alongU ? i * kv + l : l * kv + i; };
            for (int i = 0; i < n; ++i)
                q[i] = h[idx(i)];
            for (int r = 0; r < n; ++r) {
                first->h[idx(r)] = q[0];
                second->h[idx(n - 1 - r)] = q[n - 1 - r];
                for (int i = 0; i + 1 < n - r; ++i)
                    q[i] = bezier::blend(q[i], q[i + 1], 0.5);
            }
        }
    }
};

// The Bezier pieces of a surface with positive weights.
inline std::vector<Piece> bezierPieces(const RatBSplSurf* s)
{
    const int ku = s->ordu, kv = s->ordv, rows = s->noPointsu - ku, cols = s->noPointsv - kv;
    std::vector<double> Ku(s->knotsu, s->knotsu + s->noPointsu), Kv(s->knotsv, s->knotsv + s->noPointsv);
    std::vector<bezier::Line> byRow(rows);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            const double* p = s->points[i * s->noPointsv + j];
            const double w = s->weights[i * s->noPointsv + j];
            byRow[i].push_back(Hom{p[0] * w, p[1] * w, p[2] * w, w});
        }
    bezier::toFullMultiplicity(Kv, byRow, kv);
    const int n = static_cast<int>(byRow[0].size());
    std::vector<bezier::Line> byColumn(n, bezier::Line(rows));
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < n; ++j)
            byColumn[j][i] = byRow[i][j];
    bezier::toFullMultiplicity(Ku, byColumn, ku);
    const int m = static_cast<int>(byColumn[0].size());
    std::vector<Piece> pieces;
    for (int a0 : bezier::pieceStarts(Ku, ku, m))
        for (int b0 : bezier::pieceStarts(Kv, kv, n)) {
            Piece p{ku, kv, {}};
            for (int a = 0; a < ku; ++a)
                for (int b = 0; b < kv; ++b)
                    p.h.push_back(byColumn[b0 + b][a0 + a]);
            pieces.push_back(p);
        }
    return pieces;
}

namespace bezier {

// The distance from P to the box of the piece's control points in the frame
// e (three unit rows).
inline double boxDistance(const Piece& p, const GeomPoint& P, const double (*e)[3])
{
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    for (const Hom& q : p.h) {
        const double d[3] = {q.x / q.w - P.x, q.y / q.w - P.y, q.z / q.w - P.z};
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

inline double unit(double* v)
{
    const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (l > 1e-150)
        for (int k = 0; k < 3; ++k)
            v[k] /= l;
    return l;
}

inline void cross(const double* a, const double* b, double* c)
{
    c[0] = a[1] * b[2] - a[2] * b[1];
    c[1] = a[2] * b[0] - a[0] * b[2];
    c[2] = a[0] * b[1] - a[1] * b[0];
}

// No point of the piece comes nearer to P than this.
inline double lowerBound(const Piece& p, const GeomPoint& P)
{
    static const double axes[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const double bound = boxDistance(p, P, axes);
    // The frame of the piece: its normal from the corner diagonals, its first
    // axis along u.
    const GeomPoint c00 = p.point(0, 0), c01 = p.point(0, p.kv - 1), c10 = p.point(p.ku - 1, 0),
                    c11 = p.point(p.ku - 1, p.kv - 1);
    const double d1[3] = {c11.x - c00.x, c11.y - c00.y, c11.z - c00.z};
    const double d2[3] = {c10.x - c01.x, c10.y - c01.y, c10.z - c01.z};
    double e[3][3];
    cross(d1, d2, e[2]);
    if (!(unit(e[2]) > 1e-150))
        return bound;
    double along[3] = {d1[0] + d2[0], d1[1] + d2[1], d1[2] + d2[2]};
    const double dn = along[0] * e[2][0] + along[1] * e[2][1] + along[2] * e[2][2];
    for (int k = 0; k < 3; ++k)
        along[k] -= dn * e[2][k];
    if (!(unit(along) > 1e-150))
        return bound;
    for (int k = 0; k < 3; ++k)
        e[0][k] = along[k];
    cross(e[2], e[0], e[1]);
    return std::fmax(bound, boxDistance(p, P, e));
}

}  // namespace bezier

// The nearest distance from P to the surface of the pieces: `distance` is
// that of a surface point (a corner of a piece), and no point of the surface
// comes nearer than distance - gap. proved is false when the work limit
// ended the halving first (a point nearly equidistant from a whole curve of
// the surface).
struct Nearest {
    double distance, gap;
    bool proved;
};

inline Nearest provedNearest(const std::vector<Piece>& pieces, const GeomPoint& P, double relativeGap = 1e-7,
                             int maxSplits = 20000)
{
    double best = 1e300;
    auto corners = [&](const Piece& p) {
        for (int a : {0, p.ku - 1})
            for (int b : {0, p.kv - 1})
                best = std::fmin(best, dist(p.point(a, b), P));
    };
    for (const Piece& p : pieces)
        corners(p);
    auto later = [](const Piece& a, const Piece& b) { return a.lower > b.lower; };
    std::priority_queue<Piece, std::vector<Piece>, decltype(later)> open(later);
    for (Piece p : pieces) {
        p.lower = bezier::lowerBound(p, P);
        if (p.lower < best)
            open.push(std::move(p));
    }
    int splits = 0;
    while (!open.empty()) {
        const double gap = relativeGap * (1.0 + best);
        if (open.top().lower >= best - gap)
            return Nearest{best, gap, true};
        if (++splits > maxSplits)
            return Nearest{best, best - open.top().lower, false};
        const Piece p = open.top();
        open.pop();
        Piece half[2], quarter[4];
        p.split(true, &half[0], &half[1]);
        half[0].split(false, &quarter[0], &quarter[1]);
        half[1].split(false, &quarter[2], &quarter[3]);
        for (Piece& q : quarter) {
            corners(q);
            q.lower = bezier::lowerBound(q, P);
            if (q.lower < best - relativeGap * (1.0 + best))
                open.push(std::move(q));
        }
    }
    return Nearest{best, relativeGap * (1.0 + best), true};
}

// A result that lies farther than the nearest point by more than the
// inversion's allowance, 1e-6 (1 + distance).
inline bool missed(double found, const Nearest& nearest)
{
    return found > nearest.distance + 1e-6 * (1.0 + nearest.distance);
}

}  // namespace surftest
