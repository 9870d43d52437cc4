// The host's view of the sample part: which face a view ray meets, the normals
// the host's face objects give, and what the host's face library answers.
#include "sample_part.h"
#include "view.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace hostsim;

namespace {

RayHit pickOrFail(double x, double y, double z, double dx, double dy, double dz)
{
    const double origin[3] = {x, y, z}, direction[3] = {dx, dy, dz};
    RayHit hit;
    EXPECT_TRUE(pickFace(samplePart(), origin, direction, hit)) << x << ' ' << y << ' ' << z;
    return hit;
}

} // namespace

TEST(ViewPick, TheNearestFaceWithinItsExtentIsHit)
{
    RayHit top = pickOrFail(20, 10, 100, 0, 0, -1);
    ASSERT_NE(top.face, nullptr);
    EXPECT_EQ(top.face->id, 102);
    EXPECT_NEAR(top.point[2], 40.0, 1e-9);
    EXPECT_NEAR(top.distance, 60.0, 1e-9);

    // The boss stands above the top face and hides it.
    RayHit boss = pickOrFail(30, 15, 100, 0, 0, -1);
    ASSERT_NE(boss.face, nullptr);
    EXPECT_EQ(boss.face->id, 132);

    // From inside a hole the wall of the half it looks at is hit.
    RayHit wall = pickOrFail(20, 40, 20, 0, 1, 0);
    ASSERT_NE(wall.face, nullptr);
    EXPECT_EQ(wall.face->id, 111);
    EXPECT_NEAR(wall.point[1], 45.0, 1e-6);
    RayHit other = pickOrFail(20, 40, 20, 0, -1, 0);
    ASSERT_NE(other.face, nullptr);
    EXPECT_EQ(other.face->id, 112);

    // A slanted ray from the front meets the chamfer.
    RayHit chamfer = pickOrFail(50, -10, 37.5, 0, 1, 0);
    ASSERT_NE(chamfer.face, nullptr);
    EXPECT_EQ(chamfer.face->id, 107);
    EXPECT_NEAR(chamfer.point[1], 2.5, 1e-6);
}

TEST(ViewPick, RaysBesideThePartOrAwayFromItHitNothing)
{
    const double beside[3] = {500, 500, 100}, down[3] = {0, 0, -1};
    RayHit hit;
    EXPECT_FALSE(pickFace(samplePart(), beside, down, hit));
    const double above[3] = {20, 10, 100}, up[3] = {0, 0, 1};
    EXPECT_FALSE(pickFace(samplePart(), above, up, hit));
    const double zero[3] = {0, 0, 0};
    EXPECT_FALSE(pickFace(samplePart(), above, zero, hit));
}

TEST(ViewFaces, NormalsPointOutOfTheMaterialAndTheLibraryKnowsPlanesOnly)
{
    const SampleFace* top = samplePart().findFace(102);
    const SampleFace* hole = samplePart().findFace(111);
    ASSERT_TRUE(top && hole);
    FaceObject* topObject = FaceObject::create(*top);
    FaceObject* holeObject = FaceObject::create(*hole);

    const double onWall[3] = {25, 40, 10};
    double normal[3] = {0, 0, 0};
    EXPECT_EQ(holeObject->getNormal(onWall, 1, normal), 0);
    EXPECT_NEAR(normal[0], -1.0, 1e-12);  // towards the hole's axis
    EXPECT_EQ(holeObject->getNormal(nullptr, 1, normal), 2);

    FaceLibrary library;
    kvPoint3DRec point, n, third;
    EXPECT_TRUE(library.isNurbsAsPlane(static_cast<kvIGeSurface*>(topObject), point, n, third));
    EXPECT_EQ(point.z, 40.0);
    EXPECT_EQ(n.z, 1.0);
    kvPoint3DRec untouched{7, 7, 7};
    EXPECT_FALSE(library.isNurbsAsPlane(static_cast<kvIGeSurface*>(holeObject), untouched, n, third));
    EXPECT_FALSE(library.isNurbsAsPlane(nullptr, untouched, n, third));
    EXPECT_EQ(untouched.x, 7.0);
    EXPECT_EQ(FaceObject::faceOf(static_cast<kvIGeSurface*>(holeObject)), hole);

    topObject->_relRef();
    holeObject->_relRef();
}

// Faces are hit as they are: a ray half a unit inside the top face, next to
// the chamfer, meets the top and not the chamfer's plane beyond its edge.
TEST(ViewPick, AFaceIsHitOnlyWhereItIs)
{
    RayHit top = pickOrFail(30, 5.5, 100, 0, 0, -1);
    ASSERT_NE(top.face, nullptr);
    EXPECT_EQ(top.face->id, 102);
    EXPECT_NEAR(top.point[2], 40.0, 1e-9);
    RayHit slanted = pickOrFail(30, 5.5, 100, 0, 0.01, -1);
    ASSERT_NE(slanted.face, nullptr);
    EXPECT_EQ(slanted.face->id, 102);
    // Just past the chamfer's lower edge (y = 0, z = 35): the front face.
    RayHit front = pickOrFail(30, -50, 34.99, 0, 1, 0);
    ASSERT_NE(front.face, nullptr);
    EXPECT_EQ(front.face->id, 103);
}
