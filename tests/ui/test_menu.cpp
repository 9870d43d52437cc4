// The owner-drawn menu: measuring and drawing the items' icon area while a
// popup is tracked, the choice's delivery, icon ownership and recolouring.
#include "ui_resources.h"

#include "ui/atl/Menu.h"

using namespace kv::ui::atl;
using uitest::UiTest;

namespace {

class Menus : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        owner = makeDialog();
        kvplat::setMessageLogHook([this](HWND h, UINT m, WPARAM w, LPARAM) {
            if (h == owner && m == WM_COMMAND)
                commands.push_back(LOWORD(w));
        });
    }
    HICON icon() const
    {
        return static_cast<HICON>(
            LoadImageW(uitest::libraryResources(), MAKEINTRESOURCEW(10250), IMAGE_ICON, 16, 16, 0));
    }
    HWND owner = nullptr;
    std::vector<WORD> commands;
};

} // namespace

TEST_F(Menus, ItemsAreMeasuredForTheirIconsAndCheckedOnesDrawTheCheckIcon)
{
    kv::IntrusivePtr<Menu> menu = Menu::createPopup();
    ASSERT_TRUE(menu);
    menu->appendItem(L"Plain", 1, nullptr);
    menu->appendItem(L"Checked", 2, nullptr);
    CheckMenuItem(menu->handle(), 2, MF_CHECKED);
    kvplat::clearGdiLog();
    kvplat::pushMenuChoice(2);
    EXPECT_EQ(2u, menu->trackPopupMenu(TPM_RETURNCMD, 0, 0, owner));
    const std::vector<SIZE> sizes = kvplat::lastMenuMeasures();
    ASSERT_EQ(2u, sizes.size()) << "every item's bitmap area is owner-drawn";
    EXPECT_EQ(20, sizes[0].cy) << "the larger of the proposed height and the icon";
    EXPECT_EQ(22, sizes[0].cx);
    const std::vector<std::string> log = kvplat::gdiLog();
    EXPECT_TRUE(anyLineHas(log, "LoadImage 10251")) << "the selected check icon for the chosen checked item";
    int icons = 0;
    for (const auto& l : log)
        icons += l.compare(0, 10, "DrawIconEx") == 0;
    EXPECT_EQ(1, icons) << "the unchecked item without an icon draws nothing";
    EXPECT_TRUE(commands.empty()) << "with TPM_RETURNCMD nothing is posted";
    EXPECT_FALSE(menu->m_hWnd) << "the owner is released after tracking";
}

TEST_F(Menus, WithoutReturnCommandTheChoiceIsPostedAndCancellingPostsNothing)
{
    kv::IntrusivePtr<Menu> menu = Menu::createPopup();
    menu->appendItem(L"One", 11, icon());
    kvplat::pushMenuChoice(11);
    EXPECT_EQ(1u, menu->trackPopupMenu(0, 0, 0, owner));
    EXPECT_TRUE(commands.empty());
    kvplat::pumpMessages();
    EXPECT_EQ(std::vector<WORD>{11}, commands);
    EXPECT_EQ(0u, menu->trackPopupMenu(0, 0, 0, owner)) << "nothing chosen";
    kvplat::pumpMessages();
    EXPECT_EQ(1u, commands.size());
    EXPECT_EQ(0u, menu->trackPopupMenu(0, 0, 0, nullptr)) << "no owner, no menu";
    // A selected item with its own icon gets the raised frame.
    kvplat::clearGdiLog();
    kvplat::pushMenuChoice(11);
    menu->trackPopupMenu(TPM_RETURNCMD, 0, 0, owner);
    EXPECT_TRUE(anyLineHas(kvplat::gdiLog(), "LineTo (0,0) rgb(255,255,255)"));
    EXPECT_TRUE(anyLineStarts(kvplat::gdiLog(), "FillRect (0,0,20,20) rgb(240,240,240)"));
}

TEST_F(Menus, InsertedIconsAreOwnedAndAppendedOnesBorrowed)
{
    const int before = kvplat::liveGdiTotal();
    HICON borrowed = icon();
    {
        kv::IntrusivePtr<Menu> menu = Menu::createPopup();
        EXPECT_TRUE(menu->insertItem(0, MF_BYPOSITION, L"Owned", 1, icon()));
        EXPECT_TRUE(menu->appendItem(L"Borrowed", 2, borrowed));
        EXPECT_TRUE(menu->insertSeparator(1, MF_BYPOSITION));
        EXPECT_EQ(3, menu->GetMenuItemCount());
        EXPECT_TRUE(menu->icon(1)->owned());
        EXPECT_FALSE(menu->icon(2)->owned());
    }
    EXPECT_EQ(before + 1, kvplat::liveGdiTotal()) << "only the borrowed icon is left";
    EXPECT_TRUE(DestroyIcon(borrowed));
    EXPECT_EQ(before, kvplat::liveGdiTotal());
}

TEST_F(Menus, ASeparatorIsInsertedWithItsTypeAndDataFields)
{
    kv::IntrusivePtr<Menu> menu = Menu::createPopup();
    ASSERT_TRUE(menu->appendItem(L"Cut", 1, nullptr));
    ASSERT_TRUE(menu->appendItem(L"Paste", 2, nullptr));
    EXPECT_TRUE(menu->insertSeparator(2, 0)) << "in front of the item with command 2";
    EXPECT_TRUE(menu->insertSeparator(0, MF_BYPOSITION));
    EXPECT_EQ(4, menu->GetMenuItemCount());
    for (UINT position : {0u, 2u}) {
        EXPECT_EQ(UINT(MIIM_FTYPE | MIIM_DATA), kvplat::menuItemInsertMask(menu->handle(), position)) << position;
        EXPECT_EQ(MF_SEPARATOR, GetMenuState(menu->handle(), position, MF_BYPOSITION) & MF_SEPARATOR) << position;
    }
}

TEST_F(Menus, AHandleThatBecameTheOwnersMenuBarIsLeftToTheOwner)
{
    HMENU bar = nullptr;
    {
        kv::IntrusivePtr<Menu> menu = Menu::createPopup();
        menu->appendItem(L"File", 1, nullptr);
        EXPECT_EQ(0u, menu->trackPopupMenu(TPM_RETURNCMD, 0, 0, owner));
        bar = menu->handle();
        ASSERT_TRUE(SetMenu(owner, bar));
    }
    EXPECT_TRUE(IsMenu(bar)) << "the window's menu bar outlives the menu object";
    EXPECT_EQ(bar, GetMenu(owner));
    DestroyWindow(owner);
    EXPECT_FALSE(IsMenu(bar)) << "and goes with its window";

    // A menu only shown for a window is the object's to destroy.
    HWND other = makeDialog();
    HMENU shown = nullptr;
    {
        kv::IntrusivePtr<Menu> menu = Menu::createPopup();
        menu->appendItem(L"Edit", 2, nullptr);
        menu->trackPopupMenu(TPM_RETURNCMD, 0, 0, other);
        shown = menu->handle();
    }
    EXPECT_FALSE(IsMenu(shown));
}

TEST_F(Menus, ASystemColourChangeRecoloursTheIconPixels)
{
    kv::IntrusivePtr<Menu> menu = Menu::createPopup();
    menu->appendItem(L"Icon", 5, icon());
    HICON original = menu->icon(5)->get();
    // The resource icon's frame has the button face colour.
    kvplat::setSysColor(COLOR_BTNFACE, RGB(10, 20, 30));
    menu->SubclassWindow(owner);
    SendMessageW(owner, WM_SYSCOLORCHANGE, 0, 0);
    menu->UnsubclassWindow();
    HICON now = menu->icon(5)->get();
    ASSERT_NE(original, now);
    EXPECT_TRUE(menu->icon(5)->owned());
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(now, &info));
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = 16;
    bi.bmiHeader.biHeight = -16;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP copy = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC src = CreateCompatibleDC(nullptr);
    SelectObject(src, info.hbmColor);
    SelectObject(dc, copy);
    BitBlt(dc, 0, 0, 16, 16, src, 0, 0, SRCCOPY);
    const auto* px = static_cast<const uint32_t*>(bits);
    EXPECT_EQ(0x0A141Eu, px[0]) << "the frame pixel had the old face colour";
    EXPECT_EQ(0u, px[17]) << "black stays black";
    DeleteDC(src);
    DeleteDC(dc);
    DeleteObject(copy);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST_F(Menus, LoadingTakesTheSubMenuFromItsResource)
{
    kvplat::addResourceMenu(uitest::libraryResources(), 300, {{{L"Cut", 1}, {L"", 0}, {L"Paste", 2}}});
    kv::IntrusivePtr<Menu> menu = Menu::load(300, 0);
    ASSERT_TRUE(menu);
    EXPECT_EQ(3, menu->GetMenuItemCount());
    EXPECT_EQ(2u, menu->GetMenuItemID(2));
    EXPECT_FALSE(Menu::load(300, 4)) << "no such position";
    EXPECT_FALSE(Menu::load(999, 0)) << "no such resource";
}
