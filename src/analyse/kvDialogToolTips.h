// The tooltips of a dialog's controls: one tooltip window per dialog, whose
// tools are the dialog's child controls. Each tool asks the dialog for its
// text when it is shown (TTN_GETDISPINFOW with TTF_IDISHWND, the tool's id
// being the control's window), so texts follow the dialog's state and the
// user's language.
#pragma once

#include "platform/windows.h"

#include <initializer_list>

// The tooltip window with one tool for each of the dialog's controls that
// exists; null when the dialog has no window or the tooltip cannot be made.
// It goes with the dialog's top-level window, or earlier by DestroyWindow.
HWND kvCreateDialogToolTips(HWND dialog, std::initializer_list<int> controlIds);
