#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "serial/port_map.h"
#include "support/temp_dir.h"
#include "util/error_text.h"

namespace fs = std::filesystem;
using tvx::ErrorText;
using tvx::Result;
using tvx::platform::FindSerialPorts;
using tvx::platform::ParsePortName;
using tvx::platform::PortMap;
using tvx::platform::SystemDeviceRoots;

namespace {

// A made-up /sys and /dev with USB adapters, built-in ports and virtual terminals.
class FakeSystem {
 public:
  FakeSystem() {
    fs::create_directories(m_dir.path() / "dev" / "serial" / "by-id");
    addUsb("ttyUSB1", "usb1/1-2", "1a86", "7523", "", "ch341-uart");
    addUsb("ttyUSB10", "usb1/1-4", "067b", "2303", "", "pl2303");
    addUsb("ttyUSB0", "usb1/1-1", "0403", "6001", "A10K5XYZ", "ftdi_sio");
    addUsb("ttyACM0", "usb2/2-1", "2341", "0043", "8573", "cdc_acm", true);
    addBuiltIn("ttyS0", "4");
    addBuiltIn("ttyS1", "0");                     // listed by the serial core but not there
    fs::create_directories(ttyClass() / "tty0");  // a virtual console: no device
    fs::create_symlink("../../ttyUSB0", m_dir.path() / "dev/serial/by-id/usb-FTDI_FT232R-if00");
  }

  SystemDeviceRoots roots() const {
    return {(m_dir.path() / "sys").string(), (m_dir.path() / "dev").string()};
  }
  std::string dev(const std::string& name) const { return (m_dir.path() / "dev" / name).string(); }

 private:
  fs::path ttyClass() const { return m_dir.path() / "sys/class/tty"; }

  void addUsb(const std::string& name, const std::string& usbDevice, const std::string& vendor,
              const std::string& product, const std::string& serial, const std::string& driver,
              bool acm = false) {
    const fs::path usb = m_dir.path() / "sys/devices" / usbDevice;
    const fs::path interface = usb / (usb.filename().string() + ":1.0");
    // ttyUSB devices hang below the interface; ttyACM ones are the interface itself.
    const fs::path device = acm ? interface : interface / name;
    fs::create_directories(device);
    tvx::test::WriteFileBytes(usb / "idVendor", vendor + "\n");
    tvx::test::WriteFileBytes(usb / "idProduct", product + "\n");
    tvx::test::WriteFileBytes(usb / "manufacturer", "Maker of " + name + "\n");
    tvx::test::WriteFileBytes(usb / "product", "Cable " + name + "\n");
    if (!serial.empty()) {
      tvx::test::WriteFileBytes(usb / "serial", serial + "\n");
    }
    addDriver(device, driver);
    addTty(name, device);
  }

  void addBuiltIn(const std::string& name, const std::string& type) {
    const fs::path device = m_dir.path() / "sys/devices/platform/serial8250" / name;
    fs::create_directories(device);
    addDriver(device, "serial8250");
    addTty(name, device);
    tvx::test::WriteFileBytes(ttyClass() / name / "type", type + "\n");
  }

  void addDriver(const fs::path& device, const std::string& driver) {
    const fs::path driverDir = m_dir.path() / "sys/bus/drivers" / driver;
    fs::create_directories(driverDir);
    fs::create_symlink(driverDir, device / "driver");
  }

  void addTty(const std::string& name, const fs::path& device) {
    fs::create_directories(ttyClass() / name);
    fs::create_symlink(device, ttyClass() / name / "device");
    tvx::test::WriteFileBytes(m_dir.path() / "dev" / name, "");
  }

  tvx::test::TempDir m_dir;
};

}  // namespace

TEST(SerialPortsTest, FoundInStableOrderWithTheirUsbDetails) {
  FakeSystem system;
  const auto ports = FindSerialPorts(system.roots());
  std::vector<std::string> names;
  for (const auto& port : ports) {
    names.push_back(port.name);
  }
  EXPECT_EQ(names,
            (std::vector<std::string>{"ttyUSB0", "ttyUSB1", "ttyUSB10", "ttyACM0", "ttyS0"}));

  const auto& ftdi = ports[0];
  EXPECT_EQ(ftdi.path, system.dev("ttyUSB0"));
  EXPECT_TRUE(ftdi.usb);
  EXPECT_EQ(ftdi.vendorId, 0x0403u);
  EXPECT_EQ(ftdi.productId, 0x6001u);
  EXPECT_EQ(ftdi.serialNumber, "A10K5XYZ");
  EXPECT_EQ(ftdi.product, "Cable ttyUSB0");
  EXPECT_EQ(ftdi.driver, "ftdi_sio");
  EXPECT_EQ(ftdi.byIdPath, system.dev("serial/by-id/usb-FTDI_FT232R-if00"));

  EXPECT_EQ(ports[3].vendorId, 0x2341u);
  EXPECT_EQ(ports[3].driver, "cdc_acm");
  EXPECT_TRUE(ports[1].serialNumber.empty());
  EXPECT_FALSE(ports[4].usb);
  EXPECT_EQ(ports[4].driver, "serial8250");
}

TEST(SerialPortsTest, NoSystemTreeMeansNoPorts) {
  tvx::test::TempDir empty;
  EXPECT_TRUE(FindSerialPorts({empty.path().string(), empty.path().string()}).empty());
}

TEST(PortMapTest, ExplicitEntriesFirstThenFoundDevicesFillTheFreeNumbers) {
  FakeSystem system;
  PortMap map(system.roots());
  map.setExplicit(2, system.dev("ttyUSB1"));
  map.setExplicit(9, "/dev/pts/7");
  const auto entries = map.entries();
  std::vector<std::pair<unsigned, std::string>> numbered;
  for (const auto& entry : entries) {
    numbered.emplace_back(entry.number, entry.path);
  }
  EXPECT_EQ(numbered, (std::vector<std::pair<unsigned, std::string>>{
                          {1, system.dev("ttyUSB0")},
                          {2, system.dev("ttyUSB1")},
                          {3, system.dev("ttyUSB10")},
                          {4, system.dev("ttyACM0")},
                          {5, system.dev("ttyS0")},
                          {9, "/dev/pts/7"},
                      }));
  EXPECT_TRUE(entries[1].explicitEntry);
  ASSERT_TRUE(entries[1].info.has_value());
  EXPECT_EQ(entries[1].info->vendorId, 0x1a86u);
  EXPECT_FALSE(entries[0].explicitEntry);
  EXPECT_FALSE(entries[5].info.has_value());

  EXPECT_EQ(map.resolve(9), "/dev/pts/7");
  EXPECT_EQ(map.resolve(3), system.dev("ttyUSB10"));
  EXPECT_FALSE(map.resolve(6).has_value());
  map.clearExplicit();
  EXPECT_EQ(map.resolve(2), system.dev("ttyUSB1"));
}

TEST(PortMapTest, MappingsAndPortNamesAsUsersWriteThem) {
  PortMap map(SystemDeviceRoots{"/nonexistent", "/nonexistent"});
  EXPECT_TRUE(map.addMapping("COM3=/dev/ttyUSB1"));
  EXPECT_TRUE(map.addMapping("com 4=/dev/ttyUSB2"));
  EXPECT_TRUE(map.addMapping("5=/tmp/indicator"));
  EXPECT_EQ(map.resolve(3), "/dev/ttyUSB1");
  EXPECT_EQ(map.resolve(4), "/dev/ttyUSB2");
  EXPECT_EQ(map.resolve(5), "/tmp/indicator");
  const Result<void> refused = map.addMapping("COM3");
  ASSERT_FALSE(refused);
  EXPECT_EQ(ErrorText(refused.error(), 0), "port mapping \"COM3\" is not of the form COMn=PATH");
  EXPECT_FALSE(map.addMapping("COMx=/dev/a"));
  EXPECT_FALSE(map.addMapping("COM0=/dev/a"));
  EXPECT_FALSE(map.addMapping("COM1="));

  EXPECT_EQ(ParsePortName("COM 3")->number, 3u);
  EXPECT_EQ(ParsePortName("COM17")->number, 17u);
  EXPECT_EQ(ParsePortName("com2")->number, 2u);
  EXPECT_EQ(ParsePortName("1")->number, 1u);
  EXPECT_EQ(ParsePortName("/dev/ttyUSB0")->path, "/dev/ttyUSB0");
  EXPECT_FALSE(ParsePortName("/dev/ttyUSB0")->number.has_value());
  EXPECT_FALSE(ParsePortName("COM").has_value());
  EXPECT_FALSE(ParsePortName("ttyUSB0").has_value());
  EXPECT_FALSE(ParsePortName("").has_value());
}
