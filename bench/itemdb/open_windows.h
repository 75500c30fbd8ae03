// A big catalogue with the windows open, as the change and history benchmarks
// share it: characters holding its items, the store that saves as you go, the
// item window's list following every change under a search, and the main
// window's inventory of the selected character with its count line.
#pragma once

#include <QApplication>
#include <QTreeView>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "bench/itemdb/game_catalogue.h"
#include "gui/CatalogueSignals.h"
#include "itemdb/ItemListModel.h"
#include "mainwindow/InventoryModel.h"
#include "model/item_counts.h"
#include "storage/catalogue_store.h"

namespace kistora {

constexpr int kCharCount = 1000;
constexpr int kItemsPerChar = 100;

inline QTreeView* ListView(QAbstractItemModel& model) {
  auto* view = new QTreeView;
  view->setUniformRowHeights(true);
  view->setRootIsDecorated(false);
  view->setModel(&model);
  view->resize(600, 400);
  view->show();
  return view;
}

struct OpenWindows {
  std::filesystem::path dir;
  std::unique_ptr<TCatalogue> catalogue;
  std::unique_ptr<CatalogueStore> store;
  std::unique_ptr<CatalogueSignals> changes;
  ItemListModel items;
  InventoryModel inventory;
  std::unique_ptr<QTreeView> itemView;
  std::unique_ptr<QTreeView> inventoryView;
  ItemTotals inventoryTotals;

  // withStore: saving as you go on its worker thread (a heap count must do without it).
  explicit OpenWindows(int count, bool withStore = true) : catalogue(MakeGameCatalogue(count)) {
    std::mt19937 random(3);
    for (int i = 0; i < kCharCount; ++i) {
      auto character = std::make_unique<TChar>();
      character->Name = "Perso" + std::to_string(i);
      for (int k = 0; k < kItemsPerChar; ++k) character->AddItem(static_cast<std::int32_t>(random() % count) + 1);
      catalogue->CharList.push_back(std::move(character));
    }
    catalogue->SyncLastItemIndex();
    if (withStore) {
      char pattern[] = "/tmp/kistora-change-bench-XXXXXX";
      dir = ::mkdtemp(pattern);
      store = std::make_unique<CatalogueStore>(dir.string());
      store->Track(*catalogue);
    }
    changes = std::make_unique<CatalogueSignals>(*catalogue);
    // The item window: a search typed, the list following every change of the items.
    ItemFilter filter;
    filter.Search = ItemSearchQuery("feu");
    items.Rebuild(*catalogue, filter, kColIndex, false);
    QObject::connect(changes.get(), &CatalogueSignals::changed, &items, [this](const CatalogueChange& change) {
      if (change.TouchesItems()) items.ApplyChange(change, *catalogue);
    });
    // The main window: the selected character's inventory and its count line.
    QObject::connect(changes.get(), &CatalogueSignals::inventoriesChanged, &inventory,
                     [this](const CatalogueChange& change) {
                       // As the main window: only a change to what the inventory lists refills it.
                       bool shown = inventory.Lists(change.Number);
                       if (change.Kind == ChangeKind::InventoryChanged) shown = change.Row == 0;
                       if (change.Kind == ChangeKind::ItemRestored)
                         shown = catalogue->CharList.front()->HoldsItem(change.Number);
                       if (shown) FillInventory();
                     });
    FillInventory();
    itemView.reset(ListView(items));
    inventoryView.reset(ListView(inventory));
    QApplication::processEvents();
  }
  ~OpenWindows() {
    itemView.reset();
    inventoryView.reset();
    changes.reset();
    store.reset();  // finishes the save under way
    if (!dir.empty()) std::filesystem::remove_all(dir);
  }
  void FillInventory() {
    const TChar& selected = *catalogue->CharList.front();
    inventory.Fill(*catalogue, &selected);
    inventoryTotals = inventory.Totals();
  }
};

}  // namespace kistora
