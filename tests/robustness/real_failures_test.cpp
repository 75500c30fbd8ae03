// The saves against real failing file systems, where this machine allows them:
// a full tmpfs (ENOSPC), immutable files and folders (chattr +i: EPERM even for
// root) and a read-only bind mount (EROFS). Each needs privileges a container
// may not grant; then the test is skipped and says why (the same failures are
// injected through the file layer by the FaultInjection tests).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <map>

#include "export/export_run.h"
#include "fuzz/catalogue_diff.h"
#include "options/option_values.h"
#include "options/options_file.h"
#include "robustness_support.h"
#include "storage/database.h"
#include "storage/file_error.h"

namespace kistora {
namespace {

using robust::Catching;
using robust::kCreateMessage;
using robust::Outcome;
using robust::Tally;
using robust::TempDir;
using testing::ReadBytes;

TCatalogue Catalogue(int items, std::size_t nameLength) {
  TCatalogue c;
  for (int i = 0; i < items; ++i) {
    auto item = CreateItemFromTag(static_cast<std::uint8_t>(i % 12));
    item->Index = i;
    item->Quality = static_cast<std::uint8_t>(i % 6);
    item->Name = "Objet " + std::to_string(i) + std::string(nameLength, 'x');
    c.ItemList.push_back(std::move(item));
    auto character = std::make_unique<TChar>();
    character->Name = "Perso " + std::to_string(i);
    character->AddItem(i);
    c.CharList.push_back(std::move(character));
  }
  return c;
}

// The four saves of the program into one folder, as the player's close and export make them.
class Program {
 public:
  explicit Program(std::string folder) : folder_(std::move(folder)) {}

  std::string Path(const std::string& name) const { return folder_ + "/" + name; }

  std::map<std::string, Outcome> SaveAll(const TCatalogue& catalogue, std::int32_t width) {
    std::map<std::string, Outcome> results;
    results["items.kdb"] = Catching([&] { SaveItems(catalogue, Path("items.kdb")); });
    results["chars.kdb"] = Catching([&] { SaveChars(catalogue, Path("chars.kdb")); });
    values_.MainWidth = width;
    results["kistora.ini"] =
        Catching([&] { WriteOptions(Path("kistora.ini"), BindOptionValues(values_, optionsCatalogue_), "Kistora"); });
    ExportSettings settings;
    settings.FileName = Path("liste.html");
    settings.Scope = ExportScope::AllItems;
    std::tm now{};
    now.tm_year = 126;
    const ExportResult exported = RunExport(settings, catalogue, -1, now);
    results["liste.html"] = {exported.Status == ExportStatus::Failed, exported.Message, exported.Errno};
    return results;
  }

  // Every file of the folder and its bytes.
  std::map<std::string, std::string> Snapshot(const TempDir&) const {
    std::map<std::string, std::string> files;
    for (const std::string& name : robust::TempDir::Entries(folder_)) files[name] = ReadBytes(Path(name));
    return files;
  }

 private:
  std::string folder_;
  OptionValues values_;
  TCatalogue optionsCatalogue_;
};

// Checks that every save failed with error and that the folder holds exactly what it held.
void ExpectAllFailedAndNothingChanged(Program& program, const std::map<std::string, Outcome>& results, int error,
                                      const std::string& exportMessage,
                                      const std::map<std::string, std::string>& before,
                                      const std::map<std::string, std::string>& after, Tally& tally) {
  for (const auto& [name, result] : results) {
    SCOPED_TRACE(name);
    ++tally.Faults;
    EXPECT_TRUE(result.Failed);
    EXPECT_EQ(result.Errno, error) << std::strerror(result.Errno);
    EXPECT_EQ(result.Message, name == "liste.html" ? exportMessage : kCreateMessage + program.Path(name));
  }
  EXPECT_EQ(after.size(), before.size()) << "a temporary file was left, or a file appeared";
  for (const auto& [name, bytes] : before) {
    ++tally.FilesCompared;
    EXPECT_TRUE(after.count(name) == 1 && after.at(name) == bytes) << name << " changed";
  }
}

// After the failure, with the file system working again: everything is written.
void ExpectAllWritten(Program& program, const TCatalogue& catalogue, const std::map<std::string, std::string>& before,
                      Tally& tally) {
  const auto results = program.SaveAll(catalogue, 999);
  for (const auto& [name, result] : results) EXPECT_FALSE(result.Failed) << name << ": " << result.Message;
  TCatalogue loaded;
  tally.FilesCompared += 2;
  ASSERT_EQ(LoadItems(loaded, program.Path("items.kdb")), kLoadOk);
  ASSERT_EQ(LoadChars(loaded, program.Path("chars.kdb")), kLoadOk);
  EXPECT_EQ(check::ItemsDifference(loaded, catalogue), "");
  EXPECT_EQ(check::CharsDifference(loaded, catalogue), "");
  tally.FilesCompared += 3;
  EXPECT_NE(ReadBytes(program.Path("kistora.ini")).find("mwp_width           999\r\n"), std::string::npos);
  EXPECT_EQ(ReadBytes(program.Path("kistora.ini.bak")), before.at("kistora.ini"))
      << "the previous options in the backup";
  EXPECT_EQ(ReadBytes(program.Path("liste.html.bak")), before.at("liste.html")) << "the previous page in the backup";
}

// ---- A full disk ----------------------------------------------------------------------

// A small tmpfs mounted on a fresh folder for the life of the object.
class SmallTmpfs {
 public:
  explicit SmallTmpfs(const std::string& size) {
    const std::string options = "size=" + size + ",mode=0700";
    if (::mount("tmpfs", dir_.Path().c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0) {
      mounted_ = true;
    } else {
      error_ = errno;
    }
  }
  ~SmallTmpfs() {
    if (mounted_) ::umount2(dir_.Path().c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }
  int Error() const { return error_; }
  const TempDir& Dir() const { return dir_; }
  bool Resize(const std::string& size) {
    const std::string options = "size=" + size;
    return ::mount(nullptr, dir_.Path().c_str(), nullptr, MS_REMOUNT | MS_NOSUID | MS_NODEV, options.c_str()) == 0;
  }

 private:
  TempDir dir_;
  bool mounted_ = false;
  int error_ = 0;
};

// Takes every free block of the file system holding path.
void Fill(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  const std::string block(4096, 'f');
  for (;;) {
    const ssize_t n = ::write(fd, block.data(), block.size());
    if (n > 0) continue;
    ASSERT_EQ(errno, ENOSPC);
    break;
  }
  ::close(fd);
}

TEST(RealFailures, AFullDiskFailsEverySaveAndKeepsEveryFile) {
  SmallTmpfs disk("64k");
  if (!disk.Mounted()) {
    GTEST_SKIP() << "a 64 KiB tmpfs cannot be mounted here (" << std::strerror(disk.Error())
                 << "): mounting needs CAP_SYS_ADMIN";
  }
  Tally tally;
  Program program(disk.Dir().Path());
  const TCatalogue small = Catalogue(3, 0);
  for (std::int32_t width : {700, 800}) {  // twice, so that the options and the page have a backup
    for (const auto& [name, result] : program.SaveAll(small, width)) ASSERT_FALSE(result.Failed) << name;
  }
  Fill(program.Path("filler"));
  const auto before = program.Snapshot(disk.Dir());
  ASSERT_EQ(before.size(), 7u);

  const TCatalogue big = Catalogue(400, 300);
  const auto results = program.SaveAll(big, 900);
  ExpectAllFailedAndNothingChanged(program, results, ENOSPC, "Disque plein.", before, program.Snapshot(disk.Dir()),
                                   tally);

  // Space again: everything is written.
  ASSERT_EQ(::unlink(program.Path("filler").c_str()), 0);
  ASSERT_TRUE(disk.Resize("8m"));
  ExpectAllWritten(program, big, before, tally);
  tally.Report("AFullDiskFailsEverySaveAndKeepsEveryFile");
}

// ---- Immutable files and folders --------------------------------------------------------

// Sets or clears the immutable flag; returns 0 or the errno.
int SetImmutable(const std::string& path, bool on) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno;
  int flags = 0;
  int error = 0;
  if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) {
    error = errno;
  } else {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    if (::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0) error = errno;
  }
  ::close(fd);
  return error;
}

// Makes paths immutable for the life of the object (cleared whatever happens,
// so the scratch folder can be removed).
class Immutable {
 public:
  explicit Immutable(std::vector<std::string> paths) : paths_(std::move(paths)) {
    for (const std::string& path : paths_) {
      error_ = SetImmutable(path, true);
      if (error_ != 0) break;
    }
  }
  ~Immutable() {
    for (const std::string& path : paths_) SetImmutable(path, false);
  }
  int Error() const { return error_; }

 private:
  std::vector<std::string> paths_;
  int error_ = 0;
};

TEST(RealFailures, ImmutableFilesAndFoldersAreNeverReplaced) {
  TempDir dir;
  Tally tally;
  Program program(dir.Path());
  const TCatalogue small = Catalogue(3, 0);
  for (std::int32_t width : {700, 800}) {
    for (const auto& [name, result] : program.SaveAll(small, width)) ASSERT_FALSE(result.Failed) << name;
  }
  const auto before = program.Snapshot(dir);
  const TCatalogue big = Catalogue(50, 10);
  const std::string denied = "Acc\xE8s au fichier refus\xE9.";
  {
    // The files themselves: their temporary files are written, the renames refused.
    Immutable files({program.Path("items.kdb"), program.Path("chars.kdb"), program.Path("kistora.ini"),
                     program.Path("liste.html"), program.Path("kistora.ini.bak"), program.Path("liste.html.bak")});
    if (files.Error() != 0) {
      GTEST_SKIP() << "files cannot be made immutable here (chattr +i: " << std::strerror(files.Error())
                   << "): it needs CAP_LINUX_IMMUTABLE and a file system that supports the flag";
    }
    const auto results = program.SaveAll(big, 900);
    ExpectAllFailedAndNothingChanged(program, results, EPERM, denied, before, program.Snapshot(dir), tally);
  }
  {
    // The folder: not even a temporary file can be created.
    Immutable folder({dir.Path()});
    ASSERT_EQ(folder.Error(), 0);
    const auto results = program.SaveAll(big, 900);
    ExpectAllFailedAndNothingChanged(program, results, EPERM, denied, before, program.Snapshot(dir), tally);
  }
  ExpectAllWritten(program, big, before, tally);
  tally.Report("ImmutableFilesAndFoldersAreNeverReplaced");
}

// ---- A read-only folder ------------------------------------------------------------------

class ReadOnlyBind {
 public:
  explicit ReadOnlyBind(const std::string& path) : path_(path) {
    if (::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) != 0) {
      error_ = errno;
      return;
    }
    bound_ = true;
    if (::mount(nullptr, path.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0) error_ = errno;
  }
  ~ReadOnlyBind() {
    if (bound_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  int Error() const { return error_; }

 private:
  std::string path_;
  bool bound_ = false;
  int error_ = 0;
};

TEST(RealFailures, AReadOnlyFolderFailsEverySaveAndKeepsEveryFile) {
  TempDir dir;
  Tally tally;
  Program program(dir.Path());
  const TCatalogue small = Catalogue(3, 0);
  for (std::int32_t width : {700, 800}) {
    for (const auto& [name, result] : program.SaveAll(small, width)) ASSERT_FALSE(result.Failed) << name;
  }
  const auto before = program.Snapshot(dir);
  const TCatalogue big = Catalogue(50, 10);
  {
    ReadOnlyBind readOnly(dir.Path());
    if (readOnly.Error() != 0) {
      GTEST_SKIP() << "a read-only bind mount cannot be made here (" << std::strerror(readOnly.Error())
                   << "): mounting needs CAP_SYS_ADMIN";
    }
    const auto results = program.SaveAll(big, 900);
    ExpectAllFailedAndNothingChanged(program, results, EROFS, "Acc\xE8s au fichier refus\xE9.", before,
                                     program.Snapshot(dir), tally);
  }
  ExpectAllWritten(program, big, before, tally);
  tally.Report("AReadOnlyFolderFailsEverySaveAndKeepsEveryFile");
}

}  // namespace
}  // namespace kistora
