#include "cli/interrupt_watcher.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace tvx {

InterruptWatcher::InterruptWatcher() {
  sigset_t interrupts;
  sigemptyset(&interrupts);
  sigaddset(&interrupts, SIGINT);
  sigaddset(&interrupts, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &interrupts, &m_previousMask);
  m_signalFd = signalfd(-1, &interrupts, SFD_CLOEXEC | SFD_NONBLOCK);
  m_stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  m_thread = std::thread(&InterruptWatcher::watch, this);
}

InterruptWatcher::~InterruptWatcher() {
  setHandler(nullptr);
  const std::uint64_t one = 1;
  [[maybe_unused]] ssize_t n = ::write(m_stopFd, &one, sizeof one);
  m_thread.join();
  ::close(m_signalFd);
  ::close(m_stopFd);
  pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
}

void InterruptWatcher::setHandler(std::function<void()> handler) {
  std::lock_guard lock(m_mutex);
  m_handler = std::move(handler);
}

void InterruptWatcher::watch() {
  for (;;) {
    pollfd fds[2] = {{m_stopFd, POLLIN, 0}, {m_signalFd, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      return;
    }
    if (fds[0].revents != 0) {
      return;
    }
    signalfd_siginfo info;
    while (::read(m_signalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
      std::lock_guard lock(m_mutex);
      if (m_handler) {
        m_handler();
      }
    }
  }
}

}  // namespace tvx
