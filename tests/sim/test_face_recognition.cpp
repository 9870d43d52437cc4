// The host's face library recognises each face from its surface record alone:
// every face of the sample part and of a generated part must come out as the
// shape it was built as, with its radius, axis and angle.
#include "face_recognition.h"
#include "generated_part.h"
#include "sample_part.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using hostsim::RecognisedShape;
using hostsim::SampleFace;

double dot(const double* a, const double* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Distance of q from the line through p along the unit a, and its height.
void cylindrical(const double* p, const double* a, const double* q, double* radius, double* height)
{
    const double d[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
    *height = dot(d, a);
    const double r[3] = {d[0] - *height * a[0], d[1] - *height * a[1], d[2] - *height * a[2]};
    *radius = std::sqrt(dot(r, r));
}

void expectRecognisedAsBuilt(const SampleFace& f)
{
    SCOPED_TRACE("face " + std::to_string(f.id) + " " + f.kind + " \"" + f.name + "\"");
    const RecognisedShape& r = hostsim::recogniseFace(f);
    ASSERT_EQ(f.kind, r.kind);
    if (f.kind == "freeform")
        return;
    if (f.kind == "sphere") {
        EXPECT_NEAR(f.radius, std::fabs(r.radius), 1e-9);
        const double d[3] = {r.point[0] - f.point[0], r.point[1] - f.point[1], r.point[2] - f.point[2]};
        EXPECT_LT(std::sqrt(dot(d, d)), 1e-9);
        return;
    }
    // The axis (a plane's normal) keeps the model's sense.
    EXPECT_NEAR(1.0, dot(r.axis, f.axis), 1e-9);
    if (f.kind == "plane") {
        const double d[3] = {r.point[0] - f.point[0], r.point[1] - f.point[1], r.point[2] - f.point[2]};
        EXPECT_NEAR(0.0, dot(d, f.axis), 1e-9);
        return;
    }
    if (f.kind == "torus") {
        EXPECT_NEAR(f.radius, r.radius, 1e-9);
        EXPECT_NEAR(f.minorRadius, std::fabs(r.minorRadius), 1e-9);
        const double d[3] = {r.point[0] - f.point[0], r.point[1] - f.point[1], r.point[2] - f.point[2]};
        EXPECT_LT(std::sqrt(dot(d, d)), 1e-9);
        return;
    }
    // Cylinders and cones: the axis passes through the model's axis point,
    // the face has `radius` at the recognised axis point, and the half angle
    // is the model's, growing the way the model's axis points.
    double offAxis = 0.0, height = 0.0;
    cylindrical(r.point, r.axis, f.point, &offAxis, &height);
    EXPECT_LT(offAxis, 1e-9);
    const double expectedSine = f.kind == "cone" ? std::sin(f.halfAngle) : 0.0;
    EXPECT_NEAR(expectedSine, r.sineOfAngle, 1e-9);
    if (f.kind == "cylinder")
        EXPECT_NEAR(f.radius, r.radius, 1e-9);
    else
        EXPECT_NEAR(std::tan(f.halfAngle) * -height, r.radius, 1e-9);   // f.point is the apex
}

TEST(FaceRecognition, EverySampleAndGeneratedFaceIsRecognisedAsItWasBuilt)
{
    for (const SampleFace& f : hostsim::samplePart().faces())
        expectRecognisedAsBuilt(f);
    const auto faces = hostsim::generatedPartFaces(400);
    for (const SampleFace& f : *faces)
        expectRecognisedAsBuilt(f);
}

} // namespace
