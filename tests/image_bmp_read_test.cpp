#include <gtest/gtest.h>

#include <span>
#include <string>

#include "image/bmp_file.h"
#include "image/image_error.h"
#include "support/bmp_builder.h"

using namespace tvx;
using tvx::test::BmpLayout;
using tvx::test::MakeBmp;
using tvx::test::PackRows;

namespace {

std::span<const std::uint8_t> AsBytes(const std::string& s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

void Decode(const std::string& file, TArgbImage& image) {
  TMemoryInputStream in(AsBytes(file));
  ReadBmp(in, image);
}

// The text ReadBmp fails with, or "" when it accepts the file.
std::string Refusal(const std::string& file) {
  TArgbImage image;
  try {
    Decode(file, image);
  } catch (const EImageError& error) {
    return error.what();
  }
  return "";
}

// A 3 × 2 picture whose stored pixel at (x, fileRow) is value(x, fileRow).
BmpLayout Picture(int bitCount, const std::function<std::uint32_t(int, int)>& value) {
  BmpLayout layout;
  layout.width = 3;
  layout.height = 2;
  layout.bitCount = static_cast<std::uint16_t>(bitCount);
  layout.pixels = PackRows(3, 2, bitCount, value);
  return layout;
}

// The decoded pixel of a bottom-up file's fileRow.
std::uint32_t At(const TArgbImage& image, int x, int fileRow) {
  return image.Pixel(x, image.Height() - 1 - fileRow);
}

}  // namespace

TEST(ReadBmpTest, IndexedFormatsUsePaletteWithOpaqueAlpha) {
  const std::vector<std::uint32_t> colours = {0x000000, 0xFF0000, 0x00FF00,
                                              0x0000FF, 0x123456, 0xABCDEF};
  for (int bits : {1, 4, 8}) {
    SCOPED_TRACE(bits);
    BmpLayout layout =
        Picture(bits, [&](int x, int y) { return (x + 3 * y) % (bits == 1 ? 2 : 6); });
    layout.palette.assign(colours.begin(), colours.begin() + (bits == 1 ? 2 : 6));
    // The indicator's reader wants bfSize without the palette.
    TArgbImage image;
    Decode(MakeBmp(layout), image);
    ASSERT_EQ(image.Width(), 3);
    ASSERT_EQ(image.Height(), 2);
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(At(image, x, y), 0xFF000000U | colours[(x + 3 * y) % (bits == 1 ? 2 : 6)]);
      }
    }
  }
}

TEST(ReadBmpTest, IndexOutsideShortPaletteIsOpaqueBlack) {
  BmpLayout layout = Picture(8, [](int x, int) { return x == 2 ? 200U : 1U; });
  layout.palette = {0x111111, 0x222222};
  TArgbImage image;
  Decode(MakeBmp(layout), image);
  EXPECT_EQ(At(image, 0, 0), 0xFF222222U);
  EXPECT_EQ(At(image, 2, 0), 0xFF000000U);
}

struct MaskedCase {
  const char* name;
  int bitCount;
  std::uint32_t compression;
  std::optional<std::array<std::uint32_t, 3>> masks;
  std::uint32_t stored;
  std::uint32_t decoded;
};

TEST(ReadBmpTest, DirectColourFormatsWidenWithoutBitReplication) {
  const MaskedCase cases[] = {
      {"555 plain", 16, 0, std::nullopt, 0x7FFF, 0xFFF8F8F8},
      {"555 plain, mixed", 16, 0, std::nullopt, 0x7C00 | 0x0200 | 0x0001, 0xFFF88008},
      {"555 fields", 16, 3, std::array<std::uint32_t, 3>{0x7C00, 0x03E0, 0x001F}, 0x03E0,
       0xFF00F800},
      {"444 fields", 16, 3, std::array<std::uint32_t, 3>{0x0F00, 0x00F0, 0x000F}, 0x0A5F,
       0xFFA050F0},
      {"565 fields", 16, 3, std::array<std::uint32_t, 3>{0xF800, 0x07E0, 0x001F}, 0xFFFF,
       0xFFF8FCF8},
      {"565 fields, green", 16, 3, std::array<std::uint32_t, 3>{0xF800, 0x07E0, 0x001F}, 0x0020,
       0xFF000400},
      {"666 in 32 bits", 32, 3, std::array<std::uint32_t, 3>{0x3F0000, 0x000FC0, 0x00003F},
       0x003F0FFF, 0xFFFCFCFC},
      {"666 in 32 bits, other masks", 32, 3, std::array<std::uint32_t, 3>{1, 2, 4}, 0x00010041,
       0xFF040404},
      {"888 in 32 bit fields", 32, 3, std::array<std::uint32_t, 3>{0xFF0000, 0x00FF00, 0x0000FF},
       0x00123456, 0xFF123456},
      {"24 bits", 24, 0, std::nullopt, 0x123456, 0xFF123456},
      {"32 bits keep alpha", 32, 0, std::nullopt, 0x80123456, 0x80123456},
  };
  for (const MaskedCase& c : cases) {
    SCOPED_TRACE(c.name);
    BmpLayout layout = Picture(c.bitCount, [&](int x, int) { return x == 1 ? c.stored : 0U; });
    layout.compression = c.compression;
    layout.masks = c.masks;
    TArgbImage image;
    ASSERT_EQ(Refusal(MakeBmp(layout)), "");
    Decode(MakeBmp(layout), image);
    EXPECT_EQ(At(image, 1, 0), c.decoded);
    EXPECT_EQ(At(image, 1, 1), c.decoded);
    EXPECT_EQ(At(image, 0, 0) & 0x00FFFFFF, 0U);
  }
}

TEST(ReadBmpTest, MasksInsideVersion5HeaderAreUsed) {
  BmpLayout layout = Picture(16, [](int, int) { return 0xF800U; });
  layout.infoSize = 124;
  layout.compression = 3;
  layout.masks = std::array<std::uint32_t, 3>{0xF800, 0x07E0, 0x001F};
  TArgbImage image;
  Decode(MakeBmp(layout), image);
  EXPECT_EQ(At(image, 2, 1), 0xFFF80000U);
}

TEST(ReadBmpTest, LongerHeaderIsSkippedAndShorterLeavesZeros) {
  BmpLayout layout = Picture(24, [](int x, int y) { return x == 2 && y == 1 ? 0x0000FFU : 0U; });
  layout.infoSize = 48;
  TArgbImage image;
  Decode(MakeBmp(layout), image);
  EXPECT_EQ(At(image, 2, 1), 0xFF0000FFU);

  // 24 bytes end after biSizeImage; the later fields read as 0.
  layout.infoSize = 24;
  Decode(MakeBmp(layout), image);
  EXPECT_EQ(At(image, 2, 1), 0xFF0000FFU);
}

TEST(ReadBmpTest, TopDownEqualsBottomUpAndLowerCaseTagIsAccepted) {
  const auto value = [](int x, int y) { return static_cast<std::uint32_t>(0x10101 * (x + 4 * y)); };
  BmpLayout bottomUp = Picture(24, value);
  BmpLayout topDown = bottomUp;
  topDown.height = -2;
  topDown.pixels = PackRows(3, 2, 24, [&](int x, int y) { return value(x, 1 - y); });
  topDown.tag[0] = 'b';
  topDown.tag[1] = 'm';
  TArgbImage a;
  TArgbImage b;
  Decode(MakeBmp(bottomUp), a);
  Decode(MakeBmp(topDown), b);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(a.Pixel(x, y), b.Pixel(x, y));
    }
  }
  EXPECT_EQ(a.Pixel(0, 0), 0xFF040404U);  // file row 1 is the top row
}

TEST(ReadBmpTest, SizeRuleCountsHeadersAndPixelsOnly) {
  BmpLayout layout = Picture(24, [](int, int) { return 0U; });  // stride 12
  layout.biSizeImage = 0;
  EXPECT_EQ(Refusal(MakeBmp(layout)), "");  // bfSize = 54 + 12 × 2

  const std::string sizeRule =
      "bmpInfo.biSizeImage == bmFileHeader.bfSize - bmpInfo.biSize - sizeof(bmFileHeader) - 2";
  layout.bfSize = 54 + 24 + 2;
  EXPECT_EQ(Refusal(MakeBmp(layout)), sizeRule);

  BmpLayout indexed = Picture(8, [](int, int) { return 0U; });
  indexed.palette = {0, 0xFFFFFF};
  indexed.bfSize = 14 + 40 + 8 + 8;  // counts its palette, as most writers do
  EXPECT_EQ(Refusal(MakeBmp(indexed)), sizeRule);
}

TEST(ReadBmpTest, HeaderRulesInTheirOrder) {
  BmpLayout layout = Picture(24, [](int, int) { return 0U; });
  layout.planes = 2;
  layout.compression = 2;
  layout.bfSize = 1;
  EXPECT_EQ(Refusal(MakeBmp(layout)),
            "bmpInfo.biSizeImage == bmFileHeader.bfSize - bmpInfo.biSize - sizeof(bmFileHeader) - "
            "2");
  layout.bfSize.reset();
  EXPECT_EQ(Refusal(MakeBmp(layout)), "bmpInfo.biPlanes==1");
  layout.planes = 1;
  EXPECT_EQ(Refusal(MakeBmp(layout)), "bmpInfo.biCompression!=csBI_RLE4");
  layout.compression = 1;
  EXPECT_EQ(Refusal(MakeBmp(layout)), "bmpInfo.biCompression!=csBI_RLE8");

  BmpLayout twoBit = Picture(2, [](int, int) { return 0U; });
  twoBit.palette = {0, 1, 2, 3};
  EXPECT_EQ(Refusal(MakeBmp(twoBit)), "false");

  BmpLayout tag = layout;
  tag.tag[0] = 'M';
  EXPECT_EQ(Refusal(MakeBmp(tag)), "bmp file \"BM\" tag error!");
  EXPECT_EQ(Refusal(""), "bmp file \"BM\" tag error!");
}

TEST(ReadBmpTest, SixteenBitMaskRules) {
  struct {
    std::array<std::uint32_t, 3> masks;
    const char* text;
  } const cases[] = {
      {{0xF800, 0x03E0, 0x001F}, "RMask==0x7C00"}, {{0x7C00, 0x03E0, 0x003F}, "BMask==0x001F"},
      {{0x7C00, 0x07E0, 0x001F}, "RMask==0xF800"}, {{0xF800, 0x0FE0, 0x001F}, "GMask==0x07E0"},
      {{0xF800, 0x07E0, 0x000F}, "BMask==0x001F"},
  };
  for (const auto& c : cases) {
    BmpLayout layout = Picture(16, [](int, int) { return 0U; });
    layout.compression = 3;
    layout.masks = c.masks;
    layout.bfSize = 14 + 40 + 16;  // the rule fails too, but the masks are checked first
    EXPECT_EQ(Refusal(MakeBmp(layout)), c.text);
  }
}

TEST(ReadBmpTest, EighteenBitLayoutInSixteenBitFileNeverReadsPastTheBlock) {
  // Chosen by the green mask 0x0FC0, the 18-bit decoder takes 4 bytes per pixel although
  // the rows hold 2; the block is too short for that and the file is refused.
  BmpLayout layout = Picture(16, [](int, int) { return 0xFFFFU; });
  layout.compression = 3;
  layout.masks = std::array<std::uint32_t, 3>{0, 0x0FC0, 0};
  EXPECT_EQ(Refusal(MakeBmp(layout)),
            "bmpInfo.biSizeImage >= stride * (abs(bmpInfo.biHeight) - 1) + rowBytes");
}
