#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/cli_run.h"
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
