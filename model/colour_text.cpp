#include "model/colour_text.h"

namespace kistora {

namespace {

constexpr TColor kWhite = 0xFFFFFF;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string ColorToText(TColor colour) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text = "#";
  for (int shift : {0, 8, 16}) {  // red, green, blue
    const unsigned byte = (colour >> shift) & 0xFFu;
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0xFu];
  }
  return text;
}

TColor TextToColor(std::string_view text) {
  if (text.size() < 2) return kWhite;
  std::uint64_t number = 0;
  for (char c : text.substr(1)) {
    const int digit = HexDigit(c);
    if (digit < 0) return kWhite;
    number = number * 16 + static_cast<unsigned>(digit);
    if (number > 0xFFFFFFFFull) return kWhite;
  }
  const auto red = static_cast<TColor>((number >> 16) & 0xFF);
  const auto green = static_cast<TColor>((number >> 8) & 0xFF);
  const auto blue = static_cast<TColor>(number & 0xFF);
  return red | (green << 8) | (blue << 16);
}

}  // namespace kistora
