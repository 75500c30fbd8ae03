// Faults found while hardening the program, each kept from coming back:
//  - a backup copy that failed half-way (a full disk, a read error) destroyed
//    the previous backup: it is now written beside it and renamed over it;
//  - a file name holding a NUL byte (possible in the options file) was cut at
//    the NUL, so the export wrote to another file than the one named;
//  - finding the set in an item name, and the words of a text, cost the square
//    of the length (17 s for one set item of a megabyte): now one pass;
//  - a named pipe in the place of a database or the options file hung the
//    program, and a device such as /dev/zero there (or as the export file)
//    filled memory or the disk: only regular files are read or copied.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>

#include "export/export_run.h"
#include "model/items.h"
#include "model/text_utils.h"
#include "options/option_values.h"
#include "options/options_file.h"
#include "robustness_support.h"
#include "storage/database.h"
#include "storage/file_copy.h"
#include "storage/file_error.h"

namespace kistora {
namespace {

using robust::Exists;
using robust::TempDir;
using testing::ReadBytes;
using testing::WriteBytes;

// ---- The backup copy -------------------------------------------------------------

// /proc/self/mem opens as a regular file and fails its first read: a copy
// from it breaks after the backup was opened.
const char kUnreadable[] = "/proc/self/mem";

TEST(BackupCopy, ACopyThatFailsHalfWayLeavesThePreviousBackupWhole) {
  if (::access(kUnreadable, R_OK) != 0) GTEST_SKIP() << "no /proc here to give a file that cannot be read";
  TempDir dir;
  const std::string backup = dir.File("kistora.ini.bak");
  WriteBytes(backup, "the previous backup");
  EXPECT_FALSE(CopyFileTo(kUnreadable, backup, false));
  EXPECT_EQ(ReadBytes(backup), "the previous backup");
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"kistora.ini.bak"}) << "no temporary file left";

  EXPECT_FALSE(CopyFileTo(kUnreadable, dir.File("new.bak"), true));
  EXPECT_FALSE(Exists(dir.File("new.bak"))) << "a new copy that failed is removed";
}

TEST(BackupCopy, ALinkIsFollowedAndPermissionsAreKept) {
  TempDir dir;
  WriteBytes(dir.File("kistora.ini"), "new content");
  ::chmod(dir.File("kistora.ini").c_str(), 0640);
  WriteBytes(dir.File("real.bak"), "old");
  ::chmod(dir.File("real.bak").c_str(), 0604);
  ASSERT_EQ(::symlink("real.bak", dir.File("kistora.ini.bak").c_str()), 0);

  EXPECT_TRUE(CopyFileTo(dir.File("kistora.ini"), dir.File("kistora.ini.bak"), false));
  struct stat info {};
  ASSERT_EQ(::lstat(dir.File("kistora.ini.bak").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link stays a link";
  EXPECT_EQ(ReadBytes(dir.File("real.bak")), "new content");
  ASSERT_EQ(::stat(dir.File("real.bak").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0604u) << "the backup keeps its own permissions";

  EXPECT_TRUE(CopyFileTo(dir.File("kistora.ini"), dir.File("first.bak"), false));
  ASSERT_EQ(::stat(dir.File("first.bak").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u) << "a new backup takes the permissions of its source";
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"kistora.ini", "kistora.ini.bak", "real.bak", "first.bak"}));
}

TEST(BackupCopy, NeverReplacesWhatIsNotAPlainFile) {
  TempDir dir;
  WriteBytes(dir.File("page.html"), "page");
  ASSERT_EQ(::mkfifo(dir.File("fifo.bak").c_str(), 0600), 0);
  ASSERT_EQ(::mkdir(dir.File("folder.bak").c_str(), 0700), 0);
  EXPECT_FALSE(CopyFileTo(dir.File("page.html"), dir.File("fifo.bak"), false));
  EXPECT_FALSE(CopyFileTo(dir.File("page.html"), dir.File("folder.bak"), false));
  struct stat info {};
  ASSERT_EQ(::lstat(dir.File("fifo.bak").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  ASSERT_EQ(::lstat(dir.File("folder.bak").c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"page.html", "fifo.bak", "folder.bak"}));
}

// ---- NUL bytes in file names -------------------------------------------------------

TEST(NulInFileNames, AreRefusedInsteadOfWritingAnotherFile) {
  TempDir dir;
  WriteBytes(dir.File("liste"), "someone else's file");
  TCatalogue catalogue;
  ExportSettings settings;
  settings.Scope = ExportScope::AllItems;
  settings.FileName = dir.File("liste") + std::string(1, '\0') + ".html";
  const ExportResult result = RunExport(settings, catalogue, -1, std::tm{});
  EXPECT_EQ(result.Status, ExportStatus::Failed);
  EXPECT_EQ(result.Message, "Nom de fichier incorrect.");
  EXPECT_EQ(result.Errno, EINVAL);
  EXPECT_EQ(ReadBytes(dir.File("liste")), "someone else's file");

  const std::string cut = dir.File("liste") + std::string(1, '\0') + "items.kdb";
  try {
    SaveItems(catalogue, cut);
    ADD_FAILURE() << "a name with a NUL byte must be refused";
  } catch (const EFileError& e) {
    EXPECT_EQ(e.Errno, EINVAL);
  }
  OptionValues values;
  EXPECT_THROW(WriteOptions(cut, BindOptionValues(values, catalogue), "Kistora"), EFileError);
  EXPECT_FALSE(CopyFileTo(dir.File("liste"), dir.File("liste") + std::string(1, '\0') + ".bak", false));
  EXPECT_EQ(ReadBytes(dir.File("liste")), "someone else's file");
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"liste"});
}

// ---- Texts in one pass ------------------------------------------------------------------

// The words as the program defines them: runs of characters other than the space.
std::vector<std::string> Words(const std::string& s) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : s + " ") {
    if (c != ' ') {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  return words;
}

// The set name by its definition: cut after the first connector again and again.
std::string SetNameByCutting(std::string s) {
  s = LowerAscii(s);
  for (const char* connector : {" de ", " d'", " du ", " des "}) {
    while (Pos(connector, s) != 0) s = AfterFirst(connector, s);
  }
  return TrimSpaces(s);
}

TEST(OnePassTexts, WordsAndSetNamesMatchTheirDefinitions) {
  std::mt19937 random(42);
  const std::string pieces[] = {" ", " ", "de", " de ", " d'", "du", " des ", "D", "E", "x", "\t", "  "};
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
  std::uniform_int_distribution<int> length(0, 12);
  for (int round = 0; round < 20000; ++round) {
    std::string s;
    for (int i = length(random); i > 0; --i) s += pieces[pick(random)];
    const std::vector<std::string> words = Words(s);
    ASSERT_EQ(WordCount(s), static_cast<int>(words.size())) << "'" << s << "'";
    for (int n = -1; n <= static_cast<int>(words.size()) + 1; ++n) {
      const std::string expected = n >= 1 && n <= static_cast<int>(words.size()) ? words[n - 1] : "";
      ASSERT_EQ(NthWord(n, s), expected) << "'" << s << "' word " << n;
    }
    ASSERT_EQ(SetName(s), SetNameByCutting(s)) << "'" << s << "'";
  }
}

TEST(OnePassTexts, AMegabyteOfWordsIsCountedAndCut) {
  std::string s;
  while (s.size() < (1u << 20)) s += "mot  ";
  s += "dernier";
  EXPECT_EQ(WordCount(s), static_cast<int>((s.size() - 7) / 5) + 1);
  EXPECT_EQ(NthWord(WordCount(s), s), "dernier");
  EXPECT_EQ(SetName(s + " d'Arreat"), "arreat");
}

// ---- Pipes and devices in the place of a file -------------------------------------------

TEST(NotAFile, PipesAndDevicesAreNeitherWaitedForNorReadForever) {
  TempDir dir;
  const std::string pipe = dir.File("items.kdb");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  TCatalogue catalogue;
  catalogue.ItemList.push_back(std::make_unique<TD2Ring>());
  // No writer ever comes: the loads return at once, a pipe reading as an empty file.
  EXPECT_EQ(LoadItems(catalogue, pipe), kLoadBadMagic);
  EXPECT_EQ(LoadChars(catalogue, pipe), kLoadBadMagic);
  EXPECT_EQ(catalogue.ItemList.size(), 1u) << "the items in memory stay";
  EXPECT_EQ(LoadItems(catalogue, "/dev/zero"), kLoadBadMagic);

  // (Devices are tried only through /dev/null, which ends at once: a program
  // that still read /dev/zero would fill the memory or the disk of the machine.)
  OptionValues values;
  for (const std::string& path : {pipe, std::string("/dev/null"), dir.Path()}) {
    try {
      ReadOptionValues(path, values, catalogue);
      ADD_FAILURE() << path << " was read as an options file";
    } catch (const EFileError& e) {
      EXPECT_EQ(std::string(e.what()), "Impossible de lire le fichier " + path);
    }
  }
  EXPECT_EQ(values.MainWidth, 609);

  EXPECT_FALSE(CopyFileTo(pipe, dir.File("copy.bak"), false));
  EXPECT_FALSE(CopyFileTo("/dev/null", dir.File("copy.bak"), false));
  EXPECT_FALSE(CopyFileTo("/dev/null", dir.File("copy.bak"), true));

  // The export to a pipe: no backup is attempted, the pipe is not replaced.
  ExportSettings settings;
  settings.FileName = pipe;
  settings.Scope = ExportScope::AllItems;
  const ExportResult result = RunExport(settings, catalogue, -1, std::tm{});
  EXPECT_EQ(result.Status, ExportStatus::Failed);
  EXPECT_EQ(result.Message, "Nom de fichier incorrect.");
  struct stat info {};
  ASSERT_EQ(::lstat(pipe.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  EXPECT_EQ(dir.Entries(), std::set<std::string>{"items.kdb"});
}

}  // namespace
}  // namespace kistora
