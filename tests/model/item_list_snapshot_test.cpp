// The list snapshot picks the same rows as listing the items afresh.
#include "model/item_list_snapshot.h"

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
  ASSERT_EQ(Indexes(snapshot.Rows()), Indexes(MakeItemListRows(catalogue.ItemList, ItemFilter())));

  for (const char* typed : {"", "feu", "EPEE glace", "joyau 1", "bottes", "resistance 2", "zzz"}) {
    for (int boxes = 0; boxes < 3; ++boxes) {
      ItemFilter filter;
      filter.Search = ItemSearchQuery(typed);
      filter.HidePrice0 = boxes == 1;
      if (boxes == 2) filter.ShowQuality = {false, true, false, true, true, false};
      std::vector<std::uint32_t> positions;
      snapshot.Select(filter, positions);
      std::vector<std::int32_t> selected;
      for (std::uint32_t p : positions) selected.push_back(snapshot.Rows()[p].Index);
      EXPECT_EQ(selected, Indexes(MakeItemListRows(catalogue.ItemList, filter))) << typed << " boxes " << boxes;
    }
  }
}

}  // namespace
}  // namespace kistora
