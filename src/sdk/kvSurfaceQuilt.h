// The host library's look at a surface quilt: the faces that one quilt
// object stands for.
#pragma once

#include "host/object/kvIfPtr.h"

#include <vector>

// Appends the faces of a surface quilt (kvIGeSurfaceQuilt), in the quilt's
// order and without null faces, and returns true. An object that is no quilt
// (a null object included) leaves the list as it was and gives false.
bool getSurfaceQuilt(kvIUnknown* object, std::vector<kvIUnknownPtr>& faces);
