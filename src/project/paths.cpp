#include "project/paths.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace tvx {

namespace {

bool hasDrive(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         std::isalpha(static_cast<unsigned char>(path[0])) != 0;
}

// Position just after the directory part: after the last separator, else after a drive.
std::size_t fileNameStart(std::string_view path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsPathSeparator(path[i - 1])) {
      return i;
    }
  }
  return hasDrive(path) ? 2 : 0;
}

bool isTrimmable(char c) {
  return static_cast<unsigned char>(c) <= 0x20;
}

}  // namespace

bool IsPathSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsAbsolutePath(std::string_view path) {
  return (!path.empty() && IsPathSeparator(path[0])) || hasDrive(path);
}

std::string FileNameOf(std::string_view path) {
  return std::string(path.substr(fileNameStart(path)));
}

std::string DirectoryPartOf(std::string_view path) {
  return std::string(path.substr(0, fileNameStart(path)));
}

std::string WithTrailingSeparator(std::string path) {
  if (path.empty() || !IsPathSeparator(path.back())) {
    path += kPathSeparator;
  }
  return path;
}

bool FileExists(const std::string& path) {
  if (path.empty()) {
    return false;
  }
  std::error_code error;
  return std::filesystem::is_regular_file(std::filesystem::path(path), error);
}

std::string Trimmed(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isTrimmable(text[begin])) {
    ++begin;
  }
  while (end > begin && isTrimmable(text[end - 1])) {
    --end;
  }
  return std::string(text.substr(begin, end - begin));
}

bool IsBlank(std::string_view text) {
  for (char c : text) {
    if (!isTrimmable(c)) {
      return false;
    }
  }
  return true;
}

}  // namespace tvx
