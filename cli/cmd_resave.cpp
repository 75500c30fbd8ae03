// kistora-cli resave DIR: writes both databases back with the program's save
// code, only when both loaded cleanly (so that nothing damaged is made final).
// It holds DIR's lock while it works, like the program, and writes through the
// same store (daily backups, files changed behind its back kept aside).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli_support.h"
#include "commands.h"
#include "model/catalogue_store.h"
#include "model/data_folder_lock.h"

namespace kistora::cli {

int CmdResave(int argc, char** argv) {
  std::string dir;
  if (!TakeDirOperand(argc, argv, dir)) return kExitUsage;
  DataFolderLock lock;
  if (const int status = TakeDataDirForWriting(dir, "resave", lock); status != kExitOk) return status;
  CatalogueStore store(dir);
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
  store.NoteRead(DatabaseKind::Items);
  store.NoteRead(DatabaseKind::Chars);
  const SaveReport report = store.SaveNow(loaded.catalogue);
  for (const ConflictKept& conflict : report.Conflicts) {
    std::fprintf(stderr, "kistora-cli: %s changed while it was read; the other version is kept as %s\n",
                 conflict.Path.c_str(), conflict.KeptAs.c_str());
  }
  if (report.Failure) {
    std::fprintf(stderr, "kistora-cli: cannot write %s: %s\n", report.Failure->Path.c_str(),
                 report.Failure->Errno != 0 ? std::strerror(report.Failure->Errno) : "unknown error");
    return kExitUnreadable;
  }
  const std::string done = "resaved " + loaded.items.path + " (" + std::to_string(loaded.catalogue.ItemList.size()) +
                           " items) and " + loaded.chars.path + " (" +
                           std::to_string(loaded.catalogue.CharList.size()) + " characters)\n";
  return WriteOut(done) ? kExitOk : kExitUnreadable;
}

}  // namespace kistora::cli
