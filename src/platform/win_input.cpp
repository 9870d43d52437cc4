// Input: the keyboard's state as the script sets it, focus, mouse capture
// and the cursor position of the last message.
#include "platform/win_window_internal.h"

namespace kvplat {

using detail::find;
using detail::st;
using detail::Window;

void setKeyDown(int virtualKey, bool down) { st().keys[virtualKey & 0xFF] = down; }

void releaseAllKeys()
{
    for (bool& k : st().keys)
        k = false;
}

} // namespace kvplat

using kvplat::detail::find;
using kvplat::detail::st;
using kvplat::detail::Window;
using kvplat::detail::send;

SHORT WINAPI GetKeyState(int virtKey) { return st().keys[virtKey & 0xFF] ? static_cast<SHORT>(0x8000) : 0; }

SHORT WINAPI GetAsyncKeyState(int virtKey) { return GetKeyState(virtKey); }

HWND WINAPI SetFocus(HWND hwnd)
{
    if (hwnd && !find(hwnd))
        return nullptr;
    HWND old = st().focus;
    if (old == hwnd)
        return old;
    st().focus = hwnd;
    if (old && find(old))
        send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (hwnd && find(hwnd))
        send(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    return old;
}

HWND WINAPI GetFocus() { return find(st().focus) ? st().focus : nullptr; }

HWND WINAPI GetActiveWindow()
{
    HWND h = GetFocus();
    Window* w = find(h);
    while (w && (w->style & WS_CHILD)) {
        h = w->parent;
        w = find(h);
    }
    return h;
}

HWND WINAPI SetCapture(HWND hwnd)
{
    HWND old = st().capture;
    st().capture = find(hwnd) ? hwnd : nullptr;
    return old;
}

HWND WINAPI GetCapture() { return find(st().capture) ? st().capture : nullptr; }

BOOL WINAPI ReleaseCapture()
{
    HWND old = st().capture;
    st().capture = nullptr;
    if (old && find(old))
        send(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

BOOL WINAPI GetCursorPos(LPPOINT point)
{
    if (!point)
        return FALSE;
    *point = st().lastMessage.pt;
    return TRUE;
}
