// Temporary files left by killed saves are recognised by their name and
// removed; nothing else is.
#include "storage/stale_temporaries.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core_test_support.h"
#include "storage/safe_file.h"

namespace kistora {
namespace {

using namespace testing;

TEST(StaleTemporaries, EveryTemporaryNameOfASaveIsRecognised) {
  TempDir dir;
  {
    // A save in progress, as a kill would leave it.
    SafeFileWriter writer(dir.File("items.kdb"), "Impossible de créer le fichier");
    writer.Write("DBIL");
    const std::set<std::string> entries = dir.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(IsTemporaryFileName(*entries.begin())) << *entries.begin();
  }
  EXPECT_TRUE(IsTemporaryFileName(".kistora-Ab3De6.tmp"));  // a copy's (mkostemps), as earlier versions named it
  EXPECT_TRUE(IsTemporaryFileName("~syncthing~kistora-Ab3De6.tmp"));  // the name sync tools skip
  EXPECT_TRUE(IsTemporaryFileName(TemporaryPathIn("d").substr(2)));
  EXPECT_FALSE(IsTemporaryFileName("~syncthing~items.kdb.tmp"));  // the sync tool's own
  EXPECT_TRUE(IsTemporaryFileName(".kistora-0123456789.bak.tmp"));
  for (const char* other : {"items.kdb", ".kistora-.tmp", ".kistora-12345.tmp", ".kistora-1234567.tmp",
                            ".kistora-01234567890.tmp", ".kistora-0123456789.tmp~", "kistora-0123456789.tmp",
                            ".kistora-01234_6789.tmp", ".kistora-0123456789.conflict.tmp", "kistora.lock"})
    EXPECT_FALSE(IsTemporaryFileName(other)) << other;
}

TEST(StaleTemporaries, RemovedInTheFolderAndItsBackupsAndNothingElse) {
  TempDir dir;
  ASSERT_EQ(::mkdir(dir.File("backups").c_str(), 0777), 0);
  ASSERT_EQ(::mkdir(dir.File(".kistora-fold3rName.tmp").c_str(), 0777), 0);  // a folder is never removed
  for (const char* litter : {".kistora-0123456789.tmp", ".kistora-abcdef.tmp", "backups/.kistora-ABCDEFGHIJ.bak.tmp"})
    WriteBytes(dir.File(litter), "half");
  for (const char* kept : {"items.kdb", "chars.kdb", "notes.tmp", ".kistora-12345.tmp", "backups/items-2026-12-07.kdb"})
    WriteBytes(dir.File(kept), "kept");
  // A link of a temporary name may point at a file that matters.
  ASSERT_EQ(::symlink("items.kdb", dir.File(".kistora-L1nkL1nkL1.tmp").c_str()), 0);

  EXPECT_EQ(RemoveStaleTemporaries(dir.Path()), 3u);
  EXPECT_EQ(dir.Entries(),
            (std::set<std::string>{".kistora-12345.tmp", ".kistora-L1nkL1nkL1.tmp", ".kistora-fold3rName.tmp",
                                   "backups", "chars.kdb", "items.kdb", "notes.tmp"}));
  EXPECT_EQ(TempDir::Entries(dir.File("backups")), std::set<std::string>{"items-2026-12-07.kdb"});
  EXPECT_EQ(ReadBytes(dir.File("items.kdb")), "kept");
  EXPECT_EQ(RemoveStaleTemporaries(dir.File("no-such-folder")), 0u);
}

}  // namespace
}  // namespace kistora
