// The lists to paste from "Exporter...": the copy to the (offscreen) clipboard
// and what the player is told, and only the items new since the format's last
// list, remembered across a restart.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "GuiTestSupport.h"
#include "app/Windows.h"
#include "export/ExportUnit.h"
#include "export_test_support.h"
#include "mainwindow/MainUnit.h"

using namespace kistora;
using namespace kistora::testing;

namespace {

// "Exporter..." with the dialog as set() leaves it, then OK.
template <class Set>
void ExportWith(ScopedProgram& program, Set set) {
  TExportWin& dialog = *Windows().ExportWin;
  dialog.Now = FixedLocalNow;
  auto answer = AnswerNextModal([&](QDialog*) {
    set(dialog);
    dialog.OK->click();
  });
  program.Main().ExportInv->trigger();
  EXPECT_TRUE(answer->Answered());
}

QString Clipboard() { return QGuiApplication::clipboard()->text(); }

}  // namespace

TEST(ExportPaste, TheClipboardTakesTheListAndOnlyTheNewItemsAfterARestart) {
  GuiTestEnvironment env;
  env.WriteDatabases(ExportCatalogue());
  {
    ScopedProgram program;
    program.ShowMain();
    ExportWith(program, [&](TExportWin& d) {
      d.FormatMarkdown->click();
      d.FileName->clear();  // no file: the clipboard only
      d.NewOnly->setChecked(true);
      d.CopyToClipboard->setChecked(true);
    });
    // The eight items the characters hold, in UTF-8 with LF line ends.
    EXPECT_TRUE(Clipboard().startsWith("# Inventaire de Diablo II - Liste de trade\n")) << Clipboard().toStdString();
    EXPECT_EQ(Clipboard().count("\n| **"), 8);
    EXPECT_TRUE(Clipboard().contains(QString::fromUtf8("| **Lame de l'éclair** · ")));
    EXPECT_FALSE(Clipboard().contains('\r'));
    EXPECT_TRUE(env.Shell.Opened.isEmpty()) << "no file to open";
    ASSERT_TRUE(program.Main().close());
  }
  ScopedProgram program;
  program.ShowMain();
  TExportWin& d = *Windows().ExportWin;
  EXPECT_TRUE(d.FormatMarkdown->isChecked());
  EXPECT_TRUE(d.NewOnly->isChecked());
  EXPECT_TRUE(d.CopyToClipboard->isChecked());

  ExportWith(program, [](TExportWin&) {});
  EXPECT_FALSE(Clipboard().contains("| **"));
  program.Main().SelectCharRow(0);
  ASSERT_GE(program.Main().AddItemToChar(9), 0);  // "Gants perdus" joins the characters' items
  ExportWith(program, [](TExportWin&) {});
  EXPECT_EQ(env.Messages.Texts(BoxKind::Message),
            QStringList({QString::fromUtf8("Liste copiée (8 objets)"), QString::fromUtf8("Liste copiée (0 objet)"),
                         QString::fromUtf8("Liste copiée (1 objet)")}));
  EXPECT_TRUE(Clipboard().contains(QString::fromUtf8("| **Gants perdus** · ")));
}
