// What the simulator's commands look at in the analysis window.
#pragma once

#include "platform/windows.h"

#include <string>
#include <vector>

class kvCTwPropertyCtrlBase;

namespace hostsim {

class Session;

// The open analysis window; throws ScriptError when none is open.
HWND openAnalysisWindow(Session& s);
// The host's property control the user sees in the window, or null.
kvCTwPropertyCtrlBase* propertyControlShown(HWND window);
// Whether the control shows a line for the key: the user types only into
// the lines the panel shows, though the window's property set holds the keys
// of every panel.
bool showsLine(const kvCTwPropertyCtrlBase* control, const std::wstring& key);
// Whether hwnd and every window above it up to top are visible.
bool visibleUpTo(HWND hwnd, HWND top);
// Every window below parent, depth first.
void descendants(HWND parent, std::vector<HWND>& out);

} // namespace hostsim
