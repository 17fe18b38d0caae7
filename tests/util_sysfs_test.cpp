#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>

#include "support/temp_dir.h"
#include "util/sysfs.h"

namespace tvx {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::WriteFileBytes;

TEST(SysfsTest, AttributesAreOneTrimmedLineAndNumbersAreDigitsOnly) {
  TempDir dir;
  auto file = [&](const char* name, const char* text) {
    WriteFileBytes(dir / name, text);
    return dir / name;
  };
  EXPECT_EQ(ReadSysfsLine(file("product", "Cable A \t\r\nsecond line\n")), "Cable A");
  EXPECT_EQ(ReadSysfsLine(file("blank", "\n")), "");
  EXPECT_EQ(ReadSysfsLine(file("empty", "")), std::nullopt);
  EXPECT_EQ(ReadSysfsLine(dir / "missing"), std::nullopt);

  EXPECT_EQ(ReadSysfsNumber(file("size", "2097152\n")), 2097152U);
  EXPECT_EQ(ReadSysfsNumber(file("idVendor", "0403\n"), 16), 0x0403U);
  EXPECT_EQ(ReadSysfsNumber(file("idProduct", "6a0F\n"), 16), 0x6A0FU);
  EXPECT_EQ(ReadSysfsNumber(file("hexInDecimal", "6a0f\n")), std::nullopt);
  EXPECT_EQ(ReadSysfsNumber(file("signed", "-1\n")), std::nullopt);
  EXPECT_EQ(ReadSysfsNumber(file("inner space", "12 34\n")), std::nullopt);
  EXPECT_EQ(ReadSysfsNumber(file("largest", "18446744073709551615\n")), UINT64_MAX);
  EXPECT_EQ(ReadSysfsNumber(file("too large", "18446744073709551616\n")), std::nullopt);
  EXPECT_EQ(ReadSysfsNumber(dir / "blank"), std::nullopt);
}

TEST(SysfsTest, EntriesBelowTheRootLeadToTheirDeviceFolders) {
  TempDir dir;
  const Sysfs sysfs(dir.path());
  const fs::path device = dir / "devices/pci0/block/sdb/sdb1";
  fs::create_directories(device);
  fs::create_directories(sysfs / "class/block");
  fs::create_directory_symlink(device, sysfs / "class/block/sdb1");
  fs::create_directory_symlink(dir / "devices/gone", sysfs / "class/block/sdc");

  EXPECT_EQ(sysfs.resolve("class/block/sdb1"), fs::canonical(device));
  EXPECT_EQ(sysfs.resolve("class/block/sdc"), std::nullopt);
  EXPECT_EQ(sysfs.resolve("class/block/sdd"), std::nullopt);
  EXPECT_EQ(Sysfs().root(), "/sys");
}

}  // namespace
}  // namespace tvx
