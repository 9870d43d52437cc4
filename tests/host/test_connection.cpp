// The analysis connection: its creation through the export, its interfaces,
// and startAnalyse opening, re-showing or refusing the analysis window.
#include "fakes.h"

#include "analyse/kvCAnalyseDlg.h"
#include "host/AnalyseStart.h"
#include "sdk/kvAssert.h"

#include <gtest/gtest.h>

namespace {

int currentLockCount()
{
    const int count = lockModule() - 1;
    unlockModule();
    return count;
}

long refCountOf(kvIUnknown* connection)
{
    auto* imp = dynamic_cast<kvIUnknownImp*>(connection);
    return imp ? imp->refCount() : -1;
}

kvITwAnalyseConnection* connectionFor(fake::Application& app)
{
    kvIUnknown* unk = nullptr;
    getAnalyseConnection(static_cast<kvIApplication1*>(&app), &unk);
    if (!unk)
        return nullptr;
    kvIUnknown* itf = unk->queryInterface(L"kvITwAnalyseConnection");
    unk->release();
    if (itf)
        itf->release();  // the module keeps the object alive
    return static_cast<kvITwAnalyseConnection*>(itf);
}

// Closes the analysis window the tests opened, as the host's end of session
// would, and deletes the object when its window did not.
void closeAnalysisWindow(fake::AppDocument& document)
{
    auto it = document.windows.find(L"kvCAnalyseDlg");
    if (it == document.windows.end())
        return;
    CWnd* window = it->second;
    if (window->GetSafeHwnd())
        ::DestroyWindow(window->GetSafeHwnd());
    it = document.windows.find(L"kvCAnalyseDlg");
    if (it != document.windows.end() && it->second == window)
        delete window;
}

class StartAnalyse : public ::testing::Test {
protected:
    void SetUp() override
    {
        connection = connectionFor(host.application);
        ASSERT_NE(connection, nullptr);
        locksBefore = currentLockCount();
    }
    void TearDown() override { closeAnalysisWindow(host.document); }

    int start(kvTArray<kvIUnknown*>* params = nullptr)
    {
        kvTArray<kvIUnknown*> empty(8);
        return connection->startAnalyse(params ? params : &empty, &host.context);
    }
    kvCAnalyseDlg* registered()
    {
        auto it = host.document.windows.find(L"kvCAnalyseDlg");
        return it == host.document.windows.end() ? nullptr : dynamic_cast<kvCAnalyseDlg*>(it->second);
    }

    fake::Host host;
    kvITwAnalyseConnection* connection = nullptr;
    int locksBefore = 0;
};

TEST(AnalyseConnection, CreatedOnceEachCallerGetsItsOwnReference)
{
    fake::Application app;
    kvIUnknown* first = nullptr;
    getAnalyseConnection(static_cast<kvIApplication1*>(&app), &first);
    ASSERT_NE(first, nullptr);
    const int locks = currentLockCount();
    const long refs = refCountOf(first);

    kvIUnknown* second = nullptr;
    getAnalyseConnection(static_cast<kvIApplication1*>(&app), &second);
    EXPECT_EQ(second, first);
    EXPECT_EQ(refCountOf(first), refs + 1);
    EXPECT_EQ(currentLockCount(), locks);  // no second connection, no second lock
    EXPECT_FALSE(canUnload());

    second->release();
    first->release();
    EXPECT_EQ(refCountOf(first), refs - 1);  // the module's own reference stays
    EXPECT_EQ(app.refs, 1);                  // the connection keeps nothing of the host
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
    EXPECT_EQ(kvAssertMessageCount(), 2);
    EXPECT_EQ(app.refs, 1);
}

TEST(AnalyseConnection, AnswersItsTwoNamesWithOneInterface)
{
    fake::Application app;
    kvITwAnalyseConnection* connection = connectionFor(app);
    ASSERT_NE(connection, nullptr);
    const long refs = refCountOf(connection);
    kvIUnknown* a = connection->queryInterface(L"kvIUnknown");
    kvIUnknown* b = connection->queryInterface(L"kvITwAnalyseConnection");
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, static_cast<kvIUnknown*>(connection));
    EXPECT_EQ(refCountOf(connection), refs + 2);
    EXPECT_EQ(connection->queryInterface(L"kvitwanalyseconnection"), nullptr);
    EXPECT_EQ(connection->queryInterface(L"kvIAppExtension1"), nullptr);
    EXPECT_EQ(refCountOf(connection), refs + 2);  // failed queries add nothing
    a->release();
    b->release();
}

TEST(AnalyseConnection, EveryConnectionHoldsOneModuleLock)
{
    const int before = currentLockCount();
    kvCAnalyseConnectionImp* own = new kvIfImp<kvCAnalyseConnectionImp>();
    EXPECT_EQ(currentLockCount(), before + 1);
    static_cast<kvITwAnalyseConnection*>(own)->addRef();
    static_cast<kvITwAnalyseConnection*>(own)->release();
    EXPECT_EQ(currentLockCount(), before);
}

TEST_F(StartAnalyse, TransparentModeIsRefusedWithAMessage)
{
    host.baseDocument.transparent = true;
    EXPECT_EQ(start(), 0);
    ASSERT_EQ(host.application.boxes.size(), 1u);
    EXPECT_EQ(host.application.boxes[0].kind, 3);
    EXPECT_EQ(host.application.boxes[0].flags, 16);
    EXPECT_EQ(host.application.boxes[0].text, L"Analyse cannot start in transparent mode");
    EXPECT_EQ(host.document.findCalls, 0);
    EXPECT_TRUE(host.baseDocument.showModes.empty());
    EXPECT_EQ(currentLockCount(), locksBefore);

    kvTArray<kvIUnknown*> params(8);
    EXPECT_EQ(connection->forwardToStartAnalyse(&params, &host.context), 0);
    EXPECT_EQ(host.application.boxes.size(), 2u);
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

    EXPECT_EQ(currentLockCount(), locksBefore);
    EXPECT_EQ(host.document.refs + host.baseDocument.refs + host.application.refs, 3);
}

TEST_F(StartAnalyse, FirstStartOpensAndRegistersSecondShowsTheSameWindow)
{
    EXPECT_EQ(start(), 0);
    kvCAnalyseDlg* dialog = registered();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(host.document.registerCalls, 1);
    EXPECT_NE(dialog->GetSafeHwnd(), nullptr);
    EXPECT_TRUE(::IsWindowVisible(dialog->GetSafeHwnd()));
    EXPECT_EQ(host.baseDocument.showModes, std::vector<int>{1});
    EXPECT_EQ(currentLockCount(), locksBefore + 1);
    EXPECT_EQ(dialog->heldModel(), static_cast<kvITarnwellModel1*>(&host.model));
    EXPECT_EQ(dialog->execContext(), static_cast<kvIAppExecContext1*>(&host.context));

    ::ShowWindow(dialog->GetSafeHwnd(), SW_HIDE);
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(registered(), dialog);
    EXPECT_EQ(host.document.registerCalls, 1);
    EXPECT_TRUE(::IsWindowVisible(dialog->GetSafeHwnd()));
    EXPECT_EQ(host.baseDocument.showModes, (std::vector<int>{1, 1}));
    EXPECT_EQ(currentLockCount(), locksBefore + 1);
}

TEST_F(StartAnalyse, MainWindowIsTheParentOnlyWhenTheHostHasABaseSystem)
{
    host.context.baseSystem = nullptr;
    EXPECT_EQ(start(), 0);
    kvCAnalyseDlg* dialog = registered();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(::GetParent(dialog->GetSafeHwnd()), nullptr);
}

TEST_F(StartAnalyse, FailedRegistrationDestroysTheNewWindowAndLeavesTheShowMode)
{
    host.document.failRegistration = true;
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(host.document.registerCalls, 1);
    EXPECT_EQ(registered(), nullptr);
    EXPECT_EQ(currentLockCount(), locksBefore);  // the dialog's lock was given back
    EXPECT_EQ(host.baseDocument.showModes, (std::vector<int>{1, 0}));
    // The dialog's references on the host were given back with it.
    EXPECT_EQ(host.context.refs, 1);
    EXPECT_EQ(host.model.refs, 1);

    // The next start works normally.
    host.document.failRegistration = false;
    EXPECT_EQ(start(), 0);
    EXPECT_NE(registered(), nullptr);
    EXPECT_EQ(currentLockCount(), locksBefore + 1);
}

TEST_F(StartAnalyse, WithoutShowModesTheDocumentIsNeverTransparent)
{
    host.baseDocument.offersShowMode = false;
    host.baseDocument.transparent = true;
    EXPECT_EQ(start(), 0);
    for (const auto& box : host.application.boxes)
        EXPECT_EQ(box.text.find(L"transparent"), std::wstring::npos);
    EXPECT_NE(registered(), nullptr);
    EXPECT_TRUE(host.baseDocument.showModes.empty());
}

TEST_F(StartAnalyse, ReferencesOnTheHostAreGivenBackWhenTheWindowGoes)
{
    EXPECT_EQ(start(), 0);
    ASSERT_NE(registered(), nullptr);
    closeAnalysisWindow(host.document);
    EXPECT_EQ(registered(), nullptr);
    EXPECT_EQ(currentLockCount(), locksBefore);
    for (int refs : {host.application.refs, host.document.refs, host.baseDocument.refs, host.model.refs,
                     host.context.refs, host.baseSystem.refs, host.settings.refs, host.help.refs})
        EXPECT_EQ(refs, 1);
}

} // namespace
