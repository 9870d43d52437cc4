// The Z order of top-level windows: a new window comes on top, showing and
// activating raise a window (its owner with it), and the window that leaves
// the active place hands it to the next one down, the one active before.
#include "registered_class.h"

#include "platform/kvPlatform.h"
#include "platform/windows.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

int g_activations = 0;

LRESULT CALLBACK countingProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_ACTIVATE)
        ++g_activations;
    return DefWindowProcW(h, m, w, l);
}

class WindowOrder : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvplat::reset();
        g_activations = 0;
        ASSERT_TRUE(platform_test::registerClassOnce(L"OrderedWindow", &countingProc));
    }
    void TearDown() override { kvplat::reset(); }

    static HWND window(HWND owner = nullptr)
    {
        return CreateWindowExW(0, L"OrderedWindow", L"", WS_POPUP, 0, 0, 10, 10, owner, nullptr, nullptr, nullptr);
    }
    static HWND shown(HWND owner = nullptr)
    {
        HWND h = window(owner);
        ShowWindow(h, SW_SHOW);
        return h;
    }
};

} // namespace

TEST_F(WindowOrder, ANewWindowComesOnTop)
{
    HWND a = window(), b = window();
    EXPECT_EQ(kvplat::topLevelWindows(), (std::vector<HWND>{b, a}));
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDFIRST), b);
}

TEST_F(WindowOrder, DestroyingTheActiveWindowActivatesTheOneActiveBefore)
{
    HWND a = shown(), b = shown(), c = shown();
    (void)a;
    DestroyWindow(c);
    EXPECT_EQ(GetActiveWindow(), b);
}

TEST_F(WindowOrder, AWindowActivatedAgainHandsBackToTheOneActiveBeforeIt)
{
    HWND a = shown(), b = shown(), c = shown();
    SetActiveWindow(a);
    EXPECT_EQ(kvplat::topLevelWindows(), (std::vector<HWND>{a, c, b})) << "activation raises";
    DestroyWindow(a);
    EXPECT_EQ(GetActiveWindow(), c);
    a = shown();
    DestroyWindow(c);
    SetActiveWindow(a);
    DestroyWindow(a);
    EXPECT_EQ(GetActiveWindow(), b) << "the last one left";
}

TEST_F(WindowOrder, HidingTheActiveWindowActivatesTheOneActiveBeforeAndShowingRaisesItAgain)
{
    HWND a = shown(), b = shown(), c = shown();
    ShowWindow(c, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), b);
    ShowWindow(c, SW_SHOW);
    EXPECT_EQ(GetActiveWindow(), c);
    EXPECT_EQ(kvplat::topLevelWindows(), (std::vector<HWND>{c, b, a}));
    ShowWindow(b, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), c) << "an inactive window hidden changes nothing";
}

TEST_F(WindowOrder, AWindowShownWithoutActivationStaysWhereItIs)
{
    HWND a = shown(), b = window();
    SetWindowPos(b, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(b, SW_SHOWNA);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(kvplat::topLevelWindows(), (std::vector<HWND>{a, b}));
}

TEST_F(WindowOrder, DestroyingAnInactiveWindowLeavesActivationAlone)
{
    HWND a = shown(), b = shown(), c = shown();
    (void)a;
    g_activations = 0;
    DestroyWindow(b);
    EXPECT_EQ(GetActiveWindow(), c);
    EXPECT_EQ(g_activations, 0);
}

TEST_F(WindowOrder, AnOwnedWindowComesUpWithItsOwnerAndHandsBackToIt)
{
    HWND a = shown(), b = shown();
    HWND owned = shown(a);
    EXPECT_EQ(kvplat::topLevelWindows(), (std::vector<HWND>{owned, a, b})) << "the owner comes up with it";
    SetActiveWindow(b);
    EXPECT_EQ(kvplat::topLevelWindows(), (std::vector<HWND>{b, owned, a}));
    ShowWindow(b, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), owned) << "the next down, above its owner";
    DestroyWindow(owned);
    EXPECT_EQ(GetActiveWindow(), a) << "the owner takes over from its owned window";
}

TEST_F(WindowOrder, DisabledAndHiddenWindowsArePassedOver)
{
    HWND a = shown(), disabled = shown(), hidden = shown(), c = shown();
    EnableWindow(disabled, FALSE);
    ShowWindow(hidden, SW_HIDE);
    SetActiveWindow(c);
    DestroyWindow(c);
    EXPECT_EQ(GetActiveWindow(), a);
}

TEST_F(WindowOrder, EnumerationGoesFromTheTopDown)
{
    HWND a = shown(), b = shown();
    HWND owned = shown(a);
    std::vector<HWND> seen;
    EnumWindows(
        [](HWND h, LPARAM l) {
            reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(seen, (std::vector<HWND>{owned, a, b}));
}
