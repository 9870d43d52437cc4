// The module-global application, the module's folder and the language file.
#include "fakes.h"

#include "host/AnalyseStart.h"
#include "host/kvAppXApplication.h"
#include "platform/atlbase.h"
#include "platform/kvPlatform.h"
#include "sdk/kvAssert.h"

#include <gtest/gtest.h>

#include <climits>
#include <unistd.h>

namespace {

TEST(AppXApplication, SettingTheHeldApplicationAgainNeverDropsItsLastReference)
{
    fake::Application app;
    EXPECT_TRUE(setAppXApplication(&app));
    app.release();  // the module's reference is now the only one
    EXPECT_TRUE(setAppXApplication(&app));
    EXPECT_EQ(app.deaths, 0);
    EXPECT_EQ(app.refs, 1);
    EXPECT_FALSE(setAppXApplication(nullptr));
    EXPECT_EQ(app.refs, 0);
    EXPECT_TRUE(releaseAppXApplication());  // nothing held: harmless
    EXPECT_EQ(app.releasesAfterDeath, 0);
}

struct ExitCalled {
    UINT code;
};

// The fatal message and the end of the process, made visible to the test.
class FatalExit : public ::testing::Test {
protected:
    void SetUp() override
    {
        kvplat::setMessageBoxHook([this](HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
            shown = owner == nullptr && type == 0 && caption == L"Fatal Error" ? text : L"wrong box";
            return IDOK;
        });
        kvplat::setExitHook([](UINT code) { throw ExitCalled{code}; });
    }
    void TearDown() override
    {
        kvplat::setMessageBoxHook(nullptr);
        kvplat::setExitHook(nullptr);
    }
    template <class Call>
    UINT exitCode(Call call)
    {
        try {
            call();
        } catch (const ExitCalled& e) {
            return e.code;
        }
        return 0;
    }
    std::wstring shown;
};

TEST_F(FatalExit, MissingApplicationOrResourceManagerEndsTheProcess)
{
    releaseAppXApplication();
    EXPECT_EQ(exitCode([] { getAppXApplication(); }), 1u);
    EXPECT_EQ(shown, L"Kova Vale Application-Extension not properly initialized:\n\nMissing Application-Pointer!\n\n"
                     L"Process will be terminated!");

    fake::Application app;
    setAppXApplication(&app);
    EXPECT_EQ(exitCode([] { getAppXResourceManager(); }), 1u);
    EXPECT_EQ(shown, L"Kova Vale Application-Extension not properly initialized:\n\nMissing Resource-Manager\n\n"
                     L"Process will be terminated!");
    EXPECT_EQ(app.refs, 2);  // the getter gave its own reference back

    fake::ResourceManager manager;
    app.resources = static_cast<kvIResourceMgr1*>(&manager);
    shown.clear();
    EXPECT_EQ(getAppXResourceManager().getIf(), static_cast<kvIResourceMgr1*>(&manager));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(manager.refs, 1);
    releaseAppXApplication();
}

TEST(ApplicationPath, FolderWithSeparatorCutToTheBuffer)
{
    char path[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    std::string text(path, n > 0 ? static_cast<std::size_t>(n) : 0);
    text.erase(text.find_last_of('/') + 1);
    const std::wstring full(text.begin(), text.end());

    wchar_t buffer[300];
    ASSERT_TRUE(getApplicationPath(buffer, 300));
    EXPECT_EQ(std::wstring(buffer), full);
    std::wmemset(buffer, L'#', 8);
    EXPECT_TRUE(getApplicationPath(buffer, 5));
    EXPECT_EQ(std::wstring(buffer), full.substr(0, 4));
    EXPECT_EQ(buffer[5], L'#');
    EXPECT_FALSE(getApplicationPath(buffer, 1));
    EXPECT_EQ(buffer[0], L'\0');
    // No room even for the terminator: nothing is written, not even before the buffer.
    std::wmemset(buffer, L'#', 3);
    EXPECT_FALSE(getApplicationPath(buffer + 1, 0));
    EXPECT_EQ(std::wstring(buffer, 3), L"###");
}

TEST(ApplicationPath, WithoutModuleHandleAnAssertionAtItsFixedLine)
{
    const HINSTANCE saved = kvAnalyseModuleInstance;
    kvAnalyseModuleInstance = nullptr;
    wchar_t buffer[16] = L"stale";
    EXPECT_THROW(getApplicationPath(buffer, 16), wchar_t*);
    kvAnalyseModuleInstance = saved;
    EXPECT_EQ(buffer[0], L'\0');
    EXPECT_EQ(kvLastAssertMessage(),
              kvFormatAssertion(L"\"Unable to retrieve the application-path\"", L"AnalyseStart", 195));
}

TEST(LanguageFile, TableAndFallback)
{
    EXPECT_STREQ(kvLanguageResourceFile(L"German"), L"kvLibRes_de.loc");
    EXPECT_STREQ(kvLanguageResourceFile(L"Chinese_trad"), L"kvLibRes_zht.loc");
    EXPECT_STREQ(kvLanguageResourceFile(L"Dutch"), L"kvLibRes_ni.loc");
    for (const wchar_t* other : {L"", L"Klingon", L"german", L"Chinese_simplified"})
        EXPECT_STREQ(kvLanguageResourceFile(other), L"kvLibRes_en.loc") << other;
}

HMODULE handle(int n) { return reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(0x1000 + n)); }

int timesRegistered(HMODULE module)
{
    const auto& modules = kvStringResourceModules();
    return static_cast<int>(std::count(modules.begin(), modules.end(), module));
}

TEST(LanguageResources, TheChosenFileOrEnglishIsRegisteredOnceAndTheOtherFreed)
{
    const std::wstring en = L"kvLibRes_en.loc", de = L"kvLibRes_de.loc", fr = L"kvLibRes_fr.loc";
    struct Case {
        const wchar_t* language;
        bool offersLanguage;  // the language name's interface
        std::map<std::wstring, HMODULE> files;
        std::vector<std::wstring> loads;
        HMODULE kept;  // null: refused
        std::vector<HMODULE> frees;
    };
    const Case cases[] = {
        {L"German", true, {{en, handle(1)}, {de, handle(2)}}, {en, de}, handle(2), {handle(1)}},
        {L"French", true, {{en, handle(11)}}, {en, fr}, handle(11), {}},
        {L"English", true, {{en, handle(21)}}, {en, en}, handle(21), {}},
        {L"German", false, {{en, handle(31)}}, {}, nullptr, {}},  // no language interface
        {L"German", true, {{de, handle(32)}}, {en}, nullptr, {}},   // no English file
    };
    for (const Case& c : cases) {
        fake::ResourceManager manager;
        manager.language = c.language;
        if (!c.offersLanguage)
            manager.withdrawn = {L"kvIResourceMgr2"};
        manager.files = c.files;
        EXPECT_EQ(loadLanguageResources(static_cast<kvIResourceMgr1*>(&manager)), c.kept != nullptr) << c.language;
        EXPECT_EQ(manager.loads, c.loads) << c.language;
        EXPECT_EQ(manager.frees, c.frees) << c.language;
        for (const auto& file : c.files)
            EXPECT_EQ(timesRegistered(file.second), file.second == c.kept ? 1 : 0) << c.language;
        loadLanguageResources(static_cast<kvIResourceMgr1*>(&manager));
        EXPECT_LE(timesRegistered(c.kept), 1);  // loaded again, registered once
        EXPECT_EQ(manager.refs, 1);
    }
    fake::Application notAManager;
    EXPECT_FALSE(loadLanguageResources(static_cast<kvIApplication1*>(&notAManager)));
    EXPECT_FALSE(loadLanguageResources(nullptr));
}

TEST(LanguageResources, StringsAreLookedUpInTheChosenModule)
{
    // Ids of their own, so that modules registered by other tests do not answer.
    const UINT menuText = 40453, buttonText = 40101;
    kvplat::setStringResource(handle(41), menuText, L"Colour");
    kvplat::setStringResource(handle(42), menuText, L"Farbe");
    kvplat::setStringResource(handle(41), buttonText, L"Automatic");
    fake::ResourceManager manager;
    manager.language = L"German";
    manager.files = {{L"kvLibRes_en.loc", handle(41)}, {L"kvLibRes_de.loc", handle(42)}};
    wchar_t text[32] = L"stale";
    EXPECT_EQ(ATL::AtlLoadString(menuText, text, 32), 0);
    EXPECT_STREQ(text, L"");

    ASSERT_TRUE(loadLanguageResources(static_cast<kvIResourceMgr1*>(&manager)));
    EXPECT_EQ(ATL::AtlFindStringResourceInstance(menuText), handle(42));
    EXPECT_EQ(ATL::AtlLoadString(menuText, text, 32), 5);
    EXPECT_STREQ(text, L"Farbe");
    // The English module was freed and is no longer searched.
    EXPECT_EQ(ATL::AtlLoadString(buttonText, text, 32), 0);
    // A short buffer takes what fits, terminated.
    EXPECT_EQ(ATL::AtlLoadString(menuText, text, 3), 2);
    EXPECT_STREQ(text, L"Fa");
}

} // namespace
