// The statistics window counting again after a change of a big catalogue made
// while the item database window is hidden, a search typed in it: the change
// with what follows it at once (the item window's rows among them), then the
// count the statistics window makes at the next turn of the event loop
// (TStats::Recount), the windows wired as the program wires them. Goal: at
// most 50 ms at 1,000,000 items. Counter counted: the items the search shows.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <memory>
#include <random>

#include "bench/itemdb/game_catalogue.h"
#include "gui/CatalogueSignals.h"
#include "itemdb/ItemGUnit.h"
#include "itemdb/ItemListModel.h"
#include "stats/StatsUnit.h"

using namespace kistora;

namespace {

void BM_StatsAfterAChangeWithTheItemWindowHidden(benchmark::State& state) {
  std::unique_ptr<TCatalogue> catalogue = MakeGameCatalogue(static_cast<int>(state.range(0)));
  AddGameCharacters(*catalogue, 100, 9000);
  CatalogueSignals changes(*catalogue);
  TItemG items(*catalogue, changes);
  TStats stats(*catalogue, changes);
  stats.ShownFilter = [&items] { return items.Filter(); };
  stats.ShownItems = [&items] { return items.ShownAt(); };
  QObject::connect(&items, &TItemG::filterChanged, &stats, &TStats::FilterChanged);
  items.show();
  items.Search->setText(QStringLiteral("feu"));
  items.ApplySearchNow();
  items.ListeModel()->BuildSearchTexts();
  items.hide();
  stats.show();
  QApplication::processEvents();
  std::mt19937 random(5);
  for (auto _ : state) {
    state.PauseTiming();
    const auto position = static_cast<int>(random() % catalogue->ItemList.size());
    std::unique_ptr<TD2Item> helm = CreateItemFromTag(3);
    helm->Name = "Heaume de feu";
    state.ResumeTiming();
    catalogue->ReplaceItemAt(position, std::move(helm));
    stats.Recount();
  }
  state.counters["counted"] = static_cast<double>(stats.Stats().Counted.Count);
}

BENCHMARK(BM_StatsAfterAChangeWithTheItemWindowHidden)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
