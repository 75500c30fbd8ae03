// The export options dialog on its own: designed state, the two widths, the
// format radios rewriting the extension, "Défaut", cancelling, the colour
// picker and the save dialog (through their seams and for real).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <fstream>
#include <limits>

#include "GuiTestSupport.h"
#include "app/Windows.h"
#include "export/ColourSwatch.h"
#include "export/ExportUnit.h"
#include "export_test_support.h"
#include "gui/WindowFrame.h"
#include "mainwindow/MainUnit.h"

using namespace kistora;
using namespace kistora::testing;

namespace {

TExportWin& Dialog() { return *Windows().ExportWin; }

// Opens the dialog modally, lets act() work on it while it shows, then closes it
// with OK (ok) or "Annuler"; returns what Execute returned.
template <class Act>
bool RunDialog(Act act, bool ok) {
  TExportWin& dialog = Dialog();
  auto answer = AnswerNextModal([&](QDialog*) {
    act(dialog);
    (ok ? dialog.OK : dialog.Cancel)->click();
  });
  const bool result = dialog.Execute();
  EXPECT_TRUE(answer->Answered());
  EXPECT_EQ(answer->DialogClass(), "TExportWin");
  return result;
}

}  // namespace

TEST(ExportWin, CreatedNarrowWithTheDesignedValues) {
  GuiTestEnvironment env;
  ScopedProgram program;
  TExportWin& dialog = Dialog();
  EXPECT_EQ(dialog.objectName(), "ExportWin");
  EXPECT_EQ(dialog.windowTitle(), "ExportWin");
  EXPECT_EQ(OuterBounds(dialog).width(), 378) << "the designed outer width, frame included";
  EXPECT_EQ(dialog.height(), 271);
  EXPECT_FALSE(dialog.IsWide());
  EXPECT_TRUE(dialog.PanelMore->isHidden());
  EXPECT_FALSE(dialog.More->isHidden());
  EXPECT_EQ(dialog.More->text(), "Plus d'options >>");
  EXPECT_EQ(dialog.Parcourir->text(), "Parcourir...");
  EXPECT_EQ(dialog.Cancel->text(), "Annuler");
  EXPECT_TRUE(dialog.OK->isDefault());
  EXPECT_EQ(dialog.Label9->text(), "Note: La plupart de ces options n'ont d'effet qu'en mode HTML");
  EXPECT_EQ(dialog.DoShellExec->text(), QString::fromUtf8("Afficher le résultat"));
  EXPECT_EQ(dialog.ShowSelChar->text(), QString::fromUtf8("Personnage sélectionné"));
  for (ColourSwatch* swatch : {dialog.PTCol, dialog.STCol, dialog.PageCol, dialog.TabCol, dialog.IICol})
    EXPECT_EQ(swatch->size(), QSize(17, 17)) << swatch->objectName().toStdString();
  // The three groups of radio buttons are independent of each other.
  EXPECT_EQ(dialog.ShowSelChar->parentWidget(), dialog.Panel1);
  EXPECT_EQ(dialog.TrierName->parentWidget(), dialog.Panel2);
  ExpectSameExportSettings(dialog.Settings(), ExportSettings{});
  EXPECT_EQ(dialog.FileName->text(), "export.html");
}

TEST(ExportWin, MoreWidensOnceRecentresAndStaysWide) {
  GuiTestEnvironment env;
  ScopedProgram program;
  program.ShowMain();
  TMain& main = program.Main();
  // Where main.left + main.width div 2 - dialog.width div 2 is 0 on the 800-pixel screen of the tests.
  main.move(400 - main.frameGeometry().width() / 2, 21);
  TExportWin& dialog = Dialog();
  QRect wide;
  int topBefore = 0;
  RunDialog(
      [&](TExportWin& d) {
        topBefore = d.frameGeometry().top();
        d.More->click();
        wide = d.frameGeometry();
      },
      false);
  EXPECT_EQ(wide.width(), 800);
  // main.left + main.width div 2 - dialog.width div 2, the top unchanged.
  const QRect owner = main.frameGeometry();
  EXPECT_EQ(wide.left(), owner.left() + owner.width() / 2 - 400);
  EXPECT_EQ(wide.top(), topBefore);
  EXPECT_TRUE(dialog.IsWide());
  EXPECT_TRUE(dialog.More->isHidden());
  // The next opening is still wide, with PanelMore from x = 368 to the right edge.
  RunDialog(
      [&](TExportWin& d) {
        EXPECT_EQ(d.frameGeometry().width(), 800);
        EXPECT_TRUE(d.PanelMore->isVisible());
        EXPECT_FALSE(d.More->isVisible());
        EXPECT_EQ(d.PanelMore->geometry(), QRect(368, 0, d.width() - 368, 271));
      },
      false);
}

TEST(ExportWin, WidenedPastTheScreensEdgeItComesBackWhollyOntoIt) {
  GuiTestEnvironment env;
  ScopedProgram program;
  program.ShowMain();
  program.Main().move(-60, 21);  // the main window at the screen's left edge
  QRect wide;
  RunDialog(
      [&](TExportWin& d) {
        d.More->click();
        wide = d.frameGeometry();
      },
      false);
  EXPECT_TRUE(program.Main().screen()->availableGeometry().contains(wide)) << wide.x() << "," << wide.y();
}

TEST(ExportWin, FormatRadiosRewriteTheExtension) {
  GuiTestEnvironment env;
  ScopedProgram program;
  TExportWin& d = Dialog();
  d.FileName->setText("export");
  d.FormatASCII->click();
  EXPECT_EQ(d.FileName->text(), "export.txt");
  d.FormatHTML->click();
  EXPECT_EQ(d.FileName->text(), "export.html");
  // A click on the format already checked changes nothing.
  d.FileName->setText("garde.txt");
  d.FormatHTML->click();
  EXPECT_EQ(d.FileName->text(), "garde.txt");

  d.FormatASCII->click();
  d.FileName->setText("mes.objets.txt");
  d.FormatHTML->click();
  EXPECT_EQ(d.FileName->text(), "mes.objets.html");
  // Directories are not considered: the last "." anywhere counts.
  d.FormatASCII->click();
  d.FileName->setText("C:\\a.b\\export");
  d.FormatHTML->click();
  EXPECT_EQ(d.FileName->text(), "C:\\a.html");
  // Checking from code acts as a click does; characters Windows-1252 cannot
  // hold survive the rewrite.
  d.FileName->setText(QString::fromUtf8("données ✓.html"));
  d.FormatASCII->setChecked(true);
  EXPECT_EQ(d.FileName->text(), QString::fromUtf8("données ✓.txt"));
  EXPECT_EQ(d.Settings().Format, ExportFormat::Ascii);
}

TEST(ExportWin, DefaultRestoresTheThirteenPresentationValuesOnly) {
  GuiTestEnvironment env;
  ScopedProgram program;
  TExportWin& d = Dialog();
  const ExportSettings odd = OddExportSettings();
  d.SetSettings(odd);
  d.FileName->setText(QString::fromUtf8("kept ✓.txt"));  // not even re-spelled
  d.Default->click();

  const ExportSettings s = d.Settings();
  EXPECT_FALSE(s.ShowPrice);
  EXPECT_EQ(s.PTCol, TextToColor("#40C0FF"));
  EXPECT_EQ(s.STCol, TextToColor("#B0E0FF"));
  EXPECT_EQ(s.PageCol, TextToColor("#FFFFFF"));
  EXPECT_EQ(s.TabCol, TextToColor("#FFFFFF"));
  EXPECT_FALSE(s.TabBorder);  // unlike the designed state
  EXPECT_EQ(s.PageTitle, "Inventaire de Diablo II - Liste de trade");
  EXPECT_EQ(s.Sign, "");
  EXPECT_TRUE(s.DoShellExec);
  EXPECT_EQ(s.IICol, TextToColor("#FFD9D9"));  // unlike the designed #FFFFFF
  EXPECT_EQ(s.IIPrice, 2);                     // unlike the designed 1
  EXPECT_TRUE(s.UseBascule);
  EXPECT_TRUE(s.ShowMajDate);
  // Everything else as it was.
  EXPECT_EQ(s.Format, odd.Format);
  EXPECT_EQ(d.FileName->text(), QString::fromUtf8("kept ✓.txt"));
  EXPECT_EQ(s.ShowUniques, odd.ShowUniques);
  EXPECT_EQ(s.ShowSets, odd.ShowSets);
  EXPECT_EQ(s.ShowRares, odd.ShowRares);
  EXPECT_EQ(s.ShowCrafted, odd.ShowCrafted);
  EXPECT_EQ(s.ShowMagics, odd.ShowMagics);
  EXPECT_EQ(s.ShowNormals, odd.ShowNormals);
  EXPECT_EQ(s.MaskPrice0, odd.MaskPrice0);
  EXPECT_EQ(s.Scope, odd.Scope);
  EXPECT_EQ(s.SortBy, odd.SortBy);
  EXPECT_EQ(s.TrierSets, odd.TrierSets);
}

TEST(ExportWin, SettingsRoundTripEveryControl) {
  GuiTestEnvironment env;
  ScopedProgram program;
  TExportWin& d = Dialog();
  const ExportSettings odd = OddExportSettings();
  d.SetSettings(odd);
  ExpectSameExportSettings(d.Settings(), odd);
  // The controls themselves hold the values.
  EXPECT_TRUE(d.FormatASCII->isChecked());
  EXPECT_TRUE(d.ShowSelChar->isChecked());
  EXPECT_TRUE(d.TrierPrice->isChecked());
  EXPECT_EQ(d.PageTitle->text(), QString::fromUtf8("Liste d'échange"));
  EXPECT_EQ(d.IIPrice->value(), -7);
  EXPECT_EQ(d.PTCol->Colour(), 0x010203u);
  d.SetSettings(ExportSettings{});
  ExpectSameExportSettings(d.Settings(), ExportSettings{});
  // The minimum price has no bounds.
  d.IIPrice->setValue(std::numeric_limits<int>::min());
  EXPECT_EQ(d.Settings().IIPrice, std::numeric_limits<std::int32_t>::min());
  d.IIPrice->setValue(std::numeric_limits<int>::max());
  EXPECT_EQ(d.Settings().IIPrice, std::numeric_limits<std::int32_t>::max());
}

TEST(ExportWin, CancelKeepsEveryChange) {
  GuiTestEnvironment env;
  ScopedProgram program;
  const bool ok = RunDialog(
      [](TExportWin& d) {
        d.FormatASCII->click();
        d.ShowUniques->click();
        d.MaskPrice0->click();
        d.ShowAll->click();
        d.More->click();
        d.Sign->setText("moi");
        d.TrierPrice->click();
        d.IIPrice->setValue(50);
      },
      false);
  EXPECT_FALSE(ok);
  // Escape cancels too, and still keeps what was changed.
  TExportWin& dialog = Dialog();
  auto escape = AnswerNextModal([&](QDialog*) {
    dialog.TrierSets->click();
    QTest::keyClick(&dialog, Qt::Key_Escape);
  });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_TRUE(escape->Answered());

  ExportSettings seen;
  RunDialog([&](TExportWin& d) { seen = d.Settings(); }, false);
  EXPECT_EQ(seen.Format, ExportFormat::Ascii);
  EXPECT_EQ(seen.FileName, "export.txt");
  EXPECT_FALSE(seen.ShowUniques);
  EXPECT_TRUE(seen.MaskPrice0);
  EXPECT_EQ(seen.Scope, ExportScope::AllItems);
  EXPECT_EQ(seen.Sign, "moi");
  EXPECT_EQ(seen.SortBy, ExportSort::Price);
  EXPECT_EQ(seen.IIPrice, 50);
  EXPECT_FALSE(seen.TrierSets);
  EXPECT_TRUE(dialog.IsWide());
  // OK answers true.
  EXPECT_TRUE(RunDialog([](TExportWin&) {}, true));
}

TEST(ExportWin, SwatchClickOffersTheColourPicker) {
  GuiTestEnvironment env;
  ScopedProgram program;
  TExportWin& d = Dialog();
  d.MoreClick();
  d.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
  std::vector<TColor> offered;
  std::optional<TColor> answer;
  d.PickColour = [&](QWidget*, TColor current) {
    offered.push_back(current);
    return answer;
  };
  for (ColourSwatch* swatch : {d.PTCol, d.STCol, d.PageCol, d.TabCol, d.IICol}) {
    SCOPED_TRACE(swatch->objectName().toStdString());
    offered.clear();
    const TColor before = swatch->Colour();
    answer.reset();  // the picker cancelled: the colour stays
    QTest::mouseClick(swatch, Qt::LeftButton, {}, QPoint(8, 8));
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0], before);
    EXPECT_EQ(swatch->Colour(), before);
    answer = 0x336699;
    QTest::mouseClick(swatch, Qt::LeftButton, {}, QPoint(8, 8));
    EXPECT_EQ(swatch->Colour(), 0x336699u);
    // The swatch shows its colour (red in the low byte).
    EXPECT_EQ(swatch->palette().color(QPalette::Window), QColor(0x99, 0x66, 0x33));
  }
  d.hide();
}

TEST(ExportWin, RealColourDialogPresetAndCancel) {
  GuiTestEnvironment env;
  ScopedProgram program;
  TExportWin& d = Dialog();
  d.PTCol->SetColour(0x102030);
  QColor preset;
  auto pick = AnswerNextModal([&](QDialog* dialog) {
    auto* colours = qobject_cast<QColorDialog*>(dialog);
    ASSERT_NE(colours, nullptr);
    preset = colours->currentColor();
    colours->setCurrentColor(QColor(1, 2, 3));
    colours->accept();
  });
  d.ColPanelClick(d.PTCol);
  EXPECT_TRUE(pick->Answered());
  EXPECT_EQ(preset, QColor(0x30, 0x20, 0x10));
  EXPECT_EQ(d.PTCol->Colour(), 0x030201u);

  auto cancel = AnswerNextModal([](QDialog* dialog) {
    qobject_cast<QColorDialog*>(dialog)->setCurrentColor(Qt::black);
    dialog->reject();
  });
  d.ColPanelClick(d.PTCol);
  EXPECT_TRUE(cancel->Answered());
  EXPECT_EQ(d.PTCol->Colour(), 0x030201u);
}

TEST(ExportWin, ParcourirAsksInTheProgramFolderWithTheFourFilters) {
  GuiTestEnvironment env;
  ScopedProgram program;
  TExportWin& d = Dialog();
  d.FileName->setText("liste.html");
  SaveFileRequest asked;
  std::optional<QString> answer;
  d.PickSaveFile = [&](QWidget*, const SaveFileRequest& request) {
    asked = request;
    return answer;
  };
  d.Parcourir->click();
  EXPECT_EQ(asked.Directory, QString::fromStdString(env.DataDir()));
  EXPECT_EQ(asked.FileName, "liste.html");
  EXPECT_EQ(asked.Filters,
            QStringList({"Fichiers HTML (*.htm *.html)", "Fichiers textes (*.txt)",
                         QString::fromUtf8("Formats supportés (*.htm *.html *.txt)"), "Tous les fichiers (*)"}));
  EXPECT_EQ(asked.SelectedFilter, asked.Filters.value(2));
  EXPECT_EQ(d.FileName->text(), "liste.html");  // cancelled: unchanged

  // The chosen name is kept as chosen, whatever the format.
  answer = QString::fromStdString(env.Path("choisi.txt"));
  d.Parcourir->click();
  EXPECT_EQ(d.FileName->text(), *answer);
  EXPECT_TRUE(d.FormatHTML->isChecked());
}

TEST(ExportWin, RealSaveDialogStartsInTheFolderAndNeverAsksToOverwrite) {
  GuiTestEnvironment env;
  ScopedProgram program;
  TExportWin& d = Dialog();
  WriteBytes(env.Path("existant.html"), "old");
  d.FileName->setText("liste.html");
  auto answer = AnswerNextModal([&](QDialog* dialog) {
    auto* files = qobject_cast<QFileDialog*>(dialog);
    ASSERT_NE(files, nullptr);
    EXPECT_EQ(files->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(QDir(files->directory()).canonicalPath(), QDir(QString::fromStdString(env.DataDir())).canonicalPath());
    EXPECT_EQ(files->nameFilters().size(), 4);
    EXPECT_EQ(files->selectedNameFilter(), QString::fromUtf8("Formats supportés (*.htm *.html *.txt)"));
    EXPECT_TRUE(files->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_TRUE(files->defaultSuffix().isEmpty());
    // Typed into the name box, as the user does (selectFile races the folder's loading).
    auto* typed = files->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->text(), "liste.html");  // the preset name
    typed->setText("existant.html");
    static_cast<QDialog*>(files)->accept();  // an overwrite prompt would stay unanswered and fail below
  });
  d.ParcourirClick();
  EXPECT_TRUE(answer->Answered());
  EXPECT_EQ(QFileInfo(d.FileName->text()).canonicalFilePath(),
            QFileInfo(QString::fromStdString(env.Path("existant.html"))).canonicalFilePath())
      << d.FileName->text().toStdString();

  auto cancel = AnswerNextModal([](QDialog* dialog) { dialog->reject(); });
  const QString before = d.FileName->text();
  d.ParcourirClick();
  EXPECT_TRUE(cancel->Answered());
  EXPECT_EQ(d.FileName->text(), before);
}
