#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "image/picture_fit.h"
#include "image/picture_scale.h"
#include "image/picture_slot.h"

// Pictures fitted to their slots: where the picture lands and what its pixels become.

using namespace tvx;

namespace {

using PixelAt = std::function<std::uint32_t(int x, int y)>;  // 0xAARRGGBB

TArgbImage Picture(int width, int height, const PixelAt& pixel) {
  TArgbImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.SetPixel(x, y, pixel(x, y));
    }
  }
  return image;
}

TArgbImage Uniform(int width, int height, std::uint32_t argb) {
  return Picture(width, height, [argb](int, int) { return argb; });
}

// Each pixel differs, alpha included, and some are transparent with a colour left in them.
std::uint32_t Varied(int x, int y) {
  return static_cast<std::uint32_t>((x * 37 + y * 11) % 256) << 24 |
         static_cast<std::uint32_t>(x * 7919 + y * 104729) % 0x1000000U;
}

void ExpectSamePixels(const TArgbImage& actual, const TArgbImage& expected) {
  ASSERT_EQ(actual.Width(), expected.Width());
  ASSERT_EQ(actual.Height(), expected.Height());
  for (int y = 0; y < expected.Height(); ++y) {
    for (int x = 0; x < expected.Width(); ++x) {
      ASSERT_EQ(actual.Pixel(x, y), expected.Pixel(x, y)) << "at " << x << "," << y;
    }
  }
}

constexpr std::uint32_t kRed = 0xFFFF0000U;
constexpr std::uint32_t kGreen = 0xFF00FF00U;
constexpr std::uint32_t kBlue = 0xFF0000FFU;

}  // namespace

TEST(PictureFitTest, PadCentresThePictureBetweenBandsOfTheBackground) {
  // 40 × 20 into 20 × 21: scaled to 20 × 10, 11 rows of bands, the odd one at the bottom.
  const TArgbImage padded = FitPicture(Uniform(40, 20, kRed), 20, 21, FitMode::kPad, 0x0000FF);
  ASSERT_EQ(padded.Width(), 20);
  ASSERT_EQ(padded.Height(), 21);
  for (int y = 0; y < 21; ++y) {
    const std::uint32_t expected = y >= 5 && y < 15 ? kRed : kBlue;
    for (int x = 0; x < 20; ++x) {
      ASSERT_EQ(padded.Pixel(x, y), expected) << "at " << x << "," << y;
    }
  }
  // The default background is opaque black; a wide slot puts the bands left and right.
  const TArgbImage wide = FitPicture(Uniform(10, 20, kRed), 15, 10);
  EXPECT_EQ(wide.Pixel(4, 5), 0xFF000000U);
  EXPECT_EQ(wide.Pixel(5, 5), kRed);
  EXPECT_EQ(wide.Pixel(9, 5), kRed);
  EXPECT_EQ(wide.Pixel(10, 5), 0xFF000000U);
}

TEST(PictureFitTest, CropCutsTheOverflowEvenlyFromBothSides) {
  // Thirds of red, green and blue, scaled to 30 × 10: the middle ten columns are all green.
  const TArgbImage thirds = Picture(60, 20, [](int x, int) {
    return x < 20 ? kRed : x < 40 ? kGreen : kBlue;
  });
  ExpectSamePixels(FitPicture(thirds, 10, 10, FitMode::kCrop), Uniform(10, 10, kGreen));

  // Unscaled, 21 rows too many: 10 cut at the top, 11 at the bottom, pixels untouched.
  const TArgbImage tall = Picture(10, 31, Varied);
  const TArgbImage cropped = FitPicture(tall, 10, 10, FitMode::kCrop);
  ExpectSamePixels(cropped, Picture(10, 10, [](int x, int y) { return Varied(x, y + 10); }));
}

TEST(PictureFitTest, StretchOfAUniformColourStaysUniform) {
  for (const auto& [width, height] : {std::pair{50, 11}, std::pair{3, 2}, std::pair{20, 1}}) {
    const TArgbImage stretched =
        FitPicture(Uniform(7, 3, 0x80123456U), width, height, FitMode::kStretch);
    ExpectSamePixels(stretched, Uniform(width, height, 0x80123456U));
  }
}

TEST(PictureFitTest, ShrinkingAveragesTheAreaEachPixelCovers) {
  const TArgbImage checkerboard =
      Picture(2, 2, [](int x, int y) { return (x + y) % 2 ? 0xFF102030U : 0xFF305070U; });
  EXPECT_EQ(ScalePicture(checkerboard, 1, 1).Pixel(0, 0), 0xFF203850U);

  // Three pixels into two: each output pixel takes one and a half, the middle one shared.
  const TArgbImage greys = Picture(3, 1, [](int x, int) {
    const std::uint32_t grey = static_cast<std::uint32_t>(x) * 90;
    return 0xFF000000U | grey * 0x010101U;
  });
  const TArgbImage shrunk = ScalePicture(greys, 2, 1);
  EXPECT_EQ(shrunk.Pixel(0, 0), 0xFF1E1E1EU);  // (0 + 90 / 2) / 1.5 = 30
  EXPECT_EQ(shrunk.Pixel(1, 0), 0xFF969696U);  // (90 / 2 + 180) / 1.5 = 150
}

TEST(PictureFitTest, TransparentNeighboursLeaveTheColourUndarkened) {
  const TArgbImage edge =
      Picture(2, 1, [](int x, int) { return x == 0 ? 0x80FF0000U : 0x00000000U; });
  EXPECT_EQ(ScalePicture(edge, 1, 1).Pixel(0, 0), 0x40FF0000U);

  // Enlarged, the alpha falls off linearly while the colour stays red.
  const TArgbImage enlarged = ScalePicture(edge, 4, 1);
  EXPECT_EQ(enlarged.Pixel(0, 0), 0x80FF0000U);
  EXPECT_EQ(enlarged.Pixel(1, 0), 0x60FF0000U);
  EXPECT_EQ(enlarged.Pixel(2, 0), 0x20FF0000U);
  EXPECT_EQ(enlarged.Pixel(3, 0), 0x00000000U);
}

TEST(PictureFitTest, APictureOfTheTargetSizeComesBackUnchanged) {
  const TArgbImage picture = Picture(24, 13, Varied);
  for (FitMode mode : {FitMode::kPad, FitMode::kCrop, FitMode::kStretch}) {
    ExpectSamePixels(FitPicture(picture, 24, 13, mode, 0xFFFFFF), picture);
  }
}

TEST(PictureFitTest, AFloorPictureOfOddWidthGainsOneBackgroundColumn) {
  const TArgbImage floor = Picture(5, 3, Varied);
  for (FitMode mode : {FitMode::kPad, FitMode::kCrop, FitMode::kStretch}) {
    const TArgbImage fitted =
        FitToSlot(floor, PictureSlot::kFloor, ScreenOrientation::kVertical, mode, 0x0000FF);
    ExpectSamePixels(fitted,
                     Picture(6, 3, [](int x, int y) { return x < 5 ? Varied(x, y) : kBlue; }));
  }
  const TArgbImage even = Picture(6, 3, Varied);
  ExpectSamePixels(FitToSlot(even, PictureSlot::kFloor, ScreenOrientation::kHorizontal), even);
}
