#include "storage/data_folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "model/text_utils.h"

namespace kistora {

namespace {

constexpr const char* kLockFileName = "kistora.lock";

// A folder of this user's only: made when missing, refused when it is a link
// or belongs to someone else (/tmp is shared).
bool PrivateFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return false;
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return false;
  if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) {
    errno = EPERM;
    return false;
  }
  return true;
}

std::string RuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat info {};
  if (runtime != nullptr && runtime[0] == '/' && ::stat(runtime, &info) == 0 && S_ISDIR(info.st_mode)) {
    return std::string(runtime) + "/kistora";
  }
  return "/tmp/kistora-" + std::to_string(::geteuid());
}

std::string HostName() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return "?";
  return name;
}

pid_t ReadOwnerPid(int fd) {
  char text[32] = {};
  const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
  if (n <= 0) return 0;
  std::string digits(text, static_cast<std::size_t>(n));
  while (!digits.empty() && (digits.back() == '\n' || digits.back() == ' ')) digits.pop_back();
  std::int32_t pid = 0;
  return TryStrToInt(digits, pid) && pid > 0 ? static_cast<pid_t>(pid) : 0;
}

}  // namespace

std::string DataFolderLock::LockFilePath(const std::string& dir) {
  return dir.empty() || dir.back() == '/' ? dir + kLockFileName : dir + "/" + kLockFileName;
}

std::string DataFolderLock::RuntimeLockPath(const std::string& dir) {
  struct stat folder {};
  if (::stat(dir.c_str(), &folder) != 0) return {};
  return RuntimeFolder() + "/" + std::to_string(folder.st_dev) + "-" + std::to_string(folder.st_ino) + ".lock";
}

DataFolderLock::~DataFolderLock() { Release(); }

LockAttempt DataFolderLock::TryAcquire(const std::string& dir) {
  LockAttempt attempt;
  if (fd_ >= 0) {
    attempt.State = LockState::Held;
    return attempt;
  }
  const std::string runtime = RuntimeLockPath(dir);
  if (runtime.empty() || !PrivateFolder(RuntimeFolder())) {
    attempt.Errno = errno != 0 ? errno : EINVAL;
    return attempt;
  }
  const int fd = ::open(runtime.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) {
    attempt.Errno = errno;
    return attempt;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (error == EWOULDBLOCK) {
      attempt.State = LockState::Busy;
      attempt.OtherPid = ReadOwnerPid(fd);
    } else {
      attempt.Errno = error;
    }
    ::close(fd);
    return attempt;
  }
  // The owner, named in the folder for a second program's message and for
  // people; best effort past the open, the runtime lock is what keeps others out.
  const int owner = ::open(LockFilePath(dir).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  struct stat info {};
  if (owner < 0 || ::fstat(owner, &info) != 0 || !S_ISREG(info.st_mode)) {
    attempt.Errno = owner < 0 ? errno : EINVAL;
    if (owner >= 0) ::close(owner);
    ::close(fd);
    return attempt;
  }
  const std::string pid = std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd, 0) == 0) (void)::pwrite(fd, pid.data(), pid.size(), 0);
  const std::string named = std::to_string(::getpid()) + " " + HostName() + "\n";
  if (::ftruncate(owner, 0) == 0) (void)::pwrite(owner, named.data(), named.size(), 0);
  fd_ = fd;
  ownerFd_ = owner;
  attempt.State = LockState::Held;
  return attempt;
}

void DataFolderLock::Release() {
  if (fd_ < 0) return;
  // The files stay: removing one could let two programs lock two different files.
  (void)::ftruncate(fd_, 0);
  (void)::ftruncate(ownerFd_, 0);
  ::close(ownerFd_);
  ::close(fd_);
  fd_ = ownerFd_ = -1;
}

}  // namespace kistora
