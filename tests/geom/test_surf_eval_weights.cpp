// Surface evaluation where weight sums vanish: which rows and columns are
// reported, and the point that the tensor product gives all the same; the
// inverter's one-pass first derivatives against the two single ones; and
// order-1 directions beside orders beyond the fixed buffers.
#include "geom/invert_grid.h"
#include "surf_nets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace surftest;

// Counts the divisor reports (kind 5) sent while a test runs.
struct DivisorReports : ::testing::Test {
    static int count;
    GeomMessageFacility facility{};
    GeomMessageFacility* saved = nullptr;

    static void countDivisor(GeomMessageFacility*, const char* text)
    {
        if (text && std::strncmp(text, "5,", 2) == 0)
            ++count;
    }
    void SetUp() override
    {
        geomMessageFacilityInit(&facility);
        facility.message = countDivisor;
        saved = geomMessageFacility;
        geomMessageFacility = &facility;
        count = 0;
    }
    void TearDown() override { geomMessageFacility = saved; }
};
int DivisorReports::count = 0;

// The bilinear patch (0,0,0) (0,2,0) / (4,0,1) (4,2,3) with the weights of
// row 0 and row 1 as given.
SurfPtr patch(double w00, double w01, double w10, double w11)
{
    return own(makeSurf(2, 2, {0, 0, 1, 1}, {0, 0, 1, 1},
                        {Pt{0, 0, 0}, Pt{0, 2, 0}, Pt{4, 0, 1}, Pt{4, 2, 3}}, {w00, w01, w10, w11}, 1));
}

void expectPointNear(GeomPoint want, GeomPoint got, double tol)
{
    EXPECT_NEAR(want.x, got.x, tol);
    EXPECT_NEAR(want.y, got.y, tol);
    EXPECT_NEAR(want.z, got.z, tol);
}

struct Full {
    GeomPoint P;
    double Su[3], Suu[3], Sv[3], Svv[3], kU, kV;
};

// Row 0 weighs nothing: its evaluation along v is reported, and the point is
// that of row 1 alone.
TEST_F(DivisorReports, ARowOfZeroWeightsIsReportedOnce)
{
    auto s = patch(0, 0, 1, 1);
    expectPointNear(GeomPoint{4, 1, 2}, ratBSplSurfEvalPoint(s.get(), 0.5, 0.5), 1e-15);
    EXPECT_EQ(1, count);
}

// Both rows and then the patch itself vanish: three reports and the origin.
TEST_F(DivisorReports, AllZeroWeightsReportBothRowsAndThePatch)
{
    auto s = patch(0, 0, 0, 0);
    expectPointNear(GeomPoint{0, 0, 0}, ratBSplSurfEvalPoint(s.get(), 0.5, 0.5), 0.0);
    EXPECT_EQ(3, count);
}

// Row 0 weighs 1 and -1: its sum vanishes at v = 0.5 while its weighted
// points, (0,0,0) - (0,2,0), do not cancel. The row is reported, and the
// point is the surface's own: (0.25 (1 P00 - 1 P01 + P10 + P11)) / 0.5 =
// (4, 0, 2), not row 1's midpoint (4, 1, 2) that dropping row 0 would give.
TEST_F(DivisorReports, ARowOfMixedWeightsKeepsItsWeightedPoints)
{
    auto s = patch(1, -1, 1, 1);
    expectPointNear(GeomPoint{4, 0, 2}, ratBSplSurfEvalPoint(s.get(), 0.5, 0.5), 1e-14);
    EXPECT_EQ(1, count);
}

// The point-and-derivatives evaluation reports the two rows along v and the
// two columns along u; its passes across them give zeros without a report.
TEST_F(DivisorReports, DerivativesWithAllZeroWeightsReportRowsAndColumns)
{
    auto s = patch(0, 0, 0, 0);
    Full f;
    f.P = ratBSplSurfEvalPointNormal(s.get(), 0.5, 0.5, f.Su, f.Suu, f.Sv, f.Svv, &f.kU, &f.kV);
    EXPECT_EQ(4, count);
    EXPECT_EQ(0.0, std::fabs(f.P.x) + std::fabs(f.Su[0]) + std::fabs(f.Sv[1]) + std::fabs(f.kU));
    count = 0;
    ratBSplSurfEvalAtSpans(s.get(), 1, 1, 0.5, 0.5, f.Su, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(4, count);
}

// The u derivative goes through the rows, the v derivative through the
// columns: only the first meets the row of zero weights.
TEST_F(DivisorReports, FirstDerivativesReportTheirOwnLines)
{
    auto s = patch(0, 0, 1, 1);
    ratBSplSurfEvalDerivU(s.get(), 0.5, 0.5);
    EXPECT_EQ(1, count);
    count = 0;
    const GeomPoint sv = ratBSplSurfEvalDerivV(s.get(), 0.5, 0.5);
    EXPECT_EQ(0, count);
    EXPECT_NEAR(2.0, sv.y, 1e-14);   // row 1's column derivative alone
}

// Order 31 in u over one span (Bernstein rows), order 2 in v: row r at
// x = 3r / 30, from y = 0 to y = 2. Row 0 weighs 1 and -1, the others 1.
// At v = 0.5 row 0 adds (0, -1, 0) with weight 0 and row r (3r / 30, 1, 0)
// with weight 1, so with b = (1 - u)^30 the point is
// (3u / (1 - b), (1 - 2b) / (1 - b), 0).
TEST_F(DivisorReports, ARowOfMixedWeightsKeepsItsWeightedPointsBeyondTheFixedOrders)
{
    std::vector<double> ku(31, 0.0);
    ku.insert(ku.end(), 31, 1.0);
    std::vector<Pt> pts;
    std::vector<double> w;
    for (int r = 0; r < 31; ++r) {
        pts.insert(pts.end(), {Pt{3.0 * r / 30.0, 0, 0}, Pt{3.0 * r / 30.0, 2, 0}});
        w.insert(w.end(), {1.0, r == 0 ? -1.0 : 1.0});
    }
    auto s = own(makeSurf(31, 2, ku, {0, 0, 1, 1}, pts, w, 1));
    const double u = 0.01, b = std::pow(1.0 - u, 30);
    const GeomPoint p = ratBSplSurfEvalPoint(s.get(), u, 0.5);
    EXPECT_EQ(1, count);
    EXPECT_NEAR(3.0 * u / (1.0 - b), p.x, 1e-12);
    EXPECT_NEAR((1.0 - 2.0 * b) / (1.0 - b), p.y, 1e-12);
    // The u derivative of x = 3u / (1 - b) is 3 / (1 - b) - 90 u (1 - u)^29 / (1 - b)^2.
    const double dx = 3.0 / (1.0 - b) - 90.0 * u * std::pow(1.0 - u, 29) / ((1.0 - b) * (1.0 - b));
    EXPECT_NEAR(dx, ratBSplSurfEvalDerivU(s.get(), u, 0.5).x, 1e-9);
}

// Records the text of every report sent while a test runs.
struct OnePassDerivatives : ::testing::Test {
    static std::vector<std::string> texts;
    GeomMessageFacility facility{};
    GeomMessageFacility* saved = nullptr;

    static void record(GeomMessageFacility*, const char* text) { texts.push_back(text ? text : ""); }
    void SetUp() override
    {
        geomMessageFacilityInit(&facility);
        facility.message = record;
        saved = geomMessageFacility;
        geomMessageFacility = &facility;
        texts.clear();
    }
    void TearDown() override { geomMessageFacility = saved; }

    // The reports of the inverter's one-pass first derivatives at (u, v),
    // after checking that they are the two single derivatives to the bit;
    // the reports of ratBSplSurfEvalDerivU then ratBSplSurfEvalDerivV go to
    // *single.
    static std::vector<std::string> onePass(RatBSplSurf* s, double u, double v,
                                            std::vector<std::string>* single)
    {
        texts.clear();
        const GeomPoint du = ratBSplSurfEvalDerivU(s, u, v);
        const GeomPoint dv = ratBSplSurfEvalDerivV(s, u, v);
        *single = texts;
        texts.clear();
        double su[3], sv[3];
        EXPECT_TRUE(geominvert::firstOrder(s, u, v, su, sv));
        EXPECT_EQ(du.x, su[0]);
        EXPECT_EQ(du.y, su[1]);
        EXPECT_EQ(du.z, su[2]);
        EXPECT_EQ(dv.x, sv[0]);
        EXPECT_EQ(dv.y, sv[1]);
        EXPECT_EQ(dv.z, sv[2]);
        return texts;
    }
};
std::vector<std::string> OnePassDerivatives::texts;

// Order pairs with sums of their own in the evaluator (3 x 2, 3 x 3, 4 x 4)
// and others, on nets of two rows and columns more than the orders.
const int kDerivOrders[][2] = {{2, 2}, {3, 2}, {3, 3}, {4, 4}, {2, 4}, {4, 3}};

enum ZeroLines { kZeroRow = 1, kZeroColumn = 2 };

// The wavy net with row 1 and/or column 1 of weight 0: at normalised
// parameters up to 0.1 both lie in the patch.
SurfPtr wavyWithZeros(int ordu, int ordv, int zeros)
{
    auto s = own(makeWavy(ordu, ordv, ordu + 2, ordv + 2));
    for (int k = 0; k < ordu + 2 && (zeros & kZeroColumn); ++k)
        ratBSplSurfSetWeight(s.get(), k, 1, 0.0);
    for (int k = 0; k < ordv + 2 && (zeros & kZeroRow); ++k)
        ratBSplSurfSetWeight(s.get(), 1, k, 0.0);
    return s;
}

// The curve module's site for a vanishing weight sum, as sent.
const std::string kVanishingSum =
    std::to_string(GEOM_ERR_DIVISOR) + "," + std::to_string(GEOM_FILE_CURVE) + ",11080";

TEST_F(OnePassDerivatives, ReportAVanishingRowAsTheUDerivativeDoes)
{
    for (const auto& o : kDerivOrders) {
        SCOPED_TRACE(testing::Message() << o[0] << " x " << o[1]);
        auto s = wavyWithZeros(o[0], o[1], kZeroRow);
        std::vector<std::string> single;
        EXPECT_EQ(std::vector<std::string>{kVanishingSum}, onePass(s.get(), 0.1, 0.1, &single));
        EXPECT_EQ(std::vector<std::string>{kVanishingSum}, single);
    }
}

TEST_F(OnePassDerivatives, ReportAVanishingColumnAsTheVDerivativeDoes)
{
    for (const auto& o : kDerivOrders) {
        SCOPED_TRACE(testing::Message() << o[0] << " x " << o[1]);
        auto s = wavyWithZeros(o[0], o[1], kZeroColumn);
        std::vector<std::string> single;
        EXPECT_EQ(std::vector<std::string>{kVanishingSum}, onePass(s.get(), 0.1, 0.1, &single));
        EXPECT_EQ(std::vector<std::string>{kVanishingSum}, single);
    }
}

TEST_F(OnePassDerivatives, ReportAVanishingRowAndColumnBoth)
{
    const std::vector<std::string> both = {kVanishingSum, kVanishingSum};
    for (const auto& o : kDerivOrders) {
        SCOPED_TRACE(testing::Message() << o[0] << " x " << o[1]);
        auto s = wavyWithZeros(o[0], o[1], kZeroRow | kZeroColumn);
        std::vector<std::string> single;
        EXPECT_EQ(both, onePass(s.get(), 0.1, 0.1, &single));
        EXPECT_EQ(both, single);
    }
}

// Every row and column of a patch without weight, and the patch itself
// twice, once for each single derivative.
TEST_F(OnePassDerivatives, ReportEveryLineAndThePatchOfAWeightlessNet)
{
    for (const auto& o : kDerivOrders) {
        SCOPED_TRACE(testing::Message() << o[0] << " x " << o[1]);
        auto s = wavyWithZeros(o[0], o[1], 0);
        for (int i = 0; i < o[0] + 2; ++i)
            for (int j = 0; j < o[1] + 2; ++j)
                ratBSplSurfSetWeight(s.get(), i, j, 0.0);
        std::vector<std::string> single;
        const std::vector<std::string> all(o[0] + o[1] + 2, kVanishingSum);
        EXPECT_EQ(all, onePass(s.get(), 0.3, 0.6, &single));
        EXPECT_EQ(all, single);
    }
}

// Across the domain, where the zero lines lie in the patch or beside it.
TEST_F(OnePassDerivatives, ReportAsTheTwoSingleOnesAcrossTheDomain)
{
    const double at[] = {0.0, 0.05, 0.3, 0.5, 0.77, 1.0};
    const int zeroLines[] = {kZeroRow, kZeroColumn, kZeroRow | kZeroColumn};
    for (const auto& o : kDerivOrders)
        for (int zeros : zeroLines) {
            auto s = wavyWithZeros(o[0], o[1], zeros);
            for (double u : at)
                for (double v : at) {
                    SCOPED_TRACE(testing::Message() << o[0] << " x " << o[1] << ", zeros " << zeros
                                                    << " at " << u << ", " << v);
                    std::vector<std::string> single;
                    const std::vector<std::string> both = onePass(s.get(), u, v, &single);
                    EXPECT_EQ(single, both);
                }
        }
}

// An order-1 direction is its control lines, each over its own knot span,
// beside an order beyond the fixed buffers too: order 31 in one direction
// (points evenly on a line, so the surface runs linearly), order 1 with two
// lines on [0, 2] in the other.
TEST(SurfEvalOrderOne, OrderOneBesideAHighOrderGivesItsControlLine)
{
    std::vector<double> high(31, 0.0);
    high.insert(high.end(), 31, 1.0);
    std::vector<Pt> alongU, alongV;
    for (int i = 0; i < 31; ++i)
        alongU.insert(alongU.end(), {Pt{3.0 * i / 30.0, 0, 1}, Pt{3.0 * i / 30.0, 5, 1}});
    for (int r = 0; r < 2; ++r)
        for (int j = 0; j < 31; ++j)
            alongV.push_back(Pt{5.0 * r, 3.0 * j / 30.0, 1});
    auto u31 = own(makeSurf(31, 1, high, {0, 1, 2}, alongU, std::vector<double>(62, 2.0), 1));
    auto v31 = own(makeSurf(1, 31, {0, 1, 2}, high, alongV, std::vector<double>(62, 2.0), 1));

    // v = 0.25 lies on the first column's span, v = 0.75 on the second's.
    GeomPoint p = ratBSplSurfEvalPoint(u31.get(), 0.4, 0.25);
    EXPECT_NEAR(1.2, p.x, 1e-12);
    EXPECT_EQ(0.0, p.y);
    EXPECT_EQ(1.0, p.z);
    EXPECT_EQ(5.0, ratBSplSurfEvalPoint(u31.get(), 0.4, 0.75).y);
    EXPECT_NEAR(3.0, ratBSplSurfEvalDerivU(u31.get(), 0.4, 0.25).x, 1e-10);

    p = ratBSplSurfEvalPoint(v31.get(), 0.75, 0.4);
    EXPECT_EQ(5.0, p.x);
    EXPECT_NEAR(1.2, p.y, 1e-12);
    EXPECT_EQ(1.0, p.z);
    const GeomPoint d = ratBSplSurfEvalDerivU(v31.get(), 0.75, 0.4);
    EXPECT_EQ(0.0, std::fabs(d.x) + std::fabs(d.y) + std::fabs(d.z));
}

}  // namespace
