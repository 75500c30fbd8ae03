// What one operation of the catalogue did, with what it takes to take it back
// and to do it again: the item or character that went (kept whole, so that it
// comes back as it was), the one that was replaced, the places of the
// inventory entries that left with a deleted item. Items are never changed in
// place, so keeping one is keeping a pointer.
#pragma once

#include <cstdint>
#include <memory>
#include <variant>
#include <vector>

#include "model/catalogue.h"

namespace kistora {

namespace edit {

// AddNewItem: Item was appended at Position.
struct ItemInserted {
  int Position = 0;
  ItemPtr Item;
};
// DeleteItem: Item left Position, and its number left each of Entries.
struct ItemErased {
  int Position = 0;
  ItemPtr Item;
  std::vector<EntryPlace> Entries;  // by row, then ascending position
};
// ModifyItem: Other is the item not in the list now (the replaced one, after an undo the replacement).
struct ItemReplaced {
  int Position = 0;
  ItemPtr Other;
};
// AddChar: a character came at Row; Held keeps it while it is taken back.
struct CharInserted {
  int Row = 0;
  std::unique_ptr<TChar> Held;
};
// RemoveChar: the character at Row went with its inventory; Held keeps it.
struct CharErased {
  int Row = 0;
  std::unique_ptr<TChar> Held;
};
// ModifyChar: Other holds the five texts the character at Row does not have now.
struct CharTexts {
  int Row = 0;
  std::unique_ptr<TChar> Other;
};
// SwapChars: the characters at Row and OtherRow traded places.
struct CharsSwapped {
  int Row = 0;
  int OtherRow = 0;
};
// AddItemToChar / RemoveInventoryEntry: Number came to / left Position of the inventory at Row.
struct EntryInserted {
  int Row = 0;
  int Position = 0;
  std::int32_t Number = 0;
};
struct EntryErased {
  int Row = 0;
  int Position = 0;
  std::int32_t Number = 0;
};
// ReplaceContent: the items and characters not in the catalogue now.
struct ContentReplaced {
  ItemVector OtherItems;
  std::vector<std::unique_ptr<TChar>> OtherChars;
};

}  // namespace edit

using CatalogueEdit =
    std::variant<edit::ItemInserted, edit::ItemErased, edit::ItemReplaced, edit::CharInserted, edit::CharErased,
                 edit::CharTexts, edit::CharsSwapped, edit::EntryInserted, edit::EntryErased, edit::ContentReplaced>;

// Told by the catalogue of what each operation did, once the catalogue is
// consistent and before its observers hear of it.
class CatalogueRecorder {
 public:
  virtual ~CatalogueRecorder() = default;
  virtual void Record(CatalogueEdit edit) = 0;
  // The lists changed outside the operations (a load, everything freed): nothing recorded can be taken back.
  virtual void Forget() = 0;
};

}  // namespace kistora
