// kistora-cli check [DIR]: one line per database with its load result and size.
#include <string>

#include "cli_support.h"
#include "commands.h"

namespace kistora::cli {

int CmdCheck(const CommandArgs& args) {
  std::string dir;
  if (const auto problem = TakeOnlyDataDir(args, dir)) return UsageErrorFor(args, *problem);
  const LoadedDir loaded = LoadDataDir(dir);
  std::string report;
  const auto line = [&](const FileLoad& file, std::size_t count, const char* noun) {
    if (!file.result) return;
    report += file.name + " : résultat " + std::to_string(*file.result) + " (" + ResultMeaning(*file.result) + "), " +
              std::to_string(count) + " " + noun + "\n";
  };
  line(loaded.items, loaded.catalogue.ItemList.size(), "objets");
  line(loaded.chars, loaded.catalogue.CharList.size(), "personnages");
  const bool written = WriteOut(report);
  ReportOpenFailures(loaded);
  return written ? loaded.Status() : kExitUnreadable;
}

}  // namespace kistora::cli
