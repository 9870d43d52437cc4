// Small window utilities of the library.
#pragma once

#include "platform/windows.h"

#include <vector>

namespace kv {
namespace ui {
namespace atl {

// True when window is ancestor or lies inside it; false for a null window.
bool isWindowWithin(HWND window, HWND ancestor);
// The first window of the parent chain, starting with window itself, that is
// not a child window; null when the chain ends.
HWND findNonChildAncestor(HWND window);
// The window's class name equals name exactly (case-sensitive).
bool hasWindowClass(HWND window, const wchar_t* name);
// Every descendant window of window (the array is cleared first).
void collectChildWindows(HWND window, std::vector<HWND>& out);
// The whole rectangle of the window's monitor; false without a window, a
// rectangle or a monitor.
bool getMonitorRect(HWND window, DWORD flags, RECT* out);
// Sizes a combo box's drop-down list to its items, at most half of the free
// height of the monitor in whole items. False without items.
bool adjustComboDropHeight(HWND combo);
// Starts typing into a freshly opened edit field with the key that opened it:
// backspace deletes the last character, the delete character (127) clears the
// text, any other key replaces the text (printable characters are typed).
void sendStartKeyToEdit(HWND window, UINT key);

} // namespace atl
} // namespace ui
} // namespace kv
