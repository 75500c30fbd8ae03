// Shared by the robustness tests: a file layer that fails a chosen call, and a
// tally of the faults injected and the files compared (printed by each test, so
// a run shows how much it proved).
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <set>
#include <string>

#include "core_test_support.h"
#include "storage/file_error.h"
#include "storage/file_ops.h"

namespace kistora::robust {

using TempDir = kistora::testing::TempDir;

inline bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

// The message of a save that cannot create its file, before the path.
inline const std::string kCreateMessage =
    "Impossible de cr\xE9"
    "er le fichier ";

// How a save ended: the error as the player sees it, and its errno.
struct Outcome {
  bool Failed = false;
  std::string Message;
  int Errno = 0;
};

// Runs a save that raises EFileError on failure.
inline Outcome Catching(const std::function<void()>& save) {
  try {
    save();
    return {};
  } catch (const EFileError& e) {
    return {true, e.what(), e.Errno};
  }
}

// How much a test proved.
struct Tally {
  int Faults = 0;
  int FilesCompared = 0;

  // Compares a file with the bytes it must hold, counting the comparison.
  void ExpectFile(const std::string& path, const std::string& expected, const char* what) {
    ++FilesCompared;
    const std::string actual = Exists(path) ? testing::ReadBytes(path) : "<missing>";
    EXPECT_TRUE(actual == expected) << what << ": " << path << " holds " << actual.size() << " bytes, expected "
                                    << expected.size();
  }

  void Report(const char* test) const {
    std::printf("[ tally    ] %s: %d injected faults, %d files compared\n", test, Faults, FilesCompared);
    ::testing::Test::RecordProperty("injected_faults", Faults);
    ::testing::Test::RecordProperty("files_compared", FilesCompared);
  }
};

// The calls a save makes through the file layer.
enum class Call { Open, Write, Fsync, Close, Rename, Read, Count };
inline const char* CallName(Call call) {
  static const char* const kNames[] = {"open", "write", "fsync", "close", "rename", "read"};
  return kNames[static_cast<int>(call)];
}

// Counts every call and fails the n-th call of one kind (n = 0: none) with a
// chosen errno; a write returning 0 stands for a device that accepts nothing.
// Writes and reads are cut to at most chunk bytes, so a save or a load makes
// many of them and a fault can hit any point of the file. fsync does nothing (the tests do not
// need the platter), except when it is the call that fails.
class FaultLayer : public FileOps {
 public:
  explicit FaultLayer(std::size_t chunk) : chunk_(chunk) {}

  // sticky: every call of that kind from the n-th on fails (a disk that died).
  void Arm(Call call, int n, int error, bool zeroWrite = false, bool sticky = false) {
    sticky_ = sticky;
    call_ = call;
    n_ = n;
    error_ = error;
    zeroWrite_ = zeroWrite;
    counts_.fill(0);
    fired_ = false;
  }
  int Calls(Call call) const { return counts_[static_cast<std::size_t>(call)]; }
  bool Fired() const { return fired_; }

  int Open(const char* path, int flags, mode_t mode) override {
    return Hit(Call::Open) ? -1 : FileOps::Open(path, flags, mode);
  }
  ssize_t Write(int fd, const void* buf, size_t count) override {
    if (Hit(Call::Write)) {
      if (!zeroWrite_) return -1;
      errno = 0;
      return 0;
    }
    return FileOps::Write(fd, buf, count < chunk_ ? count : chunk_);
  }
  ssize_t Read(int fd, void* buf, size_t count) override {
    return Hit(Call::Read) ? -1 : FileOps::Read(fd, buf, count < chunk_ ? count : chunk_);
  }
  int Fsync(int) override { return Hit(Call::Fsync) ? -1 : 0; }
  int Close(int fd) override {
    const bool fail = Hit(Call::Close);
    const int result = FileOps::Close(fd);  // the descriptor is gone even when close reports an error
    if (!fail) return result;
    errno = error_;
    return -1;
  }
  int Rename(const char* from, const char* to) override { return Hit(Call::Rename) ? -1 : FileOps::Rename(from, to); }

 private:
  bool Hit(Call call) {
    const int count = ++counts_[static_cast<std::size_t>(call)];
    if (call != call_ || count < n_ || (count > n_ && !sticky_)) return false;
    fired_ = true;
    errno = error_;
    return true;
  }

  std::size_t chunk_;
  Call call_ = Call::Count;
  int n_ = 0;
  int error_ = 0;
  bool zeroWrite_ = false;
  bool sticky_ = false;
  bool fired_ = false;
  std::array<int, static_cast<std::size_t>(Call::Count)> counts_{};
};

}  // namespace kistora::robust
