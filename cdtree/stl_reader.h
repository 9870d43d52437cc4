// Reading the triangles of an STL file, binary or ASCII.
#pragma once

#include <string>
#include <vector>

namespace kvcd {

struct StlTriangle {
    double v[3][3];
};

// The file's triangles into out (replaced). False, with out empty, for a file
// that cannot be read, is truncated or malformed, holds a coordinate that is
// not finite, or has more triangles than maxTriangles.
bool readStl(const std::string& path, std::vector<StlTriangle>& out, std::size_t maxTriangles = 20000000);

// The same for the file's contents already in memory.
bool parseStl(const std::string& bytes, std::vector<StlTriangle>& out, std::size_t maxTriangles = 20000000);

} // namespace kvcd
