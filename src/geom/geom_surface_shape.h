// Shape recognition of surfaces: surfaces of revolution, cones and cylinders,
// spheres and tori, with the module-wide tolerances the tests read.
//
// Every test looks at a surface whose circles run in u (its control columns
// are arcs about one axis) and at its profile, the curve through control row
// 0. The Find forms retry on the transpose, which covers surfaces that revolve
// in v. Failures give 0 with no report of their own; outputs written before a
// failure stay written. A swapped flag of 1 says the caller passes a
// transposed surface, which reverses the orientation the signs follow.
#pragma once

#include "geom/geom_base.h"
#include "geom/geom_curve.h"
#include "geom/geom_surface.h"

// ---------------------------------------------------------------------------
// Tolerances read by the shape tests

enum {
    GEOM_TOL_LINE = 0,           // line tests of axes and profiles; 0 or less: exact test
    GEOM_TOL_COLUMN_POINT = 1,   // collapsed columns; 0 or less: 1e-7
    GEOM_TOL_ARC_RADIUS = 2,     // largest column arc radius, starts at 1000.0
    GEOM_TOL_SPHERE_CENTRE = 3   // centre's distance from the axis; 0 or less: 1e-7
};

// Returned for an index other than 0..3, which changes nothing.
constexpr double GEOM_TOL_BAD_INDEX = -1e11;

// Sets one tolerance and returns the value it replaced.
double geomSetTolerance(int index, double value);

// ---------------------------------------------------------------------------
// Surface of revolution in u

// axisPoint, axisDir (unit) and refDir (centre to the start of the largest
// column arc; its length is that radius) are triples. A tolerance of 0 or less
// runs the exact arc test on every column.
int ratBSplSurfIsRevolution(RatBSplSurf* surface, double* axisPoint, double tol, int nSamples,
                            unsigned char checkChords, double* axisDir, double* refDir);
int ratBSplSurfIsRevolutionTol(RatBSplSurf* surface, double* axisPoint, double tol, double* axisDir,
                               double* refDir);
int ratBSplSurfIsRevolutionDefault(RatBSplSurf* surface, double* axisPoint, double* axisDir,
                                   double* refDir);
// The surface, then its transpose. A non-null profile receives row 0 of the
// surface that passed (the caller frees it); 0 when that curve is missing.
int ratBSplSurfFindRevolution(RatBSplSurf* surface, double* axisPoint, double tol, int nSamples,
                              unsigned char checkChords, double* axisDir, double* refDir,
                              RatBSplCurve** profile);
int ratBSplSurfFindRevolutionTol(RatBSplSurf* surface, double* axisPoint, double tol, double* axisDir,
                                 double* refDir);

// ---------------------------------------------------------------------------
// Cone and cylinder: the profile is a line in a plane through the axis.
// radius is the larger end radius; cosine and sine of the profile's angle to
// the axis are signed so that cosine >= 0 when the normal points outwards.

int ratBSplSurfIsCone(RatBSplSurf* surface, int swapped, double tol, int nSamples, unsigned char checkChords,
                      double* basePoint, double* axisDir, double* radius, double* sine, double* cosine,
                      double* refDir);
int ratBSplSurfIsConeDefault(RatBSplSurf* surface, int swapped, double* basePoint, double* axisDir,
                             double* radius, double* sine, double* cosine, double* refDir);
int ratBSplSurfFindCone(RatBSplSurf* surface, int swapped, double tol, int nSamples, unsigned char checkChords,
                        double* basePoint, double* axisDir, double* radius, double* sine, double* cosine,
                        double* refDir);
int ratBSplSurfFindConeDefault(RatBSplSurf* surface, int swapped, double* basePoint, double* axisDir,
                               double* radius, double* sine, double* cosine, double* refDir);

// ---------------------------------------------------------------------------
// Sphere: the profile is an arc centred on the axis. The radius is negative
// when the normal points into the sphere.

int ratBSplSurfIsSphere(RatBSplSurf* surface, int swapped, double tol, int nSamples, unsigned char checkChords,
                        double* centre, double* axisDir, double* radius, double* refDir);
int ratBSplSurfIsSphereDefault(RatBSplSurf* surface, int swapped, double* centre, double* axisDir,
                               double* radius, double* refDir);
int ratBSplSurfFindSphere(RatBSplSurf* surface, int swapped, double tol, int nSamples,
                          unsigned char checkChords, double* centre, double* axisDir, double* radius,
                          double* refDir);
int ratBSplSurfFindSphereDefault(RatBSplSurf* surface, int swapped, double* centre, double* axisDir,
                                 double* radius, double* refDir);

// ---------------------------------------------------------------------------
// Torus: the profile is an arc in a plane through the axis, centred off it.
// The minor radius is negative when the normal points into the tube.

enum {
    GEOM_TORUS_ORDINARY = 0,       // minor radius at most the major one
    GEOM_TORUS_SPINDLE_INNER = 1,  // self-intersecting, the inner part of the tube circle
    GEOM_TORUS_SPINDLE_OUTER = 2   // self-intersecting, the outer part
};

// kind may be null; without it a self-intersecting torus is refused.
int ratBSplSurfIsTorus(RatBSplSurf* surface, int swapped, double tol, int nSamples, unsigned char checkChords,
                       double* centre, double* axisDir, double* majorRadius, double* minorRadius,
                       double* refDir, short* kind);
int ratBSplSurfIsTorusTol(RatBSplSurf* surface, int swapped, double tol, int nSamples,
                          unsigned char checkChords, double* centre, double* axisDir, double* majorRadius,
                          double* minorRadius, double* refDir);
int ratBSplSurfIsTorusDefault(RatBSplSurf* surface, int swapped, double* centre, double* axisDir,
                              double* majorRadius, double* minorRadius, double* refDir);
int ratBSplSurfFindTorus(RatBSplSurf* surface, int swapped, double tol, int nSamples, unsigned char checkChords,
                         double* centre, double* axisDir, double* majorRadius, double* minorRadius,
                         double* refDir, short* kind);
int ratBSplSurfFindTorusTol(RatBSplSurf* surface, int swapped, double tol, int nSamples,
                            unsigned char checkChords, double* centre, double* axisDir, double* majorRadius,
                            double* minorRadius, double* refDir);
int ratBSplSurfFindTorusDefault(RatBSplSurf* surface, int swapped, double* centre, double* axisDir,
                                double* majorRadius, double* minorRadius, double* refDir);
