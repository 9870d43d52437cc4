#include "analyse/kvTrimmedBase.h"

bool kvTrimmedBaseSurface(kvIGeTrimmedSurfApprox* approximation, kvIUnknownPtr& base)
{
    if (!approximation)
        return false;
    kvIUnknownPtr trimmed;
    approximation->getTrimmedSurface(0.001, &trimmed);
    kvIfPtr<kvIGeTrimmedSurface> trimmedSurface(trimmed.get());
    if (trimmedSurface.isNull())
        return false;
    kvIUnknownPtr found;
    trimmedSurface->getBaseSurface(&found);
    base = found;
    return true;
}
