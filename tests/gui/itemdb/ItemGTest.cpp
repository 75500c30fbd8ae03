// The item database window inside the running program: listing, filtering,
// sorting, and every action with its effect on the catalogue and inventories.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTreeView>
#include <climits>

#include "GuiTestSupport.h"
#include "MainWindowHelpers.h"
#include "app/Windows.h"
#include "core_test_support.h"
#include "gui/WindowFrame.h"
#include "gui/WindowPlacement.h"
#include "itemdb/CompletionPopup.h"
#include "itemdb/ItemGUnit.h"
#include "itemdb/ItemListModel.h"
#include "itemdb/ItemPUnit.h"
#include "mainwindow/MainUnit.h"
#include "options/option_bindings.h"

using namespace kistora;
using kistora::testing::AnswerNextModal;
using kistora::testing::BoxKind;

namespace {

template <typename T>
std::unique_ptr<TD2Item> Make(std::int32_t index, std::string name, std::int32_t price = 1, std::uint8_t quality = 0) {
  auto item = std::make_unique<T>();
  item->Index = index;
  item->Name = std::move(name);
  item->Price = price;
  item->Quality = quality;
  return item;
}

class ItemGTest : public ::testing::Test {
 protected:
  kistora::testing::GuiTestEnvironment env;
  kistora::testing::ScopedProgram program;

  TMain& Main() { return program.Main(); }
  TCatalogue& Cat() { return Main().Catalogue(); }
  TItemG& G() { return *Windows().ItemG; }
  TItemP& P() { return *Windows().ItemP; }

  void AddItem(std::unique_ptr<TD2Item> item) { Cat().ItemList.push_back(std::move(item)); }
  // A character holding numbers; returns its row.
  int AddChar(const std::string& name, std::vector<std::int32_t> items) {
    kistora::testing::AddChar(Cat(), name, std::move(items));
    return static_cast<int>(Cat().CharList.size()) - 1;
  }
  // Shows the program and the item database window, listing the catalogue.
  void Open() {
    Main().FillChars();
    program.ShowMain();
    G().ShowAndRaise();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&G()));
    env.Messages.Clear();  // what the start-up reported (no database files yet)
  }

  // Texts of one column, top to bottom.
  QStringList Column(int column) { return kistora::testing::Column(G().Liste, column); }
  int RowOf(std::int32_t number) { return static_cast<int>(Column(0).indexOf(QString::number(number))); }
  void Select(std::int32_t number) {
    const int row = RowOf(number);
    ASSERT_GE(row, 0) << "no row for item " << number;
    G().Liste->setCurrentIndex(G().Liste->model()->index(row, 0));
  }
  // The list is the window's focus widget (the one focused whenever the window is active).
  bool ListHasFocus() { return G().focusWidget() == G().Liste; }
  bool HasSelection() { return G().Liste->selectionModel()->hasSelection(); }
  // Cells of one column of the main window's inventory list.
  QStringList Inventory(int column) { return kistora::testing::Column(Main().CharInv, column); }
  // Clicks a header section as the user does.
  void ClickHeader(int column) {
    QHeaderView* header = G().Liste->header();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
  }
};

TEST_F(ItemGTest, WindowControlsAndColumns) {
  Open();
  EXPECT_EQ(G().windowTitle(), "Gestionnaire d'objets");
  const std::vector<std::pair<QCheckBox*, QString>> boxes = {{G().ShowUniques, "Uniques"},
                                                             {G().ShowSets, "Sets"},
                                                             {G().ShowRares, "Rares"},
                                                             {G().ShowCrafted, "Crafted"},
                                                             {G().ShowMagics, "Magiques"},
                                                             {G().ShowNormals, "Normaux"},
                                                             {G().MaskPrice0, "Masquer objets dont le prix est de 0"}};
  const int lefts[] = {8, 80, 136, 200, 272, 352, 432};
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    EXPECT_EQ(boxes[i].first->text(), boxes[i].second);
    EXPECT_EQ(boxes[i].first->isChecked(), i < 6);
    EXPECT_EQ(boxes[i].first->pos(), QPoint(lefts[i], 8));
  }
  EXPECT_EQ(G().AddItem->text(), "Ajouter...");
  EXPECT_EQ(G().DelItem->text(), "Supprimer");
  EXPECT_EQ(G().ModItem->text(), "Modifier...");
  EXPECT_EQ(G().SeeItem->text(), "Voir...");
  EXPECT_EQ(G().AddToChar->text(), "<< Ajouter au perso");
  // "<< Ajouter au perso" stays against the right edge, the list fills the rest.
  G().resize(800, 600);
  EXPECT_EQ(G().AddToChar->geometry().right(), 800 - 3);
  // The count line takes its room from the bottom of the list; the search
  // field fills the free space between "Voir..." and "<< Ajouter au perso".
  EXPECT_EQ(G().Liste->geometry(), QRect(0, 56, 800, 600 - 56 - 18));
  EXPECT_EQ(G().CountLine->geometry().top(), 600 - 18);
  EXPECT_EQ(G().Search->geometry().top(), 29);
  EXPECT_GT(G().Search->geometry().left(), G().SeeItem->geometry().right());
  EXPECT_LT(G().Search->geometry().right(), G().AddToChar->geometry().left());
  EXPECT_EQ(G().Search->placeholderText(), QString::fromUtf8("Rechercher\u2026"));

  const QAbstractItemModel* m = G().Liste->model();
  const QStringList captions = {"Item #", "Nom", "Type", QStringLiteral("Qualité"), "Prix", "Notes"};
  const int widths[] = {50, 100, 100, 100, 40, 200};
  ASSERT_EQ(m->columnCount(), 6);
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(m->headerData(c, Qt::Horizontal).toString(), captions[c]);
    EXPECT_EQ(G().Liste->header()->sectionSize(c), widths[c]);
  }
  EXPECT_EQ(G().Liste->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
  EXPECT_EQ(G().Liste->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_EQ(G().Liste->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(ItemGTest, RowsShowTheListLabels) {
  auto jewel = Make<TD2Jewel>(3,
                              "Joyau \xE9"
                              "clat",
                              -7, 2);  // "éclat"
  jewel->Notes = "n";
  AddItem(std::move(jewel));
  AddItem(Make<TD2Item>(4, "bare", 0, 8));
  Open();
  ASSERT_EQ(G().Liste->model()->rowCount(), 2);
  const QAbstractItemModel* m = G().Liste->model();
  const int r = RowOf(3);
  EXPECT_EQ(m->index(r, 1).data().toString(), QStringLiteral("Joyau éclat"));
  EXPECT_EQ(m->index(r, 2).data().toString(), "Joyau");
  EXPECT_EQ(m->index(r, 3).data().toString(), "Rare");
  EXPECT_EQ(m->index(r, 4).data().toString(), "-7");
  EXPECT_EQ(m->index(r, 5).data().toString(), "n");
  EXPECT_EQ(m->index(r, 4).data(Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
  const int b = RowOf(4);
  EXPECT_EQ(m->index(b, 2).data().toString(), "");
  EXPECT_EQ(m->index(b, 3).data().toString(), "");
}

TEST_F(ItemGTest, AddNumbersTheItemAndPlacesItAtItsSortedPosition) {
  AddItem(Make<TD2Ring>(3, "cheap", 10));
  AddItem(Make<TD2Ring>(7, "dear", 90));
  Open();
  Cat().LastItemIndex = 20;
  ClickHeader(4);  // "Prix": highest first
  ASSERT_EQ(Column(0), QStringList({"7", "3"}));

  auto answer = AnswerNextModal([](QDialog* d) {
    auto* p = static_cast<TItemP*>(d);
    EXPECT_EQ(p->ItemCat->currentText(), "Amulette");  // cleared for a new item
    EXPECT_TRUE(p->Cancel->isVisible());
    p->ItemName->setText(QStringLiteral("Épée neuve"));
    p->ItemCat->setCurrentText("Arme");
    p->ItemPrice->setValue(50);
    p->ItemMinDmg->setValue(4);
    p->OK->click();
  });
  G().AddItem->click();
  ASSERT_TRUE(answer->Answered());

  ASSERT_EQ(Cat().ItemList.size(), 3u);
  const TD2Item& added = *Cat().ItemList.back();  // appended at the end of the database
  EXPECT_EQ(added.Index, 21);
  EXPECT_EQ(added.Name,
            "\xC9p\xE9"
            "e neuve");
  EXPECT_EQ(dynamic_cast<const TD2Weapon&>(added).MinDmg, 4);
  EXPECT_EQ(Cat().LastItemIndex, 21);
  EXPECT_EQ(Column(0), QStringList({"7", "21", "3"}));
  EXPECT_FALSE(HasSelection());
  EXPECT_TRUE(ListHasFocus());

  // The next one does not reuse a number, even after deleting the newest.
  env.Messages.ConfirmAnswers.push_back(true);
  Select(21);
  G().DelItem->click();
  auto again = AnswerNextModal([](QDialog* d) { static_cast<TItemP*>(d)->OK->click(); });
  G().AddItem->click();
  ASSERT_TRUE(again->Answered());
  EXPECT_EQ(Cat().ItemList.back()->Index, 22);
}

TEST_F(ItemGTest, AddCancelledOrWithoutCategoryChangesNothing) {
  AddItem(Make<TD2Ring>(3, "ring"));
  Open();
  Cat().LastItemIndex = 3;

  auto cancel = AnswerNextModal([](QDialog* d) {
    static_cast<TItemP*>(d)->ItemName->setText("nope");
    static_cast<TItemP*>(d)->Cancel->click();
  });
  G().AddItem->click();
  ASSERT_TRUE(cancel->Answered());
  EXPECT_EQ(Cat().ItemList.size(), 1u);

  auto noCategory = AnswerNextModal([](QDialog* d) {
    static_cast<TItemP*>(d)->ItemCat->setCurrentIndex(-1);
    static_cast<TItemP*>(d)->OK->click();
  });
  G().AddItem->click();
  ASSERT_TRUE(noCategory->Answered());
  EXPECT_EQ(Cat().ItemList.size(), 1u);
  EXPECT_EQ(Cat().LastItemIndex, 3);  // no number handed out
  EXPECT_EQ(env.Messages.Texts(BoxKind::Error),
            QStringList({QStringLiteral("Vous devez choisir une catégorie d'objet.")}));
  EXPECT_EQ(Column(0), QStringList({"3"}));
}

TEST_F(ItemGTest, ModifyKeepsNumberAndPositionAndUpdatesEveryInventory) {
  auto armour = Make<TD2Armor>(5, "Cuirasse", 30, 5);
  static_cast<TD2Armor&>(*armour).Def = 200;
  AddItem(Make<TD2Ring>(1, "first"));
  AddItem(std::move(armour));
  AddItem(Make<TD2Ring>(9, "last"));
  AddChar("Alice", {5, 1, 5});
  AddChar("Bob", {5});
  Open();
  Main().SelectCharRow(0);
  ASSERT_EQ(Inventory(2), QStringList({"Armure", "Anneau", "Armure"}));

  const std::int32_t lastIndex = Cat().LastItemIndex;
  Select(5);
  auto answer = AnswerNextModal([](QDialog* d) {
    auto* p = static_cast<TItemP*>(d);
    EXPECT_EQ(p->ItemName->text(), "Cuirasse");
    EXPECT_EQ(p->ItemCat->currentText(), "Armure");
    EXPECT_EQ(p->ItemDef->value(), 200);
    p->ItemCat->setCurrentText("Arme");
    p->ItemName->setText("Hache");
    p->ItemSpeed->setCurrentIndex(2);
    p->OK->click();
  });
  G().ModItem->click();
  ASSERT_TRUE(answer->Answered());

  ASSERT_EQ(Cat().ItemList.size(), 3u);
  const auto* weapon = dynamic_cast<const TD2Weapon*>(Cat().ItemList[1].get());
  ASSERT_TRUE(weapon) << "same position, new class";
  EXPECT_EQ(weapon->Index, 5);
  EXPECT_EQ(weapon->Name, "Hache");
  EXPECT_EQ(weapon->Speed, 2);
  EXPECT_EQ(weapon->Quality, 5);
  EXPECT_EQ(Cat().LastItemIndex, lastIndex) << "a modification hands out no number";
  EXPECT_EQ(Cat().CharList[0]->Items, (std::vector<std::int32_t>{5, 1, 5}));
  EXPECT_EQ(Cat().CharList[1]->Items, (std::vector<std::int32_t>{5}));
  EXPECT_EQ(Inventory(2), QStringList({"Arme", "Anneau", "Arme"}));  // refreshed at once
  EXPECT_EQ(Inventory(1), QStringList({"Hache", "first", "Hache"}));
  Main().SelectCharRow(1);
  EXPECT_EQ(Inventory(2), QStringList({"Arme"}));
  EXPECT_EQ(G().Liste->model()->index(RowOf(5), 2).data().toString(), "Arme");
  EXPECT_FALSE(HasSelection());
  EXPECT_TRUE(ListHasFocus());
}

TEST_F(ItemGTest, ModifyCancelledOrWithoutCategoryKeepsTheOldItem) {
  AddItem(Make<TD2Helm>(2, "Heaume"));
  Open();
  const TD2Item* before = Cat().ItemList[0].get();

  Select(2);
  auto cancel = AnswerNextModal([](QDialog* d) {
    static_cast<TItemP*>(d)->ItemName->setText("changed");
    static_cast<TItemP*>(d)->Cancel->click();
  });
  G().ModItem->click();
  ASSERT_TRUE(cancel->Answered());
  EXPECT_EQ(Cat().ItemList[0].get(), before);
  EXPECT_EQ(before->Name, "Heaume");

  Select(2);
  auto noCategory = AnswerNextModal([](QDialog* d) {
    static_cast<TItemP*>(d)->ItemCat->setCurrentIndex(-1);
    static_cast<TItemP*>(d)->OK->click();
  });
  G().ModItem->click();
  ASSERT_TRUE(noCategory->Answered());
  EXPECT_EQ(Cat().ItemList[0].get(), before);
  EXPECT_EQ(env.Messages.Texts(BoxKind::Error).size(), 1);
}

TEST_F(ItemGTest, DeleteAsksThenRemovesEveryEntryFromEveryCharacter) {
  AddItem(Make<TD2Ring>(1, "keep"));
  AddItem(Make<TD2Charm>(4, "Charme d'O'Brien"));
  AddChar("Alice", {4, 1, 4});
  AddChar("Bob", {1, 4});
  AddChar("Carl", {});
  Open();
  Main().SelectCharRow(0);

  // "Annuler": nothing changes.
  Select(4);
  env.Messages.ConfirmAnswers.push_back(false);
  G().DelItem->click();
  ASSERT_EQ(env.Messages.Shown.size(), 1u);
  EXPECT_EQ(env.Messages.Shown[0].kind, BoxKind::Confirm);
  EXPECT_EQ(env.Messages.Shown[0].text,
            QStringLiteral("Etes-vous sûr(e) de vouloir supprimer l'objet 'Charme d'O'Brien'? "
                           "Toutes ses références seront supprimées."));
  EXPECT_EQ(Cat().ItemList.size(), 2u);
  EXPECT_EQ(Cat().CharList[0]->Items, (std::vector<std::int32_t>{4, 1, 4}));

  Select(4);
  env.Messages.ConfirmAnswers.push_back(true);
  G().DelItem->click();
  ASSERT_EQ(Cat().ItemList.size(), 1u);
  EXPECT_EQ(Cat().ItemList[0]->Index, 1);
  EXPECT_EQ(Cat().CharList[0]->Items, (std::vector<std::int32_t>{1}));
  EXPECT_EQ(Cat().CharList[1]->Items, (std::vector<std::int32_t>{1}));
  EXPECT_TRUE(Cat().CharList[2]->Items.empty());
  EXPECT_EQ(Column(0), QStringList({"1"}));
  EXPECT_EQ(Inventory(0), QStringList({"1"}));  // the inventory list follows
  EXPECT_TRUE(ListHasFocus());
}

TEST_F(ItemGTest, ActionsWithoutSelectionDoNothing) {
  AddItem(Make<TD2Ring>(1, "ring"));
  AddChar("Alice", {});
  Open();
  Main().SelectCharRow(0);
  ASSERT_FALSE(HasSelection());
  for (QPushButton* button : {G().ModItem, G().SeeItem, G().DelItem, G().AddToChar}) {
    button->click();  // a dialog here would be closed by the watchdog after 10 s and fail below
    EXPECT_TRUE(ListHasFocus()) << button->text().toStdString();
  }
  EXPECT_TRUE(env.Messages.Shown.empty());
  EXPECT_EQ(Cat().ItemList.size(), 1u);
  EXPECT_TRUE(Cat().CharList[0]->Items.empty());
  EXPECT_FALSE(P().isVisible());
}

TEST_F(ItemGTest, AddToCharAppendsEveryTimeAndNeedsACharacter) {
  AddItem(Make<TD2Ring>(6, "ring"));
  AddChar("Alice", {6});
  Open();
  Select(6);
  G().AddToChar->click();  // no character selected
  EXPECT_EQ(Cat().CharList[0]->Items, (std::vector<std::int32_t>{6}));

  Main().SelectCharRow(0);
  Select(6);
  G().AddToChar->click();
  G().AddToChar->click();  // the selection stays: the list was not rebuilt
  EXPECT_EQ(Cat().CharList[0]->Items, (std::vector<std::int32_t>{6, 6, 6}));
  EXPECT_EQ(Inventory(0), QStringList({"6", "6", "6"}));
  EXPECT_TRUE(ListHasFocus());
}

TEST_F(ItemGTest, ViewIsReadOnlyAndChangesNothing) {
  auto weapon = Make<TD2Weapon>(8, "Arc", 12, 1);
  static_cast<TD2Weapon&>(*weapon).Speed = 4;
  AddItem(std::move(weapon));
  Open();
  const TD2Item* before = Cat().ItemList[0].get();

  for (int way = 0; way < 2; ++way) {
    Select(8);
    auto answer = AnswerNextModal([](QDialog* d) {
      auto* p = static_cast<TItemP*>(d);
      EXPECT_EQ(p->ItemName->text(), "Arc");
      EXPECT_EQ(p->ItemSpeed->currentText(), QStringLiteral("Très rapide"));
      EXPECT_FALSE(p->ItemName->isEnabled());
      EXPECT_FALSE(p->ItemMagicProps->isEnabled());
      EXPECT_FALSE(p->ItemSpeed->isEnabled());
      EXPECT_FALSE(p->Cancel->isVisible());
      EXPECT_TRUE(p->OK->isVisible());
      p->OK->click();
    });
    if (way == 0) {
      G().SeeItem->click();
    } else {
      const QModelIndex index = G().Liste->model()->index(RowOf(8), 1);
      const QPoint at = G().Liste->visualRect(index).center();
      // The first click of a double click presses the row; the second one doubles it.
      QTest::mouseClick(G().Liste->viewport(), Qt::LeftButton, {}, at);
      QTest::mouseDClick(G().Liste->viewport(), Qt::LeftButton, {}, at);
    }
    ASSERT_TRUE(answer->Answered()) << "way " << way;
    EXPECT_EQ(Cat().ItemList[0].get(), before);
    EXPECT_EQ(before->Name, "Arc");
    EXPECT_TRUE(ListHasFocus());
  }

  // The next "Modifier..." makes the dialog editable again.
  Select(8);
  auto edit = AnswerNextModal([](QDialog* d) {
    EXPECT_TRUE(static_cast<TItemP*>(d)->ItemName->isEnabled());
    EXPECT_TRUE(static_cast<TItemP*>(d)->Cancel->isVisible());
    static_cast<TItemP*>(d)->Cancel->click();
  });
  G().ModItem->click();
  ASSERT_TRUE(edit->Answered());
}

TEST_F(ItemGTest, RowsFindTheFirstItemWithTheirNumber) {
  // Two items with one number (database files from elsewhere): the first one is acted on.
  AddItem(Make<TD2Ring>(3, "first"));
  AddItem(Make<TD2Ring>(3, "second"));
  Open();
  G().Liste->setCurrentIndex(G().Liste->model()->index(1, 0));
  auto answer = AnswerNextModal([](QDialog* d) {
    EXPECT_EQ(static_cast<TItemP*>(d)->ItemName->text(), "first");
    static_cast<TItemP*>(d)->OK->click();
  });
  G().SeeItem->click();
  ASSERT_TRUE(answer->Answered());
}

TEST_F(ItemGTest, FilterBoxesRefilterTheList) {
  const char* names[] = {"normal", "magic", "rare", "crafted", "set", "unique"};
  for (int q = 0; q <= 5; ++q) AddItem(Make<TD2Ring>(q + 1, names[q], 10, static_cast<std::uint8_t>(q)));
  AddItem(Make<TD2Ring>(7, "free", 0, 0));
  AddItem(Make<TD2Ring>(8, "negative", -1, 5));
  AddItem(Make<TD2Ring>(9, "odd quality", 0, 12));
  Open();
  EXPECT_EQ(G().Liste->model()->rowCount(), 9);

  QCheckBox* byQuality[] = {G().ShowNormals, G().ShowMagics, G().ShowRares,
                            G().ShowCrafted, G().ShowSets,   G().ShowUniques};
  G().ShowNormals->click();
  EXPECT_EQ(Column(0), QStringList({"2", "3", "4", "5", "6", "8", "9"}));
  for (QCheckBox* box : byQuality) {
    if (box->isChecked()) box->click();
  }
  EXPECT_EQ(Column(0), QStringList({"9"}));  // a code outside 0..5 is filtered by price alone
  G().MaskPrice0->click();
  EXPECT_EQ(Column(0), QStringList());
  for (QCheckBox* box : byQuality) box->click();
  EXPECT_EQ(Column(0), QStringList({"1", "2", "3", "4", "5", "6", "8"}));  // -1 stays
  G().MaskPrice0->click();
  EXPECT_EQ(G().Liste->model()->rowCount(), 9);

  // The options file sets the boxes while the window is hidden; showing lists accordingly.
  G().hide();
  G().ShowSets->setChecked(false);
  G().ShowAndRaise();
  EXPECT_EQ(RowOf(5), -1);
  EXPECT_EQ(G().Liste->model()->rowCount(), 8);
}

TEST_F(ItemGTest, EachColumnSortsAndAClickOnItAgainInverts) {
  auto add = [&](std::unique_ptr<TD2Item> item, const char* notes) {
    item->Notes = notes;
    AddItem(std::move(item));
  };
  add(Make<TD2Weapon>(10, "epee", 5, 5), "b");
  add(Make<TD2Shield>(9, "Bouclier", 300, 3), "a");
  add(Make<TD2Ring>(-1, "anneau", -2, 4), "C");
  add(Make<TD2Item>(INT_MAX,
                    "\xC9"
                    "cu",
                    INT_MIN, 1),
      "");
  Open();
  const QStringList byIndex = {"-1", "9", "10", "2147483647"};
  EXPECT_EQ(Column(0), byIndex);  // designed state: "Item #", lowest first

  struct Case {
    int column;
    QStringList order;  // Item # texts, first click
  };
  const Case cases[] = {
      {1, {"-1", "9", "10", "2147483647"}},  // anneau, Bouclier, epee, Écu
      {2, {"2147483647", "-1", "10", "9"}},  // "", Anneau, Arme, Bouclier
      {3, {"9", "2147483647", "-1", "10"}},  // Crafted, Magique, Set, Unique
      {4, {"9", "10", "-1", "2147483647"}},  // highest price first
      {5, {"2147483647", "9", "10", "-1"}},  // "", a, b, C
      {0, {"-1", "9", "10", "2147483647"}},
  };
  for (const Case& c : cases) {
    ClickHeader(c.column);
    EXPECT_EQ(G().SortColumn, c.column);
    EXPECT_FALSE(G().SortInverted);
    EXPECT_EQ(Column(0), c.order) << "column " << c.column;
    ClickHeader(c.column);
    EXPECT_TRUE(G().SortInverted);
    QStringList reversed(c.order.rbegin(), c.order.rend());
    EXPECT_EQ(Column(0), reversed) << "column " << c.column << " inverted";
  }
  // Prix, then Prix again (lowest first), then Nom: ascending, not inverted.
  ClickHeader(4);
  ClickHeader(4);
  EXPECT_EQ(Column(4).first(), "-2147483648");
  ClickHeader(1);
  EXPECT_FALSE(G().SortInverted);
  EXPECT_EQ(Column(1).first(), "anneau");

  // A rebuild keeps the sort; a sort keeps the selected item selected.
  Select(9);
  ClickHeader(4);
  ASSERT_TRUE(HasSelection());
  EXPECT_EQ(G().Liste->selectionModel()->selectedRows().first().row(), RowOf(9));
  EXPECT_EQ(RowOf(9), 0);
  G().FillListe();
  EXPECT_EQ(Column(0), QStringList({"9", "10", "-1", "2147483647"}));
  EXPECT_FALSE(HasSelection());
}

TEST_F(ItemGTest, SortColumnOutsideTheListSortsByNumber) {
  AddItem(Make<TD2Ring>(30, "a", 1));
  AddItem(Make<TD2Ring>(4, "c", 3));
  AddItem(Make<TD2Ring>(200, "b", 2));
  G().SortColumn = 42;  // as read from a hand-edited options file
  G().SortInverted = true;
  Open();
  EXPECT_EQ(Column(0), QStringList({"200", "30", "4"}));
  EXPECT_EQ(G().Liste->header()->sortIndicatorSection(), 0);
  G().SortColumn = -7;
  G().SortInverted = false;
  G().FillListe();
  EXPECT_EQ(Column(0), QStringList({"4", "30", "200"}));
  ClickHeader(1);  // a real column takes over
  EXPECT_EQ(G().SortColumn, 1);
  EXPECT_EQ(Column(1), QStringList({"a", "b", "c"}));
}

}  // namespace

namespace {

// Placement: both windows open centred over the main window the first time,
// then stay where the user (or the options file) put them.
TEST_F(ItemGTest, FirstShowsAreCentredOverTheMainWindow) {
  program.ShowMain();
  Main().setGeometry(140, 60, 609, 482);  // where the item window fits the screen when centred over it
  const QPoint mainCentre = Main().frameGeometry().center();
  auto near = [](QPoint a, QPoint b) { return (a - b).manhattanLength() <= 4; };

  G().ShowAndRaise();
  EXPECT_TRUE(near(G().frameGeometry().center(), mainCentre)) << G().x() << "," << G().y();
  G().hide();
  G().move(10, 20);
  G().ShowAndRaise();
  EXPECT_EQ(G().pos(), QPoint(10, 20));

  auto first = AnswerNextModal([](QDialog* d) { d->accept(); });
  P().Execute();
  ASSERT_TRUE(first->Answered());
  EXPECT_TRUE(near(P().frameGeometry().center(), mainCentre));
  P().move(30, 40);
  auto second = AnswerNextModal([](QDialog* d) { d->accept(); });
  P().Execute();
  ASSERT_TRUE(second->Answered());
  EXPECT_EQ(P().pos(), QPoint(30, 40));
}

TEST_F(ItemGTest, PositionFromTheOptionsFileIsKeptAtFirstShow) {
  program.ShowMain();
  G().move(33, 44);
  G().PositionFromOptions = true;
  G().ShowAndRaise();
  EXPECT_EQ(G().pos(), QPoint(33, 44));
}

// ---- finding, counting and handing over items ----

QString Utf8(const char* text) { return QString::fromUtf8(text); }

TEST_F(ItemGTest, SearchFiltersAsYouTypeWithTheBoxesAndTheCountLineFollows) {
  AddItem(Make<TD2Ring>(1, "\xC9p\xE9\x65 de feu", 10, 0));
  AddItem(Make<TD2Ring>(2, "Anneau de feu", 5, 5));
  AddItem(Make<TD2Ring>(3, "Heaume", 0, 0));
  Cat().SyncLastItemIndex();
  Open();
  EXPECT_EQ(G().CountLine->text(), Utf8("3 objets affich\u00E9s sur 3 \u2014 valeur totale 15"));

  QTest::keyClick(G().Liste, Qt::Key_F, Qt::ControlModifier);
  EXPECT_EQ(G().focusWidget(), G().Search);
  QTest::keyClicks(G().Search, "epee");
  EXPECT_EQ(Column(0), QStringList({"1"}));
  EXPECT_EQ(G().CountLine->text(), Utf8("1 objet affich\u00E9 sur 3 \u2014 valeur totale 10"));
  G().ShowNormals->setChecked(false);  // combined with the boxes
  EXPECT_EQ(Column(0), QStringList());
  G().ShowNormals->setChecked(true);
  QTest::keyClicks(G().Search, " zz");  // every word must match
  EXPECT_EQ(Column(0), QStringList());
  G().Search->setText(QStringLiteral("FEU"));
  EXPECT_EQ(Column(0), QStringList({"1", "2"}));

  // A change of the catalogue is listed under the same search, and counted.
  auto added = Make<TD2Ring>(0, "Bottes de Feu", 7, 1);
  Cat().AddNewItem(std::move(added));
  EXPECT_EQ(Column(0), QStringList({"1", "2", "4"}));
  EXPECT_EQ(G().CountLine->text(), Utf8("3 objets affich\u00E9s sur 4 \u2014 valeur totale 22"));
  Cat().DeleteItem(1);
  Cat().ModifyItem(2, Make<TD2Ring>(0, "Anneau de glace", 5, 5));
  EXPECT_EQ(Column(0), QStringList({"4"}));

  QTest::keyClick(G().Search, Qt::Key_Escape);  // empties the field
  EXPECT_TRUE(G().Search->text().isEmpty());
  EXPECT_EQ(Column(0), QStringList({"2", "3", "4"}));
}

TEST_F(ItemGTest, ValueConditionsFilterAsTheCatalogueChangesAndAnUnreadableOneIsSaid) {
  auto strong = Make<TD2Ring>(1, "Anneau", 100);
  strong->MagicProps = {"+30% R\xE9sistance au feu"};
  AddItem(std::move(strong));
  auto weak = Make<TD2Ring>(2, "Anneau", 2000);
  weak->MagicProps = {"+10% R\xE9sistance au feu"};
  AddItem(std::move(weak));
  AddItem(Make<TD2Shield>(3, "\xC9\x63u", 50));
  AddChar("Bob", {});
  Open();
  G().resize(1000, 600);
  EXPECT_TRUE(G().Search->toolTip().contains("feu&gt;=30"));
  EXPECT_TRUE(G().Search->toolTip().contains("perso:Mule01"));

  G().Search->setText(QStringLiteral("feu >= 20"));
  EXPECT_EQ(Column(0), QStringList({"1"}));
  G().Search->setText(QStringLiteral("prix<1000 libre"));
  EXPECT_EQ(Column(0), QStringList({"1", "3"}));
  // Who holds what changes the rows at once.
  Cat().AddItemToChar(0, 3);
  EXPECT_EQ(Column(0), QStringList({"1"}));
  Cat().RemoveInventoryEntry(0, 0);
  EXPECT_EQ(Column(0), QStringList({"1", "3"}));
  EXPECT_EQ(G().CountNote->text(), "");

  // The rest of the search still applies; the condition is said whole on a
  // line of its own between the field and the list; the counts stay.
  EXPECT_FALSE(G().SearchProblem->isVisible());
  const int designedListTop = G().Liste->y();
  G().Search->setText(QStringLiteral("anneau feu>="));
  EXPECT_EQ(Column(0), QStringList({"1", "2"}));
  EXPECT_EQ(G().CountLine->text(), Utf8("2 objets affich\u00E9s sur 3 \u2014 valeur totale 2\u00A0100"));
  EXPECT_EQ(G().CountNote->text(), "");
  EXPECT_TRUE(G().SearchProblem->isVisible());
  EXPECT_EQ(G().SearchProblem->text(), Utf8("Condition illisible : \u00AB feu>= \u00BB : il manque un nombre "
                                            "apr\u00E8s \u00AB >= \u00BB"));
  EXPECT_GT(G().SearchProblem->y(), G().Search->geometry().bottom());
  EXPECT_GT(G().Liste->y(), G().SearchProblem->geometry().bottom());
  // In a narrow window it wraps onto more lines rather than being cut.
  const int oneLine = G().SearchProblem->height();
  G().resize(260, 600);
  EXPECT_GT(G().SearchProblem->height(), oneLine);
  EXPECT_GE(G().SearchProblem->height(), G().SearchProblem->heightForWidth(G().SearchProblem->width()));
  EXPECT_GT(G().Liste->y(), G().SearchProblem->geometry().bottom());
  // A name no character bears: said with the nearest one, and the list is empty.
  G().Search->setText(QStringLiteral("perso:bobb"));
  EXPECT_EQ(Column(0), QStringList());
  EXPECT_TRUE(G().SearchProblem->text().endsWith(Utf8("le plus proche : \u00AB Bob \u00BB")))
      << G().SearchProblem->text().toStdString();
  // The character comes: the line goes, and the list is back in its place.
  TChar bobb;
  bobb.Name = "Bobb";
  Cat().AddChar(std::make_unique<TChar>(bobb));
  EXPECT_FALSE(G().SearchProblem->isVisible());
  EXPECT_EQ(G().Liste->y(), designedListTop);
}

TEST_F(ItemGTest, TheDialogProposesNamesAndPropertyLinesAlreadyTypedAndChangesNothingUnlessOneIsChosen) {
  for (std::int32_t n = 1; n <= 3; ++n) {
    auto ring = Make<TD2Ring>(n, n < 3 ? "Anneau de Nagel" : "Anneau", 1);
    ring->MagicProps = {"+30% R\xE9sistance au feu", "+1 \xE0 toutes les comp\xE9tences"};
    AddItem(std::move(ring));
  }
  Cat().SyncLastItemIndex();
  Open();
  auto typed = AnswerNextModal([&](QDialog*) {
    QTest::keyClicks(P().ItemName, "ann");
    ASSERT_TRUE(P().NamePopup->IsShown());
    QStringList names;
    for (int i = 0; i < P().NamePopup->List()->count(); ++i) names << P().NamePopup->List()->item(i)->text();
    EXPECT_EQ(names, QStringList({"Anneau de Nagel", "Anneau"}));  // most used first
    EXPECT_EQ(P().ItemName->text(), "ann");
    QTest::keyClick(P().ItemName, Qt::Key_Escape);  // closes the list, not the dialog
    EXPECT_FALSE(P().NamePopup->IsShown());
    EXPECT_TRUE(P().isVisible());
    QTest::keyClicks(P().ItemName, "e");
    QTest::keyClick(P().ItemName, Qt::Key_Down);
    QTest::keyClick(P().ItemName, Qt::Key_Return);  // chooses the highlighted name
    EXPECT_EQ(P().ItemName->text(), "Anneau de Nagel");
    EXPECT_TRUE(P().isVisible());

    P().ItemMagicProps->setFocus();
    QTest::keyClicks(P().ItemMagicProps, "resi");  // accents fold
    ASSERT_TRUE(P().LinePopup->IsShown());
    EXPECT_EQ(P().LinePopup->List()->item(0)->text(), QString::fromUtf8("+#% R\u00E9sistance au feu"));
    QTest::keyClick(P().ItemMagicProps, Qt::Key_Down);
    QTest::keyClick(P().ItemMagicProps, Qt::Key_Return);
    EXPECT_EQ(P().ItemMagicProps->textCursor().selectedText(), "30");  // the number, selected for typing
    QTest::keyClicks(P().ItemMagicProps, "25");
    QTest::keyClick(P().ItemMagicProps, Qt::Key_Return);
    QTest::keyClicks(P().ItemMagicProps, "toutes");
    QTest::keyClick(P().ItemMagicProps, Qt::Key_Down);
    QTest::keyClick(P().ItemMagicProps, Qt::Key_Return);
    QTest::keyClick(P().ItemMagicProps, Qt::Key_Return);    // keeps the proposed number
    QTest::keyClicks(P().ItemMagicProps, "Vol de vie 5%");  // nothing proposed: typed as is
    EXPECT_FALSE(P().LinePopup->IsShown());
    P().OK->click();
  });
  G().AddItem->click();
  ASSERT_TRUE(typed->Answered());
  ASSERT_EQ(Cat().ItemList.size(), 4u);
  EXPECT_EQ(Cat().ItemList[3]->Name, "Anneau de Nagel");
  EXPECT_EQ(
      Cat().ItemList[3]->MagicProps,
      std::vector<std::string>({"+25% R\xE9sistance au feu", "+1 \xE0 toutes les comp\xE9tences", "Vol de vie 5%"}));
}

TEST_F(ItemGTest, DuplicateOpensACopyThatOkAddsUnderANewNumber) {
  AddItem(Make<TD2Ring>(5, "Anneau de Nagel", 300, 5));
  Cat().SyncLastItemIndex();
  Open();
  Select(5);
  QStringList actions;
  for (const QAction* a : G().Liste->actions()) actions << a->text();
  EXPECT_TRUE(actions.contains("Dupliquer"));

  QString shownName;
  auto ok = AnswerNextModal([&](QDialog*) {
    shownName = P().ItemName->text();
    P().OK->click();
  });
  QTest::keyClick(G().Liste, Qt::Key_D, Qt::ControlModifier);
  ASSERT_TRUE(ok->Answered());
  EXPECT_EQ(shownName, "Anneau de Nagel");
  ASSERT_EQ(Cat().ItemList.size(), 2u);
  EXPECT_EQ(Cat().ItemList[1]->Index, 6);
  EXPECT_EQ(Cat().ItemList[1]->Name, "Anneau de Nagel");
  EXPECT_EQ(Cat().ItemList[1]->Price, 300);

  Select(5);
  auto cancel = AnswerNextModal([&](QDialog*) { P().Cancel->click(); });
  G().DuplicateAction->trigger();  // the context menu's entry
  ASSERT_TRUE(cancel->Answered());
  EXPECT_EQ(Cat().ItemList.size(), 2u);
}

TEST_F(ItemGTest, DeleteEnterAndCtrlNActOnTheListAsTheirButtons) {
  AddItem(Make<TD2Ring>(1, "Anneau", 1));
  AddItem(Make<TD2Ring>(2, "Heaume", 1));
  Cat().SyncLastItemIndex();
  Open();
  Select(2);
  G().Liste->setFocus();  // Delete acts on the list that has the focus
  env.Messages.ConfirmAnswers.push_back(false);
  QTest::keyClick(G().Liste, Qt::Key_Delete);
  ASSERT_EQ(env.Messages.Texts(BoxKind::Confirm).size(), 1);
  EXPECT_EQ(Cat().ItemList.size(), 2u);  // "Non" keeps it
  env.Messages.ConfirmAnswers.push_back(true);
  QTest::keyClick(G().Liste, Qt::Key_Delete);
  EXPECT_EQ(Column(0), QStringList({"1"}));

  Select(1);
  bool readOnly = false;
  auto seen = AnswerNextModal([&](QDialog* d) {
    readOnly = !P().ItemName->isEnabled();
    d->reject();
  });
  QTest::keyClick(G().Liste, Qt::Key_Return);
  ASSERT_TRUE(seen->Answered());
  EXPECT_TRUE(readOnly);

  auto added = AnswerNextModal([&](QDialog*) {
    P().ItemName->setText("Bottes");
    P().OK->click();
  });
  // Back in the window after the dialog: the platform may still hand the
  // activation to the dialog's parent meanwhile, so wait until it stays here.
  for (int settled = 0, tries = 0; settled < 3 && tries < 100; ++tries) {
    if (QApplication::activeWindow() != &G()) {
      settled = 0;
      G().activateWindow();
    } else {
      ++settled;
    }
    QTest::qWait(10);
  }
  ASSERT_EQ(QApplication::activeWindow(), &G());
  QTest::keyClick(G().Liste, Qt::Key_N, Qt::ControlModifier);
  ASSERT_TRUE(added->Answered());
  EXPECT_EQ(Column(1), QStringList({"Anneau", "Bottes"}));
  // A cut cell shows its whole text in a tooltip.
  EXPECT_EQ(G().Liste->model()->index(0, 1).data(Qt::ToolTipRole).toString(), "Anneau");
}

TEST_F(ItemGTest, TheCountLineSaysWhoHoldsTheSelectedItemAndWhatWasJustHandedOver) {
  AddItem(Make<TD2Ring>(1, "Anneau", 1));
  AddItem(Make<TD2Shield>(2, "\xC9\x63u", 1));
  AddChar("Zoe", {1, 1});
  AddChar("Bob", {});
  Open();
  const QString counts = Utf8("2 objets affich\u00E9s sur 2 \u2014 valeur totale 2");
  EXPECT_EQ(G().CountNote->text(), "");
  Select(1);
  EXPECT_EQ(G().CountNote->text(), Utf8("\u00B7 D\u00E9tenu par Zoe (2\u00D7)"));
  Select(2);
  EXPECT_EQ(G().CountNote->text(), Utf8("\u00B7 D\u00E9tenu par aucun perso"));

  // Handed over by the button: said beside the counts, which stay.
  Main().SelectCharRow(1);
  G().AddToChar->click();
  EXPECT_EQ(Cat().CharList[1]->Items, std::vector<std::int32_t>({2}));
  EXPECT_EQ(G().CountLine->text(), counts);
  EXPECT_EQ(G().CountNote->text(), Utf8("\u00B7 \u00AB \u00C9\x63u \u00BB ajout\u00E9 \u00E0 Bob"));
  // Then by a drop: the line names the item dropped, not the one handed before.
  std::unique_ptr<QMimeData> data(G().Liste->model()->mimeData({G().Liste->model()->index(RowOf(1), 0)}));
  const QPoint onZoe = Main().Chars->visualRect(Main().Chars->model()->index(0, 0)).center();
  // Qt hands the drop only to the widget that took the drag when it entered.
  QDragEnterEvent enter(onZoe, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Main().Chars->viewport(), &enter);
  QDropEvent drop(onZoe, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(Main().Chars->viewport(), &drop);
  EXPECT_EQ(G().CountNote->text(), Utf8("\u00B7 \u00AB Anneau \u00BB ajout\u00E9 \u00E0 Zoe"));
  EXPECT_EQ(G().CountLine->text(), counts);
  // A few seconds later the line is back to who holds the selected item, and follows the characters.
  G().EndHandOverNote();
  EXPECT_EQ(G().CountNote->text(), Utf8("\u00B7 D\u00E9tenu par Bob"));
  TChar renamed;
  renamed.Name = "Robert";
  Cat().ModifyChar(1, renamed);
  EXPECT_EQ(G().CountNote->text(), Utf8("\u00B7 D\u00E9tenu par Robert"));

  // "Voir..." says it too, right of OK; editing does not.
  const auto heldByIn = [&](QPushButton* button) {
    QString heldBy;
    auto shown = AnswerNextModal([&](QDialog* d) {
      heldBy = P().HeldBy->isVisible() ? P().HeldBy->text() : QString();
      EXPECT_GT(P().HeldBy->x(), P().OK->geometry().right());
      d->reject();
    });
    Select(2);
    button->click();
    EXPECT_TRUE(shown->Answered());
    return heldBy;
  };
  EXPECT_EQ(heldByIn(G().SeeItem), Utf8("D\u00E9tenu par Robert"));
  EXPECT_EQ(heldByIn(G().ModItem), "");
}

TEST_F(ItemGTest, AnItemDroppedOnACharacterOrTheInventoryGoesToThatCharacter) {
  AddItem(Make<TD2Ring>(7, "Anneau", 1));
  AddChar("Zoe", {});
  AddChar("Bob", {});
  Open();
  const QModelIndexList dragged = {G().Liste->model()->index(0, 0)};
  std::unique_ptr<QMimeData> data(G().Liste->model()->mimeData(dragged));
  ASSERT_TRUE(data);
  // Qt hands a drag only to a widget that takes drops: both lists do.
  EXPECT_TRUE(Main().Chars->viewport()->acceptDrops());
  EXPECT_TRUE(Main().CharInv->viewport()->acceptDrops());
  auto dragOverChars = [&](bool enter, QPoint at) {
    QDragEnterEvent entered(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent moved(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent& event = enter ? entered : moved;
    QApplication::sendEvent(Main().Chars->viewport(), &event);
    return event.isAccepted();
  };
  // A drag that enters list at a point and is dropped there: Qt hands the drop
  // only to the widget that took the drag when it entered.
  auto drop = [&](QTreeView* list, QPoint at) {
    QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &enter);
    QDropEvent event(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &event);
    return enter.isAccepted() && event.isAccepted();
  };
  auto highlighted = [&](int row) {
    return Main().Chars->model()->index(row, 0).data(Qt::BackgroundRole).value<QBrush>().style() != Qt::NoBrush;
  };
  const QPoint onBob = Main().Chars->visualRect(Main().Chars->model()->index(1, 0)).center();
  const QPoint onZoe = Main().Chars->visualRect(Main().Chars->model()->index(0, 0)).center();
  const QPoint belowRows(5, Main().Chars->viewport()->height() - 2);
  // Entering below the rows (coming from the item window beside), then onto
  // them: the row under the pointer is highlighted, and only that one.
  EXPECT_TRUE(dragOverChars(true, belowRows)) << "a drag refused as it enters never reaches a row";
  EXPECT_FALSE(highlighted(0) || highlighted(1));
  EXPECT_FALSE(dragOverChars(false, belowRows));
  EXPECT_TRUE(dragOverChars(false, onZoe));
  EXPECT_TRUE(highlighted(0));
  EXPECT_TRUE(dragOverChars(false, onBob));
  EXPECT_TRUE(highlighted(1));
  EXPECT_FALSE(highlighted(0));
  QDragLeaveEvent leave;
  QApplication::sendEvent(Main().Chars->viewport(), &leave);
  EXPECT_FALSE(highlighted(1)) << "left: nothing highlighted";
  // Onto Bob's row: Bob receives it and becomes the selected character.
  EXPECT_TRUE(drop(Main().Chars, onBob));
  EXPECT_FALSE(highlighted(1));
  EXPECT_EQ(Cat().CharList[1]->Items, std::vector<std::int32_t>({7}));
  EXPECT_EQ(Main().SelectedCharRow(), 1);
  EXPECT_EQ(Inventory(0), QStringList({"7"}));
  // Onto the inventory: the selected character receives it.
  EXPECT_TRUE(drop(Main().CharInv, QPoint(5, 5)));
  EXPECT_EQ(Inventory(0), QStringList({"7", "7"}));
  EXPECT_EQ(Main().InvCount->text(), Utf8("2 objets \u2014 valeur 2"));
  // Below the last character nobody receives it.
  EXPECT_FALSE(drop(Main().Chars, belowRows));
  EXPECT_TRUE(Cat().CharList[0]->Items.empty());
}

TEST_F(ItemGTest, NeverShownTheWindowWritesThePositionItWouldHaveTaken) {
  program.ShowMain();
  Main().move(100, 57);  // where the item window fits the screen when centred over it
  OptionBindings b;
  G().BindOptions(b);
  const QPoint centred = CentredOverPosition(G(), &Main());
  EXPECT_EQ(b.ValueText(OptionId::IwpLeft), std::to_string(centred.x()));
  EXPECT_EQ(b.ValueText(OptionId::IwpTop), std::to_string(centred.y()));
  EXPECT_GT(centred.x(), 0);
  G().ShowAndRaise();
  EXPECT_EQ(G().frameGeometry().topLeft(), centred);
}

TEST(WindowPlacement, AFrameComesWhollyOntoTheScreenItIsOnOrTheNearest) {
  const QList<QRect> screens = {QRect(0, 0, 800, 600), QRect(800, 0, 1024, 768)};
  EXPECT_EQ(PositionOnScreens(QRect(100, 50, 300, 200), screens), QPoint(100, 50));  // seen: kept
  EXPECT_EQ(PositionOnScreens(QRect(790, 10, 300, 200), screens), QPoint(790, 10));  // across two, all seen: kept
  // Partly off: into the screen it overlaps most, title bar included.
  EXPECT_EQ(PositionOnScreens(QRect(100, -20, 300, 200), screens), QPoint(100, 0));
  EXPECT_EQ(PositionOnScreens(QRect(1270, -100, 701, 572), {QRect(0, 0, 1280, 1024)}), QPoint(579, 0));
  EXPECT_EQ(PositionOnScreens(QRect(-94, 300, 800, 292), {QRect(0, 0, 1280, 1024)}), QPoint(0, 300));
  EXPECT_EQ(PositionOnScreens(QRect(700, 500, 300, 200), screens), QPoint(800, 500));    // a corner below the first
  EXPECT_EQ(PositionOnScreens(QRect(5000, 100, 300, 200), screens), QPoint(1524, 100));  // right of both
  EXPECT_EQ(PositionOnScreens(QRect(-900, -700, 300, 200), screens), QPoint(0, 0));
  // Nearest is the second screen, which it is wider than: its left edge goes to the screen's.
  EXPECT_EQ(PositionOnScreens(QRect(100, 900, 2000, 200), screens), QPoint(800, 568));
  EXPECT_EQ(PositionOnScreens(QRect(100, 900, 300, 200), {}), QPoint(100, 900));  // no screen known: kept
}

}  // namespace
