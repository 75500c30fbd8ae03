// The three-way merge of two versions of a catalogue (ours and theirs) that
// both come from a common one (the base), or, without a base, the two-way
// merge that deletes nothing. The result holds every change of each side;
// where both changed the same thing differently, ours stays and theirs is
// kept beside it.
//
// Items are matched by number (the n-th item of a number with the n-th):
// - in one side only and not in the base: added; in both, not in the base:
//   one item when the same, else ours keeps the number and theirs takes the
//   next free number (theirs' inventory entries of it follow it);
// - changed on one side only: that side's version; on both the same way: it;
//   on both differently: ours stays, and theirs is added under the next free
//   number with " (conflit avec l'objet N)" after its notes (N: ours' number);
// - deleted on one side and unchanged on the other: deleted (with every
//   inventory entry of it); deleted on one side and changed on the other: kept.
// Characters are matched by name as typed (the n-th of a name with the n-th):
// account, class, level and notes merge field by field (ours kept where both
// changed a field differently); an inventory holds each item number
// ours + theirs - base times (never below 0), ours' order first, theirs'
// additions after; a character added on one side is appended, removed on one
// side and unchanged on the other is removed, else kept. Rows keep ours'
// order, theirs' own characters after. Without a base nothing is deleted and
// an inventory holds each number as many times as the side holding it most.
// The next free number is above both sides' last number handed out and every
// number of the three versions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/catalogue.h"
#include "model/item_digest.h"

namespace kistora {

// One version of a catalogue.
struct CatalogueVersion {
  ItemVector Items;
  std::vector<TChar> Chars;
  std::int32_t LastItemIndex = 0;
};

// The common version: its items whole, or known by their digests only (kept
// small between runs), its characters whole. A part left unset is unknown, and
// that part is merged two-way.
struct MergeBase {
  std::optional<ItemVector> Items;                     // in any order
  std::optional<std::vector<NumberedDigest>> Digests;  // when Items is unset
  std::optional<std::vector<TChar>> Chars;

  bool KnowsItems() const { return Items || Digests; }
};

// The same version as a base.
MergeBase BaseOf(const CatalogueVersion& version);
// The digests of items, for a base kept between runs.
std::vector<NumberedDigest> DigestsOf(const ItemVector& items);

// What the merge did to ours, numbers as in the result.
struct MergeReport {
  struct Conflict {
    std::int32_t Ours = 0;    // the number ours kept
    std::int32_t Theirs = 0;  // the number theirs' version was added under
  };
  struct Renumbered {
    std::int32_t Was = 0;  // theirs' number, which ours holds for another item
    std::int32_t Now = 0;
  };
  struct CharField {
    std::string Name;   // the character
    std::string Field;  // "compte", "classe", "niveau" or "notes"
  };
  std::vector<std::int32_t> ItemsAdded;     // theirs' items that ours lacked (renumbered ones included)
  std::vector<std::int32_t> ItemsChanged;   // ours' items that took theirs' version
  std::vector<std::int32_t> ItemsDeleted;   // ours' items that theirs deleted
  std::vector<Conflict> ItemConflicts;      // changed on both sides differently
  std::vector<Renumbered> ItemsRenumbered;  // added on both sides under one number
  std::vector<std::string> CharsAdded;
  std::vector<std::string> CharsChanged;  // a field or the inventory took theirs' changes
  std::vector<std::string> CharsRemoved;
  std::vector<CharField> CharConflicts;  // fields changed on both sides differently: ours kept

  bool ChangesOurs() const {
    return !ItemsAdded.empty() || !ItemsChanged.empty() || !ItemsDeleted.empty() || !ItemConflicts.empty() ||
           !CharsAdded.empty() || !CharsChanged.empty() || !CharsRemoved.empty();
  }
};

struct MergeResult {
  CatalogueVersion Merged;
  MergeReport Report;
};

// numberFloor: a number already handed out that nothing above may take again
// (the highest this copy ever handed out), 0 for none.
MergeResult MergeCatalogues(const MergeBase& base, const CatalogueVersion& ours, const CatalogueVersion& theirs,
                            std::int32_t numberFloor = 0);

// " (conflit avec l'objet N)": what the copy of theirs' version of a
// conflicting item has after its notes.
std::string ConflictNote(std::int32_t oursNumber);

}  // namespace kistora
