// The view direction the simulator hands the module's mouse reactor points
// towards the viewer, as the host's views give it: a picked face's normal then
// comes out of the material on the side the user looks at, the pick marker
// faces the user and a tool set down on a face stands on it.
#include "hostsim_runner.h"

#include <string>

using ViewDirection = hostsim_test::InProcessSession;

TEST_F(ViewDirection, PickedFacesAreMarkedOnTheViewersSide)
{
    const std::string top = run("analyse\nmode 1\npick 10 20 100 0 0 -1\n");
    EXPECT_TRUE(has(top, "marker of 4 corners, 10 across, at (10, 20, 40) facing (0, 0, 1)")) << top;
    const std::string bottom = run("pick 50 30 -50 0 0 1\n");
    EXPECT_TRUE(has(bottom, "marker of 4 corners, 10 across, at (50, 30, 0) facing (0, 0, -1)")) << bottom;
    // The face at 120 degrees to the top reads its tilt against the frame,
    // as the plane list has it, in the result line and in the dimension.
    const std::string tilted = run("pick 95 30 100 0 0 -1\nresults\nclose\n");
    EXPECT_TRUE(has(tilted, "facing (0.866, 0, 0.5)")) << tilted;
    EXPECT_TRUE(has(tilted, "text \"60\"")) << tilted;
    EXPECT_TRUE(has(tilted, "    Angle: [x] 60\n")) << tilted;
    EXPECT_TRUE(err.str().empty()) << err.str();
}

TEST_F(ViewDirection, AToolSetDownOnAPickedFaceStandsOutOfTheMaterial)
{
    run("job DemoMill 60 45 40\njob-tool 6 30 30 40\nanalyse-job\n");
    const std::string top = run("pick 60 45 100 0 0 -1\ntoolpos\n");
    EXPECT_TRUE(has(top, "tool at origin (60, 45, 40), axis (0, 0, 1)\n")) << top;
    EXPECT_TRUE(has(top, "collision check: No collision\n")) << top;
    const std::string chamfer = run("pick 30 2.5 100 0 0 -1\ntoolpos\nclose\n");
    EXPECT_TRUE(has(chamfer, "tool at origin (30, 2.5, 37.5), axis (0, -0.707107, 0.707107)\n")) << chamfer;
    EXPECT_TRUE(has(chamfer, "collision check: No collision\n")) << chamfer;
    EXPECT_TRUE(err.str().empty()) << err.str();
}
