#include "ui/window/build_runner.h"

#include <QApplication>
#include <QCursor>
#include <QStringList>

#include "app/studio.h"
#include "app/upload_session.h"
#include "ui/qt/display_text.h"
#include "ui/window/build_page.h"
#include "util/messages.h"

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

 private:
  BuildRunner& m_runner;
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
  if (m_running) {
    m_studio.setHost(m_windowHost);
    m_studio.log().setListener(nullptr);
    QApplication::restoreOverrideCursor();
  }
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
  m_windowHost = &m_studio.host();
  m_workerHost = std::make_unique<WorkerHost>(*m_windowHost, m_loop, m_gate);
  m_studio.setHost(m_workerHost.get());
  // The log is written by the build's thread: each new line is copied there and shown here.
  m_linesSeen = m_studio.log().lines().size();
  m_studio.log().setListener([this] { showLogLines(); });
  QApplication::setOverrideCursor(Qt::BusyCursor);
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
    result.outcome = BuildOutcome::kFailed;
    result.error = Error::Invalid({}, error.what());
    YVclUtil::ShowErrMsgBox_Printf("TVX880", "%s", error.what());
  }
  std::weak_ptr<bool> alive = m_alive;
  m_loop.post([this, alive, result] {
    if (alive.lock()) {
      m_result = result;
      finish();
    }
  });
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
  m_studio.setHost(m_windowHost);
  m_workerHost.reset();
  m_page.listenToLog();
  QApplication::restoreOverrideCursor();
  emit finished();
}

}  // namespace tvx
