#include "serial/posix_serial_device.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/timerfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "serial/posix_custom_baud.h"

namespace tvx::platform {
namespace {

constexpr unsigned kModemEvents = kEvCts | kEvDsr | kEvRlsd | kEvRing;
constexpr std::int64_t kModemSampleNs = 20'000'000;

bool isGoneError(int error) {
  return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE;
}

void closeFd(int& fd) {
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
}

bool armTimer(int fd, std::int64_t delayNs, std::int64_t periodNs = 0) {
  if (fd < 0) {
    return false;
  }
  itimerspec setting{};
  // A zero it_value would disarm the timer; the shortest wait is one nanosecond.
  if (delayNs < 1) {
    delayNs = 1;
  }
  setting.it_value.tv_sec = static_cast<time_t>(delayNs / 1'000'000'000);
  setting.it_value.tv_nsec = static_cast<long>(delayNs % 1'000'000'000);
  setting.it_interval.tv_sec = static_cast<time_t>(periodNs / 1'000'000'000);
  setting.it_interval.tv_nsec = static_cast<long>(periodNs % 1'000'000'000);
  return timerfd_settime(fd, 0, &setting, nullptr) == 0;
}

void disarmTimer(int fd) {
  if (fd >= 0) {
    itimerspec setting{};
    timerfd_settime(fd, 0, &setting, nullptr);
  }
}

// Empties an eventfd or a timerfd (non-blocking).
void drainFd(int fd) {
  std::uint64_t value;
  while (fd >= 0 && ::read(fd, &value, sizeof value) == static_cast<ssize_t>(sizeof value)) {
  }
}

speed_t standardSpeed(unsigned baud) {
  switch (baud) {
    case 300:
      return B300;
    case 600:
      return B600;
    case 1200:
      return B1200;
    case 1800:
      return B1800;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    case 230400:
      return B230400;
    case 460800:
      return B460800;
    case 500000:
      return B500000;
    case 576000:
      return B576000;
    case 921600:
      return B921600;
    default:
      return B0;
  }
}

SerialOpenError openErrorOf(int error) {
  switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
      return SerialOpenError::NotFound;
    case EBUSY:
      return SerialOpenError::InUse;
    case EACCES:
    case EPERM:
      return SerialOpenError::AccessDenied;
    case EISDIR:
      return SerialOpenError::NotATerminal;
    default:
      return SerialOpenError::Other;
  }
}

// Makes the open terminal this program's alone. Root passes another program's TIOCEXCL, so it
// is asked for as well; the flock() also keeps out a second tvx880.
SerialOpenError claimPort(int fd) {
  termios tio{};
  if (tcgetattr(fd, &tio) != 0) {
    return errno == ENOTTY || errno == EINVAL ? SerialOpenError::NotATerminal : openErrorOf(errno);
  }
  int exclusive = 0;
  if (ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) {
    return SerialOpenError::InUse;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    return SerialOpenError::InUse;
  }
  ioctl(fd, TIOCEXCL);
  return SerialOpenError::None;
}

}  // namespace

unsigned BitsPerCharacter(const SerialLineSettings& settings) {
  return 1 + settings.bitsPerByte + (settings.parity != SerialLineSettings::Parity::None ? 1 : 0) +
         (settings.twoStopBits ? 2 : 1);
}

std::unique_ptr<SerialDevice> MakeSystemSerialDevice() {
  return std::make_unique<PosixSerialDevice>();
}

PosixSerialDevice::~PosixSerialDevice() {
  close();
  destroyWaitObjects();
}

SerialOpenError PosixSerialDevice::open(const std::string& path, bool writeThrough) {
  if (m_fd >= 0) {
    return SerialOpenError::None;
  }
  int flags = O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC;
  if (writeThrough) {
    flags |= O_SYNC;
  }
  const int fd = ::open(path.c_str(), flags);
  if (fd < 0) {
    return openErrorOf(errno);
  }
  const SerialOpenError claimed = claimPort(fd);
  if (claimed != SerialOpenError::None) {
    ::close(fd);
    return claimed;
  }
  m_fd = fd;
  m_lost.store(false, std::memory_order_release);
  m_pendingErrors = 0;
  return SerialOpenError::None;
}

unsigned PosixSerialDevice::createWaitObjects() {
  unsigned failed = 0;
  if (m_terminateFd < 0) {
    m_terminateFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  }
  if (m_terminateFd < 0) {
    failed |= kWaitTerminate;
  }
  if (m_drainTimerFd < 0) {
    m_drainTimerFd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
  }
  if (m_sampleTimerFd < 0) {
    m_sampleTimerFd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
  }
  if (m_drainTimerFd < 0 || m_sampleTimerFd < 0) {
    failed |= kWaitCommEvent;
  }
  if (m_lineTimerFd < 0) {
    m_lineTimerFd = timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
  }
  if (m_lineTimerFd < 0) {
    failed |= kWaitTimer;
  }
  // Reads need no object of their own: the worker polls the device itself.
  return failed;
}

void PosixSerialDevice::destroyWaitObjects() {
  closeFd(m_terminateFd);
  closeFd(m_drainTimerFd);
  closeFd(m_sampleTimerFd);
  closeFd(m_lineTimerFd);
}

bool PosixSerialDevice::setQueueSizes(unsigned /*receiveBytes*/, unsigned /*transmitBytes*/) {
  // The kernel sizes its terminal queues itself.
  return m_fd >= 0;
}

bool PosixSerialDevice::configure(const SerialLineSettings& settings) {
  termios tio{};
  if (m_fd < 0 || tcgetattr(m_fd, &tio) != 0) {
    return false;
  }
  cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
  tio.c_cflag |= settings.bitsPerByte == 7 ? CS7 : CS8;
  tio.c_iflag &= ~(INPCK | IGNPAR | PARMRK | IXON | IXOFF | IXANY);
  if (settings.parity != SerialLineSettings::Parity::None) {
    tio.c_cflag |= PARENB;
    if (settings.parity == SerialLineSettings::Parity::Odd) {
      tio.c_cflag |= PARODD;
    }
    tio.c_iflag |= INPCK;
  }
  if (settings.twoStopBits) {
    tio.c_cflag |= CSTOPB;
  }
  // termios has one RTS/CTS handshake for both directions; DTR/DSR handshakes have no
  // equivalent and are left to the line being held on.
  if (settings.outputWatchesCts ||
      settings.inputHandshake == SerialLineSettings::InputHandshake::Rts) {
    tio.c_cflag |= CRTSCTS;
  }
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  const speed_t speed = standardSpeed(settings.baud);
  if (speed != B0) {
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
  }
  if (tcsetattr(m_fd, TCSANOW, &tio) != 0) {
    return false;
  }
  if (speed == B0 && !SetCustomBaud(m_fd, settings.baud)) {
    return false;
  }
  const unsigned baud = settings.baud != 0 ? settings.baud : 9600;
  m_charTimeNs.store(static_cast<std::int64_t>(BitsPerCharacter(settings)) * 1'000'000'000 / baud,
                     std::memory_order_relaxed);
  return true;
}

bool PosixSerialDevice::setWriteTimeout(std::chrono::milliseconds timeout) {
  m_writeTimeoutMs.store(timeout.count(), std::memory_order_relaxed);
  return m_fd >= 0;
}

bool PosixSerialDevice::setEventMask(unsigned events) {
  if (m_fd < 0) {
    return false;
  }
  if (events != 0 && m_eventMask.load(std::memory_order_relaxed) == 0) {
    // First mask of this open, before the worker runs: the starting point of the counters.
    m_hasCounters = readCounters(m_counters);
    m_hasModemLines = modemStatus(m_modemLines);
  }
  m_eventMask.store(events, std::memory_order_release);
  return true;
}

bool PosixSerialDevice::setDtr(bool on) {
  int bits = TIOCM_DTR;
  return m_fd >= 0 && ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

bool PosixSerialDevice::setRts(bool on) {
  int bits = TIOCM_RTS;
  return m_fd >= 0 && ioctl(m_fd, on ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

bool PosixSerialDevice::modemStatus(unsigned& lines) {
  int bits = 0;
  lines = 0;
  if (m_fd < 0 || ioctl(m_fd, TIOCMGET, &bits) != 0) {
    return false;
  }
  lines = ((bits & TIOCM_CTS) ? kMsCts : 0) | ((bits & TIOCM_DSR) ? kMsDsr : 0) |
          ((bits & TIOCM_RNG) ? kMsRing : 0) | ((bits & TIOCM_CAR) ? kMsRlsd : 0);
  return true;
}

SerialWriteStatus PosixSerialDevice::write(const void* data, std::size_t bytes,
                                           std::size_t& written) {
  written = 0;
  if (m_fd < 0) {
    return SerialWriteStatus::Failed;
  }
  if (lost()) {
    return SerialWriteStatus::Lost;
  }
  const auto* bytesIn = static_cast<const unsigned char*>(data);
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(m_writeTimeoutMs.load(std::memory_order_relaxed));
  SerialWriteStatus status = SerialWriteStatus::Done;
  while (written < bytes) {
    const ssize_t n = ::write(m_fd, bytesIn + written, bytes - written);
    if (n > 0) {
      written += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n < 0 && errno != EAGAIN) {
      if (isGoneError(errno)) {
        markLost();
        status = SerialWriteStatus::Lost;
      } else {
        status = SerialWriteStatus::Failed;
      }
      break;
    }
    // The driver's queue is full: wait until it takes more or the write timeout ends.
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      status = SerialWriteStatus::Short;
      break;
    }
    pollfd pfd{m_fd, POLLOUT, 0};
    ::poll(&pfd, 1, static_cast<int>(left.count()) + 1);
  }
  // The transmitter reports empty once what went out has left; a write that timed out with
  // nothing taken still gets its event when the line moves again.
  if (written > 0 || status == SerialWriteStatus::Short) {
    scheduleDrainCheck();
  }
  return status;
}

void PosixSerialDevice::scheduleDrainCheck() {
  int queued = 0;
  if (ioctl(m_fd, TIOCOUTQ, &queued) != 0) {
    queued = 0;
  }
  armTimer(m_drainTimerFd, queued * m_charTimeNs.load(std::memory_order_relaxed));
}

unsigned PosixSerialDevice::checkDrained() {
  int queued = 0;
  if (m_fd < 0 || ioctl(m_fd, TIOCOUTQ, &queued) != 0 || queued <= 0) {
    // Empty, or no longer able to tell (device gone): either way nothing is left to wait for.
    return kEvTxEmpty;
  }
  armTimer(m_drainTimerFd, queued * m_charTimeNs.load(std::memory_order_relaxed));
  return 0;
}

void PosixSerialDevice::purge() {
  if (m_fd < 0) {
    return;
  }
  // Unread input belongs to this session: the next one must not receive it.
  tcflush(m_fd, TCIFLUSH);
  // Output only when it is still in this side's queue: a pseudo-terminal's "queue" is its
  // peer's input, which the peer may still read after we close.
  int queued = 0;
  if (ioctl(m_fd, TIOCOUTQ, &queued) == 0 && queued > 0) {
    tcflush(m_fd, TCOFLUSH);
  }
}

bool PosixSerialDevice::close() {
  if (m_fd < 0) {
    return true;
  }
  disarmTimer(m_drainTimerFd);
  disarmTimer(m_sampleTimerFd);
  ioctl(m_fd, TIOCNXCL);
  const bool closed = ::close(m_fd) == 0 || errno == EINTR;
  m_fd = -1;
  m_eventMask.store(0, std::memory_order_release);
  return closed;
}

void PosixSerialDevice::markLost() {
  m_lost.store(true, std::memory_order_release);
}

bool PosixSerialDevice::readCounters(Counters& counters) const {
  serial_icounter_struct raw{};
  if (m_fd < 0 || ioctl(m_fd, TIOCGICOUNT, &raw) != 0) {
    return false;
  }
  counters = Counters{raw.cts,     raw.dsr,    raw.rng, raw.dcd,        raw.frame,
                      raw.overrun, raw.parity, raw.brk, raw.buf_overrun};
  return true;
}

unsigned PosixSerialDevice::checkCounters(bool modemToo) {
  Counters now;
  if (!m_hasCounters || !readCounters(now)) {
    return modemToo ? checkModemLines() : 0;
  }
  unsigned errors = 0;
  errors |= now.frame != m_counters.frame ? kCeFrame : 0;
  errors |= now.parity != m_counters.parity ? kCeRxParity : 0;
  errors |= now.brk != m_counters.brk ? kCeBreak : 0;
  errors |= now.overrun != m_counters.overrun ? kCeOverrun : 0;
  errors |= now.bufOverrun != m_counters.bufOverrun ? kCeRxOver : 0;
  unsigned events = errors != 0 ? kEvErr : 0;
  m_pendingErrors |= errors;
  if (modemToo) {
    events |= now.cts != m_counters.cts ? kEvCts : 0;
    events |= now.dsr != m_counters.dsr ? kEvDsr : 0;
    events |= now.rng != m_counters.rng ? kEvRing : 0;
    events |= now.dcd != m_counters.dcd ? kEvRlsd : 0;
    m_counters = now;
  } else {
    // Keep the modem counters where they were so that sampling still sees their changes.
    const Counters previous = m_counters;
    m_counters = now;
    m_counters.cts = previous.cts;
    m_counters.dsr = previous.dsr;
    m_counters.rng = previous.rng;
    m_counters.dcd = previous.dcd;
  }
  return events;
}

unsigned PosixSerialDevice::checkModemLines() {
  unsigned lines = 0;
  if (!m_hasModemLines || !modemStatus(lines)) {
    return 0;
  }
  const unsigned changed = lines ^ m_modemLines;
  m_modemLines = lines;
  return ((changed & kMsCts) ? kEvCts : 0) | ((changed & kMsDsr) ? kEvDsr : 0) |
         ((changed & kMsRing) ? kEvRing : 0) | ((changed & kMsRlsd) ? kEvRlsd : 0);
}

SerialWakeup PosixSerialDevice::waitForEvent() {
  bool sampling = false;
  for (;;) {
    const unsigned mask = m_eventMask.load(std::memory_order_acquire);
    const bool wantSampling =
        (mask & kModemEvents) != 0 && (m_hasCounters || m_hasModemLines) && !lost();
    if (wantSampling != sampling) {
      sampling = wantSampling;
      if (sampling) {
        armTimer(m_sampleTimerFd, kModemSampleNs, kModemSampleNs);
      } else {
        disarmTimer(m_sampleTimerFd);
      }
    }

    enum { kTerminate, kDevice, kDrain, kLine, kSample, kCount };
    pollfd fds[kCount] = {
        {m_terminateFd, POLLIN, 0},
        // A lost device would report hang-up for ever: it is left out of the wait.
        {lost() ? -1 : m_fd, static_cast<short>((mask & kEvRxChar) ? POLLIN : 0), 0},
        {m_drainTimerFd, POLLIN, 0},
        {m_lineTimerFd, POLLIN, 0},
        {sampling ? m_sampleTimerFd : -1, POLLIN, 0},
    };
    if (::poll(fds, kCount, -1) < 0) {
      if (errno != EINTR) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
      continue;
    }
    SerialWakeup wakeup;
    if (fds[kTerminate].revents != 0) {
      wakeup.terminate = true;
      return wakeup;
    }
    unsigned events = 0;
    const short device = fds[kDevice].revents;
    if (device & POLLIN) {
      events |= kEvRxChar;
      if (mask & kEvErr) {
        events |= checkCounters(false);
      }
    }
    if (device & (POLLHUP | POLLERR | POLLNVAL)) {
      markLost();
    }
    if (fds[kDrain].revents != 0) {
      drainFd(m_drainTimerFd);
      events |= checkDrained();
    }
    if (fds[kLine].revents != 0) {
      drainFd(m_lineTimerFd);
      wakeup.lineTimer = true;
    }
    if (fds[kSample].revents != 0) {
      drainFd(m_sampleTimerFd);
      events |= checkCounters(true);
    }
    wakeup.events = events & mask;
    if (wakeup.events != 0 || wakeup.lineTimer) {
      return wakeup;
    }
  }
}

void PosixSerialDevice::signalTerminate() {
  const std::uint64_t one = 1;
  if (m_terminateFd >= 0) {
    [[maybe_unused]] ssize_t n = ::write(m_terminateFd, &one, sizeof one);
  }
}

void PosixSerialDevice::resetTerminate() {
  drainFd(m_terminateFd);
}

void PosixSerialDevice::clearError(unsigned& errors, std::size_t& queuedBytes) {
  errors = m_pendingErrors;
  m_pendingErrors = 0;
  int queued = 0;
  if (m_fd < 0 || ioctl(m_fd, FIONREAD, &queued) != 0 || queued < 0) {
    queued = 0;
  }
  queuedBytes = static_cast<std::size_t>(queued);
}

long PosixSerialDevice::read(void* buffer, std::size_t bytes) {
  for (;;) {
    const ssize_t n = ::read(m_fd, buffer, bytes);
    if (n >= 0) {
      return static_cast<long>(n);
    }
    if (errno == EINTR) {
      continue;
    }
    if (errno == EAGAIN) {
      return 0;
    }
    if (isGoneError(errno)) {
      markLost();
    }
    return -1;
  }
}

bool PosixSerialDevice::armLineTimer(std::chrono::milliseconds delay) {
  return armTimer(m_lineTimerFd,
                  std::chrono::duration_cast<std::chrono::nanoseconds>(delay).count());
}

void PosixSerialDevice::disarmLineTimer() {
  disarmTimer(m_lineTimerFd);
  drainFd(m_lineTimerFd);
}

}  // namespace tvx::platform
