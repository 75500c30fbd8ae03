#include "heap_meter.h"

#include <malloc.h>

#include <cstdlib>
#include <new>

namespace {

// Block size as the allocator hands it out, plus its 8-byte header.
std::size_t current = 0;
std::size_t peak = 0;

void* Allocate(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  current += malloc_usable_size(p) + sizeof(void*);
  if (current > peak) peak = current;
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

std::size_t HeapMeter::Current() { return current; }
std::size_t HeapMeter::Peak() { return peak; }
void HeapMeter::ResetPeak() { peak = current; }

}  // namespace kistora::bench
