#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <span>
#include <string>

#include "image/bmp_file.h"
#include "image/error_diffusion.h"
#include "image/image_error.h"
#include "image/little_endian.h"
#include "image/truncate_converter.h"
#include "support/bmp_builder.h"
#include "support/temp_dir.h"

using namespace tvx;
using tvx::test::BmpLayout;
using tvx::test::MakeBmp;
using tvx::test::PackRows;

namespace {

using ColourAt = std::function<std::uint32_t(int x, int y)>;  // 0xRRGGBB, y from the top

TArgbImage Picture(int width, int height, const ColourAt& colour) {
  TArgbImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      image.SetPixel(x, y, 0xFF000000U | colour(x, y));
    }
  }
  return image;
}

// A 24-bit file of the picture, bottom-up, or top-down when height is negative.
std::string Bmp24(int width, int height, const ColourAt& colour) {
  BmpLayout layout;
  layout.width = width;
  layout.height = height;
  const int rows = std::abs(height);
  layout.pixels = PackRows(width, rows, 24,
                           [&](int x, int y) { return colour(x, height > 0 ? rows - 1 - y : y); });
  return MakeBmp(layout);
}

std::span<const std::uint8_t> AsBytes(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

ColourAt Uniform(std::uint32_t rgb) {
  return [rgb](int, int) { return rgb; };
}

int Red(Rgb565Pixel v) {
  return v >> 11;
}
int Green(Rgb565Pixel v) {
  return (v >> 5) & 0x3F;
}
int Blue(Rgb565Pixel v) {
  return v & 0x1F;
}

}  // namespace

TEST(ErrorDiffusionTest, UniformWhiteAndBlack) {
  TArgbImage white = Picture(7, 5, Uniform(0xFFFFFF));
  for (Rgb565Pixel v : ErrorDiffuseToRgb565(white)) {
    ASSERT_EQ(v, 0xFFDF);  // green keeps 5 significant bits: 31 << 6
  }
  TArgbImage black = Picture(7, 5, Uniform(0));
  for (Rgb565Pixel v : ErrorDiffuseToRgb565(black)) {
    ASSERT_EQ(v, 0);
  }
}

TEST(ErrorDiffusionTest, GreyTwoByTwoWorkedByHand) {
  // Row 0: 128 -> level 16 (brightness 131, error -3), then 128 + (-21 >> 4) = 126 -> 15
  // (green: 128 + (-21 >> 5) = 127 -> 15). Row 1 receives 3/16, 5/16 and 1/16 of those
  // errors and comes out 15, 16.
  TArgbImage grey = Picture(2, 2, Uniform(0x808080));
  const std::vector<Rgb565Pixel> v = ErrorDiffuseToRgb565(grey);
  EXPECT_EQ(v, (std::vector<Rgb565Pixel>{0x8410, 0x7BCF, 0x7BCF, 0x8410}));

  // 119 -> level 14 (brightness 115, error 4, carry 28). Red and blue: 119 + (28 >> 4) = 120
  // -> 15; green: 119 + (28 >> 5) = 119 -> 14.
  TArgbImage light = Picture(2, 1, Uniform(0x777777));
  EXPECT_EQ(ErrorDiffuseToRgb565(light), (std::vector<Rgb565Pixel>{0x738E, 0x7B8F}));
}

TEST(ErrorDiffusionTest, MidGreyMixesLevelsAndEachRowStartsWithoutCarry) {
  TArgbImage grey = Picture(64, 16, Uniform(0x808080));
  const std::vector<Rgb565Pixel> v = ErrorDiffuseToRgb565(grey);
  int sixteens = 0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    ASSERT_TRUE(Red(v[i]) == 15 || Red(v[i]) == 16) << i;
    ASSERT_EQ(Red(v[i]), Blue(v[i]));
    ASSERT_EQ(Green(v[i]) & 1, 0) << i;
    sixteens += Red(v[i]) == 16;
  }
  EXPECT_GT(sixteens, 0);
  EXPECT_LT(sixteens, static_cast<int>(v.size()));
  EXPECT_EQ(Red(v[0]), 16);  // the very first pixel sees no error at all
}

TEST(ErrorDiffusionTest, GradientsKeepTheirAverageBrightness) {
  // Diffusion moves the quantisation error instead of dropping it: over a block the mean
  // stays close to the source, where truncation would lose up to 8 steps of 255. Green
  // passes on only half of its error (divided by 32), so it may drift by up to a level.
  const int width = 256;
  const int height = 64;
  TArgbImage ramp = Picture(width, height, [](int x, int y) {
    return static_cast<std::uint32_t>(x) << 16 | static_cast<std::uint32_t>(255 - x) << 8 |
           static_cast<std::uint32_t>(y * 4);
  });
  const std::vector<Rgb565Pixel> v = ErrorDiffuseToRgb565(ramp);
  const int block = 16;
  for (int x0 = 0; x0 < width; x0 += block) {
    double red = 0;
    double green = 0;
    double source = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = x0; x < x0 + block; ++x) {
        const Rgb565Pixel p = v[static_cast<std::size_t>(y) * width + x];
        red += Red(p) * 255.0 / 31.0;
        green += (Green(p) >> 1) * 255.0 / 31.0;
        source += x;
      }
    }
    const double n = block * height;
    EXPECT_NEAR(red / n, source / n, 1.5) << x0;
    EXPECT_NEAR(green / n, 255 - source / n, 8.3) << x0;
  }
  double blue = 0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    blue += Blue(v[i]) * 255.0 / 31.0;
  }
  EXPECT_NEAR(blue / static_cast<double>(v.size()), 126.0, 1.5);  // rows 0, 4, ... 252
}

TEST(ErrorDiffusionTest, WritesA565FileBottomUpWithSixtySixBytePrefix) {
  // A top-down 3 × 2 source: top row white, bottom row black.
  const std::string source = Bmp24(3, -2, [](int, int y) { return y == 0 ? 0xFFFFFFU : 0U; });
  const std::vector<std::uint8_t> out = ErrorDiffuseBmpBytes(AsBytes(source));
  ASSERT_EQ(out.size(), 66U + 8U * 2U);
  EXPECT_EQ(GetU32(out.data() + 2), out.size());
  EXPECT_EQ(GetU32(out.data() + 10), 66U);
  EXPECT_EQ(GetI32(out.data() + 22), 2);
  EXPECT_EQ(GetU32(out.data() + 30), 3U);
  EXPECT_EQ(GetU32(out.data() + 34), 0U);
  EXPECT_EQ(GetU32(out.data() + 54), 0xF800U);
  const std::uint8_t* bottom = out.data() + 66;
  const std::uint8_t* top = bottom + 8;
  for (int x = 0; x < 3; ++x) {
    EXPECT_EQ(GetU16(bottom + 2 * x), 0);
    EXPECT_EQ(GetU16(top + 2 * x), 0xFFDF);
  }
  EXPECT_EQ(GetU16(top + 6), 0);  // padding
}

TEST(ErrorDiffusionTest, RefusedSourceLeavesDestinationAsItWas) {
  tvx::test::TempDir dir;
  const std::string source = (dir / "in.bmp").string();
  const std::string target = (dir / "out.bmp").string();
  tvx::test::WriteFileBytes(source, Bmp24(4, 4, Uniform(0x123456)).substr(0, 60));
  EXPECT_THROW(BmpRGB888ToRGB565_ErrorDiffuse_FS(source, target), EImageError);
  EXPECT_FALSE(std::filesystem::exists(target));

  tvx::test::WriteFileBytes(target, "previous build");
  try {
    BmpRGB888ToRGB565_ErrorDiffuse_FS((dir / "missing.bmp").string(), target);
    FAIL();
  } catch (const EImageError& error) {
    EXPECT_STREQ(error.what(), "TFileInputStream _file_open_read ERROR!");
  }
  EXPECT_EQ(tvx::test::ReadFileBytes(target), "previous build");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);

  tvx::test::WriteFileBytes(source, Bmp24(4, 4, Uniform(0xFFFFFF)));
  try {
    BmpRGB888ToRGB565_ErrorDiffuse_FS(source, (dir / "none/out.bmp").string());
    FAIL();
  } catch (const EImageError& error) {
    EXPECT_STREQ(error.what(), "TFileOutputStream _file_create ERROR!");
  }
  BmpRGB888ToRGB565_ErrorDiffuse_FS(source, target);
  EXPECT_EQ(tvx::test::ReadFileBytes(target).size(), 66U + 8U * 4U);
}

TEST(TruncationTest, UniformWhiteAndBlackAndTheHeaderFields) {
  for (const auto& [colour, value] : {std::pair{0xFFFFFFU, 0xFFFF}, {0U, 0}, {0x0F0703U, 0x0820}}) {
    const auto out = TranslateBmpBytesRgb888ToRgb565(AsBytes(Bmp24(4, 3, Uniform(colour))));
    ASSERT_TRUE(out.ok());
    ASSERT_EQ(out->size(), 66U + 4U * 2U * 3U);
    const std::uint8_t* p = out->data();
    EXPECT_EQ(GetU32(p + 2), 90U);
    EXPECT_EQ(GetU32(p + 10), 66U);
    EXPECT_EQ(GetU32(p + 14), 40U);
    EXPECT_EQ(GetI32(p + 18), 4);
    EXPECT_EQ(GetI32(p + 22), 3);
    EXPECT_EQ(GetU16(p + 28), 16);
    EXPECT_EQ(GetU32(p + 30), 3U);
    EXPECT_EQ(GetU32(p + 34), 24U);
    EXPECT_EQ(GetU32(p + 46), 3U);
    EXPECT_EQ(GetU32(p + 62), 0x001FU);
    for (std::size_t i = 66; i < out->size(); i += 2) {
      ASSERT_EQ(GetU16(p + i), value);
    }
  }
}

TEST(TruncationTest, RowPaddingIsHonouredSoEvenWidthsComeOutStraight) {
  // 102 pixels: 306 bytes of pixels and 2 of padding per row. Column x is red x, row y blue y.
  const auto colour = [](int x, int y) { return static_cast<std::uint32_t>(x << 16 | y); };
  const auto out = TranslateBmpBytesRgb888ToRgb565(AsBytes(Bmp24(102, 5, colour)));
  ASSERT_TRUE(out.ok());
  ASSERT_EQ(out->size(), 66U + 102U * 2U * 5U);
  for (int fileRow = 0; fileRow < 5; ++fileRow) {
    for (int x = 0; x < 102; ++x) {
      const Rgb565Pixel v = GetU16(out->data() + 66 + (fileRow * 102 + x) * 2);
      ASSERT_EQ(v, Rgb565FromRgb888(static_cast<std::uint8_t>(x), 0,
                                    static_cast<std::uint8_t>(4 - fileRow)))
          << x << "," << fileRow;
    }
  }
}

TEST(TruncationTest, AcceptsCoreHeaderAndKeepsTopDownOrder) {
  // Core header: 12 bytes with 16-bit width and height.
  std::string core = "BM";
  tvx::test::PutLe(core, 26 + 8 * 1, 4);
  tvx::test::PutLe(core, 0, 4);
  tvx::test::PutLe(core, 26, 4);
  for (std::uint32_t field : {12U, 2U, 1U, 1U}) {
    tvx::test::PutLe(core, field, field == 12 ? 4 : 2);
  }
  tvx::test::PutLe(core, 24, 2);
  core += std::string("\x10\x20\x30\x40\x50\x60\0\0", 8);
  const auto fromCore = TranslateBmpBytesRgb888ToRgb565(AsBytes(core));
  ASSERT_TRUE(fromCore.ok());
  EXPECT_EQ(GetU16(fromCore->data() + 66), Rgb565FromRgb888(0x30, 0x20, 0x10));
  EXPECT_EQ(GetU16(fromCore->data() + 68), Rgb565FromRgb888(0x60, 0x50, 0x40));

  const auto topDown =
      TranslateBmpBytesRgb888ToRgb565(AsBytes(Bmp24(2, -3, [](int, int y) { return y; })));
  ASSERT_TRUE(topDown.ok());
  EXPECT_EQ(GetI32(topDown->data() + 22), -3);
  EXPECT_EQ(GetU32(topDown->data() + 2), 66U + 12U);  // sizes count rows, never negative
  EXPECT_EQ(GetU32(topDown->data() + 34), 12U);
  EXPECT_EQ(GetU16(topDown->data() + 66), 0);  // first stored row stays first
  EXPECT_EQ(GetU16(topDown->data() + 66 + 8), Rgb565FromRgb888(0, 0, 2));
}

TEST(TruncationTest, RefusalsNameTheRule) {
  struct {
    const char* name;
    std::function<void(BmpLayout&)> change;
    const char* reason;
  } const cases[] = {
      {"odd width", [](BmpLayout& s) { s.width = 101; }, "(bmpInfo.biWidth & 1)==0"},
      {"lower-case tag", [](BmpLayout& s) { s.tag[0] = 'b'; }, "bmp file \"BM\" tag error!"},
      {"version 5 header", [](BmpLayout& s) { s.infoSize = 124; },
       "bmpInfo.biSize==40 || bmpInfo.biSize==12"},
      {"32 bits", [](BmpLayout& s) { s.bitCount = 32; }, "bmpInfo.biBitCount==24"},
      {"two planes", [](BmpLayout& s) { s.planes = 2; }, "bmpInfo.biPlanes==1"},
      {"compressed", [](BmpLayout& s) { s.compression = 1; }, "bmpInfo.biCompression==0"},
      {"short block", [](BmpLayout& s) { s.pixels.resize(s.pixels.size() - 3); },
       "bmFileHeader.bfOffBits + stride * abs(bmpInfo.biHeight) <= file size"},
      {"huge", [](BmpLayout& s) { s.height = 100000; }, "abs(bmpInfo.biHeight) <= 32767"},
  };
  for (const auto& c : cases) {
    BmpLayout layout;
    layout.width = 102;
    layout.height = 2;
    layout.pixels = PackRows(102, 2, 24, [](int, int) { return 0x808080U; });
    c.change(layout);
    const auto refused = TranslateBmpBytesRgb888ToRgb565(AsBytes(MakeBmp(layout)));
    EXPECT_FALSE(refused) << c.name;
    EXPECT_EQ(refused ? "(accepted)" : refused.error().detail, c.reason) << c.name;
  }
}

TEST(TruncationTest, FilesReadOnlySourceConvertsRefusalWritesNothing) {
  tvx::test::TempDir dir;
  const std::string source = (dir / "in.bmp").string();
  const std::string target = (dir / "out.bmp").string();
  tvx::test::WriteFileBytes(source, Bmp24(4, 2, Uniform(0xFFFFFF)));
  // The shipped picture tree may be installed read-only; reading it must still work.
  std::filesystem::permissions(source, std::filesystem::perms::owner_read);
  EXPECT_TRUE(Sub2_TranslateRgb888ToRgb565(source, target));
  EXPECT_EQ(tvx::test::ReadFileBytes(target).size(), 66U + 16U);

  std::filesystem::permissions(source, std::filesystem::perms::owner_all);
  tvx::test::WriteFileBytes(source, Bmp24(3, 2, Uniform(0xFFFFFF)));
  std::filesystem::remove(target);
  EXPECT_FALSE(Sub2_TranslateRgb888ToRgb565(source, target));
  EXPECT_FALSE(Sub2_TranslateRgb888ToRgb565((dir / "missing.bmp").string(), target));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

  tvx::test::WriteFileBytes(source, Bmp24(4, 2, Uniform(0xFFFFFF)));
  const std::string nowhere = (dir / "no/out.bmp").string();
  const Result<void> notWritten = TranslateRgb888FileToRgb565(source, nowhere);
  ASSERT_FALSE(notWritten);
  EXPECT_EQ(notWritten.error().detail, "TFileOutputStream _file_create ERROR!");
  EXPECT_EQ(notWritten.error().subject, nowhere);
}
