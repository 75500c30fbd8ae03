// One program per data folder: an advisory lock (flock) on the file
// "kistora.lock" in the folder, held for as long as the object lives. The
// file holds the owner's process id, for the message a second program shows.
// The lock goes with the process: a killed program leaves none behind.
#pragma once

#include <sys/types.h>

#include <string>

namespace kistora {

enum class LockState {
  Held,   // this object holds the folder
  Busy,   // another program (or another lock object) holds it
  Error,  // the lock file cannot be opened or locked (Errno says why)
};

struct LockAttempt {
  LockState State = LockState::Error;
  pid_t OtherPid = 0;  // Busy: the owner's process id when its file names one, else 0
  int Errno = 0;       // Error: why
};

class DataFolderLock {
 public:
  DataFolderLock() = default;
  ~DataFolderLock();  // releases the lock
  DataFolderLock(const DataFolderLock&) = delete;
  DataFolderLock& operator=(const DataFolderLock&) = delete;

  // Takes the lock of dir without waiting. Calling it again while held does
  // nothing and says Held.
  LockAttempt TryAcquire(const std::string& dir);
  void Release();
  bool Held() const { return fd_ >= 0; }

  static std::string LockFilePath(const std::string& dir);

 private:
  int fd_ = -1;
};

}  // namespace kistora
