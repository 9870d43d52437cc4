// Curves and surfaces together: space curves projected into a surface's
// parameter plane, and curves that live in that plane (x and y are knot
// values u and v) evaluated, searched and cut in space.
#pragma once

#include "geom/geom_base.h"
#include "geom/geom_curve.h"
#include "geom/geom_surface.h"

// Report sites (file GEOM_FILE_INVERTER for the projections, GEOM_FILE_SURFACE
// for the curves on a surface).
enum {
    GEOM_SITE_PROJECT_MISSED = 1882,          // kind 4: a vertex stayed beyond the tolerance
    GEOM_SITE_PROJECT_REFINED_MISSED = 2413,  // kind 4: the same in the refined projection's last pass
    GEOM_SITE_SURF_CURVE_NOT_FOUND = 8499     // kind 3: no parameter within reach
};

// ---------------------------------------------------------------------------
// Projection of a space curve: an order-2 polyline of (u, v, 0) in knot values,
// one vertex per vertex of the curve's linearisation at the tolerance, each
// inverted from the previous one's parameters. Vertices on a collapsed edge
// take the undefined coordinate of a neighbour (a lone one is split in two).
// Start values are knot values, GEOM_NO_START_PARAM or less for none. The
// deviation receives the worst distance of a vertex. A non-null polyline
// receives the 3D linearisation. Null for a null or unusable surface or curve
// and on any allocation failure; vertices beyond the tolerance are reported
// (kind 4) and the result is still given.
// The surface's periodic marking, set for the search where its net closes, is
// restored before the call returns.
RatBSplCurve* ratBSplSurfProjectCurveEx(RatBSplSurf* surface, RatBSplCurve* curve, double tolerance,
                                        double* deviation, double startU, double startV, RatBSplCurve** polyline);
RatBSplCurve* ratBSplSurfProjectCurve(RatBSplSurf* surface, RatBSplCurve* curve, double tolerance,
                                      double* deviation, double startU, double startV);
// As above, with up to five passes that insert vertices where the surface path
// of a parameter segment strays from its chord; the first three passes check
// the segments ending at the vertices they project (a segment between two
// pole vertices is not sampled). The deviation is the last pass's: the worst
// vertex distance and sampled segment deviation its checks met, or -1.0 when
// the last pass checked nothing (a fourth or fifth pass never does).
RatBSplCurve* ratBSplSurfProjectCurveRefinedEx(RatBSplSurf* surface, RatBSplCurve* curve, double tolerance,
                                               double* deviation, double startU, double startV,
                                               RatBSplCurve** polyline);
RatBSplCurve* ratBSplSurfProjectCurveRefined(RatBSplSurf* surface, RatBSplCurve* curve, double tolerance,
                                             double* deviation, double startU, double startV);
// The pole repair on a parameter polyline the caller has (changed in place):
// only the undefined coordinate of a flagged vertex changes, and a lone pole
// vertex is split, its successors' points, weights and knots moving one
// place up (the first and last knots stay). A polyline with no flagged
// vertex, with every vertex flagged or without vertices is left as it is.
// 0 for a null or unusable surface, a polyline without arrays or a failed
// resize (the polyline then unchanged), else 1.
int ratBSplSurfRepairPoleParams(RatBSplSurf* surface, RatBSplCurve* polyline);

// ---------------------------------------------------------------------------
// Curves on a surface: x and y of the curve's points are knot values (u, v);
// the space curve is S(x(s), y(s)). s is the curve's normalised parameter.

// Space point and tangent (with respect to the curve's knot parameter);
// 0 for a null surface or curve.
int ratBSplSurfCurvePoint(RatBSplSurf* surface, RatBSplCurve* curve, double s, double* point, double* tangent);
// The same and the unit surface normal (unscaled when shorter than 1e-10).
int ratBSplSurfCurveFrame(RatBSplSurf* surface, RatBSplCurve* curve, double s, double* point, double* tangent,
                          double* normal);
// The knot value of the curve's point nearest to the point, when that lies
// within max(1e-4, surface tolerance) or closer than 0.075 (an end within
// the tolerance is taken at once). 0 when none is found (kind 3) or the
// curve's knots are not sorted and finite.
int ratBSplSurfCurveParamOfPoint(RatBSplSurf* surface, RatBSplCurve* curve, const double* point, double* param);
// Replaces the caller's curve by its part between the two points; 0, and the
// curve kept, when a point is not found or the cut fails.
int ratBSplSurfCurveCut(RatBSplSurf* surface, RatBSplCurve** curve, const double* first, const double* second);
