#include "storage/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "storage/safe_file.h"
#include "storage/stale_temporaries.h"

namespace kistora {

namespace {

// Writes all of data, retrying after signals and short writes.
bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Copies everything from in to out.
bool CopyData(int in, int out) {
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    const ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return true;
    if (!WriteAll(out, buffer.data(), static_cast<std::size_t>(n))) return false;
  }
}

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A new file at target (none exists): a copy that fails half-way is removed.
bool CopyToNewFile(int in, const std::string& target, mode_t mode) {
  const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (out < 0) return false;
  bool ok = CopyData(in, out);
  if (::close(out) != 0) ok = false;
  if (!ok) ::unlink(target.c_str());
  return ok;
}

// Replaces target (the backups of the options file and the export) without
// ever leaving it half-written: the copy goes to a temporary file beside it,
// renamed over it once complete, so a full disk leaves the previous backup
// whole. A link is followed, and an existing file keeps its permissions.
bool CopyOverFile(int in, const std::string& target, mode_t sourceMode) {
  int error = 0;
  const std::string resolved = ResolveSymbolicLinks(target, error);
  if (error != 0) return false;
  struct stat existing {};
  const bool exists = ::stat(resolved.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return false;  // never replace a directory, device or pipe
  std::string temp = DirectoryOf(resolved) + "/" + std::string(kTemporaryPrefix) + "XXXXXX.tmp";
  const int out = ::mkostemps(temp.data(), 4, O_CLOEXEC);
  if (out < 0) return false;
  (void)::fchmod(out, exists ? existing.st_mode & 07777 : sourceMode & 0777);
  if (exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())) {
    (void)::fchown(out, existing.st_uid, existing.st_gid);
  }
  bool ok = CopyData(in, out) && ::fsync(out) == 0;
  if (::close(out) != 0) ok = false;
  if (ok && ::rename(temp.c_str(), resolved.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace

bool CopyFileTo(const std::string& source, const std::string& target, bool failIfExists) {
  // A name cut short by a NUL byte would name another file.
  if (source.find('\0') != std::string::npos || target.find('\0') != std::string::npos) return false;
  // Only a regular file is copied: a pipe would block and a device such as
  // /dev/zero would fill the disk (O_NONBLOCK keeps the open from waiting).
  const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (in < 0) return false;
  struct stat sourceInfo {};
  bool ok = false;
  if (::fstat(in, &sourceInfo) == 0 && S_ISREG(sourceInfo.st_mode)) {
    // Copying a file onto itself must not touch it.
    struct stat targetInfo {};
    const bool targetExists = ::stat(target.c_str(), &targetInfo) == 0;
    if (targetExists && targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino) {
      ok = false;
    } else if (failIfExists) {
      ok = CopyToNewFile(in, target, sourceInfo.st_mode & 0777);
    } else {
      ok = CopyOverFile(in, target, sourceInfo.st_mode);
    }
  }
  ::close(in);
  return ok;
}

}  // namespace kistora
