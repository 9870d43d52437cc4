// What a transition of the analysis window leaves behind: after a mode
// change, the command run again, or the window closed and opened again,
// nothing cleared is saved, paired, turned or coloured, and the frame drawn
// is the frame the shown coordinates are measured from; and what the mode
// change shows in their place, in the panel, the buttons and the view.
#include "hostsim_runner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using hostsim_test::Played;
using hostsim_test::playSession;

namespace {

// Half of hole 1 (radius 5, its axis along z at (20, 40)), picked through
// its opening: the panel shows diameter 10.
const std::string kHolePick = "pick 20 40 60 0 5 -40\n";
// The same hole from another place on the screen: a new pick, not a repeat.
const std::string kHolePickAgain = "pick 20 40 61 0 5 -40\n";

// The line of the window's buttons that says how the Save button stands.
std::string saveButton(const Played& p, const std::string& from)
{
    const std::string buttons = p.after(from, "buttons");
    const std::size_t at = buttons.find("save (");
    return at == std::string::npos ? "(missing)" : buttons.substr(at, buttons.find(')', at) - at + 1);
}

// How many lines after the line holding from hold part, up to the line
// holding to (or the end).
int countBetween(const Played& p, const std::string& from, const std::string& to, const std::string& part)
{
    int n = 0;
    const int first = p.find(from);
    if (first < 0)
        return -1;
    for (int i = first + 1; i < static_cast<int>(p.lines.size()); ++i) {
        if (!to.empty() && p.lines[i].find(to) != std::string::npos)
            break;
        if (p.lines[i].find(part) != std::string::npos)
            ++n;
    }
    return n;
}

// Every way the window clears a shown result of mode 1, ending back in mode 1.
struct Clearing {
    const char* name;
    const char* lines;
};
const Clearing kClearings[] = {
    {"mode 2 and back", "mode 2\nmode 1\n"},
    {"mode 3 and back", "mode 3\nmode 1\n"},
    {"mode 4 and back", "mode 4\nmode 1\n"},
    {"mode 5 and back", "mode 5\nmode 1\n"},
    {"every mode in turn", "mode 2\nmode 3\nmode 4\nmode 5\nmode 1\n"},
    {"a pair started in mode 2", "mode 2\npick 20 10 100 0 0 -1\nmode 1\n"},
    {"a pair finished in mode 2", "mode 2\npick 20 10 100 0 0 -1\npick 95 30 100 0 0 -1\nmode 1\n"},
    {"the command run again", "analyse\n"},
    {"the command run again after mode 2", "mode 2\nanalyse\nmode 1\n"},
    {"the window closed and opened again", "close\nanalyse\nmode 1\n"},
};

} // namespace

// A shown diameter, then a clearing: Save is hidden, and nothing of the
// cleared diameter reaches the model.
TEST(TransitionSave, AClearedResultIsNeverSaved)
{
    for (const Clearing& c : kClearings) {
        const Played p = playSession("analyse\nmode 1\n" + kHolePick + "echo == shown\nshow window\n" + c.lines +
                                     "echo == cleared\nshow window\npress save\nentities\nclose\n");
        ASSERT_EQ(p.errors, 0) << c.name << "\n" << p.all();
        EXPECT_EQ(saveButton(p, "== shown"), "save (shown, enabled)") << c.name;
        EXPECT_EQ(saveButton(p, "== cleared"), "save (hidden, enabled)") << c.name << "\n" << p.all();
        EXPECT_TRUE(p.has("button save cannot be pressed (hidden or disabled)")) << c.name;
        EXPECT_EQ(p.after("== cleared", "model entities"), "0") << c.name << "\n" << p.all();
        EXPECT_EQ(p.after("== cleared", "Diameter"), "(missing)") << c.name;
    }
}

// After a clearing, the next diameter brings Save back and is saved as a
// diameter of 10 always was: two extension lines, the dimension line, the
// text "10" and six arrowhead polylines, on layer "Analyse" in red.
TEST(TransitionSave, TheNextResultIsSavedWhole)
{
    for (const Clearing& c : kClearings) {
        const Played p = playSession("analyse\nmode 1\n" + kHolePick + c.lines + kHolePickAgain +
                                     "echo == again\nresults\nshow window\npress save\nentities\nclose\n");
        ASSERT_EQ(p.errors, 0) << c.name << "\n" << p.all();
        EXPECT_EQ(p.after("== again", "Diameter"), "[x] 10") << c.name;
        EXPECT_EQ(saveButton(p, "== again"), "save (shown, enabled)") << c.name;
        EXPECT_EQ(p.after("== again", "model entities"), "10") << c.name << "\n" << p.all();
        EXPECT_EQ(countBetween(p, "model entities", "insert brackets", "layer \"Analyse\"  colour 0x0000ff"), 10)
            << c.name;
        EXPECT_EQ(countBetween(p, "model entities", "insert brackets", "text \"10\" height 3"), 1) << c.name;
        EXPECT_EQ(countBetween(p, "model entities", "insert brackets", "  polyline "), 6) << c.name;
    }
}

// A pair measured and saved in mode 2, then mode 1 and back: Save is hidden
// again and the pair is not written a second time.
TEST(TransitionSave, APairIsNotSavedAgainAfterTheModeChanged)
{
    const Played p = playSession("analyse\nmode 2\npick 20 10 100 0 0 -1\npick 95 30 100 0 0 -1\npress save\n"
                                 "echo == saved\nentities\nentities clear\nmode 1\nmode 2\necho == back\n"
                                 "show window\npress save\nentities\nclose\n");
    ASSERT_EQ(p.errors, 0) << p.all();
    EXPECT_NE(p.after("== saved", "model entities"), "0") << p.all();
    EXPECT_EQ(saveButton(p, "== back"), "save (hidden, enabled)");
    EXPECT_EQ(p.after("== back", "model entities"), "0") << p.all();
}

// The results of a single pick belong in the first element's lines: a pair
// measured before in mode 2 leaves no second element for mode 1 to fill.
TEST(ModeTransitions, APickInModeOneAfterAPairShowsTheFacesColourAndName)
{
    const Played p = playSession("analyse\nmode 2\npick 20 10 100 0 0 -1\npick 50 30 -50 0 0 1\nmode 1\n"
                                 "echo == top\npick 25 15 100 0 0 -1\nresults\nclose\n");
    ASSERT_EQ(p.errors, 0) << p.all();
    EXPECT_EQ(p.after("== top", "Type"), "Plane") << p.all();
    EXPECT_EQ(p.after("== top", "Color"), "192,192,192") << p.all();
    EXPECT_EQ(p.after("== top", "Name"), "[ ] Silver") << p.all();
}

// The pick marker marks the element of the mode it was picked in.
TEST(ModeTransitions, ThePickMarkerLeavesTheViewWithTheModeChange)
{
    const Played p = playSession("analyse\nmode 1\npick 25 15 100 0 0 -1\necho == picked\nshow view\n"
                                 "mode 2\necho == mode 2\nshow view\nclose\n");
    ASSERT_EQ(p.errors, 0) << p.all();
    const int picked = p.find("== picked");
    const int changed = p.find("== mode 2");
    ASSERT_GT(changed, picked) << p.all();
    const int marker = p.find("marker of 4 corners", picked);
    EXPECT_GT(marker, picked) << p.all();
    EXPECT_LT(marker, changed) << p.all();
    EXPECT_EQ(p.find("marker of 4 corners", changed), -1) << p.all();
    // Only the frame is left: one group of one entity.
    const int shown = p.find("view shows:", changed);
    ASSERT_GT(shown, changed) << p.all();
    ASSERT_GT(static_cast<int>(p.lines.size()), shown + 3) << p.all();
    EXPECT_EQ(p.lines[shown + 1].rfind("  group ", 0), 0u) << p.all();
    EXPECT_EQ(p.lines[shown + 2].rfind("    coordinate system", 0), 0u) << p.all();
    EXPECT_NE(p.lines[shown + 3].rfind("  ", 0), 0u) << p.all();
}

// "Show faces" colours the faces of the lists of modes 3 and 4; in mode 2
// there is nothing for it to show.
TEST(ModeTransitions, ShowFacesIsHiddenInModeTwoAndCannotBePressed)
{
    const Played p = playSession("analyse\nmode 2\necho == two\nshow window\npress show-faces\nmode 3\n"
                                 "echo == three\nshow window\nclose\n");
    ASSERT_EQ(p.errors, 0) << p.all();
    EXPECT_EQ(p.find("button show-faces cannot be pressed (hidden or disabled)"), p.find("== three") - 2) << p.all();
    EXPECT_EQ(p.find("pressed show-faces"), -1) << p.all();
    const int two = p.find("== two"), three = p.find("== three");
    ASSERT_GT(three, two) << p.all();
    const int buttons2 = p.find("buttons: ", two), buttons3 = p.find("buttons: ", three);
    ASSERT_GT(buttons2, two) << p.all();
    ASSERT_GT(buttons3, three) << p.all();
    EXPECT_NE(p.lines[buttons2].find("show-faces (hidden"), std::string::npos) << p.lines[buttons2];
    EXPECT_NE(p.lines[buttons3].find("show-faces (shown, enabled)"), std::string::npos) << p.lines[buttons3];
}

// The selection analysis shows the faces and checks "Show faces"; leaving
// modes 3 and 4 for any other mode unchecks it, whether the mode list or a
// caller's write into "AnalyseMode" makes the change, and a mode no entry
// stands for among them.
TEST(ModeTransitions, LeavingTheListModesUnchecksShowFacesTheSelectionChecked)
{
    const char* const changes[] = {"write AnalyseMode 7\n", "write AnalyseMode 1\n", "write AnalyseMode 5\n",
                                   "mode 1\n", "mode 2\n", "mode 5\n"};
    for (const char* change : changes) {
        SCOPED_TRACE(change);
        const Played p = playSession(std::string("analyse\nmode 3\nselect faces 111 113 121\nmode 4\nselect none\n"
                                                 "echo == shown\nshow buttons\n") +
                                     change + "echo == left\nshow buttons\nclose\n");
        ASSERT_EQ(p.errors, 0) << p.all();
        EXPECT_NE(p.after("== shown", "buttons").find("show-faces (shown, enabled, checked)"), std::string::npos)
            << p.all();
        const std::string left = p.after("== left", "buttons");
        const std::size_t at = left.find("show-faces (");
        ASSERT_NE(at, std::string::npos) << p.all();
        EXPECT_EQ(left.substr(at, left.find(')', at) - at).find("checked"), std::string::npos) << p.all();
    }
}

// Every clearing ends a pair: the next pick in mode 2 is a first element,
// whatever was picked before the clearing and in which mode. The top is a
// plane: as a first element, AnalyseType 7 with its face in "Info face 1".
TEST(TransitionPair, TheNextPickInModeTwoIsAFirstElement)
{
    const Clearing befores[] = {
        {"the tilted face in mode 1", "mode 1\npick 95 30 100 0 0 -1\nmode 2\n"},
        {"the hole in mode 1", "mode 1\n" "pick 20 40 60 0 5 -40\nmode 2\n"},
        {"a first pick in mode 2, then mode 1 and back", "mode 2\npick 95 30 100 0 0 -1\nmode 1\nmode 2\n"},
        {"a first pick in mode 2, then mode 3 and back", "mode 2\npick 95 30 100 0 0 -1\nmode 3\nmode 2\n"},
        {"a first pick in mode 2, then mode 4 and back", "mode 2\npick 95 30 100 0 0 -1\nmode 4\nmode 2\n"},
        {"a first pick in mode 2, then mode 5 and back", "mode 2\npick 95 30 100 0 0 -1\nmode 5\nmode 2\n"},
        {"a first pick in mode 2, then the command again", "mode 2\npick 95 30 100 0 0 -1\nanalyse\n"},
        {"a pick in mode 3", "mode 3\npick 95 30 100 0 0 -1\nmode 2\n"},
        {"a pick in mode 4", "mode 4\npick 95 30 100 0 0 -1\nmode 2\n"},
        {"a pick in mode 5", "mode 5\npick 95 30 100 0 0 -1\nmode 2\n"},
    };
    for (const Clearing& b : befores) {
        const Played p = playSession(std::string("analyse\n") + b.lines +
                                     "pick 20 10 100 0 0 -1\necho == after\nresults\nclose\n");
        ASSERT_EQ(p.errors, 0) << b.name << "\n" << p.all();
        EXPECT_EQ(p.after("== after", "AnalyseType"), "7") << b.name << "\n" << p.all();
        EXPECT_EQ(p.after("== after", "Type"), "Plane") << b.name;
        EXPECT_EQ(p.after("== after", "Distance"), "(missing)") << b.name;
        EXPECT_EQ(p.after("== after", "Drill hole Angle"), "(missing)") << b.name;
    }
}

// The pair that follows a clearing is measured between the two picks made
// after it: the tilted face and the top are 60 degrees apart (their normals
// are), a plane pair of AnalyseType 16 showing the angle between the faces,
// 120.
TEST(TransitionPair, APairAfterAClearingIsTheTwoNewPicks)
{
    const Played p = playSession("analyse\nmode 1\npick 50 10 100 0 0 -1\nmode 2\npick 95 30 100 0 0 -1\n"
                                 "pick 20 10 100 0 0 -1\necho == pair\nresults\nclose\n");
    ASSERT_EQ(p.errors, 0) << p.all();
    EXPECT_EQ(p.after("== pair", "AnalyseType"), "16") << p.all();
    EXPECT_EQ(p.after("== pair", "Angle"), "[x] 120") << p.all();
}

// A turn of the tool by the mouse, then mode 1 or 2: neither a move nor a
// pick there draws the tool or its handles, and the pick is measured (the
// top, a plane: AnalyseType 7 alone in mode 1 and as a first element).
TEST(TransitionMouseTurn, LeavingModeFiveEndsATurnOfEveryHandle)
{
    for (const char* mode : {"1", "2"}) {
        for (const char* handle : {"A", "B", "C"}) {
            for (const char* turned : {"", "move 30 28 60\nmove 30 40 60\n"}) {
                const Played p = playSession(
                    std::string("job DemoMill 60 45 40\njob-tool 6 30 30 40\nanalyse-job\nhandle ") + handle +
                    "\n" + turned + "mode " + mode +
                    "\necho == left\nmove 30 28 60\nmove 40 40 60\npick 20 10 100 0 0 -1\nresults\nshow view\n"
                    "close\n");
                const std::string name = std::string("mode ") + mode + ", handle " + handle;
                ASSERT_EQ(p.errors, 0) << name << "\n" << p.all();
                EXPECT_EQ(countBetween(p, "== left", "closed", "cylinder radius"), 0) << name << "\n" << p.all();
                EXPECT_EQ(countBetween(p, "== left", "closed", "handle circle"), 0) << name << "\n" << p.all();
                EXPECT_EQ(p.after("== left", "AnalyseType"), "7") << name << "\n" << p.all();
                EXPECT_EQ(p.after("== left", "Type"), "Plane") << name;
            }
        }
    }
}

// The job's command run again while the tool is being turned: the tool is
// placed anew, and the mouse no longer turns it.
TEST(TransitionMouseTurn, TheCommandRunAgainEndsATurn)
{
    const Played p = playSession("job DemoMill 60 45 40\njob-tool 6 30 30 40\nanalyse-job\nhandle A\n"
                                 "move 30 28 60\nmove 30 40 60\nanalyse-job\necho == again\ntoolpos\n"
                                 "move 30 28 60\nmove 40 40 60\necho == moved\ntoolpos\nclose\n");
    ASSERT_EQ(p.errors, 0) << p.all();
    const std::string again = p.after("== again", "angles A");
    EXPECT_EQ(p.after("== moved", "angles A"), again) << p.all();
    EXPECT_EQ(p.after("== moved", "collision check").find("Not checked"), std::string::npos) << p.all();
}

// Back in mode 5 after a turn was left: the mouse no longer turns the tool,
// and the angle the turn reached is checked where it stands.
TEST(TransitionMouseTurn, ModeFiveComesBackWithNoTurnGoing)
{
    const Played p = playSession("job DemoMill 60 45 40\njob-tool 6 30 30 40\nanalyse-job\nhandle A\n"
                                 "move 30 28 60\nmove 30 40 60\necho == turned\ntoolpos\nmode 1\nmode 5\n"
                                 "echo == back\ntoolpos\nmove 30 28 60\nmove 40 40 60\necho == moved\ntoolpos\n"
                                 "close\n");
    ASSERT_EQ(p.errors, 0) << p.all();
    const std::string turned = p.after("== turned", "angles A");
    EXPECT_NE(turned, "0, B 0, C 0") << p.all();
    EXPECT_EQ(p.after("== back", "angles A"), turned);
    EXPECT_EQ(p.after("== moved", "angles A"), turned) << p.all();
    EXPECT_EQ(p.after("== back", "collision check").find("Not checked"), std::string::npos) << p.all();
}

// Closed in mode 3 or 4 with faces selected and shown, opened again: the
// list is empty, so "Show faces" is off and every face keeps its own colour.
TEST(TransitionReopen, ListButtonAndColoursAgreeInModesThreeAndFour)
{
    for (const char* mode : {"3", "4"}) {
        for (const char* faces : {"101 102 107", "111 113 121"}) {
            const Played p = playSession(std::string("analyse\nmode ") + mode + "\nselect faces " + faces +
                                         "\necho == before\nshow window\ncolours changed\nclose\n"
                                         "colours check\nanalyse\necho == again\nshow window\nrows\n"
                                         "colours changed\nclose\ncolours check\n");
            ASSERT_EQ(p.errors, 0) << mode << "\n" << p.all();
            const std::string again = p.after("== again", "buttons");
            EXPECT_NE(again.find("show-faces (shown, enabled)"), std::string::npos) << mode << " " << again;
            EXPECT_EQ(countBetween(p, "== again", "analysis window closed", "list: 0 rows"), 1) << mode;
            EXPECT_EQ(countBetween(p, "== again", "analysis window closed", "no face changed"), 1)
                << mode << " " << faces << "\n" << p.all();
        }
    }
}

// Opened again in mode 4 and given a selection: the faces are shown and
// coloured by their groups, as on a first opening.
TEST(TransitionReopen, ASelectionAfterReopeningIsShown)
{
    const Played p = playSession("analyse\nmode 4\nselect faces 101 102 107\nclose\nanalyse\n"
                                 "select faces 101 102 107\necho == selected\nshow window\nrows\n"
                                 "colours changed\nclose\ncolours check\n");
    ASSERT_EQ(p.errors, 0) << p.all();
    EXPECT_NE(p.after("== selected", "buttons").find("show-faces (shown, enabled, checked)"), std::string::npos);
    EXPECT_EQ(countBetween(p, "== selected", "analysis window closed", "list: 2 rows"), 1) << p.all();
    EXPECT_EQ(countBetween(p, "== selected", "analysis window closed", "(own #c0c0c0)"), 3) << p.all();
}

namespace {

// The origin of the one coordinate system the view shows after the line
// holding from ("(missing)" when none, "(several)" when more than one).
std::string frameShown(const Played& p, const std::string& from)
{
    const int shows = p.find("view shows:", p.find(from));
    if (shows < 0)
        return "(missing)";
    std::string found = "(missing)";
    for (int i = shows + 1; i < static_cast<int>(p.lines.size()) && p.lines[i].rfind("  ", 0) == 0; ++i) {
        const std::size_t at = p.lines[i].find("coordinate system at ");
        if (at == std::string::npos)
            continue;
        if (found != "(missing)")
            return "(several)";
        const std::size_t open = p.lines[i].find('(', at);
        found = p.lines[i].substr(open, p.lines[i].find(')', open) - open + 1);
    }
    return found;
}

} // namespace

// The job changed while the window is open: the frame drawn moves to the new
// job's frame, from which the shown pick point is measured. The top at
// (20, 15, 40) is (-10, -5, 0) from (30, 20, 40).
TEST(TransitionFrame, AnotherJobsFrameIsDrawnAndMeasuredFrom)
{
    const Played p = playSession("job DemoMill 60 45 40\njob-tool 6 30 30 40\nanalyse-job\necho == first\n"
                                 "show view\njob DemoMill 30 20 40\njob-tool 6 30 30 40\nanalyse-job\n"
                                 "echo == second\nshow view\nmode 1\npick 20 15 100 0 0 -1\necho == picked\n"
                                 "results\nshow view\nclose\n");
    ASSERT_EQ(p.errors, 0) << p.all();
    EXPECT_EQ(frameShown(p, "== first"), "(60, 45, 40)") << p.all();
    EXPECT_EQ(frameShown(p, "== second"), "(30, 20, 40)") << p.all();
    EXPECT_EQ(p.after("== picked", "Pick point"), "X-10, Y-5, Z0");
    EXPECT_EQ(frameShown(p, "== picked"), "(30, 20, 40)") << p.all();
}

// In mode 1 the command is run with a job, without one, and with a job
// again: each time the frame drawn is the one the pick point is measured
// from (the model's own origin without a job).
TEST(TransitionFrame, TheFrameDrawnFollowsTheJobSetRemovedAndSetAgain)
{
    const Played p = playSession(
        "analyse\nmode 1\necho == no job\nshow view\n"
        "job DemoMill 60 45 40\njob-tool 6 30 30 40\nanalyse-job\nmode 1\npick 20 15 100 0 0 -1\n"
        "echo == job\nresults\nshow view\n"
        "analyse\nmode 1\npick 20 16 100 0 0 -1\necho == removed\nresults\nshow view\n"
        "job DemoMill 30 20 40\njob-tool 6 30 30 40\nanalyse-job\nmode 1\npick 20 17 100 0 0 -1\n"
        "echo == again\nresults\nshow view\n"
        "analyse-job\nmode 1\npick 20 18 100 0 0 -1\necho == same job\nresults\nshow view\nclose\n");
    ASSERT_EQ(p.errors, 0) << p.all();
    EXPECT_EQ(frameShown(p, "== no job"), "(0, 0, 0)") << p.all();
    EXPECT_EQ(p.after("== job", "Pick point"), "X-40, Y-30, Z0");
    EXPECT_EQ(frameShown(p, "== job"), "(60, 45, 40)") << p.all();
    EXPECT_EQ(p.after("== removed", "Pick point"), "X20, Y16, Z40");
    EXPECT_EQ(frameShown(p, "== removed"), "(0, 0, 0)") << p.all();
    EXPECT_EQ(p.after("== again", "Pick point"), "X-10, Y-3, Z0");
    EXPECT_EQ(frameShown(p, "== again"), "(30, 20, 40)") << p.all();
    EXPECT_EQ(p.after("== same job", "Pick point"), "X-10, Y-2, Z0");
    EXPECT_EQ(frameShown(p, "== same job"), "(30, 20, 40)") << p.all();
}
