// The host's view of the sample part: face objects the host hands out for the
// part's faces, the host's face-feature library answering from the faces'
// analytic shapes, and the pick of a view ray on the part.
#pragma once

#include "census.h"
#include "sample_part.h"
#include "sdk/kvFeatureHelp.h"
#include "sdk/kvUnknownImp.h"

namespace hostsim {

// A face of the model as the host hands it out: a surface (kvIGeSurface)
// with its boundary (kvIGeBoundedSurface) and a CAD entity with the face's
// colour (kvICadEntity).
class FaceObject : public kvIUnknownImp,
                   public kvIGeSurface,
                   public kvIGeBoundedSurface,
                   public kvICadEntity,
                   public Counted {
public:
    // With one reference for the caller.
    static FaceObject* create(const SampleFace& face);
    kvIUnknown* queryInterface(const wchar_t* name) override;
    // The shape's normal at the point, out of the material.
    int getNormal(const double point[3], int flags, double normal[3]) override;
    // The edges of the face's own surface, as curves (face_boundary.cpp).
    int getBoundary(kvIUnknown** curves, kvIUnknown** loops) override;
    // Within the tolerance of the face's own surface, at a place of it that
    // the trimming keeps (face_boundary.cpp).
    int isPointOnFace(const double point[3], double tolerance, int* onFace) override;
    // Red in the lowest byte, then green, then blue.
    int getColor(unsigned long* color) override;

    const SampleFace& face() const { return *m_face; }
    // The face behind a host object, or null for anything else.
    static const SampleFace* faceOf(kvIUnknown* object);

    explicit FaceObject(const SampleFace& face);
    ~FaceObject() override;

private:
    // The face's own surface, clamped.
    RatBSplSurf* ownSurface();

    const SampleFace* m_face;
};

// The face's own surface (its carrier cut to what the face covers), and that
// surface clamped; made at the first question that needs them and kept with
// the face's surface (face_shapes.cpp), so they last as long as surfaceOf's.
RatBSplSurf* faceOwnSurface(const SampleFace& face);
RatBSplSurf* faceOwnSurfaceClamped(const SampleFace& face);

// The host's face-feature library over the sample part: it answers from the
// faces' surfaces as trimmed, and its shape tests from what the kernel
// recognises in each face's surface record (face_shapes.cpp).
class FaceLibrary : public kvIFeatureHelpProvider {
public:
    void clearCache() override {}
    bool isNurbsAsPlane(kvIUnknown* face, kvPoint3DRec& point, kvPoint3DRec& normal, kvPoint3DRec& third) override;
    bool isNurbsAsCylinder(kvIUnknown* face, kvPoint3DRec& axisPoint, kvPoint3DRec& axisDirection, double& radius,
                           double& sineOfAngle, double& value, kvPoint3DRec& extra) override;
    bool isNurbsAsTorusExt(kvIUnknown* face, kvPoint3DRec& centre, kvPoint3DRec& axis, double& majorRadius,
                           double& minorRadius, kvPoint3DRec& extra, short* flag) override;
    bool getSurfaceLimitsOnAxis(kvIUnknown* face, const kvPoint3DRec& axisPoint, const kvPoint3DRec& axisDirection,
                                double radius, double sineOfAngle, double value, kvPoint3DRec& limit1,
                                double& radius1, kvPoint3DRec& limit2, double& radius2) override;
    bool getShapeAngle(const kvPoint3DRec& axisPoint, const kvPoint3DRec& axis, kvIUnknown* face,
                       double& angle) override;
    // The face's own surface: its carrier cut to the parameters the face
    // covers, with its closed directions marked; the caller frees it with
    // ratBSplSurfFree.
    RatBSplSurf* newRatBSplSurf(kvIUnknown* face) override;
};

struct RayHit {
    const SampleFace* face = nullptr;
    double point[3] = {0, 0, 0};
    double distance = 0.0;  // along the ray from its origin
};

// The first face of the part that the ray from origin along direction meets
// within the face's extent: of every face's first crossing on the face as
// trimmed (ray_crossings.h), the nearest; false when it meets none.
bool pickFace(const SamplePart& part, const double origin[3], const double direction[3], RayHit& hit);

} // namespace hostsim
