// The point inverter's start grid.
//
// Measuring every sample with the full surface evaluation repeats, for each
// of the nu x nv samples, two span searches, two sets of basis functions and
// the whole ordu x ordv tensor sum. Along one grid row the u basis is the
// same for every sample, so the row is first collapsed into a curve in v
// (its homogeneous control points), and the v basis of each grid column is
// formed once for all rows. A sample then costs ordv homogeneous sums.
//
// The collapsed sums round differently from the evaluator, so they only
// short-list: every sample whose estimate lies within a safe margin of the
// best estimate is measured again with the evaluator, in grid order, and
// the exact strict comparison picks among them. That gives the sample, and
// the tie rule, of measuring every sample with the evaluator. Where the
// short list would overflow (a point equidistant from many samples) or the
// record is unusual (offset, high order, doubtful weights), every sample is
// measured with the evaluator.
#include "geom/invert_grid.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace geominvert {

namespace {

constexpr int kMaxOrd = GEOM_MAX_SURF_DERIV_ORDER + 1;
constexpr int kMaxCandidates = 64;
// v basis functions kept for all grid columns (doubles on the stack).
constexpr int kMaxCachedBasis = 4096;
constexpr int kMaxCachedColumns = 2000;
// Grids up to this many samples keep their distances for lastGridMinima.
constexpr int kMaxKeptGrid = 250000;

// The squared distances of the last grid, sample (i, j) at i * nv + j; the
// kernel serves one caller at a time, so one table serves every search.
struct KeptGrid {
    std::vector<double> d2;
    int nu = 0, nv = 0;
    bool valid = false;
};
KeptGrid& keptGrid()
{
    static KeptGrid grid;
    return grid;
}

void measureEverySample(PointInverter* p, int nu, int nv)
{
    p->distance = 1e10;
    for (int i = 0; i < nu; ++i) {
        const double u = static_cast<double>(i) / (nu - 1);
        for (int j = 0; j < nv; ++j)
            keepIfNearer(p, u, static_cast<double>(j) / (nv - 1));
    }
}

// Knot value of the normalised sample t, formed as the evaluator forms it.
double knotValue(const double* K, int m, int k, double t)
{
    return (1.0 - t) * K[k - 1] + t * K[m - k];
}

// Non-zero basis functions of order k on span s at t (the triangle of the
// Cox-de Boor recurrence); N receives k values.
void basisFunctions(const double* K, int k, int s, double t, double* N)
{
    double left[kMaxOrd], right[kMaxOrd];
    N[0] = 1.0;
    for (int j = 1; j < k; ++j) {
        left[j] = t - K[s + 1 - j];
        right[j] = K[s + j] - t;
        double saved = 0.0;
        for (int r = 0; r < j; ++r) {
            const double den = right[r + 1] + left[j - r];
            const double tmp = den != 0.0 ? N[r] / den : 0.0;
            N[r] = saved + right[r + 1] * tmp;
            saved = left[j - r] * tmp;
        }
        N[j] = saved;
    }
}

// The margin within which an estimated distance may differ from the
// evaluator's, or a negative value when the record is not suited to the
// collapsed sums.
double estimateMargin(const RatBSplSurf* s, const double* point)
{
    if (s->isOffsetSurf != 0 || s->ordu < 1 || s->ordv < 1 || s->ordu > GEOM_MAX_SURF_DERIV_ORDER ||
        s->ordv > GEOM_MAX_SURF_DERIV_ORDER || !s->points || !s->weights || !s->workPoints ||
        !s->workWeights || s->noPointsu < 2 * s->ordu || s->noPointsv < 2 * s->ordv)
        return -1.0;
    const int rows = s->noPointsu - s->ordu, cols = s->noPointsv - s->ordv;
    double size = 0.0, wmin = 1e300, wmax = 0.0;
    for (int i = 0; i < rows; ++i) {
        const long long row = static_cast<long long>(i) * s->noPointsv;
        for (int j = 0; j < cols; ++j) {
            const double* P = s->points[row + j];
            const double w = s->weights[row + j];
            if (!(w > 0.0) || !std::isfinite(w))
                return -1.0;
            wmin = std::fmin(wmin, w);
            wmax = std::fmax(wmax, w);
            for (int e = 0; e < 3; ++e)
                size = std::fmax(size, std::fabs(P[e]));
        }
    }
    const double reach = size + std::fabs(point[0]) + std::fabs(point[1]) + std::fabs(point[2]);
    if (!std::isfinite(reach) || wmax / wmin > 1e6)
        return -1.0;
    // The two ways of summing differ by a few units in the last place of the
    // largest term; this bound is far above that and far below any distance
    // that matters.
    return 1e-9 * reach * (wmax / wmin);
}

struct Candidate {
    int i, j;
    double d;
};

// The short list and the best estimate; false when the list overflowed.
class ShortList {
public:
    explicit ShortList(double margin) : m_margin(margin) {}

    // Squared bound below which a sample can still matter.
    double bound2() const
    {
        const double b = m_best + m_margin;
        return b * b;
    }

    bool offer(int i, int j, double d)
    {
        if (d < m_best) {
            m_best = d;
            int kept = 0;
            for (int k = 0; k < m_count; ++k)
                if (m_list[k].d <= m_best + m_margin)
                    m_list[kept++] = m_list[k];
            m_count = kept;
        }
        if (!(d <= m_best + m_margin))
            return true;
        if (m_count == kMaxCandidates)
            return false;
        m_list[m_count++] = Candidate{i, j, d};
        return true;
    }

    int count() const { return m_count; }
    const Candidate& operator[](int k) const { return m_list[k]; }

private:
    double m_margin;
    double m_best = HUGE_VAL;
    int m_count = 0;
    Candidate m_list[kMaxCandidates];
};

// Collapses the control rows of span su, weighted by the u basis Nu, into
// the homogeneous control points of a curve in v, kept in the record's
// scratch arrays (one entry per control column).
void collapseRows(RatBSplSurf* s, int su, const double* Nu)
{
    const int ku = s->ordu, cols = s->noPointsv - s->ordv;
    const int first = su - ku + 1;
    for (int c = 0; c < cols; ++c) {
        double h[4] = {0.0, 0.0, 0.0, 0.0};
        for (int i = 0; i < ku; ++i) {
            const long long at = static_cast<long long>(first + i) * s->noPointsv + c;
            const double w = s->weights[at] * Nu[i];
            h[0] += w * s->points[at][0];
            h[1] += w * s->points[at][1];
            h[2] += w * s->points[at][2];
            h[3] += w;
        }
        s->workPoints[c][0] = h[0];
        s->workPoints[c][1] = h[1];
        s->workPoints[c][2] = h[2];
        s->workWeights[c] = h[3];
    }
}

// Fills the short list from the collapsed sums; false when it overflowed or
// a sample could not be estimated.
bool shortList(PointInverter* p, int nu, int nv, ShortList* list)
{
    RatBSplSurf* s = p->surface;
    const int ku = s->ordu, kv = s->ordv;
    const double* point = p->point;

    // Spans and basis functions of the grid columns, kept when they fit.
    int spans[kMaxCachedColumns];
    double cached[kMaxCachedBasis];
    const bool keep = nv <= kMaxCachedColumns && nv * kv <= kMaxCachedBasis;
    if (keep) {
        for (int j = 0; j < nv; ++j) {
            const double V = knotValue(s->knotsv, s->noPointsv, kv, static_cast<double>(j) / (nv - 1));
            spans[j] = ratBSplCurveFindSpan(s->knotsv, s->noPointsv, kv, V);
            if (spans[j] < 0)
                return false;
            basisFunctions(s->knotsv, kv, spans[j], V, cached + j * kv);
        }
    }

    KeptGrid& kept = keptGrid();
    const bool keepGrid = static_cast<long long>(nu) * nv <= kMaxKeptGrid;
    if (keepGrid) {
        kept.d2.resize(static_cast<size_t>(nu) * nv);
        kept.nu = nu;
        kept.nv = nv;
    }
    double Nu[kMaxOrd], Nv[kMaxOrd];
    for (int i = 0; i < nu; ++i) {
        const double U = knotValue(s->knotsu, s->noPointsu, ku, static_cast<double>(i) / (nu - 1));
        const int su = ratBSplCurveFindSpan(s->knotsu, s->noPointsu, ku, U);
        if (su < 0)
            return false;
        basisFunctions(s->knotsu, ku, su, U, Nu);
        collapseRows(s, su, Nu);
        for (int j = 0; j < nv; ++j) {
            int sv;
            const double* N;
            if (keep) {
                sv = spans[j];
                N = cached + j * kv;
            } else {
                const double V =
                    knotValue(s->knotsv, s->noPointsv, kv, static_cast<double>(j) / (nv - 1));
                sv = ratBSplCurveFindSpan(s->knotsv, s->noPointsv, kv, V);
                if (sv < 0)
                    return false;
                basisFunctions(s->knotsv, kv, sv, V, Nv);
                N = Nv;
            }
            const GeomVec3* C = s->workPoints + (sv - kv + 1);
            const double* W = s->workWeights + (sv - kv + 1);
            double x = 0.0, y = 0.0, z = 0.0, w = 0.0;
            for (int l = 0; l < kv; ++l) {
                x += N[l] * C[l][0];
                y += N[l] * C[l][1];
                z += N[l] * C[l][2];
                w += N[l] * W[l];
            }
            // A weight sum this small is what the evaluator reports as
            // vanishing; leave such records to it.
            if (!(w > 1e-9))
                return false;
            const double inv = 1.0 / w;
            const double dx = point[0] - x * inv, dy = point[1] - y * inv, dz = point[2] - z * inv;
            const double d2 = dx * dx + dy * dy + dz * dz;
            if (keepGrid)
                kept.d2[static_cast<size_t>(i) * nv + j] = d2;
            if (d2 <= list->bound2() && !list->offer(i, j, std::sqrt(d2)))
                return false;
        }
    }
    kept.valid = keepGrid;
    return true;
}

}  // namespace

void nearestGridSample(PointInverter* p, int nu, int nv)
{
    keptGrid().valid = false;
    const double margin = estimateMargin(p->surface, p->point);
    if (margin >= 0.0) {
        ShortList list(margin);
        if (shortList(p, nu, nv, &list)) {
            p->distance = 1e10;
            for (int k = 0; k < list.count(); ++k)
                keepIfNearer(p, static_cast<double>(list[k].i) / (nu - 1),
                             static_cast<double>(list[k].j) / (nv - 1));
            return;
        }
    }
    measureEverySample(p, nu, nv);
}

int lastGridMinima(GridMinimum* out, int maxCount)
{
    const KeptGrid& g = keptGrid();
    if (!g.valid || maxCount <= 0)
        return 0;
    // The nearest minima kept in order in out: no allocation per search.
    int n = 0;
    for (int i = 0; i < g.nu; ++i)
        for (int j = 0; j < g.nv; ++j) {
            const double d = g.d2[static_cast<size_t>(i) * g.nv + j];
            if (n == maxCount && !(d < out[n - 1].distance * out[n - 1].distance))
                continue;
            bool lowest = true;
            for (int di = -1; di <= 1 && lowest; ++di)
                for (int dj = -1; dj <= 1 && lowest; ++dj) {
                    const int a = i + di, b = j + dj;
                    if ((di || dj) && a >= 0 && a < g.nu && b >= 0 && b < g.nv)
                        lowest = d <= g.d2[static_cast<size_t>(a) * g.nv + b];
                }
            if (!lowest)
                continue;
            const GridMinimum m{static_cast<double>(i) / (g.nu - 1), static_cast<double>(j) / (g.nv - 1),
                                std::sqrt(d)};
            int at = n < maxCount ? n++ : maxCount - 1;
            while (at > 0 && out[at - 1].distance > m.distance) {
                out[at] = out[at - 1];
                --at;
            }
            out[at] = m;
        }
    return n;
}

}  // namespace geominvert
