#include "app/program_home.h"

#include <system_error>

#include "project/catalogue.h"
#include "project/paths.h"
#include "project/program_state.h"

#ifndef TVX_INSTALLED_HOME
#define TVX_INSTALLED_HOME ""
#endif
#ifndef TVX_SOURCE_HOME
#define TVX_SOURCE_HOME ""
#endif

namespace tvx {

namespace fs = std::filesystem;

namespace {

std::string asProgramDir(const fs::path& folder) {
  std::error_code error;
  fs::path absolute = fs::absolute(folder, error);
  if (error) {
    absolute = folder;
  }
  return WithTrailingSeparator(absolute.lexically_normal().string());
}

void addCandidate(std::vector<fs::path>& candidates, const fs::path& folder) {
  if (folder.empty()) {
    return;
  }
  for (const fs::path& known : candidates) {
    if (known == folder) {
      return;
    }
  }
  candidates.push_back(folder);
}

}  // namespace

bool LooksLikeProgramHome(const fs::path& folder) {
  std::error_code error;
  return fs::is_regular_file(folder / std::string(kSettingsFileName), error) ||
         fs::is_directory(folder / std::string(kCatalogueFolderName), error);
}

fs::path ExecutableDirectory() {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  return error ? fs::path() : program.parent_path();
}

std::vector<fs::path> ProgramHomeCandidates() {
  std::vector<fs::path> candidates;
  const fs::path programFolder = ExecutableDirectory();
  if (!programFolder.empty()) {
    addCandidate(candidates, programFolder);
    addCandidate(candidates, (programFolder / ".." / "share" / "tvx880").lexically_normal());
  }
  addCandidate(candidates, fs::path(TVX_INSTALLED_HOME));
  addCandidate(candidates, fs::path(TVX_SOURCE_HOME));
  return candidates;
}

ProgramHomeResult FindProgramDir(const std::optional<std::string>& given) {
  ProgramHomeResult result;
  if (given) {
    std::error_code error;
    if (!fs::is_directory(fs::path(*given), error)) {
      result.error = "the program home \"" + *given + "\" is not a folder";
      return result;
    }
    result.programDir = asProgramDir(*given);
    return result;
  }
  std::string looked;
  for (const fs::path& candidate : ProgramHomeCandidates()) {
    if (LooksLikeProgramHome(candidate)) {
      result.programDir = asProgramDir(candidate);
      return result;
    }
    looked += looked.empty() ? "" : ", ";
    looked += candidate.string();
  }
  result.error = "no program home found (looked in " + looked + "); give one with --home DIR";
  return result;
}

}  // namespace tvx
