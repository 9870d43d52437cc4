// The data that every analysis dialog carries for picks and face results,
// with the curvature radii of a face.
#pragma once

#include "host/object/kvIfPtr.h"
#include "host/object/kvRecords.h"
#include "sdk/kvGeomTypes.h"
#include "sdk/kvInterfaces.h"

struct RatBSplCurve;

class kvCAnalyseCtrl {
public:
    // A radius at or above this is no value; minima start here, maxima at its
    // negative, so that the first radius found always replaces them.
    static constexpr double noRadius = 100000.0;

    // Class codes of classifyNurbsFace.
    enum {
        faceClassUnusable = -2,  // the face could not be measured: no record
        faceClassPlane = -1,
        faceClassFullTurn = 0,   // a turned face of more than 181 degrees
        faceClassCurved = 1,     // radius from the curvature measurement
        faceClassHalfTurn = 2,   // a turned face of 150 to 181 degrees
    };

    kvCAnalyseCtrl();

    // The smallest and the largest curvature radius of a face with their
    // circles, from arcs through the control rows and columns of its
    // surface (and, when asked or when the face is nearly flat, from circles
    // through its boundary). False when the face has no surface; only the
    // three starting values are written then.
    bool computeFaceCurvatureRadii(kvIUnknown* face, bool scanBoundary);
    // The circle of a control curve (or, without a curve, of the given
    // circle) measured against the surface's normals. 1 with the circle
    // written, 0 for no arc, an arc off the face or a degenerate circle, -1
    // without usable normals or fit. second is left as it is.
    int computeIsoCurveRadius(RatBSplCurve* curve, kvFaceAxisRecord& circle, kvFaceAxisRecord& second,
                              kvIfPtr<kvIGeSurface> surface, kvIfPtr<kvIGeBoundedSurface> bounded, bool onFace);
    // What kind of face this is for the radius and plane analyses; writes
    // radius, axisRecord, planeNormal and grows boxMin/boxMax (the caller
    // starts them at +/-noRadius). Nothing is reported to the user.
    int classifyNurbsFace(kvIUnknown* face);

    double minRadiusU;
    double minRadiusV;
    double maxRadius;
    double radius;
    kvFaceAxisRecord axisRecord;
    kvFaceAxisRecord maxRecord;
    kvFaceAxisRecord minURecord;
    kvFaceAxisRecord minVRecord;
    kvCGeVector planeNormal;
    kvCGePoint boxMin;
    kvCGePoint boxMax;
};
