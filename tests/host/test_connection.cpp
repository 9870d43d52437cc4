// The analysis connection: its creation through the export, its interfaces,
// and startAnalyse opening, re-showing or refusing the analysis window.
#include "fakes.h"

#include "analyse/kvCAnalyseDlg.h"
#include "host/AnalyseStart.h"
#include "platform/kvPlatform.h"
#include "sdk/kvAssert.h"

#include <gtest/gtest.h>

namespace {

using fake::lockCount;

long refCountOf(kvIUnknown* object)
{
    auto* imp = dynamic_cast<kvIUnknownImp*>(object);
    return imp ? imp->refCount() : -1;
}

TEST(AnalyseConnection, CreatedOnceEachCallerGetsItsOwnReference)
{
    fake::Application app;
    kvIUnknown* first = nullptr;
    kvIUnknown* second = nullptr;
    getAnalyseConnection(static_cast<kvIApplication1*>(&app), &first);
    ASSERT_NE(first, nullptr);
    const int locks = lockCount();
    const long refs = refCountOf(first);
    getAnalyseConnection(static_cast<kvIApplication1*>(&app), &second);
    EXPECT_EQ(second, first);
    EXPECT_EQ(lockCount(), locks);
    EXPECT_FALSE(canUnload());

    // Its name gives the one interface; other names give nothing and add nothing.
    kvIUnknown* named = first->queryInterface(L"kvITwAnalyseConnection");
    EXPECT_EQ(named, first);
    EXPECT_EQ(first->queryInterface(L"kvitwanalyseconnection"), nullptr);
    EXPECT_EQ(first->queryInterface(L"kvIAppExtension1"), nullptr);
    EXPECT_EQ(refCountOf(first), refs + 2);

    named->release();
    second->release();
    first->release();
    EXPECT_EQ(refCountOf(first), refs - 1);  // the module's own reference stays
    EXPECT_EQ(app.refs, 1);
}

TEST(AnalyseConnection, NullArgumentsAreReportedNotThrown)
{
    fake::Application app;
    kvIUnknown* untouched = reinterpret_cast<kvIUnknown*>(0x1234);
    EXPECT_NO_THROW(getAnalyseConnection(nullptr, &untouched));
    EXPECT_EQ(untouched, reinterpret_cast<kvIUnknown*>(0x1234));
    EXPECT_EQ(kvLastAssertMessage(), kvFormatAssertion(L"pUnkTarnwell", L"AnalyseStart", 333));
    EXPECT_NO_THROW(getAnalyseConnection(static_cast<kvIApplication1*>(&app), nullptr));
    EXPECT_EQ(kvLastAssertMessage(), kvFormatAssertion(L"ppUnkMAnalyseConnect", L"AnalyseStart", 334));
    EXPECT_EQ(app.refs, 1);
}

TEST(AnalyseConnection, EveryConnectionHoldsOneModuleLock)
{
    const int before = lockCount();
    kvITwAnalyseConnection* own = new kvIfImp<kvCAnalyseConnectionImp>();
    EXPECT_EQ(lockCount(), before + 1);
    own->addRef();
    own->release();
    EXPECT_EQ(lockCount(), before);
}

class StartAnalyse : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvIUnknown* unk = nullptr;
        getAnalyseConnection(static_cast<kvIApplication1*>(&host.application), &unk);
        ASSERT_NE(unk, nullptr);
        connection = static_cast<kvITwAnalyseConnection*>(unk);  // the module keeps it alive
        unk->release();
        locksBefore = lockCount();
    }
    void TearDown() override { closeWindow(); }

    int start()
    {
        kvTArray<kvIUnknown*> params(8);
        return connection->startAnalyse(&params, &host.context);
    }
    kvCAnalyseDlg* registered()
    {
        auto it = host.document.windows.find(L"kvCAnalyseDlg");
        return it == host.document.windows.end() ? nullptr : dynamic_cast<kvCAnalyseDlg*>(it->second);
    }
    // As the host's end of session: destroy the window, and the object too
    // when its window did not take it along.
    void closeWindow()
    {
        CWnd* window = registered();
        if (!window)
            return;
        ::DestroyWindow(window->GetSafeHwnd());
        if (registered() == window)
            delete window;
    }
    fake::Host host;
    kvITwAnalyseConnection* connection = nullptr;
    int locksBefore = 0;
};

TEST_F(StartAnalyse, TransparentModeIsRefusedWithAMessageBeforeAnyWindowIsSought)
{
    host.baseDocument.transparent = true;
    kvTArray<kvIUnknown*> params(8);
    EXPECT_EQ(connection->forwardToStartAnalyse(&params, &host.context), 0);
    ASSERT_EQ(host.application.boxes.size(), 1u);
    EXPECT_EQ(host.application.boxes[0].kind, 3);
    EXPECT_EQ(host.application.boxes[0].flags, 16);
    EXPECT_EQ(host.application.boxes[0].text, L"Analyse cannot start in transparent mode");
    EXPECT_EQ(host.document.findCalls, 0);
}

// A parameter that fails every query but the base one: the new window's
// opening throws before any window exists.
struct BrokenParameter : fake::Object<kvIUnknown> {
    kvIUnknown* queryInterface(const wchar_t* n) override
    {
        if (std::wcscmp(n, L"kvIUnknown") != 0)
            throw false;
        return Object::queryInterface(n);
    }
};

TEST_F(StartAnalyse, AStartThatCannotOpenLeavesNothingBehind)
{
    struct Case {
        const wchar_t* what;  // the expression of the assertion thrown at line, if any
        int line;
        void (*prepare)(fake::Host&);  // none: a parameter whose opening throws
        std::vector<int> showModes;
        int registerCalls;
    };
    const Case cases[] = {
        {L"transparent", 0, [](fake::Host& h) { h.baseDocument.transparent = true; }, {}, 0},
        {L"pAppDoc", 244, [](fake::Host& h) { h.context.document = nullptr; }, {}, 0},
        {L"pBaseDoc", 247, [](fake::Host& h) { h.document.baseDocument = nullptr; }, {}, 0},
        {L"pTwModel", 261, [](fake::Host& h) { h.document.model = nullptr; }, {}, 0},
        {L"registration fails", 0, [](fake::Host& h) { h.document.failRegistration = true; }, {1, 0}, 1},
        {L"opening fails", 0, nullptr, {1, 0}, 0},
        {L"no memory for the window", 0, [](fake::Host&) { kvplat::failWindowObjectAllocations(1); }, {1, 0}, 0},
    };
    for (const Case& c : cases) {
        fake::Host h;
        BrokenParameter parameter;
        kvTArray<kvIUnknown*> params(8);
        if (c.prepare)
            c.prepare(h);
        else
            params[0] = &parameter;
        if (c.line != 0) {
            EXPECT_THROW(connection->startAnalyse(&params, &h.context), wchar_t*) << c.what;
            EXPECT_EQ(kvLastAssertMessage(), kvFormatAssertion(c.what, L"AnalyseStart", c.line));
        } else {
            EXPECT_EQ(connection->startAnalyse(&params, &h.context), 0) << c.what;
        }
        kvplat::failWindowObjectAllocations(0);
        EXPECT_TRUE(h.document.windows.empty()) << c.what;
        EXPECT_EQ(h.document.registerCalls, c.registerCalls) << c.what;
        EXPECT_EQ(h.baseDocument.showModes, c.showModes) << c.what;
        EXPECT_EQ(lockCount(), locksBefore) << c.what;
        EXPECT_EQ(parameter.refs, 1) << c.what;
        EXPECT_TRUE(h.balanced()) << c.what;  // the dialog's host references went with it
    }
    // Nothing stale blocks the next start.
    EXPECT_EQ(start(), 0);
    EXPECT_NE(registered(), nullptr);
}

// A parameter that counts how often it is asked for its base interface.
struct CountedParameter : fake::Object<kvIUnknown> {
    kvIUnknown* queryInterface(const wchar_t* n) override
    {
        if (n && std::wcscmp(n, L"kvIUnknown") == 0)
            ++baseQueries;
        return Object::queryInterface(n);
    }
    int baseQueries = 0;
};

TEST_F(StartAnalyse, ANewWindowIsHandedItsOwnCopyOfTheParameterAReshownOneTheFirst)
{
    CountedParameter parameter;
    kvTArray<kvIUnknown*> params(8);
    params[0] = &parameter;
    EXPECT_EQ(connection->startAnalyse(&params, &host.context), 0);
    ASSERT_NE(registered(), nullptr);
    // Taken once before the window is sought, taken again for the opening,
    // and that one copied for the window.
    EXPECT_EQ(parameter.baseQueries, 3);
    parameter.baseQueries = 0;
    EXPECT_EQ(connection->startAnalyse(&params, &host.context), 0);
    EXPECT_EQ(parameter.baseQueries, 2) << "taken once, copied for the window re-shown";
    closeWindow();
    EXPECT_EQ(parameter.refs, 1);
}

TEST_F(StartAnalyse, FirstStartOpensAndRegistersSecondShowsTheSameWindow)
{
    EXPECT_EQ(start(), 0);
    kvCAnalyseDlg* dialog = registered();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(::IsWindowVisible(dialog->GetSafeHwnd()));
    EXPECT_EQ(host.baseDocument.showModes, std::vector<int>{1});
    EXPECT_EQ(lockCount(), locksBefore + 1);
    EXPECT_EQ(dialog->heldModel(), static_cast<kvITarnwellModel1*>(&host.model));
    EXPECT_EQ(dialog->execContext(), static_cast<kvIAppExecContext1*>(&host.context));

    ::ShowWindow(dialog->GetSafeHwnd(), SW_HIDE);
    host.context.baseSystemCalls = 0;
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(host.context.baseSystemCalls, 1);  // asked for on the re-show path too
    EXPECT_EQ(registered(), dialog);
    EXPECT_EQ(host.document.registerCalls, 1);
    EXPECT_TRUE(::IsWindowVisible(dialog->GetSafeHwnd()));
    EXPECT_EQ(host.baseDocument.showModes, (std::vector<int>{1, 1}));
    EXPECT_EQ(lockCount(), locksBefore + 1);

    closeWindow();
    EXPECT_EQ(lockCount(), locksBefore);
    EXPECT_TRUE(host.balanced());
}

TEST_F(StartAnalyse, WithoutOptionalHostPartsTheWindowStillOpens)
{
    host.context.baseSystem = nullptr;
    host.baseDocument.withdrawn = {L"kvIBaseDocWithAnalyseShowMode"};  // never transparent then
    host.baseDocument.transparent = true;
    EXPECT_EQ(start(), 0);
    ASSERT_NE(registered(), nullptr);
    EXPECT_EQ(::GetParent(registered()->GetSafeHwnd()), nullptr);
    EXPECT_TRUE(host.baseDocument.showModes.empty());
}

} // namespace
