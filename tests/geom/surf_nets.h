// Control nets of known shapes for the surface tests (test_surf_nets.cpp):
// exact rational quadratic surfaces of revolution and free-form nets, all on
// knot domains other than [0, 1].
#pragma once

#include "geom/geom.h"

#include <vector>

namespace surftest {

struct Pt {
    double x, y, z;
};

// Knot vectors as given; the net row by row, (noPoints - ord) entries each way.
RatBSplSurf* makeSurf(int ordu, int ordv, const std::vector<double>& ku,
                      const std::vector<double>& kv, const std::vector<Pt>& pts,
                      const std::vector<double>& w, int rational);
// Revolved about z: u runs round the axis (closed form), v along the profile.
RatBSplSurf* makeCylinder(double r, double z0, double z1, double u0, double u1, double v0,
                          double v1);
RatBSplSurf* makeSphere(double r, double u0, double u1, double v0, double v1);
// The profile circle starts on the outer equator and is closed form too.
RatBSplSurf* makeTorus(double R, double r, double u0, double u1, double v0, double v1);
RatBSplSurf* makeBicubic8();
// Rational bicubic 20 x 20 with double and triple interior knots.
RatBSplSurf* makeRational20();
// A rational wavy net of any orders on clamped knots with simple interior
// knots over [-1, 2] x [3, 4].
RatBSplSurf* makeWavy(int ordu, int ordv, int rows, int cols);

}  // namespace surftest
