// Surface refinement keeps the surface: knot insertion, clamping, seam copies
// and sub-surfaces are compared with the unrefined surface point by point.
// Random nets, closed or not, and windows across their seams are the edit
// campaign's (test_random_edits.cpp); here the ends, snaps and refusals.
#include "geom/geom.h"
#include "curve_ref.h"
#include "surf_nets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using namespace surftest;

// Largest distance between `refined` and `original` over a 31 x 31 grid of
// knot values of `refined`'s domain.
double deviation(RatBSplSurf* original, RatBSplSurf* refined)
{
    double worst = 0.0;
    for (int a = 0; a <= 30; ++a)
        for (int b = 0; b <= 30; ++b) {
            const double U = knotU(refined, a / 30.0), V = knotV(refined, b / 30.0);
            worst = std::fmax(worst, dist(ratBSplSurfEvalPoint(original, normU(original, U), normV(original, V)),
                                         ratBSplSurfEvalPoint(refined, a / 30.0, b / 30.0)));
        }
    return worst;
}

using SurfaceRefine = curveref::NoErrorYet;

// Insertion inside spans on random nets is the edit campaign's; here the
// ends, a parameter clamped from outside, the same parameter twice and the
// fields that ride along, on a net with multiple knots and a closed one.
TEST_F(SurfaceRefine, KnotInsertionKeepsTheShapeInBothDirections)
{
    for (RatBSplSurf* (*make)() : {makeRational20, +[] { return makeTorus(10.0, 2.0, 0.0, 4.0, -1.0, 1.0); }}) {
        auto original = own(make());
        RatBSplSurf* s = ratBSplSurfCopy(original.get());
        s->nrmOri = -1;
        s->offset = 0.5;
        s->isOffsetSurf = 1;
        const int nu = s->noPointsu, nv = s->noPointsv, pu = s->periodu, pv = s->periodv;
        const double at[] = {0.37, 0.5, 0.0, 1.0, 1.2, 0.37};
        int inserted = 0;
        for (double t : at) {
            inserted += ratBSplSurfInsertKnotU(&s, t);
            inserted += ratBSplSurfInsertKnotV(&s, 1.0 - t);
        }
        auto refined = own(s);
        EXPECT_EQ(12, inserted);
        EXPECT_EQ(nu + 6, refined->noPointsu);
        EXPECT_EQ(nv + 6, refined->noPointsv);
        EXPECT_LT(deviation(original.get(), refined.get()), 1e-12 * 20.0);
        EXPECT_EQ(-1, refined->nrmOri);
        EXPECT_EQ(0.5, refined->offset);
        EXPECT_EQ(pu + 6, refined->periodu);
        EXPECT_EQ(pv + 6, refined->periodv);
    }
}

TEST_F(SurfaceRefine, InsertionIntoABilinearPatchAveragesTheRows)
{
    const double p00[3] = {0, 0, 0}, p01[3] = {0, 2, 0}, p10[3] = {4, 0, 1}, p11[3] = {4, 2, 3};
    RatBSplSurf* s = ratBSplSurfBilinear(p00, p01, p10, p11);
    ASSERT_TRUE(s);
    ASSERT_EQ(1, ratBSplSurfInsertKnotU(&s, 0.5));
    auto patch = own(s);
    ASSERT_EQ(5, patch->noPointsu);
    for (int j = 0; j < 2; ++j)
        for (int k = 0; k < 3; ++k)
            EXPECT_DOUBLE_EQ(0.5 * (patch->points[j][k] + patch->points[2 * patch->noPointsv + j][k]),
                             patch->points[patch->noPointsv + j][k]);
}

TEST_F(SurfaceRefine, RefusedInsertionsLeaveTheCallersSurface)
{
    RatBSplSurf* high = ratBSplSurfCreate(30, 2, 60, 4);
    ASSERT_TRUE(high);
    RatBSplSurf* before = high;
    EXPECT_EQ(0, ratBSplSurfInsertKnotU(&high, 0.5));
    EXPECT_EQ(before, high);
    EXPECT_EQ(0, ratBSplSurfInsertKnotUV(&high, 0.5, 0.5));
    EXPECT_EQ(before, high);
    ratBSplSurfFree(high);
    RatBSplSurf* none = nullptr;
    EXPECT_EQ(0, ratBSplSurfInsertKnotV(&none, 0.5));

    // Weights +1 and -1 meet at weight 0 halfway: the refined net cannot
    // stand for the surface, so it is refused with a report.
    RatBSplSurf* s = makeWavy(2, 2, 2, 2);
    ASSERT_TRUE(s);
    ratBSplSurfSetWeight(s, 1, 0, -1.0);
    ratBSplSurfSetWeight(s, 1, 1, -1.0);
    before = s;
    EXPECT_EQ(0, ratBSplSurfInsertKnotU(&s, 0.5));
    EXPECT_EQ(before, s);
    EXPECT_EQ(4, s->noPointsu);
    EXPECT_NE(nullptr, std::strstr(geomMessageBuffer, "5,10002,"));
    ratBSplSurfFree(s);
}

// Order 2 in u with the knots 0 0 0.5 1 1 (three rows), order 2 in v.
RatBSplSurf* threeRows()
{
    return makeSurf(2, 2, {0, 0, 0.5, 1, 1}, {0, 0, 1, 1},
                    {Pt{0, 0, 0}, Pt{0, 1, 0}, Pt{1, 0, 1}, Pt{1, 1, 2}, Pt{2, 0, 0}, Pt{2, 1, 1}},
                    {1, 1, 1, 1, 1, 1}, 0);
}

std::vector<double> knotsOf(const double* knots, int count) { return std::vector<double>(knots, knots + count); }

// An infinite parameter lies beyond the domain like any other: it is
// inserted at the domain's end, in either direction.
TEST_F(SurfaceRefine, InfiniteParametersInsertAtTheDomainsEnds)
{
    RatBSplSurf* s = threeRows();
    ASSERT_EQ(1, ratBSplSurfInsertKnotU(&s, HUGE_VAL));
    auto past = own(s);
    EXPECT_EQ((std::vector<double>{0, 0, 0.5, 1, 1, 1}), knotsOf(past->knotsu, past->noPointsu));
    EXPECT_LT(deviation(own(threeRows()).get(), past.get()), 1e-15);

    s = threeRows();
    ASSERT_EQ(1, ratBSplSurfInsertKnotU(&s, -HUGE_VAL));
    auto before = own(s);
    EXPECT_EQ((std::vector<double>{0, 0, 0, 0.5, 1, 1}), knotsOf(before->knotsu, before->noPointsu));

    s = ratBSplSurfTranspose(own(threeRows()).get());
    ASSERT_EQ(1, ratBSplSurfInsertKnotV(&s, HUGE_VAL));
    auto twin = own(s);
    EXPECT_EQ((std::vector<double>{0, 0, 0.5, 1, 1, 1}), knotsOf(twin->knotsv, twin->noPointsv));
}

// In a periodic direction the wrap of an infinite parameter is no number,
// which no span holds: refused, the caller's surface as it was.
TEST_F(SurfaceRefine, AnInfiniteParameterInAPeriodicDirectionIsRefused)
{
    RatBSplSurf* s = threeRows();
    s->periodicu = 1;
    s->periodu = 2;
    s->knotRangeu = 1.0;
    RatBSplSurf* given = s;
    EXPECT_EQ(0, ratBSplSurfInsertKnotU(&s, HUGE_VAL));
    EXPECT_EQ(0, ratBSplSurfInsertKnotU(&s, -HUGE_VAL));
    EXPECT_EQ(given, s);
    EXPECT_EQ(5, s->noPointsu);
    ratBSplSurfFree(s);
}

TEST_F(SurfaceRefine, SubdivisionSearchFindsCornersAndReportsMisses)
{
    auto s = own(makeBicubic8());
    const GeomVec3& corner = s->points[0];
    const GeomPoint cornerPoint{corner[0], corner[1], corner[2]};
    double u = -1, v = -1;
    ratBSplSurfLocatePoint(s.get(), cornerPoint, &u, &v);
    EXPECT_LT(u, 1e-3);
    EXPECT_LT(v, 1e-3);
    EXPECT_LT(dist(cornerPoint, ratBSplSurfEvalPoint(s.get(), u, v)), 0.001);

    // A point on the surface is found within the search's 0.001.
    const GeomPoint on = ratBSplSurfEvalPoint(s.get(), 0.63, 0.29);
    ratBSplSurfLocatePoint(s.get(), on, &u, &v);
    EXPECT_LT(dist(on, ratBSplSurfEvalPoint(s.get(), u, v)), 0.001);

    std::strcpy(geomMessageBuffer, "");
    const GeomPoint off = ratBSplSurfEvalPoint(s.get(), 0.5, 0.5);
    const GeomPoint n = ratBSplSurfEvalNormal(s.get(), 0.5, 0.5);
    ratBSplSurfLocatePoint(s.get(), GeomPoint{off.x + n.x, off.y + n.y, off.z + n.z}, &u, &v);
    EXPECT_STREQ("3,10002,7756", geomMessageBuffer);

    auto many = own(ratBSplSurfCreate(2, 2, 1500, 4));
    ratBSplSurfLocatePoint(many.get(), on, &u, &v);
    EXPECT_EQ(GEOM_ERR_ARGUMENT, geomLastError);
    EXPECT_STREQ("2,10002,7425", geomMessageBuffer);
}

// Large ordinary nets, within the search's knot limit: the refinement grows
// the net by a few rows and columns a pass and must not stop short of the
// point (0.154 away at 190 x 190 when the refined net was held to 40,000
// entries).
TEST_F(SurfaceRefine, SubdivisionSearchFindsPointsOnLargeNets)
{
    for (int n : {190, 260}) {
        auto s = own(makeWavy(4, 4, n, n));
        const GeomPoint on = ratBSplSurfEvalPoint(s.get(), 0.37, 0.74);
        double u = -1, v = -1;
        ratBSplSurfLocatePoint(s.get(), on, &u, &v);
        EXPECT_LT(dist(on, ratBSplSurfEvalPoint(s.get(), u, v)), 0.001) << n;
    }
}

// A uniform knot vector of order 4 on both ends: three knots go in at each
// end and three rows come off, the shape on the domain unchanged.
TEST_F(SurfaceRefine, ClampingKeepsTheShapeAndTheOrientation)
{
    std::vector<double> uniform;
    for (int i = 0; i < 11; ++i)
        uniform.push_back(i);
    std::vector<Pt> pts;
    std::vector<double> w;
    for (int i = 0; i < 7; ++i)
        for (int j = 0; j < 7; ++j) {
            pts.push_back(Pt{1.0 * i, 1.0 * j, std::sin(0.8 * i) * std::cos(0.6 * j)});
            w.push_back(1.0 + 0.1 * ((i + j) % 3));
        }
    auto open = own(makeSurf(4, 4, uniform, uniform, pts, w, 1));
    open->nrmOri = -1;
    auto clampedU = own(ratBSplSurfClampU(open.get()));
    ASSERT_TRUE(clampedU);
    EXPECT_EQ(11, clampedU->noPointsu);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(3.0, clampedU->knotsu[i]);
        EXPECT_EQ(7.0, clampedU->knotsu[7 + i]);
    }
    EXPECT_LT(deviation(open.get(), clampedU.get()), 1e-12 * 10.0);
    auto clamped = own(ratBSplSurfClamp(open.get()));
    ASSERT_TRUE(clamped);
    EXPECT_LT(deviation(open.get(), clamped.get()), 1e-12 * 10.0);
    EXPECT_EQ(-1, clamped->nrmOri);
    // The first control row now lies on the boundary.
    const GeomPoint edge = ratBSplSurfEvalPoint(clamped.get(), 0.0, 0.0);
    EXPECT_LT(dist(edge, GeomPoint{clamped->points[0][0], clamped->points[0][1], clamped->points[0][2]}), 1e-12);

    // Clamped within 1e-6 already: a copy with exact end knots.
    auto nearly = own(makeBicubic8());
    nearly->knotsu[0] = 1.0 + 5e-7;
    auto copy = own(ratBSplSurfClampU(nearly.get()));
    ASSERT_TRUE(copy);
    EXPECT_EQ(nearly->noPointsu, copy->noPointsu);
    EXPECT_EQ(1.0, copy->knotsu[0]);
}

TEST_F(SurfaceRefine, SeamCopiesRepeatTheNetOfClosedDirectionsOnly)
{
    auto open = own(makeBicubic8());
    EXPECT_EQ(nullptr, ratBSplSurfTriple(open.get()));
    auto cyl = own(makeCylinder(4.0, -1.0, 6.0, 2.0, 3.0, 10.0, 11.0));
    cyl->periodicu = 1;
    EXPECT_EQ(nullptr, ratBSplSurfTriple(cyl.get()));
    cyl->periodicu = 0;
    auto tripled = own(ratBSplSurfTriple(cyl.get()));
    ASSERT_TRUE(tripled);
    EXPECT_EQ(3 * cyl->noPointsu - 2 * cyl->ordu, tripled->noPointsu);
    EXPECT_EQ(cyl->noPointsv, tripled->noPointsv);
    auto joined = own(ratBSplSurfTripleJoined(cyl.get()));
    ASSERT_TRUE(joined);
    EXPECT_EQ(3 * cyl->noPointsu - 2 * cyl->ordu - 2, joined->noPointsu);
    // Every third of either copy is the cylinder again, one turn on.
    for (RatBSplSurf* t : {tripled.get(), joined.get()})
        for (int a = 0; a <= 20; ++a) {
            const double U = 2.0 + a / 20.0;
            for (double shift : {-1.0, 0.0, 1.0}) {
                const GeomPoint p = ratBSplSurfEvalPoint(cyl.get(), normU(cyl.get(), U), 0.4);
                const GeomPoint q = ratBSplSurfEvalPoint(t, normU(t, U + shift), 0.4);
                EXPECT_LT(dist(p, q), 1e-12 * 10.0) << "U " << U << " shift " << shift;
            }
        }
}

// An order-1 direction of one row, closed in form: the joined copy counts
// 3 nu - 2 ordu - 2 = 2 knots, one domain length either side of the row's
// own, and keeps the row.
TEST_F(SurfaceRefine, JoinedSeamCopyOfOneOrderOneRowKeepsIt)
{
    auto s = own(makeSurf(1, 2, {0, 1}, {0, 0, 1, 1}, {Pt{1, 2, 3}, Pt{4, 5, 6}}, {1, 1}, 0));
    s->origFormu = 2;
    auto joined = own(ratBSplSurfTripleJoined(s.get()));
    ASSERT_TRUE(joined);
    EXPECT_EQ((std::vector<double>{-1, 2}), knotsOf(joined->knotsu, joined->noPointsu));
    EXPECT_EQ(4, joined->noPointsv);
    for (double v : {0.0, 0.3, 1.0})
        EXPECT_EQ(0.0, dist(ratBSplSurfEvalPoint(s.get(), 0.5, v), ratBSplSurfEvalPoint(joined.get(), 0.2, v)));
}

TEST_F(SurfaceRefine, WindowsMatchTheSurfaceAndNeverShrink)
{
    auto s = own(makeRational20());
    s->nrmOri = -1;
    // The whole domain of a clamped surface gives back the same net.
    // u runs over [0, 12], v over [-3, 3].
    auto whole = own(ratBSplSurfWindow(s.get(), 0.0, -3.0, 12.0, 3.0));
    ASSERT_TRUE(whole);
    EXPECT_EQ(s->noPointsu, whole->noPointsu);
    EXPECT_EQ(s->noPointsv, whole->noPointsv);
    EXPECT_EQ(-1, whole->nrmOri);

    // An inner window matches the surface on it; its start 0.004 above the
    // knot 1 snaps down to it, its end 0.004 below 8 snaps up to it.
    auto sub = own(ratBSplSurfWindow(s.get(), 1.004, -1.3, 7.996, 0.7));
    ASSERT_TRUE(sub);
    EXPECT_EQ(1.0, sub->knotsu[0]);
    EXPECT_EQ(8.0, sub->knotsu[sub->noPointsu - 1]);
    EXPECT_LT(deviation(s.get(), sub.get()), 1e-12 * 20.0);
    // A start 0.004 below a knot snaps to the knot before it.
    auto below = own(ratBSplSurfWindow(s.get(), 0.996, -1.3, 7.996, 0.7));
    ASSERT_TRUE(below);
    EXPECT_EQ(0.0, below->knotsu[0]);

    EXPECT_EQ(nullptr, ratBSplSurfWindow(s.get(), 0.0, 0.0, 0.005, 1.0));
    EXPECT_EQ(nullptr, ratBSplSurfWindow(nullptr, 0.0, 0.0, 1.0, 1.0));
}

// Ends beyond the domain take the domain's ends, infinite ones too.
TEST_F(SurfaceRefine, AWindowOfInfiniteEndsIsTheWholeOpenSurface)
{
    auto s = own(makeRational20());
    auto whole = own(ratBSplSurfWindow(s.get(), -HUGE_VAL, -HUGE_VAL, HUGE_VAL, HUGE_VAL));
    ASSERT_TRUE(whole);
    EXPECT_EQ(knotsOf(s->knotsu, s->noPointsu), knotsOf(whole->knotsu, whole->noPointsu));
    EXPECT_EQ(knotsOf(s->knotsv, s->noPointsv), knotsOf(whole->knotsv, whole->noPointsv));
    EXPECT_LT(deviation(s.get(), whole.get()), 1e-12 * 20.0);
}

// An end that is no number is refused; an infinite end across the seam of a
// closed form makes the window infinitely wide, which is refused too, while
// a finite one there crosses the seam.
TEST_F(SurfaceRefine, WindowEndsWithoutPlaceAreRefused)
{
    auto open = own(makeRational20());
    EXPECT_EQ(nullptr, ratBSplSurfWindow(open.get(), std::nan(""), -3.0, 12.0, 3.0));
    EXPECT_EQ(nullptr, ratBSplSurfWindow(open.get(), 0.0, -3.0, 12.0, std::nan("")));
    auto cyl = own(makeCylinder(4.0, -1.0, 6.0, 2.0, 3.0, 10.0, 11.0));
    EXPECT_EQ(nullptr, ratBSplSurfWindow(cyl.get(), -HUGE_VAL, 10.0, 2.5, 11.0));
    EXPECT_EQ(nullptr, ratBSplSurfWindow(cyl.get(), 2.5, 10.0, HUGE_VAL, 11.0));
    auto across = own(ratBSplSurfWindow(cyl.get(), 1.8, 10.0, 2.5, 11.0));
    EXPECT_TRUE(across);
}

// A direction marked periodic whose period was never set (-1): its new
// period is 0, and there is nothing to wrap. Wrapping by 0 rows would move
// every knot on either side of the new one by the period's length.
TEST_F(SurfaceRefine, InsertionIntoAPeriodicDirectionWithoutAPeriodWrapsNothing)
{
    auto original = own(makeCylinder(4.0, -1.0, 6.0, 2.0, 3.0, 10.0, 11.0));
    RatBSplSurf* s = ratBSplSurfCopy(original.get());
    s->periodicu = 1;
    s->knotRangeu = 1.0;
    ASSERT_EQ(-1, s->periodu);
    ASSERT_EQ(1, ratBSplSurfInsertKnotU(&s, 0.37));
    auto refined = own(s);
    EXPECT_EQ(0, refined->periodu);
    EXPECT_TRUE(std::is_sorted(refined->knotsu, refined->knotsu + refined->noPointsu));
    EXPECT_LT(deviation(original.get(), refined.get()), 1e-12 * 20.0);
}

// The first sample of the search is the point itself: a hit is the best
// distance too, so nothing reports a miss.
TEST_F(SurfaceRefine, SubdivisionSearchHittingAtOnceReportsNoMiss)
{
    const double p00[3] = {0, 0, 0}, p01[3] = {0, 2, 0}, p10[3] = {4, 0, 1}, p11[3] = {4, 2, 3};
    auto s = own(ratBSplSurfBilinear(p00, p01, p10, p11));
    const GeomPoint centre = ratBSplSurfEvalPoint(s.get(), 0.5, 0.5);
    std::strcpy(geomMessageBuffer, "");
    double u = -1, v = -1;
    ratBSplSurfLocatePoint(s.get(), centre, &u, &v);
    EXPECT_EQ(0.5, u);
    EXPECT_EQ(0.5, v);
    EXPECT_STREQ("", geomMessageBuffer);
}

} // namespace
