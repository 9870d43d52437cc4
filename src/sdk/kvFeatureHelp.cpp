#include "sdk/kvFeatureHelp.h"

namespace {
kvIFeatureHelpProvider* installedProvider = nullptr;
}  // namespace

void kvSetFeatureHelpProvider(kvIFeatureHelpProvider* provider)
{
    installedProvider = provider;
}

kvIFeatureHelpProvider* kvGetFeatureHelpProvider()
{
    return installedProvider;
}

// The provider is taken once: a feature object answers from the library it
// was made with, even if the host changes providers meanwhile.
kvCFeatureHelp::kvCFeatureHelp() : m_provider(installedProvider) {}

kvCFeatureHelp::~kvCFeatureHelp() = default;

void kvCFeatureHelp::clearCache()
{
    if (m_provider)
        m_provider->clearCache();
}

bool kvCFeatureHelp::isNurbsAsPlane(kvIUnknown* face, kvPoint3DRec& point, kvPoint3DRec& normal,
                                    kvPoint3DRec& third)
{
    if (!m_provider || !face)
        return false;
    // The outputs change only with a positive answer.
    kvPoint3DRec p = point, n = normal, t = third;
    if (!m_provider->isNurbsAsPlane(face, p, n, t))
        return false;
    point = p;
    normal = n;
    third = t;
    return true;
}

// Each answer is copied out only when it is positive, so a failed question
// leaves the caller's values as they were.
bool kvCFeatureHelp::isNurbsAsCylinder(kvIUnknown* face, kvPoint3DRec& axisPoint, kvPoint3DRec& axisDirection,
                                       double& radius, double& sineOfAngle, double& value, kvPoint3DRec& extra)
{
    if (!m_provider || !face)
        return false;
    kvPoint3DRec p = axisPoint, d = axisDirection, e = extra;
    double r = radius, s = sineOfAngle, v = value;
    if (!m_provider->isNurbsAsCylinder(face, p, d, r, s, v, e))
        return false;
    axisPoint = p;
    axisDirection = d;
    radius = r;
    sineOfAngle = s;
    value = v;
    extra = e;
    return true;
}

bool kvCFeatureHelp::isNurbsAsTorusExt(kvIUnknown* face, kvPoint3DRec& centre, kvPoint3DRec& axis,
                                       double& majorRadius, double& minorRadius, kvPoint3DRec& extra, short* flag)
{
    if (!m_provider || !face)
        return false;
    kvPoint3DRec c = centre, a = axis, e = extra;
    double R = majorRadius, r = minorRadius;
    short f = flag ? *flag : 0;
    if (!m_provider->isNurbsAsTorusExt(face, c, a, R, r, e, &f))
        return false;
    centre = c;
    axis = a;
    majorRadius = R;
    minorRadius = r;
    extra = e;
    if (flag)
        *flag = f;
    return true;
}

bool kvCFeatureHelp::getSurfaceLimitsOnAxis(kvIUnknown* face, const kvPoint3DRec& axisPoint,
                                            const kvPoint3DRec& axisDirection, double radius, double sineOfAngle,
                                            double value, kvPoint3DRec& limit1, double& radius1,
                                            kvPoint3DRec& limit2, double& radius2)
{
    if (!m_provider || !face)
        return false;
    kvPoint3DRec l1 = limit1, l2 = limit2;
    double r1 = radius1, r2 = radius2;
    if (!m_provider->getSurfaceLimitsOnAxis(face, axisPoint, axisDirection, radius, sineOfAngle, value, l1, r1, l2,
                                            r2))
        return false;
    limit1 = l1;
    radius1 = r1;
    limit2 = l2;
    radius2 = r2;
    return true;
}

bool kvCFeatureHelp::getShapeAngle(const kvPoint3DRec& axisPoint, const kvPoint3DRec& axis, kvIUnknown* face,
                                   double& angle)
{
    if (!m_provider || !face)
        return false;
    double a = angle;
    if (!m_provider->getShapeAngle(axisPoint, axis, face, a))
        return false;
    angle = a;
    return true;
}

RatBSplSurf* kvCFeatureHelp::newRatBSplSurf(kvIUnknown* face)
{
    if (!m_provider || !face)
        return nullptr;
    return m_provider->newRatBSplSurf(face);
}
