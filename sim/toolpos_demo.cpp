// The demo's tool-position part: a job's analysis opens in mode 5 with the
// job's tool on its frame, checked against the sample part and the machine:
// free in a through hole, colliding inside the block and the column, a job
// started again on the open window, a tool half in the material across the
// pocket's wall, a machine that cannot be found; the tool is lengthened
// until it is free, a frame is made at its position, the tool is turned by
// the mouse, the right-click menu is used, and the window closes with the
// collision library unloaded.
#include "script.h"

namespace hostsim {

namespace {

const DemoSection toolPositionTour(
    "50-toolpos",
    "echo -- tool position: a job with a 6 mm tool in a 30 mm holder, its frame on the top face\n"
    "job DemoMill 60 45 40\n"
    "job-tool 6 30 30 40\n"
    "analyse-job\n"
    "toolpos\n"
    "libraries\n"
    "close\n"
    "echo -- the same tool pushed 10 into the block\n"
    "job DemoMill 60 45 30\n"
    "job-tool 6 30 30 40\n"
    "analyse-job\n"
    "toolpos\n"
    "close\n"
    "echo -- beside the part, pushed down onto the machine's table\n"
    "job DemoMill 120 30 -5\n"
    "job-tool 6 30 30 40\n"
    "analyse-job\n"
    "toolpos\n"
    "close\n"
    "echo -- a small tool down the through hole at (70, 35): free\n"
    "job DemoMill 70 35 20\n"
    "job-tool 2 5\n"
    "analyse-job\n"
    "toolpos\n"
    "echo -- the same tool started again on the open window, now inside the block\n"
    "job DemoMill 50 30 20\n"
    "job-tool 2 5\n"
    "analyse-job\n"
    "toolpos\n"
    "echo -- and inside the machine's column\n"
    "job DemoMill -70 30 100\n"
    "job-tool 2 5\n"
    "analyse-job\n"
    "toolpos\n"
    "close\n"
    "echo -- a 1 mm tool lying along -x across the pocket's wall at x = 45, half in the material\n"
    "job DemoMill 50 12 39 -1 0 0\n"
    "job-tool 1 10\n"
    "analyse-job\n"
    "toolpos\n"
    "close\n"
    "echo -- a machine without a folder: the part is still checked, and the panel says why\n"
    "job NoSuchMill 60 45 40\n"
    "job-tool 6 30 30 40\n"
    "analyse-job\n"
    "toolpos\n"
    "close\n"
    "echo -- a short tool beside the boss: its holder starts inside the part\n"
    "job DemoMill 30 28 40\n"
    "job-tool 4 3.5 30 40\n"
    "analyse-job\n"
    "toolpos\n"
    "echo -- tool length optimisation\n"
    "press tool-length\n"
    "toolpos\n"
    "echo -- a new frame at the tool position\n"
    "press new-frame\n"
    "frames\n"
    "echo -- the tool turned about A by the mouse: unchecked until a pick sets it down\n"
    "handle A\n"
    "move 30 28 60\n"
    "move 30 40 60\n"
    "toolpos\n"
    "pick 60 45 100 0 0 -1\n"
    "toolpos\n"
    "echo -- the new-frame button's right-click menu: the job's feedback points and the host's frame feedback\n"
    "frame-menu feedback\n"
    "job-show\n"
    "frame-menu axisline\n"
    "feedbacks\n"
    "echo -- closing: the job takes the new frame\n"
    "answer 1\n"
    "close\n"
    "libraries\n"
    "echo -- without the collision library the panel says so and stays usable\n"
    "collisionlib off\n"
    "job DemoMill 60 45 40\n"
    "job-tool 6 30 30 40\n"
    "analyse-job\n"
    "toolpos\n"
    "close\n"
    "collisionlib on\n");

} // namespace

} // namespace hostsim
