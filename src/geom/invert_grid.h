// Internal to the point inverter: the start grid and the one measurement
// that every move of the inverter goes through.
#pragma once

#include "geom/geom_surface.h"

namespace geominvert {

// Measures the surface point at (u, v) and makes it the inverter's best point
// when it is strictly nearer than the best so far; true when it was kept.
bool keepIfNearer(PointInverter* p, double u, double v);

// The nearest of the nu x nv samples S(i / (nu - 1), j / (nv - 1)), taken in
// the order i, then j, the first of equal distances winning. Leaves the
// sample in bestU, bestV, nearest and distance (1e10 when none is nearer).
void nearestGridSample(PointInverter* p, int nu, int nv);

// A sample of the last start grid nearer than its eight neighbours.
struct GridMinimum {
    double u, v;        // normalised
    double distance;    // estimated from the grid's collapsed sums
};

// Up to maxCount local minima of the last start grid, nearest first; 0 when
// that grid kept no distances (an unusual record measured sample by sample,
// or a grid too large to keep).
int lastGridMinima(GridMinimum* out, int maxCount);

}  // namespace geominvert
