#include "model/text_utils.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <vector>

#include "storage/safe_file.h"

namespace kistora {

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string TrimSpaces(std::string_view s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(' ');
  return std::string(s.substr(first, last - first + 1));
}

std::string SubRange(std::string_view s, std::int64_t from, std::int64_t to) {
  const auto length = static_cast<std::int64_t>(s.size());
  if (from < 1 || from > length || to > length || to < from) return {};
  return std::string(s.substr(static_cast<std::size_t>(from - 1), static_cast<std::size_t>(to - from + 1)));
}

std::size_t Pos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  const auto at = s.find(sub);
  return at == std::string_view::npos ? 0 : at + 1;
}

// Words are the runs of characters other than the space; both walk the text
// once, so a megabyte of words costs a megabyte of steps.
int WordCount(std::string_view s) {
  int count = 0;
  bool inWord = false;
  for (const char c : s) {
    if (c == ' ') {
      inWord = false;
    } else if (!inWord) {
      inWord = true;
      ++count;
    }
  }
  return count;
}

std::string NthWord(int n, std::string_view s) {
  if (n < 1) return {};
  std::size_t at = 0;
  for (int seen = 1;; ++seen) {
    at = s.find_first_not_of(' ', at);
    if (at == std::string_view::npos) return {};
    const auto end = s.find(' ', at);
    if (seen == n) return std::string(s.substr(at, end == std::string_view::npos ? end : end - at));
    if (end == std::string_view::npos) return {};
    at = end;
  }
}

std::string AfterFirst(std::string_view sub, std::string_view s) {
  const auto p = Pos(sub, s);
  if (p == 0) return {};
  return std::string(s.substr(p - 1 + sub.size()));
}

std::string BeforeFirst(std::string_view sub, std::string_view s) {
  const auto p = Pos(sub, s);
  if (p <= 1) return {};
  return std::string(s.substr(0, p - 1));
}

std::size_t NthPos(std::string_view sub, std::string_view s, int n) {
  if (sub.empty()) return 0;
  std::size_t sum = 0;
  for (int i = 1; i < n; ++i) {
    const auto p = Pos(sub, s);
    if (p == 0) return 0;
    sum += p + sub.size() - 1;
    s = s.substr(p - 1 + sub.size());
  }
  const auto p = Pos(sub, s);
  return p == 0 ? 0 : sum + p;
}

std::string BeforeNth(std::string_view sub, std::string_view s, int n) {
  const auto p = NthPos(sub, s, n);
  if (p <= 1) return {};
  return std::string(s.substr(0, p - 1));
}

int CountOf(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  int count = 0;
  for (auto at = s.find(sub); at != std::string_view::npos; at = s.find(sub, at + sub.size())) ++count;
  return count;
}

std::string PadLeft(std::string_view s, std::size_t length, char c) {
  if (s.size() >= length) return std::string(s);
  return std::string(length - s.size(), c) + std::string(s);
}

std::string PadRight(std::string_view s, std::size_t length, char c) {
  std::string out(s);
  if (out.size() < length) out.append(length - out.size(), c);
  return out;
}

std::string IfThenStr(bool flag, std::string_view a, std::string_view b) { return std::string(flag ? a : b); }

std::string BoolToText(bool flag) { return IfThenStr(flag, "true", "false"); }

bool TextToBool(std::string_view s) {
  const std::string t = LowerAscii(TrimSpaces(s));
  return t == "true" || t == "yes" || t == "1" || t == "oui" || t == "y" || t == "o";
}

std::string IntToStr(std::int64_t v) { return std::to_string(v); }

bool TryStrToInt(std::string_view s, std::int32_t& out) {
  if (s.empty()) return false;
  bool negative = false;
  if (s.front() == '+' || s.front() == '-') {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return false;
  std::int64_t value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return false;
  }
  if (negative) value = -value;
  if (value > 2147483647LL) return false;
  out = static_cast<std::int32_t>(value);
  return true;
}

namespace {

// Writes all of data, retrying after signals and short writes.
bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Copies everything from in to out.
bool CopyData(int in, int out) {
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    const ssize_t n = ::read(in, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return true;
    if (!WriteAll(out, buffer.data(), static_cast<std::size_t>(n))) return false;
  }
}

std::string DirectoryOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A new file at target (none exists): a copy that fails half-way is removed.
bool CopyToNewFile(int in, const std::string& target, mode_t mode) {
  const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (out < 0) return false;
  bool ok = CopyData(in, out);
  if (::close(out) != 0) ok = false;
  if (!ok) ::unlink(target.c_str());
  return ok;
}

// Replaces target (the backups of the options file and the export) without
// ever leaving it half-written: the copy goes to a temporary file beside it,
// renamed over it once complete, so a full disk leaves the previous backup
// whole. A link is followed, and an existing file keeps its permissions.
bool CopyOverFile(int in, const std::string& target, mode_t sourceMode) {
  int error = 0;
  const std::string resolved = ResolveSymbolicLinks(target, error);
  if (error != 0) return false;
  struct stat existing {};
  const bool exists = ::stat(resolved.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return false;  // never replace a directory, device or pipe
  std::string temp = DirectoryOf(resolved) + "/.kistora-XXXXXX.tmp";
  const int out = ::mkostemps(temp.data(), 4, O_CLOEXEC);
  if (out < 0) return false;
  (void)::fchmod(out, exists ? existing.st_mode & 07777 : sourceMode & 0777);
  if (exists && (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid())) {
    (void)::fchown(out, existing.st_uid, existing.st_gid);
  }
  bool ok = CopyData(in, out) && ::fsync(out) == 0;
  if (::close(out) != 0) ok = false;
  if (ok && ::rename(temp.c_str(), resolved.c_str()) != 0) ok = false;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

}  // namespace

bool CopyFileTo(const std::string& source, const std::string& target, bool failIfExists) {
  // A name cut short by a NUL byte would name another file.
  if (source.find('\0') != std::string::npos || target.find('\0') != std::string::npos) return false;
  // Only a regular file is copied: a pipe would block and a device such as
  // /dev/zero would fill the disk (O_NONBLOCK keeps the open from waiting).
  const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (in < 0) return false;
  struct stat sourceInfo {};
  bool ok = false;
  if (::fstat(in, &sourceInfo) == 0 && S_ISREG(sourceInfo.st_mode)) {
    // Copying a file onto itself must not touch it.
    struct stat targetInfo {};
    const bool targetExists = ::stat(target.c_str(), &targetInfo) == 0;
    if (targetExists && targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino) {
      ok = false;
    } else if (failIfExists) {
      ok = CopyToNewFile(in, target, sourceInfo.st_mode & 0777);
    } else {
      ok = CopyOverFile(in, target, sourceInfo.st_mode);
    }
  }
  ::close(in);
  return ok;
}

namespace {

std::string ExePath() {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

std::string ExeDir() {
  const std::string path = ExePath();
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return "./";
  return path.substr(0, slash + 1);
}

std::string ExeName() {
  const std::string path = ExePath();
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace kistora
