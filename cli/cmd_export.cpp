// Temporary body until the export command is built.
#include <cstdio>

#include "commands.h"

namespace kistora::cli {

int CmdExport(int, char**) {
  std::fputs("export: not built yet\n", stderr);
  return 64;
}

}  // namespace kistora::cli
