#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "upload/upload_stream_checker.h"
#include "util/result.h"

namespace tvx {

struct VirtualIndicatorOptions {
  std::string linkPath;    // where the link to the line's device is put
  unsigned baud = 115200;  // reads no faster than this line; 0 reads as fast as it can
  // For tests of a pulled cable: the line drops after this many bytes (0: never).
  std::size_t hangUpAfterBytes = 0;
};

// Plays the indicator for the upload: a pseudo-terminal whose device is reached through a
// symbolic link at linkPath, so that the tool uploads to the link as to a serial port. It
// reads what the tool sends at the pace of a real line and checks it (UploadStreamChecker).
// A transfer runs from the first byte to the tool closing the line. One thread uses it;
// stop() may come from any thread.
class VirtualIndicator {
 public:
  using Print = std::function<void(const std::string&)>;

  explicit VirtualIndicator(VirtualIndicatorOptions options, Print print = {});
  // Closes the line and removes the link.
  ~VirtualIndicator();
  VirtualIndicator(const VirtualIndicator&) = delete;
  VirtualIndicator& operator=(const VirtualIndicator&) = delete;

  // Makes a new line and points the link at it (replacing an earlier link, never a file); an
  // error naming the link or the line when it cannot.
  Result<void> open();
  // Pulls the cable: the tool's open port sees its device vanish.
  void hangUp();
  // Receives and checks one transfer; nullopt when stop() ended the wait, or the line is not
  // open.
  std::optional<UploadTransferSummary> receiveTransfer();
  void stop();

  const std::string& devicePath() const { return m_devicePath; }
  // When the last byte of the last transfer was read.
  std::chrono::steady_clock::time_point lastByteTime() const { return m_lastByte; }

 private:
  enum class Wait { Data, NoPeer, Stopped };

  Wait waitForData();
  bool waitForPeer();
  // Sleeps until the line would have carried bytes more bytes; false when stopped.
  bool pace(std::size_t bytes);
  void removeLink();

  VirtualIndicatorOptions m_options;
  UploadStreamChecker m_checker;
  int m_master = -1;
  int m_stopFd = -1;
  int m_inotifyFd = -1;
  std::string m_devicePath;
  bool m_linkMade = false;
  std::chrono::steady_clock::time_point m_lineFreeAt;
  std::chrono::steady_clock::time_point m_lastByte;
};

}  // namespace tvx
