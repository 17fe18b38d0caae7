#include <gtest/gtest.h>

#include <random>
#include <span>
#include <string>

#include "image/bmp_file.h"
#include "image/image_error.h"
#include "image/little_endian.h"
#include "support/temp_dir.h"

using namespace tvx;

namespace {

std::vector<std::uint8_t> Write(TArgbImage& image, int r, int g, int b) {
  TMemoryOutputStream out;
  WriteBmp(image, out, r, g, b);
  return out.TakeBytes();
}

void Fill(TArgbImage& image, std::uint32_t seed) {
  std::mt19937 random(seed);
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      image.SetPixel(x, y, static_cast<std::uint32_t>(random()) | 0xFF000000U);
    }
  }
}

std::string ReadError(const std::vector<std::uint8_t>& file) {
  TMemoryInputStream in(file);
  TArgbImage image;
  try {
    ReadBmp(in, image);
  } catch (const EImageError& error) {
    return error.what();
  }
  return "";
}

}  // namespace

TEST(WriteBmpTest, TwoByTwoRgb565IsSeventyFourBytes) {
  TArgbImage image(2, 2);
  image.SetPixel(0, 0, 0xFFFF0000);  // top row: red, green
  image.SetPixel(1, 0, 0xFF00FF00);
  image.SetPixel(0, 1, 0xFF0000FF);  // bottom row: blue, white
  image.SetPixel(1, 1, 0xFFFFFFFF);
  const std::vector<std::uint8_t> file = Write(image, 5, 6, 5);
  ASSERT_EQ(file.size(), 74U);
  const std::uint8_t* p = file.data();
  EXPECT_EQ(p[0], 'B');
  EXPECT_EQ(p[1], 'M');
  EXPECT_EQ(GetU32(p + 2), 74U);
  EXPECT_EQ(GetU32(p + 6), 0U);
  EXPECT_EQ(GetU32(p + 10), 66U);
  EXPECT_EQ(GetU32(p + 14), 40U);
  EXPECT_EQ(GetI32(p + 18), 2);
  EXPECT_EQ(GetI32(p + 22), 2);
  EXPECT_EQ(GetU16(p + 26), 1);
  EXPECT_EQ(GetU16(p + 28), 16);
  EXPECT_EQ(GetU32(p + 30), 3U);
  for (int offset = 34; offset < 54; offset += 4) {
    EXPECT_EQ(GetU32(p + offset), 0U) << offset;
  }
  EXPECT_EQ(GetU32(p + 54), 0xF800U);
  EXPECT_EQ(GetU32(p + 58), 0x07E0U);
  EXPECT_EQ(GetU32(p + 62), 0x001FU);
  // Bottom row first.
  EXPECT_EQ(GetU16(p + 66), 0x001F);
  EXPECT_EQ(GetU16(p + 68), 0xFFFF);
  EXPECT_EQ(GetU16(p + 70), 0xF800);
  EXPECT_EQ(GetU16(p + 72), 0x07E0);
}

TEST(WriteBmpTest, RowsArePaddedWithZeros) {
  TArgbImage image(3, 1);
  for (int x = 0; x < 3; ++x) {
    image.SetPixel(x, 0, 0xFFFFFFFF);
  }
  const std::vector<std::uint8_t> file = Write(image, 5, 6, 5);
  ASSERT_EQ(file.size(), 66U + 8U);
  EXPECT_EQ(GetU16(file.data() + 66 + 4), 0xFFFF);
  EXPECT_EQ(GetU16(file.data() + 66 + 6), 0);

  const std::vector<std::uint8_t> wide = Write(image, 8, 8, 8);
  ASSERT_EQ(wide.size(), 66U + 12U);
  EXPECT_EQ(GetU16(wide.data() + 28), 32);
  EXPECT_EQ(GetU32(wide.data() + 54), 0xFF0000U);
  EXPECT_EQ(GetU32(wide.data() + 66 + 8), 0xFFFFFFU);
}

TEST(WriteBmpTest, RoundTripsKeepTheHighBitsOfEveryChannel) {
  struct {
    int r, g, b;
  } const widths[] = {{5, 6, 5}, {5, 5, 5}, {4, 4, 4}, {8, 8, 8}};
  for (const auto& w : widths) {
    for (const auto& [width, height] : {std::pair{1, 1}, {3, 5}, {17, 4}, {240, 2}}) {
      SCOPED_TRACE(testing::Message() << w.r << w.g << w.b << " " << width << "x" << height);
      TArgbImage image(width, height);
      Fill(image, static_cast<std::uint32_t>(width * 31 + height));
      std::vector<std::uint8_t> file = Write(image, w.r, w.g, w.b);
      // The reader's size rule wants bfSize without the masks; the writer counts them.
      EXPECT_EQ(ReadError(file),
                "bmpInfo.biSizeImage == bmFileHeader.bfSize - bmpInfo.biSize - "
                "sizeof(bmFileHeader) - 2");
      PutU32(file.data() + 2, GetU32(file.data() + 2) - 12);
      TMemoryInputStream in(file);
      TArgbImage back;
      ReadBmp(in, back);
      ASSERT_EQ(back.Width(), width);
      ASSERT_EQ(back.Height(), height);
      const std::uint32_t keep = 0xFF000000U | (0xFFU << (8 - w.r) & 0xFF) << 16 |
                                 (0xFFU << (8 - w.g) & 0xFF) << 8 | (0xFFU << (8 - w.b) & 0xFF);
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          ASSERT_EQ(back.Pixel(x, y), image.Pixel(x, y) & keep) << x << "," << y;
        }
      }
    }
  }
}

TEST(WriteBmpTest, FullDiskIsAnErrorNotASuccess) {
  TArgbImage image(64, 64);
  Fill(image, 1);
  TFileOutputStream out("/dev/full");
  EXPECT_THROW(
      {
        WriteBmp(image, out, 5, 6, 5);
        out.Close();
      },
      EImageError);
}

TEST(ReplacingFileOutputStreamTest, FileAppearsOnlyOnCommit) {
  tvx::test::TempDir dir;
  const std::string target = (dir / "out.bmp").string();
  tvx::test::WriteFileBytes(target, "old");
  {
    TReplacingFileOutputStream out(target);
    WriteAll(out, "new", 3);
  }  // dropped without Commit
  EXPECT_EQ(tvx::test::ReadFileBytes(target), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

  TReplacingFileOutputStream out(target);
  WriteAll(out, "new", 3);
  out.Commit();
  EXPECT_EQ(tvx::test::ReadFileBytes(target), "new");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

  try {
    TReplacingFileOutputStream missing((dir / "no/such/folder.bmp").string());
    FAIL() << "created a file in a missing folder";
  } catch (const EImageError& error) {
    EXPECT_STREQ(error.what(), "TFileOutputStream _file_create ERROR!");
  }
}

TEST(FileInputStreamTest, ReadsAreCheckedAgainstTheFileLength) {
  tvx::test::TempDir dir;
  const std::string path = (dir / "six.bin").string();
  tvx::test::WriteFileBytes(path, "abcdef");
  TFileInputStream in(path);
  EXPECT_EQ(in.Size(), 6U);
  char buffer[8] = {};
  EXPECT_TRUE(in.Peek(buffer, 2));
  EXPECT_EQ(in.Position(), 0U);
  in.Skip(2);
  EXPECT_FALSE(in.Peek(buffer, 5));
  try {
    in.ReadBuffer(5);
    FAIL();
  } catch (const EImageError& error) {
    EXPECT_STREQ(error.what(), "TFileInputStream::read ERROR!");
  }
  try {
    in.Skip(5);
    FAIL();
  } catch (const EImageError& error) {
    EXPECT_STREQ(error.what(), "TFileInputStream::skip ERROR!");
  }
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(in.ReadBuffer(4)), 4), "cdef");

  for (const std::string& bad : {(dir / "missing").string(), dir.path().string()}) {
    try {
      TFileInputStream none(bad);
      FAIL() << bad;
    } catch (const EImageError& error) {
      EXPECT_STREQ(error.what(), "TFileInputStream _file_open_read ERROR!");
    }
  }
}
