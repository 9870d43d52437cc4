// The analysis window driven through a small fake host.
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvCAnalyseDlg.h"
#include "analyse/kvCMouseReactor.h"
#include "analyse/kvCSingleFaceSelDialog.h"
#include "fake_host.h"
#include "host/kvExports.h"
#include "host/object/kvPropAccess.h"
#include "platform/kvPlatform.h"
#include "sdk/kvAssert.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct WindowTest : fake::WindowFixture {
    int locksBefore = 0;

    void SetUp() override
    {
        WindowFixture::SetUp();
        locksBefore = locks();
    }
    int locks()
    {
        const int n = lockModule();
        unlockModule();
        return n - 1;
    }
    kvCAnalyseDlg* open(kvIUnknown* job = nullptr)
    {
        WindowFixture::open(job);
        host.appDoc->registerWindow(L"kvCAnalyseDlg", dlg);
        return dlg;
    }
    void chooseMode(int mode)
    {
        HWND combo = ::GetDlgItem(dlg->GetSafeHwnd(), kvCAnalyseDlg::idModeList);
        ASSERT_TRUE(kvplat::selectComboItem(combo, mode - 1));
    }
    int propInt(const wchar_t* key)
    {
        int v = -99;
        propGet(dlg->propertySet(), key, v);
        return v;
    }
    bool visible(int id) { return ::IsWindowVisible(::GetDlgItem(dlg->GetSafeHwnd(), id)) != FALSE; }
    bool checked(int id) { return ::IsDlgButtonChecked(dlg->GetSafeHwnd(), id) == BST_CHECKED; }
    void click(int id) { kvplat::clickButton(::GetDlgItem(dlg->GetSafeHwnd(), id)); }
};

}  // namespace

TEST_F(WindowTest, FirstOpeningDeclaresDefaultsAndStartsInModeOne)
{
    open();
    EXPECT_EQ(locks(), locksBefore + 1);
    EXPECT_EQ(dlg->currentMode(), 1);
    EXPECT_EQ(propInt(kvKeyAnalyseMode), 1);
    EXPECT_EQ(propInt(kvKeyAnalyseType), 0);
    EXPECT_TRUE(dlg->propertySet()->hasProp(kvKeyCadAttribute));
    EXPECT_FALSE(dlg->propertySet()->hasProp(L"InfoShowText"));
    EXPECT_TRUE(dlg->isOpened());
    EXPECT_EQ(kvplat::windowText(dlg->GetSafeHwnd()), L"Analyse faces");
    // Mouse events flow while the window is open.
    ASSERT_EQ(host.baseDoc->reactors.size(), 1u);
    EXPECT_EQ(host.baseDoc->analyseShowModes.size(), 0u);
}

TEST_F(WindowTest, ModeChangesReuseHiddenPanelsAndShowEachModesCategories)
{
    open();
    kvCSingleFaceSelDialog* panel = dlg->singleFaceSelPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->categories().size(), 3u);
    EXPECT_TRUE(panel->IsWindowVisible());

    chooseMode(2);
    EXPECT_EQ(dlg->currentMode(), 2);
    EXPECT_EQ(propInt(kvKeyAnalyseType), 1);
    EXPECT_EQ(dlg->singleFaceSelPanel(), panel);
    EXPECT_EQ(panel->categories().size(), 4u);

    chooseMode(3);
    EXPECT_EQ(propInt(kvKeyAnalyseType), 3);
    EXPECT_EQ(dlg->singleFaceSelPanel(), panel);  // hidden, not destroyed
    EXPECT_TRUE(::IsWindow(panel->GetSafeHwnd()));
    EXPECT_FALSE(panel->IsWindowVisible());
    EXPECT_TRUE(visible(kvCAnalyseDlg::idShowFaces));
    EXPECT_EQ(dlg->buttonIcon(kvCAnalyseDlg::idShowFaces), 1008);
    // What the buttons' tooltip window shows, asked of the window at display time.
    auto tipOf = [this](int id) {
        const HWND button = ::GetDlgItem(dlg->GetSafeHwnd(), id);
        for (const kvplat::ToolTipTool& tool : kvplat::toolTipTools(dlg->toolTipWindow()))
            if (tool.id == reinterpret_cast<UINT_PTR>(button))
                return tool.text;
        return std::wstring(L"(no tool)");
    };
    EXPECT_EQ(tipOf(kvCAnalyseDlg::idShowFaces), L"Show radien");
    EXPECT_EQ(tipOf(kvCAnalyseDlg::idTransparent), L"Transparent");
    EXPECT_EQ(tipOf(kvCAnalyseDlg::idClose), L"Cancel");

    chooseMode(5);
    EXPECT_TRUE(visible(kvCAnalyseDlg::idNewFrame));
    EXPECT_TRUE(visible(kvCAnalyseDlg::idToolLength));
    EXPECT_FALSE(visible(kvCAnalyseDlg::idShowFaces));
    EXPECT_EQ(tipOf(kvCAnalyseDlg::idShowFaces), L"Show faces");

    chooseMode(1);
    EXPECT_EQ(dlg->singleFaceSelPanel(), panel);
    EXPECT_TRUE(panel->IsWindowVisible());
    EXPECT_EQ(panel->categories().size(), 3u);
    EXPECT_EQ(panel->displayLines().front(), L"[Single face info]");
}

TEST_F(WindowTest, ClosingEndsEverythingAlsoWithoutAModel)
{
    open();
    dlg->setModel(nullptr);
    kvCMouseReactor* reactor = dlg->mouseReactor();
    ASSERT_NE(reactor, nullptr);
    EXPECT_EQ(reactor->refCount(), 2);  // the window's and the host's
    reactor->addRef();                  // the test's, to see what is left after closing
    HWND panel = dlg->singleFaceSelPanel()->GetSafeHwnd();
    HWND window = dlg->GetSafeHwnd();
    HWND tooltip = dlg->toolTipWindow();
    ASSERT_TRUE(::IsWindow(tooltip));

    // The close button is hidden by the layout; the close box does the same.
    EXPECT_FALSE(kvplat::clickButton(::GetDlgItem(window, kvCAnalyseDlg::idClose)));
    ::SendMessageW(window, WM_CLOSE, 0, 0);
    dlg = nullptr;

    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(::IsWindow(panel));
    EXPECT_FALSE(::IsWindow(tooltip));
    EXPECT_EQ(locks(), locksBefore);  // the object is gone
    EXPECT_TRUE(host.appDoc->windows.empty());
    EXPECT_TRUE(host.baseDoc->reactors.empty());
    EXPECT_EQ(reactor->refCount(), 1);  // the window gave its own reference back
    reactor->release();
    ASSERT_FALSE(host.baseDoc->analyseShowModes.empty());
    EXPECT_EQ(host.baseDoc->analyseShowModes.back(), 0);
    EXPECT_TRUE(kvAnalyseLastSettingsRecord().valid);
}

TEST_F(WindowTest, ClosingWithAModelTellsTheModelAndTheHelp)
{
    open();
    ::SendMessageW(dlg->GetSafeHwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    dlg = nullptr;
    EXPECT_EQ(host.model->closed, 1);
    ASSERT_FALSE(host.help->calls.empty());
    EXPECT_EQ(host.help->calls.back(), L"closed");
    EXPECT_EQ(locks(), locksBefore);
}

// The modes kept between openings are followed end to end in the simulator.
TEST_F(WindowTest, SettingsAreKeptBetweenOpenings)
{
    // A job definition opens in mode 5 and that mode is kept from then on.
    fake::JobDefinition* job = new kvIfImp<fake::JobDefinition>();
    static_cast<kvITwCycleJobDef1*>(job)->addRef();
    open(static_cast<kvITwCycleJobDef1*>(job));
    EXPECT_EQ(dlg->currentMode(), 5);
    EXPECT_EQ(propInt(kvKeyAnalyseMode), 5);
    EXPECT_EQ(kvAnalyseLastSettingsRecord().mode, 5);
    bool useFrame = false;
    propGet(dlg->propertySet(), kvKeyTpPosUseframe, useFrame);
    EXPECT_TRUE(useFrame);
    close();
    static_cast<kvITwCycleJobDef1*>(job)->release();

    // Collision settings come back with their declared integer type.
    kvAnalyseLastSettingsRecord().collisionValid = true;
    kvAnalyseLastSettingsRecord().toolCollisionCheck = true;
    kvAnalyseLastSettingsRecord().precision = 0.25;
    open();
    int check = 0;
    EXPECT_TRUE(propGet(dlg->propertySet(), kvKeyToolCollisionCheck, check));
    EXPECT_EQ(check, 1);
    double precision = 0;
    propGet(dlg->propertySet(), kvKeyStarPRECISION, precision);
    EXPECT_EQ(precision, 0.25);
}

TEST_F(WindowTest, AFailedSwitchToTransparencyLeavesTheFlagOff)
{
    open();
    host.baseDoc->featureShowModeResult = 1;
    click(kvCAnalyseDlg::idTransparent);
    EXPECT_FALSE(checked(kvCAnalyseDlg::idTransparent));
    EXPECT_FALSE(dlg->isTransparent());
    host.baseDoc->featureShowModeResult = 0;
    click(kvCAnalyseDlg::idTransparent);
    EXPECT_TRUE(checked(kvCAnalyseDlg::idTransparent));
    EXPECT_TRUE(dlg->isTransparent());
    // Closing switches transparency back.
    close();
    EXPECT_EQ(host.baseDoc->featureShowModes.back(), 1);  // mode 0, flag 1
}

TEST_F(WindowTest, LayoutPlacesTheTopRowFromTheRight)
{
    open();
    kvplat::userResize(dlg->GetSafeHwnd(), 200, 400);
    CRect client;
    dlg->GetClientRect(&client);
    const int W = client.Width();
    auto rectOf = [this](int id) {
        CRect r;
        dlg->GetDlgItem(id)->GetWindowRect(&r);
        dlg->ScreenToClient(&r);
        return r;
    };
    EXPECT_EQ(rectOf(kvCAnalyseDlg::idModeList).left, 16);
    EXPECT_EQ(rectOf(kvCAnalyseDlg::idModeList).right, W - 105);
    EXPECT_EQ(rectOf(kvCAnalyseDlg::idToolLength).left, W - 100);
    EXPECT_EQ(rectOf(kvCAnalyseDlg::idTransparent).left, W - 70);
    EXPECT_EQ(rectOf(kvCAnalyseDlg::idShowFaces).left, W - 40);
    EXPECT_FALSE(visible(kvCAnalyseDlg::idClose));
    EXPECT_FALSE(visible(kvCAnalyseDlg::idHelp));
    // The panel follows the panel area.
    CRect panel;
    dlg->singleFaceSelPanel()->GetWindowRect(&panel);
    dlg->ScreenToClient(&panel);
    EXPECT_EQ(panel.left, 4);
    EXPECT_EQ(panel.top, 60);
    EXPECT_EQ(panel.right, W - 4);
    EXPECT_EQ(panel.bottom, client.bottom - 50);
}

TEST_F(WindowTest, ReturnIsKeptFromTheWindowButOtherMessagesPass)
{
    open();
    HWND combo = ::GetDlgItem(dlg->GetSafeHwnd(), kvCAnalyseDlg::idModeList);
    MSG key = {};
    key.hwnd = combo;
    key.message = WM_KEYDOWN;
    key.wParam = VK_RETURN;
    EXPECT_TRUE(dlg->PreTranslateMessage(&key));
    MSG timer = key;
    timer.hwnd = dlg->GetSafeHwnd();
    timer.message = WM_TIMER;
    timer.wParam = 13;
    EXPECT_FALSE(dlg->PreTranslateMessage(&timer));
    // Return through the default button never closes the window.
    ::SendMessageW(dlg->GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(::IsWindow(dlg->GetSafeHwnd()));
}

TEST_F(WindowTest, CaptionMenuAndHelp)
{
    open();
    CRect w;
    dlg->GetWindowRect(&w);
    kvplat::pushMenuChoice(kvCAnalyseDlg::idHelp);
    ::SendMessageW(dlg->GetSafeHwnd(), WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(w.left + 10, w.top + 5));
    std::vector<std::wstring> menu = {L"Help", L"", L"End"};
    EXPECT_EQ(kvplat::lastTrackedMenu(), menu);
    std::vector<std::wstring> help = {L"clear", L"set Dialog24171", L"set Analysis", L"show", L"clear"};
    EXPECT_EQ(host.help->calls, help);

    // The right half of the caption, or the Control key, shows no menu.
    const size_t before = host.help->calls.size();
    ::SendMessageW(dlg->GetSafeHwnd(), WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(w.right - 10, w.top + 5));
    kvplat::setKeyDown(VK_CONTROL, true);
    ::SendMessageW(dlg->GetSafeHwnd(), WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(w.left + 10, w.top + 5));
    kvplat::releaseAllKeys();
    EXPECT_EQ(host.help->calls.size(), before);

    // "End" closes the window.
    kvplat::pushMenuChoice(kvCAnalyseDlg::idClose);
    HWND window = dlg->GetSafeHwnd();
    ::SendMessageW(window, WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(w.left + 10, w.top + 5));
    dlg = nullptr;
    EXPECT_FALSE(::IsWindow(window));
}

// Every mode panel answers the empty help key; the window keeps its own,
// and Help asks for that one whichever mode is shown.
TEST_F(WindowTest, EveryModePanelAnswersTheEmptyHelpKeyAndHelpAsksForTheWindows)
{
    open();
    for (int mode : {1, 2, 3, 4, 5}) {
        chooseMode(mode);
        ASSERT_EQ(dlg->currentMode(), mode);
        kvCDialog* panel = dlg->panelForMode(mode);
        ASSERT_NE(panel, nullptr) << mode;
        EXPECT_TRUE(panel->helpContext().isEmpty()) << mode << ": " << panel->helpContext().str();
        host.help->calls.clear();
        ::SendMessageW(dlg->GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(kvCAnalyseDlg::idHelp, BN_CLICKED), 0);
        const std::vector<std::wstring> help = {L"clear", L"set Dialog24171", L"set Analysis", L"show", L"clear"};
        EXPECT_EQ(host.help->calls, help) << mode;
    }
    EXPECT_EQ(dlg->helpContext().str(), std::wstring(L"Dialog24171"));
}

TEST_F(WindowTest, ResultSwitchesAreExclusive)
{
    open();
    propSet(dlg->propertySet(), kvKeyInfoRadius, true);
    propSet(dlg->propertySet(), kvKeyInfoAngle, true);
    bool radius = true, angle = false;
    propGet(dlg->propertySet(), kvKeyInfoRadius, radius);
    propGet(dlg->propertySet(), kvKeyInfoAngle, angle);
    EXPECT_FALSE(radius);
    EXPECT_TRUE(angle);
}

TEST_F(WindowTest, ADeletedWindowObjectEndsItsWindowOnce)
{
    open();
    HWND window = dlg->GetSafeHwnd();
    delete dlg;
    dlg = nullptr;
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(locks(), locksBefore);
    EXPECT_TRUE(host.baseDoc->reactors.empty());
}

TEST_F(WindowTest, ModeListLeavesOutForbiddenModesIgnoresAnEmptySelectionAndFillsAMissingMode)
{
    open();
    HWND combo = ::GetDlgItem(dlg->GetSafeHwnd(), kvCAnalyseDlg::idModeList);
    // The property holds 4 when a restriction without 4 arrives.
    dlg->propertySet()->setRestrictions(kvKeyAnalyseMode, nullptr);
    ASSERT_TRUE(propSet(dlg->propertySet(), kvKeyAnalyseMode, 4));
    kvCValRestrict<int>* allowed = new kvCValRestrict<int>();
    for (int m : {1, 2, 3, 5})
        allowed->addAllowed(m);
    dlg->propertySet()->setRestrictions(kvKeyAnalyseMode, allowed);
    EXPECT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 4);
    // A forbidden value held by the property selects nothing.
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);

    // Index 3 is now mode 5; the forbidden value cannot come back.
    ASSERT_TRUE(kvplat::selectComboItem(combo, 3));
    EXPECT_EQ(propInt(kvKeyAnalyseMode), 5);
    EXPECT_FALSE(propSet(dlg->propertySet(), kvKeyAnalyseMode, 4));
    EXPECT_EQ(propInt(kvKeyAnalyseMode), 5);

    // With nothing selected a selection change must not pick the left-out item.
    propSet(dlg->propertySet(), kvKeyAnalyseMode, 1);
    ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    ::SendMessageW(dlg->GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(kvCAnalyseDlg::idModeList, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(propInt(kvKeyAnalyseMode), 1);

    // A missing mode takes the first listed value.
    dlg->propertySet()->removeProp(kvKeyAnalyseMode);
    dlg->propertyMessage(4, kvKeyAnalyseMode);
    EXPECT_EQ(propInt(kvKeyAnalyseMode), 1);
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
}

TEST_F(WindowTest, AJobsToolPositionModeGivesTheNewFrameButtonItsMenu)
{
    fake::JobDefinition* job = new kvIfImp<fake::JobDefinition>();
    kvIUnknownPtr held(static_cast<kvITwCycleJobDef1*>(job));
    open(held.get());
    ASSERT_EQ(dlg->currentMode(), 5);
    EXPECT_EQ(dlg->buttonIcon(kvCAnalyseDlg::idNewFrame), 1011);
    HWND button = ::GetDlgItem(dlg->GetSafeHwnd(), kvCAnalyseDlg::idNewFrame);
    ::SendMessageW(button, WM_RBUTTONUP, 0, 0);
    const std::vector<std::wstring> expected = {L"Set as tool feedback position", L"Create line in tool axis"};
    EXPECT_EQ(kvplat::lastTrackedMenu(), expected);
    close();

    // Without a job the same mode offers no menu.
    open();
    chooseMode(5);
    ::SendMessageW(::GetDlgItem(dlg->GetSafeHwnd(), kvCAnalyseDlg::idNewFrame), WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(kvplat::lastTrackedMenu(), expected);  // still the menu of the job's window
}

// A mode no entry of the list stands for is a state of its own: the list
// chooses nothing, the window shows the single-face panel with "Show faces",
// and the mode is kept for the next opening until the user chooses an entry.
TEST_F(WindowTest, AModeOutsideTheListIsKeptShownOnTheSingleFacePanelAndRestored)
{
    open();
    HWND combo = ::GetDlgItem(dlg->GetSafeHwnd(), kvCAnalyseDlg::idModeList);
    for (int other : {99, 0, -1, 6, INT_MAX, INT_MIN, 7}) {
        SCOPED_TRACE(other);
        chooseMode(3);
        ASSERT_TRUE(propSet(dlg->propertySet(), kvKeyAnalyseMode, other));
        EXPECT_EQ(propInt(kvKeyAnalyseMode), other);
        EXPECT_EQ(dlg->currentMode(), other);
        EXPECT_EQ(propInt(kvKeyAnalyseType), 3);  // no mode of its own to write
        EXPECT_EQ(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 5);
        EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
        ASSERT_NE(dlg->singleFaceSelPanel(), nullptr);
        EXPECT_TRUE(dlg->singleFaceSelPanel()->IsWindowVisible());
        EXPECT_FALSE(dlg->panelForMode(3)->IsWindowVisible());
        EXPECT_TRUE(visible(kvCAnalyseDlg::idShowFaces));
        EXPECT_EQ(dlg->buttonIcon(kvCAnalyseDlg::idShowFaces), 1007);
        EXPECT_EQ(dlg->toolTipText(kvCAnalyseDlg::idShowFaces).str(), L"Show faces");
        EXPECT_FALSE(visible(kvCAnalyseDlg::idNewFrame));
        EXPECT_FALSE(visible(kvCAnalyseDlg::idToolLength));
    }
    close();
    EXPECT_EQ(kvAnalyseLastSettingsRecord().mode, 7);

    open();
    combo = ::GetDlgItem(dlg->GetSafeHwnd(), kvCAnalyseDlg::idModeList);
    EXPECT_EQ(propInt(kvKeyAnalyseMode), 7);
    EXPECT_EQ(dlg->currentMode(), 7);
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    ASSERT_NE(dlg->singleFaceSelPanel(), nullptr);
    EXPECT_TRUE(dlg->singleFaceSelPanel()->IsWindowVisible());
    // Choosing an entry leaves it.
    chooseMode(2);
    EXPECT_EQ(propInt(kvKeyAnalyseMode), 2);
    EXPECT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    close();
    EXPECT_EQ(kvAnalyseLastSettingsRecord().mode, 2);
}
