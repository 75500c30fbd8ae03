// One change of a big catalogue with the item database window open: how long
// until the program reads the next input. The whole path, as the windows wire
// it: the catalogue's operation, then its observers (the store's snapshot for
// saving as you go, the item window's list, the main window's inventory of the
// selected character and its count line), then the event loop letting both
// list views take their model resets. Goal: at most 50 ms at 1,000,000 items.
// Counter max_ms: the slowest change of the run (a save as you go runs on its
// worker meanwhile, as in the program).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "bench/itemdb/game_catalogue.h"
#include "gui/CatalogueSignals.h"
#include "itemdb/ItemListModel.h"
#include "listing/item_counts.h"
#include "mainwindow/InventoryModel.h"
#include "storage/catalogue_store.h"

using namespace kistora;

namespace {

constexpr int kCharCount = 1000;
constexpr int kItemsPerChar = 100;

QTreeView* ListView(QAbstractItemModel& model) {
  auto* view = new QTreeView;
  view->setUniformRowHeights(true);
  view->setRootIsDecorated(false);
  view->setModel(&model);
  view->resize(600, 400);
  view->show();
  return view;
}

// The catalogue with characters holding its items, its store, and the two lists as the windows show them.
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

  explicit OpenWindows(int count) : catalogue(MakeGameCatalogue(count)) {
    std::mt19937 random(3);
    for (int i = 0; i < kCharCount; ++i) {
      auto character = std::make_unique<TChar>();
      character->Name = "Perso" + std::to_string(i);
      for (int k = 0; k < kItemsPerChar; ++k) character->AddItem(static_cast<std::int32_t>(random() % count) + 1);
      catalogue->CharList.push_back(std::move(character));
    }
    catalogue->SyncLastItemIndex();
    char pattern[] = "/tmp/kistora-change-bench-XXXXXX";
    dir = ::mkdtemp(pattern);
    store = std::make_unique<CatalogueStore>(dir.string());
    store->Track(*catalogue);
    changes = std::make_unique<CatalogueSignals>(*catalogue);
    // The item window: a search typed, the list following every change of the items.
    ItemFilter filter;
    filter.Search = ItemSearchQuery("feu");
    items.Rebuild(*catalogue, filter, kColIndex, false);
    QObject::connect(changes.get(), &CatalogueSignals::changed, &items, [this](const CatalogueChange& change) {
      if (change.TouchesItems()) items.ApplyChange(change, *catalogue);
    });
    // The main window: the selected character's inventory and its count line.
    QObject::connect(
        changes.get(), &CatalogueSignals::inventoriesChanged, &inventory, [this](const CatalogueChange& change) {
          // As the main window: only a change to what the inventory lists refills it.
          const bool shown =
              change.Kind == ChangeKind::InventoryChanged ? change.Row == 0 : inventory.Lists(change.Number);
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
    std::filesystem::remove_all(dir);
  }
  void FillInventory() {
    const TChar& selected = *catalogue->CharList.front();
    inventory.Fill(*catalogue, &selected);
    inventoryTotals = inventory.Totals();
  }
};

std::unique_ptr<TD2Item> Helm() {
  std::unique_ptr<TD2Item> item = CreateItemFromTag(3);
  item->Name = "Heaume de feu";
  item->Price = 120;
  return item;
}

enum class Change { Modify, Delete, Add };

void CatalogueChange(benchmark::State& state, Change change) {
  OpenWindows windows(static_cast<int>(state.range(0)));
  TCatalogue& catalogue = *windows.catalogue;
  std::mt19937 random(11);
  double slowest = 0;
  for (auto _ : state) {
    const auto position = static_cast<int>(random() % catalogue.ItemList.size());
    const auto start = std::chrono::steady_clock::now();
    switch (change) {
      case Change::Modify:
        catalogue.ReplaceItemAt(position, Helm());
        break;
      case Change::Delete:
        catalogue.DeleteItemAt(position);
        break;
      case Change::Add:
        catalogue.AddNewItem(Helm());
        break;
    }
    QApplication::processEvents();  // the views lay out their rows again
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    slowest = std::max(slowest, ms);
  }
  state.counters["max_ms"] = slowest;
  state.counters["shown"] = windows.items.rowCount();
}

void BM_ChangeWithWindowsOpen_Modify(benchmark::State& state) { CatalogueChange(state, Change::Modify); }
void BM_ChangeWithWindowsOpen_Delete(benchmark::State& state) { CatalogueChange(state, Change::Delete); }
void BM_ChangeWithWindowsOpen_Add(benchmark::State& state) { CatalogueChange(state, Change::Add); }

BENCHMARK(BM_ChangeWithWindowsOpen_Modify)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_ChangeWithWindowsOpen_Delete)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_ChangeWithWindowsOpen_Add)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(40);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
