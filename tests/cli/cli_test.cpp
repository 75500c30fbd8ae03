// kistora-cli: its command line (--version, --help per command, the default
// folder), check, dump and resave (exit statuses, output, only resave of two
// clean files ever writes anything), csv, import-csv, restore and find.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>

#include "cli_run.h"
#include "core_test_support.h"
#include "fuzz/catalogue_diff.h"
#include "storage/daily_backups.h"
#include "storage/data_folder_lock.h"
#include "storage/database.h"
#include "storage/items_csv.h"

namespace kistora {
namespace {

using namespace testing;

// Runs kistora-cli in the C locale, with the variables of environment ("NAME=value ...") only.
CliRun RunCli(const std::string& args, const std::string& environment = "") {
  return RunCaptured("env -u KISTORA_DATA_DIR LC_ALL=C " + environment + " " + Quote(KISTORA_CLI_PATH) + " " + args);
}

// Every file of the folder with its bytes and modification time (but the lock
// file, which a writer creates empty before it reads anything).
std::map<std::string, std::pair<std::string, long long>> Snapshot(const TempDir& dir) {
  std::map<std::string, std::pair<std::string, long long>> files;
  for (const std::string& name : dir.Entries()) {
    if (name == "kistora.lock") continue;
    struct stat info {};
    ::stat(dir.File(name).c_str(), &info);
    files[name] = {ReadBytes(dir.File(name)), info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec};
  }
  return files;
}

void SaveSample(const TempDir& dir) {
  TCatalogue c;
  c.ItemList.push_back(ExampleRing());
  auto& shield = AddItem<TD2Shield>(c, 6,
                                    "Bouclier \"d\xE9"
                                    "fi\"",
                                    0, 0, "ligne 1\r\nligne\t2 \\ \x80");
  shield.Def = 40;
  shield.Parade = 20;
  auto& axe = AddItem<TD2Weapon>(c, -7);
  axe.MinDmg = 3;
  axe.MaxDmg = 11;
  axe.Speed = 4;
  AddPaladin(c, "Zo\xE9", {5, 5, 6}, "42");
  AddChar(c, "");
  SaveItems(c, dir.File("items.kdb"));
  SaveChars(c, dir.File("chars.kdb"));
}

TEST(CliUsage, WrongCommandLinesExitWith64) {
  TempDir dir;
  SaveSample(dir);
  const std::string d = Quote(dir.Path());
  const std::vector<std::string> commandLines = {"",
                                                 "frobnicate " + d,
                                                 "check " + d + " extra",
                                                 "check ''",
                                                 "dump --bogus",
                                                 "resave --data-dir",
                                                 "check " + d + " --data-dir " + d,
                                                 "import-csv",
                                                 "csv --output ''"};
  for (const std::string& args : commandLines) {
    SCOPED_TRACE(args);
    const CliRun run = RunCli(args);
    EXPECT_EQ(run.status, 64);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(run.err.find("Usage : kistora-cli"), std::string::npos);
  }
}

TEST(CliUsage, VersionAndHelpOfEachCommand) {
  EXPECT_EQ(RunCli("--version").out, "kistora-cli " KISTORA_VERSION "\n");
  const CliRun help = RunCli("--help");
  EXPECT_EQ(help.status, 0);
  for (const char* command : {"check", "dump", "resave", "export", "csv", "import-csv", "stats", "restore"}) {
    SCOPED_TRACE(command);
    EXPECT_NE(help.out.find(std::string("\n  ") + command + " "), std::string::npos);
    // "--help" after a command is that command's help, never a folder named "--help".
    for (const char* form : {" --help", " -h", " some/dir --help"}) {
      const CliRun run = RunCli(command + std::string(form));
      EXPECT_EQ(run.status, 0) << form;
      EXPECT_EQ(run.out.rfind(std::string("Usage : kistora-cli ") + command + " [DOSSIER]", 0), 0u) << run.out;
      EXPECT_EQ(run.err, "");
    }
  }
}

TEST(CliUsage, WithoutDirTheDataFolderRuleChooses) {
  TempDir dir;
  SaveSample(dir);
  const std::string expected = RunCli("check " + Quote(dir.Path())).out;
  ASSERT_NE(expected.find("3 objets"), std::string::npos) << expected;
  EXPECT_EQ(RunCli("check", "KISTORA_DATA_DIR=" + Quote(dir.Path())).out, expected);
  EXPECT_EQ(RunCli("check --data-dir " + Quote(dir.Path())).out, expected);
  // Run from its build folder, it looks beside itself, where there is no database.
  const CliRun beside = RunCli("check");
  EXPECT_EQ(beside.status, 2);
  EXPECT_NE(beside.err.find("impossible d'ouvrir "), std::string::npos) << beside.err;
}

// The sample: a magic ring (100) held twice by Zoé, a shield (0) she holds once, an axe (0) nobody holds.
TEST(CliStats, JsonOfTheWholeDatabase) {
  TempDir dir;
  SaveSample(dir);
  const CliRun run = RunCli("stats " + Quote(dir.Path()) + " --json");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  const auto group = [](const char* label, int items, int value) {
    return std::string("    {\"label\": \"") + label + "\", \"items\": " + std::to_string(items) +
           ", \"value\": " + std::to_string(value) + "}";
  };
  std::string expected =
      "{\n  \"items\": 3,\n  \"value\": 100,\n  \"mean_price\": 33,\n  \"highest_price\": 100,\n"
      "  \"price_zero\": 2,\n  \"by_quality\": [\n";
  for (const char* quality : {"Unique", "Set", "Crafted", "Rare"}) expected += group(quality, 0, 0) + ",\n";
  expected += group("Magique", 1, 100) + ",\n" + group("Normal", 2, 0) + "\n  ],\n  \"by_category\": [\n";
  expected += group("Amulette", 0, 0) + ",\n" + group("Anneau", 1, 100) + ",\n" + group("Arme", 1, 0) + ",\n";
  for (const char* category : {"Armure", "Bottes"}) expected += group(category, 0, 0) + ",\n";
  expected += group("Bouclier", 1, 0) + ",\n";
  for (const char* category : {"Casque", "Ceinture", "Charme", "Gants"}) expected += group(category, 0, 0) + ",\n";
  expected += group("Joyau", 0, 0) + "\n  ],\n  \"by_character\": [\n" + group("Zo\xC3\xA9", 3, 200) + ",\n" +
              group("", 0, 0) + "\n  ],\n  \"held_by_nobody\": {\"items\": 1, \"value\": 0}\n}\n";
  EXPECT_EQ(run.out, expected);
}

TEST(CliCheck, ReportsEachFileAndItsStatus) {
  TempDir dir;
  SaveSample(dir);
  CliRun run = RunCli("check " + Quote(dir.Path()));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(
      run.out,
      "items.kdb : r\xC3\xA9sultat 0 (correct), 3 objets\nchars.kdb : r\xC3\xA9sultat 0 (correct), 2 personnages\n");
  EXPECT_EQ(run.err, "");

  // A trailing slash on DIR changes nothing.
  EXPECT_EQ(RunCli("check " + Quote(dir.Path() + "/")).out, run.out);

  // Damaged: a record magic is wrong.
  std::string items = ReadBytes(dir.File("items.kdb"));
  items[12] = 'X';
  WriteBytes(dir.File("items.kdb"), items);
  run = RunCli("check " + Quote(dir.Path()));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("items.kdb : r\xC3\xA9sultat 3 (endommag\xC3\xA9"), std::string::npos);

  // Not a database at all.
  WriteBytes(dir.File("items.kdb"), "hello");
  run = RunCli("check " + Quote(dir.Path()));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("items.kdb : r\xC3\xA9sultat 1 "), std::string::npos);

  // Unknown version.
  WriteBytes(dir.File("items.kdb"), "DBIL" + Int32(2) + Int32(0));
  EXPECT_EQ(RunCli("check " + Quote(dir.Path())).status, 1);

  // Missing: status 2 even when the other file is damaged, and the reason on stderr.
  ::unlink(dir.File("chars.kdb").c_str());
  run = RunCli("check " + Quote(dir.Path()));
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "kistora-cli : impossible d'ouvrir " + dir.File("chars.kdb") + " : No such file or directory\n");
  EXPECT_EQ(RunCli("check " + Quote(dir.File("no-such-folder"))).status, 2);
}

TEST(CliCheck, CheckAndDumpWriteNothing) {
  TempDir dir;
  SaveSample(dir);
  std::string items = ReadBytes(dir.File("items.kdb"));
  items.resize(items.size() - 3);  // a cut file must not be "repaired" by reading it
  WriteBytes(dir.File("items.kdb"), items);
  const auto before = Snapshot(dir);
  EXPECT_EQ(RunCli("check " + Quote(dir.Path())).status, 1);
  EXPECT_EQ(RunCli("dump " + Quote(dir.Path())).status, 1);
  EXPECT_EQ(Snapshot(dir), before);
}

TEST(CliDump, PrintsTheCatalogueAsJsonInUtf8) {
  TempDir dir;
  SaveSample(dir);
  const CliRun run = RunCli("dump " + Quote(dir.Path()));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "{\"items_result\": 0, \"chars_result\": 0, \"items\": [\n"
            "  {\"index\": 5, \"class\": \"TD2Ring\", \"name\": \"Bague\", \"notes\": \"\", \"quality\": 1, "
            "\"price\": 100, \"clvl\": 12, \"str\": 0, \"dex\": 0, \"dur\": 0, \"maxdur\": 0, "
            "\"magicprops\": [\"+10 Force\"]},\n"
            "  {\"index\": 6, \"class\": \"TD2Shield\", \"name\": \"Bouclier \\\"d\xC3\xA9"
            "fi\\\"\", "
            "\"notes\": \"ligne 1\\r\\nligne\\t2 \\\\ \xE2\x82\xAC\", \"quality\": 0, \"price\": 0, \"clvl\": 0, "
            "\"str\": 0, \"dex\": 0, \"dur\": 0, \"maxdur\": 0, \"magicprops\": [], \"def\": 40, \"parade\": 20},\n"
            "  {\"index\": -7, \"class\": \"TD2Weapon\", \"name\": \"\", \"notes\": \"\", \"quality\": 0, "
            "\"price\": 0, \"clvl\": 0, \"str\": 0, \"dex\": 0, \"dur\": 0, \"maxdur\": 0, \"magicprops\": [], "
            "\"mindmg\": 3, \"maxdmg\": 11, \"speed\": 4}\n"
            "], \"characters\": [\n"
            "  {\"name\": \"Zo\xC3\xA9\", \"account\": \"compte\", \"class\": \"Paladin\", \"level\": \"42\", "
            "\"notes\": \"\", \"items\": [5, 5, 6]},\n"
            "  {\"name\": \"\", \"account\": \"\", \"class\": \"\", \"level\": \"\", \"notes\": \"\", \"items\": []}\n"
            "]}\n");
}

TEST(CliDump, AFileThatCannotBeOpenedHasANullResult) {
  TempDir dir;
  SaveSample(dir);
  ::unlink(dir.File("items.kdb").c_str());
  WriteBytes(dir.File("chars.kdb"), std::string("DBCL") + Int32(1) + Int32(0));
  const CliRun run = RunCli("dump " + Quote(dir.Path()));
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "{\"items_result\": null, \"chars_result\": 0, \"items\": [], \"characters\": []}\n");
  EXPECT_NE(run.err.find("impossible d'ouvrir " + dir.File("items.kdb")), std::string::npos);
}

TEST(CliResave, CleanFilesComeBackByteForByte) {
  TempDir dir;
  SaveSample(dir);
  const std::string items = ReadBytes(dir.File("items.kdb"));
  const std::string chars = ReadBytes(dir.File("chars.kdb"));
  const CliRun run = RunCli("resave " + Quote(dir.Path()));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ReadBytes(dir.File("items.kdb")), items);
  EXPECT_EQ(ReadBytes(dir.File("chars.kdb")), chars);
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{"backups", "chars.kdb", "items.kdb", "kistora.lock"}));
  // The first write of the day kept the files as they were.
  const std::string today = LocalDateToday();
  EXPECT_EQ(TempDir::Entries(dir.File("backups")),
            (std::set<std::string>{"chars-" + today + ".kdb", "items-" + today + ".kdb"}));
  EXPECT_EQ(ReadBytes(dir.File("backups/items-" + today + ".kdb")), items);
  EXPECT_EQ(ReadBytes(dir.File("backups/chars-" + today + ".kdb")), chars);
}

TEST(CliResave, RefusedWithItsOwnStatusWhileTheProgramHoldsTheFolder) {
  TempDir dir;
  SaveSample(dir);
  const auto before = Snapshot(dir);
  {
    DataFolderLock program;
    ASSERT_EQ(program.TryAcquire(dir.Path()).State, LockState::Held);
    // A sync tool replacing kistora.lock by a rename takes nothing away.
    WriteBytes(dir.File(".incoming"), "4242 portable\n");
    ASSERT_EQ(::rename(dir.File(".incoming").c_str(), dir.File("kistora.lock").c_str()), 0);
    const CliRun run = RunCli("resave " + Quote(dir.Path()));
    EXPECT_EQ(run.status, 75);
    EXPECT_EQ(run.err, "kistora-cli : " + dir.Path() + " est utilis\xC3\xA9 par Kistora (processus " +
                           std::to_string(::getpid()) +
                           ") ; resave refus\xC3\xA9, rien n'a \xC3\xA9t\xC3\xA9 \xC3\xA9"
                           "crit\n");
    // import-csv writes too: refused the same way, before it reads anything.
    WriteBytes(dir.File("new.csv"), ItemsToCsv(TCatalogue()));
    EXPECT_EQ(RunCli("import-csv " + Quote(dir.Path()) + " " + Quote(dir.File("new.csv"))).status, 75);
    std::filesystem::remove(dir.File("new.csv"));
    EXPECT_EQ(Snapshot(dir), before);
    // Readers take no lock.
    EXPECT_EQ(RunCli("check " + Quote(dir.Path())).status, 0);
    EXPECT_EQ(RunCli("dump " + Quote(dir.Path())).status, 0);
  }
  EXPECT_EQ(RunCli("resave " + Quote(dir.Path())).status, 0) << "the program has gone";
}

TEST(CliResave, RemovesOnlyTheTemporariesOfKilledSaves) {
  TempDir dir;
  SaveSample(dir);
  ASSERT_EQ(::mkdir(dir.File("backups").c_str(), 0777), 0);
  for (const char* litter : {".kistora-a1B2c3D4e5.tmp", ".kistora-Qw3rty.tmp", "backups/.kistora-0123456789.bak.tmp"})
    WriteBytes(dir.File(litter), "half a save");
  for (const char* other : {"kistora.tmp", ".kistora-short.tmp", "notes.tmp", "backups/mine.txt"})
    WriteBytes(dir.File(other), "the player's");
  ASSERT_EQ(RunCli("resave " + Quote(dir.Path())).status, 0);
  EXPECT_EQ(dir.Entries(), (std::set<std::string>{".kistora-short.tmp", "backups", "chars.kdb", "items.kdb",
                                                  "kistora.lock", "kistora.tmp", "notes.tmp"}));
  EXPECT_EQ(TempDir::Entries(dir.File("backups")).count("mine.txt"), 1u);
  EXPECT_EQ(TempDir::Entries(dir.File("backups")).count(".kistora-0123456789.bak.tmp"), 0u);
}

TEST(CliCheck, ChecksTheBackupsOfADay) {
  TempDir dir;
  SaveSample(dir);
  ASSERT_EQ(RunCli("resave " + Quote(dir.Path())).status, 0);
  const std::string today = LocalDateToday();
  const CliRun run = RunCli("check " + Quote(dir.File("backups")) + " --date " + today);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "items-" + today + ".kdb : r\xC3\xA9sultat 0 (correct), 3 objets\nchars-" + today +
                         ".kdb : r\xC3\xA9sultat 0 (correct), 2 personnages\n");
  EXPECT_EQ(RunCli("check " + Quote(dir.File("backups")) + " --date 2001-01-01").status, 2) << "no such day";
  EXPECT_EQ(RunCli("check " + Quote(dir.File("backups")) + " --date 2001-13-01").status, 64);
  EXPECT_EQ(RunCli("check " + Quote(dir.File("backups")) + " --date").status, 64);
}

TEST(CliResave, RefusesUnlessBothLoadCleanly) {
  TempDir dir;
  SaveSample(dir);
  // Damaged item file: a count larger than the records present.
  std::string items = ReadBytes(dir.File("items.kdb"));
  items.replace(8, 4, Int32(4));
  WriteBytes(dir.File("items.kdb"), items);
  auto before = Snapshot(dir);
  CliRun run = RunCli("resave " + Quote(dir.Path()));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("rien n'a \xC3\xA9t\xC3\xA9 \xC3\xA9"
                         "crit"),
            std::string::npos);
  EXPECT_EQ(Snapshot(dir), before);

  // Missing character file: nothing is created.
  SaveSample(dir);
  ::unlink(dir.File("chars.kdb").c_str());
  before = Snapshot(dir);
  run = RunCli("resave " + Quote(dir.Path()));
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(Snapshot(dir), before);
}

TEST(CliRestore, PutsBackADayReadWholeAndNeverWhileTheProgramRuns) {
  TempDir dir;
  SaveSample(dir);
  ASSERT_EQ(RunCli("resave " + Quote(dir.Path())).status, 0);  // today's backup: the sample
  const std::string today = LocalDateToday();
  const std::string backup = ReadBytes(dir.File("backups/items-" + today + ".kdb"));
  TCatalogue now;
  AddItem(now, 5, "Bague", 2, 300);
  SaveItems(now, dir.File("items.kdb"));
  // A damaged day, listed but refused.
  WriteBytes(dir.File("backups/items-2001-01-01.kdb"), backup.substr(0, backup.size() - 3));
  WriteBytes(dir.File("backups/chars-2001-01-01.kdb"), ReadBytes(dir.File("chars.kdb")));
  const auto databases = [&] { return ReadBytes(dir.File("items.kdb")) + ReadBytes(dir.File("chars.kdb")); };
  const std::string before = databases();
  const std::string restore = "restore " + Quote(dir.Path()) + " --date ";

  CliRun run = RunCli(restore + today + " --dry-run");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("objets : 2 ajout\xC3\xA9s, 0 supprim\xC3\xA9, 1 modifi\xC3\xA9\n"
                         "personnages : 0 ajout\xC3\xA9, 0 supprim\xC3\xA9, 0 modifi\xC3\xA9\n"),
            std::string::npos)
      << run.out;
  // Then what would change, by name.
  EXPECT_NE(run.out.find("Objets modifi\xC3\xA9s (1) :\n  5 \xC2\xAB\xC2\xA0"
                         "Bague\xC2\xA0\xC2\xBB\n"),
            std::string::npos)
      << run.out;
  run = RunCli(restore + "2001-01-01");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("endommag\xC3\xA9"
                         "e ; rien n'a \xC3\xA9t\xC3\xA9 restaur\xC3\xA9"),
            std::string::npos)
      << run.err;
  EXPECT_EQ(RunCli(restore + "2001-01-02").status, 2) << "no backup that day";
  {
    DataFolderLock program;
    ASSERT_EQ(program.TryAcquire(dir.Path()).State, LockState::Held);
    EXPECT_EQ(RunCli(restore + today).status, 75);
  }
  EXPECT_EQ(databases(), before);

  run = RunCli(restore + today);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadBytes(dir.File("items.kdb")), backup);
}

TEST(CliCsv, WritesTheItemDatabaseOnStandardOutputOrIntoAFile) {
  TempDir dir;
  SaveSample(dir);
  TCatalogue c;
  LoadItems(c, dir.File("items.kdb"));
  const CliRun run = RunCli("csv " + Quote(dir.Path()));
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, ItemsToCsv(c));
  EXPECT_EQ(RunCli("csv " + Quote(dir.Path()) + " --output " + Quote(dir.File("objets.csv"))).status, 0);
  EXPECT_EQ(ReadBytes(dir.File("objets.csv")), run.out);

  // A folder with no item database yet holds an empty catalogue: its columns.
  TempDir empty;
  const CliRun header = RunCli("csv " + Quote(empty.Path()));
  EXPECT_EQ(header.status, 0) << header.err;
  EXPECT_EQ(header.out, ItemsToCsv(TCatalogue()));
  EXPECT_NE(header.err.find("n'existe pas encore"), std::string::npos) << header.err;
  EXPECT_EQ(RunCli("csv " + Quote(empty.File("absent"))).status, 2);
}

TEST(CliFind, ListsWhatTheSearchFindsAndSaysSoInItsStatus) {
  TempDir dir;
  SaveSample(dir);
  const std::string d = Quote(dir.Path());
  struct Case {
    std::string args;
    int status;
    std::string out;
  };
  const std::vector<Case> cases = {
      {d + " '\"force\">=10'", 0, "5\tBague\tMagique\t100\n"},  // quoted: the line "+10 Force", not the field
      {d + " 'force>=10'", 1, ""},
      {d + " 'niveau<20' 'prix 0..100'", 0,
       "-7\t\tNormal\t0\n5\tBague\tMagique\t100\n6\tBouclier \"défi\"\tNormal\t0\n"},
      {"--data-dir " + d + " 'def>=40' perso:zoe", 0, "6\tBouclier \"défi\"\tNormal\t0\n"},
      {d + " zzz", 1, ""},
      {d + " 'def>='", 65, ""},
      {d, 64, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const CliRun run = RunCli("find " + c.args);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, c.out);
  }
  EXPECT_NE(RunCli("find " + d + " 'def>='").err.find("condition illisible : « def>= » : il manque un nombre"),
            std::string::npos);
  const CliRun nobody = RunCli("find " + d + " perso:zoe01");
  EXPECT_EQ(nobody.status, 1);
  EXPECT_NE(nobody.err.find("« perso:zoe01 » : aucun perso ne porte ce nom ; le plus proche : « Zoé »"),
            std::string::npos)
      << nobody.err;

  const CliRun json = RunCli("find " + d + " 'prix>=0' --json");
  EXPECT_EQ(json.status, 0);
  EXPECT_EQ(json.out,
            "[{\"index\": -7, \"name\": \"\", \"category\": \"Arme\", \"quality\": \"Normal\", \"price\": 0, "
            "\"heldBy\": []},\n"
            " {\"index\": 5, \"name\": \"Bague\", \"category\": \"Anneau\", \"quality\": \"Magique\", \"price\": 100, "
            "\"heldBy\": [{\"name\": \"Zoé\", \"count\": 2}]},\n"
            " {\"index\": 6, \"name\": \"Bouclier \\\"défi\\\"\", \"category\": \"Bouclier\", \"quality\": "
            "\"Normal\", \"price\": 0, \"heldBy\": [{\"name\": \"Zoé\", \"count\": 1}]}]\n");
}

TEST(CliImportCsv, RoundTripIntoAnEmptyFolderAndDryRun) {
  TempDir source;
  SaveSample(source);
  WriteBytes(source.File("objets.csv"), RunCli("csv " + Quote(source.Path())).out);
  TempDir target;
  const std::string args = Quote(target.Path()) + " " + Quote(source.File("objets.csv"));

  CliRun run = RunCli("import-csv " + args + " --dry-run");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("ajouterait n\xC2\xB0 1 : Bague (Anneau)"), std::string::npos) << run.out;
  EXPECT_TRUE(target.Entries().empty()) << "a dry run writes nothing";

  run = RunCli("import-csv " + args);
  EXPECT_EQ(run.status, 0) << run.err;
  // Both databases, so that the program's next start finds the catalogue whole.
  TCatalogue characters;
  EXPECT_EQ(LoadChars(characters, target.File("chars.kdb")), kLoadOk);
  EXPECT_TRUE(characters.CharList.empty());
  TCatalogue original, imported;
  LoadItems(original, source.File("items.kdb"));
  ASSERT_EQ(LoadItems(imported, target.File("items.kdb")), kLoadOk);
  ASSERT_EQ(imported.ItemList.size(), original.ItemList.size());
  for (std::size_t i = 0; i < original.ItemList.size(); ++i) {
    EXPECT_EQ(imported.ItemList[i]->Index, static_cast<std::int32_t>(i + 1));
    imported.ItemList[i]->Index = original.ItemList[i]->Index;
    EXPECT_EQ(check::ItemDifference(*imported.ItemList[i], *original.ItemList[i]), "") << i;
  }
}

TEST(CliImportCsv, NewNumbersStayClearOfEveryNumberInUse) {
  TempDir dir;
  SaveSample(dir);  // items 5, 6, -7; Zo\xE9 holds 5, 5, 6
  TCatalogue c;
  LoadChars(c, dir.File("chars.kdb"));
  c.CharList[0]->Items.push_back(50);  // an item lost from an older items.kdb
  SaveChars(c, dir.File("chars.kdb"));
  WriteBytes(dir.File("un.csv"), RunCli("csv " + Quote(dir.Path())).out);
  EXPECT_EQ(RunCli("import-csv " + Quote(dir.Path()) + " " + Quote(dir.File("un.csv"))).status, 0);
  TCatalogue after;
  LoadItems(after, dir.File("items.kdb"));
  ASSERT_EQ(after.ItemList.size(), 6u);
  EXPECT_EQ(after.ItemList[3]->Index, 51);
  WriteBytes(dir.File("kistora.ini"), "lastitemindex 90\r\n");
  EXPECT_EQ(RunCli("import-csv " + Quote(dir.File("un.csv")), "KISTORA_DATA_DIR=" + Quote(dir.Path())).status, 0);
  LoadItems(after, dir.File("items.kdb"));
  ASSERT_EQ(after.ItemList.size(), 9u);
  EXPECT_EQ(after.ItemList[6]->Index, 91);
}

TEST(CliImportCsv, TheDaysBackupIsMadeFirstAndTheCharactersAreLeftAlone) {
  TempDir dir;
  SaveSample(dir);
  const std::string itemsBefore = ReadBytes(dir.File("items.kdb"));
  const std::string charsBefore = ReadBytes(dir.File("chars.kdb"));
  WriteBytes(dir.File("un.csv"), RunCli("csv " + Quote(dir.Path())).out);
  const CliRun run = RunCli("import-csv " + Quote(dir.Path()) + " " + Quote(dir.File("un.csv")));
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string backups = BackupsFolderOf(dir.Path()) + "/";
  EXPECT_EQ(ReadBytes(backups + BackupFileName("items.kdb", LocalDateToday())), itemsBefore);
  EXPECT_EQ(ReadBytes(backups + BackupFileName("chars.kdb", LocalDateToday())), charsBefore);
  EXPECT_NE(ReadBytes(dir.File("items.kdb")), itemsBefore);
  EXPECT_EQ(ReadBytes(dir.File("chars.kdb")), charsBefore);
}

TEST(CliImportCsv, BadLinesAreAllReportedAndNothingIsAdded) {
  TempDir dir;
  SaveSample(dir);
  std::string csv = RunCli("csv " + Quote(dir.Path())).out;
  csv += "9,\"Cape\",\"x\",\"\",\"\",0,0,0,0,0,0,,,,,,\r\n";       // line 6 (the shield's notes take two)
  csv += "9,\"Anneau\",\"x\",\"\",\"\",cent,0,0,0,0,0,,,,,,\r\n";  // line 7
  WriteBytes(dir.File("mauvais.csv"), csv);
  const auto before = Snapshot(dir);
  const CliRun run = RunCli("import-csv " + Quote(dir.Path()) + " " + Quote(dir.File("mauvais.csv")));
  EXPECT_EQ(run.status, 65);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find(dir.File("mauvais.csv") + ":6 : cat\xC3\xA9gorie inconnue"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(dir.File("mauvais.csv") + ":7 : colonne Prix estim\xC3\xA9"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("2 erreur(s) ; rien n'a \xC3\xA9t\xC3\xA9 ajout\xC3\xA9"), std::string::npos) << run.err;
  EXPECT_EQ(Snapshot(dir), before);

  // A damaged item database is not made final by an import either.
  std::string items = ReadBytes(dir.File("items.kdb"));
  items[12] = 'X';
  WriteBytes(dir.File("items.kdb"), items);
  WriteBytes(dir.File("bon.csv"), ItemsToCsv(TCatalogue()) + "1,\"Anneau\",\"x\",\"\",\"\",,,,,,,,,,,,\r\n");
  const auto damaged = Snapshot(dir);
  EXPECT_EQ(RunCli("import-csv " + Quote(dir.Path()) + " " + Quote(dir.File("bon.csv"))).status, 1);
  EXPECT_EQ(Snapshot(dir), damaged);
}

}  // namespace
}  // namespace kistora
