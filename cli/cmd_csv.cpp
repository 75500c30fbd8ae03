// kistora-cli csv [DIR] [--output FILE]: the item database as CSV for a
// spreadsheet, on standard output or into FILE.
#include <cerrno>
#include <string>

#include "cli_support.h"
#include "commands.h"
#include "storage/file_error.h"
#include "storage/items_csv.h"

namespace kistora::cli {

int CmdCsv(const CommandArgs& args) {
  std::string dir;
  if (const auto problem = TakeOnlyDataDir(args, dir)) return UsageErrorFor(args, *problem);
  const auto output = args.values.find("--output");
  if (output != args.values.end() && output->second.empty())
    return UsageErrorFor(args, "csv : --output FICHIER est vide");

  const LoadedDir loaded = LoadDataDir(dir);
  if (!loaded.items.result) {
    // A folder the program has not written to yet holds an empty catalogue:
    // its CSV is the header line, which shows the columns to fill.
    if (loaded.items.error != ENOENT || !IsFolder(dir)) {
      ReportOpenFailures(loaded);
      return kExitUnreadable;
    }
    Complain(loaded.items.path + " n'existe pas encore : le catalogue est vide");
  }
  WarnPartlyRead(loaded.items, "export de ce qui a été lu");
  if (output == args.values.end()) {
    if (!WriteOut(ItemsToCsv(loaded.catalogue))) return kExitUnreadable;
  } else {
    try {
      SaveItemsCsv(loaded.catalogue, output->second);
    } catch (const EFileError& error) {
      // The path is the command line's own text (UTF-8), not a Windows-1252 one.
      Complain("impossible de créer le fichier " + output->second + " : " + SystemErrorText(error.Errno));
      return kExitUnreadable;
    }
  }
  return kExitOk;
}

}  // namespace kistora::cli
