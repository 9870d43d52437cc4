// The module-global application, the module's folder and the language file.
#include "fakes.h"

#include "host/AnalyseStart.h"
#include "host/kvAppXApplication.h"
#include "platform/kvPlatform.h"
#include "sdk/kvAssert.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <unistd.h>

namespace {

struct ExitCalled {
    UINT code;
};

// Turns the fatal message and process end into something a test can see.
class FatalExit : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvplat::setMessageBoxHook([this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
            EXPECT_EQ(owner, nullptr);
            EXPECT_EQ(type, 0u);
            caption_ = caption;
            text_ = text;
            return IDOK;
        });
        kvplat::setExitHook([](UINT code) { throw ExitCalled{code}; });
    }
    void TearDown() override
    {
        kvplat::setMessageBoxHook(nullptr);
        kvplat::setExitHook(nullptr);
        releaseAppXApplication();
    }

    UINT exitCodeOf(void (*call)())
    {
        try {
            call();
        } catch (const ExitCalled& e) {
            return e.code;
        }
        ADD_FAILURE() << "the process would have gone on";
        return 0;
    }

    std::wstring caption_;
    std::wstring text_;
};

TEST(AppXApplication, SettingTheSameApplicationTwiceKeepsItAlive)
{
    fake::Application app;
    EXPECT_TRUE(setAppXApplication(&app));
    EXPECT_TRUE(setAppXApplication(&app));
    EXPECT_EQ(app.refs, 2);
    EXPECT_FALSE(app.died);
    EXPECT_TRUE(releaseAppXApplication());
    EXPECT_EQ(app.refs, 1);
    EXPECT_EQ(app.releasesAfterDeath, 0);
}

TEST(AppXApplication, ReplacingAndClearing)
{
    fake::Application first, second;
    EXPECT_TRUE(setAppXApplication(&first));
    EXPECT_TRUE(setAppXApplication(&second));
    EXPECT_EQ(first.refs, 1);
    EXPECT_EQ(second.refs, 2);
    EXPECT_FALSE(setAppXApplication(nullptr));
    EXPECT_EQ(second.refs, 1);
    // Releasing an empty pointer is harmless and still true.
    EXPECT_TRUE(releaseAppXApplication());
    EXPECT_TRUE(releaseAppXApplication());
    EXPECT_EQ(first.refs + second.refs, 2);
}

TEST_F(FatalExit, NoApplicationEndsTheProcess)
{
    releaseAppXApplication();
    EXPECT_EQ(exitCodeOf([] { getAppXApplication(); }), 1u);
    EXPECT_EQ(caption_, L"Fatal Error");
    EXPECT_EQ(text_, L"Kova Vale Application-Extension not properly initialized:\n\nMissing Application-Pointer!\n\n"
                     L"Process will be terminated!");
}

TEST_F(FatalExit, ApplicationWithoutResourceManagerEndsTheProcess)
{
    fake::Application app;
    setAppXApplication(&app);
    EXPECT_EQ(exitCodeOf([] { getAppXResourceManager(); }), 1u);
    EXPECT_EQ(text_, L"Kova Vale Application-Extension not properly initialized:\n\nMissing Resource-Manager\n\n"
                     L"Process will be terminated!");
    EXPECT_EQ(app.refs, 2);  // only the module's own reference is left besides ours
    releaseAppXApplication();
}

TEST_F(FatalExit, ResourceManagerComesFromTheApplication)
{
    fake::Application app;
    fake::ResourceManager manager;
    app.resources = static_cast<kvIResourceMgr1*>(&manager);
    setAppXApplication(&app);
    {
        kvIfPtr<kvIResourceMgr1> got = getAppXResourceManager();
        EXPECT_EQ(got.getIf(), static_cast<kvIResourceMgr1*>(&manager));
        EXPECT_EQ(manager.refs, 2);
    }
    EXPECT_EQ(manager.refs, 1);
    EXPECT_EQ(app.refs, 2);
    EXPECT_TRUE(text_.empty());
    releaseAppXApplication();
}

// ---------------------------------------------------------------- module folder

std::wstring folderOfThisProgram()
{
    char path[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    std::string text(path, n > 0 ? static_cast<std::size_t>(n) : 0);
    text.erase(text.find_last_of('/') + 1);
    return std::wstring(text.begin(), text.end());
}

TEST(ApplicationPath, FolderOfTheModuleWithItsSeparator)
{
    wchar_t buffer[300];
    ASSERT_TRUE(getApplicationPath(buffer, 300));
    EXPECT_EQ(std::wstring(buffer), folderOfThisProgram());
    EXPECT_EQ(buffer[std::wcslen(buffer) - 1], L'/');
}

TEST(ApplicationPath, SmallBuffersAreCutAndTerminated)
{
    const std::wstring full = folderOfThisProgram();
    ASSERT_GT(full.size(), 4u);
    wchar_t buffer[8];
    std::wmemset(buffer, L'#', 8);
    EXPECT_TRUE(getApplicationPath(buffer, 5));
    EXPECT_EQ(std::wstring(buffer), full.substr(0, 4));
    EXPECT_EQ(buffer[5], L'#');  // nothing written past the capacity

    EXPECT_FALSE(getApplicationPath(buffer, 1));
    EXPECT_EQ(buffer[0], L'\0');
}

TEST(ApplicationPath, ZeroCapacityWritesNothing)
{
    wchar_t guard[3] = {L'a', L'b', L'c'};
    EXPECT_FALSE(getApplicationPath(guard + 1, 0));
    EXPECT_EQ(guard[0], L'a');
    EXPECT_EQ(guard[1], L'b');
    EXPECT_EQ(guard[2], L'c');
    EXPECT_FALSE(getApplicationPath(nullptr, 10));
}

TEST(ApplicationPath, WithoutModuleHandleAnAssertionAtItsFixedLine)
{
    const HINSTANCE saved = kvAnalyseModuleInstance;
    kvAnalyseModuleInstance = nullptr;
    kvResetAssertMessages();
    wchar_t buffer[16] = L"stale";
    EXPECT_THROW(getApplicationPath(buffer, 16), wchar_t*);
    kvAnalyseModuleInstance = saved;
    EXPECT_EQ(buffer[0], L'\0');
    EXPECT_EQ(kvLastAssertMessage(),
              kvFormatAssertion(L"\"Unable to retrieve the application-path\"", kvAnalyseStartUnit, 195));
}

// ---------------------------------------------------------------- language file

TEST(LanguageFile, TableAndFallback)
{
    EXPECT_STREQ(kvLanguageResourceFile(L"German"), L"kvLibRes_de.loc");
    EXPECT_STREQ(kvLanguageResourceFile(L"Chinese"), L"kvLibRes_zhs.loc");
    EXPECT_STREQ(kvLanguageResourceFile(L"Chinese_trad"), L"kvLibRes_zht.loc");
    EXPECT_STREQ(kvLanguageResourceFile(L"Dutch"), L"kvLibRes_ni.loc");
    EXPECT_STREQ(kvLanguageResourceFile(L"Spanish"), L"kvLibRes_es.loc");
    for (const wchar_t* other : {L"", L"Klingon", L"Germany", L"Chinese_simplified"})
        EXPECT_STREQ(kvLanguageResourceFile(other), L"kvLibRes_en.loc") << other;
}

HMODULE handle(int n) { return reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x1000 + n)); }

bool registered(HMODULE module)
{
    for (HMODULE m : kvStringResourceModules())
        if (m == module)
            return true;
    return false;
}

TEST(LanguageResources, ChosenFileReplacesEnglish)
{
    fake::ResourceManager manager;
    manager.language = L"German";
    manager.files = {{L"kvLibRes_en.loc", handle(1)}, {L"kvLibRes_de.loc", handle(2)}};
    EXPECT_TRUE(loadLanguageResources(static_cast<kvIResourceMgr1*>(&manager)));
    EXPECT_EQ(manager.loads, (std::vector<std::wstring>{L"kvLibRes_en.loc", L"kvLibRes_de.loc"}));
    EXPECT_EQ(manager.frees, std::vector<HMODULE>{handle(1)});
    EXPECT_TRUE(registered(handle(2)));
    EXPECT_FALSE(registered(handle(1)));
    EXPECT_EQ(manager.refs, 1);

    // Loading again registers nothing twice.
    const std::size_t before = kvStringResourceModules().size();
    EXPECT_TRUE(loadLanguageResources(static_cast<kvIResourceMgr1*>(&manager)));
    EXPECT_EQ(kvStringResourceModules().size(), before);
}

TEST(LanguageResources, MissingLanguageFileKeepsEnglish)
{
    fake::ResourceManager manager;
    manager.language = L"French";
    manager.files = {{L"kvLibRes_en.loc", handle(11)}};
    EXPECT_TRUE(loadLanguageResources(static_cast<kvIResourceMgr1*>(&manager)));
    EXPECT_TRUE(manager.frees.empty());
    EXPECT_TRUE(registered(handle(11)));
}

TEST(LanguageResources, EnglishLoadedTwiceIsNotFreedWhenTheHandleIsTheSame)
{
    fake::ResourceManager manager;
    manager.language = L"English";
    manager.files = {{L"kvLibRes_en.loc", handle(21)}};
    EXPECT_TRUE(loadLanguageResources(static_cast<kvIResourceMgr1*>(&manager)));
    EXPECT_EQ(manager.loads.size(), 2u);
    EXPECT_TRUE(manager.frees.empty());
    EXPECT_TRUE(registered(handle(21)));
}

TEST(LanguageResources, RefusedWithoutBothInterfacesOrEnglish)
{
    fake::Application notAManager;
    EXPECT_FALSE(loadLanguageResources(static_cast<kvIApplication1*>(&notAManager)));
    EXPECT_FALSE(loadLanguageResources(nullptr));

    fake::ResourceManager noLanguage;
    noLanguage.offersLanguage = false;
    noLanguage.files = {{L"kvLibRes_en.loc", handle(31)}};
    EXPECT_FALSE(loadLanguageResources(static_cast<kvIResourceMgr1*>(&noLanguage)));
    EXPECT_TRUE(noLanguage.loads.empty());

    fake::ResourceManager noEnglish;
    noEnglish.language = L"German";
    noEnglish.files = {{L"kvLibRes_de.loc", handle(32)}};
    EXPECT_FALSE(loadLanguageResources(static_cast<kvIResourceMgr1*>(&noEnglish)));
    EXPECT_FALSE(registered(handle(32)));
    EXPECT_EQ(noEnglish.loads, std::vector<std::wstring>{L"kvLibRes_en.loc"});
}

} // namespace
