// A text of an item (its name, its notes) in 16 bytes: up to 15 bytes kept in
// place, a longer text in one allocation of its exact size, or in the room an
// item loaded from a file was made with (PointAt). A std::string takes 32 bytes
// and, past 15 bytes, an allocation with room to grow; a million items hold two
// texts each that never grow once read. Reads like a std::string_view; converts
// to std::string where one is wanted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

namespace kistora {

class ItemText {
 public:
  // The longest text kept in place, in the 16 bytes themselves.
  static constexpr std::size_t kInPlace = 15;

  ItemText() noexcept { Clear(); }
  ItemText(std::string_view text) { Set(text); }    // NOLINT: a text is a text
  ItemText(const std::string& text) { Set(text); }  // NOLINT
  ItemText(const char* text) { Set(text); }         // NOLINT
  ItemText(const ItemText& other) { Set(other.view()); }
  // A text kept in its item's room cannot leave that item: moving it copies it.
  ItemText(ItemText&& other) {
    if (other.InRoom()) {
      Set(other.view());
      return;
    }
    std::memcpy(bytes_, other.bytes_, sizeof bytes_);
    other.Clear();
  }
  ItemText& operator=(const ItemText& other) {
    if (this != &other) Assign(other.view());
    return *this;
  }
  ItemText& operator=(ItemText&& other) {
    if (this != &other && other.InRoom()) {
      Assign(other.view());
    } else if (this != &other) {
      Free();
      std::memcpy(bytes_, other.bytes_, sizeof bytes_);
      other.Clear();
    }
    return *this;
  }
  ItemText& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }
  ItemText& operator=(const std::string& text) { return *this = std::string_view(text); }
  ItemText& operator=(const char* text) { return *this = std::string_view(text); }
  ~ItemText() { Free(); }

  // Makes this text the size bytes at bytes, which it does not own: the room
  // after the item holding this text, made for it with the item and dropped with
  // it. Only the loader that makes the item does this, before anyone holds it.
  void PointAt(const char* bytes, std::size_t size);

  const char* data() const noexcept { return Pointed() ? PointedData() : bytes_; }
  std::size_t size() const noexcept { return Pointed() ? PointedSize() : static_cast<std::size_t>(bytes_[kLast]); }
  bool empty() const noexcept { return size() == 0; }
  std::string_view view() const noexcept { return {data(), size()}; }
  operator std::string_view() const noexcept { return view(); }  // NOLINT: reads as a view
  std::string str() const { return std::string(view()); }
  operator std::string() const { return str(); }  // NOLINT: where a std::string is wanted
  const char* begin() const noexcept { return data(); }
  const char* end() const noexcept { return data() + size(); }
  char operator[](std::size_t i) const noexcept { return data()[i]; }

  friend bool operator==(const ItemText& a, const ItemText& b) noexcept { return a.view() == b.view(); }
  friend bool operator==(const ItemText& a, std::string_view b) noexcept { return a.view() == b; }
  friend bool operator==(const ItemText& a, const std::string& b) noexcept { return a.view() == b; }
  friend bool operator==(const ItemText& a, const char* b) noexcept { return a.view() == b; }
  friend auto operator<=>(const ItemText& a, const ItemText& b) noexcept { return a.view() <=> b.view(); }

 private:
  // In place: the bytes, then the length in the last byte (0..15). Elsewhere:
  // a pointer, a 32-bit length, and in the last byte kOnHeap (owned) or kInRoom
  // (the item's room, not owned).
  static constexpr std::size_t kLast = 15;
  static constexpr char kOnHeap = static_cast<char>(0x80);
  static constexpr char kInRoom = static_cast<char>(0x81);

  bool OnHeap() const noexcept { return bytes_[kLast] == kOnHeap; }
  bool InRoom() const noexcept { return bytes_[kLast] == kInRoom; }
  bool Pointed() const noexcept { return OnHeap() || InRoom(); }
  char* PointedData() const noexcept {
    char* p;
    std::memcpy(&p, bytes_, sizeof p);
    return p;
  }
  std::size_t PointedSize() const noexcept {
    std::uint32_t n;
    std::memcpy(&n, bytes_ + sizeof(char*), sizeof n);
    return n;
  }
  void Clear() noexcept { std::memset(bytes_, 0, sizeof bytes_); }
  void Free() noexcept {
    if (OnHeap()) delete[] PointedData();
  }
  void Set(std::string_view text);  // on a cleared or freed text
  void SetPointer(const char* bytes, std::size_t size, char kind) noexcept;
  void Assign(std::string_view text) {
    // text may lie in this very text: copy it before freeing.
    ItemText copy(text);
    *this = std::move(copy);
  }

  alignas(8) char bytes_[16];
};

std::ostream& operator<<(std::ostream& out, const ItemText& text);
inline std::string operator+(const std::string& a, const ItemText& b) { return a + std::string(b.view()); }
inline std::string operator+(const ItemText& a, const std::string& b) { return std::string(a.view()) + b; }
inline std::string operator+(const char* a, const ItemText& b) { return a + std::string(b.view()); }
inline std::string operator+(const ItemText& a, const char* b) { return std::string(a.view()) + b; }

static_assert(sizeof(ItemText) == 16, "an item's text takes two words");

}  // namespace kistora
