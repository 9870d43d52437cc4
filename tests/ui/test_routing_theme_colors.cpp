// Modeless-dialog message routing, theme access with and without visual
// styles, and the shared control colours and tooltip.
#include "ui_resources.h"

#include "ui/atl/ControlColors.h"
#include "ui/atl/ModelessDlgMsgManager.h"
#include "ui/atl/Theme.h"

using namespace kv::ui::atl;
using uitest::UiTest;

namespace {

class Routing : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        dialog = makeDialog();
        edit = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, dialog, nullptr, nullptr,
                               nullptr);
        kvplat::setMessageLogHook([this](HWND h, UINT m, WPARAM w, LPARAM) {
            if (h == dialog && m == WM_COMMAND)
                commands.push_back(LOWORD(w));
        });
    }
    void TearDown() override
    {
        ModelessDlgMsgManager::instance().removeDialog(dialog);
        UiTest::TearDown();
    }
    static MSG msgFor(HWND h, UINT m, WPARAM w = 0) { return MSG{h, m, w, 0, 0, POINT{0, 0}}; }

    HWND dialog = nullptr, edit = nullptr;
    std::vector<WORD> commands;
};

} // namespace

TEST_F(Routing, KeysInsideARegisteredDialogReachItsDialogProcessing)
{
    ModelessDlgMsgManager& manager = ModelessDlgMsgManager::instance();
    EXPECT_FALSE(manager.addDialog(reinterpret_cast<HWND>(0x1234))) << "not a window";
    EXPECT_EQ(0u, manager.threadCount()) << "and no record made for it";
    // Without registration Enter in the edit is only the edit's.
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    kvplat::pumpMessages();
    EXPECT_TRUE(commands.empty());

    ASSERT_TRUE(manager.addDialog(dialog));
    EXPECT_FALSE(manager.addDialog(dialog)) << "twice is refused";
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    kvplat::pumpMessages();
    EXPECT_EQ(std::vector<WORD>{IDOK}, commands) << "the child's key went through the dialog's processing";

    HWND other = makeDialog();
    PostMessageW(other, WM_KEYDOWN, VK_RETURN, 0);
    kvplat::pumpMessages();
    EXPECT_EQ(1u, commands.size()) << "an unregistered top-level window is not routed";
}

TEST_F(Routing, MenusCaptureAndPeekedMessagesAreLeftAlone)
{
    ModelessDlgMsgManager& manager = ModelessDlgMsgManager::instance();
    ASSERT_TRUE(manager.addDialog(dialog));
    auto list = manager.threadDialogs();
    ASSERT_TRUE(list);
    MSG key = msgFor(edit, WM_KEYDOWN, VK_TAB);
    EXPECT_FALSE(ModelessDlgMsgManager::route(*list, PM_NOREMOVE, key)) << "only messages taken off the queue";
    MSG mouse = msgFor(edit, WM_LBUTTONDOWN);
    EXPECT_TRUE(ModelessDlgMsgManager::route(*list, PM_REMOVE, mouse));
    SetCapture(edit);
    EXPECT_FALSE(ModelessDlgMsgManager::route(*list, PM_REMOVE, mouse)) << "someone holds the mouse";
    ReleaseCapture();
    MSG paint = msgFor(edit, WM_PAINT);
    EXPECT_FALSE(ModelessDlgMsgManager::route(*list, PM_REMOVE, paint));
    // An open popup menu lies on top of everything.
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &DefWindowProcW;
    wc.lpszClassName = L"#32768";
    RegisterClassExW(&wc);
    HWND menuWindow = CreateWindowExW(0, L"#32768", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr,
                                      nullptr, nullptr);
    EXPECT_FALSE(ModelessDlgMsgManager::route(*list, PM_REMOVE, key));
    DestroyWindow(menuWindow);
    EXPECT_TRUE(ModelessDlgMsgManager::route(*list, PM_REMOVE, key));
}

TEST_F(Routing, TheLastDialogTakesTheHookAndRecordAlong)
{
    ModelessDlgMsgManager& manager = ModelessDlgMsgManager::instance();
    ASSERT_TRUE(manager.addDialog(dialog));
    auto list = manager.threadDialogs();
    ASSERT_TRUE(list && list->hook);
    HWND second = makeDialog();
    ASSERT_TRUE(manager.addDialog(second));
    EXPECT_TRUE(manager.removeDialog(second));
    EXPECT_TRUE(list->hook) << "one dialog is left";
    EXPECT_FALSE(manager.removeDialog(second));
    EXPECT_TRUE(manager.removeDialog(dialog));
    EXPECT_EQ(nullptr, list->hook);
    EXPECT_EQ(0u, manager.threadCount());
    ASSERT_TRUE(manager.addDialog(dialog));
    EXPECT_TRUE(manager.threadDialogs()->hook) << "a new hook for the new registration";
    // A destroyed dialog leaves the list through its WM_DESTROY.
    MSG destroy = msgFor(dialog, WM_DESTROY);
    ModelessDlgMsgManager::route(*manager.threadDialogs(), PM_REMOVE, destroy);
    EXPECT_TRUE(manager.threadDialogs()->windows.empty());
    EXPECT_EQ(nullptr, manager.threadDialogs()->hook);
}

// Code of this test program, which has the library built in.
void codeOfThisProgram() {}

TEST_F(Routing, TheHookIsInstalledForTheCallingThreadWithTheModuleThatHoldsIt)
{
    ASSERT_TRUE(ModelessDlgMsgManager::instance().addDialog(dialog));
    const std::vector<kvplat::InstalledHook> hooks = kvplat::installedHooks();
    ASSERT_EQ(1u, hooks.size());
    EXPECT_EQ(WH_GETMESSAGE, hooks[0].type);
    EXPECT_EQ(GetCurrentThreadId(), hooks[0].threadId);
    const HINSTANCE library = kvplat::moduleFromAddress(reinterpret_cast<const void*>(&codeOfThisProgram));
    ASSERT_NE(nullptr, library);
    EXPECT_EQ(library, hooks[0].module) << "the module instance, not none";
}

using ThemeAccess = UiTest;

TEST_F(ThemeAccess, WithoutTheLibraryEverythingFailsAndInactiveStylesAreNoTheme)
{
    kvplat::setThemeLibraryAvailable(false);
    {
        Theme missing;
        EXPECT_FALSE(missing.loaded());
        EXPECT_FALSE(missing.isThemeActive());
        EXPECT_FALSE(missing.open(nullptr, L"Button"));
        RECT r{0, 0, 10, 10}, content{};
        EXPECT_EQ(E_FAIL, missing.getThemeBackgroundContentRect(nullptr, nullptr, 1, 1, &r, &content));
        EXPECT_EQ(E_FAIL, missing.drawThemeParentBackground(nullptr, nullptr, &r));
        ThemeData none(nullptr, nullptr);
        EXPECT_EQ(E_FAIL, none.drawBackground(nullptr, 1, 1, &r, nullptr));
    }
    kvplat::setThemeLibraryAvailable(true);
    Theme theme;
    EXPECT_TRUE(theme.isThemeActive());
    kvplat::setThemeActive(false);
    EXPECT_TRUE(theme.loaded());
    EXPECT_FALSE(theme.isThemeActive()) << "loaded, but visual styles are off";
    EXPECT_FALSE(theme.open(nullptr, L"Button"));
    kvplat::setThemeActive(true);
    {
        ThemeDataPtr data = theme.open(nullptr, L"Button");
        ASSERT_TRUE(data);
        EXPECT_EQ(1, kvplat::liveGdiObjectsByKind()["theme"]);
        ThemeDataPtr copy = data;
    }
    EXPECT_EQ(0, kvplat::liveGdiObjectsByKind().count("theme")) << "closed with its last owner";
}

using SharedColors = UiTest;

TEST_F(SharedColors, BrushesByColourWordAndTheToolTipOnceTheOwnerExists)
{
    const int before = kvplat::liveGdiTotal();
    {
        ControlColors colors;
        colors.setColors(1, 0, 0x010000FF);
        HBRUSH red = colors.brush1();
        ASSERT_NE(nullptr, red);
        EXPECT_EQ(red, colors.brush1()) << "made once";
        EXPECT_TRUE(kvplat::gdiLog().back().find("CreateSolidBrush rgb(255,0,0)") != std::string::npos);
        colors.setColors(2, 0, 0x10000000);
        EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), colors.brush2());
        colors.setColors(3, 0, 0);
        EXPECT_EQ(nullptr, colors.brush3());

        HDC dc = GetDC(nullptr);
        EXPECT_EQ(red, colors.controlColor(dc, 0x1, false, 0));
        EXPECT_EQ(GetSysColorBrush(COLOR_WINDOW), colors.controlColor(dc, 0x40, true, 0))
            << "the null bit counts only where null is allowed";
        colors.setColors(4, 0, 0x06000000);
        EXPECT_EQ(GetSysColorBrush(COLOR_WINDOW), colors.controlColor(dc, 0, true, ES_READONLY));
        ReleaseDC(nullptr, dc);

        HWND control = CreateWindowExW(0, L"Button", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        colors.addControlToolTip(control);
        EXPECT_EQ(nullptr, colors.toolTip()) << "no owner yet";
        HWND owner = CreateWindowExW(0, WC_DIALOG, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        colors.setOwner(owner);
        colors.addControlToolTip(control);
        ASSERT_NE(nullptr, colors.toolTip());
        ASSERT_EQ(1u, kvplat::toolTipTools(colors.toolTip()).size());
        EXPECT_EQ(UINT(TTF_IDISHWND | TTF_CENTERTIP), kvplat::toolTipTools(colors.toolTip())[0].flags);
        colors.removeControlToolTip(control);
        EXPECT_TRUE(kvplat::toolTipTools(colors.toolTip()).empty());
    }
    EXPECT_EQ(before, kvplat::liveGdiTotal()) << "the owned solid brush is deleted";
}

// A dialog still registered when the process ends is unhooked by the
// manager's own teardown, after the platform's statics would be gone; the
// platform's tables outlast it (the sanitized run reports a use after free
// otherwise). No fixture: the platform is first used after the manager.
TEST(RoutingAtExit, ADialogStillRegisteredIsUnhookedSafely)
{
    ModelessDlgMsgManager& manager = ModelessDlgMsgManager::instance();
    HWND dialog = CreateWindowExW(0, WC_DIALOG, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(manager.addDialog(dialog));
    EXPECT_NE(nullptr, manager.threadDialogs()->hook);
}
