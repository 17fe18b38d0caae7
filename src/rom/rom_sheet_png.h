#pragma once

#include <string>

#include "rom/rom_sheet_raster.h"
#include "util/result.h"

namespace tvx {

// Writes the drawn sheet as an 8-bit RGB PNG at path, replacing a file of that name whole or
// leaving it as it was; the error names path and says which step failed.
Result<void> WriteSheetPng(const SheetRaster& raster, const std::string& path);

}  // namespace tvx
