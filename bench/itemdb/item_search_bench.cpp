// Quick search in the item database window: what one keystroke costs, that is
// preparing the typed text, filtering every item, building the rows, sorting
// them and resetting the list's model, over 100,000 and 1,000,000 items.
// The "View" runs also let a list view (set up as the window's) take the reset
// and lay the rows out. Goal: at most 30 ms at 100,000 items, 300 ms at 1,000,000.
// "Model" runs: the keystroke as the window does it (refilter from the model's
// snapshot), and one change of the catalogue followed by the model.
// "Condition" runs: value and holder conditions; the holders of one item.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "bench/itemdb/game_catalogue.h"
#include "itemdb/ItemListModel.h"
#include "listing/item_holders.h"
#include "listing/item_list_rows.h"
#include "listing/item_list_snapshot.h"
#include "listing/item_search.h"
#include "model/catalogue.h"
#include "model/catalogue_change.h"

using namespace kistora;

namespace {

const TCatalogue& Catalogue(int count) { return SharedGameCatalogue(count); }

// No text (the list before any typing), one letter (matches nearly every
// item), a word, and two words.
const char* const kQueries[] = {"", "e", "feu", "bouclier \xE9\x63lat"};
const char* const kQueryNames[] = {"(none)", "e", "feu", "bouclier eclat"};

void Keystroke(benchmark::State& state, bool withView) {
  const int count = static_cast<int>(state.range(0));
  const char* typed = kQueries[state.range(1)];
  const TCatalogue& catalogue = Catalogue(count);
  ItemListModel model;
  std::unique_ptr<QTreeView> view;
  if (withView) {
    view = std::make_unique<QTreeView>();
    view->setUniformRowHeights(true);
    view->setRootIsDecorated(false);
    view->setModel(&model);
    view->resize(600, 400);
    view->show();
  }
  ItemFilter filter;
  model.Rebuild(catalogue, filter, kColIndex, false);  // the list as it was before the keystroke
  for (auto _ : state) {
    filter.Search = ItemSearchQuery(typed);
    model.Rebuild(catalogue, filter, kColIndex, false);
    if (view) {
      view->doItemsLayout();
      QApplication::processEvents();
    }
  }
  state.counters["shown"] = model.rowCount();
  state.SetLabel(kQueryNames[state.range(1)]);
}

void BM_SearchKeystroke(benchmark::State& state) { Keystroke(state, false); }
void BM_SearchKeystrokeView(benchmark::State& state) { Keystroke(state, true); }

// The same keystroke once the list keeps a snapshot of every row (made when
// the catalogue changes): pick the shown positions and sort them. A model
// reset over these positions adds only its signals.
void BM_SnapshotKeystroke(benchmark::State& state) {
  const TCatalogue& catalogue = Catalogue(static_cast<int>(state.range(0)));
  ItemListSnapshot snapshot;
  snapshot.Build(catalogue.ItemList);
  snapshot.BuildSearchTexts();
  std::vector<std::uint32_t> positions;
  ItemFilter filter;
  for (auto _ : state) {
    filter.Search = ItemSearchQuery(kQueries[state.range(1)]);
    snapshot.Select(filter, positions);
    SortItemListOrder(snapshot.RowSource(), positions, kColIndex, false, snapshot.Values());
    benchmark::DoNotOptimize(positions.data());
  }
  state.counters["shown"] = static_cast<double>(positions.size());
  state.SetLabel(kQueryNames[state.range(1)]);
}

// The keystroke as the window does it: the model keeps its snapshot and only
// picks, sorts and resets (the query is prepared in the loop, as on a key).
void BM_ModelKeystroke(benchmark::State& state) {
  const TCatalogue& catalogue = Catalogue(static_cast<int>(state.range(0)));
  ItemListModel model;
  ItemFilter filter;
  model.Rebuild(catalogue, filter, kColIndex, false);
  model.BuildSearchTexts();
  for (auto _ : state) {
    filter.Search = ItemSearchQuery(kQueries[state.range(1)]);
    model.Refilter(filter, kColIndex, false);
  }
  state.counters["shown"] = model.rowCount();
  state.SetLabel(kQueryNames[state.range(1)]);
}

// The same keystroke with a list view set up as the window's (uniform row
// heights, no root decoration) taking the reset and laying the rows out, as
// the event loop does before the next key is read.
void BM_ModelKeystrokeView(benchmark::State& state) {
  const TCatalogue& catalogue = Catalogue(static_cast<int>(state.range(0)));
  ItemListModel model;
  QTreeView view;
  view.setUniformRowHeights(true);
  view.setRootIsDecorated(false);
  view.setModel(&model);
  view.resize(600, 400);
  view.show();
  ItemFilter filter;
  model.Rebuild(catalogue, filter, kColIndex, false);
  model.BuildSearchTexts();
  for (auto _ : state) {
    filter.Search = ItemSearchQuery(kQueries[state.range(1)]);
    model.Refilter(filter, kColIndex, false);
    view.doItemsLayout();
    QApplication::processEvents();
  }
  state.counters["shown"] = model.rowCount();
  state.SetLabel(kQueryNames[state.range(1)]);
}

// One change of the catalogue followed by the model: an item modified in the
// middle, or deleted there and added at the end; the list keeps the search "feu".
void CatalogueChangeThroughModel(benchmark::State& state, bool modify) {
  static std::unique_ptr<TCatalogue> catalogue = MakeGameCatalogue(static_cast<int>(state.range(0)));
  catalogue->SyncLastItemIndex();
  ItemListModel model;
  ItemFilter filter;
  filter.Search = ItemSearchQuery("feu");
  model.Rebuild(*catalogue, filter, kColIndex, false);
  const int middle = static_cast<int>(catalogue->ItemList.size() / 2);
  for (auto _ : state) {
    std::unique_ptr<TD2Item> item = CreateItemFromTag(3);
    item->Name = "Heaume de feu";
    if (modify) {
      catalogue->ReplaceItemAt(middle, std::move(item));
      model.ApplyChange({.Kind = ChangeKind::ItemModified, .Position = middle}, *catalogue);
    } else {
      catalogue->DeleteItemAt(middle);
      model.ApplyChange({.Kind = ChangeKind::ItemDeleted, .Position = middle}, *catalogue);
      catalogue->AddNewItem(std::move(item));
      model.ApplyChange({.Kind = ChangeKind::ItemAdded, .Position = static_cast<int>(catalogue->ItemList.size()) - 1},
                        *catalogue);
    }
  }
  state.counters["shown"] = model.rowCount();
}

void BM_ModelItemModified(benchmark::State& state) { CatalogueChangeThroughModel(state, true); }
void BM_ModelItemDeletedThenAdded(benchmark::State& state) { CatalogueChangeThroughModel(state, false); }

// Making the snapshot, as the window opens: the rows, without the search texts.
void BM_SnapshotBuild(benchmark::State& state) {
  const TCatalogue& catalogue = Catalogue(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    ItemListSnapshot snapshot;
    snapshot.Build(catalogue.ItemList);
    benchmark::DoNotOptimize(snapshot.Numbers().data());
  }
}

// The search texts of every row, made after the first screen in steps of
// kSearchTextStep rows; "step_ms" is the longest step, which the window waits for.
void BM_SnapshotSearchTexts(benchmark::State& state) {
  constexpr std::size_t kSearchTextStep = 2048;
  const TCatalogue& catalogue = Catalogue(static_cast<int>(state.range(0)));
  double longestStep = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ItemListSnapshot snapshot;
    snapshot.Build(catalogue.ItemList);
    state.ResumeTiming();
    bool done = false;
    while (!done) {
      const auto start = std::chrono::steady_clock::now();
      done = snapshot.BuildSearchTexts(kSearchTextStep);
      const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
      longestStep = std::max(longestStep, took.count());
    }
  }
  state.counters["step_ms"] = longestStep;
}

// Filtering alone, without building rows: the share of the matching itself.
void BM_SearchMatchOnly(benchmark::State& state) {
  const TCatalogue& catalogue = Catalogue(static_cast<int>(state.range(0)));
  const ItemSearchQuery query(kQueries[state.range(1)]);
  for (auto _ : state) {
    std::int64_t shown = 0;
    for (const auto& item : catalogue.ItemList) shown += query.Matches(*item) ? 1 : 0;
    benchmark::DoNotOptimize(shown);
  }
  state.SetLabel(kQueryNames[state.range(1)]);
}

// Value and holder conditions, alone and with a word: one keystroke as the
// window does it (the query read and, for perso: and libre, who holds what
// learnt from 1,000 characters holding 100 items each; then the refilter from
// the model's snapshot). Same goals as a word.
const char* const kConditionQueries[] = {"feu>=20", "niveau<=30 prix>0", "defense 100..300",
                                         "libre",   "perso:Mule0500",    "anneau feu>=20 libre"};

const TCatalogue& CatalogueWithCharacters(int count) {
  static std::map<int, std::unique_ptr<TCatalogue>> made;
  auto& catalogue = made[count];
  if (!catalogue) {
    catalogue = MakeGameCatalogue(count);
    AddGameCharacters(*catalogue, 1000, 100);
  }
  return *catalogue;
}

ItemFilter FilterFor(const char* typed, const TCatalogue& catalogue) {
  ItemFilter filter;
  filter.Search = ItemSearchQuery(typed);
  if (filter.Search.DependsOnHolders()) filter.Search.ResolveHolders(catalogue.CharList);
  return filter;
}

void BM_ConditionKeystroke(benchmark::State& state) {
  const TCatalogue& catalogue = CatalogueWithCharacters(static_cast<int>(state.range(0)));
  const char* typed = kConditionQueries[state.range(1)];
  ItemListModel model;
  model.Rebuild(catalogue, ItemFilter(), kColIndex, false);
  model.BuildSearchTexts();
  for (auto _ : state) model.Refilter(FilterFor(typed, catalogue), kColIndex, false);
  state.counters["shown"] = model.rowCount();
  state.SetLabel(typed);
}

// A character's inventory gains and loses an entry while the list shows
// "libre": the model follows each change row by row (one number's rows).
void BM_ModelInventoryChangeUnderLibre(benchmark::State& state) {
  static std::unique_ptr<TCatalogue> catalogue;
  catalogue = MakeGameCatalogue(static_cast<int>(state.range(0)));
  AddGameCharacters(*catalogue, 1000, 100);
  ItemListModel model;
  model.Rebuild(*catalogue, FilterFor("libre", *catalogue), kColIndex, false);
  const auto middle = static_cast<std::int32_t>(catalogue->ItemList.size() / 2);
  for (auto _ : state) {
    catalogue->AddItemToChar(7, middle);
    model.ApplyChange({.Kind = ChangeKind::InventoryChanged, .Row = 7, .Number = middle}, *catalogue);
    catalogue->RemoveInventoryEntry(7, catalogue->CharAt(7)->ItemCount() - 1);
    model.ApplyChange({.Kind = ChangeKind::InventoryChanged, .Row = 7, .Number = middle}, *catalogue);
  }
  state.counters["shown"] = model.rowCount();
}

// Who holds the selected item, for the count line: 1,000 characters holding 100 items each.
void BM_HoldersOfSelected(benchmark::State& state) {
  const TCatalogue& catalogue = CatalogueWithCharacters(100000);
  const std::int32_t number = catalogue.CharAt(500)->ItemAt(3);
  std::size_t holders = 0;
  for (auto _ : state) {
    const std::vector<ItemHolder> held = HoldersOf(catalogue.CharList, number);
    benchmark::DoNotOptimize(HeldByText(held, 3));
    holders = held.size();
  }
  state.counters["holders"] = static_cast<double>(holders);
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int count : {100000, 1000000}) {
    for (int query = 0; query < static_cast<int>(std::size(kQueries)); ++query) b->Args({count, query});
  }
}

BENCHMARK(BM_SearchKeystroke)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchKeystrokeView)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnapshotKeystroke)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModelKeystroke)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModelKeystrokeView)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModelItemModified)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModelItemDeletedThenAdded)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnapshotBuild)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SnapshotSearchTexts)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SearchMatchOnly)->Apply(Sizes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConditionKeystroke)
    ->Apply([](benchmark::internal::Benchmark* b) {
      for (int count : {100000, 1000000}) {
        for (int query = 0; query < static_cast<int>(std::size(kConditionQueries)); ++query) b->Args({count, query});
      }
    })
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ModelInventoryChangeUnderLibre)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HoldersOfSelected)->Unit(benchmark::kMicrosecond);

}  // namespace
