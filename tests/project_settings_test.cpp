#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>

#include "project/app_settings.h"
#include "project/catalogue.h"
#include "project/startup.h"
#include "support/test_home.h"
#include "util/diagnostic_sink.h"

namespace tvx {
namespace {

using test::IniText;

class SettingsTest : public ::testing::Test {
 protected:
  SettingsTest() { m_state.ProgramDir = m_home.dir(); }

  bool read() { return ReadAppSettings(m_state.settingsPath(), m_state, m_project); }
  std::string liftState(const std::string& name) const {
    return CatalogueFolderPath(m_home.dir(), CatalogueFolder::kLiftState) + name;
  }
  const CaptionEntry* caption(std::string_view control) const {
    for (const CaptionEntry& entry : m_state.window.captions) {
      if (entry.control == control) {
        return &entry;
      }
    }
    return nullptr;
  }

  test::TestHome m_home;
  ProgramState m_state;
  Project m_project;
};

TEST_F(SettingsTest, MissingFileMeansChineseAndNothingElse) {
  m_state.settings.LANG = 0;
  m_state.settings.MEM = 64;
  m_project.FloorTable[5] = "5";
  m_project.LiftStateImage[2][2] = "keep.bmp";

  EXPECT_FALSE(read());
  EXPECT_EQ(m_state.settings.LANG, 1u);
  EXPECT_EQ(m_state.settings.MEM, 64u);
  EXPECT_EQ(m_state.settings.OemProtocol, "");
  EXPECT_EQ(m_project.FloorTable[5], "5");
  EXPECT_EQ(m_project.LiftStateImage[2][2], "keep.bmp");
  EXPECT_TRUE(m_state.window.captions.empty());
  EXPECT_FALSE(std::filesystem::exists(m_state.settingsPath())) << "reading must not create it";
}

TEST_F(SettingsTest, UnreadableSettingsCountAsMissing) {
  std::filesystem::create_directories(m_state.settingsPath());
  m_state.settings.LANG = 0;
  EXPECT_FALSE(read());
  EXPECT_EQ(m_state.settings.LANG, 1u);

  // A file the store cannot open for reading (write-only, even for root): its message, then as
  // missing.
  YVclUtil::RecordingDiagnosticSink sink;
  YVclUtil::ScopedDiagnosticSink scoped(sink);
  m_state.settings.LANG = 0;
  m_project.FloorTable[0] = "kept";
  EXPECT_FALSE(ReadAppSettings("/proc/self/clear_refs", m_state, m_project));
  EXPECT_EQ(m_state.settings.LANG, 1u);
  EXPECT_EQ(m_project.FloorTable[0], "kept");
  EXPECT_FALSE(sink.boxes().empty());
}

TEST_F(SettingsTest, EmptyFileGivesDefaultsAndDefaultPictures) {
  m_home.writeSettings("");
  EXPECT_TRUE(read());
  EXPECT_EQ(m_state.settings.LANG, 1u);
  EXPECT_EQ(m_state.settings.MEM, 0u);
  EXPECT_EQ(m_state.settings.romImageSize(), 4194304u);
  EXPECT_EQ(m_state.settings.OemProtocol, "");
  EXPECT_FALSE(m_state.settings.DateTimeSupported);
  EXPECT_EQ(m_state.settings.ProtocolResource32, 98);
  EXPECT_EQ(m_state.settings.ProtocolResource64, 129);
  EXPECT_EQ(m_state.window.panels, ProtocolPanels{});
  EXPECT_EQ(m_project.LiftStateImage[0][2], liftState("FIRE0_EG_240x48.bmp"));
  // Every caption key is looked up in "LANG1", which is not there: design captions stay.
  ASSERT_EQ(m_state.window.captions.size(), kCaptionControls.size());
  EXPECT_EQ(m_state.window.captions.front().control, "SpeedButton1");
  EXPECT_EQ(m_state.window.captions.back().control, "N7");
  EXPECT_FALSE(m_state.window.captions.front().text.has_value());
}

TEST_F(SettingsTest, LanguageSelectsTheCaptionSection) {
  m_home.writeSettings(IniText(
      {"[Option]", "LANG=2", "MEM=64", "[LANG0]", "SpeedButton1.Caption=Previous", "[LANG2]",
       "SpeedButton1.Caption=\xA4W\xA4@\xAD\xB6", "N7.Caption=Quit", "Unknown.Caption=x"}));
  EXPECT_TRUE(read());
  EXPECT_EQ(m_state.settings.LANG, 2u);
  EXPECT_FALSE(m_state.settings.english());
  EXPECT_TRUE(m_state.settings.memory64());
  EXPECT_EQ(m_state.settings.romImageSize(), 8388608u);
  ASSERT_NE(caption("SpeedButton1"), nullptr);
  EXPECT_EQ(caption("SpeedButton1")->text, "\xA4W\xA4@\xAD\xB6");  // Big5 bytes kept
  EXPECT_EQ(caption("N7")->text, "Quit");
  EXPECT_FALSE(caption("SpeedButton2")->text.has_value());
  EXPECT_EQ(caption("Unknown"), nullptr);
}

TEST_F(SettingsTest, EnglishCaptionsAndHeadings) {
  m_home.writeSettings(IniText({"[Option]", "LANG=0", "[LANG0]", "TabSheet4.Caption=Build",
                                "RadioButton28.Caption=Fixed picture 0"}));
  EXPECT_TRUE(read());
  EXPECT_TRUE(m_state.settings.english());
  EXPECT_EQ(caption("TabSheet4")->text, "Build");
  EXPECT_EQ(caption("RadioButton28")->text, "Fixed picture 0");
  EXPECT_EQ(BackgroundListHeadings(0)[1], "BkgBMP filename");
  EXPECT_EQ(FloorTableHeadings(0)[2], "BkgBMP");
  EXPECT_EQ(BackgroundListHeadings(1)[0], "編號");
  EXPECT_EQ(FloorTableHeadings(2)[1], "樓層顯示");
  EXPECT_EQ(TextForLanguage(0, "中", "en"), "en");
  EXPECT_EQ(TextForLanguage(7, "中", "en"), "中");
}

TEST_F(SettingsTest, GarbledNumbersReadAsTheirDefaults) {
  m_home.writeSettings(IniText({"[Option]", "LANG=english", "MEM=lots", "[LiftMsg]", "Used=yes"}));
  EXPECT_TRUE(read());
  EXPECT_EQ(m_state.settings.LANG, 1u);
  EXPECT_EQ(m_state.settings.MEM, 0u);
}

TEST_F(SettingsTest, FloorTextsComeFromTheSettingsAndMissingKeysEmptyThem) {
  m_project.FloorTable[0x20] = "old";
  m_home.writeSettings(IniText({"[FloorTable]", "0x00=B2", "0x01=B1", "0x0A=10",
                                "0x0b=lower-case key", "0xFF=\xA4\x6A\xC6\x55"}));
  EXPECT_TRUE(read());
  EXPECT_EQ(m_project.FloorTable[0], "B2");
  EXPECT_EQ(m_project.FloorTable[1], "B1");
  EXPECT_EQ(m_project.FloorTable[10], "10");
  EXPECT_EQ(m_project.FloorTable[11], "");
  EXPECT_EQ(m_project.FloorTable[0x20], "");
  EXPECT_EQ(m_project.FloorTable[255], "\xA4\x6A\xC6\x55");
}

TEST_F(SettingsTest, LiftMessagePicturesOverrideOnlyWhenUsedAndPresent) {
  const std::string own = m_home.put("DefaultImageR1/LiftState/MYFIRE.bmp");
  const std::string elsewhere = m_home.put("pictures/alarm.bmp");
  m_home.writeSettings(
      IniText({"[LiftMsg]", "Used=1", "LiftMsg_0_2=MYFIRE.bmp", "LiftMsg_2_3=" + elsewhere,
               "LiftMsg_3_1=C:\\pic.bmp", "LiftMsg_4_0=missing.bmp", "LiftMsg_9_9=MYFIRE.bmp"}));
  EXPECT_TRUE(read());
  EXPECT_EQ(m_project.LiftStateImage[0][2], own);
  EXPECT_EQ(m_project.LiftStateImage[2][3], elsewhere);
  EXPECT_EQ(m_project.LiftStateImage[3][1], liftState("PWR.FAILURE1_CHT_240x48.bmp"));
  EXPECT_EQ(m_project.LiftStateImage[4][0], liftState("OVERLOAD0_CHT_240x48.bmp"));

  m_home.writeSettings(IniText({"[LiftMsg]", "Used=0", "LiftMsg_0_2=MYFIRE.bmp"}));
  EXPECT_TRUE(read());
  EXPECT_EQ(m_project.LiftStateImage[0][2], liftState("FIRE0_EG_240x48.bmp"));
}

TEST_F(SettingsTest, MessageInputsAreReadOnlyForInputRaisedProtocols) {
  m_project.LiftMsgIdx[1] = 4;
  m_home.writeSettings(IniText({"[Option]", "OEM=STEP", "[LiftMsgIdx]", "MSG0=3", "MSG1=2"}));
  EXPECT_TRUE(read());
  EXPECT_EQ(m_project.LiftMsgIdx[0], 0);
  EXPECT_EQ(m_project.LiftMsgIdx[1], 4);

  m_home.writeSettings(
      IniText({"[Option]", "OEM=TDBIN", "[LiftMsgIdx]", "MSG0=3", "MSG1=99", "MSG9=7"}));
  EXPECT_TRUE(read());
  EXPECT_EQ(m_project.LiftMsgIdx[0], 3);
  EXPECT_EQ(m_project.LiftMsgIdx[1], 4) << "no such input: the list keeps its choice";
  EXPECT_EQ(m_project.LiftMsgIdx[2], 0);
  EXPECT_EQ(m_project.LiftMsgIdx[9], 7);
}

TEST_F(SettingsTest, ProtocolMatchesExactlyAndIsNotResetByALaterMiss) {
  m_home.writeSettings(IniText({"[Option]", "OEM=kwxrs"}));
  EXPECT_TRUE(read());
  EXPECT_EQ(m_state.settings.OemProtocol, "");
  EXPECT_EQ(ComposeTitleBase(m_state.settings, "121023"),
            "TVX880 STD [R1-Build-121023] <  > (Lib.121023) ");

  m_home.writeSettings(IniText({"[Option]", "OEM=FRONTIER"}));
  EXPECT_TRUE(read());
  m_home.writeSettings(IniText({"[Option]", "OEM=NOBODY"}));
  EXPECT_TRUE(read());
  EXPECT_EQ(m_state.settings.OemProtocol, "FRONTIER");
  EXPECT_EQ(m_state.settings.ProtocolResource32, 136);
  EXPECT_TRUE(m_state.window.panels.Panel14.visible);
}

struct ProtocolCase {
  const char* name;
  int resource32;
  int resource64;
  bool clock;
  bool inputs;
};

class ProtocolTableTest : public SettingsTest,
                          public ::testing::WithParamInterface<ProtocolCase> {};

TEST_P(ProtocolTableTest, SetsResourcesFlagsAndPanels) {
  const ProtocolCase& expected = GetParam();
  m_home.writeSettings(IniText({"[Option]", std::string("OEM=") + expected.name, "MEM=64"}));
  ASSERT_TRUE(read());
  const AppSettings& settings = m_state.settings;
  EXPECT_EQ(settings.OemProtocol, expected.name);
  EXPECT_EQ(settings.ProtocolResource32, expected.resource32);
  EXPECT_EQ(settings.ProtocolResource64, expected.resource64);
  EXPECT_EQ(settings.protocolResource(), expected.resource64);
  EXPECT_EQ(settings.DateTimeSupported, expected.clock);
  EXPECT_EQ(settings.LiftMsgIdxUsed, expected.inputs);

  const ProtocolPanels& panels = m_state.window.panels;
  const std::string name = expected.name;
  EXPECT_EQ(panels.Panel12, (PanelState{false, PanelPosition{688, 320}}));
  EXPECT_EQ(panels.Panel10, (PanelState{name == "STEP", PanelPosition{408, 272}}));
  EXPECT_EQ(panels.Panel9, (PanelState{!expected.clock, PanelPosition{688, 8}}));
  EXPECT_TRUE(panels.Panel8.visible);
  EXPECT_EQ(panels.Panel13.visible, expected.inputs);
  EXPECT_EQ(panels.Panel6.visible, !expected.inputs);
  if (expected.inputs) {
    EXPECT_EQ(panels.Panel15, (PanelState{true, PanelPosition{408, 224}}));
  } else {
    EXPECT_FALSE(panels.Panel15.visible);
  }
  if (name == "FRONTIER") {
    EXPECT_EQ(panels.Panel14, (PanelState{true, PanelPosition{408, 270}}));
  } else {
    EXPECT_FALSE(panels.Panel14.visible);
  }
  EXPECT_EQ(ComposeTitleBase(settings, "130101"),
            "TVX880 STD [R1-Build-121023] - (64M) < " + name + " > (Lib.130101) ");
}

INSTANTIATE_TEST_SUITE_P(EveryProtocol, ProtocolTableTest,
                         ::testing::Values(ProtocolCase{"STEP", 98, 129, true, false},
                                           ProtocolCase{"XMHK", 99, 130, false, false},
                                           ProtocolCase{"KWXRS", 100, 128, true, false},
                                           ProtocolCase{"KWXPS", 117, 134, true, true},
                                           ProtocolCase{"TDBIN", 118, 135, true, true},
                                           ProtocolCase{"YIHER", 107, 133, true, false},
                                           ProtocolCase{"CCI", 108, 132, false, false},
                                           ProtocolCase{"XMHK64", 111, 131, false, false},
                                           ProtocolCase{"FRONTIER", 136, 137, true, false}),
                         [](const ::testing::TestParamInfo<ProtocolCase>& row) {
                           return std::string(row.param.name);
                         });

// ---- Start-up, new project, shut-down ----------------------------------------------------

class StartUpTest : public SettingsTest {
 protected:
  void startUp() { StartUp(m_state, m_project, m_host); }
  ScriptedHost m_host;
};

TEST_F(StartUpTest, WithoutLibraryTheTitleStaysTheDesignCaption) {
  m_home.writeSettings(IniText({"[Option]", "LANG=0", "OEM=STEP"}));
  startUp();
  ASSERT_EQ(m_host.messages().size(), 1u);
  EXPECT_EQ(m_host.messages()[0].caption, "Error");
  EXPECT_EQ(m_host.messages()[0].text, "T880_PCGLB.GLB file not found!!\n\n");
  EXPECT_FALSE(m_state.LibraryLoaded);
  EXPECT_TRUE(m_state.LibraryImage.empty());
  EXPECT_EQ(m_state.LibraryDate, "000000");
  EXPECT_EQ(m_state.TitleBase, "");
  EXPECT_EQ(m_state.Title, "TVX880 STD [R1-Build-121023]");
  EXPECT_EQ(m_state.settings.OemProtocol, "STEP");
}

TEST_F(StartUpTest, WithLibraryComposesTheTitle) {
  m_home.writeSettings(IniText({"[Option]", "LANG=0", "MEM=64", "OEM=STEP"}));
  m_home.writeLibrary(std::string("GLB\0\x01\x02", 6));
  std::tm date{};
  date.tm_year = 112;
  date.tm_mon = 9;
  date.tm_mday = 23;
  date.tm_hour = 12;
  const auto written = std::chrono::system_clock::from_time_t(std::mktime(&date));
  std::filesystem::last_write_time(m_state.libraryPath(),
                                   std::chrono::file_clock::from_sys(written));
  startUp();
  EXPECT_TRUE(m_host.messages().empty());
  EXPECT_TRUE(m_state.LibraryLoaded);
  EXPECT_EQ(m_state.LibraryImage, (std::vector<std::uint8_t>{'G', 'L', 'B', 0, 1, 2}));
  EXPECT_EQ(m_state.LibraryDate, "121023");
  EXPECT_EQ(m_state.TitleBase, "TVX880 STD [R1-Build-121023] - (64M) < STEP > (Lib.121023) ");
  EXPECT_EQ(m_state.Title,
            "TVX880 STD [R1-Build-121023] - (64M) < STEP > (Lib.121023)  -- No project name");

  ShutDown(m_state);
  EXPECT_TRUE(m_state.LibraryImage.empty());
  EXPECT_FALSE(m_state.LibraryLoaded);
}

TEST_F(StartUpTest, FillsTheDefaultProject) {
  m_home.writeSettings(IniText(
      {"[Option]", "LANG=1", "OEM=KWXPS", "[FloorTable]", "0x00=B1", "[LiftMsgIdx]", "MSG4=2"}));
  m_home.writeLibrary("L");
  m_project.NODEADDR = 17;  // whatever was there before start-up is gone
  startUp();
  EXPECT_EQ(m_project.NODEADDR, 0);
  EXPECT_EQ(m_project.FloorTable[0], "B1");
  EXPECT_EQ(m_project.LiftMsgIdx[4], 2);
  EXPECT_EQ(m_project.FLS_DIR[4], "Style4");
  EXPECT_EQ(m_project.FloorStyleDir, m_home.dir() + "DefaultImageR1/UserDefine/Floor/Style0/");
  EXPECT_EQ(m_project.WeekImages[0], "EN");
  EXPECT_EQ(m_project.MonthImages[1],
            m_home.dir() + "DefaultImageR1/UserDefine/DateTime/EN/JAN_EN_80x40.bmp");
  EXPECT_EQ(m_project.LiftStateImage[9][0], liftState("IND0_CHT_240x48.bmp"));
  EXPECT_EQ(m_project.ProjectPath, "");
  EXPECT_EQ(m_state.window.CurrentPage, 1);
  EXPECT_FALSE(m_state.window.panels.Panel6.visible);
}

TEST_F(StartUpTest, WithoutSettingsTheLiftStateTableStaysEmpty) {
  m_home.writeLibrary("L");
  startUp();
  EXPECT_EQ(m_state.settings.LANG, 1u);
  EXPECT_EQ(m_project.LiftStateImage[0][0], "");
  EXPECT_EQ(m_state.Title, "TVX880 STD [R1-Build-121023] <  > (Lib." + m_state.LibraryDate +
                               ")  -- No project name");
}

TEST_F(StartUpTest, NewProjectResetsItsFieldsAndKeepsTheOthers) {
  m_home.writeSettings(IniText({"[Option]", "LANG=0", "OEM=STEP", "[FloorTable]", "0x01=1"}));
  m_home.writeLibrary("L");
  startUp();
  Project& p = m_project;
  p.SLIDESHOWTIMEGAP = 9;
  p.USE_BACKGROUNDBMP = 1;
  p.MSG_STYLE = 0;
  p.USE_STANDBYLOGO = 1;
  p.STANDBYLOGOBMP = "/logo.bmp";
  p.FL_STYLE = 3;
  p.DIR_STYLE = 5;
  p.DATE_STYLE = 2;
  p.USE_DATETIME = 1;
  p.AUTOSLIDESHOW = 0;
  p.UserBkGndImage[7] = "bg.bmp";
  p.UserBkGndImage2[127] = "bg2.bmp";
  p.FloorTable[1] = "changed";
  p.FloorTable[2] = "2";
  p.FloorBkgImage[2] = "5";
  p.CAR_HALL = 0;
  p.HLAMP3 = 4;
  p.BKG_COLOR = 0x123456;
  p.FL_COLOR = 0x0000FF;
  p.FLS_DIR[1] = "Mine";
  p.DateTimeLanguage = "CHT";
  p.NODEADDR = 42;
  p.Layout = 0x80;
  p.DISPTYPE_HV = 0;
  p.LayoutVariant = 1;
  p.PS_MODE = 0;
  p.ProjectPath = "/x.ql3";
  m_state.window.CurrentPage = 3;
  m_state.window.BackgroundPreviewShown = true;
  m_state.window.FloorBackgroundPreviewShown = true;
  m_state.Title = "something else";

  NewProject(m_state, m_project);
  EXPECT_EQ(p.SLIDESHOWTIMEGAP, 0);
  EXPECT_EQ(p.USE_BACKGROUNDBMP, 0);
  EXPECT_EQ(p.MSG_STYLE, 3);
  EXPECT_EQ(p.USE_STANDBYLOGO, 0);
  EXPECT_EQ(p.STANDBYLOGOBMP, "/logo.bmp");
  EXPECT_EQ(p.FL_STYLE, 1);
  EXPECT_EQ(p.DIR_STYLE, 1);
  EXPECT_EQ(p.DATE_STYLE, 0);
  EXPECT_EQ(p.USE_DATETIME, 0);
  EXPECT_EQ(p.AUTOSLIDESHOW, 1);
  EXPECT_EQ(p.UserBkGndImage[7], "");
  EXPECT_EQ(p.UserBkGndImage2[127], "");
  EXPECT_EQ(p.FloorTable[1], "1") << "default floor texts are read again";
  EXPECT_EQ(p.FloorTable[2], "");
  EXPECT_EQ(p.FloorBkgImage[2], "");
  EXPECT_EQ(p.CAR_HALL, 1);
  EXPECT_EQ(p.HLAMP3, 0);
  EXPECT_EQ(p.BKG_COLOR, 0u);
  EXPECT_EQ(p.FL_COLOR, 0xFFFFFFu);
  EXPECT_EQ(p.FLS_DIR[1], "Style1");
  EXPECT_EQ(p.DateTimeLanguage, "CHT");
  EXPECT_EQ(p.WeekImages[0], "CHT");
  EXPECT_EQ(p.NODEADDR, 42);
  EXPECT_EQ(p.Layout, 0x80);
  EXPECT_EQ(p.DISPTYPE_HV, 0);
  EXPECT_EQ(p.LayoutVariant, 1);
  EXPECT_EQ(p.PS_MODE, 0);
  EXPECT_EQ(p.ProjectPath, "");
  EXPECT_EQ(m_state.window.CurrentPage, 1);
  EXPECT_FALSE(m_state.window.BackgroundPreviewShown);
  EXPECT_FALSE(m_state.window.FloorBackgroundPreviewShown);
  EXPECT_EQ(m_state.Title, m_state.TitleBase + " -- No project name");
}

TEST_F(StartUpTest, NewProjectWithoutSettingsKeepsLiftStatePicturesAndTurnsChinese) {
  m_home.writeSettings(IniText({"[Option]", "LANG=0"}));
  m_home.writeLibrary("L");
  startUp();
  std::filesystem::remove(m_state.settingsPath());
  m_project.LiftStateImage[1][1] = "/custom.bmp";
  m_project.FloorTable[3] = "3";
  NewProject(m_state, m_project);
  EXPECT_EQ(m_state.settings.LANG, 1u);
  EXPECT_EQ(m_project.LiftStateImage[1][1], "/custom.bmp");
  EXPECT_EQ(m_project.FloorTable[3], "");
}

}  // namespace
}  // namespace tvx
