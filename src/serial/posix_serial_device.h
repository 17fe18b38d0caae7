#pragma once

#include <atomic>
#include <cstdint>

#include "serial/serial_device.h"

namespace tvx::platform {

// A terminal device through termios. The worker sleeps in one poll() on the device, an eventfd
// (terminate) and three timerfds: the line timer of text files, the transmit-queue check and,
// only when modem events are wanted on a device that has modem lines, a 20 ms modem sample
// (Linux reports modem changes only through a blocking ioctl).
//
// Transmitter empty: after every write the transmit-queue check is armed for the time the
// queued bytes need on the line (TIOCOUTQ × character time); when it expires the worker asks
// TIOCOUTQ again and reports kEvTxEmpty at zero, or re-arms for what is left. So the worker
// never blocks in tcdrain and wakes about once per write. A pseudo-terminal hands its bytes to
// the peer at once, so it is empty as soon as the write returns.
//
// Line errors come from the driver's error counters (TIOCGICOUNT) looked at when bytes arrive;
// pseudo-terminals have neither counters nor modem lines.
//
// The port is held exclusively: TIOCEXCL against other programs and an flock() that also
// stops a second open by this program (and by root, whom TIOCEXCL lets through).
class PosixSerialDevice : public SerialDevice {
 public:
  PosixSerialDevice() = default;
  ~PosixSerialDevice() override;

  SerialOpenError open(const std::string& path, bool writeThrough) override;
  bool isOpen() const override { return m_fd >= 0; }
  unsigned createWaitObjects() override;
  void destroyWaitObjects() override;
  bool setQueueSizes(unsigned receiveBytes, unsigned transmitBytes) override;
  bool configure(const SerialLineSettings& settings) override;
  bool setWriteTimeout(std::chrono::milliseconds timeout) override;
  bool setEventMask(unsigned events) override;
  bool setDtr(bool on) override;
  bool setRts(bool on) override;
  bool modemStatus(unsigned& lines) override;
  SerialWriteStatus write(const void* data, std::size_t bytes, std::size_t& written) override;
  void purge() override;
  bool close() override;
  bool lost() const override { return m_lost.load(std::memory_order_acquire); }

  SerialWakeup waitForEvent() override;
  void signalTerminate() override;
  void resetTerminate() override;
  void clearError(unsigned& errors, std::size_t& queuedBytes) override;
  long read(void* buffer, std::size_t bytes) override;
  bool armLineTimer(std::chrono::milliseconds delay) override;
  void disarmLineTimer() override;

 private:
  struct Counters {
    int cts = 0, dsr = 0, rng = 0, dcd = 0, frame = 0, overrun = 0, parity = 0, brk = 0,
        bufOverrun = 0;
  };

  void scheduleDrainCheck();
  // kEvTxEmpty when the transmit queue is empty, else re-arms the check.
  unsigned checkDrained();
  // Events from the error counters (and the modem lines when sampling).
  unsigned checkCounters(bool modemToo);
  unsigned checkModemLines();
  bool readCounters(Counters& counters) const;
  void markLost();

  int m_fd = -1;
  int m_terminateFd = -1;
  int m_drainTimerFd = -1;
  int m_lineTimerFd = -1;
  int m_sampleTimerFd = -1;
  std::atomic<unsigned> m_eventMask{0};
  std::atomic<bool> m_lost{false};
  std::atomic<std::int64_t> m_charTimeNs{1'041'667};  // 10 bits at 9600 baud
  std::atomic<std::int64_t> m_writeTimeoutMs{5000};

  // Set before the worker starts, then the worker's own.
  bool m_hasCounters = false;
  Counters m_counters;
  bool m_hasModemLines = false;
  unsigned m_modemLines = 0;
  unsigned m_pendingErrors = 0;
};

}  // namespace tvx::platform
