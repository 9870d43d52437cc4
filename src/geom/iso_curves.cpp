// Curves through one control row or column of a surface: the row's points,
// weights and knots carried over unchanged.
#include "geom/geom_surface.h"

namespace {

bool hasArrays(const RatBSplSurf* s)
{
    return s->points && s->weights && s->knotsu && s->knotsv && s->noPointsu >= 0 &&
           s->noPointsv >= 0;
}

// The curve through the n net entries first, first + stride, ... with the
// order, knots and closure of the direction they run in.
RatBSplCurve* curveAlongNet(const RatBSplSurf* s, int ord, int n, const double* knots, long long first,
                            long long stride, int periodic, int origForm)
{
    RatBSplCurve* c = ratBSplCurveCreate(ord, n);
    if (!c)
        return nullptr;
    for (int k = 0; k < n; ++k) {
        const long long idx = first + k * stride;
        c->knots[k] = knots[k];
        c->points[k][0] = s->points[idx][0];
        c->points[k][1] = s->points[idx][1];
        c->points[k][2] = s->points[idx][2];
        c->weights[k] = s->weights[idx];
    }
    c->isRational = s->isRational;
    c->isClosed = 0;
    c->isPeriodic = periodic;
    c->origForm = origForm;
    return c;
}

}  // namespace

RatBSplCurve* ratBSplSurfRowCurve(const RatBSplSurf* surface, int i)
{
    if (!surface || i < 0 || i >= ratBSplSurfControlRows(surface) || !hasArrays(surface))
        return nullptr;
    return curveAlongNet(surface, surface->ordv, surface->noPointsv, surface->knotsv,
                         static_cast<long long>(i) * surface->noPointsv, 1, surface->periodicv,
                         surface->origFormv);
}

RatBSplCurve* ratBSplSurfColumnCurve(const RatBSplSurf* surface, int j)
{
    if (!surface || j < 0 || j >= ratBSplSurfControlColumns(surface) || !hasArrays(surface))
        return nullptr;
    return curveAlongNet(surface, surface->ordu, surface->noPointsu, surface->knotsu, j,
                         surface->noPointsv, surface->periodicu, surface->origFormu);
}
