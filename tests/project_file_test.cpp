#include "project/project_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "project/app_settings.h"
#include "project/catalogue.h"
#include "project/project_fields.h"
#include "project/startup.h"
#include "support/ordinary_user.h"
#include "support/test_home.h"
#include "util/diagnostic_sink.h"

namespace tvx {
namespace {

using test::IniText;
using test::ReadFileBytes;

// A started program on a small home with the EN date pictures, one background of each kind and
// the default lift-state pictures.
class ProjectFileTest : public ::testing::Test {
 protected:
  ProjectFileTest() {
    m_state.ProgramDir = m_home.dir();
    m_home.writeLibrary("L");
    for (const char* name : {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT",
                             "NOV", "DEC", "MON", "TUE", "WED", "THU", "FRI", "SAT", "SUN"}) {
      m_home.put(std::string("DefaultImageR1/UserDefine/DateTime/EN/") + name + "_EN_80x40.bmp");
    }
    for (int row = 0; row < kLiftStateRowCount; ++row) {
      for (int column = 0; column < kLiftStateColumnCount; ++column) {
        m_home.put("DefaultImageR1/LiftState/" + DefaultLiftStateFileName(row, column));
      }
    }
    m_home.put("DefaultImageR1/Background/V/bg01.bmp");
    m_home.put("DefaultImageR1/Background/H/wide01.bmp");
  }

  void startUp(const std::string& oem = "STEP") {
    m_home.writeSettings(IniText({"[Option]", "LANG=0", "OEM=" + oem}));
    StartUp(m_state, m_project, m_host);
    m_host.clear();
  }
  std::string projectPath(const std::string& name = "p.ql3") const {
    return m_home.path(name).string();
  }
  bool save(const std::string& path) { return SaveProject(path, m_project, m_state, m_host); }
  bool load(const std::string& path) { return LoadProject(path, m_project, m_state, m_host); }
  // Writes a hand-made project file and loads it.
  bool loadText(const std::string& text) {
    m_home.put("hand.ql3", text);
    return load(projectPath("hand.ql3"));
  }
  std::string catalogue(CatalogueFolder folder, const std::string& name) const {
    return CatalogueFolderPath(m_home.dir(), folder) + name;
  }

  test::TestHome m_home;
  ScriptedHost m_host;
  ProgramState m_state;
  Project m_project;
};

// Every field changed from its default to another valid value.
Project fullProject(const test::TestHome& home) {
  Project p;
  SelectLayout(p, kLayoutArrangement3);
  p.LayoutVariant = 1;
  p.FL_COLOR = 0x0000FF;
  p.BKG_COLOR = 0x102030;
  p.MSGBKG_COLOR = 0x010101;
  p.CLOCK_COLOR = 0x00FF00;
  p.FL_STYLE = 4;
  p.DIR_STYLE = 5;
  p.FLS_DIR = {"A", "B", "C", "Bold", "E"};
  p.DIRS_DIR = {"F", "G", "H", "I", "Thin"};
  p.USE_DATETIME = 1;
  p.DATE_STYLE = 2;
  p.MSG_STYLE = 0x0D;
  p.USE_BACKGROUNDBMP = 1;
  p.UserBkGndImage[0] = home.dir() + "DefaultImageR1/Background/V/bg01.bmp";
  p.UserBkGndImage[127] = home.dir() + "DefaultImageR1/Background/V/bg01.bmp";
  p.UserBkGndImage2[64] = home.dir() + "DefaultImageR1/Background/H/wide01.bmp";
  p.AUTOSLIDESHOW = 1;
  p.SLIDESHOWTIMEGAP = 299;
  p.USE_STANDBYLOGO = 1;
  p.STANDBYLOGOBMP = home.dir() + "DefaultImageR1/Background/V/bg01.bmp";
  p.STANDBYTIME = 29;
  p.NODEADDR = 255;
  p.CAR_HALL = 0;
  p.ARRIVALBLINK = 1;
  p.HLAMP1 = 1;
  p.HLAMP2 = 5;
  p.HLAMP3 = 10;
  p.BACKLIGHTSAVE = 16;
  p.LCDBLCTRLMODE = 0;
  p.PS_MODE = 1;
  for (int code = 0; code < kFloorCodeCount; ++code) {
    p.FloorTable[code] = code % 3 == 0 ? "" : std::to_string(code);
    p.FloorBkgImage[code] = code % 5 == 0 ? std::to_string(code % 128) : "";
  }
  p.FloorTable[0x10] = "\xA4\x6A\xC6\x55";  // Big5
  SetDefaultLiftStateImages(p, home.dir());
  p.LiftStateImage[0][0] = home.dir() + "DefaultImageR1/LiftState/FIRE1_EG_240x48.bmp";
  p.LiftMsgIdx = {0, 1, 2, 3, 4, 5, 6, 7, 0, 1};
  return p;
}

void expectSameSavedFields(const Project& a, const Project& b) {
  EXPECT_EQ(a.Layout, b.Layout);
  EXPECT_EQ(a.LayoutVariant, b.LayoutVariant);
  EXPECT_EQ(a.DISPTYPE_HV, b.DISPTYPE_HV);
  EXPECT_EQ(a.FL_COLOR, b.FL_COLOR);
  EXPECT_EQ(a.BKG_COLOR, b.BKG_COLOR);
  EXPECT_EQ(a.MSGBKG_COLOR, b.MSGBKG_COLOR);
  EXPECT_EQ(a.CLOCK_COLOR, b.CLOCK_COLOR);
  EXPECT_EQ(a.FL_STYLE, b.FL_STYLE);
  EXPECT_EQ(a.DIR_STYLE, b.DIR_STYLE);
  EXPECT_EQ(a.FLS_DIR, b.FLS_DIR);
  EXPECT_EQ(a.DIRS_DIR, b.DIRS_DIR);
  EXPECT_EQ(a.USE_DATETIME, b.USE_DATETIME);
  EXPECT_EQ(a.DATE_STYLE, b.DATE_STYLE);
  EXPECT_EQ(a.DateTimeLanguage, b.DateTimeLanguage);
  EXPECT_EQ(a.MonthImages, b.MonthImages);
  EXPECT_EQ(a.WeekImages, b.WeekImages);
  EXPECT_EQ(a.LiftStateImage, b.LiftStateImage);
  EXPECT_EQ(a.MSG_STYLE, b.MSG_STYLE);
  EXPECT_EQ(a.LiftMsgIdx, b.LiftMsgIdx);
  EXPECT_EQ(a.USE_BACKGROUNDBMP, b.USE_BACKGROUNDBMP);
  EXPECT_EQ(a.UserBkGndImage, b.UserBkGndImage);
  EXPECT_EQ(a.UserBkGndImage2, b.UserBkGndImage2);
  EXPECT_EQ(a.AUTOSLIDESHOW, b.AUTOSLIDESHOW);
  EXPECT_EQ(a.SLIDESHOWTIMEGAP, b.SLIDESHOWTIMEGAP);
  EXPECT_EQ(a.USE_STANDBYLOGO, b.USE_STANDBYLOGO);
  EXPECT_EQ(a.STANDBYLOGOBMP, b.STANDBYLOGOBMP);
  EXPECT_EQ(a.STANDBYTIME, b.STANDBYTIME);
  EXPECT_EQ(a.NODEADDR, b.NODEADDR);
  EXPECT_EQ(a.CAR_HALL, b.CAR_HALL);
  EXPECT_EQ(a.ARRIVALBLINK, b.ARRIVALBLINK);
  EXPECT_EQ(a.HLAMP1, b.HLAMP1);
  EXPECT_EQ(a.HLAMP2, b.HLAMP2);
  EXPECT_EQ(a.HLAMP3, b.HLAMP3);
  EXPECT_EQ(a.BACKLIGHTSAVE, b.BACKLIGHTSAVE);
  EXPECT_EQ(a.LCDBLCTRLMODE, b.LCDBLCTRLMODE);
  EXPECT_EQ(a.PS_MODE, b.PS_MODE);
  EXPECT_EQ(a.FloorTable, b.FloorTable);
  EXPECT_EQ(a.FloorBkgImage, b.FloorBkgImage);
  EXPECT_EQ(a.FloorStyleDir, b.FloorStyleDir);
}

TEST_F(ProjectFileTest, FullProjectSurvivesSaveAndLoad) {
  for (const std::string oem : {"STEP", "KWXPS"}) {
    SCOPED_TRACE(oem);
    startUp(oem);
    m_project = fullProject(m_home);
    if (oem == "STEP") {
      m_project.LiftMsgIdx.fill(0);  // neither saved nor loaded for this protocol
    }
    const std::string path = projectPath(oem + ".ql3");
    ASSERT_TRUE(save(path));
    EXPECT_EQ(m_project.ProjectPath, path);
    EXPECT_EQ(m_state.Title, m_state.TitleBase + " -- " + path);
    EXPECT_EQ(m_project.FloorStyleDir, m_home.dir() + "DefaultImageR1/UserDefine/Floor/Bold/");
    ASSERT_EQ(m_host.pauses().size(), 1u);
    EXPECT_EQ(m_host.pauses()[0].count(), 300);
    const Project saved = m_project;

    startUp(oem);  // a fresh program
    ASSERT_TRUE(load(path));
    EXPECT_TRUE(m_host.messages().empty());
    expectSameSavedFields(m_project, saved);
    EXPECT_EQ(m_project.ProjectPath, path);
    EXPECT_EQ(m_state.Title, m_state.TitleBase + " -- " + path);

    // Saving the loaded project again gives the same bytes.
    const std::string again = projectPath(oem + "-again.ql3");
    ASSERT_TRUE(save(again));
    EXPECT_EQ(ReadFileBytes(again), ReadFileBytes(path));
  }
}

// Each plain field, given a value that is not the file's default, comes back from the file into
// a project that held the default.
TEST_F(ProjectFileTest, EveryPlainFieldSurvivesSaveAndLoadOnItsOwn) {
  const std::string logo = m_home.put("mine/logo.bmp");
  for (const ProjectField& field : ProjectFields()) {
    SCOPED_TRACE(std::string(field.key));
    startUp("STEP");  // a protocol with a clock
    const std::int64_t number =
        field.range.maximum != field.fileDefault ? field.range.maximum : field.range.minimum;
    const std::string text = field.kind == FieldKind::kPicture ? logo : "Tower";
    if (field.isNumber()) {
      SetNumber(m_project, field, number);
    } else {
      TextOf(m_project, field) = text;
    }
    ASSERT_TRUE(save(projectPath()));

    startUp("STEP");
    if (field.isNumber()) {
      SetNumber(m_project, field, field.fileDefault);
    } else {
      TextOf(m_project, field) = std::string(field.textDefault);
    }
    ASSERT_TRUE(load(projectPath()));
    if (field.isNumber()) {
      EXPECT_EQ(NumberOf(m_project, field), number);
    } else {
      EXPECT_EQ(TextOf(m_project, field), text);
    }
  }
  // The window and the command line find a field's limits by member or by the key a user types.
  ASSERT_NE(FindField(&Project::NODEADDR), nullptr);
  EXPECT_EQ(FindField("NODEADDR"), FindField(&Project::NODEADDR));
  EXPECT_FALSE(FindField("NODEADDR")->range.contains(999));
  EXPECT_EQ(FindField(&Project::Layout), nullptr) << "the layout has rules of its own";
}

TEST_F(ProjectFileTest, NewFileHasTheSectionsAndKeysInOrder) {
  startUp("STEP");
  const std::string path = projectPath();
  ASSERT_TRUE(save(path));
  const std::string file = ReadFileBytes(path);
  const std::string head = IniText({"[Head]",
                                    "Signature=KWX",
                                    "Version=1.0",
                                    "Model=TVX880 RevA",
                                    "Model Description=Color TFT-LCD Indicator",
                                    "",
                                    "[Mode]",
                                    "Layout=16",
                                    "DISPTYPE_HV=1",
                                    "Protocol=0",
                                    "",
                                    "[MainOption]",
                                    "FL_COLOR=16777215",
                                    "BKG_COLOR=0",
                                    "MSGBKG_COLOR=4605510",
                                    "CLOCK_COLOR=16777215",
                                    "FL_STYLE=1",
                                    "DIR_STYLE=1",
                                    "FLS1_DIR=Style0",
                                    "FLS2_DIR=Style1",
                                    "FLS3_DIR=Style2",
                                    "FLS4_DIR=Style3",
                                    "FLS5_DIR=Style4",
                                    "DIRS1_DIR=Style0",
                                    "DIRS2_DIR=Style1",
                                    "DIRS3_DIR=Style2",
                                    "DIRS4_DIR=Style3",
                                    "DIRS5_DIR=Style4",
                                    "USE_DATETIME=0",
                                    "DATE_STYLE=0",
                                    "MSG_STYLE=3",
                                    "USE_BACKGROUNDBMP=0",
                                    "AUTOSLIDESHOW=1",
                                    "SLIDESHOWTIMEGAP=0",
                                    "USE_STANDBYLOGO=0",
                                    "CAR_HALL=1",
                                    "ARRIVALBLINK=0",
                                    "HLAMP1=0",
                                    "HLAMP2=0",
                                    "HLAMP3=0",
                                    "STANDBYLOGOBMP=",
                                    "STANDBYTIME=2",
                                    "NODEADDR=0",
                                    "BACKLIGHTSAVE=0",
                                    "LCDBLCTRLMODE=2",
                                    "PS_MODE=3",
                                    "",
                                    "[FloorTable]",
                                    "0x00=",
                                    "0x01="});
  EXPECT_EQ(file.substr(0, head.size()), head);

  std::vector<std::size_t> positions;
  for (const char* section :
       {"[FloorTable]", "[FloorBkgImage]", "[LiftStateImage]", "[DateTimeImage]"}) {
    positions.push_back(file.find(section));
    ASSERT_NE(positions.back(), std::string::npos) << section;
  }
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
  EXPECT_EQ(file.find("[LiftMsgIdx]"), std::string::npos);
  EXPECT_EQ(file.find("[UserBkGndImage"), std::string::npos) << "empty lists write no section";
  EXPECT_NE(file.find("0xFF=\r\n\r\n[FloorBkgImage]\r\n0x00=\r\n"), std::string::npos);
  EXPECT_NE(file.find("[LiftStateImage]\r\nLiftState_0_A=" + m_home.dir() +
                      "DefaultImageR1/LiftState/FIRE0_CHT_240x48.bmp\r\nLiftState_0_B="),
            std::string::npos);
  EXPECT_NE(file.find("LiftState_9_D=" + m_home.dir() +
                      "DefaultImageR1/LiftState/IND1_EG_240x48.bmp\r\n\r\n[DateTimeImage]\r\n"
                      "Month_0=EN\r\nMonth_1=" +
                      m_home.dir() + "DefaultImageR1/UserDefine/DateTime/EN/JAN_EN_80x40.bmp"),
            std::string::npos);
  EXPECT_NE(file.find("Month_12=" + m_home.dir() +
                      "DefaultImageR1/UserDefine/DateTime/EN/DEC_EN_80x40.bmp\r\nWeek_0=EN\r\n"
                      "Week_1="),
            std::string::npos);
  EXPECT_EQ(file.substr(file.size() - 4), "\r\n\r\n");
}

TEST_F(ProjectFileTest, SavingOverAFileKeepsForeignSectionsAheadOfTheProject) {
  startUp("STEP");
  const std::string path =
      m_home.put("old.ql3", IniText({"[Notes]", "Site=Tower 2", "", "[MainOption]", "FL_COLOR=1",
                                     "Extra=kept?", "", "[LiftMsgIdx]", "MSG0=5"}));
  ASSERT_TRUE(save(path));
  const std::string file = ReadFileBytes(path);
  EXPECT_EQ(file.rfind("[Notes]\r\nSite=Tower 2\r\n\r\n[LiftMsgIdx]\r\nMSG0=5\r\n\r\n[Head]", 0),
            0u)
      << file.substr(0, 80);
  EXPECT_EQ(file.find("Extra="), std::string::npos) << "MainOption is rewritten whole";

  // With an input-raised protocol the LiftMsgIdx section is the project's own.
  startUp("KWXPS");
  m_project.LiftMsgIdx[0] = 2;
  ASSERT_TRUE(save(path));
  const std::string rewritten = ReadFileBytes(path);
  EXPECT_EQ(rewritten.rfind("[Notes]\r\nSite=Tower 2\r\n\r\n[Head]", 0), 0u);
  EXPECT_NE(rewritten.find("[FloorBkgImage]"), std::string::npos);
  EXPECT_LT(rewritten.find("[FloorBkgImage]"), rewritten.find("[LiftMsgIdx]\r\nMSG0=2\r\nMSG1=0"));
  EXPECT_LT(rewritten.find("[LiftMsgIdx]"), rewritten.find("[LiftStateImage]"));
}

TEST_F(ProjectFileTest, KeysThisVersionDoesNotKnowFollowTheKnownOnesOfTheirSection) {
  startUp("KWXPS");
  ASSERT_TRUE(loadText(IniText({"[Notes]",
                                "Site=Tower 2",
                                "[Head]",
                                "Signature=KWX",
                                "Version=2.3",
                                "Generator=TVX Studio 9",
                                "[Mode]",
                                "Layout=16",
                                "Night=1",
                                "Protocol=7",
                                "[MainOption]",
                                "BRIGHTNESS_NIGHT=40",
                                "FL_COLOR=255",
                                "Owner=\xA4\x6A\xC6\x55 A",
                                "AUTOSLIDESHOW=0",
                                "SLIDESHOWTIMEGAP=9",
                                "[FloorTable]",
                                "0x0a=ten",
                                "0x0A=10",
                                "[LiftMsgIdx]",
                                "MSG0=1",
                                "MSG10=3",
                                "[LiftStateImage]",
                                "LeftState_0_A=old.bmp",
                                "LiftState_9_E=extra.bmp",
                                "[DateTimeImage]",
                                "Month_0=XX",
                                "Month_13=x.bmp"})));
  EXPECT_EQ(m_project.UnknownKeys.size(), 8u);

  // Saved as another file: the keys go along, each after the known keys of its section.
  ASSERT_TRUE(save(projectPath("copy.ql3")));
  const std::string file = ReadFileBytes(projectPath("copy.ql3"));
  for (const std::string& part :
       {std::string("[Head]\r\nSignature=KWX\r\nVersion=1.0\r\nModel=TVX880 RevA\r\n"
                    "Model Description=Color TFT-LCD Indicator\r\nGenerator=TVX Studio 9\r\n\r\n"
                    "[Mode]\r\nLayout=16\r\nDISPTYPE_HV=1\r\nProtocol=0\r\nNight=1\r\n\r\n"),
        std::string("PS_MODE=3\r\nBRIGHTNESS_NIGHT=40\r\nOwner=\xA4\x6A\xC6\x55 A\r\n\r\n"),
        std::string("0xFF=\r\n0x0a=ten\r\n\r\n[FloorBkgImage]"),
        std::string("MSG9=0\r\nMSG10=3\r\n"),
        std::string("LiftState_9_D=" + m_project.LiftStateImage[9][3] +
                    "\r\nLiftState_9_E=extra.bmp\r\n"),
        std::string("Week_7=" + m_project.WeekImages[7] + "\r\nMonth_13=x.bmp\r\n")}) {
    EXPECT_NE(file.find(part), std::string::npos) << part;
  }
  // Keys it knows but does not read here keep their old fate.
  for (const char* gone : {"SLIDESHOWTIMEGAP", "LeftState_", "Month_0=XX", "Protocol=7", "Site="}) {
    EXPECT_EQ(file.find(gone), std::string::npos) << gone;
  }

  // A new project has none; a protocol without message inputs leaves LiftMsgIdx to the file.
  NewProject(m_state, m_project);
  EXPECT_TRUE(m_project.UnknownKeys.empty());
  startUp("STEP");
  ASSERT_TRUE(load(projectPath("copy.ql3")));
  EXPECT_EQ(m_project.UnknownKeys.size(), 7u);
}

TEST_F(ProjectFileTest, SlideshowIntervalOnlyBelongsToTheInTurnMode) {
  startUp();
  m_project.AUTOSLIDESHOW = 2;
  m_project.SLIDESHOWTIMEGAP = 42;
  ASSERT_TRUE(save(projectPath()));
  EXPECT_EQ(ReadFileBytes(projectPath()).find("SLIDESHOWTIMEGAP"), std::string::npos);

  m_project.SLIDESHOWTIMEGAP = 7;
  ASSERT_TRUE(load(projectPath()));
  EXPECT_EQ(m_project.AUTOSLIDESHOW, 2);
  EXPECT_EQ(m_project.SLIDESHOWTIMEGAP, 7) << "the interval list is left as it was";

  ASSERT_TRUE(loadText(IniText({"[MainOption]", "AUTOSLIDESHOW=1"})));
  EXPECT_EQ(m_project.SLIDESHOWTIMEGAP, 5);
  ASSERT_TRUE(loadText(IniText({"[MainOption]", "AUTOSLIDESHOW=0", "SLIDESHOWTIMEGAP=9"})));
  EXPECT_EQ(m_project.AUTOSLIDESHOW, 0);
  EXPECT_EQ(m_project.SLIDESHOWTIMEGAP, 5);
}

TEST_F(ProjectFileTest, LayoutCodesLoadAsTheirArrangements) {
  startUp();
  ASSERT_TRUE(loadText(IniText({"[Mode]", "Layout=0", "DISPTYPE_HV=0"})));
  EXPECT_EQ(m_project.Layout, 0x10);
  EXPECT_EQ(m_project.DISPTYPE_HV, 1);
  EXPECT_EQ(m_project.LayoutVariant, 0);

  ASSERT_TRUE(loadText(IniText({"[Mode]", "Layout=129", "DISPTYPE_HV=0"})));
  EXPECT_EQ(m_project.Layout, 0x80);
  EXPECT_EQ(m_project.DISPTYPE_HV, 0);
  EXPECT_EQ(m_project.LayoutVariant, 1);

  m_project.LayoutVariant = 0;
  ASSERT_TRUE(loadText(IniText({"[Mode]", "Layout=129", "DISPTYPE_HV=1"})));
  EXPECT_EQ(m_project.Layout, 0x80);
  EXPECT_EQ(m_project.DISPTYPE_HV, 0);
  EXPECT_EQ(m_project.LayoutVariant, 0);

  ASSERT_TRUE(loadText(IniText({"[Mode]", "Layout=0x41", "DISPTYPE_HV=0"})));
  EXPECT_EQ(m_project.Layout, 0x40);
  EXPECT_EQ(m_project.LayoutVariant, 1);

  ASSERT_TRUE(loadText(IniText({"[Mode]", "Layout=33", "DISPTYPE_HV=1"})));
  EXPECT_EQ(m_project.Layout, 0x20);
  EXPECT_EQ(m_project.LayoutVariant, 0);

  // No arrangement has this code: it is kept as it is, horizontal.
  ASSERT_TRUE(loadText(IniText({"[Mode]", "Layout=0x35", "DISPTYPE_HV=0"})));
  EXPECT_EQ(m_project.Layout, 0x30);
  EXPECT_EQ(m_project.LayoutVariant, 5);
  EXPECT_EQ(m_project.DISPTYPE_HV, 0);

  ASSERT_TRUE(loadText(IniText({"[Mode]", "Layout=vertical"})));
  EXPECT_EQ(m_project.Layout, 0x10);
}

TEST_F(ProjectFileTest, ProjectFromAnotherComputerFindsItsPicturesInTheCatalogue) {
  startUp();
  const std::string text = IniText(
      {"[UserBkGndImage]", "UserBkGnd_Image0=C:\\TVX880\\DefaultImageR1\\Background\\V\\bg01.bmp",
       "UserBkGnd_Image3=D:\\Customer\\lobby.bmp", "[UserBkGndImage2]",
       "UserBkGnd_Image1=/home/other/tvx/DefaultImageR1/Background/H/wide01.bmp",
       "[LiftStateImage]",
       "LiftState_0_C=C:\\TVX880\\DefaultImageR1\\LiftState\\FIRE0_EG_240x48.bmp",
       "LiftState_5_A=E:\\pics\\maint.bmp", "[MainOption]", "STANDBYLOGOBMP=C:\\logo.bmp",
       "USE_STANDBYLOGO=1", "[DateTimeImage]", "Week_0=EN",
       "Week_1=C:\\TVX880\\DefaultImageR1\\UserDefine\\DateTime\\EN\\MON_EN_80x40.bmp"});
  const Project before = m_project;
  ASSERT_TRUE(loadText(text));
  EXPECT_EQ(m_project.UserBkGndImage[0],
            catalogue(CatalogueFolder::kVerticalBackground, "bg01.bmp"));
  EXPECT_EQ(m_project.UserBkGndImage[3], "D:\\Customer\\lobby.bmp")
      << "neither found nor in the catalogue: kept as written";
  EXPECT_EQ(m_project.UserBkGndImage2[1],
            catalogue(CatalogueFolder::kHorizontalBackground, "wide01.bmp"));
  EXPECT_EQ(m_project.LiftStateImage[0][2],
            catalogue(CatalogueFolder::kLiftState, "FIRE0_EG_240x48.bmp"));
  EXPECT_EQ(m_project.LiftStateImage[5][0], "E:\\pics\\maint.bmp");
  EXPECT_EQ(m_project.LiftStateImage[5][1], before.LiftStateImage[5][1]);
  EXPECT_EQ(m_project.STANDBYLOGOBMP, "C:\\logo.bmp") << "kept, switched off";
  EXPECT_EQ(m_project.USE_STANDBYLOGO, 0);
  EXPECT_EQ(m_project.WeekImages[1], before.WeekImages[1]) << "missing weekday pictures stay";
}

TEST_F(ProjectFileTest, PicturesThatExistAreTakenAsWritten) {
  startUp();
  const std::string own = m_home.put("mine/bg.bmp");
  const std::string month = m_home.put("mine/JAN.bmp");
  ASSERT_TRUE(loadText(
      IniText({"[UserBkGndImage]", "UserBkGnd_Image5=" + own, "[LiftStateImage]",
               "LiftState_1_D=" + own, "[MainOption]", "STANDBYLOGOBMP=" + own, "USE_STANDBYLOGO=1",
               "[DateTimeImage]", "Month_0=XX", "Month_1=" + month, "Week_0=CHT"})));
  EXPECT_EQ(m_project.UserBkGndImage[5], own);
  EXPECT_EQ(m_project.LiftStateImage[1][3], own);
  EXPECT_EQ(m_project.STANDBYLOGOBMP, own);
  EXPECT_EQ(m_project.USE_STANDBYLOGO, 1);
  EXPECT_EQ(m_project.MonthImages[1], month);
  EXPECT_EQ(m_project.MonthImages[0], "EN") << "Month_0 is not read";
  EXPECT_EQ(m_project.DateTimeLanguage, "CHT");
  EXPECT_EQ(m_project.WeekImages[0], "EN") << "recomputed at the next save only";
}

TEST_F(ProjectFileTest, OlderLiftStateKeysLoadAndTheNewSpellingWins) {
  startUp();
  const std::string a = m_home.put("DefaultImageR1/LiftState/a.bmp");
  const std::string b = m_home.put("DefaultImageR1/LiftState/b.bmp");
  ASSERT_TRUE(loadText(IniText({"[LiftStateImage]", "LeftState_2_A=" + a, "LeftState_9_D=" + a})));
  EXPECT_EQ(m_project.LiftStateImage[2][0], a);
  EXPECT_EQ(m_project.LiftStateImage[9][3], a);

  ASSERT_TRUE(loadText(IniText(
      {"[LiftStateImage]", "LiftState_3_B=" + b, "LeftState_3_B=" + a, "LeftState_3_C=" + a})));
  EXPECT_EQ(m_project.LiftStateImage[3][1], b);
  EXPECT_EQ(m_project.LiftStateImage[3][2], a);
}

TEST_F(ProjectFileTest, FloorKeysMatchExactly) {
  startUp();
  ASSERT_TRUE(loadText(IniText({"[FloorTable]", "0x0A=10", "0x0b=11", "0xff=top", "0xFF=R",
                                "[FloorBkgImage]", "0x0A=3", "0x0a=9"})));
  EXPECT_EQ(m_project.FloorTable[10], "10");
  EXPECT_EQ(m_project.FloorTable[11], "");
  EXPECT_EQ(m_project.FloorTable[255], "R");
  EXPECT_EQ(m_project.FloorBkgImage[10], "3");
}

TEST_F(ProjectFileTest, EmptyBackgroundSlotsWriteNoKey) {
  startUp();
  const std::string bg = m_home.dir() + "DefaultImageR1/Background/V/bg01.bmp";
  m_project.UserBkGndImage[0] = bg;
  m_project.UserBkGndImage[1] = "   ";
  m_project.UserBkGndImage[2] = bg;
  ASSERT_TRUE(save(projectPath()));
  const std::string file = ReadFileBytes(projectPath());
  EXPECT_NE(file.find("UserBkGnd_Image0=" + bg + "\r\nUserBkGnd_Image2=" + bg), std::string::npos);
  m_project.UserBkGndImage[1] = "old";
  ASSERT_TRUE(load(projectPath()));
  EXPECT_EQ(m_project.UserBkGndImage[1], "");
  EXPECT_EQ(m_project.UserBkGndImage[2], bg);
}

TEST_F(ProjectFileTest, OddValuesKeepTheCurrentChoiceOrReadAsDefaults) {
  startUp("CCI");  // no clock
  Project& p = m_project;
  p.FL_STYLE = 2;
  p.DIR_STYLE = 3;
  p.DATE_STYLE = 1;
  p.STANDBYTIME = 4;
  p.NODEADDR = 9;
  p.HLAMP2 = 6;
  p.PS_MODE = 2;
  p.USE_BACKGROUNDBMP = 1;
  ASSERT_TRUE(loadText(
      IniText({"[MainOption]",   "FL_COLOR=-1",       "BKG_COLOR=0x00FF00", "MSGBKG_COLOR=grey",
               "FL_STYLE=6",     "FLS2_DIR=Wide\t  ", "FLS3_DIR=\t",        "DIR_STYLE=0",
               "DATE_STYLE=3",   "MSG_STYLE=0x1F",    "USE_DATETIME=1",     "USE_BACKGROUNDBMP=0",
               "STANDBYTIME=30", "NODEADDR=256",      "BACKLIGHTSAVE=16",   "LCDBLCTRLMODE=-1",
               "CAR_HALL=7",     "ARRIVALBLINK=yes",  "HLAMP2=11",          "PS_MODE=4",
               "[Mode]",         "Layout=64",         "DISPTYPE_HV=0"})));
  EXPECT_EQ(p.FL_COLOR, 0xFFFFFFFFu);
  EXPECT_EQ(p.BKG_COLOR, 0x00FF00u);
  EXPECT_EQ(p.MSGBKG_COLOR, 0x464646u);
  EXPECT_EQ(p.FL_STYLE, 2);
  EXPECT_EQ(p.FLS_DIR[1], "Wide\t");  // the INI store trims trailing spaces only
  EXPECT_EQ(p.FLS_DIR[2], "Style2");
  EXPECT_EQ(p.DIR_STYLE, 3);
  EXPECT_EQ(p.DATE_STYLE, 1);
  EXPECT_EQ(p.MSG_STYLE, 0x0F);
  EXPECT_EQ(p.USE_DATETIME, 0) << "the protocol has no clock";
  EXPECT_EQ(p.USE_BACKGROUNDBMP, 0);
  EXPECT_EQ(p.STANDBYTIME, 4);
  EXPECT_EQ(p.NODEADDR, 9);
  EXPECT_EQ(p.BACKLIGHTSAVE, 16);
  EXPECT_EQ(p.LCDBLCTRLMODE, 2);
  EXPECT_EQ(p.CAR_HALL, 0);
  EXPECT_EQ(p.ARRIVALBLINK, 0);
  EXPECT_EQ(p.HLAMP2, 6);
  EXPECT_EQ(p.PS_MODE, 2);
  EXPECT_EQ(p.FloorStyleDir, m_home.dir() + "DefaultImageR1/UserDefine/Floor/Wide\t/");

  // Missing keys read as the file's defaults, which differ from a new project's.
  ASSERT_TRUE(loadText(IniText({"[Head]", "Signature=KWX"})));
  EXPECT_EQ(p.MSG_STYLE, 0);
  EXPECT_EQ(p.CAR_HALL, 0);
  EXPECT_EQ(p.STANDBYTIME, 0);
  EXPECT_EQ(p.FL_STYLE, 1);
  EXPECT_EQ(p.FLS_DIR[1], "Style1");
  EXPECT_EQ(p.DateTimeLanguage, "EN");
  EXPECT_EQ(p.FloorTable[0], "");
}

TEST_F(ProjectFileTest, DateAndTimeFollowTheFileWhenTheProtocolHasAClock) {
  startUp("STEP");
  ASSERT_TRUE(loadText(IniText({"[Head]", "Signature=KWX"})));
  EXPECT_EQ(m_project.USE_DATETIME, 1) << "the file's default";
  ASSERT_TRUE(loadText(IniText({"[MainOption]", "USE_DATETIME=0"})));
  EXPECT_EQ(m_project.USE_DATETIME, 0);
  ASSERT_TRUE(loadText(IniText({"[MainOption]", "USE_DATETIME=2"})));
  EXPECT_EQ(m_project.USE_DATETIME, 0) << "no such choice: unchanged";
}

TEST_F(ProjectFileTest, MessageInputsBelongToInputRaisedProtocols) {
  const std::string text = IniText({"[LiftMsgIdx]", "MSG0=7", "MSG1=8", "MSG2=x"});
  startUp("STEP");
  m_project.LiftMsgIdx[0] = 1;
  ASSERT_TRUE(loadText(text));
  EXPECT_EQ(m_project.LiftMsgIdx[0], 1);

  startUp("KWXPS");
  m_project.LiftMsgIdx[1] = 3;
  m_project.LiftMsgIdx[2] = 3;
  ASSERT_TRUE(loadText(text));
  EXPECT_EQ(m_project.LiftMsgIdx[0], 7);
  EXPECT_EQ(m_project.LiftMsgIdx[1], 3);
  EXPECT_EQ(m_project.LiftMsgIdx[2], 0);
}

TEST_F(ProjectFileTest, LoadingShowsPageOne) {
  startUp();
  ASSERT_TRUE(save(projectPath()));
  m_state.window.CurrentPage = 4;
  ASSERT_TRUE(load(projectPath()));
  EXPECT_EQ(m_state.window.CurrentPage, 1);
}

TEST_F(ProjectFileTest, MissingOrUnreadableProjectChangesNothing) {
  startUp();
  m_project.FloorTable[1] = "unsaved";
  m_project.ProjectPath = "/before.ql3";
  m_state.Title = "before";
  const Project before = m_project;

  const std::string missing = projectPath("missing.ql3");
  EXPECT_FALSE(load(missing));
  ASSERT_EQ(m_host.messages().size(), 1u);
  EXPECT_EQ(m_host.messages()[0].caption, "TVX880");
  EXPECT_EQ(m_host.messages()[0].text, "Err: The file \"" + missing + "\" not exist!");
  EXPECT_FALSE(std::filesystem::exists(missing)) << "loading never creates the file";

  const std::string folder = projectPath("folder.ql3");
  std::filesystem::create_directories(folder);
  m_host.clear();
  EXPECT_FALSE(load(folder));
  ASSERT_EQ(m_host.messages().size(), 1u);
  EXPECT_EQ(m_host.messages()[0].text, "Err: The file \"" + folder + "\" not exist!");

  // The running test program holds project lines among its bytes, and is still no project.
  YVclUtil::RecordingDiagnosticSink sink;
  YVclUtil::ScopedDiagnosticSink scoped(sink);
  m_host.clear();
  EXPECT_FALSE(load("/proc/self/exe"));
  ASSERT_EQ(m_host.messages().size(), 1u);
  EXPECT_EQ(m_host.messages()[0].caption, "TVX880");
  EXPECT_EQ(m_host.messages()[0].text,
            "Err: The file \"/proc/self/exe\" is not a TVX-880 project file");
  EXPECT_TRUE(sink.boxes().empty());

  expectSameSavedFields(m_project, before);
  EXPECT_EQ(m_project.ProjectPath, "/before.ql3");
  EXPECT_EQ(m_state.Title, "before");
}

TEST_F(ProjectFileTest, UnwritableProjectIsReportedAndNotTakenAsSaved) {
  startUp();
  m_state.Title = "before";
  YVclUtil::RecordingDiagnosticSink sink;
  YVclUtil::ScopedDiagnosticSink scoped(sink);

  const std::string blocker = m_home.put("plain-file");
  for (const std::string& path : {blocker + "/p.ql3", projectPath("no/such/folders/p.ql3")}) {
    SCOPED_TRACE(path);
    m_host.clear();
    EXPECT_FALSE(save(path));
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].caption, "TVX880");
    EXPECT_EQ(m_host.messages()[0].text.rfind("Err: Can not create file \"" + path + "\": ", 0), 0u)
        << m_host.messages()[0].text;
    EXPECT_EQ(m_project.ProjectPath, "");
    EXPECT_EQ(m_state.Title, "before");
    EXPECT_TRUE(m_host.pauses().empty());
  }
  EXPECT_TRUE(sink.boxes().empty()) << "one message, the project's";
  EXPECT_FALSE(std::filesystem::exists(projectPath("no"))) << "no folder is made";
}

// A file is taken for a project when it is text holding one of the project's own sections: the
// line is drawn so that what older and hand-made projects hold loads, and nothing else does.
TEST_F(ProjectFileTest, OnlyTextWithAProjectSectionIsTakenForAProject) {
  startUp();
  ASSERT_TRUE(save(projectPath("saved.ql3")));
  const std::string bom = "\xEF\xBB\xBF";
  for (const std::string& text :
       {ReadFileBytes(projectPath("saved.ql3")), IniText({"[FloorTable]", "0x01=\xA4\x6A"}),
        std::string("[Mode]\nLayout=16\n"), bom + IniText({"[LiftStateImage]", "LeftState_0_A=x"}),
        IniText({"; hand-made", "[Other]", "a=1", "[LiftMsgIdx]", "MSG0=1"})}) {
    SCOPED_TRACE(text.substr(0, 40));
    m_host.clear();
    EXPECT_TRUE(loadText(text));
    EXPECT_TRUE(m_host.messages().empty());
  }

  std::ifstream random("/dev/urandom", std::ios::binary);
  std::string randomBytes(20 * 1024, '\0');
  random.read(randomBytes.data(), static_cast<std::streamsize>(randomBytes.size()));
  std::ifstream png(std::string(TVX_SOURCE_DIR) + "/src/ui/desktop/tvx880-studio-48.png",
                    std::ios::binary);
  const std::string pngBytes{std::istreambuf_iterator<char>(png), {}};
  ASSERT_EQ(pngBytes.substr(1, 3), "PNG");
  const std::string settings = IniText({"[Option]", "LANG=0"});
  // NUL bytes mark a file that is no text even where project lines are among them.
  const std::string binary = std::string("\0\n", 2) + IniText({"[Head]", "Signature=KWX"});
  m_project.ProjectPath = "/before.ql3";
  m_state.Title = "before";
  const Project before = m_project;
  for (const std::string& text : {std::string(), randomBytes, pngBytes, settings, binary,
                                  std::string("[Head\r\nSignature=KWX\r\n")}) {
    SCOPED_TRACE(text.substr(0, 20));
    m_host.clear();
    EXPECT_FALSE(loadText(text));
    ASSERT_EQ(m_host.messages().size(), 1u);
    EXPECT_EQ(m_host.messages()[0].text,
              "Err: The file \"" + projectPath("hand.ql3") + "\" is not a TVX-880 project file");
  }
  expectSameSavedFields(m_project, before);
  EXPECT_EQ(m_project.ProjectPath, "/before.ql3");
  EXPECT_EQ(m_state.Title, "before");
}

// As an ordinary user, since permissions do not bind root: a read-only project (444) and a
// project in a read-only folder (555) load; saving them, or anything new into that folder, is
// refused with one message that names the file and says why, and the project stays where it was.
TEST_F(ProjectFileTest, ReadOnlyProjectsLoadAndRefuseToBeSavedOnce) {
  startUp();
  const std::string locked = projectPath("locked.ql3");
  const std::string shelved = projectPath("shelf/p.ql3");
  std::filesystem::create_directory(projectPath("shelf"));
  ASSERT_TRUE(save(locked));
  ASSERT_TRUE(save(shelved));
  const std::string bytes = ReadFileBytes(locked);
  test::HandToOrdinaryUser(m_home.path(""));
  chmod(locked.c_str(), 0444);
  chmod(projectPath("shelf").c_str(), 0555);

  const std::optional<std::string> seen = test::AsOrdinaryUser([&] {
    std::ostringstream out;
    for (const auto& [loadFrom, saveTo] :
         {std::pair{locked, locked}, {shelved, shelved}, {shelved, projectPath("shelf/new.ql3")}}) {
      m_host.clear();
      const bool loaded = load(loadFrom);
      const std::string title = m_state.Title;
      m_project.FloorTable[1] = "changed";
      out << "loaded " << loaded << ", saved " << save(saveTo) << ", same path "
          << (m_project.ProjectPath == loadFrom) << ", same title " << (m_state.Title == title);
      for (const ScriptedHost::Message& message : m_host.messages()) {
        out << "\n" << message.caption << ": " << message.text;
      }
      out << "\n";
    }
    return out.str();
  });
  if (!seen) {
    GTEST_SKIP() << "running as root, and there is no \"nobody\" to run as";
  }
  const std::string outcome = "loaded 1, saved 0, same path 1, same title 1\nTVX880: ";
  EXPECT_EQ(*seen, outcome + "Err: Can not create file \"" + locked + "\": Permission denied\n" +
                       outcome + "Err: Can not create file \"" + shelved +
                       "\": Permission denied\n" + outcome + "Err: Can not create file \"" +
                       projectPath("shelf/new.ql3") + "\": Permission denied\n");
  EXPECT_EQ(ReadFileBytes(locked), bytes);
  EXPECT_EQ(ReadFileBytes(shelved), bytes);
  EXPECT_FALSE(std::filesystem::exists(projectPath("shelf/new.ql3")));
}

}  // namespace
}  // namespace tvx
