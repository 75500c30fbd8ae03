#include "heap_meter.h"

#include <malloc.h>

#include <algorithm>
#include <cstdlib>
#include <new>

#include "model/item_memory.h"

namespace {

// Block size as the allocator hands it out, plus its 8-byte header.
std::size_t current = 0;
std::size_t peak = 0;

void* Allocate(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  current += malloc_usable_size(p) + sizeof(void*);
  peak = std::max(peak, current + kistora::item_memory::BytesMapped());
  return p;
}

void Release(void* p) {
  if (p == nullptr) return;
  current -= malloc_usable_size(p) + sizeof(void*);
  std::free(p);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }

namespace kistora::bench {

std::size_t HeapMeter::Current() { return current + item_memory::BytesMapped(); }
std::size_t HeapMeter::Peak() { return std::max(peak, Current()); }
void HeapMeter::ResetPeak() { peak = Current(); }

}  // namespace kistora::bench
