// The generated part as the host hands it out: each face's own surface comes
// from what the face was built as (no measuring of the trimmed face), and the
// radius and plane analyses over the whole part find every face as it was
// built: the group counts follow from the faces each cell of the part holds.
#include "generated_part.h"
#include "script.h"
#include "session.h"
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

} // namespace

TEST(GeneratedPart, EveryFaceIsAnalysedAsItWasBuilt)
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
    EXPECT_EQ(rowsAfter(t, "== angles"), (std::vector<std::string>{"0  count 60", "30  count 20", "45  count 40",
                                                                    "60  count 60", "90  count 60"}))
        << t;
}

TEST(GeneratedPart, TheTorusFilletsOwnSurfaceIsTheInnerLowerQuarterOfItsTube)
{
    const auto faces = generatedPartFaces(60);
    int fillets = 0;
    for (const SampleFace& f : *faces) {
        if (f.kind != "torus") continue;
        ++fillets;
        HeldFace held(f);
        FaceLibrary library;
        SurfPtr s(library.newRatBSplSurf(held.get()), ratBSplSurfFree);
        ASSERT_TRUE(s);
        // Between the tube's innermost circle (radius R - r at the centre's
        // height) and its lowest (radius R, r below), all around the axis.
        double rLo = 1e9, rHi = -1e9, zLo = 1e9, zHi = -1e9;
        for (int i = 0; i <= 16; ++i)
            for (int j = 0; j <= 16; ++j) {
                const GeomPoint p = ratBSplSurfEvalPoint(s.get(), i / 16.0, j / 16.0);
                const double radial = std::hypot(p.x - f.point[0], p.y - f.point[1]);
                rLo = std::min(rLo, radial);
                rHi = std::max(rHi, radial);
                zLo = std::min(zLo, p.z);
                zHi = std::max(zHi, p.z);
            }
        EXPECT_NEAR(rLo, f.radius - f.minorRadius, 1e-9) << f.id;
        EXPECT_NEAR(rHi, f.radius, 1e-9) << f.id;
        EXPECT_NEAR(zLo, f.point[2] - f.minorRadius, 1e-9) << f.id;
        EXPECT_NEAR(zHi, f.point[2], 1e-9) << f.id;
    }
    EXPECT_EQ(fillets, 3);
}

TEST(GeneratedPart, AnUntrimmedFaceHandsOutACopyOfItsSurfaceWithItsClosedDirectionsMarked)
{
    const auto faces = generatedPartFaces(20);
    for (const SampleFace& f : *faces) {
        if (f.kind == "torus") continue;
        SCOPED_TRACE(f.name);
        HeldFace held(f);
        FaceLibrary library;
        SurfPtr first(library.newRatBSplSurf(held.get()), ratBSplSurfFree);
        SurfPtr second(library.newRatBSplSurf(held.get()), ratBSplSurfFree);
        ASSERT_TRUE(first && second);
        // Each question gets a record of its own, which the caller frees.
        EXPECT_NE(first.get(), second.get());
        EXPECT_NE(first.get(), f.surface);
        int closedU = 0, closedV = 0;
        ratBSplSurfTestClosed(f.surface, &closedU, &closedV);
        EXPECT_EQ(first->origFormu, closedU ? 2 : 1);
        EXPECT_EQ(first->origFormv, closedV ? 2 : 1);
        for (double u : {0.0, 0.37, 1.0})
            for (double v : {0.0, 0.61, 1.0}) {
                const GeomPoint a = ratBSplSurfEvalPoint(first.get(), u, v);
                const GeomPoint b = ratBSplSurfEvalPoint(f.surface, u, v);
                EXPECT_EQ(a.x, b.x);
                EXPECT_EQ(a.y, b.y);
                EXPECT_EQ(a.z, b.z);
            }
    }
}
