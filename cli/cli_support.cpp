#include "cli_support.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "commands.h"
#include "model/cp1252.h"
#include "storage/data_folder.h"
#include "storage/database.h"
#include "storage/file_error.h"
#include "storage/stale_temporaries.h"

namespace kistora::cli {

std::string VersionText() { return std::string("kistora-cli ") + KISTORA_VERSION; }

namespace {

const char kFolderRule[] =
    "DOSSIER est le dossier des données (items.kdb, chars.kdb, kistora.ini). Sans DOSSIER\n"
    "ni --data-dir DOSSIER : la variable d'environnement KISTORA_DATA_DIR, sinon, pour\n"
    "une copie installée, $XDG_DATA_HOME/kistora (par défaut ~/.local/share/kistora),\n"
    "et pour toute autre copie le dossier de l'exécutable.\n";

}  // namespace

void PrintUsage(std::FILE* out) {
  std::fputs(
      "Usage : kistora-cli COMMANDE [DOSSIER] [OPTIONS]\n"
      "        kistora-cli COMMANDE --help\n"
      "        kistora-cli --version\n\n",
      out);
  std::fputs(kFolderRule, out);
  std::fputs("\nCommandes :\n", out);
  for (const Command& command : Commands()) {
    std::fprintf(out, "  %-10s %s\n             %s\n", command.name, command.synopsis, command.summary);
  }
  std::fputs(
      "\nUne sauvegarde se vérifie dans son dossier : check DOSSIER/backups --date 2026-12-07\n"
      "lit items-2026-12-07.kdb et chars-2026-12-07.kdb ; restore DOSSIER --date 2026-12-07\n"
      "la remet à la place des bases.\n"
      "\nresave, import-csv et restore prennent le verrou du dossier (kistora.lock) et\n"
      "suppriment les fichiers temporaires laissés par des enregistrements interrompus ;\n"
      "ils refusent tant que le programme est ouvert sur ce dossier. Au premier\n"
      "enregistrement de chaque jour, les deux bases sont copiées dans DOSSIER/backups.\n"
      "\nCodes de sortie : 0 réussi ; 1 une base est endommagée (résultat 1, 2 ou 3) ;\n"
      "2 un fichier manque ou ne peut être ouvert, lu ou écrit ; 3 (export) les options\n"
      "demandent le personnage sélectionné et aucun ne l'est ; 64 ligne de commande\n"
      "incorrecte ; 65 (import-csv) une ligne du fichier CSV est incorrecte ; 75 (resave,\n"
      "import-csv, restore) le dossier est utilisé par le programme, rien n'a été écrit.\n"
      "find : 0 un objet au moins trouvé, 1 aucun, 65 une condition est illisible.\n",
      out);
}

void PrintCommandHelp(const Command& command, std::FILE* out) {
  std::fprintf(out, "Usage : kistora-cli %s %s\n  %s\n\n%s\n", command.name, command.synopsis, command.summary,
               command.details);
  std::fputs("Options communes :\n  --data-dir DOSSIER  le dossier des données (comme DOSSIER)\n", out);
  std::fputs("  --help, -h          cette aide\n\n", out);
  std::fputs(kFolderRule, out);
}

int UsageError(const std::string& message) {
  std::fprintf(stderr, "kistora-cli : %s\n\n", message.c_str());
  PrintUsage(stderr);
  return kExitUsage;
}

int CommandUsageError(const Command& command, const std::string& message) {
  std::fprintf(stderr, "kistora-cli : %s\n\n", message.c_str());
  PrintCommandHelp(command, stderr);
  return kExitUsage;
}

int UsageErrorFor(const CommandArgs& args, const std::string& message) {
  for (const Command& command : Commands()) {
    if (args.command == command.name) return CommandUsageError(command, message);
  }
  return UsageError(message);
}

std::optional<std::string> TakeDataDir(const CommandArgs& args, const std::optional<std::string>& dirOperand,
                                       std::string& dir) {
  if (dirOperand && args.dataDir) return args.command + " : DOSSIER et --data-dir donnés tous les deux";
  const std::optional<std::string>& given = dirOperand ? dirOperand : args.dataDir;
  if (given) {
    if (given->empty()) return args.command + " : DOSSIER est vide";
    dir = *given;
  } else {
    dir = ChooseDataDir(CurrentDataDirInputs("")).dir;
  }
  return std::nullopt;
}

std::optional<std::string> TakeOnlyDataDir(const CommandArgs& args, std::string& dir) {
  if (args.operands.size() > 1) return args.command + " n'accepte qu'un seul dossier DOSSIER";
  return TakeDataDir(args, args.operands.empty() ? std::nullopt : std::optional(args.operands[0]), dir);
}

bool IsFolder(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::string DataFilePath(const std::string& dir, std::string_view name) {
  std::string path = dir;
  if (path.back() != '/') path += '/';
  path += name;
  return path;
}

int LoadedDir::Status() const {
  if (!BothOpened()) return kExitUnreadable;
  return BothClean() ? kExitOk : kExitDamaged;
}

namespace {

template <typename Load>
void LoadOne(FileLoad& file, const std::string& dir, const char* name, TCatalogue& catalogue, Load load) {
  file.name = name;
  file.path = DataFilePath(dir, name);
  try {
    file.result = load(catalogue, file.path);
  } catch (const EFileError& e) {
    file.error = e.Errno;
  }
}

}  // namespace

LoadedDir LoadDataDir(const std::string& dir) { return LoadDataDir(dir, "items.kdb", "chars.kdb"); }

LoadedDir LoadDataDir(const std::string& dir, const std::string& itemsName, const std::string& charsName) {
  LoadedDir loaded;
  LoadOne(loaded.items, dir, itemsName.c_str(), loaded.catalogue, LoadItems);
  LoadOne(loaded.chars, dir, charsName.c_str(), loaded.catalogue, LoadChars);
  return loaded;
}

int TakeDataDirForWriting(const std::string& dir, const char* command, DataFolderLock& lock) {
  const LockAttempt attempt = lock.TryAcquire(dir);
  switch (attempt.State) {
    case LockState::Held:
      // No save can be running in DIR now: every temporary file there is litter.
      RemoveStaleTemporaries(dir);
      return kExitOk;
    case LockState::Busy:
      Complain(dir + " est utilisé par Kistora" +
               (attempt.OtherPid > 0 ? " (processus " + std::to_string(attempt.OtherPid) + ")" : std::string()) +
               " ; " + command + " refusé, rien n'a été écrit");
      return kExitBusy;
    case LockState::Error:
      break;
  }
  Complain("impossible de verrouiller " + DataFolderLock::LockFilePath(dir) + " : " + SystemErrorText(attempt.Errno) +
           " ; " + command + " refusé, rien n'a été écrit");
  return kExitUnreadable;
}

std::string ResultMeaning(std::uint8_t result) {
  switch (result) {
    case kLoadOk:
      return "correct";
    case kLoadBadMagic:
      return "signature de fichier fausse, ce n'est pas une base de ce type ; rien n'a été chargé";
    case kLoadBadVersion:
      return "version inconnue ; rien n'a été chargé";
    case kLoadDamaged:
      return "endommagé : une signature d'enregistrement est fausse ou le fichier s'arrête trop tôt";
    default:
      return "résultat inconnu";
  }
}

void ReportOpenFailures(const LoadedDir& loaded) {
  for (const FileLoad* file : {&loaded.items, &loaded.chars}) {
    if (file->result) continue;
    std::fprintf(stderr, "kistora-cli : impossible d'ouvrir %s : %s\n", file->path.c_str(),
                 SystemErrorText(file->error).c_str());
  }
}

void WarnPartlyRead(const FileLoad& file, const std::string& goingOn) {
  if (file.result && *file.result != 0) {
    Complain("attention : " + file.path + " : " + ResultMeaning(*file.result) + " ; " + goingOn);
  }
}

std::string JsonString(std::string_view cp1252) {
  static const char kHex[] = "0123456789abcdef";
  const std::string utf8 = Cp1252ToUtf8(cp1252);
  std::string out = "\"";
  for (const char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      default:
        if (b < 0x20 || b == 0x7F) {
          out += "\\u00";
          out += kHex[b >> 4];
          out += kHex[b & 0xF];
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

bool WriteOut(std::string_view text) {
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0) return true;
  std::fprintf(stderr, "kistora-cli : impossible d'écrire sur la sortie standard : %s\n",
               errno != 0 ? std::strerror(errno) : "erreur d'écriture");
  return false;
}

std::string SystemErrorText(int error) { return error != 0 ? std::strerror(error) : "erreur inconnue"; }

void Complain(const std::string& utf8) { std::fprintf(stderr, "kistora-cli : %s\n", utf8.c_str()); }

void ComplainCp1252(const std::string& cp1252) { Complain(Cp1252ToUtf8(cp1252)); }

}  // namespace kistora::cli
