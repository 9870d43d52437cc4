// What the analysis window and its group lists promise their callers: a host
// object they require and do not get is reported under their source unit and
// a line, never under a file of the build; opening the window gives the
// creation's result.
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvCAnalyseDlg.h"
#include "analyse/kvCMultiSelPlanDialog.h"
#include "analyse/kvCMultiSelRadiusDialog.h"
#include "fake_host.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvAssert.h"
#include "toolpos/kvCToolPosDialog.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <functional>
#include <string>

namespace {

// The whole text: "Assertion failed:\n<expression>\n\nFile: <unit>\nLine: <digits>".
::testing::AssertionResult reportedUnder(const std::wstring& text, const wchar_t* expression, const wchar_t* unit)
{
    const std::wstring head = std::wstring(L"Assertion failed:\n") + expression + L"\n\nFile: " + unit + L"\nLine: ";
    if (text.compare(0, head.size(), head) != 0)
        return ::testing::AssertionFailure() << "reported: " << ::testing::PrintToString(text);
    const std::wstring line = text.substr(head.size());
    for (wchar_t c : line)
        if (!std::iswdigit(c))
            return ::testing::AssertionFailure() << "line is not a number: " << ::testing::PrintToString(text);
    if (line.empty() || line == L"0")
        return ::testing::AssertionFailure() << "no line: " << ::testing::PrintToString(text);
    return ::testing::AssertionSuccess();
}

// A base document that draws nothing: it has no temporary graphics to give.
class DocumentWithoutGraphics : public kvIUnknownImp, public kvIBaseDocument1 {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIBaseDocument1>(this, name); }
};

class Frame : public kvIUnknownImp, public kvITwFrame1 {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvITwFrame1>(this, name); }
};

struct WindowAssertions : fake::WindowFixture {
    void SetUp() override
    {
        WindowFixture::SetUp();
        kvResetAssertMessages();
    }
    void command(int id)
    {
        ::SendMessageW(dlg->GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }
    ::testing::AssertionResult reported(const wchar_t* expression)
    {
        if (kvAssertMessageCount() == 0)
            return ::testing::AssertionFailure() << "nothing was reported";
        return reportedUnder(kvLastAssertMessage(), expression, L"AnalyseUI");
    }
};

} // namespace

TEST_F(WindowAssertions, AHostWithoutHelpContextIsReportedUnderTheWindowsUnitOnClosing)
{
    host.context->help = nullptr;
    open();
    command(kvCAnalyseDlg::idHelp);
    ASSERT_FALSE(host.app->boxes.empty());
    EXPECT_EQ(host.app->boxes.back().text, L"No help available");
    close();
    EXPECT_TRUE(reported(L"pHelpContext"));
}

TEST_F(WindowAssertions, HelpWithoutApplicationOrContextIsReportedUnderTheWindowsUnit)
{
    open();
    host.context->app = nullptr;
    command(kvCAnalyseDlg::idHelp);
    EXPECT_TRUE(reported(L"pApp"));

    dlg->setExecContext(nullptr);
    command(kvCAnalyseDlg::idHelp);
    EXPECT_TRUE(reported(L"mpExecContext"));
    dlg->setExecContext(host.context);
}

// The document, its base document and its "Feedbacks" settings, each missing
// in turn while the window is open.
TEST_F(WindowAssertions, MissingDocumentObjectsAreReportedUnderTheWindowsUnit)
{
    open();
    const struct {
        const wchar_t* expression;
        std::function<void()> remove, restore;
        std::function<void()> ask;
    } cases[] = {
        {L"pAppDoc", [&] { host.context->appDoc = nullptr; }, [&] { host.context->appDoc = host.appDoc; },
         [&] { dlg->drawAnalysisFrame(); }},
        {L"pSetup", [&] { host.appDoc->feedbacks = nullptr; }, [&] { host.appDoc->feedbacks = host.feedbacks; },
         [&] { dlg->drawAnalysisFrame(); }},
        {L"m_pBaseDoc", [&] { host.appDoc->baseDoc = nullptr; }, [&] { host.appDoc->baseDoc = host.baseDoc; },
         [&] { dlg->reInitialize(); }},
        {L"pBaseDoc", [&] { host.context->baseDoc = nullptr; }, [&] { host.context->baseDoc = host.baseDoc; },
         [&] { dlg->modelForWriting(); }},
        {L"pApp", [&] { host.context->app = nullptr; }, [&] { host.context->app = host.app; },
         [&] { dlg->loadColorCatalog(); }},
    };
    for (const auto& c : cases) {
        kvResetAssertMessages();
        c.remove();
        EXPECT_THROW(c.ask(), wchar_t*) << ::testing::PrintToString(std::wstring(c.expression));
        c.restore();
        EXPECT_TRUE(reported(c.expression));
    }
}

TEST_F(WindowAssertions, AnElementNameWithoutGraphicsIsReportedUnderTheWindowsUnit)
{
    open();
    kvIfPtr<kvIBaseDocument1> plain(static_cast<kvIBaseDocument1*>(new kvIfImp<DocumentWithoutGraphics>()));
    host.appDoc->baseDoc = plain.getIf();
    dlg->reInitialize();
    dlg->suspendEvents(true);
    propSet(dlg->propertySet(), kvKeyInfoShowText_, true);
    dlg->suspendEvents(false);
    kvResetAssertMessages();
    EXPECT_THROW(dlg->showElementNameText(), wchar_t*);
    EXPECT_TRUE(reported(L"m_pTmpGr1"));
    host.appDoc->baseDoc = host.baseDoc;
    dlg->reInitialize();
}

// Closing a job's window whose panel made a new frame asks the application
// whether the job takes it; without an application that is reported.
TEST_F(WindowAssertions, ClosingWithANewFrameWithoutApplicationIsReportedUnderTheWindowsUnit)
{
    fake::JobDefinition* job = new kvIfImp<fake::JobDefinition>();
    kvIUnknownPtr held(static_cast<kvITwCycleJobDef1*>(job));
    open(held.get());
    ASSERT_NE(dlg->toolPositionPanel(), nullptr);
    Frame* frame = new kvIfImp<Frame>();
    dlg->toolPositionPanel()->newFrame = static_cast<kvITwFrame1*>(frame);
    host.context->app = nullptr;
    close();
    EXPECT_TRUE(reported(L"pApp"));
}

TEST(GroupListAssertions, ListsWithoutADocumentReportUnderTheirOwnUnits)
{
    const kvAssertSink previous = kvSetAssertSink([](const wchar_t*) {});
    kvResetAssertMessages();
    kvCMultiSelRadiusDialog radius;
    radius.fillList();
    EXPECT_TRUE(reportedUnder(kvLastAssertMessage(), L"pAppDoc", L"MselRadUi"));
    kvCMultiSelPlanDialog plane;
    plane.fillList();
    EXPECT_TRUE(reportedUnder(kvLastAssertMessage(), L"pAppDoc", L"MselPlanUi"));
    EXPECT_EQ(kvAssertMessageCount(), 2);
    kvSetAssertSink(previous);
}

// The result is the window creation's: not 0 with a window made under a
// parent that exists, 0 without one under a parent whose window is gone.
TEST_F(WindowAssertions, OpeningGivesTheWindowCreationsResult)
{
    CWnd stale;
    stale.m_hWnd = CreateWindowExW(0, WC_DIALOG, L"main", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(stale.m_hWnd);
    kvCAnalyseDlg* unmade = new kvCAnalyseDlg(nullptr);
    unmade->setExecContext(host.context);
    unmade->setModel(host.model);
    EXPECT_EQ(0, unmade->openAnalysisDialog(&stale, kvIUnknownPtr()));
    EXPECT_EQ(nullptr, unmade->GetSafeHwnd());
    delete unmade;
    stale.m_hWnd = nullptr;

    HWND main = CreateWindowExW(0, WC_DIALOG, L"main", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    dlg = new kvCAnalyseDlg(nullptr);
    dlg->setExecContext(host.context);
    dlg->setModel(host.model);
    EXPECT_NE(0, dlg->openAnalysisDialog(CWnd::FromHandle(main), kvIUnknownPtr()));
    EXPECT_TRUE(IsWindow(dlg->GetSafeHwnd()));
    EXPECT_EQ(main, GetParent(dlg->GetSafeHwnd()));
}
