// The typed stream: byte encodings, buffering across block boundaries, and
// reads past the end of the file.
#include "storage/ext_file_stream.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "alloc_probe.h"
#include "core_test_support.h"
#include "storage/file_error.h"
#include "storage/file_ops.h"

namespace kistora {
namespace {

using namespace testing;

std::string Written(const TempDir& dir, void (*write)(TExtFileStream&)) {
  const std::string path = dir.File("out.bin");
  TExtFileStream stream(path, TExtFileStream::Mode::Create);
  write(stream);
  stream.Commit();
  return ReadBytes(path);
}

TEST(ExtFileStream, WritesTheDocumentedBytes) {
  TempDir dir;
  EXPECT_EQ(Written(dir, [](TExtFileStream& s) { s.WriteStr("Fer"); }), Bytes({3, 0, 0, 0, 0x46, 0x65, 0x72}));
  EXPECT_EQ(Written(dir, [](TExtFileStream& s) { s.WriteInt(-1); }), Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Written(dir, [](TExtFileStream& s) { s.WriteInt(1); }), Bytes({1, 0, 0, 0}));
  EXPECT_EQ(Written(dir, [](TExtFileStream& s) { s.WriteInt(0x12345678); }), Bytes({0x78, 0x56, 0x34, 0x12}));
  EXPECT_EQ(Written(dir, [](TExtFileStream& s) { s.WriteStr(""); }), Bytes({0, 0, 0, 0}));
  EXPECT_EQ(Written(dir, [](TExtFileStream& s) { s.WriteStr("\xE9"); }), Bytes({1, 0, 0, 0, 0xE9}));
  EXPECT_EQ(Written(dir, [](TExtFileStream& s) { s.WriteChars("DBIL"); }), "DBIL");
  EXPECT_EQ(Written(dir, [](TExtFileStream& s) { s.WriteByte(0xAB); }), Bytes({0xAB}));
}

TEST(ExtFileStream, ReadsBackEveryEncoding) {
  TempDir dir;
  const std::string path = dir.File("in.bin");
  WriteBytes(path, "DBIt" + Bytes({0x0B}) + Int32(-123456) + Int32(3) + "Fer" + Int32(0) + Int32(-5) + Bytes({'x'}) +
                       Int32(1) + "\xE9");
  TExtFileStream s(path, TExtFileStream::Mode::OpenRead);
  EXPECT_EQ(s.Remaining(), 30u);
  EXPECT_EQ(s.ReadChar(), 'D');
  EXPECT_EQ(s.ReadChars(3), "BIt");
  EXPECT_EQ(s.ReadByte(), 11);
  EXPECT_EQ(s.ReadInt(), -123456);
  EXPECT_EQ(s.ReadStr(), "Fer");
  EXPECT_EQ(s.ReadStr(), "");  // length 0
  EXPECT_EQ(s.ReadStr(), "");  // length -5: only the four length bytes are consumed
  EXPECT_EQ(s.ReadChar(), 'x');
  EXPECT_EQ(s.ReadStr(), "\xE9");
  EXPECT_FALSE(s.ShortRead());
  EXPECT_EQ(s.Remaining(), 0u);
  EXPECT_EQ(s.ReadByte(), 0);
  EXPECT_TRUE(s.ShortRead());
}

TEST(ExtFileStream, ReadPastTheEndGivesZerosAndStaysShort) {
  TempDir dir;
  const std::string path = dir.File("in.bin");
  WriteBytes(path, Bytes({1, 2}));
  TExtFileStream s(path, TExtFileStream::Mode::OpenRead);
  EXPECT_EQ(s.ReadInt(), 0);  // two bytes cannot make an integer
  EXPECT_TRUE(s.ShortRead());
  EXPECT_EQ(s.Remaining(), 0u);
  EXPECT_EQ(s.ReadByte(), 0);  // the bytes before the cut are not handed out afterwards
  EXPECT_EQ(s.ReadStr(), "");
  EXPECT_EQ(s.ReadChars(1), "");
}

TEST(ExtFileStream, AStringLongerThanTheFileIsNotAllocated) {
  TempDir dir;
  const std::string path = dir.File("in.bin");
  WriteBytes(path, Int32(2000000000) + "abc");
  TExtFileStream s(path, TExtFileStream::Mode::OpenRead);
  test::AllocProbe probe;
  EXPECT_EQ(s.ReadStr(), "");
  EXPECT_TRUE(s.ShortRead());
  EXPECT_LT(probe.Largest(), 4096u);
}

TEST(ExtFileStream, OpeningAMissingFileRaisesTheOpenMessage) {
  TempDir dir;
  const std::string path = dir.File("absent.kdb");
  try {
    TExtFileStream s(path, TExtFileStream::Mode::OpenRead);
    FAIL() << "no error raised";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Impossible d'ouvrir le fichier " + path);
    EXPECT_EQ(e.Errno, ENOENT);
  }
  try {
    TExtFileStream s(dir.Path(), TExtFileStream::Mode::OpenRead);  // a directory is not a database
    FAIL() << "no error raised";
  } catch (const EFileError& e) {
    EXPECT_EQ(e.Errno, EISDIR);
  }
}

// Values laid out so that strings and integers straddle every read-block
// boundary, and one string is larger than a whole block.
TEST(ExtFileStream, LargeFilesReadBackAcrossBlockBoundaries) {
  TempDir dir;
  const std::string path = dir.File("big.bin");
  std::vector<std::string> strings;
  {
    TExtFileStream s(path, TExtFileStream::Mode::Create);
    for (int i = 0; i < 40000; ++i) {
      strings.push_back(std::string(static_cast<std::size_t>(i % 37), static_cast<char>('a' + i % 26)));
      s.WriteInt(i);
      s.WriteStr(strings.back());
      s.WriteByte(static_cast<std::uint8_t>(i));
      if (i == 20000) {
        strings.push_back(std::string(700000, 'Z'));
        s.WriteStr(strings.back());
      }
    }
    s.Commit();
  }
  TExtFileStream s(path, TExtFileStream::Mode::OpenRead);
  std::size_t k = 0;
  for (int i = 0; i < 40000; ++i) {
    ASSERT_EQ(s.ReadInt(), i);
    ASSERT_EQ(s.ReadStr(), strings[k++]);
    ASSERT_EQ(s.ReadByte(), static_cast<std::uint8_t>(i));
    if (i == 20000) {
      ASSERT_EQ(s.ReadStr(), strings[k++]);
    }
  }
  EXPECT_FALSE(s.ShortRead());
  EXPECT_EQ(s.Remaining(), 0u);
}

// The system may hand back fewer bytes than asked, or be interrupted.
class TrickleReads : public FileOps {
 public:
  ssize_t Read(int fd, void* buf, size_t count) override {
    if (++calls % 3 == 0) {
      errno = EINTR;
      return -1;
    }
    return FileOps::Read(fd, buf, count < 3 ? count : 3);
  }
  int calls = 0;
};

TEST(ExtFileStream, ShortAndInterruptedSystemReadsAreRetried) {
  TempDir dir;
  const std::string path = dir.File("in.bin");
  WriteBytes(path, Int32(77) + Int32(10) + "0123456789" + Int32(-2));
  TrickleReads trickle;
  ScopedFileOps scoped(trickle);
  TExtFileStream s(path, TExtFileStream::Mode::OpenRead);
  EXPECT_EQ(s.ReadInt(), 77);
  EXPECT_EQ(s.ReadStr(), "0123456789");
  EXPECT_EQ(s.ReadInt(), -2);
  EXPECT_FALSE(s.ShortRead());
  EXPECT_GT(trickle.calls, 5);
}

class FailingReads : public FileOps {
 public:
  ssize_t Read(int, void*, size_t) override {
    errno = EIO;
    return -1;
  }
};

TEST(ExtFileStream, AReadErrorCountsAsTheEndOfTheFile) {
  TempDir dir;
  const std::string path = dir.File("in.bin");
  WriteBytes(path, Int32(77));
  FailingReads failing;
  ScopedFileOps scoped(failing);
  TExtFileStream s(path, TExtFileStream::Mode::OpenRead);
  EXPECT_EQ(s.ReadInt(), 0);
  EXPECT_TRUE(s.ShortRead());
}

TEST(ExtFileStream, NothingReplacesTheTargetBeforeCommit) {
  TempDir dir;
  const std::string path = dir.File("out.bin");
  WriteBytes(path, "old");
  {
    TExtFileStream s(path, TExtFileStream::Mode::Create);
    s.WriteStr("new content");
    EXPECT_EQ(ReadBytes(path), "old");
  }  // dropped without Commit
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"out.bin"});
}

}  // namespace
}  // namespace kistora
