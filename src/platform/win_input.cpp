// Input: the keyboard's state as the script sets it, activation of top-level
// windows, focus, mouse capture and the cursor position of the last message.
#include "platform/win_window_internal.h"

#include <algorithm>

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

namespace detail {

HWND topLevelOf(HWND hwnd)
{
    Window* w = find(hwnd);
    while (w && (w->style & WS_CHILD) && find(w->parent)) {
        hwnd = w->parent;
        w = find(hwnd);
    }
    return w ? hwnd : nullptr;
}

namespace {

void tellApplication(bool active, HWND except)
{
    const std::vector<HWND> tops = st().topLevel;
    for (HWND h : tops)
        if (h != except && find(h))
            send(h, WM_ACTIVATEAPP, active ? TRUE : FALSE, 0);
}

bool minimized(HWND hwnd)
{
    Window* w = find(hwnd);
    return w && w->showCmd == SW_SHOWMINIMIZED;
}

} // namespace

void activate(HWND target, WORD how)
{
    State& s = st();
    if (s.activating > 0 || (target && !find(target)))
        return;
    HWND old = find(s.active) ? s.active : nullptr;
    if (old == target)
        return;
    ++s.activating;
    if (old) {
        send(old, WM_NCACTIVATE, FALSE, 0);
        if (find(old))
            send(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, minimized(old)), reinterpret_cast<LPARAM>(target));
    }
    // The window that loses may have closed the target on the way.
    if (target && !find(target))
        target = nullptr;
    s.active = target;
    if (target)
        raise(target);
    if (!target)
        tellApplication(false, nullptr);
    else if (!old)
        tellApplication(true, nullptr);
    if (target) {
        send(target, WM_NCACTIVATE, TRUE, 0);
        if (find(target))
            send(target, WM_ACTIVATE, MAKEWPARAM(how, minimized(target)),
                 reinterpret_cast<LPARAM>(find(old) ? old : nullptr));
    }
    --s.activating;
}

void focusOnActivation(HWND window, HWND target)
{
    const HWND pending = st().focusAfterActivation;
    if (pending && (pending == window || isDescendant(window, pending)))
        return;
    const HWND focus = GetFocus();
    if (focus && (focus == window || isDescendant(window, focus)))
        return;
    SetFocus(target);
}

void activateNextAfter(HWND leaving)
{
    if (leaving != st().active)
        return;
    auto eligible = [leaving](HWND h) {
        const Window* w = find(h);
        return h != leaving && w && !(w->style & WS_CHILD) && (w->style & WS_VISIBLE) &&
               !(w->style & WS_DISABLED) && !w->destroying;
    };
    const Window* w = find(leaving);
    const HWND owner = w && !(w->style & WS_CHILD) ? w->parent : nullptr;
    if (eligible(owner)) {
        activate(owner, WA_ACTIVE);
        return;
    }
    // Otherwise the next window of ours in Z order, the one that was active
    // before unless another has been raised since.
    const std::vector<HWND> order = zOrder();
    const auto next = std::find_if(order.begin(), order.end(), eligible);
    activate(next == order.end() ? nullptr : *next, WA_ACTIVE);
}

void raise(HWND hwnd)
{
    for (Window* w = find(hwnd); w && !(w->style & WS_CHILD); w = find(w->parent)) {
        std::vector<HWND>* list = siblingList(w);
        if (!list)
            continue;
        const auto self = std::find(list->begin(), list->end(), w->handle);
        if (self != list->end())
            std::rotate(list->begin(), self, self + 1);
    }
}

} // namespace detail

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
    // The focus takes its top-level window with it; the activation's own
    // default focus gives way to this one.
    const HWND top = kvplat::detail::topLevelOf(hwnd);
    if (hwnd && top != st().active && st().activating == 0) {
        const HWND outer = st().focusAfterActivation;
        st().focusAfterActivation = hwnd;
        kvplat::detail::activate(top, WA_ACTIVE);
        st().focusAfterActivation = outer;
        if (!find(hwnd))
            return nullptr;
    }
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

HWND WINAPI GetActiveWindow() { return find(st().active) ? st().active : nullptr; }

HWND WINAPI SetActiveWindow(HWND hwnd)
{
    Window* w = find(hwnd);
    if (!w || (w->style & WS_CHILD))
        return nullptr;
    const HWND old = GetActiveWindow();
    kvplat::detail::activate(hwnd, WA_ACTIVE);
    return old;
}

HWND WINAPI SetCapture(HWND hwnd)
{
    const HWND old = GetCapture();
    const HWND gaining = find(hwnd) ? hwnd : nullptr;
    st().capture = gaining;
    // The window that loses the capture is told, whoever takes it.
    if (old && old != gaining)
        send(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(gaining));
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
