#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

// The convert and crc8 commands of the tvx880 program.

namespace {

const std::filesystem::path kMagick = std::filesystem::path(TVX_TEST_DATA_DIR) / "image/magick";

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& s) {
  return "'" + s + "'";
}

CliRun Tvx880(const tvx::test::TempDir& dir, const std::string& arguments) {
  const std::string out = (dir / "stdout.txt").string();
  const std::string err = (dir / "stderr.txt").string();
  const std::string command =
      Quote(TVX_CLI_PATH) + " " + arguments + " >" + Quote(out) + " 2>" + Quote(err);
  const int raw = std::system(command.c_str());
  CliRun run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = tvx::test::ReadFileBytes(out);
  run.err = tvx::test::ReadFileBytes(err);
  std::filesystem::remove(out);
  std::filesystem::remove(err);
  return run;
}

}  // namespace

class ImageCliTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(TVX_CLI_PATH)) {
      GTEST_SKIP() << "build the tvx880 program first";
    }
  }
  tvx::test::TempDir m_dir;
};

TEST_F(ImageCliTest, ConvertWritesTheFileOrExplainsAndLeavesNothing) {
  const std::string even = Quote((kMagick / "even_bgr24.bmp").string());
  const std::string odd = Quote((kMagick / "bgr24.bmp").string());
  const std::string out = (m_dir / "out.bmp").string();

  CliRun run = Tvx880(m_dir, "convert --truncate " + even + " " + Quote(out));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(tvx::test::ReadFileBytes(out).size(), 66U + 38U * 24U * 2U);
  run = Tvx880(m_dir, "convert --diffuse " + odd + " " + Quote(out));
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(tvx::test::ReadFileBytes(out).size(), 66U + 76U * 23U);
  std::filesystem::remove(out);

  run = Tvx880(m_dir, "convert --truncate " + odd + " " + Quote(out));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tvx880: cannot convert " + (kMagick / "bgr24.bmp").string() + " to " + out +
                         ": (bmpInfo.biWidth & 1)==0\n");
  const std::string broken =
      (std::filesystem::path(TVX_TEST_DATA_DIR) / "image/malformed/pixels_cut.bmp").string();
  run = Tvx880(m_dir, "convert --diffuse " + Quote(broken) + " " + Quote(out));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(broken), std::string::npos);
  EXPECT_NE(run.err.find(": bmFileHeader.bfOffBits + bmpInfo.biSizeImage <= file size\n"),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::is_empty(m_dir.path()));

  EXPECT_EQ(Tvx880(m_dir, "convert " + even + " " + Quote(out)).status, 2);
  EXPECT_EQ(Tvx880(m_dir, "convert --diffuse --truncate " + even + " " + Quote(out)).status, 2);
}

TEST_F(ImageCliTest, Crc8PrintsTwoHexDigitsAndTheName) {
  tvx::test::WriteFileBytes(m_dir / "digits.txt", "123456789");
  tvx::test::WriteFileBytes(m_dir / "empty.txt", "");
  const std::string digits = (m_dir / "digits.txt").string();
  const std::string empty = (m_dir / "empty.txt").string();
  const std::string missing = (m_dir / "missing.txt").string();
  const CliRun run =
      Tvx880(m_dir, "crc8 " + Quote(digits) + " " + Quote(missing) + " " + Quote(empty));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "A1  " + digits + "\n00  " + empty + "\n");
  EXPECT_EQ(run.err, "tvx880: cannot read " + missing + ": No such file or directory\n");
}
