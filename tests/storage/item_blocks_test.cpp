// The block mirror of the items follows every change of the catalogue, and a
// snapshot taken from it keeps what it saw whatever changes come after.
#include "storage/item_blocks.h"

#include <gtest/gtest.h>

#include <random>

#include "core_test_support.h"

namespace kistora {
namespace {

using namespace testing;

struct Recorder : CatalogueObserver {
  explicit Recorder(TCatalogue& c) : catalogue(c) {}
  void CatalogueChanged(const CatalogueChange& change) override { mirror.Apply(catalogue.ItemList, change); }
  TCatalogue& catalogue;
  ItemBlockMirror mirror;
};

ItemVector Flatten(const ItemBlocks& blocks) {
  ItemVector items;
  for (const auto& block : blocks) items.insert(items.end(), block->begin(), block->end());
  return items;
}

TEST(ItemBlockMirror, FollowsEveryChangeAndSnapshotsKeepWhatTheySaw) {
  TCatalogue catalogue;
  for (int i = 1; i <= 3 * static_cast<int>(ItemBlockMirror::kBlockSize) + 5; ++i) AddItem<TD2Ring>(catalogue, i, "r");
  catalogue.SyncLastItemIndex();
  AddChar(catalogue, "Zoe", {});
  Recorder recorder(catalogue);
  recorder.mirror.Rebuild(catalogue.ItemList);
  catalogue.AddObserver(&recorder);

  std::mt19937 rng(3);
  std::vector<std::pair<ItemBlocks, ItemVector>> snapshots;  // each with the items it must still hold
  for (int turn = 0; turn < 3000; ++turn) {
    const int size = static_cast<int>(catalogue.ItemList.size());
    const int position = std::uniform_int_distribution<int>(0, size - 1)(rng);
    switch (turn % 4) {
      case 0:
        catalogue.AddNewItem(std::make_unique<TD2Amulet>());
        break;
      case 1:
        catalogue.ReplaceItemAt(position, std::make_unique<TD2Jewel>());
        break;
      case 2:
        catalogue.DeleteItemAt(position);
        break;
      default:
        catalogue.AddItemToChar(0, 1);  // a character change leaves the items alone
    }
    // Only the objects themselves are compared: the mirror must hold these very items.
    ASSERT_EQ(Flatten(recorder.mirror.Snapshot()), catalogue.ItemList) << "turn " << turn;
    if (turn % 250 == 0) snapshots.emplace_back(recorder.mirror.Snapshot(), catalogue.ItemList);
  }
  for (const auto& [blocks, items] : snapshots) EXPECT_EQ(Flatten(blocks), items);
  for (std::size_t n = 0; n < 2 * ItemBlockMirror::kBlockSize + 1; ++n) catalogue.DeleteItemAt(0);
  EXPECT_EQ(Flatten(recorder.mirror.Snapshot()), catalogue.ItemList);
  catalogue.Clear();
  EXPECT_EQ(recorder.mirror.Size(), 0u);
  EXPECT_TRUE(recorder.mirror.Snapshot().empty());
  catalogue.RemoveObserver(&recorder);
}

TEST(ItemBlockMirror, AMirrorThatLostStepIsNoticed) {
  TCatalogue catalogue;
  for (int i = 1; i <= 5000; ++i) AddItem<TD2Ring>(catalogue, i, "r");
  ItemBlockMirror mirror;
  mirror.Rebuild(catalogue.ItemList);
  EXPECT_TRUE(mirror.Matches(catalogue.ItemList));
  catalogue.ItemList.back() = std::make_unique<TD2Ring>();  // changed without telling anyone
  EXPECT_FALSE(mirror.Matches(catalogue.ItemList));
  catalogue.ItemList.pop_back();
  EXPECT_FALSE(mirror.Matches(catalogue.ItemList));
  // A change it cannot place makes it take everything again.
  mirror.Apply(catalogue.ItemList, {.Kind = ChangeKind::ItemModified, .Position = 99999});
  EXPECT_EQ(Flatten(mirror.Snapshot()), catalogue.ItemList);
}

}  // namespace
}  // namespace kistora
