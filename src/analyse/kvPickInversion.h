// The parameters of a picked point on its face's surface. A pick lies on its
// face, so the nearest surface point must come back to it; a start that
// does not get there (a closed direction whose seam the search cannot cross,
// a pole) is followed by the inverter's own start grid, then by a search that
// treats closed directions as periodic. Header only, so that a host's tests
// can check every face of a part with the module's own road.
#pragma once

#include "geom/geom_surface.h"

#include <cmath>

// How far the found surface point may lie from the pick.
constexpr double kvPickLandingTolerance = 1e-5;

struct kvPickParameters {
    double u = 0.0;
    double v = 0.0;
    double distance = -1.0;  // from the pick to the surface point at (u, v)
};

// The nearest of the tried searches. False when the surface cannot be
// searched at all (the inverter's -1 or -2) or no search came back within
// kvPickLandingTolerance; out holds the nearest point found either way
// (distance -1 when there is none).
inline bool kvInvertPick(RatBSplSurf* surface, const double point[3], kvPickParameters& out)
{
    out = kvPickParameters();
    if (!surface || !point)
        return false;
    const GeomPoint p = {point[0], point[1], point[2]};
    struct Try {
        double start;
        bool byForm;
    } const tries[] = {{0.0, false}, {GEOM_NO_START_PARAM, false}, {GEOM_NO_START_PARAM, true}};
    for (const Try& t : tries) {
        double u = 0.0, v = 0.0, reached = 0.0;
        int state = 0;
        const int result = t.byForm
                               ? ratBSplSurfInvertPointByForm(surface, p, t.start, t.start, 0.01, &u, &v, &state,
                                                              &reached)
                               : ratBSplSurfInvertPoint(surface, p, t.start, t.start, 0.01, &u, &v, &state,
                                                        &reached);
        if (result != 0)
            return false;
        // The distance the inverter reports is measured again at the
        // parameters it hands back, which is what the caller evaluates.
        const GeomPoint s = ratBSplSurfEvalPoint(surface, u, v);
        const double d = std::sqrt((s.x - p.x) * (s.x - p.x) + (s.y - p.y) * (s.y - p.y) + (s.z - p.z) * (s.z - p.z));
        if (!std::isfinite(d))
            continue;
        if (out.distance < 0.0 || d < out.distance) {
            out.u = u;
            out.v = v;
            out.distance = d;
        }
        if (d <= kvPickLandingTolerance)
            return true;
    }
    return false;
}
