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

}  // namespace

void polishFoot(const CurveProbe& probe, const double* P, double a, double b, double* u, double* distance)
{
    double D[3], T[3];
    double d = distanceAt(probe, P, *u, D, T);
    double x = *u;
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
        double next = std::fmin(std::fmax(x + step, a), b);
        bool accepted = false;
        for (int halving = 0; halving < kHalvings && next != x; ++halving) {
            double Dn[3], Tn[3];
            const double dn = distanceAt(probe, P, next, Dn, Tn);
            if (dn < d) {
                x = next;
                d = dn;
                for (int k = 0; k < 3; ++k) {
                    D[k] = Dn[k];
                    T[k] = Tn[k];
                }
                accepted = true;
                break;
            }
            next = x + 0.5 * (next - x);
        }
        if (!accepted)
            break;
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
    std::vector<double> us(static_cast<size_t>(samples + 1)), ds(us.size());
    double D[3], T[3];
    // Each span on its own: the distance is smooth inside a span, while at a
    // corner a neighbour span may come nearer than the foot beside it.
    for (int i = 0; i + 1 < n; ++i) {
        for (int j = 0; j <= samples; ++j) {
            us[j] = j == samples ? breaks[i + 1] : breaks[i] + (breaks[i + 1] - breaks[i]) * j / samples;
            ds[j] = distanceAt(probe, P, us[j], D, T);
        }
        for (int j = 0; j <= samples; ++j) {
            const bool left = j == 0 || ds[j] <= ds[j - 1];
            const bool right = j == samples || ds[j] <= ds[j + 1];
            if (!left || !right || !std::isfinite(ds[j]))
                continue;
            // A sample nearer than its neighbours brackets a foot between
            // them: search the bracket first, so that a long first step
            // cannot carry the search into another basin, then let a foot on
            // the bracket's edge move on.
            const double lo = j > 0 ? us[j - 1] : breaks[i], hi = j < samples ? us[j + 1] : breaks[i + 1];
            double x = us[j], d = ds[j];
            if (j == 0 && i > 0) {
                // A span's first sample sits on its knot, where the
                // evaluation takes the span before: start inside the span.
                double xi = lo + 0.25 * (hi - lo), di;
                polishFoot(probe, P, lo, hi, &xi, &di);
                if (di < d) {
                    x = xi;
                    d = di;
                }
            } else {
                polishFoot(probe, P, lo, hi, &x, &d);
            }
            if ((x == lo && lo > a) || (x == hi && hi < b))
                polishFoot(probe, P, a, b, &x, &d);
            if (d < *distance) {
                *distance = d;
                *u = x;
            }
        }
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
