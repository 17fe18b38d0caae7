#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "image/error_diffusion.h"
#include "image/picture_decoder.h"
#include "image/truncate_converter.h"
#include "rom/build_report.h"
#include "rom/glb_builder.h"
#include "support/bmp_builder.h"
#include "support/cli_run.h"
#include "support/magick.h"
#include "support/temp_dir.h"
#include "util/error_text.h"
#include "util/ini_file.h"

// Pictures in forms their converter refuses: the build stores what the converter makes of a
// plain 24-bit BMP of the same pixels.
namespace tvx {
namespace {

namespace fs = std::filesystem;

constexpr int kMessageBank = 0;
constexpr int kMessageSlot = 196;
constexpr int kBackgroundBank = 7;

std::uint32_t le32(const std::string& bytes, std::size_t at) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) {
    value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

std::span<const std::uint8_t> asBytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string stored(std::vector<std::uint8_t> bytes) {
  ReplaceBmTag(bytes);
  return {bytes.begin(), bytes.end()};
}

// What each converter makes of a picture that it takes as it is.
std::string truncated(const std::string& bmp) {
  const auto converted = TranslateBmpBytesRgb888ToRgb565(asBytes(bmp));
  EXPECT_TRUE(converted);
  return converted ? stored(*converted) : std::string();
}
std::string diffused(const std::string& bmp) {
  return stored(ErrorDiffuseBmpBytes(asBytes(bmp)));
}

// ImageMagick's own reading of a picture, composited over black, as a 24-bit BMP3.
std::string magickBmp3(const std::string& picture) {
  return test::ReadFileBytes(test::MagickPicture(
      fs::path(picture).filename().string() + ".ref.bmp",
      test::ShellQuoted(picture) + " -background black -flatten -type TrueColor BMP3:"));
}

// The decoder's own pixels as a 24-bit BMP, written by the tests' BMP composer.
std::string decodedBmp3(const std::string& picture) {
  const Result<TArgbImage> decoded = DecodePictureFile(picture);
  EXPECT_TRUE(decoded);
  if (!decoded) {
    return {};
  }
  const TArgbImage& image = *decoded;
  test::BmpLayout layout;
  layout.width = image.Width();
  layout.height = image.Height();
  layout.pixels = test::PackRows(image.Width(), image.Height(), 24, [&image](int x, int row) {
    return image.Pixel(x, image.Height() - 1 - row) & 0xFFFFFF;
  });
  return test::MakeBmp(layout);
}

class PreparedPictureTest : public ::testing::Test {
 protected:
  void setSlot(int bank, int slot, const std::string& value) {
    YVclUtil::TYIniFile list(listPath);
    list.WriteString("BANK" + std::to_string(bank), "RESFN_" + std::to_string(slot), value);
    list.WriteString("GLOBAL", "ROMFILENAME", (work / "Temp.glb").string());
  }
  // The stored bytes of each slot after a build; empty for an empty slot.
  std::vector<std::string> build(const std::vector<std::pair<int, int>>& slots) {
    const Result<GlbResult> result =
        MakeGLB(listPath, {.workFolder = work.path().string()},
                BuildReporter(0, [this](const std::string& line) { log.push_back(line); }));
    EXPECT_TRUE(result && result->written) << (result ? "" : ErrorText(result.error(), 0));
    const std::string glb = test::ReadFileBytes(work / "Temp.GLB");
    std::vector<std::string> resources;
    for (const auto& [bank, slot] : slots) {
      const std::size_t at = 8 + static_cast<std::size_t>(bank * 256 + slot) * 8;
      resources.push_back(glb.substr(le32(glb, at), le32(glb, at + 4)));
    }
    EXPECT_FALSE(fs::exists(work / "TempPrepared.bmp")) << "the prepared picture is removed";
    return resources;
  }

  test::TempDir work;
  std::string listPath = (work / "tempt880.glp").string();
  std::vector<std::string> log;
};

TEST_F(PreparedPictureTest, MessagesAndBackgroundsAreStoredAsTheirPlainBmpWouldBe) {
  const std::string message = "-seed 5 -size 240x48 plasma: ";
  const std::string background = "-seed 5 -size 240x320 plasma: ";
  const std::string alpha = "-alpha on -channel A -fx 'i/w' +channel ";
  const struct {
    const char* name;
    std::string options;
    bool lossy;
  } forms[] = {
      {"v5", "BMP:", false},
      {"palette", "-type Palette -compress None BMP3:", false},
      {"rle8", "-type Palette -compress RLE BMP3:", false},
      {"rgb.png", "PNG24:", false},
      {"rgba.png", alpha + "PNG32:", false},
      {"progressive.jpg", "-interlace Plane -quality 85 JPEG:", true},
  };
  for (const auto& form : forms) {
    SCOPED_TRACE(form.name);
    const std::string small =
        test::MagickPicture(std::string("m_") + form.name, message + form.options);
    const std::string large =
        test::MagickPicture(std::string("b_") + form.name, background + form.options);
    setSlot(kMessageBank, kMessageSlot, small);
    setSlot(kBackgroundBank, 0, large);
    const std::vector<std::string> resources =
        build({{kMessageBank, kMessageSlot}, {kBackgroundBank, 0}});
    const auto reference = form.lossy ? decodedBmp3 : magickBmp3;
    EXPECT_EQ(resources[0], truncated(reference(small)));
    EXPECT_EQ(resources[1], diffused(reference(large)));
  }
  EXPECT_TRUE(log.empty());
}

TEST_F(PreparedPictureTest, WhatAConverterTakesAndWhatNothingReadsAreHandledAsEver) {
  // The background converter takes a 32-bit BMP and ignores its alpha.
  const std::string alphaBmp = test::MagickPicture(
      "b_alpha.bmp", "-seed 5 -size 240x320 plasma: -alpha on -channel A -fx 'i/w' +channel BMP:");
  const std::string odd = test::MagickPicture("odd.png", "-seed 5 -size 241x48 plasma: PNG24:");
  setSlot(kBackgroundBank, 0, alphaBmp);
  setSlot(kMessageBank, kMessageSlot, odd);
  const std::vector<std::string> resources =
      build({{kBackgroundBank, 0}, {kMessageBank, kMessageSlot}});
  EXPECT_EQ(resources[0], diffused(test::ReadFileBytes(alphaBmp)));
  EXPECT_EQ(resources[1], "") << "an odd width is not padded";
  EXPECT_EQ(log, std::vector<std::string>{"[Warning] BANK0-196=" + odd +
                                          " picture not converted (bmp file \"BM\" tag error!) "
                                          "--> empty slot !!!"});
}

}  // namespace
}  // namespace tvx
