// One catalogue on several machines: the data folder is kept the same by a
// sync tool while the program may be open on each machine. What this copy
// takes in when a database changes behind its back, or when a sync tool
// leaves a conflict copy beside it, and the common version it merges from.
//
// - A database replaced on disk without this copy's last version being put
//   aside came from a machine that had that version: it is merged with what
//   this copy changed since (the version on disk keeps its item numbers).
// - This copy's last version put aside as a conflict copy (the sync tool saw
//   both machines change the file at once and kept the other one): the same,
//   from the last version both machines shared (the common version).
// - Another machine's version left as a conflict copy: merged into the
//   catalogue from the common version.
// Each merge is one step of the history; a database whose content is then
// what the disk holds is not written. Merged copies go to backups/merged/.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "merge/catalogue_merge.h"
#include "model/catalogue.h"
#include "storage/catalogue_store.h"
#include "storage/conflict_copies.h"
#include "storage/sync_state.h"

namespace kistora {

class CatalogueHistory;

// What the folder holds that concerns the catalogue. Two looks a moment apart
// that are equal mean that a sync tool is done with it.
struct FolderLook {
  FileIdentity Items;
  FileIdentity Chars;
  std::vector<std::pair<std::string, FileIdentity>> Copies;
  bool SyncToolWriting = false;
  bool operator==(const FolderLook&) const = default;
};

struct TakeInOutcome {
  bool Changed = false;  // the catalogue changed (one step of the history)
  // "Catalogue mis \xE0 jour depuis le disque : 3 objets ajout\xE9s, 1 modifi\xE9, 1 en conflit"
  // (Windows-1252); empty when nothing was taken in.
  std::string Summary;
  std::vector<std::string> Moved;         // conflict copies now in backups/merged
  std::vector<std::string> CopiesMerged;  // the names of the databases' conflict copies merged
  std::vector<std::string> NotMoved;      // merged copies that could not be moved (named once)
  std::vector<std::string> Unreadable;    // versions not taken in (damaged or half written)
  MergeReport Report;                     // what the merges did, for a command's report
};

class FolderSync final : public CatalogueObserver {
 public:
  // history may be null (no step recorded). state keeps the common version
  // and the numbers between runs.
  FolderSync(TCatalogue& catalogue, CatalogueStore& store, SyncState state, CatalogueHistory* history);
  ~FolderSync() override;  // finishes writing the state
  FolderSync(const FolderSync&) = delete;
  FolderSync& operator=(const FolderSync&) = delete;

  // Once start-up has read the files: the common version (the one kept from
  // the last run while the files are still those this copy wrote, else the
  // files as read) and the highest number this copy ever handed out, which
  // LastItemIndex never goes below from now on.
  void Started();
  // LastItemIndex raised to every number this copy ever handed out (after the
  // options file, whose synced value may be lower).
  void RaiseLastItemIndex();

  FolderLook LookAtFolder() const;
  // Whether the folder holds something this copy has not taken in.
  bool HasNews(const FolderLook& look) const;
  // Takes in what the folder holds: the databases changed on disk, then the
  // conflict copies. A version that cannot be read is left as it is.
  TakeInOutcome TakeIn();
  // The versions that could not be read and still cannot after a few
  // seconds, each once: the catalogue is then written over them, after a
  // copy of each is kept beside it as "<name>.damaged".
  std::vector<std::string> TroubleToTell(std::chrono::steady_clock::time_point now);

  void CatalogueChanged(const CatalogueChange& change) override;

 private:
  struct Unreadable {
    std::string Path;
    FileIdentity Identity;
    std::chrono::steady_clock::time_point Since;
    std::optional<DatabaseKind> Database;  // set for items.kdb and chars.kdb themselves
    bool Told = false;
  };
  CatalogueVersion Current() const;
  bool Skipped(const std::string& path, const FileIdentity& identity) const;
  void NoteUnreadable(const std::string& path, const FileIdentity& identity, std::optional<DatabaseKind> database);
  // Reads one database file as a version beside the catalogue's; false when unreadable.
  bool ReadItemsVersion(const std::string& path, ItemVector& out) const;
  bool ReadCharsVersion(const std::string& path, std::vector<TChar>& out) const;
  void Apply(const CatalogueVersion& before, const CatalogueVersion& after, TakeInOutcome& outcome);
  // The state file writes run on a thread of their own; the latest asked wins.
  void PersistCommon();
  void PersistNumbers();
  void PersistLoop();

  TCatalogue& catalogue_;
  CatalogueStore& store_;
  CatalogueHistory* history_;
  SyncState state_;
  MergeBase common_;
  std::int32_t highest_ = 0;  // the highest number this copy ever handed out
  bool started_ = false;
  std::vector<Unreadable> unreadable_;

  std::mutex persistMutex_;
  std::condition_variable persistWake_;
  std::optional<std::pair<ItemVector, std::vector<TChar>>> commonToWrite_;
  std::optional<std::vector<NumberedDigest>> commonDigestsToWrite_;
  bool numbersToWrite_ = false;
  std::int32_t highestToWrite_ = 0;
  WrittenFiles written_;
  bool stopping_ = false;
  std::thread persister_;
};

// "Catalogue mis \xE0 jour depuis le disque : ..." for the difference between two versions.
std::string TakeInSummary(const CatalogueVersion& before, const CatalogueVersion& after, const MergeReport& report);

}  // namespace kistora
