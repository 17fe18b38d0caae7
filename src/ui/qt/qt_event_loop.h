#pragma once

#include <QObject>
#include <map>

#include "util/event_loop.h"

class QTimer;

namespace tvx {

// The UI loop of the window: posted calls and timers run on the thread that made the loop (the
// GUI thread) through Qt's own event loop, so they also run while a dialog or message box is
// open. An exception thrown by a call is shown as an error box and does not cross Qt's loop.
class QtEventLoop : public EventLoop {
 public:
  QtEventLoop();
  // Calls still queued are dropped unrun; workers waiting for one of them are released.
  ~QtEventLoop() override;
  QtEventLoop(const QtEventLoop&) = delete;
  QtEventLoop& operator=(const QtEventLoop&) = delete;

  void post(Call call) override;
  bool isLoopThread() const override;
  TimerId startTimer(std::chrono::milliseconds interval, TimerMode mode, Call call) override;
  void stopTimer(TimerId id) override;

  // Number of timers running (for tests).
  std::size_t activeTimers() const { return m_timers.size(); }

 private:
  class Receiver;

  Receiver* m_receiver;
  std::map<TimerId, QTimer*> m_timers;
  TimerId m_nextTimerId = 1;
};

}  // namespace tvx
