// The session-script interpreter: line splitting, the command registry and how
// failures of single lines are reported without ending the run.
#include "script.h"
#include "session.h"
#include "text.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> seen;

const hostsim::CommandRegistration recordCommand("test-record", [](hostsim::Session&, const std::string& args) {
    seen.push_back(args);
});
const hostsim::CommandRegistration failCommand("test-fail", [](hostsim::Session&, const std::string&) {
    throw hostsim::ScriptError("refused");
});
const hostsim::CommandRegistration moduleThrowCommand("test-assert", [](hostsim::Session&, const std::string&) {
    static wchar_t text[] = L"AssertionFailure";
    throw static_cast<wchar_t*>(text);
});

TEST(ScriptLines, CommandWordAndTrimmedArguments)
{
    std::string name, args;
    hostsim::splitCommand("  echo   two  words  ", name, args);
    EXPECT_EQ(name, "echo");
    EXPECT_EQ(args, "two  words");
    hostsim::splitCommand("\tstatus\r", name, args);
    EXPECT_EQ(name, "status");
    EXPECT_EQ(args, "");
    hostsim::splitCommand("   ", name, args);
    EXPECT_EQ(name, "");
    EXPECT_EQ(hostsim::splitWords("  1 \t 2  3 "), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_TRUE(hostsim::splitWords("   ").empty());
}

TEST(CommandRegistry, NamesAreUniqueAndWithoutBlanks)
{
    auto noop = [](hostsim::Session&, const std::string&) {};
    EXPECT_FALSE(hostsim::registerCommand("test-record", noop));  // taken
    EXPECT_FALSE(hostsim::registerCommand("", noop));
    EXPECT_FALSE(hostsim::registerCommand("two words", noop));
    EXPECT_FALSE(hostsim::registerCommand("test-empty", nullptr));
    EXPECT_EQ(hostsim::findCommand("test-empty"), nullptr);

    // The built-in commands are registered from their own source's
    // initialisers before main, whatever the link order.
    for (const char* builtIn : {"analyse", "transparent", "language", "echo", "status", "quit", "answer"})
        EXPECT_NE(hostsim::findCommand(builtIn), nullptr) << builtIn;
    EXPECT_EQ(hostsim::findCommand("Analyse"), nullptr);  // exact names only
}

TEST(ScriptRun, SkipsCommentsReportsBadLinesAndGoesOn)
{
    seen.clear();
    std::ostringstream out, err;
    hostsim::Session session(out);
    std::istringstream script("# a comment\n"
                              "\n"
                              "test-record first line\n"
                              "no-such-command\n"
                              "test-fail\n"
                              "test-assert\n"
                              "   test-record   second   \n");
    const hostsim::ScriptResult result = hostsim::runScript(script, session, err);
    EXPECT_EQ(seen, (std::vector<std::string>{"first line", "second"}));
    EXPECT_EQ(result.errors, 3);
    EXPECT_EQ(result.linesRun, 4);
    EXPECT_FALSE(result.quit);
    EXPECT_EQ(err.str(), "line 4: unknown command 'no-such-command'\n"
                         "line 5: test-fail: refused\n"
                         "line 6: test-assert: exception AssertionFailure\n");
}

TEST(ScriptRun, QuitStopsBeforeTheNextLine)
{
    seen.clear();
    std::ostringstream out, err;
    hostsim::Session session(out);
    std::istringstream script("test-record a\nquit\ntest-record b\n");
    const hostsim::ScriptResult result = hostsim::runScript(script, session, err);
    EXPECT_TRUE(result.quit);
    EXPECT_EQ(seen, std::vector<std::string>{"a"});
    EXPECT_TRUE(err.str().empty());
}

TEST(ScriptRun, CommandsNeedingTheModuleFailCleanlyWithoutIt)
{
    std::ostringstream out, err;
    hostsim::Session session(out);
    std::istringstream script("transparent maybe\nlanguage\nanswer 1 x\n");
    const hostsim::ScriptResult result = hostsim::runScript(script, session, err);
    EXPECT_EQ(result.errors, 3);
    EXPECT_NE(err.str().find("line 1: transparent: expected on or off"), std::string::npos);
    EXPECT_NE(err.str().find("line 3: answer: not an answer: 'x'"), std::string::npos);
}

TEST(Text, Utf8RoundTripAndBrokenInput)
{
    const std::wstring text = L"Gr\u00fc\u00dfe \u20ac \U0001F600";
    EXPECT_EQ(hostsim::fromUtf8(hostsim::toUtf8(text)), text);
    EXPECT_EQ(hostsim::toUtf8(L"\u00e4"), "\xc3\xa4");
    EXPECT_EQ(hostsim::fromUtf8("a\xc3"), L"a\uFFFD");          // cut sequence
    EXPECT_EQ(hostsim::fromUtf8("\xc0\xaf"), L"\uFFFD");        // overlong form
    EXPECT_EQ(hostsim::toUtf8(static_cast<const wchar_t*>(nullptr)), "");
}

} // namespace
