// The tool position end to end in the simulator: a job's analysis opens in
// mode 5 with the built module and the real collision library, and the test
// reads what the session printed and what the host holds afterwards.
#include "hostsim_runner.h"
#include "toolpos_host.h"
#include "../fixtures/stl_bytes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct ToolPosSession : hostsim_test::InProcessSession {
    void expectClosedClean(bool close = true)
    {
        const std::string closed = run(std::string(close ? "close\n" : "") + "libraries\ncensus\n");
        EXPECT_TRUE(hasLine(closed, "modules loaded through the resource manager: none")) << closed;
        EXPECT_TRUE(hasLine(closed, "host objects held by the module: none")) << closed;
        EXPECT_TRUE(err.str().empty()) << err.str();
    }
};

const char* const kTopFace = "job DemoMill 60 45 40\njob-tool 6 30 30 40\nanalyse-job\ntoolpos\n";
const char* const kBesideBoss = "job DemoMill 30 28 40\njob-tool 4 3.5 30 40\nanalyse-job\n";

} // namespace

TEST_F(ToolPosSession, ToolOnTheTopFaceIsFreeAndTheWordIsReadOnly)
{
    const std::string onTop = run(kTopFace);
    EXPECT_EQ(onTop.find("Exception"), std::string::npos) << onTop;
    EXPECT_EQ(onTop.find("[assertion failed]"), std::string::npos) << onTop;
    EXPECT_TRUE(hasLine(onTop, "tool at origin (60, 45, 40), axis (0, 0, 1)")) << onTop;
    EXPECT_TRUE(hasLine(onTop, "collision check: No collision")) << onTop;
    // The check's word is read-only to the user.
    run("set Message free\n");
    EXPECT_NE(err.str().find("\"Message\" does not take 'free'"), std::string::npos) << err.str();
    err.str("");
    EXPECT_TRUE(hasLine(run("toolpos\n"), "collision check: No collision"));
    EXPECT_NE(onTop.find(": cylinder radius 15, 30 to 70 along the axis of origin (60, 45, 40)"), std::string::npos)
        << onTop;
    expectClosedClean();
}

// Free at its own length, the tool takes the length offset (2 by default)
// as a lengthened one does, and every new offset is applied to that length.
TEST_F(ToolPosSession, AToolFreeAtItsLengthTakesTheOffsetAndFollowsEachNewOne)
{
    run(kTopFace);
    const std::string free = run("press tool-length\ntoolpos\n");
    EXPECT_TRUE(hasLine(free, "collision check: The tool is free at its length 30; length set to 32")) << free;
    EXPECT_TRUE(hasLine(free, "tool diameter 6, length 32")) << free;
    EXPECT_TRUE(has(free, ": cylinder radius 3, 0 to 32 along the axis of origin (60, 45, 40)")) << free;
    const std::string five = run("set ToolLengthOffset 5\ntoolpos\njob-show\n");
    EXPECT_TRUE(hasLine(five, "tool diameter 6, length 35")) << five;
    EXPECT_TRUE(hasLine(five, "job tool length: 35")) << five;
    EXPECT_TRUE(hasLine(five, "collision check: No collision")) << five;
    const std::string one = run("set ToolLengthOffset 1\ntoolpos\n");
    EXPECT_TRUE(hasLine(one, "tool diameter 6, length 31")) << one;
    expectClosedClean();
}

TEST_F(ToolPosSession, AToolFreeAtItsLengthWithoutOffsetKeepsItsLengthUntilAnOffsetIsSet)
{
    run(std::string(kTopFace) + "set ToolLengthOffset 0\n");
    const std::string free = run("press tool-length\ntoolpos\n");
    EXPECT_TRUE(hasLine(free, "collision check: The tool is free at its length 30; length set to 30")) << free;
    EXPECT_TRUE(hasLine(free, "tool diameter 6, length 30")) << free;
    const std::string three = run("set ToolLengthOffset 3\ntoolpos\n");
    EXPECT_TRUE(hasLine(three, "tool diameter 6, length 33")) << three;
    expectClosedClean();
}

// The length found free belongs to the window that found it: opened again
// from the job, an offset alone changes nothing until the button is pressed.
TEST_F(ToolPosSession, AWindowOpenedAgainFromTheJobFindsTheFreeLengthAnew)
{
    run(std::string(kTopFace) + "press tool-length\nclose\n");
    const std::string again = run(std::string(kTopFace) + "set ToolLengthOffset 5\ntoolpos\n");
    EXPECT_TRUE(hasLine(again, "tool diameter 6, length 30")) << again;
    EXPECT_FALSE(has(again, "length 35")) << again;
    const std::string pressed = run("press tool-length\ntoolpos\n");
    EXPECT_TRUE(hasLine(pressed, "collision check: The tool is free at its length 30; length set to 35")) << pressed;
    EXPECT_TRUE(hasLine(pressed, "tool diameter 6, length 35")) << pressed;
    expectClosedClean();
}

// A job started on the open window brings its own tool: an offset set then
// does not give it the length found free for the job before.
TEST_F(ToolPosSession, AnotherJobOnTheOpenWindowIsNotLengthenedFromTheLastJobsTool)
{
    run(std::string(kBesideBoss) + "press tool-length\n");
    const std::string next = run(std::string(kTopFace) + "set ToolLengthOffset 5\ntoolpos\njob-show\n");
    EXPECT_TRUE(hasLine(next, "tool diameter 6, length 30")) << next;
    EXPECT_TRUE(hasLine(next, "job tool length: 30")) << next;
    EXPECT_FALSE(has(next, "length 15.5")) << next;
    expectClosedClean();
}

TEST_F(ToolPosSession, LengthOptimisationEndsAtTheFirstFreeLengthAndTheOffsetFollows)
{
    const std::string start = run(std::string(kBesideBoss) + "toolpos\n");
    EXPECT_TRUE(hasLine(start, "collision check: Collision: the holder meets the part")) << start;
    const std::string optimised = run("press tool-length\ntoolpos\n");
    EXPECT_TRUE(hasLine(optimised, "collision check: Free from tool length 10.5; length set to 12.5")) << optimised;
    EXPECT_TRUE(hasLine(optimised, "tool diameter 4, length 12.5")) << optimised;
    // A new offset is applied to the length found free, not added again.
    const std::string offset = run("set ToolLengthOffset 5\ntoolpos\nset ToolLengthOffset 5.5\ntoolpos\n");
    EXPECT_TRUE(hasLine(offset, "tool diameter 4, length 15.5")) << offset;
    EXPECT_TRUE(hasLine(offset, "tool diameter 4, length 16")) << offset;
    EXPECT_TRUE(hasLine(offset, "collision check: No collision")) << offset;
    expectClosedClean();
}

// The length the panel gave a tool holds its offset already: pressing the
// button again finds the same free length and adds the offset once, whether
// the tool was free at once or had to be lengthened.
TEST_F(ToolPosSession, PressingTheToolLengthButtonAgainKeepsTheLengthItGave)
{
    run(kTopFace);
    const std::string free = run("press tool-length\npress tool-length\npress tool-length\ntoolpos\n");
    EXPECT_TRUE(hasLine(free, "collision check: Free from tool length 30; length set to 32")) << free;
    EXPECT_TRUE(hasLine(free, "tool diameter 6, length 32")) << free;
    EXPECT_FALSE(has(free, "length 34")) << free;
    const std::string five = run("set ToolLengthOffset 5\npress tool-length\ntoolpos\n");
    EXPECT_TRUE(hasLine(five, "tool diameter 6, length 35")) << five;
    EXPECT_FALSE(has(five, "length 40")) << five;
    expectClosedClean();

    run(std::string(kBesideBoss) + "press tool-length\n");
    const std::string again = run("press tool-length\ntoolpos\n");
    EXPECT_TRUE(hasLine(again, "collision check: Free from tool length 10.5; length set to 12.5")) << again;
    EXPECT_TRUE(hasLine(again, "tool diameter 4, length 12.5")) << again;
    EXPECT_FALSE(has(again, "length 14.5")) << again;
    expectClosedClean();
}

TEST_F(ToolPosSession, NewFrameIsOfferedToTheJobOnClosingAndKeptOnlyOnYes)
{
    run(kTopFace);
    const std::string made = run("press new-frame\nframes\n");
    EXPECT_TRUE(hasLine(made, "model frame \"Frame 1\": origin (60, 45, 40), axis (0, 0, 1)")) << made;
    const std::string declined = run("answer 2\nclose\n");
    EXPECT_TRUE(hasLine(declined, "[message box kind 1] Frame has been changed - Do want to use new frame for Job?"))
        << declined;
    EXPECT_EQ(declined.find("the job now uses"), std::string::npos) << declined;

    run(kTopFace);
    const std::string accepted = run("press new-frame\nanswer 1\nclose\nframes\n");
    EXPECT_TRUE(hasLine(accepted, "[host] the job now uses frame \"Frame 2\"")) << accepted;
    // The module keeps no frame once the window is gone: only the model does.
    for (hostsim::Frame* frame : session.model().frames().frames())
        EXPECT_EQ(frame->refCount(), 1);
    expectClosedClean(false);
}

// The menu writes the two points of a job that uses both: the tool position
// and the point 1000 along the tool's axis. The tool at (20, 10, 40) stands
// along z, whatever the job's points said before.
TEST_F(ToolPosSession, FeedbackPositionIsWrittenIntoAJobWhosePointsAreOn)
{
    run("job DemoMill 0 0 0\njob-tool 6 30 30 40\njob-feedback 20 10 40 20 10 45\nanalyse-job\n");
    const std::string written = run("frame-menu feedback\njob-show\ntoolpos\n");
    EXPECT_TRUE(hasLine(written, "job feedback point 1: (20, 10, 40)")) << written;
    EXPECT_TRUE(hasLine(written, "job feedback point 2: (20, 10, 1040)")) << written;
    EXPECT_TRUE(hasLine(written, "collision check: No collision; The tool position is the job's tool feedback position"))
        << written;
    expectClosedClean();
}

// A job that does not use feedback points is not made to: its settings stay
// as they were, and the panel says why nothing was written.
TEST_F(ToolPosSession, FeedbackPositionLeavesAJobWithItsPointsOffUnchanged)
{
    run("job DemoMill 20 10 40\njob-tool 6 30 30 40\nanalyse-job\n");
    const std::string kept = run("frame-menu feedback\njob-show\ntoolpos\n");
    EXPECT_TRUE(hasLine(kept, "menu command feedback")) << kept;
    EXPECT_TRUE(hasLine(kept, "job feedback point 1: off")) << kept;
    EXPECT_TRUE(hasLine(kept, "job feedback point 2: off")) << kept;
    EXPECT_TRUE(hasLine(kept, "collision check: No collision; The job's two tool feedback points are not both "
                              "switched on: nothing was written"))
        << kept;
    expectClosedClean();
}

// The two points are one axis: with only the first on, neither is written
// and the second stays off. The tool is moved to (60, 45, 40) first, so a
// written first point would show.
TEST_F(ToolPosSession, FeedbackPositionLeavesAJobWithOnlyItsFirstPointOnUnchanged)
{
    run("job DemoMill 0 0 0\njob-tool 6 30 30 40\njob-feedback 25 15 40\nanalyse-job\n");
    const std::string kept = run("pick 60 45 100 0 0 -1\nframe-menu feedback\njob-show\ntoolpos\n");
    EXPECT_TRUE(hasLine(kept, "tool at origin (60, 45, 40), axis (0, 0, 1)")) << kept;
    EXPECT_TRUE(hasLine(kept, "job feedback point 1: (25, 15, 40)")) << kept;
    EXPECT_TRUE(hasLine(kept, "job feedback point 2: off")) << kept;
    EXPECT_NE(kept.find("The job's two tool feedback points are not both switched on: nothing was written"),
              std::string::npos)
        << kept;
    expectClosedClean();
}

// A turn shows no verdict until a pick sets the tool down, and that pick is
// taken even where it lands on the screen point of the pick before the turn.
TEST_F(ToolPosSession, HandlePicksAndMovesTurnTheToolUntilAPickSetsItDownAndChecksIt)
{
    run(kTopFace);
    // Outside mode 5 a handle pick sets nothing: the moves turn nothing.
    const std::string other = run("mode 1\nhandle A\nmove 60 55 60\nmove 70 45 60\nmode 5\ntoolpos\n");
    EXPECT_TRUE(hasLine(other, "angles A 0, B 0, C 0")) << other;
    // Placed by a pick on the top face; seen from above, the C handle turns
    // the tool about its own axis from the first move's direction to the
    // second's; a pick beside the part sets it down.
    const std::string half = run("pick 60 45 100 0 0 -1\nhandle C\nmove 70 45 60\nmove 50 45 60\n"
                                 "pick 200 200 100 0 0 -1\ntoolpos\n");
    EXPECT_TRUE(hasLine(half, "[view] pick on handle C sent to 1 mouse reactor")) << half;
    EXPECT_TRUE(hasLine(half, "angles A 0, B 0, C 180")) << half;
    EXPECT_TRUE(hasLine(half, "collision check: No collision")) << half;
    // A dragged to 90 lays the tool along -y, towards the cursor, into the
    // top face: unchecked while turning.
    const std::string turning = run("handle A\nmove 60 45 60\nmove 60 25 40\ntoolpos\n");
    EXPECT_TRUE(hasLine(turning, "angles A 90, B 0, C 180")) << turning;
    EXPECT_TRUE(hasLine(turning, "collision check: Not checked while the tool is turned: a pick sets it down and "
                                 "checks it"))
        << turning;
    const std::string down = run("pick 60 45 100 0 0 -1\ntoolpos\nmove 70 45 60\ntoolpos\n");
    EXPECT_TRUE(hasLine(down, "tool at origin (60, 45, 40), axis (0, -1, 0)")) << down;
    EXPECT_TRUE(hasLine(down, "collision check: Collision: the cutting part meets the part")) << down;
    // Moves no longer turn the tool: the angles are read twice alike.
    const std::size_t first = down.find("angles A 90, B 0, C 180\n");
    ASSERT_NE(first, std::string::npos) << down;
    EXPECT_NE(down.find("angles A 90, B 0, C 180\n", first + 1), std::string::npos) << down;
    expectClosedClean();
}

TEST_F(ToolPosSession, FeedbackPointsPlaceTheToolAndAreWrittenBack)
{
    const std::string placed = run("job DemoMill 0 0 0\njob-tool 6 30 30 40\njob-feedback 60 45 40 60 46 41\n"
                                   "analyse-job\ntoolpos\n");
    EXPECT_TRUE(hasLine(placed, "tool at origin (60, 45, 40), axis (0, 0.707107, 0.707107)")) << placed;
    const std::string written = run("set CAngle 30\nframe-menu feedback\njob-show\nframe-menu axisline\nfeedbacks\n");
    EXPECT_TRUE(hasLine(written, "job feedback point 1: (60, 45, 40)")) << written;
    EXPECT_TRUE(hasLine(written, "job feedback point 2: (60, 752.107, 747.107)")) << written;
    EXPECT_TRUE(hasLine(written, "  frame feedback = origin (60, 45, 40), axis (0, 0.707107, 0.707107)")) << written;
    run("close\n");

    // A tool whose feedback point lies half a diameter up its axis (type 12):
    // its tip is placed that much lower, and written back where it was read.
    const std::string shifted = run("job DemoMill 0 0 0\njob-tool 6 30 30 40\njob-tool-type 12\n"
                                    "job-feedback 60 45 43 60 45 50\nanalyse-job\ntoolpos\nframe-menu feedback\njob-show\n");
    EXPECT_TRUE(hasLine(shifted, "tool at origin (60, 45, 40), axis (0, 0, 1)")) << shifted;
    EXPECT_TRUE(hasLine(shifted, "job feedback point 1: (60, 45, 43)")) << shifted;
    EXPECT_TRUE(hasLine(shifted, "job feedback point 2: (60, 45, 1043)")) << shifted;
    expectClosedClean();
}

// The right-click on the new-frame button is the user's: the analysis window
// comes to the front first, and a palette open in another window closes as it
// loses activation.
TEST_F(ToolPosSession, TheNewFrameRightClickActivatesTheWindowAndClosesAnOpenPalette)
{
    run(kTopFace);
    const std::string opened = run("controls open\ncontrols click color\ncontrols palette\n");
    EXPECT_TRUE(hasLine(opened, "palette open, the focus on its grid")) << opened;
    const std::string chosen = run("frame-menu feedback\ncontrols palette\ncontrols close\n");
    EXPECT_TRUE(hasLine(chosen, "menu command feedback")) << chosen;
    EXPECT_TRUE(hasLine(chosen, "palette closed")) << chosen;
    EXPECT_TRUE(err.str().empty()) << err.str();
    expectClosedClean();
}

TEST_F(ToolPosSession, BadInputIsReportedAndTheWindowStaysUsable)
{
    struct Case {
        const char* setup;
        const char* message;
    } cases[] = {
        {"collisionlib off\n", "The collision library kvCdTree.dll cannot be loaded"},
        {"collisionlib broken\n", "The collision library kvCdTree.dll cannot be loaded"},
        {"job-tool none\n", "The job has no tool"},
        {"job-tool 0 10\n", "The tool's diameter and length must be greater than 0"},
        {"job-tool 6 -1\n", "The tool's diameter and length must be greater than 0"},
        {"job-area none\n", "The milling area holds no faces"},
    };
    for (const Case& c : cases) {
        run("collisionlib on\njob DemoMill 60 45 40\njob-tool 6 30 30 40\n");
        const std::string opened = run(std::string(c.setup) + "analyse-job\ntoolpos\n");
        EXPECT_TRUE(hasLine(opened, std::string("collision check: ") + c.message)) << c.setup << opened;
        const std::string used = run("press tool-length\ntoolpos\nmode 1\nmode 5\n");
        EXPECT_NE(used.find("pressed tool-length"), std::string::npos) << c.setup << used;
        EXPECT_EQ(used.find("Exception"), std::string::npos) << c.setup << used;
        expectClosedClean();
    }
    run("collisionlib on\n");
}

// Numbers past the simulator's coordinate limit are refused with the line
// and the text, as every other command refuses them.
TEST_F(ToolPosSession, JobNumbersPastTheLimitAreRefusedWithTheirLine)
{
    run("job BIG 1e308 0 0\njob DemoMill 0 0 0 1e200 1e200 1e200\njob DemoMill 60 45 40\n"
        "job-feedback 1e308 1e308 1e308\njob-tool 6 1e7\n");
    for (const char* line : {"line 1: job: a coordinate or length must lie between -1e+06 and 1e+06, got '1e308'",
                             "line 2: job: a coordinate or length must lie between -1e+06 and 1e+06, got '1e200'",
                             "line 4: job-feedback: a coordinate or length must lie between -1e+06 and 1e+06, got "
                             "'1e308'",
                             "line 5: job-tool: a coordinate or length must lie between -1e+06 and 1e+06, got '1e7'"})
        EXPECT_NE(err.str().find(line), std::string::npos) << line << '\n' << err.str();
    err.str("");
}

// Placements whose answer follows from the geometry of the sample part (the
// block 0..100 x 0..60 x 0..40 with its holes, boss and pocket) and of the
// DemoMill machine (table top at z = -1, column -80..-60 in x up to z = 200).
TEST_F(ToolPosSession, VerdictsFollowTheGeometryInHolesInsideMaterialAndBesideIt)
{
    struct Case {
        const char* place;
        const char* tool;
        const char* verdict;
    } cases[] = {
        {"60 45 45", "6 30 30 40", "No collision"},
        {"110 30 10", "6 30", "No collision"},
        {"30 15 50", "6 30 30 40", "No collision"},
        // Down a through hole, in the second one and in the pocket above its floor.
        {"70 35 20", "2 5", "No collision"},
        {"20 40 10", "2 5", "No collision"},
        {"50 10 38.5", "2 5", "No collision"},
        {"45.5 10 38.2", "4 1", "Collision: the cutting part meets the part"},  // across the pocket's wall
        {"120 30 -5", "6 30 30 40", "Collision: the cutting part meets the machine"},
        {"-55 30 50", "6 30 30 40", "Collision: the holder meets the machine"},
        // Wholly inside the block and the column, touching no face.
        {"50 30 20", "2 5", "Collision: the cutting part meets the part"},
        {"-70 30 100", "2 5", "Collision: the cutting part meets the machine"},
        // Lying along -x in the pocket, then across its wall at x = 45, half in the material.
        {"55 12 39 -1 0 0", "1 8", "No collision"},
        {"50 12 39 -1 0 0", "1 10", "Collision: the cutting part meets the part"},
    };
    for (const Case& c : cases) {
        const std::string shown = run(std::string("job DemoMill ") + c.place + "\njob-tool " + c.tool +
                                      "\nanalyse-job\ntoolpos\nclose\n");
        EXPECT_TRUE(hasLine(shown, std::string("collision check: ") + c.verdict)) << c.place << '\n' << shown;
    }
    // A tool inside the block is not cleared by a longer one, and keeps its length.
    const std::string inside = run("job DemoMill 50 30 20\njob-tool 2 5\nanalyse-job\npress tool-length\ntoolpos\n");
    EXPECT_TRUE(hasLine(inside, "collision check: The cutting part or the shank collides: a longer tool does not clear it"))
        << inside;
    EXPECT_TRUE(hasLine(inside, "tool diameter 2, length 5")) << inside;
    expectClosedClean();
}

// Started again on the open window with another job, the analysis places
// that job's tool and checks it, as an opening does.
TEST_F(ToolPosSession, AnotherJobOnTheOpenWindowPlacesAndChecksItsTool)
{
    run(kTopFace);
    const std::string again = run("job DemoMill 60 45 30\njob-tool 6 30 30 40\nanalyse-job\ntoolpos\n");
    EXPECT_TRUE(hasLine(again, "tool at origin (60, 45, 30), axis (0, 0, 1)")) << again;
    EXPECT_TRUE(hasLine(again, "collision check: Collision: the cutting part meets the part")) << again;
    const std::string other = run("job NoSuchMill 60 45 40\njob-tool 4 20\nanalyse-job\ntoolpos\n");
    EXPECT_TRUE(hasLine(other, "tool diameter 4, length 20")) << other;
    EXPECT_TRUE(hasLine(other, "collision check: No collision; no machine model loaded: there is no folder "
                           "Machines/NoSuchMill in the host's base folder"))
        << other;
    expectClosedClean();
}

// The verdict stays in view beside what an action reports.
TEST_F(ToolPosSession, ActionsReportBesideTheVerdict)
{
    // Feedback points on, placing the tool where the job's frame does.
    run("job DemoMill 60 45 30\njob-tool 6 30 30 40\njob-feedback 60 45 30 60 45 31\nanalyse-job\n");
    const std::string shown = run("press new-frame\ntoolpos\nframe-menu feedback\ntoolpos\nanswer 2\n");
    for (const char* note : {"New frame Frame 1 at the tool position", "The tool position is the job's tool feedback position"})
        EXPECT_TRUE(hasLine(shown, std::string("collision check: Collision: the cutting part meets the part; ") + note))
            << shown;
    expectClosedClean();
}

namespace {

using kvtest::binaryStl;

std::string asciiStl(const std::string& corner)
{
    return "solid t\n facet normal 0 0 1\n  outer loop\n   vertex -50 -30 -1\n   vertex 150 -30 -1\n   vertex " +
           corner + "\n  endloop\n endfacet\nendsolid t\n";
}

} // namespace

// A machine model that cannot be one is refused with its reason; the part is
// still checked and nothing reaches the terminal.
TEST_F(ToolPosSession, MachineModelsThatCannotBeReadAreNamedWithTheirReason)
{
    namespace fs = std::filesystem;
    const fs::path base = fs::path(::testing::TempDir()) / ("toolpos_base_" + std::to_string(getpid()));
    const kvtest::StlCorners plate = {-50, -30, -1, 150, -30, -1, 150, 90, -1};
    const kvtest::StlCorners point = {5, 5, 5, 5, 5, 5, 5, 5, 5};
    const float nan = std::nanf("");
    const std::string good = binaryStl({plate}, 1);
    const std::string truncated = "is truncated or not an STL file";
    const std::string corner = "has a corner that is not a finite coordinate within 1e6";
    struct Case {
        std::string bytes;
        std::string problem;
    } cases[] = {
        {asciiStl("150 90 -1").substr(0, 60), truncated},
        {good.substr(0, good.size() - 3), truncated},
        {binaryStl({{-50, -30, -1, 150, -30, -1, 150, nan, -1}}, 1), corner},
        {asciiStl("150 90 1e309"), corner},
        {binaryStl({plate}, 4000000000u), truncated},
        {binaryStl({plate, plate}, 1),
         "is a binary STL file whose triangle count is smaller than the triangles it holds"},
        {binaryStl({}, 0), "has no triangles or more than the library takes"},
        {std::string(), "cannot be read or is empty"},
        {binaryStl({point}, 1), "has no triangle with an area"},
    };
    for (const Case& c : cases) {
        fs::create_directories(base / "Machines" / "Broken");
        std::ofstream(base / "Machines" / "Broken" / "table.stl", std::ios::binary) << c.bytes;
        const std::string shown = run("basefolder " + base.string() +
                                      "\njob Broken 120 30 -5\njob-tool 6 30 30 40\nanalyse-job\ntoolpos\nclose\n");
        EXPECT_TRUE(hasLine(shown, "collision check: No collision; no machine model loaded; machine model table.stl " +
                                   c.problem))
            << c.problem << '\n' << shown;
    }
    // A triangle without area beside one with: the model loads, the other is counted.
    std::ofstream(base / "Machines" / "Broken" / "table.stl", std::ios::binary) << binaryStl({plate, point}, 2);
    const std::string skipped = run("job Broken 120 30 -5\njob-tool 6 30 30 40\nanalyse-job\ntoolpos\nclose\n");
    EXPECT_TRUE(hasLine(skipped, "collision check: Collision: the cutting part meets the machine; machine model "
                             "table.stl: 1 triangle without area left out"))
        << skipped;
    // A base folder far longer than a fixed buffer is taken whole.
    fs::path deep = base;
    for (int i = 0; i < 6; ++i)
        deep /= std::string(200, static_cast<char>('a' + i));
    fs::create_directories(deep / "Machines" / "DemoMill");
    fs::copy(fs::path(KV_SOURCE_DIR) / "sim" / "data" / "Machines" / "DemoMill", deep / "Machines" / "DemoMill",
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    const std::string far = run("basefolder " + deep.string() +
                                "\njob DemoMill 120 30 -5\njob-tool 6 30 30 40\nanalyse-job\ntoolpos\nclose\n");
    EXPECT_TRUE(hasLine(far, "collision check: Collision: the cutting part meets the machine")) << far;
    run("basefolder default\n");
    fs::remove_all(base);
    expectClosedClean(false);
}

// The host shows the tool's feedback only while the tool position is the
// mode: the status goes back to 0 as the window opens on a job, as the mode is
// left and as the window closes in it, and not on a change between two other
// modes.
TEST_F(ToolPosSession, TheHostsFeedbackStatusIsResetWhenTheToolPositionIsLeft)
{
    const std::string reset = "[host] parameter SW_SF_STAT = 0";
    const std::string opened = run("job DemoMill 60 45 40\njob-tool 6 30 30 40\nanalyse-job\n");
    EXPECT_TRUE(hasLine(opened, reset)) << opened;
    const std::string left = run("mode 1\n");
    EXPECT_TRUE(hasLine(left, reset)) << left;
    const std::string other = run("mode 2\nmode 3\n");
    EXPECT_FALSE(has(other, reset)) << other;
    const std::string closed = run("mode 5\nclose\n");
    EXPECT_TRUE(hasLine(closed, reset)) << closed;
    expectClosedClean(false);
}

// What a job's set-up found wanting belongs to that job: opened again on a
// job whose machine has its models, the window's verdict is that job's alone.
TEST_F(ToolPosSession, TheNextJobsVerdictCarriesNoNoteOfTheJobBefore)
{
    const std::string first = run("job NoSuchMill 60 45 40\njob-tool 6 30 30 40\nanalyse-job\ntoolpos\n");
    EXPECT_TRUE(hasLine(first, "collision check: No collision; no machine model loaded: there is no folder "
                               "Machines/NoSuchMill in the host's base folder"))
        << first;
    // On the open window, and in a window opened afresh.
    const std::string again = run("job DemoMill 60 45 40\njob-tool 6 30 30 40\nanalyse-job\ntoolpos\n");
    EXPECT_TRUE(hasLine(again, "collision check: No collision")) << again;
    run("close\njob NoSuchMill 60 45 40\njob-tool 6 30 30 40\nanalyse-job\nclose\n");
    const std::string fresh = run("job DemoMill 120 30 -5\njob-tool 6 30 30 40\nanalyse-job\ntoolpos\n");
    EXPECT_TRUE(hasLine(fresh, "collision check: Collision: the cutting part meets the machine")) << fresh;
    expectClosedClean();
}

// Nothing to check against is no all-clear: whatever the user does, no
// verdict says the tool is free.
TEST_F(ToolPosSession, AMillingAreaWithoutFacesNeverGivesTheAllClear)
{
    const std::string none = "collision check: The milling area holds no faces";
    const std::string opened = run("job DemoMill 60 45 40\njob-tool 6 30 30 40\njob-area none\nanalyse-job\ntoolpos\n");
    EXPECT_TRUE(hasLine(opened, none)) << opened;
    const std::string moved = run("pick 60 45 100 0 0 -1\ntoolpos\nset AAngle 10\ntoolpos\n");
    EXPECT_TRUE(hasLine(moved, none)) << moved;
    const std::string lengthened = run("press tool-length\ntoolpos\nset ToolLengthOffset 3\ntoolpos\nmode 1\n"
                                       "mode 5\ntoolpos\n");
    EXPECT_TRUE(hasLine(lengthened, "collision check: The collision check is not ready: the tool length stays"))
        << lengthened;
    for (const std::string& shown : {opened, moved, lengthened}) {
        EXPECT_FALSE(has(shown, "No collision")) << shown;
        EXPECT_FALSE(has(shown, "free")) << shown;
    }
    expectClosedClean();
}
