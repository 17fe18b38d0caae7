#include <gtest/gtest.h>

#include <filesystem>

#include "app/program_home.h"
#include "app/studio.h"
#include "project/catalogue.h"
#include "project/paths.h"
#include "project/startup.h"
#include "support/test_home.h"
#include "util/error_text.h"

namespace tvx {
namespace {

namespace fs = std::filesystem;

const std::string kShippedHome = std::string(TVX_SOURCE_DIR) + "/data/";

TEST(ProgramHomeTest, GivenHomeMustBeAFolder) {
  test::TestHome home;
  Result<std::string> found = FindProgramDir(home.dir().substr(0, home.dir().size() - 1));
  ASSERT_TRUE(found);
  EXPECT_EQ(*found, home.dir());

  found = FindProgramDir(home.dir() + "nowhere");
  ASSERT_FALSE(found);
  EXPECT_NE(ErrorText(found.error(), 0).find("nowhere"), std::string::npos);

  found = FindProgramDir(home.put("DPW880.INI", ""));
  EXPECT_FALSE(found) << "a file is no home";
}

TEST(ProgramHomeTest, FromABuildTreeTheSourceDataIsFound) {
  // The test program lives in the build tree, where no home lies beside it.
  const Result<std::string> found = FindProgramDir(std::nullopt);
  ASSERT_TRUE(found) << ErrorText(found.error(), 0);
  EXPECT_TRUE(LooksLikeProgramHome(*found));
  EXPECT_TRUE(IsPathSeparator(found->back()));
  const std::vector<fs::path> candidates = ProgramHomeCandidates();
  ASSERT_FALSE(candidates.empty());
  EXPECT_EQ(candidates.front(), ExecutableDirectory());
}

TEST(StudioTest, StartsOnTheShippedHomeLikeTheTool) {
  ScriptedHost host;
  Studio studio(kShippedHome, &host);
  studio.StartUp();
  EXPECT_TRUE(host.messages().empty());
  EXPECT_EQ(studio.language(), 0u);
  EXPECT_EQ(studio.settings().OemProtocol, "STEP");
  EXPECT_TRUE(studio.settings().DateTimeSupported);
  EXPECT_FALSE(studio.libraryImage().empty());
  EXPECT_EQ(studio.state().LibraryDate.size(), 6u);
  EXPECT_EQ(studio.title(), "TVX880 STD [R1-Build-121023] < STEP > (Lib." +
                                studio.state().LibraryDate + ")  -- No project name");
  EXPECT_TRUE(studio.window().panels.Panel10.visible);
  ASSERT_FALSE(studio.window().captions.empty());
  EXPECT_EQ(studio.window().captions.front().text, "Previous");

  const Project& project = studio.project();
  int usedFloors = 0;
  for (const std::string& text : project.FloorTable) {
    usedFloors += text.empty() ? 0 : 1;
  }
  EXPECT_GE(usedFloors, 10) << "a real building's floors";
  for (const auto& row : project.LiftStateImage) {
    for (const std::string& path : row) {
      EXPECT_TRUE(FileExists(path)) << path;
    }
  }
  for (int i = 1; i < kWeekImageCount; ++i) {
    EXPECT_TRUE(FileExists(project.WeekImages[i])) << project.WeekImages[i];
  }
  for (int i = 1; i < kMonthImageCount; ++i) {
    EXPECT_TRUE(FileExists(project.MonthImages[i])) << project.MonthImages[i];
  }
  EXPECT_TRUE(FileExists(FloorStylePreviewPath(studio.programDir(), project.FLS_DIR[0])));
  EXPECT_TRUE(FileExists(ArrowStylePreviewPath(studio.programDir(), project.DIRS_DIR[4])));
}

TEST(StudioTest, ChineseDatesTakeEnglishMonthsFromTheShippedHome) {
  ScriptedHost host;
  Studio studio(kShippedHome, &host);
  studio.StartUp();
  studio.project().DateTimeLanguage = "CHT";
  NewProject(studio.state(), studio.project());
  EXPECT_EQ(studio.project().WeekImages[0], "CHT");
  EXPECT_TRUE(FileExists(studio.project().WeekImages[1]));
  EXPECT_EQ(studio.project().MonthImages[0], "EN");
}

TEST(StudioTest, ProjectMovedBetweenHomesFindsItsPictures) {
  // Written on one installation ...
  test::TempDir work;
  ScriptedHost host;
  const std::string path = (work.path() / "tower.ql3").string();
  std::string otherHome = (work.path() / "old-home").string() + "/";
  fs::create_directories(otherHome);
  fs::copy(kShippedHome + "DefaultImageR1", otherHome + "DefaultImageR1",
           fs::copy_options::recursive);
  fs::copy_file(kShippedHome + "DPW880.INI", otherHome + "DPW880.INI");
  fs::copy_file(kShippedHome + "T880_PCGLB.GLB", otherHome + "T880_PCGLB.GLB");
  {
    Studio writer(otherHome, &host);
    writer.StartUp();
    Project& project = writer.project();
    for (const auto& entry : fs::directory_iterator(otherHome + "DefaultImageR1/Background/V")) {
      project.UserBkGndImage[3] = entry.path().string();
    }
    project.USE_BACKGROUNDBMP = 1;
    ASSERT_TRUE(writer.SaveProject(path));
  }
  fs::remove_all(otherHome);

  // ... and loaded on this one.
  Studio reader(kShippedHome, &host);
  reader.StartUp();
  reader.log().add("left over");
  ASSERT_TRUE(reader.LoadProject(path));
  const Project& project = reader.project();
  EXPECT_TRUE(FileExists(project.UserBkGndImage[3])) << project.UserBkGndImage[3];
  EXPECT_EQ(project.UserBkGndImage[3].rfind(kShippedHome, 0), 0u);
  EXPECT_TRUE(FileExists(project.LiftStateImage[6][2])) << project.LiftStateImage[6][2];
  EXPECT_EQ(reader.title(), reader.state().TitleBase + " -- " + path);

  reader.NewProject();
  EXPECT_TRUE(reader.log().lines().empty());
  EXPECT_EQ(reader.project().UserBkGndImage[3], "");
  EXPECT_EQ(reader.project().ProjectPath, "");
  EXPECT_TRUE(host.messages().empty());
}

TEST(StudioTest, MessagesGoToTheInstalledHost) {
  test::TestHome home;  // no library, no settings
  ScriptedHost first;
  ScriptedHost second;
  Studio studio(home.dir(), &first);
  studio.StartUp();
  ASSERT_EQ(first.messages().size(), 1u);
  EXPECT_EQ(first.messages()[0].caption, "Error");
  EXPECT_EQ(studio.setHost(&second), &first);
  EXPECT_FALSE(studio.LoadProject(home.dir() + "none.ql3"));
  EXPECT_EQ(second.messages().size(), 1u);
  EXPECT_EQ(studio.setHost(nullptr), &second);
}

TEST(StudioTest, ProjectDialogsOfferProjectFilesFromTheHome) {
  test::TestHome home;
  ScriptedHost host;
  Studio studio(home.dir(), &host);
  host.answerSaveFile(home.dir() + "a.ql3");
  EXPECT_EQ(studio.chooseProjectToSave(), home.dir() + "a.ql3");
  EXPECT_EQ(studio.chooseProjectToOpen(), std::nullopt) << "cancelled";
  ASSERT_EQ(host.fileRequests().size(), 2u);
  EXPECT_EQ(host.fileRequests()[0].filter, "TVX-880 Project File (*.ql3)|*.ql3");
  EXPECT_EQ(host.fileRequests()[0].defaultExtension, "ql3");
  EXPECT_EQ(host.fileRequests()[1].initialDirectory, home.dir());
}

}  // namespace
}  // namespace tvx
