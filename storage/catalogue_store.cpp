#include "storage/catalogue_store.h"

#include <utility>

#include "storage/daily_backups.h"
#include "storage/database.h"
#include "storage/file_error.h"
#include "storage/kept_copy.h"

namespace kistora {

namespace {

std::size_t Slot(DatabaseKind kind) { return kind == DatabaseKind::Items ? 0 : 1; }

std::string JoinPath(const std::string& dir, const char* name) {
  return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

}  // namespace

CatalogueStore::CatalogueStore(std::string dataDir, std::function<std::string()> today)
    : dataDir_(std::move(dataDir)), today_(today ? std::move(today) : LocalDateToday) {
  files_[Slot(DatabaseKind::Items)].Path = JoinPath(dataDir_, "items.kdb");
  files_[Slot(DatabaseKind::Chars)].Path = JoinPath(dataDir_, "chars.kdb");
  worker_ = std::thread([this] { WorkerLoop(); });
}

CatalogueStore::~CatalogueStore() {
  Untrack();
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

const std::string& CatalogueStore::PathOf(DatabaseKind kind) const { return files_[Slot(kind)].Path; }

StartupRead CatalogueStore::ReadAtStartup(TCatalogue& catalogue, DatabaseKind kind) {
  const std::lock_guard lock(saveMutex_);
  FileState& file = files_[Slot(kind)];
  StartupRead read = ReadDatabaseAtStartup(catalogue, kind, file.Path);
  file.Known = IdentityOf(file.Path);
  file.Content = {};
  // Only a file read whole is known to hold what the catalogue holds.
  if (read.State == StartupReadState::Clean) {
    if (kind == DatabaseKind::Items) {
      file.Content.Items = BlocksOf(catalogue.ItemList);
    } else {
      file.Content.Chars.emplace();
      for (const auto& character : catalogue.CharList) file.Content.Chars->push_back(*character);
    }
  }
  if (read.NeedsKeeping()) file.Damaged.emplace(file.Path);
  return read;
}

void CatalogueStore::NoteRead(DatabaseKind kind) {
  const std::lock_guard lock(saveMutex_);
  files_[Slot(kind)].Known = IdentityOf(files_[Slot(kind)].Path);
}

void CatalogueStore::HoldBackOutsideChanges(bool hold) {
  const std::lock_guard lock(saveMutex_);
  holdBack_ = hold;
}

KnownFile CatalogueStore::Known(DatabaseKind kind) {
  const std::lock_guard lock(saveMutex_);
  KnownFile known = files_[Slot(kind)].Content;
  known.Identity = files_[Slot(kind)].Known;
  return known;
}

void CatalogueStore::TakenIn(DatabaseKind kind, const FileIdentity& identity, KnownFile content) {
  const std::lock_guard lock(saveMutex_);
  FileState& file = files_[Slot(kind)];
  file.Known = identity;
  file.Content = std::move(content);
  file.Content.Identity.reset();
  file.Damaged.reset();  // the damaged file of start-up is gone: another took its place
}

void CatalogueStore::GiveUpOn(DatabaseKind kind, const FileIdentity& identity) {
  const std::lock_guard lock(saveMutex_);
  FileState& file = files_[Slot(kind)];
  file.Known = identity;
  file.Content = {};
  file.Damaged.emplace(file.Path);
}

void CatalogueStore::SetWrittenListener(std::function<void(DatabaseKind, const FileIdentity&)> listener) {
  const std::lock_guard lock(saveMutex_);
  writtenListener_ = std::move(listener);
}

void CatalogueStore::Track(TCatalogue& catalogue) {
  Untrack();
  tracked_ = &catalogue;
  mirror_.Rebuild(catalogue.ItemList);
  catalogue.AddObserver(&watcher_);
}

void CatalogueStore::Untrack() {
  if (tracked_ == nullptr) return;
  tracked_->RemoveObserver(&watcher_);
  tracked_ = nullptr;
}

void CatalogueStore::Changed(const CatalogueChange& change) {
  mirror_.Apply(tracked_->ItemList, change);
  ScheduleSave(*tracked_, change);
}

CatalogueStore::Snapshot CatalogueStore::TakeSnapshot(const TCatalogue& catalogue, bool items, bool chars) {
  Snapshot snapshot;
  if (items) {
    if (&catalogue != tracked_) {
      ItemBlockMirror copy;
      copy.Rebuild(catalogue.ItemList);
      snapshot.Items = copy.Snapshot();
    } else {
      // A cheap check that the mirror still holds the catalogue; rebuilt if not.
      if (!mirror_.Matches(catalogue.ItemList)) mirror_.Rebuild(catalogue.ItemList);
      snapshot.Items = mirror_.Snapshot();
    }
  }
  if (chars) {
    std::vector<TChar> characters;
    characters.reserve(catalogue.CharList.size());
    for (const auto& character : catalogue.CharList) characters.push_back(*character);
    snapshot.Chars = std::move(characters);
  }
  return snapshot;
}

void CatalogueStore::ScheduleSave(const TCatalogue& catalogue, bool itemsChanged, bool charsChanged) {
  if (!itemsChanged && !charsChanged) return;
  {
    const std::lock_guard lock(mutex_);
    if (closed_) return;
  }
  Hand(TakeSnapshot(catalogue, itemsChanged, charsChanged));
}

void CatalogueStore::Hand(Snapshot&& snapshot) {
  {
    const std::lock_guard lock(mutex_);
    if (closed_) return;
    if (snapshot.Items) pending_.Items = std::move(snapshot.Items);
    if (snapshot.Chars) pending_.Chars = std::move(snapshot.Chars);
    requested_ = true;
  }
  wake_.notify_one();
}

void CatalogueStore::WaitIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [this] { return !running_ && !requested_; });
}

std::vector<SaveReport> CatalogueStore::TakeReports() {
  const std::lock_guard lock(mutex_);
  return std::exchange(reports_, {});
}

void CatalogueStore::SetReportsReady(std::function<void()> ready) {
  // Also waits for a call in progress: once this returns, the old one is never called again.
  const std::lock_guard calling(readyMutex_);
  const std::lock_guard lock(mutex_);
  reportsReady_ = std::move(ready);
}

void CatalogueStore::KeepForRetry(Snapshot&& unwritten) {
  if (unwritten.Items && !pending_.Items) pending_.Items = std::move(unwritten.Items);
  if (unwritten.Chars && !pending_.Chars) pending_.Chars = std::move(unwritten.Chars);
}

void CatalogueStore::WorkerLoop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stop_ || requested_; });
    if (!requested_) break;  // stopping with nothing left to write
    requested_ = false;
    running_ = true;
    Snapshot job = std::exchange(pending_, {});
    lock.unlock();

    SaveReport report;
    {
      const std::lock_guard save(saveMutex_);
      WriteJob(job, /*onlyChanged=*/true, report);
      // A failure is told once; the next change and the close try again.
      if (report.Failure) {
        if (failureShown_) report.Failure.reset();
        failureShown_ = true;
      } else if (!report.HeldBack) {
        failureShown_ = false;
      }
    }

    lock.lock();
    KeepForRetry(std::move(job));
    const bool tell = report.Failure || report.HeldBack || !report.Conflicts.empty();
    if (tell) {
      reports_.push_back(std::move(report));
      // Told before the worker counts as idle, so that whoever waited for the
      // save also sees its report announced.
      lock.unlock();
      {
        const std::lock_guard calling(readyMutex_);
        std::function<void()> ready;
        {
          const std::lock_guard again(mutex_);
          ready = reportsReady_;
        }
        if (ready) ready();
      }
      lock.lock();
    }
    running_ = false;
    idle_.notify_all();
  }
}

void CatalogueStore::BackUpOncePerDay(SaveReport& report) {
  const std::string today = today_();
  if (today == backedUpOn_) return;
  BackupOutcome outcome = BackUpForDay(dataDir_, {files_[0].Path, files_[1].Path}, today);
  report.BackupsMade = std::move(outcome.Made);
  // A backup that cannot be taken does not stop the save; the next save tries again.
  if (outcome.FailedPath.empty()) backedUpOn_ = today;
}

void CatalogueStore::WriteJob(Snapshot& job, bool onlyChanged, SaveReport& report) {
  if (!job.Items && !job.Chars) return;
  BackUpOncePerDay(report);
  // Items before characters: a failure, or a file held back, stops there.
  if (job.Items && WriteOne(DatabaseKind::Items, job, onlyChanged, report)) job.Items.reset();
  if (job.Chars && !job.Items && WriteOne(DatabaseKind::Chars, job, onlyChanged, report)) job.Chars.reset();
}

bool CatalogueStore::WriteOne(DatabaseKind kind, const Snapshot& snapshot, bool onlyChanged, SaveReport& report) {
  FileState& file = files_[Slot(kind)];
  const auto fail = [&](const EFileError& failure, bool keepFailed) {
    report.Failure = SaveFailure{kind, file.Path, failure.Action, failure.Errno, keepFailed, IsFolder(file.Path)};
    return false;
  };
  const bool items = kind == DatabaseKind::Items;
  try {
    const FileIdentity now = IdentityOf(file.Path);
    if (file.Known && now.Exists && now != *file.Known) {
      if (holdBack_) {
        report.HeldBack = true;  // the other version is taken in first
        return false;
      }
      report.Conflicts.push_back({kind, file.Path, KeepCopyUnderFreeName(file.Path, file.Path + ".conflict")});
    } else if (onlyChanged && file.Known && now.Exists) {
      // The file holds this content already: a database nobody changed is not written.
      const bool same = items ? file.Content.Items && SameItems(*file.Content.Items, *snapshot.Items)
                              : file.Content.Chars && *file.Content.Chars == *snapshot.Chars;
      if (same) return true;
    }
    if (file.Damaged && !file.Damaged->Done()) {
      file.Damaged->KeepBeforeSave();
      if (!file.Damaged->KeptAs().empty()) report.DamagedKept.push_back(file.Damaged->KeptAs());
    }
  } catch (const EFileError& failure) {
    return fail(failure, true);  // without its copy the other version is not replaced
  }
  try {
    if (items) {
      SaveItems(*snapshot.Items, file.Path);
    } else {
      SaveChars(*snapshot.Chars, file.Path);
    }
  } catch (const EFileError& failure) {
    return fail(failure, false);
  }
  file.Known = IdentityOf(file.Path);
  if (writtenListener_) writtenListener_(kind, *file.Known);
  file.Content = {};
  if (items) {
    file.Content.Items = *snapshot.Items;
  } else {
    file.Content.Chars = *snapshot.Chars;
  }
  return true;
}

SaveReport CatalogueStore::SaveNow(const TCatalogue& catalogue, bool onlyChanged) {
  {
    std::unique_lock lock(mutex_);
    // A save not yet started is dropped: this one writes the catalogue as it is now.
    pending_ = {};
    requested_ = false;
    idle_.wait(lock, [this] { return !running_; });
  }

  SaveReport report;
  Snapshot job = TakeSnapshot(catalogue, true, true);
  {
    const std::lock_guard save(saveMutex_);
    WriteJob(job, onlyChanged, report);
    failureShown_ = !report.Ok();  // this failure is shown by the caller: not again by the worker
  }
  if (job.Items || job.Chars) {
    // What was not written waits for the next change.
    const std::lock_guard lock(mutex_);
    KeepForRetry(std::move(job));
  }
  return report;
}

SaveReport CatalogueStore::SaveAtClose(const TCatalogue& catalogue) {
  SaveReport report = SaveNow(catalogue, /*onlyChanged=*/true);
  if (report.Ok()) {
    const std::lock_guard lock(mutex_);
    closed_ = true;
  }
  return report;
}

}  // namespace kistora
