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
// The grid it keeps for lastGridMinima holds the samples within kBasinReach
// of the nearest; the others may be kept as infinitely far.
void nearestGridSample(PointInverter* p, int nu, int nv);

// How far beyond the best point so far a grid minimum may lie and still be
// searched as a basin: between the samples the surface cannot come nearer
// than that. The start grid keeps the distances of its samples this near.
constexpr double kBasinReach = 1.5;

// A sample of the last start grid nearer than its eight neighbours.
struct GridMinimum {
    double u, v;        // normalised
    double distance;    // estimated from the grid's collapsed sums
};

// Up to maxCount local minima of the last start grid no farther than
// maxDistance, nearest first (the grid's nearest sample first, when it is
// that near); 0 when that grid kept no distances (an unusual record measured
// sample by sample, or a grid too large to keep).
int lastGridMinima(GridMinimum* out, int maxCount, double maxDistance);

// Both first derivatives at normalised (u, v), as ratBSplSurfEvalDerivU and
// ratBSplSurfEvalDerivV give them, from one pass over the net, with the
// vanishing weight sums those two report. False where they would report an
// argument (an unusable record, a span not found) or serve through other
// paths (orders beyond the fixed buffers).
bool firstOrder(const RatBSplSurf* s, double u, double v, double* Su, double* Sv);

// The point and its derivatives at normalised (u, v), with respect to the
// knot values: S, Su, Sv, Suu, Suv, Svv. False for a record the evaluator
// refuses, orders beyond its fixed buffers or a vanishing weight sum.
bool secondOrder(const RatBSplSurf* s, double u, double v, double out[6][3]);

// Newton steps on the squared distance with its full second derivatives,
// from the best point: they converge where the inverter's steps (which
// leave out the surface's curvature) close in slowly, near a centre of
// curvature. Every move is strictly nearer; open directions stay in [0, 1].
void polishNearest(PointInverter* p);
// Whether the polish serves the record: no offset, orders the evaluator's
// fixed buffers hold.
bool polishServes(const RatBSplSurf* s);
// The degeneracy state at the best point, classified afresh.
void classifyAt(PointInverter* p, int* state);

}  // namespace geominvert
