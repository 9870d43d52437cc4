// Windows as records in a tree, classes, the message queue, timers on the
// advanced clock, focus, geometry and painting.
#include "platform/platform_internal.h"

#include <algorithm>
#include <cwctype>
#include <deque>
#include <unordered_map>

namespace kvplat {
namespace detail {
namespace {

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT interval;
    DWORD due;
    TIMERPROC proc;
};

struct DeferInfo {
    std::vector<WINDOWPOS> positions;
};

std::wstring lower(const std::wstring& s)
{
    std::wstring out(s);
    for (auto& c : out)
        c = static_cast<wchar_t>(std::towlower(c));
    return out;
}

struct State {
    std::unordered_map<HWND, std::unique_ptr<Window>> windows;
    std::vector<HWND> topLevel;
    std::map<std::wstring, WindowClass> classes;  // by lower-case name
    ATOM nextAtom = 0xC000;
    uintptr_t nextHandle = 0x10010;
    std::deque<MSG> queue;
    std::vector<Timer> timers;
    UINT_PTR nextTimerId = 0x7F00;
    DWORD clock = 0;
    HWND focus = nullptr;
    HWND capture = nullptr;
    bool keys[256] = {};
    MessageLogHook logHook;
    std::map<std::wstring, UINT> registeredMessages;
    UINT nextMessage = 0xC000;
    std::unordered_map<HDWP, DeferInfo> defers;
    uintptr_t nextDefer = 0x5000;
    int screenWidth = 1920;
    int screenHeight = 1080;
    MSG lastMessage{};
    bool builtInsRegistered = false;
};

State& st()
{
    static State state;
    return state;
}

void ensureInit()
{
    State& s = st();
    if (!s.builtInsRegistered) {
        s.builtInsRegistered = true;
        registerBuiltInClasses();
    }
}

std::vector<HWND>* siblingList(Window* w)
{
    if (w->style & WS_CHILD) {
        Window* p = find(w->parent);
        return p ? &p->children : nullptr;
    }
    if (w->parent) {
        Window* owner = find(w->parent);
        return owner ? &owner->owned : nullptr;
    }
    return &st().topLevel;
}

void unlink(Window* w)
{
    if (auto* list = siblingList(w))
        list->erase(std::remove(list->begin(), list->end(), w->handle), list->end());
}

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

SIZE clientSize(const Window* w)
{
    RECT in = insets(*w);
    LONG cx = (w->rect.right - w->rect.left) - in.left - in.right;
    LONG cy = (w->rect.bottom - w->rect.top) - in.top - in.bottom;
    return SIZE{std::max<LONG>(cx, 0), std::max<LONG>(cy, 0)};
}

void killTimersOf(HWND hwnd)
{
    auto& t = st().timers;
    t.erase(std::remove_if(t.begin(), t.end(), [hwnd](const Timer& x) { return x.hwnd == hwnd; }), t.end());
}

void sendDestroy(HWND hwnd)
{
    Window* w = find(hwnd);
    if (!w)
        return;
    w->destroying = true;
    w->style &= ~WS_VISIBLE;
    send(hwnd, WM_DESTROY, 0, 0);
    w = find(hwnd);
    if (!w)
        return;
    const std::vector<HWND> children = w->children;
    for (HWND c : children) {
        Window* cw = find(c);
        if (cw && !cw->destroying)
            sendDestroy(c);
    }
}

void sendNcDestroy(HWND hwnd)
{
    Window* w = find(hwnd);
    if (!w)
        return;
    const std::vector<HWND> children = w->children;
    for (HWND c : children)
        sendNcDestroy(c);
    send(hwnd, WM_NCDESTROY, 0, 0);
    w = find(hwnd);
    if (!w)
        return;
    State& s = st();
    if (s.focus == hwnd)
        s.focus = nullptr;
    if (s.capture == hwnd)
        s.capture = nullptr;
    killTimersOf(hwnd);
    unlink(w);
    s.windows.erase(hwnd);
    afxOnDestroy(hwnd);
}

bool isDescendant(HWND ancestor, HWND hwnd)
{
    Window* w = find(hwnd);
    while (w && (w->style & WS_CHILD)) {
        if (w->parent == ancestor)
            return true;
        w = find(w->parent);
    }
    return false;
}

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

void forEachDescendant(HWND hwnd, const std::function<void(HWND)>& fn)
{
    Window* w = find(hwnd);
    if (!w)
        return;
    const std::vector<HWND> children = w->children;
    for (HWND c : children) {
        fn(c);
        forEachDescendant(c, fn);
    }
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

WPARAM sizeTypeOf(const Window* w)
{
    return w->showCmd == SW_SHOWMAXIMIZED ? SIZE_MAXIMIZED : SIZE_RESTORED;
}

bool takeMessage(MSG* out, HWND hwnd, UINT minMsg, UINT maxMsg, bool remove)
{
    State& s = st();
    auto matches = [&](const MSG& m) {
        if (hwnd && m.hwnd != hwnd)
            return false;
        if (minMsg == 0 && maxMsg == 0)
            return true;
        return m.message >= minMsg && m.message <= maxMsg;
    };
    for (auto it = s.queue.begin(); it != s.queue.end(); ++it) {
        if (matches(*it)) {
            *out = *it;
            if (remove)
                s.queue.erase(it);
            return true;
        }
    }
    // Timers come when nothing else is waiting, earliest first.
    Timer* best = nullptr;
    for (auto& t : s.timers) {
        if (t.due > s.clock)
            continue;
        MSG m{t.hwnd, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc), s.clock, POINT{0, 0}};
        if (!matches(m))
            continue;
        if (!best || t.due < best->due)
            best = &t;
    }
    if (!best)
        return false;
    *out = MSG{best->hwnd, WM_TIMER, best->id, reinterpret_cast<LPARAM>(best->proc), s.clock, POINT{0, 0}};
    if (remove)
        best->due = s.clock + best->interval;
    return true;
}

} // namespace

Window* find(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    auto& m = st().windows;
    auto it = m.find(hwnd);
    return it == m.end() ? nullptr : it->second.get();
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

LRESULT send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = find(hwnd);
    if (!w || !w->proc)
        return 0;
    WNDPROC proc = w->proc;
    if (st().logHook) {
        MessageLogHook hook = st().logHook;
        hook(hwnd, msg, wParam, lParam);
    }
    return proc(hwnd, msg, wParam, lParam);
}

WNDPROC classProc(HWND hwnd)
{
    Window* w = find(hwnd);
    if (!w)
        return &DefWindowProcW;
    auto it = st().classes.find(lower(w->className));
    return it == st().classes.end() ? &DefWindowProcW : it->second.proc;
}

} // namespace detail

using detail::find;
using detail::st;
using detail::Window;

// ---------------------------------------------------------------- kvplat controls

DWORD now() { return st().clock; }

int pumpMessages()
{
    detail::ensureInit();
    detail::afxIdle();
    int dispatched = 0;
    for (int round = 0; round < 1000; ++round) {
        MSG msg;
        bool any = false;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            if (msg.message == WM_QUIT)
                continue;
            if (detail::afxPreTranslate(&msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            ++dispatched;
        }
        std::vector<HWND> invalid;
        for (auto& kv : st().windows)
            if (kv.second->invalid)
                invalid.push_back(kv.first);
        for (HWND h : invalid)
            detail::paintNow(h);
        if (!any && st().queue.empty())
            break;
    }
    return dispatched;
}

int advanceClock(DWORD milliseconds)
{
    detail::State& s = st();
    const DWORD target = s.clock + milliseconds;
    int dispatched = pumpMessages();
    for (;;) {
        DWORD next = target;
        bool found = false;
        for (const auto& t : s.timers) {
            if (t.due <= target && (!found || t.due < next)) {
                next = t.due;
                found = true;
            }
        }
        if (!found)
            break;
        if (next > s.clock)
            s.clock = next;
        dispatched += pumpMessages();
    }
    s.clock = target;
    dispatched += pumpMessages();
    return dispatched;
}

size_t pendingMessages() { return st().queue.size(); }

void setMessageLogHook(MessageLogHook hook) { st().logHook = std::move(hook); }

void setKeyDown(int virtualKey, bool down) { st().keys[virtualKey & 0xFF] = down; }

void releaseAllKeys()
{
    for (bool& k : st().keys)
        k = false;
}

void userResize(HWND hwnd, int width, int height)
{
    Window* w = find(hwnd);
    if (!w)
        return;
    detail::send(hwnd, WM_ENTERSIZEMOVE, 0, 0);
    detail::setPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE, SIZE_RESTORED);
    detail::send(hwnd, WM_EXITSIZEMOVE, 0, 0);
}

std::wstring windowClassName(HWND hwnd)
{
    Window* w = find(hwnd);
    return w ? w->className : std::wstring();
}

std::wstring windowText(HWND hwnd)
{
    Window* w = find(hwnd);
    return w ? w->text : std::wstring();
}

std::vector<HWND> childWindows(HWND parent)
{
    Window* w = find(parent);
    return w ? w->children : std::vector<HWND>();
}

std::vector<HWND> topLevelWindows() { return st().topLevel; }

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

void setScreenSize(int width, int height)
{
    st().screenWidth = width;
    st().screenHeight = height;
}

void reset()
{
    detail::State& s = st();
    for (int round = 0; round < 100 && !s.topLevel.empty(); ++round) {
        const std::vector<HWND> tops = s.topLevel;
        for (HWND h : tops)
            DestroyWindow(h);
    }
    s.queue.clear();
    s.timers.clear();
    s.defers.clear();
    s.focus = nullptr;
    s.capture = nullptr;
    s.logHook = nullptr;
    s.clock = 0;
    s.screenWidth = 1920;
    s.screenHeight = 1080;
    releaseAllKeys();
    detail::resetMenus();
    detail::resetGdi();
    detail::resetHooks();
    clearRegistry();
    detail::afxReset();
    detail::resetUiExtras();
}

} // namespace kvplat

using kvplat::detail::find;
using kvplat::detail::st;
using kvplat::detail::Window;
using kvplat::detail::send;

// ---------------------------------------------------------------- classes

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* wc)
{
    kvplat::detail::ensureInit();
    if (!wc || !wc->lpszClassName || IS_INTRESOURCE(wc->lpszClassName) || !wc->lpfnWndProc)
        return 0;
    auto& classes = st().classes;
    const std::wstring key = kvplat::detail::lower(wc->lpszClassName);
    if (classes.count(key))
        return 0;
    kvplat::detail::WindowClass c;
    c.name = wc->lpszClassName;
    c.proc = wc->lpfnWndProc;
    c.style = wc->style;
    c.instance = wc->hInstance;
    c.background = wc->hbrBackground;
    c.builtIn = !st().builtInsRegistered;
    classes[key] = c;
    return st().nextAtom++;
}

ATOM WINAPI RegisterClassW(const WNDCLASSW* wc)
{
    if (!wc)
        return 0;
    WNDCLASSEXW ex{sizeof(WNDCLASSEXW), wc->style, wc->lpfnWndProc, wc->cbClsExtra, wc->cbWndExtra,
                   wc->hInstance, wc->hIcon, wc->hCursor, wc->hbrBackground, wc->lpszMenuName,
                   wc->lpszClassName, nullptr};
    return RegisterClassExW(&ex);
}

BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE)
{
    if (!className || IS_INTRESOURCE(className))
        return FALSE;
    auto& classes = st().classes;
    auto it = classes.find(kvplat::detail::lower(className));
    if (it == classes.end() || it->second.builtIn)
        return FALSE;
    for (auto& kv : st().windows)
        if (kvplat::detail::lower(kv.second->className) == it->first)
            return FALSE;  // still in use
    classes.erase(it);
    return TRUE;
}

BOOL WINAPI GetClassInfoExW(HINSTANCE, LPCWSTR className, WNDCLASSEXW* wc)
{
    kvplat::detail::ensureInit();
    if (!className || IS_INTRESOURCE(className) || !wc)
        return FALSE;
    auto it = st().classes.find(kvplat::detail::lower(className));
    if (it == st().classes.end())
        return FALSE;
    *wc = WNDCLASSEXW{};
    wc->cbSize = sizeof(WNDCLASSEXW);
    wc->style = it->second.style;
    wc->lpfnWndProc = it->second.proc;
    wc->hInstance = it->second.instance;
    wc->hbrBackground = it->second.background;
    wc->lpszClassName = it->second.name.c_str();
    return TRUE;
}

// ---------------------------------------------------------------- creation and destruction

HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    kvplat::detail::ensureInit();
    if (!className || IS_INTRESOURCE(className)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto cls = st().classes.find(kvplat::detail::lower(className));
    if (cls == st().classes.end()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    if ((style & WS_CHILD) && !find(parent)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (parent && !find(parent)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // A window that is no child is owned by the top-level window above the
    // one given, as the system does; it then goes when that window goes.
    if (!(style & WS_CHILD))
        while (parent && (find(parent)->style & WS_CHILD) && find(find(parent)->parent))
            parent = find(parent)->parent;
    if (x == CW_USEDEFAULT) {
        x = 0;
        y = 0;
    }
    if (width == CW_USEDEFAULT) {
        width = 640;
        height = 480;
    }
    auto w = std::make_unique<Window>();
    HWND h = reinterpret_cast<HWND>(st().nextHandle);
    st().nextHandle += 4;
    w->handle = h;
    w->className = cls->second.name;
    w->proc = cls->second.proc;
    w->text = windowName && !IS_INTRESOURCE(windowName) ? windowName : L"";
    w->style = style & ~WS_VISIBLE;
    w->exStyle = exStyle;
    w->id = (style & WS_CHILD) ? static_cast<LONG_PTR>(reinterpret_cast<UINT_PTR>(menu)) : 0;
    w->parent = parent;
    w->rect = RECT{x, y, x + std::max(width, 0), y + std::max(height, 0)};
    w->instance = instance;
    Window* raw = w.get();
    st().windows[h] = std::move(w);
    if (auto* list = kvplat::detail::siblingList(raw))
        list->push_back(h);
    kvplat::detail::afxOnCreate(h);

    CREATESTRUCTW cs{param, instance, menu, parent, height, width, y, x, static_cast<LONG>(style), windowName, className, exStyle};
    if (!send(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(h);
        return nullptr;
    }
    if (!find(h))
        return nullptr;
    if (send(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(h);
        return nullptr;
    }
    Window* created = find(h);
    if (!created)
        return nullptr;
    SIZE c = kvplat::detail::clientSize(created);
    send(h, WM_SIZE, SIZE_RESTORED, MAKELPARAM(c.cx, c.cy));
    if (!find(h))
        return nullptr;
    send(h, WM_MOVE, 0, MAKELPARAM(x, y));
    if (!find(h))
        return nullptr;
    if (style & WS_VISIBLE)
        ShowWindow(h, SW_SHOW);
    return find(h) ? h : nullptr;
}

HWND WINAPI CreateWindowW(LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width, int height,
                          HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    return CreateWindowExW(0, className, windowName, style, x, y, width, height, parent, menu, instance, param);
}

BOOL WINAPI DestroyWindow(HWND hwnd)
{
    Window* w = find(hwnd);
    if (!w || w->destroying)
        return FALSE;
    // Owned windows go first, as the system does.
    const std::vector<HWND> owned = w->owned;
    for (HWND o : owned)
        DestroyWindow(o);
    if (!find(hwnd))
        return TRUE;
    kvplat::detail::sendDestroy(hwnd);
    kvplat::detail::sendNcDestroy(hwnd);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) { return find(hwnd) ? TRUE : FALSE; }

BOOL WINAPI IsWindowVisible(HWND hwnd)
{
    Window* w = find(hwnd);
    while (w) {
        if (!(w->style & WS_VISIBLE))
            return FALSE;
        if (!(w->style & WS_CHILD))
            return TRUE;
        w = find(w->parent);
    }
    return FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND hwnd)
{
    Window* w = find(hwnd);
    return w && !(w->style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL WINAPI IsChild(HWND parent, HWND hwnd) { return kvplat::detail::isDescendant(parent, hwnd) ? TRUE : FALSE; }

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
    return was ? TRUE : FALSE;
}

BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable)
{
    Window* w = find(hwnd);
    if (!w)
        return FALSE;
    const bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable)
        return wasDisabled ? TRUE : FALSE;
    if (enable)
        w->style &= ~WS_DISABLED;
    else
        w->style |= WS_DISABLED;
    send(hwnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled ? TRUE : FALSE;
}

HWND WINAPI GetParent(HWND hwnd)
{
    Window* w = find(hwnd);
    return w ? w->parent : nullptr;
}

HWND WINAPI SetParent(HWND child, HWND newParent)
{
    Window* w = find(child);
    if (!w || (newParent && !find(newParent)) || newParent == child)
        return nullptr;
    HWND old = w->parent;
    kvplat::detail::unlink(w);
    w->parent = newParent;
    if (!newParent)
        w->style &= ~WS_CHILD;
    if (auto* list = kvplat::detail::siblingList(w))
        list->push_back(child);
    return old;
}

HWND WINAPI GetWindow(HWND hwnd, UINT cmd)
{
    Window* w = find(hwnd);
    if (!w)
        return nullptr;
    if (cmd == GW_CHILD)
        return w->children.empty() ? nullptr : w->children.front();
    if (cmd == GW_OWNER)
        return (w->style & WS_CHILD) ? nullptr : w->parent;
    auto* list = kvplat::detail::siblingList(w);
    if (!list || list->empty())
        return nullptr;
    auto it = std::find(list->begin(), list->end(), hwnd);
    switch (cmd) {
    case GW_HWNDFIRST:
        return list->front();
    case GW_HWNDLAST:
        return list->back();
    case GW_HWNDNEXT:
        return (it == list->end() || it + 1 == list->end()) ? nullptr : *(it + 1);
    case GW_HWNDPREV:
        return (it == list->end() || it == list->begin()) ? nullptr : *(it - 1);
    default:
        return nullptr;
    }
}

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

BOOL WINAPI EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam)
{
    if (!proc)
        return FALSE;
    std::vector<HWND> all;
    if (parent)
        kvplat::detail::forEachDescendant(parent, [&](HWND h) { all.push_back(h); });
    else
        all = st().topLevel;
    for (HWND h : all) {
        if (!find(h))
            continue;
        if (!proc(h, lParam))
            break;
    }
    return TRUE;
}

BOOL WINAPI SetWindowTextW(HWND hwnd, LPCWSTR text)
{
    if (!find(hwnd))
        return FALSE;
    return send(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : L"")) ? TRUE : FALSE;
}

int WINAPI GetWindowTextW(HWND hwnd, LPWSTR buffer, int maxCount)
{
    if (!buffer || maxCount <= 0)
        return 0;
    buffer[0] = L'\0';
    if (!find(hwnd))
        return 0;
    return static_cast<int>(send(hwnd, WM_GETTEXT, static_cast<WPARAM>(maxCount), reinterpret_cast<LPARAM>(buffer)));
}

int WINAPI GetWindowTextLengthW(HWND hwnd)
{
    return find(hwnd) ? static_cast<int>(send(hwnd, WM_GETTEXTLENGTH, 0, 0)) : 0;
}

int WINAPI GetClassNameW(HWND hwnd, LPWSTR buffer, int maxCount)
{
    Window* w = find(hwnd);
    if (!w || !buffer || maxCount <= 0)
        return 0;
    const size_t n = std::min(w->className.size(), static_cast<size_t>(maxCount - 1));
    std::wmemcpy(buffer, w->className.c_str(), n);
    buffer[n] = L'\0';
    return static_cast<int>(n);
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

LONG_PTR WINAPI GetWindowLongPtrW(HWND hwnd, int index)
{
    Window* w = find(hwnd);
    if (!w)
        return 0;
    switch (index) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w->instance);
    case GWLP_HWNDPARENT:
        return (w->style & WS_CHILD) ? 0 : reinterpret_cast<LONG_PTR>(w->parent);
    case GWLP_ID:
        return w->id;
    case GWL_STYLE:
        return static_cast<LONG_PTR>(static_cast<LONG>(w->style));
    case GWL_EXSTYLE:
        return static_cast<LONG_PTR>(static_cast<LONG>(w->exStyle));
    case GWLP_USERDATA:
        return w->userData;
    case DWLP_MSGRESULT:
        return w->msgResult;
    default:
        return 0;
    }
}

LONG_PTR WINAPI SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value)
{
    Window* w = find(hwnd);
    if (!w)
        return 0;
    LONG_PTR old = GetWindowLongPtrW(hwnd, index);
    switch (index) {
    case GWLP_WNDPROC:
        if (value)
            w->proc = reinterpret_cast<WNDPROC>(value);
        break;
    case GWLP_HINSTANCE:
        w->instance = reinterpret_cast<HINSTANCE>(value);
        break;
    case GWLP_ID:
        w->id = value;
        break;
    case GWL_STYLE:
        w->style = static_cast<DWORD>(value);
        break;
    case GWL_EXSTYLE:
        w->exStyle = static_cast<DWORD>(value);
        break;
    case GWLP_USERDATA:
        w->userData = value;
        break;
    case DWLP_MSGRESULT:
        w->msgResult = value;
        break;
    default:
        return 0;
    }
    return old;
}

LONG WINAPI GetWindowLongW(HWND hwnd, int index) { return static_cast<LONG>(GetWindowLongPtrW(hwnd, index)); }

LONG WINAPI SetWindowLongW(HWND hwnd, int index, LONG value)
{
    return static_cast<LONG>(SetWindowLongPtrW(hwnd, index, value));
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

BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect)
{
    // Dialog templates here are described in pixels: one unit is one pixel.
    return find(dialog) && rect ? TRUE : FALSE;
}

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

// ---------------------------------------------------------------- messages

LRESULT WINAPI SendMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) { return send(hwnd, msg, wParam, lParam); }

BOOL WINAPI PostMessageW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (hwnd && !find(hwnd)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    st().queue.push_back(MSG{hwnd, msg, wParam, lParam, st().clock, POINT{0, 0}});
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode)
{
    st().queue.push_back(MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, st().clock, POINT{0, 0}});
}

BOOL WINAPI PeekMessageW(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg)
{
    if (!msg)
        return FALSE;
    const bool remove = (removeMsg & PM_REMOVE) != 0;
    if (!kvplat::detail::takeMessage(msg, hwnd, filterMin, filterMax, remove))
        return FALSE;
    if (remove)
        kvplat::detail::callGetMessageHooks(msg);
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* msg) { return msg && msg->message == WM_KEYDOWN ? TRUE : FALSE; }

LRESULT WINAPI DispatchMessageW(const MSG* msg)
{
    if (!msg)
        return 0;
    st().lastMessage = *msg;
    if (msg->message == WM_TIMER && msg->lParam) {
        TIMERPROC proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        proc(msg->hwnd, WM_TIMER, msg->wParam, st().clock);
        return 0;
    }
    if (!find(msg->hwnd))
        return 0;
    return send(msg->hwnd, msg->message, msg->wParam, msg->lParam);
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

LRESULT WINAPI DefWindowProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* w = find(hwnd);
    if (!w)
        return 0;
    switch (msg) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
            w->text = cs->lpszName;
        return TRUE;
    }
    case WM_SETTEXT:
        w->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
        return TRUE;
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        if (!buffer || wParam == 0)
            return 0;
        const size_t n = std::min(w->text.size(), static_cast<size_t>(wParam - 1));
        std::wmemcpy(buffer, w->text.c_str(), n);
        buffer[n] = L'\0';
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_SETFONT:
        w->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            kvplat::detail::invalidate(w);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(w->font);
    case WM_SETREDRAW:
        w->redraw = wParam != 0;
        return 0;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, &ps);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            send(hwnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_HELP:
    case WM_CONTEXTMENU:
        if ((w->style & WS_CHILD) && w->parent)
            return send(w->parent, msg, wParam, lParam);
        return 0;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    default:
        return 0;
    }
}

LRESULT WINAPI DefDlgProcW(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
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

LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
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

UINT WINAPI RegisterWindowMessageW(LPCWSTR name)
{
    if (!name || !*name)
        return 0;
    auto& m = st().registeredMessages;
    const std::wstring key = kvplat::detail::lower(name);
    auto it = m.find(key);
    if (it != m.end())
        return it->second;
    UINT id = st().nextMessage++;
    m[key] = id;
    return id;
}

DWORD WINAPI GetMessagePos()
{
    const POINT& p = st().lastMessage.pt;
    return static_cast<DWORD>(MAKELONG(p.x, p.y));
}

LONG WINAPI GetMessageTime() { return static_cast<LONG>(st().lastMessage.time); }

// ---------------------------------------------------------------- timers, keys, focus

UINT_PTR WINAPI SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    if (hwnd && !find(hwnd))
        return 0;
    // The system raises very short intervals to its minimum.
    const UINT interval = std::max<UINT>(elapse, 10);
    auto& timers = st().timers;
    if (hwnd || id) {
        for (auto& t : timers) {
            if (t.hwnd == hwnd && t.id == id) {
                t.interval = interval;
                t.due = st().clock + interval;
                t.proc = proc;
                return hwnd ? (id ? id : 1) : id;
            }
        }
    }
    if (!hwnd)
        id = st().nextTimerId++;
    timers.push_back(kvplat::detail::Timer{hwnd, id, interval, st().clock + interval, proc});
    return id ? id : 1;
}

BOOL WINAPI KillTimer(HWND hwnd, UINT_PTR id)
{
    auto& timers = st().timers;
    for (auto it = timers.begin(); it != timers.end(); ++it) {
        if (it->hwnd == hwnd && it->id == id) {
            timers.erase(it);
            // A WM_TIMER of this timer already waiting is dropped as well.
            auto& q = st().queue;
            q.erase(std::remove_if(q.begin(), q.end(), [&](const MSG& m) {
                        return m.message == WM_TIMER && m.hwnd == hwnd && m.wParam == id;
                    }),
                    q.end());
            return TRUE;
        }
    }
    return FALSE;
}

DWORD WINAPI GetTickCount() { return st().clock; }

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
