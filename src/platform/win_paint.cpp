// Painting: windows marked invalid and painted when the queue runs idle or
// when asked, and the device contexts of painting.
#include "platform/win_window_internal.h"

namespace kvplat {
namespace detail {

void paintNow(HWND hwnd)
{
    Window* w = find(hwnd);
    if (!w || !w->invalid || !w->redraw || !IsWindowVisible(hwnd))
        return;
    ++w->paintCount;
    send(hwnd, WM_PAINT, 0, 0);
    if ((w = find(hwnd)))
        w->invalid = false;
}

void invalidate(Window* w)
{
    w->invalid = true;
    ++w->invalidateCount;
}

} // namespace detail

using detail::find;
using detail::st;
using detail::Window;

int paintCount(HWND hwnd)
{
    Window* w = find(hwnd);
    return w ? w->paintCount : 0;
}

int invalidateCount(HWND hwnd)
{
    Window* w = find(hwnd);
    return w ? w->invalidateCount : 0;
}

bool isInvalid(HWND hwnd)
{
    Window* w = find(hwnd);
    return w && w->invalid;
}

bool isRedrawEnabled(HWND hwnd)
{
    Window* w = find(hwnd);
    return w && w->redraw;
}

} // namespace kvplat

using kvplat::detail::find;
using kvplat::detail::st;
using kvplat::detail::Window;
using kvplat::detail::send;

// ---------------------------------------------------------------- painting

BOOL WINAPI RedrawWindow(HWND hwnd, const RECT*, HRGN, UINT flags)
{
    if (!hwnd)
        return TRUE;
    Window* w = find(hwnd);
    if (!w)
        return FALSE;
    const bool children = (flags & RDW_ALLCHILDREN) != 0;
    auto apply = [&](HWND h) {
        Window* x = find(h);
        if (!x)
            return;
        if (flags & RDW_INVALIDATE)
            kvplat::detail::invalidate(x);
        if (flags & RDW_VALIDATE)
            x->invalid = false;
    };
    apply(hwnd);
    if (children)
        kvplat::detail::forEachDescendant(hwnd, apply);
    if (flags & RDW_UPDATENOW) {
        kvplat::detail::paintNow(hwnd);
        if (children)
            kvplat::detail::forEachDescendant(hwnd, [](HWND h) { kvplat::detail::paintNow(h); });
    }
    return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hwnd)
{
    if (!find(hwnd))
        return FALSE;
    kvplat::detail::paintNow(hwnd);
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT*, BOOL)
{
    if (!hwnd)
        return TRUE;
    Window* w = find(hwnd);
    if (!w)
        return FALSE;
    kvplat::detail::invalidate(w);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT*)
{
    Window* w = find(hwnd);
    if (!w)
        return FALSE;
    w->invalid = false;
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint)
{
    Window* w = find(hwnd);
    if (!w || !paint)
        return nullptr;
    w->invalid = false;
    *paint = PAINTSTRUCT{};
    paint->hdc = kvplat::detail::windowDc(hwnd);
    GetClientRect(hwnd, &paint->rcPaint);
    paint->fErase = TRUE;
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT* paint)
{
    if (paint && paint->hdc)
        ReleaseDC(hwnd, paint->hdc);
    return TRUE;
}

HDC WINAPI GetDC(HWND hwnd)
{
    if (hwnd && !find(hwnd))
        return nullptr;
    return kvplat::detail::windowDc(hwnd);
}

HDC WINAPI GetWindowDC(HWND hwnd) { return GetDC(hwnd); }
