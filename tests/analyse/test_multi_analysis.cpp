// The analysis over a selection: flattening, face records, the half-cylinder
// holes, the radius limit, and the face classification that feeds it.
#include "analyse/kvMultiSelAnalysis.h"

#include "sdk/kvFeatureHelp.h"
#include "sdk/kvUnknownImp.h"
#include "sdk/kvValueSets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

namespace {

// A face that only counts its references.
class Face : public kvIUnknownImp, public kvIGeSurface {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIGeSurface>(this, name); }
};

// A face group: an enumeration that may yield null objects.
class Group : public kvIUnknownImp, public kvIObjectEnum {
public:
    explicit Group(std::vector<kvIUnknown*> items) : m_items(std::move(items)) {}
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIObjectEnum>(this, name); }
    int reset() override { m_at = 0; return 0; }
    int atEnd() override { return m_at >= m_items.size(); }
    int current(kvIUnknown** object) override
    {
        *object = m_items[m_at];
        if (*object)
            (*object)->addRef();
        return 0;
    }
    int next() override { ++m_at; return 0; }

private:
    std::vector<kvIUnknown*> m_items;
    std::size_t m_at = 0;
};

template <class T, class... A>
kvIUnknown* make(A&&... args)
{
    T* object = new kvIfImp<T>(std::forward<A>(args)...);
    object->_addRef();
    return static_cast<kvIUnknown*>(static_cast<typename std::conditional<std::is_same<T, Group>::value,
                                                                         kvIObjectEnum, kvIGeSurface>::type*>(object));
}

// What the classifier says of each face.
struct Shape {
    int kind;
    double radius;
    kvCGePoint axisPoint;
    kvCGeVector normal;
};

struct Analysis : ::testing::Test {
    std::vector<kvIUnknown*> owned;
    std::map<kvIUnknown*, Shape> shapes;
    kvCAnalyseCtrl work;
    kvRadiusRecords radii{0};
    kvPlaneRecords planes{0};

    kvIUnknown* face(int kind, double radius = 0.0, kvCGePoint axis = {}, kvCGeVector normal = {0, 0, 1})
    {
        kvIUnknown* f = make<Face>();
        owned.push_back(f);
        shapes[f] = Shape{kind, radius, axis, normal};
        return f;
    }
    void run(const std::vector<kvIUnknown*>& faces, kvCGeVector z = {0, 0, 1})
    {
        std::vector<kvIUnknownPtr> list;
        for (kvIUnknown* f : faces)
            list.push_back(kvIUnknownPtr(f));
        kvAnalyseFaces(list, z, [this](kvIUnknown* f, kvCAnalyseCtrl& c) {
            const Shape& s = shapes.at(f);
            c.radius = s.radius;
            c.axisRecord.p2 = s.axisPoint;
            c.planeNormal = s.normal;
            return s.kind;
        }, work, radii, planes, nullptr);
    }
    void TearDown() override
    {
        radii.setSize(0);
        planes.setSize(0);
        for (kvIUnknown* f : owned)
            f->release();
    }
};

TEST_F(Analysis, TwoHalfCylindersOnOneAxisPointMakeAHoleThatNoListShows)
{
    kvIUnknown* a = face(kvCAnalyseCtrl::faceClassHalfTurn, 5.0, {20, 40, 0});
    kvIUnknown* b = face(kvCAnalyseCtrl::faceClassHalfTurn, 5.0, {20, 40, 0.0005});
    kvIUnknown* c = face(kvCAnalyseCtrl::faceClassHalfTurn, 5.0, {40, 40, 0});
    // e repeats d; f is 0.0016 from d and 0.0008 from e, but e was never
    // taken as a half cylinder of its own: f stays.
    kvIUnknown* d = face(kvCAnalyseCtrl::faceClassHalfTurn, 3.0, {0, 0, 0});
    kvIUnknown* e = face(kvCAnalyseCtrl::faceClassHalfTurn, 3.0, {0.0008, 0, 0});
    kvIUnknown* f = face(kvCAnalyseCtrl::faceClassHalfTurn, 3.0, {0.0016, 0, 0});
    run({a, b, c, d, e, f});
    ASSERT_EQ(radii.size(), 6u);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(radii.at(i).face.isNull(), i != 2 && i != 5) << i;
    // The repeat keeps its box at the axis point.
    EXPECT_EQ(radii.at(1).box.value, 5.0);
}

TEST_F(Analysis, ARadiusOfExactlyTheNoValueMarkIsRecordedAndAnythingAboveOrUnmeasurableIsNot)
{
    run({face(kvCAnalyseCtrl::faceClassCurved, 100000.0), face(kvCAnalyseCtrl::faceClassCurved, 100000.1),
         face(kvCAnalyseCtrl::faceClassCurved, std::numeric_limits<double>::quiet_NaN()),
         face(kvCAnalyseCtrl::faceClassFullTurn, 4.0), face(kvCAnalyseCtrl::faceClassUnusable, 2.0)});
    ASSERT_EQ(radii.size(), 1u);
    EXPECT_EQ(radii.at(0).radius, 100000.0);
    EXPECT_EQ(planes.size(), 0u);
}

TEST_F(Analysis, PlanesGetTheirAngleToTheFrameFoldedIntoZeroToNinety)
{
    const double tilt = 120.0 * 3.141592653589793 / 180.0;
    run({face(kvCAnalyseCtrl::faceClassPlane, 0, {}, {0, 0, -1}), face(kvCAnalyseCtrl::faceClassPlane, 0, {}, {1, 0, 0}),
         face(kvCAnalyseCtrl::faceClassPlane, 0, {}, {0, std::sin(tilt), std::cos(tilt)}),
         face(kvCAnalyseCtrl::faceClassCurved, 2.0)});
    ASSERT_EQ(planes.size(), 3u);
    EXPECT_NEAR(planes.at(0).box.value, 0.0, 1e-9);
    EXPECT_NEAR(planes.at(1).box.value, 90.0, 1e-9);
    EXPECT_NEAR(planes.at(2).box.value, 60.0, 1e-9);
    // Both kinds of record are made whatever the mode.
    EXPECT_EQ(radii.size(), 1u);
}

TEST_F(Analysis, MoreUsableFacesThanTheOldFixedTablesHeldAreAllRecorded)
{
    kvIUnknown* f = face(kvCAnalyseCtrl::faceClassPlane);
    run(std::vector<kvIUnknown*>(100005, f));
    EXPECT_EQ(planes.size(), 100005u);
    EXPECT_EQ(planes.at(100004).face.get(), planes.at(0).face.get());
}

// A face named again is kept at its first place only: analysed twice it was
// counted twice in its group, and a half cylinder paired with itself as a
// hole, so that the face vanished from the radius list.
TEST(SelectionFlattening, AGroupContributesItsFacesInOrderWithoutNullsAndEachFaceOnce)
{
    kvIUnknown* a = make<Face>();
    kvIUnknown* b = make<Face>();
    kvIUnknown* group = make<Group>(std::vector<kvIUnknown*>{b, nullptr, a});
    kvCSurfaceSet set;
    set.add(a);
    set.add(group);
    set.add(a);
    {
        const std::vector<kvIUnknownPtr> faces = kvFlattenSelection(set);
        ASSERT_EQ(faces.size(), 2u);
        EXPECT_EQ(faces[0].get(), a);
        EXPECT_EQ(faces[1].get(), b);
    }
    set.clear();
    group->release();
    // The flat list gave back every reference it took.
    EXPECT_EQ(dynamic_cast<kvIUnknownImp*>(static_cast<kvIGeSurface*>(a))->refCount(), 1);
    a->release();
    b->release();
}

// ---------------------------------------------------------------- classification

// The host's face-feature library for one face.
class OneFaceLibrary : public kvIFeatureHelpProvider {
public:
    bool plane = false;
    bool turned = false;
    bool limits = true;
    bool angleKnown = true;
    double angle = 180.0;
    double startRadius = 5.0, endRadius = 5.0;

    void clearCache() override {}
    bool isNurbsAsPlane(kvIUnknown*, kvPoint3DRec& point, kvPoint3DRec& normal, kvPoint3DRec&) override
    {
        point = {1, 2, 3};
        normal = {0, 0, 1};
        return plane;
    }
    bool isNurbsAsCylinder(kvIUnknown*, kvPoint3DRec& axisPoint, kvPoint3DRec& axisDirection, double& radius,
                           double&, double&, kvPoint3DRec&) override
    {
        axisPoint = {20, 40, 0};
        axisDirection = {0, 0, 1};
        radius = startRadius;
        return turned;
    }
    bool getSurfaceLimitsOnAxis(kvIUnknown*, const kvPoint3DRec&, const kvPoint3DRec&, double, double, double,
                                kvPoint3DRec&, double& radius1, kvPoint3DRec&, double& radius2) override
    {
        radius1 = startRadius;
        radius2 = endRadius;
        return limits;
    }
    bool getShapeAngle(const kvPoint3DRec&, const kvPoint3DRec&, kvIUnknown*, double& a) override
    {
        if (angleKnown)
            a = angle;
        return angleKnown;
    }
    // No surface: the curvature measurement cannot run.
    RatBSplSurf* newRatBSplSurf(kvIUnknown*) override { return nullptr; }
};

struct Classification : ::testing::Test {
    OneFaceLibrary library;
    kvCAnalyseCtrl ctrl;
    kvIUnknown* theFace = nullptr;
    void SetUp() override
    {
        kvSetFeatureHelpProvider(&library);
        theFace = make<Face>();
        ctrl.radius = 77.0;
        ctrl.axisRecord.p2.set(9, 9, 9);
    }
    void TearDown() override
    {
        kvSetFeatureHelpProvider(nullptr);
        theFace->release();
    }
};

TEST_F(Classification, APlaneGivesItsNormalAndPoint)
{
    library.plane = true;
    EXPECT_EQ(ctrl.classifyNurbsFace(theFace), kvCAnalyseCtrl::faceClassPlane);
    EXPECT_EQ(ctrl.planeNormal, kvCGeVector(0, 0, 1));
    EXPECT_EQ(ctrl.boxMin, kvCGePoint(1, 2, 3));
    EXPECT_EQ(ctrl.boxMax, kvCGePoint(1, 2, 3));
}

TEST_F(Classification, AFullTurnWritesNothingAndAHalfTurnUpTo181DegreesIsAHoleHalf)
{
    library.turned = true;
    library.angle = 360.0;
    EXPECT_EQ(ctrl.classifyNurbsFace(theFace), kvCAnalyseCtrl::faceClassFullTurn);
    EXPECT_EQ(ctrl.radius, 77.0);
    EXPECT_EQ(ctrl.axisRecord.p2, kvCGePoint(9, 9, 9));

    library.angle = 181.0;
    library.startRadius = 6.0;
    library.endRadius = 4.0;  // a cone: the smaller end radius
    EXPECT_EQ(ctrl.classifyNurbsFace(theFace), kvCAnalyseCtrl::faceClassHalfTurn);
    EXPECT_EQ(ctrl.radius, 4.0);
    EXPECT_EQ(ctrl.axisRecord.p0, kvCGePoint(24, 40, 0));
    EXPECT_EQ(ctrl.axisRecord.p1, kvCGePoint(16, 40, 0));
    EXPECT_EQ(ctrl.boxMin, kvCGePoint(20, 40, 0));
    EXPECT_EQ(ctrl.boxMax, kvCGePoint(20, 40, 0));
}

// 150 degrees and less is no half turn: the curvature measurement decides,
// and without a surface it cannot. The turned face keeps the radius and axis
// of its turn, and its axis point as its extent, as a half turn has.
TEST_F(Classification, AnUnmeasurableTurnedFaceUpTo150DegreesKeepsItsTurnsRadiusAxisAndPoint)
{
    library.turned = true;
    library.startRadius = 6.0;
    library.endRadius = 4.0;  // a cone: the smaller end radius
    for (double angle : {150.0, 90.0, 1.0}) {
        SCOPED_TRACE(angle);
        ctrl.radius = 77.0;
        ctrl.boxMin.set(100000, 100000, 100000);
        ctrl.boxMax.set(-100000, -100000, -100000);
        library.angle = angle;
        EXPECT_EQ(ctrl.classifyNurbsFace(theFace), kvCAnalyseCtrl::faceClassCurved);
        EXPECT_EQ(ctrl.radius, 4.0);
        EXPECT_EQ(ctrl.axisRecord.p0, kvCGePoint(24, 40, 0));
        EXPECT_EQ(ctrl.axisRecord.p1, kvCGePoint(16, 40, 0));
        EXPECT_EQ(ctrl.axisRecord.p2, kvCGePoint(20, 40, 0));
        EXPECT_EQ(ctrl.boxMin, kvCGePoint(20, 40, 0));
        EXPECT_EQ(ctrl.boxMax, kvCGePoint(20, 40, 0));
        EXPECT_EQ(ctrl.minRadiusU, kvCAnalyseCtrl::noRadius);
    }
}

// Without a turn of its own (no turned face, no extent on the axis, or an
// angle the library could not measure) the fields still hold the previous
// face's radius: no record.
TEST_F(Classification, AnUnmeasurableFaceWithoutATurnOfItsOwnGivesNoRecordInsteadOfAnotherFacesRadius)
{
    EXPECT_EQ(ctrl.classifyNurbsFace(theFace), kvCAnalyseCtrl::faceClassUnusable);
    library.turned = true;
    library.limits = false;
    EXPECT_EQ(ctrl.classifyNurbsFace(theFace), kvCAnalyseCtrl::faceClassUnusable);
    library.limits = true;
    library.angle = 180.0;
    library.angleKnown = false;
    EXPECT_EQ(ctrl.classifyNurbsFace(theFace), kvCAnalyseCtrl::faceClassUnusable);
    EXPECT_EQ(ctrl.radius, 77.0);
    EXPECT_EQ(ctrl.axisRecord.p2, kvCGePoint(9, 9, 9));
}

}  // namespace
