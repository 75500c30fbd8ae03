#include "storage/file_ops.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace kistora {

int FileOps::Open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t FileOps::Read(int fd, void* buf, size_t count) { return ::read(fd, buf, count); }
ssize_t FileOps::Write(int fd, const void* buf, size_t count) { return ::write(fd, buf, count); }
int FileOps::Fsync(int fd) { return ::fsync(fd); }
int FileOps::Close(int fd) { return ::close(fd); }
int FileOps::Rename(const char* from, const char* to) { return ::rename(from, to); }
int FileOps::Unlink(const char* path) { return ::unlink(path); }

int FileOps::RenameNoReplace(const char* from, const char* to) {
  if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  // A file system without that flag: a hard link fails on an existing name too.
  if (::link(from, to) == 0) return ::unlink(from);
  return -1;
}

namespace {

FileOps& RealFiles() {
  static FileOps real;
  return real;
}

std::atomic<FileOps*> current{nullptr};

}  // namespace

FileOps& Files() {
  FileOps* installed = current.load();
  return installed != nullptr ? *installed : RealFiles();
}

ScopedFileOps::ScopedFileOps(FileOps& ops) : previous_(current.exchange(&ops)) {}

ScopedFileOps::~ScopedFileOps() { current.store(previous_); }

}  // namespace kistora
