#include "sdk/kvSurfaceQuilt.h"

#include "sdk/kvInterfaces.h"

bool getSurfaceQuilt(kvIUnknown* object, std::vector<kvIUnknownPtr>& faces)
{
    kvIfPtr<kvIGeSurfaceQuilt> quilt(object);
    if (quilt.isNull())
        return false;
    const int count = quilt->getFaceCount();
    for (int i = 0; i < count; ++i) {
        kvIUnknownPtr face;
        if (quilt->getFace(i, &face) == 0 && !face.isNull())
            faces.push_back(face);
    }
    return true;
}
