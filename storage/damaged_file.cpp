#include "storage/damaged_file.h"

#include <sys/stat.h>

#include <cerrno>

#include "storage/database.h"
#include "storage/file_error.h"
#include "storage/file_identity.h"
#include "storage/kept_copy.h"

namespace kistora {

namespace {

std::size_t RecordCount(const TCatalogue& catalogue, DatabaseKind kind) {
  return kind == DatabaseKind::Items ? catalogue.ItemList.size() : catalogue.CharList.size();
}

// No file of that name: the open found nothing to read (a dangling link
// included: saving creates what it points to). A name the system refuses
// names nothing either.
bool NamesNothing(int error) { return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG; }

}  // namespace

StartupRead ReadDatabaseAtStartup(TCatalogue& catalogue, DatabaseKind kind, const std::string& path) {
  StartupRead read;
  read.Path = path;
  if (IsFolder(path)) {
    read.State = StartupReadState::Folder;
    return read;
  }
  std::uint8_t result = kLoadOk;
  try {
    result = kind == DatabaseKind::Items ? LoadItems(catalogue, path) : LoadChars(catalogue, path);
  } catch (const EFileError& failure) {
    read.State = NamesNothing(failure.Errno) ? StartupReadState::Missing : StartupReadState::Unopenable;
    read.Errno = failure.Errno;
    return read;
  }
  switch (result) {
    case kLoadOk:
      read.State = StartupReadState::Clean;
      read.RecordsKept = RecordCount(catalogue, kind);
      break;
    case kLoadBadMagic:
      read.State = StartupReadState::BadMagic;
      break;
    case kLoadBadVersion:
      read.State = StartupReadState::BadVersion;
      break;
    default:
      read.State = StartupReadState::Damaged;
      read.RecordsKept = RecordCount(catalogue, kind);
      break;
  }
  return read;
}

std::string FreeDamagedName(const std::string& path) { return FreeNumberedName(path + ".damaged"); }

std::string KeepDamagedCopy(const std::string& path) { return KeepCopyUnderFreeName(path, path + ".damaged"); }

void DamagedOriginal::KeepBeforeSave() {
  if (done_) return;
  struct stat info {};
  if (::stat(path_.c_str(), &info) != 0 && NamesNothing(errno)) {
    // Moved away since start-up: nothing is left for the save to replace.
    done_ = true;
    return;
  }
  keptAs_ = KeepDamagedCopy(path_);
  done_ = true;
}

}  // namespace kistora
