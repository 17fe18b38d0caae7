#include "util/local_event_loop.h"

namespace tvx {

LocalEventLoop::LocalEventLoop() : m_thread(std::this_thread::get_id()) {}

LocalEventLoop::~LocalEventLoop() {
  std::deque<Call> dropped;
  {
    std::lock_guard lock(m_mutex);
    dropped.swap(m_queue);
    m_timers.clear();
  }
  // Destroyed outside the lock: a dropped invoke() releases its waiter here.
}

void LocalEventLoop::post(Call call) {
  {
    std::lock_guard lock(m_mutex);
    m_queue.push_back(std::move(call));
  }
  m_wake.notify_all();
}

std::size_t LocalEventLoop::queuedCalls() const {
  std::lock_guard lock(m_mutex);
  return m_queue.size();
}

bool LocalEventLoop::isLoopThread() const {
  return std::this_thread::get_id() == m_thread;
}

EventLoop::TimerId LocalEventLoop::startTimer(std::chrono::milliseconds interval, TimerMode mode,
                                              Call call) {
  if (interval.count() < 0) {
    interval = std::chrono::milliseconds(0);
  }
  std::lock_guard lock(m_mutex);
  const TimerId id = m_nextTimerId++;
  m_timers.emplace(
      id, Timer{Clock::now() + interval, interval, mode, std::make_shared<Call>(std::move(call))});
  return id;
}

void LocalEventLoop::stopTimer(TimerId id) {
  std::lock_guard lock(m_mutex);
  m_timers.erase(id);
}

void LocalEventLoop::quit() {
  {
    std::lock_guard lock(m_mutex);
    m_quit = true;
  }
  m_wake.notify_all();
}

LocalEventLoop::Clock::time_point LocalEventLoop::nextTimerDueLocked() const {
  Clock::time_point next = Clock::time_point::max();
  for (const auto& [id, timer] : m_timers) {
    if (timer.due < next) {
      next = timer.due;
    }
  }
  return next;
}

std::shared_ptr<EventLoop::Call> LocalEventLoop::takeDueLocked(Clock::time_point now) {
  auto dueTimer = m_timers.end();
  for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
    if (it->second.due <= now &&
        (dueTimer == m_timers.end() || it->second.due < dueTimer->second.due)) {
      dueTimer = it;
    }
  }
  const bool takeTimer = dueTimer != m_timers.end() && (m_timerTurn || m_queue.empty());
  m_timerTurn = !m_timerTurn;
  if (takeTimer) {
    std::shared_ptr<Call> call = dueTimer->second.call;
    if (dueTimer->second.mode == TimerMode::Repeating) {
      // A repeating timer that fell behind fires once and then keeps its rhythm from now.
      Timer& timer = dueTimer->second;
      timer.due += timer.interval;
      if (timer.due <= now) {
        timer.due = now + timer.interval;
      }
    } else {
      m_timers.erase(dueTimer);
    }
    return call;
  }
  if (!m_queue.empty()) {
    auto call = std::make_shared<Call>(std::move(m_queue.front()));
    m_queue.pop_front();
    return call;
  }
  return nullptr;
}

bool LocalEventLoop::runOne(Clock::time_point deadline, bool wait, bool stopOnQuit) {
  std::shared_ptr<Call> call;
  {
    std::unique_lock lock(m_mutex);
    for (;;) {
      const Clock::time_point now = Clock::now();
      call = takeDueLocked(now);
      if (call || !wait || (stopOnQuit && m_quit) || now >= deadline) {
        break;
      }
      const Clock::time_point until = std::min(deadline, nextTimerDueLocked());
      if (until == Clock::time_point::max()) {
        m_wake.wait(lock);
      } else {
        m_wake.wait_until(lock, until);
      }
    }
  }
  if (!call) {
    return false;
  }
  (*call)();
  return true;
}

void LocalEventLoop::run() {
  for (;;) {
    {
      std::lock_guard lock(m_mutex);
      if (m_quit) {
        m_quit = false;
        return;
      }
    }
    runOne(Clock::time_point::max(), true, true);
  }
}

bool LocalEventLoop::runUntil(const std::function<bool()>& done, Clock::time_point deadline) {
  while (!done()) {
    if (Clock::now() >= deadline) {
      return false;
    }
    runOne(deadline, true, false);
  }
  return true;
}

void LocalEventLoop::runFor(std::chrono::milliseconds duration) {
  runUntil([] { return false; }, duration);
}

std::size_t LocalEventLoop::processPending() {
  std::size_t count = 0;
  // Only what is due now: calls posted by these calls wait for the next turn.
  std::size_t budget;
  {
    std::lock_guard lock(m_mutex);
    budget = m_queue.size() + m_timers.size();
  }
  while (count < budget && runOne(Clock::now(), false, false)) {
    ++count;
  }
  return count;
}

}  // namespace tvx
