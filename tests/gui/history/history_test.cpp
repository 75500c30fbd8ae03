// Taking changes back in the running program: the Édition menu and its keys in
// the main and item database windows, the history window, an import and a
// restored backup as one step each; the confirmations before a deletion stay,
// and what is taken back is saved as you go.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeWidget>

#include "MainWindowHelpers.h"
#include "app/Windows.h"
#include "history/HistoryUnit.h"
#include "history/RestoreUnit.h"
#include "itemdb/ItemGUnit.h"
#include "itemdb/ItemListModel.h"
#include "model/catalogue_history.h"
#include "start_catalogue.h"
#include "storage/catalogue_store.h"
#include "storage/items_csv.h"

namespace kistora::testing {
namespace {

// Sends keys to a window once it is the active one, as a player's keyboard would.
void Keys(QWidget* window, QWidget* target, int key, Qt::KeyboardModifiers modifiers) {
  window->activateWindow();
  for (int tries = 0; tries < 100 && QApplication::activeWindow() != window; ++tries) QTest::qWait(10);
  ASSERT_EQ(QApplication::activeWindow(), window);
  QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

TEST(History, EditMenuKeysAndHistoryWindowTakeChangesBackAndSaveThem) {
  GuiTestEnvironment env;
  env.WriteDatabases(Start());
  const std::string startFiles = ReadBytes(env.Path("items.kdb")) + ReadBytes(env.Path("chars.kdb"));
  ScopedProgram program;
  program.ShowMain();
  TMain& main = program.Main();
  TItemG& items = *Windows().ItemG;
  EXPECT_FALSE(main.Annuler1->isEnabled());
  EXPECT_FALSE(main.Retablir1->isEnabled());
  EXPECT_EQ(main.Annuler1->text(), "&Annuler");

  // A deletion asks first, as it always has; then it can be taken back.
  main.SelectCharRow(0);
  items.ShowAndRaise();
  SelectRow(items.Liste, static_cast<int>(Column(items.Liste, 0).indexOf("1204")));
  env.Messages.ConfirmAnswers.push_back(true);
  items.DelItem->click();
  EXPECT_EQ(env.Messages.Texts(BoxKind::Confirm).size(), 1);
  EXPECT_EQ(InvNumbers(main), QStringList({"1", "1"}));
  const QString deletion = QString::fromUtf8("suppression de l'objet 1\u00A0204 «\u00A0Épée de cristal\u00A0»");
  EXPECT_EQ(main.Annuler1->text(), "&Annuler " + deletion);
  EXPECT_TRUE(main.Annuler1->isEnabled());

  // Ctrl+Z in the item database window; Ctrl+Y and Ctrl+Shift+Z, then Ctrl+Z, in the main one.
  Keys(&items, items.Liste, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(InvNumbers(main), QStringList({"1", "1204", "1"}));
  EXPECT_EQ(Rows(items.Liste), 2);
  EXPECT_EQ(main.Retablir1->text(), QString::fromUtf8("&Rétablir ") + deletion);
  EXPECT_FALSE(main.Annuler1->isEnabled());
  Keys(&main, main.Chars, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(InvNumbers(main), QStringList({"1", "1"}));
  Keys(&main, main.Chars, Qt::Key_Z, Qt::ControlModifier);
  Keys(&main, main.Chars, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Rows(items.Liste), 1);

  // A character removed comes back at its row, with its inventory, selected.
  main.SelectCharRow(1);
  env.Messages.ConfirmAnswers.push_back(true);
  main.DelChar->click();
  EXPECT_EQ(CharNames(main), QStringList({"Zoe"}));
  main.SelectCharRow(0);
  main.Annuler1->trigger();
  EXPECT_EQ(CharNames(main), QStringList({"Zoe", "Ana"}));
  EXPECT_EQ(main.SelectedCharRow(), 1);
  EXPECT_EQ(InvNumbers(main), QStringList());  // Ana held 1 204, deleted before

  // The history window lists the steps; its first line goes back before them all.
  main.Historique1->trigger();
  THistory& history = *Windows().HistoryWin;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&history));
  ASSERT_EQ(history.Steps->count(), 3);
  EXPECT_EQ(history.Steps->item(2)->text(), QString::fromUtf8("Suppression du perso «\u00A0Ana\u00A0»"));
  EXPECT_EQ(history.Steps->currentRow(), 1);
  // The arrows only move the highlight: nothing is taken back until Enter.
  history.Steps->setFocus();
  QTest::keyClick(history.Steps, Qt::Key_Down);
  QTest::keyClick(history.Steps, Qt::Key_Up);
  QTest::keyClick(history.Steps, Qt::Key_Up);
  QCoreApplication::processEvents();
  EXPECT_EQ(history.Steps->currentRow(), 0);
  EXPECT_TRUE(main.Annuler1->isEnabled());
  EXPECT_EQ(CharNames(main), QStringList({"Zoe", "Ana"}));
  QTest::keyClick(history.Steps, Qt::Key_Return);
  QTRY_VERIFY(!main.Annuler1->isEnabled());
  EXPECT_EQ(history.Steps->currentRow(), 0);
  EXPECT_EQ(InvNumbers(main), QStringList({"1204"}));

  // Saved as you go: the files are the start's again, byte for byte.
  Windows().Store->WaitIdle();
  EXPECT_EQ(ReadBytes(env.Path("items.kdb")) + ReadBytes(env.Path("chars.kdb")), startFiles);
}

TEST(History, AnImportAndARestoredBackupAreOneStepEach) {
  GuiTestEnvironment env;
  env.WriteDatabases(Start());
  // The day's backup holds the start; another day is cut short.
  ::mkdir(env.Path("backups").c_str(), 0777);
  const std::string items = ReadBytes(env.Path("items.kdb"));
  WriteBytes(env.Path("backups/items-2026-12-01.kdb"), items);
  WriteBytes(env.Path("backups/chars-2026-12-01.kdb"), ReadBytes(env.Path("chars.kdb")));
  WriteBytes(env.Path("backups/items-2026-11-30.kdb"), items.substr(0, items.size() - 2));
  WriteBytes(env.Path("backups/chars-2026-11-30.kdb"), ReadBytes(env.Path("chars.kdb")));
  TCatalogue more;
  AddItem<TD2Boots>(more, 0, "Bottes", 0, 4);
  AddItem<TD2Jewel>(more, 0, "Joyau", 2, 8);
  WriteBytes(env.Path("more.csv"), ItemsToCsv(more));
  // The import's save makes no backup of its own: the day has one already.
  CurrentPlatform().Today = [] { return std::string("2026-12-01"); };
  ScopedProgram program;
  program.ShowMain();
  TMain& main = program.Main();
  TCatalogue& catalogue = main.Catalogue();

  main.PickCsvImportFile = [&](QWidget*) { return QString::fromStdString(env.Path("more.csv")); };
  main.ImportCsv->trigger();
  ASSERT_EQ(catalogue.ItemList.size(), 4u);
  EXPECT_EQ(catalogue.ItemList[3]->Index, 1206);
  EXPECT_EQ(main.Annuler1->text(), QString::fromUtf8("&Annuler import de 2 objets (more.csv)"));

  // The restore: the damaged day cannot be chosen; the other says what it would change.
  QString preview;
  Qt::ItemFlags damagedFlags;
  QString changes;
  auto restored = AnswerNextModal([&](QDialog* dialog) {
    auto* restore = qobject_cast<TRestore*>(dialog);
    if (!restore || restore->Backups->topLevelItemCount() != 2) return dialog->reject();
    restore->WaitForReads();  // the days are read in the background
    damagedFlags = restore->Backups->topLevelItem(1)->flags();
    restore->Backups->setCurrentItem(restore->Backups->topLevelItem(0));
    restore->WaitForReads();
    preview = restore->Preview->text();
    changes = restore->Changes->toPlainText();
    restore->RestoreButton->click();
  });
  main.SelectCharRow(1);
  main.Restaurer1->trigger();
  ASSERT_TRUE(restored->Answered());
  // The character selected before is still there: it stays selected, its inventory shown.
  EXPECT_EQ(main.SelectedCharRow(), 1);
  EXPECT_EQ(InvNumbers(main), QStringList({"1204"}));
  EXPECT_EQ(damagedFlags, Qt::NoItemFlags);
  EXPECT_TRUE(preview.contains(QString::fromUtf8("objets : 0 ajouté, 2 supprimés, 0 modifié\n")))
      << preview.toStdString();
  // The items the restore would take away, by name (the text box shows its no-break spaces as spaces).
  EXPECT_EQ(changes, QString::fromUtf8("Objets supprimés (2) :\n  1 205 « Bottes »\n  1 206 « Joyau »"));
  EXPECT_EQ(catalogue.ItemList.size(), 2u);
  EXPECT_EQ(main.Annuler1->text(), QString::fromUtf8("&Annuler restauration de la sauvegarde du 1er décembre 2026"));

  main.UndoClick();
  EXPECT_EQ(catalogue.ItemList.size(), 4u);
  main.UndoClick();  // the whole import at once
  EXPECT_EQ(catalogue.ItemList.size(), 2u);
  EXPECT_FALSE(main.Annuler1->isEnabled());
  // Numbers handed out stay handed out.
  EXPECT_EQ(catalogue.NewItemIndex(), 1207);
}

}  // namespace
}  // namespace kistora::testing
