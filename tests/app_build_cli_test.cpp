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
