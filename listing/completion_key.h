// The key a completion text is grouped and found under: the text folded as
// the search folds, apostrophes read as spaces (so that "ange" starts a word
// of "l'Ange"), spaces run together, and with numbersAsHash every run of
// digits as one "#". keepEnd keeps one space at the end, as a player who typed
// a whole word and a space means it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kistora {

std::string CompletionKey(std::string_view text, bool numbersAsHash, bool keepEnd);
// The same written at out, which has room for 2 * text.size() bytes; returns
// its length. One pass and no allocation, for a pass over a million names.
std::size_t WriteCompletionKey(std::string_view text, bool numbersAsHash, bool keepEnd, char* out);

// The keys of an item's name and of one of its magic property lines.
inline std::string NameKey(std::string_view name) { return CompletionKey(name, false, false); }
inline std::string LineKey(std::string_view line) { return CompletionKey(line, true, false); }

}  // namespace kistora
