// A shared item: the catalogue, a background save's snapshot and the undo
// history may all hold the same item. The count of holders lives in the item
// itself (ItemRefCount), so sharing an item costs one pointer per holder and no
// allocation of its own: a million items are a million allocations, not two.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>

namespace kistora {

class TD2Item;

// The count of ItemPtr holding an item. A copy of an item is a new item that
// nobody holds yet, so copying or assigning an item leaves the count alone.
class ItemRefCount {
 public:
  ItemRefCount() = default;
  ItemRefCount(const ItemRefCount&) noexcept {}
  ItemRefCount& operator=(const ItemRefCount&) noexcept { return *this; }

 private:
  friend class ItemPtr;
  mutable std::atomic<std::uint32_t> count_{0};
};

// Holds an item, as std::shared_ptr would, the last holder deleting it. Safe
// to copy and drop from several threads, like std::shared_ptr; the item itself
// is never changed once shared (a change puts a new item in its place).
class ItemPtr {
 public:
  ItemPtr() noexcept = default;
  ItemPtr(std::nullptr_t) noexcept {}  // NOLINT: as std::shared_ptr, from nullptr
  // Takes over an item just made (the usual way in: std::make_unique<TD2Ring>()).
  template <typename T, typename = std::enable_if_t<std::is_convertible_v<T*, TD2Item*>>>
  ItemPtr(std::unique_ptr<T>&& item) noexcept : item_(item.release()) {  // NOLINT: as std::shared_ptr
    Retain();
  }
  ItemPtr(const ItemPtr& other) noexcept : item_(other.item_) { Retain(); }
  // One more holder of an item that an ItemPtr already holds (the count is in
  // the item, so the pointer alone is enough to join them).
  static ItemPtr Share(const TD2Item& held) noexcept {
    ItemPtr ptr;
    ptr.item_ = const_cast<TD2Item*>(&held);  // NOLINT: items are never changed once shared
    ptr.Retain();
    return ptr;
  }
  ItemPtr(ItemPtr&& other) noexcept : item_(std::exchange(other.item_, nullptr)) {}
  ItemPtr& operator=(ItemPtr other) noexcept {
    std::swap(item_, other.item_);
    return *this;
  }
  ~ItemPtr() { Release(); }

  TD2Item* get() const noexcept { return item_; }
  TD2Item& operator*() const noexcept { return *item_; }
  TD2Item* operator->() const noexcept { return item_; }
  explicit operator bool() const noexcept { return item_ != nullptr; }
  void reset() noexcept { ItemPtr().swap(*this); }
  void swap(ItemPtr& other) noexcept { std::swap(item_, other.item_); }
  // How many holders the item has (0 for none): for tests and checks only.
  std::uint32_t use_count() const noexcept;

  friend bool operator==(const ItemPtr& a, const ItemPtr& b) noexcept { return a.item_ == b.item_; }
  friend bool operator==(const ItemPtr& a, std::nullptr_t) noexcept { return a.item_ == nullptr; }

 private:
  void Retain() const noexcept;
  void Release() noexcept;

  TD2Item* item_ = nullptr;
};

}  // namespace kistora
