// Curves through one control row or column of a surface: the row's points,
// weights and knots carried over unchanged.
#include "geom/geom_surface.h"

namespace {

bool hasArrays(const RatBSplSurf* s)
{
    return s->points && s->weights && s->knotsu && s->knotsv && s->noPointsu >= 0 &&
           s->noPointsv >= 0;
}

}  // namespace

RatBSplCurve* ratBSplSurfRowCurve(const RatBSplSurf* surface, int i)
{
    if (!surface || i < 0 || i > surface->noPointsu - surface->ordu - 1 || !hasArrays(surface))
        return nullptr;
    const int n = surface->noPointsv;
    RatBSplCurve* c = ratBSplCurveCreate(surface->ordv, n);
    if (!c)
        return nullptr;
    const long long row = static_cast<long long>(i) * n;
    for (int k = 0; k < n; ++k) {
        c->knots[k] = surface->knotsv[k];
        c->points[k][0] = surface->points[row + k][0];
        c->points[k][1] = surface->points[row + k][1];
        c->points[k][2] = surface->points[row + k][2];
        c->weights[k] = surface->weights[row + k];
    }
    c->isRational = surface->isRational;
    c->isClosed = 0;
    c->isPeriodic = surface->periodicv;
    c->origForm = surface->origFormv;
    return c;
}

RatBSplCurve* ratBSplSurfColumnCurve(const RatBSplSurf* surface, int j)
{
    if (!surface || j < 0 || j > surface->noPointsv - surface->ordv - 1 || !hasArrays(surface))
        return nullptr;
    const int n = surface->noPointsu;
    RatBSplCurve* c = ratBSplCurveCreate(surface->ordu, n);
    if (!c)
        return nullptr;
    const long long stride = surface->noPointsv;
    for (int k = 0; k < n; ++k) {
        const long long idx = k * stride + j;
        c->knots[k] = surface->knotsu[k];
        c->points[k][0] = surface->points[idx][0];
        c->points[k][1] = surface->points[idx][1];
        c->points[k][2] = surface->points[idx][2];
        c->weights[k] = surface->weights[idx];
    }
    c->isRational = surface->isRational;
    c->isClosed = 0;
    c->isPeriodic = surface->periodicu;
    c->origForm = surface->origFormu;
    return c;
}
