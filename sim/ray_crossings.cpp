#include "ray_crossings.h"

#include <boost/math/tools/polynomial.hpp>
#include <boost/math/tools/toms748_solve.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace hostsim {

namespace {

using Polynomial = boost::math::tools::polynomial<double>;

double dot3(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The point's height along the axis and its distance from the axis.
void axial(const SampleFace& f, const double* p, double& height, double& radial)
{
    const double d[3] = {p[0] - f.point[0], p[1] - f.point[1], p[2] - f.point[2]};
    height = dot3(d, f.axis);
    const double r[3] = {d[0] - height * f.axis[0], d[1] - height * f.axis[1], d[2] - height * f.axis[2]};
    radial = std::sqrt(dot3(r, r));
}

// Where p changes sign between lo and hi, and where it comes closest to zero
// without changing sign (its extremes there): the caller keeps of these the
// points that lie on the carrier. Degree 2 in closed form; above, p is
// monotone between two neighbouring extremes (the roots of its derivative,
// found the same way), so each such piece holds one root at most, bracketed
// by a change of sign and refined by TOMS 748.
void rootsAndExtremes(const Polynomial& p, double lo, double hi, std::vector<double>& out)
{
    auto keep = [&](double t) {
        if (t >= lo && t <= hi)
            out.push_back(t);
    };
    if (p.size() <= 1)
        return;
    if (p.size() == 2) {
        keep(-p[0] / p[1]);
        return;
    }
    if (p.size() == 3) {
        const double a = p[2], b = p[1], c = p[0];
        const double disc = b * b - 4.0 * a * c;
        if (disc < 0.0) {
            keep(-b / (2.0 * a));
            return;
        }
        // The root of larger size first, without cancellation; the other
        // from the product of the two.
        const double q = -0.5 * (b + std::copysign(std::sqrt(disc), b));
        if (q != 0.0) {
            keep(q / a);
            keep(c / q);
        } else {
            keep(0.0);
        }
        return;
    }
    std::vector<double> ends{lo};
    rootsAndExtremes(p.prime(), lo, hi, ends);
    ends.push_back(hi);
    std::sort(ends.begin(), ends.end());
    const auto f = [&p](double t) { return p(t); };
    for (std::size_t i = 0; i + 1 < ends.size(); ++i) {
        const double a = ends[i], b = ends[i + 1], fa = p(a), fb = p(b);
        if (i > 0)
            out.push_back(a);  // an extreme: a touching ray, when it lies on the carrier
        if (fa == 0.0) {
            out.push_back(a);
        } else if (fb != 0.0 && (fa < 0.0) != (fb < 0.0)) {
            std::uintmax_t iterations = 200;
            const auto bracket =
                boost::math::tools::toms748_solve(f, a, b, fa, fb, boost::math::tools::eps_tolerance<double>(), iterations);
            out.push_back(0.5 * (bracket.first + bracket.second));
        }
    }
    if (p(hi) == 0.0)
        out.push_back(hi);
}

// The face's carrier along the ray origin + t direction, as a polynomial in t
// whose zeros are where the ray meets the carrier.
Polynomial carrierAlongRay(const SampleFace& f, const double* o, const double* d)
{
    const double w[3] = {o[0] - f.point[0], o[1] - f.point[1], o[2] - f.point[2]};
    // |w + t d|^2 and the height (w + t d).axis along the ray.
    const Polynomial square{dot3(w, w), 2.0 * dot3(w, d), dot3(d, d)};
    const Polynomial height{dot3(w, f.axis), dot3(d, f.axis)};
    if (f.kind == "plane")
        return height;
    if (f.kind == "sphere")
        return square - f.radius * f.radius;
    if (f.kind == "cylinder")
        return square - height * height - f.radius * f.radius;
    if (f.kind == "cone") {
        // Both nappes; the one behind the apex is not on the carrier.
        const double c = std::cos(f.halfAngle);
        return square * (c * c) - height * height;
    }
    if (f.kind == "torus") {
        const double R2 = f.radius * f.radius, r2 = f.minorRadius * f.minorRadius;
        const Polynomial q = square + (R2 - r2);
        return q * q - (square - height * height) * (4.0 * R2);
    }
    // The free-form face: the ray's height above the patch's polynomial,
    // continued beside the patch as the face's height is.
    const Polynomial s{o[0] - f.patchRange[0], d[0]}, t{o[1] - f.patchRange[2], d[1]};
    Polynomial surface{0.0}, tPower{1.0};
    for (int j = 0; j < 4; ++j) {
        Polynomial sPower{1.0};
        for (int i = 0; i < 4; ++i) {
            surface += sPower * tPower * f.patch[3 * (i + 4 * j) + 2];
            sPower *= s;
        }
        tPower *= t;
    }
    return Polynomial{o[2], d[2]} - surface;
}

} // namespace

double carrierOffset(const SampleFace& f, const double* p)
{
    if (f.kind == "plane") {
        const double d[3] = {p[0] - f.point[0], p[1] - f.point[1], p[2] - f.point[2]};
        return dot3(d, f.axis);
    }
    if (f.kind == "sphere") {
        const double d[3] = {p[0] - f.point[0], p[1] - f.point[1], p[2] - f.point[2]};
        return std::sqrt(dot3(d, d)) - f.radius;
    }
    if (f.kind == "freeform")
        return p[2] - freeformHeight(f, p[0], p[1]);
    double h = 0.0, rho = 0.0;
    axial(f, p, h, rho);
    if (f.kind == "cylinder")
        return rho - f.radius;
    if (f.kind == "cone")
        return rho * std::cos(f.halfAngle) - h * std::sin(f.halfAngle);
    return std::sqrt((rho - f.radius) * (rho - f.radius) + h * h) - f.minorRadius;
}

std::vector<double> carrierCrossings(const SampleFace& face, const double origin[3], const double direction[3],
                                     double from, double to, double tolerance)
{
    std::vector<double> crossings;
    if (!(from <= to) || !std::isfinite(from) || !std::isfinite(to))
        return crossings;
    // Measured from the start of the interval, the polynomial's coefficients
    // stay of the face's size, not of the ray's length.
    const double start[3] = {origin[0] + from * direction[0], origin[1] + from * direction[1],
                             origin[2] + from * direction[2]};
    std::vector<double> candidates;
    rootsAndExtremes(carrierAlongRay(face, start, direction), 0.0, to - from, candidates);
    std::sort(candidates.begin(), candidates.end());
    for (double t : candidates) {
        const double q[3] = {start[0] + t * direction[0], start[1] + t * direction[1], start[2] + t * direction[2]};
        if (std::fabs(carrierOffset(face, q)) <= tolerance &&
            (crossings.empty() || from + t > crossings.back()))
            crossings.push_back(from + t);
    }
    return crossings;
}

} // namespace hostsim
