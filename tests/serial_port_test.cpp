#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "serial/comm_event_monitor_thread.h"
#include "serial/pc_uart.h"
#include "serial/port_map.h"
#include "serial/posix_serial_device.h"
#include "support/pty_pair.h"
#include "support/temp_dir.h"
#include "util/local_event_loop.h"

using namespace std::chrono_literals;
using namespace YVclCtrl;
using tvx::platform::kEvCts;
using tvx::platform::kEvErr;
using tvx::platform::kEvRxChar;
using tvx::platform::kEvTxEmpty;

namespace {

class UartPortTest : public ::testing::Test {
 protected:
  UartPortTest() {
    m_uart.pw_Name("PcUart1");
    m_uart.pw_EventLoop(&m_loop);
    m_uart.pw_UartDevicePath(m_pty.slavePath());
    m_uart.pw_UartBaud(115200);
    m_uart.pw_OnTxdEmpty([this](tvx::platform::TComponent*) { ++m_txdEmpty; });
  }

  bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s) {
    return m_loop.runUntil(done, timeout);
  }

  tvx::LocalEventLoop m_loop;
  tvx::test::PtyPair m_pty;
  KwxCtrl::TPcUart m_uart;
  int m_txdEmpty = 0;
};

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

TEST_F(UartPortTest, OpensByPathOrByNumberOnceAndClosesAgain) {
  ASSERT_TRUE(m_uart.Open()) << m_uart.pr_LastErrMsg();
  EXPECT_TRUE(m_uart.pr_Opened());
  EXPECT_EQ(m_uart.pr_OpenedPath(), m_pty.slavePath());
  TCommEventMonitorThread* monitor = m_uart.pr_MonitorThread();
  ASSERT_NE(monitor, nullptr);
  // Opening an open port changes nothing.
  EXPECT_TRUE(m_uart.Open());
  EXPECT_EQ(m_uart.pr_MonitorThread(), monitor);
  EXPECT_TRUE(m_uart.Close());
  EXPECT_FALSE(m_uart.pr_Opened());
  EXPECT_EQ(m_uart.pr_MonitorThread(), nullptr);

  tvx::platform::CurrentPortMap().setExplicit(7, m_pty.slavePath());
  m_uart.pw_UartDevicePath("");
  m_uart.pw_UartPortNumber(7);
  EXPECT_TRUE(m_uart.Open()) << m_uart.pr_LastErrMsg();
  EXPECT_EQ(m_uart.pr_OpenedPath(), m_pty.slavePath());
  m_uart.Close();
  tvx::platform::CurrentPortMap().removeExplicit(7);
}

TEST_F(UartPortTest, FailedOpensSayWhyAndLeaveThePortClosed) {
  using tvx::platform::SerialOpenError;
  tvx::test::TempDir dir;
  m_uart.pw_UartDevicePath((dir / "ttyNothing").string());
  EXPECT_FALSE(m_uart.Open());
  EXPECT_EQ(m_uart.pr_LastErrMsg(), "The comm device not exist");
  EXPECT_EQ(m_uart.pr_LastOpenError(), SerialOpenError::NotFound);
  EXPECT_FALSE(m_uart.pr_Opened());

  tvx::test::WriteFileBytes(dir / "plain.txt", "not a terminal");
  for (const std::string& path : {(dir / "plain.txt").string(), std::string("/dev/null")}) {
    m_uart.pw_UartDevicePath(path);
    EXPECT_FALSE(m_uart.Open());
    EXPECT_EQ(m_uart.pr_LastErrMsg(), "Can not open comm device file");
    EXPECT_EQ(m_uart.pr_LastOpenError(), SerialOpenError::NotATerminal) << path;
  }

  // A numbered port that the map does not know does not exist either.
  tvx::platform::CurrentPortMap().setExplicit(16, (dir / "gone").string());
  m_uart.pw_UartDevicePath("");
  m_uart.pw_UartPortNumber(16);
  EXPECT_FALSE(m_uart.Open());
  EXPECT_EQ(m_uart.pr_LastErrMsg(), "The comm device not exist");
  tvx::platform::CurrentPortMap().removeExplicit(16);

  // A port that someone else holds.
  m_uart.pw_UartDevicePath(m_pty.slavePath());
  ASSERT_TRUE(m_uart.Open());
  KwxCtrl::TPcUart other;
  other.pw_EventLoop(&m_loop);
  other.pw_UartDevicePath(m_pty.slavePath());
  EXPECT_FALSE(other.Open());
  EXPECT_EQ(other.pr_LastErrMsg(), "The comm device can not access (may be opened by another)");
  EXPECT_EQ(other.pr_LastOpenError(), SerialOpenError::InUse);
  EXPECT_FALSE(other.pr_Opened());
  m_uart.Close();
  EXPECT_TRUE(other.Open());
  EXPECT_TRUE(other.pr_LastErrMsg().empty());
  other.Close();

  // Another program that only asked for the terminal alone (as terminal programs do), which
  // root's open would otherwise pass. It gives it back as it goes: a pseudo-terminal keeps the
  // mark while its other side is open.
  const int holder = ::open(m_pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(ioctl(holder, TIOCEXCL), 0);
  EXPECT_FALSE(other.Open());
  EXPECT_EQ(other.pr_LastOpenError(), SerialOpenError::InUse);
  ioctl(holder, TIOCNXCL);
  ::close(holder);
  EXPECT_TRUE(other.Open()) << other.pr_LastErrMsg();
}

TEST_F(UartPortTest, OpenWithoutAnEventLoopFails) {
  KwxCtrl::TPcUart lonely;
  lonely.pw_UartDevicePath(m_pty.slavePath());
  ASSERT_EQ(tvx::UiEventLoop(), nullptr);
  EXPECT_FALSE(lonely.Open());
  EXPECT_EQ(lonely.pr_LastErrMsg(), "Can not create TCommEventMonitorThread");
  EXPECT_FALSE(lonely.pr_Opened());
}

TEST_F(UartPortTest, TimeoutsAndEventMaskFollowTheSettings) {
  m_uart.pw_SysUartTxdQueueSize(8192);
  ASSERT_TRUE(m_uart.Open());
  // Seconds of line time added to milliseconds: 5000 at 115200 baud.
  EXPECT_EQ(m_uart.pr_WriteTotalTimeoutConstant(), 5000u);
  EXPECT_EQ(m_uart.pr_ReadTotalTimeoutConstant(), 5000u);
  EXPECT_EQ(m_uart.pr_EventMask(), kEvRxChar | kEvTxEmpty);
  m_uart.Close();

  // 1/300 × 11 bits × 8192 bytes = 300 (parity adds a bit).
  m_uart.pw_UartBaud(300);
  m_uart.pw_UartParityBit(upb_Even);
  m_uart.pw_OnFrameErr([](tvx::platform::TComponent*) {});
  m_uart.pw_OnCtsChanged([](tvx::platform::TComponent*) {});
  ASSERT_TRUE(m_uart.Open()) << m_uart.pr_LastErrMsg();
  EXPECT_EQ(m_uart.pr_WriteTotalTimeoutConstant(), 5300u);
  EXPECT_EQ(m_uart.pr_ReadTotalTimeoutConstant(), 5037u);
  EXPECT_EQ(m_uart.pr_EventMask(), kEvRxChar | kEvTxEmpty | kEvErr | kEvCts);
  m_uart.Close();

  // CTS changes are not watched while CTS paces the output.
  m_uart.pw_FlowCtrlStyle(fcs_Hardware);
  ASSERT_TRUE(m_uart.Open()) << m_uart.pr_LastErrMsg();
  EXPECT_EQ(m_uart.pr_EventMask(), kEvRxChar | kEvTxEmpty | kEvErr);
}

TEST_F(UartPortTest, SendDataWritesTheBytesAndReportsTheEmptyTransmitter) {
  ASSERT_TRUE(m_uart.Open());
  const std::string packet(4096, 'P');
  EXPECT_EQ(m_uart.SendData(static_cast<unsigned>(packet.size()), packet.data()), usr_Done);
  EXPECT_EQ(m_pty.receive(packet.size()), packet);
  EXPECT_TRUE(runUntil([&] { return m_txdEmpty >= 1; }));

  EXPECT_EQ(m_uart.SendData_printf("floor %02d\r\n", 7), usr_Done);
  EXPECT_EQ(m_pty.receive(10), "floor 07\r\n");
  // The formatted text is cut to the 1023 characters that fit the buffer.
  EXPECT_EQ(m_uart.SendData_printf("%s", std::string(2000, 'z').c_str()), usr_Done);
  EXPECT_EQ(m_pty.receive(2000, 300ms).size(), 1023u);
  EXPECT_EQ(m_uart.SendData(0, nullptr), usr_Done);
  EXPECT_TRUE(m_uart.pr_LastErrMsg().empty());
  // A pseudo-terminal has no modem lines: they read as off.
  EXPECT_FALSE(m_uart.pr_CtsState());
  EXPECT_FALSE(m_uart.pr_RiState());
}

TEST_F(UartPortTest, ThreeLineTextFileWithoutIntervalGoesOutBackToBackThenOneTxdEmpty) {
  tvx::test::TempDir dir;
  const std::string text = "line one\r\nline two\r\nline three";
  tvx::test::WriteFileBytes(dir / "lines.txt", text);
  ASSERT_TRUE(m_uart.Open());
  EXPECT_EQ(m_uart.SendTxtFile((dir / "lines.txt").c_str(), 0), usr_Done);
  EXPECT_EQ(m_pty.receive(text.size()), text);
  EXPECT_TRUE(runUntil([&] { return m_txdEmpty == 1; }));
  m_loop.runFor(50ms);
  EXPECT_EQ(m_txdEmpty, 1);
  // The transfer is over: the port sends again.
  EXPECT_EQ(m_uart.SendData(2, "ok"), usr_Done);
}

TEST_F(UartPortTest, TextFileWithIntervalPausesBetweenLinesAndRefusesOtherSends) {
  tvx::test::TempDir dir;
  tvx::test::WriteFileBytes(dir / "lines.txt", "A\nB\nC\n");
  ASSERT_TRUE(m_uart.Open());
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(m_uart.SendTxtFile((dir / "lines.txt").c_str(), 60), usr_Done);
  EXPECT_EQ(m_uart.SendData(1, "x"), usr_TxtFileSending);
  EXPECT_EQ(m_uart.SendTxtFile((dir / "lines.txt").c_str(), 0), usr_TxtFileSending);
  EXPECT_EQ(m_pty.receive(2), "A\n");
  EXPECT_EQ(m_pty.receive(4), "B\nC\n");
  EXPECT_GE(std::chrono::steady_clock::now() - start, 120ms);
  EXPECT_TRUE(runUntil([&] { return m_txdEmpty == 1; }));
  EXPECT_EQ(m_uart.SendData(1, "x"), usr_Done);
}

TEST_F(UartPortTest, TextFilesThatCannotBeReadAreRefused) {
  tvx::test::TempDir dir;
  tvx::test::WriteFileBytes(dir / "empty.txt", "");
  ASSERT_TRUE(m_uart.Open());
  EXPECT_EQ(m_uart.SendTxtFile((dir / "empty.txt").c_str(), 0), usr_FileUnreadable);
  EXPECT_EQ(m_uart.pr_LastErrMsg(), "Can not read file");
  EXPECT_EQ(m_uart.SendTxtFile((dir / "missing.txt").c_str(), 0), usr_FileUnreadable);
  EXPECT_EQ(m_uart.pr_LastErrMsg(), "Can not open file");
  EXPECT_EQ(m_uart.SendData(1, "x"), usr_Done);
  EXPECT_TRUE(m_uart.pr_LastErrMsg().empty());
}

TEST_F(UartPortTest, ClosingDuringATextFileEndsIt) {
  tvx::test::TempDir dir;
  tvx::test::WriteFileBytes(dir / "lines.txt", "1\n2\n3\n4\n");
  ASSERT_TRUE(m_uart.Open());
  ASSERT_EQ(m_uart.SendTxtFile((dir / "lines.txt").c_str(), 1000), usr_Done);
  m_uart.Close();
  ASSERT_TRUE(m_uart.Open());
  EXPECT_EQ(m_uart.SendData(1, "x"), usr_Done);
  EXPECT_EQ(m_pty.receive(3), "1\nx");
}

TEST_F(UartPortTest, AVanishedDeviceFailsTheWriteAndTheWorkerStaysQuiet) {
  ASSERT_TRUE(m_uart.Open());
  EXPECT_FALSE(m_uart.pr_DeviceLost());
  m_pty.closeMaster();
  EXPECT_EQ(m_uart.SendData(3, "abc"), usr_WriteFailed);
  EXPECT_EQ(m_uart.pr_LastErrMsg(), "Can not send to comm");
  EXPECT_TRUE(m_uart.pr_DeviceLost());
  // The worker does not spin on the hung-up line.
  const double before = cpuSeconds();
  m_loop.runFor(200ms);
  EXPECT_LT(cpuSeconds() - before, 0.05);
  EXPECT_TRUE(m_uart.Close());
  EXPECT_FALSE(m_uart.pr_Opened());
}

namespace {

// The system's device with the outcome of the first writes chosen by the test: a short write
// sends half, a failed one nothing.
class ScriptedWrites : public tvx::platform::PosixSerialDevice {
 public:
  explicit ScriptedWrites(std::vector<tvx::platform::SerialWriteStatus> outcomes)
      : m_outcomes(std::move(outcomes)) {}

  tvx::platform::SerialWriteStatus write(const void* data, std::size_t bytes,
                                         std::size_t& written) override {
    if (m_next >= m_outcomes.size()) {
      return PosixSerialDevice::write(data, bytes, written);
    }
    const auto outcome = m_outcomes[m_next++];
    written = 0;
    if (outcome == tvx::platform::SerialWriteStatus::Short) {
      PosixSerialDevice::write(data, bytes / 2, written);
    } else if (outcome == tvx::platform::SerialWriteStatus::Done) {
      PosixSerialDevice::write(data, bytes, written);
    }
    return outcome;
  }

 private:
  std::vector<tvx::platform::SerialWriteStatus> m_outcomes;
  std::size_t m_next = 0;
};

}  // namespace

TEST_F(UartPortTest, WriteTimeoutsAndFailuresHaveTheirCodesAndMessages) {
  using tvx::platform::SerialWriteStatus;
  m_uart.pw_DeviceFactory([] {
    return std::make_unique<ScriptedWrites>(std::vector<SerialWriteStatus>{
        SerialWriteStatus::Short, SerialWriteStatus::Failed, SerialWriteStatus::Short,
        SerialWriteStatus::Failed, SerialWriteStatus::Done, SerialWriteStatus::Failed});
  });
  ASSERT_TRUE(m_uart.Open());
  EXPECT_EQ(m_uart.SendData(1, "a"), usr_WriteTimeout);
  EXPECT_EQ(m_uart.pr_LastErrMsg(), "Timeout when send to comm");
  EXPECT_EQ(m_uart.SendData(1, "b"), usr_WriteFailed);
  EXPECT_EQ(m_uart.pr_LastErrMsg(), "Can not send to comm");
  EXPECT_FALSE(m_uart.pr_DeviceLost());

  tvx::test::TempDir dir;
  tvx::test::WriteFileBytes(dir / "lines.txt", "1\n2\n3\n");
  const std::string file = (dir / "lines.txt").string();
  EXPECT_EQ(m_uart.SendTxtFile(file.c_str(), 0), usr_WriteTimeout);
  EXPECT_EQ(m_uart.pr_LastErrMsg(), "Timeout when send txt file to comm");
  EXPECT_EQ(m_uart.SendTxtFile(file.c_str(), 0), usr_WriteFailed);
  EXPECT_EQ(m_uart.pr_LastErrMsg(), "Can not send txt file to comm");
  m_loop.runFor(50ms);
  m_txdEmpty = 0;
  // A failed line later in the file ends the transfer with one OnTxdEmpty.
  EXPECT_EQ(m_uart.SendTxtFile(file.c_str(), 0), usr_Done);
  EXPECT_TRUE(runUntil([&] { return m_txdEmpty >= 1; }));
  m_loop.runFor(50ms);
  EXPECT_EQ(m_txdEmpty, 1);
  EXPECT_EQ(m_uart.SendData(1, "c"), usr_Done);
}
