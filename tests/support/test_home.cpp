#include "support/test_home.h"

namespace tvx::test {

std::string TestHome::put(const std::string& relative, const std::string& bytes) {
  const std::filesystem::path file = m_temp.path() / relative;
  std::filesystem::create_directories(file.parent_path());
  WriteFileBytes(file, bytes);
  return file.string();
}

std::string IniText(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace tvx::test
