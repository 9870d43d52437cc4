#include "stl_reader.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace kvcd {

namespace {

const std::size_t kHeader = 80;
const std::size_t kRecord = 50;  // normal, three corners (12 floats) and a 16-bit attribute

float readFloat(const char* p)
{
    // STL is little-endian; so is every machine this library is built for.
    float f;
    std::memcpy(&f, p, sizeof f);
    return f;
}

bool parseBinary(const std::string& bytes, std::vector<StlTriangle>& out, std::size_t maxTriangles)
{
    if (bytes.size() < kHeader + 4)
        return false;
    std::uint32_t count = 0;
    std::memcpy(&count, bytes.data() + kHeader, 4);
    if (count == 0 || count > maxTriangles || bytes.size() != kHeader + 4 + std::size_t(count) * kRecord)
        return false;
    out.resize(count);
    const char* p = bytes.data() + kHeader + 4;
    for (std::uint32_t t = 0; t < count; ++t, p += kRecord) {
        for (int c = 0; c < 3; ++c) {
            for (int k = 0; k < 3; ++k) {
                const double value = readFloat(p + 12 + 12 * c + 4 * k);
                if (!std::isfinite(value))
                    return false;
                out[t].v[c][k] = value;
            }
        }
    }
    return true;
}

// "solid ... facet normal ... outer loop vertex x y z (three times) endloop
// endfacet ... endsolid": only the vertices matter; each facet must have three.
bool parseAscii(const std::string& bytes, std::vector<StlTriangle>& out, std::size_t maxTriangles)
{
    std::istringstream in(bytes);
    std::string word;
    if (!(in >> word) || word != "solid")
        return false;
    StlTriangle current{};
    int corners = 0;
    bool inFacet = false;
    while (in >> word) {
        if (word == "facet") {
            if (inFacet)
                return false;
            inFacet = true;
            corners = 0;
        } else if (word == "vertex") {
            if (!inFacet || corners >= 3)
                return false;
            for (int k = 0; k < 3; ++k) {
                double value = 0.0;
                if (!(in >> value) || !std::isfinite(value))
                    return false;
                current.v[corners][k] = value;
            }
            ++corners;
        } else if (word == "endfacet") {
            if (!inFacet || corners != 3 || out.size() >= maxTriangles)
                return false;
            out.push_back(current);
            inFacet = false;
        } else if (word == "endsolid") {
            return !inFacet && !out.empty();
        }
    }
    return false;  // no endsolid: truncated
}

} // namespace

bool parseStl(const std::string& bytes, std::vector<StlTriangle>& out, std::size_t maxTriangles)
{
    out.clear();
    // A binary file may begin with "solid" too; its size decides first.
    bool ok = parseBinary(bytes, out, maxTriangles);
    if (!ok) {
        out.clear();
        ok = parseAscii(bytes, out, maxTriangles);
    }
    if (!ok)
        out.clear();
    return ok;
}

bool readStl(const std::string& path, std::vector<StlTriangle>& out, std::size_t maxTriangles)
{
    out.clear();
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        return false;
    return parseStl(bytes, out, maxTriangles);
}

} // namespace kvcd
