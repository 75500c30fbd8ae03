// What the history of a run costs in memory over a catalogue of 1,000,000
// items with the windows' lists open: 1,000 steps of every kind (items deleted,
// modified, added, handed over and taken back, characters changed), measured as
// the heap it holds beyond the program's (freed when it goes). Goal: under 5%
// of the program's heap. A second run adds a restored backup, whose step keeps
// the previous catalogue (its list of item pointers; the unchanged items shared).
// Counters: program_MB (the heap with the windows open), history_MB, share (%).
// No save as you go here: its worker would allocate while the heap is counted.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <random>

#include "bench/itemdb/open_windows.h"
#include "heap_meter.h"
#include "model/catalogue_history.h"
#include "storage/backup_restore.h"

using namespace kistora;

namespace {

constexpr int kItemCount = 1000000;
constexpr int kSteps = 1000;

std::unique_ptr<TD2Item> Ring(std::mt19937& random) {
  auto item = std::make_unique<TD2Ring>();
  item->Name = "Anneau de feu " + std::to_string(random() % 1000);
  item->Price = static_cast<std::int32_t>(random() % 500);
  item->MagicProps = {"+10 \xE0 la Force", "Vol de vie 5%"};
  return item;
}

void OneStep(TCatalogue& catalogue, std::mt19937& random) {
  const auto position = static_cast<int>(random() % catalogue.ItemList.size());
  const auto row = static_cast<int>(random() % catalogue.CharList.size());
  switch (random() % 6) {
    case 0:
      catalogue.DeleteItemAt(position);
      break;
    case 1:
      catalogue.ReplaceItemAt(position, Ring(random));
      break;
    case 2:
      catalogue.AddNewItem(Ring(random));
      break;
    case 3:
      catalogue.AddItemToChar(row, catalogue.ItemList[static_cast<std::size_t>(position)]->Index);
      break;
    case 4:
      catalogue.RemoveInventoryEntry(row, 0);
      break;
    default: {
      TChar texts = *catalogue.CharList[static_cast<std::size_t>(row)];
      texts.Notes = "mule " + std::to_string(random() % 100);
      catalogue.ModifyChar(row, texts);
    }
  }
}

void HistoryMemory(benchmark::State& state, bool withRestore) {
  OpenWindows windows(kItemCount, /*withStore=*/false);
  TCatalogue& catalogue = *windows.catalogue;
  std::mt19937 random(7);
  for (auto _ : state) {
    QApplication::processEvents();
    const std::size_t program = bench::HeapMeter::Current();
    auto history = std::make_unique<CatalogueHistory>(catalogue);
    for (int step = 0; step < kSteps; ++step) {
      if (withRestore && step == kSteps / 2) {
        // A backup of the same catalogue with a few items changed, read anew.
        TCatalogue backup;
        for (const auto& item : catalogue.ItemList) backup.ItemList.push_back(item);
        for (int n = 0; n < 10; ++n) backup.ItemList[random() % backup.ItemList.size()] = Ring(random);
        for (const auto& character : catalogue.CharList) backup.CharList.push_back(std::make_unique<TChar>(*character));
        RestoreBackup(catalogue, std::move(backup));
        continue;
      }
      OneStep(catalogue, random);
    }
    QApplication::processEvents();
    const std::size_t withHistory = bench::HeapMeter::Current();
    if (history->StepCount() != kSteps) state.SkipWithError("steps were not all kept");
    history.reset();  // what only the history held goes with it
    const std::size_t without = bench::HeapMeter::Current();
    const double held = static_cast<double>(withHistory - without);
    state.counters["program_MB"] = static_cast<double>(program) / 1e6;
    state.counters["history_MB"] = held / 1e6;
    state.counters["share_pct"] = 100 * held / static_cast<double>(program);
  }
}

void BM_HistoryMemory_1000Steps(benchmark::State& state) { HistoryMemory(state, false); }
void BM_HistoryMemory_1000StepsWithARestore(benchmark::State& state) { HistoryMemory(state, true); }

BENCHMARK(BM_HistoryMemory_1000Steps)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_HistoryMemory_1000StepsWithARestore)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
