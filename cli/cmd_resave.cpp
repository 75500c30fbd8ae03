// kistora-cli resave [DIR]: writes both databases back with the program's save
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

int CmdResave(const CommandArgs& args) {
  std::string dir;
  if (const auto problem = TakeOnlyDataDir(args, dir)) return UsageErrorFor(args, *problem);
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
  const FileLoad* current = &loaded.items;
  try {
    SaveItems(loaded.catalogue, loaded.items.path);
    current = &loaded.chars;
    SaveChars(loaded.catalogue, loaded.chars.path);
  } catch (const EFileError& e) {
    Complain("impossible d'écrire " + current->path + " : " + SystemErrorText(e.Errno));
    return kExitUnreadable;
  }
  const std::string done = "réécrits : " + loaded.items.path + " (" + std::to_string(loaded.catalogue.ItemList.size()) +
                           " objets) et " + loaded.chars.path + " (" +
                           std::to_string(loaded.catalogue.CharList.size()) + " personnages)\n";
  return WriteOut(done) ? kExitOk : kExitUnreadable;
}

}  // namespace kistora::cli
