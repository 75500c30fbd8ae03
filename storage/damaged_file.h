// A database file that is there but could not be read cleanly is never
// replaced silently: start-up says what was read, and before the first save
// over it its original bytes are copied beside it under a name that says so
// (items.kdb.damaged, then items.kdb.damaged.2, .3 ...), never over an
// earlier copy. A missing file is a first run and has nothing to keep.
#pragma once

#include <cstddef>
#include <string>

#include "model/catalogue.h"

namespace kistora {

enum class DatabaseKind { Items, Chars };

// How reading one database file at start-up went.
enum class StartupReadState {
  Clean,       // read to the end of its record count, every magic right
  Missing,     // nothing of that name (a first run)
  Unopenable,  // something is there but it could not be opened: nothing read
  Folder,      // a folder stands where the file should be: nothing read, and nothing can be saved there
  BadMagic,    // not a database of this kind (or empty): nothing read
  BadVersion,  // a version this program does not know: nothing read
  Damaged,     // a record magic was wrong or the file ended early: the records read whole are kept
};

struct StartupRead {
  std::string Path;
  StartupReadState State = StartupReadState::Clean;
  std::size_t RecordsKept = 0;  // items or characters in the catalogue after the read
  int Errno = 0;                // Missing / Unopenable: why the open failed

  // The file is there and was not read whole: a save must not replace it
  // before its original is kept.
  bool NeedsKeeping() const { return State != StartupReadState::Clean && State != StartupReadState::Missing; }
};

// Loads one database file into the catalogue the way start-up does (the
// loader's rules for what stays in memory), never throwing for a file that
// cannot be opened, and says how it went.
StartupRead ReadDatabaseAtStartup(TCatalogue& catalogue, DatabaseKind kind, const std::string& path);

// The first of path.damaged, path.damaged.2, path.damaged.3 ... that names
// nothing at all (a dangling link counts as taken). Empty when the first
// 9,999 are all taken.
std::string FreeDamagedName(const std::string& path);

// Copies path under FreeDamagedName(path), never over an existing file, through
// a temporary file flushed to disk and then renamed (kept_copy.h): a kill never
// leaves a partial copy. A failed copy leaves no file behind and raises
// EFileError "Impossible de conserver le fichier <path>".
std::string KeepDamagedCopy(const std::string& path);

// One damaged database file of this run, kept at most once.
class DamagedOriginal {
 public:
  explicit DamagedOriginal(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }
  // Call before each save that replaces Path(). The first successful call
  // copies the file (nothing when it has gone meanwhile: it cannot be lost);
  // later calls do nothing. Raises EFileError when the copy cannot be made:
  // the save must not happen then, and the next call tries again.
  void KeepBeforeSave();
  bool Done() const { return done_; }
  // Name of the copy made; empty before, or when there was nothing to copy.
  const std::string& KeptAs() const { return keptAs_; }

 private:
  std::string path_;
  std::string keptAs_;
  bool done_ = false;
};

}  // namespace kistora
