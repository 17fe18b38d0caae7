#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "project/picture_lookup.h"
#include "support/temp_dir.h"

namespace tvx {
namespace {

class PictureLookupTest : public ::testing::Test {
 protected:
  PictureLookupTest() {
    for (const char* name : {"pics/fwd.bmp", "sunset.bmp", "bg_lobby.bmp", "Deep/Er/x.bmp",
                             "Both.bmp", "both.bmp", "folder.bmp/inside.bmp"}) {
      std::filesystem::create_directories((m_site / name).parent_path());
      test::WriteFileBytes(m_site / name, "BM");
    }
  }
  std::optional<std::string> find(const std::string& written) const {
    return FindPictureFile(written, folder());
  }
  std::string at(const std::string& relative) const { return (m_site.path() / relative).string(); }
  std::string folder() const { return m_site.path().string() + "/"; }

  test::TempDir m_site;
};

TEST_F(PictureLookupTest, WindowsPathsAreFoundFromTheProjectFolderInOrder) {
  // 1. An absolute path of this system, as written (surrounding blanks aside).
  EXPECT_EQ(find(" " + at("sunset.bmp") + " "), at("sunset.bmp"));
  // 2. Relative to the project folder, either separator, a drive dropped.
  EXPECT_EQ(find("pics\\fwd.bmp"), at("pics/fwd.bmp"));
  EXPECT_EQ(find("D:\\pics\\fwd.bmp"), at("pics/fwd.bmp"));
  EXPECT_EQ(find("D:pics/fwd.bmp"), at("pics/fwd.bmp"));
  EXPECT_EQ(find("\\\\pics\\\\fwd.bmp"), at("pics/fwd.bmp"));
  // 3. Folders and the file name without regard to letter case; the exact name first.
  EXPECT_EQ(find("SUNSET.BMP"), at("sunset.bmp"));
  EXPECT_EQ(find("DEEP\\er\\X.Bmp"), at("Deep/Er/x.bmp"));
  EXPECT_EQ(find("both.bmp"), at("both.bmp"));
  EXPECT_EQ(find("Both.bmp"), at("Both.bmp"));
  EXPECT_EQ(find("BOTH.BMP"), at("Both.bmp")) << "the first in byte order";
  // 4. The file name alone beside the project.
  EXPECT_EQ(find("D:\\Jobs\\Taipei101\\bg_lobby.bmp"), at("bg_lobby.bmp"));
  EXPECT_EQ(find("/media/old/Jobs/BG_LOBBY.BMP"), at("bg_lobby.bmp"));
  EXPECT_EQ(find("C:\\Jobs\\pics\\fwd.bmp"), std::nullopt) << "fwd.bmp is not beside it";

  for (const char* nothing : {"", "  ", "missing.bmp", "D:\\", "pics", "folder.bmp", "x.bmp"}) {
    EXPECT_EQ(find(nothing), std::nullopt) << nothing;
  }
}

TEST_F(PictureLookupTest, TheProjectFileGivesTheFolderAndTheTextStandsWhenNothingIsFound) {
  Project project;
  project.ProjectPath = at("taipei.ql3");
  EXPECT_EQ(PictureFileOf(project, "Pics\\FWD.bmp"), at("pics/fwd.bmp"));
  EXPECT_EQ(PictureFileOf(project, "D:\\gone.bmp"), "D:\\gone.bmp");
  EXPECT_EQ(PictureFileOf(project, ""), "");
  EXPECT_EQ(ProjectFolderOf(""), "") << "a project without a file: the current directory";

  // Never from the current directory while the project has a file elsewhere.
  test::TempDir elsewhere;
  test::WriteFileBytes(elsewhere / "only_here.bmp", "BM");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(elsewhere.path());
  const std::string fromFile = PictureFileOf(project, "only_here.bmp");
  const std::string withoutFile = PictureFileOf(Project{}, "only_here.bmp");
  std::filesystem::current_path(before);
  EXPECT_EQ(fromFile, "only_here.bmp");
  EXPECT_EQ(std::filesystem::path(withoutFile).filename(), "only_here.bmp");
  EXPECT_TRUE(std::filesystem::path(withoutFile).is_absolute()) << withoutFile;
}

}  // namespace
}  // namespace tvx
