// Helpers shared by the curve-editing operations (not part of the kernel's
// interface): record checks, knot snapping and the full-multiplicity step
// every cut starts with.
#pragma once

#include "geom/geom_curve.h"

#include <cstring>

namespace geomedit {

// Tolerance within which a parameter counts as sitting on a knot.
const double kKnotSnap = 1e-12;

// A record whose arrays exist and hold at least one span.
inline bool usable(const RatBSplCurve* c)
{
    return c && c->points && c->weights && c->knots && c->ord >= 1 && c->noPoints >= 2 * c->ord;
}

inline double domainStart(const RatBSplCurve* c) { return c->knots[c->ord - 1]; }
inline double domainEnd(const RatBSplCurve* c) { return c->knots[c->noPoints - c->ord]; }

inline void copy3(double* dst, const double* src)
{
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
}

// Copies `count` entries of points, weights and knots from index `from` of
// src to index `to` of dst.
inline void copyEntries(RatBSplCurve* dst, int to, const RatBSplCurve* src, int from, int count)
{
    if (count <= 0)
        return;
    std::memcpy(dst->points + to, src->points + from, sizeof(GeomVec3) * count);
    std::memcpy(dst->weights + to, src->weights + from, sizeof(double) * count);
    std::memcpy(dst->knots + to, src->knots + from, sizeof(double) * count);
}

// u replaced by the nearest knot closer than kKnotSnap.
double snapToKnot(const RatBSplCurve* c, double u);
// Number of knots within kKnotSnap of u.
int knotMultiplicity(const RatBSplCurve* c, double u);
// Inserts u until its multiplicity equals the order; 0 when an insertion
// fails (the insertions made before stay).
int raiseToFullMultiplicity(RatBSplCurve** c, double u);
// Order-1 record standing for an empty part: one control point, knots u, u.
RatBSplCurve* makePointCurve(const double* p, double u);

}  // namespace geomedit
