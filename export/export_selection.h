// Which items the export writes and in what order: the quality boxes, the
// price-0 mask and the character scope (IsExported), only what is new since
// the last list when asked, the sort (CompareExportItems), and the items of
// each quality section in sorted order.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "export/export_settings.h"
#include "model/catalogue.h"

namespace kistora {

// The export's name order: bytes compared by code with a..z taken as A..Z
// (accented letters are not folded); when one text starts the other, the
// shorter comes first. Negative, 0 or positive.
int CompareTextAZ(std::string_view a, std::string_view b);

// The four sections of a trading list, in the order written.
struct ExportSection {
  const char* Title;
  std::array<int, 2> Qualities;  // a single-quality section repeats its code
};
extern const std::array<ExportSection, 4> kExportSections;  // Uniques, Sets, Crafted / Rares, Magiques / Normaux

// The items of a list: item number -> content digest (ItemContentDigest).
using ListedItems = std::unordered_map<std::int32_t, std::uint64_t>;

class ExportSelection {
 public:
  // selectedCharRow is the selected character's index in CharList, -1 when
  // none (an index outside CharList counts as none). Builds the set of held item
  // numbers once and sorts the exported items once: O(n log n) overall.
  // The settings are copied; the catalogue's items are referred to, so they
  // must outlive the selection and stay unchanged while it is used.
  //
  // previous, the items of the last list of the format, is given when the lists
  // are remembered: then Listed() tells what this list holds, and with NewOnly
  // only the items it lacks, or holds with other contents, are written. Without
  // it (nothing remembered) every item is new.
  ExportSelection(const ExportSettings& settings, const TCatalogue& catalogue, int selectedCharRow,
                  const ListedItems* previous = nullptr);

  // Price-0 mask, then the quality's box (codes outside 0..5 never pass), then
  // the scope: held by the selected character / by any character / no condition.
  bool IsExported(const TD2Item& item) const;

  // Negative puts a first: by name (a..z folded) or price (highest first) as the
  // sort radio says, 0 for no sort; with TrierSets, two set items of different
  // sets compare by set name (same case rule) instead. This relation is not a
  // strict weak ordering over a whole list (set and non-set items mix two
  // rules), so it is never handed to a sort: SectionItems applies it within
  // each section, where it is one.
  int CompareExportItems(const TD2Item& a, const TD2Item& b) const;

  // Items of that quality code that are written: they pass IsExported and,
  // with NewOnly, are new.
  int CountExported(int quality) const;
  // How many items the list holds, every section together.
  int ItemCount() const;

  // With previous given: every item that passes IsExported, new or not, with
  // its digest (what the list would hold without NewOnly). Empty otherwise.
  const ListedItems& Listed() const { return listed_; }

  // The exported items of section 0..3, in the order CompareExportItems gives
  // them (items it finds equal keep the database order).
  const std::vector<const TD2Item*>& SectionItems(int section) const;

  const ExportSettings& Settings() const { return settings_; }

 private:
  bool PassesQualityAndPrice(const TD2Item& item) const;
  void SortSections(const TCatalogue& catalogue, const ListedItems* previous);

  const ExportSettings settings_;
  std::unordered_set<std::int32_t> held_;  // item numbers in scope (unused for "Tous les objets connus")
  std::array<int, 6> counts_{};
  std::array<std::vector<const TD2Item*>, 4> sections_;
  ListedItems listed_;
};

}  // namespace kistora
