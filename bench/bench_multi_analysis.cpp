// The radius and plane analyses over a large selection of the generated
// part's faces: flattening the selection, classifying every face, the face
// records, and the sorting and grouping the lists do. Reported per face, at
// 1,000, 10,000 and 100,000 faces of mixed kinds, and for 100,000 distinct
// half cylinders (the case the repeat test of the holes meets most).
#include "face_selection.h"
#include "generated_part.h"
#include "view.h"

#include "analyse/kvMultiSelAnalysis.h"
#include "analyse/kvMultiSelGrouping.h"
#include "sdk/kvFeatureHelp.h"
#include "sdk/kvValueSets.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <new>

// Every allocation of the process is counted, so a run can report how many
// it made per face.
namespace {
std::atomic<unsigned long long> gAllocations{0};
}

void* operator new(std::size_t size)
{
    ++gAllocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {


// The faces of a part as the host's entities, selected as one set.
struct Selected {
    std::shared_ptr<const std::vector<hostsim::SampleFace>> faces;
    std::vector<hostsim::FaceEntity*> entities;
    kvCSurfaceSet set;

    explicit Selected(std::shared_ptr<const std::vector<hostsim::SampleFace>> part) : faces(std::move(part))
    {
        entities.reserve(faces->size());
        for (const hostsim::SampleFace& f : *faces) {
            entities.push_back(hostsim::FaceEntity::create(f));
            set.add(static_cast<kvIGeSurface*>(entities.back()));
        }
    }
    ~Selected()
    {
        set.clear();
        for (hostsim::FaceEntity* e : entities) e->_relRef();
    }
};

// The faces of a part with their surfaces kept, as a host that has converted
// every face before the analysis runs (a generated part makes its faces'
// surfaces again when asked, which is the host's work, not the module's).
std::shared_ptr<const std::vector<hostsim::SampleFace>> converted(
    const std::shared_ptr<const std::vector<hostsim::SampleFace>>& part)
{
    auto all = std::make_shared<std::vector<hostsim::SampleFace>>();
    auto surfaces = std::make_shared<std::vector<std::shared_ptr<RatBSplSurf>>>();
    all->reserve(part->size());
    surfaces->reserve(part->size());
    for (const hostsim::SampleFace& f : *part) {
        hostsim::SampleFace copy = f;
        surfaces->emplace_back(ratBSplSurfCopy(hostsim::surfaceOf(f)), ratBSplSurfFree);
        copy.keptSurface = surfaces->back().get();
        copy.remake = nullptr;
        all->push_back(copy);
    }
    return std::shared_ptr<const std::vector<hostsim::SampleFace>>(
        all.get(), [all, surfaces](const std::vector<hostsim::SampleFace>*) {});
}

// count half cylinders of radius 2.5 to 9.5, each with an axis point of its own.
std::shared_ptr<const std::vector<hostsim::SampleFace>> halfCylinders(std::size_t count)
{
    // The generated part's own half cylinders, moved apart: every face keeps
    // its surface, and only the axis point that the library reports moves.
    auto all = std::make_shared<std::vector<hostsim::SampleFace>>();
    const auto source = hostsim::generatedPartFaces(20);
    const hostsim::SampleFace* half = nullptr;
    for (const hostsim::SampleFace& f : *source)
        if (f.kind == "cylinder" && std::fabs(f.sweepDegrees - 180.0) < 1e-9) half = &f;
    // The copies keep one surface: the generated part makes its own faces'
    // surfaces again from their ids, which the copies do not keep.
    std::shared_ptr<RatBSplSurf> surface(ratBSplSurfCopy(hostsim::surfaceOf(*half)), ratBSplSurfFree);
    all->reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        hostsim::SampleFace f = *half;
        f.keptSurface = surface.get();
        f.remake = nullptr;
        f.id = static_cast<int>(1001 + i);
        f.point[0] += 40.0 * static_cast<double>(i % 250);
        f.point[1] += 40.0 * static_cast<double>(i / 250);
        f.radius = 2.5 + static_cast<double>(i % 8);
        all->push_back(f);
    }
    return std::shared_ptr<const std::vector<hostsim::SampleFace>>(
        all.get(), [all, surface](const std::vector<hostsim::SampleFace>*) {});
}

// One run: what the panel and the list do between a change of the selection
// and the rows.
void analyse(const Selected& selected, kvRadiusRecords& radii, kvPlaneRecords& planes, std::size_t& rows)
{
    radii.setSize(0);
    planes.setSize(0);
    kvCAnalyseCtrl work;
    const std::vector<kvIUnknownPtr> faces = kvFlattenSelection(selected.set);
    kvAnalyseFaces(
        faces, kvCGeVector(0, 0, 1), [](kvIUnknown* f, kvCAnalyseCtrl& c) { return c.classifyNurbsFace(f); }, work,
        radii, planes, nullptr);
    std::vector<kvValueEntry> radiusEntries, planeEntries;
    radiusEntries.reserve(radii.size());
    for (unsigned int i = 0; i < radii.size(); ++i)
        if (!radii.at(i).face.isNull() && radii.at(i).radius >= 0.01 && radii.at(i).radius <= 100.0)
            radiusEntries.emplace_back(radii.at(i).radius, i);
    planeEntries.reserve(planes.size());
    for (unsigned int i = 0; i < planes.size(); ++i) planeEntries.emplace_back(planes.at(i).box.value, i);
    kvSortValueEntries(radiusEntries);
    kvSortValueEntries(planeEntries);
    rows = kvGroupSortedValues(radiusEntries, 1.0, 0.001).size() + kvGroupSortedValues(planeEntries, 1.0, 0.0).size();
}

struct Library {
    hostsim::FaceLibrary library;
    Library() { kvSetFeatureHelpProvider(&library); }
    ~Library() { kvSetFeatureHelpProvider(nullptr); }
};

void run(benchmark::State& state, const Selected& selected)
{
    Library library;
    kvRadiusRecords radii(0);
    kvPlaneRecords planes(0);
    std::size_t rows = 0;
    // The host's face library converts and recognises each face once, at its
    // first question: the host's work, done before the analysis is timed.
    analyse(selected, radii, planes, rows);
    const unsigned long long allocationsBefore = gAllocations;
    for (auto _ : state) {
        analyse(selected, radii, planes, rows);
        benchmark::DoNotOptimize(rows);
    }
    const double allocations = static_cast<double>(gAllocations - allocationsBefore);
    const double faces = static_cast<double>(selected.entities.size());
    state.SetComplexityN(static_cast<int64_t>(selected.entities.size()));
    state.counters["faces"] = faces;
    state.counters["radius_records"] = radii.size();
    state.counters["plane_records"] = planes.size();
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["allocs_per_face"] = allocations / (faces * static_cast<double>(state.iterations()));
    state.counters["time_per_face"] =
        benchmark::Counter(faces * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate |
                                                                              benchmark::Counter::kInvert);
}

void MixedFaces(benchmark::State& state)
{
    // Built once per size and kept for the rest of the process: the faces'
    // census must outlive them, so they are never torn down.
    static std::map<int64_t, Selected*> parts;
    Selected*& selected = parts[state.range(0)];
    if (!selected)
        selected = new Selected(converted(hostsim::generatedPartFaces(static_cast<std::size_t>(state.range(0)))));
    run(state, *selected);
}
BENCHMARK(MixedFaces)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNLogN);

void DistinctHalfCylinders(benchmark::State& state)
{
    static Selected* selected = nullptr;
    if (!selected) selected = new Selected(halfCylinders(static_cast<std::size_t>(state.range(0))));
    run(state, *selected);
}
BENCHMARK(DistinctHalfCylinders)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
