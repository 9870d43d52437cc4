// The simulator's window-control commands: the demo's field dialog made by
// the library's factories, and the analysis window's layout saved and
// restored; a restore without a stored layout is reported with its line.
#include "hostsim_runner.h"

#include <string>

namespace {

using hostsim_test::kModule;
using hostsim_test::runHostsim;
using hostsim_test::SimRun;

} // namespace

TEST(ControlsCommands, TheDemoShowsTheFactoryFieldsAndASavedLayout)
{
    const SimRun o = runHostsim(kModule + " --demo");
    ASSERT_EQ(0, o.status) << o.err;
    EXPECT_TRUE(o.has("field dialog open: \"PushButton\" Apply, \"CheckBox\" ShowKonkave, \"ColorButton\" CadColor"));
    EXPECT_TRUE(o.has("DrawThemeText part=1 state=5 \"Apply\"")) << o.text();
    EXPECT_TRUE(o.has("  signal: push button clicked"));
    EXPECT_TRUE(o.has("  signal: value of ShowKonkave written: true"));
    EXPECT_TRUE(o.has("context menu: \"Reset to original\"\n  signal: value of ShowKonkave written: false"));
    EXPECT_TRUE(o.has("palette closed\n  signal: value of CadColor written: #969696")) << o.text();
    EXPECT_TRUE(o.has("colour dialog opened with #969696, solid colours only\n"
                      "  signal: value of CadColor written: #336699"));
    EXPECT_TRUE(o.has("colour button CadColor = #336699 (modified, null allowed)"));
    EXPECT_TRUE(o.has("analysis window opened and registered as \"kvCAnalyseDlg\"\npalette closed\n"))
        << "the palette closes when the analysis window comes up";
    EXPECT_TRUE(o.has("analysis window closed, unregistered\npalette open below the colour button"));
    EXPECT_TRUE(o.has("DrawFrameControl (1,1,99,23) type=4 state=0x2010")) << "classic drawing";
    EXPECT_TRUE(o.has("field dialog closed; GDI objects alive: 0"));
    EXPECT_TRUE(o.has("saved layout of the single-face panel under HKEY_CURRENT_USER\\Software\\Tarnwell\\Layouts\\"
                      "demo\\single-face panel"));
    EXPECT_TRUE(o.has("restored layout of the single-face panel"));
    EXPECT_TRUE(o.err.empty()) << o.err;
}

TEST(ControlsCommands, MistakesNameTheirLine)
{
    const SimRun o = runHostsim(kModule + " -", "controls click push\ncontrols open\ncontrols keys left\ncontrols close\nanalyse\n"
                              "mode 1\nlayout restore never-saved\nclose\ncontrols open\ncontrols click color\n"
                              "controls more abc def ghi\ncontrols more 1e2 0x10 -0\ncontrols more 12 0 256\n"
                              "controls more 12.7 0 0\ncontrols keys escape\ncontrols show\ncontrols close\n"
                              "controls open extra\ncontrols open\ncontrols show extra\ncontrols reset extra\n"
                              "controls close extra\ncontrols close\nanalyse\nlayout save \\\nlayout save " +
                                  std::string(256, 'n') + "\nclose\n");
    EXPECT_NE(std::string::npos, o.err.find("line 1: controls: no field dialog open")) << o.err;
    EXPECT_NE(std::string::npos, o.err.find("line 3: controls: no palette open")) << o.err;
    EXPECT_NE(std::string::npos, o.err.find("line 7: layout: no stored layout fits the single-face panel")) << o.err;
    // A colour part is a whole number 0 to 255, or the line is refused.
    for (const char* line : {"line 11: controls: a colour part is a whole number from 0 to 255, not 'abc'",
                             "line 12: controls: a colour part is a whole number from 0 to 255, not '1e2'",
                             "line 13: controls: a colour part is a whole number from 0 to 255, not '256'",
                             "line 14: controls: a colour part is a whole number from 0 to 255, not '12.7'"})
        EXPECT_NE(std::string::npos, o.err.find(line)) << line << "\n" << o.err;
    // Words after a command that takes none are refused, not ignored.
    for (const char* line : {"line 18: controls: controls open|", "line 20: controls: controls open|",
                             "line 21: controls: controls open|", "line 22: controls: controls open|"})
        EXPECT_NE(std::string::npos, o.err.find(line)) << line << "\n" << o.err;
    // The registry refuses an empty key name and one past 255 characters.
    EXPECT_NE(std::string::npos, o.err.find("line 25: layout: the layout could not be saved")) << o.err;
    EXPECT_NE(std::string::npos, o.err.find("line 26: layout: the layout could not be saved")) << o.err;
    EXPECT_FALSE(o.has("colour dialog opened")) << o.text();
    EXPECT_TRUE(o.has("colour button CadColor = #FF0000 (null allowed)")) << o.text();
    EXPECT_TRUE(o.has("field dialog closed; GDI objects alive: 0")) << o.text();
}

// Painting the controls and ending without an analysis lets the module
// unload: the session closes its field dialog (and the palette on it) first,
// and nothing of the module is left behind; the sanitized run detects leaks.
TEST(ControlsCommands, ASessionEndingWithThePaletteOpenUnloadsTheModuleCleanly)
{
    const SimRun o = runHostsim(kModule + " -", "controls open\ncontrols show\ncontrols click color\n");
    EXPECT_EQ(0, o.status) << o.all();
    EXPECT_TRUE(o.err.empty()) << o.err;
    EXPECT_TRUE(o.has("field dialog closed; GDI objects alive: 0\nmodule lock count at exit: 0")) << o.text();
}

// After an analysis the module stays loaded to the end of the process; the
// palette reopened after the analysis window closed is torn down cleanly.
TEST(ControlsCommands, APaletteReopenedAfterAnAnalysisEndsCleanlyWithTheModuleLoaded)
{
    const SimRun o = runHostsim(kModule + " -",
                                "controls open\ncontrols click color\nanalyse\nclose\ncontrols click color\n");
    EXPECT_EQ(0, o.status) << o.all();
    EXPECT_TRUE(o.err.empty()) << o.err;
    EXPECT_TRUE(o.has("module lock count at exit: 1")) << o.text();
}

// The push button is clicked as a user clicks: its dialog comes to the
// front, and the palette open on the colour button closes as it does for the
// check box.
TEST(ControlsCommands, ClickingThePushButtonClosesAnOpenPalette)
{
    const SimRun o = runHostsim(kModule + " -", "controls open\ncontrols click color\ncontrols click push\n"
                                                "controls palette\ncontrols close\n");
    ASSERT_EQ(0, o.status) << o.all();
    EXPECT_TRUE(o.has("  signal: push button clicked\npalette closed")) << o.text();
}

// Each panel keeps its own stored layout: the single-face and the
// tool-position panels share a template, yet mode 1 restores its own.
TEST(ControlsCommands, ALayoutIsStoredForItsPanel)
{
    const SimRun o = runHostsim(kModule + " -", "analyse\nmode 1\nresize 600 700\nlayout save x\nresize 700 700\n"
                                                "mode 5\nlayout save x\nmode 1\nlayout restore x\nclose\n");
    ASSERT_EQ(0, o.status) << o.all();
    const int restored = o.find("restored layout of the single-face panel under HKEY_CURRENT_USER\\Software\\Tarnwell\\"
                                "Layouts\\x\\single-face panel (the panel is laid out from it at its next size change)");
    ASSERT_GE(restored, 0) << o.text();
    EXPECT_EQ("  node 0 at (0,0,584,562)", o.lines[static_cast<size_t>(restored) + 1]) << o.text();
    EXPECT_TRUE(o.has("saved layout of the tool-position panel under HKEY_CURRENT_USER\\Software\\Tarnwell\\"
                      "Layouts\\x\\tool-position panel")) << o.text();
}
