#include "model/catalogue.h"

#include <algorithm>
#include <limits>
#include <unordered_set>

#include "model/catalogue_edit.h"
#include "model/text_utils.h"

namespace kistora {

int TChar::AddItem(std::int32_t number) {
  Items.push_back(number);
  return static_cast<int>(Items.size()) - 1;
}

void TChar::RemoveItem(std::int32_t number) {
  const auto it = std::find(Items.begin(), Items.end(), number);
  if (it != Items.end()) Items.erase(it);
}

void TChar::RemoveItemAt(int position) {
  if (position < 0 || position >= ItemCount()) return;
  Items.erase(Items.begin() + position);
}

bool TChar::HoldsItem(std::int32_t number) const {
  return std::find(Items.begin(), Items.end(), number) != Items.end();
}

const TCatalogue::ItemScan& TCatalogue::ScanItems() const {
  if (scan_.Data != ItemList.data() || scan_.Count > ItemList.size()) scan_ = ItemScan{.Data = ItemList.data()};
  for (std::size_t i = scan_.Count; i < ItemList.size(); ++i) {
    const TD2Item* item = ItemList[i].get();
    if (!item) {
      scan_.InOrder = false;
      continue;
    }
    scan_.Highest = std::max(scan_.Highest, item->Index);
    if (item->Index < scan_.LastNumber) scan_.InOrder = false;
    scan_.LastNumber = item->Index;
  }
  scan_.Count = ItemList.size();
  return scan_;
}

void TCatalogue::SyncLastItemIndex() {
  const std::int32_t highest = ScanItems().Highest;
  if (highest > LastItemIndex) LastItemIndex = highest;
}

std::int32_t TCatalogue::NewItemIndex() {
  SyncLastItemIndex();
  if (LastItemIndex < std::numeric_limits<std::int32_t>::max()) return ++LastItemIndex;
  // The counter is at the top of its range (only a doctored options file gets
  // there). Wrapping would hand out numbers already in use, so the new item takes
  // the lowest positive number that no item and no character refers to.
  std::unordered_set<std::int32_t> used;
  for (const auto& item : ItemList) used.insert(item->Index);
  for (const auto& character : CharList) used.insert(character->Items.begin(), character->Items.end());
  std::int32_t number = 1;
  while (used.count(number) != 0) ++number;
  return number;
}

TD2Item* TCatalogue::FindItem(std::int32_t number) const {
  if (ItemsInNumberOrder()) {
    const auto above = std::upper_bound(ItemList.begin(), ItemList.end(), number,
                                        [](std::int32_t wanted, const auto& item) { return wanted < item->Index; });
    return above != ItemList.begin() && (*(above - 1))->Index == number ? (above - 1)->get() : nullptr;
  }
  TD2Item* found = nullptr;
  for (const auto& item : ItemList) {
    if (item->Index == number) found = item.get();
  }
  return found;
}

int TCatalogue::FindFirstItemPos(std::int32_t number) const {
  if (ItemsInNumberOrder()) {
    const auto first = std::lower_bound(ItemList.begin(), ItemList.end(), number,
                                        [](const auto& item, std::int32_t wanted) { return item->Index < wanted; });
    return first != ItemList.end() && (*first)->Index == number ? static_cast<int>(first - ItemList.begin()) : -1;
  }
  for (std::size_t i = 0; i < ItemList.size(); ++i) {
    if (ItemList[i]->Index == number) return static_cast<int>(i);
  }
  return -1;
}

bool TCatalogue::CharNameExists(std::string_view name) const { return FindCharRow(name) >= 0; }

int TCatalogue::FindCharRow(std::string_view name) const {
  const std::string wanted = LowerAscii(name);
  for (std::size_t i = CharList.size(); i-- > 0;) {
    if (LowerAscii(CharList[i]->Name) == wanted) return static_cast<int>(i);
  }
  return -1;
}

const TChar* TCatalogue::CharAt(int row) const {
  return ValidRow(row) ? CharList[static_cast<std::size_t>(row)].get() : nullptr;
}

std::int32_t TCatalogue::AddNewItem(std::unique_ptr<TD2Item> item) {
  item->Index = NewItemIndex();
  const std::int32_t number = item->Index;
  const bool scannedAll = scan_.Data == ItemList.data() && scan_.Count == ItemList.size();
  ItemList.push_back(std::move(item));
  // A grown buffer holds the same items: what was read of them still holds.
  if (scannedAll) scan_.Data = ItemList.data();
  const int position = static_cast<int>(ItemList.size()) - 1;
  if (recorder_) recorder_->Record(edit::ItemInserted{position, ItemList.back()});
  Notify({.Kind = ChangeKind::ItemAdded, .Position = position, .Number = number});
  return number;
}

bool TCatalogue::ModifyItem(std::int32_t number, std::unique_ptr<TD2Item> replacement) {
  const int position = FindFirstItemPos(number);
  if (position < 0 || !replacement) return false;
  ReplaceItemAt(position, std::move(replacement));
  return true;
}

bool TCatalogue::DeleteItem(std::int32_t number) {
  const int position = FindFirstItemPos(number);
  if (position < 0) return false;
  DeleteItemAt(position);
  return true;
}

void TCatalogue::ReplaceItemAt(int position, std::unique_ptr<TD2Item> replacement) {
  if (!replacement || position < 0 || static_cast<std::size_t>(position) >= ItemList.size()) return;
  auto& slot = ItemList[static_cast<std::size_t>(position)];
  replacement->Index = slot->Index;
  ItemPtr replaced = std::exchange(slot, std::move(replacement));
  if (recorder_) recorder_->Record(edit::ItemReplaced{position, std::move(replaced)});
  Notify({.Kind = ChangeKind::ItemModified, .Position = position, .Number = slot->Index});
}

void TCatalogue::DeleteItemAt(int position) {
  if (position < 0 || static_cast<std::size_t>(position) >= ItemList.size()) return;
  const std::int32_t number = ItemList[static_cast<std::size_t>(position)]->Index;
  std::vector<EntryPlace> entries;  // where the number was, for taking the deletion back
  for (std::size_t row = 0; row < CharList.size(); ++row) {
    auto& items = CharList[row]->Items;
    for (std::size_t i = 0; i < items.size(); ++i) {
      if (items[i] == number) entries.push_back({static_cast<int>(row), static_cast<int>(i)});
    }
    items.erase(std::remove(items.begin(), items.end(), number), items.end());
  }
  ItemPtr item = std::move(ItemList[static_cast<std::size_t>(position)]);
  ItemList.erase(ItemList.begin() + position);
  // The items after it move up one place: still read, still in order.
  if (static_cast<std::size_t>(position) < scan_.Count) --scan_.Count;
  if (recorder_) recorder_->Record(edit::ItemErased{position, std::move(item), std::move(entries)});
  Notify({.Kind = ChangeKind::ItemDeleted, .Position = position, .Number = number});
}

int TCatalogue::AddChar(std::unique_ptr<TChar> character) {
  CharList.push_back(std::move(character));
  const int row = static_cast<int>(CharList.size()) - 1;
  if (recorder_) recorder_->Record(edit::CharInserted{row, nullptr});
  Notify({.Kind = ChangeKind::CharAdded, .Row = row});
  return row;
}

bool TCatalogue::ModifyChar(int row, const TChar& fields) {
  if (!ValidRow(row)) return false;
  TChar& character = *CharList[static_cast<std::size_t>(row)];
  auto before = std::make_unique<TChar>();
  before->Name = std::exchange(character.Name, fields.Name);
  before->Account = std::exchange(character.Account, fields.Account);
  before->Class = std::exchange(character.Class, fields.Class);
  before->Level = std::exchange(character.Level, fields.Level);
  before->Notes = std::exchange(character.Notes, fields.Notes);
  if (recorder_) recorder_->Record(edit::CharTexts{row, std::move(before)});
  Notify({.Kind = ChangeKind::CharModified, .Row = row});
  return true;
}

bool TCatalogue::RemoveChar(int row) {
  if (!ValidRow(row)) return false;
  std::unique_ptr<TChar> removed = std::move(CharList[static_cast<std::size_t>(row)]);
  CharList.erase(CharList.begin() + row);
  if (recorder_) recorder_->Record(edit::CharErased{row, std::move(removed)});
  Notify({.Kind = ChangeKind::CharRemoved, .Row = row});
  return true;
}

bool TCatalogue::SwapChars(int row, int otherRow) {
  if (!ValidRow(row) || !ValidRow(otherRow) || row == otherRow) return false;
  std::swap(CharList[static_cast<std::size_t>(row)], CharList[static_cast<std::size_t>(otherRow)]);
  if (recorder_) recorder_->Record(edit::CharsSwapped{row, otherRow});
  Notify({.Kind = ChangeKind::CharsSwapped, .Row = row, .OtherRow = otherRow});
  return true;
}

bool TCatalogue::AddItemToChar(int row, std::int32_t number) {
  if (!ValidRow(row)) return false;
  const int position = CharList[static_cast<std::size_t>(row)]->AddItem(number);
  if (recorder_) recorder_->Record(edit::EntryInserted{row, position, number});
  Notify({.Kind = ChangeKind::InventoryChanged, .Row = row, .Number = number});
  return true;
}

bool TCatalogue::RemoveInventoryEntry(int row, int position) {
  if (!ValidRow(row)) return false;
  TChar& character = *CharList[static_cast<std::size_t>(row)];
  if (position < 0 || position >= character.ItemCount()) return false;
  const std::int32_t number = character.ItemAt(position);
  character.RemoveItemAt(position);
  if (recorder_) recorder_->Record(edit::EntryErased{row, position, number});
  Notify({.Kind = ChangeKind::InventoryChanged, .Row = row, .Number = number});
  return true;
}

void TCatalogue::ReplaceContent(ItemVector items, std::vector<std::unique_ptr<TChar>> characters) {
  ExchangeContent(items, characters);
  // What was there before: the history keeps it whole (without the room a
  // growing list keeps, up to as much again), else it goes now.
  if (recorder_) {
    items.shrink_to_fit();
    recorder_->Record(edit::ContentReplaced{std::move(items), std::move(characters)});
  }
  Notify({.Kind = ChangeKind::Reset});
}

void TCatalogue::Clear() {
  ClearItems();
  ClearChars();
  NotifyReset();
}

void TCatalogue::NotifyReset() {
  Forget();
  Notify({.Kind = ChangeKind::Reset});
}

void TCatalogue::Forget() {
  if (recorder_) recorder_->Forget();
}

void TCatalogue::PutItemBack(int position, ItemPtr item, const std::vector<EntryPlace>& entries) {
  const auto at = static_cast<std::size_t>(position);
  const std::int32_t number = item->Index;
  // What the scan has read of the list stays true once the item is back in
  // its place: its number counts, and the order holds if its neighbours agree.
  const bool scanValid = scan_.Data == ItemList.data() && scan_.Count <= ItemList.size();
  ItemList.insert(ItemList.begin() + position, std::move(item));
  if (scanValid) {
    if (at < scan_.Count) {
      ++scan_.Count;
      scan_.Highest = std::max(scan_.Highest, number);
      if ((at > 0 && ItemList[at - 1] && ItemList[at - 1]->Index > number) ||
          (ItemList[at + 1] && number > ItemList[at + 1]->Index))
        scan_.InOrder = false;
    }
    scan_.Data = ItemList.data();
  }
  for (const EntryPlace& place : entries) {
    auto& items = CharList[static_cast<std::size_t>(place.Row)]->Items;
    items.insert(items.begin() + place.Position, number);
  }
  Notify({.Kind = ChangeKind::ItemRestored, .Position = position, .Number = number});
}

void TCatalogue::SwapItemAt(int position, ItemPtr& other) {
  auto& slot = ItemList[static_cast<std::size_t>(position)];
  slot.swap(other);
  Notify({.Kind = ChangeKind::ItemModified, .Position = position, .Number = slot->Index});
}

void TCatalogue::InsertCharAt(int row, std::unique_ptr<TChar> character) {
  CharList.insert(CharList.begin() + row, std::move(character));
  Notify({.Kind = ChangeKind::CharAdded, .Row = row});
}

std::unique_ptr<TChar> TCatalogue::TakeCharAt(int row) {
  std::unique_ptr<TChar> taken = std::move(CharList[static_cast<std::size_t>(row)]);
  CharList.erase(CharList.begin() + row);
  Notify({.Kind = ChangeKind::CharRemoved, .Row = row});
  return taken;
}

void TCatalogue::InsertInventoryEntry(int row, int position, std::int32_t number) {
  auto& items = CharList[static_cast<std::size_t>(row)]->Items;
  items.insert(items.begin() + position, number);
  Notify({.Kind = ChangeKind::InventoryChanged, .Row = row, .Number = number});
}

void TCatalogue::SwapContent(ItemVector& items, std::vector<std::unique_ptr<TChar>>& characters) {
  ExchangeContent(items, characters);
  Notify({.Kind = ChangeKind::Reset});
}

void TCatalogue::ExchangeContent(ItemVector& items, std::vector<std::unique_ptr<TChar>>& characters) {
  ItemList.swap(items);
  CharList.swap(characters);
  scan_ = {};
  // Numbers handed out stay handed out, whatever the items now are.
  SyncLastItemIndex();
}

void TCatalogue::AddObserver(CatalogueObserver* observer) {
  if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
}

void TCatalogue::RemoveObserver(CatalogueObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void TCatalogue::Notify(const CatalogueChange& change) {
  // A copy: an observer may remove itself while it is told.
  const std::vector<CatalogueObserver*> observers = observers_;
  for (CatalogueObserver* observer : observers) observer->CatalogueChanged(change);
}

void TCatalogue::ClearItems() {
  while (!ItemList.empty()) ItemList.pop_back();
  scan_ = {};
}

void TCatalogue::ClearChars() {
  while (!CharList.empty()) CharList.pop_back();
}

ItemLookup::ItemLookup(const TCatalogue& catalogue)
    : items_(catalogue.ItemList), inNumberOrder_(catalogue.ItemsInNumberOrder()) {
  if (inNumberOrder_) return;
  byNumber_.reserve(items_.size());
  for (const auto& item : items_) {
    if (item) byNumber_.emplace_back(item->Index, item.get());
  }
  std::stable_sort(byNumber_.begin(), byNumber_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
}

TD2Item* ItemLookup::Find(std::int32_t number) const {
  // The last entry of that number: the one before the first entry above it.
  if (inNumberOrder_) {
    const auto above = std::upper_bound(items_.begin(), items_.end(), number,
                                        [](std::int32_t wanted, const auto& item) { return wanted < item->Index; });
    return above != items_.begin() && (*(above - 1))->Index == number ? (above - 1)->get() : nullptr;
  }
  const auto above = std::upper_bound(byNumber_.begin(), byNumber_.end(), number,
                                      [](std::int32_t wanted, const auto& entry) { return wanted < entry.first; });
  return above != byNumber_.begin() && (above - 1)->first == number ? (above - 1)->second : nullptr;
}

}  // namespace kistora
