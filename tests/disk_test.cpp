#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "disk/abs_disk_io.h"
#include "disk/block_device_sysfs.h"
#include "disk/disk_drive_map.h"
#include "support/temp_dir.h"
#include "util/diagnostic_sink.h"

using namespace YVclUtil;
using tvx::test::ReadFileBytes;
using tvx::test::TempDir;
using tvx::test::WriteFileBytes;
namespace fs = std::filesystem;

namespace {

constexpr int kOk = TYAbsDiskIO::kAbsOk;
constexpr int kSystemError = TYAbsDiskIO::kAbsSystemError;
constexpr int kBadDrive = TYAbsDiskIO::kAbsBadDrive;
constexpr int kOutOfRange = TYAbsDiskIO::kAbsOutOfRange;

// An image whose sector n is filled with the byte n (mod 256).
void makeImage(const fs::path& path, std::size_t sectors, std::size_t sectorSize = 512) {
  std::string bytes(sectors * sectorSize, '\0');
  for (std::size_t i = 0; i < sectors; ++i) {
    std::memset(bytes.data() + i * sectorSize, static_cast<int>(i & 0xFF), sectorSize);
  }
  WriteFileBytes(path, bytes);
}

std::vector<std::uint8_t> sectors(std::size_t count, std::size_t sectorSize = 512) {
  return std::vector<std::uint8_t>(count * sectorSize, 0xEE);
}

// The object as if made on another platform.
class PlatformDiskIO : public TYAbsDiskIO {
 public:
  PlatformDiskIO(const DiskDriveMap& map, int platformId) : TYAbsDiskIO(map, platformId) {}
};

class ImageDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    makeImage(m_image, 64);
    m_map.assign('c', {.path = m_image.string()});
  }

  TempDir m_dir;
  fs::path m_image = m_dir / "disk.img";
  DiskDriveMap m_map;
};

TEST_F(ImageDiskTest, DriveTextFormsAndLetters) {
  for (const char* text : {"c", "C:", "C:\\"}) {
    TYAbsDiskIO disk(m_map);
    EXPECT_EQ(disk.AbsOpenDisk(text, true), kOk) << text;
    EXPECT_EQ(disk.pr_Drive(), 3) << text;
  }
  TYAbsDiskIO disk(m_map);
  EXPECT_EQ(disk.AbsOpenDisk("c:\\", false), kOk);

  TYAbsDiskIO other(m_map);
  for (const char* text : {"C:/", "CC", "1", "", "C:\\x", "@", "["}) {
    EXPECT_EQ(other.AbsOpenDisk(text, true), kBadDrive) << text;
  }
  EXPECT_EQ(other.AbsOpenDisk(nullptr, true), kBadDrive);
  EXPECT_EQ(other.AbsOpenDisk("D:", true), kSystemError);  // no entry for D
  EXPECT_FALSE(other.pr_IsOpen());
}

TEST_F(ImageDiskTest, PhysicalAccessCoversTheWholeImageAndNoMore) {
  RecordingDiagnosticSink sink;
  ScopedDiagnosticSink guard(sink);
  TYAbsDiskIO disk(m_map);
  ASSERT_EQ(disk.AbsOpenDisk("C:", true), kOk);
  EXPECT_TRUE(disk.pr_IsNT());
  EXPECT_TRUE(disk.pr_IsPhysical());
  EXPECT_EQ(disk.pr_BytesPerSector(), 512U);
  EXPECT_EQ(disk.pr_LastSector(), 63U);
  EXPECT_EQ(disk.pr_LockCount(), 1U);

  auto buffer = sectors(2);
  ASSERT_EQ(disk.AbsReadDisk(62, 2, buffer.data()), kOk);  // ends on the last sector
  EXPECT_EQ(buffer[0], 62);
  EXPECT_EQ(buffer[1023], 63);
  EXPECT_EQ(disk.AbsReadDisk(63, 2, buffer.data()), kOutOfRange);
  EXPECT_EQ(disk.AbsReadDisk(64, 0, buffer.data()), kOk);
  EXPECT_EQ(disk.AbsReadDisk(65, 0, buffer.data()), kOutOfRange);
  EXPECT_EQ(disk.AbsReadDisk(UINT64_MAX, 2, buffer.data()), kOutOfRange);
  EXPECT_EQ(disk.AbsWriteDisk(UINT64_MAX - 1, 2, buffer.data()), kOutOfRange);
  EXPECT_EQ(disk.AbsReadDisk(0, 1, nullptr), kSystemError);

  std::fill(buffer.begin(), buffer.end(), 0xA5);
  ASSERT_EQ(disk.AbsWriteDisk(10, 2, buffer.data()), kOk);
  EXPECT_EQ(disk.AbsCloseDisk(), 0);
  EXPECT_FALSE(disk.pr_IsOpen());
  EXPECT_EQ(disk.pr_LockCount(), 0U);
  EXPECT_EQ(disk.AbsReadDisk(0, 1, buffer.data()), kSystemError);  // closed

  const std::string image = ReadFileBytes(m_image);
  ASSERT_EQ(image.size(), 64U * 512);
  EXPECT_EQ(static_cast<std::uint8_t>(image[10 * 512 - 1]), 9);
  EXPECT_EQ(static_cast<std::uint8_t>(image[10 * 512]), 0xA5);
  EXPECT_EQ(static_cast<std::uint8_t>(image[12 * 512 - 1]), 0xA5);
  EXPECT_EQ(static_cast<std::uint8_t>(image[12 * 512]), 12);
  EXPECT_TRUE(sink.debugLines().empty());
  EXPECT_TRUE(sink.boxes().empty());
}

TEST_F(ImageDiskTest, LogicalAccessIsRelativeToTheVolume) {
  m_map.assign('E', {.path = m_image.string(), .volumeStart = 16, .volumeSectors = 32});
  TYAbsDiskIO disk(m_map);
  ASSERT_EQ(disk.AbsOpenDisk("E", false), kOk);
  EXPECT_EQ(disk.pr_PartitionStart(), 16U);
  EXPECT_EQ(disk.pr_PartitionSectors(), 32U);
  EXPECT_EQ(disk.pr_LastSector(), 63U);

  auto buffer = sectors(1);
  ASSERT_EQ(disk.AbsReadDisk(0, 1, buffer.data()), kOk);
  EXPECT_EQ(buffer[0], 16);
  ASSERT_EQ(disk.AbsReadDisk(31, 1, buffer.data()), kOk);  // first + count == PartitionSectors
  EXPECT_EQ(buffer[511], 47);
  EXPECT_EQ(disk.AbsReadDisk(31, 2, buffer.data()), kOutOfRange);
  EXPECT_EQ(disk.AbsWriteDisk(32, 1, buffer.data()), kOutOfRange);

  std::fill(buffer.begin(), buffer.end(), 0x5A);
  ASSERT_EQ(disk.AbsWriteDisk(1, 1, buffer.data()), kOk);
  disk.AbsCloseDisk();
  EXPECT_EQ(static_cast<std::uint8_t>(ReadFileBytes(m_image)[17 * 512]), 0x5A);

  // The same letter opened physically sees the whole image.
  ASSERT_EQ(disk.AbsOpenDisk("E", true), kOk);
  ASSERT_EQ(disk.AbsReadDisk(17, 1, buffer.data()), kOk);
  EXPECT_EQ(buffer[0], 0x5A);
}

TEST_F(ImageDiskTest, VolumesAndSectorSizesThatDoNotFitAreRefused) {
  TYAbsDiskIO disk(m_map);
  m_map.assign('F', {.path = m_image.string(), .volumeStart = 60});
  ASSERT_EQ(disk.AbsOpenDisk("F", false), kOk);
  EXPECT_EQ(disk.pr_PartitionSectors(), 4U);  // runs to the end of the image
  disk.AbsCloseDisk();

  m_map.assign('F', {.path = m_image.string(), .volumeStart = 60, .volumeSectors = 5});
  EXPECT_EQ(disk.AbsOpenDisk("F", false), kSystemError);
  m_map.assign('F', {.path = m_image.string(), .volumeStart = 64});
  EXPECT_EQ(disk.AbsOpenDisk("F", false), kSystemError);
  m_map.assign('F', {.path = m_image.string(), .imageSectorSize = 1000});
  EXPECT_EQ(disk.AbsOpenDisk("F", true), kSystemError);
  m_map.assign('F', {.path = (m_dir / "missing.img").string()});
  EXPECT_EQ(disk.AbsOpenDisk("F", true), kSystemError);
  m_map.assign('F', {.path = m_dir.path().string()});  // a folder is no disk
  EXPECT_EQ(disk.AbsOpenDisk("F", true), kSystemError);
  WriteFileBytes(m_dir / "tiny.img", std::string(511, 'x'));
  m_map.assign('F', {.path = (m_dir / "tiny.img").string()});
  EXPECT_EQ(disk.AbsOpenDisk("F", true), kSystemError);
  EXPECT_FALSE(disk.pr_IsOpen());
  EXPECT_EQ(disk.pr_BytesPerSector(), 0U);

  makeImage(m_dir / "big-sectors.img", 8, 4096);
  m_map.assign('G', {.path = (m_dir / "big-sectors.img").string(), .imageSectorSize = 4096});
  ASSERT_EQ(disk.AbsOpenDisk("G", true), kOk);
  EXPECT_EQ(disk.pr_BytesPerSector(), 4096U);
  EXPECT_EQ(disk.pr_LastSector(), 7U);
  auto buffer = sectors(1, 4096);
  ASSERT_EQ(disk.AbsReadDisk(7, 1, buffer.data()), kOk);
  EXPECT_EQ(buffer[4095], 7);
}

TEST_F(ImageDiskTest, AnOpenDiskIsHeldExclusively) {
  TYAbsDiskIO first(m_map);
  TYAbsDiskIO second(m_map);
  ASSERT_EQ(first.AbsOpenDisk("C", false), kOk);
  EXPECT_EQ(second.AbsOpenDisk("C", true), kSystemError);

  // Opening another letter releases the disk held before.
  makeImage(m_dir / "other.img", 4);
  m_map.assign('D', {.path = (m_dir / "other.img").string()});
  ASSERT_EQ(first.AbsOpenDisk("D", true), kOk);
  EXPECT_EQ(second.AbsOpenDisk("C", true), kOk);
  {
    TYAbsDiskIO third(m_map);
    EXPECT_EQ(third.AbsOpenDisk("D", true), kSystemError);
  }
  second.AbsCloseDisk();
  first.AbsCloseDisk();
  TYAbsDiskIO last(m_map);
  EXPECT_EQ(last.AbsOpenDisk("D", true), kOk);
}

// Sector numbers above 4 GiB / 512 must not wrap to the start of the disk.
TEST_F(ImageDiskTest, PositionsBeyondFourGibibytes) {
  const fs::path sparse = m_dir / "sparse.img";
  { std::ofstream create(sparse); }
  fs::resize_file(sparse, 5ULL << 30);  // sparse: no real space is used
  m_map.assign('S', {.path = sparse.string()});
  TYAbsDiskIO disk(m_map);
  ASSERT_EQ(disk.AbsOpenDisk("S", true), kOk);
  const std::uint64_t beyond = (4ULL << 30) / 512 + 3;
  auto buffer = sectors(1);
  std::fill(buffer.begin(), buffer.end(), 0x77);
  ASSERT_EQ(disk.AbsWriteDisk(beyond, 1, buffer.data()), kOk);
  disk.AbsCloseDisk();

  const int fd = ::open(sparse.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  std::uint8_t atStart = 0xFF;
  std::uint8_t atTarget = 0;
  EXPECT_EQ(::pread(fd, &atStart, 1, 3 * 512), 1);
  EXPECT_EQ(::pread(fd, &atTarget, 1, static_cast<off_t>(beyond * 512)), 1);
  ::close(fd);
  EXPECT_EQ(atStart, 0);
  EXPECT_EQ(atTarget, 0x77);
}

TEST(AbsDiskPlatformTest, OlderPlatformPathAnswersDeviceUnavailable) {
  TempDir dir;
  makeImage(dir / "disk.img", 4);
  DiskDriveMap map;
  map.assign('C', {.path = (dir / "disk.img").string()});
  RecordingDiagnosticSink sink;
  ScopedDiagnosticSink guard(sink);

  PlatformDiskIO older(map, TYAbsDiskIO::kPlatformWin32Windows);
  EXPECT_FALSE(older.pr_IsNT());
  auto buffer = sectors(1);
  EXPECT_EQ(older.AbsOpenDisk("C", true), TYAbsDiskIO::kAbsDeviceUnavailable);
  EXPECT_EQ(older.AbsOpenDisk("C", false), TYAbsDiskIO::kAbsDeviceUnavailable);
  EXPECT_EQ(older.AbsReadDisk(0, 1, buffer.data()), TYAbsDiskIO::kAbsDeviceUnavailable);
  EXPECT_EQ(older.AbsWriteDisk(0, 1, buffer.data()), TYAbsDiskIO::kAbsDeviceUnavailable);
  EXPECT_EQ(older.AbsCloseDisk(), 0);
  EXPECT_EQ(older.AbsOpenDisk("C:/", true), kBadDrive);  // the drive text is checked first
  EXPECT_TRUE(sink.boxes().empty());

  PlatformDiskIO unknown(map, 0);
  ASSERT_EQ(sink.boxes().size(), 1U);
  EXPECT_EQ(sink.boxes()[0].caption, "TYAbsDiskIO");
  EXPECT_EQ(sink.boxes()[0].text, "Err: Can not get the PlatformID of Windows !!!");
  EXPECT_FALSE(unknown.pr_IsNT());
  EXPECT_EQ(unknown.pr_Drive(), 0);
  EXPECT_EQ(unknown.AbsOpenDisk("C", true), TYAbsDiskIO::kAbsDeviceUnavailable);
}

TEST(DiskDriveMapTest, LettersOfEitherCaseOnly) {
  DiskDriveMap map;
  EXPECT_TRUE(map.assign('q', {.path = "/dev/null"}));
  ASSERT_TRUE(map.find('Q'));
  EXPECT_EQ(map.find('q')->path, "/dev/null");
  EXPECT_FALSE(map.assign('1', {.path = "x"}));
  EXPECT_FALSE(map.assign('\\', {.path = "x"}));
  map.remove('Q');
  EXPECT_FALSE(map.find('q'));
}

// A small copy of the kernel's sysfs layout: disk "sdz" (8:0) with partition "sdz2" (8:2),
// and loop disk "loop7" (7:7) with partition "loop7p1" (259:0) backed by an image.
class FakeSysfsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path disk = m_sys / "devices/pci0000:00/block/sdz";
    put(disk / "dev", "8:0\n");
    put(disk / "size", "2000000\n");
    put(disk / "ext_range", "16\n");
    put(disk / "sdz2/dev", "8:2\n");
    put(disk / "sdz2/partition", "2\n");
    put(disk / "sdz2/start", "4096\n");
    put(disk / "sdz2/size", "8192\n");
    const fs::path loop = m_sys / "devices/virtual/block/loop7";
    put(loop / "dev", "7:7\n");
    put(loop / "size", "16384\n");
    put(loop / "ext_range", "1\n");
    put(loop / "loop/backing_file", (m_dir / "card.img").string() + "\n");
    put(loop / "loop7p1/dev", "259:0\n");
    put(loop / "loop7p1/partition", "1\n");
    put(loop / "loop7p1/start", "2048\n");
    put(loop / "loop7p1/size", "1024\n");
    fs::create_directories(m_sys / "dev/block");
    fs::create_directory_symlink(disk, m_sys / "dev/block/8:0");
    fs::create_directory_symlink(disk / "sdz2", m_sys / "dev/block/8:2");
    fs::create_directory_symlink(loop, m_sys / "dev/block/7:7");
    fs::create_directory_symlink(loop / "loop7p1", m_sys / "dev/block/259:0");
    WriteFileBytes(m_dir / "card.img", "");
  }

  static void put(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    WriteFileBytes(file, text);
  }

  TempDir m_dir;
  fs::path m_sys = m_dir / "sys";
};

TEST_F(FakeSysfsTest, PartitionsNameTheirDisk) {
  const auto partition = DescribeBlockDevice(8, 2, m_sys);
  ASSERT_TRUE(partition);
  EXPECT_TRUE(partition->isPartition);
  EXPECT_EQ(partition->start512, 4096U);
  EXPECT_EQ(partition->size512, 8192U);
  EXPECT_EQ(partition->diskName, "sdz");
  EXPECT_EQ(partition->diskMajor, 8U);
  EXPECT_EQ(partition->diskMinor, 0U);
  EXPECT_EQ(partition->diskSize512, 2000000U);
  EXPECT_TRUE(partition->diskHoldsPartitions);
  EXPECT_TRUE(partition->diskLoopBackingFile.empty());

  const auto disk = DescribeBlockDevice(7, 7, m_sys);
  ASSERT_TRUE(disk);
  EXPECT_FALSE(disk->isPartition);
  EXPECT_EQ(disk->diskName, "loop7");
  EXPECT_FALSE(disk->diskHoldsPartitions);
  EXPECT_FALSE(DescribeBlockDevice(8, 5, m_sys));
}

TEST_F(FakeSysfsTest, ImageMountedThroughItsLoopDevice) {
  const std::string otherMounts =
      "22 1 0:21 / /proc rw - proc proc rw\n"
      "26 1 8:2 / /data rw - ext4 /dev/sdz2 rw\n"
      "garbage\n";
  const fs::path image = m_dir / "card.img";
  EXPECT_FALSE(IsImageMountedThroughLoop(image, otherMounts, m_sys));
  EXPECT_TRUE(IsImageMountedThroughLoop(
      image, otherMounts + "40 1 259:0 / /media/card rw - vfat /dev/loop7p1 rw\n", m_sys));
  EXPECT_TRUE(IsImageMountedThroughLoop(image, "41 1 7:7 / /mnt rw - ext4 /dev/loop7 rw\n", m_sys));
  EXPECT_FALSE(IsImageMountedThroughLoop(m_dir / "other.img",
                                         "41 1 7:7 / /mnt rw - ext4 /dev/loop7 rw\n", m_sys));
}

// Output of a shell command, nullopt when it fails.
std::optional<std::string> run(const std::string& command) {
  FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) {
    return std::nullopt;
  }
  std::string output;
  char chunk[256];
  while (std::fgets(chunk, sizeof chunk, pipe) != nullptr) {
    output += chunk;
  }
  if (::pclose(pipe) != 0) {
    return std::nullopt;
  }
  while (!output.empty() && output.back() == '\n') {
    output.pop_back();
  }
  return output;
}

// An image attached to a free loop device for the lifetime of the object.
class LoopDevice {
 public:
  explicit LoopDevice(const fs::path& image) {
    if (auto device = run("losetup --find --show --partscan " + image.string())) {
      m_device = *device;
    }
  }
  ~LoopDevice() {
    if (!m_device.empty()) {
      run("losetup -d " + m_device);
    }
  }
  LoopDevice(const LoopDevice&) = delete;
  LoopDevice& operator=(const LoopDevice&) = delete;

  const std::string& device() const { return m_device; }

 private:
  std::string m_device;
};

class LoopDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) {
      GTEST_SKIP() << "loop devices need root";
    }
    makeImage(m_image, 2048);
    m_loop.emplace(m_image);
    if (m_loop->device().empty()) {
      GTEST_SKIP() << "losetup cannot attach a loop device here";
    }
    m_map.assign('L', {.path = m_loop->device()});
  }

  TempDir m_dir;
  fs::path m_image = m_dir / "loop.img";
  std::optional<LoopDevice> m_loop;
  DiskDriveMap m_map;
};

TEST_F(LoopDiskTest, SizesComeFromTheDeviceAndDataReachesIt) {
  RecordingDiagnosticSink sink;
  ScopedDiagnosticSink guard(sink);
  TYAbsDiskIO disk(m_map);
  ASSERT_EQ(disk.AbsOpenDisk("L:\\", true), kOk);
  EXPECT_EQ(disk.pr_BytesPerSector(), 512U);
  EXPECT_EQ(disk.pr_LastSector(), 2047U);
  EXPECT_GT(disk.pr_TracksPerCylinder(), 0U);
  auto buffer = sectors(1);
  ASSERT_EQ(disk.AbsReadDisk(2047, 1, buffer.data()), kOk);
  EXPECT_EQ(buffer[0], 2047 & 0xFF);
  EXPECT_EQ(disk.AbsReadDisk(2047, 2, buffer.data()), kOutOfRange);
  std::fill(buffer.begin(), buffer.end(), 0xC3);
  ASSERT_EQ(disk.AbsWriteDisk(5, 1, buffer.data()), kOk);
  disk.AbsCloseDisk();  // flushes and has the kernel re-read the partition table
  EXPECT_TRUE(sink.debugLines().empty());
  EXPECT_EQ(static_cast<std::uint8_t>(ReadFileBytes(m_image)[5 * 512 + 100]), 0xC3);

  m_map.assign('M', {.path = m_loop->device(), .volumeStart = 1024});
  ASSERT_EQ(disk.AbsOpenDisk("M", false), kOk);
  EXPECT_EQ(disk.pr_PartitionSectors(), 1024U);
  ASSERT_EQ(disk.AbsReadDisk(1023, 1, buffer.data()), kOk);
  EXPECT_EQ(buffer[0], 2047 & 0xFF);
}

TEST_F(LoopDiskTest, DeviceHeldElsewhereIsRefused) {
  const int holder = ::open(m_loop->device().c_str(), O_RDONLY | O_EXCL);
  ASSERT_GE(holder, 0);
  TYAbsDiskIO disk(m_map);
  EXPECT_EQ(disk.AbsOpenDisk("L", true), kSystemError);
  EXPECT_EQ(disk.AbsOpenDisk("L", false), kSystemError);
  ::close(holder);
  EXPECT_EQ(disk.AbsOpenDisk("L", false), kOk);
}

TEST_F(LoopDiskTest, MountedVolumeIsRefused) {
  if (!run("mkfs.ext4 -q -F " + m_image.string() + " 2>&1")) {
    GTEST_SKIP() << "mkfs.ext4 is not available";
  }
  // The loop device still shows the old content; attach the formatted image afresh.
  LoopDevice formatted(m_image);
  ASSERT_FALSE(formatted.device().empty());
  const fs::path mountPoint = m_dir / "mnt";
  fs::create_directory(mountPoint);
  if (::mount(formatted.device().c_str(), mountPoint.c_str(), "ext4", 0, nullptr) != 0) {
    GTEST_SKIP() << "cannot mount here: " << std::strerror(errno);
  }
  struct Unmount {
    const fs::path& point;
    bool done = false;
    bool now() {
      if (!done) {
        done = ::umount2(point.c_str(), MNT_DETACH) == 0;
      }
      return done;
    }
    ~Unmount() { now(); }
  } unmount{mountPoint};
  m_map.assign('V', {.path = formatted.device()});
  m_map.assign('W', {.path = m_image.string()});
  {
    TYAbsDiskIO disk(m_map);
    EXPECT_EQ(disk.AbsOpenDisk("V", false), kSystemError);
    EXPECT_EQ(disk.AbsOpenDisk("V", true), kSystemError);
    EXPECT_EQ(disk.AbsOpenDisk("W", false), kSystemError);  // the image behind the mount
  }
  ASSERT_TRUE(unmount.now());
  TYAbsDiskIO disk(m_map);
  EXPECT_EQ(disk.AbsOpenDisk("V", false), kOk);
}

}  // namespace
