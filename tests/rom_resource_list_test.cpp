#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "project/catalogue.h"
#include "project/program_state.h"
#include "project/project.h"
#include "project/protocols.h"
#include "rom/build_report.h"
#include "rom/resource_list.h"
#include "support/rom_home.h"
#include "util/ini_file.h"

namespace tvx {
namespace {

using YVclUtil::TYIniAccess;
using YVclUtil::TYIniFile;

class ResourceListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::FillRomHome(home);
    state.ProgramDir = home.dir();
    const ProtocolInfo* kwxps = FindProtocol("KWXPS");
    state.settings.ProtocolResource32 = kwxps->resource32;
    state.settings.ProtocolResource64 = kwxps->resource64;
    project.FloorTable[0] = "1";
    for (int month = 1; month <= 12; ++month) {
      project.MonthImages[month] = "month" + std::to_string(month);
    }
    for (int day = 1; day <= 7; ++day) {
      project.WeekImages[day] = "day" + std::to_string(day);
    }
    for (int row = 0; row < kLiftStateRowCount; ++row) {
      for (int column = 0; column < kLiftStateColumnCount; ++column) {
        project.LiftStateImage[row][column] = "m" + std::to_string(row) + "ABCD"[column];
      }
    }
  }

  // A list that is not to fail (a failure fails the test).
  ResourceListResult write(const BuildReporter* language = nullptr,
                           const std::string& glbPath = "/scratch/Temp.glb") {
    Result<ResourceListResult> result = WriteResourceList(
        listPath, glbPath, project, state, language != nullptr ? *language : reporter);
    if (!result) {
      ADD_FAILURE() << ErrorText(result.error(), 0);
      return {};
    }
    return std::move(result).value();
  }
  std::string slot(const TYIniFile& list, int bank, int number) const {
    return list.ReadString("BANK" + std::to_string(bank), "RESFN_" + std::to_string(number),
                           "<none>");
  }
  std::string arrow(const std::string& style, const std::string& kind) const {
    return home.dir() + "DefaultImageR1/UserDefine/DIR/" + style + "/DIR_" + kind + "_104x128.bmp";
  }

  test::TestHome home;
  ProgramState state;
  Project project;
  std::vector<std::string> log;
  std::vector<std::string> traces;
  BuildReporter reporter{0, [this](const std::string& line) { log.push_back(line); },
                         [this](const std::string& text) { traces.push_back(text); }};
  std::string listPath = home.dir() + "tempt880.glp";
};

TEST_F(ResourceListTest, BankZeroInItsOrderWithLibraryReferencesAndProjectPictures) {
  project.DIR_STYLE = 2;
  project.DIRS_DIR[1] = "Style1";
  const ResourceListResult result = write();
  ASSERT_TRUE(result.written);
  EXPECT_TRUE(log.empty());
  const TYIniFile list(listPath, nullptr, TYIniAccess::ReadOnly);

  std::vector<std::string> expectedKeys;
  const auto key = [&expectedKeys](int number) {
    expectedKeys.push_back("RESFN_" + std::to_string(number));
  };
  for (int n = 47; n <= 58; ++n) {
    key(n);
  }
  for (int n = 123; n <= 126; ++n) {
    key(n);
  }
  for (int n = 31; n <= 42; ++n) {
    key(n);
  }
  for (int n = 21; n <= 27; ++n) {
    key(n);
  }
  for (int n : {98, 255, 128, 129, 130, 131}) {
    key(n);
  }
  for (int first : {196, 236, 176, 216}) {
    for (int m = 0; m < 10; ++m) {
      key(first + m);
    }
  }
  EXPECT_EQ(list.KeyNames("BANK0"), expectedKeys);

  EXPECT_EQ(slot(list, 0, 47), "@B0F47");
  EXPECT_EQ(slot(list, 0, 58), "@B0F58");
  EXPECT_EQ(slot(list, 0, 126), "@B0F126");
  EXPECT_EQ(slot(list, 0, 255), "@B0F255");
  EXPECT_EQ(slot(list, 0, 98), "@B0F117") << "KWXPS in a 32 Mb image";
  EXPECT_EQ(slot(list, 0, 31), "month1");
  EXPECT_EQ(slot(list, 0, 42), "month12");
  EXPECT_EQ(slot(list, 0, 21), "day1");
  EXPECT_EQ(slot(list, 0, 27), "day7");
  EXPECT_EQ(slot(list, 0, 97), "<none>") << "standby logo off";
  EXPECT_EQ(slot(list, 0, 128), arrow("Style1", "UP0"));
  EXPECT_EQ(slot(list, 0, 129), arrow("Style1", "UP1"));
  EXPECT_EQ(slot(list, 0, 130), arrow("Style1", "DN0"));
  EXPECT_EQ(slot(list, 0, 131), arrow("Style1", "DN1"));
  EXPECT_EQ(slot(list, 0, 196), "m0A");
  EXPECT_EQ(slot(list, 0, 205), "m9A");
  EXPECT_EQ(slot(list, 0, 236), "m0B");
  EXPECT_EQ(slot(list, 0, 176), "m0C");
  EXPECT_EQ(slot(list, 0, 216), "m0D");
  EXPECT_EQ(slot(list, 0, 225), "m9D");

  EXPECT_EQ(list.SectionNames(), (std::vector<std::string>{"BANK0", "BANK1", "GLOBAL"}))
      << "banks 2 to 5 stay empty; nothing is collected for bank 6 or 7 here";
  EXPECT_EQ(list.ReadString("GLOBAL", "ROMFILENAME", ""), "/scratch/Temp.glb");
  EXPECT_EQ(traces, (std::vector<std::string>{
                        "**Create tempt880.glp**", "+Do MakeFLCodeTableAndFLBkg()",
                        "+Do MakeFLCodeTableAndFLBkg()", "+Use user define DIR pattern",
                        "+Use user define floor pattern", "+Collect V-type Bkg image files",
                        "+Collect H-type Bkg image files"}));
}

TEST_F(ResourceListTest, EmptyEntriesAndTheStandbyLogo) {
  project.LiftStateImage[3][1] = "";
  project.USE_STANDBYLOGO = 1;
  project.STANDBYLOGOBMP = "logo.bmp";
  ASSERT_TRUE(write().written);
  const TYIniFile list(listPath, nullptr, TYIniAccess::ReadOnly);
  EXPECT_EQ(slot(list, 0, 239), "<none>") << "an empty entry leaves the slot empty";
  EXPECT_EQ(slot(list, 0, 97), "logo.bmp");
}

TEST_F(ResourceListTest, TheProtocolResourceFollowsTheMemorySize) {
  const auto protocolSlot = [this] {
    EXPECT_TRUE(write().written);
    return slot(TYIniFile(listPath, nullptr, TYIniAccess::ReadOnly), 0, 98);
  };
  state.settings.MEM = 64;
  EXPECT_EQ(protocolSlot(), "@B0F134");
  state.settings = AppSettings{};  // no protocol matched
  EXPECT_EQ(protocolSlot(), "@B0F98");
  state.settings.MEM = 64;
  EXPECT_EQ(protocolSlot(), "@B0F129");
}

TEST_F(ResourceListTest, AMissingArrowStopsAtTheFirstOneAndLeavesNoList) {
  std::filesystem::remove(arrow("Style0", "UP1"));
  std::filesystem::remove(arrow("Style0", "DN0"));
  EXPECT_FALSE(write().written);
  EXPECT_EQ(log, std::vector<std::string>{"Err: " + arrow("Style0", "UP1") + " not exist!!"});
  EXPECT_FALSE(std::filesystem::exists(listPath));

  log.clear();
  const BuildReporter chinese(1, [this](const std::string& line) { log.push_back(line); });
  EXPECT_FALSE(write(&chinese, "Temp.glb").written);
  EXPECT_EQ(log, std::vector<std::string>{"錯誤: " + arrow("Style0", "UP1") + " 檔案不存在!!"});
}

TEST_F(ResourceListTest, FloorCharactersInUseWhosePicturesExist) {
  project.FloorTable[0] = "1";
  project.FloorTable[1] = "2";
  project.FloorTable[2] = "B1";
  project.FloorTable[3] = "ZZ";  // no Z picture in the style folder
  std::filesystem::remove(home.path("DefaultImageR1/UserDefine/Floor/Style0/0x37.bmp"));
  ASSERT_TRUE(write().written);
  const TYIniFile list(listPath, nullptr, TYIniAccess::ReadOnly);
  std::vector<std::string> expected;
  for (int code : {0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x38, 0x39, 0x42, 0x53}) {
    expected.push_back("RESFN_" + std::to_string(code));
  }
  EXPECT_EQ(list.KeyNames("BANK1"), expected) << "ascending codes; a missing picture is skipped";
  EXPECT_EQ(slot(list, 1, 0x42), home.dir() + "DefaultImageR1/UserDefine/Floor/Style0/0x42.bmp");
  EXPECT_TRUE(log.empty());
}

TEST_F(ResourceListTest, BackgroundsTakeTheirSlotsAndFormTheSequence) {
  const std::string v1 = test::RomPicture("background_v1.bmp");
  const std::string v2 = test::RomPicture("background_v2.bmp");
  const std::string h1 = test::RomPicture("background_h1.bmp");
  project.UserBkGndImage[0] = v1;
  project.UserBkGndImage[1] = home.dir() + "gone.bmp";
  project.UserBkGndImage[2] = "  " + v2 + " ";
  project.UserBkGndImage[3] = "   ";
  project.UserBkGndImage2[1] = h1;
  const ResourceListResult result = write();
  ASSERT_TRUE(result.written);
  const TYIniFile list(listPath, nullptr, TYIniAccess::ReadOnly);
  EXPECT_EQ(list.KeyNames("BANK7"), (std::vector<std::string>{"RESFN_0", "RESFN_2", "RESFN_129"}));
  EXPECT_EQ(slot(list, 7, 2), v2);
  EXPECT_EQ(slot(list, 7, 129), h1);
  EXPECT_EQ(std::vector<std::uint8_t>(result.backgroundSequence.begin(),
                                      result.backgroundSequence.begin() + 5),
            (std::vector<std::uint8_t>{0, 2, 1, 255, 255}));
  EXPECT_EQ(result.backgroundSequence[255], 255);
  EXPECT_EQ(project.UserBkGndImage[0], v1);
  EXPECT_EQ(project.UserBkGndImage[1], "") << "a missing file is cleared in the list";
  EXPECT_EQ(project.UserBkGndImage[2], "  " + v2 + " ");
  EXPECT_EQ(project.UserBkGndImage[3], "");
}

TEST_F(ResourceListTest, PicturesAreNamedByTheFileFoundFromTheProjectFolder) {
  const std::string fwd = home.put("site/pics/fwd.bmp");
  const std::string sunset = home.put("site/sunset.bmp");
  const std::string fire = home.put("site/fire.bmp");
  const std::string logo = home.put("site/Logo.bmp");
  project.ProjectPath = home.dir() + "site/taipei.ql3";
  project.UserBkGndImage[0] = "pics\\fwd.bmp";
  project.UserBkGndImage[1] = "D:\\Jobs\\gone.bmp";
  project.UserBkGndImage2[0] = "SUNSET.BMP";
  project.LiftStateImage[0][0] = "D:\\Jobs\\Taipei101\\FIRE.BMP";
  project.USE_STANDBYLOGO = 1;
  project.STANDBYLOGOBMP = "LOGO.bmp";
  ASSERT_TRUE(write().written);
  const TYIniFile list(listPath, nullptr, TYIniAccess::ReadOnly);
  EXPECT_EQ(slot(list, 7, 0), fwd);
  EXPECT_EQ(slot(list, 7, 1), "<none>");
  EXPECT_EQ(slot(list, 7, 128), sunset);
  EXPECT_EQ(slot(list, 0, 196), fire);
  EXPECT_EQ(slot(list, 0, 97), logo);
  EXPECT_EQ(slot(list, 0, 236), "m0B") << "not found: the text, for the assembler to refuse";
  EXPECT_EQ(project.UserBkGndImage[0], "pics\\fwd.bmp") << "the project keeps what was written";
  EXPECT_EQ(project.LiftStateImage[0][0], "D:\\Jobs\\Taipei101\\FIRE.BMP");
}

TEST_F(ResourceListTest, AnEarlierListIsEmptiedFirst) {
  project.UserBkGndImage[5] = test::RomPicture("background_v1.bmp");
  project.FloorTable[9] = "LOBBY";
  ASSERT_TRUE(write().written);
  {
    TYIniFile list(listPath);
    list.WriteString("BANK3", "RESFN_1", "left over");
    list.WriteString("Other", "Key", "kept");
  }
  project.UserBkGndImage[5].clear();
  project.FloorTable[9].clear();
  project.FloorTable[0] = "7";
  ASSERT_TRUE(write().written);
  const TYIniFile list(listPath, nullptr, TYIniAccess::ReadOnly);
  EXPECT_FALSE(list.SectionExists("BANK7"));
  EXPECT_FALSE(list.SectionExists("BANK6"));
  EXPECT_FALSE(list.SectionExists("BANK3"));
  EXPECT_EQ(list.ReadString("Other", "Key", ""), "kept") << "only the nine sections are erased";
  EXPECT_EQ(list.KeyNames("BANK1").size(), 11u);
}

}  // namespace
}  // namespace tvx
