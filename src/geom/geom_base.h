// Kernel conventions, error reporting, vector and matrix maths, small
// geometric constructions and the circle fit.
//
// Points and vectors are three doubles (x, y, z); a matrix is sixteen doubles
// in row order with the origin in the fourth column and 0, 0, 0, 1 as the
// bottom row. Vector functions write an output argument and return it so that
// calls nest. The kernel keeps module-wide state (last error, message buffer,
// closure tolerances) and is therefore not re-entrant.
#pragma once

// ---------------------------------------------------------------------------
// Basic types

// One point or vector as stored in the records' arrays: `GeomVec3* p` gives
// p[i] as a double[3] that decays to the double* the vector functions take.
typedef double GeomVec3[3];

// A point or vector returned by value.
struct GeomPoint {
    double x, y, z;
};

// ---------------------------------------------------------------------------
// Error reporting

// Failure kinds carried by every report.
enum {
    GEOM_ERR_ALLOC = 1,      // an allocation failed (stored as last error)
    GEOM_ERR_ARGUMENT = 2,   // an argument is out of range (stored as last error)
    GEOM_ERR_NO_CONVERGE = 3,
    GEOM_ERR_TOLERANCE = 4,  // a tolerance was missed: a warning only
    GEOM_ERR_DIVISOR = 5     // a divisor in a basis or knot computation vanished
};

// File numbers: the second number of every report.
enum {
    GEOM_FILE_CURVE = 10001,
    GEOM_FILE_SURFACE = 10002,
    GEOM_FILE_LINEARIZER = 10003,
    GEOM_FILE_INVERTER = 10004
};

enum { GEOM_MESSAGE_BUFFER_SIZE = 300 };

struct GeomMessageFacility {
    const char* name;                                         // "GeomMessageFacility"
    void (*destroy)(GeomMessageFacility* facility);
    void (*message)(GeomMessageFacility* facility, const char* text);
};

// Kind of the last allocation or argument failure; -1 until the first one.
extern int geomLastError;
// Text of the last report, always zero-terminated within its 300 characters.
extern char geomMessageBuffer[GEOM_MESSAGE_BUFFER_SIZE];
// Where reports go; nothing in the module installs one, so it stays null.
extern GeomMessageFacility* geomMessageFacility;

void geomMessageFacilityInit(GeomMessageFacility* facility);
GeomMessageFacility* geomMessageFacilityCreate();
void geomMessageFacilityFree(GeomMessageFacility* facility);
void geomMessageFacilityDestroy(GeomMessageFacility* facility);
// Writes a non-null text and a line end to standard output.
void geomMessagePrint(GeomMessageFacility* facility, const char* text);
// Hands the text to the facility; a null facility drops it.
void geomMessageSend(GeomMessageFacility* facility, const char* text);

// One report site: stores kinds 1 and 2 in geomLastError, formats
// "kind,file,line" into geomMessageBuffer and sends it to geomMessageFacility.
void geomReportError(int kind, int fileNo, int line);
// A missed tolerance (kind 4): "4,file,line,requested,reached"; the text is cut
// to the buffer when the numbers are enormous. geomLastError is left alone.
void geomReportTolerance(int fileNo, int line, double requested, double reached);

// ---------------------------------------------------------------------------
// First vector module

double* vec3Diff(const double* a, const double* b, double* out);   // out = b - a
double vec3Distance(const double* a, const double* b);
double vec3Length(const double* v);
// Returns the length; divides only when the length is at least 1e-12.
double vec3Normalize(double* v);
double* vec3AddScaled(const double* p, const double* d, double s, double* out);
double* vec3Combine(const double* a, double s, const double* b, double t, double* out);
double* vec3Combine3(const double* p, const double* a, double s, const double* b, double t,
                     double* out);
double* vec3Combine4(const double* p, const double* a, double s, const double* b, double t,
                     const double* c, double u, double* out);
double vec3Dot(const double* a, const double* b);
double* vec3Cross(const double* a, const double* b, double* out);

// Second vector module

double vec3DotB(const double* a, const double* b);
double* vec3CrossB(double* out, const double* a, const double* b);
double vec3LengthB(const double* v);
double vec3NormalizeB(double* v);
double vec3DistanceB(const double* a, const double* b);
double* vec3DiffB(const double* a, const double* b, double* out);  // out = b - a
double* vec3CombineB(const double* a, double s, const double* b, double t, double* out);
double vec3Triple(const double* a, const double* b, const double* c);
// Signed length of q - o along the normalised d; the foot goes to out.
double projectOnLineB(const double* o, const double* d, const double* q, double* out);
double vec3Angle(const double* a, const double* b);
double vec3OuterAngle(const double* a, const double* b);
double vec3AngleFromLine(const double* o, const double* d, const double* q);
double vec3OuterAngleFromLine(const double* o, const double* d, const double* q);
double vec3AngleBetweenProjections(const double* o, const double* a, const double* b,
                                   const double* q);
// n is normalised in place; nothing is written for a null n.
void vec3AnyPerpendicular(double* n, double* u, double* w);
void vec3PerpendicularFrame(double* n, const double* r, double* u, double* w);

// ---------------------------------------------------------------------------
// Matrices

extern const double geomIdentityMatrix[16];

void mat4Identity(double* m);
void mat4IdentityCopy(double* m);
void mat4Copy(const double* src, double* dst);
void mat4Transpose(const double* src, double* dst);
void mat4TransposeInPlace(double* m);
double* mat4TransformPoint(const double* m, const double* p, double* out);
double* mat4TransformVector(const double* m, const double* v, double* out);
double* mat4TransformPointT(const double* m, const double* p, double* out);
double* mat4TransformVectorT(const double* m, const double* v, double* out);
double* mat4ApplyPoint(const double* m, const double* p, double* out);   // out may be p
double* mat4ApplyVector(const double* m, const double* v, double* out);  // out may be v
void mat4Multiply(const double* a, const double* b, double* out);        // out distinct
void mat4Product(const double* a, const double* b, double* out);         // out may alias
void mat4Translation(const double* p, double* m);
void mat4SetDiagonal(const double* v, double* m);
void mat4FromAxes(const double* x, const double* y, const double* z, const double* origin,
                  double* m);
void mat4FromFrameColumns(const double* origin, const double* x, const double* y,
                          const double* z, double* m);
void mat4ToAxes(const double* m, double* x, double* y, double* z, double* origin);
void mat4FrameColumns(const double* m, double* origin, double* x, double* y, double* z);
void mat4AxisLengths(const double* m, double* lx, double* ly, double* lz);
void mat4Scale(double f, double* m);
void mat4ScaleInPlace(double* m, double f);
void mat3Scale(double f, double* m);
void mat4ScaleTranslation(double f, double* m);
// Rotation by theta about the axis a (a unit vector) through p.
void mat4RotationAboutAxis(const double* p, const double* a, double theta, double* m);

// ---------------------------------------------------------------------------
// Geometric constructions

struct ArcSweepTracker {
    GeomVec3 centre;
    GeomVec3 ref;
    GeomVec3 third;
    GeomVec3 axis;
    double startAngle;
    double sum;
    double minAngle;
    double maxAngle;
    GeomVec3 last;
    GeomVec3 current;
    char first;
    double tol;
};

int frameFromNormal(const double* n, double* u, double* v, double* unitN);
double* pointToFrame(const double* origin, const double* x, const double* y, const double* z,
                     const double* p, double* out);
double* projectPointOnLine(const double* o, const double* d, const double* p, double* out);
double* rejectFromUnit(const double* u, const double* v, double* out);
double* projectPointOnPlane(const double* o, const double* n, const double* p, double* out);
void pointLineFrame(const double* o, const double* d, const double* p, double* foot,
                    double* offset, double* binormal);
double* rotatePointAboutLine(const double* o, const double* d, const double* p, double theta,
                             double* out);
double* rotatePointAboutAxis(const double* d, const double* p, double theta, double* out);
double* mirrorPointInPlane(const double* o, const double* n, const double* p, double* out);
double projectionRatio(const double* a, const double* d, const double* b);
int isOnPlaneAlongNormal(const double* o, const double* n, const double* p, const double* d,
                         double tol);

double angleBetweenFull(const double* a, const double* b);
double angleBetweenPlain(const double* a, const double* b);
double angleAboutAxis(const double* a, const double* b, const double* axis);
double angleAtCentre(const double* p, const double* q, const double* centre);
double angleBetweenPlainAtCentre(const double* p, const double* q, const double* centre);
double angleAboutAxisAtCentre(const double* p, const double* q, const double* centre,
                              const double* axis);
double turnAngle2dRaw(const double* a, const double* b, const double* c);
double turnAngle2d(const double* a, const double* b, const double* c);

int isPointOnArc(const double* c, const double* n, const double* s, const double* e, double tol,
                 const double* p);
void updateRangeAlong(const double* o, const double* axis, const double* p, double* min,
                      double* max);
void updateBox(const double* p, double* minCorner, double* maxCorner);
void arcRangeAlong(const double* o, const double* axis, const double* c, const double* n,
                   const double* s, const double* e, double* min, double* max);
int arcSweepInitTol(const double* centre, const double* ref, const double* axis, double tol,
                    ArcSweepTracker* tracker);
int arcSweepInit(const double* centre, const double* ref, const double* axis,
                 ArcSweepTracker* tracker);
int arcSweepAddPoint(ArcSweepTracker* tracker, const double* p);
int arcSweepRange(ArcSweepTracker* tracker, double* lo, double* hi);
// s and t receive one value for a crossing, two (a range) for collinear lines.
int intersectLinesXY(const double* p1, const double* q1, const double* p2, const double* q2,
                     double* s, double* t, double* point);
int fitPlaneToPolyline(const GeomVec3* points, int n, double tol, double* normal,
                       double* point);
int polygonWinding(const double* c, const GeomVec3* points, int n, double tol, int* result);
int polylineMidpoint(const GeomVec3* points, int n, double* out);
int isPolylineStraight(const GeomVec3* points, int n, double tol, double* maxDev);

// ---------------------------------------------------------------------------
// Circle fit

// 0 for a NaN tolerance, a point without coordinates or a radius that overflows.
int fitCircleToPoints(const GeomVec3* points, int n, double tol, double maxRadius,
                      char checkChords, double* start, double* end, double* centre,
                      double* normal, double* maxDev);
// Index 0 sets the circle closure tolerance and returns the previous value;
// any other index changes nothing and returns -1e11.
double geomSetCircleTolerance(int index, double value);
