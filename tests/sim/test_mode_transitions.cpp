// What a change of the analysis window's mode leaves behind and what it
// clears, as the user sees it in the panel, the buttons and the view.
#include "hostsim_runner.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using hostsim_test::Played;
using hostsim_test::playSession;

} // namespace

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
