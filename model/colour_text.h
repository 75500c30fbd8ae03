// Colours of the export options and their "#RRGGBB" text in the options file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kistora {

// A 24-bit RGB colour: red in the low byte, green in the middle byte, blue in the high byte.
using TColor = std::uint32_t;

// "#" then red, green and blue as two upper-case hexadecimal digits each: 0xFFC040 gives "#40C0FF".
std::string ColorToText(TColor colour);

// Drops the first character whatever it is, reads the rest as a hexadecimal
// number of at most 32 bits (bits 16..23 red, 8..15 green, 0..7 blue, higher
// bits dropped). Anything that does not parse gives white (0xFFFFFF).
TColor TextToColor(std::string_view text);

}  // namespace kistora
