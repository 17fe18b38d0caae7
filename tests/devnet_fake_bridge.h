#pragma once

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/pty_pair.h"

namespace tvx::test {

// The bridge module at the far end of a pseudo-terminal, played by a thread of the test: it
// answers register queries from its register values, keeps what is written to them, announces
// a reset when RF is written, and keeps every line it received. A test makes it keep quiet
// about some registers (or all), sends it lines to pass on (input frames, resets), and answers
// packet frames through a responder.
class FakeBridge {
 public:
  using Responder = std::function<std::vector<std::string>(const std::string& line)>;

  FakeBridge() {
    m_registers = {{'0', 0x00}, {'1', 0x00}, {'3', 0x03}, {'4', 0x04}, {'5', 0x05},
                   {'6', 0x06}, {'7', 0x11}, {'8', 0x08}, {'9', 0x09}, {'E', 0x00}};
    if (::pipe(m_wake) != 0) {
      throw std::runtime_error("pipe failed");
    }
    m_thread = std::thread([this] { run(); });
  }
  ~FakeBridge() {
    const char stop = 's';
    [[maybe_unused]] const auto written = ::write(m_wake[1], &stop, 1);
    m_thread.join();
    ::close(m_wake[0]);
    ::close(m_wake[1]);
  }
  FakeBridge(const FakeBridge&) = delete;
  FakeBridge& operator=(const FakeBridge&) = delete;

  const std::string& path() const { return m_pty.slavePath(); }

  void setRegister(char reg, std::uint8_t value) {
    std::lock_guard lock(m_mutex);
    m_registers[reg] = value;
  }
  std::uint8_t registerValue(char reg) {
    std::lock_guard lock(m_mutex);
    return m_registers[reg];
  }
  // Registers whose queries get no answer ("*" for all).
  void keepQuietAbout(const std::string& registers) {
    std::lock_guard lock(m_mutex);
    m_quiet = registers;
  }
  void setResponder(Responder responder) {
    std::lock_guard lock(m_mutex);
    m_responder = std::move(responder);
  }
  // Sends raw bytes to the PC.
  void send(const std::string& bytes) {
    std::lock_guard lock(m_mutex);
    m_pty.send(bytes);
  }
  // Hangs up: the PC's writes fail from now on. The thread closes the line itself, so that
  // no poll of its own keeps the line alive.
  void hangUp() {
    std::unique_lock lock(m_mutex);
    const char request = 'h';
    [[maybe_unused]] const auto written = ::write(m_wake[1], &request, 1);
    m_changed.wait(lock, [&] { return m_pty.masterFd() < 0; });
  }

  // Every byte received, and the received lines without their line ends.
  std::string receivedBytes() {
    std::lock_guard lock(m_mutex);
    return m_bytes;
  }
  std::vector<std::string> receivedLines() {
    std::lock_guard lock(m_mutex);
    return m_lines;
  }
  void clearReceived() {
    std::lock_guard lock(m_mutex);
    m_bytes.clear();
    m_lines.clear();
  }
  bool hasLine(const std::string& line) {
    std::lock_guard lock(m_mutex);
    return std::find(m_lines.begin(), m_lines.end(), line) != m_lines.end();
  }
  // Waits until the line has been received (since the last clearReceived). Only for what the
  // PC sent by itself: while this waits, the PC's UI loop does not run.
  bool waitForLine(const std::string& line,
                   std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] {
      return std::find(m_lines.begin(), m_lines.end(), line) != m_lines.end();
    });
  }

 private:
  void run() {
    std::string partial;
    char buffer[512];
    for (;;) {
      int master;
      {
        std::lock_guard lock(m_mutex);
        master = m_pty.masterFd();
      }
      pollfd fds[2] = {{m_wake[0], POLLIN, 0}, {master, POLLIN, 0}};
      const int ready = ::poll(fds, master >= 0 ? 2 : 1, 20);
      if (ready > 0 && (fds[0].revents & POLLIN) != 0) {
        char request = 0;
        [[maybe_unused]] const auto got = ::read(m_wake[0], &request, 1);
        if (request == 's') {
          return;
        }
        std::lock_guard lock(m_mutex);
        m_pty.closeMaster();
        m_changed.notify_all();
        continue;
      }
      if (master < 0 || ready <= 0 || (fds[1].revents & POLLIN) == 0) {
        if (master >= 0 && (fds[1].revents & (POLLHUP | POLLERR)) != 0) {
          std::this_thread::sleep_for(std::chrono::milliseconds(5));  // nobody has the port open
        }
        continue;
      }
      const ssize_t n = ::read(master, buffer, sizeof buffer);
      if (n <= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        continue;
      }
      std::lock_guard lock(m_mutex);
      m_bytes.append(buffer, static_cast<std::size_t>(n));
      partial.append(buffer, static_cast<std::size_t>(n));
      std::size_t end;
      while ((end = partial.find('\n')) != std::string::npos) {
        std::string line = partial.substr(0, end);
        partial.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') {
          line.pop_back();
        }
        m_lines.push_back(line);
        answerLocked(line);
      }
      m_changed.notify_all();
    }
  }

  void answerLocked(const std::string& line) {
    char reg = 0;
    unsigned value = 0;
    if (std::sscanf(line.c_str(), " ?R%c", &reg) == 1 && line.size() == 4) {
      if (m_quiet != "*" && m_quiet.find(reg) == std::string::npos) {
        char answer[16];
        std::snprintf(answer, sizeof answer, "*R%c=%02X\r\n", reg, m_registers[reg]);
        m_pty.send(answer);
      }
    } else if (std::sscanf(line.c_str(), " +R%c=%2X", &reg, &value) == 2) {
      if (reg == 'F') {
        if (m_quiet != "*") {
          m_pty.send("*RF=00\r\n");
        }
      } else {
        m_registers[reg] = static_cast<std::uint8_t>(value);
      }
    } else if (m_responder) {
      for (const std::string& reply : m_responder(line)) {
        m_pty.send(reply);
      }
    }
  }

  PtyPair m_pty;
  int m_wake[2] = {-1, -1};
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::map<char, std::uint8_t> m_registers;
  std::string m_quiet;
  Responder m_responder;
  std::string m_bytes;
  std::vector<std::string> m_lines;
  std::thread m_thread;
};

}  // namespace tvx::test
