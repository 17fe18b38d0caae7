#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "serial/port_map.h"
#include "util/printf_format.h"

namespace tvx::cli {
namespace {

std::string describe(const platform::PortMapEntry& entry) {
  std::string line = YVclUtil::FormatPrintf("COM %-3u %-16s", entry.number, entry.path.c_str());
  if (entry.info) {
    const platform::SerialPortInfo& info = *entry.info;
    if (info.usb) {
      line += YVclUtil::FormatPrintf("  USB %04x:%04x", info.vendorId, info.productId);
      if (!info.manufacturer.empty() || !info.product.empty()) {
        line += "  " + info.manufacturer + (info.manufacturer.empty() ? "" : " ") + info.product;
      }
      if (!info.serialNumber.empty()) {
        line += "  serial " + info.serialNumber;
      }
    } else if (!info.driver.empty()) {
      line += "  " + info.driver;
    }
  }
  if (entry.explicitEntry) {
    line += "  (mapped)";
  }
  return line;
}

}  // namespace

void registerPortCommands(CLI::App& app, CommandRunner& runner) {
  auto mappings = std::make_shared<std::vector<std::string>>();
  CLI::App* ports =
      app.add_subcommand("ports", "List the serial ports and the COM numbers they have for --port");
  ports->add_option("--map", *mappings,
                    "Map a port number to a device first, e.g. COM3=/dev/ttyUSB1 (repeatable)");
  runner.bind(ports, [mappings] {
    platform::PortMap& map = platform::CurrentPortMap();
    for (const std::string& mapping : *mappings) {
      if (Result<void> added = map.addMapping(mapping); !added) {
        return reportFailure(added.error(), kExitUsage);
      }
    }
    const std::vector<platform::PortMapEntry> entries = map.entries();
    if (entries.empty()) {
      std::puts("No serial ports found.");
    }
    for (const platform::PortMapEntry& entry : entries) {
      std::puts(describe(entry).c_str());
      if (entry.info && !entry.info->byIdPath.empty()) {
        std::printf("        %s\n", entry.info->byIdPath.c_str());
      }
    }
    return static_cast<int>(kExitOk);
  });
}

}  // namespace tvx::cli
