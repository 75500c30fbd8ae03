// Statistics of the items a list shows: how many there are and what they are
// worth by quality, by category and by character (and those nobody holds),
// with the totals. Counted in one pass over the items with the item database
// window's own filter test, sums in 64 bits. The statistics window draws them;
// kistora-cli prints them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "listing/item_list_rows.h"
#include "model/catalogue.h"
#include "model/item_counts.h"

namespace kistora {

enum class StatsGrouping { Quality, Category, Character };

struct StatsGroup {
  std::string Label;  // Windows-1252: "Unique", "Joyau", a character's name, "aucun perso"
  ItemTotals Totals;
};

struct ItemStats {
  // The six qualities in the item dialog's order, "Unique" .. "Normal", then
  // "Autre qualit\xE9" when some item has a code outside 0..5.
  std::vector<StatsGroup> ByQuality;
  // The eleven categories as the lists name them, "Amulette" .. "Joyau", then
  // "Sans cat\xE9gorie" when some item has no category (a bare item of a damaged file).
  std::vector<StatsGroup> ByCategory;
  // Every character, in row order. A character counts each entry of its
  // inventory, as its inventory's count line does: an item it holds twice
  // counts twice, with its price twice. An item held by two characters counts
  // for each. Entries whose number no item has are ignored; an entry stands for
  // the last item of its number, as in the inventory list.
  std::vector<StatsGroup> ByCharacter;
  // The items counted that no character holds.
  ItemTotals HeldByNobody;

  ItemTotals Counted;                        // the items counted (those the filter shows)
  std::int64_t InDatabase = 0;               // every item of the database, counted or not
  std::optional<std::int32_t> HighestPrice;  // none when nothing is counted
  std::int64_t AtPriceZero = 0;

  // The mean price rounded to the nearest unit, halves away from zero; 0 when nothing is counted.
  std::int64_t MeanPrice() const;
};

// Counts the items of catalogue that filter shows (IsItemShown, the item
// database window's test), in one pass over the items and one over the inventories.
ItemStats CountItemStats(const TCatalogue& catalogue, const ItemFilter& filter);
// The same for the items a list already picked: shownAt[i] says whether the
// item at position i of the database is shown. Spares matching the search again.
ItemStats CountItemStats(const TCatalogue& catalogue, const std::vector<bool>& shownAt);

// One line of the statistics table: a group with its grouping.
struct StatsRow {
  StatsGrouping Grouping = StatsGrouping::Quality;
  std::string Label;
  ItemTotals Totals;
};
// The table's lines: qualities, categories, characters then "aucun perso".
std::vector<StatsRow> ItemStatsRows(const ItemStats& stats);
// "Qualit\xE9", "Cat\xE9gorie", "Personnage".
std::string GroupingLabel(StatsGrouping grouping);

// One of the totals under its French label; no value for the highest price of nothing.
struct StatsTotal {
  std::string Label;  // "Objets", "Valeur totale", "Prix moyen", "Prix le plus haut", "Objets \xE0 prix 0"
  std::optional<std::int64_t> Value;
};
std::vector<StatsTotal> ItemStatsTotals(const ItemStats& stats);

// The line over the statistics, saying which items they count (Windows-1252):
// those the item database window shows, "Objets affich\xE9s par le Gestionnaire
// d'objets (cases coch\xE9es et recherche) : N sur M", or the whole database,
// "Toute la base : M objets (filtres du Gestionnaire d'objets ignor\xE9s)".
std::string StatsScopeText(const ItemStats& stats, bool wholeDatabase);

// The table then the totals as tab-separated lines ending in "\n" (Windows-1252),
// numbers in plain digits so that a spreadsheet reads them as numbers:
// "Regroupement\tGroupe\tObjets\tValeur", one line per row, an empty line, then
// "Label\tvalue" per total (an empty value for a highest price of nothing).
std::string ItemStatsText(const ItemStats& stats);

}  // namespace kistora
