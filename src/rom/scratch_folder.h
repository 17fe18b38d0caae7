#pragma once

#include <string>
#include <string_view>

#include "util/result.h"

// A private folder for the temporary files of one build, made fresh (readable by the user
// only) and removed with everything in it when the build ends, whichever way it ends.
namespace tvx {

class ScratchFolder {
 public:
  // Makes "tvx880-build-XXXXXX" in parent (the system's temporary folder when empty); an error
  // naming the folder when it cannot.
  static Result<ScratchFolder> Create(const std::string& parent);
  ~ScratchFolder();
  ScratchFolder(ScratchFolder&& other) noexcept;
  ScratchFolder& operator=(ScratchFolder&&) = delete;
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder, ending in a separator.
  const std::string& path() const { return m_path; }
  std::string file(std::string_view name) const { return m_path + std::string(name); }

 private:
  explicit ScratchFolder(std::string path) : m_path(std::move(path)) {}

  std::string m_path;  // empty once moved from
};

}  // namespace tvx
