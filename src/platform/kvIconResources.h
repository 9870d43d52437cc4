// Icon resources of loaded modules, as their resource compiler would hold
// them: a module is given its pictures by id (setIconResource, beside
// setStringResource for its strings) and LoadIconW hands them out.
#pragma once

#include "platform/windows.h"

#include <cstdint>
#include <vector>

namespace kvplat {

// A picture of width x height pixels, row by row from the top: 0x00RRGGBB,
// and beside it the mask, 0 where the icon is opaque.
struct IconPicture {
    int width = 16;
    int height = 16;
    std::vector<uint32_t> pixels;
    std::vector<uint32_t> mask;
};

// Puts an icon into a module's resources; a later call with the same id
// replaces the picture for icons loaded from then on.
void setIconResource(HMODULE module, UINT id, const IconPicture& picture);
bool hasIconResource(HMODULE module, UINT id);

// The module and resource id that LoadIconW loaded the icon from; false for
// an icon that no icon resource gave.
bool iconResourceOf(HICON icon, HMODULE* module, UINT* id);

} // namespace kvplat
