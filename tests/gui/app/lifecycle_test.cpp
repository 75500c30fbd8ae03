// Start-up, layout, first show and close of the main window: what is read,
// what is written, and what happens when a file cannot be read or written.
#include <fcntl.h>

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QMenuBar>
#include <QSplitter>
#include <cerrno>
#include <cstdio>

#include "MainWindowHelpers.h"
#include "about/AboutUnit.h"
#include "app/Windows.h"
#include "itemdb/ItemGUnit.h"
#include "itemdb/ItemPUnit.h"
#include "storage/database.h"

namespace kistora::testing {
namespace {

TCatalogue SampleCatalogue() {
  TCatalogue catalogue;
  AddItem<TD2Ring>(catalogue, 5, "Bague", 1, 100);
  AddItem<TD2Weapon>(catalogue, 7, "Hache", 5, 300);
  AddPaladin(catalogue, "Zoe", {5, 5, 7}, "42");
  AddPaladin(catalogue, "Alric", {7}, "42");
  return catalogue;
}

TEST(MainLifecycle, FirstRunReportsTheMissingDatabasesAndCloseCreatesThem) {
  GuiTestEnvironment env;
  ScopedProgram program;
  // A first run tells only that the item database could not be opened.
  EXPECT_EQ(env.Messages.Texts(BoxKind::FileError),
            QStringList({QString::fromStdString("Impossible d'ouvrir le fichier " + env.Path("items.kdb") + ".")}));
  EXPECT_EQ(env.Messages.Shown[0].title, QStringLiteral("Kistora"));
  TMain& main = program.Main();
  program.ShowMain();
  EXPECT_EQ(Rows(main.Chars), 0);
  EXPECT_EQ(Rows(main.CharInv), 0);

  EXPECT_TRUE(main.close());
  EXPECT_FALSE(main.isVisible());
  // Two empty databases: magic, version 1, count 0.
  EXPECT_EQ(ReadBytes(env.Path("items.kdb")), std::string("DBIL\1\0\0\0\0\0\0\0", 12));
  EXPECT_EQ(ReadBytes(env.Path("chars.kdb")), std::string("DBCL\1\0\0\0\0\0\0\0", 12));
  EXPECT_EQ(TempDir::Entries(env.DataDir()), (std::set<std::string>{"items.kdb", "chars.kdb", "kistora.ini"}))
      << "a missing file is not kept as damaged";
}

TEST(MainLifecycle, AFolderThisStartMadeOpensOnTheEmptyCatalogueWithoutABox) {
  GuiTestEnvironment env;
  CurrentPlatform().DataDirCreated = true;  // an installed copy's first start made its folder
  ScopedProgram program;
  program.ShowMain();
  EXPECT_TRUE(env.Messages.Shown.empty());
  EXPECT_EQ(Rows(program.Main().Chars), 0);
  EXPECT_TRUE(program.Main().close());
  EXPECT_EQ(TempDir::Entries(env.DataDir()), (std::set<std::string>{"items.kdb", "chars.kdb", "kistora.ini"}));
}

TEST(MainLifecycle, LoadsBothDatabasesWithNoCharacterSelected) {
  GuiTestEnvironment env;
  env.WriteDatabases(SampleCatalogue());
  ScopedProgram program;
  TMain& main = program.Main();
  program.ShowMain();
  EXPECT_TRUE(env.Messages.Shown.empty());
  EXPECT_EQ(CharNames(main), QStringList({"Zoe", "Alric"}));
  EXPECT_EQ(Cell(main.Chars, 0, 1), "compte");
  EXPECT_EQ(Cell(main.Chars, 0, 2), "Paladin");
  EXPECT_EQ(Cell(main.Chars, 0, 3), "42");
  EXPECT_EQ(main.SelectedCharRow(), -1);
  EXPECT_EQ(Rows(main.CharInv), 0);
  EXPECT_EQ(main.Catalogue().ItemList.size(), 2u);
}

TEST(MainLifecycle, CharactersAreReadEvenWhenTheItemDatabaseCannotBe) {
  GuiTestEnvironment env;
  env.WriteDatabases(SampleCatalogue());
  ASSERT_EQ(std::remove(env.Path("items.kdb").c_str()), 0);
  ScopedProgram program;
  TMain& main = program.Main();
  EXPECT_EQ(env.Messages.Texts(BoxKind::FileError).size(), 1);
  EXPECT_EQ(CharNames(main), QStringList({"Zoe", "Alric"}));
  // Entries whose item is missing: one row each, the number and empty cells.
  main.SelectCharRow(0);
  EXPECT_EQ(InvNumbers(main), QStringList({"5", "5", "7"}));
  for (int column = 1; column < 6; ++column) EXPECT_EQ(Cell(main.CharInv, 0, column), "");
  // Closing keeps the characters' file whole.
  ASSERT_TRUE(main.close());
  TCatalogue reloaded;
  LoadChars(reloaded, env.Path("chars.kdb"));
  ASSERT_EQ(reloaded.CharList.size(), 2u);
  EXPECT_EQ(reloaded.CharList[0]->Items, (std::vector<std::int32_t>{5, 5, 7}));
}

TEST(MainLifecycle, WindowsAreCreatedOnceInOrderAndHidden) {
  GuiTestEnvironment env;
  ScopedProgram program;
  const KistoraWindows& w = Windows();
  ASSERT_NE(w.Main, nullptr);
  ASSERT_NE(w.Perso, nullptr);
  ASSERT_NE(w.ItemG, nullptr);
  ASSERT_NE(w.ItemP, nullptr);
  ASSERT_NE(w.About, nullptr);
  for (QWidget* window : std::initializer_list<QWidget*>{w.Main, w.Perso, w.ItemG, w.ItemP, w.About})
    EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(w.Perso->CharAccount->text(), "");  // DefaultAccount was still empty
}

TEST(MainLifecycle, DesignedLayout) {
  GuiTestEnvironment env;
  ScopedProgram program;
  TMain& main = program.Main();
  program.ShowMain();
  EXPECT_EQ(main.windowTitle(), "Kistora");
  EXPECT_EQ(main.frameGeometry().size(), QSize(609, 482)) << "the designed outer size, frame included";
  EXPECT_EQ(main.CharPanel->height(), 145);
  EXPECT_EQ(main.Chars->height(), 110);
  EXPECT_EQ(main.Splitter->handleWidth(), 3);

  // The designed menus, with the Édition and Fenêtre menus between them.
  QStringList menus;
  for (const QAction* menu : main.menuBar()->actions()) menus << menu->text();
  EXPECT_EQ(menus, QStringList({"&Fichier", QString::fromUtf8("&Édition"), QString::fromUtf8("Fe&nêtre"), "&Aide"}));
  EXPECT_EQ(main.ExportInv->text(), "Exporter...");
  EXPECT_EQ(main.Quitter1->text(), "&Quitter");
  EXPECT_EQ(main.Apropos1->text(), "A &propos...");

  const int charWidths[] = {100, 100, 100, 40, 200};
  const char* charHeads[] = {"Nom", "Account", "Classe", "CLvl", "Notes"};
  for (int c = 0; c < 5; ++c) {
    EXPECT_EQ(main.Chars->header()->sectionSize(c), charWidths[c]);
    EXPECT_EQ(main.Chars->model()->headerData(c, Qt::Horizontal).toString(), charHeads[c]);
  }
  const int invWidths[] = {50, 100, 100, 100, 40, 200};
  const QStringList invHeads = {"Item #", "Nom", "Type", QString::fromUtf8("Qualité"), "Prix", "Notes"};
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(main.CharInv->header()->sectionSize(c), invWidths[c]);
    EXPECT_EQ(main.CharInv->model()->headerData(c, Qt::Horizontal).toString(), invHeads[c]);
  }
  // Designed widths, wider only when a caption would not fit.
  for (QPushButton* button : {main.AddChar, main.DelChar, main.ModChar, main.UpChar, main.DownChar, main.DelItem,
                              main.SeeItem, main.ItemGestion}) {
    const int designed = button == main.ItemGestion ? 113 : 75;
    EXPECT_GE(button->width(), designed) << button->text().toStdString();
    EXPECT_GT(button->width(), button->fontMetrics().horizontalAdvance(button->text()));
    EXPECT_EQ(button->height(), 25);
  }
  // The window is centred on its screen at its first show.
  const QRect screen = main.screen()->availableGeometry();
  EXPECT_NEAR(main.frameGeometry().center().x(), screen.center().x(), 1);
  EXPECT_NEAR(main.frameGeometry().center().y(), screen.center().y(), 1);
}

TEST(MainLifecycle, QuitterWritesTheFilesLikeTheCloseBox) {
  GuiTestEnvironment env;
  env.WriteDatabases(SampleCatalogue());
  ScopedProgram program;
  TMain& main = program.Main();
  program.ShowMain();
  main.SelectCharRow(1);
  main.DelItem->click();  // nothing selected in the inventory: nothing happens
  SelectRow(main.CharInv, 0);
  main.DelItem->click();
  main.Quitter1->trigger();
  EXPECT_FALSE(main.isVisible());
  TCatalogue reloaded;
  LoadChars(reloaded, env.Path("chars.kdb"));
  ASSERT_EQ(reloaded.CharList.size(), 2u);
  EXPECT_TRUE(reloaded.CharList[1]->Items.empty());
  EXPECT_EQ(reloaded.CharList[0]->Items.size(), 3u);
}

// (A close failing at each of its saves in turn: tests/gui/robust/close_failure_test.cpp.)

TEST(MainLifecycle, AnUnwritableFolderStopsAtTheFirstFile) {
  GuiTestEnvironment env;
  env.WriteDatabases(SampleCatalogue());
  ScopedProgram program;
  TMain& main = program.Main();
  program.ShowMain();
  // A data folder under a regular file: every create fails with ENOTDIR.
  const std::string blocker = env.Path("not-a-folder");
  WriteBytes(blocker, "x");
  env.SetDataDir(blocker + "/");
  EXPECT_FALSE(main.close());
  EXPECT_TRUE(main.isVisible());
  const QStringList errors = env.Messages.Texts(BoxKind::FileError);
  // The first file that cannot be created stops the close: one message only.
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith(QString::fromUtf8("Impossible de créer le fichier ") +
                                   QString::fromStdString(blocker + "/")))
      << errors[0].toStdString();
  EXPECT_EQ(CharNames(main), QStringList({"Zoe", "Alric"}));
}

TEST(MainLifecycle, FileMessagesShowAnAccentedPathAsItIs) {
  GuiTestEnvironment env;
  const std::string folder = env.Path("données/");
  env.SetDataDir(folder);  // does not exist: both opens fail
  ScopedProgram program;
  const QStringList errors = env.Messages.Texts(BoxKind::FileError);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0], QString::fromUtf8(("Impossible d'ouvrir le fichier " + folder + "items.kdb.").c_str()));
}

TEST(MainLifecycle, ReshowingDoesNotPlaceTheWindowAgain) {
  GuiTestEnvironment env;
  ScopedProgram program;
  TMain& main = program.Main();
  program.ShowMain();
  main.move(10, 20);
  const QPoint placed = main.pos();
  main.hide();
  main.show();
  EXPECT_EQ(main.pos(), placed);
}

}  // namespace
}  // namespace kistora::testing
