// The module's outer shell: lock counting, the application-extension object
// and how execCommand reacts to commands and contexts.
#include "fakes.h"

#include "host/AnalyseStart.h"
#include "host/kvAppXApplication.h"
#include "platform/afx.h"
#include "sdk/kvAssert.h"

#include <gtest/gtest.h>

#include <elf.h>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

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

TEST(ExecCommand, OnlyAnalyseInAnyLetterCaseIsActedOn)
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
}

TEST(ExecCommand, NullContextIsAnAssertionAtItsFixedLine)
{
    EXPECT_THROW(appX()->execCommand(L"analyse", nullptr), wchar_t*);
    EXPECT_EQ(kvLastAssertMessage(), kvFormatAssertion(L"pCntxt", kvAnalyseStartUnit, 136));
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

namespace {

// The names a shared object offers to the dynamic linker: the defined
// global and weak symbols of its dynamic symbol table.
std::set<std::string> dynamicExports(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::set<std::string> names;
    if (image.size() < sizeof(Elf64_Ehdr))
        return names;
    const auto* header = reinterpret_cast<const Elf64_Ehdr*>(image.data());
    const auto* sections = reinterpret_cast<const Elf64_Shdr*>(image.data() + header->e_shoff);
    for (unsigned i = 0; i < header->e_shnum; ++i) {
        if (sections[i].sh_type != SHT_DYNSYM)
            continue;
        const char* strings = image.data() + sections[sections[i].sh_link].sh_offset;
        const auto* symbols = reinterpret_cast<const Elf64_Sym*>(image.data() + sections[i].sh_offset);
        for (size_t k = 0; k < sections[i].sh_size / sizeof(Elf64_Sym); ++k) {
            const unsigned char bind = ELF64_ST_BIND(symbols[k].st_info);
            if (symbols[k].st_shndx != SHN_UNDEF && (bind == STB_GLOBAL || bind == STB_WEAK))
                names.insert(strings + symbols[k].st_name);
        }
    }
    return names;
}

} // namespace

TEST(ModuleBoundary, TheModuleOffersItsEntryTheFiveHostExportsAndTheTestEntryOnly)
{
    const std::set<std::string> expected = {"DllMain",       "lockModule",           "unlockModule",      "canUnload",
                                            "kvAppXGetAppX", "getAnalyseConnection", "kvAnalyseTestEntry"};
    EXPECT_EQ(dynamicExports(KV_MODULE_PATH), expected);
}
