#include "kvCdTree.h"
#include "stl_reader.h"
#include "../fixtures/stl_bytes.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using ScenePtr = std::unique_ptr<kvCdScene, void (*)(kvCdScene*)>;

// The block 0..100 x 0..60 x 0..40 as twelve triangles.
void blockMesh(std::vector<double>& xyz, std::vector<int>& tris)
{
    const double x[2] = {0, 100}, y[2] = {0, 60}, z[2] = {0, 40};
    xyz.clear();
    for (int i = 0; i < 8; ++i) {
        xyz.push_back(x[i & 1]);
        xyz.push_back(y[(i >> 1) & 1]);
        xyz.push_back(z[(i >> 2) & 1]);
    }
    tris = {0, 2, 1, 1, 2, 3, 4, 5, 6, 5, 7, 6, 0, 1, 4, 1, 5, 4,
            2, 6, 3, 3, 6, 7, 0, 4, 2, 2, 4, 6, 1, 3, 5, 3, 7, 5};
}

// Tip lifted by 0.01 so that a tip resting on a face is free; a shank and a
// wide holder above.
const kvCdCylinder kTool[] = {
    {3.0, 0.01, 20.0, kvCdBodyCutter},
    {3.0, 20.0, 30.0, kvCdBodyShank},
    {15.0, 30.0, 70.0, kvCdBodyHolder},
};

std::vector<double> frameAt(double x, double y, double z)
{
    return {1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1};
}

struct Scene : ::testing::Test {
    ScenePtr scene{kvCdCreateScene(), kvCdDestroyScene};
    void SetUp() override
    {
        std::vector<double> xyz;
        std::vector<int> tris;
        blockMesh(xyz, tris);
        ASSERT_EQ(0, kvCdSetPart(scene.get(), xyz.data(), 8, tris.data(), 12));
        ASSERT_EQ(0, kvCdSetTool(scene.get(), kTool, 3));
    }
    int test(double x, double y, double z, kvCdHit* hit = nullptr)
    {
        return kvCdTestTool(scene.get(), frameAt(x, y, z).data(), hit);
    }
};

std::string tempPath(const char* name)
{
    return ::testing::TempDir() + name;
}

void writeFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

using kvtest::binaryStl;

} // namespace

TEST_F(Scene, ToolOnTheTopFaceIsFreePushedInHitsWithItsCutterBesideWithItsHolderAndTurnedFollowsItsFrame)
{
    kvCdHit hit;
    EXPECT_EQ(0, test(50, 30, 40, &hit));
    EXPECT_EQ(-1, hit.body);
    EXPECT_EQ(1, test(50, 30, 35, &hit));
    EXPECT_EQ(kvCdBodyCutter, hit.body);
    EXPECT_EQ(kvCdObstaclePart, hit.obstacle);

    // Tool beside the block: the cutter clears the side, the holder's radius
    // of 15 reaches back over the block's top edge once it is low enough.
    EXPECT_EQ(1, test(105, 30, 5, &hit));
    EXPECT_EQ(kvCdBodyHolder, hit.body);
    EXPECT_EQ(0, test(105, 30, 10.5));

    // A turned tool follows its frame. Axis along -X from a point right of the block: the tool points away.
    const std::vector<double> away = {0, 0, 1, 101, 0, 1, 0, 30, -1, 0, 0, 20, 0, 0, 0, 1};
    EXPECT_EQ(0, kvCdTestTool(scene.get(), away.data(), nullptr));
    const std::vector<double> into = {0, 0, -1, 101, 0, 1, 0, 30, 1, 0, 0, 20, 0, 0, 0, 1};
    EXPECT_EQ(1, kvCdTestTool(scene.get(), into.data(), nullptr));
}

TEST_F(Scene, BadArgumentsAreRefusedAndLeaveTheSceneAsItWas)
{
    const double xyz[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const int outside[3] = {0, 1, 3};
    EXPECT_EQ(kvCdErrArgument, kvCdSetPart(scene.get(), xyz, 3, outside, 1));
    const double notFinite[9] = {0, 0, 0, 1, 0, 0, 0, 1, NAN};
    const int ok[3] = {0, 1, 2};
    EXPECT_EQ(kvCdErrArgument, kvCdSetPart(scene.get(), notFinite, 3, ok, 1));
    EXPECT_EQ(kvCdErrArgument, kvCdSetPart(scene.get(), xyz, -1, ok, 1));
    const kvCdCylinder flat = {3.0, 1.0, 1.0, kvCdBodyCutter};
    EXPECT_EQ(kvCdErrArgument, kvCdSetTool(scene.get(), &flat, 1));
    const kvCdCylinder thin = {0.0, 0.0, 1.0, kvCdBodyCutter};
    EXPECT_EQ(kvCdErrArgument, kvCdSetTool(scene.get(), &thin, 1));
    // Still the block and the three-body tool.
    EXPECT_EQ(1, test(50, 30, 35));
    // A frame that scales is no placement.
    std::vector<double> scaled = frameAt(50, 30, 35);
    scaled[0] = 2.0;
    EXPECT_EQ(kvCdErrArgument, kvCdTestTool(scene.get(), scaled.data(), nullptr));
    EXPECT_EQ(kvCdErrArgument, kvCdTestTool(scene.get(), frameAt(1e308, 0, 0).data(), nullptr));
    EXPECT_EQ(kvCdErrArgument, kvCdTestTool(scene.get(), nullptr, nullptr));
    EXPECT_EQ(kvCdErrArgument, kvCdTestTool(nullptr, frameAt(0, 0, 0).data(), nullptr));
}

TEST(CdScene, MachineModelFromBinaryAndAsciiStlIsMetByTheTool)
{
    ScenePtr scene(kvCdCreateScene(), kvCdDestroyScene);
    // Without a tool nothing can be tested.
    EXPECT_EQ(kvCdErrNoTool, kvCdTestTool(scene.get(), frameAt(0, 0, 0).data(), nullptr));
    ASSERT_EQ(0, kvCdSetTool(scene.get(), kTool, 3));
    // A table plate at z = -5 spanning -50..50.
    const std::string bin = tempPath("plate.stl");
    writeFile(bin, binaryStl({{-50, -50, -5, 50, -50, -5, 50, 50, -5}, {-50, -50, -5, 50, 50, -5, -50, 50, -5}}));
    int skipped = -1;
    EXPECT_EQ(2, kvCdAddMachineStl(scene.get(), bin.c_str(), &skipped));
    EXPECT_EQ(0, skipped);
    // An ASCII file exported in two solids, each with its name: both are read.
    const std::string ascii = tempPath("column.stl");
    writeFile(ascii, "solid column\n facet normal 1 0 0\n  outer loop\n   vertex 200 -10 0\n"
                     "   vertex 200 10 0\n   vertex 200 0 100\n  endloop\n endfacet\nendsolid column\n"
                     "solid post of the column\n facet normal 1 0 0\n  outer loop\n   vertex -200 -10 0\n"
                     "   vertex -200 10 0\n   vertex -200 0 100\n  endloop\n endfacet\nendsolid post\n");
    EXPECT_EQ(2, kvCdAddMachineStl(scene.get(), ascii.c_str(), nullptr));
    EXPECT_EQ(2, kvCdMachineCount(scene.get()));
    kvCdHit hit;
    EXPECT_EQ(0, kvCdTestTool(scene.get(), frameAt(0, 0, 0).data(), &hit));
    EXPECT_EQ(1, kvCdTestTool(scene.get(), frameAt(0, 0, -10).data(), &hit));
    EXPECT_EQ(kvCdObstacleMachine, hit.obstacle);
    for (double x : {190.0, -190.0}) {
        EXPECT_EQ(1, kvCdTestTool(scene.get(), frameAt(x, 0, 0).data(), &hit)) << x;
        EXPECT_EQ(kvCdBodyHolder, hit.body);
    }
}

// A tool that touches no triangle may still stand wholly in the material.
TEST_F(Scene, ToolWhollyInsideThePartCollidesAndOneBesideItIsFree)
{
    const kvCdCylinder small = {1.0, 0.01, 5.0, kvCdBodyCutter};
    ASSERT_EQ(0, kvCdSetTool(scene.get(), &small, 1));
    kvCdHit hit;
    EXPECT_EQ(1, test(50, 30, 20, &hit));
    EXPECT_EQ(kvCdBodyCutter, hit.body);
    EXPECT_EQ(kvCdObstaclePart, hit.obstacle);
    // Beside, above and below the block, also within its bounding box's
    // reach along one axis only.
    for (const auto& p : std::vector<std::array<double, 3>>{{50, 30, 45}, {50, 30, -10}, {110, 30, 20}, {50, -5, 20}})
        EXPECT_EQ(0, test(p[0], p[1], p[2])) << p[0] << ' ' << p[1] << ' ' << p[2];
    // The other way round: the block wholly inside a tool wider and longer
    // than it, touching none of its faces.
    const kvCdCylinder huge = {200.0, 0.01, 100.0, kvCdBodyHolder};
    ASSERT_EQ(0, kvCdSetTool(scene.get(), &huge, 1));
    EXPECT_EQ(1, test(50, 30, -20, &hit));
    EXPECT_EQ(kvCdBodyHolder, hit.body);
}

// The block 0..100 x 0..60 x 0..40 with a pocket x 45..58, y 3..20 down
// to z = 30, closed by its four walls, or with its wall at x = 45 left out
// (a face missing from the milling area).
void pocketBlock(bool wallAt45, std::vector<double>& xyz, std::vector<int>& tris)
{
    xyz.clear();
    tris.clear();
    auto quad = [&](std::array<double, 12> c) {
        const int first = static_cast<int>(xyz.size() / 3);
        xyz.insert(xyz.end(), c.begin(), c.end());
        tris.insert(tris.end(), {first, first + 1, first + 2, first, first + 2, first + 3});
    };
    auto flat = [&](double x0, double y0, double x1, double y1, double z) {
        quad({x0, y0, z, x1, y0, z, x1, y1, z, x0, y1, z});
    };
    auto wallX = [&](double x, double y0, double y1, double z0, double z1) {
        quad({x, y0, z0, x, y1, z0, x, y1, z1, x, y0, z1});
    };
    auto wallY = [&](double y, double x0, double x1, double z0, double z1) {
        quad({x0, y, z0, x1, y, z0, x1, y, z1, x0, y, z1});
    };
    flat(0, 0, 100, 60, 0);
    wallX(0, 0, 60, 0, 40);
    wallX(100, 0, 60, 0, 40);
    wallY(0, 0, 100, 0, 40);
    wallY(60, 0, 100, 0, 40);
    // The top around the pocket's opening, the pocket's floor and walls.
    flat(0, 0, 45, 60, 40);
    flat(58, 0, 100, 60, 40);
    flat(45, 0, 58, 3, 40);
    flat(45, 20, 58, 60, 40);
    flat(45, 3, 58, 20, 30);
    if (wallAt45)
        wallX(45, 3, 20, 30, 40);
    wallX(58, 3, 20, 30, 40);
    wallY(3, 45, 58, 30, 40);
    wallY(20, 45, 58, 30, 40);
}

// A body partly in the material collides, where it crosses a wall and where
// it reaches through an opening of the part's model into the material
// behind; one wholly in the pocket is free.
TEST(CdScene, ABodyPartlyInsideTheMaterialCollidesEvenThroughAnOpeningOfThePartModel)
{
    const kvCdCylinder thin = {0.5, 0.01, 10.0, kvCdBodyCutter};
    // The tool lies along -x from (x, 12, 35), its tip at x.
    auto alongMinusX = [](double x) { return std::vector<double>{0, 0, -1, x, 0, 1, 0, 12, 1, 0, 0, 35, 0, 0, 0, 1}; };
    for (bool wall : {true, false}) {
        std::vector<double> xyz;
        std::vector<int> tris;
        pocketBlock(wall, xyz, tris);
        ScenePtr scene(kvCdCreateScene(), kvCdDestroyScene);
        ASSERT_EQ(0, kvCdSetPart(scene.get(), xyz.data(), static_cast<int>(xyz.size() / 3), tris.data(),
                                 static_cast<int>(tris.size() / 3)));
        ASSERT_EQ(0, kvCdSetTool(scene.get(), &thin, 1));
        kvCdHit hit;
        // Across the wall at 45, half of it (x 40..50) or its last millimetre
        // (x 44..54) in the material.
        for (double tip : {50.0, 54.0}) {
            EXPECT_EQ(1, kvCdTestTool(scene.get(), alongMinusX(tip).data(), &hit)) << wall << ' ' << tip;
            EXPECT_EQ(kvCdBodyCutter, hit.body);
        }
        // Wholly in the pocket (x 46..56) and wholly in the material (x 30..40).
        EXPECT_EQ(0, kvCdTestTool(scene.get(), alongMinusX(56).data(), nullptr)) << wall;
        EXPECT_EQ(1, kvCdTestTool(scene.get(), alongMinusX(40).data(), nullptr)) << wall;
    }
}

// Inside is what most rays leave through an odd number of faces: a block
// with a crack still holds its inside, while a channel open at the top and
// at both ends, or a lone sheet, encloses nothing.
TEST(CdScene, InsideNeedsMostRaysToCrossAnOddNumberOfTimes)
{
    std::vector<double> xyz;
    std::vector<int> tris;
    blockMesh(xyz, tris);
    const kvCdCylinder small = {1.0, 0.01, 5.0, kvCdBodyCutter};
    auto verdict = [&](const std::vector<int>& kept, double x, double y, double z) {
        ScenePtr scene(kvCdCreateScene(), kvCdDestroyScene);
        EXPECT_EQ(0, kvCdSetPart(scene.get(), xyz.data(), 8, kept.data(), static_cast<int>(kept.size() / 3)));
        EXPECT_EQ(0, kvCdSetTool(scene.get(), &small, 1));
        return kvCdTestTool(scene.get(), frameAt(x, y, z).data(), nullptr);
    };
    // Triangles 2 and 3 are the top (z = 40), 8 to 11 the ends at x = 0 and x = 100.
    std::vector<int> withSides(tris.begin(), tris.begin() + 6);
    withSides.insert(withSides.end(), tris.begin() + 12, tris.begin() + 24);
    EXPECT_EQ(0, verdict(withSides, 50, 30, 20));
    // The top's second triangle missing: the ray through it loses one vote.
    std::vector<int> cracked(tris.begin(), tris.begin() + 9);
    cracked.insert(cracked.end(), tris.begin() + 12, tris.end());
    EXPECT_EQ(1, verdict(cracked, 80, 50, 20));
    // Close to a corner, rays leave through three different faces.
    EXPECT_EQ(1, verdict(tris, 98.5, 58.5, 30));
    // Only the bottom: a sheet, whatever side the tool is on.
    const std::vector<int> bottom(tris.begin(), tris.begin() + 6);
    EXPECT_EQ(0, verdict(bottom, 50, 30, 20));
}

TEST(StlReader, WhatCannotBeAMachineModelIsRefusedWithItsReason)
{
    using kvcd::StlStatus;
    std::vector<kvcd::StlTriangle> out;
    std::string bin = binaryStl({{0, 0, 0, 1, 0, 0, 0, 1, 0}});
    EXPECT_EQ(StlStatus::ok, kvcd::parseStl(bin, out));
    EXPECT_EQ(1u, out.size());
    EXPECT_EQ(StlStatus::malformed, kvcd::parseStl(bin.substr(0, bin.size() - 1), out));
    EXPECT_TRUE(out.empty());
    // Counts that promise more than the file holds, or less.
    for (std::uint32_t count : {4000000000u, 20000001u, 1000000u}) {
        std::string lying = bin;
        std::memcpy(&lying[80], &count, 4);
        EXPECT_EQ(StlStatus::malformed, kvcd::parseStl(lying, out)) << count;
    }
    const std::string twoCountedOne = binaryStl({{0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1, 1, 0, 1, 0, 1, 1}}, 1);
    EXPECT_EQ(StlStatus::countBelowData, kvcd::parseStl(twoCountedOne, out));
    std::string none = bin.substr(0, 84);
    const std::uint32_t zero = 0;
    std::memcpy(&none[80], &zero, 4);
    EXPECT_EQ(StlStatus::badCount, kvcd::parseStl(none, out));
    EXPECT_EQ(StlStatus::badCount, kvcd::parseStl(binaryStl({{0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1, 1, 0, 1, 0, 1, 1}}), out, 1));
    const float nan = std::nanf("");
    EXPECT_EQ(StlStatus::notFinite, kvcd::parseStl(binaryStl({{0, 0, 0, 1, 0, 0, 0, nan, 0}}), out));
    EXPECT_EQ(StlStatus::beyondLimit, kvcd::parseStl(binaryStl({{0, 0, 0, 1, 0, 0, 0, 1e30f, 0}}), out));
    auto ascii = [](const char* third) {
        return std::string("solid x\n facet normal 0 0 1\n outer loop\n vertex 0 0 0\n vertex 1 0 0\n vertex ") + third +
               "\n endloop\n endfacet\nendsolid x\n";
    };
    EXPECT_EQ(StlStatus::ok, kvcd::parseStl(ascii("0 1 0"), out));
    EXPECT_EQ(StlStatus::notFinite, kvcd::parseStl(ascii("0 nan 0"), out));
    EXPECT_EQ(StlStatus::notFinite, kvcd::parseStl(ascii("0 1e309 0"), out));
    EXPECT_EQ(StlStatus::beyondLimit, kvcd::parseStl(ascii("0 1e150 0"), out));
    EXPECT_EQ(StlStatus::beyondLimit, kvcd::parseStl(ascii("0 -1e308 0"), out));
    EXPECT_EQ(StlStatus::malformed, kvcd::parseStl(ascii("0 1"), out));
    EXPECT_EQ(StlStatus::malformed, kvcd::parseStl("solid x\n facet normal 0 0 1\n outer loop\n vertex 0 0 0\n", out));
    EXPECT_EQ(StlStatus::badCount, kvcd::parseStl("solid empty\nendsolid empty\n", out));
    // Past an ended solid only another solid may follow.
    EXPECT_EQ(StlStatus::malformed, kvcd::parseStl(ascii("0 1 0") + "vertex 0 0 0\n", out));
    EXPECT_EQ(StlStatus::malformed, kvcd::parseStl(ascii("0 1 0") + "solid y\n", out));
    EXPECT_EQ(StlStatus::unreadable, kvcd::parseStl(std::string(), out));
    EXPECT_EQ(StlStatus::unreadable, kvcd::readStl(tempPath("no-such-file.stl"), out));
    EXPECT_TRUE(out.empty());
}

TEST(CdScene, RefusedMachineFilesAddNothingAndTrianglesWithoutAreaAreCounted)
{
    ScenePtr scene(kvCdCreateScene(), kvCdDestroyScene);
    const std::string path = tempPath("machine.stl");
    const std::array<float, 9> good = {0, 0, 0, 10, 0, 0, 0, 10, 0};
    const std::array<float, 9> point = {5, 5, 5, 5, 5, 5, 5, 5, 5};
    const std::array<float, 9> line = {0, 0, 0, 1, 1, 1, 2, 2, 2};
    int skipped = -1;
    writeFile(path, binaryStl({good, point, line}));
    EXPECT_EQ(1, kvCdAddMachineStl(scene.get(), path.c_str(), &skipped));
    EXPECT_EQ(2, skipped);
    writeFile(path, binaryStl({point}));
    EXPECT_EQ(kvCdErrNoArea, kvCdAddMachineStl(scene.get(), path.c_str(), &skipped));
    EXPECT_EQ(0, skipped);
    writeFile(path, binaryStl({{0, 0, 0, 1e20f, 0, 0, 0, 1, 0}}));
    EXPECT_EQ(kvCdErrCoordinate, kvCdAddMachineStl(scene.get(), path.c_str(), &skipped));
    EXPECT_EQ(kvCdErrFile, kvCdAddMachineStl(scene.get(), tempPath("no-such-file.stl").c_str(), &skipped));
    EXPECT_EQ(kvCdErrArgument, kvCdAddMachineStl(scene.get(), nullptr, &skipped));
    EXPECT_EQ(1, kvCdMachineCount(scene.get()));
    // Part corners past the limit are refused like those that are not finite.
    const double huge[9] = {0, 0, 0, 1e150, 0, 0, 0, 1, 0};
    const int one[3] = {0, 1, 2};
    EXPECT_EQ(kvCdErrArgument, kvCdSetPart(scene.get(), huge, 3, one, 1));
}
