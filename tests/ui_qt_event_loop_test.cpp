#include <gtest/gtest.h>

#include <QTest>
#include <atomic>
#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

#include "ui/qt/qt_event_loop.h"
#include "ui_window_fixture.h"
#include "util/diagnostic_sink.h"

namespace tvx::test {
namespace {

using namespace std::chrono_literals;

class QtEventLoopTest : public ::testing::Test, private ApplicationGuard {
 protected:
  QtEventLoop m_loop;
  YVclUtil::RecordingDiagnosticSink m_sink;
  YVclUtil::ScopedDiagnosticSink m_scopedSink{m_sink};
};

TEST_F(QtEventLoopTest, CallsFromOtherThreadsRunInOrderOnTheGuiThread) {
  std::vector<int> order;
  std::atomic<int> offThread{0};
  std::thread worker([&] {
    for (int i = 0; i < 50; ++i) {
      m_loop.post([&, i] {
        offThread += m_loop.isLoopThread() ? 0 : 1;
        order.push_back(i);
      });
    }
  });
  worker.join();
  EXPECT_FALSE(std::async(std::launch::async, [&] { return m_loop.isLoopThread(); }).get());
  ASSERT_TRUE(QTest::qWaitFor([&] { return order.size() == 50; }, 5000));
  EXPECT_EQ(offThread, 0);
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(order[i], i);
  }
}

TEST_F(QtEventLoopTest, InvokeWaitsForTheCallAndACancelledGateReleasesIt) {
  int value = 0;
  auto ran = std::async(std::launch::async, [&] { return m_loop.invoke([&] { value = 42; }); });
  ASSERT_TRUE(QTest::qWaitFor([&] { return value == 42; }, 5000));
  EXPECT_TRUE(ran.get());

  // The GUI thread is busy (not running the loop) and cancels the gate: the worker returns at
  // once and its call never runs.
  InvokeGate gate;
  bool late = false;
  auto waiting =
      std::async(std::launch::async, [&] { return m_loop.invoke([&] { late = true; }, &gate); });
  EXPECT_EQ(waiting.wait_for(100ms), std::future_status::timeout);
  gate.cancel();
  EXPECT_FALSE(waiting.get());
  QCoreApplication::processEvents();
  EXPECT_FALSE(late);
  // On the loop thread itself the call runs at once.
  EXPECT_TRUE(m_loop.invoke([&] { value = 7; }));
  EXPECT_EQ(value, 7);
}

TEST_F(QtEventLoopTest, ALoopDestroyedWithAWaitingCallReleasesItsWorker) {
  auto loop = std::make_unique<QtEventLoop>();
  bool ran = false;
  auto waiting = std::async(std::launch::async, [&] { return loop->invoke([&] { ran = true; }); });
  EXPECT_EQ(waiting.wait_for(100ms), std::future_status::timeout);
  loop.reset();
  EXPECT_EQ(waiting.wait_for(5s), std::future_status::ready);
  EXPECT_FALSE(waiting.get());
  EXPECT_FALSE(ran);
}

TEST_F(QtEventLoopTest, TimersFireOnceOrRepeatAndMayStopThemselves) {
  int once = 0;
  int repeats = 0;
  m_loop.startTimer(10ms, EventLoop::TimerMode::SingleShot, [&] { ++once; });
  EventLoop::TimerId repeating = 0;
  repeating = m_loop.startTimer(5ms, EventLoop::TimerMode::Repeating, [&] {
    if (++repeats == 3) {
      m_loop.stopTimer(repeating);
    }
  });
  QTest::qWait(150);
  EXPECT_EQ(once, 1);
  EXPECT_EQ(repeats, 3);
  EXPECT_EQ(m_loop.activeTimers(), 0u);
  m_loop.stopTimer(repeating);  // already gone: ignored
  m_loop.stopTimer(12345);

  int stopped = 0;
  const EventLoop::TimerId id =
      m_loop.startTimer(10ms, EventLoop::TimerMode::Repeating, [&] { ++stopped; });
  m_loop.stopTimer(id);
  QTest::qWait(50);
  EXPECT_EQ(stopped, 0);
}

TEST_F(QtEventLoopTest, AnExceptionInACallIsShownAndTheLoopGoesOn) {
  bool after = false;
  m_loop.post([] { throw std::runtime_error("the port went away"); });
  m_loop.post([&] { after = true; });
  ASSERT_TRUE(QTest::qWaitFor([&] { return after; }, 5000));
  ASSERT_EQ(m_sink.boxes().size(), 1u);
  EXPECT_EQ(m_sink.boxes()[0].text, "the port went away");
}

}  // namespace
}  // namespace tvx::test
