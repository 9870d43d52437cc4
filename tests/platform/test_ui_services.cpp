// The platform's services for owner-drawn controls: recorded drawing with real
// pixels and live objects, mouse tracking and keyboard translation. The
// visual-styles library and owner-drawn menus are checked through the
// library's theme access and menu.
#include "platform/kvPlatformUi.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

class UiServices : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvplat::reset();
        top = CreateWindowExW(0, WC_DIALOG, L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                              nullptr);
    }
    void TearDown() override { kvplat::reset(); }
    HWND child(LPCWSTR cls, int id, DWORD style)
    {
        return CreateWindowExW(0, cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 50, 20, top,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    }
    HWND top = nullptr;
};

} // namespace

TEST_F(UiServices, BitmapsKeepTheirPixelsAndEveryObjectCountsUntilDeleted)
{
    EXPECT_EQ(0, kvplat::liveGdiTotal());
    HDC screen = GetDC(nullptr);
    HDC a = CreateCompatibleDC(screen), b = CreateCompatibleDC(screen);
    const uint32_t pixels[4] = {0x112233, 0x445566, 0x778899, 0xAABBCC};
    HBITMAP source = CreateBitmap(2, 2, 1, 32, pixels);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = 2;
    bi.bmiHeader.biHeight = 2;  // bottom-up
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(bits);
    SelectObject(a, source);
    SelectObject(b, dib);
    EXPECT_TRUE(BitBlt(b, 0, 0, 2, 2, a, 0, 0, SRCCOPY));
    const auto* out = static_cast<const uint32_t*>(bits);
    EXPECT_EQ(0x778899u, out[0]) << "a bottom-up section starts with the bottom row";
    EXPECT_EQ(0x112233u, out[2]);
    BITMAP bm{};
    EXPECT_EQ(int(sizeof(bm)), GetObjectW(dib, sizeof(bm), &bm));
    EXPECT_EQ(2, bm.bmWidth);
    EXPECT_EQ(bits, bm.bmBits);
    ICONINFO ii{TRUE, 0, 0, source, dib};
    HICON icon = CreateIconIndirect(&ii);
    HIMAGELIST list = ImageList_Create(2, 2, ILC_COLOR32 | ILC_MASK, 1, 1);
    EXPECT_EQ(0, ImageList_ReplaceIcon(list, -1, icon));
    HRGN region = CreateRectRgn(0, 0, 1, 1);
    std::map<std::string, int> live = kvplat::liveGdiObjectsByKind();
    EXPECT_EQ(2, live["bitmap"]);
    EXPECT_EQ(1, live["icon"]);
    EXPECT_EQ(1, live["imagelist"]);
    EXPECT_EQ(1, live["region"]);
    EXPECT_EQ(3, live["dc"]);
    ICONINFO back{};
    ASSERT_TRUE(GetIconInfo(icon, &back));
    EXPECT_EQ(4, kvplat::liveGdiObjectsByKind()["bitmap"]) << "the caller owns what GetIconInfo hands out";
    for (HGDIOBJ o : {HGDIOBJ(source), HGDIOBJ(dib), HGDIOBJ(back.hbmColor), HGDIOBJ(back.hbmMask), HGDIOBJ(region)})
        EXPECT_TRUE(DeleteObject(o));
    EXPECT_FALSE(DeleteObject(source)) << "twice is an error";
    EXPECT_TRUE(DeleteObject(GetSysColorBrush(COLOR_BTNFACE))) << "harmless on a system brush";
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon)) << "twice is an error";
    EXPECT_TRUE(ImageList_Destroy(list));
    DeleteDC(a);
    DeleteDC(b);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(0, kvplat::liveGdiTotal());
}

TEST_F(UiServices, MouseTrackingEndsWhenTheMouseLeaves)
{
    HWND a = child(L"Button", 1, BS_PUSHBUTTON);
    TRACKMOUSEEVENT query{sizeof(TRACKMOUSEEVENT), TME_QUERY, a, 0};
    TrackMouseEvent(&query);
    EXPECT_EQ(0u, query.dwFlags);
    TRACKMOUSEEVENT leave{sizeof(TRACKMOUSEEVENT), TME_LEAVE, a, 0};
    EXPECT_TRUE(TrackMouseEvent(&leave));
    query.dwFlags = TME_QUERY;
    TrackMouseEvent(&query);
    EXPECT_EQ(DWORD(TME_LEAVE), query.dwFlags);
    kvplat::moveMouseAway();
    EXPECT_EQ(1u, kvplat::pendingMessages()) << "WM_MOUSELEAVE is posted";
    query.dwFlags = TME_QUERY;
    TrackMouseEvent(&query);
    EXPECT_EQ(0u, query.dwFlags) << "and the request ends";
}

// The push buttons ask which character a key types to find the keys that type
// "=": the answer must not be "=" for keys that type something else or nothing.
TEST_F(UiServices, KeysTranslateToTheCharactersTheyType)
{
    BYTE keys[256] = {};
    WORD ch[2] = {};
    EXPECT_EQ(1, ToAscii(VK_OEM_PLUS, 0, keys, ch, 0));
    EXPECT_EQ(WORD('='), ch[0]);
    keys[VK_SHIFT] = 0x80;
    ToAscii('Q', 0, keys, ch, 0);
    EXPECT_EQ(WORD('Q'), ch[0]);
    EXPECT_EQ(0, ToAscii(VK_F1, 0, keys, ch, 0));
}
