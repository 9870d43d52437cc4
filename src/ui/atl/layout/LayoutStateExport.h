// The layout persistence offered to the module's host: the layouts attached
// inside a window, their nodes, and saving or restoring one under a registry
// path of the current user. Plain functions and records, so a host that loads
// the module finds them by name and uses them without linking the module.
#pragma once

#include "platform/windows.h"

// One node of a layout tree, in depth-first order.
struct kvUiLayoutNode {
    int id;
    int depth;  // 0 for the root
    RECT current;
};

// The layouts attached to window or to any window inside it, in window order,
// as handles for the functions below; at most max are stored in out. Returns
// how many there are.
extern "C" int kvUiLayoutsWithin(HWND window, void** out, int max);

// The dialog a layout is attached to.
extern "C" HWND kvUiLayoutDialog(void* layout);

// The layout's nodes; at most max are stored. Returns how many there are.
extern "C" int kvUiLayoutNodes(void* layout, kvUiLayoutNode* out, int max);

// Saves (save true) or restores the layout's state under
// HKEY_CURRENT_USER\path: the nodes' placements, factors and list columns.
// The dialog's next size change lays it out from the restored placement.
// False when the store refuses or the stored state does not fit (the layout
// is then left as it was).
extern "C" bool kvUiLayoutPersist(void* layout, const wchar_t* path, bool save);

typedef int (*kvPfnUiLayoutsWithin)(HWND, void**, int);
typedef HWND (*kvPfnUiLayoutDialog)(void*);
typedef int (*kvPfnUiLayoutNodes)(void*, kvUiLayoutNode*, int);
typedef bool (*kvPfnUiLayoutPersist)(void*, const wchar_t*, bool);
