#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/build_driver.h"
#include "app/studio.h"
#include "image/error_diffusion.h"
#include "image/truncate_converter.h"
#include "support/build_recorder.h"
#include "support/cli_run.h"
#include "support/golden_project.h"
#include "support/sha256.h"
#include "util/crc8.h"
#include "util/error_text.h"

// The golden ROM image: a small project built at a fixed time must give the committed image
// (by its SHA-256) and the committed inspect report, and its bytes must read back as the
// indicator expects, checked here without the build's own code. Set TVX_UPDATE_GOLDEN=1 to
// rewrite the expected files after a deliberate change (and review the difference).
namespace tvx {
namespace {

namespace fs = std::filesystem;

const std::string kGoldenDir = std::string(TVX_TEST_DATA_DIR) + "/rom/golden/";
const std::string kHashFile = kGoldenDir + "golden.BIN.sha256";
const std::string kInspectFile = kGoldenDir + "golden.BIN.report.txt";

bool updating() {
  const char* update = std::getenv("TVX_UPDATE_GOLDEN");
  return update != nullptr && std::string(update) == "1";
}

std::uint32_t le(const std::string& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  }
  return value;
}

std::uint8_t crc8(const std::string& bytes, std::size_t at, std::size_t length) {
  return YVclUtil::Crc8Maxim(bytes.data() + at, length);
}

// The bytes a picture becomes in the image: converted, then its "BM" replaced by size bytes.
std::string stored(std::vector<std::uint8_t> bytes) {
  const std::size_t size = bytes.size();
  if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
    bytes[0] = static_cast<std::uint8_t>(size >> 2);
    bytes[1] = static_cast<std::uint8_t>((size >> 2) + (size >> 3));
  }
  return {bytes.begin(), bytes.end()};
}

std::span<const std::uint8_t> asBytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::string truncated(const std::string& picture) {
  return stored(*TranslateBmpBytesRgb888ToRgb565(asBytes(test::ReadFileBytes(picture))));
}

std::string diffused(const std::string& picture) {
  return stored(ErrorDiffuseBmpBytes(asBytes(test::ReadFileBytes(picture))));
}

// Library resource n of the fixture library (big-endian directory).
std::string libraryResource(int slot) {
  const std::string library = test::RomFixtureLibraryBytes();
  const auto be = [&library](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(library[at])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(library[at + 1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(library[at + 2])) << 8 |
           static_cast<unsigned char>(library[at + 3]);
  };
  const std::size_t entry = 8 + static_cast<std::size_t>(slot) * 8;
  const std::string bytes = library.substr(be(entry), be(entry + 4));
  return stored({bytes.begin(), bytes.end()});
}

class GoldenImageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_home = std::make_unique<test::TestHome>();
    s_work = std::make_unique<test::TempDir>();
    test::FillGoldenHome(*s_home);
    ScriptedHost host;
    Studio studio(s_home->dir(), &host);
    studio.StartUp();
    test::DesignGoldenProject(studio.project(), s_home->dir());
    test::RecordingBuildHost buildHost;
    BuildDriver driver(studio, buildHost);
    driver.setClock([] { return BuildTime{2013, 3, 6, 14, 5, 9}; });
    host.answerSaveFile((*s_work / "golden.ql3").string());
    s_result = driver.BuildAndUpload();
    s_log = studio.log().lines();
    s_image = test::ReadFileBytes(*s_work / "golden.BIN");
  }
  static void TearDownTestSuite() {
    s_work.reset();
    s_home.reset();
  }

  static std::unique_ptr<test::TestHome> s_home;
  static std::unique_ptr<test::TempDir> s_work;
  static BuildResult s_result;
  static std::vector<std::string> s_log;
  static std::string s_image;
};

std::unique_ptr<test::TestHome> GoldenImageTest::s_home;
std::unique_ptr<test::TempDir> GoldenImageTest::s_work;
BuildResult GoldenImageTest::s_result;
std::vector<std::string> GoldenImageTest::s_log;
std::string GoldenImageTest::s_image;

TEST(Sha256Test, PublishedVectors) {
  EXPECT_EQ(test::Sha256Hex(""),
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(test::Sha256Hex("abc"),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(test::Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
}

TEST_F(GoldenImageTest, MatchesTheCommittedHashAndInspectReport) {
  ASSERT_EQ(s_result.outcome, BuildOutcome::kBuilt)
      << (s_result.error ? ErrorText(*s_result.error, 0) : "");
  const std::string hash = test::Sha256Hex(s_image) + "  golden.BIN\n";
  const test::CliRun inspect =
      test::RunTvx880("inspect " + test::ShellQuoted((*s_work / "golden.BIN").string()));
  EXPECT_EQ(inspect.status, 1) << "the refused picture and the missing background are reported";
  if (updating()) {
    test::WriteFileBytes(kHashFile, hash);
    test::WriteFileBytes(kInspectFile, inspect.out);
  }
  EXPECT_EQ(hash, test::ReadFileBytes(kHashFile))
      << "the image changed; if that is meant, rerun with TVX_UPDATE_GOLDEN=1";
  EXPECT_EQ(inspect.out, test::ReadFileBytes(kInspectFile));

  const std::string warningOdd = "[Warning] BANK0-197=" + s_home->dir() +
                                 "DefaultImageR1/LiftState/EARTHQUAKE0_CHT_240x48.bmp picture not "
                                 "converted ((bmpInfo.biWidth & 1)==0) --> empty slot !!!";
  EXPECT_EQ(s_log, (std::vector<std::string>{
                       "Pre-flight check: errors: 6, warnings: 66; the user chose to build anyway",
                       "Make....",
                       "Force save project...",
                       "[Warning] CTBL-0x05=ROOF not found --> auto cancel !!!",
                       "[Warning] CTBL-x background picture data error --> auto cancel !!!",
                       "[Warning] CTBL-x background picture data error --> auto cancel !!!",
                       "[Warning] BANK0-126=@B0F126 library resource not found (the library "
                       "slot is empty) --> empty slot !!!",
                       warningOdd,
                       "Use memory = " + std::to_string(s_result.memoryUsed) + " Bytes",
                       "use 32Mb memory.",
                       "Summary: 96 resources stored, 2 slots left empty (not in the picture "
                       "library: 1, refused by its converter: 1)",
                   }));
}

TEST_F(GoldenImageTest, ReadsBackAsTheIndicatorExpects) {
  ASSERT_EQ(s_image.size(), 4194304u);
  const std::string& image = s_image;
  const std::string home = s_home->dir();

  // Every resource in bank and slot order, back to back from 16392.
  std::map<std::pair<int, int>, std::string> expected;
  const std::string date = truncated(test::RomPicture("date.bmp"));
  for (int slot = 21; slot <= 27; ++slot) {
    expected[{0, slot}] = date;
  }
  for (int slot = 31; slot <= 42; ++slot) {
    expected[{0, slot}] = date;
  }
  for (int slot : {47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 123, 124, 125, 255}) {
    expected[{0, slot}] = libraryResource(slot);
  }
  expected[{0, 97}] = truncated(test::RomPicture("logo.bmp"));
  expected[{0, 98}] = libraryResource(117);
  const char* arrows[] = {"arrow_up0.bmp", "arrow_up1.bmp", "arrow_dn0.bmp", "arrow_dn1.bmp"};
  for (int i = 0; i < 4; ++i) {
    expected[{0, 128 + i}] = truncated(test::RomPicture(arrows[i]));
  }
  const std::string message = truncated(test::RomPicture("message.bmp"));
  for (int first : {176, 196, 216, 236}) {
    for (int m = 0; m < 10; ++m) {
      if (first + m != 197) {  // the refused picture
        expected[{0, first + m}] = message;
      }
    }
  }
  for (char digit = '0'; digit <= '9'; ++digit) {
    expected[{1, digit}] = truncated(test::RomPicture(std::string("digit_") + digit + ".bmp"));
  }
  expected[{1, 'B'}] = truncated(test::RomPicture("letter_B.bmp"));
  expected[{1, 'S'}] = truncated(test::RomPicture("letter_S.bmp"));
  expected[{6, 4}] = truncated(test::RomPicture("lobby.bmp"));
  expected[{7, 0}] = diffused(test::RomPicture("background_v1.bmp"));
  expected[{7, 2}] = diffused(test::RomPicture("background_v2.bmp"));
  expected[{7, 129}] = diffused(test::RomPicture("background_h1.bmp"));

  EXPECT_EQ(image.substr(0, 8), "KWXGLB2L");
  std::uint32_t next = 16392;
  for (int bank = 0; bank < 8; ++bank) {
    for (int slot = 0; slot < 256; ++slot) {
      const std::size_t entry = 8 + static_cast<std::size_t>(bank * 256 + slot) * 8;
      const std::uint32_t offset = le(image, entry, 4);
      const std::uint32_t size = le(image, entry + 4, 4);
      const auto wanted = expected.find({bank, slot});
      if (wanted == expected.end()) {
        EXPECT_EQ(offset | size, 0u) << "bank " << bank << " slot " << slot << " is empty";
        continue;
      }
      EXPECT_EQ(offset, next) << bank << "/" << slot;
      ASSERT_EQ(size, wanted->second.size()) << bank << "/" << slot;
      EXPECT_EQ(image.substr(offset, size), wanted->second) << bank << "/" << slot;
      next = offset + size;
    }
  }
  EXPECT_EQ(next + 4096, s_result.memoryUsed);

  // The fill pattern up to the configuration block.
  const std::size_t block = 4194304 - 4096;
  for (std::size_t i = next; i < block; ++i) {
    ASSERT_EQ(static_cast<std::uint8_t>(image[i]), YVclUtil::kCrc8MaximTable[i & 0xFF]) << i;
  }

  // The configuration block, field by field.
  const auto at = [&image, block](std::size_t offset) {
    return static_cast<unsigned>(static_cast<unsigned char>(image[block + offset]));
  };
  const auto word = [&image, block](std::size_t offset) { return le(image, block + offset, 2); };
  EXPECT_EQ(image.substr(block, 10), "KWXDPLCD88");
  EXPECT_EQ(at(10), crc8(image, 0, 16384));
  const std::string protocol = libraryResource(117);
  EXPECT_EQ(at(11), crc8(protocol, 0, protocol.size()));
  EXPECT_EQ(at(12), 255 - at(11));
  EXPECT_EQ(le(image, block + 13, 3), protocol.size());
  for (std::size_t code = 0; code < 256; ++code) {
    EXPECT_EQ(at(16 + code), code < 4 ? 1u : 44u) << code;
  }
  const std::vector<std::uint32_t> codes{0x4231, 0x0031, 0x0032, 0x3132, 0xFE04, 0};
  for (std::size_t code = 0; code < 256; ++code) {
    EXPECT_EQ(word(272 + 2 * code), code < codes.size() ? codes[code] : 0u) << code;
  }
  EXPECT_EQ(at(800), 7u);
  EXPECT_EQ(at(802), 1u);
  EXPECT_EQ(at(803), 1u);
  EXPECT_EQ(word(804), (0x10u >> 3) << 11 | (0x20u >> 2) << 5 | (0x40u >> 3));
  EXPECT_EQ(word(808), (0xFFu >> 3) << 11 | (0xA5u >> 2) << 5);
  EXPECT_EQ(word(812), (0x46u >> 3) << 11 | (0x46u >> 2) << 5 | (0x46u >> 3));
  EXPECT_EQ(at(816), 1u);
  EXPECT_EQ(at(817), 0u);
  EXPECT_EQ(word(818), 1u) << "the file keeps the interval only for the slide show";
  EXPECT_EQ(at(820), 1u);
  EXPECT_EQ(at(822), 1u);
  EXPECT_EQ(at(823), 5u);
  EXPECT_EQ(at(824), 1u);
  EXPECT_EQ((std::vector<unsigned>{at(826), at(827), at(828), at(829), at(830), at(831)}),
            (std::vector<unsigned>{13, 3, 6, 14, 5, 9}));
  EXPECT_EQ((std::vector<unsigned>{at(848), at(849), at(850)}),
            (std::vector<unsigned>{176, 185, 0}));
  EXPECT_EQ(at(852), 1u);
  EXPECT_EQ(at(853), 5u);
  EXPECT_EQ(word(854), 120u);
  EXPECT_EQ(at(856), 0x41u);
  EXPECT_EQ(at(858), 2u);
  EXPECT_EQ(word(859), 0x07E0u);
  EXPECT_EQ(at(861), 1u);
  EXPECT_EQ(at(863), 2u);
  EXPECT_EQ((std::vector<unsigned>{at(864), at(865), at(866), at(867)}),
            (std::vector<unsigned>{0, 2, 1, 255}));
  for (std::size_t i = 3; i < 256; ++i) {
    EXPECT_EQ(at(864 + i), 255u);
  }
  EXPECT_EQ((std::vector<unsigned>{at(1120), at(1121), at(1126), at(1127)}),
            (std::vector<unsigned>{179, 0, 185, 0}));

  // Everything else in the block is reserved and 0.
  std::size_t nonZero = 0;
  const std::vector<std::pair<std::size_t, std::size_t>> used{
      {0, 16},    {16, 272},  {272, 784}, {800, 801},  {802, 806},  {808, 810}, {812, 814},
      {816, 820}, {820, 821}, {822, 825}, {826, 832},  {848, 851},  {852, 856}, {856, 857},
      {858, 861}, {861, 862}, {863, 864}, {864, 1120}, {1120, 1136}};
  for (std::size_t i = 0; i < 4096; ++i) {
    bool inField = false;
    for (const auto& [begin, end] : used) {
      inField = inField || (i >= begin && i < end);
    }
    if (!inField && at(i) != 0) {
      ++nonZero;
    }
  }
  EXPECT_EQ(nonZero, 0u);
}

TEST_F(GoldenImageTest, TheCommandLineBuildsTheSameImage) {
  // The project as the build saved it, built again by the command line at the same time.
  const std::string project = (*s_work / "golden.ql3").string();
  const std::string out = (*s_work / "cli.BIN").string();
  const std::string command = "build " + test::ShellQuoted(project) + " --home " +
                              test::ShellQuoted(s_home->dir()) + " --out " + test::ShellQuoted(out);
  const std::string epoch = std::string("SOURCE_DATE_EPOCH=") + test::kGoldenEpoch;
  // Its refused picture and missing backgrounds stop the build, which then touches nothing.
  const std::string saved = test::ReadFileBytes(project);
  const test::CliRun strict = test::RunTvx880(command, epoch);
  EXPECT_EQ(strict.status, 1);
  EXPECT_NE(strict.out.find("error: earthquake message, first Chinese picture [LiftStateImage "
                            "LiftState_1_A, BANK0-197]"),
            std::string::npos)
      << strict.out;
  EXPECT_NE(strict.err.find("the pre-flight check found problems in"), std::string::npos);
  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(test::ReadFileBytes(project), saved);

  const test::CliRun build = test::RunTvx880(command + " --lenient", epoch);
  ASSERT_EQ(build.status, 0) << build.out;
  EXPECT_NE(build.out.find("the user chose to build anyway\nMake....\n"), std::string::npos);
  EXPECT_NE(build.out.find("Summary: 96 resources stored, 2 slots left empty"), std::string::npos);
  EXPECT_EQ(test::Sha256Hex(test::ReadFileBytes(out)), test::Sha256Hex(s_image));
  EXPECT_NE(build.out.find("use 32Mb memory.\n"), std::string::npos) << build.out;
  EXPECT_NE(build.out.find("No port given (--port): the image is not uploaded\n"),
            std::string::npos);

  const test::CliRun json = test::RunTvx880("inspect --json " + test::ShellQuoted(out));
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.out.find("\"build_date\": \"2013-03-06\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"fill_ok\": true"), std::string::npos);
  EXPECT_NE(json.out.find("\"problems\": [\"bank 0 slot 197 (earthquake message, first Chinese "
                          "picture) is empty, though every build fills it\", \"bank 7 slot 1 "
                          "(vertical background 1) is empty; floor codes 0x00, 0x01, 0x02, "
                          "0x03 show it\", \"bank 7 slot 44 (vertical background 44) is empty; "
                          "floor code 0x04 shows it\"]"),
            std::string::npos);
}

TEST_F(GoldenImageTest, FloorsShowWhatEachCodeTakesOnTheHorizontalScreen) {
  const std::string image = test::ShellQuoted((*s_work / "golden.BIN").string());
  const test::CliRun floors = test::RunTvx880("inspect --floors " + image);
  EXPECT_EQ(floors.status, 1) << "backgrounds 1 and 44 are missing";
  EXPECT_EQ(floors.out.substr(0, floors.out.find("\nProblems:")),
            "Screen: horizontal (320 x 240); backgrounds: per floor\n"
            "Floor codes in use: 5\n\n"
            "0x00  display 0x4231  \"B1\"  background 1\n"
            "      bank 1 slot  66  floor character 'B'            present\n"
            "      bank 1 slot  49  floor character '1'            present\n"
            "      bank 7 slot   1  vertical background 1          EMPTY\n"
            "0x01  display 0x0031  \"1\"  background 1\n"
            "      bank 1 slot  49  floor character '1'            present\n"
            "      bank 7 slot   1  vertical background 1          EMPTY\n"
            "0x02  display 0x0032  \"2\"  background 1\n"
            "      bank 1 slot  50  floor character '2'            present\n"
            "      bank 7 slot   1  vertical background 1          EMPTY\n"
            "0x03  display 0x3132  \"12\"  background 1\n"
            "      bank 1 slot  49  floor character '1'            present\n"
            "      bank 1 slot  50  floor character '2'            present\n"
            "      bank 7 slot   1  vertical background 1          EMPTY\n"
            "0x04  display 0xFE04  picture  background 44\n"
            "      bank 6 slot   4  picture of floor code 0x04     present\n"
            "      bank 7 slot  44  vertical background 44         EMPTY\n");

  const test::CliRun json = test::RunTvx880("inspect --floors --json " + image);
  EXPECT_EQ(json.status, 1);
  EXPECT_NE(json.out.find("{\"code\": 4, \"display_code\": 65028, \"picture\": true, "
                          "\"background\": 44, \"needs\": [{\"bank\": 6, \"slot\": 4, \"role\": "
                          "\"picture of floor code 0x04\", \"state\": \"present\"}, {\"bank\": 7, "
                          "\"slot\": 44, \"role\": \"vertical background 44\", \"state\": "
                          "\"empty\"}]}"),
            std::string::npos)
      << json.out;
}

}  // namespace
}  // namespace tvx
