// Whether a point lies in the material a triangle model bounds. A model
// read from faces or an STL file is rarely sealed everywhere (a face left
// out of a milling area, a hairline crack between two faces), so the answer
// is a vote of rays in six directions, opposite in pairs: from inside a
// closed surface every ray crosses it an odd number of times, while an open
// sheet is crossed by at most one ray of a pair. More than half the rays
// crossing oddly means inside; a small opening or a ray grazing an edge
// loses one vote, not the verdict.
#pragma once

#include <memory>
#include <vector>

namespace kvcd {

class InsideTest {
public:
    // corners: nine coordinates per triangle. Triangles without area are
    // left out. Throws std::bad_alloc when no memory is left.
    explicit InsideTest(const std::vector<double>& corners);
    ~InsideTest();
    InsideTest(const InsideTest&) = delete;
    InsideTest& operator=(const InsideTest&) = delete;

    // False for a point outside the model's bounding box or a model without
    // triangles.
    bool encloses(const double point[3]) const;

private:
    struct Tree;
    std::unique_ptr<Tree> m_tree;
};

} // namespace kvcd
