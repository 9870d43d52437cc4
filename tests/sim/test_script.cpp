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
const hostsim::CommandRegistration assertCommand("test-assert", [](hostsim::Session&, const std::string&) {
    static wchar_t text[] = L"AssertionFailure";
    throw static_cast<wchar_t*>(text);
});

hostsim::ScriptResult run(const std::string& script, std::string& err)
{
    seen.clear();
    std::ostringstream out, errors;
    hostsim::Session session(out);  // not started: no module, no host objects
    std::istringstream in(script);
    const hostsim::ScriptResult result = hostsim::runScript(in, session, errors);
    err = errors.str();
    return result;
}

TEST(CommandRegistry, NamesAreUniqueExactAndWithoutBlanks)
{
    auto noop = [](hostsim::Session&, const std::string&) {};
    EXPECT_FALSE(hostsim::registerCommand("test-record", noop));
    EXPECT_FALSE(hostsim::registerCommand("", noop));
    EXPECT_FALSE(hostsim::registerCommand("two words", noop));
    EXPECT_FALSE(hostsim::registerCommand("test-empty", nullptr));
    // Registered from their source's initialisers, whatever the link order.
    for (const char* builtIn : {"analyse", "transparent", "language", "echo", "status", "quit", "answer"})
        EXPECT_NE(hostsim::findCommand(builtIn), nullptr) << builtIn;
    EXPECT_EQ(hostsim::findCommand("Analyse"), nullptr);
}

TEST(ScriptRun, SkipsCommentsTrimsArgumentsReportsBadLinesAndGoesOnUntilQuit)
{
    std::string err;
    const hostsim::ScriptResult result = run("# a comment\n\ntest-record first line\nno-such-command\ntest-fail\n"
                                             "test-assert\n\t test-record   second  \r\n",
                                             err);
    EXPECT_EQ(seen, (std::vector<std::string>{"first line", "second"}));
    EXPECT_EQ(result.errors, 3);
    EXPECT_FALSE(result.quit);
    EXPECT_EQ(err, "line 4: unknown command 'no-such-command'\nline 5: test-fail: refused\n"
                   "line 6: test-assert: exception AssertionFailure\n");
    // Quit stops before the next line.
    EXPECT_TRUE(run("test-record a\nquit\ntest-record b\n", err).quit);
    EXPECT_EQ(seen, std::vector<std::string>{"a"});
}

TEST(ScriptRun, CommandsWithoutARunningHostFailCleanly)
{
    std::string err;
    EXPECT_EQ(run("transparent maybe\nanswer 1 x\nstatus\nanalyse\n", err).errors, 4);
    EXPECT_NE(err.find("line 1: transparent: expected on or off"), std::string::npos) << err;
    EXPECT_NE(err.find("line 2: answer: expected an answer, got 'x'"), std::string::npos) << err;
}

TEST(Text, Utf8RoundTripAndBrokenInput)
{
    const std::wstring text = L"Gr\u00fc\u00dfe \u20ac \U0001F600";
    EXPECT_EQ(hostsim::fromUtf8(hostsim::toUtf8(text)), text);
    EXPECT_EQ(hostsim::toUtf8(L"\u00e4"), "\xc3\xa4");
    EXPECT_EQ(hostsim::fromUtf8("a\xc3"), L"a\uFFFD");   // cut sequence
    EXPECT_EQ(hostsim::fromUtf8("\xc0\xaf"), L"\uFFFD");  // overlong form
}

} // namespace
