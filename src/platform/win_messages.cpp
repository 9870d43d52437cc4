// Messages: sending, the queue and the loop that empties it, default
// processing, registered messages, and timers on the advanced clock.
#include "platform/win_window_internal.h"

#include <algorithm>

namespace kvplat {
namespace detail {
namespace {

bool isMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST; }

bool isInputMessage(UINT msg) { return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || isMouseMessage(msg); }

// The user's input that never reaches its window: keys and mouse messages for
// a window that takes none, except that the window holding the mouse capture
// takes all mouse input, disabled or not (a press it tracks ends there).
bool inputKeptOff(const MSG& m)
{
    if (!isInputMessage(m.message) || !takesNoInput(m.hwnd))
        return false;
    return !(isMouseMessage(m.message) && m.hwnd && m.hwnd == GetCapture());
}

bool takeMessage(MSG* out, HWND hwnd, UINT minMsg, UINT maxMsg, bool remove)
{
    State& s = st();
    // Keys and mouse messages in the queue stand for the user's input: what
    // never reaches its window is gone before anybody (a hook, the dialog
    // processing) sees it. Sent ones come from code and are delivered.
    s.queue.erase(std::remove_if(s.queue.begin(), s.queue.end(), inputKeptOff), s.queue.end());
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

bool takesNoInput(HWND hwnd)
{
    for (const Window* w = find(hwnd); w; w = find(w->parent)) {
        if (w->style & WS_DISABLED)
            return true;
        if (!(w->style & WS_CHILD))
            return false;
    }
    return false;
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

} // namespace detail

using detail::find;
using detail::st;
using detail::Window;

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

} // namespace kvplat

using kvplat::detail::find;
using kvplat::detail::st;
using kvplat::detail::Window;
using kvplat::detail::send;

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
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam))
            kvplat::detail::focusOnActivation(hwnd, hwnd);
        return 0;
    case WM_NCACTIVATE:
        return TRUE;
    case WM_CANCELMODE:
        if (GetCapture() == hwnd)
            ReleaseCapture();
        return 0;
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

LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return proc ? proc(hwnd, msg, wParam, lParam) : 0;
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

// ---------------------------------------------------------------- timers

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
