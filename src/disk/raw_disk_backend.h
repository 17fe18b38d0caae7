#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "disk/disk_drive_map.h"

namespace YVclUtil {

// The layout of an opened disk. Sector numbers and counts are in sectors of bytesPerSector.
struct RawDiskLayout {
  std::uint32_t bytesPerSector = 0;
  std::uint64_t diskSectors = 0;  // the whole disk holding the volume
  std::uint32_t cylinders = 0;
  std::uint32_t tracksPerCylinder = 0;
  std::uint32_t sectorsPerTrack = 0;
  std::uint64_t volumeStart = 0;  // first sector of the volume on the disk
  std::uint64_t volumeSectors = 0;
};

// The system side of raw disk access: one open disk or volume at a time, held for exclusive
// use until it is closed.
class RawDiskBackend {
 public:
  virtual ~RawDiskBackend() = default;

  // Opens the volume of entry ("logical") or the whole disk that holds it ("physical") for
  // exclusive reading and writing and describes it. Refuses (false) a device or image the
  // system cannot open, one that is mounted or otherwise in use, and a volume that does not
  // lie on its disk.
  virtual bool open(const DiskDriveEntry& entry, bool physical, RawDiskLayout& layout) = 0;
  // Whole transfers at a byte offset from the start of what was opened; false on any error
  // or short transfer.
  virtual bool read(std::uint64_t offset, void* buffer, std::size_t size) = 0;
  virtual bool write(std::uint64_t offset, const void* buffer, std::size_t size) = 0;
  // Flushes and releases the device; a physical disk has its partition table re-read. Each
  // step that fails is reported on the debugger channel and the remaining steps still run.
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
};

// Block devices and image files through POSIX calls and Linux block-device controls.
std::unique_ptr<RawDiskBackend> MakePosixRawDiskBackend();

}  // namespace YVclUtil
