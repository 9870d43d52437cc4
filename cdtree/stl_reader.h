// Reading the triangles of an STL file, binary or ASCII.
#pragma once

#include "kvCdTree.h"

#include <string>
#include <vector>

namespace kvcd {

struct StlTriangle {
    double v[3][3];
};

enum class StlStatus {
    ok,
    unreadable,   // missing, unreadable or empty
    malformed,    // truncated, cut short, or neither binary nor ASCII STL
    countBelowData,  // binary, with more whole records than its count says
    badCount,     // no triangles, or more than allowed
    notFinite,    // a coordinate that is NaN or infinite (or beyond double)
    beyondLimit,  // a coordinate whose magnitude exceeds the limit
};

// The file's triangles into out (replaced). Anything but ok leaves out empty.
StlStatus readStl(const std::string& path, std::vector<StlTriangle>& out,
                  std::size_t maxTriangles = kvCdMaxMachineTriangles, double coordinateLimit = kvCdCoordinateLimit);

// The same for the file's contents already in memory.
StlStatus parseStl(const std::string& bytes, std::vector<StlTriangle>& out,
                   std::size_t maxTriangles = kvCdMaxMachineTriangles, double coordinateLimit = kvCdCoordinateLimit);

// Whether a triangle has no area: two equal corners, or three in a line.
bool isDegenerate(const StlTriangle& t);

} // namespace kvcd
