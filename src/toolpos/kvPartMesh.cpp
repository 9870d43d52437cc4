#include "toolpos/kvPartMesh.h"

#include "geom/geom.h"

#include <algorithm>
#include <cmath>

namespace {

// A trim boundary is followed by cells of this many chord tolerances; a
// crossing of a cell edge is found to half the tolerance.
const double kTrimCellPerTolerance = 100.0;
const double kCrossingPerTolerance = 0.5;
// The deepest halving of a cell that a trim boundary crosses.
const int kTrimDepthLimit = 12;

struct Grid {
    int nu = 0, nv = 0;
    std::vector<GeomPoint> p;  // (nu + 1) x (nv + 1), u first
    const GeomPoint& at(int i, int j) const { return p[static_cast<std::size_t>(j) * (nu + 1) + i]; }
};

double distance(const GeomPoint& a, const GeomPoint& b)
{
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

GeomPoint mid(const GeomPoint& a, const GeomPoint& b)
{
    return {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
}

bool evaluate(RatBSplSurf* s, Grid& g)
{
    g.p.resize(static_cast<std::size_t>(g.nu + 1) * (g.nv + 1));
    for (int j = 0; j <= g.nv; ++j) {
        for (int i = 0; i <= g.nu; ++i) {
            const GeomPoint q = ratBSplSurfEvalPoint(s, double(i) / g.nu, double(j) / g.nv);
            if (!std::isfinite(q.x) || !std::isfinite(q.y) || !std::isfinite(q.z))
                return false;
            g.p[static_cast<std::size_t>(j) * (g.nu + 1) + i] = q;
        }
    }
    return true;
}

// Whether the cells are too coarse along u and along v.
void deviations(RatBSplSurf* s, const Grid& g, double tolerance, bool& refineU, bool& refineV)
{
    refineU = refineV = false;
    for (int j = 0; j <= g.nv && !refineU; ++j) {
        for (int i = 0; i < g.nu; ++i) {
            const GeomPoint m = ratBSplSurfEvalPoint(s, (i + 0.5) / g.nu, double(j) / g.nv);
            if (distance(m, mid(g.at(i, j), g.at(i + 1, j))) > tolerance) {
                refineU = true;
                break;
            }
        }
    }
    for (int i = 0; i <= g.nu && !refineV; ++i) {
        for (int j = 0; j < g.nv; ++j) {
            const GeomPoint m = ratBSplSurfEvalPoint(s, double(i) / g.nu, (j + 0.5) / g.nv);
            if (distance(m, mid(g.at(i, j), g.at(i, j + 1))) > tolerance) {
                refineV = true;
                break;
            }
        }
    }
    if (refineU || refineV)
        return;
    // A twist shows only inside the cells, once their edges are fine enough.
    for (int j = 0; j < g.nv; ++j) {
        for (int i = 0; i < g.nu; ++i) {
            const GeomPoint m = ratBSplSurfEvalPoint(s, (i + 0.5) / g.nu, (j + 0.5) / g.nv);
            const GeomPoint flat = mid(mid(g.at(i, j), g.at(i + 1, j + 1)), mid(g.at(i + 1, j), g.at(i, j + 1)));
            if (distance(m, flat) > tolerance) {
                refineU = refineV = true;
                return;
            }
        }
    }
}

bool sameSpot(const GeomPoint& a, const GeomPoint& b)
{
    return distance(a, b) < 1e-12;
}

// The longest cell edges of the grid along u and along v, in model space.
void longestCellEdges(const Grid& g, double& alongU, double& alongV)
{
    alongU = alongV = 0.0;
    for (int j = 0; j <= g.nv; ++j)
        for (int i = 0; i <= g.nu; ++i) {
            if (i < g.nu)
                alongU = std::max(alongU, distance(g.at(i, j), g.at(i + 1, j)));
            if (j < g.nv)
                alongV = std::max(alongV, distance(g.at(i, j), g.at(i, j + 1)));
        }
}

// The grid over the surface, halved along u and v until the chord tolerance
// holds and no cell edge is longer than largestCell, with at most
// maxPerDirection cells along each parameter (missed set when that limit
// ends the refinement first). False for a point that is not finite.
bool refinedGrid(RatBSplSurf* surface, double tolerance, double largestCell, int maxPerDirection, Grid& g,
                 bool& missed)
{
    g.nu = g.nv = maxPerDirection < 4 ? maxPerDirection : 4;
    missed = false;
    for (;;) {
        if (!evaluate(surface, g))
            return false;
        bool refineU = false, refineV = false;
        deviations(surface, g, tolerance, refineU, refineV);
        const bool chordMissed = refineU || refineV;
        if (largestCell < HUGE_VAL) {
            double alongU = 0.0, alongV = 0.0;
            longestCellEdges(g, alongU, alongV);
            refineU = refineU || alongU > largestCell;
            refineV = refineV || alongV > largestCell;
        }
        if (!refineU && !refineV)
            return true;
        const bool canU = refineU && g.nu * 2 <= maxPerDirection;
        const bool canV = refineV && g.nv * 2 <= maxPerDirection;
        if (!canU && !canV) {
            // Cells longer than asked are no tolerance missed.
            missed = chordMissed;
            return true;
        }
        if (canU)
            g.nu *= 2;
        if (canV)
            g.nv *= 2;
    }
}

void addTriangle(kvPartMesh& mesh, const GeomPoint& a, const GeomPoint& b, const GeomPoint& c)
{
    if (sameSpot(a, b) || sameSpot(b, c) || sameSpot(a, c))
        return;
    for (const GeomPoint* q : {&a, &b, &c}) {
        mesh.triangles.push_back(mesh.pointCount());
        mesh.xyz.push_back(q->x);
        mesh.xyz.push_back(q->y);
        mesh.xyz.push_back(q->z);
    }
}

// Cuts the cells of a surface's grid to the part of it that is the face.
class TrimmedCells {
public:
    TrimmedCells(RatBSplSurf* surface, const std::function<bool(const GeomPoint&)>& onFace, double tolerance,
                 kvPartMesh& mesh)
        : m_surface(surface), m_onFace(onFace), m_tolerance(tolerance), m_mesh(mesh)
    {
    }

    struct Corner {
        double u, v;
        GeomPoint p;
        bool on;
    };

    Corner corner(double u, double v) const
    {
        const GeomPoint p = ratBSplSurfEvalPoint(m_surface, u, v);
        return {u, v, p, m_onFace(p)};
    }

    // c: the corners (u0, v0), (u1, v0), (u1, v1), (u0, v1).
    // A cell whose corners agree is taken whole or left out: what lies
    // between them is below the feature size the grid was made for.
    void cell(const Corner c[4], int depth)
    {
        const int on = c[0].on + c[1].on + c[2].on + c[3].on;
        if (on == 4) {
            addTriangle(m_mesh, c[0].p, c[1].p, c[2].p);
            addTriangle(m_mesh, c[0].p, c[2].p, c[3].p);
            return;
        }
        if (on == 0)
            return;
        const double um = (c[0].u + c[1].u) / 2, vm = (c[0].v + c[3].v) / 2;
        const Corner centre = corner(um, vm);
        const double size = std::max(distance(c[0].p, c[2].p), distance(c[1].p, c[3].p));
        if (size > kTrimCellPerTolerance * m_tolerance && depth < kTrimDepthLimit) {
            const Corner bottom = corner(um, c[0].v), right = corner(c[1].u, vm), top = corner(um, c[3].v),
                         left = corner(c[0].u, vm);
            const Corner quarters[4][4] = {{c[0], bottom, centre, left},
                                           {bottom, c[1], right, centre},
                                           {centre, right, c[2], top},
                                           {left, centre, top, c[3]}};
            for (const auto& q : quarters)
                cell(q, depth + 1);
            return;
        }
        clip(c, centre);
    }

private:
    // The point where the face's boundary crosses the edge from a to b
    // (one on the face, one off), by halving.
    GeomPoint crossing(const Corner& a, const Corner& b) const
    {
        Corner in = a.on ? a : b, out = a.on ? b : a;
        while (distance(in.p, out.p) > kCrossingPerTolerance * m_tolerance) {
            const Corner mid = corner((in.u + out.u) / 2, (in.v + out.v) / 2);
            (mid.on ? in : out) = mid;
        }
        return in.p;
    }

    // The cell cut at its boundary crossings (marching squares); a cell
    // whose opposite corners alone are on the face is one piece when its
    // centre is on it, two corners otherwise.
    void clip(const Corner c[4], const Corner& centre)
    {
        GeomPoint ring[8];
        int n = 0;
        for (int k = 0; k < 4; ++k) {
            const Corner& a = c[k];
            const Corner& b = c[(k + 1) % 4];
            if (a.on)
                ring[n++] = a.p;
            if (a.on != b.on)
                ring[n++] = crossing(a, b);
        }
        const bool saddle = c[0].on == c[2].on && c[1].on == c[3].on && c[0].on != c[1].on;
        if (saddle && !centre.on) {
            // Each on-corner with its two crossings.
            for (int k = 0; k < n; ++k)
                for (int corner = 0; corner < 4; ++corner)
                    if (c[corner].on && sameSpot(ring[k], c[corner].p))
                        addTriangle(m_mesh, ring[(k + n - 1) % n], ring[k], ring[(k + 1) % n]);
            return;
        }
        if (saddle) {
            for (int k = 0; k < n; ++k)
                addTriangle(m_mesh, centre.p, ring[k], ring[(k + 1) % n]);
            return;
        }
        for (int k = 1; k + 1 < n; ++k)
            addTriangle(m_mesh, ring[0], ring[k], ring[k + 1]);
    }

    RatBSplSurf* m_surface;
    const std::function<bool(const GeomPoint&)>& m_onFace;
    double m_tolerance;
    kvPartMesh& m_mesh;
};

}  // namespace

bool kvTessellateTrimmedFace(RatBSplSurf* surface, const std::function<bool(const GeomPoint&)>& onFace,
                             double tolerance, double featureSize, kvPartMesh& mesh, int maxPerDirection)
{
    if (!surface || !onFace || !(tolerance > 0.0) || !(featureSize > 0.0) || maxPerDirection < 1)
        return false;
    Grid g;
    bool missed = false;
    if (!refinedGrid(surface, tolerance, featureSize, maxPerDirection, g, missed))
        return false;
    // The trim is first asked at the corners of the coarser grid that the
    // feature size alone needs; its cells are blocks of the fine grid's, and
    // only a block whose corners disagree is asked at every node.
    Grid trim;
    bool unused = false;
    if (!refinedGrid(surface, HUGE_VAL, featureSize, maxPerDirection, trim, unused))
        return false;
    const int bu = g.nu >= trim.nu && g.nu % trim.nu == 0 ? g.nu / trim.nu : 1;
    const int bv = g.nv >= trim.nv && g.nv % trim.nv == 0 ? g.nv / trim.nv : 1;
    TrimmedCells cells(surface, onFace, tolerance, mesh);
    std::vector<signed char> state(g.p.size(), -1);
    auto node = [&](int i, int j) {
        const std::size_t k = static_cast<std::size_t>(j) * (g.nu + 1) + i;
        if (state[k] < 0)
            state[k] = onFace(g.p[k]) ? 1 : 0;
        return TrimmedCells::Corner{double(i) / g.nu, double(j) / g.nv, g.p[k], state[k] == 1};
    };
    for (int J = 0; J < g.nv; J += bv)
        for (int I = 0; I < g.nu; I += bu) {
            const int on = node(I, J).on + node(I + bu, J).on + node(I + bu, J + bv).on + node(I, J + bv).on;
            if (on == 0)
                continue;
            for (int j = J; j < J + bv; ++j)
                for (int i = I; i < I + bu; ++i) {
                    if (on == 4) {
                        addTriangle(mesh, g.at(i, j), g.at(i + 1, j), g.at(i + 1, j + 1));
                        addTriangle(mesh, g.at(i, j), g.at(i + 1, j + 1), g.at(i, j + 1));
                        continue;
                    }
                    const TrimmedCells::Corner c[4] = {node(i, j), node(i + 1, j), node(i + 1, j + 1), node(i, j + 1)};
                    cells.cell(c, 0);
                }
        }
    ++mesh.surfaces;
    if (missed)
        mesh.toleranceMissed = true;
    return true;
}
