#pragma once

// The small bitmap font of the resource sheet's labels: printable ASCII in cells of
// kSheetFontWidth x kSheetFontHeight pixels, drawn from DejaVu Sans Mono by
// tools/make_sheet_font.py and kept as data, so the sheet reads the same on every machine.
namespace tvx {

inline constexpr int kSheetFontWidth = 7;
inline constexpr int kSheetFontHeight = 12;

// How much ink (0 none to 15 full) covers pixel (x, y) of the character's cell, rows from the
// top; a character outside ' '..'~' draws as '?', a pixel outside the cell is 0.
int SheetGlyphCoverage(char character, int x, int y);

}  // namespace tvx
