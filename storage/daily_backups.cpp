#include "storage/daily_backups.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <functional>
#include <set>

#include "model/text_utils.h"
#include "storage/file_copy.h"

namespace kistora {

namespace {

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int Number(std::string_view digits) {
  int n = 0;
  for (const char c : digits) n = n * 10 + (c - '0');
  return n;
}

bool IsDate(std::string_view date) {
  if (date.size() != 10 || date[4] != '-' || date[7] != '-') return false;
  const std::string_view year = date.substr(0, 4), month = date.substr(5, 2), day = date.substr(8, 2);
  if (!AllDigits(year) || !AllDigits(month) || !AllDigits(day)) return false;
  return Number(month) >= 1 && Number(month) <= 12 && Number(day) >= 1 && Number(day) <= 31;
}

std::string FileNameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string LocalDateToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char text[16] = {};
  std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  return text;
}

std::string BackupsFolderOf(const std::string& dataDir) {
  return dataDir.empty() || dataDir.back() == '/' ? dataDir + "backups" : dataDir + "/backups";
}

std::string BackupFileName(const std::string& databasePath, std::string_view date, std::string_view version) {
  std::string stem = FileNameOf(databasePath);
  if (stem.size() > 4 && stem.compare(stem.size() - 4, 4, ".kdb") == 0) stem.resize(stem.size() - 4);
  return stem + "-" + std::string(date) + std::string(version) + ".kdb";
}

bool ParseBackupFileName(std::string_view name, std::string& date, std::string* version) {
  for (const std::string_view stem : {"items-", "chars-"}) {
    if (name.size() < stem.size() + 10 + 4 || name.substr(0, stem.size()) != stem) continue;
    const std::string_view candidate = name.substr(stem.size(), 10);
    if (name.substr(name.size() - 4) != ".kdb" || !IsDate(candidate)) return false;
    const std::string_view between = name.substr(stem.size() + 10, name.size() - stem.size() - 10 - 4);
    // A sync tool's other version of the day: ".sync-conflict-..." (Syncthing),
    // " (... conflicted copy ...)" (Nextcloud, ownCloud, Dropbox).
    const bool other = (between.substr(0, 15) == ".sync-conflict-" && between.size() > 15) ||
                       (between.size() > 3 && between.substr(0, 2) == " (" && between.back() == ')' &&
                        between.find("conflicted copy") != std::string_view::npos);
    if (!between.empty() && (!other || version == nullptr)) return false;
    date = std::string(candidate);
    if (version) *version = std::string(between);
    return true;
  }
  return false;
}

BackupOutcome BackUpForDay(const std::string& dataDir, const std::vector<std::string>& databasePaths,
                           const std::string& date) {
  BackupOutcome outcome;
  const std::string folder = BackupsFolderOf(dataDir);
  bool folderReady = false;
  for (const std::string& source : databasePaths) {
    struct stat info {};
    if (::stat(source.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;  // nothing to keep yet
    if (!folderReady) {
      if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
        outcome.FailedPath = source;
        outcome.Errno = errno;
        return outcome;
      }
      folderReady = true;
    }
    const std::string target = folder + "/" + BackupFileName(source, date);
    struct stat existing {};
    if (::lstat(target.c_str(), &existing) == 0) continue;  // that day's backup was taken already
    errno = 0;
    if (!CopyFileTo(source, target, /*failIfExists=*/false)) {
      if (outcome.FailedPath.empty()) {
        outcome.FailedPath = source;
        outcome.Errno = errno != 0 ? errno : EIO;
      }
      continue;
    }
    outcome.Made.push_back(target);
  }
  if (folderReady) PruneBackups(folder, kBackupDaysKept, date);
  return outcome;
}

std::size_t PruneBackups(const std::string& backupsDir, int daysKept, const std::string& keepDate) {
  DIR* listing = ::opendir(backupsDir.c_str());
  if (listing == nullptr) return 0;
  std::vector<std::pair<std::string, std::string>> backups;  // name, date
  std::set<std::string, std::greater<>> dates;               // most recent first
  while (const dirent* entry = ::readdir(listing)) {
    std::string date, version;
    if (!ParseBackupFileName(entry->d_name, date, &version)) continue;  // a day's other versions go with it
    backups.emplace_back(entry->d_name, date);
    dates.insert(date);
  }
  ::closedir(listing);
  std::set<std::string> kept;
  for (const std::string& date : dates) {
    if (static_cast<int>(kept.size()) >= daysKept) break;
    kept.insert(date);
  }
  kept.insert(keepDate);  // a clock set back must not remove the backup just taken
  std::size_t removed = 0;
  for (const auto& [name, date] : backups) {
    const std::string path = backupsDir + "/" + name;
    if (kept.count(date) != 0 || !IsRegularFile(path)) continue;
    if (::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

}  // namespace kistora
