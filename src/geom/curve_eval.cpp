// Curve point and first derivative at a parameter normalised to [0, 1].
#include "geom/geom_curve.h"

#include <cmath>

namespace {

enum { kLinePoint = 2518, kLineDeriv = 2617 };

bool usable(const RatBSplCurve* c)
{
    // The span evaluators read ord control points and 2 ord knots around a
    // span; a record that cannot hold one span is not evaluated at all.
    return c->points && c->weights && c->knots && c->workPoints && c->workWeights &&
           c->ord >= 1 && c->noPoints >= 2 * c->ord;
}

double normalise(const RatBSplCurve* c, double t)
{
    const bool wraps = c->isPeriodic != 0 || c->origForm == 2;
    if (t < -1e-7)
        return wraps ? t - std::floor(t) : 0.0;
    if (t > 1.0000001)
        return wraps ? t - std::floor(t) : 1.0;
    return t;
}

// Knot value of t and the span holding it; a span that cannot be found is
// reported and replaced by the first span, so evaluation stays inside the
// arrays.
int locate(const RatBSplCurve* c, double t, int line, double* u)
{
    const double tn = normalise(c, t);
    *u = (1.0 - tn) * c->knots[c->ord - 1] + tn * c->knots[c->noPoints - c->ord];
    int span = ratBSplCurveFindSpan(c->knots, c->noPoints, c->ord, *u);
    if (span < 0) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, line);
        span = c->ord - 1;
    }
    return span;
}

GeomPoint toPoint(const double* v) { return GeomPoint{v[0], v[1], v[2]}; }

}  // namespace

GeomPoint ratBSplCurveEvalPoint(RatBSplCurve* curve, double t)
{
    if (!curve)
        return GeomPoint{0.0, 0.0, 0.0};
    if (!usable(curve)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLinePoint);
        return GeomPoint{0.0, 0.0, 0.0};
    }
    double u;
    const int span = locate(curve, t, kLinePoint, &u);
    double p[3];
    ratBSplPointInSpan(p, curve->points, curve->weights, curve->knots, curve->ord, span, u,
                       curve->workPoints, curve->workWeights, nullptr);
    return toPoint(p);
}

GeomPoint ratBSplCurveEvalDeriv(RatBSplCurve* curve, double t)
{
    if (!curve)
        return GeomPoint{0.0, 0.0, 0.0};
    if (!usable(curve)) {
        geomReportError(GEOM_ERR_ARGUMENT, GEOM_FILE_CURVE, kLineDeriv);
        return GeomPoint{0.0, 0.0, 0.0};
    }
    double u;
    const int span = locate(curve, t, kLineDeriv, &u);
    double d[3];
    ratBSplDerivInSpan(d, curve->points, curve->weights, curve->knots, curve->ord, span, u,
                       curve->workPoints, curve->workWeights);
    return toPoint(d);
}
