#include <fcntl.h>
#include <linux/fs.h>
#include <linux/hdreg.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <string>

#include "disk/block_device_sysfs.h"
#include "disk/raw_disk_backend.h"
#include "util/messages.h"

namespace YVclUtil {
namespace {

// The geometry reported for disks that have none of their own (images, loop devices).
constexpr std::uint32_t kNominalHeads = 255;
constexpr std::uint32_t kNominalSectorsPerTrack = 63;

bool isSectorSize(std::uint32_t size) {
  return size >= 512 && size <= 65536 && (size & (size - 1)) == 0;
}

std::string readMountInfo() {
  std::ifstream in("/proc/self/mountinfo");
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Places the volume window of entry on a disk of diskSectors; false when it does not fit.
bool placeVolume(const DiskDriveEntry& entry, std::uint64_t diskSectors, RawDiskLayout& layout) {
  if (entry.volumeStart >= diskSectors) {
    return false;
  }
  const std::uint64_t room = diskSectors - entry.volumeStart;
  if (entry.volumeSectors > room) {
    return false;
  }
  layout.volumeStart = entry.volumeStart;
  layout.volumeSectors = entry.volumeSectors == 0 ? room : entry.volumeSectors;
  return true;
}

void fillGeometry(int fd, bool blockDevice, RawDiskLayout& layout) {
  std::uint32_t heads = kNominalHeads;
  std::uint32_t sectors = kNominalSectorsPerTrack;
  hd_geometry geometry{};
  if (blockDevice && ioctl(fd, HDIO_GETGEO, &geometry) == 0 && geometry.heads != 0 &&
      geometry.sectors != 0) {
    heads = geometry.heads;
    sectors = geometry.sectors;
  }
  layout.tracksPerCylinder = heads;
  layout.sectorsPerTrack = sectors;
  const std::uint64_t cylinders = layout.diskSectors / (std::uint64_t{heads} * sectors);
  layout.cylinders = static_cast<std::uint32_t>(cylinders);  // low 32 bits, as disks report it
}

class PosixRawDiskBackend final : public RawDiskBackend {
 public:
  ~PosixRawDiskBackend() override { close(); }

  bool open(const DiskDriveEntry& entry, bool physical, RawDiskLayout& layout) override {
    close();
    struct stat info {};
    if (::stat(entry.path.c_str(), &info) != 0) {
      return false;
    }
    RawDiskLayout found;
    bool opened = false;
    if (S_ISBLK(info.st_mode)) {
      opened = openBlockDevice(entry, info.st_rdev, physical, found);
    } else if (S_ISREG(info.st_mode)) {
      opened = openImage(entry, physical, found);
    }
    if (!opened) {
      closeQuietly();
      return false;
    }
    m_physical = physical;
    layout = found;
    return true;
  }

  bool read(std::uint64_t offset, void* buffer, std::size_t size) override {
    auto* bytes = static_cast<char*>(buffer);
    return transfer(offset, size, [&](std::size_t done, std::size_t left, off_t at) {
      return ::pread(m_fd, bytes + done, left, at);
    });
  }

  bool write(std::uint64_t offset, const void* buffer, std::size_t size) override {
    const auto* bytes = static_cast<const char*>(buffer);
    return transfer(offset, size, [&](std::size_t done, std::size_t left, off_t at) {
      return ::pwrite(m_fd, bytes + done, left, at);
    });
  }

  void close() override {
    if (m_fd < 0) {
      return;
    }
    if (m_physical) {
      if (!flush() || (m_rereadPartitions && ioctl(m_fd, BLKRRPART) != 0)) {
        SendDbgString_Printf("\nErr: Can not update disk property");
      }
      unlock();
      if (::close(m_fd) != 0) {
        SendDbgString_Printf("\nErr: Can not close the handle of physical device");
      }
    } else {
      if (!flush()) {
        SendDbgString_Printf("\nErr: Can not unmount the logical volume");
      }
      unlock();
      if (::close(m_fd) != 0) {
        SendDbgString_Printf("\nErr: Can not close the handle of logical device");
      }
    }
    reset();
  }

  bool isOpen() const override { return m_fd >= 0; }

 private:
  bool openBlockDevice(const DiskDriveEntry& entry, dev_t number, bool physical,
                       RawDiskLayout& layout) {
    const auto facts = DescribeBlockDevice(major(number), minor(number));
    if (!facts) {
      return false;
    }
    const bool hasWindow = entry.volumeStart != 0 || entry.volumeSectors != 0;
    if (facts->isPartition && hasWindow) {
      return false;  // a partition is its own volume; a window inside it is a mistake
    }
    std::string path = entry.path;
    if (physical && facts->isPartition) {
      path = "/dev/" + facts->diskName;
      struct stat disk {};
      if (::stat(path.c_str(), &disk) != 0 || !S_ISBLK(disk.st_mode) ||
          disk.st_rdev != makedev(facts->diskMajor, facts->diskMinor)) {
        return false;
      }
    }
    // O_EXCL on a block device claims it: refused while a file system is mounted on it (or,
    // for a whole disk, on any of its partitions) or another program holds it.
    m_fd = ::open(path.c_str(), O_RDWR | O_EXCL | O_CLOEXEC | (physical ? O_DSYNC : 0));
    if (m_fd < 0) {
      return false;
    }
    m_blockDevice = true;
    int sectorSize = 0;
    std::uint64_t bytes = 0;
    if (ioctl(m_fd, BLKSSZGET, &sectorSize) != 0 ||
        !isSectorSize(static_cast<std::uint32_t>(sectorSize)) ||
        ioctl(m_fd, BLKGETSIZE64, &bytes) != 0) {
      return false;
    }
    layout.bytesPerSector = static_cast<std::uint32_t>(sectorSize);
    const std::uint64_t unitsPerSector = layout.bytesPerSector / 512;
    if (facts->isPartition) {
      layout.diskSectors = facts->diskSize512 / unitsPerSector;
      layout.volumeStart = facts->start512 / unitsPerSector;
      layout.volumeSectors = facts->size512 / unitsPerSector;
    } else {
      layout.diskSectors = bytes / layout.bytesPerSector;
      if (!placeVolume(entry, layout.diskSectors, layout)) {
        return false;
      }
      if (!physical) {
        m_base = layout.volumeStart * layout.bytesPerSector;
      }
    }
    if (layout.diskSectors == 0) {
      return false;
    }
    m_rereadPartitions = physical && facts->diskHoldsPartitions;
    fillGeometry(m_fd, true, layout);
    return true;
  }

  bool openImage(const DiskDriveEntry& entry, bool physical, RawDiskLayout& layout) {
    if (!isSectorSize(entry.imageSectorSize) ||
        IsImageMountedThroughLoop(entry.path, readMountInfo())) {
      return false;
    }
    m_fd = ::open(entry.path.c_str(), O_RDWR | O_CLOEXEC | (physical ? O_DSYNC : 0));
    if (m_fd < 0) {
      return false;
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
      return false;
    }
    m_locked = true;
    struct stat info {};
    if (::fstat(m_fd, &info) != 0) {
      return false;
    }
    layout.bytesPerSector = entry.imageSectorSize;
    layout.diskSectors = static_cast<std::uint64_t>(info.st_size) / layout.bytesPerSector;
    if (!placeVolume(entry, layout.diskSectors, layout)) {
      return false;
    }
    if (!physical) {
      m_base = layout.volumeStart * layout.bytesPerSector;
    }
    fillGeometry(m_fd, false, layout);
    return true;
  }

  template <typename Call>
  bool transfer(std::uint64_t offset, std::size_t size, Call call) {
    if (m_fd < 0) {
      return false;
    }
    std::size_t done = 0;
    while (done < size) {
      const std::uint64_t at = m_base + offset + done;
      if (at > static_cast<std::uint64_t>(INT64_MAX)) {
        return false;
      }
      const ssize_t moved = call(done, size - done, static_cast<off_t>(at));
      if (moved < 0 && errno == EINTR) {
        continue;
      }
      if (moved <= 0) {
        return false;
      }
      done += static_cast<std::size_t>(moved);
    }
    return true;
  }

  bool flush() {
    bool ok = ::fsync(m_fd) == 0;
    // Drop cached blocks so that whoever opens the device next reads what is on it.
    if (m_blockDevice && ioctl(m_fd, BLKFLSBUF, 0) != 0) {
      ok = false;
    }
    return ok;
  }

  void unlock() {
    if (m_locked && ::flock(m_fd, LOCK_UN) != 0) {
      SendDbgString_Printf("\nErr: Can not unlock the logical volume");
    }
  }

  // Undoes a half-done open without reports.
  void closeQuietly() {
    if (m_fd >= 0) {
      ::close(m_fd);
    }
    reset();
  }

  void reset() {
    m_fd = -1;
    m_physical = false;
    m_blockDevice = false;
    m_locked = false;
    m_rereadPartitions = false;
    m_base = 0;
  }

  int m_fd = -1;
  bool m_physical = false;
  bool m_blockDevice = false;
  bool m_locked = false;
  bool m_rereadPartitions = false;
  std::uint64_t m_base = 0;  // byte offset of the open volume on the opened device
};

}  // namespace

std::unique_ptr<RawDiskBackend> MakePosixRawDiskBackend() {
  return std::make_unique<PosixRawDiskBackend>();
}

}  // namespace YVclUtil
