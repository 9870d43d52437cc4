// What the simulator's commands look at in the analysis window.
#pragma once

#include "platform/windows.h"

class kvCTwPropertyCtrlBase;

namespace hostsim {

class Session;

// The open analysis window; throws ScriptError when none is open.
HWND openAnalysisWindow(Session& s);
// The host's property control the user sees in the window, or null.
kvCTwPropertyCtrlBase* propertyControlShown(HWND window);

} // namespace hostsim
