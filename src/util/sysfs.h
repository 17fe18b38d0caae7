#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

namespace tvx {

// The kernel's device tree as files: "/sys" on a running system, a folder of made-up files in
// tests. Entries are links into the device folders; each attribute file holds one line.
class Sysfs {
 public:
  static constexpr const char* kSystemRoot = "/sys";

  explicit Sysfs(std::filesystem::path root = kSystemRoot) : m_root(std::move(root)) {}

  const std::filesystem::path& root() const { return m_root; }
  // An entry below the root: sysfs / "class" / "tty".
  std::filesystem::path operator/(const std::filesystem::path& entry) const {
    return m_root / entry;
  }
  // The device folder an entry below the root leads to once its links are followed
  // ("class/block/sdb1" gives ".../block/sdb/sdb1"); nullopt when it leads nowhere.
  std::optional<std::filesystem::path> resolve(const std::filesystem::path& entry) const;

 private:
  std::filesystem::path m_root;
};

// The first line of an attribute file without its trailing white space; nullopt when the file
// cannot be read or holds no line.
std::optional<std::string> ReadSysfsLine(const std::filesystem::path& file);

// An attribute holding an unsigned number in base 10 or 16, digits only; nullopt when the
// file cannot be read or holds anything else.
std::optional<std::uint64_t> ReadSysfsNumber(const std::filesystem::path& file, int base = 10);

}  // namespace tvx
