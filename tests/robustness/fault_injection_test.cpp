// Every save of the program (items.kdb, chars.kdb, kistora.ini and the export)
// made to fail at each call of the file layer in turn: the creation of its
// temporary file, every write, the fsync, the close and the rename. After each
// failure the previous file is byte for byte what it was (and the ".bak" of the
// options file and the export holds an earlier good file), the error carries the
// message the player will see, no temporary file is left, and the next save,
// with the disk working again, writes everything.
#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <map>

#include "export/export_run.h"
#include "export_test_support.h"
#include "fuzz/catalogue_diff.h"
#include "options/option_values.h"
#include "options/options_file.h"
#include "robustness_support.h"
#include "storage/database.h"
#include "storage/file_error.h"

namespace kistora {
namespace {

using robust::Call;
using robust::Catching;
using robust::FaultLayer;
using robust::kCreateMessage;
using robust::Outcome;
using robust::Tally;
using robust::TempDir;
using testing::FixedNow;
using testing::ReadBytes;
using testing::WriteBytes;

// A catalogue of every class, about 400 KB on disk, so a save takes two
// buffer flushes and, cut by the fault layer, dozens of writes.
const TCatalogue& BigCatalogue() {
  static const TCatalogue catalogue = [] {
    TCatalogue c;
    for (int i = 0; i < 1500; ++i) {
      auto item = CreateItemFromTag(static_cast<std::uint8_t>(i % 12));
      item->Index = i;
      item->Name = "Heaume " + std::to_string(i) + " de Sigon " + std::string(static_cast<std::size_t>(i % 97), 'x');
      item->Notes = "not\xE9 " + std::to_string(i);
      item->Quality = static_cast<std::uint8_t>(i % 6);
      item->Price = i * 7 - 300;
      item->CLvl = i % 99;
      item->MaxDur = i % 3 == 0 ? 0 : 40;
      item->Dur = 12;
      item->MagicProps = {"+" + std::to_string(i) +
                              " en D\xE9"
                              "fense",
                          std::string(150, 'p')};
      c.ItemList.push_back(std::move(item));
    }
    for (int k = 0; k < 300; ++k) {
      auto character = std::make_unique<TChar>();
      character->Name = "Perso " + std::to_string(k);
      character->Account = "compte";
      character->Class = "Paladin";
      character->Level = std::to_string(k % 99);
      character->Notes = std::string(static_cast<std::size_t>(k), 'n');
      for (int j = 0; j < 50; ++j) character->AddItem((k * 5 + j) % 1500);
      c.CharList.push_back(std::move(character));
    }
    return c;
  }();
  return catalogue;
}

// One of the program's saves, with what it must say when it fails.
struct Save {
  const char* File;
  bool KeepsBackup;
  std::size_t Chunk;  // bytes per write call
  std::function<Outcome(const std::string& path)> Run;
  std::function<std::string(const std::string& path, int error)> Message;
};

std::string DatabaseMessage(const std::string& path, int) { return kCreateMessage + path; }

// The export's texts, spelled out (the export reports the system error, not the path).
std::string ExportMessage(const std::string&, int error) {
  static const std::map<int, std::string> kTexts = {{EMFILE, "Trop de fichiers ouverts."},
                                                    {ENOSPC, "Disque plein."},
                                                    {EDQUOT, "Disque plein."},
                                                    {EFBIG, "Disque plein."},
                                                    {EIO, "Erreur E/S 5."},
                                                    {EACCES, "Acc\xE8s au fichier refus\xE9."}};
  return kTexts.at(error);
}

std::vector<Save> Saves() {
  static OptionValues values = [] {
    OptionValues v;
    v.MainWidth = 1234;
    v.Export.Sign = "sign\xE9";
    v.CharAccount = "compte";
    return v;
  }();
  static TCatalogue optionsCatalogue;
  return {
      {"items.kdb", false, 16 * 1024,
       [](const std::string& path) { return Catching([&] { SaveItems(BigCatalogue(), path); }); }, DatabaseMessage},
      {"chars.kdb", false, 8 * 1024,
       [](const std::string& path) { return Catching([&] { SaveChars(BigCatalogue(), path); }); }, DatabaseMessage},
      {"kistora.ini", true, 64,
       [](const std::string& path) {
         return Catching([&] { WriteOptions(path, BindOptionValues(values, optionsCatalogue), "Kistora"); });
       },
       DatabaseMessage},
      {"liste.html", true, 16 * 1024,
       [](const std::string& path) {
         ExportSettings settings;
         settings.FileName = path;
         settings.Scope = ExportScope::AllItems;
         settings.ShowPrice = true;
         const ExportResult result = RunExport(settings, BigCatalogue(), -1, FixedNow());
         EXPECT_EQ(result.OpenWithShell, result.Status == ExportStatus::Written)
             << "the shell opens only a written list";
         return Outcome{result.Status == ExportStatus::Failed, result.Message, result.Errno};
       },
       ExportMessage},
  };
}

// The errno a fault of that call reports, varied along the writes.
int ErrorFor(Call call, int n) {
  static const int kWriteErrors[] = {ENOSPC, EIO, EDQUOT, EFBIG};
  switch (call) {
    case Call::Open:
      return EMFILE;
    case Call::Write:
      return kWriteErrors[n % 4];
    case Call::Fsync:
      return EIO;
    case Call::Close:
      return EDQUOT;  // network file systems report the quota at close
    default:
      return EACCES;
  }
}

const std::string kOldTarget = "the previous good file\r\n";
const std::string kOldBackup = "an older backup\r\n";

TEST(FaultInjection, EverySaveFailingAtEachCallLosesNothing) {
  Tally tally;
  for (const Save& save : Saves()) {
    SCOPED_TRACE(save.File);
    FaultLayer layer(save.Chunk);

    // A clean save, to know its calls and the bytes it writes.
    TempDir reference;
    layer.Arm(Call::Count, 0, 0);
    Outcome clean;
    {
      ScopedFileOps scoped(layer);
      clean = save.Run(reference.File(save.File));
    }
    ASSERT_FALSE(clean.Failed) << clean.Message;
    const std::string written = ReadBytes(reference.File(save.File));
    std::map<Call, int> calls;
    for (int c = 0; c < static_cast<int>(Call::Count); ++c)
      calls[static_cast<Call>(c)] = layer.Calls(static_cast<Call>(c));
    ASSERT_GE(calls[Call::Write], 10) << "the save should take many writes";
    ASSERT_EQ(calls[Call::Open], 1);
    ASSERT_EQ(calls[Call::Rename], 1);

    for (const bool previous : {true, false}) {
      for (const auto& [call, count] : calls) {
        for (int n = 1; n <= count; ++n) {
          // Every write fails once with an errno and, at the first and last, once more as a write of nothing.
          const bool zeroVariants = call == Call::Write && (n == 1 || n == count);
          for (const bool zeroWrite : zeroVariants ? std::vector<bool>{false, true} : std::vector<bool>{false}) {
            SCOPED_TRACE(std::string(robust::CallName(call)) + " #" + std::to_string(n) +
                         (zeroWrite ? " (nothing written)" : "") + (previous ? "" : ", first save"));
            TempDir dir;
            const std::string path = dir.File(save.File);
            const std::string backup = path + ".bak";
            std::set<std::string> entries;
            if (previous) {
              WriteBytes(path, kOldTarget);
              entries.insert(save.File);
              if (save.KeepsBackup) {
                WriteBytes(backup, kOldBackup);
                entries.insert(std::string(save.File) + ".bak");
              }
            }
            const int error = zeroWrite ? EIO : ErrorFor(call, n);
            layer.Arm(call, n, error, zeroWrite);
            Outcome failed;
            {
              ScopedFileOps scoped(layer);
              failed = save.Run(path);
            }
            ++tally.Faults;
            ASSERT_TRUE(layer.Fired());
            EXPECT_EQ(layer.Calls(call), n) << "the save went on after the failure";
            EXPECT_TRUE(failed.Failed) << "the failure was not reported";
            EXPECT_EQ(failed.Errno, error);
            EXPECT_EQ(failed.Message, save.Message(path, error));
            if (previous) {
              tally.ExpectFile(path, kOldTarget, "the previous file after the failure");
              // The backup is taken only once the new file is whole, just before it
              // replaces the old one: the earlier backup stays unless only that last step failed.
              if (save.KeepsBackup) {
                tally.ExpectFile(backup, call == Call::Rename ? kOldTarget : kOldBackup,
                                 "the backup after the failure");
              }
            }
            EXPECT_EQ(dir.Entries(), entries) << "a temporary file was left, or a file appeared";

            // The disk works again: the next save writes everything.
            layer.Arm(Call::Count, 0, 0);
            Outcome again;
            {
              ScopedFileOps scoped(layer);
              again = save.Run(path);
            }
            EXPECT_FALSE(again.Failed) << again.Message;
            tally.ExpectFile(path, written, "the save after the failure");
            if (previous && save.KeepsBackup) tally.ExpectFile(backup, kOldTarget, "the backup after the next save");
            entries.insert(save.File);
            if (previous && save.KeepsBackup) entries.insert(std::string(save.File) + ".bak");
            EXPECT_EQ(dir.Entries(), entries);
          }
        }
      }
    }
  }
  tally.Report("EverySaveFailingAtEachCallLosesNothing");
}

// A temporary name already taken is not a failure: another name is tried.
TEST(FaultInjection, ATakenTemporaryNameIsRetriedAndTheSaveSucceeds) {
  Tally tally;
  for (const Save& save : Saves()) {
    SCOPED_TRACE(save.File);
    FaultLayer layer(1 << 20);
    TempDir reference;
    ASSERT_FALSE(save.Run(reference.File(save.File)).Failed);
    for (int n = 1; n <= 3; ++n) {
      TempDir dir;
      const std::string path = dir.File(save.File);
      WriteBytes(path, kOldTarget);
      layer.Arm(Call::Open, n, EEXIST);
      Outcome outcome;
      {
        ScopedFileOps scoped(layer);
        // Opens 1..n-1 go through; the n-th finds its name taken.
        outcome = save.Run(path);
      }
      ++tally.Faults;
      EXPECT_FALSE(outcome.Failed) << outcome.Message;
      tally.ExpectFile(path, ReadBytes(reference.File(save.File)), "the save after a taken name");
    }
  }
  tally.Report("ATakenTemporaryNameIsRetriedAndTheSaveSucceeds");
}

// Whatever write of a database save fails, the file left loads as the
// catalogue it held before, and the retried save loads as the new one.
TEST(FaultInjection, TheDatabaseOnDiskAlwaysLoadsAsOneWholeCatalogue) {
  Tally tally;
  TCatalogue old;
  for (int i = 0; i < 3; ++i) {
    testing::AddItem(old, 100 + i, "Bague " + std::to_string(i));
    testing::AddChar(old, "Zoe " + std::to_string(i), {100 + i});
  }
  FaultLayer layer(16 * 1024);
  for (int n = 1;; ++n) {
    TempDir dir;
    SaveItems(old, dir.File("items.kdb"));
    SaveChars(old, dir.File("chars.kdb"));
    layer.Arm(Call::Write, n, ENOSPC);
    bool itemsFailed = false;
    bool charsFailed = false;
    {
      ScopedFileOps scoped(layer);
      try {
        SaveItems(BigCatalogue(), dir.File("items.kdb"));
        SaveChars(BigCatalogue(), dir.File("chars.kdb"));
      } catch (const EFileError&) {
        (layer.Calls(Call::Rename) == 0 ? itemsFailed : charsFailed) = true;
      }
    }
    if (!layer.Fired()) break;  // every write of both saves has failed once
    ++tally.Faults;
    TCatalogue items;
    TCatalogue chars;
    ++tally.FilesCompared;
    ASSERT_EQ(LoadItems(items, dir.File("items.kdb")), kLoadOk);
    ++tally.FilesCompared;
    ASSERT_EQ(LoadChars(chars, dir.File("chars.kdb")), kLoadOk);
    EXPECT_TRUE(itemsFailed || charsFailed);
    EXPECT_EQ(check::ItemsDifference(items, itemsFailed ? old : BigCatalogue()), "") << "write #" << n;
    EXPECT_EQ(check::CharsDifference(chars, old), "") << "write #" << n;
  }
  EXPECT_GT(tally.Faults, 20);
  tally.Report("TheDatabaseOnDiskAlwaysLoadsAsOneWholeCatalogue");
}

// A disk that dies while a file is read (every read from the n-th on fails):
// the load stops with the result for a damaged file, or for a wrong magic when
// not even the header could be read, keeping every record read whole (the
// later the failure, the more records); the options read before it stay applied.
TEST(FaultInjection, EveryLoadFailingAtEachReadKeepsWholeRecords) {
  Tally tally;
  TempDir dir;
  SaveItems(BigCatalogue(), dir.File("items.kdb"));
  SaveChars(BigCatalogue(), dir.File("chars.kdb"));

  FaultLayer layer(8 * 1024);
  for (const bool items : {true, false}) {
    SCOPED_TRACE(items ? "items.kdb" : "chars.kdb");
    std::size_t previousCount = 0;
    for (int n = 1;; ++n) {
      TCatalogue loaded;
      layer.Arm(Call::Read, n, EIO, false, true);
      std::uint8_t result = 0;
      {
        ScopedFileOps scoped(layer);
        result = items ? LoadItems(loaded, dir.File("items.kdb")) : LoadChars(loaded, dir.File("chars.kdb"));
      }
      const std::size_t count = items ? loaded.ItemList.size() : loaded.CharList.size();
      if (!layer.Fired()) {
        EXPECT_EQ(result, kLoadOk);
        EXPECT_EQ(count, items ? BigCatalogue().ItemList.size() : BigCatalogue().CharList.size());
        break;
      }
      ++tally.Faults;
      ++tally.FilesCompared;
      EXPECT_EQ(result, n == 1 ? kLoadBadMagic : kLoadDamaged) << "read #" << n;
      EXPECT_GE(count, previousCount) << "read #" << n << ": a later failure kept fewer records";
      previousCount = count;
      for (std::size_t i = 0; i < count; ++i) {
        const std::string difference = items ? check::ItemDifference(*loaded.ItemList[i], *BigCatalogue().ItemList[i])
                                             : (loaded.CharList[i]->Items == BigCatalogue().CharList[i]->Items &&
                                                        loaded.CharList[i]->Notes == BigCatalogue().CharList[i]->Notes
                                                    ? ""
                                                    : "character");
        ASSERT_EQ(difference, "") << "read #" << n << ", record " << i;
      }
    }
  }

  OptionValues written;
  written.MainWidth = 1234;
  TCatalogue optionsCatalogue;
  const std::string ini = dir.File("kistora.ini");
  WriteOptions(ini, BindOptionValues(written, optionsCatalogue), "Kistora");
  const std::size_t widthLineEnd = ReadBytes(ini).find("1234\r") + 4;
  FaultLayer small(64);
  for (int n = 1;; ++n) {
    OptionValues read;
    TCatalogue catalogue;
    small.Arm(Call::Read, n, EIO, false, true);
    bool failed = false;
    {
      ScopedFileOps scoped(small);
      try {
        ReadOptionValues(ini, read, catalogue);
      } catch (const EFileError& e) {
        failed = true;
        EXPECT_EQ(std::string(e.what()), "Impossible de lire le fichier " + ini);
        EXPECT_EQ(e.Errno, EIO);
      }
    }
    if (!small.Fired()) break;
    ++tally.Faults;
    EXPECT_TRUE(failed) << "read #" << n;
    const bool widthRead = static_cast<std::size_t>(n - 1) * 64 > widthLineEnd;
    EXPECT_EQ(read.MainWidth, widthRead ? 1234 : 609) << "read #" << n << ": the lines before the failure stay applied";
  }
  tally.Report("EveryLoadFailingAtEachReadKeepsWholeRecords");
}

}  // namespace
}  // namespace kistora
