// The sample part's faces: found by their ids and listed with their
// measures, and closed around the material as a solid told without them, each
// face's normal pointing out of it.
#include "sample_part.h"
#include "view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <sstream>

namespace {

using hostsim::SampleFace;

struct Vec {
    double x, y, z;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator*(double s, Vec a) { return {s * a.x, s * a.y, s * a.z}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double len(Vec a) { return std::sqrt(dot(a, a)); }
Vec unit(Vec a) { return (1.0 / len(a)) * a; }
Vec vec(const double* p) { return {p[0], p[1], p[2]}; }

// The part's material as the block it was machined from, with what was cut
// away and what stands on it, told without its faces: a point on a cut's
// edge is material.
bool material(double x, double y, double z)
{
    const double rho = std::hypot(x - 30, y - 15);  // the boss with its fillet
    if (z > 40 && z <= 50 && (rho <= 6 || (z <= 42 && rho <= 8 && std::hypot(rho - 8, z - 42) >= 2)))
        return true;
    if (x < 0 || x > 100 || y < 0 || y > 60 || z < 0 || z > 40 || z - y > 35)
        return false;
    if ((x - 90) * std::sqrt(3.0) + (z - 40) > 0)  // above the tilted face
        return false;
    if (std::hypot(x - 20, y - 40) < 5 || std::hypot(x - 40, y - 40) < 5 ||
        std::hypot(x - 70, y - 35) < 8 + std::fmax(0.0, z - 36))
        return false;
    if (x > 45 && x < 58 && y > 3 && y < 20 && z > hostsim::freeformHeight(*hostsim::samplePart().findFace(151), x, y))
        return false;
    // The radius-3 roundings: vertical at the back corners, along the top's
    // back and left edges, and the sphere where three meet.
    const double dl = 3 - x, dr = x - 97, db = y - 57, dt = z - 37;
    if ((dl > 0 && db > 0 && std::hypot(dl, db) > 3) || (dr > 0 && db > 0 && std::hypot(dr, db) > 3) ||
        (db > 0 && dt > 0 && std::hypot(db, dt) > 3) || (dl > 0 && dt > 0 && std::hypot(dl, dt) > 3))
        return false;
    return !(dl > 0 && db > 0 && dt > 0 && std::sqrt(dl * dl + db * db + dt * dt) > 3);
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

// Rays from all around the part through points spread over it and gathered
// where faces meet: the faces that picks along a ray meet, one after the
// other, are where the material begins and ends, and face out of it. A face
// off its surface would not be picked.
TEST(SamplePart, FacesCloseAroundTheMaterial)
{
    const double boxes[][6] = {
        {0, 0, 0, 100, 60, 50},    {-1, 52, 32, 8, 61, 41}, // the whole part, the rounded corner
        {43, 1, 35, 60, 22, 41},   {86, -1, 30, 96, 8, 41}, // the pocket, the chamfer meeting the tilted face
        {88, 52, 18, 101, 61, 41}, {-1, -1, 32, 6, 8, 41},  // the tilted face over the roundings, the chamfer's end
    };
    std::mt19937 random(11);
    std::normal_distribution<double> normal;
    int crossings = 0;
    for (const auto& box : boxes)
        for (int ray = 0; ray < 15; ++ray) {
            const Vec away = unit({normal(random), normal(random), normal(random)});
            double from[3] = {50 + 120 * away.x, 30 + 120 * away.y, 25 + 120 * away.z}, d[3];
            for (int k = 0; k < 3; ++k)
                d[k] = std::uniform_real_distribution<double>(box[k], box[k + 3])(random) - from[k];
            std::string met = "the ray from " + std::to_string(from[0]) + ", " + std::to_string(from[1]) + ", " +
                              std::to_string(from[2]) + " meets";
            bool in = false;
            hostsim::RayHit hit;
            for (int hits = 0; hits < 20 && hostsim::pickFace(hostsim::samplePart(), from, d, hit); ++hits, ++crossings) {
                const Vec mid = 0.5 * (vec(from) + vec(hit.point));
                met += " " + std::to_string(hit.face->id);
                EXPECT_EQ(material(mid.x, mid.y, mid.z), in) << met;
                double outward[3];
                hostsim::sampleFaceNormal(*hit.face, hit.point, outward);
                EXPECT_EQ(dot(vec(outward), vec(d)) > 0, in) << met << ", its normal into the material";
                in = !in;
                for (int k = 0; k < 3; ++k)
                    from[k] = hit.point[k] + 1e-6 * d[k] / len(vec(d));
            }
            EXPECT_FALSE(in) << met;
        }
    EXPECT_GT(crossings, 150);
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
