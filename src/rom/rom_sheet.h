#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "rom/rom_readback.h"
#include "rom/stored_picture.h"
#include "util/result.h"

// The resource sheet: one picture of everything a ROM image or GLB holds, a tile per resource
// at 1:1 with a label under it (bank, slot, role, size), grouped by bank. Slots that every
// build fills but the image leaves empty are tiles too, drawn as marked empty boxes. The
// model says what goes where; rom_sheet_raster.h draws it, and the window can draw the same
// tiles with its own means.
namespace tvx {

enum class SheetTileKind {
  kPicture,   // the stored picture, pixel for pixel
  kNotShown,  // stored, but not a picture (or too large for the sheet): a box, and why
  kEmpty,     // empty, though every build fills it: a marked box
};

struct SheetTile {
  int bank = 0;
  int slot = 0;
  std::string role;
  std::uint32_t size = 0;  // bytes stored, 0 when empty
  SheetTileKind kind = SheetTileKind::kPicture;
  StoredPicture picture;  // kPicture only
  // The picture or box: its top left corner on the sheet and its size.
  int x = 0;
  int y = 0;
  int boxWidth = 0;
  int boxHeight = 0;
  // Lines of ASCII text, the first at (x, labelY), one kSheetLineHeight below the other.
  std::vector<std::string> label;
  int labelY = 0;
};

struct SheetHeading {
  std::string text;  // "Bank 1: floor characters"
  int x = 0;
  int y = 0;  // top of the text; a rule lies kSheetLineHeight below it, across the sheet
};

struct RomSheet {
  int width = 0;
  int height = 0;
  std::string title;  // at the top left margin: the file, its kind, what the sheet shows
  std::vector<SheetHeading> headings;  // one per bank that has tiles
  std::vector<SheetTile> tiles;        // in bank and slot order
};

inline constexpr int kSheetMargin = 12;  // where the title begins
inline constexpr int kSheetLineHeight = 13;
// Larger pictures are not drawn, nor sheets of more pixels than this (only forged files
// come near these bounds: a whole 8 MiB image holds about four million pixels).
inline constexpr int kSheetMaxTileSide = 1024;
inline constexpr std::int64_t kSheetMaxPixels = 32 * 1024 * 1024;

// The sheet of bytes, a file that inspection read; the error names file (a file of unknown
// kind, or a sheet beyond kSheetMaxPixels).
Result<RomSheet> MakeRomSheet(std::span<const std::uint8_t> bytes, const RomInspection& inspection,
                              const std::string& file);

}  // namespace tvx
