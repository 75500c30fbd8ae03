#include "model/item_counts.h"

namespace kistora {

namespace {

constexpr char kEmDash[] = "\x97";

bool Singular(std::int64_t count) { return count == 0 || count == 1; }

}  // namespace

std::string GroupedNumber(std::int64_t value) {
  // Digits from the last, as an unsigned magnitude so that INT64_MIN works too.
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  std::string reversed;
  int digits = 0;
  do {
    if (digits > 0 && digits % 3 == 0) reversed.push_back('\xA0');
    reversed.push_back(static_cast<char>('0' + magnitude % 10));
    magnitude /= 10;
    ++digits;
  } while (magnitude != 0);
  if (value < 0) reversed.push_back('-');
  return std::string(reversed.rbegin(), reversed.rend());
}

std::string ItemWindowCountText(std::int64_t shown, std::int64_t total, std::int64_t value) {
  const char* noun = Singular(shown) ? " objet affich\xE9 sur " : " objets affich\xE9s sur ";
  return GroupedNumber(shown) + noun + GroupedNumber(total) + " " + kEmDash + " valeur totale " + GroupedNumber(value);
}

std::string InventoryCountText(const ItemTotals& totals) {
  const char* noun = Singular(totals.Count) ? " objet " : " objets ";
  return GroupedNumber(totals.Count) + noun + kEmDash + " valeur " + GroupedNumber(totals.Value);
}

}  // namespace kistora
