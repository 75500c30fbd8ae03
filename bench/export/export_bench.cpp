// Export of a 100,000-item catalogue held by 1,000 characters, HTML and text
// (and the lists to paste), "Tous les personnages", sorted by name with set
// grouping; the list of only the new items with its memory. Compared with
// writing the same number of bytes with one write, with and without the
// fsync that the export's safe save does.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "export/export_run.h"

namespace kistora {
namespace {

constexpr int kItems = 100000;
constexpr int kChars = 1000;
constexpr int kHeldPerChar = 100;

const char* const kPieces[] = {"Gants", "Casque", "Armure", "Bottes", "Ceinture", "Bouclier", "Lame", "Anneau"};
const char* const kSets[] = {"Fer", "Roi", "Acier", "Ciel", "Feu", "Sang", "Lune", "Orage"};

std::unique_ptr<TD2Item> MakeItem(int i, std::mt19937& random) {
  std::unique_ptr<TD2Item> item;
  switch (i % 6) {
    case 0: {
      auto w = std::make_unique<TD2Weapon>();
      w->MinDmg = 3;
      w->MaxDmg = 40;
      w->Speed = 2;
      item = std::move(w);
      break;
    }
    case 1: {
      auto s = std::make_unique<TD2Shield>();
      s->Def = 80;
      s->Parade = 30;
      item = std::move(s);
      break;
    }
    case 2: {
      auto h = std::make_unique<TD2Helm>();
      h->Def = 45;
      item = std::move(h);
      break;
    }
    case 3:
      item = std::make_unique<TD2Ring>();
      break;
    case 4:
      item = std::make_unique<TD2Amulet>();
      break;
    default:
      item = std::make_unique<TD2Charm>();
      break;
  }
  item->Index = i + 1;
  item->Quality = static_cast<std::uint8_t>(random() % 6);
  std::string name = kPieces[random() % 8];
  name.append(" de ").append(kSets[random() % 8]).append(" ").append(std::to_string(random() % 1000));
  item->Name = name;
  item->Notes = random() % 3 == 0 ? "\xE0 \xE9"
                                    "changer"
                                  : "";
  item->Price = static_cast<std::int32_t>(random() % 50);
  item->CLvl = static_cast<std::int32_t>(random() % 90);
  item->Str = static_cast<std::int32_t>(random() % 150);
  item->Dur = 20;
  item->MaxDur = 40;
  std::string defence = "+";
  defence.append(std::to_string(random() % 300))
      .append(
          " D\xE9"
          "fense");
  item->MagicProps = {defence, "+2 aux comp\xE9tences", "10% vol de vie"};
  return item;
}

const TCatalogue& BigCatalogue() {
  static const TCatalogue catalogue = [] {
    TCatalogue c;
    std::mt19937 random(42);
    for (int i = 0; i < kItems; ++i) c.ItemList.push_back(MakeItem(i, random));
    for (int k = 0; k < kChars; ++k) {
      auto character = std::make_unique<TChar>();
      character->Name = "Perso " + std::to_string(k);
      for (int j = 0; j < kHeldPerChar; ++j) character->AddItem(static_cast<std::int32_t>(random() % kItems) + 1);
      c.CharList.push_back(std::move(character));
    }
    return c;
  }();
  return catalogue;
}

ExportSettings Settings(ExportFormat format, const std::string& path) {
  ExportSettings settings;
  settings.Format = format;
  settings.FileName = path;
  settings.Scope = ExportScope::AllChars;
  settings.SortBy = ExportSort::Name;
  settings.TrierSets = true;
  settings.ShowPrice = true;
  return settings;
}

std::string ScratchPath(const char* name) {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir && *dir ? dir : "/tmp") + "/kistora-bench-" + std::to_string(::getpid()) + "-" + name;
}

std::tm FixedNow() {
  std::tm now{};
  now.tm_year = 126;
  now.tm_mday = 6;
  return now;
}

// The whole export run: selection, sort, writing, backup copy, fsync and rename.
void BM_ExportRun(benchmark::State& state) {
  const auto format = static_cast<ExportFormat>(state.range(0));
  const TCatalogue& catalogue = BigCatalogue();
  const std::string path = ScratchPath(format == ExportFormat::Html ? "list.html" : "list.txt");
  const ExportSettings settings = Settings(format, path);
  for (auto _ : state) {
    const ExportResult result = RunExport(settings, catalogue, -1, FixedNow());
    if (result.Status != ExportStatus::Written) state.SkipWithError(result.Message.c_str());
  }
  state.SetItemsProcessed(state.iterations() * kItems);
  state.counters["bytes"] = static_cast<double>(std::ifstream(path, std::ios::binary | std::ios::ate).tellg());
  std::remove(path.c_str());
  std::remove((path + ".bak").c_str());
}

// The forum list of only the new items, remembered in last-exports.txt: after
// the first run nothing is new, so each run digests every item, reads and
// writes the memory of 100,000 items, and writes an empty list.
void BM_ExportNewOnly(benchmark::State& state) {
  const TCatalogue& catalogue = BigCatalogue();
  const std::string path = ScratchPath("new.txt");
  ExportSettings settings = Settings(ExportFormat::BBCode, path);
  settings.NewOnly = true;
  ExportOutputs outputs;
  outputs.MemoryPath = ScratchPath("last-exports.txt");
  RunExport(settings, catalogue, -1, FixedNow(), outputs);  // the first list: every item
  for (auto _ : state) {
    const ExportResult result = RunExport(settings, catalogue, -1, FixedNow(), outputs);
    if (result.Status != ExportStatus::Written || result.ItemCount != 0) state.SkipWithError("not remembered");
  }
  state.SetItemsProcessed(state.iterations() * kItems);
  state.counters["memory_bytes"] =
      static_cast<double>(std::ifstream(outputs.MemoryPath, std::ios::binary | std::ios::ate).tellg());
  for (const std::string& file : {path, path + ".bak", outputs.MemoryPath}) std::remove(file.c_str());
}

// Selection, sort and writing into memory only.
void BM_ExportToMemory(benchmark::State& state) {
  const auto format = static_cast<ExportFormat>(state.range(0));
  const TCatalogue& catalogue = BigCatalogue();
  const ExportSettings settings = Settings(format, "unused");
  std::size_t bytes = 0;
  for (auto _ : state) {
    const ExportSelection selection(settings, catalogue, -1);
    StringSink sink;
    ExportWriter writer(selection, sink);
    writer.WritePage(FormatExportDates(FixedNow()));
    bytes = sink.Text.size();
    benchmark::DoNotOptimize(sink.Text.data());
  }
  state.SetItemsProcessed(state.iterations() * kItems);
  state.counters["bytes"] = static_cast<double>(bytes);
}

// The same number of bytes as the export writes, written with one write()
// (range 1: followed by fsync, as the safe save does).
void BM_OneWrite(benchmark::State& state) {
  const auto format = static_cast<ExportFormat>(state.range(0));
  const bool sync = state.range(1) != 0;
  const ExportSelection selection(Settings(format, "unused"), BigCatalogue(), -1);
  StringSink sink;
  ExportWriter writer(selection, sink);
  writer.WritePage(FormatExportDates(FixedNow()));
  const std::string& bytes = sink.Text;
  const std::string path = ScratchPath("one-write");
  for (auto _ : state) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      state.SkipWithError("write failed");
    }
    if (sync) ::fsync(fd);
    ::close(fd);
  }
  state.SetItemsProcessed(state.iterations() * kItems);
  state.counters["bytes"] = static_cast<double>(bytes.size());
  std::remove(path.c_str());
}

// Arguments: format (0 HTML, 1 text, 2 forum markup, 3 Markdown).
BENCHMARK(BM_ExportRun)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportNewOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExportToMemory)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OneWrite)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace kistora

BENCHMARK_MAIN();
