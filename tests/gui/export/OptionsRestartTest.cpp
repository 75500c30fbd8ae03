// The options file through the real windows: what one run changes is found by
// the next, the designed values are what the first file holds, the item
// database window's placement, a hand-written file, and the failures.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <fstream>
#include <sstream>

#include "GuiTestSupport.h"
#include "MainWindowHelpers.h"
#include "app/Windows.h"
#include "export/ExportUnit.h"
#include "export_test_support.h"
#include "itemdb/ItemGUnit.h"
#include "mainwindow/MainUnit.h"
#include "mainwindow/PersoUnit.h"
#include "options/option_keys.h"
#include "options/options_file.h"

using namespace kistora;
using namespace kistora::testing;

namespace {

// The column widths of a list (a QTreeView, or the item window's table).
template <class List>
std::vector<int> Widths(List* list) {
  std::vector<int> widths;
  for (int c = 0; c < list->header()->count(); ++c) widths.push_back(list->header()->sectionSize(c));
  return widths;
}

template <class List>
void SetWidths(List* list, const std::vector<int>& widths) {
  for (std::size_t c = 0; c < widths.size(); ++c) list->header()->resizeSection(static_cast<int>(c), widths[c]);
}

// key -> value of every key line of a written options file.
std::map<std::string, std::string> KeyValues(const std::string& path) {
  std::map<std::string, std::string> values;
  std::ifstream file(path, std::ios::binary);
  std::string line;
  while (std::getline(file, line, '\n')) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const OptionLine split = SplitOptionLine(line);
    if (!split.Key.empty()) values[split.Key] = split.Value;
  }
  return values;
}

}  // namespace

TEST(OptionsRestart, ANewRunFindsEverythingTheLastOneChanged) {
  GuiTestEnvironment env;
  env.WriteDatabases(ExportCatalogue());
  const ExportSettings odd = OddExportSettings();
  // Where the player leaves the windows (on the 800 x 600 screen of the tests),
  // and their outer bounds, frame included, at the close.
  const QRect mainBounds(23, 45, 700, 500);
  const QRect itemGBounds(110, 130, 650, 420);
  QRect mainOuter;
  QRect itemGOuter;
  const std::vector<int> charsWidths = {111, 90, 80, 33, 150};
  const std::vector<int> invWidths = {44, 140, 99, 98, 55, 190};
  const std::vector<int> listeWidths = {61, 171, 72, 83, 94, 105};
  {
    ScopedProgram program;
    program.ShowMain();
    TMain& main = program.Main();
    main.move(mainBounds.topLeft());
    main.resize(mainBounds.size());
    mainOuter = main.frameGeometry();
    TItemG& itemG = *Windows().ItemG;
    main.ItemGestion->click();
    itemG.move(itemGBounds.topLeft());
    itemG.resize(itemGBounds.size());
    itemGOuter = itemG.frameGeometry();
    SetWidths(main.Chars, charsWidths);
    SetWidths(main.CharInv, invWidths);
    SetWidths(itemG.Liste, listeWidths);
    itemG.ShowSets->click();
    itemG.MaskPrice0->click();
    itemG.ListeColumnClick(1);
    itemG.ListeColumnClick(1);  // the same column again: inverted
    Windows().Perso->CharAccount->setText(QString::fromUtf8("Compte-é"));
    main.SelectCharRow(1);
    main.Catalogue().LastItemIndex = 500;
    Windows().ExportWin->SetSettings(odd);
    Windows().ExportWin->MoreClick();
    ASSERT_TRUE(main.close());
  }
  const std::map<std::string, std::string> written = KeyValues(env.Path("kistora.ini"));
  EXPECT_EQ(written.size(), static_cast<std::size_t>(kOptionCount));
  EXPECT_EQ(written.at("selectedchar"), "Alric");
  EXPECT_EQ(written.at("defaccount"), "Compte-\xE9");

  ScopedProgram program;
  program.ShowMain();
  TMain& main = program.Main();
  TItemG& itemG = *Windows().ItemG;
  // The frame's position and size, as they were.
  EXPECT_EQ(main.frameGeometry(), mainOuter);
  EXPECT_EQ(written.at("mwp_width"), std::to_string(mainOuter.width())) << "the file holds the outer bounds";
  EXPECT_EQ(Widths(main.Chars), charsWidths);
  EXPECT_EQ(Widths(main.CharInv), invWidths);
  EXPECT_EQ(Widths(itemG.Liste), listeWidths);
  EXPECT_EQ(main.Catalogue().DefaultAccount, "Compte-\xE9");
  EXPECT_EQ(Windows().Perso->CharAccount->text(), QString::fromUtf8("Compte-é"));
  EXPECT_EQ(main.SelectedCharRow(), 1);
  EXPECT_EQ(Column(main.CharInv, 0), QStringList({"2", "4", "6", "8"}));  // Alric's inventory is listed
  EXPECT_EQ(main.Catalogue().LastItemIndex, 500);
  EXPECT_FALSE(itemG.ShowSets->isChecked());
  EXPECT_TRUE(itemG.MaskPrice0->isChecked());
  EXPECT_TRUE(itemG.ShowUniques->isChecked());
  EXPECT_EQ(itemG.SortColumn, 1);
  EXPECT_TRUE(itemG.SortInverted);
  EXPECT_TRUE(itemG.PositionFromOptions);
  ExpectSameExportSettings(Windows().ExportWin->Settings(), odd);
  // The dialog's width is not an option: it starts narrow again.
  EXPECT_FALSE(Windows().ExportWin->IsWide());

  // The item database window opens where it was left, filtered and sorted:
  // no set items, nothing of price 0, names from Z to A.
  main.ItemGestion->click();
  EXPECT_EQ(itemG.frameGeometry(), itemGOuter);
  EXPECT_EQ(Column(itemG.Liste, 1), QStringList({QString::fromUtf8("Lame de l'éclair"), "Joyau magique", "Grand charme",
                                                 "Gants perdus", QString::fromUtf8("Anneau rare <forgé>")}));
}

TEST(OptionsRestart, TheFirstFileHoldsTheDesignedValues) {
  GuiTestEnvironment env;
  {
    ScopedProgram program;
    program.ShowMain();
    EXPECT_EQ(env.Messages.Texts(BoxKind::FileError).size(), 1);  // only the first run's missing item database
    ASSERT_TRUE(program.Main().close());
  }
  const std::map<std::string, std::string> written = KeyValues(env.Path("kistora.ini"));
  ASSERT_EQ(written.size(), static_cast<std::size_t>(kOptionCount));
  int checked = 0;
  for (const OptionKeyInfo& info : kOptionKeys) {
    if (info.Designed.empty() && info.Key != "defaccount" && info.Key != "selectedchar" && info.Key != "expsign")
      continue;  // the window edges: centred, no fixed value
    EXPECT_EQ(written.at(std::string(info.Key)), std::string(info.Designed)) << info.Key;
    ++checked;
  }
  EXPECT_EQ(checked, kOptionCount - 4);
  // The file starts with its header naming the program.
  std::ifstream file(env.Path("kistora.ini"), std::ios::binary);
  std::string first;
  std::getline(file, first);
  EXPECT_EQ(first, "// File generated by " + ExeName() + "\r");
}

TEST(OptionsRestart, ItemWindowCentresOverMainUnlessTheFileGaveItsPosition) {
  GuiTestEnvironment env;
  WriteBytes(env.Path("kistora.ini"), "mwp_left 40\r\nmwp_top 30\r\niwp_width 500\r\niwp_height 300\r\n");
  {
    ScopedProgram program;
    program.ShowMain();
    TItemG& itemG = *Windows().ItemG;
    EXPECT_FALSE(itemG.PositionFromOptions);
    program.Main().ItemGestion->click();
    EXPECT_EQ(itemG.frameGeometry().size(), QSize(500, 300));
    const QPoint centre = program.Main().frameGeometry().center();
    EXPECT_LE(std::abs(itemG.frameGeometry().center().x() - centre.x()), 1);
    EXPECT_LE(std::abs(itemG.frameGeometry().center().y() - centre.y()), 1);
  }
  WriteBytes(env.Path("kistora.ini"), "IWP_TOP 77\r\n");  // one edge is enough; keys in any case
  ScopedProgram program;
  program.ShowMain();
  TItemG& itemG = *Windows().ItemG;
  EXPECT_TRUE(itemG.PositionFromOptions);
  program.Main().ItemGestion->click();
  EXPECT_EQ(itemG.frameGeometry().top(), 77);
}

TEST(OptionsRestart, AHandWrittenFileIsAppliedLineByLine) {
  GuiTestEnvironment env;
  env.WriteDatabases(ExportCatalogue());
  WriteBytes(env.Path("kistora.ini"),
             "// made by hand\r\n"
             "selectedchar   zo\xE9   // the name is matched whatever its case\r\n"
             "selectedchar   Personne\r\n"  // no such character: the selection stays
             "lastitemindex  abc\r\n"       // -1, then raised to the highest item number
             "defaccount     mon compte\r\n"
             "exportformat   TEXT\r\n"  // anything but html: ASCII, the extension follows
             "expshowuniques Oui\r\n"
             "expshowsets    vrai\r\n"
             "expptitlecol   FF0000\r\n"
             "expgooditemprice douze\r\n"  // the fallback 1
             "expsortby      price\r\n"
             "idbsortcol     99\r\n"
             "ccs_name       -5\r\n"
             "mwp_width      nope\r\n");
  ScopedProgram program;
  program.ShowMain();
  TMain& main = program.Main();
  EXPECT_TRUE(env.Messages.Shown.empty());
  EXPECT_EQ(main.SelectedCharRow(), 0);
  EXPECT_EQ(Column(main.CharInv, 0), QStringList({"1", "3", "5", "7", "7"}));
  EXPECT_EQ(main.Catalogue().LastItemIndex, 9);
  EXPECT_EQ(main.Catalogue().DefaultAccount, "mon compte");
  EXPECT_EQ(Windows().Perso->CharAccount->text(), "mon compte");
  const ExportSettings s = Windows().ExportWin->Settings();
  EXPECT_EQ(s.Format, ExportFormat::Ascii);
  EXPECT_EQ(s.FileName, "export.txt");
  EXPECT_TRUE(s.ShowUniques);
  EXPECT_FALSE(s.ShowSets);
  EXPECT_EQ(s.PTCol, 0x00000Fu);  // the first F dropped: red 0x0F
  EXPECT_EQ(s.IIPrice, 1);
  EXPECT_EQ(s.SortBy, ExportSort::Price);
  EXPECT_EQ(Windows().ItemG->SortColumn, 99);
  // A negative width gives the narrowest column the list allows; text that does
  // not parse keeps the current value.
  EXPECT_EQ(main.Chars->header()->sectionSize(0), main.Chars->header()->minimumSectionSize());
  EXPECT_EQ(main.frameGeometry().width(), 609);
  // The item database window copes with the column number it was given.
  main.ItemGestion->click();
  EXPECT_EQ(Windows().ItemG->Liste->model()->rowCount(), 9);
}

TEST(OptionsRestart, AFailedOptionsWriteKeepsTheWindowOpenAndBothDatabases) {
  GuiTestEnvironment env;
  env.WriteDatabases(ExportCatalogue());
  const std::string itemsBefore = ReadBytes(env.Path("items.kdb"));
  const std::string charsBefore = ReadBytes(env.Path("chars.kdb"));
  ScopedProgram program;
  program.ShowMain();
  TMain& main = program.Main();
  main.Catalogue().CharList.pop_back();  // a change that a save would write
  main.Catalogue().ItemList.pop_back();
  // A folder where the options file should be: it cannot be replaced.
  ASSERT_TRUE(QDir().mkdir(QString::fromStdString(env.Path("kistora.ini"))));
  EXPECT_FALSE(main.close());
  EXPECT_TRUE(main.isVisible());
  const QStringList errors = env.Messages.Texts(BoxKind::FileError);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].contains("kistora.ini")) << errors[0].toStdString();
  EXPECT_TRUE(errors[0].endsWith(".")) << errors[0].toStdString();
  EXPECT_EQ(ReadBytes(env.Path("items.kdb")), itemsBefore);
  EXPECT_EQ(ReadBytes(env.Path("chars.kdb")), charsBefore);
  EXPECT_EQ(main.Catalogue().CharList.size(), 1u);

  // Once the way is clear, the close goes through and writes all three.
  ASSERT_TRUE(QDir().rmdir(QString::fromStdString(env.Path("kistora.ini"))));
  EXPECT_TRUE(main.close());
  EXPECT_FALSE(ReadBytes(env.Path("kistora.ini")).empty());
  EXPECT_NE(ReadBytes(env.Path("chars.kdb")), charsBefore);
}

TEST(OptionsRestart, AnUnreadableOptionsFileIsReportedAndTheWindowComesUp) {
  GuiTestEnvironment env;
  env.WriteDatabases(ExportCatalogue());
  ASSERT_TRUE(QDir().mkdir(QString::fromStdString(env.Path("kistora.ini"))));
  ScopedProgram program;
  program.ShowMain();
  EXPECT_TRUE(program.Main().isVisible());
  const QStringList errors = env.Messages.Texts(BoxKind::FileError);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].contains(QString::fromStdString(env.Path("kistora.ini")))) << errors[0].toStdString();
  // The designed values are in place.
  ExpectSameExportSettings(Windows().ExportWin->Settings(), ExportSettings{});
  EXPECT_EQ(program.Main().Catalogue().LastItemIndex, 0);
}

TEST(OptionsRestart, WritingKeepsThePreviousFileAsBackup) {
  GuiTestEnvironment env;
  WriteBytes(env.Path("kistora.ini"), "expsign ancien\r\n");
  ScopedProgram program;
  program.ShowMain();
  Windows().ExportWin->Sign->setText("nouveau");
  ASSERT_TRUE(program.Main().close());
  EXPECT_EQ(ReadBytes(env.Path("kistora.ini.bak")), "expsign ancien\r\n");
  EXPECT_EQ(KeyValues(env.Path("kistora.ini")).at("expsign"), "nouveau");
}
