#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/bmp_file.h"
#include "image/error_diffusion.h"
#include "image/image_error.h"
#include "image/truncate_converter.h"
#include "support/temp_dir.h"

using namespace tvx;

namespace {

// One line of malformed/expected.txt: name | ReadBmp's text | the truncating converter's
// reason ("-" where that converter, which ignores the broken field, accepts the file).
struct Expectation {
  std::string name;
  std::string readText;
  std::string truncateText;
};

std::vector<Expectation> LoadExpectations(const std::filesystem::path& folder) {
  std::vector<Expectation> all;
  std::ifstream in(folder / "expected.txt");
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t first = line.find(" | ");
    const std::size_t second = line.rfind(" | ");
    if (first == std::string::npos || first == second) {
      continue;
    }
    all.push_back({line.substr(0, first), line.substr(first + 3, second - first - 3),
                   line.substr(second + 3)});
  }
  return all;
}

}  // namespace

TEST(MalformedBmpTest, EveryFileIsRefusedWithItsRuleAndNothingIsWritten) {
  const std::filesystem::path folder = std::filesystem::path(TVX_TEST_DATA_DIR) / "image/malformed";
  const std::vector<Expectation> expectations = LoadExpectations(folder);
  ASSERT_GE(expectations.size(), 30U);
  int bmpFiles = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    bmpFiles += entry.path().extension() == ".bmp";
  }
  EXPECT_EQ(bmpFiles, static_cast<int>(expectations.size())) << "expected.txt is out of date";

  tvx::test::TempDir dir;
  const std::string output = (dir / "out.bmp").string();
  for (const Expectation& e : expectations) {
    SCOPED_TRACE(e.name);
    const std::string source = (folder / e.name).string();
    std::string readText = "(accepted)";
    try {
      TFileInputStream in(source);
      TArgbImage image;
      ReadBmp(in, image);
    } catch (const EImageError& error) {
      readText = error.what();
    }
    EXPECT_EQ(readText, e.readText);

    EXPECT_THROW(BmpRGB888ToRGB565_ErrorDiffuse_FS(source, output), EImageError);
    EXPECT_FALSE(std::filesystem::exists(output));

    const Result<void> converted = TranslateRgb888FileToRgb565(source, output);
    const std::string reason = converted ? "" : converted.error().detail;
    if (e.truncateText == "-") {
      EXPECT_TRUE(converted) << reason;
      std::filesystem::remove(output);
    } else {
      EXPECT_FALSE(converted);
      EXPECT_EQ(reason, e.truncateText);
      EXPECT_FALSE(std::filesystem::exists(output));
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  }
}
