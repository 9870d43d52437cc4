// Curves through one control row or column of a surface.
#include "surf_nets.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(IsoCurves, RowsAndColumnsCarryTheNetUnchanged)
{
    RatBSplSurf* s = surftest::makeRational20();
    const int rows = s->noPointsu - s->ordu, cols = s->noPointsv - s->ordv;
    RatBSplCurve* row = ratBSplSurfRowCurve(s, rows - 1);
    RatBSplCurve* col = ratBSplSurfColumnCurve(s, cols - 1);
    ASSERT_TRUE(row && col);
    EXPECT_EQ(s->ordv, row->ord);
    EXPECT_EQ(s->noPointsu, col->noPoints);
    for (int k = 0; k < s->noPointsv; ++k) {  // spare entries included
        const int at = (rows - 1) * s->noPointsv + k;
        EXPECT_EQ(s->knotsv[k], row->knots[k]);
        EXPECT_EQ(s->points[at][1] + s->weights[at], row->points[k][1] + row->weights[k]);
        const int down = k * s->noPointsv + cols - 1;
        EXPECT_EQ(s->knotsu[k], col->knots[k]);
        EXPECT_EQ(s->points[down][2] + s->weights[down], col->points[k][2] + col->weights[k]);
    }
    // The last row and column of a clamped net are edges of the surface.
    for (double t : {0.0, 0.3, 0.71, 1.0}) {
        const GeomPoint a = ratBSplCurveEvalPoint(row, t), b = ratBSplSurfEvalPoint(s, 1.0, t);
        const GeomPoint c = ratBSplCurveEvalPoint(col, t), d = ratBSplSurfEvalPoint(s, t, 1.0);
        EXPECT_NEAR(0.0, std::fabs(a.x - b.x) + std::fabs(a.z - b.z), 1e-12);
        EXPECT_NEAR(0.0, std::fabs(c.y - d.y) + std::fabs(c.z - d.z), 1e-12);
    }
    ratBSplCurveFree(row);
    ratBSplCurveFree(col);
    for (int bad : {-1, rows})
        EXPECT_EQ(nullptr, ratBSplSurfRowCurve(s, bad));
    for (int bad : {-1, cols})
        EXPECT_EQ(nullptr, ratBSplSurfColumnCurve(s, bad));
    EXPECT_EQ(nullptr, ratBSplSurfRowCurve(nullptr, 0));
    EXPECT_EQ(nullptr, ratBSplSurfColumnCurve(nullptr, 0));
    ratBSplSurfFree(s);
}

TEST(IsoCurves, FlagsFollowTheirDirection)
{
    // Round the axis in u (closed form, here also periodic), open along it.
    RatBSplSurf* s = surftest::makeCylinder(10, 0, 20, 0, 4, -1, 3);
    s->periodicu = 1;
    s->isRational = 0;  // the weights are copied all the same
    RatBSplCurve* row = ratBSplSurfRowCurve(s, 1);
    RatBSplCurve* col = ratBSplSurfColumnCurve(s, 1);
    EXPECT_EQ(0, row->isPeriodic);
    EXPECT_EQ(1, row->origForm);
    EXPECT_EQ(1, col->isPeriodic);
    EXPECT_EQ(2, col->origForm);
    EXPECT_EQ(0, row->isClosed + col->isClosed + row->isRational + col->isRational);
    EXPECT_EQ(s->weights[s->noPointsv], row->weights[0]);
    const GeomPoint p = ratBSplCurveEvalPoint(col, 0.37);  // on the circle
    EXPECT_NEAR(100.0, p.x * p.x + p.y * p.y, 1e-10);
    ratBSplCurveFree(row);
    ratBSplCurveFree(col);
    ratBSplSurfFree(s);
}

}  // namespace
