// The element measurement in the analysis window against a host whose face
// library answers as each test needs: what a pick shows, what it clears,
// where its thresholds lie, and the result display's rounding, texts and
// exclusive check boxes.
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvCAnalyseDlg.h"
#include "analyse/kvCSingleFaceSelDialog.h"
#include "fake_host.h"
#include "geom/geom.h"
#include "host/object/kvPropAccess.h"
#include "platform/kvPlatform.h"
#include "sdk/kvAssert.h"
#include "sdk/kvFeatureHelp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cwchar>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

const double pi = 3.14159265358979323846;

// A face of the host: a surface with a colour, on a kernel surface.
class Face : public kvIUnknownImp, public kvIGeSurface, public kvICadEntity {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        return kvQueryInterfaces<kvIGeSurface, kvICadEntity>(this, name);
    }
    int getColor(unsigned long* c) override
    {
        *c = colour;
        return 0;
    }
    ~Face() { ratBSplSurfFree(surface); }
    std::string kind;  // "plane", "cylinder", "torus" or anything else
    double sine = 0.0;
    bool limits = true;
    double height = 36.0;
    double sweep = 360.0;
    kvCGeVector axis = kvCGeVector(0, 0, 1);
    // A cone narrowing along its axis: 6 across at the axis point, 4 at the
    // far limit; else widening from 4 to 6.
    bool narrowing = false;
    unsigned long colour = 0x102030;
    RatBSplSurf* surface = nullptr;
};

Face* faceOf(kvIUnknown* object)
{
    kvIfPtr<kvIGeSurface> s(object);
    return static_cast<Face*>(s.getIf());
}

class Library : public kvIFeatureHelpProvider {
public:
    void clearCache() override {}
    bool isNurbsAsPlane(kvIUnknown* face, kvPoint3DRec& p, kvPoint3DRec& n, kvPoint3DRec&) override
    {
        if (faceOf(face)->kind != "plane")
            return false;
        p = {0, 0, 40};
        n = {0, 0, 1};
        return true;
    }
    bool isNurbsAsCylinder(kvIUnknown* face, kvPoint3DRec& p, kvPoint3DRec& d, double& r, double& s, double&,
                           kvPoint3DRec&) override
    {
        Face* f = faceOf(face);
        if (f->kind != "cylinder")
            return false;
        p = {0, 0, 0};
        d = {f->axis.x, f->axis.y, f->axis.z};
        r = 4.0;
        s = f->sine;
        return true;
    }
    bool getSurfaceLimitsOnAxis(kvIUnknown* face, const kvPoint3DRec&, const kvPoint3DRec&, double, double, double,
                                kvPoint3DRec& l1, double& r1, kvPoint3DRec& l2, double& r2) override
    {
        Face* f = faceOf(face);
        if (!f->limits)
            return false;
        const kvCGeVector far = f->axis.normal() * f->height;
        l1 = {0, 0, 0};
        l2 = {far.x, far.y, far.z};
        if (f->narrowing)
            std::swap(l1, l2);
        r1 = 4.0;
        r2 = 6.0;
        return true;
    }
    bool getShapeAngle(const kvPoint3DRec&, const kvPoint3DRec&, kvIUnknown* face, double& angle) override
    {
        angle = faceOf(face)->sweep;
        return true;
    }
    RatBSplSurf* newRatBSplSurf(kvIUnknown* face) override
    {
        Face* f = faceOf(face);
        return f->surface ? ratBSplSurfCopy(f->surface) : nullptr;
    }
};

// A bicubic patch z = c x^2 + d y^2 over 0..10 x 0..10: radii 1/(2c) and
// 1/(2d) at the origin.
RatBSplSurf* bowl(double c, double d)
{
    std::vector<double> k(48, 0.0);
    auto set = [&k](int i, int j, double x, double y, double z) {
        const int at = 3 * (i + 4 * j);
        k[at] = x;
        k[at + 1] = y;
        k[at + 2] = z;
    };
    set(1, 0, 1, 0, 0);
    set(0, 1, 0, 1, 0);
    set(2, 0, 0, 0, c);
    set(0, 2, 0, 0, d);
    const double U[2] = {0, 10}, V[2] = {0, 10};
    return ratBSplSurfFromBicubicPatches(1, 1, U, V, reinterpret_cast<const GeomVec3*>(k.data()));
}

struct ElementTest : fake::WindowFixture {
    Library library;

    void SetUp() override
    {
        WindowFixture::SetUp();
        kvAnalyseLastSettingsRecord().mode = 1;
        kvAnalyseLastSettingsRecord().valid = true;
        host.feedbacks->doubles[L"Size"] = 10.0;
        kvSetFeatureHelpProvider(&library);
        open();
        ASSERT_TRUE(dlg->isOpened());
        ASSERT_NE(dlg->singleFaceSelPanel(), nullptr);
    }
    kvIUnknownPtr face(const std::string& kind)
    {
        Face* f = new kvIfImp<Face>();
        f->kind = kind;
        return kvIUnknownPtr(static_cast<kvIGeSurface*>(f));
    }
    void pick(const kvIUnknownPtr& hit, const double point[3], bool withNormal = true)
    {
        const double position[2] = {0, 0}, normal[3] = {1, 0, 0}, view[3] = {0, 0, -1};
        dlg->analyseElementAtPick(point, position, true, withNormal ? normal : nullptr, hit.get(), view, false);
    }
    std::wstring panel() const
    {
        std::wstring all;
        for (const std::wstring& l : dlg->singleFaceSelPanel()->displayLines())
            all += l + L"\n";
        return all;
    }
    bool shows(const wchar_t* text) const { return panel().find(text) != std::wstring::npos; }
    int analyseType() const
    {
        int type = -1;
        propGet(dlg->propertySet(), kvKeyAnalyseType, type);
        return type;
    }
};

const double onAxisWall[3] = {4, 0, 10};

}  // namespace

// What a turned face shows: a cylinder its diameter and height, one of less
// than 150 degrees a rounding, a cone both diameters and its full opening angle.
TEST_F(ElementTest, TurnedFacesShowTheirKindAndMeasures)
{
    const double position[2] = {0, 0}, view[3] = {0, 0, -1}, r = std::sqrt(0.5);
    struct Case {
        double sweep, sine, height;
        double point[3], normal[3];
        int type;
        std::vector<const wchar_t*> shown;
    } const cases[] = {
        {360.0, 0.0, 36.0, {4, 0, 10}, {1, 0, 0}, 8,
         {L"Type: Cylinder", L"Diameter: [x] 8", L"Cylinder height: [ ] 36", L"Color: 48,32,16"}},
        {150.0, 0.0, 36.0, {4, 0, 10}, {1, 0, 0}, 8, {L"Type: Cylinder"}},
        {149.99, 0.0, 36.0, {4, 0, 10}, {1, 0, 0}, 18, {L"Type: Rounding", L"Radius: [x] 4"}},
        // On the cone through the axis point: the normal leans 45 degrees.
        {360.0, r, 2.0, {4, 0, 0}, {r, 0, -r}, 19,
         {L"Diameter1: [x] 8", L"Diameter2: [ ] 12", L"Cone Angle: [ ] 90"}},
    };
    for (const Case& c : cases) {
        kvIUnknownPtr turned = face("cylinder");
        faceOf(turned.get())->sweep = c.sweep;
        faceOf(turned.get())->sine = c.sine;
        faceOf(turned.get())->height = c.height;
        dlg->analyseElementAtPick(c.point, position, true, c.normal, turned.get(), view, false);
        EXPECT_EQ(analyseType(), c.type) << c.sweep;
        for (const wchar_t* line : c.shown)
            EXPECT_TRUE(shows(line)) << panel();
    }
}

// The reactor hands a plane's normal turned towards the viewer: the angle
// shown is the face's angle to the frame's Z axis, as the plane list has it,
// never its supplement.
TEST_F(ElementTest, APlaneReadsItsAngleToTheFrameFromTheViewersSide)
{
    kvIUnknownPtr plane = face("plane");
    const double point[3] = {0, 0, 40}, position[2] = {0, 0}, fromAbove[3] = {0, 0, 1}, fromBelow[3] = {0, 0, -1};
    const double degree = pi / 180.0;
    struct Case {
        double normal[3];
        const double* view;
        const wchar_t* shown;
    } cases[] = {
        {{std::sin(60 * degree), 0, std::cos(60 * degree)}, fromAbove, L"Angle: [x] 60"},
        {{std::sin(0.5 * degree), 0, std::cos(0.5 * degree)}, fromAbove, L"Angle: [x] 0.5"},
        {{0, 0, 1}, fromAbove, L"Angle: [x] 0"},
        {{0, 0, -1}, fromBelow, L"Angle: [x] 0"},
        {{std::sin(45 * degree), 0, -std::cos(45 * degree)}, fromBelow, L"Angle: [x] 135"},
    };
    for (const Case& c : cases) {
        dlg->analyseElementAtPick(point, position, true, c.normal, plane.get(), c.view, false);
        EXPECT_EQ(analyseType(), 7);
        EXPECT_TRUE(shows(c.shown)) << panel();
    }
}

TEST_F(ElementTest, AFailedExtentShowsNoStaleHeightNorType)
{
    kvIUnknownPtr measured = face("cylinder");
    pick(measured, onAxisWall);
    ASSERT_EQ(dlg->measuredFaceHeight(), 36.0);
    kvIUnknownPtr unbounded = face("cylinder");
    faceOf(unbounded.get())->limits = false;
    faceOf(unbounded.get())->sine = std::sin(30.0 * pi / 180.0);
    const double position[2] = {0, 0}, normal[3] = {std::sqrt(0.75), 0, -0.5}, view[3] = {0, 0, -1};
    dlg->analyseElementAtPick(onAxisWall, position, true, normal, unbounded.get(), view, false);
    EXPECT_EQ(dlg->measuredFaceHeight(), 0.0);
    EXPECT_FALSE(shows(L"Cylinder height")) << panel();
    EXPECT_FALSE(shows(L"Type:")) << panel();
    EXPECT_FALSE(shows(L"Diameter1")) << panel();
    EXPECT_EQ(analyseType(), 19);
    EXPECT_TRUE(shows(L"Cone Angle: [x] 60")) << panel();
}

// The lines of the newest group that drew any, and its texts.
const fake::Graphics& newestDrawing()
{
    const auto& made = fake::Graphics::made();
    for (auto it = made.rbegin(); it != made.rend(); ++it) {
        const fake::Graphics* g = static_cast<const fake::Graphics*>(it->getIf());
        if (!g->lines.empty() || !g->contours.empty())
            return *g;
    }
    return *static_cast<const fake::Graphics*>(made.front().getIf());
}

// Each diameter's dimension stands where the cone has that diameter: its
// extension lines start on the cone's circle at that end.
TEST_F(ElementTest, EachConeDiameterStandsAtItsOwnEnd)
{
    for (bool narrowing : {false, true}) {
        SCOPED_TRACE(narrowing);
        kvIUnknownPtr cone = face("cylinder");
        faceOf(cone.get())->sine = std::sin(45.0 * pi / 180.0);
        faceOf(cone.get())->height = 2.0;
        faceOf(cone.get())->narrowing = narrowing;
        const double point[3] = {narrowing ? 6.0 : 4.0, 0, 0};
        const double position[2] = {0, 0}, normal[3] = {std::sqrt(0.5), 0, narrowing ? std::sqrt(0.5) : -std::sqrt(0.5)};
        const double view[3] = {0, 0, -1};
        dlg->analyseElementAtPick(point, position, true, normal, cone.get(), view, false);
        ASSERT_TRUE(shows(L"Diameter1: [x] 8")) << panel();
        // Diameter1 (8) where the host's first limit is, Diameter2 (12) at the
        // second: z = 0 and 2 for a widening cone, the other way round for a
        // narrowing one.
        for (const wchar_t* key : {kvKeyInfoDiameter1, kvKeyInfoDiameter2}) {
            const bool first = key == kvKeyInfoDiameter1;
            propSet(dlg->propertySet(), key, true);
            const fake::Graphics& g = newestDrawing();
            ASSERT_GE(g.lines.size(), 3u);
            const kvCGePoint a = g.lines[0].first, b = g.lines[1].first;
            const double z = (first != narrowing) ? 0.0 : 2.0;
            EXPECT_NEAR(first ? 8.0 : 12.0, a.distanceTo(b), 1e-9) << (first ? "Diameter1" : "Diameter2");
            EXPECT_NEAR(z, a.z, 1e-9);
            EXPECT_NEAR(z, b.z, 1e-9);
        }
    }
}

// Two holes at an angle: the panel, the text and the arc of the dimension
// all give the angle between the axes, whichever way each axis points.
TEST_F(ElementTest, ADrillHoleAngleIsDrawnAsTheAngleBetweenTheAxes)
{
    propSet(dlg->propertySet(), kvKeyAnalyseMode, 2L);
    ASSERT_EQ(dlg->currentMode(), 2);
    const double degree = pi / 180.0;
    struct Case {
        double between;
        double sign;
        const wchar_t* shown;
    } const cases[] = {{30.0, 1.0, L"30"}, {30.0, -1.0, L"30"}, {60.0, 1.0, L"60"}, {89.99, 1.0, L"89.99"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.between);
        kvIUnknownPtr first = face("cylinder"), second = face("cylinder");
        faceOf(second.get())->axis =
            kvCGeVector(std::sin(c.between * degree), 0, std::cos(c.between * degree)) * c.sign;
        const double there[3] = {-4, 0, 10};
        pick(first, onAxisWall);
        pick(second, there);
        EXPECT_TRUE(shows((std::wstring(L"Drill hole Angle: [x] ") + c.shown).c_str())) << panel();
        const fake::Graphics& g = newestDrawing();
        ASSERT_EQ(1u, g.contours.size());
        ASSERT_EQ(1u, g.texts.size());
        EXPECT_EQ(c.shown, g.texts[0].text);
        kvTArray<double[3], kvTMemCopy<double[3]>> points;
        ASSERT_TRUE(g.contours[0].getApproxPoints(points, 0.0001));
        // Centre, second leg's end, the arc, centre.
        const kvCGePoint centre(points[0]);
        double sweep = 0.0;
        for (unsigned i = 1; i + 2 < points.size(); ++i)
            sweep += (kvCGePoint(points[i]) - centre).angleTo(kvCGePoint(points[i + 1]) - centre);
        EXPECT_NEAR(c.between, sweep / degree, 1e-6);
    }
}

// A hole at right angles to a curved first element's direction lies along
// it: its face-hole angle is 180 (a right angle more than the 90 between the
// directions), not the 0 an angle between two directions reads there.
TEST_F(ElementTest, AHoleAlongACurvedFirstElementHasAFaceHoleAngleOf180)
{
    propSet(dlg->propertySet(), kvKeyAnalyseMode, 2L);
    const double there[3] = {0, 0, 5};
    pick(face("free"), there);
    pick(face("cylinder"), onAxisWall);
    EXPECT_EQ(analyseType(), 13);
    EXPECT_TRUE(shows(L"Drill hole Angle: [x] 180")) << panel();
}

namespace {

std::vector<std::wstring>& assertions()
{
    static std::vector<std::wstring> said;
    return said;
}

}  // namespace

// Without a base document a save still redraws the shown result first (the
// redraw's writing reports the missing document), then clears the result
// and the pick markers from the view.
TEST_F(ElementTest, ASaveWithoutABaseDocumentRedrawsTheResultAndThenClearsIt)
{
    const std::size_t opened = fake::Graphics::made().size();
    pick(face("cylinder"), onAxisWall);
    const std::size_t picked = fake::Graphics::made().size();
    host.context->baseDoc = nullptr;
    assertions().clear();
    kvSetAssertSink([](const wchar_t* text) { assertions().push_back(text); });
    ::SendMessageW(dlg->GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(kvCAnalyseDlg::idSave, BN_CLICKED), 0);
    ASSERT_GT(fake::Graphics::made().size(), picked);
    const fake::Graphics& redrawn = *static_cast<const fake::Graphics*>(fake::Graphics::made()[picked].getIf());
    EXPECT_FALSE(redrawn.lines.empty());
    ASSERT_FALSE(assertions().empty());
    EXPECT_NE(assertions().front().find(L"pBaseDoc"), std::wstring::npos) << assertions().front();
    // Every group of the pick and of the save is the test's alone now.
    for (std::size_t i = opened; i < fake::Graphics::made().size(); ++i)
        EXPECT_EQ(static_cast<const fake::Graphics*>(fake::Graphics::made()[i].getIf())->refCount(), 1) << i;
}

TEST_F(ElementTest, APickBesideTheModelChangesNothing)
{
    kvIUnknownPtr cylinder = face("cylinder");
    pick(cylinder, onAxisWall);
    const std::wstring before = panel();
    const std::size_t groups = fake::Graphics::made().size();
    pick(kvIUnknownPtr(), onAxisWall, false);
    EXPECT_EQ(panel(), before);
    EXPECT_EQ(fake::Graphics::made().size(), groups);
}

TEST_F(ElementTest, AFreeFormFaceShowsItsCurvatureAtThePickAndNoneOffItsSurface)
{
    kvIUnknownPtr free = face("free");
    faceOf(free.get())->surface = bowl(0.05, 0.02);  // radii 10 along x and 25 along y at the origin
    const double origin[3] = {0, 0, 0};
    pick(free, origin);
    EXPECT_EQ(analyseType(), 11);
    EXPECT_TRUE(shows(L"Min radius selection point: [x] 10")) << panel();
    EXPECT_NEAR(dlg->measuredMaxRadius(), 25.0, 1e-9);
    // The circle of the smallest radius: its centre one radius above the
    // pick, its plane across y.
    EXPECT_NEAR(dlg->measuredMinCircle().p2.z, 10.0, 1e-9);
    EXPECT_NEAR(std::fabs(dlg->measuredMinCircle().v.y), 1.0, 1e-9);
    // A point off its surface gives no curvature circle.
    kvFaceAxisRecord minCircle, maxCircle;
    minCircle.p2 = kvCGePoint(7, 7, 7);
    double minRadius = -1.0, maxRadius = -1.0;
    const double away[3] = {5, 5, 50};
    EXPECT_FALSE(dlg->curvatureAtPickPoint(away, free.get(), minCircle, minRadius, maxCircle, maxRadius));
    EXPECT_EQ(minRadius, -1.0);
    EXPECT_EQ(minCircle.p2, kvCGePoint(7, 7, 7));
    pick(free, away);
    EXPECT_TRUE(shows(L"Type: Free form surface")) << panel();
    EXPECT_FALSE(shows(L"Min radius")) << panel();
}

TEST_F(ElementTest, DisplayRoundingDropsValuesAbove100000AndAnglesReadWithThreeDecimals)
{
    EXPECT_EQ(dlg->roundForDisplay(123456.7), 0.0);
    EXPECT_EQ(dlg->roundForDisplay(-100000.0), -100000.0);
    EXPECT_EQ(dlg->roundForDisplay(100000.0004), 0.0);
    EXPECT_EQ(dlg->roundForDisplay(2.34567), 2.346);
    // Nearly parallel reads as zero.
    wchar_t text[kvCAnalyseDlg::valueTextSize];
    for (const auto& c :
         {std::make_pair(0.0004, L"0"), std::make_pair(179.9995, L"0"), std::make_pair(0.002, L"0.002"),
          std::make_pair(12.34567, L"12.346")}) {
        dlg->formatValueWithUnit(c.first, text);
        EXPECT_STREQ(text, c.second) << c.first;
    }
    wchar_t small[4] = {L'x', L'x', L'x', L'x'};
    dlg->formatValueWithUnit(12.34567, small, 4);
    EXPECT_STREQ(small, L"12.");
}

TEST_F(ElementTest, TickingOneResultUnticksTheOthersAndDrawsItsGraphic)
{
    kvIUnknownPtr cylinder = face("cylinder");
    faceOf(cylinder.get())->sweep = 90.0;  // a rounding: radius and height
    pick(cylinder, onAxisWall);
    ASSERT_TRUE(shows(L"Radius: [x] 4")) << panel();
    propSet(dlg->propertySet(), kvKeyInfoHeight, true);
    EXPECT_TRUE(shows(L"Cylinder height: [x] 36")) << panel();
    EXPECT_TRUE(shows(L"Radius: [ ] 4")) << panel();
    EXPECT_EQ(dlg->resultGraphicKindValue(), 4);
    // Unticking a result ticks it again and draws it again.
    propSet(dlg->propertySet(), kvKeyInfoHeight, false);
    EXPECT_TRUE(shows(L"Cylinder height: [x] 36")) << panel();
    EXPECT_EQ(dlg->resultGraphicKindValue(), 4);
}

TEST_F(ElementTest, EmptyNamesAndEarlyCadEnvironmentAddNoLines)
{
    const std::wstring before = panel();
    dlg->showResultProperties(0, 2, L"");
    dlg->showResultProperties(0, 100, L"");
    EXPECT_EQ(panel(), before);
    dlg->showResultValue(0, 6, 3.0);
    dlg->showResultProperties(0, 100, L"");
    EXPECT_TRUE(shows(L"[CAD environment]")) << panel();
}

TEST_F(ElementTest, ToolPositionModeShowsNoNumericResults)
{
    propSet(dlg->propertySet(), kvKeyAnalyseMode, 5);
    ASSERT_EQ(dlg->currentMode(), 5);
    const std::wstring before = panel();
    dlg->showResultValue(0, 6, 3.0);
    EXPECT_EQ(panel(), before);
    EXPECT_FALSE(dlg->areResultsShown());
}
