// kistora-cli resave [DIR]: writes both databases back with the program's save
// code, only when both loaded cleanly (so that nothing damaged is made final).
// It holds DIR's lock while it works, like the program, and writes through the
// same store (daily backups, files changed behind its back kept aside).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli_support.h"
#include "commands.h"
#include "storage/catalogue_store.h"
#include "storage/data_folder_lock.h"

namespace kistora::cli {

int CmdResave(const CommandArgs& args) {
  std::string dir;
  if (const auto problem = TakeOnlyDataDir(args, dir)) return UsageErrorFor(args, *problem);
  DataFolderLock lock;
  if (const int status = TakeDataDirForWriting(dir, "resave", lock); status != kExitOk) return status;
  CatalogueStore store(dir);
  const LoadedDir loaded = LoadDataDir(dir);
  if (!loaded.BothOpened()) {
    ReportOpenFailures(loaded);
    Complain("réécriture refusée, rien n'a été écrit");
    return kExitUnreadable;
  }
  if (!loaded.BothClean()) {
    for (const FileLoad* file : {&loaded.items, &loaded.chars}) {
      if (*file->result != 0) {
        Complain(file->path + " : résultat " + std::to_string(*file->result) + " (" + ResultMeaning(*file->result) +
                 ")");
      }
    }
    Complain("réécriture refusée, rien n'a été écrit");
    return kExitDamaged;
  }
  store.NoteRead(DatabaseKind::Items);
  store.NoteRead(DatabaseKind::Chars);
  const SaveReport report = store.SaveNow(loaded.catalogue);
  for (const ConflictKept& conflict : report.Conflicts) {
    Complain(conflict.Path + " a changé pendant sa lecture ; l'autre version est conservée sous " + conflict.KeptAs);
  }
  if (report.Failure) {
    Complain("impossible d'écrire " + report.Failure->Path + " : " + SystemErrorText(report.Failure->Errno));
    return kExitUnreadable;
  }
  const std::string done = "réécrits : " + loaded.items.path + " (" + std::to_string(loaded.catalogue.ItemList.size()) +
                           " objets) et " + loaded.chars.path + " (" +
                           std::to_string(loaded.catalogue.CharList.size()) + " personnages)\n";
  return WriteOut(done) ? kExitOk : kExitUnreadable;
}

}  // namespace kistora::cli
