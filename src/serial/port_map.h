#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "util/result.h"

namespace tvx::platform {

// A serial device found on this system.
struct SerialPortInfo {
  std::string path;      // "/dev/ttyUSB0"
  std::string name;      // "ttyUSB0"
  std::string driver;    // "ftdi_sio", "cdc_acm", "serial8250", or empty
  std::string byIdPath;  // "/dev/serial/by-id/usb-FTDI_..." when the system made one
  bool usb = false;
  unsigned vendorId = 0;  // USB only
  unsigned productId = 0;
  std::string manufacturer;
  std::string product;
  std::string serialNumber;
};

// Where the system describes its devices; tests point this at a made-up tree.
struct SystemDeviceRoots {
  std::string sys = "/sys";
  std::string dev = "/dev";
};

// The serial devices of the system in a stable order: USB adapters first (ttyUSB, then ttyACM),
// then the others (built-in ttyS ports that really exist, ttyAMA, rfcomm ...), each group by
// name with numbers compared as numbers.
std::vector<SerialPortInfo> FindSerialPorts(const SystemDeviceRoots& roots = {});

// One "COM n" of the port map.
struct PortMapEntry {
  unsigned number = 0;
  std::string path;
  bool explicitEntry = false;
  std::optional<SerialPortInfo> info;  // when the path is a device that was found
};

// Turns the "COM n" numbers of the tool (the port list of the window, UartPortNumber of the
// serial component) into device paths. Explicit entries ("COM 3" is /dev/ttyUSB1) come first;
// the devices found on the system then take the lowest free numbers in their stable order, so
// with one USB adapter plugged in "COM 1" is that adapter. The map looks at the system each
// time it is asked, so a re-plugged adapter is found again. Thread-safe.
class PortMap {
 public:
  explicit PortMap(SystemDeviceRoots roots = {}) : m_roots(std::move(roots)) {}

  void setExplicit(unsigned number, const std::string& path);
  void removeExplicit(unsigned number);
  void clearExplicit();
  // Adds "COM3=/dev/ttyUSB1" (also "COM 3=..." or "3=..."); an error naming the text otherwise.
  Result<void> addMapping(const std::string& text);

  // Every numbered port, by number.
  std::vector<PortMapEntry> entries() const;
  // The device path of "COM number", if there is one.
  std::optional<std::string> resolve(unsigned number) const;

 private:
  SystemDeviceRoots m_roots;
  mutable std::mutex m_mutex;
  std::map<unsigned, std::string> m_explicit;
};

// The map that serial components use when they open a numbered port.
PortMap& CurrentPortMap();

// A port as the user names it: "COM 3", "COM3", "com3" or "3" give the number; a name that
// looks like a path (has a "/") is a device path used as it is.
struct PortName {
  std::optional<unsigned> number;
  std::string path;
};
std::optional<PortName> ParsePortName(const std::string& text);
// The same, or an error saying that text names no port.
Result<PortName> RequirePortName(const std::string& text);

}  // namespace tvx::platform
