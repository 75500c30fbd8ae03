// kistora-cli check DIR: one line per database with its load result and size.
#include <string>

#include "cli_support.h"
#include "commands.h"

namespace kistora::cli {

int CmdCheck(int argc, char** argv) {
  std::string dir;
  if (!TakeDirOperand(argc, argv, dir)) return kExitUsage;
  const LoadedDir loaded = LoadDataDir(dir);
  std::string report;
  const auto line = [&](const FileLoad& file, std::size_t count, const char* noun) {
    if (!file.result) return;
    report += file.name + ": result " + std::to_string(*file.result) + " (" + ResultMeaning(*file.result) + "), " +
              std::to_string(count) + " " + noun + "\n";
  };
  line(loaded.items, loaded.catalogue.ItemList.size(), "items");
  line(loaded.chars, loaded.catalogue.CharList.size(), "characters");
  const bool written = WriteOut(report);
  ReportOpenFailures(loaded);
  return written ? loaded.Status() : kExitUnreadable;
}

}  // namespace kistora::cli
