#pragma once

#include <cstdint>
#include <vector>

#include "rom/rom_sheet.h"

// The resource sheet drawn into pixels: pictures at 1:1 in a thin frame, empty slots as red
// crossed boxes, resources that are not pictures as grey hatched boxes, labels in the sheet's
// bitmap font.
namespace tvx {

struct SheetRaster {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgb;  // R, G, B per pixel, rows top-down
};

// The colours the sheet is drawn in.
inline constexpr Rgb888 kSheetPaper{236, 236, 232};
inline constexpr Rgb888 kSheetInk{24, 24, 24};
inline constexpr Rgb888 kSheetFrame{128, 128, 128};
inline constexpr Rgb888 kSheetEmptyMark{204, 0, 0};
inline constexpr Rgb888 kSheetHatch{176, 176, 172};

SheetRaster DrawRomSheet(const RomSheet& sheet);

}  // namespace tvx
