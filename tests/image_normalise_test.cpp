#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/bmp_file.h"
#include "image/little_endian.h"
#include "image/normalised_bmp.h"
#include "image/picture_decoder.h"
#include "image/truncate_converter.h"
#include "support/magick.h"

// The plain 24-bit BMP the build writes for its converters: both must take it as it is.
namespace tvx {
namespace {

TArgbImage readBack(const std::vector<std::uint8_t>& bmp) {
  TMemoryInputStream in(bmp);
  TArgbImage image;
  ReadBmp(in, image);
  return image;
}

TEST(NormalisedBmpTest, BothConvertersTakeItAndTheReaderGivesBackThePixels) {
  for (const char* size : {"38x24", "37x23"}) {
    SCOPED_TRACE(size);
    const std::string picture =
        test::MagickPicture(std::string("plasma_") + size + ".png",
                            std::string("-seed 3 -size ") + size + " plasma: PNG24:");
    const Result<TArgbImage> decoded = DecodePictureFile(picture);
    ASSERT_TRUE(decoded);
    const std::vector<std::uint8_t> bmp = NormalisedBmpBytes(*decoded);
    EXPECT_EQ(GetU32(&bmp[2]), bmp.size());
    EXPECT_EQ(GetU32(&bmp[14]), 40U);
    EXPECT_EQ(GetU16(&bmp[28]), 24U);

    const TArgbImage back = readBack(bmp);
    ASSERT_EQ(back.Width(), decoded->Width());
    ASSERT_EQ(back.Height(), decoded->Height());
    for (int y = 0; y < back.Height(); ++y) {
      for (int x = 0; x < back.Width(); ++x) {
        ASSERT_EQ(back.Pixel(x, y), decoded->Pixel(x, y)) << x << "," << y;
      }
    }
    const auto truncated = TranslateBmpBytesRgb888ToRgb565(bmp);
    if (decoded->Width() % 2 == 0) {
      EXPECT_TRUE(truncated);
    } else {
      ASSERT_FALSE(truncated);
      EXPECT_EQ(truncated.error().detail, truncate_rule::kEvenWidth) << "its only refusal";
    }
  }
}

TEST(NormalisedBmpTest, AlphaIsCompositedOverBlack) {
  TArgbImage image(4, 1);
  image.SetPixel(0, 0, 0x80FF0000);
  image.SetPixel(1, 0, 0x00FFFFFF);
  image.SetPixel(2, 0, 0xFF123456);
  image.SetPixel(3, 0, 0x40804020);
  EXPECT_FALSE(IsOpaque(image));
  const TArgbImage back = readBack(NormalisedBmpBytes(image));
  EXPECT_EQ(back.Pixel(0, 0), 0xFF800000U);
  EXPECT_EQ(back.Pixel(1, 0), 0xFF000000U);
  EXPECT_EQ(back.Pixel(2, 0), 0xFF123456U);
  EXPECT_EQ(back.Pixel(3, 0), 0xFF201008U);
  EXPECT_TRUE(IsOpaque(back));
}

}  // namespace
}  // namespace tvx
