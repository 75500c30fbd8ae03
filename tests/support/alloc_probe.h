// Watches heap allocations made through operator new, to show that a loader
// given a hostile file never allocates in proportion to the counts it claims.
#pragma once

#include <cstddef>

namespace kistora::test {

class AllocProbe {
 public:
  AllocProbe();
  ~AllocProbe();
  std::size_t Largest() const;  // largest single request since construction
  std::size_t Total() const;    // sum of all requests since construction
};

}  // namespace kistora::test
