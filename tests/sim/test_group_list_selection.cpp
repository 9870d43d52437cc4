// The radius and plane lists' selection end to end: the row an evaluation
// selects and the rows a pick selects are taken up as the user's change of
// the selection is, in auto zoom and out of it, and the faces' colours follow
// the ticks.
#include "group_list_rows.h"
#include "hostsim_runner.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using hostsim_test::Played;
using hostsim_test::rowsAfter;
using hostsim_test::ShownRows;

Played play(const std::string& script)
{
    return hostsim_test::playSession(script);
}

const std::string kOpen = "feedback UseFLColorTable true\n"
                          "feedback FLColorTable 0x0000ff|0x00c000|0x0080ff\n"
                          "analyse\n";
// What every scenario looks at once it has run.
const std::string kLook = "echo == now\nrows\nnavigator\ncolours changed\nclose\ncolours check\n";
const std::string kOwnColours = "every face of the sample part has its own colour and layer";
const std::string kChamferPick = "pick 30 -10 50 0 1 -1\n";

// The colour a face shows after the line holding from.
std::string colourAfter(const Played& t, const std::string& from, const std::string& face)
{
    const int at = t.find("  face " + face + " ", t.find(from));
    if (at < 0)
        return "(unchanged)";
    const std::string& line = t.lines[static_cast<std::size_t>(at)];
    const std::size_t colour = line.find(": #");
    return colour == std::string::npos ? "(none)" : line.substr(colour + 2, 7);
}

struct AutoZoomCase {
    const char* name;
    std::string script;
    std::string ticks;
    std::string navigator;
    std::string firstEntry;
    // Faces of row 0's group (highlighted) and of unticked groups (base).
    std::vector<std::string> highlighted, base;
};

// In auto zoom the ticks and the colours tell what is shown: after the list
// is evaluated again, row 0 alone is selected and ticked, the navigator
// walks its faces from the first, and the view fits that face. Gives back
// what the session printed.
Played expectRowZeroAloneShown(const AutoZoomCase& c)
{
    SCOPED_TRACE(c.name);
    const Played t = play(c.script + kLook);
    EXPECT_EQ(t.errors, 0) << t.all();
    const ShownRows rows = rowsAfter(t, "== now");
    EXPECT_EQ(rows.ticks, c.ticks) << t.all();
    EXPECT_EQ(rows.selection, "*" + std::string(c.ticks.size() - 1, ' ')) << t.all();
    const int navigator = t.find("navigator: ", t.find("== now"));
    EXPECT_GT(navigator, 0) << t.all();
    if (navigator > 0) {
        EXPECT_EQ(t.lines[static_cast<std::size_t>(navigator)].rfind("navigator: " + c.navigator + ";", 0), 0u)
            << t.all();
        EXPECT_EQ(t.lines[static_cast<std::size_t>(navigator) + 1], "  " + c.firstEntry + "  <- shown") << t.all();
    }
    for (const std::string& face : c.highlighted)
        EXPECT_EQ(colourAfter(t, "== now", face), "#af0000") << face << '\n' << t.all();
    for (const std::string& face : c.base)
        EXPECT_EQ(colourAfter(t, "== now", face), "#ffffff") << face << '\n' << t.all();
    EXPECT_TRUE(t.has(kOwnColours)) << t.all();
    return t;
}

// The last fit of the view before the line holding to: the box's low and
// high corners.
bool lastFitBefore(const Played& t, const std::string& to, double low[3], double high[3])
{
    const int end = t.find(to);
    for (int i = end - 1; i >= 0; --i)
        if (std::sscanf(t.lines[static_cast<std::size_t>(i)].c_str(),
                        "[view] fitted to the box (%lf, %lf, %lf) - (%lf, %lf, %lf)", &high[0], &high[1], &high[2],
                        &low[0], &low[1], &low[2]) == 6)
            return true;
    return false;
}

} // namespace

// The 60 degree row (or the radius-5 row) chosen in auto zoom, then every
// face selected: the list is evaluated again and shows row 0's group alone.
TEST(GroupListSelection, InAutoZoomANewSelectionShowsRowZeroAlone)
{
    const AutoZoomCase cases[] = {
        {"planes", kOpen + "mode 4\nselect faces 101 103 107 108\nmenu 8\nrow select 3\nselect all\nelapse 100\n",
         "x   ", "1/3", "Face 1 angle 0", {"101", "102", "132"}, {"103", "107", "108", "152"}},
        {"radii", kOpen + "mode 3\nselect faces 121 122 111 113\nmenu 8\nrow select 2\nselect all\nelapse 100\n",
         "x  ", "1/1", "Face 1 min. radius 2", {"133"}, {"121", "141", "151"}},
    };
    const Played t = expectRowZeroAloneShown(cases[0]);
    expectRowZeroAloneShown(cases[1]);

    // The view fits the first face of the 0 degree group: a point of the
    // bottom (its centre) with the wide margin of 25.
    double low[3], high[3];
    ASSERT_TRUE(lastFitBefore(t, "== now", low, high)) << t.all();
    const double centre[3] = {50, 30, 0};
    for (int k = 0; k < 3; ++k) {
        EXPECT_DOUBLE_EQ(centre[k] - 25, low[k]) << k;
        EXPECT_DOUBLE_EQ(centre[k] + 25, high[k]) << k;
    }
}

// The same when the list is evaluated on coming back to its mode, or after
// a change of the step or the range.
TEST(GroupListSelection, InAutoZoomComingBackOrAChangedStepOrRangeShowsRowZeroAlone)
{
    const std::string everyRadius = kOpen + "mode 3\nselect all\nelapse 100\nmenu 8\nrow select 2\n";
    const std::string everyPlane = kOpen + "mode 4\nselect all\nelapse 100\nmenu 8\nrow select 3\n";
    const AutoZoomCase cases[] = {
        {"radii, mode 1 and back", everyRadius + "mode 1\nmode 3\n", "x  ", "1/1", "Face 1 min. radius 2",
         {"133"}, {"121", "151"}},
        {"planes, mode 3 and back", everyPlane + "mode 3\nmode 4\n", "x   ", "1/3", "Face 1 angle 0",
         {"101", "102", "132"}, {"103", "107", "108"}},
        {"planes, a step of 2", everyPlane + "set AngleSteps 2\n", "x   ", "1/3", "Face 1 angle 0",
         {"101", "102", "132"}, {"103", "107", "108"}},
        // From 2.5 on, the radius-3 group is row 0.
        {"radii, a range from 2.5", everyRadius + "set MinDiameter 2.5\n", "x ", "1/5", "Face 1 min. radius 3",
         {"121", "122", "141"}, {"133", "151"}},
    };
    for (const AutoZoomCase& c : cases)
        expectRowZeroAloneShown(c);
}

// A first run in auto zoom paints row 0's group alone; its faces' own
// colours were saved as each was first painted, and closing the window gives
// every face its own colour back.
TEST(GroupListSelection, AFirstRunInAutoZoomShowsRowZeroAndClosingGivesTheOwnColoursBack)
{
    expectRowZeroAloneShown({"planes", kOpen + "mode 4\nmenu 8\nselect all\nelapse 100\n", "x   ", "1/3",
                             "Face 1 angle 0", {"101", "102", "132"}, {"103", "107", "108", "121", "151"}});
}

// A list without rows selects nothing: nothing is zoomed to and the
// navigator stays off.
TEST(GroupListSelection, InAutoZoomAListWithoutRowsSelectsAndShowsNothing)
{
    const Played t = play(kOpen + "mode 4\nmenu 8\nselect faces 121 133\necho == fillets\n" + kLook);
    ASSERT_EQ(t.errors, 0) << t.all();
    EXPECT_TRUE(t.has("list: 0 rows")) << t.all();
    EXPECT_FALSE(t.has("[view] fitted to the box")) << t.all();
    EXPECT_NE(t.after("== now", "navigator").find("(off)"), std::string::npos) << t.all();
    EXPECT_TRUE(t.has(kOwnColours)) << t.all();
}

// In auto zoom a navigator on row 0's faces goes off when the next
// evaluation leaves the list without rows: a selection of no face, or of
// faces that make no group. No row is selected to tell the list so; the
// evaluation itself resets it.
TEST(GroupListSelection, InAutoZoomAnEvaluationLeavingNoRowsTurnsTheNavigatorOffItsStaleFaces)
{
    const struct {
        const char* name;
        std::string script;
    } cases[] = {
        {"planes, no face", "mode 4\nmenu 8\nselect faces 101 103 107 108\nelapse 100\nnavigator\nselect none\n"},
        {"planes, fillets", "mode 4\nmenu 8\nselect faces 101 103 107 108\nelapse 100\nnavigator\n"
                            "select faces 121 133\n"},
        {"radii, no face", "mode 3\nmenu 8\nselect faces 121 122 111 113\nelapse 100\nnavigator\nselect none\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Played t = play(kOpen + c.script + "elapse 100\necho == now\nrows\nnavigator\n");
        ASSERT_EQ(t.errors, 0) << t.all();
        const int shown = t.find("  <- shown");
        ASSERT_GT(shown, 0) << "the navigator was on before: " << t.all();
        EXPECT_LT(shown, t.find("== now")) << t.all();
        EXPECT_EQ(t.after("== now", "list"), "0 rows") << t.all();
        EXPECT_NE(t.after("== now", "navigator").find("(off)"), std::string::npos) << t.all();
    }
}

// Out of auto zoom an evaluation leaves what it left before: every row
// ticked, row 0 selected and highlighted, the navigator off.
TEST(GroupListSelection, OutOfAutoZoomAnEvaluationTicksEveryRowAndTurnsTheNavigatorOff)
{
    const Played t = play(kOpen + "mode 4\nselect faces 101 103 107 108\nrow select 3\nrow tick 2 off\nmenu 7\n"
                                  "select all\nelapse 100\n" + kLook);
    ASSERT_EQ(t.errors, 0) << t.all();
    const ShownRows rows = rowsAfter(t, "== now");
    EXPECT_EQ(rows.ticks, "xxxx") << t.all();
    EXPECT_EQ(rows.selection, "*   ") << t.all();
    EXPECT_NE(t.after("== now", "navigator").find("(off)"), std::string::npos) << t.all();
    EXPECT_EQ(colourAfter(t, "== now", "101"), "#af0000") << t.all();
    EXPECT_EQ(colourAfter(t, "== now", "107"), "#00c000") << t.all();
    EXPECT_EQ(colourAfter(t, "== now", "108"), "#ff8000") << t.all();
}

// After a clearing the group selected last keeps the highlight, also when it
// is hidden: a later refresh paints it so, in auto zoom (where the clearing
// unticks every row) and out of it.
TEST(GroupListSelection, AfterAClearingTheLastSelectedGroupKeepsItsHighlightThoughHidden)
{
    const struct {
        const char* name;
        std::string script;
    } cases[] = {
        {"out of auto zoom", "row select 4\nrow tick 4 off\nrow select none\nrow tick 2 off\n"},
        {"auto zoom", "menu 8\nrow select 4\nrow select none\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Played t = play(kOpen + "mode 4\nselect all\nelapse 100\n" + c.script + kLook);
        ASSERT_EQ(t.errors, 0) << t.all();
        const ShownRows rows = rowsAfter(t, "== now");
        EXPECT_EQ(rows.selected, 0) << t.all();
        EXPECT_EQ(rows.ticks[3], ' ') << t.all();
        for (const char* wall : {"103", "106", "152", "155"})
            EXPECT_EQ(colourAfter(t, "== now", wall), "#af0000") << wall << '\n' << t.all();
        EXPECT_EQ(colourAfter(t, "== now", "107"), "#ffffff") << t.all();
    }
}

// Out of auto zoom, a pick selects its row while the row before is still
// selected: the picked row's tick goes to every selected row, as when the
// user adds a row to the selection, and the faces follow.
TEST(GroupListSelection, APickSelectingARowBesideASelectedRowGivesThatRowTheMatchedRowsTick)
{
    const struct {
        const char* name;
        std::string script;
        std::string ticks;
        std::vector<std::string> base;
    } cases[] = {
        {"planes: the 90 row selected, the 45 row unticked, the chamfer picked",
         "mode 4\nselect all\nelapse 100\nrow select 4\nrow tick 2 off\n" + kChamferPick, "x x ",
         {"103", "106", "152", "155"}},
        {"radii: the 78 row selected, the radius-3 row unticked, fillet 121 picked",
         "mode 3\nselect all\nelapse 100\nrow select 3\nrow tick 2 off\npick -10 70 20 0.707107 -0.707107 0\n",
         "x  ", {"151"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Played t = play(kOpen + c.script + kLook);
        ASSERT_EQ(t.errors, 0) << t.all();
        const ShownRows rows = rowsAfter(t, "== now");
        EXPECT_EQ(rows.ticks, c.ticks) << t.all();
        EXPECT_EQ(rows.selection, std::string(" *") + std::string(c.ticks.size() - 2, ' ')) << t.all();
        for (const std::string& face : c.base)
            EXPECT_EQ(colourAfter(t, "== now", face), "#ffffff") << face << '\n' << t.all();
        EXPECT_TRUE(t.has(kOwnColours)) << t.all();
    }
}

// Beside it: a row cleared before the match keeps its tick, a pick of a
// ticked row changes no tick, and of several selected rows those after the
// match take its tick.
TEST(GroupListSelection, APickKeepsTheTicksOfRowsClearedBeforeItsMatch)
{
    const struct {
        const char* name;
        std::string before;
        std::string ticks;
    } cases[] = {
        {"the 0 row selected", "row select 1\nrow tick 2 off\n", "x xx"},
        {"the matched row ticked", "row select 4\n", "xxxx"},
        {"the 0 and 90 rows selected", "row select 1 4\nrow tick 2 off\n", "x x "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Played t = play(kOpen + "mode 4\nselect all\nelapse 100\n" + c.before + kChamferPick + kLook);
        ASSERT_EQ(t.errors, 0) << t.all();
        const ShownRows rows = rowsAfter(t, "== now");
        EXPECT_EQ(rows.ticks, c.ticks) << t.all();
        EXPECT_EQ(rows.selection, " *  ") << t.all();
    }
}

// "All off" sets the check boxes itself: with two rows selected the first
// stays ticked, though unticking the second by hand would untick both.
TEST(GroupListSelection, AllOffWithTwoRowsSelectedKeepsTheFirstOn)
{
    const Played t = play(kOpen + "mode 4\nselect all\nelapse 100\nrow select 2 4\nmenu 2\n" + kLook);
    ASSERT_EQ(t.errors, 0) << t.all();
    EXPECT_EQ(rowsAfter(t, "== now").ticks, " x  ") << t.all();
    EXPECT_EQ(colourAfter(t, "== now", "107"), "#af0000") << t.all();
    EXPECT_EQ(colourAfter(t, "== now", "103"), "#ffffff") << t.all();
}
