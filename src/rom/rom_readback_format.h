#pragma once

#include <string>

#include "rom/rom_floor_readback.h"
#include "rom/rom_readback.h"

// What `tvx880 inspect` prints: a report for people and a JSON document for machines, of the
// whole file or of its floor codes; both end with the inspection's problems.
namespace tvx {

std::string FormatRomInspection(const RomInspection& inspection);
std::string RomInspectionJson(const RomInspection& inspection);

std::string FormatFloorReadback(const FloorReadback& floors, const RomInspection& inspection);
std::string FloorReadbackJson(const FloorReadback& floors, const RomInspection& inspection);

}  // namespace tvx
