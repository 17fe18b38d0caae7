#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "image/bmp_file.h"
#include "image/bmp_lenient.h"
#include "image/image_error.h"
#include "image/little_endian.h"
#include "image/picture_decoder.h"
#include "support/bmp_builder.h"
#include "support/magick.h"
#include "support/temp_dir.h"
#include "util/error_text.h"

// The decoder of every picture the build reads, on files written by ImageMagick and on BMPs
// composed field by field.
namespace tvx {
namespace {

// 37 × 23: an odd width, so that 24-bit and palette rows carry padding.
const std::string kSource = "-seed 7 -size 37x23 plasma: ";

std::vector<std::uint32_t> pixelsOf(const TArgbImage& image) {
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      pixels.push_back(image.Pixel(x, y));
    }
  }
  return pixels;
}

std::vector<std::uint8_t> bytesOf(const std::string& text) {
  return {text.begin(), text.end()};
}

int channelDistance(std::uint32_t a, std::uint32_t b) {
  int most = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    most = std::max(
        most, std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)));
  }
  return most;
}

// Decoded as ImageMagick reads the same file, pixel for pixel (each channel within `slack`:
// ImageMagick narrows 16-bit channels its own way).
void expectAsMagickReads(const std::string& picture, int slack = 0) {
  const Result<TArgbImage> decoded = DecodePictureFile(picture);
  ASSERT_TRUE(decoded) << ErrorText(decoded.error(), 0);
  const test::MagickPixels magick = test::MagickRead(picture);
  ASSERT_EQ(decoded->Width(), magick.width);
  ASSERT_EQ(decoded->Height(), magick.height);
  const std::vector<std::uint32_t> pixels = pixelsOf(*decoded);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    ASSERT_LE(channelDistance(pixels[i], magick.argb[i]), slack)
        << std::hex << pixels[i] << " against " << magick.argb[i] << " at pixel " << std::dec
        << i % 37 << "," << i / 37;
  }
}

TEST(PictureDecoderTest, EveryBmpFormImageMagickWritesDecodesAsItReadsIt) {
  const struct {
    const char* name;
    const char* options;
  } forms[] = {
      {"v5.bmp", "BMP:"},
      {"bmp3.bmp", "BMP3:"},
      {"palette8.bmp", "-type Palette -compress None BMP3:"},
      {"palette4.bmp", "-colors 16 -type Palette -compress None BMP3:"},
      {"bilevel.bmp", "-type Bilevel BMP3:"},
      {"alpha32.bmp", "-alpha on -channel A -fx 'i/w' +channel BMP:"},
      {"bmp4.bmp", "-alpha on -channel A -fx 'j/h' +channel -define bmp:format=bmp4 BMP:"},
      {"core8.bmp", "-type Palette BMP2:"},
      {"core24.bmp", "-type TrueColor BMP2:"},
      {"rle8.bmp", "-type Palette -compress RLE BMP3:"},
  };
  for (const auto& form : forms) {
    SCOPED_TRACE(form.name);
    expectAsMagickReads(test::MagickPicture(form.name, kSource + form.options));
  }
}

TEST(PictureDecoderTest, EveryPngFormDecodesAsImageMagickReadsIt) {
  const struct {
    const char* name;
    const char* options;
    int slack;
  } forms[] = {
      {"rgb.png", "PNG24:", 0},
      {"rgba.png", "-alpha on -channel A -fx 'i/w' +channel PNG32:", 0},
      {"palette.png", "-colors 40 PNG8:", 0},
      {"palette_trns.png", "-alpha on -channel A -fx 'i<9?0:1' +channel -colors 40 PNG8:", 0},
      {"grey8.png", "-colorspace Gray -depth 8 PNG:", 0},
      {"grey1.png", "-type Bilevel -depth 1 PNG:", 0},
      {"interlaced.png", "-interlace PNG PNG32:", 0},
      {"grey16.png", "-colorspace Gray -depth 16 PNG:", 1},
      {"grey_alpha16.png", "-colorspace Gray -alpha on -channel A -fx 'j/h' +channel PNG:", 1},
      {"rgb48.png", "-depth 16 PNG48:", 1},
  };
  for (const auto& form : forms) {
    SCOPED_TRACE(form.name);
    expectAsMagickReads(test::MagickPicture(form.name, kSource + form.options), form.slack);
  }
}

TEST(PictureDecoderTest, BaselineProgressiveAndGreyJpegsDecodeWithLibjpegsPixels) {
  for (const char* form : {"-quality 90", "-interlace Plane", "-colorspace Gray"}) {
    SCOPED_TRACE(form);
    const std::string name = "jpeg" + std::to_string(std::string(form).size()) + ".jpg";
    expectAsMagickReads(test::MagickPicture(name, kSource + form + " JPEG:"));
  }
  const Result<TArgbImage> cmyk = DecodePictureFile(
      test::MagickPicture("cmyk.jpg", "-size 8x8 xc:#ff0000 -colorspace CMYK -quality 100 JPEG:"));
  ASSERT_TRUE(cmyk) << ErrorText(cmyk.error(), 0);
  const std::uint32_t red = cmyk->Pixel(4, 4);
  EXPECT_GE(red >> 16 & 0xFF, 0xF0U);
  EXPECT_LE(red >> 8 & 0xFF, 0x10U);
  EXPECT_LE(red & 0xFF, 0x10U);
}

// Rows stored top row first: the palette file with its rows reversed and its height negated.
TEST(PictureDecoderTest, ATopDownBmpDecodesAsTheBottomUpOne) {
  const std::string picture =
      test::MagickPicture("palette8.bmp", kSource + "-type Palette -compress None BMP3:");
  std::vector<std::uint8_t> file = bytesOf(test::ReadFileBytes(picture));
  const std::uint32_t pixelsAt = GetU32(&file[10]);
  const std::size_t stride = 40;  // 37 bytes padded to 4
  const std::vector<std::uint8_t> rows(file.begin() + pixelsAt, file.end());
  for (int y = 0; y < 23; ++y) {
    std::copy_n(rows.begin() + static_cast<std::ptrdiff_t>((22 - y) * stride), stride,
                file.begin() + pixelsAt + static_cast<std::ptrdiff_t>(y * stride));
  }
  PutU32(&file[22], static_cast<std::uint32_t>(-23));
  const Result<TArgbImage> topDown = DecodePicture(file, "top-down.bmp");
  const Result<TArgbImage> bottomUp = DecodePictureFile(picture);
  ASSERT_TRUE(topDown && bottomUp);
  EXPECT_EQ(pixelsOf(*topDown), pixelsOf(*bottomUp));
}

// ImageMagick writes version 5 headers; a version 4 header is the same without its last 16 bytes.
TEST(PictureDecoderTest, AVersion4HeaderDecodesAsTheVersion5One) {
  const std::string picture =
      test::MagickPicture("alpha32.bmp", kSource + "-alpha on -channel A -fx 'i/w' +channel BMP:");
  const std::string v5 = test::ReadFileBytes(picture);
  std::vector<std::uint8_t> v4 = bytesOf(v5.substr(0, 14 + 108) + v5.substr(14 + 124));
  PutU32(&v4[10], GetU32(&v4[10]) - 16);
  PutU32(&v4[14], 108);
  const Result<TArgbImage> fromV4 = DecodePicture(v4, "v4.bmp");
  const Result<TArgbImage> fromV5 = DecodePictureFile(picture);
  ASSERT_TRUE(fromV4 && fromV5);
  EXPECT_EQ(pixelsOf(*fromV4), pixelsOf(*fromV5));
}

// Where the reader decodes a file, the lenient reader gives the same pixels.
TEST(PictureDecoderTest, TheLenientReaderAgreesWithTheReaderOnEveryFileTheReaderTakes) {
  const std::string folder = std::string(TVX_TEST_DATA_DIR) + "/image/magick/";
  for (const char* name : {"bgr24.bmp", "v5_bgr24.bmp", "bgra32.bmp", "v5_bitfields32.bmp",
                           "v5_rgb565.bmp", "v5_rgb555.bmp", "v5_argb4444.bmp"}) {
    SCOPED_TRACE(name);
    const std::vector<std::uint8_t> file = bytesOf(test::ReadFileBytes(folder + name));
    TMemoryInputStream in(file);
    TArgbImage strict;
    ReadBmp(in, strict);
    const Result<TArgbImage> lenient = DecodeLenientBmp(file);
    ASSERT_TRUE(lenient) << ErrorText(lenient.error(), 0);
    EXPECT_EQ(pixelsOf(*lenient), pixelsOf(strict));
  }
}

// An RLE4 stream of 9 × 3 with every escape: a run, a literal of odd length with its padding,
// an end of row, a jump, and the end of the picture before the last row, which stays colour 0.
TEST(PictureDecoderTest, Rle4RunsLiteralsJumpsAndAnEarlyEnd) {
  test::BmpLayout layout;
  layout.width = 9;
  layout.height = 3;
  layout.bitCount = 4;
  layout.compression = 2;
  layout.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  layout.pixels = {
      4, 0x12,                       // row 0: 1 2 1 2
      0, 5,    0x31, 0x23, 0x10, 0,  // literal 3 1 2 3 1, padded to 2 bytes
      0, 0,                          // end of row
      0, 2,    2,    0,              // jump 2 right: row 1, x 2
      2, 0x33,                       // 3 3
      0, 1,                          // end of picture: row 2 untouched
  };
  const Result<TArgbImage> image = DecodeLenientBmp(bytesOf(test::MakeBmp(layout)));
  ASSERT_TRUE(image) << ErrorText(image.error(), 0);
  const std::uint32_t k = 0xFF000000, r = 0xFFFF0000, g = 0xFF00FF00, b = 0xFF0000FF;
  EXPECT_EQ(pixelsOf(*image), (std::vector<std::uint32_t>{k, k, k, k, k, k, k, k, k,  // row 2
                                                          k, k, b, b, k, k, k, k, k,  // row 1
                                                          r, g, r, g, b, r, g, b, r}));
}

// Masks in headers of 52 and 56 bytes, the second with a 1-bit alpha: 1 is opaque.
TEST(PictureDecoderTest, MasksInVersion2And3HeadersIncludingAOneBitAlpha) {
  test::BmpLayout layout;
  layout.width = 2;
  layout.bitCount = 16;
  layout.compression = 3;
  layout.infoSize = 52;
  layout.masks = std::array<std::uint32_t, 3>{0x7C00, 0x03E0, 0x001F};
  layout.pixels = {0x00, 0xFC, 0x1F, 0x00};  // 0xFC00: red, alpha bit set; 0x001F: blue
  const std::string v2 = test::MakeBmp(layout);
  const Result<TArgbImage> rgb = DecodeLenientBmp(bytesOf(v2));
  ASSERT_TRUE(rgb) << ErrorText(rgb.error(), 0);
  EXPECT_EQ(pixelsOf(*rgb), (std::vector<std::uint32_t>{0xFFF80000, 0xFF0000F8}));

  layout.infoSize = 56;
  std::vector<std::uint8_t> v3 = bytesOf(test::MakeBmp(layout));
  PutU32(&v3[14 + 52], 0x8000);
  const Result<TArgbImage> argb = DecodeLenientBmp(v3);
  ASSERT_TRUE(argb) << ErrorText(argb.error(), 0);
  EXPECT_EQ(pixelsOf(*argb), (std::vector<std::uint32_t>{0xFFF80000, 0x000000F8}));
}

TEST(PictureDecoderTest, WhatCannotBeDecodedIsRefusedNamingTheFileAndTheFormFound) {
  const test::TempDir folder;
  const auto refusal = [&folder](const std::string& name, const std::string& bytes) {
    test::WriteFileBytes(folder / name, bytes);
    const Result<TArgbImage> decoded = DecodePictureFile((folder / name).string());
    return decoded ? std::string("(decoded)") : ErrorText(decoded.error(), 0);
  };
  const std::string at = folder.path().string() + "/";
  EXPECT_EQ(refusal("a.gif", test::ReadFileBytes(test::MagickPicture("a.gif", kSource + "GIF:"))),
            at + "a.gif: a GIF picture, which the build cannot read (it reads BMP, PNG and JPEG)");
  EXPECT_EQ(refusal("notes.txt", "lift 3"),
            at + "notes.txt: not a picture (neither BMP, PNG nor JPEG)");

  const std::string png = test::ReadFileBytes(test::MagickPicture("rgb.png", kSource + "PNG24:"));
  EXPECT_EQ(refusal("cut.png", png.substr(0, png.size() / 2)),
            at + "cut.png: a damaged PNG: the file ends inside the picture");
  std::string badCrc = png;
  badCrc[29] ^= 1;  // the header chunk's checksum
  EXPECT_EQ(refusal("crc.png", badCrc), at + "crc.png: a damaged PNG: IHDR: CRC error");

  const std::string jpeg =
      test::ReadFileBytes(test::MagickPicture("jpeg10.jpg", kSource + "-quality 90 JPEG:"));
  EXPECT_EQ(refusal("cut.jpg", jpeg.substr(0, jpeg.size() / 2)),
            at + "cut.jpg: a damaged JPEG: Premature end of JPEG file");
  EXPECT_EQ(
      refusal("two-bit.bmp", test::MakeBmp({.width = 4, .bitCount = 2, .pixels = {0, 0, 0, 0}})),
      at + "two-bit.bmp: a BMP the build cannot read: bmpInfo.biBitCount is 1, 4, 8, 16, 24 "
           "or 32");

  const Result<TArgbImage> missing = DecodePictureFile(at + "gone.png");
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, ErrorCode::kNoSuchFile);
  EXPECT_EQ(missing.error().subject, at + "gone.png");
}

// A forged header cannot make the decoder allocate: each form's size fields are refused first.
TEST(PictureDecoderTest, AbsurdDimensionsAreRefusedBeforeAnythingIsAllocated) {
  std::string bmp = test::MakeBmp({.width = 40000, .height = 40000, .pixels = {0, 0, 0}});
  const Result<TArgbImage> wideBmp = DecodePicture(bytesOf(bmp), "wide.bmp");
  ASSERT_FALSE(wideBmp);
  EXPECT_EQ(wideBmp.error().detail, "a BMP the build cannot read: bmpInfo.biWidth <= 32767");

  std::string png = test::ReadFileBytes(test::MagickPicture("rgb.png", kSource + "PNG24:"));
  const Result<TArgbImage> widePng =
      DecodePicture(bytesOf(png.replace(16, 4, "\0\0\x9c\x40", 4)), "wide.png");
  ASSERT_FALSE(widePng);
  EXPECT_EQ(widePng.error().detail.rfind("a damaged PNG: ", 0), 0U) << widePng.error().detail;

  std::string jpeg =
      test::ReadFileBytes(test::MagickPicture("jpeg10.jpg", kSource + "-quality 90 JPEG:"));
  const std::size_t frame = jpeg.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  jpeg.replace(frame + 5, 4, "\x9C\x40\x9C\x40", 4);  // 40000 × 40000
  const Result<TArgbImage> wideJpeg = DecodePicture(bytesOf(jpeg), "wide.jpg");
  ASSERT_FALSE(wideJpeg);
  EXPECT_EQ(wideJpeg.error().detail,
            "a JPEG of 40000 × 40000 pixels, beyond 32767 a side or 0x4000000 in all");
}

}  // namespace
}  // namespace tvx
