// Control nets of known shapes for the surface tests, and the surfaces of
// revolution that the surface benchmark measures: exact rational quadratic
// surfaces of revolution and free-form nets, all on knot domains other than
// [0, 1]. Header-only, so that the benchmark builds them without the tests.
#pragma once

#include "geom/geom.h"

#include <cmath>
#include <memory>
#include <vector>

namespace surftest {

using SurfPtr = std::unique_ptr<RatBSplSurf, void (*)(RatBSplSurf*)>;
inline SurfPtr own(RatBSplSurf* s) { return SurfPtr(s, ratBSplSurfFree); }

// Normalised parameters to knot values and back.
inline double knotU(const RatBSplSurf* s, double t)
{
    return (1 - t) * s->knotsu[s->ordu - 1] + t * s->knotsu[s->noPointsu - s->ordu];
}
inline double knotV(const RatBSplSurf* s, double t)
{
    return (1 - t) * s->knotsv[s->ordv - 1] + t * s->knotsv[s->noPointsv - s->ordv];
}
inline double normU(const RatBSplSurf* s, double k)
{
    return (k - s->knotsu[s->ordu - 1]) / (s->knotsu[s->noPointsu - s->ordu] - s->knotsu[s->ordu - 1]);
}
inline double normV(const RatBSplSurf* s, double k)
{
    return (k - s->knotsv[s->ordv - 1]) / (s->knotsv[s->noPointsv - s->ordv] - s->knotsv[s->ordv - 1]);
}

inline double dist(const GeomPoint& a, const GeomPoint& b)
{
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

struct Pt {
    double x, y, z;
};

// Knot vectors as given; the net row by row, (noPoints - ord) entries each way.
inline RatBSplSurf* makeSurf(int ordu, int ordv, const std::vector<double>& ku,
                             const std::vector<double>& kv, const std::vector<Pt>& pts,
                             const std::vector<double>& w, int rational)
{
    const int nu = static_cast<int>(ku.size()), nv = static_cast<int>(kv.size());
    RatBSplSurf* s = ratBSplSurfCreate(ordu, ordv, nu, nv);
    if (!s)
        return nullptr;
    const int rows = nu - ordu, cols = nv - ordv;
    for (int i = 0; i < nu; ++i)
        s->knotsu[i] = ku[i];
    for (int j = 0; j < nv; ++j)
        s->knotsv[j] = kv[j];
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            const Pt& p = pts[i * cols + j];
            ratBSplSurfSetPoint(s, i, j, p.x, p.y, p.z);
            ratBSplSurfSetWeight(s, i, j, w[i * cols + j]);
        }
    s->isRational = rational;
    s->origFormu = s->origFormv = 1;
    return s;
}

namespace detail {

const double kS = std::sqrt(0.5);

// Unit circle in the xy plane as nine rational quadratic control points with
// double interior knots.
inline void unitCircle(std::vector<Pt>* pts, std::vector<double>* w)
{
    const double cx[9] = {1, 1, 0, -1, -1, -1, 0, 1, 1};
    const double cy[9] = {0, 1, 1, 1, 0, -1, -1, -1, 0};
    for (int i = 0; i < 9; ++i) {
        pts->push_back(Pt{cx[i], cy[i], 0.0});
        w->push_back(i % 2 ? kS : 1.0);
    }
}

inline std::vector<double> circleKnots(double a, double b)
{
    const double f[12] = {0, 0, 0, 0.25, 0.25, 0.5, 0.5, 0.75, 0.75, 1, 1, 1};
    std::vector<double> k;
    for (double x : f)
        k.push_back(a + (b - a) * x);
    return k;
}

// Revolves a profile in the xz plane (x = distance from the z axis) about z:
// u runs round the axis, v along the profile.
inline RatBSplSurf* revolve(const std::vector<Pt>& profile, const std::vector<double>& pw, int ordv,
                            const std::vector<double>& kv, double u0, double u1)
{
    std::vector<Pt> circle;
    std::vector<double> cw;
    unitCircle(&circle, &cw);
    std::vector<Pt> pts;
    std::vector<double> w;
    for (int i = 0; i < 9; ++i)
        for (size_t j = 0; j < profile.size(); ++j) {
            pts.push_back(Pt{profile[j].x * circle[i].x, profile[j].x * circle[i].y, profile[j].z});
            w.push_back(cw[i] * pw[j]);
        }
    RatBSplSurf* s = makeSurf(3, ordv, circleKnots(u0, u1), kv, pts, w, 1);
    if (s)
        s->origFormu = 2;
    return s;
}

}  // namespace detail

// The plane patch through four corners, order 2 both ways on [0, 1] x [0, 1].
inline RatBSplSurf* makeQuad(Pt p00, Pt p01, Pt p10, Pt p11)
{
    return makeSurf(2, 2, {0, 0, 1, 1}, {0, 0, 1, 1}, {p00, p01, p10, p11}, {1, 1, 1, 1}, 0);
}

// Revolved about z: u runs round the axis (closed form), v along the profile.
inline RatBSplSurf* makeCylinder(double r, double z0, double z1, double u0, double u1, double v0,
                                 double v1)
{
    return detail::revolve({Pt{r, 0, z0}, Pt{r, 0, z1}}, {1.0, 1.0}, 2, {v0, v0, v1, v1}, u0, u1);
}

inline RatBSplSurf* makeSphere(double r, double u0, double u1, double v0, double v1)
{
    const std::vector<Pt> profile = {Pt{0, 0, -r}, Pt{r, 0, -r}, Pt{r, 0, 0}, Pt{r, 0, r},
                                     Pt{0, 0, r}};
    const double f[8] = {0, 0, 0, 0.5, 0.5, 1, 1, 1};
    std::vector<double> kv;
    for (double x : f)
        kv.push_back(v0 + (v1 - v0) * x);
    return detail::revolve(profile, {1, detail::kS, 1, detail::kS, 1}, 3, kv, u0, u1);
}

// The profile circle starts on the outer equator and is closed form too.
inline RatBSplSurf* makeTorus(double R, double r, double u0, double u1, double v0, double v1)
{
    std::vector<Pt> circle;
    std::vector<double> cw;
    detail::unitCircle(&circle, &cw);
    std::vector<Pt> profile;
    for (const Pt& c : circle)
        profile.push_back(Pt{R + r * c.x, 0.0, r * c.y});
    RatBSplSurf* s = detail::revolve(profile, cw, 3, detail::circleKnots(v0, v1), u0, u1);
    if (s)
        s->origFormv = 2;
    return s;
}

inline RatBSplSurf* makeBicubic8()
{
    const std::vector<double> ku = {1, 1, 1, 1, 1.5, 2.2, 2.5, 3.5, 5, 5, 5, 5};
    const std::vector<double> kv = {-2, -2, -2, -2, -1.2, -0.5, 0.1, 0.9, 1, 1, 1, 1};
    std::vector<Pt> pts;
    std::vector<double> w;
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            pts.push_back(Pt{i * 1.3 + 0.1 * std::sin(j), j * 1.1 + 0.05 * i,
                             2.0 * std::sin(0.7 * i) * std::cos(0.5 * j)});
            w.push_back(1.0);
        }
    return makeSurf(4, 4, ku, kv, pts, w, 0);
}

// Rational bicubic 20 x 20 with double and triple interior knots.
inline RatBSplSurf* makeRational20()
{
    std::vector<double> k = {0, 0, 0, 0};
    const double interior[16] = {1, 2, 2, 3, 4, 4, 4, 5, 6, 7, 7, 8, 9, 10, 10, 11};
    for (double x : interior)
        k.push_back(x);
    for (int e = 0; e < 4; ++e)
        k.push_back(12);
    std::vector<double> kv;
    for (double x : k)
        kv.push_back(0.5 * x - 3.0);
    std::vector<Pt> pts;
    std::vector<double> w;
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 20; ++j) {
            pts.push_back(Pt{i * 0.8 + 0.2 * std::cos(0.9 * j), j * 0.7 + 0.1 * std::sin(1.3 * i),
                             1.5 * std::sin(0.4 * i + 0.3) * std::cos(0.35 * j) + 0.02 * i * j});
            w.push_back(0.5 + 0.75 * (1.0 + std::sin(0.8 * i + 1.7 * j)));
        }
    return makeSurf(4, 4, k, kv, pts, w, 1);
}

// A rational wavy net of any orders on clamped knots with simple interior
// knots over [-1, 2] x [3, 4].
inline RatBSplSurf* makeWavy(int ordu, int ordv, int rows, int cols)
{
    auto knots = [](int ord, int n, double a, double b) {
        std::vector<double> k(ord, a);
        for (int i = 1; i < n - ord + 1; ++i)
            k.push_back(a + (b - a) * i / (n - ord + 1));
        k.insert(k.end(), ord, b);
        return k;
    };
    std::vector<Pt> pts;
    std::vector<double> w;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j) {
            pts.push_back(Pt{1.0 * i + 0.3 * std::sin(j), 0.8 * j, std::cos(0.9 * i + 0.4 * j)});
            w.push_back(1.0 + 0.5 * std::sin(1.1 * i + 0.7 * j) * std::sin(1.1 * i + 0.7 * j));
        }
    return makeSurf(ordu, ordv, knots(ordu, rows, -1, 2), knots(ordv, cols, 3, 4), pts, w, 1);
}

}  // namespace surftest
