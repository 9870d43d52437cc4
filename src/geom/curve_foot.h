// The foot point of a space point on a curve given only through its points
// and first derivatives (not part of the kernel's interface): shared by the
// projections of points onto curves and onto curves on surfaces.
#pragma once

#include <functional>

namespace geomedit {

// Point and derivative with respect to the knot parameter at the knot value u.
using CurveProbe = std::function<void(double u, double* point, double* tangent)>;

// Moves u (in [a, b]) downhill to a foot point of P: Newton steps on
// (Q(u) - P)·Q'(u) = 0, each clamped to [a, b] and halved until it comes
// strictly nearer; distance receives |Q(u) - P| at the end. A step that is
// not finite ends the search.
void polishFoot(const CurveProbe& probe, const double* P, double a, double b, double* u, double* distance);

// The nearest point of the curve over the knot values breaks[0] < .. <
// breaks[n - 1]: every span is sampled `samples` times and every sample
// nearer than both its neighbours is polished. u and distance are written
// only when a nearer point than *distance is found (pass 1e300 for none).
void nearestFoot(const CurveProbe& probe, const double* P, const double* breaks, int n, int samples,
                 double* u, double* distance);

// Samples per span for a curve of order ord: more than the number of bends
// a span of that order can make between two feet.
inline int footSamples(int ord) { return 3 * ord + 2; }

// The distinct knot values of the domain that bound spans at least `minWidth`
// long, in order (the domain ends always).
int spanBreaks(const double* knots, int ord, int noPoints, double minWidth, double* out);

}  // namespace geomedit
