// Merging two versions of a catalogue of 1,000,000 items and 1,000 characters
// holding 100 numbers each, with 1,000 changes on each side (400 items
// renamed, 300 added, 300 deleted, and hand-overs), from their common version.
//
// Bars: the merge takes at most the time of one load of the item database
// file (counter merge_to_load), and reading the other version and merging it
// hold at most a small part of the catalogue's memory more: the changed items
// and one pointer per item (counter extra_to_catalogue).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>

#include "heap_meter.h"
#include "merge/catalogue_merge.h"
#include "merge/merge_inputs.h"
#include "model/item_digest.h"
#include "other_machine_edits.h"
#include "random_catalogue.h"
#include "storage/database.h"

namespace kistora {
namespace {

constexpr int kItemCount = 1000000;
constexpr int kChanges = 1000;

// One side's 1,000 changes: its item edits and an item handed to each of 100 characters.
void Edit(TCatalogue& catalogue, const std::string& side, unsigned seed) {
  std::mt19937 random(seed);
  bench::EditAsOneMachine(catalogue, side, random, kItemCount);
  std::uniform_int_distribution<std::int32_t> pick(1, kItemCount);
  for (int row = 0; row < 100; ++row) catalogue.AddItemToChar(row, pick(random));
}

struct Fixture {
  std::string dir;
  std::string baseItems, theirItems, theirChars;
  CatalogueVersion base;  // the common version, as kept in memory while the program runs
  CatalogueVersion ours;

  Fixture() {
    char pattern[] = "/tmp/kistora-merge-bench-XXXXXX";
    dir = ::mkdtemp(pattern);
    baseItems = dir + "/base-items.kdb";
    theirItems = dir + "/items.kdb";
    theirChars = dir + "/chars.kdb";
    TCatalogue catalogue;
    bench::MakeRandomCatalogue(catalogue, kItemCount);
    catalogue.SyncLastItemIndex();
    SaveItems(catalogue, baseItems);
    base = VersionOf(catalogue);
    TCatalogue theirs;
    LoadItems(theirs, baseItems);
    for (const auto& character : catalogue.CharList) theirs.CharList.push_back(std::make_unique<TChar>(*character));
    theirs.SyncLastItemIndex();
    Edit(theirs, "eux", 2);
    SaveItems(theirs, theirItems);
    SaveChars(theirs, theirChars);
    Edit(catalogue, "nous", 1);
    ours = VersionOf(catalogue);
  }
  ~Fixture() {
    for (const std::string& file : {baseItems, theirItems, theirChars}) ::unlink(file.c_str());
    ::rmdir(dir.c_str());
  }
};

Fixture& Files() {
  static Fixture fixture;
  return fixture;
}

void BM_MergeAMillionItems(benchmark::State& state) {
  Fixture& f = Files();
  double mergeTime = 0, loadTime = 0;
  for (auto _ : state) {
    TCatalogue loaded;
    auto start = std::chrono::steady_clock::now();
    LoadItems(loaded, f.theirItems);
    loadTime += bench::SecondsSince(start);

    CatalogueVersion theirs;
    ReadOtherVersion(f.dir, f.ours, theirs);
    start = std::chrono::steady_clock::now();
    const MergeResult merged = MergeCatalogues(BaseOf(f.base), f.ours, theirs);
    const double elapsed = bench::SecondsSince(start);
    mergeTime += elapsed;
    state.SetIterationTime(elapsed);
    if (merged.Report.ItemsRenumbered.size() != 300) state.SkipWithError("both sides' additions should clash");
  }
  state.counters["merge_to_load"] = mergeTime / loadTime;
  state.counters["load_ms"] = 1000 * loadTime / static_cast<double>(state.iterations());
}

void BM_MergeMemory(benchmark::State& state) {
  Fixture& f = Files();
  for (auto _ : state) {
    // What the catalogue holds: the items of one version, loaded.
    std::size_t before = bench::HeapMeter::Current();
    auto catalogue = std::make_unique<TCatalogue>();
    LoadItems(*catalogue, f.baseItems);
    const double held = static_cast<double>(bench::HeapMeter::Current() - before);
    catalogue.reset();

    before = bench::HeapMeter::Current();
    bench::HeapMeter::ResetPeak();
    {
      CatalogueVersion theirs;
      ReadOtherVersion(f.dir, f.ours, theirs);
      const MergeResult merged = MergeCatalogues(BaseOf(f.base), f.ours, theirs);
      benchmark::DoNotOptimize(merged.Merged.Items.data());
    }
    const double extra = static_cast<double>(bench::HeapMeter::Peak() - before);
    state.counters["catalogue_MB"] = held / 1e6;
    state.counters["extra_MB"] = extra / 1e6;
    state.counters["extra_to_catalogue"] = extra / held;
  }
}

BENCHMARK(BM_MergeAMillionItems)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_MergeMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace kistora

BENCHMARK_MAIN();
