// kistora-cli merge DIR OTHER [--base BASE] [--dry-run] [--json]: merges the
// catalogue of OTHER (a folder holding items.kdb and chars.kdb, or one of
// those files, such as a sync tool's conflict copy) into DIR's, three-way
// from BASE (the common version: a folder or one file) when given, two-way
// otherwise (nothing deleted). The merge is the program's own; DIR keeps its
// item numbers. It holds DIR's lock and writes through the program's store
// (daily backup, safe save), and only the databases that changed.
#include <optional>
#include <string>

#include "cli_support.h"
#include "commands.h"
#include "merge/catalogue_merge.h"
#include "merge/merge_inputs.h"
#include "model/cp1252.h"
#include "storage/catalogue_store.h"

namespace kistora::cli {

namespace {

constexpr int kExitMergeUnreadable = 65;

std::string Numbers(const std::vector<std::int32_t>& numbers) {
  std::string text;
  for (const std::int32_t n : numbers) text += (text.empty() ? "" : ", ") + std::to_string(n);
  return text;
}

std::string Names(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + Cp1252ToUtf8(name);
  return text;
}

std::string Line(const std::string& what, std::size_t count, const std::string& list) {
  return what + " : " + std::to_string(count) + (count ? " (" + list + ")" : "") + "\n";
}

std::string ReportText(const MergeReport& r) {
  std::string conflicts, renumbered, fields;
  for (const auto& c : r.ItemConflicts) {
    conflicts += (conflicts.empty() ? "" : ", ") + std::to_string(c.Ours) + " ; l'autre version est l'objet " +
                 std::to_string(c.Theirs);
  }
  for (const auto& n : r.ItemsRenumbered) {
    renumbered += (renumbered.empty() ? "" : ", ") + std::to_string(n.Was) + " devenu " + std::to_string(n.Now);
  }
  for (const auto& f : r.CharConflicts) fields += (fields.empty() ? "" : ", ") + Cp1252ToUtf8(f.Name) + " : " + f.Field;
  return Line("objets ajoutés", r.ItemsAdded.size(), Numbers(r.ItemsAdded)) +
         Line("objets modifiés", r.ItemsChanged.size(), Numbers(r.ItemsChanged)) +
         Line("objets supprimés", r.ItemsDeleted.size(), Numbers(r.ItemsDeleted)) +
         Line("objets en conflit", r.ItemConflicts.size(), conflicts) +
         Line("objets renumérotés", r.ItemsRenumbered.size(), renumbered) +
         Line("persos ajoutés", r.CharsAdded.size(), Names(r.CharsAdded)) +
         Line("persos modifiés", r.CharsChanged.size(), Names(r.CharsChanged)) +
         Line("persos supprimés", r.CharsRemoved.size(), Names(r.CharsRemoved)) +
         Line("champs en conflit (le dossier garde les siens)", r.CharConflicts.size(), fields);
}

std::string JsonNumbers(const std::vector<std::int32_t>& numbers) { return "[" + Numbers(numbers) + "]"; }
std::string JsonNames(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + JsonString(name);
  return "[" + text + "]";
}

std::string ReportJson(const MergeReport& r, bool threeWay, bool dryRun, const std::vector<std::string>& written) {
  std::string conflicts, renumbered, fields;
  for (const auto& c : r.ItemConflicts) {
    conflicts += (conflicts.empty() ? "" : ", ") + std::string("{\"ours\": ") + std::to_string(c.Ours) +
                 ", \"theirs\": " + std::to_string(c.Theirs) + "}";
  }
  for (const auto& n : r.ItemsRenumbered) {
    renumbered += (renumbered.empty() ? "" : ", ") + std::string("{\"was\": ") + std::to_string(n.Was) +
                  ", \"now\": " + std::to_string(n.Now) + "}";
  }
  for (const auto& f : r.CharConflicts) {
    fields += (fields.empty() ? "" : ", ") + std::string("{\"name\": ") + JsonString(f.Name) +
              ", \"field\": " + JsonString(f.Field) + "}";
  }
  std::string files;
  for (const std::string& path : written) files += (files.empty() ? "" : ", ") + JsonString(path);
  return std::string("{\"threeWay\": ") + (threeWay ? "true" : "false") +
         ", \"dryRun\": " + (dryRun ? "true" : "false") + ",\n \"items\": {\"added\": " + JsonNumbers(r.ItemsAdded) +
         ", \"changed\": " + JsonNumbers(r.ItemsChanged) + ", \"deleted\": " + JsonNumbers(r.ItemsDeleted) +
         ", \"conflicts\": [" + conflicts + "], \"renumbered\": [" + renumbered +
         "]},\n \"characters\": {\"added\": " + JsonNames(r.CharsAdded) +
         ", \"changed\": " + JsonNames(r.CharsChanged) + ", \"removed\": " + JsonNames(r.CharsRemoved) +
         ", \"conflicts\": [" + fields + "]},\n \"written\": [" + files + "]}\n";
}

}  // namespace

int CmdMerge(const CommandArgs& args) {
  if (args.operands.empty()) return UsageErrorFor(args, "merge attend DOSSIER AUTRE");
  std::optional<std::string> dirOperand;
  std::string other;
  if (args.operands.size() == 2) {
    dirOperand = args.operands[0];
    other = args.operands[1];
  } else if (args.operands.size() == 1 && args.dataDir) {
    other = args.operands[0];
  } else {
    return UsageErrorFor(args, "merge attend DOSSIER AUTRE");
  }
  std::string dir;
  if (const auto problem = TakeDataDir(args, dirOperand, dir)) return UsageErrorFor(args, *problem);
  const bool dryRun = args.flags.count("--dry-run") != 0;
  const bool json = args.flags.count("--json") != 0;
  DataFolderLock lock;
  if (!dryRun) {
    if (const int status = TakeDataDirForWriting(dir, "merge", lock); status != kExitOk) return status;
  }

  const auto refuse = [](const std::string& problem) {
    Complain(problem + " ; rien n'a été fusionné");
    return kExitMergeUnreadable;
  };
  // Ours: the folder's catalogue as the program reads it, whole.
  CatalogueStore store(dir);
  TCatalogue current;
  for (const DatabaseKind kind : {DatabaseKind::Items, DatabaseKind::Chars}) {
    const StartupRead read = store.ReadAtStartup(current, kind);
    if (read.State != StartupReadState::Clean && read.State != StartupReadState::Missing) {
      return refuse(read.Path + " ne se lit pas en entier");
    }
  }
  current.SyncLastItemIndex();
  const CatalogueVersion ours = VersionOf(current);

  // Theirs: a part not given is ours, unchanged. The base: a part not given is
  // unknown, and merged two-way.
  CatalogueVersion theirs;
  if (const std::string problem = ReadOtherVersion(other, ours, theirs); !problem.empty()) {
    return refuse(Cp1252ToUtf8(problem));
  }
  MergeBase base;
  const auto given = args.values.find("--base");
  if (given != args.values.end()) {
    if (const std::string problem = ReadBaseVersion(given->second, base); !problem.empty()) {
      return refuse(Cp1252ToUtf8(problem));
    }
  }

  const MergeResult merged = MergeCatalogues(base, ours, theirs);
  std::vector<std::string> written;
  if (!dryRun) {
    PutVersion(current, nullptr, ours, merged.Merged, {});
    // Only the databases that changed are written (a sync tool sees no change in the others).
    const KnownFile itemsBefore = store.Known(DatabaseKind::Items), charsBefore = store.Known(DatabaseKind::Chars);
    const SaveReport saved = store.SaveNow(current, /*onlyChanged=*/true);
    if (saved.Failure) {
      Complain("impossible d'écrire " + saved.Failure->Path + " : " + SystemErrorText(saved.Failure->Errno));
      return kExitUnreadable;
    }
    if (store.Known(DatabaseKind::Items).Identity != itemsBefore.Identity)
      written.push_back(store.PathOf(DatabaseKind::Items));
    if (store.Known(DatabaseKind::Chars).Identity != charsBefore.Identity)
      written.push_back(store.PathOf(DatabaseKind::Chars));
  }
  const bool threeWay = base.KnowsItems() || base.Chars;
  if (json) return WriteOut(ReportJson(merged.Report, threeWay, dryRun, written)) ? kExitOk : kExitUnreadable;
  std::string text =
      "fusion de " + other + " dans " + dir +
      (threeWay ? " (à trois voies, depuis " + given->second + ")\n" : " (à deux voies : rien n'est supprimé)\n");
  text += ReportText(merged.Report);
  if (dryRun) {
    text += "(rien n'a été écrit)\n";
  } else if (written.empty()) {
    text += "rien à écrire : le dossier contenait déjà tout\n";
  } else {
    for (const std::string& path : written) text += "écrit : " + path + "\n";
  }
  return WriteOut(text) ? kExitOk : kExitUnreadable;
}

}  // namespace kistora::cli
