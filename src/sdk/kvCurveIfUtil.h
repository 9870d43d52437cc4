// The maker's utility for host curves: points that follow a curve within a
// tolerance.
#pragma once

#include "sdk/kvGeomTypes.h"
#include "sdk/kvInterfaces.h"

#include <vector>

class kvCCurveIfUtil {
public:
    // Any host object; only a kvIGeCurve gives points.
    explicit kvCCurveIfUtil(kvIUnknown* curve);
    ~kvCCurveIfUtil();
    kvCCurveIfUtil(const kvCCurveIfUtil&) = delete;
    kvCCurveIfUtil& operator=(const kvCCurveIfUtil&) = delete;

    // The curve's points from its start to its end, so that no chord between
    // neighbours strays from the curve by more than the tolerance (judged at
    // the chord's middle and quarters). False, with no points, for an object
    // that is no curve, a curve that gives no range or no point, or a
    // tolerance that is not positive.
    bool getPointApprox(double tolerance, std::vector<kvCGePoint>& points) const;

private:
    kvIGeCurve* m_curve = nullptr;  // one reference held
};
