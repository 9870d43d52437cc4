// Picks on the sample part's faces are found again by the point inversion,
// called as the element measurement calls it: start (0, 0), state 0,
// tolerance 0.01. A pick lies on its face, so the distance must come down to
// the goal, on records that mark where they close and on records that mark
// nothing.
#include "sample_part.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace {

using SurfPtr = std::unique_ptr<RatBSplSurf, void (*)(RatBSplSurf*)>;

enum class Marks { AsHostMarks, AllOpen };

// A copy of the face's surface with its directions marked: closed where the
// surface closes (as the host hands records out), or open throughout.
SurfPtr markedCopy(const RatBSplSurf* surface, Marks marks)
{
    SurfPtr s(ratBSplSurfCopy(surface), ratBSplSurfFree);
    int closedU = 0, closedV = 0;
    ratBSplSurfTestClosed(s.get(), &closedU, &closedV);
    if (marks == Marks::AllOpen)
        closedU = closedV = 0;
    s->origFormu = closedU ? 2 : 1;
    s->origFormv = closedV ? 2 : 1;
    s->periodicu = closedU;
    s->periodicv = closedV;
    return s;
}

// Parameters of the picks: the seams, poles and corners, then random ones.
std::vector<std::pair<double, double>> pickParameters()
{
    std::vector<std::pair<double, double>> at;
    const double edges[] = {0.0, 1e-9, 0.25, 0.5, 0.999999, 1.0};
    for (double u : edges)
        for (double v : edges)
            at.emplace_back(u, v);
    std::mt19937 random(17);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int k = 0; k < 120; ++k) {
        const double u = unit(random);
        at.emplace_back(u, unit(random));
    }
    return at;
}

void expectEveryPickLands(Marks marks)
{
    const auto picks = pickParameters();
    for (const hostsim::SampleFace& face : hostsim::samplePart().faces()) {
        SurfPtr s = markedCopy(surfaceOf(face), marks);
        int missed = 0;
        double worst = 0.0;
        for (const auto& uv : picks) {
            const GeomPoint p = ratBSplSurfEvalPoint(s.get(), uv.first, uv.second);
            double u = -1, v = -1, d = -1;
            int state = 0;
            ASSERT_EQ(0, ratBSplSurfInvertPoint(s.get(), p, 0.0, 0.0, 0.01, &u, &v, &state, &d));
            // The distance reported is that of the parameters returned.
            const GeomPoint q = ratBSplSurfEvalPoint(s.get(), u, v);
            const double back = std::sqrt((p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y) +
                                          (p.z - q.z) * (p.z - q.z));
            EXPECT_NEAR(d, back, 1e-12);
            if (!(d <= 1e-5))
                ++missed;
            worst = std::fmax(worst, d);
        }
        EXPECT_EQ(0, missed) << "face " << face.id << " (" << face.kind << "): worst " << worst;
    }
}

TEST(SamplePartPicks, EveryPickLandsOnRecordsMarkedAsTheHostMarksThemAndOnRecordsMarkedOpen)
{
    expectEveryPickLands(Marks::AsHostMarks);
    expectEveryPickLands(Marks::AllOpen);
}

}  // namespace
