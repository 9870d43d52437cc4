// Nearest point on a surface: drives the point inverter from a start value
// (or its own start grid) until the goal distance or the step limit.
#include "geom/geom_surface.h"
#include "geom/invert_grid.h"

#include <algorithm>
#include <cmath>

namespace {

// The goal distance of a search: tolerances above it are lowered to it.
constexpr double kDefaultGoal = 1e-5;

// One search: the start phase, then steps while they bring the point nearer
// and the goal is not reached, at most 20 of them.
void search(PointInverter* inverter, RatBSplSurf* s, GeomPoint point, double startU,
            double startV, double goal, int* state, bool byForm)
{
    pointInverterSurfStart(inverter, s, startU, startV, point, state);
    int result = 1;
    for (int steps = 0; result > 0 && steps < 20 && inverter->distance > goal; ++steps)
        result = byForm ? pointInverterSurfStepHalfPeriod(inverter, state)
                        : pointInverterSurfStep(inverter, state);
}

// Grid minima besides the nearest sample that are searched as well.
constexpr int kOtherBasins = 3;
constexpr double kBasinReach = 1.5;

// The start grid's nearest sample can lie in another basin than the nearest
// point (a fold of the surface coming close, an edge): the searches from the
// grid's next local minima are run too, and the nearest result kept. Every
// search only keeps moves that come nearer, so the result never worsens.
void searchOtherBasins(PointInverter* inverter, RatBSplSurf* s, GeomPoint point, double goal, int* state,
                       bool byForm)
{
    geominvert::GridMinimum minima[kOtherBasins + 1];
    const int n = geominvert::lastGridMinima(minima, kOtherBasins + 1);
    for (int k = 1; k < n && inverter->distance > goal; ++k) {
        // A basin whose grid sample lies far beyond the best point so far
        // cannot come nearer between the samples.
        if (minima[k].distance > kBasinReach * inverter->distance)
            break;
        const PointInverter best = *inverter;
        const int bestState = *state;
        int basinState = 0;
        search(inverter, s, point, minima[k].u, minima[k].v, goal, &basinState, byForm);
        if (inverter->distance < best.distance) {
            *state = basinState;
        } else {
            *inverter = best;
            *state = bestState;
        }
    }
}

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

    // No surface point is nearest to a point without coordinates.
    if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z))
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
    // A search that ended on a collapsed edge last time starts afresh, and
    // so does one whose start is no finite number (it would wrap to NaN).
    if (*state != 0 || !std::isfinite(startU) || !std::isfinite(startV))
        startU = startV = GEOM_NO_START_PARAM;

    const int periodicu = s->periodicu, periodicv = s->periodicv;
    if (byForm) {
        s->periodicu = s->origFormu == 2 ? 1 : 0;
        s->periodicv = s->origFormv == 2 ? 1 : 0;
    }
    // A tolerance that is no number would end the search before its first
    // step: the default goal holds.
    const double goal = std::isnan(tolerance) ? kDefaultGoal : std::min(tolerance, kDefaultGoal);
    search(inverter, s, point, startU, startV, goal, state, byForm);
    bool gridSearched = !(startU > GEOM_NO_START_PARAM && startV > GEOM_NO_START_PARAM);
    // From a given start the steps can settle in a local minimum: on a
    // closed surface whose closure the record does not mark, a start across
    // the seam is held at the open end. A point on the surface then stays
    // unfound. Search again from the start grid and keep the nearer result.
    if (inverter->distance > goal && startU > GEOM_NO_START_PARAM && startV > GEOM_NO_START_PARAM) {
        const PointInverter first = *inverter;
        const int firstState = *state;
        search(inverter, s, point, GEOM_NO_START_PARAM, GEOM_NO_START_PARAM, goal, state, byForm);
        gridSearched = true;
        if (!(inverter->distance < first.distance)) {
            *inverter = first;
            *state = firstState;
        }
    }
    if (gridSearched)
        searchOtherBasins(inverter, s, point, goal, state, byForm);
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
