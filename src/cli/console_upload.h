#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "util/result.h"

namespace tvx {

// What the command line asks for.
enum class ConsoleUploadKind {
  AfterBuild,  // the ROM image the build has just written (no signature or size checks)
  UploadOnly,  // a ROM image the user names: signature and size checked first
  ClockSync,   // only the clock
};

struct ConsoleUploadOptions {
  std::string port;                       // "COM 3", "COM3", "3", or a device path
  std::vector<std::string> portMappings;  // "COM3=/dev/ttyUSB1", put into the port map first
  unsigned lang = 0;                      // the LANG setting: 0 English log, anything else Chinese
  unsigned mem = 0;  // the MEM setting: 64 for the 8 MiB memory, anything else 4 MiB
  std::chrono::milliseconds closeDelay{2500};  // Timer1: finish to port closed
  bool progress = true;                        // draw a progress bar when stderr is a terminal
  bool force = false;  // upload only: send an image that fails its checks all the same
};

// Runs one upload or clock setting through an upload session to its end on this thread (a
// "COM n" goes to the device the port map gives it, or nowhere): the log lines go to stdout as
// they come, a progress bar (packets, bytes, time left) to stderr when it is a terminal, and
// Ctrl-C aborts cleanly (port closed, "Close COM" logged). Call it from the main thread before
// the program has made other threads. A transfer that did not complete is an error saying how
// it ended (the log has the details); so is a port that cannot be used, and an image that
// fails its checks (unless forced).
Result<void> RunConsoleUpload(ConsoleUploadKind kind, const std::string& file,
                              const ConsoleUploadOptions& options);

// Checks the port name and mappings of options; an error naming the one that is wrong.
Result<void> CheckConsoleUploadOptions(const ConsoleUploadOptions& options);

}  // namespace tvx
