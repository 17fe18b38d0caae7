#include "cli/project_studio.h"

#include "app/program_home.h"
#include "cli/console_host.h"
#include "cli/report.h"

namespace tvx::cli {

void addHomeOption(CLI::App& command, std::optional<std::string>& home) {
  command.add_option("--home", home,
                     "program home (settings, picture catalogue and library); found beside the "
                     "program or in the installed data folder when not given");
}

Host& ConsoleMessages() {
  static ConsoleHost host;
  return host;
}

Result<std::unique_ptr<Studio>> StudioWithProject(const std::string& project,
                                                  const std::optional<std::string>& home,
                                                  Host* host,
                                                  const std::optional<std::string>& lang) {
  Result<std::string> programDir = FindProgramDir(home);
  if (!programDir) {
    return std::move(programDir).error();
  }
  auto studio = std::make_unique<Studio>(*programDir, host != nullptr ? host : &ConsoleMessages());
  studio->StartUp();
  applyLanguage(*studio, lang);
  if (!studio->LoadProject(project)) {
    return Error::Stated(project, kProjectNotLoaded);
  }
  return studio;
}

void applyLanguage(Studio& studio, const std::optional<std::string>& lang) {
  if (lang) {
    studio.state().settings.LANG = LanguageOption(lang);
  }
}

}  // namespace tvx::cli
