// The items of a list by number, for finding the n-th item of a number
// without a pass over the list: the list itself when its numbers only grow
// (the usual case), else a sorted table of (number, position).
#pragma once

#include <cstdint>
#include <vector>

#include "model/items.h"

namespace kistora {

class NumberIndex {
 public:
  struct Entry {
    std::int32_t Number = 0;
    std::uint32_t Position = 0;  // in the list
  };

  explicit NumberIndex(const ItemVector& items);
  // In ascending number order; the items of one number in list order.
  const std::vector<Entry>& Entries() const { return entries_; }
  // Place in Entries() of the first entry of number, or -1.
  int FindFirst(std::int32_t number) const;

 private:
  std::vector<Entry> entries_;
  mutable std::size_t hint_ = 0;  // where the last search ended: lists are mostly read in order
};

}  // namespace kistora
