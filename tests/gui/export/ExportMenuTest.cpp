// "Exporter..." from the main window's menu: the same bytes as kistora-cli
// export for the same files, and what happens on cancel, without a selected
// character, on failure and with or without "Afficher le résultat".
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <fstream>

#include "GuiTestSupport.h"
#include "app/Windows.h"
#include "export/ExportUnit.h"
#include "export_test_support.h"
#include "mainwindow/MainUnit.h"

using namespace kistora;
using namespace kistora::testing;

namespace {

// Starts the program on env's folder with ExportCatalogue and the fixed clock.
struct ExportProgram {
  explicit ExportProgram(GuiTestEnvironment& env) {
    env.WriteDatabases(ExportCatalogue());
    program = std::make_unique<ScopedProgram>();
    program->ShowMain();
    Windows().ExportWin->Now = FixedLocalNow;
  }
  TMain& Main() const { return program->Main(); }
  TExportWin& Dialog() const { return *Windows().ExportWin; }

  // Chooses "Exporter..." in the menu; set() works on the dialog once it shows,
  // then OK (or "Annuler") closes it.
  template <class Set>
  void Export(Set set, bool ok = true) const {
    TExportWin& dialog = Dialog();
    auto answer = AnswerNextModal([&](QDialog*) {
      set(dialog);
      (ok ? dialog.OK : dialog.Cancel)->click();
    });
    Main().ExportInv->trigger();
    EXPECT_TRUE(answer->Answered());
  }

  std::unique_ptr<ScopedProgram> program;
};

// kistora-cli export on dir, writing output at the fixed time; its exit status.
int RunCli(const std::string& dir, const std::string& output) {
  QProcess cli;
  cli.start(QStringLiteral(KISTORA_CLI_PATH), {"export", QString::fromStdString(dir), "--output",
                                               QString::fromStdString(output), "--now", kFixedNowText});
  if (!cli.waitForFinished(30000)) return -1;
  if (cli.exitStatus() != QProcess::NormalExit) return -2;
  return cli.exitCode();
}

}  // namespace

class ExportMatchesCli : public ::testing::TestWithParam<int> {};

TEST_P(ExportMatchesCli, SameBytesForTheSameFiles) {
  GuiTestEnvironment env;
  const std::string guiPath = env.Path("fen\xC3\xAAtre.out");  // "fenêtre": a UTF-8 name on disk
  const std::string cliPath = env.Path("cli.out");
  ExportSettings settings;
  int selectedRow = -1;
  switch (GetParam()) {
    case 0:  // the designed settings with the price column and highlighting
      settings.ShowPrice = true;
      settings.IIPrice = 50;
      settings.IICol = 0xD9D9FF;
      settings.Sign = "Sign\xE9: moi";
      break;
    case 1:  // the plain-text list of the selected character, by price
      settings.Format = ExportFormat::Ascii;
      settings.Scope = ExportScope::SelectedChar;
      settings.SortBy = ExportSort::Price;
      settings.ShowPrice = true;
      selectedRow = 0;
      break;
    default:  // every known item, unsorted, no script, no date, no border
      settings = OddExportSettings();
      settings.Format = ExportFormat::Html;
      settings.Scope = ExportScope::AllItems;
      settings.ShowUniques = settings.ShowSets = settings.ShowRares = true;
      settings.ShowCrafted = settings.ShowMagics = settings.ShowNormals = true;
      settings.SortBy = ExportSort::None;
      settings.TrierSets = true;
      settings.CopyToClipboard = settings.NewOnly = false;
      break;
  }
  settings.DoShellExec = true;
  {
    ExportProgram program(env);
    program.Main().SelectCharRow(selectedRow);
    program.Export([&](TExportWin& d) {
      d.SetSettings(settings);
      d.FileName->setText(QString::fromStdString(guiPath));
    });
    EXPECT_TRUE(env.Messages.Shown.empty());
    EXPECT_EQ(env.Shell.Opened, QStringList({QString::fromStdString(guiPath)}));
    ASSERT_TRUE(program.Main().close());  // the options file now holds the dialog's settings
  }
  ASSERT_EQ(RunCli(env.DataDir(), cliPath), 0);
  const std::string gui = ReadBytes(guiPath);
  ASSERT_FALSE(gui.empty());
  EXPECT_TRUE(gui.starts_with(settings.Format == ExportFormat::Html ? "<! Fichier g\xE9n\xE9r\xE9 le "
                                                                    : "Fichier g\xE9n\xE9r\xE9 le "));
  EXPECT_TRUE(gui.ends_with("\r\n"));
  EXPECT_EQ(gui, ReadBytes(cliPath));
}

INSTANTIATE_TEST_SUITE_P(Settings, ExportMatchesCli, ::testing::Values(0, 1, 2));

TEST(ExportMenu, CancelWritesNothing) {
  GuiTestEnvironment env;
  ExportProgram program(env);
  program.Export([&](TExportWin& d) { d.FileName->setText(QString::fromStdString(env.Path("liste.html"))); }, false);
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(env.Path("liste.html"))));
  EXPECT_TRUE(env.Messages.Shown.empty());
  EXPECT_TRUE(env.Shell.Opened.isEmpty());
}

TEST(ExportMenu, SelectedCharacterWithoutSelectionDoesNothing) {
  GuiTestEnvironment env;
  ExportProgram program(env);
  WriteBytes(env.Path("liste.html"), "avant");
  program.Export([&](TExportWin& d) {
    d.ShowSelChar->click();
    d.FileName->setText(QString::fromStdString(env.Path("liste.html")));
  });
  EXPECT_EQ(ReadBytes(env.Path("liste.html")), "avant");
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(env.Path("liste.html.bak"))));
  EXPECT_TRUE(env.Messages.Shown.empty());
  EXPECT_TRUE(env.Shell.Opened.isEmpty());
}

TEST(ExportMenu, FailuresShowTheErrorAndOpenNothing) {
  GuiTestEnvironment env;
  ExportProgram program(env);
  const std::string itemsBefore = ReadBytes(env.Path("items.kdb"));
  struct Case {
    std::string fileName;
    const char* message;
  };
  const Case cases[] = {
      {env.Path("items.kdb") + "/liste.html", "Nom de fichier incorrect."},  // a folder that is a file
      {env.Path("absent") + "/liste.html", "Fichier introuvable."},
      {"", "Nom de fichier incorrect."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fileName);
    env.Messages.Clear();
    program.Export([&](TExportWin& d) { d.FileName->setText(QString::fromStdString(c.fileName)); });
    EXPECT_EQ(env.Messages.Texts(BoxKind::FileError), QStringList({QString::fromUtf8(c.message)}));
    EXPECT_TRUE(env.Shell.Opened.isEmpty());
  }
  EXPECT_EQ(ReadBytes(env.Path("items.kdb")), itemsBefore);
  EXPECT_TRUE(program.Main().isVisible());
}

TEST(ExportMenu, ANameWindows1252CannotSpellIsRefused) {
  GuiTestEnvironment env;
  ExportProgram program(env);
  // Written as Windows-1252, "✓" would become "?" and the list would land in
  // another file than the one named.
  const QString name = QString::fromStdString(env.DataDir()) + QString::fromUtf8("liste ✓.html");
  program.Export([&](TExportWin& d) { d.FileName->setText(name); });
  EXPECT_EQ(env.Messages.Texts(BoxKind::FileError), QStringList({"Nom de fichier incorrect."}));
  EXPECT_FALSE(QFileInfo::exists(name));
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(env.Path("liste ?.html"))));
  EXPECT_TRUE(env.Shell.Opened.isEmpty());
}

TEST(ExportMenu, TheShellOpensTheFileOnlyWhenAsked) {
  GuiTestEnvironment env;
  ExportProgram program(env);
  program.Export([&](TExportWin& d) {
    d.FileName->setText(QString::fromStdString(env.Path("sans.html")));
    d.DoShellExec->setChecked(false);
  });
  EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(env.Path("sans.html"))));
  EXPECT_TRUE(env.Shell.Opened.isEmpty());

  // A name without a folder is the process's current folder; the shell gets the full path.
  const QString savedCurrent = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(env.DataDir())));
  program.Export([&](TExportWin& d) {
    d.FileName->setText("relatif.html");
    d.DoShellExec->setChecked(true);
  });
  QDir::setCurrent(savedCurrent);
  const QString written = QDir(QString::fromStdString(env.DataDir())).filePath("relatif.html");
  EXPECT_TRUE(QFileInfo::exists(written));
  ASSERT_EQ(env.Shell.Opened.size(), 1);
  EXPECT_EQ(QFileInfo(env.Shell.Opened[0]).canonicalFilePath(), QFileInfo(written).canonicalFilePath());
  EXPECT_TRUE(QFileInfo(env.Shell.Opened[0]).isAbsolute());
  EXPECT_TRUE(env.Messages.Shown.empty());
}

TEST(ExportMenu, ExportingAgainKeepsThePreviousListAsBackup) {
  GuiTestEnvironment env;
  ExportProgram program(env);
  const std::string path = env.Path("liste.txt");
  program.Export([&](TExportWin& d) {
    d.FormatASCII->setChecked(true);
    d.FileName->setText(QString::fromStdString(path));
    d.PageTitle->setText("Premier");
  });
  const std::string first = ReadBytes(path);
  program.Export([&](TExportWin& d) { d.PageTitle->setText("Second"); });
  EXPECT_TRUE(first.find("\r\nPremier\r\n") != std::string::npos);
  EXPECT_EQ(ReadBytes(path + ".bak"), first);
  EXPECT_TRUE(ReadBytes(path).find("\r\nSecond\r\n") != std::string::npos);
}
