#include "ui/atl/WindowUtils.h"

#include <cwchar>

namespace kv {
namespace ui {
namespace atl {

namespace {

BOOL CALLBACK collect(HWND child, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(child);
    return TRUE;
}

bool hasSetSel(HWND window) { return (SendMessageW(window, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) != 0; }

const UINT kBackspace = 8;
const UINT kDeleteChar = 127;

} // namespace

bool isWindowWithin(HWND window, HWND ancestor)
{
    for (HWND w = window; w; w = GetParent(w))
        if (w == ancestor)
            return true;
    return false;
}

HWND findNonChildAncestor(HWND window)
{
    for (HWND w = window; w; w = GetParent(w))
        if (!(GetWindowLongW(w, GWL_STYLE) & WS_CHILD))
            return w;
    return nullptr;
}

bool hasWindowClass(HWND window, const wchar_t* name)
{
    if (!window || !name)
        return false;
    wchar_t buffer[256] = {0};
    const int n = GetClassNameW(window, buffer, 256);
    return n > 0 && static_cast<size_t>(n) == std::wcslen(name) && std::wcscmp(buffer, name) == 0;
}

void collectChildWindows(HWND window, std::vector<HWND>& out)
{
    out.clear();
    EnumChildWindows(window, &collect, reinterpret_cast<LPARAM>(&out));
}

bool getMonitorRect(HWND window, DWORD flags, RECT* out)
{
    if (!window || !out)
        return false;
    HMONITOR monitor = MonitorFromWindow(window, flags);
    if (!monitor)
        return false;
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(monitor, &info))
        return false;
    *out = info.rcMonitor;
    return true;
}

bool adjustComboDropHeight(HWND combo)
{
    if (hasWindowClass(combo, L"ComboBoxEx32"))
        combo = GetWindow(combo, GW_CHILD);
    if (!combo)
        return false;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    if (count < 1)
        return false;
    const LONG step = static_cast<LONG>(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0)) + 1;
    LONG list = static_cast<LONG>(count) * step + 1;
    RECT monitor{0, 0, 0, 0}, own;
    getMonitorRect(combo, MONITOR_DEFAULTTONULL, &monitor);
    GetWindowRect(combo, &own);
    const LONG free = (monitor.bottom - monitor.top) - (own.bottom - own.top);
    if (step > 0 && free / 2 < list)
        list = (free / 2) / step * step + 1;
    SetWindowPos(combo, nullptr, 0, 0, own.right - own.left, (own.bottom - own.top) + list,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    InvalidateRect(combo, nullptr, TRUE);
    return true;
}

void sendStartKeyToEdit(HWND window, UINT key)
{
    if (!window || key == 0)
        return;
    HWND target = hasSetSel(window) ? window : nullptr;
    for (HWND child = GetWindow(window, GW_CHILD); !target && child; child = GetWindow(child, GW_HWNDNEXT))
        if (hasSetSel(child))
            target = child;
    if (!target)
        return;
    if (key == kBackspace) {
        PostMessageW(target, WM_KEYDOWN, VK_END, 0);
        PostMessageW(target, WM_KEYDOWN, VK_BACK, 0);
    } else if (key == kDeleteChar) {
        // Only the delete character clears the text: 46 is the full stop a
        // user types into a number.
        PostMessageW(target, EM_SETSEL, 0, -1);
        PostMessageW(target, WM_KEYDOWN, VK_DELETE, 0);
    } else {
        PostMessageW(target, EM_SETSEL, 0, -1);
        if (key >= 28)
            PostMessageW(target, WM_CHAR, key, 0);
    }
}

} // namespace atl
} // namespace ui
} // namespace kv
