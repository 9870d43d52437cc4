// Windows as records in a tree: the tree's state, classes, creation and
// destruction, parents, owners and siblings, texts and window longs.
#include "platform/win_window_internal.h"

#include <algorithm>
#include <cwctype>

namespace kvplat {
namespace detail {
namespace {

void unlink(Window* w)
{
    if (auto* list = siblingList(w))
        list->erase(std::remove(list->begin(), list->end(), w->handle), list->end());
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
    // The window's menu bar goes with it.
    if (w->menuBar) {
        DestroyMenu(w->menuBar);
        w->menuBar = nullptr;
    }
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

} // namespace

State& st()
{
    return lasting<State>();
}

void ensureInit()
{
    State& s = st();
    if (!s.builtInsRegistered) {
        s.builtInsRegistered = true;
        registerBuiltInClasses();
    }
}

std::wstring lower(const std::wstring& s)
{
    std::wstring out(s);
    for (auto& c : out)
        c = static_cast<wchar_t>(std::towlower(c));
    return out;
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

std::vector<HWND> zOrder()
{
    std::vector<HWND> order;
    std::function<void(HWND)> visit = [&](HWND h) {
        if (const Window* w = find(h))
            for (HWND o : w->owned)
                visit(o);
        order.push_back(h);
    };
    for (HWND top : st().topLevel)
        visit(top);
    return order;
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

Window* find(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    auto& m = st().windows;
    auto it = m.find(hwnd);
    return it == m.end() ? nullptr : it->second.get();
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

std::vector<HWND> topLevelWindows() { return detail::zOrder(); }

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
    s.active = nullptr;
    s.activating = 0;
    s.focusAfterActivation = nullptr;
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
    // A new top-level window comes on top of the windows of its kind; child
    // windows line up behind their siblings, in the order a dialog's tab
    // order follows.
    if (auto* list = kvplat::detail::siblingList(raw))
        list->insert((style & WS_CHILD) ? list->end() : list->begin(), h);
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
    kvplat::detail::activateNextAfter(hwnd);
    if (!find(hwnd) || find(hwnd)->destroying)
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

BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable)
{
    Window* w = find(hwnd);
    if (!w)
        return FALSE;
    const bool wasDisabled = (w->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable)
        return wasDisabled ? TRUE : FALSE;
    // A window being disabled first ends what it is in the middle of (a press
    // holding the mouse), as the system asks it to.
    if (!enable) {
        send(hwnd, WM_CANCELMODE, 0, 0);
        if (!(w = find(hwnd)))
            return FALSE;
        w->style |= WS_DISABLED;
    } else {
        w->style &= ~WS_DISABLED;
    }
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

// ---------------------------------------------------------------- texts and window longs

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
