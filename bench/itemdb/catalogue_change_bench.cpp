// One change of a big catalogue with the item database window open: how long
// until the program reads the next input. The whole path, as the windows wire
// it: the catalogue's operation, then its observers (the store's snapshot for
// saving as you go, the item window's list, the main window's inventory of the
// selected character and its count line), then the event loop letting both
// list views take their model resets. Goal: at most 50 ms at 1,000,000 items.
// Counter max_ms: the slowest change of the run (a save as you go runs on its
// worker meanwhile, as in the program). The same for a change taken back and
// done again through the history (undo_max_ms, redo_max_ms).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <memory>
#include <random>

#include "bench/itemdb/open_windows.h"
#include "model/catalogue_history.h"

using namespace kistora;

namespace {

std::unique_ptr<TD2Item> Helm() {
  std::unique_ptr<TD2Item> item = CreateItemFromTag(3);
  item->Name = "Heaume de feu";
  item->Price = 120;
  return item;
}

enum class Change { Modify, Delete, Add };

void Make(TCatalogue& catalogue, Change change, int position) {
  switch (change) {
    case Change::Modify:
      catalogue.ReplaceItemAt(position, Helm());
      break;
    case Change::Delete:
      catalogue.DeleteItemAt(position);
      break;
    case Change::Add:
      catalogue.AddNewItem(Helm());
      break;
  }
}

// Milliseconds from the call until the views have taken the change in.
template <class Step>
double Timed(Step step) {
  const auto start = std::chrono::steady_clock::now();
  step();
  QApplication::processEvents();  // the views lay out their rows again
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The change itself, recorded by the history as in the program.
void CatalogueChange(benchmark::State& state, Change change) {
  OpenWindows windows(static_cast<int>(state.range(0)));
  TCatalogue& catalogue = *windows.catalogue;
  CatalogueHistory history(catalogue);
  std::mt19937 random(11);
  double slowest = 0;
  for (auto _ : state) {
    const auto position = static_cast<int>(random() % catalogue.ItemList.size());
    slowest = std::max(slowest, Timed([&] { Make(catalogue, change, position); }));
  }
  state.counters["max_ms"] = slowest;
  state.counters["shown"] = windows.items.rowCount();
}

// The change taken back (Ctrl+Z), then done again (Ctrl+Y); the time of each,
// the change itself untimed. A deletion taken back puts the item back mid-list
// with its inventory entries.
void UndoRedo(benchmark::State& state, Change change) {
  OpenWindows windows(static_cast<int>(state.range(0)));
  TCatalogue& catalogue = *windows.catalogue;
  CatalogueHistory history(catalogue);
  std::mt19937 random(11);
  double slowestUndo = 0;
  double slowestRedo = 0;
  for (auto _ : state) {
    const auto position = static_cast<int>(random() % catalogue.ItemList.size());
    Make(catalogue, change, position);
    QApplication::processEvents();
    const double undo = Timed([&] { history.Undo(); });
    const double redo = Timed([&] { history.Redo(); });
    slowestUndo = std::max(slowestUndo, undo);
    slowestRedo = std::max(slowestRedo, redo);
    state.SetIterationTime((undo + redo) / 2000);  // seconds per step taken back or done again
  }
  state.counters["undo_max_ms"] = slowestUndo;
  state.counters["redo_max_ms"] = slowestRedo;
}

void BM_ChangeWithWindowsOpen_Modify(benchmark::State& state) { CatalogueChange(state, Change::Modify); }
void BM_ChangeWithWindowsOpen_Delete(benchmark::State& state) { CatalogueChange(state, Change::Delete); }
void BM_ChangeWithWindowsOpen_Add(benchmark::State& state) { CatalogueChange(state, Change::Add); }
void BM_UndoRedoWithWindowsOpen_Modify(benchmark::State& state) { UndoRedo(state, Change::Modify); }
void BM_UndoRedoWithWindowsOpen_Delete(benchmark::State& state) { UndoRedo(state, Change::Delete); }
void BM_UndoRedoWithWindowsOpen_Add(benchmark::State& state) { UndoRedo(state, Change::Add); }

BENCHMARK(BM_ChangeWithWindowsOpen_Modify)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_ChangeWithWindowsOpen_Delete)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_ChangeWithWindowsOpen_Add)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_UndoRedoWithWindowsOpen_Modify)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(40);
BENCHMARK(BM_UndoRedoWithWindowsOpen_Delete)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(40);
BENCHMARK(BM_UndoRedoWithWindowsOpen_Add)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(40);

}  // namespace
