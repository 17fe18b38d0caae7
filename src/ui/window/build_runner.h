#pragma once

#include <QObject>
#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include "app/build_driver.h"
#include "util/event_loop.h"

namespace tvx {

class BuildPage;
class Studio;
class UploadSession;

// Runs "Build and upload" beside the user-interface thread, so that the window keeps painting
// and shows the log line by line while the pictures are converted. The build reads and writes
// the studio's project, so the window locks its editing until the build is over. Everything
// that needs the person in front of the window (the pre-flight question, the save dialog,
// messages) or the upload session (the upload, the upload-only branch) runs on the
// user-interface thread while the build waits for it; the upload then goes on there as usual.
class BuildRunner : public QObject {
  Q_OBJECT

 public:
  BuildRunner(Studio& studio, BuildPage& page, UploadSession& session, EventLoop& loop);
  // Waits for a build still running; dialogs it still asks for are answered "cancel".
  ~BuildRunner() override;

  // Starts a build (user-interface thread); nothing when one is running.
  void start();
  bool running() const { return m_running; }
  // How the last build ended (the user-interface thread reads it after finished()).
  const std::optional<BuildResult>& lastResult() const { return m_result; }
  // Where the build's temporary folder is made (tests); empty: the system's.
  void setScratchParent(std::string folder) { m_scratchParent = std::move(folder); }

 signals:
  void started();
  void finished();

 private:
  class WorkerHost;
  class WorkerBuildHost;
  class Lent;

  void run();
  // The pre-flight question (user-interface thread): true builds anyway.
  bool askBuildDespite(const CheckReport& report);
  // The upload-only branch (user-interface thread): the user picks an image for the session.
  void runUploadOnly();
  void finish();
  void showLogLines();

  Studio& m_studio;
  BuildPage& m_page;
  UploadSession& m_session;
  EventLoop& m_loop;
  InvokeGate m_gate;
  std::thread m_worker;
  std::atomic<bool> m_running{false};
  std::optional<BuildResult> m_result;
  std::string m_scratchParent;
  bool m_uploadOnly = false;
  std::size_t m_linesSeen = 0;
  unsigned m_build = 0;  // counts the builds started
  // While a build runs: what the window lends it.
  std::unique_ptr<Lent> m_lent;
  // Calls the build posts check it: they do nothing once the runner is gone.
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace tvx
