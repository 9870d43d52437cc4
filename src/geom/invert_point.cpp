// Nearest point on a surface: drives the point inverter from a start value
// (or its own start grid) until the goal distance or the step limit.
#include "geom/geom_surface.h"
#include "geom/invert_grid.h"
#include "geom/curve_foot.h"

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
using geominvert::kBasinReach;

// The start grid's nearest sample can lie in another basin than the nearest
// point (a fold of the surface coming close, an edge): the grid's next local
// minima are searched too, and the nearest result kept. Where the Newton
// polish serves the record it searches each basin on its own, at a fraction
// of the inverter's steps; otherwise the inverter searches from there.
void searchOtherBasins(PointInverter* inverter, RatBSplSurf* s, GeomPoint point, double goal, int* state,
                       bool byForm)
{
    geominvert::GridMinimum minima[kOtherBasins + 1];
    // A basin whose grid sample lies far beyond the best point so far cannot
    // come nearer between the samples.
    const int n = geominvert::lastGridMinima(minima, kOtherBasins + 1, kBasinReach * inverter->distance);
    const bool polish = geominvert::polishServes(s);
    for (int k = 1; k < n && inverter->distance > goal; ++k) {
        if (minima[k].distance > kBasinReach * inverter->distance)
            break;
        PointInverter basin = *inverter;
        int basinState = *state;
        if (polish) {
            basin.distance = 1e10;
            geominvert::keepIfNearer(&basin, minima[k].u, minima[k].v);
            geominvert::polishNearest(&basin);
        } else {
            search(&basin, s, point, minima[k].u, minima[k].v, goal, &basinState, byForm);
        }
        if (basin.distance < inverter->distance) {
            *inverter = basin;
            *state = basinState;
        }
    }
}

// A step is clamped to the domain in both parameters at once, so on an open
// edge the steps can stall short of the nearest point along that edge: the
// edge is searched as a curve, and the steps go on from its foot point.
// (The Newton polish moves along an edge itself.)
void slideAlongEdges(PointInverter* inverter, RatBSplSurf* s, GeomPoint point, double goal, int* state,
                     bool byForm)
{
    const double p[3] = {point.x, point.y, point.z};
    for (int alongV = 0; alongV < 2 && inverter->distance > goal; ++alongV) {
        // The fixed parameter sits on an end of a direction that does not wrap.
        const double fixed = alongV ? inverter->bestU : inverter->bestV;
        const bool wraps = alongV ? (s->periodicu || s->origFormu == 2) : (s->periodicv || s->origFormv == 2);
        if (wraps || (fixed > 0.0 && fixed < 1.0))
            continue;
        const double width = alongV ? s->knotsv[s->noPointsv - s->ordv] - s->knotsv[s->ordv - 1]
                                    : s->knotsu[s->noPointsu - s->ordu] - s->knotsu[s->ordu - 1];
        const geomedit::CurveProbe edge = [&](double t, double* q, double* tangent) {
            const double u = alongV ? fixed : t, v = alongV ? t : fixed;
            const GeomPoint Q = ratBSplSurfEvalOffsetPoint(s, u, v);
            const GeomPoint T = alongV ? ratBSplSurfEvalDerivV(s, u, v) : ratBSplSurfEvalDerivU(s, u, v);
            q[0] = Q.x, q[1] = Q.y, q[2] = Q.z;
            tangent[0] = T.x * width, tangent[1] = T.y * width, tangent[2] = T.z * width;
        };
        double t = alongV ? inverter->bestV : inverter->bestU, d = inverter->distance;
        geomedit::polishFoot(edge, p, 0.0, 1.0, &t, &d);
        if (!(d < inverter->distance))
            continue;
        const PointInverter best = *inverter;
        const int bestState = *state;
        int edgeState = 0;
        search(inverter, s, point, alongV ? fixed : t, alongV ? t : fixed, goal, &edgeState, byForm);
        if (inverter->distance < best.distance) {
            *state = edgeState;
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
    const bool polish = geominvert::polishServes(s);
    const double searchedU = inverter->bestU, searchedV = inverter->bestV;
    if (polish && inverter->distance > goal)
        geominvert::polishNearest(inverter);
    if (gridSearched)
        searchOtherBasins(inverter, s, point, goal, state, byForm);
    if (!polish)
        slideAlongEdges(inverter, s, point, goal, state, byForm);
    else if (inverter->bestU != searchedU || inverter->bestV != searchedV)
        geominvert::classifyAt(inverter, state);  // the state describes the point given back
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
