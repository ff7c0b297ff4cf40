// What the program pays for its stored item archive: reading the carried
// catalogue at start-up, writing an item out (inflated on the fly at every
// call), the first GetAsStream (inflated once) and packing at clMax.
#include "archive/Catalogue.h"

#include <benchmark/benchmark.h>

namespace quorvex {
namespace {

void BM_LoadStoredCatalogue(benchmark::State& state)
{
    for (auto _ : state) {
        TmxStorage storage;
        LoadStoredCatalogue(storage);
        benchmark::DoNotOptimize(storage.Size());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(StoredCatalogue().size()));
}
BENCHMARK(BM_LoadStoredCatalogue);

// Argument: the item's index (0 and 2 are pictures, 11 the skin template).
void BM_SaveToStream(benchmark::State& state)
{
    TmxStorage storage;
    LoadStoredCatalogue(storage);
    TmxStoredItem& item = storage.ItemByIndex(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TMemoryStream out;
        item.SaveToStream(&out);
        benchmark::DoNotOptimize(out.Size());
    }
    state.SetBytesProcessed(state.iterations() * item.FileSize());
}
BENCHMARK(BM_SaveToStream)->Arg(0)->Arg(2)->Arg(11);

void BM_FirstGetAsStream(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        TmxStorage storage;
        LoadStoredCatalogue(storage);
        state.ResumeTiming();
        benchmark::DoNotOptimize(storage.ItemByIndex(11).GetAsStream().Size());
    }
}
BENCHMARK(BM_FirstGetAsStream);

void BM_PackAtClMax(benchmark::State& state)
{
    TmxStorage catalogue;
    LoadStoredCatalogue(catalogue);
    TMemoryStream file;
    catalogue.ItemByIndex(static_cast<int>(state.range(0))).SaveToStream(&file);
    for (auto _ : state) {
        TmxStorage storage;
        TmxStoredItem& item = storage.StoredItems().Add();
        item.SetCompression(TCompressionLevel::clMax);
        item.LoadFromStream(&file);
        benchmark::DoNotOptimize(item.Size());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(file.Size()));
}
BENCHMARK(BM_PackAtClMax)->Arg(2)->Arg(11);

}  // namespace
}  // namespace quorvex
