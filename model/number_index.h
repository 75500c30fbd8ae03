// The items of a list by number, for finding the n-th item of a number
// without a pass over the list: the list itself when its numbers only grow
// (the usual case: no table of a million entries), else a sorted table of
// (number, position).
#pragma once

#include <cstdint>
#include <vector>

#include "model/items.h"

namespace kistora {

class NumberIndex {
 public:
  explicit NumberIndex(const ItemVector& items);
  // Places 0..Size()-1 go through the items in ascending number order, the
  // items of one number in list order.
  std::size_t Size() const { return items_.size(); }
  std::uint32_t PositionAt(std::size_t place) const {
    return ordered_ ? static_cast<std::uint32_t>(place) : order_[place];
  }
  std::int32_t NumberAt(std::size_t place) const { return items_[PositionAt(place)]->Index; }
  // The place of the first item of number, or -1.
  int FindFirst(std::int32_t number) const;

 private:
  const ItemVector& items_;
  bool ordered_ = true;
  std::vector<std::uint32_t> order_;  // positions by number, when the list is out of order
  mutable std::size_t hint_ = 0;      // where the last search ended: lists are mostly read in order
};

}  // namespace kistora
