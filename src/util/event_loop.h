#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace tvx {

namespace detail {
struct PendingInvoke;
}

class EventLoop;

// Lets a worker that waits in EventLoop::invoke() be released from another thread. The owner
// of a worker cancels the gate before it waits for the worker to end (a serial port's Close):
// a call that has not started yet never runs, and a waiting worker returns at once even when
// its call is running right now (Close called from inside that very call). Once cancelled the
// gate refuses every invoke until reset().
class InvokeGate {
 public:
  InvokeGate() = default;
  InvokeGate(const InvokeGate&) = delete;
  InvokeGate& operator=(const InvokeGate&) = delete;

  void cancel();
  void reset();
  bool cancelled() const;

 private:
  friend class EventLoop;
  mutable std::mutex m_mutex;
  bool m_cancelled = false;
  std::shared_ptr<detail::PendingInvoke> m_pending;
};

// The user-interface thread as the core sees it: one thread that runs posted calls and timers
// in order. The command-line tool and the tests run a LocalEventLoop; the window implements
// the same interface over Qt's event loop.
//
// Which loop a component uses: the program installs its UI loop once with SetUiEventLoop()
// (ScopedUiEventLoop in tests); a component takes UiEventLoop() when it needs a loop (a serial
// port when it opens, an upload engine when it is made) unless its owner gave it one of its
// own (TCustomUart::pw_EventLoop, the engine's constructor).
class EventLoop {
 public:
  using Call = std::function<void()>;
  using TimerId = std::uint64_t;  // 0 is never a timer
  enum class TimerMode { SingleShot, Repeating };

  virtual ~EventLoop() = default;

  // Queues call to run on the loop thread. Any thread.
  virtual void post(Call call) = 0;
  // True on the loop thread.
  virtual bool isLoopThread() const = 0;
  // Starts a timer that runs call on the loop thread after interval (then every interval when
  // repeating). Loop thread only. A call may stop its own timer.
  virtual TimerId startTimer(std::chrono::milliseconds interval, TimerMode mode, Call call) = 0;
  // Stops a timer; unknown or finished ids are ignored. Loop thread only.
  virtual void stopTimer(TimerId id) = 0;

  // Runs call on the loop thread and returns when it has run: true. On the loop thread itself
  // the call runs at once. Returns false without waiting any longer when the gate is or gets
  // cancelled, and when the loop drops the call unrun (a loop destroyed with calls queued).
  // A call that throws is still counted as run; the exception goes to the loop.
  bool invoke(Call call, InvokeGate* gate = nullptr);
};

// The process-wide UI loop (null until the program installs one).
EventLoop* UiEventLoop();
// Installs loop (null to remove) and returns the previous one.
EventLoop* SetUiEventLoop(EventLoop* loop);

// Installs a UI loop for the lifetime of the guard.
class ScopedUiEventLoop {
 public:
  explicit ScopedUiEventLoop(EventLoop& loop) : m_previous(SetUiEventLoop(&loop)) {}
  ~ScopedUiEventLoop() { SetUiEventLoop(m_previous); }
  ScopedUiEventLoop(const ScopedUiEventLoop&) = delete;
  ScopedUiEventLoop& operator=(const ScopedUiEventLoop&) = delete;

 private:
  EventLoop* m_previous;
};

}  // namespace tvx
