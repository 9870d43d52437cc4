#include "face_recognition.h"
#include "text.h"

#include <cmath>
#include <iomanip>
#include <sstream>

namespace hostsim {

namespace {

void copy3(double* to, const double* from)
{
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}

// The face's axis keeps the sense its model gave it.
void orientLike(double* axis, const double* modelled)
{
    if (vec3Dot(axis, modelled) < 0.0)
        for (int k = 0; k < 3; ++k)
            axis[k] = -axis[k];
}

// Plane normal out of the material: the surface's oriented normal.
bool recognisePlane(RatBSplSurf* s, RecognisedShape& shape)
{
    double point[3], normal[3], xDir[3];
    if (!ratBSplSurfIsPlane(s, point, normal, xDir))
        return false;
    const GeomPoint n = ratBSplSurfEvalNormal(s, 0.5, 0.5);
    const double oriented[3] = {s->nrmOri * n.x, s->nrmOri * n.y, s->nrmOri * n.z};
    vec3Normalize(normal);
    orientLike(normal, oriented);
    shape.kind = "plane";
    copy3(shape.point, point);
    copy3(shape.axis, normal);
    return true;
}

bool recogniseCone(const SampleFace& f, RatBSplSurf* s, RecognisedShape& shape)
{
    double base[3], axis[3], ref[3], radius = 0.0, sine = 0.0, cosine = 0.0;
    if (!ratBSplSurfFindConeDefault(s, 0, base, axis, &radius, &sine, &cosine, ref))
        return false;
    // Along the profile the radius grows by sine and the height by cosine.
    double slope = std::fabs(cosine) > 1e-12 ? sine / cosine : 0.0;
    const double turned[3] = {axis[0], axis[1], axis[2]};
    orientLike(axis, f.axis);
    if (vec3Dot(axis, turned) < 0.0)
        slope = -slope;
    shape.kind = std::fabs(slope) < 1e-9 ? "cylinder" : "cone";
    copy3(shape.point, base);
    copy3(shape.axis, axis);
    shape.radius = radius;
    shape.sineOfAngle = shape.kind == "cylinder" ? 0.0 : slope / std::sqrt(1.0 + slope * slope);
    return true;
}

bool recogniseTorus(const SampleFace& f, RatBSplSurf* s, RecognisedShape& shape)
{
    double centre[3], axis[3], ref[3], major = 0.0, minor = 0.0;
    short kind = 0;
    if (!ratBSplSurfFindTorus(s, 0, 0.0, 0, 1, centre, axis, &major, &minor, ref, &kind))
        return false;
    orientLike(axis, f.axis);
    shape.kind = "torus";
    copy3(shape.point, centre);
    copy3(shape.axis, axis);
    shape.radius = major;
    shape.minorRadius = minor;
    shape.torusKind = kind;
    return true;
}

bool recogniseSphere(const SampleFace& f, RatBSplSurf* s, RecognisedShape& shape)
{
    double centre[3], axis[3], ref[3], radius = 0.0;
    if (!ratBSplSurfFindSphereDefault(s, 0, centre, axis, &radius, ref))
        return false;
    orientLike(axis, f.axis);
    shape.kind = "sphere";
    copy3(shape.point, centre);
    copy3(shape.axis, axis);
    shape.radius = radius;
    return true;
}

RecognisedShape recognise(const SampleFace& f)
{
    RecognisedShape shape;
    RatBSplSurf* s = surfaceOf(f);
    if (!s)
        return shape;
    // A plane first: a flat ring passes the revolution test too.
    if (recognisePlane(s, shape) || recogniseCone(f, s, shape) || recogniseSphere(f, s, shape) ||
        recogniseTorus(f, s, shape))
        return shape;
    return RecognisedShape();
}



} // namespace

const RecognisedShape& recogniseFace(const SampleFace& face)
{
    if (!face.recognised)
        face.recognised = std::make_shared<const RecognisedShape>(recognise(face));
    return *face.recognised;
}

std::string describeRecognised(const RecognisedShape& r)
{
    if (r.kind == "plane")
        return "plane, normal " + fmt3(r.axis);
    if (r.kind == "cylinder")
        return "cylinder, radius " + fmt(r.radius) + ", axis " + fmt3(r.axis);
    if (r.kind == "cone")
        return "cone, half angle " + fmt(std::asin(std::fabs(r.sineOfAngle)) * 180.0 / 3.14159265358979323846) +
               " deg, radius " + fmt(r.radius) + ", axis " + fmt3(r.axis);
    if (r.kind == "torus")
        return "torus, radii " + fmt(r.radius) + " / " + fmt(std::fabs(r.minorRadius)) + ", axis " + fmt3(r.axis);
    if (r.kind == "sphere")
        return "sphere, radius " + fmt(std::fabs(r.radius));
    return "free form";
}

} // namespace hostsim
