// The surface record: creation, copy, transpose, dumps, accessors and tests.
#include "surf_nets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace surftest;

// A 3 x 2 net of order 2 x 2 with distinct points and weights and every
// direction field set.
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
    s->knotRangeu = 2.5;
    s->multPtsv = 3;
    s->tolerance = 0.01;
    s->nrmOri = -1;
    s->offset = 1.5;
    s->isOffsetSurf = 1;
    return s;
}

TEST(SurfRecord, CreateCopyAndTranspose)
{
    RatBSplSurf* e = ratBSplSurfCreate(2, 2, 4, 4);
    ASSERT_NE(nullptr, e);
    EXPECT_EQ(0.0, e->points[15][2] + e->weights[15] + e->knotsv[3] + e->rowWeights[3]);
    ratBSplSurfDestroy(e);
    EXPECT_EQ(nullptr, e->workWeights);
    ratBSplSurfFree(e);  // only the record is left to release
    ratBSplSurfFree(nullptr);
    EXPECT_EQ(nullptr, ratBSplSurfCreate(2, 2, -4, 4));  // no wrap to a small size

    RatBSplSurf* s = makeSmall();
    RatBSplSurf* c = ratBSplSurfCopy(s);
    EXPECT_EQ(0.0, c->tolerance);
    EXPECT_EQ(-1, c->nrmOri);
    EXPECT_EQ(1.5, c->offset);
    EXPECT_EQ(2.5, c->knotRangeu);
    EXPECT_EQ(3, c->multPtsv);
    EXPECT_EQ(s->weights[7], c->weights[7]);
    EXPECT_EQ(s->points[5][2], c->points[5][2]);
    EXPECT_EQ(6.0, c->knotsv[3]);
    ratBSplSurfFree(c);
    ratBSplSurfFree(s);

    // The transpose is the same surface with the parameters exchanged.
    s = makeRational20();
    s->periodicu = 1;
    s->nrmOri = -1;
    s->knotRangeu = 12.0;
    s->knotRangev = 3.0;
    RatBSplSurf* t = ratBSplSurfTranspose(s);
    EXPECT_EQ(1, t->periodicv);
    EXPECT_EQ(0, t->periodicu);
    EXPECT_EQ(3.0, t->knotRangeu);
    EXPECT_EQ(12.0, t->knotRangev);
    EXPECT_EQ(1, t->nrmOri);
    for (double u : {0.0, 0.31, 1.0})
        for (double v : {0.0, 0.45, 0.9}) {
            const GeomPoint a = ratBSplSurfEvalPoint(s, u, v), b = ratBSplSurfEvalPoint(t, v, u);
            EXPECT_NEAR(0.0, std::fabs(a.x - b.x) + std::fabs(a.y - b.y) + std::fabs(a.z - b.z),
                        1e-12);
        }
    RatBSplSurf* back = ratBSplSurfTranspose(t);
    for (int k = 0; k < s->noPointsu * s->noPointsv; ++k)
        EXPECT_EQ(s->points[k][0] + s->weights[k], back->points[k][0] + back->weights[k]);
    EXPECT_EQ(nullptr, ratBSplSurfTranspose(nullptr));
    EXPECT_EQ(nullptr, ratBSplSurfCopy(nullptr));
    for (RatBSplSurf* r : {s, t, back})
        ratBSplSurfFree(r);
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
    EXPECT_NE(std::string::npos,
              out.find("[2][1] : (2.000000,2.000000,1.000000), 2.000000, 5.000000\n"));
    // Spare entries too: 5 x 4 entries, each row closed by its u knot.
    EXPECT_EQ(12 + 20 + 5, std::count(out.begin(), out.end(), '\n'));
    EXPECT_EQ(out.size() - 18, out.rfind("6.000000\n2.000000\n"));

    testing::internal::CaptureStdout();
    ratBSplSurfPrintTransposed(s);
    const std::string tr = testing::internal::GetCapturedStdout();
    EXPECT_EQ(0u, tr.find("RatBSplSurf::printTransposed() :\nordu         : 2\n"));
    EXPECT_EQ(std::string::npos, tr.find("nrmOri"));
    EXPECT_NE(std::string::npos,  // column by column, each entry with its u knot
              tr.find("[1][0] : (1.000000,0.000000,0.000000), 1.250000, 0.000000\n"
                      "[2][0] : (2.000000,0.000000,0.000000), 1.500000, 1.000000\n"));
    testing::internal::CaptureStdout();
    ratBSplSurfCallPrint(nullptr);
    ratBSplSurfPrintTransposed(nullptr);
    EXPECT_EQ("", testing::internal::GetCapturedStdout());
    ratBSplSurfFree(s);
}

// Every entry of the record, spare ones too, row by row or column by column.
TEST(SurfRecord, DumpsListEveryEntryInTheirOrder)
{
    RatBSplSurf* s = makeSmall();
    testing::internal::CaptureStdout();
    ratBSplSurfCallPrint(s);
    ratBSplSurfPrintTransposed(s);
    ratBSplSurfCallPrint(nullptr);
    ratBSplSurfPrintTransposed(nullptr);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(std::string::npos, out.find("[2][1] : (2.000000,2.000000,1.000000), 2.000000, 5.000000\n"));
    EXPECT_NE(std::string::npos, out.find("[1][0] : (1.000000,0.000000,0.000000), 1.250000, 0.000000\n"
                                          "[2][0] : (2.000000,0.000000,0.000000), 1.500000, 1.000000\n"));
    size_t entries = 0;  // 5 x 4 in each dump, none for a null surface
    for (size_t at = out.find("] : ("); at != std::string::npos; at = out.find("] : (", at + 1))
        ++entries;
    EXPECT_EQ(40u, entries);
    ratBSplSurfFree(s);
}

TEST(SurfRecord, SettersAndOffsetFlag)
{
    RatBSplSurf* s = ratBSplSurfCreate(2, 3, 4, 6);
    ratBSplSurfSetPoint(s, 3, 5, 1, 2, 3);  // a spare entry: allowed
    ratBSplSurfSetWeight(s, 1, 2, 0.5);
    ratBSplSurfSetKnotU(s, 3, 9.0);
    ratBSplSurfSetKnotV(s, 5, 7.0);
    EXPECT_EQ(3.0, s->points[3 * 6 + 5][2]);
    EXPECT_EQ(0.5 + 9.0 + 7.0, s->weights[8] + s->knotsu[3] + s->knotsv[5]);
    RatBSplSurf* before = ratBSplSurfCopy(s);
    ratBSplSurfSetPoint(s, 4, 0, 1, 1, 1);
    ratBSplSurfSetPoint(s, 0, 6, 1, 1, 1);
    ratBSplSurfSetPoint(s, -1, 0, 1, 1, 1);
    ratBSplSurfSetWeight(s, 0, -1, 4);
    ratBSplSurfSetKnotU(s, 4, 1.0);
    ratBSplSurfSetKnotV(s, 6, 1.0);
    ratBSplSurfSetKnotU(nullptr, 0, 1.0);
    for (int k = 0; k < 24; ++k)
        EXPECT_EQ(before->points[k][0] + before->weights[k], s->points[k][0] + s->weights[k]);
    ratBSplSurfFree(before);

    const double steps[] = {1e-7, 1e-7, -2e-7, -3.0};
    const int flags[] = {0, 1, 0, 1};
    for (int k = 0; k < 4; ++k) {
        ratBSplSurfAddOffset(s, steps[k]);
        EXPECT_EQ(flags[k], s->isOffsetSurf) << k;
    }
    ratBSplSurfAddOffset(nullptr, 1.0);
    ratBSplSurfFree(s);
}

TEST(SurfRecord, ClosedTestExportsAndWeights)
{
    RatBSplSurf* t = makeTorus(5, 1, 0, 1, 0, 1);
    int cu = -1, cv = -1;
    t->origFormu = t->origFormv = 1;
    ratBSplSurfTestClosed(t, &cu, &cv);
    EXPECT_EQ(1, cu);  // first and last rows (columns) coincide within 1e-7
    EXPECT_EQ(1, cv);
    t->points[(t->noPointsu - t->ordu - 1) * t->noPointsv + 2][0] += 1e-6;
    ratBSplSurfTestClosed(t, &cu, &cv);
    EXPECT_EQ(0, cu);
    EXPECT_EQ(1, cv);
    ratBSplSurfTestClosedTol(t, 1e-5, &cu, &cv);
    EXPECT_EQ(1, cu);
    t->origFormu = 2;  // closed form: no test at all
    ratBSplSurfTestClosed(t, &cu, &cv);
    EXPECT_EQ(1, cu);
    ratBSplSurfFree(t);

    RatBSplSurf* s = makeSmall();  // 3 x 2 control entries
    double pts[18], w[6];
    EXPECT_EQ(0, ratBSplSurfGetPoints(s, 0, pts));
    EXPECT_EQ(0, ratBSplSurfGetWeights(s, 1, w));
    EXPECT_EQ(1.0, pts[3 * 5 + 2]);  // entry (2, 1) at position 5
    EXPECT_EQ(1.5, w[2]);            // entry (2, 0) transposed: 0 * 3 + 2
    EXPECT_EQ(1.5, w[3]);            // entry (0, 1): 1 * 3 + 0
    EXPECT_EQ(5063, ratBSplSurfGetPoints(nullptr, 0, pts));
    EXPECT_EQ(5138, ratBSplSurfGetWeights(nullptr, 0, w));

    EXPECT_EQ(1, ratBSplSurfHasWeights(s));
    for (int k = 0; k < 20; ++k)
        s->weights[k] = 1.0;
    s->weights[1] = 1.0 + 1e-11;
    s->weights[2 * 4 + 3] = 5.0;  // a spare entry plays no part
    EXPECT_EQ(0, ratBSplSurfHasWeights(s));
    s->weights[1] = 1.001;
    EXPECT_EQ(1, ratBSplSurfHasWeights(s));
    ratBSplSurfFree(s);
}

}  // namespace
