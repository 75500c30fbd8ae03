// Writes a big catalogue into a folder, to measure the program and kistora-cli
// on it from outside (time, peak memory):
//   bench_make_catalogue DIR [ITEMS]     (1,000,000 items by default)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "random_catalogue.h"
#include "storage/database.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DIR [ITEMS]\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const int items = argc > 2 ? std::atoi(argv[2]) : 1000000;
  kistora::TCatalogue catalogue;
  kistora::bench::MakeRandomCatalogue(catalogue, items);
  kistora::SaveItems(catalogue, dir + "/items.kdb");
  kistora::SaveChars(catalogue, dir + "/chars.kdb");
  return 0;
}
