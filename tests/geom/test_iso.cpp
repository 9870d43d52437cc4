// Curves through one control row or column of a surface.
#include "geom/geom.h"

#include <gtest/gtest.h>

#include <vector>

namespace surftest {
RatBSplSurf* makeRational20();
RatBSplSurf* makeCylinder(double r, double z0, double z1, double u0, double u1, double v0,
                          double v1);
}  // namespace surftest

namespace {

using namespace surftest;

TEST(IsoCurves, RowsAndColumnsCarryTheNetUnchanged)
{
    RatBSplSurf* s = makeRational20();
    const int rows = s->noPointsu - s->ordu, cols = s->noPointsv - s->ordv;
    for (int i : {0, 7, rows - 1}) {
        RatBSplCurve* c = ratBSplSurfRowCurve(s, i);
        ASSERT_NE(nullptr, c);
        EXPECT_EQ(s->ordv, c->ord);
        EXPECT_EQ(s->noPointsv, c->noPoints);
        for (int k = 0; k < s->noPointsv; ++k) {  // spare entries included
            EXPECT_EQ(s->knotsv[k], c->knots[k]);
            EXPECT_EQ(s->points[i * s->noPointsv + k][1], c->points[k][1]);
            EXPECT_EQ(s->weights[i * s->noPointsv + k], c->weights[k]);
        }
        EXPECT_EQ(1, c->isRational);
        ratBSplCurveFree(c);
    }
    for (int j : {0, 11, cols - 1}) {
        RatBSplCurve* c = ratBSplSurfColumnCurve(s, j);
        ASSERT_NE(nullptr, c);
        EXPECT_EQ(s->ordu, c->ord);
        EXPECT_EQ(s->noPointsu, c->noPoints);
        for (int k = 0; k < s->noPointsu; ++k) {
            EXPECT_EQ(s->knotsu[k], c->knots[k]);
            EXPECT_EQ(s->points[k * s->noPointsv + j][2], c->points[k][2]);
            EXPECT_EQ(s->weights[k * s->noPointsv + j], c->weights[k]);
        }
        ratBSplCurveFree(c);
    }
    // The first row and column of a clamped net are the surface's edges.
    RatBSplCurve* row0 = ratBSplSurfRowCurve(s, 0);
    RatBSplCurve* col0 = ratBSplSurfColumnCurve(s, cols - 1);
    for (double t : {0.0, 0.3, 0.71, 1.0}) {
        const GeomPoint a = ratBSplCurveEvalPoint(row0, t);
        const GeomPoint b = ratBSplSurfEvalPoint(s, 0.0, t);
        EXPECT_NEAR(a.x, b.x, 1e-12);
        EXPECT_NEAR(a.z, b.z, 1e-12);
        const GeomPoint c = ratBSplCurveEvalPoint(col0, t);
        const GeomPoint d = ratBSplSurfEvalPoint(s, t, 1.0);
        EXPECT_NEAR(c.y, d.y, 1e-12);
        EXPECT_NEAR(c.z, d.z, 1e-12);
    }
    ratBSplCurveFree(row0);
    ratBSplCurveFree(col0);

    EXPECT_EQ(nullptr, ratBSplSurfRowCurve(s, rows));
    EXPECT_EQ(nullptr, ratBSplSurfRowCurve(s, -1));
    EXPECT_EQ(nullptr, ratBSplSurfColumnCurve(s, cols));
    EXPECT_EQ(nullptr, ratBSplSurfColumnCurve(s, -1));
    EXPECT_EQ(nullptr, ratBSplSurfRowCurve(nullptr, 0));
    EXPECT_EQ(nullptr, ratBSplSurfColumnCurve(nullptr, 0));
    ratBSplSurfFree(s);
}

TEST(IsoCurves, FlagsFollowTheirDirection)
{
    // Round the axis in u (closed form, here also periodic), open along it.
    RatBSplSurf* s = makeCylinder(10, 0, 20, 0, 4, -1, 3);
    s->periodicu = 1;
    s->isRational = 0;  // weights are copied as they are all the same
    RatBSplCurve* row = ratBSplSurfRowCurve(s, 1);
    RatBSplCurve* col = ratBSplSurfColumnCurve(s, 1);
    ASSERT_NE(nullptr, row);
    ASSERT_NE(nullptr, col);
    EXPECT_EQ(0, row->isPeriodic);
    EXPECT_EQ(1, row->origForm);
    EXPECT_EQ(1, col->isPeriodic);
    EXPECT_EQ(2, col->origForm);
    EXPECT_EQ(0, row->isClosed + col->isClosed);
    EXPECT_EQ(0, row->isRational + col->isRational);
    EXPECT_EQ(s->weights[1 * s->noPointsv], row->weights[0]);
    EXPECT_NE(1.0, row->weights[0]);
    EXPECT_EQ(-1, col->period);
    EXPECT_EQ(0.0, col->knotRange);
    // The column of a closed-form circle evaluates on the circle.
    const GeomPoint p = ratBSplCurveEvalPoint(col, 0.37);
    EXPECT_NEAR(100.0, p.x * p.x + p.y * p.y, 1e-10);
    ratBSplCurveFree(row);
    ratBSplCurveFree(col);
    ratBSplSurfFree(s);
}

}  // namespace
