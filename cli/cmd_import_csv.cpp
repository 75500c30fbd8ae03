// kistora-cli import-csv [DIR] FILE [--dry-run]: adds the items of a CSV file
// (as "csv" writes it) to DIR/items.kdb with new numbers, all or nothing,
// through the program's store (the day's backup first).
#include <cerrno>
#include <cstdio>
#include <string>

#include "cli_support.h"
#include "commands.h"
#include "model/cp1252.h"
#include "options/option_values.h"
#include "storage/backup_restore.h"
#include "storage/catalogue_store.h"
#include "storage/database.h"
#include "storage/file_error.h"
#include "storage/items_csv.h"

namespace kistora::cli {

namespace {

// The whole file, or nullopt with errno set.
std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (failed) {
    errno = error;
    return std::nullopt;
  }
  return bytes;
}

// Numbers nobody uses yet: past every item, every number a character holds
// (an item lost with an older items.kdb must not come back under a new name)
// and the last number the program handed out (kistora.ini).
void RaiseNumbering(TCatalogue& catalogue, const std::string& dir) {
  OptionValues options;
  try {
    ReadOptionValues(DataFilePath(dir, "kistora.ini"), options, catalogue);
  } catch (const EFileError&) {
    // Without the options file the numbers of the databases are enough.
  }
  for (const auto& character : catalogue.CharList) {
    for (const std::int32_t number : character->Items) {
      if (number > catalogue.LastItemIndex) catalogue.LastItemIndex = number;
    }
  }
  catalogue.SyncLastItemIndex();
}

std::string Describe(const TD2Item& item) {
  const std::string category = DialogCategoryLabel(item);
  return "n° " + std::to_string(item.Index) + " : " + Cp1252ToUtf8(item.Name) +
         (category.empty() ? "" : " (" + Cp1252ToUtf8(category) + ")");
}

}  // namespace

int AddCsvItemsToFolder(const std::string& dir, std::vector<std::unique_ptr<TD2Item>> items, bool dryRun) {
  // The store the program writes through: the day's backup first, files
  // changed behind its back kept aside.
  CatalogueStore store(dir);
  TCatalogue catalogue;
  const StartupRead itemsRead = store.ReadAtStartup(catalogue, DatabaseKind::Items);
  const std::string& itemsPath = itemsRead.Path;
  if (itemsRead.State == StartupReadState::Missing) {
    // A folder without an item database yet starts from an empty one, as the program does.
    if (!IsFolder(dir)) {
      Complain("impossible d'ouvrir " + itemsPath + " : " + SystemErrorText(itemsRead.Errno) +
               " ; rien n'a été ajouté");
      return kExitUnreadable;
    }
  } else if (itemsRead.State == StartupReadState::Unopenable || itemsRead.State == StartupReadState::Folder) {
    Complain("impossible d'ouvrir " + itemsPath + " : " + SystemErrorText(itemsRead.Errno) + " ; rien n'a été ajouté");
    return kExitUnreadable;
  } else if (itemsRead.State != StartupReadState::Clean) {
    Complain(itemsPath + " : " + Cp1252ToUtf8(BackupFileState(itemsRead)) + " ; import refusé, rien n'a été ajouté");
    return kExitDamaged;
  }
  // The characters keep the new numbers clear of theirs; a folder that has
  // none yet gets an empty character database beside the items, as the
  // program's first close writes it, so that its next start finds both.
  const StartupRead charsRead = store.ReadAtStartup(catalogue, DatabaseKind::Chars);
  const bool charsMissing = charsRead.State == StartupReadState::Missing;
  RaiseNumbering(catalogue, dir);

  const std::size_t first = catalogue.ItemList.size();
  AddWithNewNumbers(catalogue, std::move(items));
  std::string report;
  for (std::size_t i = first; i < catalogue.ItemList.size(); ++i) {
    report += (dryRun ? "ajouterait " : "ajouté ") + Describe(*catalogue.ItemList[i]) + "\n";
  }
  const std::size_t added = catalogue.ItemList.size() - first;
  if (added == 0) return WriteOut("aucun objet à ajouter\n") ? kExitOk : kExitUnreadable;
  if (!dryRun) {
    store.ScheduleSave(catalogue, true, charsMissing);
    store.WaitIdle();
    for (const SaveReport& saved : store.TakeReports()) {
      for (const ConflictKept& conflict : saved.Conflicts) {
        Complain(conflict.Path + " a changé pendant sa lecture ; l'autre version est conservée sous " +
                 conflict.KeptAs);
      }
      if (saved.Failure) {
        const bool itemsFailed = saved.Failure->Kind == DatabaseKind::Items;
        Complain("impossible d'écrire " + saved.Failure->Path + " : " + SystemErrorText(saved.Failure->Errno) +
                 (itemsFailed ? " ; rien n'a été ajouté" : ""));
        return kExitUnreadable;
      }
    }
  }
  report += std::to_string(added) + (dryRun ? " objet(s) seraient ajoutés à " : " objet(s) ajoutés à ") + itemsPath +
            (dryRun ? " (rien n'a été écrit)\n" : "\n");
  if (!dryRun && charsMissing) report += "base des personnages créée, vide : " + charsRead.Path + "\n";
  return WriteOut(report) ? kExitOk : kExitUnreadable;
}

int CmdImportCsv(const CommandArgs& args) {
  if (args.operands.empty()) return UsageErrorFor(args, "import-csv : il manque le fichier FICHIER");
  if (args.operands.size() > 2) return UsageErrorFor(args, "import-csv n'accepte qu'un dossier et un fichier");
  const std::string csvPath = args.operands.back();
  if (csvPath.empty()) return UsageErrorFor(args, "import-csv : FICHIER est vide");
  std::string dir;
  const auto dirOperand = args.operands.size() == 2 ? std::optional(args.operands[0]) : std::nullopt;
  if (const auto problem = TakeDataDir(args, dirOperand, dir)) return UsageErrorFor(args, *problem);

  const std::optional<std::string> bytes = ReadWholeFile(csvPath);
  if (!bytes) {
    Complain("impossible de lire " + csvPath + " : " + SystemErrorText(errno));
    return kExitUnreadable;
  }
  CsvItems read = ItemsFromCsv(*bytes);
  if (!read.problems.empty()) {
    for (const CsvProblem& problem : read.problems) {
      std::fprintf(stderr, "%s:%d : %s\n", csvPath.c_str(), problem.line, Cp1252ToUtf8(problem.reason).c_str());
    }
    Complain(std::to_string(read.problems.size()) + " erreur(s) ; rien n'a été ajouté");
    return kExitBadCsv;
  }
  const bool dryRun = args.flags.count("--dry-run") != 0;
  // A write holds the folder's lock from the load to the save, as resave does.
  DataFolderLock lock;
  if (!dryRun) {
    if (const int status = TakeDataDirForWriting(dir, "import-csv", lock); status != kExitOk) return status;
  }
  return AddCsvItemsToFolder(dir, std::move(read.items), dryRun);
}

}  // namespace kistora::cli
