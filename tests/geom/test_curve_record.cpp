// The curve record: creation, release, copy, dump, re-size and edits.
#include "curve_ref.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// Runs each test in a fresh folder, because the dump appends to a file in
// the current folder.
class CurveRecord : public testing::Test {
protected:
    void SetUp() override
    {
        char tmpl[] = "/tmp/geomcurveXXXXXX";
        ASSERT_NE(nullptr, mkdtemp(tmpl));
        dir_ = tmpl;
        std::filesystem::current_path(dir_);
    }
    void TearDown() override
    {
        std::filesystem::current_path(oldDir_);
        if (!dir_.empty())
            std::filesystem::remove_all(dir_);
    }
    static std::string readDump()
    {
        std::ifstream in("rbsptmp.out");
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    const std::filesystem::path oldDir_ = std::filesystem::current_path();
    std::filesystem::path dir_;
};

// Order 2, three control points, knots 0, 0, 1, 2, 2.
RatBSplCurve* makePolyline()
{
    RatBSplCurve* c = ratBSplCurveCreate(2, 5);
    const double k[5] = {0, 0, 1, 2, 2};
    for (int i = 0; i < 5; ++i)
        ratBSplCurveSetKnot(c, i, k[i]);
    ratBSplCurveSetPoint(c, 0, 0, 0, 0);
    ratBSplCurveSetPoint(c, 1, 1, 2, 0);
    ratBSplCurveSetPoint(c, 2, 3, 2, 1);
    for (int i = 0; i < 3; ++i)
        ratBSplCurveSetWeight(c, i, 1.0);
    return c;
}

}  // namespace

TEST_F(CurveRecord, CreateZeroesTheArraysAndRefusesImpossibleSizes)
{
    RatBSplCurve* c = ratBSplCurveCreate(2, 4);
    ASSERT_NE(nullptr, c);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(0.0, c->knots[i] + c->weights[i] + c->points[i][0] + c->workPoints[i][2]);
    ratBSplCurveSetKnot(c, 4, 99.0);  // one past the last knot
    ratBSplCurveSetKnot(c, -1, 99.0);
    EXPECT_EQ(0.0, c->knots[3]);
    ratBSplCurveFree(c);
    ratBSplCurveFree(nullptr);

    // An initialised-empty record owns no arrays; freeing it releases only it.
    RatBSplCurve* empty = static_cast<RatBSplCurve*>(std::malloc(sizeof(RatBSplCurve)));
    ratBSplCurveInit(empty);
    EXPECT_EQ(-1, empty->noPoints);
    EXPECT_EQ(nullptr, empty->points);
    ratBSplCurveFree(empty);

    // An impossible size fails as an allocation.
    geomLastError = -1;
    EXPECT_EQ(nullptr, ratBSplCurveCreate(2, -3));
    EXPECT_EQ(1, geomLastError);
    EXPECT_STREQ("1,10001,564", geomMessageBuffer);
}

TEST_F(CurveRecord, CopyDumpsIdenticallyWithZeroWorkArrays)
{
    RatBSplCurve* c = makePolyline();
    c->isClosed = 1;
    c->origForm = 1;
    c->knotRange = 2.5;
    c->workWeights[1] = 42.0;
    RatBSplCurve* d = ratBSplCurveCopy(c);
    ASSERT_NE(nullptr, d);
    EXPECT_EQ(0.0, d->workWeights[1]);
    EXPECT_EQ(1, d->isClosed);

    ratBSplCurveCallPrint(c);
    const std::string first = readDump();
    ratBSplCurveCallPrint(d);
    const std::string both = readDump();
    ASSERT_EQ(2 * first.size(), both.size());
    EXPECT_EQ(first, both.substr(first.size()));
    EXPECT_NE(std::string::npos, first.find("knotRange  : 2.500000\n"));
    EXPECT_NE(std::string::npos, first.find("[2] : (3.000000,2.000000,1.000000), 1.000000, "
                                            "1.000000, 1.000000\n"));
    ratBSplCurveFree(c);
    ratBSplCurveFree(d);

    // A single entry has no following knot: its step reads 0.
    RatBSplCurve* one = ratBSplCurveCreate(1, 1);
    one->knots[0] = 7.0;
    ratBSplCurvePrint(one);
    EXPECT_NE(std::string::npos, readDump().find("[0] : (0.000000,0.000000,0.000000), 0.000000, "
                                                 "7.000000, 0.000000\n"));
    ratBSplCurveFree(one);
}

TEST_F(CurveRecord, ReverseNegatesKnotsAndRunsTheCurveBackwards)
{
    RatBSplCurve* c = makePolyline();
    RatBSplCurve* r = ratBSplCurveCopy(c);
    ratBSplCurveReverse(r);
    EXPECT_THAT(curveref::knotsOf(r), curveref::ElementsAre(-2, -2, -1, 0, 0));
    EXPECT_EQ(3.0, r->points[0][0]);
    EXPECT_EQ(0.0, r->points[2][0]);
    for (double t = 0.0; t <= 1.0; t += 0.125) {
        const GeomPoint a = ratBSplCurveEvalPoint(c, t);
        const GeomPoint b = ratBSplCurveEvalPoint(r, 1.0 - t);
        EXPECT_NEAR(a.x, b.x, 1e-12);
        EXPECT_NEAR(a.y, b.y, 1e-12);
        EXPECT_NEAR(a.z, b.z, 1e-12);
    }
    ratBSplCurveReverse(r);
    EXPECT_EQ(curveref::knotsOf(c), curveref::knotsOf(r));
    EXPECT_EQ(1.0, r->points[1][0]);

    // An odd count negates the middle knot exactly once.
    RatBSplCurve* odd = curveref::make(1, {1, 2, 4}, {{0, 0, 0}, {0, 0, 0}});
    ratBSplCurveReverse(odd);
    EXPECT_THAT(curveref::knotsOf(odd), curveref::ElementsAre(-4, -2, -1));
    ratBSplCurveFree(odd);
    ratBSplCurveFree(c);
    ratBSplCurveFree(r);
}

TEST_F(CurveRecord, ResizeKeepsEntriesAndNeverLeavesShortArrays)
{
    RatBSplCurve* c = makePolyline();
    ASSERT_EQ(1, ratBSplCurveResize(c, 9));
    EXPECT_EQ(9, c->noPoints);
    EXPECT_EQ(2.0, c->knots[3]);
    EXPECT_EQ(3.0, c->points[2][0]);
    for (int i = 0; i < 9; ++i)
        c->knots[i] = i;  // the grown arrays are really that long
    c->workWeights[10] = 1.0;

    ASSERT_EQ(1, ratBSplCurveResize(c, 0));
    EXPECT_EQ(0, c->noPoints);
    EXPECT_NE(nullptr, c->points);
    EXPECT_NE(nullptr, c->knots);
    EXPECT_NE(nullptr, c->workWeights);
    c->workWeights[1] = 0.0;  // two scratch entries remain

    EXPECT_EQ(0, ratBSplCurveResize(c, -1));
    EXPECT_EQ(0, ratBSplCurveResize(nullptr, 3));
    ratBSplCurveFree(c);
}

#if !defined(__SANITIZE_ADDRESS__)
TEST_F(CurveRecord, FailedResizeLeavesTheCurveAsItWas)
{
    // Far beyond the machine's memory: the allocation fails and the curve
    // keeps its count, its entries and its ability to be evaluated.
    RatBSplCurve* c = makePolyline();
    geomLastError = -1;
    EXPECT_EQ(0, ratBSplCurveResize(c, INT_MAX));
    EXPECT_EQ(1, geomLastError);
    EXPECT_STREQ("1,10001,864", geomMessageBuffer);
    EXPECT_EQ(5, c->noPoints);
    EXPECT_EQ(2.0, c->knots[4]);
    const GeomPoint end = ratBSplCurveEvalPoint(c, 1.0);
    EXPECT_EQ(3.0, end.x);
    ratBSplCurveFree(c);
}
#endif

TEST_F(CurveRecord, TransformScalesByTheFirstRowOnTopOfTheMatrix)
{
    RatBSplCurve* c = makePolyline();
    c->points[3][0] = 50.0;  // a spare entry, not part of the polygon
    // A uniform scale of 2: the block scales by 2 and the length of the
    // first row once more, 4 P + T in all.
    const double M[12] = {2, 0, 0, 1, 0, 2, 0, 2, 0, 0, 2, 3};
    ratBSplCurveTransform(c, M);
    EXPECT_EQ(5.0, c->points[1][0]);
    EXPECT_EQ(10.0, c->points[1][1]);
    EXPECT_EQ(13.0, c->points[2][0]);
    EXPECT_EQ(7.0, c->points[2][2]);
    EXPECT_EQ(50.0, c->points[3][0]);
    // Box and point list cover the control polygon, not the spare entries.
    double lo[3], hi[3], xy[6];
    ratBSplCurveBoundingBox(c, lo, hi);
    EXPECT_EQ(1.0, lo[0]);
    EXPECT_EQ(13.0, hi[0]);
    EXPECT_EQ(7.0, hi[2]);
    EXPECT_EQ(0, ratBSplCurveGetPoints(c, 1, xy));
    EXPECT_EQ(5.0, xy[2]);
    EXPECT_EQ(13.0, xy[4]);
    EXPECT_EQ(10.0, xy[5]);
    EXPECT_EQ(6155, ratBSplCurveGetPoints(nullptr, 1, xy));

    // A rotation by a quarter turn about z with a shift.
    const double Rz[12] = {0, -1, 0, 10, 1, 0, 0, 0, 0, 0, 1, 0};
    ratBSplCurveTransform(c, Rz);
    EXPECT_DOUBLE_EQ(0.0, c->points[1][0]);
    EXPECT_DOUBLE_EQ(5.0, c->points[1][1]);
    ratBSplCurveFree(c);
}
