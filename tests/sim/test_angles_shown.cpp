// Every angle the sample part shows, end to end: the angle dimension the view
// shows at that moment spans the angle written on it, and the panel shows the
// same number, checked against the part's geometry.
#include "hostsim_runner.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
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

// The first line at or after from that begins with start, or "".
std::string firstLineFrom(const SimRun& run, int from, const std::string& start)
{
    for (std::size_t i = from < 0 ? 0 : from; i < run.lines.size(); ++i)
        if (run.lines[i].compare(0, start.size(), start) == 0)
            return run.lines[i];
    return "";
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

namespace {

const double kRoot2 = std::sqrt(2.0);

// One pick on each of the sample part's 27 faces, worked out from the part's
// construction: the ray, the point it reaches, the face's normal there (out
// of the material) and, for a turned face, its axis.
struct FacePick {
    int id;
    const char* ray;
    Point at, normal, axis;
    bool rounding;
};

// The pocket floor at (50, 10): its patch's slopes there (s = 5, t = 7) are
// 0.0705 along x and 0.0745 along y.
const double kFloorSlopeX = 0.0705, kFloorSlopeY = 0.0745;

const FacePick kFacePicks[] = {
    {101, "pick 50 30 -50 0 0 1", {50, 30, 0}, {0, 0, -1}, {}, false},
    {102, "pick 12 22 100 0 0 -1", {12, 22, 40}, {0, 0, 1}, {}, false},
    {103, "pick 30 -50 20 0 1 0", {30, 0, 20}, {0, -1, 0}, {}, false},
    {104, "pick 50 100 20 0 -1 0", {50, 60, 20}, {0, 1, 0}, {}, false},
    {105, "pick -50 30 20 1 0 0", {0, 30, 20}, {-1, 0, 0}, {}, false},
    {106, "pick 150 30 10 -1 0 0", {100, 30, 10}, {1, 0, 0}, {}, false},
    {107, "pick 30 -10 50 0 1 -1", {30, 2.5, 37.5}, {0, -1 / kRoot2, 1 / kRoot2}, {}, false},
    {108, "pick 95 30 100 0 0 -1", {95, 30, 40 - 5 * std::sqrt(3.0)}, {std::sqrt(3.0) / 2, 0, 0.5}, {}, false},
    {111, "pick 20 40 30 0 1 -0.2", {20, 45, 29}, {0, -1, 0}, {0, 0, 1}, false},
    {112, "pick 20 40 30 0 -1 -0.2", {20, 35, 29}, {0, 1, 0}, {0, 0, 1}, false},
    {113, "pick 40 40 30 0 1 -0.2", {40, 45, 29}, {0, -1, 0}, {0, 0, 1}, false},
    {114, "pick 40 40 30 0 -1 -0.2", {40, 35, 29}, {0, 1, 0}, {0, 0, 1}, false},
    {115, "pick 70 35 20 1 0 0", {78, 35, 20}, {-1, 0, 0}, {0, 0, 1}, false},
    {116, "pick 80 35 100 0 0 -1", {80, 35, 38}, {-1 / kRoot2, 0, 1 / kRoot2}, {0, 0, 1}, false},
    {121, "pick -10 70 20 1 -1 0", {3 - 3 / kRoot2, 57 + 3 / kRoot2, 20}, {-1 / kRoot2, 1 / kRoot2, 0}, {0, 0, 1}, true},
    {122, "pick 110 70 20 -1 -1 0", {97 + 3 / kRoot2, 57 + 3 / kRoot2, 20}, {1 / kRoot2, 1 / kRoot2, 0}, {0, 0, 1}, true},
    {123, "pick 20 59 100 0 0 -1", {20, 59, 37 + std::sqrt(5.0)}, {0, 2.0 / 3, std::sqrt(5.0) / 3}, {1, 0, 0}, true},
    {124, "pick 1 30 100 0 0 -1", {1, 30, 37 + std::sqrt(5.0)}, {-2.0 / 3, 0, std::sqrt(5.0) / 3}, {0, 1, 0}, true},
    {131, "pick 30 -50 46 0 1 0", {30, 9, 46}, {0, -1, 0}, {0, 0, 1}, false},
    {132, "pick 33 17 100 0 0 -1", {33, 17, 50}, {0, 0, 1}, {}, false},
    // The torus fillet 7.5 from the boss's axis: a quarter of the way round its tube.
    {133, "pick 30 22.5 100 0 0 -1", {30, 22.5, 42 - std::sqrt(15.0) / 2}, {0, 0.25, std::sqrt(15.0) / 4}, {}, false},
    {141, "pick 2 58 100 0 0 -1", {2, 58, 37 + std::sqrt(7.0)}, {-1.0 / 3, 1.0 / 3, std::sqrt(7.0) / 3}, {}, false},
    {151, "pick 50 10 100 0 0 -1", {50, 10, 37.51075}, {-kFloorSlopeX, -kFloorSlopeY, 1}, {}, false},
    {152, "pick 50 4 37.5 0 -1 0", {50, 3, 37.5}, {0, 1, 0}, {}, false},
    {153, "pick 50 10 38.5 0 1 0", {50, 20, 38.5}, {0, -1, 0}, {}, false},
    {154, "pick 50 10 38.5 -1 0 0", {45, 10, 38.5}, {1, 0, 0}, {}, false},
    {155, "pick 50 10 38.5 1 0 0", {58, 10, 38.5}, {-1, 0, 0}, {}, false},
};

double dot(const Point& a, const Point& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double length(const Point& a) { return std::sqrt(dot(a, a)); }
bool hasAxis(const FacePick& f) { return length(f.axis) > 0.0; }

// The angle between two directions, 0 to 180 degrees.
double between(const Point& a, const Point& b)
{
    return std::acos(std::fmax(-1.0, std::fmin(1.0, dot(a, b) / (length(a) * length(b))))) * kDegrees;
}

// The angle between two lines, 0 to 90 degrees.
double betweenLines(const Point& a, const Point& b)
{
    const double angle = between(a, b);
    return angle > 90.0 ? 180.0 - angle : angle;
}

// A shown angle (three decimals; 0 also for 180) is the angle.
bool showsAngle(const std::string& shown, double angle)
{
    const double d = std::fabs(std::strtod(shown.c_str(), nullptr) - angle);
    return std::fmin(d, std::fabs(d - 180.0)) <= 0.0005 + 1e-9;
}

// The value of a result line "    label: [x] value" in the printed panel.
std::string shownValue(const std::string& panel, const std::string& label)
{
    const std::size_t at = panel.find("    " + label + ": [");
    if (at == std::string::npos)
        return "";
    const std::size_t from = at + 4 + label.size() + 6;
    return panel.substr(from, panel.find('\n', from) - from);
}

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// How many angles of each kind the panel showed and the view drew.
struct AngleCounts {
    std::map<std::string, int> shown, drawn;
    // Angles not drawn though 2 degrees or more from 0 and 180: "a then b key".
    std::vector<std::string> undrawn;
    int total(const std::map<std::string, int>& counts) const
    {
        int n = 0;
        for (const auto& kind : counts)
            n += kind.second;
        return n;
    }
};

struct EveryPair : hostsim_test::InProcessSession {
    // Every ordered pair at the feedback size given, counted into counts.
    void checkEveryPair(const std::string& size, AngleCounts& counts);
};

} // namespace

// Every ordered pair of two faces of the sample part in mode 2: each angle
// the panel shows is the one the view's dimension writes and spans and the
// one saved into the model, and it is the angle the faces' geometry gives.
// The angle between two faces is 180 less that between their normals at the
// picks; a face-hole angle is 90 more than the angle between the hole's
// axis and the other face's normal (a rounding first is measured by its
// axis, so its face-hole angles are checked against the view and the model
// only).
void EveryPair::checkEveryPair(const std::string& size, AngleCounts& counts)
{
    run("feedback Size " + size + "\nanalyse\nmode 2\n");
    for (const FacePick& a : kFacePicks) {
        for (const FacePick& b : kFacePicks) {
            if (a.id == b.id)
                continue;
            SCOPED_TRACE(testing::Message() << a.id << " then " << b.id);
            // A pick beside the part between two pairs: the next pick is not
            // taken for a repeat of the last.
            const std::string panel =
                run(std::string("pick 150 150 100 0 0 -1\n") + a.ray + "\n" + b.ray + "\nresults\n");
            ASSERT_TRUE(has(panel, "pick hits face " + std::to_string(a.id) + " ")) << panel;
            ASSERT_TRUE(has(panel, "pick hits face " + std::to_string(b.id) + " ")) << panel;
            struct Shown {
                const char* key;
                std::string value;
                double geometry;  // NaN where it is not checked
            };
            std::vector<Shown> shown;
            const std::string angle = shownValue(panel, "Angle");
            if (!angle.empty())
                shown.push_back({"InfoAngle", angle, 180.0 - between(a.normal, b.normal)});
            const std::string hole = shownValue(panel, "Drill hole Angle");
            if (!hole.empty()) {
                const bool drillHole = !shownValue(panel, "Drill hole offset").empty();
                double geometry = std::nan("");
                if (drillHole)
                    geometry = betweenLines(a.axis, b.axis);
                else if (!a.rounding)
                    geometry = 90.0 + betweenLines(hasAxis(a) ? a.axis : a.normal, hasAxis(a) ? b.normal : b.axis);
                shown.push_back({drillHole ? "InfoDrillholeAngle" : "InfoFaceholeAngle", hole, geometry});
            }
            for (const Shown& s : shown) {
                SCOPED_TRACE(s.key);
                ++counts.shown[s.key];
                if (!std::isnan(s.geometry)) {
                    EXPECT_TRUE(showsAngle(s.value, s.geometry)) << s.value << " shown, " << s.geometry << " between the faces";
                }
                session.model().cad().clear();
                const std::string view = run(std::string("set ") + s.key + " true\nshow view\npress save\n");
                // The dimension's text in the view, 5 high.
                const std::size_t label = view.find(", size 5,", view.find("view shows:"));
                std::string inView;
                if (label != std::string::npos) {
                    const std::size_t open = view.rfind("text \"", label) + 6;
                    inView = view.substr(open, view.find('"', open) - open);
                }
                const std::vector<hostsim::CadRecord>& saved = session.model().cad().records();
                if (inView.empty()) {
                    // Within 2 degrees of 0 or 180 nothing is drawn, and nothing
                    // saved.
                    const double value = std::strtod(s.value.c_str(), nullptr);
                    if (value >= 2.0 && value <= 178.0)
                        counts.undrawn.push_back(std::to_string(a.id) + " then " + std::to_string(b.id) + " " +
                                                 s.key);
                    EXPECT_TRUE(saved.empty());
                    continue;
                }
                ++counts.drawn[s.key];
                EXPECT_EQ(inView, s.value);
                ASSERT_GE(saved.size(), 2u);
                ASSERT_EQ(saved[0].kind, hostsim::cadText);
                EXPECT_EQ(narrow(saved[0].text), s.value);
                // The text frame's axes are of unit length on every arc.
                const std::array<double, 3>& towards = saved[0].direction;
                EXPECT_NEAR(1.0, length(Point{towards[0], towards[1], towards[2]}), 1e-9);
                // The legs and the arc: centre, the second leg's end, the arc to
                // the first leg's end, centre; the arc spans the angle. (An arc
                // within the approximation's tolerance of its chord keeps its
                // ends alone.)
                const std::vector<std::array<double, 3>>& p = saved[1].points;
                ASSERT_GE(p.size(), 4u);
                const Point c{p[0][0], p[0][1], p[0][2]};
                const Point e{p[1][0] - c.x, p[1][1] - c.y, p[1][2] - c.z};
                const std::array<double, 3>& q = p[p.size() - 2];
                const Point st{q[0] - c.x, q[1] - c.y, q[2] - c.z};
                EXPECT_NEAR(between(e, st), std::strtod(s.value.c_str(), nullptr), 0.0006);
            }
        }
    }
}

TEST_F(EveryPair, EachAngleIsTheGeometrysInThePanelTheViewAndTheModel)
{
    AngleCounts counts;
    checkEveryPair("10", counts);
    // 490 of the 702 pairs show an angle, 420 of them drawn.
    EXPECT_GE(counts.total(counts.shown), 490);
    EXPECT_GE(counts.total(counts.drawn), 420);
    EXPECT_TRUE(counts.undrawn.empty()) << counts.undrawn.front();
}

// Size 0 gives arrowheads of size 0, and the arc its radius from the
// elements' crossing: every angle of two planes, of a hole and a plane and
// of two holes drawn at size 10 is drawn and saved at size 0 as well,
// spanning the angle it writes. The one exception is an arc of radius 0:
// the chamfer's face-hole angle with the boss wall starts where the boss's
// axis meets the chamfer's plane, (30, 15, 50), which is the crossing.
TEST_F(EveryPair, AtSizeZeroEveryAngleIsStillDrawnAndSaved)
{
    AngleCounts ten, zero;
    checkEveryPair("10", ten);
    checkEveryPair("0", zero);
    EXPECT_EQ(zero.shown, ten.shown);
    for (const char* key : {"InfoAngle", "InfoDrillholeAngle"})
        EXPECT_EQ(zero.drawn[key], ten.drawn[key]) << key;
    EXPECT_EQ(zero.drawn["InfoFaceholeAngle"], ten.drawn["InfoFaceholeAngle"] - 2);
    const std::vector<std::string> onTheCrossing = {"107 then 131 InfoFaceholeAngle",
                                                    "131 then 107 InfoFaceholeAngle"};
    EXPECT_EQ(zero.undrawn, onTheCrossing);
}

// Below a size of 1e-5 the arc keeps the radius of its kind: every angle
// drawn at size 10 is drawn and saved, the chamfer's face-hole angle with
// the boss wall too (its start on the crossing, the arc of the size's
// radius).
TEST_F(EveryPair, AtSizesBelowOneHundredThousandthEveryAngleOfSizeTenIsDrawnAndSaved)
{
    AngleCounts ten;
    checkEveryPair("10", ten);
    for (const char* size : {"0.000005", "0.00001"}) {
        SCOPED_TRACE(size);
        AngleCounts small;
        checkEveryPair(size, small);
        EXPECT_EQ(small.shown, ten.shown);
        EXPECT_EQ(small.drawn, ten.drawn);
        EXPECT_TRUE(small.undrawn.empty()) << small.undrawn.front();
    }
}

namespace {

// The directions from c to a and to b, and the angle between them in degrees.
double angleAt(const Point& c, const std::array<double, 3>& a, const std::array<double, 3>& b)
{
    const Point u{a[0] - c.x, a[1] - c.y, a[2] - c.z}, v{b[0] - c.x, b[1] - c.y, b[2] - c.z};
    return between(u, v);
}

struct SavedAngle : hostsim_test::InProcessSession {};

} // namespace

// The top and the chamfer meet at 135 degrees; the saved arc turns from one
// leg to the other the short way, through 135 degrees, every step of it
// within that angle. The long way round would sweep 225 with the same ends.
TEST_F(SavedAngle, TheArcOfA135DegreeAngleSpans135Degrees)
{
    run("analyse\nmode 2\npick 20 10 100 0 0 -1\npick 30 -10 50 0 1 -1\n");
    session.model().cad().clear();
    const std::string saved = run("set InfoAngle true\npress save\n");
    EXPECT_TRUE(has(saved, "pressed save")) << saved;
    const std::vector<hostsim::CadRecord>& records = session.model().cad().records();
    ASSERT_GE(records.size(), 2u);
    ASSERT_EQ(records[0].kind, hostsim::cadText);
    EXPECT_EQ(narrow(records[0].text), "135");
    // Centre, one leg's end, the arc to the other leg's end, the centre.
    const std::vector<std::array<double, 3>>& p = records[1].points;
    ASSERT_GE(p.size(), 6u);
    const Point c{p[0][0], p[0][1], p[0][2]};
    double swept = 0.0, widest = 0.0;
    for (std::size_t i = 1; i + 2 < p.size(); ++i) {
        swept += angleAt(c, p[i], p[i + 1]);
        widest = std::fmax(widest, angleAt(c, p[1], p[i + 1]));
    }
    EXPECT_NEAR(swept, 135.0, 0.01);
    // No point of the arc lies outside the angle between the legs.
    EXPECT_LE(widest, 135.0 + 1e-6);
    EXPECT_NEAR(angleAt(c, p[1], p[p.size() - 2]), 135.0, 0.001);
}

// Feedback size 0: the top and the chamfer meet at 135 degrees, 3.536 from
// the crossing of their traces (the top is picked 5 from the crossing and
// the chamfer 2.5 below the top). The arc takes that radius, spans the
// angle and carries its text; only the arrowheads have size 0.
TEST(AnglesShown, AtSizeZeroTheAngleIsDrawnWithItsArcAndTextOnTheCrossingsRadius)
{
    const SimRun run = runHostsim(std::string("--module ") + KV_MODULE_PATH + " -",
                                  "feedback Size 0\nanalyse\nmode 2\npick 20 10 100 0 0 -1\npick 30 -10 50 0 1 -1\n"
                                  "results\nset InfoAngle true\necho == angle\nshow view\nclose\n");
    ASSERT_EQ(0, run.status) << run.all();
    EXPECT_TRUE(run.has("    Angle: [x] 135")) << run.all();
    const int at = run.find("== angle");
    const Shown shown = angleInView(run, at);
    ASSERT_TRUE(shown.found) << run.all();
    EXPECT_EQ(shown.text, "135");
    EXPECT_NEAR(shown.sweep, 135.0, 0.01);
    const std::string contour = firstLineFrom(run, at, "    contour from ");
    int arrowheads = 0;
    for (std::size_t i = at; i < run.lines.size(); ++i)
        if (run.lines[i].find("    arrowhead at ") == 0 && run.lines[i].find("radii 0/0, length 0,") != std::string::npos)
            ++arrowheads;
    EXPECT_EQ(2, arrowheads) << run.all();
    const Point c = pointAt(contour, contour.find('('));
    const Point e = pointAt(contour, contour.find('(', contour.find(" line to ")));
    const Point s = pointAt(contour, contour.find('(', contour.find(" arc to ")));
    // The crossing lies on y = 5, z = 40; the legs end 2.5 * sqrt 2 from it.
    EXPECT_NEAR(c.y, 5.0, 1e-3);
    EXPECT_NEAR(c.z, 40.0, 1e-3);
    for (const Point& end : {e, s})
        EXPECT_NEAR(std::sqrt((end.x - c.x) * (end.x - c.x) + (end.y - c.y) * (end.y - c.y) +
                              (end.z - c.z) * (end.z - c.z)),
                    2.5 * std::sqrt(2.0), 1e-3)
            << contour;
}

namespace {

const char* const kDrillHoleAngleAtFixedRadius =
    "offer kvIInvDocument1 off\nanalyse\nmode 2\npress transparent\npick 20 40 30 0 1 -0.2\n"
    "pick 20 59 100 0 0 -1\nset InfoDrillholeAngle true\n";

Point pointOf(const std::array<double, 3>& p) { return Point{p[0], p[1], p[2]}; }
Point from(const Point& c, const std::array<double, 3>& p) { return Point{p[0] - c.x, p[1] - c.y, p[2] - c.z}; }

} // namespace

// Hole 1, then the boss's rounding, in a transparent view: the drill-hole
// angle takes the size for its radius. At size 0.000005 it is drawn, arc of
// that radius, arrowheads of a tenth and a fifth of it, text 5 high, and
// its save writes the text, the legs and arc, and three outlines for each
// arrowhead, the text's direction of unit length.
TEST_F(SavedAngle, AtSizeFiveMillionthsTheFixedRadiusAngleIsDrawnAndSavedAsEightEntities)
{
    run("feedback Size 0.000005\n");
    const std::string view = run(std::string(kDrillHoleAngleAtFixedRadius) + "show view\n");
    EXPECT_TRUE(has(view, " arc to ")) << view;
    EXPECT_TRUE(has(view, "    arrowhead at (20, 45, 37) along (0.995, 0, 0.1), radii 0/5e-07, length 1e-06,")) << view;
    EXPECT_TRUE(has(view, "    arrowhead at (20, 45, 37) along (-0.1, 0, -0.995), radii 0/5e-07, length 1e-06,"))
        << view;
    EXPECT_TRUE(has(view, "    text \"90\" at (20, 45, 37), size 5,")) << view;
    session.model().cad().clear();
    run("press save\n");
    const std::vector<hostsim::CadRecord>& records = session.model().cad().records();
    ASSERT_EQ(8u, records.size());
    ASSERT_EQ(records[0].kind, hostsim::cadText);
    EXPECT_EQ(narrow(records[0].text), "90");
    EXPECT_NEAR(1.0, length(pointOf(records[0].direction)), 1e-12);
    // The centre where it is at size 10, the legs' ends at the size from it,
    // a right angle between them.
    const std::vector<std::array<double, 3>>& p = records[1].points;
    ASSERT_GE(p.size(), 4u);
    const Point c = pointOf(p[0]);
    EXPECT_NEAR(c.x, 20.0, 1e-9);
    EXPECT_NEAR(c.y, 45.0, 1e-9);
    EXPECT_NEAR(c.z, 37.0, 1e-9);
    EXPECT_NEAR(length(from(c, p[1])), 0.000005, 1e-12);
    EXPECT_NEAR(length(from(c, p[p.size() - 2])), 0.000005, 1e-12);
    EXPECT_NEAR(angleAt(c, p[1], p[p.size() - 2]), 90.0, 1e-6);
    for (std::size_t i = 2; i < records.size(); ++i)
        EXPECT_EQ(records[i].kind, hostsim::cadPolyline) << i;
}

// The countersink widens from radius 8 at z 36 to 12 at z 40: its cone's
// apex lies on the axis (70, 35) at z 28. Its full opening is dimensioned
// between the generator through the pick and the one opposite, meeting at
// the apex, wherever round the axis the pick lies; this pick lies 45 degrees
// round from the x direction, off the plane of x and the axis.
TEST(AnglesShown, TheConeAngleIsCentredAtTheApexForAPickOffThePlaneThroughTheAxis)
{
    const double r = 10.0 / std::sqrt(2.0);
    char pick[80];
    std::snprintf(pick, sizeof pick, "pick %.6f %.6f 100 0 0 -1\n", 70.0 + r, 35.0 + r);
    const SimRun run = runHostsim(std::string("--module ") + KV_MODULE_PATH + " -",
                                  std::string("analyse\nmode 1\n") + pick +
                                      "set InfoConeAngle true\necho == cone\nshow view\nclose\n");
    ASSERT_EQ(0, run.status) << run.all();
    ASSERT_TRUE(run.has("pick hits face 116 \"countersink\" at (77.0711, 42.0711, 38)")) << run.all();
    const int at = run.find("== cone");
    const Shown shown = angleInView(run, at);
    ASSERT_TRUE(shown.found) << run.all();
    EXPECT_EQ(shown.text, "90");
    EXPECT_NEAR(shown.sweep, 90.0, 0.05);
    const std::string contour = firstLineFrom(run, at, "    contour from ");
    ASSERT_FALSE(contour.empty()) << run.all();
    const Point c = pointAt(contour, contour.find('('));
    EXPECT_NEAR(c.x, 70.0, 1e-3);
    EXPECT_NEAR(c.y, 35.0, 1e-3);
    EXPECT_NEAR(c.z, 28.0, 1e-3);
    // Each leg runs along a generator: 45 degrees from the axis, one on the
    // pick's side (x - 70 = y - 35 > 0), one opposite.
    const Point e = pointAt(contour, contour.find('(', contour.find(" line to ")));
    const Point s = pointAt(contour, contour.find('(', contour.find(" arc to ")));
    const Point up{0, 0, 1};
    for (const Point& end : {e, s}) {
        const Point leg{end.x - c.x, end.y - c.y, end.z - c.z};
        EXPECT_NEAR(between(leg, up), 45.0, 0.05) << contour;
        EXPECT_NEAR(leg.x, leg.y, 0.01) << contour;
    }
    EXPECT_LT((e.x - c.x) * (s.x - c.x), 0.0) << contour;
}
