#include "stl_reader.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
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

StlStatus checkCoordinate(double value, double limit)
{
    if (!std::isfinite(value))
        return StlStatus::notFinite;
    return std::fabs(value) > limit ? StlStatus::beyondLimit : StlStatus::ok;
}

// A binary file is recognised by its size matching its count; false when it
// is not a binary file at all (status untouched).
bool parseBinary(const std::string& bytes, std::vector<StlTriangle>& out, std::size_t maxTriangles, double limit,
                 StlStatus& status)
{
    if (bytes.size() < kHeader + 4)
        return false;
    std::uint32_t count = 0;
    std::memcpy(&count, bytes.data() + kHeader, 4);
    if (bytes.size() != kHeader + 4 + std::size_t(count) * kRecord)
        return false;
    if (count == 0 || count > maxTriangles) {
        status = StlStatus::badCount;
        return true;
    }
    out.resize(count);
    const char* p = bytes.data() + kHeader + 4;
    for (std::uint32_t t = 0; t < count; ++t, p += kRecord) {
        for (int c = 0; c < 3; ++c) {
            for (int k = 0; k < 3; ++k) {
                const double value = readFloat(p + 12 + 12 * c + 4 * k);
                status = checkCoordinate(value, limit);
                if (status != StlStatus::ok)
                    return true;
                out[t].v[c][k] = value;
            }
        }
    }
    status = StlStatus::ok;
    return true;
}

// A number as strtod reads it: an overflow (1e309) is not finite, not the
// largest double.
bool readNumber(std::istream& in, double& value)
{
    std::string word;
    if (!(in >> word))
        return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    if (end == word.c_str() || *end != '\0')
        return false;
    if (errno == ERANGE && std::fabs(value) > 1.0)
        value = HUGE_VAL;
    return true;
}

// After "solid" and "endsolid" the rest of the line is the solid's name,
// whatever words it holds.
void skipName(std::istream& in)
{
    std::string name;
    std::getline(in, name);
}

// Bytes a writer padded the file with after its last solid.
bool isPadding(const std::string& word)
{
    return word.find_first_not_of('\0') == std::string::npos;
}

// One or more "solid NAME ... facet normal ... outer loop vertex x y z (three
// times) endloop endfacet ... endsolid NAME" in a row: a machine exported in
// parts keeps every part. Only the vertices matter; each facet must have
// three, and every solid must be ended.
StlStatus parseAscii(const std::string& bytes, std::vector<StlTriangle>& out, std::size_t maxTriangles, double limit)
{
    std::istringstream in(bytes);
    std::string word;
    if (!(in >> word) || word != "solid")
        return StlStatus::malformed;
    skipName(in);
    bool inSolid = true;
    StlTriangle current{};
    int corners = 0;
    bool inFacet = false;
    while (in >> word) {
        if (!inSolid) {
            if (isPadding(word))
                continue;
            if (word != "solid")
                return StlStatus::malformed;
            skipName(in);
            inSolid = true;
        } else if (word == "facet") {
            if (inFacet)
                return StlStatus::malformed;
            inFacet = true;
            corners = 0;
        } else if (word == "vertex") {
            if (!inFacet || corners >= 3)
                return StlStatus::malformed;
            for (int k = 0; k < 3; ++k) {
                double value = 0.0;
                if (!readNumber(in, value))
                    return StlStatus::malformed;
                const StlStatus status = checkCoordinate(value, limit);
                if (status != StlStatus::ok)
                    return status;
                current.v[corners][k] = value;
            }
            ++corners;
        } else if (word == "endfacet") {
            if (!inFacet || corners != 3)
                return StlStatus::malformed;
            if (out.size() >= maxTriangles)
                return StlStatus::badCount;
            out.push_back(current);
            inFacet = false;
        } else if (word == "endsolid") {
            if (inFacet)
                return StlStatus::malformed;
            skipName(in);
            inSolid = false;
        }
    }
    if (inSolid)
        return StlStatus::malformed;  // no endsolid: truncated
    return out.empty() ? StlStatus::badCount : StlStatus::ok;
}

// A file that is no ASCII STL but whose data past the header is whole
// binary records, more of them than its count says: its count is wrong (or
// records were appended), which is not the same fault as a file cut short.
bool binaryCountBelowData(const std::string& bytes)
{
    if (bytes.size() < kHeader + 4 || (bytes.size() - kHeader - 4) % kRecord != 0)
        return false;
    std::uint32_t count = 0;
    std::memcpy(&count, bytes.data() + kHeader, 4);
    return std::size_t(count) < (bytes.size() - kHeader - 4) / kRecord;
}

} // namespace

StlStatus parseStl(const std::string& bytes, std::vector<StlTriangle>& out, std::size_t maxTriangles,
                   double coordinateLimit)
{
    out.clear();
    if (bytes.empty())
        return StlStatus::unreadable;
    // A binary file may begin with "solid" too; its size decides first.
    StlStatus status = StlStatus::malformed;
    if (!parseBinary(bytes, out, maxTriangles, coordinateLimit, status)) {
        out.clear();
        status = parseAscii(bytes, out, maxTriangles, coordinateLimit);
        if (status == StlStatus::malformed && binaryCountBelowData(bytes))
            status = StlStatus::countBelowData;
    }
    if (status != StlStatus::ok)
        out.clear();
    return status;
}

StlStatus readStl(const std::string& path, std::vector<StlTriangle>& out, std::size_t maxTriangles,
                  double coordinateLimit)
{
    out.clear();
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return StlStatus::unreadable;
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        return StlStatus::unreadable;
    return parseStl(bytes, out, maxTriangles, coordinateLimit);
}

bool isDegenerate(const StlTriangle& t)
{
    double e1[3], e2[3];
    for (int k = 0; k < 3; ++k) {
        e1[k] = t.v[1][k] - t.v[0][k];
        e2[k] = t.v[2][k] - t.v[0][k];
    }
    const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
    return n[0] == 0.0 && n[1] == 0.0 && n[2] == 0.0;
}

} // namespace kvcd
