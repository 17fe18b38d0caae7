#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "image/bmp_probe.h"
#include "image/picture_decoder.h"
#include "support/cli_run.h"
#include "support/magick.h"
#include "support/temp_dir.h"

// The convert and crc8 commands of the tvx880 program.

namespace {

const std::filesystem::path kMagick = std::filesystem::path(TVX_TEST_DATA_DIR) / "image/magick";

}  // namespace

class ImageCliTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!tvx::test::Tvx880Built()) {
      GTEST_SKIP() << "build the tvx880 program first";
    }
  }
  tvx::test::TempDir m_dir;
};

TEST_F(ImageCliTest, ConvertWritesTheFileOrExplainsAndLeavesNothing) {
  const std::string even = tvx::test::ShellQuoted((kMagick / "even_bgr24.bmp").string());
  const std::string odd = tvx::test::ShellQuoted((kMagick / "bgr24.bmp").string());
  const std::string out = (m_dir / "out.bmp").string();

  tvx::test::CliRun run =
      tvx::test::RunTvx880("convert --truncate " + even + " " + tvx::test::ShellQuoted(out));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(tvx::test::ReadFileBytes(out).size(), 66U + 38U * 24U * 2U);
  run = tvx::test::RunTvx880("convert --diffuse " + odd + " " + tvx::test::ShellQuoted(out));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(tvx::test::ReadFileBytes(out).size(), 66U + 76U * 23U);
  std::filesystem::remove(out);

  run = tvx::test::RunTvx880("convert --truncate " + odd + " " + tvx::test::ShellQuoted(out));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tvx880: cannot convert " + (kMagick / "bgr24.bmp").string() + " to " + out +
                         ": its width is odd and the truncating converter takes even widths "
                         "only (tvx880 import --slot floor makes it even)\n");
  const std::string broken =
      (std::filesystem::path(TVX_TEST_DATA_DIR) / "image/malformed/pixels_cut.bmp").string();
  run = tvx::test::RunTvx880("convert --diffuse " + tvx::test::ShellQuoted(broken) + " " +
                             tvx::test::ShellQuoted(out));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(broken), std::string::npos);
  EXPECT_NE(run.err.find(": bmFileHeader.bfOffBits + bmpInfo.biSizeImage <= file size\n"),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty(m_dir.path()));

  EXPECT_EQ(tvx::test::RunTvx880("convert " + even + " " + tvx::test::ShellQuoted(out)).status, 2);
  EXPECT_EQ(tvx::test::RunTvx880("convert --diffuse --truncate " + even + " " +
                                 tvx::test::ShellQuoted(out))
                .status,
            2);
}

TEST_F(ImageCliTest, ConvertRefusesAnOutputThatIsTheInput) {
  const std::string picture = tvx::test::ReadFileBytes(kMagick / "even_bgr24.bmp");
  tvx::test::WriteFileBytes(m_dir / "in.bmp", picture);
  std::filesystem::create_symlink(m_dir / "in.bmp", m_dir / "link.bmp");
  std::filesystem::create_hard_link(m_dir / "in.bmp", m_dir / "hard.bmp");
  std::filesystem::create_directory(m_dir / "sub");
  const std::string in = (m_dir / "in.bmp").string();

  for (const std::string& out : {in, (m_dir / "sub/../in.bmp").string(),
                                 (m_dir / "link.bmp").string(), (m_dir / "hard.bmp").string()}) {
    for (const char* mode : {"--truncate", "--diffuse"}) {
      const tvx::test::CliRun run =
          tvx::test::RunTvx880(std::string("convert ") + mode + " " + tvx::test::ShellQuoted(in) +
                               " " + tvx::test::ShellQuoted(out));
      EXPECT_EQ(run.status, 1) << out;
      EXPECT_EQ(run.err,
                "tvx880: cannot convert " + in + " to " + out + ": the output is the input file\n");
    }
  }
  EXPECT_EQ(tvx::test::ReadFileBytes(m_dir / "in.bmp"), picture);
  EXPECT_TRUE(std::filesystem::is_symlink(m_dir / "link.bmp"));
}

TEST_F(ImageCliTest, ImportFitsAnyPictureToItsSlotAsBothConvertersTakeIt) {
  // Red above blue, a square: each fit shows it differently in a 240 x 48 message.
  const std::string square = tvx::test::MagickPicture(
      "square.png", "-size 480x240 xc:red -size 480x240 xc:blue -append PNG24:");
  const std::string out = (m_dir / "out.bmp").string();
  const auto import = [&](const std::string& picture, const std::string& options) {
    const tvx::test::CliRun run =
        tvx::test::RunTvx880("import " + tvx::test::ShellQuoted(picture) + " " +
                             tvx::test::ShellQuoted(out) + " " + options);
    EXPECT_EQ(run.status, 0) << options << ": " << run.err;
    const tvx::Result<tvx::BmpProbe> probe = tvx::ProbeBmpFile(out);
    EXPECT_TRUE(probe && probe->truncatable() && probe->diffusable()) << options;
    tvx::Result<tvx::TArgbImage> written = tvx::DecodePictureFile(out);
    EXPECT_TRUE(written) << options;
    return written ? std::move(*written) : tvx::TArgbImage();
  };
  constexpr std::uint32_t kRed = 0xFFFF0000;
  constexpr std::uint32_t kBlue = 0xFF0000FF;

  tvx::TArgbImage fitted = import(square, "--slot message --background '#00ff00'");
  ASSERT_EQ(fitted.Width(), 240);
  ASSERT_EQ(fitted.Height(), 48);
  EXPECT_EQ(fitted.Pixel(120, 5), kRed) << "pad keeps all of it, 48 x 48 in the middle";
  EXPECT_EQ(fitted.Pixel(120, 42), kBlue);
  EXPECT_EQ(fitted.Pixel(10, 24), 0xFF00FF00U) << "the bands take the background colour";
  fitted = import(square, "--slot message --fit crop");
  EXPECT_EQ(fitted.Pixel(10, 5), kRed) << "crop keeps the middle rows across the whole width";
  EXPECT_EQ(fitted.Pixel(230, 42), kBlue);
  fitted = import(square, "--slot message --fit stretch");
  EXPECT_EQ(fitted.Pixel(10, 5), kRed);
  EXPECT_EQ(fitted.Pixel(230, 42), kBlue);

  const std::string photo =
      tvx::test::MagickPicture("photo.jpg", "-size 1600x1200 xc:red -quality 95 JPEG:");
  fitted = import(photo, "--slot logo --horizontal --fit crop");
  EXPECT_EQ(fitted.Width(), 320);
  EXPECT_EQ(fitted.Height(), 240);
  EXPECT_GT(fitted.Pixel(160, 120) >> 16 & 0xFF, 0xF0U) << "a JPEG decoded at a smaller scale";

  const std::string glass =
      tvx::test::MagickPicture("glass.png", "-size 33x20 xc:'rgba(255,0,0,0.5)' PNG32:");
  fitted = import(glass, "--slot floor");
  EXPECT_EQ(fitted.Width(), 34) << "a floor picture keeps its size, made even";
  EXPECT_NEAR(static_cast<int>(fitted.Pixel(5, 5) >> 16 & 0xFF), 128, 1) << "over black";
  EXPECT_EQ(fitted.Pixel(33, 5), 0xFF000000U);

  // The converter takes the same forms as the build.
  const tvx::test::CliRun converted = tvx::test::RunTvx880(
      "convert --truncate " + tvx::test::ShellQuoted(square) + " " + tvx::test::ShellQuoted(out));
  EXPECT_EQ(converted.status, 0) << converted.err;
  EXPECT_EQ(tvx::test::ReadFileBytes(out).size(), 66U + 480U * 480U * 2U);

  const tvx::test::CliRun onto =
      tvx::test::RunTvx880("import " + tvx::test::ShellQuoted(out) + " " +
                           tvx::test::ShellQuoted(out) + " --slot message");
  EXPECT_EQ(onto.status, 1);
  EXPECT_EQ(onto.err,
            "tvx880: cannot import " + out + " to " + out + ": the output is the input file\n");
}

TEST_F(ImageCliTest, Crc8PrintsTwoHexDigitsAndTheName) {
  tvx::test::WriteFileBytes(m_dir / "digits.txt", "123456789");
  tvx::test::WriteFileBytes(m_dir / "empty.txt", "");
  const std::string digits = (m_dir / "digits.txt").string();
  const std::string empty = (m_dir / "empty.txt").string();
  const std::string missing = (m_dir / "missing.txt").string();
  const tvx::test::CliRun run =
      tvx::test::RunTvx880("crc8 " + tvx::test::ShellQuoted(digits) + " " +
                           tvx::test::ShellQuoted(missing) + " " + tvx::test::ShellQuoted(empty));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "A1  " + digits + "\n00  " + empty + "\n");
  EXPECT_EQ(run.err, "tvx880: cannot read " + missing + ": No such file or directory\n");

  // Output that a full disk cuts short fails the command.
  const int full = std::system((tvx::test::ShellQuoted(TVX_CLI_PATH) + " crc8 " +
                                tvx::test::ShellQuoted(digits) + " >/dev/full 2>/dev/null")
                                   .c_str());
  EXPECT_TRUE(WIFEXITED(full) && WEXITSTATUS(full) == 1) << full;
}
