// The statistics of the shown items (CountItemStats): one pass over the items
// with the item window's filter, one over the inventories. Goal: at most
// 100 ms at 1,000,000 items. The catalogue is the game-like one with 100
// characters holding nine items in ten (1,000,000 items: about 910,000
// inventory entries, some items twice by one character, some by two).
// Filters: none (every item), the check boxes (two qualities off, price 0
// hidden), and the search "feu", whose matching costs what it costs the item window
// (the window counts from the item window's shown rows instead while that list is up to date).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "bench/itemdb/game_catalogue.h"
#include "listing/item_stats.h"

using namespace kistora;

namespace {

constexpr int kCharacters = 100;

// numberStep 1: the usual numbers 1..N; larger: numbers far apart (looked up by a search, not a table).
std::unique_ptr<TCatalogue> MakeHeldCatalogue(int count, std::int32_t numberStep) {
  std::unique_ptr<TCatalogue> catalogue = MakeGameCatalogue(count);
  for (auto& item : catalogue->ItemList) item->Index *= numberStep;
  for (int c = 0; c < kCharacters; ++c) {
    auto character = std::make_unique<TChar>();
    character->Name = "Mule " + std::to_string(c);
    catalogue->CharList.push_back(std::move(character));
  }
  std::uint32_t state = 777;
  const auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  for (const auto& item : catalogue->ItemList) {
    const std::uint32_t roll = next() % 100;
    if (roll < 10) continue;  // nobody holds it
    auto& holder = catalogue->CharList[next() % kCharacters]->Items;
    holder.push_back(item->Index);
    if (roll == 10) holder.push_back(item->Index);  // held twice by one character
    if (roll == 11) catalogue->CharList[next() % kCharacters]->Items.push_back(item->Index);  // and by another
  }
  return catalogue;
}

const TCatalogue& Catalogue(int count, std::int32_t numberStep) {
  static std::map<std::pair<int, std::int32_t>, std::unique_ptr<TCatalogue>> made;
  auto& catalogue = made[{count, numberStep}];
  if (!catalogue) catalogue = MakeHeldCatalogue(count, numberStep);
  return *catalogue;
}

ItemFilter FilterOf(std::int64_t kind) {
  ItemFilter filter;
  if (kind == 1) {
    filter.ShowQuality[0] = false;
    filter.ShowQuality[1] = false;
    filter.HidePrice0 = true;
  }
  if (kind == 2) filter.Search = ItemSearchQuery("feu");
  return filter;
}

const char* const kFilterNames[] = {"every item", "check boxes", "search feu"};

// Times counting() and reports how many items it counted, under the filter's name.
template <class Counting>
void Measure(benchmark::State& state, Counting counting) {
  std::int64_t counted = 0;
  for (auto _ : state) {
    const ItemStats stats = counting();
    counted = stats.Counted.Count;
    benchmark::DoNotOptimize(stats.ByCharacter.data());
  }
  state.counters["counted"] = static_cast<double>(counted);
  state.SetLabel(kFilterNames[state.range(1)]);
}

void Count(benchmark::State& state, std::int32_t numberStep) {
  const TCatalogue& catalogue = Catalogue(static_cast<int>(state.range(0)), numberStep);
  const ItemFilter filter = FilterOf(state.range(1));
  Measure(state, [&] { return CountItemStats(catalogue, filter); });
}

void BM_ItemStats(benchmark::State& state) { Count(state, 1); }

// As the statistics window counts while the item window's list is up to date:
// from the positions that list shows (made here once, as the list has them).
void BM_ItemStatsOfShownRows(benchmark::State& state) {
  const TCatalogue& catalogue = Catalogue(static_cast<int>(state.range(0)), 1);
  const ItemFilter filter = FilterOf(state.range(1));
  std::vector<bool> shownAt;
  for (const auto& item : catalogue.ItemList) shownAt.push_back(IsItemShown(*item, filter));
  Measure(state, [&] { return CountItemStats(catalogue, shownAt); });
}

void BM_ItemStatsScatteredNumbers(benchmark::State& state) { Count(state, 2000); }

void Sizes(benchmark::internal::Benchmark* b) {
  for (int count : {100000, 1000000}) {
    for (int filter = 0; filter < 3; ++filter) b->Args({count, filter});
  }
}

BENCHMARK(BM_ItemStats)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ItemStatsOfShownRows)->Args({1000000, 2})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ItemStatsScatteredNumbers)->Args({1000000, 0})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
