// Windows-1252 <-> UTF-8, used for every text shown outside the program's own
// files, and what a text field may take.
#include "model/cp1252.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "model/typed_text.h"

namespace kistora {
namespace {

TEST(Cp1252, ConvertsAccentsAndTheHighBlock) {
  EXPECT_EQ(Cp1252ToUtf8("Tr\xE8s lente"), "Tr\xC3\xA8s lente");
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
  EXPECT_EQ(Cp1252ToUtf8("\x9F"), "\xC5\xB8");      // Y with diaeresis
  EXPECT_EQ(Utf8ToCp1252("Dext\xC3\xA9rit\xC3\xA9"), "Dext\xE9rit\xE9");
  EXPECT_EQ(Utf8ToCp1252("\xE2\x80\x99"), "\x92");  // right single quote
}

TEST(Cp1252, EveryByteAndRandomBytesSurviveARoundTripAndNeverGrow) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);

  std::mt19937 random(1252);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 64);
  for (int round = 0; round < 20000; ++round) {
    std::string s(static_cast<std::size_t>(length(random)), '\0');
    for (char& c : s) c = static_cast<char>(byte(random));
    const std::string converted = Utf8ToCp1252(s);
    ASSERT_LE(converted.size(), s.size()) << "round " << round;
    ASSERT_EQ(Utf8ToCp1252(Cp1252ToUtf8(s)), s) << "round " << round;
  }
}

TEST(Cp1252, UnrepresentableAndMalformedBecomeQuestionMarks) {
  const struct {
    const char* what;
    std::string in;
    std::string out;
  } cases[] = {
      {"NUL bytes are kept", std::string("a\0b\0", 4), std::string("a\0b\0", 4)},
      {"a CJK character",
       "a\xE4\xB8\xAD"
       "b",
       "a?b"},
      {"an emoji", "\xF0\x9F\x98\x80", "?"},
      {"4-byte emoji between letters", "x\xF0\x9F\x98\x80y", "x?y"},
      {"U+0080 has no Windows-1252 byte", "\xC2\x80", "?"},
      {"stray continuation byte", "\x80", "?"},
      {"overlong encoding", "\xC0\xAF", "?"},
      {"an overlong NUL is not a NUL", "\xC0\x80", "?"},
      {"surrogate", "\xED\xA0\x80", "?"},
      {"surrogate pair written as two 3-byte forms", "\xED\xA0\xBD\xED\xB8\x80", "??"},
      {"highest code point", "\xF4\x8F\xBF\xBF", "?"},
      {"beyond the highest code point", "\xF4\x90\x80\x80", "?"},
      {"5-byte form", "\xF8\x88\x80\x80\x80", "?????"},
      {"bytes that never lead, and an overlong pair", "\xFE\xFF\xC1\xBF", "???"},
      {"cut 2-byte sequence at the end", "\xC3", "?"},
      {"cut 2-byte sequence before ASCII", "\xC3x", "?x"},
      {"cut 4-byte sequence before ASCII",
       "\xF0\x9F\x98"
       "A",
       "?A"},
      {"cut 4-byte sequence at the end", "\xF0\x9F", "?"},
      {"a lead byte does not swallow the next lead", "\xE2\xC3\xA9", "?\xE9"},
      {"euro and oe survive", "\xE2\x82\xAC \xC5\x93", "\x80 \x9C"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToCp1252(c.in), c.out) << c.what;
}

TEST(TypedText, RefusesWhatWindows1252CannotHoldAndPutsOneLineFieldsOnOneLine) {
  struct Case {
    const char* what;
    std::u32string in;
    bool oneLine;
    std::u32string out;
    std::optional<char32_t> refused;
  };
  const Case cases[] = {
      {"euro, oe, quotes and dashes are Windows-1252", U"€ œ “x” – …", true, U"€ œ “x” – …", std::nullopt},
      {"a byte Windows-1252 leaves undefined round-trips", U"\u0081", true, U"\u0081", std::nullopt},
      {"the first character it cannot hold is named", U"Łódź 龙", true, U"Łódź 龙", U'Ł'},
      {"an emoji", U"🐉", true, U"🐉", U'🐉'},
      {"each line break becomes one space", U"a\r\nb\nc\rd\u2028e", true, U"a b c d e", std::nullopt},
      {"a multi-line field keeps its lines", U"a\r\nb\u2029c", false, U"a\r\nb\u2029c", std::nullopt},
  };
  for (const Case& c : cases) {
    const TypedText typed = CheckTypedText(c.in, c.oneLine);
    EXPECT_TRUE(typed.Text == c.out) << c.what;
    EXPECT_EQ(typed.Refused, c.refused) << c.what;
  }
}

}  // namespace
}  // namespace kistora
