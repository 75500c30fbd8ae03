// What an item holds, as one number: the same for two items of the same
// contents whatever their numbers, the same from one run or machine to the
// next (a digest kept in a file still means the same item later). Two items
// of different contents get different digests but by a chance of one in 2^64.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "model/items.h"

namespace kistora {

// Everything an item holds but its number, as views of its texts: what two
// versions of an item are compared on, whether made or still in a file's buffer.
struct ItemContents {
  std::uint8_t Tag = 0;
  std::uint8_t Quality = 0;
  std::string_view Name;
  std::string_view Notes;
  std::string_view PackedLines;  // as PropertyLines packs them
  std::int32_t Price = 0, CLvl = 0, Str = 0, Dex = 0, Dur = 0, MaxDur = 0;
  ClassNumbers Own;

  bool operator==(const ItemContents& other) const {
    return Tag == other.Tag && Quality == other.Quality && Name == other.Name && Notes == other.Notes &&
           PackedLines == other.PackedLines && Price == other.Price && CLvl == other.CLvl && Str == other.Str &&
           Dex == other.Dex && Dur == other.Dur && MaxDur == other.MaxDur && Own.Values == other.Own.Values;
  }
};

ItemContents ContentsOf(const TD2Item& item);
std::uint64_t ContentDigest(const ItemContents& contents);

// The category, texts, property lines and every number of the item, its own
// number (Index) left out.
inline std::uint64_t ItemContentDigest(const TD2Item& item) { return ContentDigest(ContentsOf(item)); }
// Whether two items hold the same contents (their numbers left out), compared field by field.
inline bool SameItemContents(const TD2Item& a, const TD2Item& b) { return ContentsOf(a) == ContentsOf(b); }

// An item known only by its number and digest: a version of the item database
// kept small (a merge's common version between two runs).
struct NumberedDigest {
  std::int32_t Number = 0;
  std::uint64_t Digest = 0;
  bool operator==(const NumberedDigest&) const = default;
};

// A new item of the same category and contents under another number, owned by
// nobody yet (a shared item is never changed: a changed copy takes its place).
std::unique_ptr<TD2Item> CopyItem(const TD2Item& item, std::int32_t number);

}  // namespace kistora
