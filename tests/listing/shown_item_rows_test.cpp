// The shown rows that follow the catalogue one change at a time hold the same
// rows, in the same order, with the same totals as a full listing.
#include "listing/shown_item_rows.h"

#include <gtest/gtest.h>

#include <random>

#include "core_test_support.h"
#include "model/catalogue_history.h"

namespace kistora {
namespace {

// Follows every change as the item window's list does: the snapshot first, then the shown rows.
class ListFollower : public CatalogueObserver {
 public:
  ListFollower(TCatalogue& catalogue, const ItemFilter& filter, std::int32_t column, bool inverted)
      : catalogue_(catalogue) {
    snapshot.Build(catalogue.ItemList);
    shown.Relist(snapshot, filter, column, inverted);
    catalogue_.AddObserver(this);
  }
  ~ListFollower() override { catalogue_.RemoveObserver(this); }
  void CatalogueChanged(const CatalogueChange& change) override { shown.FollowChange(snapshot, change, catalogue_); }
  ItemListSnapshot snapshot;
  ShownItemRows shown;

 private:
  TCatalogue& catalogue_;
};

// Item numbers in shown order, each with the name, so that equal numbers in other rows tell apart.
std::vector<std::pair<std::int32_t, std::string>> Listed(const ItemListSnapshot& snapshot, const ShownItemRows& shown) {
  std::vector<std::pair<std::int32_t, std::string>> listed;
  for (const std::uint32_t position : shown.Order()) {
    listed.emplace_back(snapshot.Row(position).Index, snapshot.Row(position).Name);
  }
  return listed;
}

void ExpectSameAsFullListing(const TCatalogue& catalogue, const ListFollower& follower, const std::string& context) {
  ItemListSnapshot fresh;
  fresh.Build(catalogue.ItemList);
  ShownItemRows full;
  // Who holds what learnt afresh, not taken from the rows that followed.
  ItemFilter filter = follower.shown.Filter();
  filter.Search.ResolveHolders(catalogue.CharList);
  full.Relist(fresh, filter, follower.shown.SortColumn(), follower.shown.SortInverted());
  ASSERT_EQ(Listed(follower.snapshot, follower.shown), Listed(fresh, full)) << context;
  EXPECT_EQ(follower.shown.Totals().Count, full.Totals().Count) << context;
  EXPECT_EQ(follower.shown.Totals().Value, full.Totals().Value) << context;
}

std::unique_ptr<TD2Item> RandomItem(std::mt19937& random) {
  // Few names and prices, so that many rows compare equal and list order decides.
  static const char* const kNames[] = {"Anneau de feu", "anneau", "\xC9p\xE9\x65 de feu", "Heaume", "bottes", ""};
  auto item = CreateItemFromTag(static_cast<std::uint8_t>(1 + random() % 11));
  item->Name = kNames[random() % std::size(kNames)];
  item->Notes = random() % 2 ? "eth" : "";
  item->Quality = static_cast<std::uint8_t>(random() % 7);
  item->Price = static_cast<std::int32_t>(random() % 5) - 1;
  return item;
}

TEST(ShownItemRows, FollowsChangesInTheOrderAndTotalsOfAFullListing) {
  std::mt19937 random(5);
  for (int column = -1; column <= kItemListColumnCount; ++column) {
    for (const bool inverted : {false, true}) {
      for (const char* typed : {"", "feu", "anneau"}) {
        TCatalogue catalogue;
        for (int i = 0; i < 30; ++i) catalogue.AddNewItem(RandomItem(random));
        // Numbers out of order and repeated, as a hand-made database may hold them.
        catalogue.ItemList[3]->Index = 2;
        catalogue.ItemList[7]->Index = 100;
        ItemFilter filter;
        filter.Search = ItemSearchQuery(typed);
        filter.HidePrice0 = column % 2 == 0;
        filter.ShowQuality[2] = !inverted;
        ListFollower follower(catalogue, filter, column, inverted);
        // Taking a deletion back puts a row back in the middle of the list.
        CatalogueHistory history(catalogue);
        for (int step = 0; step < 60; ++step) {
          const int size = static_cast<int>(catalogue.ItemList.size());
          const int position = static_cast<int>(random() % static_cast<unsigned>(size));
          switch (random() % 5) {
            case 3:
              history.Undo();
              break;
            case 4:
              history.Redo();
              break;
            case 0:
              catalogue.AddNewItem(RandomItem(random));
              break;
            case 1:
              catalogue.ReplaceItemAt(position, RandomItem(random));
              break;
            default:
              catalogue.DeleteItemAt(position);
              break;
          }
          ExpectSameAsFullListing(catalogue, follower,
                                  "column " + std::to_string(column) + (inverted ? " inverted" : "") + " search '" +
                                      typed + "' step " + std::to_string(step));
        }
      }
    }
  }
}

TEST(ShownItemRows, FollowsWhoHoldsWhatUnderPersoAndLibre) {
  std::mt19937 random(11);
  for (const char* typed : {"libre", "perso:bob", "perso:bob feu", "libre anneau"}) {
    TCatalogue catalogue;
    for (int i = 0; i < 30; ++i) catalogue.AddNewItem(RandomItem(random));
    testing::AddChar(catalogue, "Bob", {1, 2, 2});
    testing::AddChar(catalogue, "Zoe", {3});
    ItemFilter filter;
    filter.Search = ItemSearchQuery(typed);
    filter.Search.ResolveHolders(catalogue.CharList);
    ListFollower follower(catalogue, filter, kColName, false);
    for (int step = 0; step < 200; ++step) {
      const int chars = static_cast<int>(catalogue.CharList.size());
      const int row = chars > 0 ? static_cast<int>(random() % static_cast<unsigned>(chars)) : -1;
      const auto number = static_cast<std::int32_t>(1 + random() % 40);  // some numbers no item has
      switch (random() % 9) {
        case 7: {
          // Another version taken in whole: most items the same objects (their
          // rows are kept), one changed, one gone, one new, an entry handed over.
          ItemVector next = catalogue.ItemList;
          const std::size_t at = random() % next.size();
          auto changed = RandomItem(random);
          changed->Index = next[at]->Index;
          next[at] = ItemPtr(std::move(changed));
          next.erase(next.begin() + static_cast<std::ptrdiff_t>(random() % next.size()));
          auto added = RandomItem(random);
          added->Index = catalogue.NewItemIndex();
          next.push_back(ItemPtr(std::move(added)));
          std::vector<std::unique_ptr<TChar>> characters;
          for (const auto& character : catalogue.CharList) characters.push_back(std::make_unique<TChar>(*character));
          if (!characters.empty()) characters[0]->Items.push_back(number);
          catalogue.ReplaceContent(std::move(next), std::move(characters));
          break;
        }
        case 0:
        case 1:
        case 2:
          catalogue.AddItemToChar(row, number);
          break;
        case 3:
        case 4:
          if (row >= 0 && catalogue.CharAt(row)->ItemCount() > 0) catalogue.RemoveInventoryEntry(row, 0);
          break;
        case 5: {
          TChar renamed;
          renamed.Name = random() % 2 ? "bob" : "Alice";
          catalogue.ModifyChar(row, renamed);
          break;
        }
        case 6:
          if (random() % 2) {
            catalogue.RemoveChar(row);
          } else {
            auto character = std::make_unique<TChar>();
            character->Name = "B o b";
            character->Items = {number, number + 1};
            catalogue.AddChar(std::move(character));
          }
          break;
        default:
          catalogue.DeleteItemAt(static_cast<int>(random() % catalogue.ItemList.size()));
          catalogue.AddNewItem(RandomItem(random));
          break;
      }
      ExpectSameAsFullListing(catalogue, follower, std::string(typed) + " step " + std::to_string(step));
    }
  }
}

TEST(ShownItemRows, ListsAgainWhenTheSnapshotIsRebuilt) {
  TCatalogue catalogue;
  testing::AddItem<TD2Ring>(catalogue, 4, "Anneau de feu", 1, 10);
  testing::AddItem<TD2Ring>(catalogue, 2, "Anneau de glace", 1, 20);
  ItemFilter filter;
  filter.Search = ItemSearchQuery("anneau");
  ListFollower follower(catalogue, filter, kColIndex, false);
  // A load replaces everything and says so with a reset.
  catalogue.ClearItems();
  testing::AddItem<TD2Ring>(catalogue, 9, "Anneau", 1, 5);
  testing::AddItem<TD2Boots>(catalogue, 3, "Bottes", 0, 7);
  testing::AddItem<TD2Ring>(catalogue, 1, "Anneau", 1, 6);
  catalogue.NotifyReset();
  ExpectSameAsFullListing(catalogue, follower, "after a reset");
  EXPECT_EQ(follower.shown.Totals().Value, 11);
  // A null entry breaks the positions: the next change builds everything again.
  catalogue.ItemList.insert(catalogue.ItemList.begin(), nullptr);
  catalogue.ReplaceItemAt(2, RandomItem(*std::make_unique<std::mt19937>(1)));
  ExpectSameAsFullListing(catalogue, follower, "with a null entry");
}

}  // namespace
}  // namespace kistora
