// kistora-cli check DIR [--date YYYY-MM-DD]: one line per database with its
// load result and size. With --date it checks the backups of that day in DIR
// (a backups folder): items-DATE.kdb and chars-DATE.kdb.
#include <string>

#include "cli_support.h"
#include "commands.h"
#include "model/daily_backups.h"

namespace kistora::cli {

int CmdCheck(int argc, char** argv) {
  std::string dir;
  std::string itemsName = "items.kdb";
  std::string charsName = "chars.kdb";
  if (argc == 4 && std::string(argv[2]) == "--date") {
    const std::string date = argv[3];
    itemsName = BackupFileName("items.kdb", date);
    charsName = BackupFileName("chars.kdb", date);
    std::string parsed;
    if (!ParseBackupFileName(itemsName, parsed)) return UsageError("check: --date takes a date as YYYY-MM-DD");
    argc = 2;
  }
  if (!TakeDirOperand(argc, argv, dir)) return kExitUsage;
  const LoadedDir loaded = LoadDataDir(dir, itemsName, charsName);
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
