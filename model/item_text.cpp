#include "model/item_text.h"

#include <ostream>
#include <stdexcept>

namespace kistora {

void ItemText::Set(std::string_view text) {
  Clear();
  if (text.size() <= kInPlace) {
    if (!text.empty()) std::memcpy(bytes_, text.data(), text.size());  // an empty view may have no data
    bytes_[kLast] = static_cast<char>(text.size());
    return;
  }
  // The files hold lengths as 32-bit counts: no item text is longer.
  if (text.size() > UINT32_MAX) throw std::length_error("item text too long");
  char* heap = new char[text.size()];
  std::memcpy(heap, text.data(), text.size());
  const auto n = static_cast<std::uint32_t>(text.size());
  std::memcpy(bytes_, &heap, sizeof heap);
  std::memcpy(bytes_ + sizeof heap, &n, sizeof n);
  bytes_[kLast] = kOnHeap;
}

std::ostream& operator<<(std::ostream& out, const ItemText& text) { return out << text.view(); }

}  // namespace kistora
