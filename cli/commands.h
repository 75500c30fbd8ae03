// The commands of kistora-cli. Each receives the arguments from the command
// name on: argv[0] is the command name, argv[1..argc-1] its operands. Each
// returns the process exit status (see cli_support.h).
#pragma once

#include <span>

namespace kistora::cli {

int CmdCheck(int argc, char** argv);
int CmdDump(int argc, char** argv);
int CmdResave(int argc, char** argv);
int CmdExport(int argc, char** argv);

struct Command {
  const char* name;
  int (*run)(int argc, char** argv);
  const char* operands;  // shown in the usage text, e.g. "DIR"
  const char* summary;   // one line for the usage text
};

// Every command, in the order the usage text lists them.
std::span<const Command> Commands();

}  // namespace kistora::cli
