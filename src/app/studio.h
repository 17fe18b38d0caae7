#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/build_log.h"
#include "project/host.h"
#include "project/program_state.h"
#include "project/project.h"

namespace tvx {

// The running program that the command line, the build and the window share: the program home,
// the settings and what follows from them, the one open project, the picture library, the
// build log and the title. All of it lives on the user-interface thread.
class Studio {
 public:
  // programDir is the program home (a separator is added when missing). Messages and dialogs go
  // to host, which must outlive the studio; without one they go to stderr.
  explicit Studio(std::string programDir, Host* host = nullptr);
  ~Studio();
  Studio(const Studio&) = delete;
  Studio& operator=(const Studio&) = delete;

  // Reads the settings, fills the default project, loads the picture library and composes the
  // title. Runs once, before anything else.
  void StartUp();
  // Clears the build log and resets the project ("新專案").
  void NewProject();
  bool SaveProject(const std::string& path);
  bool LoadProject(const std::string& path);
  // Releases the picture library; also run by the destructor.
  void ShutDown();

  // Whether the project differs from what was last started, made new, loaded or saved. An edit
  // undone by hand is no change.
  bool modified() const { return !SameDesign(m_project, m_unchanged); }

  // The project file dialogs of the menu and the build ("TVX-880 Project File (*.ql3)"): saving
  // proposes the project's own file, opening starts in the folder of the project last loaded or
  // saved (at first the program home). The chosen path, or nothing when cancelled.
  std::optional<std::string> chooseProjectToSave();
  std::optional<std::string> chooseProjectToOpen();
  const std::string& lastProjectFolder() const;
  // The upload-only dialog ("TVX-880 Upload File (*.bin)", starting in the project's folder,
  // else in the program home): the chosen ROM image, or nothing when cancelled.
  std::optional<std::string> chooseRomImageToUpload();

  Project& project() { return m_project; }
  const Project& project() const { return m_project; }
  ProgramState& state() { return m_state; }
  const ProgramState& state() const { return m_state; }
  const AppSettings& settings() const { return m_state.settings; }
  WindowState& window() { return m_state.window; }
  const WindowState& window() const { return m_state.window; }
  BuildLog& log() { return m_log; }
  const BuildLog& log() const { return m_log; }

  const std::string& programDir() const { return m_state.ProgramDir; }
  unsigned language() const { return m_state.settings.LANG; }
  const std::string& title() const { return m_state.Title; }
  const std::vector<std::uint8_t>& libraryImage() const { return m_state.LibraryImage; }

  Host& host() { return *m_host; }
  // Installs another host (null: stderr); the previous one is returned.
  Host* setHost(Host* host);

 private:
  StderrHost m_stderrHost;
  Host* m_host;
  ProgramState m_state;
  Project m_project;
  BuildLog m_log;
  // The project as last started, made new, loaded or saved.
  Project m_unchanged;
  std::string m_lastProjectFolder;
  bool m_shutDown = false;
};

// Another host for the studio for as long as it lives; the previous one is put back after.
class ScopedStudioHost {
 public:
  ScopedStudioHost(Studio& studio, Host& host)
      : m_studio(studio), m_previous(studio.setHost(&host)) {}
  ~ScopedStudioHost() { m_studio.setHost(m_previous); }
  ScopedStudioHost(const ScopedStudioHost&) = delete;
  ScopedStudioHost& operator=(const ScopedStudioHost&) = delete;

 private:
  Studio& m_studio;
  Host* m_previous;
};

}  // namespace tvx
