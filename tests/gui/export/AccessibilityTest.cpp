// Every input of every window has an accessible name, its label's text, and a
// colour swatch is used from the keyboard as with the mouse.
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "GuiTestSupport.h"
#include "about/AboutUnit.h"
#include "app/Windows.h"
#include "export/ColourSwatch.h"
#include "export/ExportUnit.h"
#include "itemdb/ItemGUnit.h"
#include "itemdb/ItemPUnit.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/PersoUnit.h"

namespace kistora::testing {
namespace {

template <class Input>
void ExpectNamed(QWidget* window, QStringList& unnamed) {
  for (Input* input : window->findChildren<Input*>()) {
    // A combo box's or spin box's own line edit is named through its owner.
    if (qobject_cast<QAbstractSpinBox*>(input->parentWidget()) || qobject_cast<QComboBox*>(input->parentWidget()))
      continue;
    if (input->accessibleName().isEmpty()) unnamed << window->objectName() + "/" + input->objectName();
  }
}

TEST(Accessibility, EveryInputOfEveryWindowIsNamedByItsLabel) {
  GuiTestEnvironment env;
  ScopedProgram program;
  const KistoraWindows& w = Windows();
  QStringList unnamed;
  for (QWidget* window : std::initializer_list<QWidget*>{w.Main, w.Perso, w.ItemG, w.ItemP, w.ExportWin, w.About}) {
    ExpectNamed<QLineEdit>(window, unnamed);
    ExpectNamed<QAbstractSpinBox>(window, unnamed);
    ExpectNamed<QComboBox>(window, unnamed);
    ExpectNamed<QPlainTextEdit>(window, unnamed);
    ExpectNamed<ColourSwatch>(window, unnamed);
  }
  EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
  EXPECT_EQ(w.Perso->CharName->accessibleName(), "Nom");
  EXPECT_EQ(w.ExportWin->PTCol->accessibleName(), "Couleur de fond des titres principaux");
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
