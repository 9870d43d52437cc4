// Records that the analysis keeps in growable arrays: colour catalogue
// entries, face axes, face extents, the radius and plane face records and
// their group rows. Member-wise copies; the face records hold one reference
// to their face and release it when they are reset or destroyed.
#pragma once

#include "host/object/kvArray.h"
#include "host/object/kvIfPtr.h"
#include "sdk/kvGeomTypes.h"
#include "sdk/kvString.h"

// One named colour of the colour catalogue.
struct colorDef {
    int R = 0;
    int G = 0;
    int B = 0;
    kvCString name;
};

// Three points and a vector; used as a circle: p0 and p1 on it, p2 its
// centre, v the normal of its plane.
struct kvFaceAxisRecord {
    kvCGePoint p0;
    kvCGePoint p1;
    kvCGePoint p2;
    kvCGeVector v;
};

// The extent of a face and one value shown with it (radius or angle).
struct kvIBoundingbox {
    kvCGePoint min;
    kvCGePoint max;
    double value = 0.0;
};

// A face of the radius analysis.
struct kvIArcUnknown {
    kvFaceAxisRecord axis;
    kvIUnknownPtr face;  // empty marks a record the lists skip
    double radius = 0.0;
    double minRadiusU = 0.0;
    double minRadiusV = 0.0;
    kvIBoundingbox box;
};

// A face of the plane analysis.
struct kvIPlanUnknown {
    kvCGeVector normal;
    double angle = 0.0;
    kvIUnknownPtr face;
    kvIBoundingbox box;
};

// One row of the radius list: nominal radius, radius of its first face, count.
struct kvIRadiusInfo {
    double value = 0.0;
    double firstValue = 0.0;
    int count = 0;
};

// One row of the plane list: nominal angle, angle of its first face, count.
struct kvIPlanInfo {
    double value = 0.0;
    double firstValue = 0.0;
    int count = 0;
};
