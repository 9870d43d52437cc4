// The sample part's faces as trimmed: where a face's surface (its carrier)
// reaches beyond the face, the part of it that is really the face. The top
// and bottom faces have the holes, the boss and the pocket cut out; faces end
// where the roundings along their edges begin, where the tilted face and the
// chamfer cut them and, the pocket's walls, at its floor; the torus and the
// sphere keep only the quarter of the tube and the corner octant that the
// part shows. Trimmed so, the faces meet edge to edge around the material. A
// torus fillet of the generated part is trimmed as the sample's.
#pragma once

#include "sample_part.h"

namespace hostsim {

// Whether a point on the face's carrier (and within its surface's extent)
// lies on the face as trimmed; a tolerance widens the face by that much at
// its trimmed edges.
bool insideTrimmedFace(const SampleFace& face, const double point[3], double tolerance = 0.0);

} // namespace hostsim
