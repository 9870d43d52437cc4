// The platform's services for owner-drawn controls: recorded drawing with real
// pixels and live objects, the switchable visual-styles library, resource
// modules, the scripted colour dialog, menu item records with owner-drawn
// items, mouse tracking, keyboard translation, dialog groups and the monitor.
#include "platform/kvPlatformUi.h"

#include <gtest/gtest.h>

#include <cstring>
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

// Records what an owner receives while a popup menu is shown.
struct MenuOwner {
    std::vector<MEASUREITEMSTRUCT> measured;
    std::vector<DRAWITEMSTRUCT> drawn;
};
MenuOwner* g_owner = nullptr;

LRESULT CALLBACK ownerProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_MEASUREITEM) {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
        g_owner->measured.push_back(*mis);
        mis->itemWidth = 30;
        mis->itemHeight = 24;
        return TRUE;
    }
    if (m == WM_DRAWITEM) {
        g_owner->drawn.push_back(*reinterpret_cast<DRAWITEMSTRUCT*>(l));
        return TRUE;
    }
    return DefWindowProcW(h, m, w, l);
}

UINT_PTR CALLBACK refusingHook(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == RegisterWindowMessageW(COLOROKSTRINGW) ? 1 : 0;
}

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

TEST_F(UiServices, TheVisualStylesLibraryLoadsByNameAndCanBeSwitched)
{
    HMODULE theme = LoadLibraryW(L"uxtheme.dll");
    ASSERT_NE(nullptr, theme) << "found whatever the case";
    typedef BOOL(WINAPI * Active)();
    typedef HTHEME(WINAPI * Open)(HWND, LPCWSTR);
    typedef HRESULT(WINAPI * Close)(HTHEME);
    auto active = reinterpret_cast<Active>(reinterpret_cast<void (*)()>(GetProcAddress(theme, "IsThemeActive")));
    auto open = reinterpret_cast<Open>(reinterpret_cast<void (*)()>(GetProcAddress(theme, "OpenThemeData")));
    auto close = reinterpret_cast<Close>(reinterpret_cast<void (*)()>(GetProcAddress(theme, "CloseThemeData")));
    ASSERT_TRUE(active && open && close);
    EXPECT_EQ(nullptr, GetProcAddress(theme, "NoSuchFunction"));
    EXPECT_EQ(TRUE, active());
    HTHEME h = open(top, L"Button");
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(1, kvplat::liveGdiObjectsByKind()["theme"]);
    EXPECT_EQ(S_OK, close(h));
    EXPECT_EQ(E_FAIL, close(h));
    kvplat::setThemeActive(false);
    EXPECT_EQ(FALSE, active());
    EXPECT_EQ(nullptr, open(top, L"Button"));
    EXPECT_TRUE(FreeLibrary(theme));
    kvplat::setThemeLibraryAvailable(false);
    EXPECT_EQ(nullptr, LoadLibraryW(L"UxTheme.dll"));
}

TEST_F(UiServices, ResourceModulesHoldStringBlocksIconsMenusAndDialogs)
{
    HMODULE m = kvplat::createResourceModule(L"res.dll");
    kvplat::addResourceString(m, 1, L"one");
    kvplat::addResourceString(m, 3, L"\U00010348");
    HRSRC block = FindResourceW(m, MAKEINTRESOURCEW(1), RT_STRING);
    ASSERT_NE(nullptr, block);
    const auto* words = static_cast<const uint16_t*>(LockResource(LoadResource(m, block)));
    ASSERT_EQ(16u + 3 + 2, SizeofResource(m, block) / 2) << "16 lengths, 3 + 2 units of text";
    EXPECT_EQ(0, words[0]) << "id 0 is empty";
    EXPECT_EQ(3, words[1]);
    EXPECT_EQ('o', words[2]);
    EXPECT_EQ(2, words[6]) << "a character beyond 16 bits is a surrogate pair";
    EXPECT_EQ(0xD800, words[7]);
    EXPECT_EQ(nullptr, FindResourceW(m, MAKEINTRESOURCEW(2), RT_STRING)) << "no string in block 2";
    EXPECT_EQ(nullptr, FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_STRING));
    kvplat::addResourceIcon(m, 7);
    EXPECT_NE(nullptr, FindResourceExW(m, RT_GROUP_ICON, MAKEINTRESOURCEW(7), 0));
    HICON icon = static_cast<HICON>(LoadImageW(m, MAKEINTRESOURCEW(7), IMAGE_ICON, 16, 16, LR_SHARED));
    ASSERT_NE(nullptr, icon);
    EXPECT_EQ(nullptr, LoadImageW(m, MAKEINTRESOURCEW(8), IMAGE_ICON, 16, 16, 0));
    DestroyIcon(icon);
    kvplat::addResourceMenu(m, 9, {{{L"A", 1}}, {{L"B", 2}, {L"C", 3}}});
    HMENU bar = LoadMenuW(m, MAKEINTRESOURCEW(9));
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(2, GetMenuItemCount(bar));
    EXPECT_EQ(2, GetMenuItemCount(GetSubMenu(bar, 1)));
    DestroyMenu(bar);
}

TEST_F(UiServices, TheColourDialogAnswersAsScriptedAndHonoursItsHook)
{
    COLORREF custom[16] = {};
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = top;
    cc.rgbResult = RGB(1, 2, 3);
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_SOLIDCOLOR;
    EXPECT_FALSE(ChooseColorW(&cc)) << "without an answer the user cancels";
    kvplat::pushColorDialogAnswer(true, RGB(9, 8, 7));
    EXPECT_TRUE(ChooseColorW(&cc));
    EXPECT_EQ(RGB(9, 8, 7), cc.rgbResult);
    cc.Flags |= CC_ENABLEHOOK;
    cc.lpfnHook = &refusingHook;
    kvplat::pushColorDialogAnswer(true, RGB(1, 1, 1));
    EXPECT_FALSE(ChooseColorW(&cc)) << "the hook refused the colour";
    EXPECT_EQ(RGB(9, 8, 7), cc.rgbResult);
    ASSERT_EQ(3u, kvplat::colorDialogCalls().size());
    EXPECT_TRUE(kvplat::colorDialogCalls()[2].hooked);
    cc.lStructSize = 12;
    EXPECT_FALSE(ChooseColorW(&cc));
}

TEST_F(UiServices, OwnerDrawnMenuItemsAreMeasuredAndDrawnByTheOwner)
{
    MenuOwner record;
    g_owner = &record;
    HWND owner = CreateWindowExW(0, WC_DIALOG, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ownerProc));
    HMENU menu = CreatePopupMenu();
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE | MIIM_BITMAP;
    mii.wID = 5;
    mii.dwTypeData = const_cast<LPWSTR>(L"Five");
    mii.hbmpItem = HBMMENU_CALLBACK;
    ASSERT_TRUE(InsertMenuItemW(menu, 0, TRUE, &mii));
    mii.fMask = MIIM_ID | MIIM_STRING | MIIM_FTYPE;
    mii.wID = 6;
    mii.dwTypeData = const_cast<LPWSTR>(L"Six");
    ASSERT_TRUE(InsertMenuItemW(menu, 1, TRUE, &mii));
    MENUITEMINFOW state{};
    state.cbSize = sizeof(state);
    state.fMask = MIIM_STATE;
    state.fState = MF_CHECKED;
    ASSERT_TRUE(SetMenuItemInfoW(menu, 5, FALSE, &state));
    MENUINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = MIM_STYLE;
    info.dwStyle = MNS_NOCHECK;
    EXPECT_TRUE(SetMenuInfo(menu, &info));
    info.dwStyle = 0;
    GetMenuInfo(menu, &info);
    EXPECT_EQ(DWORD(MNS_NOCHECK), info.dwStyle);
    kvplat::pushMenuChoice(5);
    EXPECT_EQ(5, TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, owner, nullptr));
    ASSERT_EQ(1u, record.measured.size()) << "only the item that asked for it";
    EXPECT_EQ(UINT(ODT_MENU), record.measured[0].CtlType);
    EXPECT_EQ(20u, record.measured[0].itemHeight) << "proposed before the owner's answer";
    ASSERT_EQ(1u, record.drawn.size());
    EXPECT_EQ(UINT(ODS_CHECKED | ODS_SELECTED), record.drawn[0].itemState);
    EXPECT_EQ(24, record.drawn[0].rcItem.bottom) << "the owner's measure";
    EXPECT_EQ(30, kvplat::lastMenuMeasures()[0].cx);
    EXPECT_TRUE(RemoveMenu(menu, 0, MF_BYPOSITION));
    EXPECT_EQ(1, GetMenuItemCount(menu));
    EXPECT_TRUE(IsMenu(menu));
    DestroyMenu(menu);
    EXPECT_FALSE(IsMenu(menu));
    g_owner = nullptr;
}

TEST_F(UiServices, OwnerDrawnButtonsAskTheirParentAndEditsTakeTypedKeys)
{
    MenuOwner record;
    g_owner = &record;
    SetWindowLongPtrW(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ownerProc));
    HWND button = child(L"Button", 12, BS_OWNERDRAW);
    UpdateWindow(button);
    SendMessageW(button, WM_PAINT, 0, 0);
    ASSERT_FALSE(record.drawn.empty());
    EXPECT_EQ(UINT(ODT_BUTTON), record.drawn.back().CtlType);
    EXPECT_EQ(12u, record.drawn.back().CtlID);
    EXPECT_EQ(50, record.drawn.back().rcItem.right);
    g_owner = nullptr;
    SetWindowLongPtrW(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));

    HWND edit = child(L"Edit", 13, 0);
    SetWindowTextW(edit, L"12.5");
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_CHAR, L'7', 0);
    EXPECT_EQ(L"7", kvplat::windowText(edit));
    SendMessageW(edit, WM_CHAR, L'.', 0);
    SendMessageW(edit, WM_CHAR, L'5', 0);
    SendMessageW(edit, WM_KEYDOWN, VK_BACK, 0);
    EXPECT_EQ(L"7.", kvplat::windowText(edit));
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(L".", kvplat::windowText(edit));
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

// Radio buttons in a group, the order of top-level windows, popups owned
// through a child and the monitor.
TEST_F(UiServices, GroupsTopWindowsAndTheMonitor)
{
    HWND a = child(L"Button", 1, BS_AUTORADIOBUTTON | WS_GROUP);
    HWND b = child(L"Button", 2, BS_AUTORADIOBUTTON);
    HWND c = child(L"Button", 3, BS_AUTORADIOBUTTON);
    HWND d = child(L"Button", 4, BS_PUSHBUTTON | WS_GROUP);
    EXPECT_EQ(b, GetNextDlgGroupItem(top, a, FALSE));
    EXPECT_EQ(a, GetNextDlgGroupItem(top, c, FALSE)) << "round the group";
    EXPECT_EQ(c, GetNextDlgGroupItem(top, a, TRUE));
    EXPECT_EQ(d, GetNextDlgGroupItem(top, d, FALSE)) << "a group of one";

    HWND newer = CreateWindowExW(0, WC_DIALOG, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND first = nullptr;
    EnumWindows([](HWND h, LPARAM l) -> BOOL {
        *reinterpret_cast<HWND*>(l) = h;
        return FALSE;
    }, reinterpret_cast<LPARAM>(&first));
    EXPECT_EQ(newer, first) << "the newest top-level window lies on top";

    // A popup made for a child window is owned by the top-level window above it.
    HWND popup = CreateWindowExW(0, WC_DIALOG, L"", WS_POPUP, 0, 0, 10, 10, a, nullptr, nullptr, nullptr);
    EXPECT_EQ(top, GetParent(popup));
    DestroyWindow(top);
    EXPECT_FALSE(IsWindow(popup)) << "and goes with it";

    kvplat::setScreenSize(800, 600);
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(newer, MONITOR_DEFAULTTONULL), &mi));
    EXPECT_EQ(600, mi.rcMonitor.bottom);
    EXPECT_EQ(nullptr, MonitorFromWindow(nullptr, MONITOR_DEFAULTTONULL));
}
