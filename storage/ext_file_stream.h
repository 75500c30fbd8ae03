// The typed binary stream of the database files: bytes, 32-bit little-endian
// integers, length-prefixed strings and raw magics.
#pragma once

#include <cstdint>
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
  std::uint8_t ReadByte();
  char ReadChar();
  std::int32_t ReadInt();
  std::string ReadStr();
  // ReadStr into out, whose room is reused (no allocation once it is big enough).
  void ReadStrInto(std::string& out);
  std::string ReadChars(std::size_t count);
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
  bool Fill(std::size_t wanted);
  bool Take(void* out, std::size_t count);
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
