// The selected character's inventory: its rows, removing an entry by position,
// viewing an item read-only, and handing items over from the item database.
#include <QApplication>
#include <QLabel>

#include "MainWindowHelpers.h"
#include "app/Windows.h"
#include "itemdb/ItemGUnit.h"
#include "itemdb/ItemPUnit.h"

namespace kistora::testing {
namespace {

class InventoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TCatalogue catalogue;
    AddItem<TD2Gloves>(catalogue, 1, "Gants", 0, 10, "paire");
    AddItem<TD2Boots>(catalogue, 2, "Bottes", 1, 20);
    AddItem<TD2Belt>(catalogue, 3, "Ceinture", 2, 30);
    AddItem<TD2Helm>(catalogue, 4, "Casque", 3, 40);
    AddItem<TD2Shield>(catalogue, 5, "Bouclier", 4, -5);
    AddItem<TD2Armor>(catalogue, 6, "Armure", 5, 60);
    AddItem<TD2Weapon>(catalogue, 7, "Hache", 9, 70);
    AddItem<TD2Amulet>(catalogue, 8, "Amulette", 0, 0);
    AddItem<TD2Ring>(catalogue, 9, "Bague", 0, 0);
    AddItem<TD2Charm>(catalogue, 10, "Charme", 0, 0);
    AddItem<TD2Jewel>(catalogue, 11, "Joyau", 0, 0);
    AddItem<TD2Item>(catalogue, 12, "Chose", 0, 0);
    AddPaladin(catalogue, "Tous", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, "42");
    AddPaladin(catalogue, "Double", {9, 404, 9}, "42");
    AddPaladin(catalogue, "Vide", {}, "42");
    env_.WriteDatabases(catalogue);
    program_ = std::make_unique<ScopedProgram>();
    program_->ShowMain();
  }
  void TearDown() override { program_.reset(); }

  TMain& Main() { return program_->Main(); }
  QStringList Row(int row) {
    QStringList cells;
    for (int c = 0; c < 6; ++c) cells << Cell(Main().CharInv, row, c);
    return cells;
  }

  GuiTestEnvironment env_;
  std::unique_ptr<ScopedProgram> program_;
};

TEST_F(InventoryTest, RowsShowEachItemsLabels) {
  Main().SelectCharRow(0);
  ASSERT_EQ(Rows(Main().CharInv), 12);
  EXPECT_EQ(Main().InvCount->text(), QString::fromUtf8("12 objets \u2014 valeur 225"));  // -5 included
  EXPECT_EQ(Row(0), QStringList({"1", "Gants", "Gants", "Normal", "10", "paire"}));
  EXPECT_EQ(Row(4), QStringList({"5", "Bouclier", "Bouclier", "Set", "-5", ""}));
  EXPECT_EQ(Row(6), QStringList({"7", "Hache", "Arme", "", "70", ""}));  // quality 9: no label
  QStringList types;
  QStringList qualities;
  for (int r = 0; r < 12; ++r) {
    types << Cell(Main().CharInv, r, 2);
    qualities << Cell(Main().CharInv, r, 3);
  }
  EXPECT_EQ(types, QStringList({"Gants", "Bottes", "Ceinture", "Casque", "Bouclier", "Armure", "Arme", "Amulette",
                                "Anneau", "Charme", "Joyau", ""}));
  EXPECT_EQ(qualities.mid(0, 6), QStringList({"Normal", "Magique", "Rare", "Crafted", "Set", "Unique"}));
  EXPECT_EQ(Main().CharInv->model()->index(0, 4).data(Qt::TextAlignmentRole).toInt(),
            int(Qt::AlignHCenter | Qt::AlignVCenter));
  EXPECT_EQ(Main().Chars->model()->index(0, 3).data(Qt::TextAlignmentRole).toInt(),
            int(Qt::AlignHCenter | Qt::AlignVCenter));
}

TEST_F(InventoryTest, DuplicatesAndUnknownNumbersEachGetOneRow) {
  Main().SelectCharRow(1);
  ASSERT_EQ(Rows(Main().CharInv), 3);
  EXPECT_EQ(Row(0), Row(2));
  EXPECT_EQ(Row(1), QStringList({"404", "", "", "", "", ""}));
  EXPECT_EQ(Main().InvCount->text(), QString::fromUtf8("3 objets \u2014 valeur 0")) << "an unknown number counts";
}

TEST_F(InventoryTest, DeleteRemovesTheEntryAtTheRowOnly) {
  Main().SelectCharRow(1);
  SelectRow(Main().CharInv, 2);
  Main().DelItem->click();
  EXPECT_EQ(Main().Catalogue().CharList[1]->Items, (std::vector<std::int32_t>{9, 404}));
  EXPECT_EQ(InvNumbers(Main()), QStringList({"9", "404"}));
  EXPECT_TRUE(Main().CharInv->selectionModel()->selectedRows().isEmpty());
  // The entry whose item is missing can be removed too.
  SelectRow(Main().CharInv, 1);
  Main().DelItem->click();
  SelectRow(Main().CharInv, 0);
  Main().DelItem->click();
  EXPECT_EQ(Rows(Main().CharInv), 0);
  EXPECT_TRUE(Main().Catalogue().CharList[1]->Items.empty());
  EXPECT_NE(Main().Catalogue().FindItem(9), nullptr);  // still in the database
  EXPECT_EQ(Main().Catalogue().CharList[0]->ItemCount(), 12);
  EXPECT_TRUE(env_.Messages.Shown.empty());
}

TEST_F(InventoryTest, SeeOpensTheItemReadOnlyAndReturnsToTheList) {
  Main().Chars->setFocus();
  Main().SelectCharRow(0);
  SelectRow(Main().CharInv, 6);
  QString name;
  bool nameEnabled = true;
  bool cancelVisible = true;
  auto answer = AnswerNextModal([&](QDialog* dialog) {
    auto* itemP = qobject_cast<TItemP*>(dialog);
    ASSERT_NE(itemP, nullptr);
    name = itemP->ItemName->text();
    nameEnabled = itemP->ItemName->isEnabled();
    cancelVisible = itemP->Cancel->isVisible();
    dialog->accept();
  });
  Main().SeeItem->click();
  ASSERT_TRUE(answer->Answered());
  EXPECT_EQ(name, "Hache");
  EXPECT_FALSE(nameEnabled);
  EXPECT_FALSE(cancelVisible);
  EXPECT_EQ(Main().Catalogue().ItemList.size(), 12u);
  EXPECT_EQ(Rows(Main().CharInv), 12);
  // The focus the main window gives back when it is active again.
  EXPECT_EQ(Main().focusWidget(), Main().CharInv);
}

TEST_F(InventoryTest, DoubleClickViewsLikeSee) {
  Main().SelectCharRow(0);
  const QRect row = Main().CharInv->visualRect(Main().CharInv->model()->index(1, 1));
  auto answer = AnswerNextModal([](QDialog* dialog) { dialog->accept(); });
  // A double click is a click followed by a second press seen as a double click.
  QTest::mouseClick(Main().CharInv->viewport(), Qt::LeftButton, {}, row.center());
  QTest::mouseDClick(Main().CharInv->viewport(), Qt::LeftButton, {}, row.center());
  ASSERT_TRUE(answer->Answered());
  EXPECT_EQ(answer->DialogClass(), "TItemP");
}

TEST_F(InventoryTest, NothingOpensWithoutARowOrForAMissingItem) {
  Main().SelectCharRow(1);
  Main().SeeItem->click();       // no row selected
  SelectRow(Main().CharInv, 1);  // number 404: no item
  Main().SeeItem->click();
  EXPECT_FALSE(Windows().ItemP->isVisible());
  EXPECT_TRUE(env_.Messages.Shown.empty());
}

TEST_F(InventoryTest, AddItemToCharAppendsToTheSelectedCharacterOnly) {
  const TD2Item& ring = *Main().Catalogue().FindItem(9);
  Main().AddItemToChar(ring.Index);  // nobody selected: nothing
  EXPECT_TRUE(Main().Catalogue().CharList[2]->Items.empty());
  Main().SelectCharRow(2);
  Main().AddItemToChar(ring.Index);
  Main().AddItemToChar(ring.Index);
  EXPECT_EQ(Main().Catalogue().CharList[2]->Items, (std::vector<std::int32_t>{9, 9}));
  EXPECT_EQ(InvNumbers(Main()), QStringList({"9", "9"}));
  EXPECT_EQ(Main().Catalogue().CharList[1]->Items, (std::vector<std::int32_t>{9, 404, 9}));
}

TEST_F(InventoryTest, ItemGestionShowsOneItemDatabaseWindow) {
  Main().ItemGestion->click();
  TItemG* window = Windows().ItemG;
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->isWindow());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  Main().ItemGestion->click();
  EXPECT_EQ(Windows().ItemG, window);
  EXPECT_EQ(Main().findChildren<TItemG*>().size(), 1);
}

TEST_F(InventoryTest, ALargeInventoryListsEveryEntry) {
  auto& items = Main().Catalogue().CharList[2]->Items;
  for (int i = 0; i < 20000; ++i) items.push_back(i % 15 + 1);  // 13..15 match nothing
  Main().SelectCharRow(2);
  ASSERT_EQ(Rows(Main().CharInv), 20000);
  for (int row : {0, 11, 12, 14, 19991, 19994, 19995, 19999}) {
    const int number = row % 15 + 1;
    EXPECT_EQ(Cell(Main().CharInv, row, 0), QString::number(number));
    const TD2Item* item = Main().Catalogue().FindItem(number);
    EXPECT_EQ(Cell(Main().CharInv, row, 1), item ? FromCp1252(item->Name) : QString()) << row;
  }
}

}  // namespace
}  // namespace kistora::testing
