// kistora-cli export: the same bytes as the program's export, the options file
// of the folder, the file name and clock overrides, and every exit status.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_run.h"
#include "core_test_support.h"
#include "export_test_support.h"
#include "storage/database.h"

namespace kistora {
namespace {

using testing::AddChar;
using testing::AddItem;
using testing::CliRun;
using testing::Quote;
using testing::ReadBytes;
using testing::RunCaptured;
using testing::TempDir;
using testing::W;
using testing::WriteBytes;

// Runs "kistora-cli export ARGS" from the folder cwd, in the C locale.
CliRun RunExportCli(const std::string& cwd, const std::string& args) {
  return RunCaptured("cd " + Quote(cwd) + " && LC_ALL=C " + Quote(KISTORA_CLI_PATH) + " export " + args);
}

const std::string kNow = std::string("--now ") + testing::kFixedNowText;

class ExportCli : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& blade = AddItem<TD2Weapon>(catalogue, 1, W("Épée de Feu"), 4, 12, "<b>top</b>");
    blade.MinDmg = 3;
    blade.MaxDmg = 9;
    blade.MagicProps = {"+1"};
    AddItem<TD2Helm>(catalogue, 2, "Casque de Feu", 4, 0).Def = 4;
    AddItem<TD2Ring>(catalogue, 3, "Anneau", 5, 7);
    AddItem<TD2Jewel>(catalogue, 4, "Joyau", 1, 1);
    AddItem<TD2Charm>(catalogue, 9, "Charme libre", 0, 2);
    AddChar(catalogue, "Alice", {1, 3});
    AddChar(catalogue, "Bob", {2, 4, 4});
    SaveItems(catalogue, data.File("items.kdb"));
    SaveChars(catalogue, data.File("chars.kdb"));
  }

  TempDir data;
  TempDir work;
  TCatalogue catalogue;
};

TEST_F(ExportCli, WithoutOptionsFileWritesTheDesignedExportInTheCurrentFolder) {
  const CliRun run = RunExportCli(work.Path(), Quote(data.Path()) + " " + kNow);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "export.html\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ReadBytes(work.File("export.html")), testing::Export(ExportSettings(), catalogue));
}

TEST_F(ExportCli, FollowsTheOptionsFileAsTheProgramDoes) {
  WriteBytes(data.File("kistora.ini"),
             "exportformat        ascii\r\n"
             "expfilename         " +
                 work.File("liste.txt") +
                 "\r\n"
                 "expshowchars        selected\r\n"
                 "selectedchar        BOB\r\n"
                 "expshowprice        true\r\n"
                 "expsign             Moi\r\n"
                 "expsortby           price\r\n");
  const CliRun run = RunExportCli(data.Path(), Quote(data.Path()) + " " + kNow);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, work.File("liste.txt") + "\n");

  ExportSettings settings;
  settings.Format = ExportFormat::Ascii;
  settings.Scope = ExportScope::SelectedChar;
  settings.ShowPrice = true;
  settings.Sign = "Moi";
  settings.SortBy = ExportSort::Price;
  const std::string expected = testing::Export(settings, catalogue, 1);
  EXPECT_EQ(ReadBytes(work.File("liste.txt")), expected);
  EXPECT_NE(expected.find("Casque de Feu"), std::string::npos);
  EXPECT_EQ(expected.find("Anneau"), std::string::npos) << "Alice's items are not Bob's";
}

TEST_F(ExportCli, OutputReplacesTheStoredNameAndTheOldFileGoesToTheBackup) {
  WriteBytes(data.File("kistora.ini"), "exportformat ascii\r\nexpfilename elsewhere.txt\r\n");
  WriteBytes(work.File("mine.html"), "previous");
  const CliRun run = RunExportCli(work.Path(), Quote(data.Path()) + " --output mine.html " + kNow);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "mine.html\n");
  EXPECT_EQ(ReadBytes(work.File("mine.html.bak")), "previous");
  EXPECT_EQ(ReadBytes(work.File("mine.html")).rfind(W("Fichier généré le 12/06/26 à 17:55:03 par Kistora\r\n"), 0), 0u)
      << "the format stays the stored one whatever the extension";
  EXPECT_FALSE(std::filesystem::exists(work.File("elsewhere.txt")));
}

TEST_F(ExportCli, AccentedStoredNamesAreSpelledInUtf8OnDisk) {
  WriteBytes(data.File("kistora.ini"), "expfilename liste_\xE9t\xE9.html\r\n");
  const CliRun run = RunExportCli(work.Path(), Quote(data.Path()) + " " + kNow);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "liste_\xC3\xA9t\xC3\xA9.html\n");
  EXPECT_TRUE(std::filesystem::exists(work.File("liste_\xC3\xA9t\xC3\xA9.html")));
}

TEST_F(ExportCli, SelectedScopeWithoutSelectedCharacterWritesNothing) {
  WriteBytes(data.File("kistora.ini"), "expshowchars selected\r\nselectedchar Nobody\r\n");
  const CliRun run = RunExportCli(work.Path(), Quote(data.Path()) + " " + kNow);
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("aucun personnage n'est s\xC3\xA9lectionn\xC3\xA9"), std::string::npos) << run.err;
  EXPECT_TRUE(std::filesystem::is_empty(work.Path()));
}

TEST_F(ExportCli, AFileThatCannotBeWrittenExitsWithTwoAndTheMessage) {
  WriteBytes(work.File("plain"), "x");
  CliRun run = RunExportCli(work.Path(), Quote(data.Path()) + " --output plain/list.html " + kNow);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "kistora-cli : plain/list.html : Nom de fichier incorrect.\n");
  run = RunExportCli(work.Path(), Quote(data.Path()) + " --output missing/list.html " + kNow);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "kistora-cli : missing/list.html : Fichier introuvable.\n");
}

TEST_F(ExportCli, UnreadableDatabasesAreRefused) {
  std::filesystem::remove(data.File("chars.kdb"));
  const CliRun run = RunExportCli(work.Path(), Quote(data.Path()) + " " + kNow);
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("chars.kdb"), std::string::npos) << run.err;
  EXPECT_TRUE(std::filesystem::is_empty(work.Path()));
}

TEST_F(ExportCli, AnUnreadableOptionsFileIsReportedAndTheDesignedValuesUsed) {
  std::filesystem::create_directory(data.File("kistora.ini"));
  const CliRun run = RunExportCli(work.Path(), Quote(data.Path()) + " " + kNow);
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.err.find("Impossible de lire le fichier"), std::string::npos) << run.err;
  EXPECT_EQ(ReadBytes(work.File("export.html")), testing::Export(ExportSettings(), catalogue));
}

TEST_F(ExportCli, UsageErrorsExitWith64AndWriteNothing) {
  const std::string dir = Quote(data.Path());
  for (const std::string& args :
       {dir + " " + dir, dir + " --data-dir " + dir, dir + " --output", dir + " --now", dir + " --verbose",
        dir + " --now 2026-02-29T10:00:00", dir + " --now 2026-12-06", dir + " --now '2026-12-06 17:55:03'",
        dir + " --now 2026-12-06T24:00:00", dir + " --now 2026-13-01T00:00:00", dir + " --output ''",
        dir + " --output a " + kNow + " --output b", dir + " --output " + Quote("\xE4\xB8\xAD.html"),
        dir + " --format bbcodes", dir + " --format", dir + " - --output x"}) {
    const CliRun run = RunExportCli(work.Path(), args);
    EXPECT_EQ(run.status, 64) << args;
    EXPECT_EQ(run.out, "") << args;
    EXPECT_NE(run.err.find("Usage : kistora-cli export [DOSSIER]"), std::string::npos) << args << "\n" << run.err;
  }
  EXPECT_TRUE(std::filesystem::is_empty(work.Path()));
}

TEST_F(ExportCli, FormatsToPasteGoToStandardOutputAndOnlyTheNewItemsTheSecondTime) {
  const std::string args = Quote(data.Path()) + " --format bbcode --new-only --output - " + kNow;
  CliRun run = RunExportCli(work.Path(), args);
  EXPECT_EQ(run.status, 0) << run.err;
  ExportSettings settings;
  settings.Format = ExportFormat::BBCode;
  EXPECT_EQ(run.out, testing::Export(settings, catalogue)) << "the list itself, nothing else";
  EXPECT_NE(run.out.find("[*][color=#8B6508][b]Anneau[/b][/color]"), std::string::npos) << run.out;
  EXPECT_TRUE(std::filesystem::is_empty(work.Path()));

  run = RunExportCli(work.Path(), Quote(data.Path()) + " - --format bbcode --new-only " + kNow);  // "-" alone
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("[b]")) << run.out;
  EXPECT_EQ(run.out.find("[*]"), std::string::npos) << "nothing new since: " << run.out;

  // Without --output the stored name takes the format's extension, as a click on its button gives it.
  run = RunExportCli(work.Path(), Quote(data.Path()) + " --format markdown " + kNow);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "export.md\n");
  EXPECT_TRUE(ReadBytes(work.File("export.md")).starts_with("# Inventaire de Diablo II - Liste de trade\r\n"));
}

TEST_F(ExportCli, ALeapDayIsAValidClock) {
  const CliRun run = RunExportCli(work.Path(), Quote(data.Path()) + " --now 2028-02-29T00:00:00 --output l.html");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(ReadBytes(work.File("l.html")).find("<I>Derni\xE8re mise \xE0 jour le Tuesday 29 February</I>"),
            std::string::npos);
}

}  // namespace
}  // namespace kistora
