#include "model/damaged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "model/database.h"
#include "model/file_error.h"
#include "model/file_ops.h"
#include "model/text_utils.h"

namespace kistora {

namespace {

constexpr int kMaxDamagedCopies = 9999;
constexpr int kCopyAttempts = 3;  // a name taken between the choice and the copy: choose again

std::size_t RecordCount(const TCatalogue& catalogue, DatabaseKind kind) {
  return kind == DatabaseKind::Items ? catalogue.ItemList.size() : catalogue.CharList.size();
}

// No file of that name: the open found nothing to read (a dangling link
// included: saving creates what it points to). A name the system refuses
// names nothing either.
bool NamesNothing(int error) { return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG; }

bool NameTaken(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string KeepMessage(const std::string& path) { return "Impossible de conserver le fichier " + path; }

// The copy's bytes reach the disk before the save may replace the original:
// otherwise a crash right after the save could leave neither.
void FlushCopy(const std::string& path, const std::string& copy) {
  const int fd = Files().Open(copy.c_str(), O_RDONLY | O_CLOEXEC, 0);
  int error = 0;
  if (fd < 0) {
    error = errno;
  } else {
    if (Files().Fsync(fd) != 0) error = errno;
    if (Files().Close(fd) != 0 && error == 0) error = errno;
  }
  if (error != 0) {
    Files().Unlink(copy.c_str());  // a copy that may not be whole must not pass for one
    throw EFileError(KeepMessage(path), error);
  }
  // The new name too; best effort, as for the saves.
  const int dir = ::open(DirectoryOf(copy).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    (void)::fsync(dir);
    ::close(dir);
  }
}

}  // namespace

StartupRead ReadDatabaseAtStartup(TCatalogue& catalogue, DatabaseKind kind, const std::string& path) {
  StartupRead read;
  read.Path = path;
  std::uint8_t result = kLoadOk;
  try {
    result = kind == DatabaseKind::Items ? LoadItems(catalogue, path) : LoadChars(catalogue, path);
  } catch (const EFileError& failure) {
    read.State = NamesNothing(failure.Errno) ? StartupReadState::Missing : StartupReadState::Unopenable;
    read.OpenFailure = failure.what();
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

std::string FreeDamagedName(const std::string& path) {
  const std::string base = path + ".damaged";
  if (!NameTaken(base)) return base;
  for (int n = 2; n <= kMaxDamagedCopies; ++n) {
    std::string name = base + "." + std::to_string(n);
    if (!NameTaken(name)) return name;
  }
  return {};
}

std::string KeepDamagedCopy(const std::string& path) {
  for (int attempt = 0; attempt < kCopyAttempts; ++attempt) {
    const std::string copy = FreeDamagedName(path);
    if (copy.empty()) throw EFileError(KeepMessage(path), EEXIST);
    errno = 0;
    if (CopyFileTo(path, copy, /*failIfExists=*/true)) {
      FlushCopy(path, copy);
      return copy;
    }
    const int error = errno != 0 ? errno : EIO;
    if (!NameTaken(copy)) throw EFileError(KeepMessage(path), error);
    // Another program took the name meanwhile: its file stays, try the next one.
  }
  throw EFileError(KeepMessage(path), EEXIST);
}

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
