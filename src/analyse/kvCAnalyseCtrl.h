// The data that every analysis dialog carries for picks and face results.
#pragma once

#include "sdk/kvGeomTypes.h"

// A circle as the measurements use it: p0 and p1 on the circle, p2 its
// centre, v the normal of its plane.
struct kvFaceAxisRecord {
    kvCGePoint p0;
    kvCGePoint p1;
    kvCGePoint p2;
    kvCGeVector v;

    kvFaceAxisRecord() = default;
    kvFaceAxisRecord(const kvFaceAxisRecord&) = default;
    kvFaceAxisRecord& operator=(const kvFaceAxisRecord& other)
    {
        p0 = other.p0;
        p1 = other.p1;
        p2 = other.p2;
        v = other.v;
        return *this;
    }
};

class kvCAnalyseCtrl {
public:
    // A radius at or above this is no value; minima start here, maxima at its
    // negative, so that the first radius found always replaces them.
    static constexpr double noRadius = 100000.0;

    kvCAnalyseCtrl();

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
