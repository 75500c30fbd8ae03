// The blocks items are cut from: no two items share bytes, and a block goes
// back to the system once its last item is freed, from whichever thread.
#include "model/item_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace kistora {
namespace {

TEST(ItemMemory, ItemsNeverOverlapAndEveryBlockGoesBackWithItsLastItem) {
  const std::size_t before = item_memory::BlocksMapped();
  struct Made {
    void* at;
    std::size_t size;
  };
  std::vector<Made> made;
  // Made on a thread that ends before they are freed, as a load on a worker would.
  std::thread maker([&] {
    for (std::size_t i = 0; i < 60000; ++i) {
      const std::size_t size = i % 1000 == 1 ? 100000 : 24 + i % 200;  // now and then one with a block of its own
      void* at = item_memory::Allocate(size);
      std::memset(at, static_cast<int>(i % 251), size);
      made.push_back({at, size});
    }
  });
  maker.join();
  EXPECT_GT(item_memory::BlocksMapped(), before + 60);
  for (std::size_t i = 0; i < made.size(); ++i) {
    const auto* bytes = static_cast<const unsigned char*>(made[i].at);
    ASSERT_EQ(reinterpret_cast<std::uintptr_t>(bytes) % 16, 0u);
    ASSERT_EQ(bytes[0], i % 251) << i;
    ASSERT_EQ(bytes[made[i].size - 1], i % 251) << i;
  }
  // Every other item first: the blocks stay, each still holding items.
  const std::size_t mapped = item_memory::BlocksMapped();
  for (std::size_t i = 1; i < made.size(); i += 2) item_memory::Free(made[i].at);
  EXPECT_EQ(item_memory::BlocksMapped(), mapped - 60);  // only the big items' own blocks went
  for (std::size_t i = 0; i < made.size(); i += 2) item_memory::Free(made[i].at);
  EXPECT_EQ(item_memory::BlocksMapped(), before);
}

}  // namespace
}  // namespace kistora
