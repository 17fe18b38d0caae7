#include "util/sysfs.h"

#include <cctype>
#include <fstream>
#include <limits>
#include <system_error>

namespace tvx {
namespace {

// The value of a digit of base 16 or below; 16 for anything that is no digit.
int digitValue(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (std::isdigit(byte)) {
    return c - '0';
  }
  if (std::isxdigit(byte)) {
    return std::tolower(byte) - 'a' + 10;
  }
  return 16;
}

}  // namespace

std::optional<std::filesystem::path> Sysfs::resolve(const std::filesystem::path& entry) const {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::canonical(m_root / entry, error);
  if (error) {
    return std::nullopt;
  }
  return folder;
}

std::optional<std::string> ReadSysfsLine(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::string line;
  if (!in || !std::getline(in, line)) {
    return std::nullopt;
  }
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) {
    line.pop_back();
  }
  return line;
}

std::optional<std::uint64_t> ReadSysfsNumber(const std::filesystem::path& file, int base) {
  const std::optional<std::string> text = ReadSysfsLine(file);
  if (!text || text->empty()) {
    return std::nullopt;
  }
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();
  const auto radix = static_cast<std::uint64_t>(base);
  std::uint64_t value = 0;
  for (const char c : *text) {
    const int digit = digitValue(c);
    if (digit >= base || value > (kMax - static_cast<std::uint64_t>(digit)) / radix) {
      return std::nullopt;
    }
    value = value * radix + static_cast<std::uint64_t>(digit);
  }
  return value;
}

}  // namespace tvx
