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

RatBSplSurf* kvCFeatureHelp::newRatBSplSurf(kvIUnknown* face)
{
    if (!m_provider || !face)
        return nullptr;
    return m_provider->newRatBSplSurf(face);
}
