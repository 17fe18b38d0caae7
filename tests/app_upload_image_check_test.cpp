#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/upload_image_check.h"
#include "support/sound_rom_image.h"

namespace tvx {
namespace {

std::vector<std::string> problemsOf(const std::string& image, unsigned mem, unsigned lang = 0) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(image.data());
  return UploadImageProblems({bytes, image.size()}, mem, lang);
}

TEST(UploadImageCheckTest, ASoundImageOfEitherSizePassesAtItsOwnMemorySetting) {
  EXPECT_TRUE(problemsOf(test::SoundRomImage(4194304), 32).empty());
  EXPECT_TRUE(problemsOf(test::SoundRomImage(8388608), 64).empty());
  EXPECT_EQ(problemsOf(test::SoundRomImage(8388608), 32),
            std::vector<std::string>{"  a 8 MiB image does not match the memory setting of 32 Mb"});
}

// Each damage is told apart, and all of them at once are all listed.
TEST(UploadImageCheckTest, EveryDamageHasItsReason) {
  std::string image = test::SoundRomImage();
  EXPECT_EQ(problemsOf(image.substr(0, 98304), 32),
            std::vector<std::string>{"  its size, 98304 bytes, is not that of a whole 4 MiB or 8 "
                                     "MiB image (a partial file?)"});
  image[100000] ^= 1;
  image[image.size() - 4096] = 'X';
  const std::vector<std::string> problems = problemsOf(image, 32);
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0], "  the fill pattern differs at offset 100000");
  EXPECT_EQ(problems[1], "  the configuration block does not begin with \"KWXDPLCD88\"");
  image[16383] ^= 1;
  EXPECT_EQ(problemsOf(image, 32, 1).front().rfind("  標頭 CRC 0x", 0), 0u);
}

}  // namespace
}  // namespace tvx
