// Radius and plane analysis end to end: the host selects faces, the lists
// group them, the faces are coloured and every face gets its own colour back.
#include "face_selection.h"
#include "group_list_rows.h"
#include "hostsim_runner.h"
#include "script.h"
#include "session.h"
#include "window_query.h"

#include "sdk/kvPropertyCtrl.h"

#include <gtest/gtest.h>

#include <cstdio>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

using namespace hostsim;

namespace {

using Transcript = hostsim_test::Played;

// Plays the script; look, when given, sees the session before it ends.
Transcript play(const std::string& script, const std::function<void(Session&)>& look = nullptr)
{
    return hostsim_test::playSession(script, look);
}

const std::string kOpen = "feedback UseFLColorTable true\n"
                          "feedback FLColorTable 0x0000ff|0x00c000|0x0080ff\n"
                          "analyse\n";

TEST(MultiFaceSession, TheSamplePartsPlanesGroupByTheirAngleToTheFrame)
{
    const Transcript t = play(kOpen + "mode 4\nselect all\nelapse 100\nrows\nset AngleSteps 50\nrows\nclose\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    const int rows = t.find("list: 4 rows");
    ASSERT_GE(rows, 0) << t.all();
    EXPECT_EQ(t.find("  0  count 3  first 0", rows), rows + 1) << t.all();
    EXPECT_EQ(t.find("  45  count 1  first 45", rows), rows + 2) << t.all();
    EXPECT_EQ(t.find("  60  count 1  first 60", rows), rows + 3) << t.all();
    // The four sides of the block and the pocket's four walls.
    EXPECT_EQ(t.find("  90  count 8  first 90", rows), rows + 4) << t.all();
    // Coarser steps: 45 and 60 share the 50 degree group.
    const int coarse = t.find("list: 3 rows", rows);
    ASSERT_GT(coarse, rows) << t.all();
    EXPECT_EQ(t.find("  50  count 2  first 45", coarse), coarse + 2) << t.all();
}

TEST(MultiFaceSession, HalvesOfOneHoleAreNoRadiusFaceButHalvesOfTwoHolesAre)
{
    const Transcript t = play(kOpen + "mode 3\nselect faces 111 112\nrows\nselect faces 111 113\nrows\nclose\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    // One hole's halves: faces present, none passing: the one empty row.
    const int first = t.find("list: 1 row");
    ASSERT_GE(first, 0) << t.all();
    EXPECT_EQ(t.find("  0  count 0  first 0", first), first + 1) << t.all();
    const int second = t.find("list: 1 row", first + 1);
    ASSERT_GT(second, first) << t.all();
    EXPECT_EQ(t.find("  5  count 2  first 5", second), second + 1) << t.all();
}

TEST(MultiFaceSession, TenElementsRunAtOnceAndElevenAfterTheTimer)
{
    const Transcript t = play(kOpen +
                              "mode 4\nselect faces 101 102 103 104 105 106 107 108 132 111\nrows\n"
                              "select faces 101 102 103 104 105 106 107 108 132 111 112\nrows\nelapse 100\nrows\n"
                              "select none\nrows\nclose\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    const int ten = t.find("selected 10 elements");
    EXPECT_EQ(t.find("list: 4 rows", ten), ten + 1) << t.all();
    // Eleven: the list still shows the earlier run until the timer fires.
    const int eleven = t.find("selected 11 elements");
    ASSERT_GT(eleven, ten) << t.all();
    EXPECT_EQ(t.find("  0  count 3", eleven), eleven + 2) << t.all();
    const int fired = t.find("100 ms passed", eleven);
    EXPECT_EQ(t.find("  0  count 3", fired), fired + 2) << t.all();
    // An empty selection empties the list.
    const int none = t.find("selected 0 elements", fired);
    EXPECT_EQ(t.find("list: 0 rows", none), none + 1) << t.all();
}

TEST(MultiFaceSession, EveryFaceGetsItsOwnColourBackAfterTheSelectionChanged)
{
    const Transcript t = play(kOpen +
                              "mode 4\nselect all\nelapse 100\nrow select 4\n"
                              "select faces 101 107\n"
                              "echo == changed\ncolours changed\n"
                              "press show-faces\necho == off\ncolours check\n"
                              "press show-faces\nmode 3\nselect group 121 122\nmode 4\nclose\ncolours check\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    // Faces of the first selection that the second neither selects nor
    // lists get their own colour back at once (they kept the group colours
    // of a list that no longer showed them); switching off gives every face
    // its own colour back.
    const int changed = t.find("== changed");
    ASSERT_GT(changed, 0) << t.all();
    EXPECT_EQ(t.find("face 103 front", changed), -1) << t.all();
    EXPECT_GT(t.find("face 101 ", changed), changed) << t.all();
    const int off = t.find("== off");
    EXPECT_EQ(t.find("every face of the sample part has its own colour and layer", off), off + 1) << t.all();
    // Switching modes and closing with faces coloured also gives them back.
    const int closed = t.find("analysis window closed");
    EXPECT_EQ(t.find("every face of the sample part has its own colour and layer", closed), closed + 1) << t.all();
}

TEST(MultiFaceSession, FacesOfTheSelectedGroupsGoOnLayersNamedAfterTheirRadius)
{
    const Transcript t = play(kOpen + "mode 3\nselect faces 121 122 111 113\nrow select 1 2\nmenu 10\n"
                                      "colours changed\nclose\ncolours check\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    EXPECT_GE(t.find("  10 Write faces on separate layers <Analyse_R3..."), 0) << t.all();
    const int face121 = t.find("face 121 fillet back left:");
    ASSERT_GE(face121, 0) << t.all();
    EXPECT_NE(t.lines[face121].find("layer Analyse_R3 (was Roundings)"), std::string::npos) << t.all();
    const int face111 = t.find("face 111 hole 1, first half:");
    ASSERT_GE(face111, 0) << t.all();
    EXPECT_NE(t.lines[face111].find("layer Analyse_R5 (was Holes)"), std::string::npos) << t.all();
    // The layer stays after the window closes; the colour goes back.
    EXPECT_GE(t.find("0 faces show another colour, 4 lie on another layer"), 0) << t.all();
}

TEST(MultiFaceSession, GroupColoursComeFromTheTableInTurnAndAHiddenGroupStillUsesOne)
{
    const Transcript t = play(kOpen + "mode 4\nselect all\nelapse 100\nrows\n"
                                      "row tick 3 off\necho == hidden\ncolours changed\n"
                                      "row select 3\necho == selected\ncolours changed\nclose\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    // Three colours for four groups: the fourth takes the first again.
    const int rows = t.find("list: 4 rows");
    ASSERT_GE(rows, 0) << t.all();
    EXPECT_NE(t.lines[rows + 1].find("#ff0000  0"), std::string::npos) << t.all();
    EXPECT_NE(t.lines[rows + 2].find("#00c000  45"), std::string::npos) << t.all();
    EXPECT_NE(t.lines[rows + 3].find("#ff8000  60"), std::string::npos) << t.all();
    EXPECT_NE(t.lines[rows + 4].find("#ff0000  90"), std::string::npos) << t.all();
    // The 60 degree face keeps the base colour; the walls keep their group's.
    const int hidden = t.find("== hidden");
    EXPECT_GT(t.find("face 108 tilted 120: #ffffff", hidden), hidden) << t.all();
    EXPECT_GT(t.find("face 103 front: #ff0000", hidden), hidden) << t.all();
    // Selected, the hidden group shows the highlight colour.
    const int selected = t.find("== selected");
    EXPECT_GT(t.find("face 108 tilted 120: #af0000", selected), selected) << t.all();
}

// Coming back to mode 3 or 4 over a list without rows: "Show faces" ends
// off, the list is empty and every face shows its own colour, however the
// selection was made (in the same mode, or changed while the other mode
// was shown). The selection's own run painted the faces in the base colour.
TEST(MultiFaceSession, ComingBackOverAListWithoutRowsLeavesShowFacesOffAndTheOwnColours)
{
    const struct {
        const char* name;
        const char* script;
    } sequences[] = {
        {"two planes, mode 3 and back", "mode 3\nselect faces 101 102\nmode 1\nmode 3\n"},
        {"two roundings, mode 4 and back", "mode 4\nselect faces 121 133\nmode 3\nmode 4\n"},
        {"planes selected in mode 4", "mode 4\nselect faces 121 133\nmode 3\nmode 4\nselect faces 101 102\nmode 3\n"},
    };
    for (const auto& sequence : sequences) {
        SCOPED_TRACE(sequence.name);
        const Transcript t = play(kOpen + sequence.script + "echo == back\nshow window\nrows\ncolours changed\n"
                                                            "close\ncolours check\n");
        ASSERT_EQ(t.errors, 0) << t.all();
        const std::string buttons = t.after("== back", "buttons");
        EXPECT_NE(buttons.find("show-faces (shown, enabled)"), std::string::npos) << t.all();
        EXPECT_EQ(buttons.find("show-faces (shown, enabled, checked)"), std::string::npos) << t.all();
        const int back = t.find("== back");
        EXPECT_GT(t.find("list: 0 rows", back), back) << t.all();
        EXPECT_GT(t.find("  no face changed", back), back) << t.all();
        EXPECT_TRUE(t.has("every face of the sample part has its own colour and layer")) << t.all();
    }
}

// The same comings back over lists with rows: the button is checked and the
// groups painted, as the selection's run left them.
TEST(MultiFaceSession, ComingBackOverAListWithRowsShowsItsGroups)
{
    const struct {
        const char* name;
        const char* script;
        const char* rows;
    } sequences[] = {
        {"two roundings in mode 3", "mode 3\nselect faces 121 133\nmode 1\nmode 3\n", "list: 2 rows"},
        {"two planes in mode 4", "mode 4\nselect faces 101 102\nmode 3\nmode 4\n", "list: 1 row"},
    };
    for (const auto& sequence : sequences) {
        SCOPED_TRACE(sequence.name);
        const Transcript t = play(kOpen + sequence.script + "echo == back\nshow window\nrows\ncolours changed\n"
                                                            "close\ncolours check\n");
        ASSERT_EQ(t.errors, 0) << t.all();
        EXPECT_NE(t.after("== back", "buttons").find("show-faces (shown, enabled, checked)"), std::string::npos)
            << t.all();
        const int back = t.find("== back");
        EXPECT_GT(t.find(sequence.rows, back), back) << t.all();
        EXPECT_EQ(t.find("  no face changed", back), -1) << t.all();
        EXPECT_TRUE(t.has("every face of the sample part has its own colour and layer")) << t.all();
    }
}

// After coming back over an empty list, a new selection is analysed and
// shown as any selection is; "Show faces" pressed over the empty list paints
// the host's selection in the base colour. Closing gives every face its own
// colour back.
TEST(MultiFaceSession, AfterComingBackANewSelectionOrAPressShowsTheFaces)
{
    const Transcript t = play(kOpen + "mode 3\nselect faces 101 102\nmode 1\nmode 3\nselect faces 121 133\n"
                                      "echo == selected\nshow window\nrows\ncolours changed\nselect faces 101 102\n"
                                      "mode 1\nmode 3\npress show-faces\necho == pressed\nshow window\n"
                                      "colours changed\nclose\ncolours check\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    EXPECT_NE(t.after("== selected", "buttons").find("show-faces (shown, enabled, checked)"), std::string::npos)
        << t.all();
    const int selected = t.find("== selected");
    EXPECT_GT(t.find("list: 2 rows", selected), selected) << t.all();
    EXPECT_GT(t.find("face 121 fillet back left: #00c000", selected), selected) << t.all();
    EXPECT_NE(t.after("== pressed", "buttons").find("show-faces (shown, enabled, checked)"), std::string::npos)
        << t.all();
    const int pressed = t.find("== pressed");
    EXPECT_GT(t.find("face 101 bottom: #ffffff (own #c0c0c0)", pressed), pressed) << t.all();
    EXPECT_GT(t.find("face 102 top: #ffffff (own #c0c0c0)", pressed), pressed) << t.all();
    EXPECT_TRUE(t.has("every face of the sample part has its own colour and layer")) << t.all();
}

TEST(MultiFaceSession, TheNavigatorWrapsAroundTheFacesOfTheGroup)
{
    const Transcript t = play(kOpen + "mode 4\nselect all\nelapse 100\nrow select 4\nmenu 7\n"
                                      "navigator previous\nnavigator next\nnavigator next\nclose\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    // Zoom In shows the first face; previous from it shows the last.
    const int last = t.find("navigator: 8/8");
    ASSERT_GE(last, 0) << t.all();
    const int first = t.find("navigator: 1/8", last);
    EXPECT_GT(first, last) << t.all();
    EXPECT_GT(t.find("navigator: 2/8", first), first) << t.all();
    // Every face shown is zoomed to: a point of a plane with the wide margin
    // of 25 on every side.
    const int box = t.find("[view] fitted to the box (");
    ASSERT_GE(box, 0) << t.all();
    double hi[3], lo[3];
    ASSERT_EQ(6, std::sscanf(t.lines[box].c_str(), "[view] fitted to the box (%lf, %lf, %lf) - (%lf, %lf, %lf)", &hi[0],
                             &hi[1], &hi[2], &lo[0], &lo[1], &lo[2]));
    for (int k = 0; k < 3; ++k)
        EXPECT_DOUBLE_EQ(50.0, hi[k] - lo[k]) << k;
}

TEST(MultiFaceSession, ListCommandsTickRowsAndTheMenuGreysWhatNeedsTwoSelectedRows)
{
    const Transcript t = play(kOpen + "mode 4\nselect all\nelapse 100\nrow select 2\nmenu 2\nrows\n"
                                      "row select 1 2\nmenu 4\nrows\nclose\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    // "All off" keeps only the selected row.
    const int menu = t.find("list menu:");
    EXPECT_GT(t.find("4 All selected on  (grey)", menu), menu) << t.all();
    const int off = t.find("list: 4 rows", menu);
    ASSERT_GT(off, menu) << t.all();
    EXPECT_EQ(t.lines[off + 1].substr(0, 5), "  [ ]") << t.all();
    EXPECT_EQ(t.lines[off + 2].substr(0, 5), "  [x]") << t.all();
    EXPECT_EQ(t.lines[off + 3].substr(0, 5), "  [ ]") << t.all();
    // With two rows selected "All selected on" is offered and ticks both.
    const int second = t.find("list menu:", off);
    EXPECT_GT(t.find("4 All selected on", second), second) << t.all();
    EXPECT_LT(t.find("4 All selected on  (grey)", second), 0) << t.all();
    const int on = t.find("list: 4 rows", second);
    EXPECT_EQ(t.lines[on + 1].substr(0, 5), "  [x]") << t.all();
    EXPECT_EQ(t.lines[on + 2].substr(0, 5), "  [x]") << t.all();
}

// A face group, and a quilt (one selected object standing for several
// faces, walked through the host's quilt look-up), are analysed face by face;
// only their faces are painted, and each gets its colour back.
TEST(MultiFaceSession, AFaceGroupOrQuiltIsAnalysedFaceByFaceAndItsFacesAreColouredAndRestored)
{
    const Transcript t = play(kOpen + "mode 4\nselect group 101 103 107\nrows\necho == coloured\n"
                                      "colours changed\nselect quilt 102 104\necho == quilt\ncolours changed\n"
                                      "press show-faces\necho == off\ncolours check\nclose\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    const int rows = t.find("list: 3 rows");
    ASSERT_GE(rows, 0) << t.all();
    const int coloured = t.find("== coloured");
    EXPECT_GT(t.find("face 101 bottom: #af0000", coloured), coloured) << t.all();
    EXPECT_GT(t.find("face 107 chamfer 45: #00c000", coloured), coloured) << t.all();
    // Only the group's faces were painted.
    const int quilt = t.find("== quilt");
    EXPECT_GT(t.find("face 102 top:", coloured), quilt) << t.all();
    EXPECT_EQ(t.find("face 102 top: #af0000", quilt), quilt + 1) << t.all();
    EXPECT_EQ(t.find("face 104 back: #00c000", quilt), quilt + 2) << t.all();
    const int off = t.find("== off");
    EXPECT_EQ(t.find("every face of the sample part has its own colour and layer", off), off + 1) << t.all();
}

} // namespace

namespace {

// A face picked in plane mode selects the list's row of its angle, and a
// radius shown in radius mode the row of that radius; the shown result stays.
TEST(MultiFaceSession, APickSelectsTheRowOfItsValue)
{
    const Transcript t = play(kOpen + "mode 4\nselect all\nelapse 100\nrow select 4\n"
                                      "pick 30 -10 50 0 1 -1\nrows\n"
                                      "mode 3\nselect all\nelapse 100\nrow select 3\n"
                                      "pick -10 70 20 1 -1 0\nrows\nclose\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    const int planes = t.find("[view] pick hits face 107");
    ASSERT_GE(planes, 0) << t.all();
    EXPECT_GT(t.find("45  count 1  first 45  <- selected", planes), planes) << t.all();
    const int radii = t.find("[view] pick hits face", t.find("chose \"Radius analyse\""));
    ASSERT_GE(radii, 0) << t.all();
    // Radius 3: the two vertical fillets, the two roundings along the top and the sphere corner.
    EXPECT_GT(t.find("  3  count 5  first 3  <- selected", radii), radii) << t.all();
}

} // namespace

namespace {

// A face named several times by a selection or a group counted once for
// each naming, and a half cylinder named twice paired with itself as a hole.
TEST(MultiFaceSession, EachFaceCountsOnceForEachNaming)
{
    const Transcript t = play(kOpen + "mode 4\nselect faces 102 102 102 102 102 102 102 102 102 102 102 102\n"
                                      "elapse 100\nrows\nmode 3\necho == group\nselect group 111 111 111\nrows\n"
                                      "echo == faces\nselect faces 111 111 111 111 113 113\nrows\nclose\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    EXPECT_GE(t.find("  0  count 1  first 0"), 0) << t.all();
    const int group = t.find("== group");
    EXPECT_EQ(t.find("  5  count 1  first 5", group), group + 3) << t.all();
    const int faces = t.find("== faces");
    EXPECT_EQ(t.find("  5  count 2  first 5", faces), faces + 3) << t.all();
}

// A document that was never given a selection, and a list menu that is
// asked for entries it does not have: the module showed an assertion and an
// exception box; the host has an empty selection and refuses the entries.
TEST(MultiFaceSession, AnEmptySelectionAndEntriesThatAreNoEntriesShowNoFailureOfTheModule)
{
    const Transcript t = play("analyse\nmode 3\npress show-faces\npress show-faces\nmode 4\npress show-faces\n"
                              "menu abc\nmenu 0\nmenu 99\nmenu -1\nmenu 3\nmenu 1\nclose\n");
    EXPECT_EQ(t.errors, 5) << t.all();
    EXPECT_EQ(t.all().find("assertion"), std::string::npos) << t.all();
    EXPECT_EQ(t.all().find("Exception in kvAnalyse"), std::string::npos) << t.all();
    EXPECT_NE(t.err.find("line 7: menu: not a menu entry: 'abc'"), std::string::npos) << t.err;
    EXPECT_NE(t.err.find("line 9: menu: the menu has no entry 99"), std::string::npos) << t.err;
    EXPECT_NE(t.err.find("line 11: menu: menu entry 3 cannot be chosen"), std::string::npos) << t.err;
}

// After "select none" the list was empty while the faces kept their group
// colours; a selection made in mode 1 was never analysed, and mode 3 showed
// the list of the selection before it.
TEST(MultiFaceSession, ListsAndColoursFollowTheHostsSelectionWhateverModeItWasMadeIn)
{
    const Transcript t = play(kOpen + "mode 3\nselect faces 121 122 111 113\nselect none\necho == none\n"
                                      "colours check\nmode 1\nselect faces 121 122\nmode 3\necho == back\nrows\n"
                                      "mode 1\nselect faces 111 113\nclose\nanalyse\nselect faces 103 104\nmode 4\n"
                                      "echo == walls\nrows\nmode 1\nselect faces 102\nmode 3\nmode 4\necho == top\n"
                                      "rows\nclose\ncolours check\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    const int none = t.find("== none");
    EXPECT_EQ(t.find("every face of the sample part has its own colour and layer", none), none + 1) << t.all();
    const int back = t.find("== back");
    EXPECT_EQ(t.find("  3  count 2  first 3", back), back + 2) << t.all();
    // The panel made after the selection analyses it, as the panel that was
    // there already does.
    const int walls = t.find("== walls");
    EXPECT_EQ(t.find("  90  count 2  first 90", walls), walls + 2) << t.all();
    const int top = t.find("== top");
    EXPECT_EQ(t.find("  0  count 1  first 0", top), top + 2) << t.all();
    EXPECT_GT(t.find("every face of the sample part has its own colour and layer", top), top) << t.all();
}

// Without the analyse show mode a change of the steps left the list grouped
// by the old steps, and switching the faces off painted them again. With
// colour attributes, colours and their kinds are read and given back
// through the attribute.
TEST(MultiFaceSession, DocumentsWithoutShowModeOrWithColourAttributesRegroupAndRestore)
{
    int attributeCalls = 0;
    bool kindsBack = true;
    const Transcript t = play("offer kvIBaseDocWithAnalyseShowMode off\noffer kvITDBaseDocument1 on\n" + kOpen +
                                  "mode 3\nselect faces 121 122 111 113\nset DiameterSteps 10\nrows\n"
                                  "press show-faces\necho == off\ncolours check\nclose\n",
                              [&](Session& s) {
                                  for (FaceEntity* e : documentSelection(s).entities()) {
                                      attributeCalls += e->attributeCalls();
                                      kindsBack = kindsBack && e->colourKind() == 0;
                                  }
                              });
    ASSERT_EQ(t.errors, 0) << t.all();
    const int steps = t.find("property \"DiameterSteps\" set to 10");
    EXPECT_EQ(t.find("list: 1 row", steps), steps + 1) << t.all();
    EXPECT_EQ(t.find("  0  count 4  first 3", steps), steps + 2) << t.all();
    const int off = t.find("== off");
    EXPECT_EQ(t.find("every face of the sample part has its own colour and layer", off), off + 1) << t.all();
    // One read and one write for each of the four faces.
    EXPECT_EQ(attributeCalls, 8);
    EXPECT_TRUE(kindsBack);
}

// The navigator's arrows are the module's icons 180 and 181; the lists and
// the panel answer their tooltips in both modes; the panel offers the CAD
// layer with the host's layer-and-colour chooser; and each panel of a mode
// keeps its own stored layout (both had control id 0, so the list's layout
// overwrote the panel's, which then could not be restored).
TEST(MultiFaceSession, PanelsCarryIconsTooltipsTheLayerChooserAndTheirOwnLayouts)
{
    kvCTwPropertyCtrlBase::Line layer;
    const Transcript t = play(kOpen + "mode 3\nselect faces 121 122\nnavigator\ntooltips list\ntooltips panel\n"
                                      "layout save R\nlayout restore R\nmode 4\ntooltips list\nlayout save P\n"
                                      "layout restore P\nmode 3\n",
                              [&](Session& s) {
                                  kvCTwPropertyCtrlBase* c = propertyControlShown(openAnalysisWindow(s));
                                  const auto* category = c ? c->findCategory(L"LayerColor") : nullptr;
                                  if (category && !category->lines.empty())
                                      layer = category->lines.back();
                              });
    ASSERT_EQ(t.errors, 0) << t.all();
    EXPECT_GE(t.find("buttons: previous icon 180 of kvAnalyse.so, next icon 181 of kvAnalyse.so"), 0) << t.all();
    const int radius = t.find("list tooltip next: Zooming in element");
    EXPECT_GE(radius, 0) << t.all();
    EXPECT_GE(t.find("list tooltip groups: (none)"), 0) << t.all();
    EXPECT_GE(t.find("panel tooltip properties: (none)"), 0) << t.all();
    EXPECT_GT(t.find("list tooltip previous: Zooming in element", t.find("Plane analyse")), radius) << t.all();
    for (const char* name : {"R", "P"})
        for (const char* panel : {"multi-face panel", std::string(name) == "R" ? "radius list" : "plane list"})
            EXPECT_GE(t.find(std::string("restored layout of the ") + panel +
                             " under HKEY_CURRENT_USER\\Software\\Tarnwell\\Layouts\\" + name + "\\" + panel +
                             " (the panel is laid out from it at its next size change)"),
                      0)
                << name << ' ' << panel << '\n'
                << t.all();
    EXPECT_EQ(std::wstring(layer.key.c_str()), L"CadLayer");
    EXPECT_EQ(std::wstring(layer.uiType.c_str()), L"UiLayerColorProperty");
    EXPECT_FALSE(layer.flag);
}

// A catalogue name's characters that do not print (an escape sequence,
// bells, backspaces, a tab, the no-break space) reached the panel raw, and
// the view and the saved text after it: all three show them escaped alike.
TEST(MultiFaceSession, UnprintableCharactersOfAColourNameAreShownEscaped)
{
    namespace fs = std::filesystem;
    const fs::path base = fs::path(testing::TempDir()) / ("catalog_names_" + std::to_string(getpid()));
    fs::create_directories(base / "feattech");
    std::ofstream(base / "feattech" / "kvColorCatalog.xml")
        << "<Color_Interface_Definition R=\"192\" G=\"192\" B=\"192\" Name=\"Sil\x1b[2Jver\a\b\xa0gr\tey\"/>\n";
    const Transcript t = play("basefolder " + base.string() + "\nanalyse\nmode 1\npick 10 20 100 0 0 -1\n"
                              "name-text on\nresults\npress save\nentities\n");
    fs::remove_all(base);
    ASSERT_EQ(t.errors, 0) << t.all();
    EXPECT_EQ(t.all().find_first_of("\x1b\a\b\t"), std::string::npos) << t.all();
    const std::string shown = "Sil\\x1b[2Jver\\x07\\x08\\u+00A0gr\\x09ey";
    EXPECT_GE(t.find("Name: [x] " + shown), 0) << t.all();
    EXPECT_GE(t.find("text \"  " + shown + "\" at "), 0) << t.all();
    EXPECT_GE(t.find("text \"  " + shown + "\" height "), 0) << t.all();
}

// The navigator steps through the faces of the group it was started on: a
// new selection makes new groups, and the navigator goes off with the old.
TEST(MultiFaceSession, ANewSelectionTurnsTheNavigatorOff)
{
    const Transcript t = play(kOpen + "mode 4\nselect all\nelapse 100\nrow select 4\nmenu 7\nnavigator next\n"
                                      "select faces 101 102 103\necho == new selection\nnavigator\nclose\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    EXPECT_GE(t.find("navigator: 2/8"), 0) << t.all();
    const int after = t.find("== new selection");
    ASSERT_GT(after, 0) << t.all();
    EXPECT_EQ(t.find("navigator: (off)", after), after + 1) << t.all();
}

// Auto zoom on: each group chosen starts at its own first face, whichever
// face of the group before was shown.
TEST(MultiFaceSession, AnotherGroupChosenStartsAtItsFirstFace)
{
    const Transcript t = play(kOpen + "mode 4\nselect all\nelapse 100\nmenu 8\nrow select 4\nnavigator next\n"
                                      "navigator next\necho == third\nnavigator\nrow select 1\necho == flat\n"
                                      "navigator\nclose\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    const int third = t.find("== third");
    ASSERT_GT(third, 0) << t.all();
    EXPECT_EQ(t.find("navigator: 3/8", third), third + 1) << t.all();
    // The 0 degree group: the bottom, the top and the boss's top.
    const int flat = t.find("== flat");
    ASSERT_GT(flat, third) << t.all();
    EXPECT_EQ(t.find("navigator: 1/3", flat), flat + 1) << t.all();
    EXPECT_EQ(t.find("  Face 1 angle 0  <- shown", flat), flat + 2) << t.all();
}

namespace {

using hostsim_test::rowsAfter;
using hostsim_test::ShownRows;

// Four plane groups at steps of 2: 0, 44 (the chamfer's 45 rounds down to
// the group below), 60 and 90. The chamfer's 45 lies half a step above 44,
// which selects no row; the pocket floor's radius names no row of the
// radius list.
const std::string kFourPlaneGroups = kOpen + "mode 4\nselect faces 101 103 107 108\nset AngleSteps 2\n";
const std::string kChamferPick = "pick 30 -10 50 0 1 -1\n";
const std::string kEveryRadius = kOpen + "mode 3\nselect all\nelapse 100\n";
const std::string kPocketFloorPick = "pick 50 10 100 0 0 -1\n";

} // namespace

// Auto zoom: a pick whose value selects no row clears the list's selection,
// and with it every row is unticked, in the plane list and in the radius
// list alike; so does the user's clearing of the selection.
TEST(MultiFaceSession, InAutoZoomAClearedSelectionUnticksEveryRow)
{
    const struct {
        const char* name;
        std::string script;
        std::string ticks;
    } cases[] = {
        {"planes", kFourPlaneGroups + "menu 8\nrow select 4\n" + kChamferPick, "    "},
        {"radii", kEveryRadius + "menu 8\nrow select 2\n" + kPocketFloorPick, "   "},
        {"by the user", kFourPlaneGroups + "menu 8\nrow select 4\nrow select none\n", "    "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Transcript t = play(c.script + "echo == picked\nrows\nnavigator\nclose\ncolours check\n");
        ASSERT_EQ(t.errors, 0) << t.all();
        const ShownRows rows = rowsAfter(t, "== picked");
        EXPECT_EQ(rows.ticks, c.ticks) << t.all();
        EXPECT_EQ(rows.selected, 0) << t.all();
        EXPECT_NE(t.after("== picked", "navigator").find("(off)"), std::string::npos) << t.all();
        EXPECT_TRUE(t.has("every face of the sample part has its own colour and layer")) << t.all();
    }
}

// Beside it: in auto zoom a pick that selects one row keeps that row alone
// ticked; out of auto zoom a cleared selection unticks nothing.
TEST(MultiFaceSession, APickKeepsItsRowInAutoZoomAndOutOfItUnticksNothing)
{
    const Transcript matched =
        play(kOpen + "mode 4\nselect faces 101 103 107 108\nmenu 8\nrow select 4\n" + kChamferPick +
             "echo == picked\nrows\nclose\n");
    ASSERT_EQ(matched.errors, 0) << matched.all();
    const ShownRows one = rowsAfter(matched, "== picked");
    EXPECT_EQ(one.ticks, " x  ") << matched.all();
    EXPECT_EQ(one.selected, 1) << matched.all();

    for (const std::string& script : {kFourPlaneGroups + "row select 4\n" + kChamferPick,
                                      kEveryRadius + "row select 2\n" + kPocketFloorPick,
                                      kFourPlaneGroups + "row select 4\nrow select none\n"}) {
        const Transcript t = play(script + "echo == picked\nrows\nclose\n");
        ASSERT_EQ(t.errors, 0) << t.all();
        const ShownRows rows = rowsAfter(t, "== picked");
        EXPECT_EQ(rows.ticks, std::string(rows.ticks.size(), 'x')) << t.all();
        EXPECT_FALSE(rows.ticks.empty()) << t.all();
        EXPECT_EQ(rows.selected, 0) << t.all();
    }
}

// A job's frame turned by 0.0004 degrees about X: the chamfer lies at
// 45.0004 (or 44.9996) degrees, and its line reads 45, half a step above the
// 44 row at steps of 2, which names no row. The pick selects the row of the
// face's own angle: 46 (or 44), and the angle it drew stays drawn (the
// single-face panel, made in mode 1, holds the result).
TEST(MultiFaceSession, APlanePickSelectsTheRowOfItsExactAngleNotOfItsRoundedText)
{
    const struct {
        const char* tilt;
        const char* row;
    } cases[] = {{"-0.0004", "  46  count 1  first 45  <- selected"}, {"0.0004", "  44  count 1  first 45  <- selected"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tilt);
        const Transcript t = play(std::string("analyse job DMU50 0 0 0 ") + c.tilt +
                                  "\nmode 1\nmode 4\nselect faces 101 103 107 108\nset AngleSteps 2\n" + kChamferPick +
                                  "echo == picked\nrows\nselect none\nclose\n");
        ASSERT_EQ(t.errors, 0) << t.all();
        const int picked = t.find("== picked");
        const int hit = t.find("pick hits face 107");
        EXPECT_GT(t.find("text \"45\"", hit), hit) << t.all();
        EXPECT_GT(t.find("released", hit), picked) << t.all();
        EXPECT_GT(t.find(c.row, picked), picked) << t.all();
        EXPECT_EQ(rowsAfter(t, "== picked").selected, 1) << t.all();
    }
}

// A pick selects the row of its value; the user's tick then works as ever:
// the unticked group's faces lose its colour, the others keep theirs.
TEST(MultiFaceSession, UntickingAGroupAfterAPickSelectedARowTakesItsColourOff)
{
    const Transcript t = play(kOpen + "mode 4\nselect all\nelapse 100\npick 30 -10 50 0 1 -1\nrows\n"
                                      "row tick 1 off\necho == unticked\ncolours changed\nclose\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    EXPECT_GE(t.find("  [x] #00c000  45  count 1  first 45  <- selected"), 0) << t.all();
    const int unticked = t.find("== unticked");
    ASSERT_GT(unticked, 0) << t.all();
    // The 0 degree group: the bottom, the top and the boss's top take the
    // base colour; a wall keeps the 90 degree group's.
    for (const char* face : {"face 101 bottom: #ffffff", "face 102 top: #ffffff", "face 132 boss top: #ffffff",
                             "face 103 front: #ff0000"})
        EXPECT_GT(t.find(face, unticked), unticked) << face << '\n' << t.all();
}

// Undercuts hidden: every radius face of the sample part is convex or
// concave to the frame (with convex ones hidden only the radius 2 row is
// left), so the three rows stay as they are, with all their faces.
TEST(MultiFaceSession, HidingUndercutsKeepsTheConvexAndConcaveFaces)
{
    const Transcript t = play(kOpen + "mode 3\nselect all\nelapse 100\nset ShowUndercut false\n"
                                      "echo == no undercuts\nrows\nclose\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    const int rows = t.find("list: 3 rows", t.find("== no undercuts"));
    ASSERT_GT(rows, 0) << t.all();
    EXPECT_NE(t.lines[rows + 1].find("  2  count 1  first 2"), std::string::npos) << t.all();
    EXPECT_NE(t.lines[rows + 2].find("  3  count 5  first 3"), std::string::npos) << t.all();
    EXPECT_NE(t.lines[rows + 3].find("  78  count 1  first 78.488"), std::string::npos) << t.all();
}

// The colours of the groups are the radius list's: leaving its mode gives
// the faces their own colours back then, not when the window closes.
TEST(MultiFaceSession, LeavingRadiusModeGivesEveryFaceItsOwnColourBackAtOnce)
{
    const Transcript t = play(kOpen + "mode 3\nselect faces 121 122 111 113\necho == coloured\ncolours changed\n"
                                      "mode 1\necho == left\ncolours check\nclose\n");
    ASSERT_EQ(t.errors, 0) << t.all();
    const int coloured = t.find("== coloured");
    EXPECT_EQ(t.find("face 111 hole 1, first half: #00c000", coloured), coloured + 1) << t.all();
    const int left = t.find("== left");
    ASSERT_GT(left, coloured) << t.all();
    EXPECT_EQ(t.find("every face of the sample part has its own colour and layer", left), left + 1) << t.all();
}

} // namespace
