// The analysis connection: its creation through the export, its interfaces,
// and startAnalyse opening, re-showing or refusing the analysis window.
#include "fakes.h"

#include "analyse/kvCAnalyseDlg.h"
#include "host/AnalyseStart.h"
#include "sdk/kvAssert.h"

#include <gtest/gtest.h>

namespace {

int lockCount()
{
    const int count = lockModule() - 1;
    unlockModule();
    return count;
}

long refCountOf(kvIUnknown* object)
{
    auto* imp = dynamic_cast<kvIUnknownImp*>(object);
    return imp ? imp->refCount() : -1;
}

TEST(AnalyseConnection, CreatedOnceEachCallerGetsItsOwnReference)
{
    fake::Application app;
    kvIUnknown* first = nullptr;
    getAnalyseConnection(static_cast<kvIApplication1*>(&app), &first);
    ASSERT_NE(first, nullptr);
    const int locks = lockCount();
    const long refs = refCountOf(first);

    kvIUnknown* second = nullptr;
    getAnalyseConnection(static_cast<kvIApplication1*>(&app), &second);
    EXPECT_EQ(second, first);
    EXPECT_EQ(refCountOf(first), refs + 1);
    EXPECT_EQ(lockCount(), locks);
    EXPECT_FALSE(canUnload());

    // Both names give the one interface; other names give nothing and add nothing.
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
    kvResetAssertMessages();
    kvIUnknown* untouched = reinterpret_cast<kvIUnknown*>(0x1234);
    EXPECT_NO_THROW(getAnalyseConnection(nullptr, &untouched));
    EXPECT_EQ(untouched, reinterpret_cast<kvIUnknown*>(0x1234));
    EXPECT_EQ(kvLastAssertMessage(), kvFormatAssertion(L"pUnkTarnwell", kvAnalyseStartUnit, 333));
    EXPECT_NO_THROW(getAnalyseConnection(static_cast<kvIApplication1*>(&app), nullptr));
    EXPECT_EQ(kvLastAssertMessage(), kvFormatAssertion(L"ppUnkMAnalyseConnect", kvAnalyseStartUnit, 334));
    EXPECT_EQ(app.refs, 1);
}

TEST(AnalyseConnection, EveryConnectionHoldsOneModuleLock)
{
    const int before = lockCount();
    kvCAnalyseConnectionImp* own = new kvIfImp<kvCAnalyseConnectionImp>();
    EXPECT_EQ(lockCount(), before + 1);
    static_cast<kvITwAnalyseConnection*>(own)->addRef();
    static_cast<kvITwAnalyseConnection*>(own)->release();
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

TEST_F(StartAnalyse, TransparentModeIsRefusedWithAMessage)
{
    host.baseDocument.transparent = true;
    EXPECT_EQ(start(), 0);
    kvTArray<kvIUnknown*> params(8);
    EXPECT_EQ(connection->forwardToStartAnalyse(&params, &host.context), 0);
    ASSERT_EQ(host.application.boxes.size(), 2u);
    for (const fake::Box& box : host.application.boxes) {
        EXPECT_EQ(box.kind, 3);
        EXPECT_EQ(box.flags, 16);
        EXPECT_EQ(box.text, L"Analyse cannot start in transparent mode");
    }
    EXPECT_EQ(host.document.findCalls, 0);
    EXPECT_TRUE(host.baseDocument.showModes.empty());
    EXPECT_EQ(lockCount(), locksBefore);
    EXPECT_TRUE(host.balanced());
}

TEST_F(StartAnalyse, MissingDocumentPartsAreAssertionsThatReachTheCaller)
{
    kvResetAssertMessages();
    host.context.document = nullptr;
    EXPECT_THROW(start(), wchar_t*);
    EXPECT_EQ(kvLastAssertMessage(), kvFormatAssertion(L"pAppDoc", kvAnalyseStartUnit, 244));

    host.context.document = &host.document;
    host.document.baseDocument = nullptr;
    EXPECT_THROW(start(), wchar_t*);
    EXPECT_EQ(kvLastAssertMessage(), kvFormatAssertion(L"pBaseDoc", kvAnalyseStartUnit, 247));

    host.document.baseDocument = &host.baseDocument;
    host.document.model = nullptr;
    EXPECT_THROW(start(), wchar_t*);
    EXPECT_EQ(kvLastAssertMessage(), kvFormatAssertion(L"pTwModel", kvAnalyseStartUnit, 261));
    EXPECT_TRUE(host.baseDocument.showModes.empty());
    EXPECT_EQ(lockCount(), locksBefore);
    EXPECT_TRUE(host.balanced());
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

TEST_F(StartAnalyse, WithoutBaseSystemTheWindowHasNoParent)
{
    host.context.baseSystem = nullptr;
    EXPECT_EQ(start(), 0);
    ASSERT_NE(registered(), nullptr);
    EXPECT_EQ(::GetParent(registered()->GetSafeHwnd()), nullptr);
}

TEST_F(StartAnalyse, FailedRegistrationDestroysTheNewWindowAndLeavesTheShowMode)
{
    host.document.failRegistration = true;
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(host.document.registerCalls, 1);
    EXPECT_EQ(registered(), nullptr);
    EXPECT_EQ(lockCount(), locksBefore);
    EXPECT_EQ(host.baseDocument.showModes, (std::vector<int>{1, 0}));
    EXPECT_TRUE(host.balanced());  // the dialog's host references went with it

    host.document.failRegistration = false;
    EXPECT_EQ(start(), 0);
    EXPECT_NE(registered(), nullptr);
}

// A host object handed over as the parameter that fails every query but the
// base one: the new window's opening throws before any window exists.
struct BrokenParameter : kvIUnknown, fake::Counted {
    FAKE_COUNTING
    kvIUnknown* queryInterface(const wchar_t* n) override
    {
        if (std::wcscmp(n, L"kvIUnknown") != 0)
            throw false;
        add();
        return this;
    }
};

TEST_F(StartAnalyse, FailedOpeningDestroysTheNewDialogAndLeavesTheShowMode)
{
    BrokenParameter parameter;
    kvTArray<kvIUnknown*> params(8);
    params[0] = &parameter;
    EXPECT_EQ(connection->startAnalyse(&params, &host.context), 0);
    EXPECT_EQ(host.document.registerCalls, 0);
    EXPECT_EQ(lockCount(), locksBefore);
    EXPECT_EQ(host.baseDocument.showModes, (std::vector<int>{1, 0}));
    EXPECT_EQ(parameter.refs, 1);
    EXPECT_TRUE(host.balanced());
}

TEST_F(StartAnalyse, DocumentWithoutShowModesIsNeverTransparent)
{
    host.baseDocument.offersShowMode = false;
    host.baseDocument.transparent = true;
    EXPECT_EQ(start(), 0);
    EXPECT_NE(registered(), nullptr);
    EXPECT_TRUE(host.baseDocument.showModes.empty());
}

} // namespace
