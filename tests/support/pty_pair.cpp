#include "support/pty_pair.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "serial/pseudo_terminal.h"

namespace tvx::test {

PtyPair::PtyPair() {
  Result<PseudoTerminal> line = OpenRawPseudoTerminal();
  if (!line) {
    throw std::runtime_error("openpty failed");
  }
  m_master = line->master;
  m_slavePath = std::move(line->devicePath);
}

PtyPair::~PtyPair() {
  closeMaster();
}

void PtyPair::send(std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EAGAIN) {
      pollfd pfd{m_master, POLLOUT, 0};
      ::poll(&pfd, 1, 100);
    } else if (n < 0 && errno != EINTR) {
      throw std::runtime_error("write to pseudo-terminal failed");
    }
  }
}

std::string PtyPair::receive(std::size_t count, std::chrono::milliseconds timeout) {
  std::string got;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  char buffer[4096];
  while (got.size() < count) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      break;
    }
    pollfd pfd{m_master, POLLIN, 0};
    if (::poll(&pfd, 1, static_cast<int>(left.count())) <= 0) {
      continue;
    }
    const ssize_t n = ::read(m_master, buffer, std::min(sizeof buffer, count - got.size()));
    if (n > 0) {
      got.append(buffer, static_cast<std::size_t>(n));
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
      break;  // nobody has the slave open
    }
  }
  return got;
}

std::string PtyPair::receiveUntilQuiet(std::chrono::milliseconds quiet) {
  std::string got;
  char buffer[4096];
  for (;;) {
    pollfd pfd{m_master, POLLIN, 0};
    if (::poll(&pfd, 1, static_cast<int>(quiet.count())) <= 0 || (pfd.revents & POLLIN) == 0) {
      return got;
    }
    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
    if (n <= 0) {
      return got;
    }
    got.append(buffer, static_cast<std::size_t>(n));
  }
}

void PtyPair::closeMaster() {
  if (m_master >= 0) {
    ::close(m_master);
    m_master = -1;
  }
}

}  // namespace tvx::test
