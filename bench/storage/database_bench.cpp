// Load and save of a generated items.kdb of 1,000,000 items and a chars.kdb of
// 1,000 characters holding 100 numbers each.
//
// Bars: loading items.kdb takes at most 3 times as long as only reading the
// same file into memory (counter load_to_read), and the loaded catalogue holds
// at most 2 times the file's size in memory (counter held_to_file).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "heap_meter.h"
#include "random_catalogue.h"
#include "storage/database.h"

namespace kistora {
namespace {

constexpr int kItemCount = 1000000;
constexpr int kCharCount = 1000;
constexpr int kNumbersPerChar = 100;

// The generated files, written once into a scratch folder.
struct Fixture {
  std::string dir;
  std::string items;
  std::string chars;
  std::uint64_t itemsSize = 0;
  std::uint64_t charsSize = 0;
  TCatalogue catalogue;  // what the files hold, for the save benchmarks

  Fixture() {
    char pattern[] = "/tmp/kistora-bench-XXXXXX";
    dir = ::mkdtemp(pattern);
    items = dir + "/items.kdb";
    chars = dir + "/chars.kdb";
    bench::MakeRandomCatalogue(catalogue, kItemCount, kCharCount, kNumbersPerChar);
    SaveItems(catalogue, items);
    SaveChars(catalogue, chars);
    itemsSize = FileSize(items);
    charsSize = FileSize(chars);
  }
  ~Fixture() {
    ::unlink(items.c_str());
    ::unlink(chars.c_str());
    ::unlink((dir + "/out.kdb").c_str());
    ::rmdir(dir.c_str());
  }

  static std::uint64_t FileSize(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return static_cast<std::uint64_t>(info.st_size);
  }
};

Fixture& Files() {
  static Fixture fixture;
  return fixture;
}

// Only reading the whole file into memory: the floor for any loader.
std::string ReadWhole(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  ::fstat(fd, &info);
  std::string data(static_cast<std::size_t>(info.st_size), '\0');
  std::size_t got = 0;
  while (got < data.size()) {
    const ssize_t n = ::read(fd, data.data() + got, data.size() - got);
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  return data;
}

double Seconds(std::chrono::steady_clock::time_point from) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

void SetRates(benchmark::State& state, std::uint64_t records, std::uint64_t bytes) {
  state.counters["records_per_s"] =
      benchmark::Counter(static_cast<double>(records), benchmark::Counter::kIsIterationInvariantRate);
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}

void BM_ReadItemsFileOnly(benchmark::State& state) {
  const Fixture& f = Files();
  for (auto _ : state) benchmark::DoNotOptimize(ReadWhole(f.items));
  SetRates(state, kItemCount, f.itemsSize);
}

// Only writing the same bytes the safe way (a new file, fsync, rename): the
// floor for any save, which SaveItems is measured against.
void BM_WriteItemsFileOnly(benchmark::State& state) {
  const Fixture& f = Files();
  const std::string bytes = ReadWhole(f.items);
  const std::string temp = f.dir + "/out.tmp";
  const std::string out = f.dir + "/out.kdb";
  for (auto _ : state) {
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    for (std::size_t at = 0; at < bytes.size();) {
      const ssize_t n = ::write(fd, bytes.data() + at, std::min<std::size_t>(256 * 1024, bytes.size() - at));
      if (n <= 0) break;
      at += static_cast<std::size_t>(n);
    }
    ::fsync(fd);
    ::close(fd);
    ::rename(temp.c_str(), out.c_str());
  }
  SetRates(state, kItemCount, f.itemsSize);
}

void BM_LoadItems(benchmark::State& state) {
  const Fixture& f = Files();
  double loadTime = 0;
  double readTime = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(ReadWhole(f.items));
    readTime += Seconds(start);

    TCatalogue catalogue;
    start = std::chrono::steady_clock::now();
    const std::uint8_t result = LoadItems(catalogue, f.items);
    const double elapsed = Seconds(start);
    loadTime += elapsed;
    state.SetIterationTime(elapsed);
    if (result != kLoadOk || catalogue.ItemList.size() != kItemCount) state.SkipWithError("load failed");
  }
  SetRates(state, kItemCount, f.itemsSize);
  state.counters["load_to_read"] = loadTime / readTime;
  state.counters["file_MB"] = static_cast<double>(f.itemsSize) / 1e6;
}

void BM_LoadedItemsMemory(benchmark::State& state) {
  const Fixture& f = Files();
  double peakRatio = 0;
  double heldRatio = 0;
  for (auto _ : state) {
    TCatalogue catalogue;
    const std::size_t before = bench::HeapMeter::Current();
    bench::HeapMeter::ResetPeak();
    LoadItems(catalogue, f.items);
    const auto size = static_cast<double>(f.itemsSize);
    peakRatio = static_cast<double>(bench::HeapMeter::Peak() - before) / size;
    heldRatio = static_cast<double>(bench::HeapMeter::Current() - before) / size;
    state.counters["peak_MB"] = static_cast<double>(bench::HeapMeter::Peak() - before) / 1e6;
  }
  state.counters["file_MB"] = static_cast<double>(f.itemsSize) / 1e6;
  state.counters["peak_to_file"] = peakRatio;
  state.counters["held_to_file"] = heldRatio;
}

void BM_SaveItems(benchmark::State& state) {
  const Fixture& f = Files();
  const std::string out = f.dir + "/out.kdb";
  for (auto _ : state) SaveItems(f.catalogue, out);
  SetRates(state, kItemCount, f.itemsSize);
}

void BM_LoadChars(benchmark::State& state) {
  const Fixture& f = Files();
  for (auto _ : state) {
    TCatalogue catalogue;
    if (LoadChars(catalogue, f.chars) != kLoadOk) state.SkipWithError("load failed");
  }
  SetRates(state, kCharCount, f.charsSize);
}

void BM_SaveChars(benchmark::State& state) {
  const Fixture& f = Files();
  const std::string out = f.dir + "/out.kdb";
  for (auto _ : state) SaveChars(f.catalogue, out);
  SetRates(state, kCharCount, f.charsSize);
}

BENCHMARK(BM_ReadItemsFileOnly)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_LoadItems)->Unit(benchmark::kMillisecond)->UseManualTime()->MinTime(3);
BENCHMARK(BM_LoadedItemsMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WriteItemsFileOnly)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_SaveItems)->Unit(benchmark::kMillisecond)->MinTime(3);
BENCHMARK(BM_LoadChars)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveChars)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kistora

BENCHMARK_MAIN();
