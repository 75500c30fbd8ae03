// What an item holds, as one number: the same for two items of the same
// contents whatever their numbers, the same from one run or machine to the
// next (a digest kept in a file still means the same item later). Two items
// of different contents get different digests but by a chance of one in 2^64.
#pragma once

#include <cstdint>

#include "model/items.h"

namespace kistora {

// The category, texts, property lines and every number of the item, its own
// number (Index) left out.
std::uint64_t ItemContentDigest(const TD2Item& item);

// Whether two items hold the same contents (their numbers left out), compared
// field by field.
bool SameItemContents(const TD2Item& a, const TD2Item& b);

}  // namespace kistora
