// kistora-cli resave DIR: writes both databases back with the program's save
// code, only when both loaded cleanly (so that nothing damaged is made final).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli_support.h"
#include "commands.h"
#include "model/database.h"
#include "model/file_error.h"

namespace kistora::cli {

int CmdResave(int argc, char** argv) {
  std::string dir;
  if (!TakeDirOperand(argc, argv, dir)) return kExitUsage;
  const LoadedDir loaded = LoadDataDir(dir);
  if (!loaded.BothOpened()) {
    ReportOpenFailures(loaded);
    std::fputs("kistora-cli: resave refused, nothing written\n", stderr);
    return kExitUnreadable;
  }
  if (!loaded.BothClean()) {
    for (const FileLoad* file : {&loaded.items, &loaded.chars}) {
      if (*file->result != 0) {
        std::fprintf(stderr, "kistora-cli: %s gave result %d (%s)\n", file->path.c_str(), *file->result,
                     ResultMeaning(*file->result).c_str());
      }
    }
    std::fputs("kistora-cli: resave refused, nothing written\n", stderr);
    return kExitDamaged;
  }
  const FileLoad* current = &loaded.items;
  try {
    SaveItems(loaded.catalogue, loaded.items.path);
    current = &loaded.chars;
    SaveChars(loaded.catalogue, loaded.chars.path);
  } catch (const EFileError& e) {
    std::fprintf(stderr, "kistora-cli: cannot write %s: %s\n", current->path.c_str(),
                 e.Errno != 0 ? std::strerror(e.Errno) : "unknown error");
    return kExitUnreadable;
  }
  const std::string done = "resaved " + loaded.items.path + " (" + std::to_string(loaded.catalogue.ItemList.size()) +
                           " items) and " + loaded.chars.path + " (" +
                           std::to_string(loaded.catalogue.CharList.size()) + " characters)\n";
  return WriteOut(done) ? kExitOk : kExitUnreadable;
}

}  // namespace kistora::cli
