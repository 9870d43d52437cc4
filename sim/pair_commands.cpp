// The two-element measurement and saving in the simulator: the user's
// switch for the element's name in the view, and the demo's part on pairs of
// picks in mode 2 and a measurement saved into the model.
#include "script.h"
#include "session.h"
#include "window_query.h"

#include "sdk/kvPropertyCtrl.h"

namespace {

// name-text on|off   ticks or unticks the element's name beside its type
// (the key "InfoShowText " ends with a blank, which "set" cannot write).
void nameText(hostsim::Session& s, const std::string& args)
{
    if (args != "on" && args != "off") throw hostsim::ScriptError("name-text takes 'on' or 'off'");
    kvCTwPropertyCtrlBase* control = hostsim::propertyControlShown(hostsim::openAnalysisWindow(s));
    if (!hostsim::showsLine(control, L"InfoShowText ") ||
        !control->setValueText(L"InfoShowText ", args == "on" ? L"true" : L"false"))
        throw hostsim::ScriptError("the window shows no element name to switch");
    s.out() << "element name " << args << '\n';
}

const hostsim::CommandRegistration nameTextCommand("name-text", nameText);

const hostsim::DemoSection pairTour(
    "30-pair",
    "echo -- analyse two elements: two picks measure between two faces\n"
    "analyse\n"
    "mode 2\n"
    "echo -- the top and the bottom face: parallel planes\n"
    "pick 20 10 100 0 0 -1\n"
    "pick 50 30 -50 0 0 1\n"
    "results\n"
    "echo -- the top face and the chamfer: the faces meet at 135 degrees\n"
    "pick 20 10 100 0 0 -1\n"
    "pick 30 -10 50 0 1 -1\n"
    "results\n"
    "show view\n"
    "echo -- the bottom and the face at 120 degrees to the top: 60 degrees\n"
    "pick 50 30 -50 0 0 1\n"
    "pick 95 30 100 0 0 -1\n"
    "results\n"
    "show view\n"
    "echo -- the two holes of radius 5\n"
    "pick 20 40 30 0 1 -0.2\n"
    "pick 40 40 30 0 1 -0.2\n"
    "results\n"
    "echo -- a hole and the top face: a right angle\n"
    "pick 20 40 31 0 1 -0.2\n"
    "pick 20 10 100 0 0 -1\n"
    "results\n"
    "show view\n"
    "echo -- a hole and the face at 120 degrees: 90 and the 60 between axis and normal, drawn when ticked\n"
    "pick 20 40 30 0 1 -0.2\n"
    "pick 95 30 100 0 0 -1\n"
    "results\n"
    "set InfoFaceholeAngle true\n"
    "show view\n"
    "echo -- the chamfer and a hole: 90 and the 45 between the chamfer's normal and the axis\n"
    "pick 30 -10 50 0 1 -1\n"
    "pick 20 40 31 0 1 -0.2\n"
    "results\n"
    "show view\n"
    "echo -- the rounding along the top's back edge, then the top: the faces meet at 138.19 degrees, in the "
    "panel, the arc and the model alike\n"
    "pick 20 59 100 0 0 -1\n"
    "pick 12 22 100 0 0 -1\n"
    "set InfoAngle true\n"
    "results\n"
    "show view\n"
    "press save\n"
    "entities\n"
    "entities clear\n"
    "echo -- the torus at the boss's foot, then the boss's wall: the torus is measured by its normal at the pick, "
    "14.478 degrees from the boss's axis\n"
    "pick 30 22.5 100 0 0 -1\n"
    "pick 30 -50 46 0 1 0\n"
    "results\n"
    "show view\n"
    "echo -- top and bottom again, saved into the model on layer Dims in green\n"
    "pick 60 50 100 0 0 -1\n"
    "pick 80 10 -50 0 0 1\n"
    "set CadLayer Dims\n"
    "set CadColor 65280\n"
    "press save\n"
    "entities\n"
    "echo -- a model that takes no texts, then one that takes no polylines: nothing is saved, the user is told\n"
    "entities clear\n"
    "entities refuse text\n"
    "press save\n"
    "entities\n"
    "entities refuse polyline\n"
    "press save\n"
    "entities\n"
    "echo -- a host whose model cannot take entities out again: it keeps what it took, the user is told what\n"
    "offer kvIBaseModelWithDelete off\n"
    "press save\n"
    "entities\n"
    "offer kvIBaseModelWithDelete on\n"
    "entities refuse none\n"
    "echo -- feedback size 0: the angle between the top and the chamfer keeps its legs, arc and text, on the "
    "radius of the traces' crossing, with arrowheads of size 0\n"
    "feedback Size 0\n"
    "pick 20 10 100 0 0 -1\n"
    "pick 30 -10 50 0 1 -1\n"
    "set InfoAngle true\n"
    "show view\n"
    "echo -- feedback size 0.000005: the chamfer, then the boss's wall; the dimension starts on the crossing, its "
    "arc takes the size for its radius and its text stands 5 high, saved as 8 entities\n"
    "feedback Size 0.000005\n"
    "pick 31 -10 50 0 1 -1\n"
    "pick 30 -50 46 0 1 0\n"
    "set InfoFaceholeAngle true\n"
    "show view\n"
    "entities clear\n"
    "press save\n"
    "entities\n"
    "feedback Size 50\n"
    "echo -- a first pick, then the window closes and opens again: the next pick starts a new pair\n"
    "pick 50 50 100 0 0 -1\n"
    "close\n"
    "analyse\n"
    "pick 80 20 -50 0 0 1\n"
    "results\n"
    "close\n");

} // namespace
