// The data that every analysis dialog carries for picks and face results.
#pragma once

#include "host/object/kvRecords.h"
#include "sdk/kvGeomTypes.h"

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
