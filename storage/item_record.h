// An item as the item database file stores it: the record's magic "DBIt", the
// class tag, the common fields, the property lines, then the numbers of its
// category (ClassNumbersOf).
#pragma once

#include <cstdint>
#include <memory>

#include "model/items.h"

namespace kistora {

class TExtFileStream;

// Writes the whole record, magic and tag included.
void WriteItemRecord(TExtFileStream& stream, const TD2Item& item);
// Reads a record's fields after its class tag, in stored order, and makes the
// item of that tag (an item in one allocation with its texts). A read past the
// end leaves stream.ShortRead() set and the item partly blank.
std::unique_ptr<TD2Item> LoadItemRecord(TExtFileStream& stream, std::uint8_t tag);

}  // namespace kistora
