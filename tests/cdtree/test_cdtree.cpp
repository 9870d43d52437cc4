#include "kvCdTree.h"
#include "stl_reader.h"

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

// One binary STL triangle record.
std::string binaryStl(const std::vector<std::array<float, 9>>& triangles)
{
    std::string bytes(80, ' ');
    const std::uint32_t n = static_cast<std::uint32_t>(triangles.size());
    bytes.append(reinterpret_cast<const char*>(&n), 4);
    for (const auto& t : triangles) {
        const float normal[3] = {0, 0, 1};
        bytes.append(reinterpret_cast<const char*>(normal), 12);
        bytes.append(reinterpret_cast<const char*>(t.data()), 36);
        bytes.append(2, '\0');
    }
    return bytes;
}

} // namespace

TEST_F(Scene, ToolRestingOnTheTopFaceIsFreeAndPushedInCollidesWithItsCutter)
{
    kvCdHit hit;
    EXPECT_EQ(0, test(50, 30, 40, &hit));
    EXPECT_EQ(-1, hit.body);
    EXPECT_EQ(1, test(50, 30, 35, &hit));
    EXPECT_EQ(kvCdBodyCutter, hit.body);
    EXPECT_EQ(kvCdObstaclePart, hit.obstacle);
}

TEST_F(Scene, HolderReachingOverAnEdgeIsReportedAsTheHolder)
{
    // Tool beside the block: the cutter clears the side, the holder's radius
    // of 15 reaches back over the block's top edge once it is low enough.
    kvCdHit hit;
    EXPECT_EQ(1, test(105, 30, 5, &hit));
    EXPECT_EQ(kvCdBodyHolder, hit.body);
    EXPECT_EQ(0, test(105, 30, 10.5));
}

TEST_F(Scene, TurnedToolFollowsItsFrame)
{
    // Axis along -X from a point right of the block: the tool points away.
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
    EXPECT_EQ(kvCdErrArgument, kvCdTestTool(scene.get(), nullptr, nullptr));
    EXPECT_EQ(kvCdErrArgument, kvCdTestTool(nullptr, frameAt(0, 0, 0).data(), nullptr));
}

TEST(CdScene, WithoutAToolNothingCanBeTested)
{
    ScenePtr scene(kvCdCreateScene(), kvCdDestroyScene);
    EXPECT_EQ(kvCdErrNoTool, kvCdTestTool(scene.get(), frameAt(0, 0, 0).data(), nullptr));
}

TEST(CdScene, MachineModelFromBinaryAndAsciiStlIsMetByTheTool)
{
    ScenePtr scene(kvCdCreateScene(), kvCdDestroyScene);
    ASSERT_EQ(0, kvCdSetTool(scene.get(), kTool, 3));
    // A table plate at z = -5 spanning -50..50.
    const std::string bin = tempPath("plate.stl");
    writeFile(bin, binaryStl({{-50, -50, -5, 50, -50, -5, 50, 50, -5}, {-50, -50, -5, 50, 50, -5, -50, 50, -5}}));
    EXPECT_EQ(2, kvCdAddMachineStl(scene.get(), bin.c_str()));
    const std::string ascii = tempPath("column.stl");
    writeFile(ascii, "solid column\n facet normal 1 0 0\n  outer loop\n   vertex 200 -10 0\n"
                     "   vertex 200 10 0\n   vertex 200 0 100\n  endloop\n endfacet\nendsolid column\n");
    EXPECT_EQ(1, kvCdAddMachineStl(scene.get(), ascii.c_str()));
    EXPECT_EQ(2, kvCdMachineCount(scene.get()));
    kvCdHit hit;
    EXPECT_EQ(0, kvCdTestTool(scene.get(), frameAt(0, 0, 0).data(), &hit));
    EXPECT_EQ(1, kvCdTestTool(scene.get(), frameAt(0, 0, -10).data(), &hit));
    EXPECT_EQ(kvCdObstacleMachine, hit.obstacle);
    EXPECT_EQ(1, kvCdTestTool(scene.get(), frameAt(190, 0, 0).data(), &hit));
    EXPECT_EQ(kvCdBodyHolder, hit.body);
}

TEST(StlReader, TruncatedMalformedAndMissingFilesAreRefused)
{
    std::vector<kvcd::StlTriangle> out;
    std::string bin = binaryStl({{0, 0, 0, 1, 0, 0, 0, 1, 0}});
    EXPECT_TRUE(kvcd::parseStl(bin, out));
    EXPECT_EQ(1u, out.size());
    EXPECT_FALSE(kvcd::parseStl(bin.substr(0, bin.size() - 1), out));
    EXPECT_TRUE(out.empty());
    // A count that promises more than the file holds.
    std::string lying = bin;
    const std::uint32_t many = 1000000;
    std::memcpy(&lying[80], &many, 4);
    EXPECT_FALSE(kvcd::parseStl(lying, out));
    EXPECT_FALSE(kvcd::parseStl("solid x\n facet normal 0 0 1\n outer loop\n vertex 0 0 0\n vertex 1 0 0\n"
                                " endloop\n endfacet\nendsolid x\n", out));
    EXPECT_FALSE(kvcd::parseStl("solid x\n facet normal 0 0 1\n outer loop\n vertex 0 0 0\n vertex 1 0 0\n"
                                " vertex 0 nan 0\n endloop\n endfacet\nendsolid x\n", out));
    EXPECT_FALSE(kvcd::parseStl("solid x\n facet normal 0 0 1\n outer loop\n vertex 0 0 0\n", out));
    EXPECT_FALSE(kvcd::parseStl("solid empty\nendsolid empty\n", out));
    EXPECT_FALSE(kvcd::parseStl(std::string(), out));
    EXPECT_FALSE(kvcd::readStl(tempPath("no-such-file.stl"), out));
    // More triangles than the caller allows.
    EXPECT_FALSE(kvcd::parseStl(binaryStl({{0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1, 1, 0, 1, 0, 1, 1}}), out, 1));
    ScenePtr scene(kvCdCreateScene(), kvCdDestroyScene);
    EXPECT_EQ(kvCdErrFile, kvCdAddMachineStl(scene.get(), tempPath("no-such-file.stl").c_str()));
    EXPECT_EQ(kvCdErrArgument, kvCdAddMachineStl(scene.get(), nullptr));
    EXPECT_EQ(0, kvCdMachineCount(scene.get()));
}
