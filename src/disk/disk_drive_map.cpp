#include "disk/disk_drive_map.h"

namespace YVclUtil {
namespace {

std::optional<char> normalLetter(char letter) {
  if (letter >= 'a' && letter <= 'z') {
    return static_cast<char>(letter - 'a' + 'A');
  }
  if (letter >= 'A' && letter <= 'Z') {
    return letter;
  }
  return std::nullopt;
}

}  // namespace

DiskDriveMap::DiskDriveMap(const DiskDriveMap& other) {
  std::lock_guard lock(other.m_mutex);
  m_entries = other.m_entries;
}

DiskDriveMap& DiskDriveMap::operator=(const DiskDriveMap& other) {
  if (this != &other) {
    std::scoped_lock lock(m_mutex, other.m_mutex);
    m_entries = other.m_entries;
  }
  return *this;
}

bool DiskDriveMap::assign(char letter, DiskDriveEntry entry) {
  const auto key = normalLetter(letter);
  if (!key) {
    return false;
  }
  std::lock_guard lock(m_mutex);
  m_entries[*key] = std::move(entry);
  return true;
}

void DiskDriveMap::remove(char letter) {
  if (const auto key = normalLetter(letter)) {
    std::lock_guard lock(m_mutex);
    m_entries.erase(*key);
  }
}

std::optional<DiskDriveEntry> DiskDriveMap::find(char letter) const {
  const auto key = normalLetter(letter);
  if (!key) {
    return std::nullopt;
  }
  std::lock_guard lock(m_mutex);
  const auto it = m_entries.find(*key);
  if (it == m_entries.end()) {
    return std::nullopt;
  }
  return it->second;
}

DiskDriveMap& TheDiskDriveMap() {
  static DiskDriveMap map;
  return map;
}

}  // namespace YVclUtil
