#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "rom/config_block.h"
#include "rom/rom_layout.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"
#include "support/test_home.h"

// "tvx880 build" and "tvx880 inspect", run as a technician runs them.
namespace tvx {
namespace {

namespace fs = std::filesystem;

const std::string kShippedHome = std::string(TVX_SOURCE_DIR) + "/data";

class BuildCliTest : public ::testing::Test {
 protected:
  static test::CliRun run(const std::string& arguments) { return test::RunTvx880(arguments); }
  void SetUp() override {
    if (!test::Tvx880Built()) {
      GTEST_SKIP() << "build the tvx880 program first: " << TVX_CLI_PATH;
    }
  }

  std::string path(const std::string& name) const {
    return test::ShellQuoted((work / name).string());
  }

  test::TempDir work;
};

TEST_F(BuildCliTest, TheShippedDefaultProjectBuildsWithoutAnyEdit) {
  const std::string home = " --home " + test::ShellQuoted(kShippedHome);
  ASSERT_EQ(run("project new " + path("default.ql3") + home).status, 0);
  const test::CliRun build = run("build " + path("default.ql3") + home);
  ASSERT_EQ(build.status, 0) << build.out << build.err;
  EXPECT_EQ(build.out.rfind("Make....\nForce save project...\nUse memory = ", 0), 0u) << build.out;
  EXPECT_NE(build.out.find("use 32Mb memory.\n"), std::string::npos);
  EXPECT_EQ(build.out.find("[Warning]"), std::string::npos) << "the shipped data is complete";
  EXPECT_TRUE(build.err.empty()) << build.err;
  EXPECT_EQ(fs::file_size(work / "default.BIN"), 4194304u);

  const test::CliRun inspect = run("inspect " + path("default.BIN"));
  EXPECT_EQ(inspect.status, 0) << inspect.out;
  EXPECT_NE(inspect.out.find("All checks hold."), std::string::npos);

  const test::CliRun chinese =
      run("build " + path("default.ql3") + home + " --lang zh --out " + path("other.bin"));
  EXPECT_EQ(chinese.status, 0);
  EXPECT_EQ(chinese.out.rfind("製作....\n自動儲存專案檔...\n已用記憶體 = ", 0), 0u) << chinese.out;
  EXPECT_NE(chinese.out.find("使用 32Mb 記憶體.\n"), std::string::npos);
  EXPECT_EQ(test::ReadFileBytes(work / "other.bin").size(), 4194304u);
}

TEST_F(BuildCliTest, ThePreFlightCheckNamesTheSlotAndTheStrictBuildTouchesNothing) {
  const std::string home = " --home " + test::ShellQuoted(kShippedHome);
  ASSERT_EQ(run("project new " + path("lift.ql3") + home).status, 0);
  EXPECT_EQ(run("check " + path("lift.ql3") + home).status, 0) << "the shipped project is clean";
  // An odd width, which the message slots' converter refuses and the build does not pad.
  ASSERT_EQ(std::system(("convert -size 241x48 xc:red BMP3:" + path("fire.bmp")).c_str()), 0);
  ASSERT_EQ(run("ini set " + path("lift.ql3") + " LiftStateImage LiftState_0_A " + path("fire.bmp"))
                .status,
            0);
  // ImageMagick's default BMP has a 124-byte header: the build prepares it for its converter.
  ASSERT_EQ(std::system(("convert -size 240x48 xc:red " + path("quake.bmp")).c_str()), 0);
  ASSERT_EQ(
      run("ini set " + path("lift.ql3") + " LiftStateImage LiftState_1_A " + path("quake.bmp"))
          .status,
      0);
  test::WriteFileBytes(work / "lift.BIN", "the image of yesterday");
  const std::string project = test::ReadFileBytes(work / "lift.ql3");

  const test::CliRun check = run("check " + path("lift.ql3") + home + " --lang en");
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.out.find("error: fire message, first Chinese picture [LiftStateImage "
                           "LiftState_0_A, BANK0-196]\n    " +
                           (work / "fire.bmp").string() + "\n    is 241 pixels wide"),
            std::string::npos)
      << check.out;
  EXPECT_EQ(check.out.find("quake.bmp"), std::string::npos) << "a note, shown when asked for";
  const test::CliRun verbose = run("check " + path("lift.ql3") + home + " --lang en --verbose");
  EXPECT_NE(verbose.out.find((work / "quake.bmp").string() +
                             "\n    has a 124-byte header (the form ImageMagick and GIMP write by "
                             "default); the converter takes BMPs with a 40- or 12-byte header "
                             "only; the build turns it into a form its converter takes"),
            std::string::npos)
      << verbose.out;
  EXPECT_NE(run("check " + path("lift.ql3") + home + " --json").out.find("\"errors\": 1,"),
            std::string::npos);

  const test::CliRun strict = run("build " + path("lift.ql3") + home + " --lang zh");
  EXPECT_EQ(strict.status, 1);
  EXPECT_NE(strict.out.find("錯誤: 火警訊息, 第一張中文圖"), std::string::npos) << strict.out;
  EXPECT_EQ(test::ReadFileBytes(work / "lift.BIN"), "the image of yesterday");
  EXPECT_EQ(test::ReadFileBytes(work / "lift.ql3"), project) << "not even saved";

  const test::CliRun lenient = run("build " + path("lift.ql3") + home + " --lang zh --lenient");
  EXPECT_EQ(lenient.status, 0) << lenient.err;
  EXPECT_NE(lenient.out.find("\n摘要: 已存入 92 個資源, 1 個欄位留空 (轉換程式不接受: 1)\n"),
            std::string::npos)
      << lenient.out;
  EXPECT_EQ(fs::file_size(work / "lift.BIN"), 4194304u);
}

TEST_F(BuildCliTest, OutNeverOverwritesTheProjectNorAFileThatIsNoImage) {
  const std::string home = " --home " + test::ShellQuoted(kShippedHome);
  ASSERT_EQ(run("project new " + path("lift.ql3") + home).status, 0);
  const std::string project = test::ReadFileBytes(work / "lift.ql3");
  fs::create_symlink(work / "lift.ql3", work / "link.ql3");
  test::WriteFileBytes(work / "notes.txt", "the lift's notes");
  for (const auto& [out, reason] :
       {std::pair{(work / "." / "lift.ql3").string(),
                  "is the project being built; the ROM image is not written over it"},
        {(work / "link.ql3").string(),
         "is the project being built; the ROM image is not written over it"},
        {(work / "notes.txt").string(), "exists and is not a ROM image; it is not overwritten"}}) {
    const test::CliRun build =
        run("build " + path("lift.ql3") + home + " --out " + test::ShellQuoted(out));
    EXPECT_EQ(build.status, 1);
    EXPECT_EQ(build.out, "") << "nothing checked, saved or built";
    EXPECT_EQ(build.err, "tvx880: \"" + out + "\" " + reason + " (give another --out)\n");
  }
  EXPECT_EQ(test::ReadFileBytes(work / "lift.ql3"), project);
  EXPECT_EQ(test::ReadFileBytes(work / "notes.txt"), "the lift's notes");
  EXPECT_FALSE(fs::exists(work / "lift.BIN"));

  // An image of an earlier build is replaced.
  for (int round = 0; round < 2; ++round) {
    const test::CliRun build = run("build " + path("lift.ql3") + home + " --out " + path("a.bin"));
    EXPECT_EQ(build.status, 0) << build.err;
  }
  EXPECT_EQ(fs::file_size(work / "a.bin"), 4194304u);
}

// One image per indicator of a building from one project, which stays as it was.
TEST_F(BuildCliTest, SetBuildsTheChangedProjectAndLeavesItsFileAlone) {
  const std::string home = " --home " + test::ShellQuoted(kShippedHome);
  ASSERT_EQ(run("project new " + path("tower.ql3") + home).status, 0);
  const std::string project = test::ReadFileBytes(work / "tower.ql3");
  const auto yesterday = fs::last_write_time(work / "tower.ql3") - std::chrono::hours(24);
  fs::last_write_time(work / "tower.ql3", yesterday);

  for (const int node : {1, 42}) {
    const std::string image = "node" + std::to_string(node) + ".BIN";
    const test::CliRun build =
        run("build " + path("tower.ql3") + home + " --set NODEADDR=" + std::to_string(node) +
            " --set FL_COLOR=#00FF00 --out " + path(image));
    ASSERT_EQ(build.status, 0) << build.out << build.err;
    EXPECT_EQ(build.out.rfind("Make....\nBuilt with NODEADDR=" + std::to_string(node) +
                                  ", FL_COLOR=#00FF00; the project file is neither saved nor "
                                  "changed\nUse memory = ",
                              0),
              0u)
        << build.out;
    const std::string bytes = test::ReadFileBytes(work / image);
    ASSERT_EQ(bytes.size(), 4194304u);
    const std::string block = bytes.substr(bytes.size() - kConfigBlockSize);
    EXPECT_EQ(static_cast<unsigned char>(block[config_offset::kNodeAddress]), node);
    // The floor colour in RGB565: pure green.
    EXPECT_EQ(block.substr(config_offset::kFloorColour, 2), std::string("\xE0\x07"));
  }
  const test::CliRun chinese = run("build " + path("tower.ql3") + home +
                                   " --lang zh --set NODEADDR=3 --out " + path("node3.BIN"));
  EXPECT_NE(chinese.out.find("\n本次建置套用 NODEADDR=3; 專案檔不儲存也不變更\n"),
            std::string::npos)
      << chinese.out;

  const test::CliRun refused =
      run("build " + path("tower.ql3") + home + " --set NODEADDR=256 --out " + path("x.BIN"));
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_NE(refused.err.find("tvx880: NODEADDR: \"256\" is refused"), std::string::npos);
  EXPECT_FALSE(fs::exists(work / "x.BIN"));
  EXPECT_EQ(run("build " + path("tower.ql3") + home + " --set NODE=1").status, 2);

  EXPECT_EQ(test::ReadFileBytes(work / "tower.ql3"), project);
  EXPECT_EQ(fs::last_write_time(work / "tower.ql3"), yesterday);
}

TEST_F(BuildCliTest, NoImageMeansExitStatusOne) {
  test::WriteFileBytes(work / "empty.ql3", "[Mode]\r\nLayout=16\r\n\r\n");
  const test::CliRun build =
      run("build " + path("empty.ql3") + " --home " + test::ShellQuoted(kShippedHome));
  EXPECT_EQ(build.status, 1);
  EXPECT_EQ(build.out, "Undefine floor code!!\n");
  EXPECT_EQ(build.err, "tvx880: no ROM image was written: the floor code table is empty\n");
  EXPECT_FALSE(fs::exists(work / "empty.BIN"));

  const test::CliRun missing =
      run("build " + path("nothing.ql3") + " --home " + test::ShellQuoted(kShippedHome));
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("was not loaded"), std::string::npos) << missing.err;

  EXPECT_EQ(run("build " + path("empty.ql3") + " --lang fr").status, 2);
}

TEST_F(BuildCliTest, InspectTellsWhatAFileIs) {
  const test::CliRun library =
      run("inspect " + test::ShellQuoted(kShippedHome + "/T880_PCGLB.GLB"));
  EXPECT_EQ(library.status, 0) << library.err;
  EXPECT_EQ(library.out.rfind("Kind: picture library", 0), 0u) << library.out;
  EXPECT_NE(library.out.find("     0   98 "), std::string::npos) << "the STEP resource";

  test::WriteFileBytes(work / "junk.bin", "MZ not an image");
  const test::CliRun junk = run("inspect " + path("junk.bin") + " --json");
  EXPECT_EQ(junk.status, 1);
  EXPECT_NE(junk.out.find("\"kind\": \"unknown\""), std::string::npos) << junk.out;
  EXPECT_EQ(junk.err,
            "tvx880: \"" + (work / "junk.bin").string() + "\" is neither a ROM image nor a GLB\n");

  const test::CliRun absent = run("inspect " + path("absent.BIN"));
  EXPECT_EQ(absent.status, 1);
  EXPECT_NE(absent.err.find("can not read"), std::string::npos);
}

// 大廳, 大門 and 大 as the window stores them: in Big5.
const std::string kBig5Hall = "\xA4\x6A\xC6\x55";
const std::string kBig5Gate = "\xA4\x6A\xAA\xF9";

TEST_F(BuildCliTest, AFloorPictureNamedInUtf8IsFoundAndBig5TextsPrintAsTheConsoleWritesThem) {
  test::TempDir home;
  fs::copy(kShippedHome, home.path(), fs::copy_options::recursive);
  const std::string homeOption = " --home " + test::ShellQuoted(home.path().string());
  // Copied onto a Linux disk, the picture of 大廳 is named in UTF-8; 大門 has none.
  const std::string floorStyle = (home.path() / "DefaultImageR1/UserDefine/Floor/Style0/").string();
  ASSERT_EQ(
      std::system(("convert -size 64x48 xc:blue BMP3:" + test::ShellQuoted(floorStyle + "大廳.bmp"))
                      .c_str()),
      0);
  ASSERT_EQ(run("project new " + path("hall.ql3") + homeOption).status, 0);
  for (const auto& [code, text] :
       {std::pair{"0x00", std::string("1")}, {"0x05", kBig5Hall}, {"0x06", kBig5Gate}}) {
    ASSERT_EQ(
        run("ini set " + path("hall.ql3") + " FloorTable " + code + " " + test::ShellQuoted(text))
            .status,
        0);
  }

  const test::CliRun check = run("check " + path("hall.ql3") + homeOption + " --lang en");
  EXPECT_EQ(check.out.find("[FloorTable 0x05"), std::string::npos) << check.out;
  EXPECT_NE(check.out.find("the floor text \"大門\" names the picture 大門.bmp"), std::string::npos)
      << check.out;

  const std::string build = "build " + path("hall.ql3") + homeOption + " --lang en --lenient";
  const test::CliRun utf8 = test::RunTvx880(build, "LC_ALL=C.UTF-8");
  ASSERT_EQ(utf8.status, 0) << utf8.err;
  EXPECT_NE(utf8.out.find("\n[Warning] CTBL-0x06=大門 not found --> auto cancel !!!\n"),
            std::string::npos)
      << utf8.out;
  EXPECT_EQ(utf8.out.find("0x05="), std::string::npos) << "its picture was found";
  const test::CliRun bytes = test::RunTvx880(build, "LC_ALL=C");
  EXPECT_NE(bytes.out.find("\n[Warning] CTBL-0x06=" + kBig5Gate + " not found"), std::string::npos)
      << bytes.out;
  EXPECT_EQ(test::ReadFileBytes(work / "hall.ql3").find("大"), std::string::npos)
      << "the project keeps its Big5 texts";

  const test::CliRun floors = run("inspect " + path("hall.BIN") + " --floors");
  EXPECT_NE(floors.out.find("0x05  display 0xFE05  picture\n      bank 6 slot   5  picture of "
                            "floor code 0x05     present\n"),
            std::string::npos)
      << floors.out;
}

TEST_F(BuildCliTest, LangZhReachesTheMessagesAndTheFailuresOfEveryCommand) {
  test::TestHome bare;  // no settings, no library
  const std::string zh = " --lang zh --home " + test::ShellQuoted(bare.dir());
  const test::CliRun missing = run("build " + path("nothing.ql3") + zh);
  EXPECT_EQ(missing.err, "Error: 找不到 T880_PCGLB.GLB 檔!!\nTVX880: 錯誤: 檔案 \"" +
                             (work / "nothing.ql3").string() + "\" 不存在!\ntvx880: 專案 \"" +
                             (work / "nothing.ql3").string() + "\" 未載入\n");

  test::WriteFileBytes(work / "empty.ql3", "[Mode]\r\nLayout=16\r\n\r\n");
  const std::string shipped = " --home " + test::ShellQuoted(kShippedHome);
  EXPECT_EQ(run("build " + path("empty.ql3") + shipped + " --lang zh").err,
            "tvx880: 未寫入 ROM 映像檔: 樓層代碼表是空的\n");
  EXPECT_NE(run("project show " + path("nothing.ql3") + zh).err.find("TVX880: 錯誤: 檔案 \""),
            std::string::npos);
  EXPECT_EQ(run("ini set " + path("a.ini") + " '' KEY value --lang zh").err,
            "tvx880: 區段與鍵名不可為空\n");
  EXPECT_EQ(run("inspect " + path("empty.ql3") + " --lang zh").err,
            "tvx880: \"" + (work / "empty.ql3").string() + "\" 既非 ROM 映像檔亦非 GLB\n");
  EXPECT_NE(run("convert --truncate " + path("empty.ql3") + " " + path("empty.ql3") + " --lang zh")
                .err.find(": 輸出檔與輸入檔是同一個檔案\n"),
            std::string::npos);
}

// The virtual indicator ("tvx880 sim --once") in the background, its output in a file; ready
// once its link is there.
class VirtualIndicator : public test::Tvx880Process {
 public:
  VirtualIndicator(const fs::path& link, const fs::path& received, const fs::path& out)
      : Tvx880Process(
            {"sim", "--link", link.string(), "--once", "--baud", "0", "--out", received.string()},
            out) {
    for (int i = 0; i < 1000 && !fs::is_symlink(link); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
};

TEST_F(BuildCliTest, WithAPortTheImageIsUploadedAfterTheBuild) {
  const std::string home = " --home " + test::ShellQuoted(kShippedHome);
  ASSERT_EQ(run("project new " + path("lift.ql3") + home).status, 0);
  VirtualIndicator indicator(work / "indicator", work / "received.bin", work / "sim.txt");
  ASSERT_TRUE(fs::is_symlink(work / "indicator"));
  const test::CliRun build =
      run("build " + path("lift.ql3") + home + " --port " + path("indicator"));
  EXPECT_EQ(build.status, 0) << build.out << build.err;
  EXPECT_EQ(indicator.wait(), 0) << test::ReadFileBytes(work / "sim.txt");
  EXPECT_NE(build.out.find("use 32Mb memory.\nSummary: 93 resources stored, no slot left "
                           "empty\n>>> Open COM "),
            std::string::npos)
      << build.out;
  EXPECT_NE(build.out.find(" Build and upload finish!\n"), std::string::npos);
  EXPECT_EQ(test::ReadFileBytes(work / "received.bin"), test::ReadFileBytes(work / "lift.BIN"));

  const test::CliRun badPort = run("build " + path("lift.ql3") + home + " --port 'COM x'");
  EXPECT_EQ(badPort.status, 2);
  EXPECT_NE(badPort.err.find("neither COMn nor a device path"), std::string::npos) << badPort.err;
}

}  // namespace
}  // namespace tvx
