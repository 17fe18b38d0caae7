#pragma once

#include <chrono>
#include <string>
#include <vector>

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
};

struct ConsoleUploadResult {
  bool ok = false;
  std::string failure;  // why not, for "tvx880: <failure>" (the log has the details)
};

// Runs one upload or clock setting through an upload session to its end on this thread (a
// "COM n" above 16 goes to the device the port map gives it): the log lines go to stdout as
// they come, a progress bar (packets, bytes, time left) to stderr when it is a terminal, and
// Ctrl-C aborts cleanly (port closed, "Close COM" logged). Call it from the main thread before
// the program has made other threads.
ConsoleUploadResult RunConsoleUpload(ConsoleUploadKind kind, const std::string& file,
                                     const ConsoleUploadOptions& options);

// Checks the port name and mappings of options; false with the reason.
bool CheckConsoleUploadOptions(const ConsoleUploadOptions& options, std::string* error);

}  // namespace tvx
