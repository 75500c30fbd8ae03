#include "export/markup_text.h"

#include "model/cp1252.h"

namespace kistora {

namespace {

constexpr std::string_view kZeroWidthSpace = "\xE2\x80\x8B";

// The C0 controls, DEL and the five bytes Windows-1252 leaves undefined (read
// as C1 controls): none is shown, and a line end would split a list line.
bool IsControl(unsigned char c) {
  return c < 0x20 || c == 0x7F || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

// The text in UTF-8 with every control as a space.
std::string Utf8Shown(std::string_view cp1252) {
  std::string shown(cp1252);
  for (char& c : shown) {
    if (IsControl(static_cast<unsigned char>(c))) c = ' ';
  }
  return Cp1252ToUtf8(shown);
}

}  // namespace

std::string BBCodeText(std::string_view cp1252) {
  const std::string utf8 = Utf8Shown(cp1252);
  std::string out;
  out.reserve(utf8.size());
  for (const char c : utf8) {
    out += c;
    if (c == '[') out += kZeroWidthSpace;
  }
  return out;
}

std::string MarkdownText(std::string_view cp1252) {
  static constexpr std::string_view kMarkup = "\\`*_[]<>&|~#";
  const std::string utf8 = Utf8Shown(cp1252);
  std::string out;
  out.reserve(utf8.size());
  for (const char c : utf8) {
    if (kMarkup.find(c) != std::string_view::npos) out += '\\';
    out += c;
  }
  return out;
}

std::string_view BBCodeQualityColour(int quality) {
  switch (quality) {
    case 5:
      return "#8B6508";  // unique: dark gold
    case 4:
      return "#1A7F1A";  // set: green
    case 2:
      return "#807500";  // rare: olive yellow (a bright yellow cannot be read on white)
    case 1:
      return "#2F4FD0";  // magic: blue
    case 3:
      return "#B85000";  // crafted: orange
    default:
      return "#595959";  // normal: grey
  }
}

}  // namespace kistora
