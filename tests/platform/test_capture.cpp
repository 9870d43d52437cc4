// The mouse capture: the window that loses it is told, whoever takes it, and
// the window holding it takes all mouse input, even where a disabled window
// keeps the user's input off.
#include "registered_class.h"

#include "platform/kvPlatform.h"
#include "platform/windows.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Heard {
    HWND hwnd;
    UINT msg;
    LPARAM lParam;
};

std::vector<Heard> g_heard;

LRESULT CALLBACK listeningProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_CAPTURECHANGED || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || m == WM_KEYDOWN)
        g_heard.push_back(Heard{h, m, l});
    return DefWindowProcW(h, m, w, l);
}

class Capture : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvplat::reset();
        g_heard.clear();
        ASSERT_TRUE(platform_test::registerClassOnce(L"CaptureListener", &listeningProc));
        dialog = CreateWindowExW(0, L"CaptureListener", L"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                 nullptr, nullptr, nullptr);
        first = make(1);
        second = make(2);
    }
    void TearDown() override { kvplat::reset(); }

    HWND make(int id)
    {
        return CreateWindowExW(0, L"CaptureListener", L"", WS_CHILD | WS_VISIBLE, 0, 30 * id, 50, 20, dialog,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    }
    static std::vector<Heard> heardBy(HWND h, UINT msg)
    {
        std::vector<Heard> out;
        for (const Heard& x : g_heard)
            if (x.hwnd == h && x.msg == msg)
                out.push_back(x);
        return out;
    }

    HWND dialog = nullptr, first = nullptr, second = nullptr;
};

} // namespace

TEST_F(Capture, TheWindowLosingTheCaptureToAnotherIsToldWhoTakesIt)
{
    EXPECT_EQ(nullptr, SetCapture(first));
    EXPECT_TRUE(g_heard.empty()) << "nobody held the capture";
    EXPECT_EQ(first, SetCapture(second));
    const auto lost = heardBy(first, WM_CAPTURECHANGED);
    ASSERT_EQ(1u, lost.size());
    EXPECT_EQ(second, reinterpret_cast<HWND>(lost[0].lParam));
    EXPECT_TRUE(heardBy(second, WM_CAPTURECHANGED).empty()) << "the window taking it hears nothing";
    EXPECT_EQ(second, GetCapture());
}

TEST_F(Capture, TakingTheCaptureAgainChangesNothing)
{
    SetCapture(first);
    EXPECT_EQ(first, SetCapture(first));
    EXPECT_TRUE(g_heard.empty());
    EXPECT_EQ(first, GetCapture());
}

TEST_F(Capture, ReleasingTellsTheHolderThatNobodyTakesIt)
{
    SetCapture(first);
    SetCapture(second);
    g_heard.clear();
    EXPECT_TRUE(ReleaseCapture());
    const auto lost = heardBy(second, WM_CAPTURECHANGED);
    ASSERT_EQ(1u, lost.size());
    EXPECT_EQ(nullptr, reinterpret_cast<HWND>(lost[0].lParam));
    EXPECT_EQ(nullptr, GetCapture());
    ReleaseCapture();
    EXPECT_EQ(1u, g_heard.size()) << "released once, told once";
}

TEST_F(Capture, TheHolderTakesMouseInputInADisabledDialogButNoKeys)
{
    SetCapture(first);
    EnableWindow(dialog, FALSE);
    for (HWND h : {first, second}) {
        PostMessageW(h, WM_MOUSEMOVE, 0, MAKELPARAM(60, 5));
        PostMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(60, 5));
        PostMessageW(h, WM_KEYDOWN, VK_SPACE, 0);
    }
    kvplat::pumpMessages();
    EXPECT_EQ(1u, heardBy(first, WM_MOUSEMOVE).size());
    EXPECT_EQ(1u, heardBy(first, WM_LBUTTONUP).size());
    EXPECT_TRUE(heardBy(first, WM_KEYDOWN).empty()) << "keys follow the focus, not the mouse";
    EXPECT_TRUE(heardBy(second, WM_MOUSEMOVE).empty()) << "the other window in the disabled dialog takes none";
    EXPECT_TRUE(heardBy(second, WM_LBUTTONUP).empty());
}

TEST_F(Capture, TheHolderTakesMouseInputWhenItIsDisabledItself)
{
    // Disabling a window holding the capture would end it through the
    // window's cancel-mode; one that keeps it still hears the mouse.
    SetCapture(first);
    SetWindowLongW(first, GWL_STYLE, GetWindowLongW(first, GWL_STYLE) | WS_DISABLED);
    PostMessageW(first, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    kvplat::pumpMessages();
    EXPECT_EQ(1u, heardBy(first, WM_LBUTTONUP).size());
}
