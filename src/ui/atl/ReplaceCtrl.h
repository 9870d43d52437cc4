// Putting a library control where a dialog template placed a platform item:
// the control takes the item's rectangle, id, visibility, enabling, group and
// tab stop and its place in the Z order, and the item goes.
#pragma once

#include "platform/windows.h"

namespace kv {
namespace ui {
namespace atl {

struct Placeholder {
    HWND window = nullptr;
    HWND parent = nullptr;
    RECT rect{0, 0, 0, 0};  // in the parent's client coordinates
    DWORD style = 0;        // WS_VISIBLE, WS_DISABLED, WS_GROUP and WS_TABSTOP of the item, with WS_CHILD
    DWORD itemStyle = 0;    // the item's own low style bits (button kind, edit options)
    HWND before = nullptr;  // the window that precedes the item in the Z order, or null
    UINT id = 0;
};

// The dialog's item id as a placeholder; false when there is no such item.
bool findPlaceholder(HWND dialog, int id, Placeholder& out);
// Destroys the placeholder and puts control where it stood in the Z order,
// without moving or sizing it.
void takePlaceOf(HWND control, const Placeholder& placeholder);

// The base of the proxies that can replace a dialog item.
class ReplaceCtrlBase {
public:
    virtual ~ReplaceCtrlBase() = default;
    // Creates the control in place of the item; null (and the item kept) when
    // there is no such item or the control cannot be made.
    HWND replaceDlgItem(HWND dialog, int id);

protected:
    virtual HWND createInPlace(const Placeholder& placeholder, const wchar_t* text) = 0;
};

} // namespace atl
} // namespace ui
} // namespace kv
