// The program's save path without its windows, for the crash test: starts the
// way the program does (the folder's lock, the temporaries of killed saves
// removed, both files read with the store), then makes a change every few
// milliseconds through the catalogue's operations, which the store saves as
// you go, and logs each one once it has returned: "N <monotonic ns>". Even
// changes add an item named "chg N"; odd ones set the first character's notes
// to "N". After the last change it closes like the program (SaveAtClose).
//
// Usage: autosave_driver DIR FIRST_N CHANGES LOG
#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

#include "storage/catalogue_store.h"
#include "storage/data_folder_lock.h"
#include "storage/stale_temporaries.h"

namespace {

long long MonotonicNs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1000000000LL + now.tv_nsec;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kistora;
  if (argc != 5) {
    std::fputs("usage: autosave_driver DIR FIRST_N CHANGES LOG\n", stderr);
    return 64;
  }
  const std::string dir = argv[1];
  const long first = std::strtol(argv[2], nullptr, 10);
  const long changes = std::strtol(argv[3], nullptr, 10);
  DataFolderLock lock;
  if (lock.TryAcquire(dir).State != LockState::Held) return 75;
  RemoveStaleTemporaries(dir);
  CatalogueStore store(dir);
  TCatalogue catalogue;
  if (store.ReadAtStartup(catalogue, DatabaseKind::Items).State != StartupReadState::Clean ||
      store.ReadAtStartup(catalogue, DatabaseKind::Chars).State != StartupReadState::Clean ||
      catalogue.CharList.empty()) {
    return 3;
  }
  catalogue.SyncLastItemIndex();
  store.Track(catalogue);
  const int log = ::open(argv[4], O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (log < 0) return 2;

  std::mt19937 rng(static_cast<unsigned>(::getpid()));
  std::uniform_int_distribution<int> pause(5, 25);
  for (long n = first; n < first + changes; ++n) {
    std::this_thread::sleep_for(std::chrono::milliseconds(pause(rng)));
    if (n % 2 == 0) {
      auto item = std::make_unique<TD2Ring>();
      item->Name = "chg " + std::to_string(n);
      catalogue.AddNewItem(std::move(item));
    } else {
      TChar fields = *catalogue.CharList[0];
      fields.Notes = std::to_string(n);
      catalogue.ModifyChar(0, fields);
    }
    const std::string line = std::to_string(n) + " " + std::to_string(MonotonicNs()) + "\n";
    if (::write(log, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return 2;
  }
  return store.SaveAtClose(catalogue).Ok() ? 0 : 1;
}
