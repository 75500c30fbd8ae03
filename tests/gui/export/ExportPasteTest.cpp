// The lists to paste from "Exporter...": the copy to the (offscreen) clipboard
// and what the player is told, and only the items new since the format's last
// list, remembered across a restart.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QFileInfo>
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

TEST(ExportPaste, TheForumListGoesToTheClipboardWithoutAFileWhenNoneIsNamed) {
  GuiTestEnvironment env;
  env.WriteDatabases(ExportCatalogue());
  ScopedProgram program;
  program.ShowMain();
  QGuiApplication::clipboard()->clear();
  ExportWith(program, [](TExportWin& d) {
    d.FormatBBCode->click();
    d.FileName->clear();
    d.CopyToClipboard->setChecked(true);
  });
  // The eight items the characters hold, in UTF-8 with LF line ends.
  EXPECT_EQ(env.Messages.Texts(BoxKind::Message), QStringList({QString::fromUtf8("Liste copiée (8 objets)")}));
  const QString list = Clipboard();
  EXPECT_TRUE(list.startsWith("[b]Inventaire de Diablo II - Liste de trade[/b]\n")) << list.toStdString();
  EXPECT_EQ(list.count("[color="), 8);
  EXPECT_TRUE(list.contains(QString::fromUtf8("Lame de l'éclair")));
  EXPECT_FALSE(list.contains('\r'));
  EXPECT_TRUE(env.Shell.Opened.isEmpty()) << "no file to open";
}

TEST(ExportPaste, OnlyTheNewItemsAreListedAfterARestart) {
  GuiTestEnvironment env;
  env.WriteDatabases(ExportCatalogue());
  const QString file = QString::fromStdString(env.Path("nouveaux.md"));
  {
    ScopedProgram program;
    program.ShowMain();
    ExportWith(program, [&](TExportWin& d) {
      d.FormatMarkdown->click();
      d.FileName->setText(file);
      d.NewOnly->setChecked(true);
      d.CopyToClipboard->setChecked(true);
      d.DoShellExec->setChecked(false);
    });
    ASSERT_TRUE(program.Main().close());
  }
  ScopedProgram program;
  program.ShowMain();
  TExportWin& d = *Windows().ExportWin;
  EXPECT_TRUE(d.FormatMarkdown->isChecked());
  EXPECT_TRUE(d.NewOnly->isChecked());
  EXPECT_TRUE(d.CopyToClipboard->isChecked());
  EXPECT_EQ(d.FileName->text(), file);

  ExportWith(program, [](TExportWin&) {});
  EXPECT_FALSE(Clipboard().contains("| **"));
  program.Main().SelectCharRow(0);
  ASSERT_GE(program.Main().AddItemToChar(9), 0);  // "Gants perdus" joins the characters' items
  ExportWith(program, [](TExportWin&) {});
  EXPECT_EQ(env.Messages.Texts(BoxKind::Message),
            QStringList({QString::fromUtf8("Liste copiée (8 objets)"), QString::fromUtf8("Liste copiée (0 objet)"),
                         QString::fromUtf8("Liste copiée (1 objet)")}));
  EXPECT_TRUE(Clipboard().contains("| **Gants perdus** \u00B7 "));
  EXPECT_TRUE(QFileInfo::exists(file + ".bak"));
}
