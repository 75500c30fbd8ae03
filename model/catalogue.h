// The catalogue: every item, every character, and the item numbering.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/catalogue_change.h"
#include "model/items.h"

namespace kistora {

class CatalogueRecorder;
class CatalogueHistory;

// A character: its five texts (name, account, class, level, notes, as shown in
// its row) and the ordered item numbers it holds, duplicates allowed.
class TChar {
 public:
  // Appends the number; returns its position.
  int AddItem(std::int32_t number);
  // Removes the first occurrence only; a number not held is ignored.
  void RemoveItem(std::int32_t number);
  // Removes the entry at position (0-based); out-of-range positions are ignored.
  void RemoveItemAt(int position);
  bool HoldsItem(std::int32_t number) const;
  std::int32_t ItemAt(int i) const { return Items[static_cast<std::size_t>(i)]; }
  int ItemCount() const { return static_cast<int>(Items.size()); }

  std::string Name, Account, Class, Level, Notes;
  std::vector<std::int32_t> Items;

  bool operator==(const TChar&) const = default;
};

// Where an inventory entry was: the character's row and the entry's position in its inventory.
struct EntryPlace {
  int Row = 0;
  int Position = 0;
};

class TCatalogue {
 public:
  // Owned items in file and insertion order; owned characters in row order. The
  // loaders and savers work on these directly; everything else changes the
  // catalogue through the operations below, which tell the observers.
  ItemVector ItemList;
  std::vector<std::unique_ptr<TChar>> CharList;
  std::int32_t LastItemIndex = 0;
  std::string DefaultAccount;

  TCatalogue() = default;
  TCatalogue(const TCatalogue&) = delete;
  TCatalogue& operator=(const TCatalogue&) = delete;
  // Moves the content; the observers stay with the catalogue they watched.
  TCatalogue(TCatalogue&& other) noexcept
      : ItemList(std::move(other.ItemList)),
        CharList(std::move(other.CharList)),
        LastItemIndex(other.LastItemIndex),
        DefaultAccount(std::move(other.DefaultAccount)) {}

  // Raises LastItemIndex to the highest Index present.
  void SyncLastItemIndex();
  // max(LastItemIndex, highest Index) + 1, which also becomes LastItemIndex.
  std::int32_t NewItemIndex();
  // Whether the items come in ascending number order (the usual case: numbers
  // only grow); then a number is found by a binary search.
  bool ItemsInNumberOrder() const { return ScanItems().InOrder; }
  // The last item whose Index equals number, or nullptr.
  TD2Item* FindItem(std::int32_t number) const;
  // Position of the first item whose Index equals number, or -1 (the item window's rule).
  int FindFirstItemPos(std::int32_t number) const;
  // Character names compared with A..Z folded.
  bool CharNameExists(std::string_view name) const;
  // The last row whose name matches, or -1.
  int FindCharRow(std::string_view name) const;
  const TChar* CharAt(int row) const;

  // ---- operations: each changes the catalogue, then tells every observer ----

  // Appends the item under a new number (NewItemIndex); returns that number.
  std::int32_t AddNewItem(std::unique_ptr<TD2Item> item);
  // Puts replacement in the place of the first item numbered number; it takes
  // that number. False (nothing changed) when no item has it.
  bool ModifyItem(std::int32_t number, std::unique_ptr<TD2Item> replacement);
  // Deletes the first item numbered number; every entry of that number leaves
  // every character. False when no item has it.
  bool DeleteItem(std::int32_t number);
  // The same two by position (out-of-range positions change nothing).
  void ReplaceItemAt(int position, std::unique_ptr<TD2Item> replacement);
  void DeleteItemAt(int position);

  // Appends a character; returns its row.
  int AddChar(std::unique_ptr<TChar> character);
  // Gives the character at row the five texts of fields (its items stay).
  bool ModifyChar(int row, const TChar& fields);
  // Removes the character at row with its inventory (the items stay in the database).
  bool RemoveChar(int row);
  // The two characters trade rows, each with its items.
  bool SwapChars(int row, int otherRow);
  // Appends number to the inventory of the character at row.
  bool AddItemToChar(int row, std::int32_t number);
  // Removes the inventory entry at position (0-based) of the character at row;
  // other entries of the same number stay.
  bool RemoveInventoryEntry(int row, int position);
  // Puts items and characters in the place of the present ones, which go (a
  // restored backup; observers are told Reset). One change, taken back whole by the history.
  void ReplaceContent(ItemVector items, std::vector<std::unique_ptr<TChar>> characters);
  // Frees every item and every character (last to first).
  void Clear();
  // Tells the observers that anything may have changed (after the loaders).
  void NotifyReset();

  // The history that keeps what each operation above did, to take it back
  // (nullptr: none). Clear and NotifyReset make it forget: the lists changed
  // outside the operations.
  void SetRecorder(CatalogueRecorder* recorder) { recorder_ = recorder; }

  void AddObserver(CatalogueObserver* observer);
  void RemoveObserver(CatalogueObserver* observer);

  void ClearItems();  // frees every item, last to first (no notification: the loaders' step)
  void ClearChars();  // frees every character, last to first (idem)

 private:
  friend class CatalogueHistory;
  // What the history uses to put back exactly what an operation changed. Not
  // recorded; each tells the observers like the operations.
  // The item at position again, with its number at each of entries (in
  // ascending order of position per character); ItemRestored.
  void PutItemBack(int position, ItemPtr item, const std::vector<EntryPlace>& entries);
  // The item at position and other trade places (ItemModified).
  void SwapItemAt(int position, ItemPtr& other);
  // The character at row again (CharAdded), or taken out and given (CharRemoved).
  void InsertCharAt(int row, std::unique_ptr<TChar> character);
  std::unique_ptr<TChar> TakeCharAt(int row);
  // number again at position of the inventory of the character at row (InventoryChanged).
  void InsertInventoryEntry(int row, int position, std::int32_t number);
  // Every item and character trade places with items and characters (Reset).
  void SwapContent(ItemVector& items, std::vector<std::unique_ptr<TChar>>& characters);

  void ExchangeContent(ItemVector& items, std::vector<std::unique_ptr<TChar>>& characters);
  void Notify(const CatalogueChange& change);
  void Forget();
  bool ValidRow(int row) const { return row >= 0 && static_cast<std::size_t>(row) < CharList.size(); }

  // What passes over the items have learnt, kept so that one change of a big
  // catalogue does not read every item again. The first Count items of the
  // list (while its buffer stays at Data) hold no number above Highest and,
  // while InOrder, come in ascending number order. Items appended outside the
  // operations (the loaders, an import) are read at the next look; a list
  // moved, shrunk or cleared outside them is read again whole.
  struct ItemScan {
    const ItemPtr* Data = nullptr;
    std::size_t Count = 0;
    std::int32_t Highest = -1;
    std::int32_t LastNumber = std::numeric_limits<std::int32_t>::min();
    bool InOrder = true;
  };
  const ItemScan& ScanItems() const;

  std::vector<CatalogueObserver*> observers_;
  CatalogueRecorder* recorder_ = nullptr;
  mutable ItemScan scan_;
};

// Number -> item (the last one with that number, as FindItem), built once for
// listing many entries without scanning the whole database for each. Valid
// while the catalogue's items do not change.
class ItemLookup {
 public:
  explicit ItemLookup(const TCatalogue& catalogue);
  TD2Item* Find(std::int32_t number) const;

 private:
  const ItemVector& items_;
  // Items listed in number order (the usual case: numbers only grow) are found
  // by a binary search over the list itself, with no table to build; a
  // million-item table costs far more than the few entries an inventory looks up.
  bool inNumberOrder_ = true;
  // Otherwise (number, item) sorted by number, items of one number in list order.
  std::vector<std::pair<std::int32_t, TD2Item*>> byNumber_;
};

}  // namespace kistora
