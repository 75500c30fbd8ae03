// kistora-cli COMMAND ARGS...: dispatches to the command of that name.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli_support.h"
#include "commands.h"

int main(int argc, char** argv) {
  using namespace kistora::cli;
  // The user's locale for system error texts (strerror, in its own character
  // set) and the dates of export, as the windowed program has them; numbers
  // keep the C rules.
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_NUMERIC, "C");
  if (argc < 2) return UsageError("aucune commande donnée");
  const char* name = argv[1];
  if (std::strcmp(name, "help") == 0 || std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0) {
    PrintUsage(stdout);
    return kExitOk;
  }
  if (std::strcmp(name, "--version") == 0) {
    std::printf("%s\n", VersionText().c_str());
    return kExitOk;
  }
  for (const Command& command : Commands()) {
    if (std::strcmp(name, command.name) != 0) continue;
    CommandArgs args;
    if (const auto problem = ParseCommandArgs(command, argc - 1, argv + 1, args)) {
      return CommandUsageError(command, *problem);
    }
    if (args.help) {
      PrintCommandHelp(command, stdout);
      return kExitOk;
    }
    return command.run(args);
  }
  return UsageError(std::string("commande inconnue « ") + name + " »");
}
