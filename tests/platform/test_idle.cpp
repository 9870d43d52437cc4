// The message loop's idle step: wrappers that FromHandle made for windows
// without an object of their own are freed once their windows are gone.
#include "platform/afx.h"
#include "platform/kvPlatform.h"

#include <gtest/gtest.h>

TEST(IdleStep, FreesTheTemporaryObjectsOfDestroyedWindows)
{
    kvplat::reset();
    const size_t before = kvplat::temporaryWindowObjects();
    for (int cycle = 0; cycle < 50; ++cycle) {
        HWND hwnd = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(CWnd::FromHandle(hwnd), nullptr);
        ::DestroyWindow(hwnd);
        kvplat::pumpMessages();
    }
    EXPECT_EQ(kvplat::temporaryWindowObjects(), before);

    // Without the idle step they pile up.
    for (int cycle = 0; cycle < 3; ++cycle) {
        HWND hwnd = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        CWnd::FromHandle(hwnd);
        ::DestroyWindow(hwnd);
    }
    EXPECT_EQ(kvplat::temporaryWindowObjects(), before + 3);
    kvplat::pumpMessages();
    EXPECT_EQ(kvplat::temporaryWindowObjects(), before);
    kvplat::reset();
}
