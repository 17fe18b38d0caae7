#include "rom/rom_image.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "project/program_state.h"
#include "project/project.h"
#include "rom/build_clock.h"
#include "rom/config_block.h"
#include "rom/rom_readback.h"
#include "support/temp_dir.h"
#include "util/crc8.h"

namespace tvx {
namespace {

namespace fs = std::filesystem;

unsigned u16(const ConfigBlock& block, std::size_t at) {
  return block[at] | block[at + 1] << 8;
}

class ConfigBlockTest : public ::testing::Test {
 protected:
  ConfigBlock make() {
    return MakeConfigBlock(project, {settings, tables, sequence, checks, time});
  }

  Project project;
  AppSettings settings;
  FloorCodeTables tables;
  BackgroundSequence sequence{};
  ResourceChecks checks{};
  BuildTime time{2013, 3, 6, 14, 5, 9};
};

TEST_F(ConfigBlockTest, EveryFieldAtItsOffset) {
  settings.DateTimeSupported = true;
  tables.displayCodes[0] = 0x4231;
  tables.displayCodes[255] = 0xFEFF;
  tables.backgrounds[0] = 3;
  tables.backgrounds[255] = 44;
  sequence.fill(255);
  sequence[0] = 0;
  sequence[1] = 2;
  checks[98] = {0x3C, 0x012345};
  checks[99] = {0x77, 5};  // another slot: not in the block
  project.NODEADDR = 200;
  project.DIR_STYLE = 3;
  project.FL_STYLE = 5;
  project.BKG_COLOR = 0x00FF8040;  // R 0x40, G 0x80, B 0xFF
  project.FL_COLOR = 0x000000FF;
  project.MSGBKG_COLOR = 0x00464646;
  project.CLOCK_COLOR = 0x0000FF00;
  project.USE_BACKGROUNDBMP = 1;
  project.AUTOSLIDESHOW = 0;
  project.SLIDESHOWTIMEGAP = 299;
  project.USE_DATETIME = 1;
  project.DATE_STYLE = 2;
  project.ARRIVALBLINK = 1;
  project.MSG_STYLE = 12;
  project.HLAMP1 = 1;
  project.HLAMP2 = 0;
  project.HLAMP3 = 10;
  project.USE_STANDBYLOGO = 1;
  project.STANDBYTIME = 29;
  project.BACKLIGHTSAVE = 16;  // "600"
  project.Layout = 0x80;
  project.LayoutVariant = 1;
  project.LCDBLCTRLMODE = 1;
  project.PS_MODE = 2;
  project.LiftMsgIdx = {1, 0, 7, 1, 0, 0, 0, 0, 0, 3};

  const ConfigBlock b = make();
  EXPECT_EQ(std::string(b.begin(), b.begin() + 10), "KWXDPLCD88");
  EXPECT_EQ(b[10], 0) << "the header CRC is the ROM image's to write";
  EXPECT_EQ(b[11], 0x3C);
  EXPECT_EQ(b[12], 255 - 0x3C);
  EXPECT_EQ(b[13], 0x45);
  EXPECT_EQ(b[14], 0x23);
  EXPECT_EQ(b[15], 0x01);
  EXPECT_EQ(b[16], 3);
  EXPECT_EQ(b[16 + 255], 44);
  EXPECT_EQ(u16(b, 272), 0x4231u);
  EXPECT_EQ(u16(b, 272 + 510), 0xFEFFu);
  EXPECT_EQ(b[800], 200);
  EXPECT_EQ(b[802], 2);
  EXPECT_EQ(b[803], 5);
  EXPECT_EQ(u16(b, 804), (0x40u >> 3) << 11 | (0x80u >> 2) << 5 | 0xFFu >> 3);
  EXPECT_EQ(u16(b, 808), 0xF800u);
  EXPECT_EQ(u16(b, 812), 0x4228u);
  EXPECT_EQ(b[816], 1);
  EXPECT_EQ(b[817], 0) << "per floor";
  EXPECT_EQ(u16(b, 818), 300u);
  EXPECT_EQ(b[820], 2);
  EXPECT_EQ(b[822], 1);
  EXPECT_EQ(b[823], 12);
  EXPECT_EQ(b[824], 1);
  EXPECT_EQ((std::vector<int>{b[826], b[827], b[828], b[829], b[830], b[831]}),
            (std::vector<int>{13, 3, 6, 14, 5, 9}));
  EXPECT_EQ((std::vector<int>{b[848], b[849], b[850]}), (std::vector<int>{176, 0, 185}));
  EXPECT_EQ(b[852], 1);
  EXPECT_EQ(b[853], 30);
  EXPECT_EQ(u16(b, 854), 600u);
  EXPECT_EQ(b[856], 0x81) << "a horizontal arrangement keeps its variant";
  EXPECT_EQ(b[858], 2);
  EXPECT_EQ(u16(b, 859), 0x07E0u);
  EXPECT_EQ(b[861], 1);
  EXPECT_EQ(b[863], 2);
  EXPECT_EQ(b[864], 0);
  EXPECT_EQ(b[865], 2);
  EXPECT_EQ(b[866], 255);
  EXPECT_EQ(b[864 + 255], 255);
  EXPECT_EQ((std::vector<int>(b.begin() + 1120, b.begin() + 1136)),
            (std::vector<int>{179, 0, 185, 0, 0, 0, 178, 0, 0, 0, 0, 0, 0, 0, 0, 0}))
      << "X6 chosen by fire and power failure: the later message wins";

  // Reserved bytes stay 0.
  for (std::size_t at : {std::size_t{801}, std::size_t{807}, std::size_t{821}, std::size_t{825},
                         std::size_t{832}, std::size_t{851}, std::size_t{857}, std::size_t{862},
                         std::size_t{1136}, std::size_t{4095}}) {
    EXPECT_EQ(b[at], 0) << at;
  }
}

TEST_F(ConfigBlockTest, VerticalArrangementsResetTheVariantInTheProject) {
  project.Layout = 0x20;
  project.LayoutVariant = 1;
  EXPECT_EQ(make()[856], 0x20);
  EXPECT_EQ(project.LayoutVariant, 0) << "the project keeps the reset";
  project.Layout = 0x40;
  project.LayoutVariant = 1;
  EXPECT_EQ(make()[856], 0x41);
}

TEST_F(ConfigBlockTest, WithoutAClockInTheProtocolTheDateIsOff) {
  project.USE_DATETIME = 1;
  project.DATE_STYLE = 1;
  settings.DateTimeSupported = false;
  ConfigBlock b = make();
  EXPECT_EQ(b[820], 0);
  EXPECT_EQ(b[824], 0);
  project.USE_DATETIME = 0;
  settings.DateTimeSupported = true;
  b = make();
  EXPECT_EQ(b[820], 0);
  EXPECT_EQ(b[824], 0);
  EXPECT_EQ(b[817], 1) << "slide show by default";
  project.AUTOSLIDESHOW = 2;
  EXPECT_EQ(make()[817], 2);
  EXPECT_EQ(make()[12], 255) << "an empty protocol slot still gives 255 - 0";
}

TEST(RomImageTest, FillPatternHeaderCrcAndBlock) {
  std::vector<std::uint8_t> glb(16392 + 1000, 0x11);
  std::copy_n("KWXGLB2L", 8, glb.begin());
  ConfigBlock block{};
  block[0] = 'K';
  block[4095] = 0x99;
  const std::vector<std::uint8_t> image = AssembleRomImage(glb, block, 4194304);
  ASSERT_EQ(image.size(), 4194304u);
  EXPECT_TRUE(std::equal(glb.begin(), glb.end(), image.begin()));
  for (std::size_t i = glb.size(); i < 4194304 - 4096; ++i) {
    ASSERT_EQ(image[i], YVclUtil::kCrc8MaximTable[i & 0xFF]) << i;
  }
  const std::size_t firstRun = (glb.size() + 255) / 256 * 256;
  EXPECT_EQ((std::vector<int>(image.begin() + static_cast<std::ptrdiff_t>(firstRun),
                              image.begin() + static_cast<std::ptrdiff_t>(firstRun) + 4)),
            (std::vector<int>{0x00, 0x5E, 0xBC, 0xE2}));
  EXPECT_EQ(image[4194304 - 4096], 'K');
  EXPECT_EQ(image[4194304 - 4096 + 10], YVclUtil::Crc8Maxim(image.data(), 16384));
  EXPECT_EQ(image.back(), 0x99);
}

class RomImageFileTest : public ::testing::Test {
 protected:
  std::string glbOfSize(std::size_t size) {
    std::string glb(size, '\0');
    glb.replace(0, 8, "KWXGLB2L");
    test::WriteFileBytes(glbPath, glb);
    return glb;
  }
  // An image that is not to fail (a failure fails the test).
  RomImageResult make() {
    Result<RomImageResult> result = makeOrFail();
    if (!result) {
      ADD_FAILURE() << ErrorText(result.error(), 0);
      return {};
    }
    return std::move(result).value();
  }
  Result<RomImageResult> makeOrFail() {
    ConfigBlock block{};
    std::copy_n("KWXDPLCD88", 10, block.begin());
    return MakeRomImage(glbPath.string(), block, settings, binPath.string(), reporter);
  }

  test::TempDir dir;
  fs::path glbPath = dir / "Temp.GLB";
  fs::path binPath = dir / "project.BIN";
  AppSettings settings;
  std::vector<std::string> log;
  BuildReporter reporter{0, [this](const std::string& line) { log.push_back(line); }};
};

TEST_F(RomImageFileTest, AGlbThatFillsThe32MbImageExactlyFits) {
  settings.MEM = 32;
  const std::string glb = glbOfSize(4190208);
  const RomImageResult result = make();
  ASSERT_TRUE(result.written);
  EXPECT_EQ(result.memoryUsed, 4194304u);
  EXPECT_EQ(log, (std::vector<std::string>{"Use memory = 4194304 Bytes", "use 32Mb memory."}));
  EXPECT_FALSE(fs::exists(glbPath)) << "the GLB is deleted once read";
  const std::string image = test::ReadFileBytes(binPath);
  ASSERT_EQ(image.size(), 4194304u);
  EXPECT_EQ(image.compare(0, glb.size(), glb), 0);
  EXPECT_EQ(image.substr(4190208, 10), "KWXDPLCD88");
  EXPECT_EQ(fs::directory_iterator(dir.path())->path(), binPath) << "no temporary file remains";
}

TEST_F(RomImageFileTest, OneByteMoreIsOutOfMemoryAndKeepsTheEarlierImage) {
  test::WriteFileBytes(binPath, "the image of an earlier build");
  glbOfSize(4190209);
  const RomImageResult result = make();
  EXPECT_FALSE(result.written);
  EXPECT_EQ(log, (std::vector<std::string>{"Use memory = 4194305 Bytes", "Err: Out of memory!!"}));
  EXPECT_EQ(test::ReadFileBytes(binPath), "the image of an earlier build");
  EXPECT_FALSE(fs::exists(glbPath));

  log.clear();
  const BuildReporter chinese(1, [this](const std::string& line) { log.push_back(line); });
  glbOfSize(4190209);
  EXPECT_TRUE(MakeRomImage(glbPath.string(), ConfigBlock{}, settings, binPath.string(), chinese));
  EXPECT_EQ(log,
            (std::vector<std::string>{"已用記憶體 = 4194305 Bytes",
                                      "錯誤: 資料記憶體不足,請刪減使用背景圖檔或自定圖檔數量"}));
}

TEST_F(RomImageFileTest, The64MbImageTakesTheSameGlb) {
  settings.MEM = 64;
  glbOfSize(4190209);
  ASSERT_TRUE(make().written);
  EXPECT_EQ(log, (std::vector<std::string>{"Use memory = 4194305 Bytes", "use 64Mb memory."}));
  const std::string image = test::ReadFileBytes(binPath);
  ASSERT_EQ(image.size(), 8388608u);
  EXPECT_EQ(image.substr(8388608 - 4096, 10), "KWXDPLCD88");
}

TEST_F(RomImageFileTest, AnImageThatCannotBeWrittenRaisesAnErrorNamingIt) {
  glbOfSize(20000);
  binPath = dir / "missing-folder" / "project.BIN";
  const Result<RomImageResult> result = makeOrFail();
  ASSERT_FALSE(result);
  EXPECT_NE(ErrorText(result.error(), 0).find("Err: Can not write " + binPath.string()),
            std::string::npos)
      << ErrorText(result.error(), 0);
  EXPECT_FALSE(fs::exists(binPath));
}

TEST(BuildClockTest, SourceDateEpochGivesAFixedUtcTime) {
  EXPECT_EQ(*BuildTimeFromEpochText("1362578709"), (BuildTime{2013, 3, 6, 14, 5, 9}));
  EXPECT_EQ(*BuildTimeFromEpochText("0"), (BuildTime{1970, 1, 1, 0, 0, 0}));
  std::string error;
  for (const char* bad : {"", "-1", "12x", " 5", "1e9", "253402300800"}) {
    const Result<BuildTime> time = BuildTimeFromEpochText(bad);
    EXPECT_FALSE(time) << bad;
    error = time ? "" : ErrorText(time.error(), 0);
  }
  EXPECT_NE(error.find("SOURCE_DATE_EPOCH"), std::string::npos);

  const char* saved = std::getenv("SOURCE_DATE_EPOCH");
  const std::string savedValue = saved != nullptr ? saved : "";
  ::setenv("SOURCE_DATE_EPOCH", "1362578709", 1);
  EXPECT_EQ(*SystemBuildClock()(), (BuildTime{2013, 3, 6, 14, 5, 9}));
  ::setenv("SOURCE_DATE_EPOCH", "yesterday", 1);
  EXPECT_FALSE(SystemBuildClock()());
  ::unsetenv("SOURCE_DATE_EPOCH");
  const Result<BuildTime> now = SystemBuildClock()();
  ASSERT_TRUE(now);
  EXPECT_GE(now->year, 2024);
  if (saved != nullptr) {
    ::setenv("SOURCE_DATE_EPOCH", savedValue.c_str(), 1);
  }
}

TEST(RomInspectTest, ChecksOfAnAssembledImageAndWhatBreaksThem) {
  std::vector<std::uint8_t> glb(16392 + 300, 0);
  std::copy_n("KWXGLB2L", 8, glb.begin());
  // Bank 0 slot 98: 300 bytes at 16392.
  glb[792] = 16392 & 0xFF;
  glb[793] = 16392 >> 8;
  glb[796] = 44;
  glb[797] = 1;
  for (std::size_t i = 16392; i < glb.size(); ++i) {
    glb[i] = static_cast<std::uint8_t>(i);
  }
  const std::uint8_t crc = YVclUtil::Crc8Maxim(glb.data() + 16392, 300);
  ConfigBlock block{};
  std::copy_n("KWXDPLCD88", 10, block.begin());
  block[11] = crc;
  block[12] = static_cast<std::uint8_t>(255 - crc);
  block[13] = 44;
  block[14] = 1;
  std::vector<std::uint8_t> image = AssembleRomImage(glb, block, 4194304);

  RomInspection inspection = InspectRomFile(image);
  EXPECT_EQ(inspection.kind, RomFileKind::kRomImage);
  // Only the protocol resource: every other slot a build fills is reported, and the library.
  const std::size_t emptySlots = 7 + 12 + 4 + 40 + 11;  // dates, arrows, messages, 0..9 and S
  EXPECT_EQ(inspection.emptyAlwaysFilled.size(), emptySlots);
  EXPECT_EQ(inspection.problems.size(), emptySlots + 1) << inspection.problems.back();
  ASSERT_EQ(inspection.resources.size(), 1u);
  EXPECT_EQ(inspection.resources[0].slot, 98);
  EXPECT_EQ(inspection.resources[0].crc, crc);
  EXPECT_EQ(inspection.glbSize, glb.size());
  EXPECT_EQ(inspection.memoryUsed, glb.size() + 4096);
  EXPECT_EQ(inspection.memoryLeft, 4194304 - glb.size() - 4096);

  image[100000] ^= 1;
  image[4194304 - 4096 + 2000] = 7;
  image[4194304 - 4096 + 10] ^= 1;
  inspection = InspectRomFile(image);
  EXPECT_FALSE(inspection.fillOk);
  EXPECT_EQ(inspection.firstFillMismatch, 100000u);
  EXPECT_NE(inspection.headerCrcStored, inspection.headerCrcComputed);
  EXPECT_EQ(inspection.reservedNonZero, 1u);
  EXPECT_EQ(inspection.problems.size(), 3u + emptySlots + 1);

  image[5] = 'X';
  EXPECT_EQ(InspectRomFile(image).kind, RomFileKind::kUnknown);

  const std::vector<std::uint8_t> glbOnly(glb.begin(), glb.end());
  inspection = InspectRomFile(glbOnly);
  EXPECT_EQ(inspection.kind, RomFileKind::kGlb);
  EXPECT_EQ(inspection.problems.size(), emptySlots + 1);
  const std::vector<std::uint8_t> cut(glb.begin(), glb.begin() + 700);
  inspection = InspectRomFile(cut);
  EXPECT_FALSE(inspection.problems.empty()) << "a directory cut short is reported";
}

}  // namespace
}  // namespace tvx
