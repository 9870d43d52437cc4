// The module's outer shell: lock counting, the application-extension object
// and how execCommand reacts to commands and contexts.
#include "fakes.h"

#include "host/AnalyseStart.h"
#include "host/kvAppXApplication.h"
#include "sdk/kvAssert.h"

#include <gtest/gtest.h>

namespace {

int currentLockCount()
{
    const int count = lockModule() - 1;
    unlockModule();
    return count;
}

kvIAppExtension1* appX()
{
    kvIAppExtension1* out = nullptr;
    kvAppXGetAppX(&out);
    return out;
}

TEST(ModuleLock, CountsUpAndDownWithoutFloor)
{
    const int base = currentLockCount();
    EXPECT_EQ(lockModule(), base + 1);
    EXPECT_EQ(lockModule(), base + 2);
    EXPECT_FALSE(canUnload());
    EXPECT_EQ(unlockModule(), base + 1);
    EXPECT_EQ(unlockModule(), base);

    // Walk down to 0 and one past it: the count goes negative and the module
    // is still not unloadable. Then restore what other objects hold.
    for (int i = 0; i < base; ++i)
        unlockModule();
    EXPECT_TRUE(canUnload());
    EXPECT_EQ(unlockModule(), -1);
    EXPECT_FALSE(canUnload());
    EXPECT_EQ(lockModule(), 0);
    for (int i = 0; i < base; ++i)
        lockModule();
    EXPECT_EQ(currentLockCount(), base);
}

TEST(ApplicationExtension, HandedOutOnceAndCountsNoReferences)
{
    EXPECT_FALSE(kvAppXGetAppX(nullptr));

    kvIAppExtension1* first = reinterpret_cast<kvIAppExtension1*>(0x1);
    ASSERT_TRUE(kvAppXGetAppX(&first));
    ASSERT_NE(first, nullptr);
    kvIAppExtension1* second = nullptr;
    ASSERT_TRUE(kvAppXGetAppX(&second));
    EXPECT_EQ(first, second);

    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(first->release());
        EXPECT_TRUE(first->addRef());
    }
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(first->release());
    // Still alive and answering after more releases than references.
    kvIUnknown* asExtension = first->queryInterface(L"kvIAppExtension1");
    kvIUnknown* asUnknown = first->queryInterface(L"kvIUnknown");
    EXPECT_EQ(asExtension, static_cast<kvIUnknown*>(first));
    EXPECT_EQ(asUnknown, asExtension);
    EXPECT_EQ(first->queryInterface(L"kvIAPPEXTENSION1"), nullptr);
    EXPECT_EQ(first->queryInterface(L"kvITwAnalyseConnection"), nullptr);
    EXPECT_EQ(first->queryInterface(nullptr), nullptr);
}

TEST(ApplicationExtension, InitKeepsAndExitReleasesTheApplication)
{
    fake::Application app;
    EXPECT_TRUE(appX()->init(&app));
    EXPECT_EQ(app.refs, 2);
    {
        kvIfPtr<kvIApplication1> held = getAppXApplication();
        EXPECT_EQ(held.getIf(), static_cast<kvIApplication1*>(&app));
    }
    EXPECT_TRUE(appX()->exit());
    EXPECT_EQ(app.refs, 1);
    EXPECT_FALSE(app.died);

    EXPECT_TRUE(appX()->init(&app));
    EXPECT_TRUE(appX()->init(nullptr));  // a null application clears the pointer
    EXPECT_EQ(app.refs, 1);
    EXPECT_TRUE(appX()->exit());
    EXPECT_EQ(app.releasesAfterDeath, 0);
}

TEST(ExecCommand, OnlyTheAnalyseCommandInAnyCaseIsActedOn)
{
    fake::Host host;
    host.baseDocument.transparent = true;  // stops startAnalyse right after its check
    for (const wchar_t* ignored : {L"", L"analyse ", L" analyse", L"analyze", L"analyses"}) {
        EXPECT_TRUE(appX()->execCommand(ignored, &host.context)) << ignored;
    }
    EXPECT_TRUE(appX()->execCommand(nullptr, &host.context));
    EXPECT_TRUE(host.application.boxes.empty());

    for (const wchar_t* command : {L"analyse", L"Analyse", L"ANALYSE", L"aNaLySe"})
        EXPECT_TRUE(appX()->execCommand(command, &host.context)) << command;
    EXPECT_EQ(host.application.boxes.size(), 4u);
}

TEST(ExecCommand, NullContextIsAnAssertionAtItsFixedLine)
{
    kvResetAssertMessages();
    try {
        appX()->execCommand(L"analyse", nullptr);
        FAIL() << "no exception";
    } catch (wchar_t* thrown) {
        EXPECT_STREQ(thrown, L"AssertionFailure");
    }
    EXPECT_EQ(kvLastAssertMessage(), kvFormatAssertion(L"pCntxt", kvAnalyseStartUnit, 136));
    // Other commands never look at the context.
    EXPECT_TRUE(appX()->execCommand(L"other", nullptr));
}

TEST(ExecCommand, HostReferencesAreGivenBackAfterTheCommand)
{
    fake::Host host;
    host.baseDocument.transparent = true;
    EXPECT_TRUE(appX()->execCommand(L"analyse", &host.context));
    EXPECT_EQ(host.application.refs, 1);
    EXPECT_EQ(host.document.refs, 1);
    EXPECT_EQ(host.baseDocument.refs, 1);
    EXPECT_EQ(host.context.refs, 1);
}

} // namespace
