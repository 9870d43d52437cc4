// Curvature radii of a face from the arcs through its control rows and
// columns, against surfaces whose circles are known.
#include "analyse/kvCAnalyseCtrl.h"
#include "analyse/kvPickInversion.h"
#include "geom/geom.h"
#include "sdk/kvFeatureHelp.h"
#include "sdk/kvUnknownImp.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

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

// A quarter turned about z of a profile in the xz plane (a degree 1 curve
// through the points, on the knots), with the arcs as the u direction, so
// that the control columns are the arcs at each profile point.
RatBSplSurf* quarterTurn(const std::vector<std::array<double, 2>>& profile, const std::vector<double>& knots)
{
    const int n = static_cast<int>(profile.size());
    RatBSplCurve* curve = ratBSplCurveCreate(2, n + 2);
    for (int i = 0; i < n + 2; ++i) {
        curve->knots[i] = knots[i];
        curve->weights[i] = 1.0;
    }
    for (int i = 0; i < n; ++i)
        ratBSplCurveSetPoint(curve, i, profile[i][0], 0, profile[i][1]);
    const double P[3] = {0, 0, 0}, A[3] = {0, 0, 1};
    RatBSplSurf* s = ratBSplSurfRevolveCurveArc(P, A, curve, 0.0, 3.14159265358979323846 / 2);
    ratBSplCurveFree(curve);
    if (s && s->ordu < s->ordv) {
        RatBSplSurf* t = ratBSplSurfTranspose(s);
        ratBSplSurfFree(s);
        s = t;
    }
    return s;
}

// A quarter of a cone about z, narrowing from radius 8 at z = 0 to 7.5 at
// z = 4: the smallest arc is the last column.
RatBSplSurf* narrowingQuarterCone()
{
    return quarterTurn({{8, 0}, {7.5, 4}}, {0, 0, 1, 1});
}

// The profile (8, 0, 0) - (8, 0, 1) - (7.5, 0, 4): control columns are its
// arcs at z = 0, 1 and 4.
RatBSplSurf* quarterCylinderThenCone()
{
    return quarterTurn({{8, 0}, {8, 1}, {7.5, 4}}, {0, 0, 1, 2, 2});
}

// An edge of a face: a kernel curve, owned.
class Edge : public kvIUnknownImp, public kvIGeCurve {
public:
    explicit Edge(RatBSplCurve* c) : curve(c) {}
    ~Edge() { ratBSplCurveFree(curve); }
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIGeCurve>(this, name); }
    int getParameterRange(double* start, double* end) override
    {
        *start = 0.0;
        *end = 1.0;
        return 0;
    }
    int getPoint(double t, double point[3]) override
    {
        const GeomPoint p = ratBSplCurveEvalPoint(curve, t);
        point[0] = p.x;
        point[1] = p.y;
        point[2] = p.z;
        return 0;
    }
    RatBSplCurve* curve;
};

class Edges : public kvIUnknownImp, public kvIObjectEnum {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override { return kvQueryInterfaces<kvIObjectEnum>(this, name); }
    int reset() override { return at = 0; }
    int atEnd() override { return at >= edges.size(); }
    int current(kvIUnknown** object) override
    {
        *object = edges[at].get();
        (*object)->addRef();
        return 0;
    }
    int next() override { return static_cast<int>(++at); }
    std::vector<kvIUnknownPtr> edges;
    std::size_t at = 0;
};

// A face with its boundary (the edges of its surface) and an on-face test
// that keeps only the part below z = 2.
class BoundedFace : public Face, public kvIGeBoundedSurface {
public:
    kvIUnknown* queryInterface(const wchar_t* name) override
    {
        return kvQueryInterfaces<kvIGeSurface, kvIGeBoundedSurface>(this, name);
    }
    int getBoundary(kvIUnknown** curves, kvIUnknown** loops) override
    {
        *loops = nullptr;
        Edges* e = new kvIfImp<Edges>();
        const int rows = ratBSplSurfControlRows(surface), columns = ratBSplSurfControlColumns(surface);
        for (RatBSplCurve* c : {ratBSplSurfRowCurve(surface, 0), ratBSplSurfRowCurve(surface, rows - 1),
                                ratBSplSurfColumnCurve(surface, 0), ratBSplSurfColumnCurve(surface, columns - 1)})
            e->edges.push_back(kvIUnknownPtr(static_cast<kvIGeCurve*>(new kvIfImp<Edge>(c))));
        *curves = static_cast<kvIObjectEnum*>(e);
        e->addRef();
        return 0;
    }
    int isPointOnFace(const double point[3], double, int* onFace) override
    {
        *onFace = point[2] < 2.0;
        return 0;
    }
};

}  // namespace

TEST_F(CurvatureTest, ArcsBesideTheFaceAreLeftOutAndTheBoxSpansTheBoundary)
{
    // The arc at z = 4 (radius 7.5) lies beside the face: the two arcs of
    // radius 8 on it agree, so the smallest radius is 8.
    BoundedFace* f = new kvIfImp<BoundedFace>();
    f->surface = quarterCylinderThenCone();
    ASSERT_NE(f->surface, nullptr);
    kvIUnknownPtr face(static_cast<kvIGeSurface*>(f));
    kvCAnalyseCtrl ctrl;
    ctrl.boxMin.set(1e5, 1e5, 1e5);
    ctrl.boxMax.set(-1e5, -1e5, -1e5);
    ASSERT_TRUE(ctrl.computeFaceCurvatureRadii(face.get(), false));
    EXPECT_NEAR(ctrl.minRadiusV, 8.0, 0.05);
    EXPECT_NEAR(ctrl.radius, 8.0, 0.05);
    // The box is the quarter's extent, from its boundary.
    EXPECT_NEAR(ctrl.boxMin.x, 0.0, 1e-9);
    EXPECT_NEAR(ctrl.boxMin.y, 0.0, 1e-9);
    EXPECT_NEAR(ctrl.boxMin.z, 0.0, 1e-9);
    EXPECT_NEAR(ctrl.boxMax.x, 8.0, 1e-9);
    EXPECT_NEAR(ctrl.boxMax.y, 8.0, 1e-9);
    EXPECT_NEAR(ctrl.boxMax.z, 4.0, 1e-9);

    // Without the on-face test every arc counts.
    kvIUnknownPtr plain = faceOn(quarterCylinderThenCone());
    ASSERT_TRUE(ctrl.computeFaceCurvatureRadii(plain.get(), false));
    EXPECT_NEAR(ctrl.radius, 7.5, 0.05);
}

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
