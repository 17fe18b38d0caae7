#include "disk/abs_disk_io.h"

#include <sys/utsname.h>

#include <string_view>

#include "util/messages.h"

namespace YVclUtil {
namespace {

// Every POSIX system takes the path of documented device controls.
int queryPlatformId() {
  utsname name{};
  return ::uname(&name) == 0 ? TYAbsDiskIO::kPlatformWin32NT : -1;
}

}  // namespace

TYAbsDiskIO::TYAbsDiskIO() : TYAbsDiskIO(TheDiskDriveMap(), queryPlatformId()) {}

TYAbsDiskIO::TYAbsDiskIO(const DiskDriveMap& map) : TYAbsDiskIO(map, queryPlatformId()) {}

TYAbsDiskIO::TYAbsDiskIO(const DiskDriveMap& map, int platformId) : m_map(&map) {
  RunConstructor(platformId);
}

TYAbsDiskIO::~TYAbsDiskIO() {
  RunDestructor();
}

void TYAbsDiskIO::RunConstructor(int platformId) {
  m_isNT = false;
  m_backend.reset();
  m_drive = 0;
  m_isPhysical = false;
  clearGeometry();
  if (platformId == kPlatformWin32NT) {
    m_isNT = true;
    m_backend = MakePosixRawDiskBackend();
  } else if (platformId != kPlatformWin32Windows) {
    ShowErrMsgBox_Printf("TYAbsDiskIO", "Err: Can not get the PlatformID of Windows !!!");
  }
}

void TYAbsDiskIO::RunDestructor() {
  AbsCloseDisk();
}

int TYAbsDiskIO::AbsOpenDisk(const char* text, bool physical) {
  if (text == nullptr) {
    return kAbsBadDrive;
  }
  const std::string_view drive(text);
  const bool wellFormed = !drive.empty() && drive.size() <= 3 &&
                          (drive.size() < 2 || drive[1] == ':') &&
                          (drive.size() < 3 || drive[2] == '\\');
  if (!wellFormed) {
    return kAbsBadDrive;
  }
  char letter = drive[0];
  if (letter >= 'a' && letter <= 'z') {
    letter = static_cast<char>(letter - 'a' + 'A');
  }
  if (letter < 'A' || letter > 'Z') {
    return kAbsBadDrive;
  }
  if (pr_IsOpen()) {
    AbsCloseDisk();
  }
  m_drive = letter - 'A' + 1;
  m_isPhysical = physical;
  if (m_isNT) {
    return physical ? WinNT_OpenPhyDisk() : WinNT_OpenLogDisk();
  }
  return physical ? Win9x_OpenPhyDisk() : Win9x_OpenLogDisk();
}

int TYAbsDiskIO::AbsReadDisk(std::uint64_t first, std::uint32_t count, void* buffer) {
  if (m_isNT) {
    return m_isPhysical ? WinNT_ReadPhyDisk(first, count, buffer)
                        : WinNT_ReadLogDisk(first, count, buffer);
  }
  return m_isPhysical ? Win9x_ReadPhyDisk(first, count, buffer)
                      : Win9x_ReadLogDisk(first, count, buffer);
}

int TYAbsDiskIO::AbsWriteDisk(std::uint64_t first, std::uint32_t count, const void* buffer) {
  if (m_isNT) {
    return m_isPhysical ? WinNT_WritePhyDisk(first, count, buffer)
                        : WinNT_WriteLogDisk(first, count, buffer);
  }
  return m_isPhysical ? Win9x_WritePhyDisk(first, count, buffer)
                      : Win9x_WriteLogDisk(first, count, buffer);
}

int TYAbsDiskIO::AbsCloseDisk() {
  if (m_isNT) {
    return m_isPhysical ? WinNT_ClosePhyDisk() : WinNT_CloseLogDisk();
  }
  return m_isPhysical ? Win9x_ClosePhyDisk() : Win9x_CloseLogDisk();
}

int TYAbsDiskIO::WinNT_OpenPhyDisk() {
  return openDevice(true);
}
int TYAbsDiskIO::WinNT_OpenLogDisk() {
  return openDevice(false);
}

// The kernel re-reads partitions synchronously when the backend closes a physical disk, so
// there is nothing left to wait for afterwards.
int TYAbsDiskIO::WinNT_ClosePhyDisk() {
  closeDevice();
  return kAbsOk;
}

int TYAbsDiskIO::WinNT_CloseLogDisk() {
  closeDevice();
  return kAbsOk;
}

int TYAbsDiskIO::WinNT_ReadPhyDisk(std::uint64_t first, std::uint32_t count, void* buffer) {
  return transfer(false, first, count, buffer, nullptr, m_lastSector + 1);
}

int TYAbsDiskIO::WinNT_WritePhyDisk(std::uint64_t first, std::uint32_t count, const void* buffer) {
  return transfer(true, first, count, nullptr, buffer, m_lastSector + 1);
}

int TYAbsDiskIO::WinNT_ReadLogDisk(std::uint64_t first, std::uint32_t count, void* buffer) {
  return transfer(false, first, count, buffer, nullptr, m_partitionSectors);
}

int TYAbsDiskIO::WinNT_WriteLogDisk(std::uint64_t first, std::uint32_t count, const void* buffer) {
  return transfer(true, first, count, nullptr, buffer, m_partitionSectors);
}

int TYAbsDiskIO::Win9x_OpenPhyDisk() {
  return kAbsDeviceUnavailable;
}
int TYAbsDiskIO::Win9x_OpenLogDisk() {
  return kAbsDeviceUnavailable;
}
int TYAbsDiskIO::Win9x_ClosePhyDisk() {
  return kAbsOk;
}
int TYAbsDiskIO::Win9x_CloseLogDisk() {
  return kAbsOk;
}

int TYAbsDiskIO::Win9x_ReadPhyDisk(std::uint64_t, std::uint32_t, void*) {
  return kAbsDeviceUnavailable;
}

int TYAbsDiskIO::Win9x_WritePhyDisk(std::uint64_t, std::uint32_t, const void*) {
  return kAbsDeviceUnavailable;
}

int TYAbsDiskIO::Win9x_ReadLogDisk(std::uint64_t, std::uint32_t, void*) {
  return kAbsDeviceUnavailable;
}

int TYAbsDiskIO::Win9x_WriteLogDisk(std::uint64_t, std::uint32_t, const void*) {
  return kAbsDeviceUnavailable;
}

int TYAbsDiskIO::openDevice(bool physical) {
  const auto entry = m_map->find(static_cast<char>('A' + m_drive - 1));
  RawDiskLayout layout;
  if (!entry || !m_backend->open(*entry, physical, layout)) {
    closeDevice();
    return kAbsSystemError;
  }
  m_lockCount = 1;  // the exclusive claim on the device
  m_bytesPerSector = layout.bytesPerSector;
  m_lastSector = layout.diskSectors - 1;
  m_cylinders = layout.cylinders;
  m_tracksPerCylinder = layout.tracksPerCylinder;
  m_sectorsPerTrack = layout.sectorsPerTrack;
  m_partitionStart = layout.volumeStart;
  m_partitionSectors = layout.volumeSectors;
  return kAbsOk;
}

void TYAbsDiskIO::closeDevice() {
  if (m_backend) {
    m_backend->close();
  }
  clearGeometry();
}

int TYAbsDiskIO::checkRequest(std::uint64_t first, std::uint32_t count, const void* buffer,
                              std::uint64_t limit) const {
  if (!pr_IsOpen()) {
    return kAbsSystemError;
  }
  if (count > limit || first > limit - count) {
    return kAbsOutOfRange;
  }
  if (buffer == nullptr && count != 0) {
    return kAbsSystemError;
  }
  return kAbsOk;
}

int TYAbsDiskIO::transfer(bool writing, std::uint64_t first, std::uint32_t count, void* readBuffer,
                          const void* writeBuffer, std::uint64_t limit) {
  const void* buffer = writing ? writeBuffer : readBuffer;
  if (const int refused = checkRequest(first, count, buffer, limit); refused != kAbsOk) {
    return refused;
  }
  const std::uint64_t offset = first * m_bytesPerSector;
  const std::size_t size = std::size_t{count} * m_bytesPerSector;
  const bool done = writing ? m_backend->write(offset, writeBuffer, size)
                            : m_backend->read(offset, readBuffer, size);
  return done ? kAbsOk : kAbsSystemError;
}

void TYAbsDiskIO::clearGeometry() {
  m_lockCount = 0;
  m_bytesPerSector = 0;
  m_lastSector = 0;
  m_cylinders = 0;
  m_tracksPerCylinder = 0;
  m_sectorsPerTrack = 0;
  m_partitionStart = 0;
  m_partitionSectors = 0;
}

}  // namespace YVclUtil
