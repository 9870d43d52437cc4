// One collision test of the job's tool (a 6 mm cutter, 30 long, in a 30 mm
// holder 40 long) against the simulator's sample part, tessellated as the
// tool-position panel does it, and against a generated part of 100,000
// triangles; each once where the tool is free close to the part and once
// where it collides.
#include "kvCdTree.h"
#include "sample_part.h"
#include "toolpos/kvPartMesh.h"
#include "toolpos/kvToolShape.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using ScenePtr = std::unique_ptr<kvCdScene, void (*)(kvCdScene*)>;

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

kvPartMesh samplePartMesh()
{
    kvPartMesh mesh;
    for (const hostsim::SampleFace& face : hostsim::samplePart().faces())
        kvTessellateSurface(surfaceOf(face), 0.01, mesh);
    return mesh;
}

// A wavy sheet over 0..200 x 0..200: 224 x 224 cells, two triangles each
// (100,352 triangles), z = 2 sin(x / 10) cos(y / 10).
kvPartMesh generatedMesh()
{
    const int n = 224;
    kvPartMesh mesh;
    for (int j = 0; j <= n; ++j) {
        for (int i = 0; i <= n; ++i) {
            const double x = 200.0 * i / n, y = 200.0 * j / n;
            mesh.xyz.insert(mesh.xyz.end(), {x, y, 2.0 * std::sin(x / 10) * std::cos(y / 10)});
        }
    }
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const int a = j * (n + 1) + i, b = a + 1, c = a + n + 1, d = c + 1;
            mesh.triangles.insert(mesh.triangles.end(), {a, b, d, a, d, c});
        }
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

void BM_ToolAgainstSamplePart(benchmark::State& state)
{
    static const kvPartMesh mesh = samplePartMesh();
    static ScenePtr scene = sceneOf(mesh);
    state.counters["triangles"] = mesh.triangleCount();
    // Free: resting on the top face. Colliding: pushed 10 into the block.
    const bool collide = state.range(0) != 0;
    runTest(state, scene.get(), frameAt(60, 45, collide ? 30 : 40), collide ? 1 : 0);
}
BENCHMARK(BM_ToolAgainstSamplePart)->Arg(0)->Arg(1)->ArgNames({"collides"});

void BM_ToolAgainstGeneratedPart(benchmark::State& state)
{
    static const kvPartMesh mesh = generatedMesh();
    static ScenePtr scene = sceneOf(mesh);
    state.counters["triangles"] = mesh.triangleCount();
    // Free: the tip 0.1 above the sheet's highest point. Colliding: the
    // tip below the sheet.
    const bool collide = state.range(0) != 0;
    runTest(state, scene.get(), frameAt(100, 100, collide ? -3.0 : 2.1), collide ? 1 : 0);
}
BENCHMARK(BM_ToolAgainstGeneratedPart)->Arg(0)->Arg(1)->ArgNames({"collides"});

} // namespace

BENCHMARK_MAIN();
