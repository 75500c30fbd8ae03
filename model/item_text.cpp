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
  SetPointer(heap, text.size(), kOnHeap);
}

void ItemText::SetPointer(const char* bytes, std::size_t size, char kind) noexcept {
  const auto n = static_cast<std::uint32_t>(size);
  std::memcpy(bytes_, &bytes, sizeof bytes);
  std::memcpy(bytes_ + sizeof bytes, &n, sizeof n);
  bytes_[kLast] = kind;
}

void ItemText::PointAt(const char* bytes, std::size_t size) {
  if (size <= kInPlace || size > UINT32_MAX) {
    Assign({bytes, size});  // short texts are better in place
    return;
  }
  Free();
  SetPointer(bytes, size, kInRoom);
}

std::ostream& operator<<(std::ostream& out, const ItemText& text) { return out << text.view(); }

}  // namespace kistora
