// The item list tells its views of single changes row by row: Qt's model
// checker sees consistent row signals, the rows then read as a fresh listing's,
// and a change to an item the filter hides tells the views nothing.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QSignalSpy>
#include <random>

#include "itemdb/ItemListModel.h"
#include "tests/support/core_test_support.h"

namespace kistora::testing {
namespace {

std::vector<std::int32_t> Numbers(const ItemListModel& model) {
  std::vector<std::int32_t> numbers;
  for (int row = 0; row < model.rowCount(); ++row) numbers.push_back(model.RowAt(row)->Index);
  return numbers;
}

std::unique_ptr<TD2Item> RandomRing(std::mt19937& random) {
  auto ring = std::make_unique<TD2Ring>();
  ring->Name = std::string(1, static_cast<char>('a' + random() % 5));  // ties in the sort column
  ring->Quality = static_cast<std::uint8_t>(random() % 6);
  ring->Price = static_cast<std::int32_t>(random() % 7) - 3;
  return ring;
}

TEST(ItemListModel, FollowsChangesAsAFreshListingWouldShowThem) {
  TCatalogue catalogue;
  std::mt19937 random(7);
  for (int i = 0; i < 40; ++i) catalogue.AddNewItem(RandomRing(random));
  ItemFilter filter;
  filter.ShowQuality[2] = false;
  filter.HidePrice0 = true;
  ItemListModel model;
  model.Rebuild(catalogue, filter, kColName, true);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

  for (int step = 0; step < 300; ++step) {
    const int position = static_cast<int>(random() % catalogue.ItemList.size());
    CatalogueChange change;
    switch (random() % 3) {
      case 0:
        catalogue.ReplaceItemAt(position, RandomRing(random));
        change = {.Kind = ChangeKind::ItemModified, .Position = position};
        break;
      case 1:
        catalogue.DeleteItemAt(position);
        change = {.Kind = ChangeKind::ItemDeleted, .Position = position};
        break;
      default:
        catalogue.AddNewItem(RandomRing(random));
        change = {.Kind = ChangeKind::ItemAdded, .Position = static_cast<int>(catalogue.ItemList.size()) - 1};
        break;
    }
    model.ApplyChange(change, catalogue);
    ItemListModel fresh;
    fresh.Rebuild(catalogue, filter, kColName, true);
    ASSERT_EQ(Numbers(model), Numbers(fresh)) << "step " << step;
  }
}

TEST(ItemListModel, AChangeToAHiddenItemTellsTheViewsNothing) {
  TCatalogue catalogue;
  AddItem(catalogue, 1, "shown", 0, 5);
  AddItem(catalogue, 2, "hidden", 0, 0);
  AddItem(catalogue, 3, "shown too", 0, 5);
  catalogue.SyncLastItemIndex();
  ItemFilter filter;
  filter.HidePrice0 = true;
  ItemListModel model;
  model.Rebuild(catalogue, filter, kColIndex, false);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
  QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

  auto stillHidden = std::make_unique<TD2Ring>();
  catalogue.ReplaceItemAt(1, std::move(stillHidden));
  model.ApplyChange({.Kind = ChangeKind::ItemModified, .Position = 1}, catalogue);
  catalogue.DeleteItemAt(1);
  model.ApplyChange({.Kind = ChangeKind::ItemDeleted, .Position = 1}, catalogue);
  EXPECT_EQ(inserted.count() + removed.count() + reset.count() + changed.count(), 0);
  EXPECT_EQ(Numbers(model), (std::vector<std::int32_t>{1, 3}));

  auto repriced = std::make_unique<TD2Ring>();
  repriced->Price = 9;
  catalogue.ReplaceItemAt(1, std::move(repriced));
  model.ApplyChange({.Kind = ChangeKind::ItemModified, .Position = 1}, catalogue);
  EXPECT_EQ(changed.count(), 1) << "a row that stays in its place is only redrawn";
  EXPECT_EQ(inserted.count() + removed.count() + reset.count(), 0);
  EXPECT_EQ(model.ShownTotals().Value, 14);
}

}  // namespace
}  // namespace kistora::testing
