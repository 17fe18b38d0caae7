#include "check/check_project.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "check/report_format.h"
#include "project/catalogue.h"
#include "project/choices.h"
#include "project/host.h"
#include "project/startup.h"
#include "rom/glb_builder.h"
#include "rom/resource_list.h"
#include "rom/rom_image.h"
#include "support/cli_run.h"
#include "support/golden_project.h"

// The pre-flight check on real program homes, with pictures written by ImageMagick.
namespace tvx {
namespace {

namespace fs = std::filesystem;

const std::string kDataHome = std::string(TVX_SOURCE_DIR) + "/data/";

// Pictures made by ImageMagick's convert once for all tests: a plain picture of a size, in the
// form the options give ("BMP3:" for a 40-byte header).
class Pictures {
 public:
  static std::string make(const std::string& name, const std::string& size,
                          const std::string& options, const std::string& format = "BMP3",
                          const std::string& source = "xc:#3080c0") {
    static test::TempDir folder;
    const std::string path = (folder / name).string();
    if (!fs::exists(path)) {
      const std::string command = "convert -size " + size + " " + source + " " + options + " " +
                                  format + ":" + test::ShellQuoted(path);
      EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
    return path;
  }
  static std::string bmp3(const std::string& size) {
    return make("bmp3_" + size + ".bmp", size, "-type TrueColor");
  }
};

// A program home in which a project fresh from start-up, with the floor texts below, has
// nothing to find: right-sized 24-bit pictures with 40-byte headers, the shipped library.
void fillCheckHome(test::TestHome& home, const std::string& settings = "OEM=KWXPS") {
  home.writeSettings(
      test::IniText({"[Option]", "LANG=0", "MEM=32", settings, "", "[LiftMsg]", "Used=0"}));
  home.writeLibrary(test::ReadFileBytes(kDataHome + "T880_PCGLB.GLB"));
  const auto copy = [&home](const std::string& picture, const std::string& to) {
    home.put(to, test::ReadFileBytes(picture));
  };
  for (const char* kind : {"UP0", "UP1", "DN0", "DN1"}) {
    copy(Pictures::bmp3("104x128"),
         std::string("DefaultImageR1/UserDefine/DIR/Style0/DIR_") + kind + "_104x128.bmp");
  }
  for (const char* name : {"0x30", "0x31", "0x32", "0x33", "0x34", "0x35", "0x36", "0x37", "0x38",
                           "0x39", "0x53", "0x42", "LOBBY"}) {
    copy(Pictures::bmp3("48x64"),
         std::string("DefaultImageR1/UserDefine/Floor/Style0/") + name + ".bmp");
  }
  for (const char* name : {"MON", "TUE", "WED", "THU", "FRI", "SAT", "SUN", "JAN", "FEB", "MAR",
                           "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"}) {
    copy(Pictures::bmp3("80x40"),
         std::string("DefaultImageR1/UserDefine/DateTime/EN/") + name + "_EN_80x40.bmp");
  }
  for (int row = 0; row < kLiftStateRowCount; ++row) {
    for (int column = 0; column < kLiftStateColumnCount; ++column) {
      copy(Pictures::bmp3("240x48"),
           "DefaultImageR1/LiftState/" + DefaultLiftStateFileName(row, column));
    }
  }
  copy(Pictures::bmp3("240x320"), "DefaultImageR1/Background/V/v0.bmp");
}

// The findings of one kind.
std::vector<Finding> ofKind(const CheckReport& report, FindingKind kind) {
  std::vector<Finding> found;
  std::copy_if(report.findings.begin(), report.findings.end(), std::back_inserter(found),
               [kind](const Finding& finding) { return finding.kind == kind; });
  return found;
}

class CheckProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fillCheckHome(home);
    start();
  }
  void start() {
    state = {};
    project = {};
    state.ProgramDir = home.dir();
    StartUp(state, project, host);
    project.FloorTable[0] = "B1";
    project.FloorTable[1] = "1";
    project.FloorTable[2] = "lobby";
  }

  CheckReport check(bool verbose = false, TextToUtf8 toUtf8 = {}) const {
    CheckOptions options;
    options.verbose = verbose;
    options.userTextToUtf8 = std::move(toUtf8);
    return CheckProject(project, state, options);
  }
  std::string put(const std::string& relative, const std::string& picture) {
    return home.put(relative, test::ReadFileBytes(picture));
  }

  test::TestHome home;
  ScriptedHost host;
  ProgramState state;
  Project project;
};

TEST_F(CheckProjectTest, AHomeOfRightPicturesAndTheShippedDefaultProjectGiveNoFinding) {
  CheckReport report = check();
  EXPECT_TRUE(report.findings.empty()) << RenderReportText(report, 0);
  EXPECT_TRUE(report.memory.fits());

  ProgramState shipped;
  Project defaults;
  shipped.ProgramDir = kDataHome;
  StartUp(shipped, defaults, host);
  report = CheckProject(defaults, shipped);
  EXPECT_TRUE(report.findings.empty()) << RenderReportText(report, 0);
}

TEST_F(CheckProjectTest, PicturesInOtherFormsAndSizesAreNamedWithTheirSlotAndFix) {
  project.LiftStateImage[0][0] = put("v5.bmp", Pictures::make("v5.bmp", "240x48", "", "BMP"));
  project.LiftStateImage[0][1] =
      put("argb.bmp", Pictures::make("argb.bmp", "240x48", "-alpha set -define bmp3:alpha=true"));
  project.LiftStateImage[1][0] =
      put("palette.bmp",
          Pictures::make("palette.bmp", "240x48", "-type Palette", "BMP3", "gradient:red-blue"));
  project.LiftStateImage[1][1] = put("odd.bmp", Pictures::bmp3("241x48"));
  project.LiftStateImage[2][0] = put("wide.bmp", Pictures::bmp3("300x60"));
  project.LiftStateImage[2][1] = home.dir() + "gone.bmp";
  project.UserBkGndImage[1] = put("photo.bmp", Pictures::bmp3("640x480"));
  project.UserBkGndImage[2] =
      put("alpha.bmp", Pictures::make("alpha.bmp", "240x320", "-alpha set -define bmp3:alpha=true",
                                      "BMP3", "xc:#3080c080"));
  project.UserBkGndImage[3] =
      put("index.bmp", Pictures::make("index.bmp", "240x320", "-type Palette"));
  project.UserBkGndImage[4] = home.dir() + "gone.bmp";
  CheckReport report = check(true);
  // Only the pictures' findings: the verbose check notes the memory and floor texts too.
  std::erase_if(report.findings, [](const Finding& finding) {
    return finding.kind == FindingKind::kMemoryUse ||
           finding.kind == FindingKind::kFloorTextAdjusted;
  });

  struct Expected {
    FindingKind kind;
    Severity severity;
    RomSlot slot;
    std::string key;
  };
  const std::vector<Expected> expected = {
      {FindingKind::kPicturePrepared, Severity::kNote, {0, 196}, "LiftState_0_A"},
      {FindingKind::kPicturePrepared, Severity::kNote, {0, 197}, "LiftState_1_A"},
      {FindingKind::kPictureWrongSize, Severity::kWarning, {0, 198}, "LiftState_2_A"},
      {FindingKind::kPicturePrepared, Severity::kNote, {0, 236}, "LiftState_0_B"},
      {FindingKind::kPictureRefused, Severity::kError, {0, 237}, "LiftState_1_B"},
      {FindingKind::kPictureMissing, Severity::kError, {0, 238}, "LiftState_2_B"},
      {FindingKind::kPictureWrongSize, Severity::kWarning, {7, 1}, "UserBkGnd_Image1"},
      {FindingKind::kTransparencyDropped, Severity::kWarning, {7, 2}, "UserBkGnd_Image2"},
      {FindingKind::kPicturePrepared, Severity::kNote, {7, 3}, "UserBkGnd_Image3"},
      {FindingKind::kPictureMissing, Severity::kError, {7, 4}, "UserBkGnd_Image4"},
  };
  ASSERT_EQ(report.findings.size(), expected.size()) << RenderReportText(report, 0);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i].key);
    EXPECT_EQ(report.findings[i].kind, expected[i].kind);
    EXPECT_EQ(report.findings[i].severity, expected[i].severity);
    EXPECT_EQ(report.findings[i].slot, expected[i].slot);
    EXPECT_EQ(report.findings[i].entry.key, expected[i].key);
  }
  const Finding& v5 = report.findings[0];
  EXPECT_EQ(v5.entry.section, "LiftStateImage");
  EXPECT_EQ(v5.file, project.LiftStateImage[0][0]);
  EXPECT_EQ(v5.role.english, "fire message, first Chinese picture");
  EXPECT_EQ(v5.role.chinese, "火警訊息, 第一張中文圖");
  EXPECT_NE(v5.problem.english.find("124-byte header"), std::string::npos);
  EXPECT_NE(v5.problem.english.find("the build turns it into a form its converter takes"),
            std::string::npos);
  EXPECT_NE(report.findings[1].problem.english.find("8-bit"), std::string::npos);
  EXPECT_NE(report.findings[3].problem.english.find("32-bit"), std::string::npos);
  const Finding& odd = report.findings[4];
  EXPECT_NE(odd.problem.english.find("241 pixels wide"), std::string::npos);
  EXPECT_NE(odd.problem.english.find("the slot would stay empty"), std::string::npos);
  EXPECT_NE(odd.fix.english.find("24-bit BMP of 240 × 48"), std::string::npos);
  EXPECT_NE(report.findings[2].problem.english.find("is 300 × 60"), std::string::npos);
  EXPECT_NE(report.findings[7].problem.english.find("which the conversion drops"),
            std::string::npos)
      << "the background converter takes a 32-bit picture and ignores its alpha";
  EXPECT_NE(report.findings[8].problem.english.find("sizes in its header do not add up"),
            std::string::npos);
  EXPECT_EQ(check().errors(), 3) << "notes only when asked for";
}

TEST_F(CheckProjectTest, PngAndJpegPicturesArePreparedAndTheirOwnSizeAndAlphaAreChecked) {
  project.LiftStateImage[0][0] = put("fire.png", Pictures::make("fire.png", "240x48", "", "PNG24"));
  project.LiftStateImage[1][0] = put(
      "glass.png", Pictures::make("glass.png", "240x48", "", "PNG32", "'xc:rgba(48,128,192,0.5)'"));
  project.LiftStateImage[2][0] = put("odd.png", Pictures::make("odd.png", "241x48", "", "PNG24"));
  const std::string png = test::ReadFileBytes(Pictures::make("fire.png", "240x48", "", "PNG24"));
  project.LiftStateImage[0][1] = home.put("cut.png", png.substr(0, png.find("IDAT") + 10));
  project.LiftStateImage[1][1] = put("anim.gif", Pictures::make("anim.gif", "240x48", "", "GIF"));
  project.UserBkGndImage[1] = put("photo.jpg", Pictures::make("photo.jpg", "320x240", "", "JPEG"));
  CheckReport report = check(true);
  std::erase_if(report.findings, [](const Finding& finding) {
    return finding.kind == FindingKind::kMemoryUse ||
           finding.kind == FindingKind::kFloorTextAdjusted;
  });

  const std::vector<std::pair<FindingKind, RomSlot>> expected = {
      {FindingKind::kPicturePrepared, {0, 196}},     {FindingKind::kPicturePrepared, {0, 197}},
      {FindingKind::kTransparencyDropped, {0, 197}}, {FindingKind::kPictureRefused, {0, 198}},
      {FindingKind::kPictureRefused, {0, 236}},      {FindingKind::kPictureRefused, {0, 237}},
      {FindingKind::kPicturePrepared, {7, 1}},       {FindingKind::kPictureWrongSize, {7, 1}},
  };
  ASSERT_EQ(report.findings.size(), expected.size()) << RenderReportText(report, 0);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(report.findings[i].kind, expected[i].first) << i;
    EXPECT_EQ(report.findings[i].slot, expected[i].second) << i;
  }
  EXPECT_EQ(report.findings[0].problem.english,
            "is a PNG picture; the build turns it into a form its converter takes");
  EXPECT_EQ(report.findings[2].problem.english, "has transparency; the build puts it over black");
  EXPECT_EQ(report.findings[3].problem.english,
            "is 241 pixels wide; the converter takes even widths only; the slot would stay empty");
  EXPECT_NE(report.findings[3].fix.english.find("240 × 48"), std::string::npos);
  EXPECT_NE(report.findings[4].problem.english.find("a damaged PNG: "), std::string::npos);
  EXPECT_NE(report.findings[5].problem.english.find("is a GIF picture"), std::string::npos);
  EXPECT_NE(report.findings[7].problem.english.find("is 320 × 240"), std::string::npos)
      << "a JPEG's size comes from the picture itself";
  const auto photo = std::find_if(report.memory.largest.begin(), report.memory.largest.end(),
                                  [](const auto& picture) {
                                    return picture.slot == RomSlot{7, 1};
                                  });
  ASSERT_NE(photo, report.memory.largest.end());
  EXPECT_EQ(photo->bytes, 320U * 240U * 2U + 66U);
}

TEST_F(CheckProjectTest, FloorTextsNeedTheirCharactersInTheChosenStyle) {
  project.FloorTable[3] = "F1";
  project.FloorTable[4] = "\xA4\x40";  // one Big5 character
  project.FloorTable[5] = "ROOF";
  project.FloorTable[6] = "\x80";
  project.FloorTable[7] = "05";
  project.FloorTable[8] = "b1";
  CheckReport report = check();

  const std::vector<Finding> missing = ofKind(report, FindingKind::kFloorCharacterMissing);
  ASSERT_EQ(missing.size(), 4U) << RenderReportText(report, 0);
  EXPECT_EQ(missing[0].entry, (ProjectEntry{"FloorTable", "0x03"}));
  EXPECT_EQ(missing[0].slot, (RomSlot{1, 'F'}));
  EXPECT_EQ(missing[0].file, home.dir() + "DefaultImageR1/UserDefine/Floor/Style0/0x46.bmp");
  EXPECT_EQ(missing[0].problem.english,
            "the floor text \"F1\" needs the picture of \"F\" (0x46), 0x46.bmp, which floor style "
            "Style0 lacks; the indicator would show a blank there");
  EXPECT_EQ(missing[1].slot, (RomSlot{1, 0xA4}));
  EXPECT_EQ(missing[2].slot, (RomSlot{1, 0x40}));
  EXPECT_EQ(missing[3].slot, (RomSlot{1, 0x80}));

  const std::vector<Finding> twoBytes = ofKind(report, FindingKind::kFloorTextTwoBytes);
  ASSERT_EQ(twoBytes.size(), 1U);
  EXPECT_EQ(twoBytes[0].severity, Severity::kWarning);
  EXPECT_NE(twoBytes[0].problem.english.find("two characters, 0xA4 and 0x40"), std::string::npos);
  const std::vector<Finding> picture = ofKind(report, FindingKind::kFloorPictureMissing);
  ASSERT_EQ(picture.size(), 1U);
  EXPECT_EQ(picture[0].slot, (RomSlot{6, 5}));
  EXPECT_EQ(ofKind(report, FindingKind::kFloorTextNotBig5).size(), 1U);
  EXPECT_EQ(report.errors(), 6);
  EXPECT_EQ(report.warnings(), 1);
  EXPECT_EQ(report.notes(), 0) << "notes only when asked for";

  report = check(true, [](std::string_view text) {
    return text == "\xA4\x40" ? std::string("一") : std::string(text);
  });
  EXPECT_EQ(ofKind(report, FindingKind::kFloorTextTwoBytes)[0].problem.chinese.substr(0, 5),
            "\"一\"")
      << "the words quote the user's Big5 text as the front end converts it";
  EXPECT_EQ(ofKind(report, FindingKind::kFloorTextAdjusted).size(), 2U)
      << "\"05\" is shown as \"5\", \"b1\" as \"B1\"";
  EXPECT_EQ(ofKind(report, FindingKind::kMemoryUse).size(), 1U);
}

TEST_F(CheckProjectTest, BackgroundNumbersAreDecimalFrom0To127AndNameAPictureWhenPerFloor) {
  project.USE_BACKGROUNDBMP = 1;
  project.AUTOSLIDESHOW = kSlideshowPerFloor;
  project.UserBkGndImage[0] = home.dir() + "DefaultImageR1/Background/V/v0.bmp";
  project.FloorBkgImage[0] = "0";
  project.FloorBkgImage[1] = "x";
  project.FloorBkgImage[2] = "128";
  project.FloorBkgImage[3] = "300";
  project.FloorBkgImage[4] = "5";
  CheckReport report = check();
  ASSERT_EQ(report.findings.size(), 4U) << RenderReportText(report, 0);
  EXPECT_EQ(report.findings[0].kind, FindingKind::kBackgroundNumberNotNumber);
  EXPECT_EQ(report.findings[0].severity, Severity::kWarning);
  EXPECT_EQ(report.findings[0].entry, (ProjectEntry{"FloorBkgImage", "0x01"}));
  EXPECT_EQ(report.findings[1].kind, FindingKind::kBackgroundNumberOutOfRange);
  EXPECT_EQ(report.findings[1].severity, Severity::kError);
  EXPECT_EQ(report.findings[2].problem.english,
            "300 is outside 0 to 127; the indicator keeps only its low byte, 44");
  EXPECT_EQ(report.findings[3].kind, FindingKind::kBackgroundSlotEmpty);
  EXPECT_EQ(report.findings[3].slot, (RomSlot{7, 5}));

  project.AUTOSLIDESHOW = kSlideshowInTurn;
  report = check();
  ASSERT_EQ(report.findings.size(), 3U) << "no floor looks its number up";
  EXPECT_EQ(report.findings[2].severity, Severity::kWarning);
}

TEST_F(CheckProjectTest, TheLogoWithoutAPictureAndTheLibraryAreErrors) {
  project.USE_STANDBYLOGO = 1;
  project.STANDBYLOGOBMP = "";
  CheckReport report = check();
  ASSERT_EQ(report.findings.size(), 1U) << RenderReportText(report, 0);
  EXPECT_EQ(report.findings[0].kind, FindingKind::kPictureNotChosen);
  EXPECT_EQ(report.findings[0].entry, (ProjectEntry{"MainOption", "STANDBYLOGOBMP"}));
  EXPECT_EQ(report.findings[0].slot, (RomSlot{0, 97}));

  fs::remove(home.path("T880_PCGLB.GLB"));
  start();
  report = check();
  ASSERT_EQ(report.findings.size(), 1U) << RenderReportText(report, 0);
  EXPECT_EQ(report.findings[0].kind, FindingKind::kLibraryMissing);
  EXPECT_EQ(report.findings[0].file, home.dir() + "T880_PCGLB.GLB");
  EXPECT_NE(report.findings[0].problem.english.find("the 18 resources"), std::string::npos);

  home.writeLibrary(test::RomFixtureLibraryBytes());  // it has no resource 126
  start();
  report = check();
  ASSERT_EQ(report.findings.size(), 1U) << RenderReportText(report, 0);
  EXPECT_EQ(report.findings[0].kind, FindingKind::kLibraryResourceMissing);
  EXPECT_EQ(report.findings[0].slot, (RomSlot{0, 126}));
}

TEST_F(CheckProjectTest, AnOverflowingProjectNamesItsLargestPictures) {
  project.UserBkGndImage[0] = put("big.bmp", Pictures::bmp3("720x540"));
  for (int row = 1; row <= 6; ++row) {
    project.UserBkGndImage[row] = put("photo.bmp", Pictures::bmp3("640x480"));
  }
  CheckReport report = check();
  const std::vector<Finding> overflow = ofKind(report, FindingKind::kOutOfMemory);
  ASSERT_EQ(overflow.size(), 1U) << RenderReportText(report, 0);
  EXPECT_FALSE(report.memory.fits());
  EXPECT_EQ(report.memory.capacity, 4194304U);
  ASSERT_EQ(report.memory.largest.size(), 5U);
  EXPECT_EQ(report.memory.largest[0].file, project.UserBkGndImage[0]);
  EXPECT_EQ(report.memory.largest[0].bytes, 720U * 540U * 2U + 66U);
  EXPECT_EQ(report.memory.largest[1].slot, (RomSlot{7, 1}));
  EXPECT_NE(overflow[0].problem.english.find(
                "the largest are: vertical background 0 \"big.bmp\" (777666 bytes), vertical "
                "background 1 \"photo.bmp\""),
            std::string::npos);

  state.settings.MEM = 64;
  EXPECT_TRUE(ofKind(check(), FindingKind::kOutOfMemory).empty());
}

// The estimate against a build of the golden project: pictures refused, a logo, every bank.
TEST(CheckMemoryTest, TheEstimateIsWhatTheBuildUses) {
  test::TestHome home;
  test::FillGoldenHome(home);
  ScriptedHost host;
  ProgramState state;
  Project project;
  state.ProgramDir = home.dir();
  StartUp(state, project, host);
  test::DesignGoldenProject(project, home.dir());
  const CheckReport report = CheckProject(project, state);

  const std::string list = home.dir() + "tempt880.glp";
  ASSERT_TRUE(WriteResourceList(list, home.dir() + "Temp.glb", project, state, BuildReporter(0)));
  const Result<GlbResult> glb =
      MakeGLB(list, {.library = state.LibraryImage, .workFolder = home.dir()}, BuildReporter(0));
  ASSERT_TRUE(glb && glb->written);
  EXPECT_EQ(report.memory.used, RomMemoryUsed(glb->glbSize));
  EXPECT_EQ(ofKind(report, FindingKind::kPictureRefused).size(), 1U) << "the odd-width message";
}

}  // namespace
}  // namespace tvx
