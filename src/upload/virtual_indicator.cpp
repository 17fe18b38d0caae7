#include "upload/virtual_indicator.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "serial/pseudo_terminal.h"

namespace tvx {
namespace fs = std::filesystem;
namespace {

void closeFd(int& fd) {
  if (fd >= 0) {
    ::close(fd);
    fd = -1;
  }
}

}  // namespace

VirtualIndicator::VirtualIndicator(VirtualIndicatorOptions options, Print print)
    : m_options(std::move(options)), m_checker(std::move(print)) {
  m_stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

VirtualIndicator::~VirtualIndicator() {
  closeFd(m_master);
  closeFd(m_inotifyFd);
  closeFd(m_stopFd);
  removeLink();
}

Result<void> VirtualIndicator::open() {
  closeFd(m_master);
  closeFd(m_inotifyFd);
  // Raw until the tool sets its own line: no echo of what it sends.
  const Result<PseudoTerminal> line = OpenRawPseudoTerminal();
  if (!line) {
    return Error(line.error()).withAction({"無法建立虛擬終端機", "cannot make a pseudo-terminal"});
  }
  m_master = line->master;
  m_devicePath = line->devicePath;

  // Told when the tool opens the line, so that waiting for it costs nothing.
  m_inotifyFd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (m_inotifyFd >= 0) {
    inotify_add_watch(m_inotifyFd, m_devicePath.c_str(), IN_OPEN);
  }

  const fs::path link(m_options.linkPath);
  std::error_code code;
  if (fs::exists(fs::symlink_status(link, code)) &&
      !fs::is_symlink(fs::symlink_status(link, code))) {
    closeFd(m_master);
    return Error::Stated(m_options.linkPath, {"%s 已存在且不是連結; 不予取代",
                                              "%s exists and is not a link; not replacing it"});
  }
  const fs::path temporary = link.string() + ".new";
  fs::remove(temporary, code);
  fs::create_symlink(m_devicePath, temporary, code);
  if (!code) {
    fs::rename(temporary, link, code);
  }
  if (code) {
    closeFd(m_master);
    return Error::System(m_options.linkPath, code.value())
        .withAction({"無法建立連結 %s", "cannot make the link %s"});
  }
  m_linkMade = true;
  return {};
}

void VirtualIndicator::hangUp() {
  closeFd(m_master);
}

void VirtualIndicator::stop() {
  const std::uint64_t one = 1;
  if (m_stopFd >= 0) {
    [[maybe_unused]] ssize_t n = ::write(m_stopFd, &one, sizeof one);
  }
}

void VirtualIndicator::removeLink() {
  if (!m_linkMade) {
    return;
  }
  std::error_code code;
  if (fs::is_symlink(fs::symlink_status(m_options.linkPath, code)) &&
      fs::read_symlink(m_options.linkPath, code) == fs::path(m_devicePath)) {
    fs::remove(m_options.linkPath, code);
  }
  m_linkMade = false;
}

VirtualIndicator::Wait VirtualIndicator::waitForData() {
  pollfd fds[2] = {{m_stopFd, POLLIN, 0}, {m_master, POLLIN, 0}};
  while (::poll(fds, 2, -1) < 0) {
    if (errno != EINTR) {
      return Wait::Stopped;
    }
  }
  if (fds[0].revents != 0) {
    return Wait::Stopped;
  }
  // Hang-up with nothing left to read: nobody has the line open.
  if ((fds[1].revents & POLLIN) == 0 && (fds[1].revents & (POLLHUP | POLLERR)) != 0) {
    return Wait::NoPeer;
  }
  return Wait::Data;
}

bool VirtualIndicator::waitForPeer() {
  for (;;) {
    pollfd probe{m_master, POLLIN, 0};
    ::poll(&probe, 1, 0);
    if ((probe.revents & POLLHUP) == 0 || (probe.revents & POLLIN) != 0) {
      return true;
    }
    pollfd fds[2] = {{m_stopFd, POLLIN, 0}, {m_inotifyFd, POLLIN, 0}};
    // Without inotify the line is looked at every 50 ms.
    const int timeout = m_inotifyFd >= 0 ? -1 : 50;
    if (::poll(fds, 2, timeout) < 0 && errno != EINTR) {
      return false;
    }
    if (fds[0].revents != 0) {
      return false;
    }
    if (fds[1].revents != 0) {
      char events[4096];
      while (::read(m_inotifyFd, events, sizeof events) > 0) {
      }
    }
  }
}

bool VirtualIndicator::pace(std::size_t bytes) {
  if (m_options.baud == 0) {
    return true;
  }
  // While bytes keep coming the line is busy and its clock runs on from the last character,
  // so sleeping late now is made up by reading sooner next; after a pause it starts afresh.
  constexpr auto kIdleAfter = std::chrono::milliseconds(20);
  const auto now = std::chrono::steady_clock::now();
  if (m_lineFreeAt + kIdleAfter < now) {
    m_lineFreeAt = now;
  }
  m_lineFreeAt += std::chrono::nanoseconds(static_cast<std::int64_t>(bytes) * 10 * 1'000'000'000 /
                                           m_options.baud);
  if (m_lineFreeAt <= now) {
    return true;
  }
  const auto wait = std::chrono::duration_cast<std::chrono::nanoseconds>(m_lineFreeAt - now);
  const timespec timeout{static_cast<time_t>(wait.count() / 1'000'000'000),
                         static_cast<long>(wait.count() % 1'000'000'000)};
  pollfd stop{m_stopFd, POLLIN, 0};
  return ::ppoll(&stop, 1, &timeout, nullptr) <= 0;
}

std::optional<UploadTransferSummary> VirtualIndicator::receiveTransfer() {
  if (m_master < 0) {
    return std::nullopt;
  }
  // Reads of a few milliseconds of line each, so the pace is even.
  const std::size_t chunk =
      m_options.baud == 0 ? 65536 : std::max<std::size_t>(16, m_options.baud / 10 / 200);
  std::vector<std::uint8_t> buffer(chunk);
  bool started = false;
  std::size_t received = 0;
  m_lineFreeAt = std::chrono::steady_clock::now();
  for (;;) {
    const Wait wait = waitForData();
    if (wait == Wait::Stopped) {
      return std::nullopt;
    }
    if (wait == Wait::NoPeer) {
      if (started) {
        return m_checker.finish();
      }
      if (!waitForPeer()) {
        return std::nullopt;
      }
      continue;
    }
    std::size_t want = chunk;
    if (m_options.hangUpAfterBytes > 0) {
      want = std::min(want, m_options.hangUpAfterBytes - received);
    }
    const ssize_t n = ::read(m_master, buffer.data(), want);
    if (n > 0) {
      if (!started) {
        m_lineFreeAt = std::chrono::steady_clock::now();
      }
      started = true;
      received += static_cast<std::size_t>(n);
      m_checker.feed(buffer.data(), static_cast<std::size_t>(n));
      m_lastByte = std::chrono::steady_clock::now();
      if (m_options.hangUpAfterBytes > 0 && received >= m_options.hangUpAfterBytes) {
        hangUp();
        return m_checker.finish();
      }
      if (!pace(static_cast<std::size_t>(n))) {
        return std::nullopt;
      }
    } else if (n < 0 && errno == EIO) {
      // The tool closed the line and everything it wrote has been read.
      if (started) {
        return m_checker.finish();
      }
      if (!waitForPeer()) {
        return std::nullopt;
      }
    }
  }
}

}  // namespace tvx
