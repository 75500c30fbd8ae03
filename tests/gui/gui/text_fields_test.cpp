// Every text field of every window takes only what the files can hold: a
// character Windows-1252 has no byte for is refused where it is typed or
// pasted, and a note next to the field names it; a line break becomes a space
// in a one-line field and stays in a multi-line one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "app/Windows.h"
#include "export/ExportUnit.h"
#include "gui/StorableText.h"
#include "itemdb/ItemGUnit.h"
#include "itemdb/ItemPUnit.h"
#include "mainwindow/PersoUnit.h"

namespace kistora::testing {
namespace {

QString Text(QWidget* field) {
  if (auto* line = qobject_cast<QLineEdit*>(field)) return line->text();
  return qobject_cast<QPlainTextEdit*>(field)->toPlainText();
}

void Clear(QWidget* field) {
  if (auto* line = qobject_cast<QLineEdit*>(field)) {
    line->clear();
  } else {
    qobject_cast<QPlainTextEdit*>(field)->clear();
  }
}

// One key press per character, as a keyboard or an input method gives them.
void Type(QWidget* field, const QString& text) {
  for (const char32_t c : text.toStdU32String()) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUcs4(&c, 1));
    QApplication::sendEvent(field, &press);
  }
  QCoreApplication::processEvents();
}

void Paste(QWidget* field, const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  if (auto* line = qobject_cast<QLineEdit*>(field)) {
    line->paste();
  } else {
    qobject_cast<QPlainTextEdit*>(field)->paste();
  }
  QCoreApplication::processEvents();
}

QString Refused(const char* character) {
  return QString::fromUtf8("Le caractère « %1 » ne peut pas être enregistré.").arg(QString::fromUtf8(character));
}

struct Case {
  const char* what;
  bool paste;
  QString input;
  QString oneLine;    // what a one-line field then holds
  QString multiLine;  // what a multi-line field then holds
  QString note;       // the note next to the field, empty for none
};

TEST(TextFields, EveryFieldRefusesWhatCannotBeStoredAndKeepsOneLineFieldsOnOneLine) {
  GuiTestEnvironment env;
  ScopedProgram program;
  const KistoraWindows& w = Windows();
  const std::vector<std::pair<QWidget*, bool>> fields = {
      {w.Perso->CharName, false},     {w.Perso->CharAccount, false},   {w.Perso->CharNotes, false},
      {w.ItemP->ItemName, false},     {w.ItemP->ItemNotes, false},     {w.ItemP->ItemMagicProps, true},
      {w.ExportWin->FileName, false}, {w.ExportWin->PageTitle, false}, {w.ExportWin->Sign, false},
      {w.ItemG->Search, false}};
  const QString typographic = QString::fromUtf8("Épée “x” – € œ…");
  const std::vector<Case> cases = {
      {"typographic quotes, dashes, € and œ", false, typographic, typographic, typographic, ""},
      {"a character outside Windows-1252 typed", false, QString::fromUtf8("ab龙"), "ab", "ab",
       QString::fromUtf8("Le caractère « 龙 » ne peut pas être enregistré.")},
      {"an emoji typed", false, QString::fromUtf8("🐉"), "", "", Refused("🐉")},
      {"a paste holding such characters", true, QString::fromUtf8("Łódź 龙 🐉 Épée"), "", "", Refused("Ł")},
      {"a paste of three lines", true, "deux\r\nlignes\nici", "deux lignes ici", "deux\nlignes\nici", ""},
  };
  for (const auto& [field, multiLine] : fields) {
    for (const Case& c : cases) {
      Clear(field);
      if (c.paste) {
        Paste(field, c.input);
      } else {
        Type(field, c.input);
      }
      const std::string where = (field->objectName() + ": ").toStdString() + c.what;
      EXPECT_EQ(Text(field), multiLine ? c.multiLine : c.oneLine) << where;
      EXPECT_EQ(RefusalNoteText(*field), c.note) << where;
    }
  }
}

}  // namespace
}  // namespace kistora::testing
