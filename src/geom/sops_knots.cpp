// Knot vectors split into distinct values with multiplicities, and the
// re-spacing of the distinct values so that each Bezier piece's parameter
// width follows its share of the control polygon's length.
#include "geom/geom_surface_ops.h"

int knotValuesAndMultiplicities(const double* knots, int n, double* values, int* multiplicities)
{
    if (!knots || !values || !multiplicities || n <= 0)
        return 0;
    int count = 0;
    int i = 0;
    while (i < n) {
        const double v = knots[i];
        int run = 1;
        while (i + run < n && knots[i + run] == v)
            ++run;
        values[count] = v;
        multiplicities[count] = run;
        ++count;
        i += run;
    }
    return count;
}

int knotSpacingCorrections(const double* u, int n, int k, const int* multiplicities,
                           const double* lengths, double* d)
{
    if (!u || !multiplicities || !lengths || !d || n < 1)
        return 0;
    const double total = lengths[0];
    const double range = u[n - 1] - u[0];
    if (!(total >= 1e-5) || !(range >= 1e-7))
        return 0;
    d[0] = 0.0;
    for (int i = 1; i < n; ++i) {
        d[i] = 0.0;
        // Only pieces joined to their neighbours by position alone may change
        // width: elsewhere the parametrisation carries continuity.
        if (multiplicities[i - 1] < k - 1 || multiplicities[i] < k - 1)
            continue;
        const double du = u[i] - u[i - 1];
        const double share = lengths[i] / total;
        const double paramShare = du / range;
        if (paramShare > 0.0) {
            const double q = share / paramShare;
            if (q >= 0.01 && q <= 100.0)
                continue;
        }
        double wanted = share * range;
        if (wanted < 0.0001)
            wanted = 0.0001;
        if (wanted > 10000.0)
            wanted = 10000.0;
        d[i] = wanted - du;
    }
    return 1;
}

int applyKnotSpacingCorrections(double* u, int n, const double* d)
{
    if (!u || !d || n < 2)
        return 1;
    const double first = u[0];
    const double oldRange = u[n - 1] - first;
    double running = 0.0;
    for (int i = 1; i < n; ++i) {
        running += d[i];
        u[i] += running;
    }
    const double newRange = u[n - 1] - first;
    if (newRange <= 0.0)
        return 1;
    // Scale about the first value so that the knot vector keeps its start and
    // range wherever it begins; scaling about zero would move a vector that
    // starts elsewhere and could reverse its order.
    const double ratio = oldRange / newRange;
    for (int i = 1; i < n; ++i)
        u[i] = first + (u[i] - first) * ratio;
    u[n - 1] = first + oldRange;
    return 1;
}

int expandKnotMultiplicities(const double* values, int n, const int* multiplicities, double* knots)
{
    if (!values || !multiplicities || !knots)
        return 1;
    int out = 0;
    for (int i = 0; i < n; ++i)
        for (int m = 0; m < multiplicities[i]; ++m)
            knots[out++] = values[i];
    return 1;
}
