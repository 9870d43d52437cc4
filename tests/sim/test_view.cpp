// The host's view of the sample part: which face a view ray meets, the normals
// the host's face objects give, and what the host's face library answers.
#include "sample_part.h"
#include "view.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace hostsim;

// Which face a ray meets first, within the face as trimmed; a coordinate of
// the point hit (axis 0 to 2), when one is given, against the part's geometry.
TEST(ViewPick, TheNearestFaceWithinItsExtentIsHit)
{
    const double nan = std::nan("");
    struct Case {
        double origin[3], direction[3];
        int face;  // 0: nothing
        int axis;
        double coordinate, tolerance;
    } const cases[] = {
        {{20, 10, 100}, {0, 0, -1}, 102, 2, 40.0, 1e-9},
        {{30, 15, 100}, {0, 0, -1}, 132, -1, nan, 0},  // the boss stands above the top face and hides it
        {{20, 40, 20}, {0, 1, 0}, 111, 1, 45.0, 1e-6},  // from inside a hole the wall of the half it looks at
        {{20, 40, 20}, {0, -1, 0}, 112, -1, nan, 0},
        {{50, -10, 37.5}, {0, 1, 0}, 107, 1, 2.5, 1e-6},  // a slanted ray from the front meets the chamfer
        // Half a unit inside the top face, next to the chamfer: the top, not the chamfer's plane beyond its edge.
        {{30, 5.5, 100}, {0, 0, -1}, 102, 2, 40.0, 1e-9},
        {{30, 5.5, 100}, {0, 0.01, -1}, 102, -1, nan, 0},
        {{30, -50, 34.99}, {0, 1, 0}, 103, -1, nan, 0},  // just past the chamfer's lower edge: the front face
        {{20, 40, 100}, {0, 0, -1}, 0, -1, nan, 0},  // straight through a through-hole
        {{150, 30, 100}, {0, 0, -1}, 0, -1, nan, 0},  // beside the block
        {{20, 10, 100}, {0, 0, 1}, 0, -1, nan, 0},  // away from the part
        {{20, 10, 100}, {0, 0, 0}, 0, -1, nan, 0},  // no direction
        {{80, 35, 100}, {0, 0, -1}, 116, -1, nan, 0},  // the countersink, not the tilted face's carrier
        {{37, 15, 100}, {0, 0, -1}, 133, -1, nan, 0},  // the torus fillet under its own tube
        {{-10, 70, 50}, {1, -1, -1}, 141, -1, nan, 0},  // the sphere corner, past the fillet's carrier
        {{-10, 70, 20}, {1, -1, 0}, 121, -1, nan, 0},  // the fillet, past the side faces' edges
        {{50, 10, 100}, {0, 0, -1}, 151, -1, nan, 0},  // the pocket floor through the top face
        {{45.2, 3.2, 100}, {0, 0, -1}, 151, 2, 37.00068, 1e-5},  // and through the chamfer, which the pocket cuts
        {{46, 10, 38.5}, {-1, 0, 0}, 154, 0, 45.0, 1e-9},  // a wall of the pocket
        {{91, -10, 50}, {0, 1, -1}, 107, 1, 2.5, 1e-6},  // the chamfer runs on to the tilted face
        {{95, -1, 100}, {0, 0, -1}, 0, -1, nan, 0},  // the tilted face ends at the front
        {{110, 70, 23}, {-1, -1, 0}, 122, 2, 23.0, 1e-9},  // the back right fillet runs up to the tilted face
        // Beside the corner the roundings along the top and the sphere; outside them nothing.
        {{1, 30, 100}, {0, 0, -1}, 124, 2, 37 + std::sqrt(5.0), 1e-6},
        {{20, 59, 100}, {0, 0, -1}, 123, 2, 37 + std::sqrt(5.0), 1e-6},
        {{2, 58, 100}, {0, 0, -1}, 141, 2, 37 + std::sqrt(7.0), 1e-6},
        {{0.5, 59.5, 100}, {0, 0, -1}, 0, -1, nan, 0},
        {{70, 35, 60}, {8, 0, -40}, 115, -1, nan, 0},  // the hole's wall through its opening
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ray from " << c.origin[0] << ", " << c.origin[1] << ", " << c.origin[2]);
        RayHit hit;
        const bool found = pickFace(samplePart(), c.origin, c.direction, hit);
        EXPECT_EQ(found, c.face != 0);
        EXPECT_EQ(found ? hit.face->id : 0, c.face);
        if (found && c.axis >= 0) {
            EXPECT_NEAR(hit.point[c.axis], c.coordinate, c.tolerance);
        }
    }
    // The distance runs along the ray from its origin.
    const double origin[3] = {20, 10, 100}, down[3] = {0, 0, -1};
    RayHit top;
    ASSERT_TRUE(pickFace(samplePart(), origin, down, top));
    EXPECT_NEAR(top.distance, 60.0, 1e-9);
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
