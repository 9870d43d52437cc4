#include "platform/afx.h"
#include "platform/kvPlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kPanel = 9001;
constexpr int kCheck = 1033;
constexpr int kCombo = 1058;
constexpr int kList = 1100;
constexpr int kRadioA = 1201;
constexpr int kRadioB = 1202;

void registerPanel()
{
    kvplat::DialogTemplate t;
    t.width = 300;
    t.height = 200;
    t.caption = L"Analyse";
    t.style = WS_POPUP | WS_CAPTION | WS_THICKFRAME;
    t.controls = {
        {L"Button", IDOK, L"OK", 10, 150, 60, 20, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
        {L"Button", IDCANCEL, L"Cancel", 80, 150, 60, 20, WS_VISIBLE | WS_TABSTOP},
        {L"Button", kCheck, L"Transparent", 10, 10, 100, 20, WS_VISIBLE | BS_AUTOCHECKBOX},
        {L"ComboBox", kCombo, L"", 10, 40, 150, 100, WS_VISIBLE | CBS_DROPDOWNLIST},
        {L"SysListView32", kList, L"", 10, 70, 200, 60, WS_VISIBLE | LVS_REPORT},
        {L"Button", kRadioA, L"A", 220, 10, 40, 20, WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON},
        {L"Button", kRadioB, L"B", 220, 30, 40, 20, WS_VISIBLE | BS_AUTORADIOBUTTON},
    };
    kvplat::registerDialogTemplate(kPanel, t);
}

// A modeless dialog that deletes itself after its window is gone.
class Panel : public CDialog {
public:
    explicit Panel(std::vector<std::wstring>& log) : CDialog(kPanel), m_log(log) {}
    ~Panel() override { m_log.push_back(L"deleted"); }

    BOOL OnInitDialog() override
    {
        m_log.push_back(L"init " + std::to_wstring(GetDlgItem(kCombo) != nullptr));
        return CDialog::OnInitDialog();
    }
    BOOL OnCommand(WPARAM wParam, LPARAM) override
    {
        if (LOWORD(wParam) == kCheck || LOWORD(wParam) == kCombo) {
            m_log.push_back(L"command " + std::to_wstring(LOWORD(wParam)) + L" " + std::to_wstring(HIWORD(wParam)));
            return TRUE;
        }
        return FALSE;
    }
    void OnOK() override { m_log.push_back(L"ok"); }
    void OnCancel() override
    {
        m_log.push_back(L"cancel");
        DestroyWindow();
    }
    void OnDestroy() override
    {
        m_log.push_back(L"destroy");
        CDialog::OnDestroy();
    }
    void OnSize(UINT type, int cx, int cy) override
    {
        m_log.push_back(L"size " + std::to_wstring(type) + L" " + std::to_wstring(cx) + L"x" + std::to_wstring(cy));
        CDialog::OnSize(type, cx, cy);
    }
    void PostNcDestroy() override { delete this; }

private:
    std::vector<std::wstring>& m_log;
};

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvplat::reset();
        registerPanel();
    }
    void TearDown() override { kvplat::reset(); }
    // A shown-later panel that deletes itself when its window goes.
    Panel* openPanel()
    {
        auto* panel = new Panel(log);
        EXPECT_TRUE(panel->Create(kPanel, nullptr));
        return panel;
    }
    std::vector<std::wstring> log;
};

bool contains(const std::vector<std::wstring>& log, const std::wstring& s)
{
    for (const auto& l : log)
        if (l == s)
            return true;
    return false;
}

} // namespace

TEST_F(Dialogs, TemplateDialogLifecycle)
{
    Panel* panel = openPanel();
    HWND h = panel->GetSafeHwnd();
    ASSERT_TRUE(IsWindow(h));
    EXPECT_EQ(CWnd::FromHandle(h), panel);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), panel);
    EXPECT_TRUE(contains(log, L"init 1"));  // controls exist when WM_INITDIALOG arrives
    EXPECT_FALSE(panel->IsWindowVisible());
    EXPECT_EQ(kvplat::windowText(h), L"Analyse");
    EXPECT_EQ(kvplat::childWindows(h).size(), 7u);  // the list's header belongs to the list
    EXPECT_EQ(GetParent(GetDlgItem(h, kCheck)), h);

    panel->ShowWindow(SW_SHOW);
    kvplat::userResize(h, 400, 300);
    EXPECT_TRUE(contains(log, L"size 0 392x272"));

    // The user's clicks reach the dialog as commands.
    HWND check = GetDlgItem(h, kCheck);
    EXPECT_TRUE(kvplat::clickButton(check));
    EXPECT_EQ(SendMessageW(check, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(contains(log, L"command 1033 0"));

    // Enter from a control goes through the dialog's pre-translation to OnOK.
    PostMessageW(GetDlgItem(h, kCombo), WM_KEYDOWN, VK_RETURN, 0);
    kvplat::pumpMessages();
    EXPECT_TRUE(contains(log, L"ok"));
    EXPECT_TRUE(IsWindow(h));

    // Closing destroys the window and, on its last message, the object.
    SendMessageW(h, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(h));
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[log.size() - 3], L"cancel");
    EXPECT_EQ(log[log.size() - 2], L"destroy");
    EXPECT_EQ(log.back(), L"deleted");
    EXPECT_EQ(CWnd::FromHandle(h), nullptr);
}

TEST_F(Dialogs, MissingTemplateAndChildDialogs)
{
    CDialog missing(4242, nullptr);
    EXPECT_FALSE(missing.Create(4242, nullptr));
    EXPECT_EQ(missing.GetSafeHwnd(), nullptr);

    kvplat::DialogTemplate childTemplate;
    childTemplate.width = 100;
    childTemplate.height = 50;
    childTemplate.style = WS_CHILD | WS_VISIBLE;
    kvplat::registerDialogTemplate(9002, childTemplate);

    Panel* owner = openPanel();
    {
        CDialog page(9002, owner);
        ASSERT_TRUE(page.Create(9002, owner));
        EXPECT_TRUE(IsChild(owner->GetSafeHwnd(), page.GetSafeHwnd()));
        EXPECT_EQ(page.GetParent(), owner);
        EXPECT_TRUE(page.GetStyle() & WS_VISIBLE);
    }  // the object going first takes its window with it
    EXPECT_EQ(kvplat::childWindows(owner->GetSafeHwnd()).size(), 7u);
    owner->DestroyWindow();
    EXPECT_EQ(log.back(), L"deleted");
}

TEST_F(Dialogs, TemporaryObjectsForForeignWindows)
{
    HWND plain = CreateWindowExW(0, L"Static", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    CWnd* t = CWnd::FromHandle(plain);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(CWnd::FromHandle(plain), t);
    EXPECT_EQ(CWnd::FromHandlePermanent(plain), nullptr);
    EXPECT_EQ(t->GetSafeHwnd(), plain);
    EXPECT_TRUE(t->DestroyWindow());  // a temporary object may destroy its own window
    EXPECT_FALSE(IsWindow(plain));
    kvplat::pumpMessages();
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
}

// The message loop's idle step frees the wrappers of windows that are gone;
// without it they pile up.
TEST_F(Dialogs, TheIdleStepFreesTheTemporaryObjectsOfDestroyedWindows)
{
    const size_t before = kvplat::temporaryWindowObjects();
    for (int cycle = 0; cycle < 3; ++cycle) {
        HWND hwnd = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(CWnd::FromHandle(hwnd), nullptr);
        ::DestroyWindow(hwnd);
    }
    EXPECT_EQ(kvplat::temporaryWindowObjects(), before + 3);
    kvplat::pumpMessages();
    EXPECT_EQ(kvplat::temporaryWindowObjects(), before);
}

TEST_F(Dialogs, ComboBoxSelectionAndNotifications)
{
    Panel* panel = openPanel();
    HWND combo = panel->GetDlgItem(kCombo)->GetSafeHwnd();
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    for (const wchar_t* text : {L"Analyse one face", L"Two elements", L"Radius"})
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(combo, CB_SETITEMDATA, 2, 3), CB_OKAY);
    EXPECT_EQ(SendMessageW(combo, CB_SETITEMDATA, 3, 4), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 2, 0), 3);
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, -1, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 7, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 1, 0), 1);
    EXPECT_TRUE(log.back().rfind(L"init", 0) == 0);  // setting the selection in code notifies nobody

    wchar_t text[64];
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text)), 12);
    EXPECT_STREQ(text, L"Two elements");
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(text)), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"radius")), 2);
    GetWindowTextW(combo, text, 64);
    EXPECT_STREQ(text, L"Two elements");

    panel->ShowWindow(SW_SHOW);  // the user chooses only in a panel on screen
    EXPECT_TRUE(kvplat::selectComboItem(combo, 2));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], L"command 1058 " + std::to_wstring(CBN_SELCHANGE));
    EXPECT_EQ(log.back(), L"command 1058 " + std::to_wstring(CBN_SELENDOK));
    EXPECT_FALSE(kvplat::selectComboItem(combo, 3));

    // Deleting the selected item clears the selection; one before it moves it.
    SendMessageW(combo, CB_DELETESTRING, 0, 0);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    SendMessageW(combo, CB_DELETESTRING, 1, 0);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    panel->DestroyWindow();
}

TEST_F(Dialogs, RadioGroupsAndListColumns)
{
    auto* panel = new Panel(log);
    ASSERT_TRUE(panel->Create(kPanel));
    HWND h = panel->GetSafeHwnd();
    HWND a = GetDlgItem(h, kRadioA), b = GetDlgItem(h, kRadioB);
    panel->ShowWindow(SW_SHOW);  // the user clicks only what is shown
    kvplat::clickButton(a);
    kvplat::clickButton(b);
    EXPECT_EQ(IsDlgButtonChecked(h, kRadioA), 0u);
    EXPECT_EQ(IsDlgButtonChecked(h, kRadioB), 1u);
    EXPECT_EQ(IsDlgButtonChecked(h, kCheck), 0u);  // another group

    HWND list = GetDlgItem(h, kList);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    ASSERT_TRUE(IsWindow(header));
    EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 0);
    LVCOLUMNW col{};
    col.mask = LVCF_WIDTH | LVCF_TEXT;
    col.cx = 80;
    col.pszText = const_cast<LPWSTR>(L"Radius");
    EXPECT_EQ(SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col)), 0);
    col.cx = 50;
    EXPECT_EQ(SendMessageW(list, LVM_INSERTCOLUMNW, 5, reinterpret_cast<LPARAM>(&col)), 1);
    EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), 50);
    EXPECT_TRUE(SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(120, 0)));
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), 120);
    EXPECT_FALSE(SendMessageW(list, LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(10, 0)));
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 9, 0), 0);
    // Sizing the last column to the header fills what the client width leaves.
    EXPECT_TRUE(SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(LVSCW_AUTOSIZE_USEHEADER, 0)));
    EXPECT_EQ(SendMessageW(list, LVM_GETCOLUMNWIDTH, 1, 0), 200 - 80);
    panel->DestroyWindow();
}

TEST_F(Dialogs, PopupMenusAnswerTheScriptedChoice)
{
    auto* panel = new Panel(log);
    ASSERT_TRUE(panel->Create(kPanel));
    HWND h = panel->GetSafeHwnd();
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1016, L"Help");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | MF_GRAYED, 1017, L"End");
    EXPECT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(GetMenuItemID(menu, 1), 0u);

    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, h, nullptr), 0);  // nothing chosen
    kvplat::pushMenuChoice(1016);
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 0, 0, 0, h, nullptr), 1016);
    EXPECT_EQ(kvplat::lastTrackedMenu(), (std::vector<std::wstring>{L"Help", L"", L"End"}));
    kvplat::pushMenuChoice(1017);  // greyed: the user cannot choose it
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, h, nullptr), 0);

    // Without TPM_RETURNCMD the choice arrives as a posted command.
    kvplat::setMenuChoiceHook([](HMENU m) { return GetMenuItemID(m, 0); });
    EXPECT_TRUE(TrackPopupMenu(menu, TPM_RIGHTBUTTON, 0, 0, 0, h, nullptr));
    EXPECT_FALSE(contains(log, L"command 1016 0"));
    EXPECT_EQ(kvplat::pendingMessages(), 1u);
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(DestroyMenu(menu));
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 0, 0, 0, h, nullptr), 0);
    panel->DestroyWindow();
}

TEST_F(Dialogs, ToolTipsKeepTextsAndAskForCallbacks)
{
    struct TipOwner : CDialog {
        TipOwner() : CDialog(kPanel) {}
        BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT* result) override
        {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            if (info->hdr.code != TTN_GETDISPINFOW)
                return FALSE;
            info->lpszText = const_cast<LPWSTR>(L"Save result of measurement in model");
            *result = 0;
            return TRUE;
        }
    } owner;
    ASSERT_TRUE(owner.Create(kPanel));
    HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, 0, 0, 0, 0, owner.GetSafeHwnd(), nullptr, nullptr, nullptr);
    ASSERT_TRUE(IsWindow(tip));
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = owner.GetSafeHwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(owner.GetSafeHwnd(), IDOK));
    ti.lpszText = const_cast<LPWSTR>(L"Close");
    EXPECT_TRUE(SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
    ti.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(owner.GetSafeHwnd(), kCheck));
    ti.lpszText = LPSTR_TEXTCALLBACKW;
    EXPECT_TRUE(SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 2);

    const auto tools = kvplat::toolTipTools(tip);
    ASSERT_EQ(tools.size(), 2u);
    EXPECT_EQ(tools[0].text, L"Close");
    EXPECT_EQ(tools[1].text, L"Save result of measurement in model");

    wchar_t buffer[8];
    ti.lpszText = buffer;
    EXPECT_EQ(SendMessageW(tip, TTM_GETTEXTW, 8, reinterpret_cast<LPARAM>(&ti)), 7);  // cut to the buffer
    EXPECT_STREQ(buffer, L"Save re");
    SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    ASSERT_EQ(kvplat::toolTipTools(tip).size(), 1u);
    EXPECT_EQ(kvplat::toolTipTools(tip)[0].text, L"Close") << "the other tool is the one removed";
}

TEST_F(Dialogs, ExtensionModulesJoinAndLeaveTheChain)
{
    AFX_EXTENSION_MODULE state{};
    EXPECT_FALSE(AfxInitExtensionModule(state, nullptr));
    HMODULE module = kvplat::moduleFromAddress(reinterpret_cast<const void*>(&registerPanel));
    ASSERT_TRUE(AfxInitExtensionModule(state, module));
    const int before = AfxGetExtensionModuleCount();
    new CDynLinkLibrary(state, FALSE);
    EXPECT_EQ(AfxGetExtensionModuleCount(), before + 1);
    AfxTermExtensionModule(state, FALSE);
    EXPECT_EQ(AfxGetExtensionModuleCount(), before);
    EXPECT_FALSE(state.bInitialized);
}
