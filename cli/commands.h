// The commands of kistora-cli. main() parses the command line with the
// command's own options (see CommandArgs) and runs it; each returns the process
// exit status (see cli_support.h).
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace kistora {
class TD2Item;
}

namespace kistora::cli {

// An option a command takes besides --data-dir and --help.
struct CommandOption {
  const char* name;  // "--output"
  bool takesValue;   // "--output FILE" rather than "--dry-run"
};

// A command line after parsing: operands in order, options by name.
struct CommandArgs {
  std::string command;
  std::vector<std::string> operands;
  std::map<std::string, std::string> values;  // options with a value
  std::set<std::string> flags;                // options without one
  std::optional<std::string> dataDir;         // --data-dir DIR
  bool help = false;                          // --help or -h anywhere
};

int CmdCheck(const CommandArgs& args);
int CmdDump(const CommandArgs& args);
int CmdResave(const CommandArgs& args);
int CmdExport(const CommandArgs& args);
int CmdCsv(const CommandArgs& args);
int CmdImportCsv(const CommandArgs& args);
int CmdStats(const CommandArgs& args);
int CmdRestore(const CommandArgs& args);
int CmdFind(const CommandArgs& args);
int CmdMerge(const CommandArgs& args);

// The write of import-csv, whole in one place (load items.kdb, number the new
// items, save): anything that must guard the data folder goes around this call.
// Returns the exit status and reports on standard output and error.
int AddCsvItemsToFolder(const std::string& dir, std::vector<std::unique_ptr<TD2Item>> items, bool dryRun);

struct Command {
  const char* name;
  int (*run)(const CommandArgs& args);
  std::span<const CommandOption> options;
  const char* synopsis;  // e.g. "[DOSSIER] [--output FICHIER]"
  const char* summary;   // one line for the general usage text
  const char* details;   // the rest of "COMMAND --help"
};

// Every command, in the order the usage text lists them.
std::span<const Command> Commands();

// Parses argv[1..argc-1] (argv[0] is the command name) with command's options;
// on a wrong command line returns the problem in a sentence.
std::optional<std::string> ParseCommandArgs(const Command& command, int argc, char** argv, CommandArgs& args);

}  // namespace kistora::cli
