// Another machine's version of the catalogue, put in place by a sync tool
// while the program is open: taken in within seconds (never while a dialog
// is open), merged with what this copy changed, the windows kept where they
// were, one step of the history, saved like any change.
#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <cstdio>

#include "MainWindowHelpers.h"
#include "app/Windows.h"
#include "itemdb/ItemGUnit.h"
#include "itemdb/ItemPUnit.h"
#include "start_catalogue.h"
#include "storage/database.h"

namespace kistora::testing {
namespace {

// Writes catalogue's two files beside the data folder's, then renames them in, as a sync tool does.
void ArriveFromElsewhere(GuiTestEnvironment& env, const TCatalogue& catalogue) {
  SaveItems(catalogue, env.Path(".incoming-items"));
  SaveChars(catalogue, env.Path(".incoming-chars"));
  ASSERT_EQ(std::rename(env.Path(".incoming-items").c_str(), env.Path("items.kdb").c_str()), 0);
  ASSERT_EQ(std::rename(env.Path(".incoming-chars").c_str(), env.Path("chars.kdb").c_str()), 0);
}

std::vector<std::string> NamesOnDisk(GuiTestEnvironment& env) {
  TCatalogue saved;
  LoadItems(saved, env.Path("items.kdb"));
  std::vector<std::string> names;
  for (const ItemPtr& item : saved.ItemList) names.push_back(std::string(item->Name));
  return names;
}

TEST(TakeIn, AnotherMachinesVersionMergesWithAnOpenDialogsEditAndOneUndoTakesItBack) {
  GuiTestEnvironment env;
  env.WriteDatabases(Start());
  ScopedProgram program;
  program.ShowMain();
  TMain& main = program.Main();
  TItemG& items = *Windows().ItemG;
  main.SelectCharRow(1);  // Ana
  items.ShowAndRaise();
  items.Search->setText("e");
  SelectRow(items.Liste, static_cast<int>(Column(items.Liste, 0).indexOf("1204")));

  // The other machine deleted 1 204 and gave a new item to Ana.
  TCatalogue elsewhere = Start();
  elsewhere.DeleteItem(1204);
  AddItem<TD2Boots>(elsewhere, 1205, "Bottes", 2, 50);
  elsewhere.CharList[1]->Items = {1205};
  // Meanwhile here, 1 204 is edited in its dialog, which stays open while the files change.
  auto answer = AnswerNextModal([&](QDialog* dialog) {
    ArriveFromElsewhere(env, elsewhere);
    QTest::qWait(2500);  // longer than a take-in needs: none comes while a dialog is open
    EXPECT_EQ(main.Catalogue().ItemList.size(), 2u);
    auto* properties = static_cast<TItemP*>(dialog);
    properties->ItemName->setText(QString::fromUtf8("Épée brisée"));
    properties->OK->click();
  });
  items.ModItem->click();
  ASSERT_TRUE(answer->Answered());
  SelectRow(items.Liste, static_cast<int>(Column(items.Liste, 0).indexOf("1204")));  // chosen again after the edit

  // Taken in once the dialog closed: deleted there and changed here, 1 204 stays, changed.
  QTRY_COMPARE_WITH_TIMEOUT(main.Catalogue().ItemList.size(), 3u, 5000);
  EXPECT_EQ(main.Catalogue().FindItem(1204)->Name.view(), W("Épée brisée"));
  EXPECT_EQ(main.Catalogue().FindItem(1205)->Name.view(), "Bottes");
  EXPECT_EQ(main.Catalogue().CharList[0]->Items, (std::vector<std::int32_t>{1, 1}));
  EXPECT_EQ(main.Catalogue().CharList[1]->Items, (std::vector<std::int32_t>{1205}));
  // The windows stayed where they were, and the main window says what came.
  EXPECT_EQ(main.SelectedCharRow(), 1);
  EXPECT_EQ(InvNumbers(main), QStringList({"1205"}));
  EXPECT_EQ(items.Search->text(), "e");
  const QModelIndexList selected = items.Liste->selectionModel()->selectedRows();
  ASSERT_EQ(selected.size(), 1);
  EXPECT_EQ(Cell(items.Liste, selected.first().row(), 0), "1204");
  EXPECT_EQ(main.InvCount->text().toStdString(),
            "Catalogue mis à jour depuis le disque : 1 objet ajouté, 2 persos modifiés");
  EXPECT_TRUE(env.Messages.Shown.empty()) << "a line, not a box";
  // Saved like any change: the disk holds the merge.
  QTRY_COMPARE_WITH_TIMEOUT(NamesOnDisk(env).size(), 3u, 5000);

  // One step of the history: taken back, this copy's catalogue (with its own edit) comes back and is saved.
  EXPECT_EQ(main.Annuler1->text().toStdString(),
            "&Annuler catalogue mis à jour depuis le disque : 1 objet ajouté, 2 persos modifiés");
  main.UndoClick();
  EXPECT_EQ(main.Catalogue().ItemList.size(), 2u);
  EXPECT_EQ(main.Catalogue().CharList[1]->Items, (std::vector<std::int32_t>{1204}));
  QTRY_COMPARE_WITH_TIMEOUT(NamesOnDisk(env), (std::vector<std::string>{"Anneau", W("Épée brisée")}), 5000);
}

TEST(TakeIn, AFileNobodyChangedIsNeverWrittenAndAnUnreadableVersionWaits) {
  GuiTestEnvironment env;
  env.WriteDatabases(Start());
  const std::string items = ReadBytes(env.Path("items.kdb"));
  {
    ScopedProgram program;
    program.ShowMain();
    program.Main().Catalogue().AddItemToChar(1, 1);  // the characters change, the items do not
    // A half-written items.kdb from elsewhere is not taken in: the catalogue goes on as it was.
    WriteBytes(env.Path("items.kdb"), items.substr(0, items.size() - 5));
    QTest::qWait(2500);
    EXPECT_EQ(program.Main().Catalogue().ItemList.size(), 2u);
    WriteBytes(env.Path("items.kdb"), items);  // its whole version comes after
    QTest::qWait(1500);
    ASSERT_TRUE(program.Main().close());
  }
  EXPECT_EQ(ReadBytes(env.Path("items.kdb")), items) << "not written: this copy never changed its items";
  TCatalogue saved;
  ASSERT_EQ(LoadChars(saved, env.Path("chars.kdb")), kLoadOk);
  EXPECT_EQ(saved.CharList[1]->Items, (std::vector<std::int32_t>{1204, 1}));
}

}  // namespace
}  // namespace kistora::testing
