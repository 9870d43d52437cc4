#include "ui/atl/ReplaceCtrl.h"

#include <string>

namespace kv {
namespace ui {
namespace atl {

namespace {

const DWORD kTakenStyle = WS_VISIBLE | WS_DISABLED | WS_GROUP | WS_TABSTOP;

} // namespace

bool findPlaceholder(HWND dialog, int id, Placeholder& out)
{
    HWND item = GetDlgItem(dialog, id);
    if (!item)
        return false;
    out.window = item;
    out.parent = GetParent(item);
    GetWindowRect(item, &out.rect);
    MapWindowPoints(nullptr, out.parent, reinterpret_cast<POINT*>(&out.rect), 2);
    const DWORD style = static_cast<DWORD>(GetWindowLongW(item, GWL_STYLE));
    out.style = (style & kTakenStyle) | WS_CHILD;
    out.itemStyle = style & 0xFFFF;
    out.before = GetWindow(item, GW_HWNDPREV);
    out.id = static_cast<UINT>(id);
    return true;
}

void takePlaceOf(HWND control, const Placeholder& placeholder)
{
    DestroyWindow(placeholder.window);
    SetWindowPos(control, placeholder.before ? placeholder.before : HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND ReplaceCtrlBase::replaceDlgItem(HWND dialog, int id)
{
    Placeholder placeholder;
    if (!findPlaceholder(dialog, id, placeholder))
        return nullptr;
    const int length = GetWindowTextLengthW(placeholder.window);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    GetWindowTextW(placeholder.window, &text[0], static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    HWND control = createInPlace(placeholder, text.c_str());
    if (!control)
        return nullptr;
    takePlaceOf(control, placeholder);
    return control;
}

} // namespace atl
} // namespace ui
} // namespace kv
