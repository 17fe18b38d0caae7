#include "serial/comm_event_monitor_thread.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <system_error>

#include "serial/custom_uart.h"
#include "util/ey_general.h"
#include "util/messages.h"

namespace YVclCtrl {

using namespace tvx::platform;

namespace {
constexpr unsigned kModemEvents = kEvRing | kEvRlsd | kEvDsr | kEvCts;
}

TCommEventMonitorThread::TCommEventMonitorThread(TCustomUart* owner, SerialDevice* device,
                                                 Buffers buffers, tvx::EventLoop* loop)
    : m_owner(owner), m_device(device), m_buffers(buffers), m_loop(loop) {
  const unsigned failed = m_device->createWaitObjects();
  const char* caption = "TCommEventMonitorThread";
  if (failed & kWaitTerminate) {
    YVclUtil::ShowErrMsgBox_Printf(caption, "Err: Can not create hEventForTerminateThread");
  }
  if (failed & kWaitCommEvent) {
    YVclUtil::ShowErrMsgBox_Printf(caption, "Err: Can not create OlapUartEvt.hEvent");
  }
  if (failed & kWaitRead) {
    YVclUtil::ShowErrMsgBox_Printf(caption, "Err: Can not create OlapRdFile.hEvent");
  }
  if (failed & kWaitTimer) {
    YVclUtil::ShowErrMsgBox_Printf(caption, "Err: Can not create WaitableTimer");
  }
}

TCommEventMonitorThread::~TCommEventMonitorThread() {
  if (m_thread.joinable()) {
    Terminate();
    m_thread.join();
  }
  m_device->disarmLineTimer();
  m_device->destroyWaitObjects();
}

bool TCommEventMonitorThread::Start() {
  m_gate.reset();
  try {
    m_thread = std::thread(&TCommEventMonitorThread::Execute, this);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void TCommEventMonitorThread::Terminate() {
  m_terminated.store(true, std::memory_order_release);
  m_device->signalTerminate();
  m_gate.cancel();
}

void TCommEventMonitorThread::WaitFor() {
  if (m_thread.joinable()) {
    m_thread.join();
  }
}

std::string TCommEventMonitorThread::pr_FatalException() const {
  return pr_Finished() ? m_fatalException : std::string();
}

bool TCommEventMonitorThread::ArmLineTimer(unsigned delayMs) {
  m_timerArmed = m_device->armLineTimer(std::chrono::milliseconds(delayMs));
  return m_timerArmed;
}

void TCommEventMonitorThread::Execute() {
  try {
    Body();
  } catch (const std::exception& error) {
    // The platform's thread keeps the exception that ended its body and shows nothing.
    m_fatalException = error.what();
    YVclUtil::SendDbgString_Printf("TCommEventMonitorThread ended: %s", error.what());
  }
  m_device->disarmLineTimer();
  m_finished.store(true, std::memory_order_release);
}

void TCommEventMonitorThread::Body() {
  m_device->resetTerminate();
  m_device->disarmLineTimer();
  m_fillPosition = 0;
  m_timerArmed = false;
  while (!pr_Terminated()) {
    const SerialWakeup wakeup = m_device->waitForEvent();
    if (wakeup.terminate || pr_Terminated()) {
      break;
    }
    if (wakeup.events != 0) {
      HandleEvent(wakeup.events);
    }
    if (pr_Terminated()) {
      break;
    }
    if (wakeup.lineTimer && m_timerArmed) {
      m_timerArmed = false;
      if (!m_owner->PrrallelProcessingTrySendNextLineOfTxtFile() &&
          m_owner->m_txdEmptyAssigned.load()) {
        Synchronize([owner = m_owner] { owner->FireTxdEmptyEvent(); });
      }
    }
  }
}

void TCommEventMonitorThread::HandleEvent(unsigned events) {
  unsigned errors = 0;
  std::size_t queued = 0;
  m_device->clearError(errors, queued);
  // Line errors, modem lines, transmitter empty, received bytes: in this order when several
  // come together.
  if ((events & kEvErr) != 0 &&
      !Synchronize([owner = m_owner, errors] { owner->FireUartErrEvent(errors); })) {
    return;
  }
  if ((events & kModemEvents) != 0 &&
      !Synchronize([owner = m_owner, events] { owner->FireModemSignalEvent(events); })) {
    return;
  }
  if ((events & kEvTxEmpty) != 0 && m_owner->PrrallelProcessingWhenDetectedTxdEmpty() &&
      !Synchronize([owner = m_owner] { owner->FireTxdEmptyEvent(); })) {
    return;
  }
  if ((events & kEvRxChar) != 0 && queued > 0 && !pr_Terminated()) {
    const long got =
        m_device->read(m_buffers.raw, std::min<std::size_t>(queued, m_buffers.capacity));
    if (got > 0) {
      HandleReceived(static_cast<std::size_t>(got));
    }
  }
}

void TCommEventMonitorThread::HandleReceived(std::size_t bytes) {
  if (bytes == 0 || !m_owner->m_rxdDatasAssigned.load()) {
    return;
  }
  switch (m_owner->m_rxdFilterStyle.load()) {
    case rfs_None:
      std::memcpy(m_buffers.filtered, m_buffers.raw, bytes);
      m_fillPosition = bytes;
      Deliver();
      m_fillPosition = 0;
      break;
    case rfs_ByDelimiterChar: {
      const char delimiter = m_owner->m_rxdFilterDelimiterChar.load();
      for (std::size_t i = 0; i < bytes && !pr_Terminated(); ++i) {
        m_buffers.filtered[m_fillPosition++] = m_buffers.raw[i];
        if (m_buffers.raw[i] == delimiter) {
          Deliver();
          m_fillPosition = 0;
        } else if (m_fillPosition >= m_buffers.capacity) {
          m_fillPosition = 0;
          throw YVclUtil::EYGeneral(
              "TCustomUart FilteredRxdBuff overflow, when delimiting the received datas !!!");
        }
      }
      break;
    }
    case rfs_ByBytesOfPacket: {
      const std::size_t packet = m_owner->m_rxdFilterBytesOfPacket.load();
      for (std::size_t i = 0; i < bytes && !pr_Terminated(); ++i) {
        m_buffers.filtered[m_fillPosition++] = m_buffers.raw[i];
        if (m_fillPosition == packet) {
          Deliver();
          m_fillPosition = 0;
        } else if (m_fillPosition >= m_buffers.capacity) {
          m_fillPosition = 0;
          throw YVclUtil::EYGeneral(
              "TCustomUart FilteredRxdBuff overflow, when collection bytes of the received "
              "datas !!!");
        }
      }
      break;
    }
  }
}

void TCommEventMonitorThread::Deliver() {
  const std::size_t count = m_fillPosition;
  Synchronize([owner = m_owner, buffers = m_buffers, count] {
    std::memcpy(buffers.delivered, buffers.filtered, count);
    owner->FireRxdDatasEvent(static_cast<int>(count));
  });
}

bool TCommEventMonitorThread::Synchronize(tvx::EventLoop::Call call) {
  if (pr_Terminated()) {
    return false;
  }
  return m_loop->invoke(std::move(call), &m_gate);
}

}  // namespace YVclCtrl
