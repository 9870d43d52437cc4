// The part model of the collision check: the milling area's faces as
// triangles, each face tessellated from its surface within a chord tolerance
// and cut to where the face ends, so that its holes stay open.
#pragma once

#include "geom/geom.h"

#include <functional>
#include <vector>

struct kvPartMesh {
    std::vector<double> xyz;    // three values per point
    std::vector<int> triangles; // three point indices per triangle
    int surfaces = 0;           // surfaces added
    bool toleranceMissed = false;  // a surface reached the grid limit first

    int pointCount() const { return static_cast<int>(xyz.size() / 3); }
    int triangleCount() const { return static_cast<int>(triangles.size() / 3); }
};

// Adds the part of the surface that is the face: onFace tells whether a
// point of the surface lies on the face as trimmed. The surface is sampled
// on a grid over its normalised parameters, its cells halved along u and v
// until the midpoints of the cell edges and the cell centres lie within
// tolerance of the straight edges and flat cells, and until no cell edge is
// longer than featureSize (a hole or island smaller than that between grid
// points may be missed), with at most maxPerDirection cells along each
// parameter (toleranceMissed is set when that limit ends the refinement
// before the tolerance holds). Cells that collapse to a line (at a pole)
// add no triangle. Cells that the face's boundary crosses are halved down to
// about a hundred tolerances and cut at the crossings, which are found to half
// the tolerance. False, with the mesh unchanged, for a null surface or
// predicate, a tolerance or feature size that is not greater than 0 or a
// point that is not finite.
bool kvTessellateTrimmedFace(RatBSplSurf* surface, const std::function<bool(const GeomPoint&)>& onFace,
                             double tolerance, double featureSize, kvPartMesh& mesh, int maxPerDirection = 256);
