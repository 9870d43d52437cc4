// The geometry of a two-element measurement: when two directions count as
// parallel or at a right angle, the angle and distances between two picked
// elements, and the type a pair is recorded as. Plain functions of vectors
// and points, so the rules can be checked without a window or a host.
#pragma once

#include "sdk/kvGeomTypes.h"

// How the first element of a pair was recorded.
enum kvFirstElementKind {
    kvFirstNone = 0,
    kvFirstPlane = 1,   // a plane, or a cone too flat to have an axis
    kvFirstAxis = 2,    // a cylinder or cone with a usable axis
    kvFirstCurved = 5,  // a rounding, torus or free-form face
};

// The values of "AnalyseType" a completed pair records.
enum kvPairType {
    kvPairParallelPlanes = 2,
    kvPairAxisAndPlaneAtAngle = 3,
    kvPairPlanesAtRightAngle = 5,
    kvPairAxisParallelToFirst = 6,
    kvPairParallelAxes = 9,
    kvPairAxesAtAngle = 10,
    kvPairCurved = 12,
    kvPairCurvedAndAxis = 13,
    kvPairPlanesBelow30 = 14,
    kvPairPlanesBelow60 = 15,
    kvPairPlanesFrom60 = 16,
    kvPairPlanesAt45 = 17,
};

// Two directions differing by less than this in every component are the same.
inline constexpr double kvPairDirectionTolerance = 1e-5;
// A component within this of 1 (or of 0 for z) marks a right angle.
inline constexpr double kvPairRightAngleTolerance = 1e-8;

// Plane normals: parallel or opposite, every component of the difference or
// of the sum below the direction tolerance.
bool kvPairPlanesParallel(const kvCGeVector& a, const kvCGeVector& b);

// Axes: parallel or opposite, |a x b| of the unit directions below the
// direction tolerance. A zero direction is parallel to nothing.
bool kvPairAxesParallel(const kvCGeVector& a, const kvCGeVector& b);

// The frame whose Z axis is the axis (the arbitrary-axis rule), inverted:
// it takes world points and vectors into that frame.
kvCGeMatrix kvPairFrameAlong(const kvCGeVector& axis);

// True when second lies at exactly 90 degrees to first as the measurement
// decides it: in the frame along first, |x| or |y| within the right-angle
// tolerance of 1, or |z| within it of 0.
bool kvPairIsRightAngle(const kvCGeVector& first, const kvCGeVector& second);

// The angle of an axis to the plane at right angles to first, in degrees
// (0 to 90): 90 when kvPairIsRightAngle says so, else |asin z| of the axis
// in the frame along first.
double kvPairAxisAngle(const kvCGeVector& first, const kvCGeVector& axis);

// The angle between two axes taken as lines, 0 to 90 degrees: 90 when
// kvPairIsRightAngle says so, else 90 less kvPairAxisAngle. Axes carry no
// sense of their own (they are turned toward the viewer), so an axis and
// its reverse give the same angle.
double kvPairAngleOfAxes(const kvCGeVector& first, const kvCGeVector& axis);

// An angle as the panel shows it: rounded to three decimals (printed with
// "%.3lf" and read back); within 0.001 of 0 or of 180 degrees it reads 0.
double kvPairShownAngle(double angle);
// An angle rounded to three decimals, as kvPairShownAngle but without the
// reading of 0 near 0 and 180.
double kvPairRoundedAngle(double angle);

// "AnalyseType" of two elements that are not parallel and where the second
// is a plane: by the first element's kind and the angle between them as the
// panel shows it (kvPairShownAngle).
int kvPairTypeOfPlaneAngle(int firstKind, double angle, bool rightAngle);

// Two parallel planes: the distance between them along the first normal and
// the foot point, the first pick point moved along the first normal onto the
// plane of the second pick.
struct kvPairPlaneDistance {
    double distance = 0.0;  // not negative
    kvCGePoint foot;
};
kvPairPlaneDistance kvPairDistanceOfPlanes(const kvCGeVector& firstNormal, const kvCGePoint& firstPoint,
                                           const kvCGePoint& firstPick, const kvCGePoint& secondPick);

// Signed distance of point q from point p along the direction (q above p
// when positive).
double kvPairHeightAlong(const kvCGeVector& direction, const kvCGePoint& p, const kvCGePoint& q);

// Two parallel axes: the distance between them, measured at right angles
// to the first axis.
double kvPairHoleDistance(const kvCGeVector& firstAxis, const kvCGePoint& firstAxisPoint,
                          const kvCGePoint& secondAxisPoint);

// The point where the line p + t u meets the line q + s v, solved in the
// coordinate plane where u x v is largest; |t|. Lines that do not meet
// (parallel, u x v zero) give 0 and leave out at p.
double kvPairIntersectLines(const kvCGeVector& u, const kvCGeVector& v, const kvCGePoint& p, const kvCGePoint& q,
                            kvCGePoint& out);

// An angled hole: the distance h of the first pick point from the plane
// through c spanned by both axes, and the foot point c + h along that
// plane's normal (the frame's Z taken back into the world). Axes that span
// no plane give 0 and the foot point c.
double kvPairAngledHoleOffset(const kvCGeVector& firstAxis, const kvCGeVector& secondAxis, const kvCGePoint& c,
                              const kvCGePoint& firstPick, kvCGePoint& foot);
