// The POSIX calls through which every file is read and written. Tests replace
// them (ScopedFileOps) to make a chosen call fail and check that nothing is lost.
#pragma once

#include <sys/types.h>

namespace kistora {

class FileOps {
 public:
  virtual ~FileOps() = default;
  virtual int Open(const char* path, int flags, mode_t mode);
  virtual ssize_t Read(int fd, void* buf, size_t count);
  virtual ssize_t Write(int fd, const void* buf, size_t count);
  virtual int Fsync(int fd);
  virtual int Close(int fd);
  virtual int Rename(const char* from, const char* to);
  // Like Rename, but fails with EEXIST instead of replacing an existing to.
  virtual int RenameNoReplace(const char* from, const char* to);
  virtual int Unlink(const char* path);
};

// The file layer in use (the real POSIX one unless a test installed another).
// Safe to call from a background save; install a test layer before starting one.
FileOps& Files();

// Installs ops for the life of this object.
class ScopedFileOps {
 public:
  explicit ScopedFileOps(FileOps& ops);
  ~ScopedFileOps();
  ScopedFileOps(const ScopedFileOps&) = delete;
  ScopedFileOps& operator=(const ScopedFileOps&) = delete;

 private:
  FileOps* previous_;
};

}  // namespace kistora
