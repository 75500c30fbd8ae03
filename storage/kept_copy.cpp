#include "storage/kept_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "model/text_utils.h"
#include "storage/file_copy.h"
#include "storage/file_error.h"
#include "storage/file_ops.h"
#include "storage/safe_file.h"

namespace kistora {

namespace {

constexpr int kMaxCopies = 9999;
constexpr int kNameAttempts = 3;  // a name taken between the choice and the rename: choose again

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

// The copy's bytes reach the disk before it takes its name: otherwise a crash
// right after the save that follows could leave neither version.
int FlushFile(const std::string& path) {
  const int fd = Files().Open(path.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (fd < 0) return errno;
  int error = Files().Fsync(fd) != 0 ? errno : 0;
  if (Files().Close(fd) != 0 && error == 0) error = errno;
  return error;
}

void SyncDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string FreeNumberedName(const std::string& base) {
  if (!NameTaken(base)) return base;
  for (int n = 2; n <= kMaxCopies; ++n) {
    std::string name = base + "." + std::to_string(n);
    if (!NameTaken(name)) return name;
  }
  return {};
}

std::string KeepCopyUnderFreeName(const std::string& source, const std::string& base) {
  const std::string temp = TemporaryPathIn(DirectoryOf(base));
  errno = 0;
  if (!CopyFileTo(source, temp, /*failIfExists=*/true)) {
    const int error = errno != 0 ? errno : EIO;  // a half copy is already removed
    throw EFileError(FileAction::Keep, source, error);
  }
  int error = FlushFile(temp);
  for (int attempt = 0; error == 0 && attempt < kNameAttempts; ++attempt) {
    const std::string name = FreeNumberedName(base);
    if (name.empty()) {
      error = EEXIST;
      break;
    }
    if (Files().RenameNoReplace(temp.c_str(), name.c_str()) == 0) {
      SyncDirectory(DirectoryOf(name));
      return name;
    }
    error = errno;
    if (error == EEXIST) error = 0;  // another program took that name meanwhile: its file stays
  }
  Files().Unlink(temp.c_str());
  throw EFileError(FileAction::Keep, source, error != 0 ? error : EEXIST);
}

}  // namespace kistora
