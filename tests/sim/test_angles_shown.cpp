// Every angle the sample part shows, end to end: the angle dimension the view
// shows at that moment spans the angle written on it, and the panel shows the
// same number, checked against the part's geometry.
#include "hostsim_runner.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using hostsim_test::runHostsim;
using hostsim_test::SimRun;

const double kDegrees = 180.0 / 3.141592653589793;

struct Point {
    double x = 0, y = 0, z = 0;
};

// The three numbers of "(x, y, z)" at text[at].
Point pointAt(const std::string& text, std::size_t at)
{
    Point p;
    char* end = nullptr;
    p.x = std::strtod(text.c_str() + at + 1, &end);
    p.y = std::strtod(end + 1, &end);
    p.z = std::strtod(end + 1, &end);
    return p;
}

// An angle dimension as "show view" lists it: "contour from C line to E arc
// to S about C ..." and its text, in one group.
struct Shown {
    bool found = false;
    double sweep = 0.0;  // degrees, the arc between the legs' ends
    std::string text;
};

// The (one) angle dimension in the view listing that follows line from.
Shown angleInView(const SimRun& run, int from)
{
    Shown shown;
    const int view = run.find("view shows:", from);
    if (view < 0)
        return shown;
    for (std::size_t i = view + 1; i < run.lines.size() && run.lines[i].compare(0, 2, "  ") == 0; ++i) {
        const std::string& line = run.lines[i];
        const std::size_t arc = line.find(" arc to ");
        if (line.find("    contour from ") == 0 && arc != std::string::npos) {
            const Point c = pointAt(line, line.find('('));
            const Point e = pointAt(line, line.find('(', line.find(" line to ")));
            const Point s = pointAt(line, line.find('(', arc));
            const double ex = e.x - c.x, ey = e.y - c.y, ez = e.z - c.z;
            const double sx = s.x - c.x, sy = s.y - c.y, sz = s.z - c.z;
            const double cx = ey * sz - ez * sy, cy = ez * sx - ex * sz, cz = ex * sy - ey * sx;
            shown.sweep = std::atan2(std::sqrt(cx * cx + cy * cy + cz * cz), ex * sx + ey * sy + ez * sz) * kDegrees;
            shown.found = true;
        }
        // The angle's text is 5 high; the other dimensions' texts 2.
        const std::size_t text = line.find("    text \"");
        if (text == 0 && line.find(", size 5,") != std::string::npos)
            shown.text = line.substr(10, line.find('"', 10) - 10);
    }
    return shown;
}

struct Case {
    const char* name;
    const char* script;  // picks and ticks, in the mode given
    int mode;
    const char* panel;  // the panel's line of the angle, before its value
    double angle;       // the angle in the part's geometry
};

TEST(AnglesShown, EveryAngleDimensionSpansTheNumberItAndThePanelShow)
{
    const char* const top = "pick 20 10 100 0 0 -1\n";
    const char* const bottom = "pick 50 30 -50 0 0 1\n";
    const char* const chamfer = "pick 30 -10 50 0 1 -1\n";
    const char* const tilted = "pick 95 30 100 0 0 -1\n";
    const char* const hole = "pick 20 40 30 0 1 -0.2\n";
    const Case cases[] = {
        // Two planes: the angle the faces make with each other.
        {"top and chamfer", "TOP CHAMFER", 2, "Angle: [x] ", 135.0},
        {"top and tilted face", "TOP TILTED", 2, "Angle: [x] ", 120.0},
        {"bottom and tilted face", "BOTTOM TILTED", 2, "Angle: [x] ", 60.0},
        // A hole and a face: a right angle and the axis's angle to the
        // face's normal.
        {"hole and tilted face", "HOLE TILTED set InfoFaceholeAngle true\n", 2, "Drill hole Angle: [x] ", 150.0},
        {"chamfer and hole", "CHAMFER HOLE", 2, "Drill hole Angle: [x] ", 135.0},
        {"top and hole", "TOP HOLE", 2, "Drill hole Angle: [x] ", 90.0},
        // The hole's axis turned to a viewer below: opposite to the top's
        // normal, still a right angle, and drawn.
        {"top and hole seen from below", "TOP pick 20 40 10 0 1 0.2\n", 2, "Drill hole Angle: [x] ", 90.0},
        // (Elsewhere on the hole: a pick where the last one was is dropped.)
        {"hole and top", "pick 20 40 31 0 1 -0.2\nTOP", 2, "Drill hole Angle: [x] ", 90.0},
        // One face against the frame: its tilt. (Mode 1 comes last: the
        // element it measured would start a pair in mode 2.)
        {"tilted face", tilted, 1, "Angle: [x] ", 60.0},
        {"chamfer", chamfer, 1, "Angle: [x] ", 45.0},
        // The countersink's full opening.
        {"countersink", "pick 80 35 100 0 0 -1\nset InfoConeAngle true\n", 1, "Cone Angle: [x] ", 90.0},
    };
    auto expand = [&](std::string s) {
        const std::pair<const char*, const char*> words[] = {
            {"TOP ", top}, {"BOTTOM ", bottom}, {"CHAMFER ", chamfer}, {"TILTED ", tilted}, {"HOLE ", hole},
            {"CHAMFER", chamfer}, {"TILTED", tilted}, {"HOLE", hole}, {"TOP", top}};
        for (const auto& w : words)
            for (std::size_t at; (at = s.find(w.first)) != std::string::npos;)
                s.replace(at, std::string(w.first).size(), w.second);
        return s;
    };
    std::string script = "analyse\n";
    for (const Case& c : cases)
        // A pick beside the part ends any pair and moves the cursor on.
        script += "mode " + std::to_string(c.mode) + "\npick 150 150 100 0 0 -1\necho == " + c.name + "\n" +
                  expand(c.script) + "results\nshow view\n";
    script += "close\n";
    const SimRun run = runHostsim(std::string("--module ") + KV_MODULE_PATH + " -", script);
    ASSERT_EQ(0, run.status) << run.all();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int at = run.find(std::string("== ") + c.name);
        ASSERT_GE(at, 0) << run.all();
        const Shown shown = angleInView(run, at);
        ASSERT_TRUE(shown.found) << run.all();
        // The view prints four significant digits.
        EXPECT_NEAR(c.angle, shown.sweep, 0.05);
        EXPECT_NEAR(c.angle, std::strtod(shown.text.c_str(), nullptr), 1e-9) << shown.text;
        char value[32];
        std::snprintf(value, sizeof value, "%g", c.angle);
        EXPECT_GE(run.find(std::string("    ") + c.panel + value, at), 0) << run.all();
    }
}

} // namespace
