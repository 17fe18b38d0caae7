#pragma once

#include <csignal>
#include <functional>
#include <mutex>
#include <thread>

namespace tvx {

// Turns Ctrl-C (SIGINT) and SIGTERM into a call of the handler on a thread of its own, so that
// a running upload can close its port cleanly instead of the program ending under it. Make it
// before any other thread of the program (they inherit the blocked signals); the signals are
// delivered normally again once it is gone.
class InterruptWatcher {
 public:
  InterruptWatcher();
  ~InterruptWatcher();
  InterruptWatcher(const InterruptWatcher&) = delete;
  InterruptWatcher& operator=(const InterruptWatcher&) = delete;

  // Any thread; null stops calling. The handler typically posts to the UI loop.
  void setHandler(std::function<void()> handler);

 private:
  void watch();

  sigset_t m_previousMask;
  int m_signalFd = -1;
  int m_stopFd = -1;
  std::mutex m_mutex;
  std::function<void()> m_handler;
  std::thread m_thread;
};

// The watcher's handler for as long as it lives. Made after what the handler uses, it stops
// the calls before that is gone, on every way out.
class ScopedInterruptHandler {
 public:
  ScopedInterruptHandler(InterruptWatcher& watcher, std::function<void()> handler)
      : m_watcher(watcher) {
    m_watcher.setHandler(std::move(handler));
  }
  ~ScopedInterruptHandler() { m_watcher.setHandler(nullptr); }
  ScopedInterruptHandler(const ScopedInterruptHandler&) = delete;
  ScopedInterruptHandler& operator=(const ScopedInterruptHandler&) = delete;

 private:
  InterruptWatcher& m_watcher;
};

}  // namespace tvx
