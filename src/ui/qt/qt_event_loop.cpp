#include "ui/qt/qt_event_loop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <QTimer>

#include "ui/qt/report_exceptions.h"

namespace tvx {

namespace {

// A posted call travelling through Qt's event queue. Destroyed unrun when the receiver goes
// away first, which releases a waiting invoke().
class CallEvent : public QEvent {
 public:
  static QEvent::Type type() {
    static const int registered = QEvent::registerEventType();
    return static_cast<QEvent::Type>(registered);
  }

  explicit CallEvent(EventLoop::Call call) : QEvent(type()), m_call(std::move(call)) {}
  void run() {
    EventLoop::Call call = std::move(m_call);
    YVclCtrl::RunReportingExceptions(call);
  }

 private:
  EventLoop::Call m_call;
};

}  // namespace

class QtEventLoop::Receiver : public QObject {
 public:
  bool event(QEvent* event) override {
    if (event->type() == CallEvent::type()) {
      static_cast<CallEvent*>(event)->run();
      return true;
    }
    return QObject::event(event);
  }
};

QtEventLoop::QtEventLoop() : m_receiver(new Receiver) {}

QtEventLoop::~QtEventLoop() {
  m_timers.clear();
  // Deleting the receiver deletes its timers and the events still posted to it.
  delete m_receiver;
}

void QtEventLoop::post(Call call) {
  QCoreApplication::postEvent(m_receiver, new CallEvent(std::move(call)));
}

bool QtEventLoop::isLoopThread() const {
  return QThread::currentThread() == m_receiver->thread();
}

EventLoop::TimerId QtEventLoop::startTimer(std::chrono::milliseconds interval, TimerMode mode,
                                           Call call) {
  const TimerId id = m_nextTimerId++;
  auto* timer = new QTimer(m_receiver);
  timer->setTimerType(Qt::PreciseTimer);
  timer->setSingleShot(mode == TimerMode::SingleShot);
  timer->setInterval(std::max<std::chrono::milliseconds>(interval, std::chrono::milliseconds(0)));
  QObject::connect(timer, &QTimer::timeout, m_receiver, [this, id, mode, call = std::move(call)] {
    // Copied: the call may stop (and so release) its own timer while it runs.
    const Call running = call;
    if (mode == TimerMode::SingleShot) {
      stopTimer(id);
    }
    YVclCtrl::RunReportingExceptions(running);
  });
  m_timers.emplace(id, timer);
  timer->start();
  return id;
}

void QtEventLoop::stopTimer(TimerId id) {
  const auto found = m_timers.find(id);
  if (found == m_timers.end()) {
    return;
  }
  QTimer* timer = found->second;
  m_timers.erase(found);
  timer->stop();
  // Not deleted at once: the timer may be the one whose call is running right now.
  timer->deleteLater();
}

}  // namespace tvx
