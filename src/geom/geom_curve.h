// The rational B-spline curve record, the span-level B-spline evaluators it
// is built on, and the curve point and derivative at a normalised parameter.
#pragma once

#include "geom/geom_base.h"

// Rational B-spline curve. `noPoints` counts knots: the curve has
// `noPoints` - `ord` control points, and every per-point array holds
// `noPoints` entries (the last `ord` of points and weights are spare).
// The field order is fixed.
struct RatBSplCurve {
    const char* name;          // "RatBSplCurve"
    int ord;                   // degree + 1
    int noPoints;              // number of knots
    GeomVec3* points;          // control points, not multiplied by their weights
    double* weights;
    double* knots;             // non-decreasing
    int period;                // periodic curve: control points per period
    double knotRange;          // periodic curve: parameter length of one period
    int multPts;
    GeomVec3* workPoints;      // evaluation scratch, noPoints + 2 entries
    double* workWeights;       // evaluation scratch, noPoints + 2 entries
    int isRational;
    int isClosed;
    int isPeriodic;
    int origForm;              // 1 open form, 2 closed form, 0 not set
    void (*destroy)(RatBSplCurve* curve);
    void (*print)(RatBSplCurve* curve);
};

// Record life cycle
void ratBSplCurveInit(RatBSplCurve* curve);
RatBSplCurve* ratBSplCurveCreate(int ord, int noPoints);
void ratBSplCurveDestroy(RatBSplCurve* curve);
void ratBSplCurveFree(RatBSplCurve* curve);
// All five arrays change together: on failure the curve is left as it was.
int ratBSplCurveResize(RatBSplCurve* curve, int noPoints);
RatBSplCurve* ratBSplCurveCopy(const RatBSplCurve* curve);
// Appends a text dump to "rbsptmp.out" in the current folder.
void ratBSplCurvePrint(RatBSplCurve* curve);
void ratBSplCurveCallPrint(RatBSplCurve* curve);

// 1 when the record can be evaluated and its domain read: its arrays are
// there, its order is at least 1, it holds the 2 ord knots of one span (so
// knots[ord - 1] and knots[noPoints - ord] exist) and its knots are finite
// and do not decrease; else 0. Operations that read a caller's curve as a
// whole refuse other records.
int ratBSplCurveHasSpans(const RatBSplCurve* curve);
// Control points of the record: noPoints - ord, or 0 for an order below 1
// (which would claim more points than the arrays hold) or a null curve.
int ratBSplCurveControlCount(const RatBSplCurve* curve);

// Small edits
void ratBSplCurveSetPoint(RatBSplCurve* curve, int i, double x, double y, double z);
void ratBSplCurveSetWeight(RatBSplCurve* curve, int i, double w);
void ratBSplCurveSetKnot(RatBSplCurve* curve, int i, double k);
void ratBSplCurveTranslate(RatBSplCurve* curve, double dx, double dy, double dz);
void ratBSplCurveReverse(RatBSplCurve* curve);
void ratBSplCurveBoundingBox(const RatBSplCurve* curve, double* minCorner, double* maxCorner);
// 0, or 6155 for a null curve.
int ratBSplCurveGetPoints(const RatBSplCurve* curve, char flag2d, double* out);
// Every control point P becomes s * (R * P) + T; R is 3x3 row by row.
void ratBSplCurveTransformScaled(RatBSplCurve* curve, const double* R, const double* T,
                                 double s);
// Applies the 3x4 matrix M (three rows of four) to every control point.
void ratBSplCurveTransform(RatBSplCurve* curve, const double* M);

// ---------------------------------------------------------------------------
// Span-level evaluators on bare arrays (nothing is allocated).
// K: knots (m of them), k: order, s: span with K[s] <= t <= K[s + 1],
// t: knot-space parameter. workP needs k triples, workW 2k + 1 doubles.

// The span holding t, or -1.
int ratBSplCurveFindSpan(const double* K, int m, int k, double t);
double* ratBSplPointInSpan(double* out, const GeomVec3* P, const double* W, const double* K,
                           int k, int s, double t, GeomVec3* workP, double* workW,
                           double* outWeight);
double* ratBSplDerivInSpan(double* out, const GeomVec3* P, const double* W, const double* K,
                           int k, int s, double t, GeomVec3* workP, double* workW);
double* bsplPointInSpan(double* out, const GeomVec3* P, const double* K, int k, int s, double t,
                        GeomVec3* workP);
// Orders 1 .. GEOM_MAX_DERIV_ORDER; any output may be null.
void ratBSplDerivs2InSpan(const GeomVec3* P, const double* W, const double* K, int k, int s,
                          double t, GeomVec3* workP, double* workW, double* outPoint,
                          double* outD1, double* outD2);
// N, M (and M2) each need k + 1 entries.
void bsplBasisOrders2(const double* K, int k, int s, double t, double* N, double* M);
void bsplBasisOrders3(const double* K, int k, int s, double t, double* N, double* M1,
                      double* M2);
int findKnotIndex(const double* array, int n, double v, double tol);

// Largest order the second-derivative evaluator serves (its buffers hold 30).
enum { GEOM_MAX_DERIV_ORDER = 29 };

// ---------------------------------------------------------------------------
// Evaluation at a normalised parameter: 0 and 1 are the ends of the knot
// domain; outside [-1e-7, 1.0000001] t wraps on periodic or closed-form
// curves and is clamped otherwise.

GeomPoint ratBSplCurveEvalPoint(RatBSplCurve* curve, double t);
// First derivative with respect to the knot parameter.
GeomPoint ratBSplCurveEvalDeriv(RatBSplCurve* curve, double t);
