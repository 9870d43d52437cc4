// The module's one export for tests and the host simulator: what no host
// loads but a simulator needs to show the window-control library at work,
// since no analysis dialog makes field controls or stores a layout. A host
// finds it by name, like the exports in kvExports.h, and uses the table
// without linking the module.
#pragma once

#include "host/kvExports.h"
#include "platform/windows.h"

namespace kv {
namespace ui {
namespace atl {
namespace dv {
class ControlFactories;
}
}  // namespace atl
}  // namespace ui
}  // namespace kv

// One node of a layout tree, in depth-first order.
struct kvUiLayoutNode {
    int id;
    int depth;  // 0 for the root
    RECT current;
};

struct kvTestEntryTable {
    // The property-grid framework's control factories ("PushButton",
    // "CheckBox", "ColorButton").
    kv::ui::atl::dv::ControlFactories* controlFactories;
    // The layouts attached to window or to any window inside it, in window
    // order, as handles for the functions below; at most max are stored in
    // out. Returns how many there are.
    int (*layoutsWithin)(HWND window, void** out, int max);
    // The dialog a layout is attached to.
    HWND (*layoutDialog)(void* layout);
    // The layout's nodes; at most max are stored. Returns how many there are.
    int (*layoutNodes)(void* layout, kvUiLayoutNode* out, int max);
    // Saves (save true) or restores the layout's state under
    // HKEY_CURRENT_USER\path: the nodes' placements, factors and list
    // columns. The dialog's next size change lays it out from the restored
    // placement. False when the store refuses or the stored state does not
    // fit; a restore that does not fit leaves the layout as it was.
    bool (*layoutPersist)(void* layout, const wchar_t* path, bool save);
};

extern "C" {
// The table; never null.
KV_MODULE_EXPORT const kvTestEntryTable* kvAnalyseTestEntry();
}

using kvPfnTestEntry = const kvTestEntryTable* (*)();
