// Qt's own model checker over the three list models while the catalogue changes
// through its operations, and while they are taken back and done again: any
// broken row count, index or reset aborts the test.
#include <QAbstractItemModelTester>

#include "MainWindowHelpers.h"
#include "app/Windows.h"
#include "itemdb/ItemGUnit.h"
#include "itemdb/ItemListModel.h"
#include "model/catalogue_history.h"

namespace kistora::testing {
namespace {

TEST(ListModels, StayConsistentThroughEveryCatalogueOperation) {
  GuiTestEnvironment env;
  TCatalogue start;
  AddItem<TD2Ring>(start, 1, "Anneau", 3, 10);
  AddItem<TD2Helm>(start, 2, "Heaume", 5, 20);
  AddPaladin(start, "Zoe", {1, 2, 1}, "42");
  AddPaladin(start, "Ana", {}, "42");
  env.WriteDatabases(start);

  ScopedProgram program;
  program.ShowMain();
  TMain& main = program.Main();
  TItemG& itemG = *Windows().ItemG;
  itemG.ShowAndRaise();
  const auto mode = QAbstractItemModelTester::FailureReportingMode::Fatal;
  QAbstractItemModelTester chars(main.Chars->model(), mode);
  QAbstractItemModelTester inventory(main.CharInv->model(), mode);
  QAbstractItemModelTester items(itemG.ListeModel(), mode);

  TCatalogue& c = main.Catalogue();
  main.SelectCharRow(0);
  EXPECT_EQ(Rows(main.CharInv), 3);
  c.AddItemToChar(0, 2);
  c.RemoveInventoryEntry(0, 0);
  EXPECT_EQ(Rows(main.CharInv), 3);
  auto weapon = std::make_unique<TD2Weapon>();
  weapon->Name = "Hache";
  const std::int32_t number = c.AddNewItem(std::move(weapon));
  EXPECT_EQ(Rows(itemG.Liste), 3);
  c.ModifyItem(number, std::make_unique<TD2Jewel>());
  c.DeleteItem(2);  // leaves Zoe's inventory too
  EXPECT_EQ(Rows(itemG.Liste), 2);
  EXPECT_EQ(Rows(main.CharInv), 1);
  itemG.ListeColumnClick(kColName);
  itemG.ListeColumnClick(kColName);
  c.AddChar(std::make_unique<TChar>());
  c.SwapChars(0, 2);
  c.ModifyChar(1, TChar{});
  c.RemoveChar(0);
  EXPECT_EQ(Rows(main.Chars), 2);
  // Each of them taken back (a deleted item comes back mid-list) and done again.
  CatalogueHistory& history = *Windows().History;
  while (history.Undo()) {
  }
  EXPECT_EQ(Rows(main.Chars), 2);
  EXPECT_EQ(Rows(itemG.Liste), 2);
  main.SelectCharRow(0);
  EXPECT_EQ(Rows(main.CharInv), 3);
  while (history.Redo()) {
  }
  EXPECT_EQ(Rows(itemG.Liste), 2);
  c.Clear();
  EXPECT_EQ(Rows(main.Chars), 0);
  EXPECT_EQ(Rows(itemG.Liste), 0);
}

}  // namespace
}  // namespace kistora::testing
