// Completion in the item dialog over 100,000 and 1,000,000 items: counting the
// catalogue once (at once, or in the idle slices the dialog uses), the proposals of one keystroke in
// the name and in a magic property line (goal: within 30 ms at 100,000 items),
// and following one change of the catalogue afterwards.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>

#include "bench/itemdb/game_catalogue.h"
#include "listing/item_completion.h"

using namespace kistora;

namespace {

const TCatalogue& Catalogue(int count) { return SharedGameCatalogue(count); }

const ItemCompletion& Completion(int count) {
  static std::map<int, std::unique_ptr<ItemCompletion>> made;
  auto& completion = made[count];
  if (!completion) {
    completion = std::make_unique<ItemCompletion>();
    completion->Build(Catalogue(count).ItemList);
  }
  return *completion;
}

void BM_CompletionBuild(benchmark::State& state) {
  const TCatalogue& catalogue = Catalogue(static_cast<int>(state.range(0)));
  std::size_t names = 0;
  for (auto _ : state) {
    ItemCompletion completion;
    completion.Build(catalogue.ItemList);
    names = completion.NameCount();
  }
  state.counters["names"] = static_cast<double>(names);
}

// The same counted as the dialog counts it while the program is idle, in
// slices of 4,096 items: the longest slice is what a keystroke may wait for.
void BM_CompletionSlices(benchmark::State& state) {
  const TCatalogue& catalogue = Catalogue(static_cast<int>(state.range(0)));
  double longest = 0;
  int slices = 0;
  for (auto _ : state) {
    ItemCompletion completion;
    completion.Start();
    longest = 0;
    slices = 0;
    for (bool complete = false; !complete; ++slices) {
      const auto start = std::chrono::steady_clock::now();
      complete = completion.CountMore(catalogue.ItemList, 4096);
      longest = std::max(longest,
                         std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
  }
  state.counters["longest_slice_ms"] = longest;
  state.counters["slices"] = slices;
}

// One letter (nearly every name), a word's start, two words, a set's word, nothing.
const char* const kNames[] = {"b", "bou", "de tal", "\xE9\x63la", "zzz"};
const char* const kNameLabels[] = {"b", "bou", "de tal", "ecla", "zzz"};

void BM_CompletionNameKeystroke(benchmark::State& state) {
  const ItemCompletion& completion = Completion(static_cast<int>(state.range(0)));
  std::size_t proposals = 0;
  for (auto _ : state) {
    const auto found = completion.Names(kNames[state.range(1)], 8);
    proposals = found.size();
    benchmark::DoNotOptimize(found.data());
  }
  state.counters["proposals"] = static_cast<double>(proposals);
  state.SetLabel(kNameLabels[state.range(1)]);
}

const char* const kLines[] = {"+", "+2", "resi", "vol de v", "zzz"};

void BM_CompletionLineKeystroke(benchmark::State& state) {
  const ItemCompletion& completion = Completion(static_cast<int>(state.range(0)));
  std::size_t proposals = 0;
  for (auto _ : state) {
    const auto found = completion.PropertyLines(kLines[state.range(1)], 8);
    proposals = found.size();
    benchmark::DoNotOptimize(found.data());
  }
  state.counters["proposals"] = static_cast<double>(proposals);
  state.SetLabel(kLines[state.range(1)]);
}

// An item modified in the middle of the catalogue, then put back: two changes followed.
void BM_CompletionFollowModify(benchmark::State& state) {
  std::unique_ptr<TCatalogue> catalogue = MakeGameCatalogue(static_cast<int>(state.range(0)));
  ItemCompletion completion;
  completion.Build(catalogue->ItemList);
  const int middle = static_cast<int>(catalogue->ItemList.size() / 2);
  ItemPtr original = catalogue->ItemList[static_cast<std::size_t>(middle)];
  for (auto _ : state) {
    auto item = CreateItemFromTag(3);
    item->Name = "Heaume de feu";
    item->MagicProps = {"+1 \xE0 toutes les comp\xE9tences"};
    catalogue->ItemList[static_cast<std::size_t>(middle)] = std::move(item);
    completion.Follow({.Kind = ChangeKind::ItemModified, .Position = middle}, catalogue->ItemList);
    catalogue->ItemList[static_cast<std::size_t>(middle)] = original;
    completion.Follow({.Kind = ChangeKind::ItemModified, .Position = middle}, catalogue->ItemList);
  }
}

void Keystrokes(benchmark::internal::Benchmark* b) {
  for (int count : {100000, 1000000}) {
    for (int typed = 0; typed < 5; ++typed) b->Args({count, typed});
  }
}

BENCHMARK(BM_CompletionBuild)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompletionSlices)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_CompletionNameKeystroke)->Apply(Keystrokes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompletionLineKeystroke)->Apply(Keystrokes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompletionFollowModify)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
