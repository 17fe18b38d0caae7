#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "util/event_loop.h"

namespace tvx {

// The UI loop of the command-line tool and the tests: the thread that makes the loop is its
// loop thread and runs it with run(), runUntil() or processPending(). Posted calls run in the
// order they were posted; timers and posted calls take turns, so neither starves the other.
// Calls may run the loop again (nested runUntil) and may post, start and stop timers.
class LocalEventLoop : public EventLoop {
 public:
  using Clock = std::chrono::steady_clock;

  LocalEventLoop();
  // Drops calls that never ran; workers waiting for one of them are released.
  ~LocalEventLoop() override;

  void post(Call call) override;
  bool isLoopThread() const override;
  TimerId startTimer(std::chrono::milliseconds interval, TimerMode mode, Call call) override;
  void stopTimer(TimerId id) override;

  // Runs until quit() is called. Loop thread only.
  void run();
  // Makes the innermost run() return once the call running now has ended. Any thread.
  void quit();
  // Runs calls and timers until done() answers true (asked before waiting and after every
  // call) or the deadline passes; answers done(). Loop thread only. A thread that changes
  // what done() looks at posts a call (even an empty one) so that the loop asks again.
  bool runUntil(const std::function<bool()>& done, Clock::time_point deadline);
  bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    return runUntil(done, Clock::now() + timeout);
  }
  // Runs for the given time.
  void runFor(std::chrono::milliseconds duration);
  // Runs the calls and timers that are due now without waiting; answers how many ran.
  std::size_t processPending();
  // Number of posted calls waiting to run. Any thread.
  std::size_t queuedCalls() const;

 private:
  struct Timer {
    Clock::time_point due;
    std::chrono::milliseconds interval;
    TimerMode mode;
    std::shared_ptr<Call> call;
  };

  // Takes the next due call (a timer on every other turn), or nothing.
  std::shared_ptr<Call> takeDueLocked(Clock::time_point now);
  Clock::time_point nextTimerDueLocked() const;
  // Runs one due call, waiting for one until the deadline (or a quit() when stopOnQuit);
  // false when none came.
  bool runOne(Clock::time_point deadline, bool wait, bool stopOnQuit);

  const std::thread::id m_thread;
  mutable std::mutex m_mutex;
  std::condition_variable m_wake;
  std::deque<Call> m_queue;
  std::map<TimerId, Timer> m_timers;
  TimerId m_nextTimerId = 1;
  bool m_timerTurn = false;
  bool m_quit = false;
};

}  // namespace tvx
