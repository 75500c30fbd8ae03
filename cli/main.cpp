// kistora-cli COMMAND ARGS...: dispatches to the command of that name.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli_support.h"
#include "commands.h"

int main(int argc, char** argv) {
  using namespace kistora::cli;
  if (argc < 2) return UsageError("no command given");
  const char* name = argv[1];
  if (std::strcmp(name, "help") == 0 || std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0) {
    PrintUsage(stdout);
    return kExitOk;
  }
  for (const Command& command : Commands()) {
    if (std::strcmp(name, command.name) == 0) return command.run(argc - 1, argv + 1);
  }
  return UsageError(std::string("unknown command \"") + name + "\"");
}
