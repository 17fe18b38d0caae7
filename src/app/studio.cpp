#include "app/studio.h"

#include "project/paths.h"
#include "project/project_file.h"
#include "project/startup.h"

namespace tvx {

namespace {

constexpr const char* kUploadFileFilter = "TVX-880 Upload File (*.bin)|*.bin";

}  // namespace

Studio::Studio(std::string programDir, Host* host)
    : m_host(host != nullptr ? host : &m_stderrHost) {
  m_state.ProgramDir = WithTrailingSeparator(std::move(programDir));
}

Studio::~Studio() {
  ShutDown();
}

void Studio::StartUp() {
  m_shutDown = false;
  tvx::StartUp(m_state, m_project, *m_host);
}

void Studio::NewProject() {
  m_log.clear();
  tvx::NewProject(m_state, m_project);
}

bool Studio::SaveProject(const std::string& path) {
  return tvx::SaveProject(path, m_project, m_state, *m_host);
}

bool Studio::LoadProject(const std::string& path) {
  return tvx::LoadProject(path, m_project, m_state, *m_host);
}

void Studio::ShutDown() {
  if (!m_shutDown) {
    m_shutDown = true;
    tvx::ShutDown(m_state);
  }
}

std::optional<std::string> Studio::chooseProjectToSave() {
  return m_host->chooseSaveFile({"", kProjectFileFilter, m_state.ProgramDir, "",
                                 kProjectFileExtension, m_state.settings.LANG});
}

std::optional<std::string> Studio::chooseProjectToOpen() {
  return m_host->chooseOpenFile({"", kProjectFileFilter, m_state.ProgramDir, "", ""});
}

std::optional<std::string> Studio::chooseRomImageToUpload() {
  const std::string& projectPath = m_project.ProjectPath;
  const std::string folder =
      projectPath.empty() ? m_state.ProgramDir : DirectoryPartOf(projectPath);
  return m_host->chooseOpenFile({"", kUploadFileFilter, folder, "", ""});
}

Host* Studio::setHost(Host* host) {
  Host* previous = m_host == &m_stderrHost ? nullptr : m_host;
  m_host = host != nullptr ? host : &m_stderrHost;
  return previous;
}

}  // namespace tvx
