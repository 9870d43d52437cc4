// What the analysis window takes from the host: the face colour table of the
// feedback settings, the frame it draws, a job's references and the host face
// library's judgement on the first selected surface; and how its panel follows
// the window's size.
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvCAnalyseDlg.h"
#include "analyse/kvCSingleFaceSelDialog.h"
#include "fake_host.h"
#include "host/object/kvPropAccess.h"
#include "platform/kvPlatform.h"
#include "sdk/kvAssert.h"
#include "sdk/kvFeatureHelp.h"

#include <gtest/gtest.h>

namespace {

// A face of the host: planar or not, with the plane the library reports.
class Face : public kvIUnknownImp, public kvIGeSurface {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIGeSurface>(this, name); }
    bool planar = false;
};

class FeatureLibrary : public kvIFeatureHelpProvider {
public:
    void clearCache() override { ++clears; }
    bool isNurbsAsPlane(kvIUnknown* face, kvPoint3DRec& point, kvPoint3DRec& normal, kvPoint3DRec&) override
    {
        ++questions;
        kvIfPtr<kvIGeSurface> surface(face);
        Face* f = static_cast<Face*>(surface.getIf());
        if (!f || !f->planar)
            return false;
        point = {1.0, 2.0, 40.0};
        normal = {0.0, 0.0, 1.0};
        return true;
    }
    int clears = 0;
    int questions = 0;
};

struct WindowHostTest : fake::WindowFixture {
    void useColourTable(const wchar_t* table)
    {
        host.feedbacks->bools[L"UseFLColorTable"] = true;
        host.feedbacks->texts[L"FLColorTable"] = table;
    }
    fake::Graphics* lastGroup()
    {
        return fake::Graphics::made().empty() ? nullptr
                                              : static_cast<fake::Graphics*>(fake::Graphics::made().back().getIf());
    }
};

}  // namespace

TEST_F(WindowHostTest, TheColourTableIsReadWhenSwitchedOnAndNotEmptyAndRepeatsItsItemsToAHundredOnce)
{
    host.feedbacks->texts[L"FLColorTable"] = L"1|2";
    open();
    EXPECT_EQ(dlg->faceColourTable().size(), 0u);
    close();
    useColourTable(L"");
    open();
    EXPECT_EQ(dlg->faceColourTable().size(), 0u);
    close();

    host.feedbacks->colours[L"Color_Toolholder"] = 0x123456;
    useColourTable(L"255|0xFFFBC9|red");
    open();
    const kvTArray<unsigned int>& table = dlg->faceColourTable();
    ASSERT_EQ(table.size(), 102u);  // 34 passes of three
    EXPECT_EQ(table.at(0), 255u);
    EXPECT_EQ(table.at(1), 0x123456u);  // the reserved colour gives the holder colour
    EXPECT_EQ(table.at(2), 0xFF00FFu);  // an item that is no number
    EXPECT_EQ(table.at(101), 0xFF00FFu);
    // Initialising again keeps the table as it is.
    ::SendMessageW(dlg->GetSafeHwnd(), KVDLG_WM_SETPROPERTIES, 0, 0);
    EXPECT_EQ(dlg->faceColourTable().size(), 102u);
}

// Initialising, the window first resets the pick point, then loads the colour
// catalogue before its title, its buttons and its controls' texts.
TEST_F(WindowHostTest, InitialisingResetsThePickPointAndLoadsTheCatalogueBeforeTheTitleAndTheModeList)
{
    fake::Resources* resources = new kvIfImp<fake::Resources>();
    kvIUnknownPtr held(static_cast<kvIResourceMgr1*>(resources));
    host.app->resources = resources;
    open();
    // The mode list resolves its texts last to first, in the base's part.
    EXPECT_GE(resources->first(L"base folder"), 0);
    EXPECT_LT(resources->first(L"base folder"), resources->first(L"AnaMain"));
    EXPECT_LT(resources->first(L"AnaMain"), resources->first(L"AnaToolPos"));
    // No single-face panel yet at the opening: no pick point to reset.
    EXPECT_LT(resources->first(L"AnaSelPoint"), 0);

    resources->asked.clear();
    ::SendMessageW(dlg->GetSafeHwnd(), KVDLG_WM_SETPROPERTIES, 0, 0);
    EXPECT_EQ(resources->first(L"AnaSelPoint"), 0);
    EXPECT_LT(resources->first(L"AnaSelPoint"), resources->first(L"base folder"));
    EXPECT_LT(resources->first(L"base folder"), resources->first(L"AnaMain"));
    close();
    host.app->resources = nullptr;
}

TEST_F(WindowHostTest, TheFrameIsDrawnInTheFrameColourAtNineTenthsOfTheFeedbackSize)
{
    host.feedbacks->doubles[L"Size"] = 50.0;
    host.feedbacks->colours[L"Color_Frame"] = 0x00FF00;
    open();
    fake::Graphics* group = lastGroup();
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->drawn.size(), 1u);
    const fake::Graphics::CoordinateSystem& cs = group->drawn[0];
    EXPECT_DOUBLE_EQ(cs.size, 45.0);
    EXPECT_EQ(cs.colours[0], 0x00FF00u);
    EXPECT_EQ(cs.colours[2], 0x00FF00u);
    EXPECT_EQ(cs.flags, 1);
    EXPECT_EQ(cs.frame[0][0], 1.0);  // no frame yet: the identity
    EXPECT_EQ(cs.frame[0][3], 0.0);
    EXPECT_EQ(group->visible, 1);
}

TEST_F(WindowHostTest, AJobHandsItsMachineFrameAreaAndToolToTheWindow)
{
    fake::GenericJob* job = new kvIfImp<fake::GenericJob>();
    kvIUnknownPtr held(static_cast<kvITwCycleJobDef1*>(job));
    propSet(&job->settings, kvKeyMachine, kvCString(L"DMU 50"));
    kvCPrPropertySet frame(L"Frame 2");
    kvCGeMatrix m;
    m.setTranslation(kvCGePoint(10.0, 20.0, 30.0));
    propSet(&frame, kvKeyMatrix, m);
    kvCPrPropertySet tool(L"Tool 7");
    kvCPrPropertySet area(L"Area 1");
    job->settings.setPropRef(kvKeyFrameRef, &frame);
    job->settings.setPropRef(kvKeyTool, &tool);
    job->settings.setPropRef(kvKeyMillAreaRef, &area);

    open(held.get());
    kvCPrPropertySet* p = dlg->propertySet();
    kvCString machine;
    EXPECT_TRUE(propGet(p, kvKeyMachine, machine));
    EXPECT_EQ(machine, kvCString(L"DMU 50"));  // not replaced by the integer default
    EXPECT_EQ(p->getPropSet(kvKeyFrameRef), &frame);
    EXPECT_EQ(p->getPropSet(kvKeyTool), &tool);
    EXPECT_EQ(p->getPropSet(kvKeyMillAreaRef), &area);
    kvCGeMatrix read;
    ASSERT_TRUE(propGet(p, kvKeyFrameRef_Matrix, read));
    EXPECT_EQ(read.translation().x, 10.0);
    // The frame is drawn from the job's frame.
    ASSERT_NE(lastGroup(), nullptr);
    ASSERT_FALSE(lastGroup()->drawn.empty());
    EXPECT_EQ(lastGroup()->drawn.back().frame[2][3], 30.0);
    close();
}

TEST_F(WindowHostTest, AJobWithoutSettingsLeavesTheReferencesEmpty)
{
    fake::JobDefinition* job = new kvIfImp<fake::JobDefinition>();
    kvIUnknownPtr held(static_cast<kvITwCycleJobDef1*>(job));
    open(held.get());
    EXPECT_EQ(dlg->currentMode(), 5);
    EXPECT_TRUE(dlg->propertySet()->hasProp(kvKeyMillAreaRef));
    EXPECT_EQ(dlg->propertySet()->getPropSet(kvKeyMillAreaRef), nullptr);
    int machine = -1;
    EXPECT_TRUE(propGet(dlg->propertySet(), kvKeyMachine, machine));
    EXPECT_EQ(machine, 0);
}

TEST_F(WindowHostTest, ThePlaneOfTheFirstSelectedSurfaceComesFromTheFaceLibraryOnly)
{
    FeatureLibrary library;
    kvSetFeatureHelpProvider(&library);
    open();
    Face* plane = new kvIfImp<Face>();
    plane->planar = true;
    Face* curved = new kvIfImp<Face>();
    kvIUnknownPtr holdPlane(static_cast<kvIGeSurface*>(plane));
    kvIUnknownPtr holdCurved(static_cast<kvIGeSurface*>(curved));

    kvCSurfaceSet selection;
    selection.add(holdPlane.get());
    selection.add(holdCurved.get());
    propSet(dlg->propertySet(), kvKeySurfaces, selection);
    EXPECT_EQ(dlg->planeDefinedValue(), 1);
    EXPECT_EQ(dlg->planePointValue().z, 40.0);
    EXPECT_EQ(dlg->planeNormalValue().z, 1.0);
    EXPECT_GE(library.clears, 1);
    // The selected plane is the first element of the next pair.
    EXPECT_EQ(dlg->firstElementKindValue(), 1);

    // A curved first face, and then an empty selection, leave no plane.
    kvCSurfaceSet curvedFirst;
    curvedFirst.add(holdCurved.get());
    propSet(dlg->propertySet(), kvKeySurfaces, curvedFirst);
    EXPECT_EQ(dlg->planeDefinedValue(), 0);
    EXPECT_EQ(dlg->firstElementKindValue(), 0);
    propSet(dlg->propertySet(), kvKeySurfaces, selection);
    EXPECT_EQ(dlg->planeDefinedValue(), 1);
    propSet(dlg->propertySet(), kvKeySurfaces, kvCSurfaceSet());
    EXPECT_EQ(dlg->planeDefinedValue(), 0);

    // Other keys do not touch the plane.
    propSet(dlg->propertySet(), kvKeySurfaces, selection);
    const int asked = library.questions;
    propSet(dlg->propertySet(), kvKeyMinAngle, 5.0);
    EXPECT_EQ(library.questions, asked);
    EXPECT_EQ(dlg->planeDefinedValue(), 1);

    // Without a face library no plane is defined.
    kvSetFeatureHelpProvider(nullptr);
    propSet(dlg->propertySet(), kvKeySurfaces, kvCSurfaceSet());
    propSet(dlg->propertySet(), kvKeySurfaces, selection);
    EXPECT_EQ(dlg->planeDefinedValue(), 0);
}

TEST_F(WindowHostTest, TheSingleFacePanelsPropertyControlFollowsTheWindowsSize)
{
    open();
    kvCSingleFaceSelDialog* panel = dlg->singleFaceSelPanel();
    ASSERT_NE(panel, nullptr);
    HWND control = panel->propertyCtrlWindow();
    ASSERT_NE(control, nullptr);
    auto sizes = [&](CRect& panelClient, CRect& controlRect) {
        panel->GetClientRect(&panelClient);
        ::GetWindowRect(control, &controlRect);
    };
    kvplat::userResize(dlg->GetSafeHwnd(), 600, 900);
    CRect before, controlBefore;
    sizes(before, controlBefore);
    kvplat::userResize(dlg->GetSafeHwnd(), 500, 700);
    CRect after, controlAfter;
    sizes(after, controlAfter);
    EXPECT_EQ(before.Width() - after.Width(), 100);
    EXPECT_EQ(before.Height() - after.Height(), 200);
    // The control shrinks with the panel by the same amounts.
    EXPECT_EQ(controlBefore.Width() - controlAfter.Width(), 100);
    EXPECT_EQ(controlBefore.Height() - controlAfter.Height(), 200);
}

TEST_F(WindowHostTest, FrameEventsRedrawTheFrameThroughThePanelOnlyInItsModes)
{
    open();
    kvCSingleFaceSelDialog* panel = dlg->singleFaceSelPanel();
    ASSERT_NE(panel, nullptr);
    // Each event the panel's map takes costs one drawing; the others none.
    auto drawsFor = [&](unsigned int code, const wchar_t* key) {
        const int before = dlg->frameDrawCount();
        panel->propertyMessage(code, key);
        return dlg->frameDrawCount() - before;
    };
    EXPECT_EQ(drawsFor(3, kvKeyFrameRef), 1);
    EXPECT_EQ(drawsFor(4, kvKeyFrameRef), 1);
    EXPECT_EQ(drawsFor(2, kvKeyFrameRef), 1);
    EXPECT_EQ(drawsFor(2, kvKeyFrameRef_Matrix), 1);
    EXPECT_EQ(drawsFor(3, kvKeyFrameRef_Matrix), 0);
    EXPECT_EQ(drawsFor(2, L"Frame"), 0);

    // A frame chosen in the shared set reaches the panel as a reference event.
    kvCPrPropertySet frame(L"Frame 3");
    kvCGeMatrix m;
    m.setTranslation(kvCGePoint(0.0, 0.0, 12.0));
    propSet(&frame, kvKeyMatrix, m);
    const int before = dlg->frameDrawCount();
    dlg->propertySet()->setPropRef(kvKeyFrameRef, &frame);
    EXPECT_GT(dlg->frameDrawCount(), before);
    ASSERT_NE(lastGroup(), nullptr);
    EXPECT_EQ(lastGroup()->drawn.back().frame[2][3], 12.0);

    // Hidden in the radius analysis, the panel leaves the frame alone.
    propSet(dlg->propertySet(), kvKeyAnalyseMode, 3);
    EXPECT_EQ(drawsFor(3, kvKeyFrameRef), 0);
    dlg->propertySet()->setPropRef(kvKeyFrameRef, nullptr);
}

TEST_F(WindowHostTest, ReactivationWithAnotherJobTakesThatJobsReferences)
{
    kvCPrPropertySet firstFrame(L"Frame 1");
    kvCPrPropertySet secondFrame(L"Frame 2");
    kvCPrPropertySet secondTool(L"Tool 2");
    fake::GenericJob* first = new kvIfImp<fake::GenericJob>();
    static_cast<kvITwCycleJobDef1*>(first)->addRef();
    first->settings.setPropRef(kvKeyFrameRef, &firstFrame);
    open(static_cast<kvITwCycleJobDef1*>(first));
    // The host lends its job for the call only.
    static_cast<kvITwCycleJobDef1*>(first)->release();
    ASSERT_EQ(dlg->propertySet()->getPropSet(kvKeyFrameRef), &firstFrame);

    fake::GenericJob* second = new kvIfImp<fake::GenericJob>();
    kvIUnknownPtr held(static_cast<kvITwCycleJobDef1*>(second));
    propSet(&second->settings, kvKeyMachine, kvCString(L"DMU 80"));
    second->settings.setPropRef(kvKeyFrameRef, &secondFrame);
    second->settings.setPropRef(kvKeyTool, &secondTool);
    // Re-activation lets go of the first job, whose settings then go away.
    dlg->reactivateAnalysisDialog(held);
    EXPECT_EQ(dlg->currentMode(), 5);
    EXPECT_EQ(dlg->propertySet()->getPropSet(kvKeyFrameRef), &secondFrame);
    EXPECT_EQ(dlg->propertySet()->getPropSet(kvKeyTool), &secondTool);
    kvCString machine;
    EXPECT_TRUE(propGet(dlg->propertySet(), kvKeyMachine, machine));
    EXPECT_EQ(machine, kvCString(L"DMU 80"));
    close();
}
