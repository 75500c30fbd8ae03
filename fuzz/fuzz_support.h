// What every fuzz target shares: a private scratch directory (in memory when
// /dev/shm is there), a file layer whose fsync does nothing (a fuzz run saves
// millions of files that nobody needs on the platter), and a loud failure.
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "storage/file_ops.h"

namespace kistora::fuzz {

// Reports a broken invariant and stops the run, so libFuzzer keeps the input.
[[noreturn]] inline void Fail(std::string_view what, std::string_view detail = {}) {
  std::fprintf(stderr, "\n*** invariant broken: %.*s %.*s\n", static_cast<int>(what.size()), what.data(),
               static_cast<int>(detail.size()), detail.data());
  std::abort();
}

inline void Require(bool condition, std::string_view what, std::string_view detail = {}) {
  if (!condition) Fail(what, detail);
}

class NoSyncFileOps : public FileOps {
 public:
  int Fsync(int) override { return 0; }
};

// One directory per process, removed at exit.
class Scratch {
 public:
  static Scratch& Get() {
    static Scratch scratch;
    return scratch;
  }

  std::string Path(std::string_view name) const { return dir_ + "/" + std::string(name); }

  // Replaces the named file with exactly these bytes.
  void Put(std::string_view name, const std::uint8_t* data, std::size_t size) const {
    const std::string path = Path(name);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    Require(fd >= 0, "cannot create", path);
    while (size > 0) {
      const ssize_t n = ::write(fd, data, size);
      Require(n > 0, "cannot write", path);
      data += n;
      size -= static_cast<std::size_t>(n);
    }
    ::close(fd);
  }

  std::string Read(std::string_view name) const {
    std::string bytes;
    const int fd = ::open(Path(name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return bytes;
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    return bytes;
  }

  void Remove(std::string_view name) const { ::unlink(Path(name).c_str()); }

  ~Scratch() {
    const std::string command = "rm -rf '" + dir_ + "'";
    if (!dir_.empty()) (void)std::system(command.c_str());
  }

 private:
  Scratch() : scoped_(noSync_) {
    struct stat info {};
    const bool shm = ::stat("/dev/shm", &info) == 0 && S_ISDIR(info.st_mode) && ::access("/dev/shm", W_OK) == 0;
    std::string pattern = std::string(shm ? "/dev/shm" : "/tmp") + "/kistora-fuzz-XXXXXX";
    Require(::mkdtemp(pattern.data()) != nullptr, "mkdtemp failed", pattern);
    dir_ = pattern;
  }

  NoSyncFileOps noSync_;
  ScopedFileOps scoped_;
  std::string dir_;
};

}  // namespace kistora::fuzz
