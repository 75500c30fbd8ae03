#include "storage/data_folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "model/text_utils.h"

namespace kistora {

namespace {

constexpr const char* kLockFileName = "kistora.lock";

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

DataFolderLock::~DataFolderLock() { Release(); }

LockAttempt DataFolderLock::TryAcquire(const std::string& dir) {
  LockAttempt attempt;
  if (fd_ >= 0) {
    attempt.State = LockState::Held;
    return attempt;
  }
  const std::string path = LockFilePath(dir);
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) {
    attempt.Errno = errno;
    return attempt;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    attempt.Errno = EINVAL;
    ::close(fd);
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
  // The process id, for the message of a second program; best effort, the
  // lock itself is what keeps others out.
  const std::string pid = std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd, 0) == 0) (void)::pwrite(fd, pid.data(), pid.size(), 0);
  fd_ = fd;
  attempt.State = LockState::Held;
  return attempt;
}

void DataFolderLock::Release() {
  if (fd_ < 0) return;
  // The file stays: removing it could let two programs lock two different files.
  (void)::ftruncate(fd_, 0);
  ::close(fd_);
  fd_ = -1;
}

}  // namespace kistora
