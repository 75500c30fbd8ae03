// Saving that never destroys the previous file: the new content goes to a
// temporary file in the target's directory, is flushed and fsync'ed, and is then
// renamed over the target. A target that is a symbolic link is followed (the link
// stays, the file it points to is replaced) and the file's permissions are kept.
// On any failure the temporary file is removed and the old file is left untouched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kistora {

// The file that saving to path replaces: symbolic links are followed (a
// dangling one included) so that the link itself stays. Sets error to ELOOP
// when the links go round in circles.
std::string ResolveSymbolicLinks(const std::string& path, int& error);

// A fresh name for a temporary file in dir: kTemporaryPrefix then ten letters and
// digits then ".tmp". Every temporary file of a save is named this way (a
// copy's is made by mkostemps, with six), so one left by a killed save is
// recognised by its name alone (stale_temporaries.h).
std::string TemporaryPathIn(const std::string& dir);

class SafeFileWriter {
 public:
  // Creates the temporary file. Any failure of this writer (creation, a write,
  // fsync or rename) raises EFileError(FileAction::Create, shownPath) with its
  // errno; shownPath is the name the player knows the file by (targetPath when
  // empty). A target path holding a NUL byte is refused with EINVAL.
  explicit SafeFileWriter(const std::string& targetPath, std::string shownPath = {});
  ~SafeFileWriter();  // abandons the temporary file unless Commit succeeded
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  void Write(const void* data, std::size_t size) {
    // The usual write, a few bytes of a record, only appends to the buffer.
    if (!done_ && buffer_.size() + size <= kBufferSize) {
      buffer_.append(static_cast<const char*>(data), size);
      return;
    }
    WriteThrough(data, size);
  }
  void Write(std::string_view s) { Write(s.data(), s.size()); }
  // Flushes, fsyncs, closes and renames over the target. beforeReplace runs
  // once the new content is whole on disk, just before it replaces the target:
  // the ".bak" copy of the previous file is taken there, so that a failed save
  // leaves both the previous file and its earlier backup as they were.
  // Whatever beforeReplace throws is ignored.
  void Commit(const std::function<void()>& beforeReplace = {});
  // Removes the temporary file; the target is untouched. Never throws.
  void Abort() noexcept;

  const std::string& TargetPath() const { return target_; }

 private:
  static constexpr std::size_t kBufferSize = 256 * 1024;
  static constexpr std::uint64_t kWritebackStep = 8u << 20;
  // Write's other cases: the buffer full, a large block, or the writer done.
  void WriteThrough(const void* data, std::size_t size);
  void WriteAll(const char* data, std::size_t size);
  void Flush();
  [[noreturn]] void Fail(int error);

  std::string target_;  // the file finally replaced (symbolic links resolved)
  std::string temp_;
  std::string shownPath_;
  int fd_ = -1;
  std::string buffer_;
  std::uint64_t written_ = 0;  // bytes handed to the file so far
  std::uint64_t started_ = 0;  // bytes whose writing to the disk was started
  bool done_ = false;
};

// Copies source over backupPath through a SafeFileWriter, so a failed copy never
// leaves a half-written backup. Returns whether it succeeded; never throws.
bool KeepBackupCopy(const std::string& source, const std::string& backupPath) noexcept;

}  // namespace kistora
