// A generated part of any number of faces, for large selections: planes at
// several angles to the top, full and half cylinders of several radii and
// axes (the halves of a hole in pairs sharing their axis), half cones, quarter
// cylinder fillets, torus fillets and free-form faces, laid out on a grid.
// Every face has its own exact surface, as the sample part's faces do, made
// again from the face's id whenever it is asked for (surfaceOf): the part
// keeps only what describes its faces.
#pragma once

#include "sample_part.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace hostsim {

// The faces of a generated part of count faces; what was made for them goes
// with the last reference. Ids run from 1001. The same count gives the same
// part.
std::shared_ptr<const std::vector<SampleFace>> generatedPartFaces(std::size_t count);

} // namespace hostsim
