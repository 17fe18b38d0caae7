// Port names and port mappings as users type them on the command line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "serial/port_map.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  (void)tvx::platform::ParsePortName(text);
  tvx::platform::PortMap map(tvx::platform::SystemDeviceRoots{"/nonexistent", "/nonexistent"});
  if (map.addMapping(text)) {
    const auto equals = text.find('=');
    bool found = false;
    for (const auto& entry : map.entries()) {
      found = found || entry.path == text.substr(equals + 1);
    }
    if (!found) {
      __builtin_trap();
    }
  }
  return 0;
}
