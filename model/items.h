// The catalogued item: one class per category, the code tables with their
// French labels, and the set name and set title of an item name.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/item_memory.h"
#include "model/item_ptr.h"
#include "model/item_text.h"
#include "model/property_lines.h"

namespace kistora {

// The texts of an item as a file stores them (the property lines packed as
// PropertyLines packs them), read before the item is made so that it can be
// made with room for them (CreateItemFromTag).
struct StoredItemTexts {
  std::string_view name;
  std::string_view notes;
  std::string_view packedLines;
};

class TD2Item {
 public:
  TD2Item() = default;
  virtual ~TD2Item() = default;

  // An item loaded from a file is made in one allocation with room after it for
  // its texts (a million items: a million allocations, not three million). Its
  // texts then point into that room, which goes with the item. Items come from
  // blocks of their own (item_memory).
  struct TextRoom {
    std::size_t bytes;
  };
  static void* operator new(std::size_t size) { return item_memory::AllocateItem(size); }
  static void* operator new(std::size_t size, TextRoom room) { return item_memory::AllocateItem(size + room.bytes); }
  static void operator delete(void* item) noexcept { item_memory::FreeItem(item); }
  static void operator delete(void* item, TextRoom) noexcept { item_memory::FreeItem(item); }
  // The class's tag in items.kdb (ClassTag below): asked of every item at every
  // save and listing, so a virtual call rather than a chain of dynamic_casts.
  virtual std::uint8_t Tag() const { return 0; }

  std::int32_t Index = 0;

 private:
  friend class ItemPtr;
  // Who holds the item (ItemPtr); declared here to fill the gap after Index.
  ItemRefCount refs_;

 public:
  ItemText Name;
  ItemText Notes;
  // Before the numbers, so that a subclass's own numbers fill the room left after them.
  PropertyLines MagicProps;
  std::uint8_t Quality = 0;
  std::int32_t Price = 0;
  std::int32_t CLvl = 0;
  std::int32_t Str = 0;
  std::int32_t Dex = 0;
  std::int32_t Dur = 0;
  std::int32_t MaxDur = 0;
};

class TD2DefItem : public TD2Item {
 public:
  std::int32_t Def = 0;
};

class TD2Gloves : public TD2DefItem {
 public:
  std::uint8_t Tag() const override { return 1; }
};
class TD2Boots : public TD2DefItem {
 public:
  std::uint8_t Tag() const override { return 11; }
};
class TD2Belt : public TD2DefItem {
 public:
  std::uint8_t Tag() const override { return 2; }
};
class TD2Helm : public TD2DefItem {
 public:
  std::uint8_t Tag() const override { return 3; }
};
class TD2Armor : public TD2DefItem {
 public:
  std::uint8_t Tag() const override { return 5; }
};

class TD2Shield : public TD2DefItem {
 public:
  std::uint8_t Tag() const override { return 4; }
  std::int32_t Parade = 0;
};

class TD2Weapon : public TD2Item {
 public:
  std::uint8_t Tag() const override { return 6; }
  std::int32_t MinDmg = 0;
  std::int32_t MaxDmg = 0;
  std::int32_t Speed = 0;
};

class TD2Amulet : public TD2Item {
 public:
  std::uint8_t Tag() const override { return 7; }
};
class TD2Ring : public TD2Item {
 public:
  std::uint8_t Tag() const override { return 8; }
};
class TD2Charm : public TD2Item {
 public:
  std::uint8_t Tag() const override { return 9; }
};
class TD2Jewel : public TD2Item {
 public:
  std::uint8_t Tag() const override { return 10; }
};

// The items of a catalogue. Shared so that a save in the background can hold the
// items it writes while the catalogue moves on: an item in a catalogue is never
// changed in place, an operation that modifies one puts a new object there.
using ItemVector = std::vector<ItemPtr>;

inline void ItemPtr::Retain() const noexcept {
  if (item_) item_->refs_.count_.fetch_add(1, std::memory_order_relaxed);
}

inline void ItemPtr::Release() noexcept {
  // The last holder deletes; acquire-release so that its delete sees every
  // other holder's reads done.
  if (item_ && item_->refs_.count_.fetch_sub(1, std::memory_order_acq_rel) == 1) delete item_;
  item_ = nullptr;
}

inline std::uint32_t ItemPtr::use_count() const noexcept {
  return item_ ? item_->refs_.count_.load(std::memory_order_relaxed) : 0;
}

// Class tag of items.kdb: 0 bare item, 1 gloves ... 10 jewel, 11 boots.
std::uint8_t ClassTag(const TD2Item& item);
// A tag of 12..255 (or 0) gives a bare TD2Item. With texts, the item is made
// with room for them and holds them (the rest of its fields stay blank).
std::unique_ptr<TD2Item> CreateItemFromTag(std::uint8_t tag, const StoredItemTexts& texts = {});
// The numbers a category keeps after the common ones, in stored order: Def for
// gloves, boots, belts, helms and armours; Def then Parade for shields; MinDmg,
// MaxDmg then Speed for weapons; none for the other categories. The tag decides.
struct ClassNumbers {
  std::array<std::int32_t, 3> Values{};
  std::size_t Count = 0;
};
ClassNumbers ClassNumbersOf(const TD2Item& item);
// How many numbers an item of that tag keeps after the common ones.
std::size_t ClassNumberCount(std::uint8_t tag);
// Gives item the first ClassNumberCount(its tag) of values.
void SetClassNumbers(TD2Item& item, const std::int32_t* values);
// The class named by a dialog category label ("Amulette" ... "Joyaux"); nullptr for any other text.
std::unique_ptr<TD2Item> CreateItemFromDialogLabel(std::string_view label);
// "TD2Ring", "TD2Item"... (for dumps and messages).
std::string ClassName(const TD2Item& item);

// Category label as the two lists show it ("Joyau"); empty for a bare item.
std::string ListCategoryLabel(const TD2Item& item);
// Category label of the item properties dialog and the export ("Joyaux"); empty for a bare item.
std::string DialogCategoryLabel(const TD2Item& item);
// "Normal" (0) ... "Unique" (5); empty for any other code.
std::string QualityLabel(int code);
// The same two labels as views of the program's own constant texts, for lists
// that show a million rows without a copy of each.
std::string_view ListCategoryLabelView(const TD2Item& item);
std::string_view QualityLabelView(int code);
// "Très lente" (0) ... "Très rapide" (4); "Normale" for any other code.
std::string SpeedLabel(std::int32_t code);

// The dialog's entries, in the dialog's order (Windows-1252).
extern const std::array<const char*, 11> kDialogCategories;  // "Amulette" ... "Joyaux"
extern const std::array<const char*, 6> kDialogQualities;    // "Unique" ... "Normal"
extern const std::array<const char*, 5> kSpeedLabels;        // code order
// Quality code of a dialog quality label; 0 for anything else.
int QualityFromLabel(std::string_view label);

// Set name: the lower-cased text after the last French connector (de, d', du, des).
std::string SetName(const TD2Item& item);
std::string SetName(std::string_view name);
// "Set: Piece" in the name's own case.
std::string SetTitle(const TD2Item& item);
std::string SetTitle(std::string_view name);

}  // namespace kistora
