#include "model/typed_text.h"

#include "model/cp1252.h"

namespace kistora {

namespace {

bool IsLineBreak(char32_t c) { return c == U'\n' || c == U'\r' || c == U'\u2028' || c == U'\u2029'; }

}  // namespace

TypedText CheckTypedText(std::u32string_view text, bool oneLine) {
  TypedText result;
  result.Text.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t c = text[i];
    if (IsLineBreak(c)) {
      // Kept as typed in a multi-line field, which stores each line on its own.
      if (!oneLine) {
        result.Text += c;
      } else {
        if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') ++i;  // CR LF is one break
        result.Text += U' ';
      }
      continue;
    }
    if (!result.Refused && !IsCp1252CodePoint(c)) result.Refused = c;
    result.Text += c;
  }
  return result;
}

}  // namespace kistora
