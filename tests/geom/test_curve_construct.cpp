// Curve constructors checked against the exact shapes they stand for: every
// point of a circle, arc, conic or parabola lies on it, and the ends and
// piece counts are those asked for.
#include "curve_ref.h"

#include <functional>

using namespace curveref;

namespace {

const double kPi = 3.14159265358979323846;

using CurveBuild = NoErrorYet;

// Largest |f(point)| over 1000 reference points of the curve's domain.
double worstOn(const RatBSplCurve* c, const std::function<double(const GeomPoint&)>& f)
{
    double worst = 0;
    for (int i = 0; i < 1000; ++i) {
        const double u = domainStart(c) + (domainEnd(c) - domainStart(c)) * i / 999;
        worst = std::fmax(worst, std::fabs(f(point(c, u))));
    }
    return worst;
}

TEST_F(CurveBuild, PolylineLineAndKnotsCarryTheirPointsKnotsAndFlags)
{
    const double xy[] = {0, 0, 1, 0, 1, 1};
    CurvePtr c = own(ratBSplCurveFromPolyline(3, xy, 2));
    ASSERT_TRUE(c);
    EXPECT_EQ(2, c->ord);
    EXPECT_THAT(knotsOf(c.get()), ElementsAre(0, 0, 1, 2, 2));
    EXPECT_EQ(0.0, dist(P(1, 1, 0), P(c->points[2][0], c->points[2][1], c->points[2][2])));
    EXPECT_EQ(1.0, c->weights[1]);
    EXPECT_EQ(nullptr, ratBSplCurveFromPolyline(3, xy, 4));

    // The scale factor follows the control polygon's length, within [1, 1000].
    const double knots[] = {0, 0, 1, 1};
    const struct {
        double length, factor;
    } cases[] = {{50, 50}, {0.5, 1}, {5000, 1000}};
    for (const auto& cs : cases) {
        const GeomVec3 pts[2] = {{0, 0, 0}, {cs.length, 0, 0}};
        CurvePtr s = own(ratBSplCurveFromKnots(2, 4, knots, pts, nullptr, 1, 1));
        EXPECT_DOUBLE_EQ(cs.factor, s->knots[3]);
        EXPECT_EQ(0.0, s->knots[0]);
        EXPECT_EQ(0, s->isRational);
        EXPECT_EQ(2, s->origForm);
    }
}

TEST_F(CurveBuild, CirclesAndEllipsesLieOnTheirExactShape)
{
    // A tilted ellipse with axes of 3 and 2 about (1, -2, 4).
    const double X[3] = {3 * std::sqrt(0.5), 0, 3 * std::sqrt(0.5)};
    const double Y[3] = {0, 2, 0};
    CurvePtr c = own(ratBSplCurveCircle(P(1, -2, 4), P(Y[0], Y[1], Y[2]), P(X[0], X[1], X[2])));
    ASSERT_TRUE(c);
    EXPECT_EQ(15, c->noPoints);
    EXPECT_DOUBLE_EQ(12.0, domainEnd(c.get()));
    EXPECT_EQ(1, c->isClosed);
    EXPECT_EQ(2, c->origForm);
    auto onEllipse = [&](const GeomPoint& p) {
        const double d[3] = {p.x - 1, p.y + 2, p.z - 4};
        const double x = (d[0] * X[0] + d[2] * X[2]) / 9, y = d[1] / 2;
        const double off = d[0] * X[2] - d[2] * X[0];   // out of the ellipse's plane
        return std::fabs(x * x + y * y - 1) + std::fabs(off);
    };
    EXPECT_LT(worstOn(c.get(), onEllipse), 1e-13);
    EXPECT_LT(dist(P(1 + X[0], -2, 4 + X[2]), point(c.get(), 0)), 1e-14);
    EXPECT_LT(dist(P(1, 0, 4), point(c.get(), 3)), 1e-14);
}

TEST_F(CurveBuild, ArcsByAxesCountQuarterPiecesAndEndWhereAsked)
{
    const GeomPoint O = P(0, 0, 0), Y = P(0, 2, 0), X = P(2, 0, 0);
    auto onCircle = [](const GeomPoint& p) { return std::hypot(p.x, p.y) - 2 + std::fabs(p.z); };
    const struct {
        double degrees;
        int pieces;
    } cases[] = {{90, 1}, {100, 2}, {180, 2}, {200, 3}, {300, 4}};
    for (const auto& cs : cases) {
        const double a = cs.degrees * kPi / 180;
        CurvePtr c = own(ratBSplCurveArcByAxesOpen(O, Y, X, P(2, 0, 0), P(2 * std::cos(a), 2 * std::sin(a), 0)));
        ASSERT_TRUE(c);
        EXPECT_EQ(3 * cs.pieces + 3, c->noPoints) << cs.degrees;
        EXPECT_EQ(cs.pieces, domainEnd(c.get()));
        EXPECT_LT(worstOn(c.get(), onCircle), 1e-14);
        EXPECT_LT(dist(P(2 * std::cos(a), 2 * std::sin(a), 0), point(c.get(), cs.pieces)), 1e-14);
    }
    CurvePtr full = own(ratBSplCurveArcByAxes(O, Y, X, P(0, 2, 0), P(0, 2, 0), 1));
    EXPECT_EQ(15, full->noPoints);
    EXPECT_LT(dist(P(-2, 0, 0), point(full.get(), 1)), 1e-14);
    EXPECT_EQ(0, full->isClosed);
    CurvePtr empty = own(ratBSplCurveArcByAxesOpen(O, Y, X, P(0, 2, 0), P(0, 2, 0)));
    EXPECT_EQ(6, empty->noPoints);
    EXPECT_LT(dist(P(0, 2, 0), point(empty.get(), 0.5)), 1e-14);
}

TEST_F(CurveBuild, ArcByAngleKeepsTheAxisAndSplitsAnySweepIntoQuarters)
{
    const double O[3] = {1, 1, 0}, S[3] = {4, 1, 0}, N[3] = {0, 0, 5};
    auto onCircle = [&](const GeomPoint& p) { return std::hypot(p.x - 1, p.y - 1) - 3 + std::fabs(p.z); };
    for (double sweep : {kPi / 2, 3 * kPi, -2.5 * kPi, 9 * kPi}) {
        CurvePtr c = own(ratBSplCurveArcByAngle(O, S, N, sweep));
        ASSERT_TRUE(c);
        const int pieces = int(std::ceil(std::fabs(sweep) / (kPi / 2) - 1e-9));
        EXPECT_EQ(3 * pieces + 3, c->noPoints) << sweep;
        EXPECT_LT(worstOn(c.get(), onCircle), 1e-13);
        // The first quarter turns counter-clockwise about N for a positive sweep.
        const GeomPoint q = point(c.get(), domainEnd(c.get()) * (kPi / 2) / std::fabs(sweep));
        EXPECT_LT(dist(P(1, sweep > 0 ? 4 : -2, 0), q), 1e-12) << sweep;
        const GeomPoint e = point(c.get(), domainEnd(c.get()));
        EXPECT_LT(dist(P(1 + 3 * std::cos(sweep), 1 + 3 * std::sin(sweep), 0), e), 1e-12);
    }
    EXPECT_EQ(5.0, N[2]);
    const double zero[3] = {0, 0, 0};
    EXPECT_EQ(nullptr, ratBSplCurveArcByAngle(O, S, zero, 1.0));
    EXPECT_EQ(GEOM_ERR_ARGUMENT, geomLastError);
    geomLastError = -1;
    EXPECT_EQ(nullptr, ratBSplCurveArcByAngle(O, S, N, std::nan("")));
    EXPECT_EQ(GEOM_ERR_ARGUMENT, geomLastError);
    geomLastError = -1;
    EXPECT_EQ(nullptr, ratBSplCurveArcByAngle(O, S, N, 2001 * 2 * kPi));
    EXPECT_EQ(GEOM_ERR_ARGUMENT, geomLastError);
}

// A start on the centre sweeps a circle of radius 0: every control point is
// the centre, and that is no error.
TEST_F(CurveBuild, ArcByAngleFromTheCentreIsAnArcOfRadiusZero)
{
    const double O[3] = {1, 2, 3}, N[3] = {0, 0, 1};
    for (double sweep : {1.0, -3 * kPi}) {
        SCOPED_TRACE(sweep);
        CurvePtr c = own(ratBSplCurveArcByAngle(O, O, N, sweep));
        ASSERT_TRUE(c);
        const int pieces = std::fabs(sweep) < kPi / 2 ? 1 : 6;
        EXPECT_EQ(3 * pieces + 3, c->noPoints);
        for (int i = 0; i < 3 * pieces; ++i)
            EXPECT_EQ(0.0, dist(P(1, 2, 3), P(c->points[i][0], c->points[i][1], c->points[i][2]))) << i;
        EXPECT_LT(dist(P(1, 2, 3), point(c.get(), domainEnd(c.get()) / 3)), 1e-15);
    }
    EXPECT_EQ(-1, geomLastError);
}

TEST_F(CurveBuild, ConicsLieOnTheirEquationAndEndWhereAsked)
{
    const struct {
        double q[6], x0, y0, x1, y1;
        int kind, pieces;
    } cases[] = {
        {{1, 0, 1, 0, 0, -1}, 1, 0, 1, 0, GEOM_CONIC_ELLIPSE, 4},            // full circle
        {{1, 0, 4, 0, 0, -4}, 2, 0, 0, 1, GEOM_CONIC_ELLIPSE, 1},            // quarter ellipse
        {{1, 0, 4, 0, 0, -4}, 2, 0, -2, 0, GEOM_CONIC_ELLIPSE, 2},           // half, parallel ends
        {{1, 0, 4, 0, 0, -4}, 2, 0, 0, -1, GEOM_CONIC_ELLIPSE, 2},           // three quarters
        {{1, 0, -1, 0, 0, -1}, 1, 0, 2, std::sqrt(3.0), GEOM_CONIC_HYPERBOLA, 1},
        {{0, 0, 1, -4, 0, 0}, 0, 0, 1, 2, GEOM_CONIC_PARABOLA, 1},
    };
    for (const auto& cs : cases) {
        int kind = -1;
        const double* q = cs.q;
        CurvePtr c = own(ratBSplCurveConic2d(q[0], q[1], q[2], q[3], q[4], q[5], cs.x0, cs.y0, cs.x1, cs.y1, &kind));
        ASSERT_TRUE(c);
        EXPECT_EQ(cs.kind, kind);
        EXPECT_EQ(3 * cs.pieces + 3, c->noPoints) << cs.x1 << "," << cs.y1;
        EXPECT_EQ(cs.pieces == 4 ? 2 : 0, c->origForm);
        EXPECT_LT(worstOn(c.get(), [&](const GeomPoint& p) {
                      return q[0] * p.x * p.x + q[1] * p.x * p.y + q[2] * p.y * p.y + q[3] * p.x + q[4] * p.y + q[5];
                  }),
                  1e-12);
        EXPECT_LT(dist(P(cs.x0, cs.y0, 0), point(c.get(), domainStart(c.get()))), 1e-14);
        EXPECT_LT(dist(P(cs.x1, cs.y1, 0), point(c.get(), domainEnd(c.get()))), 1e-14);
        // The three-quarter arc passes the far side of the centre.
        if (cs.y1 == -1) {
            EXPECT_LT(1 - worstOn(c.get(), [](const GeomPoint& p) { return std::fmax(0.0, -p.x / 2); }), 1e-6);
        }
    }
    int kind = -1;
    EXPECT_EQ(nullptr, ratBSplCurveConic2d(0, 0, 0, 1, 1, 0, 0, 0, 1, -1, &kind));
    EXPECT_EQ(GEOM_CONIC_DEGENERATE, kind);
    EXPECT_STREQ("2,10001,1860", geomMessageBuffer);
}

TEST_F(CurveBuild, SpaceParabolaKeepsFocusAndDirectrixDistancesEqual)
{
    const double V[3] = {1, 2, 3}, F[3] = {1, 2, 4.5}, S[3] = {1, -4, 9}, E[3] = {1, 6, 3 + 16 / 6.0};
    CurvePtr c = own(ratBSplCurveParabola3d(V, F, S, E));
    ASSERT_TRUE(c);
    // Focus distance equals the distance to the directrix plane z = 1.5.
    EXPECT_LT(worstOn(c.get(), [](const GeomPoint& p) {
                  return std::sqrt(std::pow(p.x - 1, 2) + std::pow(p.y - 2, 2) + std::pow(p.z - 4.5, 2)) - (p.z - 1.5);
              }),
              1e-12);
    EXPECT_LT(dist(P(1, -4, 9), point(c.get(), domainStart(c.get()))), 1e-12);
    EXPECT_LT(dist(P(E[0], E[1], E[2]), point(c.get(), domainEnd(c.get()))), 1e-12);
    EXPECT_EQ(nullptr, ratBSplCurveParabola3d(V, V, S, E));
}

TEST_F(CurveBuild, CubicPiecesReproduceTheirPolynomials)
{
    const double breaks[] = {-1, 0.5, 3};
    const GeomVec3 coef[8] = {{1, 0, 2}, {0.5, -1, 0}, {2, 0.3, -1}, {-0.4, 1, 0.2},
                              {0, 1, 1}, {1, 1, -2}, {0, -0.5, 0.25}, {0.1, 0, -0.3}};
    CurvePtr c = own(ratBSplCurveFromCubicPieces(2, breaks, coef));
    ASSERT_TRUE(c);
    EXPECT_EQ(12, c->noPoints);
    EXPECT_EQ(0, c->isRational + c->isClosed + c->origForm);
    for (int piece = 0; piece < 2; ++piece)
        for (int i = piece; i <= 10; ++i) {   // a break belongs to the piece that ends there
            const double h = breaks[piece + 1] - breaks[piece], s = h * i / 10;
            const GeomVec3* k = coef + 4 * piece;
            const GeomPoint want = P(k[0][0] + s * (k[1][0] + s * (k[2][0] + s * k[3][0])),
                                     k[0][1] + s * (k[1][1] + s * (k[2][1] + s * k[3][1])),
                                     k[0][2] + s * (k[1][2] + s * (k[2][2] + s * k[3][2])));
            EXPECT_LT(dist(want, point(c.get(), breaks[piece] + s)), 1e-12);
        }
}

}  // namespace
