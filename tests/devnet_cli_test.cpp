#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "devnet_fake_bridge.h"
#include "support/temp_dir.h"

using tvx::test::FakeBridge;

namespace {

constexpr char kTopology[] =
    "[HcnTopologic.Head]\r\nSignature=KWX\r\n\r\n"
    "[NetSegmentId_0x80]\r\nTravel_000= Device( \"TVX_4i4o\" ) , NetNodeId( 0x01 )\r\n\r\n"
    "[NetSegmentId_0x05]\r\nTravel_000= Device( \"TVX_4i4o\" ) , NetNodeId( 0x12 )\r\n\r\n";

struct CliRun {
  int status = -1;
  std::string output;  // standard output and standard error
};

// Runs a shell command line and collects what it printed.
CliRun runShell(const std::string& command) {
  CliRun result;
  std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  char buffer[512];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    result.output.append(buffer, n);
  }
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string quoted(const std::string& text) {
  return "'" + text + "'";
}

// "tvx880 net ..." with the fake bridge at the other end of the line.
class NetCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(TVX_CLI_PATH)) {
      GTEST_SKIP() << "the tvx880 program has not been built";
    }
    tvx::test::WriteFileBytes(dir / "net.ini", kTopology);
    tvx::test::WriteFileBytes(dir / "input.txt", "");
  }

  // "net connect" with the arguments; stdinText is its standard input.
  CliRun run(const std::string& arguments, const std::string& stdinText = "") {
    tvx::test::WriteFileBytes(dir / "input.txt", stdinText);
    return runShell(quoted(TVX_CLI_PATH) + " net connect --port " + quoted(fake.path()) +
                    " --topology " + quoted((dir / "net.ini").string()) + " " + arguments + " < " +
                    quoted((dir / "input.txt").string()));
  }
  CliRun check() {
    return runShell(quoted(TVX_CLI_PATH) + " net check --topology " +
                    quoted((dir / "net.ini").string()));
  }

  FakeBridge fake;
  tvx::test::TempDir dir;
};

}  // namespace

TEST_F(NetCommandTest, SetsOutputsAndShowsTheInputsThatChange) {
  fake.setRegister('1', 0x02);
  fake.setResponder([](const std::string& line) -> std::vector<std::string> {
    if (line == ">051202840F") {  // the module's outputs drive its inputs
      return {"@0512028105\r\n"};
    }
    return {};
  });
  const CliRun result =
      run("-c modules -c 'set 05 12 0F' -c 'wait 300' -c 'bit 0x80 0x01 2 1' -c inputs");
  EXPECT_EQ(result.status, 0) << result.output;
  EXPECT_NE(result.output.find("connected to the bridge on " + fake.path() +
                               ": outputs 00, inputs 02, largest packet 11 bytes, 2 module(s)"),
            std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("05/12  outputs 00  inputs 00 (was 00)"), std::string::npos);
  EXPECT_NE(result.output.find("05/12 inputs 05 (was 00): X0=1 X1=0 X2=1 X3=0"), std::string::npos)
      << result.output;
  EXPECT_NE(result.output.find("bridge inputs 02: X0=0 X1=1 X2=0 X3=0"), std::string::npos);
  EXPECT_TRUE(fake.waitForLine(">051202840F"));
  EXPECT_TRUE(
      fake.waitForLine(">80010284"
                       "04"));
}

TEST_F(NetCommandTest, ScriptOnStandardInputStopsAtItsFirstError) {
  const CliRun result = run("", "reg\nset 05 13 01\nreg RE\n");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.output.find("R7 (largest packet) 11"), std::string::npos) << result.output;
  EXPECT_NE(result.output.find("error: no module at 05/13 in the topology file"), std::string::npos)
      << result.output;
  EXPECT_EQ(result.output.find("RE 00"), std::string::npos);

  const CliRun unknown = run("-c 'blink 05 12'");
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.output.find("error: unknown command \"blink\" (try help)"), std::string::npos);
  const CliRun badValue = run("-c 'set 05 12 100'");
  EXPECT_NE(badValue.output.find("error: \"100\" is no byte value (00..FF, hexadecimal)"),
            std::string::npos)
      << badValue.output;
}

TEST_F(NetCommandTest, ExplainsWhyItCannotConnect) {
  fake.keepQuietAbout("*");
  const CliRun silent = run("-c modules");
  EXPECT_EQ(silent.status, 1);
  EXPECT_NE(
      silent.output.find("tvx880: the bridge on " + fake.path() + " did not answer within 2 s"),
      std::string::npos)
      << silent.output;

  tvx::test::WriteFileBytes(dir / "net.ini", "[HcnTopologic.Head]\r\nSignature=XYZ\r\n");
  const CliRun badFile = run("-c modules");
  EXPECT_EQ(badFile.status, 1);
  EXPECT_NE(badFile.output.find("tvx880: Err: Invalid header in the topologic ini file !!!; "
                                "ComponentName = tvx880-net; FileName = "),
            std::string::npos)
      << badFile.output;
}

TEST_F(NetCommandTest, ChecksATopologyFileWithoutABridge) {
  const CliRun good = check();
  EXPECT_EQ(good.status, 0);
  EXPECT_EQ(good.output,
            "05/12  TVX_4i4o\n80/01  TVX_4i4o\n" + (dir / "net.ini").string() + ": 2 module(s)\n");

  tvx::test::WriteFileBytes(dir / "net.ini",
                            "[HcnTopologic.Head]\r\nSignature=KWX\r\n[NetSegmentId_0x80]\r\n"
                            "Travel_004= Device( \"TVX_4i4o\" ) NetNodeId( 0x01 )\r\n");
  const CliRun bad = check();
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.output,
            "tvx880: Err: Invalid syntax in the topologic ini file !!!; ComponentName = "
            "tvx880-net; FileName = " +
                (dir / "net.ini").string() +
                "; IniSection = NetSegmentId_0x80; IniKey = Travel_004\n");
}
