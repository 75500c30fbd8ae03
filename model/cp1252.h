// Conversion between the program's Windows-1252 bytes and UTF-8 (terminal, JSON, Qt).
#pragma once

#include <string>
#include <string_view>

namespace kistora {

std::string Cp1252ToUtf8(std::string_view s);
// True when Windows-1252 has a byte for the code point cp. The five bytes it
// leaves undefined stand for the C1 controls of the same value, so those
// round-trip too.
bool IsCp1252CodePoint(char32_t cp);
// Characters Windows-1252 cannot hold, and malformed UTF-8 sequences, become "?".
std::string Utf8ToCp1252(std::string_view s);

}  // namespace kistora
