// What the item list and the dialog's completion hold in memory per item, over
// 100,000 and 1,000,000 items: the list's snapshot (rows, search texts, the
// items they stand for) and the completion index (distinct names and lines).
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

void BM_CompletionMemory(benchmark::State& state) {
  Held(state, [](const TCatalogue& catalogue) {
    auto completion = std::make_unique<ItemCompletion>();
    completion->Build(catalogue.ItemList);
    return completion;
  });
}

BENCHMARK(BM_SnapshotMemory)->ArgsProduct({{100000, 1000000}, {0, 1}})->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompletionMemory)->Arg(100000)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
