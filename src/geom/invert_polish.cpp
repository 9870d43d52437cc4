// The last moves of a nearest-point search: Newton steps on the squared
// distance f = |S - P|^2 / 2 with its exact Hessian.
//
// The inverter's steps use only the first derivatives (the Gauss-Newton
// model), which ignores how the surface bends. That is exact on a plane and
// close on a gently curved surface, but near a centre of curvature (a point
// inside a sphere, near the core circle of a torus) each step only takes a
// share of the way, and the steps run out some 1e-4 short of the foot. The
// full Hessian J^T J + sum r_k S_k'' converges in a few steps there too.
#include "geom/invert_grid.h"

#include <cmath>

namespace geominvert {

namespace {

constexpr int kMaxSteps = 30;
constexpr int kMaxHalvings = 40;

double dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

bool wraps(int periodic, int origForm) { return periodic != 0 || origForm == 2; }

// An open direction keeps its parameter in [0, 1]; a closed one runs on.
double keepIn(double t, bool wrapping) { return wrapping ? t : std::fmin(std::fmax(t, 0.0), 1.0); }

// Solves the 2 x 2 system [a b; b c] x = -g; false when it is not positive
// definite.
bool newtonStep(double a, double b, double c, const double* g, double* du, double* dv)
{
    const double det = a * c - b * b;
    if (!(a > 0.0) || !(det > 1e-14 * a * c))
        return false;
    *du = -(c * g[0] - b * g[1]) / det;
    *dv = -(a * g[1] - b * g[0]) / det;
    return std::isfinite(*du) && std::isfinite(*dv);
}

}  // namespace

bool polishServes(const RatBSplSurf* s)
{
    // The offset point's derivatives are not those of the net.
    return s && s->isOffsetSurf == 0 && s->ordu <= GEOM_MAX_SURF_DERIV_ORDER &&
           s->ordv <= GEOM_MAX_SURF_DERIV_ORDER;
}

void polishNearest(PointInverter* p)
{
    RatBSplSurf* s = p->surface;
    if (!polishServes(s) || !(p->distance > 0.0))
        return;
    const double ru = s->knotsu[s->noPointsu - s->ordu] - s->knotsu[s->ordu - 1];
    const double rv = s->knotsv[s->noPointsv - s->ordv] - s->knotsv[s->ordv - 1];
    const bool wu = wraps(s->periodicu, s->origFormu), wv = wraps(s->periodicv, s->origFormv);
    double u = p->bestU, v = p->bestV;
    for (int step = 0; step < kMaxSteps && p->distance > 0.0; ++step) {
        double D[6][3];
        if (!secondOrder(s, u, v, D))
            break;
        // Derivatives with respect to the normalised parameters.
        double Su[3], Sv[3], Suu[3], Suv[3], Svv[3], r[3];
        for (int e = 0; e < 3; ++e) {
            r[e] = D[0][e] - p->point[e];
            Su[e] = D[1][e] * ru;
            Sv[e] = D[2][e] * rv;
            Suu[e] = D[3][e] * ru * ru;
            Suv[e] = D[4][e] * ru * rv;
            Svv[e] = D[5][e] * rv * rv;
        }
        const double g[2] = {dot(Su, r), dot(Sv, r)};
        // At an open end the gradient may push out of the domain: that
        // parameter stays, and the other one moves alone.
        const bool heldU = !wu && ((u <= 0.0 && g[0] > 0.0) || (u >= 1.0 && g[0] < 0.0));
        const bool heldV = !wv && ((v <= 0.0 && g[1] > 0.0) || (v >= 1.0 && g[1] < 0.0));
        const double a = dot(Su, Su) + dot(Suu, r), b = dot(Su, Sv) + dot(Suv, r), c = dot(Sv, Sv) + dot(Svv, r);
        double du = 0.0, dv = 0.0;
        bool firstOrder = false;
        if (heldU && heldV) {
            break;
        } else if (heldU || heldV) {
            // One parameter: Newton where f curves upwards along it, else the
            // first-order model.
            const double curv = heldU ? c : a;
            firstOrder = !(curv > 0.0);
            const double h = firstOrder ? (heldU ? dot(Sv, Sv) : dot(Su, Su)) : curv;
            if (!(h > 0.0))
                break;
            (heldU ? dv : du) = -g[heldU ? 1 : 0] / h;
        } else if (!newtonStep(a, b, c, g, &du, &dv)) {
            firstOrder = true;
            if (!newtonStep(dot(Su, Su), dot(Su, Sv), dot(Sv, Sv), g, &du, &dv))
                break;
        }
        if (!std::isfinite(du) || !std::isfinite(dv))
            break;
        // Halve the step until it comes strictly nearer.
        bool moved = false;
        double t = 1.0;
        for (int k = 0; k < kMaxHalvings && !moved; ++k, t *= 0.5) {
            const double nu = keepIn(u + t * du, wu), nv = keepIn(v + t * dv, wv);
            if (nu == u && nv == v)
                break;
            moved = keepIfNearer(p, nu, nv);
        }
        if (!moved)
            break;
        // Where f does not curve upwards (across a bulge of the surface) the
        // first-order step falls short, and short steps alone would creep:
        // a whole step that came nearer is doubled while it comes nearer.
        const bool wholeStep = t == 0.5;  // the loop halved once more after taking it
        t = 1.0;
        for (int k = 0; firstOrder && wholeStep && k < kMaxHalvings; ++k) {
            t *= 2.0;
            const double nu = keepIn(u + t * du, wu), nv = keepIn(v + t * dv, wv);
            if ((nu == p->bestU && nv == p->bestV) || !keepIfNearer(p, nu, nv))
                break;
        }
        u = p->bestU;
        v = p->bestV;
    }
    p->u = p->bestU;
    p->v = p->bestV;
}

}  // namespace geominvert
