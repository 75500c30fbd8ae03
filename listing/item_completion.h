// Completion of the item dialog's texts from the catalogue itself: the names
// already given to items and the magic property lines already typed, as
// patterns whose numbers are placeholders ("+# à toutes les compétences"),
// most used first, matched with the search's folding at the start of the text
// or of any of its words. Counted once (in slices, while the program is idle),
// then kept up to date one change of the catalogue at a time. A keystroke
// looks the lines up in their index, and the names by one pass over the
// counted items' names (completion_names.h: the names are not copied).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "listing/completion_names.h"
#include "listing/completion_tally.h"
#include "model/catalogue_change.h"
#include "model/items.h"

namespace kistora {

struct NameProposal {
  std::string Name;  // as most items spell it (Windows-1252)
  std::uint32_t Uses = 0;
};

struct PropertyProposal {
  std::string Pattern;  // the line with each number as "#": "+#% Résistance au feu"
  std::string Line;     // the most used line of that pattern: "+30% Résistance au feu"
  std::uint32_t Uses = 0;
};

// A magic property line with each run of digits replaced by "#".
std::string PropertyPattern(std::string_view line);

// What choosing a property proposal writes over the typed line: line with the
// numbers typed so far in place of its first ones, and the first number still
// to type selected (nothing selected, at the end, when every number was typed).
struct FilledLine {
  std::string Text;
  std::size_t SelectionStart = 0;
  std::size_t SelectionLength = 0;
};
FilledLine FillPropertyLine(std::string_view line, std::string_view typed);

class ItemCompletion {
 public:
  ItemCompletion();

  // Counts every name and property line of items, at once.
  void Build(const ItemVector& items);
  // The same a slice at a time, so that a big catalogue is counted while the
  // program is idle: Start, then CountMore until IsComplete.
  void Start();
  // Counts up to count more items of the catalogue whose items are items,
  // after those counted already. Returns IsComplete().
  bool CountMore(const ItemVector& items, std::size_t count);
  bool IsStarted() const { return started_; }
  bool IsComplete() const { return started_ && complete_; }
  // Follows one change of the catalogue whose items are now items: counts
  // what an added or restored item brings and uncounts what a modified or
  // deleted one took away (items not counted yet are left to CountMore);
  // starts again after a reset. Nothing before Start or Build.
  void Follow(const CatalogueChange& change, const ItemVector& items);

  // Up to limit names in which typed starts the name or one of its words (none before IsComplete).
  std::vector<NameProposal> Names(std::string_view typed, std::size_t limit) const;
  // Up to limit patterns that the typed line (its numbers standing for any
  // number) begins, or begins one word of.
  std::vector<PropertyProposal> PropertyLines(std::string_view typedLine, std::size_t limit) const;

  // Distinct names (by key, once complete) and lines held (for the benchmarks).
  std::size_t NameCount() const { return names_.KeyCount(); }
  std::size_t LineCount() const { return lines_.TextCount(); }

 private:
  // The counted item at position comes, or goes (counted_ still holding it).
  void Count(std::size_t position);
  void Uncount(std::size_t position);
  void CountLines(const TD2Item* item, int delta);
  void CheckComplete(const ItemVector& items);

  CompletionNames names_;
  CompletionTally lines_;
  // The items counted: the first ones of the catalogue's list, position for
  // position (null entries included), so that a modified or deleted item can
  // be uncounted. All of them once complete.
  ItemVector counted_;
  bool started_ = false;
  bool complete_ = false;
};

}  // namespace kistora
