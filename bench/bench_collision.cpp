// One collision test of the job's tool (a 6 mm cutter, 30 long, in a 30 mm
// holder 40 long) against the simulator's sample part, tessellated and cut
// to its faces as the tool-position panel does it, and against a generated
// part of about 100,000 triangles; each where the tool is free close to the
// part (the whole check: no contact, then the inside test), where it
// collides, and where a small tool stands wholly inside the material. Also
// the building of the part's models (contact tree and inside test) for the
// generated part, and the sample part's trimmed tessellation.
#include "kvCdTree.h"
#include "sample_part.h"
#include "toolpos/kvPartMesh.h"
#include "toolpos/kvToolShape.h"
#include "view.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using ScenePtr = std::unique_ptr<kvCdScene, void (*)(kvCdScene*)>;

// A 2 mm cutter 5 long, without holder: small enough to stand inside.
const kvCdCylinder kSmallTool = {1.0, 0.01, 5.0, kvCdBodyCutter};

std::vector<kvCdCylinder> tool()
{
    kvToolDimensions t;
    t.diameter = 6;
    t.length = 30;
    t.cuttingLength = 30;
    t.shaftDiameter = 6;
    t.holderDiameter1 = 30;
    t.holderLength1 = 40;
    return kvToolCylinders(t, 0.01);
}

ScenePtr sceneOf(const kvPartMesh& mesh)
{
    ScenePtr scene(kvCdCreateScene(), kvCdDestroyScene);
    kvCdSetPart(scene.get(), mesh.xyz.data(), mesh.pointCount(), mesh.triangles.data(), mesh.triangleCount());
    const std::vector<kvCdCylinder> bodies = tool();
    kvCdSetTool(scene.get(), bodies.data(), static_cast<int>(bodies.size()));
    return scene;
}

// The faces of the sample part as the panel meshes them: each face's own
// surface, cut where the host's on-face test says the face ends.
kvPartMesh samplePartMesh()
{
    kvPartMesh mesh;
    hostsim::FaceLibrary library;
    for (const hostsim::SampleFace& face : hostsim::samplePart().faces()) {
        hostsim::FaceObject* object = hostsim::FaceObject::create(face);
        RatBSplSurf* surface = library.newRatBSplSurf(static_cast<kvIGeSurface*>(object));
        auto onFace = [object](const GeomPoint& p) {
            const double point[3] = {p.x, p.y, p.z};
            int on = 0;
            return object->isPointOnFace(point, 0.01, &on) != 0 || on != 0;
        };
        kvTessellateTrimmedFace(surface, onFace, 0.01, 4.0, mesh);
        ratBSplSurfFree(surface);
        object->_relRef();
    }
    return mesh;
}

// Two closed blocks side by side, 10 apart (x 0..95 and 105..200, y 0..200),
// each with a wavy top z = 20 + 2 sin(x / 10) cos(y / 10) of 112 x 224
// cells, walls along its edges and a flat bottom: 103,044 triangles.
kvPartMesh generatedMesh()
{
    const int nx = 112, ny = 224;
    kvPartMesh mesh;
    auto point = [&mesh](double x, double y, double z) {
        mesh.xyz.insert(mesh.xyz.end(), {x, y, z});
        return mesh.pointCount() - 1;
    };
    auto quad = [&mesh](int a, int b, int c, int d) { mesh.triangles.insert(mesh.triangles.end(), {a, b, c, a, c, d}); };
    for (const double x0 : {0.0, 105.0}) {
        const double width = 95.0;
        std::vector<int> top((nx + 1) * (ny + 1)), low((nx + 1) * (ny + 1), -1);
        for (int j = 0; j <= ny; ++j)
            for (int i = 0; i <= nx; ++i) {
                const double x = x0 + width * i / nx, y = 200.0 * j / ny;
                top[j * (nx + 1) + i] = point(x, y, 20.0 + 2.0 * std::sin(x / 10) * std::cos(y / 10));
                if (i == 0 || i == nx || j == 0 || j == ny)
                    low[j * (nx + 1) + i] = point(x, y, 0.0);
            }
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i) {
                const int a = j * (nx + 1) + i;
                quad(top[a], top[a + 1], top[a + nx + 2], top[a + nx + 1]);
            }
        auto wall = [&](int from, int step, int count) {
            for (int k = 0; k < count; ++k) {
                const int a = from + k * step, b = a + step;
                quad(low[a], low[b], top[b], top[a]);
            }
        };
        wall(0, 1, nx);
        wall(ny * (nx + 1), 1, nx);
        wall(0, nx + 1, ny);
        wall(nx, nx + 1, ny);
        quad(low[0], low[ny * (nx + 1)], low[ny * (nx + 1) + nx], low[nx]);
    }
    return mesh;
}

std::vector<double> frameAt(double x, double y, double z)
{
    return {1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1};
}

void runTest(benchmark::State& state, kvCdScene* scene, const std::vector<double>& frame, int expected)
{
    for (auto _ : state) {
        const int result = kvCdTestTool(scene, frame.data(), nullptr);
        if (result != expected) {
            state.SkipWithError("unexpected collision result");
            break;
        }
        benchmark::DoNotOptimize(result);
    }
}

ScenePtr smallToolScene(const kvPartMesh& mesh)
{
    ScenePtr scene = sceneOf(mesh);
    kvCdSetTool(scene.get(), &kSmallTool, 1);
    return scene;
}

// 0 free, 1 colliding, 2 a small tool wholly inside.
void BM_ToolAgainstSamplePart(benchmark::State& state)
{
    static const kvPartMesh mesh = samplePartMesh();
    static ScenePtr scene = sceneOf(mesh);
    static ScenePtr small = smallToolScene(mesh);
    state.counters["triangles"] = mesh.triangleCount();
    // Free: resting on the top face. Colliding: pushed 10 into the block.
    // Inside: the small tool in the middle of the block.
    switch (state.range(0)) {
    case 0: runTest(state, scene.get(), frameAt(60, 45, 40), 0); break;
    case 1: runTest(state, scene.get(), frameAt(60, 45, 30), 1); break;
    default: runTest(state, small.get(), frameAt(50, 30, 20), 1); break;
    }
}
BENCHMARK(BM_ToolAgainstSamplePart)->Arg(0)->Arg(1)->Arg(2)->ArgNames({"free_collides_inside"});

void BM_ToolAgainstGeneratedPart(benchmark::State& state)
{
    static const kvPartMesh mesh = generatedMesh();
    static ScenePtr scene = sceneOf(mesh);
    static ScenePtr small = smallToolScene(mesh);
    state.counters["triangles"] = mesh.triangleCount();
    // Free: down the gap between the blocks, its cutter within their
    // bounding box, so that the inside test casts its rays. Colliding: the
    // tip 10 into the first block. Inside: the small tool within it.
    switch (state.range(0)) {
    case 0: runTest(state, scene.get(), frameAt(100, 100, 1), 0); break;
    case 1: runTest(state, scene.get(), frameAt(50, 100, 10), 1); break;
    default: runTest(state, small.get(), frameAt(50, 100, 5), 1); break;
    }
}
BENCHMARK(BM_ToolAgainstGeneratedPart)->Arg(0)->Arg(1)->Arg(2)->ArgNames({"free_collides_inside"});

// The part's contact tree and inside test made from its triangles.
void BM_BuildGeneratedPartModels(benchmark::State& state)
{
    static const kvPartMesh mesh = generatedMesh();
    ScenePtr scene(kvCdCreateScene(), kvCdDestroyScene);
    for (auto _ : state) {
        const int result =
            kvCdSetPart(scene.get(), mesh.xyz.data(), mesh.pointCount(), mesh.triangles.data(), mesh.triangleCount());
        if (result != 0) {
            state.SkipWithError("the part was refused");
            break;
        }
    }
    state.counters["triangles"] = mesh.triangleCount();
}
BENCHMARK(BM_BuildGeneratedPartModels)->Unit(benchmark::kMillisecond);

// The sample part meshed as the panel does it, each face cut to its trim.
void BM_MeshSamplePartTrimmed(benchmark::State& state)
{
    int triangles = 0;
    for (auto _ : state)
        triangles = samplePartMesh().triangleCount();
    state.counters["triangles"] = triangles;
}
BENCHMARK(BM_MeshSamplePartTrimmed)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
