#include "model/colour_text.h"

#include <gtest/gtest.h>

#include <random>

#include "model/colour_contrast.h"

namespace kistora {
namespace {

TEST(ColourText, WritesRedGreenBlueFromTheLowByteUp) {
  EXPECT_EQ(ColorToText(0xFFC040), "#40C0FF");
  EXPECT_EQ(ColorToText(0xFFE0B0), "#B0E0FF");
  EXPECT_EQ(ColorToText(0x000000), "#000000");
  EXPECT_EQ(ColorToText(0x0A0B0C), "#0C0B0A");
  EXPECT_EQ(ColorToText(0xAB123456), "#563412");  // bits above 24 are not part of the colour
}

TEST(ColourText, ReadsAfterDroppingTheFirstCharacter) {
  EXPECT_EQ(TextToColor("#40C0FF"), 0xFFC040u);
  EXPECT_EQ(TextToColor("#ff0000"), 0x0000FFu);      // pure red, lower-case digits
  EXPECT_EQ(TextToColor("FF0000"), 0x00000Fu);       // first F dropped: red 0x0F only
  EXPECT_EQ(TextToColor("red"), 0xED0000u);          // "ed": blue 0xED
  EXPECT_EQ(TextToColor("#1"), 0x010000u);           // short numbers are blue first
  EXPECT_EQ(TextToColor("#FFFFFFFF"), 0xFFFFFFu);    // 32 bits fit, the top byte is dropped
  EXPECT_EQ(TextToColor("#0000000012"), 0x120000u);  // leading zeros do not overflow
}

TEST(ColourText, UnparsableTextGivesWhite) {
  for (const char* text : {"blue", "", "#", "#12345G", "#100000000", "# 12", "#-1", "#+1"}) {
    EXPECT_EQ(TextToColor(text), 0xFFFFFFu) << '"' << text << '"';
  }
}

TEST(ColourText, EveryColourSurvivesARoundTrip) {
  std::mt19937 random(7);
  for (int i = 0; i < 1000; ++i) {
    const TColor colour = random() & 0xFFFFFF;
    ASSERT_EQ(TextToColor(ColorToText(colour)), colour) << ColorToText(colour);
  }
}

TEST(ColourContrast, MeasuresAsTheGuidelinesAndDarkensGreyedTextNoFurtherThanNeeded) {
  EXPECT_NEAR(ContrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(0x767676, 0xFFFFFF), 4.54, 0.01);
  EXPECT_NEAR(ContrastRatio(0xABABAB, 0xEFEFEF), 2.0, 0.01);  // greyed text on a greyed field, once
  const TColor greyed = ReadableOn(0xBEBEBE, {0xEFEFEF, 0xF0F0F0}, 4.5);
  EXPECT_GE(ContrastRatio(greyed, 0xF0F0F0), 4.5);
  EXPECT_LT(ContrastRatio(greyed, 0xEFEFEF), 4.7) << "still grey, not black";
  EXPECT_EQ(ReadableOn(0x202020, {0xFFFFFF}, 4.5), 0x202020u) << "readable already: kept";
  EXPECT_GE(ContrastRatio(ReadableOn(0x404040, {0x101010}, 4.5), 0x101010), 4.5) << "a dark palette: lighter";
}

}  // namespace
}  // namespace kistora
