#include "model/file_ops.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace kistora {

int FileOps::Open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t FileOps::Read(int fd, void* buf, size_t count) { return ::read(fd, buf, count); }
ssize_t FileOps::Write(int fd, const void* buf, size_t count) { return ::write(fd, buf, count); }
int FileOps::Fsync(int fd) { return ::fsync(fd); }
int FileOps::Close(int fd) { return ::close(fd); }
int FileOps::Rename(const char* from, const char* to) { return ::rename(from, to); }
int FileOps::Unlink(const char* path) { return ::unlink(path); }

namespace {

FileOps& RealFiles() {
  static FileOps real;
  return real;
}

FileOps* current = nullptr;

}  // namespace

FileOps& Files() { return current != nullptr ? *current : RealFiles(); }

ScopedFileOps::ScopedFileOps(FileOps& ops) : previous_(current) { current = &ops; }

ScopedFileOps::~ScopedFileOps() { current = previous_; }

}  // namespace kistora
