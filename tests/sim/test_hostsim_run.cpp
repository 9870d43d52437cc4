// The host simulator end to end: the built executable loads the built module
// and plays a session; the test reads what it printed.
#include "hostsim_runner.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace hostsim_test;

TEST(Hostsim, DemoShowsTheWholeStoryThroughTheModesAndEndsClean)
{
    const SimRun run = runHostsim(kModule + " --demo");
    ASSERT_EQ(run.status, 0) << run.all();
    const int opened = run.find("analysis window opened and registered as \"kvCAnalyseDlg\"");
    ASSERT_GE(opened, 0) << run.all();
    const int again = run.find("analysis window shown again", opened);
    EXPECT_GT(again, opened) << run.all();
    EXPECT_GT(run.find("[message box kind 3] Analyse cannot start in transparent mode", again), again) << run.all();
    EXPECT_GE(run.find("[message box kind 3] Analyse kann im Transparentmodus nicht gestartet werden"), 0);
    // The connection and the open window each hold one lock.
    EXPECT_GT(run.find("module lock count: 2", opened), opened) << run.all();
    EXPECT_GE(run.find("host objects alive at exit: none"), 0) << run.all();
    EXPECT_TRUE(run.err.empty()) << run.err;

    // Through its modes, closed and reopened.
    const int list = run.find("mode list: 5 entries");
    ASSERT_GE(list, 0) << run.all();
    EXPECT_EQ(run.find("  1 Analyse single element  <- chosen"), list + 1) << run.all();
    EXPECT_EQ(run.find("  3 Radius analyse"), list + 3);
    EXPECT_EQ(run.find("  5 Tool position analyse"), list + 5);
    const int single = run.find("  [Single face info]", list);
    ASSERT_GT(single, list) << run.all();
    EXPECT_EQ(run.find("  [Coordiantes]", single), single + 2);
    EXPECT_EQ(run.find("    Frame: ", single), single + 3);
    EXPECT_GE(run.find("tooltip show-faces: Show faces"), 0) << run.all();
    EXPECT_GE(run.find("window title: Analyse faces"), 0) << run.all();

    const int two = run.find("mode list: chose \"Analyse two element\"");
    ASSERT_GT(two, single) << run.all();
    const int twoPanel = run.find("  [Two faces infos]", two);
    ASSERT_GT(twoPanel, two) << run.all();
    EXPECT_EQ(run.find("  [Info face 1]", two), twoPanel + 1);
    EXPECT_EQ(run.find("  [Info face 2]", two), twoPanel + 2);
    const int back = run.find("  [Single face info]", twoPanel);
    EXPECT_GT(back, twoPanel) << run.all();
    EXPECT_GT(run.find("[view] pick hits face 102 \"top\" at (20, 10, 40)", back), back) << run.all();
    EXPECT_GE(run.find("[view] pick sent to 1 mouse reactor"), 0);
    EXPECT_GE(run.find("window size: 420 x 600, client 412 x 572"), 0) << run.all();

    // Closing gives everything back; reopening shows the mode it was closed in.
    const int closed = run.find("analysis window closed, unregistered");
    ASSERT_GT(closed, 0) << run.all();
    EXPECT_EQ(run.find("module lock count: 1", closed), closed + 1) << run.all();
    EXPECT_EQ(run.find("registered windows: none", closed), closed + 2);
    EXPECT_EQ(run.find("analyse show mode: 0", closed), closed + 3);
    EXPECT_EQ(run.find("mouse reactors: 0", closed), closed + 5);
    EXPECT_EQ(run.find("host objects held by the module: none", closed), closed + 7) << run.all();
    const int reopened = run.find("analysis window opened and registered as \"kvCAnalyseDlg\"", closed);
    ASSERT_GT(reopened, closed) << run.all();
    EXPECT_GT(run.find("  2 Analyse two element  <- chosen", reopened), reopened) << run.all();
    EXPECT_GT(run.find("  [Two faces infos]", reopened), reopened);
    // The sample part is listed, the frame is drawn at each opening.
    EXPECT_GE(run.find("Sample part: 27 faces"), 0);
    EXPECT_GT(run.find("[view] coordinate system at (0, 0, 0), axes 45 long, colour 0x0000ff", closed), closed);

    // The tool position: placed, optimised, a frame made, turned, and the
    // collision library given back at the end.
    for (const char* line : {
             "collision check: No collision",
             "collision check: Collision: the cutting part meets the part",
             "collision check: Collision: the cutting part meets the machine",
             "collision check: Free from tool length 10.5; length set to 12.5",
             "model frame \"Frame 1\": origin (30, 28, 40), axis (0, 0, 1)",
             "angles A -30.9638, B 0, C 0",
             "right-click menu: \"Set as tool feedback position\" \"Create line in tool axis\"",
             "collision check: No collision; no machine model loaded: there is no folder Machines/NoSuchMill in the "
             "host's base folder",
             "[host] the job now uses frame \"Frame 1\"",
             "collision check: The collision library kvCdTree.dll cannot be loaded",
         })
        EXPECT_GE(run.find(line), 0) << line;
    const int loaded = run.find("modules loaded through the resource manager: kvCdTree.dll");
    ASSERT_GE(loaded, 0) << run.all();
    EXPECT_GT(run.find("modules loaded through the resource manager: none", loaded), loaded) << run.all();
}

TEST(Hostsim, AJobOpensTheWindowOnItsFrameInToolPositionModeAndThatModeIsKept)
{
    const SimRun run = runHostsim(kModule + " -",
                                  "analyse\nmode 3\nclose\nanalyse job DMU50 10 20 -5.5\nshow modes\n"
                                  "analyse job DMU50 x 0 0\nclose\ncensus\nanalyse\nshow modes\n");
    EXPECT_EQ(run.status, 2) << run.all();  // the bad coordinate
    const int job = run.find("[view] coordinate system at (10, 20, -5.5), axes 45 long, colour 0x0000ff");
    ASSERT_GE(job, 0) << run.all();
    const int list = run.find("mode list: 5 entries", job);
    ASSERT_GT(list, job) << run.all();
    EXPECT_EQ(run.find("  5 Tool position analyse  <- chosen", list), list + 5) << run.all();
    EXPECT_NE(run.err.find("line 6: analyse: expected a coordinate, got 'x'"), std::string::npos) << run.err;
    // The window gave the job back when it closed.
    const int census = run.find("host objects held by the module: none", list);
    ASSERT_GT(census, list) << run.all();
    const int again = run.find("mode list: 5 entries", census);
    ASSERT_GT(again, census) << run.all();
    EXPECT_EQ(run.find("  5 Tool position analyse  <- chosen", again), again + 5) << run.all();
    EXPECT_GE(run.find("host objects alive at exit: none"), 0) << run.all();
}

TEST(Hostsim, OptionalInterfacesHelpAndSettingsCanBeTakenAway)
{
    const SimRun run = runHostsim(kModule + " -",
                                  "offer kvIMouseEvents1 off\noffer kvIBaseDocWithAnalyseShowMode off\n"
                                  "offer kvIInvDocument1 off\nfeedback Size 10\nfeedback Color_Frame 0x00ff00\n"
                                  "analyse\nstatus\n"
                                  "pick 20 10 100 0 0 -1\npress transparent\nstatus\npress transparent\nhelp\n"
                                  "offer kvIHelpContext1 off\nhelp\noffer kvIHelpContext1 on\ncensus\nmode 2\n"
                                  "show modes\nclose\ncensus\n");
    ASSERT_EQ(run.status, 0) << run.all();
    EXPECT_GE(run.find("[view] coordinate system at (0, 0, 0), axes 9 long, colour 0x00ff00"), 0) << run.all();
    const int status = run.find("module lock count: 2");
    ASSERT_GE(status, 0) << run.all();
    EXPECT_EQ(run.find("analyse show mode: 0", status), status + 2);  // never switched
    EXPECT_EQ(run.find("mouse reactors: 0", status), status + 4);
    EXPECT_GE(run.find("[view] pick sent to 0 mouse reactors"), 0) << run.all();
    // Without long operations the transparency button is shown and works.
    EXPECT_GE(run.find("pressed transparent"), 0) << run.all();
    EXPECT_GE(run.find("[document] feature show mode 1"), 0) << run.all();
    EXPECT_GE(run.find("[document] feature show mode 0"), 0) << run.all();
    EXPECT_GE(run.find("[help] Analysis"), 0) << run.all();
    EXPECT_GE(run.find("[message box kind 0] No help available"), 0) << run.all();
    const int held = run.find("host objects held by the module: graphics group 1");
    EXPECT_GE(held, 0) << run.all();
    EXPECT_GT(run.find("  2 Analyse two element  <- chosen", held), held) << run.all();
    EXPECT_GT(run.find("host objects held by the module: none", held), held) << run.all();
    EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST(Hostsim, WindowCommandsRefuseWhatTheyCannotDo)
{
    const SimRun run = runHostsim(kModule + " -",
                                  "mode 1\nanalyse\nmode 6\nset AnalyseMode two\nset Surfaces 999\npress nothing\n"
                                  "offer kvIFoo1 off\nresize 0 10\nmode 5\nset MinAngle 5\npress help\nshow panel\n");
    EXPECT_EQ(run.status, 2) << run.all();
    for (const char* line : {"line 1: mode: no analysis window open", "line 3: mode: an entry of the mode list must lie between 1 and 5, got '6'",
                             "line 4: set: the panel shows no line \"AnalyseMode\"",
                             "line 5: set: the panel shows no line \"Surfaces\"", "line 6: press: no button 'nothing'",
                             "line 7: offer: 'kvIFoo1' is not an optional interface of the host",
                             "line 8: resize: a window width must lie between 1 and 32767, got '0'",
                             "line 10: set: the panel shows no line \"MinAngle\""})
        EXPECT_NE(run.err.find(line), std::string::npos) << line << "\n" << run.err;
    EXPECT_GE(run.find("button help cannot be pressed (hidden or disabled)"), 0) << run.all();
    EXPECT_GE(run.find("host objects alive at exit: none"), 0) << run.all();
}

TEST(Hostsim, StatusFollowsTheSessionFromStandardInput)
{
    const SimRun run = runHostsim(kModule + " -", "status\nanalyse\nstatus\nquit\necho after quit\n");
    ASSERT_EQ(run.status, 0) << run.all();
    const int first = run.find("module lock count: 0");
    ASSERT_GE(first, 0) << run.all();
    EXPECT_EQ(run.find("registered windows: none"), first + 1);
    EXPECT_EQ(run.find("analyse show mode: 0"), first + 2);
    const int second = run.find("module lock count: 2", first);
    ASSERT_GT(second, first) << run.all();
    EXPECT_EQ(run.find("registered windows: \"kvCAnalyseDlg\" (visible)"), second + 1);
    EXPECT_EQ(run.find("analyse show mode: 1"), second + 2);
    EXPECT_EQ(run.find("after quit"), -1);
    // At the end the window is closed and only the connection's lock is left.
    EXPECT_GE(run.find("window \"kvCAnalyseDlg\" closed"), 0) << run.all();
    EXPECT_GE(run.find("module lock count at exit: 1"), 0) << run.all();
    EXPECT_GE(run.find("host objects alive at exit: none"), 0) << run.all();
}

TEST(Hostsim, FailuresShowInTheExitStatus)
{
    const SimRun bad = runHostsim(kModule + " -", "echo fine\nfrobnicate\nlanguage\n");
    EXPECT_EQ(bad.status, 2) << bad.all();
    EXPECT_NE(bad.err.find("line 2: unknown command 'frobnicate'"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("line 3: language:"), std::string::npos) << bad.err;
    EXPECT_GE(bad.find("fine"), 0);

    const SimRun noModule = runHostsim("--module /nonexistent/kvAnalyse.so --demo");
    EXPECT_EQ(noModule.status, 1);
    EXPECT_NE(noModule.err.find("cannot load"), std::string::npos) << noModule.err;
    EXPECT_EQ(runHostsim(kModule + " /nonexistent/script.txt").status, 1);
    EXPECT_EQ(runHostsim("--demo extra.txt").status, 1);
}

} // namespace
