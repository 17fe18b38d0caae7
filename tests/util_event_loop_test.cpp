#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "util/event_loop.h"
#include "util/local_event_loop.h"
#include "util/loop_timer.h"

using namespace std::chrono_literals;
using tvx::EventLoop;
using tvx::InvokeGate;
using tvx::LocalEventLoop;

namespace {

constexpr auto kPatience = 5s;

}  // namespace

TEST(LocalEventLoopTest, PostedCallsRunInOrderOnTheLoopThread) {
  LocalEventLoop loop;
  std::vector<int> order;
  std::thread worker([&] {
    for (int i = 0; i < 3; ++i) {
      loop.post([&, i] {
        EXPECT_TRUE(loop.isLoopThread());
        order.push_back(i);
      });
    }
  });
  worker.join();
  EXPECT_FALSE(std::async(std::launch::async, [&] { return loop.isLoopThread(); }).get());
  EXPECT_TRUE(loop.runUntil([&] { return order.size() == 3; }, kPatience));
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
}

TEST(LocalEventLoopTest, RunEndsOnQuitFromAnotherThreadAndRunUntilKeepsItsDeadline) {
  LocalEventLoop loop;
  std::thread stopper([&] { loop.post([&] { loop.quit(); }); });
  loop.run();
  stopper.join();

  const auto start = LocalEventLoop::Clock::now();
  EXPECT_FALSE(loop.runUntil([] { return false; }, 30ms));
  EXPECT_GE(LocalEventLoop::Clock::now() - start, 30ms);
}

TEST(LocalEventLoopTest, TimersFireOnceOrRepeatAndStop) {
  LocalEventLoop loop;
  int single = 0;
  int repeating = 0;
  loop.startTimer(5ms, EventLoop::TimerMode::SingleShot, [&] { ++single; });
  EventLoop::TimerId id = 0;
  id = loop.startTimer(2ms, EventLoop::TimerMode::Repeating, [&] {
    if (++repeating == 3) {
      loop.stopTimer(id);
    }
  });
  loop.runFor(60ms);
  EXPECT_EQ(single, 1);
  EXPECT_EQ(repeating, 3);
}

TEST(LocalEventLoopTest, TimersAndPostedCallsTakeTurns) {
  LocalEventLoop loop;
  int ticks = 0;
  loop.startTimer(0ms, EventLoop::TimerMode::Repeating, [&] { ++ticks; });
  // A call that keeps reposting itself must not starve the timer.
  int calls = 0;
  std::function<void()> again = [&] {
    if (++calls < 100) {
      loop.post(again);
    }
  };
  loop.post(again);
  EXPECT_TRUE(loop.runUntil([&] { return calls == 100; }, kPatience));
  EXPECT_GE(ticks, 50);
}

TEST(LoopTimerTest, RunsWhileEnabledOnTheUiLoop) {
  LocalEventLoop loop;
  tvx::ScopedUiEventLoop ui(loop);
  tvx::LoopTimer timer;
  int fired = 0;
  timer.pw_Interval(3ms);
  timer.pw_OnTimer([&] {
    if (++fired == 2) {
      timer.pw_Enabled(false);
    }
  });
  timer.pw_Enabled(true);
  EXPECT_TRUE(timer.pr_Enabled());
  loop.runFor(50ms);
  EXPECT_EQ(fired, 2);
  EXPECT_FALSE(timer.pr_Enabled());
}

TEST(InvokeTest, WaitsUntilTheCallHasRunAndRunsAtOnceOnTheLoopThread) {
  LocalEventLoop loop;
  bool ranInline = loop.invoke([] {});
  EXPECT_TRUE(ranInline);

  std::atomic<bool> returned{false};
  int value = 0;
  std::thread worker([&] {
    EXPECT_TRUE(loop.invoke([&] { value = 42; }));
    EXPECT_EQ(value, 42);
    returned = true;
    loop.post([] {});  // wakes the loop to look at the predicate again
  });
  // The worker stays blocked until the loop runs its call.
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(returned);
  EXPECT_TRUE(loop.runUntil([&] { return returned.load(); }, kPatience));
  worker.join();
}

TEST(InvokeTest, CancellingTheGateReleasesAWaiterAndTheCallNeverRuns) {
  LocalEventLoop loop;
  InvokeGate gate;
  std::promise<bool> result;
  bool ran = false;
  std::thread worker([&] { result.set_value(loop.invoke([&] { ran = true; }, &gate)); });
  // The loop thread does not run its loop: it cancels, as Close does, and joins.
  while (loop.queuedCalls() == 0) {
    std::this_thread::yield();
  }
  gate.cancel();
  worker.join();
  EXPECT_FALSE(result.get_future().get());
  EXPECT_EQ(loop.processPending(), 1u);
  EXPECT_FALSE(ran);

  // A cancelled gate refuses at once, also on the loop thread, until it is reset.
  EXPECT_FALSE(std::async(std::launch::async, [&] { return loop.invoke([] {}, &gate); }).get());
  EXPECT_FALSE(loop.invoke([&] { ran = true; }, &gate));
  EXPECT_FALSE(ran);
  gate.reset();
  EXPECT_TRUE(loop.invoke([&] { ran = true; }, &gate));
  EXPECT_TRUE(ran);
}

TEST(InvokeTest, CancellingFromInsideTheRunningCallReleasesTheWaiter) {
  LocalEventLoop loop;
  InvokeGate gate;
  std::atomic<bool> workerDone{false};
  bool result = true;
  std::thread worker;
  loop.post([&] {
    worker = std::thread([&] {
      result = loop.invoke(
          [&] {
            // The call itself closes: it cancels and waits for the worker to end.
            gate.cancel();
            while (!workerDone) {
              std::this_thread::yield();
            }
          },
          &gate);
      workerDone = true;
      loop.post([] {});
    });
  });
  loop.processPending();
  EXPECT_TRUE(loop.runUntil([&] { return workerDone.load(); }, kPatience));
  worker.join();
  EXPECT_FALSE(result);
}

TEST(InvokeTest, ALoopDestroyedWithTheCallQueuedReleasesTheWaiter) {
  std::promise<bool> result;
  std::thread worker;
  {
    LocalEventLoop loop;
    worker = std::thread(
        [&] { result.set_value(loop.invoke([] { ADD_FAILURE() << "dropped call ran"; })); });
    while (loop.queuedCalls() == 0) {
      std::this_thread::yield();
    }
  }
  worker.join();
  EXPECT_FALSE(result.get_future().get());
}
