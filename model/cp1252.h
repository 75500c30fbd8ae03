// Conversion between the program's Windows-1252 bytes and UTF-8 (terminal, JSON, Qt).
#pragma once

#include <string>
#include <string_view>

namespace kistora {

std::string Cp1252ToUtf8(std::string_view s);
// Characters Windows-1252 cannot hold, and malformed UTF-8 sequences, become "?".
std::string Utf8ToCp1252(std::string_view s);

}  // namespace kistora
