// One program per data folder, on this machine: an advisory lock (flock),
// held for as long as the object lives, on a file of the user's runtime folder
// ($XDG_RUNTIME_DIR/kistora/, else a private /tmp/kistora-UID/) named after the
// data folder's device and inode, so that two paths to one folder share it and
// no sync tool of the data folder can replace it. The file "kistora.lock" in
// the data folder names the owner (process id and host) for the message a
// second program shows and for people; a sync tool may bring another
// machine's, which never keeps a program from starting. The lock goes with the
// process: a killed program leaves none behind.
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
  // The machine-wide lock file of dir (which must exist); empty when there is none.
  static std::string RuntimeLockPath(const std::string& dir);

 private:
  int fd_ = -1;       // the runtime lock
  int ownerFd_ = -1;  // kistora.lock in the folder
};

}  // namespace kistora
