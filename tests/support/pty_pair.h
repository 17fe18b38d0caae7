#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace tvx::test {

// A pseudo-terminal for serial tests: the code under test opens slavePath() like a serial
// port; the test plays the other end of the line through the master side. Both sides raw.
class PtyPair {
 public:
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& slavePath() const { return m_slavePath; }
  int masterFd() const { return m_master; }

  // Sends bytes to whoever has the slave open.
  void send(std::string_view bytes);
  // Reads what the other side wrote until count bytes came or the timeout passed.
  std::string receive(std::size_t count,
                      std::chrono::milliseconds timeout = std::chrono::seconds(5));
  // Reads whatever arrives until nothing more came for quiet.
  std::string receiveUntilQuiet(std::chrono::milliseconds quiet = std::chrono::milliseconds(100));
  // Hangs up the line: the slave side sees the device vanish.
  void closeMaster();

 private:
  int m_master = -1;
  std::string m_slavePath;
};

}  // namespace tvx::test
