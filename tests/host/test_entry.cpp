// The module's outer shell: lock counting, the application-extension object
// and how execCommand reacts to commands and contexts.
#include "fakes.h"

#include "host/AnalyseStart.h"
#include "host/kvAppXApplication.h"
#include "platform/afx.h"
#include "sdk/kvAssert.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

namespace {

// The assertion texts are read back through the record; keep them off the log.
const kvAssertSink quietAssertions = kvSetAssertSink([](const wchar_t*) {});

using fake::lockCount;

kvIAppExtension1* appX()
{
    kvIAppExtension1* out = nullptr;
    kvAppXGetAppX(&out);
    return out;
}

TEST(ModuleLock, CountsUpAndDownWithoutFloor)
{
    const int base = lockCount();
    EXPECT_EQ(lockModule(), base + 1);
    EXPECT_FALSE(canUnload());
    EXPECT_EQ(unlockModule(), base);

    // Down to 0 and one past it, then back to what other objects hold.
    for (int i = 0; i < base; ++i)
        unlockModule();
    EXPECT_TRUE(canUnload());
    EXPECT_EQ(unlockModule(), -1);
    EXPECT_FALSE(canUnload());
    for (int i = 0; i <= base; ++i)
        lockModule();
    EXPECT_EQ(lockCount(), base);
}

TEST(ApplicationExtension, OneObjectThatCountsNothingAndAnswersTwoNames)
{
    EXPECT_FALSE(kvAppXGetAppX(nullptr));
    kvIAppExtension1* first = appX();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(appX(), first);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(first->release());
    // Still alive after more releases than references.
    EXPECT_EQ(first->queryInterface(L"kvIAppExtension1"), static_cast<kvIUnknown*>(first));
    EXPECT_EQ(first->queryInterface(L"kvIUnknown"), static_cast<kvIUnknown*>(first));
    EXPECT_EQ(first->queryInterface(L"kvIAPPEXTENSION1"), nullptr);
    EXPECT_EQ(first->queryInterface(L"kvITwAnalyseConnection"), nullptr);
}

TEST(ApplicationExtension, InitKeepsAndExitReleasesTheApplication)
{
    fake::Application app;
    EXPECT_TRUE(appX()->init(&app));
    EXPECT_EQ(app.refs, 2);
    EXPECT_EQ(getAppXApplication().getIf(), static_cast<kvIApplication1*>(&app));
    EXPECT_TRUE(appX()->exit());
    EXPECT_EQ(app.refs, 1);

    EXPECT_TRUE(appX()->init(&app));
    EXPECT_TRUE(appX()->init(nullptr));  // clears the pointer, still true
    EXPECT_EQ(app.refs, 1);
    EXPECT_TRUE(appX()->exit());
    EXPECT_EQ(app.releasesAfterDeath, 0);
}

TEST(ExecCommand, OnlyAnalyseInAnyLetterCaseIsActedOnAndANullContextIsAnAssertion)
{
    fake::Host host;
    host.baseDocument.transparent = true;  // startAnalyse stops at its first check
    for (const wchar_t* ignored : {L"", L"analyse ", L" analyse", L"analyze", L"analyses",
                                    static_cast<const wchar_t*>(nullptr)})
        EXPECT_TRUE(appX()->execCommand(ignored, &host.context));
    EXPECT_TRUE(host.application.boxes.empty());

    for (const wchar_t* command : {L"analyse", L"Analyse", L"ANALYSE"})
        EXPECT_TRUE(appX()->execCommand(command, &host.context));
    EXPECT_EQ(host.application.boxes.size(), 3u);
    EXPECT_TRUE(host.balanced());

    // A null context is an assertion at its fixed line.
    EXPECT_THROW(appX()->execCommand(L"analyse", nullptr), wchar_t*);
    EXPECT_EQ(kvLastAssertMessage(), L"Assertion failed:\npCntxt\n\nFile: AnalyseStart\nLine: 136");
    EXPECT_TRUE(appX()->execCommand(L"other", nullptr));  // others never look at it
}

} // namespace

TEST(ModuleEntryPoint, AFailedStartRefusesTheLoadAndKeepsNoInstance)
{
    const HINSTANCE kept = kvAnalyseModuleInstance;
    const int chained = AfxGetExtensionModuleCount();
    // Without an instance the dialog library cannot take the module in.
    EXPECT_EQ(DllMain(nullptr, 1, nullptr), 0);
    EXPECT_EQ(kvAnalyseModuleInstance, kept);
    EXPECT_EQ(AfxGetExtensionModuleCount(), chained);
    EXPECT_EQ(DllMain(nullptr, 7, nullptr), 1);  // other reasons: nothing
}

TEST(ModuleBoundary, TheModuleOffersItsEntryTheFiveHostExportsAndTheTestEntryOnly)
{
    // Every defined dynamic symbol, as the dynamic linker sees the file.
    FILE* pipe = popen((std::string("nm -D --defined-only --format=just-symbols ") + KV_MODULE_PATH).c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> names;
    for (char line[512]; std::fgets(line, sizeof line, pipe);)
        names.insert(std::string(line, std::strcspn(line, "\n")));
    EXPECT_EQ(pclose(pipe), 0);
    const std::set<std::string> expected = {"DllMain",       "lockModule",           "unlockModule",      "canUnload",
                                            "kvAppXGetAppX", "getAnalyseConnection", "kvAnalyseTestEntry"};
    EXPECT_EQ(names, expected);
}
