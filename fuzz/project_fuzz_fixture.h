#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "project/host.h"
#include "util/diagnostic_sink.h"

// What the fuzz targets that save and load projects share: no error boxes, and a folder of their
// own for the files, memory-backed when possible since every accepted input is saved and saving
// syncs the file.
namespace tvx::fuzz {

class SilentSink : public YVclUtil::DiagnosticSink {
 public:
  void showErrorBox(const std::string&, const std::string&) override {}
  void debugString(const std::string&) override {}
};

struct ProjectFuzzFixture {
  explicit ProjectFuzzFixture(const std::string& name) {
    YVclUtil::SetDiagnosticSink(&sink);
    const std::filesystem::path shm = "/dev/shm";
    const std::filesystem::path base =
        std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
    folder = base / ("tvx880-" + name + "-fuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
  }
  ~ProjectFuzzFixture() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  ProjectFuzzFixture(const ProjectFuzzFixture&) = delete;
  ProjectFuzzFixture& operator=(const ProjectFuzzFixture&) = delete;

  std::string file(const std::string& name) const { return (folder / name).string(); }
  // The folder as the program names its home, with a separator.
  std::string home() const { return folder.string() + "/"; }

  SilentSink sink;
  std::filesystem::path folder;
  ScriptedHost host;
};

inline void Check(bool condition) {
  if (!condition) {
    std::abort();
  }
}

}  // namespace tvx::fuzz
