// "Restaurer une sauvegarde…" over 14 days of backups of 1,000,000 items each
// (one day's files hard-linked under the 14 names): how long until the dialog
// shows its list (goal: 0.3 s), and how long until every day's counts and
// state are filled in behind it (filled_s). BM_ReadEveryBackupDay is what the
// dialog read before it could show: every day whole.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QTimer>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/itemdb/game_catalogue.h"
#include "gui/Platform.h"
#include "history/RestoreUnit.h"
#include "storage/backup_restore.h"
#include "storage/daily_backups.h"
#include "storage/database.h"

using namespace kistora;

namespace {

constexpr int kDays = 14;

// A data folder whose backups hold kDays days of count items and 100 characters.
class BackupFolder {
 public:
  explicit BackupFolder(int count) {
    char pattern[] = "/tmp/kistora-restore-bench-XXXXXX";
    dir_ = ::mkdtemp(pattern);
    dir_ += "/";
    const std::string backups = BackupsFolderOf(dir_) + "/";
    std::filesystem::create_directory(backups);
    std::unique_ptr<TCatalogue> catalogue = MakeGameCatalogue(count);
    AddGameCharacters(*catalogue, 100, count / 100);
    SaveItems(*catalogue, backups + BackupFileName("items.kdb", "2026-12-01"));
    SaveChars(*catalogue, backups + BackupFileName("chars.kdb", "2026-12-01"));
    for (int day = 2; day <= kDays; ++day) {
      const std::string date = "2026-12-" + std::string(day < 10 ? "0" : "") + std::to_string(day);
      for (const char* name : {"items.kdb", "chars.kdb"}) {
        std::filesystem::create_hard_link(backups + BackupFileName(name, "2026-12-01"),
                                          backups + BackupFileName(name, date));
      }
    }
  }
  ~BackupFolder() { std::filesystem::remove_all(dir_); }
  const std::string& Dir() const { return dir_; }

 private:
  std::string dir_;
};

const BackupFolder& Folder(int count) {
  static const BackupFolder folder(count);
  return folder;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_RestoreDialogShows(benchmark::State& state) {
  CurrentPlatform().DataDir = Folder(static_cast<int>(state.range(0))).Dir();
  TCatalogue current;
  TRestore dialog(current, nullptr);
  double filled = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    double shown = 0;
    // The first turn of the dialog's own event loop: it is on the screen.
    QTimer::singleShot(0, &dialog, [&] {
      shown = SecondsSince(start);
      dialog.WaitForReads();
      filled = SecondsSince(start);
      dialog.reject();
    });
    dialog.Execute();
    state.SetIterationTime(shown);
  }
  state.counters["filled_s"] = filled;
}

void BM_ReadEveryBackupDay(benchmark::State& state) {
  const std::string& dir = Folder(static_cast<int>(state.range(0))).Dir();
  for (auto _ : state) benchmark::DoNotOptimize(ReadBackupDays(dir).size());
}

BENCHMARK(BM_RestoreDialogShows)->Arg(1000000)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadEveryBackupDay)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
