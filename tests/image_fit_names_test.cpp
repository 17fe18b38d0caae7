#include <gtest/gtest.h>

#include "image/picture_fit_names.h"

// The command line's words for slots, fit modes and colours.

using namespace tvx;

TEST(PictureFitNamesTest, EveryNameReadsBackAsWhatItNames) {
  for (std::string_view name :
       {"message", "date", "arrow", "background-v", "background-h", "logo", "floor"}) {
    const std::optional<PictureSlot> slot = ParsePictureSlot(name);
    ASSERT_TRUE(slot.has_value()) << name;
    EXPECT_EQ(PictureSlotName(*slot), name);
  }
  for (std::string_view name : {"pad", "crop", "stretch"}) {
    const std::optional<FitMode> mode = ParseFitMode(name);
    ASSERT_TRUE(mode.has_value()) << name;
    EXPECT_EQ(FitModeName(*mode), name);
  }
  for (std::string_view wrong : {"", "Logo", "background", "floor ", "fit"}) {
    EXPECT_FALSE(ParsePictureSlot(wrong).has_value()) << wrong;
    EXPECT_FALSE(ParseFitMode(wrong).has_value()) << wrong;
  }
  EXPECT_FALSE(ParseFitMode("PAD").has_value());
}

TEST(PictureFitNamesTest, ColoursAreSixHexDigitsAfterAHash) {
  EXPECT_EQ(ParseRgbColour("#a0B1c2"), 0xA0B1C2U);
  EXPECT_EQ(ParseRgbColour("#000000"), 0U);
  EXPECT_EQ(FormatRgbColour(0xA0B1C2), "#A0B1C2");
  EXPECT_EQ(FormatRgbColour(0x00000F), "#00000F");
  for (std::string_view wrong :
       {"", "#", "A0B1C2", "#A0B1C", "#A0B1C23", "#A0B1CG", "##A0B1C", "#-0B1C2", "#A0 1C2"}) {
    EXPECT_FALSE(ParseRgbColour(wrong).has_value()) << wrong;
  }
}
