// Counts the heap bytes held through operator new (with the allocator's real
// block sizes), and the blocks items are cut from, to measure what a loaded
// catalogue costs in memory.
#pragma once

#include <cstddef>

namespace kistora::bench {

struct HeapMeter {
  static std::size_t Current();
  static std::size_t Peak();
  static void ResetPeak();  // the peak starts again from the current amount
};

}  // namespace kistora::bench
