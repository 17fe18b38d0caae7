#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "support/cli_run.h"
#include "support/ordinary_user.h"
#include "support/temp_dir.h"
#include "support/test_home.h"

// The "tvx880 project" commands, run as a technician runs them.
namespace tvx {
namespace {

namespace fs = std::filesystem;

class ProjectCliTest : public ::testing::Test {
 protected:
  static test::CliRun run(const std::string& arguments) { return test::RunTvx880(arguments); }
  void SetUp() override {
    if (!test::Tvx880Built()) {
      GTEST_SKIP() << "build the tvx880 program first: " << TVX_CLI_PATH;
    }
  }

  test::TempDir m_work;
};

TEST_F(ProjectCliTest, NewThenShowOnTheShippedHome) {
  const std::string home = test::ShellQuoted(std::string(TVX_SOURCE_DIR) + "/data");
  const std::string file = (m_work.path() / "site.ql3").string();
  test::CliRun created = run("project new " + test::ShellQuoted(file) + " --home " + home);
  ASSERT_EQ(created.status, 0) << created.err;
  EXPECT_EQ(created.err, "");
  EXPECT_EQ(test::ReadFileBytes(file).rfind("[Head]\r\nSignature=KWX\r\n", 0), 0u);

  test::CliRun shown = run("project show " + test::ShellQuoted(file) + " --home " + home);
  ASSERT_EQ(shown.status, 0) << shown.err;
  const std::string& json = shown.out;
  EXPECT_EQ(json.rfind("{\n  \"Layout\": 16,\n  \"LayoutVariant\": 0,\n  \"DISPTYPE_HV\": 1,", 0),
            0u)
      << json.substr(0, 200);
  for (const char* key :
       {"\"FL_COLOR\": 16777215", "\"MSGBKG_COLOR\": 4605510", "\"FLS5_DIR\": \"Style4\"",
        "\"DIRS1_DIR\": \"Style0\"", "\"SLIDESHOWTIMEGAP\": 0", "\"PS_MODE\": 3",
        "\"LiftMsgIdx\": [0, 0, 0, 0, 0, 0, 0, 0, 0, 0]", "\"DateTimeLanguage\": \"EN\"",
        "\"WeekImages\": [\"EN\", ", "\"MonthImages\": [\"EN\", ", "\"LiftStateImage\": [\n    [",
        "FIRE0_CHT_240x48.bmp", "\"UserBkGndImage2\": [\"\", "}) {
    EXPECT_NE(json.find(key), std::string::npos) << key;
  }
  EXPECT_EQ(json.substr(json.size() - 3), "\n}\n");
}

TEST_F(ProjectCliTest, ShowConvertsBig5TextsForDisplay) {
  test::TestHome home;
  const std::string file =
      home.put("big5.ql3", test::IniText({"[FloorTable]", "0x00=\xA4\x6A\xC6\x55",
                                          "0x01=caf\xC3\xA9", "0x02=\"q\"\\", "0x03=\xFF\x41"}));
  test::CliRun shown =
      run("project show " + test::ShellQuoted(file) + " --home " + test::ShellQuoted(home.dir()));
  ASSERT_EQ(shown.status, 0) << shown.err;
  EXPECT_NE(shown.out.find("\"FloorTable\": [\"大廳\", \"café\", \"\\\"q\\\"\\\\\", \"\xEF\xBF\xBD"
                           "A\", \"\""),
            std::string::npos)
      << shown.out.substr(shown.out.find("\"FloorTable\""), 80);
  EXPECT_NE(shown.err.find("Error: T880_PCGLB.GLB file not found!!"), std::string::npos);
}

TEST_F(ProjectCliTest, FailuresAreExplained) {
  test::TestHome home;
  const std::string missing = home.dir() + "missing.ql3";
  test::CliRun shown = run("project show " + test::ShellQuoted(missing) + " --home " +
                           test::ShellQuoted(home.dir()));
  EXPECT_EQ(shown.status, 1);
  EXPECT_NE(shown.err.find("TVX880: Err: The file \"" + missing + "\" not exist!"),
            std::string::npos)
      << shown.err;
  EXPECT_EQ(shown.out, "");

  const std::string unwritable = home.put("file") + "/x.ql3";
  test::CliRun created = run("project new " + test::ShellQuoted(unwritable) + " --home " +
                             test::ShellQuoted(home.dir()));
  EXPECT_EQ(created.status, 1);
  EXPECT_NE(created.err.find("TVX880: Err: Can not create file"), std::string::npos) << created.err;

  test::CliRun noHome =
      run("project new x.ql3 --home " + test::ShellQuoted(home.dir() + "nowhere"));
  EXPECT_EQ(noHome.status, 1);
  EXPECT_NE(noHome.err.find("is not a folder"), std::string::npos) << noHome.err;

  test::WriteFileBytes(home.path("photo.ql3"), std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16));
  const std::string photo = home.path("photo.ql3").string();
  test::CliRun notProject =
      run("project show " + test::ShellQuoted(photo) + " --home " + test::ShellQuoted(home.dir()));
  EXPECT_EQ(notProject.status, 1);
  EXPECT_NE(notProject.err.find("\nTVX880: Err: The file \"" + photo +
                                "\" is not a TVX-880 project file\ntvx880: the project \"" + photo +
                                "\" was not loaded\n"),
            std::string::npos)
      << notProject.err;

  EXPECT_EQ(run("project show").status, 2);
  EXPECT_EQ(run("project").status, 2);
}

TEST_F(ProjectCliTest, NewReplacesAnExistingFileOnlyWithForce) {
  const std::string home = " --home " + test::ShellQuoted(std::string(TVX_SOURCE_DIR) + "/data");
  const fs::path file = m_work.path() / "site.ql3";
  test::WriteFileBytes(file, "not to be lost");
  const test::CliRun refused = run("project new " + test::ShellQuoted(file.string()) + home);
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "tvx880: \"" + file.string() +
                             "\" already exists; it is not overwritten (--force replaces it)\n");
  EXPECT_EQ(test::ReadFileBytes(file), "not to be lost");

  const test::CliRun forced =
      run("project new " + test::ShellQuoted(file.string()) + home + " --force");
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(test::ReadFileBytes(file).rfind("[Head]\r\n", 0), 0u);
}

// As an ordinary user, since permissions do not bind root.
TEST_F(ProjectCliTest, AReadOnlyProjectIsShownAndNotReplaced) {
  const std::string home = " --home " + test::ShellQuoted(std::string(TVX_SOURCE_DIR) + "/data");
  const std::string file = (m_work.path() / "locked.ql3").string();
  ASSERT_EQ(run("project new " + test::ShellQuoted(file) + home).status, 0);
  const std::string bytes = test::ReadFileBytes(file);
  test::HandToOrdinaryUser(m_work.path());
  chmod(file.c_str(), 0444);
  const std::optional<std::string> seen = test::AsOrdinaryUser([&] {
    const test::CliRun shown = run("project show " + test::ShellQuoted(file) + home);
    const test::CliRun forced = run("project new " + test::ShellQuoted(file) + home + " --force");
    return std::to_string(shown.status) + " " + shown.err + "|" + std::to_string(forced.status) +
           " " + forced.err;
  });
  if (!seen) {
    GTEST_SKIP() << "running as root, and there is no \"nobody\" to run as";
  }
  if (seen->rfind("126 ", 0) == 0) {
    GTEST_SKIP() << "the ordinary user may not run the program where it was built: " << *seen;
  }
  EXPECT_EQ(*seen, "0 |1 TVX880: Err: Can not create file \"" + file +
                       "\": Permission denied\ntvx880: the project \"" + file +
                       "\" was not written\n");
  EXPECT_EQ(test::ReadFileBytes(file), bytes);
}

// One value of every kind of field, given as a script gives it and read back as "project get"
// prints it; what "get" printed before, given back to "set", restores the file byte for byte.
TEST_F(ProjectCliTest, SetAndGetRoundTripEveryKindOfField) {
  const std::string home = std::string(TVX_SOURCE_DIR) + "/data";
  const std::string file = (m_work.path() / "tower.ql3").string();
  ASSERT_EQ(
      run("project new " + test::ShellQuoted(file) + " --home " + test::ShellQuoted(home)).status,
      0);
  const std::string original = test::ReadFileBytes(file);
  // Pictures that exist, since loading looks missing ones up in the catalogue.
  const std::string lobby = (m_work.path() / "大廳 lobby.bmp").string();
  const std::string fire = (m_work.path() / "fire.bmp").string();
  test::WriteFileBytes(lobby, "BM");
  test::WriteFileBytes(fire, "BM");
  const std::vector<std::pair<std::string, std::string>> changes{
      {"NODEADDR", "200"},
      {"HLAMP1", "2"},
      {"FL_COLOR", "#FF0000"},
      {"BKG_COLOR", "65280"},
      {"FloorTable[5]", "大廳"},
      {"FLS2_DIR", "Style9"},
      {"STANDBYLOGOBMP", lobby},
      {"UserBkGndImage[3]", lobby},
      {"FloorBkgImage[0x10]", "12"},
      {"LiftStateImage[2][C]", fire},
      {"Layout", "64"},
      {"LayoutVariant", "1"},
  };
  const auto words = [&](const char* command, bool assignments,
                         const std::vector<std::pair<std::string, std::string>>& fields) {
    std::vector<std::string> line{"project", command, file, "--home", home};
    for (const auto& [name, value] : fields) {
      line.push_back(assignments ? name + "=" + value : name);
    }
    return line;
  };
  const test::CliRun before = test::RunTvx880Words(words("get", false, changes));
  ASSERT_EQ(before.status, 0) << before.err;

  const test::CliRun set = test::RunTvx880Words(words("set", true, changes));
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.out, "");
  const test::CliRun after = test::RunTvx880Words(words("get", false, changes));
  EXPECT_EQ(after.out, "200\n2\n255\n65280\n大廳\nStyle9\n" + lobby + "\n" + lobby + "\n12\n" +
                           fire + "\n64\n1\n");
  const std::string saved = test::ReadFileBytes(file);
  for (const std::string& line :
       std::vector<std::string>{"FL_COLOR=255\r\n", "0x05=\xA4\x6A\xC6\x55\r\n", "Layout=65\r\n",
                                "LiftState_2_C=" + fire + "\r\n"}) {
    EXPECT_NE(saved.find(line), std::string::npos) << line;
  }

  std::vector<std::pair<std::string, std::string>> restore;
  std::size_t start = 0;
  for (const auto& change : changes) {
    const std::size_t end = before.out.find('\n', start);
    restore.emplace_back(change.first, before.out.substr(start, end - start));
    start = end + 1;
  }
  const test::CliRun restored = test::RunTvx880Words(words("set", true, restore));
  EXPECT_EQ(restored.status, 0) << restored.err;
  EXPECT_EQ(test::ReadFileBytes(file), original);
}

TEST_F(ProjectCliTest, SetWritesNothingWhenAnyValueIsRefused) {
  const std::string home = " --home " + test::ShellQuoted(std::string(TVX_SOURCE_DIR) + "/data");
  const std::string file = test::ShellQuoted((m_work.path() / "tower.ql3").string());
  ASSERT_EQ(run("project new " + file + home).status, 0);
  const std::string original = test::ReadFileBytes(m_work.path() / "tower.ql3");

  const test::CliRun refused =
      run("project set " + file + home +
          " NODEADDR=3 NODEADDR=256 FL_STYLE=0 FL_COLOR=#12345 BKG_COLOR=16777216 "
          "'FloorTable[1]=😀' 'FloorTable[2]= 1' FloorBkgImage[0]=128 Layout=48 "
          "MonthImages[1]=x.bmp AUTOSLIDESHOW=0 SLIDESHOWTIMEGAP=4");
  EXPECT_EQ(refused.status, 1);
  for (const char* message :
       {"tvx880: NODEADDR: \"256\" is refused; it takes 0..255 (the node address)\n",
        "tvx880: FL_STYLE: \"0\" is refused; it takes 1..5\n",
        "tvx880: FL_COLOR: \"#12345\" is refused; it takes 0..16777215 (0x00BBGGRR in decimal) "
        "or #RRGGBB\n",
        "tvx880: BKG_COLOR: \"16777216\"",
        "tvx880: FloorTable[1]: \"😀\" has a character that "
        "Big5 cannot hold",
        "tvx880: FloorTable[2]: \" 1\" is refused", "tvx880: FloorBkgImage[0]: \"128\"",
        "tvx880: Layout: \"48\"",
        "tvx880: MonthImages[1]: \"x.bmp\" is refused; it takes nothing: every save makes it "
        "from DateTimeLanguage"}) {
    EXPECT_NE(refused.err.find(message), std::string::npos) << message << "\n" << refused.err;
  }
  EXPECT_EQ(refused.err.find("NODEADDR: \"3\""), std::string::npos) << refused.err;
  // What each value needs from the others is checked only once all are taken.
  const test::CliRun notKept =
      run("project set " + file + home + " AUTOSLIDESHOW=0 SLIDESHOWTIMEGAP=4 LayoutVariant=1");
  EXPECT_EQ(notKept.status, 1);
  EXPECT_NE(notKept.err.find("tvx880: SLIDESHOWTIMEGAP: \"4\" would not be kept: the file keeps "
                             "the interval only with AUTOSLIDESHOW=1 (in turn)\n"),
            std::string::npos)
      << notKept.err;
  EXPECT_NE(notKept.err.find("tvx880: LayoutVariant: \"1\" would not be kept"), std::string::npos);
  // A blank text that the loader reads as its default.
  const test::CliRun blank = run("project set " + file + home + " FLS2_DIR= DateTimeLanguage=");
  EXPECT_EQ(blank.status, 1);
  EXPECT_NE(blank.err.find("FLS2_DIR: \"\" would not be kept: a blank value loads as \"Style1\""),
            std::string::npos);
  EXPECT_NE(blank.err.find("DateTimeLanguage: \"\" would not be kept"), std::string::npos);

  for (const char* usage :
       {" NOSUCHFIELD=1", " NODEADDR", " 'FloorTable[256]=1'", " 'LiftStateImage[0][E]=a.bmp'"}) {
    const test::CliRun wrong = run("project set " + file + home + " NODEADDR=3" + usage);
    EXPECT_EQ(wrong.status, 2) << usage;
    EXPECT_NE(wrong.err.find("Run with --help"), std::string::npos) << wrong.err;
  }
  EXPECT_EQ(run("project get " + file + home + " NODEADDR[0]").status, 2);
  EXPECT_EQ(test::ReadFileBytes(m_work.path() / "tower.ql3"), original);

  const test::CliRun help = run("project set --help");
  EXPECT_NE(help.out.find("  SLIDESHOWTIMEGAP\n      0..299 (the list index, that is the seconds "
                          "between pictures minus 1)\n"),
            std::string::npos)
      << help.out;
}

}  // namespace
}  // namespace tvx
