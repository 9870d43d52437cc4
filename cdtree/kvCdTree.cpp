// The collision library over the Flexible Collision Library: the part and
// each machine model are bounding-volume trees of triangles, the tool's
// bodies are cylinders, and a test asks FCL for a contact between them.
#include "kvCdTree.h"

#include "stl_reader.h"

#include <fcl/geometry/bvh/BVH_model.h>
#include <fcl/geometry/shape/cylinder.h>
#include <fcl/math/bv/OBBRSS.h>
#include <fcl/narrowphase/collision.h>
#include <fcl/narrowphase/collision_object.h>

#include <cmath>
#include <memory>
#include <new>
#include <vector>

using Mesh = fcl::BVHModel<fcl::OBBRSSd>;

struct kvCdScene {
    std::shared_ptr<Mesh> part;
    std::vector<std::shared_ptr<Mesh>> machines;
    std::vector<kvCdCylinder> tool;
};

namespace {

bool finite3(const double* p)
{
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

bool distinct(const fcl::Vector3d& a, const fcl::Vector3d& b, const fcl::Vector3d& c)
{
    return a != b && b != c && a != c;
}

// A tree of the triangles, or null when none is left.
std::shared_ptr<Mesh> buildMesh(const std::vector<fcl::Vector3d>& points, const std::vector<fcl::Triangle>& triangles)
{
    if (triangles.empty())
        return nullptr;
    auto mesh = std::make_shared<Mesh>();
    if (mesh->beginModel(static_cast<int>(triangles.size()), static_cast<int>(points.size())) != fcl::BVH_OK ||
        mesh->addSubModel(points, triangles) != fcl::BVH_OK || mesh->endModel() != fcl::BVH_OK)
        return nullptr;
    return mesh;
}

// A rigid motion: the rotation part orthonormal and right-handed, the bottom
// row 0, 0, 0, 1.
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
    t.setIdentity();
    t.linear() = r;
    t.translation() = fcl::Vector3d(m[3], m[7], m[11]);
    return true;
}

bool meets(const fcl::CollisionObjectd& body, const std::shared_ptr<Mesh>& mesh)
{
    if (!mesh)
        return false;
    fcl::CollisionObjectd obstacle(mesh);
    fcl::CollisionRequestd request;
    fcl::CollisionResultd result;
    fcl::collide(&body, &obstacle, request, result);
    return result.isCollision();
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
            if (!finite3(xyz + 3 * i))
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
        std::shared_ptr<Mesh> mesh = buildMesh(points, kept);
        if (!kept.empty() && !mesh)
            return kvCdErrMemory;
        scene->part = mesh;
        return 0;
    } catch (const std::bad_alloc&) {
        return kvCdErrMemory;
    }
}

int kvCdAddMachineStl(kvCdScene* scene, const char* path)
{
    if (!scene || !path)
        return kvCdErrArgument;
    try {
        std::vector<kvcd::StlTriangle> read;
        if (!kvcd::readStl(path, read))
            return kvCdErrFile;
        std::vector<fcl::Vector3d> points;
        std::vector<fcl::Triangle> triangles;
        points.reserve(read.size() * 3);
        triangles.reserve(read.size());
        for (const kvcd::StlTriangle& t : read) {
            const fcl::Vector3d a(t.v[0][0], t.v[0][1], t.v[0][2]);
            const fcl::Vector3d b(t.v[1][0], t.v[1][1], t.v[1][2]);
            const fcl::Vector3d c(t.v[2][0], t.v[2][1], t.v[2][2]);
            if (!distinct(a, b, c))
                continue;
            const int first = static_cast<int>(points.size());
            points.push_back(a);
            points.push_back(b);
            points.push_back(c);
            triangles.emplace_back(first, first + 1, first + 2);
        }
        std::shared_ptr<Mesh> mesh = buildMesh(points, triangles);
        if (!mesh)
            return kvCdErrFile;
        scene->machines.push_back(mesh);
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
    } catch (const std::bad_alloc&) {
        return kvCdErrMemory;
    }
    return 0;
}

} // extern "C"
