// The typed binary stream of the database files: bytes, 32-bit little-endian
// integers, length-prefixed strings and raw magics.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace kistora {

class SafeFileWriter;

class TExtFileStream {
 public:
  enum class Mode { OpenRead, Create };

  // OpenRead raises EFileError "Impossible d'ouvrir le fichier <path>";
  // Create raises "Impossible de créer le fichier <path>". Create writes through
  // SafeFileWriter: nothing replaces the target before Commit().
  TExtFileStream(const std::string& path, Mode mode);
  ~TExtFileStream();
  TExtFileStream(const TExtFileStream&) = delete;
  TExtFileStream& operator=(const TExtFileStream&) = delete;

  // Reads. A read past the end of the file returns zero bytes / 0 / "" and sets
  // ShortRead(); a string whose length exceeds what remains is not allocated.
  // The common case, bytes already in the buffer, is inline: a load reads a
  // dozen fields for each of a million items.
  std::uint8_t ReadByte() {
    if (readEnd_ == readPos_) return ReadByteSlow();
    const auto b = static_cast<std::uint8_t>(readBuf_[readPos_]);
    Consume(1);
    return b;
  }
  char ReadChar() { return static_cast<char>(ReadByte()); }
  std::int32_t ReadInt() {
    if (readEnd_ - readPos_ < 4) return ReadIntSlow();
    const std::int32_t v = LittleEndian(readBuf_.data() + readPos_);
    Consume(4);
    return v;
  }
  std::string ReadStr();
  // ReadStr into out, whose room is reused (no allocation once it is big enough).
  void ReadStrInto(std::string& out) {
    const std::int32_t n = ReadInt();
    if (n > 0 && !shortRead_ && readEnd_ - readPos_ >= static_cast<std::size_t>(n)) {
      out.assign(readBuf_.data() + readPos_, static_cast<std::size_t>(n));
      Consume(static_cast<std::size_t>(n));
      return;
    }
    ReadStrIntoSlow(n, out);
  }
  std::string ReadChars(std::size_t count);
  // count bytes into out (zeros past the end of the file, with ShortRead() set).
  void ReadRaw(char* out, std::size_t count) { Take(out, count); }
  bool ShortRead() const { return shortRead_; }
  std::uint64_t Remaining() const;

  // Writes (Create mode). A failed write raises EFileError (the Create message).
  void WriteByte(std::uint8_t b);
  void WriteInt(std::int32_t v);
  void WriteStr(std::string_view s);
  void WriteChars(std::string_view s);
  // Create mode: makes the written content the file on disk.
  void Commit();

  const std::string& Path() const { return path_; }

 private:
  static std::int32_t LittleEndian(const char* bytes) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
                                     static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24);
  }
  std::uint8_t ReadByteSlow();
  std::int32_t ReadIntSlow();
  void ReadStrIntoSlow(std::int32_t length, std::string& out);
  bool Fill(std::size_t wanted);
  bool Take(void* out, std::size_t count) {
    if (readEnd_ - readPos_ < count) return TakeSlow(out, count);
    std::memcpy(out, readBuf_.data() + readPos_, count);
    Consume(count);
    return true;
  }
  // Hands count buffered bytes out to the caller.
  void Consume(std::size_t count) {
    readPos_ += count;
    consumed_ += count;
  }
  bool TakeSlow(void* out, std::size_t count);
  std::size_t ReadFile(void* out, std::size_t count);
  void MarkShort(void* out, std::size_t count);
  void RequireWriter();

  std::string path_;
  int fd_ = -1;
  std::uint64_t fileSize_ = 0;
  std::uint64_t consumed_ = 0;    // bytes handed out to the caller so far
  std::uint64_t fileOffset_ = 0;  // bytes read from the file into the buffer or the caller
  std::string readBuf_;
  std::size_t readPos_ = 0;
  std::size_t readEnd_ = 0;  // bytes of readBuf_ holding file data
  bool shortRead_ = false;
  std::unique_ptr<SafeFileWriter> writer_;
};

}  // namespace kistora
