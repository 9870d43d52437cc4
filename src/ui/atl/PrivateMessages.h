// The library's private window messages.
#pragma once

#include "platform/windows.h"

namespace kv {
namespace ui {
namespace atl {

// Is the window in lParam part of this control (the control or its popup)?
const UINT msgIsPartOfControl = WM_USER + 0x15F;
// Tells a window observer to destroy the window it observes.
const UINT msgDestroyObserved = WM_USER + 0x160;
// Gets / sets (lParam) the owner window of a popup.
const UINT msgGetOwner = WM_USER + 0x165;
const UINT msgSetOwner = WM_USER + 0x166;
// Sets a control's tooltip text (lParam: the text, null for none).
const UINT msgSetToolTipText = WM_USER + 0x167;

} // namespace atl
} // namespace ui
} // namespace kv
