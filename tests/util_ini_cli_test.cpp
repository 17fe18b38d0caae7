#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "support/cli_run.h"
#include "support/temp_dir.h"

using tvx::test::CliRun;
using tvx::test::ReadFileBytes;
using tvx::test::TempDir;
using tvx::test::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

// Runs the tvx880 program with the arguments.
CliRun runCli(const std::vector<std::string>& arguments) {
  if (!tvx::test::Tvx880Built()) {
    ADD_FAILURE() << "build the tvx880 program first: " << TVX_CLI_PATH;
    return {};
  }
  return tvx::test::RunTvx880Words(arguments);
}

class IniCliTest : public ::testing::Test {
 protected:
  TempDir m_dir;
  fs::path m_file = m_dir / "DPW880.INI";
};

}  // namespace

TEST_F(IniCliTest, DumpPrintsWhatTheStoreWouldWriteAndChangesNothing) {
  const std::string lf = "\xEF\xBB\xBF[Option]\nLANG = 1  \n# comment\n[\xA4\xA4]\nk=\xA4\xE5\n";
  WriteFileBytes(m_file, lf);
  const CliRun run = runCli({"ini", "dump", m_file.string()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "[Option]\r\nLANG=1\r\n\r\n[\xA4\xA4]\r\nk=\xA4\xE5\r\n\r\n");
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(ReadFileBytes(m_file), lf);
}

TEST_F(IniCliTest, GetPrintsTheValueOrTheDefault) {
  WriteFileBytes(m_file, "[Option]\r\nMEM=32\r\n");
  CliRun run = runCli({"ini", "get", m_file.string(), "Option", "MEM"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "32\n");
  run = runCli({"ini", "get", m_file.string(), "Option", "LANG", "--default", "0"});
  EXPECT_EQ(run.out, "0\n");
  run = runCli({"ini", "get", m_file.string(), "option", "MEM"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "\n");
}

TEST_F(IniCliTest, ReadingCommandsNeverCreateAMissingFile) {
  for (const char* command : {"dump", "get"}) {
    std::vector<std::string> arguments{"ini", command, m_file.string()};
    if (std::string(command) == "get") {
      arguments.insert(arguments.end(), {"Option", "MEM"});
    }
    const CliRun run = runCli(arguments);
    EXPECT_EQ(run.status, 1) << command;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "tvx880: cannot open \"" + m_file.string() + "\": No such file or directory\n");
    EXPECT_FALSE(fs::exists(m_file)) << command;
  }
}

TEST_F(IniCliTest, SetWritesAndSaves) {
  WriteFileBytes(m_file, "[Option]\nLANG=0\nMEM=32\n");
  CliRun run = runCli({"ini", "set", m_file.string(), "Option", "LANG", "1"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(ReadFileBytes(m_file), "[Option]\r\nLANG=1\r\nMEM=32\r\n\r\n");

  const fs::path fresh = m_dir / "new.ini";
  run = runCli({"ini", "set", fresh.string(), "Head", "Version", "2"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadFileBytes(fresh), "[Head]\r\nVersion=2\r\n\r\n");

  run = runCli({"ini", "set", m_file.string(), "", "LANG", "1"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "tvx880: the section and the key must not be empty\n");
}

TEST_F(IniCliTest, FailedSetSaysSoAndKeepsTheFile) {
  const std::string original = "[Option]\r\nLANG=0\r\n\r\n";
  WriteFileBytes(m_file, original);
  // A file-size limit, inherited by the program, makes its save fail part way like a full disk.
  rlimit previous{};
  getrlimit(RLIMIT_FSIZE, &previous);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = previous;
  small.rlim_cur = 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const CliRun run =
      runCli({"ini", "set", m_file.string(), "Option", "TEXT", std::string(2000, 't')});
  setrlimit(RLIMIT_FSIZE, &previous);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err.rfind("tvx880: not saved: cannot write \"" + m_file.string() + "\": ", 0), 0U)
      << run.err;
  EXPECT_EQ(ReadFileBytes(m_file), original);
  EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.path()), {}), 1);
}

TEST_F(IniCliTest, UsageErrorsExitWith2) {
  EXPECT_EQ(runCli({"ini", "set", m_file.string(), "Option"}).status, 2);
  EXPECT_EQ(runCli({"ini", "get"}).status, 2);
  const CliRun help = runCli({"ini", "get", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--default"), std::string::npos);
}
