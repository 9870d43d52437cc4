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
#include <sstream>
#include <string>
#include <vector>

namespace {

using ScenePtr = std::unique_ptr<kvCdScene, void (*)(kvCdScene*)>;

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

// The block 0..100 x 0..60 x 0..40 with a pocket x 45..58, y 3..20 down to
// z = 30, from the first `kept` of its rectangles: all 14 close it, 13 leave
// its wall at x = 45 out (a face missing from the milling area), 1 is a lone
// sheet.
ScenePtr pocketBlock(int kept, const kvCdCylinder* tool, int bodies = 1)
{
    // Across an axis at a height, spanning the next axis (x, y, z, wrapping)
    // from u0 to u1 and the one after from v0 to v1: the bottom, the sides,
    // the ends, the top around the pocket's opening, the pocket's floor and
    // walls.
    const double rectangles[14][6] = {
        {2, 0, 0, 100, 0, 60},   {1, 0, 0, 40, 0, 100},   {1, 60, 0, 40, 0, 100}, {0, 0, 0, 60, 0, 40},
        {0, 100, 0, 60, 0, 40},  {2, 40, 0, 45, 0, 60},   {2, 40, 58, 100, 0, 60}, {2, 40, 45, 58, 0, 3},
        {2, 40, 45, 58, 20, 60}, {2, 30, 45, 58, 3, 20},  {0, 58, 3, 20, 30, 40},  {1, 3, 30, 40, 45, 58},
        {1, 20, 30, 40, 45, 58}, {0, 45, 3, 20, 30, 40},
    };
    std::vector<double> xyz;
    std::vector<int> tris;
    for (int i = 0; i < kept; ++i) {
        const double* r = rectangles[i];
        const int across = static_cast<int>(r[0]), first = static_cast<int>(xyz.size() / 3);
        for (const auto& uv : {std::array<double, 2>{r[2], r[4]}, {r[3], r[4]}, {r[3], r[5]}, {r[2], r[5]}}) {
            double p[3];
            p[across] = r[1];
            p[(across + 1) % 3] = uv[0];
            p[(across + 2) % 3] = uv[1];
            xyz.insert(xyz.end(), p, p + 3);
        }
        tris.insert(tris.end(), {first, first + 1, first + 2, first, first + 2, first + 3});
    }
    ScenePtr scene(kvCdCreateScene(), kvCdDestroyScene);
    EXPECT_EQ(0, kvCdSetPart(scene.get(), xyz.data(), static_cast<int>(xyz.size() / 3), tris.data(), 2 * kept));
    EXPECT_EQ(0, kvCdSetTool(scene.get(), tool, bodies));
    return scene;
}

struct Scene : ::testing::Test {
    ScenePtr scene = pocketBlock(14, kTool, 3);
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

TEST_F(Scene, ToolOnTheTopFaceIsFreePushedInHitsWithItsCutterAndBesideWithItsHolder)
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

// A frame that mirrors keeps every length and angle, as a rotation does, but
// turns the tool's frame left-handed: no rigid motion places a tool so, and
// it is refused as a frame that scales is. The same axes rotated are taken.
TEST_F(Scene, AMirroringFrameIsRefusedAsANonOrthonormalOneIs)
{
    // The tool above the block's top face, free when upright; turned upside
    // down it lies in the block.
    auto placed = [](std::array<double, 9> r) {
        return std::vector<double>{r[0], r[1], r[2], 50, r[3], r[4], r[5], 30, r[6], r[7], r[8], 40, 0, 0, 0, 1};
    };
    const std::array<double, 9> mirrors[] = {
        {1, 0, 0, 0, 1, 0, 0, 0, -1},   // across the tool's own end
        {-1, 0, 0, 0, 1, 0, 0, 0, 1},   // across its axis
        {-1, 0, 0, 0, -1, 0, 0, 0, -1}, // through the tip
        {0, 1, 0, 1, 0, 0, 0, 0, 1},    // x and y swapped
    };
    for (const auto& r : mirrors) {
        kvCdHit hit{-2, -2};
        EXPECT_EQ(kvCdErrArgument, kvCdTestTool(scene.get(), placed(r).data(), &hit))
            << r[0] << ' ' << r[4] << ' ' << r[8];
    }
    // Rotations of the same axes: a half turn about the axis leaves the
    // tool upright and free, a half turn about x puts it into the block.
    EXPECT_EQ(0, kvCdTestTool(scene.get(), placed({-1, 0, 0, 0, -1, 0, 0, 0, 1}).data(), nullptr));
    EXPECT_EQ(1, kvCdTestTool(scene.get(), placed({1, 0, 0, 0, -1, 0, 0, 0, -1}).data(), nullptr));
    EXPECT_EQ(0, kvCdTestTool(scene.get(), placed({0, -1, 0, 1, 0, 0, 0, 0, 1}).data(), nullptr));
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

// A body in the material collides, wholly in it or partly: across a wall,
// and through an opening of the part's model into the material behind. One
// in the pocket or beside the block is free, and the block wholly inside a
// tool collides.
TEST(CdScene, ABodyInTheMaterialCollidesWhollyOrInPartEvenThroughAnOpeningOfThePartModel)
{
    // The tool lies along -x from (x, 12, 35), its tip at x.
    auto alongMinusX = [](double x) { return std::vector<double>{0, 0, -1, x, 0, 1, 0, 12, 1, 0, 0, 35, 0, 0, 0, 1}; };
    const kvCdCylinder thin = {0.5, 0.01, 10.0, kvCdBodyCutter};
    for (int kept : {14, 13}) {
        ScenePtr scene = pocketBlock(kept, &thin);
        kvCdHit hit;
        // Across the wall at 45, half of it (x 40..50) or its last millimetre
        // (x 44..54) in the material, and wholly in it (x 30..40).
        for (double tip : {50.0, 54.0, 40.0}) {
            EXPECT_EQ(1, kvCdTestTool(scene.get(), alongMinusX(tip).data(), &hit)) << kept << ' ' << tip;
            EXPECT_EQ(kvCdBodyCutter, hit.body);
            EXPECT_EQ(kvCdObstaclePart, hit.obstacle);
        }
        // In the pocket (x 46..56); upright above, below and beside the
        // block, within its bounding box's reach along one axis only.
        EXPECT_EQ(0, kvCdTestTool(scene.get(), alongMinusX(56).data(), nullptr)) << kept;
        for (const auto& p : std::vector<std::array<double, 3>>{{50, 30, 45}, {50, 30, -15}, {110, 30, 20}, {50, -5, 20}})
            EXPECT_EQ(0, kvCdTestTool(scene.get(), frameAt(p[0], p[1], p[2]).data(), nullptr)) << p[0] << ' ' << p[2];
        // The other way round: the block inside a tool wider and longer than
        // it, touching none of its faces.
        const kvCdCylinder huge = {200.0, 0.01, 100.0, kvCdBodyHolder};
        ASSERT_EQ(0, kvCdSetTool(scene.get(), &huge, 1));
        EXPECT_EQ(1, kvCdTestTool(scene.get(), frameAt(50, 30, -20).data(), &hit));
        EXPECT_EQ(kvCdBodyHolder, hit.body);
    }
}

// Inside is what most rays leave through an odd number of faces: close to a
// corner of the block its inside holds, while a lone sheet, crossed by at
// most one ray of each opposite pair, encloses nothing.
TEST(CdScene, InsideNeedsMostRaysToCrossAnOddNumberOfTimes)
{
    const kvCdCylinder small = {1.0, 0.01, 5.0, kvCdBodyCutter};
    EXPECT_EQ(1, kvCdTestTool(pocketBlock(14, &small).get(), frameAt(98.5, 58.5, 30).data(), nullptr));
    for (double z : {-10.0, 20.0})
        EXPECT_EQ(0, kvCdTestTool(pocketBlock(1, &small).get(), frameAt(50, 30, z).data(), nullptr)) << z;
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
    const std::vector<kvtest::StlCorners> two = {{0, 0, 0, 1, 0, 0, 0, 1, 0}, {0, 0, 1, 1, 0, 1, 0, 1, 1}};
    EXPECT_EQ(StlStatus::countBelowData, kvcd::parseStl(binaryStl(two, 1), out));
    std::string none = bin.substr(0, 84);
    const std::uint32_t zero = 0;
    std::memcpy(&none[80], &zero, 4);
    EXPECT_EQ(StlStatus::badCount, kvcd::parseStl(none, out));
    EXPECT_EQ(StlStatus::badCount, kvcd::parseStl(binaryStl(two), out, 1));
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

namespace {

// Facets i = 0, 1, ... of a fan, each its own triangle (corner 2 is 1 + i high).
std::vector<kvtest::StlCorners> fan(int count)
{
    std::vector<kvtest::StlCorners> out;
    for (int i = 0; i < count; ++i)
        out.push_back({0, 0, 0, 1, 0, 0, 0, 1, 1.0f + i});
    return out;
}

// The same facets as ASCII, split into solids of the given sizes.
std::string asciiStl(const std::vector<kvtest::StlCorners>& facets, const std::vector<int>& solids)
{
    std::ostringstream text;
    std::size_t next = 0;
    for (int size : solids) {
        text << "solid part\n";
        for (int k = 0; k < size; ++k, ++next) {
            const kvtest::StlCorners& t = facets.at(next);
            text << " facet normal 0 0 1\n  outer loop\n";
            for (int c = 0; c < 3; ++c)
                text << "   vertex " << t[3 * c] << ' ' << t[3 * c + 1] << ' ' << t[3 * c + 2] << "\n";
            text << "  endloop\n endfacet\n";
        }
        text << "endsolid part\n";
    }
    return text.str();
}

} // namespace

// A file of exactly as many facets as the limit allows is read whole; one
// facet more is refused, binary or ASCII, however the ASCII facets are split
// into solids, from memory or from a file.
TEST(StlReader, ExactlyTheTriangleLimitIsReadAndOneFacetMoreIsRefused)
{
    using kvcd::StlStatus;
    const std::size_t limit = 3;
    const std::vector<kvtest::StlCorners> three = fan(3), four = fan(4);
    struct Case {
        const char* what;
        std::string bytes;
        StlStatus status;
    } const cases[] = {
        {"binary, 3", kvtest::binaryStl(three), StlStatus::ok},
        {"binary, 4", kvtest::binaryStl(four), StlStatus::badCount},
        {"ASCII, 3", asciiStl(three, {3}), StlStatus::ok},
        {"ASCII, 4", asciiStl(four, {4}), StlStatus::badCount},
        {"ASCII, 2 + 1", asciiStl(three, {2, 1}), StlStatus::ok},
        {"ASCII, 2 + 2", asciiStl(four, {2, 2}), StlStatus::badCount},
        {"ASCII, 3 + 1", asciiStl(four, {3, 1}), StlStatus::badCount},
    };
    const std::string path = tempPath("limit.stl");
    for (const Case& c : cases) {
        writeFile(path, c.bytes);
        for (bool fromFile : {false, true}) {
            std::vector<kvcd::StlTriangle> out;
            const StlStatus status =
                fromFile ? kvcd::readStl(path, out, limit) : kvcd::parseStl(c.bytes, out, limit);
            EXPECT_EQ(c.status, status) << c.what << (fromFile ? ", from a file" : "");
            if (c.status != StlStatus::ok) {
                EXPECT_TRUE(out.empty()) << c.what;
                continue;
            }
            ASSERT_EQ(limit, out.size()) << c.what;
            for (std::size_t i = 0; i < limit; ++i)
                EXPECT_EQ(1.0 + i, out[i].v[2][2]) << c.what << ", facet " << i;
        }
        // Below the limit of a machine model, every one of them is read.
        std::vector<kvcd::StlTriangle> out;
        EXPECT_EQ(StlStatus::ok, kvcd::parseStl(c.bytes, out)) << c.what;
    }
    std::remove(path.c_str());
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
