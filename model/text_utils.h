// Text and file-name helpers. Every text is a single-byte Windows-1252 string:
// lengths and positions count bytes, positions are 1-based and 0 means "not found".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kistora {

// Maps only the 26 letters A..Z to a..z; every other byte is kept, so positions
// found in the lowered text are valid in the original.
std::string LowerAscii(std::string_view s);
// Removes leading and trailing space characters (byte 32 only, never tabs).
std::string TrimSpaces(std::string_view s);
// Characters from..to (1-based, inclusive); empty when the range is not wholly inside s.
std::string SubRange(std::string_view s, std::int64_t from, std::int64_t to);
// 1-based position of the first occurrence of sub in s; 0 when absent or sub is empty.
std::size_t Pos(std::string_view sub, std::string_view s);

int WordCount(std::string_view s);
std::string NthWord(int n, std::string_view s);
std::string AfterFirst(std::string_view sub, std::string_view s);
std::string BeforeFirst(std::string_view sub, std::string_view s);
std::size_t NthPos(std::string_view sub, std::string_view s, int n);
std::string BeforeNth(std::string_view sub, std::string_view s, int n);
int CountOf(std::string_view sub, std::string_view s);
// Pads with c until at least length characters; never cuts.
std::string PadLeft(std::string_view s, std::size_t length, char c = ' ');
std::string PadRight(std::string_view s, std::size_t length, char c = ' ');
std::string IfThenStr(bool flag, std::string_view a, std::string_view b);
std::string BoolToText(bool flag);
bool TextToBool(std::string_view s);

// Decimal text of a 32-bit integer, "-" before negatives, no grouping.
std::string IntToStr(std::int64_t v);
// Parses an optional sign followed by decimal digits that fit a signed 32-bit
// integer; nothing else is accepted (no spaces, no hex). Returns false otherwise.
bool TryStrToInt(std::string_view s, std::int32_t& out);

// Directory of the running executable with its trailing "/", and its file name.
std::string ExeDir();
std::string ExeName();

}  // namespace kistora
