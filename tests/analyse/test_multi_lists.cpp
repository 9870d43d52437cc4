// The radius and plane lists' grouping of face records, without a window:
// range, steps and shape filters, and the frame the plane angles follow.
#include "analyse/kvAnalyseKeys.h"
#include "analyse/kvCMultiSelPlanDialog.h"
#include "analyse/kvCMultiSelRadiusDialog.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvAssert.h"
#include "sdk/kvPropertySet.h"
#include "sdk/kvUnknownImp.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class Face : public kvIUnknownImp, public kvIGeSurface {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIGeSurface>(this, name); }
};

struct Lists : ::testing::Test {
    kvCPrPropertySet set;
    kvIUnknown* face = nullptr;
    kvAssertSink previous = nullptr;

    void SetUp() override
    {
        // Without a window the lists' row filling asserts its document; the
        // groups are what is tested here.
        previous = kvSetAssertSink([](const wchar_t*) {});
        Face* f = new kvIfImp<Face>();
        f->_addRef();
        face = static_cast<kvIGeSurface*>(f);
        propSet(&set, kvKeyMinDiameter, 1.0);
        propSet(&set, kvKeyMaxDiameter, 5.0);
        propSet(&set, kvKeyDiameterSteps, 1.0);
        propSet(&set, kvKeyShowKonkave, true);
        propSet(&set, kvKeyShowKonvex, true);
        propSet(&set, kvKeyShowUndercut, true);
    }
    void TearDown() override
    {
        face->release();
        kvSetAssertSink(previous);
    }
    // A record whose circle points from its centre along a and b.
    void addRadius(kvCMultiSelRadiusDialog& list, double radius, kvCGeVector a = {1, 0, 0},
                   kvCGeVector b = {-1, 0, 0})
    {
        kvIArcUnknown& r = list.faceRecords()[list.faceRecords().size()];
        r.face = kvIUnknownPtr(face);
        r.radius = radius;
        r.axis.p0 = kvCGePoint(0, 0, 0) + a;
        r.axis.p1 = kvCGePoint(0, 0, 0) + b;
    }
};

// The range is closed: a radius on a limit is listed, floating-point noise
// about it included (a fillet measured as 3 - 1e-8), while 0.0001 outside is
// not, at every magnitude a list holds.
TEST_F(Lists, RadiiOnTheRangeLimitsAreListedAndOneTenThousandthOutsideAreNot)
{
    struct Case {
        double min, max, radius;
        bool listed;
    } const cases[] = {
        {3, 3, 3 - 1e-8, true}, {3, 3, 3 + 1e-8, true}, {3, 3, 2.9999, false}, {3, 3, 3.0001, false},
        {100, 100, 100 + 1e-8, true}, {100, 100, 100.0001, false}, {100, 100, 99.9999, false},
        {1000, 1000, 1000 - 1e-8, true}, {1000, 1000, 1000.0004, false}, {1000, 1000, 999.9999, false},
        // A free-form face the list shows as 78.488.
        {78.48, 78.49, 78.4884, true}, {78.48, 78.488, 78.4884, false},
    };
    for (const Case& c : cases) {
        propSet(&set, kvKeyMinDiameter, c.min);
        propSet(&set, kvKeyMaxDiameter, c.max);
        kvCMultiSelRadiusDialog list;
        list.setProperties(&set);
        addRadius(list, c.radius);
        ASSERT_TRUE(list.evaluate());
        ASSERT_EQ(list.groups().size(), 1u);
        EXPECT_EQ(list.groups()[0].count, c.listed ? 1 : 0) << c.radius << " in " << c.min << ".." << c.max;
    }
}

TEST_F(Lists, MoreFaceRecordsThanTheOldWorkingTableHeldAreAllGrouped)
{
    kvCMultiSelRadiusDialog list;
    list.setProperties(&set);
    list.faceRecords().setGrowBy(0);
    for (int i = 0; i < 100005; ++i)
        addRadius(list, 2.0 + (i % 2));
    ASSERT_TRUE(list.evaluate());
    ASSERT_EQ(list.groups().size(), 2u);
    EXPECT_EQ(list.groups()[0].count + list.groups()[1].count, 100005);
}

TEST_F(Lists, AStepBelowAHundredthWorksAsAHundredth)
{
    propSet(&set, kvKeyDiameterSteps, 0.0);
    kvCMultiSelRadiusDialog list;
    list.setProperties(&set);
    addRadius(list, 2.0);
    addRadius(list, 2.02);
    ASSERT_TRUE(list.evaluate());
    EXPECT_EQ(list.step(), 0.01);
    EXPECT_EQ(list.groups().size(), 2u);
}

TEST_F(Lists, ShapeSwitchesFilterConcaveConvexAndUndercutFaces)
{
    const kvCGeVector up(0, 0, 1), down(0, 0, -1), side(1, 0, 0);
    kvFaceAxisRecord pointingDown{kvCGePoint(0, 0, -1), kvCGePoint(0, 0, -1), kvCGePoint(0, 0, 0), {}};
    kvFaceAxisRecord pointingUp{kvCGePoint(0, 0, 1), kvCGePoint(0, 0, 1), kvCGePoint(0, 0, 0), {}};
    kvFaceAxisRecord across{kvCGePoint(1, 0, 0), kvCGePoint(-1, 0, 0), kvCGePoint(0, 0, 0), {}};
    EXPECT_TRUE(kvCMultiSelRadiusDialog::isConcave(pointingDown, up));
    EXPECT_FALSE(kvCMultiSelRadiusDialog::isConvex(pointingDown, up));
    EXPECT_FALSE(kvCMultiSelRadiusDialog::isConcave(pointingUp, up));
    EXPECT_TRUE(kvCMultiSelRadiusDialog::isConvex(pointingUp, up));
    EXPECT_TRUE(kvCMultiSelRadiusDialog::isConcave(across, up));
    EXPECT_TRUE(kvCMultiSelRadiusDialog::isConvex(across, up));

    // Only undercuts hidden: a face both concave and convex stays.
    propSet(&set, kvKeyShowUndercut, false);
    kvCMultiSelRadiusDialog list;
    list.setProperties(&set);
    addRadius(list, 2.0, side, side * -1.0);
    addRadius(list, 3.0, down, down);
    ASSERT_TRUE(list.evaluate());
    ASSERT_EQ(list.groups().size(), 2u);
    // All three hidden: faces present, none passing, one empty row.
    propSet(&set, kvKeyShowKonkave, false);
    propSet(&set, kvKeyShowKonvex, false);
    ASSERT_TRUE(list.evaluate());
    ASSERT_EQ(list.groups().size(), 1u);
    EXPECT_EQ(list.groups()[0].count, 0);
    EXPECT_EQ(list.groups()[0].value, 0.0);
}

TEST_F(Lists, PlaneAnglesFollowTheFrameOfTheEvaluationAndTheRangeHasATolerance)
{
    propSet(&set, kvKeyMinAngle, 10.0);
    propSet(&set, kvKeyMaxAngle, 20.0);
    propSet(&set, kvKeyAngleSteps, 1.0);
    kvCMultiSelPlanDialog list;
    list.setProperties(&set);
    auto add = [&](double degrees) {
        const double a = degrees * 3.141592653589793 / 180.0;
        kvIPlanUnknown& p = list.faceRecords()[list.faceRecords().size()];
        p.face = kvIUnknownPtr(face);
        p.normal = kvCGeVector(0, std::sin(a), std::cos(a));
        p.box.value = -1.0;  // what the analysis saw against another frame
    };
    add(9.9995);
    add(20.0008);
    add(9.998);
    ASSERT_TRUE(list.evaluate());
    int listed = 0;
    for (const kvIPlanInfo& g : list.groups())
        listed += g.count;
    EXPECT_EQ(listed, 2);
    // The element entries show the angle of this evaluation's frame.
    EXPECT_NEAR(list.groupBoxes()[0][0].value, 9.9995, 1e-9);

    // A frame turned by 90 degrees about x: the same faces now stand at
    // about 80 to 90 degrees.
    kvCGeMatrix turned;
    turned.setCoordSystem(kvCGePoint(0, 0, 0), kvCGeVector(1, 0, 0), kvCGeVector(0, 0, 1), kvCGeVector(0, -1, 0));
    propSet(&set, kvKeyFrameRef_Matrix, turned);
    propSet(&set, kvKeyMinAngle, 0.0);
    propSet(&set, kvKeyMaxAngle, 90.0);
    ASSERT_TRUE(list.evaluate());
    EXPECT_NEAR(list.faceRecords().at(0).angle, 80.0005, 1e-6);
}

}  // namespace
