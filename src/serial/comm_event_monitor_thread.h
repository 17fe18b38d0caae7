#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

#include "serial/serial_device.h"
#include "util/event_loop.h"

namespace YVclCtrl {

class TCustomUart;

// The one worker of an open TCustomUart. It sleeps until the line, the terminate request or
// the text-file line timer wakes it, reads what arrived, cuts it into packets by the port's
// receive filter, continues a text-file transfer, and hands every event to the UI thread,
// waiting until the handler has run.
//
// Terminate() also releases a delivery that is waiting for the UI thread, so the UI thread may
// end the worker (Close) at any time, even from inside one of its handlers; a delivery that
// was still queued is dropped, so no event reaches the owner after Close has returned.
class TCommEventMonitorThread {
 public:
  struct Buffers {
    char* delivered;    // what OnRxdDatas receives
    char* filtered;     // FilteredRxdBuff: where packets are assembled
    char* raw;          // the read buffer
    unsigned capacity;  // SysUartRxdQueueSize when the port opened; each buffer has 8 more
  };

  // Creates the wait objects; those that cannot be made are reported and construction goes on.
  TCommEventMonitorThread(TCustomUart* owner, tvx::platform::SerialDevice* device, Buffers buffers,
                          tvx::EventLoop* loop);
  ~TCommEventMonitorThread();
  TCommEventMonitorThread(const TCommEventMonitorThread&) = delete;
  TCommEventMonitorThread& operator=(const TCommEventMonitorThread&) = delete;

  // Starts the worker; false when the system cannot make the thread.
  bool Start();
  // Asks the worker to end and wakes it. Any thread.
  void Terminate();
  // Waits until the worker has ended.
  void WaitFor();
  bool pr_Terminated() const { return m_terminated.load(std::memory_order_acquire); }
  // The message of the exception that ended the worker early (a receive-buffer overflow), or
  // empty. Read it after WaitFor() or on the UI thread once the worker has stopped delivering.
  std::string pr_FatalException() const;
  bool pr_Finished() const { return m_finished.load(std::memory_order_acquire); }

  // Worker side, for the text-file continuation: the timer that paces the lines.
  bool ArmLineTimer(unsigned delayMs);

 private:
  void Execute();
  void Body();
  void HandleEvent(unsigned events);
  void HandleReceived(std::size_t bytes);
  void Deliver();
  // Runs call on the UI thread and waits; false when the worker is being ended.
  bool Synchronize(tvx::EventLoop::Call call);

  TCustomUart* const m_owner;
  tvx::platform::SerialDevice* const m_device;
  const Buffers m_buffers;
  tvx::EventLoop* const m_loop;
  tvx::InvokeGate m_gate;
  std::thread m_thread;
  std::atomic<bool> m_terminated{false};
  std::atomic<bool> m_finished{false};
  std::string m_fatalException;  // written by the worker before m_finished

  // The worker's own.
  std::size_t m_fillPosition = 0;
  bool m_timerArmed = false;
};

}  // namespace YVclCtrl
