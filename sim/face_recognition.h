// How the host recognises a face's shape: from the face's surface record
// alone, by the kernel's shape tests, as a real host recognises the faces it
// is given. The modelled shape of a sample face is used only to keep the
// orientation its model gave the feature's axis (a sign the surface does not
// carry).
#pragma once

#include "sample_part.h"

#include <iosfwd>
#include <string>

namespace hostsim {

struct RecognisedShape {
    // "plane", "cylinder", "cone", "torus", "sphere" or "freeform".
    std::string kind = "freeform";
    // plane: a point on it and its normal out of the material.
    // cylinder, cone: the axis point where the face has `radius`, the unit
    //   axis, and the sine of the half angle, positive when the radius grows
    //   along the axis.
    // torus: centre, unit axis, major `radius` and signed `minorRadius`
    //   (negative when the normal points into the tube), `torusKind`.
    // sphere: centre and signed radius (negative when the normal points in).
    double point[3] = {0, 0, 0};
    double axis[3] = {0, 0, 0};
    double radius = 0.0;
    double minorRadius = 0.0;
    double sineOfAngle = 0.0;
    short torusKind = 0;
};

// Recognised once per face and kept, as a host keeps what it found out about
// a face of its model.
const RecognisedShape& recogniseFace(const SampleFace& face);

// "kind" and the recognised measures on one line, for the face list.
std::string describeRecognised(const RecognisedShape& shape);

} // namespace hostsim
