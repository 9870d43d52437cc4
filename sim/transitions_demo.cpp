// The demo's transitions of the analysis window: what a mode change, the
// command run again and a reopening leave behind. A cleared diameter is not
// saved, a pair starts afresh, a turn of the tool ends with its mode, a
// reopened plane list shows nothing it does not list, and the frame drawn
// follows the job the coordinates are measured from.
#include "script.h"

namespace hostsim {

namespace {

const DemoSection transitionsTour(
    "55-transitions",
    "echo -- transitions: hole 1 measured, then mode 2 and back: Save is hidden and writes nothing\n"
    "part sample\n"
    "entities clear\n"
    "analyse\n"
    "mode 1\n"
    "pick 20 40 60 0 5 -40\n"
    "results\n"
    "mode 2\n"
    "mode 1\n"
    "show window\n"
    "press save\n"
    "entities\n"
    "echo -- the next diameter brings Save back and is saved as before\n"
    "pick 20 40 61 0 5 -40\n"
    "results\n"
    "press save\n"
    "entities\n"
    "entities clear\n"
    "echo -- the tilted face in mode 1, then mode 2: the first pick there starts a pair\n"
    "pick 95 30 100 0 0 -1\n"
    "mode 2\n"
    "pick 20 10 100 0 0 -1\n"
    "results\n"
    "echo -- a first element, then the command again: the next pick starts a pair again\n"
    "analyse\n"
    "pick 95 31 100 0 0 -1\n"
    "results\n"
    "close\n"
    "echo -- closed in plane analysis with faces shown, opened again: no rows, no face coloured\n"
    "analyse\n"
    "mode 4\n"
    "select faces 101 102 107\n"
    "close\n"
    "analyse\n"
    "show window\n"
    "rows\n"
    "colours changed\n"
    "close\n"
    "echo -- the tool turned by the mouse, then mode 1: the turn ends, nothing of the tool is drawn\n"
    "job DemoMill 60 45 40\n"
    "job-tool 6 30 30 40\n"
    "analyse-job\n"
    "handle A\n"
    "move 30 28 60\n"
    "mode 1\n"
    "move 30 40 60\n"
    "pick 20 15 100 0 0 -1\n"
    "results\n"
    "show view\n"
    "echo -- another job on the open window: the frame drawn moves to it, coordinates are measured from it\n"
    "job DemoMill 30 20 40\n"
    "job-tool 6 30 30 40\n"
    "analyse-job\n"
    "mode 1\n"
    "pick 20 16 100 0 0 -1\n"
    "results\n"
    "show view\n"
    "echo -- the command without a job: the model's origin, drawn and measured from\n"
    "analyse\n"
    "mode 1\n"
    "pick 20 17 100 0 0 -1\n"
    "results\n"
    "show view\n"
    "close\n");

} // namespace

} // namespace hostsim
