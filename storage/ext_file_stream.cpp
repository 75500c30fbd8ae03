#include "storage/ext_file_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "storage/file_error.h"
#include "storage/file_ops.h"
#include "storage/safe_file.h"

namespace kistora {

namespace {

constexpr std::size_t kReadBufferSize = 256 * 1024;

}  // namespace

TExtFileStream::TExtFileStream(const std::string& path, Mode mode) : path_(path) {
  if (mode == Mode::Create) {
    writer_ = std::make_unique<SafeFileWriter>(path);
    return;
  }
  // O_NONBLOCK: a named pipe in the file's place must not hang the program
  // waiting for a writer (it then reads as empty, as any file that is not regular).
  fd_ = Files().Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
  if (fd_ < 0) throw EFileError(FileAction::Open, path, errno);
  struct stat info {};
  int error = 0;
  if (::fstat(fd_, &info) != 0) {
    error = errno;
  } else if (S_ISDIR(info.st_mode)) {
    error = EISDIR;
  }
  if (error != 0) {
    Files().Close(fd_);
    fd_ = -1;
    throw EFileError(FileAction::Open, path, error);
  }
  // Only a regular file has a meaningful size; anything else reads as empty.
  fileSize_ = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
  readBuf_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kReadBufferSize, fileSize_)));
}

TExtFileStream::~TExtFileStream() {
  if (fd_ >= 0) Files().Close(fd_);
}

std::uint64_t TExtFileStream::Remaining() const { return fileSize_ > consumed_ ? fileSize_ - consumed_ : 0; }

std::size_t TExtFileStream::ReadFile(void* out, std::size_t count) {
  // Never read beyond the size the file had when it was opened.
  const std::uint64_t left = fileSize_ > fileOffset_ ? fileSize_ - fileOffset_ : 0;
  if (count > left) count = static_cast<std::size_t>(left);
  auto* p = static_cast<char*>(out);
  std::size_t got = 0;
  while (got < count && fd_ >= 0) {
    const ssize_t n = Files().Read(fd_, p + got, count - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // end of file or a read error: the rest counts as missing
    got += static_cast<std::size_t>(n);
  }
  fileOffset_ += got;
  return got;
}

bool TExtFileStream::Fill(std::size_t wanted) {
  if (readPos_ > 0) {
    std::memmove(readBuf_.data(), readBuf_.data() + readPos_, readEnd_ - readPos_);
    readEnd_ -= readPos_;
    readPos_ = 0;
  }
  if (readBuf_.size() < wanted) return false;
  while (readEnd_ < wanted) {
    const std::size_t got = ReadFile(readBuf_.data() + readEnd_, readBuf_.size() - readEnd_);
    if (got == 0) return false;
    readEnd_ += got;
  }
  return true;
}

void TExtFileStream::MarkShort(void* out, std::size_t count) {
  if (count > 0) std::memset(out, 0, count);
  shortRead_ = true;
  consumed_ = fileSize_;
  readPos_ = readEnd_ = 0;
}

bool TExtFileStream::TakeSlow(void* out, std::size_t count) {
  if (shortRead_ || count > Remaining()) {
    MarkShort(out, count);
    return false;
  }
  auto* p = static_cast<char*>(out);
  const std::size_t buffered = readEnd_ - readPos_;
  std::memcpy(p, readBuf_.data() + readPos_, buffered);
  readPos_ = readEnd_ = 0;
  consumed_ += buffered;
  const std::size_t rest = count - buffered;
  if (rest >= readBuf_.size()) {
    // Large blocks are read straight into the caller's memory.
    if (ReadFile(p + buffered, rest) != rest) {
      MarkShort(out, count);
      return false;
    }
  } else if (!Fill(rest)) {
    MarkShort(out, count);
    return false;
  } else {
    std::memcpy(p + buffered, readBuf_.data(), rest);
    readPos_ = rest;
  }
  consumed_ += rest;
  return true;
}

std::uint8_t TExtFileStream::ReadByteSlow() {
  std::uint8_t b = 0;
  TakeSlow(&b, 1);
  return b;
}

std::int32_t TExtFileStream::ReadIntSlow() {
  char b[4];
  TakeSlow(b, 4);
  return LittleEndian(b);
}

std::string TExtFileStream::ReadStr() {
  const std::int32_t n = ReadInt();
  if (n <= 0 || shortRead_) return {};
  return ReadChars(static_cast<std::size_t>(n));
}

void TExtFileStream::ReadStrIntoSlow(std::int32_t n, std::string& out) {
  out.clear();
  if (n <= 0 || shortRead_) return;
  const auto count = static_cast<std::size_t>(n);
  if (count > Remaining()) {
    MarkShort(nullptr, 0);
    return;
  }
  out.resize(count);
  Take(out.data(), count);
}

std::string TExtFileStream::ReadChars(std::size_t count) {
  // A length beyond the rest of the file is damage: nothing is allocated for it.
  if (shortRead_ || count > Remaining()) {
    MarkShort(nullptr, 0);
    return {};
  }
  std::string s(count, '\0');
  Take(s.data(), count);
  return s;
}

void TExtFileStream::RequireWriter() {
  if (!writer_) throw std::logic_error("TExtFileStream: write on a stream opened for reading");
}

void TExtFileStream::WriteByte(std::uint8_t b) {
  RequireWriter();
  writer_->Write(&b, 1);
}

void TExtFileStream::WriteInt(std::int32_t v) {
  RequireWriter();
  const auto u = static_cast<std::uint32_t>(v);
  const unsigned char b[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                              static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
  writer_->Write(b, 4);
}

void TExtFileStream::WriteStr(std::string_view s) {
  RequireWriter();
  if (s.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    writer_->Abort();
    throw EFileError(FileAction::Create, path_, EOVERFLOW);
  }
  WriteInt(static_cast<std::int32_t>(s.size()));
  writer_->Write(s);
}

void TExtFileStream::WriteChars(std::string_view s) {
  RequireWriter();
  writer_->Write(s);
}

void TExtFileStream::Commit() {
  RequireWriter();
  writer_->Commit();
}

}  // namespace kistora
