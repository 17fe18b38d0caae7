#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "image/bmp_probe.h"
#include "image/error_diffusion.h"
#include "image/image_error.h"
#include "image/truncate_converter.h"
#include "support/bmp_builder.h"
#include "support/temp_dir.h"

using namespace tvx;

namespace {

namespace fs = std::filesystem;

const fs::path kImageData = fs::path(TVX_TEST_DATA_DIR) / "image";

BmpProbe probeOf(const std::string& bytes) {
  TMemoryInputStream in({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  return ProbeBmp(in);
}

}  // namespace

// Every picture of the test data: ImageMagick's forms, broken files and the build's fixtures.
TEST(BmpProbeTest, SaysWhatEachConverterDoesAndTheSizeItMakes) {
  test::TempDir dir;
  const std::string output = (dir / "out.bmp").string();
  int files = 0;
  for (const fs::path& folder : {kImageData / "magick", kImageData / "malformed",
                                 fs::path(TVX_TEST_DATA_DIR) / "rom/pictures"}) {
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.path().extension() != ".bmp") {
        continue;
      }
      SCOPED_TRACE(entry.path().filename().string());
      ++files;
      const std::string source = entry.path().string();
      const Result<BmpProbe> probe = ProbeBmpFile(source);
      ASSERT_TRUE(probe);

      const Result<void> truncated = TranslateRgb888FileToRgb565(source, output);
      EXPECT_EQ(probe->truncateRefusal, truncated ? "" : truncated.error().detail);
      if (truncated) {
        EXPECT_EQ(probe->convertedSize(), fs::file_size(output));
      }
      std::string diffuseRefusal;
      try {
        BmpRGB888ToRGB565_ErrorDiffuse_FS(source, output);
        EXPECT_EQ(probe->convertedSize(), fs::file_size(output));
      } catch (const EImageError& error) {
        diffuseRefusal = error.what();
      }
      EXPECT_EQ(probe->diffuseRefusal, diffuseRefusal);
    }
  }
  EXPECT_GT(files, 60);
}

TEST(BmpProbeTest, ReadsTheHeadersOfOtherProgramsForms) {
  const auto magick = [](const std::string& name) {
    return *ProbeBmpFile((kImageData / "magick" / name).string());
  };
  const BmpProbe v5 = magick("v5_bgr24.bmp");
  EXPECT_EQ(v5.kind, PictureFileKind::kBmp);
  EXPECT_EQ(v5.header.headerSize, 124U);
  EXPECT_EQ(v5.header.width, 37);
  EXPECT_EQ(v5.header.height, 23);
  EXPECT_EQ(v5.header.bitCount, 24);
  EXPECT_FALSE(v5.header.hasAlpha) << "a 24-bit picture has no alpha, whatever its masks say";
  EXPECT_EQ(v5.truncateRefusal, truncate_rule::kHeaderSize);
  EXPECT_TRUE(v5.diffusable());
  EXPECT_TRUE(magick("bgra32.bmp").header.hasAlpha);
  EXPECT_TRUE(magick("v5_bitfields32.bmp").header.hasAlpha);
  EXPECT_EQ(magick("v5_bitfields32.bmp").header.compression, 3U);
  EXPECT_EQ(magick("indexed8.bmp").header.bitCount, 8);

  test::BmpLayout layout;
  layout.width = 2;
  layout.height = -3;
  layout.pixels.assign(8 * 3 - 2, 0x80);
  const BmpProbe topDown = probeOf(test::MakeBmp(layout));
  EXPECT_TRUE(topDown.header.topDown);
  EXPECT_EQ(topDown.header.height, 3);
  EXPECT_TRUE(topDown.truncatable());

  layout.width = 4;
  layout.height = 1;
  layout.infoSize = 12;
  const BmpProbe core = probeOf(test::MakeBmp(layout));
  EXPECT_EQ(core.header.headerSize, 12U);
  EXPECT_EQ(core.header.width, 4) << "16-bit fields of the core header";

  EXPECT_EQ(probeOf("\x89PNG\r\n\x1a\n....").kind, PictureFileKind::kPng);
  EXPECT_EQ(probeOf("\xff\xd8\xff\xe0").kind, PictureFileKind::kJpeg);
  const BmpProbe cut = probeOf("BM\x10");
  EXPECT_FALSE(cut.header.complete);
  EXPECT_FALSE(cut.truncatable());
  EXPECT_FALSE(cut.diffusable());
}

TEST(BmpProbeTest, AFileThatCannotBeOpenedIsAnErrorNamingIt) {
  test::TempDir dir;
  const Result<BmpProbe> missing = ProbeBmpFile((dir / "gone.bmp").string());
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, ErrorCode::kNoSuchFile);
  EXPECT_EQ(missing.error().subject, (dir / "gone.bmp").string());
  const Result<BmpProbe> folder = ProbeBmpFile(dir.path().string());
  ASSERT_FALSE(folder);
  EXPECT_EQ(folder.error().code, ErrorCode::kNotAFile);
}
