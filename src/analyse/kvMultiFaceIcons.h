// The icons of the lists' element navigator: arrows to the previous and to
// the next face of the selected group, drawn by the module itself.
#pragma once

#include "platform/windows.h"

enum {
    kvIDI_PREVIOUS_FACE = 180,
    kvIDI_NEXT_FACE = 181,
};

// Puts the navigator's icons into the module's resources, once.
void kvRegisterMultiFaceIcons(HINSTANCE module);
