// Where items live. A million items loaded one after another would be a
// million malloc calls, each with its header, and about 45,000 page faults as
// the heap grows page by page. Items are instead cut one after another from
// blocks mapped whole (already backed by memory), each block counting the
// items alive in it and given back to the system when none is left.
//
// The room of an item deleted is not reused before its whole block is free: a
// catalogue changes by a few items at a time and keeps its old items for undo,
// so the blocks of a loaded catalogue stay full; a reload drops them whole.
#pragma once

#include <cstddef>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define KISTORA_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KISTORA_ADDRESS_SANITIZER 1
#endif
#endif

namespace kistora::item_memory {

// Memory for one item of size bytes, 16-byte aligned. Safe from any thread.
// Throws std::bad_alloc when the system has no more.
void* Allocate(std::size_t size);
// Gives back what Allocate returned. Safe from any thread.
void Free(void* item) noexcept;

// Blocks mapped now (each returned to the system once empty), and their bytes.
std::size_t BlocksMapped() noexcept;
std::size_t BytesMapped() noexcept;

// What items are made with: the blocks, or under AddressSanitizer the heap,
// where it sees any use of an item after its delete.
#ifdef KISTORA_ADDRESS_SANITIZER
inline void* AllocateItem(std::size_t size) { return ::operator new(size); }
inline void FreeItem(void* item) noexcept { ::operator delete(item); }
#else
inline void* AllocateItem(std::size_t size) { return Allocate(size); }
inline void FreeItem(void* item) noexcept { Free(item); }
#endif

}  // namespace kistora::item_memory
