// The database files of one data folder and how they are written: the close's
// save, saving as you go on a worker thread, the damaged originals of this run,
// the files changed behind the program's back, and the daily backups.
//
// Every write of a database file, wherever it comes from, goes this way:
//  1. at the first write of the day, both files as they were are copied into
//     backups/ (daily_backups.h);
//  2. a file that could not be read whole at start-up has its original kept
//     beside it once (damaged_file.h); the file is not written when that fails;
//  3. a file whose size, modification time or inode changed since this store
//     last read or wrote it is not written over: when outside changes are
//     held back (the windowed program) the save waits and the report says so,
//     until the caller has taken the new version in (TakenIn); otherwise it is
//     kept beside it as "<name>.conflict" (".2" ...) and the report says so;
//     the file is not written when that copy fails;
//  4. a save as you go or the close skips a file whose content is what this
//     store last read or wrote there (a database nobody changed is never
//     written, so that a sync tool sees no change);
//  5. the file is written by the safe save (safe_file.h), items before
//     characters; a failure stops there.
// Only one thread schedules saves and calls SaveNow (the UI thread).
#pragma once

#include <array>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "model/catalogue.h"
#include "storage/damaged_file.h"
#include "storage/file_error.h"
#include "storage/file_identity.h"
#include "storage/item_blocks.h"

namespace kistora {

// A database file that could not be written (or whose other version could not be kept).
struct SaveFailure {
  DatabaseKind Kind = DatabaseKind::Items;
  std::string Path;
  FileAction Action = FileAction::Create;  // what could not be done to Path
  int Errno = 0;
  bool KeepFailed = false;      // the damaged original or the other version could not be kept: nothing was replaced
  bool FolderInTheWay = false;  // Path names a folder: nothing can be written there until it is moved
};

// A database that changed on disk behind the program's back: the other version was kept.
struct ConflictKept {
  DatabaseKind Kind = DatabaseKind::Items;
  std::string Path;    // the database file, which now holds the catalogue (unless Failure says otherwise)
  std::string KeptAs;  // where the other version is, e.g. "<dir>/items.kdb.conflict"
};

struct SaveReport {
  std::optional<SaveFailure> Failure;
  // A database changed on disk behind the program while outside changes are
  // held back: nothing was written; what waits is written once taken in.
  bool HeldBack = false;
  std::vector<ConflictKept> Conflicts;
  std::vector<std::string> DamagedKept;  // copies of damaged originals made by this save
  std::vector<std::string> BackupsMade;  // daily backups taken by this save

  bool Ok() const { return !Failure && !HeldBack; }
};

// A database file as this store last read or wrote it: its identity then, and
// its content when the store knows it (read whole, or written).
struct KnownFile {
  std::optional<FileIdentity> Identity;
  std::optional<ItemBlocks> Items;
  std::optional<std::vector<TChar>> Chars;
};

class CatalogueStore {
 public:
  // dataDir holds items.kdb and chars.kdb; today gives the local date
  // "YYYY-MM-DD" of the backups (tests choose the day).
  explicit CatalogueStore(std::string dataDir, std::function<std::string()> today = {});
  // Finishes a save already asked for, then stops the worker.
  ~CatalogueStore();
  CatalogueStore(const CatalogueStore&) = delete;
  CatalogueStore& operator=(const CatalogueStore&) = delete;

  const std::string& DataDir() const { return dataDir_; }
  const std::string& PathOf(DatabaseKind kind) const;

  // ---- start-up ----

  // Reads one database file the start-up way (ReadDatabaseAtStartup), records
  // its identity, and remembers a file not read whole so that its original is
  // kept before its first write.
  StartupRead ReadAtStartup(TCatalogue& catalogue, DatabaseKind kind);
  // Records the identity of a file that the caller read by other means.
  void NoteRead(DatabaseKind kind);

  // ---- another version on disk ----

  // Whether a database changed on disk since this store last read or wrote it
  // is held back (see above) rather than kept aside as a ".conflict" copy.
  void HoldBackOutsideChanges(bool hold);
  // The file as this store last read or wrote it.
  KnownFile Known(DatabaseKind kind);
  // The caller has read the version now on disk (whose identity and content
  // it gives) and puts a merge of it in the catalogue next: from now on that
  // is what the disk holds, and a save writes the file only if the catalogue
  // differs from it. Call after WaitIdle, on the thread that schedules saves.
  void TakenIn(DatabaseKind kind, const FileIdentity& identity, KnownFile content);
  // A version on disk that cannot be read, and lasts: it is kept beside the
  // file (as a damaged original is) before the catalogue is written over it.
  void GiveUpOn(DatabaseKind kind, const FileIdentity& identity);
  // Called on the worker's thread after each file written, with its new identity.
  void SetWrittenListener(std::function<void(DatabaseKind, const FileIdentity&)> listener);

  // ---- saving as you go ----

  // Once start-up has loaded the files: the store watches the catalogue and,
  // after each of its changes, takes a snapshot of the file(s) that changed
  // and hands it to the worker, which writes it at once (the latest snapshot
  // wins when several wait). Following each change keeps the snapshot cheap (a
  // pointer per block of items, copies of the characters), so the change gives
  // control back at once even with a million items. The catalogue must
  // outlive the store, or be let go with Untrack first.
  void Track(TCatalogue& catalogue);
  void Untrack();

  // The same hand-off, for a caller that does not let the store watch: the
  // snapshot of a catalogue the store does not track copies every item
  // pointer (slower with many items).
  void ScheduleSave(const TCatalogue& catalogue, bool itemsChanged, bool charsChanged);
  void ScheduleSave(const TCatalogue& catalogue, const CatalogueChange& change) {
    ScheduleSave(catalogue, change.TouchesItems(), change.TouchesChars());
  }
  // Waits until the worker has written everything asked for so far.
  void WaitIdle();
  // What the worker's saves have to tell the player, oldest first: a failure
  // is told once (until a save succeeds again), a conflict every time.
  std::vector<SaveReport> TakeReports();
  // Called on the worker thread each time a report is ready; the UI re-posts
  // it to its own thread and calls TakeReports there.
  void SetReportsReady(std::function<void()> ready);

  // ---- writing now ----

  // Writes both files from the catalogue now, items then characters, after
  // the worker's current save; a save the worker had not started is dropped
  // (this one holds it). onlyChanged skips a file whose content is what this
  // store last read or wrote there. A failure is in the report; what was not
  // written is written by the next save as you go.
  SaveReport SaveNow(const TCatalogue& catalogue, bool onlyChanged = false);
  // The close: SaveNow of what changed, and once it succeeded no further save
  // is taken (the catalogue is freed next, and must not reach the files).
  SaveReport SaveAtClose(const TCatalogue& catalogue);

 private:
  struct Snapshot {
    std::optional<ItemBlocks> Items;
    std::optional<std::vector<TChar>> Chars;
  };
  // Tells the store of each change of the tracked catalogue.
  class Watcher : public CatalogueObserver {
   public:
    explicit Watcher(CatalogueStore& store) : store_(store) {}
    void CatalogueChanged(const CatalogueChange& change) override { store_.Changed(change); }

   private:
    CatalogueStore& store_;
  };
  struct FileState {
    std::string Path;
    std::optional<FileIdentity> Known;  // as last read or written; unset before either
    KnownFile Content;                  // its content then (unset when not read whole)
    std::optional<DamagedOriginal> Damaged;
  };

  void Changed(const CatalogueChange& change);
  // On the UI thread: the tracked catalogue's items come from the mirror.
  Snapshot TakeSnapshot(const TCatalogue& catalogue, bool items, bool chars);
  void Hand(Snapshot&& snapshot);
  void WorkerLoop();
  // Both under saveMutex_.
  void BackUpOncePerDay(SaveReport& report);
  // Writes one part of snapshot (its items or its characters) unless onlyChanged
  // and the file holds it already. False when it was not written.
  bool WriteOne(DatabaseKind kind, const Snapshot& snapshot, bool onlyChanged, SaveReport& report);
  void WriteJob(Snapshot& job, bool onlyChanged, SaveReport& report);
  // Puts back parts not written, unless a newer snapshot of them waits already (under mutex_).
  void KeepForRetry(Snapshot&& unwritten);

  std::string dataDir_;
  std::function<std::string()> today_;

  std::mutex saveMutex_;  // one save at a time; guards the members below it
  std::array<FileState, 2> files_;
  std::string backedUpOn_;     // the date of the last daily backup taken
  bool failureShown_ = false;  // a failure was reported and no save succeeded since
  bool holdBack_ = false;      // outside changes wait to be taken in
  std::function<void(DatabaseKind, const FileIdentity&)> writtenListener_;

  // UI thread only.
  TCatalogue* tracked_ = nullptr;
  ItemBlockMirror mirror_;  // the tracked catalogue's items, change by change
  Watcher watcher_{*this};

  std::mutex readyMutex_;  // held while reportsReady_ is called, so that replacing it waits
  std::mutex mutex_;       // guards the members below it
  std::condition_variable wake_;
  std::condition_variable idle_;
  Snapshot pending_;
  bool requested_ = false;  // pending_ waits to be written
  bool running_ = false;    // the worker is writing
  bool closed_ = false;
  bool stop_ = false;
  std::vector<SaveReport> reports_;
  std::function<void()> reportsReady_;

  std::thread worker_;  // last: starts once everything above exists
};

}  // namespace kistora
