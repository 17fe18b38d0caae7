#include "upload/console_upload.h"

#include <unistd.h>

#include <cstdio>

#include "serial/pc_uart.h"
#include "serial/port_map.h"
#include "upload/interrupt_watcher.h"
#include "upload/upload_engine.h"
#include "util/local_event_loop.h"
#include "util/printf_format.h"

namespace tvx {
namespace {

using Clock = std::chrono::steady_clock;

// Log lines on stdout; a one-line progress bar on stderr, taken away before each log line
// and drawn again after it.
class ConsoleHost : public UploadHost {
 public:
  ConsoleHost(bool drawBar, const UploadEngine* const& engine)
      : m_drawBar(drawBar), m_engine(engine) {}

  void clearLog() override {}
  void logLine(const std::string& line) override {
    eraseBar();
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    drawBar();
  }
  void setButtonCaption(const std::string&) override {}
  void setProgressMaximum(int maximum) override {
    m_maximum = maximum;
    m_position = -1;
    m_start = Clock::now();
  }
  void setProgressPosition(int position) override {
    m_position = position;
    drawBar();
  }
  void stateChanged() override {
    if (m_engine != nullptr && m_engine->state() == UploadState::Idle) {
      eraseBar();
      m_maximum = 0;
    }
  }

 private:
  void eraseBar() {
    if (m_barShown) {
      std::fputs("\r\033[K", stderr);
      std::fflush(stderr);
      m_barShown = false;
    }
  }

  void drawBar() {
    if (!m_drawBar || m_maximum <= 0 || m_position < 0 || m_engine == nullptr) {
      return;
    }
    const int done = m_position + 1;
    constexpr int kWidth = 30;
    const int filled = done * kWidth / m_maximum;
    const double mib = 1024.0 * 1024.0;
    const double total = static_cast<double>(m_engine->imageBytes());
    const double sent = std::min(total, static_cast<double>(done) * 4096.0);
    const double elapsed = std::chrono::duration<double>(Clock::now() - m_start).count();
    std::string left = "--:--";
    if (done > 1 && elapsed > 0) {
      const int seconds = static_cast<int>((m_maximum - done) * elapsed / done + 0.5);
      left = YVclUtil::FormatPrintf("%d:%02d", seconds / 60, seconds % 60);
    }
    std::fprintf(stderr, "\r[%s%s] %d/%d packets  %.1f/%.1f MiB  %s left\033[K",
                 std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), done,
                 m_maximum, sent / mib, total / mib, left.c_str());
    std::fflush(stderr);
    m_barShown = true;
  }

  const bool m_drawBar;
  const UploadEngine* const& m_engine;
  bool m_barShown = false;
  int m_maximum = 0;
  int m_position = -1;
  Clock::time_point m_start = Clock::now();
};

}  // namespace

bool CheckConsoleUploadOptions(const ConsoleUploadOptions& options, std::string* error) {
  if (!platform::ParsePortName(options.port)) {
    *error = "port \"" + options.port + "\" is neither COMn nor a device path";
    return false;
  }
  platform::PortMap scratch(platform::SystemDeviceRoots{"", ""});
  for (const std::string& mapping : options.portMappings) {
    if (!scratch.addMapping(mapping, error)) {
      return false;
    }
  }
  return true;
}

ConsoleUploadResult RunConsoleUpload(ConsoleUploadKind kind, const std::string& file,
                                     const ConsoleUploadOptions& options) {
  ConsoleUploadResult result;
  if (!CheckConsoleUploadOptions(options, &result.failure)) {
    return result;
  }
  // Before any other thread exists, so that none of them takes Ctrl-C.
  InterruptWatcher interrupts;
  for (const std::string& mapping : options.portMappings) {
    platform::CurrentPortMap().addMapping(mapping);
  }

  LocalEventLoop loop;
  ScopedUiEventLoop uiLoop(loop);
  const UploadEngine* engineForHost = nullptr;
  ConsoleHost host(options.progress && isatty(STDERR_FILENO) != 0, engineForHost);
  KwxCtrl::TPcUart uart;
  uart.pw_Name("PcUart1");
  ApplyStoredPcUart1Settings(uart);
  UploadEngine engine(host, uart, &loop);
  engineForHost = &engine;
  engine.setLanguage(options.lang);
  engine.setMemorySetting(options.mem);
  engine.setCloseDelay(options.closeDelay);
  engine.writeHeaderFixedBytes();
  engine.setClockSync(kind == ConsoleUploadKind::ClockSync);
  const platform::PortName port = *platform::ParsePortName(options.port);
  if (port.number) {
    engine.setPortNumber(*port.number);
  } else {
    engine.setPortPath(port.path);
  }
  interrupts.setHandler([&loop, &engine] { loop.post([&engine] { engine.Abort(); }); });

  bool started = false;
  switch (kind) {
    case ConsoleUploadKind::AfterBuild:
      started = engine.StartUpload(file);
      break;
    case ConsoleUploadKind::UploadOnly:
      started = engine.StartUploadOnly(file);
      break;
    case ConsoleUploadKind::ClockSync:
      started = engine.StartClockSync();
      break;
  }
  if (started) {
    loop.runUntil([&engine] { return !engine.busy(); }, Clock::time_point::max());
  }
  interrupts.setHandler(nullptr);

  const bool clock = kind == ConsoleUploadKind::ClockSync;
  switch (engine.lastOutcome()) {
    case UploadOutcome::Completed:
      result.ok = true;
      break;
    case UploadOutcome::Aborted:
      result.failure = clock ? "clock setting aborted" : "upload aborted";
      break;
    case UploadOutcome::PortLost:
      result.failure = "the port went away during the transfer";
      break;
    case UploadOutcome::Refused:
    case UploadOutcome::None:
      result.failure = clock ? "clock not set" : "nothing was uploaded";
      break;
  }
  return result;
}

}  // namespace tvx
