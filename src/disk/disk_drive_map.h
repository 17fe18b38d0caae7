#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace YVclUtil {

// What a drive letter stands for in raw disk access. Linux has no drive letters, so each
// letter the tool may open is given explicitly: nothing is guessed from the devices present,
// because a wrong guess would write sectors of the wrong disk.
struct DiskDriveEntry {
  // A block device (a partition or a whole disk) or a disk image file.
  std::string path;
  // For a whole disk or an image: the volume inside it, in sectors of the disk. A length of 0
  // runs the volume from volumeStart to the end of the disk. A partition is its own volume
  // and must leave both at 0.
  std::uint64_t volumeStart = 0;
  std::uint64_t volumeSectors = 0;
  // Image files only (a block device reports its own): bytes per sector, a power of two from
  // 512 to 65536.
  std::uint32_t imageSectorSize = 512;
};

// Drive letter 'A' to 'Z' (either case) -> entry. Safe to use from several threads.
class DiskDriveMap {
 public:
  DiskDriveMap() = default;
  DiskDriveMap(const DiskDriveMap& other);
  DiskDriveMap& operator=(const DiskDriveMap& other);

  // False (and no change) when letter is not a letter A to Z.
  bool assign(char letter, DiskDriveEntry entry);
  void remove(char letter);
  std::optional<DiskDriveEntry> find(char letter) const;

 private:
  mutable std::mutex m_mutex;
  std::map<char, DiskDriveEntry> m_entries;
};

// The process-wide map used by raw disk objects made without a map of their own.
DiskDriveMap& TheDiskDriveMap();

}  // namespace YVclUtil
