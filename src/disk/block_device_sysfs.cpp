#include "disk/block_device_sysfs.h"

#include <cstdio>
#include <sstream>
#include <system_error>

#include "util/sysfs.h"

namespace YVclUtil {
namespace {

namespace fs = std::filesystem;

bool parseDeviceNumber(const std::string& text, unsigned& major, unsigned& minor) {
  char tail = 0;
  return std::sscanf(text.c_str(), "%u:%u%c", &major, &minor, &tail) == 2;
}

}  // namespace

std::optional<BlockDeviceFacts> DescribeBlockDevice(unsigned major, unsigned minor,
                                                    const fs::path& sysRoot) {
  const std::optional<fs::path> found = tvx::Sysfs(sysRoot).resolve(
      fs::path("dev") / "block" / (std::to_string(major) + ":" + std::to_string(minor)));
  if (!found) {
    return std::nullopt;
  }
  const fs::path& device = *found;
  std::error_code error;
  BlockDeviceFacts facts;
  const auto size = tvx::ReadSysfsNumber(device / "size");
  if (!size) {
    return std::nullopt;
  }
  facts.size512 = *size;
  facts.isPartition = fs::exists(device / "partition", error);
  fs::path disk = device;
  if (facts.isPartition) {
    const auto start = tvx::ReadSysfsNumber(device / "start");
    if (!start) {
      return std::nullopt;
    }
    facts.start512 = *start;
    disk = device.parent_path();
  }
  const auto diskNumber = tvx::ReadSysfsLine(disk / "dev");
  const auto diskSize = tvx::ReadSysfsNumber(disk / "size");
  if (!diskNumber || !diskSize ||
      !parseDeviceNumber(*diskNumber, facts.diskMajor, facts.diskMinor)) {
    return std::nullopt;
  }
  facts.diskName = disk.filename().string();
  facts.diskSize512 = *diskSize;
  // A disk that can carry partitions reserves more than one minor number for them.
  facts.diskHoldsPartitions = tvx::ReadSysfsNumber(disk / "ext_range").value_or(1) > 1;
  if (const auto backing = tvx::ReadSysfsLine(disk / "loop" / "backing_file")) {
    facts.diskLoopBackingFile = *backing;
  }
  return facts;
}

bool IsImageMountedThroughLoop(const fs::path& imagePath, const std::string& mountInfo,
                               const fs::path& sysRoot) {
  std::error_code error;
  const fs::path image = fs::weakly_canonical(imagePath, error);
  if (error) {
    return false;
  }
  std::istringstream lines(mountInfo);
  std::string line;
  while (std::getline(lines, line)) {
    // "36 35 7:0 / /mnt rw - ext4 /dev/loop0 rw": the third field is the device number.
    std::istringstream fields(line);
    std::string mountId, parentId, number;
    unsigned major = 0, minor = 0;
    if (!(fields >> mountId >> parentId >> number) || !parseDeviceNumber(number, major, minor)) {
      continue;
    }
    const auto facts = DescribeBlockDevice(major, minor, sysRoot);
    if (facts && !facts->diskLoopBackingFile.empty() &&
        fs::weakly_canonical(facts->diskLoopBackingFile, error) == image && !error) {
      return true;
    }
  }
  return false;
}

}  // namespace YVclUtil
