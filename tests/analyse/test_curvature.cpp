// Curvature radii of a face from the arcs through its control rows and
// columns, against surfaces whose circles are known.
#include "analyse/kvCAnalyseCtrl.h"
#include "analyse/kvPickInversion.h"
#include "geom/geom.h"
#include "sdk/kvFeatureHelp.h"
#include "sdk/kvUnknownImp.h"

#include <gtest/gtest.h>

namespace {

// A face on a kernel surface, with the surface's own normals.
class Face : public kvIUnknownImp, public kvIGeSurface {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIGeSurface>(this, name); }
    int getNormal(const double point[3], int, double normal[3]) override
    {
        // The normal at the nearest surface point: control curves run off
        // the surface.
        kvPickParameters at;
        kvInvertPick(surface, point, at);
        if (at.distance < 0.0)
            return 2;
        const GeomPoint n = ratBSplSurfEvalNormal(surface, at.u, at.v);
        normal[0] = n.x;
        normal[1] = n.y;
        normal[2] = n.z;
        return 0;
    }
    ~Face() { ratBSplSurfFree(surface); }
    RatBSplSurf* surface = nullptr;
};

// Hands out a new copy of the face's surface at every question, as a host
// does: a copy the caller does not free shows up as a leak.
class Library : public kvIFeatureHelpProvider {
public:
    void clearCache() override {}
    bool isNurbsAsPlane(kvIUnknown*, kvPoint3DRec&, kvPoint3DRec&, kvPoint3DRec&) override { return false; }
    RatBSplSurf* newRatBSplSurf(kvIUnknown* face) override
    {
        ++made;
        kvIfPtr<kvIGeSurface> s(face);
        return ratBSplSurfCopy(static_cast<Face*>(s.getIf())->surface);
    }
    int made = 0;
};

struct CurvatureTest : ::testing::Test {
    Library library;
    void SetUp() override { kvSetFeatureHelpProvider(&library); }
    void TearDown() override { kvSetFeatureHelpProvider(nullptr); }
    kvIUnknownPtr faceOn(RatBSplSurf* surface)
    {
        Face* f = new kvIfImp<Face>();
        f->surface = surface;
        return kvIUnknownPtr(static_cast<kvIGeSurface*>(f));
    }
};

// A quarter of a cone about z, narrowing from radius 8 at z = 0 to 7.5 at
// z = 4, with its arcs as control columns: the smallest arc is the last
// column.
RatBSplSurf* narrowingQuarterCone()
{
    RatBSplCurve* line = ratBSplCurveCreate(2, 4);
    line->knots[0] = line->knots[1] = 0.0;
    line->knots[2] = line->knots[3] = 1.0;
    for (int i = 0; i < 4; ++i)
        line->weights[i] = 1.0;
    ratBSplCurveSetPoint(line, 0, 8, 0, 0);
    ratBSplCurveSetPoint(line, 1, 7.5, 0, 4);
    const double P[3] = {0, 0, 0}, A[3] = {0, 0, 1};
    RatBSplSurf* s = ratBSplSurfRevolveCurveArc(P, A, line, 0.0, 3.14159265358979323846 / 2);
    ratBSplCurveFree(line);
    // Columns run in u: the arcs must be the u direction.
    if (s && s->ordu < s->ordv) {
        RatBSplSurf* t = ratBSplSurfTranspose(s);
        ratBSplSurfFree(s);
        s = t;
    }
    // The last column must be the narrow end.
    if (s && s->points[s->noPointsv - s->ordv - 1][2] < s->points[0][2]) {
        RatBSplSurf* t = ratBSplSurfTranspose(s);
        ratBSplSurfFree(s);
        s = t;
    }
    return s;
}

}  // namespace

TEST_F(CurvatureTest, TheLastControlColumnIsMeasuredToo)
{
    // The arcs are measured across the face's normals, which lean on a cone:
    // each radius within 0.05 of its circle's, well apart from the other.
    kvCAnalyseCtrl ctrl;
    kvIUnknownPtr face = faceOn(narrowingQuarterCone());
    ASSERT_TRUE(ctrl.computeFaceCurvatureRadii(face.get(), false));
    EXPECT_NEAR(ctrl.minRadiusV, 7.5, 0.05);
    EXPECT_NEAR(ctrl.radius, 7.5, 0.05);
    EXPECT_NEAR(ctrl.axisRecord.p0.distanceTo(ctrl.axisRecord.p2), ctrl.radius, 1e-9);
    // The largest control arc is the maximum.
    EXPECT_NEAR(ctrl.maxRadius, 8.0, 0.05);
    EXPECT_NEAR(ctrl.maxRecord.p0.distanceTo(ctrl.maxRecord.p2), ctrl.maxRadius, 1e-9);
    EXPECT_EQ(ctrl.minRadiusU, kvCAnalyseCtrl::noRadius);  // the rows are straight lines
    EXPECT_EQ(library.made, 1);
}

TEST_F(CurvatureTest, AFlatFaceAndAFaceWithoutSurfaceFindNoRadius)
{
    const double p00[3] = {0, 0, 0}, p01[3] = {0, 10, 0}, p10[3] = {10, 0, 0}, p11[3] = {10, 10, 0};
    kvCAnalyseCtrl ctrl;
    kvIUnknownPtr flat = faceOn(ratBSplSurfBilinear(p00, p01, p10, p11));
    ASSERT_TRUE(ctrl.computeFaceCurvatureRadii(flat.get(), false));
    EXPECT_EQ(ctrl.radius, kvCAnalyseCtrl::noRadius);
    EXPECT_EQ(ctrl.minRadiusU, kvCAnalyseCtrl::noRadius);
    EXPECT_EQ(ctrl.minRadiusV, kvCAnalyseCtrl::noRadius);

    kvIUnknownPtr bare = faceOn(nullptr);
    ctrl.radius = 5.0;
    EXPECT_FALSE(ctrl.computeFaceCurvatureRadii(bare.get(), false));
    EXPECT_EQ(ctrl.maxRadius, -kvCAnalyseCtrl::noRadius);
    EXPECT_EQ(ctrl.radius, 5.0);  // only the starting values are written
}
