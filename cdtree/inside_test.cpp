// The only user of CGAL: its AABB tree counts the triangles a ray crosses,
// with exact predicates, so that a ray through an edge or a vertex is
// counted as the geometry says.
#include "inside_test.h"

#include <CGAL/AABB_traits.h>
#include <CGAL/AABB_tree.h>
#include <CGAL/AABB_triangle_primitive.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>

#include <cmath>

namespace kvcd {

namespace {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using Point = Kernel::Point_3;
using Triangle = Kernel::Triangle_3;
using Ray = Kernel::Ray_3;
using Triangles = std::vector<Triangle>;
using Primitive = CGAL::AABB_triangle_primitive<Kernel, Triangles::const_iterator>;
using Tree = CGAL::AABB_tree<CGAL::AABB_traits<Kernel, Primitive>>;

// Three orthonormal directions turned away from the axes and from the
// diagonals, so that the rays do not run along the edges of machined or
// modelled parts, which mostly follow the axes.
struct Directions {
    Kernel::Vector_3 d[6];
    Directions()
    {
        const double a = 0.4123, b = 0.2718, c = 0.1732;  // radians about x, y, z
        const double ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b), cc = std::cos(c),
                     sc = std::sin(c);
        // Columns of Rz(c) Ry(b) Rx(a).
        const double m[3][3] = {{cc * cb, cc * sb * sa - sc * ca, cc * sb * ca + sc * sa},
                                {sc * cb, sc * sb * sa + cc * ca, sc * sb * ca - cc * sa},
                                {-sb, cb * sa, cb * ca}};
        for (int i = 0; i < 3; ++i) {
            d[2 * i] = Kernel::Vector_3(m[0][i], m[1][i], m[2][i]);
            d[2 * i + 1] = -d[2 * i];
        }
    }
};

const Directions& directions()
{
    static const Directions the;
    return the;
}

} // namespace

struct InsideTest::Tree {
    Triangles triangles;
    kvcd::Tree tree;
};

InsideTest::InsideTest(const std::vector<double>& corners) : m_tree(new Tree())
{
    Triangles& kept = m_tree->triangles;
    kept.reserve(corners.size() / 9);
    for (std::size_t t = 0; t + 9 <= corners.size(); t += 9) {
        const Point a(corners[t], corners[t + 1], corners[t + 2]);
        const Point b(corners[t + 3], corners[t + 4], corners[t + 5]);
        const Point c(corners[t + 6], corners[t + 7], corners[t + 8]);
        if (!CGAL::collinear(a, b, c))
            kept.emplace_back(a, b, c);
    }
    if (!kept.empty()) {
        m_tree->tree.insert(kept.begin(), kept.end());
        m_tree->tree.build();
    }
}

InsideTest::~InsideTest() = default;

bool InsideTest::encloses(const double p[3]) const
{
    if (m_tree->triangles.empty())
        return false;
    const CGAL::Bbox_3 box = m_tree->tree.bbox();
    if (p[0] < box.xmin() || p[0] > box.xmax() || p[1] < box.ymin() || p[1] > box.ymax() || p[2] < box.zmin() ||
        p[2] > box.zmax())
        return false;
    const Point from(p[0], p[1], p[2]);
    // Most points asked about are outside: the count stops once the vote is
    // decided either way.
    const int rays = 6;
    int odd = 0, even = 0;
    for (const Kernel::Vector_3& d : directions().d) {
        if (m_tree->tree.number_of_intersected_primitives(Ray(from, d)) % 2 == 1)
            ++odd;
        else
            ++even;
        if (2 * odd > rays || 2 * even >= rays)
            break;
    }
    return 2 * odd > rays;
}

} // namespace kvcd
