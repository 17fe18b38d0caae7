#pragma once

#include <QImage>
#include <string>

#include "rom/rom_sheet_raster.h"
#include "util/result.h"

// The resource sheet of a ROM image on disk, as a picture the window can show.
namespace tvx {

// The raster's pixels, unchanged, as a QImage of the same size.
QImage ToQImage(const SheetRaster& raster);

// Reads the file, inspects it and draws its sheet; the error says what could not be done.
Result<QImage> RomSheetImage(const std::string& path);

}  // namespace tvx
