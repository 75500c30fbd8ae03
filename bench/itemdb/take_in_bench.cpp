// Another machine's version of a catalogue of 1,000,000 items taken in with the
// windows open (the item window's list under a search, the main window's
// inventory). The other version has 1,000 changes (400 items renamed, 300
// added, 300 deleted); this copy has either nothing waiting to be saved (the
// usual case, saving as you go) or 1,000 changes of its own (its saves wait
// while the file on disk is new: a merge). Timed from the take-in's start
// until the list views have taken the result in.
// Goal: at most the time of one load of the item database plus 0.3 s
// (counter over_load_s).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "bench/itemdb/open_windows.h"
#include "merge/folder_sync.h"
#include "other_machine_edits.h"
#include "storage/database.h"

using namespace kistora;

namespace {

constexpr int kItemCount = 1000000;

void BM_TakeInWithTheWindowsOpen(benchmark::State& state) {
  const bool changesHere = state.range(0) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    OpenWindows open(kItemCount);
    const std::string dir = open.dir.string();
    open.store->SaveNow(*open.catalogue);  // the folder's files, as this copy last wrote them
    char stateDir[] = "/tmp/kistora-take-in-state-XXXXXX";
    FolderSync sync(*open.catalogue, *open.store, SyncState(std::string(::mkdtemp(stateDir)) + "/"), nullptr);
    sync.Started();
    open.store->HoldBackOutsideChanges(true);
    // The other machine's version, made from this copy's files, put in place as a sync tool does.
    {
      TCatalogue other;
      LoadItems(other, dir + "/items.kdb");
      LoadChars(other, dir + "/chars.kdb");
      other.SyncLastItemIndex();
      std::mt19937 theirs(2);
      bench::EditAsOneMachine(other, "eux", theirs, kItemCount);
      SaveItems(other, dir + "/incoming");
    }
    TCatalogue loaded;
    auto start = std::chrono::steady_clock::now();
    LoadItems(loaded, dir + "/incoming");
    const double load = bench::SecondsSince(start);
    std::rename((dir + "/incoming").c_str(), (dir + "/items.kdb").c_str());
    if (changesHere) {
      std::mt19937 ours(1);
      bench::EditAsOneMachine(*open.catalogue, "nous", ours, kItemCount);
    }
    open.store->WaitIdle();
    QApplication::processEvents();
    state.ResumeTiming();

    start = std::chrono::steady_clock::now();
    const TakeInOutcome outcome = sync.TakeIn();
    QApplication::processEvents();
    const double takeIn = bench::SecondsSince(start);
    state.counters["take_in_s"] = takeIn;
    state.counters["load_s"] = load;
    state.counters["over_load_s"] = takeIn - load;
    if (!outcome.Changed || outcome.Report.ItemsRenumbered.size() != (changesHere ? 300u : 0u)) {
      state.SkipWithError("not taken in as expected");
    }
    state.PauseTiming();
    open.store->WaitIdle();
    std::filesystem::remove_all(stateDir);
    state.ResumeTiming();
  }
}

BENCHMARK(BM_TakeInWithTheWindowsOpen)
    ->ArgName("changes_here")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
