// The tool position end to end in the simulator: a job's analysis opens in
// mode 5 with the built module and the real collision library, and the test
// reads what the session printed and what the host holds afterwards.
#include "script.h"
#include "session.h"
#include "toolpos_host.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

struct ToolPosSession : ::testing::Test {
    std::ostringstream out;
    std::ostringstream err;
    hostsim::Session session{out};

    void SetUp() override { ASSERT_TRUE(session.start(KV_MODULE_PATH, err)) << err.str(); }

    // Runs the lines and gives back what they printed.
    std::string run(const std::string& script)
    {
        out.str("");
        std::istringstream in(script);
        hostsim::runScript(in, session, err);
        return out.str();
    }
    static bool has(const std::string& text, const std::string& line)
    {
        return text.find(line + "\n") != std::string::npos;
    }
    void expectClosedClean(bool close = true)
    {
        const std::string closed = run(std::string(close ? "close\n" : "") + "libraries\ncensus\n");
        EXPECT_TRUE(has(closed, "modules loaded through the resource manager: none")) << closed;
        EXPECT_TRUE(has(closed, "host objects held by the module: none")) << closed;
        EXPECT_TRUE(err.str().empty()) << err.str();
    }
};

const char* const kTopFace = "job DemoMill 60 45 40\njob-tool 6 30 30 40\nanalyse-job\ntoolpos\n";
const char* const kBesideBoss = "job DemoMill 30 28 40\njob-tool 4 3.5 30 40\nanalyse-job\n";

} // namespace

TEST_F(ToolPosSession, ToolOnTheTopFaceIsFreeAndPushedIntoTheBlockOrTableCollides)
{
    const std::string onTop = run(kTopFace);
    EXPECT_EQ(onTop.find("Exception"), std::string::npos) << onTop;
    EXPECT_EQ(onTop.find("[assertion failed]"), std::string::npos) << onTop;
    EXPECT_TRUE(has(onTop, "tool at origin (60, 45, 40), axis (0, 0, 1)")) << onTop;
    EXPECT_TRUE(has(onTop, "collision check: No collision")) << onTop;
    // The check's word is read-only to the user.
    run("set Message free\n");
    EXPECT_NE(err.str().find("\"Message\" does not take 'free'"), std::string::npos) << err.str();
    err.str("");
    EXPECT_TRUE(has(run("toolpos\n"), "collision check: No collision"));
    EXPECT_NE(onTop.find(": cylinder radius 15, 30 to 70 along the axis of origin (60, 45, 40)"), std::string::npos)
        << onTop;
    const std::string free = run("press tool-length\ntoolpos\n");
    EXPECT_TRUE(has(free, "collision check: The tool is free at its length 30")) << free;
    EXPECT_TRUE(has(free, "tool diameter 6, length 30")) << free;
    run("close\n");
    const std::string pushed = run("job DemoMill 60 45 30\njob-tool 6 30 30 40\nanalyse-job\ntoolpos\n");
    EXPECT_TRUE(has(pushed, "collision check: Collision: the cutting part meets the part")) << pushed;
    run("close\n");
    const std::string table = run("job DemoMill 120 30 -5\njob-tool 6 30 30 40\nanalyse-job\ntoolpos\n");
    EXPECT_TRUE(has(table, "collision check: Collision: the cutting part meets the machine")) << table;
    expectClosedClean();
}

TEST_F(ToolPosSession, LengthOptimisationEndsAtTheFirstFreeLengthAndTheOffsetFollows)
{
    const std::string start = run(std::string(kBesideBoss) + "toolpos\n");
    EXPECT_TRUE(has(start, "collision check: Collision: the holder meets the part")) << start;
    const std::string optimised = run("press tool-length\ntoolpos\n");
    EXPECT_TRUE(has(optimised, "collision check: Free from tool length 10.5; length set to 12.5")) << optimised;
    EXPECT_TRUE(has(optimised, "tool diameter 4, length 12.5")) << optimised;
    // A new offset is applied to the length found free, not added again.
    const std::string offset = run("set ToolLengthOffset 5\ntoolpos\nset ToolLengthOffset 5.5\ntoolpos\n");
    EXPECT_TRUE(has(offset, "tool diameter 4, length 15.5")) << offset;
    EXPECT_TRUE(has(offset, "tool diameter 4, length 16")) << offset;
    EXPECT_TRUE(has(offset, "collision check: No collision")) << offset;
    expectClosedClean();
}

TEST_F(ToolPosSession, ALongerToolCannotFreeACuttingPartInsideThePart)
{
    run("job DemoMill 60 45 30\njob-tool 6 30 30 40\nanalyse-job\n");
    const std::string tried = run("press tool-length\ntoolpos\n");
    EXPECT_TRUE(has(tried, "collision check: The cutting part or the shank collides: a longer tool does not clear it"))
        << tried;
    EXPECT_TRUE(has(tried, "tool diameter 6, length 30")) << tried;
    expectClosedClean();
}

TEST_F(ToolPosSession, NewFrameIsOfferedToTheJobOnClosingAndKeptOnlyOnYes)
{
    run(kTopFace);
    const std::string made = run("press new-frame\nframes\n");
    EXPECT_TRUE(has(made, "model frame \"Frame 1\": origin (60, 45, 40), axis (0, 0, 1)")) << made;
    const std::string declined = run("answer 2\nclose\n");
    EXPECT_TRUE(has(declined, "[message box kind 1] Frame has been changed - Do want to use new frame for Job?"))
        << declined;
    EXPECT_EQ(declined.find("the job now uses"), std::string::npos) << declined;

    run(kTopFace);
    const std::string accepted = run("press new-frame\nanswer 1\nclose\nframes\n");
    EXPECT_TRUE(has(accepted, "[host] the job now uses frame \"Frame 2\"")) << accepted;
    // The module keeps no frame once the window is gone: only the model does.
    for (hostsim::Frame* frame : session.model().frames().frames())
        EXPECT_EQ(frame->refCount(), 1);
    expectClosedClean(false);
}

TEST_F(ToolPosSession, HandlePicksAndMovesTurnTheToolUntilAPickSetsItDown)
{
    run(kTopFace);
    // Outside mode 5 a handle pick sets nothing: the moves turn nothing.
    const std::string other = run("mode 1\nhandle A\nmove 60 55 60\nmove 70 45 60\nmode 5\ntoolpos\n");
    EXPECT_TRUE(has(other, "angles A 0, B 0, C 0")) << other;
    // Seen from above, the C handle turns the tool about its own axis: from
    // the first move's direction (along X) to the second's (along Y).
    const std::string turned = run("handle C\nmove 70 45 60\nmove 60 55 60\ntoolpos\n");
    EXPECT_TRUE(has(turned, "[view] pick on handle C sent to 1 mouse reactor")) << turned;
    EXPECT_TRUE(has(turned, "angles A 0, B 0, C 90")) << turned;
    const std::string down = run("pick 20 10 100 0 0 -1\ntoolpos\nmove 10 10 60\ntoolpos\n");
    // The angle B is read twice after the pick: moves no longer turn the tool.
    const std::size_t first = down.find("angles A 0, B 0, C 90\n");
    ASSERT_NE(first, std::string::npos) << down;
    EXPECT_NE(down.find("angles A 0, B 0, C 90\n", first + 1), std::string::npos) << down;
    // The pick ended the turn without moving the tool to the picked face.
    EXPECT_TRUE(has(down, "collision check: Collision: the cutting part meets the part") ||
                has(down, "collision check: No collision"))
        << down;
    EXPECT_EQ(down.find("tool at origin (20, 10, 40)"), std::string::npos) << down;
    expectClosedClean();
}

TEST_F(ToolPosSession, FeedbackPointsPlaceTheToolAndAreWrittenBack)
{
    const std::string placed = run("job DemoMill 0 0 0\njob-tool 6 30 30 40\njob-feedback 60 45 40 60 46 41\n"
                                   "analyse-job\ntoolpos\n");
    EXPECT_TRUE(has(placed, "tool at origin (60, 45, 40), axis (0, 0.707107, 0.707107)")) << placed;
    const std::string written = run("set CAngle 30\nframe-menu feedback\njob-show\nframe-menu axisline\nfeedbacks\n");
    EXPECT_TRUE(has(written, "job feedback point 1: (60, 45, 40)")) << written;
    EXPECT_TRUE(has(written, "job feedback point 2: (60, 752.107, 747.107)")) << written;
    EXPECT_TRUE(has(written, "  frame feedback = origin (60, 45, 40), axis (0, 0.707107, 0.707107)")) << written;
    run("close\n");

    // A tool whose feedback point lies half a diameter up its axis (type 12):
    // its tip is placed that much lower, and written back where it was read.
    const std::string shifted = run("job DemoMill 0 0 0\njob-tool 6 30 30 40\njob-tool-type 12\n"
                                    "job-feedback 60 45 43 60 45 50\nanalyse-job\ntoolpos\nframe-menu feedback\njob-show\n");
    EXPECT_TRUE(has(shifted, "tool at origin (60, 45, 40), axis (0, 0, 1)")) << shifted;
    EXPECT_TRUE(has(shifted, "job feedback point 1: (60, 45, 43)")) << shifted;
    EXPECT_TRUE(has(shifted, "job feedback point 2: (60, 45, 1043)")) << shifted;
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
        EXPECT_TRUE(has(opened, std::string("collision check: ") + c.message)) << c.setup << opened;
        const std::string used = run("press tool-length\ntoolpos\nmode 1\nmode 5\n");
        EXPECT_NE(used.find("pressed tool-length"), std::string::npos) << c.setup << used;
        EXPECT_EQ(used.find("Exception"), std::string::npos) << c.setup << used;
        expectClosedClean();
    }
    run("collisionlib on\n");
}

TEST_F(ToolPosSession, DemoPlacesOptimisesMakesAFrameTurnsAndEndsWithTheLibraryUnloaded)
{
    const std::string demo = run(hostsim::demoScript());
    for (const char* line : {
             "collision check: No collision",
             "collision check: Collision: the cutting part meets the part",
             "collision check: Collision: the cutting part meets the machine",
             "collision check: Free from tool length 10.5; length set to 12.5",
             "model frame \"Frame 1\": origin (30, 28, 40), axis (0, 0, 1)",
             "angles A 90, B 0, C 0",
             "[host] the job now uses frame \"Frame 1\"",
             "collision check: The collision library kvCdTree.dll cannot be loaded",
             "host objects held by the module: none",
         })
        EXPECT_TRUE(has(demo, line)) << line;
    EXPECT_TRUE(err.str().empty()) << err.str();
    EXPECT_TRUE(session.resources().loadedModules().empty());
}
