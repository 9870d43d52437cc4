// The two-element measurement end to end: pairs of picks on the sample part
// in the simulator, the type each pair is recorded as and the values it
// shows, and a saved measurement as the model receives it.
#include "hostsim_runner.h"
#include "sample_part.h"

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Runs the simulator on a script and returns what it printed.
std::string runScript(const std::string& script)
{
    const hostsim_test::SimRun run = hostsim_test::runHostsim(hostsim_test::kModule + " -", script);
    return run.text() + run.err;
}

// The text between a marker line and the next marker (or the end).
std::string section(const std::string& out, const std::string& marker)
{
    const std::size_t begin = out.find("== " + marker + "\n");
    if (begin == std::string::npos)
        return "";
    const std::size_t end = out.find("== ", begin + 3);
    return out.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

int occurrences(const std::string& text, const std::string& part)
{
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// Picks on faces of the sample part, each seen along its view direction.
const char* const kTop = "pick 20 10 100 0 0 -1\n";
const char* const kTopAgain = "pick 25 15 100 0 0 -1\n";
const char* const kBottom = "pick 50 30 -50 0 0 1\n";
const char* const kFront = "pick 30 -50 20 0 1 0\n";
const char* const kChamfer = "pick 30 -10 50 0 1 -1\n";
const char* const kTilted = "pick 95 30 100 0 0 -1\n";
const char* const kHole1 = "pick 20 40 30 0 1 -0.2\n";
const char* const kHole2 = "pick 40 40 30 0 1 -0.2\n";
const char* const kTorus = "pick 37 15 100 0 0 -1\n";
const char* const kFreeForm = "pick 50 10 100 0 0 -1\n";
const char* const kRounding = "pick -10 70 20 1 -1 0\n";
const char* const kBackRounding = "pick 20 59 100 0 0 -1\n";
const char* const kTorusBeforeBoss = "pick 30 22.5 100 0 0 -1\n";
const char* const kFilletRight = "pick 110 70 20 -1 -1 0\n";
const char* const kBossWall = "pick 30 -50 46 0 1 0\n";

struct Pair {
    const char* name;
    const char* first;
    const char* second;
    int type;
    // Result lines the pair shows ("" for none to check).
    const char* line1;
    const char* line2;
};

TEST(PairMeasurement, PairsOfFacesOfTheSamplePart)
{
    const Pair pairs[] = {
        {"parallel planes", kTop, kBottom, 2, "Distance: [x] 40", "Point Distance: [ ] 53.852"},
        {"planes at 90", kTop, kFront, 5, "Angle: [x] 90", "Distance: [ ] 20"},
        // Two planes: the angle the faces make with each other.
        {"top and chamfer", kTop, kChamfer, 16, "Angle: [x] 135", "Distance: [ ] 2.5"},
        {"top and tilted face", kTop, kTilted, 16, "Angle: [x] 120", ""},
        // 59.99999 degrees in floating point: the type follows the 60 shown.
        {"bottom and tilted face", kBottom, kTilted, 16, "Angle: [x] 60", ""},
        {"parallel holes", kHole1, kHole2, 9, "Hole distance: [x] 20", ""},
        {"hole and plane along its axis", kHole1, kTopAgain, 6, "Drill hole Angle: [x] 90", ""},
        {"hole and plane along it", kHole1, kFront, 3, "Drill hole Angle: [ ] 0", ""},
        {"hole and the 120 face", kHole1, kTilted, 3, "Drill hole Angle: [ ] 150", ""},
        {"plane and hole along its normal", kTop, kHole1, 6, "Drill hole Angle: [x] 90", ""},
        // The axis lies in the plane: only distances, the type stays the first's.
        {"plane and hole in it", kFront, kHole1, 7, "Distance: [x] 45", ""},
        {"plane and rounding", kTop, kRounding, 6, "Angle: [ ] 90", "Distance: [x] 20"},
        {"plane and torus", kTop, kTorus, 12, "Distance: [x] 0.268", ""},
        {"plane and free form", kTop, kFreeForm, 12, "Distance: [x] 2.489", ""},
        // A rounding along the top, then the top: its normal at the pick
        // (0, 2/3, sqrt 5 / 3) is 41.81 degrees from the top's.
        {"rounding and plane along it", kBackRounding, kTopAgain, 12, "Angle: [ ] 138.19", ""},
        // A torus stands by its normal at the pick, (0, 1/4, sqrt 15 / 4)
        // here, not by its axis: 14.478 degrees from the boss's axis, and
        // not parallel to the fillet's.
        {"torus and boss wall", kTorusBeforeBoss, kBossWall, 13, "Drill hole Angle: [x] 104.478", ""},
        {"torus and fillet", kTorusBeforeBoss, kFilletRight, 12, "Angle: [ ] 100.182", ""},
    };
    std::string script = "analyse\nmode 2\n";
    for (const Pair& p : pairs)
        // A pick elsewhere between two pairs: the reactor ignores a pick at
        // the very place of the last one.
        script += std::string("echo == ") + p.name + "\n" + p.first + p.second + "results\npick 1 1 -50 0 0 1\n" +
                  "pick 2 2 -50 0 0 1\n";
    script += "close\n";
    const std::string out = runScript(script);
    for (const Pair& p : pairs) {
        SCOPED_TRACE(p.name);
        const std::string s = section(out, p.name);
        ASSERT_FALSE(s.empty()) << out;
        EXPECT_NE(std::string::npos, s.find("AnalyseType: " + std::to_string(p.type) + "\n")) << s;
        for (const char* line : {p.line1, p.line2}) {
            if (*line) {
                EXPECT_NE(std::string::npos, s.find(std::string("    ") + line + "\n")) << s;
            }
        }
        EXPECT_EQ(std::string::npos, s.find("[message box")) << s;
    }
}

TEST(PairMeasurement, ASavedDistanceIsWrittenOnTheChosenLayerAndColour)
{
    const std::string out = runScript(std::string("analyse\nmode 2\n") + kTop + kBottom +
                                      "set CadLayer Dims\nset CadColor 65280\npress save\nentities\n"
                                      "echo == later\n" + kTopAgain + kChamfer + "entities\nclose\n");
    // The extension lines, the dimension line with its text, and each of
    // the two arrowheads drawn as its two sides and its base.
    const char* const expected[] = {
        "  1  polyline 3 points from (20, 10, 40) to (50, 30, 0)  layer \"Dims\"  colour 0x00ff00  insert 1 at (20, 0, 20)",
        "  2  text \"40\" height 3 direction (0, 0, -1) at (20, 0, 20)  layer \"Dims\"  colour 0x00ff00  insert 2 at (20, 0, 20)",
        "  3  line from (20, 10, 0) to (20, 10, 40)  layer \"Dims\"  colour 0x00ff00  insert 2 at (20, 0, 20)",
        "model entities: 9",
        "insert brackets: 8 opened, 8 closed",
    };
    for (const char* line : expected)
        EXPECT_NE(std::string::npos, out.find(std::string(line) + "\n")) << line << "\n" << out;
    for (int n = 4; n <= 9; ++n)
        EXPECT_NE(std::string::npos, out.find("  " + std::to_string(n) + "  polyline ")) << out;
    // The save is over: the next pair writes nothing.
    const std::string later = section(out, "later");
    EXPECT_NE(std::string::npos, later.find("model entities: 9\n")) << later;
}

// The entities listed after marker, each as its kind, a polyline's with its
// count of points.
std::vector<std::string> savedAfter(const std::string& out, const std::string& marker)
{
    std::vector<std::string> saved;
    const std::size_t at = out.find(marker);
    if (at == std::string::npos)
        return saved;
    std::istringstream text(out.substr(at));
    std::string line;
    while (std::getline(text, line) && line.rfind("model entities: ", 0) != 0) {
    }
    while (std::getline(text, line) && line.rfind("  ", 0) == 0) {
        std::istringstream words(line);
        std::string number, kind, count;
        words >> number >> kind >> count;
        saved.push_back(kind == "polyline" ? kind + " " + count : kind);
    }
    return saved;
}

// The top and the 45 degree chamfer meet at 135 degrees: the text, the legs
// and arc in one polyline from the centre back to it, and each arrowhead's
// two sides and base, all on the chosen layer and colour.
TEST(PairMeasurement, ASavedAngleIsItsTextItsLegsAndArcAndTwoArrowheads)
{
    const std::string out = runScript(std::string("analyse\nmode 2\n") + kTop + kChamfer +
                                      "set CadLayer Dims\nset CadColor 65280\necho == saved\npress save\nentities\n"
                                      "echo == later\nset CadColor 255\nentities\nclose\n");
    const std::vector<std::string> saved = savedAfter(out, "pressed save");
    ASSERT_EQ(8u, saved.size()) << out;
    EXPECT_EQ("text", saved[0]);
    EXPECT_EQ("polyline", saved[1].substr(0, 8));
    EXPECT_GT(std::stoi(saved[1].substr(9)), 10) << out;
    for (std::size_t i = 2; i < saved.size(); ++i)
        EXPECT_EQ(i % 3 == 1 ? "polyline 5" : "polyline 3", saved[i]) << i;
    const std::size_t arc = out.find("  2  polyline ");
    ASSERT_NE(std::string::npos, arc) << out;
    const std::string line = out.substr(arc, out.find('\n', arc) - arc);
    const std::size_t from = line.find(" from "), to = line.find(" to ");
    EXPECT_EQ(line.substr(from + 6, line.find(')', from) - from - 5), line.substr(to + 4, line.find(')', to) - to - 3))
        << line;
    EXPECT_NE(std::string::npos, out.find("  1  text \"135\" ")) << out;
    EXPECT_EQ(8, occurrences(section(out, "saved"), "layer \"Dims\"  colour 0x00ff00"));
    // The text and the arc in one insert bracket, each arrowhead outline in its own.
    EXPECT_NE(std::string::npos, out.find("insert brackets: 7 opened, 7 closed\n")) << out;
    EXPECT_NE(std::string::npos, section(out, "later").find("model entities: 8\n")) << out;
}

// A model that refuses a kind of entity keeps nothing of the save when it
// can take entities out again, and what it took when it cannot; the user is
// told which.
TEST(PairMeasurement, ARefusedEntityLeavesNothingOrWhatTheModelTookAndTheUserIsTold)
{
    const std::string out = runScript(
        std::string("analyse\nmode 2\n") + kTop + kChamfer +
        "echo == no texts\nentities refuse text\npress save\nentities\n"
        "echo == no polylines\nentities refuse polyline\npress save\nentities\n"
        "offer kvIBaseModelWithDelete off\necho == no polylines kept\npress save\nentities\n"
        "entities clear\necho == no texts kept\nentities refuse text\npress save\nentities\nclose\n");
    const std::string nothing = "The model did not take the whole measurement: nothing was saved\n";
    const std::string partly = "The model did not take the whole measurement and holds of it: ";
    struct Case {
        const char* marker;
        std::string told;
        int kept;
    } const cases[] = {
        {"no texts", nothing, 0},
        {"no polylines", nothing, 0},
        {"no polylines kept", partly + "the text \"135\"\n", 1},
        {"no texts kept", partly + "7 polylines\n", 7},
    };
    for (const Case& c : cases) {
        const std::string s = section(out, c.marker);
        EXPECT_NE(std::string::npos, s.find("[message box kind 3] " + c.told)) << c.marker << "\n" << s;
        EXPECT_EQ(c.kept, static_cast<int>(savedAfter(s, "pressed save").size())) << c.marker << "\n" << s;
        const std::size_t brackets = s.find("insert brackets: ");
        ASSERT_NE(std::string::npos, brackets) << s;
        int opened = -1, closed = -2;
        std::sscanf(s.c_str() + brackets, "insert brackets: %d opened, %d closed", &opened, &closed);
        EXPECT_EQ(opened, closed) << c.marker;
    }
}

TEST(PairMeasurement, ARadiusIsSavedWithTheOneArrowheadItIsDrawnWith)
{
    const std::string out =
        runScript(std::string("analyse\nmode 1\n") + kRounding + "press save\nentities\nclose\n");
    // The leader with its text, written once, then the one arrowhead's
    // outlines.
    EXPECT_NE(std::string::npos, out.find("model entities: 5\n")) << out;
    EXPECT_NE(std::string::npos, out.find("  1  text \"R3\" ")) << out;
    EXPECT_NE(std::string::npos, out.find("  2  line ")) << out;
    EXPECT_NE(std::string::npos, out.find("insert brackets: 4 opened, 4 closed\n")) << out;
}

TEST(PairMeasurement, ClosingTheWindowEndsAStartedPair)
{
    const std::string out = runScript(std::string("analyse\nmode 2\n") + kTop + "close\nanalyse\n" + kBottom +
                                      "results\nclose\n");
    EXPECT_NE(std::string::npos, out.find("AnalyseType: 7\n")) << out;
    EXPECT_EQ(std::string::npos, out.find("Distance: [x] 40")) << out;
}

// The first pick of a pair measures nothing yet: there is nothing to save,
// so neither the CAD environment nor the Save button is offered.
TEST(PairMeasurement, AfterTheFirstPickOfAPairNothingCanBeSavedYet)
{
    const std::string out = runScript(std::string("analyse\nmode 2\n") + kTop +
                                      "echo == first\nresults\nshow window\n" + kBottom +
                                      "echo == second\nresults\nshow window\n" + kFront +
                                      "echo == next first\nresults\nshow window\nclose\n");
    const std::string first = section(out, "first"), second = section(out, "second");
    EXPECT_NE(std::string::npos, first.find("    Type: Plane\n")) << first;
    EXPECT_EQ(std::string::npos, first.find("[CAD environment]")) << first;
    EXPECT_NE(std::string::npos, first.find(" save (hidden, ")) << first;
    // The pair measured, both are there.
    EXPECT_NE(std::string::npos, second.find("  [CAD environment]\n")) << second;
    EXPECT_NE(std::string::npos, second.find(" save (shown, enabled)")) << second;
    // The next pair's first pick takes them away again.
    const std::string next = section(out, "next first");
    EXPECT_NE(std::string::npos, next.find("    Pick point: X30, Y0, Z20\n")) << next;
    EXPECT_EQ(std::string::npos, next.find("[CAD environment]")) << next;
    EXPECT_NE(std::string::npos, next.find(" save (hidden, ")) << next;
}

namespace {

std::string rounded(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lg", std::round(value * 1000.0) / 1000.0);
    return text;
}

// The distance from a to b along the unit vector n, as the panel shows it.
std::string along(const double a[3], const double b[3], const double n[3])
{
    double d = 0.0;
    for (int k = 0; k < 3; ++k)
        d += (b[k] - a[k]) * n[k];
    return rounded(std::fabs(d));
}

} // namespace

// A curved first element and a plane second: the distance is taken along
// the first element's normal at its pick, from its pick to the plane's.
TEST(PairMeasurement, ACurvedFirstElementAndAPlaneShowTheDistanceAlongTheFirst)
{
    const double r2 = std::sqrt(0.5);
    // The back left fillet: radius 3 about the vertical line (3, 57); the
    // pick along (1, -1, 0) meets it where its normal is (-1, 1, 0) / sqrt 2.
    const double filletPick[3] = {3.0 - 3.0 * r2, 57.0 + 3.0 * r2, 20.0};
    const double filletNormal[3] = {-r2, r2, 0.0};
    // The boss's fillet: a tube of radius 2 about the circle of radius 8
    // round (30, 15) at z 42; at x 37 its point lies sqrt 3 below the tube's
    // centre (38, 15, 42), its normal toward that centre.
    const double torusPick[3] = {37.0, 15.0, 42.0 - std::sqrt(3.0)};
    const double torusNormal[3] = {0.5, 0.0, std::sqrt(3.0) / 2.0};
    // The pocket floor from its polynomial: the normal (-zx, -zy, 1) / |.|
    // at (50, 10), by central differences of the height.
    const hostsim::SampleFace& floor = *hostsim::samplePart().findFace(151);
    const double h = 1e-4;
    const double zx = (hostsim::freeformHeight(floor, 50 + h, 10) - hostsim::freeformHeight(floor, 50 - h, 10)) / (2 * h);
    const double zy = (hostsim::freeformHeight(floor, 50, 10 + h) - hostsim::freeformHeight(floor, 50, 10 - h)) / (2 * h);
    const double length = std::sqrt(zx * zx + zy * zy + 1.0);
    const double floorPick[3] = {50.0, 10.0, hostsim::freeformHeight(floor, 50, 10)};
    const double floorNormal[3] = {-zx / length, -zy / length, 1.0 / length};
    // The picks on the planes: the top at (20, 10, 40), the front at (30, 0, 20).
    const double topPick[3] = {20, 10, 40}, frontPick[3] = {30, 0, 20};
    struct Case {
        const char* name;
        const char* first;
        const char* second;
        std::string distance;
    } const cases[] = {
        {"rounding", kRounding, kTop, along(filletPick, topPick, filletNormal)},
        {"torus", kTorus, kTop, along(torusPick, topPick, torusNormal)},
        {"free form", kFreeForm, kFront, along(floorPick, frontPick, floorNormal)},
    };
    std::string script = "analyse\nmode 2\n";
    for (const Case& c : cases)
        script += std::string("echo == ") + c.name + "\n" + c.first + c.second + "results\npick 1 1 -50 0 0 1\n" +
                  "pick 2 2 -50 0 0 1\n";
    const std::string out = runScript(script + "close\n");
    for (const Case& c : cases) {
        const std::string s = section(out, c.name);
        EXPECT_NE(std::string::npos, s.find("    Distance: [ ] " + c.distance + "\n")) << c.name << "\n" << s;
    }
    // The three cases as tried by hand.
    EXPECT_EQ("48.255", cases[0].distance);
    EXPECT_EQ("8.732", cases[1].distance);
    EXPECT_EQ("15.276", cases[2].distance);
}

// A plane chosen through the host's selection is the pair's first element:
// the next pick is measured from that plane, not from a pick before it. The
// pair before begins on the bottom, 40 below the top.
TEST(PairMeasurement, APlaneSelectedAsFirstElementIsMeasuredFrom)
{
    const std::string out = runScript(std::string("analyse\nmode 2\n") + kBottom + kTop +
                                      "select faces 102\n" + kChamfer + "echo == chamfer\nresults\nclose\n");
    const std::string s = section(out, "chamfer");
    // The chamfer is met at z 37.5, 2.5 below the top.
    EXPECT_NE(std::string::npos, out.find("pick hits face 107 \"chamfer 45\" at (30, 2.5, 37.5)")) << out;
    EXPECT_NE(std::string::npos, s.find("    Distance: [ ] 2.5\n")) << s;
    EXPECT_NE(std::string::npos, s.find(", DZ2.5\n")) << s;
}

// A saved distance is a polyline, its text, a line and the arrowheads'
// polylines. Refused in part by a model that cannot take entities out again,
// the user is told what it holds as it holds it: the line as a line.
TEST(PairMeasurement, ARefusedSaveNamesTheLineItLeftAsALine)
{
    const std::string out = runScript(std::string("analyse\nmode 2\n") + kTop + kBottom +
                                      "offer kvIBaseModelWithDelete off\necho == no texts\nentities refuse text\n"
                                      "press save\nentities\nentities clear\necho == no polylines\n"
                                      "entities refuse polyline\npress save\nentities\nclose\n");
    const std::string partly = "[message box kind 3] The model did not take the whole measurement and holds of it: ";
    const std::string noTexts = section(out, "no texts"), noPolylines = section(out, "no polylines");
    EXPECT_NE(std::string::npos, noTexts.find("  2  line from (20, 10, 0) to (20, 10, 40) ")) << noTexts;
    EXPECT_NE(std::string::npos, noTexts.find(partly + "1 line, 7 polylines\n")) << noTexts;
    EXPECT_NE(std::string::npos, noPolylines.find("model entities: 2\n")) << noPolylines;
    EXPECT_NE(std::string::npos, noPolylines.find(partly + "the text \"40\", 1 line\n")) << noPolylines;
}

} // namespace
