// Hostile sessions: what a careless user types and what a faulty host does.
// Each session must refuse what it cannot take, say so with the line, the
// command and the text, and end with every host object given back.
#include "hostsim_runner.h"
#include "text.h"

#include "platform/windows.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

using namespace hostsim_test;

const char* const kClean = "host objects alive at exit: none";

void expectErrors(const SimRun& run, std::initializer_list<const char*> lines)
{
    for (const char* line : lines)
        EXPECT_NE(run.err.find(line), std::string::npos) << "missing: " << line << "\n" << run.all();
}

std::string repeated(const std::string& text, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i)
        all += text;
    return all;
}

TEST(HostileScripts, CommandsOutOfOrderAreRefusedAndLeaveNothingBehind)
{
    const SimRun run = runHostsim(kModule + " -",
                                  "close\npress transparent\nset MinAngle 5\nshow panel\nanalyse\nclose\nclose\n"
                                  "pick 20 10 100 0 0 -1\nanalyse\nanalyse\nmode 2\ncensus\n");
    EXPECT_EQ(run.status, 2) << run.all();
    expectErrors(run, {"line 1: close: no analysis window open", "line 2: press: no analysis window open",
                       "line 3: set: no analysis window open", "line 4: show: no analysis window open",
                       "line 7: close: no analysis window open"});
    EXPECT_GE(run.find("[view] pick sent to 0 mouse reactors"), 0) << run.all();
    EXPECT_GE(run.find("analysis window shown again"), 0) << run.all();
    EXPECT_GE(run.find(kClean), 0) << run.all();
}

TEST(HostileScripts, HundredsOfOpenCloseCyclesKeepThePlatformsObjectsFlat)
{
    const std::string cycle = "analyse\nmode 3\nmode 1\nclose\n";
    const SimRun run = runHostsim(kModule + " -", repeated(cycle, 5) + "status\n" + repeated(cycle, 300) +
                                                       "status\ncensus\n");
    ASSERT_EQ(run.status, 0) << run.all();
    std::vector<std::string> counts;
    for (const std::string& line : run.lines)
        if (line.rfind("temporary window objects: ", 0) == 0)
            counts.push_back(line);
    ASSERT_EQ(counts.size(), 2u) << run.all();
    // A count, not a time: after 300 more cycles nothing more is held.
    EXPECT_EQ(counts[0], counts[1]);
    EXPECT_GE(run.find("host objects held by the module: none"), 0) << run.all();
    EXPECT_GE(run.find(kClean), 0) << run.all();
}

TEST(HostileScripts, MalformedNumbersAreRefusedWithTheirText)
{
    const SimRun run = runHostsim(kModule + " -",
                                  "analyse job DMU50 nan 0 0\nanalyse job DMU50 0 1e308 0\nanalyse\nresize nan 100\n"
                                  "resize 100 40000\nmode nan\nmode inf\nmode 1e308\nmode -2147483648\nmode 2.5\n"
                                  "pick 20 10 inf 0 0 -1\npick 0x1p3 10 100 0 0 -1\nmove 1 2\n"
                                  "feedback Color_Frame 0xffffffffffffffff\nfeedback Color_Frame -1\n"
                                  "feedback Size -inf\nanswer 99\nmode 3\nset Surfaces 102 -2147483649\n"
                                  "resize 400 500\nfeedback Color_Frame 0x00ff00\n");
    EXPECT_EQ(run.status, 2) << run.all();
    expectErrors(run, {"line 1: analyse: expected a coordinate, got 'nan'",
                       "line 2: analyse: a coordinate must lie between -1e+06 and 1e+06, got '1e308'",
                       "line 4: resize: expected a window width, got 'nan'",
                       "line 5: resize: a window height must lie between 1 and 32767, got '40000'",
                       "line 6: mode: expected an entry of the mode list, got 'nan'",
                       "line 7: mode: expected an entry of the mode list, got 'inf'",
                       "line 8: mode: expected an entry of the mode list, got '1e308'",
                       "line 9: mode: an entry of the mode list must lie between 1 and 5, got '-2147483648'",
                       "line 10: mode: expected an entry of the mode list, got '2.5'",
                       "line 11: pick: expected a point and a view direction, got 'inf'",
                       "line 12: pick: expected a point and a view direction, got '0x1p3'",
                       "line 13: move: expected 3 numbers (a point), got 2",
                       "line 14: feedback: a colour must lie between 0 and 0xffffff, got '0xffffffffffffffff'",
                       "line 15: feedback: expected a colour, got '-1'",
                       "line 16: feedback: expected a size, got '-inf'",
                       "line 17: answer: an answer must lie between 1 and 11, got '99'",
                       "line 19: set: a face id must lie between 1 and 2147483647, got '-2147483649'"});
    // Nothing refused reached the window or the host.
    EXPECT_EQ(run.find("window resized to 0 x 100"), -1) << run.all();
    EXPECT_GE(run.find("window resized to 400 x 500"), 0) << run.all();
    EXPECT_GE(run.find("feedback \"Color_Frame\" = 0x00ff00"), 0) << run.all();
    EXPECT_GE(run.find(kClean), 0) << run.all();
}

TEST(HostileScripts, ThePropertyControlTakesOnlyWhatItShows)
{
    // The window's one property set holds the keys of every panel; the user
    // types only into the lines the panel shown has.
    const SimRun run = runHostsim(kModule + " -",
                                  "analyse job DMU50 1 2 3\nset FrameRef/Bogus 7\nclose\nanalyse\nmode 1\n"
                                  "set Bogus 42\nset AngleSteps 5\nset AnalyseMode 99\nname-text on\nmode 4\n"
                                  "set MinAngle nan\nset MinAngle 12.5\nmode 3\nset MaxDiameter 1e999\n"
                                  "set \"InfoShowText true\nname-text on\nmode 5\nset MinAngle 1\n"
                                  "set ToolLengthOffset 3\nname-text off\nmode 1\npick 10 20 100 0 0 -1\n"
                                  "set \"InfoShowText \" false\nname-text on\nclose\nanalyse\nshow modes\n");
    EXPECT_EQ(run.status, 2) << run.all();
    expectErrors(run, {"line 2: set: the panel shows no line \"FrameRef/Bogus\"",
                       "line 6: set: the panel shows no line \"Bogus\"",
                       "line 7: set: the panel shows no line \"AngleSteps\"",
                       "line 8: set: the panel shows no line \"AnalyseMode\"",
                       "line 9: name-text: the window shows no element name to switch",
                       "line 11: set: \"MinAngle\" does not take 'nan'",
                       "line 14: set: \"MaxDiameter\" does not take '1e999'",
                       "line 15: set: a quoted key lacks its closing quote",
                       "line 16: name-text: the window shows no element name to switch",
                       "line 18: set: the panel shows no line \"MinAngle\"",
                       "line 20: name-text: the window shows no element name to switch"});
    EXPECT_GE(run.find("property \"MinAngle\" set to 12.5"), 0) << run.all();
    EXPECT_GE(run.find("property \"ToolLengthOffset\" set to 3"), 0) << run.all();
    EXPECT_GE(run.find("property \"InfoShowText \" set to false"), 0) << run.all();
    EXPECT_GE(run.find("element name on"), 0) << run.all();
    EXPECT_EQ(run.find("element name off"), -1) << run.all();
    // The refused mode was never kept: the window opens again in mode 1.
    EXPECT_GE(run.find("  1 Analyse single element  <- chosen"), 0) << run.all();
    EXPECT_GE(run.find(kClean), 0) << run.all();
}

TEST(HostileScripts, HostileTextIsSkippedRefusedOrShownEscaped)
{
    std::string script = "\xEF\xBB\xBF" "echo first line after the mark\n";
    script += std::string("echo cut") + '\0' + "here\n";
    script += "frob\xE2\x80\x8Bnicate\n";           // a zero-width space inside the name
    script += "echo \xE2\x80\xAEgnp.exe\n";          // a right-to-left override
    script += "language Eng\x07lish extra\n";       // a bell inside the argument
    script += "echo caf\xC3\xA9\n";
    const SimRun run = runHostsim(kModule + " -", script);
    EXPECT_EQ(run.status, 2) << run.all();
    EXPECT_GE(run.find("first line after the mark"), 0) << run.all();
    EXPECT_EQ(run.err.find("unknown command '\xEF\xBB\xBF"), std::string::npos) << run.all();
    expectErrors(run, {"line 2: holds a NUL byte and is not run", "line 3: unknown command 'frob\\u+200Bnicate'"});
    EXPECT_EQ(run.find("cut"), -1) << run.all();
    EXPECT_GE(run.find("\\u+202Egnp.exe"), 0) << run.all();
    EXPECT_GE(run.find("caf\xC3\xA9"), 0) << run.all();
    EXPECT_EQ(run.err.find('\x07'), std::string::npos) << run.all();
    EXPECT_GE(run.find(kClean), 0) << run.all();
}

TEST(HostileScripts, OptionalInterfacesSwitchedOffMidSession)
{
    const SimRun run = runHostsim(kModule + " -",
                                  "offer kvIInvDocument1 off\nanalyse\nmode 1\npress transparent\n"
                                  "offer kvIBaseDocWithFeatureShowMode off\noffer kvIMouseEvents1 off\n"
                                  "offer kvIBaseDocWithAnalyseShowMode off\npick 20 10 100 0 0 -1\nclose\nanalyse\n"
                                  "pick 20 10 100 0 0 -1\nclose\ncensus\n");
    ASSERT_EQ(run.status, 0) << run.all();
    // Transparency was switched on through the interface now withdrawn, and
    // is switched back through it at close.
    const int on = run.find("[document] feature show mode 1");
    ASSERT_GE(on, 0) << run.all();
    EXPECT_GT(run.find("[document] feature show mode 0", on), on) << run.all();
    // The reactor installed before the mouse events went away still gets the
    // pick; a window opened without them has none.
    EXPECT_GE(run.find("[view] pick sent to 1 mouse reactor"), 0) << run.all();
    EXPECT_GE(run.find("[view] pick sent to 0 mouse reactors"), 0) << run.all();
    EXPECT_GE(run.find("host objects held by the module: none"), 0) << run.all();
    EXPECT_GE(run.find(kClean), 0) << run.all();
}

TEST(HostileScripts, BrokenFilesAndModulesStopWithAReason)
{
    // The first part of the real module: its headers promise more than the file holds.
    const std::string truncated = tempPath("truncated.so"), text = tempPath("text.so");
    {
        std::ifstream whole(KV_MODULE_PATH, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(whole)), std::istreambuf_iterator<char>());
        ASSERT_GT(bytes.size(), 8192u);
        std::ofstream(truncated, std::ios::binary) << bytes.substr(0, bytes.size() / 3);
    }
    std::ofstream(text) << "not a module\n";
    const std::pair<std::string, const char*> cases[] = {
        {kModule + " " + testing::TempDir(), "it is a folder"},
        {kModule + " /proc/self/mem", "reading the script failed"},  // opens but cannot be read
        {"--module '' --demo", "no module file given"},
        {"--module " + truncated + " --demo", "not a complete module file"},
        {"--module " + text + " --demo", "not a complete module file"},
        // A module whose entry point refuses to start is not used.
        {std::string("--module ") + KV_FAILING_ENTRY_PATH + " --demo", "the module's entry point refused to start"},
        {"--module /nonexistent/kvAnalyse.so --demo", "cannot load /nonexistent/kvAnalyse.so"},
        {kModule + " /nonexistent/script.txt", "cannot read /nonexistent/script.txt"},
        {"--demo extra.txt", "usage: hostsim"},
    };
    for (const auto& c : cases) {
        const SimRun run = runHostsim(c.first);
        EXPECT_EQ(run.status, 1) << c.first << "\n" << run.all();
        EXPECT_NE(run.err.find(c.second), std::string::npos) << run.all();
        EXPECT_EQ(run.find("module loaded: kvFailingEntry.so"), -1) << run.all();
    }
    std::remove(truncated.c_str());
    std::remove(text.c_str());
}

TEST(ModuleLoader, RunsTheModulesEntryPointAndHonoursItsResult)
{
    // The analysis module's entry point is found by the loader under its
    // plain name, so loading runs it.
    HMODULE module = LoadLibraryW(hostsim::fromUtf8(KV_MODULE_PATH).c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_NE(GetProcAddress(module, "DllMain"), nullptr);
    FreeLibrary(module);

    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(hostsim::fromUtf8(KV_FAILING_ENTRY_PATH).c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DLL_INIT_FAILED));
}

} // namespace
