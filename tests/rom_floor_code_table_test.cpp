#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "project/project.h"
#include "rom/build_report.h"
#include "rom/floor_code_table.h"
#include "support/rom_home.h"
#include "util/ini_file.h"

namespace tvx {
namespace {

class FloorCodeTableTest : public ::testing::Test {
 protected:
  FloorCodeTables make() { return MakeFLCodeTableAndFLBkg(*list, project, home.dir(), reporter); }
  void setBackgrounds(std::initializer_list<const char*> texts) {
    int code = 0;
    for (const char* text : texts) {
      project.FloorBkgImage[code++] = text;
    }
  }
  std::vector<std::uint8_t> firstBackgrounds(const FloorCodeTables& tables, int count) const {
    return {tables.backgrounds.begin(), tables.backgrounds.begin() + count};
  }

  test::TestHome home;
  Project project;
  std::vector<std::string> log;
  BuildReporter reporter{0, [this](const std::string& line) { log.push_back(line); }};
  std::unique_ptr<YVclUtil::TYIniFile> list =
      std::make_unique<YVclUtil::TYIniFile>(home.dir() + "tempt880.glp");
};

TEST_F(FloorCodeTableTest, TextsBecomeCharacterCodesAndMarkTheirCharacters) {
  project.FloorTable[0] = "1";
  project.FloorTable[1] = "B1";
  project.FloorTable[2] = "05";
  project.FloorTable[3] = "12";
  project.FloorTable[4] = " b1 ";
  project.FloorTable[5] = "m";
  const FloorCodeTables tables = make();
  EXPECT_EQ(tables.displayCodes[0], 0x0031);
  EXPECT_EQ(tables.displayCodes[1], 0x4231);
  EXPECT_EQ(tables.displayCodes[2], 0x0035) << "a leading zero is dropped";
  EXPECT_EQ(tables.displayCodes[3], 0x3132);
  EXPECT_EQ(tables.displayCodes[4], 0x4231) << "trimmed and upper-cased";
  EXPECT_EQ(tables.displayCodes[5], 'M');
  for (int code = 6; code < kFloorCodeCount; ++code) {
    EXPECT_EQ(tables.displayCodes[code], 0) << code;
  }
  std::string marked;
  for (int c = 0; c < 256; ++c) {
    if (tables.charactersInUse[c]) {
      marked += static_cast<char>(c);
    }
  }
  EXPECT_EQ(marked, "0123456789BMS") << "digits and S always, lower case never";
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(list->SectionExists("BANK6"));
}

TEST_F(FloorCodeTableTest, LongTextsNamePicturesOfTheFloorStyle) {
  project.FL_STYLE = 2;
  project.FLS_DIR[1] = "Custom";
  const std::string lobby = home.put("DefaultImageR1/UserDefine/Floor/Custom/LOBBY.bmp",
                                     test::ReadFileBytes(test::RomPicture("lobby.bmp")));
  home.put("DefaultImageR1/UserDefine/Floor/Style0/ROOF.bmp");  // another style's picture
  project.FloorTable[0x20] = " lobby ";
  project.FloorTable[0x21] = "Roof";
  project.FloorTable[0x22] = "MEZ";
  const FloorCodeTables tables = make();

  EXPECT_EQ(tables.displayCodes[0x20], 0xFE20);
  EXPECT_EQ(list->ReadString("BANK6", "RESFN_32", ""), lobby);
  EXPECT_EQ(tables.displayCodes[0x21], 0);
  EXPECT_EQ(tables.displayCodes[0x22], 0);
  EXPECT_EQ(project.FloorTable[0x20], " lobby ");
  EXPECT_EQ(project.FloorTable[0x21], "") << "a missing picture is cancelled in the table";
  EXPECT_EQ(project.FloorTable[0x22], "");
  EXPECT_EQ(list->KeyNames("BANK6"), std::vector<std::string>{"RESFN_32"});
  EXPECT_EQ(log,
            (std::vector<std::string>{"[Warning] CTBL-0x21=Roof not found --> auto cancel !!!",
                                      "[Warning] CTBL-0x22=MEZ not found --> auto cancel !!!"}));
  EXPECT_FALSE(tables.charactersInUse['L']) << "picture names mark no characters";
}

TEST_F(FloorCodeTableTest, BackgroundNumbersInheritFromAboveAndTheFirstValidOne) {
  setBackgrounds({"", "x", "3", "", "7"});
  FloorCodeTables tables = make();
  EXPECT_EQ(firstBackgrounds(tables, 6), (std::vector<std::uint8_t>{3, 3, 3, 3, 7, 7}));
  EXPECT_EQ(tables.backgrounds[255], 7);
  EXPECT_EQ(log, (std::vector<std::string>(
                     2, "[Warning] CTBL-x background picture data error --> auto cancel !!!")))
      << "a bad number before the first valid one is warned about twice";

  log.clear();
  project = Project{};
  setBackgrounds({"", "3", " X "});
  tables = make();
  EXPECT_EQ(firstBackgrounds(tables, 4), (std::vector<std::uint8_t>{3, 3, 3, 3}));
  EXPECT_EQ(log, (std::vector<std::string>{
                     "[Warning] CTBL-X background picture data error --> auto cancel !!!"}));

  log.clear();
  project = Project{};
  tables = make();
  EXPECT_EQ(tables.backgrounds, (std::array<std::uint8_t, kFloorCodeCount>{}));
  EXPECT_TRUE(log.empty());

  project = Project{};
  setBackgrounds({"300", "-1", " +5 ", "0x10", "$10", "2147483648"});
  tables = make();
  EXPECT_EQ(firstBackgrounds(tables, 6), (std::vector<std::uint8_t>{44, 255, 5, 5, 5, 5}))
      << "the low byte is kept; hexadecimal and overflowing texts are errors";
  EXPECT_EQ(log.size(), 3u);
}

TEST(BackgroundNumberTest, SignAndDecimalDigitsOnly) {
  EXPECT_EQ(ParseBackgroundNumber("0"), 0);
  EXPECT_EQ(ParseBackgroundNumber("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseBackgroundNumber("+12"), 12);
  for (const char* bad :
       {"", "-", "+", "1 2", "1e3", "0x1", "2147483648", "99999999999999999999"}) {
    EXPECT_FALSE(ParseBackgroundNumber(bad)) << bad;
  }
}

TEST(UpperCaseTextTest, LeavesTheSecondByteOfBig5CharactersAlone) {
  EXPECT_EQ(UpperCaseText("lobby 1f"), "LOBBY 1F");
  // "大廳" in Big5 is A4 6A C6 55: the trail byte 0x6A is 'j' and must stay.
  EXPECT_EQ(UpperCaseText("\xA4\x6A\xC6\x55g"), "\xA4\x6A\xC6\x55G");
}

}  // namespace
}  // namespace tvx
