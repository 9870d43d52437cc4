// Cutting curves by points in space: between two points, and two open
// curves back to where they meet or come closest.
#include "geom/geom_curve_edit.h"
#include "geom/curve_edit_util.h"

#include <cmath>

using namespace geomedit;

namespace {

const double kEndMoved = 0.0005;
const double kShortPart = 0.0001;
const double kMeet = 1e-5;

struct V {
    double x, y, z;
};
V operator+(V a, V b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V operator-(V a, V b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V operator*(double s, V a) { return {s * a.x, s * a.y, s * a.z}; }
double dot(V a, V b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double norm(V a) { return std::sqrt(dot(a, a)); }
V cross(V a, V b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
V fromPoint(GeomPoint p) { return {p.x, p.y, p.z}; }
V fromArray(const double* p) { return {p[0], p[1], p[2]}; }
GeomPoint toPoint(V v) { return {v.x, v.y, v.z}; }
V unit(V v)
{
    const double l = norm(v);
    return l >= 1e-12 ? (1.0 / l) * v : v;
}

double domainLength(const RatBSplCurve* c)
{
    const double r = domainEnd(c) - domainStart(c);
    return r < 1e-10 ? 1.0 : r;
}

// Knot value u to the normalised parameter of c.
double toT(const RatBSplCurve* c, double u) { return (u - domainStart(c)) / domainLength(c); }

// Rewrites the record in place as a point (ord 1) or a line (ord 2) over
// [u1, u2], enlarging its arrays first when they are too short.
int collapse(RatBSplCurve* c, double u1, double u2, bool asLine)
{
    const V p1 = fromPoint(ratBSplCurveEvalPoint(c, toT(c, u1)));
    const V p2 = fromPoint(ratBSplCurveEvalPoint(c, toT(c, u2)));
    const int need = asLine ? 4 : 2;
    if (c->noPoints < need && !ratBSplCurveResize(c, need))
        return 0;
    c->ord = asLine ? 2 : 1;
    c->noPoints = need;
    const V pts[2] = {p1, p2};
    for (int i = 0; i < need / 2; ++i) {
        c->points[i][0] = pts[i].x;
        c->points[i][1] = pts[i].y;
        c->points[i][2] = pts[i].z;
        c->weights[i] = 1.0;
    }
    if (asLine) {
        c->knots[0] = c->knots[1] = u1;
        c->knots[2] = c->knots[3] = u2;
    } else {
        c->knots[0] = c->knots[1] = u1;
    }
    c->isRational = c->isClosed = c->isPeriodic = c->origForm = 0;
    return 1;
}

// A point on the first tangent line towards where it comes closest to the
// second one: the signed distance of the second line from the first,
// interpolated linearly between two of its points, vanishes there.
V commonPointEstimate(V P1, V T1, V P2, V T2, bool* ok)
{
    *ok = true;
    const double s = std::fmax(norm(P1 - P2), 0.001);
    const V Q = P2 + s * T2;
    const double c1 = dot(P2 - P1, T1), c2 = dot(Q - P1, T1);
    const V off1 = P2 - (P1 + c1 * T1);
    const V off2 = Q - (P1 + c2 * T1);
    const double h1 = norm(off1);
    const double h2 = h1 >= 1e-12 ? dot(off2, (1.0 / h1) * off1) : norm(off2);
    if (std::fabs(h1 - h2) < 1e-10)
        return P1 + c2 * T1;
    const double lambda = (c2 * h1 - c1 * h2) / (h1 - h2);
    if (std::fabs(lambda) >= 1e10) {
        *ok = false;
        return 0.5 * (P1 + P2);
    }
    return P1 + lambda * T1;
}

}  // namespace

int ratBSplCurveCutAtPoints(RatBSplCurve** curve, const double* A, const double* B,
                            unsigned char keepShort, unsigned char asLine)
{
    if (!curve || !usable(*curve))
        return GEOM_CUT_NOTHING;
    RatBSplCurve* c = *curve;
    bool clampedStart = true;
    for (int i = 1; i < c->ord; ++i)
        if (std::fabs(c->knots[i] - c->knots[0]) >= 1e-12)
            clampedStart = false;
    if (clampedStart)
        c->isPeriodic = 0;
    double u1 = domainStart(c), u2 = domainEnd(c);
    bool startMoved = false, endMoved = false;
    double d;
    if (A && norm(fromArray(A) - fromPoint(ratBSplCurveEvalPoint(c, 0.0))) > kEndMoved) {
        startMoved = ratBSplCurveProjectPoint(c, toPoint(fromArray(A)), &u1, &d) == 1;
    }
    if (B && norm(fromArray(B) - fromPoint(ratBSplCurveEvalPoint(c, 1.0))) > kEndMoved) {
        endMoved = ratBSplCurveProjectPoint(c, toPoint(fromArray(B)), &u2, &d) == 1;
    }
    if (!startMoved && !endMoved)
        return GEOM_CUT_NOTHING;
    if (!keepShort && std::fabs(u2 - u1) < kShortPart)
        return collapse(c, u1, u2, asLine != 0) ? GEOM_CUT_BOTH_MOVED : GEOM_CUT_NOTHING;
    const int cut = (c->isClosed && !c->isPeriodic) ? ratBSplCurveSubCurveClosed(curve, u1, u2)
                                                   : ratBSplCurveSubCurve(curve, u1, u2);
    // A cut that did not happen is not reported as a moved end.
    if (!cut)
        return GEOM_CUT_NOTHING;
    if (startMoved && endMoved)
        return GEOM_CUT_BOTH_MOVED;
    return startMoved ? GEOM_CUT_START_MOVED : GEOM_CUT_END_MOVED;
}

int ratBSplCurveCutBetween(RatBSplCurve** curve, const double* A, const double* B)
{
    return ratBSplCurveCutAtPoints(curve, A, B, 1, 0);
}

int ratBSplCurveCutBetweenEx(RatBSplCurve** curve, const double* A, const double* B, int /*unused*/)
{
    return ratBSplCurveCutAtPoints(curve, A, B, 1, 0);
}

int ratBSplCurveTrimToEachOther(RatBSplCurve** first, RatBSplCurve** second, double tol,
                                double* distance)
{
    if (!first || !second || !usable(*first) || !usable(*second) || !distance)
        return 0;
    RatBSplCurve* c[2] = {*first, *second};
    if (c[0]->isClosed || c[0]->isPeriodic || c[1]->isClosed || c[1]->isPeriodic)
        return 0;
    const double r[2] = {domainLength(c[0]), domainLength(c[1])};

    const double ends[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    double t[2] = {0, 0};
    double best = 1e300;
    for (const auto& e : ends) {
        const double d = norm(fromPoint(ratBSplCurveEvalPoint(c[0], e[0])) -
                              fromPoint(ratBSplCurveEvalPoint(c[1], e[1])));
        if (d < best) {
            best = d;
            t[0] = e[0];
            t[1] = e[1];
        }
    }
    const double accept = std::fmax(tol, kMeet);
    *distance = best;
    if (best <= kMeet)
        return 0;

    V X = 0.5 * (fromPoint(ratBSplCurveEvalPoint(c[0], t[0])) + fromPoint(ratBSplCurveEvalPoint(c[1], t[1])));
    for (int it = 0; it < 10; ++it) {
        const V P1 = fromPoint(ratBSplCurveEvalPoint(c[0], t[0]));
        const V P2 = fromPoint(ratBSplCurveEvalPoint(c[1], t[1]));
        const V T1 = unit(fromPoint(ratBSplCurveEvalDeriv(c[0], t[0])));
        const V T2 = unit(fromPoint(ratBSplCurveEvalDeriv(c[1], t[1])));
        bool ok = false;
        V estimate = 0.5 * (P1 + P2);
        if (it > 0 && norm(cross(T1, T2)) > 1e-7)
            estimate = commonPointEstimate(P1, T1, P2, T2, &ok);
        double nt[2];
        for (int k = 0; k < 2; ++k) {
            double u = domainStart(c[k]) + t[k] * r[k], dk;
            ratBSplCurveProjectPointFrom(c[k], toPoint(estimate), 1e-7, &u, &dk);
            nt[k] = toT(c[k], u);
        }
        const double d = norm(fromPoint(ratBSplCurveEvalPoint(c[0], nt[0])) -
                              fromPoint(ratBSplCurveEvalPoint(c[1], nt[1])));
        if (d > best)
            break;
        X = estimate;
        best = d;
        t[0] = nt[0];
        t[1] = nt[1];
        *distance = best;
        if (d <= kMeet)
            break;
    }
    if (best > accept)
        return 0;

    // Both cuts are made on copies and handed over together: never one
    // curve cut and the other not.
    RatBSplCurve* cut[2] = {ratBSplCurveCopy(c[0]), ratBSplCurveCopy(c[1])};
    bool done = cut[0] && cut[1];
    for (int k = 0; k < 2 && done; ++k) {
        const double a = domainStart(c[k]), b = domainEnd(c[k]);
        const double u = a + t[k] * r[k];
        const double toStart = norm(X - fromPoint(ratBSplCurveEvalPoint(c[k], 0.0)));
        const double toEnd = norm(X - fromPoint(ratBSplCurveEvalPoint(c[k], 1.0)));
        done = toEnd < toStart ? ratBSplCurveSubCurve(&cut[k], a, u) : ratBSplCurveSubCurve(&cut[k], u, b);
    }
    if (!done) {
        ratBSplCurveFree(cut[0]);
        ratBSplCurveFree(cut[1]);
        return 0;
    }
    ratBSplCurveFree(*first);
    ratBSplCurveFree(*second);
    *first = cut[0];
    *second = cut[1];
    return 1;
}
