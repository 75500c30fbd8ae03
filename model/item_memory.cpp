#include "model/item_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <new>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23  // Linux 5.14; older headers lack the name
#endif

namespace kistora::item_memory {

namespace {

// Every block starts at a multiple of kAlign, so the header of an item's block
// is found from the item's address alone.
constexpr std::size_t kAlign = std::size_t{4} << 20;
constexpr std::size_t kFirstBlock = std::size_t{256} << 10;  // a small catalogue maps little
constexpr std::size_t kHeader = 64;                          // a cache line of its own for the count
// A bigger item (texts of tens of kilobytes) gets a block of its own; any
// smaller one fits in a fresh block of any size.
constexpr std::size_t kBiggestCut = kFirstBlock / 4;

struct Block {
  // Items alive in the block, plus one while a thread still cuts from it.
  std::atomic<std::size_t> holds;
  std::size_t mapped;
};
static_assert(sizeof(Block) <= kHeader);

std::atomic<std::size_t> blocksMapped{0};
std::atomic<std::size_t> bytesMapped{0};

std::size_t RoundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

Block* BlockOf(void* item) {
  return reinterpret_cast<Block*>(reinterpret_cast<std::uintptr_t>(item) & ~std::uintptr_t{kAlign - 1});
}

Block* MapBlock(std::size_t bytes, std::size_t holds) {
  bytes = RoundUp(bytes, static_cast<std::size_t>(::sysconf(_SC_PAGESIZE)));
  // Map more than needed to find an aligned start, then give back the rest.
  const std::size_t span = bytes + kAlign;
  void* mapped = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const auto base = reinterpret_cast<std::uintptr_t>(mapped);
  const std::uintptr_t start = RoundUp(base, kAlign);
  if (start > base) ::munmap(mapped, start - base);
  if (const std::size_t tail = base + span - (start + bytes); tail > 0)
    ::munmap(reinterpret_cast<void*>(start + bytes), tail);
  // Backed by memory in one call rather than one page fault per page; an older
  // kernel without it falls back to the faults.
  ::madvise(reinterpret_cast<void*>(start), bytes, MADV_POPULATE_WRITE);
  auto* block = new (reinterpret_cast<void*>(start)) Block{{holds}, bytes};
  blocksMapped.fetch_add(1, std::memory_order_relaxed);
  bytesMapped.fetch_add(bytes, std::memory_order_relaxed);
  return block;
}

void Release(Block* block) noexcept {
  if (block->holds.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
  const std::size_t bytes = block->mapped;
  block->~Block();
  ::munmap(block, bytes);
  blocksMapped.fetch_sub(1, std::memory_order_relaxed);
  bytesMapped.fetch_sub(bytes, std::memory_order_relaxed);
}

// The block this thread cuts items from.
struct Cutter {
  Block* block = nullptr;
  char* at = nullptr;
  char* end = nullptr;
  std::size_t nextSize = kFirstBlock;

  Cutter() = default;
  Cutter(const Cutter&) = delete;
  Cutter& operator=(const Cutter&) = delete;
  ~Cutter() {
    if (block != nullptr) Release(block);
  }

  void StartBlock() {
    Block* fresh = MapBlock(nextSize, 1);
    if (block != nullptr) Release(block);
    block = fresh;
    at = reinterpret_cast<char*>(fresh) + kHeader;
    end = reinterpret_cast<char*>(fresh) + fresh->mapped;
    nextSize = std::min(nextSize * 2, kAlign);
  }
};

thread_local Cutter cutter;

}  // namespace

void* Allocate(std::size_t size) {
  size = RoundUp(std::max<std::size_t>(size, 1), 16);
  if (size > kBiggestCut) {
    if (size > SIZE_MAX - kHeader - kAlign) throw std::bad_alloc();
    return reinterpret_cast<char*>(MapBlock(kHeader + size, 1)) + kHeader;
  }
  if (cutter.block == nullptr || static_cast<std::size_t>(cutter.end - cutter.at) < size) cutter.StartBlock();
  cutter.block->holds.fetch_add(1, std::memory_order_relaxed);
  void* item = cutter.at;
  cutter.at += size;
  return item;
}

void Free(void* item) noexcept {
  if (item != nullptr) Release(BlockOf(item));
}

std::size_t BlocksMapped() noexcept { return blocksMapped.load(std::memory_order_relaxed); }
std::size_t BytesMapped() noexcept { return bytesMapped.load(std::memory_order_relaxed); }

}  // namespace kistora::item_memory
