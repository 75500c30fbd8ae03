// Listing and sorting 100,000 items in the item database window (offscreen),
// against a plain std::sort of the same 100,000 names in the same run.
// At the end it prints each list time as a multiple of the std::sort time.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeView>
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "app/Windows.h"
#include "bench/itemdb/game_catalogue.h"
#include "itemdb/ItemGUnit.h"
#include "itemdb/ItemListModel.h"
#include "mainwindow/MainUnit.h"

using namespace kistora;

namespace {

constexpr int kItems = 100000;

// Deterministic names in the style of the game's ("Gants de Fer 4812"), with
// mixed case and accented letters, prices over the whole signed range.
void FillCatalogue(TCatalogue& catalogue) {
  static const char* const kPieces[] = {"Gants",
                                        "bottes",
                                        "Ceinture",
                                        "Heaume",
                                        "armure",
                                        "Bouclier",
                                        "\xC9p\xE9"
                                        "e",
                                        "Arc",
                                        "anneau",
                                        "Amulette",
                                        "Charme",
                                        "joyau",
                                        "Cape",
                                        "\xE9"
                                        "cu",
                                        "Hache"};
  static const char* const kSets[] = {"Fer",
                                      "feu",
                                      "Roi",
                                      "Tal Rasha",
                                      "l'Ange",
                                      "\xC9"
                                      "clat",
                                      "Sigon",
                                      "Immortel",
                                      "Griswold",
                                      "M'avina"};
  std::uint32_t state = 12345;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  };
  catalogue.ItemList.clear();
  catalogue.ItemList.reserve(kItems);
  for (int i = 0; i < kItems; ++i) {
    std::unique_ptr<TD2Item> item = CreateItemFromTag(static_cast<std::uint8_t>(1 + next() % 11));
    item->Index = i + 1;
    item->Name = std::string(kPieces[next() % std::size(kPieces)]) + " de " + kSets[next() % std::size(kSets)] + " " +
                 std::to_string(next() % 100000);
    item->Notes = (next() % 3 == 0) ? "eth. " + std::to_string(next() % 1000) : std::string();
    item->Quality = static_cast<std::uint8_t>(next() % 6);
    item->Price = static_cast<std::int32_t>(next() % 2000001) - 1000000;
    catalogue.ItemList.push_back(std::move(item));
  }
}

struct Program {
  kistora::testing::GuiTestEnvironment env;
  kistora::testing::ScopedProgram program;
  Program() {
    FillCatalogue(program.Main().Catalogue());
    Windows().ItemG->ShowAndRaise();
    QApplication::processEvents();
  }
};

// Created in main() after the QApplication and destroyed before it.
Program* gProgram = nullptr;
Program& TheProgram() { return *gProgram; }

// FillListe (filter, rows, sort, model reset) and the view's layout and paint.
void FillAndShow(benchmark::State& state, std::int32_t column) {
  TheProgram();
  TItemG& window = *Windows().ItemG;
  window.SortColumn = column;
  window.SortInverted = false;
  for (auto _ : state) {
    window.FillListe();
    window.Liste->doItemsLayout();
    QApplication::processEvents();
  }
  if (window.Liste->model()->rowCount() != kItems) state.SkipWithError("not every item listed");
}

void BM_FillListeByName(benchmark::State& state) { FillAndShow(state, kColName); }
void BM_FillListeByPrice(benchmark::State& state) { FillAndShow(state, kColPrice); }

// A click on a column header re-sorts the rows already listed.
void BM_ColumnClickNameThenPrice(benchmark::State& state) {
  TheProgram();
  TItemG& window = *Windows().ItemG;
  window.SortColumn = kColIndex;
  window.FillListe();
  for (auto _ : state) {
    window.ListeColumnClick(kColName);
    window.ListeColumnClick(kColPrice);
    QApplication::processEvents();
  }
}

// The item window's first screen over a catalogue of a million items in the
// game's style, as its first showing lists it: the rows in the stored order
// (by number), the view's layout and paint, and the first step of the search
// texts, which the event loop runs next. Goal: within 0.3 s.
void BM_FirstScreenOfAMillionItems(benchmark::State& state) {
  TCatalogue& catalogue = TheProgram().program.Main().Catalogue();
  std::unique_ptr<TCatalogue> big = MakeGameCatalogue(1000000);
  catalogue.ItemList.swap(big->ItemList);
  TItemG& window = *Windows().ItemG;
  window.SortColumn = kColIndex;
  window.SortInverted = false;
  for (auto _ : state) {
    window.FillListe();
    window.Liste->doItemsLayout();
    QApplication::processEvents();
  }
  if (window.Liste->model()->rowCount() != 1000000) state.SkipWithError("not every item listed");
  catalogue.ItemList.swap(big->ItemList);
  window.FillListe();
}

void BM_StdSortNames(benchmark::State& state) {
  std::vector<std::string> names;
  for (const auto& item : TheProgram().program.Main().Catalogue().ItemList) names.push_back(item->Name);
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::string> copy = names;
    state.ResumeTiming();
    std::sort(copy.begin(), copy.end());
    benchmark::DoNotOptimize(copy.data());
  }
}

BENCHMARK(BM_StdSortNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillListeByName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillListeByPrice)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColumnClickNameThenPrice)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstScreenOfAMillionItems)->Unit(benchmark::kMillisecond)->Iterations(5);

// Console output plus the ratio of each benchmark to BM_StdSortNames.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const auto base = times_.find("BM_StdSortNames");
    if (base == times_.end() || base->second <= 0) return;
    std::printf("\nRatio to std::sort of the same %d names (bar: at most 10):\n", kItems);
    for (const auto& [name, time] : times_) {
      if (name != base->first) std::printf("  %-32s %6.2f\n", name.c_str(), time / base->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  kistora::testing::UseOffscreenPlatform();
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  auto program = std::make_unique<Program>();
  gProgram = program.get();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  gProgram = nullptr;
  program.reset();
  return 0;
}
