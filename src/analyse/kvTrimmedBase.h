// A picked face that the host hands out only as a trimmed-surface
// approximation is measured on the untrimmed surface under it.
#pragma once

#include "host/object/kvIfPtr.h"
#include "sdk/kvInterfaces.h"

// Asks approximation for its trimmed surface (made within 0.001). True when
// it gives one; base is then that surface's base surface, which may be null.
// False, base untouched, without an approximation or a trimmed surface.
bool kvTrimmedBaseSurface(kvIGeTrimmedSurfApprox* approximation, kvIUnknownPtr& base);
