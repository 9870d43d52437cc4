// The simulator's built-in sample part: a machined block whose faces are
// exact rational B-spline surfaces, each with the attributes a host keeps
// for it (id, colour, layer) and the analytic shape it was modelled as.
//
// The block spans 0..100 in x, 0..60 in y and 0..40 in z. It carries planar
// faces (among them a 45 degree chamfer and a face at 120 degrees to the top),
// two through holes of radius 5 stored as two half cylinders each, a through
// hole of radius 8 with a countersink cone, radius-3 fillets and roundings
// meeting at a sphere-cap corner, a boss with a torus fillet at its foot and a
// pocket with a free-form bicubic floor and four walls. The faces close
// around the material, as a machined part's do. Surfaces are carriers: a
// face's surface may reach beyond its edges (trim.h), and the torus and the
// sphere are whole, as the face lies on them.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "geom/geom.h"

namespace hostsim {

struct RecognisedShape;
class FaceSurfaceMaker;

// The part of a surface's square of normalised parameters that a face
// covers: from lo to hi in u (index 0) and in v (index 1).
struct ParameterWindow {
    double lo[2] = {0.0, 0.0}, hi[2] = {1.0, 1.0};
    bool whole() const { return lo[0] <= 0.0 && lo[1] <= 0.0 && hi[0] >= 1.0 && hi[1] >= 1.0; }
};

struct SampleColour {
    int r, g, b;
};

struct SampleFace {
    int id = 0;
    // "plane", "cylinder", "cone", "torus", "sphere" or "freeform".
    std::string kind;
    std::string name;           // what the face is on the part
    SampleColour colour{0, 0, 0};
    std::string layer;
    bool rounding = false;      // a fillet or corner rounding

    // Key measures; which apply depends on the kind.
    //  plane:    point on the plane, unit normal (out of the material)
    //  cylinder: point on the axis, unit axis, radius
    //  cone:     apex, unit axis (towards growing radius), halfAngle (radians)
    //  torus:    centre, unit axis, radius (major), minorRadius
    //  sphere:   centre, radius
    double point[3] = {0, 0, 0};
    double axis[3] = {0, 0, 0};
    double radius = 0.0;
    double minorRadius = 0.0;
    double halfAngle = 0.0;
    // +1: the face's normal points away from the axis, centre or tube centre
    // (a convex face, a boss); -1: towards it (a hole, a concave fillet).
    int normalSense = 1;
    double size = 0.0;          // largest extent of the face, for tolerances
    // A turned face's swept angle in degrees and its length along the axis
    // from where it has its radius, when the face was made with them (the
    // generated part's faces); 0 when only the surface tells.
    double sweepDegrees = 0.0;
    double length = 0.0;

    // The free-form face's single bicubic patch: 16 coefficient triples in the
    // offsets s = x - ulo, t = y - vlo (index i + 4j for s^i t^j) and the
    // intervals it covers.
    std::vector<double> patch;
    double patchRange[4] = {0, 0, 0, 0}; // ulo, uhi, vlo, vhi
    // The triple of s^i t^j, into a patch of all 16 triples.
    void setPatchPoint(int i, int j, double x, double y, double z)
    {
        const int k = 3 * (i + 4 * j);
        patch[k] = x;
        patch[k + 1] = y;
        patch[k + 2] = z;
    }

    // The face's surface, read with surfaceOf: kept by the part for its life
    // (the sample part), or made again when asked by the part's remake (a
    // generated part, which keeps no surfaces). Its nrmOri makes the oriented
    // normal point out of the material.
    RatBSplSurf* keptSurface = nullptr;
    const FaceSurfaceMaker* remake = nullptr;

    // The window of the surface that the face covers, as the face was built;
    // a face whose builder did not state it (windowStated false) has it
    // measured on the surface as trimmed at the first question.
    ParameterWindow window;
    bool windowStated = false;

    // What the host's face library found the surface to be, made once when
    // first asked for, as a host converts a face of its model once; and, for
    // a kept surface, the face's own surface (the carrier cut to the face, and
    // that surface clamped), kept with it.
    mutable std::shared_ptr<const RecognisedShape> recognised;
    mutable std::shared_ptr<RatBSplSurf> ownSurface;
    mutable std::shared_ptr<RatBSplSurf> ownSurfaceClamped;
    // Points of the face as trimmed, for the measures of a face that was not
    // built with its swept angle and length (face_shapes.cpp).
    mutable std::shared_ptr<const std::vector<GeomPoint>> trimmedPoints;
};

// How a part that keeps no surfaces makes a face's surface again, as the
// face was built.
class FaceSurfaceMaker {
public:
    // A new record the caller owns, or null when it cannot be made.
    virtual RatBSplSurf* makeSurface(const SampleFace& face) const = 0;

protected:
    ~FaceSurfaceMaker() = default;
};

// The face's surface, or null. A surface made again on demand is held with
// the face's own surfaces while the face is among the recently asked ones
// (face_shapes.cpp): a pointer to it stays good until kRecentFaces other
// faces of such parts have been asked for.
RatBSplSurf* surfaceOf(const SampleFace& face);
constexpr std::size_t kRecentFaces = 64;
// Drops what was made for these faces; a part that keeps no surfaces calls
// it before its faces go.
void forgetMadeSurfaces(const std::vector<SampleFace>& faces);

class SamplePart {
public:
    SamplePart();
    ~SamplePart();
    SamplePart(const SamplePart&) = delete;
    SamplePart& operator=(const SamplePart&) = delete;

    const std::vector<SampleFace>& faces() const { return m_faces; }
    // The face with this id, or null.
    const SampleFace* findFace(int id) const;

private:
    std::vector<SampleFace> m_faces;
};

// The height of a free-form face (a height over x and y) at (x, y): its
// patch's polynomial, continued beside the patch.
double freeformHeight(const SampleFace& face, double x, double y);

// The normal the face's shape has at a point on it, pointing out of the
// material (unit length).
void sampleFaceNormal(const SampleFace& face, const double point[3], double normal[3]);

// The part, built on first use and kept for the life of the process.
const SamplePart& samplePart();

// One line per face: id, kind, name, key measures, colour and layer.
void printSampleFaces(std::ostream& out, const SamplePart& part);
void printSampleFaces(std::ostream& out);

} // namespace hostsim
