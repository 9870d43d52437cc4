// The tool's shape and place, the part model's tessellation and the
// tool-length search, each against values worked out by hand.
#include "analyse/kvAnalyseKeys.h"
#include "geom/geom.h"
#include "host/object/kvPropAccess.h"
#include "sdk/kvPropertySet.h"
#include "toolpos/kvCCollisionCheck.h"
#include "toolpos/kvPartMesh.h"
#include "toolpos/kvToolPlacement.h"
#include "toolpos/kvToolShape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

const double kPi = 3.14159265358979323846;

using SurfPtr = std::unique_ptr<RatBSplSurf, void (*)(RatBSplSurf*)>;

void expectNear3(const kvCGePoint& p, double x, double y, double z)
{
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
    EXPECT_NEAR(p.z, z, 1e-9);
}

kvCGePoint zAxisOf(const kvCGeMatrix& m)
{
    return kvCGePoint(m(0, 2), m(1, 2), m(2, 2));
}

} // namespace

// ---------------------------------------------------------------- shape

TEST(ToolShape, BadToolsAreRefusedWithTheirReasonAndLeaveTheOldDimensions)
{
    kvToolDimensions dims;
    dims.diameter = 7.0;
    kvCString problem;
    EXPECT_FALSE(kvReadToolDimensions(nullptr, dims, problem));
    EXPECT_EQ(problem, kvCString(L"The job has no tool"));
    kvCPrPropertySet tool;
    for (double d : {0.0, -2.0, double(NAN)}) {
        propSet(&tool, kvKeyDiameter, d);
        propSet(&tool, kvKeyLength, 30.0);
        EXPECT_FALSE(kvReadToolDimensions(&tool, dims, problem)) << d;
    }
    propSet(&tool, kvKeyDiameter, 6.0);
    propSet(&tool, kvKeyLength, 0.0);
    EXPECT_FALSE(kvReadToolDimensions(&tool, dims, problem));
    EXPECT_EQ(problem, kvCString(L"The tool's diameter and length must be greater than 0"));
    propSet(&tool, kvKeyLength, 30.0);
    propSet(&tool, kvKeyHolderLength1, -1.0);
    EXPECT_FALSE(kvReadToolDimensions(&tool, dims, problem));
    EXPECT_EQ(dims.diameter, 7.0);
}

TEST(ToolShape, BodiesStackFromTheLiftedTipThroughShankAndHolderSteps)
{
    kvCPrPropertySet tool;
    propSet(&tool, kvKeyDiameter, 6.0);
    propSet(&tool, kvKeyLength, 30.0);
    propSet(&tool, kvKeyCuttingLength, 12.0);
    propSet(&tool, kvKeyShaftDiameter, 5.0);
    propSet(&tool, kvKeyHolderDiameter1, 20.0);
    propSet(&tool, kvKeyHolderLength1, 15.0);
    propSet(&tool, kvKeyHolderDiameter2, 40.0);
    propSet(&tool, kvKeyHolderLength2, 25.0);
    kvToolDimensions dims;
    kvCString problem;
    ASSERT_TRUE(kvReadToolDimensions(&tool, dims, problem));
    const std::vector<kvCdCylinder> bodies = kvToolCylinders(dims, 0.01);
    ASSERT_EQ(bodies.size(), 4u);
    const double expected[4][4] = {{3, 0.01, 12, kvCdBodyCutter},
                                   {2.5, 12, 30, kvCdBodyShank},
                                   {10, 30, 45, kvCdBodyHolder},
                                   {20, 45, 70, kvCdBodyHolder}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(bodies[i].radius, expected[i][0]) << i;
        EXPECT_DOUBLE_EQ(bodies[i].bottom, expected[i][1]) << i;
        EXPECT_DOUBLE_EQ(bodies[i].top, expected[i][2]) << i;
        EXPECT_EQ(bodies[i].body, static_cast<int>(expected[i][3])) << i;
    }
    // Without cutting length, shaft and holder: one cutting body, the whole length.
    kvCPrPropertySet bare;
    propSet(&bare, kvKeyDiameter, 4.0);
    propSet(&bare, kvKeyLength, 10.0);
    propSet(&bare, kvKeyCuttingLength, 25.0);
    ASSERT_TRUE(kvReadToolDimensions(&bare, dims, problem));
    const std::vector<kvCdCylinder> one = kvToolCylinders(dims, 0.01);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_DOUBLE_EQ(one[0].top, 10.0);
    EXPECT_DOUBLE_EQ(one[0].radius, 2.0);
}

// ---------------------------------------------------------------- place

TEST(ToolPlacement, AnglesTurnAboutTheFramesOwnAxesAndKeepTheTip)
{
    kvCGeMatrix base;
    base.setTranslation(kvCGePoint(10, 20, 30));
    // A about X by 90: Z goes to -Y.
    kvCGeMatrix a = kvToolFrame(base, 90, 0, 0);
    expectNear3(zAxisOf(a), 0, -1, 0);
    expectNear3(a * kvCGePoint(), 10, 20, 30);
    // B about Y by 90: Z goes to +X; then C turns about that tool axis only.
    kvCGeMatrix b = kvToolFrame(base, 0, 90, 0);
    expectNear3(zAxisOf(b), 1, 0, 0);
    kvCGeMatrix bc = kvToolFrame(base, 0, 90, 45);
    expectNear3(zAxisOf(bc), 1, 0, 0);
    // A then B: B turns about the Y axis that A has turned.
    kvCGeMatrix ab = kvToolFrame(base, 90, 90, 0);
    expectNear3(zAxisOf(ab), 1, 0, 0);
}

TEST(ToolPlacement, FeedbackPointsUndoTheAxialShiftAndReachAThousandAlongTheAxis)
{
    kvCGeMatrix frame;
    frame.setFromArbitraryAxis(kvCGeVector(0, 1, 0));
    frame.setTranslation(kvCGePoint(5, 5, 5));
    kvCGePoint first, second;
    kvToolFeedbackPoints(frame, -3.0, first, second);
    expectNear3(first, 5, 8, 5);
    expectNear3(second, 5, 1008, 5);
}

// Raising one angle by d sweeps every point of the tool by d about the tip,
// as seen in that angle's turning plane, whatever the other angles are: a
// cursor dragged in the plane is followed, at every quadrant of C.
TEST(ToolPlacement, MousePlaneSeesEachAngleSweepTheToolByItsOwnAmountAndAnglesWrap)
{
    kvCGeMatrix base;
    base.setTranslation(kvCGePoint(1, 2, 3));
    const kvCGePoint toolPoint(10, 5, 20);
    auto seen = [](const kvCGeMatrix& plane, const kvCGePoint& p) {
        expectNear3(plane * kvCGePoint(), 1, 2, 3);
        const kvCGeVector w = p - plane * kvCGePoint();
        return kvMouseAngleDegrees(w.dot(plane * kvCGeVector(1, 0, 0)), w.dot(plane * kvCGeVector(0, 1, 0)));
    };
    for (double c : {0.0, 90.0, 180.0, 270.0, -135.0})
        for (double a : {0.0, 90.0, -30.0})
            for (int axis = kvToolAxisA; axis <= kvToolAxisC; ++axis)
                for (double d : {30.0, -30.0}) {
                    double angles[3] = {a, 20.0, c};
                    const kvCGeMatrix plane =
                        kvMouseAnglePlane(base, angles[0], angles[1], angles[2], static_cast<kvToolAxis>(axis));
                    const kvCGePoint before = kvToolFrame(base, angles[0], angles[1], angles[2]) * toolPoint;
                    angles[axis] += d;
                    const kvCGePoint after = kvToolFrame(base, angles[0], angles[1], angles[2]) * toolPoint;
                    EXPECT_NEAR(kvNormaliseAngle(seen(plane, after) - seen(plane, before)), d, 1e-9)
                        << "axis " << axis << " A " << a << " C " << c;
                }
    EXPECT_NEAR(kvMouseAngleDegrees(0, 2), 90.0, 1e-12);
    EXPECT_NEAR(kvMouseAngleDegrees(-1, 0), 180.0, 1e-12);
    EXPECT_EQ(kvMouseAngleDegrees(0, 0), 0.0);
    EXPECT_NEAR(kvNormaliseAngle(190), -170, 1e-12);
    EXPECT_NEAR(kvNormaliseAngle(-180), 180, 1e-12);
    EXPECT_NEAR(kvNormaliseAngle(725), 5, 1e-12);
}

// ---------------------------------------------------------------- part model

namespace {

bool wholeFace(const GeomPoint&)
{
    return true;
}

// A face as large as its surface: no trim feature to look for.
bool tessellateWhole(RatBSplSurf* surface, double tolerance, kvPartMesh& mesh, int maxPerDirection = 256)
{
    return kvTessellateTrimmedFace(surface, wholeFace, tolerance, HUGE_VAL, mesh, maxPerDirection);
}

double meshArea(const kvPartMesh& mesh)
{
    double area = 0.0;
    for (int t = 0; t < mesh.triangleCount(); ++t) {
        const double* a = &mesh.xyz[3 * mesh.triangles[3 * t]];
        const double* b = &mesh.xyz[3 * mesh.triangles[3 * t + 1]];
        const double* c = &mesh.xyz[3 * mesh.triangles[3 * t + 2]];
        const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]}, v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        area += 0.5 * std::sqrt(std::pow(u[1] * v[2] - u[2] * v[1], 2) + std::pow(u[2] * v[0] - u[0] * v[2], 2) +
                                std::pow(u[0] * v[1] - u[1] * v[0], 2));
    }
    return area;
}

} // namespace

TEST(PartMesh, CylinderStaysWithinTheChordTolerance)
{
    const double P[3] = {0, 0, 0}, axis[3] = {0, 0, 1};
    RatBSplCurve* line = ratBSplCurveCreate(2, 4);
    ASSERT_NE(line, nullptr);
    line->knots[0] = line->knots[1] = 0.0;
    line->knots[2] = line->knots[3] = 10.0;
    for (int i = 0; i < 4; ++i)
        line->weights[i] = 1.0;
    ratBSplCurveSetPoint(line, 0, 5, 0, 0);
    ratBSplCurveSetPoint(line, 1, 5, 0, 10);
    SurfPtr cylinder(ratBSplSurfRevolveCurveArc(P, axis, line, 0.0, 2 * kPi), ratBSplSurfFree);
    ratBSplCurveFree(line);
    ASSERT_TRUE(cylinder);
    for (double tolerance : {0.1, 0.01}) {
        kvPartMesh mesh;
        ASSERT_TRUE(tessellateWhole(cylinder.get(), tolerance, mesh));
        EXPECT_FALSE(mesh.toleranceMissed);
        // Every edge's middle lies inside the circle by at most the tolerance
        // (the chord's sagitta), and every point lies on it.
        double worst = 0.0;
        for (int t = 0; t < mesh.triangleCount(); ++t) {
            for (int e = 0; e < 3; ++e) {
                const double* a = &mesh.xyz[3 * mesh.triangles[3 * t + e]];
                const double* b = &mesh.xyz[3 * mesh.triangles[3 * t + (e + 1) % 3]];
                EXPECT_NEAR(std::hypot(a[0], a[1]), 5.0, 1e-9);
                const double mx = (a[0] + b[0]) / 2, my = (a[1] + b[1]) / 2;
                worst = std::max(worst, 5.0 - std::hypot(mx, my));
            }
        }
        EXPECT_LE(worst, tolerance) << tolerance;
        // Not far finer than it needs: the chord sagitta 5(1 - cos(pi/n)).
        const int around = static_cast<int>(std::ceil(kPi / std::acos(1.0 - tolerance / 5.0)));
        EXPECT_LE(mesh.triangleCount(), 2 * 4 * around * 2) << tolerance;
    }
}

TEST(PartMesh, FlatFaceIsItsStartGridAndBadInputAddsNothing)
{
    const double p00[3] = {0, 0, 0}, p01[3] = {0, 10, 0}, p10[3] = {10, 0, 0}, p11[3] = {10, 10, 0};
    SurfPtr plane(ratBSplSurfBilinear(p00, p01, p10, p11), ratBSplSurfFree);
    kvPartMesh mesh;
    ASSERT_TRUE(tessellateWhole(plane.get(), 0.01, mesh));
    EXPECT_EQ(mesh.triangleCount(), 4 * 4 * 2);  // the start grid is already flat
    EXPECT_EQ(mesh.surfaces, 1);
    // Cells no longer than a feature size of 2: 8 x 8.
    kvPartMesh finer;
    ASSERT_TRUE(kvTessellateTrimmedFace(plane.get(), wholeFace, 0.01, 2.0, finer));
    EXPECT_EQ(finer.triangleCount(), 8 * 8 * 2);
    const int before = mesh.triangleCount();
    EXPECT_FALSE(tessellateWhole(nullptr, 0.01, mesh));
    EXPECT_FALSE(tessellateWhole(plane.get(), 0.0, mesh));
    EXPECT_FALSE(tessellateWhole(plane.get(), NAN, mesh));
    EXPECT_FALSE(kvTessellateTrimmedFace(plane.get(), wholeFace, 0.01, 0.0, mesh));
    EXPECT_FALSE(kvTessellateTrimmedFace(plane.get(), nullptr, 0.01, 2.0, mesh));
    EXPECT_EQ(mesh.triangleCount(), before);
}

// A square face of 10 with a hole of radius 3, and the disc alone: the
// meshes cover the face's area up to the chords along the hole's edge, and
// no triangle reaches into what is not the face.
TEST(PartMesh, TrimmedFaceFollowsItsBoundaryAndLeavesItsHoleOpen)
{
    const double p00[3] = {0, 0, 0}, p01[3] = {0, 10, 0}, p10[3] = {10, 0, 0}, p11[3] = {10, 10, 0};
    SurfPtr plane(ratBSplSurfBilinear(p00, p01, p10, p11), ratBSplSurfFree);
    const double tolerance = 0.01, radius = 3.0;
    auto inDisc = [&](const GeomPoint& p) { return std::hypot(p.x - 5, p.y - 5) < radius; };
    const double disc = kPi * radius * radius;
    // The edge's chords, each at most about a hundred tolerances long, cut off
    // at most their sagitta along the circle's length.
    const double chordLoss = 2 * kPi * radius * std::pow(100 * tolerance, 2) / (8 * radius) + 0.01;
    for (bool hole : {true, false}) {
        kvPartMesh mesh;
        auto onFace = [&](const GeomPoint& p) { return inDisc(p) != hole; };
        ASSERT_TRUE(kvTessellateTrimmedFace(plane.get(), onFace, tolerance, 2.0, mesh));
        const double expected = hole ? 100.0 - disc : disc;
        EXPECT_NEAR(meshArea(mesh), expected, chordLoss) << hole;
        for (int t = 0; t < mesh.triangleCount(); ++t) {
            double centre[2] = {0, 0};
            for (int k = 0; k < 3; ++k)
                for (int c = 0; c < 2; ++c)
                    centre[c] += mesh.xyz[3 * mesh.triangles[3 * t + k] + c] / 3;
            const double r = std::hypot(centre[0] - 5, centre[1] - 5);
            if (hole)
                EXPECT_GT(r, radius - tolerance);
            else
                EXPECT_LT(r, radius + tolerance);
        }
    }
    // A face of no point of its surface adds nothing.
    kvPartMesh none;
    ASSERT_TRUE(kvTessellateTrimmedFace(plane.get(), [](const GeomPoint&) { return false; }, tolerance, 2.0, none));
    EXPECT_EQ(none.triangleCount(), 0);
}

TEST(PartMesh, SphereCollapsesNoTriangleAtItsPolesAndReportsAMissedTolerance)
{
    const double C[3] = {0, 0, 0}, A[3] = {1, 0, 0}, B[3] = {0, 1, 0}, Z[3] = {0, 0, 1};
    SurfPtr sphere(ratBSplSurfSphere4(C, 3.0, A, B, Z), ratBSplSurfFree);
    ASSERT_TRUE(sphere);
    kvPartMesh fine;
    ASSERT_TRUE(tessellateWhole(sphere.get(), 0.01, fine));
    // No triangle has two corners at one spot.
    for (int t = 0; t < fine.triangleCount(); ++t) {
        const double* p[3];
        for (int k = 0; k < 3; ++k)
            p[k] = &fine.xyz[3 * fine.triangles[3 * t + k]];
        for (int k = 0; k < 3; ++k) {
            const double* a = p[k];
            const double* b = p[(k + 1) % 3];
            EXPECT_GT(std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]), 1e-12);
        }
    }
    kvPartMesh coarse;
    ASSERT_TRUE(tessellateWhole(sphere.get(), 1e-6, coarse, 8));
    EXPECT_TRUE(coarse.toleranceMissed);
}

// ---------------------------------------------------------------- length search

TEST(ToolLengthSearch, EndsAtTheFirstFreeLengthInStepsOfOneOrGivesUpOrStops)
{
    std::vector<double> asked;
    const kvToolLengthSearch s = kvSearchFreeToolLength(3.5, [&](double length) {
        asked.push_back(length);
        return length < 10.0 ? 1 : 0;
    });
    EXPECT_EQ(s.outcome, kvToolLengthSearch::found);
    EXPECT_DOUBLE_EQ(s.length, 10.5);
    EXPECT_EQ(asked, (std::vector<double>{3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 9.5, 10.5}));

    // It gives up at its bound and stops on what no length clears.
    double last = 0.0;
    const kvToolLengthSearch never = kvSearchFreeToolLength(20.0, [&](double length) {
        last = length;
        return 1;
    });
    EXPECT_EQ(never.outcome, kvToolLengthSearch::gaveUp);
    EXPECT_EQ(never.tests, static_cast<int>(kvToolLengthSearchLimit) + 1);
    EXPECT_DOUBLE_EQ(last, 20.0 + kvToolLengthSearchLimit);
    EXPECT_EQ(kvSearchFreeToolLength(20.0, [](double) { return 2; }).outcome, kvToolLengthSearch::blocked);
    const kvToolLengthSearch failed = kvSearchFreeToolLength(20.0, [](double l) { return l > 22 ? -1 : 1; });
    EXPECT_EQ(failed.outcome, kvToolLengthSearch::failed);
    EXPECT_EQ(failed.tests, 4);
}

// ---------------------------------------------------------------- machine files

TEST(MachineFiles, OnlyTheStlFilesOfTheNamedFolderSorted)
{
    namespace fs = std::filesystem;
    const fs::path base = fs::path(::testing::TempDir()) / ("machines_" + std::to_string(getpid()));
    fs::create_directories(base / "Machines" / "Mill");
    for (const char* name : {"b.stl", "A.STL", "notes.txt"})
        std::ofstream(base / "Machines" / "Mill" / name) << "x";
    fs::create_directories(base / "Machines" / "Mill" / "sub.stl");
    const kvMachineModels found = kvFindMachineModels(base.wstring(), L"Mill");
    EXPECT_EQ(kvMachineModels::found, found.state);
    ASSERT_EQ(found.files.size(), 2u);
    EXPECT_EQ(fs::path(found.files[0]).filename(), "A.STL");
    EXPECT_EQ(fs::path(found.files[1]).filename(), "b.stl");
    EXPECT_EQ(kvMachineModels::noName, kvFindMachineModels(base.wstring(), L"").state);
    for (const wchar_t* bad : {L"..", L".", L"Mill/../Mill", L"..\\Mill"})
        EXPECT_EQ(kvMachineModels::badName, kvFindMachineModels(base.wstring(), bad).state) << bad;
    EXPECT_EQ(kvMachineModels::noFolder, kvFindMachineModels(base.wstring(), L"Lathe").state);
    fs::create_directories(base / "Machines" / "Empty");
    EXPECT_EQ(kvMachineModels::noFiles, kvFindMachineModels(base.wstring(), L"Empty").state);
    EXPECT_TRUE(kvFindMachineModels(base.wstring(), L"Empty").files.empty());
    fs::remove_all(base);
}
