// The keyboard way through the windows, as a player without a mouse goes: from
// the main window to the item database window, from its search field into the
// list and to a hand-over, taking a step back there; the item dialog's
// proposals and the history window, whose keys never do more than asked.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "MainWindowHelpers.h"
#include "app/Windows.h"
#include "history/HistoryUnit.h"
#include "itemdb/CompletionPopup.h"
#include "itemdb/ItemGUnit.h"
#include "itemdb/ItemListView.h"
#include "itemdb/ItemPUnit.h"

namespace kistora::testing {
namespace {

class KeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TCatalogue start;
    AddItem<TD2Ring>(start, 1, "Anneau", 1, 10);
    AddItem<TD2Ring>(start, 2, "Anneau de Nagel", 1, 20);
    AddItem<TD2Shield>(start, 3, "\xC9\x63u", 0, 5);
    AddPaladin(start, "Zoe", {3}, "42");
    AddPaladin(start, "Bob", {}, "7");
    env.WriteDatabases(start);
    program = std::make_unique<ScopedProgram>();
    program->ShowMain();
  }

  TMain& Main() { return program->Main(); }
  TItemG& G() { return *Windows().ItemG; }
  // Keys sent to target once its window is the active one, as a keyboard would.
  void Keys(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* window = target->window();
    window->activateWindow();
    for (int tries = 0; tries < 100 && QApplication::activeWindow() != window; ++tries) QTest::qWait(10);
    ASSERT_EQ(QApplication::activeWindow(), window);
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
  }
  QString Note() { return G().CountNote->text(); }

  GuiTestEnvironment env;
  std::unique_ptr<ScopedProgram> program;
};

TEST_F(KeysTest, FromTheMainWindowToAHandOverAndBack) {
  // Ctrl+G, shown in the Fenêtre menu, opens the item database window.
  EXPECT_EQ(Main().GestionnaireObjets1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));
  Keys(Main().Chars, Qt::Key_G, Qt::ControlModifier);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&G()));

  // Down or Enter in the search field goes into the list, on its first row,
  // and who holds that item follows.
  for (const int key : {Qt::Key_Down, Qt::Key_Return, Qt::Key_Enter}) {
    SCOPED_TRACE(key);
    G().Search->setFocus();
    G().Search->setText(QStringLiteral("anneau"));
    G().Liste->selectionModel()->clear();
    Keys(G().Search, key);
    EXPECT_EQ(G().focusWidget(), G().Liste);
    ASSERT_TRUE(G().Liste->selectionModel()->hasSelection());
    EXPECT_EQ(G().Liste->selectionModel()->selectedRows().first().row(), 0);
    EXPECT_EQ(Note(), QString::fromUtf8("\u00B7 D\u00E9tenu par aucun perso"));
  }
  // Reached by Tab with nothing selected, the list selects the row it is on;
  // given the focus back by a closing dialog, it selects nothing.
  G().Liste->selectionModel()->clear();
  G().Search->setFocus();
  G().Liste->setFocus(Qt::TabFocusReason);
  EXPECT_TRUE(G().Liste->selectionModel()->hasSelection());
  G().Liste->selectionModel()->clear();
  G().Search->setFocus();
  G().Liste->setFocus(Qt::ActiveWindowFocusReason);
  EXPECT_FALSE(G().Liste->selectionModel()->hasSelection());

  // Ctrl+Entrée hands the item over; it is said on the button and in the context menu.
  EXPECT_TRUE(G().AddToChar->toolTip().contains(QString::fromUtf8("Ctrl+Entr\u00E9e")));
  EXPECT_TRUE(G().Liste->actions().contains(G().AddToCharAction));
  EXPECT_EQ(G().AddToCharAction->shortcuts(),
            QList<QKeySequence>({QKeySequence(Qt::CTRL | Qt::Key_Enter), QKeySequence(Qt::CTRL | Qt::Key_Return)}));
  G().Search->setFocus();
  Keys(G().Search, Qt::Key_Down);
  // No character selected in the main window: a line says so, no box, nothing handed.
  Main().SelectCharRow(-1);
  Keys(G().Liste, Qt::Key_Return, Qt::ControlModifier);
  EXPECT_TRUE(Note().contains(QString::fromUtf8("Aucun perso s\u00E9lectionn\u00E9"))) << Note().toStdString();
  EXPECT_TRUE(env.Messages.Shown.empty());
  EXPECT_EQ(Main().Catalogue().CharList[1]->Items, std::vector<std::int32_t>());
  Main().SelectCharRow(1);
  Keys(G().Liste, Qt::Key_Enter, Qt::ControlModifier);
  EXPECT_EQ(Main().Catalogue().CharList[1]->Items, std::vector<std::int32_t>({1}));
  EXPECT_EQ(Note(), QString::fromUtf8("\u00B7 \u00AB Anneau \u00BB ajout\u00E9 \u00E0 Bob"));

  // Ctrl+Z here takes it back, says so on the count line, and the context menu names the steps.
  const QString step = QString::fromUtf8("ajout de l'objet 1 \u00AB\u00A0Anneau\u00A0\u00BB \u00E0 Bob");
  EXPECT_EQ(G().UndoAction->text(), "&Annuler " + step);
  Keys(G().Liste, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Main().Catalogue().CharList[1]->Items, std::vector<std::int32_t>());
  EXPECT_EQ(Note(), QString::fromUtf8("\u00B7 Annul\u00E9 : ") + step);
  EXPECT_FALSE(G().UndoAction->isEnabled());
  EXPECT_EQ(G().RedoAction->text(), QString::fromUtf8("&R\u00E9tablir ") + step);
  G().RedoAction->trigger();
  EXPECT_EQ(Main().Catalogue().CharList[1]->Items, std::vector<std::int32_t>({1}));
  EXPECT_EQ(Note(), QString::fromUtf8("\u00B7 R\u00E9tabli : ") + step);
}

TEST_F(KeysTest, EnterInAProposedNameNeverConfirmsTheDialog) {
  Windows().ItemP->PrepareCompletion();
  G().ShowAndRaise();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&G()));
  TItemP& dialog = *Windows().ItemP;
  const std::size_t before = Main().Catalogue().ItemList.size();
  bool stillOpen = false;
  bool listClosed = false;
  auto typed = AnswerNextModal([&](QDialog*) {
    QTest::keyClicks(dialog.ItemName, "ann");
    if (!dialog.NamePopup->IsShown()) return dialog.reject();
    QTest::keyClick(dialog.ItemName, Qt::Key_Return);  // nothing highlighted: closes the list only
    stillOpen = dialog.isVisible() && dialog.ItemName->text() == "ann";
    listClosed = !dialog.NamePopup->IsShown();
    dialog.reject();
  });
  G().AddItem->click();
  ASSERT_TRUE(typed->Answered());
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(listClosed);
  EXPECT_EQ(Main().Catalogue().ItemList.size(), before);
}

TEST_F(KeysTest, TheHistoryWindowClosesByEscapeOrCtrlW) {
  for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
    SCOPED_TRACE(keys.toString().toStdString());
    THistory& history = *Windows().HistoryWin;
    Main().Historique1->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&history));
    Keys(history.Steps, keys[0].key(), keys[0].keyboardModifiers());
    EXPECT_FALSE(history.isVisible());
  }
}

}  // namespace
}  // namespace kistora::testing
