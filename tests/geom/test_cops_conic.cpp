// Circle, arc and conic pieces evaluate on their shapes; the parameter search
// on a piece reports whether it reached the point.
#include "geom/geom.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using ::testing::ElementsAre;

// Largest deviation from the circle of radius r about the origin (z = 0) over
// samples of a curve built from the given arrays.
double circleDeviation(const GeomVec3* p, const double* w, const double* k, int nKnots, double r)
{
    RatBSplCurve* c = ratBSplCurveCreate(3, nKnots);
    for (int i = 0; i < nKnots; ++i) {
        c->knots[i] = k[i];
        if (i < nKnots - 3) {
            c->weights[i] = w[i];
            ratBSplCurveSetPoint(c, i, p[i][0], p[i][1], p[i][2]);
        }
    }
    double worst = 0.0;
    for (int s = 0; s <= 400; ++s) {
        const GeomPoint q = ratBSplCurveEvalPoint(c, s / 400.0);
        worst = std::fmax(worst, std::fabs(std::hypot(q.x, q.y) - r) + std::fabs(q.z));
    }
    ratBSplCurveFree(c);
    return worst;
}

} // namespace

TEST(ConicPieces, FullCirclesLieOnTheCircle)
{
    const double O[3] = {0, 0, 0}, X[3] = {2, 0, 0}, Y[3] = {0, 2, 0};
    GeomVec3 p[12];
    double w[12], k[15];
    fullCircleFourPieces(O, X, Y, p, w, k);
    EXPECT_THAT(k, ElementsAre(0, 0, 0, 3, 3, 3, 6, 6, 6, 9, 9, 9, 12, 12, 12));
    EXPECT_NEAR(2.0, p[0][1], 1e-15); // starts at O + Y
    EXPECT_LT(circleDeviation(p, w, k, 15, 2.0), 1e-12);
    fullCircleFourPieces(O, X, Y, p, w, nullptr);  // the knots are optional

    const double Xu[3] = {1, 0, 0}, Yu[3] = {0, 1, 0};
    fullCircleThreePieces(O, Xu, Yu, p, w, k);
    EXPECT_NEAR(1.7320508075688772, p[1][1], 1e-15);
    EXPECT_NEAR(-2.0, p[4][0], 1e-15);
    EXPECT_LT(circleDeviation(p, w, k, 12, 1.0), 1e-12);
    fullCircleThreePiecesShared(O, Xu, Yu, p, w, k);
    EXPECT_DOUBLE_EQ(2.0, k[6]);
    EXPECT_LT(circleDeviation(p, w, k, 10, 1.0), 1e-12);
}

TEST(ConicPieces, ArcsByAnglesAndBetweenVectors)
{
    const double O[3] = {0, 0, 0}, X[3] = {1, 0, 0}, Y[3] = {0, 1, 0}, N[3] = {0, 0, 1};
    GeomVec3 p[12];
    double w[12], k[15];
    arcPiecesByAngles(O, X, Y, 0.0, M_PI, 2, p, w, k);
    EXPECT_THAT(std::vector<double>(k, k + 9), ElementsAre(0, 0, 0, 1, 1, 1, 2, 2, 2));
    EXPECT_LT(circleDeviation(p, w, k, 9, 1.0), 1e-12);

    arcPiecesBetweenVectors(O, 1, X, Y, N, 1, p, w, k);
    EXPECT_NEAR(1.0, p[1][0], 1e-12);
    EXPECT_NEAR(1.0, p[1][1], 1e-12);
    EXPECT_NEAR(std::cos(M_PI / 4), w[1], 1e-12);

    // The long way: three quarters through (0, -1) and (-1, 0) to (0, 1).
    arcPiecesBetweenVectors(O, 0, X, Y, N, 3, p, w, k);
    EXPECT_NEAR(-1.0, p[2][1], 1e-12);
    EXPECT_NEAR(-1.0, p[5][0], 1e-12);
    EXPECT_NEAR(1.0, p[8][1], 1e-12);
    EXPECT_LT(circleDeviation(p, w, k, 12, 1.0), 1e-12);
    arcPiecesBetweenVectorsAuto(O, 1, X, Y, 2, p, w, k);
    EXPECT_NEAR(1.0, p[5][1], 1e-12);
}

// No piece: only the three closing knots, all 0; a negative count writes
// nothing at all.
TEST(ConicPieces, ArcsByAnglesWithNoPieceWriteOnlyTheClosingKnots)
{
    const double O[3] = {0, 0, 0}, X[3] = {1, 0, 0}, Y[3] = {0, 1, 0};
    GeomVec3 p[3] = {{7, 7, 7}, {7, 7, 7}, {7, 7, 7}};
    double w[3] = {7, 7, 7}, k[4] = {7, 7, 7, 7};
    arcPiecesByAngles(O, X, Y, 0.0, M_PI, 0, p, w, k);
    EXPECT_THAT(std::vector<double>(k, k + 4), ElementsAre(0, 0, 0, 7));
    EXPECT_THAT(std::vector<double>(w, w + 3), ElementsAre(7, 7, 7));
    EXPECT_EQ(7.0, p[0][0]);

    double untouched[4] = {7, 7, 7, 7};
    arcPiecesByAngles(O, X, Y, 0.0, M_PI, -1, p, w, untouched);
    EXPECT_THAT(std::vector<double>(untouched, untouched + 4), ElementsAre(7, 7, 7, 7));
}

TEST(ConicPieces, Conic2dPiece)
{
    GeomVec3 p[3];
    double w[3];
    double k[6] = {0, 0, 0, 0, 0, 0};
    ASSERT_EQ(1, conic2dPiece(1, 0, 1, 0, 0, -1, 1, 0, 0, 1, p, w, k));
    EXPECT_NEAR(1.0, p[1][0], 1e-12);
    EXPECT_NEAR(1.0, p[1][1], 1e-12);
    EXPECT_NEAR(std::cos(M_PI / 4), w[1], 1e-9);
    EXPECT_NEAR(2.0, k[3], 1e-12);
    // Parallel tangents at opposite points.
    const int lastError = geomLastError;
    geomLastError = -1;
    EXPECT_EQ(0, conic2dPiece(1, 0, 1, 0, 0, -1, 1, 0, -1, 0, p, w, k));
    EXPECT_EQ(GEOM_ERR_ARGUMENT, geomLastError);
    geomLastError = lastError;
    // Pieces of other conics are checked on their equations through the
    // public constructor (test_curve_construct.cpp).
}

TEST(ConicPieces, CubicToBezier)
{
    GeomVec3 c[4] = {{0, 0, 0}, {3, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    GeomVec3 p[4];
    double w[4], k[8] = {};
    ASSERT_EQ(1, cubicToBezierPiece(0.0, 1.0, c, p, w, k));
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(i, p[i][0], 1e-15);
        EXPECT_EQ(1.0, w[i]);
        EXPECT_EQ(1.0, k[4 + i]);
    }
    // Genuine cubics are checked through the public constructor of cubic
    // pieces (test_curve_construct.cpp).
}

TEST(ConicPieces, ParameterAtPoint)
{
    const double O[3] = {0, 0, 0}, X[3] = {1, 0, 0}, Y[3] = {0, 1, 0};
    GeomVec3 p[3];
    double w[3];
    ellipseArcToConicPiece(O, X, Y, X, Y, p, w);
    const double mid[3] = {std::sqrt(0.5), std::sqrt(0.5), 0};
    double t = -1;
    EXPECT_EQ(1, conicPieceParamAtPoint(p, w, mid, &t));
    EXPECT_NEAR(0.5, t, 1e-6);
    EXPECT_EQ(1, conicPieceParamAtPoint(p, w, X, &t));
    EXPECT_EQ(0.0, t);
    // A point whose projection the piece can match but which is 0.3 off it:
    // the search cannot come within 1e-6 and says so.
    const double off[3] = {std::sqrt(0.5) + 0.3, std::sqrt(0.5) + 0.3, 0};
    EXPECT_EQ(0, conicPieceParamAtPoint(p, w, off, &t));
    EXPECT_NEAR(0.5, t, 1e-3);
}
