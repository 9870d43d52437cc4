// The simulator's window-control commands: the demo's field dialog made by
// the library's factories, and the analysis window's layout saved and
// restored; a restore without a stored layout is reported with its line.
#include "hostsim_runner.h"

#include "platform/windows.h"

#include <string>
#include <vector>

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
    EXPECT_TRUE(o.has("  signal: value of ShowKonkave written: true"));
    EXPECT_TRUE(o.has("context menu: \"Reset to original\"\n  signal: value of ShowKonkave written: false"));
    EXPECT_TRUE(o.has("palette closed\n  signal: value of CadColor written: #969696")) << o.text();
    EXPECT_TRUE(o.has("colour dialog opened with #969696, solid colours only\n"
                      "  signal: value of CadColor written: #336699"));
    EXPECT_TRUE(o.has("colour button CadColor = #336699 (modified, null allowed)"));
    EXPECT_TRUE(o.has("analysis window opened and registered as \"kvCAnalyseDlg\"\npalette closed\n"))
        << "the palette closes when the analysis window comes up";
    EXPECT_TRUE(o.has("analysis window closed, unregistered\npalette open below the colour button"));
    EXPECT_TRUE(o.has("  signal: push button clicked\npalette closed")) << "a click elsewhere closes the palette";
    EXPECT_TRUE(o.has("DrawFrameControl (1,1,99,23) type=4 state=0x2010")) << "classic drawing";
    // The tool-position panel shares the single-face panel's template; each
    // restores its own layout.
    const int restored = o.find("restored layout of the single-face panel under HKEY_CURRENT_USER\\Software\\"
                                "Tarnwell\\Layouts\\demo\\single-face panel (the panel is laid out from it at its "
                                "next size change)");
    ASSERT_GE(restored, 0) << o.text();
    EXPECT_EQ("  node 0 at (0,0,458,558)", o.lines[static_cast<size_t>(restored) + 1]) << o.text();
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
    const std::string part = "controls: a colour part is a whole number from 0 to 255, not ";
    const std::string usage = "controls: controls open|";
    // A colour part is a whole number 0 to 255; words after a command that
    // takes none are refused, not ignored; the registry refuses an empty key
    // name and one past 255 characters.
    for (const std::string& line : std::vector<std::string>{
             "line 1: controls: no field dialog open", "line 3: controls: no palette open",
             "line 7: layout: no stored layout fits the single-face panel", "line 11: " + part + "'abc'",
             "line 12: " + part + "'1e2'", "line 13: " + part + "'256'", "line 14: " + part + "'12.7'",
             "line 18: " + usage, "line 20: " + usage, "line 21: " + usage, "line 22: " + usage,
             "line 25: layout: the layout could not be saved", "line 26: layout: the layout could not be saved"})
        EXPECT_NE(std::string::npos, o.err.find(line)) << line << "\n" << o.err;
    EXPECT_FALSE(o.has("colour dialog opened")) << o.text();
    EXPECT_TRUE(o.has("colour button CadColor = #FF0000 (null allowed)")) << o.text();
    EXPECT_TRUE(o.has("field dialog closed; GDI objects alive: 0")) << o.text();
}

// A session ending with the palette open ends cleanly whether the module
// unloads (no analysis ran) or stays loaded to the end of the process: the
// sanitized run would report a leak or a use after free. The field dialog is
// closed before the module may unload.
TEST(ControlsCommands, ASessionEndingWithThePaletteOpenEndsCleanly)
{
    for (const std::string after : {"", "analyse\nclose\ncontrols click color\n"}) {
        const SimRun o = runHostsim(kModule + " -", "controls open\ncontrols show\ncontrols click color\n" + after);
        EXPECT_TRUE(o.status == 0 && o.err.empty()) << o.all();
        EXPECT_TRUE(o.has("field dialog closed; GDI objects alive: 0\nmodule lock count at exit: " +
                          std::string(after.empty() ? "0" : "1")))
            << o.text();
    }
}

namespace {

struct StoredLayouts : hostsim_test::InProcessSession {
    // Writes a DWORD value of a stored layout's key.
    void store(const std::wstring& path, const wchar_t* name, DWORD value)
    {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_WRITE, &key));
        RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        RegCloseKey(key);
    }
};

} // namespace

// The multi-face panel's property control takes the whole of the panel's
// growth in width. A stored layout that gives it half is no layout of the
// panel: the restore is refused, and grown by 120, the control still grows
// by 120, as it does in a window that never restored anything.
TEST_F(StoredLayouts, ALayoutWhoseFactorsDoNotMakeTheWholeIsRefusedAndTheOneInUseIsKept)
{
    const std::string saved = run("analyse\nmode 3\nlayout save halves\n");
    ASSERT_TRUE(hasLine(saved, "    node 1070 at (12,10,449,150)")) << saved;
    store(L"Software\\Tarnwell\\Layouts\\halves\\multi-face panel\\Node 0", L"factor", 0x8000);
    const std::string refused = run("layout restore halves\nresize 600 800\nlayout show\n");
    EXPECT_NE(err.str().find("layout: no stored layout fits the multi-face panel; it is left as it was"),
              std::string::npos)
        << err.str();
    EXPECT_TRUE(hasLine(refused, "  node 0 at (0,0,584,662)")) << refused;
    EXPECT_TRUE(hasLine(refused, "    node 1070 at (12,10,569,150)")) << refused;
    err.str("");
    // Made whole again, the same store is taken.
    store(L"Software\\Tarnwell\\Layouts\\halves\\multi-face panel\\Node 0", L"factor", 0x10000);
    const std::string taken = run("layout restore halves\nclose\n");
    EXPECT_TRUE(has(taken, "restored layout of the multi-face panel under ")) << taken << err.str();
}
