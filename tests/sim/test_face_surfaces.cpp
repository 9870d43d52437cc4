// What the host hands out for a face: its own surface (the carrier cut to
// the face) and the normals of that surface, against the kernel's evaluation
// of the carrier; the face's boundary and on-face test; and the radii the
// radius analysis then finds, against the surfaces' curvatures. A generated
// part's faces get their own surfaces from what they were built as, and the
// analyses find every one of them as built: the group counts follow from the
// faces each cell of the part holds.
#include "generated_part.h"
#include "hostsim_runner.h"
#include "script.h"
#include "session.h"
#include "trim.h"
#include "view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>
#include <string>

using namespace hostsim;

namespace {

using SurfPtr = std::unique_ptr<RatBSplSurf, void (*)(RatBSplSurf*)>;

struct HeldFace {
    explicit HeldFace(const SampleFace& face) : object(FaceObject::create(face)) {}
    ~HeldFace() { object->_relRef(); }
    kvIUnknown* get() { return static_cast<kvIGeSurface*>(object); }
    FaceObject* object;
};

SurfPtr faceSurface(const SampleFace& face)
{
    HeldFace held(face);
    FaceLibrary library;
    return SurfPtr(library.newRatBSplSurf(held.get()), ratBSplSurfFree);
}

// The least and largest distance from the vertical axis through (x, y), and
// the least and largest height, of a 17 x 17 grid of the surface's points.
struct Extent {
    double rLo = 1e9, rHi = -1e9, zLo = 1e9, zHi = -1e9;
};

Extent extentAbout(RatBSplSurf* s, double x, double y)
{
    Extent e;
    for (int i = 0; i <= 16; ++i)
        for (int j = 0; j <= 16; ++j) {
            const GeomPoint p = ratBSplSurfEvalPoint(s, i / 16.0, j / 16.0);
            e.rLo = std::min(e.rLo, std::hypot(p.x - x, p.y - y));
            e.rHi = std::max(e.rHi, std::hypot(p.x - x, p.y - y));
            e.zLo = std::min(e.zLo, p.z);
            e.zHi = std::max(e.zHi, p.z);
        }
    return e;
}

const SampleFace& generatedFreeForm(const std::shared_ptr<const std::vector<SampleFace>>& faces)
{
    return *std::find_if(faces->begin(), faces->end(), [](const SampleFace& f) { return f.kind == "freeform"; });
}

std::string play(const std::string& script)
{
    const hostsim_test::Played played = hostsim_test::playSession(script);
    return played.out + played.err + (played.errors ? "script errors\n" : "");
}

// The first (smallest) radius of each group a "rows" listing shows after the
// line `after`.
std::vector<double> groupValues(const std::string& transcript, const std::string& after)
{
    std::vector<double> values;
    std::istringstream text(transcript.substr(transcript.find(after)));
    std::string line;
    std::getline(text, line); // the mark
    std::getline(text, line); // "list: N rows"
    while (std::getline(text, line) && line.rfind("  [", 0) == 0) {
        std::istringstream row(line.substr(line.find("first ") + 6));
        double value = 0.0;
        row >> value;
        values.push_back(value);
    }
    return values;
}

// The rows of the "rows" listing after the line `after`, as "value count N".
std::vector<std::string> rowsAfter(const std::string& transcript, const std::string& after)
{
    std::vector<std::string> rows;
    std::istringstream text(transcript.substr(transcript.find(after)));
    std::string line;
    std::getline(text, line); // the mark
    std::getline(text, line); // "list: N rows"
    while (std::getline(text, line) && line.rfind("  [", 0) == 0) {
        const std::size_t value = line.find("  ", 4) + 2, first = line.find("  first");
        rows.push_back(line.substr(value, first - value));
    }
    return rows;
}

// Normal-section radii along the parameter directions of a surface, over a
// grid of its points: the least and the largest in each direction.
struct IsoRadii {
    double least[2] = {1e300, 1e300}, largest[2] = {0.0, 0.0};
};

IsoRadii isoRadii(RatBSplSurf* s)
{
    IsoRadii r;
    for (int i = 0; i <= 20; ++i)
        for (int j = 0; j <= 20; ++j) {
            double Su[3], Suu[3], Sv[3], Svv[3], k[2] = {0.0, 0.0};
            ratBSplSurfEvalPointNormal(s, i / 20.0, j / 20.0, Su, Suu, Sv, Svv, &k[0], &k[1]);
            for (int d = 0; d < 2; ++d) {
                const double radius = std::fabs(k[d]) > 1e-12 ? 1.0 / std::fabs(k[d]) : 1e300;
                r.least[d] = std::min(r.least[d], radius);
                r.largest[d] = std::max(r.largest[d], radius);
            }
        }
    return r;
}

// Whether a radius lies within the range of the surface's normal-section
// radii along one of its parameter directions.
::testing::AssertionResult amongIsoRadii(double radius, RatBSplSurf* surface)
{
    const IsoRadii r = isoRadii(surface);
    for (int d = 0; d < 2; ++d)
        if (radius >= r.least[d] - 0.5 && radius <= r.largest[d] + 0.5) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << radius << " against " << r.least[0] << ".." << r.largest[0] << " and "
                                         << r.least[1] << ".." << r.largest[1];
}

} // namespace

TEST(FaceSurfaces, ATrimmedFacesSurfaceCoversThatFaceAndReachesItsEdges)
{
    // The boss fillet: the quarter of the tube between the boss wall (radius
    // 6 at z = 42) and the top face (radius 8 at z = 40), all around.
    const SampleFace& fillet = *samplePart().findFace(133);
    SurfPtr s = faceSurface(fillet);
    ASSERT_TRUE(s);
    const Extent e = extentAbout(s.get(), fillet.point[0], fillet.point[1]);
    EXPECT_NEAR(e.rLo, 6.0, 1e-6);
    EXPECT_NEAR(e.rHi, 8.0, 1e-6);
    EXPECT_NEAR(e.zLo, 40.0, 1e-6);
    EXPECT_NEAR(e.zHi, 42.0, 1e-6);

    // The sphere corner: its octant only.
    const SampleFace& corner = *samplePart().findFace(141);
    SurfPtr c = faceSurface(corner);
    ASSERT_TRUE(c);
    for (int i = 0; i <= 16; ++i)
        for (int j = 0; j <= 16; ++j) {
            const GeomPoint p = ratBSplSurfEvalPoint(c.get(), i / 16.0, j / 16.0);
            EXPECT_LE(p.x, 3.0 + 1e-6);
            EXPECT_GE(p.y, 57.0 - 1e-6);
            EXPECT_GE(p.z, 37.0 - 1e-6);
        }

    // An untrimmed face hands out its carrier whole.
    const SampleFace& floor = *samplePart().findFace(151);
    SurfPtr f = faceSurface(floor);
    ASSERT_TRUE(f);
    for (double u : {0.0, 0.3, 1.0}) {
        const GeomPoint a = ratBSplSurfEvalPoint(f.get(), u, 1.0 - u);
        const GeomPoint b = ratBSplSurfEvalPoint(surfaceOf(floor), u, 1.0 - u);
        EXPECT_NEAR(std::hypot(a.x - b.x, a.y - b.y, a.z - b.z), 0.0, 1e-9);
    }
}

TEST(FaceSurfaces, FaceNormalsAreTheNormalsOfTheFacesSurface)
{
    // Every face of the sample part, oriented out of the material, and the
    // generated part's free-form face, which has no orientation of its own.
    auto check = [](const SampleFace& face, bool oriented) {
        HeldFace held(face);
        int compared = 0;
        for (int i = 1; i < 8; ++i)
            for (int j = 1; j < 8; ++j) {
                const GeomPoint p = ratBSplSurfEvalPoint(surfaceOf(face), i / 8.0, j / 8.0);
                const GeomPoint n = ratBSplSurfEvalNormal(surfaceOf(face), i / 8.0, j / 8.0);
                if (std::hypot(n.x, n.y, n.z) < 0.5) continue; // a pole of the surface
                const double point[3] = {p.x, p.y, p.z};
                double normal[3] = {0, 0, 0};
                ASSERT_EQ(held.object->getNormal(point, 1, normal), 0) << face.id;
                const double dot = surfaceOf(face)->nrmOri * (normal[0] * n.x + normal[1] * n.y + normal[2] * n.z);
                EXPECT_NEAR(oriented ? dot : std::fabs(dot), 1.0, 1e-9) << face.id << " at " << i << "," << j;
                ++compared;
            }
        EXPECT_GT(compared, 30) << face.id;
        double normal[3];
        EXPECT_EQ(held.object->getNormal(nullptr, 1, normal), 2) << face.id;
    };
    for (const SampleFace& face : samplePart().faces()) check(face, true);
    check(generatedFreeForm(generatedPartFaces(20)), false);
}

TEST(FaceSurfaces, TheRadiusAnalysisFindsTheFilletsTubeAndTheFreeFormFacesOwnRadii)
{
    const std::string t = play("analyse\nmode 3\n"
                               "select faces 133\necho == fillet\nrows\n"
                               "select faces 151\necho == floor\nrows\n"
                               "part generated 20\nselect all\nelapse 100\necho == generated\nrows\nclose\n");
    ASSERT_EQ(t.find("script errors"), std::string::npos) << t;
    // The fillet's smallest radius is its tube's.
    EXPECT_EQ(groupValues(t, "== fillet"), std::vector<double>{2.0}) << t;

    // The pocket floor bends so gently that the normals at the ends of its
    // control arcs differ by less than the measurement resolves: its radius
    // comes from the circles along its boundary, among its own radii.
    const std::vector<double> floor = groupValues(t, "== floor");
    ASSERT_EQ(floor.size(), 1u) << t;
    EXPECT_TRUE(amongIsoRadii(floor[0], surfaceOf(*samplePart().findFace(151)))) << t;

    // The generated cell: the torus fillet's tube of radius 1 (grouped with
    // the slot end's 1.5), the quarter fillet's 2, the cone's 3, and the
    // free-form face, whose radius lies among its own normal-section radii
    // along one parameter direction.
    const std::vector<double> values = groupValues(t, "== generated");
    ASSERT_EQ(values.size(), 4u) << t;
    EXPECT_EQ(values[0], 1.0) << t;
    EXPECT_TRUE(amongIsoRadii(values.back(), surfaceOf(generatedFreeForm(generatedPartFaces(20))))) << t;
}

TEST(FaceSurfaces, TheFilletsBoundaryAndOnFaceTestAreThoseOfTheFaceAsTrimmed)
{
    const SampleFace& fillet = *samplePart().findFace(133);
    HeldFace face(fillet);
    kvIUnknown* curvesObject = nullptr;
    kvIUnknown* loops = static_cast<kvIGeSurface*>(face.object); // must be cleared
    ASSERT_EQ(face.object->getBoundary(&curvesObject, &loops), 0);
    EXPECT_EQ(loops, nullptr);
    ASSERT_NE(curvesObject, nullptr);
    auto* curves = static_cast<kvIObjectEnum*>(curvesObject);
    // Every edge lies on the face; the two circles (radius 6 at z = 42 on the
    // boss wall, radius 8 at z = 40 on the top face) are among the edges.
    int circles = 0, edges = 0;
    for (curves->reset(); !curves->atEnd(); curves->next()) {
        kvIUnknown* object = nullptr;
        ASSERT_EQ(curves->current(&object), 0);
        auto* curve = static_cast<kvIGeCurve*>(object->queryInterface(kvIfName<kvIGeCurve>::value));
        ASSERT_NE(curve, nullptr);
        double start = 0.0, end = 0.0;
        ASSERT_EQ(curve->getParameterRange(&start, &end), 0);
        double rLo = 1e9, rHi = -1e9, zLo = 1e9, zHi = -1e9;
        for (int i = 0; i <= 20; ++i) {
            double p[3];
            ASSERT_EQ(curve->getPoint(start + (end - start) * i / 20.0, p), 0);
            int on = 0;
            EXPECT_EQ(face.object->isPointOnFace(p, 1e-6, &on), 0);
            EXPECT_EQ(on, 1) << p[0] << " " << p[1] << " " << p[2];
            const double r = std::hypot(p[0] - 30, p[1] - 15);
            rLo = std::min(rLo, r);
            rHi = std::max(rHi, r);
            zLo = std::min(zLo, p[2]);
            zHi = std::max(zHi, p[2]);
        }
        circles += (rHi - rLo < 1e-6 && zHi - zLo < 1e-6) ? 1 : 0;
        ++edges;
        curve->release();
        object->release();
    }
    curvesObject->release();
    EXPECT_EQ(circles, 2);
    EXPECT_GE(edges, 3); // and the seam where the fillet closes around the boss

    // The tube's outer side is on the torus but not on the fillet; a point
    // beside the fillet is on it within a wide tolerance only.
    int on = 1;
    const double outside[3] = {40, 15, 42}, beside[3] = {30 + 8 - std::sqrt(2.0) - 0.05, 15, 42 - std::sqrt(2.0)};
    EXPECT_EQ(face.object->isPointOnFace(outside, 0.1, &on), 0);
    EXPECT_EQ(on, 0);
    EXPECT_EQ(face.object->isPointOnFace(beside, 0.1, &on), 0);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(face.object->isPointOnFace(beside, 0.01, &on), 0);
    EXPECT_EQ(on, 0);
}

TEST(FaceSurfaces, GeneratedPartEveryFaceIsAnalysedAsItWasBuilt)
{
    // 20 cells of 20 faces, five cells of each variant. Per cell: planes at 0
    // (three), 30, 45 (two), 60 and 120 (three at 60 to the frame) and 90
    // (three) degrees; the two halves of a hole share their axis and are no
    // radius face, nor is the full bore; a slot end of radius 1.5 (variants 0
    // and 1) or 3, a quarter fillet of 2 or 3, a half cone whose smaller end
    // radius is 3, a torus fillet whose tube is 1 or 2, and a free-form face.
    const std::string t = play("part generated 400\nanalyse\nmode 3\nselect all\nelapse 100\n"
                               "set DiameterSteps 0.1\necho == radii\nrows\n"
                               "mode 4\nselect all\nelapse 100\nset AngleSteps 1\necho == angles\nrows\nclose\n");
    ASSERT_EQ(t.find("script errors"), std::string::npos) << t;
    const std::vector<std::string> radii = rowsAfter(t, "== radii");
    ASSERT_EQ(radii.size(), 5u) << t;
    EXPECT_EQ(radii[0], "1  count 10") << t;
    EXPECT_EQ(radii[1], "1.5  count 10") << t;
    EXPECT_EQ(radii[2], "2  count 20") << t;
    EXPECT_EQ(radii[3], "3  count 40") << t;
    EXPECT_NE(radii[4].find("count 20"), std::string::npos) << t;
    // The free-form faces, all alike, at a radius among their own
    // normal-section radii along one parameter direction.
    EXPECT_TRUE(amongIsoRadii(groupValues(t, "== radii").back(), surfaceOf(generatedFreeForm(generatedPartFaces(400)))))
        << t;
    EXPECT_EQ(rowsAfter(t, "== angles"), (std::vector<std::string>{"0  count 60", "30  count 20", "45  count 40",
                                                                    "60  count 60", "90  count 60"}))
        << t;
}

TEST(FaceSurfaces, GeneratedPartTheTorusFilletsOwnSurfaceIsTheInnerLowerQuarterOfItsTube)
{
    const auto faces = generatedPartFaces(60);
    int fillets = 0;
    for (const SampleFace& f : *faces) {
        if (f.kind != "torus") continue;
        ++fillets;
        SurfPtr s = faceSurface(f);
        ASSERT_TRUE(s);
        // Between the tube's innermost circle (radius R - r at the centre's
        // height) and its lowest (radius R, r below), all around the axis.
        const Extent e = extentAbout(s.get(), f.point[0], f.point[1]);
        EXPECT_NEAR(e.rLo, f.radius - f.minorRadius, 1e-9) << f.id;
        EXPECT_NEAR(e.rHi, f.radius, 1e-9) << f.id;
        EXPECT_NEAR(e.zLo, f.point[2] - f.minorRadius, 1e-9) << f.id;
        EXPECT_NEAR(e.zHi, f.point[2], 1e-9) << f.id;
    }
    EXPECT_EQ(fillets, 3);
}

TEST(FaceSurfaces, GeneratedPartAnUntrimmedFaceHandsOutACopyOfItsSurfaceWithItsClosedDirectionsMarked)
{
    const auto faces = generatedPartFaces(20);
    for (const SampleFace& f : *faces) {
        if (f.kind == "torus") continue;
        SCOPED_TRACE(f.name);
        SurfPtr first = faceSurface(f), second = faceSurface(f);
        ASSERT_TRUE(first && second);
        // Each question gets a record of its own, which the caller frees.
        EXPECT_NE(first.get(), second.get());
        EXPECT_NE(first.get(), surfaceOf(f));
        int closedU = 0, closedV = 0;
        ratBSplSurfTestClosed(surfaceOf(f), &closedU, &closedV);
        EXPECT_EQ(first->origFormu, closedU ? 2 : 1);
        EXPECT_EQ(first->origFormv, closedV ? 2 : 1);
        for (double u : {0.0, 0.37, 1.0})
            for (double v : {0.0, 0.61, 1.0}) {
                const GeomPoint a = ratBSplSurfEvalPoint(first.get(), u, v);
                const GeomPoint b = ratBSplSurfEvalPoint(surfaceOf(f), u, v);
                EXPECT_EQ(a.x, b.x);
                EXPECT_EQ(a.y, b.y);
                EXPECT_EQ(a.z, b.z);
            }
    }
}

TEST(FaceSurfaces, GeneratedPartAFacesSurfaceMadeAgainIsTheSurfaceItWasBuiltOn)
{
    // The part keeps no surfaces: a face asked again after many others gets
    // its surface made again, the same as before; while it is among the
    // recent faces, the record it got stays.
    const auto faces = generatedPartFaces(3 * kRecentFaces);
    const SampleFace& first = faces->front();
    RatBSplSurf* held = surfaceOf(first);
    ASSERT_NE(held, nullptr);
    std::vector<GeomPoint> before;
    for (double u : {0.0, 0.3, 1.0})
        for (double v : {0.0, 0.7, 1.0}) before.push_back(ratBSplSurfEvalPoint(held, u, v));
    for (std::size_t i = 1; i < kRecentFaces / 2; ++i) ASSERT_NE(surfaceOf((*faces)[i]), nullptr);
    EXPECT_EQ(surfaceOf(first), held);
    for (const SampleFace& f : *faces) ASSERT_NE(surfaceOf(f), nullptr) << f.id;
    std::size_t k = 0;
    for (double u : {0.0, 0.3, 1.0})
        for (double v : {0.0, 0.7, 1.0}) {
            const GeomPoint p = ratBSplSurfEvalPoint(surfaceOf(first), u, v);
            EXPECT_EQ(p.x, before[k].x);
            EXPECT_EQ(p.y, before[k].y);
            EXPECT_EQ(p.z, before[k].z);
            ++k;
        }
}
