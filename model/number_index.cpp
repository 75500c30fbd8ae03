#include "model/number_index.h"

#include <algorithm>

namespace kistora {

NumberIndex::NumberIndex(const ItemVector& items) : items_(items) {
  for (std::size_t i = 1; i < items_.size() && ordered_; ++i) ordered_ = items_[i - 1]->Index <= items_[i]->Index;
  if (ordered_) return;
  order_.resize(items_.size());
  for (std::uint32_t i = 0; i < order_.size(); ++i) order_[i] = i;
  std::stable_sort(order_.begin(), order_.end(),
                   [this](std::uint32_t a, std::uint32_t b) { return items_[a]->Index < items_[b]->Index; });
}

int NumberIndex::FindFirst(std::int32_t number) const {
  // The place after the last one found is the usual answer.
  for (std::size_t at : {hint_, hint_ + 1}) {
    if (at < Size() && NumberAt(at) == number && (at == 0 || NumberAt(at - 1) != number)) {
      hint_ = at;
      return static_cast<int>(at);
    }
  }
  std::size_t low = 0, high = Size();
  while (low < high) {
    const std::size_t middle = low + (high - low) / 2;
    if (NumberAt(middle) < number) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  if (low == Size() || NumberAt(low) != number) return -1;
  hint_ = low;
  return static_cast<int>(low);
}

}  // namespace kistora
