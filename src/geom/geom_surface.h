// The rational B-spline surface record, its evaluation (point, derivatives,
// normal, curvature), the nearest-point solver and the curves through a
// control row or column.
//
// Normalised parameters u and v run from 0 to 1 over the knot domain; outside
// [-1e-7, 1.0000001] a direction wraps when it is periodic or of closed form
// and is clamped otherwise. Derivatives are taken with respect to the knot
// parameters. Evaluation writes the record's scratch arrays and allocates
// nothing, so one surface serves one evaluation at a time.
#pragma once

#include "geom/geom_base.h"
#include "geom/geom_curve.h"

// Rational B-spline surface. The field order and widths are shared with the
// host's face library, which hands out records of this layout.
// `noPointsu` and `noPointsv` count knots: the net has `noPointsu` - `ordu`
// rows and `noPointsv` - `ordv` columns inside a `noPointsu` x `noPointsv`
// array (entry (i, j) at i * `noPointsv` + j; the other entries are spare).
struct RatBSplSurf {
    const char* name;          // "RatBSplSurf"
    int ordu;
    int ordv;
    int noPointsu;             // knots in u, rows of points and weights
    int noPointsv;             // knots in v, columns of points and weights
    GeomVec3* points;          // control net, not multiplied by the weights
    double* weights;
    double* knotsu;
    double* knotsv;
    GeomVec3* rowPoints;       // scratch, max(noPointsu, noPointsv) entries
    GeomVec3* workPoints;      // scratch, max(noPointsu, noPointsv) entries
    double* rowWeights;        // scratch, max(noPointsu, noPointsv) + 2 entries
    double* workWeights;       // scratch, max(noPointsu, noPointsv) + 2 entries
    int periodicu;
    int periodicv;
    int isRational;
    int periodu;
    double knotRangeu;
    int multPtsu;
    int periodv;
    double knotRangev;
    int multPtsv;
    int origFormu;             // 1 open, 2 closed form, 0 not set
    int origFormv;
    double tolerance;
    int isOffsetSurf;
    double offset;             // along the oriented normal
    signed char nrmOri;        // +1: normal is Su x Sv, -1: the opposite
    void (*destroy)(RatBSplSurf* surface);
    void (*print)(RatBSplSurf* surface);
};

// ---------------------------------------------------------------------------
// Record life cycle and small accessors

void ratBSplSurfInit(RatBSplSurf* surface);
// 1 when the record can be evaluated and its domain read: its arrays are
// there, its orders are at least 1, it holds the 2 ord knots of one span in
// each direction and its knots are finite and do not decrease; else 0.
int ratBSplSurfHasSpans(const RatBSplSurf* surface);
// Control rows (noPointsu - ordu) and columns (noPointsv - ordv) of the net,
// or 0 for an order below 1 (which would claim more than the arrays hold).
int ratBSplSurfControlRows(const RatBSplSurf* surface);
int ratBSplSurfControlColumns(const RatBSplSurf* surface);
// Knot counts, not control-point counts; null when an allocation fails.
RatBSplSurf* ratBSplSurfCreate(int ordu, int ordv, int noPointsu, int noPointsv);
void ratBSplSurfDestroy(RatBSplSurf* surface);
void ratBSplSurfFree(RatBSplSurf* surface);
// Deep copy; the copy's tolerance is 0.0.
RatBSplSurf* ratBSplSurfCopy(const RatBSplSurf* surface);
// u and v exchanged; the result has nrmOri 1 and tolerance 0.0.
RatBSplSurf* ratBSplSurfTranspose(const RatBSplSurf* surface);
// Text dumps to standard output.
void ratBSplSurfPrint(RatBSplSurf* surface);
void ratBSplSurfPrintTransposed(RatBSplSurf* surface);
void ratBSplSurfCallPrint(RatBSplSurf* surface);

void ratBSplSurfSetPoint(RatBSplSurf* surface, int i, int j, double x, double y, double z);
void ratBSplSurfSetWeight(RatBSplSurf* surface, int i, int j, double w);
void ratBSplSurfSetKnotU(RatBSplSurf* surface, int i, double k);
void ratBSplSurfSetKnotV(RatBSplSurf* surface, int j, double k);
// isOffsetSurf follows |offset| > 1e-7.
void ratBSplSurfAddOffset(RatBSplSurf* surface, double d);
void ratBSplSurfTestClosed(const RatBSplSurf* surface, int* closedU, int* closedV);
void ratBSplSurfTestClosedTol(const RatBSplSurf* surface, double tol, int* closedU,
                              int* closedV);
// Control net without spare entries, row by row (column by column when
// transposed); 0, or 5063 (points) / 5138 (weights) for a null surface.
int ratBSplSurfGetPoints(const RatBSplSurf* surface, char transposed, double* out);
int ratBSplSurfGetWeights(const RatBSplSurf* surface, char transposed, double* out);
int ratBSplSurfHasWeights(const RatBSplSurf* surface);

// ---------------------------------------------------------------------------
// Evaluation

// Largest order that the derivative and curvature evaluations serve.
enum { GEOM_MAX_SURF_DERIV_ORDER = 29 };

// Vanishing weight sums (below 1e-12 in magnitude), reported as kind 5 and
// never stored as the last error: the evaluations report each row of the
// ordu x ordv patch whose weights sum to 0 along v, or column along u, as
// named below. Such a line's weighted points still count, so the point is
// the surface's true rational point; only a vanishing sum of the whole
// patch gives the origin (and zero derivatives).

// Point at normalised (u, v). Reports each vanishing row sum, then a
// vanishing patch sum (the origin).
GeomPoint ratBSplSurfEvalPoint(RatBSplSurf* surface, double u, double v);
// Point, first and second derivatives along u and v and the normal curvatures
// (sign relative to Su x Sv). All outputs are required. Reports each
// vanishing row sum and each vanishing column sum; a vanishing patch sum
// gives zeros without a report of its own.
GeomPoint ratBSplSurfEvalPointNormal(RatBSplSurf* surface, double u, double v, double* Su,
                                     double* Suu, double* Sv, double* Svv, double* kU,
                                     double* kV);
// The same at knot-space parameters in known spans; every output may be null.
// Reports as ratBSplSurfEvalPointNormal.
GeomPoint ratBSplSurfEvalAtSpans(RatBSplSurf* surface, int su, int sv, double U, double V,
                                 double* Su, double* Suu, double* Sv, double* Svv, double* kU,
                                 double* kV);

// First derivatives with respect to the knot values. Each reports its
// vanishing row (u) or column (v) sums, then a vanishing patch sum (a zero
// vector).
GeomPoint ratBSplSurfEvalDerivU(RatBSplSurf* surface, double u, double v);
GeomPoint ratBSplSurfEvalDerivV(RatBSplSurf* surface, double u, double v);
// Su x Sv of unit length unless shorter than 1e-10.
GeomPoint ratBSplSurfEvalNormal(RatBSplSurf* surface, double u, double v);
// The point moved by `offset` along the normal when isOffsetSurf is set.
GeomPoint ratBSplSurfEvalOffsetPoint(RatBSplSurf* surface, double u, double v);

// ---------------------------------------------------------------------------
// Nearest point

// Values of the start parameters at or below this stand for "no start".
constexpr double GEOM_NO_START_PARAM = -1e10;

struct PointInverter {
    const char* name;          // "PointInverter"
    RatBSplSurf* surface;      // not owned
    GeomVec3 point;            // the point whose nearest surface point is sought
    GeomVec3 nearest;          // surface point at (bestU, bestV)
    double startDistance;
    double distance;           // |point - nearest|
    double u;                  // normalised parameters of the next step
    double bestU;
    double v;
    double bestV;
    int retryDepth;
    void (*destroy)(PointInverter* inverter);
};

// Line-search tables: fractions tried within one scale, and the scales.
extern const double stepFractions[];
extern const int stepFractionsCount;
extern const double stepScales[];
extern const int stepScalesCount;

void pointInverterInit(PointInverter* inverter);
PointInverter* pointInverterCreate();
void pointInverterDestroy(PointInverter* inverter);
void pointInverterFree(PointInverter* inverter);
// Start values are normalised; GEOM_NO_START_PARAM or less searches a grid.
// A start outside [0, 1] begins where the evaluation puts it: clamped in an
// open direction, wrapped in a closed one.
// `state` receives the degeneracy state: 0 regular, 1 Sv vanishes, 2 Su vanishes.
// Returns 1, or 0 (state untouched) for a null inverter or surface, a surface
// whose knot domain has no width or a point that is not finite. A start that
// is not finite is taken as no start.
int pointInverterSurfStart(PointInverter* inverter, RatBSplSurf* surface, double startU,
                           double startV, GeomPoint point, int* state);
// 1 nearer point found, 0 none found, -1 converged.
int pointInverterSurfStep(PointInverter* inverter, int* state);
// As pointInverterSurfStep; a converged search on a periodic direction is
// retried half a period away and moves there when that is nearer than 0.75
// times the distance it had.
int pointInverterSurfStepHalfPeriod(PointInverter* inverter, int* state);
// 1 when a strictly nearer point was reached along the normalised direction.
int pointInverterLineSearch(PointInverter* inverter, const double* fractions,
                            const double* scales, int fractionCount, int scaleCount, double du,
                            double dv);

// Start values are knot values. Results are normalised parameters and the
// reached distance. Returns 0 done, -1 null surface (or a knot domain without
// width, or a point that is not finite; nothing written), -2 no inverter.
// The goal is min(tolerance, 1e-5), 1e-5 for a NaN tolerance; a start that is
// not finite is taken as no start. A search from a given start that ends above
// the goal searches again from the start grid and keeps the nearer result; a
// result above the goal is then finished by Newton steps, and the start grid's
// other basins within reach are searched too (state: that of the point given
// back).
int ratBSplSurfInvertPoint(RatBSplSurf* surface, GeomPoint point, double startU,
                           double startV, double tolerance, double* outU, double* outV,
                           int* state, double* outDistance);
// The same with closed-form directions searched as periodic ones.
int ratBSplSurfInvertPointByForm(RatBSplSurf* surface, GeomPoint point, double startU,
                                 double startV, double tolerance, double* outU, double* outV,
                                 int* state, double* outDistance);

// ---------------------------------------------------------------------------
// Curves through one control row (running in v) or column (running in u);
// null for a bad index. The caller frees the curve with ratBSplCurveFree.

RatBSplCurve* ratBSplSurfRowCurve(const RatBSplSurf* surface, int i);
RatBSplCurve* ratBSplSurfColumnCurve(const RatBSplSurf* surface, int j);
