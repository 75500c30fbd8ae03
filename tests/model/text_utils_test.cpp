// The text helpers' edges that the set names, the options file and the export rely on.
#include "model/text_utils.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace kistora {
namespace {

TEST(TextUtils, LowerAsciiMapsOnlyAtoZ) {
  EXPECT_EQ(LowerAscii("Gants de \xC9"
                       "CLAT[@Z]"),
            "gants de \xC9"
            "clat[@z]");
  EXPECT_EQ(LowerAscii(""), "");
}

TEST(TextUtils, TrimSpacesRemovesOnlySpaces) {
  EXPECT_EQ(TrimSpaces("   "), "");
  EXPECT_EQ(TrimSpaces(""), "");
  EXPECT_EQ(TrimSpaces("x"), "x");
  EXPECT_EQ(TrimSpaces("  a  b  "), "a  b");
  EXPECT_EQ(TrimSpaces("\tx "), "\tx");
  EXPECT_EQ(TrimSpaces(" x\t"), "x\t");
}

TEST(TextUtils, SubRangeIsEmptyUnlessWhollyInside) {
  EXPECT_EQ(SubRange("abc", 0, 2), "");
  EXPECT_EQ(SubRange("abc", 2, 4), "");
  EXPECT_EQ(SubRange("abc", 2, 5), "");
  EXPECT_EQ(SubRange("abc", 3, 2), "");
  EXPECT_EQ(SubRange("abc", 4, 4), "");
  EXPECT_EQ(SubRange("abc", 2, 3), "bc");
  EXPECT_EQ(SubRange("abc", 1, 1), "a");
}

TEST(TextUtils, PosIsOneBasedAndZeroWhenAbsentOrEmpty) {
  EXPECT_EQ(Pos("b", "abcb"), 2u);
  EXPECT_EQ(Pos("x", "abc"), 0u);
  EXPECT_EQ(Pos("", "abc"), 0u);
  EXPECT_EQ(Pos("abcd", "abc"), 0u);
}

TEST(TextUtils, WordsAreSeparatedBySpacesOnly) {
  const std::string name = "  Gants   de  Fer ";
  EXPECT_EQ(WordCount(name), 3);
  EXPECT_EQ(NthWord(1, name), "Gants");
  EXPECT_EQ(NthWord(2, name), "de");
  EXPECT_EQ(NthWord(3, name), "Fer");
  EXPECT_EQ(NthWord(4, name), "");
  EXPECT_EQ(NthWord(0, name), "");
  EXPECT_EQ(NthWord(-1, name), "");
  EXPECT_EQ(WordCount(""), 0);
  EXPECT_EQ(WordCount("    "), 0);
  EXPECT_EQ(WordCount("a\tb"), 1);
  EXPECT_EQ(NthWord(1, "a\tb c"), "a\tb");
}

TEST(TextUtils, AfterAndBeforeFirst) {
  EXPECT_EQ(AfterFirst("=", "key=value=x"), "value=x");
  EXPECT_EQ(AfterFirst("=", "key="), "");
  EXPECT_EQ(AfterFirst("=", "key"), "");
  EXPECT_EQ(BeforeFirst("=", "key=value"), "key");
  EXPECT_EQ(BeforeFirst("=", "=value"), "");
  EXPECT_EQ(BeforeFirst("=", "value"), "");
  EXPECT_EQ(BeforeFirst("", "value"), "");
}

TEST(TextUtils, OccurrencesCountWithoutOverlap) {
  const std::string garde = "Garde de ";
  EXPECT_EQ(CountOf("de", garde), 2);
  EXPECT_EQ(NthPos("de", garde, 2), 7u);
  EXPECT_EQ(NthPos("de", garde, 1), 4u);
  EXPECT_EQ(BeforeNth("de", garde, 2), "Garde ");
  EXPECT_EQ(CountOf("aa", "aaa"), 1);
  EXPECT_EQ(CountOf("aa", "aaaa"), 2);
  EXPECT_EQ(CountOf("", "abc"), 0);
  EXPECT_EQ(NthPos("aa", "aaaa", 2), 3u);
  EXPECT_EQ(NthPos("aa", "aaa", 2), 0u);
}

TEST(TextUtils, NthPosEdges) {
  EXPECT_EQ(NthPos("x", "abc", 1), 0u);
  EXPECT_EQ(NthPos("x", "abc", 3), 0u);
  EXPECT_EQ(NthPos("b", "abcb", 0), 2u);
  EXPECT_EQ(NthPos("b", "abcb", -4), 2u);
  EXPECT_EQ(NthPos("b", "abcb", 2), 4u);
  EXPECT_EQ(NthPos("b", "abcb", 3), 0u);
  EXPECT_EQ(NthPos("", "abcb", 1), 0u);
  EXPECT_EQ(BeforeNth("a", "abca", 1), "");  // the occurrence is at position 1
  EXPECT_EQ(BeforeNth("a", "abca", 2), "abc");
  EXPECT_EQ(BeforeNth("a", "abca", 3), "");
}

TEST(TextUtils, PaddingNeverCuts) {
  EXPECT_EQ(PadLeft("42", 5, ' '), "   42");
  EXPECT_EQ(PadRight("42", 5, '.'), "42...");
  EXPECT_EQ(PadRight("abcdef", 3, ' '), "abcdef");
  EXPECT_EQ(PadLeft("abcdef", 3, ' '), "abcdef");
  EXPECT_EQ(PadLeft("", 0, ' '), "");
}

TEST(TextUtils, BooleansAsText) {
  EXPECT_EQ(BoolToText(true), "true");
  EXPECT_EQ(BoolToText(false), "false");
  EXPECT_EQ(IfThenStr(true, "a", "b"), "a");
  EXPECT_EQ(IfThenStr(false, "a", "b"), "b");
  for (const char* yes : {" OUI ", "O", "true", "TRUE", "yes", "1", "y", "o", "oui"})
    EXPECT_TRUE(TextToBool(yes)) << yes;
  for (const char* no : {"vrai", "", "0", "false", "non", "\ttrue", "2", "tru"}) EXPECT_FALSE(TextToBool(no)) << no;
}

TEST(TextUtils, IntegersAsText) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-2147483648LL), "-2147483648");
  std::int32_t v = 99;
  EXPECT_TRUE(TryStrToInt("2147483647", v));
  EXPECT_EQ(v, 2147483647);
  EXPECT_TRUE(TryStrToInt("-2147483648", v));
  EXPECT_EQ(v, -2147483647 - 1);
  EXPECT_TRUE(TryStrToInt("+12", v));
  EXPECT_EQ(v, 12);
  v = 7;
  for (const char* bad :
       {"", "-", "+", "2147483648", "-2147483649", " 1", "1 ", "0x10", "1e3", "99999999999999999999"}) {
    EXPECT_FALSE(TryStrToInt(bad, v)) << bad;
  }
  EXPECT_EQ(v, 7);  // left alone by the failed parses
}

TEST(ExePath, DirectoryAndNameOfTheRunningProgram) {
  const std::string dirPath = ExeDir();
  const std::string name = ExeName();
  ASSERT_FALSE(dirPath.empty());
  EXPECT_EQ(dirPath.front(), '/');
  EXPECT_EQ(dirPath.back(), '/');
  EXPECT_EQ(name, "model_tests");
  struct stat info {};
  ASSERT_EQ(::stat((dirPath + name).c_str(), &info), 0);
  EXPECT_TRUE(S_ISREG(info.st_mode));
}

}  // namespace
}  // namespace kistora
