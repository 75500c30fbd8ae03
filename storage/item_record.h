// An item as the item database file stores it: the record's magic "DBIt", the
// class tag, the common fields, the property lines, then the numbers of its
// category (ClassNumbersOf).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/item_digest.h"
#include "model/items.h"

namespace kistora {

class TExtFileStream;

// One record's fields as read, before any item is made of them: reading
// another version of a catalogue makes items only of the records that differ.
struct ItemRecordFields {
  std::uint8_t Tag = 0;
  std::int32_t Number = 0;
  std::string Name;
  std::string Notes;
  std::string PackedLines;   // as PropertyLines packs them
  std::int32_t Common[7]{};  // quality (its lowest byte kept), price, level, strength, dexterity, durability, max
  std::int32_t Own[3]{};     // the category's numbers (ClassNumberCount of the tag)

  // Views of the fields above: valid while they are.
  ItemContents Contents() const;
};

// Writes the whole record, magic and tag included.
void WriteItemRecord(TExtFileStream& stream, const TD2Item& item);
// Reads a record's fields after its class tag, in stored order, into fields
// (whose buffers are reused). A read past the end leaves stream.ShortRead()
// set and the fields partly blank.
void ReadItemFields(TExtFileStream& stream, std::uint8_t tag, ItemRecordFields& fields);
// The item of those fields, made in one allocation with its texts.
std::unique_ptr<TD2Item> MakeItem(const ItemRecordFields& fields);
// ReadItemFields then MakeItem.
std::unique_ptr<TD2Item> LoadItemRecord(TExtFileStream& stream, std::uint8_t tag);

}  // namespace kistora
