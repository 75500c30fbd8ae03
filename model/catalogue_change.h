// What one operation of the catalogue changed, as its observers are told. Every
// change of the items, the characters or an inventory goes through one of the
// catalogue's operations, which reports it here once the catalogue is consistent.
#pragma once

#include <cstdint>

namespace kistora {

enum class ChangeKind {
  ItemAdded,         // Position: the new item's place in ItemList; Number: its number
  ItemModified,      // Position, Number: the item replaced in place (it kept its number)
  ItemDeleted,       // Position: where it was; Number: its number, now gone from every inventory
  ItemRestored,      // Position: an item put back in its place (a deletion taken back, an addition done
                     // again); Number: its number, back in every inventory entry it had
  CharAdded,         // Row: the new character's row
  CharModified,      // Row: the character whose texts changed
  CharRemoved,       // Row: where it was
  CharsSwapped,      // Row and OtherRow traded places (each with its items)
  InventoryChanged,  // Row: the character whose held numbers changed
  Reset,             // anything may have changed (a load, or everything freed)
};

struct CatalogueChange {
  ChangeKind Kind = ChangeKind::Reset;
  int Position = -1;  // item changes
  int Row = -1;       // character changes
  int OtherRow = -1;  // CharsSwapped
  std::int32_t Number = 0;

  // Whether the item database file or the characters file no longer holds the catalogue.
  bool TouchesItems() const {
    return Kind == ChangeKind::ItemAdded || Kind == ChangeKind::ItemModified || Kind == ChangeKind::ItemDeleted ||
           Kind == ChangeKind::ItemRestored || Kind == ChangeKind::Reset;
  }
  bool TouchesChars() const { return Kind != ChangeKind::ItemAdded && Kind != ChangeKind::ItemModified; }
};

// Told of every change, after it is made, on the thread that made it.
class CatalogueObserver {
 public:
  virtual ~CatalogueObserver() = default;
  virtual void CatalogueChanged(const CatalogueChange& change) = 0;
};

}  // namespace kistora
