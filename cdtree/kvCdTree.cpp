// The collision library over the Flexible Collision Library: the part and
// each machine model are bounding-volume trees of triangles, the tool's
// bodies are cylinders, and a test asks FCL for a contact between them.
// A tool that touches nothing may still lie in the material of the part or
// a machine model, wholly or through an opening of it: each model also
// keeps an inside test.
#include "kvCdTree.h"

#include "inside_test.h"
#include "stl_reader.h"

#include <fcl/geometry/bvh/BVH_model.h>
#include <fcl/geometry/shape/cylinder.h>
#include <fcl/math/bv/OBBRSS.h>
#include <fcl/narrowphase/collision.h>
#include <fcl/narrowphase/collision_object.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <memory>
#include <new>
#include <streambuf>
#include <vector>

using Mesh = fcl::BVHModel<fcl::OBBRSSd>;

namespace {

// One obstacle: its tree of triangles for contacts, placed once (placing
// it walks every vertex for its bounding box), and its inside test.
struct Model {
    std::shared_ptr<Mesh> mesh;
    std::unique_ptr<fcl::CollisionObjectd> object;
    std::unique_ptr<kvcd::InsideTest> inside;
};

} // namespace

struct kvCdScene {
    std::unique_ptr<Model> part;
    std::vector<std::unique_ptr<Model>> machines;
    std::vector<kvCdCylinder> tool;
};

namespace {

// FCL writes its numerical complaints to std::cerr; the library's caller
// hears of trouble through results, never on its user's terminal.
class QuietErrors {
public:
    QuietErrors() : m_saved(std::cerr.rdbuf(&m_sink)) {}
    ~QuietErrors()
    {
        std::cerr.rdbuf(m_saved);
        std::cerr.clear();
    }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    struct Sink : std::streambuf {
        int overflow(int c) override { return traits_type::not_eof(c); }
    } m_sink;
    std::streambuf* m_saved;
};

bool usable3(const double* p)
{
    for (int k = 0; k < 3; ++k)
        if (!std::isfinite(p[k]) || std::fabs(p[k]) > kvCdCoordinateLimit)
            return false;
    return true;
}

bool distinct(const fcl::Vector3d& a, const fcl::Vector3d& b, const fcl::Vector3d& c)
{
    return a != b && b != c && a != c;
}

// The model of the triangles, or null when none is left or FCL refuses them.
std::unique_ptr<Model> buildModel(const std::vector<fcl::Vector3d>& points, const std::vector<fcl::Triangle>& triangles)
{
    if (triangles.empty())
        return nullptr;
    auto model = std::make_unique<Model>();
    model->mesh = std::make_shared<Mesh>();
    Mesh& mesh = *model->mesh;
    if (mesh.beginModel(static_cast<int>(triangles.size()), static_cast<int>(points.size())) != fcl::BVH_OK ||
        mesh.addSubModel(points, triangles) != fcl::BVH_OK || mesh.endModel() != fcl::BVH_OK)
        return nullptr;
    model->object = std::make_unique<fcl::CollisionObjectd>(model->mesh);
    std::vector<double> corners;
    corners.reserve(triangles.size() * 9);
    for (const fcl::Triangle& t : triangles)
        for (int k = 0; k < 3; ++k)
            for (int c = 0; c < 3; ++c)
                corners.push_back(points[t[k]][c]);
    model->inside = std::make_unique<kvcd::InsideTest>(corners);
    return model;
}

// A rigid motion: the rotation part orthonormal and right-handed, the bottom
// row 0, 0, 0, 1, the origin within the coordinate limit.
bool toTransform(const double* m, fcl::Transform3d& t)
{
    for (int i = 0; i < 16; ++i)
        if (!std::isfinite(m[i]))
            return false;
    if (std::fabs(m[12]) > 1e-9 || std::fabs(m[13]) > 1e-9 || std::fabs(m[14]) > 1e-9 ||
        std::fabs(m[15] - 1.0) > 1e-9)
        return false;
    fcl::Matrix3d r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r(i, j) = m[4 * i + j];
    if (!(r.transpose() * r).isApprox(fcl::Matrix3d::Identity(), 1e-6) || r.determinant() < 0.0)
        return false;
    const double origin[3] = {m[3], m[7], m[11]};
    if (!usable3(origin))
        return false;
    t.setIdentity();
    t.linear() = r;
    t.translation() = fcl::Vector3d(origin[0], origin[1], origin[2]);
    return true;
}

bool meets(const fcl::CollisionObjectd& body, const std::unique_ptr<Model>& model)
{
    if (!model)
        return false;
    fcl::CollisionRequestd request;
    fcl::CollisionResultd result;
    fcl::collide(&body, model->object.get(), request, result);
    return result.isCollision();
}

bool encloses(const std::unique_ptr<Model>& model, const fcl::Vector3d& point)
{
    return model && model->inside->encloses(point.data());
}

int obstacleEnclosing(const kvCdScene& scene, const fcl::Vector3d& point)
{
    if (encloses(scene.part, point))
        return kvCdObstaclePart;
    for (const auto& machine : scene.machines)
        if (encloses(machine, point))
            return kvCdObstacleMachine;
    return -1;
}

// The points of a body that touches no triangle at which the inside test
// is asked. Behind a closed model one point would do, since such a body
// lies wholly inside or wholly outside; but a model with an opening (a face
// left out of the milling area, a crack between faces) lets a body reach
// through it into the material behind without touching anything. So the
// body's axis, its side and its end faces are covered with points no
// farther than kvCdInsideSpacing apart, the axis first, or a body too
// large for that by about kvCdInsidePoints points; visit returns true to
// stop.
template <class Visit>
bool anyBodyPoint(const kvCdCylinder& c, const fcl::Transform3d& place, Visit visit)
{
    const double pi = 3.14159265358979323846;
    const double surface = 2.0 * pi * c.radius * (c.radius + c.top - c.bottom);
    const double spacing = std::max(kvCdInsideSpacing, std::sqrt(surface / kvCdInsidePoints));
    auto steps = [spacing](double length, int least) {
        return std::max(least, static_cast<int>(std::ceil(length / spacing)));
    };
    const int rings = steps(c.top - c.bottom, 1);
    const int circles = steps(c.radius, 1);
    auto height = [&](int ring) { return c.bottom + (c.top - c.bottom) * ring / rings; };
    for (int i = 0; i <= rings; ++i)
        if (visit(place * fcl::Vector3d(0.0, 0.0, height(i))))
            return true;
    for (int i = 0; i <= rings; ++i) {
        // The end faces in circles from the axis out, the side in one.
        const int first = i == 0 || i == rings ? 1 : circles;
        for (int j = first; j <= circles; ++j) {
            const double radius = c.radius * j / circles;
            const int n = steps(2.0 * pi * radius, 6);
            for (int k = 0; k < n; ++k) {
                const double turn = 2.0 * pi * k / n;
                if (visit(place * fcl::Vector3d(radius * std::cos(turn), radius * std::sin(turn), height(i))))
                    return true;
            }
        }
    }
    return false;
}

int stlError(kvcd::StlStatus status)
{
    switch (status) {
    case kvcd::StlStatus::ok: return 0;
    case kvcd::StlStatus::unreadable: return kvCdErrFile;
    case kvcd::StlStatus::malformed: return kvCdErrFormat;
    case kvcd::StlStatus::countBelowData: return kvCdErrCountBelowData;
    case kvcd::StlStatus::badCount: return kvCdErrCount;
    case kvcd::StlStatus::notFinite:
    case kvcd::StlStatus::beyondLimit: return kvCdErrCoordinate;
    }
    return kvCdErrFormat;
}

} // namespace

extern "C" {

kvCdScene* kvCdCreateScene(void)
{
    return new (std::nothrow) kvCdScene();
}

void kvCdDestroyScene(kvCdScene* scene)
{
    delete scene;
}

int kvCdSetPart(kvCdScene* scene, const double* xyz, int vertexCount, const int* triangles, int triangleCount)
{
    if (!scene || vertexCount < 0 || triangleCount < 0 || (vertexCount > 0 && !xyz) ||
        (triangleCount > 0 && !triangles))
        return kvCdErrArgument;
    try {
        std::vector<fcl::Vector3d> points(static_cast<std::size_t>(vertexCount));
        for (int i = 0; i < vertexCount; ++i) {
            if (!usable3(xyz + 3 * i))
                return kvCdErrArgument;
            points[i] = fcl::Vector3d(xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]);
        }
        std::vector<fcl::Triangle> kept;
        kept.reserve(static_cast<std::size_t>(triangleCount));
        for (int t = 0; t < triangleCount; ++t) {
            const int* c = triangles + 3 * t;
            for (int k = 0; k < 3; ++k)
                if (c[k] < 0 || c[k] >= vertexCount)
                    return kvCdErrArgument;
            if (distinct(points[c[0]], points[c[1]], points[c[2]]))
                kept.emplace_back(c[0], c[1], c[2]);
        }
        const QuietErrors quiet;
        std::unique_ptr<Model> model = buildModel(points, kept);
        if (!kept.empty() && !model)
            return kvCdErrMemory;
        scene->part = std::move(model);
        return 0;
    } catch (const std::bad_alloc&) {
        return kvCdErrMemory;
    }
}

int kvCdAddMachineStl(kvCdScene* scene, const char* path, int* skipped)
{
    if (skipped)
        *skipped = 0;
    if (!scene || !path)
        return kvCdErrArgument;
    try {
        std::vector<kvcd::StlTriangle> read;
        const kvcd::StlStatus status = kvcd::readStl(path, read);
        if (status != kvcd::StlStatus::ok)
            return stlError(status);
        std::vector<fcl::Vector3d> points;
        std::vector<fcl::Triangle> triangles;
        points.reserve(read.size() * 3);
        triangles.reserve(read.size());
        int left = 0;
        for (const kvcd::StlTriangle& t : read) {
            if (kvcd::isDegenerate(t)) {
                ++left;
                continue;
            }
            const fcl::Vector3d a(t.v[0][0], t.v[0][1], t.v[0][2]);
            const fcl::Vector3d b(t.v[1][0], t.v[1][1], t.v[1][2]);
            const fcl::Vector3d c(t.v[2][0], t.v[2][1], t.v[2][2]);
            const int first = static_cast<int>(points.size());
            points.push_back(a);
            points.push_back(b);
            points.push_back(c);
            triangles.emplace_back(first, first + 1, first + 2);
        }
        if (triangles.empty())
            return kvCdErrNoArea;
        const QuietErrors quiet;
        std::unique_ptr<Model> model = buildModel(points, triangles);
        if (!model)
            return kvCdErrMemory;
        scene->machines.push_back(std::move(model));
        if (skipped)
            *skipped = left;
        return static_cast<int>(triangles.size());
    } catch (const std::bad_alloc&) {
        return kvCdErrMemory;
    }
}

int kvCdMachineCount(const kvCdScene* scene)
{
    return scene ? static_cast<int>(scene->machines.size()) : 0;
}

int kvCdSetTool(kvCdScene* scene, const kvCdCylinder* cylinders, int count)
{
    if (!scene || !cylinders || count <= 0)
        return kvCdErrArgument;
    for (int i = 0; i < count; ++i) {
        const kvCdCylinder& c = cylinders[i];
        if (!std::isfinite(c.radius) || !std::isfinite(c.bottom) || !std::isfinite(c.top) || c.radius <= 0.0 ||
            c.top <= c.bottom)
            return kvCdErrArgument;
    }
    try {
        scene->tool.assign(cylinders, cylinders + count);
    } catch (const std::bad_alloc&) {
        return kvCdErrMemory;
    }
    return 0;
}

int kvCdTestTool(kvCdScene* scene, const double* frame, kvCdHit* hit)
{
    if (hit) {
        hit->body = -1;
        hit->obstacle = -1;
    }
    if (!scene || !frame)
        return kvCdErrArgument;
    if (scene->tool.empty())
        return kvCdErrNoTool;
    fcl::Transform3d place;
    if (!toTransform(frame, place))
        return kvCdErrArgument;
    try {
        const QuietErrors quiet;
        for (const kvCdCylinder& c : scene->tool) {
            // FCL's cylinder is centred on its origin.
            fcl::Transform3d local = fcl::Transform3d::Identity();
            local.translation() = fcl::Vector3d(0.0, 0.0, 0.5 * (c.bottom + c.top));
            fcl::CollisionObjectd body(std::make_shared<fcl::Cylinderd>(c.radius, c.top - c.bottom), place * local);
            int obstacle = -1;
            if (meets(body, scene->part)) {
                obstacle = kvCdObstaclePart;
            } else {
                for (const auto& machine : scene->machines) {
                    if (meets(body, machine)) {
                        obstacle = kvCdObstacleMachine;
                        break;
                    }
                }
            }
            if (obstacle >= 0) {
                if (hit) {
                    hit->body = c.body;
                    hit->obstacle = obstacle;
                }
                return 1;
            }
        }
        // Touching nothing, a body may still lie in the material, wholly or
        // through an opening of a model.
        for (const kvCdCylinder& c : scene->tool) {
            int obstacle = -1;
            anyBodyPoint(c, place, [&](const fcl::Vector3d& p) {
                obstacle = obstacleEnclosing(*scene, p);
                return obstacle >= 0;
            });
            if (obstacle >= 0) {
                if (hit) {
                    hit->body = c.body;
                    hit->obstacle = obstacle;
                }
                return 1;
            }
        }
    } catch (const std::bad_alloc&) {
        return kvCdErrMemory;
    }
    return 0;
}

} // extern "C"
