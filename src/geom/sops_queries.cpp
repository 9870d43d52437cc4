// Questions about a surface answered from its control net and a few samples:
// domain and closedness, poles, plane and ruled tests, collapsed control
// lines, extent in a frame, polygon lengths and parameter speed, knot lines
// that break tangent continuity, and the knot patches that may hold a point.
#include "geom/geom_surface_ops.h"

#include <cmath>
#include <cstdlib>

namespace {

inline int rowsOf(const RatBSplSurf* s) { return ratBSplSurfControlRows(s); }
inline int colsOf(const RatBSplSurf* s) { return ratBSplSurfControlColumns(s); }
inline const double* at(const RatBSplSurf* s, int i, int j) { return s->points[i * s->noPointsv + j]; }

inline double dist(const double* a, const double* b)
{
    const double dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}
inline double dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline double len(const double* a) { return std::sqrt(dot(a, a)); }
inline double distP(const GeomPoint& a, const GeomPoint& b)
{
    const double d[3] = {a.x - b.x, a.y - b.y, a.z - b.z};
    return len(d);
}

inline bool usable(const RatBSplSurf* s)
{
    return s && s->points && s->knotsu && s->knotsv && s->ordu >= 1 && s->ordv >= 1 && rowsOf(s) >= 1 &&
           colsOf(s) >= 1;
}

// Largest lengths of the iso lines of a (nu + 1) x (nv + 1) sample grid.
void sampleLineLengths(RatBSplSurf* s, double* maxU, double* maxV)
{
    int nu = rowsOf(s) - 1, nv = colsOf(s) - 1;
    nu = nu < 2 ? 2 : (nu > 20 ? 20 : nu);
    nv = nv < 2 ? 2 : (nv > 20 ? 20 : nv);
    GeomPoint prevLine[21];
    double colLen[21] = {0};
    double bestU = 0.0;
    for (int j = 0; j <= nv; ++j) {
        const double v = static_cast<double>(j) / nv;
        double lineLen = 0.0;
        GeomPoint prev{};
        for (int i = 0; i <= nu; ++i) {
            const GeomPoint p = ratBSplSurfEvalPoint(s, static_cast<double>(i) / nu, v);
            if (i > 0)
                lineLen += distP(p, prev);
            if (j > 0)
                colLen[i] += distP(p, prevLine[i]);
            prevLine[i] = p;
            prev = p;
        }
        if (lineLen > bestU)
            bestU = lineLen;
    }
    double bestV = 0.0;
    for (int i = 0; i <= nu; ++i)
        if (colLen[i] > bestV)
            bestV = colLen[i];
    *maxU = bestU;
    *maxV = bestV;
}

// What the speed factors compare: the widths of the knot domain, each at
// least minWidth, and the longest sampled iso lines; false for a surface that
// cannot be measured.
bool widthsAndLengths(RatBSplSurf* s, double minWidth, double* ru, double* rv, double* lu, double* lv)
{
    if (!usable(s))
        return false;
    double umin, umax, vmin, vmax;
    int cu, cv;
    ratBSplSurfDomainInfo(s, &umin, &umax, &vmin, &vmax, &cu, &cv);
    *ru = std::fmax(umax - umin, minWidth);
    *rv = std::fmax(vmax - vmin, minWidth);
    sampleLineLengths(s, lu, lv);
    return true;
}

} // namespace

void ratBSplSurfDomainInfo(const RatBSplSurf* s, double* umin, double* umax, double* vmin, double* vmax,
                           int* closedU, int* closedV)
{
    if (!usable(s) || !umin || !umax || !vmin || !vmax || !closedU || !closedV)
        return;
    *umin = s->knotsu[s->ordu - 1];
    *umax = s->knotsu[s->noPointsu - s->ordu];
    *vmin = s->knotsv[s->ordv - 1];
    *vmax = s->knotsv[s->noPointsv - s->ordv];
    const int nr = rowsOf(s), nc = colsOf(s);
    if (s->periodicu || s->origFormu == 2) {
        *closedU = 1;
    } else {
        *closedU = 1;
        for (int j = 0; j < nc; ++j)
            if (dist(at(s, 0, j), at(s, nr - 1, j)) > 5e-5) {
                *closedU = 0;
                break;
            }
    }
    if (s->periodicv || s->origFormv == 2) {
        *closedV = 1;
    } else {
        *closedV = 1;
        for (int i = 0; i < nr; ++i)
            if (dist(at(s, i, 0), at(s, i, nc - 1)) > 5e-5) {
                *closedV = 0;
                break;
            }
    }
}

void ratBSplSurfPoleParams(const RatBSplSurf* s, double* umin, double* umax, double* vmin, double* vmax)
{
    if (!usable(s) || !umin || !umax || !vmin || !vmax)
        return;
    int cu = 0, cv = 0;
    ratBSplSurfDomainInfo(s, umin, umax, vmin, vmax, &cu, &cv);
    const int nr = rowsOf(s), nc = colsOf(s);
    auto columnCollapsed = [&](int j) {
        for (int i = 0; i < nr; ++i)
            if (dist(at(s, i, j), at(s, 0, j)) > 1e-6)
                return false;
        return true;
    };
    auto rowCollapsed = [&](int i) {
        for (int j = 0; j < nc; ++j)
            if (dist(at(s, i, j), at(s, i, 0)) > 1e-6)
                return false;
        return true;
    };
    if (!columnCollapsed(0))
        *vmin = -1e10;
    if (!columnCollapsed(nc - 1))
        *vmax = 1e10;
    if (!rowCollapsed(0))
        *umin = -1e10;
    if (!rowCollapsed(nr - 1))
        *umax = 1e10;
}

int ratBSplSurfIsPlane(RatBSplSurf* s, double* point, double* normal, double* xDir)
{
    if (!usable(s) || !point || !normal || !xDir)
        return 0;
    const int nr = rowsOf(s), nc = colsOf(s);
    double best = -1.0;
    double corner[3] = {0, 0, 0}, n[3] = {0, 0, 0}, e1Best[3] = {0, 0, 0};
    for (int i = 0; i + 1 < nr; ++i)
        for (int j = 0; j + 1 < nc; ++j) {
            double e1[3], e2[3], c[3];
            vec3DiffB(at(s, i, j), at(s, i + 1, j), e1);
            vec3DiffB(at(s, i, j), at(s, i, j + 1), e2);
            vec3NormalizeB(e1);
            vec3NormalizeB(e2);
            vec3CrossB(c, e1, e2);
            const double l = len(c);
            if (l > best) {
                best = l;
                for (int k = 0; k < 3; ++k) {
                    corner[k] = at(s, i, j)[k];
                    n[k] = c[k];
                    e1Best[k] = e1[k];
                }
            }
        }
    if (best < 1e-7)
        return 0;
    for (int i = 0; i < nr; ++i)
        for (int j = 0; j < nc; ++j) {
            const double* p = at(s, i, j);
            const double d[3] = {p[0] - corner[0], p[1] - corner[1], p[2] - corner[2]};
            if (std::fabs(dot(d, n)) > 1e-7)
                return 0;
        }
    const GeomPoint mid = ratBSplSurfEvalPoint(s, 0.5, 0.5);
    point[0] = mid.x;
    point[1] = mid.y;
    point[2] = mid.z;
    for (int k = 0; k < 3; ++k) {
        normal[k] = n[k];
        xDir[k] = e1Best[k];
    }
    vec3NormalizeB(normal);
    const GeomPoint sn = ratBSplSurfEvalNormal(s, 0.5, 0.5);
    const double snv[3] = {sn.x, sn.y, sn.z};
    const int sign = dot(snv, normal) < 0.0 ? -1 : 1;
    if (s->nrmOri * sign < 0)
        for (int k = 0; k < 3; ++k)
            normal[k] = -normal[k];
    return 1;
}

int ratBSplSurfIsRuled(const RatBSplSurf* s, double tol, RatBSplCurve** first, RatBSplCurve** second,
                       double* maxDev)
{
    if (!usable(s) || rowsOf(s) < 2)
        return 0;
    const int nr = rowsOf(s), nc = colsOf(s);
    GeomVec3* buf = static_cast<GeomVec3*>(std::malloc(sizeof(GeomVec3) * nr));
    if (!buf)
        return 0;
    double* ratio = static_cast<double*>(std::malloc(sizeof(double) * nr));
    int result = ratio ? 1 : 0;
    double worst = 0.0;
    double refLen = -1.0;
    for (int j = 0; j < nc && result; ++j) {
        for (int i = 0; i < nr; ++i)
            for (int k = 0; k < 3; ++k)
                buf[i][k] = at(s, i, j)[k];
        double dev = 0.0;
        const int straight = isPolylineStraight(buf, nr, tol, &dev);
        if (dev > worst)
            worst = dev;
        if (!straight)
            result = 0;
        if (result && refLen <= 10.0) {
            const double L = dist(buf[0], buf[nr - 1]);
            if (L > refLen && L >= 1e-6) {
                refLen = L;
                ratio[0] = 0.0;
                for (int k = 1; k + 1 < nr; ++k)
                    ratio[k] = dist(buf[0], buf[k]) / L;
                ratio[nr - 1] = 1.0;
            }
        }
    }
    if (result && refLen < 1e-6)
        result = 0;
    for (int j = 0; j < nc && result; ++j) {
        const double L = dist(at(s, 0, j), at(s, nr - 1, j));
        if (L < 1e-12)
            continue;
        for (int k = 1; k + 1 < nr; ++k)
            if (std::fabs(dist(at(s, 0, j), at(s, k, j)) / L - ratio[k]) > 1e-6) {
                result = 0;
                break;
            }
    }
    if (result) {
        if (first)
            *first = ratBSplSurfRowCurve(s, 0);
        if (second)
            *second = ratBSplSurfRowCurve(s, nr - 1);
        if ((first && !*first) || (second && !*second)) {
            if (first) {
                ratBSplCurveFree(*first);
                *first = nullptr;
            }
            if (second) {
                ratBSplCurveFree(*second);
                *second = nullptr;
            }
            result = 0;
        }
    }
    if (maxDev)
        *maxDev = worst;
    std::free(buf);
    std::free(ratio);
    return result;
}

int ratBSplSurfFindRuled(const RatBSplSurf* s, double tol, RatBSplCurve** first, RatBSplCurve** second,
                         double* maxDev)
{
    if (!s)
        return 0;
    if (ratBSplSurfIsRuled(s, tol, first, second, maxDev))
        return 1;
    RatBSplSurf* t = ratBSplSurfTranspose(s);
    if (!t)
        return 0;
    const int r = ratBSplSurfIsRuled(t, tol, first, second, maxDev);
    ratBSplSurfFree(t);
    return r;
}

int ratBSplSurfCountCollapsedLines(const RatBSplSurf* s, int* rows, int* columns)
{
    int r = 0, c = 0;
    if (usable(s)) {
        const int nr = rowsOf(s), nc = colsOf(s);
        for (int i = 1; i + 1 < nr; ++i) {
            bool all = true;
            for (int j = 0; j < nc && all; ++j)
                all = dist(at(s, i, j), at(s, i, 0)) <= 1e-6;
            if (all)
                ++r;
        }
        for (int j = 1; j + 1 < nc; ++j) {
            bool all = true;
            for (int i = 0; i < nr && all; ++i)
                all = dist(at(s, i, j), at(s, 0, j)) <= 1e-6;
            if (all)
                ++c;
        }
    }
    if (rows)
        *rows = r;
    if (columns)
        *columns = c;
    return r + c;
}

void ratBSplSurfBoxInFrame(const RatBSplSurf* s, const double* frame, double* minCorner, double* maxCorner)
{
    if (!usable(s) || !frame || !minCorner || !maxCorner)
        return;
    const double* o = frame;
    const double* axes[3] = {frame + 3, frame + 6, frame + 9};
    for (int i = 0; i < rowsOf(s); ++i)
        for (int j = 0; j < colsOf(s); ++j) {
            const double* p = at(s, i, j);
            const double d[3] = {p[0] - o[0], p[1] - o[1], p[2] - o[2]};
            for (int k = 0; k < 3; ++k) {
                const double c = dot(d, axes[k]);
                if (c < minCorner[k])
                    minCorner[k] = c;
                if (c > maxCorner[k])
                    maxCorner[k] = c;
            }
        }
}

int ratBSplSurfPolygonLengths(const RatBSplSurf* s, char direction, int n, const int* multiplicities,
                              double* lengths)
{
    if (!usable(s) || !lengths || (n > 1 && !multiplicities))
        return 0;
    const bool alongU = direction == 'U' || direction == 'u';
    const int legsPerLine = (alongU ? rowsOf(s) : colsOf(s)) - 1; // leg k joins points k - 1 and k
    const int lines = alongU ? colsOf(s) : rowsOf(s);
    const int order = alongU ? s->ordu : s->ordv;
    auto leg = [&](int line, int k) {
        return alongU ? dist(at(s, k - 1, line), at(s, k, line)) : dist(at(s, line, k - 1), at(s, line, k));
    };
    // Bounds are summed from the caller's multiplicities, in 64 bits so that
    // no sum of them can overflow.
    auto stretch = [&](long long fromSum, long long toSum) {
        const int from = fromSum < 1 ? 1 : (fromSum > legsPerLine + 1 ? legsPerLine + 1 : int(fromSum));
        const int to = toSum > legsPerLine ? legsPerLine : (toSum < 0 ? 0 : int(toSum));
        double best = 0.0;
        for (int line = 0; line < lines; ++line) {
            double sum = 0.0;
            for (int k = from; k <= to; ++k)
                sum += leg(line, k);
            if (sum > best)
                best = sum;
        }
        return best;
    };
    if (n < 1)
        return 1;
    lengths[0] = stretch(1, legsPerLine);
    long long before = 0; // sum of the multiplicities of the interior values passed so far
    for (int k = 1; k < n; ++k) {
        if (k >= 2)
            before += multiplicities[k - 1];
        lengths[k] = stretch(before + 1, before + order - 1);
    }
    return 1;
}

void ratBSplSurfSpeedFactors(RatBSplSurf* s, double* factorU, double* factorV)
{
    if (!factorU || !factorV)
        return;
    *factorU = 1.0;
    *factorV = 1.0;
    double ru, rv, lu, lv;
    if (!widthsAndLengths(s, 0.05, &ru, &rv, &lu, &lv))
        return;
    lu = std::fmax(lu, 0.05);
    lv = std::fmax(lv, 0.05);
    *factorU = std::fmax(lu / ru, 0.05);
    *factorV = std::fmax(lv / rv, 0.05);
}

void ratBSplSurfSpeedFactorsClamped(RatBSplSurf* s, double lower, double upper, double* factorU, double* factorV)
{
    if (!factorU || !factorV)
        return;
    *factorU = 1.0;
    *factorV = 1.0;
    double ru, rv, lu, lv;
    if (!widthsAndLengths(s, 1e-12, &ru, &rv, &lu, &lv))
        return;
    double fu = lu / ru, fv = lv / rv;
    if (ru * fu < lower)
        fu = lower / ru;
    else if (ru * fu > upper)
        fu = upper / ru;
    if (rv * fv < lower)
        fv = lower / rv;
    else if (rv * fv > upper)
        fv = upper / rv;
    *factorU = fu;
    *factorV = fv;
}

int ratBSplSurfNextKinkKnot(RatBSplSurf* s, char direction, int* index)
{
    if (!usable(s) || !index)
        return 0;
    const bool lineU = direction == 'U' || direction == 'u';
    if (!lineU && direction != 'V' && direction != 'v')
        return 0;
    const double* K = lineU ? s->knotsu : s->knotsv;
    const int n = lineU ? s->noPointsu : s->noPointsv;
    const int p = lineU ? s->ordu : s->ordv;
    const double* Ko = lineU ? s->knotsv : s->knotsu;
    const int m = lineU ? s->noPointsv : s->noPointsu;
    const int po = lineU ? s->ordv : s->ordu;
    if (*index >= n - p)
        return 0;
    // The first call (any index before the start group) begins at the first
    // interior knot; later calls continue after the group last reported.
    int g = *index < p - 1 ? p - 1 : *index;
    ++g;
    const double olo = Ko[po - 1], ohi = Ko[m - po];
    while (g < n - p) {
        int mult = 1;
        while (mult < p && g + mult < n && K[g + mult] - K[g] < 1e-14)
            ++mult;
        if (mult >= p - 1 && g + mult - 1 < n - p) {
            const int left = g - 1, right = g + mult - 1;
            for (int k = 0; k < m; ++k) {
                const double t = static_cast<double>(k) / m;
                const double o = (1.0 - t) * olo + t * ohi;
                int so = ratBSplCurveFindSpan(Ko, m, po, o);
                if (so < 0)
                    so = po - 1;
                double dl[3], dr[3];
                GeomPoint pl, pr;
                if (lineU) {
                    pl = ratBSplSurfEvalAtSpans(s, left, so, K[g], o, dl, nullptr, nullptr, nullptr, nullptr, nullptr);
                    pr = ratBSplSurfEvalAtSpans(s, right, so, K[g], o, dr, nullptr, nullptr, nullptr, nullptr,
                                                nullptr);
                } else {
                    pl = ratBSplSurfEvalAtSpans(s, so, left, o, K[g], nullptr, nullptr, dl, nullptr, nullptr, nullptr);
                    pr = ratBSplSurfEvalAtSpans(s, so, right, o, K[g], nullptr, nullptr, dr, nullptr, nullptr,
                                                nullptr);
                }
                bool brk = distP(pl, pr) > 0.001;
                if (!brk) {
                    const double ll = len(dl), lr = len(dr);
                    const double lmax = std::fmax(ll, lr), lmin = std::fmin(ll, lr);
                    if (lmax > 1e-6) {
                        if (lmin < 0.1 * lmax)
                            brk = true;
                        else if (dot(dl, dr) / (ll * lr) < 0.0001)
                            brk = true;
                    }
                }
                if (brk) {
                    *index = g + mult - 1;
                    return 1;
                }
            }
        }
        g += mult;
    }
    *index = n;
    return 0;
}

int ratBSplSurfNextPatchForPoint(const RatBSplSurf* s, int* uSpan, int* vSpan, const double* point,
                                 double* window)
{
    if (!usable(s) || !uSpan || !vSpan || !point || !window || *uSpan >= s->noPointsu)
        return -1;
    const int firstU = s->ordu - 1, firstV = s->ordv - 1;
    const int lastU = s->noPointsu - s->ordu - 1, lastV = s->noPointsv - s->ordv - 1;
    const bool firstCall = *uSpan < firstU && *vSpan < firstV;
    int su, sv;
    if (firstCall) {
        su = firstU;
        sv = firstV;
    } else {
        // Continue after the patch handed out last time (a span at or past
        // the last one moves on to the next row without counting past it).
        su = *uSpan < firstU ? firstU : *uSpan;
        if (*vSpan >= lastV) {
            sv = firstV;
            ++su;
        } else {
            sv = *vSpan + 1 < firstV ? firstV : *vSpan + 1;
        }
    }
    const double* Ku = s->knotsu;
    const double* Kv = s->knotsv;
    const double umin = Ku[firstU], umax = Ku[lastU + 1], vmin = Kv[firstV], vmax = Kv[lastV + 1];
    const double du = umax - umin, dv = vmax - vmin;
    for (; su <= lastU; ++su, sv = firstV) {
        if (Ku[su + 1] - Ku[su] < 1e-12)
            continue;
        for (; sv <= lastV; ++sv) {
            if (Kv[sv + 1] - Kv[sv] < 1e-12)
                continue;
            double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
            for (int i = su - s->ordu + 1; i <= su; ++i)
                for (int j = sv - s->ordv + 1; j <= sv; ++j)
                    for (int k = 0; k < 3; ++k) {
                        const double c = at(s, i, j)[k];
                        lo[k] = std::fmin(lo[k], c);
                        hi[k] = std::fmax(hi[k], c);
                    }
            bool inside = true;
            for (int k = 0; k < 3 && inside; ++k)
                inside = point[k] >= lo[k] - 0.001 && point[k] <= hi[k] + 0.001;
            if (inside) {
                window[0] = du > 0.0 ? (Ku[su] - umin) / du : 0.0;
                window[1] = dv > 0.0 ? (Kv[sv] - vmin) / dv : 0.0;
                window[2] = du > 0.0 ? (Ku[su + 1] - umin) / du : 1.0;
                window[3] = dv > 0.0 ? (Kv[sv + 1] - vmin) / dv : 1.0;
                *uSpan = su;
                *vSpan = sv;
                return 1;
            }
        }
    }
    *uSpan = s->noPointsu;
    *vSpan = firstV;
    if (firstCall) {
        window[0] = 0.0;
        window[1] = 0.0;
        window[2] = 1.0;
        window[3] = 1.0;
        return 1;
    }
    return 0;
}
