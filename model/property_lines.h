// An item's magic-property lines, kept packed in one block of bytes: each line
// is its length (one byte, or 0xFF and four bytes from 255 on) then its bytes.
// A million items then cost one allocation each for their lines, of the exact
// size, not one per line plus one for the list, and one pointer in the item
// (null for no line). Reads like a list of std::string_view.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kistora {

class PropertyLines {
 public:
  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using pointer = const std::string_view*;
    using reference = std::string_view;

    const_iterator() = default;
    std::string_view operator*() const { return line_; }
    const std::string_view* operator->() const { return &line_; }
    const_iterator& operator++() {
      pos_ = next_;
      Read();
      return *this;
    }
    const_iterator operator++(int) {
      const_iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const const_iterator& a, const const_iterator& b) { return a.pos_ == b.pos_; }

   private:
    friend class PropertyLines;
    const_iterator(std::string_view packed, std::size_t pos) : packed_(packed), pos_(pos) { Read(); }
    void Read();

    std::string_view packed_;
    std::size_t pos_ = 0;
    std::size_t next_ = 0;
    std::string_view line_;
  };
  using iterator = const_iterator;
  using value_type = std::string_view;

  PropertyLines() = default;
  PropertyLines(std::initializer_list<std::string_view> lines);
  PropertyLines(const std::vector<std::string>& lines);  // NOLINT: a list of lines reads as one
  PropertyLines& operator=(std::initializer_list<std::string_view> lines);

  const_iterator begin() const { return {packed_.view(), 0}; }
  const_iterator end() const { return {packed_.view(), packed_.view().size()}; }
  bool empty() const { return packed_.view().empty(); }
  std::size_t size() const;
  std::string_view operator[](std::size_t index) const;
  std::string_view front() const { return *begin(); }
  std::string_view back() const;

  void push_back(std::string_view line);
  void emplace_back(std::string_view line) { push_back(line); }
  void clear() { packed_ = std::string_view(); }
  // Replaces every line by those of lines, in one allocation of the exact size.
  template <typename Lines>
  void Assign(const Lines& lines) {
    std::string packed;
    for (const auto& line : lines) Append(packed, line);
    packed_ = std::string_view(packed);  // a copy of the exact size, where appending would leave spare room
  }
  std::vector<std::string> ToVector() const;
  // Every line with its length, as kept (for digests of an item's contents).
  std::string_view Packed() const noexcept { return packed_.view(); }
  // A loader packs the lines into a scratch buffer of its own with Append (the
  // buffer is reused), then places them in the room of the item it makes for
  // them (see ItemText::PointAt), RoomFor bytes.
  static void Append(std::string& packed, std::string_view line);
  static std::size_t RoomFor(std::string_view packed) noexcept { return Block::RoomFor(packed); }
  void PlacePacked(char* room, std::string_view packed) { packed_.PlaceIn(room, packed); }

  friend bool operator==(const PropertyLines& a, const PropertyLines& b) {
    return a.packed_.view() == b.packed_.view();
  }

 private:
  // Bytes in one allocation, their 32-bit count first; no allocation for none.
  // Or, for an item loaded from a file, the same in the room the item was made
  // with (not owned: the pointer's lowest bit set). Moving such a block copies it.
  class Block {
   public:
    Block() = default;
    Block(const Block& other) { *this = other.view(); }
    Block(Block&& other) {
      if (other.InRoom()) {
        *this = other.view();
      } else {
        data_ = std::exchange(other.data_, nullptr);
      }
    }
    Block& operator=(const Block& other) { return *this = other.view(); }
    Block& operator=(Block&& other) {
      if (this == &other) return *this;
      if (other.InRoom()) return *this = other.view();
      Free();  // not a swap: a pointer into this item's room must not leave it
      data_ = std::exchange(other.data_, nullptr);
      return *this;
    }
    Block& operator=(std::string_view bytes);
    ~Block() { Free(); }
    std::string_view view() const noexcept;
    // Writes count and bytes at room (RoomFor bytes, at an even address) and points there.
    void PlaceIn(char* room, std::string_view bytes);
    static std::size_t RoomFor(std::string_view bytes) noexcept {
      return bytes.empty() ? 0 : sizeof(std::uint32_t) + bytes.size();
    }

   private:
    static constexpr std::uintptr_t kRoomBit = 1;
    bool InRoom() const noexcept { return (reinterpret_cast<std::uintptr_t>(data_) & kRoomBit) != 0; }
    const char* Bytes() const noexcept {
      return reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(data_) & ~kRoomBit);
    }
    void Free() noexcept {
      if (!InRoom()) delete[] data_;
    }
    // Writes the count and bytes at at (RoomFor bytes of room).
    static void WriteCounted(char* at, std::string_view bytes) noexcept;

    char* data_ = nullptr;
  };
  Block packed_;
};

}  // namespace kistora
