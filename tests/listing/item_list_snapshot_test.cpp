// The list snapshot picks the same rows as listing the items afresh.
#include "listing/item_list_snapshot.h"

#include <gtest/gtest.h>

#include "core_test_support.h"

namespace kistora {
namespace {

using testing::AddItem;

std::vector<std::int32_t> Indexes(const std::vector<ItemListRow>& rows) {
  std::vector<std::int32_t> indexes;
  for (const ItemListRow& row : rows) indexes.push_back(row.Index);
  return indexes;
}

std::vector<std::int32_t> Indexes(const ItemListSnapshot& snapshot) { return snapshot.Numbers(); }

TEST(ItemListSnapshot, SelectsTheRowsMakeItemListRowsLists) {
  TCatalogue catalogue;
  const char* const names[] = {"Anneau de Feu", "\xC9p\xE9\x65 de Glace", "Bottes de feu", "Heaume", ""};
  for (int i = 0; i < 40; ++i) {
    TD2Item& item = i % 3 == 0   ? static_cast<TD2Item&>(AddItem<TD2Ring>(catalogue, 100 - i, names[i % 5], i % 7))
                    : i % 3 == 1 ? static_cast<TD2Item&>(AddItem<TD2Boots>(catalogue, i, names[i % 5], i % 7, i % 4))
                                 : static_cast<TD2Item&>(AddItem<TD2Jewel>(catalogue, i, names[i % 5], i % 7, -i));
    if (i % 4 == 0) item.MagicProps = {"+" + std::to_string(i) + " R\xE9sistance au feu"};
  }
  catalogue.ItemList.insert(catalogue.ItemList.begin() + 5, nullptr);
  ItemListSnapshot snapshot;
  snapshot.Build(catalogue.ItemList);
  ASSERT_EQ(Indexes(snapshot), Indexes(MakeItemListRows(catalogue.ItemList, ItemFilter())));

  for (const char* typed : {"", "feu", "EPEE glace", "joyau 1", "bottes", "resistance 2", "zzz"}) {
    for (int boxes = 0; boxes < 3; ++boxes) {
      ItemFilter filter;
      filter.Search = ItemSearchQuery(typed);
      filter.HidePrice0 = boxes == 1;
      if (boxes == 2) filter.ShowQuality = {false, true, false, true, true, false};
      std::vector<std::uint32_t> positions;
      snapshot.Select(filter, positions);
      std::vector<std::int32_t> selected;
      for (std::uint32_t p : positions) selected.push_back(snapshot.Row(p).Index);
      EXPECT_EQ(selected, Indexes(MakeItemListRows(catalogue.ItemList, filter))) << typed << " boxes " << boxes;
    }
  }
}

// A snapshot that follows the catalogue's operations one change at a time holds
// the same rows and picks the same positions as one built afresh.
class SnapshotFollower : public CatalogueObserver {
 public:
  explicit SnapshotFollower(TCatalogue& catalogue) : catalogue_(catalogue) { snapshot.Build(catalogue.ItemList); }
  void CatalogueChanged(const CatalogueChange& change) override { snapshot.Apply(change, catalogue_.ItemList); }
  ItemListSnapshot snapshot;

 private:
  TCatalogue& catalogue_;
};

std::unique_ptr<TD2Item> Ring(std::string_view name, std::int32_t price) {
  auto ring = std::make_unique<TD2Ring>();
  ring->Name = std::string(name);
  ring->Price = price;
  ring->Quality = static_cast<std::uint8_t>(price % 6);
  return ring;
}

std::vector<std::int32_t> Picked(const ItemListSnapshot& snapshot, const char* typed) {
  ItemFilter filter;
  filter.Search = ItemSearchQuery(typed);
  std::vector<std::uint32_t> positions;
  snapshot.Select(filter, positions);
  std::vector<std::int32_t> picked;
  for (std::uint32_t p : positions) picked.push_back(snapshot.Row(p).Index);
  return picked;
}

TEST(ItemListSnapshot, FollowsAddedModifiedAndDeletedItemsAsAFullBuild) {
  TCatalogue catalogue;
  for (int i = 0; i < 6; ++i) catalogue.AddNewItem(Ring("Anneau " + std::to_string(i), i));
  SnapshotFollower follower(catalogue);
  catalogue.AddObserver(&follower);
  // Enough replacements of long names that the dead texts get compacted on the
  // way, while the search texts are still being made a few rows at a time.
  for (int round = 0; round < 30; ++round) {
    follower.snapshot.BuildSearchTexts(2);
    catalogue.AddNewItem(Ring("\xC9p\xE9\x65 " + std::to_string(round), round));
    catalogue.ModifyItem(catalogue.ItemList[static_cast<std::size_t>(round % 5)]->Index,
                         Ring(std::string(200, 'x') + " feu " + std::to_string(round), 100 + round));
    if (round % 3 == 0) catalogue.DeleteItem(catalogue.ItemList[static_cast<std::size_t>(round % 4)]->Index);
  }
  ItemListSnapshot fresh;
  fresh.Build(catalogue.ItemList);
  ASSERT_EQ(Indexes(follower.snapshot), Indexes(fresh));
  EXPECT_FALSE(fresh.SearchTextsReady()) << "made by the first search, or in steps";
  for (std::size_t i = 0; i < fresh.Size(); ++i) {
    EXPECT_EQ(follower.snapshot.Row(i).Name, fresh.Row(i).Name);
    EXPECT_EQ(follower.snapshot.Row(i).Price, fresh.Row(i).Price);
  }
  for (const char* typed : {"", "feu", "epee 2", "anneau", "xxx feu 29"}) {
    EXPECT_EQ(Picked(follower.snapshot, typed), Picked(fresh, typed)) << typed;
  }
  EXPECT_FALSE(Picked(fresh, "feu").empty());

  // The whole catalogue replaced by a version differing in a few items (another
  // machine's, taken in): the rows kept and made agree with a full build.
  follower.snapshot.BuildSearchTexts();
  ItemVector next = catalogue.ItemList;
  next.erase(next.begin() + 2);
  auto changed = Ring("anneau de feu", 7);
  changed->Index = next[4]->Index;
  next[4] = ItemPtr(std::move(changed));
  for (int i = 0; i < 3; ++i) {
    auto added = Ring("bottes " + std::to_string(i), i);
    added->Index = catalogue.NewItemIndex();
    next.push_back(ItemPtr(std::move(added)));
  }
  catalogue.ReplaceContent(next, {});
  fresh.Build(catalogue.ItemList);
  ASSERT_EQ(Indexes(follower.snapshot), Indexes(fresh));
  for (const char* typed : {"", "feu", "bottes", "anneau", "xxx feu 29"}) {
    EXPECT_EQ(Picked(follower.snapshot, typed), Picked(fresh, typed)) << typed;
  }
  catalogue.RemoveObserver(&follower);
}

TEST(ItemListSnapshot, BuildsAgainWhenANullEntryBreaksThePositions) {
  TCatalogue catalogue;
  for (int i = 0; i < 4; ++i) catalogue.AddNewItem(Ring("Anneau " + std::to_string(i), i));
  catalogue.ItemList.insert(catalogue.ItemList.begin() + 1, nullptr);
  SnapshotFollower follower(catalogue);
  catalogue.AddObserver(&follower);
  // By position: the operations by number do not expect null entries.
  catalogue.ReplaceItemAt(3, Ring("Heaume", 7));
  catalogue.DeleteItemAt(2);
  EXPECT_EQ(Indexes(follower.snapshot), Indexes(MakeItemListRows(catalogue.ItemList, ItemFilter())));
  EXPECT_EQ(Picked(follower.snapshot, "heaume"), std::vector<std::int32_t>{catalogue.ItemList[2]->Index});
  catalogue.RemoveObserver(&follower);
}

}  // namespace
}  // namespace kistora
