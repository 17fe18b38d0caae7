#include "disk/block_device_sysfs.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

namespace YVclUtil {
namespace {

namespace fs = std::filesystem;

std::optional<std::string> readLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  if (!in || !std::getline(in, line)) {
    return std::nullopt;
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == ' ')) {
    line.pop_back();
  }
  return line;
}

std::optional<std::uint64_t> readNumber(const fs::path& file) {
  const auto text = readLine(file);
  if (!text || text->empty()) {
    return std::nullopt;
  }
  std::uint64_t value = 0;
  for (const char c : *text) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value;
}

bool parseDeviceNumber(const std::string& text, unsigned& major, unsigned& minor) {
  char tail = 0;
  return std::sscanf(text.c_str(), "%u:%u%c", &major, &minor, &tail) == 2;
}

}  // namespace

std::optional<BlockDeviceFacts> DescribeBlockDevice(unsigned major, unsigned minor,
                                                    const fs::path& sysRoot) {
  std::error_code error;
  const fs::path link =
      sysRoot / "dev" / "block" / (std::to_string(major) + ":" + std::to_string(minor));
  const fs::path device = fs::canonical(link, error);
  if (error) {
    return std::nullopt;
  }
  BlockDeviceFacts facts;
  const auto size = readNumber(device / "size");
  if (!size) {
    return std::nullopt;
  }
  facts.size512 = *size;
  facts.isPartition = fs::exists(device / "partition", error);
  fs::path disk = device;
  if (facts.isPartition) {
    const auto start = readNumber(device / "start");
    if (!start) {
      return std::nullopt;
    }
    facts.start512 = *start;
    disk = device.parent_path();
  }
  const auto diskNumber = readLine(disk / "dev");
  const auto diskSize = readNumber(disk / "size");
  if (!diskNumber || !diskSize ||
      !parseDeviceNumber(*diskNumber, facts.diskMajor, facts.diskMinor)) {
    return std::nullopt;
  }
  facts.diskName = disk.filename().string();
  facts.diskSize512 = *diskSize;
  // A disk that can carry partitions reserves more than one minor number for them.
  facts.diskHoldsPartitions = readNumber(disk / "ext_range").value_or(1) > 1;
  if (const auto backing = readLine(disk / "loop" / "backing_file")) {
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
