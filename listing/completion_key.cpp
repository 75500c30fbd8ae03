#include "listing/completion_key.h"

#include <array>
#include <cstdint>

#include "listing/item_search.h"

namespace kistora {

namespace {

// What one byte of a text becomes in a key before spaces run together: its
// folding, apostrophes as spaces.
struct KeyByte {
  char Chars[2] = {};
  std::uint8_t Length = 0;
};

std::array<KeyByte, 256> MakeKeyBytes() {
  std::array<KeyByte, 256> table{};
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    const std::string folded = SearchFolded(std::string_view(&byte, 1));
    KeyByte& entry = table[static_cast<std::size_t>(b)];
    for (char c : folded) {
      if (c == '\'' || c == '\x91' || c == '\x92' || c == '`') c = ' ';
      entry.Chars[entry.Length++] = c;
    }
  }
  return table;
}

const std::array<KeyByte, 256>& KeyBytes() {
  static const std::array<KeyByte, 256> table = MakeKeyBytes();
  return table;
}

}  // namespace

std::size_t WriteCompletionKey(std::string_view text, bool numbersAsHash, bool keepEnd, char* out) {
  const std::array<KeyByte, 256>& bytes = KeyBytes();
  char* const start = out;
  bool inNumber = false;
  for (const char byte : text) {
    const KeyByte& entry = bytes[static_cast<unsigned char>(byte)];
    for (std::uint8_t i = 0; i < entry.Length; ++i) {
      const char c = entry.Chars[i];
      const bool digit = numbersAsHash && c >= '0' && c <= '9';
      if (c == ' ') {
        if (out != start && out[-1] != ' ') *out++ = ' ';
      } else if (!digit) {
        *out++ = c;
      } else if (!inNumber) {
        *out++ = '#';
      }
      inNumber = digit;
    }
  }
  if (!keepEnd && out != start && out[-1] == ' ') --out;
  return static_cast<std::size_t>(out - start);
}

std::string CompletionKey(std::string_view text, bool numbersAsHash, bool keepEnd) {
  std::string key(2 * text.size(), '\0');
  key.resize(WriteCompletionKey(text, numbersAsHash, keepEnd, key.data()));
  return key;
}

}  // namespace kistora
