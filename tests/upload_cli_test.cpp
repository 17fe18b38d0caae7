#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/cli_run.h"
#include "support/sound_rom_image.h"
#include "support/temp_dir.h"

using namespace std::chrono_literals;

namespace {

using tvx::test::Tvx880Process;

class UploadCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(TVX_CLI_PATH)) {
      GTEST_SKIP() << "tvx880 is not built";
    }
  }

  std::string path(const std::string& name) const { return (m_dir / name).string(); }

  // Runs to the end; answers the exit status.
  int run(const std::vector<std::string>& args, const std::string& name = "run") {
    Tvx880Process program(args, m_dir / (name + ".out"), m_dir / (name + ".err"));
    return program.wait();
  }
  std::string out(const std::string& name = "run") {
    return tvx::test::ReadFileBytes(m_dir / (name + ".out"));
  }
  std::string err(const std::string& name = "run") {
    return tvx::test::ReadFileBytes(m_dir / (name + ".err"));
  }

  // Starts `tvx880 sim` and waits until its link is there.
  std::unique_ptr<Tvx880Process> startSim(const std::vector<std::string>& extra) {
    std::vector<std::string> args = {"sim", "--link", path("indicator"), "--once"};
    args.insert(args.end(), extra.begin(), extra.end());
    auto sim = std::make_unique<Tvx880Process>(args, m_dir / "sim.out", m_dir / "sim.err");
    for (int i = 0; i < 500 && !std::filesystem::is_symlink(path("indicator")); ++i) {
      std::this_thread::sleep_for(5ms);
    }
    EXPECT_TRUE(std::filesystem::is_symlink(path("indicator")));
    return sim;
  }

  std::string image(std::size_t packets) {
    std::string bytes(packets * 4096, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      bytes[i] = static_cast<char>(i * 13 + i / 4096);
    }
    bytes.replace(0, 8, "KWXGLB2L");
    tvx::test::WriteFileBytes(m_dir / "show.BIN", bytes);
    return bytes;
  }

  tvx::test::TempDir m_dir;
};

}  // namespace

// A partial image of 96 KiB fails its checks: only --force sends it.
TEST_F(UploadCliTest, UploadToTheVirtualIndicatorArrivesWhole) {
  const std::string bytes = image(24);
  auto sim = startSim({"--baud", "0", "--out", path("received.bin")});
  EXPECT_EQ(run({"upload", path("show.BIN"), "--port", path("indicator"), "--close-delay", "20",
                 "--force"}),
            0)
      << err();
  EXPECT_EQ(sim->wait(), 0) << sim->err();
  EXPECT_EQ(tvx::test::ReadFileBytes(m_dir / "received.bin"), bytes);
  const std::string log = out();
  EXPECT_EQ(log.rfind("use 32Mb memory.\n"
                      "Err: The ROM image fails its checks:\n"
                      "  its size, 98304 bytes, is not that of a whole 4 MiB or 8 MiB image (a "
                      "partial file?)\n"
                      ">>> Uploading anyway <<<\n"
                      ">>> Open COM " +
                          path("indicator") + " <<<\n",
                      0),
            0u)
      << log.substr(0, 400);
  EXPECT_NE(log.find("PacketNum=13 , CRC = "), std::string::npos);
  EXPECT_NE(log.find(" Build and upload finish!\n"), std::string::npos);
  EXPECT_NE(sim->out().find("transfer 1: 24 packets good, 0 bad; clock set to "),
            std::string::npos);
  // The link goes with the indicator.
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(path("indicator"))));
}

TEST_F(UploadCliTest, ClockSettingInChinese) {
  auto sim = startSim({"--baud", "0"});
  EXPECT_EQ(run({"clock", "--port", path("indicator"), "--lang", "zh", "--close-delay", "0"}), 0)
      << err();
  EXPECT_EQ(sim->wait(), 0);
  EXPECT_NE(out().find("    時鐘資料同步完成     "), std::string::npos);
  EXPECT_NE(sim->out().find("0 packets good, 0 bad; clock set to "), std::string::npos);
}

TEST_F(UploadCliTest, CtrlCAbortsAndClosesThePort) {
  image(64);
  auto sim = startSim({"--baud", "460800"});
  Tvx880Process upload({"upload", path("show.BIN"), "--port", path("indicator"), "--force"},
                       m_dir / "up.out", m_dir / "up.err");
  for (int i = 0; i < 500 && upload.out().find("PacketNum=01") == std::string::npos; ++i) {
    std::this_thread::sleep_for(5ms);
  }
  upload.interrupt();
  EXPECT_EQ(upload.wait(), 1);
  const std::string log = upload.out();
  const std::string closeLine = ">>> Close COM " + path("indicator") + " <<<\n";
  ASSERT_GE(log.size(), closeLine.size());
  EXPECT_EQ(log.substr(log.size() - closeLine.size()), closeLine);
  EXPECT_NE(log.find(" of 64 packets sent; the indicator now holds an incomplete image, uploading "
                     "again restores it\n" +
                     closeLine),
            std::string::npos);
  EXPECT_EQ(upload.err(), "tvx880: upload aborted\n");
  sim->interrupt();
}

TEST_F(UploadCliTest, RefusalsAndBadArguments) {
  tvx::test::WriteFileBytes(m_dir / "plain.BIN", std::string(4096, 'x'));
  EXPECT_EQ(run({"upload", path("plain.BIN"), "--port", "COM1"}), 1);
  EXPECT_EQ(out(), "Err: File format error!\n");
  EXPECT_EQ(err(), "tvx880: nothing was uploaded\n");

  EXPECT_EQ(run({"upload", path("missing.BIN"), "--port", "COM1"}), 1);
  EXPECT_NE(out().find("Err: Can not read the ROM image "), std::string::npos);

  EXPECT_EQ(run({"upload", path("plain.BIN"), "--port", "ttyUSB0"}), 2);
  EXPECT_NE(err().find("neither COMn nor a device path"), std::string::npos);
  EXPECT_EQ(run({"clock", "--port", "COM1", "--map", "COM1"}), 2);
  EXPECT_EQ(run({"upload", path("plain.BIN"), "--port", "COM1", "--mem", "48"}), 2);
  EXPECT_EQ(run({"clock"}), 2);
}

TEST_F(UploadCliTest, ImagesThatFailTheirChecksAreRefusedUnlessForced) {
  const std::string refused =
      "tvx880: the ROM image fails its checks, nothing was uploaded (--force sends it anyway)\n";
  image(24);
  EXPECT_EQ(run({"upload", path("show.BIN"), "--port", path("indicator")}), 1);
  EXPECT_NE(out().find("  its size, 98304 bytes, is not that of a whole"), std::string::npos);
  EXPECT_EQ(err(), refused);

  std::string sound = tvx::test::SoundRomImage();
  tvx::test::WriteFileBytes(m_dir / "sound.BIN", sound);
  EXPECT_EQ(run({"upload", path("sound.BIN"), "--port", path("indicator"), "--mem", "64"}), 1);
  EXPECT_EQ(out(),
            "use 64Mb memory.\nErr: The ROM image fails its checks:\n"
            "  a 4 MiB image does not match the memory setting of 64 Mb\n"
            "Err: The ROM image is not sent\n");
  EXPECT_EQ(err(), refused);

  sound[tvx::test::HeaderCrcOffset()] ^= 0x5A;
  tvx::test::WriteFileBytes(m_dir / "crc.BIN", sound);
  EXPECT_EQ(run({"upload", path("crc.BIN"), "--port", path("indicator"), "--lang", "zh"}), 1);
  EXPECT_NE(out().find("  標頭 CRC 0x"), std::string::npos) << out();

  auto sim = startSim({"--baud", "0", "--out", path("received.bin")});
  EXPECT_EQ(run({"upload", path("crc.BIN"), "--port", path("indicator"), "--force", "--close-delay",
                 "0", "--no-progress"}),
            0)
      << err();
  EXPECT_EQ(sim->wait(), 0) << sim->err();
  EXPECT_EQ(tvx::test::ReadFileBytes(m_dir / "received.bin"), sound);
}

// None of these waits: each ends at once with exit status 1 and says why.
TEST_F(UploadCliTest, PortsThatCannotBeUsedAreRefused) {
  EXPECT_EQ(run({"clock", "--port", "COM 17"}), 1);
  EXPECT_EQ(out(), "Err: no device is behind COM 17, nothing was opened (see `tvx880 ports`)\n");
  EXPECT_EQ(err(), "tvx880: no device is behind COM 17, nothing was opened (see `tvx880 ports`)\n");

  tvx::test::WriteFileBytes(m_dir / "notes.txt", "not a port");
  for (const std::string& port : {path("notes.txt"), std::string("/dev/null")}) {
    EXPECT_EQ(run({"clock", "--port", port}), 1);
    EXPECT_EQ(err(), "tvx880: " + port + " is not a serial port; choose another port\n");
  }
}

TEST_F(UploadCliTest, PortsListsTheMap) {
  EXPECT_EQ(run({"ports", "--map", "COM9=" + path("line")}), 0);
  EXPECT_NE(out().find("COM 9   " + path("line")), std::string::npos);
  EXPECT_NE(out().find("(mapped)"), std::string::npos);
  EXPECT_EQ(run({"ports", "--map", "nine"}), 2);
}
