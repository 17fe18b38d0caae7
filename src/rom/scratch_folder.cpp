#include "rom/scratch_folder.h"

#include <stdlib.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "project/paths.h"
#include "rom/build_texts.h"

namespace tvx {

namespace {

// The folder the system keeps temporary files in: the first of TMPDIR, TMP, TEMP and TEMPDIR
// that is set, else /tmp. A setting that names no folder shows when the folder is made there.
std::string systemTemporaryFolder() {
  for (const char* variable : {"TMPDIR", "TMP", "TEMP", "TEMPDIR"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') {
      return value;
    }
  }
  return "/tmp";
}

}  // namespace

Result<ScratchFolder> ScratchFolder::Create(const std::string& parent) {
  const std::string base = parent.empty() ? systemTemporaryFolder() : parent;
  const std::string pattern = WithTrailingSeparator(base) + "tvx880-build-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr) {
    return Error::System(pattern, errno).withAction(build_text::kNoScratchFolder);
  }
  return ScratchFolder(WithTrailingSeparator(name.data()));
}

ScratchFolder::ScratchFolder(ScratchFolder&& other) noexcept
    : m_path(std::exchange(other.m_path, {})) {}

ScratchFolder::~ScratchFolder() {
  if (!m_path.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
}

}  // namespace tvx
