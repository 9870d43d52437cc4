// Operations on whole curves built on the curve record: measures and shape
// tests, linearisation within a tolerance, arc fits of polylines and curves,
// and the rational quadratic pieces of circles, arcs and conics.
#pragma once

#include "geom/geom_base.h"
#include "geom/geom_curve.h"
#include "geom/geom_surface.h"

// ---------------------------------------------------------------------------
// Curve measures and shape tests (control polygon only, except the length
// ratio, which samples the curve). A pair is two triples: start, then end.

int ratBSplCurveIsPoint(const RatBSplCurve* curve, double* point, double tol);
int ratBSplCurveIsPointDefault(const RatBSplCurve* curve, double* point);
int ratBSplCurveIsLineExact(const RatBSplCurve* curve, double* pair);
int ratBSplCurveIsLine(const RatBSplCurve* curve, double tol, double* pair);
int ratBSplCurveIsLineSpan(const RatBSplCurve* curve, double tol, double* pair);
double ratBSplCurvePolygonLength(const RatBSplCurve* curve);
// A curve without a readable domain (ratBSplCurveHasSpans): outputs untouched,
// GEOM_ERR_ARGUMENT.
void ratBSplCurveRangeAndClosed(const RatBSplCurve* curve, double* start, double* end, int* closed);
// Estimated curve length per unit of knot parameter, at least 0.05; 1.0 (and
// GEOM_ERR_ARGUMENT) for a curve without a readable domain.
void ratBSplCurveLengthRatio(RatBSplCurve* curve, double* ratio);
int ratBSplCurveScalePoints(RatBSplCurve* curve, double factor); // always 0
void ratBSplCurveScaleKnots(RatBSplCurve* curve, double factor);
// Joins b to the end of a (b is not changed); 0 when refused.
int ratBSplCurveAppend(RatBSplCurve* a, const RatBSplCurve* b);

// ---------------------------------------------------------------------------
// Arc fit of a polyline

struct ArcFitResult {
    int kind;            // 0 for an arc of the fits
    GeomVec3 start;
    GeomVec3 centre;
    GeomVec3 end;        // equals start for a full circle
    GeomVec3 normal;     // unit normal, oriented by the turning direction
};

// 0 for a NaN tolerance, a point without coordinates or a radius that overflows.
int fitArcToPolyline(const GeomVec3* points, int n, double tol, unsigned char checkChords,
                     double chordTol, double maxRadius, ArcFitResult* result, double* maxDev);
int fitArcToPolylineLimit(const GeomVec3* points, int n, double tol, unsigned char checkChords,
                          double chordTol, double maxRadius, ArcFitResult* result);
int fitArcToPolylineChord(const GeomVec3* points, int n, double tol, unsigned char checkChords,
                          double chordTol, ArcFitResult* result);
int fitArcToPolylineFlag(const GeomVec3* points, int n, double tol, unsigned char checkChords,
                         ArcFitResult* result);
int fitArcToPolylineDefault(const GeomVec3* points, int n, double tol, ArcFitResult* result);
// Index 0 sets the arc closure tolerance (initially 1e-6) and returns the
// previous value; any other index changes nothing and returns -1e11.
double geomSetArcTolerance(int index, double value);

// ---------------------------------------------------------------------------
// Curve linearisers

struct CurveLinearizer;

// Point of the curve at a normalised parameter; returns out.
typedef double* (*CurveEvaluatorFn)(double* out, double t);
// Deviation of the chord (t0, p0)-(t1, p1) from the curve, from m samples.
typedef double (*CurveDeviationFn)(CurveLinearizer* lin, double t0, const double* p0, double t1,
                                   const double* p1, int m);
// A caller's point function: 0 on success.
typedef int (*CurvePointCallback)(void* context, double t, double* out);

struct CurveLinearizer {
    const char* name;              // "CurveLinearizer"
    CurveEvaluatorFn evaluator;
    CurveDeviationFn deviation;
    double tolerance;
    int capacity;                  // 0 after a failed init
    int count;
    double* x;
    double* y;
    double* z;
    double* t;
    double* segDeviation;
    int* insertCount;              // >0 split, 0 done, <0 measure again
    double maxDeviation;
    double rangeStart;
    double rangeEnd;
    void (*destroy)(CurveLinearizer* lin);
};

struct NurbCurveLinearizer : CurveLinearizer {   // name "NurbCurveLinearizer"
    RatBSplCurve* curve;                        // not owned
};

void curveLinearizerInit(CurveLinearizer* lin, int capacity);
CurveLinearizer* curveLinearizerCreate(int capacity);
void curveLinearizerDestroy(CurveLinearizer* lin);
void curveLinearizerFree(CurveLinearizer* lin);
int curveLinearizerStartRange(CurveLinearizer* lin, CurveEvaluatorFn evaluator, CurveDeviationFn deviation,
                              double rangeStart, double rangeEnd, double tolerance);
int curveLinearizerStart(CurveLinearizer* lin, CurveEvaluatorFn evaluator, CurveDeviationFn deviation,
                         double tolerance);
int curveLinearizerRefine(CurveLinearizer* lin);
RatBSplCurve* curveLinearizerToCurve(const CurveLinearizer* lin);

void nurbCurveLinearizerInit(NurbCurveLinearizer* lin, int capacity);
NurbCurveLinearizer* nurbCurveLinearizerCreate(int capacity);
void nurbCurveLinearizerDestroy(CurveLinearizer* lin);
int nurbCurveLinearizerSetCurve(NurbCurveLinearizer* lin, RatBSplCurve* curve, double tolerance);
// Starts with the knot domain rescaled by the curve's length ratio; the
// curve itself is not changed.
int nurbCurveLinearizerSetCurveScaled(NurbCurveLinearizer* lin, RatBSplCurve* curve, double tolerance);
int nurbCurveLinearizerSeedKnots(NurbCurveLinearizer* lin, double tolerance);

// Curves of order 3 or more without a readable domain (and, on a surface, a
// surface without one): null and GEOM_ERR_ARGUMENT. The scaled variant leaves
// the caller's curve with its knots rescaled by the length ratio.
RatBSplCurve* nurbCurveLinearize(RatBSplCurve* curve, double tolerance, double* maxDeviation);
RatBSplCurve* nurbCurveLinearizeScaled(RatBSplCurve* curve, double tolerance, double* maxDeviation);
RatBSplCurve* linearizeEvaluator(CurveEvaluatorFn evaluator, CurveDeviationFn deviation, double tolerance,
                                 double* maxDeviation);
RatBSplCurve* linearizeEvaluatorDefault(CurveEvaluatorFn evaluator, double tolerance, double* maxDeviation);
// Null when the callback fails at any parameter the lineariser asks for.
RatBSplCurve* linearizeCallback(void* context, CurvePointCallback fn, CurveDeviationFn deviation,
                                double tolerance, double* maxDeviation);
RatBSplCurve* surfCurveLinearize(RatBSplCurve* paramCurve, RatBSplSurf* surface, double offset,
                                 double tolerance, double* maxDeviation);
RatBSplCurve* surfCurveLinearizeParam(RatBSplCurve* paramCurve, RatBSplSurf* surface, double offset,
                                      double tolerance, double* maxDeviation);

// Evaluators over the module-wide slots; empty slots give (0, 0, 0).
double* nurbCurveEvalCurrent(double* out, double t);
double* surfCurveEvalCurrent(double* out, double t);
double* offsetSurfCurveEvalCurrent(double* out, double t);
double* callbackEvalCurrent(double* out, double t);

double chordDeviation(CurveLinearizer* lin, double t0, const double* p0, double t1, const double* p1, int m);
double chordDeviationScaled(CurveLinearizer* lin, double t0, const double* p0, double t1, const double* p1,
                            int m);
double chordLineDeviation(CurveLinearizer* lin, double t0, const double* p0, double t1, const double* p1,
                          int m);
double surfChordDeviation(CurveLinearizer* lin, double t0, const double* p0, double t1, const double* p1,
                          int m);
double offsetSurfChordDeviation(CurveLinearizer* lin, double t0, const double* p0, double t1,
                                const double* p1, int m);

// ---------------------------------------------------------------------------
// Arc test of a curve

// 0 for a NaN tolerance; 0 and GEOM_ERR_ARGUMENT for a curve without a
// readable domain.
int ratBSplCurveFitArc(RatBSplCurve* curve, double tol, int nSamples, double chordTol, unsigned char checkChords,
                       double maxRadius, ArcFitResult* result, double* maxDev);
int ratBSplCurveFitArcChord(RatBSplCurve* curve, double tol, int nSamples, double chordTol,
                            unsigned char checkChords, ArcFitResult* result);
int ratBSplCurveFitArcFlag(RatBSplCurve* curve, double tol, int nSamples, unsigned char checkChords,
                           ArcFitResult* result);
int ratBSplCurveFitArcSampled(RatBSplCurve* curve, double tol, ArcFitResult* result);
int ratBSplCurveFitArcLinearized(RatBSplCurve* curve, double tol, ArcFitResult* result);
int ratBSplCurveIsArc(const RatBSplCurve* curve, ArcFitResult* result);
int ratBSplPieceIsArc(const RatBSplCurve* curve, ArcFitResult* result, int i);
// One rational quadratic piece of the ellipse O + cos(phi) X + sin(phi) Y from
// A to B: three points (nine doubles) and the weights 1, w, 1.
void ellipseArcToConicPiece(const double* O, const double* X, const double* Y, const double* A, const double* B,
                            GeomVec3* outPoints, double* outWeights);

// ---------------------------------------------------------------------------
// Circle, arc and conic pieces. Each writes exactly the entries stated.

void fullCircleFourPieces(const double* O, const double* X, const double* Y, GeomVec3* points, double* weights,
                          double* knots);            // 12 points, 15 knots
void fullCircleThreePieces(const double* O, const double* X, const double* Y, GeomVec3* points, double* weights,
                           double* knots);           // 9 points, 12 knots
void fullCircleThreePiecesShared(const double* O, const double* X, const double* Y, GeomVec3* points,
                                 double* weights, double* knots); // 7 points, 10 knots
// N pieces from angle a0 to a1: 3N points and weights, 3N + 3 knots (knots
// may be null). N = 0 writes only the knots 0, 0, 0; N < 0 writes nothing.
void arcPiecesByAngles(const double* O, const double* X, const double* Y, double a0, double a1, int N,
                       GeomVec3* points, double* weights, double* knots);
void arcPiecesBetweenVectors(const double* O, int shortWay, const double* A, const double* B, const double* normal,
                             int N, GeomVec3* points, double* weights, double* knots);
void arcPiecesBetweenVectorsAuto(const double* O, int shortWay, const double* A, const double* B, int N,
                                 GeomVec3* points, double* weights, double* knots);
int conic2dPiece(double a, double b, double c, double d, double e, double f, double x0, double y0, double x1,
                 double y1, GeomVec3* points, double* weights, double* knots);
int cubicToBezierPiece(double u0, double u1, const GeomVec3* coefficients, GeomVec3* points, double* weights,
                       double* knots);
// 1 when the point was reached within 1e-6, 0 when the search ran out; the
// out parameter holds the last step either way.
int conicPieceParamAtPoint(const GeomVec3* piecePoints, const double* pieceWeights, const double* Q, double* t);
