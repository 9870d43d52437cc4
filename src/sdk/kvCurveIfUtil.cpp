#include "sdk/kvCurveIfUtil.h"

#include <cmath>

namespace {

// A closed curve's chord from start to end is no chord at all: the curve is
// first cut into this many pieces.
constexpr int firstPieces = 16;
// Halvings of one first piece at most, so that a curve that jumps cannot
// keep the cutting going.
constexpr int deepest = 12;

double distanceToChord(const kvCGePoint& p, const kvCGePoint& a, const kvCGePoint& b)
{
    // Plain arithmetic: this runs for every sample of every boundary.
    const double ab[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
    const double ap[3] = {p.x - a.x, p.y - a.y, p.z - a.z};
    const double ll = ab[0] * ab[0] + ab[1] * ab[1] + ab[2] * ab[2];
    double t = ll > 0.0 ? (ap[0] * ab[0] + ap[1] * ab[1] + ap[2] * ab[2]) / ll : 0.0;
    t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
    const double d[3] = {ap[0] - t * ab[0], ap[1] - t * ab[1], ap[2] - t * ab[2]};
    return std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
}

}  // namespace

kvCCurveIfUtil::kvCCurveIfUtil(kvIUnknown* curve)
{
    if (curve)
        m_curve = static_cast<kvIGeCurve*>(curve->queryInterface(kvIfName<kvIGeCurve>::value));
}

kvCCurveIfUtil::~kvCCurveIfUtil()
{
    if (m_curve)
        m_curve->release();
}

bool kvCCurveIfUtil::getPointApprox(double tolerance, std::vector<kvCGePoint>& points) const
{
    points.clear();
    double start = 0.0, end = 0.0;
    if (!m_curve || !(tolerance > 0.0) || m_curve->getParameterRange(&start, &end) != 0 || !std::isfinite(start) ||
        !std::isfinite(end))
        return false;
    bool failed = false;
    auto at = [this, &failed](double t) {
        double p[3] = {0.0, 0.0, 0.0};
        if (m_curve->getPoint(t, p) != 0)
            failed = true;
        return kvCGePoint(p);
    };
    // Appends the points after a up to b, cutting [a, b] until its chord
    // follows the curve; pm is the curve's point at the middle of [a, b], and
    // the quarter points measured here are the halves' middles when it is cut.
    auto piece = [&](auto& self, double a, const kvCGePoint& pa, double b, const kvCGePoint& pb, const kvCGePoint& pm,
                     int depth) -> void {
        const double m = 0.5 * (a + b);
        const kvCGePoint q1 = at(0.5 * (a + m));
        const kvCGePoint q2 = at(0.5 * (m + b));
        if (failed)
            return;
        const bool follows = distanceToChord(pm, pa, pb) <= tolerance && distanceToChord(q1, pa, pb) <= tolerance &&
                             distanceToChord(q2, pa, pb) <= tolerance;
        if (follows || depth >= deepest) {
            points.push_back(pb);
            return;
        }
        self(self, a, pa, m, pm, q1, depth + 1);
        self(self, m, pm, b, pb, q2, depth + 1);
    };
    kvCGePoint previous = at(start);
    points.push_back(previous);
    for (int i = 1; i <= firstPieces && !failed; ++i) {
        const double a = start + (end - start) * (i - 1) / firstPieces;
        const double b = i == firstPieces ? end : start + (end - start) * i / firstPieces;
        const kvCGePoint pb = at(b);
        const kvCGePoint pm = at(0.5 * (a + b));
        piece(piece, a, previous, b, pb, pm, 0);
        previous = pb;
    }
    if (failed)
        points.clear();
    return !failed;
}
