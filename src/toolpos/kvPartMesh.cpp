#include "toolpos/kvPartMesh.h"

#include "geom/geom.h"

#include <cmath>

namespace {

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

}  // namespace

bool kvTessellateSurface(RatBSplSurf* surface, double tolerance, kvPartMesh& mesh, int maxPerDirection)
{
    if (!surface || !(tolerance > 0.0) || maxPerDirection < 1)
        return false;
    Grid g;
    g.nu = g.nv = maxPerDirection < 4 ? maxPerDirection : 4;
    bool missed = false;
    for (;;) {
        if (!evaluate(surface, g))
            return false;
        bool refineU = false, refineV = false;
        deviations(surface, g, tolerance, refineU, refineV);
        if (!refineU && !refineV)
            break;
        const bool canU = refineU && g.nu * 2 <= maxPerDirection;
        const bool canV = refineV && g.nv * 2 <= maxPerDirection;
        if (!canU && !canV) {
            missed = true;
            break;
        }
        if (canU)
            g.nu *= 2;
        if (canV)
            g.nv *= 2;
    }
    const int first = mesh.pointCount();
    for (const GeomPoint& q : g.p) {
        mesh.xyz.push_back(q.x);
        mesh.xyz.push_back(q.y);
        mesh.xyz.push_back(q.z);
    }
    auto index = [&](int i, int j) { return first + j * (g.nu + 1) + i; };
    for (int j = 0; j < g.nv; ++j) {
        for (int i = 0; i < g.nu; ++i) {
            const int c[4] = {index(i, j), index(i + 1, j), index(i + 1, j + 1), index(i, j + 1)};
            const GeomPoint* q[4] = {&g.at(i, j), &g.at(i + 1, j), &g.at(i + 1, j + 1), &g.at(i, j + 1)};
            const int tris[2][3] = {{0, 1, 2}, {0, 2, 3}};
            for (const auto& t : tris) {
                if (sameSpot(*q[t[0]], *q[t[1]]) || sameSpot(*q[t[1]], *q[t[2]]) || sameSpot(*q[t[0]], *q[t[2]]))
                    continue;
                mesh.triangles.push_back(c[t[0]]);
                mesh.triangles.push_back(c[t[1]]);
                mesh.triangles.push_back(c[t[2]]);
            }
        }
    }
    ++mesh.surfaces;
    if (missed)
        mesh.toleranceMissed = true;
    return true;
}
