#include "alloc_probe.h"

#include <cstdlib>
#include <new>

namespace {

bool watching = false;
std::size_t largest = 0;
std::size_t total = 0;

void* Allocate(std::size_t size) {
  if (watching) {
    if (size > largest) largest = size;
    total += size;
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
// The nothrow forms too (std::stable_sort's buffer uses them), so that every
// block is freed by the allocator that gave it.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace kistora::test {

AllocProbe::AllocProbe() {
  largest = 0;
  total = 0;
  watching = true;
}
AllocProbe::~AllocProbe() { watching = false; }
std::size_t AllocProbe::Largest() const { return largest; }
std::size_t AllocProbe::Total() const { return total; }

}  // namespace kistora::test
