// The example program of docs/devnet.md, built here and run against the fake bridge.
#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <sstream>
#include <string>

#include "devnet_fake_bridge.h"
#include "support/temp_dir.h"

#define main devnetExampleMain
#include "../docs/devnet_example.cpp"
#undef main

namespace {

std::string fileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

}  // namespace

TEST(DevnetExampleTest, DocumentShowsTheProgramThatIsBuilt) {
  const std::string document = fileText(std::string(TVX_SOURCE_DIR) + "/docs/devnet.md");
  const std::string program = fileText(std::string(TVX_SOURCE_DIR) + "/docs/devnet_example.cpp");
  ASSERT_FALSE(program.empty());
  EXPECT_NE(document.find("```cpp\n" + program + "```\n"), std::string::npos)
      << "docs/devnet.md must show docs/devnet_example.cpp as it is";
}

TEST(DevnetExampleTest, LampFollowsTheButton) {
  tvx::test::FakeBridge fake;
  tvx::test::TempDir dir;
  tvx::test::WriteFileBytes(dir / "plant.ini",
                            "[HcnTopologic.Head]\r\nSignature=KWX\r\n\r\n[NetSegmentId_0x80]\r\n"
                            "Travel_000= Device( \"TVX_4i4o\" ) , NetNodeId( 0x01 )\r\n"
                            "Travel_001= Device( \"TVX_4i4o\" ) , NetNodeId( 0x02 )\r\n");
  std::string port = fake.path();
  std::string topology = (dir / "plant.ini").string();
  char name[] = "devnet_example";
  char* argv[] = {name, port.data(), topology.data(), nullptr};
  auto program = std::async(std::launch::async, [&] { return devnetExampleMain(3, argv); });

  ASSERT_TRUE(fake.waitForLine(">8001028400"));  // connected: the lamp goes off
  fake.clearReceived();
  fake.send("@8002028101\r\n");  // button pressed
  ASSERT_TRUE(fake.waitForLine(">8001028401"));
  fake.clearReceived();
  fake.send("@8002028100\r\n");  // released
  ASSERT_TRUE(fake.waitForLine(">8001028400"));
  fake.send("@8002028108\r\n");  // input 3: stop
  ASSERT_EQ(program.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_EQ(program.get(), 0);
}
