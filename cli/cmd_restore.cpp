// kistora-cli restore [DIR] --date YYYY-MM-DD [--dry-run]: puts the catalogue
// of a day's backups (DIR/backups) in the place of DIR's databases, after
// saying what that changes, in the counts the program's window shows. Only a
// day whose two backups read whole is restored. It holds DIR's lock and writes
// through the program's store (a damaged original or a file changed behind its
// back is kept aside first); item numbers handed out stay handed out, since
// kistora.ini keeps the last one.
#include <string>

#include "cli_support.h"
#include "commands.h"
#include "model/cp1252.h"
#include "storage/backup_restore.h"
#include "storage/catalogue_store.h"
#include "storage/daily_backups.h"
#include "storage/data_folder_lock.h"

namespace kistora::cli {

int CmdRestore(const CommandArgs& args) {
  std::string dir;
  if (const auto problem = TakeOnlyDataDir(args, dir)) return UsageErrorFor(args, *problem);
  const auto given = args.values.find("--date");
  std::string date;
  if (given == args.values.end() || !ParseBackupFileName("items-" + given->second + ".kdb", date)) {
    return UsageErrorFor(args, "restore attend --date AAAA-MM-JJ, le jour de la sauvegarde");
  }
  const bool dryRun = args.flags.count("--dry-run") != 0;
  DataFolderLock lock;
  if (!dryRun) {
    if (const int status = TakeDataDirForWriting(dir, "restore", lock); status != kExitOk) return status;
  }

  TCatalogue backup;
  const BackupDay day = ReadBackupDay(dir, date, backup);
  const std::string dayWords = "sauvegarde du " + Cp1252ToUtf8(BackupDateText(date));
  if (day.Items.State == StartupReadState::Missing && day.Chars.State == StartupReadState::Missing) {
    Complain("aucune " + dayWords + " dans " + BackupsFolderOf(dir) + " ; rien n'a été restauré");
    return kExitUnreadable;
  }
  if (!day.Usable()) {
    for (const StartupRead* file : {&day.Items, &day.Chars}) {
      if (file->State != StartupReadState::Clean) Complain(file->Path + " : " + Cp1252ToUtf8(BackupFileState(*file)));
    }
    Complain(dayWords + " " + Cp1252ToUtf8(BackupDayState(day)) + " ; rien n'a été restauré");
    return kExitDamaged;
  }

  // The databases as the program would read them; damaged or missing ones are what a restore is for.
  CatalogueStore store(dir);
  TCatalogue current;
  store.ReadAtStartup(current, DatabaseKind::Items);
  store.ReadAtStartup(current, DatabaseKind::Chars);
  const RestorePreview preview = PreviewRestore(current, backup);
  std::string report = dayWords + " : " + std::to_string(backup.ItemList.size()) + " objets, " +
                       std::to_string(backup.CharList.size()) + " personnages\n" +
                       Cp1252ToUtf8(RestorePreviewText(preview) + RestorePreviewList(preview));
  if (dryRun) return WriteOut(report + "(rien n'a été écrit)\n") ? kExitOk : kExitUnreadable;

  RestoreBackup(current, std::move(backup));
  const SaveReport saved = store.SaveNow(current);
  for (const ConflictKept& conflict : saved.Conflicts) {
    Complain(conflict.Path + " a changé pendant sa lecture ; l'autre version est conservée sous " + conflict.KeptAs);
  }
  for (const std::string& kept : saved.DamagedKept) report += "original endommagé conservé sous " + kept + "\n";
  if (saved.Failure) {
    Complain("impossible d'écrire " + saved.Failure->Path + " : " + SystemErrorText(saved.Failure->Errno));
    return kExitUnreadable;
  }
  report += "restaurée dans " + store.PathOf(DatabaseKind::Items) + " et " + store.PathOf(DatabaseKind::Chars) + "\n";
  return WriteOut(report) ? kExitOk : kExitUnreadable;
}

}  // namespace kistora::cli
