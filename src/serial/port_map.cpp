#include "serial/port_map.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>

#include "util/sysfs.h"

namespace tvx::platform {
namespace fs = std::filesystem;
namespace {

std::string readAttribute(const fs::path& file) {
  return ReadSysfsLine(file).value_or(std::string());
}

unsigned readHex(const fs::path& file) {
  return static_cast<unsigned>(ReadSysfsNumber(file, 16).value_or(0));
}

int groupOf(const std::string& name) {
  if (name.rfind("ttyUSB", 0) == 0) {
    return 0;
  }
  if (name.rfind("ttyACM", 0) == 0) {
    return 1;
  }
  return 2;
}

// "ttyUSB10" → ("ttyUSB", 10).
std::pair<std::string, unsigned long> splitNumber(const std::string& name) {
  std::size_t digits = name.size();
  while (digits > 0 && std::isdigit(static_cast<unsigned char>(name[digits - 1]))) {
    --digits;
  }
  unsigned long number = 0;
  if (digits < name.size()) {
    try {
      number = std::stoul(name.substr(digits));
    } catch (const std::exception&) {
      number = 0;
    }
  }
  return {name.substr(0, digits), number};
}

bool stableLess(const SerialPortInfo& a, const SerialPortInfo& b) {
  const int ga = groupOf(a.name);
  const int gb = groupOf(b.name);
  if (ga != gb) {
    return ga < gb;
  }
  const auto na = splitNumber(a.name);
  const auto nb = splitNumber(b.name);
  if (na.first != nb.first) {
    return na.first < nb.first;
  }
  if (na.second != nb.second) {
    return na.second < nb.second;
  }
  return a.name < b.name;
}

// The driver behind a tty: newer kernels put the serial core's own "port" and "ctrl" devices
// between the tty and the hardware, so those are looked through.
std::string driverOf(const fs::path& device) {
  std::error_code error;
  fs::path dir = fs::canonical(device, error);
  for (int depth = 0; !error && depth < 4 && !dir.empty(); ++depth) {
    std::error_code linkError;
    const std::string driver = fs::read_symlink(dir / "driver", linkError).filename().string();
    if (linkError) {
      return std::string();
    }
    if (driver != "port" && driver != "ctrl") {
      return driver;
    }
    dir = dir.parent_path();
  }
  return std::string();
}

// Walks up from the tty's device to the USB device that carries vendor and product.
void fillUsbInfo(const fs::path& device, SerialPortInfo& info) {
  std::error_code error;
  fs::path dir = fs::canonical(device, error);
  for (int depth = 0; !error && depth < 6 && !dir.empty() && dir != dir.root_path(); ++depth) {
    if (fs::exists(dir / "idVendor", error) && fs::exists(dir / "idProduct", error)) {
      info.usb = true;
      info.vendorId = readHex(dir / "idVendor");
      info.productId = readHex(dir / "idProduct");
      info.manufacturer = readAttribute(dir / "manufacturer");
      info.product = readAttribute(dir / "product");
      info.serialNumber = readAttribute(dir / "serial");
      return;
    }
    dir = dir.parent_path();
  }
}

void fillByIdPaths(const SystemDeviceRoots& roots, std::vector<SerialPortInfo>& ports) {
  std::error_code error;
  const fs::path byId = fs::path(roots.dev) / "serial" / "by-id";
  for (fs::directory_iterator it(byId, error), end; !error && it != end; it.increment(error)) {
    std::error_code linkError;
    const fs::path target = fs::weakly_canonical(it->path(), linkError);
    if (linkError) {
      continue;
    }
    for (SerialPortInfo& port : ports) {
      if (port.byIdPath.empty() && target.filename() == port.name) {
        port.byIdPath = it->path().string();
      }
    }
  }
}

unsigned parseComNumber(const std::string& text, bool* ok) {
  std::string digits = text;
  std::string upper;
  for (char c : text) {
    upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  if (upper.rfind("COM", 0) == 0) {
    digits = text.substr(3);
  }
  digits.erase(0, digits.find_first_not_of(' '));
  *ok = !digits.empty() && digits.size() <= 9 &&
        std::all_of(digits.begin(), digits.end(),
                    [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
  return *ok ? static_cast<unsigned>(std::stoul(digits)) : 0;
}

}  // namespace

std::vector<SerialPortInfo> FindSerialPorts(const SystemDeviceRoots& roots) {
  std::vector<SerialPortInfo> ports;
  std::error_code error;
  const fs::path ttyClass = Sysfs(roots.sys) / "class" / "tty";
  for (fs::directory_iterator it(ttyClass, error), end; !error && it != end; it.increment(error)) {
    const fs::path entry = it->path();
    const fs::path device = entry / "device";
    std::error_code linkError;
    // Consoles, pseudo-terminals and other virtual terminals have no device behind them.
    if (!fs::exists(device, linkError)) {
      continue;
    }
    SerialPortInfo info;
    info.name = entry.filename().string();
    info.path = (fs::path(roots.dev) / info.name).string();
    info.driver = driverOf(device);
    // The serial core lists every legacy port it could have; type 0 means none is there.
    if (fs::exists(entry / "type", linkError) && readAttribute(entry / "type") == "0") {
      continue;
    }
    fillUsbInfo(device, info);
    ports.push_back(std::move(info));
  }
  std::sort(ports.begin(), ports.end(), stableLess);
  fillByIdPaths(roots, ports);
  return ports;
}

void PortMap::setExplicit(unsigned number, const std::string& path) {
  std::lock_guard lock(m_mutex);
  m_explicit[number] = path;
}

void PortMap::removeExplicit(unsigned number) {
  std::lock_guard lock(m_mutex);
  m_explicit.erase(number);
}

void PortMap::clearExplicit() {
  std::lock_guard lock(m_mutex);
  m_explicit.clear();
}

Result<void> PortMap::addMapping(const std::string& text) {
  const auto equals = text.find('=');
  bool ok = false;
  const unsigned number =
      equals == std::string::npos ? 0 : parseComNumber(text.substr(0, equals), &ok);
  const std::string path = equals == std::string::npos ? std::string() : text.substr(equals + 1);
  if (!ok || number == 0 || path.empty()) {
    return Error::Stated(text, {"連接埠對應 \"%s\" 不是 COMn=PATH 的形式",
                                "port mapping \"%s\" is not of the form COMn=PATH"});
  }
  setExplicit(number, path);
  return {};
}

std::vector<PortMapEntry> PortMap::entries() const {
  std::map<unsigned, std::string> explicitEntries;
  {
    std::lock_guard lock(m_mutex);
    explicitEntries = m_explicit;
  }
  const std::vector<SerialPortInfo> found = FindSerialPorts(m_roots);
  auto infoFor = [&](const std::string& path) -> std::optional<SerialPortInfo> {
    std::error_code error;
    const fs::path real = fs::weakly_canonical(path, error);
    for (const SerialPortInfo& port : found) {
      std::error_code portError;
      if (port.path == path ||
          (!error && real == fs::weakly_canonical(port.path, portError) && !portError)) {
        return port;
      }
    }
    return std::nullopt;
  };

  std::vector<PortMapEntry> entries;
  std::set<std::string> taken;
  for (const auto& [number, path] : explicitEntries) {
    PortMapEntry entry{number, path, true, infoFor(path)};
    if (entry.info) {
      taken.insert(entry.info->path);
    }
    entries.push_back(std::move(entry));
  }
  unsigned next = 1;
  for (const SerialPortInfo& port : found) {
    if (taken.count(port.path) != 0) {
      continue;
    }
    while (explicitEntries.count(next) != 0) {
      ++next;
    }
    entries.push_back(PortMapEntry{next++, port.path, false, port});
  }
  std::sort(entries.begin(), entries.end(),
            [](const PortMapEntry& a, const PortMapEntry& b) { return a.number < b.number; });
  return entries;
}

std::optional<std::string> PortMap::resolve(unsigned number) const {
  {
    std::lock_guard lock(m_mutex);
    const auto it = m_explicit.find(number);
    if (it != m_explicit.end()) {
      return it->second;
    }
  }
  for (const PortMapEntry& entry : entries()) {
    if (entry.number == number) {
      return entry.path;
    }
  }
  return std::nullopt;
}

PortMap& CurrentPortMap() {
  static PortMap map;
  return map;
}

std::optional<PortName> ParsePortName(const std::string& text) {
  if (text.find('/') != std::string::npos) {
    return PortName{std::nullopt, text};
  }
  bool ok = false;
  const unsigned number = parseComNumber(text, &ok);
  if (!ok) {
    return std::nullopt;
  }
  return PortName{number, std::string()};
}

Result<PortName> RequirePortName(const std::string& text) {
  std::optional<PortName> port = ParsePortName(text);
  if (!port) {
    return Error::Stated(text, {"連接埠 \"%s\" 既非 COMn 亦非裝置路徑",
                                "port \"%s\" is neither COMn nor a device path"});
  }
  return std::move(*port);
}

}  // namespace tvx::platform
