#pragma once

#include <string>

#include "rom/rom_readback.h"

// What `tvx880 inspect` prints: a report for people and a JSON document for machines.
namespace tvx {

std::string FormatRomInspection(const RomInspection& inspection);
std::string RomInspectionJson(const RomInspection& inspection);

}  // namespace tvx
