#include "upload/upload_engine.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "serial/pc_uart.h"
#include "serial/port_map.h"
#include "serial/posix_serial_device.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"
#include "upload/virtual_indicator.h"
#include "util/crc8.h"
#include "util/diagnostic_sink.h"
#include "util/error_text.h"
#include "util/local_event_loop.h"
#include "util/printf_format.h"

using namespace std::chrono_literals;
using namespace tvx;

namespace {

const LocalDateTime kSunday{2012, 10, 21, 7, 9, 5, 7};

class RecordingHost : public UploadHost {
 public:
  void clearLog() override {
    lines.clear();
    ++clears;
  }
  void logLine(const std::string& line) override {
    lines.push_back(line);
    if (onLine) {
      onLine(line);
    }
  }
  void setButtonCaption(const std::string& caption) override { captions.push_back(caption); }
  void setProgressMaximum(int maximum) override { progressMaximum = maximum; }
  void setProgressPosition(int position) override { progressPosition = position; }
  void noDeviceBehind(unsigned number) override { noDevice.push_back(number); }

  std::size_t indexOf(const std::string& line) const {
    return static_cast<std::size_t>(std::find(lines.begin(), lines.end(), line) - lines.begin());
  }
  bool has(const std::string& line) const { return indexOf(line) < lines.size(); }
  std::size_t countStartingWith(const std::string& prefix) const {
    return static_cast<std::size_t>(std::count_if(
        lines.begin(), lines.end(), [&](const auto& l) { return l.rfind(prefix, 0) == 0; }));
  }

  std::vector<std::string> lines;
  std::vector<std::string> captions;
  int clears = 0;
  int progressMaximum = -1;
  int progressPosition = -1;
  std::vector<unsigned> noDevice;
  std::function<void(const std::string&)> onLine;
};

// An image as the build writes it: the signature, then bytes that differ from packet to packet.
std::string romImage(std::size_t bytes) {
  std::string image(bytes, '\0');
  for (std::size_t i = 0; i < bytes; ++i) {
    image[i] = static_cast<char>((i * 31 + i / 4096) & 0xFF);
  }
  image.replace(0, 8, "KWXGLB2L");
  return image;
}

class UploadEngineTest : public ::testing::Test {
 protected:
  UploadEngineTest() : m_engine(m_host, m_uart, &m_loop) {
    m_uart.pw_Name("PcUart1");
    m_uart.pw_EventLoop(&m_loop);
    ApplyStoredPcUart1Settings(m_uart);
    m_engine.setLanguage(0);
    m_engine.writeHeaderFixedBytes();
    m_engine.setCloseDelay(10ms);
    m_engine.setPortRetryInterval(20ms);
    m_engine.setClock([] { return kSunday; });
    m_engine.setPortPath(link());
  }

  std::string link() const { return (m_dir / "indicator").string(); }

  std::string writeImage(const std::string& name, const std::string& bytes) {
    tvx::test::WriteFileBytes(m_dir / name, bytes);
    return (m_dir / name).string();
  }

  // A virtual indicator on its own thread, receiving one transfer; unpaced unless asked.
  std::future<std::optional<UploadTransferSummary>> startIndicator(
      unsigned baud = 0, std::size_t hangUpAfterBytes = 0) {
    VirtualIndicatorOptions options;
    options.linkPath = link();
    options.baud = baud;
    options.hangUpAfterBytes = hangUpAfterBytes;
    m_indicator = std::make_unique<VirtualIndicator>(options);
    const Result<void> opened = m_indicator->open();
    EXPECT_TRUE(opened) << ErrorText(opened.error(), 0);
    return std::async(std::launch::async, [this] { return m_indicator->receiveTransfer(); });
  }

  bool runUntilIdle(std::chrono::milliseconds timeout = 20s) {
    return m_loop.runUntil([&] { return !m_engine.busy(); }, timeout);
  }

  tvx::test::TempDir m_dir;
  tvx::LocalEventLoop m_loop;
  KwxCtrl::TPcUart m_uart;
  RecordingHost m_host;
  UploadEngine m_engine;
  std::unique_ptr<VirtualIndicator> m_indicator;
};

}  // namespace

TEST_F(UploadEngineTest, AWholeImageArrivesByteForByteWithItsLog) {
  const std::string image = romImage(4 * 1024 * 1024);
  const std::string path = writeImage("show.BIN", image);
  auto received = startIndicator();
  ASSERT_TRUE(m_engine.StartUpload(path));
  ASSERT_TRUE(runUntilIdle());
  const auto summary = received.get();
  ASSERT_TRUE(summary.has_value());

  EXPECT_EQ(summary->packetsGood, 1024u);
  EXPECT_EQ(summary->packetsBad, 0u) << summary->problems.front();
  EXPECT_EQ(std::string(summary->image.begin(), summary->image.end()), image);
  EXPECT_EQ(summary->clock, kSunday);
  EXPECT_EQ(m_engine.lastOutcome(), UploadOutcome::Completed);

  const auto& lines = m_host.lines;
  ASSERT_GE(lines.size(), 1024u + 8);
  EXPECT_EQ(lines[0], ">>> Open COM " + link() + " <<<");
  EXPECT_EQ(lines[1], "*** UpLoad data ***");
  EXPECT_EQ(lines[2], "=== Waiting target respond.... ===");
  EXPECT_EQ(lines[3], "PacketNum=00 , CRC = " +
                          YVclUtil::FormatPrintf("%02X", YVclUtil::Crc8Maxim(image.data(), 4096)));
  EXPECT_EQ(lines[3 + 1023].substr(0, 21), "PacketNum=3FF , CRC =");
  EXPECT_EQ(lines[3 + 1024].substr(0, 7), "Time = ");
  EXPECT_EQ(lines[3 + 1024].substr(lines[3 + 1024].size() - 3), " ms");
  EXPECT_EQ(lines[3 + 1025], "=========================");
  EXPECT_EQ(lines[3 + 1026], " Build and upload finish!");
  EXPECT_EQ(lines[3 + 1027], "=========================");
  EXPECT_EQ(lines[3 + 1028], ">>> Close COM " + link() + " <<<");
  EXPECT_EQ(m_host.progressMaximum, 1024);
  EXPECT_EQ(m_host.progressPosition, 1023);
  EXPECT_EQ(m_host.captions, (std::vector<std::string>{"Abort transmite", "Build and upload"}));
  EXPECT_FALSE(m_uart.pr_Opened());
}

TEST_F(UploadEngineTest, APartialLastPacketIsFilledWithErasedBytes) {
  const std::string image = romImage(2 * 4096 + 100);
  auto received = startIndicator();
  ASSERT_TRUE(m_engine.StartUpload(writeImage("odd.BIN", image)));
  ASSERT_TRUE(runUntilIdle());
  const auto summary = received.get();
  ASSERT_TRUE(summary.has_value());
  EXPECT_EQ(summary->packetsGood, 3u);
  EXPECT_EQ(std::string(summary->image.begin(), summary->image.end()),
            image + std::string(4096 - 100, '\xFF'));
}

TEST_F(UploadEngineTest, ClockSyncSendsOneHeaderAndLogsTheClockBanner) {
  m_engine.setLanguage(1);
  auto received = startIndicator();
  ASSERT_TRUE(m_engine.StartClockSync());
  ASSERT_TRUE(runUntilIdle());
  const auto summary = received.get();
  ASSERT_TRUE(summary.has_value());
  EXPECT_EQ(summary->bytesReceived, 64u);
  EXPECT_TRUE(summary->clockSet);
  EXPECT_EQ(summary->clock, kSunday);
  EXPECT_TRUE(summary->allGood());
  // Packet number and CRC keep what the last upload left: nothing yet.
  const auto& bytes = m_engine.header().bytes();
  EXPECT_EQ(bytes[4] | bytes[5] | bytes[12], 0);

  const auto& lines = m_host.lines;
  EXPECT_EQ(m_host.clears, 1);
  EXPECT_EQ(lines.front(), ">>> 開啟通訊埠 " + link() + " <<<");
  EXPECT_EQ(m_host.countStartingWith("傳輸時間 = "), 1u);
  EXPECT_TRUE(m_host.has("    時鐘資料同步完成     "));
  EXPECT_EQ(lines.back(), ">>> 關閉通訊埠 " + link() + " <<<");
  EXPECT_EQ(m_host.captions, (std::vector<std::string>{"中止傳送", "製作與連線上傳"}));
}

TEST_F(UploadEngineTest, AbortMidTransferClosesThePortAndNoPacketFollows) {
  auto received = startIndicator(921600);
  m_host.onLine = [this](const std::string& line) {
    if (line.rfind("PacketNum=05", 0) == 0) {
      m_loop.post([this] { m_engine.Abort(); });
    }
  };
  ASSERT_TRUE(m_engine.StartUpload(writeImage("show.BIN", romImage(64 * 4096))));
  ASSERT_TRUE(runUntilIdle());
  EXPECT_EQ(m_engine.lastOutcome(), UploadOutcome::Aborted);
  const std::size_t closeAt = m_host.indexOf(">>> Close COM " + link() + " <<<");
  ASSERT_LT(closeAt, m_host.lines.size());
  EXPECT_EQ(closeAt, m_host.lines.size() - 1);
  const std::size_t sent = m_host.countStartingWith("PacketNum=");
  EXPECT_LT(sent, 64u);
  EXPECT_EQ(m_host.lines[closeAt - 1],
            "Aborted: " + std::to_string(sent) +
                " of 64 packets sent; the indicator now holds an incomplete image, uploading "
                "again restores it");
  EXPECT_EQ(m_host.countStartingWith("Time = "), 0u);
  EXPECT_EQ(m_host.captions.back(), "Build and upload");
  EXPECT_FALSE(m_uart.pr_Opened());
  // Nothing more arrives later.
  const std::size_t lineCount = m_host.lines.size();
  m_loop.runFor(50ms);
  EXPECT_EQ(m_host.lines.size(), lineCount);
  m_indicator->stop();
  received.wait();
}

TEST_F(UploadEngineTest, APulledCableStopsTheTransferAndAReplugWorks) {
  auto received = startIndicator(0, 5 * 4160 + 1000);
  ASSERT_TRUE(m_engine.StartUpload(writeImage("show.BIN", romImage(256 * 4096))));
  ASSERT_TRUE(runUntilIdle());
  EXPECT_EQ(m_engine.lastOutcome(), UploadOutcome::PortLost);
  const std::size_t lostAt =
      m_host.countStartingWith("Err: COM port lost (USB cable unplugged?), stopped at packet ");
  EXPECT_EQ(lostAt, 1u);
  EXPECT_EQ(m_host.lines.back(), ">>> Close COM " + link() + " <<<");
  EXPECT_LT(m_host.countStartingWith("PacketNum="), 256u);
  EXPECT_FALSE(m_uart.pr_Opened());
  const auto dropped = received.get();
  ASSERT_TRUE(dropped.has_value());
  EXPECT_FALSE(dropped->allGood());

  // The same cable plugged in again: a new line behind the same link.
  auto again = startIndicator();
  const std::string image = romImage(8 * 4096);
  ASSERT_TRUE(m_engine.StartUpload(writeImage("small.BIN", image)));
  ASSERT_TRUE(runUntilIdle());
  EXPECT_EQ(m_engine.lastOutcome(), UploadOutcome::Completed);
  const auto summary = again.get();
  ASSERT_TRUE(summary.has_value());
  EXPECT_TRUE(summary->allGood());
  EXPECT_EQ(std::string(summary->image.begin(), summary->image.end()), image);
}

TEST_F(UploadEngineTest, ThePortLostMessageIsInChineseToo) {
  m_engine.setLanguage(1);
  auto received = startIndicator(0, 4160 + 10);
  ASSERT_TRUE(m_engine.StartUpload(writeImage("show.BIN", romImage(64 * 4096))));
  ASSERT_TRUE(runUntilIdle());
  EXPECT_EQ(m_host.countStartingWith("錯誤: 通訊埠已中斷 (USB 連接線被拔除?), 傳送停止於封包 "),
            1u);
  EXPECT_EQ(m_host.lines.back(), ">>> 關閉通訊埠 " + link() + " <<<");
  received.wait();
}

namespace {

// The system's device, except that chosen writes come out short or fail outright (the device
// itself stays there).
class FaultyWrites : public platform::PosixSerialDevice {
 public:
  FaultyWrites(int shortWrite, int failedWrite) : m_short(shortWrite), m_failed(failedWrite) {}

  platform::SerialWriteStatus write(const void* data, std::size_t bytes,
                                    std::size_t& written) override {
    ++m_count;
    if (m_count == m_failed) {
      written = 0;
      return platform::SerialWriteStatus::Failed;
    }
    const auto status =
        PosixSerialDevice::write(data, m_count == m_short ? bytes / 2 : bytes, written);
    return m_count == m_short ? platform::SerialWriteStatus::Short : status;
  }

 private:
  int m_short;
  int m_failed;
  int m_count = 0;
};

}  // namespace

TEST_F(UploadEngineTest, ShortAndFailedWritesDoNotStopTheTransfer) {
  // Write 6 is packet 2's data, write 9 packet 4's header.
  m_uart.pw_DeviceFactory([] { return std::make_unique<FaultyWrites>(6, 9); });
  auto received = startIndicator();
  ASSERT_TRUE(m_engine.StartUpload(writeImage("show.BIN", romImage(8 * 4096))));
  ASSERT_TRUE(runUntilIdle());
  EXPECT_EQ(m_engine.lastOutcome(), UploadOutcome::Completed);
  EXPECT_EQ(m_host.countStartingWith("PacketNum="), 8u);
  EXPECT_EQ(m_host.countStartingWith("Err:"), 0u);
  const auto summary = received.get();
  ASSERT_TRUE(summary.has_value());
  EXPECT_FALSE(summary->allGood());
  EXPECT_EQ(summary->bytesReceived, 8u * 4160 - 2048 - 64);
}

TEST_F(UploadEngineTest, UploadOnlyRefusesWrongFilesWithoutOpeningThePort) {
  m_engine.StartUploadOnly(writeImage("plain.BIN", std::string(4096, 'x')));
  EXPECT_EQ(m_host.lines, (std::vector<std::string>{"Err: File format error!"}));
  EXPECT_EQ(m_engine.lastOutcome(), UploadOutcome::Refused);
  EXPECT_FALSE(m_engine.busy());

  const std::string tooBig = writeImage("big.BIN", romImage(4194304 + 1));
  m_engine.StartUploadOnly(tooBig);
  EXPECT_EQ(m_host.lines, (std::vector<std::string>{"Err: Out of memory!!"}));
  m_engine.setLanguage(1);
  m_engine.StartUploadOnly(tooBig);
  EXPECT_EQ(m_host.lines,
            (std::vector<std::string>{"錯誤: 資料記憶體不足,請刪減使用背景圖檔或自定圖檔數量"}));
  EXPECT_EQ(m_host.clears, 3);
  EXPECT_TRUE(m_host.captions.empty());
  EXPECT_FALSE(m_uart.pr_Opened());

  // With the 64 Mb memory the same file is taken (and the wait for the port begins).
  m_engine.setLanguage(0);
  m_engine.setMemorySetting(64);
  EXPECT_TRUE(m_engine.StartUploadOnly(tooBig));
  EXPECT_EQ(m_host.lines[0], "use 64Mb memory.");
  EXPECT_EQ(m_engine.packetCount(), 1025);
  m_engine.Abort();
}

TEST_F(UploadEngineTest, UnreadableImagesAreReportedAndNothingStarts) {
  EXPECT_FALSE(m_engine.StartUpload((m_dir / "missing.BIN").string()));
  EXPECT_FALSE(m_engine.StartUpload(m_dir.path().string()));
  EXPECT_FALSE(m_engine.StartUpload(writeImage("empty.BIN", "")));
  ASSERT_EQ(m_host.lines.size(), 3u);
  EXPECT_EQ(m_host.lines[0], "Err: Can not read the ROM image " + (m_dir / "missing.BIN").string() +
                                 " (no such file)");
  EXPECT_EQ(m_host.lines[1],
            "Err: Can not read the ROM image " + m_dir.path().string() + " (not a regular file)");
  EXPECT_EQ(m_host.lines[2], "Err: The ROM image is empty " + (m_dir / "empty.BIN").string());
  EXPECT_EQ(m_engine.state(), UploadState::Idle);
  EXPECT_EQ(m_engine.lastOutcome(), UploadOutcome::Refused);
}

TEST_F(UploadEngineTest, WithoutTheLibraryFileTheHeaderIsEmptyAndNothingIsSent) {
  KwxCtrl::TPcUart uart;
  RecordingHost host;
  UploadEngine engine(host, uart, &m_loop);
  engine.setLanguage(0);
  EXPECT_FALSE(engine.StartUpload(writeImage("show.BIN", romImage(4096))));
  EXPECT_FALSE(engine.StartClockSync());
  EXPECT_EQ(host.lines.back(), "Err: T880_PCGLB.GLB not found, can not upload");
}

TEST_F(UploadEngineTest, WaitingForThePortKeepsTheLoopRunningAndCanBeCancelled) {
  ASSERT_TRUE(m_engine.StartUpload(writeImage("show.BIN", romImage(4096))));
  EXPECT_EQ(m_engine.state(), UploadState::WaitingForPort);
  int ticks = 0;
  m_loop.startTimer(5ms, EventLoop::TimerMode::Repeating, [&] { ++ticks; });
  m_loop.runFor(100ms);
  EXPECT_GE(ticks, 5);
  EXPECT_EQ(m_host.lines, (std::vector<std::string>{">> Please insert USB connector..<<",
                                                    ">> Waiting for " + link() +
                                                        "; press the button / Ctrl-C to stop <<"}));
  m_engine.Abort();
  EXPECT_EQ(m_engine.state(), UploadState::Idle);
  EXPECT_EQ(m_engine.lastOutcome(), UploadOutcome::Aborted);
  EXPECT_EQ(m_host.lines.back(), ">>> Waiting for COM cancelled <<<");
  EXPECT_TRUE(m_host.captions.empty());
}

TEST_F(UploadEngineTest, APortThatAppearsLaterIsOpenedByTheRetry) {
  ASSERT_TRUE(m_engine.StartClockSync());
  EXPECT_EQ(m_engine.state(), UploadState::WaitingForPort);
  m_loop.runFor(50ms);
  auto received = startIndicator();
  ASSERT_TRUE(runUntilIdle());
  EXPECT_EQ(m_engine.lastOutcome(), UploadOutcome::Completed);
  EXPECT_EQ(m_host.countStartingWith(">> Please insert USB connector..<<"), 1u);
  const auto summary = received.get();
  ASSERT_TRUE(summary.has_value());
  EXPECT_TRUE(summary->clockSet);
}

// The number chosen or nothing: never the port the component had before.
TEST_F(UploadEngineTest, APortNumberWithoutADeviceIsRefusedAndAnyMappedNumberOpens) {
  platform::CurrentPortMap().setExplicit(5, link());
  m_uart.pw_UartPortNumber(5);
  m_engine.setPortNumber(17);
  int builds = 0;
  m_engine.SpeedButton3Click([&] { ++builds; });
  EXPECT_EQ(builds, 0);
  EXPECT_FALSE(m_engine.StartClockSync());
  const std::string refusal =
      "Err: no device is behind COM 17, nothing was opened (see `tvx880 ports`)";
  EXPECT_EQ(m_host.lines, std::vector<std::string>{refusal});
  EXPECT_EQ(m_host.noDevice, (std::vector<unsigned>{17, 17}));
  EXPECT_EQ(m_engine.lastOutcome(), UploadOutcome::PortUnusable);
  EXPECT_FALSE(m_uart.pr_Opened());
  EXPECT_FALSE(m_engine.busy());

  platform::CurrentPortMap().setExplicit(17, link());
  auto received = startIndicator();
  ASSERT_TRUE(m_engine.StartClockSync());
  ASSERT_TRUE(runUntilIdle());
  platform::CurrentPortMap().removeExplicit(5);
  platform::CurrentPortMap().removeExplicit(17);
  EXPECT_EQ(m_host.lines.front(), ">>> Open COM 17 <<<");
  EXPECT_EQ(m_host.lines.back(), ">>> Close COM 17 <<<");
  EXPECT_EQ(m_engine.lastOutcome(), UploadOutcome::Completed);
  received.wait();
}

// Another program holds the line: the engine says so once and takes the port once it is free.
TEST_F(UploadEngineTest, APortInUseIsWaitedForUntilItIsFree) {
  auto received = startIndicator();
  const int holder = ::open(link().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(ioctl(holder, TIOCEXCL), 0);
  platform::CurrentPortMap().setExplicit(3, link());
  m_engine.setPortNumber(3);
  ASSERT_TRUE(m_engine.StartClockSync());
  m_loop.runFor(100ms);
  EXPECT_EQ(m_engine.state(), UploadState::WaitingForPort);
  EXPECT_EQ(
      m_host.lines,
      (std::vector<std::string>{">> COM 3 (" + link() +
                                ") is in use by another program: close it; still trying, press the "
                                "button / Ctrl-C to stop <<"}));
  ioctl(holder, TIOCNXCL);
  ::close(holder);
  ASSERT_TRUE(runUntilIdle());
  platform::CurrentPortMap().removeExplicit(3);
  EXPECT_EQ(m_engine.lastOutcome(), UploadOutcome::Completed);
  EXPECT_EQ(m_host.lines[1], ">>> Open COM 3 <<<");
  received.wait();
}

// What is no serial port is refused at once, without retries.
TEST_F(UploadEngineTest, AFileOrDevNullIsNoSerialPort) {
  const std::string plain = writeImage("plain.txt", "text");
  for (const std::string& path : {plain, std::string("/dev/null")}) {
    m_engine.setPortPath(path);
    EXPECT_FALSE(m_engine.StartClockSync());
    EXPECT_EQ(m_host.lines, std::vector<std::string>{"Err: " + path +
                                                     " is not a serial port; choose another port"});
    EXPECT_EQ(m_engine.lastOutcome(), UploadOutcome::PortUnusable);
    EXPECT_EQ(m_engine.state(), UploadState::Idle);
  }
  m_engine.setLanguage(1);
  EXPECT_FALSE(m_engine.StartClockSync());
  EXPECT_EQ(m_host.lines.front(), "錯誤: /dev/null 不是序列埠, 請選擇另一個通訊埠");
}

// A port the user may not open: the line names the fix and nothing is retried. Root may open
// anything, so the engine runs in a child that has become "nobody".
TEST_F(UploadEngineTest, APortWithoutPermissionNamesTheDialoutGroupAndStops) {
  tvx::test::PtyPair line;
  ASSERT_EQ(::chmod(line.slavePath().c_str(), 0), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) {
      _exit(10);
    }
    LocalEventLoop loop;
    KwxCtrl::TPcUart uart;
    uart.pw_EventLoop(&loop);
    RecordingHost host;
    UploadEngine engine(host, uart, &loop);
    engine.setLanguage(0);
    engine.writeHeaderFixedBytes();
    engine.setPortRetryInterval(10ms);
    engine.setPortPath(line.slavePath());
    const bool started = engine.StartClockSync();
    loop.runFor(50ms);
    const std::string expected =
        "Err: no permission to open " + line.slavePath() +
        ": on Debian, add yourself to the dialout group (sudo adduser $USER dialout), then log in "
        "again";
    const int code = started                                               ? 11
                     : host.lines != std::vector<std::string>{expected}    ? 12
                     : engine.lastOutcome() != UploadOutcome::PortUnusable ? 13
                                                                           : 0;
    for (const std::string& logged : code != 0 ? host.lines : std::vector<std::string>{}) {
      std::fprintf(stderr, "child logged: %s\n", logged.c_str());
    }
    _exit(code);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0)
      << "10 no unprivileged user, 11 started, 12 the log, 13 outcome";
}

TEST_F(UploadEngineTest, TheButtonStartsAbortsAndTheTimerOnlyCloses) {
  int builds = 0;
  m_engine.SpeedButton3Click([&] { ++builds; });
  EXPECT_EQ(builds, 1);

  // A click in the finished state closes at once; the timer then must not start anything.
  m_engine.setCloseDelay(200ms);
  m_engine.setClockSync(true);
  auto received = startIndicator();
  m_engine.SpeedButton3Click([&] { ++builds; });
  ASSERT_TRUE(m_loop.runUntil([&] { return m_engine.state() == UploadState::Finished; }, 5s));
  m_engine.SpeedButton3Click([&] { ++builds; });
  EXPECT_EQ(m_engine.state(), UploadState::Idle);
  EXPECT_EQ(m_engine.lastOutcome(), UploadOutcome::Completed);
  const std::size_t lineCount = m_host.lines.size();
  m_loop.runFor(300ms);
  EXPECT_EQ(m_host.lines.size(), lineCount);
  EXPECT_EQ(builds, 1);
  EXPECT_FALSE(m_engine.busy());
  received.wait();
}

TEST_F(UploadEngineTest, ReceivedBytesAreDumpedOnlyWhenAsked) {
  tvx::test::PtyPair line;
  m_engine.setPortPath(line.slavePath());
  m_engine.setCloseDelay(10s);
  ASSERT_TRUE(m_engine.StartClockSync());
  ASSERT_TRUE(m_loop.runUntil([&] { return m_engine.state() == UploadState::Finished; }, 5s));
  EXPECT_EQ(line.receive(64).size(), 64u);
  line.send(std::string("\x01\xAB", 2));
  m_loop.runFor(200ms);
  m_engine.setReceiveDump(true);
  line.send(std::string("\x7F\x00\x10", 3));
  ASSERT_TRUE(m_loop.runUntil([&] { return m_host.lines.back() == "7F 00 10"; }, 5s));
  EXPECT_EQ(m_host.countStartingWith("01 AB"), 0u);
  m_engine.Abort();
  EXPECT_FALSE(m_uart.pr_Opened());
}
