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

TEST_F(Controls, EditSelectionAndDialogCodes)
{
    HWND edit = make(L"Edit", 10, ES_AUTOHSCROLL, L"12.5");
    HWND label = make(L"Static", 11, 0, L"Radius");
    HWND push = make(L"Button", 12, BS_PUSHBUTTON);
    EXPECT_EQ(SendMessageW(edit, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL, DLGC_HASSETSEL);
    EXPECT_EQ(SendMessageW(label, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    EXPECT_EQ(SendMessageW(push, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);

    SendMessageW(edit, EM_SETSEL, 1, 99);  // clipped to the text
    DWORD start = 0, end = 0;
    const LRESULT both = SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 4u);
    EXPECT_EQ(both, MAKELONG(1, 4));
    SetWindowTextW(edit, L"3");
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(end, 0u);  // new text, no selection
    SendMessageW(edit, EM_SETREADONLY, TRUE, 0);
    EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);

    // A push button has no check state.
    SendMessageW(push, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageW(push, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    HWND check = make(L"Button", 13, BS_CHECKBOX);
    kvplat::clickButton(check);  // a plain check box leaves its state to its owner
    EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageW(check, BM_GETSTATE, 0, 0) & BST_CHECKED, BST_CHECKED);
    HWND tri = make(L"Button", 14, BS_AUTO3STATE);
    kvplat::clickButton(tri);
    kvplat::clickButton(tri);
    EXPECT_EQ(SendMessageW(tri, BM_GETCHECK, 0, 0), BST_INDETERMINATE);
    kvplat::clickButton(tri);
    EXPECT_EQ(SendMessageW(tri, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ShowWindow(tri, SW_HIDE);
    EXPECT_FALSE(kvplat::clickButton(tri));  // the user cannot click what is hidden
    EXPECT_EQ(SendMessageW(tri, BM_GETCHECK, 0, 0), BST_UNCHECKED);
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

// As the platform sends it, the right button's down message says the right
// button is held, at the point clicked; the up message, sent once it is
// released, no longer does.
TEST_F(Controls, ARightClickHoldsTheRightButtonInItsDownMessage)
{
    HWND button = make(L"Button", 43, BS_PUSHBUTTON);
    std::vector<std::pair<UINT, WPARAM>> heard;
    std::vector<LPARAM> at;
    kvplat::setMessageLogHook([&](HWND h, UINT m, WPARAM w, LPARAM l) {
        if (h == button && (m == WM_RBUTTONDOWN || m == WM_RBUTTONUP)) {
            heard.emplace_back(m, w);
            at.push_back(l);
        }
    });
    EXPECT_TRUE(kvplat::rightClick(button, POINT{7, 3}));
    kvplat::setMessageLogHook(nullptr);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard[0].first, static_cast<UINT>(WM_RBUTTONDOWN));
    EXPECT_EQ(heard[0].second, static_cast<WPARAM>(MK_RBUTTON)) << "the right button alone is held";
    EXPECT_EQ(heard[1].first, static_cast<UINT>(WM_RBUTTONUP));
    EXPECT_EQ(heard[1].second & MK_RBUTTON, 0u) << "released";
    for (LPARAM l : at)
        EXPECT_EQ(l, MAKELPARAM(7, 3));
}

namespace {

// The window whose activation destroys one of its own windows: the button
// the user is about to click, or the whole window.
HWND g_destroyedOnActivation = nullptr;
WNDPROC g_dialogProc = nullptr;

LRESULT CALLBACK destroyingOnActivation(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_ACTIVATE && LOWORD(w) != WA_INACTIVE && g_destroyedOnActivation) {
        HWND doomed = g_destroyedOnActivation;
        g_destroyedOnActivation = nullptr;
        if (doomed == h) {
            DestroyWindow(h);
            return 0;
        }
        DestroyWindow(doomed);
    }
    return CallWindowProcW(g_dialogProc, h, m, w, l);
}

} // namespace

// A control that the activation of its own window destroys is gone before
// the user's input lands: nothing is clicked, chosen or right-clicked, and
// the caller is told so.
TEST_F(Controls, AControlDestroyedByTheActivationOfItsWindowTakesNoInput)
{
    HWND other = CreateWindowExW(0, WC_DIALOG, L"", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    g_dialogProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(top, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&destroyingOnActivation)));
    ASSERT_NE(g_dialogProc, nullptr);
    std::vector<WPARAM> commands;
    kvplat::setMessageLogHook([&](HWND h, UINT m, WPARAM w, LPARAM) {
        if (h == top && m == WM_COMMAND)
            commands.push_back(w);
    });
    struct Case {
        const char* what;
        bool wholeWindow;
        int kind;  // 0 click, 1 combo choice, 2 right click
    } const cases[] = {
        {"button, click", false, 0},      {"combo box, choice", false, 1}, {"button, right click", false, 2},
        {"whole window, click", true, 0},  // last: the window is gone after it
    };
    for (const Case& c : cases) {
        HWND control = c.kind == 1 ? make(L"ComboBox", 50, CBS_DROPDOWNLIST) : make(L"Button", 51, BS_PUSHBUTTON);
        if (c.kind == 1)
            SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"one"));
        SetActiveWindow(other);
        ASSERT_EQ(GetActiveWindow(), other) << c.what;
        g_destroyedOnActivation = c.wholeWindow ? top : control;
        commands.clear();
        bool reported = true;
        if (c.kind == 0)
            reported = kvplat::clickButton(control);
        else if (c.kind == 1)
            reported = kvplat::selectComboItem(control, 0);
        else
            reported = kvplat::rightClick(control, POINT{2, 2});
        EXPECT_EQ(g_destroyedOnActivation, nullptr) << c.what << ": the activation ran";
        EXPECT_FALSE(IsWindow(control)) << c.what;
        EXPECT_FALSE(reported) << c.what << ": nothing was clicked";
        EXPECT_TRUE(commands.empty()) << c.what << ": no notification";
    }
    kvplat::setMessageLogHook(nullptr);
}

TEST_F(Controls, SubclassingPassesOnToTheOriginalProcedure)
{
    HWND check = make(L"Button", 20, BS_AUTOCHECKBOX);
    static WNDPROC original = nullptr;
    static int intercepted = 0;
    intercepted = 0;
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(check, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(
        +[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == BM_SETCHECK)
                ++intercepted;
            return CallWindowProcW(original, h, m, w, l);
        })));
    ASSERT_NE(original, nullptr);
    SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(intercepted, 1);
    EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);

    // A window object bound to an existing control keeps the control's behaviour.
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

TEST_F(Controls, DialogKeysAndPreTranslation)
{
    DestroyWindow(top);
    Observer dlg;
    ASSERT_TRUE(dlg.CreateEx(0, WC_DIALOG, L"", WS_POPUP | WS_VISIBLE, RECT{0, 0, 200, 100}, nullptr, 0));
    top = dlg.GetSafeHwnd();
    HWND first = make(L"Edit", 30, WS_TABSTOP);
    HWND second = make(L"Button", 31, WS_TABSTOP | BS_DEFPUSHBUTTON);
    make(L"Static", 32, 0);
    SetFocus(first);

    MSG tab{first, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageW(top, &tab));
    EXPECT_EQ(GetFocus(), second);
    tab.hwnd = second;
    EXPECT_TRUE(IsDialogMessageW(top, &tab));
    EXPECT_EQ(GetFocus(), first);  // wraps round, skipping what is not a stop

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

TEST_F(Controls, ListItemsAndSelectionNotifications)
{
    DestroyWindow(top);
    Observer owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"", WS_POPUP, RECT{0, 0, 300, 200}, nullptr, 0));
    top = owner.GetSafeHwnd();
    HWND list = make(WC_LISTVIEWW, 40, LVS_REPORT);
    LVCOLUMNW col{};
    col.mask = LVCF_WIDTH | LVCF_TEXT;
    col.cx = 60;
    col.pszText = const_cast<LPWSTR>(L"Value");
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col));
    col.pszText = const_cast<LPWSTR>(L"Count");
    SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&col));

    for (int i = 0; i < 3; ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = i;
        std::wstring text = L"R" + std::to_wstring(i + 1);
        item.pszText = &text[0];
        item.lParam = 100 + i;
        EXPECT_EQ(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)), i);
        item.iSubItem = 1;
        std::wstring count = std::to_wstring(i * 2);
        item.pszText = &count[0];
        EXPECT_TRUE(SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item)));
    }
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
    wchar_t buffer[16];
    LVITEMW get{};
    get.iSubItem = 1;
    get.pszText = buffer;
    get.cchTextMax = 16;
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMTEXTW, 2, reinterpret_cast<LPARAM>(&get)), 1);
    EXPECT_STREQ(buffer, L"4");
    get.mask = LVIF_PARAM;
    get.iItem = 1;
    get.iSubItem = 0;
    EXPECT_TRUE(SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&get)));
    EXPECT_EQ(get.lParam, 101);

    // Auto-sizing takes the widest text.
    EXPECT_TRUE(SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(LVSCW_AUTOSIZE, 0)));
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0), 2 * 7 + 12);

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

    EXPECT_TRUE(SendMessageW(list, LVM_DELETECOLUMN, 0, 0));
    get.iSubItem = 0;
    get.pszText = buffer;
    SendMessageW(list, LVM_GETITEMTEXTW, 2, reinterpret_cast<LPARAM>(&get));
    EXPECT_STREQ(buffer, L"4");  // the second column moved to the front
    EXPECT_TRUE(SendMessageW(list, LVM_DELETEALLITEMS, 0, 0));
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 0);
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
    EXPECT_EQ(found, (std::vector<HWND>{a, inner, b}));
    found.clear();
    EnumChildWindows(top, [](HWND h, LPARAM l) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
        return FALSE;
    }, reinterpret_cast<LPARAM>(&found));
    EXPECT_EQ(found.size(), 1u);

    RECT r1{0, 0, 10, 10}, r2{5, 5, 20, 30}, empty{3, 3, 3, 9}, out;
    const RECT both{0, 0, 20, 30}, common{5, 5, 10, 10}, beside{10, 0, 20, 10};
    EXPECT_TRUE(UnionRect(&out, &r1, &r2));
    EXPECT_TRUE(EqualRect(&out, &both));
    EXPECT_TRUE(UnionRect(&out, &empty, &r1));  // an empty rectangle adds nothing
    EXPECT_TRUE(EqualRect(&out, &r1));
    EXPECT_TRUE(IntersectRect(&out, &r1, &r2));
    EXPECT_TRUE(EqualRect(&out, &common));
    EXPECT_FALSE(IntersectRect(&out, &r1, &beside));
    EXPECT_TRUE(IsRectEmpty(&out));
    EXPECT_TRUE(PtInRect(&r1, POINT{0, 9}));
    EXPECT_FALSE(PtInRect(&r1, POINT{10, 5}));

    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 5, L"Five");
    InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, 4, L"Four");
    EXPECT_EQ(GetMenuItemID(menu, 0), 4u);
    EXPECT_EQ(EnableMenuItem(menu, 5, MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(EnableMenuItem(menu, 5, MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(EnableMenuItem(menu, 99, MF_GRAYED), -1);
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
