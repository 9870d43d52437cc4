#include "toolpos/kvToolShape.h"

#include "analyse/kvAnalyseKeys.h"
#include "host/object/kvPropAccess.h"

#include <cmath>

namespace {

double readDouble(const kvCPrPropertySet* set, const wchar_t* key)
{
    double value = 0.0;
    propGet(set, key, value);
    return value;
}

}  // namespace

bool kvReadToolDimensions(const kvCPrPropertySet* tool, kvToolDimensions& out, kvCString& problem)
{
    if (!tool) {
        problem = L"The job has no tool";
        return false;
    }
    kvToolDimensions t;
    t.diameter = readDouble(tool, kvKeyDiameter);
    t.length = readDouble(tool, kvKeyLength);
    if (!std::isfinite(t.diameter) || t.diameter <= 0.0 || !std::isfinite(t.length) || t.length <= 0.0) {
        problem = L"The tool's diameter and length must be greater than 0";
        return false;
    }
    t.cuttingLength = readDouble(tool, kvKeyCuttingLength);
    if (!std::isfinite(t.cuttingLength) || t.cuttingLength <= 0.0 || t.cuttingLength > t.length)
        t.cuttingLength = t.length;
    t.shaftDiameter = readDouble(tool, kvKeyShaftDiameter);
    if (!std::isfinite(t.shaftDiameter) || t.shaftDiameter <= 0.0)
        t.shaftDiameter = t.diameter;
    t.holderDiameter1 = readDouble(tool, kvKeyHolderDiameter1);
    t.holderLength1 = readDouble(tool, kvKeyHolderLength1);
    t.holderDiameter2 = readDouble(tool, kvKeyHolderDiameter2);
    t.holderLength2 = readDouble(tool, kvKeyHolderLength2);
    for (double v : {t.holderDiameter1, t.holderLength1, t.holderDiameter2, t.holderLength2}) {
        if (!std::isfinite(v) || v < 0.0) {
            problem = L"The tool holder's diameters and lengths must not be negative";
            return false;
        }
    }
    out = t;
    return true;
}

std::vector<kvCdCylinder> kvToolCylinders(const kvToolDimensions& t, double tipLift)
{
    std::vector<kvCdCylinder> bodies;
    const double lift = tipLift < t.cuttingLength ? tipLift : 0.0;
    bodies.push_back({t.diameter / 2.0, lift, t.cuttingLength, kvCdBodyCutter});
    if (t.length > t.cuttingLength)
        bodies.push_back({t.shaftDiameter / 2.0, t.cuttingLength, t.length, kvCdBodyShank});
    double bottom = t.length;
    if (t.holderDiameter1 > 0.0 && t.holderLength1 > 0.0) {
        bodies.push_back({t.holderDiameter1 / 2.0, bottom, bottom + t.holderLength1, kvCdBodyHolder});
        bottom += t.holderLength1;
    }
    if (t.holderDiameter2 > 0.0 && t.holderLength2 > 0.0)
        bodies.push_back({t.holderDiameter2 / 2.0, bottom, bottom + t.holderLength2, kvCdBodyHolder});
    return bodies;
}

const wchar_t* kvToolBodyName(int body)
{
    switch (body) {
    case kvCdBodyCutter: return L"cutting part";
    case kvCdBodyShank: return L"shank";
    case kvCdBodyHolder: return L"holder";
    default: return L"tool";
    }
}
