#include "util/loop_timer.h"

namespace tvx {

void LoopTimer::pw_Interval(std::chrono::milliseconds interval) {
  m_interval = interval;
  if (pr_Enabled()) {
    pw_Enabled(false);
    pw_Enabled(true);
  }
}

void LoopTimer::pw_Enabled(bool enabled) {
  if (enabled == pr_Enabled()) {
    return;
  }
  if (!enabled) {
    m_runningOn->stopTimer(m_id);
    m_id = 0;
    m_runningOn = nullptr;
    return;
  }
  m_runningOn = m_loop != nullptr ? m_loop : UiEventLoop();
  if (m_runningOn == nullptr) {
    return;
  }
  m_id = m_runningOn->startTimer(m_interval, EventLoop::TimerMode::Repeating, [this] { fire(); });
}

void LoopTimer::fire() {
  if (m_onTimer) {
    m_onTimer();
  }
}

}  // namespace tvx
