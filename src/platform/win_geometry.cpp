// Where windows are: positions and sizes with the messages they bring, the
// Z order among siblings, show states and placement, deferred positioning,
// scroll ranges and the screen's metrics.
#include "platform/win_window_internal.h"

#include <algorithm>

namespace kvplat {
namespace detail {
namespace {

POINT windowOrigin(const Window* w);

POINT clientOrigin(const Window* w)
{
    POINT p = windowOrigin(w);
    RECT in = insets(*w);
    p.x += in.left;
    p.y += in.top;
    return p;
}

POINT windowOrigin(const Window* w)
{
    if ((w->style & WS_CHILD) && w->parent) {
        if (const Window* p = find(w->parent)) {
            POINT o = clientOrigin(p);
            return POINT{o.x + w->rect.left, o.y + w->rect.top};
        }
    }
    return POINT{w->rect.left, w->rect.top};
}

// The Z order among siblings: first in the list is on top. HWND_TOP and
// HWND_BOTTOM move to either end, a sibling handle right behind that sibling;
// the topmost markers leave the order as it is.
void reorder(Window* w, HWND insertAfter)
{
    std::vector<HWND>* list = siblingList(w);
    if (!list || insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST || insertAfter == w->handle)
        return;
    auto self = std::find(list->begin(), list->end(), w->handle);
    if (self == list->end())
        return;
    if (insertAfter != HWND_TOP && insertAfter != HWND_BOTTOM &&
        std::find(list->begin(), list->end(), insertAfter) == list->end())
        return;
    list->erase(self);
    if (insertAfter == HWND_TOP)
        list->insert(list->begin(), w->handle);
    else if (insertAfter == HWND_BOTTOM)
        list->push_back(w->handle);
    else
        list->insert(std::find(list->begin(), list->end(), insertAfter) + 1, w->handle);
}

WPARAM sizeTypeOf(const Window* w)
{
    return w->showCmd == SW_SHOWMAXIMIZED ? SIZE_MAXIMIZED : SIZE_RESTORED;
}

} // namespace

SIZE clientSize(const Window* w)
{
    RECT in = insets(*w);
    LONG cx = (w->rect.right - w->rect.left) - in.left - in.right;
    LONG cy = (w->rect.bottom - w->rect.top) - in.top - in.bottom;
    return SIZE{std::max<LONG>(cx, 0), std::max<LONG>(cy, 0)};
}

bool setPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags, WPARAM sizeType)
{
    Window* w = find(hwnd);
    if (!w)
        return false;
    WINDOWPOS pos{hwnd, insertAfter, x, y, cx, cy, flags};
    if (flags & SWP_NOMOVE) {
        pos.x = w->rect.left;
        pos.y = w->rect.top;
    }
    if (flags & SWP_NOSIZE) {
        pos.cx = w->rect.right - w->rect.left;
        pos.cy = w->rect.bottom - w->rect.top;
    }
    if (!(flags & SWP_NOSENDCHANGING)) {
        send(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
        if (!(w = find(hwnd)))
            return false;
    }
    pos.cx = std::max(pos.cx, 0);
    pos.cy = std::max(pos.cy, 0);
    const bool sizing = pos.cx != w->rect.right - w->rect.left || pos.cy != w->rect.bottom - w->rect.top;
    if (sizing && !(w->style & WS_CHILD)) {
        MINMAXINFO mmi{};
        mmi.ptMaxSize = POINT{st().screenWidth, st().screenHeight};
        mmi.ptMaxTrackSize = POINT{st().screenWidth + 24, st().screenHeight + 24};
        send(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
        if (!(w = find(hwnd)))
            return false;
        pos.cx = std::min(std::max(pos.cx, static_cast<int>(mmi.ptMinTrackSize.x)), static_cast<int>(mmi.ptMaxTrackSize.x));
        pos.cy = std::min(std::max(pos.cy, static_cast<int>(mmi.ptMinTrackSize.y)), static_cast<int>(mmi.ptMaxTrackSize.y));
    }
    if (!(pos.flags & SWP_NOZORDER))
        reorder(w, pos.hwndInsertAfter);
    const RECT old = w->rect;
    const SIZE oldClient = clientSize(w);
    w->rect = RECT{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
    const bool moved = old.left != w->rect.left || old.top != w->rect.top;
    const SIZE newClient = clientSize(w);
    const bool resized = oldClient.cx != newClient.cx || oldClient.cy != newClient.cy ||
                         (old.right - old.left) != pos.cx || (old.bottom - old.top) != pos.cy;
    if (pos.flags & SWP_SHOWWINDOW)
        w->style |= WS_VISIBLE;
    if (pos.flags & SWP_HIDEWINDOW)
        w->style &= ~WS_VISIBLE;
    if (!(pos.flags & SWP_NOREDRAW) && (moved || resized || (pos.flags & (SWP_SHOWWINDOW | SWP_FRAMECHANGED))))
        invalidate(w);
    send(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    if (!(w = find(hwnd)))
        return true;
    if (moved) {
        POINT o = POINT{w->rect.left, w->rect.top};
        send(hwnd, WM_MOVE, 0, MAKELPARAM(o.x, o.y));
        if (!(w = find(hwnd)))
            return true;
    }
    if (resized) {
        SIZE c = clientSize(w);
        send(hwnd, WM_SIZE, sizeType, MAKELPARAM(c.cx, c.cy));
    }
    return true;
}

RECT insets(const Window& w)
{
    int frame = 0;
    if (w.style & WS_THICKFRAME)
        frame = 4;
    else if ((w.style & WS_DLGFRAME) || (w.exStyle & WS_EX_DLGMODALFRAME))
        frame = 3;
    else if (w.style & WS_BORDER)
        frame = 1;
    if (w.exStyle & WS_EX_CLIENTEDGE)
        frame += 2;
    RECT r{frame, frame, frame, frame};
    if ((w.style & WS_CAPTION) == WS_CAPTION)
        r.top += 20;
    return r;
}

} // namespace detail

using detail::find;
using detail::st;
using detail::Window;

void userResize(HWND hwnd, int width, int height)
{
    Window* w = find(hwnd);
    if (!w)
        return;
    detail::send(hwnd, WM_ENTERSIZEMOVE, 0, 0);
    detail::setPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE, SIZE_RESTORED);
    detail::send(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

void setScreenSize(int width, int height)
{
    st().screenWidth = width;
    st().screenHeight = height;
}

} // namespace kvplat

using kvplat::detail::find;
using kvplat::detail::st;
using kvplat::detail::Window;
using kvplat::detail::send;

// ---------------------------------------------------------------- show state

BOOL WINAPI ShowWindow(HWND hwnd, int cmdShow)
{
    Window* w = find(hwnd);
    if (!w)
        return FALSE;
    const bool was = (w->style & WS_VISIBLE) != 0;
    const bool show = cmdShow != SW_HIDE;
    const UINT oldCmd = w->showCmd;
    switch (cmdShow) {
    case SW_MAXIMIZE:
        w->showCmd = SW_SHOWMAXIMIZED;
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
        w->showCmd = SW_SHOWMINIMIZED;
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
        w->showCmd = SW_SHOWNORMAL;
        break;
    default:
        break;
    }
    if (show != was) {
        send(hwnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        if (!(w = find(hwnd)))
            return was;
        if (show) {
            w->style |= WS_VISIBLE;
            kvplat::detail::invalidate(w);
        } else {
            w->style &= ~WS_VISIBLE;
        }
    }
    if (w->showCmd != oldCmd) {
        if (w->showCmd == SW_SHOWMAXIMIZED) {
            w->normalRect = w->rect;
            int cx = st().screenWidth, cy = st().screenHeight;
            if (w->style & WS_CHILD) {
                if (Window* p = find(w->parent)) {
                    SIZE ps = kvplat::detail::clientSize(p);
                    cx = ps.cx;
                    cy = ps.cy;
                }
            }
            kvplat::detail::setPos(hwnd, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE, SIZE_MAXIMIZED);
        } else if (oldCmd == SW_SHOWMAXIMIZED && w->showCmd == SW_SHOWNORMAL) {
            RECT r = w->normalRect;
            kvplat::detail::setPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                   SWP_NOZORDER | SWP_NOACTIVATE, SIZE_RESTORED);
        } else if (w->showCmd == SW_SHOWMINIMIZED) {
            send(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
        }
    }
    // Top-level windows: showing raises and activates, hiding or minimising
    // hands activation on.
    if ((w = find(hwnd)) && !(w->style & WS_CHILD)) {
        if (!show || cmdShow == SW_MINIMIZE || cmdShow == SW_SHOWMINNOACTIVE)
            kvplat::detail::activateNextAfter(hwnd);
        else if (cmdShow == SW_SHOWNORMAL || cmdShow == SW_SHOWMAXIMIZED || cmdShow == SW_SHOW ||
                 cmdShow == SW_RESTORE || cmdShow == SW_SHOWDEFAULT || cmdShow == SW_MAXIMIZE) {
            kvplat::detail::raise(hwnd);
            kvplat::detail::activate(hwnd, WA_ACTIVE);
        }
    }
    return was ? TRUE : FALSE;
}

// ---------------------------------------------------------------- geometry

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect)
{
    Window* w = find(hwnd);
    if (!w || !rect)
        return FALSE;
    SIZE c = kvplat::detail::clientSize(w);
    *rect = RECT{0, 0, c.cx, c.cy};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect)
{
    Window* w = find(hwnd);
    if (!w || !rect)
        return FALSE;
    POINT o = kvplat::detail::windowOrigin(w);
    *rect = RECT{o.x, o.y, o.x + (w->rect.right - w->rect.left), o.y + (w->rect.bottom - w->rect.top)};
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point)
{
    Window* w = find(hwnd);
    if (!w || !point)
        return FALSE;
    POINT o = kvplat::detail::clientOrigin(w);
    point->x -= o.x;
    point->y -= o.y;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point)
{
    Window* w = find(hwnd);
    if (!w || !point)
        return FALSE;
    POINT o = kvplat::detail::clientOrigin(w);
    point->x += o.x;
    point->y += o.y;
    return TRUE;
}

int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count)
{
    POINT fromOrigin{0, 0}, toOrigin{0, 0};
    if (from) {
        Window* w = find(from);
        if (!w) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        fromOrigin = kvplat::detail::clientOrigin(w);
    }
    if (to) {
        Window* w = find(to);
        if (!w) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        toOrigin = kvplat::detail::clientOrigin(w);
    }
    const LONG dx = fromOrigin.x - toOrigin.x;
    const LONG dy = fromOrigin.y - toOrigin.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL WINAPI SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    Window* w = find(hwnd);
    if (!w)
        return FALSE;
    return kvplat::detail::setPos(hwnd, insertAfter, x, y, cx, cy, flags, kvplat::detail::sizeTypeOf(w)) ? TRUE : FALSE;
}

HDWP WINAPI BeginDeferWindowPos(int numWindows)
{
    if (numWindows < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HDWP h = reinterpret_cast<HDWP>(st().nextDefer);
    st().nextDefer += 4;
    st().defers[h].positions.reserve(static_cast<size_t>(numWindows));
    return h;
}

HDWP WINAPI DeferWindowPos(HDWP info, HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    auto it = st().defers.find(info);
    if (it == st().defers.end())
        return nullptr;
    if (!find(hwnd)) {
        // As the system does: a bad window ends the whole batch.
        st().defers.erase(it);
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    for (auto& p : it->second.positions) {
        if (p.hwnd == hwnd) {
            p = WINDOWPOS{hwnd, insertAfter, x, y, cx, cy, flags};
            return info;
        }
    }
    it->second.positions.push_back(WINDOWPOS{hwnd, insertAfter, x, y, cx, cy, flags});
    return info;
}

BOOL WINAPI EndDeferWindowPos(HDWP info)
{
    auto it = st().defers.find(info);
    if (it == st().defers.end())
        return FALSE;
    const std::vector<WINDOWPOS> positions = std::move(it->second.positions);
    st().defers.erase(it);
    for (const auto& p : positions)
        SetWindowPos(p.hwnd, p.hwndInsertAfter, p.x, p.y, p.cx, p.cy, p.flags);
    return TRUE;
}

BOOL WINAPI GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement)
{
    Window* w = find(hwnd);
    if (!w || !placement)
        return FALSE;
    placement->length = sizeof(WINDOWPLACEMENT);
    placement->flags = 0;
    placement->showCmd = w->showCmd;
    placement->ptMinPosition = POINT{-1, -1};
    placement->ptMaxPosition = POINT{-1, -1};
    placement->rcNormalPosition = w->showCmd == SW_SHOWMAXIMIZED ? w->normalRect : w->rect;
    return TRUE;
}

BOOL WINAPI SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement)
{
    Window* w = find(hwnd);
    if (!w || !placement)
        return FALSE;
    const RECT& r = placement->rcNormalPosition;
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hwnd, static_cast<int>(placement->showCmd));
    return TRUE;
}

BOOL WINAPI GetScrollInfo(HWND hwnd, int bar, LPSCROLLINFO info)
{
    Window* w = find(hwnd);
    if (!w || !info || (bar != SB_HORZ && bar != SB_VERT))
        return FALSE;
    const SCROLLINFO& s = w->scroll[bar].info;
    if (info->fMask & SIF_RANGE) {
        info->nMin = s.nMin;
        info->nMax = s.nMax;
    }
    if (info->fMask & SIF_PAGE)
        info->nPage = s.nPage;
    if (info->fMask & SIF_POS)
        info->nPos = s.nPos;
    if (info->fMask & SIF_TRACKPOS)
        info->nTrackPos = s.nPos;
    return TRUE;
}

int WINAPI SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* info, BOOL)
{
    Window* w = find(hwnd);
    if (!w || !info || (bar != SB_HORZ && bar != SB_VERT))
        return 0;
    SCROLLINFO& s = w->scroll[bar].info;
    if (info->fMask & SIF_RANGE) {
        s.nMin = info->nMin;
        s.nMax = info->nMax;
    }
    if (info->fMask & SIF_PAGE)
        s.nPage = info->nPage;
    if (info->fMask & SIF_POS)
        s.nPos = info->nPos;
    return s.nPos;
}

// ---------------------------------------------------------------- metrics

int WINAPI GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN:
        return st().screenWidth;
    case SM_CYSCREEN:
        return st().screenHeight;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return 17;
    case SM_CYCAPTION:
        return 20;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
        return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    default:
        return 0;
    }
}
