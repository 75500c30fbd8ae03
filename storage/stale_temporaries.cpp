#include "storage/stale_temporaries.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "storage/daily_backups.h"

namespace kistora {

namespace {

bool IsLetterOrDigit(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

std::size_t RemoveIn(const std::string& dir) {
  DIR* listing = ::opendir(dir.c_str());
  if (listing == nullptr) return 0;
  std::vector<std::string> found;
  while (const dirent* entry = ::readdir(listing)) {
    if (IsTemporaryFileName(entry->d_name)) found.emplace_back(entry->d_name);
  }
  ::closedir(listing);
  std::size_t removed = 0;
  for (const std::string& name : found) {
    const std::string path = dir + "/" + name;
    struct stat info {};
    // Only a plain file: a link of that name may point at something that matters.
    if (::lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    if (::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

}  // namespace

bool IsTemporaryFileName(std::string_view name) {
  constexpr std::string_view kEarlierPrefix = ".kistora-";
  if (name.substr(0, kTemporaryPrefix.size()) == kTemporaryPrefix) {
    name.remove_prefix(kTemporaryPrefix.size());
  } else if (name.substr(0, kEarlierPrefix.size()) == kEarlierPrefix) {
    name.remove_prefix(kEarlierPrefix.size());
  } else {
    return false;
  }
  std::size_t letters = 0;
  while (letters < name.size() && IsLetterOrDigit(name[letters])) ++letters;
  if (letters != 6 && letters != 10) return false;
  const std::string_view rest = name.substr(letters);
  return rest == ".tmp" || rest == ".bak.tmp";
}

std::size_t RemoveStaleTemporaries(const std::string& dir) { return RemoveIn(dir) + RemoveIn(BackupsFolderOf(dir)); }

}  // namespace kistora
