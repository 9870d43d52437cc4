// Foot points on curves: a safeguarded Newton search and a sampled global
// search built on it. The searches never accept a point that is not strictly
// nearer, and clamp every step to the domain instead of giving up on it:
// the nearest point often lies where a first step overshoots.
#include "geom/curve_foot.h"

#include <cmath>
#include <vector>

namespace geomedit {

namespace {

const int kPolishSteps = 60;
const int kHalvings = 50;
// Searches without slopes where a polish meets a kink, and their steps.
const int kMaxKinks = 4;
const int kGoldenSteps = 80;
// The arc between two samples taken as this many times their chord, and
// the depth to which a piece that may hold a nearer point is halved.
const double kArcSlack = 1.5;
const int kMaxHalvings = 6;
// How far past a span's first knot a search of that span stays: the span
// lookup still answers with the span before for values up to 1e-9 past a
// knot, and there the slope is the span before's.
const double kKnotClearance = 1e-8;

struct Point3 {
    double x[3];
};

double norm3(const double* v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }
double dot3(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

double distanceAt(const CurveProbe& probe, const double* P, double u, double* D, double* T)
{
    double Q[3];
    probe(u, Q, T);
    for (int k = 0; k < 3; ++k)
        D[k] = Q[k] - P[k];
    return norm3(D);
}

// The nearest point of [lo, hi] to P by golden sections, for distances with
// kinks; x and d receive it when it is nearer than *d.
void goldenSection(const CurveProbe& probe, const double* P, double lo, double hi, double* x, double* d)
{
    const double g = 0.5 * (std::sqrt(5.0) - 1.0);
    double D[3], T[3];
    double x1 = hi - g * (hi - lo), x2 = lo + g * (hi - lo);
    double d1 = distanceAt(probe, P, x1, D, T), d2 = distanceAt(probe, P, x2, D, T);
    for (int it = 0; it < kGoldenSteps && x1 < x2; ++it) {
        if (d1 < d2) {
            hi = x2;
            x2 = x1;
            d2 = d1;
            x1 = hi - g * (hi - lo);
            d1 = distanceAt(probe, P, x1, D, T);
        } else {
            lo = x1;
            x1 = x2;
            d1 = d2;
            x2 = lo + g * (hi - lo);
            d2 = distanceAt(probe, P, x2, D, T);
        }
    }
    const double xm = d1 < d2 ? x1 : x2, dm = std::fmin(d1, d2);
    if (dm < *d) {
        *x = xm;
        *d = dm;
    }
}

}  // namespace

void polishFoot(const CurveProbe& probe, const double* P, double a, double b, double* u, double* distance)
{
    double D[3], T[3];
    double d = distanceAt(probe, P, *u, D, T);
    double x = *u;
    int kinks = 0;
    const double h = 1e-7 * std::fmax(b - a, 1e-300);
    for (int it = 0; it < kPolishSteps && d > 0.0; ++it) {
        const double g = dot3(D, T), tt = dot3(T, T);
        if (!(tt > 0.0) || !std::isfinite(g) || !std::isfinite(tt))
            break;
        // The slope of g from a nearby derivative: a Newton step where the
        // curve bends towards P, a Gauss-Newton step where it does not.
        double Dh[3], Th[3];
        const double xh = x + h <= b ? x + h : x - h;
        distanceAt(probe, P, xh, Dh, Th);
        double dT[3];
        for (int k = 0; k < 3; ++k)
            dT[k] = (Th[k] - T[k]) / (xh - x);
        const double slope = tt + dot3(D, dT);
        double step = slope > 0.1 * tt ? -g / slope : -g / tt;
        if (!std::isfinite(step))
            break;
        const double from = x;
        double next = std::fmin(std::fmax(x + step, a), b);
        bool accepted = false;
        auto tryAt = [&](double at) {
            double Dn[3], Tn[3];
            const double dn = distanceAt(probe, P, at, Dn, Tn);
            if (!(dn < d))
                return false;
            x = at;
            d = dn;
            for (int k = 0; k < 3; ++k) {
                D[k] = Dn[k];
                T[k] = Tn[k];
            }
            return true;
        };
        for (int halving = 0; halving < kHalvings && next != x && !accepted; ++halving) {
            accepted = tryAt(next);
            if (!accepted)
                next = x + 0.5 * (next - x);
            else if (halving == 0 && !(slope > 0.1 * tt))
                // Where the distance does not curve upwards (across a bulge
                // of the curve) the first-order step falls short, and short
                // steps alone would creep: double it while it comes nearer.
                for (int k = 0; k < kHalvings; ++k) {
                    const double further = std::fmin(std::fmax(from + (x - from) * 2.0, a), b);
                    if (further == x || !tryAt(further))
                        break;
                }
        }
        if (!accepted) {
            // No step comes nearer. At a foot point that is the end; short of
            // one the distance has a kink here (the curve crosses a knot of a
            // surface it lies on): search the neighbourhood without slopes.
            const double cosine = std::fabs(g) / (std::sqrt(tt) * d);
            const bool atEnd = (x <= a && g > 0.0) || (x >= b && g < 0.0);
            if (cosine < 1e-7 || atEnd || ++kinks > kMaxKinks)
                break;
            const double w = std::fmax(std::fabs(step), 1e-9 * (b - a));
            double xg = x, dg = d;
            goldenSection(probe, P, std::fmax(a, x - w), std::fmin(b, x + w), &xg, &dg);
            if (!(dg < d))
                break;
            x = xg;
            d = distanceAt(probe, P, x, D, T);
        }
    }
    *u = x;
    *distance = d;
}

void nearestFoot(const CurveProbe& probe, const double* P, const double* breaks, int n, int samples,
                 double* u, double* distance)
{
    if (n < 2 || samples < 1)
        return;
    const double a = breaks[0], b = breaks[n - 1];
    const size_t m = static_cast<size_t>(samples + 1);
    std::vector<double> us(m * (n - 1)), ds(us.size());
    std::vector<Point3> qs(us.size());
    std::vector<double> speeds(us.size());
    double D[3], T[3];
    // Each span on its own: the distance is smooth inside a span, while at a
    // corner a neighbour span may come nearer than the foot beside it.
    for (int i = 0; i + 1 < n; ++i) {
        double* su = &us[i * m];
        double* sd = &ds[i * m];
        for (int j = 0; j <= samples; ++j) {
            su[j] = j == samples ? breaks[i + 1] : breaks[i] + (breaks[i + 1] - breaks[i]) * j / samples;
            sd[j] = distanceAt(probe, P, su[j], D, T);
            for (int k = 0; k < 3; ++k)
                qs[i * m + j].x[k] = D[k] + P[k];
            speeds[i * m + j] = norm3(T);
        }
        for (int j = 0; j <= samples; ++j) {
            const bool left = j == 0 || sd[j] <= sd[j - 1];
            const bool right = j == samples || sd[j] <= sd[j + 1];
            if (!left || !right || !std::isfinite(sd[j]))
                continue;
            // A sample nearer than its neighbours brackets a foot between
            // them: search the bracket first, so that a long first step
            // cannot carry the search into another basin, then let a foot on
            // the bracket's edge move on.
            const double lo = j > 0 ? su[j - 1] : breaks[i], hi = j < samples ? su[j + 1] : breaks[i + 1];
            double x = su[j], d = sd[j];
            double from = lo;
            if (j == 0 && i > 0) {
                // A span's first sample sits on its knot, where the
                // evaluation takes the span before: start inside the span,
                // and keep the search off the knot, where the slope of the
                // span before would end it. Past a sharp corner that slope
                // points back, and a foot just past the knot was lost.
                from = std::fmin(lo + kKnotClearance, 0.5 * (lo + hi));
                double xi = lo + 0.25 * (hi - lo), di;
                polishFoot(probe, P, from, hi, &xi, &di);
                if (di < d) {
                    x = xi;
                    d = di;
                }
            } else {
                polishFoot(probe, P, lo, hi, &x, &d);
            }
            if (((x == lo || x == from) && lo > a) || (x == hi && hi < b))
                polishFoot(probe, P, a, b, &x, &d);
            if (d < *distance) {
                *distance = d;
                *u = x;
            }
        }
    }
    // Between two samples the curve can dip nearer than both without either
    // being a local minimum. A piece whose ends lie d0 and d1 away and which
    // is s long comes no nearer than (d0 + d1 - s) / 2: pieces that could
    // still beat the best point are halved and searched again. The length is
    // estimated from the chord and from the speed at the ends, whichever is
    // longer.
    struct Piece {
        double x0, x1, d0, d1, s0, s1;
        Point3 q0, q1;
        int depth;
    };
    // Improvements below this share of the curve's size are not worth a
    // piece of their own.
    double scale = 0.0;
    for (const Point3& q : qs)
        for (int k = 0; k < 3; ++k)
            if (std::isfinite(q.x[k]))
                scale = std::fmax(scale, std::fabs(q.x[k]));
    const double negligible = 1e-10 * scale;
    std::vector<Piece> open;
    for (int i = 0; i + 1 < n; ++i)
        for (int j = 0; j < samples; ++j) {
            const size_t at = i * m + j;
            open.push_back(Piece{us[at], us[at + 1], ds[at], ds[at + 1], speeds[at], speeds[at + 1], qs[at],
                                 qs[at + 1], 0});
        }
    while (!open.empty()) {
        const Piece piece = open.back();
        open.pop_back();
        double chord[3];
        for (int k = 0; k < 3; ++k)
            chord[k] = piece.q1.x[k] - piece.q0.x[k];
        const double length = std::fmax(kArcSlack * norm3(chord),
                                        kArcSlack * (piece.x1 - piece.x0) * std::fmax(piece.s0, piece.s1));
        const double reach = 0.5 * (piece.d0 + piece.d1 - length);
        if (!(reach < *distance - negligible) || piece.depth >= kMaxHalvings)
            continue;
        const double xm = 0.5 * (piece.x0 + piece.x1);
        const double dm = distanceAt(probe, P, xm, D, T);
        if (!std::isfinite(dm))
            continue;
        Point3 qm;
        for (int k = 0; k < 3; ++k)
            qm.x[k] = D[k] + P[k];
        const double sm = norm3(T);
        if (dm < *distance) {
            double x = xm, d = dm;
            polishFoot(probe, P, piece.x0, piece.x1, &x, &d);
            *distance = d;
            *u = x;
        }
        open.push_back(Piece{piece.x0, xm, piece.d0, dm, piece.s0, sm, piece.q0, qm, piece.depth + 1});
        open.push_back(Piece{xm, piece.x1, dm, piece.d1, sm, piece.s1, qm, piece.q1, piece.depth + 1});
    }
}

int spanBreaks(const double* knots, int ord, int noPoints, double minWidth, double* out)
{
    const int first = ord - 1, last = noPoints - ord;
    int n = 0;
    out[n++] = knots[first];
    for (int i = first + 1; i < last; ++i)
        if (knots[i] - out[n - 1] >= minWidth && knots[last] - knots[i] >= minWidth)
            out[n++] = knots[i];
    out[n++] = knots[last];
    return n;
}

}  // namespace geomedit
