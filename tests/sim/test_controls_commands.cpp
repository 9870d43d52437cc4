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
    EXPECT_TRUE(o.has("saved layout of panel 0 under HKEY_CURRENT_USER\\Software\\Tarnwell\\Layouts\\demo\\Panel 0"));
    EXPECT_TRUE(o.has("restored layout of panel 0"));
    EXPECT_TRUE(o.err.empty()) << o.err;
}

TEST(ControlsCommands, MistakesNameTheirLine)
{
    const SimRun o = runHostsim(kModule + " -", "controls click push\ncontrols open\ncontrols keys left\ncontrols close\nanalyse\n"
                              "mode 1\nlayout restore never-saved\nclose\ncontrols open\ncontrols click color\n"
                              "controls more abc def ghi\ncontrols more 1e2 0x10 -0\ncontrols more 12 0 256\n"
                              "controls more 12.7 0 0\ncontrols keys escape\ncontrols show\ncontrols close\n");
    EXPECT_NE(std::string::npos, o.err.find("line 1: controls: no field dialog open")) << o.err;
    EXPECT_NE(std::string::npos, o.err.find("line 3: controls: no palette open")) << o.err;
    EXPECT_NE(std::string::npos, o.err.find("line 7: layout: no stored layout fits the panel")) << o.err;
    // A colour part is a whole number 0 to 255, or the line is refused.
    for (const char* line : {"line 11: controls: a colour part is a whole number from 0 to 255, not 'abc'",
                             "line 12: controls: a colour part is a whole number from 0 to 255, not '1e2'",
                             "line 13: controls: a colour part is a whole number from 0 to 255, not '256'",
                             "line 14: controls: a colour part is a whole number from 0 to 255, not '12.7'"})
        EXPECT_NE(std::string::npos, o.err.find(line)) << line << "\n" << o.err;
    EXPECT_FALSE(o.has("colour dialog opened")) << o.text();
    EXPECT_TRUE(o.has("colour button CadColor = #FF0000 (null allowed)")) << o.text();
    EXPECT_TRUE(o.has("field dialog closed; GDI objects alive: 0")) << o.text();
}
