#pragma once

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace tvx::test {

// A small program home in a temporary folder: settings file, library file and whichever
// catalogue pictures a test needs (their content does not matter where only existence counts).
class TestHome {
 public:
  // The home as the program names it: an absolute folder ending in "/".
  const std::string& dir() const { return m_dir; }
  std::filesystem::path path(const std::string& relative) const { return m_temp / relative; }

  // Writes a file below the home, creating its folders; answers its full path.
  std::string put(const std::string& relative, const std::string& bytes = "BM");
  void writeSettings(const std::string& text) { put("DPW880.INI", text); }
  void writeLibrary(const std::string& bytes) { put("T880_PCGLB.GLB", bytes); }

 private:
  TempDir m_temp;
  std::string m_dir = m_temp.path().string() + "/";
};

// INI text from lines: each line gets the CR LF the settings and project files use.
std::string IniText(std::initializer_list<std::string> lines);

}  // namespace tvx::test
