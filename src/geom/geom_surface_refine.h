// Surface refinement: knot insertion, the subdivision search for a point's
// parameters, clamping, seam copies and sub-surfaces over a parameter window.
//
// Operations that change the net take the address of the caller's surface
// pointer and replace the surface only when they succeed; every other result
// is a new surface that the caller frees with ratBSplSurfFree. The source is
// never changed. Orientation (nrmOri) and offset travel with every result.
#pragma once

#include "geom/geom_base.h"
#include "geom/geom_surface.h"

// Report sites of the subdivision search (file GEOM_FILE_SURFACE).
enum {
    GEOM_SITE_LOCATE_COPY = 7414,      // kind 2: no working copy (the record is unusable, or no
                                       // surface: knots not finite and sorted, a point not
                                       // finite or beyond 1e12, a weight not finite)
    GEOM_SITE_LOCATE_KNOTS_U = 7425,   // kind 2: 1500 or more knots in u
    GEOM_SITE_LOCATE_KNOTS_V = 7436,   // kind 2: 1500 or more knots in v
    GEOM_SITE_LOCATE_MISSED = 7756,    // kind 3: no sample came within 0.075
    GEOM_SITE_INSERT_WEIGHT = 7302     // kind 5: a new weight vanished
};

// Knot limit of the subdivision search, and the size of its span tables.
enum { GEOM_LOCATE_MAX_KNOTS = 1500, GEOM_LOCATE_SPAN_TABLE = 2001 };

// One knot at the normalised parameter (clamped to [0, 1], wrapped only when
// the direction is periodic; an infinite parameter clamps to the domain's
// end). 0, and the caller's surface untouched, for a null or unusable
// surface, an order of 30 or more, a parameter that no span holds (not a
// number, or an infinite one wrapped in a periodic direction), a failed
// allocation, or a new weight that vanishes (kind 5).
int ratBSplSurfInsertKnotU(RatBSplSurf** surface, double u);
int ratBSplSurfInsertKnotV(RatBSplSurf** surface, double v);
// u, then v; always 0.
int ratBSplSurfInsertKnotUV(RatBSplSurf** surface, double u, double v);

// Normalised parameters of the surface point nearest to the point, found by
// subdividing a copy where the point falls into its control boxes. Always 0;
// outU/outV are written only when a sample was found. Reports: see above.
// Its work grows with the net, to a bound far beyond what a surface needs.
int ratBSplSurfLocatePoint(RatBSplSurf* surface, GeomPoint point, double* outU, double* outV);

// Copies clamped at the ends of the knot domain (in u, or in both
// directions); null on a failed copy or insertion.
RatBSplSurf* ratBSplSurfClampU(const RatBSplSurf* surface);
RatBSplSurf* ratBSplSurfClamp(const RatBSplSurf* surface);
// The net repeated three times in each closed-form direction (origForm 2),
// each copy one domain length on; a direction whose ends are not clamped is
// clamped first. Null for a periodic surface, one with no closed-form
// direction, or a failed clamping. The Joined form shares the seam row or
// column of nets that repeat it (an order-1 direction with one row keeps
// that row, between knots one domain length before and after its own).
RatBSplSurf* ratBSplSurfTriple(const RatBSplSurf* surface);
RatBSplSurf* ratBSplSurfTripleJoined(const RatBSplSurf* surface);
// The sub-surface over a window in knot values; ends snap to knots within
// 0.01 so that the window never shrinks. An end beyond the domain, infinite
// or not, takes the domain's end, or in a closed-form direction (origForm 2)
// makes the window cross the seam. Null for a null or unusable surface, an
// end that is not a number, a window narrower than 0.01 or wider than the
// domain (an infinite end across a seam gives an infinite width), or when an
// end could not be made a full-multiplicity knot.
RatBSplSurf* ratBSplSurfWindow(const RatBSplSurf* surface, double uStart, double vStart, double uEnd,
                               double vEnd);
RatBSplSurf* ratBSplSurfWindowJoinedSeam(const RatBSplSurf* surface, double uStart, double vStart,
                                         double uEnd, double vEnd);
