#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/cli_run.h"
#include "support/temp_dir.h"
#include "support/test_home.h"

// A project as a Windows PC writes it, mailed with its pictures and opened elsewhere.
namespace tvx {
namespace {

namespace fs = std::filesystem;

const std::string kShippedHome = std::string(TVX_SOURCE_DIR) + "/data";

class WindowsProjectCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::Tvx880Built()) {
      GTEST_SKIP() << "build the tvx880 program first: " << TVX_CLI_PATH;
    }
    fs::create_directories(m_work / "site/pics");
    fs::create_directories(m_work / "elsewhere");
    picture("240x320", "navy", "site/pics/fwd.bmp");
    picture("320x240", "orange", "site/sunset.bmp");
    picture("240x320", "gray", "site/bg_lobby.bmp");
    // Where the command runs: a relative path must not be taken from here.
    picture("240x320", "red", "elsewhere/missing.bmp");
    test::WriteFileBytes(m_work / "site/taipei.ql3", kProject);
  }
  void picture(const std::string& size, const std::string& colour, const std::string& name) {
    const std::string command =
        "convert -size " + size + " xc:" + colour +
        " -type TrueColor BMP3:" + test::ShellQuoted((m_work / name).string());
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  test::CliRun run(const std::string& command) const {
    return test::RunTvx880In(
        m_work / "elsewhere",
        command + " ../site/taipei.ql3 --home " + test::ShellQuoted(kShippedHome) + " --lang en");
  }

  const std::string kProject = test::IniText({"[Head]",
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
                                              "USE_BACKGROUNDBMP=1",
                                              "BRIGHTNESS_NIGHT=40",
                                              "USE_STANDBYLOGO=1",
                                              "STANDBYLOGOBMP=D:\\Jobs\\Taipei101\\logo.bmp",
                                              "",
                                              "[UserBkGndImage]",
                                              "UserBkGnd_Image0=pics\\fwd.bmp",
                                              "UserBkGnd_Image1=D:\\Jobs\\Taipei101\\bg_lobby.bmp",
                                              "UserBkGnd_Image2=missing.bmp",
                                              "",
                                              "[UserBkGndImage2]",
                                              "UserBkGnd_Image0=SUNSET.BMP",
                                              "",
                                              "[FloorTable]",
                                              "0x01=1",
                                              "0x02=B1",
                                              "0x03=\xA4\x6A",
                                              "",
                                              "[Customer]",
                                              "Name=\xA5\x78\xA5\x5F 101",
                                              ""});
  test::TempDir m_work;
};

TEST_F(WindowsProjectCliTest, PicturesAreFoundBesideTheProjectAndEveryTextIsSavedAsWritten) {
  const test::CliRun check = run("check");
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.out.find("error: vertical background 2 [UserBkGndImage UserBkGnd_Image2, "
                           "BANK7-2]\n    missing.bmp\n    the file does not exist"),
            std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("warning: standby logo [MainOption STANDBYLOGOBMP, BANK0-97]\n    "
                           "D:\\Jobs\\Taipei101\\logo.bmp\n    the file does not exist; the "
                           "standby logo is switched off"),
            std::string::npos)
      << check.out;
  for (const char* found : {"fwd.bmp", "bg_lobby.bmp", "SUNSET", "sunset"}) {
    EXPECT_EQ(check.out.find(found), std::string::npos) << found << " is found";
  }

  const test::CliRun build = run("build --lenient");
  ASSERT_EQ(build.status, 0) << build.out << build.err;
  const test::CliRun inspect =
      test::RunTvx880("inspect " + test::ShellQuoted((m_work / "site/taipei.BIN").string()));
  for (const char* slot : {"\n     7    0 ", "\n     7    1 ", "\n     7  128 "}) {
    EXPECT_NE(inspect.out.find(slot), std::string::npos) << slot << inspect.out;
  }
  EXPECT_EQ(inspect.out.find("\n     7    2 "), std::string::npos);

  // The build's save: the texts as written, the unknown key after the known ones of its section,
  // the unknown section ahead of the project's, the Big5 bytes untouched.
  const std::string saved = test::ReadFileBytes(m_work / "site/taipei.ql3");
  for (const std::string& part :
       {std::string("[Customer]\r\nName=\xA5\x78\xA5\x5F 101\r\n\r\n[Head]\r\n"),
        std::string("STANDBYLOGOBMP=D:\\Jobs\\Taipei101\\logo.bmp\r\n"),
        std::string("PS_MODE=3\r\nBRIGHTNESS_NIGHT=40\r\n\r\n[UserBkGndImage]\r\n"
                    "UserBkGnd_Image0=pics\\fwd.bmp\r\n"
                    "UserBkGnd_Image1=D:\\Jobs\\Taipei101\\bg_lobby.bmp\r\n"
                    "UserBkGnd_Image2=missing.bmp\r\n\r\n"
                    "[UserBkGndImage2]\r\nUserBkGnd_Image0=SUNSET.BMP\r\n\r\n"),
        std::string("0x03=\xA4\x6A\r\n")}) {
    EXPECT_NE(saved.find(part), std::string::npos) << part;
  }
  EXPECT_NE(saved.find("USE_STANDBYLOGO=0\r\n"), std::string::npos) << "switched off on load";
}

}  // namespace
}  // namespace tvx
