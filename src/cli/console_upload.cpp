#include "cli/console_upload.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/build_log.h"
#include "app/upload_session.h"
#include "cli/console_text.h"
#include "cli/interrupt_watcher.h"
#include "serial/port_map.h"
#include "util/local_event_loop.h"
#include "util/printf_format.h"

namespace tvx {
namespace {

using Clock = std::chrono::steady_clock;

// Log lines on stdout as they come; a one-line progress bar on stderr, taken away before each
// log line and drawn again after it.
class ConsoleUploadView : public UploadView {
 public:
  ConsoleUploadView(bool drawBar, BuildLog& log, const UploadSession& session)
      : m_drawBar(drawBar), m_log(log), m_session(session) {}
  ConsoleUploadView(const ConsoleUploadView&) = delete;
  ConsoleUploadView& operator=(const ConsoleUploadView&) = delete;

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
    if (m_session.state() == UploadState::Idle) {
      eraseBar();
      m_maximum = 0;
    }
  }

 private:
  void printNewLines() {
    const std::vector<std::string>& lines = m_log.lines();
    if (lines.size() < m_printed) {
      m_printed = 0;  // cleared: nothing to take back from a terminal
    }
    for (; m_printed < lines.size(); ++m_printed) {
      eraseBar();
      cli::PrintLine(stdout, lines[m_printed]);
      drawBar();
    }
  }

  void eraseBar() {
    if (m_barShown) {
      std::fputs("\r\033[K", stderr);
      std::fflush(stderr);
      m_barShown = false;
    }
  }

  void drawBar() {
    if (!m_drawBar || m_maximum <= 0 || m_position < 0) {
      return;
    }
    const int done = m_position + 1;
    constexpr int kWidth = 30;
    const int filled = done * kWidth / m_maximum;
    const double mib = 1024.0 * 1024.0;
    const double total = static_cast<double>(m_session.imageBytes());
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
  BuildLog& m_log;
  const UploadSession& m_session;
  std::size_t m_printed = 0;
  bool m_barShown = false;
  int m_maximum = 0;
  int m_position = -1;
  Clock::time_point m_start = Clock::now();
  // Last, so that the lines stop coming before anything they use is gone.
  const ScopedLogListener m_listening{m_log, [this] { printNewLines(); }};
};

}  // namespace

Result<void> CheckConsoleUploadOptions(const ConsoleUploadOptions& options) {
  if (Result<platform::PortName> port = platform::RequirePortName(options.port); !port) {
    return std::move(port).error();
  }
  platform::PortMap scratch(platform::SystemDeviceRoots{"", ""});
  for (const std::string& mapping : options.portMappings) {
    TVX_TRY(scratch.addMapping(mapping));
  }
  return {};
}

Result<void> RunConsoleUpload(ConsoleUploadKind kind, const std::string& file,
                              const ConsoleUploadOptions& options) {
  TVX_TRY(CheckConsoleUploadOptions(options));
  // Before any other thread exists, so that none of them takes Ctrl-C.
  InterruptWatcher interrupts;
  for (const std::string& mapping : options.portMappings) {
    TVX_TRY(platform::CurrentPortMap().addMapping(mapping));
  }

  LocalEventLoop loop;
  ScopedUiEventLoop uiLoop(loop);
  BuildLog log;
  UploadSession session(log, &loop);
  ConsoleUploadView view(options.progress && isatty(STDERR_FILENO) != 0, log, session);
  session.setView(&view);
  session.setLanguage(options.lang);
  session.setMemorySetting(options.mem);
  session.setCloseDelay(options.closeDelay);
  // The command line sends without the picture library: the header is always complete.
  session.prepareHeader(true);
  session.setClockSync(kind == ConsoleUploadKind::ClockSync);
  session.setPort(*platform::ParsePortName(options.port));
  bool checksFailed = false;
  session.setUploadAnyway([&checksFailed, &options](const std::vector<std::string>&) {
    checksFailed = true;
    return options.force;
  });
  const ScopedInterruptHandler abortOnInterrupt(
      interrupts, [&loop, &session] { loop.post([&session] { session.abort(); }); });

  bool started = false;
  switch (kind) {
    case ConsoleUploadKind::AfterBuild:
      started = session.startUpload(file);
      break;
    case ConsoleUploadKind::UploadOnly:
      started = session.startUploadOnly(file);
      break;
    case ConsoleUploadKind::ClockSync:
      started = session.startClockSync();
      break;
  }
  if (started) {
    loop.runUntil([&session] { return !session.busy(); }, Clock::time_point::max());
  }

  const bool clock = kind == ConsoleUploadKind::ClockSync;
  switch (session.lastOutcome()) {
    case UploadOutcome::Completed:
      return {};
    case UploadOutcome::Aborted:
      return Error::Invalid({}, clock ? "clock setting aborted" : "upload aborted");
    case UploadOutcome::PortLost:
      return Error::Invalid({}, "the port went away during the transfer");
    case UploadOutcome::PortUnusable:
      if (session.portError()) {
        return *session.portError();
      }
      break;
    case UploadOutcome::Refused:
      if (checksFailed) {
        return Error::Invalid({},
                              "the ROM image fails its checks, nothing was uploaded "
                              "(--force sends it anyway)");
      }
      break;
    case UploadOutcome::None:
      break;
  }
  return Error::Invalid({}, clock ? "clock not set" : "nothing was uploaded");
}

}  // namespace tvx
