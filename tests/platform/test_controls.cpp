#include "platform/afx.h"
#include "platform/kvPlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Controls : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvplat::reset();
        top = CreateWindowExW(0, WC_DIALOG, L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(IsWindow(top));
    }
    void TearDown() override { kvplat::reset(); }

    HWND make(LPCWSTR cls, int id, DWORD style, LPCWSTR text = L"")
    {
        return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 50, 20, top,
                               reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
    }

    HWND top = nullptr;
};

// Records the notifications a parent receives.
struct Observer : CWnd {
    std::vector<std::pair<UINT, WPARAM>> seen;
    std::vector<NMLISTVIEW> changes;
    BOOL OnCommand(WPARAM w, LPARAM) override
    {
        seen.emplace_back(WM_COMMAND, w);
        return TRUE;
    }
    BOOL OnNotify(WPARAM w, LPARAM l, LRESULT* r) override
    {
        seen.emplace_back(WM_NOTIFY, w);
        auto* hdr = reinterpret_cast<NMHDR*>(l);
        if (hdr->code == LVN_ITEMCHANGED)
            changes.push_back(*reinterpret_cast<NMLISTVIEW*>(l));
        *r = 0;
        return TRUE;
    }
    BOOL PreTranslateMessage(MSG* msg) override
    {
        // Swallows one private message, lets everything else through.
        return msg->message == WM_USER + 13;
    }
};

} // namespace

// Edit selections and dialog codes are driven by the layout's reselection and
// the start-key helper; what the user may click is the platform's own.
TEST_F(Controls, TheUserCannotClickWhatIsHiddenAndAPushButtonHoldsNoCheck)
{
    HWND push = make(L"Button", 12, BS_PUSHBUTTON);
    SendMessageW(push, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageW(push, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    HWND box = make(L"Button", 14, BS_AUTOCHECKBOX);
    ShowWindow(box, SW_HIDE);
    EXPECT_FALSE(kvplat::clickButton(box));
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

// A window the user cannot see takes no click or choice from the user, even
// when it is marked visible itself and only the dialog around it is hidden.
TEST_F(Controls, TheUserCannotReachControlsInsideAHiddenDialog)
{
    HWND dialog = CreateWindowExW(0, WC_DIALOG, L"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, top, nullptr, nullptr, nullptr);
    std::vector<WPARAM> notified;
    kvplat::setMessageLogHook([&](HWND h, UINT m, WPARAM w, LPARAM) {
        if (h == dialog && m == WM_COMMAND)
            notified.push_back(w);
    });
    HWND button = CreateWindowExW(0, L"Button", L"", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0, 0, 50, 20, dialog,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(40)), nullptr, nullptr);
    HWND combo = CreateWindowExW(0, L"ComboBox", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 0, 30, 50, 80, dialog,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(41)), nullptr, nullptr);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"one"));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"two"));
    ShowWindow(dialog, SW_HIDE);
    EXPECT_TRUE(GetWindowLongW(button, GWL_STYLE) & WS_VISIBLE) << "the button itself is marked visible";
    EXPECT_FALSE(kvplat::clickButton(button));
    EXPECT_FALSE(kvplat::selectComboItem(combo, 1));
    EXPECT_FALSE(kvplat::rightClick(button, POINT{2, 2}));
    EXPECT_EQ(SendMessageW(button, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_TRUE(notified.empty()) << "nothing notified";

    // The whole top-level window hidden keeps the user off as well.
    ShowWindow(dialog, SW_SHOW);
    ShowWindow(top, SW_HIDE);
    EXPECT_FALSE(kvplat::clickButton(button));
    ShowWindow(top, SW_SHOW);
    EXPECT_TRUE(kvplat::clickButton(button));
    EXPECT_TRUE(kvplat::selectComboItem(combo, 1));
    EXPECT_EQ(SendMessageW(button, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(notified.empty());
    kvplat::setMessageLogHook(nullptr);
}

// The user's right click lands after the window it lies in has been activated.
TEST_F(Controls, ARightClickActivatesItsWindowFirst)
{
    HWND button = make(L"Button", 42, BS_PUSHBUTTON);
    HWND other = CreateWindowExW(0, WC_DIALOG, L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(GetActiveWindow(), other);
    std::vector<UINT> heard;
    kvplat::setMessageLogHook([&](HWND h, UINT m, WPARAM, LPARAM) {
        if ((h == top && m == WM_ACTIVATE) || (h == button && (m == WM_RBUTTONDOWN || m == WM_RBUTTONUP)))
            heard.push_back(m);
    });
    EXPECT_TRUE(kvplat::rightClick(button, POINT{2, 2}));
    EXPECT_EQ(GetActiveWindow(), top);
    EXPECT_EQ(heard, (std::vector<UINT>{WM_ACTIVATE, WM_RBUTTONDOWN, WM_RBUTTONUP}));
    EnableWindow(top, FALSE);
    EXPECT_FALSE(kvplat::rightClick(button, POINT{2, 2})) << "nor in a disabled window";
    kvplat::setMessageLogHook(nullptr);
}

// The procedure swap underneath is exercised by the template library's chained
// subclassing; here the dialog framework binds an object to a control.
TEST_F(Controls, AnObjectBoundToAControlKeepsItsBehaviourUntilDetached)
{
    HWND other = make(L"Button", 21, BS_AUTOCHECKBOX);
    struct Counting : CWnd {
        int clicks = 0;
        LRESULT WindowProc(UINT m, WPARAM w, LPARAM l) override
        {
            if (m == BM_CLICK)
                ++clicks;
            return CWnd::WindowProc(m, w, l);
        }
    } bound;
    CWnd* parent = CWnd::FromHandle(top);
    ASSERT_TRUE(bound.SubclassDlgItem(21, parent));
    EXPECT_EQ(CWnd::FromHandle(other), &bound);
    kvplat::clickButton(other);
    EXPECT_EQ(bound.clicks, 1);
    EXPECT_EQ(SendMessageW(other, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(bound.Detach(), other);
    kvplat::clickButton(other);
    EXPECT_EQ(bound.clicks, 1);  // no longer routed through the object
    EXPECT_EQ(SendMessageW(other, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(Controls, EnterAndEscapeClickTheDialogsButtonsAndQueuedMessagesArePreTranslated)
{
    DestroyWindow(top);
    Observer dlg;
    ASSERT_TRUE(dlg.CreateEx(0, WC_DIALOG, L"", WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 100}, nullptr, 0));
    top = dlg.GetSafeHwnd();
    HWND first = make(L"Edit", 30, WS_TABSTOP);
    make(L"Button", 31, WS_TABSTOP | BS_DEFPUSHBUTTON);
    SetFocus(first);
    MSG enter{first, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageW(top, &enter));
    MSG escape{first, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageW(top, &escape));
    ASSERT_EQ(dlg.seen.size(), 2u);
    EXPECT_EQ(dlg.seen[0].second, MAKEWPARAM(31, BN_CLICKED));  // the default push button
    EXPECT_EQ(dlg.seen[1].second, MAKEWPARAM(IDCANCEL, BN_CLICKED));
    HWND stranger = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    MSG foreign{stranger, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_FALSE(IsDialogMessageW(top, &foreign));

    // Queued messages pass the window objects of the target and its parents first.
    dlg.seen.clear();
    PostMessageW(first, WM_USER + 13, 0, 0);
    PostMessageW(top, WM_COMMAND, 77, 0);
    kvplat::pumpMessages();
    ASSERT_EQ(dlg.seen.size(), 1u);
    EXPECT_EQ(dlg.seen[0].second, 77u);
    dlg.DestroyWindow();
}

// Texts, item data, counts and deletion are driven through the styled list;
// the notifications are the platform's own.
TEST_F(Controls, ListSelectionNotifiesTheParentOnlyWhenAStateChanges)
{
    DestroyWindow(top);
    Observer owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"", WS_POPUP, RECT{0, 0, 300, 200}, nullptr, 0));
    top = owner.GetSafeHwnd();
    HWND list = make(WC_LISTVIEWW, 40, LVS_REPORT);
    for (int i = 0; i < 3; ++i) {
        LVITEMW item{};
        item.iItem = i;
        EXPECT_EQ(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), i);
    }
    LVITEMW sel{};
    sel.stateMask = LVIS_SELECTED;
    sel.state = LVIS_SELECTED;
    EXPECT_TRUE(SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&sel)));
    EXPECT_TRUE(SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&sel)));  // no change, no notice
    ASSERT_EQ(owner.changes.size(), 1u);
    EXPECT_EQ(owner.changes[0].iItem, 1);
    EXPECT_EQ(owner.changes[0].uNewState, static_cast<UINT>(LVIS_SELECTED));
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 1);
    sel.state = 0;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&sel));
    EXPECT_EQ(owner.changes.size(), 2u);
    EXPECT_EQ(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), -1);
    owner.DestroyWindow();
}

TEST_F(Controls, EnumerationAndRectangles)
{
    HWND a = make(L"Static", 1, 0);
    HWND b = make(L"Static", 2, 0);
    HWND inner = CreateWindowExW(0, L"Static", L"", WS_CHILD, 0, 0, 1, 1, a, nullptr, nullptr, nullptr);
    std::vector<HWND> found;
    EnumChildWindows(top, [](HWND h, LPARAM l) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&found));
    EXPECT_EQ(found, (std::vector<HWND>{a, inner, b})) << "depth first";

    RECT r1{0, 0, 10, 10}, r2{5, 5, 20, 30}, out;
    const RECT common{5, 5, 10, 10}, beside{10, 0, 20, 10};
    EXPECT_TRUE(IntersectRect(&out, &r1, &r2));
    EXPECT_TRUE(EqualRect(&out, &common));
    EXPECT_FALSE(IntersectRect(&out, &r1, &beside)) << "touching is not meeting";
    EXPECT_TRUE(PtInRect(&r1, POINT{0, 9}));
    EXPECT_FALSE(PtInRect(&r1, POINT{10, 5}));

    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 5, L"Five");
    InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, 4, L"Four");
    EXPECT_EQ(GetMenuItemID(menu, 0), 4u);
    wchar_t text[8];
    EXPECT_EQ(GetMenuStringW(menu, 1, text, 8, MF_BYPOSITION), 4);
    EXPECT_STREQ(text, L"Five");
    HMENU sub = CreatePopupMenu();
    AppendMenuW(sub, MF_STRING, 6, L"Six");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"More");
    EXPECT_EQ(GetSubMenu(menu, 2), sub);
    EXPECT_EQ(GetMenuItemID(menu, 2), 0xFFFFFFFFu);
    kvplat::pushMenuChoice(6);  // a command of a submenu can be chosen too
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, top, nullptr), 6);
    DestroyMenu(menu);
    EXPECT_EQ(GetMenuItemCount(sub), -1);  // destroyed with its menu
}
