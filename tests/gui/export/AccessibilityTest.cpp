// Every input of every window is named by its own label, the count lines are
// read with their figures, the item window is a window, and a colour swatch is
// used from the keyboard as with the mouse.
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTest>

#include "GuiTestSupport.h"
#include "about/AboutUnit.h"
#include "app/Windows.h"
#include "export/ColourSwatch.h"
#include "export/ExportUnit.h"
#include "history/HistoryUnit.h"
#include "history/RestoreUnit.h"
#include "itemdb/ItemGUnit.h"
#include "itemdb/ItemPUnit.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/PersoUnit.h"
#include "stats/StatsUnit.h"

namespace kistora::testing {
namespace {

// An input's name as the convention reads its label: without "&", the colon at
// its end, or an opening parenthesis never closed ("(Prix minimum:").
QString AsName(QString label) {
  label.remove('&');
  label = label.trimmed();
  if (label.endsWith(':')) label.chop(1);
  if (label.startsWith('(') && !label.contains(')')) label.remove(0, 1);
  return label.trimmed();
}

bool IsInput(QWidget* w) {
  // A combo box's or spin box's own line edit is named through its owner.
  if (qobject_cast<QAbstractSpinBox*>(w->parentWidget()) || qobject_cast<QComboBox*>(w->parentWidget())) return false;
  return qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QComboBox*>(w) ||
         qobject_cast<QPlainTextEdit*>(w) || qobject_cast<ColourSwatch*>(w);
}

TEST(Accessibility, EveryInputOfEveryWindowIsNamedByItsOwnLabel) {
  GuiTestEnvironment env;
  ScopedProgram program;
  const KistoraWindows& w = Windows();
  int inputs = 0;
  for (QWidget* window : std::initializer_list<QWidget*>{w.Main, w.Perso, w.ItemG, w.ItemP, w.ExportWin, w.About,
                                                         w.Stats, w.HistoryWin, w.Restore}) {
    for (QWidget* input : window->findChildren<QWidget*>()) {
      if (input->window() != window || !IsInput(input)) continue;
      ++inputs;
      const std::string where = (window->objectName() + "/" + input->objectName()).toStdString();
      QLabel* own = nullptr;
      for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->buddy() == input) own = label;
      }
      if (own == nullptr) {
        // The search field has no label: its placeholder says what it is.
        EXPECT_EQ(input, w.ItemG->Search) << where << " has no label";
        EXPECT_EQ(input->accessibleName(), "Rechercher");
        continue;
      }
      EXPECT_EQ(input->accessibleName().toStdString(), AsName(own->text()).toStdString()) << where;
    }
  }
  // Perso, ItemG, ItemP, ExportWin, the restore dialog's detail of the changes;
  // the statistics and history windows hold lists, buttons and radio buttons.
  EXPECT_EQ(inputs, 5 + 1 + 16 + 9 + 1);
  // The ones a screen reader once heard under another field's label.
  EXPECT_EQ(w.ItemP->ItemNotes->accessibleName(), "Notes additionnelles");
  EXPECT_EQ(w.ItemP->ItemDef->accessibleName(), QString::fromUtf8("Défense"));
  EXPECT_EQ(w.ExportWin->FileName->accessibleName(), "Fichier");
  EXPECT_EQ(w.ExportWin->IIPrice->accessibleName(), "Prix minimum");
  EXPECT_EQ(w.ExportWin->IICol->accessibleName(), QString::fromUtf8("Couleur de fond des objets intéressants"));
  EXPECT_EQ(w.ExportWin->PTCol->accessibleName(), "Couleur de fond des titres principaux");
}

TEST(Accessibility, CountLinesAreReadWithTheirFiguresAndTheItemWindowAsAWindow) {
  GuiTestEnvironment env;
  ScopedProgram program;
  const KistoraWindows& w = Windows();
  w.ItemG->ShowAndRaise();
  for (QLabel* line : {w.Main->InvCount, w.ItemG->CountLine}) {
    ASSERT_FALSE(line->text().isEmpty());
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(line);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->text(QAccessible::Name), line->text()) << "the figures themselves";
    EXPECT_FALSE(read->text(QAccessible::Description).isEmpty()) << "and what they count";
  }
  EXPECT_EQ(QAccessible::queryAccessibleInterface(w.ItemG)->role(), QAccessible::Window);
  EXPECT_EQ(QAccessible::queryAccessibleInterface(w.Main)->role(), QAccessible::Window);
}

TEST(Accessibility, ASwatchTakesTheFocusAndOpensThePickerOnSpaceOrEnter) {
  GuiTestEnvironment env;
  ScopedProgram program;
  TExportWin& dialog = *Windows().ExportWin;
  int asked = 0;
  dialog.PickColour = [&asked](QWidget*, TColor) -> std::optional<TColor> {
    ++asked;
    return TColor{0x123456};
  };
  EXPECT_EQ(dialog.PTCol->focusPolicy(), Qt::StrongFocus);
  QTest::keyClick(dialog.PTCol, Qt::Key_Space);
  QTest::keyClick(dialog.PTCol, Qt::Key_Return);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(dialog.PTCol->Colour(), TColor{0x123456});
}

}  // namespace
}  // namespace kistora::testing
