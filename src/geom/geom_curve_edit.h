// Curve constructors and the operations that re-shape a curve without
// changing it where it is kept: knot insertion, compatible curves, degree
// elevation, trimming and splitting, the parameter of a point, cutting at
// points, corners and arc-length tables.
//
// Operations that change the number of knots take the address of the
// caller's curve pointer; on success they release the old record and store
// the new one, on failure the caller keeps a valid curve. Reports go to the
// kernel's error reporting with the curve file number.
#pragma once

#include "geom/geom_base.h"
#include "geom/geom_curve.h"

// Largest order the knot insertion and the degree elevation serve: their
// local tables hold 29 entries.
enum { GEOM_MAX_EDIT_ORDER = 29 };

// ---------------------------------------------------------------------------
// Constructors. Every one returns a new curve the caller releases, or null
// (allocation failures are reported by ratBSplCurveCreate).

// `weights` may be null (all 1). With `scale` set the knots are multiplied
// so that their range follows the control polygon's length.
RatBSplCurve* ratBSplCurveFromKnots(int ord, int K, const double* knots, const GeomVec3* points,
                                    const double* weights, short closed, short scale);
RatBSplCurve* ratBSplCurveFromKnotsUnscaled(int ord, int K, const double* knots,
                                            const GeomVec3* points, const double* weights,
                                            short closed);
// `coords` holds n pairs (dim 2, z = 0) or n triples (dim 3); any other
// dimension, n < 2 or a null array gives null.
RatBSplCurve* ratBSplCurveFromPolyline(int n, const double* coords, short dim);
RatBSplCurve* ratBSplCurveFromLine(GeomPoint start, GeomPoint end);
// Full circle (or ellipse) O + cos(a) X + sin(a) Y in four quarter pieces.
RatBSplCurve* ratBSplCurveCircle(GeomPoint O, GeomPoint Y, GeomPoint X);
// Arc from the angle of S to the angle of E counter-clockwise in the X, Y
// frame; S = E gives a full turn with `fullCircle` set, an empty arc without.
RatBSplCurve* ratBSplCurveArcByAxes(GeomPoint O, GeomPoint Y, GeomPoint X, GeomPoint S,
                                    GeomPoint E, unsigned char fullCircle);
RatBSplCurve* ratBSplCurveArcByAxesOpen(GeomPoint O, GeomPoint Y, GeomPoint X, GeomPoint S,
                                        GeomPoint E);
// Arc from S about the axis N through O by a signed sweep; N is not changed.
// Sweeps of any size are split into pieces of at most a quarter turn.
// S on O gives the arc of radius 0, every control point at O, no report.
// A vanishing axis, or a sweep that is not finite or beyond 2000 turns,
// gives null with GEOM_ERR_ARGUMENT.
RatBSplCurve* ratBSplCurveArcByAngle(const double* O, const double* S, const double* N,
                                     double sweep);
enum {
    GEOM_CONIC_DEGENERATE = 0,
    GEOM_CONIC_ELLIPSE = 1,
    GEOM_CONIC_HYPERBOLA = 2,
    GEOM_CONIC_PARABOLA = 3
};
// The conic a x^2 + b xy + c y^2 + d x + e y + f = 0 from (x0, y0) to
// (x1, y1). A degenerate conic gives null with GEOM_ERR_ARGUMENT.
RatBSplCurve* ratBSplCurveConic2d(double a, double b, double c, double d, double e, double f,
                                  double x0, double y0, double x1, double y1, int* kind);
// Parabola arc with vertex V and focus F from S to E; null when V and F
// coincide or the points span no plane with the axis.
RatBSplCurve* ratBSplCurveParabola3d(const double* V, const double* F, const double* S,
                                     const double* E);
// n cubic pieces c0 + c1 s + c2 s^2 + c3 s^3 (s from 0 to the piece width)
// between n + 1 break parameters; `coefficients` holds 4n triples.
RatBSplCurve* ratBSplCurveFromCubicPieces(int n, const double* breaks,
                                          const GeomVec3* coefficients);

// ---------------------------------------------------------------------------
// Knot insertion and compatible curves

// Inserts u into bare arrays holding K knots and room for one more entry
// each. 1 inserted; 0 refused with the arrays unchanged: order above
// GEOM_MAX_EDIT_ORDER or u outside the knot domain (GEOM_ERR_ARGUMENT),
// vanishing new weight (GEOM_ERR_DIVISOR message).
int ratBSplCurveInsertKnotCore(int ord, int K, double* knots, double* weights, GeomVec3* points,
                               int isPeriodic, int period, double knotRange, double u);
// Replaces *curve by a record with one knot more; on failure *curve is kept.
int ratBSplCurveInsertKnot(RatBSplCurve** curve, double u);
// Gives both curves the same order, domain and knot vector. 0 refused
// (periodic or unusable input: GEOM_ERR_ARGUMENT) or failed; 1 the second
// curve was re-parametrised, 2 the first.
int ratBSplCurveMakeCompatible(RatBSplCurve** first, RatBSplCurve** second);

// ---------------------------------------------------------------------------
// Degree elevation

// Raises the Bezier piece ending at control point s from order k to k + 1
// in arrays holding n entries and room for one more. 0 for k above
// GEOM_MAX_EDIT_ORDER (GEOM_ERR_ARGUMENT) or a vanishing weight.
int ratBSplElevateBezierPiece(int k, int n, double* knots, double* weights, GeomVec3* points, int s);
// Raises the curve to degree g (order g + 1); the result is split into
// Bezier pieces and clamped at its ends. 0 with *curve untouched: null or
// unusable curve, g below the curve's degree + 1 (no report), periodic
// curve or g + 1 above GEOM_MAX_EDIT_ORDER (GEOM_ERR_ARGUMENT), allocation.
int ratBSplCurveElevateDegree(RatBSplCurve** curve, int g);

// ---------------------------------------------------------------------------
// Trimming, sub-curves and splitting (knot values except for the split).
// A cut that fails leaves the caller's curve as it was, byte for byte.

enum { GEOM_TRIM_KEEP_AFTER = 0, GEOM_TRIM_KEEP_BEFORE = 1 };

// Keeps the part before (side 1) or after (side 0) u. 0 for a null, unusable
// or periodic curve, a failed insertion, or when the kept part would be the
// whole clamped curve (nothing is cut).
int ratBSplCurveTrim(RatBSplCurve** curve, double u, int side);
// The part between u1 and u2 (either order). 1 done, 0 failed.
int ratBSplCurveSubCurve(RatBSplCurve** curve, double u1, double u2);
// The part from u1 to u2 of a closed non-periodic curve, across its seam
// when u2 < u1; an end on the domain end counts as the start. 0 for null,
// periodic or unusable input and failures, among them an end outside the
// domain, which the knot insertion refuses (GEOM_ERR_ARGUMENT).
int ratBSplCurveSubCurveClosed(RatBSplCurve** curve, double u1, double u2);
// The same for a periodic curve; 0 for null, non-periodic or unusable input.
int ratBSplCurveSubCurvePeriodic(RatBSplCurve** curve, double u1, double u2);
// Splits at the normalised t into two new curves the caller releases; t
// within 1e-12 (in knot values) of an end gives a point curve and a copy.
// 0 with both outputs null: null, unusable or periodic curve or NaN t
// (GEOM_ERR_ARGUMENT), t outside [0, 1] (refused by the knot insertion,
// GEOM_ERR_ARGUMENT), allocation failures.
int ratBSplCurveSplit(RatBSplCurve* curve, double t, RatBSplCurve** first, RatBSplCurve** second);
// Moves the seam of a periodic curve by `shift` control points. 1 done or
// nothing to do (null or non-periodic curve, shift 0); 0 on allocation
// failure or an inconsistent periodic description (GEOM_ERR_ARGUMENT).
int ratBSplCurveShiftSeam(RatBSplCurve** curve, int shift);

// ---------------------------------------------------------------------------
// Parameter of a point on a curve (knot values)

// Largest knot count the subdivision searches refine to.
enum { GEOM_SUBDIVISION_CAPACITY = 2000 };
enum { GEOM_PARAM_NONE = 0, GEOM_PARAM_FOUND = 1 };

// Non-rational subdivision search. Returns 1 when u was written (a span
// midpoint came nearer than any before), 0 otherwise; refusals (order 30 or
// more, 1500 knots or more, unusable curve) report GEOM_ERR_ARGUMENT.
int ratBSplCurveParamBySubdivision(RatBSplCurve* curve, GeomPoint P, double* u);
// Rational subdivision search on bare arrays: 1 when a midpoint within
// 0.001 of P was found and written to u, 0 otherwise.
int ratBSplCurveParamBySubdivisionRational(const GeomVec3* points, const double* weights,
                                           const double* knots, int ord, int K, GeomPoint P,
                                           double* u);
// The nearest point of the curve: an end within 1e-6, else every span
// searched from samples. 1 done; 0 for a null or unusable curve or knots
// that are not finite and sorted (ratBSplCurveHasSpans).
int ratBSplCurveProjectPoint(RatBSplCurve* curve, GeomPoint P, double* u, double* distance);
// The foot point downhill from a start value (outside the domain: the
// nearest of 2 ord samples a span); an end within tol is taken at once.
// 0 as for ratBSplCurveProjectPoint; a curve evaluating to NaN ends the
// search at the start.
int ratBSplCurveProjectPointFrom(RatBSplCurve* curve, GeomPoint P, double tol, double* u,
                                 double* distance);

// ---------------------------------------------------------------------------
// Cutting curves at points and trimming two curves to each other

enum {
    GEOM_CUT_START_MOVED = -1,
    GEOM_CUT_NOTHING = 0,
    GEOM_CUT_END_MOVED = 1,
    GEOM_CUT_BOTH_MOVED = 2
};

// Cuts *curve to run from the point nearest A to the point nearest B (either
// may be null). Parts shorter than 0.0001 in parameter collapse to a point
// (or a line with `asLine`) unless `keepShort` is set.
int ratBSplCurveCutAtPoints(RatBSplCurve** curve, const double* A, const double* B,
                            unsigned char keepShort, unsigned char asLine);
int ratBSplCurveCutBetween(RatBSplCurve** curve, const double* A, const double* B);
// The second entry point of the same cut; `unused` is ignored.
int ratBSplCurveCutBetweenEx(RatBSplCurve** curve, const double* A, const double* B, int unused);
// Trims two open curves back to where they meet or come closest (followed
// from their nearest ends, else the closest pair of their points). 1 both
// trimmed, 0 nothing done; `distance` receives the closest distance found.
int ratBSplCurveTrimToEachOther(RatBSplCurve** first, RatBSplCurve** second, double tol,
                                double* distance);

// ---------------------------------------------------------------------------
// Corners, curve pieces and the arc-length table

// 1 with index at the last knot of a corner's (or gap's) knot value after
// the given index, 0 when there is none. With tol 0 or below every knot value
// repeated ord - 1 times or more counts, also one that reaches the domain's
// end; with a positive tol such a run at the end has no span after it to be
// compared with and is passed over.
int ratBSplCurveFindCorner(RatBSplCurve* curve, double tol, int* index);

struct CurvePieceWalker {
    RatBSplCurve* curve;   // not owned
    double tol;
    double minLength;
    double totalLength;
    double usedLength;
    int index;
};

int curvePieceWalkerInit(RatBSplCurve* curve, double tol, double minLength, CurvePieceWalker* walker);
// 1 with a new piece the caller releases, 0 when the curve is used up or a
// piece could not be made.
int curvePieceWalkerNext(CurvePieceWalker* walker, RatBSplCurve** piece);

// Most samples the arc-length table holds.
enum { GEOM_ARC_TABLE_CAPACITY = 10000 };

// Order-2 curves mapping parameter to length, length to parameter and the
// sampled polyline (each output may be null). 1 success; 0 for a null or
// unusable curve, a tolerance that is not positive (GEOM_ERR_ARGUMENT),
// too many corners or a failed allocation.
int ratBSplCurveArcLengthTable(RatBSplCurve* curve, double tol, unsigned char normalised,
                               RatBSplCurve** paramToLength, RatBSplCurve** lengthToParam,
                               RatBSplCurve** polyline, double* maxErr);
