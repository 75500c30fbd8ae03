#include "export/export_selection.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "model/item_digest.h"
#include "model/items.h"

namespace kistora {

namespace {

constexpr int kSetQuality = 4;

unsigned char FoldAZ(unsigned char c) { return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c; }

std::string FoldedAZ(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(FoldAZ(static_cast<unsigned char>(c)));
  return out;
}

int Sign(int v) { return (v > 0) - (v < 0); }

// Section position of a quality code, -1 for codes outside 0..5.
int SectionOf(int quality) {
  switch (quality) {
    case 5:
      return 0;
    case 4:
      return 1;
    case 3:
    case 2:
      return 2;
    case 1:
    case 0:
      return 3;
    default:
      return -1;
  }
}

// Sort keys computed once per exported item, so the sort compares plain bytes.
struct SortEntry {
  const TD2Item* Item;
  std::string SetKey;   // folded set name; empty unless grouped by set
  std::string NameKey;  // folded name; empty unless sorted by name
};

}  // namespace

const std::array<ExportSection, 4> kExportSections = {{
    {"Uniques", {5, 5}},
    {"Sets", {4, 4}},
    {"Crafted / Rares", {3, 2}},
    {"Magiques / Normaux", {1, 0}},
}};

int CompareTextAZ(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = FoldAZ(static_cast<unsigned char>(a[i]));
    const unsigned char y = FoldAZ(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

ExportSelection::ExportSelection(const ExportSettings& settings, const TCatalogue& catalogue, int selectedCharRow,
                                 const ListedItems* previous)
    : settings_(settings) {
  if (settings.Scope == ExportScope::SelectedChar) {
    if (selectedCharRow >= 0 && static_cast<std::size_t>(selectedCharRow) < catalogue.CharList.size()) {
      const TChar& character = *catalogue.CharList[static_cast<std::size_t>(selectedCharRow)];
      held_.insert(character.Items.begin(), character.Items.end());
    }
  } else if (settings.Scope == ExportScope::AllChars) {
    for (const auto& character : catalogue.CharList) held_.insert(character->Items.begin(), character->Items.end());
  }
  SortSections(catalogue, previous);
}

bool ExportSelection::PassesQualityAndPrice(const TD2Item& item) const {
  if (item.Price == 0 && settings_.MaskPrice0) return false;
  switch (item.Quality) {
    case 0:
      return settings_.ShowNormals;
    case 1:
      return settings_.ShowMagics;
    case 2:
      return settings_.ShowRares;
    case 3:
      return settings_.ShowCrafted;
    case 4:
      return settings_.ShowSets;
    case 5:
      return settings_.ShowUniques;
    default:
      return false;
  }
}

bool ExportSelection::IsExported(const TD2Item& item) const {
  if (!PassesQualityAndPrice(item)) return false;
  if (settings_.Scope == ExportScope::AllItems) return true;
  return held_.count(item.Index) != 0;
}

int ExportSelection::CompareExportItems(const TD2Item& a, const TD2Item& b) const {
  int result = 0;
  if (settings_.SortBy == ExportSort::Name) {
    result = CompareTextAZ(a.Name, b.Name);
  } else if (settings_.SortBy == ExportSort::Price) {
    result = a.Price == b.Price ? 0 : (a.Price > b.Price ? -1 : 1);
  }
  if (settings_.TrierSets && a.Quality == kSetQuality && b.Quality == kSetQuality) {
    const int bySet = CompareTextAZ(SetName(a), SetName(b));
    if (bySet != 0) return Sign(bySet);
  }
  return result;
}

int ExportSelection::CountExported(int quality) const {
  return quality >= 0 && quality < 6 ? counts_[static_cast<std::size_t>(quality)] : 0;
}

int ExportSelection::ItemCount() const {
  std::size_t count = 0;
  for (const auto& items : sections_) count += items.size();
  return static_cast<int>(count);
}

const std::vector<const TD2Item*>& ExportSelection::SectionItems(int section) const {
  return sections_.at(static_cast<std::size_t>(section));
}

void ExportSelection::SortSections(const TCatalogue& catalogue, const ListedItems* previous) {
  std::array<std::vector<SortEntry>, 4> entries;
  const bool byName = settings_.SortBy == ExportSort::Name;
  for (const auto& owned : catalogue.ItemList) {
    const TD2Item& item = *owned;
    const int section = SectionOf(item.Quality);
    if (section < 0 || !IsExported(item)) continue;
    if (previous) {
      const std::uint64_t digest = ItemContentDigest(item);
      listed_[item.Index] = digest;
      if (settings_.NewOnly) {
        const auto known = previous->find(item.Index);
        if (known != previous->end() && known->second == digest) continue;  // in the last list as it is now
      }
    }
    ++counts_[item.Quality];
    SortEntry entry{&item, {}, {}};
    if (settings_.TrierSets && item.Quality == kSetQuality) entry.SetKey = FoldedAZ(SetName(item));
    if (byName) entry.NameKey = FoldedAZ(item.Name);
    entries[static_cast<std::size_t>(section)].push_back(std::move(entry));
  }

  // Within one section every pair of items compares by the same rule (all set
  // items, or none), so (set key, primary key) is a strict weak ordering that
  // gives exactly CompareExportItems's order. Folded bytes compare as unsigned
  // through std::string::compare, as CompareTextAZ does.
  const ExportSort sortBy = settings_.SortBy;
  const auto before = [sortBy](const SortEntry& a, const SortEntry& b) {
    if (const int bySet = a.SetKey.compare(b.SetKey); bySet != 0) return bySet < 0;
    switch (sortBy) {
      case ExportSort::Name:
        return a.NameKey.compare(b.NameKey) < 0;
      case ExportSort::Price:
        return a.Item->Price > b.Item->Price;
      case ExportSort::None:
        return false;
    }
    return false;
  };
  for (std::size_t s = 0; s < entries.size(); ++s) {
    std::stable_sort(entries[s].begin(), entries[s].end(), before);
    sections_[s].reserve(entries[s].size());
    for (const SortEntry& entry : entries[s]) sections_[s].push_back(entry.Item);
  }
}

}  // namespace kistora
