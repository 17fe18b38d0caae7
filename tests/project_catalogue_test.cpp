#include <gtest/gtest.h>

#include "project/catalogue.h"
#include "project/paths.h"
#include "project/project.h"
#include "support/test_home.h"

namespace tvx {
namespace {

TEST(PathsTest, TakesWindowsAndPosixPathsApart) {
  EXPECT_EQ(FileNameOf("C:\\Tool\\DefaultImageR1\\LiftState\\FIRE0_EG_240x48.bmp"),
            "FIRE0_EG_240x48.bmp");
  EXPECT_EQ(FileNameOf("/home/tech/bg01.bmp"), "bg01.bmp");
  EXPECT_EQ(FileNameOf("C:mixed/dir\\pic.bmp"), "pic.bmp");
  EXPECT_EQ(FileNameOf("D:pic.bmp"), "pic.bmp");
  EXPECT_EQ(FileNameOf("pic.bmp"), "pic.bmp");
  EXPECT_EQ(FileNameOf("C:\\Pics\\"), "");

  EXPECT_TRUE(IsAbsolutePath("/usr/share"));
  EXPECT_TRUE(IsAbsolutePath("c:\\pic.bmp"));
  EXPECT_TRUE(IsAbsolutePath("Z:"));
  EXPECT_FALSE(IsAbsolutePath("FIRE0_EG_240x48.bmp"));
  EXPECT_FALSE(IsAbsolutePath("sub/pic.bmp"));
  EXPECT_FALSE(IsAbsolutePath("1:pic.bmp"));
  EXPECT_FALSE(IsAbsolutePath(""));

  EXPECT_EQ(Trimmed(" \t name \r\n"), "name");
  EXPECT_TRUE(IsBlank(" \t\r\n"));
  EXPECT_FALSE(IsBlank(" x "));
}

TEST(CatalogueTest, FolderOfFileIsTheLastFolderOfTheDirectoryPart) {
  EXPECT_EQ(FolderOfFile("C:\\A\\DefaultImageR1\\UserDefine\\Floor\\Style3\\0x38.bmp"), "Style3");
  EXPECT_EQ(FolderOfFile("D:\\Pics\\logo.bmp"), "Pics");
  EXPECT_EQ(FolderOfFile("D:\\logo.bmp"), "");
  EXPECT_EQ(FolderOfFile("/srv/home/DefaultImageR1/UserDefine/DateTime/CHT/MON_CHT_80x40.bmp"),
            "CHT");
  EXPECT_EQ(FolderOfFile("/logo.bmp"), "");
  EXPECT_EQ(FolderOfFile("logo.bmp"), "");
  EXPECT_EQ(FolderOfFile(""), "");

  EXPECT_EQ(StyleFolderFromPickedFile("D:\\logo.bmp", 3), "style3");
  EXPECT_EQ(StyleFolderFromPickedFile("/x/Bold/0x38.bmp", 0), "Bold");
  EXPECT_EQ(DateTimeLanguageFromPickedFile("D:\\JAN.bmp"), "EN");
  EXPECT_EQ(DateTimeLanguageFromPickedFile("C:\\x\\JP\\JAN_JP_80x40.bmp"), "JP");
}

TEST(CatalogueTest, RelocationKeepsOnlyTheFileNameAndExtension) {
  const std::string home = "/opt/tvx/";
  EXPECT_EQ(RelocateToCatalogue(home, "E:\\Old\\Tool\\DefaultImageR1\\Background\\V\\bg01.bmp",
                                CatalogueFolder::kVerticalBackground),
            "/opt/tvx/DefaultImageR1/Background/V/bg01.bmp");
  EXPECT_EQ(
      RelocateToCatalogue(home, "/mnt/usb/H/wide.BMP", CatalogueFolder::kHorizontalBackground),
      "/opt/tvx/DefaultImageR1/Background/H/wide.BMP");
  EXPECT_EQ(RelocateToCatalogue(home, "FIRE0_EG_240x48.bmp", CatalogueFolder::kLiftState),
            "/opt/tvx/DefaultImageR1/LiftState/FIRE0_EG_240x48.bmp");
}

TEST(CatalogueTest, DefaultLiftStatePicturesPutChineseInAAndBAndEnglishInCAndD) {
  Project project;
  SetDefaultLiftStateImages(project, "/h/");
  EXPECT_EQ(project.LiftStateImage[0][2], "/h/DefaultImageR1/LiftState/FIRE0_EG_240x48.bmp");
  EXPECT_EQ(project.LiftStateImage[0][0], "/h/DefaultImageR1/LiftState/FIRE0_CHT_240x48.bmp");
  EXPECT_EQ(project.LiftStateImage[3][1],
            "/h/DefaultImageR1/LiftState/PWR.FAILURE1_CHT_240x48.bmp");
  EXPECT_EQ(project.LiftStateImage[9][3], "/h/DefaultImageR1/LiftState/IND1_EG_240x48.bmp");
  for (const auto& row : project.LiftStateImage) {
    for (const std::string& path : row) {
      EXPECT_FALSE(path.empty());
    }
  }
}

TEST(CatalogueTest, StyleFoldersResetAndPreviewPaths) {
  Project project;
  project.FLS_DIR[2] = "Mine";
  project.DIRS_DIR[4] = "";
  ResetStyleFolders(project);
  EXPECT_EQ(project.FLS_DIR[2], "Style2");
  EXPECT_EQ(project.DIRS_DIR[4], "Style4");
  EXPECT_EQ(FloorStylePreviewPath("/h/", "Style1"),
            "/h/DefaultImageR1/UserDefine/Floor/Style1/0x38.bmp");
  EXPECT_EQ(ArrowStylePreviewPath("/h/", "Style1"),
            "/h/DefaultImageR1/UserDefine/DIR/Style1/DIR_UP1_104x128.bmp");

  project.FL_STYLE = 4;
  project.FLS_DIR[3] = "Big";
  EXPECT_EQ(ComputeFloorStyleDir(project, "/h/"), "/h/DefaultImageR1/UserDefine/Floor/Big/");
  project.FL_STYLE = 9;  // no such slot: the first one
  EXPECT_EQ(ComputeFloorStyleDir(project, "/h/"), "/h/DefaultImageR1/UserDefine/Floor/Style0/");
}

class DateTimePicturesTest : public ::testing::Test {
 protected:
  void addLanguage(const std::string& language, bool withMonths) {
    for (const char* day : {"MON", "TUE", "WED", "THU", "FRI", "SAT", "SUN"}) {
      m_home.put(dateTimeFile(language, day));
    }
    if (withMonths) {
      for (const char* month :
           {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"}) {
        m_home.put(dateTimeFile(language, month));
      }
    }
  }
  static std::string dateTimeFile(const std::string& language, const std::string& name) {
    return "DefaultImageR1/UserDefine/DateTime/" + language + "/" + name + "_" + language +
           "_80x40.bmp";
  }
  std::string full(const std::string& language, const std::string& name) const {
    return m_home.dir() + dateTimeFile(language, name);
  }

  test::TestHome m_home;
  Project m_project;
};

TEST_F(DateTimePicturesTest, LanguageWithoutMonthsTakesEnglishMonths) {
  addLanguage("EN", true);
  addLanguage("CHT", false);
  m_project.DateTimeLanguage = "CHT";
  ComputeDateTimeImages(m_project, m_home.dir());
  EXPECT_EQ(m_project.WeekImages[0], "CHT");
  EXPECT_EQ(m_project.WeekImages[1], full("CHT", "MON"));
  EXPECT_EQ(m_project.WeekImages[7], full("CHT", "SUN"));
  EXPECT_EQ(m_project.MonthImages[0], "EN");
  EXPECT_EQ(m_project.MonthImages[1], full("EN", "JAN"));
  EXPECT_EQ(m_project.MonthImages[12], full("EN", "DEC"));
}

TEST_F(DateTimePicturesTest, LanguageWithMonthsUsesItsOwn) {
  addLanguage("JP", true);
  m_project.DateTimeLanguage = "JP";
  ComputeDateTimeImages(m_project, m_home.dir());
  EXPECT_EQ(m_project.MonthImages[0], "JP");
  EXPECT_EQ(m_project.MonthImages[5], full("JP", "MAY"));
}

TEST_F(DateTimePicturesTest, BlankLanguageBecomesEnglishAndMissingWeekdaysStayMissing) {
  m_project.DateTimeLanguage = "  ";
  ComputeDateTimeImages(m_project, m_home.dir());
  EXPECT_EQ(m_project.DateTimeLanguage, "EN");
  EXPECT_EQ(m_project.WeekImages[0], "EN");

  // A language folder that does not exist still names its weekday pictures.
  m_project.DateTimeLanguage = "XX";
  ComputeDateTimeImages(m_project, m_home.dir());
  EXPECT_EQ(m_project.WeekImages[3], full("XX", "WED"));
  EXPECT_EQ(m_project.MonthImages[0], "EN");
}

TEST(ProjectModelTest, ArrangementsFollowTheirRadioButtons) {
  Project project;
  project.LayoutVariant = 1;
  ASSERT_TRUE(SelectLayout(project, kLayoutArrangement3));
  EXPECT_EQ(project.DISPTYPE_HV, 0);
  EXPECT_EQ(project.LayoutVariant, 1);

  ASSERT_TRUE(SelectLayout(project, kLayoutArrangement4));
  EXPECT_EQ(project.DISPTYPE_HV, 1);
  EXPECT_EQ(project.LayoutVariant, 0);

  project.LayoutVariant = 1;  // "樣式 2" chosen while vertical is not possible, but keep it
  ASSERT_TRUE(SelectLayout(project, kLayoutArrangement1));
  EXPECT_EQ(project.Layout, 0x40);
  EXPECT_EQ(project.LayoutVariant, 1);
  ASSERT_TRUE(SelectLayout(project, kLayoutArrangement2));
  EXPECT_EQ(project.LayoutVariant, 0);

  EXPECT_FALSE(SelectLayout(project, 0x30));
  EXPECT_EQ(project.Layout, 0x10);
}

TEST(ProjectModelTest, FloorCodeNamesAreUpperCaseHex) {
  EXPECT_EQ(FloorCodeName(0), "0x00");
  EXPECT_EQ(FloorCodeName(10), "0x0A");
  EXPECT_EQ(FloorCodeName(255), "0xFF");
}

}  // namespace
}  // namespace tvx
