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
  m_unchanged = m_project;
}

void Studio::NewProject() {
  m_log.clear();
  tvx::NewProject(m_state, m_project);
  m_unchanged = m_project;
}

bool Studio::SaveProject(const std::string& path) {
  if (!tvx::SaveProject(path, m_project, m_state, *m_host)) {
    return false;
  }
  m_unchanged = m_project;
  m_lastProjectFolder = DirectoryPartOf(m_project.ProjectPath);
  return true;
}

bool Studio::LoadProject(const std::string& path) {
  if (!tvx::LoadProject(path, m_project, m_state, *m_host)) {
    return false;
  }
  m_unchanged = m_project;
  m_lastProjectFolder = DirectoryPartOf(m_project.ProjectPath);
  return true;
}

void Studio::ShutDown() {
  if (!m_shutDown) {
    m_shutDown = true;
    tvx::ShutDown(m_state);
  }
}

std::optional<std::string> Studio::chooseProjectToSave() {
  const std::string& path = m_project.ProjectPath;
  const std::string folder = path.empty() ? lastProjectFolder() : DirectoryPartOf(path);
  return m_host->chooseSaveFile({"", kProjectFileFilter, folder, FileNameOf(path),
                                 kProjectFileExtension, m_state.settings.LANG});
}

std::optional<std::string> Studio::chooseProjectToOpen() {
  return m_host->chooseOpenFile({"", kProjectFileFilter, lastProjectFolder(), "", ""});
}

const std::string& Studio::lastProjectFolder() const {
  return m_lastProjectFolder.empty() ? m_state.ProgramDir : m_lastProjectFolder;
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
