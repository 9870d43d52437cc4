// What the window shows after a measurement, and the demo of the element
// measurement: picks on every kind of face of the sample part in mode 1.
#include "script.h"
#include "session.h"
#include "text.h"
#include "window_query.h"

#include "host/object/kvPropAccess.h"
#include "sdk/kvPropertyCtrl.h"

#include <ostream>

namespace hostsim {

namespace {

// "AnalyseType" and the panel's lines with their values and ticks.
void results(Session& s, const std::string& args)
{
    if (!args.empty()) throw ScriptError("results takes no arguments");
    kvCTwPropertyCtrlBase* control = propertyControlShown(openAnalysisWindow(s));
    if (!control || !control->propertySet()) {
        s.out() << "results: no property control shown\n";
        return;
    }
    int type = 0;
    propGet(control->propertySet(), L"AnalyseType", type);
    s.out() << "AnalyseType: " << type << '\n';
    for (const std::wstring& line : control->displayLines()) s.out() << "  " << shownText(line) << '\n';
}

const CommandRegistration resultsCommand("results", results);

DemoSection elementTour("20-element",
                        "echo -- one element: every kind of face of the sample part, measured by a pick\n"
                        "analyse\n"
                        "mode 1\n"
                        "echo -- the top face, straight down\n"
                        "pick 10 20 100 0 0 -1\n"
                        "results\n"
                        "echo -- the face at 120 degrees to the top: tilted 60 degrees, an arc of 60 in the view\n"
                        "pick 95 30 100 0 0 -1\n"
                        "results\n"
                        "show view\n"
                        "echo -- the chamfer: tilted 45 degrees, its name at the picked point (30, 2.5, 37.5)\n"
                        "pick 30 -10 50 0 1 -1\n"
                        "name-text on\n"
                        "results\n"
                        "show view\n"
                        "echo -- the wall of the radius-8 hole, through its opening: its name beside its diameter\n"
                        "pick 70 35 60 8 0 -40\n"
                        "results\n"
                        "show view\n"
                        "name-text off\n"
                        "echo -- one half of a radius-5 hole, its name saved into the model, and saved again\n"
                        "pick 20 40 60 0 5 -40\n"
                        "name-text on\n"
                        "results\n"
                        "press save\n"
                        "press save\n"
                        "entities\n"
                        "entities clear\n"
                        "name-text off\n"
                        "echo -- the countersink: 16 across at its foot (z 36), 24 at its top (z 40)\n"
                        "pick 80 35 100 0 0 -1\n"
                        "results\n"
                        "show view\n"
                        "set InfoDiameter2 true\n"
                        "show view\n"
                        "echo -- its opening: an arc of 90 between its two sides\n"
                        "set InfoConeAngle true\n"
                        "show view\n"
                        "echo -- a radius-3 fillet, from the back left\n"
                        "pick -10 70 20 1 -1 0\n"
                        "results\n"
                        "echo -- the torus fillet at the foot of the boss, with its name in the view\n"
                        "pick 37 15 100 0 0 -1\n"
                        "name-text on\n"
                        "results\n"
                        "show view\n"
                        "name-text off\n"
                        "echo -- the sphere corner\n"
                        "pick -10 70 50 1 -1 -1\n"
                        "results\n"
                        "echo -- the free-form pocket floor\n"
                        "pick 50 10 100 0 0 -1\n"
                        "results\n"
                        "echo -- through a through-hole, and beside the block: nothing is hit, nothing changes\n"
                        "pick 20 40 100 0 0 -1\n"
                        "pick 150 30 100 0 0 -1\n"
                        "results\n"
                        "echo -- the whole window as the user sees it\n"
                        "show window\n"
                        "close\n"
                        "census\n");

} // namespace

} // namespace hostsim
