#include "rom/scratch_folder.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include "project/paths.h"
#include "rom/build_report.h"

namespace tvx {

ScratchFolder::ScratchFolder(const std::string& parent, const std::string& errorHead) {
  std::string base = parent;
  if (base.empty()) {
    std::error_code error;
    base = std::filesystem::temp_directory_path(error).string();
    if (error) {
      throw EBuildError(errorHead + error.message());
    }
  }
  std::string pattern = WithTrailingSeparator(base) + "tvx880-build-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr) {
    throw EBuildError(errorHead + pattern + ": " + std::strerror(errno));
  }
  m_path = WithTrailingSeparator(name.data());
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

}  // namespace tvx
