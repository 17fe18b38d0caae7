#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace YVclUtil {

// What the kernel tells about a block device through sysfs. Sizes and starts are in the
// kernel's fixed 512-byte units, whatever the device's own sector size.
struct BlockDeviceFacts {
  bool isPartition = false;
  std::uint64_t start512 = 0;  // partitions: first unit on the whole disk
  std::uint64_t size512 = 0;
  // The whole disk holding the device (the device itself when it is a whole disk).
  std::string diskName;  // kernel name, e.g. "sdb" or "loop3"
  unsigned diskMajor = 0;
  unsigned diskMinor = 0;
  std::uint64_t diskSize512 = 0;
  bool diskHoldsPartitions = false;  // the kernel keeps partitions for the disk
  std::string diskLoopBackingFile;   // loop devices: the file behind the disk
};

// Facts about device major:minor, read below sysRoot (normally "/sys"); nullopt when the
// kernel does not know the device.
std::optional<BlockDeviceFacts> DescribeBlockDevice(unsigned major, unsigned minor,
                                                    const std::filesystem::path& sysRoot = "/sys");

// True when a file system is mounted from a loop device (or one of its partitions) backed by
// imagePath. mountInfo is the text of /proc/self/mountinfo.
bool IsImageMountedThroughLoop(const std::filesystem::path& imagePath, const std::string& mountInfo,
                               const std::filesystem::path& sysRoot = "/sys");

}  // namespace YVclUtil
