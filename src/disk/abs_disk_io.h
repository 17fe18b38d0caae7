#pragma once

#include <cstdint>
#include <memory>

#include "disk/disk_drive_map.h"
#include "disk/raw_disk_backend.h"

namespace YVclUtil {

// Reads and writes whole sectors of a disk: of the volume behind a drive letter ("logical"
// access, sector 0 = first sector of the volume) or of the whole disk holding that volume
// ("physical" access, sector 0 = first sector of the disk). While open, the disk is held for
// exclusive use; a mounted volume is refused rather than written under its file system.
//
// On Linux a drive letter means what a DiskDriveMap entry says: a partition, a whole disk or
// a disk image. Sector size and count come from the device (or from the image size), the
// partition's place on its disk from sysfs. Positions are 64-bit, so every sector of a large
// disk is reachable. Closing a physical disk has the kernel re-read its partition table; the
// kernel does that before close returns, so close does not wait for the system to settle.
//
// The older Windows family reached disks through two kernel drivers of the indicator's maker
// and the VWIN32 device; nothing stands in for them, so on that path (the Win9x_ operations,
// taken only by an object made for that platform or one whose platform was not recognised)
// opening, reading and writing answer kAbsDeviceUnavailable and closing does nothing.
//
// Result codes of open, read and write:
//   0 kAbsOk                 success
//   1 kAbsSystemError        the system refused: no device for the letter, mounted or in use,
//                            a failed or short transfer, nothing open
//   2 kAbsBadDrive           the drive text is not "X", "X:" or "X:\" with a letter A to Z
//   3 kAbsDeviceUnavailable  the older platform's driver path (see above)
//   4 kAbsRequestTooLarge    beyond the older platform's transfer buffer (never on Linux)
//   5 kAbsOutOfRange         the request goes beyond the disk or the volume
// Close always answers 0 and reports each failed step on the debugger channel.
class TYAbsDiskIO {
 public:
  static constexpr int kAbsOk = 0;
  static constexpr int kAbsSystemError = 1;
  static constexpr int kAbsBadDrive = 2;
  static constexpr int kAbsDeviceUnavailable = 3;
  static constexpr int kAbsRequestTooLarge = 4;
  static constexpr int kAbsOutOfRange = 5;

  // Platform identifiers as the system reports them.
  static constexpr int kPlatformWin32Windows = 1;  // the older family
  static constexpr int kPlatformWin32NT = 2;       // documented device controls; Linux too

  // Letters are looked up in the process-wide map (TheDiskDriveMap) or in map, which must
  // outlive the object.
  TYAbsDiskIO();
  explicit TYAbsDiskIO(const DiskDriveMap& map);
  virtual ~TYAbsDiskIO();
  TYAbsDiskIO(const TYAbsDiskIO&) = delete;
  TYAbsDiskIO& operator=(const TYAbsDiskIO&) = delete;

  // drive is "X", "X:" or "X:\" in either case; the caller's text is left as it is. A disk
  // still open is closed first.
  int AbsOpenDisk(const char* drive, bool physical);
  // Transfers count whole sectors from sector first; buffer holds count x BytesPerSector bytes.
  int AbsReadDisk(std::uint64_t first, std::uint32_t count, void* buffer);
  int AbsWriteDisk(std::uint64_t first, std::uint32_t count, const void* buffer);
  int AbsCloseDisk();

  bool pr_IsNT() const { return m_isNT; }
  bool pr_IsOpen() const { return m_backend != nullptr && m_backend->isOpen(); }
  bool pr_IsPhysical() const { return m_isPhysical; }
  std::uint32_t pr_LockCount() const { return m_lockCount; }
  int pr_Drive() const { return m_drive; }  // 1 for A to 26 for Z
  std::uint32_t pr_BytesPerSector() const { return m_bytesPerSector; }
  std::uint64_t pr_LastSector() const { return m_lastSector; }  // of the whole disk
  std::uint32_t pr_Cylinders() const { return m_cylinders; }
  std::uint32_t pr_TracksPerCylinder() const { return m_tracksPerCylinder; }
  std::uint32_t pr_SectorsPerTrack() const { return m_sectorsPerTrack; }
  std::uint64_t pr_PartitionStart() const { return m_partitionStart; }
  std::uint64_t pr_PartitionSectors() const { return m_partitionSectors; }

 protected:
  // For an object made as if on the given platform; any identifier other than the two above
  // leaves it unusable after a message box.
  TYAbsDiskIO(const DiskDriveMap& map, int platformId);

  void RunConstructor(int platformId);
  void RunDestructor();

  int WinNT_OpenPhyDisk();
  int WinNT_OpenLogDisk();
  int WinNT_ClosePhyDisk();
  int WinNT_CloseLogDisk();
  int WinNT_ReadPhyDisk(std::uint64_t first, std::uint32_t count, void* buffer);
  int WinNT_WritePhyDisk(std::uint64_t first, std::uint32_t count, const void* buffer);
  int WinNT_ReadLogDisk(std::uint64_t first, std::uint32_t count, void* buffer);
  int WinNT_WriteLogDisk(std::uint64_t first, std::uint32_t count, const void* buffer);

  int Win9x_OpenPhyDisk();
  int Win9x_OpenLogDisk();
  int Win9x_ClosePhyDisk();
  int Win9x_CloseLogDisk();
  int Win9x_ReadPhyDisk(std::uint64_t first, std::uint32_t count, void* buffer);
  int Win9x_WritePhyDisk(std::uint64_t first, std::uint32_t count, const void* buffer);
  int Win9x_ReadLogDisk(std::uint64_t first, std::uint32_t count, void* buffer);
  int Win9x_WriteLogDisk(std::uint64_t first, std::uint32_t count, const void* buffer);

 private:
  int openDevice(bool physical);
  void closeDevice();
  // kAbsOk when [first, first + count) lies within limit sectors and the buffer is usable.
  int checkRequest(std::uint64_t first, std::uint32_t count, const void* buffer,
                   std::uint64_t limit) const;
  int transfer(bool writing, std::uint64_t first, std::uint32_t count, void* readBuffer,
               const void* writeBuffer, std::uint64_t limit);
  void clearGeometry();

  const DiskDriveMap* m_map;
  std::unique_ptr<RawDiskBackend> m_backend;
  bool m_isNT = false;
  std::uint32_t m_lockCount = 0;
  bool m_isPhysical = false;
  std::uint32_t m_bytesPerSector = 0;
  std::uint64_t m_lastSector = 0;
  std::uint32_t m_cylinders = 0;
  std::uint32_t m_tracksPerCylinder = 0;
  std::uint32_t m_sectorsPerTrack = 0;
  int m_drive = 0;
  std::uint64_t m_partitionStart = 0;
  std::uint64_t m_partitionSectors = 0;
};

}  // namespace YVclUtil
