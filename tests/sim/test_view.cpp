// The host's view of the sample part: which face a view ray meets, the normals
// the host's face objects give, and what the host's face library answers.
#include "sample_part.h"
#include "view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

namespace {

struct Aim {
    const char* what;
    double origin[3], direction[3];
    int face;  // 0: nothing
    double point[3];
    int orFace = 0;  // on an edge: the face on its other side
};

// A unit direction from a to b.
std::array<double, 3> towards(const double* a, const double* b)
{
    const double d[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double l = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    return {d[0] / l, d[1] / l, d[2] / l};
}

void expectHit(const Aim& a, double tolerance)
{
    SCOPED_TRACE(a.what);
    RayHit hit;
    const bool found = pickFace(samplePart(), a.origin, a.direction, hit);
    const int id = found ? hit.face->id : 0;
    if (id != a.orFace || id == 0) {
        ASSERT_EQ(id, a.face);
    }
    if (!found)
        return;
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(hit.point[k], a.point[k], tolerance) << "axis " << k;
}

}  // namespace

// Two faces met a hundredth apart, or less: the one the ray meets first is
// hit, at the place it meets it, whichever of the two the part lists first.
TEST(ViewPick, TheFaceMetFirstIsHitHoweverCloseTheNextLies)
{
    const double s = std::sqrt(0.2), c = 2.0 * s;  // the direction (-c, 0, -s) is a unit vector
    const double wallFoot = 37.147;                 // the pocket floor at the left wall, y = 10
    const Aim aims[] = {
        // Into the boss top 0.01 inside its rim, 0.017 before the wall behind it.
        {"boss top near its rim", {29.984, 15, 58.008}, {0.6, 0, -0.8}, 132, {35.99, 15, 50}},
        {"over the boss's rim", {29.984, 15, 58.03}, {0.6, 0, -0.8}, 102, {43.5065, 15, 40}},
        // Across the pocket's right wall 0.02 from the ray's start, the floor 0.025 further.
        {"pocket wall before the floor", {58.0179, 10, 37.8998}, {-c, 0, -s}, 155, {58, 10, 37.8998 - 0.0179 / 2}},
        // Straight down on either side of the boss top's rim: the top, or the fillet at the boss's foot.
        {"boss top inside its rim", {36 - 1e-6, 15, 100}, {0, 0, -1}, 132, {36 - 1e-6, 15, 50}},
        {"fillet outside the boss's rim", {36 + 1e-4, 15, 100}, {0, 0, -1}, 133,
         {36 + 1e-4, 15, 42 - std::sqrt(4 - (2 - 1e-4) * (2 - 1e-4))}},
        // Straight down on either side of where the top meets the back rounding.
        {"top before the rounding", {20, 57 - 1e-6, 100}, {0, 0, -1}, 102, {20, 57 - 1e-6, 40}},
        {"rounding after the top", {20, 57 + 1e-3, 100}, {0, 0, -1}, 123, {20, 57 + 1e-3, 37 + std::sqrt(9 - 1e-6)}},
        // Grazing the boss wall: touched, missed, or crossed just inside.
        {"boss wall touched", {0, 21, 46}, {1, 0, 0}, 131, {30, 21, 46}},
        {"boss wall missed", {0, 21 + 1e-6, 46}, {1, 0, 0}, 0, {0, 0, 0}},
        {"boss wall crossed", {0, 20.99, 46}, {1, 0, 0}, 131, {30 - std::sqrt(36 - 5.99 * 5.99), 20.99, 46}},
        // Grazing the sphere at the corner along its tangent (1, 1, 0), or a little outside it.
        {"corner touched", {-50 / std::sqrt(2.0) + 3 - std::sqrt(3.0), -50 / std::sqrt(2.0) + 57 + std::sqrt(3.0),
          37 + std::sqrt(3.0)}, {1, 1, 0}, 141, {3 - std::sqrt(3.0), 57 + std::sqrt(3.0), 37 + std::sqrt(3.0)}},
        {"corner missed", {-50 / std::sqrt(2.0) + 3 - std::sqrt(3.0) - 1e-6, -50 / std::sqrt(2.0) + 57 + std::sqrt(3.0),
          37 + std::sqrt(3.0) + 1e-6}, {1, 1, 0}, 0, {0, 0, 0}},
        // The pocket's left wall just above its foot on the floor.
        {"pocket wall above its foot", {50, 10, 40}, {0, 0, 0}, 154, {45, 10, wallFoot + 1e-4}},
        // Onto edges and corners: either face, at the edge.
        {"top and chamfer's edge", {30, 5, 100}, {0, 0, -1}, 102, {30, 5, 40}, 107},
        {"front and right side's edge", {150, -50, 10}, {-1, 1, 0}, 103, {100, 0, 10}, 106},
        {"hole's rim", {20, 40, -10}, {0, 0.1, 1}, 102, {20, 45, 40}, 111},
        {"boss top's rim", {30, 36, 65}, {0, -1, -1}, 132, {30, 21, 50}, 131},
        // From below, slanted: the bottom, then from inside a hole its far wall.
        {"bottom from below", {30, 20, -10}, {0.3, 0.4, 1}, 101, {33, 24, 0}},
        {"hole wall from below", {20, 40, -20}, {0, 0.1, 1}, 111, {20, 45, 30}},
    };
    for (const Aim& a : aims) {
        Aim aim = a;
        if (aim.direction[0] == 0 && aim.direction[1] == 0 && aim.direction[2] == 0) {
            // Aimed at the point (the floor's, a little short of the wall).
            const auto d = towards(a.origin, a.point);
            std::copy(d.begin(), d.end(), aim.direction);
        }
        expectHit(aim, 1e-7);
    }
    // Aimed just below the wall's foot, the ray meets the floor a little
    // before the wall, on the floor's height there.
    const double origin[3] = {50, 10, 40}, foot[3] = {45, 10, wallFoot - 1e-4};
    const auto d = towards(origin, foot);
    RayHit hit;
    ASSERT_TRUE(pickFace(samplePart(), origin, d.data(), hit));
    EXPECT_EQ(hit.face->id, 151);
    EXPECT_GT(hit.point[0], 45.0);
    EXPECT_LT(hit.point[0], 45.001);
    EXPECT_NEAR(hit.point[2], freeformHeight(*hit.face, hit.point[0], hit.point[1]), 1e-9);
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
