// kistora-cli check [DIR] [--date YYYY-MM-DD]: one line per database with its
// load result and size. With --date it checks the backups of that day in DIR
// (a backups folder): items-DATE.kdb and chars-DATE.kdb.
#include <string>

#include "cli_support.h"
#include "commands.h"
#include "storage/daily_backups.h"

namespace kistora::cli {

int CmdCheck(const CommandArgs& args) {
  std::string dir;
  if (const auto problem = TakeOnlyDataDir(args, dir)) return UsageErrorFor(args, *problem);
  std::string itemsName = "items.kdb";
  std::string charsName = "chars.kdb";
  if (const auto date = args.values.find("--date"); date != args.values.end()) {
    itemsName = BackupFileName("items.kdb", date->second);
    charsName = BackupFileName("chars.kdb", date->second);
    std::string parsed;
    if (!ParseBackupFileName(itemsName, parsed)) return UsageErrorFor(args, "--date attend une date AAAA-MM-JJ");
  }
  const LoadedDir loaded = LoadDataDir(dir, itemsName, charsName);
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
