#include "util/event_loop.h"

#include <atomic>
#include <condition_variable>

namespace tvx {
namespace detail {

// One call handed from a waiting thread to the loop thread.
struct PendingInvoke {
  enum class State { Pending, Running, Done, Cancelled, Dropped };

  explicit PendingInvoke(EventLoop::Call c) : call(std::move(c)) {}

  // On the loop thread. Runs the call unless it was cancelled first.
  void run() {
    {
      std::lock_guard lock(mutex);
      if (state != State::Pending) {
        return;
      }
      state = State::Running;
    }
    struct Finish {
      PendingInvoke* self;
      ~Finish() { self->settle(State::Done); }
    } finish{this};
    call();
  }

  void settle(State final) {
    std::lock_guard lock(mutex);
    state = final;
    released.notify_all();
  }

  // From any thread: the waiter stops waiting; a call not yet started never will.
  void cancel() {
    std::lock_guard lock(mutex);
    if (state == State::Pending) {
      state = State::Cancelled;
    }
    waiterReleased = true;
    released.notify_all();
  }

  // Returns true when the call ran to its end while the waiter was still waiting for it.
  bool wait() {
    std::unique_lock lock(mutex);
    released.wait(lock, [this] {
      return waiterReleased || state == State::Done || state == State::Cancelled ||
             state == State::Dropped;
    });
    return state == State::Done && !waiterReleased;
  }

  EventLoop::Call call;
  std::mutex mutex;
  std::condition_variable released;
  State state = State::Pending;
  bool waiterReleased = false;
};

// Travels with the posted call; when the loop destroys the call without running it, the
// waiter is released instead of waiting for ever.
struct DropGuard {
  explicit DropGuard(std::shared_ptr<PendingInvoke> p) : pending(std::move(p)) {}
  ~DropGuard() {
    std::lock_guard lock(pending->mutex);
    if (pending->state == PendingInvoke::State::Pending) {
      pending->state = PendingInvoke::State::Dropped;
      pending->released.notify_all();
    }
  }
  DropGuard(const DropGuard&) = delete;
  DropGuard& operator=(const DropGuard&) = delete;

  std::shared_ptr<PendingInvoke> pending;
};

}  // namespace detail

void InvokeGate::cancel() {
  std::shared_ptr<detail::PendingInvoke> pending;
  {
    std::lock_guard lock(m_mutex);
    m_cancelled = true;
    pending = std::move(m_pending);
  }
  if (pending) {
    pending->cancel();
  }
}

void InvokeGate::reset() {
  std::lock_guard lock(m_mutex);
  m_cancelled = false;
}

bool InvokeGate::cancelled() const {
  std::lock_guard lock(m_mutex);
  return m_cancelled;
}

bool EventLoop::invoke(Call call, InvokeGate* gate) {
  if (isLoopThread()) {
    if (gate != nullptr && gate->cancelled()) {
      return false;
    }
    call();
    return true;
  }
  auto pending = std::make_shared<detail::PendingInvoke>(std::move(call));
  if (gate != nullptr) {
    std::lock_guard lock(gate->m_mutex);
    if (gate->m_cancelled) {
      return false;
    }
    gate->m_pending = pending;
  }
  auto guard = std::make_shared<detail::DropGuard>(pending);
  post([guard] { guard->pending->run(); });
  guard.reset();
  const bool ran = pending->wait();
  if (gate != nullptr) {
    std::lock_guard lock(gate->m_mutex);
    if (gate->m_pending == pending) {
      gate->m_pending.reset();
    }
  }
  return ran;
}

namespace {
std::atomic<EventLoop*> g_uiLoop{nullptr};
}

EventLoop* UiEventLoop() {
  return g_uiLoop.load(std::memory_order_acquire);
}

EventLoop* SetUiEventLoop(EventLoop* loop) {
  return g_uiLoop.exchange(loop, std::memory_order_acq_rel);
}

}  // namespace tvx
