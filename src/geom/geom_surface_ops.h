// Operations on whole surfaces built on the surface record: knot
// multiplicities and re-spacing, shape queries on the control net, in-place
// transforms, bicubic patches, and the constructors of standard shapes
// (planes, bilinear patches, cones and cylinders, spheres, tori, surfaces of
// revolution, bicubic patch grids).
#pragma once

#include "geom/geom_base.h"
#include "geom/geom_curve.h"
#include "geom/geom_surface.h"

// ---------------------------------------------------------------------------
// Knot multiplicities and re-spacing (plain arrays; the caller provides them)

// Distinct values of a knot vector with the length of each run; returns the
// number of distinct values.
int knotValuesAndMultiplicities(const double* knots, int n, double* values, int* multiplicities);
// lengths[0] is the total length, lengths[i] the length of the piece between
// u[i - 1] and u[i]; d[i] receives the width change of that piece. 0 when the
// total length or the parameter range is too small.
int knotSpacingCorrections(const double* u, int n, int k, const int* multiplicities, const double* lengths,
                           double* d);
// Adds the running sum of the corrections and scales back to the old range
// about the first value.
int applyKnotSpacingCorrections(double* u, int n, const double* d);
int expandKnotMultiplicities(const double* values, int n, const int* multiplicities, double* knots);

// ---------------------------------------------------------------------------
// Shape queries (control net and a few samples)

void ratBSplSurfDomainInfo(const RatBSplSurf* surface, double* umin, double* umax, double* vmin, double* vmax,
                           int* closedU, int* closedV);
// Bounds of edges that collapse to a point keep their knot value; the others
// become -1e10 (lower) or 1e10 (upper).
void ratBSplSurfPoleParams(const RatBSplSurf* surface, double* umin, double* umax, double* vmin, double* vmax);
int ratBSplSurfIsPlane(RatBSplSurf* surface, double* point, double* normal, double* xDir);
int ratBSplSurfIsRuled(const RatBSplSurf* surface, double tol, RatBSplCurve** first, RatBSplCurve** second,
                       double* maxDev);
int ratBSplSurfFindRuled(const RatBSplSurf* surface, double tol, RatBSplCurve** first, RatBSplCurve** second,
                         double* maxDev);
int ratBSplSurfCountCollapsedLines(const RatBSplSurf* surface, int* rows, int* columns);
// frame: origin, x, y, z axis (twelve doubles); min and max are widened.
void ratBSplSurfBoxInFrame(const RatBSplSurf* surface, const double* frame, double* minCorner, double* maxCorner);
int ratBSplSurfPolygonLengths(const RatBSplSurf* surface, char direction, int n, const int* multiplicities,
                              double* lengths);
void ratBSplSurfSpeedFactors(RatBSplSurf* surface, double* factorU, double* factorV);
void ratBSplSurfSpeedFactorsClamped(RatBSplSurf* surface, double lower, double upper, double* factorU,
                                    double* factorV);
int ratBSplSurfNextKinkKnot(RatBSplSurf* surface, char direction, int* index);
// window: u start, v start, u end, v end (normalised).
int ratBSplSurfNextPatchForPoint(const RatBSplSurf* surface, int* uSpan, int* vSpan, const double* point,
                                 double* window);

// ---------------------------------------------------------------------------
// Transforms, knot spacing and bicubic patches

// Every entry of the net becomes s * (R * P) + T; R is 3x3 row by row.
void ratBSplSurfTransformScaled(RatBSplSurf* surface, const double* R, const double* T, double s);
// Applies the affine 3x4 matrix M (three rows of four) to every entry.
void ratBSplSurfTransform(RatBSplSurf* surface, const double* M);
int ratBSplSurfScalePoints(RatBSplSurf* surface, double factor); // 0
void ratBSplSurfScaleKnots(RatBSplSurf* surface, double factorU, double factorV);
// 0 when a direction fails; a direction whose new knots would not be finite
// and non-decreasing keeps its knots.
int ratBSplSurfRespaceKnots(RatBSplSurf* surface);
// coefficients: a(i, j) at index i + 4j, i the power of s, j the power of t.
int bicubicPatchToBezier(double ulo, double uhi, double vlo, double vhi, const GeomVec3* coefficients,
                         GeomVec3* points, double* weights, double* knotsU, double* knotsV);
GeomPoint powerPatchPoint(double s, double t, const GeomVec3* coefficients);
GeomPoint powerPatchDerivS(double s, double t, const GeomVec3* coefficients);
GeomPoint powerPatchDerivT(double s, double t, const GeomVec3* coefficients);
GeomPoint powerPatchDerivST(double s, double t, const GeomVec3* coefficients);

// ---------------------------------------------------------------------------
// Constructors of standard shapes. Each returns a new surface (the caller
// frees it with ratBSplSurfFree) or null; degenerate input (a zero axis or
// radius where one is needed) gives null.

RatBSplSurf* ratBSplSurfFromArrays(int ordu, int ordv, int noPointsu, int noPointsv, const double* knotsU,
                                   const double* knotsV, const GeomVec3* points, const double* weights,
                                   short transposed, short closedU, short closedV);
int ratBSplSurfCheckParams(int ordu, int ordv, int noPointsu, int noPointsv, const double* knotsU,
                           const double* knotsV, const GeomVec3* points);
RatBSplSurf* ratBSplSurfBilinear(const double* p00, const double* p01, const double* p10, const double* p11);
RatBSplSurf* ratBSplSurfPlaneOverBox(const double* P, const double* N, const double* bmin, const double* bmax);
// The ellipse P + cos(phi) X + sin(phi) Y widened by a / b per unit of height
// along A (a = 0: cylinder), between the heights h0 and h1.
RatBSplSurf* ratBSplSurfConeBetweenHeights(const double* P, const double* A, const double* X, const double* Y,
                                           double a, double b, double h0, double h1);
RatBSplSurf* ratBSplSurfConeOverBox(const double* P, const double* A, const double* X, const double* Y, double a,
                                    double b, const double* bmin, const double* bmax);
RatBSplSurf* ratBSplSurfConeFromRadius(const double* P, const double* A, double r, double s, double a, double b,
                                       const double* bmin, const double* bmax);
RatBSplSurf* ratBSplSurfSphere4(const double* O, double r, const double* A, const double* B, const double* Z);
RatBSplSurf* ratBSplSurfSphere3(const double* O, double r, const double* A, const double* B, const double* Z);
// V3 the axis, V1 the radial direction of the profile plane, V2 the third.
RatBSplSurf* ratBSplSurfTorus(const double* O, const double* V1, const double* V2, const double* V3, double R,
                              double r);
// A profile without a readable domain (ratBSplCurveHasSpans) and, for the
// arc, a sweep of more than one turn give null and GEOM_ERR_ARGUMENT.
RatBSplSurf* ratBSplSurfRevolveCurve(const double* P, const double* A, const RatBSplCurve* curve);
RatBSplSurf* ratBSplSurfRevolveCurveArc(const double* P, const double* A, const RatBSplCurve* curve, double a0,
                                        double a1);
// coefficients: 16 triples per patch, patch (i, j) from triple (i * nV + j) * 16.
// Patch counts whose knot counts 4 n + 4 exceed 32 bits: null, GEOM_ERR_ARGUMENT.
RatBSplSurf* ratBSplSurfFromBicubicPatches(int nU, int nV, const double* U, const double* V,
                                           const GeomVec3* coefficients);
RatBSplSurf* ratBSplSurfFromBicubicPatchesTol(int nU, int nV, const double* U, const double* V,
                                              const GeomVec3* coefficients, double tol);
