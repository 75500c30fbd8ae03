#include "storage/backup_restore.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "model/item_counts.h"
#include "storage/daily_backups.h"

namespace kistora {

namespace {

bool SameContent(const TD2Item& a, const TD2Item& b) {
  if (ClassTag(a) != ClassTag(b) || a.Index != b.Index || a.Name != b.Name || a.Notes != b.Notes ||
      a.Quality != b.Quality || a.Price != b.Price || a.CLvl != b.CLvl || a.Str != b.Str || a.Dex != b.Dex ||
      a.Dur != b.Dur || a.MaxDur != b.MaxDur || a.MagicProps != b.MagicProps)
    return false;
  const auto* defA = dynamic_cast<const TD2DefItem*>(&a);
  const auto* defB = dynamic_cast<const TD2DefItem*>(&b);
  if (defA && defB && defA->Def != defB->Def) return false;
  const auto* shieldA = dynamic_cast<const TD2Shield*>(&a);
  const auto* shieldB = dynamic_cast<const TD2Shield*>(&b);
  if (shieldA && shieldB && shieldA->Parade != shieldB->Parade) return false;
  const auto* weaponA = dynamic_cast<const TD2Weapon*>(&a);
  const auto* weaponB = dynamic_cast<const TD2Weapon*>(&b);
  return !(
      weaponA && weaponB &&
      (weaponA->MinDmg != weaponB->MinDmg || weaponA->MaxDmg != weaponB->MaxDmg || weaponA->Speed != weaponB->Speed));
}

bool SameTexts(const TChar& a, const TChar& b) {
  return a.Account == b.Account && a.Class == b.Class && a.Level == b.Level && a.Notes == b.Notes && a.Items == b.Items;
}

// Positions of items in number order (list order among equal numbers); null entries left out.
std::vector<std::size_t> ByNumber(const ItemVector& items) {
  std::vector<std::size_t> order;
  order.reserve(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i]) order.push_back(i);
  }
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return items[a]->Index < items[b]->Index; });
  return order;
}

// For each item of backup, the position of the catalogue item of the same
// number it is matched with (the n-th of a number with the n-th), or -1.
struct ItemPairs {
  std::vector<long> CurrentOf;            // by backup position
  std::vector<std::size_t> CurrentAlone;  // positions of the catalogue items matched with none, by number
};

ItemPairs PairItems(const ItemVector& current, const ItemVector& backup) {
  ItemPairs pairs;
  pairs.CurrentOf.assign(backup.size(), -1);
  const std::vector<std::size_t> mine = ByNumber(current);
  const std::vector<std::size_t> theirs = ByNumber(backup);
  std::size_t i = 0, j = 0;
  while (i < mine.size() || j < theirs.size()) {
    if (j == theirs.size() || (i < mine.size() && current[mine[i]]->Index < backup[theirs[j]]->Index)) {
      pairs.CurrentAlone.push_back(mine[i++]);
    } else if (i == mine.size() || backup[theirs[j]]->Index < current[mine[i]]->Index) {
      ++j;
    } else {
      pairs.CurrentOf[theirs[j++]] = static_cast<long>(mine[i++]);
    }
  }
  return pairs;
}

std::string Counted(std::size_t count, const char* word) {
  return GroupedNumber(static_cast<std::int64_t>(count)) + " " + word + (count > 1 ? "s" : "");
}

// « name », with the no-break spaces French puts inside the guillemets.
std::string Quoted(const std::string& name) { return "\xAB\xA0" + name + "\xA0\xBB"; }

std::string ItemWords(const TD2Item& item) {
  const std::string number = GroupedNumber(item.Index);
  return item.Name.empty() ? number : number + " " + Quoted(item.Name);
}

std::string CharWords(const TChar& character) {
  return character.Name.empty() ? std::string("(sans nom)") : Quoted(character.Name);
}

void Name(std::vector<std::string>& names, std::string words) {
  if (names.size() < kRestoreNamesListed) names.push_back(std::move(words));
}

void AppendList(std::string& text, const char* heading, std::size_t count, const std::vector<std::string>& names) {
  if (count == 0) return;
  text += std::string(heading) + " (" + GroupedNumber(static_cast<std::int64_t>(count)) + ") :\n";
  for (const std::string& name : names) text += "  " + name + "\n";
  if (count > names.size()) {
    text += "  et " + GroupedNumber(static_cast<std::int64_t>(count - names.size())) + " autre" +
            (count - names.size() > 1 ? "s" : "") + "\n";
  }
}

std::string CountsLine(const char* noun, const RestoreCounts& counts) {
  return std::string(noun) + " : " + Counted(counts.Added, "ajout\xE9") + ", " +
         Counted(counts.Removed, "supprim\xE9") + ", " + Counted(counts.Changed, "modifi\xE9") + "\n";
}

}  // namespace

std::string BackupDayState(const BackupDay& day) {
  if (day.Usable()) return "correcte";
  return day.Incomplete() ? "incompl\xE8te"
                          : "endommag\xE9"
                            "e";
}

std::string BackupFileState(const StartupRead& read) {
  switch (read.State) {
    case StartupReadState::Clean:
      return "correct";
    case StartupReadState::Missing:
      return "absent";
    case StartupReadState::Unopenable:
      return "illisible";
    default:
      return "endommag\xE9";
  }
}

std::vector<std::string> BackupDates(const std::string& dataDir) {
  std::set<std::string, std::greater<>> dates;
  if (DIR* listing = ::opendir(BackupsFolderOf(dataDir).c_str())) {
    while (const dirent* entry = ::readdir(listing)) {
      std::string date;
      if (ParseBackupFileName(entry->d_name, date)) dates.insert(date);
    }
    ::closedir(listing);
  }
  return {dates.begin(), dates.end()};
}

std::vector<std::pair<std::string, std::string>> BackupVersions(const std::string& dataDir) {
  std::set<std::pair<std::string, std::string>> versions;
  if (DIR* listing = ::opendir(BackupsFolderOf(dataDir).c_str())) {
    while (const dirent* entry = ::readdir(listing)) {
      std::string date, version;
      if (ParseBackupFileName(entry->d_name, date, &version)) versions.emplace(date, version);
    }
    ::closedir(listing);
  }
  std::vector<std::pair<std::string, std::string>> sorted(versions.begin(), versions.end());
  // Most recent day first; within a day, its own version ("") first.
  std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  return sorted;
}

BackupDay ReadBackupDay(const std::string& dataDir, const std::string& date, TCatalogue& into,
                        const std::string& version) {
  const std::string folder = BackupsFolderOf(dataDir) + "/";
  into.ClearItems();
  into.ClearChars();
  BackupDay day;
  day.Date = date;
  day.Version = version;
  const auto path = [&](const char* database) {
    const std::string other = folder + BackupFileName(database, date, version);
    struct stat info {};
    return version.empty() || ::lstat(other.c_str(), &info) == 0 ? other : folder + BackupFileName(database, date);
  };
  day.Items = ReadDatabaseAtStartup(into, DatabaseKind::Items, path("items.kdb"));
  day.Chars = ReadDatabaseAtStartup(into, DatabaseKind::Chars, path("chars.kdb"));
  return day;
}

std::vector<BackupDay> ReadBackupDays(const std::string& dataDir) {
  std::vector<BackupDay> days;
  for (const auto& [date, version] : BackupVersions(dataDir)) {
    TCatalogue read;
    days.push_back(ReadBackupDay(dataDir, date, read, version));
  }
  return days;
}

RestorePreview PreviewRestore(const TCatalogue& current, const TCatalogue& backup) {
  RestorePreview preview;
  const ItemPairs pairs = PairItems(current.ItemList, backup.ItemList);
  preview.Items.Removed = pairs.CurrentAlone.size();
  for (std::size_t i = 0; i < pairs.CurrentAlone.size() && i < kRestoreNamesListed; ++i)
    Name(preview.ItemNames.Removed, ItemWords(*current.ItemList[pairs.CurrentAlone[i]]));
  for (std::size_t j = 0; j < backup.ItemList.size(); ++j) {
    if (!backup.ItemList[j]) continue;
    const long mine = pairs.CurrentOf[j];
    if (mine < 0) {
      ++preview.Items.Added;
      Name(preview.ItemNames.Added, ItemWords(*backup.ItemList[j]));
    } else if (!SameContent(*current.ItemList[static_cast<std::size_t>(mine)], *backup.ItemList[j])) {
      ++preview.Items.Changed;
      Name(preview.ItemNames.Changed, ItemWords(*backup.ItemList[j]));
    }
  }
  // Characters by name, the n-th of a name with the n-th.
  std::map<std::string, std::vector<std::size_t>> rowsByName;
  for (std::size_t row = current.CharList.size(); row-- > 0;) rowsByName[current.CharList[row]->Name].push_back(row);
  for (const auto& theirs : backup.CharList) {
    auto& same = rowsByName[theirs->Name];
    if (same.empty()) {
      ++preview.Chars.Added;
      Name(preview.CharNames.Added, CharWords(*theirs));
      continue;
    }
    if (!SameTexts(*current.CharList[same.back()], *theirs)) {
      ++preview.Chars.Changed;
      Name(preview.CharNames.Changed, CharWords(*theirs));
    }
    same.pop_back();
  }
  std::vector<std::size_t> removed;
  for (const auto& [name, left] : rowsByName) removed.insert(removed.end(), left.begin(), left.end());
  std::sort(removed.begin(), removed.end());
  preview.Chars.Removed = removed.size();
  for (const std::size_t row : removed) Name(preview.CharNames.Removed, CharWords(*current.CharList[row]));
  return preview;
}

std::string RestorePreviewText(const RestorePreview& preview) {
  return CountsLine("objets", preview.Items) + CountsLine("personnages", preview.Chars);
}

std::string RestorePreviewList(const RestorePreview& preview) {
  std::string text;
  AppendList(text, "Objets ajout\xE9s", preview.Items.Added, preview.ItemNames.Added);
  AppendList(text, "Objets supprim\xE9s", preview.Items.Removed, preview.ItemNames.Removed);
  AppendList(text, "Objets modifi\xE9s", preview.Items.Changed, preview.ItemNames.Changed);
  AppendList(text, "Personnages ajout\xE9s", preview.Chars.Added, preview.CharNames.Added);
  AppendList(text, "Personnages supprim\xE9s", preview.Chars.Removed, preview.CharNames.Removed);
  AppendList(text, "Personnages modifi\xE9s", preview.Chars.Changed, preview.CharNames.Changed);
  return text;
}

std::string BackupDateText(const std::string& date) {
  static const char* const kMonths[] = {"janvier",
                                        "f\xE9vrier",
                                        "mars",
                                        "avril",
                                        "mai",
                                        "juin",
                                        "juillet",
                                        "ao\xFBt",
                                        "septembre",
                                        "octobre",
                                        "novembre",
                                        "d\xE9"
                                        "cembre"};
  std::string parsed;
  if (!ParseBackupFileName("items-" + date + ".kdb", parsed)) return date;
  const int day = std::stoi(date.substr(8, 2));
  const int month = std::stoi(date.substr(5, 2));
  return (day == 1 ? std::string("1er") : std::to_string(day)) + " " + kMonths[month - 1] + " " + date.substr(0, 4);
}

void RestoreBackup(TCatalogue& current, TCatalogue&& backup) {
  const ItemPairs pairs = PairItems(current.ItemList, backup.ItemList);
  ItemVector items = std::move(backup.ItemList);
  for (std::size_t j = 0; j < items.size(); ++j) {
    const long mine = pairs.CurrentOf[j];
    if (mine < 0 || !items[j]) continue;
    const auto& kept = current.ItemList[static_cast<std::size_t>(mine)];
    if (SameContent(*kept, *items[j])) items[j] = kept;
  }
  current.ReplaceContent(std::move(items), std::move(backup.CharList));
}

}  // namespace kistora
