#include "listing/item_stats.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <typeinfo>
#include <utility>

#include "model/items.h"

namespace kistora {

namespace {

constexpr std::uint8_t kQualityCodes = 6;
constexpr std::uint8_t kClassTags = 12;  // 0 (bare item) .. 11
// Qualities in the item dialog's order, best first.
constexpr std::array<std::uint8_t, kQualityCodes> kQualityOrder = {5, 4, 3, 2, 1, 0};

// Class tag of an item's class, looked up once per class: the tag's own test
// walks up to eleven dynamic casts, too slow for a million items.
class ClassTags {
 public:
  std::uint8_t Of(const TD2Item& item) {
    const std::type_info* type = &typeid(item);
    for (const auto& [known, tag] : tags_) {
      if (known == type) return tag;
    }
    const std::uint8_t tag = ClassTag(item);
    tags_.emplace_back(type, tag);
    return tag;
  }

 private:
  std::vector<std::pair<const std::type_info*, std::uint8_t>> tags_;
};

// Item number -> what the inventories need of that item: its price, whether it
// is counted and whether a character already holds it. A number found twice
// stands for its last item, as in the inventory list.
class NumberTable {
 public:
  enum State : std::uint8_t { kNoItem, kHidden, kCounted, kHeld };
  struct Slot {
    std::int32_t Price = 0;
    State What = kNoItem;
  };

  explicit NumberTable(std::size_t capacity) { items_.reserve(capacity); }

  void Add(std::int32_t number, std::int32_t price, bool counted) {
    lowest_ = std::min(lowest_, number);
    highest_ = std::max(highest_, number);
    items_.push_back({number, {price, counted ? kCounted : kHidden}});
  }

  // Prepares Find once every item was added: a table indexed by number when
  // the numbers are dense (the usual 1..N, with the holes of deleted items),
  // else the numbers sorted for a binary search.
  void Finish() {
    if (items_.empty()) return;
    const std::int64_t span = std::int64_t{highest_} - lowest_ + 1;
    dense_ = span <= 4 * static_cast<std::int64_t>(items_.size()) + 1024;
    if (dense_) {
      table_.assign(static_cast<std::size_t>(span), Slot{});
      for (const auto& [number, slot] : items_) table_[Offset(number)] = slot;  // the last item of a number wins
      items_ = {};
      return;
    }
    const auto byNumber = [](const auto& a, const auto& b) { return a.first < b.first; };
    if (!std::is_sorted(items_.begin(), items_.end(), byNumber))
      std::stable_sort(items_.begin(), items_.end(), byNumber);
    numbers_.reserve(items_.size());
    for (std::size_t i = 0; i < items_.size(); ++i) {
      if (i + 1 < items_.size() && items_[i + 1].first == items_[i].first) continue;  // keep the last of a number
      numbers_.push_back(items_[i].first);
      table_.push_back(items_[i].second);
    }
    items_ = {};
  }

  Slot* Find(std::int32_t number) {
    if (number < lowest_ || number > highest_) return nullptr;
    if (dense_) {
      Slot& slot = table_[Offset(number)];
      return slot.What == kNoItem ? nullptr : &slot;
    }
    const auto at = std::lower_bound(numbers_.begin(), numbers_.end(), number);
    return at == numbers_.end() || *at != number ? nullptr : &table_[static_cast<std::size_t>(at - numbers_.begin())];
  }

  // Asks the processor for the slot of a number looked up a little later.
  void Prefetch(std::int32_t number) const {
    if (dense_ && number >= lowest_ && number <= highest_) __builtin_prefetch(&table_[Offset(number)]);
  }

 private:
  std::size_t Offset(std::int32_t number) const { return static_cast<std::size_t>(std::int64_t{number} - lowest_); }

  std::vector<std::pair<std::int32_t, Slot>> items_;  // while adding, in list order
  std::vector<Slot> table_;                           // by number - lowest_ (dense), or beside numbers_
  std::vector<std::int32_t> numbers_;                 // sorted, once each (sparse)
  std::int32_t lowest_ = INT32_MAX;
  std::int32_t highest_ = INT32_MIN;
  bool dense_ = false;
};

// How far ahead the passes ask for the memory they will read: the items and
// the slots lie all over the heap, and waiting for each in turn is most of the cost.
constexpr std::size_t kPrefetchDistance = 16;

std::string NobodyLabel() { return "aucun perso"; }

// A label as one cell of a tab-separated line: its tabs and line breaks become spaces.
std::string Cell(std::string label) {
  std::replace_if(
      label.begin(), label.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return label;
}

}  // namespace

std::int64_t ItemStats::MeanPrice() const {
  if (Counted.Count == 0) return 0;
  const std::int64_t quotient = Counted.Value / Counted.Count;
  const std::int64_t remainder = Counted.Value % Counted.Count;
  // |remainder| < Count, so doubling it cannot overflow.
  if (2 * (remainder < 0 ? -remainder : remainder) >= Counted.Count) return quotient + (Counted.Value < 0 ? -1 : 1);
  return quotient;
}

namespace {

// The one pass over the items and the one over the inventories; counted(i, item)
// says whether the item at position i of the database is counted.
template <class Counted>
ItemStats Count(const TCatalogue& catalogue, Counted counted) {
  std::array<ItemTotals, kQualityCodes> byQuality{};
  ItemTotals otherQuality;
  std::array<ItemTotals, kClassTags> byTag{};
  ClassTags tags;
  NumberTable numbers(catalogue.ItemList.size());
  ItemStats stats;

  const ItemVector& items = catalogue.ItemList;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i + kPrefetchDistance < items.size()) {
      // The vtable pointer (the class) and the quality and price may lie in two cache lines.
      if (const TD2Item* ahead = items[i + kPrefetchDistance].get()) {
        __builtin_prefetch(ahead);
        __builtin_prefetch(&ahead->Price);
      }
    }
    if (!items[i]) continue;
    const TD2Item& item = *items[i];
    ++stats.InDatabase;
    const bool isCounted = counted(i, item);
    numbers.Add(item.Index, item.Price, isCounted);
    if (!isCounted) continue;
    stats.Counted.Add(item.Price);
    if (item.Quality < kQualityCodes) {
      byQuality[item.Quality].Add(item.Price);
    } else {
      otherQuality.Add(item.Price);
    }
    byTag[tags.Of(item)].Add(item.Price);
    if (!stats.HighestPrice || item.Price > *stats.HighestPrice) stats.HighestPrice = item.Price;
    if (item.Price == 0) ++stats.AtPriceZero;
  }
  numbers.Finish();

  ItemTotals held;  // counted items that some character holds, each once
  stats.ByCharacter.reserve(catalogue.CharList.size());
  for (const auto& character : catalogue.CharList) {
    StatsGroup& group = stats.ByCharacter.emplace_back();
    group.Label = character->Name;
    const std::vector<std::int32_t>& entries = character->Items;
    for (std::size_t e = 0; e < entries.size(); ++e) {
      if (e + kPrefetchDistance < entries.size()) numbers.Prefetch(entries[e + kPrefetchDistance]);
      NumberTable::Slot* slot = numbers.Find(entries[e]);
      if (!slot || slot->What == NumberTable::kHidden) continue;
      group.Totals.Add(slot->Price);
      if (slot->What == NumberTable::kCounted) {
        slot->What = NumberTable::kHeld;
        held.Add(slot->Price);
      }
    }
  }
  stats.HeldByNobody = {stats.Counted.Count - held.Count, stats.Counted.Value - held.Value};

  for (const std::uint8_t code : kQualityOrder) stats.ByQuality.push_back({QualityLabel(code), byQuality[code]});
  if (otherQuality.Count > 0) stats.ByQuality.push_back({"Autre qualit\xE9", otherQuality});
  for (const char* label : kDialogCategories) {
    const std::unique_ptr<TD2Item> sample = CreateItemFromDialogLabel(label);
    stats.ByCategory.push_back({ListCategoryLabel(*sample), byTag[ClassTag(*sample)]});
  }
  if (byTag[0].Count > 0) stats.ByCategory.push_back({"Sans cat\xE9gorie", byTag[0]});
  return stats;
}

}  // namespace

ItemStats CountItemStats(const TCatalogue& catalogue, const ItemFilter& filter) {
  return Count(catalogue, [&filter](std::size_t, const TD2Item& item) { return IsItemShown(item, filter); });
}

ItemStats CountItemStats(const TCatalogue& catalogue, const std::vector<bool>& shownAt) {
  return Count(catalogue, [&shownAt](std::size_t i, const TD2Item&) { return i < shownAt.size() && shownAt[i]; });
}

std::vector<StatsRow> ItemStatsRows(const ItemStats& stats) {
  std::vector<StatsRow> rows;
  const auto add = [&rows](StatsGrouping grouping, const std::vector<StatsGroup>& groups) {
    for (const StatsGroup& group : groups) rows.push_back({grouping, group.Label, group.Totals});
  };
  add(StatsGrouping::Quality, stats.ByQuality);
  add(StatsGrouping::Category, stats.ByCategory);
  add(StatsGrouping::Character, stats.ByCharacter);
  rows.push_back({StatsGrouping::Character, NobodyLabel(), stats.HeldByNobody});
  return rows;
}

std::string GroupingLabel(StatsGrouping grouping) {
  switch (grouping) {
    case StatsGrouping::Quality:
      return "Qualit\xE9";
    case StatsGrouping::Category:
      return "Cat\xE9gorie";
    case StatsGrouping::Character:
      return "Personnage";
  }
  return {};
}

std::vector<StatsTotal> ItemStatsTotals(const ItemStats& stats) {
  std::optional<std::int64_t> highest;
  if (stats.HighestPrice) highest = *stats.HighestPrice;
  return {{"Objets", stats.Counted.Count},
          {"Valeur totale", stats.Counted.Value},
          {"Prix moyen", stats.MeanPrice()},
          {"Prix le plus haut", highest},
          {"Objets \xE0 prix 0", stats.AtPriceZero}};
}

std::string StatsScopeText(const ItemStats& stats, bool wholeDatabase) {
  if (wholeDatabase) {
    const char* noun = stats.InDatabase <= 1 ? " objet" : " objets";
    return "Toute la base : " + GroupedNumber(stats.InDatabase) + noun +
           " (filtres du Gestionnaire d'objets ignor\xE9s)";
  }
  return "Objets affich\xE9s par le Gestionnaire d'objets (cases coch\xE9"
         "es et recherche) : " +
         GroupedNumber(stats.Counted.Count) + " sur " + GroupedNumber(stats.InDatabase);
}

std::string ItemStatsText(const ItemStats& stats) {
  std::string text = "Regroupement\tGroupe\tObjets\tValeur\n";
  for (const StatsRow& row : ItemStatsRows(stats)) {
    text += GroupingLabel(row.Grouping) + "\t" + Cell(row.Label) + "\t" + std::to_string(row.Totals.Count) + "\t" +
            std::to_string(row.Totals.Value) + "\n";
  }
  text += "\n";
  for (const StatsTotal& total : ItemStatsTotals(stats)) {
    text += total.Label + "\t" + (total.Value ? std::to_string(*total.Value) : std::string()) + "\n";
  }
  return text;
}

}  // namespace kistora
