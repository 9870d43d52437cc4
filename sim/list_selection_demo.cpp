// The demo's group-list selections that the list makes itself: an
// evaluation selects row 0 and, in auto zoom, shows its group alone; a pick
// selects the row of its value as the user's choice would, beside a row
// still selected.
#include "script.h"

namespace hostsim {

namespace {

const DemoSection listSelectionTour(
    "65-list-selection",
    "echo -- auto zoom in over a new selection: the 60 degree row chosen, then every face selected; the list is "
    "evaluated again, row 0 alone stays ticked and the view fits its first face\n"
    "part sample\n"
    "feedback UseFLColorTable true\n"
    "analyse\n"
    "mode 4\n"
    "select faces 101 103 107 108\n"
    "menu 8\n"
    "row select 3\n"
    "select all\n"
    "elapse 100\n"
    "rows\n"
    "navigator\n"
    "echo -- out of auto zoom a pick selects its row beside the selected one: the 90 degree row selected, the 45 "
    "degree row unticked, the chamfer picked; the 90 degree row takes the 45 degree row's tick and its faces the "
    "base colour\n"
    "menu 8\n"
    "row select 4\n"
    "row tick 2 off\n"
    "pick 30 -10 50 0 1 -1\n"
    "rows\n"
    "colours changed\n"
    "close\n"
    "colours check\n"
    "part close\n"
    "feedback UseFLColorTable false\n");

} // namespace

} // namespace hostsim
