#include "model/number_index.h"

#include <algorithm>

namespace kistora {

NumberIndex::NumberIndex(const ItemVector& items) {
  entries_.reserve(items.size());
  bool ordered = true;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::int32_t number = items[i]->Index;
    if (!entries_.empty() && number < entries_.back().Number) ordered = false;
    entries_.push_back({number, static_cast<std::uint32_t>(i)});
  }
  if (!ordered) {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.Number < b.Number; });
  }
}

int NumberIndex::FindFirst(std::int32_t number) const {
  // The entry after the last one found is the usual answer.
  for (std::size_t at : {hint_, hint_ + 1}) {
    if (at < entries_.size() && entries_[at].Number == number && (at == 0 || entries_[at - 1].Number != number)) {
      hint_ = at;
      return static_cast<int>(at);
    }
  }
  const auto found = std::lower_bound(entries_.begin(), entries_.end(), number,
                                      [](const Entry& e, std::int32_t n) { return e.Number < n; });
  if (found == entries_.end() || found->Number != number) return -1;
  hint_ = static_cast<std::size_t>(found - entries_.begin());
  return static_cast<int>(hint_);
}

}  // namespace kistora
