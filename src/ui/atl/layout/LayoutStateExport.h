// The layout persistence offered to the module's host: the layouts attached
// inside a window, and saving or restoring one under a registry path of the
// current user. Plain functions, so a host that loads the module finds them
// by name.
#pragma once

#include "ui/atl/layout/DialogLayout.h"

// The layouts attached to window or to any window inside it, in window order;
// at most max are stored in out. Returns how many there are.
extern "C" int kvUiLayoutsWithin(HWND window, kv::ui::atl::layout::DialogLayout** out, int max);

// Saves (save true) or restores the layout's state under
// HKEY_CURRENT_USER\path: the nodes' placements, factors and list columns.
// The dialog's next size change lays it out from the restored placement.
// False when the store refuses or the stored state does not fit (the layout
// is then left as it was).
extern "C" bool kvUiLayoutPersist(kv::ui::atl::layout::DialogLayout* layout, const wchar_t* path, bool save);

typedef int (*kvPfnUiLayoutsWithin)(HWND, kv::ui::atl::layout::DialogLayout**, int);
typedef bool (*kvPfnUiLayoutPersist)(kv::ui::atl::layout::DialogLayout*, const wchar_t*, bool);
