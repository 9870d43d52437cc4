// The surface record: creation, copy, transpose, dumps, accessors and tests.
#include "geom/geom.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace surftest {
struct Pt {
    double x, y, z;
};
RatBSplSurf* makeSurf(int ordu, int ordv, const std::vector<double>& ku,
                      const std::vector<double>& kv, const std::vector<Pt>& pts,
                      const std::vector<double>& w, int rational);
RatBSplSurf* makeRational20();
RatBSplSurf* makeTorus(double R, double r, double u0, double u1, double v0, double v1);
}  // namespace surftest

namespace {

using namespace surftest;

// A 3 x 2 net of order 2 x 2 with distinct points, weights and flags.
RatBSplSurf* makeSmall()
{
    std::vector<Pt> pts;
    std::vector<double> w;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 2; ++j) {
            pts.push_back(Pt{1.0 * i, 2.0 * j, 0.5 * i * j});
            w.push_back(1.0 + 0.25 * i + 0.5 * j);
        }
    RatBSplSurf* s = makeSurf(2, 2, {0, 0, 1, 2, 2}, {5, 5, 6, 6}, pts, w, 1);
    s->periodicu = 1;
    s->origFormv = 2;
    s->periodu = 3;
    s->knotRangeu = 2.5;
    s->multPtsu = 1;
    s->periodv = 4;
    s->knotRangev = 0.75;
    s->multPtsv = 3;
    s->tolerance = 0.01;
    s->nrmOri = -1;
    s->offset = 1.5;
    s->isOffsetSurf = 1;
    return s;
}

TEST(SurfRecord, CreateInitialisesEverything)
{
    RatBSplSurf* s = ratBSplSurfCreate(2, 2, 4, 4);
    ASSERT_NE(nullptr, s);
    EXPECT_STREQ("RatBSplSurf", s->name);
    EXPECT_EQ(2, s->ordu);
    EXPECT_EQ(4, s->noPointsv);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(0.0, s->points[k][0] + s->points[k][1] + s->points[k][2]);
        EXPECT_EQ(0.0, s->weights[k]);
    }
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(0.0, s->knotsu[k] + s->knotsv[k] + s->rowWeights[k] + s->workWeights[k] +
                           s->rowPoints[k][0] + s->workPoints[k][2]);
    EXPECT_EQ(-1, s->periodu);
    EXPECT_EQ(-1, s->periodv);
    EXPECT_EQ(0, s->periodicu + s->periodicv + s->isRational + s->isOffsetSurf);
    EXPECT_EQ(0, s->origFormu + s->origFormv + s->multPtsu + s->multPtsv);
    EXPECT_EQ(0.0, s->tolerance);
    EXPECT_EQ(0.0, s->offset);
    EXPECT_EQ(1, s->nrmOri);
    EXPECT_EQ(&ratBSplSurfDestroy, s->destroy);
    EXPECT_EQ(&ratBSplSurfPrint, s->print);
    ratBSplSurfDestroy(s);
    EXPECT_EQ(nullptr, s->points);
    EXPECT_EQ(nullptr, s->workWeights);
    ratBSplSurfFree(s);  // only the record is left to release

    ratBSplSurfFree(nullptr);
    RatBSplSurf empty;
    ratBSplSurfInit(&empty);
    EXPECT_EQ(-1, empty.noPointsu);
    EXPECT_EQ(nullptr, empty.knotsv);
    ratBSplSurfInit(nullptr);
    // Negative counts fail like an allocation instead of wrapping round.
    EXPECT_EQ(nullptr, ratBSplSurfCreate(2, 2, -4, 4));
}

TEST(SurfRecord, CopyKeepsEverythingButTheTolerance)
{
    RatBSplSurf* s = makeSmall();
    RatBSplSurf* c = ratBSplSurfCopy(s);
    ASSERT_NE(nullptr, c);
    EXPECT_EQ(0.0, c->tolerance);
    EXPECT_EQ(-1, c->nrmOri);
    EXPECT_EQ(1.5, c->offset);
    EXPECT_EQ(1, c->isOffsetSurf);
    EXPECT_EQ(s->periodicu, c->periodicu);
    EXPECT_EQ(s->origFormv, c->origFormv);
    EXPECT_EQ(2.5, c->knotRangeu);
    EXPECT_EQ(3, c->multPtsv);
    EXPECT_EQ(4, c->periodv);
    for (int k = 0; k < s->noPointsu * s->noPointsv; ++k) {
        EXPECT_EQ(s->points[k][2], c->points[k][2]);
        EXPECT_EQ(s->weights[k], c->weights[k]);
    }
    EXPECT_NE(s->points, c->points);
    EXPECT_EQ(2.0, c->knotsu[4]);
    EXPECT_EQ(6.0, c->knotsv[3]);
    EXPECT_EQ(nullptr, ratBSplSurfCopy(nullptr));
    ratBSplSurfFree(c);
    ratBSplSurfFree(s);
}

TEST(SurfRecord, TransposeExchangesTheDirections)
{
    RatBSplSurf* s = makeRational20();
    s->periodicu = 1;
    s->knotRangeu = 12.0;
    s->nrmOri = -1;
    RatBSplSurf* t = ratBSplSurfTranspose(s);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(0, t->periodicu);
    EXPECT_EQ(1, t->periodicv);
    EXPECT_EQ(12.0, t->knotRangev);
    EXPECT_EQ(1, t->nrmOri);
    // The same surface with the parameters exchanged.
    for (double u : {0.0, 0.31, 0.77, 1.0})
        for (double v : {0.0, 0.45, 0.9}) {
            const GeomPoint a = ratBSplSurfEvalPoint(s, u, v);
            const GeomPoint b = ratBSplSurfEvalPoint(t, v, u);
            EXPECT_NEAR(a.x, b.x, 1e-12);
            EXPECT_NEAR(a.y, b.y, 1e-12);
            EXPECT_NEAR(a.z, b.z, 1e-12);
        }
    RatBSplSurf* back = ratBSplSurfTranspose(t);
    for (int k = 0; k < s->noPointsu * s->noPointsv; ++k) {
        EXPECT_EQ(s->points[k][0], back->points[k][0]);
        EXPECT_EQ(s->weights[k], back->weights[k]);
    }
    for (int k = 0; k < s->noPointsu; ++k)
        EXPECT_EQ(s->knotsu[k], back->knotsu[k]);
    EXPECT_EQ(1, back->periodicu);
    EXPECT_EQ(1, back->nrmOri);  // not carried over
    EXPECT_EQ(nullptr, ratBSplSurfTranspose(nullptr));
    ratBSplSurfFree(back);
    ratBSplSurfFree(t);
    ratBSplSurfFree(s);
}

TEST(SurfRecord, DumpsListHeaderAndEveryEntry)
{
    RatBSplSurf* s = makeSmall();
    testing::internal::CaptureStdout();
    ratBSplSurfCallPrint(s);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(0u, out.find("RatBSplSurf::print() :\nordu         : 2\nordv         : 2\n"
                           "noPointsu    : 5\nnoPointsv    : 4\nperiodicu    : 1\n"
                           "periodicv    : 0\norigFormu    : 1\norigFormv    : 2\n"
                           "isOffsetSurf : 1\noffset       : 1.500000\nnrmOri       : \xff\n"));
    // Entry (2, 1): point (2, 2, 1), weight 2, then the v knot 5.
    EXPECT_NE(std::string::npos,
              out.find("[2][1] : (2.000000,2.000000,1.000000), 2.000000, 5.000000\n"));
    // Spare entries too: 5 x 4 entry lines and one u-knot line per row.
    size_t lines = 0;
    for (char ch : out)
        lines += ch == '\n';
    EXPECT_EQ(12u + 20u + 5u, lines);
    const std::string tail = "6.000000\n2.000000\n";  // the last entry's v knot, the u knot
    EXPECT_EQ(out.size() - tail.size(), out.rfind(tail));

    testing::internal::CaptureStdout();
    ratBSplSurfPrintTransposed(s);
    const std::string tr = testing::internal::GetCapturedStdout();
    EXPECT_EQ(0u, tr.find("RatBSplSurf::printTransposed() :\nordu         : 2\n"));
    EXPECT_EQ(std::string::npos, tr.find("nrmOri"));
    // Column by column, indices in their order, followed by the u knot.
    EXPECT_NE(std::string::npos,
              tr.find("[1][0] : (1.000000,0.000000,0.000000), 1.250000, 0.000000\n"
                      "[2][0] : (2.000000,0.000000,0.000000), 1.500000, 1.000000\n"));
    testing::internal::CaptureStdout();
    ratBSplSurfCallPrint(nullptr);
    ratBSplSurfPrintTransposed(nullptr);
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    ratBSplSurfFree(s);
}

TEST(SurfRecord, SettersStayInsideTheArrays)
{
    RatBSplSurf* s = ratBSplSurfCreate(2, 3, 4, 6);
    ratBSplSurfSetPoint(s, 3, 5, 1, 2, 3);  // a spare entry: allowed
    EXPECT_EQ(3.0, s->points[3 * 6 + 5][2]);
    ratBSplSurfSetWeight(s, 1, 2, 0.5);
    EXPECT_EQ(0.5, s->weights[8]);
    ratBSplSurfSetKnotU(s, 3, 9.0);
    ratBSplSurfSetKnotV(s, 5, 7.0);
    EXPECT_EQ(9.0, s->knotsu[3]);
    EXPECT_EQ(7.0, s->knotsv[5]);
    RatBSplSurf* before = ratBSplSurfCopy(s);
    ratBSplSurfSetPoint(s, 4, 0, 1, 1, 1);
    ratBSplSurfSetPoint(s, 0, 6, 1, 1, 1);
    ratBSplSurfSetPoint(s, -1, 0, 1, 1, 1);
    ratBSplSurfSetWeight(s, 0, -1, 4);
    ratBSplSurfSetKnotU(s, 4, 1.0);
    ratBSplSurfSetKnotV(s, 6, 1.0);
    ratBSplSurfSetKnotU(nullptr, 0, 1.0);
    for (int k = 0; k < 24; ++k) {
        EXPECT_EQ(before->points[k][0], s->points[k][0]);
        EXPECT_EQ(before->weights[k], s->weights[k]);
    }
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(before->knotsu[k], s->knotsu[k]);
    ratBSplSurfFree(before);
    ratBSplSurfFree(s);
}

TEST(SurfRecord, OffsetFlagFollowsTheAccumulatedOffset)
{
    RatBSplSurf* s = ratBSplSurfCreate(2, 2, 4, 4);
    ratBSplSurfAddOffset(s, 1e-7);
    EXPECT_EQ(0, s->isOffsetSurf);
    ratBSplSurfAddOffset(s, 1e-7);
    EXPECT_EQ(1, s->isOffsetSurf);
    ratBSplSurfAddOffset(s, -2e-7);
    EXPECT_EQ(0, s->isOffsetSurf);
    ratBSplSurfAddOffset(s, -3.0);
    EXPECT_EQ(1, s->isOffsetSurf);
    EXPECT_NEAR(-3.0, s->offset, 1e-15);
    ratBSplSurfAddOffset(nullptr, 1.0);
    ratBSplSurfFree(s);
}

TEST(SurfRecord, ClosedTestComparesFirstAndLastControlRowsAndColumns)
{
    RatBSplSurf* t = makeTorus(5, 1, 0, 1, 0, 1);
    int cu = -1, cv = -1;
    ratBSplSurfTestClosed(t, &cu, &cv);
    EXPECT_EQ(1, cu);  // closed form: no test at all
    EXPECT_EQ(1, cv);
    t->origFormu = t->origFormv = 1;
    ratBSplSurfTestClosed(t, &cu, &cv);
    EXPECT_EQ(1, cu);  // the nets close within 1e-7
    EXPECT_EQ(1, cv);
    const int last = t->noPointsu - t->ordu - 1;
    t->points[last * t->noPointsv + 2][0] += 1e-6;
    ratBSplSurfTestClosed(t, &cu, &cv);
    EXPECT_EQ(0, cu);
    EXPECT_EQ(1, cv);
    ratBSplSurfTestClosedTol(t, 1e-5, &cu, &cv);
    EXPECT_EQ(1, cu);
    t->periodicu = 1;
    ratBSplSurfTestClosed(t, &cu, &cv);
    EXPECT_EQ(1, cu);
    cu = cv = 7;
    ratBSplSurfTestClosed(nullptr, &cu, &cv);
    EXPECT_EQ(7, cu);
    ratBSplSurfFree(t);
}

TEST(SurfRecord, ExportsLeaveOutTheSpareEntries)
{
    RatBSplSurf* s = makeSmall();  // 3 x 2 control entries
    double pts[18], w[6];
    EXPECT_EQ(0, ratBSplSurfGetPoints(s, 0, pts));
    EXPECT_EQ(0, ratBSplSurfGetWeights(s, 0, w));
    EXPECT_EQ(2.0, pts[3 * 5 + 0]);  // entry (2, 1) at position 5
    EXPECT_EQ(2.0, pts[3 * 5 + 1]);
    EXPECT_EQ(1.0, pts[3 * 5 + 2]);
    EXPECT_EQ(2.0, w[5]);
    EXPECT_EQ(0, ratBSplSurfGetWeights(s, 1, w));
    EXPECT_EQ(1.5, w[2]);  // entry (2, 0) transposed: 0 * 3 + 2
    EXPECT_EQ(1.5, w[3]);  // entry (0, 1): 1 * 3 + 0
    EXPECT_EQ(5063, ratBSplSurfGetPoints(nullptr, 0, pts));
    EXPECT_EQ(5138, ratBSplSurfGetWeights(nullptr, 0, w));

    EXPECT_EQ(1, ratBSplSurfHasWeights(s));
    for (int k = 0; k < s->noPointsu * s->noPointsv; ++k)
        s->weights[k] = 1.0;
    EXPECT_EQ(0, ratBSplSurfHasWeights(s));
    s->weights[1] = 1.0 + 1e-11;
    s->weights[2 * s->noPointsv + 3] = 5.0;  // spare: plays no part
    EXPECT_EQ(0, ratBSplSurfHasWeights(s));
    s->weights[1] = 1.001;
    EXPECT_EQ(1, ratBSplSurfHasWeights(s));
    EXPECT_EQ(0, ratBSplSurfHasWeights(nullptr));
    ratBSplSurfFree(s);
}

}  // namespace
