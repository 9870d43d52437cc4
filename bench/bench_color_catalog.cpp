// Reading the host's colour catalogue, as every opening of the analysis
// window does: the time per entry stays flat from 5,000 to 200,000 entries
// (the catalogue array grows by doubling, so no entry is copied more than a
// few times).
#include "analyse/kvColorCatalog.h"

#include <benchmark/benchmark.h>

#include <sstream>
#include <string>

namespace {

std::string catalogueText(int entries)
{
    std::string text = "<ColorCatalog>\n";
    for (int i = 0; i < entries; ++i)
        text += "  <Color_Interface_Definition R=\"" + std::to_string(i % 256) + "\" G=\"" +
                std::to_string((i / 256) % 256) + "\" B=\"" + std::to_string(i / 65536) + "\" Name=\"Colour " +
                std::to_string(i) + "\"/>\n";
    return text + "</ColorCatalog>\n";
}

void CatalogueLoad(benchmark::State& state)
{
    const int entries = static_cast<int>(state.range(0));
    const std::string text = catalogueText(entries);
    for (auto _ : state) {
        kvTArray<colorDef, kvTAssignmentCopy<colorDef>> catalog(8);
        std::istringstream in(text);
        benchmark::DoNotOptimize(parseColorCatalog(in, catalog));
    }
    state.SetItemsProcessed(state.iterations() * entries);
}

} // namespace

BENCHMARK(CatalogueLoad)->Arg(5000)->Arg(20000)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
