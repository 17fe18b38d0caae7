#include "rom/rom_sheet.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "image/error_diffusion.h"
#include "image/truncate_converter.h"
#include "project/project.h"
#include "rom/config_block.h"
#include "rom/glb_builder.h"
#include "rom/rom_image.h"
#include "rom/rom_readback.h"
#include "rom/rom_sheet_raster.h"
#include "rom/stored_picture.h"
#include "support/cli_run.h"
#include "support/rom_home.h"
#include "util/error_text.h"
#include "util/ini_file.h"

// The resource sheet of `tvx880 inspect --sheet`, read back from its PNG with libpng, and what
// inspect reports of an image that lacks what every build fills.
namespace tvx {
namespace {

namespace fs = std::filesystem;

std::span<const std::uint8_t> asBytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// A 16-bit BMP as a converter writes it, rows bottom-up: the 5-6-5 value of pixel (x, y).
std::uint16_t convertedPixel(const std::vector<std::uint8_t>& bmp, int x, int y) {
  const int width = bmp[18] | bmp[19] << 8;
  const int height = bmp[22] | bmp[23] << 8;
  const std::size_t stride = (static_cast<std::size_t>(width) * 2 + 3) / 4 * 4;
  const std::size_t at =
      66 + static_cast<std::size_t>(height - 1 - y) * stride + static_cast<std::size_t>(x) * 2;
  return static_cast<std::uint16_t>(bmp[at] | bmp[at + 1] << 8);
}

struct Png {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;
  Rgb888 at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                           static_cast<std::size_t>(x)) *
                          3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
};

Png readPng(const fs::path& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  Png png;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    ADD_FAILURE() << path << ": " << image.message;
    return png;
  }
  image.format = PNG_FORMAT_RGB;
  png.width = static_cast<int>(image.width);
  png.height = static_cast<int>(image.height);
  png.rgb.resize(PNG_IMAGE_SIZE(image));
  EXPECT_NE(png_image_finish_read(&image, nullptr, png.rgb.data(), 0, nullptr), 0) << image.message;
  return png;
}

const SheetTile& tileOf(const RomSheet& sheet, int bank, int slot) {
  for (const SheetTile& tile : sheet.tiles) {
    if (tile.bank == bank && tile.slot == slot) {
      return tile;
    }
  }
  throw std::runtime_error("no tile for bank " + std::to_string(bank) + " slot " +
                           std::to_string(slot));
}

// A ROM image made by the build's own steps from the fixture pictures: every slot a build
// always fills but arrow up 1, a dithered vertical background and a code-table picture; the
// floor codes show "B1", "7", "X" (no picture) and the code-table picture, each on
// background 0.
class SheetTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_work = std::make_unique<test::TempDir>();
    const std::string list = (*s_work / "tempt880.glp").string();
    {
      YVclUtil::TYIniFile ini(list);
      const auto set = [&ini](int bank, int slot, const std::string& value) {
        ini.WriteString("BANK" + std::to_string(bank), "RESFN_" + std::to_string(slot), value);
      };
      for (int slot :
           {21, 22, 23, 24, 25, 26, 27, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42}) {
        set(0, slot, test::RomPicture("date.bmp"));
      }
      for (int slot : {47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 123, 124, 125, 255}) {
        set(0, slot, "@B0F" + std::to_string(slot));
      }
      set(0, 98, "@B0F117");
      set(0, 128, test::RomPicture("arrow_up0.bmp"));
      set(0, 130, test::RomPicture("arrow_dn0.bmp"));
      set(0, 131, test::RomPicture("arrow_dn1.bmp"));
      for (int first : {176, 196, 216, 236}) {
        for (int m = 0; m < 10; ++m) {
          set(0, first + m, test::RomPicture("message.bmp"));
        }
      }
      for (char digit = '0'; digit <= '9'; ++digit) {
        set(1, digit, test::RomPicture(std::string("digit_") + digit + ".bmp"));
      }
      set(1, 'B', test::RomPicture("letter_B.bmp"));
      set(1, 'S', test::RomPicture("letter_S.bmp"));
      set(6, 3, test::RomPicture("lobby.bmp"));
      set(7, 0, test::RomPicture("background_v1.bmp"));
      ini.WriteString("GLOBAL", "ROMFILENAME", (*s_work / "Temp.glb").string());
    }
    const std::string libraryBytes = test::RomFixtureLibraryBytes();
    GlbOptions options;
    options.library = asBytes(libraryBytes);
    options.workFolder = s_work->path().string();
    const BuildReporter reporter(0, [](const std::string&) {});
    const Result<GlbResult> glb = MakeGLB(list, options, reporter);
    ASSERT_TRUE(glb) << ErrorText(glb.error(), 0);

    Project project;
    project.USE_BACKGROUNDBMP = 1;
    project.AUTOSLIDESHOW = 0;  // a background per floor
    FloorCodeTables tables;
    tables.displayCodes[0] = 0x4231;
    tables.displayCodes[1] = 0x0037;
    tables.displayCodes[2] = 0x0058;
    tables.displayCodes[3] = kCodeTablePictureMark | 3;
    BackgroundSequence sequence{};
    const ConfigBlock block = MakeConfigBlock(
        project, {AppSettings{}, tables, sequence, glb->checks, BuildTime{2013, 3, 6, 14, 5, 9}});
    const std::string glbBytes = test::ReadFileBytes(glb->glbPath);
    const std::vector<std::uint8_t> image = AssembleRomImage(asBytes(glbBytes), block, 4194304);
    s_image = {image.begin(), image.end()};
    test::WriteFileBytes(imagePath(), s_image);
  }
  static void TearDownTestSuite() { s_work.reset(); }
  void SetUp() override {
    if (!test::Tvx880Built()) {
      GTEST_SKIP() << "build the tvx880 program first: " << TVX_CLI_PATH;
    }
  }

  static fs::path imagePath() { return *s_work / "lift.BIN"; }
  static std::string quoted(const fs::path& path) { return test::ShellQuoted(path.string()); }
  static std::span<const std::uint8_t> image() { return asBytes(s_image); }

  static std::unique_ptr<test::TempDir> s_work;
  static std::string s_image;
};

std::unique_ptr<test::TempDir> SheetTest::s_work;
std::string SheetTest::s_image;

TEST_F(SheetTest, EveryPictureShowsItsStoredColoursAndTheMissingArrowIsMarked) {
  const fs::path png = *s_work / "sheet.png";
  const test::CliRun run =
      test::RunTvx880("inspect " + quoted(imagePath()) + " --sheet " + quoted(png));
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_NE(run.out.find("Problems:\n"
                         "  bank 0 slot 129 (arrow up 1) is empty, though every build fills it\n"
                         "  bank 1 slot 88 (floor character 'X') is empty; floor code 0x02 shows "
                         "it\n"),
            std::string::npos)
      << run.out;

  const RomInspection inspection = InspectRomFile(image());
  EXPECT_EQ(inspection.problems.size(), 2u) << "nothing else is missing";
  const Result<RomSheet> sheet = MakeRomSheet(image(), inspection, imagePath().string());
  ASSERT_TRUE(sheet) << ErrorText(sheet.error(), 0);
  const Png drawn = readPng(png);
  ASSERT_EQ(drawn.width, sheet->width);
  ASSERT_EQ(drawn.height, sheet->height);

  // The truncated arrow and the dithered background, pixel for pixel.
  const std::vector<std::uint8_t> arrow = *TranslateBmpBytesRgb888ToRgb565(
      asBytes(test::ReadFileBytes(test::RomPicture("arrow_up0.bmp"))));
  const std::vector<std::uint8_t> background =
      ErrorDiffuseBmpBytes(asBytes(test::ReadFileBytes(test::RomPicture("background_v1.bmp"))));
  for (const auto& [bank, slot, bmp] :
       {std::tuple{0, 128, &arrow}, std::tuple{7, 0, &background}}) {
    const SheetTile& tile = tileOf(*sheet, bank, slot);
    ASSERT_EQ(tile.kind, SheetTileKind::kPicture);
    EXPECT_EQ(tile.boxWidth, (*bmp)[18] | (*bmp)[19] << 8);
    EXPECT_EQ(tile.boxHeight, (*bmp)[22] | (*bmp)[23] << 8);
    std::size_t colours = 0;
    for (int y = 0; y < tile.boxHeight; ++y) {
      for (int x = 0; x < tile.boxWidth; ++x) {
        const std::uint16_t stored = convertedPixel(*bmp, x, y);
        colours += stored != convertedPixel(*bmp, 0, 0);
        ASSERT_EQ(drawn.at(tile.x + x, tile.y + y), WidenRgb565(stored))
            << "bank " << bank << " slot " << slot << " at " << x << ", " << y;
      }
    }
    EXPECT_GT(colours, 0u) << "a picture of one colour proves little";
  }
  EXPECT_EQ(WidenRgb565(0xFFDF), (Rgb888{255, 251, 255})) << "full scale stays full scale";

  const SheetTile& empty = tileOf(*sheet, 0, 129);
  EXPECT_EQ(empty.kind, SheetTileKind::kEmpty);
  EXPECT_EQ(empty.label, (std::vector<std::string>{"bank 0 slot 129", "arrow up 1",
                                                   "EMPTY: every build fills it"}));
  EXPECT_EQ(drawn.at(empty.x, empty.y), kSheetEmptyMark);
  EXPECT_EQ(drawn.at(empty.x + empty.boxWidth / 2, empty.y + empty.boxHeight / 2), kSheetEmptyMark)
      << "crossed";
  EXPECT_EQ(tileOf(*sheet, 0, 196).role, "fire message, first Chinese picture");
  EXPECT_EQ(tileOf(*sheet, 0, 98).role, "protocol resource");
  EXPECT_EQ(sheet->tiles.size(), inspection.resources.size() + 1);
}

TEST_F(SheetTest, FloorsNameWhatEachCodeShowsAndWhatIsMissing) {
  const test::CliRun floors = test::RunTvx880("inspect --floors " + quoted(imagePath()));
  EXPECT_EQ(floors.status, 1);
  EXPECT_EQ(floors.out.rfind("Screen: vertical (240 x 320); backgrounds: per floor\n"
                             "Floor codes in use: 4\n\n"
                             "0x00  display 0x4231  \"B1\"  background 0\n"
                             "      bank 1 slot  66  floor character 'B'            present\n"
                             "      bank 1 slot  49  floor character '1'            present\n"
                             "      bank 7 slot   0  vertical background 0          present\n",
                             0),
            0u)
      << floors.out;
  EXPECT_NE(floors.out.find("0x02  display 0x0058  \"X\"  background 0\n"
                            "      bank 1 slot  88  floor character 'X'            EMPTY\n"),
            std::string::npos);
  EXPECT_NE(floors.out.find("0x03  display 0xFE03  picture  background 0\n"
                            "      bank 6 slot   3  picture of floor code 0x03     present\n"),
            std::string::npos);
}

TEST_F(SheetTest, OddFilesGiveAClearErrorAndLeaveTheSheetAsItWas) {
  const fs::path png = *s_work / "old.png";
  const auto inspect = [&png](const fs::path& file, const std::string& more = "") {
    return test::RunTvx880("inspect " + quoted(file) + " --sheet " + quoted(png) + more);
  };
  test::WriteFileBytes(png, "an earlier sheet");

  test::WriteFileBytes(*s_work / "junk.bin", "not an image at all");
  test::CliRun run = inspect(*s_work / "junk.bin");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("is neither a ROM image nor a GLB"), std::string::npos) << run.err;
  EXPECT_EQ(test::ReadFileBytes(png), "an earlier sheet");

  // Forty directory entries on one picture of 1024 x 1024: far too much to draw.
  std::string forged = "KWXGLB2L" + std::string(16384, '\0');
  std::string picture(66 + 1024 * 1024 * 2, '\0');
  const std::uint8_t header[] = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 66, 0,  0, 0, 40, 0, 0,
                                 0,   0,   4, 0, 0, 0, 4, 0, 0, 1, 0,  16, 0, 3, 0,  0, 0};
  std::copy(std::begin(header), std::end(header), picture.begin());
  for (const auto& [at, mask] :
       {std::pair{54, 0xF800}, std::pair{58, 0x07E0}, std::pair{62, 0x1F}}) {
    picture[at] = static_cast<char>(mask & 0xFF);
    picture[at + 1] = static_cast<char>(mask >> 8);
  }
  for (std::size_t entry = 8; entry < 8 + 40 * 8; entry += 8) {
    forged[entry + 1] = 0x40;  // offset 16384 + 8
    forged[entry] = 8;
    for (int i = 0; i < 4; ++i) {
      forged[entry + 4 + i] = static_cast<char>(picture.size() >> (8 * i));
    }
  }
  forged.replace(16392, std::string::npos, picture);
  test::WriteFileBytes(*s_work / "forged.glb", forged);
  run = inspect(*s_work / "forged.glb");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("cannot draw the sheet of \"" + (*s_work / "forged.glb").string() +
                         "\": its sheet would be "),
            std::string::npos)
      << run.err;
  EXPECT_EQ(test::ReadFileBytes(png), "an earlier sheet");

  run = test::RunTvx880("inspect " + quoted(imagePath()) + " --sheet " +
                        quoted(*s_work / "no" / "folder" / "s.png"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find((*s_work / "no" / "folder" / "s.png").string()), std::string::npos)
      << run.err;

  // An image cut short still draws what it holds; the rest is reported.
  test::WriteFileBytes(*s_work / "cut.BIN", s_image.substr(0, 20000));
  run = inspect(*s_work / "cut.BIN");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("reaches beyond the end of the file"), std::string::npos);
  EXPECT_EQ(readPng(png).rgb.empty(), false);

  run = test::RunTvx880("inspect --floors " + quoted(*s_work / "cut.BIN"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("is no ROM image: it holds no floor code table"), std::string::npos);
}

TEST(StoredPictureTest, RowOrderPaddingAndTagsAsStored) {
  // 3 x 2 pixels, rows of 6 bytes padded to 8: bottom-up, then the same top-down.
  std::vector<std::uint8_t> bottomUp(66 + 16, 0);
  const std::uint8_t header[] = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 66, 0,  0, 0, 40, 0, 0,
                                 0,   3,   0, 0, 0, 2, 0, 0, 0, 1, 0,  16, 0, 3, 0,  0, 0};
  std::copy(std::begin(header), std::end(header), bottomUp.begin());
  const std::uint8_t masks[] = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
  std::copy(std::begin(masks), std::end(masks), bottomUp.begin() + 54);
  const std::uint16_t top[] = {0xF800, 0x07E0, 0x001F};
  const std::uint16_t bottom[] = {0xFFFF, 0x0000, 0x8410};
  for (int x = 0; x < 3; ++x) {
    bottomUp[66 + 2 * x] = static_cast<std::uint8_t>(bottom[x]);
    bottomUp[67 + 2 * x] = static_cast<std::uint8_t>(bottom[x] >> 8);
    bottomUp[74 + 2 * x] = static_cast<std::uint8_t>(top[x]);
    bottomUp[75 + 2 * x] = static_cast<std::uint8_t>(top[x] >> 8);
  }
  std::vector<std::uint8_t> topDown = bottomUp;
  topDown[22] = 0xFE;  // height -2
  std::fill(topDown.begin() + 23, topDown.begin() + 26, 0xFF);
  std::copy_n(bottomUp.begin() + 74, 8, topDown.begin() + 66);
  std::copy_n(bottomUp.begin() + 66, 8, topDown.begin() + 74);
  // As the build stores them: "BM" replaced by the size bytes.
  topDown[0] = StoredTagByte0(topDown.size());
  topDown[1] = StoredTagByte1(topDown.size());

  const std::vector<std::uint8_t> expected{255, 0,   0,   0, 255, 0, 0,   0,   255,
                                           255, 255, 255, 0, 0,   0, 132, 130, 132};
  for (const std::vector<std::uint8_t>* bytes : {&bottomUp, &topDown}) {
    const Result<StoredPicture> picture = DecodeStoredPicture(*bytes);
    ASSERT_TRUE(picture) << picture.error().detail;
    EXPECT_EQ(picture->width, 3);
    EXPECT_EQ(picture->height, 2);
    EXPECT_EQ(picture->rgb, expected);
  }

  std::vector<std::uint8_t> odd = bottomUp;
  odd[0] = 'X';
  EXPECT_NE(DecodeStoredPicture(odd).error().detail.find("neither \"BM\" nor its size bytes"),
            std::string::npos);
  odd = bottomUp;
  odd[28] = 24;
  EXPECT_NE(DecodeStoredPicture(odd).error().detail.find("24 bits per pixel"), std::string::npos);
  odd = bottomUp;
  odd.pop_back();
  EXPECT_NE(DecodeStoredPicture(odd).error().detail.find("need 82 bytes, not 81"),
            std::string::npos);
}

}  // namespace
}  // namespace tvx
