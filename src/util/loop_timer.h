#pragma once

#include <chrono>
#include <functional>

#include "util/event_loop.h"

namespace tvx {

// A window timer on an event loop: while enabled it runs OnTimer every Interval on the loop
// thread, like the timers of a form (the upload's Timer1). Loop thread only. The loop is the
// one given, else the UI loop at the moment the timer is enabled.
class LoopTimer {
 public:
  explicit LoopTimer(EventLoop* loop = nullptr) : m_loop(loop) {}
  ~LoopTimer() { pw_Enabled(false); }
  LoopTimer(const LoopTimer&) = delete;
  LoopTimer& operator=(const LoopTimer&) = delete;

  std::chrono::milliseconds pr_Interval() const { return m_interval; }
  // A running timer restarts with the new interval.
  void pw_Interval(std::chrono::milliseconds interval);
  bool pr_Enabled() const { return m_id != 0; }
  void pw_Enabled(bool enabled);
  void pw_OnTimer(std::function<void()> handler) { m_onTimer = std::move(handler); }

 private:
  void fire();

  EventLoop* m_loop;
  EventLoop* m_runningOn = nullptr;
  std::chrono::milliseconds m_interval{1000};
  std::function<void()> m_onTimer;
  EventLoop::TimerId m_id = 0;
};

}  // namespace tvx
