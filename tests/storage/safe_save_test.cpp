// Saving never destroys the previous file: every failure leaves it byte for byte
// as it was, removes the temporary file, and raises the creation message. (A
// failure at each call of the file layer in turn is tried for every save of
// the program in tests/robustness/fault_injection_test.cpp.)
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core_test_support.h"
#include "storage/database.h"
#include "storage/file_error.h"
#include "storage/file_ops.h"
#include "storage/safe_file.h"

namespace kistora {
namespace {

using namespace testing;

const char kCreateMessage[] =
    "Impossible de cr\xE9"
    "er le fichier ";

// A catalogue big enough that saving it takes several buffered writes.
TCatalogue BigCatalogue() {
  TCatalogue c;
  for (int i = 0; i < 6000; ++i) {
    auto item = std::make_unique<TD2Armor>();
    item->Index = i;
    item->Name = std::string(60, static_cast<char>('a' + i % 26));
    item->MagicProps = {"+" + std::to_string(i) +
                        " d\xE9"
                        "fense"};
    c.ItemList.push_back(std::move(item));
  }
  return c;
}

// The system may write fewer bytes than asked, or be interrupted.
class TrickleWrites : public FileOps {
 public:
  ssize_t Write(int fd, const void* buf, size_t count) override {
    if (++calls % 4 == 0) {
      errno = EINTR;
      return -1;
    }
    return FileOps::Write(fd, buf, count < 1000 ? count : 1000);
  }
  int calls = 0;
};

TEST(SafeSave, ShortAndInterruptedWritesStillWriteEverything) {
  TempDir dir;
  const TCatalogue big = BigCatalogue();
  SaveItems(big, dir.File("plain.kdb"));
  TrickleWrites trickle;
  {
    ScopedFileOps scoped(trickle);
    SaveItems(big, dir.File("trickled.kdb"));
  }
  EXPECT_GT(trickle.calls, 100);
  EXPECT_EQ(ReadBytes(dir.File("trickled.kdb")), ReadBytes(dir.File("plain.kdb")));
}

TEST(SafeSave, UnwritablePlacesRaiseTheCreationMessage) {
  TempDir dir;
  WriteBytes(dir.File("file.txt"), "x");
  const std::string underAFile = dir.File("file.txt/items.kdb");
  const std::string longName = dir.File(std::string(300, 'n'));
  std::string oddButValid = dir.Path();
  for (int i = 0; i < 1000; ++i) oddButValid += "/.";
  oddButValid += "/items.kdb";
  std::string deepPath = dir.Path();
  for (int i = 0; i < 500; ++i) deepPath += "/abcdefghij";
  const struct {
    std::string path;
    int error;
  } cases[] = {
      {underAFile, ENOTDIR},
      {dir.File("missing/items.kdb"), ENOENT},
      {"/proc/kistora-save-test/items.kdb", ENOENT},
      {longName, ENAMETOOLONG},
      {deepPath + "/items.kdb", ENAMETOOLONG},
      {dir.Path() + std::string(5000, '/') + "items.kdb", ENAMETOOLONG},
  };
  const TCatalogue c;
  for (const auto& k : cases) {
    SCOPED_TRACE(k.path.substr(0, 80));
    try {
      SaveChars(c, k.path);
      ADD_FAILURE() << "no error raised";
    } catch (const EFileError& e) {
      EXPECT_EQ(std::string(e.what()), kCreateMessage + k.path);
      EXPECT_EQ(e.Errno, k.error);
    }
    TCatalogue loaded;
    EXPECT_THROW(LoadChars(loaded, k.path), EFileError);
  }
  // A long path within the system's limit saves normally.
  SaveChars(c, oddButValid);
  EXPECT_EQ(ReadBytes(dir.File("items.kdb")).size(), 12u);
  EXPECT_EQ(ReadBytes(dir.File("file.txt")), "x");
}

TEST(SafeSave, ADirectoryInThePlaceOfTheFileIsNotReplaced) {
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.File("items.kdb").c_str(), 0755), 0);
  WriteBytes(dir.File("items.kdb/keep"), "kept");
  try {
    SaveItems(TCatalogue(), dir.File("items.kdb"));
    ADD_FAILURE() << "no error raised";
  } catch (const EFileError& e) {
    EXPECT_EQ(e.Errno, EISDIR);
  }
  EXPECT_EQ(ReadBytes(dir.File("items.kdb/keep")), "kept");
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"items.kdb"});
}

TEST(SafeSave, ASymbolicLinkStaysALinkAndItsTargetIsReplaced) {
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.File("data").c_str(), 0755), 0);
  WriteBytes(dir.File("data/real.kdb"), "old");
  ASSERT_EQ(::symlink("data/real.kdb", dir.File("items.kdb").c_str()), 0);                // relative link
  ASSERT_EQ(::symlink(dir.File("items.kdb").c_str(), dir.File("link2.kdb").c_str()), 0);  // link to a link
  SaveItems(TCatalogue(), dir.File("link2.kdb"));

  struct stat info {};
  ASSERT_EQ(::lstat(dir.File("items.kdb").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(::lstat(dir.File("link2.kdb").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(ReadBytes(dir.File("data/real.kdb")).substr(0, 4), "DBIL");
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"data", "items.kdb", "link2.kdb"}));

  // A dangling link gets its file created where it points.
  ASSERT_EQ(::symlink("data/new.kdb", dir.File("chars.kdb").c_str()), 0);
  SaveChars(TCatalogue(), dir.File("chars.kdb"));
  EXPECT_EQ(ReadBytes(dir.File("data/new.kdb")).substr(0, 4), "DBCL");

  // A loop of links is an error, not a hang.
  ASSERT_EQ(::symlink("loop-b", dir.File("loop-a").c_str()), 0);
  ASSERT_EQ(::symlink("loop-a", dir.File("loop-b").c_str()), 0);
  try {
    SaveChars(TCatalogue(), dir.File("loop-a"));
    ADD_FAILURE() << "no error raised";
  } catch (const EFileError& e) {
    EXPECT_EQ(e.Errno, ELOOP);
  }
}

TEST(SafeSave, PermissionsOfAnExistingFileAreKept) {
  TempDir dir;
  const std::string path = dir.File("items.kdb");
  WriteBytes(path, "old");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  SaveItems(TCatalogue(), path);
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);

  // A new file gets the usual 0666 less the umask.
  const mode_t previous = ::umask(027);
  SaveChars(TCatalogue(), dir.File("chars.kdb"));
  ::umask(previous);
  ASSERT_EQ(::stat(dir.File("chars.kdb").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(SafeSave, AnAbandonedWriterRemovesItsTemporaryFile) {
  TempDir dir;
  const std::string path = dir.File("out.txt");
  {
    SafeFileWriter writer(path, "failed");
    writer.Write("partial");
    EXPECT_EQ(dir.Entries().size(), 1u);  // the temporary file exists while writing
  }
  EXPECT_TRUE(dir.Entries().empty());
  {
    SafeFileWriter writer(path, "failed");
    writer.Write("done");
    writer.Commit();
    EXPECT_THROW(writer.Write("late"), EFileError);
  }
  EXPECT_EQ(ReadBytes(path), "done");
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"out.txt"});
}

}  // namespace
}  // namespace kistora
