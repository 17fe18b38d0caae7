#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/build_driver.h"
#include "app/studio.h"
#include "project/project_file.h"
#include "rom/rom_readback.h"
#include "support/build_recorder.h"
#include "support/rom_home.h"
#include "util/diagnostic_sink.h"
#include "util/error_text.h"

namespace tvx {
namespace {

namespace fs = std::filesystem;

constexpr BuildTime kBuildTime{2013, 3, 6, 14, 5, 9};

std::vector<std::uint8_t> readImage(const std::string& path) {
  const std::string bytes = test::ReadFileBytes(path);
  return {bytes.begin(), bytes.end()};
}

// A library holding only bank 0 slot `slot`, of `size` bytes.
std::string libraryWithOneResource(int slot, std::size_t size) {
  std::string library = "KWXGLB2B" + std::string(16384, '\0');
  const std::size_t at = 8 + static_cast<std::size_t>(slot) * 8;
  const std::uint32_t offset = 16392;
  for (int i = 0; i < 4; ++i) {
    library[at + i] = static_cast<char>(offset >> (24 - 8 * i));
    library[at + 4 + i] = static_cast<char>(size >> (24 - 8 * i));
  }
  return library + std::string(size, 'r');
}

class BuildDriverTest : public ::testing::Test {
 protected:
  void start(const test::RomHomeSettings& settings = {}) {
    test::FillRomHome(home, settings);
    studio = std::make_unique<Studio>(home.dir(), &host);
    studio->StartUp();
    Project& project = studio->project();
    project.FloorTable[0] = "1";
    for (auto& row : project.LiftStateImage) {
      row.fill("");
    }
    project.LiftStateImage[0][0] = test::RomPicture("message.bmp");
  }
  Project& project() { return studio->project(); }

  BuildResult build(std::optional<std::string> saveAs) {
    host.answerSaveFile(std::move(saveAs));
    BuildDriver driver(*studio, buildHost);
    driver.setClock([] { return kBuildTime; });
    driver.setScratchParent(scratch.path().string());
    driver.setRomImagePath(romImagePath);
    return driver.BuildAndUpload();
  }
  BuildResult build() { return build(projectPath); }
  // What ended a failed build, in the studio's language; empty for the others.
  std::string errorText(const BuildResult& result) const {
    return result.error ? ErrorText(*result.error, studio->language()) : std::string();
  }

  // The log without the lines of the pre-flight check and the summary, which have tests of their
  // own: these projects leave out most pictures on purpose.
  std::vector<std::string> log() const {
    std::vector<std::string> lines;
    for (const std::string& line : studio->log().lines()) {
      if (line.rfind("Pre-flight check:", 0) != 0 && line.rfind("建置前檢查:", 0) != 0 &&
          line.rfind("Summary:", 0) != 0 && line.rfind("摘要:", 0) != 0) {
        lines.push_back(line);
      }
    }
    return lines;
  }
  bool scratchIsEmpty() const { return fs::is_empty(scratch.path()); }
  RomInspection inspectImage() const {
    return InspectRomFile(readImage((work / "lift.BIN").string()));
  }
  const InspectedField& field(const RomInspection& inspection, const std::string& name) const {
    for (const InspectedField& f : inspection.fields) {
      if (f.name == name) {
        return f;
      }
    }
    throw std::runtime_error("no field " + name);
  }
  // The image's problems but its empty message slots: these projects leave out all message
  // pictures but one.
  std::vector<std::string> problemsButMessages(const RomInspection& inspection) const {
    std::vector<std::string> problems;
    for (const std::string& problem : inspection.problems) {
      if (problem.find(" message, ") == std::string::npos) {
        problems.push_back(problem);
      }
    }
    return problems;
  }
  bool hasResource(const RomInspection& inspection, int bank, int slot) const {
    for (const InspectedResource& r : inspection.resources) {
      if (r.bank == bank && r.slot == slot) {
        return true;
      }
    }
    return false;
  }

  test::TestHome home;
  test::TempDir work;
  test::TempDir scratch;
  ScriptedHost host;
  test::RecordingBuildHost buildHost;
  std::unique_ptr<Studio> studio;
  std::string projectPath = (work / "lift.ql3").string();
  std::optional<std::string> romImagePath;
};

TEST_F(BuildDriverTest, AnEmptyFloorTableLogsOnlyThatAndAsksNothing) {
  start();
  project().FloorTable.fill("  ");
  studio->log().add("an earlier line");
  EXPECT_EQ(build().outcome, BuildOutcome::kNoFloorCodes);
  EXPECT_EQ(log(), std::vector<std::string>{"Undefine floor code!!"});
  EXPECT_TRUE(host.fileRequests().empty());
  EXPECT_TRUE(buildHost.uploads.empty());
}

TEST_F(BuildDriverTest, ACancelledSaveStopsAfterThreeLines) {
  start();
  EXPECT_EQ(build(std::nullopt).outcome, BuildOutcome::kNotSaved);
  EXPECT_EQ(log(), (std::vector<std::string>{"Make....", "Force save project...",
                                             "Err: There are no project saved"}));
  ASSERT_EQ(host.fileRequests().size(), 1u);
  EXPECT_EQ(host.fileRequests()[0].filter, "TVX-880 Project File (*.ql3)|*.ql3");
  EXPECT_EQ(host.fileRequests()[0].defaultExtension, "ql3");
  EXPECT_TRUE(buildHost.uploads.empty());

  // A project that cannot be saved stops the same way.
  YVclUtil::RecordingDiagnosticSink diagnostics;
  const YVclUtil::ScopedDiagnosticSink quiet(diagnostics);
  EXPECT_EQ(build((work / "no" / "folder" / "lift.ql3").string()).outcome, BuildOutcome::kNotSaved);
  EXPECT_EQ(log().back(), "Err: There are no project saved");
  EXPECT_FALSE(host.messages().empty()) << "the save says why";
}

TEST_F(BuildDriverTest, ABuildSavesTheProjectWritesTheImageAndHandsItOver) {
  start();
  const BuildResult result = build();
  ASSERT_EQ(result.outcome, BuildOutcome::kBuilt) << errorText(result);
  const std::string image = (work / "lift.BIN").string();
  EXPECT_EQ(result.romImagePath, image);
  EXPECT_EQ(buildHost.uploads, std::vector<std::string>{image});
  EXPECT_TRUE(fs::exists(projectPath));
  EXPECT_EQ(project().ProjectPath, projectPath);
  EXPECT_EQ(log(), (std::vector<std::string>{
                       "Make....", "Force save project...",
                       "[Warning] BANK0-126=@B0F126 library resource not found (the library slot "
                       "is empty) --> empty slot !!!",
                       "Use memory = " + std::to_string(result.memoryUsed) + " Bytes",
                       "use 32Mb memory."}));
  EXPECT_EQ(buildHost.traces.front(), "**Create tempt880.glp**");
  const std::vector<std::string> lastTraces(buildHost.traces.end() - 4, buildHost.traces.end());
  EXPECT_EQ(lastTraces,
            (std::vector<std::string>{"Save KWX.GLB file", "+Make CFB file",
                                      "+Create ROM image file", "+Do upload function"}));
  EXPECT_EQ(buildHost.busyChanges, (std::vector<bool>{true, false}));
  EXPECT_GE(buildHost.repaints, 2);
  EXPECT_TRUE(scratchIsEmpty()) << "the private folder is removed";
  EXPECT_TRUE(host.messages().empty());

  const RomInspection inspection = inspectImage();
  EXPECT_EQ(inspection.fileSize, 4194304u);
  EXPECT_EQ(problemsButMessages(inspection), std::vector<std::string>{});
  EXPECT_EQ(inspection.memoryUsed, result.memoryUsed);
  EXPECT_EQ(field(inspection, "build_date").text, "2013-03-06");
  EXPECT_EQ(field(inspection, "protocol_size").values[0], 82u) << "KWXPS resource 117";
}

TEST_F(BuildDriverTest, TheChineseSettingWritesEveryLineInChinese) {
  start({.lang = 1});
  ASSERT_EQ(build().outcome, BuildOutcome::kBuilt);
  const std::vector<std::string> lines = log();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "製作....");
  EXPECT_EQ(lines[1], "自動儲存專案檔...");
  EXPECT_EQ(lines[2],
            "[警告] BANK0-126=@B0F126 圖庫資源不存在 (圖庫中此位置為空) --> 保留空白 !!!");
  EXPECT_EQ(lines[3].rfind("已用記憶體 = ", 0), 0u);
  EXPECT_EQ(lines[4], "使用 32Mb 記憶體.");

  EXPECT_EQ(build(std::nullopt).outcome, BuildOutcome::kNotSaved);
  EXPECT_EQ(log(),
            (std::vector<std::string>{"製作....", "自動儲存專案檔...", "錯誤: 專案檔尚未儲存"}));
  project().FloorTable.fill("");
  build();
  EXPECT_EQ(log(), std::vector<std::string>{"樓層編碼表未設定!!"});
}

TEST_F(BuildDriverTest, AMissingArrowStopsTheBuildAfterTheSave) {
  start();
  const fs::path arrow = home.path("DefaultImageR1/UserDefine/DIR/Style0/DIR_DN1_104x128.bmp");
  fs::remove(arrow);
  EXPECT_EQ(build().outcome, BuildOutcome::kMissingArrow);
  EXPECT_EQ(log().back(), "Err: " + arrow.string() + " not exist!!");
  EXPECT_TRUE(fs::exists(projectPath));
  EXPECT_FALSE(fs::exists(work / "lift.BIN"));
  EXPECT_TRUE(buildHost.uploads.empty());
  EXPECT_TRUE(scratchIsEmpty());
}

TEST_F(BuildDriverTest, MissingFloorPicturesAndCodeTablePictures) {
  start();
  fs::remove(home.path("DefaultImageR1/UserDefine/Floor/Style0/0x37.bmp"));
  project().FloorTable[4] = "lobby";
  project().FloorTable[5] = "Roof";
  ASSERT_EQ(build().outcome, BuildOutcome::kBuilt);
  EXPECT_EQ(log()[2], "[Warning] CTBL-0x05=Roof not found --> auto cancel !!!");
  EXPECT_EQ(project().FloorTable[5], "") << "cleared for the window";
  EXPECT_EQ(project().FloorTable[4], "lobby");

  const RomInspection inspection = inspectImage();
  EXPECT_TRUE(hasResource(inspection, 6, 4)) << "the code-table picture in bank 6";
  EXPECT_FALSE(hasResource(inspection, 6, 5));
  EXPECT_TRUE(hasResource(inspection, 1, 0x36));
  EXPECT_FALSE(hasResource(inspection, 1, 0x37)) << "a missing floor picture is skipped silently";
  const std::vector<std::uint32_t>& codes = field(inspection, "display_code_table").values;
  EXPECT_EQ(codes[0], 0x31u);
  EXPECT_EQ(codes[4], 0xFE04u);
  EXPECT_EQ(codes[5], 0u);
}

TEST_F(BuildDriverTest, BackgroundNumbersInheritUnlessTheBackgroundIsFixed) {
  start();
  const std::vector<const char*> numbers{"", "x", "3", "", "7"};
  for (std::size_t code = 0; code < numbers.size(); ++code) {
    project().FloorBkgImage[code] = numbers[code];
  }
  project().AUTOSLIDESHOW = 0;
  ASSERT_EQ(build().outcome, BuildOutcome::kBuilt);
  std::vector<std::uint32_t> table = field(inspectImage(), "background_table").values;
  EXPECT_EQ(std::vector<std::uint32_t>(table.begin(), table.begin() + 6),
            (std::vector<std::uint32_t>{3, 3, 3, 3, 7, 7}));
  EXPECT_EQ(field(inspectImage(), "background_mode").values[0], 0u);

  project().AUTOSLIDESHOW = 2;
  ASSERT_EQ(build().outcome, BuildOutcome::kBuilt);
  table = field(inspectImage(), "background_table").values;
  EXPECT_EQ(table, std::vector<std::uint32_t>(256, 0)) << "fixed background number 0";
  EXPECT_EQ(field(inspectImage(), "background_mode").values[0], 2u);
}

TEST_F(BuildDriverTest, A64MbIndicatorGetsAn8MiBImageAndItsProtocolResource) {
  start({.mem = 64});
  ASSERT_EQ(build().outcome, BuildOutcome::kBuilt);
  EXPECT_EQ(log().back(), "use 64Mb memory.");
  const RomInspection inspection = inspectImage();
  EXPECT_EQ(inspection.fileSize, 8388608u);
  EXPECT_EQ(problemsButMessages(inspection), std::vector<std::string>{});
  EXPECT_EQ(field(inspection, "protocol_size").values[0], 82u) << "KWXPS resource 134";
}

TEST_F(BuildDriverTest, OutOfMemoryAtTheExactBoundary) {
  start();
  home.writeLibrary(libraryWithOneResource(117, 1000));
  studio->StartUp();
  project().FloorTable[0] = "1";
  for (auto& row : project().LiftStateImage) {
    row.fill("");
  }
  BuildResult result = build();
  ASSERT_EQ(result.outcome, BuildOutcome::kBuilt);
  const std::size_t room = 4194304 - result.memoryUsed;

  // The protocol resource grows to take exactly what is left.
  home.writeLibrary(libraryWithOneResource(117, 1000 + room));
  studio->StartUp();
  project().FloorTable[0] = "1";
  for (auto& row : project().LiftStateImage) {
    row.fill("");
  }
  result = build();
  ASSERT_EQ(result.outcome, BuildOutcome::kBuilt);
  EXPECT_EQ(result.memoryUsed, 4194304u);
  EXPECT_EQ(inspectImage().memoryLeft, 0u);
  const std::vector<std::string> problems = problemsButMessages(inspectImage());
  ASSERT_EQ(problems.size(), 1u) << "a library of the protocol resource alone";
  EXPECT_NE(problems[0].find("built without the picture library?"), std::string::npos);
  const std::string fullImage = test::ReadFileBytes(work / "lift.BIN");

  home.writeLibrary(libraryWithOneResource(117, 1001 + room));
  studio->StartUp();
  project().FloorTable[0] = "1";
  for (auto& row : project().LiftStateImage) {
    row.fill("");
  }
  buildHost.uploads.clear();
  result = build();
  EXPECT_EQ(result.outcome, BuildOutcome::kOutOfMemory);
  EXPECT_EQ(log().back(), "Err: Out of memory!!");
  EXPECT_EQ(log().size(), 2u + 17 + 1) << "warnings for the absent library slots, then refused";
  EXPECT_EQ(test::ReadFileBytes(work / "lift.BIN"), fullImage) << "the earlier image stays";
  EXPECT_TRUE(buildHost.uploads.empty());
  EXPECT_TRUE(scratchIsEmpty());
}

TEST_F(BuildDriverTest, WithoutALibraryEveryLibrarySlotIsEmptyWithAWarning) {
  start({.library = false});
  ASSERT_EQ(host.messages().size(), 1u);
  EXPECT_EQ(host.messages()[0].text, "T880_PCGLB.GLB file not found!!\n\n");
  ASSERT_EQ(build().outcome, BuildOutcome::kBuilt);
  int warnings = 0;
  for (const std::string& line : log()) {
    if (line.find("library resource not found (no picture library") != std::string::npos) {
      ++warnings;
    }
  }
  EXPECT_EQ(warnings, 12 + 4 + 1 + 1) << "47..58, 123..126, 98 and 255";
  const RomInspection inspection = inspectImage();
  EXPECT_EQ(problemsButMessages(inspection),
            (std::vector<std::string>{
                "bank 0 slot 98 (protocol resource) is empty, though every build fills it",
                "the picture library's resources (bank 0 slots 47 to 58, 123 to 126 and 255) are "
                "all empty: was the image built without the picture library?"}));
  EXPECT_FALSE(hasResource(inspection, 0, 98));
}

TEST_F(BuildDriverTest, ARefusedMessagePictureIsWarnedAboutAndTheBuildGoesOn) {
  start();
  project().LiftStateImage[1][2] = test::RomPicture("odd_width.bmp");
  ASSERT_EQ(build().outcome, BuildOutcome::kBuilt);
  bool warned = false;
  for (const std::string& line : log()) {
    warned = warned || line == "[Warning] BANK0-177=" + test::RomPicture("odd_width.bmp") +
                                   " picture not converted ((bmpInfo.biWidth & 1)==0) --> empty "
                                   "slot !!!";
  }
  EXPECT_TRUE(warned);
  EXPECT_FALSE(hasResource(inspectImage(), 0, 177));
  EXPECT_TRUE(hasResource(inspectImage(), 0, 196));
}

TEST_F(BuildDriverTest, AnErrorEndsTheBuildWithItsTextShownAndLeavesNothing) {
  start();
  fs::remove(home.path("DefaultImageR1/UserDefine/DateTime/EN/WED_EN_80x40.bmp"));
  const BuildResult result = build();
  EXPECT_EQ(result.outcome, BuildOutcome::kFailed);
  EXPECT_NE(
      errorText(result).find("WED_EN_80x40.bmp is neither a picture file nor a library resource"),
      std::string::npos)
      << errorText(result);
  ASSERT_EQ(host.messages().size(), 1u);
  EXPECT_EQ(host.messages()[0].caption, "TVX880");
  EXPECT_EQ(host.messages()[0].text, errorText(result));
  EXPECT_FALSE(fs::exists(work / "lift.BIN"));
  EXPECT_TRUE(buildHost.uploads.empty());
  EXPECT_TRUE(scratchIsEmpty());
  EXPECT_EQ(buildHost.busyChanges, (std::vector<bool>{true, false}));
}

TEST_F(BuildDriverTest, TheImageMayGoElsewhereAndUploadOnlySkipsTheBuild) {
  start();
  romImagePath = (work / "out").string() + ".bin";
  ASSERT_EQ(build().outcome, BuildOutcome::kBuilt);
  EXPECT_TRUE(fs::exists(*romImagePath));
  EXPECT_FALSE(fs::exists(work / "lift.BIN"));
  EXPECT_EQ(buildHost.uploads, std::vector<std::string>{*romImagePath});

  buildHost.uploadOnly = true;
  EXPECT_EQ(build().outcome, BuildOutcome::kUploadOnly);
  EXPECT_EQ(buildHost.uploadOnlyRuns, 1);
  EXPECT_TRUE(log().empty());
  EXPECT_EQ(buildHost.uploads.size(), 1u);
}

}  // namespace
}  // namespace tvx
