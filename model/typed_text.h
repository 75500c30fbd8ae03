// What a text field takes from the player's typing or pasting: the files hold
// Windows-1252, so a character it cannot hold is refused where it is typed,
// never turned into "?" later; and a one-line field never holds a line break
// (a name with one would split its line of the options file in two).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kistora {

struct TypedText {
  std::u32string Text;              // what the field holds after the edit
  std::optional<char32_t> Refused;  // the first character that cannot be stored: the edit is refused
};

// The text of a field after an edit. In a one-line field each line break (CR
// LF, CR, LF, U+2028, U+2029) becomes one space; a multi-line field keeps
// them. Refused names the first character Windows-1252 cannot hold.
TypedText CheckTypedText(std::u32string_view text, bool oneLine);

}  // namespace kistora
