#pragma once

#include <string>

// A private folder for the temporary files of one build, made fresh (readable by the user
// only) and removed with everything in it when the build ends, whichever way it ends.
namespace tvx {

class ScratchFolder {
 public:
  // Makes "tvx880-build-XXXXXX" in parent (the system's temporary folder when empty); raises
  // EBuildError (with the head text given) when it cannot.
  explicit ScratchFolder(const std::string& parent, const std::string& errorHead);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // The folder, ending in a separator.
  const std::string& path() const { return m_path; }
  std::string file(std::string_view name) const { return m_path + std::string(name); }

 private:
  std::string m_path;
};

}  // namespace tvx
