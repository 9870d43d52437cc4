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
