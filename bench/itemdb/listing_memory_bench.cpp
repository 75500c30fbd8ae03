// What the item list and the dialog's completion hold in memory per item, over
// 100,000 and 1,000,000 items: the list's snapshot (rows, search texts, the
// items they stand for) and the completion index (names and lines), held and
// at its peak while it is counted.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench/itemdb/game_catalogue.h"
#include "heap_meter.h"
#include "listing/item_completion.h"
#include "listing/item_list_snapshot.h"

using namespace kistora;

namespace {

// Heap bytes held by what make() returns, per item of a count-item catalogue.
template <class Make>
void Held(benchmark::State& state, Make make) {
  const auto count = static_cast<int>(state.range(0));
  std::unique_ptr<TCatalogue> catalogue = MakeGameCatalogue(count);
  double perItem = 0;
  for (auto _ : state) {
    const std::size_t before = bench::HeapMeter::Current();
    auto made = make(*catalogue);
    perItem = static_cast<double>(bench::HeapMeter::Current() - before) / count;
    benchmark::DoNotOptimize(made.get());
  }
  state.counters["bytes_per_item"] = perItem;
  state.counters["MB"] = perItem * count / 1e6;
}

// The snapshot as the window opens (range(1) 0), and once its search texts are made (1).
void BM_SnapshotMemory(benchmark::State& state) {
  const bool withTexts = state.range(1) != 0;
  Held(state, [withTexts](const TCatalogue& catalogue) {
    auto snapshot = std::make_unique<ItemListSnapshot>();
    snapshot->Build(catalogue.ItemList);
    if (withTexts) snapshot->BuildSearchTexts();
    return snapshot;
  });
  state.SetLabel(withTexts ? "with search texts" : "first screen");
}

// The completion index counted as the dialog counts it, in idle slices of
// 4,096 items: what it holds once counted and at its peak while counting,
// against what the catalogue itself holds (goal: about a tenth).
void BM_CompletionMemory(benchmark::State& state) {
  const auto count = static_cast<int>(state.range(0));
  const std::size_t empty = bench::HeapMeter::Current();
  std::unique_ptr<TCatalogue> catalogue = MakeGameCatalogue(count);
  const auto catalogueBytes = static_cast<double>(bench::HeapMeter::Current() - empty);
  double held = 0;
  double peak = 0;
  for (auto _ : state) {
    const std::size_t before = bench::HeapMeter::Current();
    bench::HeapMeter::ResetPeak();
    auto completion = std::make_unique<ItemCompletion>();
    completion->Start();
    while (!completion->CountMore(catalogue->ItemList, 4096)) {
    }
    held = static_cast<double>(bench::HeapMeter::Current() - before);
    peak = static_cast<double>(bench::HeapMeter::Peak() - before);
    benchmark::DoNotOptimize(completion.get());
  }
  state.counters["MB"] = held / 1e6;
  state.counters["peak_MB"] = peak / 1e6;
  state.counters["catalogue_MB"] = catalogueBytes / 1e6;
  state.counters["peak_to_catalogue"] = peak / catalogueBytes;
}

BENCHMARK(BM_SnapshotMemory)->ArgsProduct({{100000, 1000000}, {0, 1}})->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompletionMemory)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
