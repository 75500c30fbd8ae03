// Windows-1252 <-> UTF-8, used for every text shown outside the program's own files.
#include "model/cp1252.h"

#include <gtest/gtest.h>

namespace kistora {
namespace {

TEST(Cp1252, ConvertsAccentsAndTheHighBlock) {
  EXPECT_EQ(Cp1252ToUtf8("Tr\xE8s lente"), "Tr\xC3\xA8s lente");
  EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
  EXPECT_EQ(Cp1252ToUtf8("\x9F"), "\xC5\xB8");      // Y with diaeresis
  EXPECT_EQ(Utf8ToCp1252("Dext\xC3\xA9rit\xC3\xA9"), "Dext\xE9rit\xE9");
  EXPECT_EQ(Utf8ToCp1252("\xE2\x80\x99"), "\x92");  // right single quote
}

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, UnrepresentableAndMalformedBecomeQuestionMarks) {
  EXPECT_EQ(Utf8ToCp1252("a\xE4\xB8\xAD"
                         "b"),
            "a?b");                                  // a CJK character
  EXPECT_EQ(Utf8ToCp1252("\xF0\x9F\x98\x80"), "?");  // an emoji
  EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");              // cut sequence at the end
  EXPECT_EQ(Utf8ToCp1252("\xC3x"), "?x");            // cut sequence before ASCII
  EXPECT_EQ(Utf8ToCp1252("\x80"), "?");              // stray continuation byte
  EXPECT_EQ(Utf8ToCp1252("\xC0\xAF"), "?");          // overlong encoding
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "?");      // surrogate
  EXPECT_EQ(Utf8ToCp1252("\xC2\x80"), "?");          // U+0080 has no Windows-1252 byte
}

}  // namespace
}  // namespace kistora
