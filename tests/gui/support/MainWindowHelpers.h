// Shared by the window tests: lists read as shown, and the
// character dialog driven the way a player does it.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeView>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "core_test_support.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/PersoUnit.h"
#include "model/catalogue.h"

namespace kistora::testing {

// Text of a cell of a list (as shown).
inline QString Cell(QAbstractItemView* list, int row, int column) {
  return list->model()->index(row, column).data().toString();
}

inline int Rows(QAbstractItemView* list) { return list->model()->rowCount(); }

// Texts of one column of a list, top to bottom (as shown).
inline QStringList Column(QAbstractItemView* list, int column) {
  QStringList texts;
  for (int r = 0; r < Rows(list); ++r) texts << Cell(list, r, column);
  return texts;
}

// Names of the characters, top to bottom, as the list shows them.
inline QStringList CharNames(TMain& main) { return Column(main.Chars, 0); }

// "Item #" column of the inventory list.
inline QStringList InvNumbers(TMain& main) { return Column(main.CharInv, 0); }

inline void SelectRow(QAbstractItemView* list, int row) {
  list->selectionModel()->setCurrentIndex(list->model()->index(row, 0),
                                          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

// Opens the character dialog with `button` and, once it shows, lets `fill`
// edit it, then presses OK (or Annuler when ok is false).
template <class Fill>
void RunPerso(QPushButton* button, Fill fill, bool ok = true) {
  auto answer = AnswerNextModal([fill, ok](QDialog* dialog) {
    auto* perso = qobject_cast<TPerso*>(dialog);
    if (perso == nullptr) {
      dialog->reject();
      return;
    }
    fill(*perso);
    (ok ? perso->OK : perso->Cancel)->click();
  });
  button->click();
  ASSERT_TRUE(answer->Answered());
  ASSERT_EQ(answer->DialogClass(), QStringLiteral("TPerso"));
}

// "Ajouter..." with the name typed into an emptied name field.
inline void AddCharByDialog(TMain& main, const QString& name, bool ok = true) {
  RunPerso(
      main.AddChar,
      [name](TPerso& perso) {
        perso.CharName->clear();
        // Typed key by key when the keyboard can (QTest knows only ASCII keys).
        bool ascii = true;
        for (QChar c : name) ascii = ascii && c.unicode() < 128;
        if (ascii)
          QTest::keyClicks(perso.CharName, name);
        else
          perso.CharName->insert(name);
      },
      ok);
}

}  // namespace kistora::testing
