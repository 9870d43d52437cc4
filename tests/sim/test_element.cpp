// The element measurement against the sample part: the host's face library
// and trimmed picks on the simulator's side, then the module measuring every
// kind of face in a session, each value against the face's exact shape.
#include "analyse/kvPickInversion.h"
#include "hostsim_runner.h"
#include "script.h"
#include "session.h"
#include "trim.h"
#include "view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <unistd.h>

using namespace hostsim;

namespace {

using SurfPtr = std::unique_ptr<RatBSplSurf, void (*)(RatBSplSurf*)>;

// A face object of the sample part, released when the test is done.
struct HeldFace {
    explicit HeldFace(int id) : object(FaceObject::create(*samplePart().findFace(id))) {}
    ~HeldFace() { object->_relRef(); }
    kvIUnknown* get() { return static_cast<kvIGeSurface*>(object); }
    FaceObject* object;
};

double sweepOf(int id)
{
    HeldFace face(id);
    FaceLibrary library;
    const SampleFace& f = face.object->face();
    double angle = -1.0;
    EXPECT_TRUE(library.getShapeAngle({f.point[0], f.point[1], f.point[2]}, {f.axis[0], f.axis[1], f.axis[2]},
                                      face.get(), angle));
    return angle;
}

} // namespace

TEST(FaceLibraryShapes, EachFaceIsOnlyItsOwnKind)
{
    FaceLibrary library;
    const std::map<std::string, std::string> expected = {{"plane", "plane"},      {"cylinder", "cylinder"},
                                                         {"cone", "cylinder"},    {"torus", "torus"},
                                                         {"sphere", "free form"}, {"freeform", "free form"}};
    for (const SampleFace& f : samplePart().faces()) {
        HeldFace face(f.id);
        kvPoint3DRec p, d, e;
        double r = 0, s = 0, v = 0, R = 0, m = 0;
        short flag = 0;
        std::string found = "free form";
        if (library.isNurbsAsPlane(face.get(), p, d, e)) found = "plane";
        else if (library.isNurbsAsCylinder(face.get(), p, d, r, s, v, e)) found = "cylinder";
        else if (library.isNurbsAsTorusExt(face.get(), p, d, R, m, e, &flag)) found = "torus";
        EXPECT_EQ(found, expected.at(f.kind)) << "face " << f.id;
    }
    kvPoint3DRec untouched{7, 7, 7}, n, e;
    EXPECT_FALSE(library.isNurbsAsPlane(nullptr, untouched, n, e));
    EXPECT_EQ(untouched.x, 7.0);
}

TEST(FaceLibraryShapes, SweptAnglesAreTheFacesOwn)
{
    EXPECT_NEAR(sweepOf(111), 180.0, 1e-6);  // a half hole
    EXPECT_NEAR(sweepOf(121), 90.0, 1e-6);   // a quarter fillet
    EXPECT_NEAR(sweepOf(115), 360.0, 1e-6);  // the full hole
    EXPECT_NEAR(sweepOf(116), 360.0, 1e-6);  // the countersink
}

TEST(FaceLibraryShapes, LimitsOnTheAxisAreTheTrimmedExtent)
{
    FaceLibrary library;
    struct Case {
        int id;
        double z1, r1, z2, r2;
    } const cases[] = {
        {115, 0.0, 8.0, 36.0, 8.0},   // the radius-8 hole
        {116, 36.0, 8.0, 40.0, 12.0}, // the countersink widens upwards
        {121, 0.0, 3.0, 37.0, 3.0},   // the fillet ends under the sphere corner
    };
    for (const Case& c : cases) {
        HeldFace face(c.id);
        kvPoint3DRec p, d, e, l1, l2;
        double r = 0, s = 0, v = 0, r1 = 0, r2 = 0;
        ASSERT_TRUE(library.isNurbsAsCylinder(face.get(), p, d, r, s, v, e));
        ASSERT_TRUE(library.getSurfaceLimitsOnAxis(face.get(), p, d, r, s, v, l1, r1, l2, r2));
        EXPECT_NEAR(l1.z, c.z1, 1e-6) << c.id;
        EXPECT_NEAR(r1, c.r1, 1e-6) << c.id;
        EXPECT_NEAR(l2.z, c.z2, 1e-6) << c.id;
        EXPECT_NEAR(r2, c.r2, 1e-6) << c.id;
    }
}

// A sine of the half angle of exactly 1 or -1 is a cone opened flat, whose
// radius along the axis would grow without bound: the limits are refused and
// nothing is handed out. Any sine short of it gives the face's extent, its
// radii growing by the tangent of the half angle.
TEST(FaceLibraryShapes, LimitsOnTheAxisRefuseASineOfOne)
{
    FaceLibrary library;
    for (int id : {115, 116}) {
        HeldFace face(id);
        kvPoint3DRec p, d, e;
        double r = 0, s = 0, v = 0;
        ASSERT_TRUE(library.isNurbsAsCylinder(face.get(), p, d, r, s, v, e));
        for (double sine : {1.0, -1.0}) {
            kvPoint3DRec l1{7, 7, 7}, l2{7, 7, 7};
            double r1 = 7, r2 = 7;
            EXPECT_FALSE(library.getSurfaceLimitsOnAxis(face.get(), p, d, r, sine, v, l1, r1, l2, r2))
                << id << " " << sine;
            EXPECT_EQ(r1, 7.0) << id << " " << sine;
            EXPECT_EQ(r2, 7.0) << id << " " << sine;
            EXPECT_EQ(l1.z, 7.0) << id << " " << sine;
            EXPECT_EQ(l2.z, 7.0) << id << " " << sine;
        }
        // Just short of a flat cone: a slope of 1 / sqrt(1 - 0.6^2) * 0.6 =
        // 0.75 over the face's extent on the axis.
        for (double sine : {0.6, -0.6}) {
            kvPoint3DRec l1, l2;
            double r1 = 0, r2 = 0;
            ASSERT_TRUE(library.getSurfaceLimitsOnAxis(face.get(), p, d, r, sine, v, l1, r1, l2, r2)) << id;
            const double along1 = (l1.x - p.x) * d.x + (l1.y - p.y) * d.y + (l1.z - p.z) * d.z;
            const double along2 = (l2.x - p.x) * d.x + (l2.y - p.y) * d.y + (l2.z - p.z) * d.z;
            EXPECT_NEAR(r1, r + 0.75 * std::copysign(1.0, sine) * along1, 1e-9) << id << " " << sine;
            EXPECT_NEAR(r2, r + 0.75 * std::copysign(1.0, sine) * along2, 1e-9) << id << " " << sine;
        }
    }
}

TEST(FaceLibraryShapes, SurfaceRecordsMarkClosedDirectionsAndBelongToTheCaller)
{
    FaceLibrary library;
    auto closedDirections = [&library](int id) {
        HeldFace face(id);
        SurfPtr s(library.newRatBSplSurf(face.get()), ratBSplSurfFree);
        EXPECT_TRUE(s);
        if (!s) return -1;
        // Each question gets a record of its own, which the caller frees.
        SurfPtr again(library.newRatBSplSurf(face.get()), ratBSplSurfFree);
        EXPECT_NE(s.get(), again.get());
        EXPECT_NE(s.get(), surfaceOf(face.object->face()));
        return (s->origFormu == 2 ? 1 : 0) + (s->origFormv == 2 ? 1 : 0);
    };
    EXPECT_EQ(closedDirections(102), 0);  // the top face
    EXPECT_EQ(closedDirections(111), 0);  // a half hole closes nowhere
    EXPECT_EQ(closedDirections(115), 1);  // the full hole closes around
    EXPECT_EQ(closedDirections(133), 1);  // the fillet closes around the boss, not across its tube
    EXPECT_EQ(closedDirections(141), 0);  // the corner is an octant of its sphere
    EXPECT_EQ(library.newRatBSplSurf(nullptr), nullptr);
}

// Picks spread over every face, the closed ones included: each comes back
// onto its surface through the module's own inversion road.
TEST(TrimmedPicks, EveryPickOfEveryFaceLandsOnItsSurface)
{
    FaceLibrary library;
    int picks = 0;
    std::string misses;
    for (const SampleFace& f : samplePart().faces()) {
        HeldFace face(f.id);
        SurfPtr s(library.newRatBSplSurf(face.get()), ratBSplSurfFree);
        ASSERT_TRUE(s);
        const int n = 9;
        for (int i = 0; i <= n; ++i) {
            for (int j = 0; j <= n; ++j) {
                // Points off the grid lines, so seams and poles are met near,
                // not only on, them.
                const double u = (i + 0.37 * (j % 3)) / (n + 1.0), v = (j + 0.29 * (i % 4)) / (n + 1.0);
                const GeomPoint q = ratBSplSurfEvalPoint(surfaceOf(f), u, v);
                const double point[3] = {q.x, q.y, q.z};
                if (!insideTrimmedFace(f, point)) continue;
                kvPickParameters at;
                ++picks;
                if (!kvInvertPick(s.get(), point, at) || !(at.distance <= 1e-5))
                    misses += " " + std::to_string(f.id) + "@(" + std::to_string(u) + "," + std::to_string(v) +
                              ")=" + std::to_string(at.distance);
            }
        }
    }
    EXPECT_GE(picks, 200);
    EXPECT_EQ(misses, "");
}

// ---------------------------------------------------------------- the module measuring

namespace {

using Measured = hostsim_test::Played;

Measured runSession(const std::string& script)
{
    return hostsim_test::playSession(script);
}

std::string pickAndShow(const std::string& ray, const std::string& name)
{
    return "echo == " + name + "\npick " + ray + "\nresults\n";
}

// The smaller of the pocket floor's two normal curvature radii along x and
// along y at a point, computed from the patch's polynomial z(x, y), not from
// its surface.
double floorMinRadius(const SampleFace& f, double x, double y)
{
    const double s = x - f.patchRange[0], t = y - f.patchRange[2];
    auto c = [&f](int i, int j) { return f.patch[3 * (i + 4 * j) + 2]; };
    auto term = [&](int i, int j, int ds, int dt) {
        double k = c(i, j);
        for (int a = 0; a < ds; ++a) k *= i - a;
        for (int b = 0; b < dt; ++b) k *= j - b;
        return k * std::pow(s, i - ds) * std::pow(t, j - dt);
    };
    double zs = 0, zss = 0, zt = 0, ztt = 0;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            if (i >= 1) zs += term(i, j, 1, 0);
            if (i >= 2) zss += term(i, j, 2, 0);
            if (j >= 1) zt += term(i, j, 0, 1);
            if (j >= 2) ztt += term(i, j, 0, 2);
        }
    // S = (x, y, z(x, y)): Sx = (1, 0, zs), Sxx = (0, 0, zss), N = (-zs, -zt, 1) / |.|
    const double n = std::sqrt(zs * zs + zt * zt + 1.0);
    const double kx = (zss / n) / (1.0 + zs * zs), ky = (ztt / n) / (1.0 + zt * zt);
    return std::fmin(1.0 / std::fabs(kx), 1.0 / std::fabs(ky));
}

} // namespace

TEST(ElementMeasurement, EveryKindOfFaceShowsItsExactMeasures)
{
    const Measured m = runSession("analyse\nmode 1\n" + pickAndShow("10 20 100 0 0 -1", "top") +
                                  pickAndShow("95 30 100 0 0 -1", "tilted") +
                                  pickAndShow("70 35 60 8 0 -40", "hole") +
                                  pickAndShow("20 40 60 0 5 -40", "half hole") +
                                  pickAndShow("80 35 100 0 0 -1", "countersink") +
                                  pickAndShow("-10 70 20 1 -1 0", "fillet") +
                                  pickAndShow("37 15 100 0 0 -1", "torus") +
                                  pickAndShow("-10 70 50 1 -1 -1", "sphere") +
                                  pickAndShow("50 10 100 0 0 -1", "floor") + "close\ncensus\n");
    ASSERT_EQ(m.errors, 0);
    struct Expect {
        const char* pick;
        const char* label;
        const char* value;
    } const expected[] = {
        {"== top", "AnalyseType", "7"},           {"== top", "Type", "Plane"},
        {"== top", "Angle", "[x] 0"},             {"== top", "Name", "[ ] Silver"},
        {"== top", "Color", "192,192,192"},       {"== top", "Pick point", "X10, Y20, Z40"},
        {"== tilted", "Angle", "[x] 60"},         {"== hole", "AnalyseType", "8"},
        {"== hole", "Type", "Cylinder"},          {"== hole", "Diameter", "[x] 16"},
        {"== hole", "Cylinder height", "[ ] 36"}, {"== half hole", "Type", "Cylinder"},
        {"== half hole", "Diameter", "[x] 10"},   {"== half hole", "Cylinder height", "[ ] 40"},
        {"== countersink", "AnalyseType", "19"},  {"== countersink", "Type", "Conus"},
        {"== countersink", "Diameter1", "[x] 16"}, {"== countersink", "Diameter2", "[ ] 24"},
        {"== countersink", "Cone Angle", "[ ] 90"}, {"== countersink", "Cylinder height", "[ ] 4"},
        {"== fillet", "AnalyseType", "18"},       {"== fillet", "Type", "Rounding"},
        {"== fillet", "Radius", "[x] 3"},         {"== fillet", "Cylinder height", "[ ] 37"},
        {"== torus", "AnalyseType", "4"},         {"== torus", "Type", "Torus"},
        {"== torus", "Radius", "[x] 2"},          {"== torus", "Diameter", "[ ] 16"},
        {"== sphere", "AnalyseType", "11"},       {"== sphere", "Type", "Free form surface"},
        {"== sphere", "Min radius selection point", "[x] 3"}, {"== sphere", "Max radius", "[ ] 3"},
        {"== floor", "Type", "Free form surface"},
    };
    for (const Expect& e : expected) EXPECT_EQ(m.after(e.pick, e.label), e.value) << e.pick << " " << e.label;

    // The floor's smallest radius at the pick against the polynomial's own
    // curvature along x, as the display rounds it.
    char text[32];
    std::snprintf(text, sizeof text, "[x] %lg",
                  std::round(floorMinRadius(*samplePart().findFace(151), 50, 10) * 1000.0) / 1000.0);
    EXPECT_EQ(m.after("== floor", "Min radius selection point"), text);
    EXPECT_TRUE(m.has("host objects held by the module: none"));
}

TEST(ElementMeasurement, ColourNamesComeFromTheHostsCatalogue)
{
    namespace fs = std::filesystem;
    const fs::path base = fs::path(testing::TempDir()) / ("catalogue_" + std::to_string(getpid()));
    fs::create_directories(base / "feattech");
    {
        std::ofstream(base / "feattech" / "kvColorCatalog_old.xml")
            << "<Color_Interface_Definition R=\"192\" G=\"192\" B=\"192\" Name=\"Old silver\"/>\n";
        std::ofstream(base / "feattech" / "kvColorCatalog_new.xml")
            << "<Color_Interface_Definition R=\"192\" G=\"192\" B=\"192\" Name=\"New silver\"/>\n";
    }
    const auto now = fs::file_time_type::clock::now();
    fs::last_write_time(base / "feattech" / "kvColorCatalog_old.xml", now - std::chrono::hours(2));
    fs::last_write_time(base / "feattech" / "kvColorCatalog_new.xml", now - std::chrono::hours(1));
    const fs::path emptied = base / "emptied";
    fs::create_directories(emptied / "feattech");
    std::ofstream(emptied / "feattech" / "kvColorCatalog.xml") << "<ColorCatalog>\n</ColorCatalog>\n";
    const std::string top = "pick 10 20 100 0 0 -1\nresults\n";
    const Measured m = runSession("basefolder " + base.string() + "\nanalyse\nmode 1\necho == newest\n" + top +
                                  "close\nbasefolder " + (base / "none").string() +
                                  "\nanalyse\necho == missing\n" + top + "close\nbasefolder " +
                                  emptied.string() + "\nanalyse\necho == emptied\n" + top + "close\n");
    fs::remove_all(base);
    ASSERT_EQ(m.errors, 0);
    EXPECT_EQ(m.after("== newest", "Name"), "[ ] New silver");
    // Without a catalogue file the catalogue stays as it was.
    EXPECT_EQ(m.after("== missing", "Name"), "[ ] New silver");
    // A catalogue without entries replaces it: the colour stays, the name
    // line goes.
    EXPECT_EQ(m.after("== emptied", "Color"), "192,192,192");
    EXPECT_EQ(m.after("== emptied", "Name"), "(missing)");
}

namespace {

// The "(x, y, z)" printed after " at " in the first line after from that
// holds part, or nothing.
std::string placeAfter(const Measured& m, const std::string& from, const std::string& part)
{
    bool seen = false;
    for (const std::string& line : m.lines) {
        if (!seen) {
            seen = line.find(from) != std::string::npos;
        } else if (line.find(part) != std::string::npos) {
            const std::size_t at = line.find(" at (", line.find(part));
            return at == std::string::npos ? "" : line.substr(at + 4, line.find(')', at) - at - 3);
        }
    }
    return "";
}

} // namespace

// The element's name stands at the element it names, in the view and in the
// model, whatever kind of face was picked before: beside the label of the
// pick's own result, or at the picked point when the result has none (a
// plane's angle). It stayed where an earlier pick's label had been, inside
// another face. The name's tick stays the user's from pick to pick, and a
// name switched on after its pick is that pick's.
TEST(ElementMeasurement, TheNameStandsAtTheElementItNamesInTheViewAndTheModel)
{
    const std::string floor = "pick 50 10 100 0 0 -1\n", hole = "pick 20 40 60 0 5 -40\n",
                      torus = "pick 37 15 100 0 0 -1\n";
    const Measured m = runSession("feedback Size 10\nanalyse\nmode 1\n" + floor + "name-text on\necho == hole\n" +
                                  hole + "press save\necho == front\npick 50 -50 20 0 1 0\npress save\n"
                                  "echo == countersink\npick 80 35 100 0 0 -1\npress save\necho == torus\n" +
                                  torus + "press save\necho == floor\n" + floor + "press save\nname-text off\n" +
                                  hole + torus + "name-text on\npress save\necho == saved\nentities\nclose\n");
    ASSERT_EQ(m.errors, 0);
    // With a feedback size s of 10 a diameter's label stands 0.3 s above the
    // end of the axis where the diameter is: the top of the hole (z 40), the
    // countersink's foot (z 36). The torus's radius runs s along the normal
    // (0.5, 0, 0.866) from the pick (37, 15, 40.2679), its label at its
    // middle, s/5 aside along (-0.866, 0, 0.5). The front face's pick lands
    // at (50, 0, 20).
    struct Expect {
        const char *pick, *name, *view, *saved;
    } const expected[] = {
        {"== hole", "\"Royal blue\"", "(20, 40, 43)", "(20, 40, 43)"},
        {"== front", "\"  Silver\"", "(50, 0, 20)", "(50, 0, 20)"},
        {"== countersink", "\"Signal orange\"", "(70, 35, 39)", "(70, 35, 39)"},
        {"== torus", "\"Orchid\"", "(41.23, 15, 43.6)", "(41.2321, 15, 43.5981)"},
    };
    for (const Expect& e : expected) {
        EXPECT_EQ(placeAfter(m, e.pick, "text " + std::string(e.name) + " at"), e.view) << e.pick;
        EXPECT_EQ(placeAfter(m, "== saved", "text " + std::string(e.name) + " height"), e.saved) << e.pick;
    }
    // The floor's name stands at its curvature radius's label, the first
    // radius saved after the torus's name.
    EXPECT_EQ(placeAfter(m, "== floor", "text \"Signal red\" at"), placeAfter(m, "== floor", "text \"R"));
    EXPECT_EQ(placeAfter(m, "== saved", "text \"Signal red\""), placeAfter(m, "\"Orchid\" height", "text \"R"));
    // Switched on after the torus was measured again: the torus's name once
    // more, not the hole's.
    EXPECT_EQ(placeAfter(m, "\"Orchid\" height", "text \"Orchid\" height"), "(41.2321, 15, 43.5981)");
    EXPECT_EQ(placeAfter(m, "\"Royal blue\" height", "text \"Royal blue\" height"), "");
}

// Half of hole 1 measured, its name "Royal blue" shown; the name stands at
// (20, 40, 55), beside the diameter's label.
const std::string kHoleNamed = "analyse\nmode 1\npick 20 40 60 0 5 -40\nname-text on\n";

// The name shown for the last pick is saved with every save of it: each of
// two saves writes the measurement's eleven entities, the name among them
// where it stands in the view.
TEST(ElementMeasurement, EverySaveOfAShownNameWritesTheName)
{
    const Measured m = runSession(kHoleNamed + "press save\necho == first\nentities\npress save\n"
                                  "echo == second\nresults\nentities\nclose\n");
    ASSERT_EQ(m.errors, 0);
    EXPECT_EQ(m.after("== second", "Name"), "[x] Royal blue");
    EXPECT_EQ(m.after("== first", "model entities"), "11");
    EXPECT_EQ(m.after("== second", "model entities"), "22");
    EXPECT_EQ(placeAfter(m, "== first", "text \"Royal blue\" height"), "(20, 40, 55)");
    EXPECT_EQ(placeAfter(m, "== second", "  11  text \"Royal blue\" height"), "(20, 40, 55)");
    EXPECT_EQ(placeAfter(m, "== second", "  22  text \"Royal blue\" height"), "(20, 40, 55)");
}

// A save the model refused is taken back whole; the save repeated into a
// model that takes everything is the whole measurement, its name included.
TEST(ElementMeasurement, ASaveRepeatedAfterARefusedOneWritesTheName)
{
    const Measured m = runSession(kHoleNamed + "entities refuse polyline\npress save\necho == refused\nentities\n"
                                  "entities refuse none\npress save\necho == again\nentities\nclose\n");
    ASSERT_EQ(m.errors, 0);
    EXPECT_TRUE(m.has("The model did not take the whole measurement: nothing was saved")) << m.all();
    EXPECT_EQ(m.after("== refused", "model entities"), "0");
    EXPECT_EQ(m.after("== again", "model entities"), "11");
    EXPECT_EQ(placeAfter(m, "== again", "text \"Royal blue\" height"), "(20, 40, 55)");
}

namespace {

// The words of every text the model holds, as the listing after the first
// line holding from shows them.
std::vector<std::string> savedTexts(const Measured& m, const std::string& from)
{
    std::vector<std::string> texts;
    const int listing = m.find("model entities: ", m.find(from));
    if (m.find(from) < 0 || listing < 0) return texts;
    for (int i = listing + 1; i < static_cast<int>(m.lines.size()) && m.lines[i].rfind("  ", 0) == 0; ++i) {
        const std::string& line = m.lines[i];
        const std::size_t at = line.find("  text \"");
        if (at == std::string::npos) continue;
        const std::size_t begin = at + 8;
        texts.push_back(line.substr(begin, line.find("\" height", begin) - begin));
    }
    return texts;
}

// A base folder whose colour catalogue names one colour; removed with the
// object.
struct OneColourCatalogue {
    OneColourCatalogue(const std::string& tag, int r, int g, int b, const std::string& name)
        : base(std::filesystem::path(testing::TempDir()) / (tag + "_" + std::to_string(getpid())))
    {
        std::filesystem::create_directories(base / "feattech");
        std::ofstream(base / "feattech" / "kvColorCatalog.xml")
            << "<ColorCatalog>\n<Color_Interface_Definition R=\"" << r << "\" G=\"" << g << "\" B=\"" << b
            << "\" Name=\"" << name << "\"/>\n</ColorCatalog>\n";
    }
    ~OneColourCatalogue() { std::filesystem::remove_all(base); }
    std::string script() const { return "basefolder " + base.string() + "\n"; }
    std::filesystem::path base;
};

} // namespace

// A face whose colour the catalogue does not name has an empty name: with
// the name switched on (for a named face before it), its save writes the
// measurement alone, no empty text beside it.
TEST(ElementMeasurement, AFaceWhoseColourHasNoNameSavesNoNameText)
{
    const OneColourCatalogue catalogue("unnamed", 192, 192, 192, "Silver");
    const Measured m = runSession(catalogue.script() + "analyse\nmode 1\npick 10 20 100 0 0 -1\n"
                                  "name-text on\necho == unnamed\npick 20 40 60 0 5 -40\nresults\npress save\n"
                                  "echo == saved\nentities\nclose\n");
    ASSERT_EQ(m.errors, 0) << m.all();
    EXPECT_EQ(m.after("== unnamed", "Color"), "64,96,224");
    EXPECT_EQ(m.after("== unnamed", "Name"), "(missing)");
    // The half hole's diameter of 10: two extension lines, the dimension
    // line with its text, two arrowheads of three outlines each.
    EXPECT_EQ(savedTexts(m, "== saved"), std::vector<std::string>{"10"});
    EXPECT_EQ(m.after("== saved", "model entities"), "10");
    EXPECT_EQ(m.after("== saved", "insert brackets"), "8 opened, 8 closed");
}

// The same for a plane, whose pick places no label: the view sets the empty
// name off the point with two blanks, and those blanks are no text for the
// model. The tilted face's angle of 60 is saved whole, without a text of
// blanks; a named face saved after it still writes its name.
TEST(ElementMeasurement, ANameOfBlanksIsNotSaved)
{
    const OneColourCatalogue catalogue("blanks", 64, 96, 224, "Royal blue");
    const Measured m = runSession(catalogue.script() + "analyse\nmode 1\npick 20 40 60 0 5 -40\n"
                                  "name-text on\npick 95 30 100 0 0 -1\necho == unnamed\nshow view\npress save\n"
                                  "echo == saved\nentities\nentities clear\npick 20 40 61 0 5 -40\npress save\n"
                                  "echo == named\nentities\nclose\n");
    ASSERT_EQ(m.errors, 0) << m.all();
    // The view still shows the name as the element's name line has it.
    EXPECT_GE(m.find("text \"  \" at (95, 30, 31.34)", m.find("== unnamed")), 0) << m.all();
    EXPECT_EQ(savedTexts(m, "== saved"), std::vector<std::string>{"60"}) << m.all();
    EXPECT_EQ(savedTexts(m, "== named"), (std::vector<std::string>{"10", "Royal blue"})) << m.all();
}

// The name ticked in mode 1 goes with the mode: a pair measured in mode 2,
// the top and the bottom face 40 apart, saves its distance, not the name.
TEST(ElementMeasurement, AModeChangeTakesTheShownNameOutOfTheNextSave)
{
    const Measured m = runSession(kHoleNamed + "mode 2\necho == pair\npick 20 10 100 0 0 -1\n"
                                  "pick 50 30 -50 0 0 1\nresults\npress save\necho == saved\nentities\nclose\n");
    ASSERT_EQ(m.errors, 0) << m.all();
    EXPECT_EQ(m.after("== pair", "Distance"), "[x] 40");
    // The extension line, the dimension line with its text, two arrowheads
    // of three outlines each.
    EXPECT_EQ(savedTexts(m, "== saved"), std::vector<std::string>{"40"});
    EXPECT_EQ(m.after("== saved", "model entities"), "9");
    EXPECT_EQ(m.after("== saved", "insert brackets"), "8 opened, 8 closed");
}

// A name ticked and then unticked is not saved: the save writes the
// measurement alone.
TEST(ElementMeasurement, ANameTickedAndUntickedIsNotSaved)
{
    const Measured m = runSession(kHoleNamed + "name-text off\npress save\necho == saved\nentities\nclose\n");
    ASSERT_EQ(m.errors, 0) << m.all();
    EXPECT_EQ(savedTexts(m, "== saved"), std::vector<std::string>{"10"});
    EXPECT_EQ(m.after("== saved", "model entities"), "10");
    EXPECT_EQ(m.after("== saved", "insert brackets"), "8 opened, 8 closed");
}

// After a second pick the coordinate line shows the two picks' difference,
// once, labelled as such.
TEST(ElementMeasurement, OneCoordinateLineShowsThePickOrTheDifference)
{
    const Measured m = runSession("analyse\nmode 2\necho == first\npick 20 40 30 0 1 -0.2\nresults\n"
                                  "echo == second\npick 40 40 30 0 1 -0.2\nresults\nclose\n");
    ASSERT_EQ(m.errors, 0);
    EXPECT_EQ(m.after("== first", "Pick point"), "X20, Y45, Z29");
    EXPECT_EQ(m.after("== second", "Point distance"), "DX-20, DY0, DZ0");
    EXPECT_EQ(m.after("== second", "Pick point"), "(missing)");
}

// Two views hand the reactor their own screens: the same screen place in
// another view is another click, not a repeat of the last one.
TEST(ElementMeasurement, PicksInTwoViewsAreTwoPicks)
{
    const Measured m = runSession("analyse\nmode 1\npick 40 40 20 0 1 0\necho == other view\n"
                                  "pick 20 40 20 -1 0 0\nresults\nclose\n");
    ASSERT_EQ(m.errors, 0);
    EXPECT_EQ(m.after("== other view", "Pick point"), "X15, Y40, Z20");
}

// What the view shows after a pick: each result drawn once, and the groups
// of an earlier pick gone, said so as they go.
TEST(ElementMeasurement, TheViewShowsEachResultOnce)
{
    const Measured m = runSession("analyse\nmode 1\npick 70 35 60 8 0 -40\necho == hole\nshow view\n"
                                  "pick 20 10 100 0 0 -1\necho == top\nshow view\nclose\n");
    ASSERT_EQ(m.errors, 0);
    auto count = [&m](const std::string& from, const std::string& to, const std::string& text) {
        int n = 0;
        bool in = false;
        for (const std::string& line : m.lines) {
            if (line.find(from) != std::string::npos) in = true;
            else if (line.find(to) != std::string::npos) in = false;
            else if (in && line.find(text) != std::string::npos) ++n;
        }
        return n;
    };
    EXPECT_EQ(count("== hole", "pick 20 10", "    text \"16\""), 1);
    EXPECT_EQ(count("== hole", "== top", "  group "), 3);  // the frame, the diameter, the marker
    EXPECT_EQ(count("== top", "closed", "    text \"16\""), 0);
    // The diameter's group and the marker go with the next pick.
    EXPECT_EQ(count("== hole", "== top", " released"), 2);
}
