// Where a view ray meets the carrier surface of a face of the sample part:
// the shape the face was modelled as (plane, cylinder, cone, sphere, torus),
// or the free-form face's height polynomial. Along the ray each carrier is a
// polynomial in the ray's parameter; its crossings are found exactly, not by
// stepping, so that no crossing is missed however close two of them lie.
#pragma once

#include "sample_part.h"

#include <vector>

namespace hostsim {

// Signed offset of the point from the face's carrier: zero on it, of one
// sign on either side. For the analytic shapes it is the distance to the
// shape; for the free-form face the height above it.
double carrierOffset(const SampleFace& face, const double point[3]);

// The parameters t, from from to to and in ascending order, at which the
// ray origin + t direction (direction of unit length) meets the face's
// carrier: where it crosses it, and where it only touches it within
// tolerance (a grazing ray). A ray lying in a plane meets it nowhere (the
// face is seen edge on). Nothing for an interval that is empty or not
// finite.
std::vector<double> carrierCrossings(const SampleFace& face, const double origin[3], const double direction[3],
                                     double from, double to, double tolerance);

} // namespace hostsim
