#include "storage/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "model/text_utils.h"
#include "storage/file_copy.h"
#include "storage/file_error.h"
#include "storage/file_ops.h"
#include "storage/stale_temporaries.h"

namespace kistora {

namespace {

constexpr int kMaxLinkHops = 40;  // the kernel's own limit for nested links

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The text a symbolic link holds; false when path is not a readable link.
bool ReadLink(const std::string& path, std::string& out) {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (n < 0) return false;
    if (static_cast<std::size_t>(n) < buffer.size()) {
      out.assign(buffer.data(), static_cast<std::size_t>(n));
      return true;
    }
    buffer.resize(buffer.size() * 2);
  }
}

// Follows symbolic links (a dangling one included) to the file that a save
// must replace, so that the link itself stays in place.
std::string ResolveLinks(const std::string& path, int& error) {
  std::string current = path;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    std::string link;
    if (!ReadLink(current, link)) return current;
    current = (!link.empty() && link.front() == '/') ? link : DirectoryOf(current) + "/" + link;
  }
  error = ELOOP;
  return {};
}

std::string RandomSuffix() {
  static std::atomic<unsigned> counter{0};
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device device;
  std::mt19937 engine(device() ^ static_cast<unsigned>(::getpid()) ^ (counter++ * 2654435761U) ^
                      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  std::string suffix;
  for (int i = 0; i < 10; ++i) suffix += kLetters[pick(engine)];
  return suffix;
}

// Flushes the directory entry of a finished rename. Best effort: the new file
// is already in place, so a failure here is not a failed save.
void SyncDirectory(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string ResolveSymbolicLinks(const std::string& path, int& error) { return ResolveLinks(path, error); }

std::string TemporaryPathIn(const std::string& dir) {
  return dir + "/" + std::string(kTemporaryPrefix) + RandomSuffix() + ".tmp";
}

SafeFileWriter::SafeFileWriter(const std::string& targetPath, std::string shownPath)
    : shownPath_(shownPath.empty() ? targetPath : std::move(shownPath)) {
  // A name cut short by a NUL byte would name another file: refuse it.
  if (targetPath.find('\0') != std::string::npos) throw EFileError(FileAction::Create, shownPath_, EINVAL);
  int error = 0;
  target_ = ResolveLinks(targetPath, error);
  if (error != 0) throw EFileError(FileAction::Create, shownPath_, error);

  // An existing target keeps its permissions; a new file gets 0666 less the umask.
  struct stat info {};
  bool keepMode = false;
  if (::stat(target_.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) throw EFileError(FileAction::Create, shownPath_, EISDIR);
    if (!S_ISREG(info.st_mode))
      throw EFileError(FileAction::Create, shownPath_, EINVAL);  // never replace a device or pipe
    keepMode = true;
  }

  const std::string dir = DirectoryOf(target_);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string candidate = TemporaryPathIn(dir);
    const int fd = Files().Open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      fd_ = fd;
      temp_ = std::move(candidate);
      break;
    }
    if (errno != EEXIST) throw EFileError(FileAction::Create, shownPath_, errno);
  }
  if (fd_ < 0) throw EFileError(FileAction::Create, shownPath_, EEXIST);

  if (keepMode) {
    // Best effort: a file system without permissions must not stop the save.
    (void)::fchmod(fd_, info.st_mode & 07777);
    if (info.st_uid != ::geteuid() || info.st_gid != ::getegid()) (void)::fchown(fd_, info.st_uid, info.st_gid);
  }
  buffer_.reserve(kBufferSize);
}

SafeFileWriter::~SafeFileWriter() {
  if (!done_) Abort();
}

void SafeFileWriter::WriteThrough(const void* data, std::size_t size) {
  if (done_) throw EFileError(FileAction::Create, shownPath_, EBADF);
  Flush();
  if (size >= kBufferSize) {
    WriteAll(static_cast<const char*>(data), size);  // large blocks go straight to the file
  } else {
    buffer_.append(static_cast<const char*>(data), size);
  }
}

void SafeFileWriter::WriteAll(const char* data, std::size_t size) {
  written_ += size;
  while (size > 0) {
    const ssize_t n = Files().Write(fd_, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    if (n == 0) Fail(EIO);
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  // Starts writing what the page cache holds while the rest is being made, so
  // that the fsync at the end waits for the last few blocks only, not for the
  // whole file (a hint: its failure changes nothing, the fsync still decides).
  if (written_ - started_ >= kWritebackStep) {
    (void)::sync_file_range(fd_, static_cast<off_t>(started_), static_cast<off_t>(written_ - started_),
                            SYNC_FILE_RANGE_WRITE);
    started_ = written_;
  }
}

void SafeFileWriter::Flush() {
  WriteAll(buffer_.data(), buffer_.size());
  buffer_.clear();
}

void SafeFileWriter::Commit(const std::function<void()>& beforeReplace) {
  if (done_) throw EFileError(FileAction::Create, shownPath_, EBADF);
  Flush();
  if (Files().Fsync(fd_) != 0) Fail(errno);
  const int fd = std::exchange(fd_, -1);
  if (Files().Close(fd) != 0) Fail(errno);
  if (beforeReplace) {
    try {
      beforeReplace();
    } catch (...) {
      // A backup that cannot be taken must not stop the save.
    }
  }
  if (Files().Rename(temp_.c_str(), target_.c_str()) != 0) Fail(errno);
  done_ = true;
  temp_.clear();
  SyncDirectory(DirectoryOf(target_));
}

void SafeFileWriter::Abort() noexcept {
  if (fd_ >= 0) Files().Close(std::exchange(fd_, -1));
  if (!temp_.empty()) Files().Unlink(temp_.c_str());
  temp_.clear();
  buffer_.clear();
  done_ = true;
}

void SafeFileWriter::Fail(int error) {
  Abort();
  throw EFileError(FileAction::Create, shownPath_, error);
}

bool KeepBackupCopy(const std::string& source, const std::string& backupPath) noexcept {
  // Plain system calls, like CopyFileTo: the backup is best effort and stays
  // out of the file layer that tests use to make the save itself fail.
  try {
    struct stat info {};
    if (::stat(source.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    int error = 0;
    const std::string target = ResolveSymbolicLinks(backupPath, error);
    if (error != 0) return false;
    const std::string temp = DirectoryOf(target) + "/" + std::string(kTemporaryPrefix) + RandomSuffix() + ".bak.tmp";
    if (!CopyFileTo(source, temp, true)) return false;
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!synced || ::rename(temp.c_str(), target.c_str()) != 0) {
      ::unlink(temp.c_str());
      return false;
    }
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace kistora
