// Dialogs: their controls by id, the keyboard of a dialog (Return, Escape,
// Tab), default dialog processing and ending a dialog.
#include "platform/win_window_internal.h"

#include <algorithm>

using kvplat::detail::find;
using kvplat::detail::st;
using kvplat::detail::Window;
using kvplat::detail::send;

HWND WINAPI GetDlgItem(HWND dialog, int id)
{
    Window* w = find(dialog);
    if (!w)
        return nullptr;
    for (HWND c : w->children) {
        Window* cw = find(c);
        if (cw && cw->id == id)
            return c;
    }
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hwnd)
{
    Window* w = find(hwnd);
    return w && (w->style & WS_CHILD) ? static_cast<int>(w->id) : 0;
}

BOOL WINAPI SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) { return SetWindowTextW(GetDlgItem(dialog, id), text); }

UINT WINAPI GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int maxCount)
{
    return static_cast<UINT>(GetWindowTextW(GetDlgItem(dialog, id), buffer, maxCount));
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check)
{
    HWND b = GetDlgItem(dialog, id);
    if (!b)
        return FALSE;
    send(b, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id)
{
    HWND b = GetDlgItem(dialog, id);
    return b ? static_cast<UINT>(send(b, BM_GETCHECK, 0, 0)) : 0;
}

LRESULT WINAPI SendDlgItemMessageW(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessageW(item, msg, wParam, lParam) : 0;
}

BOOL WINAPI IsDialogMessageW(HWND dialog, LPMSG msg)
{
    if (!msg || !find(dialog))
        return FALSE;
    if (msg->hwnd != dialog && !kvplat::detail::isDescendant(dialog, msg->hwnd))
        return FALSE;
    if (msg->message == WM_KEYDOWN) {
        const LRESULT code = send(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
        if (!(code & DLGC_WANTALLKEYS)) {
            if (msg->wParam == VK_RETURN) {
                int id = IDOK;
                HWND button = nullptr;
                for (HWND c : kvplat::childWindows(dialog)) {
                    Window* cw = find(c);
                    if (cw && _wcsicmp(cw->className.c_str(), L"Button") == 0 &&
                        (cw->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
                        id = static_cast<int>(cw->id);
                        button = c;
                        break;
                    }
                }
                if (!button)
                    button = GetDlgItem(dialog, id);
                send(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
                return TRUE;
            }
            if (msg->wParam == VK_ESCAPE) {
                send(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
                return TRUE;
            }
            if (msg->wParam == VK_TAB && !(code & DLGC_WANTTAB)) {
                std::vector<HWND> stops;
                for (HWND c : kvplat::childWindows(dialog)) {
                    Window* cw = find(c);
                    if (cw && (cw->style & WS_TABSTOP) && (cw->style & WS_VISIBLE) && !(cw->style & WS_DISABLED))
                        stops.push_back(c);
                }
                if (!stops.empty()) {
                    auto it = std::find(stops.begin(), stops.end(), GetFocus());
                    const bool back = GetKeyState(VK_SHIFT) < 0;
                    HWND next;
                    if (it == stops.end())
                        next = back ? stops.back() : stops.front();
                    else if (back)
                        next = it == stops.begin() ? stops.back() : *(it - 1);
                    else
                        next = (it + 1) == stops.end() ? stops.front() : *(it + 1);
                    SetFocus(next);
                }
                return TRUE;
            }
        }
    }
    DispatchMessageW(msg);
    return TRUE;
}

namespace {

// A dialog keeps the control that had the focus when it lost activation and
// gives it the focus back when it wins it again; the first tab stop otherwise.
void activateDialog(HWND dialog, WPARAM state)
{
    Window* w = find(dialog);
    if (!w)
        return;
    if (LOWORD(state) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && kvplat::detail::isDescendant(dialog, focus))
            w->dialogFocus = focus;
        return;
    }
    if (HIWORD(state))
        return;
    HWND target = kvplat::detail::isDescendant(dialog, w->dialogFocus) ? w->dialogFocus : nullptr;
    for (HWND c : kvplat::childWindows(dialog)) {
        if (target)
            break;
        Window* cw = find(c);
        if (cw && (cw->style & WS_TABSTOP) && (cw->style & WS_VISIBLE) && !(cw->style & WS_DISABLED))
            target = c;
    }
    kvplat::detail::focusOnActivation(dialog, target ? target : dialog);
}

} // namespace

LRESULT WINAPI DefDlgProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_ACTIVATE:
        activateDialog(hwnd, wParam);
        return 0;
    case WM_CLOSE:
        send(hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hwnd, IDCANCEL)));
        return 0;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_GETDLGCODE:
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

BOOL WINAPI EndDialog(HWND dialog, INT_PTR result)
{
    Window* w = find(dialog);
    if (!w)
        return FALSE;
    w->msgResult = result;
    ShowWindow(dialog, SW_HIDE);
    return TRUE;
}

BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect)
{
    // Dialog templates here are described in pixels: one unit is one pixel.
    return find(dialog) && rect ? TRUE : FALSE;
}
