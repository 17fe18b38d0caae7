#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "serial/comm_event_monitor_thread.h"
#include "serial/pc_uart.h"
#include "support/pty_pair.h"
#include "util/diagnostic_sink.h"
#include "util/local_event_loop.h"

using namespace std::chrono_literals;
using namespace YVclCtrl;

namespace {

class MonitorTest : public ::testing::Test {
 protected:
  MonitorTest() {
    m_uart.pw_EventLoop(&m_loop);
    m_uart.pw_UartDevicePath(m_pty.slavePath());
    m_uart.pw_OnRxdDatas([this](tvx::platform::TComponent* sender, int bytes, char* datas) {
      EXPECT_EQ(sender, &m_uart);
      EXPECT_TRUE(m_loop.isLoopThread());
      m_packets.emplace_back(datas, static_cast<std::size_t>(bytes));
    });
  }

  bool waitForPackets(std::size_t count, std::chrono::milliseconds timeout = 5s) {
    return m_loop.runUntil([&] { return m_packets.size() >= count; }, timeout);
  }

  // Lets the worker read what was sent so far (without delivering anything).
  void settle() { std::this_thread::sleep_for(30ms); }

  tvx::LocalEventLoop m_loop;
  tvx::test::PtyPair m_pty;
  KwxCtrl::TPcUart m_uart;
  std::vector<std::string> m_packets;
};

using Packets = std::vector<std::string>;

}  // namespace

TEST_F(MonitorTest, DelimiterPacketsAreAssembledAcrossReads) {
  m_uart.pw_RxdFilter_Style(rfs_ByDelimiterChar);
  ASSERT_TRUE(m_uart.Open());
  m_pty.send("AB");
  settle();
  m_pty.send("C\nD");
  ASSERT_TRUE(waitForPackets(1));
  m_loop.runFor(50ms);
  EXPECT_EQ(m_packets, (Packets{"ABC\n"}));
  // "D" waits for the next delimiter.
  m_pty.send("E\nF\n");
  ASSERT_TRUE(waitForPackets(3));
  EXPECT_EQ(m_packets, (Packets{"ABC\n", "DE\n", "F\n"}));
}

TEST_F(MonitorTest, FixedSizePacketsKeepTheRestForTheNextRead) {
  m_uart.pw_RxdFilter_Style(rfs_ByBytesOfPacket);
  m_uart.pw_RxdFilter_BytesOfPacket(3);
  ASSERT_TRUE(m_uart.Open());
  m_pty.send("abcdefg");
  ASSERT_TRUE(waitForPackets(2));
  m_loop.runFor(50ms);
  EXPECT_EQ(m_packets, (Packets{"abc", "def"}));
  m_pty.send("hi");
  ASSERT_TRUE(waitForPackets(3));
  EXPECT_EQ(m_packets[2], "ghi");
}

TEST_F(MonitorTest, WithoutFilterEachReadIsOneEvent) {
  ASSERT_TRUE(m_uart.Open());
  m_pty.send("hello");
  ASSERT_TRUE(waitForPackets(1));
  settle();
  m_pty.send(std::string(3000, 'w'));
  ASSERT_TRUE(m_loop.runUntil(
      [&] {
        std::size_t total = 0;
        for (const auto& packet : m_packets) {
          total += packet.size();
        }
        return total == 3005;
      },
      5s));
  EXPECT_EQ(m_packets[0], "hello");
  // One read never takes more than the receive queue holds.
  for (const auto& packet : m_packets) {
    EXPECT_LE(packet.size(), 1024u);
  }
}

TEST_F(MonitorTest, BytesWithoutAHandlerAreDropped) {
  m_uart.pw_OnRxdDatas(nullptr);
  ASSERT_TRUE(m_uart.Open());
  m_pty.send("lost");
  std::this_thread::sleep_for(100ms);
  m_loop.runFor(20ms);
  m_uart.pw_OnRxdDatas([this](tvx::platform::TComponent*, int bytes, char* datas) {
    m_packets.emplace_back(datas, static_cast<std::size_t>(bytes));
  });
  m_pty.send("kept");
  ASSERT_TRUE(waitForPackets(1));
  EXPECT_EQ(m_packets, (Packets{"kept"}));
}

TEST_F(MonitorTest, AnOverlongLineEndsTheWorkerAndLaterBytesRaiseNothing) {
  YVclUtil::RecordingDiagnosticSink sink;
  YVclUtil::ScopedDiagnosticSink guard(sink);
  m_uart.pw_RxdFilter_Style(rfs_ByDelimiterChar);
  ASSERT_TRUE(m_uart.Open());
  m_pty.send(std::string(1024, 'x'));
  TCommEventMonitorThread* monitor = m_uart.pr_MonitorThread();
  for (int i = 0; i < 500 && !monitor->pr_Finished(); ++i) {
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_TRUE(monitor->pr_Finished());
  const std::string message =
      "TCustomUart FilteredRxdBuff overflow, when delimiting the received datas !!!";
  EXPECT_EQ(monitor->pr_FatalException(), message);
  ASSERT_EQ(sink.debugLines().size(), 1u);
  EXPECT_NE(sink.debugLines()[0].find(message), std::string::npos);
  EXPECT_TRUE(sink.boxes().empty());
  m_pty.send("y\n");
  m_loop.runFor(50ms);
  EXPECT_TRUE(m_packets.empty());
  EXPECT_TRUE(m_uart.pr_Opened());
  // Reopening starts a fresh worker.
  m_uart.Close();
  ASSERT_TRUE(m_uart.Open());
  m_pty.send("z\n");
  ASSERT_TRUE(waitForPackets(1));
  EXPECT_EQ(m_packets[0], "z\n");
}

TEST_F(MonitorTest, FixedSizeOverflowHasItsOwnMessage) {
  m_uart.pw_RxdFilter_Style(rfs_ByBytesOfPacket);
  m_uart.pw_SysUartRxdQueueSize(2048);
  m_uart.pw_RxdFilter_BytesOfPacket(2048);
  m_uart.pw_SysUartRxdQueueSize(1024);  // now the packet can never fit
  ASSERT_TRUE(m_uart.Open());
  m_pty.send(std::string(1024, 'x'));
  TCommEventMonitorThread* monitor = m_uart.pr_MonitorThread();
  for (int i = 0; i < 500 && !monitor->pr_Finished(); ++i) {
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_EQ(
      monitor->pr_FatalException(),
      "TCustomUart FilteredRxdBuff overflow, when collection bytes of the received datas !!!");
}

TEST_F(MonitorTest, CloseWithAReadPendingEndsTheWorker) {
  ASSERT_TRUE(m_uart.Open());
  settle();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(m_uart.Close());
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
  EXPECT_EQ(m_uart.pr_MonitorThread(), nullptr);
  m_pty.send("late\n");
  m_loop.runFor(50ms);
  EXPECT_TRUE(m_packets.empty());
}

TEST_F(MonitorTest, CloseWhileTheWorkerWaitsToDeliverDropsTheEvent) {
  ASSERT_TRUE(m_uart.Open());
  m_pty.send("pending");
  // The worker has handed its delivery to the loop, which is not running.
  for (int i = 0; i < 500 && m_loop.queuedCalls() == 0; ++i) {
    std::this_thread::sleep_for(2ms);
  }
  ASSERT_EQ(m_loop.queuedCalls(), 1u);
  EXPECT_TRUE(m_uart.Close());
  m_loop.runFor(50ms);
  EXPECT_TRUE(m_packets.empty());
}

TEST_F(MonitorTest, CloseFromInsideAHandlerReturnsAndNothingFollows) {
  m_uart.pw_RxdFilter_Style(rfs_ByBytesOfPacket);
  m_uart.pw_RxdFilter_BytesOfPacket(2);
  m_uart.pw_OnRxdDatas([this](tvx::platform::TComponent*, int bytes, char* datas) {
    m_packets.emplace_back(datas, static_cast<std::size_t>(bytes));
    EXPECT_TRUE(m_uart.Close());
  });
  ASSERT_TRUE(m_uart.Open());
  m_pty.send("aabbcc");
  ASSERT_TRUE(waitForPackets(1));
  m_loop.runFor(50ms);
  EXPECT_EQ(m_packets, (Packets{"aa"}));
  EXPECT_FALSE(m_uart.pr_Opened());
}

TEST_F(MonitorTest, AHandlerMayAnswerOnThePort) {
  m_uart.pw_RxdFilter_Style(rfs_ByDelimiterChar);
  m_uart.pw_RxdFilter_DelimiterChar('?');
  m_uart.pw_OnRxdDatas([this](tvx::platform::TComponent*, int bytes, char* datas) {
    std::string answer = "re:" + std::string(datas, static_cast<std::size_t>(bytes));
    EXPECT_EQ(m_uart.SendData(static_cast<unsigned>(answer.size()), answer.data()), usr_Done);
    m_packets.push_back(answer);
  });
  ASSERT_TRUE(m_uart.Open());
  m_pty.send("who?");
  ASSERT_TRUE(waitForPackets(1));
  EXPECT_EQ(m_pty.receive(7), "re:who?");
}

TEST_F(MonitorTest, DestroyingTheOpenPortEndsItsWorker) {
  auto uart = std::make_unique<KwxCtrl::TPcUart>();
  uart->pw_EventLoop(&m_loop);
  uart->pw_UartDevicePath(m_pty.slavePath());
  int events = 0;
  uart->pw_OnRxdDatas([&](tvx::platform::TComponent*, int, char*) { ++events; });
  ASSERT_TRUE(uart->Open());
  m_pty.send("x");
  for (int i = 0; i < 500 && m_loop.queuedCalls() == 0; ++i) {
    std::this_thread::sleep_for(2ms);
  }
  uart.reset();
  m_loop.runFor(30ms);
  EXPECT_EQ(events, 0);
}
