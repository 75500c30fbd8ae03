#include "model/property_lines.h"

#include <cstring>
#include <stdexcept>

namespace kistora {

namespace {

constexpr unsigned char kLongLine = 0xFF;

}  // namespace

void PropertyLines::const_iterator::Read() {
  if (pos_ >= packed_.size()) {
    next_ = pos_ = packed_.size();
    line_ = {};
    return;
  }
  std::size_t at = pos_;
  std::size_t length = static_cast<unsigned char>(packed_[at++]);
  if (length == kLongLine) {
    length = 0;
    for (int shift = 0; shift < 32; shift += 8)
      length |= std::size_t{static_cast<unsigned char>(packed_[at++])} << shift;
  }
  line_ = packed_.substr(at, length);
  next_ = at + length;
}

PropertyLines::Block& PropertyLines::Block::operator=(std::string_view bytes) {
  char* made = nullptr;
  if (!bytes.empty()) {
    // The files count lengths in 32 bits: no item holds more.
    if (bytes.size() > UINT32_MAX) throw std::length_error("property lines too long");
    made = new char[RoomFor(bytes)];
    WriteCounted(made, bytes);
  }
  Free();  // after the copy: bytes may lie in this very block
  data_ = made;
  return *this;
}

void PropertyLines::Block::PlaceIn(char* room, std::string_view bytes) {
  if (bytes.empty() || bytes.size() > UINT32_MAX) {
    *this = bytes;  // none, or more than a file can hold: made apart (and refused)
    return;
  }
  Free();
  WriteCounted(room, bytes);
  data_ = reinterpret_cast<char*>(reinterpret_cast<std::uintptr_t>(room) | kRoomBit);
}

void PropertyLines::Block::WriteCounted(char* at, std::string_view bytes) noexcept {
  const auto count = static_cast<std::uint32_t>(bytes.size());
  std::memcpy(at, &count, sizeof count);
  std::memcpy(at + sizeof count, bytes.data(), bytes.size());
}

std::string_view PropertyLines::Block::view() const noexcept {
  const char* bytes = Bytes();
  if (bytes == nullptr) return {};
  std::uint32_t count = 0;
  std::memcpy(&count, bytes, sizeof count);
  return {bytes + sizeof count, count};
}

PropertyLines::PropertyLines(std::initializer_list<std::string_view> lines) { Assign(lines); }

PropertyLines::PropertyLines(const std::vector<std::string>& lines) { Assign(lines); }

PropertyLines& PropertyLines::operator=(std::initializer_list<std::string_view> lines) {
  Assign(lines);
  return *this;
}

std::size_t PropertyLines::size() const {
  std::size_t count = 0;
  for (auto it = begin(); it != end(); ++it) ++count;
  return count;
}

std::string_view PropertyLines::operator[](std::size_t index) const {
  auto it = begin();
  for (; index > 0 && it != end(); --index) ++it;
  return *it;
}

std::string_view PropertyLines::back() const {
  std::string_view last;
  for (std::string_view line : *this) last = line;
  return last;
}

void PropertyLines::push_back(std::string_view line) {
  std::string packed(packed_.view());
  Append(packed, line);
  packed_ = std::string_view(packed);
}

void PropertyLines::Append(std::string& packed, std::string_view line) {
  if (line.size() < kLongLine) {
    packed.push_back(static_cast<char>(line.size()));
  } else {
    packed.push_back(static_cast<char>(kLongLine));
    const auto length = static_cast<std::uint32_t>(line.size());
    for (int shift = 0; shift < 32; shift += 8) packed.push_back(static_cast<char>((length >> shift) & 0xFF));
  }
  packed.append(line);
}

std::vector<std::string> PropertyLines::ToVector() const { return {begin(), end()}; }

}  // namespace kistora
