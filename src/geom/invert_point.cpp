// Nearest point on a surface: drives the point inverter from a start value
// (or its own start grid) until the goal distance or the step limit.
#include "geom/geom_surface.h"

#include <algorithm>

namespace {

int invert(RatBSplSurf* s, GeomPoint point, double startU, double startV, double tolerance,
           double* outU, double* outV, int* state, double* outDistance, bool byForm)
{
    if (!s || !s->knotsu || !s->knotsv || s->ordu < 1 || s->ordv < 1 ||
        s->noPointsu < 2 * s->ordu - 1 || s->noPointsv < 2 * s->ordv - 1)
        return -1;
    const double ulo = s->knotsu[s->ordu - 1], uhi = s->knotsu[s->noPointsu - s->ordu];
    const double vlo = s->knotsv[s->ordv - 1], vhi = s->knotsv[s->noPointsv - s->ordv];
    // Start values are normalised by the domain widths: a domain without
    // width gives no parameters to search.
    if (!(uhi - ulo > 0.0) || !(vhi - vlo > 0.0))
        return -1;

    PointInverter* inverter = pointInverterCreate();
    if (!inverter)
        return -2;
    if (startU > GEOM_NO_START_PARAM)
        startU = (startU - ulo) / (uhi - ulo);
    if (startV > GEOM_NO_START_PARAM)
        startV = (startV - vlo) / (vhi - vlo);
    int localState = 0;
    if (!state)
        state = &localState;
    // A search that ended on a collapsed edge last time starts afresh.
    if (*state != 0)
        startU = startV = GEOM_NO_START_PARAM;

    const int periodicu = s->periodicu, periodicv = s->periodicv;
    if (byForm) {
        s->periodicu = s->origFormu == 2 ? 1 : 0;
        s->periodicv = s->origFormv == 2 ? 1 : 0;
    }
    pointInverterSurfStart(inverter, s, startU, startV, point, state);
    const double goal = std::min(tolerance, 1e-5);
    int result = 1;
    for (int steps = 0; result > 0 && steps < 20 && inverter->distance > goal; ++steps)
        result = byForm ? pointInverterSurfStepHalfPeriod(inverter, state)
                        : pointInverterSurfStep(inverter, state);
    if (byForm) {
        s->periodicu = periodicu;
        s->periodicv = periodicv;
    }
    if (outU)
        *outU = inverter->bestU;
    if (outV)
        *outV = inverter->bestV;
    if (outDistance)
        *outDistance = inverter->distance;
    pointInverterFree(inverter);
    return 0;
}

}  // namespace

int ratBSplSurfInvertPoint(RatBSplSurf* surface, GeomPoint point, double startU,
                           double startV, double tolerance, double* outU, double* outV,
                           int* state, double* outDistance)
{
    return invert(surface, point, startU, startV, tolerance, outU, outV, state, outDistance,
                  false);
}

int ratBSplSurfInvertPointByForm(RatBSplSurf* surface, GeomPoint point, double startU,
                                 double startV, double tolerance, double* outU, double* outV,
                                 int* state, double* outDistance)
{
    return invert(surface, point, startU, startV, tolerance, outU, outV, state, outDistance,
                  true);
}
