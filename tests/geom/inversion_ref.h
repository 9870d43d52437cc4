// A brute-force reference for the nearest point of a surface, the tests'
// and the benchmark's own: a dense grid of the surface polished by
// Gauss-Newton steps from its eight nearest samples; and the random nets and
// query points the point inversion is measured on. Header-only, so that the
// benchmark builds it without the tests.
#pragma once

#include "surf_nets.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace surftest {

// An n x n bicubic net over a jittered grid with random heights on uniform
// clamped knots; weights in [0.5, 2] when rational.
inline RatBSplSurf* randomNet(int n, bool rational, unsigned seed)
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
inline std::vector<GeomPoint> queries(RatBSplSurf* s, double size, unsigned seed)
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

}  // namespace surftest
