#include "storage/conflict_copies.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "storage/daily_backups.h"
#include "storage/data_folder.h"
#include "storage/file_error.h"
#include "storage/file_ops.h"
#include "storage/kept_copy.h"

namespace kistora {

namespace {

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }
bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

bool ParseConflictCopyName(std::string_view name, DatabaseKind& kind) {
  for (const auto& [stem, which] : {std::pair("items", DatabaseKind::Items), std::pair("chars", DatabaseKind::Chars)}) {
    const std::string base = std::string(stem);
    std::string_view rest;
    if (StartsWith(name, base + ".sync-conflict-") && EndsWith(name, ".kdb")) {
      // Syncthing: the date, the time and the machine that made the other version.
      rest = name.substr(base.size() + 15, name.size() - base.size() - 15 - 4);
      if (rest.empty()) return false;
    } else if (StartsWith(name, base + " (") && EndsWith(name, ").kdb") &&
               name.find("conflicted copy") != std::string_view::npos) {
      // Nextcloud, ownCloud and Dropbox: the words in brackets.
    } else if (StartsWith(name, base + ".kdb.conflict")) {
      // The program's own copies, each made alone.
      rest = name.substr(base.size() + 13);
      if (!rest.empty() && (rest[0] != '.' || rest.size() < 2 ||
                            !std::all_of(rest.begin() + 1, rest.end(), [](char c) { return c >= '0' && c <= '9'; }))) {
        return false;
      }
    } else {
      continue;
    }
    kind = which;
    return true;
  }
  return false;
}

std::vector<ConflictCopy> FindConflictCopies(const std::string& dataDir) {
  std::vector<ConflictCopy> copies;
  DIR* listing = ::opendir(dataDir.c_str());
  if (listing == nullptr) return copies;
  while (const dirent* entry = ::readdir(listing)) {
    ConflictCopy copy;
    copy.Name = entry->d_name;
    if (!ParseConflictCopyName(copy.Name, copy.Kind)) continue;
    copy.Path = (dataDir.empty() || dataDir.back() == '/' ? dataDir : dataDir + "/") + copy.Name;
    if (IsRegularFile(copy.Path)) copies.push_back(std::move(copy));
  }
  ::closedir(listing);
  std::sort(copies.begin(), copies.end(), [](const ConflictCopy& a, const ConflictCopy& b) { return a.Name < b.Name; });
  return copies;
}

std::vector<SideFileCopy> FindSideFileCopies(const std::string& dataDir) {
  std::vector<SideFileCopy> copies;
  DIR* listing = ::opendir(dataDir.c_str());
  if (listing == nullptr) return copies;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view name = entry->d_name;
    for (const auto& [stem, extension] : {std::pair("kistora", ".lock"), std::pair("kistora", ".ini"),
                                          std::pair("kistora.ini", ".bak"), std::pair("last-exports", ".txt")}) {
      const std::string base = std::string(stem);
      const bool syncthing = StartsWith(name, base + ".sync-conflict-") && EndsWith(name, extension);
      const bool other = StartsWith(name, base + " (") && EndsWith(name, std::string(")") + extension) &&
                         name.find("conflicted copy") != std::string_view::npos;
      if (!syncthing && !other) continue;
      const std::string path = (dataDir.empty() || dataDir.back() == '/' ? dataDir : dataDir + "/") + std::string(name);
      if (IsRegularFile(path)) copies.push_back({path, std::string_view(extension) == ".lock"});
      break;
    }
  }
  ::closedir(listing);
  return copies;
}

std::string MergedCopiesFolderOf(const std::string& dataDir) { return BackupsFolderOf(dataDir) + "/merged"; }

std::string MoveToMergedCopies(const std::string& dataDir, const std::string& path) {
  const std::string folder = MergedCopiesFolderOf(dataDir);
  if (!CreateDataDir(folder).empty()) throw EFileError(FileAction::Keep, path, errno != 0 ? errno : EIO);
  const std::string name = path.substr(path.rfind('/') + 1);
  for (int attempt = 0; attempt < 10; ++attempt) {
    const std::string target = FreeNumberedName(folder + "/" + name);
    if (target.empty()) break;
    if (Files().RenameNoReplace(path.c_str(), target.c_str()) == 0) return target;
    if (errno != EEXIST) throw EFileError(FileAction::Keep, path, errno);
  }
  throw EFileError(FileAction::Keep, path, EEXIST);
}

bool SyncToolWriting(const std::string& dataDir) {
  const std::string dir = dataDir.empty() || dataDir.back() == '/' ? dataDir : dataDir + "/";
  for (const char* name : {"items.kdb", "chars.kdb"}) {
    // Syncthing writes ".syncthing.NAME.tmp" (or "~syncthing~NAME.tmp") then renames it.
    for (const char* prefix : {".syncthing.", "~syncthing~"}) {
      const std::string temp = std::string(prefix) + name + ".tmp";
      // A download writes its file all along; one left by a download given up
      // (Syncthing keeps it a day, to resume) is not waited for.
      struct stat info {};
      if (::lstat((dir + temp).c_str(), &info) == 0 && ::time(nullptr) - info.st_mtime < 5) return true;
    }
  }
  return false;
}

}  // namespace kistora
