// The sample part's faces checked against the shapes they are said to be:
// sampled points on the analytic shape within 1e-9 of the face's size, the
// oriented normals out of the material as the shape and its sense say.
#include "sample_part.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>

namespace {

using hostsim::SampleFace;

struct Vec {
    double x, y, z;
};
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator*(double s, Vec a) { return {s * a.x, s * a.y, s * a.z}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double len(Vec a) { return std::sqrt(dot(a, a)); }
Vec unit(Vec a) { return (1.0 / len(a)) * a; }
Vec cross(Vec a, Vec b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec vec(const double* p) { return {p[0], p[1], p[2]}; }
Vec vec(GeomPoint p) { return {p.x, p.y, p.z}; }

// Power-basis patch value or derivative (ds, dt in {0, 1}).
Vec patchValue(const SampleFace& f, double s, double t, int ds, int dt)
{
    Vec r{0, 0, 0};
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) {
            if (i < ds || j < dt)
                continue;
            const double c = (ds ? i : 1) * (dt ? j : 1) * std::pow(s, i - ds) * std::pow(t, j - dt);
            const double* a = &f.patch[3 * (i + 4 * j)];
            r = r + c * Vec{a[0], a[1], a[2]};
        }
    return r;
}

// Distance of p from the face's analytic shape, and the shape's normal at p
// out of the material.
double shapeDistance(const SampleFace& f, Vec p, double s, double t, Vec* outward)
{
    const Vec c = vec(f.point), a = vec(f.axis);
    if (f.kind == "plane") {
        *outward = a;
        return std::fabs(dot(p - c, a));
    }
    if (f.kind == "sphere") {
        *outward = f.normalSense * unit(p - c);
        return std::fabs(len(p - c) - f.radius);
    }
    if (f.kind == "freeform") {
        const Vec n = unit(cross(patchValue(f, s, t, 1, 0), patchValue(f, s, t, 0, 1)));
        *outward = dot(n, a) >= 0 ? n : -1.0 * n;
        return len(p - patchValue(f, s, t, 0, 0));
    }
    const double h = dot(p - c, a);
    const Vec radialVec = (p - c) - h * a;
    const double rho = len(radialVec);
    const Vec radial = unit(radialVec);
    if (f.kind == "cylinder") {
        *outward = f.normalSense * radial;
        return std::fabs(rho - f.radius);
    }
    if (f.kind == "cone") {
        // Distance from the cone's generator through p's meridian.
        const double ca = std::cos(f.halfAngle), sa = std::sin(f.halfAngle);
        const Vec n = ca * radial - sa * a;
        *outward = f.normalSense * n;
        return std::fabs(rho * ca - h * sa);
    }
    // torus
    const Vec tube = p - (c + f.radius * radial);
    *outward = f.normalSense * unit(tube);
    return std::fabs(len(tube) - f.minorRadius);
}

} // namespace

TEST(SamplePart, FacesHaveDistinctIdsSurfacesAndLayersAndAreFoundByTheirId)
{
    const hostsim::SamplePart& part = hostsim::samplePart();
    std::set<int> ids;
    for (const SampleFace& f : part.faces()) {
        EXPECT_TRUE(ids.insert(f.id).second) << f.id;
        ASSERT_NE(nullptr, surfaceOf(f)) << f.id;
        EXPECT_FALSE(f.layer.empty());
        EXPECT_EQ(&f, part.findFace(f.id));
    }
    EXPECT_EQ(nullptr, part.findFace(-7));
}

TEST(SamplePart, SampledPointsLieOnTheShapesAndNormalsPointOut)
{
    for (const SampleFace& f : hostsim::samplePart().faces()) {
        RatBSplSurf* s = surfaceOf(f);
        const int n = 9;
        for (int i = 0; i <= n; ++i)
            for (int j = 0; j <= n; ++j) {
                const double u = static_cast<double>(i) / n, v = static_cast<double>(j) / n;
                const Vec p = vec(ratBSplSurfEvalPoint(s, u, v));
                const double ps = u * (f.patchRange[1] - f.patchRange[0]);
                const double pt = v * (f.patchRange[3] - f.patchRange[2]);
                Vec outward{0, 0, 0};
                const double d = shapeDistance(f, p, ps, pt, &outward);
                EXPECT_LE(d, 1e-9 * f.size) << "face " << f.id << " at " << u << ", " << v;
                const Vec nrm = vec(ratBSplSurfEvalNormal(s, u, v));
                if (len(nrm) < 0.5)
                    continue; // a pole of the sphere or the apex of a cone
                EXPECT_NEAR(1.0, dot(s->nrmOri * nrm, outward), 1e-9)
                    << "face " << f.id << " at " << u << ", " << v;
            }
    }
}

TEST(SamplePart, HalfCylindersOfOneHoleMeetAndCoverItOnce)
{
    const hostsim::SamplePart& part = hostsim::samplePart();
    const SampleFace* a = part.findFace(111);
    const SampleFace* b = part.findFace(112);
    ASSERT_TRUE(a && b);
    // The second half starts where the first ends and ends where it starts.
    const Vec a0 = vec(ratBSplSurfEvalPoint(surfaceOf(*a), 0.5, 0.0));
    const Vec a1 = vec(ratBSplSurfEvalPoint(surfaceOf(*a), 0.5, 1.0));
    const Vec b0 = vec(ratBSplSurfEvalPoint(surfaceOf(*b), 0.5, 0.0));
    const Vec b1 = vec(ratBSplSurfEvalPoint(surfaceOf(*b), 0.5, 1.0));
    EXPECT_NEAR(0.0, len(a1 - b0), 1e-9);
    EXPECT_NEAR(0.0, len(b1 - a0), 1e-9);
    // The middle of each half lies on opposite sides of the axis.
    const Vec am = vec(ratBSplSurfEvalPoint(surfaceOf(*a), 0.5, 0.5)) - vec(a->point);
    const Vec bm = vec(ratBSplSurfEvalPoint(surfaceOf(*b), 0.5, 0.5)) - vec(b->point);
    EXPECT_LT(am.y * bm.y, 0.0);
}

TEST(SamplePart, PrintedListNamesEveryFaceWithItsMeasures)
{
    std::ostringstream out;
    hostsim::printSampleFaces(out);
    const std::string text = out.str();
    for (const SampleFace& f : hostsim::samplePart().faces()) {
        EXPECT_NE(std::string::npos, text.find("\n" + std::to_string(f.id) + "  " + f.kind)) << f.id;
    }
    EXPECT_NE(std::string::npos, text.find("radius 8"));
    EXPECT_NE(std::string::npos, text.find("radii 8 / 2"));
    EXPECT_NE(std::string::npos, text.find("half angle 45 deg"));
    EXPECT_NE(std::string::npos, text.find("layer Holes"));
    EXPECT_NE(std::string::npos, text.find("colour 64,96,224"));
}
