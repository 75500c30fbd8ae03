// The catalogue: every item, every character, and the item numbering.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/items.h"

namespace kistora {

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
};

class TCatalogue {
 public:
  // Owned items in file and insertion order; owned characters in row order.
  std::vector<std::unique_ptr<TD2Item>> ItemList;
  std::vector<std::unique_ptr<TChar>> CharList;
  std::int32_t LastItemIndex = 0;
  std::string DefaultAccount;

  // Raises LastItemIndex to the highest Index present.
  void SyncLastItemIndex();
  // max(LastItemIndex, highest Index) + 1, which also becomes LastItemIndex.
  std::int32_t NewItemIndex();
  // The last item whose Index equals number, or nullptr.
  TD2Item* FindItem(std::int32_t number) const;
  // Position of the first item whose Index equals number, or -1 (the item window's rule).
  int FindFirstItemPos(std::int32_t number) const;

  // Deletes the item at position: every entry of its number leaves every
  // character, then the item is freed and removed.
  void DeleteItemAt(int position);
  // Replaces the item at position by replacement, which takes the old Index.
  void ReplaceItemAt(int position, std::unique_ptr<TD2Item> replacement);

  // Character names compared with A..Z folded.
  bool CharNameExists(std::string_view name) const;
  // The last row whose name matches, or -1.
  int FindCharRow(std::string_view name) const;

  void ClearItems();  // frees every item, last to first
  void ClearChars();  // frees every character, last to first
  void FreeItems() { ClearItems(); }
  void FreeChars() { ClearChars(); }
};

// Number -> item (the last one with that number, as FindItem), built once for
// listing many entries without scanning the whole database for each.
class ItemLookup {
 public:
  explicit ItemLookup(const TCatalogue& catalogue);
  TD2Item* Find(std::int32_t number) const;

 private:
  std::unordered_map<std::int32_t, TD2Item*> byNumber_;
};

}  // namespace kistora
