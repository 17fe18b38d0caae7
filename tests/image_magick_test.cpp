#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "image/bmp_file.h"
#include "image/error_diffusion.h"
#include "image/image_error.h"
#include "image/little_endian.h"
#include "image/truncate_converter.h"
#include "support/temp_dir.h"

// Pictures written by ImageMagick (tests/data/image/magick/make_magick_fixtures.sh).

using namespace tvx;

namespace {

const std::filesystem::path kFolder = std::filesystem::path(TVX_TEST_DATA_DIR) / "image/magick";

std::vector<std::uint8_t> Load(const std::string& name) {
  const std::string bytes = tvx::test::ReadFileBytes(kFolder / name);
  return {bytes.begin(), bytes.end()};
}

// An 8-bit binary PPM as width, height and R, G, B bytes.
struct Rgb {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
  std::uint32_t At(int x, int y) const {
    const std::uint8_t* p = pixels.data() + (static_cast<std::size_t>(y) * width + x) * 3;
    return static_cast<std::uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
  }
};

Rgb LoadPpm(const std::string& name) {
  std::istringstream in(tvx::test::ReadFileBytes(kFolder / name));
  std::string magic;
  int maxValue = 0;
  Rgb rgb;
  in >> magic >> rgb.width >> rgb.height >> maxValue;
  in.get();
  rgb.pixels.resize(static_cast<std::size_t>(rgb.width) * rgb.height * 3);
  in.read(reinterpret_cast<char*>(rgb.pixels.data()),
          static_cast<std::streamsize>(rgb.pixels.size()));
  EXPECT_EQ(magic, "P6");
  EXPECT_EQ(maxValue, 255);
  return rgb;
}

std::string ReadError(const std::vector<std::uint8_t>& file, TArgbImage& image) {
  TMemoryInputStream in(file);
  try {
    ReadBmp(in, image);
  } catch (const EImageError& error) {
    return error.what();
  }
  return "";
}

int Channel(std::uint32_t rgb, int shift, int bits) {
  return static_cast<int>((rgb >> shift) & 0xFF) >> (8 - bits);
}

// Each channel's top bits of the decoded picture are within `slack` of the reference.
void ExpectHighBits(const TArgbImage& image, const Rgb& reference, int bitsR, int bitsG, int bitsB,
                    int slack) {
  ASSERT_EQ(image.Width(), reference.width);
  ASSERT_EQ(image.Height(), reference.height);
  for (int y = 0; y < reference.height; ++y) {
    for (int x = 0; x < reference.width; ++x) {
      const std::uint32_t got = image.Pixel(x, y);
      const std::uint32_t want = reference.At(x, y);
      ASSERT_LE(std::abs(Channel(got, 16, bitsR) - Channel(want, 16, bitsR)), slack)
          << x << "," << y;
      ASSERT_LE(std::abs(Channel(got, 8, bitsG) - Channel(want, 8, bitsG)), slack) << x << "," << y;
      ASSERT_LE(std::abs(Channel(got, 0, bitsB) - Channel(want, 0, bitsB)), slack) << x << "," << y;
    }
  }
}

}  // namespace

TEST(MagickBmpTest, DirectColourFilesDecodeToTheSourcePicture) {
  const Rgb source = LoadPpm("source.ppm");
  struct {
    const char* name;
    int r, g, b;
    int slack;  // ImageMagick rounds when it narrows a channel; the reader truncates
  } const cases[] = {
      {"bgr24.bmp", 8, 8, 8, 0},       {"v5_bgr24.bmp", 8, 8, 8, 0},
      {"bgra32.bmp", 8, 8, 8, 0},      {"v5_bitfields32.bmp", 8, 8, 8, 0},
      {"v5_rgb565.bmp", 5, 6, 5, 1},   {"v5_rgb555.bmp", 5, 5, 5, 1},
      {"v5_argb4444.bmp", 4, 4, 4, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TArgbImage image;
    ASSERT_EQ(ReadError(Load(c.name), image), "");
    ExpectHighBits(image, source, c.r, c.g, c.b, c.slack);
  }
  TArgbImage withAlpha;
  ReadError(Load("bgra32.bmp"), withAlpha);
  EXPECT_NEAR(static_cast<int>(withAlpha.Pixel(3, 3) >> 24), 128, 1);
}

TEST(MagickBmpTest, PaletteFilesFailTheSizeRuleAndDecodeOnceBfSizeLeavesThePaletteOut) {
  for (const char* name : {"indexed8", "indexed4", "indexed1"}) {
    SCOPED_TRACE(name);
    std::vector<std::uint8_t> file = Load(std::string(name) + ".bmp");
    TArgbImage image;
    EXPECT_EQ(ReadError(file, image),
              "bmpInfo.biSizeImage == bmFileHeader.bfSize - bmpInfo.biSize - "
              "sizeof(bmFileHeader) - 2");
    const std::uint32_t paletteBytes = GetU32(file.data() + 10) - 54;
    PutU32(file.data() + 2, GetU32(file.data() + 2) - paletteBytes);
    ASSERT_EQ(ReadError(file, image), "");
    ExpectHighBits(image, LoadPpm(std::string(name) + ".ppm"), 8, 8, 8, 0);
  }
}

TEST(MagickBmpTest, TruncationAgreesWithImageMagicksOwn565Writer) {
  TArgbImage magick565;
  ASSERT_EQ(ReadError(Load("even_rgb565.bmp"), magick565), "");
  const auto ours = TranslateBmpBytesRgb888ToRgb565(Load("even_bgr24.bmp"));
  ASSERT_TRUE(ours.ok());
  ASSERT_EQ(ours->size(), 66U + 38U * 24U * 2U);
  for (int fileRow = 0; fileRow < 24; ++fileRow) {
    for (int x = 0; x < 38; ++x) {
      const Rgb565Pixel v = GetU16(ours->data() + 66 + (fileRow * 38 + x) * 2);
      const std::uint32_t theirs = magick565.Pixel(x, 23 - fileRow);
      ASSERT_LE(std::abs((v >> 11) - Channel(theirs, 16, 5)), 1) << x << "," << fileRow;
      ASSERT_LE(std::abs(((v >> 5) & 0x3F) - Channel(theirs, 8, 6)), 1) << x << "," << fileRow;
      ASSERT_LE(std::abs((v & 0x1F) - Channel(theirs, 0, 5)), 1) << x << "," << fileRow;
    }
  }
  const auto v5 = TranslateBmpBytesRgb888ToRgb565(Load("v5_bgr24.bmp"));
  ASSERT_FALSE(v5);
  EXPECT_EQ(v5.error().detail, "bmpInfo.biSize==40 || bmpInfo.biSize==12");
  const auto oddWidth = TranslateBmpBytesRgb888ToRgb565(Load("bgr24.bmp"));
  ASSERT_FALSE(oddWidth);
  EXPECT_EQ(oddWidth.error().detail, "(bmpInfo.biWidth & 1)==0");
}

TEST(MagickBmpTest, ErrorDiffusionAcceptsEveryDirectColourFile) {
  tvx::test::TempDir dir;
  for (const char* name : {"bgr24.bmp", "v5_bgr24.bmp", "bgra32.bmp", "v5_bitfields32.bmp",
                           "v5_rgb565.bmp", "v5_rgb555.bmp", "v5_argb4444.bmp"}) {
    SCOPED_TRACE(name);
    const std::string out = (dir / (std::string(name) + ".565")).string();
    BmpRGB888ToRGB565_ErrorDiffuse_FS((kFolder / name).string(), out);
    const std::string bytes = tvx::test::ReadFileBytes(out);
    EXPECT_EQ(bytes.size(), 66U + 76U * 23U);  // 37 pixels: 74 bytes and 2 of padding
  }
}
