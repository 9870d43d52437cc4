#include "registered_class.h"

#include "platform/kvPlatform.h"
#include "platform/windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Seen {
    HWND hwnd;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

std::vector<Seen> g_seen;
MINMAXINFO g_limits{};
bool g_setLimits = false;

LRESULT CALLBACK recordingProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    g_seen.push_back(Seen{h, m, w, l});
    if (m == WM_GETMINMAXINFO && g_setLimits) {
        auto* mmi = reinterpret_cast<MINMAXINFO*>(l);
        mmi->ptMinTrackSize = g_limits.ptMinTrackSize;
        mmi->ptMaxTrackSize = g_limits.ptMaxTrackSize;
        return 0;
    }
    return DefWindowProcW(h, m, w, l);
}

class Platform : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvplat::reset();
        g_seen.clear();
        g_setLimits = false;
        ASSERT_TRUE(platform_test::registerClassOnce(L"TestRecorder", &recordingProc));
    }
    void TearDown() override { kvplat::reset(); }

    static std::vector<UINT> messagesTo(HWND h)
    {
        std::vector<UINT> out;
        for (const auto& s : g_seen)
            if (s.hwnd == h)
                out.push_back(s.msg);
        return out;
    }
    static int count(HWND h, UINT msg)
    {
        int n = 0;
        for (const auto& s : g_seen)
            n += (s.hwnd == h && s.msg == msg) ? 1 : 0;
        return n;
    }
    static const Seen* last(HWND h, UINT msg)
    {
        for (auto it = g_seen.rbegin(); it != g_seen.rend(); ++it)
            if (it->hwnd == h && it->msg == msg)
                return &*it;
        return nullptr;
    }
};

HWND child(HWND parent, int id, int x, int y, int w, int h, LPCWSTR cls = L"TestRecorder", DWORD style = 0)
{
    return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
}

// A top-level window of the recording class.
HWND popup(DWORD style, int w = 10, int h = 10, HWND owner = nullptr, LPCWSTR text = L"")
{
    return CreateWindowExW(0, L"TestRecorder", text, WS_POPUP | style, 0, 0, w, h, owner, nullptr, nullptr, nullptr);
}

} // namespace

TEST_F(Platform, WindowTreeAndDestructionOrder)
{
    HWND top = CreateWindowExW(0, L"TestRecorder", L"Top", WS_POPUP | WS_CAPTION, 100, 50, 400, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(IsWindow(top));
    HWND a = child(top, 10, 5, 5, 50, 20);
    HWND b = child(top, 11, 5, 30, 50, 20);
    HWND grand = child(a, 12, 1, 1, 10, 10);
    EXPECT_EQ(GetParent(a), top);
    EXPECT_EQ(GetDlgItem(top, 11), b);
    EXPECT_EQ(GetDlgItem(top, 12), nullptr);  // only direct children
    EXPECT_EQ(GetDlgCtrlID(grand), 12);
    EXPECT_EQ(GetWindow(top, GW_CHILD), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
    EXPECT_TRUE(IsChild(top, grand));
    EXPECT_FALSE(IsWindowVisible(a));  // its top-level parent is hidden
    ShowWindow(top, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(grand));
    EXPECT_EQ(kvplat::windowText(top), L"Top");
    wchar_t cut[3];
    EXPECT_EQ(GetWindowTextW(top, cut, 3), 2);  // a short buffer takes what fits, terminated
    EXPECT_STREQ(cut, L"To");
    EXPECT_EQ(messagesTo(top).front(), static_cast<UINT>(WM_NCCREATE));

    // Unknown classes and missing parents create nothing.
    EXPECT_EQ(CreateWindowExW(0, L"NoSuchClass", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(child(reinterpret_cast<HWND>(0x1234), 1, 0, 0, 1, 1), nullptr);

    g_seen.clear();
    EXPECT_TRUE(DestroyWindow(top));
    std::vector<std::pair<HWND, UINT>> order;
    for (const auto& s : g_seen)
        if (s.msg == WM_DESTROY || s.msg == WM_NCDESTROY)
            order.emplace_back(s.hwnd, s.msg);
    // WM_DESTROY from the top down, WM_NCDESTROY from the bottom up.
    const std::vector<std::pair<HWND, UINT>> expected = {
        {top, WM_DESTROY}, {a, WM_DESTROY}, {grand, WM_DESTROY}, {b, WM_DESTROY},
        {grand, WM_NCDESTROY}, {a, WM_NCDESTROY}, {b, WM_NCDESTROY}, {top, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    EXPECT_FALSE(IsWindow(top));
    EXPECT_FALSE(IsWindow(grand));
    EXPECT_FALSE(DestroyWindow(top));
    // Handles are not reused: a new window never answers to an old handle.
    HWND again = popup(0, 1, 1);
    EXPECT_NE(again, top);
    EXPECT_NE(again, grand);
}

TEST_F(Platform, TextsAndMessageLog)
{
    HWND top = CreateWindowExW(0, L"TestRecorder", L"Start", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    std::vector<UINT> logged;
    kvplat::setMessageLogHook([&](HWND h, UINT m, WPARAM, LPARAM) {
        if (h == top)
            logged.push_back(m);
    });
    EXPECT_TRUE(SetWindowTextW(top, L"Analysis"));
    wchar_t buffer[5];
    EXPECT_EQ(GetWindowTextW(top, buffer, 5), 4);  // cut to the buffer, terminated
    EXPECT_STREQ(buffer, L"Anal");
    EXPECT_EQ(GetWindowTextLengthW(top), 8);
    EXPECT_EQ(GetWindowTextW(top, buffer, 0), 0);
    EXPECT_EQ(logged, (std::vector<UINT>{WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH}));
}

TEST_F(Platform, CoordinatesAcrossFramesAndCaption)
{
    HWND top = CreateWindowExW(0, L"TestRecorder", L"", WS_POPUP | WS_CAPTION | WS_THICKFRAME, 100, 50, 400, 300, nullptr,
                               nullptr, nullptr, nullptr);
    HWND c = child(top, 1, 10, 20, 30, 40);
    RECT client;
    GetClientRect(top, &client);
    EXPECT_EQ(client.right, 400 - 8);
    EXPECT_EQ(client.bottom, 300 - 8 - 20);
    RECT wr;
    GetWindowRect(c, &wr);
    EXPECT_EQ(wr.left, 100 + 4 + 10);
    EXPECT_EQ(wr.top, 50 + 4 + 20 + 20);
    POINT p{wr.left, wr.top};
    ScreenToClient(top, &p);
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, 20);
    POINT q{0, 0};
    ClientToScreen(c, &q);
    EXPECT_EQ(q.x, wr.left);
    POINT pts[2] = {{0, 0}, {5, 5}};
    MapWindowPoints(c, top, pts, 2);
    EXPECT_EQ(pts[0].x, 10);
    EXPECT_EQ(pts[1].y, 25);
}

TEST_F(Platform, ResizeSendsMinMaxInfoToTopLevelAndSizeToAll)
{
    HWND top = popup(WS_THICKFRAME, 300, 200);
    HWND c = child(top, 1, 0, 0, 50, 50);
    g_limits.ptMinTrackSize = POINT{200, 150};
    g_limits.ptMaxTrackSize = POINT{800, 600};
    g_setLimits = true;
    g_seen.clear();

    MoveWindow(top, 0, 0, 100, 100, TRUE);  // below the minimum: held at it
    RECT r;
    GetWindowRect(top, &r);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 150);
    ASSERT_NE(last(top, WM_SIZE), nullptr);
    EXPECT_EQ(last(top, WM_SIZE)->lParam, MAKELPARAM(192, 142));
    EXPECT_EQ(count(top, WM_GETMINMAXINFO), 1);

    kvplat::userResize(top, 1000, 1000);
    GetWindowRect(top, &r);
    EXPECT_EQ(r.right - r.left, 800);

    // Only a real size change sends anything; children get no WM_GETMINMAXINFO.
    g_seen.clear();
    SetWindowPos(top, nullptr, 0, 0, 800, 600, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(count(top, WM_SIZE), 0);
    SetWindowPos(c, nullptr, 5, 5, 70, 80, SWP_NOZORDER);
    EXPECT_EQ(count(c, WM_GETMINMAXINFO), 0);
    EXPECT_EQ(last(c, WM_SIZE)->lParam, MAKELPARAM(70, 80));
    EXPECT_EQ(count(c, WM_MOVE), 1);
    SetWindowPos(c, nullptr, 9, 9, 1, 1, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(count(c, WM_SIZE), 1);
    GetClientRect(c, &r);
    EXPECT_EQ(r.right, 70);

    // Maximising reports SIZE_MAXIMIZED and the placement; restoring brings the old rectangle back.
    g_setLimits = false;
    ShowWindow(top, SW_MAXIMIZE);
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(top, &wp);
    EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
    EXPECT_EQ(last(top, WM_SIZE)->wParam, static_cast<WPARAM>(SIZE_MAXIMIZED));
    EXPECT_EQ(wp.rcNormalPosition.right, 800);
    ShowWindow(top, SW_RESTORE);
    GetWindowRect(top, &r);
    EXPECT_EQ(r.right - r.left, 800);
    EXPECT_EQ(last(top, WM_SIZE)->wParam, static_cast<WPARAM>(SIZE_RESTORED));
}

TEST_F(Platform, DeferredPositionsApplyAtTheEndOnly)
{
    HWND top = CreateWindowExW(0, L"TestRecorder", L"", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    HWND a = child(top, 1, 0, 0, 10, 10);
    HWND b = child(top, 2, 0, 0, 10, 10);
    g_seen.clear();
    HDWP dwp = BeginDeferWindowPos(2);
    dwp = DeferWindowPos(dwp, a, nullptr, 1, 2, 30, 40, SWP_NOZORDER);
    dwp = DeferWindowPos(dwp, b, nullptr, 5, 6, 70, 80, SWP_NOZORDER);
    dwp = DeferWindowPos(dwp, a, nullptr, 3, 4, 50, 60, SWP_NOZORDER);  // replaces a's first entry
    ASSERT_NE(dwp, nullptr);
    EXPECT_EQ(count(a, WM_SIZE), 0);
    RECT r;
    GetClientRect(a, &r);
    EXPECT_EQ(r.right, 10);
    EXPECT_TRUE(EndDeferWindowPos(dwp));
    EXPECT_EQ(count(a, WM_SIZE), 1);
    GetClientRect(a, &r);
    EXPECT_EQ(r.right, 50);
    POINT p{0, 0};
    MapWindowPoints(b, top, &p, 1);
    EXPECT_EQ(p.x, 5);
    EXPECT_FALSE(EndDeferWindowPos(dwp));  // a batch ends once

    // A destroyed window in the batch ends the batch.
    HDWP bad = BeginDeferWindowPos(1);
    DestroyWindow(b);
    EXPECT_EQ(DeferWindowPos(bad, b, nullptr, 0, 0, 1, 1, 0), nullptr);
    EXPECT_FALSE(EndDeferWindowPos(bad));
}

TEST_F(Platform, TimersFollowTheAdvancedClock)
{
    HWND top = popup(0);
    EXPECT_EQ(SetTimer(top, 1, 100, nullptr), 1u);
    EXPECT_EQ(SetTimer(top, 2, 300, nullptr), 2u);
    kvplat::advanceClock(99);
    EXPECT_EQ(count(top, WM_TIMER), 0);
    kvplat::advanceClock(1);
    EXPECT_EQ(count(top, WM_TIMER), 1);
    kvplat::advanceClock(250);  // 200 and 300 for timer 1, 300 for timer 2
    int ones = 0, twos = 0;
    for (const auto& s : g_seen)
        if (s.msg == WM_TIMER)
            (s.wParam == 1 ? ones : twos) += 1;
    EXPECT_EQ(ones, 3);
    EXPECT_EQ(twos, 1);
    EXPECT_EQ(GetTickCount(), 350u);

    EXPECT_TRUE(KillTimer(top, 1));
    EXPECT_FALSE(KillTimer(top, 1));
    g_seen.clear();
    kvplat::advanceClock(1000);
    EXPECT_EQ(count(top, WM_TIMER), 3);  // timer 2 alone
    // A destroyed window's timers die with it.
    DestroyWindow(top);
    EXPECT_EQ(kvplat::advanceClock(1000), 0);

    static int procCalls = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) { ++procCalls; });
    EXPECT_NE(id, 0u);
    kvplat::advanceClock(120);
    EXPECT_EQ(procCalls, 2);
    KillTimer(nullptr, id);
}

TEST_F(Platform, PostedMessagesWaitForThePumpAndPeekFilters)
{
    HWND a = popup(0);
    HWND b = popup(0);
    g_seen.clear();
    PostMessageW(a, WM_USER + 1, 0, 0);
    PostMessageW(b, WM_USER + 1, 0, 0);
    PostMessageW(a, WM_USER + 2, 0, 0);
    EXPECT_EQ(count(a, WM_USER + 1), 0);
    EXPECT_EQ(kvplat::pendingMessages(), 3u);

    MSG m;
    EXPECT_TRUE(PeekMessageW(&m, a, WM_USER + 2, WM_USER + 2, PM_NOREMOVE));
    EXPECT_EQ(kvplat::pendingMessages(), 3u);
    while (PeekMessageW(&m, a, WM_USER + 1, WM_USER + 1, PM_REMOVE)) {
    }
    EXPECT_EQ(kvplat::pendingMessages(), 2u);
    EXPECT_EQ(kvplat::pumpMessages(), 2);
    EXPECT_EQ(count(a, WM_USER + 1), 0);
    EXPECT_EQ(count(a, WM_USER + 2), 1);
    EXPECT_EQ(count(b, WM_USER + 1), 1);
    EXPECT_FALSE(PostMessageW(reinterpret_cast<HWND>(0x99), WM_USER, 0, 0));

    // A message for a window destroyed meanwhile is dropped.
    PostMessageW(b, WM_USER + 3, 0, 0);
    DestroyWindow(b);
    kvplat::pumpMessages();
    EXPECT_EQ(count(b, WM_USER + 3), 0);
}

TEST_F(Platform, PaintingFollowsInvalidationAndRedrawFlag)
{
    HWND top = popup(WS_VISIBLE, 100, 100);
    HWND c = child(top, 1, 0, 0, 10, 10);
    kvplat::pumpMessages();
    const int painted = kvplat::paintCount(top);
    EXPECT_GE(painted, 1);
    EXPECT_FALSE(kvplat::isInvalid(top));

    SendMessageW(top, WM_SETREDRAW, FALSE, 0);
    EXPECT_FALSE(kvplat::isRedrawEnabled(top));
    InvalidateRect(top, nullptr, TRUE);
    UpdateWindow(top);
    EXPECT_EQ(kvplat::paintCount(top), painted);  // not while redraw is off
    SendMessageW(top, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(kvplat::paintCount(top), painted + 1);
    EXPECT_GE(kvplat::paintCount(c), 1);
    EXPECT_FALSE(kvplat::isInvalid(c));
}

TEST_F(Platform, KeysFocusAndHooks)
{
    EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
    kvplat::setKeyDown(VK_CONTROL, true);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_TRUE(GetKeyState(VK_CONTROL) & 0x8000);
    kvplat::releaseAllKeys();
    EXPECT_EQ(GetKeyState(VK_CONTROL), 0);

    HWND a = popup(0);
    HWND b = popup(0);
    SetFocus(a);
    g_seen.clear();
    EXPECT_EQ(SetFocus(b), a);
    EXPECT_EQ(count(a, WM_KILLFOCUS), 1);
    EXPECT_EQ(count(b, WM_SETFOCUS), 1);
    EXPECT_EQ(GetFocus(), b);
    DestroyWindow(b);
    EXPECT_EQ(GetFocus(), nullptr);

    static std::vector<UINT> hooked;
    hooked.clear();
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, [](int, WPARAM, LPARAM l) -> LRESULT {
        hooked.push_back(reinterpret_cast<MSG*>(l)->message);
        return 0;
    }, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    PostMessageW(a, WM_USER + 7, 0, 0);
    kvplat::pumpMessages();
    EXPECT_EQ(hooked, std::vector<UINT>{WM_USER + 7});
    EXPECT_TRUE(UnhookWindowsHookEx(hook));
    EXPECT_FALSE(UnhookWindowsHookEx(hook));
}

TEST_F(Platform, ActivationMovesBetweenTopLevelWindowsWithTheMessagesOfTheSystem)
{
    auto activationTo = [&](HWND h) {
        std::vector<std::pair<UINT, WPARAM>> out;
        for (const auto& s : g_seen)
            if (s.hwnd == h && (s.msg == WM_ACTIVATEAPP || s.msg == WM_NCACTIVATE || s.msg == WM_ACTIVATE))
                out.emplace_back(s.msg, s.wParam);
        return out;
    };
    using Sequence = std::vector<std::pair<UINT, WPARAM>>;
    HWND a = popup(WS_VISIBLE);
    EXPECT_EQ(activationTo(a), (Sequence{{WM_ACTIVATEAPP, TRUE}, {WM_NCACTIVATE, TRUE}, {WM_ACTIVATE, WA_ACTIVE}}))
        << "the first window of the application";
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a) << "default processing gives the activated window the focus";

    // A window it owns comes up: only the two windows concerned hear of it.
    HWND b = popup(0, 10, 10, a);
    HWND inB = child(b, 1, 0, 0, 5, 5);
    g_seen.clear();
    ShowWindow(b, SW_SHOW);
    EXPECT_EQ(activationTo(a), (Sequence{{WM_NCACTIVATE, FALSE}, {WM_ACTIVATE, WA_INACTIVE}}));
    EXPECT_EQ(reinterpret_cast<HWND>(last(a, WM_ACTIVATE)->lParam), b);
    EXPECT_EQ(activationTo(b), (Sequence{{WM_NCACTIVATE, TRUE}, {WM_ACTIVATE, WA_ACTIVE}}));
    EXPECT_EQ(reinterpret_cast<HWND>(last(b, WM_ACTIVATE)->lParam), a);
    EXPECT_EQ(GetActiveWindow(), b);

    // The focus takes its top-level window along, and keeps the place it was given.
    SetFocus(a);
    g_seen.clear();
    SetFocus(inB);
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(GetFocus(), inB);
    EXPECT_EQ(count(b, WM_SETFOCUS), 0) << "no detour through the window itself";

    // Hiding or destroying the active window hands activation to its owner;
    // with no owner left it goes to another application.
    ShowWindow(b, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), a);
    ShowWindow(b, SW_SHOWNA);
    EXPECT_EQ(GetActiveWindow(), a) << "shown without activation";
    // The user's click activates the window it lands in.
    HWND button = child(b, 0, 0, 0, 5, 5, L"Button");
    EXPECT_TRUE(kvplat::clickButton(button));
    EXPECT_EQ(GetActiveWindow(), b);
    EXPECT_EQ(LOWORD(last(b, WM_ACTIVATE)->wParam), WA_CLICKACTIVE);
    g_seen.clear();
    DestroyWindow(a);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    // The owned window goes first and hands activation to its owner.
    EXPECT_EQ(activationTo(a), (Sequence{{WM_NCACTIVATE, TRUE},
                                         {WM_ACTIVATE, WA_ACTIVE},
                                         {WM_NCACTIVATE, FALSE},
                                         {WM_ACTIVATE, WA_INACTIVE},
                                         {WM_ACTIVATEAPP, FALSE}}));
}

TEST_F(Platform, DestroyingTheActiveWindowActivatesTheNextVisibleEnabledWindowOfTheApplication)
{
    HWND disabled = popup(WS_VISIBLE | WS_DISABLED), hidden = popup(0), other = popup(WS_VISIBLE);
    HWND active = popup(WS_VISIBLE);
    g_seen.clear();
    DestroyWindow(active);
    EXPECT_EQ(GetActiveWindow(), other);
    EXPECT_EQ(count(other, WM_ACTIVATEAPP), 0) << "the application stays active";
    EXPECT_EQ(count(disabled, WM_ACTIVATE) + count(hidden, WM_ACTIVATE), 0);
}

TEST_F(Platform, ADialogGivesTheFocusBackToTheControlThatHadItWhenItLostActivation)
{
    HWND dialog = CreateWindowExW(0, WC_DIALOG, L"", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                  nullptr);
    HWND first = child(dialog, 1, 0, 0, 10, 10, L"Button", WS_TABSTOP);
    HWND second = child(dialog, 2, 0, 20, 10, 10, L"Button", WS_TABSTOP);
    HWND other = popup(WS_VISIBLE);
    SetActiveWindow(dialog);
    EXPECT_EQ(GetFocus(), first) << "never focused before: the first tab stop";
    SetFocus(second);
    SetActiveWindow(other);
    EXPECT_EQ(GetFocus(), other);
    SetActiveWindow(dialog);
    EXPECT_EQ(GetFocus(), second);
}

TEST_F(Platform, MessageBoxAndExitGoThroughHooks)
{
    std::wstring shown;
    kvplat::setMessageBoxHook([&](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
        shown = caption + L": " + text;
        return type == MB_YESNO ? IDNO : IDOK;
    });
    EXPECT_EQ(MessageBoxW(nullptr, L"Missing Application-Pointer!", L"Fatal Error", MB_OK), IDOK);
    EXPECT_EQ(shown, L"Fatal Error: Missing Application-Pointer!");
    EXPECT_EQ(MessageBoxW(nullptr, L"?", nullptr, MB_YESNO), IDNO);

    struct Exited {
        UINT code;
    };
    kvplat::setExitHook([](UINT code) { throw Exited{code}; });
    try {
        ExitProcess(1);
        FAIL() << "ExitProcess returned";
    } catch (const Exited& e) {
        EXPECT_EQ(e.code, 1u);
    }
}

TEST_F(Platform, RegistryKeepsValuesAndRefusesOverLongOrEmptyKeyNames)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Kova\\Layout\\", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    const DWORD width = 420;
    EXPECT_EQ(RegSetValueExW(key, L"Width", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&width), sizeof(width)), ERROR_SUCCESS);
    const wchar_t name[] = L"Analysis";
    EXPECT_EQ(RegSetValueExW(key, L"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof(name)), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, L"Bad", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&width), 2), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);

    HKEY reopened = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"software\\KOVA\\layout", 0, KEY_READ, &reopened), ERROR_SUCCESS);
    DWORD type = 0, value = 0, size = sizeof(value);
    EXPECT_EQ(RegQueryValueExW(reopened, L"width", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(value, 420u);

    wchar_t small[3] = {L'x', L'x', L'x'};
    size = sizeof(small);
    EXPECT_EQ(RegQueryValueExW(reopened, L"Name", nullptr, &type, reinterpret_cast<BYTE*>(small), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, sizeof(name));
    EXPECT_EQ(small[0], L'x');  // untouched
    EXPECT_EQ(RegQueryValueExW(reopened, L"Height", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Kova"), ERROR_ACCESS_DENIED);  // has a sub-key
    RegCloseKey(reopened);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Other", 0, KEY_READ, &reopened), ERROR_FILE_NOT_FOUND);
    // A key name holds at most 255 characters, and no part of a path is empty.
    const std::wstring longest = L"Software\\" + std::wstring(255, L'k');
    auto create = [&](const std::wstring& path) {
        return RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &reopened, nullptr);
    };
    EXPECT_EQ(create(longest), ERROR_SUCCESS);
    RegCloseKey(reopened);
    for (const std::wstring& path : {longest + L"k", std::wstring(L"Software\\\\Kova"), std::wstring(L"\\Software")}) {
        EXPECT_EQ(create(path), ERROR_INVALID_PARAMETER);
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &reopened), ERROR_INVALID_PARAMETER);
    }
    const auto dump = kvplat::registryDump();
    ASSERT_EQ(dump.size(), 2u);
    EXPECT_EQ(dump[0], L"HKEY_CURRENT_USER\\Software\\Kova\\Layout\\Name = \"Analysis\"");
}

// The registry stores names in UTF-16: a character past the basic plane takes
// two of a key name's 255 units.
TEST_F(Platform, RegistryKeyNamesAreCountedInUtf16Units)
{
    const std::wstring wide(1, static_cast<wchar_t>(0x1D400));  // a surrogate pair in UTF-16
    const std::wstring accented = L"\u00e9";  // one unit
    HKEY key = nullptr;
    auto create = [&](const std::wstring& name) {
        const std::wstring path = L"Software\\" + name;
        const LSTATUS status =
            RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (status == ERROR_SUCCESS)
            RegCloseKey(key);
        return status;
    };
    std::wstring pairs;
    for (int i = 0; i < 127; ++i)
        pairs += wide;
    EXPECT_EQ(create(pairs + accented), ERROR_SUCCESS) << "254 + 1 units";
    EXPECT_EQ(create(pairs + wide), ERROR_INVALID_PARAMETER) << "128 characters, 256 units";
    EXPECT_EQ(create(pairs + accented + accented), ERROR_INVALID_PARAMETER) << "254 + 2 units";
    EXPECT_EQ(create(std::wstring(255, L'\u00e9')), ERROR_SUCCESS);
    EXPECT_EQ(create(std::wstring(256, L'\u00e9')), ERROR_INVALID_PARAMETER);
    const std::wstring overlong = L"Software\\" + pairs + wide;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, overlong.c_str(), 0, KEY_READ, &key), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, overlong.c_str()), ERROR_INVALID_PARAMETER);
    const std::wstring longest = L"Software\\" + pairs + accented;
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, longest.c_str()), ERROR_SUCCESS);
}

// U+10000 is the first character that takes two UTF-16 units, U+10FFFF the
// last: 128 of either fill 256 units, one past a key name's 255, on create,
// open and delete alike; 127 of them and one plain character fill 255.
TEST_F(Platform, RegistryKeyNamesCountTheFirstAndLastCharactersPastTheBasicPlaneAsTwoUnits)
{
    for (const wchar_t wide : {static_cast<wchar_t>(0x10000), static_cast<wchar_t>(0x10FFFF)}) {
        const std::wstring pairs(127, wide);
        const std::wstring overlong = L"Software\\" + pairs + wide;
        const std::wstring longest = L"Software\\" + pairs + L"k";
        const unsigned long code = static_cast<unsigned long>(wide);
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, overlong.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_INVALID_PARAMETER)
            << std::hex << code;
        EXPECT_EQ(key, nullptr);
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, overlong.c_str(), 0, KEY_READ, &key), ERROR_INVALID_PARAMETER)
            << std::hex << code;
        EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, overlong.c_str()), ERROR_INVALID_PARAMETER) << std::hex << code;

        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, longest.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS)
            << std::hex << code;
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, longest.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS) << std::hex << code;
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, longest.c_str()), ERROR_SUCCESS) << std::hex << code;
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, longest.c_str(), 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND)
            << std::hex << code << ": deleted";
    }
}

TEST_F(Platform, GdiCallsAreLoggedAndCounted)
{
    HWND top = CreateWindowExW(0, L"TestRecorder", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    kvplat::clearGdiLog();
    const int before = kvplat::liveGdiObjects();
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    EXPECT_EQ(kvplat::liveGdiObjects(), before + 1);
    HDC dc = GetDC(top);
    RECT r{0, 0, 5, 5};
    HGDIOBJ old = SelectObject(dc, brush);
    EXPECT_NE(old, nullptr);
    EXPECT_EQ(FillRect(dc, &r, brush), 1);
    EXPECT_EQ(ReleaseDC(top, dc), 1);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));  // a second delete is caught
    EXPECT_EQ(kvplat::liveGdiObjects(), before);
    EXPECT_TRUE(DeleteObject(GetSysColorBrush(COLOR_BTNFACE)));  // harmless on system brushes
    const auto log = kvplat::gdiLog();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[0].rfind("CreateSolidBrush rgb(255,0,0)", 0), 0u);
    EXPECT_EQ(log[2], "FillRect (0,0,5,5) rgb(255,0,0)");
}

TEST_F(Platform, ModulesHaveTheirRealPaths)
{
    HMODULE self = kvplat::moduleFromAddress(reinterpret_cast<const void*>(&recordingProc));
    ASSERT_NE(self, nullptr);
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(self, path, MAX_PATH);
    ASSERT_GT(n, 0u);
    EXPECT_NE(std::wstring(path).find(L"test_platform"), std::wstring::npos);
    wchar_t shortBuffer[4];
    EXPECT_EQ(GetModuleFileNameW(self, shortBuffer, 4), 4u);  // cut and terminated
    EXPECT_EQ(shortBuffer[3], L'\0');
    EXPECT_EQ(GetModuleFileNameW(self, shortBuffer, 0), 0u);

    HMODULE sdk = kvplat::moduleFromAddress(reinterpret_cast<const void*>(&CreateWindowExW));
    n = GetModuleFileNameW(sdk, path, MAX_PATH);
    EXPECT_NE(std::wstring(path).find(L"libkvsdk"), std::wstring::npos);

    HMODULE lib = LoadLibraryW(L"libm.so.6");
    ASSERT_NE(lib, nullptr);
    auto cosine = reinterpret_cast<double (*)(double)>(reinterpret_cast<void (*)()>(GetProcAddress(lib, "cos")));
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    EXPECT_EQ(GetProcAddress(lib, "no_such_symbol"), nullptr);
    EXPECT_TRUE(FreeLibrary(lib));
    EXPECT_EQ(LoadLibraryW(L"/no/such/library.so"), nullptr);
}
