// Writes a trading list with the unfolding script for the browser test:
// make_page FILE. Row i1 is a weapon with characteristics and properties, i2 a
// set helm, i3 a ring with nothing to unfold.
#include <cstdio>
#include <ctime>
#include <memory>

#include "export/export_run.h"

int main(int argc, char** argv) {
  using namespace kistora;
  if (argc != 2) {
    std::fputs("usage: make_page FILE\n", stderr);
    return 64;
  }
  TCatalogue catalogue;
  auto blade = std::make_unique<TD2Weapon>();
  blade->Index = 1;
  blade->Name = "Lame Ancienne";
  blade->Quality = 5;
  blade->MinDmg = 5;
  blade->MaxDmg = 12;
  blade->Speed = 3;
  blade->MagicProps = {"Vol de vie 5%"};
  catalogue.ItemList.push_back(std::move(blade));
  auto helm = std::make_unique<TD2Helm>();
  helm->Index = 2;
  helm->Name = "Casque de Fer";
  helm->Quality = 4;
  helm->Def = 25;
  catalogue.ItemList.push_back(std::move(helm));
  auto ring = std::make_unique<TD2Ring>();
  ring->Index = 3;
  ring->Name = "Anneau";
  ring->Quality = 2;
  catalogue.ItemList.push_back(std::move(ring));

  ExportSettings settings;
  settings.Scope = ExportScope::AllItems;
  settings.FileName = argv[1];
  std::tm now{};
  now.tm_year = 126;
  now.tm_mday = 1;
  const ExportResult result = RunExport(settings, catalogue, -1, now);
  if (result.Status != ExportStatus::Written) {
    std::fprintf(stderr, "make_page: %s\n", result.Message.c_str());
    return 1;
  }
  return 0;
}
