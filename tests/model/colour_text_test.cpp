#include "model/colour_text.h"

#include <gtest/gtest.h>

#include <random>

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

}  // namespace
}  // namespace kistora
