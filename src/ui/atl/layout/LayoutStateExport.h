// The layout persistence offered to the module's host through the test entry
// (host/kvTestEntry.h): the layouts attached inside a window, their nodes,
// and saving or restoring one under a registry path of the current user.
#pragma once

#include "host/kvTestEntry.h"

namespace kv {
namespace ui {
namespace atl {
namespace layout {

// The functions of kvTestEntryTable of the same names.
int layoutsWithin(HWND window, void** out, int max);
HWND layoutDialog(void* layout);
int layoutNodes(void* layout, kvUiLayoutNode* out, int max);
bool layoutPersist(void* layout, const wchar_t* path, bool save);

} // namespace layout
} // namespace atl
} // namespace ui
} // namespace kv
