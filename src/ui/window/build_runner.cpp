#include "ui/window/build_runner.h"

#include <QApplication>
#include <QCursor>
#include <QStringList>

#include "app/build_log.h"
#include "app/studio.h"
#include "app/upload_session.h"
#include "project/project_file.h"
#include "ui/qt/display_text.h"
#include "ui/window/build_page.h"
#include "ui/window/preflight_dialog.h"
#include "util/error_text.h"

namespace tvx {

// The studio's dialogs and messages as the build asks for them from its thread: carried out by
// the window's own host on the user-interface thread while the build waits. A cancelled gate
// (the window going away) answers every dialog "cancel".
class BuildRunner::WorkerHost : public Host {
 public:
  WorkerHost(Host& window, EventLoop& loop, InvokeGate& gate)
      : m_window(window), m_loop(loop), m_gate(gate) {}

  void showMessage(const std::string& caption, const std::string& text) override {
    onUiThread([&] { m_window.showMessage(caption, text); });
  }
  std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) override {
    std::optional<std::string> answer;
    onUiThread([&] { answer = m_window.chooseOpenFile(request); });
    return answer;
  }
  std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) override {
    std::optional<std::string> answer;
    onUiThread([&] { answer = m_window.chooseSaveFile(request); });
    return answer;
  }
  std::optional<Colour> chooseColour(Colour initial) override {
    std::optional<Colour> answer;
    onUiThread([&] { answer = m_window.chooseColour(initial); });
    return answer;
  }
  void pause(std::chrono::milliseconds duration) override {
    onUiThread([&] { m_window.pause(duration); });
  }

  Host& window() { return m_window; }

 private:
  void onUiThread(const std::function<void()>& call) { m_loop.invoke(call, &m_gate); }

  Host& m_window;
  EventLoop& m_loop;
  InvokeGate& m_gate;
};

// The window's side of the build: the upload-only box as it was when the button was clicked,
// and the upload steps, which go to the session on the user-interface thread.
class BuildRunner::WorkerBuildHost : public BuildHost {
 public:
  explicit WorkerBuildHost(BuildRunner& runner) : m_runner(runner) {}

  bool uploadOnlyChecked() const override { return m_runner.m_uploadOnly; }
  void runUploadOnly() override {
    m_runner.m_loop.invoke([this] { m_runner.runUploadOnly(); }, &m_runner.m_gate);
  }
  void startUpload(const std::string& romImagePath) override {
    m_runner.m_loop.invoke([this, &romImagePath] { m_runner.m_session.startUpload(romImagePath); },
                           &m_runner.m_gate);
  }
  // The runner going away releases the build at once, with the dialog perhaps still open: the
  // answer is shared with the call, and a call that did not run to its end answers Cancel.
  bool buildDespite(const CheckReport& report) override {
    auto anyway = std::make_shared<bool>(false);
    const bool asked = m_runner.m_loop.invoke(
        [this, &report, anyway] { *anyway = m_runner.askBuildDespite(report); }, &m_runner.m_gate);
    return asked && *anyway;
  }

 private:
  BuildRunner& m_runner;
};

namespace {

// A cursor over the whole program for as long as it lives.
class OverrideCursor {
 public:
  explicit OverrideCursor(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
  ~OverrideCursor() { QApplication::restoreOverrideCursor(); }
  OverrideCursor(const OverrideCursor&) = delete;
  OverrideCursor& operator=(const OverrideCursor&) = delete;
};

}  // namespace

// What the window lends a running build, all given back when the build ends or the runner goes:
// the studio's host (the build's dialogs and messages go through the worker host), the log's
// listener (each new line the build's thread writes is copied there and shown here) and the
// busy cursor.
class BuildRunner::Lent {
 public:
  explicit Lent(BuildRunner& runner)
      : m_workerHost(runner.m_studio.host(), runner.m_loop, runner.m_gate),
        m_host(runner.m_studio, m_workerHost),
        m_listener(runner.m_studio.log(), [&runner] { runner.showLogLines(); }) {}

 private:
  WorkerHost m_workerHost;
  ScopedStudioHost m_host;
  ScopedLogListener m_listener;
  OverrideCursor m_cursor{Qt::BusyCursor};
};

BuildRunner::BuildRunner(Studio& studio, BuildPage& page, UploadSession& session, EventLoop& loop)
    : m_studio(studio), m_page(page), m_session(session), m_loop(loop) {}

BuildRunner::~BuildRunner() {
  m_gate.cancel();
  if (m_worker.joinable()) {
    m_worker.join();
  }
  // What the build posted and that has not run yet must not reach this object any more.
  m_alive.reset();
  m_lent.reset();
}

void BuildRunner::start() {
  if (m_running) {
    return;
  }
  m_running = true;
  ++m_build;
  m_result.reset();
  m_gate.reset();
  m_uploadOnly = m_page.uploadOnlyChecked();
  m_linesSeen = m_studio.log().lines().size();
  m_lent = std::make_unique<Lent>(*this);
  emit started();
  m_worker = std::thread([this] { run(); });
}

void BuildRunner::showLogLines() {
  const std::vector<std::string>& lines = m_studio.log().lines();
  const bool cleared = lines.size() < m_linesSeen;
  if (cleared) {
    m_linesSeen = 0;
  }
  QStringList added;
  for (std::size_t i = m_linesSeen; i < lines.size(); ++i) {
    added << DisplayText(lines[i]);
  }
  m_linesSeen = lines.size();
  std::weak_ptr<bool> alive = m_alive;
  const unsigned build = m_build;
  m_loop.post([this, alive, build, cleared, added] {
    // Lines of a build that has finished meanwhile are in the full log the page shows then.
    if (alive.lock() && m_running && build == m_build) {
      m_page.appendLogLines(added, cleared);
    }
  });
}

void BuildRunner::run() {
  BuildResult result;
  try {
    WorkerBuildHost host(*this);
    BuildDriver driver(m_studio, host);
    if (!m_scratchParent.empty()) {
      driver.setScratchParent(m_scratchParent);
    }
    result = driver.BuildAndUpload();
  } catch (const std::exception& error) {
    // Nothing may leave the build's thread: what the driver did not turn into its result is
    // shown as the driver shows an error.
    result.outcome = BuildOutcome::kFailed;
    result.error = Error::Invalid({}, error.what());
    m_studio.host().showMessage(kProjectMessageCaption,
                                ErrorText(*result.error, m_studio.language()));
  }
  std::weak_ptr<bool> alive = m_alive;
  m_loop.post([this, alive, result] {
    if (alive.lock()) {
      m_result = result;
      finish();
    }
  });
}

bool BuildRunner::askBuildDespite(const CheckReport& report) {
  // The build waits for the person: the usual cursor over the question.
  const OverrideCursor arrow(Qt::ArrowCursor);
  return AskToBuildDespite(report, m_studio.language(), m_page.window());
}

void BuildRunner::runUploadOnly() {
  m_studio.log().clear();
  if (const auto path = m_studio.chooseRomImageToUpload()) {
    m_session.startUploadOnly(*path);
  }
}

void BuildRunner::finish() {
  if (m_worker.joinable()) {
    m_worker.join();
  }
  m_running = false;
  m_lent.reset();
  m_page.listenToLog();
  emit finished();
}

}  // namespace tvx
