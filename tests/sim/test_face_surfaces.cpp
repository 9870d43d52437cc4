// What the host hands out for a face: its own surface (the carrier cut to
// the face) and the normals of that surface, against the kernel's evaluation
// of the carrier; and the radii the radius analysis then finds, against the
// surfaces' curvatures.
#include "generated_part.h"
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

double radial(const GeomPoint& p, const SampleFace& f) { return std::hypot(p.x - f.point[0], p.y - f.point[1]); }

std::string play(const std::string& script)
{
    std::ostringstream out, err;
    Session session(out);
    if (!session.start(KV_MODULE_PATH, err)) return "no module: " + err.str();
    std::istringstream in(script);
    const int errors = runScript(in, session, err).errors;
    session.finish();
    return out.str() + err.str() + (errors ? "script errors\n" : "");
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

} // namespace

TEST(FaceSurfaces, ATrimmedFacesSurfaceCoversThatFaceAndReachesItsEdges)
{
    // The boss fillet: the quarter of the tube between the boss wall (radius
    // 6 at z = 42) and the top face (radius 8 at z = 40), all around.
    const SampleFace& fillet = *samplePart().findFace(133);
    SurfPtr s = faceSurface(fillet);
    ASSERT_TRUE(s);
    double rLo = 1e9, rHi = -1e9, zLo = 1e9, zHi = -1e9;
    for (int i = 0; i <= 16; ++i)
        for (int j = 0; j <= 16; ++j) {
            const GeomPoint p = ratBSplSurfEvalPoint(s.get(), i / 16.0, j / 16.0);
            rLo = std::min(rLo, radial(p, fillet));
            rHi = std::max(rHi, radial(p, fillet));
            zLo = std::min(zLo, p.z);
            zHi = std::max(zHi, p.z);
        }
    EXPECT_NEAR(rLo, 6.0, 1e-6);
    EXPECT_NEAR(rHi, 8.0, 1e-6);
    EXPECT_NEAR(zLo, 40.0, 1e-6);
    EXPECT_NEAR(zHi, 42.0, 1e-6);

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
        const GeomPoint b = ratBSplSurfEvalPoint(floor.surface, u, 1.0 - u);
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
                const GeomPoint p = ratBSplSurfEvalPoint(face.surface, i / 8.0, j / 8.0);
                const GeomPoint n = ratBSplSurfEvalNormal(face.surface, i / 8.0, j / 8.0);
                if (std::hypot(n.x, n.y, n.z) < 0.5) continue; // a pole of the surface
                const double point[3] = {p.x, p.y, p.z};
                double normal[3] = {0, 0, 0};
                ASSERT_EQ(held.object->getNormal(point, 1, normal), 0) << face.id;
                const double dot = face.surface->nrmOri * (normal[0] * n.x + normal[1] * n.y + normal[2] * n.z);
                EXPECT_NEAR(oriented ? dot : std::fabs(dot), 1.0, 1e-9) << face.id << " at " << i << "," << j;
                ++compared;
            }
        EXPECT_GT(compared, 30) << face.id;
    };
    for (const SampleFace& face : samplePart().faces()) check(face, true);
    const auto generated = generatedPartFaces(20);
    const auto freeForm = std::find_if(generated->begin(), generated->end(),
                                       [](const SampleFace& f) { return f.kind == "freeform"; });
    ASSERT_NE(freeForm, generated->end());
    check(*freeForm, false);
}

TEST(FaceSurfaces, TheRadiusAnalysisFindsTheFilletsTubeAndTheFreeFormsOwnRadius)
{
    const std::string t = play("analyse\nmode 3\n"
                               "select faces 133\necho == fillet\nrows\n"
                               "select faces 151\necho == floor\nrows\n"
                               "part generated 20\nselect all\nelapse 100\necho == generated\nrows\nclose\n");
    ASSERT_EQ(t.find("script errors"), std::string::npos) << t;
    // The fillet's smallest radius is its tube's.
    EXPECT_EQ(groupValues(t, "== fillet"), std::vector<double>{2.0}) << t;

    // The pocket floor bends so gently that the normals at the ends of its
    // control arcs differ by less than the measurement resolves: it has no
    // radius in the listed range, as before.
    EXPECT_EQ(groupValues(t, "== floor"), std::vector<double>{0.0}) << t;

    // The generated cell: the torus fillet's tube of radius 1 (grouped with
    // the slot end's 1.5), the quarter fillet's 2, the cone's 3, and the
    // free-form face, whose radius lies among its own normal-section radii
    // along one parameter direction.
    const std::vector<double> values = groupValues(t, "== generated");
    ASSERT_EQ(values.size(), 4u) << t;
    EXPECT_EQ(values[0], 1.0) << t;
    const auto generated = generatedPartFaces(20);
    const auto freeForm = std::find_if(generated->begin(), generated->end(),
                                       [](const SampleFace& f) { return f.kind == "freeform"; });
    ASSERT_NE(freeForm, generated->end());
    const IsoRadii r = isoRadii(freeForm->surface);
    const double found = values.back();
    const bool along = (found >= r.least[0] - 0.5 && found <= r.largest[0] + 0.5) ||
                       (found >= r.least[1] - 0.5 && found <= r.largest[1] + 0.5);
    EXPECT_TRUE(along) << found << " against " << r.least[0] << ".." << r.largest[0] << " and "
                           << r.least[1] << ".." << r.largest[1];
}
