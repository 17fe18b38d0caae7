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

Result<std::string> FindProgramDir(const std::optional<std::string>& given) {
  if (given) {
    std::error_code error;
    if (!fs::is_directory(fs::path(*given), error)) {
      return Error::Stated(
          *given, {"程式資料夾 \"%s\" 不是資料夾", "the program home \"%s\" is not a folder"});
    }
    return asProgramDir(*given);
  }
  std::string looked;
  for (const fs::path& candidate : ProgramHomeCandidates()) {
    if (LooksLikeProgramHome(candidate)) {
      return asProgramDir(candidate);
    }
    looked += looked.empty() ? "" : ", ";
    looked += candidate.string();
  }
  return Error::Stated(looked, {"找不到程式資料夾 (已找過 %s); 請以 --home DIR 指定",
                                "no program home found (looked in %s); give one with --home DIR"});
}

}  // namespace tvx
